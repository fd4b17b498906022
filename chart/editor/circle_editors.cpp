#include "chart/editor/circle_editors.h"

#include <memory>

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/chart_pages.h"
#include "chart/editor/gradient_editor.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/legend.h"
#include "chart/extra/pen_dialog.h"
#include "chart/extra/windrose_clock_series.h"
#include "chart/series/pie_series.h"
#include "chart/series/polar_series.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TCircledSeriesEditor)
VM_DEFINE_CLASS(TPieSeriesEditor)
VM_DEFINE_CLASS(TDonutSeriesEditor)
VM_DEFINE_CLASS(TPolarSeriesEditor)
VM_DEFINE_CLASS(TClockEditor)
VM_DEFINE_CLASS(TWindRoseEditor)

using edkit::Make;
using namespace sekit;

// ---------------------------------------------------------------------------------------------
// TCircledSeriesEditor

TCircledSeriesEditor::TCircledSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 400, 190);
  CBCircled = Check(this, this, "CBCircled", "&Circled", 8, 8, 120);
  CB3D = Check(this, this, "CB3D", "&3 Dimensions", 8, 32, 120);
  Rotation = IntField(this, this, "Edit1", "UDRot", "LRotation", "&Rotation:", 8, 60, {0, 360, 5, true}, [this](int V) {
    if (Series && CanWrite(this, Loading)) Series->SetRotationAngle(V);
  });
  GBRadius = Group(this, this, "GBRadius", "Radius:", 8, 90, 244, 80);
  XRadius = IntField(
      this, GBRadius, "Edit2", "UDX", "LHorizontal", "&Horizontal:", 8, 18, {0, 2000, 5},
      [this](int V) {
        if (!Series || !CanWrite(this, Loading)) return;
        Series->SetCustomXRadius(V);
        CBAutoXR->SetChecked(V == 0);
      },
      100);
  CBAutoXR = Check(this, GBRadius, "CBAutoXR", "&Auto", 172, 20, 60);
  YRadius = IntField(
      this, GBRadius, "Edit3", "UDY", "LVertical", "&Vertical:", 8, 48, {0, 2000, 5},
      [this](int V) {
        if (!Series || !CanWrite(this, Loading)) return;
        Series->SetCustomYRadius(V);
        CBAutoYR->SetChecked(V == 0);
      },
      100);
  CBAutoYR = Check(this, GBRadius, "CBAutoYR", "A&uto", 172, 50, 60);
  CBAutoXR->SetChecked(true);
  CBAutoYR->SetChecked(true);
  BBack = GraphButton<TButtonColor>(this, this, "BBack", "C&olor...", 260, 8);
  CBTransp = Check(this, this, "CBTransp", "&Transparent", 260, 38, 120);
  BGradient = GraphButton<TButtonGradient>(this, this, "BGradient", "&Gradient...", 260, 62);

  CBCircled->OnClick = [this](TObject*) {
    if (Series && !Loading) Series->SetCircled(CBCircled->Checked());
  };
  CB3D->OnClick = [this](TObject*) {
    if (Series && !Loading && Series->ParentChart()) Series->ParentChart()->SetView3D(CB3D->Checked());
  };
  CBAutoXR->OnClick = [this](TObject*) {
    if (CBAutoXR->Checked()) XRadius.Set(0);
  };
  CBAutoYR->OnClick = [this](TObject*) {
    if (CBAutoYR->Checked()) YRadius.Set(0);
  };
  BBack->OnClick = [this](TObject*) {
    CBTransp->SetChecked(false);
    CBTransp->SetEnabled(true);
  };
  CBTransp->OnClick = [this](TObject*) { CBTranspClick(); };
  BGradient->OnClick = [this](TObject*) {
    if (Series && Series->CircleGradient()->Visible()) {
      CBTransp->SetChecked(false);
      CBTransp->SetEnabled(true);
    }
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TCircledSeriesEditor::CBTranspClick() {
  if (Loading) return;
  if (Series && CBTransp->Checked()) {
    Series->SetCircleBackColor(clAutoColor);
    Series->CircleGradient()->SetVisible(false);
    BBack->Repaint();
  }
  CBTransp->SetEnabled(!CBTransp->Checked());
}

void TCircledSeriesEditor::FormShow() {
  edkit::TFlagGuard loading(Loading);
  Series = Tagged<TCircledSeries>(this);
  if (!Series) return;
  CBCircled->SetChecked(Series->Circled());
  CB3D->SetChecked(Series->ParentChart() && Series->ParentChart()->View3D());
  Rotation.Set(Series->RotationAngle());
  XRadius.Set(Series->CustomXRadius());
  CBAutoXR->SetChecked(Series->CustomXRadius() == 0);
  YRadius.Set(Series->CustomYRadius());
  CBAutoYR->SetChecked(Series->CustomYRadius() == 0);
  CBTransp->SetChecked(!Series->HasCircleBackColor());
  CBTransp->SetEnabled(!CBTransp->Checked());
  BBack->LinkProperty(Series, "CircleBackColor");
  BGradient->LinkGradient(Series->CircleGradient());
}

// ---------------------------------------------------------------------------------------------
// TPieSeriesEditor

TPieSeriesEditor::TPieSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 420, 220);
  PageControl1 = Make<TPageControl>(this, this, "PageControl1", "", 0, 0, 420, 220);
  PageControl1->SetAlign(alClient);
  TabOptions = edkit::Tab(this, PageControl1, "TabOptions", "Options");
  TabGroup = edkit::Tab(this, PageControl1, "TabGroup", "Group Slices");
  TabSheet1 = edkit::Tab(this, PageControl1, "TabSheet1", "Colors");
  TTabSheet* o = TabOptions;
  ExplodeBiggest = IntField(
      this, o, "SEExpBig", "UDExpBig", "LExpBig", "&Explode biggest:", 8, 8, {0, 100, 5},
      [this](int V) {
        if (Series && CanWrite(this)) Series->SetExplodeBiggest(V);
      },
      150);
  AngleSize = IntField(
      this, o, "Edit1", "UDAngleSize", "LAngleSize", "Total angle:", 8, 36, {1, 360, 5},
      [this](int V) {
        if (Series && CanWrite(this)) Series->SetAngleSize(V);
      },
      150);
  DarkPen = IntField(
      this, o, "Edit2", "UpDown1", "LDarkPen", "Dark Border:", 8, 64, {0, 255, 5},
      [this](int V) {
        if (Series && CanWrite(this)) Series->SetDarkPen(V);
      },
      150);
  CBMultiple = List(this, o, "CBMultiple", "&Multiple Pies:", 8, 94, {"Automatic", "Disable"}, 150, 100);
  CBDark3d = Check(this, o, "CBDark3d", "&Dark 3D", 8, 124, 110);
  CBPatterns = Check(this, o, "CBPatterns", "Pa&tterns", 8, 148, 110);
  CBMarksAutoPosition = Check(this, o, "CBMarksAutoPosition", "&Auto Mark Position", 8, 172, 150);
  CBMarksAutoPosition->SetChecked(true);
  BPen = GraphButton<TButtonPen>(this, o, "BPen", "&Border...", 232, 8, 120);
  BShadow = Button(this, o, "BShadow", "S&hadow...", 232, 38, 120);
  BGradient = GraphButton<TButtonGradient>(this, o, "BGradient", "3D &Gradient...", 232, 68, 120);
  BGradient->FixedEndColor = true;
  TTabSheet* g = TabGroup;
  CBOther = List(this, g, "CBOther", "&Style:", 8, 8, {"None", "Below %", "Below Value"}, 60, 120);
  auto* lv = Make<TLabel>(this, g, "LOtherValue", "&Value:", 8, 39, 60, 16);
  EOtherValue = Make<TEdit>(this, g, "EOtherValue", "", 68, 36, 80, 22);
  lv->SetFocusControl(EOtherValue);
  auto* ll = Make<TLabel>(this, g, "LOtherLabel", "&Label:", 8, 69, 60, 16);
  EOtherLabel = Make<TEdit>(this, g, "EOtherLabel", "Other", 68, 66, 120, 22);
  ll->SetFocusControl(EOtherLabel);
  Button2 = Button(this, g, "Button2", "Le&gend...", 8, 100);
  CBColorEach = Check(this, TabSheet1, "CBColorEach", "Color &Each slice", 8, 8, 150);
  BColor = GraphButton<TButtonColor>(this, TabSheet1, "BColor", "&Color...", 8, 34);

  CBDark3d->OnClick = [this](TObject*) {
    if (Series && CanWrite(this)) Series->SetDark3D(CBDark3d->Checked());
  };
  CBPatterns->OnClick = [this](TObject*) {
    if (Series) Series->SetUsePatterns(CBPatterns->Checked());
  };
  CBMarksAutoPosition->OnClick = [this](TObject*) {
    if (Series) Series->SetAutoMarkPosition(CBMarksAutoPosition->Checked());
  };
  BShadow->OnClick = [this](TObject*) {
    if (Series) ShowShadowDialog(this, Series->Shadow());
  };
  CBMultiple->OnChange = [this](TObject*) {
    if (Series && CBMultiple->ItemIndex() >= 0) Series->SetMultiPie(static_cast<TMultiPie>(CBMultiple->ItemIndex()));
  };
  CBOther->OnChange = [this](TObject*) {
    if (Series && CBOther->ItemIndex() >= 0)
      Series->OtherSlice()->SetStyle(static_cast<TPieOtherStyle>(CBOther->ItemIndex()));
    EnableOtherFields();
  };
  EOtherValue->OnChange = [this](TObject*) {
    if (Series && !FLoading && !Trim(EOtherValue->Text()).empty())
      Series->OtherSlice()->SetValue(EditFloat(EOtherValue));
  };
  EOtherLabel->OnChange = [this](TObject*) {
    if (Series && !FLoading) Series->OtherSlice()->SetText(EOtherLabel->Text());
  };
  Button2->OnClick = [this](TObject*) { Button2Click(); };
  CBColorEach->OnClick = [this](TObject*) {
    if (Series) Series->SetColorEachPoint(CBColorEach->Checked());
    ApplyColorEach(BColor, CBColorEach->Checked());
  };
  PageControl1->SetActivePage(TabOptions);
  OnShow = [this](TObject*) { FormShow(); };
}

