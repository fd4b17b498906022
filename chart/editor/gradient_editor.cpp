#include "chart/editor/gradient_editor.h"

#include <algorithm>

#include "chart/editor/gallery.h"
#include "chart/engine/chart_utils.h"
#include "chart/editor/language.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/walls_titles.h"
#include "chart/extra/pen_dialog.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/guards.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TPreviewGradient)
VM_DEFINE_CLASS(TGraphGradientEditor)
VM_DEFINE_CLASS(TButtonGradient)

namespace {

struct TTheme {
  const char* Name;
  TColor Start, Mid, End;
  TGradientDirection Direction;
  int Balance;
};

const TTheme kThemes[GradientThemeCount] = {
    {"Caribe Sun", 0xDDDFD2, 0xF50A97, 0x0B80F4, gdTopBottom, 50},
    {"Business", 0xC0C0C0, 0xFFFFFF, 0x808080, gdTopBottom, 50},
    {"Hot", 0x0000FF, clNone, 0x00FFFF, gdTopBottom, 50},
    {"Ace", 0x000000, 0xFF8080, 0x000000, gdBottomTop, 74},
    {"Farm", 0x006AD5, 0xFFFFFF, 0x0062C4, gdBottomTop, 4},
    {"Sea", 0xFFFF80, 0xFF8080, 0x800000, gdBottomTop, 55},
    {"Night", 0xFFFFFF, 0x800040, 0x000000, gdTopBottom, 40},
    {"Space", 0xA50320, 0x800040, 0xFFFFFF, gdFromTopLeft, 50},
    {"Golf", 0x159902, 0xC0C0C0, 0xD9F986, gdTopBottom, 50},
    {"Funky", 0xBD3881, 0x87607A, 0x52EB85, gdTopBottom, 50},
    {"Sunset", 0xB85A06, 0xA7D8AF, 0x001042, gdTopBottom, 50},
    {"Rainbow", 0xA11EE8, 0x0F8355, 0xDD011A, gdTopBottom, 50},
    {"Pastel", 0x247489, 0x9491F6, 0xFD8B9D, gdTopBottom, 50},
    {"Tropical", 0x9A414B, 0x732FF3, 0x20D761, gdTopBottom, 50},
    {"Sea 2", 0x4C031C, 0xBACBE1, 0x291EF9, gdTopBottom, 50},
    {"Desert", 0x265FB7, 0xCE7185, 0x604457, gdTopBottom, 50},
    {"Clear day", 0xFFF3EA, 0xE0E6E9, 0xCEDBFF, gdTopBottom, 50},
};

const char* const kDirections[] = {"Top Bottom",    "Bottom Top",       "Left Right", "Right Left",  "From Center",
                                   "From Top Left", "From Bottom Left", "Radial",     "Diagonal Up", "Diagonal Down"};

bool IsLinearDirection(TGradientDirection D) {
  return D == gdTopBottom || D == gdBottomTop || D == gdLeftRight || D == gdRightLeft;
}

template <class T>
T* Make(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y, int W,
        int H) {
  auto* c = new T(Owner);
  c->SetName(Name);
  c->SetParent(Parent);
  if (!Caption.empty()) c->SetCaption(Caption);
  c->SetBounds(X, Y, W, H);
  return c;
}

TLabel* MakeLabel(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
                  TWinControl* Focus = nullptr) {
  auto* l = Make<TLabel>(Owner, Parent, Name, Caption, X, Y, 60, 16);
  if (Focus) l->SetFocusControl(Focus);
  return l;
}

}  // namespace

const std::string& GradientThemeName(int Index) {
  static std::vector<std::string> names = [] {
    std::vector<std::string> n;
    for (const TTheme& t : kThemes) n.push_back(t.Name);
    return n;
  }();
  if (Index < 0 || Index >= GradientThemeCount) throw ERangeError("Range check error");
  return names[static_cast<size_t>(Index)];
}

