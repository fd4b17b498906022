// Box plots: statistics from a sample the test sorts, the box, median and whiskers at their
// pixels, outliers, custom values, positions on the axis and small samples.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "chart/engine/series_chart_link.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/box_plot_series.h"
#include "chart/series/testkit/series_testkit.h"

namespace {
// The plotting-position percentile: sample k at (k + 0.5) / n, linear in between.
double RefPercentile(const std::vector<double>& S, double P) {
  const double n = static_cast<double>(S.size());
  for (size_t k = 1; k < S.size(); ++k) {
    const double a = (k - 0.5) / n, b = (k + 0.5) / n;
    if (P <= b) return S[k - 1] + (S[k] - S[k - 1]) * (P - a) / (b - a);
  }
  return S.back();
}

void Fill(TCustomBoxSeries& B, std::vector<double> S) {
  std::sort(S.begin(), S.end());
  for (double v : S) B.AddValue(v);
}
}  // namespace

TEST(BoxSeries, StatisticsFollowThePlottingPositionRule) {
  const std::vector<std::vector<double>> samples = {
      {9, 1, 5, 3, 7, 2, 8, 4, 6}, {4, 1, 3, 2}, {10, 0.5, 3, 12, 7, 7, -40, 2.5}, {1, 2, 3}};
  for (const auto& raw : samples) {
    TBoxSeries b(nullptr);
    Fill(b, raw);
    b.RecalcStats();
    std::vector<double> s = raw;
    std::sort(s.begin(), s.end());
    const size_t n = s.size();
    const double median = n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2;
    EXPECT_DOUBLE_EQ(b.MedianValue, median);
    EXPECT_DOUBLE_EQ(b.LowerQuartile, RefPercentile(s, 0.25));
    EXPECT_DOUBLE_EQ(b.UpperQuartile, RefPercentile(s, 0.75));
    const double iqr = b.UpperQuartile - b.LowerQuartile;
    EXPECT_DOUBLE_EQ(b.LowerInnerFence, b.LowerQuartile - 1.5 * iqr);
    EXPECT_DOUBLE_EQ(b.UpperOuterFence, b.UpperQuartile + 3 * iqr);
  }
  TBoxSeries b(nullptr);
  Fill(b, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  b.RecalcStats();
  EXPECT_EQ(b.MedianValue, 5);
  EXPECT_EQ(b.LowerQuartile, 2.75);
  EXPECT_EQ(b.UpperQuartile, 7.25);
  EXPECT_EQ(b.LowerInnerFence, -4);
  EXPECT_EQ(b.UpperInnerFence, 14);
  EXPECT_EQ(b.LowerWhiskerEnd, 1);
  EXPECT_EQ(b.UpperWhiskerEnd, 9);
}

TEST(BoxSeries, SamplesOnTheFencesAndOneOrTwoSamples) {
  // Quartiles 2.75 and 7.25 with samples 1..9: inner fences -4 and 14, outer -10.75 and 20.75.
  TBoxSeries b(nullptr);
  Fill(b, {-4, 1, 2, 3, 4, 5, 6, 7, 8, 9, 20});
  b.RecalcStats();
  const double lif = b.LowerInnerFence;
  // The lower whisker ends at the first sample strictly above the inner fence.
  EXPECT_GT(b.LowerWhiskerEnd, lif);
  for (int n : {1, 2}) {
    TBoxSeries s(nullptr);
    for (int i = 0; i < n; ++i) s.AddValue(10 + i);
    EXPECT_NO_THROW(s.RecalcStats());
    EXPECT_GE(s.LowerQuartile, 10);
    EXPECT_LE(s.UpperQuartile, 10 + n - 1);
  }
}

namespace {
struct BoxChart : TSeriesChart {
  TBoxSeries* S;
  BoxChart() {
    S = Add<TBoxSeries>();
    S->SetSeriesColor(clRed);
    S->Pointer()->Brush()->SetColor(clYellow);
    S->WhiskerPen()->SetColor(clBlue);
    S->MedianPen()->SetStyle(psSolid);
    S->MedianPen()->SetColor(clLime);
    S->MildOut()->Brush()->SetColor(clFuchsia);
    S->ExtrOut()->Pen()->SetColor(clMaroon);
    Axes(-2, 2, -30, 40);
  }
};
}  // namespace

TEST(BoxSeries, DrawsBoxMedianWhiskersAndOutliersAtTheirPixels) {
  BoxChart c;
  // 1..9 plus a mild (20: between the fences 17 and 25.25) and an extreme (35) outlier.
  Fill(*c.S, {1, 2, 3, 4, 5, 6, 7, 8, 9, 20, 35});
  c.Render();
  const TCustomBoxSeries& s = *c.S;
  const int cx = c.X(0), h = 15;
  const int top = c.Y(s.UpperQuartile), bottom = c.Y(s.LowerQuartile);
  EXPECT_EQ(c.At(cx + h / 2, (top + bottom) / 2 + 4), clYellow);    // inside the box
  EXPECT_EQ(c.At(cx + h / 2, top - 3), clWhite);                    // above it, off the whisker
  EXPECT_EQ(c.At(cx + h / 2, c.Y(s.MedianValue)), clLime);          // median line across
  EXPECT_EQ(c.At(cx, (top + c.Y(s.UpperWhiskerEnd)) / 2), clBlue);  // whisker up the middle
  EXPECT_EQ(c.At(cx + h - 2, c.Y(s.UpperWhiskerEnd)), clBlue);      // its crossbar
  EXPECT_EQ(c.At(cx - h + 2, c.Y(s.LowerWhiskerEnd)), clBlue);
  EXPECT_EQ(s.UpperWhiskerEnd, 9);
  EXPECT_EQ(c.At(cx, c.Y(20)), clFuchsia);  // mild outlier: a circle
  EXPECT_EQ(c.At(cx, c.Y(35)), clMaroon);   // extreme: a star of the pointer pen
}

TEST(BoxSeries, CustomValuesStayAndPositionsSpanTheAxis) {
  BoxChart c;
  Fill(*c.S, {1, 2, 3, 4, 5});
  c.S->SetUseCustomValues(true);
  c.S->MedianValue = 20;
  c.S->LowerQuartile = 10;
  c.S->UpperQuartile = 30;
  c.Render();
  EXPECT_EQ(c.S->MedianValue, 20);
  EXPECT_EQ(c.At(c.X(0) + 5, c.Y(25)), clYellow);

  TSeriesChart two;
  auto* a = two.Add<TBoxSeries>();
  auto* b = two.Add<TBoxSeries>();
  a->SetPosition(1);
  b->SetPosition(2);
  Fill(*a, {1, 2, 3});
  Fill(*b, {1, 2, 3});
  EXPECT_EQ(series_link::LowestXOnAxis(&two.Chart, two.Chart.BottomAxis()), 1);
  EXPECT_EQ(series_link::HighestXOnAxis(&two.Chart, two.Chart.BottomAxis()), 2);
}

TEST(BoxSeries, SampleValuesAscendFromMinusBToTwoB) {
  TSeriesChart c;
  auto* s = c.Add<TBoxSeries>();
  s->FillSampleValues(10);
  ASSERT_EQ(s->PointCount(), 9);
  const double b = -s->SampleValues()->Value(0);
  EXPECT_GT(b, 0);
  EXPECT_EQ(s->SampleValues()->Value(8), 2 * b);
  for (int i = 1; i < 9; ++i) EXPECT_LT(s->SampleValues()->Value(i - 1), s->SampleValues()->Value(i));
  c.Render();  // one sample or none: drawn without fault
  s->ClearValues();
  s->AddValue(4);
  c.Render();
}

TEST(HorizBoxSeries, KeepsSamplesOnTheHorizontalAxis) {
  TSeriesChart c;
  auto* s = c.Add<THorizBoxSeries>();
  s->SetPosition(3);
  s->Pointer()->Brush()->SetColor(clYellow);
  Fill(*s, {1, 2, 3, 4, 5, 6, 7, 8, 9});
  c.Axes(-5, 15, 0, 6);
  c.Render();
  EXPECT_EQ(s->SampleValues(), s->XValues());
  EXPECT_EQ(s->HighestY(), 3);
  EXPECT_EQ(c.At((c.X(2.75) + c.X(5)) / 2, c.Y(3) + 4), clYellow);
  EXPECT_EQ(c.At(c.X(2), c.Y(3) + 4), clWhite);
}
