// Folders that tests write into and leave nothing behind.
#pragma once

#include <string>

// A new, empty folder under the system's temporary folder, named Prefix plus a unique ending.
// It goes, with everything in it (read-only entries too), when the object does.
class TTempFolder {
public:
  explicit TTempFolder(const std::string& Prefix = "vm_test");
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;

  const std::string& Path() const { return FPath; }
  // The path of Name inside the folder.
  std::string File(const std::string& Name) const { return FPath + "/" + Name; }

private:
  std::string FPath;
};

// A temporary folder that is the profile folder (where settings files are kept) while it lives;
// the profile folder is cleared when it goes.
class TTempProfile : public TTempFolder {
public:
  explicit TTempProfile(const std::string& Prefix = "vm_profile");
  ~TTempProfile();
};
