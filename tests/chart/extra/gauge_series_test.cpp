// Gauges: the hand at a value's angle, ticks every increment and minor ticks between, values
// outside the range, a range of nothing, clicks on the hand and the hand moved by exclusive-or.
#include <gtest/gtest.h>

#include <cmath>

#include "chart/engine/chart_axis.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/tool_base.h"
#include "chart/extra/gauge_series.h"
#include "chart/series/testkit/series_testkit.h"
#include "chart/series/testkit/tools_testkit.h"

namespace {
constexpr double kPi = 3.14159265358979323846;

struct GaugeChart : TSeriesChart {
  TGaugeSeries* S;
  GaugeChart() : TSeriesChart(false, 400, 400) {
    S = Add<TGaugeSeries>();
    S->Pen()->SetColor(clRed);
    S->Center()->SetVisible(false);
    S->SetHandDistance(0);
    TChartAxis* a = S->GetAxis();
    a->Ticks()->SetColor(clGreen);
    a->MinorTicks()->SetColor(clFuchsia);
    a->Axis()->SetColor(clBlue);
    a->SetLabels(false);
    a->SetMinorTickCount(0);
  }
  // A pixel of colour C within a pixel of the point at the angle of V, Inset pixels inside the rim.
  bool OnRay(double V, int Inset, TColor C) const {
    const double a = S->ValueAngle(V);
    const int x = S->CircleXCenter - static_cast<int>(std::lround(std::cos(a) * (S->XRadius - Inset)));
    const int y = S->CircleYCenter - static_cast<int>(std::lround(std::sin(a) * (S->YRadius - Inset)));
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (At(x + dx, y + dy) == C) return true;
    return false;
  }
};
}  // namespace

TEST(GaugeSeries, HandPointsAtTheValuesAngle) {
  struct Case {
    double Value, Degrees;
  } cases[] = {{0, 45}, {100, 135}, {50, 90}, {25, 67.5}};
  for (const Case& k : cases) {
    GaugeChart c;
    c.S->SetValue(k.Value);
    c.Render();
    EXPECT_NEAR(std::remainder(c.S->ValueAngle(k.Value) - k.Degrees * kPi / 180, 2 * kPi), 0, 1e-9);
    TPoint s, e;
    c.S->CalcHandPoints(s, e);
    const double got = std::atan2(double(s.Y - e.Y), double(s.X - e.X)) * 180 / kPi;
    EXPECT_NEAR(got, k.Degrees, 1.0) << k.Value;
    EXPECT_TRUE(c.OnRay(k.Value, c.S->XRadius / 2, clRed)) << k.Value;
    EXPECT_FALSE(c.OnRay(k.Value + 50, c.S->XRadius / 2, clRed));
    // Clicks: on the hand, and well off it.
    EXPECT_EQ(c.S->PointIndexAt((s.X + e.X) / 2 + 1, (s.Y + e.Y) / 2), 0);
    const double len = std::hypot(e.X - s.X, e.Y - s.Y);
    const int ox = static_cast<int>(12 * (e.Y - s.Y) / len), oy = static_cast<int>(-12 * (e.X - s.X) / len);
    EXPECT_EQ(c.S->PointIndexAt((s.X + e.X) / 2 + ox, (s.Y + e.Y) / 2 + oy), -1);
  }
}

TEST(GaugeSeries, TicksEveryIncrementOrTenAndMinorTicksNeverBeyondTheMaximum) {
  GaugeChart c;
  c.S->GetAxis()->SetIncrement(0);
  c.S->GetAxis()->SetMinorTickCount(4);
  c.S->Pen()->SetVisible(false);
  c.Render();
  for (double v : {0.0, 10.0, 50.0, 100.0}) EXPECT_TRUE(c.OnRay(v, 7, clGreen)) << v;
  EXPECT_FALSE(c.OnRay(5, 7, clGreen));
  for (double v : {2.0, 4.0, 96.0, 98.0}) EXPECT_TRUE(c.OnRay(v, 3, clFuchsia)) << v;
  EXPECT_FALSE(c.OnRay(103, 3, clFuchsia));
  EXPECT_FALSE(c.OnRay(-3, 3, clFuchsia));
}

TEST(GaugeSeries, RangesOfNothingAndValuesOutsideTheRange) {
  GaugeChart c;
  int changes = 0;
  c.S->OnChange = [&](TObject*) { ++changes; };
  c.S->SetValue(80);
  EXPECT_EQ(changes, 1);
  c.S->SetMaximum(60);
  EXPECT_EQ(c.S->Value(), 60);
  EXPECT_EQ(changes, 2);
  c.S->SetMinimum(60);  // minimum = maximum: no ticks, the hand straight up
  c.Render();
  EXPECT_EQ(c.Count(clGreen, TRect(0, 0, 400, 400)), 0);
  TPoint s, e;
  c.S->CalcHandPoints(s, e);
  EXPECT_EQ(s.X, e.X);
  EXPECT_LT(e.Y, s.Y);
  c.S->SetMaximum(100);
  c.S->SetValue(250);  // beyond the scale: drawn past its end, no fault
  c.Render();
  TGaugeSeries empty(nullptr);
  empty.ClearValues();
  EXPECT_EQ(empty.Value(), 0);
  EXPECT_EQ(empty.PointCount(), 1);
}

TEST(GaugeSeries, WithoutFullRepaintTheHandMovesByExclusiveOr) {
  TToolChart t(400, 400, false);
  auto* g = new TGaugeSeries(nullptr);
  t.Chart.AttachSeries(g);
  g->Pen()->SetColor(clBlack);
  g->Center()->SetVisible(false);
  g->SetValue(20);
  t.Paint();
  const int paints = t.Paints;
  auto handPixel = [&](double V) {
    const double a = g->ValueAngle(V);
    const int r = g->XRadius / 3;
    return t.At(g->CircleXCenter - static_cast<int>(std::lround(std::cos(a) * r)),
                g->CircleYCenter - static_cast<int>(std::lround(std::sin(a) * r)));
  };
  EXPECT_EQ(handPixel(20), clBlack);
  g->SetValue(70);
  EXPECT_EQ(t.Paints, paints);  // no repaint of the chart
  EXPECT_EQ(handPixel(70), clBlack);
  EXPECT_NE(handPixel(20), clBlack);
  t.Chart.DetachSeries(g);
  delete g;
}
