// The two steps that read neighbouring rows: the principal-axes fold and the Bostick inversion.
#include "mtdata/mt_params.h"

#include "mt_model_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

TMtModel Exact(TMtModel m) {
  m.Sources = {{cd(1, 0), cd(0, 0)}, {cd(0, 0), cd(1, 0)}};
  return m;
}

TEST(ParamsPrincipalAxes, FoldTowardsTheNeighbourMean) {
  // Strike 10 degrees with |Zxy| < |Zyx| in the principal frame: the angle after the
  // disambiguation is 100 degrees, period 180.
  const TMtModel twoD = Exact(TMtModel::TwoD(cd(1, 1), cd(2, 2), 10));
  TMtModel halfDivisor;  // |Zxx - Zyy| = |Zxy + Zyx|: the angle ratio has a zero divisor
  halfDivisor.Zxx = 1;
  halfDivisor.Zxy = 1;
  halfDivisor = Exact(halfDivisor);
  struct Case {
    const char* name;
    const TMtModel* model;
    int F;
    int firstRow, lastRow;  // rows whose strike is set to `strike`
    double strike;
    double expected;
    double above28 = 0;  // strike of rows 29..32
  } cases[] = {
      {"neighbours near -80", &twoD, 10, 5, 12, -80, -80},
      {"neighbours near 100", &twoD, 10, 5, 12, 100, 100},
      {"no neighbours", &twoD, 10, 0, -1, 0, -80},
      {"rows above 28 ignored", &twoD, 34, 29, 36, 100, -80},
      {"only rows up to 28 count", &twoD, 30, 25, 28, 100, 100, -80},
      {"zero divisor of the angle ratio", &halfDivisor, 10, 0, -1, 0, -22.5},
  };
  {
    // A wild strike in a neighbouring row (a damaged result record) ends in finite time.
    TPlots p = FilledPlots(0);
    p[9][7] = 1e300;
    TCallArgs a;
    a.F = 10;
    a.Mode = 1;
    Compute(p, twoD, a);
    EXPECT_TRUE(std::isfinite(p[10][7]));
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TPlots p = FilledPlots(0);
    for (int k = c.firstRow; k <= c.lastRow; ++k) p[k][7] = c.strike;
    for (int k = 29; k <= 32 && c.above28 != 0; ++k) p[k][7] = c.above28;
    TCallArgs a;
    a.F = c.F;
    a.Mode = 1;
    a.RefType = frtLocalH;
    a.DispRef = drLocalH;
    a.Angle = 55;  // not used in principal-axes mode
    Compute(p, *c.model, a);
    EXPECT_NEAR(p[c.F][7], c.expected, 1e-5);
    EXPECT_EQ(p[c.F][57], p[c.F][7]);
    if (c.model == &twoD) {
      // The principal frame: zero diagonal, Zxy and Zyx of the model swapped.
      EXPECT_NEAR(p[c.F][61], 0, 1e-12);
      EXPECT_NEAR(p[c.F][64], 0, 1e-12);
      EXPECT_NEAR(p[c.F][62], std::abs(cd(2, 2)), 1e-12);
      EXPECT_NEAR(p[c.F][63], std::abs(cd(1, 1)), 1e-12);
    }
  }
}

// Bostick resistivity and depth from the mean of the neighbourhood as the table holds it.
struct Bostick {
  double rhoXy, rhoYx, depthXy, depthYx;
};
Bostick Expected(const TPlots& p, int first, int last, double f) {
  double s1 = 0, s2 = 0, s3 = 0, s4 = 0;
  int n = 0;
  for (int k = first; k <= last; ++k)
    if (p[k][1] > 0 && p[k][2] > 0) {
      ++n;
      s1 += std::log10(p[k][1]);
      s2 += std::log10(p[k][2]);
      s3 += p[k][3];
      s4 += p[k][4];
    }
  const double rxy = std::pow(10, s1 / n), ryx = std::pow(10, s2 / n);
  const double mxy = std::clamp(s3 / n / 45 - 1, -0.99, 0.99);
  const double myx = std::clamp((s4 / n + 180) / 45 - 1, -0.99, 0.99);
  const double w = 1 / (8 * std::numbers::pi * std::numbers::pi * f * 1e-7);
  return {rxy * (1 - mxy) / (1 + mxy), ryx * (1 - myx) / (1 + myx), std::log10(std::sqrt(rxy * w)),
          std::log10(std::sqrt(ryx * w))};
}

void ComputeTable(TPlots& p, const TFrequencyGrid& grid, int count) {
  const std::vector<double> rho = {30, 300, 3}, thick = {1000, 5000};
  for (int f = 1; f <= count; ++f) {
    TMatrix7 re, im;
    const TChannelOrder order = SiteChannelOrder();
    BuildCrossPowers(TMtModel::OneD(LayeredImpedance(rho, thick, grid[f])), order, re, im);
    CalcMtParameters(p, grid, 10.0, f, count, 0, order, 0, frtLocalE, drLocalE, 0.0, re, im);
  }
}

