// The parameters recovered from noise-free matrices of known models.
#include "mtdata/mt_params.h"

#include "mt_model_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

namespace {

constexpr double Deg = 180 / std::numbers::pi;

// Degrees as the computation forms them: radians times the single-precision factor.
double ArgDeg(cd z) { return std::arg(z) * static_cast<double>(RadToDegSingle); }

struct RefCase {
  const char* name;
  bool siteOrder;
  int refType, dispRef;
  cd kxx, kxy, kyx, kyy;  // remote = K H
};

const RefCase RefCases[] = {
    {"local E", true, frtLocalE, drLocalE, 1, 0, 0, 1},
    {"local H", false, frtLocalH, drLocalH, 1, 0, 0, 1},
    {"remote H equal", true, frtRemoteH, drRemote, 1, 0, 0, 1},
    {"remote H correlated", false, frtRemoteH, drRemote, cd(0.8, 0.1), cd(0.2, -0.1), cd(-0.3, 0), cd(1.1, 0.2)},
    {"remote E", true, frtRemoteE, drRemote, cd(0.9, 0), cd(0.1, 0.1), cd(0, -0.2), cd(1, 0)},
};

TEST(ParamsModel, RecoversTensorTipperAndCoherences) {
  for (const RefCase& rc : RefCases) {
    SCOPED_TRACE(rc.name);
    TMtModel m = TMtModel::General();
    m.Kxx = rc.kxx;
    m.Kxy = rc.kxy;
    m.Kyx = rc.kyx;
    m.Kyy = rc.kyy;
    TCallArgs a;
    a.Order = rc.siteOrder ? SiteChannelOrder() : IdentityChannelOrder();
    a.RefType = rc.refType;
    a.DispRef = rc.dispRef;
    TPlots p = FilledPlots(0);
    Compute(p, m, a);
    const auto row = p[a.F];

    const cd z[4] = {m.Zxx, m.Zxy, m.Zyx, m.Zyy};
    for (int i = 0; i < 4; ++i) {
      // Angle 0: the rotated columns hold the measured tensor.
      EXPECT_NEAR(row[45 + 2 * i], z[i].real(), 1e-12);
      EXPECT_NEAR(row[46 + 2 * i], z[i].imag(), 1e-12);
      EXPECT_NEAR(row[69 + i], std::abs(z[i]), 1e-12);
      EXPECT_NEAR(row[73 + i], ArgDeg(z[i]), 1e-9);
      EXPECT_NEAR(row[61 + i], std::abs(z[i]), 1e-12);
      // Through the admittance, in single precision.
      EXPECT_NEAR(row[77 + i], row[69 + i], 2e-6 * row[69 + i]);
      EXPECT_NEAR(row[81 + i], row[73 + i], 1e-4);
    }
    EXPECT_EQ(row[66], row[3]);
    EXPECT_EQ(row[67], row[4]);
    EXPECT_NEAR(row[1], 0.2 * std::norm(m.Zxy) / a.Freq, 1e-12);
    EXPECT_NEAR(row[2], 0.2 * std::norm(m.Zyx) / a.Freq, 1e-12);
    const cd det = m.Zxx * m.Zyy - m.Zxy * m.Zyx;
    EXPECT_NEAR(row[128], std::sqrt(std::abs(det)), 1e-12);
    EXPECT_NEAR(row[129], ArgDeg(det) / 2, 1e-9);
    EXPECT_NEAR(row[5], std::abs((m.Zxx + m.Zyy) / (m.Zxy - m.Zyx)), 1e-12);
    EXPECT_NEAR(row[6], std::abs((m.Zxx - m.Zyy) / (m.Zxy + m.Zyx)), 1e-12);

    EXPECT_NEAR(row[100], m.Tx.real(), 1e-12);
    EXPECT_NEAR(row[101], m.Ty.real(), 1e-12);
    EXPECT_NEAR(row[102], m.Tx.imag(), 1e-12);
    EXPECT_NEAR(row[103], m.Ty.imag(), 1e-12);
    EXPECT_NEAR(row[9], std::sqrt(std::norm(m.Tx) + std::norm(m.Ty)), 1e-12);
    EXPECT_NEAR(row[15], std::abs(m.Tx) / std::abs(m.Ty), 1e-12);
    EXPECT_NEAR(row[10], std::hypot(m.Tx.real(), m.Ty.real()), 1e-12);
    EXPECT_NEAR(row[13], std::atan2(m.Ty.real(), m.Tx.real()) * RadToDegSingle, 1e-9);
    EXPECT_NEAR(row[42], std::atan2(m.Ty.imag(), m.Tx.imag()) * RadToDegSingle, 1e-9);

    for (int p = 21; p <= 26; ++p) EXPECT_NEAR(row[p], 1, 1e-9) << p;  // multiple coherences
    for (int p = 32; p <= 36; ++p) EXPECT_NEAR(row[p], 1, 1e-9) << p;  // signal ratios
    // No residual power: variances vanish; the modulus variances are halves of 37 and 38.
    for (int p : {37, 38, 39, 40, 53, 56, 89, 90, 132, 133}) EXPECT_NEAR(row[p], 0, 1e-10) << p;
    EXPECT_EQ(row[54], row[37] / 2);
    EXPECT_EQ(row[55], row[38] / 2);
    for (int p = 0; p <= MaxParam; ++p) EXPECT_TRUE(std::isfinite(row[p])) << p;

    // Remote transfer L = P R: P = K^-1 (remote H) or Z K^-1 (remote E); Hz on R: T K^-1.
    if (rc.refType == frtRemoteH || rc.refType == frtRemoteE) {
      const cd kd = m.Kxx * m.Kyy - m.Kxy * m.Kyx;
      const cd ki[2][2] = {{m.Kyy / kd, -m.Kxy / kd}, {-m.Kyx / kd, m.Kxx / kd}};
      cd l[2][2] = {{1, 0}, {0, 1}};
      if (rc.refType == frtRemoteE) {
        l[0][0] = m.Zxx;
        l[0][1] = m.Zxy;
        l[1][0] = m.Zyx;
        l[1][1] = m.Zyy;
      }
      for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
          const cd pij = l[i][0] * ki[0][j] + l[i][1] * ki[1][j];
          EXPECT_NEAR(row[104 + 2 * i + j], std::abs(pij), 1e-10);
          EXPECT_NEAR(row[110 + 2 * i + j], ArgDeg(pij), 1e-7);
        }
      const cd pzx = m.Tx * ki[0][0] + m.Ty * ki[1][0];
      EXPECT_NEAR(row[108], std::abs(pzx), 1e-10);
    } else {
      for (int p = 104; p <= 115; ++p) EXPECT_EQ(row[p], 0) << p;
    }
  }
}

