// The MT curve series with its error bars, the three MT chart functions and the series factory
// that gives every curve of the views its colour and point style.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "app/views/errpoint_series.h"
#include "app/views/series_factory.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/legend.h"
#include "chart/engine/registries.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "chart/series/polar_series.h"
#include "mtdata/mt_types.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace {

// A 2D chart on white with fixed axes and no grid, drawn into a bitmap.
struct TCurveChart {
  TChart Chart{nullptr};
  std::unique_ptr<TBitmap> Image;
  TCurveChart() {
    Chart.SetBounds(0, 0, 300, 240);
    Chart.SetView3D(false);
    Chart.SetBevelOuter(bvNone);
    Chart.SetColor(clWhite);
    Chart.Legend()->SetVisible(false);
    Chart.BottomAxis()->Grid()->SetVisible(false);
    Chart.LeftAxis()->Grid()->SetVisible(false);
    Chart.BottomAxis()->SetMinimumMaximum(0, 10);
    Chart.LeftAxis()->SetMinimumMaximum(0, 10);
  }
  void Render() { Image.reset(Chart.CreateBitmap(clWhite, TRect(0, 0, Chart.Width(), Chart.Height()), pf24bit)); }
  TColor At(int X, int Y) const { return Image->Canvas()->Pixels(X, Y); }
  int X(double V) { return Chart.BottomAxis()->ValueToPixel(V); }
  int Y(double V) { return Chart.LeftAxis()->ValueToPixel(V); }
};

std::vector<double> Values(TChartValueList* L) {
  std::vector<double> v;
  for (int i = 0; i < L->Count(); ++i) v.push_back(L->Value(i));
  return v;
}

}  // namespace

TEST(ErrPointSeries, BarsEndInCapsOfTheGapInThePointColour) {
  TCurveChart c;
  auto* s = new TErrPointSeries(nullptr);
  c.Chart.AttachSeries(s);
  s->SetSeriesColor(clRed);
  s->ErrLinePen()->SetColor(clBlue);  // the bars take each point's colour all the same
  s->Pointer()->SetVisible(false);
  s->Pen()->SetVisible(false);
  s->SetHorizGap(4);
  s->AddErrPoint(5, 5, 2, 8);
  s->AddErrPoint(2, 3, 3, 3, "", clLime);  // a bar of no length: two caps on the point
  c.Render();
  const int x = c.X(5), yHigh = c.Y(8), yLow = c.Y(2);
  EXPECT_EQ(c.At(x, (yHigh + yLow) / 2), clRed);
  EXPECT_EQ(c.At(x, c.Y(7)), clRed);
  EXPECT_EQ(c.At(x, c.Y(3)), clRed);
  EXPECT_EQ(c.At(x - 4, yHigh), clRed) << "the cap starts HorizGap to the left";
  EXPECT_EQ(c.At(x + 3, yLow), clRed);
  EXPECT_EQ(c.At(x - 5, yHigh), clWhite);
  EXPECT_EQ(c.At(x, c.Y(9)), clWhite) << "nothing above the high end";
  int capPixels = 0;
  for (int px = c.X(2) - 10; px <= c.X(2) + 10; ++px) capPixels += c.At(px, c.Y(3)) == clLime;
  EXPECT_EQ(capPixels, 2 * 4);
}

TEST(ErrPointSeries, WithHiddenBarsDrawsLikeALineSeries) {
  TCurveChart a, b;
  auto* e = new TErrPointSeries(nullptr);
  a.Chart.AttachSeries(e);
  auto* l = new TLineSeries(nullptr);
  b.Chart.AttachSeries(l);
  l->Pointer()->SetVisible(true);
  l->Pointer()->SetDraw3D(false);
  l->Pointer()->SetStyle(psDiamond);
  for (TChartSeries* s : {static_cast<TChartSeries*>(e), static_cast<TChartSeries*>(l)}) s->SetSeriesColor(clNavy);
  e->ErrLinePen()->SetVisible(false);
  const double pts[][2] = {{1, 2}, {3, 7}, {6, 4}, {9, 8}};
  for (auto& p : pts) {
    e->AddErrPoint(p[0], p[1], p[1] - 1, p[1] + 1);
    l->AddXY(p[0], p[1]);
  }
  a.Render();
  b.Render();
  int differing = 0;
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 300; ++x) differing += a.At(x, y) != b.At(x, y);
  EXPECT_EQ(differing, 0);
}

