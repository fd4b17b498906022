#include "controls/file_utils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <utility>

#include "platform/controls.h"
#include "platform/exceptions.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/shell.h"
#include "platform/streams.h"
#include "platform/strings.h"

namespace fs = std::filesystem;

namespace {

bool IsSeparator(char C) { return C == '/' || C == '\\'; }

fs::path P(const std::string& S) { return fs::path(S); }

// Names are kept to the 63 characters of the original entries.
std::string Cut63(const std::string& S) { return S.size() > 63 ? S.substr(0, 63) : S; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Progress controls

TProgressList::~TProgressList() { Clear(); }

void TProgressList::Add(TClass AClass, const std::string& MaxPropName, const std::string& MinPropName,
                        const std::string& PositionPropName) {
  auto* e = new TProgressProp{AClass, Cut63(MaxPropName), Cut63(MinPropName), Cut63(PositionPropName)};
  TList::Add(e);
}

void TProgressList::Remove(TClass AClass) {
  for (int i = Count() - 1; i >= 0; --i)
    if (Props(i).ControlClass == AClass) Delete(i);
}

int TProgressList::FindControl(const TObject* Control) const {
  if (!Control) return -1;
  for (int i = Count() - 1; i >= 0; --i)
    if (Props(i).ControlClass && Control->InheritsFrom(Props(i).ControlClass)) return i;
  return -1;
}

void TProgressList::Notify(void* Ptr, TListNotification Action) {
  if (Action == lnDeleted) delete static_cast<TProgressProp*>(Ptr);
}

TProgressList* ProgressClassRegistry() {
  static std::unique_ptr<TProgressList> registry;
  if (!registry) {
    registry = std::make_unique<TProgressList>();
    if (TClass bar = GetClass("TProgressBar")) registry->Add(bar, "Max", "Min", "Position");
  }
  return registry.get();
}

namespace {

bool SetProgressProp(TControl* Control, std::string TProgressProp::*Which, int32_t Value) {
  if (!Control) return false;
  TProgressList* reg = ProgressClassRegistry();
  const int i = reg->FindControl(Control);
  if (i < 0) return false;
  const TPropInfo* info = GetPropInfo(Control, reg->Props(i).*Which);
  if (!info || !info->IsWritable()) return false;
  switch (info->Kind) {
    case tkInteger:
    case tkInt64:
      SetOrdProp(Control, info, Value);
      return true;
    case tkFloat:
      SetFloatProp(Control, info, Value);
      return true;
    case tkVariant:
    case tkString:
    case tkLString:
      SetStrProp(Control, info, IntToStr(Value));
      return true;
    default:
      return false;
  }
}

}  // namespace

bool ProgressControlSetMax(TControl* Control, int32_t Value) {
  return SetProgressProp(Control, &TProgressProp::MaxPropName, Value);
}
bool ProgressControlSetMin(TControl* Control, int32_t Value) {
  return SetProgressProp(Control, &TProgressProp::MinPropName, Value);
}
bool ProgressControlSetPosition(TControl* Control, int32_t Value) {
  return SetProgressProp(Control, &TProgressProp::PositionPropName, Value);
}

// ---------------------------------------------------------------------------------------------
// Copying and folders

namespace {

constexpr int64_t kCopyBlock = 8192;

// Sets the progress position to 0 when the copy ends, however it ends.
struct ProgressReset {
  TControl* Control;
  ~ProgressReset() {
    if (!Control) return;
    try {
      ProgressControlSetPosition(Control, 0);
    } catch (...) {}
  }
};

// A name beside Target that nothing uses yet.
std::string PartName(const std::string& Target) {
  const std::string dir = ExtractFilePath(Target), name = ExtractFileName(Target);
  for (int n = 0;; ++n) {
    std::string cand = dir + "." + name + ".~cp" + IntToStr(static_cast<int64_t>(::getpid())) +
                       (n ? "-" + IntToStr(n) : std::string());
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(P(cand), ec))) return cand;
  }
}

bool IsReadOnly(const fs::file_status& St) { return (St.permissions() & fs::perms::owner_write) == fs::perms::none; }

}  // namespace

