#include "mtdata/mt_params.h"

#include "mtdata/complex_routines.h"
#include "mtdata/mt_guard.h"

#include <cmath>

namespace {

// Double arithmetic throughout: the long-double form it replaced agrees to round-off.
using Ext = double;
// The few sums that cancel to a small part of their terms (the determinants of the solution and
// the rotated tensor) keep long double, so small elements of a near one-dimensional tensor do
// not lose digits.
using Wide = long double;

constexpr Wide Pi = 3.141592653589793238462643383279502884L;
constexpr Wide R2D = RadToDegSingle;
constexpr Wide D2R = DegToRadSingle;

// A complex Double held as its two parts.
struct TCx {
  double re = 0;
  double im = 0;
};

inline Ext Abs2(const TCx& z) { return static_cast<Ext>(z.re) * z.re + static_cast<Ext>(z.im) * z.im; }
// Transcendental functions run in double precision: as fast as the rest of the call, and
// within one unit of the last place of the Double they end up in.
inline Ext Cos(Ext x) { return std::cos(static_cast<double>(x)); }
inline Ext Sin(Ext x) { return std::sin(static_cast<double>(x)); }
inline Ext ATan2(double y, double x) { return std::atan2(y, x); }
inline Ext Pow10(Ext x) { return std::pow(10.0, static_cast<double>(x)); }
// Guarded forms: a result that is not a finite Double faults.
inline Ext GuardPow10(Ext x) { return CheckFinite(std::pow(10.0, CheckedNarrow<double>(x))); }
inline Ext GuardLg(Ext x) { return GuardLog10(CheckedNarrow<double>(x)); }

// PolarOf in double arithmetic; magnitudes whose square leaves the range of a Double go to
// the long-double routine.
inline void Polar(double& Mag, double& Phase, double X, double Y) {
  const double m2 = X * X + Y * Y;
  if (!std::isfinite(m2) || (m2 < 1e-290 && m2 != 0)) [[unlikely]] {
    PolarOf(Mag, Phase, X, Y);
    return;
  }
  Mag = std::sqrt(m2);
  if (X == 0) {
    Phase = Y == 0 ? 0 : static_cast<double>(Y > 0 ? Pi / 2 : -Pi / 2);
  } else {
    Wide phase = std::atan(Y / X);
    if (X < 0) phase += Y >= 0 ? Pi : -Pi;
    Phase = static_cast<double>(phase);
  }
}

inline Ext Pow4(Ext x) {
  const Ext x2 = x * x;
  return x2 * x2;
}

// One call of the computation: the arguments and the quantities that later steps share.
class TParamCalc {
public:
  TParamCalc(TPlots& Plots, const TFrequencyGrid& Frequencies, double Normaliser, int F, int NF, int Xpr,
             const TChannelOrder& ChannelOrder, int RotationMode, int ReferenceType, int DisplayReference, double Angle,
             const TMatrix7& Re, const TMatrix7& Im)
      : P(Plots),
        N(Normaliser),
        F(F),
        NF(NF),
        Xpr(Xpr),
        Mode(RotationMode),
        RefType(ReferenceType),
        Angle(Angle),
        Re(Re),
        Im(Im) {
    if (F < 1 || F > MaxFreq) RaiseRangeError();
    if (DisplayReference < 0 || DisplayReference > 2) RaiseRangeError();
    Freq = Frequencies[F];
    for (int ch = 1; ch <= MaxChannel; ++ch) Sl[ch] = ChannelOrder[ch];
    HasHz = Sl[chHz] > 0;
    static constexpr int refPairs[3][2] = {{chEx, chEy}, {chHx, chHy}, {chRx, chRy}};
    A1 = refPairs[DisplayReference][0];
    A2 = refPairs[DisplayReference][1];
    Remote = RefType == frtRemoteE || RefType == frtRemoteH;
    if (RefType == frtRemoteE) {
      L1 = chEx;
      L2 = chEy;
    } else if (RefType == frtRemoteH) {
      L1 = chHx;
      L2 = chHy;
    }
  }

  void Run();

private:
  TPlots& P;
  double N;
  int F, NF, Xpr, Mode, RefType;
  double Angle;
  const TMatrix7& Re;
  const TMatrix7& Im;
  double Freq = 0;
  int Sl[MaxChannel + 1] = {};
  bool HasHz = false, Remote = false;
  int A1 = 0, A2 = 0, L1 = 0, L2 = 0;

  // Shared results.
  TCx D, Zxx, Zxy, Zyx, Zyy, Z1, Z2, Z3, Z4;
  TCx Pxx, Pxy, Pyx, Pyy, Pzx, Pzy;
  TCx Tx, Ty, Ttx, Tty;
  TCx Yxx, Yxy, Yyx, Yyy;
  double Theta = 1e-4;  // principal-axes angle in radians; the fixed value in mode 0
  double Alpha = 0;
  TCx Rxx, Rxy, Ryx, Ryy;  // the rotated tensor as stored in 45..52
  double MagTx = 0, MagTy = 0, PhiX = 0, PhiY = 0;
  Ext M = 0;
  double Vxx = 0, Vxy = 0, Vyx = 0, Vyy = 0, Vtx = 0, Vty = 0;
  TMatrix7 ReR, ImR;             // the rotated copy, made when the angle is not 0
  const TMatrix7* PR = nullptr;  // the rotated matrices: the copy, or the input unrotated
  const TMatrix7* PI = nullptr;

  int Slot(int ch) const { return Sl[ch]; }
  TCx S(int a, int b) const { return {Re[Sl[a]][Sl[b]], Im[Sl[a]][Sl[b]]}; }
  TCx SR(int a, int b) const { return {(*PR)[Sl[a]][Sl[b]], (*PI)[Sl[a]][Sl[b]]}; }
  double Auto(int a) const { return Re[Sl[a]][Sl[a]]; }

