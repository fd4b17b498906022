#include "mtdata/impedance_quality.h"

#include <cmath>
#include <complex>

#include "mtdata/complex_routines.h"
#include "mtdata/site_file.h"

namespace {

using cplx = std::complex<double>;

cplx X(const TMatrix7& Re, const TMatrix7& Im, int r, int c) { return {Re[r][c], Im[r][c]}; }

// (X(r1, c1) X(r2, c2) - X(r3, c3) X(r4, c4)) / D, as the impedance rule forms it.
cplx Solve(int r1, int c1, int r2, int c2, int r3, int c3, int r4, int c4, double DRe, double DIm, const TMatrix7& Re,
           const TMatrix7& Im) {
  double nRe = 0, nIm = 0, qRe = 0, qIm = 0;
  ComplexDet2(r1, c1, r2, c2, r3, c3, r4, c4, nRe, nIm, Re, Im);
  ComplexDivD(qRe, qIm, nRe, nIm, DRe, DIm);
  return {qRe, qIm};
}

}  // namespace

void CalcImpedanceQuality(int A, int B, const TMatrix7& Re, const TMatrix7& Im, double& Quality, const double& N) {
  Quality = 0;
  double dRe = 0, dIm = 0;
  ComplexDet2(3, A, 4, B, 3, B, 4, A, dRe, dIm, Re, Im);
  const cplx Zxx = Solve(1, A, 4, B, 4, A, 1, B, dRe, dIm, Re, Im);
  const cplx Zxy = Solve(3, A, 1, B, 1, A, 3, B, dRe, dIm, Re, Im);
  const cplx Zyx = Solve(2, A, 4, B, 4, A, 2, B, dRe, dIm, Re, Im);
  const cplx Zyy = Solve(3, A, 2, B, 2, A, 3, B, dRe, dIm, Re, Im);

  auto x = [&](int r, int c) { return X(Re, Im, r, c); };
  const double X11 = Re[1][1], X22 = Re[2][2], X33 = Re[3][3], X44 = Re[4][4];
  const double Rx =
      std::abs(X11 - 2 * ((Zxx * x(3, 1)).real() + (Zxy * x(4, 1)).real() - (Zxx * std::conj(Zxy) * x(3, 4)).real()) +
               std::norm(Zxx) * X33 + std::norm(Zxy) * X44);
  const double Ry =
      std::abs(X22 - 2 * ((Zyx * x(3, 2)).real() + (Zyy * x(4, 2)).real() - (Zyx * std::conj(Zyy) * x(3, 4)).real()) +
               std::norm(Zyx) * X33 + std::norm(Zyy) * X44);
  const double XAA = Re[A][A], XBB = Re[B][B];
  const double Q1 = std::abs(XAA * std::norm(x(4, B)) + XBB * std::norm(x(4, A)) -
                             2 * (x(A, B) * std::conj(x(4, B)) * x(4, A)).real());
  const double Q2 = std::abs(XBB * std::norm(x(3, A)) + XAA * std::norm(x(3, B)) -
                             2 * (x(A, B) * std::conj(x(3, B)) * x(3, A)).real());
  const double D3 = N * std::norm(x(3, A) * x(4, B) - x(3, B) * x(4, A));

  // Without a reference determinant, or with a vanishing off-diagonal impedance, the scatter
  // has no bound: the quality is 0.
  const double nxy = std::norm(Zxy), nyx = std::norm(Zyx);
  if (!(D3 != 0) || !(nxy > 0) || !(nyx > 0)) return;
  const double gxy = 0.3772 * (Rx * Q2 / D3) / nxy;
  const double gyx = 0.3772 * (Ry * Q1 / D3) / nyx;
  const double q = std::sqrt((1 / (1 + gxy / 0.0033)) / (1 + gyx / 0.0033));
  Quality = std::isfinite(q) ? q : 0;
}