void ApplyGradientTheme(TCustomGraphGradient* Gradient, int Index) {
  if (Index < 0 || Index >= GradientThemeCount) throw ERangeError("Range check error");
  const TTheme& t = kThemes[Index];
  Gradient->SetStartColor(t.Start);
  Gradient->SetMidColor(t.Mid);
  Gradient->SetEndColor(t.End);
  Gradient->SetDirection(t.Direction);
  Gradient->SetBalance(t.Balance);
}

// ---------------------------------------------------------------------------------------------
// TPreviewGradient

TPreviewGradient::TPreviewGradient(TComponent* AOwner) : TCustomGraphPanelExtended(AOwner) {
  SetBevelOuter(bvNone);
  Gradient()->SetVisible(true);
}

void TPreviewGradient::DrawContents(const TRect& Rect) { DrawPanelBackground(Rect); }

// ---------------------------------------------------------------------------------------------
// TGraphGradientEditor

TGraphGradientEditor::TGraphGradientEditor(TComponent* AOwner) : TForm(AOwner) {
  FLoading = true;
  SetCaption("Gradient Editor");
  SetAlign(alClient);
  SetBorderStyle(bsDialog);
  SetBounds(0, 0, 330, 290);
  CBVisible = Make<TCheckBox>(this, this, "CBVisible", "&Visible", 8, 8, 80, 20);
  auto* dirLabel = MakeLabel(this, this, "LabelDirection", "&Direction:", 100, 10);
  CBDirection = Make<TComboBox>(this, this, "CBDirection", "", 170, 6, 140, 22);
  CBDirection->SetStyle(csDropDownList);
  for (const char* d : kDirections) CBDirection->Items()->Add(d);
  dirLabel->SetFocusControl(CBDirection);

  PanelBottom = Make<TPanel>(this, this, "PanelBottom", "", 0, 0, 330, 36);
  PanelBottom->SetAlign(alBottom);
  PanelBottom->SetBevelOuter(bvNone);
  BOk = Make<TButton>(this, PanelBottom, "BOk", "OK", 160, 6, 75, 25);
  BOk->SetModalResult(mrOk);
  BOk->SetDefault(true);
  BCancel = Make<TButton>(this, PanelBottom, "BCancel", "Cancel", 244, 6, 75, 25);
  BCancel->SetModalResult(mrCancel);
  BCancel->SetCancel(true);

  PageControl1 = Make<TPageControl>(this, this, "PageControl1", "", 4, 34, 320, 216);
  PageControl1->SetAnchors({akLeft, akTop, akRight, akBottom});
  auto page = [this](const char* Name, const char* Caption) {
    auto* t = new TTabSheet(this);
    t->SetName(Name);
    t->SetPageControl(PageControl1);
    t->SetCaption(Caption);
    return t;
  };
  TabDefault = page("TabDefault", "Default");
  TabColors = page("TabColors", "Colors");
  TabOptions = page("TabOptions", "Options");
  TabDirections = page("TabDirections", "Directions");

  // Default: the themes beside the preview.
  Gallery = Make<TListBox>(this, TabDefault, "Gallery", "", 4, 4, 110, 176);
  Gallery->SetAlign(alLeft);
  Gallery->SetSorted(true);
  for (int i = 0; i < GradientThemeCount; ++i)
    Gallery->Items()->AddObject(kThemes[i].Name, reinterpret_cast<TObject*>(static_cast<intptr_t>(i)));
  Preview = new TPreviewGradient(this);
  Preview->SetParent(TabDefault);
  Preview->SetAlign(alClient);

  // Colors.
  BStart = Make<TButtonColor>(this, TabColors, "BStart", "&Start...", 8, 8, 100, 25);
  BMid = Make<TButtonColor>(this, TabColors, "BMid", "&Middle...", 8, 40, 100, 25);
  BEnd = Make<TButtonColor>(this, TabColors, "BEnd", "&End...", 8, 72, 100, 25);
  CBMid = Make<TCheckBox>(this, TabColors, "CBMid", "&No Middle", 120, 44, 100, 20);
  BSwap = Make<TButton>(this, TabColors, "BSwap", "S&wap", 120, 72, 75, 25);

  // Options.
  auto* balance = MakeLabel(this, TabOptions, "LabelBalanceCaption", "&Balance:", 8, 10);
  SBBalance = Make<TScrollBar>(this, TabOptions, "SBBalance", "", 70, 8, 170, 18);
  SBBalance->SetParams(50, 0, 100);
  balance->SetFocusControl(SBBalance);
  LabelBalance = MakeLabel(this, TabOptions, "LabelBalance", "", 248, 10);
  auto* radial = Make<TGroupBox>(this, TabOptions, "GroupRadial", "Radial offset:", 8, 40, 296, 100);
  LabelHoriz = MakeLabel(this, radial, "LabelHoriz", "&Horiz:", 8, 22);
  TrackBar1 = Make<TTrackBar>(this, radial, "TrackBar1", "", 60, 18, 180, 26);
  TrackBar1->SetParams(0, -300, 300);
  LabelHoriz->SetFocusControl(TrackBar1);
  LRadialX = MakeLabel(this, radial, "LRadialX", "0", 248, 22);
  LabelVert = MakeLabel(this, radial, "LabelVert", "&Vert:", 8, 58);
  TrackBar2 = Make<TTrackBar>(this, radial, "TrackBar2", "", 60, 54, 180, 26);
  TrackBar2->SetParams(0, -300, 300);
  LabelVert->SetFocusControl(TrackBar2);
  LRadialY = MakeLabel(this, radial, "LRadialY", "0", 248, 58);

  // Directions: ten small charts whose back walls show the ten directions.
  Directions = new TChartGalleryPanel(this);
  Directions->SetName("Directions");
  Directions->SetParent(TabDirections);
  Directions->SetAlign(alClient);
  Directions->DisplaySub = false;
  Directions->SetNumRows(2);
  Directions->SetNumCols(5);
  for (int d = 0; d < 10; ++d) {
    auto* c = new TGalleryChart(Directions);
    c->SetParent(Directions);
    c->SetHint(Translated(kDirections[d]));  // owned by the gallery, out of the walker's reach
    c->SetShowHint(true);
    c->Title()->Text()->Clear();
    c->SetView3D(false);
    c->SetAxisVisible(false);
    c->SetMarginLeft(16);
    c->SetMarginTop(22);
    c->SetMarginRight(16);
    c->SetMarginBottom(22);
    c->BackWall()->SetVisible(true);
    c->BackWall()->SetTransparent(false);
    c->BackWall()->Gradient()->SetVisible(true);
    c->BackWall()->Gradient()->SetDirection(static_cast<TGradientDirection>(d));
    c->SetCursor(crHandPoint);
    c->OnClick = [this](TObject* S) { Directions->ChartClick(S); };
    c->OnEnter = [this](TObject* S) { Directions->ChartClick(S); };
    c->OnDblClick = [this](TObject* S) { Directions->DoSelectedChart(S); };
    Directions->Charts.Add(c);
  }
  Directions->CalcChartCells();
  Directions->OnChangeChart = [this](TObject*) {
    if (!FLoading) DirectionsSelected(Directions->SelectedChart);
  };
  PageControl1->SetActivePage(TabColors);

  CBVisible->OnClick = [this](TObject*) { CBVisibleClick(); };
  CBDirection->OnChange = [this](TObject*) { CBDirectionChange(); };
  Gallery->OnClick = [this](TObject*) { GalleryClick(); };
  BStart->OnClick = [this](TObject*) { BStartClick(); };
  BEnd->OnClick = [this](TObject*) { BStartClick(); };
  BMid->OnClick = [this](TObject*) { BMidClick(); };
  CBMid->OnClick = [this](TObject*) { CBMidClick(); };
  BSwap->OnClick = [this](TObject*) { BSwapClick(); };
  SBBalance->OnChange = [this](TObject*) { SBBalanceChange(); };
  TrackBar1->OnChange = [this](TObject*) { TrackBar1Change(); };
  TrackBar2->OnChange = [this](TObject*) { TrackBar2Change(); };
  BCancel->OnClick = [this](TObject*) { BCancelClick(); };
  OnShow = [this](TObject*) { FormShow(); };
  FLoading = false;
}

