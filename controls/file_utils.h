// File utilities: block copy with progress, folder creation, the folder dialog, file operations,
// path routines and the recursive file scanner.
//
// Paths follow this platform: '/' separates folders ('\' is read as one too) and there are no
// drives, so the drive rules of the routines below never apply; short names equal long names.
// FileSizeOf (-1 for a missing file or a folder) comes from the toolkit's runtime library.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/vx_utils.h"
#include "platform/component.h"
#include "platform/lists.h"
#include "platform/set.h"
#include "platform/sysutils.h"
#include "platform/typinfo.h"

class TControl;
class TStrings;
class TStringList;

// ---------------------------------------------------------------------------------------------
// Progress controls, set through their published properties

struct TProgressProp {
  TClass ControlClass = nullptr;
  std::string MaxPropName;
  std::string MinPropName;
  std::string PositionPropName;
};

// Entries of (control class, names of its maximum, minimum and position properties). The list
// owns its entries: deleting one frees it. Names are kept to 63 characters.
class TProgressList : public TList {
public:
  TProgressList() = default;
  ~TProgressList() override;

  void Add(TClass AClass, const std::string& MaxPropName, const std::string& MinPropName,
           const std::string& PositionPropName);
  // Deletes every entry of exactly that class.
  void Remove(TClass AClass);
  const TProgressProp& Props(int Index) const { return *ItemAs<TProgressProp>(Index); }
  // The last added entry whose class is the control's class or one of its ancestors; -1 if none.
  int FindControl(const TObject* Control) const;

protected:
  void Notify(void* Ptr, TListNotification Action) override;
};

// The process-wide registry, made on first use with the toolkit's progress bar ("TProgressBar":
// "Max", "Min", "Position") when that class is registered.
TProgressList* ProgressClassRegistry();

// False for no control, an unregistered class or a missing property; else the property is set.
bool ProgressControlSetMax(TControl* Control, int32_t Value);
bool ProgressControlSetMin(TControl* Control, int32_t Value);
bool ProgressControlSetPosition(TControl* Control, int32_t Value);

// ---------------------------------------------------------------------------------------------
// Copying and folders

// Copies Source onto Dest (into it, under Source's name, when Dest is a folder), reporting
// progress to ProgressControl (may be null), keeping Source's modification time. Errors:
// EFOpenError "Cannot open file %s", EFCreateError "Cannot create file %s", EReadError
// "Stream read error", EWriteError "Stream write error". The copy is written beside the target
// and takes its name only when complete: a failure leaves any earlier target untouched and no
// partial file behind. A read-only target is refused unless ClearReadOnly. UseShell hands the
// work to ShellCopyOrMove.
void CopyFileGeneral(const std::string& Source, const std::string& Dest, bool ClearReadOnly, TControl* ProgressControl,
                     bool UseShell);
void CopyFileWithProgress(const std::string& Source, const std::string& Dest, TControl* ProgressControl);
// Creates the folder and every missing parent, top down; a failure is not reported.
void CreateFolderPath(const std::string& Path);

// ---------------------------------------------------------------------------------------------
// Path routines (none changes its argument)

std::string WithTrailingSeparator(const std::string& Folder);
std::string WithoutTrailingSeparator(const std::string& Folder);
bool FolderExists(const std::string& Path);
// The entry's attributes (faReadOnly: no owner write permission, faHidden: a name starting with
// '.', faDirectory) can be read and hold every bit of Attr.
bool HasAttributes(const std::string& Name, int Attr);
bool ContainsAnyChar(const std::string& Text, const TCharSet& Chars);
// Non-empty and free of < > " [ ] |.
bool IsValidFileName(const std::string& Name);
// The name of the entry Path names; empty when there is none.
std::string LongNameOf(const std::string& Path);
std::string ShortNameOf(const std::string& Path);
// Path with every element replaced by LongNameOf (ShortNameOf) of the path up to it.
std::string LongPathOf(const std::string& Path);
std::string ShortPathOf(const std::string& Path);

