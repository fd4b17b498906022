// The exponential moving average against its closed form, its short and bad inputs, its gallery entry.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "chart/engine/registries.h"
#include "chart/series/functions_average.h"
#include "functions_testkit.h"

namespace {

struct Fixture : TFnRig {
  TExpMovAveFunction* F = Use<TExpMovAveFunction>();
  void Run(const std::vector<double>& V) {
    Src->ClearValues();
    for (size_t i = 0; i < V.size(); ++i) Src->AddXY(static_cast<double>(i) * 2, V[i]);
    F->CalculateFromSource(Src);
  }
};

}  // namespace

TEST(ExpMovingAverage, MatchesTheWeightedSumClosedForm) {
  Fixture f;
  const std::vector<double> v{3, 8, -1, 4, 4, 10, 2, 7};
  for (double period : {1.0, 3.0, 10.0, 2.5}) {
    f.F->InternalSetPeriod(period);
    f.Run(v);
    ASSERT_EQ(f.Dst->PointCount(), static_cast<int>(v.size()));
    // e_i = (1-k)^i v_0 + sum_{j=1..i} k (1-k)^(i-j) v_j
    const double k = 2 / (period + 1);
    for (size_t i = 0; i < v.size(); ++i) {
      double e = std::pow(1 - k, static_cast<double>(i)) * v[0];
      for (size_t j = 1; j <= i; ++j) e += k * std::pow(1 - k, static_cast<double>(i - j)) * v[j];
      EXPECT_NEAR(f.Dst->YValueAt(static_cast<int>(i)), e, 1e-12) << period << " " << i;
      EXPECT_EQ(f.Dst->XValueAt(static_cast<int>(i)), 2.0 * static_cast<double>(i));
    }
  }
}

TEST(ExpMovingAverage, ShortOrBadSourcesGiveAnEmptyResult) {
  Fixture f;
  EXPECT_EQ(f.F->Period(), 10);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::vector<double>> cases{{}, {5}, {1, nan, 3}, {1, 2, std::numeric_limits<double>::infinity()}};
  for (const auto& c : cases) {
    f.Dst->AddXY(0, 1);  // a stale point that the calculation must clear
    f.Run(c);
    EXPECT_EQ(f.Dst->PointCount(), 0) << c.size();
  }
  // A period of 0 gives nothing either.
  f.F->InternalSetPeriod(0);
  f.Run({1, 2, 3});
  EXPECT_EQ(f.Dst->PointCount(), 0);
}

TEST(ExpMovingAverage, RegisteredOnTheFinancialPage) {
  RegisterAverageFunctions();
  const auto page = GraphSeriesTypesList()->TypesOfPage("Financial");
  ASSERT_EQ(page.size(), 1u);
  EXPECT_EQ(page[0]->DescriptionText(), "Exp.Moving\rAverage");
  EXPECT_EQ(page[0]->NumGallerySeries, 1);
  UnregisterAverageFunctions();
  EXPECT_TRUE(GraphSeriesTypesList()->TypesOfPage("Financial").empty());
}