TEST(ParamsModel, HalfSpace) {
  for (double f : {1000.0, 1.0, 0.001}) {
    const cd z = HalfSpaceImpedance(100, f);
    TCallArgs a;
    a.Freq = f;
    TPlots p = FilledPlots(0);
    Compute(p, TMtModel::OneD(z), a);
    EXPECT_NEAR(p[a.F][1], 100, 1e-9);
    EXPECT_NEAR(p[a.F][2], 100, 1e-9);
    EXPECT_NEAR(p[a.F][3], 45, 1e-5);
    EXPECT_NEAR(p[a.F][4], -135, 1e-5);
    EXPECT_NEAR(p[a.F][5], 0, 1e-15);
    EXPECT_NEAR(p[a.F][128], std::abs(z), 1e-12 * std::abs(z));
    EXPECT_NEAR(p[a.F][129], 45, 1e-5);
    EXPECT_NEAR(p[a.F][60], std::log10(f), 1e-15);
    EXPECT_EQ(p[a.F][99], f);
  }
}

TEST(ParamsModel, LayeredEarth) {
  const std::vector<double> rho = {100, 10, 1000}, thick = {500, 2000};
  for (double f : {300.0, 10.0, 1.0, 0.1, 0.003}) {
    double rhoA, phase;
    const cd z = LayeredImpedance(rho, thick, f, &rhoA, &phase);
    TMtModel m = TMtModel::OneD(z);
    TCallArgs a;
    a.Freq = f;
    TPlots p = FilledPlots(0);
    Compute(p, m, a);
    EXPECT_NEAR(p[a.F][1], rhoA, 1e-9 * rhoA) << f;
    EXPECT_NEAR(p[a.F][2], rhoA, 1e-9 * rhoA) << f;
    EXPECT_NEAR(p[a.F][3], phase, 1e-5) << f;
    EXPECT_NEAR(p[a.F][4], phase - 180, 1e-5) << f;
  }
}

