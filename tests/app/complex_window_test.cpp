// The complex-plane editing window on the sample site: curve points and estimates at the pixels
// their magnitude and phase give on the polar frame (computed here with std::polar from the
// site's tables), the hand removing and restoring exactly the clicked estimate with one "Finger"
// record and undo, navigation, the marker lines, and frequencies with nothing to show.
#include <cmath>
#include <algorithm>
#include <complex>
#include <vector>
#include <memory>

#include "app/views/complex_window.h"
#include "app/views/series_factory.h"
#include "app_fixture.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/walls_titles.h"
#include "chart/series/polar_series.h"
#include "chart/series/tools_colorline.h"
#include "mtdata/plot_columns.h"
#include "platform/actnlist.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/comctrls.h"
#include "platform/menus.h"
#include "platform/strings.h"
#include "platform/toolbars.h"

namespace {

constexpr TColor Removed = static_cast<TColor>(0x00A5FF);  // the removed colour chosen in the options

struct ComplexFixture : AppFixture {
  std::unique_ptr<TBitmap> Image;

  void Open() {
    Start();
    EXPECT_FALSE(MainForm1->AcComplexEditing->Enabled()) << "no site, no window";
    ChooseFiles({SiteFile("S107.MT1")});
    ASSERT_TRUE(MainForm1->acOpen->Execute());
    PlotSettings.Styles[20] = Removed;
    ASSERT_TRUE(MainForm1->AcComplexEditing->Enabled());
    ASSERT_TRUE(MainForm1->AcComplexEditing->Execute());
    ASSERT_TRUE(FormExists(VaroCmplx1));
    VaroCmplx1->SetBounds(0, 0, 900, 460);
    Application->ProcessMessages();
    Render(VaroCmplx1->Chart2);
  }
  void Render(TChart* C) { Image.reset(C->CreateBitmap(clWhite, TRect(0, 0, C->Width(), C->Height()), pf24bit)); }
  // True when colour Colour is within Reach pixels of (X, Y) on the last rendered image.
  bool Near(int X, int Y, TColor Colour, int Reach = 1) const {
    for (int dy = -Reach; dy <= Reach; ++dy)
      for (int dx = -Reach; dx <= Reach; ++dx)
        if (Image->Canvas()->Pixels(X + dx, Y + dy) == Colour) return true;
    return false;
  }
  // Where a value of radius Radius and phase Degrees lies on the polar frame of chart C: the
  // circle fills the chart's rectangle (an even size) and its radius axis is the left axis.
  static TPoint PolarPixel(TChart* C, double Radius, double Degrees) {
    TRect r = C->ChartRect;
    if ((r.Right - r.Left) % 2) --r.Right;
    if ((r.Bottom - r.Top) % 2) --r.Bottom;
    const double mn = C->LeftAxis()->Minimum(), mx = C->LeftAxis()->Maximum();
    const double fx = (r.Right - r.Left) / 2 / (mx - mn), fy = (r.Bottom - r.Top) / 2 / (mx - mn);
    const std::complex<double> z = std::polar(Radius - mn, Degrees * M_PI / 180);
    return TPoint((r.Left + r.Right) / 2 + static_cast<int>(std::lround(z.real() * fx)),
                  (r.Top + r.Bottom) / 2 - static_cast<int>(std::lround(z.imag() * fy)));
  }
  static void Click(TChart* C, TPoint P) {
    C->DispatchMouseMove({}, P.X, P.Y);
    C->DispatchMouseDown(mbLeft, {}, P.X, P.Y);
    C->DispatchMouseUp(mbLeft, {}, P.X, P.Y);
  }
  static TChartSeries* Series(TChart* C, int I) { return C->SeriesList()->SeriesAt(I); }
  static std::string Status(int I) { return MainForm1->StatusBar1->Panels()->Items(I)->Text(); }
  // The Rhoxy estimate x of the current frequency, placed on Chart2.
  static TPoint EstimatePixel(int X) {
    const int f = VaroCmplx1->CurFreq;
    const double rho = CurrentSite->PartialPlots[f - 1][pcRhoxyOhmm - 1][X - 1];
    const double phase = CurrentSite->PartialPlots[f - 1][pcPHASExyDeg - 1][X - 1];
    return PolarPixel(VaroCmplx1->Chart2, std::log10(rho), phase);
  }
  // The used Rhoxy estimate of the current frequency farthest from every other estimate drawn.
  static int LonelyEstimate(int& Distance) {
    const int f = VaroCmplx1->CurFreq;
    int best = 0;
    Distance = -1;
    for (int x = 1; x <= CurrentSite->XprCount[f]; ++x) {
      if (CurrentSite->Mask[f][x] != 1 || !(CurrentSite->PartialPlots[f - 1][pcRhoxyOhmm - 1][x - 1] > 0)) continue;
      const TPoint p = EstimatePixel(x);
      int nearest = 1 << 20;
      for (int c = 0; c < 2; ++c) {
        TChartSeries* s = Series(VaroCmplx1->Chart2, c);
        for (int i = 0; i < s->PointCount(); ++i)
          if (s->LabelAt(i) != IntToStr(x))  // the same estimate's other curve may lie under it
            nearest = std::min(nearest, std::max(std::abs(s->ScreenXAt(i) - p.X), std::abs(s->ScreenYAt(i) - p.Y)));
      }
      if (nearest > Distance) Distance = nearest, best = x;
    }
    return best;
  }
};

}  // namespace

