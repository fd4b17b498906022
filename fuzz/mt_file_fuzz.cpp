// Fuzz target of the MT block file: open (scan, header, newest results), the stored edit and
// the operation log, then the recomputation of every frequency. Any input must end in a site or
// in the system's exceptions: never a crash, a leak or undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz/fuzz_input_file.h"
#include "mtdata/site_file.h"
#include "platform/exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string path = FuzzInputFile(Data, Size, ".MT1");
  auto site = std::make_unique<TMTFile>();
  try {
    site->OpenMtFile(path);
    site->StartFromStoredEdit = site->CurrentEditBlock > 0;
    site->LoadEdit();
    site->ReadOplog();
    site->RestackAll();
    site->CalcPartialPlots();
  } catch (const Exception&) {}
  return 0;
}