void CopyFileGeneral(const std::string& Source, const std::string& Dest, bool ClearReadOnly, TControl* ProgressControl,
                     bool UseShell) {
  if (UseShell) {
    ShellCopyOrMove(Source, Dest, !ClearReadOnly, false, false);
    return;
  }
  std::string target = Dest;
  if (FolderExists(target)) target = WithTrailingSeparator(target) + ExtractFileName(Source);
  const int64_t size = FileSizeOf(Source);

  if (FolderExists(Source)) throw EFOpenError(Format("Cannot open file %s", {Source}));
  std::unique_ptr<TFileStream> in;
  try {
    in = std::make_unique<TFileStream>(Source, fmOpenRead | fmShareDenyWrite);
  } catch (const EStreamError&) {
    throw EFOpenError(Format("Cannot open file %s", {Source}));
  }

  // Sizes beyond the integer range are reported in coarser units.
  int shift = 0;
  while ((std::max<int64_t>(size, 0) >> shift) > INT32_MAX) ++shift;
  ProgressReset reset{ProgressControl};
  if (ProgressControl) {
    ProgressControlSetMax(ProgressControl, static_cast<int32_t>(std::max<int64_t>(size, 0) >> shift));
    ProgressControlSetMin(ProgressControl, 0);
    ProgressControlSetPosition(ProgressControl, 0);
  }

  CreateFolderPath(ExtractFilePath(target));

  std::error_code ec;
  // A link is written through, so the file it names takes the copy.
  if (fs::is_symlink(fs::symlink_status(P(target), ec))) {
    fs::path real = fs::weakly_canonical(P(target), ec);
    if (!ec) target = real.string();
  }
  const fs::file_status st = fs::status(P(target), ec);
  const bool exists = !ec && fs::exists(st);
  const auto createError = [&] { return EFCreateError(Format("Cannot create file %s", {target})); };
  if (exists && fs::is_directory(st)) throw createError();
  if (exists && IsReadOnly(st)) {
    if (!ClearReadOnly) throw createError();
    fs::permissions(P(target), fs::perms::owner_write, fs::perm_options::add, ec);
  }
  // A regular file is written beside the target and renamed over it when complete; devices and
  // pipes are written in place.
  const bool inPlace = exists && !fs::is_regular_file(st);
  const std::string work = inPlace ? target : PartName(target);

  std::unique_ptr<TFileStream> out;
  try {
    out = std::make_unique<TFileStream>(work, inPlace ? static_cast<uint16_t>(fmOpenWrite) : fmCreate);
  } catch (const EStreamError&) {
    throw createError();
  }
  TScopeFail undo([&] {
    out.reset();
    if (!inPlace) fs::remove(P(work), ec);
  });
  std::vector<char> buffer(kCopyBlock);
  int64_t total = 0;
  for (;;) {
    ssize_t n;
    do {
      n = ::read(in->Handle(), buffer.data(), static_cast<size_t>(kCopyBlock));
    } while (n < 0 && errno == EINTR);
    if (n < 0) throw EReadError("Stream read error");
    // A short read that is not the end: read on to fill the block.
    while (n > 0 && n < kCopyBlock) {
      ssize_t more = ::read(in->Handle(), buffer.data() + n, static_cast<size_t>(kCopyBlock - n));
      if (more < 0 && errno == EINTR) continue;
      if (more < 0) throw EReadError("Stream read error");
      if (more == 0) break;
      n += more;
    }
    total += n;
    if (n > 0 && out->Write(buffer.data(), n) != n) throw EWriteError("Stream write error");
    if (ProgressControl) ProgressControlSetPosition(ProgressControl, static_cast<int32_t>(total >> shift));
    if (n < kCopyBlock) break;
  }
  if (!inPlace) {
    if (::fsync(out->Handle()) != 0 && errno != EINVAL) throw EWriteError("Stream write error");
    out.reset();
    const auto when = fs::last_write_time(P(Source), ec);
    if (!ec) fs::last_write_time(P(work), when, ec);
    if (exists) fs::permissions(P(work), st.permissions(), ec);
    fs::rename(P(work), P(target), ec);
    if (ec) throw createError();
  }
}