TEST_F(ComplexFixture, OpensOnTheResistivityCurvesWithTheirPointsAtTheirPolarPixels) {
  Open();
  TVaroCmplx1* w = VaroCmplx1;
  EXPECT_EQ(w->PlotType, 1);
  EXPECT_TRUE(w->AppResistivity1->Checked());
  EXPECT_EQ(w->Chart1->Title()->Text()->Strings(0), "Apparent resistivity RHOxy,RHOyx");
  EXPECT_EQ(w->Chart2->Title()->Text()->Strings(0), "Partial solutions of Apparent resistivity");
  ASSERT_EQ(w->Chart1->SeriesList()->Count(), 2);
  TChartSeries* rhoxy = Series(w->Chart1, 0);
  int rows = 0;
  for (int r = 1; r <= CurrentSite->FreqCount; ++r) rows += CurrentSite->Frequencies[r] > 0;
  ASSERT_EQ(rhoxy->PointCount(), rows);
  // The last point of the first curve is selected and its frequency's estimates are shown.
  EXPECT_EQ(w->MarkedPoint, rows - 1);
  EXPECT_EQ(w->CurFreq, StrToInt(rhoxy->LabelAt(rows - 1)));
  int estimates = 0;
  for (int x = 1; x <= CurrentSite->XprCount[w->CurFreq]; ++x)
    estimates += CurrentSite->PartialPlots[w->CurFreq - 1][pcRhoxyOhmm - 1][x - 1] > 0;
  EXPECT_EQ(Series(w->Chart2, 0)->PointCount(), estimates);
  EXPECT_EQ(Status(1), Format("f=%d", {w->CurFreq}));
  EXPECT_EQ(rhoxy->PointColorAt(rows - 1), Removed) << "the selected frequency in the removed colour";

  // Curve points on a fixed radius scale, drawn without their joining lines.
  w->Chart1->LeftAxis()->SetMinimumMaximum(0, 4);
  for (int c = 0; c < 2; ++c) static_cast<TPolarSeries*>(Series(w->Chart1, c))->Pen()->SetVisible(false);
  Render(w->Chart1);
  for (int i : {2, rows / 2, rows - 3}) {
    const int r = StrToInt(rhoxy->LabelAt(i));
    const struct {
      int Magnitude, Phase;
      TColor Colour;
    } curves[] = {{pcRhoxyOhmm, pcPHASExyDeg, clRed}, {pcRhoyxOhmm, pcPHASEyxDeg, clGreen}};
    for (const auto& c : curves) {
      const TPoint p =
          PolarPixel(w->Chart1, std::log10(CurrentSite->Plots[r][c.Magnitude]), CurrentSite->Plots[r][c.Phase]);
      EXPECT_TRUE(Near(p.X, p.Y, c.Colour)) << "row " << r << " at " << p.X << "," << p.Y;
    }
  }
}

