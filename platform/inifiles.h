// Settings files: TIniFile (every write reaches the disk at once), TMemIniFile (in memory until
// UpdateFile), and the stand-in for the registry: TRegistry / TRegIniFile on files in the
// profile folder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/object.h"

class TStrings;

class EIniFileException : public Exception {
public:
  using Exception::Exception;
};

class ERegistryException : public Exception {
public:
  using Exception::Exception;
};

// The profile folder: $XDG_CONFIG_HOME/varomark, or ~/.config/varomark when that is unset.
// A settings file named without a folder lives here, and so do the registry files.
std::string ProfileFolder();
// Points the profile folder elsewhere (tests); an empty text restores the default.
void SetProfileFolder(const std::string& Folder);

// The lines of one settings file (internal to the settings classes).
class TProfileFile;

class TCustomIniFile : public TObject {
  VM_CLASS(TCustomIniFile, TObject)
public:
  explicit TCustomIniFile(const std::string& FileName);
  ~TCustomIniFile() override;

  // The full path: a bare name is placed in the profile folder.
  const std::string& FileName() const { return FFileName; }

  virtual std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) = 0;
  virtual void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) = 0;
  // Decimal or "0x"/"$" hexadecimal; anything else reads as Default.
  virtual int32_t ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default);
  virtual void WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value);
  // An integer: 0 is false, anything else true ("1"/"0" are written).
  virtual bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
  virtual void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
  virtual double ReadFloat(const std::string& Section, const std::string& Ident, double Default);
  virtual void WriteFloat(const std::string& Section, const std::string& Ident, double Value);

  // Key names of a section / names of all sections / "key=value" lines of a section.
  virtual void ReadSection(const std::string& Section, TStrings& Strings) = 0;
  virtual void ReadSections(TStrings& Strings) = 0;
  virtual void ReadSectionValues(const std::string& Section, TStrings& Strings) = 0;
  virtual void EraseSection(const std::string& Section) = 0;
  virtual void DeleteKey(const std::string& Section, const std::string& Ident) = 0;
  virtual void UpdateFile() = 0;
  bool SectionExists(const std::string& Section);
  virtual bool ValueExists(const std::string& Section, const std::string& Ident);

protected:
  std::string FFileName;
};

// A text INI file read and written key by key: every write reaches the disk at once and every
// read sees the file as it is (other writers included). Section and key names ignore letter case;
// values are read trimmed and with one pair of enclosing quotes ('...' or "...") removed.
// A missing file reads as empty and is not created by reading. A failed write raises
// EIniFileException "Unable to write to %s".
class TIniFile : public TCustomIniFile {
  VM_CLASS(TIniFile, TCustomIniFile)
public:
  explicit TIniFile(const std::string& FileName);
  ~TIniFile() override;

  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
  void ReadSection(const std::string& Section, TStrings& Strings) override;
  void ReadSections(TStrings& Strings) override;
  void ReadSectionValues(const std::string& Section, TStrings& Strings) override;
  void EraseSection(const std::string& Section) override;
  void DeleteKey(const std::string& Section, const std::string& Ident) override;
  void UpdateFile() override {}  // nothing is pending

private:
  std::unique_ptr<TProfileFile> FFile;
};

// The whole file in memory; UpdateFile writes it (destruction does not). Values are read trimmed,
// quotes kept.
class TMemIniFile : public TCustomIniFile {
  VM_CLASS(TMemIniFile, TCustomIniFile)
public:
  explicit TMemIniFile(const std::string& FileName);
  ~TMemIniFile() override;

  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
  void ReadSection(const std::string& Section, TStrings& Strings) override;
  void ReadSections(TStrings& Strings) override;
  void ReadSectionValues(const std::string& Section, TStrings& Strings) override;
  void EraseSection(const std::string& Section) override;
  void DeleteKey(const std::string& Section, const std::string& Ident) override;
  void UpdateFile() override;
  void Clear();
  // The file's lines as they would be written.
  void GetStrings(TStrings& Strings);
  void SetStrings(const TStrings& Strings);

private:
  std::unique_ptr<TProfileFile> FFile;
};

// ---------------------------------------------------------------------------------------------
// Registry stand-in. Each root key is a file in the profile folder ("registry.ini" for the
// current user, "registry-machine.ini" for the machine); each key is a section named by its path.

using HKEY = uint32_t;
constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
constexpr HKEY HKEY_USERS = 0x80000003u;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegKeyInfo {
  int NumSubKeys = 0;
  int NumValues = 0;
};

class TRegistry : public TObject {
  VM_CLASS(TRegistry, TObject)
public:
  TRegistry();
  ~TRegistry() override;