  double& Col(int p) { return P[F][p]; }
  // An unguarded store: a value that is not a finite Double is not stored.
  void Put(int p, Ext v) {
    const double d = static_cast<double>(v);
    if (std::isfinite(d)) P[F][p] = d;
  }
  // A store inside a guarded group: a value that is not a finite Double faults the group.
  void Store(int p, Ext v) { StoreChecked(P[F][p], v); }

  template <typename Body>
  void Guard(const char* Name, Body&& body) {
    GuardGroup(Xpr, F, Name, Freq, body);
  }

  // Product-difference X(a, A1)*X(b, A2) - X(c, A1)*X(d, A2) through the slots.
  TCx Det(int r1, int c1, int r2, int c2, int r3, int c3, int r4, int c4) const {
    const Wide ar = Re[Sl[r1]][Sl[c1]], ai = Im[Sl[r1]][Sl[c1]];
    const Wide br = Re[Sl[r2]][Sl[c2]], bi = Im[Sl[r2]][Sl[c2]];
    const Wide cr = Re[Sl[r3]][Sl[c3]], ci = Im[Sl[r3]][Sl[c3]];
    const Wide dr = Re[Sl[r4]][Sl[c4]], di = Im[Sl[r4]][Sl[c4]];
    const double re = static_cast<double>((ar * br - ai * bi) - (cr * dr - ci * di));
    const double im = static_cast<double>((ar * bi + ai * br) - (cr * di + ci * dr));
    if (!std::isfinite(re) || !std::isfinite(im)) [[unlikely]]
      return {};
    return {re, im};
  }
  static TCx Div(const TCx& a, const TCx& b) {
    if (!(std::fabs(b.re) + std::fabs(b.im) > 0)) [[unlikely]]
      return {};
    const Wide br = b.re, bi = b.im, d = br * br + bi * bi;
    const double re = static_cast<double>((a.re * br + a.im * bi) / d);
    const double im = static_cast<double>((a.im * br - a.re * bi) / d);
    if (!std::isfinite(re) || !std::isfinite(im)) [[unlikely]]
      return {};
    return {re, im};
  }
  // Coefficients of output channel c on inputs (u, v) against the reference pair.
  void Solve(int c, int u, int v, const TCx& det, TCx& cu, TCx& cv) const {
    cu = Div(Det(c, A1, v, A2, v, A1, c, A2), det);
    cv = Div(Det(u, A1, c, A2, c, A1, u, A2), det);
  }

  void PolarStore(int pMag, int pArg, const TCx& z) {
    double mag, phase;
    Polar(mag, phase, z.re, z.im);
    Put(pMag, mag);
    Put(pArg, phase * R2D);
  }

