#include "mtdata/complex_routines.h"

#include <cmath>
#include <limits>

namespace {

using Ext = long double;

constexpr Ext PiSingleModule = 3.141592L;
constexpr Ext Pi = 3.141592653589793238462643383279502884L;

bool FitsDouble(Ext v) { return std::isfinite(static_cast<double>(v)); }
bool FitsSingle(Ext v) { return std::isfinite(static_cast<float>(v)); }

[[noreturn, gnu::noinline]] void RaiseNarrowFault(double d) {
  if (std::isnan(d)) throw EInvalidOp("Invalid floating point operation");
  throw EOverflow("Floating point overflow");
}

inline double NarrowD(Ext v) {
  const double d = static_cast<double>(v);
  if (!std::isfinite(d)) [[unlikely]]
    RaiseNarrowFault(d);
  return d;
}

// Cheap checked access to the cells of a 7x7 matrix through a slot pair.
inline Ext At(const TMatrix7& M, int r, int c) { return M[r][c]; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Single precision

float ComplexAbs(const TSingleComplex& z) {
  const Ext re = z.Re, im = z.Im;
  return static_cast<float>(std::sqrt(re * re + im * im));
}

float ComplexArgDeg(const TSingleComplex& z) {
  return static_cast<float>(std::atan2(static_cast<Ext>(z.Im), static_cast<Ext>(z.Re)) * 180.0L / PiSingleModule);
}

void ComplexSqrt(const TSingleComplex& z, TSingleComplex& w) {
  const float modulus = ComplexAbs(z);
  const float root = static_cast<float>(std::sqrt(static_cast<Ext>(modulus)));
  const float half = static_cast<float>(static_cast<Ext>(ComplexArgDeg(z)) / 2 * PiSingleModule / 180.0L);
  const float re = static_cast<float>(root * std::cos(static_cast<Ext>(half)));
  const float im = static_cast<float>(root * std::sin(static_cast<Ext>(half)));
  w.Re = re;
  w.Im = im;
}

void ComplexMul(const TSingleComplex& a, const TSingleComplex& b, TSingleComplex& r) {
  const Ext re = static_cast<Ext>(a.Re) * b.Re - static_cast<Ext>(a.Im) * b.Im;
  const Ext im = static_cast<Ext>(a.Re) * b.Im + static_cast<Ext>(a.Im) * b.Re;
  if (!FitsSingle(re) || !FitsSingle(im)) {
    r = TSingleComplex{};
    return;
  }
  r.Re = static_cast<float>(re);
  r.Im = static_cast<float>(im);
}

void ComplexDiv(const TSingleComplex& a, const TSingleComplex& b, TSingleComplex& r) {
  const double d = static_cast<double>(b.Re) * b.Re + static_cast<double>(b.Im) * b.Im;
  if (d == 0) {
    r = TSingleComplex{};
    return;
  }
  const Ext re = (static_cast<Ext>(a.Re) * b.Re + static_cast<Ext>(a.Im) * b.Im) / d;
  const Ext im = (static_cast<Ext>(a.Im) * b.Re - static_cast<Ext>(a.Re) * b.Im) / d;
  if (!FitsSingle(re) || !FitsSingle(im)) {
    r = TSingleComplex{};
    return;
  }
  r.Re = static_cast<float>(re);
  r.Im = static_cast<float>(im);
}

void ComplexMulSub(const TSingleComplex& a, const TSingleComplex& b, const TSingleComplex& c, const TSingleComplex& d,
                   TSingleComplex& r) {
  const Ext re = (static_cast<Ext>(a.Re) * b.Re - static_cast<Ext>(a.Im) * b.Im) -
                 (static_cast<Ext>(c.Re) * d.Re - static_cast<Ext>(c.Im) * d.Im);
  const Ext im = (static_cast<Ext>(a.Re) * b.Im + static_cast<Ext>(a.Im) * b.Re) -
                 (static_cast<Ext>(c.Re) * d.Im + static_cast<Ext>(c.Im) * d.Re);
  if (!FitsSingle(re) || !FitsSingle(im)) throw EOverflow("Floating point overflow");
  r.Re = static_cast<float>(re);
  r.Im = static_cast<float>(im);
}

void InvertComplexMatrix2(TSingleComplexMatrix2& m) {
  ComplexDiv(TSingleComplex{1, 0}, m.e, m.e);
  const TSingleComplex a = m.a, b = m.b, c = m.c, d = m.d;
  const TSingleComplex minusB{-b.Re, -b.Im}, minusC{-c.Re, -c.Im};
  ComplexMul(d, m.e, m.a);
  ComplexMul(minusB, m.e, m.b);
  ComplexMul(minusC, m.e, m.c);
  ComplexMul(a, m.e, m.d);
}

// ---------------------------------------------------------------------------------------------
// Double precision

void ComplexDet2(int R1, int C1, int R2, int C2, int R3, int C3, int R4, int C4, double& Re, double& Im,
                 const TMatrix7& ReM, const TMatrix7& ImM) {
  const Ext ar = At(ReM, R1, C1), ai = At(ImM, R1, C1);
  const Ext br = At(ReM, R2, C2), bi = At(ImM, R2, C2);
  const Ext cr = At(ReM, R3, C3), ci = At(ImM, R3, C3);
  const Ext dr = At(ReM, R4, C4), di = At(ImM, R4, C4);
  const Ext re = (ar * br - ai * bi) - (cr * dr - ci * di);
  const Ext im = (ar * bi + ai * br) - (cr * di + ci * dr);
  if (!FitsDouble(re) || !FitsDouble(im)) return;
  Re = static_cast<double>(re);
  Im = static_cast<double>(im);
}

void ComplexDivD(double& Re, double& Im, double ARe, double AIm, double BRe, double BIm) {
  Re = 0;
  Im = 0;
  if (!(std::fabs(BRe) + std::fabs(BIm) > 0)) return;
  const Ext br = BRe, bi = BIm;
  const Ext d = br * br + bi * bi;
  const Ext re = (static_cast<Ext>(ARe) * br + static_cast<Ext>(AIm) * bi) / d;
  const Ext im = (static_cast<Ext>(AIm) * br - static_cast<Ext>(ARe) * bi) / d;
  if (!FitsDouble(re) || !FitsDouble(im)) return;
  Re = static_cast<double>(re);
  Im = static_cast<double>(im);
}

void ComplexMulD(double& Re, double& Im, double ARe, double AIm, double BRe, double BIm) {
  const Ext re = static_cast<Ext>(ARe) * BRe - static_cast<Ext>(AIm) * BIm;
  const Ext im = static_cast<Ext>(ARe) * BIm + static_cast<Ext>(AIm) * BRe;
  const double r = NarrowD(re), i = NarrowD(im);
  Re = r;
  Im = i;
}

void ComplexMul3D(double& Re, double& Im, double ARe, double AIm, double BRe, double BIm, double CRe, double CIm) {
  const Ext tr = static_cast<Ext>(ARe) * BRe - static_cast<Ext>(AIm) * BIm;
  const Ext ti = static_cast<Ext>(ARe) * BIm + static_cast<Ext>(AIm) * BRe;
  const Ext re = tr * CRe - ti * CIm;
  const Ext im = tr * CIm + ti * CRe;
  const double r = NarrowD(re), i = NarrowD(im);
  Re = r;
  Im = i;
}

void TransposeMatrix2(const TMatrix2& A, TMatrix2& T) {
  const TMatrix2 a = A;
  T[1][1] = a[1][1];
  T[1][2] = a[2][1];
  T[2][1] = a[1][2];
  T[2][2] = a[2][2];
}

void MulMatrix2(const TMatrix2& A, const TMatrix2& B, TMatrix2& C) {
  TMatrix2 r;
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= 2; ++j)
      r[i][j] = NarrowD(static_cast<Ext>(A[i][1]) * B[1][j] + static_cast<Ext>(A[i][2]) * B[2][j]);
  C = r;
}

void RotateCrossPowerBlock(int Mode, const TMatrix2& R, TMatrix7& OutRe, TMatrix7& OutIm, int Row1, int Row2, int Col1,
                           int Col2, const TMatrix7& Re, const TMatrix7& Im) {
  if (Mode == 1) {
    const auto rotateRow = [&](const TMatrix7& In, TMatrix7& Out) {
      const Ext x1 = In[Row1][Col1], x2 = In[Row1][Col2];
      const double y1 = NarrowD(R[1][1] * x1 + R[1][2] * x2);
      const double y2 = NarrowD(R[2][1] * x1 + R[2][2] * x2);
      Out[Row1][Col1] = y1;
      Out[Row1][Col2] = y2;
    };
    rotateRow(Re, OutRe);
    rotateRow(Im, OutIm);
    return;
  }
  TMatrix2 rt;
  TransposeMatrix2(R, rt);
  const auto rotateBlock = [&](const TMatrix7& In, TMatrix7& Out) {
    TMatrix2 b, brt, rbrt;
    b[1][1] = In[Row1][Col1];
    b[1][2] = In[Row1][Col2];
    b[2][1] = In[Row2][Col1];
    b[2][2] = In[Row2][Col2];
    MulMatrix2(b, rt, brt);
    MulMatrix2(R, brt, rbrt);
    Out[Row1][Col1] = rbrt[1][1];
    Out[Row1][Col2] = rbrt[1][2];
    Out[Row2][Col1] = rbrt[2][1];
    Out[Row2][Col2] = rbrt[2][2];
  };
  rotateBlock(Re, OutRe);
  rotateBlock(Im, OutIm);
}

void ExtractBlock2(int Mode, int Row1, int Row2, int Col1, int Col2, TMatrix2& BRe, TMatrix2& BIm, const TMatrix7& Re,
                   const TMatrix7& Im) {
  const int rows[3] = {0, Row1, Row2};
  const int cols[3] = {0, Col1, Col2};
  const int lastCol = Mode == 1 ? 1 : 2;
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= lastCol; ++j) {
      BRe[i][j] = Re[rows[i]][cols[j]];
      BIm[i][j] = Im[rows[i]][cols[j]];
    }
}

