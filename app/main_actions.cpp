// The main window's action table, its menus and tool bars, and the commands routed to the
// active child window.
#include <functional>
#include <string>

#include "app/child_form.h"
#include "app/log_views.h"
#include "app/main_form.h"
#include "app/tool_glyphs.h"
#include "app/views/data_view.h"
#include "platform/dialogs.h"
#include "platform/actnlist.h"
#include "platform/imglist.h"
#include "platform/menus.h"
#include "platform/stdactns.h"
#include "platform/toolbars.h"

namespace {

constexpr uint16_t Key(char C) { return static_cast<uint16_t>(C); }

}  // namespace

TMyForm* TMainForm1::ActiveView() const {
  if (MDIChildCount() == 0) return nullptr;
  return dynamic_cast<TMyForm*>(ActiveMDIChild());
}

void TMainForm1::CreateActions() {
  ActionList1 = new TActionList(this);
  ActionList1->SetName("ActionList1");
  auto make = [&](const char* Name, const char* Caption, const char* Category, int Tag, TShortCut Short,
                  TNotifyEvent Handler, bool WithGlyph = false) {
    auto* a = new TAction(this);
    a->SetName(Name);
    a->SetCaption(Caption);
    a->SetCategory(Category);
    a->SetTag(Tag);
    a->SetShortCut(Short);
    a->SetHint(StripHotkey(Caption));
    if (WithGlyph) a->SetImageIndex(ToolGlyphIndex(Name));
    a->SetActionList(ActionList1);
    a->OnExecute = std::move(Handler);
    return a;
  };
  auto on = [this](void (TMainForm1::*M)(TObject*)) { return [this, M](TObject* s) { (this->*M)(s); }; };
  // A routed command: the method of the active child window, when that is a TMyForm.
  auto routed = [this](void (TMyForm::*M)(TObject*)) {
    return [this, M](TObject* s) {
      if (TMyForm* v = ActiveView()) (v->*M)(s);
    };
  };
  // A toggle flips its own check first, whether or not a child is active.
  auto toggled = [this](void (TMyForm::*M)(TObject*)) {
    return [this, M](TObject* s) {
      auto* a = static_cast<TAction*>(s);
      a->SetChecked(!a->Checked());
      if (TMyForm* v = ActiveView()) (v->*M)(s);
    };
  };
  const TShortCut ctrl = scCtrl;

  // Files
  acOpen = make("acOpen", "Open site...", "Files", 0, 0, on(&TMainForm1::mmOpenClick), true);
  acSave = make("acSave", "Save", "Files", 0, 0, on(&TMainForm1::mmSaveClick), true);
  AcSaveAs = make("AcSaveAs", "Save As...", "Files", 0, 0, on(&TMainForm1::SaveAsExecute), true);
  acClose = make("acClose", "Close", "Files", 0, 0, on(&TMainForm1::mmCloseClick), true);
  acExportTo = make("acExportTo", "ExportTo", "Files", 0, 0, on(&TMainForm1::mmExportToClick), true);
  // Print and Preview go to the active view; only the resulting-data view prints, and any other
  // window says so rather than doing nothing.
  auto print = [this](TObject* s) {
    auto* v = dynamic_cast<TGrViewNf1*>(ActiveView());
    if (!v || v->ViewMode != 2) {
      Application->MessageBox("Only the Resulting data view prints: make it the active window, then print.", "Varomark",
                              MB_OK | MB_ICONINFORMATION);
      return;
    }
    v->Print(s);
  };
  acPrint = make("acPrint", "Print", "Files", 1, 0, print, true);
  AcPreview = make("AcPreview", "Preview", "Files", 2, 0, print, true);
  AcPrintSetup =
      make("AcPrintSetup", "PrintSetup", "Files", 0, 0, [this](TObject*) { PrinterSetupDialog1->Execute(); });
  AcBatchConvToEdi = make("AcBatchConvToEdi", "Edi", "Files", 1, 0, on(&TMainForm1::BatchConvetto1Click));
  AcBatchConvToPlt = make("AcBatchConvToPlt", "Plt", "Files", 2, 0, on(&TMainForm1::BatchConvetto1Click));
  AcBatchConvToSms = make("AcBatchConvToSms", "Sms", "Files", 3, 0, on(&TMainForm1::BatchConvetto1Click));
  AcBatchConvToDat = make("AcBatchConvToDat", "Dat", "Files", 4, 0, on(&TMainForm1::BatchConvetto1Click));
  AcExit = make(
      "AcExit", "Exit", "Files", 0, 0, [this](TObject*) { Close(); }, true);
  AcSplineExportToPLT = make("AcSplineExportToPLT", "Spline Export To PLT", "Files", 0, 0, [](TObject*) {});
  acFrqCorr = make("acFrqCorr", "Frqequency Correct", "Files", 0, 0, nullptr);

  // View
  AcLabel = make("AcLabel", "Header", "View", 0, 0, on(&TMainForm1::mmEtiketClick), true);
  acStartingData = make("acStartingData", "StartingData", "View", 0, 0, on(&TMainForm1::StartingDataExecute), true);
  AcResultingData =
      make("AcResultingData", "Resulting Data", "View", 0, 0, on(&TMainForm1::ResultingDataExecute), true);
  AcPolar = make("AcPolar", "Polar diagrams", "View", 0, 0, on(&TMainForm1::AcPolarExecute), true);
  AcOplogLines = make("AcOplogLines", "Oplog Lines", "View", 0, 0, on(&TMainForm1::OplogLinesExecute), true);
  AcProgrOutput = make("AcProgrOutput", "Program output", "View", 0, 0, [](TObject*) { ShowProgramLog(); });
  AcIndVec = make("AcIndVec", "Induction Vector", "View", 0, 0, on(&TMainForm1::IndVecExecute), true);

  // Processing
  AcEditing = make("AcEditing", "Editing", "Processing", 0, 0, on(&TMainForm1::EditingExecute), true);
  AcComplexEditing = make("AcComplexEditing", "Complex Editing", "Processing", 0, 0, nullptr);
  AcOtherEditting = make("AcOtherEditting", "Other editting", "Processing", 0, 0, on(&TMainForm1::mmOtherEditingClick));
  AcAutoEdit = make("AcAutoEdit", "AutoEdit", "Processing", 0, 0, on(&TMainForm1::mmAutoEditClick), true);
  acAutoEditWithSpline =
      make("acAutoEditWithSpline", "AutoEdit With Spline", "Processing", 1, 0, on(&TMainForm1::mmAutoEditClick));
  AcMaskEdit = make("AcMaskEdit", "Mask Edit", "Processing", 0, 0, on(&TMainForm1::mmMaskViewClick), true);
  AcClearMask = make("AcClearMask", "Clear Mask", "Processing", 0, 0, on(&TMainForm1::ClearMaskExecute));
  AcAngleChg = make("AcAngleChg", "Rotate", "Processing", 0, 0, on(&TMainForm1::AngleChgExecute), true);
  AcOptions = make("AcOptions", "Options", "Processing", 0, 0, on(&TMainForm1::mmOptionsClick), true);
  AcCalcSpline = make("AcCalcSpline", "Calc Spline", "Processing", 1, 0, routed(&TMyForm::CalcSpline));
  AcCopyCurve = make("AcCopyCurve", "Copy Curve", "Processing", 2, 0, routed(&TMyForm::CalcSpline));

  // Editing and Show
  AcUndo = make("AcUndo", "Undo", "Editing", 0, ctrl | Key('Z'), routed(&TMyForm::Undo), true);
  AcRedo = make("AcRedo", "Redo", "Editing", 0, ctrl | Key('Y'), routed(&TMyForm::Redo), true);
  AcDeleting = make(
      "AcDeleting", "Deleting", "Editing", 0, ctrl | Key('D'),
      [this](TObject*) {
        AcDeleting->SetChecked(!AcDeleting->Checked());
        if (AcDeleting->Checked()) AcRestoring->SetChecked(false);
      },
      true);
  AcRestoring = make(
      "AcRestoring", "Restoring", "Editing", 0, ctrl | Key('E'),
      [this](TObject*) {
        AcRestoring->SetChecked(!AcRestoring->Checked());
        if (AcRestoring->Checked()) AcDeleting->SetChecked(false);
      },
      true);
  AcLiveSpline = make("AcLiveSpline", "Live Spline", "Editing", 0, 0, [this](TObject* s) {
    AcLiveSpline->SetChecked(!AcLiveSpline->Checked());
    if (AcLiveSpline->Checked()) AcCurveShift->SetChecked(false);
    if (TMyForm* v = ActiveView()) v->Refresh(s);
  });
  AcCurveShift = make("AcCurveShift", "Curve Shift", "Editing", 0, 0, [this](TObject* s) {
    AcCurveShift->SetChecked(!AcCurveShift->Checked());
    if (AcCurveShift->Checked()) AcLiveSpline->SetChecked(false);
    if (TMyForm* v = ActiveView()) v->CurveShift(s);
  });
  AcMeanView = make("AcMeanView", "MeanView", "Show", 0, 0, toggled(&TMyForm::MeanView), true);
  AcStdView = make("AcStdView", "StdView", "Show", 0, 0, toggled(&TMyForm::StdView), true);
  AcWeightView = make("AcWeightView", "WeightView", "Show", 0, 0, toggled(&TMyForm::WeightView), true);
  AcSplineView = make("AcSplineView", "Spline", "Show", 0, 0, toggled(&TMyForm::SplineView));

  // Cursors: the six tools check like radio buttons.
  auto pointer = [this](TObject* s) {
    for (TAction* a : {AcPointer, AcHand, AcTwoVert, AcCircle, AcLasso, AcTwoHorl}) a->SetChecked(false);
    static_cast<TAction*>(s)->SetChecked(true);
    if (TMyForm* v = ActiveView()) v->PointerExecute(s);
  };
  AcPointer = make("AcPointer", "Pointer", "Cursors", 1, 0, pointer, true);
  AcHand = make("AcHand", "Hand", "Cursors", 2, 0, pointer, true);
  AcTwoVert = make("AcTwoVert", "Two Vertical lines", "Cursors", 3, 0, pointer, true);
  AcCircle = make("AcCircle", "Circle", "Cursors", 4, 0, pointer, true);
  AcLasso = make("AcLasso", "Lasso", "Cursors", 5, 0, pointer, true);
  AcTwoHorl = make("AcTwoHorl", "Two Horiz lines", "Cursors", 6, 0, pointer, true);

  // Navigate. "Next" and "Deleting" share Ctrl+D: Deleting comes first in the list and wins
  // while both are enabled.
  auto navigate = [this](TObject* s) {
    if (TMyForm* v = ActiveView()) v->Navigate(s, static_cast<TComponent*>(s)->Tag());
  };
  AcFirst = make("AcFirst", "First", "Navigate", 1, ctrl | Key('A'), navigate, true);
  AcPrior = make("AcPrior", "Prior", "Navigate", 2, ctrl | Key('S'), navigate, true);
  AcNext = make("AcNext", "Next", "Navigate", 3, ctrl | Key('D'), navigate, true);
  AcLast = make("AcLast", "Last", "Navigate", 4, ctrl | Key('F'), navigate, true);

  // Reference
  AcLE = make("AcLE", "Local E", "Reference", 0, 0, on(&TMainForm1::LEExecute), true);
  AcLH = make("AcLH", "Local H", "Reference", 1, 0, on(&TMainForm1::LEExecute), true);
  AcRE = make("AcRE", "Remote E", "Reference", 2, 0, on(&TMainForm1::LEExecute), true);
  AcRH = make("AcRH", "Remote H", "Reference", 2, 0, on(&TMainForm1::LEExecute), true);
  AcOtherReference =
      make("AcOtherReference", "Other Reference", "Reference", 0, 0, on(&TMainForm1::OtherReference1Click));

  // Tools: the tool-bar toggles.
  const char* toggles[8][2] = {{"AcFiles", "Files"},
                               {"AcView", "View"},
                               {"AcCursors", "Cursors"},
                               {"AcProcessing", "Processing"},
                               {"AcReference", "Reference"},
                               {"AcShow", "Show"},
                               {"AcEditingMode", "EditingMode"},
                               {"AcNavigate", "Navigate"}};
  for (int i = 0; i < 8; ++i) {
    ToolBarToggles[i] = make(toggles[i][0], toggles[i][1], "Tools", 0, 0, on(&TMainForm1::FilesExecute));
    ToolBarToggles[i]->SetChecked(true);
  }
  AcFiles = ToolBarToggles[0];
  AcView = ToolBarToggles[1];
  AcCursors = ToolBarToggles[2];
  AcProcessing = ToolBarToggles[3];
  AcReference = ToolBarToggles[4];
  AcShow = ToolBarToggles[5];
  AcEditingMode = ToolBarToggles[6];
  AcNavigate = ToolBarToggles[7];
  AcSplines = make("AcSplines", "Splines", "Tools", 0, 0, nullptr);
  AcSplines->SetChecked(true);

  // Window
  auto window = [&](TAction* A, const char* Name, const char* Caption) {
    A->SetName(Name);
    A->SetCaption(Caption);
    A->SetCategory("Window");
    A->SetActionList(ActionList1);
    return A;
  };
  acWindowCascade1 = window(new TWindowCascade(this), "acWindowCascade1", "&Cascade");
  acWindowCloseAll1 = window(new TWindowClose(this), "acWindowCloseAll1", "C&lose All");
  acWindowMinimizeAll1 = window(new TWindowMinimizeAll(this), "acWindowMinimizeAll1", "&Minimize All");
  acWindowTileHorizontal1 = window(new TWindowTileHorizontal(this), "acWindowTileHorizontal1", "Tile &Horizontally");
  acWindowTileVertical1 = window(new TWindowTileVertical(this), "acWindowTileVertical1", "&Tile Vertically");
  AcCascadeSpecial = make("AcCascadeSpecial", "Cascade Special", "Window", 0, 0, [](TObject*) { CascadeSpecial(); });
  AcMaximizeSpecial =
      make("AcMaximizeSpecial", "Maximize Special", "Window", 0, 0, [](TObject*) { MaximizeSpecial(); });

  AcAbout = make("AcAbout", "About", "Help", 0, 0, on(&TMainForm1::N8Click));
  AcRegister = make("AcRegister", "Register", "Help", 0, 0, nullptr);
  AcMtPacket = make("AcMtPacket", "Packet of MT files", "Packet", 0, 0, nullptr);
  AcAddFile = make("AcAddFile", "AddFile", "Packet", 0, 0, nullptr);
  AcNew = make("AcNew", "New", "Packet", 0, 0, nullptr);

  // The views wait for a site (UpdateMenuItems enables them); the commands whose windows are not
  // built yet stay in place, disabled.
  for (TAction* a : {acStartingData, AcResultingData, AcPolar, AcEditing, AcComplexEditing}) a->SetEnabled(false);
}