  void Impedance();
  void RemoteTransfer();
  void Tipper();
  void Admittance();
  void PrincipalAxes();
  void RotatedTensor();
  void MeasuredTensor();
  void RemoteColumns();
  void AdmittanceInverse();
  void SkewEllipticityStrike();
  void TipperGroup();
  void Coherences();
  void Spectra();
  void RotatedCopy();
  void Variances();
  void Bostick();
  void FrequencyColumns();
};

void TParamCalc::Run() {
  Impedance();
  if (Remote) RemoteTransfer();
  if (HasHz) Tipper();
  Admittance();
  if (Mode == 1) PrincipalAxes();
  Alpha = Mode == 1 ? Theta : static_cast<double>(Angle / R2D);
  // A fault outside the guarded groups would need inputs near the limits of a Double; it ends
  // the computation of the row instead of leaving the routine.
  SilentGroup([&] {
    RotatedTensor();
    MeasuredTensor();
    RemoteColumns();
    AdmittanceInverse();
    SkewEllipticityStrike();
    if (HasHz) TipperGroup();
    Coherences();
    Spectra();
    RotatedCopy();
    Variances();
    Bostick();
    FrequencyColumns();
  });
}

void TParamCalc::Impedance() {
  D = Det(chHx, A1, chHy, A2, chHx, A2, chHy, A1);
  Solve(chEx, chHx, chHy, D, Zxx, Zxy);
  Solve(chEy, chHx, chHy, D, Zyx, Zyy);
  const auto half = [](const TCx& a, const TCx& b, int sign) {
    return TCx{static_cast<double>((static_cast<Ext>(a.re) + sign * static_cast<Ext>(b.re)) / 2),
               static_cast<double>((static_cast<Ext>(a.im) + sign * static_cast<Ext>(b.im)) / 2)};
  };
  Z1 = half(Zxx, Zyy, 1);
  Z2 = half(Zxx, Zyy, -1);
  Z3 = half(Zxy, Zyx, 1);
  Z4 = half(Zxy, Zyx, -1);
}

void TParamCalc::RemoteTransfer() {
  const TCx dr = Det(chRx, A1, chRy, A2, chRx, A2, chRy, A1);
  Solve(L1, chRx, chRy, dr, Pxx, Pxy);
  Solve(L2, chRx, chRy, dr, Pyx, Pyy);
  if (HasHz) Solve(chHz, chRx, chRy, dr, Pzx, Pzy);
}

void TParamCalc::Tipper() { Solve(chHz, chHx, chHy, D, Tx, Ty); }

void TParamCalc::Admittance() {
  const TCx dy = Det(chEx, A1, chEy, A2, chEx, A2, chEy, A1);
  Solve(chHx, chEx, chEy, dy, Yxx, Yxy);
  Solve(chHy, chEx, chEy, dy, Yyx, Yyy);
}

// The rotation formulas of the tensor for an angle beta: Z' = R Z R^T.
struct TRotated {
  Wide xxr, xxi, xyr, xyi, yxr, yxi, yyr, yyi;
};

TRotated RotateTensor(const TCx& Z1, const TCx& Z2, const TCx& Z3, const TCx& Z4, Ext beta) {
  const Wide c = Cos(2 * beta), s = Sin(2 * beta);
  TRotated r;
  r.xxr = Z1.re + Z2.re * c + Z3.re * s;
  r.xxi = Z1.im + Z2.im * c + Z3.im * s;
  r.xyr = Z4.re + Z3.re * c - Z2.re * s;
  r.xyi = Z4.im + Z3.im * c - Z2.im * s;
  r.yxr = -Z4.re + Z3.re * c - Z2.re * s;
  r.yxi = -Z4.im + Z3.im * c - Z2.im * s;
  r.yyr = Z1.re - Z2.re * c - Z3.re * s;
  r.yyi = Z1.im - Z2.im * c - Z3.im * s;
  return r;
}

// Principal axes. Where the angle ratio or one of the two power ratios has a zero divisor the
// limit is taken (0/0: no preference), so such a tensor gets an angle instead of a fault.
void TParamCalc::PrincipalAxes() {
  const Ext d1r = static_cast<Ext>(Zxx.re) - Zyy.re, d1i = static_cast<Ext>(Zxx.im) - Zyy.im;
  const Ext s1r = static_cast<Ext>(Zxy.re) + Zyx.re, s1i = static_cast<Ext>(Zxy.im) + Zyx.im;
  const Ext num = 2 * (d1r * s1r + d1i * s1i);
  const Ext den = (d1r * d1r + d1i * d1i) - (s1r * s1r + s1i * s1i);
  Ext theta0;
  if (den != 0)
    theta0 = std::atan(num / den) / 4;
  else if (num != 0)
    theta0 = num > 0 ? Pi / 8 : -Pi / 8;
  else
    theta0 = 0;

  const auto pd = [&](Ext beta) {
    const TRotated r = RotateTensor(Z1, Z2, Z3, Z4, beta);
    return r.xxr * r.xxr + r.xxi * r.xxi + r.yyr * r.yyr + r.yyi * r.yyi;
  };
  const Ext pd0 = pd(theta0), pd1 = pd(theta0 + Pi / 4);
  const bool turn = pd1 != 0 ? pd0 / pd1 > 1 : pd0 > 0;
  const Ext theta1 = turn ? theta0 + Pi / 4 : theta0;

  const auto xy2 = [&](Ext beta) {
    const TRotated r = RotateTensor(Z1, Z2, Z3, Z4, beta);
    return r.xyr * r.xyr + r.xyi * r.xyi;
  };
  const Ext n0 = xy2(theta1), n1 = xy2(theta1 + Pi / 2);
  Ext r;
  if (n1 != 0)
    r = n0 / n1;
  else
    r = n0 > 0 ? 2 : 1;  // beyond any ratio that turns or halves the period; 0/0 counts as equal
  Ext theta2 = r < 1 ? theta1 + Pi / 2 : theta1;
  const Ext period = std::fabs(r - 1) <= 0.05 ? Pi / 2 : Pi;

  // Mean strike of the neighbouring rows, as they hold it now.
  Ext sum = 0;
  int count = 0;
  for (int k = F - 5; k <= F + 2; ++k) {
    if (k < 1 || k > 28) continue;
    const double strike = P[k][pcZSTRIKEDeg];
    if (strike != 0 && std::isfinite(strike)) {
      sum += strike;
      ++count;
    }
  }
  const Ext m = count > 0 ? sum / count / R2D : 0;

  // Move by whole periods towards the mean; the jump keeps a wild neighbour from looping.
  const Ext half = period / 2;
  const Ext dist = std::fabs(theta2 - m);
  if (dist > half) {
    Ext steps = std::floor((dist - half) / period);
    if (steps > 0) theta2 += theta2 > m ? -steps * period : steps * period;
    // A few steps finish the move; more would mean the period is below the spacing of the
    // numbers, where the angle cannot get closer anyway.
    for (int i = 0; i < 4 && std::fabs(theta2 - m) > half; ++i) theta2 += theta2 > m ? -period : period;
  }
  Theta = static_cast<double>(theta2);
}

void TParamCalc::RotatedTensor() {
  const TRotated r = RotateTensor(Z1, Z2, Z3, Z4, Alpha);
  Put(pcZxxReRot, r.xxr);
  Put(pcZxxImRot, r.xxi);
  Put(pcZxyReRot, r.xyr);
  Put(pcZxyImRot, r.xyi);
  Put(pcZyxReRot, r.yxr);
  Put(pcZyxImRot, r.yxi);
  Put(pcZyyReRot, r.yyr);
  Put(pcZyyImRot, r.yyi);
  Rxx = {Col(pcZxxReRot), Col(pcZxxImRot)};
  Rxy = {Col(pcZxyReRot), Col(pcZxyImRot)};
  Ryx = {Col(pcZyxReRot), Col(pcZyxImRot)};
  Ryy = {Col(pcZyyReRot), Col(pcZyyImRot)};
  const TCx det{static_cast<double>(static_cast<Ext>(Rxx.re) * Ryy.re - static_cast<Ext>(Rxx.im) * Ryy.im -
                                    (static_cast<Ext>(Rxy.re) * Ryx.re - static_cast<Ext>(Rxy.im) * Ryx.im)),
                static_cast<double>(static_cast<Ext>(Rxx.re) * Ryy.im + static_cast<Ext>(Rxx.im) * Ryy.re -
                                    (static_cast<Ext>(Rxy.re) * Ryx.im + static_cast<Ext>(Rxy.im) * Ryx.re))};

  Guard("Fhz = 0", [&] {
    Store(pcRhoxyOhmm, GuardDiv(0.2 * Abs2(Rxy), static_cast<Ext>(Freq)));
    Store(pcRhoyxOhmm, GuardDiv(0.2 * Abs2(Ryx), static_cast<Ext>(Freq)));
  });

  double mag[5], arg[5];
  const TCx* z[5] = {&Rxx, &Rxy, &Ryx, &Ryy, &det};
  for (int i = 0; i < 5; ++i) Polar(mag[i], arg[i], z[i]->re, z[i]->im);
  Put(pcPHASExyDeg, arg[1] * R2D);
  Put(pcPHASEyxDeg, arg[2] * R2D);
  for (int i = 0; i < 4; ++i) Put(pcZxx + i, mag[i]);
  Put(pcZef, std::sqrt(static_cast<Ext>(mag[4])));
  for (int i = 0; i < 4; ++i) Put(pcPHASExxDeg + i, arg[i] * R2D);
  Put(pcPhaseZef, arg[4] / 2 * R2D);
}

void TParamCalc::MeasuredTensor() {
  const TCx* z[4] = {&Zxx, &Zxy, &Zyx, &Zyy};
  for (int i = 0; i < 4; ++i) PolarStore(pcZxxZ + i, pcArgxxZ + i, *z[i]);
}

void TParamCalc::RemoteColumns() {
  if (!Remote) {
    for (int p = pcPxx; p <= pcPhasePzy; ++p) Col(p) = 0;
    return;
  }
  const TCx* z[4] = {&Pxx, &Pxy, &Pyx, &Pyy};
  for (int i = 0; i < 4; ++i) PolarStore(pcPxx + i, pcPhasePxx + i, *z[i]);
  if (HasHz) {
    PolarStore(pcPzx, pcPhasePzx, Pzx);
    PolarStore(pcPzy, pcPhasePzy, Pzy);
  } else {
    Col(pcPzx) = Col(pcPzy) = Col(pcPhasePzx) = Col(pcPhasePzy) = 0;
  }
}

// Impedance through the admittance, inverted in single precision. An admittance beyond the
// range of a Single leaves 77..84 as they were.
void TParamCalc::AdmittanceInverse() {
  SilentGroup([&] {
    const auto narrow = [](const TCx& z) {
      return TSingleComplex{CheckedNarrow<float>(z.re), CheckedNarrow<float>(z.im)};
    };
    TSingleComplexMatrix2 m;
    m.a = narrow(Yxx);
    m.b = narrow(Yxy);
    m.c = narrow(Yyx);
    m.d = narrow(Yyy);
    ComplexMulSub(m.a, m.d, m.b, m.c, m.e);
    InvertComplexMatrix2(m);
    const TSingleComplex* e[4] = {&m.a, &m.b, &m.c, &m.d};
    for (int i = 0; i < 4; ++i) PolarStore(pcZxxY + i, pcArgxxY + i, TCx{e[i]->Re, e[i]->Im});
  });
}

void TParamCalc::SkewEllipticityStrike() {
  // Skew of the measured tensor.
  TCx q;
  Guard("Skewdenom = 0", [&] {
    const Ext nr = static_cast<Ext>(Zxx.re) + Zyy.re, ni = static_cast<Ext>(Zxx.im) + Zyy.im;
    const Ext dr = static_cast<Ext>(Zxy.re) - Zyx.re, di = static_cast<Ext>(Zxy.im) - Zyx.im;
    const Ext den = dr * dr + di * di;
    StoreChecked(q.re, GuardDiv(nr * dr + ni * di, den));
    StoreChecked(q.im, GuardDiv(ni * dr - nr * di, den));
  });
  double mag, phase;
  Polar(mag, phase, q.re, q.im);
  Put(pcZSkew, mag);

  // Ellipticity of the rotated tensor.
  q = TCx{};
  Guard("Betadenom = 0", [&] {
    const Ext nr = static_cast<Ext>(Rxx.re) - Ryy.re, ni = static_cast<Ext>(Rxx.im) - Ryy.im;
    const Ext dr = static_cast<Ext>(Rxy.re) + Ryx.re, di = static_cast<Ext>(Rxy.im) + Ryx.im;
    const Ext den = dr * dr + di * di;
    StoreChecked(q.re, GuardDiv(nr * dr + ni * di, den));
    StoreChecked(q.im, GuardDiv(ni * dr - nr * di, den));
  });
  Polar(mag, phase, q.re, q.im);
  Put(pcZEllip, mag);

  Put(pcZSTRIKEDeg, Theta * R2D);
  double rot = Mode == 1 ? Col(pcZSTRIKEDeg) : Angle;
  if (rot == 0) rot = 1e-5;
  Put(pcRotAngleDeg, rot);
}

void TParamCalc::TipperGroup() {
  const Ext c = Cos(Alpha), s = Sin(Alpha);
  Ttx = {static_cast<double>(Tx.re * c + Ty.re * s), static_cast<double>(Tx.im * c + Ty.im * s)};
  Tty = {static_cast<double>(-Tx.re * s + Ty.re * c), static_cast<double>(-Tx.im * s + Ty.im * c)};
  Polar(MagTx, PhiX, Ttx.re, Ttx.im);
  Polar(MagTy, PhiY, Tty.re, Tty.im);
  double lr, psiR, li, psiI;
  Polar(lr, psiR, Tx.re, Ty.re);
  Polar(li, psiI, Tx.im, Ty.im);
  M = static_cast<Ext>(MagTx) * MagTx + static_cast<Ext>(MagTy) * MagTy;

  double strike = 0;
  Guard("Amptxy2 = 0", [&] {
    StoreChecked(strike, GuardDiv(static_cast<Ext>(lr) * lr * psiR + static_cast<Ext>(li) * li * psiI, M));
  });
  strike = static_cast<double>(strike * R2D + 90);
  if (strike == 0) strike = 1e-7;
  for (int pass = 0; pass < 5; ++pass) {
    if (strike >= -180 && strike <= 180) break;
    if (strike < -180) strike += 360;
    if (strike > 180) strike -= 360;
  }

  Put(pcTipMAG, std::sqrt(M));
  Put(pcAmpTx, MagTx);
  Put(pcAmpTy, MagTy);
  Put(pcPhaseTx, PhiX * R2D);
  Put(pcPhaseTy, PhiY * R2D);
  Put(pcTxr, Tx.re);
  Put(pcTyr, Ty.re);
  Put(pcTxi, Tx.im);
  Put(pcTyi, Ty.im);
  Guard("Amptxy2 = 0", [&] {
    const Ext phase = static_cast<Ext>(MagTx) * MagTx * PhiX + static_cast<Ext>(MagTy) * MagTy * PhiY;
    Store(pcTipPHASEDeg, GuardDiv(phase * R2D, M));
    Store(pcTipSkew, GuardDiv(2 * std::fabs(static_cast<Ext>(Tx.re) * Ty.im - static_cast<Ext>(Tx.im) * Ty.re), M));
  });
  Guard("Ampty = 0", [&] { Store(pcTipEllip, GuardDiv(static_cast<Ext>(MagTx), static_cast<Ext>(MagTy))); });

  Put(pcIndVr, std::sqrt(static_cast<Ext>(Tx.re) * Tx.re + static_cast<Ext>(Ty.re) * Ty.re));
  Put(pcIndVi, std::sqrt(static_cast<Ext>(Tx.im) * Tx.im + static_cast<Ext>(Ty.im) * Ty.im));
  Put(pcIVrAng, ATan2(Ty.re, Tx.re) * R2D);
  Put(pcIViAng, ATan2(Ty.im, Tx.im) * R2D);
  Put(pcTipSTRIKE, strike);
}

void TParamCalc::Coherences() {
  double coh;
  const auto ord = [&](int p, int a, int b) {
    Coherence(Slot(a), Slot(b), coh, Re, Im);
    Put(p, coh);
  };
  ord(pcOrdCohHxEy, chHx, chEy);
  ord(pcOrdCohHyEx, chHy, chEx);
  ord(pcOrdCohHxRx, chHx, A1);
  ord(pcOrdCohHyRy, chHy, A2);
  // MultipleCoherence inlined, with the same long-double arithmetic: a divisor of 0 or a value
  // beyond a Double gives 0 and the log line.
  const auto multi = [&](int p, int c, int a, int b) {
    const int A = Slot(a), B = Slot(b), C = Slot(c);
    const Wide aa = Re[A][A], bb = Re[B][B], cc = Re[C][C];
    const Wide bcR = Re[B][C], bcI = Im[B][C];
    const Wide acR = Re[A][C], acI = Im[A][C];
    const Wide abR = Re[A][B], abI = Im[A][B];
    const Wide pr = static_cast<Wide>(Re[C][A]) * Re[B][C] - static_cast<Wide>(Im[C][A]) * Im[B][C];
    const Wide pi = static_cast<Wide>(Re[C][A]) * Im[B][C] + static_cast<Wide>(Im[C][A]) * Re[B][C];
    const double tr = static_cast<double>(pr * Re[A][B] - pi * Im[A][B]);
    const double ti = static_cast<double>(pr * Im[A][B] + pi * Re[A][B]);
    bool fault = !std::isfinite(tr) || !std::isfinite(ti);
    coh = 0;
    if (!fault) {
      const Wide num = (bcR * bcR + bcI * bcI) * aa + (acR * acR + acI * acI) * bb - 2 * static_cast<Wide>(tr);
      const Wide den = (aa * bb - (abR * abR + abI * abI)) * cc;
      const double v = den == 0 ? 0 : static_cast<double>(std::sqrt(std::fabs(num / den)));
      fault = den == 0 || !std::isfinite(v);
      if (!fault) coh = v;
    }
    if (fault) [[unlikely]]
      LogDivisionByZero(Xpr, F, "Dnn = 0", Freq);
    Put(p, coh);
  };
  multi(pcExCohHxHy, chEx, chHx, chHy);
  multi(pcEyCohHxHy, chEy, chHx, chHy);
  multi(pcHxCohExEy, chHx, chEx, chEy);
  multi(pcHyCohExEy, chHy, chEx, chEy);
  if (HasHz) {
    multi(pcHzCohExEy, chHz, chEx, chEy);
    multi(pcHzCohHxHy, chHz, chHx, chHy);
  } else {
    Col(pcHzCohExEy) = 0;
    Col(pcHzCohHxHy) = 0;
  }
}

void TParamCalc::Spectra() {
  const auto amp = [&](int p, int ch) { Put(p, std::sqrt(std::fabs(static_cast<Ext>(Auto(ch))))); };
  amp(pcHxGamHz5, chHx);
  amp(pcHyGamHz5, chHy);
  if (HasHz) amp(pcHzGamHz5, chHz);
  amp(pcExuVMHz5, chEx);
  amp(pcEyuVMHz5, chEy);
  amp(pcR3, A1);
  amp(pcR4, A2);

  // Real part of a*S(c1, o) + b*S(c2, o): the power of channel o predicted by a transfer.
  const auto predicted = [&](const TCx& a, int c1, const TCx& b, int c2, int o) {
    const TCx s1 = S(c1, o), s2 = S(c2, o);
    return static_cast<Ext>(a.re) * s1.re - static_cast<Ext>(a.im) * s1.im + static_cast<Ext>(b.re) * s2.re -
           static_cast<Ext>(b.im) * s2.im;
  };
  const auto ratio = [&](const char* name, int p, Ext q, int ch) {
    Guard(name, [&] { Store(p, GuardDiv(q, static_cast<Ext>(Auto(ch)))); });
  };
  ratio("Ravg[Hx, Hx] = 0", 32, predicted(Yxx, chEx, Yxy, chEy, chHx), chHx);
  ratio("Ravg[Hy, Hy] = 0", 33, predicted(Yyx, chEx, Yyy, chEy, chHy), chHy);
  if (HasHz) ratio("Ravg[Hz, Hz] = 0", 34, predicted(Tx, chHx, Ty, chHy, chHz), chHz);
  ratio("Ravg[Ex, Ex] = 0", 35, predicted(Zxx, chHx, Zxy, chHy, chEx), chEx);
  ratio("Ravg[Ey, Ey] = 0", 36, predicted(Zyx, chHx, Zyy, chHy, chEy), chEy);
}

void TParamCalc::RotatedCopy() {
  PR = &Re;
  PI = &Im;
  if (!(std::fabs(static_cast<Ext>(Alpha)) * R2D > 0.001)) return;
  // An element loop, which the compiler keeps in vector registers, is quicker than a block copy
  // of this size.
  for (int k = 0; k < 49; ++k) {
    ReR.Data()[k] = Re.Data()[k];
    ImR.Data()[k] = Im.Data()[k];
  }
  PR = &ReR;
  PI = &ImR;
  TMatrix2 r;
  const double c = std::cos(Alpha), s = std::sin(Alpha);
  r[1][1] = c;
  r[1][2] = s;
  r[2][1] = -s;
  r[2][2] = c;
  // R * B * R^T of one 2x2 block, as RotateCrossPowerBlock does it, inlined and in double; a
  // value that is not a finite Double faults.
  const auto block = [&](int r1, int r2, int c1, int c2) {
    const int i1 = Slot(r1), i2 = Slot(r2), j1 = Slot(c1), j2 = Slot(c2);
    const auto rotate = [&](const TMatrix7& In, TMatrix7& Out) {
      const double b[2][2] = {{In[i1][j1], In[i1][j2]}, {In[i2][j1], In[i2][j2]}};
      const double m[2][2] = {{r[1][1], r[1][2]}, {r[2][1], r[2][2]}};
      double brt[2][2], rbrt[2][2];
      for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) brt[i][j] = CheckFinite(b[i][0] * m[j][0] + b[i][1] * m[j][1]);
      for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) rbrt[i][j] = CheckFinite(m[i][0] * brt[0][j] + m[i][1] * brt[1][j]);
      Out[i1][j1] = rbrt[0][0];
      Out[i1][j2] = rbrt[0][1];
      Out[i2][j1] = rbrt[1][0];
      Out[i2][j2] = rbrt[1][1];
    };
    rotate(Re, ReR);
    rotate(Im, ImR);
  };
  block(chHx, chHy, chHx, chHy);
  block(chEx, chEy, chEx, chEy);
  block(chHx, chHy, chEx, chEy);
  block(chHx, chHy, A1, A2);
  block(A1, A2, A1, A2);
  if (HasHz) RotateCrossPowerBlock(1, r, ReR, ImR, Slot(chHz), Slot(chHz), Slot(chHx), Slot(chHy), Re, Im);
}

