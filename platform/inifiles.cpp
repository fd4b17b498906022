#include "platform/inifiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/guards.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TCustomIniFile)
VM_DEFINE_CLASS(TIniFile)
VM_DEFINE_CLASS(TMemIniFile)
VM_DEFINE_CLASS(TRegistry)
VM_DEFINE_CLASS(TRegIniFile)
VM_DEFINE_CLASS(TRegistryIniFile)

// ---------------------------------------------------------------------------------------------
// Profile folder

namespace {
std::string& ProfileOverride() {
  static std::string Folder;
  return Folder;
}
}  // namespace

std::string ProfileFolder() {
  if (!ProfileOverride().empty()) return ProfileOverride();
  std::string Base = GetEnvironmentVariable("XDG_CONFIG_HOME");
  if (Base.empty()) {
    std::string Home = GetEnvironmentVariable("HOME");
    Base = (Home.empty() ? std::string(".") : Home) + "/.config";
  }
  return IncludeTrailingPathDelimiter(Base) + "varomark";
}

void SetProfileFolder(const std::string& Folder) { ProfileOverride() = ExcludeTrailingPathDelimiter(Folder); }

namespace {

std::string Dequote(const std::string& S) {
  if (S.size() >= 2 && ((S.front() == '"' && S.back() == '"') || (S.front() == '\'' && S.back() == '\'')))
    return S.substr(1, S.size() - 2);
  return S;
}

// Replaces the list's contents in one update.
void Fill(TStrings& Strings, const std::vector<std::string>& Items) {
  Strings.BeginUpdate();
  Strings.Clear();
  for (const auto& I : Items) Strings.Add(I);
  Strings.EndUpdate();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The lines of a settings file with section and key lookup.

class TProfileFile {
public:
  explicit TProfileFile(std::string Path) : FPath(std::move(Path)) {}

  const std::string& Path() const { return FPath; }
  // The lines for changing them: the section index is rebuilt on the next lookup.
  std::vector<std::string>& Lines() {
    FIndexValid = false;
    return FLines;
  }
  const std::vector<std::string>& Lines() const { return FLines; }

  // Reloads the file when it changed on disk since the last load or save.
  void Refresh() {
    std::string Stamp = CurrentStamp();
    if (FLoaded && Stamp == FStamp) return;
    Load();
  }

  void Load() {
    FLines.clear();
    FIndexValid = false;
    std::ifstream In(FPath, std::ios::binary);
    if (In) {
      std::stringstream Buf;
      Buf << In.rdbuf();
      std::string Data = Buf.str();
      if (Data.compare(0, 3, "\xEF\xBB\xBF") == 0) Data.erase(0, 3);
      size_t I = 0;
      while (I < Data.size()) {
        size_t E = Data.find_first_of("\r\n", I);
        if (E == std::string::npos) {
          FLines.push_back(Data.substr(I));
          break;
        }
        FLines.push_back(Data.substr(I, E - I));
        I = E + 1;
        if (Data[E] == '\r' && I < Data.size() && Data[I] == '\n') ++I;
      }
    }
    FStamp = CurrentStamp();
    FLoaded = true;
  }

  // Writes the lines through a temporary file, so that a failed write leaves the old file whole.
  void Save() {
    std::string Dir = ExtractFileDir(FPath);
    if (!Dir.empty() && !ForceDirectories(Dir)) Fail();
    std::string Data;
    for (const auto& L : FLines) {
      Data += L;
      Data += "\r\n";
    }
    std::string Tmp = FPath + ".tmp" + std::to_string(::getpid());
    {
      std::ofstream Out(Tmp, std::ios::binary | std::ios::trunc);
      if (!Out) Fail();
      Out.write(Data.data(), static_cast<std::streamsize>(Data.size()));
      Out.flush();
      if (!Out) {
        Out.close();
        std::remove(Tmp.c_str());
        Fail();
      }
    }
    if (std::rename(Tmp.c_str(), FPath.c_str()) != 0) {
      std::remove(Tmp.c_str());
      Fail();
    }
    FStamp = CurrentStamp();
    FLoaded = true;
  }

  // ---- lookup
  static bool IsSection(const std::string& Line, std::string& Name) {
    std::string T = Trim(Line);
    if (T.size() < 2 || T[0] != '[') return false;
    size_t Close = T.find(']');
    if (Close == std::string::npos) return false;
    Name = Trim(T.substr(1, Close - 1));
    return true;
  }

  // Key and raw value (key trimmed, value as written) of a "key=value" line.
  static bool IsKey(const std::string& Line, std::string& Key, std::string& Value) {
    size_t Eq = Line.find('=');
    if (Eq == std::string::npos) return false;
    std::string K = Trim(Line.substr(0, Eq));
    if (K.empty() || K[0] == ';' || K[0] == '[') return false;
    Key = K;
    Value = Line.substr(Eq + 1);
    return true;
  }

  // Lookups go through an index of the section lines, so that reading every section of a
  // large file does not parse every line of it again for each section.
  int FindSection(const std::string& Section) const {
    std::string S = Trim(Section);
    for (const auto& H : Index())
      if (AnsiSameText(H.second, S)) return H.first;
    return -1;
  }

  int SectionEnd(int Header) const {
    const auto& Headers = Index();
    auto Next = std::upper_bound(Headers.begin(), Headers.end(), Header,
                                 [](int L, const std::pair<int, std::string>& H) { return L < H.first; });
    return Next == Headers.end() ? static_cast<int>(FLines.size()) : Next->first;
  }

  int FindKey(int Header, const std::string& Ident) const {
    if (Header < 0) return -1;
    std::string Id = Trim(Ident), K, V;
    int End = SectionEnd(Header);
    for (int I = Header + 1; I < End; ++I)
      if (IsKey(FLines[I], K, V) && AnsiSameText(K, Id)) return I;
    return -1;
  }

  bool GetValue(const std::string& Section, const std::string& Ident, std::string& Value) const {
    int L = FindKey(FindSection(Section), Ident);
    if (L < 0) return false;
    std::string K;
    IsKey(FLines[L], K, Value);
    return true;
  }

  int AddSection(const std::string& Section) {
    int H = FindSection(Section);
    if (H >= 0) return H;
    FIndexValid = false;
    if (!FLines.empty() && !Trim(FLines.back()).empty()) FLines.emplace_back();
    FLines.push_back("[" + Trim(Section) + "]");
    return static_cast<int>(FLines.size() - 1);
  }

  void SetValue(const std::string& Section, const std::string& Ident, const std::string& Value) {
    int H = AddSection(Section);
    std::string Line = Trim(Ident) + "=" + Value;
    int L = FindKey(H, Ident);
    FIndexValid = false;
    if (L >= 0) {
      FLines[L] = Line;
      return;
    }
    // After the section's last non-blank line.
    int End = SectionEnd(H);
    int At = End;
    while (At > H + 1 && Trim(FLines[At - 1]).empty()) --At;
    FLines.insert(FLines.begin() + At, Line);
  }

  bool DeleteValue(const std::string& Section, const std::string& Ident) {
    int L = FindKey(FindSection(Section), Ident);
    if (L < 0) return false;
    FIndexValid = false;
    FLines.erase(FLines.begin() + L);
    return true;
  }

  bool EraseSection(const std::string& Section) {
    int H = FindSection(Section);
    if (H < 0) return false;
    const int End = SectionEnd(H);
    FIndexValid = false;
    FLines.erase(FLines.begin() + H, FLines.begin() + End);
    return true;
  }

  std::vector<std::string> SectionNames() const {
    std::vector<std::string> R;
    for (const auto& H : Index()) R.push_back(H.second);
    return R;
  }

  // A value read trimmed, with one pair of enclosing quotes removed when Dequoted; Default when missing.
  std::string ReadValue(const std::string& Section, const std::string& Ident, const std::string& Default,
                        bool Dequoted) const {
    std::string V;
    if (!GetValue(Section, Ident, V)) return Default;
    return Dequoted ? Dequote(Trim(V)) : Trim(V);
  }

  // The section's keys, or its "key=value" lines with values read as ReadValue does.
  std::vector<std::string> Keys(const std::string& Section) const {
    std::vector<std::string> R;
    for (const auto& E : Entries(Section)) R.push_back(E.first);
    return R;
  }
  std::vector<std::string> ValueLines(const std::string& Section, bool Dequoted) const {
    std::vector<std::string> R;
    for (const auto& E : Entries(Section))
      R.push_back(E.first + "=" + (Dequoted ? Dequote(Trim(E.second)) : Trim(E.second)));
    return R;
  }

  // Keys and raw values of a section, in file order.
  std::vector<std::pair<std::string, std::string>> Entries(const std::string& Section) const {
    std::vector<std::pair<std::string, std::string>> R;
    int H = FindSection(Section);
    if (H < 0) return R;
    int End = SectionEnd(H);
    std::string K, V;
    for (int I = H + 1; I < End; ++I)
      if (IsKey(FLines[I], K, V)) R.emplace_back(K, V);
    return R;
  }

private:
  [[noreturn]] void Fail() const { throw EIniFileException(Format("Unable to write to %s", {FPath})); }

  std::string CurrentStamp() const {
    struct stat St;
    if (::stat(FPath.c_str(), &St) != 0) return "missing";
    return std::to_string(St.st_ino) + ":" + std::to_string(St.st_size) + ":" + std::to_string(St.st_mtim.tv_sec) +
           "." + std::to_string(St.st_mtim.tv_nsec);
  }

  // The section lines in file order: line index and name.
  const std::vector<std::pair<int, std::string>>& Index() const {
    if (!FIndexValid) {
      FIndex.clear();
      std::string Name;
      for (size_t I = 0; I < FLines.size(); ++I)
        if (IsSection(FLines[I], Name)) FIndex.emplace_back(static_cast<int>(I), Name);
      FIndexValid = true;
    }
    return FIndex;
  }

  std::string FPath;
  std::vector<std::string> FLines;
  std::string FStamp;
  bool FLoaded = false;
  mutable std::vector<std::pair<int, std::string>> FIndex;
  mutable bool FIndexValid = false;
};

namespace {

std::string ResolveIniName(const std::string& FileName) {
  if (FileName.find('/') == std::string::npos && FileName.find('\\') == std::string::npos)
    return IncludeTrailingPathDelimiter(ProfileFolder()) + FileName;
  return FileName;
}

// A line break inside a value would split it into two lines of the file.
std::string OneLine(const std::string& Value) {
  std::string R = Value;
  for (char& C : R)
    if (C == '\r' || C == '\n') C = ' ';
  return R;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TCustomIniFile

TCustomIniFile::TCustomIniFile(const std::string& FileName) : FFileName(ResolveIniName(FileName)) {}
TCustomIniFile::~TCustomIniFile() = default;

int32_t TCustomIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) {
  return StrToIntDef(Trim(ReadString(Section, Ident, "")), Default);
}

void TCustomIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TCustomIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

double TCustomIniFile::ReadFloat(const std::string& Section, const std::string& Ident, double Default) {
  std::string S = ReadString(Section, Ident, "");
  return S.empty() ? Default : StrToFloatDef(S, Default);
}

void TCustomIniFile::WriteFloat(const std::string& Section, const std::string& Ident, double Value) {
  WriteString(Section, Ident, FloatToStr(Value));
}

bool TCustomIniFile::SectionExists(const std::string& Section) {
  TStringList L;
  ReadSections(L);
  for (int I = 0; I < L.Count(); ++I)
    if (AnsiSameText(L[I], Trim(Section))) return true;
  return false;
}

bool TCustomIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
  TStringList L;
  ReadSection(Section, L);
  return L.IndexOf(Trim(Ident)) >= 0;
}

// ---------------------------------------------------------------------------------------------
// TIniFile

TIniFile::TIniFile(const std::string& FileName)
    : TCustomIniFile(FileName), FFile(std::make_unique<TProfileFile>(FFileName)) {}
TIniFile::~TIniFile() = default;

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
  FFile->Refresh();
  return FFile->ReadValue(Section, Ident, Default, true);
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  FFile->Refresh();
  FFile->SetValue(Section, Ident, OneLine(Value));
  FFile->Save();
}

void TIniFile::ReadSection(const std::string& Section, TStrings& Strings) {
  FFile->Refresh();
  Fill(Strings, FFile->Keys(Section));
}

void TIniFile::ReadSections(TStrings& Strings) {
  FFile->Refresh();
  Fill(Strings, FFile->SectionNames());
}

void TIniFile::ReadSectionValues(const std::string& Section, TStrings& Strings) {
  FFile->Refresh();
  Fill(Strings, FFile->ValueLines(Section, true));
}

void TIniFile::EraseSection(const std::string& Section) {
  FFile->Refresh();
  if (FFile->EraseSection(Section)) FFile->Save();
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
  FFile->Refresh();
  if (FFile->DeleteValue(Section, Ident)) FFile->Save();
}

// ---------------------------------------------------------------------------------------------
// TMemIniFile

TMemIniFile::TMemIniFile(const std::string& FileName)
    : TCustomIniFile(FileName), FFile(std::make_unique<TProfileFile>(FFileName)) {
  FFile->Load();
}
TMemIniFile::~TMemIniFile() = default;

std::string TMemIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
  return FFile->ReadValue(Section, Ident, Default, false);
}

void TMemIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  FFile->SetValue(Section, Ident, OneLine(Value));
}

void TMemIniFile::ReadSection(const std::string& Section, TStrings& Strings) { Fill(Strings, FFile->Keys(Section)); }

void TMemIniFile::ReadSections(TStrings& Strings) { Fill(Strings, FFile->SectionNames()); }

void TMemIniFile::ReadSectionValues(const std::string& Section, TStrings& Strings) {
  Fill(Strings, FFile->ValueLines(Section, false));
}

void TMemIniFile::EraseSection(const std::string& Section) { FFile->EraseSection(Section); }

void TMemIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
  FFile->DeleteValue(Section, Ident);
}

void TMemIniFile::UpdateFile() { FFile->Save(); }

void TMemIniFile::Clear() { FFile->Lines().clear(); }

void TMemIniFile::GetStrings(TStrings& Strings) { Fill(Strings, FFile->Lines()); }

void TMemIniFile::SetStrings(const TStrings& Strings) { FFile->Lines() = Strings.ToVector(); }

// ---------------------------------------------------------------------------------------------
// TRegistry

namespace {

std::string RegistryFileName(HKEY Root) {
  switch (Root) {
    case HKEY_LOCAL_MACHINE:
      return "registry-machine.ini";
    case HKEY_CLASSES_ROOT:
      return "registry-classes.ini";
    case HKEY_USERS:
      return "registry-users.ini";
    default:
      return "registry.ini";
  }
}

// Value names and texts are escaped so that any text survives a line of the file.
std::string EncodeName(const std::string& Name) {
  if (Name.empty()) return "@";
  std::string R;
  for (size_t I = 0; I < Name.size(); ++I) {
    unsigned char C = static_cast<unsigned char>(Name[I]);
    bool Edge = (I == 0 || I + 1 == Name.size()) && (C == ' ' || C == '\t');
    if (C < 0x20 || C == '=' || C == '%' || C == '[' || C == ';' || Edge || (I == 0 && C == '@')) {
      R += Format("%%%.2x", {static_cast<int>(C)});
    } else {
      R += static_cast<char>(C);
    }
  }
  return R;
}

std::string DecodeName(const std::string& S) {
  if (S == "@") return "";
  std::string R;
  for (size_t I = 0; I < S.size(); ++I) {
    if (S[I] == '%' && I + 2 < S.size()) {
      int V;
      if (TryStrToInt("$" + S.substr(I + 1, 2), V)) {
        R += static_cast<char>(V);
        I += 2;
        continue;
      }
    }
    R += S[I];
  }
  return R;
}

std::string EscapeText(const std::string& S) {
  std::string R;
  for (char C : S) {
    if (C == '\\')
      R += "\\\\";
    else if (C == '\r')
      R += "\\r";
    else if (C == '\n')
      R += "\\n";
    else
      R += C;
  }
  return R;
}

std::string UnescapeText(const std::string& S) {
  std::string R;
  for (size_t I = 0; I < S.size(); ++I) {
    if (S[I] == '\\' && I + 1 < S.size()) {
      char N = S[++I];
      R += N == 'r' ? '\r' : N == 'n' ? '\n' : N;
    } else {
      R += S[I];
    }
  }
  return R;
}

std::string ToHex(const std::string& Bytes) {
  std::string R;
  for (char C : Bytes) R += IntToHex(static_cast<uint8_t>(C), 2);
  return R;
}

std::string FromHex(const std::string& Hex) {
  std::string R;
  for (size_t I = 0; I + 1 < Hex.size(); I += 2) {
    int V = 0;
    if (TryStrToInt("$" + Hex.substr(I, 2), V)) R += static_cast<char>(V);
  }
  return R;
}

std::string NormalizeKey(std::string K) {
  for (char& C : K)
    if (C == '/') C = '\\';
  while (!K.empty() && K.back() == '\\') K.pop_back();
  while (!K.empty() && K.front() == '\\') K.erase(K.begin());
  return K;
}

bool IsUnder(const std::string& Section, const std::string& Key) {
  if (Key.empty()) return true;
  return Section.size() > Key.size() && Section[Key.size()] == '\\' && AnsiSameText(Section.substr(0, Key.size()), Key);
}

}  // namespace

