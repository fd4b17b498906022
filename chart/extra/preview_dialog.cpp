#include "chart/extra/preview_dialog.h"

#include "chart/engine/chart_utils.h"
#include "chart/engine/graph_panel.h"
#include "chart/extra/pen_dialog.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/exceptions.h"
#include "platform/guards.h"
#include "platform/printers.h"
#include "platform/stdctrls.h"
#include "platform/strings.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TChartPreview)

namespace {

template <class T>
T* Place(TWinControl* Parent, TComponent* Owner, const char* Name, int X, int Y, int W, int H) {
  auto* c = new T(Owner);
  c->SetName(Name);
  c->SetParent(Parent);
  c->SetBounds(X, Y, W, H);
  return c;
}

bool PrinterReady() { return Printer()->HasPrinter() || !Printer()->OutputFile().empty(); }

constexpr int32_t kNavigatorHelpContext = 1488;

}  // namespace

// ---------------------------------------------------------------------------------------------
// TChartPreview

TChartPreview::TChartPreview(TComponent* AOwner) : TForm(AOwner) {
  SetName("ChartPreview");
  SetCaption("Quorvex Print Preview");
  SetBounds(0, 0, 640, 460);
  CBPrinters = Place<TComboBox>(this, this, "CBPrinters", 8, 8, 280, 22);
  CBPrinters->SetStyle(csDropDownList);
  BSetupPrinter = Place<TButton>(this, this, "BSetupPrinter", 296, 6, 80, 25);
  BSetupPrinter->SetCaption("&Setup...");
  BPrint = Place<TButton>(this, this, "BPrint", 384, 6, 80, 25);
  BPrint->SetCaption("&Print");
  PanelClose = Place<TCustomPanelNoCaption>(this, this, "PanelClose", 470, 4, 90, 30);
  BClose = Place<TButton>(PanelClose, this, "BClose", 4, 2, 80, 25);
  BClose->SetCaption("Close");
  // The printer list takes what the buttons leave of the top row.
  CBPrinters->SetAnchors({akLeft, akTop, akRight});
  for (TControl* c : std::initializer_list<TControl*>{BSetupPrinter, BPrint, PanelClose})
    c->SetAnchors({akTop, akRight});

  Orientation = Place<TGroupBox>(this, this, "Orientation", 8, 40, 150, 70);
  Orientation->SetCaption("Orien&tation:");
  OrientationPortrait = Place<TRadioButton>(Orientation, this, "OrientationPortrait", 8, 18, 130, 20);
  OrientationPortrait->SetCaption("P&ortrait");
  OrientationLandscape = Place<TRadioButton>(Orientation, this, "OrientationLandscape", 8, 42, 130, 20);
  OrientationLandscape->SetCaption("&Landscape");

  GBMargins = Place<TGroupBox>(this, this, "GBMargins", 8, 116, 150, 110);
  GBMargins->SetCaption("Margins (%)");
  struct MarginControls {
    const char *Edit, *UpDown;
    int X, Y;
    TEdit** E;
    TUpDown** U;
  } margins[] = {{"SELeftMa", "UDLeftMa", 8, 48, &SELeftMa, &UDLeftMa},
                 {"SETopMa", "UDTopMa", 52, 20, &SETopMa, &UDTopMa},
                 {"SERightMa", "UDRightMa", 96, 48, &SERightMa, &UDRightMa},
                 {"SEBotMa", "UDBotMa", 52, 76, &SEBotMa, &UDBotMa}};
  for (int i = 0; i < 4; ++i) {
    auto& m = margins[i];
    *m.E = Place<TEdit>(GBMargins, this, m.Edit, m.X, m.Y, 30, 22);
    *m.U = Place<TUpDown>(GBMargins, this, m.UpDown, m.X + 30, m.Y, 15, 22);
    (*m.U)->SetIncrement(5);
    (*m.U)->SetAssociate(*m.E);
    TUpDown* u = *m.U;
    TEdit* e = *m.E;
    e->OnChange = [this, i, u, previous = e->OnChange](TObject* s) {
      if (previous) previous(s);
      MarginChange(i, u->Position());
    };
  }
  ChangeDetailGroup = Place<TGroupBox>(this, this, "ChangeDetailGroup", 8, 232, 150, 74);
  ChangeDetailGroup->SetCaption("Detail:");
  Resolution = Place<TTrackBar>(ChangeDetailGroup, this, "Resolution", 8, 16, 134, 30);
  Resolution->SetMax(100);
  // More detail to the left, the chart's own to the right.
  auto* more = Place<TLabel>(ChangeDetailGroup, this, "LabelMore", 10, 50, 60, 16);
  more->SetCaption("More");
  auto* normal = Place<TLabel>(ChangeDetailGroup, this, "LabelNormal", 80, 50, 60, 16);
  normal->SetAutoSize(false);
  normal->SetAlignment(taRightJustify);
  normal->SetCaption("Normal");
  PanelMargins = Place<TCustomPanelNoCaption>(this, this, "PanelMargins", 8, 312, 150, 56);
  BReset = Place<TButton>(PanelMargins, this, "BReset", 4, 2, 140, 25);
  BReset->SetCaption("Reset &Margins");
  BReset->SetEnabled(false);
  ShowMargins = Place<TCheckBox>(PanelMargins, this, "ShowMargins", 4, 30, 140, 20);
  ShowMargins->SetCaption("&View Margins");
  ShowMargins->SetChecked(true);
  CBProp = Place<TCheckBox>(this, this, "CBProp", 8, 374, 150, 20);
  CBProp->SetCaption("Proport&ional");
  CBProp->SetChecked(true);
  CheckBox1 = Place<TCheckBox>(this, this, "CheckBox1", 8, 398, 150, 20);
  CheckBox1->SetCaption("S&mooth");

  GraphPreviewPanel1 = Place<TGraphPreviewPanel>(this, this, "GraphPreviewPanel1", 166, 40, 466, 412);
  GraphPreviewPanel1->SetAnchors({akLeft, akTop, akRight, akBottom});
  GraphPreviewPanel1->PaperShadow()->SetSize(4);
  GraphPreviewPanel1->Gradient()->SetVisible(true);
  GraphPreviewPanel1->Gradient()->SetDirection(gdFromTopLeft);
  GraphPreviewPanel1->Gradient()->SetEndColor(clGray);
  GraphPreviewPanel1->OnChangeMargins = [this](TObject* s, bool d, const TRect& m) {
    GraphPreviewPanel1ChangeMargins(s, d, m);
  };
  PrinterSetupDialog = std::make_unique<TPrinterSetupDialog>(nullptr);

  OrientationPortrait->OnClick = [this](TObject*) { OrientationClick(0); };
  OrientationLandscape->OnClick = [this](TObject*) { OrientationClick(1); };
  CBPrinters->OnChange = [this](TObject*) { CBPrintersChange(); };
  BSetupPrinter->OnClick = [this](TObject*) { BSetupPrinterClick(); };
  ShowMargins->OnClick = [this](TObject*) { ShowMarginsClick(); };
  BReset->OnClick = [this](TObject*) { BResetClick(); };
  CBProp->OnClick = [this](TObject*) { CBPropClick(); };
  Resolution->OnChange = [this](TObject*) { TrackBar1Change(); };
  CheckBox1->OnClick = [this](TObject*) { CheckBox1Click(); };
  BPrint->OnClick = [this](TObject*) { BPrintClick(); };
  BClose->OnClick = [this](TObject*) { Close(); };
  OnShow = [this](TObject*) { FormShow(); };
}

