#include "chart/editor/line_editors.h"

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/gradient_editor.h"
#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/engine_texts.h"
#include "chart/extra/bubble_gantt_series.h"
#include "chart/extra/point_bar_variants.h"
#include "chart/series/fast_line_series.h"
#include "chart/series/financial_series.h"
#include "chart/series/histogram_series.h"
#include "chart/series/line_series.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TCustomSeriesEditor)
VM_DEFINE_CLASS(TFastLineSeriesEditor)
VM_DEFINE_CLASS(TAreaSeriesEditor)
VM_DEFINE_CLASS(THistogramSeriesEditor)
VM_DEFINE_CLASS(TVolumeSeriesEditor)
VM_DEFINE_CLASS(TLinePointEditor)
VM_DEFINE_CLASS(TBubbleSeriesEditor)

using edkit::Make;
using namespace sekit;

namespace {

// The pen dialog as an embedded form: no OK and Cancel of its own.
void EmbedPenDialog(TPenDialog* D, const char* Name) {
  D->SetName(Name);
  D->SetBorderStyle(bsNone);
  D->SetAlign(alClient);
  D->BOk->SetVisible(false);
  D->BCancel->SetVisible(false);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TCustomSeriesEditor

TCustomSeriesEditor::TCustomSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 470, 200);
  // Three columns wide enough for the longest translations of their captions.
  BLineBorder = GraphButton<TButtonPen>(this, this, "BLineBorder", "&Border...", 8, 8, 120);
  BLineColor = GraphButton<TButtonColor>(this, this, "BLineColor", "&Color...", 8, 38, 120);
  CBColorEach = Check(this, this, "CBColorEach", "Color &Each", 8, 68, 180);
  CBStack = List(this, this, "CBStack", "S&tack:", 8, 94, {"None", "Overlap", "Stack", "Stack 100%"}, 60, 110);
  CBClick = Check(this, this, "CBClick", "Clic&kable", 8, 124, 180);
  CheckBox1 = Check(this, this, "CheckBox1", "Color Each line", 8, 148, 180);
  GBStair = Group(this, this, "GBStair", "Line Mode:", 200, 4, 130, 66);
  CBStairs = Check(this, GBStair, "CBStairs", "&Stairs", 8, 18, 115);
  CBInvStairs = Check(this, GBStair, "CBInvStairs", "&Inverted", 8, 40, 115);
  CBDark3D = Check(this, this, "CBDark3D", "&Dark 3D", 200, 76, 130);
  Height = IntField(this, this, "EHeight", "UDHeight", "LHeight", "&Height 3D:", 200, 100, {}, [this](int V) {
    if (Custom() && CanWrite(this)) Custom()->SetLineHeight(V);
  });
  BOutline = GraphButton<TButtonPen>(this, this, "BOutline", "&Outline...", 350, 8, 110);
  BBrush = Button(this, this, "BBrush", "&Pattern...", 350, 38, 110);
  Button1 = Button(this, this, "Button1", "S&hadow...", 350, 68, 110);

  BLineBorder->OnClick = [this](TObject*) { BLineBorderClick(); };
  BLineColor->OnClick = [this](TObject*) { BLineBorder->Invalidate(); };
  CBColorEach->OnClick = [this](TObject*) {
    if (Series) Series->SetColorEachPoint(CBColorEach->Checked());
  };
  CBStack->OnChange = [this](TObject*) {
    if (Custom() && CBStack->ItemIndex() >= 0)
      Custom()->SetStacked(static_cast<TCustomSeriesStack>(CBStack->ItemIndex()));
  };
  CBClick->OnClick = [this](TObject*) {
    if (Custom()) Custom()->SetClickableLine(CBClick->Checked());
  };
  CheckBox1->OnClick = [this](TObject*) {
    if (Custom()) Custom()->SetColorEachLine(CheckBox1->Checked());
  };
  CBStairs->OnClick = [this](TObject*) {
    if (Custom()) Custom()->SetStairs(CBStairs->Checked());
    CBInvStairs->SetEnabled(CBStairs->Checked());
  };
  CBInvStairs->OnClick = [this](TObject*) {
    if (Custom()) Custom()->SetInvertedStairs(CBInvStairs->Checked());
  };
  CBDark3D->OnClick = [this](TObject*) {
    if (Custom()) Custom()->SetDark3D(CBDark3D->Checked());
  };
  BBrush->OnClick = [this](TObject*) {
    if (Series) ShowBrushDialog(this, Series->Brush());
  };
  Button1->OnClick = [this](TObject*) { Button1Click(); };
  OnShow = [this](TObject*) { FormShow(); };
}