void TPieSeriesEditor::EnableOtherFields() {
  const bool on = CBOther->ItemIndex() > 0;
  EOtherValue->SetEnabled(on);
  EOtherLabel->SetEnabled(on);
}

void TPieSeriesEditor::Button2Click() {
  if (!Series) return;
  auto* form = new TFormGraphLegend(this, Series->OtherSlice()->Legend());
  std::unique_ptr<TForm> owned(form);
  form->SetBorderStyle(bsDialog);
  form->SetPosition(poOwnerFormCenter);
  TNotifyEvent shown = form->OnShow;
  form->OnShow = [form, shown](TObject* Sender) {
    if (shown) shown(Sender);
    if (EditorDialogHook) EditorDialogHook(form);
  };
  form->ShowModal();
}

void TPieSeriesEditor::FormShow() {
  Series = Tagged<TPieSeries>(this);
  if (!Series) return;
  edkit::TFlagGuard loading(FLoading);
  TCustomAxisPanel* chart = Series->ParentChart();
  ExplodeBiggest.Set(Series->ExplodeBiggest());
  CBDark3d->SetChecked(Series->Dark3D());
  CBDark3d->SetEnabled(chart && chart->View3D());
  CBPatterns->SetChecked(Series->UsePatterns());
  BPen->LinkPen(Series->PiePen());
  AngleSize.Set(Series->AngleSize());
  CBMarksAutoPosition->SetChecked(Series->AutoMarkPosition());
  BGradient->LinkGradient(Series->CircleGradient());
  DarkPen.Set(Series->DarkPen());
  CBMultiple->SetItemIndex(static_cast<int>(Series->MultiPie()));
  CBOther->SetItemIndex(static_cast<int>(Series->OtherSlice()->Style()));
  EnableOtherFields();
  EOtherValue->SetText(FloatToStr(Series->OtherSlice()->Value()));
  EOtherLabel->SetText(Series->OtherSlice()->Text());
  CBColorEach->SetChecked(Series->ColorEachPoint());
  BColor->LinkProperty(Series, "SeriesColor");
  InsertTabOnce(CircledForm, this, 1, Series, MsgStyleCircled);
  // The pie edits its circle's gradient on its own page.
  if (CircledForm)
    for (TControl* c :
         std::initializer_list<TControl*>{CircledForm->BBack, CircledForm->CBTransp, CircledForm->BGradient})
      c->SetVisible(false);
}

