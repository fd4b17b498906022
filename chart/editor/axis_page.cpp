#include "chart/editor/axis_page.h"

#include <cmath>

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/format_axis_dialogs.h"
#include "chart/editor/language.h"
#include "chart/engine/axis_panel.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/tool_base.h"
#include "chart/extra/pen_dialog.h"
#include "platform/datetime.h"
#include "platform/extctrls.h"

VM_DEFINE_CLASS(TFormGraphAxis)

using namespace edkit;

namespace {
TGraphFontEditor* FontEditorIn(TComponent* Owner, TWinControl* Parent) {
  auto* e = new TGraphFontEditor(Owner);
  EmbedForm(e, Parent);
  return e;
}
}  // namespace

void FillAxisList(TCustomAxisPanel* Chart, TStrings* Items, bool WithDepth) {
  Items->Clear();
  for (const std::string* n : {&MsgPartLeftAxis, &MsgPartRightAxis, &MsgPartTopAxis, &MsgPartBottomAxis})
    Items->Add(*n);
  if (WithDepth) {
    Items->Add(MsgPartDepthRight);
    Items->Add(Translated(MsgPartDepthTop));  // the engine keeps this one in English
  }
  if (!Chart) return;
  for (int i = 0; i < Chart->CustomAxes()->Count(); ++i) Items->Add(MsgPartCustom + std::to_string(i));
}

template <class F>
std::function<void(bool)> TFormGraphAxis::OnCheck(F Fn) {
  return [this, Fn](bool V) {
    if (FAxis) {
      Fn(V);
      Changed();
    }
  };
}

template <class F>
std::function<void(int)> TFormGraphAxis::OnInt(F Fn) {
  return [this, Fn](int V) {
    if (FAxis && !LoadingControls) {
      Fn(V);
      Changed();
    }
  };
}

