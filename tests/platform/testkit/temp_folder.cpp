#include "platform/testkit/temp_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "platform/inifiles.h"

namespace fs = std::filesystem;

TTempFolder::TTempFolder(const std::string& Prefix) {
  std::string pattern = (fs::temp_directory_path() / (Prefix + "_XXXXXX")).string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (!mkdtemp(buf.data())) throw std::runtime_error("cannot make a temporary folder " + pattern);
  FPath = buf.data();
}

TTempFolder::~TTempFolder() {
  std::error_code ec;
  // A test may leave entries without write or search rights: give them back first.
  fs::permissions(FPath, fs::perms::owner_all, fs::perm_options::add, ec);
  const fs::recursive_directory_iterator end;
  for (auto it = fs::recursive_directory_iterator(FPath, ec); !ec && it != end; it.increment(ec)) {
    std::error_code ignored;
    if (it->is_directory(ignored) && !it->is_symlink(ignored))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  fs::remove_all(FPath, ec);
}

TTempProfile::TTempProfile(const std::string& Prefix) : TTempFolder(Prefix) { SetProfileFolder(Path()); }

TTempProfile::~TTempProfile() { SetProfileFolder(""); }
