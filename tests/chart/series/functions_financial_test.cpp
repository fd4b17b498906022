// RSI, ADX, MACD, Bollinger bands, cross points and perimeter against textbook loops and closed
// forms, with their short inputs and gallery entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "chart/engine/registries.h"
#include "chart/series/bar_series.h"
#include "chart/series/fast_line_series.h"
#include "chart/series/functions_financial.h"
#include "chart/series/line_series.h"
#include "functions_testkit.h"
#include "chart/series/testkit/series_testkit.h"

namespace {

std::vector<TOHLCRow> Rows(int N) {
  std::vector<TOHLCRow> r;
  double c = 50;
  for (int i = 0; i < N; ++i) {
    const double o = c + std::sin(i * 1.7) * 2;
    c = o + std::cos(i * 0.9) * 3 + (i % 4 == 0 ? -2 : 1);
    r.push_back({o, std::max(o, c) + 1 + (i % 3), std::min(o, c) - 1 - (i % 2), c});
  }
  return r;
}

void Fill(TOHLCFnSeries* S, const std::vector<TOHLCRow>& R) {
  S->BeginUpdate();
  S->ClearValues();
  for (size_t i = 0; i < R.size(); ++i)
    S->AddOHLC(static_cast<double>(i) * 2, R[i].Open, R[i].High, R[i].Low, R[i].Close);
  S->EndUpdate();
}

// The exponential moving average as a weighted sum of all earlier values.
std::vector<double> EmaClosedForm(const std::vector<double>& V, double Period) {
  const double k = 2 / (Period + 1);
  std::vector<double> e;
  for (size_t i = 0; i < V.size(); ++i) {
    double s = std::pow(1 - k, static_cast<double>(i)) * V[0];
    for (size_t j = 1; j <= i; ++j) s += k * std::pow(1 - k, static_cast<double>(i - j)) * V[j];
    e.push_back(s);
  }
  return e;
}

}  // namespace

TEST(FinancialFunctions, RSIWindowsBothStyles) {
  TComponent owner(nullptr);
  auto* src = new TOHLCFnSeries(&owner);
  auto* dst = new TFnSeries(&owner);
  auto* f = new TRSIFunction(&owner);
  dst->AttachFunction(f);
  EXPECT_FALSE(f->AcceptsSource(dst));
  EXPECT_TRUE(f->AcceptsSource(src));
  // Closes 10, 12, 11 over one window of three: up 2/3, down 1/3.
  Fill(src, {{9, 10, 8, 10}, {10, 13, 9, 12}, {12, 12, 10, 11}});
  f->SetStyle(rsiClose);
  f->InternalSetPeriod(3);
  f->CalculateFromSource(src);
  ASSERT_EQ(dst->PointCount(), 1);
  EXPECT_NEAR(dst->YValueAt(0), 100 - 100 / (2.0 + 1), 1e-12);
  // Steadily rising closes after a fall: 100 once the fall leaves the window.
  Fill(src, {{5, 6, 1, 2}, {2, 3, 1, 3}, {3, 5, 2, 4}, {4, 6, 3, 5}, {5, 7, 4, 6}});
  dst->ClearValues();
  f->CalculateFromSource(src);
  EXPECT_EQ(YsOf(dst).back(), 100);
  const std::vector<TOHLCRow> rows = Rows(40);
  Fill(src, rows);
  for (TRSIStyle style : {rsiOpenClose, rsiClose})
    for (int p : {1, 5, 14}) {
      f->SetStyle(style);
      f->InternalSetPeriod(p);
      dst->ClearValues();
      f->CalculateFromSource(src);
      ASSERT_EQ(dst->PointCount(), 40 - p + 1);
      for (int e = p - 1; e < 40; ++e) {
        double up = 0, down = 0;
        for (int i = e - p + 1; i <= e; ++i) {
          const TOHLCRow& r = rows[static_cast<size_t>(i)];
          if (style == rsiOpenClose) {
            (r.Open > r.Close ? down : up) += r.Close;
          } else if (i > e - p + 1) {
            const double d = r.Close - rows[static_cast<size_t>(i - 1)].Close;
            (d < 0 ? down : up) += std::fabs(d);
          }
        }
        const double want = down == 0 ? 100 : 100 - 100 / (up / down + 1);
        EXPECT_NEAR(dst->YValueAt(e - p + 1), want, 1e-9) << style << " " << p << " " << e;
        EXPECT_EQ(dst->XValueAt(e - p + 1), 2.0 * e);
      }
    }
}