void TParamCalc::Variances() {
  const Ext K = R2D * R2D;
  // Re(a * b) and Re(a * conj(b)) of complex Doubles.
  const auto reMul = [](const TCx& a, const TCx& b) {
    return static_cast<Ext>(a.re) * b.re - static_cast<Ext>(a.im) * b.im;
  };
  const auto reMulConj = [](const TCx& a, const TCx& b) {
    return static_cast<Ext>(a.re) * b.re + static_cast<Ext>(a.im) * b.im;
  };
  // Re(a * conj(b) * c).
  const auto reMulConjMul = [](const TCx& a, const TCx& b, const TCx& c) {
    const Ext tr = static_cast<Ext>(a.re) * b.re + static_cast<Ext>(a.im) * b.im;
    const Ext ti = static_cast<Ext>(a.im) * b.re - static_cast<Ext>(a.re) * b.im;
    return tr * c.re - ti * c.im;
  };
  const auto autoR = [&](int ch) { return static_cast<Ext>((*PR)[Slot(ch)][Slot(ch)]); };

  // Residual power of output o with the rotated transfer (a on Hx, b on Hy).
  const TCx hxhy = SR(chHx, chHy);
  const auto residual = [&](int o, const TCx& a, const TCx& b) {
    const Ext cross = reMul(a, SR(chHx, o)) + reMul(b, SR(chHy, o)) - reMulConjMul(a, b, hxhy);
    return std::fabs(autoR(o) - 2 * cross + Abs2(a) * autoR(chHx) + Abs2(b) * autoR(chHy));
  };
  const Ext rx = residual(chEx, Rxx, Rxy);
  const Ext ry = residual(chEy, Ryx, Ryy);
  Ext rz = 0;
  if (HasHz) {
    const TCx hzhx = SR(chHz, chHx), hzhy = SR(chHz, chHy);
    const Ext cross = reMulConj(Ttx, hzhx) + reMulConj(Tty, hzhy) - reMulConjMul(Ttx, Tty, hxhy);
    rz = std::fabs(autoR(chHz) - 2 * cross + Abs2(Ttx) * autoR(chHx) + Abs2(Tty) * autoR(chHy));
  }

  const TCx a1a2 = SR(A1, A2), hyA1 = SR(chHy, A1), hyA2 = SR(chHy, A2);
  const TCx hxA1 = SR(chHx, A1), hxA2 = SR(chHx, A2);
  const Ext a1a1 = autoR(A1), a2a2 = autoR(A2);
  const Ext q1 = std::fabs(a1a1 * Abs2(hyA2) + a2a2 * Abs2(hyA1) - 2 * reMulConjMul(a1a2, hyA2, hyA1));
  const Ext q2 = std::fabs(a2a2 * Abs2(hxA1) + a1a1 * Abs2(hxA2) - 2 * reMulConjMul(a1a2, hxA2, hxA1));
  const TCx det{static_cast<double>(reMul(hxA1, hyA2) - reMul(hxA2, hyA1)),
                static_cast<double>(static_cast<Ext>(hxA1.re) * hyA2.im + static_cast<Ext>(hxA1.im) * hyA2.re -
                                    (static_cast<Ext>(hxA2.re) * hyA1.im + static_cast<Ext>(hxA2.im) * hyA1.re))};
  const Ext d3 = N * Abs2(det);

  Guard("D3 = 0", [&] {
    StoreChecked(Vxx, GuardDiv(rx * q1, d3));
    StoreChecked(Vxy, GuardDiv(rx * q2, d3));
    StoreChecked(Vyx, GuardDiv(ry * q1, d3));
    StoreChecked(Vyy, GuardDiv(ry * q2, d3));
    if (HasHz) {
      StoreChecked(Vtx, GuardDiv(rz * q1, d3));
      StoreChecked(Vty, GuardDiv(rz * q2, d3));
    }
  });

  // Log-modulus variances.
  double a53 = 0, a37 = 0, a54 = 0, a38 = 0, a55 = 0, a56 = 0;
  Guard("Rxxr^2+Rxxi^2 = 0", [&] { StoreChecked(a53, GuardDiv(0.1886 * Vxx, Abs2(Rxx))); });
  Guard("Rxyr^2+Rxyi^2 = 0", [&] {
    StoreChecked(a37, GuardDiv(0.3772 * Vxy, Abs2(Rxy)));
    StoreChecked(a54, static_cast<Ext>(a37) / 2);
  });
  Guard("Ryxr^2+Ryxi^2 = 0", [&] {
    StoreChecked(a38, GuardDiv(0.3772 * Vyx, Abs2(Ryx)));
    StoreChecked(a55, static_cast<Ext>(a38) / 2);
  });
  Guard("Ryyr^2+Ryyi^2 = 0", [&] { StoreChecked(a56, GuardDiv(0.1886 * Vyy, Abs2(Ryy))); });

  // Phase variances in degrees squared.
  const auto phaseVar = [&](double v, const TCx& z, int phaseParam) {
    const Ext c = Cos(Col(phaseParam) * D2R);
    return GuardDiv(v * 8 * Abs2(z) * Pow4(c), Pow4(2 * static_cast<Ext>(z.re))) * K;
  };
  double a89 = 0, a39 = 0, a40 = 0, a90 = 0;
  Guard("Rxxr = 0", [&] { StoreChecked(a89, phaseVar(Vxx, Rxx, pcPHASExxDeg)); });
  Guard("Rxyr = 0", [&] { StoreChecked(a39, phaseVar(Vxy, Rxy, pcPHASExyDeg)); });
  Guard("Ryxr = 0", [&] { StoreChecked(a40, phaseVar(Vyx, Ryx, pcPHASEyxDeg)); });
  Guard("Ryyr = 0", [&] { StoreChecked(a90, phaseVar(Vyy, Ryy, pcPHASEyyDeg)); });

  // Tipper variances.
  double a134 = 0, a135 = 0, cov = 0, tv = 0;
  Ext tp = 0;
  if (HasHz) {
    const Ext c = Cos(Col(pcTipPHASEDeg) * D2R);
    const auto tipPhaseVar = [&](double v, const TCx& t) {
      return GuardDiv(v * 8 * Abs2(t) * Pow4(c), Pow4(2 * static_cast<Ext>(t.re)));
    };
    Guard("Rxr = 0", [&] { StoreChecked(a134, tipPhaseVar(Vtx, Ttx)); });
    Guard("Ryr = 0", [&] { StoreChecked(a135, tipPhaseVar(Vty, Tty)); });

    Guard("D3 = 0", [&] {
      const TCx a1a2c{a1a2.re, -a1a2.im};
      const auto re3 = [](const TCx& a, const TCx& b, const TCx& c) {  // Re(a * b * c)
        const Ext tr = static_cast<Ext>(a.re) * b.re - static_cast<Ext>(a.im) * b.im;
        const Ext ti = static_cast<Ext>(a.re) * b.im + static_cast<Ext>(a.im) * b.re;
        return tr * c.re - ti * c.im;
      };
      const TCx hxA1c{hxA1.re, -hxA1.im}, hxA2c{hxA2.re, -hxA2.im};
      const Ext bracket =
          re3(a1a2c, hyA2, hxA1c) + re3(a1a2c, hyA1, hxA2c) + a1a1 * reMul(hyA2, hxA2c) + a2a2 * reMul(hyA1, hxA1c);
      StoreChecked(cov, GuardDiv(bracket * rz, d3));
    });

    Guard("TipMag = 0", [&] {
      const Ext num = Abs2(Ttx) * Vtx + Abs2(Tty) * Vty +
                      2 * (static_cast<Ext>(Ttx.re) * Tty.re + static_cast<Ext>(Ttx.im) * Tty.im) * cov;
      const Ext p9 = Col(pcTipMAG);
      StoreChecked(tv, GuardDiv(num, 2 * p9 * p9));
    });

    const Ext phi = Abs2(Ttx) * PhiX + Abs2(Tty) * PhiY;
    double dxr = 0, dxi = 0, dyr = 0, dyi = 0;
    const auto derivative = [&](double phiE, const TCx& t, double& dr, double& di) {
      const Ext lead = static_cast<Ext>(phiE) * M - phi;
      const Ext cos2 = Cos(phiE) * Cos(phiE);
      const Ext inner = 2 * M * (static_cast<Ext>(t.re) * t.re);
      StoreChecked(dr, GuardDiv(lead * t.re, M * M - GuardDiv(cos2 * Abs2(t) * t.im, inner)));
      StoreChecked(di, GuardDiv(lead * -static_cast<Ext>(t.im), M * M - GuardDiv(cos2 * Abs2(t) * t.re, inner)));
    };
    Guard("Dphi * Rxr = 0", [&] { derivative(PhiX, Ttx, dxr, dxi); });
    Guard("Dphi * Ryr = 0", [&] { derivative(PhiY, Tty, dyr, dyi); });
    const Ext kx = 2 * (static_cast<Ext>(dxr) * dxr + static_cast<Ext>(dxi) * dxi);
    const Ext ky = 2 * (static_cast<Ext>(dyr) * dyr + static_cast<Ext>(dyi) * dyi);
    const Ext kxy = 2 * (static_cast<Ext>(dxr) * dyr + static_cast<Ext>(dxi) * dyi);
    tp = (kx * a134 + ky * a135 + 2 * kxy * cov) * K;
  }

  Put(pcVarLogRhoxy, a37);
  Put(pcVarLogRhoyx, a38);
  Put(pcVarPHASExy, a39);
  Put(pcVarPHASEyx, a40);
  Put(pcVarPhasexx, a89);
  Put(pcVarPhaseyy, a90);
  Put(pcZxxVARRot, a53);
  Put(pcZxyVARRot, a54);
  Put(pcZyxVARRot, a55);
  Put(pcZyyVARRot, a56);
  if (HasHz) {
    Put(pcVarTipMAG, std::fabs(tv));
    Put(pcVarAmpTx, std::fabs(Vtx));
    Put(pcVarAmpTy, std::fabs(Vty));
    Put(pcVarTipPHASE, std::fabs(tp));
    Put(pcVarPhaseTx, a134);
    Put(pcVarPhaseTy, a135);
  }
}

