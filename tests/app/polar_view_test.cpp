// The polar diagrams view on the sample site: the grid of charts for a range and step, the curves
// of the rotated impedance against a rotation of the tensor done here with complex matrices, the
// normalisations, and the check states kept with the layout.
#include <cmath>
#include <complex>
#include <vector>

#include "app/views/polar_view.h"
#include "view_fixture.h"
#include "chart/engine/chart.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/walls_titles.h"
#include "chart/engine/value_lists.h"
#include "chart/series/polar_series.h"
#include "controls/vx_checklist.h"
#include "controls/vx_spin.h"
#include "mtdata/plot_columns.h"
#include "platform/actnlist.h"
#include "platform/extctrls.h"
#include "platform/graphics.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

namespace {

using cplx = std::complex<double>;

struct PolarFixture : ViewFixture {
  void Open() {
    OpenSite({SiteFile("S107.MT1")});
    ShowView(PolarDiag1);
    ASSERT_TRUE(FormExists(PolarDiag1));
    PolarDiag1->SetBounds(0, 0, 700, 560);
    Application->ProcessMessages();
  }
  static void Range(int First, int Last, int Step) {
    PolarDiag1->VxSpinEdit1->SetValue(Step);
    PolarDiag1->ComboBox1->SetItemIndex(First);
    PolarDiag1->ComboBox2->SetItemIndex(Last);
    PolarDiag1->Refresh(nullptr);
  }
  // The impedance of frequency F turned by Degrees: R Z R^T with R = [[c, s], [-s, c]].
  static void Rotated(int F, double Degrees, cplx& Zxy, cplx& Zxx) {
    const auto& p = CurrentSite->Plots[F];
    const cplx xx(p[pcZxxReRot], p[pcZxxImRot]), xy(p[pcZxyReRot], p[pcZxyImRot]);
    const cplx yx(p[pcZyxReRot], p[pcZyxImRot]), yy(p[pcZyyReRot], p[pcZyyImRot]);
    const double a = Degrees * M_PI / 180, c = std::cos(a), s = std::sin(a);
    Zxx = c * c * xx + c * s * (xy + yx) + s * s * yy;
    Zxy = c * c * xy - c * s * xx + c * s * yy - s * s * yx;
  }
  static void SetImpedance(int F, cplx Xx, cplx Xy, cplx Yx, cplx Yy) {
    auto p = CurrentSite->Plots[F];
    p[pcZxxReRot] = Xx.real(), p[pcZxxImRot] = Xx.imag(), p[pcZxyReRot] = Xy.real(), p[pcZxyImRot] = Xy.imag();
    p[pcZyxReRot] = Yx.real(), p[pcZyxImRot] = Yx.imag(), p[pcZyyReRot] = Yy.real(), p[pcZyyImRot] = Yy.imag();
  }
  static TPolarSeries* Curve(int Chart, int Index) {
    TChart* c = PolarDiag1->PolarCharts.at(Chart);
    if (!c || Index >= c->SeriesList()->Count()) return nullptr;
    return dynamic_cast<TPolarSeries*>(c->SeriesList()->Items(Index));
  }
};

}  // namespace