TGraphGradientEditor::~TGraphGradientEditor() = default;

TGraphGradientEditor* TGraphGradientEditor::CreateEmbedded(TComponent* AOwner, TCustomGraphGradient* Gradient) {
  auto* e = new TGraphGradientEditor(AOwner);
  e->EditedGradient = Gradient;
  e->SetTag(reinterpret_cast<intptr_t>(static_cast<TObject*>(Gradient)));
  e->PanelBottom->SetVisible(false);
  e->SetHeight(e->Height() - e->BOk->Height());
  return e;
}

void TGraphGradientEditor::FormShow() {
  RefreshControls(EditedGradient ? EditedGradient
                                 : dynamic_cast<TCustomGraphGradient*>(reinterpret_cast<TObject*>(Tag())));
  GradientChanged = false;
  TranslateControl(this);
  if (EditorDialogHook && PanelBottom->Visible()) EditorDialogHook(this);
}

void TGraphGradientEditor::RefreshControls(TCustomGraphGradient* Gradient) {
  TScopeExit done([this, was = FLoading] { FLoading = was; });
  FLoading = true;
  EditedGradient = Gradient;
  SetTag(reinterpret_cast<intptr_t>(static_cast<TObject*>(Gradient)));
  if (!Gradient) return;
  SavedGradient = std::make_unique<TGraphGradient>();
  SavedGradient->Assign(Gradient);
  BStart->LinkProperty(Gradient, "StartColor");
  BMid->LinkProperty(Gradient, "MidColor");
  BEnd->LinkProperty(Gradient, "EndColor");
  FLastMid = Gradient->UsesMidColor() ? Gradient->MidColor() : clNone;
  LoadControls();
  EnableColorControls();
  EnableDirectionControls();
  RefreshPreview();
  SelectDirectionChart();
}

