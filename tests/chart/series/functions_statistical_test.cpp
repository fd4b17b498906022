// The statistical functions against direct textbook loops: moving and exponential averages,
// momentum, deviation, root mean square, variance, stochastic %K and performance, with their short,
// zero and bad inputs and their gallery entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "chart/engine/chart_errors.h"
#include "chart/engine/registries.h"
#include "chart/series/functions_statistical.h"
#include "functions_testkit.h"
#include "chart/series/testkit/series_testkit.h"
#include "platform/exceptions.h"

namespace {

// The windows a moving function reports: one per i >= P - 1, placed at X[i].
template <class F>
void ExpectWindows(const TChartSeries* Dst, int P, F&& Reference, double Tol = 1e-12) {
  const int n = static_cast<int>(kY.size());
  ASSERT_EQ(Dst->PointCount(), std::max(0, n - P + 1)) << "period " << P;
  for (int i = P - 1; i < n; ++i) {
    EXPECT_NEAR(Dst->YValueAt(i - P + 1), Reference(i - P + 1, i), Tol) << "period " << P << " window end " << i;
    EXPECT_EQ(Dst->XValueAt(i - P + 1), kX[static_cast<size_t>(i)]);
  }
}

}  // namespace

TEST(StatisticalFunctions, MovingAveragesMatchDirectWindows) {
  TFnRig r;
  FillSeries(r.Src, kX, kY);
  auto* f = r.Use<TMovingAverageFunction>(1);
  for (int p : {1, 3, 4, 10}) {
    for (int mode = 0; mode < 3; ++mode) {
      f->SetWeighted(mode == 1);
      f->SetWeightedIndex(mode == 2);
      f->InternalSetPeriod(p);
      r.Run();
      ExpectWindows(r.Dst, p, [&](int a, int b) {
        double sw = 0, swv = 0;
        for (int k = a; k <= b; ++k) {
          const double w = mode == 1 ? kX[static_cast<size_t>(k)] : mode == 2 ? k - a + 1 : 1;
          sw += w;
          swv += w * kY[static_cast<size_t>(k)];
        }
        return swv / sw;
      });
    }
  }
  // 1, 2, 3 weighted by their index: (1 + 4 + 9) / 6.
  FillSeries(r.Src, {1, 2, 3});
  f->SetWeighted(false);
  f->SetWeightedIndex(true);
  f->InternalSetPeriod(3);
  r.Run();
  ASSERT_EQ(r.Dst->PointCount(), 1);
  EXPECT_NEAR(r.Dst->YValueAt(0), 14.0 / 6, 1e-15);
  EXPECT_NEAR(f->ComputeValue(r.Src, 0, 2), 14.0 / 6, 1e-15);
  // A period longer than the data gives nothing; a period of 0 stops with its message.
  f->InternalSetPeriod(4);
  r.Run();
  EXPECT_EQ(r.Dst->PointCount(), 0);
  f->InternalSetPeriod(0);
  try {
    r.Run();
    ADD_FAILURE();
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(e.Message(), "Period must be bigger than zero.");
  }
}

TEST(StatisticalFunctions, ExponentialAverageMomentumAndPerformance) {
  TFnRig r;
  FillSeries(r.Src, kX, kY);
  auto* e = r.Use<TExpAverageFunction>(1);
  EXPECT_EQ(e->Weight(), 0.2);
  e->SetWeight(0.3);
  r.Run();
  ExpectWindows(r.Dst, 1, [](int, int L) {
    return L < 1 ? kY[0] : 0.7 * kY[static_cast<size_t>(L - 1)] + 0.3 * kY[static_cast<size_t>(L)];
  });
  for (double bad : {-0.1, 1.5, std::numeric_limits<double>::quiet_NaN()}) {
    try {
      e->SetWeight(bad);
      ADD_FAILURE() << bad;
    } catch (const ChartException& ex) {
      EXPECT_EQ(ex.Message(), "ExpAverage Weight must be between 0 and 1");
    }
  }
  EXPECT_EQ(e->Weight(), 0.3);

  TFnRig m;
  FillSeries(m.Src, kX, kY);
  auto* mom = m.Use<TMomentumFunction>(1);
  m.Run();
  EXPECT_EQ(YsOf(m.Dst), std::vector<double>(kY.size(), 0.0));  // period 1: always 0
  mom->InternalSetPeriod(4);
  m.Run();
  ExpectWindows(m.Dst, 4, [](int a, int b) { return kY[static_cast<size_t>(b)] - kY[static_cast<size_t>(a)]; });

  TFnRig d;
  FillSeries(d.Src, kX, kY);
  d.Use<TMomentumDivFunction>(3);
  d.Run();
  ExpectWindows(d.Dst, 3, [](int a, int b) {
    return kY[static_cast<size_t>(a)] == 0 ? 0 : 100 * kY[static_cast<size_t>(b)] / kY[static_cast<size_t>(a)];
  });

  TFnRig p;
  FillSeries(p.Src, kX, kY);
  p.Use<TPerformanceFunction>(2);
  p.Run();
  ExpectWindows(p.Dst, 2, [](int, int b) { return 100 * (kY[static_cast<size_t>(b)] - kY[0]) / kY[0]; });
  FillSeries(p.Src, {0, 5, 7});  // a first value of 0 gives 0
  p.Run();
  EXPECT_EQ(YsOf(p.Dst), (std::vector<double>{0, 0}));
}