TEST_F(PolarFixture, RangeAndStepMakeTheGridInRowOrder) {
  Open();
  ASSERT_GE(CurrentSite->ValidFreqCount, 10);
  EXPECT_EQ(PolarDiag1->Caption(), "Polar diagrams");
  EXPECT_EQ(PolarDiag1->ComboBox1->Items()->Count(), CurrentSite->ValidFreqCount);
  EXPECT_EQ(PolarDiag1->ComboBox1->Items()->Strings(0), FormatFloat("0.########", CurrentSite->Frequencies[1]));
  EXPECT_EQ(PolarDiag1->ComboBox2->ItemIndex(), CurrentSite->ValidFreqCount - 1);

  struct {
    int Step, Count, Rows, Cols;
  } cases[] = {{1, 10, 3, 4}, {2, 5, 2, 3}, {20, 1, 1, 1}};
  for (const auto& c : cases) {
    Range(2, 11, c.Step);  // frequencies 3..12
    EXPECT_EQ(PolarDiag1->ChartCount, c.Count) << c.Step;
    EXPECT_EQ(PolarDiag1->GridRows, c.Rows) << c.Step;
    EXPECT_EQ(PolarDiag1->GridCols, c.Cols) << c.Step;
    const int w = PolarDiag1->Panel2->Width() / c.Cols, h = PolarDiag1->Panel2->Height() / c.Rows;
    for (int k = 0; k < c.Count; ++k) {
      TChart* chart = PolarDiag1->PolarCharts.at(k);
      ASSERT_NE(chart, nullptr) << k;
      EXPECT_EQ(chart->Left(), (k % c.Cols) * w) << k;
      EXPECT_EQ(chart->Top(), (k / c.Cols) * h) << k;
      EXPECT_EQ(chart->Width(), w);
      const int f = 3 + k * c.Step;
      EXPECT_EQ(chart->Title()->Text()->Strings(0), FormatFloat("0.######## Hz", CurrentSite->Frequencies[f]));
    }
    for (size_t k = c.Count; k < PolarDiag1->PolarCharts.size(); ++k) EXPECT_EQ(PolarDiag1->PolarCharts[k], nullptr);
  }
  // The last row of the ten holds charts 8 and 9; a resize moves them with their cells.
  Range(2, 11, 1);
  PolarDiag1->SetBounds(0, 0, 900, 700);
  Application->ProcessMessages();
  const int w = PolarDiag1->Panel2->Width() / 4, h = PolarDiag1->Panel2->Height() / 3;
  EXPECT_EQ(PolarDiag1->PolarCharts[9]->Left(), w);
  EXPECT_EQ(PolarDiag1->PolarCharts[9]->Top(), 2 * h);
  EXPECT_EQ(PolarDiag1->PolarCharts[9]->Height(), h);
  // The last frequency before the first: the same range the other way round.
  Range(11, 2, 1);
  EXPECT_EQ(PolarDiag1->ChartCount, 10);
}

TEST_F(PolarFixture, CurvesAreTheMagnitudesOfTheRotatedImpedance) {
  Open();
  Range(4, 4, 1);  // frequency 5 only
  double largest = 0;
  for (int j = 0; j < 60; ++j) {
    cplx xy, xx;
    Rotated(5, 6.0 * j, xy, xx);
    largest = std::max(largest, std::abs(xy));
  }
  ASSERT_GT(largest, 0);
  // Expected radius of point J of the Zxy (Which 0) or the Zxx curve (Which 1) for the scaling Mode:
  // 0 none, 1 Zxy by its largest and Zxx by Zxy at the angle, 2 Zxy and Zxx by the largest Zxy.
  auto expected = [&](int Which, int Mode, int J) {
    cplx xy, xx;
    Rotated(5, 6.0 * J, xy, xx);
    if (Which == 0) return Mode == 0 ? std::abs(xy) : std::abs(xy) / largest;
    return Mode == 0 ? std::abs(xx) : Mode == 1 ? std::abs(xx) / std::abs(xy) : std::abs(xx) / largest;
  };
  auto check = [&](int Mode) {
    for (int which = 0; which < 2; ++which) {
      TPolarSeries* s = Curve(0, which);
      ASSERT_NE(s, nullptr);
      ASSERT_EQ(s->PointCount(), 60);
      EXPECT_TRUE(s->Circled());
      EXPECT_FALSE(s->Pointer()->Visible());
      for (int j = 0; j < 60; ++j) {
        const double e = expected(which, Mode, j);
        EXPECT_DOUBLE_EQ(s->XValues()->Value(j), 6.0 * j);
        EXPECT_NEAR(s->YValues()->Value(j), e, 1e-4 * e + 1e-9) << "curve " << which << " mode " << Mode << " " << j;
      }
    }
  };
  EXPECT_TRUE(PolarDiag1->RadioButton1->Checked());
  check(0);
  PolarDiag1->CheckBox2->SetChecked(true);  // "Normalize Zxy": "Zxx/Zxy at angle" takes over
  PolarDiag1->CheckBox2Click(nullptr);
  EXPECT_TRUE(PolarDiag1->RadioButton2->Checked());
  check(1);
  EXPECT_NEAR(Curve(0, 0)->YValues()->MaxValue(), 1.0, 1e-6);
  PolarDiag1->RadioButton3->SetChecked(true);  // "Zxx/ZxyMax"
  PolarDiag1->Refresh(nullptr);
  check(2);
  // Unchecking a component leaves its curve out.
  PolarDiag1->CheckListBox1->SetItemChecked(0, false);
  PolarDiag1->Refresh(nullptr);
  ASSERT_NE(Curve(0, 0), nullptr);
  EXPECT_EQ(Curve(0, 0)->Title(), "Zxx");
  EXPECT_EQ(Curve(0, 1), nullptr);
}