TEST_F(ComplexFixture, LinearScaleDrawsTheMagnitudeItselfAsRadius) {
  Open();
  TVaroCmplx1* w = VaroCmplx1;
  TChartSeries* s = Series(w->Chart1, 0);
  const int r = StrToInt(s->LabelAt(3));
  EXPECT_NEAR(s->YValueAt(3), std::log10(CurrentSite->Plots[r][pcRhoxyOhmm]), 1e-12);
  EXPECT_NEAR(s->XValueAt(3), CurrentSite->Plots[r][pcPHASExyDeg], 1e-12);
  w->LinearScale1->Click();
  EXPECT_TRUE(w->LinearOn);
  s = Series(w->Chart1, 0);
  EXPECT_NEAR(s->YValueAt(3), CurrentSite->Plots[r][pcRhoxyOhmm], 1e-9);
  const int f = w->CurFreq;
  TChartSeries* e = Series(w->Chart2, 0);
  ASSERT_GT(e->PointCount(), 0);
  const int x = StrToInt(e->LabelAt(0));
  EXPECT_NEAR(e->YValueAt(0), CurrentSite->PartialPlots[f - 1][pcRhoxyOhmm - 1][x - 1], 1e-9);
  // With the linear scale a key fits both charts to twice the selected magnitude.
  const double y = Series(w->Chart1, 0)->YValueAt(w->CurFreq - 1);
  w->DispatchKeyDown(VK_UP, {});
  EXPECT_DOUBLE_EQ(w->Chart1->LeftAxis()->Maximum(), 2 * y);
  EXPECT_DOUBLE_EQ(w->Chart2->BottomAxis()->Maximum(), 2 * y);
}

TEST_F(ComplexFixture, HandRemovesAndRestoresTheClickedEstimateWithUndo) {
  Open();
  TVaroCmplx1* w = VaroCmplx1;
  ASSERT_TRUE(MainForm1->AcHand->Enabled());
  MainForm1->AcHand->Execute();
  ASSERT_TRUE(MainForm1->AcHand->Checked());
  // The sample's estimates crowd round one value with a few far outliers: the radius scale is
  // narrowed to the crowd (as the user does through the properties) until one stands alone.
  int distance = 0, x = 0;
  const int points = Series(w->Chart1, 0)->PointCount();
  for (int i = points - 1; i >= 0 && distance < 4; --i) {
    w->Navigate(nullptr, i == points - 1 ? 1 : 3);
    const int f = w->CurFreq;
    std::vector<double> radii;
    for (int e = 1; e <= CurrentSite->XprCount[f]; ++e)
      if (const double rho = CurrentSite->PartialPlots[f - 1][pcRhoxyOhmm - 1][e - 1]; rho > 0)
        radii.push_back(std::log10(rho));
    if (radii.size() < 3) continue;
    std::sort(radii.begin(), radii.end());
    const double low = radii[radii.size() / 4], high = radii[radii.size() * 3 / 4];
    if (!(high > low)) continue;
    w->Chart1->LeftAxis()->SetMinimumMaximum(low - (high - low), high + (high - low));
    w->Chart1Click(nullptr);
    Render(w->Chart2);
    x = LonelyEstimate(distance);
  }
  ASSERT_GT(x, 0);
  ASSERT_GE(distance, 4) << "an estimate of its own on the chart";
  const int f = w->CurFreq;
  const TPoint p = EstimatePixel(x);
  const int index = Series(w->Chart2, 0)->Labels->FindLabel(IntToStr(x));
  ASSERT_GE(index, 0);
  EXPECT_LE(std::abs(Series(w->Chart2, 0)->ScreenXAt(index) - p.X), 1);
  EXPECT_LE(std::abs(Series(w->Chart2, 0)->ScreenYAt(index) - p.Y), 1);
  EXPECT_TRUE(Near(p.X, p.Y, clRed)) << "a used estimate in its curve's colour";
  EXPECT_FALSE(Near(p.X, p.Y, Removed));

  const std::string mask0 = MaskText();
  const double rho0 = CurrentSite->Plots[f][pcRhoxyOhmm];
  const size_t records = JournalActions().size();
  Click(w->Chart2, p);
  std::string expected = mask0;
  expected[static_cast<size_t>((f - 1) * MaxXpr + (x - 1))] = '2';
  EXPECT_EQ(MaskText(), expected) << "exactly the clicked estimate is removed";
  ASSERT_EQ(JournalActions().size(), records + 1);
  EXPECT_EQ(JournalActions().back(), "Finger");
  const double rho1 = CurrentSite->Plots[f][pcRhoxyOhmm];
  EXPECT_NE(rho1, rho0) << "the frequency is stacked again without the estimate";
  EXPECT_NEAR(Series(w->Chart1, 0)->YValueAt(w->MarkedPoint), std::log10(rho1), 1e-12) << "the curve follows";
  EXPECT_EQ(w->CurFreq, f);
  EXPECT_EQ(Status(4), Format("Xpr=%d", {x}));
  Render(w->Chart2);
  EXPECT_TRUE(Near(EstimatePixel(x).X, EstimatePixel(x).Y, Removed)) << "the removed estimate in the removed colour";

  Click(w->Chart2, EstimatePixel(x));
  EXPECT_EQ(MaskText(), mask0) << "a second click restores it";
  EXPECT_EQ(JournalActions().size(), records + 2);
  EXPECT_DOUBLE_EQ(CurrentSite->Plots[f][pcRhoxyOhmm], rho0);

  MainForm1->AcUndo->Execute();
  EXPECT_EQ(MaskText(), expected);
  EXPECT_DOUBLE_EQ(CurrentSite->Plots[f][pcRhoxyOhmm], rho1);
  Render(w->Chart2);
  EXPECT_TRUE(Near(EstimatePixel(x).X, EstimatePixel(x).Y, Removed));
  MainForm1->AcUndo->Execute();
  EXPECT_EQ(MaskText(), mask0);
  EXPECT_DOUBLE_EQ(CurrentSite->Plots[f][pcRhoxyOhmm], rho0);
  Render(w->Chart2);
  EXPECT_TRUE(Near(EstimatePixel(x).X, EstimatePixel(x).Y, clRed));
  EXPECT_FALSE(Near(EstimatePixel(x).X, EstimatePixel(x).Y, Removed));

  // Without the hand a click only tells about the estimate; a zero weight says "Xpr=0".
  MainForm1->AcPointer->Execute();
  CurrentSite->Weight2[f][x] = 0;
  Click(w->Chart2, EstimatePixel(x));
  EXPECT_EQ(MaskText(), mask0);
  EXPECT_EQ(Status(5), "Xpr=0");
  // A rejected estimate (mask 0) never changes, even with the hand.
  MainForm1->AcHand->Execute();
  CurrentSite->Mask[f][x] = 0;
  const size_t before = JournalActions().size();
  Click(w->Chart2, EstimatePixel(x));
  EXPECT_EQ(CurrentSite->Mask[f][x], 0);
  EXPECT_EQ(JournalActions().size(), before);
}