void CopyFileWithProgress(const std::string& Source, const std::string& Dest, TControl* ProgressControl) {
  CopyFileGeneral(Source, Dest, false, ProgressControl, false);
}

void CreateFolderPath(const std::string& Path) {
  if (Path.empty()) return;
  std::string path = Path;
  if (IsSeparator(path.back())) path.pop_back();
  if (path.empty() || FolderExists(path)) return;
  size_t last = path.find_last_of("/\\");
  std::string parent = last == std::string::npos ? std::string() : path.substr(0, last + 1);
  if (parent != path) CreateFolderPath(parent);
  std::error_code ec;
  fs::create_directory(P(path), ec);
}

// ---------------------------------------------------------------------------------------------
// Path routines

std::string WithTrailingSeparator(const std::string& Folder) {
  if (Folder.empty() || IsSeparator(Folder.back())) return Folder;
  return Folder + PathDelim;
}

std::string WithoutTrailingSeparator(const std::string& Folder) {
  if (Folder.size() > 1 && IsSeparator(Folder.back())) return Folder.substr(0, Folder.size() - 1);
  return Folder;
}

bool FolderExists(const std::string& Path) {
  std::error_code ec;
  return !Path.empty() && fs::is_directory(P(Path), ec);
}

bool HasAttributes(const std::string& Name, int Attr) {
  std::error_code ec;
  const fs::file_status st = fs::status(P(Name), ec);
  if (ec || !fs::exists(st)) return false;
  int attr = 0;
  if (fs::is_directory(st)) attr |= faDirectory;
  if (IsReadOnly(st)) attr |= faReadOnly;
  const std::string name = ExtractFileName(WithoutTrailingSeparator(Name));
  if (!name.empty() && name[0] == '.' && name != "." && name != "..") attr |= faHidden;
  return (attr & Attr) == Attr;
}

bool ContainsAnyChar(const std::string& Text, const TCharSet& Chars) {
  for (char c : Text)
    if (Chars.test(static_cast<unsigned char>(c))) return true;
  return false;
}

bool IsValidFileName(const std::string& Name) { return !Name.empty() && !ContainsAnyChar(Name, CharSetOf("<>\"[]|")); }

std::string LongNameOf(const std::string& Path) {
  std::error_code ec;
  if (Path.empty() || !fs::exists(fs::symlink_status(P(Path), ec))) return {};
  std::string name = ExtractFileName(Path);
  return name.empty() ? Path : name;
}

std::string ShortNameOf(const std::string& Path) { return LongNameOf(Path); }

namespace {

std::string PathOf(const std::string& Path, std::string (*NameOf)(const std::string&)) {
  std::string copy = Path, result;
  for (;;) {
    size_t last = copy.find_last_of("/\\");
    if (last == std::string::npos) break;
    result = copy[last] + NameOf(copy) + result;
    copy.erase(last);
  }
  return copy + result;
}

}  // namespace

std::string LongPathOf(const std::string& Path) { return PathOf(Path, LongNameOf); }
std::string ShortPathOf(const std::string& Path) { return PathOf(Path, ShortNameOf); }

// ---------------------------------------------------------------------------------------------
// Modal file operations

void RunModalShellCall(const std::function<void()>& Fn) {
  std::vector<TForm*> disabled;
  TForm* active = Screen ? Screen->ActiveForm() : nullptr;
  if (Screen)
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (TForm* f = Screen->Forms(i); f->Enabled()) {
        f->SetEnabled(false);
        disabled.push_back(f);
      }
  auto restore = [&] {
    if (!Screen) return;
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TForm* f = Screen->Forms(i);
      if (std::find(disabled.begin(), disabled.end(), f) != disabled.end()) f->SetEnabled(true);
      if (f == active) Screen->SetActiveForm(active);
    }
  };
  TScopeExit restoreForms(restore);
  Fn();
}

