#include "controls/vx_file_edits.h"

#include "controls/file_utils.h"
#include "controls/vx_utils.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/strings.h"
#include "platform/sysutils.h"
#include "platform/typinfo.h"

namespace {

const char* const kDefaultTitle = "Список";
const char* const kDefaultFilter = "Все файлы (*.*)|*.*";
constexpr size_t kMaxDroppedName = 255;

const TEnumInfo kFileDialogKindInfo("TFileDialogKind", {"dkOpen", "dkSave", "dkOpenPicture", "dkSavePicture"});
const TEnumInfo kDirDialogKindInfo("TDirDialogKind", {"dkStandard", "dkWin32"});

std::string QuotedIfBlank(const std::string& Name) {
  if (Name.find(' ') != std::string::npos && (Name.empty() || Name[0] != '"')) return '"' + Name + '"';
  return Name;
}

// A single unquoted name stands whole; a quoted text is a list whose first name counts.
std::string FirstName(const std::string& Text) {
  const std::string t = Trim(Text);
  if (!t.empty() && t[0] == '"') return CommandArgAt(t, 0);
  return t;
}

// The browse glyph: a folder, drawn once and shared.
const TBitmap& SharedBrowseGlyph() {
  static const std::unique_ptr<TBitmap> glyph = [] {
    auto bmp = std::make_unique<TBitmap>(16, 13);
    TCanvas* c = bmp->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 16, 13));
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clYellow);
    c->Rectangle(1, 1, 7, 4);
    c->Rectangle(1, 3, 15, 12);
    bmp->SetTransparentColor(clFuchsia);
    return bmp;
  }();
  return *glyph;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

VM_PUBLISH(TFileDirEdit) {
  P.Enum("GlyphKind", &TFileDirEdit::GlyphKind, &TFileDirEdit::SetGlyphKind, GlyphKindInfo).Default(gkDefault);
  P.Bool("AcceptFiles", &TFileDirEdit::AcceptFiles, &TFileDirEdit::SetAcceptFiles).Default(false);
  P.Event("OnDropFiles", &TFileDirEdit::OnDropFiles);
  P.Event("OnBeforeDialog", &TFileDirEdit::OnBeforeDialog);
  P.Event("OnAfterDialog", &TFileDirEdit::OnAfterDialog);
}

TFileDirEdit::TFileDirEdit(TComponent* AOwner) : TCustomComboEdit(AOwner) {
  const bool loading = ComponentState().Contains(csLoading);
  SetComponentState(csLoading, true);  // creating: the button widens to fit the glyph
  SetGlyphKind(gkDefault);
  SetComponentState(csLoading, loading);
}

std::unique_ptr<TBitmap> TFileDirEdit::DefaultButtonGlyph() {
  auto bmp = std::make_unique<TBitmap>();
  bmp->Assign(const_cast<TBitmap*>(&SharedBrowseGlyph()));
  return bmp;
}

bool TFileDirEdit::DropFiles(const std::vector<std::string>& Names) {
  if (!FAcceptFiles || ComponentState().Contains(csDesigning)) return false;
  if (!Names.empty()) {
    ClearFileList();
    for (const std::string& name : Names) {
      ReceiveFileName(name.substr(0, kMaxDroppedName));
      if (!FMultipleNames) break;
    }
  }
  if (OnDropFiles) OnDropFiles(this);
  return true;
}

// ---------------------------------------------------------------------------------------------

