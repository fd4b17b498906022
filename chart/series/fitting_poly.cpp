#include "chart/series/fitting_poly.h"

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"

void PolyPowers(int Terms, long double X, long double* P) {
  P[1] = 1;
  for (int k = 2; k <= Terms; ++k) P[k] = P[k - 1] * X;
}

long double PolyValue(int Terms, const TPolyCoefficients C, long double X) {
  long double p[MaxPolyTerms + 1];
  PolyPowers(Terms, X, p);
  long double s = 0;
  for (int k = 1; k <= Terms; ++k) s += C[k] * p[k];
  return s;
}

long double GaussSolve(int N, const TPolyMatrix A, const long double* B, long double Tolerance, long double* X) {
  TPolyMatrix a;
  long double b[MaxPolyTerms + 1];
  std::memcpy(a, A, sizeof(a));
  std::memcpy(b, B, sizeof(b));
  int exchanges = 0;
  for (int i = 1; i <= N - 1; ++i) {
    int f = i;
    for (int r = i + 1; r <= N; ++r)
      if (std::fabs(a[r][i]) > std::fabs(a[f][i])) f = r;  // the first of equal magnitudes stays
    if (f != i) {
      for (int k = i; k <= N; ++k) std::swap(a[i][k], a[f][k]);
      std::swap(b[i], b[f]);
      ++exchanges;
    }
    if (std::fabs(a[i][i]) < Tolerance) return 0;
    for (int j = i + 1; j <= N; ++j) {
      const long double k = a[j][i] / a[i][i];
      for (int c = i + 1; c <= N; ++c) a[j][c] -= k * a[i][c];
      b[j] -= k * b[i];
    }
  }
  if (std::fabs(a[N][N]) < Tolerance) return 0;
  long double det = 1;
  for (int i = N; i >= 1; --i) {
    long double s = b[i];
    for (int j = i + 1; j <= N; ++j) s -= a[i][j] * X[j];
    X[i] = s / a[i][i];
    det *= a[i][i];
  }
  return exchanges % 2 ? -det : det;
}

void PolyFit(int N, int Terms, const TVector& X, const TVector& Y, TPolyCoefficients C) {
  if (Terms < 1 || Terms > MaxPolyTerms) throw std::out_of_range("polynomial terms");
  TPolyMatrix a{};
  long double b[MaxPolyTerms + 1]{};
  // Sums of the powers up to 2 (Terms - 1), then the matrix from them: A[j][k] = sum x^(j+k-2).
  long double sums[2 * MaxPolyTerms]{};
  for (int i = 1; i <= N; ++i) {
    const long double x = X[static_cast<size_t>(i)], y = Y[static_cast<size_t>(i)];
    long double p = 1;
    for (int k = 0; k <= 2 * (Terms - 1); ++k) {
      sums[k] += p;
      if (k < Terms) b[k + 1] += p * y;
      p *= x;
    }
  }
  for (int j = 1; j <= Terms; ++j)
    for (int k = 1; k <= Terms; ++k) a[j][k] = sums[j + k - 2];
  if (GaussSolve(Terms, a, b, 1e-15L, C) == 0) throw ChartException(ErrFitting);
}