void Coherence(int I, int J, double& Coh, const TMatrix7& Re, const TMatrix7& Im) {
  const Ext re = Re[I][J], im = Im[I][J];
  const Ext den = static_cast<Ext>(Re[I][I]) * Re[J][J];
  Coh = 0;
  if (den == 0) return;
  const Ext c = std::sqrt(std::fabs((re * re + im * im) / den));
  if (FitsDouble(c)) Coh = static_cast<double>(c);
}

void MultipleCoherence(int A, int B, int C, int Xpr, int F, double Frequency, double& Coh, const TMatrix7& Re,
                       const TMatrix7& Im) {
  const Ext aa = Re[A][A], bb = Re[B][B], cc = Re[C][C];
  const Ext bcR = Re[B][C], bcI = Im[B][C];
  const Ext acR = Re[A][C], acI = Im[A][C];
  const Ext abR = Re[A][B], abI = Im[A][B];
  Coh = 0;
  try {
    double tr = 0, ti = 0;
    ComplexMul3D(tr, ti, Re[C][A], Im[C][A], Re[B][C], Im[B][C], Re[A][B], Im[A][B]);
    const Ext num = (bcR * bcR + bcI * bcI) * aa + (acR * acR + acI * acI) * bb - 2 * tr;
    const Ext den = (aa * bb - (abR * abR + abI * abI)) * cc;
    if (den == 0) throw EZeroDivide("Floating point division by zero");
    Coh = NarrowD(std::sqrt(std::fabs(num / den)));
  } catch (const EMathError&) {
    Coh = 0;
    LogDivisionByZero(Xpr, F, "Dnn = 0", Frequency);
  }
}

