// Every guarded group of the computation: a matrix whose divisor is zero, the value the group
// leaves behind and its log line.
#include "mtdata/mt_params.h"

#include "mt_model_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace {

constexpr double Kept = 777;                                      // the row's value before the call
const double Written = std::numeric_limits<double>::quiet_NaN();  // anything but Kept

struct GuardCase {
  const char* guard;
  std::function<void(TMtModel&, TCallArgs&)> setup;
  int zeroAutoPower;  // logical channel whose auto-power is set to 0, or 0
  std::vector<std::pair<int, double>> after;
  int lines = 1;  // how often the guard's line appears
};

void OneD(TMtModel& m, TCallArgs&) {
  m.Zxx = m.Zyy = 0;
  m.Zxy = cd(1.5, 1.0);
  m.Zyx = -m.Zxy;
}
void Diagonal(TMtModel& m, TCallArgs&) {
  m.Zxx = cd(1, 1);
  m.Zyy = cd(-1, 0.5);
  m.Zxy = m.Zyx = 0;
}
void NoTipper(TMtModel& m, TCallArgs&) {
  m.Tx = m.Ty = 0;
  m.HzNoise = 1;
}
void None(TMtModel&, TCallArgs&) {}

const GuardCase Cases[] = {
    {"Fhz = 0",
     [](TMtModel&, TCallArgs& a) { a.Freq = 0; },
     0,
     {{1, Kept}, {2, Kept}, {60, Kept}, {99, 0}, {58, Kept}, {59, Kept}, {43, Written}}},
    {"Skewdenom = 0",
     [](TMtModel& m, TCallArgs&) {
       m.Zxy = m.Zyx = cd(1, 1);
       m.Zxx = cd(0.3, 0);
       m.Zyy = cd(0.1, 0.1);
     },
     0,
     {{5, 0}}},
    {"Betadenom = 0", [](TMtModel& m, TCallArgs& a) { OneD(m, a), a.Angle = 30; }, 0, {{6, 0}, {57, 30}}},
    {"Amptxy2 = 0", NoTipper, 0, {{16, 90}, {12, Kept}, {14, Kept}, {9, 0}, {10, 0}}, 2},
    {"Ampty = 0", [](TMtModel& m, TCallArgs&) { m.Ty = 0; }, 0, {{15, Kept}, {12, Written}}},
    {"Ravg[Hx, Hx] = 0", None, chHx, {{32, Kept}, {33, Written}}},
    {"Ravg[Hy, Hy] = 0", None, chHy, {{33, Kept}, {32, Written}}},
    {"Ravg[Hz, Hz] = 0", None, chHz, {{34, Kept}}},
    {"Ravg[Ex, Ex] = 0", None, chEx, {{35, Kept}}},
    {"Ravg[Ey, Ey] = 0", None, chEy, {{36, Kept}}},
    {"Dnn = 0", None, chHz, {{25, 0}, {26, 0}}, 2},
    {"D3 = 0",
     [](TMtModel&, TCallArgs& a) { a.Normaliser = 0; },
     0,
     {{37, 0},
      {38, 0},
      {39, 0},
      {40, 0},
      {53, 0},
      {54, 0},
      {55, 0},
      {56, 0},
      {89, 0},
      {90, 0},
      {132, 0},
      {133, 0},
      {8, 0},
      {41, 0}},
     2},
    {"Rxxr^2+Rxxi^2 = 0", OneD, 0, {{53, 0}, {89, 0}}},
    {"Ryyr^2+Ryyi^2 = 0", OneD, 0, {{56, 0}, {90, 0}}},
    {"Rxxr = 0", OneD, 0, {{89, 0}}},
    {"Ryyr = 0", OneD, 0, {{90, 0}}},
    {"Rxyr^2+Rxyi^2 = 0", Diagonal, 0, {{37, 0}, {54, 0}, {39, 0}}},
    {"Ryxr^2+Ryxi^2 = 0", Diagonal, 0, {{38, 0}, {55, 0}, {40, 0}}},
    {"Rxyr = 0", [](TMtModel& m, TCallArgs&) { m.Zxy = cd(0, 2); }, 0, {{39, 0}, {37, Written}}},
    {"Ryxr = 0", [](TMtModel& m, TCallArgs&) { m.Zyx = cd(0, -2); }, 0, {{40, 0}}},
    {"Rxr = 0", [](TMtModel& m, TCallArgs&) { m.Tx = cd(0, 0.3); }, 0, {{134, 0}, {41, Written}}},
    {"Ryr = 0", [](TMtModel& m, TCallArgs&) { m.Ty = cd(0, 0.3); }, 0, {{135, 0}}},
    {"TipMag = 0", NoTipper, 0, {{8, 0}}},
    {"Dphi * Rxr = 0", [](TMtModel& m, TCallArgs&) { m.Tx = cd(0, 0.3); }, 0, {{41, Written}}},
    {"Dphi * Ryr = 0", [](TMtModel& m, TCallArgs&) { m.Ty = cd(0, 0.3); }, 0, {{41, Written}}},
};

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
  return n;
}

