// Fuzz target of the MT block file: open (scan, header, newest results), the stored edit and
// the operation log, the recomputation of every frequency, then what a user's edit does to the
// file: an edit saved into it (in place, or appended after its last block) and the file opened
// again. Any input must end in a site or in the system's exceptions: never a crash, a leak or
// undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz/fuzz_input_file.h"
#include "mtdata/site_file.h"
#include "platform/exceptions.h"

namespace {

// One site file through open, stored edit, log and recomputation.
void OpenSite(TMTFile& Site, const std::string& Path) {
  Site.OpenMtFile(Path);
  Site.StartFromStoredEdit = Site.CurrentEditBlock > 0;
  Site.LoadEdit();
  Site.ReadOplog();
  Site.RestackAll();
  Site.CalcPartialPlots();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The edit's date goes into the file: a fixed one keeps a run repeatable.
  TMTFile::EditDateText = [] { return std::string("26Dec11"); };
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string path = FuzzInputFile(Data, Size, ".MT1");
  bool saved = false;
  {
    auto site = std::make_unique<TMTFile>();
    try {
      OpenSite(*site, path);
      if (!site->ReadOnly()) {
        // The first input byte chooses between saving in place and appending.
        site->SaveEdit(Size > 0 && (Data[0] & 1) ? 1 : 0);
        saved = true;
      }
    } catch (const Exception&) {}
  }
  if (saved) {
    auto again = std::make_unique<TMTFile>();
    try {
      OpenSite(*again, path);
    } catch (const Exception&) {}
  }
  return 0;
}