// ---------------------------------------------------------------------------------------------
// Modal file operations

// Runs Fn with every form of the application disabled; enables them again and reactivates the
// previously active form afterwards, also when Fn raises.
void RunModalShellCall(const std::function<void()>& Fn);

// ";" and "|" separate names; empty names are dropped.
std::vector<std::string> MakeDoubleNullList(const std::string& Text);

enum TBrowseKind { bfFolders, bfComputers };
enum TDialogPosition { dpDefault, dpScreenCenter };
extern const TEnumInfo BrowseKindInfo, DialogPositionInfo;

class TBrowseFolderDlg;
// The folder browser: shows the dialog and returns true on OK with Path (the chosen folder) and
// DisplayName; false on cancel. It reports to the dialog through BrowserInitialized and
// BrowserSelChanged. Without a browser Execute returns false.
using TBrowseFolderHook = std::function<bool(TBrowseFolderDlg* Dialog, std::string& Path, std::string& DisplayName)>;
void SetBrowseFolderHook(TBrowseFolderHook Hook);

class TBrowseFolderDlg : public TComponent {
  VM_CLASS(TBrowseFolderDlg, TComponent)
public:
  explicit TBrowseFolderDlg(TComponent* AOwner);

  bool Execute();

  TBrowseKind BrowseKind() const { return FBrowseKind; }
  void SetBrowseKind(TBrowseKind Value) { FBrowseKind = Value; }
  bool DesktopRoot() const { return FDesktopRoot; }
  void SetDesktopRoot(bool Value) { FDesktopRoot = Value; }
  const std::string& DialogText() const { return FDialogText; }
  void SetDialogText(const std::string& Value) { FDialogText = Value; }
  const std::string& FolderName() const { return FFolderName; }
  void SetFolderName(const std::string& Value) { FFolderName = Value; }
  int32_t HelpContext() const { return FHelpContext; }
  void SetHelpContext(int32_t Value) { FHelpContext = Value; }
  TDialogPosition Position() const { return FPosition; }
  void SetPosition(TDialogPosition Value) { FPosition = Value; }
  TNotifyEvent OnInitialized;
  TNotifyEvent OnSelChanged;

  // Run-time state of the last Execute.
  const std::string& DisplayName() const { return FDisplayName; }
  const std::string& SelectedName() const { return FSelectedName; }
  int ImageIndex() const { return FImageIndex; }

  // For the browser: where browsing starts (the home folder with DesktopRoot, else the file
  // system's root; network browsing is not offered, computers are browsed as folders) and the
  // entry to select first (FolderName for bfComputers or when it is an existing folder).
  std::string RootFolder() const;
  std::string InitialSelection() const;
  // The browser is shown: runs OnInitialized.
  void BrowserInitialized();
  // The selection moved to Path: updates the selected name and runs OnSelChanged; returns
  // whether OK may be pressed.
  bool BrowserSelChanged(const std::string& Path, const std::string& DisplayName);

private:
  TBrowseKind FBrowseKind = bfFolders;
  bool FDesktopRoot = true;
  std::string FDialogText;
  std::string FFolderName;
  int32_t FHelpContext = 0;
  TDialogPosition FPosition = dpScreenCenter;
  std::string FDisplayName;
  std::string FSelectedName;
  int FImageIndex = -1;
};

// On OK Folder takes the chosen folder and the result is true.
bool BrowseForFolder(std::string& Folder, const std::string& DialogText, int32_t HelpContext);

enum TFileOperation { foCopy, foDelete, foMove, foRename };
enum TFileOperFlag {
  flAllowUndo,
  flConfirmMouse,
  flFilesOnly,
  flMultiDest,
  flNoConfirmation,
  flNoConfirmMkDir,
  flRenameOnCollision,
  flSilent,
  flSimpleProgress,
  flNoErrorUI
};
using TFileOperFlags = TSet<TFileOperFlag>;
extern const TEnumInfo FileOperationInfo, FileOperFlagInfo;

