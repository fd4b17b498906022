// Funnels (order by quota, the reached share and its status colour, marks, legend, clicks),
// pyramids (slice widths from the accumulated values) and volume pipes (segments of equal areas).
#include <gtest/gtest.h>

#include <cmath>

#include "chart/engine/chart_axis.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/funnel_series.h"
#include "chart/extra/pyramid_pipe_series.h"
#include "chart/series/testkit/series_testkit.h"

namespace {
const TColor Green = static_cast<TColor>(0x008000), Yellow = static_cast<TColor>(0x00FFFF);
}

TEST(FunnelSeries, SortsByQuotaAndColoursTheReachedShare) {
  TFunnelSeries f(nullptr);
  f.AddSegment(10, 1);
  f.AddSegment(30, 3);
  f.AddSegment(20, 2);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(f.QuoteValues()->Value(i), 30 - 10 * i);
    EXPECT_EQ(f.OpportunityValues()->Value(i), 3 - i);
    EXPECT_EQ(f.XValues()->Value(i), i);
  }
  struct Case {
    double Quote, Opportunity;
    TColor Colour;
  } cases[] = {{100, 100, Green}, {100, 130, Green}, {100, 75, Yellow},
               {100, 70, Yellow}, {100, 69, clRed},  {0, 5, clRed}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Opportunity);
    TSeriesChart c;
    auto* s = c.Add<TFunnelSeries>();
    s->Marks()->SetVisible(false);
    s->AddSegment(k.Quote, k.Opportunity);
    s->AddSegment(k.Quote / 2 + 1, 0);
    s->Recalc();
    c.Render();
    std::array<TPoint, 5> pts;
    TColor colour;
    const int n = s->SegmentPolygon(0, pts, colour);
    EXPECT_EQ(colour, k.Colour);
    // The reached part of the first segment is filled in its colour near its bottom-left corner.
    if (k.Quote > 0) {
      const TPoint p4 = pts[n - 1];
      EXPECT_EQ(c.At(p4.X + 4, p4.Y - 4), k.Colour);
      EXPECT_EQ(s->PointIndexAt(p4.X + 4, p4.Y - 4), 0);
    }
    EXPECT_FALSE(c.Chart.LeftAxis()->Visible());
  }
}

TEST(FunnelSeries, MarksLegendAndTheEmptyPartOfASegment) {
  TSeriesChart c;
  auto* s = c.Add<TFunnelSeries>();
  s->Marks()->SetVisible(false);
  s->AddSegment(100, 75);
  s->AddSegment(40, 10);
  s->Recalc();
  c.Render();
  EXPECT_EQ(s->GetMarkText(0), "75.00 %");
  EXPECT_EQ(s->LegendEntryCount(), 3);
  std::string t;
  s->FormatLegendText(1, ltsPlain, t);
  EXPECT_EQ(t, "30.00 % within quota");
  s->FormatLegendText(2, ltsPlain, t);
  EXPECT_EQ(t, "30.00 % or more below quota");
  EXPECT_EQ(s->LegendEntryColor(0), Green);
  // The top of the first segment was not reached: a click there finds nothing.
  const int x = s->ValueToScreenX(0);
  const int top = s->ValueToScreenY(100 - 15), reached = s->ValueToScreenY(10);
  EXPECT_EQ(s->PointIndexAt(x, top + 2), -1);
  EXPECT_EQ(s->PointIndexAt(x, reached), 0);
}

TEST(PyramidSeries, SlicesNarrowWithTheAccumulatedValues) {
  TSeriesChart c;
  auto* p = c.Add<TPyramidSeries>();
  p->Marks()->SetVisible(false);
  p->SetColorEachPoint(false);
  p->SetSeriesColor(clRed);
  for (double v : {1.0, 1.0, 2.0}) p->AddY(v);
  c.Render();
  const int base = static_cast<int>(std::nearbyint(c.Chart.BottomAxis()->AxisLength * 50 * 0.005));
  const double widths[][2] = {{100, 75}, {75, 50}, {50, 0}};
  for (int i = 0; i < 3; ++i) {
    TRect r;
    int topWidth, topDepth, inset;
    p->SegmentGeometry(i, r, topWidth, topDepth, inset);
    EXPECT_EQ(r.Right - r.Left, 2 * static_cast<int>(std::nearbyint(base * widths[i][0] * 0.01))) << i;
    EXPECT_EQ(topWidth, static_cast<int>(std::nearbyint(base * widths[i][1] * 0.01))) << i;
    EXPECT_EQ(r.Top, p->ValueToScreenY(p->AccumulatedValue(i)));
    EXPECT_EQ(p->PointIndexAt((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2), i);
  }
  EXPECT_EQ(p->HighestY(), 4);
  TRect r;
  int w, d, inset;
  p->SegmentGeometry(2, r, w, d, inset);
  EXPECT_EQ(d, 0);
  EXPECT_EQ(c.At((r.Left + r.Right) / 2, r.Bottom - 3), clRed);
  // A null point is skipped but still counts below the points above it.
  p->SetPointColorAt(1, clNone);
  c.Render();
  EXPECT_EQ(p->PointIndexAt((r.Left + r.Right) / 2, r.Bottom - 3), 2);
  auto* q = c.Add<TPyramidSeries>();
  EXPECT_EQ(p->HighestX(), 0);
  EXPECT_EQ(q->LowestX(), 1);
}

TEST(VolumePipeSeries, EqualValuesGetEqualAreasAndTheConeIsClamped) {
  TSeriesChart c;
  auto* s = c.Add<TVolumePipeSeries>();
  s->Marks()->SetVisible(false);
  for (int i = 0; i < 4; ++i) s->AddY(10);
  c.Render();
  ASSERT_EQ(s->Segments().size(), 4u);
  int prev = 0;
  double prevArea = -1;
  for (const auto& seg : s->Segments()) {
    const int len = seg[0].X - seg[2].X;
    EXPECT_GT(len, prev);  // longer towards the narrow end
    prev = len;
    const double area = 0.5 * len * ((seg[0].Y - seg[1].Y) + (seg[3].Y - seg[2].Y));
    if (prevArea >= 0) {
      EXPECT_NEAR(area, prevArea, prevArea * 0.03);
    }
    prevArea = area;
  }
  const auto& seg = s->Segments()[1];
  EXPECT_EQ(s->PointIndexAt((seg[0].X + seg[2].X) / 2, (seg[0].Y + seg[1].Y) / 2), 1);
  s->SetConePercent(250);
  c.Render();
  EXPECT_EQ(s->ConePercent(), 100);
  s->SetConePercent(0);
  c.Render();
  const auto& o = s->Outline();
  EXPECT_EQ((o[2].Y - o[1].Y) - (o[3].Y - o[0].Y), 4);
  for (int i = 0; i < 4; ++i) s->YValues()->SetValue(i, 0);
  c.Render();
  for (const auto& z : s->Segments()) EXPECT_EQ(z[0].X, o[0].X);
}