TChartPreview::~TChartPreview() { FormDestroy(); }

void TChartPreview::FormDestroy() {
  PrinterSetupDialog.reset();
  TCustomGraphNavigator* n = FNavigator;
  FNavigator = nullptr;
  delete n;
}

void TChartPreview::SetPageNavigatorClass(TComponentClass Value) {
  if (Value && !Value->InheritsFrom(TCustomGraphNavigator::StaticClass()))
    throw EInvalidOperation(Value->ClassName() + " is not a page navigator");
  FNavigatorClass = Value;
}

// At the bottom of the left column, once per form.
void TChartPreview::CreateNavigator() {
  if (!FNavigatorClass || FNavigator) return;
  FNavigator = static_cast<TCustomGraphNavigator*>(FNavigatorClass->Create(this));
  FNavigator->SetParent(this);
  FNavigator->SetBounds(CheckBox1->Left(), CheckBox1->Top() + CheckBox1->Height() + 4, CheckBox1->Width(), 25);
  FNavigator->SetHelpContext(kNavigatorHelpContext);
  FNavigator->OnPageChange = [this](TObject*) { GraphPreviewPanel1->Invalidate(); };
}

void TChartPreview::HideCloseButton() { PanelClose->SetVisible(false); }

int TChartPreview::OrientationIndex() const { return OrientationLandscape->Checked() ? 1 : 0; }

