// Smith charts: impedances on the circle, the unit circle and a resistance circle through a known
// impedance, which series draws the grid, the axes that switch grids off, clicks and labels' room.
#include <gtest/gtest.h>

#include <cmath>

#include "chart/engine/chart_axis.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/tool_base.h"
#include "chart/extra/smith_series.h"
#include "platform/exceptions.h"
#include "chart/series/testkit/series_testkit.h"

namespace {
struct SmithChart : TSeriesChart {
  TSmithSeries* S;
  SmithChart() : TSeriesChart(false, 400, 400) {
    S = Add<TSmithSeries>();
    S->SetSeriesColor(clRed);
    S->CirclePen()->SetColor(clBlue);
    for (TChartAxis* a : {Chart.BottomAxis(), Chart.LeftAxis()}) {
      a->Grid()->SetVisible(true);
      a->Grid()->SetStyle(psSolid);
    }
    Chart.BottomAxis()->Grid()->SetColor(clGreen);
    Chart.LeftAxis()->Grid()->SetColor(clFuchsia);
  }
  bool Near(int X, int Y, TColor C) const {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (At(X + dx, Y + dy) == C) return true;
    return false;
  }
};
}  // namespace

TEST(SmithSeries, ImpedancesMapOntoTheReflectionCircle) {
  SmithChart c;
  c.S->AddImpedance(1, 0);
  c.Render();
  const TSmithSeries& s = *c.S;
  struct Case {
    double R, X;
    double U, V;  // expected offsets in radii (V upwards)
  } cases[] = {{1, 0, 0, 0}, {0, 0, -1, 0}, {0, 1, 0, 1}, {0, -1, 0, -1}, {1e6, 0, 1, 0}, {1, 1, 0.2, 0.4}};
  for (const Case& k : cases) {
    int x, y;
    s.ZToPos(k.R, k.X, x, y);
    EXPECT_EQ(x, s.CircleXCenter + static_cast<int>(std::nearbyint(k.U * s.XRadius))) << k.R << " " << k.X;
    EXPECT_EQ(y, s.CircleYCenter - static_cast<int>(std::nearbyint(k.V * s.YRadius))) << k.R << " " << k.X;
  }
  int x, y;
  EXPECT_THROW(s.ZToPos(-1, 0, x, y), ERangeError);  // on the pole
}

TEST(SmithSeries, DrawsTheUnitCircleAndAResistanceCircleThroughAKnownImpedance) {
  SmithChart c;
  c.S->Pointer()->SetVisible(false);
  c.S->AddImpedance(0.5, 0.5);
  c.Render();
  const TSmithSeries& s = *c.S;
  // The outer circle is the r = 0 resistance circle over the circle pen.
  int x, y;
  s.ZToPos(0, 0.65, x, y);
  EXPECT_TRUE(c.Near(x, y, clGreen));
  // The r = 1 circle runs through 1 + 0.5j and 1 - 2j; the x = 1 arc through 0.5 + 1j.
  s.ZToPos(1, 0.5, x, y);
  EXPECT_TRUE(c.Near(x, y, clGreen));
  s.ZToPos(1, -2, x, y);
  EXPECT_TRUE(c.Near(x, y, clGreen));
  s.ZToPos(0.2 + 0.13, 1, x, y);  // between two resistance circles, on the arc
  EXPECT_TRUE(c.Near(x, y, clFuchsia));
  // Hidden axes take their grids away.
  c.Chart.BottomAxis()->SetVisible(false);
  c.Render();
  s.ZToPos(1, 0.5, x, y);
  EXPECT_FALSE(c.Near(x, y, clGreen));
  c.Chart.LeftAxis()->SetVisible(false);
  c.Render();
  s.ZToPos(0.33, 1, x, y);
  EXPECT_FALSE(c.Near(x, y, clFuchsia));
  c.Chart.BottomAxis()->SetVisible(true);
  c.Chart.LeftAxis()->SetVisible(true);
  c.Chart.Axes->SetBehind(false);
  c.Render();
  EXPECT_EQ(c.Count(clGreen, TRect(0, 0, 400, 400)), 0);
  EXPECT_TRUE(c.Near(s.CircleXCenter, s.CircleYCenter - s.CircleHeight / 2, clBlue));
}

TEST(SmithSeries, OnlyTheFirstSeriesDrawsTheGridAndPointsJoinByLines) {
  SmithChart one;
  one.S->AddImpedance(1, 0);
  one.Render();
  const int green = one.Count(clGreen, TRect(0, 0, 400, 400));
  EXPECT_GT(green, 100);
  SmithChart two;
  two.S->AddImpedance(1, 0);
  auto* second = two.Add<TSmithSeries>();
  second->SetSeriesColor(clRed);
  second->CirclePen()->SetColor(clYellow);
  second->AddImpedance(0.2, 0);
  second->AddImpedance(0.2, 0);  // no zero-length segment, no fault
  second->AddImpedance(3, 0);
  two.Render();
  EXPECT_EQ(two.Count(clYellow, TRect(0, 0, 400, 400)), 0);
  int x0, y0, x1, y1;
  second->ZToPos(0.2, 0, x0, y0);
  second->ZToPos(3, 0, x1, y1);
  EXPECT_TRUE(two.Near((x0 + x1) / 2 + 20, y0, clRed));  // the line between the points
  EXPECT_EQ(second->PointIndexAt(x1, y1), 2);
  EXPECT_EQ(second->PointIndexAt(x1, y1 - 30), -1);
}

TEST(SmithSeries, ReactanceLabelsMakeRoomAndPensAreTheAxesGrids) {
  SmithChart c;
  c.S->AddImpedance(1, 0);
  c.Render();
  const int withLabels = c.S->XRadius;
  c.S->SetCLabels(false);
  c.Render();
  EXPECT_GT(c.S->XRadius, withLabels);
  TChartPen pen;
  pen.SetColor(clNavy);
  c.S->SetRCirclePen(&pen);
  EXPECT_EQ(c.Chart.BottomAxis()->Grid()->Color(), clNavy);
  EXPECT_EQ(c.S->RCirclePen()->Color(), clNavy);
  c.S->SetCCirclePen(&pen);
  EXPECT_EQ(c.Chart.LeftAxis()->Grid()->Color(), clNavy);
}
