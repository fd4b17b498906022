// The input of a fuzz run as a file, for the readers that take a file name: one file per process
// in the shared-memory folder (or the temporary folder), rewritten for every input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

inline std::string FuzzInputFile(const uint8_t* Data, size_t Size, const char* Extension) {
  static const std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm/" : "/tmp/";
  const std::string path = folder + "varomark-fuzz-" + std::to_string(getpid()) + Extension;
  // The file goes when the run ends.
  static struct TRemove {
    std::string Path;
    ~TRemove() {
      if (!Path.empty()) std::remove(Path.c_str());
    }
  } remove{path};
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    if (Size > 0) std::fwrite(Data, 1, Size, f);
    std::fclose(f);
  }
  return path;
}