TEST_F(ComplexFixture, NavigationRunsFromTheLastPointAndTheSpaceKeyTurnsAtTheEnds) {
  Open();
  TVaroCmplx1* w = VaroCmplx1;
  const int count = Series(w->Chart1, 0)->PointCount();
  MainForm1->AcLast->Execute();
  EXPECT_EQ(w->MarkedPoint, 0);
  EXPECT_EQ(w->NavState, 2);
  w->DispatchKeyDown(VK_SPACE, {});  // 2 is even: "Prior" moves up the list
  EXPECT_EQ(w->MarkedPoint, 1);
  EXPECT_EQ(w->CurFreq, StrToInt(Series(w->Chart1, 0)->LabelAt(1)));
  EXPECT_EQ(Series(w->Chart1, 0)->PointColorAt(0), clRed) << "the old mark loses its colour";
  MainForm1->AcFirst->Execute();
  EXPECT_EQ(w->MarkedPoint, count - 1);
  EXPECT_EQ(w->NavState, 3);
  w->DispatchKeyDown(VK_SPACE, {});  // 3 is odd: "Next" moves down
  EXPECT_EQ(w->MarkedPoint, count - 2);
  w->DispatchKeyDown(VK_RIGHT, {});
  EXPECT_EQ(w->MarkedPoint, count - 3);
  w->DispatchKeyDown(VK_LEFT, {});
  EXPECT_EQ(w->MarkedPoint, count - 2);
  // A click on a curve point selects its frequency.
  Render(w->Chart1);
  TChartSeries* s = Series(w->Chart1, 1);
  Click(w->Chart1, TPoint(s->ScreenXAt(4), s->ScreenYAt(4)));
  EXPECT_EQ(w->MarkedPoint, 4);
  EXPECT_EQ(w->CurFreq, StrToInt(s->LabelAt(4)));
}

