#include "mtdata/complex_routines.h"

#include "mt_model_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

TSingleComplex Sc(float re, float im) { return {re, im}; }

TEST(ComplexSingle, ArgumentAndRootUseTheModulesPi) {
  // 180 * pi / 3.141592 rounded to Single: slightly above 180.
  const float half = ComplexArgDeg(Sc(-1, 0));
  EXPECT_EQ(half, static_cast<float>(180.0L * 3.141592653589793238L / 3.141592L));
  EXPECT_GT(half, 180.0f);
  EXPECT_EQ(ComplexArgDeg(Sc(0, 0)), 0.0f);

  TSingleComplex w;
  ComplexSqrt(Sc(-4, 0), w);
  EXPECT_NE(w.Re, 0.0f);
  EXPECT_LT(std::fabs(w.Re), 1e-6f);
  EXPECT_FLOAT_EQ(w.Im, 2.0f);

  ComplexSqrt(Sc(0, 2), w);  // sqrt(2i) = 1 + i
  EXPECT_NEAR(w.Re, 1.0f, 1e-6f);
  EXPECT_NEAR(w.Im, 1.0f, 1e-6f);
  EXPECT_FLOAT_EQ(ComplexAbs(Sc(3, -4)), 5.0f);
}

TEST(ComplexSingle, FaultsGiveZero) {
  TSingleComplex r{7, 7};
  ComplexMul(Sc(3e38f, 0), Sc(10, 0), r);  // overflows a Single
  EXPECT_EQ(r, Sc(0, 0));
  r = {7, 7};
  ComplexDiv(Sc(1, 1), Sc(0, 0), r);
  EXPECT_EQ(r, Sc(0, 0));
  ComplexMul(Sc(1, 2), Sc(3, 4), r);
  EXPECT_EQ(r, Sc(-5, 10));
  ComplexDiv(Sc(-5, 10), Sc(3, 4), r);
  EXPECT_FLOAT_EQ(r.Re, 1);
  EXPECT_FLOAT_EQ(r.Im, 2);
  EXPECT_THROW(ComplexMulSub(Sc(3e38f, 0), Sc(10, 0), Sc(0, 0), Sc(0, 0), r), EOverflow);
}

TEST(ComplexSingle, InvertMatrix) {
  TSingleComplexMatrix2 m{Sc(1, 1), Sc(2, 0), Sc(0, -1), Sc(3, 0.5f), {}};
  const TSingleComplexMatrix2 orig = m;
  ComplexMulSub(m.a, m.d, m.b, m.c, m.e);
  InvertComplexMatrix2(m);
  // orig * inverse = identity.
  const auto mul = [](TSingleComplex a, TSingleComplex b) {
    TSingleComplex r;
    ComplexMul(a, b, r);
    return r;
  };
  const auto add = [](TSingleComplex a, TSingleComplex b) { return Sc(a.Re + b.Re, a.Im + b.Im); };
  const TSingleComplex i11 = add(mul(orig.a, m.a), mul(orig.b, m.c));
  const TSingleComplex i12 = add(mul(orig.a, m.b), mul(orig.b, m.d));
  const TSingleComplex i21 = add(mul(orig.c, m.a), mul(orig.d, m.c));
  EXPECT_NEAR(i11.Re, 1, 1e-6);
  EXPECT_NEAR(i11.Im, 0, 1e-6);
  EXPECT_NEAR(std::hypot(i12.Re, i12.Im), 0, 1e-6);
  EXPECT_NEAR(std::hypot(i21.Re, i21.Im), 0, 1e-6);

  TSingleComplexMatrix2 z{Sc(1, 1), Sc(2, 0), Sc(0, -1), Sc(3, 0.5f), Sc(0, 0)};
  InvertComplexMatrix2(z);
  for (const auto& e : {z.a, z.b, z.c, z.d, z.e}) EXPECT_EQ(e, Sc(0, 0));
}