void TParamCalc::Bostick() {
  SilentGroup([&] {
    int n = 0;
    Ext sum3 = 0, sum4 = 0, sumLog1 = 0, sumLog2 = 0;
    for (int k = F - 2; k <= F + 2; ++k) {
      if (k < 1 || k > NF) continue;
      const double p1 = P[k][pcRhoxyOhmm], p2 = P[k][pcRhoyxOhmm];
      if (p1 > 0 && p2 > 0) {
        ++n;
        sum3 += P[k][pcPHASExyDeg];
        sum4 += P[k][pcPHASEyxDeg];
        sumLog1 += GuardLg(p1);
        sumLog2 += GuardLg(p2);
      }
    }
    const Ext count = n;
    const Ext phiXy = GuardDiv(sum3, count), phiYx = GuardDiv(sum4, count);
    const Ext rhoXy = GuardPow10(GuardDiv(sumLog1, count));
    const Ext rhoYx = GuardPow10(GuardDiv(sumLog2, count));
    const auto clamp = [](Ext m) { return m < -0.99 ? -0.99 : (m > 0.99 ? 0.99 : m); };
    const Ext mXy = clamp(phiXy / 45 - 1);
    const Ext mYx = clamp((phiYx + 180) / 45 - 1);
    Store(pcRhoxyBosInv, GuardDiv(rhoXy * (1 - mXy), 1 + mXy));
    Store(pcRhoyxBosInv, GuardDiv(rhoYx * (1 - mYx), 1 + mYx));
    const Ext w = GuardDiv(1.0, 78.95683520871486 * Freq * 1e-7);
    Store(pcDepthxyKm, GuardLg(GuardSqrt(rhoXy * w)));
    Store(pcDepthyxKm, GuardLg(GuardSqrt(rhoYx * w)));
  });
}

