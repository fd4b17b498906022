// Complex arithmetic and cross-power matrix routines of the MT computation.
//
// Two families: a single-precision complex module (TSingleComplex) and double-precision
// routines that pass complex values as separate real and imaginary parts. Channel slots are
// 1..7 and frequency indices 1..140; an index outside raises ERangeError.
//
// A cross-power matrix pair is two TMatrix7, Re and Im: entry (r, c) is Re[r][c] + i*Im[r][c].
// A packed matrix (TMatrix7 too) holds Re[r][c] on and above the diagonal and Im[c][r] below it.
#pragma once

#include "mtdata/mt_types.h"

// ---------------------------------------------------------------------------------------------
// Single-precision complex module (pi is taken as 3.141592 here)

// [a b; c d] and its determinant e.
struct TSingleComplexMatrix2 {
  TSingleComplex a, b, c, d, e;
};

// sqrt(Re^2 + Im^2).
float ComplexAbs(const TSingleComplex& z);
// ArcTan2(Im, Re) * 180 / 3.141592, in degrees.
float ComplexArgDeg(const TSingleComplex& z);
// w = sqrt|z| * (cos h, sin h), h = ComplexArgDeg(z) / 2 in radians; every step rounded to Single.
void ComplexSqrt(const TSingleComplex& z, TSingleComplex& w);
// r = a * b; any arithmetic fault gives r = 0.
void ComplexMul(const TSingleComplex& a, const TSingleComplex& b, TSingleComplex& r);
// r = a / b with the divisor's squared modulus in double precision; 0 when it is 0 or when the
// quotient does not fit a Single.
void ComplexDiv(const TSingleComplex& a, const TSingleComplex& b, TSingleComplex& r);
// r = a * b - c * d; raises EOverflow when the result does not fit a Single.
void ComplexMulSub(const TSingleComplex& a, const TSingleComplex& b, const TSingleComplex& c, const TSingleComplex& d,
                   TSingleComplex& r);
// m.e holds the determinant on entry: m.e := 1 / m.e (0 for a zero determinant), then
// [a b; c d] := [d*e, -b*e; -c*e, a*e].
void InvertComplexMatrix2(TSingleComplexMatrix2& m);

// ---------------------------------------------------------------------------------------------
// Double-precision routines

// A 2x2 real matrix, [1..2][1..2], row by row.
using TMatrix2 = TFixedArray<double, TBounds<1, 2>, TBounds<1, 2>>;

// Re + i*Im := X(R1, C1) * X(R2, C2) - X(R3, C3) * X(R4, C4), X the complex entries of the pair;
// a result that does not fit a Double leaves Re and Im as they were.
void ComplexDet2(int R1, int C1, int R2, int C2, int R3, int C3, int R4, int C4, double& Re, double& Im,
                 const TMatrix7& ReM, const TMatrix7& ImM);
// Re + i*Im := A / B; 0 when |BRe| + |BIm| is 0 (no fault) and 0 when the quotient does not fit
// a Double.
void ComplexDivD(double& Re, double& Im, double ARe, double AIm, double BRe, double BIm);
// Re + i*Im := A * B; raises EOverflow when the product does not fit a Double.
void ComplexMulD(double& Re, double& Im, double ARe, double AIm, double BRe, double BIm);
// Re + i*Im := (A * B) * C; raises EOverflow when the product does not fit a Double.
void ComplexMul3D(double& Re, double& Im, double ARe, double AIm, double BRe, double BIm, double CRe, double CIm);

void TransposeMatrix2(const TMatrix2& A, TMatrix2& T);
void MulMatrix2(const TMatrix2& A, const TMatrix2& B, TMatrix2& C);

// Mode 2 (any value but 1): the block (Row1, Row2) x (Col1, Col2) of Re becomes R * B * R^T in
// the same positions of OutRe, likewise Im into OutIm. Mode 1: only row Row1: the pair
// (x1, x2) at columns Col1, Col2 becomes R * (x1, x2). Re and Im are never changed; positions
// outside the block keep what OutRe and OutIm held.
void RotateCrossPowerBlock(int Mode, const TMatrix2& R, TMatrix7& OutRe, TMatrix7& OutIm, int Row1, int Row2, int Col1,
                           int Col2, const TMatrix7& Re, const TMatrix7& Im);
// BRe[i][j] = Re[Row i][Col j], BIm likewise; mode 1 copies only column 1.
void ExtractBlock2(int Mode, int Row1, int Row2, int Col1, int Col2, TMatrix2& BRe, TMatrix2& BIm, const TMatrix7& Re,
                   const TMatrix7& Im);

// Coh := sqrt|(Re[I][J]^2 + Im[I][J]^2) / (Re[I][I] * Re[J][J])|; 0 when the product of the
// auto-powers is 0.
void Coherence(int I, int J, double& Coh, const TMatrix7& Re, const TMatrix7& Im);
// Multiple coherence of channel C with the pair (A, B). A zero denominator (or any other fault)
// gives 0 and the log line "Dnn = 0" through LogDivisionByZero(Xpr, F, ..., Frequency).
void MultipleCoherence(int A, int B, int C, int Xpr, int F, double Frequency, double& Coh, const TMatrix7& Re,
                       const TMatrix7& Im);

// Modulus and argument of X + iY, the argument in (-pi, pi]; a fault sets both to 0.
void PolarOf(double& Mag, double& Phase, double X, double Y);

// Packed matrix of frequency F -> Re (symmetric) and Im (antisymmetric, zero diagonal).
void UnpackCrossPowerMatrix(TMatrix7& Re, TMatrix7& Im, const TFreqMatrices& Matrices, int F);
// Upper triangles of Re and Im -> packed matrix of frequency F.
void PackCrossPowerMatrix(const TMatrix7& Re, const TMatrix7& Im, TFreqMatrices& Matrices, int F);
// The same on one packed matrix (for instance an element of TTempFile).
void UnpackCrossPowerMatrix(TMatrix7& Re, TMatrix7& Im, const TMatrix7& Packed);
void PackCrossPowerMatrix(const TMatrix7& Re, const TMatrix7& Im, TMatrix7& Packed);
