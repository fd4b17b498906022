#include "mt_model_fixture.h"

#include <cmath>
#include <numbers>

namespace {
constexpr double Mu0 = 4e-7 * std::numbers::pi;
// Field units to SI: E in mV/km over B in nT is Mu0 * 1000 times E/H in ohms.
constexpr double FieldToSi = Mu0 * 1000;
}  // namespace

TMtModel TMtModel::General() {
  TMtModel m;
  m.Zxx = cd(0.3, -0.2);
  m.Zxy = cd(2.0, 1.5);
  m.Zyx = cd(-1.2, -0.9);
  m.Zyy = cd(-0.1, 0.25);
  m.Tx = cd(0.25, -0.1);
  m.Ty = cd(-0.15, 0.05);
  return m;
}

TMtModel TMtModel::GeneralUnitSources() {
  TMtModel m = General();
  m.Sources = {{cd(1, 0), cd(0, 0)}, {cd(0, 0), cd(1, 0)}};
  return m;
}

TMtModel TMtModel::OneD(cd z) {
  TMtModel m;
  m.Zxy = z;
  m.Zyx = -z;
  return m;
}

TMtModel TMtModel::TwoD(cd a, cd b, double StrikeDeg) {
  // Z = R^T Z2 R with R the rotation matrix of the strike, so that R Z R^T = Z2.
  const double t = StrikeDeg * std::numbers::pi / 180;
  const double c = std::cos(t), s = std::sin(t);
  const cd z2[2][2] = {{0, a}, {-b, 0}};
  const double r[2][2] = {{c, s}, {-s, c}};
  cd z[2][2] = {};
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j)
      for (int k = 0; k < 2; ++k)
        for (int l = 0; l < 2; ++l) z[i][j] += r[k][i] * z2[k][l] * r[l][j];
  TMtModel m;
  m.Zxx = z[0][0];
  m.Zxy = z[0][1];
  m.Zyx = z[1][0];
  m.Zyy = z[1][1];
  return m;
}

TChannelOrder SiteChannelOrder(bool HasHz) {
  TChannelOrder o;
  o[chEx] = 4;
  o[chEy] = 5;
  o[chHx] = 1;
  o[chHy] = 2;
  o[chHz] = HasHz ? 3 : 0;
  o[chRx] = 6;
  o[chRy] = 7;
  return o;
}

TChannelOrder IdentityChannelOrder() {
  TChannelOrder o;
  for (int i = 1; i <= 7; ++i) o[i] = static_cast<int16_t>(i);
  return o;
}

void BuildCrossPowers(const TMtModel& m, const TChannelOrder& Order, TMatrix7& Re, TMatrix7& Im) {
  cd s[8][8] = {};
  for (const auto& [hx, hy] : m.Sources) {
    cd v[8] = {};
    v[chHx] = hx;
    v[chHy] = hy;
    v[chEx] = m.Zxx * hx + m.Zxy * hy;
    v[chEy] = m.Zyx * hx + m.Zyy * hy;
    v[chHz] = m.Tx * hx + m.Ty * hy;
    v[chRx] = m.Kxx * hx + m.Kxy * hy;
    v[chRy] = m.Kyx * hx + m.Kyy * hy;
    for (int a = 1; a <= 7; ++a)
      for (int b = 1; b <= 7; ++b) s[a][b] += v[a] * std::conj(v[b]);
  }
  s[chHz][chHz] += m.HzNoise;
  Re.Fill(0);
  Im.Fill(0);
  for (int a = 1; a <= 7; ++a)
    for (int b = 1; b <= 7; ++b) {
      if (Order[a] <= 0 || Order[b] <= 0) continue;
      if (a == chHz || b == chHz) {
        if (!m.HasHz) continue;
      }
      Re[Order[a]][Order[b]] = s[a][b].real();
      Im[Order[a]][Order[b]] = a == b ? 0 : s[a][b].imag();
    }
}

cd LayeredImpedance(const std::vector<double>& Rho, const std::vector<double>& Thick, double f, double* RhoA,
                    double* PhaseDeg) {
  const double w = 2 * std::numbers::pi * f;
  const cd iwm(0, w * Mu0);
  cd z = std::sqrt(iwm * Rho.back());
  for (int j = static_cast<int>(Rho.size()) - 2; j >= 0; --j) {
    const cd zeta = std::sqrt(iwm * Rho[j]);
    const cd k = std::sqrt(iwm / Rho[j]);
    const cd t = std::tanh(k * Thick[j]);
    z = zeta * (z + zeta * t) / (zeta + z * t);
  }
  if (RhoA) *RhoA = std::norm(z) / (w * Mu0);
  if (PhaseDeg) *PhaseDeg = std::arg(z) * 180 / std::numbers::pi;
  return z / FieldToSi;
}

cd HalfSpaceImpedance(double Rho, double f) { return LayeredImpedance({Rho}, {}, f); }

TPlots FilledPlots(double Value) {
  TPlots p;
  p.Allocate();
  p.Fill(Value);
  return p;
}

TFrequencyGrid FrequencyGrid(int Count, double fMax) {
  TFrequencyGrid g;
  for (int i = 1; i <= Count; ++i) g[i] = fMax * std::pow(10.0, -(i - 1) / 8.0);
  return g;
}

void ComputeMatrix(TPlots& Plots, const TMatrix7& Re, const TMatrix7& Im, const TCallArgs& a) {
  TFrequencyGrid grid = FrequencyGrid(MaxFreq);
  grid[a.F] = a.Freq;
  CalcMtParameters(Plots, grid, a.Normaliser, a.F, a.NF, a.Xpr, a.Order, a.Mode, a.RefType, a.DispRef, a.Angle, Re, Im);
}

void Compute(TPlots& Plots, const TMtModel& Model, const TCallArgs& a) {
  TMatrix7 re, im;
  BuildCrossPowers(Model, a.Order, re, im);
  ComputeMatrix(Plots, re, im, a);
}