TFormGraphAxis::TFormGraphAxis(TComponent* AOwner, TChartAxis* Axis) : TForm(AOwner), FAxis(Axis) {
  SetName("FormGraphAxis");
  SetBounds(0, 0, 560, 300);
  auto* left = Make<TPanel>(this, this, "PanelAxes", "", 0, 0, 120, 300);
  left->SetAlign(alLeft);
  left->SetBevelOuter(bvNone);
  Make<TLabel>(this, left, "LAxes", "A&xes:", 4, 4, 100, 16);
  LBAxes = Make<TListBox>(this, left, "LBAxes", "", 4, 22, 112, 150);
  LBAxes->OnClick = [this](TObject*) { LBAxesClick(); };
  BAdd = Make<TButton>(this, left, "BAdd", "+", 4, 176, 30, 24);
  BAdd->OnClick = [this](TObject*) { BAddClick(); };
  BDelete = Make<TButton>(this, left, "BDelete", "-", 38, 176, 30, 24);
  BDelete->OnClick = [this](TObject*) { BDeleteClick(); };
  CBShow = Check(
      this, left, "CBShow", "Visible", 4, 206,
      [this](bool V) {
        if (Chart()) Chart()->SetAxisVisible(V);
      },
      110);
  CBAxisBeh = Check(
      this, left, "CBAxisBeh", "&Behind", 4, 228,
      [this](bool V) {
        if (Chart()) Chart()->SetAxisBehind(V);
      },
      110);

  PageAxis = Make<TPageControl>(this, this, "PageAxis", "", 124, 0, 436, 300);
  PageAxis->SetAlign(alClient);
  PageAxis->OnChanging = [this](TObject*, bool&) { LoadingControls = true; };
  PageAxis->OnChange = [this](TObject*) { PageAxisChange(); };

  TTabSheet* t = Tab(this, PageAxis, "TabScales", "Scales");
  CBVisible = Check(this, t, "CBVisible", "&Visible", 8, 8, OnCheck([this](bool V) { FAxis->SetVisible(V); }));
  CBAutomatic = Check(this, t, "CBAutomatic", "&Automatic", 8, 30, OnCheck([this](bool V) {
                        if (FSettingAuto) return;
                        FAxis->SetAutomatic(V);
                        LoadScales();
                      }));
  CBLogarithmic = Check(this, t, "CBLogarithmic", "Logarith&mic", 8, 52, OnCheck([this](bool V) {
                          FAxis->SetLogarithmic(V);
                          ELogBase->SetEnabled(V && CBLogarithmic->Enabled());
                          LogE->SetEnabled(ELogBase->Enabled());
                        }));
  Make<TLabel>(this, t, "LLogBase", "L&og Base:", 24, 78, 60, 16);
  ELogBase = Make<TEdit>(this, t, "ELogBase", "", 88, 74, 60, 22);
  ELogBase->OnChange = [this](TObject*) {
    double b = 0;
    if (FAxis && !LoadingControls && TryStrToFloat(ELogBase->Text(), b) && b > 1) {
      FAxis->SetLogarithmicBase(b);
      Changed();
    }
  };
  LogE = Check(this, t, "LogE", "e", 154, 76, OnCheck([this](bool V) {
                 FAxis->SetLogarithmicBase(V ? std::exp(1.0) : 10.0);
                 ELogBase->SetText(FloatToStr(FAxis->LogarithmicBase()));
               }),
               40);
  CBInverted = Check(this, t, "CBInverted", "&Inverted", 8, 100, OnCheck([this](bool V) { FAxis->SetInverted(V); }));
  Make<TLabel>(this, t, "LIncrement", "Desired Increment:", 8, 130, 120, 16);
  LAxisIncre = Make<TLabel>(this, t, "LAxisIncre", "", 130, 130, 120, 16);
  BIncre = Make<TButton>(this, t, "BIncre", "&Change...", 256, 126, 75, 24);
  BIncre->OnClick = [this](TObject*) { BIncreClick(); };
  auto* gmin = Make<TGroupBox>(this, t, "GBMinimum", "Minimum", 8, 158, 200, 104);
  CBAutoMin = Check(this, gmin, "CBAutoMin", "Aut&o", 8, 18, OnCheck([this](bool V) {
                      if (!FSettingAuto) FAxis->SetAutomaticMinimum(V);
                    }),
                    80);
  LAxisMin = Make<TLabel>(this, gmin, "LAxisMin", "", 8, 44, 100, 16);
  BAxisMin = Make<TButton>(this, gmin, "BAxisMin", "Cha&nge...", 112, 40, 75, 24);
  BAxisMin->OnClick = [this](TObject*) { BAxisMinMaxClick(true); };
  MinOff = Spin(this, gmin, "MinOff", "Offset:", 8, 72, -10000, 10000,
                OnInt([this](int V) { FAxis->SetMinimumOffset(V); }), 50);
  auto* gmax = Make<TGroupBox>(this, t, "GBMaximum", "Maximum", 214, 158, 200, 104);
  CBAutoMax = Check(this, gmax, "CBAutoMax", "A&uto", 8, 18, OnCheck([this](bool V) {
                      if (!FSettingAuto) FAxis->SetAutomaticMaximum(V);
                    }),
                    80);
  LAxisMax = Make<TLabel>(this, gmax, "LAxisMax", "", 8, 44, 100, 16);
  BAxisMax = Make<TButton>(this, gmax, "BAxisMax", "C&hange...", 112, 40, 75, 24);
  BAxisMax->OnClick = [this](TObject*) { BAxisMinMaxClick(false); };
  MaxOff = Spin(this, gmax, "MaxOff", "Offset:", 8, 72, -10000, 10000,
                OnInt([this](int V) { FAxis->SetMaximumOffset(V); }), 50);

  t = Tab(this, PageAxis, "TabTitle", "Title");
  Make<TLabel>(this, t, "LTitle", "T&itle:", 8, 12, 60, 16);
  ETitle = Make<TEdit>(this, t, "ETitle", "", 70, 8, 200, 22);
  ETitle->OnChange = [this](TObject*) {
    if (FAxis && !LoadingControls) {
      FAxis->Title()->SetCaption(ETitle->Text());
      Changed();
    }
  };
  TitleAngle = Spin(this, t, "TitleAngle", "&Angle:", 8, 38, 0, 360,
                    OnInt([this](int V) { FAxis->Title()->SetAngle(V); }), 62, 90);
  TitleSize =
      Spin(this, t, "TitleSize", "Si&ze:", 8, 66, 0, 1000, OnInt([this](int V) { FAxis->SetTitleSize(V); }), 62);
  CBTitleVisible =
      Check(this, t, "CBTitleVisible", "&Visible", 8, 94, OnCheck([this](bool V) { FAxis->Title()->SetVisible(V); }));
  auto* tf = Make<TGroupBox>(this, t, "GBTitleFont", "Text", 8, 118, 410, 150);
  TitleFont = FontEditorIn(this, tf);

  t = Tab(this, PageAxis, "TabLabels", "Labels");
  CBLabels = Check(this, t, "CBLabels", "V&isible", 8, 8, OnCheck([this](bool V) { FAxis->SetLabels(V); }));
  CBLabelStyle = Combo(
      this, t, "CBLabelStyle", "&Style:", 8, 32, {"Auto", "None", "Value", "Mark", "Text"},
      [this](int I) {
        if (FAxis && I >= 0) {
          FAxis->SetLabelStyle(static_cast<TAxisLabelStyle>(I));
          Changed();
        }
      },
      60, 100);
  LabelsAngle = Spin(this, t, "LabelsAngle", "An&gle:", 8, 60, 0, 360,
                     OnInt([this](int V) { FAxis->SetLabelsAngle(V); }), 60, 90);
  LabelsSize =
      Spin(this, t, "LabelsSize", "Si&ze:", 8, 88, 0, 1000, OnInt([this](int V) { FAxis->SetLabelsSize(V); }), 60);
  Separation = Spin(this, t, "Separ", "Min. Se&paration %:", 8, 116, 0, 100,
                    OnInt([this](int V) { FAxis->SetLabelsSeparation(V); }), 110, 10);
  CBMultiline =
      Check(this, t, "CBMultiline", "Multi-lin&e", 200, 8, OnCheck([this](bool V) { FAxis->SetLabelsMultiLine(V); }));
  CBOnAxis =
      Check(this, t, "CBOnAxis", "Label On A&xis", 200, 30, OnCheck([this](bool V) { FAxis->SetLabelsOnAxis(V); }));
  CBRoundFirst = Check(this, t, "CBRoundFirst", "Ro&und First", 200, 52,
                       OnCheck([this](bool V) { FAxis->SetRoundFirstLabel(V); }));
  CBAlternate =
      Check(this, t, "CBAlternate", "&Alternate", 200, 74, OnCheck([this](bool V) { FAxis->SetLabelsAlternate(V); }));
  CBExpo = Check(this, t, "CBExpo", "&Exponential", 200, 96, OnCheck([this](bool V) { FAxis->SetLabelsExponent(V); }));
  CBLabelAlign = Check(this, t, "CBLabelAlign", "&Default Alignment", 200, 118,
                       OnCheck([this](bool V) { FAxis->SetLabelsAlign(V ? alDefault : alOpposite); }));
  LabelAxisFormat = Make<TLabel>(this, t, "LabelAxisFormat", "Values For&mat:", 8, 148, 110, 16);
  CBFormat = Make<TComboBox>(this, t, "CBFormat", "", 120, 144, 160, 22);
  CBFormat->OnChange = [this](TObject*) {
    if (!FAxis || LoadingControls) return;
    if (FAxis->IsDateTime())
      FAxis->SetDateTimeFormat(CBFormat->Text());
    else
      FAxis->SetAxisValuesFormat(LocalToStandardFormat(CBFormat->Text()));
    Changed();
  };
  auto* lf = Make<TGroupBox>(this, t, "GBLabelsFont", "Text", 8, 172, 410, 100);
  LabelsFont = FontEditorIn(this, lf);

  t = Tab(this, PageAxis, "TabTicks", "Ticks");
  BAxisPen = Make<TButtonPen>(this, t, "BAxisPen", "&Axis...", 8, 8, 90, 24);
  BTickPen = Make<TButtonPen>(this, t, "BTickPen", "T&icks...", 8, 38, 90, 24);
  BTickInner = Make<TButtonPen>(this, t, "BTickInner", "I&nner...", 8, 68, 90, 24);
  BAxisGrid = Make<TButtonPen>(this, t, "BAxisGrid", "&Grid...", 8, 98, 90, 24);
  TickLength =
      Spin(this, t, "AxisTickLength", "Len:", 110, 38, 0, 1000, OnInt([this](int V) { FAxis->SetTickLength(V); }), 36);
  InnerLength = Spin(this, t, "InnerTicksLength", "Len:", 110, 68, 0, 1000,
                     OnInt([this](int V) { FAxis->SetTickInnerLength(V); }), 36);
  GridZ = Spin(this, t, "GridZ", "&Z:", 110, 98, 0, 100, OnInt([this](int V) { FAxis->Grid()->SetZPosition(V); }), 36);
  CBTickOnLabels = Check(this, t, "CBTickOnLabels", "At Labels Onl&y", 8, 130,
                         OnCheck([this](bool V) { FAxis->SetTickOnLabelsOnly(V); }));
  CBGridCentered =
      Check(this, t, "CBGridCentered", "C&entered", 8, 152, OnCheck([this](bool V) { FAxis->SetGridCentered(V); }));

  t = Tab(this, PageAxis, "TabMinor", "Minor");
  BTickMinor = Make<TButtonPen>(this, t, "BTickMinor", "&Ticks...", 8, 8, 90, 24);
  BMinorGrid = Make<TButtonPen>(this, t, "BMinorGrid", "&Grid...", 8, 38, 90, 24);
  MinorLength = Spin(this, t, "AxisMinorTickLen", "Length:", 110, 8, 0, 1000,
                     OnInt([this](int V) { FAxis->SetMinorTickLength(V); }), 50);
  MinorCount = Spin(this, t, "MinorCount", "&Count:", 110, 38, 0, 1000,
                    OnInt([this](int V) { FAxis->SetMinorTickCount(V); }), 50);

  t = Tab(this, PageAxis, "TabPosition", "Position");
  Pos = Spin(this, t, "Pos", "&Position %:", 8, 8, -1000, 1000, OnInt([this](int V) { FAxis->SetPositionPercent(V); }),
             80);
  Start = Spin(this, t, "Start", "St&art %:", 8, 36, 0, 100, OnInt([this](int V) { FAxis->SetStartPosition(V); }), 80);
  End = Spin(this, t, "End", "&End %:", 8, 64, 0, 100, OnInt([this](int V) { FAxis->SetEndPosition(V); }), 80);
  ZPos = Spin(this, t, "Z", "&Z %:", 8, 92, 0, 100, OnInt([this](int V) { FAxis->SetZPosition(V); }), 80);
  CBPosUnits = Combo(
      this, t, "CBPosUnits", "&Units:", 8, 120, {"Percent", "Pixels"},
      [this](int I) {
        if (FAxis && I >= 0) {
          FAxis->SetPositionUnits(I == 0 ? muPercent : muPixels);
          Changed();
        }
      },
      80, 90);
  CBOtherSide =
      Check(this, t, "CBOtherSide", "&Other side", 8, 150, OnCheck([this](bool V) { FAxis->SetOtherSide(V); }));
  CBHorizAxis =
      Check(this, t, "CBHorizAxis", "&Horizontal", 8, 172, OnCheck([this](bool V) { FAxis->SetHorizontal(V); }));
  OnShow = [this](TObject*) { FormShow(); };
}