void PolarOf(double& Mag, double& Phase, double X, double Y) {
  Mag = 0;
  Phase = 0;
  if (std::isnan(X) || std::isnan(Y)) return;
  const Ext x = X, y = Y;
  const Ext mag = std::sqrt(x * x + y * y);
  if (!FitsDouble(mag)) return;
  Ext phase;
  if (x == 0) {
    phase = y == 0 ? 0 : (y > 0 ? Pi / 2 : -Pi / 2);
  } else {
    phase = std::atan(static_cast<double>(y / x));  // within an ulp of the Double it is stored in
    if (x < 0) phase += y >= 0 ? Pi : -Pi;
  }
  Mag = static_cast<double>(mag);
  Phase = static_cast<double>(phase);
}

void UnpackCrossPowerMatrix(TMatrix7& Re, TMatrix7& Im, const TMatrix7& Packed) {
  const TMatrix7 p = Packed;  // Re or Im may be the packed matrix itself
  for (int i = 1; i <= MaxChannel; ++i) {
    Im[i][i] = 0;
    for (int j = i; j <= MaxChannel; ++j) {
      Re[i][j] = p[i][j];
      Re[j][i] = p[i][j];
      if (j > i) {
        Im[i][j] = p[j][i];
        Im[j][i] = -p[j][i];
      }
    }
  }
}

void PackCrossPowerMatrix(const TMatrix7& Re, const TMatrix7& Im, TMatrix7& Packed) {
  TMatrix7 p;
  for (int i = 1; i <= MaxChannel; ++i)
    for (int j = i; j <= MaxChannel; ++j) {
      p[i][j] = Re[i][j];
      if (j > i) p[j][i] = Im[i][j];
    }
  Packed = p;
}

void UnpackCrossPowerMatrix(TMatrix7& Re, TMatrix7& Im, const TFreqMatrices& Matrices, int F) {
  UnpackCrossPowerMatrix(Re, Im, Matrices[F]);
}

void PackCrossPowerMatrix(const TMatrix7& Re, const TMatrix7& Im, TFreqMatrices& Matrices, int F) {
  PackCrossPowerMatrix(Re, Im, Matrices[F]);
}