// ---------------------------------------------------------------------------------------------
// TDonutSeriesEditor

TDonutSeriesEditor::TDonutSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 300, 80);
  Donut = IntField(this, this, "EDonut", "UDDonut", "LDonut", "&Hole %: ", 8, 8, {0, 100, 5, true}, [this](int V) {
    if (Series && CanWrite(this)) Series->SetDonutPercent(V);
  });
  OnShow = [this](TObject*) { FormShow(); };
}

void TDonutSeriesEditor::FormShow() {
  Series = Tagged<TPieSeries>(this);
  if (!Series) return;
  InsertTabOnce(PieForm, this, 1, Series, MsgGalleryDonut);
  Donut.Set(Series->DonutPercent());
}

// ---------------------------------------------------------------------------------------------
// TPolarSeriesEditor

TPolarSeriesEditor::TPolarSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetAlign(alClient);
  SetBounds(0, 0, 420, 220);
  PageControl1 = Make<TPageControl>(this, this, "PageControl1", "", 0, 0, 420, 220);
  PageControl1->SetAlign(alClient);
  TabSheet1 = edkit::Tab(this, PageControl1, "TabSheet1", "Options");
  TabSheet2 = edkit::Tab(this, PageControl1, "TabSheet2", "Labels");
  TTabSheet* o = TabSheet1;
  CBClose = Check(this, o, "CBClose", "C&lose Circle", 8, 8, 120);
  CBClose->SetChecked(true);
  AngleInc = IntField(
      this, o, "SEAngleInc", "UDAngleInc", "LAngleInc", "Angle &Increment:", 8, 34, {0, 360},
      [this](int V) {
        if (Series && CanWrite(this, FLoading)) Series->SetAngleIncrement(V);
      },
      110, 50);
  RadiusInc = IntField(
      this, o, "SERadiusInc", "UDRadiusInc", "LRadiusInc", "Radius Increment:", 8, 62, {0, 32767},
      [this](int V) {
        if (Series && CanWrite(this, FLoading)) Series->SetRadiusIncrement(V);
      },
      110, 50);
  Transp = IntField(
      this, o, "Edit1", "UDTransp", "LTransp", "&Transparency:", 8, 90, {0, 100, 5},
      [this](int V) {
        if (Series && CanWrite(this, FLoading)) Series->SetTransparency(V);
      },
      110, 50);
  CBColorEach = Check(this, o, "CBColorEach", "Color Each", 8, 122, 120);
  BColor = GraphButton<TButtonColor>(this, o, "BColor", "Color...", 8, 146);
  BPen = GraphButton<TButtonPen>(this, o, "BPen", "&Pen...", 220, 8);
  BPiePen = GraphButton<TButtonPen>(this, o, "BPiePen", "&Circle...", 220, 38);
  BBrush = Button(this, o, "BBrush", "Pattern...", 220, 68);
  TTabSheet* l = TabSheet2;
  CBAngleLabels = Check(this, l, "CBAngleLabels", "&Visible", 8, 8, 120);
  CBLabelsRot = Check(this, l, "CBLabelsRot", "R&otated", 8, 32, 120);
  CBClockWise = Check(this, l, "CBClockWise", "ClockWise", 8, 56, 120);
  CBInside = Check(this, l, "CBInside", "I&nside", 8, 80, 120);
  BFont = Button(this, l, "BFont", "&Font...", 220, 8);
  Margin = IntField(this, l, "EMargin", "UDMargin", "LMargin", "&Margin %:", 8, 110, {-200, 200}, [this](int V) {
    if (Series && CanWrite(this, FLoading)) Series->SetLabelsMargin(V);
  });

  CBClose->OnClick = [this](TObject*) {
    if (Series) Series->SetCloseCircle(CBClose->Checked());
  };
  BBrush->OnClick = [this](TObject*) {
    if (Series) ShowBrushDialog(this, Series->Brush());
  };
  CBColorEach->OnClick = [this](TObject*) {
    if (Series) Series->SetColorEachPoint(CBColorEach->Checked());
  };
  CBAngleLabels->OnClick = [this](TObject*) {
    if (Series) Series->SetCircleLabels(CBAngleLabels->Checked());
    ApplyLabelRule();
  };
  CBLabelsRot->OnClick = [this](TObject*) {
    if (Series) Series->SetCircleLabelsRotated(CBLabelsRot->Checked());
  };
  CBClockWise->OnClick = [this](TObject*) {
    if (Series) Series->SetClockWiseLabels(CBClockWise->Checked());
  };
  CBInside->OnClick = [this](TObject*) {
    if (Series) Series->SetCircleLabelsInside(CBInside->Checked());
  };
  BFont->OnClick = [this](TObject*) {
    if (Series && ShowFontDialog(this, Series->CircleLabelsFont())) Series->Repaint();
  };
  PageControl1->SetActivePage(TabSheet1);
  OnShow = [this](TObject*) { FormShow(); };
}