std::vector<std::string> MakeDoubleNullList(const std::string& Text) {
  std::vector<std::string> names;
  std::string cur;
  for (char c : Text) {
    if (c == ';' || c == '|') {
      if (!cur.empty()) names.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) names.push_back(cur);
  return names;
}

const TEnumInfo BrowseKindInfo("TBrowseKind", {"bfFolders", "bfComputers"});
const TEnumInfo DialogPositionInfo("TDialogPosition", {"dpDefault", "dpScreenCenter"});
const TEnumInfo FileOperationInfo("TFileOperation", {"foCopy", "foDelete", "foMove", "foRename"});
const TEnumInfo FileOperFlagInfo("TFileOperFlag", {"flAllowUndo", "flConfirmMouse", "flFilesOnly", "flMultiDest",
                                                   "flNoConfirmation", "flNoConfirmMkDir", "flRenameOnCollision",
                                                   "flSilent", "flSimpleProgress", "flNoErrorUI"});

namespace {
TBrowseFolderHook& BrowseHook() {
  static TBrowseFolderHook hook;
  return hook;
}
}  // namespace

void SetBrowseFolderHook(TBrowseFolderHook Hook) { BrowseHook() = std::move(Hook); }

VM_PUBLISH(TBrowseFolderDlg) {
  P.Enum("BrowseKind", &TBrowseFolderDlg::BrowseKind, &TBrowseFolderDlg::SetBrowseKind, BrowseKindInfo)
      .Default(bfFolders);
  P.Bool("DesktopRoot", &TBrowseFolderDlg::DesktopRoot, &TBrowseFolderDlg::SetDesktopRoot).Default(true);
  P.String("DialogText", &TBrowseFolderDlg::DialogText, &TBrowseFolderDlg::SetDialogText);
  P.String("FolderName", &TBrowseFolderDlg::FolderName, &TBrowseFolderDlg::SetFolderName);
  P.Int("HelpContext", &TBrowseFolderDlg::HelpContext, &TBrowseFolderDlg::SetHelpContext).Default(0);
  P.Enum("Position", &TBrowseFolderDlg::Position, &TBrowseFolderDlg::SetPosition, DialogPositionInfo)
      .Default(dpScreenCenter);
  P.Event("OnInitialized", &TBrowseFolderDlg::OnInitialized);
  P.Event("OnSelChanged", &TBrowseFolderDlg::OnSelChanged);
}

TBrowseFolderDlg::TBrowseFolderDlg(TComponent* AOwner) : TComponent(AOwner) {}

std::string TBrowseFolderDlg::RootFolder() const {
  if (FDesktopRoot || FBrowseKind == bfComputers) {
    std::string home = GetEnvironmentVariable("HOME");
    if (!home.empty()) return WithTrailingSeparator(home);
  }
  return "/";
}

std::string TBrowseFolderDlg::InitialSelection() const {
  return FBrowseKind == bfComputers || FolderExists(FFolderName) ? FFolderName : std::string();
}

void TBrowseFolderDlg::BrowserInitialized() {
  if (OnInitialized) OnInitialized(this);
}

bool TBrowseFolderDlg::BrowserSelChanged(const std::string& Path, const std::string& DisplayName) {
  bool ok = true;
  if (FBrowseKind == bfComputers) {
    FSelectedName = DisplayName;
  } else if (!Path.empty()) {
    FSelectedName = Path;
    ok = FolderExists(Path);
  } else {
    FSelectedName.clear();
    ok = false;
  }
  if (OnSelChanged) OnSelChanged(this);
  return ok;
}

bool TBrowseFolderDlg::Execute() {
  if (!BrowseHook()) return false;
  std::string path, display;
  bool ok = false;
  RunModalShellCall([&] { ok = BrowseHook()(this, path, display); });
  if (!ok) return false;
  FDisplayName = display;
  FFolderName = FBrowseKind == bfComputers ? display : WithoutTrailingSeparator(path);
  FSelectedName = FFolderName;
  FImageIndex = -1;  // the browser shows no system image list here
  return true;
}

bool BrowseForFolder(std::string& Folder, const std::string& DialogText, int32_t HelpContext) {
  std::unique_ptr<TBrowseFolderDlg> dlg(new TBrowseFolderDlg(nullptr));
  dlg->SetDialogText(DialogText);
  dlg->SetFolderName(Folder);
  dlg->SetHelpContext(HelpContext);
  if (!dlg->Execute()) return false;
  Folder = dlg->FolderName();
  return true;
}

// ---------------------------------------------------------------------------------------------
// TVxFileOperator

VM_PUBLISH(TVxFileOperator) {
  P.String("Destination", &TVxFileOperator::Destination, &TVxFileOperator::SetDestination);
  P.Enum("Operation", &TVxFileOperator::Operation, &TVxFileOperator::SetOperation, FileOperationInfo).Default(foCopy);
  P.Set("Options", &TVxFileOperator::Options, &TVxFileOperator::SetOptions, FileOperFlagInfo)
      .Default(TFileOperFlags{flAllowUndo, flNoConfirmMkDir});
  P.String("ProgressTitle", &TVxFileOperator::ProgressTitle, &TVxFileOperator::SetProgressTitle);
  P.String("Source", &TVxFileOperator::Source, &TVxFileOperator::SetSource);
}

TVxFileOperator::TVxFileOperator(TComponent* AOwner) : TComponent(AOwner) {}

namespace {

struct OperationFailed {
  std::string Message;
};
struct OperationCancelled {};

std::string Quoted(const std::string& S) { return "\"" + S + "\""; }

bool Exists(const std::string& S) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(P(S), ec));
}

