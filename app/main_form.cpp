#include "app/main_form.h"

#include <algorithm>

#include "app/child_form.h"
#include "app/journal.h"
#include "app/log_views.h"
#include "app/options.h"
#include "app/start_up.h"
#include "app/views/complex_window.h"
#include "app/tool_glyphs.h"
#include "chart/editor/language.h"
#include "chart/engine/chart_utils.h"
#include "controls/form_storage.h"
#include "controls/mem_data.h"
#include "controls/vx_settings.h"
#include "mtdata/mt_types.h"
#include "mtdata/open_site.h"
#include "mtdata/site_file.h"
#include "platform/actnlist.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/guards.h"
#include "platform/imglist.h"
#include "platform/inifiles.h"
#include "platform/menus.h"
#include "platform/strings.h"
#include "platform/toolbars.h"

VM_DEFINE_CLASS(TMainForm1)

TMainForm1* MainForm1 = nullptr;

TMainForm1::TMainForm1(TComponent* AOwner) : TForm(AOwner), Session(SiteSession), SitePackage(SiteSession->Package) {
  MainForm1 = this;
  SetName("MainForm1");
  SetFormStyle(fsMDIForm);
  SetCaption("Varomark");
  SetBounds(40, 30, 1100, 760);
  ImageList1 = new TImageList(this);
  ImageList1->SetName("ImageList1");
  FillToolGlyphs(ImageList1);
  CreateActions();
  BindSession();
  ActionList1->SetImages(ImageList1);
  CreateMenus();
  CreateToolBars();
  StatusBar1 = new TStatusBar(this);
  StatusBar1->SetName("StatusBar1");
  StatusBar1->SetParent(this);
  StatusBar1->SetAlign(alBottom);
  StatusBar1->SetHeight(20);
  for (int w : {100, 100, 100, 100, 100, 50}) StatusBar1->Panels()->Add()->SetWidth(w);
  ProgressBar1 = new TProgressBar(this);
  ProgressBar1->SetName("ProgressBar1");
  ProgressBar1->SetParent(StatusBar1);
  ProgressBar1->SetBounds(2, 2, 96, 16);
  ProgressBar1->SetVisible(false);

  OpenDialog1 = new TOpenDialog(this);
  OpenDialog1->SetName("OpenDialog1");
  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->SetName("SaveDialog1");
  SaveDialog2 = new TSaveDialog(this);
  SaveDialog2->SetName("SaveDialog2");
  SaveDialog2->SetDefaultExt("mpk");
  SaveDialog1->OnTypeChange = [this](TObject* s) { SaveDialog1TypeChange(s); };
  SaveDialog2->OnTypeChange = [this](TObject* s) { SaveDialog1TypeChange(s); };
  PrinterSetupDialog1 = new TPrinterSetupDialog(this);
  PrinterSetupDialog1->SetName("PrinterSetupDialog1");

  // FormCreate
  Screen->OnActiveFormChange = [this](TObject* s) { UpdateMenuItems(s); };
  CurrentSite = nullptr;
  SiteModified = false;
  AcLiveSpline->SetVisible(false);
  AcCurveShift->SetVisible(false);
  AcSplineExportToPLT->SetVisible(false);
  AcComplexEditing->OnExecute = [this](TObject* s) { ComplexEditingExecute(s); };
  // The editing tools' own cursors, under the numbers the editing windows use.
  RegisterToolCursors();
  Screen->SetCursors(-5, LoadCursorResource("BULLSEY5"));
  Screen->SetCursors(1, LoadCursorResource("HANDUPDW"));
  AcPointer->SetChecked(true);
  Application->OnIdle = [this](TObject* s, bool& Done) { AppIdle(s, Done); };
  EnableViewActions(0);
  FIniFile = std::make_unique<TIniFile>(DefaultIniFileName());
  CreateStorage();
  OnCloseQuery = [this](TObject* s, bool& CanClose) { FormCloseQuery(s, CanClose); };
  FormStorage1->Loaded();  // its handlers go in front of the window's own
  UpdateMenuItems(this);
}