void TPolarSeriesEditor::ApplyLabelRule() {
  const bool on = CBAngleLabels->Checked();
  for (TControl* c : std::initializer_list<TControl*>{CBLabelsRot, CBClockWise, BFont}) c->SetEnabled(on);
}

void TPolarSeriesEditor::ShowAngleControls() {
  // Polar bars are polar series too, though they do not descend from TPolarSeries here.
  AngleInc.SetVisible(dynamic_cast<TPolarSeries*>(Series) || dynamic_cast<TPolarBarSeries*>(Series));
}

void TPolarSeriesEditor::FormShow() {
  Series = Tagged<TCustomPolarSeries>(this);
  if (!Series) return;
  {
    edkit::TFlagGuard loading(FLoading);
    CBClose->SetChecked(Series->CloseCircle());
    AngleInc.Set(RoundToField(Series->AngleIncrement()));
    RadiusInc.Set(RoundToField(Series->RadiusIncrement()));
    BPen->LinkPen(Series->Pen());
    BPiePen->LinkPen(Series->CirclePen());
    Transp.Set(Series->Transparency());
    CBColorEach->SetChecked(Series->ColorEachPoint());
    BColor->LinkProperty(Series, "SeriesColor");
    CBAngleLabels->SetChecked(Series->CircleLabels());
    CBLabelsRot->SetChecked(Series->CircleLabelsRotated());
    CBClockWise->SetChecked(Series->ClockWiseLabels());
    CBInside->SetChecked(Series->CircleLabelsInside());
    Margin.Set(Series->LabelsMargin());
    ApplyLabelRule();
    ShowAngleControls();
  }
  InsertTabOnce(CircledForm, this, 1, Series, MsgStyleCircled);
  if (!PointerForm) PointerForm = InsertPointerEditor(Parent(), Series->Pointer(), MsgGalleryPoint);
}

