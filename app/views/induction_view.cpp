#include "app/views/induction_view.h"

#include <cmath>

#include "app/views/chart_editing.h"
#include "app/site_session.h"
#include "chart/editor/language.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/legend.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/arrow_series.h"
#include "chart/series/line_series.h"
#include "controls/form_storage.h"
#include "controls/vx_spin.h"
#include "controls/vx_splitter.h"
#include "mtdata/mt_params.h"
#include "mtdata/open_site.h"
#include "mtdata/site_file.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

VM_DEFINE_CLASS(TIndVect1)

TIndVect1* IndVect1 = nullptr;

namespace {

// Arrow length factors of the scale boxes' values 1..4.
constexpr float ScaleFactors[4] = {1, 2, 4, 8};
constexpr float DegreesPerRadian = 57.29578f;
constexpr double MillimetresPerInch = 25.4;

float ScaleOf(TVxSpinEdit* E) {
  const long v = std::lround(static_cast<double>(E->Value()));
  return ScaleFactors[std::clamp<long>(v, 1, 4) - 1];
}

}  // namespace

TIndVect1::TIndVect1(TComponent* AOwner, TSiteSession& ASession) : TMyForm(AOwner), Session(ASession) {
  SetName("IndVect1");
  SetCaption("Induction Vector");
  PlaceInFrame(this, 60, 20, 696, 480);

  Panel1 = new TPanel(this);
  Panel1->SetName("Panel1");
  Panel1->SetParent(this);
  Panel1->SetAlign(alRight);
  Panel1->SetWidth(142);  // wide enough for the check box's caption in either language, at any scale
  Panel1->SetCaption("");
  Splitter1 = new TVxSplitter(this);
  Splitter1->SetName("Splitter1");
  Splitter1->SetParent(this);
  Splitter1->SetAlign(alRight);
  Splitter1->SetWidth(3);

  int top = 8;
  auto label = [&](const char* Text) {
    auto* l = new TLabel(this);
    l->SetParent(Panel1);
    l->SetCaption(Text);
    l->SetBounds(6, top, 70, 16);
    top += 18;
  };
  auto spin = [&](const char* Name, int Max) {
    auto* e = new TVxSpinEdit(this);
    e->SetName(Name);
    e->SetParent(Panel1);
    e->SetMinValue(1);
    e->SetMaxValue(Max);
    e->SetValue(1);
    e->SetBounds(6, top, 66, 22);
    top += 30;
    return e;
  };
  label("Step:");
  VxSpinEdit1 = spin("VxSpinEdit1", 10);
  label("Imag Scale");
  VxSpinEdit2 = spin("VxSpinEdit2", 4);
  label("Real Scale");
  VxSpinEdit3 = spin("VxSpinEdit3", 4);
  CheckBox1 = new TCheckBox(this);
  CheckBox1->SetName("CheckBox1");
  CheckBox1->SetParent(Panel1);
  CheckBox1->SetCaption("Rev real");
  CheckBox1->SetHint("Reverse real induction vector to point to conductor");
  CheckBox1->SetShowHint(true);
  CheckBox1->SetBounds(6, top, 132, 20);

  Chart1 = new TChart(this);
  Chart1->SetName("Chart1");
  Chart1->SetParent(this);
  Chart1->SetAlign(alClient);
  Chart1->SetView3D(false);
  Chart1->Title()->Text()->Clear();
  Chart1->Legend()->SetCheckBoxes(true);
  Chart1->Legend()->SetLegendStyle(lsSeries);
  TChartAxis* bottom = Chart1->BottomAxis();
  bottom->SetLogarithmic(true);
  bottom->SetInverted(true);
  bottom->SetAutomatic(false);
  bottom->SetMinimumMaximum(0.0001, 10000);
  bottom->SetLabelStyle(talValue);
  bottom->SetAxisValuesFormat("0.#######");
  bottom->Title()->SetCaption(Translated("f,Hz"));
  TChartAxis* left = Chart1->LeftAxis();
  left->SetAutomatic(false);
  left->SetMinimumMaximum(-1, 1);
  left->Title()->SetCaption(Translated("Induction Magnitude"));

  auto arrows = [this](const char* Name, const char* Title) {
    auto* s = new TArrowSeries(this);
    s->SetName(Name);
    s->SetTitle(Title);
    s->Marks()->SetVisible(false);
    s->Pointer()->SetStyle(psRectangle);
    Chart1->AttachSeries(s);
    return s;
  };
  Series1 = arrows("Series1", "Real");
  Series1->SetSeriesColor(clNavy);
  Series2 = arrows("Series2", "Image");
  Series3 = new TPointSeries(this);
  Series3->SetName("Series3");
  Series3->SetTitle("f");
  Series3->Marks()->SetVisible(false);
  Series3->Pointer()->SetStyle(psCircle);
  Series3->Pointer()->SetHorizSize(2);
  Series3->Pointer()->SetVertSize(2);
  Chart1->AttachSeries(Series3);

  Timer1 = new TTimer(this);
  Timer1->SetEnabled(false);
  Timer1->SetInterval(100);
  Timer1->SetOnTimer([this](TObject* s) { Timer1Timer(s); });

  VxSpinEdit1->OnChange = [this](TObject* s) { VxSpinEdit1Change(s); };
  VxSpinEdit2->OnChange = [this](TObject* s) { Refresh(s); };
  VxSpinEdit3->OnChange = [this](TObject* s) { Refresh(s); };
  CheckBox1->OnClick = [this](TObject* s) { Refresh(s); };

  ChartEditorPopup(this, ChartEditor1, Chart1, "ChartEditor");
  FormStorage1 = KeepPlacement(this, "TIndVect1",
                               {"VxSpinEdit1.Value", "VxSpinEdit2.Value", "VxSpinEdit3.Value", "CheckBox1.Checked"});
  FormStorage1->OnRestorePlacement = [this](TObject* s) { FormStorage1RestorePlacement(s); };
  OnResize = [this](TObject* s) { FormStorage1RestorePlacement(s); };

  // FormCreate
  FreqStep = static_cast<int>(std::lround(static_cast<double>(VxSpinEdit1->Value())));
  Refresh(this);
  // Every change of the site redraws the view.
  Session.AddListener(this, {.OnEveryFrequencyChanged = [this](TObject* s) { Refresh(s); }});
}

