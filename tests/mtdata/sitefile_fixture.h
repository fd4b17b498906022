// Helpers of the site file tests: a temporary folder, generated files, opening a site the way
// the open site does for one file, and reading the log.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "mtdata/site_file.h"
#include "tools/mt_generator.h"

namespace sitefile_test {

class TTempDir {
public:
  TTempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vm_mtfile_XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    FPath = tmpl;
  }
  ~TTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  std::string File(const std::string& Name) const { return (FPath / Name).string(); }

private:
  std::filesystem::path FPath;
};

inline std::vector<uint8_t> ReadBytes(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::string& Path, const std::vector<uint8_t>& Data) {
  std::ofstream out(Path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(Data.data()), static_cast<std::streamsize>(Data.size()));
}

// Runs Body and returns what the MT log wrote meanwhile.
template <typename Body>
std::string CaptureLog(Body&& body) {
  testing::internal::CaptureStdout();
  try {
    body();
  } catch (...) {
    testing::internal::GetCapturedStdout();
    throw;
  }
  return testing::internal::GetCapturedStdout();
}

// Opens the file and loads its newest stored edit, then computes it for its own reference (the
// log is swallowed).
inline std::unique_ptr<TMTFile> OpenSite(const std::string& Path, bool Compute = true) {
  auto site = std::make_unique<TMTFile>();
  CaptureLog([&] {
    site->OpenMtFile(Path);
    site->StartEdit = site->PlotRecordCount - 1;
    site->CurrentEditBlock = site->PlotBlocks[site->StartEdit + 1];
    site->StartFromStoredEdit = site->StartEdit > 0;
    site->LoadEdit();
    site->DisplayReference = static_cast<int16_t>(ReferenceToDisplayIndex(site->ReferenceType));
    if (Compute) site->CalcPartialPlots();
  });
  return site;
}

inline std::string Title(const TRecordTag& Tag) {
  size_t n = 0;
  while (n < Tag.size() && Tag[n] != '\0') ++n;
  return std::string(Tag.data(), n);
}

}  // namespace sitefile_test