  HKEY RootKey() const { return FRootKey; }
  void SetRootKey(HKEY Value);
  // Key paths use '\\'; a leading '\\' starts from the root, otherwise from the open key.
  bool OpenKey(const std::string& Key, bool CanCreate);
  bool OpenKeyReadOnly(const std::string& Key);
  void CloseKey();
  const std::string& CurrentPath() const { return FCurrentPath; }
  bool KeyExists(const std::string& Key);
  bool CreateKey(const std::string& Key);
  bool DeleteKey(const std::string& Key);
  bool HasSubKeys();
  bool GetKeyInfo(TRegKeyInfo& Value);
  void GetKeyNames(TStrings& Strings);
  void GetValueNames(TStrings& Strings);

  bool ValueExists(const std::string& Name);
  bool DeleteValue(const std::string& Name);
  TRegDataType GetDataType(const std::string& Name);
  int GetDataSize(const std::string& Name);  // bytes; -1 when there is no such value

  // Values of the open key. A read of a value of another type raises ERegistryException
  // "Invalid data type for '%s'"; a missing value reads as "" from ReadString and raises
  // "Failed to get data for '%s'" from the others. Writing needs an open, writable key
  // ("Failed to set data for '%s'" otherwise).
  std::string ReadString(const std::string& Name);
  void WriteString(const std::string& Name, const std::string& Value);
  void WriteExpandString(const std::string& Name, const std::string& Value);
  int32_t ReadInteger(const std::string& Name);
  void WriteInteger(const std::string& Name, int32_t Value);
  bool ReadBool(const std::string& Name);
  void WriteBool(const std::string& Name, bool Value);
  double ReadFloat(const std::string& Name);
  void WriteFloat(const std::string& Name, double Value);
  // Returns the bytes copied; a buffer too small raises "Failed to get data for '%s'".
  int ReadBinaryData(const std::string& Name, void* Buffer, int BufSize);
  void WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize);

private:
  std::string Resolve(const std::string& Key) const;
  bool GetRaw(const std::string& Name, char& Type, std::string& Data);
  void PutRaw(const std::string& Name, char Type, const std::string& Data);

  HKEY FRootKey = HKEY_CURRENT_USER;
  std::string FCurrentPath;
  bool FKeyOpen = false;
  bool FReadOnly = false;
  std::unique_ptr<TProfileFile> FFile;
};

// The registry as an INI file: the key FileName (under the current user) is opened, created when
// needed; a section is a subkey of it (empty: the key itself). Integers are stored as strings.
class TRegIniFile : public TRegistry {
  VM_CLASS(TRegIniFile, TRegistry)
public:
  explicit TRegIniFile(const std::string& FileName);
  ~TRegIniFile() override;

  const std::string& FileName() const { return FFileName; }
  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default);
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
  int32_t ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default);
  void WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value);
  bool ReadBool(const std::string& Section, const std::string& Ident, bool Default);
  void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
  void ReadSection(const std::string& Section, TStrings& Strings);
  void ReadSections(TStrings& Strings);
  void ReadSectionValues(const std::string& Section, TStrings& Strings);
  void EraseSection(const std::string& Section);
  void DeleteKey(const std::string& Section, const std::string& Ident);

  using TRegistry::DeleteKey;
  using TRegistry::ReadBool;
  using TRegistry::ReadInteger;
  using TRegistry::ReadString;
  using TRegistry::WriteBool;
  using TRegistry::WriteInteger;
  using TRegistry::WriteString;

private:
  // Runs F with the section's key open (created when Create); restores the file's key after.
  template <class F>
  bool InSection(const std::string& Section, bool Create, F&& Fn);
  std::string FFileName;
};

// A TCustomIniFile over the registry (for code written against TCustomIniFile).
class TRegistryIniFile : public TCustomIniFile {
  VM_CLASS(TRegistryIniFile, TCustomIniFile)
public:
  explicit TRegistryIniFile(const std::string& FileName);
  ~TRegistryIniFile() override;

  TRegIniFile& RegIniFile() { return *FRegIniFile; }
  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) override;
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) override;
  int32_t ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) override;
  void WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) override;
  void ReadSection(const std::string& Section, TStrings& Strings) override;
  void ReadSections(TStrings& Strings) override;
  void ReadSectionValues(const std::string& Section, TStrings& Strings) override;
  void EraseSection(const std::string& Section) override;
  void DeleteKey(const std::string& Section, const std::string& Ident) override;
  void UpdateFile() override {}

private:
  std::unique_ptr<TRegIniFile> FRegIniFile;
};
