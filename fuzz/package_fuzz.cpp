// Fuzz target of the package: read it, open the site it describes, save the site as a package
// and open that again. The members are looked for beside the package, where the sample site's
// three files are copied at start-up; a member named elsewhere ends the input after reading, so
// that no input opens files of the machine. Any input must end in a site or in the system's
// exceptions: never a crash, a leak or undefined behaviour.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "mtdata/open_site.h"
#include "mtdata/package_file.h"
#include "mtdata/site_file.h"
#include "platform/exceptions.h"

namespace {

std::string Folder;

// The folder and its files go when the run ends.
struct TRemoveFolder {
  ~TRemoveFolder() {
    if (Folder.empty()) return;
    for (const char* name : {"S107.AMT", "S107.MT1", "S107.MT2", "input.mpk", "saved.mpk", "saved.mpk.tmp"})
      std::remove((Folder + name).c_str());
    rmdir(Folder.c_str());
  }
} RemoveFolder;

bool CopyFile(const std::string& From, const std::string& To) {
  std::ifstream in(From, std::ios::binary);
  std::ofstream out(To, std::ios::binary);
  out << in.rdbuf();
  return in && out;
}

bool MembersAreOurs(const TPackageData& Package) {
  for (const std::string& m : Package.Members)
    if (m.compare(0, Folder.size(), Folder) != 0 || m.find("..") != std::string::npos) return false;
  return true;
}

// Opens the site of a package read from Path; False when it was refused or not opened.
bool OpenPackage(const std::string& Path) {
  TPackageData package;
  ReadPackage(Path, package);
  if (!MembersAreOurs(package)) return false;
  std::vector<std::string> names{Path};
  return LoadSite(names);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  TMTFile::EditDateText = [] { return std::string("26Dec11"); };
  const std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm/" : "/tmp/";
  Folder = base + "varomark-fuzz-package-" + std::to_string(getpid()) + "/";
  mkdir(Folder.c_str(), 0700);
  for (const char* name : {"S107.AMT", "S107.MT1", "S107.MT2"})
    if (!CopyFile(std::string(VAROMARK_SAMPLES) + "/" + name, Folder + name)) return 1;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string path = Folder + "input.mpk";
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    if (Size > 0) std::fwrite(Data, 1, Size, f);
    std::fclose(f);
  }
  const std::string saved = Folder + "saved.mpk";
  bool opened = false;
  try {
    opened = OpenPackage(path);
    if (opened) SavePackage(saved);
  } catch (const Exception&) {
    opened = false;
  }
  FreeSite();
  if (opened) {
    try {
      OpenPackage(saved);
    } catch (const Exception&) {}
    FreeSite();
  }
  return 0;
}