// Moves a file or folder across file systems: copy, then remove the original.
void CopyThenRemove(const fs::path& From, const fs::path& To, std::error_code& Ec) {
  fs::copy(From, To, fs::copy_options::recursive | fs::copy_options::copy_symlinks, Ec);
  if (!Ec) fs::remove_all(From, Ec);
}

void Relocate(const fs::path& From, const fs::path& To, std::error_code& Ec) {
  fs::rename(From, To, Ec);
  if (Ec == std::errc::cross_device_link) CopyThenRemove(From, To, Ec);
}

// The freedesktop trash of the user: the entry goes to files/, its origin to info/.
void MoveToTrash(const std::string& Path) {
  std::string base = GetEnvironmentVariable("XDG_DATA_HOME");
  if (base.empty()) base = GetEnvironmentVariable("HOME") + "/.local/share";
  const fs::path trash = fs::path(base) / "Trash";
  std::error_code ec;
  fs::create_directories(trash / "files", ec);
  fs::create_directories(trash / "info", ec);
  const fs::path abs = fs::absolute(P(Path), ec);
  const std::string name = abs.filename().string();
  std::string cand = name;
  for (int n = 2;
       Exists((trash / "files" / cand).string()) || Exists((trash / "info" / (cand + ".trashinfo")).string()); ++n)
    cand = abs.stem().string() + "." + IntToStr(n) + abs.extension().string();
  char when[32];
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  std::strftime(when, sizeof when, "%Y-%m-%dT%H:%M:%S", &tm);
  const fs::path info = trash / "info" / (cand + ".trashinfo");
  {
    std::ofstream f(info);
    f << "[Trash Info]\nPath=" << PercentEncode(abs.string()) << "\nDeletionDate=" << when << "\n";
    if (!f) throw OperationFailed{"Cannot move " + Quoted(Path) + " to the trash"};
  }
  Relocate(abs, trash / "files" / cand, ec);
  if (ec) {
    fs::remove(info, ec);
    throw OperationFailed{"Cannot move " + Quoted(Path) + " to the trash"};
  }
}

// "name (2).ext", "name (3).ext", ... : the first that is free.
std::string FreeName(const std::string& Target) {
  const fs::path t = P(Target);
  for (int n = 2;; ++n) {
    fs::path cand = t.parent_path() / (t.stem().string() + " (" + IntToStr(n) + ")" + t.extension().string());
    if (!Exists(cand.string())) return cand.string();
  }
}

}  // namespace

struct TVxFileOperator::Run {
  TVxFileOperator& Op;
  bool Confirm;