TEST(ParamsBostick, FirstAndLastRowsOfATable) {
  const TFrequencyGrid grid = FrequencyGrid(40);
  TPlots p = FilledPlots(0);
  for (int q = 1; q <= 4; ++q) p[41][q] = p[42][q] = 5;  // beyond NF: never used
  ComputeTable(p, grid, 40);
  const auto check = [&](int F, int first, int last) {
    SCOPED_TRACE(F);
    const Bostick b = Expected(p, first, last, grid[F]);
    EXPECT_NEAR(p[F][43], b.rhoXy, 1e-9 * b.rhoXy);
    EXPECT_NEAR(p[F][44], b.rhoYx, 1e-9 * b.rhoYx);
    EXPECT_NEAR(p[F][58], b.depthXy, 1e-12);
    EXPECT_NEAR(p[F][59], b.depthYx, 1e-12);
    EXPECT_DOUBLE_EQ(p[F][97], std::pow(10, p[F][58]));
    EXPECT_DOUBLE_EQ(p[F][98], std::pow(10, p[F][59]));
  };
  // In ascending order the rows above a row are still empty when it is computed.
  check(1, 1, 1);
  check(20, 18, 20);
  check(40, 38, 40);
  // A second pass finds them filled.
  ComputeTable(p, grid, 40);
  check(1, 1, 3);
  check(20, 18, 22);
  check(40, 38, 40);
}

TEST(ParamsBostick, HalfSpaceGivesItsResistivity) {
  const TFrequencyGrid grid = FrequencyGrid(40);
  TPlots p = FilledPlots(0);
  for (int f = 1; f <= 40; ++f) {
    TCallArgs a;
    a.F = f;
    a.Freq = grid[f];
    Compute(p, TMtModel::OneD(HalfSpaceImpedance(100, grid[f])), a);
  }
  for (int f : {1, 2, 39, 40}) {
    EXPECT_NEAR(p[f][43], 100, 1e-5) << f;
    EXPECT_NEAR(p[f][44], 100, 1e-5) << f;
    EXPECT_NEAR(p[f][58], std::log10(std::sqrt(100 / (8 * std::numbers::pi * std::numbers::pi * grid[f] * 1e-7))),
                1e-9);
  }
}

TEST(ParamsBostick, RowsWithoutResistivityAreLeftOut) {
  TPlots p = FilledPlots(0);
  p[2][1] = 0;  // left out of both sums
  p[2][2] = 50;
  p[2][3] = 10;
  p[3][1] = 1000;
  p[3][2] = 10;
  p[3][3] = 45;
  p[3][4] = -135;
  TCallArgs a;
  a.F = 1;
  Compute(p, TMtModel::OneD(HalfSpaceImpedance(100, a.Freq)), a);
  EXPECT_NEAR(p[1][43], std::pow(10, 2.5), 1e-5);
  EXPECT_NEAR(p[1][44], std::pow(10, 1.5), 1e-5);
}

TEST(ParamsBostick, NonPositiveFrequency) {
  TMtModel m = TMtModel::General();
  TCallArgs a;
  a.Freq = -1;
  for (bool neighbours : {true, false}) {
    SCOPED_TRACE(neighbours);
    TPlots p = FilledPlots(0);
    for (int q : {43, 44, 58, 59, 60}) p[a.F][q] = 0.5;
    if (neighbours) {
      p[a.F + 1][1] = p[a.F + 1][2] = 100;
      p[a.F + 1][3] = 45;
      p[a.F + 1][4] = -135;
    }
    ErrorLogActive = true;
    testing::internal::CaptureStdout();
    Compute(p, m, a);
    ErrorLogActive = false;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // both guards are silent
    EXPECT_LT(p[a.F][1], 0);                                // a negative resistivity does not qualify
    EXPECT_EQ(p[a.F][58], 0.5);
    EXPECT_EQ(p[a.F][59], 0.5);
    EXPECT_EQ(p[a.F][60], 0.5);
    EXPECT_EQ(p[a.F][99], -1);
    EXPECT_DOUBLE_EQ(p[a.F][97], std::pow(10, 0.5));  // from the kept depth
    if (neighbours) {
      EXPECT_NEAR(p[a.F][43], 100, 1e-9);
      EXPECT_NEAR(p[a.F][44], 100, 1e-9);
    } else {
      EXPECT_EQ(p[a.F][43], 0.5);
      EXPECT_EQ(p[a.F][44], 0.5);
    }
  }
}

}  // namespace