TEST(ComplexDouble, DivisionByZeroAndByTinyDivisors) {
  double re = 5, im = 5;
  ComplexDivD(re, im, 1, 2, 0, 0);
  EXPECT_EQ(re, 0);
  EXPECT_EQ(im, 0);
  // |B|^2 = 1e-600 is below a Double's range; the quotient is still formed.
  ComplexDivD(re, im, 1, 0, 0, 1e-300);
  EXPECT_EQ(re, 0);
  EXPECT_DOUBLE_EQ(im, -1e300);
  // A quotient beyond a Double counts as a zero divisor instead of an infinity.
  ComplexDivD(re, im, 1e10, 0, 0, 1e-300);
  EXPECT_EQ(re, 0);
  EXPECT_EQ(im, 0);
}

TEST(ComplexDouble, PolarOf) {
  struct Case {
    double x, y, mag, phase;
  } cases[] = {
      {-1, 0, 1, Pi},
      {-1, -0.0, 1, Pi},  // -0.0 counts as y >= 0
      {0, -2, 2, -Pi / 2},
      {0, 3, 3, Pi / 2},
      {0, 0, 0, 0},
      {1, 1, std::sqrt(2.0), Pi / 4},
      {-1, -1, std::sqrt(2.0), -3 * Pi / 4},
      {std::numeric_limits<double>::quiet_NaN(), 1, 0, 0},
      {1.5e308, 1.5e308, 0, 0},  // the modulus overflows
  };
  for (const Case& c : cases) {
    double mag = -1, phase = -1;
    PolarOf(mag, phase, c.x, c.y);
    EXPECT_DOUBLE_EQ(mag, c.mag) << c.x << "," << c.y;
    EXPECT_DOUBLE_EQ(phase, c.phase) << c.x << "," << c.y;
  }
}

TEST(ComplexDouble, Det2AndProducts) {
  TMatrix7 re, im;
  re[1][2] = 1;
  im[1][2] = 2;  // X(1,2) = 1 + 2i
  re[3][4] = 3;
  im[3][4] = -1;  // X(3,4) = 3 - i
  re[5][5] = 2;   // X(5,5) = 2
  double r = 0, i = 0;
  // (1+2i)(3-i) - 2*2 = 5 + 5i - 4
  ComplexDet2(1, 2, 3, 4, 5, 5, 5, 5, r, i, re, im);
  EXPECT_EQ(r, 1);
  EXPECT_EQ(i, 5);
  re[1][2] = 1e300;
  re[3][4] = 1e300;
  r = i = 7;
  ComplexDet2(1, 2, 3, 4, 5, 5, 5, 5, r, i, re, im);  // overflows: outputs unchanged
  EXPECT_EQ(r, 7);
  EXPECT_EQ(i, 7);
  EXPECT_THROW(ComplexDet2(8, 1, 1, 1, 1, 1, 1, 1, r, i, re, im), ERangeError);

  ComplexMul3D(r, i, 0, 1, 0, 1, 0, 1);  // i^3
  EXPECT_EQ(r, 0);
  EXPECT_EQ(i, -1);
  EXPECT_THROW(ComplexMulD(r, i, 1e300, 0, 1e300, 0), EOverflow);
}

TMatrix7 PackedSample() {
  TMatrix7 p;
  for (int r = 1; r <= 7; ++r)
    for (int c = 1; c <= 7; ++c) p[r][c] = r * 10 + c + (r > c ? 0.5 : 0);
  return p;
}

TEST(CrossPowerMatrix, UnpackAndPackRoundTrip) {
  const TMatrix7 packed = PackedSample();
  TMatrix7 re, im;
  UnpackCrossPowerMatrix(re, im, packed);
  for (int r = 1; r <= 7; ++r) {
    EXPECT_EQ(im[r][r], 0);
    for (int c = 1; c <= 7; ++c) {
      EXPECT_EQ(re[r][c], re[c][r]);
      EXPECT_EQ(im[r][c], -im[c][r]);
    }
  }
  EXPECT_EQ(re[2][5], 25);
  EXPECT_EQ(im[2][5], 52.5);  // the imaginary part of (2, 5) lies below the diagonal
  TMatrix7 again;
  PackCrossPowerMatrix(re, im, again);
  EXPECT_EQ(again, packed);

  TFreqMatrices perFreq;
  perFreq[140] = packed;
  TMatrix7 re2, im2;
  UnpackCrossPowerMatrix(re2, im2, perFreq, 140);
  EXPECT_EQ(re2, re);
  EXPECT_THROW(UnpackCrossPowerMatrix(re2, im2, perFreq, 141), ERangeError);
  PackCrossPowerMatrix(re, im, perFreq, 1);
  EXPECT_EQ(perFreq[1], packed);
}

