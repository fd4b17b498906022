// Arrows: heads and directions in each quadrant, clicks on the shaft, ranges, sizes, streaming.
#include <gtest/gtest.h>

#include <cmath>

#include "chart/engine/chart_errors.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/arrow_series.h"
#include "platform/streaming.h"
#include "../series/series_testkit.h"

namespace {
struct ArrowChart : TSeriesChart {
  TArrowSeries* S;
  ArrowChart() {
    S = Add<TArrowSeries>();
    S->SetSeriesColor(clRed);
    S->XValues()->SetDateTime(false);
    S->EndXValues()->SetDateTime(false);
    Axes(-10, 10, -10, 10);
  }
  // A red pixel within one pixel of (X, Y).
  bool RedNear(double X, double Y) const {
    const int x = static_cast<int>(std::lround(X)), y = static_cast<int>(std::lround(Y));
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (At(x + dx, y + dy) == clRed) return true;
    return false;
  }
};
}  // namespace

TEST(ArrowSeries, HeadsPointAlongTheShaftInEveryDirection) {
  const int dirs[][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
  for (const auto& d : dirs) {
    ArrowChart c;
    c.S->SetArrowWidth(16);
    c.S->SetArrowHeight(12);
    c.S->AddArrowSegment(0, 0, 8 * d[0], 8 * d[1]);
    c.Render();
    const double sx = c.X(0), sy = c.Y(0), ex = c.X(8 * d[0]), ey = c.Y(8 * d[1]);
    const double len = std::hypot(ex - sx, ey - sy), ux = (ex - sx) / len, uy = (ey - sy) / len;
    const double bx = ex - 12 * ux, by = ey - 12 * uy;  // the head's base on the shaft
    SCOPED_TRACE(testing::Message() << d[0] << "," << d[1]);
    EXPECT_TRUE(c.RedNear((sx + ex) / 2, (sy + ey) / 2));  // shaft
    EXPECT_TRUE(c.RedNear(bx - 8 * uy, by + 8 * ux));        // both base corners of the open head
    EXPECT_TRUE(c.RedNear(bx + 8 * uy, by - 8 * ux));
    // Nothing where a head pointing the other way would lie.
    const double fx = sx + 12 * ux, fy = sy + 12 * uy;
    EXPECT_FALSE(c.RedNear(fx - 8 * uy, fy + 8 * ux));
    EXPECT_FALSE(c.RedNear(ex + 6 * ux, ey + 6 * uy));  // stops at the end
  }
}

TEST(ArrowSeries, ShortArrowsGetAHeadAsLongAsThemselvesAndEmptyOnesDrawNothing) {
  ArrowChart c;
  c.S->SetArrowWidth(20);
  c.S->SetArrowHeight(400);
  c.S->AddArrowSegment(-5, 0, 5, 0);
  c.S->AddArrowSegment(0, 5, 0, 5);
  c.Render();
  // The head's base lies at the start: its corners stand 10 pixels off the shaft there.
  EXPECT_TRUE(c.RedNear(c.X(-5), c.Y(0) - 10));
  EXPECT_TRUE(c.RedNear(c.X(-5), c.Y(0) + 10));
  EXPECT_EQ(c.Count(clRed, TRect(c.X(0) - 4, c.Y(5) - 4, c.X(0) + 5, c.Y(5) + 5)), 0);
  // The empty arrow still answers a click on its point.
  EXPECT_EQ(c.S->PointIndexAt(c.X(0), c.Y(5)), 1);
}

TEST(ArrowSeries, ClicksFindTheShaftAndTheLowestIndexWins) {
  ArrowChart c;
  c.S->AddArrowSegment(-8, -8, 8, 8);
  c.S->AddArrowSegment(-8, 8, 8, -8);
  c.S->AddArrowSegment(-9, 0, 0, 0);
  c.Render();
  EXPECT_EQ(c.S->PointIndexAt(c.X(0), c.Y(0)), 0);  // the crossing: the lower index (start X -9 is index 0)
  EXPECT_EQ(c.S->PointIndexAt(c.X(-4), c.Y(0)), 0);
  EXPECT_EQ(c.S->PointIndexAt(c.X(4), c.Y(-4)), 2);
  EXPECT_EQ(c.S->PointIndexAt(c.X(4), c.Y(4) + 2), 1);  // within the pen width plus a pixel
  EXPECT_EQ(c.S->PointIndexAt(c.X(4), c.Y(-8)), -1);
}

TEST(ArrowSeries, StoresByStartXAndKeepsEndsInTheAxisRange) {
  TArrowSeries s(nullptr);
  EXPECT_TRUE(s.StartXValues()->DateTime());
  EXPECT_TRUE(s.EndXValues()->DateTime());
  s.AddArrowSegment(3, 0, 30, 1);
  s.AddArrowSegment(1, 0, -20, 2);
  s.AddArrowSegment(2, 5, 0, -7);
  const double ex[] = {-20, 0, 30};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(s.StartXValues()->Value(i), i + 1);
    EXPECT_EQ(s.EndXValues()->Value(i), ex[i]);
  }
  EXPECT_EQ(s.HighestX(), 30);
  EXPECT_EQ(s.LowestX(), -20);
  EXPECT_EQ(s.HighestY(), 5);
  EXPECT_EQ(s.LowestY(), -7);
  s.OnBeforeAdd = [](TChartSeries*) { return false; };
  EXPECT_EQ(s.AddArrowSegment(9, 9, 9, 9), -1);
  EXPECT_EQ(s.EndYValues()->Count(), 3);
}

TEST(ArrowSeries, SizesMustBePositiveAndEverythingStreams) {
  TArrowSeries s(nullptr);
  for (int bad : {0, -3}) {
    EXPECT_THROW(s.SetArrowWidth(bad), ChartException);
    EXPECT_THROW(s.SetArrowHeight(bad), ChartException);
  }
  EXPECT_EQ(s.ArrowWidth(), 4);
  EXPECT_EQ(s.ArrowHeight(), 4);
  s.SetArrowWidth(9);
  s.SetArrowPercent(80);
  s.XValues()->SetDateTime(false);
  s.AddArrowSegment(1, 2, 3, 4);
  s.AddArrowSegment(5, 6, 7, 8);
  TArrowSeries r(nullptr);
  TextToComponent(ComponentToText(&s), &r);
  EXPECT_EQ(r.ArrowWidth(), 9);
  EXPECT_EQ(r.ArrowPercent(), 80);
  EXPECT_FALSE(r.StartXValues()->DateTime());
  ASSERT_EQ(r.PointCount(), 2);
  EXPECT_EQ(r.EndXValues()->Value(1), 7);
  EXPECT_EQ(r.EndYValues()->Value(0), 4);
}

TEST(ArrowSeries, ThreeDimensionalChartsFillTheArrowsAndTheGridPlane) {
  ArrowChart c;
  c.Chart.SetView3D(true);
  c.S->SetArrowWidth(20);
  c.S->SetArrowHeight(20);
  c.S->SetArrowPercent(100);
  c.S->AddArrowSegment(-8, 0, 8, 0);
  c.Render();
  // Filled: the body is as wide as the head, so red stands off the shaft near the start too.
  int red = 0;
  for (int y = -6; y <= 6; ++y) red += c.RedNear(c.X(-6), c.Y(0) + y);
  EXPECT_GE(red, 8);
}
