#include "chart/series/fitting_poly.h"

#include <algorithm>
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

namespace {

// Coefficients of the polynomial in t = (x - Centre) / Scale rewritten in powers of x (Horner's
// scheme on polynomials: q := q * (x - Centre) / Scale + a[k]).
void ToPowersOfX(int Terms, const long double* A, long double Centre, long double Scale, TPolyCoefficients C) {
  long double q[MaxPolyTerms + 1]{};
  for (int k = Terms; k >= 1; --k) {
    long double r[MaxPolyTerms + 1]{};
    for (int j = 1; j < Terms; ++j) {
      r[j + 1] += q[j] / Scale;
      r[j] -= q[j] * Centre / Scale;
    }
    r[1] += A[k];
    std::memcpy(q, r, sizeof(q));
  }
  for (int k = 1; k <= Terms; ++k) C[k] = q[k];
}

// Low degrees: the normal equations of the centred and scaled abscissas, built from the power sums
// (one pass over the points) and divided by N so the pivot tolerance is relative.
bool SolveNormal(int N, int Terms, const TVector& X, const TVector& Y, long double Centre, long double Scale,
                 long double* A) {
  TPolyMatrix a{};
  long double b[MaxPolyTerms + 1]{};
  long double sums[2 * MaxPolyTerms]{};
  const long double inverse = 1 / Scale;
  for (int i = 1; i <= N; ++i) {
    const long double t = (X[static_cast<size_t>(i)] - Centre) * inverse, y = Y[static_cast<size_t>(i)];
    long double p = 1;
    for (int k = 0; k <= 2 * (Terms - 1); ++k) {
      sums[k] += p;
      if (k < Terms) b[k + 1] += p * y;
      p *= t;
    }
  }
  for (int j = 1; j <= Terms; ++j) {
    b[j] /= N;
    for (int k = 1; k <= Terms; ++k) a[j][k] = sums[j + k - 2] / N;
  }
  return GaussSolve(Terms, a, b, 1e-15L, A) != 0;
}

// High degrees: the normal equations square the condition of the power basis and lose every digit
// beyond about ten terms. Givens rotations bring the rows of the (centred, scaled) power matrix one
// by one into an upper triangle R with Q'y beside it; the triangle is then solved directly.
bool SolveOrthogonal(int N, int Terms, const TVector& X, const TVector& Y, long double Centre, long double Scale,
                     long double* A) {
  long double r[MaxPolyTerms + 1][MaxPolyTerms + 2]{};
  bool started[MaxPolyTerms + 1]{};
  for (int i = 1; i <= N; ++i) {
    long double row[MaxPolyTerms + 2];
    const long double t = (X[static_cast<size_t>(i)] - Centre) / Scale;
    long double p = 1;
    for (int k = 1; k <= Terms; ++k) {
      row[k] = p;
      p *= t;
    }
    row[Terms + 1] = Y[static_cast<size_t>(i)];
    for (int k = 1; k <= Terms; ++k) {
      if (row[k] == 0) continue;
      if (!started[k]) {
        for (int j = k; j <= Terms + 1; ++j) r[k][j] = row[j];
        started[k] = true;
        break;
      }
      const long double h = std::sqrt(r[k][k] * r[k][k] + row[k] * row[k]);
      const long double c = r[k][k] / h, s = row[k] / h;
      for (int j = k; j <= Terms + 1; ++j) {
        const long double u = r[k][j], v = row[j];
        r[k][j] = c * u + s * v;
        row[j] = c * v - s * u;
      }
    }
  }
  // Columns of the scaled powers hold values within -1..1: a diagonal this small means a column
  // that depends on the others (fewer distinct abscissas than terms).
  const long double tolerance = 1e-15L * std::sqrt(static_cast<long double>(N));
  for (int k = Terms; k >= 1; --k) {
    if (std::fabs(r[k][k]) < tolerance) return false;
    long double s = r[k][Terms + 1];
    for (int j = k + 1; j <= Terms; ++j) s -= r[k][j] * A[j];
    A[k] = s / r[k][k];
  }
  return true;
}

}  // namespace

void PolyFit(int N, int Terms, const TVector& X, const TVector& Y, TPolyCoefficients C) {
  if (Terms < 1 || Terms > MaxPolyTerms) throw std::out_of_range("polynomial terms");
  if (N < 1) throw ChartException(ErrFitting);
  // The abscissas are centred on their range and scaled to -1..1 before the powers are taken, so the
  // system stays well conditioned whatever the units of X; the coefficients are then rewritten in
  // powers of X.
  long double lo = X[1], hi = X[1];
  for (int i = 2; i <= N; ++i) {
    lo = std::min(lo, X[static_cast<size_t>(i)]);
    hi = std::max(hi, X[static_cast<size_t>(i)]);
  }
  const long double centre = (lo + hi) / 2;
  const long double scale = hi > lo ? (hi - lo) / 2 : 1;
  long double a[MaxPolyTerms + 1]{};
  const bool ok = Terms <= 10 ? SolveNormal(N, Terms, X, Y, centre, scale, a)
                              : SolveOrthogonal(N, Terms, X, Y, centre, scale, a);
  if (!ok) throw ChartException(ErrFitting);
  for (int k = 1; k <= Terms; ++k)
    if (!std::isfinite(a[k])) throw ChartException(ErrFitting);
  ToPowersOfX(Terms, a, centre, scale, C);
}
