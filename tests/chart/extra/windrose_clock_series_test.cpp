// Wind-rose labels and the clock: hand angles at a known time, hidden hands, a frozen time and the
// chart's axes given back when the clock leaves.
#include <gtest/gtest.h>

#include <cmath>

#include "chart/engine/tool_base.h"
#include "chart/extra/windrose_clock_series.h"
#include "platform/datetime.h"
#include "chart/series/testkit/series_testkit.h"

TEST(WindRoseSeries, LabelsCompassPointsEveryFifteenDegrees) {
  TWindRoseSeries w(nullptr);
  struct Case {
    double Angle;
    const char *Plain, *Mirrored;
  } cases[] = {{0, "N", "N"},         {90, "W", "E"},  {270, "E", "W"}, {45, "NW", "NE"},
               {345, "NNNE", "NNNW"}, {360, "N", "N"}, {10, "", ""},    {359.6, "N", "N"}};
  for (const Case& k : cases) {
    w.SetMirrorLabels(false);
    EXPECT_EQ(w.GetCircleLabel(k.Angle, 0), k.Plain) << k.Angle;
    w.SetMirrorLabels(true);
    EXPECT_EQ(w.GetCircleLabel(k.Angle, 0), k.Mirrored) << k.Angle;
  }
}

namespace {
struct ClockChart : TSeriesChart {
  TClockSeries* S;
  ClockChart() : TSeriesChart(false, 400, 400) {
    S = Add<TClockSeries>();
    S->PenHours()->SetColor(clRed);
    S->PenMinutes()->SetColor(clBlue);
    S->PenSeconds()->SetColor(clGreen);
    S->SetSeriesColor(clYellow);  // the hands' fill
    S->OnGetTime = [](TClockSeries*, TDateTime& T) { T = EncodeTime(3, 30, 0, 0); };
  }
  // The colour at a fraction of the way along a hand of factor F at angle A (degrees, from 3 o'clock).
  TColor Along(double F, double A, double Part) {
    const double a = (A + S->RotationAngle()) * 3.14159265358979 / 180;
    const double rx = S->XRadius * F / 2 * Part, ry = S->YRadius * F / 2 * Part;
    return At(S->CircleXCenter + static_cast<int>(std::lround(std::cos(a) * rx)),
              S->CircleYCenter - static_cast<int>(std::lround(std::sin(a) * ry)));
  }
};
}  // namespace

TEST(ClockSeries, HandsStandAtTheTimesAngles) {
  double h, m, s;
  TClockSeries::HandAngles(EncodeTime(3, 30, 0, 0), h, m, s);
  EXPECT_EQ(h, 255);
  EXPECT_EQ(m, 180);
  EXPECT_EQ(s, 360);
  ClockChart c;
  c.Render();
  EXPECT_EQ(c.Along(1.3, 255, 0.5), clYellow);
  EXPECT_EQ(c.Along(1.7, 180, 0.6), clYellow);
  EXPECT_NE(c.Along(1.7, 90, 0.6), clYellow);
  EXPECT_EQ(c.Along(1.8, 0, 0.9), clGreen);
  // Hidden hour pen: no hour hand; the second hand still follows the time.
  c.S->PenHours()->SetVisible(false);
  c.S->Pointer()->SetVisible(true);
  c.S->Pointer()->SetColor(clFuchsia);
  c.S->OnGetTime = [](TClockSeries*, TDateTime& T) { T = EncodeTime(3, 30, 15, 0); };
  c.Render();
  EXPECT_NE(c.Along(1.3, 255, 0.5), clYellow);
  EXPECT_EQ(c.Along(1.8, 270, 0.7), clGreen);
  EXPECT_EQ(c.Along(1.8, 270, 1.0), clFuchsia);  // the pointer at the second hand's tip
}

TEST(ClockSeries, LabelsAndTheAxesItHides) {
  TClockSeries clock(nullptr);
  EXPECT_EQ(clock.GetCircleLabel(270, 0), "III");
  EXPECT_EQ(clock.GetCircleLabel(0, 0), "XII");
  clock.SetStyle(cssDecimal);
  EXPECT_EQ(clock.GetCircleLabel(90, 0), "9");
  TSeriesChart c;
  c.Chart.Axes->SetVisible(true);
  auto* s = c.Add<TClockSeries>();
  EXPECT_FALSE(c.Chart.Axes->GetVisible());
  EXPECT_EQ(s->AngleIncrement(), 30);
  c.Chart.DetachSeries(s);
  EXPECT_TRUE(c.Chart.Axes->GetVisible());
  delete s;
}