void RotateSpectraMatrix(const TMatrix7& Re, const TMatrix7& Im, TMatrix7& Re2, TMatrix7& Im2, double AngleDeg) {
  const double a = AngleDeg / static_cast<double>(RadToDegSingle);
  TMatrix2 R;
  R[1][1] = std::cos(a);
  R[1][2] = std::sin(a);
  R[2][1] = -std::sin(a);
  R[2][2] = std::cos(a);
  static constexpr int Pairs[3][2] = {{1, 2}, {3, 4}, {6, 7}};
  for (const auto& rows : Pairs)
    for (const auto& cols : Pairs) RotateCrossPowerBlock(2, R, Re2, Im2, rows[0], rows[1], cols[0], cols[1], Re, Im);
  // Hz is vertical: its auto-power stays, its cross-powers turn with each horizontal pair.
  for (const auto& p : Pairs) {
    RotateCrossPowerBlock(1, R, Re2, Im2, 5, 5, p[0], p[1], Re, Im);
    const double r1 = Re[p[0]][5], r2 = Re[p[1]][5], i1 = Im[p[0]][5], i2 = Im[p[1]][5];
    Re2[p[0]][5] = R[1][1] * r1 + R[1][2] * r2;
    Re2[p[1]][5] = R[2][1] * r1 + R[2][2] * r2;
    Im2[p[0]][5] = R[1][1] * i1 + R[1][2] * i2;
    Im2[p[1]][5] = R[2][1] * i1 + R[2][2] * i2;
  }
}

void CalcErrorBounds(int PlotType, int MagnitudeOrPhase, double& Upper, double Value, double Error, double& Lower) {
  Upper = 0;
  Lower = 0;
  const bool multiplicative = MagnitudeOrPhase == 1 || PlotType == 7;
  if (!multiplicative) {
    Upper = Value + Error;
    Lower = Value - Error;
    return;
  }
  if (MagnitudeOrPhase == 1 && Value == 0) return;
  // A power that overflows leaves what was stored before it.
  const double m = std::pow(10.0, Error);
  if (!std::isfinite(m) || m == 0) return;
  const double up = Value * m;
  if (!std::isfinite(up)) return;
  Upper = up;
  const double lo = Value / m;
  if (!std::isfinite(lo)) return;
  Lower = lo;
}

void TMTFile::RotateXprSpectra(double Angle) {
  // The rotation works on the fixed slots Ex, Ey, Hx, Hy, Hz, Rx, Ry; the file's own channel
  // order maps its slots onto them (identity for most files).
  int slot[8] = {};
  bool used[8] = {};
  for (int c = 1; c <= MaxChannel; ++c) {
    const int s = ChannelOrder[c];
    if (s == 0 && c == 5) continue;  // no Hz
    if (s < 1 || s > MaxChannel || used[s]) RaiseRangeError();
    slot[c] = s;
    used[s] = true;
  }
  TMatrix7 re{}, im{}, lre{}, lim{}, lre2{}, lim2{};
  for (int x = 1; x <= XprRecordCount; ++x) {
    ReadXprRecord(x);
    for (int f = 1; f <= FreqCount; ++f) {
      UnpackCrossPowerMatrix(re, im, RecordMatrixBuffer[f]);
      const double W = RecordWeight1[f];
      for (int k = 0; k < 49; ++k) {
        re.Data()[k] = W != 0 ? re.Data()[k] / W : 0;
        im.Data()[k] = W != 0 ? im.Data()[k] / W : 0;
      }
      lre = TMatrix7{};
      lim = TMatrix7{};
      for (int a = 1; a <= 7; ++a)
        for (int b = 1; b <= 7; ++b)
          if (slot[a] && slot[b]) {
            lre[a][b] = re[slot[a]][slot[b]];
            lim[a][b] = im[slot[a]][slot[b]];
          }
      lre2 = lre;
      lim2 = lim;
      RotateSpectraMatrix(lre, lim, lre2, lim2, Angle);
      for (int a = 1; a <= 7; ++a)
        for (int b = 1; b <= 7; ++b)
          if (slot[a] && slot[b]) {
            re[slot[a]][slot[b]] = lre2[a][b];
            im[slot[a]][slot[b]] = lim2[a][b];
          }
      for (int k = 0; k < 49; ++k) {
        re.Data()[k] *= W;
        im.Data()[k] *= W;
      }
      PackCrossPowerMatrix(re, im, RecordMatrixBuffer[f]);
    }
    WriteXprRecord(x);
  }
}
