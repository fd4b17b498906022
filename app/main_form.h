// The main window: the multiple-document frame that owns every command of the program, its menus,
// tool bars, status bar, dialogs and settings file; it decides which commands are enabled and
// checked and hands view commands to the active child window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/site_session.h"
#include "platform/forms.h"

class TAction;
class TActionList;
class TControlBar;
class TCustomIniFile;
class TFormStorage;
class TImageList;
class TMainMenu;
class TMenuItem;
class TMyForm;
class TOpenDialog;
class TPopupMenu;
class TPrinterSetupDialog;
class TProgressBar;
class TSaveDialog;
class TStatusBar;
class TStrings;
class TToolBar;

class TMainForm1 : public TForm, public TSessionHost {
  VM_CLASS(TMainForm1, TForm)
public:
  explicit TMainForm1(TComponent* AOwner);
  ~TMainForm1() override;

  // The program's session: the window hosts its views, sets its mode from the tool actions and
  // follows its mode and reference choice with the actions' checks.
  TSiteSession* Session = nullptr;

  // ---- Components
  TControlBar* ControlBar1 = nullptr;
  TToolBar* ToolBars[8] = {};  // ToolBar1 .. ToolBar8
  TStatusBar* StatusBar1 = nullptr;
  TProgressBar* ProgressBar1 = nullptr;  // over the first status panel while a batch runs
  TOpenDialog* OpenDialog1 = nullptr;
  TSaveDialog* SaveDialog1 = nullptr;
  TSaveDialog* SaveDialog2 = nullptr;
  TPrinterSetupDialog* PrinterSetupDialog1 = nullptr;
  TFormStorage* FormStorage1 = nullptr;
  TActionList* ActionList1 = nullptr;
  TImageList* ImageList1 = nullptr;
  TMainMenu* MainMenu1 = nullptr;
  TPopupMenu* PopupMenu2 = nullptr;
  TMenuItem* mmEnglish = nullptr;
  TMenuItem* mmRussian = nullptr;
  TMenuItem* mmOtherReference = nullptr;
  TMenuItem* mmWindow = nullptr;
  TMenuItem* mmBatchAutoEdit = nullptr;
  TMenuItem* mmSiteList = nullptr;
  TMenuItem* mmCreatePackages = nullptr;
  TMenuItem* mmRotateSpectra = nullptr;

  // ---- Actions (one member per action of the window)
  TAction *acOpen, *acSave, *AcSaveAs, *acClose, *acExportTo, *acPrint, *AcPreview, *AcPrintSetup, *AcBatchConvToEdi,
      *AcBatchConvToPlt, *AcBatchConvToSms, *AcBatchConvToDat, *AcExit, *AcSplineExportToPLT, *acFrqCorr;
  TAction *AcLabel, *acStartingData, *AcResultingData, *AcPolar, *AcOplogLines, *AcProgrOutput, *AcIndVec;
  TAction *AcEditing, *AcComplexEditing, *AcOtherEditting, *AcAutoEdit, *acAutoEditWithSpline, *AcMaskEdit,
      *AcClearMask, *AcAngleChg, *AcOptions, *AcCalcSpline, *AcCopyCurve;
  TAction *AcUndo, *AcRedo, *AcDeleting, *AcRestoring, *AcLiveSpline, *AcCurveShift, *AcMeanView, *AcStdView,
      *AcWeightView, *AcSplineView;
  TAction *AcPointer, *AcHand, *AcTwoVert, *AcCircle, *AcLasso, *AcTwoHorl;
  TAction *AcFirst, *AcPrior, *AcNext, *AcLast;
  TAction *AcLE, *AcLH, *AcRE, *AcRH, *AcOtherReference;
  TAction *AcFiles, *AcView, *AcCursors, *AcNavigate, *AcProcessing, *AcReference, *AcShow, *AcEditingMode, *AcSplines;
  TAction *acWindowCascade1, *acWindowCloseAll1, *acWindowMinimizeAll1, *acWindowTileHorizontal1,
      *acWindowTileVertical1, *AcCascadeSpecial, *AcMaximizeSpecial;
  TAction *AcAbout, *AcRegister, *AcMtPacket, *AcAddFile, *AcNew;
  // The tool-bar toggles in tool-bar order (AcFiles for ToolBar1 ... AcNavigate for ToolBar8).
  TAction* ToolBarToggles[8] = {};

  // The settings file (the INI file named after the program in the profile folder).
  TCustomIniFile* IniFile() const override { return FIniFile.get(); }