namespace {

TMenuItem* AddItem(TMenuItem* Parent, TComponent* Owner, TAction* Action) {
  auto* m = new TMenuItem(Owner);
  m->SetAction(Action);
  Parent->Add(m);
  return m;
}

TMenuItem* AddItem(TMenuItem* Parent, TComponent* Owner, const std::string& Caption, TNotifyEvent OnClick = nullptr) {
  auto* m = new TMenuItem(Owner);
  m->SetCaption(Caption);
  m->OnClick = std::move(OnClick);
  Parent->Add(m);
  return m;
}

}  // namespace

void TMainForm1::CreateMenus() {
  MainMenu1 = new TMainMenu(this);
  MainMenu1->SetName("MainMenu1");
  MainMenu1->SetImages(ImageList1);
  TMenuItem* root = MainMenu1->Items();
  auto sep = [this](TMenuItem* P) { AddItem(P, this, "-"); };
  auto on = [this](void (TMainForm1::*M)(TObject*)) { return [this, M](TObject* s) { (this->*M)(s); }; };

  TMenuItem* files = AddItem(root, this, "Files");
  for (TAction* a : {acOpen, acSave, AcSaveAs, acClose, acExportTo, AcSplineExportToPLT, AcMtPacket})
    AddItem(files, this, a);
  files->Items(files->Count() - 1)->SetVisible(false);  // the packet entry
  sep(files);
  for (TAction* a : {AcPreview, acPrint, AcPrintSetup}) AddItem(files, this, a);
  sep(files);
  TMenuItem* batch = AddItem(files, this, "Batch Convert to");
  for (TAction* a : {AcBatchConvToEdi, AcBatchConvToPlt, AcBatchConvToSms, AcBatchConvToDat}) AddItem(batch, this, a);
  // Batch commands still to come are listed, disabled.
  mmRotateSpectra = AddItem(files, this, "Rotate Spectra", on(&TMainForm1::RotateSpectra1Click));
  AddItem(files, this, acFrqCorr)->SetVisible(false);
  mmCreatePackages = AddItem(files, this, "Preliminary creation mpk files", on(&TMainForm1::Creatempkfiles1Click));
  mmBatchAutoEdit = AddItem(files, this, "Batch autoedit", on(&TMainForm1::AutoEdit1Click));
  AddItem(files, this, "Delete last edits", on(&TMainForm1::Deleteedits1Click));
  mmSiteList = AddItem(files, this, "Site List", on(&TMainForm1::N11Click));
  mmSiteList->SetTag(10);
  sep(files);
  AddItem(files, this, AcExit);

  TMenuItem* edit = AddItem(root, this, "Edit");
  for (TAction* a : {AcUndo, AcRedo, AcDeleting, AcRestoring, AcLiveSpline}) AddItem(edit, this, a);
  AddItem(edit, this, "Edit histrory", on(&TMainForm1::Edithistrory1Click));

  TMenuItem* show = AddItem(root, this, "Show");
  for (TAction* a : {AcLabel, acStartingData, AcResultingData, AcPolar, AcIndVec, AcOplogLines, AcProgrOutput})
    AddItem(show, this, a);
  TMenuItem* bars = AddItem(show, this, "ToolBars");
  for (TAction* a : {AcFiles, AcView, AcCursors, AcNavigate, AcProcessing, AcReference, AcEditingMode, AcShow})
    AddItem(bars, this, a);

  TMenuItem* reference = AddItem(root, this, "Reference");
  for (TAction* a : {AcLE, AcLH, AcRE, AcRH}) AddItem(reference, this, a);
  // The choice among every reference the site offers, in a dialog: offered under the four.
  mmOtherReference = AddItem(reference, this, AcOtherReference);

  TMenuItem* processing = AddItem(root, this, "Processing");
  for (TAction* a : {AcEditing, AcComplexEditing, AcOtherEditting, AcAutoEdit, acAutoEditWithSpline, AcMaskEdit,
                     AcClearMask, AcAngleChg, AcFirst, AcPrior, AcNext, AcLast})
    AddItem(processing, this, a);
  processing->Items(1)->SetVisible(false);  // complex editing
  processing->Items(4)->SetVisible(false);  // automatic editing with a spline
  sep(processing);
  AddItem(processing, this, AcOptions);

  AddItem(root, this, "Reports")->SetVisible(false);

  TMenuItem* language = AddItem(root, this, "Language");
  mmEnglish = AddItem(language, this, "English", on(&TMainForm1::Language1Click));
  mmEnglish->SetName("mmEnglish");
  mmEnglish->SetTag(0);
  mmEnglish->SetChecked(true);
  mmRussian = AddItem(language, this, "Russian", on(&TMainForm1::Language1Click));
  mmRussian->SetName("mmRussian");
  mmRussian->SetTag(11);

  mmWindow = AddItem(root, this, "Window");
  for (TAction* a : {AcMaximizeSpecial, AcCascadeSpecial, acWindowTileHorizontal1, acWindowTileVertical1,
                     acWindowCascade1, acWindowCloseAll1})
    AddItem(mmWindow, this, a);
  SetWindowMenu(mmWindow);

  TMenuItem* help = AddItem(root, this, "Help");
  AddItem(help, this, "About", on(&TMainForm1::N8Click));

  PopupMenu2 = new TPopupMenu(this);
  PopupMenu2->SetName("PopupMenu2");
  for (TAction* a :
       {AcFiles, AcView, AcCursors, AcNavigate, AcProcessing, AcReference, AcShow, AcEditingMode, AcSplines})
    AddItem(PopupMenu2->Items(), this, a);
}

