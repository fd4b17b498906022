// The series-band, extra-legend and pie tools: the band between two series of different lengths,
// behind or over them, losing its second series; a second legend listing values; the pie slice
// slid out or outlined under the mouse; each tool back from a native chart file with its pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "chart/engine/registries.h"
#include "chart/extra/chart_file.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/series_band_tools.h"
#include "chart/series/line_series.h"
#include "chart/series/pie_series.h"
#include "chart/series/standard_series.h"
#include "chart/series/testkit/series_testkit.h"
#include "chart/series/testkit/tools_testkit.h"
#include "platform/streams.h"

namespace {

constexpr double kDeg = 3.14159265358979323846 / 180;

// Line 1 at y = 8 over x = 0..9, line 2 at y = 2 over x = 0..4, a red band between them.
struct BandChart {
  TSeriesChart C{false, 400, 300};
  TLineSeries* Upper;
  TLineSeries* Lower;
  TSeriesBandTool* Band = new TSeriesBandTool(nullptr);
  BandChart() {
    Upper = C.Add<TLineSeries>();
    Lower = C.Add<TLineSeries>();
    Upper->SetName("Upper");
    Lower->SetName("Lower");
    Upper->SetSeriesColor(clBlue);
    Lower->SetSeriesColor(clPurple);
    Upper->Pen()->SetWidth(3);
    for (int i = 0; i < 10; ++i) Upper->AddXY(i, 8);
    for (int i = 0; i < 5; ++i) Lower->AddXY(i, 2);
    C.Axes(0, 10, 0, 10);
    Band->SetName("Band1");
    C.Chart.Tools->Add(Band);
    Band->SetSeries(Upper);
    Band->SetSeries2(Lower);
    Band->Brush()->SetColor(clRed);
  }
};

int Different(TBitmap& A, TBitmap& B) {
  int n = 0;
  for (int y = 0; y < A.Height(); ++y)
    for (int x = 0; x < A.Width(); ++x) n += A.Canvas()->Pixels(x, y) != B.Canvas()->Pixels(x, y);
  return n;
}

// Writes the chart and reads it into a new one of the same size; both are drawn.
std::unique_ptr<TSeriesChart> RoundTrip(TSeriesChart& C, bool Text) {
  TMemoryStream m;
  WriteNativeChart(&C.Chart, m, true, Text);
  m.SetPosition(0);
  auto back = std::make_unique<TSeriesChart>(false, C.Chart.Width(), C.Chart.Height());
  TCustomChart* target = &back->Chart;
  ReadNativeChart(target, m);
  C.Render();
  back->Render();
  return back;
}

}  // namespace

TEST(SeriesBandTool, FillsExactlyBetweenSeriesOfDifferentLengths) {
  BandChart b;
  b.C.Render();
  // The polygon runs along the ten upper points, then back along the five lower ones: its last
  // edge goes from (9, 8) down to (4, 2).
  EXPECT_EQ(b.C.At(b.C.X(2), b.C.Y(5)), clRed);
  EXPECT_EQ(b.C.At(b.C.X(6), b.C.Y(7)), clRed);
  EXPECT_NE(b.C.At(b.C.X(6), b.C.Y(3)), clRed);    // beyond the closing edge
  EXPECT_NE(b.C.At(b.C.X(2), b.C.Y(9)), clRed);    // above the upper series
  EXPECT_NE(b.C.At(b.C.X(2), b.C.Y(1)), clRed);    // below the lower series
  EXPECT_NE(b.C.At(b.C.X(9.5), b.C.Y(5)), clRed);  // right of the last point
  // The band lies under the thick upper line; drawn in front it covers the line's lower half.
  const int y = b.C.Y(8) + 1, x = b.C.X(2);
  EXPECT_EQ(b.C.At(x, y), clBlue);
  b.Band->SetDrawBehindSeries(false);
  b.C.Render();
  EXPECT_EQ(b.C.At(x, y), clRed);
  EXPECT_EQ(b.C.At(b.C.X(2), b.C.Y(5)), clRed);
  // Transparency blends the band with the white back.
  b.Band->SetTransparency(50);
  b.C.Render();
  const TColor half = b.C.At(b.C.X(2), b.C.Y(5));
  EXPECT_NEAR(half & 0xFF, 255, 2);
  EXPECT_NEAR((half >> 8) & 0xFF, 128, 2);
  b.Band->SetTransparency(150);
  EXPECT_EQ(b.Band->Transparency(), 100);
  std::string text;
  b.Band->GetDescription(text);
  EXPECT_EQ(text, "Series Band");
}

