#include "chart/editor/shape_symbol_pointer.h"

#include <memory>

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/gradient_editor.h"
#include "chart/editor/series_page.h"
#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/graph_canvas.h"
#include "chart/extra/pen_dialog.h"
#include "chart/series/line_series.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TFormGraphShape)
VM_DEFINE_CLASS(TSymbolEditor)
VM_DEFINE_CLASS(TSeriesPointerEditor)

namespace {

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

TUpDown* MakeUpDown(TComponent* Owner, TWinControl* Parent, const char* Name, TEdit* Edit, int Min, int Max) {
  auto* u = Make<TUpDown>(Owner, Parent, Name, "", Edit->Left() + Edit->Width(), Edit->Top(), 17, Edit->Height());
  u->SetMin(Min);
  u->SetMax(Max);
  u->SetAssociate(Edit);
  return u;
}

TComboBox* MakeList(TComponent* Owner, TWinControl* Parent, const char* Name, std::initializer_list<const char*> Items,
                    int X, int Y, int W) {
  auto* c = Make<TComboBox>(Owner, Parent, Name, "", X, Y, W, 22);
  c->SetStyle(csDropDownList);
  for (const char* i : Items) c->Items()->Add(i);
  return c;
}

// The edit's text as a whole number within Min..Max, or false.
bool EditNumber(TEdit* Edit, int Min, int Max, int& Value) {
  return TryStrToInt(Trim(Edit->Text()), Value) && Value >= Min && Value <= Max;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TFormGraphShape

TFormGraphShape::TFormGraphShape(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 340, 240);
  PC1 = Make<TPageControl>(this, this, "PC1", "", 0, 0, 340, 240);
  PC1->SetAlign(alClient);
  auto page = [this](const char* Name, const char* Caption) {
    auto* t = new TTabSheet(this);
    t->SetName(Name);
    t->SetPageControl(PC1);
    t->SetCaption(Caption);
    return t;
  };
  TabFormat = page("TabFormat", "Format");
  TabText = page("TabText", "Text");
  TabGradient = page("TabGradient", "Gradient");
  TabShadow = page("TabShadow", "Shadow");
  BBackColor = Make<TButtonColor>(this, TabFormat, "BBackColor", "&Color...", 8, 8, 100, 25);
  Button4 = Make<TButtonPen>(this, TabFormat, "Button4", "&Frame...", 8, 40, 100, 25);
  Button6 = Make<TButton>(this, TabFormat, "Button6", "&Pattern...", 8, 72, 100, 25);
  CBRound = Make<TCheckBox>(this, TabFormat, "CBRound", "&Round Frame", 120, 10, 120, 20);
  CBTransparent = Make<TCheckBox>(this, TabFormat, "CBTransparent", "&Transparent", 120, 34, 120, 20);
  auto* lb = Make<TLabel>(this, TabFormat, "LBevel", "&Bevel:", 120, 62, 50, 16);
  CBBevel = MakeList(this, TabFormat, "CBBevel", {"None", "Lowered", "Raised"}, 176, 58, 90);
  lb->SetFocusControl(CBBevel);
  auto* lw = Make<TLabel>(this, TabFormat, "LBevW", "Siz&e:", 120, 90, 50, 16);
  EBevWidth = Make<TEdit>(this, TabFormat, "EBevWidth", "", 176, 86, 40, 22);
  UDBevW = MakeUpDown(this, TabFormat, "UDBevW", EBevWidth, 1, 100);
  UDBevW->SetPosition(1);
  lw->SetFocusControl(EBevWidth);
  auto* lt = Make<TLabel>(this, TabFormat, "LTransp", "&Transparency:", 8, 114, 90, 16);
  EShadowTransp = Make<TEdit>(this, TabFormat, "EShadowTransp", "", 110, 110, 40, 22);
  UDShadowTransp = MakeUpDown(this, TabFormat, "UDShadowTransp", EShadowTransp, 0, 100);
  lt->SetFocusControl(EShadowTransp);
  GradientEditor = TGraphGradientEditor::CreateEmbedded(this, nullptr);
  EmbedForm(GradientEditor, TabGradient);
  FontEditor = InsertFontEditor(TabText);
  ShadowEditor = InsertShadowEditor(TabShadow);

  CBRound->OnClick = [this](TObject*) {
    if (Shape && !LoadingControls) Shape->SetShapeStyle(CBRound->Checked() ? fosRoundRectangle : fosRectangle);
  };
  CBTransparent->OnClick = [this](TObject*) {
    if (Shape && !LoadingControls) Shape->SetTransparent(CBTransparent->Checked());
  };
  CBBevel->OnChange = [this](TObject*) {
    if (Shape && !LoadingControls && CBBevel->ItemIndex() >= 0)
      Shape->SetBevel(static_cast<TBevelCut>(CBBevel->ItemIndex()));
    EnableBevelWidth();
  };
  EBevWidth->OnChange = [this, previous = EBevWidth->OnChange](TObject* S) {
    if (previous) previous(S);
    int v = 0;
    if (Shape && !LoadingControls && EditNumber(EBevWidth, 1, 100, v)) Shape->SetBevelWidth(v);
  };
  EShadowTransp->OnChange = [this, previous = EShadowTransp->OnChange](TObject* S) {
    if (previous) previous(S);
    int v = 0;
    if (Shape && !LoadingControls && EditNumber(EShadowTransp, 0, 100, v)) Shape->SetTransparency(v);
  };
  Button6->OnClick = [this](TObject*) {
    if (Shape) ShowBrushDialog(this, Shape->Brush());
  };
  OnShow = [this](TObject*) {
    if (TabFormat->PageControl() == PC1) PC1->SetActivePage(TabFormat);
    if (Shape) RefreshControls(Shape);
    TranslateControl(this);
  };
  LoadingControls = false;
}

void TFormGraphShape::EnableBevelWidth() {
  const bool on = CBBevel->ItemIndex() > 0;
  EBevWidth->SetEnabled(on);
  UDBevW->SetEnabled(on);
}

void TFormGraphShape::RefreshControls(TGraphCustomShape* AShape) {
  LoadingControls = true;
  Shape = AShape;
  if (Shape) {
    CBRound->SetChecked(Shape->ShapeStyle() == fosRoundRectangle);
    CBTransparent->SetChecked(Shape->Transparent());
    CBBevel->SetItemIndex(static_cast<int>(Shape->Bevel()));
    UDBevW->SetPosition(Shape->BevelWidth());
    UDShadowTransp->SetPosition(Shape->Transparency());
    GradientEditor->RefreshControls(Shape->Gradient());
    FontEditor->RefreshControls(Shape->Font());
    ShadowEditor->RefreshControls(Shape->Shadow());
    Button4->LinkPen(Shape->Pen());
    BBackColor->LinkProperty(Shape, "Color");
    EnableBevelWidth();
  }
  LoadingControls = false;
}

void TFormGraphShape::CBVisibleChecked(TObject* Sender) {
  if (auto* c = dynamic_cast<TCheckBox*>(Sender); c && Shape) Shape->SetVisible(c->Checked());
}

TFormGraphShape* CreateShapeEditor(TComponent* Owner, TGraphCustomShape* Shape, TTabSheet* Tab) {
  auto* f = new TFormGraphShape(Owner);
  f->Shape = Shape;
  if (Tab) {
    f->SetBorderStyle(bsNone);
    f->SetParent(Tab);
    TranslateControl(f);
    f->SetAlign(alClient);
    f->Show();
  }
  return f;
}

TFormGraphShape* InsertShapeEditor(TPageControl* Pages, TGraphCustomShape* Shape) {
  auto* f = new TFormGraphShape(Pages->Owner());
  f->SetBorderStyle(bsNone);
  f->SetParent(Pages);
  f->SetAlign(alClient);
  // The editor's pages become pages of the host.
  for (TTabSheet* t : {f->TabFormat, f->TabText, f->TabGradient, f->TabShadow}) t->SetPageControl(Pages);
  Pages->SetActivePageIndex(0);
  f->RefreshControls(Shape);
  TranslateControl(f);
  return f;
}

// ---------------------------------------------------------------------------------------------
// TSymbolEditor

TSymbolEditor::TSymbolEditor(TComponent* AOwner) : TForm(AOwner) {
  SetCaption("Legend Symbol Editor");
  SetBounds(0, 0, 300, 170);
  SetAlign(alClient);
  auto* lw = Make<TLabel>(this, this, "LWidth", "&Width:", 8, 12, 60, 16);
  SEColWi = Make<TEdit>(this, this, "SEColWi", "", 80, 8, 40, 22);
  UDColWi = MakeUpDown(this, this, "UDColWi", SEColWi, 0, 100);
  UDColWi->SetIncrement(5);
  lw->SetFocusControl(SEColWi);
  auto* lu = Make<TLabel>(this, this, "LUnits", "Width &Units:", 150, 12, 70, 16);
  CBColWUnits = MakeList(this, this, "CBColWUnits", {"Percent", "Pixels"}, 220, 8, 72);
  lu->SetFocusControl(CBColWUnits);
  auto* lp = Make<TLabel>(this, this, "LPos", "&Position:", 8, 42, 60, 16);
  CBSymbolPos = MakeList(this, this, "CBSymbolPos", {"Left", "Right"}, 80, 38, 80);
  lp->SetFocusControl(CBSymbolPos);
  CBContinuous = Make<TCheckBox>(this, this, "CBContinuous", "&Continuous", 8, 70, 120, 20);
  CBVisible = Make<TCheckBox>(this, this, "CBVisible", "&Visible", 150, 70, 120, 20);
  CBSymPen = Make<TCheckBox>(this, this, "CBSymPen", "&Default border", 8, 94, 120, 20);
  CBSquared = Make<TCheckBox>(this, this, "CBSquared", "&Squared", 150, 94, 120, 20);
  BSymPen = Make<TButtonPen>(this, this, "BSymPen", "&Border...", 8, 124, 100, 25);
  BSymGradient = Make<TButtonGradient>(this, this, "BSymGradient", "&Gradient...", 150, 124, 100, 25);
  SEColWi->OnChange = [this, previous = SEColWi->OnChange](TObject* S) {
    if (previous) previous(S);
    int v = 0;
    if (Symbol && !LoadingControls && EditNumber(SEColWi, 0, 100, v)) Symbol->SetWidth(v);
  };
  CBColWUnits->OnChange = [this](TObject*) {
    if (Symbol && !LoadingControls) Symbol->SetWidthUnits(static_cast<TLegendSymbolSize>(CBColWUnits->ItemIndex()));
  };
  CBSymbolPos->OnChange = [this](TObject*) {
    if (Symbol && !LoadingControls) Symbol->SetPosition(static_cast<TLegendSymbolPosition>(CBSymbolPos->ItemIndex()));
  };
  CBContinuous->OnClick = [this](TObject*) {
    if (Symbol && !LoadingControls) Symbol->SetContinuous(CBContinuous->Checked());
  };
  CBVisible->OnClick = [this](TObject*) {
    if (Symbol && !LoadingControls) Symbol->SetVisible(CBVisible->Checked());
  };
  CBSquared->OnClick = [this](TObject*) {
    if (Symbol && !LoadingControls) Symbol->SetSquared(CBSquared->Checked());
    EnableSymbolWidth();
  };
  CBSymPen->OnClick = [this](TObject*) {
    if (Symbol && !LoadingControls) Symbol->SetDefaultPen(CBSymPen->Checked());
    BSymPen->SetEnabled(!CBSymPen->Checked());
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TSymbolEditor::EnableSymbolWidth() {
  const bool on = !CBSquared->Checked();
  SEColWi->SetEnabled(on);
  UDColWi->SetEnabled(on);
  CBColWUnits->SetEnabled(on);
}

void TSymbolEditor::FormShow() {
  LoadingControls = true;
  Symbol = dynamic_cast<TLegendSymbol*>(EmbeddedObject(this));
  if (Symbol) {
    UDColWi->SetPosition(Symbol->Width());
    CBColWUnits->SetItemIndex(static_cast<int>(Symbol->WidthUnits()));
    CBSymbolPos->SetItemIndex(static_cast<int>(Symbol->Position()));
    CBContinuous->SetChecked(Symbol->Continuous());
    CBSquared->SetChecked(Symbol->Squared());
    CBVisible->SetChecked(Symbol->Visible());
    CBSymPen->SetChecked(Symbol->DefaultPen());
    BSymPen->LinkPen(Symbol->Pen());
    BSymPen->SetEnabled(!Symbol->DefaultPen());
    BSymGradient->LinkGradient(Symbol->Gradient());
    BSymGradient->FixedEndColor = true;
    EnableSymbolWidth();
  }
  LoadingControls = false;
}

// ---------------------------------------------------------------------------------------------
// TSeriesPointerEditor

TSeriesPointerEditor::TSeriesPointerEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 400, 230);
  GPPoint = Make<TGroupBox>(this, this, "GPPoint", "", 4, 4, 210, 180);
  CBDrawPoint = Make<TCheckBox>(this, GPPoint, "CBDrawPoint", "&Visible", 8, 16, 90, 20);
  CB3dPoint = Make<TCheckBox>(this, GPPoint, "CB3dPoint", "&3D", 8, 38, 90, 20);
  CBPoDark = Make<TCheckBox>(this, GPPoint, "CBPoDark", "Dar&k 3D", 8, 60, 90, 20);
  CBInflate = Make<TCheckBox>(this, GPPoint, "CBInflate", "Inflate &Margins", 8, 82, 120, 20);
  LabelWidth = Make<TLabel>(this, GPPoint, "LabelWidth", "&Width:", 100, 21, 44, 16);
  SEPointHorizSize = Make<TEdit>(this, GPPoint, "SEPointHorizSize", "", 152, 18, 34, 22);
  UDPointHorizSize = MakeUpDown(this, GPPoint, "UDPointHorizSize", SEPointHorizSize, 1, 1000);
  LabelWidth->SetFocusControl(SEPointHorizSize);
  LabelHeight = Make<TLabel>(this, GPPoint, "LabelHeight", "&Height:", 100, 47, 44, 16);
  SEPointVertSize = Make<TEdit>(this, GPPoint, "SEPointVertSize", "", 152, 44, 34, 22);
  UDPointVertSize = MakeUpDown(this, GPPoint, "UDPointVertSize", SEPointVertSize, 1, 1000);
  LabelHeight->SetFocusControl(SEPointVertSize);
  auto* ls = Make<TLabel>(this, GPPoint, "LabelStyle", "&Style:", 8, 112, 40, 16);
  CBStyle = MakeList(this, GPPoint, "CBStyle",
                     {"Square", "Circle", "Triangle", "Down Triangle", "Cross", "Diagonal Cross", "Star", "Diamond",
                      "Small Dot", "Nothing", "Left Triangle", "Right Triangle"},
                     50, 108, 150);
  CBStyle->SetStyle(csOwnerDrawFixed);
  CBStyle->SetItemHeight(16);
  CBStyle->SetDropDownCount(12);
  ls->SetFocusControl(CBStyle);
  CBStyle->OnDrawItem = [this](TWinControl*, int Index, TRect Rect, TOwnerDrawState) {
    DrawStyleItem(CBStyle->Canvas(), Index, Rect);
  };
  GroupBox1 = Make<TGroupBox>(this, this, "GroupBox1", "", 220, 4, 150, 110);
  BPointFillColor = Make<TButton>(this, GroupBox1, "BPointFillColor", "&Pattern...", 6, 16, 138, 25);
  CBDefBrushColor = Make<TCheckBox>(this, GroupBox1, "CBDefBrushColor", "&Default", 6, 46, 138, 20);
  BPoinPenCol = Make<TButtonPen>(this, GroupBox1, "BPoinPenCol", "B&order...", 6, 72, 138, 25);
  CBColorEach = Make<TCheckBox>(this, this, "CBColorEach", "&Color Each ", 220, 120, 176, 20);
  BGradient = Make<TButton>(this, this, "BGradient", "&Gradient...", 220, 146, 138, 25);
  PanelBottom = Make<TPanel>(this, this, "PanelBottom", "", 0, 0, 400, 34);
  PanelBottom->SetAlign(alBottom);
  PanelBottom->SetBevelOuter(bvNone);
  PanelBottom->SetVisible(false);
  Button1 = Make<TButton>(this, PanelBottom, "Button1", "Close", 316, 4, 75, 25);
  Button1->SetModalResult(mrOk);
  Button1->SetCancel(true);
  Button1->SetDefault(true);

  CBDrawPoint->OnClick = [this](TObject*) {
    if (!FLoading) SetPointerVisible(CBDrawPoint->Checked());
  };
  CB3dPoint->OnClick = [this](TObject*) {
    if (!Pointer || FLoading) return;
    Pointer->SetDraw3D(CB3dPoint->Checked());
    CBPoDark->SetEnabled(CB3dPoint->Enabled() && CB3dPoint->Checked());
  };
  CBPoDark->OnClick = [this](TObject*) {
    if (Pointer && !FLoading) Pointer->SetDark3D(CBPoDark->Checked());
  };
  CBInflate->OnClick = [this](TObject*) {
    if (Pointer && !FLoading) Pointer->SetInflateMargins(CBInflate->Checked());
  };
  for (TEdit* e : {SEPointHorizSize, SEPointVertSize})
    e->OnChange = [this, e, previous = e->OnChange](TObject* S) {
      if (previous) previous(S);
      int v = 0;
      if (!Pointer || FLoading || !Showing() || !EditNumber(e, 1, 1000, v)) return;  // bad input keeps the size
      if (e == SEPointHorizSize)
        Pointer->SetHorizSize(v);
      else
        Pointer->SetVertSize(v);
    };
  CBStyle->OnChange = [this](TObject*) {
    if (!Pointer || FLoading || CBStyle->ItemIndex() < 0) return;
    Pointer->SetStyle(static_cast<TSeriesPointerStyle>(CBStyle->ItemIndex()));
    Enable3DControls();
  };
  BPointFillColor->OnClick = [this](TObject*) {
    if (!Pointer) return;
    ShowBrushDialog(this, Pointer->Brush());
    RefreshDefaultColor();
    CBStyle->Invalidate();
  };
  BPoinPenCol->OnClick = [this](TObject*) {
    RefreshDefaultColor();
    CBStyle->Invalidate();
  };
  CBColorEach->OnClick = [this](TObject*) {
    if (Series && !FLoading) Series->SetColorEachPoint(CBColorEach->Checked());
  };
  CBDefBrushColor->OnClick = [this](TObject*) {
    if (!FLoading) CBDefBrushColorClick();
  };
  BGradient->OnClick = [this](TObject*) {
    if (Pointer) ShowGradientDialog(this, Pointer->Gradient(), !Pointer->KeepGradientColor, false);
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TSeriesPointerEditor::FormShow() {
  TObject* tagged = EmbeddedObject(this);
  if (!tagged) return;
  FLoading = true;
  if (auto* p = dynamic_cast<TSeriesPointer*>(tagged)) {
    Pointer = p;
    Series = p->OwnerSeries;
    CBColorEach->SetEnabled(false);
    CBColorEach->SetVisible(false);
  } else if (auto* s = dynamic_cast<TCustomSeries*>(tagged)) {
    Series = s;
    Pointer = s->Pointer();
    CBColorEach->SetVisible(true);
    CBColorEach->SetChecked(s->ColorEachPoint());
  }
  if (Pointer) {
    SetPointerVisible(Pointer->Visible());
    CBDrawPoint->SetChecked(Pointer->Visible());
    CB3dPoint->SetChecked(Pointer->Draw3D());
    Enable3DControls();
    UDPointHorizSize->SetPosition(Pointer->HorizSize());
    UDPointVertSize->SetPosition(Pointer->VertSize());
    CBStyle->SetItemIndex(static_cast<int>(Pointer->Style()));
    CBInflate->SetChecked(Pointer->InflateMargins());
    CBPoDark->SetChecked(Pointer->Dark3D());
    RefreshDefaultColor();
    BPoinPenCol->LinkPen(Pointer->Pen());
    if (!Pointer->SizeEditable) HideSizeControls();
  }
  FLoading = false;
  if (EditorDialogHook && PanelBottom->Visible()) EditorDialogHook(this);
}

void TSeriesPointerEditor::SetPointerVisible(bool Visible) {
  if (!Pointer) return;
  Pointer->SetVisible(Visible);
  if (Visible) {
    Enable3DControls();
  } else {
    CB3dPoint->SetEnabled(false);
    CBPoDark->SetEnabled(false);
  }
  for (TControl* c :
       std::initializer_list<TControl*>{CBInflate, SEPointHorizSize, UDPointHorizSize, SEPointVertSize, UDPointVertSize,
                                        BPointFillColor, CBStyle, BPoinPenCol, CBDefBrushColor})
    c->SetEnabled(Visible);
}

void TSeriesPointerEditor::Enable3DControls() {
  if (!Pointer) return;
  TCustomAxisPanel* chart = Series ? Series->ParentChart() : nullptr;
  const TSeriesPointerStyle st = Pointer->Style();
  bool on = false;
  if (chart && chart->View3D()) {
    on = st == psRectangle || st == psTriangle || st == psDownTriangle ||
         (st == psCircle && chart->Canvas && chart->Canvas->SupportsFullRotation());
  }
  CB3dPoint->SetEnabled(on && Pointer->Visible());
  CBPoDark->SetEnabled(CB3dPoint->Enabled() && CB3dPoint->Checked());
}

void TSeriesPointerEditor::HideSizeControls() {
  for (TControl* c : std::initializer_list<TControl*>{LabelWidth, LabelHeight, SEPointHorizSize, UDPointHorizSize,
                                                      SEPointVertSize, UDPointVertSize})
    c->SetVisible(false);
}

void TSeriesPointerEditor::RefreshDefaultColor() {
  if (!Pointer) return;
  const bool was = FLoading;
  FLoading = true;
  CBDefBrushColor->SetChecked(Pointer->Brush()->Color() == clAutoColor && Pointer->Pen()->Color() == clAutoColor);
  FLoading = was;
}

void TSeriesPointerEditor::CBDefBrushColorClick() {
  if (!Pointer) return;
  if (CBDefBrushColor->Checked()) {
    Pointer->Brush()->SetColor(clAutoColor);
    Pointer->Pen()->SetColor(clAutoColor);
  } else if (Pointer->Pen()->Color() == clAutoColor) {
    Pointer->Pen()->SetColor(clBlack);
  }
  BPoinPenCol->Invalidate();
  CBStyle->Invalidate();
}

void TSeriesPointerEditor::DrawStyleItem(TCanvas* Canvas, int Index, const TRect& Rect) {
  Canvas->FillRect(Rect);
  const TColor back = Canvas->Brush()->Color();
  if (Pointer) {
    TColor color = Pointer->Brush()->Color();
    if (color == clAutoColor && Series) color = Series->SeriesColor();
    TGraphCanvas3D c3d;
    c3d.SetCanvas(Canvas);
    const auto style = static_cast<TSeriesPointerStyle>(Index);
    const bool lineStyle = style == psCross || style == psDiagCross || style == psStar || style == psSmallDot;
    const bool hidden = !Pointer->Pen()->Visible();
    Pointer->SetUpCanvas(&c3d, color);
    if (lineStyle && hidden) {
      c3d.Pen->SetStyle(psSolid);
      c3d.Pen->SetWidth(1);
      c3d.Pen->SetColor(color);
    }
    Pointer->DrawPointerShape(&c3d, false, Rect.Left + 6, Rect.Top + 8, 4, 4, color, style);
  }
  Canvas->Brush()->SetColor(back);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->TextOut(Rect.Left + 14, Rect.Top + 2, CBStyle->Items()->Strings(Index));
  Canvas->Brush()->SetStyle(bsSolid);
}

bool ShowPointerDialog(TComponent* Owner, TSeriesPointer* Pointer) {
  std::unique_ptr<TForm> form(CreateEditorDialog([](TComponent* O) { return new TSeriesPointerEditor(O); }, Owner));
  auto* e = static_cast<TSeriesPointerEditor*>(form.get());
  e->SetCaption("Pointer");
  e->SetTag(reinterpret_cast<intptr_t>(static_cast<TObject*>(Pointer)));
  e->CBInflate->SetVisible(false);
  e->CBColorEach->SetVisible(false);
  e->PanelBottom->SetVisible(true);
  TranslateControl(e);
  e->ShowModal();
  return true;
}

TSeriesPointerEditor* InsertPointerEditor(TWinControl* Parent, TObject* PointerOrSeries, const std::string& Caption) {
  // Only the series page hosts pointer tabs.
  auto* page = Parent ? dynamic_cast<TFormGraphSeries*>(Parent->Owner()) : nullptr;
  if (!page) return nullptr;
  return static_cast<TSeriesPointerEditor*>(
      AddSeriesEditorTab(page, TSeriesPointerEditor::StaticClass(), 1, PointerOrSeries, Caption));
}

void RegisterShapeEditorClasses() { RegisterClass(TSeriesPointerEditor::StaticClass()); }