// ---------------------------------------------------------------------------------------------
// TClockEditor and TWindRoseEditor

TClockEditor::TClockEditor(TComponent* AOwner) : TPolarSeriesEditor(AOwner) {
  AngleInc.SetVisible(false);
  RadiusInc.SetVisible(false);
  for (TControl* c : std::initializer_list<TControl*>{CBClose, BPen, CBClockWise, CBColorEach}) c->SetVisible(false);
  BHour = GraphButton<TButtonPen>(this, TabSheet1, "BHour", "&Hours...", 220, 98);
  BMinute = GraphButton<TButtonPen>(this, TabSheet1, "BMinute", "&Minutes...", 220, 128);
  BSecond = GraphButton<TButtonPen>(this, TabSheet1, "BSecond", "&Seconds...", 220, 158);
  BRadius = GraphButton<TButtonPen>(this, TabSheet1, "BRadius", "R&adius...", 220, 8);
  CBRoman = Check(this, TabSheet2, "CBRoman", "&Roman", 220, 40, 100);
  CBRoman->OnClick = [this](TObject*) {
    if (auto* s = dynamic_cast<TClockSeries*>(Series)) s->SetStyle(CBRoman->Checked() ? cssRoman : cssDecimal);
  };
  PageControl1->SetActivePage(TabSheet2);
  OnShow = [this](TObject*) { ClockShow(); };
}

void TClockEditor::ClockShow() {
  FormShow();
  auto* s = dynamic_cast<TClockSeries*>(Series);
  if (!s) return;
  CBRoman->SetChecked(s->Style() == cssRoman);
  BHour->LinkPen(s->PenHours());
  BMinute->LinkPen(s->PenMinutes());
  BSecond->LinkPen(s->PenSeconds());
  if (TChartAxis* axis = s->GetHorizAxis()) BRadius->LinkPen(axis->Grid());
}

TWindRoseEditor::TWindRoseEditor(TComponent* AOwner) : TPolarSeriesEditor(AOwner) {
  CBMirror = Check(this, TabSheet2, "CBMirror", "Mirr&ored", 220, 40, 100);
  CBClockWise->SetVisible(false);
  CBMirror->OnClick = [this](TObject*) {
    if (auto* s = dynamic_cast<TWindRoseSeries*>(Series)) s->SetMirrorLabels(CBMirror->Checked());
  };
  OnShow = [this](TObject*) { WindRoseShow(); };
}

void TWindRoseEditor::WindRoseShow() {
  FormShow();
  if (auto* s = dynamic_cast<TWindRoseSeries*>(Series)) CBMirror->SetChecked(s->MirrorLabels());
}

void RegisterCircleEditorForms() {
  RegisterClasses({TCircledSeriesEditor::StaticClass(), TPieSeriesEditor::StaticClass(),
                   TDonutSeriesEditor::StaticClass(), TPolarSeriesEditor::StaticClass(), TClockEditor::StaticClass(),
                   TWindRoseEditor::StaticClass()});
}
