// Fuzz target of the package reader.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_input_file.h"
#include "mtdata/package_file.h"
#include "platform/exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string path = FuzzInputFile(Data, Size, ".mpk");
  TPackageData package;
  try {
    ReadPackage(path, package);
  } catch (const Exception&) {}
  return 0;
}
