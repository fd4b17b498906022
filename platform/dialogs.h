// Common dialogs (files, colour, font, printer setup, folders) and message and input boxes.
//
// Every Execute goes through the dialog hook when one is set: the hook plays the user, fills the
// dialog's fields and answers. Without a hook a dialog shows on a display and answers False
// headless, so that nothing ever blocks a test.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/component.h"
#include "platform/forms.h"
#include "platform/graphics.h"
#include "platform/set.h"

class TStrings;

class TCommonDialog : public TComponent {
  VM_CLASS(TCommonDialog, TComponent)
public:
  explicit TCommonDialog(TComponent* AOwner);
  ~TCommonDialog() override;
  // Shows the dialog; true when the user accepted it.
  virtual bool Execute();
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int Value) { FHelpContext = Value; }

  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

protected:
  // The dialog on a display; the base answers false.
  virtual bool ExecuteOnScreen() { return false; }
  // After an accepted answer (hook or screen).
  virtual void Accepted() {}

private:
  std::string FTitle;
  int FHelpContext = 0;
};

// The hook that answers every common dialog (tests). nullptr restores the default.
using TDialogHook = std::function<bool(TCommonDialog* Dialog)>;
void SetDialogHook(TDialogHook Hook);

enum TOpenOption {
  ofReadOnly,
  ofOverwritePrompt,
  ofHideReadOnly,
  ofNoChangeDir,
  ofShowHelp,
  ofNoValidate,
  ofAllowMultiSelect,
  ofExtensionDifferent,
  ofPathMustExist,
  ofFileMustExist,
  ofCreatePrompt,
  ofShareAware,
  ofNoReadOnlyReturn,
  ofNoTestFileCreate,
  ofNoNetworkButton,
  ofNoLongNames,
  ofOldStyleDialog,
  ofNoDereferenceLinks,
  ofEnableIncludeNotify,
  ofEnableSizing,
  ofDontAddToRecent,
  ofForceShowHidden
};
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TCommonDialog {
  VM_CLASS(TOpenDialog, TCommonDialog)
public:
  explicit TOpenDialog(TComponent* AOwner);
  ~TOpenDialog() override;

  TOpenOptions Options() const { return FOptions; }
  void SetOptions(TOpenOptions Value) { FOptions = Value; }
  // "Text files|*.txt|All files|*.*": description and patterns (';' between several) in pairs.
  const std::string& Filter() const { return FFilter; }
  void SetFilter(const std::string& Value) { FFilter = Value; }
  // 1-based; 0 or a number past the last pair means the first.
  int FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int Value) { FFilterIndex = Value; }
  const std::string& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const std::string& Value) { FInitialDir = Value; }
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& Value) { FFileName = Value; }
  // Without a leading dot ("mpk"); one given with a dot is stored without it.
  const std::string& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const std::string& Value);
  // The chosen files (one unless ofAllowMultiSelect); FileName is the first.
  TStrings* Files() const { return FFiles.get(); }
  TStrings* HistoryList() const { return FHistoryList.get(); }
  void SetHistoryList(TStrings* Value);

  // The filter pairs: descriptions and patterns, in order.
  int FilterCount() const;
  std::string FilterDescription(int Index1) const;
  std::string FilterPatterns(int Index1) const;

  // What the dialog does when the user picks another filter: FilterIndex takes the new value and
  // OnTypeChange runs (it may rewrite FileName). Hooks call it to act as the user.
  void ChangeFilterIndex(int Value);
  // Files is emptied first; FileName keeps the previous choice as the starting name.
  bool Execute() override;

  TNotifyEvent OnTypeChange;
  TNotifyEvent OnSelectionChange;
  TNotifyEvent OnFolderChange;

protected:
  bool ExecuteOnScreen() override;
  void Accepted() override;
  virtual bool SaveMode() const { return false; }

private:
  TOpenOptions FOptions = {ofHideReadOnly, ofEnableSizing};
  std::string FFilter, FInitialDir, FFileName, FDefaultExt;
  int FFilterIndex = 1;
  std::unique_ptr<TStrings> FFiles, FHistoryList;
};

class TSaveDialog : public TOpenDialog {
  VM_CLASS(TSaveDialog, TOpenDialog)
public:
  explicit TSaveDialog(TComponent* AOwner);

protected:
  bool SaveMode() const override { return true; }
};

// The file dialog's own texts in the program's texts (a language switch assigns them; every
// dialog made after that takes them; an empty text keeps the window system's own).
extern std::string SFileDialogLookIn;         // "Look in:"
extern std::string SFileDialogFileName;       // "File &name:"
extern std::string SFileDialogFileType;       // "Files of type:"
extern std::string SFileDialogDirectory;      // "Directory:"
extern std::string SFileDialogOpen;           // "&Open"
extern std::string SFileDialogSave;           // "&Save"
extern std::string SFileDialogChoose;         // "&Choose"
extern std::string SFileDialogCancel;         // "Cancel"
extern std::string SFileDialogBack;           // "Back"
extern std::string SFileDialogForward;        // "Forward"
extern std::string SFileDialogParent;         // "Parent Directory"
extern std::string SFileDialogCreateFolder;   // "Create New Folder"
extern std::string SFileDialogListView;       // "List View"
extern std::string SFileDialogDetailView;     // "Detail View"
extern std::string SFileDialogRename;         // "&Rename"
extern std::string SFileDialogDelete;         // "&Delete"
extern std::string SFileDialogShowHidden;     // "Show &hidden files"
extern std::string SFileDialogNewFolder;      // "&New Folder"
extern std::string SFileDialogNewFolderName;  // "New Folder"
extern std::string SFileDialogDeleteAsk;      // "Are you sure you want to delete '%1'?"
extern std::string SFileDialogShowColumn;     // "Show " (before a column's title: show or hide it)
extern std::string SFileDialogName;           // "Name"
extern std::string SFileDialogSize;           // "Size"
extern std::string SFileDialogType;           // "Type"
extern std::string SFileDialogDateModified;   // "Date Modified"