TRegistry::TRegistry() : FFile(std::make_unique<TProfileFile>("")) { SetRootKey(HKEY_CURRENT_USER); }
TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(HKEY Value) {
  FRootKey = Value;
  CloseKey();
  FFile = std::make_unique<TProfileFile>(IncludeTrailingPathDelimiter(ProfileFolder()) + RegistryFileName(Value));
}

std::string TRegistry::Resolve(const std::string& Key) const {
  std::string K = NormalizeKey(Key);
  const bool Absolute = !Key.empty() && (Key[0] == '\\' || Key[0] == '/');
  if (Absolute || FCurrentPath.empty()) return K;
  return K.empty() ? FCurrentPath : FCurrentPath + "\\" + K;
}

bool TRegistry::KeyExists(const std::string& Key) {
  std::string Path = Resolve(Key);
  if (Path.empty()) return true;
  FFile->Refresh();
  for (const auto& S : FFile->SectionNames())
    if (AnsiSameText(S, Path) || IsUnder(S, Path)) return true;
  return false;
}

bool TRegistry::CreateKey(const std::string& Key) {
  std::string Path = Resolve(Key);
  FFile->Refresh();
  if (FFile->FindSection(Path) >= 0) return true;
  FFile->AddSection(Path);
  FFile->Save();
  return true;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
  std::string Path = Resolve(Key);
  if (!KeyExists("\\" + Path)) {
    if (!CanCreate) return false;
    CreateKey("\\" + Path);
  }
  FCurrentPath = Path;
  FKeyOpen = true;
  FReadOnly = false;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& Key) {
  std::string Path = Resolve(Key);
  if (!KeyExists("\\" + Path)) return false;
  FCurrentPath = Path;
  FKeyOpen = true;
  FReadOnly = true;
  return true;
}