TMainForm1::~TMainForm1() {
  if (Session && Session->Host == this) {
    Session->Host = nullptr;
    Session->OnModeChange = nullptr;
    Session->OnReferenceChange = nullptr;
  }
  Screen->OnActiveFormChange = nullptr;
  Application->OnIdle = nullptr;
  if (MainForm1 == this) MainForm1 = nullptr;
  // The form storage saves the placement and the chart titles into FIniFile when the form is
  // destroyed, which the toolkit announces after this destructor, once FIniFile is gone (a
  // program ended through Application->Terminate, without closing its window): announce it now.
  if (TNotifyEvent destroy = std::move(OnDestroy)) {
    OnDestroy = nullptr;
    try {
      destroy(this);
    } catch (...) {
      Application->HandleException(this);
    }
  }
}

void TMainForm1::BindSession() {
  if (!Session) return;
  Session->Host = this;
  const std::pair<TAction*, TEditMode> modes[] = {{AcLiveSpline, emLiveSpline}, {AcCurveShift, emCurveShift},
                                                  {AcPointer, emPointer},       {AcHand, emHand},
                                                  {AcTwoHorl, emTwoHorz},       {AcCircle, emCircle},
                                                  {AcLasso, emLasso},           {AcTwoVert, emTwoVert},
                                                  {AcDeleting, emDeleting},     {AcRestoring, emRestoring},
                                                  {AcMeanView, emMeanView},     {AcWeightView, emWeightView}};
  uint16_t word = 0;
  for (const auto& [action, mode] : modes) {
    if (action->Checked()) word |= mode;
    action->OnChange = [this, action, mode](TObject*) {
      if (!FFollowingSession) Session->SetMode(mode, action->Checked());
    };
  }
  Session->SetModeWord(word, 0xFFFF);
  Session->OnModeChange = [this, modes](uint16_t) {
    FFollowingSession = true;
    TScopeExit followed([this] { FFollowingSession = false; });
    for (const auto& [action, mode] : modes) action->SetChecked(Session->Is(mode));
  };
  const std::pair<TAction*, int> references[] = {
      {AcLE, frtLocalE}, {AcRE, frtRemoteE}, {AcLH, frtLocalH}, {AcRH, frtRemoteH}};
  for (const auto& [action, type] : references)
    action->OnChange = [this, action, type](TObject*) {
      if (FFollowingSession) return;
      if (action->Checked())
        Session->SetReferenceChoice(type);
      else if (Session->Reference() == type)
        Session->SetReferenceChoice(0);
    };
  Session->OnReferenceChange = [this](int Type) {
    FFollowingSession = true;
    TScopeExit followed([this] { FFollowingSession = false; });
    CheckReferenceAction(Type);
  };
  CheckReferenceAction(Session->Reference());
}

void TMainForm1::CreateStorage() {
  FormStorage1 = new TFormStorage(this);
  FormStorage1->SetName("FormStorage1");
  FormStorage1->SetIniSection("TMainForm1");
  TStrings* p = FormStorage1->StoredProps();
  for (const char* s :
       {"OpenDialog1.InitialDir", "OpenDialog1.FileName", "OpenDialog1.FilterIndex", "SaveDialog1.InitialDir",
        "SaveDialog1.FilterIndex", "SaveDialog1.FileName", "SaveDialog2.InitialDir", "SaveDialog2.FilterIndex",
        "SaveDialog2.FileName", "AcFiles.Checked", "AcView.Checked", "AcCursors.Checked", "AcNavigate.Checked",
        "AcProcessing.Checked", "AcReference.Checked", "AcShow.Checked"})
    p->Add(s);
  for (const char* k : {"Top", "Left"})
    for (int i = 1; i <= 8; ++i) p->Add("ToolBar" + std::to_string(i) + "." + k);
  p->Add("mmEnglish.Checked");
  p->Add("mmRussian.Checked");
  FormStorage1->OnRestorePlacement = [this](TObject* s) { FormStorage1RestorePlacement(s); };
  FormStorage1->OnSavePlacement = [this](TObject* s) { FormStorage1SavePlacement(s); };
}

void TMainForm1::FormStorage1RestorePlacement(TObject*) {
  LoadOptions(*FIniFile);
  ShowToolBars();
}