TEST(ErrPointSeries, ExtraListsFollowThePointsAndAssignKeepsTheGap) {
  TErrPointSeries s(nullptr), t(nullptr);
  EXPECT_EQ(s.Pointer()->Style(), psDiamond);
  EXPECT_TRUE(s.Pointer()->Visible());
  EXPECT_EQ(s.HorizGap(), 3);
  s.XValues()->SetOrder(loAscending);
  s.AddErrPoint(5, 50, 45, 55);
  s.AddErrPoint(1, 10, 9, 11);  // lands first
  s.AddErrPoint(3, 30, 28, 32);
  EXPECT_EQ(Values(s.YValues()), (std::vector<double>{10, 30, 50}));
  EXPECT_EQ(Values(s.LowValues()), (std::vector<double>{9, 28, 45}));
  EXPECT_EQ(Values(s.HighValues()), (std::vector<double>{11, 32, 55}));
  s.Delete(1);
  EXPECT_EQ(Values(s.HighValues()), (std::vector<double>{11, 55}));

  s.SetHorizGap(7);
  s.ErrLinePen()->SetWidth(3);
  t.Assign(&s);
  EXPECT_EQ(t.ErrLinePen()->Width(), 3);
  EXPECT_EQ(t.HorizGap(), 3);
}

TEST(MtChartFunctions, LogPowerAndModulus) {
  TComponent owner(nullptr);
  auto* src = new TLineSeries(&owner);
  for (auto [x, y] : std::vector<std::pair<double, double>>{{10, 100}, {0, 5}, {1000, 0.1}, {-1, 3}, {1, -2}})
    src->AddXY(x, y);
  auto* logs = new TLineSeries(&owner);
  logs->AttachFunction(new TLog10GraphFunction(&owner));
  logs->RecalcFromSource(src);
  ASSERT_EQ(logs->PointCount(), 2) << "points with X or Y not above zero are skipped";
  EXPECT_NEAR(logs->XValueAt(0), 1, 1e-12);
  EXPECT_NEAR(logs->YValueAt(0), 2, 1e-12);
  EXPECT_NEAR(logs->XValueAt(1), 3, 1e-12);
  EXPECT_NEAR(logs->YValueAt(1), -1, 1e-12);

  auto* pows = new TLineSeries(&owner);
  pows->AttachFunction(new TPow10GraphFunction(&owner));
  pows->RecalcFromSource(logs);
  ASSERT_EQ(pows->PointCount(), 2);
  EXPECT_NEAR(pows->XValueAt(1), 1000, 1e-9);
  EXPECT_NEAR(pows->YValueAt(1), 0.1, 1e-12);

  auto* empty = new TLineSeries(&owner);
  auto* none = new TLineSeries(&owner);
  none->AttachFunction(new TLog10GraphFunction(&owner));
  none->RecalcFromSource(empty);
  EXPECT_EQ(none->PointCount(), 0);

  TModuleGraphFunction mod(nullptr);
  auto* re = new TLineSeries(&owner);
  auto* im = new TLineSeries(&owner);
  for (double v : {3.0, -5.0, 0.0}) re->AddY(v);
  for (double v : {4.0, 12.0, -2.0}) im->AddY(v);
  TDataSourcesList both(nullptr), one(nullptr);
  both.Append(re);
  both.Append(im);
  one.Append(re);
  EXPECT_DOUBLE_EQ(mod.ComputeManyValue(&both, 0), 5);
  EXPECT_DOUBLE_EQ(mod.ComputeManyValue(&both, 1), 13);
  EXPECT_DOUBLE_EQ(mod.ComputeManyValue(&both, 2), 2);
  EXPECT_DOUBLE_EQ(mod.ComputeManyValue(&one, 1), -5) << "a single source is reproduced";
}

TEST(MtChartFunctions, RegisteredUnderTheirGalleryNames) {
  RegisterMtChartTypes();
  TGraphSeriesType* t = GraphSeriesTypesList()->FindSeriesType(TErrPointSeries::StaticClass());
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->DescriptionText(), "Errpoint");
  EXPECT_EQ(t->PageText(), "Other");
  std::vector<std::string> functions;
  for (int i = 0; i < GraphSeriesTypesList()->Count(); ++i) {
    TGraphSeriesType* e = (*GraphSeriesTypesList())[i];
    if (e->FunctionClass) functions.push_back(e->DescriptionText());
  }
  const std::vector<std::string> ours{"Log10", "Power10", "Module"};
  ASSERT_GE(functions.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(functions.end() - 3, functions.end()), ours);
  UnregisterMtChartTypes();
  EXPECT_EQ(GraphSeriesTypesList()->FindSeriesType(TErrPointSeries::StaticClass()), nullptr);
}