void TGraphGradientEditor::SelectDirectionChart() {
  if (!EditedGradient) return;
  const int d = static_cast<int>(EditedGradient->Direction());
  if (d >= 0 && d < Directions->Charts.Count()) Directions->SelectChart(Directions->Charts.Items(d));
}

void TGraphGradientEditor::RecolorDirections() {
  if (!EditedGradient) return;
  for (int i = 0; i < Directions->Charts.Count(); ++i) {
    TGraphGradient* g = Directions->Charts.Items(i)->BackWall()->Gradient();
    g->SetStartColor(EditedGradient->StartColor());
    g->SetMidColor(EditedGradient->MidColor());
    g->SetEndColor(EditedGradient->EndColor());
  }
}

void TGraphGradientEditor::LoadControls() {
  TScopeExit done([this, was = FLoading] { FLoading = was; });
  FLoading = true;
  TCustomGraphGradient* g = EditedGradient;
  SBBalance->SetPosition(g->Balance());
  LabelBalance->SetCaption(FormatFloat(DefaultPercentFormat, g->Balance()));
  CBVisible->SetChecked(g->Visible());
  CBDirection->SetItemIndex(static_cast<int>(g->Direction()));
  CBMid->SetChecked(g->MidColor() == clNone);
  TrackBar1->SetPosition(g->RadialX());
  TrackBar2->SetPosition(g->RadialY());
  LRadialX->SetCaption(IntToStr(g->RadialX()));
  LRadialY->SetCaption(IntToStr(g->RadialY()));
  BStart->Invalidate();
  BMid->Invalidate();
  BEnd->Invalidate();
  RecolorDirections();
}