TEST(StatisticalFunctions, DeviationRootMeanSquareAndVariance) {
  // Two-pass references over a range.
  auto mean = [](const std::vector<double>& v) {
    double s = 0;
    for (double x : v) s += x;
    return s / static_cast<double>(v.size());
  };
  auto sq = [&](const std::vector<double>& v) {
    const double m = mean(v);
    double q = 0;
    for (double x : v) q += (x - m) * (x - m);
    return q;
  };
  const std::vector<double> v{2, 4, 4, 4, 5, 5, 7, 9};
  TFnRig r;
  FillSeries(r.Src, v);
  auto* sd = r.Use<TStdDeviationFunction>(0);
  sd->SetComplete(true);
  r.Run();
  ASSERT_EQ(r.Dst->PointCount(), 1);
  EXPECT_NEAR(r.Dst->YValueAt(0), 2, 1e-14);
  sd->SetComplete(false);
  r.Run();
  EXPECT_NEAR(r.Dst->YValueAt(0), std::sqrt(32.0 / 7), 1e-14);  // 2.138...
  // Periods of three points: one value per full period.
  sd->InternalSetPeriod(3);
  r.Run();
  ASSERT_EQ(r.Dst->PointCount(), 2);
  EXPECT_NEAR(r.Dst->YValueAt(0), std::sqrt(sq({2, 4, 4}) / 2), 1e-14);
  EXPECT_NEAR(r.Dst->YValueAt(1), std::sqrt(sq({4, 5, 5}) / 2), 1e-14);
  EXPECT_EQ(sd->ComputeValue(r.Src, 3, 3), 0);  // fewer than two values

  auto* rms = new TRMSFunction(&r.Owner);
  double q = 0;
  for (double x : v) q += x * x;
  EXPECT_NEAR(rms->ComputeValue(r.Src, -1, -1), std::sqrt(q / 7), 1e-14);
  rms->SetComplete(true);
  EXPECT_NEAR(rms->ComputeValue(r.Src, -1, -1), std::sqrt(q / 8), 1e-14);
  EXPECT_NEAR(rms->ComputeValue(r.Src, 1, 2), std::sqrt(32.0 / 2), 1e-14);

  auto* var = new TVarianceFunction(&r.Owner);
  EXPECT_NEAR(var->ComputeValue(r.Src, -1, -1), sq(v) / 8, 1e-14);
  EXPECT_NEAR(var->ComputeValue(r.Src, 2, 6), sq({4, 4, 5, 5, 7}) / 5, 1e-14);
  EXPECT_EQ(var->ComputeValue(r.Src, 3, 2), 0);

  // Several sources, one of them shorter: the values present at each index count.
  auto* a = new TFnSeries(&r.Owner);
  auto* b = new TFnSeries(&r.Owner);
  auto* c = new TFnSeries(&r.Owner);
  FillSeries(a, {1, 10});
  FillSeries(b, {3, 20});
  FillSeries(c, {8});
  TDataSourcesList list(nullptr);
  for (TComponent* s : {a, b, c}) list.Append(s);
  EXPECT_NEAR(sd->ComputeManyValue(&list, 0), std::sqrt(sq({1, 3, 8}) / 2), 1e-14);
  EXPECT_NEAR(sd->ComputeManyValue(&list, 1), std::sqrt(sq({10, 20}) / 1), 1e-14);
  EXPECT_NEAR(rms->ComputeManyValue(&list, 0), std::sqrt((1 + 9 + 64) / 3.0), 1e-14);
  EXPECT_EQ(rms->ComputeManyValue(&list, 5), 0);
  EXPECT_NEAR(var->ComputeManyValue(&list, 0), sq({1, 3, 8}) / 3, 1e-14);
  EXPECT_NEAR(var->ComputeManyValue(&list, 1), 25, 1e-14);
}