TEST(ParamsModel, RotationOfTheAxes) {
  const TMtModel m = TMtModel::General();
  TCallArgs a;
  TPlots p0 = FilledPlots(0), p90 = FilledPlots(0), p30 = FilledPlots(0);
  Compute(p0, m, a);
  a.Angle = 90;
  Compute(p90, m, a);
  a.Angle = 30;
  Compute(p30, m, a);
  const int F = a.F;

  // 90 degrees exchanges xy and yx (up to the single-precision degree factor).
  EXPECT_NEAR(p90[F][62], p0[F][63], 1e-8);
  EXPECT_NEAR(p90[F][63], p0[F][62], 1e-8);
  EXPECT_NEAR(p90[F][1], p0[F][2], 1e-8);
  EXPECT_NEAR(p90[F][2], p0[F][1], 1e-8);
  EXPECT_EQ(p90[F][57], 90);

  // 30 degrees: Z' = R Z R^T; the tipper modulus and the measured tensor do not change.
  const double t = 30 / static_cast<double>(RadToDegSingle), c = std::cos(t), s = std::sin(t);
  const double r[2][2] = {{c, s}, {-s, c}};
  const cd z[2][2] = {{m.Zxx, m.Zxy}, {m.Zyx, m.Zyy}};
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j) {
      cd e = 0;
      for (int k = 0; k < 2; ++k)
        for (int l = 0; l < 2; ++l) e += r[i][k] * z[k][l] * r[j][l];
      EXPECT_NEAR(p30[F][45 + 4 * i + 2 * j], e.real(), 1e-12);
      EXPECT_NEAR(p30[F][46 + 4 * i + 2 * j], e.imag(), 1e-12);
    }
  EXPECT_NEAR(p30[F][9], p0[F][9], 1e-12);
  for (int q = 69; q <= 76; ++q) EXPECT_EQ(p30[F][q], p0[F][q]);
  // The rotated matrix explains the rotated tensor as well: variances stay at 0.
  for (int q : {37, 38, 39, 40, 8, 132, 133}) EXPECT_NEAR(p30[F][q], 0, 1e-10) << q;
  EXPECT_EQ(p30[F][57], 30);
}

TEST(ParamsModel, FixedAngleZeroAndOneDimensionalTensor) {
  TCallArgs a;
  TPlots p = FilledPlots(0);
  Compute(p, TMtModel::General(), a);
  EXPECT_EQ(p[a.F][57], 1e-5);
  EXPECT_EQ(p[a.F][7], 1e-4 * static_cast<double>(RadToDegSingle));
  EXPECT_NEAR(p[a.F][7], 0.0057296, 1e-7);

  // A 1-D tensor at 30 degrees: unchanged, skew 0, ellipticity 0/0 logged and 0.
  const TMtModel m = TMtModel::OneD(cd(1.5, 1.0));
  a.Angle = 30;
  p.Fill(777);
  ErrorLogActive = true;
  testing::internal::CaptureStdout();
  Compute(p, m, a);
  ErrorLogActive = false;
  const std::string log = testing::internal::GetCapturedStdout();
  const auto row = p[a.F];
  EXPECT_NEAR(row[47], 1.5, 1e-12);
  EXPECT_NEAR(row[48], 1.0, 1e-12);
  EXPECT_NEAR(row[49], -1.5, 1e-12);
  EXPECT_NEAR(row[50], -1.0, 1e-12);
  for (int q : {45, 46, 51, 52}) EXPECT_NEAR(row[q], 0, 1e-15);
  EXPECT_NEAR(row[5], 0, 1e-15);
  EXPECT_EQ(row[6], 0);
  EXPECT_EQ(row[57], 30);
  EXPECT_NE(log.find("Division by Betadenom = 0\n"), std::string::npos) << log;
}

TEST(ParamsModel, RealTipperStrikeIsTheRealVectorTurnedAndFolded) {
  struct Case {
    double tx, ty, strike;
  } cases[] = {{0.3, -0.4, 36.8699}, {-0.3, -0.4, -36.8699}, {-0.3, 0.4, -143.1301}};
  for (const Case& c : cases) {
    TMtModel m = TMtModel::General();
    m.Tx = c.tx;
    m.Ty = c.ty;
    TCallArgs a;
    a.Angle = 40;  // the strike comes from the measured tipper
    TPlots p = FilledPlots(0);
    Compute(p, m, a);
    EXPECT_NEAR(p[a.F][16], c.strike, 1e-4) << c.tx << "," << c.ty;
    EXPECT_NEAR(p[a.F][13], c.strike - 90 + (c.strike < -90 ? 360 : 0), 1e-4);
    EXPECT_NEAR(p[a.F][11], 0, 1e-15);
    EXPECT_NEAR(p[a.F][14], 0, 1e-15);
    EXPECT_NEAR(p[a.F][9], 0.5, 1e-12);  // the modulus does not turn
  }
}