void TChartPreview::ShowOrientation() {
  const bool landscape = Printer()->Orientation() == poLandscape;
  TScopeExit restore([this, was = FUpdating] { FUpdating = was; });
  FUpdating = true;
  auto portraitClick = OrientationPortrait->OnClick, landscapeClick = OrientationLandscape->OnClick;
  OrientationPortrait->OnClick = nullptr;
  OrientationLandscape->OnClick = nullptr;
  OrientationLandscape->SetChecked(landscape);
  OrientationPortrait->SetChecked(!landscape);
  OrientationPortrait->OnClick = portraitClick;
  OrientationLandscape->OnClick = landscapeClick;
}

void TChartPreview::FillPrinters() {
  CBPrinters->Items()->Assign(*Printer()->Printers());
  CBPrinters->SetItemIndex(Printer()->PrinterIndex());
}

void TChartPreview::FormShow() {
  CreateNavigator();
  if (Screen) Screen->SetCursor(crDefault);
  if (Tag() != 0) GraphPreviewPanel1->SetPanel(reinterpret_cast<TCustomGraphPanel*>(Tag()));
  FillPrinters();
  const bool printers = PrinterReady();
  BPrint->SetEnabled(printers);
  BSetupPrinter->SetEnabled(printers);
  Orientation->SetEnabled(printers);
  if (printers) {
    Printer()->SetOrientation(poLandscape);
    ShowOrientation();
  }
  if (TCustomGraphPanel* c = Chart()) {
    FSuppressProp = true;
    CBProp->SetChecked(c->PrintProportional());
    FSuppressProp = false;
    Resolution->SetPosition(c->PrintResolution() + 100);
    FOldMargins = c->PrintMargins();
    RefreshMargins();
    if (FNavigator) FNavigator->SetPanel(c);
  } else {
    CBProp->SetEnabled(false);
    Resolution->SetEnabled(false);
    GBMargins->SetEnabled(false);
    BPrint->SetEnabled(false);
  }
  CheckBox1->SetChecked(GraphPreviewPanel1->AsBitmap());
  TranslateControl(this);
  FShowing = true;
  if (EditorDialogHook) EditorDialogHook(this);
}

void TChartPreview::RefreshMargins() {
  TCustomGraphPanel* c = Chart();
  if (!c) return;
  if (c->PrintProportional() && PrinterReady()) {
    TRect m = c->PrintMargins();
    c->CalcProportionalMargins(m);
    FOldMargins = m;
    c->SetPrintMargins(m);
  }
  FUpdating = true;
  GraphPreviewPanel1ChangeMargins(this, false, c->PrintMargins());
  GraphPreviewPanel1->Invalidate();
}

