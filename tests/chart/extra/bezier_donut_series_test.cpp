// Bezier curves through their end and control points, and the donut's hole.
#include <gtest/gtest.h>

#include <cmath>

#include "chart/engine/chart_errors.h"
#include "chart/extra/bezier_donut_series.h"
#include "chart/series/testkit/series_testkit.h"

namespace {
struct BezierChart : TSeriesChart {
  TBezierSeries* S;
  explicit BezierChart(TBezierStyle Style) {
    S = Add<TBezierSeries>();
    S->SetSeriesColor(clRed);
    S->SetBezierStyle(Style);
    S->Pointer()->SetVisible(false);
    Axes(0, 10, 0, 10);
  }
  bool RedNear(int X, int Y) const {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (At(X + dx, Y + dy) == clRed) return true;
    return false;
  }
};
}  // namespace

TEST(BezierSeries, CubicSegmentsEndOnEveryThirdPointAndLeftoversGetOnlyMarkers) {
  BezierChart c(bsBezier4);
  const double ys[] = {1, 9, 9, 1, 9, 9, 1, 5};
  for (int i = 0; i < 8; ++i) c.S->AddXY(i + 1, ys[i]);
  c.Render();
  for (int k : {0, 3, 6}) EXPECT_TRUE(c.RedNear(c.X(k + 1), c.Y(ys[k]))) << k;
  // Between the seventh and eighth points there is no curve, only the eighth marker.
  EXPECT_FALSE(c.RedNear((c.X(7) + c.X(8)) / 2, (c.Y(1) + c.Y(5)) / 2));
  // The cubic's midpoint: (A + 3 C1 + 3 C2 + E) / 8.
  EXPECT_TRUE(c.RedNear(c.X(2.5), c.Y((1 + 27 + 27 + 1) / 8.0)));
  c.S->Pointer()->SetVisible(true);
  c.S->Pointer()->SetColor(clBlue);
  c.Render();
  EXPECT_EQ(c.At(c.X(8), c.Y(5)), clBlue);
}

TEST(BezierSeries, TwoPiecesRunThroughTheCurvesMidpoint) {
  BezierChart c(bsBezier3);
  c.S->SetNumBezierPoints(2);
  c.S->AddXY(1, 1);
  c.S->AddXY(5, 9);
  c.S->AddXY(9, 1);
  c.Render();
  const double my = 0.25 * 1 + 0.5 * 9 + 0.25 * 1;    // B(0.5)
  EXPECT_TRUE(c.RedNear(c.X(3), c.Y((1 + my) / 2)));  // on the first straight piece
  EXPECT_TRUE(c.RedNear(c.X(5), c.Y(my)));
  EXPECT_FALSE(c.RedNear(c.X(5), c.Y(1)));  // no chord
  EXPECT_THROW(c.S->SetNumBezierPoints(1), ChartException);
  EXPECT_EQ(c.S->NumBezierPoints(), 2);
}

TEST(BezierSeries, TooFewPointsDrawNoCurveButMarkers) {
  for (TBezierStyle style : {bsWindows, bsBezier3, bsBezier4}) {
    BezierChart c(style);
    c.S->Pointer()->SetVisible(true);
    c.S->Pointer()->SetColor(clBlue);
    c.S->AddXY(2, 2);
    c.S->AddXY(8, 8);
    if (style == bsBezier4) c.S->AddXY(9, 2);
    c.Render();
    EXPECT_FALSE(c.RedNear(c.X(5), c.Y(5))) << style;
    EXPECT_EQ(c.At(c.X(2), c.Y(2)), clBlue);
  }
  BezierChart c(bsWindows);
  for (int i = 0; i < 6; ++i) c.S->AddXY(i + 2, i % 2 ? 8 : 2);
  c.Render();
  EXPECT_TRUE(c.RedNear(c.X(7), c.Y(8)));  // the flat chained curve ends on the sixth point
}

TEST(DonutSeries, HoleShowsTheBackgroundAndTakesNoClicks) {
  TSeriesChart c;
  auto* d = c.Add<TDonutSeries>();
  d->SetColorEachPoint(false);
  d->SetSeriesColor(clRed);
  d->AddY(3);
  d->AddY(1);
  c.Render();
  const int cx = d->CircleXCenter, cy = d->CircleYCenter, r = d->XRadius;
  EXPECT_EQ(c.At(cx, cy), clWhite);
  EXPECT_EQ(c.At(cx + r * 3 / 10, cy), clWhite);
  EXPECT_EQ(c.At(cx + r * 3 / 4, cy + 2), clRed);
  EXPECT_EQ(d->PointIndexAt(cx + r * 3 / 10, cy), -1);
  EXPECT_NE(d->PointIndexAt(cx + r * 3 / 4, cy + 2), -1);
  d->SetDonutPercent(0);
  TDonutSeries e(nullptr);
  e.Assign(d);
  EXPECT_EQ(e.DonutPercent(), 50);
}
