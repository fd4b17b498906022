// What the program's benchmarks share: headless start, a profile folder of their own (so they
// neither read nor write the user's settings) and the generated 40-frequency x 100-estimate site.
#pragma once

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/inifiles.h"
#include "tools/mt_generator.h"

namespace app_bench {

inline const bool Headless = [] {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  return true;
}();

// Points the profile at a folder under the temporary folder, made on first use.
inline void UseProfile(const char* Name) {
  (void)Headless;
  const std::filesystem::path d = std::filesystem::temp_directory_path() / Name;
  std::filesystem::create_directories(d);
  SetProfileFolder(d.string());
}

// The 40 x 100 site with tipper and remote reference, written once per run to FileName.
inline const std::string& BigSite(const char* FileName) {
  static const std::string path = [FileName] {
    const std::string p = (std::filesystem::temp_directory_path() / FileName).string();
    TMtGenModel m;
    m.Layers = {{100, 1000}, {10, 5000}, {1000, 0}};
    m.EstimateCount = 100;
    m.WithTipper = true;
    m.ReferenceType = 4;
    m.Edits = {TMtGenEdit{}};
    MtGenWrite(m, p);
    return p;
  }();
  return path;
}

// A 68- or 140-frequency site as a set of files (one file holds at most 40): a common grid of
// distinct frequencies, three significant digits, 10.4 kHz down over seven decades, cut into an
// AMT file of 28 and MT files of 40. The 140-frequency set's last MT file overlaps the one before
// it by eight frequencies, which the sum merges. Each file 100 estimates, tipper and remote
// reference; written once per run under the temporary folder (Stem names the files).
inline std::vector<std::string> SiteSet(int FreqCount, const char* Stem) {
  static std::map<int, std::vector<std::string>> written;
  if (auto it = written.find(FreqCount); it != written.end()) return it->second;
  std::vector<double> grid(140);
  for (int i = 0; i < 140; ++i) {
    const double L = 4.017 - 7.0 * i / 139;
    const double c = std::pow(10.0, 2 - std::round(L));
    grid[static_cast<size_t>(i)] = std::round(std::pow(10.0, L) * c) / c;
  }
  struct Member {
    const char* Ext;
    int First, Count;
  };
  std::vector<Member> members{{".AMT", 0, 28}, {".MT1", 28, 40}};
  if (FreqCount == 140) {
    members.push_back({".MT2", 68, 40});
    members.push_back({".MT3", 100, 40});
  }
  std::vector<std::string> names;
  for (size_t k = 0; k < members.size(); ++k) {
    const Member& m = members[k];
    const std::string p =
        (std::filesystem::temp_directory_path() / (std::string(Stem) + std::to_string(FreqCount) + m.Ext)).string();
    TMtGenModel g;
    g.Layers = {{100, 1000}, {10, 5000}, {1000, 0}};
    g.EstimateCount = 100;
    g.WithTipper = true;
    g.ReferenceType = 4;
    g.Edits = {TMtGenEdit{}};
    g.Seed = 1 + k;
    g.Frequencies.assign(grid.begin() + m.First, grid.begin() + m.First + m.Count);
    MtGenWrite(g, p);
    names.push_back(p);
  }
  written[FreqCount] = names;
  return names;
}

}  // namespace app_bench