void TChartPreview::GraphPreviewPanel1ChangeMargins(TObject*, bool DisableProportional, const TRect& NewMargins) {
  if (FUpdating) {
    TScopeExit clear([this] { FUpdating = false; });
    UDLeftMa->SetPosition(NewMargins.Left);
    UDRightMa->SetPosition(NewMargins.Right);
    UDTopMa->SetPosition(NewMargins.Top);
    UDBotMa->SetPosition(NewMargins.Bottom);
  }
  if (DisableProportional) {
    if (TCustomGraphPanel* c = Chart()) c->SetPrintProportional(false);
    FSuppressProp = true;
    CBProp->SetChecked(false);
    FSuppressProp = false;
  }
}

void TChartPreview::MarginChange(int Which, int Position) {
  TCustomGraphPanel* c = Chart();
  if (!FShowing || !c) return;
  TRect m = c->PrintMargins();
  int* fields[] = {&m.Left, &m.Top, &m.Right, &m.Bottom};
  TUpDown* updowns[] = {UDLeftMa, UDTopMa, UDRightMa, UDBotMa};
  const int opposite = *fields[(Which + 2) % 4];
  if (opposite + Position >= 100) {
    // Two opposite margins never reach 100 % together.
    const bool was = FUpdating;
    FUpdating = true;
    updowns[Which]->SetPosition(*fields[Which]);
    FUpdating = was;
    return;
  }
  *fields[Which] = Position;
  c->SetPrintMargins(m);
  if (FUpdating) return;
  GraphPreviewPanel1->Invalidate();
  BReset->SetEnabled(!(c->PrintMargins() == FOldMargins));
  if (CBProp->Checked()) {
    CBProp->SetChecked(false);
    CBPropClick();
  }
}

void TChartPreview::OrientationClick(int Index) {
  if (FUpdating) return;
  Printer()->SetOrientation(Index == 1 ? poLandscape : poPortrait);
  RefreshMargins();
  GraphPreviewPanel1->Invalidate();
}

void TChartPreview::CBPrintersChange() {
  Printer()->SetPrinterIndex(CBPrinters->ItemIndex());
  ShowOrientation();
  OrientationClick(OrientationIndex());
}

void TChartPreview::BSetupPrinterClick() {
  PrinterSetupDialog->Execute();
  FillPrinters();
  ShowOrientation();
  GraphPreviewPanel1->Invalidate();
}

void TChartPreview::ShowMarginsClick() { GraphPreviewPanel1->Margins()->SetVisible(ShowMargins->Checked()); }

void TChartPreview::BResetClick() {
  TCustomGraphPanel* c = Chart();
  if (!c) return;
  c->SetPrintMargins(FOldMargins);
  FUpdating = true;
  GraphPreviewPanel1ChangeMargins(this, false, FOldMargins);
  GraphPreviewPanel1->Invalidate();
  BReset->SetEnabled(false);
}

void TChartPreview::CBPropClick() {
  if (FSuppressProp) return;
  if (TCustomGraphPanel* c = Chart()) {
    c->SetPrintProportional(CBProp->Checked());
    RefreshMargins();
  }
}

void TChartPreview::TrackBar1Change() {
  if (TCustomGraphPanel* c = Chart()) {
    c->SetPrintResolution(Resolution->Position() - 100);
    GraphPreviewPanel1->Invalidate();
  }
}

void TChartPreview::CheckBox1Click() { GraphPreviewPanel1->SetAsBitmap(CheckBox1->Checked()); }

void TChartPreview::BPrintClick() {
  TCursor old = Screen ? Screen->Cursor() : crDefault;
  if (Screen) Screen->SetCursor(crHourGlass);
  TScopeExit cursor([old] {
    if (Screen) Screen->SetCursor(old);
  });
  if (FNavigator && FNavigator->PageCount() > 1)
    FNavigator->Print();
  else
    GraphPreviewPanel1->Print();
}