TCustomAxisPanel* TFormGraphAxis::Chart() const { return FAxis ? FAxis->ParentChart : nullptr; }

bool TFormGraphAxis::IsCustom() const { return Chart() && Chart()->CustomAxes()->IndexOfAxis(FAxis) >= 0; }

void TFormGraphAxis::Changed() {
  if (OnAxisChanged) OnAxisChanged(this, FAxis);
}

void TFormGraphAxis::SetAxis(TChartAxis* Value) {
  FAxis = Value;
  LoadingControls = true;
  PageAxisChange();
}

void TFormGraphAxis::FormShow() {
  if (!FAxis) return;
  FillAxisList(Chart(), LBAxes->Items(), true);
  TCustomAxisPanel* c = Chart();
  int index = -1;
  const TChartAxis* fixed[] = {c->LeftAxis(),   c->RightAxis(), c->TopAxis(),
                               c->BottomAxis(), c->DepthAxis(), c->DepthTopAxis()};
  for (int i = 0; i < 6; ++i)
    if (fixed[i] == FAxis) index = i;
  if (index < 0) index = 6 + c->CustomAxes()->IndexOfAxis(FAxis);
  LBAxes->SetItemIndex(index);
  {
    TFlagGuard g(LoadingControls);
    CBShow->SetChecked(c->AxisVisible());
    CBAxisBeh->SetChecked(c->AxisBehind());
  }
  LoadingControls = true;
  PageAxisChange();
}