TEST(StatisticalFunctions, StochasticOverHighsAndLows) {
  TComponent owner(nullptr);
  auto* src = new TOHLCFnSeries(&owner);
  auto* dst = new TFnSeries(&owner);
  const std::vector<TOHLCRow> rows{{5, 7, 4, 6}, {6, 9, 5, 8}, {8, 8, 3, 4}, {4, 6, 4, 5},
                                   {5, 5, 5, 5}, {5, 5, 5, 5}, {5, 5, 5, 5}, {5, 12, 1, 11}};
  for (size_t i = 0; i < rows.size(); ++i)
    src->AddOHLC(static_cast<double>(i), rows[i].Open, rows[i].High, rows[i].Low, rows[i].Close);
  auto* f = new TStochasticFunction(&owner);
  dst->AttachFunction(f);
  for (int p : {1, 3}) {
    f->InternalSetPeriod(p);
    f->CalculateFromSource(src);
    ASSERT_EQ(dst->PointCount(), static_cast<int>(rows.size()) - p + 1);
    for (int i = p - 1; i < static_cast<int>(rows.size()); ++i) {
      double lo = rows[static_cast<size_t>(i)].Low, hi = rows[static_cast<size_t>(i)].High;
      for (int k = i - p + 1; k <= i; ++k) {
        lo = std::min(lo, rows[static_cast<size_t>(k)].Low);
        hi = std::max(hi, rows[static_cast<size_t>(k)].High);
      }
      const double want = lo == hi ? 0 : 100 * (rows[static_cast<size_t>(i)].Close - lo) / (hi - lo);
      EXPECT_NEAR(dst->YValueAt(i - p + 1), want, 1e-12) << p << " " << i;
      EXPECT_NEAR(f->ComputeValue(src, i - p + 1, i), want, 1e-12);
    }
    dst->ClearValues();
  }
}

TEST(StatisticalFunctions, NonFiniteSourcesGiveEmptyResults) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  for (const auto& bad : {std::vector<double>{1, nan, 3, 4}, std::vector<double>{1, 2, inf, 4}}) {
    TFnRig r;
    FillSeries(r.Src, bad);
    std::vector<std::unique_ptr<TGraphFunction>> all;
    auto check = [&](TGraphFunction* f, double period) {
      f->InternalSetPeriod(period);
      r.Dst->AttachFunction(f);
      r.Run();
      EXPECT_EQ(r.Dst->PointCount(), 0) << f->ClassName();
    };
    check(new TMovingAverageFunction(&r.Owner), 2);
    check(new TExpAverageFunction(&r.Owner), 1);
    check(new TMomentumFunction(&r.Owner), 2);
    check(new TMomentumDivFunction(&r.Owner), 2);
    check(new TStdDeviationFunction(&r.Owner), 0);
    check(new TRMSFunction(&r.Owner), 2);
    check(new TVarianceFunction(&r.Owner), 0);
    check(new TPerformanceFunction(&r.Owner), 1);
  }
}

TEST(StatisticalFunctions, RecalculateOncePerSourceOrPropertyChange) {
  TSeriesChart chart;
  auto* src = chart.Add<TFnSeries>();
  auto* dst = chart.Add<TFnSeries>();
  auto* f = new TMovingAverageFunction(dst);
  f->InternalSetPeriod(2);
  dst->AttachFunction(f);
  dst->SetDataSource(src);
  dst->Rebuilds = 0;
  FillSeries(src, {1, 3, 5, 7});
  EXPECT_EQ(dst->Rebuilds, 1);
  EXPECT_EQ(YsOf(dst), (std::vector<double>{2, 4, 6}));
  f->SetWeightedIndex(true);
  EXPECT_EQ(dst->Rebuilds, 2);
  EXPECT_NEAR(dst->YValueAt(0), (1 + 2 * 3) / 3.0, 1e-15);
  f->SetWeightedIndex(true);  // unchanged: nothing
  EXPECT_EQ(dst->Rebuilds, 2);
  src->YValues()->SetValue(0, 4);
  EXPECT_EQ(dst->Rebuilds, 3);
  EXPECT_NEAR(dst->YValueAt(0), (4 + 2 * 3) / 3.0, 1e-15);
}

TEST(StatisticalFunctions, RegisteredOnTheirGalleryPages) {
  RegisterStatisticalFunctions();
  auto texts = [](const char* Page) {
    std::vector<std::string> t;
    for (auto* e : GraphSeriesTypesList()->TypesOfPage(Page)) {
      EXPECT_EQ(e->NumGallerySeries, 1);
      t.push_back(e->DescriptionText());
    }
    return t;
  };
  EXPECT_EQ(texts("Financial"),
            (std::vector<std::string>{"Moving\rAverage", "Momentum", "Momentum\rDivision", "Stochastic"}));
  EXPECT_EQ(texts("Extended"), (std::vector<std::string>{"Exponential\rAverage", "Standard\rDeviation",
                                                         "Root Mean\rSquare", "Performance", "Variance"}));
  std::string name;
  TMovingAverageFunction(nullptr).GetEditorClassName(name);
  EXPECT_EQ(name, "TMovAveFuncEditor");
  TRMSFunction(nullptr).GetEditorClassName(name);
  EXPECT_EQ(name, "TRMSFuncEditor");
  UnregisterStatisticalFunctions();
  EXPECT_TRUE(GraphSeriesTypesList()->TypesOfPage("Financial").empty());
  EXPECT_TRUE(GraphSeriesTypesList()->TypesOfPage("Extended").empty());
}
