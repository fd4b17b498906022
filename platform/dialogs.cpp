#include "platform/dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QAbstractButton>
#include <QAction>
#include <QTreeView>
#include <QInputDialog>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/printers.h"
#include "platform/qt_controls.h"
#include "platform/strings.h"
#include "platform/sysutils.h"
#include "platform/typinfo.h"

VM_PUBLISH(TCommonDialog) {
  P.String("Title", &TCommonDialog::Title, &TCommonDialog::SetTitle);
  P.Event("OnShow", &TCommonDialog::OnShow);
  P.Event("OnClose", &TCommonDialog::OnClose);
}
VM_PUBLISH(TOpenDialog) {
  P.String("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt);
  P.String("FileName", &TOpenDialog::FileName, &TOpenDialog::SetFileName);
  P.String("Filter", &TOpenDialog::Filter, &TOpenDialog::SetFilter);
  P.Int("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex).Default(1);
  P.String("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir);
  P.Event("OnTypeChange", &TOpenDialog::OnTypeChange);
}
VM_DEFINE_CLASS(TSaveDialog)
VM_PUBLISH(TColorDialog) { P.Int("Color", &TColorDialog::Color, &TColorDialog::SetColor); }
VM_DEFINE_CLASS(TFontDialog)
VM_DEFINE_CLASS(TPrinterSetupDialog)
VM_DEFINE_CLASS(TPrintDialog)
VM_DEFINE_CLASS(TSelectDirectoryDialog)

namespace {

TDialogHook& DialogHook() {
  static TDialogHook hook;
  return hook;
}

TInputQueryHook& InputHook() {
  static TInputQueryHook hook;
  return hook;
}

bool Headless() {
  vmqt::EnsureApp();
  QString p = QGuiApplication::platformName();
  return p == "offscreen" || p == "minimal";
}

std::vector<std::string> SplitFilter(const std::string& Filter) {
  std::vector<std::string> parts;
  if (Filter.empty()) return parts;
  size_t start = 0;
  while (true) {
    size_t bar = Filter.find('|', start);
    parts.push_back(Filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return parts;
}

bool HasExtension(const std::string& Name) {
  std::filesystem::path p(Name);
  return p.has_extension() && p.extension() != ".";
}

}  // namespace

void SetDialogHook(TDialogHook Hook) { DialogHook() = std::move(Hook); }
void SetInputQueryHook(TInputQueryHook Hook) { InputHook() = std::move(Hook); }

// ---------------------------------------------------------------------------------------------
// TCommonDialog

TCommonDialog::TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
TCommonDialog::~TCommonDialog() = default;

bool TCommonDialog::Execute() {
  if (OnShow) OnShow(this);
  bool ok;
  if (DialogHook())
    ok = DialogHook()(this);
  else if (Headless())
    ok = false;
  else
    ok = ExecuteOnScreen();
  if (ok) Accepted();
  if (OnClose) OnClose(this);
  return ok;
}

// ---------------------------------------------------------------------------------------------
// TOpenDialog

TOpenDialog::TOpenDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()), FHistoryList(std::make_unique<TStringList>()) {}
TOpenDialog::~TOpenDialog() = default;

void TOpenDialog::SetDefaultExt(const std::string& Value) {
  FDefaultExt = !Value.empty() && Value[0] == '.' ? Value.substr(1) : Value;
}

void TOpenDialog::SetHistoryList(TStrings* Value) {
  if (Value)
    FHistoryList->Assign(*Value);
  else
    FHistoryList->Clear();
}

int TOpenDialog::FilterCount() const { return static_cast<int>((SplitFilter(FFilter).size() + 1) / 2); }

std::string TOpenDialog::FilterDescription(int Index1) const {
  auto parts = SplitFilter(FFilter);
  size_t i = static_cast<size_t>(Index1 - 1) * 2;
  return Index1 >= 1 && i < parts.size() ? parts[i] : std::string();
}

std::string TOpenDialog::FilterPatterns(int Index1) const {
  auto parts = SplitFilter(FFilter);
  size_t i = static_cast<size_t>(Index1 - 1) * 2 + 1;
  return Index1 >= 1 && i < parts.size() ? parts[i] : std::string();
}

void TOpenDialog::ChangeFilterIndex(int Value) {
  FFilterIndex = Value;
  if (OnTypeChange) OnTypeChange(this);
}

bool TOpenDialog::Execute() {
  FFiles->Clear();
  return TCommonDialog::Execute();
}

void TOpenDialog::Accepted() {
  // A single-choice dialog keeps one file whatever it was handed.
  if (!FOptions.Contains(ofAllowMultiSelect))
    while (FFiles->Count() > 1) FFiles->Delete(FFiles->Count() - 1);
  if (FFiles->Count() == 0 && !FFileName.empty()) FFiles->Add(FFileName);
  if (!FDefaultExt.empty())
    for (int i = 0; i < FFiles->Count(); ++i) {
      std::string f = FFiles->Strings(i);
      if (!f.empty() && !HasExtension(f)) {
        if (f.back() == '.') f.pop_back();
        FFiles->SetStrings(i, f + "." + FDefaultExt);
      }
    }
  if (FFiles->Count() > 0) FFileName = FFiles->Strings(0);
}

std::string SFileDialogLookIn = "Look in:";
std::string SFileDialogFileName = "File &name:";
std::string SFileDialogFileType = "Files of type:";
std::string SFileDialogDirectory = "Directory:";
std::string SFileDialogOpen = "&Open";
std::string SFileDialogSave = "&Save";
std::string SFileDialogChoose = "&Choose";
std::string SFileDialogCancel = "Cancel";
std::string SFileDialogBack = "Back";
std::string SFileDialogForward = "Forward";
std::string SFileDialogParent = "Parent Directory";
std::string SFileDialogCreateFolder = "Create New Folder";
std::string SFileDialogListView = "List View";
std::string SFileDialogDetailView = "Detail View";
std::string SFileDialogRename = "&Rename";
std::string SFileDialogDelete = "&Delete";
std::string SFileDialogShowHidden = "Show &hidden files";
std::string SFileDialogNewFolder = "&New Folder";
std::string SFileDialogNewFolderName = "New Folder";
std::string SFileDialogDeleteAsk = "Are you sure you want to delete '%1'?";
std::string SFileDialogShowColumn = "Show ";
std::string SFileDialogName = "Name";
std::string SFileDialogSize = "Size";
std::string SFileDialogType = "Type";
std::string SFileDialogDateModified = "Date Modified";

namespace {

// A file dialog of the toolkit's own widgets, in the program's texts, sized so that its detail
// view shows whole column titles and names.
void PrepareFileDialog(QFileDialog& Dlg) {
  static bool added = false;
  if (!added) {
    added = true;
    vmqt::AddProgramTexts("QFileDialog", {{"Look in:", &SFileDialogLookIn},
                                          {"File &name:", &SFileDialogFileName},
                                          {"Files of type:", &SFileDialogFileType},
                                          {"Directory:", &SFileDialogDirectory},
                                          {"&Open", &SFileDialogOpen},
                                          {"&Save", &SFileDialogSave},
                                          {"&Choose", &SFileDialogChoose},
                                          {"Back", &SFileDialogBack},
                                          {"Forward", &SFileDialogForward},
                                          {"Parent Directory", &SFileDialogParent},
                                          {"Create New Folder", &SFileDialogCreateFolder},
                                          {"List View", &SFileDialogListView},
                                          {"Detail View", &SFileDialogDetailView},
                                          {"&Rename", &SFileDialogRename},
                                          {"&Delete", &SFileDialogDelete},
                                          {"Show &hidden files", &SFileDialogShowHidden},
                                          {"&New Folder", &SFileDialogNewFolder},
                                          {"New Folder", &SFileDialogNewFolderName},
                                          {"Are you sure you want to delete '%1'?", &SFileDialogDeleteAsk},
                                          {"Show ", &SFileDialogShowColumn}});
    vmqt::AddProgramTexts("QFileSystemModel", {{"Name", &SFileDialogName},
                                               {"Size", &SFileDialogSize},
                                               {"Type", &SFileDialogType},
                                               {"Date Modified", &SFileDialogDateModified}});
    vmqt::AddProgramTexts("QPlatformTheme",
                          {{"Open", &SFileDialogOpen}, {"Save", &SFileDialogSave}, {"Cancel", &SFileDialogCancel}});
  }
  Dlg.setOption(QFileDialog::DontUseNativeDialog, true);
  Dlg.resize(std::max(Dlg.width(), 720), std::max(Dlg.height(), 440));
  if (auto* tree = Dlg.findChild<QTreeView*>("treeView")) {
    // The name takes the room left; the other columns as wide as their contents and titles.
    QHeaderView* h = tree->header();
    h->setStretchLastSection(false);
    h->setMinimumSectionSize(h->fontMetrics().horizontalAdvance(QStringLiteral("M")) * 4);
    h->setSectionResizeMode(QHeaderView::ResizeToContents);
    h->setSectionResizeMode(0, QHeaderView::Stretch);
  }
}

}  // namespace

TFileDialogLook FileDialogLook(bool Save) {
  vmqt::EnsureApp();
  QFileDialog dlg;
  PrepareFileDialog(dlg);
  dlg.setAcceptMode(Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setViewMode(QFileDialog::Detail);
  dlg.show();
  QCoreApplication::processEvents();
  TFileDialogLook look;
  auto add = [&](const QString& T) {
    if (!T.isEmpty()) look.Texts.push_back(vmqt::FromQ(T));
  };
  for (QLabel* l : dlg.findChildren<QLabel*>()) add(l->text());
  for (QAbstractButton* b : dlg.findChildren<QAbstractButton*>()) {
    add(b->text());
    add(b->toolTip());
  }
  for (QAction* a : dlg.findChildren<QAction*>()) add(a->text());
  look.ColumnsWhole = true;
  if (auto* tree = dlg.findChild<QTreeView*>("treeView")) {
    QHeaderView* h = tree->header();
    for (int i = 0; i < h->count(); ++i) {
      add(tree->model()->headerData(i, Qt::Horizontal).toString());
      if (h->isSectionHidden(i)) continue;
      const int want = h->fontMetrics().horizontalAdvance(tree->model()->headerData(i, Qt::Horizontal).toString());
      if (h->sectionSize(i) < want) look.ColumnsWhole = false;
    }
  } else {
    look.ColumnsWhole = false;
  }
  dlg.hide();
  return look;
}

bool TOpenDialog::ExecuteOnScreen() {
  QFileDialog dlg;
  PrepareFileDialog(dlg);
  dlg.setWindowTitle(vmqt::ToQ(Title().empty() ? (SaveMode() ? "Save As" : "Open") : Title()));
  dlg.setAcceptMode(SaveMode() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (SaveMode())
    dlg.setFileMode(QFileDialog::AnyFile);
  else if (FOptions.Contains(ofAllowMultiSelect))
    dlg.setFileMode(QFileDialog::ExistingFiles);
  else
    dlg.setFileMode(FOptions.Contains(ofFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dlg.setOption(QFileDialog::DontConfirmOverwrite, !FOptions.Contains(ofOverwritePrompt));
  if (FOptions.Contains(ofForceShowHidden)) dlg.setFilter(dlg.filter() | QDir::Hidden);
  QStringList filters;
  for (int i = 1; i <= FilterCount(); ++i) {
    QString pat = vmqt::ToQ(FilterPatterns(i));
    pat.replace(';', ' ');
    filters << vmqt::ToQ(FilterDescription(i)) + " (" + pat + ")";
  }
  if (!filters.isEmpty()) {
    dlg.setNameFilters(filters);
    int idx = FFilterIndex >= 1 && FFilterIndex <= filters.size() ? FFilterIndex : 1;
    dlg.selectNameFilter(filters[idx - 1]);
  }
  std::string dir = FInitialDir;
  if (dir.empty() && !FFileName.empty()) dir = std::filesystem::path(FFileName).parent_path().string();
  if (!dir.empty()) dlg.setDirectory(vmqt::ToQ(dir));
  if (!FFileName.empty()) dlg.selectFile(vmqt::ToQ(std::filesystem::path(FFileName).filename().string()));
  if (!FDefaultExt.empty()) dlg.setDefaultSuffix(vmqt::ToQ(FDefaultExt));
  QObject::connect(&dlg, &QFileDialog::filterSelected, [&](const QString& F) {
    std::string before = FFileName;
    try {
      ChangeFilterIndex(static_cast<int>(filters.indexOf(F)) + 1);
    } catch (...) {
      vmqt::HandleCurrentException(this);
    }
    if (FFileName != before) dlg.selectFile(vmqt::ToQ(std::filesystem::path(FFileName).filename().string()));
  });
  if (dlg.exec() != QDialog::Accepted) return false;
  for (const QString& f : dlg.selectedFiles()) FFiles->Add(vmqt::FromQ(f));
  int idx = static_cast<int>(filters.indexOf(dlg.selectedNameFilter()));
  if (idx >= 0) FFilterIndex = idx + 1;
  if (!FOptions.Contains(ofNoChangeDir)) FInitialDir = vmqt::FromQ(dlg.directory().absolutePath());
  return true;
}

TSaveDialog::TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}

// ---------------------------------------------------------------------------------------------
// Colour, font, printer setup

TColorDialog::TColorDialog(TComponent* AOwner)
    : TCommonDialog(AOwner), FCustomColors(std::make_unique<TStringList>()) {}
TColorDialog::~TColorDialog() = default;

bool TColorDialog::ExecuteOnScreen() {
  for (int i = 0; i < FCustomColors->Count() && i < QColorDialog::customCount(); ++i) {
    std::string line = FCustomColors->Strings(i);
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string name = line.substr(0, eq);
    if (name.size() != 6 || name.compare(0, 5, "Color") != 0) continue;
    int slot = std::toupper(static_cast<unsigned char>(name[5])) - 'A';
    if (slot < 0 || slot >= QColorDialog::customCount()) continue;
    int32_t bgr = StrToIntDef("$" + line.substr(eq + 1), -1);
    if (bgr >= 0) QColorDialog::setCustomColor(slot, vmqt::ToQColor(static_cast<TColor>(bgr)));
  }
  QColorDialog dlg(vmqt::ToQColor(FColor));
  dlg.setOption(QColorDialog::DontUseNativeDialog, true);
  if (!Title().empty()) dlg.setWindowTitle(vmqt::ToQ(Title()));
  if (dlg.exec() != QDialog::Accepted) return false;
  FColor = vmqt::FromQRgb(dlg.selectedColor().rgb());
  return true;
}

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFont(std::make_unique<TFont>()) {}
TFontDialog::~TFontDialog() = default;

bool TFontDialog::ExecuteOnScreen() {
  QFont start(vmqt::ToQ(FFont->Name()));
  start.setPointSize(std::max(1, FFont->Size()));
  start.setBold(FFont->Style().Contains(fsBold));
  start.setItalic(FFont->Style().Contains(fsItalic));
  start.setUnderline(FFont->Style().Contains(fsUnderline));
  start.setStrikeOut(FFont->Style().Contains(fsStrikeOut));
  QFontDialog dlg(start);
  dlg.setOption(QFontDialog::DontUseNativeDialog, true);
  if (!Title().empty()) dlg.setWindowTitle(vmqt::ToQ(Title()));
  if (dlg.exec() != QDialog::Accepted) return false;
  QFont f = dlg.selectedFont();
  FFont->SetName(vmqt::FromQ(f.family()));
  if (f.pointSize() > 0) FFont->SetSize(f.pointSize());
  TFontStyles st;
  if (f.bold()) st.Include(fsBold);
  if (f.italic()) st.Include(fsItalic);
  if (f.underline()) st.Include(fsUnderline);
  if (f.strikeOut()) st.Include(fsStrikeOut);
  FFont->SetStyle(st);
  return true;
}

TPrinterSetupDialog::TPrinterSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

bool TPrinterSetupDialog::ExecuteOnScreen() {
  TPrinter* prn = Printer();
  QPrinter q;
  // Without a printer the page is set up for PDF output, where every job goes then.
  if (!prn->HasPrinter()) q.setOutputFormat(QPrinter::PdfFormat);
  q.setPageOrientation(prn->Orientation() == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  q.setCopyCount(prn->Copies());
  QPageSetupDialog dlg(&q);
  if (dlg.exec() != QDialog::Accepted) return false;
  prn->SetOrientation(q.pageLayout().orientation() == QPageLayout::Landscape ? poLandscape : poPortrait);
  prn->SetCopies(q.copyCount());
  return true;
}

// ---------------------------------------------------------------------------------------------
// TPrintDialog

TPrintDialog::TPrintDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

bool TPrintDialog::ExecuteOnScreen() {
  TPrinter* prn = Printer();
  QPrinter q;
  q.setPageOrientation(prn->Orientation() == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  q.setCopyCount(prn->Copies());
  if (!prn->HasPrinter() || !FOutputFile.empty()) {
    // Without a printer the dialog starts on its PDF file entry, with the file proposed.
    q.setOutputFormat(QPrinter::PdfFormat);
    q.setOutputFileName(vmqt::ToQ(FOutputFile.empty() ? std::string("Varomark.pdf") : FOutputFile));
  } else if (!FPrinterName.empty()) {
    q.setPrinterName(vmqt::ToQ(FPrinterName));
  }
  QPrintDialog dlg(&q);
  if (!Title().empty()) dlg.setWindowTitle(vmqt::ToQ(Title()));
  if (dlg.exec() != QDialog::Accepted) return false;
  if (q.outputFormat() == QPrinter::PdfFormat || !q.outputFileName().isEmpty()) {
    FOutputFile = vmqt::FromQ(q.outputFileName());
    if (FOutputFile.empty()) FOutputFile = "Varomark.pdf";
    FPrinterName.clear();
  } else {
    FOutputFile.clear();
    FPrinterName = vmqt::FromQ(q.printerName());
  }
  prn->SetOrientation(q.pageLayout().orientation() == QPageLayout::Landscape ? poLandscape : poPortrait);
  prn->SetCopies(q.copyCount());
  return true;
}

void TPrintDialog::Accepted() {
  TPrinter* prn = Printer();
  prn->SetOutputFile(FOutputFile);
  if (FOutputFile.empty()) {
    const int i = prn->Printers()->IndexOf(FPrinterName);
    if (i >= 0) prn->SetPrinterIndex(i);
  }
}

// ---------------------------------------------------------------------------------------------
// Folders

TSelectDirectoryDialog::TSelectDirectoryDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

bool TSelectDirectoryDialog::ExecuteOnScreen() {
  QFileDialog dlg;
  PrepareFileDialog(dlg);
  dlg.setFileMode(Options.Contains(sdAllowCreate) ? QFileDialog::AnyFile : QFileDialog::Directory);
  dlg.setOption(QFileDialog::ShowDirsOnly, true);
  if (!Title().empty()) dlg.setWindowTitle(vmqt::ToQ(Title()));
  std::string start = Directory.empty() ? Root : Directory;
  if (!start.empty()) dlg.setDirectory(vmqt::ToQ(start));
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return false;
  Directory = vmqt::FromQ(dlg.selectedFiles().first());
  return true;
}

bool SelectDirectory(const std::string& Caption, const std::string& Root, std::string& Directory) {
  TSelectDirectoryDialog dlg(nullptr);
  dlg.SetTitle(Caption);
  dlg.Root = Root;
  dlg.Directory = Directory;
  if (!dlg.Execute()) return false;
  Directory = dlg.Directory;
  return true;
}

bool SelectDirectory(std::string& Directory, TSelectDirOpts Options, int HelpCtx) {
  TSelectDirectoryDialog dlg(nullptr);
  dlg.SetTitle("Select Directory");
  dlg.SetHelpContext(HelpCtx);
  dlg.Options = Options;
  dlg.Directory = Directory;
  if (!dlg.Execute() || dlg.Directory.empty()) return false;
  std::error_code ec;
  if (!std::filesystem::is_directory(dlg.Directory, ec)) {
    if (std::filesystem::exists(dlg.Directory, ec)) return false;  // a file of that name
    if (!Options.Contains(sdAllowCreate)) return false;
    if (Options.Contains(sdPerformCreate)) {
      if (Options.Contains(sdPrompt) && MessageDlg("The " + dlg.Directory + " directory does not exist. Create it?",
                                                   mtConfirmation, {mbYes, mbNo}) != mrYes)
        return false;
      std::filesystem::create_directories(dlg.Directory, ec);
      if (ec) {
        MessageDlg("Unable to create directory", mtError, {mbOK});
        return false;
      }
    }
  }
  Directory = dlg.Directory;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Message and input boxes

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int /*HelpCtx*/) {
  static const char* const kCaptions[] = {"Warning", "Error", "Information", "Confirmation"};
  static const int kIcons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
  std::string caption;
  if (DlgType != mtCustom)
    caption = kCaptions[DlgType];
  else
    caption = Application && !Application->Title().empty() ? Application->Title() : "Varomark";
  auto has = [&](TMsgDlgBtn B) { return Buttons.Contains(B); };
  int flags;
  if (has(mbYes) && has(mbNo))
    flags = has(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
  else if (has(mbAbort) || (has(mbRetry) && has(mbIgnore)))
    flags = MB_ABORTRETRYIGNORE;
  else if (has(mbRetry))
    flags = MB_RETRYCANCEL;
  else if (has(mbOK) && has(mbCancel))
    flags = MB_OKCANCEL;
  else
    flags = MB_OK;
  flags |= kIcons[DlgType];
  if (Application) return Application->MessageBox(Msg, caption, flags);
  return mrOk;
}

bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) {
  if (InputHook()) {
    std::string v = Value;
    if (!InputHook()(Caption, Prompt, v)) return false;
    Value = v;
    return true;
  }
  if (Headless()) return false;
  bool ok = false;
  QString text =
      QInputDialog::getText(nullptr, vmqt::ToQ(Caption), vmqt::ToQ(Prompt), QLineEdit::Normal, vmqt::ToQ(Value), &ok);
  if (!ok) return false;
  Value = vmqt::FromQ(text);
  return true;
}

std::string InputBox(const std::string& Caption, const std::string& Prompt, const std::string& Default) {
  std::string v = Default;
  return InputQuery(Caption, Prompt, v) ? v : Default;
}