void TFormGraphAxis::PageAxisChange() {
  if (!FAxis) return;
  LoadingControls = true;
  BAxisPen->LinkPen(FAxis->Axis());
  BTickPen->LinkPen(FAxis->Ticks());
  BTickInner->LinkPen(FAxis->TicksInner());
  BAxisGrid->LinkPen(FAxis->Grid());
  BTickMinor->LinkPen(FAxis->MinorTicks());
  BMinorGrid->LinkPen(FAxis->MinorGrid());
  // The check boxes write when set; the target already holds the value, so loading is harmless,
  // but the axis is held aside while they load so that nothing else repaints.
  TChartAxis* axis = FAxis;
  FAxis = nullptr;
  const int tab = PageAxis->ActivePageIndex();
  FAxis = axis;
  switch (tab) {
    case 0:
      LoadScales();
      break;
    case 1:
      LoadTitle();
      break;
    case 2:
      LoadLabels();
      break;
    case 3:
    case 4:
      LoadTicks();
      break;
    default:
      LoadPosition();
      break;
  }
  BDelete->SetEnabled(IsCustom());
  FAxis = nullptr;
  CBVisible->SetChecked(axis->Visible());
  const bool depth = axis->IsDepthAxis;
  CBLabelAlign->SetChecked(axis->LabelsAlign() == alDefault);
  CBLabelAlign->SetEnabled(!axis->Horizontal() && !depth);
  FAxis = axis;
  LoadingControls = false;
}