void TGraphGradientEditor::RefreshPreview() {
  if (!EditedGradient) return;
  TGraphGradient* p = Preview->Gradient();
  p->SetVisible(EditedGradient->Visible());
  p->SetDirection(EditedGradient->Direction());
  p->SetStartColor(EditedGradient->StartColor());
  p->SetMidColor(EditedGradient->MidColor());
  p->SetEndColor(EditedGradient->EndColor());
  Preview->Invalidate();
  RecolorDirections();
}

void TGraphGradientEditor::EnableColorControls() {
  const bool on = FixedEndColor || (EditedGradient && EditedGradient->Visible());
  for (TControl* c : std::initializer_list<TControl*>{CBDirection, BStart, CBMid, BMid, BEnd, BSwap, Gallery})
    c->SetEnabled(on);
}

void TGraphGradientEditor::EnableDirectionControls() {
  const TGradientDirection d = EditedGradient ? EditedGradient->Direction() : gdTopBottom;
  const bool mid = FixedEndColor || (EditedGradient && EditedGradient->Visible() && d != gdFromCenter &&
                                     d != gdRadial && d != gdFromTopLeft && d != gdFromBottomLeft);
  CBMid->SetEnabled(mid);
  BMid->SetEnabled(mid);
  const bool radial = d == gdRadial;
  for (TControl* c : std::initializer_list<TControl*>{LabelHoriz, LabelVert, LRadialX, LRadialY, TrackBar1, TrackBar2})
    c->SetEnabled(radial);
}

void TGraphGradientEditor::CBVisibleClick() {
  if (FLoading || !EditedGradient) return;
  GradientChanged = true;
  EditedGradient->SetVisible(CBVisible->Checked());
  EnableColorControls();
  EnableDirectionControls();
  RefreshPreview();
}

void TGraphGradientEditor::CBDirectionChange() {
  if (FLoading || !EditedGradient || CBDirection->ItemIndex() < 0) return;
  GradientChanged = true;
  EditedGradient->SetDirection(static_cast<TGradientDirection>(CBDirection->ItemIndex()));
  EnableDirectionControls();
  if (!IsLinearDirection(EditedGradient->Direction())) Gallery->SetItemIndex(-1);
  RefreshPreview();
  TScopeExit done([this, was = FLoading] { FLoading = was; });
  FLoading = true;
  SelectDirectionChart();
}

void TGraphGradientEditor::DirectionsSelected(TGalleryChart* Chart) {
  if (!EditedGradient || !Chart) return;
  const int d = Directions->Charts.IndexOf(Chart);
  if (d < 0) return;
  EditedGradient->SetDirection(static_cast<TGradientDirection>(d));
  TScopeExit done([this, was = FLoading] { FLoading = was; });
  FLoading = true;
  CBDirection->SetItemIndex(d);
}

void TGraphGradientEditor::GalleryClick() {
  if (FLoading || !EditedGradient || Gallery->ItemIndex() < 0) return;
  const int theme = static_cast<int>(reinterpret_cast<intptr_t>(Gallery->Items()->Objects(Gallery->ItemIndex())));
  ApplyGradientTheme(EditedGradient, theme);
  LoadControls();
  EnableDirectionControls();
  RefreshPreview();
}

void TGraphGradientEditor::BStartClick() {
  GradientChanged = true;
  RefreshPreview();
}

void TGraphGradientEditor::BMidClick() {
  GradientChanged = true;
  TScopeExit done([this, was = FLoading] { FLoading = was; });
  FLoading = true;
  CBMid->SetChecked(EditedGradient && EditedGradient->MidColor() == clNone);
  RefreshPreview();
}