TEST(SeriesBandTool, TakesOverTheDrawEventsAndLetsGoOfAFreedSeries) {
  BandChart b;
  // A handler the user set on a series is replaced when the series joins the band.
  auto* other = b.C.Add<TLineSeries>();
  other->AddXY(0, 5);
  bool userCalled = false;
  other->AfterDrawValues = [&](TObject*) { userCalled = true; };
  b.Band->SetSeries(other);
  b.C.Render();
  EXPECT_FALSE(userCalled);
  EXPECT_FALSE(b.Upper->BeforeDrawValues);  // released by the band
  b.Band->SetSeries(b.Upper);
  // Freeing the second series leaves the band without it, and nothing is filled.
  b.C.Chart.DetachSeries(b.Lower);
  delete b.Lower;
  EXPECT_EQ(b.Band->Series2(), nullptr);
  b.C.Render();
  EXPECT_NE(b.C.At(b.C.X(2), b.C.Y(5)), clRed);
  // An empty series gives no band either.
  auto* empty = b.C.Add<TLineSeries>();
  b.Band->SetSeries2(empty);
  b.C.Render();
  EXPECT_NE(b.C.At(b.C.X(2), b.C.Y(5)), clRed);
}

TEST(SeriesBandTool, ComesBackFromAChartFileWithTheSamePixels) {
  InitStandardSeries();
  InitExtraSeries();
  InitChartOutput();
  for (bool text : {false, true}) {
    BandChart b;
    b.Band->SetDrawBehindSeries(false);
    b.Band->SetTransparency(30);
    auto back = RoundTrip(b.C, text);
    ASSERT_EQ(back->Chart.Tools->Count(), 1);
    auto* band = dynamic_cast<TSeriesBandTool*>(back->Chart.Tools->ToolAt(0));
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->Series(), back->Chart.SeriesAt(0));
    EXPECT_EQ(band->Series2(), back->Chart.SeriesAt(1));
    EXPECT_FALSE(band->DrawBehindSeries());
    EXPECT_EQ(band->Transparency(), 30);
    EXPECT_EQ(band->Brush()->Color(), clRed);
    EXPECT_EQ(back->Chart.BottomAxis()->Maximum(), 10);
    EXPECT_EQ(back->Chart.SeriesAt(0)->Pen()->Width(), 3);
    EXPECT_EQ(Different(*b.C.Image, *back->Image), 0);
  }
}

TEST(ExtraLegendTool, ListsTheValuesOfItsSeriesBesideTheChartLegend) {
  InitStandardSeries();
  InitExtraSeries();
  InitChartOutput();
  TSeriesChart c(false, 500, 400);
  c.Chart.Legend()->SetVisible(true);
  auto* a = c.Add<TLineSeries>();
  auto* b = c.Add<TLineSeries>();
  a->SetName("A");
  b->SetName("B");
  for (int i = 0; i < 3; ++i) a->AddXY(i, i);
  for (int i = 0; i < 6; ++i) b->AddXY(i, 6 - i, "v" + std::to_string(i));
  auto* tool = new TExtraLegendTool(nullptr);
  tool->SetName("Extra1");
  c.Chart.Tools->Add(tool);
  tool->SetSeries(b);
  tool->Legend()->SetLeft(60);
  tool->Legend()->SetTop(40);
  tool->Legend()->SetColor(clYellow);
  c.Render();
  EXPECT_EQ(c.Chart.Legend()->EffectiveStyle, lsSeries);
  EXPECT_EQ(c.Chart.Legend()->TotalItems, 2);
  TChartLegend* extra = tool->Legend();
  EXPECT_EQ(extra->EffectiveStyle, lsValues);
  EXPECT_EQ(extra->TotalItems, 6);
  EXPECT_EQ(extra->BoxRect.Left, 60);
  EXPECT_EQ(extra->BoxRect.Top, 40);
  EXPECT_EQ(c.At(extra->BoxRect.Right - 3, extra->BoxRect.Bottom - 3), clYellow);
  // A hidden legend draws nothing; no series, nothing either.
  std::string text;
  tool->GetDescription(text);
  EXPECT_EQ(text, "Extra Legend");
  // Back from a file in the same place, with the same pixels.
  for (bool asText : {false, true}) {
    auto back = RoundTrip(c, asText);
    auto* t = dynamic_cast<TExtraLegendTool*>(back->Chart.Tools->ToolAt(0));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Series(), back->Chart.SeriesAt(1));
    EXPECT_EQ(t->Legend()->BoxRect.Left, 60);
    EXPECT_EQ(Different(*c.Image, *back->Image), 0);
  }
  tool->Legend()->SetVisible(false);
  c.Render();
  EXPECT_NE(c.At(extra->BoxRect.Right - 3, extra->BoxRect.Bottom - 3), clYellow);
}