// Columns where a row computed over zeros and one computed over 777 differ (the other rows
// alike): those that the computation leaves alone.
std::set<int> ColumnsLeftAlone(const TMtModel& m, const TCallArgs& a) {
  TPlots zeros = FilledPlots(0), marked = FilledPlots(0);
  for (int q = 0; q <= MaxParam; ++q) marked[a.F][q] = 777;
  Compute(zeros, m, a);
  Compute(marked, m, a);
  std::set<int> diff;
  for (int q = 1; q <= MaxParam; ++q)
    if (zeros[a.F][q] != marked[a.F][q]) diff.insert(q);
  return diff;
}

TEST(ParamsModel, ColumnsLeftAloneWithAndWithoutHz) {
  std::set<int> never = {116, 117, 118, 119, 120, 121, 122, 123, 124, 125, 126, 127, 130, 131};
  TCallArgs a;
  a.RefType = frtRemoteH;
  a.DispRef = drRemote;
  EXPECT_EQ(ColumnsLeftAlone(TMtModel::General(), a), never);

  TMtModel noHz = TMtModel::General();
  noHz.HasHz = false;
  a.Order = SiteChannelOrder(false);
  std::set<int> expected = never;
  for (int q :
       {8, 9, 10, 11, 12, 13, 14, 15, 16, 29, 34, 41, 42, 85, 86, 87, 88, 100, 101, 102, 103, 132, 133, 134, 135})
    expected.insert(q);
  EXPECT_EQ(ColumnsLeftAlone(noHz, a), expected);

  TPlots p = FilledPlots(777);
  Compute(p, noHz, a);
  EXPECT_EQ(p[a.F][25], 0);
  EXPECT_EQ(p[a.F][26], 0);
  for (int q : {108, 109, 114, 115}) EXPECT_EQ(p[a.F][q], 0) << q;  // no Hz row of the transfer
  EXPECT_NEAR(p[a.F][21], 1, 1e-9);
}

TEST(ParamsModel, IndexErrorsOfTheCaller) {
  TPlots p = FilledPlots(0);
  TFrequencyGrid grid = FrequencyGrid(40);
  TMatrix7 re, im;
  BuildCrossPowers(TMtModel::General(), SiteChannelOrder(), re, im);
  const TChannelOrder order = SiteChannelOrder();
  const double n = 1, angle = 0;
  EXPECT_THROW(CalcMtParameters(p, grid, n, 0, 40, 0, order, 0, 1, 0, angle, re, im), ERangeError);
  EXPECT_THROW(CalcMtParameters(p, grid, n, 141, 40, 0, order, 0, 1, 0, angle, re, im), ERangeError);
  EXPECT_THROW(CalcMtParameters(p, grid, n, 1, 40, 0, order, 0, 1, 3, angle, re, im), ERangeError);
  TChannelOrder noRemote = order;
  noRemote[chRx] = 0;
  EXPECT_THROW(CalcMtParameters(p, grid, n, 1, 40, 0, noRemote, 0, 1, drRemote, angle, re, im), ERangeError);
  // A local reference does not touch the remote slots.
  EXPECT_NO_THROW(CalcMtParameters(p, grid, n, 1, 40, 0, noRemote, 0, 1, drLocalH, angle, re, im));
}

TEST(ParamsModel, NameTables) {
  EXPECT_EQ(ParameterNames[1], "Rhoxy ohm-m.");
  EXPECT_EQ(ParameterShortNames[1], "RhoxyOhmm");
  EXPECT_EQ(ParameterNames[91], "Rx Gam(uv/m)/Hz^.5");
  EXPECT_EQ(ParameterShortNames[97], "TenDepthxyKm");
  EXPECT_EQ(ParameterNames[135], "VarPhaseTy");
  for (int i = 1; i <= MaxParam; ++i) {
    EXPECT_FALSE(ParameterNames[i].empty());
    EXPECT_EQ(ParameterShortNames[i].find_first_of(" ,.()-^/"), std::string_view::npos) << ParameterShortNames[i];
  }
  EXPECT_THROW(ParameterNames[0], ERangeError);
}

}  // namespace