VM_PUBLISH(TFilenameEdit) {
  P.Enum("DialogKind", &TFilenameEdit::DialogKind, &TFilenameEdit::SetDialogKind, kFileDialogKindInfo).Default(dkOpen);
  P.String("DefaultExt", &TFilenameEdit::DefaultExt, &TFilenameEdit::SetDefaultExt);
  P.String("Filter", &TFilenameEdit::Filter, &TFilenameEdit::SetFilter).Stored([](TObject* O) {
    return static_cast<TFilenameEdit*>(O)->Filter() != kDefaultFilter;
  });
  P.Int("FilterIndex", &TFilenameEdit::FilterIndex, &TFilenameEdit::SetFilterIndex).Default(1);
  P.String("InitialDir", &TFilenameEdit::InitialDir, &TFilenameEdit::SetInitialDir);
  P.String("DialogTitle", &TFilenameEdit::DialogTitle, &TFilenameEdit::SetDialogTitle).Stored([](TObject* O) {
    return static_cast<TFilenameEdit*>(O)->DialogTitle() != kDefaultTitle;
  });
}

TFilenameEdit::TFilenameEdit(TComponent* AOwner) : TFileDirEdit(AOwner) {
  CreateDialog(dkOpen);
  FDialog->SetTitle(kDefaultTitle);
  FDialog->SetFilter(kDefaultFilter);
  FDialog->SetOptions({ofHideReadOnly});
}

TFilenameEdit::~TFilenameEdit() = default;

void TFilenameEdit::CreateDialog(TFileDialogKind Kind) {
  std::unique_ptr<TOpenDialog> d;
  if (Kind == dkSave || Kind == dkSavePicture)
    d = std::make_unique<TSaveDialog>(nullptr);
  else
    d = std::make_unique<TOpenDialog>(nullptr);
  if (FDialog) {
    d->SetDefaultExt(FDialog->DefaultExt());
    d->SetFileName(FDialog->FileName());
    d->SetFilter(FDialog->Filter());
    d->SetFilterIndex(FDialog->FilterIndex());
    d->SetInitialDir(FDialog->InitialDir());
    d->SetHistoryList(FDialog->HistoryList());
    d->Files()->Assign(*FDialog->Files());
    d->SetOptions(FDialog->Options());
    d->SetTitle(FDialog->Title());
  }
  FDialog = std::move(d);
  FDialogKind = Kind;
}

void TFilenameEdit::SetDialogKind(TFileDialogKind Value) {
  if (Value != FDialogKind || !FDialog) CreateDialog(Value);
}

void TFilenameEdit::SetDialogOptions(TOpenOptions Value) {
  FDialog->SetOptions(Value);
  const bool multi = Value.Contains(ofAllowMultiSelect);
  if (FMultipleNames && !multi) ClearFileList();
  FMultipleNames = multi;
}

std::string TFilenameEdit::GetFileName() const {
  const std::string& text = Text();
  if (!text.empty() && FileExists(text)) return text;
  return FirstName(text);
}

void TFilenameEdit::SetFileName(const std::string& Value) {
  std::string name;
  if (!Value.empty()) {
    name = FileExists(Value) ? Value : FirstName(Value);
    if (!IsValidFileName(name)) throw EComboEditError(Format("Invalid file name - %s", {Value}));
  }
  SetText(QuotedIfBlank(name));
  ClearFileList();
}

void TFilenameEdit::FoundLongName(std::string& Name) { Name = LongNameOf(GetFileName()); }
void TFilenameEdit::FoundShortName(std::string& Name) { Name = ShortNameOf(GetFileName()); }

void TFilenameEdit::ReceiveFileName(const std::string& Name) {
  if (!DialogOptions().Contains(ofAllowMultiSelect)) {
    SetFileName(Name);
    return;
  }
  if (FDialog->Files()->Count() == 0) SetFileName(Name);
  FDialog->Files()->Add(Name);
}

void TFilenameEdit::ClearFileList() { FDialog->Files()->Clear(); }