TEST(CrossPowerMatrix, RotateBlocks) {
  TMatrix7 re, im;
  TMtModel model;
  model.Zxx = cd(0.1, 0.2);
  model.Zxy = cd(1, 1);
  model.Zyx = cd(-2, -1);
  BuildCrossPowers(model, IdentityChannelOrder(), re, im);

  TMatrix2 identity;
  identity[1][1] = identity[2][2] = 1;
  TMatrix7 outRe = re, outIm = im;
  RotateCrossPowerBlock(2, identity, outRe, outIm, 3, 4, 1, 2, re, im);
  EXPECT_EQ(outRe, re);
  EXPECT_EQ(outIm, im);

  const double a = 0.4;
  TMatrix2 r;
  r[1][1] = std::cos(a);
  r[1][2] = std::sin(a);
  r[2][1] = -std::sin(a);
  r[2][2] = std::cos(a);
  outRe.Fill(-1);
  outIm.Fill(-1);
  RotateCrossPowerBlock(2, r, outRe, outIm, 3, 4, 3, 4, re, im);
  // The diagonal block of a Hermitian matrix stays Hermitian; the trace is kept.
  EXPECT_NEAR(outRe[3][4], outRe[4][3], 1e-14);
  EXPECT_NEAR(outIm[3][4], -outIm[4][3], 1e-14);
  EXPECT_NEAR(outIm[3][3], 0, 1e-14);
  EXPECT_NEAR(outRe[3][3] + outRe[4][4], re[3][3] + re[4][4], 1e-13);
  EXPECT_EQ(outRe[1][1], -1);  // outside the block: untouched

  // Mode 1 turns the pair of one row only.
  outRe = re;
  outIm = im;
  RotateCrossPowerBlock(1, r, outRe, outIm, 5, 99, 3, 4, re, im);
  EXPECT_DOUBLE_EQ(outRe[5][3], r[1][1] * re[5][3] + r[1][2] * re[5][4]);
  EXPECT_DOUBLE_EQ(outIm[5][4], r[2][1] * im[5][3] + r[2][2] * im[5][4]);
  EXPECT_EQ(outRe[3][5], re[3][5]);

  TMatrix2 bre, bim;
  bre.Fill(9);
  ExtractBlock2(1, 1, 2, 3, 4, bre, bim, re, im);
  EXPECT_EQ(bre[2][1], re[2][3]);
  EXPECT_EQ(bre[1][2], 9);  // mode 1 copies column 1 only
}

TEST(CrossPowerMatrix, Coherences) {
  TMatrix7 re, im;
  TMtModel model;
  model.Zxy = cd(1, 1);
  model.Zyx = cd(-1, -0.5);
  model.Zxx = cd(0.2, 0);
  BuildCrossPowers(model, IdentityChannelOrder(), re, im);
  double coh = -1;
  MultipleCoherence(3, 4, 1, 0, 1, 1.0, coh, re, im);  // Ex on (Hx, Hy)
  EXPECT_NEAR(coh, 1, 1e-12);
  Coherence(1, 1, coh, re, im);
  EXPECT_NEAR(coh, 1, 1e-14);

  re[3][3] = 0;
  Coherence(3, 1, coh, re, im);
  EXPECT_EQ(coh, 0);

  // A zero denominator gives 0 and logs its line only while the error log is on.
  ErrorLogActive = true;
  testing::internal::CaptureStdout();
  MultipleCoherence(1, 2, 3, 7, 12, 0.5, coh, re, im);  // Hx has no power
  ErrorLogActive = false;
  EXPECT_EQ(coh, 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Xpr=  7 f= 12(   0.50000) Division by Dnn = 0\n");
  testing::internal::CaptureStdout();
  MultipleCoherence(1, 2, 3, 7, 12, 0.5, coh, re, im);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