TEST_F(PolarFixture, OneDimensionalImpedanceIsACircleWithZxxAtZero) {
  Open();
  const cplx zxy(3, 4);  // |Zxy| = 5
  SetImpedance(1, 0, zxy, -zxy, 0);
  Range(0, 0, 1);
  PolarDiag1->CheckBox2->SetChecked(false);
  PolarDiag1->CheckBox2Click(nullptr);
  PolarDiag1->RadioButton1->SetChecked(true);  // "No Normalize", enabled now
  PolarDiag1->Refresh(nullptr);
  TPolarSeries* xy = Curve(0, 0);
  TPolarSeries* xx = Curve(0, 1);
  ASSERT_TRUE(xy && xx);
  for (int j = 0; j < 60; ++j) {
    EXPECT_NEAR(xy->YValues()->Value(j), 5.0, 1e-5) << j;
    EXPECT_NEAR(xx->YValues()->Value(j), 0.0, 1e-5) << j;
  }
  // On the screen: every point of the circle as far from the centre, drawn in the curve's colour.
  TChart* c = PolarDiag1->PolarCharts[0];
  std::unique_ptr<TBitmap> image(c->CreateBitmap(clWhite, TRect(0, 0, c->Width(), c->Height()), pf24bit));
  const double cx = (xy->ScreenXAt(0) + xy->ScreenXAt(30)) / 2.0, cy = (xy->ScreenYAt(15) + xy->ScreenYAt(45)) / 2.0;
  const double r = std::hypot(xy->ScreenXAt(0) - cx, xy->ScreenYAt(0) - cy);
  EXPECT_GT(r, 20);
  for (int j = 0; j < 60; j += 5) {
    EXPECT_NEAR(std::hypot(xy->ScreenXAt(j) - cx, xy->ScreenYAt(j) - cy), r, 1.5) << j;
    EXPECT_EQ(image->Canvas()->Pixels(xy->ScreenXAt(j), xy->ScreenYAt(j)), xy->GetSeriesColor()) << j;
  }
}

TEST_F(PolarFixture, FrequencyWithoutDataLeavesItsCellEmpty) {
  Open();
  SetImpedance(3, 0, 0, 0, 0);
  Range(1, 3, 1);  // frequencies 2, 3, 4
  EXPECT_NE(PolarDiag1->PolarCharts[0], nullptr);
  EXPECT_EQ(PolarDiag1->PolarCharts[1], nullptr);
  EXPECT_NE(PolarDiag1->PolarCharts[2], nullptr);
}

TEST_F(PolarFixture, NormalizeZxySwitchesTheZxxTypes) {
  Open();
  TPolarDiag1* v = PolarDiag1;
  v->CheckBox2->SetChecked(false);
  v->CheckBox2Click(nullptr);
  EXPECT_TRUE(v->RadioButton1->Enabled());
  EXPECT_FALSE(v->RadioButton2->Enabled());
  EXPECT_FALSE(v->RadioButton3->Enabled());
  EXPECT_TRUE(v->RadioButton1->Checked());
  v->CheckBox2->SetChecked(true);
  v->CheckBox2Click(nullptr);
  EXPECT_FALSE(v->RadioButton1->Enabled());
  EXPECT_TRUE(v->RadioButton2->Enabled());
  EXPECT_TRUE(v->RadioButton2->Checked());
}

TEST_F(PolarFixture, ChecksAndStepAreKeptWithTheLayout) {
  Open();
  PolarDiag1->CheckListBox1->SetItemChecked(1, false);
  PolarDiag1->VxSpinEdit1->SetValue(3);
  PolarDiag1->CheckBox2->SetChecked(true);
  PolarDiag1->Close();
  Application->ProcessMessages();
  EXPECT_FALSE(FormExists(PolarDiag1));
  ShowView(PolarDiag1);
  ASSERT_TRUE(FormExists(PolarDiag1));
  EXPECT_TRUE(PolarDiag1->CheckListBox1->GetItemChecked(0));
  EXPECT_FALSE(PolarDiag1->CheckListBox1->GetItemChecked(1));
  EXPECT_EQ(static_cast<int>(PolarDiag1->VxSpinEdit1->Value()), 3);
  EXPECT_TRUE(PolarDiag1->CheckBox2->Checked());
  EXPECT_FALSE(PolarDiag1->RadioButton1->Enabled());
  EXPECT_EQ(PolarDiag1->FreqStep, 3);
}