void TFilenameEdit::ButtonAction() {
  TFileDirEdit::ButtonAction();
  std::string name = GetFileName();
  bool action = true;
  DoBeforeDialog(name, action);
  if (action) {
    if (IsValidFileName(name)) {
      try {
        const std::string dir = ExtractFileDir(name);
        if (!dir.empty() && FolderExists(dir)) SetInitialDir(dir);
        const std::string file = ExtractFileName(name);
        if (file.empty() || !IsValidFileName(file)) name.clear();
        FDialog->SetFileName(name);
      } catch (...) {
        // a name the dialog cannot start with is simply not offered
      }
    }
    action = FDialog->Execute();
    if (action) name = FDialog->FileName();
    if (Parent()) FocusBack();
    DoAfterDialog(name, action);
  }
  if (!action) return;
  TStrings* files = FDialog->Files();
  if (files->Count() < 2) {
    SetText(QuotedIfBlank(name));
  } else {
    std::string text;
    for (int i = 0; i < files->Count(); ++i) text += '"' + files->Strings(i) + "\" ";
    SetText(text);
  }
  SetInitialDir(ExtractFileDir(FDialog->FileName()));
}

// ---------------------------------------------------------------------------------------------

VM_PUBLISH(TDirectoryEdit) {
  P.Enum("DialogKind", &TDirectoryEdit::DialogKind, &TDirectoryEdit::SetDialogKind, kDirDialogKindInfo)
      .Default(dkStandard);
  P.String("DialogText", &TDirectoryEdit::DialogText, &TDirectoryEdit::SetDialogText);
  P.String("InitialDir", &TDirectoryEdit::InitialDir, &TDirectoryEdit::SetInitialDir);
  P.Bool("MultipleDirs", &TDirectoryEdit::MultipleDirs, &TDirectoryEdit::SetMultipleDirs).Default(false);
}

TDirectoryEdit::TDirectoryEdit(TComponent* AOwner) : TFileDirEdit(AOwner) {}

namespace {

std::string MapPaths(const std::string& Text, bool Multiple, std::string (*Fn)(const std::string&)) {
  if (!Multiple) return Fn(Text);
  std::string out;
  size_t start = 0;
  while (start <= Text.size()) {
    size_t end = Text.find(';', start);
    if (end == std::string::npos) end = Text.size();
    const std::string part = Text.substr(start, end - start);
    if (!part.empty()) {
      if (!out.empty()) out += ';';
      out += Fn(part);
    }
    start = end + 1;
  }
  return out;
}

}  // namespace

void TDirectoryEdit::FoundLongName(std::string& Name) { Name = MapPaths(Text(), FMultipleDirs, LongPathOf); }
void TDirectoryEdit::FoundShortName(std::string& Name) { Name = MapPaths(Text(), FMultipleDirs, ShortPathOf); }

void TDirectoryEdit::AddFolder(const std::string& Name) {
  if (FMultipleDirs && !Text().empty())
    SetText(Text() + ";" + Name);
  else
    SetText(Name);
}

void TDirectoryEdit::ReceiveFileName(const std::string& Name) {
  AddFolder(FileExists(Name) && !FolderExists(Name) ? ExtractFileDir(Name) : Name);
}

void TDirectoryEdit::ButtonAction() {
  TFileDirEdit::ButtonAction();
  std::string name = Text();
  bool action = true;
  DoBeforeDialog(name, action);
  if (action) {
    const std::string root(1, PathDelim);
    if (name.empty()) name = FInitialDir.empty() ? root : FInitialDir;
    if (!FolderExists(name)) name = root;
    if (FDialogKind == dkWin32)
      action = BrowseForFolder(name, FDialogText, 0);
    else
      action = SelectDirectory(name, FDialogOptions, 0);
    if (Parent()) FocusBack();
    DoAfterDialog(name, action);
  }
  if (!action) return;
  ClearSelection();
  AddFolder(name);
  if (!name.empty() && FolderExists(name)) FInitialDir = name;
}

namespace {
struct FileEditsRegistrar {
  FileEditsRegistrar() { RegisterClasses({TFilenameEdit::StaticClass(), TDirectoryEdit::StaticClass()}); }
} gFileEditsRegistrar;
}  // namespace