void TGraphGradientEditor::CBMidClick() {
  if (FLoading || !EditedGradient) return;
  GradientChanged = true;
  if (CBMid->Checked()) {
    if (EditedGradient->MidColor() != clNone) FLastMid = EditedGradient->MidColor();
    EditedGradient->SetMidColor(clNone);
  } else {
    EditedGradient->SetMidColor(FLastMid != clNone ? FLastMid : clWhite);
  }
  BMid->Invalidate();
  RefreshPreview();
}

void TGraphGradientEditor::BSwapClick() {
  if (!EditedGradient) return;
  GradientChanged = true;
  const TColor start = EditedGradient->StartColor();
  EditedGradient->SetStartColor(EditedGradient->EndColor());
  EditedGradient->SetEndColor(start);
  BStart->Invalidate();
  BEnd->Invalidate();
  RefreshPreview();
}

void TGraphGradientEditor::SBBalanceChange() {
  if (!FLoading && EditedGradient) {
    GradientChanged = true;
    EditedGradient->SetBalance(SBBalance->Position());
  }
  LabelBalance->SetCaption(FormatFloat(DefaultPercentFormat, SBBalance->Position()));
}

void TGraphGradientEditor::TrackBar1Change() {
  LRadialX->SetCaption(IntToStr(TrackBar1->Position()));
  if (FLoading || !EditedGradient) return;
  GradientChanged = true;
  EditedGradient->SetRadialX(TrackBar1->Position());
}

void TGraphGradientEditor::TrackBar2Change() {
  LRadialY->SetCaption(IntToStr(TrackBar2->Position()));
  if (FLoading || !EditedGradient) return;
  GradientChanged = true;
  EditedGradient->SetRadialY(TrackBar2->Position());
}

void TGraphGradientEditor::BCancelClick() {
  if (GradientChanged && EditedGradient && SavedGradient) {
    TNotifyEvent handler = EditedGradient->OnChange;
    EditedGradient->OnChange = nullptr;
    EditedGradient->Assign(SavedGradient.get());
    EditedGradient->OnChange = handler;
    if (handler) handler(this);
  }
  SetModalResult(mrCancel);
}

// ---------------------------------------------------------------------------------------------
// TButtonGradient

void TButtonGradient::LinkGradient(TCustomGraphGradient* Gradient) {
  LinkProperty(Gradient, "");
  Invalidate();
}

TCustomGraphGradient* TButtonGradient::Gradient() const { return dynamic_cast<TCustomGraphGradient*>(FInstance); }

void TButtonGradient::Click() {
  TCustomGraphGradient* g = Gradient();
  if (!g) return;
  if (!ShowGradientDialog(this, g, FixedEndColor, false)) return;
  Invalidate();
  TGraphButton::Click();
}

void TButtonGradient::DrawSymbol(TGraphCanvas* Canvas) {
  TCustomGraphGradient* g = Gradient();
  if (!Enabled() || !g) return;
  const TRect r = SymbolRect();
  g->Draw(Canvas, r);
  Canvas->Brush->SetStyle(bsClear);
  Canvas->Pen->SetStyle(psSolid);
  Canvas->Pen->SetWidth(1);
  Canvas->Pen->SetColor(g->Visible() ? clBlack : TColor(0x808080));
  Canvas->Rectangle(r.Left, r.Top, r.Right, r.Bottom);
}

bool ShowGradientDialog(TComponent* Control, TCustomGraphGradient* Gradient, bool FixedEndColor, bool HideVisible) {
  std::unique_ptr<TForm> form(
      CreateEditorDialog([](TComponent* Owner) { return new TGraphGradientEditor(Owner); }, Control));
  auto* e = static_cast<TGraphGradientEditor*>(form.get());
  e->SetAlign(alNone);
  e->SetTag(reinterpret_cast<intptr_t>(static_cast<TObject*>(Gradient)));
  e->FixedEndColor = FixedEndColor;
  if (FixedEndColor) {
    e->BEnd->SetVisible(false);
    e->BSwap->SetVisible(false);
  }
  if (HideVisible) e->CBVisible->SetVisible(false);
  return e->ShowModal() == mrOk;
}