void TParamCalc::FrequencyColumns() {
  SilentGroup([&] { Store(pcLog10FrqHz, GuardLog10(Freq)); });
  Put(pcfhz, Freq);
  for (int i = 0; i < 4; ++i) {
    const double v = Col(pcVarLogRhoxy + i);
    if (v >= 0) Put(pcSqrtVarRhoxy + i, std::sqrt(static_cast<Ext>(v)));
  }
  Put(pcTenDepthxyKm, Pow10(Col(pcDepthxyKm)));
  Put(pcTenDepthyxKm, Pow10(Col(pcDepthyxKm)));
}

}  // namespace

std::atomic<uint64_t> CalcMtParametersCalls{0};

void CalcMtParameters(TPlots& Plots, const TFrequencyGrid& Frequencies, const double& Normaliser, int F, int NF,
                      int Xpr, const TChannelOrder& ChannelOrder, int RotationMode, int ReferenceType,
                      int DisplayReference, const double& Angle, const TMatrix7& Re, const TMatrix7& Im) {
  // The program computes on one thread: a plain increment, without the bus lock of an atomic
  // addition.
  CalcMtParametersCalls.store(CalcMtParametersCalls.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
  TParamCalc calc(Plots, Frequencies, Normaliser, F, NF, Xpr, ChannelOrder, RotationMode, ReferenceType,
                  DisplayReference, Angle, Re, Im);
  calc.Run();
}

namespace {
constexpr long double LogModulusFactor = 0.1886L;  // 1 / ln(10)^2 as the computation uses it
}  // namespace

double ImpedanceVarianceOfLogVariance(double LogVariance, double Re, double Im) {
  const long double m2 = static_cast<long double>(Re) * Re + static_cast<long double>(Im) * Im;
  return m2 > 0 ? static_cast<double>(LogVariance * m2 / LogModulusFactor) : 0;
}

double LogVarianceOfImpedanceVariance(double Variance, double Re, double Im) {
  const long double m2 = static_cast<long double>(Re) * Re + static_cast<long double>(Im) * Im;
  return m2 > 0 ? static_cast<double>(LogModulusFactor * Variance / m2) : 0;
}