TIndVect1::~TIndVect1() { Session.RemoveListener(this); }

void TIndVect1::VxSpinEdit1Change(TObject* Sender) {
  FreqStep = std::max(1, static_cast<int>(std::lround(static_cast<double>(VxSpinEdit1->Value()))));
  Refresh(Sender);
}

void TIndVect1::FormStorage1RestorePlacement(TObject*) { Timer1->SetEnabled(true); }

void TIndVect1::Timer1Timer(TObject* Sender) {
  Refresh(Sender);
  Timer1->SetEnabled(false);
}

void TIndVect1::Refresh(TObject*) {
  TMTFile* site = CurrentSite.get();
  Series3->ClearValues();
  if (!site) {
    Series1->ClearValues();
    Series2->ClearValues();
    return;
  }
  for (int i = 1; i <= site->FreqCount; ++i) Series3->AddXY(site->Frequencies[i], 0);

  const double pdec = Chart1->BottomAxis()->PixelSizeOfValue(10) - Chart1->BottomAxis()->PixelSizeOfValue(1);
  const double punit = Chart1->LeftAxis()->PixelSizeOfValue(1) - Chart1->LeftAxis()->PixelSizeOfValue(0);
  if (pdec <= 0 || punit <= 0) return;  // the chart has no size yet
  const double pixelsPerMm = Screen->PixelsPerInch() / MillimetresPerInch;
  const double kx = pixelsPerMm / pdec;   // decades per millimetre
  const double ky = pixelsPerMm / punit;  // units per millimetre
  const float sh = ScaleOf(VxSpinEdit2), sv = ScaleOf(VxSpinEdit3);

  struct TVector {
    TArrowSeries* Series;
    int Magnitude, Angle;
  };
  const TVector vectors[2] = {{Series1, pcIndVr, pcIVrAng}, {Series2, pcIndVi, pcIViAng}};
  for (int v = 0; v < 2; ++v) {
    TArrowSeries* s = vectors[v].Series;
    s->ClearValues();
    s->SetTitle(std::string(ParameterNames[vectors[v].Magnitude]));
    s->StartXValues()->SetDateTime(false);
    s->EndXValues()->SetDateTime(false);
    for (int j = 1; j <= site->FreqCount; ++j) {
      if (j % FreqStep != 0) continue;
      const double f = site->Frequencies[j];
      const float a = static_cast<float>(site->Plots[j][vectors[v].Angle]) / DegreesPerRadian;
      double l = site->Plots[j][vectors[v].Magnitude];
      if (v == 0 && CheckBox1->Checked()) l = -l;
      const double endX = f * std::pow(10.0, std::cos(a) * sh * kx * l);
      const double endY = std::sin(a) * sv * ky * l;
      s->AddArrowSegment(f, 0, endX, endY, "", s->GetSeriesColor());
    }
  }
}