void TMainForm1::CreateToolBars() {
  ControlBar1 = new TControlBar(this);
  ControlBar1->SetName("ControlBar1");
  ControlBar1->SetParent(this);
  ControlBar1->SetAlign(alTop);
  ControlBar1->SetAutoSize(true);
  ControlBar1->SetRowSnap(false);
  SetControlPopupMenu(ControlBar1, PopupMenu2);
  const std::vector<std::vector<TAction*>> buttons = {
      {acOpen, acSave, AcSaveAs, acClose, acExportTo, AcPreview, acPrint, AcExit},
      {AcLabel, acStartingData, AcResultingData, AcPolar, AcOplogLines, AcIndVec},
      {AcPointer, AcHand, AcTwoVert, AcCircle, AcLasso, AcTwoHorl},
      {AcEditing, AcMaskEdit, AcAutoEdit, AcAngleChg, AcOptions},
      {AcLE, AcLH, AcRE, AcRH},
      {AcMeanView, AcStdView, AcWeightView},
      {AcRestoring, AcDeleting, AcUndo, AcRedo},
      {AcFirst, AcPrior, AcNext, AcLast}};
  const char* captions[8] = {"Files", "View", "Cursors", "Processing", "Reference", "Show", "Editing", "Navigate"};
  ControlBar1->DisableAlign();
  for (int i = 0; i < 8; ++i) {
    auto* tb = new TToolBar(this);
    tb->SetName("ToolBar" + std::to_string(i + 1));
    tb->SetCaption(captions[i]);
    tb->SetImages(ImageList1);
    tb->SetButtonWidth(24);
    tb->SetButtonHeight(24);
    tb->SetParent(ControlBar1);
    for (TAction* a : buttons[static_cast<size_t>(i)]) {
      auto* b = new TToolButton(this);
      b->SetParent(tb);
      b->SetAction(a);
    }
    // A tool bar the user closes while floating unchecks its toggle at the next idle moment.
    ToolBars[i] = tb;
  }
  // One row, in tool-bar order, each bar as wide as its buttons.
  int left = 0;
  for (TToolBar* tb : ToolBars) {
    tb->SetBounds(left, 0, tb->ButtonsWidth() + 4, 28);
    left += tb->Width() + 2;
  }
  ControlBar1->EnableAlign();
}
