#include "chart/editor/other_series_editors.h"

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/palette_editors.h"
#include "chart/editor/series_page.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/engine_texts.h"
#include "chart/extra/box_plot_series.h"
#include "chart/extra/funnel_series.h"
#include "chart/extra/pen_dialog.h"
#include "chart/extra/pyramid_pipe_series.h"
#include "chart/extra/smith_series.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TFunnelSeriesEditor)
VM_DEFINE_CLASS(TPyramidSeriesEditor)
VM_DEFINE_CLASS(TSmithSeriesEdit)
VM_DEFINE_CLASS(TVolumePipeSeriesEditor)
VM_DEFINE_CLASS(TBoxSeriesEditor)

using sekit::Button;
using sekit::Check;
using sekit::GraphButton;

// ---------------------------------------------------------------------------------------------
// TFunnelSeriesEditor

TFunnelSeriesEditor::TFunnelSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 330, 140);
  SetAlign(alClient);
  ButtonPen1 = GraphButton<TButtonPen>(this, this, "ButtonPen1", "&Lines...", 8, 8);
  ButtonPen2 = GraphButton<TButtonPen>(this, this, "ButtonPen2", "&Border...", 8, 40);
  Button1 = Button(this, this, "Button1", "&Pattern...", 8, 72);
  AboveColor = GraphButton<TButtonColor>(this, this, "AboveColor", "&Above...", 120, 8);
  WithinColor = GraphButton<TButtonColor>(this, this, "WithinColor", "&Within...", 120, 40);
  BelowColor = GraphButton<TButtonColor>(this, this, "BelowColor", "B&elow...", 120, 72);
  DifLimit = sekit::IntField(this, this, "Edit1", "DifLimit", "", "&Dif. Limit:", 8, 106, {1, 50}, [this](int V) {
    if (Funnel && sekit::CanWrite(this, FLoading)) Funnel->SetDifferenceLimit(V);
  });
  Button1->OnClick = [this](TObject*) {
    if (Funnel) ShowBrushDialog(this, Funnel->Brush());
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TFunnelSeriesEditor::FormShow() {
  auto* s = sekit::Tagged<TFunnelSeries>(this);
  if (!s) return;
  Funnel = s;
  edkit::TFlagGuard g(FLoading);
  ButtonPen1->LinkPen(s->LinesPen());
  ButtonPen2->LinkPen(s->Pen());
  AboveColor->LinkProperty(s, "AboveColor");
  WithinColor->LinkProperty(s, "WithinColor");
  BelowColor->LinkProperty(s, "BelowColor");
  DifLimit.Set(sekit::RoundToField(s->DifferenceLimit()));
}

// ---------------------------------------------------------------------------------------------
// TPyramidSeriesEditor

TPyramidSeriesEditor::TPyramidSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 300, 130);
  SetAlign(alClient);
  BPen = GraphButton<TButtonPen>(this, this, "BPen", "&Border...", 8, 8);
  Button1 = Button(this, this, "Button1", "&Pattern...", 8, 40);
  CBColorEach = Check(this, this, "CBColorEach", "Color &Each", 120, 10, 180);
  BColor = GraphButton<TButtonColor>(this, this, "BColor", "&Color...", 120, 40);
  Size = sekit::IntField(this, this, "Edit1", "UDSize", "", "&Size %:", 8, 76, {0, 100, 5}, [this](int V) {
    if (Pyramid && sekit::CanWrite(this, FLoading)) Pyramid->SetSizePercent(V);
  });
  Button1->OnClick = [this](TObject*) {
    if (Pyramid) ShowBrushDialog(this, Pyramid->Brush());
  };
  CBColorEach->OnClick = [this](TObject*) {
    if (!Pyramid || FLoading) return;
    Pyramid->SetColorEachPoint(CBColorEach->Checked());
    sekit::ApplyColorEach(BColor, Pyramid->ColorEachPoint());
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TPyramidSeriesEditor::FormShow() {
  auto* s = sekit::Tagged<TPyramidSeries>(this);
  if (!s) return;
  Pyramid = s;
  edkit::TFlagGuard g(FLoading);
  BPen->LinkPen(s->Pen());
  CBColorEach->SetChecked(s->ColorEachPoint());
  BColor->LinkProperty(s, "SeriesColor");
  sekit::ApplyColorEach(BColor, s->ColorEachPoint());
  Size.Set(s->SizePercent());
}

// ---------------------------------------------------------------------------------------------
// TSmithSeriesEdit

TSmithSeriesEdit::TSmithSeriesEdit(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 340, 170);
  SetAlign(alClient);
  CBC = Check(this, this, "CBC", "&C Labels", 8, 10, 100);
  BCPen = GraphButton<TButtonPen>(this, this, "BCPen", "C &Pen...", 116, 8);
  BCFont = Button(this, this, "BCFont", "&Font...", 224, 8);
  CBR = Check(this, this, "CBR", "&R Labels", 8, 42, 100);
  BRPen = GraphButton<TButtonPen>(this, this, "BRPen", "R P&en...", 116, 40);
  BRFont = Button(this, this, "BRFont", "Fo&nt...", 224, 40);
  BCircle = GraphButton<TButtonPen>(this, this, "BCircle", "&Circle...", 8, 74);
  BBorder = GraphButton<TButtonPen>(this, this, "BBorder", "&Border...", 116, 74);
  CBColorEach = Check(this, this, "CBColorEach", "C&olor Each", 224, 76, 110);
  EImag = edkit::Make<TEdit>(this, this, "EImag", "", 140, 110, 60, 22);
  edkit::Make<TLabel>(this, this, "LImag", "&Imag. Symbol:", 8, 113, 130, 16)->SetFocusControl(EImag);
  CBC->OnClick = [this](TObject*) {
    if (Smith && !FLoading) Smith->SetCLabels(CBC->Checked());
  };
  CBR->OnClick = [this](TObject*) {
    if (Smith && !FLoading) Smith->SetRLabels(CBR->Checked());
  };
  CBColorEach->OnClick = [this](TObject*) {
    if (Smith && !FLoading) Smith->SetColorEachPoint(CBColorEach->Checked());
  };
  BCFont->OnClick = [this](TObject*) {
    if (Smith) ShowFontDialog(this, Smith->CLabelsFont());
  };
  BRFont->OnClick = [this](TObject*) {
    if (Smith) ShowFontDialog(this, Smith->RLabelsFont());
  };
  EImag->OnChange = [this](TObject*) {
    if (Smith && !FLoading) Smith->SetImagSymbol(EImag->Text());
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TSmithSeriesEdit::FormShow() {
  auto* s = sekit::Tagged<TSmithSeries>(this);
  if (!s) return;
  Smith = s;
  {
    edkit::TFlagGuard g(FLoading);
    CBC->SetChecked(s->CLabels());
    CBR->SetChecked(s->RLabels());
    BCPen->LinkPen(s->CCirclePen());
    BRPen->LinkPen(s->RCirclePen());
    BCircle->LinkPen(s->CirclePen());
    BBorder->LinkPen(s->Pen());
    CBColorEach->SetChecked(s->ColorEachPoint());
    EImag->SetText(s->ImagSymbol());
  }
  sekit::InsertTabOnce(CircledForm, this, FindEditorClass("TCircledSeriesEditor"), 1, s, MsgStyleCircled);
}

// ---------------------------------------------------------------------------------------------
// TVolumePipeSeriesEditor

TVolumePipeSeriesEditor::TVolumePipeSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 330, 150);
  SetAlign(alClient);
  ButtonPen1 = GraphButton<TButtonPen>(this, this, "ButtonPen1", "&Border...", 8, 8);
  ButtonPen2 = GraphButton<TButtonPen>(this, this, "ButtonPen2", "&Lines...", 8, 40);
  Button1 = Button(this, this, "Button1", "&Pattern...", 8, 72);
  CheckBox1 = Check(this, this, "CheckBox1", "&Brush Back Clear", 120, 74, 170);
  Cone = sekit::IntField(this, this, "Edit2", "UpDown1", "", "Cone percent:", 120, 8, {0, 100, 5}, nullptr);
  CheckGradient = Check(this, this, "CheckGradient", "&Gradient", 120, 42, 100);
  CBDirection =
      sekit::List(this, this, "CBDirection", "Gradient &Direction:", 8, 108, {"Top Bottom", "Left Right"}, 120, 120);
  // A text that is no whole number is refused with the platform's conversion error.
  Cone.Edit->OnChange = [this, previous = Cone.Edit->OnChange](TObject* Sender) {
    if (previous) previous(Sender);
    if (!Pipe || FLoading) return;
    const int v = StrToInt(Trim(Cone.Edit->Text()));
    if (v >= Cone.UpDown->Min() && v <= Cone.UpDown->Max()) Pipe->SetConePercent(v);
  };
  Button1->OnClick = [this](TObject*) {
    if (!Pipe) return;
    ShowBrushDialog(this, Pipe->Brush());
    if (CheckBox1->Checked()) Pipe->Brush()->SetColor(clNone);
  };
  CheckBox1->OnClick = [this](TObject*) {
    if (Pipe && !FLoading && CheckBox1->Checked()) Pipe->Brush()->SetColor(clNone);
  };
  CheckGradient->OnClick = [this](TObject*) {
    if (Pipe && !FLoading) Pipe->Gradient()->SetVisible(CheckGradient->Checked());
  };
  CBDirection->OnChange = [this](TObject*) {
    if (!Pipe || FLoading || CBDirection->ItemIndex() < 0) return;
    Pipe->Gradient()->SetDirection(CBDirection->ItemIndex() == 0 ? gdTopBottom : gdRightLeft);
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TVolumePipeSeriesEditor::FormShow() {
  auto* s = sekit::Tagged<TVolumePipeSeries>(this);
  if (!s) return;
  Pipe = s;
  edkit::TFlagGuard g(FLoading);
  Cone.Edit->SetText(IntToStr(s->ConePercent()));
  ButtonPen1->LinkPen(s->Pen());
  ButtonPen2->LinkPen(s->LinesPen());
  CheckGradient->SetChecked(s->Gradient()->Visible());
  CBDirection->SetItemIndex(s->Gradient()->Direction() == gdTopBottom ? 0 : 1);
}

// ---------------------------------------------------------------------------------------------
// TBoxSeriesEditor

TBoxSeriesEditor::TBoxSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 300, 110);
  SetAlign(alClient);
  BMedian = GraphButton<TButtonPen>(this, this, "BMedian", "&Median...", 8, 8);
  BWhisker = GraphButton<TButtonPen>(this, this, "BWhisker", "&Whisker...", 8, 40);
  ELength = edkit::Make<TEdit>(this, this, "ELength", "", 190, 8, 80, 22);
  edkit::Make<TLabel>(this, this, "LLength", "&Length:", 120, 11, 70, 16)->SetFocusControl(ELength);
  EPos = edkit::Make<TEdit>(this, this, "EPos", "", 190, 40, 80, 22);
  edkit::Make<TLabel>(this, this, "LPos", "&Position:", 120, 43, 70, 16)->SetFocusControl(EPos);
  // Only typed numbers are written; an empty text is ignored, any other raises the conversion error.
  ELength->OnChange = [this](TObject*) {
    if (Box && sekit::CanWrite(this, FLoading) && !ELength->Text().empty())
      Box->SetWhiskerLength(sekit::EditFloat(ELength));
  };
  EPos->OnChange = [this](TObject*) {
    if (Box && sekit::CanWrite(this, FLoading) && !EPos->Text().empty()) Box->SetPosition(sekit::EditFloat(EPos));
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TBoxSeriesEditor::FormShow() {
  auto* s = sekit::Tagged<TCustomBoxSeries>(this);
  if (!s) return;
  Box = s;
  {
    edkit::TFlagGuard g(FLoading);
    BMedian->LinkPen(s->MedianPen());
    BWhisker->LinkPen(s->WhiskerPen());
    ELength->SetText(FloatToStr(s->WhiskerLength()));
    EPos->SetText(FloatToStr(s->Position()));
  }
  if (!Parent()) return;
  ShowPointerTab(BoxForm, this, s->Pointer(), MsgValueBox);
  ShowPointerTab(ExtrOutForm, this, s->ExtrOut(), MsgValueExtrOut);
  ShowPointerTab(MildOutForm, this, s->MildOut(), MsgValueMildOut);
}

void RegisterOtherSeriesEditorForms() {
  for (TComponentClass c :
       {TFunnelSeriesEditor::StaticClass(), TPyramidSeriesEditor::StaticClass(), TSmithSeriesEdit::StaticClass(),
        TVolumePipeSeriesEditor::StaticClass(), TBoxSeriesEditor::StaticClass()})
    RegisterClass(c);
}