  int Ask(const std::string& Text, int Flags) {
    if (!Confirm) return IDYES;
    return Application ? Application->MessageBox(Text, "Confirm", Flags | MB_ICONQUESTION) : IDYES;
  }

  bool Has(TFileOperFlag F) const { return Op.FOptions.Contains(F); }

  // The names of one source entry, wildcards in its name part expanded.
  std::vector<std::string> Expand(const std::string& Item, bool& Wild) {
    const std::string name = ExtractFileName(Item);
    Wild = name.find_first_of("*?") != std::string::npos;
    if (!Wild) {
      if (!Exists(Item)) throw OperationFailed{"Cannot find " + Quoted(Item)};
      return {Item};
    }
    std::vector<std::string> out;
    TSearchRec rec;
    const int attr = Has(flFilesOnly) ? faAnyFile & ~faDirectory : faAnyFile;
    for (int r = FindFirst(Item, attr, rec); r == 0; r = FindNext(rec))
      if (!(Has(flFilesOnly) && (rec.Attr & faDirectory))) out.push_back(ExtractFilePath(Item) + rec.Name);
    FindClose(rec);
    return out;
  }

  void EnsureFolder(const std::string& Folder) {
    if (Folder.empty() || FolderExists(Folder)) return;
    if (!Has(flNoConfirmMkDir) &&
        Ask("The folder " + Quoted(Folder) + " does not exist. Create it?", MB_YESNO) != IDYES)
      throw OperationCancelled{};
    CreateFolderPath(Folder);
    if (!FolderExists(Folder)) throw OperationFailed{"Cannot create the folder " + Quoted(Folder)};
  }

  // Target is free, or the user lets it be replaced; false skips this entry.
  bool MakeRoom(std::string& Target, bool Move) {
    if (!Exists(Target)) return true;
    if (Has(flRenameOnCollision) && !Move) {
      Target = FreeName(Target);
      return true;
    }
    switch (Ask(Quoted(Target) + " already exists. Replace it?", MB_YESNOCANCEL)) {
      case IDYES:
        break;
      case IDNO:
        return false;
      default:
        throw OperationCancelled{};
    }
    return true;
  }

  void Transfer(const std::string& From, std::string Target, bool Move) {
    std::error_code ec;
    if (Exists(Target) && fs::equivalent(P(From), P(Target), ec)) {
      if (Move) return;  // already there
      if (!Has(flRenameOnCollision))
        throw OperationFailed{"Cannot copy " + Quoted(From) + ": source and destination are the same"};
      Target = FreeName(Target);
    }
    if (!MakeRoom(Target, Move)) return;
    const bool folder = FolderExists(From);
    if (Move) {
      if (Exists(Target) && FolderExists(Target)) fs::remove_all(P(Target), ec);
      Relocate(P(From), P(Target), ec);
      if (ec) throw OperationFailed{"Cannot move " + Quoted(From) + ": " + ec.message()};
    } else if (folder) {
      fs::copy(P(From), P(Target),
               fs::copy_options::recursive | fs::copy_options::overwrite_existing | fs::copy_options::copy_symlinks,
               ec);
      if (ec) throw OperationFailed{"Cannot copy " + Quoted(From) + ": " + ec.message()};
    } else {
      try {
        CopyFileGeneral(From, Target, true, nullptr, false);
      } catch (const Exception& e) {
        throw OperationFailed{e.Message()};
      }
    }
  }

