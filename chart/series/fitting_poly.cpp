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
  // The powers as PolyPowers makes them, kept in a register instead of an array: this runs once
  // for every point of a fitted curve.
  long double s = 0, p = 1;
  for (int k = 1; k <= Terms; ++k) {
    s += C[k] * p;
    p *= X;
  }
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

// The normal equations in the Chebyshev basis of the centred, scaled abscissas t (within -1..1):
// their matrix stays well conditioned at every degree, unlike that of the powers of x, whose
// condition squares the power basis' own. Since T_j T_k = (T_(j+k) + T_|j-k|) / 2, the matrix needs
// only the sums of T_0 .. T_(2 Terms - 2) over the points: one short recurrence per point. The
// solution is then rewritten in powers of t.
template <class GetX, class GetY>
bool SolveChebyshev(int N, int Terms, const GetX& X, const GetY& Y, long double Centre, long double Scale,
                    long double* A) {
  long double moments[2 * MaxPolyTerms]{};
  long double b[MaxPolyTerms + 1]{};
  const long double inverse = 1 / Scale;
  const int top = 2 * Terms - 2;
  for (int i = 1; i <= N; ++i) {
    const long double t = (X(i) - Centre) * inverse, y = Y(i);
    long double previous = 1, current = t;
    moments[0] += 1;
    b[1] += y;
    for (int m = 1; m <= top; ++m) {
      moments[m] += current;
      if (m < Terms) b[m + 1] += current * y;
      const long double next = 2 * t * current - previous;
      previous = current;
      current = next;
    }
  }
  TPolyMatrix g{};
  for (int j = 0; j < Terms; ++j) {
    b[j + 1] /= N;
    for (int k = 0; k < Terms; ++k) g[j + 1][k + 1] = (moments[j + k] + moments[j > k ? j - k : k - j]) / (2 * N);
  }
  long double c[MaxPolyTerms + 1]{};
  if (GaussSolve(Terms, g, b, 1e-15L, c) == 0) return false;
  // Powers of t of T_(m-1) and T_m, from T_(m+1) = 2 t T_m - T_(m-1).
  long double tPrev[MaxPolyTerms + 1]{}, tCur[MaxPolyTerms + 1]{};
  tPrev[1] = 1;
  tCur[2] = 1;
  for (int k = 1; k <= Terms; ++k) A[k] = 0;
  A[1] = c[1];
  for (int m = 1; m < Terms; ++m) {
    for (int k = 1; k <= Terms; ++k) A[k] += c[m + 1] * tCur[k];
    long double next[MaxPolyTerms + 1]{};
    for (int k = 1; k < Terms; ++k) next[k + 1] = 2 * tCur[k];
    for (int k = 1; k <= Terms; ++k) next[k] -= tPrev[k];
    std::memcpy(tPrev, tCur, sizeof(tPrev));
    std::memcpy(tCur, next, sizeof(tCur));
  }
  return true;
}

template <class GetX, class GetY>
void PolyFitWith(int N, int Terms, const GetX& X, const GetY& Y, TPolyCoefficients C) {
  if (Terms < 1 || Terms > MaxPolyTerms) throw std::out_of_range("polynomial terms");
  if (N < 1) throw ChartException(ErrFitting);
  // The abscissas are centred on their range and scaled to -1..1 before the powers are taken, so the
  // system stays well conditioned whatever the units of X; the coefficients are then rewritten in
  // powers of X.
  long double lo = X(1), hi = X(1);
  for (int i = 2; i <= N; ++i) {
    const long double x = X(i);
    lo = std::min(lo, x);
    hi = std::max(hi, x);
  }
  const long double centre = (lo + hi) / 2;
  const long double scale = hi > lo ? (hi - lo) / 2 : 1;
  long double a[MaxPolyTerms + 1]{};
  if (!SolveChebyshev(N, Terms, X, Y, centre, scale, a)) throw ChartException(ErrFitting);
  for (int k = 1; k <= Terms; ++k)
    if (!std::isfinite(a[k])) throw ChartException(ErrFitting);
  ToPowersOfX(Terms, a, centre, scale, C);
}

}  // namespace

void PolyFit(int N, int Terms, const TVector& X, const TVector& Y, TPolyCoefficients C) {
  PolyFitWith(
      N, Terms, [&X](int i) { return X[static_cast<size_t>(i)]; }, [&Y](int i) { return Y[static_cast<size_t>(i)]; },
      C);
}

void PolyFit(int N, int Terms, const double* X, double XShift, const double* Y, double YShift, TPolyCoefficients C) {
  // Each difference is taken in double, as a caller filling long double vectors with them would.
  PolyFitWith(
      N, Terms, [=](int i) { return static_cast<long double>(X[i - 1] - XShift); },
      [=](int i) { return static_cast<long double>(Y[i - 1] - YShift); }, C);
}