void TFormGraphAxis::LoadScales() {
  TChartAxis* a = FAxis;
  FAxis = nullptr;
  std::string inc;
  IncrementText(this, a->IsDateTime(), a->ExactDateTime(), inc, a->AxisValuesFormat(), a->Increment());
  LAxisIncre->SetCaption(inc);
  auto show = [a](double V) {
    if (a->IsDateTime()) return V >= 1 ? DateTimeToStr(V) : TimeToStr(V);
    return FormatFloat(a->AxisValuesFormat().empty() ? "#,##0.###" : a->AxisValuesFormat(), V);
  };
  LAxisMin->SetCaption(show(a->Minimum()));
  LAxisMax->SetCaption(show(a->Maximum()));
  {
    TFlagGuard g(FSettingAuto);
    CBAutomatic->SetChecked(a->Automatic());
    CBAutoMin->SetChecked(a->AutomaticMinimum());
    CBAutoMax->SetChecked(a->AutomaticMaximum());
  }
  MinOff.Set(a->MinimumOffset());
  MaxOff.Set(a->MaximumOffset());
  CBLogarithmic->SetChecked(a->Logarithmic());
  CBLogarithmic->SetEnabled(!a->IsDepthAxis);
  LogE->SetChecked(a->LogarithmicBase() == std::exp(1.0));
  ELogBase->SetText(FloatToStr(a->LogarithmicBase()));
  ELogBase->SetEnabled(CBLogarithmic->Checked() && CBLogarithmic->Enabled());
  LogE->SetEnabled(ELogBase->Enabled());
  CBInverted->SetChecked(a->Inverted());
  FAxis = a;
}