void TRegistry::CloseKey() {
  FCurrentPath.clear();
  FKeyOpen = false;
  FReadOnly = false;
}

bool TRegistry::DeleteKey(const std::string& Key) {
  std::string Path = Resolve(Key);
  if (Path.empty()) return false;
  FFile->Refresh();
  bool Any = false;
  for (const auto& S : FFile->SectionNames())
    if (AnsiSameText(S, Path) || IsUnder(S, Path)) {
      FFile->EraseSection(S);
      Any = true;
    }
  if (Any) FFile->Save();
  return Any;
}

void TRegistry::GetKeyNames(TStrings& Strings) {
  FFile->Refresh();
  TStringList Names;
  Names.SetSorted(true);  // ignores duplicates
  for (const auto& S : FFile->SectionNames()) {
    if (!IsUnder(S, FCurrentPath)) continue;
    std::string Rest = FCurrentPath.empty() ? S : S.substr(FCurrentPath.size() + 1);
    std::string Child = Rest.substr(0, Rest.find('\\'));
    if (!Child.empty()) Names.Add(Child);
  }
  Strings.Assign(Names);
}

bool TRegistry::HasSubKeys() {
  TStringList L;
  GetKeyNames(L);
  return L.Count() > 0;
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& Value) {
  if (!FKeyOpen) return false;
  TStringList K, V;
  GetKeyNames(K);
  GetValueNames(V);
  Value.NumSubKeys = K.Count();
  Value.NumValues = V.Count();
  return true;
}

