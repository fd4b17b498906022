// What the program's benchmarks share: headless start, a profile folder of their own (so they
// neither read nor write the user's settings) and the generated 40-frequency x 100-estimate site.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

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

}  // namespace app_bench