void TCustomSeriesEditor::Button1Click() {
  TCustomSeries* cs = Custom();
  if (!cs) return;
  // The series' shadow is a plain offset copy in one colour: no smoothing, no see-through.
  std::unique_ptr<TForm> form(CreateEditorDialog([this](TComponent*) { return new TGraphShadowEditor(this); }, this));
  auto* e = static_cast<TGraphShadowEditor*>(form.get());
  e->RefreshControls(cs->Shadow());
  e->CBSmooth->SetVisible(false);
  e->EShadowTransp->SetVisible(false);
  e->UDShadowTransp->SetVisible(false);
  if (auto* l = dynamic_cast<TControl*>(e->FindComponent("LTransp"))) l->SetVisible(false);
  e->BOK->SetVisible(true);
  e->ShowModal();
}

TCustomSeries* TCustomSeriesEditor::Custom() const { return dynamic_cast<TCustomSeries*>(Series); }

void TCustomSeriesEditor::BLineBorderClick() {
  if (!Series) return;
  TCustomAxisPanel* chart = Series->ParentChart();
  if (!chart || !chart->View3D()) Series->SetSeriesColor(BLineBorder->Pen()->Color());
  BLineColor->Repaint();
}

void TCustomSeriesEditor::FormShow() {
  Series = Tagged<TChartSeries>(this);
  if (!Series) return;
  TCustomSeries* cs = Custom();
  CBColorEach->SetChecked(Series->ColorEachPoint());
  BLineBorder->LinkPen(Series->Pen());
  for (TControl* c : std::initializer_list<TControl*>{CBStack, CBClick, CheckBox1, Button1})
    c->SetEnabled(cs != nullptr);
  if (cs) {
    CBStack->SetItemIndex(static_cast<int>(cs->Stacked()));
    CBClick->SetChecked(cs->ClickableLine());
    CheckBox1->SetChecked(cs->ColorEachLine());
  }
  if (auto* line = dynamic_cast<TLineSeries*>(Series)) {
    CBStairs->SetChecked(line->Stairs());
    CBInvStairs->SetChecked(line->InvertedStairs());
    CBInvStairs->SetEnabled(line->Stairs());
    CBDark3D->SetChecked(line->Dark3D());
    Height.Set(line->LineHeight());
    BOutline->LinkPen(line->OutLine());
  } else {
    for (TControl* c : std::initializer_list<TControl*>{BBrush, BOutline, GBStair, CBDark3D}) c->SetVisible(false);
    Height.SetVisible(false);
  }
  BLineColor->LinkProperty(Series, "SeriesColor");
  if (Parent() && cs) InsertTabOnce(PointerForm, this, 1, cs->Pointer(), MsgGalleryPoint);
}

// ---------------------------------------------------------------------------------------------
// TFastLineSeriesEditor

