// Helpers of the export tests: a generated site opened for its own reference, reading the files
// an export wrote, and the option variables put back after each test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "mtdata/mt_types.h"
#include "mtdata/site_file.h"
#include "sitefile_fixture.h"
#include "tools/mt_generator.h"

namespace export_test {

using sitefile_test::CaptureLog;
using sitefile_test::TTempDir;

inline std::string ReadFile(const std::string& Path) {
  auto b = sitefile_test::ReadBytes(Path);
  return std::string(b.begin(), b.end());
}

// Lines of a CRLF text; the last element is what follows the last CRLF ("" when the text ends
// with one).
inline std::vector<std::string> CrLfLines(const std::string& Text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  for (;;) {
    std::size_t e = Text.find("\r\n", pos);
    if (e == std::string::npos) {
      lines.push_back(Text.substr(pos));
      return lines;
    }
    lines.push_back(Text.substr(pos, e - pos));
    pos = e + 2;
  }
}

// Names of the files in a folder.
inline std::vector<std::string> FolderEntries(const std::string& Folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(Folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Generates a site file in Dir and opens it for its own reference.
inline std::unique_ptr<TMTFile> GeneratedSite(const TTempDir& Dir, const TMtGenModel& Model,
                                              const std::string& Name = "site.mt1") {
  const std::string path = Dir.File(Name);
  MtGenWrite(Model, path);
  return sitefile_test::OpenSite(path);
}

// The export option variables, put back as they were when the test ends.
class TOptionsGuard {
public:
  TOptionsGuard()
      : FCsv(CsvDelimiterIndex),
        FCanada(CanadaToRussianMode),
        FUnits(MtzUnits),
        FSolution(MtzSolutionMode),
        FAppend(MtzAppendMode),
        FRegion(RegionFieldPick),
        FPoint(PointFieldPick),
        FStation(StationFieldPick),
        FTape(TapeFieldPick),
        FVariant(MtzTapeVariant) {}
  ~TOptionsGuard() {
    CsvDelimiterIndex = FCsv;
    CanadaToRussianMode = FCanada;
    MtzUnits = FUnits;
    MtzSolutionMode = FSolution;
    MtzAppendMode = FAppend;
    RegionFieldPick = FRegion;
    PointFieldPick = FPoint;
    StationFieldPick = FStation;
    TapeFieldPick = FTape;
    MtzTapeVariant = FVariant;
  }

private:
  int32_t FCsv, FCanada, FUnits, FSolution, FAppend;
  THeaderFieldPick FRegion, FPoint, FStation, FTape;
  TShortString<1> FVariant;
};

}  // namespace export_test