// Copies, deletes, moves or renames the files named by Source (names separated by ";" or "|",
// wildcards in the name part) to Destination. flAllowUndo makes a delete move the files to the
// user's trash; without flNoConfirmation replacing or deleting asks first (Cancel aborts);
// flRenameOnCollision gives copies a free name instead; flMultiDest pairs each source with its
// own destination; flFilesOnly keeps folders out of wildcard matches; flNoErrorUI keeps errors
// out of message boxes. flConfirmMouse, flSilent and flSimpleProgress change nothing here (no
// progress window is shown).
class TVxFileOperator : public TComponent {
  VM_CLASS(TVxFileOperator, TComponent)
public:
  explicit TVxFileOperator(TComponent* AOwner);

  // True when every operation succeeded; Aborted tells whether the user cancelled.
  bool Execute();

  const std::string& Destination() const { return FDestination; }
  void SetDestination(const std::string& Value) { FDestination = Value; }
  TFileOperation Operation() const { return FOperation; }
  void SetOperation(TFileOperation Value) { FOperation = Value; }
  TFileOperFlags Options() const { return FOptions; }
  void SetOptions(TFileOperFlags Value) { FOptions = Value; }
  const std::string& ProgressTitle() const { return FProgressTitle; }
  void SetProgressTitle(const std::string& Value) { FProgressTitle = Value; }
  const std::string& Source() const { return FSource; }
  void SetSource(const std::string& Value) { FSource = Value; }
  bool Aborted() const { return FAborted; }

private:
  struct Run;
  std::string FDestination;
  TFileOperation FOperation = foCopy;
  TFileOperFlags FOptions = {flAllowUndo, flNoConfirmMkDir};
  std::string FProgressTitle;
  std::string FSource;
  bool FAborted = false;
};

// Copies or moves through TVxFileOperator (a move within one folder is a rename); a failure or
// a cancel raises a silent abort.
void ShellCopyOrMove(const std::string& Source, const std::string& Dest, bool Confirm, bool Move, bool AllowUndo);

// ---------------------------------------------------------------------------------------------
// The file scanner

using TOnFileFoundEvent = std::function<void(const std::string& FileName)>;

// Collects the entries of FilePath (and its sub-folders) that match the masks of SearchFilter.
class TmFileScan : public TComponent {
  VM_CLASS(TmFileScan, TComponent)
public:
  explicit TmFileScan(TComponent* AOwner);
  ~TmFileScan() override;

  // Replaces FoundFiles with the entries found, mask by mask, each folder before its
  // sub-folders. Pending messages are handled before each entry, so StopRequested can be set
  // meanwhile; the scan then ends after the entry at hand. A folder reached again through a
  // link is not scanned twice. Raises EInvalidOperation when called while a scan runs.
  void StartScan();

  // The folder to scan, ending with a separator; used unchanged.
  const std::string& FilePath() const { return FFilePath; }
  void SetFilePath(const std::string& Value) { FFilePath = Value; }
  // One wildcard mask per line (anything up to the line's last separator is dropped).
  TStrings* SearchFilter() const;
  void SetSearchFilter(TStrings* Value);
  bool SubDirectories() const { return FSubDirectories; }
  void SetSubDirectories(bool Value) { FSubDirectories = Value; }
  TOnFileFoundEvent OnFileFound;

  // Full names found by the last scan.
  TStringList* FoundFiles() const { return FFoundFiles.get(); }
  bool StopRequested() const { return FStopRequested; }
  void SetStopRequested(bool Value) { FStopRequested = Value; }
  bool Scanning() const { return FScanning; }

private:
  struct Scan;
  std::string FFilePath;
  std::unique_ptr<TStringList> FSearchFilter;
  bool FSubDirectories = true;
  std::unique_ptr<TStringList> FFoundFiles;
  bool FStopRequested = false;
  bool FScanning = false;
};
