// Fuzz target of the EDI reader and of the site computed from an EDI file.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "fuzz/fuzz_input_file.h"
#include "mtdata/edi_reader.h"
#include "mtdata/site_file.h"
#include "platform/exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string path = FuzzInputFile(Data, Size, ".edi");
  auto site = std::make_unique<TMTFile>();
  try {
    LoadFromEdi(*site, path);
  } catch (const Exception&) {}
  return 0;
}