void TRegistry::GetValueNames(TStrings& Strings) {
  FFile->Refresh();
  Strings.BeginUpdate();
  Strings.Clear();
  if (FKeyOpen)
    for (const auto& E : FFile->Entries(FCurrentPath)) Strings.Add(DecodeName(E.first));
  Strings.EndUpdate();
}

bool TRegistry::GetRaw(const std::string& Name, char& Type, std::string& Data) {
  if (!FKeyOpen) return false;
  FFile->Refresh();
  std::string V;
  if (!FFile->GetValue(FCurrentPath, EncodeName(Name), V)) return false;
  if (V.size() < 2 || V[1] != ':') return false;
  Type = V[0];
  Data = V.substr(2);
  if (Type == 's' || Type == 'e')
    Data = UnescapeText(Data);
  else if (Type == 'b')
    Data = FromHex(Data);
  return true;
}

void TRegistry::PutRaw(const std::string& Name, char Type, const std::string& Data) {
  if (!FKeyOpen || FReadOnly) throw ERegistryException(Format("Failed to set data for '%s'", {Name}));
  std::string Encoded = Type == 'b' ? ToHex(Data) : (Type == 's' || Type == 'e') ? EscapeText(Data) : Data;
  FFile->Refresh();
  FFile->SetValue(FCurrentPath, EncodeName(Name), std::string(1, Type) + ":" + Encoded);
  FFile->Save();
}

