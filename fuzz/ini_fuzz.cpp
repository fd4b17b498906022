// Fuzz target of the INI files: the whole-file and the key-by-key reader, every section and
// value read, one key written and the file written back.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_input_file.h"
#include "platform/exceptions.h"
#include "platform/inifiles.h"
#include "platform/strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string path = FuzzInputFile(Data, Size, ".ini");
  try {
    TMemIniFile mem(path);
    TStringList sections, values;
    mem.ReadSections(sections);
    for (int i = 0; i < sections.Count(); ++i) {
      mem.ReadSectionValues(sections[i], values);
      mem.ReadSection(sections[i], values);
    }
    mem.WriteString("Fuzz", "Key", "Value");
    if (sections.Count() > 0) mem.EraseSection(sections[0]);
    mem.UpdateFile();
  } catch (const Exception&) {}
  FuzzInputFile(Data, Size, ".ini");
  try {
    TIniFile ini(path);
    TStringList sections, values;
    ini.ReadSections(sections);
    for (int i = 0; i < sections.Count() && i < 64; ++i) {
      ini.ReadSectionValues(sections[i], values);
      for (int k = 0; k < values.Count() && k < 64; ++k) ini.ReadString(sections[i], values.Names(k), "");
    }
    ini.WriteString("Fuzz", "Key", "Value");
    if (sections.Count() > 0) ini.DeleteKey(sections[0], "Key");
  } catch (const Exception&) {}
  return 0;
}