// The file dialog as a display shows it, read without running it (tests, screenshots): its
// labels, buttons, tool tips, commands and the detail view's column titles, and whether every
// column of the detail view is wide enough for its title.
struct TFileDialogLook {
  std::vector<std::string> Texts;
  bool ColumnsWhole = false;
};
TFileDialogLook FileDialogLook(bool Save);

enum TColorDialogOption { cdFullOpen, cdPreventFullOpen, cdShowHelp, cdSolidColor, cdAnyColor };
using TColorDialogOptions = TSet<TColorDialogOption>;

class TColorDialog : public TCommonDialog {
  VM_CLASS(TColorDialog, TCommonDialog)
public:
  explicit TColorDialog(TComponent* AOwner);
  ~TColorDialog() override;
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  TColorDialogOptions Options() const { return FOptions; }
  void SetOptions(TColorDialogOptions Value) { FOptions = Value; }
  // "ColorA=FFFFFF" .. "ColorP=...": up to sixteen custom colours as hexadecimal BGR.
  TStrings* CustomColors() const { return FCustomColors.get(); }

protected:
  bool ExecuteOnScreen() override;

private:
  TColor FColor = clBlack;
  TColorDialogOptions FOptions;
  std::unique_ptr<TStrings> FCustomColors;
};

enum TFontDialogOption {
  fdAnsiOnly,
  fdTrueTypeOnly,
  fdEffects,
  fdFixedPitchOnly,
  fdForceFontExist,
  fdNoFaceSel,
  fdNoOEMFonts,
  fdNoSimulations,
  fdNoSizeSel,
  fdNoStyleSel,
  fdNoVectorFonts,
  fdShowHelp,
  fdWysiwyg,
  fdLimitSize,
  fdScalableOnly,
  fdApplyButton
};
using TFontDialogOptions = TSet<TFontDialogOption>;

class TFontDialog : public TCommonDialog {
  VM_CLASS(TFontDialog, TCommonDialog)
public:
  explicit TFontDialog(TComponent* AOwner);
  ~TFontDialog() override;
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TFontDialogOptions Options() const { return FOptions; }
  void SetOptions(TFontDialogOptions Value) { FOptions = Value; }

protected:
  bool ExecuteOnScreen() override;

private:
  std::unique_ptr<TFont> FFont;
  TFontDialogOptions FOptions = {fdEffects};
};

// Page setup of the current printer (orientation and copies).
class TPrinterSetupDialog : public TCommonDialog {
  VM_CLASS(TPrinterSetupDialog, TCommonDialog)
public:
  explicit TPrinterSetupDialog(TComponent* AOwner);

protected:
  bool ExecuteOnScreen() override;
};

// The print dialog: the installed printers and, always, printing into a PDF file. When accepted,
// the current printer takes the choice: an installed printer, or the PDF file (OutputFile).
class TPrintDialog : public TCommonDialog {
  VM_CLASS(TPrintDialog, TCommonDialog)
public:
  explicit TPrintDialog(TComponent* AOwner);
  // The PDF file chosen ("" for an installed printer); set beforehand, the file proposed when
  // no printer is installed.
  const std::string& OutputFile() const { return FOutputFile; }
  void SetOutputFile(const std::string& Value) { FOutputFile = Value; }
  // The installed printer chosen (its name), when no file is.
  const std::string& PrinterName() const { return FPrinterName; }
  void SetPrinterName(const std::string& Value) { FPrinterName = Value; }

protected:
  bool ExecuteOnScreen() override;
  void Accepted() override;

private:
  std::string FOutputFile;
  std::string FPrinterName;
};

enum TSelectDirOpt { sdAllowCreate, sdPerformCreate, sdPrompt };
using TSelectDirOpts = TSet<TSelectDirOpt>;

// The folder chooser behind SelectDirectory (the hook sees it as a dialog).
class TSelectDirectoryDialog : public TCommonDialog {
  VM_CLASS(TSelectDirectoryDialog, TCommonDialog)
public:
  explicit TSelectDirectoryDialog(TComponent* AOwner);
  std::string Directory;
  std::string Root;
  TSelectDirOpts Options;

protected:
  bool ExecuteOnScreen() override;
};

// Lets the user pick a folder under Root; Directory holds the start and the answer.
bool SelectDirectory(const std::string& Caption, const std::string& Root, std::string& Directory);
// With sdAllowCreate a folder that does not exist may be typed; sdPrompt asks before making it,
// sdPerformCreate makes it. False (Directory unchanged) when cancelled or when making it failed.
bool SelectDirectory(std::string& Directory, TSelectDirOpts Options, int HelpCtx);

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// A message box through the message box hook; the caption follows the type ("Warning",
// "Error", "Information", "Confirmation", the application's title). Returns mrYes, mrNo, mrOk...
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);

// Input boxes go through this hook when set (tests); headless without one they are cancelled.
using TInputQueryHook = std::function<bool(const std::string& Caption, const std::string& Prompt, std::string& Value)>;
void SetInputQueryHook(TInputQueryHook Hook);
// True with the typed Value when the user pressed OK; Value unchanged otherwise.
bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value);
// The typed text, or Default when cancelled.
std::string InputBox(const std::string& Caption, const std::string& Prompt, const std::string& Default);