void TFormGraphAxis::LoadTitle() {
  TChartAxis* a = FAxis;
  FAxis = nullptr;
  ETitle->SetText(a->Title()->Caption());
  TitleAngle.Set(a->Title()->Angle());
  TitleSize.Set(a->TitleSize());
  CBTitleVisible->SetChecked(a->Title()->Visible());
  TitleFont->RefreshControls(a->Title()->Font());
  FAxis = a;
}

void TFormGraphAxis::LoadLabels() {
  TChartAxis* a = FAxis;
  FAxis = nullptr;
  CBLabels->SetChecked(a->Labels());
  CBLabelStyle->SetItemIndex(static_cast<int>(a->LabelStyle()));
  LabelsAngle.Set(a->LabelsAngle());
  Separation.Set(a->LabelsSeparation());
  LabelsSize.Set(a->LabelsSize());
  CBMultiline->SetChecked(a->LabelsMultiLine());
  CBOnAxis->SetChecked(a->LabelsOnAxis());
  CBRoundFirst->SetChecked(a->RoundFirstLabel());
  CBAlternate->SetChecked(a->LabelsAlternate());
  CBExpo->SetChecked(a->LabelsExponent());
  CBFormat->Items()->Clear();
  std::string shown;
  if (a->IsDateTime()) {
    if (a->Maximum() - a->Minimum() > 1)
      for (const char* f : {"yyyy-mm-dd", "mm-dd-yyyy", "dd-mm-yyyy", "ddd", "dddd", "mmm", "mmmm"})
        CBFormat->Items()->Add(f);
    else
      for (const char* f : {"hh:nn", "hh:nn:ss", "hh:nn:ss.zzz"}) CBFormat->Items()->Add(f);
    LabelAxisFormat->SetCaption("DateTime For&mat:");
    shown = a->DateTimeFormat();
  } else {
    AddValueFormats(CBFormat->Items());
    LabelAxisFormat->SetCaption("Values For&mat:");
    shown = StandardToLocalFormat(a->AxisValuesFormat().empty() ? "#,##0.###" : a->AxisValuesFormat());
  }
  if (!shown.empty() && CBFormat->Items()->IndexOf(shown) < 0) CBFormat->Items()->Add(shown);
  CBFormat->SetText(shown);
  LabelsFont->RefreshControls(a->LabelsFont());
  FAxis = a;
}

void TFormGraphAxis::LoadTicks() {
  TChartAxis* a = FAxis;
  FAxis = nullptr;
  TickLength.Set(a->TickLength());
  InnerLength.Set(a->TickInnerLength());
  CBTickOnLabels->SetChecked(a->TickOnLabelsOnly());
  CBGridCentered->SetChecked(a->GridCentered());
  GridZ.Set(static_cast<int>(std::lround(a->Grid()->ZPosition())));
  MinorLength.Set(a->MinorTickLength());
  MinorCount.Set(a->MinorTickCount());
  FAxis = a;
}

