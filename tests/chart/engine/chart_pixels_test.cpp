#include <gtest/gtest.h>

#include <memory>

#include "chart_testkit.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace {

bool Dark(TColor C) { return (C & 0xFF) < 0x60 && ((C >> 8) & 0xFF) < 0x60 && ((C >> 16) & 0xFF) < 0x60; }

// A complete chart: title, legend, left and bottom axes with grid, one red series.
struct TPixelChart {
  TChart Chart{nullptr};
  TTestLineSeries* Series;
  std::unique_ptr<TBitmap> Image;
  TPixelChart() {
    Chart.SetBounds(0, 0, 420, 300);
    Chart.SetView3D(false);
    Chart.SetBevelOuter(bvNone);
    Chart.SetColor(clWhite);
    Chart.Title()->Text()->Add("Pixels");
    Chart.Legend()->SetLegendStyle(lsSeries);
    Series = new TTestLineSeries(nullptr);
    Chart.AttachSeries(Series);
    Series->SetSeriesColor(clRed);
    Series->SetTitle("red");
    for (int i = 0; i <= 10; ++i) Series->AddXY(i, 10 * i);
    Chart.BottomAxis()->SetMinimumMaximum(0, 10);
    Chart.LeftAxis()->SetMinimumMaximum(0, 100);
    Image.reset(Chart.CreateBitmap(clWhite, TRect(0, 0, 420, 300), pf24bit));
  }
  TColor At(int X, int Y) { return Image->Canvas()->Pixels(X, Y); }
  int DarkIn(const TRect& R) {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x) n += Dark(At(x, y));
    return n;
  }
};

}  // namespace

TEST(ChartPixels, AxisLinesStandWhereTheAxesSay) {
  TPixelChart p;
  TChartAxis* bottom = p.Chart.BottomAxis();
  TChartAxis* left = p.Chart.LeftAxis();
  // The two-pixel axis lines run along the chart rectangle's bottom and left edges.
  for (int x = bottom->StartPixel + 5; x < bottom->EndPixel - 5; x += 17)
    EXPECT_TRUE(Dark(p.At(x, bottom->AxisLinePos)) || Dark(p.At(x, bottom->AxisLinePos - 1))) << x;
  for (int y = left->StartPixel + 5; y < left->EndPixel - 5; y += 13)
    EXPECT_TRUE(Dark(p.At(left->AxisLinePos, y)) || Dark(p.At(left->AxisLinePos - 1, y))) << y;
  EXPECT_EQ(bottom->AxisLinePos, p.Chart.ChartRect.Bottom);
  EXPECT_EQ(left->AxisLinePos, p.Chart.ChartRect.Left);
  // Nothing dark inside the plot away from the curve and the grid (a corner of the plot).
  EXPECT_EQ(p.DarkIn(TRect(p.Chart.ChartRect.Right - 30, p.Chart.ChartRect.Bottom - 30, p.Chart.ChartRect.Right - 20,
                           p.Chart.ChartRect.Bottom - 20)),
            0);
}

TEST(ChartPixels, LabelTextSitsInItsBox) {
  TPixelChart p;
  TChartAxis* bottom = p.Chart.BottomAxis();
  ASSERT_GE(bottom->TickPositions.size(), 2u);
  p.Chart.Canvas->AssignFont(bottom->LabelsFont());
  const int h = p.Chart.Canvas->FontHeight();
  // The label of the largest value, "10", centred under its tick, below the ticks.
  const int tick = bottom->ValueToPixel(10);
  const int w = p.Chart.Canvas->TextWidth("10");
  const TRect box(tick - w / 2 - 1, bottom->LabelsPos, tick + w / 2 + 2, bottom->LabelsPos + h);
  EXPECT_GT(p.DarkIn(box), 3);
  // Between two labels there is no ink.
  const int mid = (bottom->TickPositions[0] + bottom->TickPositions[1]) / 2;
  EXPECT_EQ(p.DarkIn(TRect(mid - 1, bottom->LabelsPos, mid + 2, bottom->LabelsPos + h)), 0);
  // Nothing is written above the labels' band, between the axis and the ticks' end.
  EXPECT_EQ(p.DarkIn(TRect(mid - 1, bottom->AxisLinePos + 2, mid + 2, bottom->LabelsPos - 1)), 0);
}

TEST(ChartPixels, LegendSymbolHasTheSeriesColour) {
  TPixelChart p;
  TChartLegend* legend = p.Chart.Legend();
  ASSERT_GE(legend->Items->Count(), 1);
  const TRect r = legend->Items->Item(0)->SymbolRect;
  ASSERT_GT(r.Right - r.Left, 4);
  EXPECT_EQ(p.At((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2) & 0xFFFFFF, clRed);
  // The legend stands right of the plot, which gave up its room.
  EXPECT_LT(p.Chart.ChartRect.Right, legend->ShapeBounds().Left);
}

TEST(ChartPixels, GridLinesAreGreyDots) {
  TPixelChart p;
  TChartAxis* left = p.Chart.LeftAxis();
  ASSERT_GE(left->TickPositions.size(), 3u);
  const int y = left->TickPositions[1];
  int grey = 0;
  for (int x = p.Chart.ChartRect.Left + 2; x < p.Chart.ChartRect.Right - 2; ++x)
    grey += (p.At(x, y) & 0xFFFFFF) == clGray;
  const int width = p.Chart.ChartRect.Right - p.Chart.ChartRect.Left;
  EXPECT_GT(grey, width / 4);
  EXPECT_LT(grey, width);  // dotted, not solid
}

TEST(ChartPixels, OnScreenTheSameChartIsPainted) {
  TChart chart(nullptr);
  chart.SetBounds(0, 0, 300, 200);
  chart.SetView3D(false);
  chart.SetBevelOuter(bvNone);
  auto* s = new TTestLineSeries(nullptr);
  chart.AttachSeries(s);
  s->SetSeriesColor(clRed);
  for (int i = 0; i <= 4; ++i) s->AddXY(i, i);
  chart.BottomAxis()->SetMinimumMaximum(0, 4);
  chart.LeftAxis()->SetMinimumMaximum(0, 4);
  chart.Repaint();
  TChartAxis* bottom = chart.BottomAxis();
  EXPECT_TRUE(Dark(ControlSurfacePixel(&chart, bottom->CenterPixel, bottom->AxisLinePos)) ||
              Dark(ControlSurfacePixel(&chart, bottom->CenterPixel, bottom->AxisLinePos - 1)));
  // The diagonal series passes through the middle of the plot in red.
  const int x = bottom->ValueToPixel(2), y = chart.LeftAxis()->ValueToPixel(2);
  bool red = false;
  for (int dy = -1; dy <= 1; ++dy) red |= (ControlSurfacePixel(&chart, x, y + dy) & 0xFFFFFF) == clRed;
  EXPECT_TRUE(red);
}