bool TRegistry::ValueExists(const std::string& Name) {
  char T;
  std::string D;
  return GetRaw(Name, T, D);
}

bool TRegistry::DeleteValue(const std::string& Name) {
  if (!FKeyOpen || FReadOnly) return false;
  FFile->Refresh();
  if (!FFile->DeleteValue(FCurrentPath, EncodeName(Name))) return false;
  FFile->Save();
  return true;
}

TRegDataType TRegistry::GetDataType(const std::string& Name) {
  char T;
  std::string D;
  if (!GetRaw(Name, T, D)) return rdUnknown;
  switch (T) {
    case 's':
      return rdString;
    case 'e':
      return rdExpandString;
    case 'd':
      return rdInteger;
    case 'b':
      return rdBinary;
    default:
      return rdUnknown;
  }
}

int TRegistry::GetDataSize(const std::string& Name) {
  char T;
  std::string D;
  if (!GetRaw(Name, T, D)) return -1;
  if (T == 'd') return 4;
  if (T == 's' || T == 'e') return static_cast<int>(D.size()) + 1;
  return static_cast<int>(D.size());
}

std::string TRegistry::ReadString(const std::string& Name) {
  char T;
  std::string D;
  if (!GetRaw(Name, T, D)) return "";
  if (T != 's' && T != 'e') throw ERegistryException(Format("Invalid data type for '%s'", {Name}));
  return D;
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) { PutRaw(Name, 's', Value); }
void TRegistry::WriteExpandString(const std::string& Name, const std::string& Value) { PutRaw(Name, 'e', Value); }

int32_t TRegistry::ReadInteger(const std::string& Name) {
  char T;
  std::string D;
  if (!GetRaw(Name, T, D)) throw ERegistryException(Format("Failed to get data for '%s'", {Name}));
  int32_t V;
  if (T != 'd' || !TryStrToInt(D, V)) throw ERegistryException(Format("Invalid data type for '%s'", {Name}));
  return V;
}

void TRegistry::WriteInteger(const std::string& Name, int32_t Value) { PutRaw(Name, 'd', IntToStr(Value)); }

bool TRegistry::ReadBool(const std::string& Name) { return ReadInteger(Name) != 0; }
void TRegistry::WriteBool(const std::string& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

double TRegistry::ReadFloat(const std::string& Name) {
  double V = 0;
  int N = ReadBinaryData(Name, &V, sizeof V);
  if (N != static_cast<int>(sizeof V)) throw ERegistryException(Format("Invalid data type for '%s'", {Name}));
  return V;
}

void TRegistry::WriteFloat(const std::string& Name, double Value) { WriteBinaryData(Name, &Value, sizeof Value); }

int TRegistry::ReadBinaryData(const std::string& Name, void* Buffer, int BufSize) {
  char T;
  std::string D;
  if (!GetRaw(Name, T, D)) throw ERegistryException(Format("Failed to get data for '%s'", {Name}));
  if (T != 'b') throw ERegistryException(Format("Invalid data type for '%s'", {Name}));
  if (static_cast<int>(D.size()) > BufSize) throw ERegistryException(Format("Failed to get data for '%s'", {Name}));
  if (!D.empty()) std::memcpy(Buffer, D.data(), D.size());
  return static_cast<int>(D.size());
}

void TRegistry::WriteBinaryData(const std::string& Name, const void* Buffer, int BufSize) {
  PutRaw(Name, 'b', std::string(static_cast<const char*>(Buffer), static_cast<size_t>(std::max(BufSize, 0))));
}

// ---------------------------------------------------------------------------------------------
// TRegIniFile

TRegIniFile::TRegIniFile(const std::string& FileName) : FFileName(FileName) { OpenKey(FileName, true); }
TRegIniFile::~TRegIniFile() = default;

template <class F>
bool TRegIniFile::InSection(const std::string& Section, bool Create, F&& Fn) {
  std::string Saved = CurrentPath();
  bool Opened = Section.empty() ? true : OpenKey(Section, Create);
  if (!Opened) return false;
  {
    TScopeFail backToSaved([&] { OpenKey("\\" + Saved, false); });
    Fn();
  }
  if (!Section.empty()) OpenKey("\\" + Saved, false);
  return true;
}

std::string TRegIniFile::ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) {
  std::string R = Default;
  InSection(Section, false, [&] {
    if (ValueExists(Ident)) R = TRegistry::ReadString(Ident);
  });
  return R;
}

void TRegIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  InSection(Section, true, [&] { TRegistry::WriteString(Ident, Value); });
}

int32_t TRegIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) {
  int32_t R = Default;
  InSection(Section, false, [&] {
    TRegDataType T = GetDataType(Ident);
    if (T == rdString || T == rdExpandString)
      R = StrToIntDef(TRegistry::ReadString(Ident), Default);
    else if (T == rdInteger)
      R = TRegistry::ReadInteger(Ident);
  });
  return R;
}

void TRegIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

bool TRegIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
  WriteInteger(Section, Ident, Value ? 1 : 0);
}

void TRegIniFile::ReadSection(const std::string& Section, TStrings& Strings) {
  Strings.Clear();
  InSection(Section, false, [&] { GetValueNames(Strings); });
}

void TRegIniFile::ReadSections(TStrings& Strings) { GetKeyNames(Strings); }

void TRegIniFile::ReadSectionValues(const std::string& Section, TStrings& Strings) {
  Strings.BeginUpdate();
  Strings.Clear();
  InSection(Section, false, [&] {
    TStringList Names;
    GetValueNames(Names);
    for (int I = 0; I < Names.Count(); ++I) {
      TRegDataType T = GetDataType(Names[I]);
      std::string V = T == rdInteger                           ? IntToStr(TRegistry::ReadInteger(Names[I]))
                      : (T == rdString || T == rdExpandString) ? TRegistry::ReadString(Names[I])
                                                               : std::string();
      Strings.Add(Names[I] + "=" + V);
    }
  });
  Strings.EndUpdate();
}

void TRegIniFile::EraseSection(const std::string& Section) { TRegistry::DeleteKey(Section); }

void TRegIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
  InSection(Section, false, [&] { DeleteValue(Ident); });
}

// ---------------------------------------------------------------------------------------------
// TRegistryIniFile

TRegistryIniFile::TRegistryIniFile(const std::string& FileName)
    : TCustomIniFile(FileName), FRegIniFile(std::make_unique<TRegIniFile>(FileName)) {
  FFileName = FileName;  // a key path, not a file in the profile folder
}
TRegistryIniFile::~TRegistryIniFile() = default;

std::string TRegistryIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                         const std::string& Default) {
  return FRegIniFile->ReadString(Section, Ident, Default);
}
void TRegistryIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  FRegIniFile->WriteString(Section, Ident, Value);
}
int32_t TRegistryIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) {
  return FRegIniFile->ReadInteger(Section, Ident, Default);
}
void TRegistryIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) {
  FRegIniFile->WriteInteger(Section, Ident, Value);
}
void TRegistryIniFile::ReadSection(const std::string& Section, TStrings& Strings) {
  FRegIniFile->ReadSection(Section, Strings);
}
void TRegistryIniFile::ReadSections(TStrings& Strings) { FRegIniFile->ReadSections(Strings); }
void TRegistryIniFile::ReadSectionValues(const std::string& Section, TStrings& Strings) {
  FRegIniFile->ReadSectionValues(Section, Strings);
}
void TRegistryIniFile::EraseSection(const std::string& Section) { FRegIniFile->EraseSection(Section); }
void TRegistryIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
  FRegIniFile->DeleteKey(Section, Ident);
}