void TFormGraphAxis::LoadPosition() {
  TChartAxis* a = FAxis;
  FAxis = nullptr;
  Pos.Set(static_cast<int>(std::lround(a->PositionPercent())));
  Start.Set(static_cast<int>(std::lround(a->StartPosition())));
  End.Set(static_cast<int>(std::lround(a->EndPosition())));
  ZPos.Set(static_cast<int>(std::lround(a->ZPosition())));
  CBPosUnits->SetItemIndex(a->PositionUnits() == muPixels ? 1 : 0);
  CBOtherSide->SetChecked(a->OtherSide());
  CBHorizAxis->SetChecked(a->Horizontal());
  FAxis = a;
  CBOtherSide->SetEnabled(IsCustom());
  CBHorizAxis->SetEnabled(IsCustom());
}

void TFormGraphAxis::LBAxesClick() {
  TCustomAxisPanel* c = Chart();
  const int i = LBAxes->ItemIndex();
  if (!c || i < 0) return;
  TChartAxis* fixed[] = {c->LeftAxis(),   c->RightAxis(), c->TopAxis(),
                         c->BottomAxis(), c->DepthAxis(), c->DepthTopAxis()};
  if (i < 6)
    FAxis = fixed[i];
  else if (i - 6 < c->CustomAxes()->Count())
    FAxis = c->CustomAxes()->AxisAt(i - 6);
  SetAxis(FAxis);
}

void TFormGraphAxis::BAddClick() {
  TCustomAxisPanel* c = Chart();
  if (!c) return;
  auto* axis = static_cast<TChartAxis*>(c->CustomAxes()->Add());
  FAxis = axis;
  FillAxisList(c, LBAxes->Items(), true);
  LBAxes->SetItemIndex(5 + c->CustomAxes()->Count());
  SetAxis(axis);
}

void TFormGraphAxis::BDeleteClick() {
  if (!IsCustom()) return;
  const int i = LBAxes->ItemIndex();
  TCustomAxisPanel* c = Chart();
  delete FAxis;
  FAxis = nullptr;
  LBAxes->Items()->Delete(i);
  LBAxes->SetItemIndex(i - 1);
  FAxis = c->LeftAxis();
  LBAxesClick();
  c->Invalidate();
}

void TFormGraphAxis::BAxisMinMaxClick(bool Min) {
  if (!FAxis) return;
  std::unique_ptr<TForm> f(CreateEditorDialog([](TComponent* O) { return new TAxisMaxMin(O); }, this));
  auto* d = static_cast<TAxisMaxMin*>(f.get());
  d->IsDateTime = FAxis->IsDateTime();
  d->MaxMin = Min ? FAxis->Minimum() : FAxis->Maximum();
  d->SetCaption(Min ? "Minimum" : "Maximum");
  if (d->ShowModal() != mrOk) return;
  FAxis->SetAutomatic(false);
  if (Min) {
    FAxis->SetAutomaticMinimum(false);
    FAxis->SetMinimum(d->MaxMin);
  } else {
    FAxis->SetAutomaticMaximum(false);
    FAxis->SetMaximum(d->MaxMin);
  }
  LoadingControls = true;
  LoadScales();
  LoadingControls = false;
  Changed();
}

void TFormGraphAxis::BIncreClick() {
  if (!FAxis) return;
  std::unique_ptr<TForm> f(CreateEditorDialog([](TComponent* O) { return new TAxisIncrement(O); }, this));
  auto* d = static_cast<TAxisIncrement*>(f.get());
  d->IsDateTime = FAxis->IsDateTime();
  d->IsExact = FAxis->ExactDateTime();
  d->Increment = FAxis->Increment();
  if (d->ShowModal() != mrOk) return;
  FAxis->SetExactDateTime(d->IsExact);
  FAxis->SetIncrement(d->Increment);
  LoadScales();
  Changed();
}