TEST(SeriesFactory, ColoursAndPointStylesRepeat) {
  InitPlotSettings(PlotSettings);
  PlotSettings.PointSize = 5;
  PlotSettings.Bar = true;
  TComponent owner(nullptr);
  TChart chart(nullptr);
  CreateErrPointSeriesSet(&owner, &chart, 11, nullptr);
  ASSERT_EQ(chart.SeriesList()->Count(), 11);
  for (int i = 0; i < 11; ++i) {
    auto* s = static_cast<TErrPointSeries*>(chart.SeriesList()->Items(i));
    EXPECT_EQ(s->Tag(), i + 1);
    EXPECT_EQ(s->Pointer()->Style(), static_cast<TSeriesPointerStyle>(PlotSettings.Styles[11]));
    EXPECT_EQ(s->HorizGap(), 5);
    EXPECT_TRUE(s->ErrLinePen()->Visible());
  }
  auto* eleventh = static_cast<TChartSeries*>(chart.SeriesList()->Items(10));
  EXPECT_EQ(eleventh->GetSeriesColor(), static_cast<TColor>(PlotSettings.Styles[1]));
  EXPECT_EQ(eleventh->GetSeriesColor(), static_cast<TColor>(DefaultCurveColours[1]));

  TChart inner(nullptr);
  CreateErrPointSeriesSet(&owner, &inner, 1, nullptr, 10);
  ASSERT_EQ(inner.SeriesList()->Count(), 10);
  for (int j = 0; j < 10; ++j) {
    auto* s = static_cast<TCustomSeries*>(inner.SeriesList()->Items(j));
    const int entry = j < 9 ? 11 + j : 11;
    EXPECT_EQ(s->Pointer()->Style(), static_cast<TSeriesPointerStyle>(PlotSettings.Styles[entry])) << j;
    EXPECT_EQ(s->GetSeriesColor(), static_cast<TColor>(PlotSettings.Styles[1]));
  }
  for (TChart* c : {&chart, &inner})
    while (c->SeriesList()->Count() > 0) c->DetachSeriesAt(0);
}

TEST(SeriesFactory, MaskColourByMaskValue) {
  InitPlotSettings(PlotSettings);
  PlotSettings.Styles[20] = 0x0000C0;
  PlotSettings.Styles[22] = 0x808080;
  const struct {
    int Mask;
    TColor Expected;
  } cases[] = {{0, static_cast<TColor>(0x808080)},
               {1, clTeal},
               {2, static_cast<TColor>(0x0000C0)},
               {3, static_cast<TColor>(0)},
               {-1, static_cast<TColor>(0)}};
  for (const auto& c : cases) EXPECT_EQ(MaskColour(clTeal, c.Mask), c.Expected) << c.Mask;
  InitPlotSettings(PlotSettings);
}

TEST(SeriesFactory, PolarSetAlternatesTrianglesAndKeepsPointsInTheirOrder) {
  InitPlotSettings(PlotSettings);
  PlotSettings.PointSize = 5;
  PlotSettings.Point = false;
  TComponent owner(nullptr);
  TChart chart(nullptr);
  int clicks = 0;
  CreatePolarSeriesSet(&owner, &chart, 3, [&](TChartSeries*, int, TMouseButton, TShiftState, int, int) { ++clicks; });
  ASSERT_EQ(chart.SeriesList()->Count(), 3);
  const TSeriesPointerStyle styles[3] = {psDownTriangle, psTriangle, psDownTriangle};
  for (int i = 0; i < 3; ++i) {
    auto* s = dynamic_cast<TPolarSeries*>(chart.SeriesList()->Items(i));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Pointer()->Style(), styles[i]) << i;
    EXPECT_EQ(s->Pointer()->HorizSize(), 5);
    EXPECT_EQ(s->Pointer()->VertSize(), 5);
    EXPECT_FALSE(s->Pointer()->Visible());
    EXPECT_FALSE(s->CloseCircle());
    EXPECT_TRUE(s->ColorEachPoint());
    EXPECT_EQ(s->GetSeriesColor(), static_cast<TColor>(DefaultCurveColours[i + 1]));
    EXPECT_EQ(s->Owner(), &owner);
  }
  auto* s = chart.SeriesList()->Items(0);
  s->AddXY(90, 2, "7");
  s->AddXY(10, 1, "3");
  EXPECT_EQ(s->LabelAt(0), "7") << "angles stay in the order they came";
  EXPECT_DOUBLE_EQ(s->XValueAt(1), 10);
  s->OnClick(s, 0, mbLeft, {}, 0, 0);
  EXPECT_EQ(clicks, 1);
  while (chart.SeriesList()->Count() > 0) chart.DetachSeriesAt(0);
  InitPlotSettings(PlotSettings);
}