std::string RunCase(const GuardCase& c, TPlots& p, bool log) {
  TMtModel m = TMtModel::GeneralUnitSources();
  TCallArgs a;
  a.Xpr = 3;
  a.RefType = frtLocalH;
  a.DispRef = drLocalH;
  c.setup(m, a);
  TMatrix7 re, im;
  BuildCrossPowers(m, a.Order, re, im);
  if (c.zeroAutoPower) re[a.Order[c.zeroAutoPower]][a.Order[c.zeroAutoPower]] = 0;
  p = FilledPlots(0);
  for (int q = 0; q <= MaxParam; ++q) p[a.F][q] = Kept;
  ErrorLogActive = log;
  testing::internal::CaptureStdout();
  ComputeMatrix(p, re, im, a);
  ErrorLogActive = false;
  return testing::internal::GetCapturedStdout();
}

TEST(ParamsGuards, EachGuardSkipsItsGroupAndLogsItsName) {
  for (const GuardCase& c : Cases) {
    SCOPED_TRACE(c.guard);
    TPlots p;
    const std::string log = RunCase(c, p, true);
    const std::string line = std::string(") Division by ") + c.guard + "\n";
    EXPECT_EQ(Count(log, line), c.lines) << log;
    const int F = TCallArgs{}.F;
    for (const auto& [col, value] : c.after) {
      if (std::isnan(value))
        EXPECT_NE(p[F][col], Kept) << "column " << col;
      else
        EXPECT_EQ(p[F][col], value) << "column " << col;
    }
    for (int q = 0; q <= MaxParam; ++q) EXPECT_TRUE(std::isfinite(p[F][q])) << q;

    // The same faults are skipped silently while the error log is off.
    TPlots quiet;
    EXPECT_EQ(RunCase(c, quiet, false), "");
    for (int q = 0; q <= MaxParam; ++q) EXPECT_EQ(quiet[F][q], p[F][q]) << q;
  }
}

TEST(ParamsGuards, LogLineOfAZeroFrequency) {
  TPlots p;
  EXPECT_EQ(RunCase(Cases[0], p, true), "Xpr=  3 f=  5(   0.00000) Division by Fhz = 0\n");
}

// A reference pair without independent signal (one source): every solution is 0 and every
// variance guard fails; in principal-axes mode the angle ratio is 0/0 and the power ratios
// have zero divisors, which must not abort the computation.
TEST(ParamsGuards, SingularReference) {
  for (int mode : {0, 1}) {
    SCOPED_TRACE(mode);
    TMtModel m = TMtModel::GeneralUnitSources();
    m.Sources = {{cd(1, 0.5), cd(0, 0)}};  // no Hy signal: the determinant is exactly 0
    TCallArgs a;
    a.Mode = mode;
    TMatrix7 re, im;
    BuildCrossPowers(m, a.Order, re, im);
    TPlots p = FilledPlots(0);
    for (int q = 0; q <= MaxParam; ++q) p[a.F][q] = Kept;
    p[a.F][7] = 0;  // no strike in the neighbourhood, this row included
    ErrorLogActive = true;
    testing::internal::CaptureStdout();
    EXPECT_NO_THROW(ComputeMatrix(p, re, im, a));
    ErrorLogActive = false;
    const std::string log = testing::internal::GetCapturedStdout();
    for (const char* g : {"Rxxr^2+Rxxi^2 = 0", "Rxyr^2+Rxyi^2 = 0", "Ryxr^2+Ryxi^2 = 0", "Ryyr^2+Ryyi^2 = 0",
                          "Rxxr = 0", "Rxyr = 0", "Ryxr = 0", "Ryyr = 0", "Skewdenom = 0", "Betadenom = 0", "D3 = 0"})
      EXPECT_NE(log.find(std::string("Division by ") + g + "\n"), std::string::npos) << g;
    const auto row = p[a.F];
    for (int q : {1, 2, 5, 6, 37, 38, 39, 40, 53, 54, 55, 56, 89, 90, 9, 100, 103}) EXPECT_EQ(row[q], 0) << q;
    EXPECT_EQ(row[16], 90);
    // No angle is defined: the principal axes fall back to 0.
    if (mode == 1) {
      EXPECT_EQ(row[7], 0);
      EXPECT_EQ(row[57], 1e-5);
    }
    for (int q = 0; q <= MaxParam; ++q) EXPECT_TRUE(std::isfinite(row[q])) << q;
    EXPECT_TRUE(std::isfinite(row[7]));
  }
}

}  // namespace