TEST_F(ComplexFixture, MarkerLinesCrossAtTheSelectedValueOnTheEstimateChart) {
  Open();
  TVaroCmplx1* w = VaroCmplx1;
  EXPECT_FALSE(w->ChartTool1->Active());
  MainForm1->AcMeanView->Execute();
  ASSERT_TRUE(w->MeanOn);
  for (TColorLineTool* t : {w->ChartTool1, w->ChartTool2, w->ChartTool3, w->ChartTool4}) EXPECT_TRUE(t->Active());
  Render(w->Chart2);
  const int f = w->CurFreq;
  const TPoint p =
      PolarPixel(w->Chart2, std::log10(CurrentSite->Plots[f][pcRhoxyOhmm]), CurrentSite->Plots[f][pcPHASExyDeg]);
  const TRect r = w->Chart2->ChartRect;
  // The red vertical line at the real part, the red horizontal one at the imaginary part.
  EXPECT_TRUE(Near(p.X, r.Top + 3, clRed)) << p.X;
  EXPECT_TRUE(Near(p.X, r.Bottom - 3, clRed));
  EXPECT_TRUE(Near(r.Left + 3, p.Y, clRed)) << p.Y;
  EXPECT_TRUE(Near(r.Right - 3, p.Y, clRed));
  const TPoint q =
      PolarPixel(w->Chart2, std::log10(CurrentSite->Plots[f][pcRhoyxOhmm]), CurrentSite->Plots[f][pcPHASEyxDeg]);
  EXPECT_TRUE(Near(q.X, r.Top + 3, clGreen)) << q.X;
  EXPECT_TRUE(Near(r.Left + 3, q.Y, clGreen)) << q.Y;
  MainForm1->AcMeanView->Execute();
  EXPECT_FALSE(w->ChartTool1->Active());
}

TEST_F(ComplexFixture, FrequenciesWithNothingToShowAreSaidAndNeverCrash) {
  Open();
  TVaroCmplx1* w = VaroCmplx1;
  const int count = Series(w->Chart1, 0)->PointCount();
  // Every estimate of one frequency removed: nothing is computed, its curve point has no radius,
  // its estimates stay on the chart in the removed colour.
  const int i = count / 2, f = StrToInt(Series(w->Chart1, 0)->LabelAt(i));
  for (int x = 1; x <= CurrentSite->XprCount[f]; ++x)
    if (CurrentSite->Mask[f][x] == 1) CurrentSite->Mask[f][x] = 2;
  CommitMaskEdit(f, "Test");
  w->Navigate(nullptr, 4);
  for (int k = 0; k < i; ++k) w->Navigate(nullptr, 2);
  ASSERT_EQ(w->CurFreq, f);
  ASSERT_EQ(w->Chart2->Foot()->Text()->Count(), 1);
  EXPECT_EQ(w->Chart2->Foot()->Text()->Strings(0), Format("f=%d: every estimate is removed, nothing computed", {f}));
  if (!(CurrentSite->Plots[f][pcRhoxyOhmm] > 0)) {
    EXPECT_TRUE(Series(w->Chart1, 0)->IsNullPoint(i));
  }
  ASSERT_GT(Series(w->Chart2, 0)->PointCount(), 0);
  EXPECT_EQ(Series(w->Chart2, 0)->PointColorAt(0), Removed);
  Render(w->Chart1);
  Render(w->Chart2);

  // No estimates at all, and a magnitude of zero on the logarithmic radius.
  CurrentSite->XprCount[f] = 0;
  CurrentSite->Plots[f][pcRhoxyOhmm] = 0;
  w->Refresh(nullptr);
  EXPECT_EQ(Series(w->Chart2, 0)->PointCount(), 0);
  ASSERT_EQ(w->Chart2->Foot()->Text()->Count(), 1);
  EXPECT_EQ(w->Chart2->Foot()->Text()->Strings(0), Format("f=%d: no estimates", {f}));
  EXPECT_TRUE(Series(w->Chart1, 0)->IsNullPoint(i));
  MainForm1->AcMeanView->Execute();
  EXPECT_FALSE(w->ChartTool1->Active()) << "no line for a value that has no place";
  Render(w->Chart1);
  Render(w->Chart2);
  w->Navigate(nullptr, 2);
  EXPECT_FALSE(w->Chart2->Foot()->Visible());

  // The tipper: titles and empty series; keys and navigation find nothing to select.
  w->Tipper1->Click();
  EXPECT_EQ(w->PlotType, 2);
  EXPECT_EQ(w->Chart1->Title()->Text()->Strings(0), "Tipper magnitude T");
  ASSERT_EQ(w->Chart1->SeriesList()->Count(), 3);
  EXPECT_EQ(Series(w->Chart1, 0)->PointCount(), 0);
  w->LinearScale1->Click();
  w->DispatchKeyDown(VK_SPACE, {});
  MainForm1->AcFirst->Execute();
  Render(w->Chart1);
  Render(w->Chart2);
  w->Impedance1->Click();
  EXPECT_EQ(w->Chart1->SeriesList()->Count(), 5);

  // Closing the site closes the window with it.
  MainForm1->acClose->Execute();
  EXPECT_FALSE(FormExists(VaroCmplx1));
  EXPECT_FALSE(MainForm1->AcComplexEditing->Enabled());
}