TEST(FinancialFunctions, ADXAgainstWilderDefinitions) {
  TSeriesChart chart;
  auto* src = chart.Add<TOHLCFnSeries>();
  auto* dst = chart.Add<TFnSeries>();
  auto* f = new TADXFunction(dst);
  dst->AttachFunction(f);
  EXPECT_EQ(f->Period(), 14);
  std::vector<TOHLCRow> rows = Rows(27);
  Fill(src, rows);
  f->CalculateFromSource(src);
  EXPECT_EQ(dst->PointCount(), 0);
  EXPECT_EQ(f->UpLine->PointCount(), 0);
  for (int n : {28, 60}) {
    rows = Rows(n);
    Fill(src, rows);
    dst->ClearValues();
    f->CalculateFromSource(src);
    ASSERT_EQ(f->UpLine->PointCount(), n - 14);
    ASSERT_EQ(dst->PointCount(), n - 27);
    EXPECT_EQ(f->UpLine->XValueAt(0), 2.0 * 14);
    EXPECT_EQ(dst->XValueAt(0), 2.0 * 27);
    EXPECT_EQ(f->UpLine->ParentChart(), dst->ParentChart());
    // Reference: Wilder's smoothed sums written as running averages times the period.
    const int p = 14;
    double atr = 0, aup = 0, adown = 0, adx = 0;
    std::vector<double> dx;
    for (int t = 1; t < n; ++t) {
      const TOHLCRow &r = rows[static_cast<size_t>(t)], &q = rows[static_cast<size_t>(t - 1)];
      const double tr = std::max({r.High - r.Low, std::fabs(r.High - q.Close), std::fabs(r.Low - q.Close)});
      const double u = r.High - q.High, d = q.Low - r.Low;
      const double pu = u > d && u > 0 ? u : 0, pd = d > u && d > 0 ? d : 0;
      if (t <= p) {
        atr += tr / p;
        aup += pu / p;
        adown += pd / p;
      } else {
        atr = atr * (p - 1) / p + tr / p;
        aup = aup * (p - 1) / p + pu / p;
        adown = adown * (p - 1) / p + pd / p;
      }
      if (t < p) continue;
      const double diu = 100 * aup / atr, did = 100 * adown / atr;
      EXPECT_NEAR(f->UpLine->YValueAt(t - p), diu, 1e-9) << t;
      EXPECT_NEAR(f->DownLine->YValueAt(t - p), did, 1e-9) << t;
      dx.push_back(100 * std::fabs(diu - did) / (diu + did));
      if (t == 2 * p - 1) {
        for (double v : dx) adx += v / p;  // the mean of the first Period values
      } else if (t > 2 * p - 1) {
        adx = (adx * (p - 1) + dx.back()) / p;
      }
      if (t >= 2 * p - 1) {
        EXPECT_NEAR(dst->YValueAt(t - (2 * p - 1)), adx, 1e-9) << t;
      }
    }
  }
  // No range at all: lines and index at 0, never a division's NaN.
  Fill(src, std::vector<TOHLCRow>(30, TOHLCRow{5, 5, 5, 5}));
  dst->ClearValues();
  f->CalculateFromSource(src);
  EXPECT_EQ(dst->PointCount(), 3);
  EXPECT_TRUE(AllFinite(dst) && AllFinite(f->UpLine) && AllFinite(f->DownLine));
  EXPECT_EQ(YsOf(dst), std::vector<double>(3, 0.0));
  // A period below 2 does nothing.
  f->InternalSetPeriod(1);
  dst->ClearValues();
  f->CalculateFromSource(src);
  EXPECT_EQ(dst->PointCount(), 0);
}