TFastLineSeriesEditor::TFastLineSeriesEditor(TComponent* AOwner) : TPenDialog(AOwner) {
  EmbedPenDialog(this, "FastLineSeriesEditor");
  CBDrawAll = Check(this, this, "CBDrawAll", "Draw &All", 8, 100, 110);
  CBStairs = Check(this, this, "CBStairs", "&Stairs", 130, 100, 110);
  CBInvStairs = Check(this, this, "CBInvStairs", "&Inverted", 130, 122, 110);
  CBNulls = Check(this, this, "CBNulls", "&Ignore Nulls", 8, 122, 110);
  CBNulls->SetChecked(true);
  CBDrawAll->OnClick = [this](TObject*) {
    if (Series) Series->SetDrawAllPoints(CBDrawAll->Checked());
  };
  CBStairs->OnClick = [this](TObject*) {
    if (Series) Series->SetStairs(CBStairs->Checked());
    CBInvStairs->SetEnabled(CBStairs->Checked());
  };
  CBInvStairs->OnClick = [this](TObject*) {
    if (Series) Series->SetInvertedStairs(CBInvStairs->Checked());
  };
  CBNulls->OnClick = [this](TObject*) {
    if (Series) Series->SetIgnoreNulls(CBNulls->Checked());
  };
  BColor->OnClick = [this](TObject*) {
    BColorClick();
    if (Series && EditedPen) Series->SetSeriesColor(EditedPen->Color());
    CBStyle->Invalidate();
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TFastLineSeriesEditor::FormShow() {
  Series = Tagged<TFastLineSeries>(this);
  if (Series) {
    EditedPen = Series->LinePen();
    CBDrawAll->SetChecked(Series->DrawAllPoints());
    CBStairs->SetChecked(Series->Stairs());
    CBInvStairs->SetChecked(Series->InvertedStairs());
    CBInvStairs->SetEnabled(Series->Stairs());
    CBNulls->SetChecked(Series->IgnoreNulls());
  }
  TPenDialog::FormShow();
}

// ---------------------------------------------------------------------------------------------
// TAreaSeriesEditor

TAreaSeriesEditor::TAreaSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 560, 200);
  // Three columns wide enough for the longest translations of their captions.
  RGMultiArea =
      Radio(this, this, "RGMultiArea", "&Multiple Areas:", 8, 4, 180, 84, {"None", "Stacked", "Stacked 100%"});
  auto* color = Group(this, this, "GBColor", "Color:", 8, 92, 180, 74);
  CBColorEach = Check(this, color, "CBColorEach", "Color &Each", 8, 18, 168);
  BAreaColor = GraphButton<TButtonColor>(this, color, "BAreaColor", "&Color...", 8, 42, 110);
  auto* area = Group(this, this, "GBArea", "Area:", 200, 4, 150, 66);
  CBStairs = Check(this, area, "CBStairs", "&Stairs", 8, 18, 130);
  CBInvStairs = Check(this, area, "CBInvStairs", "Inverted", 8, 40, 130);
  BAreaLinesPen = GraphButton<TButtonPen>(this, this, "BAreaLinesPen", "Area &Lines...", 200, 76, 150);
  BAreaLinePen = GraphButton<TButtonPen>(this, this, "BAreaLinePen", "&Border...", 200, 106, 150);
  BPattern = Button(this, this, "BPattern", "&Pattern...", 200, 136, 150);
  Button1 = Button(this, this, "Button1", "&Top...", 200, 166, 150);
  CBUseOrigin = Check(this, this, "CBUseOrigin", "&Use Origin", 362, 8, 170);
  Origin = IntField(
      this, this, "EOrigin", "UDOrigin", "LOrigin", "&Origin:", 362, 32, {-30000, 30000},
      [this](int V) {
        if (Series && CanWrite(this, FLoading)) Series->SetYOrigin(V);
      },
      110, 56);
  Transp = IntField(
      this, this, "ETransp", "UDTransp", "LTransp", "Tra&nsparency:", 362, 62, {},
      [this](int V) {
        if (Series && CanWrite(this)) Series->SetTransparencyValue(V);
      },
      110, 40);

  RGMultiArea->OnClick = [this](TObject*) {
    if (Series && RGMultiArea->ItemIndex() >= 0)
      Series->SetMultiArea(static_cast<TMultiArea>(RGMultiArea->ItemIndex()));
  };
  CBColorEach->OnClick = [this](TObject*) {
    if (Series) Series->SetColorEachPoint(CBColorEach->Checked());
    ApplyColorEach(BAreaColor, CBColorEach->Checked());
  };
  BAreaColor->GetColorProc = [this]() -> TColor {
    if (!Series) return clNone;
    return Series->AreaColor() == clAutoColor ? Series->SeriesColor() : Series->AreaColor();
  };
  CBStairs->OnClick = [this](TObject*) {
    if (Series) Series->SetStairs(CBStairs->Checked());
    CBInvStairs->SetEnabled(CBStairs->Checked());
  };
  CBInvStairs->OnClick = [this](TObject*) {
    if (Series) Series->SetInvertedStairs(CBInvStairs->Checked());
  };
  BPattern->OnClick = [this](TObject*) {
    if (Series) ShowBrushDialog(this, Series->AreaChartBrush());
  };
  Button1->OnClick = [this](TObject*) {
    if (Series) ShowBrushDialog(this, Series->Brush());
  };
  CBUseOrigin->OnClick = [this](TObject*) {
    if (Series) Series->SetUseYOrigin(CBUseOrigin->Checked());
    EnableOrigin();
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TAreaSeriesEditor::EnableOrigin() {
  Origin.Edit->SetEnabled(CBUseOrigin->Checked());
  Origin.UpDown->SetEnabled(CBUseOrigin->Checked());
}

void TAreaSeriesEditor::FormShow() {
  Series = Tagged<TAreaSeries>(this);
  if (!Series) return;
  edkit::TFlagGuard loading(FLoading);
  RGMultiArea->SetItemIndex(static_cast<int>(Series->MultiArea()));
  CBColorEach->SetChecked(Series->ColorEachPoint());
  ApplyColorEach(BAreaColor, Series->ColorEachPoint());
  BAreaColor->LinkProperty(Series, "SeriesColor");
  CBStairs->SetChecked(Series->Stairs());
  CBInvStairs->SetChecked(Series->InvertedStairs());
  CBInvStairs->SetEnabled(Series->Stairs());
  BAreaLinesPen->LinkPen(Series->AreaLinesPen());
  BAreaLinePen->LinkPen(Series->LinePen());
  CBUseOrigin->SetChecked(Series->UseYOrigin());
  Origin.Set(RoundToField(Series->YOrigin()));
  EnableOrigin();
  Transp.Set(Series->Transparency());
  InsertTabOnce(PointerForm, this, 1, Series->Pointer(), MsgGalleryPoint);
  if (!GradientForm && Parent()) {
    // The area edits its fill's gradient in a tab of its own: no OK and Cancel there.
    if (InsertTabOnce(GradientForm, this, 2, Series->Gradient(), MsgStyleGradient))
      GradientForm->PanelBottom->SetVisible(false);
  }
}

// ---------------------------------------------------------------------------------------------
// THistogramSeriesEditor

THistogramSeriesEditor::THistogramSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 320, 160);
  auto* color = Group(this, this, "GBColor", "Color:", 8, 4, 120, 74);
  CBColorEach = Check(this, color, "CBColorEach", "Color &Each", 8, 18, 105);
  BAreaColor = GraphButton<TButtonColor>(this, color, "BAreaColor", "&Color...", 8, 42, 100);
  BAreaLinesPen = GraphButton<TButtonPen>(this, this, "BAreaLinesPen", "&Lines...", 140, 8);
  BAreaLinePen = GraphButton<TButtonPen>(this, this, "BAreaLinePen", "&Border...", 140, 38);
  Button1 = Button(this, this, "Button1", "&Pattern...", 140, 68);
  Transp = IntField(this, this, "Edit1", "UDTransp", "LTransp", "&Transparency:", 8, 100, {0, 100, 5}, [this](int V) {
    if (Series && CanWrite(this, Loading)) Series->SetTransparency(V);
  });
  CBColorEach->OnClick = [this](TObject*) {
    if (Series) Series->SetColorEachPoint(CBColorEach->Checked());
    ApplyColorEach(BAreaColor, CBColorEach->Checked());
  };
  Button1->OnClick = [this](TObject*) {
    if (Series) ShowBrushDialog(this, Series->Brush());
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void THistogramSeriesEditor::FormShow() {
  Series = Tagged<THistogramSeries>(this);
  if (Series) {
    CBColorEach->SetChecked(Series->ColorEachPoint());
    ApplyColorEach(BAreaColor, Series->ColorEachPoint());
    BAreaColor->LinkProperty(Series, "SeriesColor");
    BAreaLinesPen->LinkPen(Series->LinesPen());
    BAreaLinePen->LinkPen(Series->Pen());
    Transp.Set(Series->Transparency());
  }
  Loading = false;
}

// ---------------------------------------------------------------------------------------------
// TVolumeSeriesEditor

TVolumeSeriesEditor::TVolumeSeriesEditor(TComponent* AOwner) : TPenDialog(AOwner) {
  EmbedPenDialog(this, "VolumeSeriesEditor");
  CBColorEach = Check(this, this, "CBColorEach", "Color &Each", 8, 100, 110);
  CBUseOrigin = Check(this, this, "CBUseOrigin", "&Use Origin", 130, 100, 110);
  LOrigin = Make<TLabel>(this, this, "LOrigin", "&Origin:", 130, 126, 50, 16);
  EOrigin = Make<TEdit>(this, this, "EOrigin", "", 180, 122, 60, 22);
  EOrigin->SetEnabled(false);
  LOrigin->SetFocusControl(EOrigin);
  CBColorEach->OnClick = [this](TObject*) {
    if (Series) Series->SetColorEachPoint(CBColorEach->Checked());
    ApplyColorEach(BColor, CBColorEach->Checked());
  };
  CBUseOrigin->OnClick = [this](TObject*) {
    if (Series) Series->SetUseYOrigin(CBUseOrigin->Checked());
    EOrigin->SetEnabled(CBUseOrigin->Checked());
  };
  EOrigin->OnChange = [this](TObject*) {
    if (Series && CanWrite(this, FLoading)) Series->SetYOrigin(EditFloatDef(EOrigin, Series->YOrigin()));
  };
  BColor->OnClick = [this](TObject*) {
    BColorClick();
    if (Series && EditedPen) Series->SetSeriesColor(EditedPen->Color());
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TVolumeSeriesEditor::FormShow() {
  Series = Tagged<TVolumeSeries>(this);
  if (Series) EditedPen = Series->LinePen();
  TPenDialog::FormShow();
  if (!Series) return;
  BColor->SetEnabled(!Series->ColorEachPoint());
  CBColorEach->SetChecked(Series->ColorEachPoint());
  CBUseOrigin->SetChecked(Series->UseYOrigin());
  edkit::TFlagGuard loading(FLoading);
  EOrigin->SetText(FloatToStr(Series->YOrigin()));
  EOrigin->SetEnabled(Series->UseYOrigin());
}

// ---------------------------------------------------------------------------------------------
// TLinePointEditor and TBubbleSeriesEditor

TLinePointEditor::TLinePointEditor(TComponent* AOwner) : TSeriesPointerEditor(AOwner) {
  BLines = GraphButton<TButtonPen>(this, this, "BLines", "&Lines...", 220, 180, 94);
  OnShow = [this](TObject*) { LinePointShow(); };
}

void TLinePointEditor::LinePointShow() {
  FormShow();
  if (auto* s = Tagged<TMyPointSeries>(this)) BLines->LinkPen(s->LinesPen());
}

TBubbleSeriesEditor::TBubbleSeriesEditor(TComponent* AOwner) : TSeriesPointerEditor(AOwner) {
  Transp = IntField(this, this, "Edit1", "UDTransp", "LTransp", "&Transparency:", 8, 190, {0, 100, 5}, [this](int V) {
    if (auto* s = dynamic_cast<TCustomSeries*>(Series); s && CanWrite(this)) s->SetTransparencyValue(V);
  });
  OnShow = [this](TObject*) { BubbleShow(); };
}

void TBubbleSeriesEditor::BubbleShow() {
  FormShow();
  if (Pointer)
    if (auto* s = dynamic_cast<TCustomSeries*>(Pointer->OwnerSeries)) Transp.Set(s->Transparency());
  CBDrawPoint->SetVisible(false);
}

void RegisterLineEditorForms() {
  RegisterClasses({TCustomSeriesEditor::StaticClass(), TFastLineSeriesEditor::StaticClass(),
                   TAreaSeriesEditor::StaticClass(), THistogramSeriesEditor::StaticClass(),
                   TVolumeSeriesEditor::StaticClass(), TLinePointEditor::StaticClass(),
                   TBubbleSeriesEditor::StaticClass()});
}