  // ---- Operations used by the other windows
  void SetStatusText(int Index, const std::string& Text) override;
  void UpdateMenuItems(TObject* Sender);
  void EnableViewActions(uint32_t Mask) override;
  void EnablePrintActions() override;
  void SetUndoState(bool CanUndo, bool CanRedo) override;
  void RunViewCommand(TViewCommand Command) override;
  void CheckViewActions(uint16_t Mask);
  void ResetEditActions();
  void CheckReferenceAction(int Type);
  bool OpenFileList(std::vector<std::string>& Names);
  void ShowToolBars();
  // The check word of the tool actions, as CheckViewActions takes it.
  uint16_t ToolCheckWord() const;
  // The command-line file names, opened at the first show (before the loop runs).
  std::vector<std::string> CommandLineFiles;

  // ---- Site commands
  void mmOpenClick(TObject* Sender);
  void mmCloseClick(TObject* Sender);
  void mmSaveClick(TObject* Sender);
  void SaveAsExecute(TObject* Sender);
  void mmOtherEditingClick(TObject* Sender);
  void SaveMtFileInPlace();
  void BackupPackage(const std::string& Name);
  void ChooseStartEditAndRefresh();
  void mmCloseAllClick(TObject* Sender);
  // Opens Names as the site (the shared part of Open and the command line); false when nothing
  // opened, with the reason shown.
  bool OpenSiteFiles(std::vector<std::string> Names, bool FromCommandLine);
  void SetSiteCaption(const std::vector<std::string>& Names);
  // The package the open site was read from ("" for MT and EDI files): Save writes it anew.
  std::string& SitePackage;
  // The file of the open site that holds no spectra ("" when every file has some): such a site
  // shows its header and log only; the views of computed curves stay disabled.
  std::string SiteWithoutSpectra;

  // ---- Export and batch commands
  void mmExportToClick(TObject* Sender);
  void SaveDialog1TypeChange(TObject* Sender);
  void ExportSite(const std::string& Name, int Index);
  void BatchConvetto1Click(TObject* Sender);
  // The batch conversion of Files into Folder with the writer of Tag; returns the names that
  // failed, each with its reason.
  std::vector<std::string> BatchConvert(const std::vector<std::string>& Files, const std::string& Folder, int Tag);

  // Automatic editing of many MT files (each edit appended to its file) or packages (written anew);
  // returns the files that failed, each with its reason.
  std::vector<std::string> BatchAutoEdit(const std::vector<std::string>& Files, bool Packages);
  void AutoEdit1Click(TObject* Sender);
  // One package per stem of the chosen names (stem + "a.mpk" in Folder) from the MT files of that
  // stem beside the last of them; returns the packages that failed.
  std::vector<std::string> CreatePackages(const std::vector<std::string>& Files, const std::string& Folder);
  void Creatempkfiles1Click(TObject* Sender);
  void Deleteedits1Click(TObject* Sender);
  void N11Click(TObject* Sender);
  void RotateSpectra1Click(TObject* Sender);

  // ---- Reference and rotation
  void LEExecute(TObject* Sender);
  void AngleChgExecute(TObject* Sender);
  void OtherReference1Click(TObject* Sender);
  void IndVecExecute(TObject* Sender);
  void ComplexEditingExecute(TObject* Sender);
  void AcPolarExecute(TObject* Sender);
  void StartingDataExecute(TObject* Sender);
  void ResultingDataExecute(TObject* Sender);
  void mmMaskViewClick(TObject* Sender);
  void EditingExecute(TObject* Sender);

  // ---- Views, processing and help
  void mmEtiketClick(TObject* Sender);
  void OplogLinesExecute(TObject* Sender);
  void mmAutoEditClick(TObject* Sender);
  void ClearMaskExecute(TObject* Sender);
  void Edithistrory1Click(TObject* Sender);
  void mmOptionsClick(TObject* Sender);
  void N8Click(TObject* Sender);
  void Language1Click(TObject* Sender);
  void FilesExecute(TObject* Sender);
  void AppIdle(TObject* Sender, bool& Done);

  // ---- Routing to the active child window
  TMyForm* ActiveView() const;

protected:
  void DoShow() override;
  void Resize() override;

private:
  void CreateActions();
  void CreateMenus();
  void CreateToolBars();
  void CreateStorage();
  // The tool and reference actions follow the session and the session follows them.
  void BindSession();
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormStorage1RestorePlacement(TObject* Sender);
  void FormStorage1SavePlacement(TObject* Sender);
  std::unique_ptr<TCustomIniFile> FIniFile;
  bool FShownOnce = false;
  // Set while the actions' checks follow the session: their changes then go no further.
  bool FFollowingSession = false;
};

extern TMainForm1* MainForm1;
