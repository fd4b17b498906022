#include <gtest/gtest.h>

#include "chart/series/histogram_series.h"
#include "chart/series/testkit/series_testkit.h"

TEST(HistogramSeries, BarsTouchAndFormOneStepProfile) {
  TSeriesChart c;
  auto* h = c.Add<THistogramSeries>();
  h->SetSeriesColor(clRed);
  h->Pen()->SetColor(clBlue);
  for (double v : {20.0, 20.0, 60.0, 40.0}) h->AddY(v);
  c.Axes(-0.5, 3.5, 0, 80);
  c.Render();
  // Each bar after the first starts one pixel before the previous bar's right edge.
  TRect r0, r1, r2;
  h->PreviousBarEnd = 0;
  h->CalcHistogramRect(0, r0);
  h->CalcHistogramRect(1, r1);
  h->CalcHistogramRect(2, r2);
  EXPECT_EQ(r1.Left, r0.Right - 1);
  EXPECT_EQ(r2.Left, r1.Right - 1);
  const int half = (c.Chart.BottomAxis()->AxisLength / 4) / 2;
  EXPECT_EQ(r0.Left, c.X(0) - half + 1);
  // Filled in the point colour down to the axis, no outline between the two equal bars.
  EXPECT_EQ(c.At(c.X(1), c.Y(10)), clRed);
  EXPECT_NE(c.At(r1.Left, c.Y(10)), clBlue);
  // The step up to the third bar is outlined.
  EXPECT_EQ(c.At(r2.Left, c.Y(40)), clBlue);
  EXPECT_EQ(c.At(c.X(2), c.Y(70)), clWhite);
  // Clicks find the bar under the mouse; none above the bars.
  EXPECT_EQ(h->PointIndexAt(c.X(3), c.Y(30)), 3);
  EXPECT_EQ(h->PointIndexAt(c.X(3), c.Y(70)), -1);
}

TEST(HistogramSeries, LinesSeparateEqualBarsAndEmptyOrThreeDimensionalDrawWithoutFault) {
  TSeriesChart c;
  auto* h = c.Add<THistogramSeries>();
  h->SetSeriesColor(clRed);
  h->LinesPen()->SetVisible(true);
  h->LinesPen()->SetColor(clBlue);
  h->AddY(20);
  h->AddY(20);
  c.Axes(-0.5, 1.5, 0, 40);
  c.Render();
  TRect r0, r1;
  h->CalcHistogramRect(0, r0);
  h->CalcHistogramRect(1, r1);
  EXPECT_EQ(c.At(r1.Left, c.Y(10)), clBlue);
  for (bool is3D : {false, true}) {
    TSeriesChart d(is3D);
    auto* e = d.Add<THorizHistogramSeries>();
    auto* empty = d.Add<THistogramSeries>();
    e->AddXY(3, 0);
    e->AddXY(5, 1);
    d.Render();
    EXPECT_EQ(empty->PointIndexAt(10, 10), -1);
  }
}