  void CopyOrMove(bool Move) {
    const std::vector<std::string> sources = MakeDoubleNullList(Op.FSource);
    const std::vector<std::string> dests = MakeDoubleNullList(Op.FDestination);
    if (sources.empty()) throw OperationFailed{"No file to " + std::string(Move ? "move" : "copy")};
    if (dests.empty()) throw OperationFailed{"No destination given"};
    if (Has(flMultiDest)) {
      if (dests.size() < sources.size()) throw OperationFailed{"Fewer destinations than sources"};
      for (size_t i = 0; i < sources.size(); ++i) {
        bool wild = false;
        for (const std::string& from : Expand(sources[i], wild)) {
          std::string target =
              wild || FolderExists(dests[i]) ? WithTrailingSeparator(dests[i]) + ExtractFileName(from) : dests[i];
          EnsureFolder(ExtractFilePath(target));
          Transfer(from, target, Move);
        }
      }
      return;
    }
    std::vector<std::string> all;
    bool anyWild = false;
    for (const std::string& s : sources) {
      bool wild = false;
      for (std::string& n : Expand(s, wild)) all.push_back(std::move(n));
      anyWild = anyWild || wild;
    }
    const std::string& dest = dests[0];
    const bool intoFolder = FolderExists(dest) || anyWild || sources.size() > 1;
    EnsureFolder(intoFolder ? dest : ExtractFilePath(dest));
    for (const std::string& from : all)
      Transfer(from, intoFolder ? WithTrailingSeparator(dest) + ExtractFileName(from) : dest, Move);
  }

  void Delete() {
    std::vector<std::string> all;
    for (const std::string& s : MakeDoubleNullList(Op.FSource)) {
      bool wild = false;
      for (std::string& n : Expand(s, wild)) all.push_back(std::move(n));
    }
    if (all.empty()) return;
    const std::string what =
        all.size() == 1 ? Quoted(all[0]) : "these " + IntToStr(static_cast<int64_t>(all.size())) + " items";
    const std::string text = Has(flAllowUndo) ? "Move " + what + " to the trash?" : "Delete " + what + " for good?";
    if (Ask(text, MB_YESNO) != IDYES) throw OperationCancelled{};
    for (const std::string& n : all) {
      if (Has(flAllowUndo)) {
        MoveToTrash(n);
      } else {
        std::error_code ec;
        fs::remove_all(P(n), ec);
        if (ec) throw OperationFailed{"Cannot delete " + Quoted(n) + ": " + ec.message()};
      }
    }
  }

  void Rename() {
    const std::vector<std::string> sources = MakeDoubleNullList(Op.FSource);
    const std::vector<std::string> dests = MakeDoubleNullList(Op.FDestination);
    if (sources.empty() || dests.empty()) throw OperationFailed{"Nothing to rename"};
    const std::string& from = sources[0];
    std::string to = dests[0];
    if (ExtractFilePath(to).empty()) to = ExtractFilePath(from) + to;  // a bare name stays in the folder
    if (!Exists(from)) throw OperationFailed{"Cannot find " + Quoted(from)};
    std::error_code ec;
    if (Exists(to) && !fs::equivalent(P(from), P(to), ec))
      throw OperationFailed{"Cannot rename " + Quoted(from) + ": " + Quoted(to) + " already exists"};
    fs::rename(P(from), P(to), ec);
    if (ec) throw OperationFailed{"Cannot rename " + Quoted(from) + ": " + ec.message()};
  }
};

bool TVxFileOperator::Execute() {
  FAborted = false;
  bool ok = true;
  RunModalShellCall([&] {
    Run run{*this, !FOptions.Contains(flNoConfirmation)};
    try {
      switch (FOperation) {
        case foCopy:
          run.CopyOrMove(false);
          break;
        case foMove:
          run.CopyOrMove(true);
          break;
        case foDelete:
          run.Delete();
          break;
        case foRename:
          run.Rename();
          break;
      }
    } catch (const OperationCancelled&) {
      FAborted = true;
      ok = false;
    } catch (const OperationFailed& e) {
      ok = false;
      if (!FOptions.Contains(flNoErrorUI) && Application)
        Application->MessageBox(e.Message, "Error", MB_OK | MB_ICONSTOP);
    }
  });
  return ok;
}

void ShellCopyOrMove(const std::string& Source, const std::string& Dest, bool Confirm, bool Move, bool AllowUndo) {
  std::unique_ptr<TVxFileOperator> op(new TVxFileOperator(nullptr));
  op->SetSource(Source);
  op->SetDestination(Dest);
  if (Move)
    op->SetOperation(SameText(ExtractFilePath(Source), ExtractFilePath(Dest)) ? foRename : foMove);
  else
    op->SetOperation(foCopy);
  TFileOperFlags flags = op->Options();
  if (!AllowUndo) flags.Exclude(flAllowUndo);
  if (!Confirm) flags.Include(flNoConfirmation);
  op->SetOptions(flags);
  if (!op->Execute() || op->Aborted()) Abort();
}

