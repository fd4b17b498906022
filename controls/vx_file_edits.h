// File-name and folder edits: a combo edit whose button runs a file or folder dialog, and which
// takes files dropped on it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/vx_combo_edit.h"
#include "platform/dialogs.h"

class TStrings;

using TExecOpenDialogEvent = std::function<void(TObject* Sender, std::string& Name, bool& Action)>;

class TFileDirEdit : public TCustomComboEdit {
  VM_CLASS(TFileDirEdit, TCustomComboEdit)
public:
  explicit TFileDirEdit(TComponent* AOwner);

  bool AcceptFiles() const { return FAcceptFiles; }
  void SetAcceptFiles(bool Value) { FAcceptFiles = Value; }
  // What the shell's drop of Names does: with AcceptFiles, the file list is cleared and each name
  // (cut to 255 characters) received, only the first unless several names are allowed; then
  // OnDropFiles. Returns whether the drop was taken.
  bool DropFiles(const std::vector<std::string>& Names);

  virtual void FoundLongName(std::string& Name) = 0;
  virtual void FoundShortName(std::string& Name) = 0;
  virtual void ReceiveFileName(const std::string& Name) = 0;
  virtual void ClearFileList() {}

  TNotifyEvent OnDropFiles;
  TExecOpenDialogEvent OnBeforeDialog;
  TExecOpenDialogEvent OnAfterDialog;

protected:
  std::unique_ptr<TBitmap> DefaultButtonGlyph() override;
  void DoBeforeDialog(std::string& Name, bool& Action) {
    if (OnBeforeDialog) OnBeforeDialog(this, Name, Action);
  }
  void DoAfterDialog(std::string& Name, bool& Action) {
    if (OnAfterDialog) OnAfterDialog(this, Name, Action);
  }
  void FocusBack() {
    if (CanFocus()) SetFocus();
  }
  bool FMultipleNames = false;

private:
  bool FAcceptFiles = false;
};

enum TFileDialogKind { dkOpen, dkSave, dkOpenPicture, dkSavePicture };
enum TFileEditStyle { fsEdit, fsComboBox };

class TFilenameEdit : public TFileDirEdit {
  VM_CLASS(TFilenameEdit, TFileDirEdit)
public:
  explicit TFilenameEdit(TComponent* AOwner);
  ~TFilenameEdit() override;

  // The text when a file of that name exists; else the first name of a quoted list, or the
  // whole text when it is not quoted.
  std::string GetFileName() const;
  std::string FileName() const { return GetFileName(); }
  // Raises EComboEditError "Invalid file name - %s" for a name IsValidFileName refuses.
  void SetFileName(const std::string& Value);

  TFileDialogKind DialogKind() const { return FDialogKind; }
  void SetDialogKind(TFileDialogKind Value);
  TOpenDialog* Dialog() const { return FDialog.get(); }
  const std::string& DefaultExt() const { return FDialog->DefaultExt(); }
  void SetDefaultExt(const std::string& Value) { FDialog->SetDefaultExt(Value); }
  TFileEditStyle FileEditStyle() const { return FFileEditStyle; }
  void SetFileEditStyle(TFileEditStyle Value) { FFileEditStyle = Value; }
  const std::string& Filter() const { return FDialog->Filter(); }
  void SetFilter(const std::string& Value) { FDialog->SetFilter(Value); }
  int FilterIndex() const { return FDialog->FilterIndex(); }
  void SetFilterIndex(int Value) { FDialog->SetFilterIndex(Value); }
  const std::string& InitialDir() const { return FDialog->InitialDir(); }
  void SetInitialDir(const std::string& Value) { FDialog->SetInitialDir(Value); }
  TStrings* HistoryList() const { return FDialog->HistoryList(); }
  void SetHistoryList(TStrings* Value) { FDialog->SetHistoryList(Value); }
  TOpenOptions DialogOptions() const { return FDialog->Options(); }
  void SetDialogOptions(TOpenOptions Value);
  const std::string& DialogTitle() const { return FDialog->Title(); }
  void SetDialogTitle(const std::string& Value) { FDialog->SetTitle(Value); }
  // The names chosen in the last dialog run (or received from drops).
  TStrings* GetSelectedFiles() const { return FDialog->Files(); }

  void FoundLongName(std::string& Name) override;
  void FoundShortName(std::string& Name) override;
  void ReceiveFileName(const std::string& Name) override;
  void ClearFileList() override;

protected:
  void ButtonAction() override;

private:
  void CreateDialog(TFileDialogKind Kind);
  std::unique_ptr<TOpenDialog> FDialog;
  TFileDialogKind FDialogKind = dkOpen;
  TFileEditStyle FFileEditStyle = fsEdit;
};

// dkStandard: the toolkit's folder dialog; dkWin32: the shell's folder browser.
enum TDirDialogKind { dkStandard, dkWin32 };

class TDirectoryEdit : public TFileDirEdit {
  VM_CLASS(TDirectoryEdit, TFileDirEdit)
public:
  explicit TDirectoryEdit(TComponent* AOwner);

  TDirDialogKind DialogKind() const { return FDialogKind; }
  void SetDialogKind(TDirDialogKind Value) { FDialogKind = Value; }
  const std::string& DialogText() const { return FDialogText; }
  void SetDialogText(const std::string& Value) { FDialogText = Value; }
  TSelectDirOpts DialogOptions() const { return FDialogOptions; }
  void SetDialogOptions(TSelectDirOpts Value) { FDialogOptions = Value; }
  const std::string& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const std::string& Value) { FInitialDir = Value; }
  bool MultipleDirs() const { return FMultipleDirs; }
  void SetMultipleDirs(bool Value) { FMultipleDirs = FMultipleNames = Value; }

  void FoundLongName(std::string& Name) override;
  void FoundShortName(std::string& Name) override;
  void ReceiveFileName(const std::string& Name) override;

protected:
  void ButtonAction() override;

private:
  void AddFolder(const std::string& Name);
  TDirDialogKind FDialogKind = dkStandard;
  std::string FDialogText;
  TSelectDirOpts FDialogOptions;
  std::string FInitialDir;
  bool FMultipleDirs = false;
};