void TMainForm1::FormStorage1SavePlacement(TObject*) { SaveChartTitles(*FIniFile); }

void TMainForm1::DoShow() {
  TForm::DoShow();
  if (FShownOnce) return;
  FShownOnce = true;
  if (CommandLineFiles.empty()) return;
  std::vector<std::string> names = CommandLineFiles;
  std::sort(names.begin(), names.end());
  OpenSiteFiles(names, true);
}

void TMainForm1::Resize() {
  TForm::Resize();
  FollowFreeArea();
}

void TMainForm1::FormCloseQuery(TObject*, bool& CanClose) {
  CanClose = true;
  if (SiteModified)
    CanClose = Application->MessageBox("Exit from Varomark?", "Varomark", MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void TMainForm1::SetStatusText(int Index, const std::string& Text) {
  StatusBar1->Panels()->Items(Index)->SetText(Text);
  // Painted with the next frame, together with the views an edit changed: a paint here would
  // draw every view made dirty so far and again after the edit's later changes.
  StatusBar1->Invalidate();
}

void TMainForm1::UpdateMenuItems(TObject*) {
  const bool children = MDIChildCount() > 0;
  for (TAction* a : {AcCascadeSpecial, acWindowCascade1, acWindowTileVertical1, acWindowCloseAll1, acWindowMinimizeAll1,
                     acWindowTileHorizontal1})
    a->SetEnabled(children);
  const bool open = !SiteFiles.empty();
  acOpen->SetEnabled(!open);
  for (TAction* a : {acClose, AcSaveAs, acSave, AcLabel, AcOplogLines}) a->SetEnabled(open);
  // A site without spectra has nothing to compute: its curves, edits and exports would be zeros.
  const bool computed = open && SiteWithoutSpectra.empty();
  for (TAction* a :
       {acExportTo, AcOtherEditting, AcAutoEdit, acAutoEditWithSpline, AcAngleChg, AcClearMask, AcIndVec, AcPolar,
        acStartingData, AcResultingData, AcMaskEdit, AcEditing, AcComplexEditing, AcLE, AcLH, AcOtherReference})
    a->SetEnabled(computed);
  AcRE->SetEnabled(computed && CurrentSite && CurrentSite->ReferenceType == 2);
  AcRH->SetEnabled(computed && CurrentSite && CurrentSite->ReferenceType == 4);
  // The batch commands work on files and share the open-site objects: only without a site.
  for (TAction* a : {AcBatchConvToEdi, AcBatchConvToPlt, AcBatchConvToSms, AcBatchConvToDat}) a->SetEnabled(!open);
  mmBatchAutoEdit->SetEnabled(!open);
  mmSiteList->SetEnabled(!open);
  mmCreatePackages->SetEnabled(!open);
  mmRotateSpectra->SetEnabled(!open);
}

void TMainForm1::ResetEditActions() {
  for (TAction* a : {AcDeleting, AcRestoring, AcFirst, AcLast, AcPrior, AcNext, AcRedo, AcUndo, AcPreview, acPrint,
                     AcWeightView, AcLiveSpline})
    a->SetEnabled(false);
  AcPointer->SetChecked(true);
  for (TAction* a :
       {AcHand, AcTwoVert, AcTwoHorl, AcStdView, AcCircle, AcLasso, AcMeanView, AcIndVec, AcWeightView, AcLiveSpline})
    a->SetChecked(false);
}

void TMainForm1::EnableViewActions(uint32_t Mask) {
  ResetEditActions();
  const std::pair<int, TAction*> bits[] = {{0, AcDeleting}, {1, AcRestoring},   {2, AcFirst},       {3, AcLast},
                                           {4, AcPrior},    {5, AcNext},        {6, AcHand},        {7, AcTwoVert},
                                           {8, AcTwoHorl},  {9, AcCircle},      {10, AcLasso},      {11, AcMeanView},
                                           {12, AcStdView}, {15, AcWeightView}, {18, AcLiveSpline}, {19, AcCurveShift}};
  for (const auto& [bit, action] : bits)
    if (Mask & (1u << bit)) action->SetEnabled(true);
  if (DataModule1) {
    if (Mask & 0x2000) AcRedo->SetEnabled(!DataModule1->TaRedoUndo->Eof());
    if (Mask & 0x4000) AcUndo->SetEnabled(!DataModule1->TaRedoUndo->Bof());
  }
}

void TMainForm1::EnablePrintActions() {
  AcPreview->SetEnabled(true);
  acPrint->SetEnabled(true);
}

void TMainForm1::SetUndoState(bool CanUndo, bool CanRedo) {
  AcUndo->SetEnabled(CanUndo);
  AcRedo->SetEnabled(CanRedo);
}

void TMainForm1::RunViewCommand(TViewCommand Command) {
  switch (Command) {
    case TViewCommand::First:
      AcFirst->Execute();
      break;
    case TViewCommand::Prior:
      AcPrior->Execute();
      break;
    case TViewCommand::Next:
      AcNext->Execute();
      break;
    case TViewCommand::Last:
      AcLast->Execute();
      break;
  }
}

void TMainForm1::CheckViewActions(uint16_t Mask) {
  TAction* bits[] = {AcLiveSpline, AcCurveShift, AcPointer, AcHand,     AcTwoHorl,
                     AcCircle,     AcLasso,      AcTwoVert, AcDeleting, AcRestoring};
  for (int i = 0; i < 10; ++i) bits[i]->SetChecked((Mask >> i) & 1);
}

uint16_t TMainForm1::ToolCheckWord() const {
  const TAction* bits[] = {AcLiveSpline, AcCurveShift, AcPointer, AcHand,     AcTwoHorl,
                           AcCircle,     AcLasso,      AcTwoVert, AcDeleting, AcRestoring};
  uint16_t w = 0;
  for (int i = 0; i < 10; ++i)
    if (bits[i]->Checked()) w |= static_cast<uint16_t>(1u << i);
  return w;
}

void TMainForm1::CheckReferenceAction(int Type) {
  for (TAction* a : {AcLE, AcRE, AcLH, AcRH}) a->SetChecked(false);
  switch (Type) {
    case 1:
      AcLE->SetChecked(true);
      break;
    case 2:
      AcRE->SetChecked(true);
      break;
    case 3:
      AcLH->SetChecked(true);
      break;
    case 4:
      AcRH->SetChecked(true);
      break;
    default:
      break;
  }
}

void TMainForm1::ShowToolBars() {
  for (int i = 0; i < 8; ++i) ToolBars[i]->SetVisible(ToolBarToggles[i]->Checked());
}

void TMainForm1::FilesExecute(TObject* Sender) {
  auto* a = static_cast<TAction*>(Sender);
  a->SetChecked(!a->Checked());
  ShowToolBars();
}

void TMainForm1::AppIdle(TObject*, bool& Done) {
  for (int i = 0; i < 8; ++i) ToolBarToggles[i]->SetChecked(ToolBars[i]->Visible());
  Done = true;
}

void TMainForm1::Language1Click(TObject* Sender) {
  auto* item = static_cast<TMenuItem*>(Sender);
  mmEnglish->SetChecked(false);
  mmRussian->SetChecked(false);
  item->SetChecked(true);
  // Captions already translated cannot turn back: English takes a restart, in the old language's words.
  if (item->Tag() == 0) Application->MessageBox(RestartMessage, "Varomark", MB_OK);
  WriteLanguage(item->Tag());
  ApplyLanguage(true);
  if (item->Tag() > 0) TranslateControl(this);
}

void TMainForm1::mmEtiketClick(TObject*) {
  if (SiteFiles.empty()) return;
  ShowForm(HeadFmNf1);
}

void TMainForm1::OplogLinesExecute(TObject*) {
  ShowProgramLog();
  ShowForm(OplogView1);
  OplogView1->Memo1->Lines()->Clear();
  TStringList lines;
  for (auto& f : SiteFiles) {
    f->ReadOplog();
    f->ListOplog(lines);
  }
  OplogView1->Memo1->Lines()->Assign(lines);
}

void TMainForm1::Edithistrory1Click(TObject*) { ShowForm(History1); }