TEST(FinancialFunctions, MACDSignalAndHistogram) {
  TSeriesChart chart;
  auto* src = chart.Add<TFnSeries>();
  auto* dst = chart.Add<TFnSeries>();
  auto* f = new TMACDFunction(dst);
  dst->AttachFunction(f);
  EXPECT_EQ(f->Period(), 26);
  EXPECT_EQ(f->Period2(), 12);
  EXPECT_EQ(f->Period3(), 9);
  std::vector<double> v;
  for (int i = 0; i < 50; ++i) v.push_back(100 + 10 * std::sin(i * 0.3) + i * 0.2);
  FillSeries(src, v);
  f->CalculateFromSource(src);
  const std::vector<double> s = EmaClosedForm(v, 12), l = EmaClosedForm(v, 26);
  std::vector<double> macd;
  for (size_t i = 0; i < v.size(); ++i) macd.push_back(s[i] - l[i]);
  const std::vector<double> sig = EmaClosedForm(macd, 9);
  ASSERT_EQ(dst->PointCount(), 50);
  ASSERT_EQ(f->SignalLine->PointCount(), 50);
  ASSERT_EQ(f->HistogramLine->PointCount(), 50);
  for (int i = 0; i < 50; ++i) {
    const size_t k = static_cast<size_t>(i);
    EXPECT_NEAR(dst->YValueAt(i), macd[k], 1e-9);
    EXPECT_NEAR(f->SignalLine->YValueAt(i), sig[k], 1e-9);
    EXPECT_NEAR(f->HistogramLine->YValueAt(i), macd[k] - sig[k], 1e-9);
  }
  f->SetPeriod2(0);
  EXPECT_EQ(f->Period2(), 1);
  FillSeries(src, {7});
  f->CalculateFromSource(src);
  EXPECT_EQ(dst->PointCount(), 0);
  EXPECT_EQ(f->SignalLine->PointCount(), 0);
}

TEST(FinancialFunctions, BollingerBands) {
  TSeriesChart chart;
  auto* src = chart.Add<TFnSeries>();
  auto* dst = chart.Add<TFnSeries>();
  auto* f = new TBollingerFunction(dst);
  dst->AttachFunction(f);
  const std::vector<double> v{3, 8, 1, 7, 7, 12, 4, 9};
  FillSeries(src, v);
  f->InternalSetPeriod(3);
  for (bool exponential : {true, false}) {
    f->SetExponential(exponential);
    f->CalculateFromSource(src);
    ASSERT_EQ(dst->PointCount(), 6);
    ASSERT_EQ(f->LowerBand->PointCount(), 6);
    const std::vector<double> ema = EmaClosedForm(v, 3);
    for (int e = 2; e < 8; ++e) {
      double m = 0;
      for (int i = e - 2; i <= e; ++i) m += v[static_cast<size_t>(i)] / 3;
      double q = 0;
      for (int i = e - 2; i <= e; ++i) q += (v[static_cast<size_t>(i)] - m) * (v[static_cast<size_t>(i)] - m) / 3;
      const double centre = exponential ? ema[static_cast<size_t>(e)] : m;
      EXPECT_EQ(dst->XValueAt(e - 2), static_cast<double>(e));
      EXPECT_NEAR(dst->YValueAt(e - 2), centre + 2 * std::sqrt(q), 1e-12) << e;
      EXPECT_NEAR(f->LowerBand->YValueAt(e - 2), centre - 2 * std::sqrt(q), 1e-12) << e;
    }
  }
  // Period 3 over 5 points: three points on each band, at the X of points 2, 3 and 4.
  FillSeries(src, {1, 2, 3, 4, 5});
  f->CalculateFromSource(src);
  EXPECT_EQ(XsOf(dst), (std::vector<double>{2, 3, 4}));
  EXPECT_EQ(XsOf(f->LowerBand), (std::vector<double>{2, 3, 4}));
  FillSeries(src, {1, 2});
  f->CalculateFromSource(src);
  EXPECT_EQ(dst->PointCount(), 0);
}

TEST(FinancialFunctions, CrossPoints) {
  TComponent owner(nullptr);
  auto* a = new TFnSeries(&owner);
  auto* b = new TFnSeries(&owner);
  auto* dst = new TFnSeries(&owner);
  dst->AttachFunction(new TCrossPointsFunction(&owner));
  dst->AddDataSourceInternal(a);
  dst->AddDataSourceInternal(b);
  // y = x and y = 6 - 2x cross once at (2, 2).
  FillSeries(a, {0, 1, 2.5, 3, 5}, {0, 1, 2.5, 3, 5});
  FillSeries(b, {0, 1.5, 4, 5}, {6, 3, -2, -4});
  dst->ClearValues();
  dst->FunctionObject()->CalculateFromSource(a);
  ASSERT_EQ(dst->PointCount(), 1);
  EXPECT_NEAR(dst->XValueAt(0), 2, 1e-12);
  EXPECT_NEAR(dst->YValueAt(0), 2, 1e-12);
  // A zigzag around a flat line: one crossing per sign change, halfway along each segment.
  FillSeries(a, {0, 1, 2, 3, 4, 5}, {-1, 1, -1, 1, -1, 1});
  FillSeries(b, {0, 5}, {0, 0});
  dst->ClearValues();
  dst->FunctionObject()->CalculateFromSource(a);
  EXPECT_EQ(XsOf(dst), (std::vector<double>{0.5, 1.5, 2.5, 3.5, 4.5}));
  FillSeries(b, {0}, {0});
  dst->ClearValues();
  dst->FunctionObject()->CalculateFromSource(a);
  EXPECT_EQ(dst->PointCount(), 0);
}

