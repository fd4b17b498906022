// Least-squares polynomial fit through the normal equations, solved by Gaussian elimination with
// partial pivoting, all in extended precision. Vectors are used from index 1 (index 0 unused).
#pragma once

#include <vector>

using TVector = std::vector<long double>;

constexpr int MaxPolyTerms = 20;
using TPolyCoefficients = long double[MaxPolyTerms + 1];
using TPolyMatrix = long double[MaxPolyTerms + 1][MaxPolyTerms + 1];

// p[1] = 1, p[k] = p[k-1] * x for k = 2..Terms.
void PolyPowers(int Terms, long double X, long double* P);
// Sum of c[k] * x^(k-1), k = 1..Terms.
long double PolyValue(int Terms, const TPolyCoefficients C, long double X);
// Least-squares coefficients of the Terms-term polynomial through (X[i], Y[i]), i = 1..N: normal
// equations in the Chebyshev basis of the centred, scaled abscissas, rewritten in powers of X.
// Raises ChartException "Cannot process fitting" when the normal equations are singular (fewer
// distinct abscissas than terms).
void PolyFit(int N, int Terms, const TVector& X, const TVector& Y, TPolyCoefficients C);
// The same fit of the N points (X[i] - XShift, Y[i] - YShift), i = 0..N-1, each difference taken in
// double: equal to the fit of vectors filled with those differences, without making them.
void PolyFit(int N, int Terms, const double* X, double XShift, const double* Y, double YShift, TPolyCoefficients C);
// Solves A x = b (A and b are copied); returns the determinant, 0 when a pivot falls below the tolerance.
long double GaussSolve(int N, const TPolyMatrix A, const long double* B, long double Tolerance, long double* X);