TEST_F(PolarFixture, NormalizeZxxBringsACurveBeyondOneDownToOne) {
  Open();
  // Zxx = Zyy and Zyx = -Zxy: both magnitudes stay the same at every angle.
  SetImpedance(1, 10, 1, -1, 10);
  SetImpedance(2, 0.5, 1, -1, 0.5);
  Range(0, 1, 1);
  ASSERT_TRUE(PolarDiag1->RadioButton1->Checked());  // "No Normalize"
  struct {
    bool Normalize;
    double First, Second;
  } cases[] = {{false, 10, 0.5}, {true, 1, 0.5}};
  for (const auto& c : cases) {
    PolarDiag1->CheckBox1->SetChecked(c.Normalize);
    PolarDiag1->Refresh(nullptr);
    for (int j = 0; j < 60; j += 11) {
      EXPECT_NEAR(Curve(0, 1)->YValues()->Value(j), c.First, 1e-5) << c.Normalize;
      EXPECT_NEAR(Curve(1, 1)->YValues()->Value(j), c.Second, 1e-5) << c.Normalize;
    }
  }
}

// The charts stay from one refresh to the next: a new impedance of one frequency sets new points
// on that frequency's chart, and every chart keeps its place; a frequency that loses its data
// empties its cell and gets a chart again when the data comes back.
TEST_F(PolarFixture, RefreshKeepsTheChartsAndFollowsAChangedFrequency) {
  Open();
  Range(1, 3, 1);  // frequencies 2, 3, 4
  const std::vector<TChart*> before(PolarDiag1->PolarCharts.begin(), PolarDiag1->PolarCharts.begin() + 3);
  for (TChart* c : before) ASSERT_NE(c, nullptr);
  SetImpedance(3, {0.1, 0.05}, {2, 1}, {-1.5, -0.5}, {0.2, -0.1});
  PolarDiag1->Refresh(nullptr);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(PolarDiag1->PolarCharts[k], before[k]) << k;
  for (int j = 0; j < 60; ++j) {
    cplx xy, xx;
    Rotated(3, 6.0 * j, xy, xx);
    EXPECT_NEAR(Curve(1, 0)->YValues()->Value(j), std::abs(xy), 1e-4 * std::abs(xy)) << j;
    EXPECT_NEAR(Curve(1, 1)->YValues()->Value(j), std::abs(xx), 1e-4 * std::abs(xx) + 1e-9) << j;
  }
  SetImpedance(3, 0, 0, 0, 0);
  PolarDiag1->Refresh(nullptr);
  EXPECT_EQ(PolarDiag1->PolarCharts[1], nullptr);
  SetImpedance(3, {0.1, 0.05}, {2, 1}, {-1.5, -0.5}, {0.2, -0.1});
  PolarDiag1->Refresh(nullptr);
  ASSERT_NE(Curve(1, 0), nullptr);
  EXPECT_EQ(Curve(1, 0)->PointCount(), 60);
  EXPECT_EQ(PolarDiag1->PolarCharts[1]->Title()->Text()->Strings(0),
            FormatFloat("0.######## Hz", CurrentSite->Frequencies[3]));
}

// Dragged as small as it goes, the view keeps its side panel whole and a column of charts.
TEST_F(PolarFixture, DraggedSmallTheSidePanelStaysWhole) {
  Open();
  for (int w : {300, 150, 100}) SendWindowGeometry(PolarDiag1, 0, 0, w, w * 2 / 3);
  TPanel* side = PolarDiag1->Panel1;
  for (int i = 0; i < side->ControlCount(); ++i) {
    TControl* c = side->Controls(i);
    if (c->Visible()) {
      EXPECT_LE(c->Top() + c->Height(), side->ClientHeight()) << c->Name();
    }
  }
  EXPECT_GE(PolarDiag1->Panel2->Width(), 120);
}