TEST(FinancialFunctions, PerimeterIsTheConvexOutline) {
  TSeriesChart chart;
  chart.Axes(0, 10, 0, 10);
  auto* src = chart.Add<TFnSeries>();
  auto* dst = chart.Add<TLineSeries>();
  FillSeries(src, {2, 8, 5, 8, 2, 4, 6, 5}, {2, 2, 5, 8, 8, 4, 6, 3});
  dst->AttachFunction(new TPerimeterFunction(dst));
  dst->SetDataSource(src);
  // The four corners, closed: five points, the last equal to the first.
  ASSERT_EQ(dst->PointCount(), 5);
  EXPECT_EQ(dst->XValueAt(4), dst->XValueAt(0));
  EXPECT_EQ(dst->YValueAt(4), dst->YValueAt(0));
  std::vector<std::pair<double, double>> corners;
  for (int i = 0; i < 4; ++i) corners.emplace_back(std::round(dst->XValueAt(i)), std::round(dst->YValueAt(i)));
  std::sort(corners.begin(), corners.end());
  EXPECT_EQ(corners, (std::vector<std::pair<double, double>>{{2, 2}, {2, 8}, {8, 2}, {8, 8}}));
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(dst->XValueAt(i), std::round(dst->XValueAt(i)), 0.1);  // within a pixel
    EXPECT_NEAR(dst->YValueAt(i), std::round(dst->YValueAt(i)), 0.1);
  }
}

TEST(FinancialFunctions, PerimeterInThreeDimensionsGoesRoundThePointsWhereTheyShow) {
  TSeriesChart chart(true);
  chart.Chart.View3DOptions()->SetOrthogonal(true);
  chart.Axes(0, 10, 0, 10);
  auto* src = chart.Add<TFnSeries>();
  auto* dst = chart.Add<TLineSeries>();
  FillSeries(src, {2, 8, 5, 8, 2, 4, 6, 5}, {2, 2, 5, 8, 8, 4, 6, 3});
  dst->AttachFunction(new TPerimeterFunction(dst));
  dst->SetDataSource(src);
  ASSERT_EQ(dst->PointCount(), 5);
  // An orthogonal view moves the source's depth by one pixel offset: the outline is the corners
  // moved by that same offset, in pixels of the axes.
  std::vector<std::pair<int, int>> shifts;
  const double corners[][2] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}};
  for (int i = 0; i < 4; ++i) {
    const int px = chart.X(dst->XValueAt(i)), py = chart.Y(dst->YValueAt(i));
    int best = INT32_MAX, sx = 0, sy = 0;
    for (const auto& c : corners) {
      const int dx = px - chart.X(c[0]), dy = py - chart.Y(c[1]);
      if (std::abs(dx) + std::abs(dy) < best) {
        best = std::abs(dx) + std::abs(dy);
        sx = dx;
        sy = dy;
      }
    }
    shifts.emplace_back(sx, sy);
  }
  for (const auto& s : shifts) {
    EXPECT_NEAR(s.first, shifts[0].first, 1);
    EXPECT_NEAR(s.second, shifts[0].second, 1);
  }
  EXPECT_NE(shifts[0], std::make_pair(0, 0));
}

TEST(FinancialFunctions, RegisteredOnTheirGalleryPages) {
  RegisterFinancialFunctions();
  auto texts = [](const char* Page) {
    std::vector<std::string> t;
    for (auto* e : GraphSeriesTypesList()->TypesOfPage(Page)) t.push_back(e->DescriptionText());
    return t;
  };
  EXPECT_EQ(texts("Financial"), (std::vector<std::string>{"ADX", "R.S.I.", "MACD", "Bollinger\rbands"}));
  EXPECT_EQ(texts("Extended"), (std::vector<std::string>{"Cross Points", "Perimeter"}));
  UnregisterFinancialFunctions();
  EXPECT_TRUE(GraphSeriesTypesList()->TypesOfPage("Financial").empty());
}