namespace {

// Four equal slices, each a quarter: red, blue, lime, yellow counter-clockwise from the right.
struct PieChart {
  TToolChart T{240, 180, false};
  TPieSeries* Pie = new TPieSeries(nullptr);
  TPieTool* Tool = new TPieTool(nullptr);
  PieChart() {
    T.Chart.AttachSeries(Pie);
    Pie->Marks()->SetVisible(false);
    for (TColor col : {clRed, clBlue, clLime, clYellow}) Pie->AddY(1, "", col);
    T.Chart.Tools->Add(Tool);
    Tool->SetSeries(Pie);
    T.Paint();
  }
  ~PieChart() {
    T.Chart.Tools->Clear();
    T.Chart.DetachSeries(Pie);
    delete Pie;
  }
  TPoint At(double Degrees, double Fraction) {
    int x, y;
    Pie->AngleToPos(Degrees * kDeg, Pie->XRadius * Fraction, Pie->YRadius * Fraction, x, y);
    return TPoint(x, y);
  }
};

}  // namespace

TEST(PieTool, ExplodeSlidesTheSliceUnderTheMouseOutAndBack) {
  PieChart p;
  p.Tool->SetStyle(ptExplode);
  int paints = p.T.Paints;
  const TPoint first = p.At(45, 0.5), second = p.At(135, 0.5);
  p.T.Move(first.X, first.Y);
  EXPECT_EQ(p.Tool->Slice(), 0);
  EXPECT_EQ(p.Pie->ExplodedSlice(0), 40);
  EXPECT_EQ(p.T.Paints - paints, 20);  // shown after every step
  p.T.Move(second.X, second.Y);
  EXPECT_EQ(p.Tool->Slice(), 1);
  EXPECT_EQ(p.Pie->ExplodedSlice(0), 0);
  EXPECT_EQ(p.Pie->ExplodedSlice(1), 40);
  // Moving within the slice changes nothing; outside the pie releases it.
  paints = p.T.Paints;
  const TPoint inside = p.At(120, 0.7);
  p.T.Move(inside.X, inside.Y);
  EXPECT_EQ(p.T.Paints, paints);
  p.T.Move(2, 2);
  EXPECT_EQ(p.Tool->Slice(), -1);
  EXPECT_EQ(p.Pie->ExplodedSlice(1), 0);
  std::string text;
  p.Tool->GetDescription(text);
  EXPECT_EQ(text, "Pie Slices");
}

TEST(PieTool, FocusOutlinesTheSliceInAColourThatShows) {
  struct Case {
    TColor Pen, Outline;
  } cases[] = {{clRed, clBlack}, {clBlue, clBlue}, {clBlack, clBlack}};
  for (const Case& k : cases) {
    PieChart p;
    p.Tool->Pen()->SetColor(k.Pen);
    const TPoint edge = p.At(45, 1.0);
    const TPoint mid = p.At(45, 0.5);
    p.T.Move(mid.X, mid.Y);
    // The thick outline crosses the rim of the red slice.
    int hits = 0;
    for (int dy = -3; dy <= 3; ++dy)
      for (int dx = -3; dx <= 3; ++dx) hits += p.T.At(edge.X + dx, edge.Y + dy) == k.Outline;
    EXPECT_GT(hits, 4) << k.Pen;
    // Leaving the slice repaints the plain pie.
    p.T.Move(2, 2);
    EXPECT_EQ(p.T.At(edge.X - 4, edge.Y + 4), clRed);
  }
}

TEST(PieTool, ComesBackFromAChartFile) {
  InitStandardSeries();
  InitExtraSeries();
  InitChartOutput();
  TSeriesChart c;
  auto* pie = c.Add<TPieSeries>();
  pie->SetName("Pie1");
  pie->AddY(3);
  pie->AddY(5);
  auto* tool = new TPieTool(nullptr);
  tool->SetName("PieTool1");
  c.Chart.Tools->Add(tool);
  tool->SetSeries(pie);
  tool->SetStyle(ptExplode);
  tool->Pen()->SetWidth(6);
  auto back = RoundTrip(c, true);
  auto* t = dynamic_cast<TPieTool*>(back->Chart.Tools->ToolAt(0));
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->Series(), back->Chart.SeriesAt(0));
  EXPECT_EQ(t->Style(), ptExplode);
  EXPECT_EQ(t->Pen()->Width(), 6);
  EXPECT_EQ(Different(*c.Image, *back->Image), 0);
  for (auto* cls : {TSeriesBandTool::StaticClass(), TExtraLegendTool::StaticClass(), TPieTool::StaticClass()})
    EXPECT_GE(GraphToolTypesList()->IndexOf(cls), 0);
}