// ---------------------------------------------------------------------------------------------
// TmFileScan

VM_PUBLISH(TmFileScan) {
  P.String("FilePath", &TmFileScan::FilePath, &TmFileScan::SetFilePath);
  P.Strings("SearchFilter", &TmFileScan::SearchFilter);
  P.Bool("SubDirectories", &TmFileScan::SubDirectories, &TmFileScan::SetSubDirectories).Default(true);
  P.Event("OnFileFound", &TmFileScan::OnFileFound);
}

TmFileScan::TmFileScan(TComponent* AOwner)
    : TComponent(AOwner),
      FSearchFilter(std::make_unique<TStringList>()),
      FFoundFiles(std::make_unique<TStringList>()) {}

TmFileScan::~TmFileScan() = default;

TStrings* TmFileScan::SearchFilter() const { return FSearchFilter.get(); }

void TmFileScan::SetSearchFilter(TStrings* Value) {
  if (Value)
    FSearchFilter->Assign(*Value);
  else
    FSearchFilter->Clear();
}

struct TmFileScan::Scan {
  TmFileScan& Owner;
  std::string Mask;
  bool SubDirectories;
  TStringList& Found;
  // Folders being scanned, by device and node, so that a link back up is not followed.
  std::vector<std::pair<dev_t, ino_t>> Open;

  bool Stopped() const { return Owner.FStopRequested; }

  void Folder(const std::string& Dir) {
    struct stat st {};
    if (::stat(Dir.empty() ? "." : Dir.c_str(), &st) != 0) return;
    const std::pair<dev_t, ino_t> id{st.st_dev, st.st_ino};
    if (std::find(Open.begin(), Open.end(), id) != Open.end()) return;
    Open.push_back(id);
    struct Pop {
      std::vector<std::pair<dev_t, ino_t>>& V;
      ~Pop() { V.pop_back(); }
    } pop{Open};

    TSearchRec rec;
    struct Close {
      TSearchRec& R;
      ~Close() { FindClose(R); }
    } close{rec};
    for (int r = FindFirst(Dir + Mask, faAnyFile, rec); r == 0; r = FindNext(rec)) {
      if (Application) Application->ProcessMessages();
      if (Stopped()) return;
      if ((rec.Attr & faDirectory) && (rec.Name == "." || rec.Name == "..")) continue;
      const std::string full = Dir + rec.Name;
      Found.Add(full);
      if (Owner.OnFileFound) Owner.OnFileFound(full);
    }
    if (!SubDirectories || Stopped()) return;
    TSearchRec sub;
    struct CloseSub {
      TSearchRec& R;
      ~CloseSub() { FindClose(R); }
    } closeSub{sub};
    for (int r = FindFirst(Dir + "*", faAnyFile, sub); r == 0 && !Stopped(); r = FindNext(sub))
      if ((sub.Attr & faDirectory) && sub.Name != "." && sub.Name != "..") Folder(Dir + sub.Name + PathDelim);
  }
};

void TmFileScan::StartScan() {
  if (FScanning) throw EInvalidOperation("A file scan is already running");
  FStopRequested = false;
  FFoundFiles->Clear();
  // What the scan works from is fixed when it starts.
  const std::string path = FFilePath;
  const bool sub = FSubDirectories;
  std::vector<std::string> masks;
  for (int i = 0; i < FSearchFilter->Count(); ++i) masks.push_back(ExtractFileName(FSearchFilter->Strings(i)));

  FScanning = true;
  struct Done {
    bool& Flag;
    ~Done() { Flag = false; }
  } done{FScanning};
  TStringList found;
  for (const std::string& mask : masks) {
    if (FStopRequested) break;
    if (mask.empty()) continue;
    Scan scan{*this, mask, sub, found, {}};
    scan.Folder(path);
  }
  FFoundFiles->Assign(found);
}
