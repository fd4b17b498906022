#include "chart/series/fitting_spline.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"
#include "platform/exceptions.h"
#include "platform/sysutils.h"

// =============================================================================================
// Least-squares cubic spline

namespace {

struct TNagState {
  std::array<double, SplineMaxPoints + 1> X{}, Y{}, W{};
  std::array<double, SplineMaxKnots + 1> Knots{};
  std::array<double, SplineMaxKnots + 1> Coefs{};
  int Ncap = 0;
  int Ncap7 = 0;
  int Failure = 0;
  double Residual = 0;
};

TNagState& Nag() {
  static TNagState state;
  return state;
}

double NegativeQuietNaN() { return -std::numeric_limits<double>::quiet_NaN(); }

// The four cubic B-splines that are not zero on the knot interval L (Knots[L] <= x < Knots[L + 1]),
// by the stable recurrence; B[0..3] belong to the coefficients L - 3 .. L.
void CubicBSplines(const double* T, int L, double X, double* B) {
  double left[4], right[4];
  B[0] = 1;
  for (int j = 1; j <= 3; ++j) {
    left[j] = X - T[L + 1 - j];
    right[j] = T[L + j] - X;
    double saved = 0;
    for (int r = 0; r < j; ++r) {
      const double temp = B[r] / (right[r + 1] + left[j - r]);
      B[r] = saved + right[r + 1] * temp;
      saved = left[j - r] * temp;
    }
    B[j] = saved;
  }
}

// The knot interval of X among Knots[4] .. Knots[Ncap7 - 3]: a value on an interior knot belongs to
// the interval on its right, the last knot to the last interval.
int KnotInterval(const double* T, int Ncap7, double X) {
  int lo = 4, hi = Ncap7 - 3;  // T[lo] <= X <= T[hi]
  if (X >= T[hi]) {
    int l = hi - 1;
    while (l > 4 && T[l] == T[hi]) --l;
    return l;
  }
  while (hi - lo > 1) {
    const int mid = (lo + hi) / 2;
    if (X >= T[mid])
      lo = mid;
    else
      hi = mid;
  }
  return lo;
}

// Hypotenuse with the larger magnitude in front, so neither square overflows.
double Hypot(double A, double B) {
  const double a = std::fabs(A), b = std::fabs(B);
  if (a == 0 && b == 0) return 0;
  return a >= b ? a * std::sqrt(1 + (b / a) * (b / a)) : b * std::sqrt(1 + (a / b) * (a / b));
}

// The fit proper on the process-wide points; answers the failure number.
int FitBSplines(int M, int Ncap7, double& SS) {
  TNagState& s = Nag();
  double* t = s.Knots.data();
  const double* x = s.X.data();
  if (Ncap7 < 8 || M < Ncap7 - 4) return 4;
  for (int j = 1; j <= 4; ++j) {
    t[j] = x[1];
    t[Ncap7 - 4 + j] = x[M];
  }
  if (!(x[1] < t[5] && t[Ncap7 - 4] < x[M])) return 1;
  for (int j = 4; j < Ncap7 - 3; ++j)
    if (t[j] > t[j + 1]) return 1;
  for (int i = 1; i <= M; ++i)
    if (!(s.W[static_cast<size_t>(i)] > 0)) return 2;
  std::vector<double> distinct{x[1]};
  for (int i = 2; i <= M; ++i) {
    if (x[i] < x[i - 1]) return 3;
    if (x[i] > x[i - 1]) distinct.push_back(x[i]);
  }
  const int ncoef = Ncap7 - 4;
  if (static_cast<int>(distinct.size()) < ncoef) return 4;
  // Every B-spline needs a distinct abscissa of its own strictly inside its support (the ends of
  // the range may sit on the coincident end knots).
  size_t p = 0;
  for (int j = 1; j <= ncoef; ++j) {
    const double lo = t[j], hi = t[j + 4];
    while (p < distinct.size() && !(distinct[p] > lo || (lo == x[1] && distinct[p] == lo))) ++p;
    if (p >= distinct.size() || !(distinct[p] < hi || (hi == x[M] && distinct[p] == hi))) return 5;
    ++p;
  }
  // Each weighted equation is rotated into the banded upper triangle R (four entries per row from
  // the diagonal) with its right-hand side; what is rotated out is the residual.
  std::vector<std::array<double, 4>> r(static_cast<size_t>(ncoef) + 1, std::array<double, 4>{});
  std::vector<double> rhs(static_cast<size_t>(ncoef) + 1, 0.0);
  SS = 0;
  for (int i = 1; i <= M; ++i) {
    const int l = KnotInterval(t, Ncap7, x[i]);
    double a[4];
    CubicBSplines(t, l, x[i], a);
    const double w = s.W[static_cast<size_t>(i)];
    for (double& v : a) v *= w;
    double b = w * s.Y[static_cast<size_t>(i)];
    const int j0 = l - 3;
    for (int k = 0; k < 4; ++k) {
      if (a[k] == 0) continue;
      auto& row = r[static_cast<size_t>(j0 + k)];
      const double h = Hypot(row[0], a[k]);
      const double c = row[0] / h, sn = a[k] / h;
      row[0] = h;
      for (int m = 1; m <= 3 - k; ++m) {
        const double u = row[static_cast<size_t>(m)], v = a[k + m];
        row[static_cast<size_t>(m)] = c * u + sn * v;
        a[k + m] = c * v - sn * u;
      }
      double& rb = rhs[static_cast<size_t>(j0 + k)];
      const double u = rb;
      rb = c * u + sn * b;
      b = c * b - sn * u;
      a[k] = 0;
    }
    SS += b * b;
  }
  std::vector<double> c(static_cast<size_t>(ncoef) + 4, 0.0);
  for (int j = ncoef; j >= 1; --j) {
    const auto& row = r[static_cast<size_t>(j)];
    if (row[0] == 0) return 5;
    double v = rhs[static_cast<size_t>(j)];
    for (int m = 1; m <= 3 && j + m <= ncoef; ++m) v -= row[static_cast<size_t>(m)] * c[static_cast<size_t>(j + m)];
    c[static_cast<size_t>(j)] = v / row[0];
  }
  for (int j = 1; j <= ncoef; ++j) s.Coefs[static_cast<size_t>(j)] = c[static_cast<size_t>(j)];
  return 0;
}

}  // namespace

int NagReport(int IFail, int ErrorNumber, const std::string& RoutineName, const std::vector<std::string>& Lines) {
  const bool noisy = IFail == -1 || IFail == 0 || (IFail > 0 && (IFail / 10) % 10 != 0);
  if (ErrorNumber != 0 && noisy) {
    for (const std::string& line : Lines) std::printf("%s\n", Trim(line).c_str());
    std::printf(
        "%s\n",
        Trim(Format(" ** ABNORMAL EXIT from NAG Library routine %s: IFAIL = %d", {RoutineName, ErrorNumber})).c_str());
    std::fflush(stdout);
  }
  return ErrorNumber;
}

void SplineNagFit(int N, int K, const TVector& X, const TVector& Y, const TVector& W, double& SS) {
  SS = 0;
  if (N <= 0) return;
  TNagState& s = Nag();
  int m = N;
  if (N > SplineMaxPoints) {
    std::printf("Too many xy points for spline, limited by %d\n", SplineMaxPoints);
    std::fflush(stdout);
    m = SplineMaxPoints;
  }
  for (int i = 1; i <= m; ++i) {
    s.X[static_cast<size_t>(i)] = static_cast<double>(X[static_cast<size_t>(i)]);
    s.Y[static_cast<size_t>(i)] = static_cast<double>(Y[static_cast<size_t>(i)]);
    s.W[static_cast<size_t>(i)] = static_cast<double>(W[static_cast<size_t>(i)]);
  }
  const int ncap = K - 1;
  const int ncap7 = ncap + 7;
  int failure;
  if (ncap7 > SplineMaxKnots) {
    failure = 4;  // more knots than the spline holds
  } else {
    s.Ncap = ncap;
    s.Ncap7 = ncap7;
    for (int j = 4; j <= ncap + 3 && ncap >= 1; ++j)
      s.Knots[static_cast<size_t>(j)] = s.X[1] + (s.X[static_cast<size_t>(m)] - s.X[1]) / ncap * (j - 4);
    failure = FitBSplines(m, ncap7, SS);
  }
  s.Failure = failure == 0 ? 0 : 1;
  if (failure != 0) NagReport(1, failure, "E02BAF", {});
  s.Residual = SS;
}

double SplineNagValue(double X) {
  const TNagState& s = Nag();
  const double* t = s.Knots.data();
  if (s.Ncap7 < 8) return NegativeQuietNaN();
  if (!(X >= t[4] && X <= t[s.Ncap7 - 3])) return NegativeQuietNaN();
  const int l = KnotInterval(t, s.Ncap7, X);
  double b[4];
  CubicBSplines(t, l, X, b);
  double v = 0;
  for (int k = 0; k < 4; ++k) v += b[k] * s.Coefs[static_cast<size_t>(l - 3 + k)];
  return v;
}

int SplineNagLastFailure() { return Nag().Failure; }
double SplineNagResidual() { return Nag().Residual; }
void SplineNagReset() { Nag() = TNagState{}; }

// =============================================================================================
// Smoothing spline

namespace {

struct TSmoothState {
  int NPoint = 0;
  std::vector<double> X, Y, DY, A, B, C, D;
  double P = 0, Sfp = 0;
};

TSmoothState& Smooth() {
  static TSmoothState state;
  return state;
}

constexpr double StandardError = 0.005;

// The banded matrices of the fit: V holds 7 columns per point (column 4 the interval lengths),
// QTY is Q transposed times Y. Rows and columns from 1.
struct TSmoothWork {
  int N;
  std::vector<std::array<double, 8>> V;
  std::vector<double> Qty, U, Qu;
  const std::vector<double>& X;
  const std::vector<double>& Y;
  const std::vector<double>& DY;

  TSmoothWork(const std::vector<double>& AX, const std::vector<double>& AY, const std::vector<double>& ADY, int AN)
      : N(AN),
        V(static_cast<size_t>(AN) + 2, std::array<double, 8>{}),
        Qty(static_cast<size_t>(AN) + 2, 0.0),
        U(static_cast<size_t>(AN) + 2, 0.0),
        Qu(static_cast<size_t>(AN) + 2, 0.0),
        X(AX),
        Y(AY),
        DY(ADY) {}

  double& v(int i, int j) { return V[static_cast<size_t>(i)][static_cast<size_t>(j)]; }

  void SetupQ() {
    v(1, 4) = X[2] - X[1];
    for (int i = 2; i <= N - 1; ++i) {
      v(i, 4) = X[static_cast<size_t>(i + 1)] - X[static_cast<size_t>(i)];
      v(i, 1) = DY[static_cast<size_t>(i - 1)] / v(i - 1, 4);
      v(i, 2) = -DY[static_cast<size_t>(i)] / v(i, 4) - DY[static_cast<size_t>(i)] / v(i - 1, 4);
      v(i, 3) = DY[static_cast<size_t>(i + 1)] / v(i, 4);
    }
    v(N, 1) = 0;
    for (int i = 2; i <= N - 1; ++i) v(i, 5) = v(i, 1) * v(i, 1) + v(i, 2) * v(i, 2) + v(i, 3) * v(i, 3);
    for (int i = 2; i <= N - 2; ++i) v(i, 6) = v(i, 2) * v(i + 1, 1) + v(i, 3) * v(i + 1, 2);
    v(N - 1, 6) = 0;
    for (int i = 2; i <= N - 3; ++i) v(i, 7) = v(i, 3) * v(i + 2, 1);
    if (N >= 3) v(N - 2, 7) = 0;
    v(N - 1, 7) = 0;
    double prev = (Y[2] - Y[1]) / v(1, 4);
    for (int i = 2; i <= N - 1; ++i) {
      const double diff = (Y[static_cast<size_t>(i + 1)] - Y[static_cast<size_t>(i)]) / v(i, 4);
      Qty[static_cast<size_t>(i)] = diff - prev;
      prev = diff;
    }
  }

  // Factorises 6(1 - p) Q'D^2 Q + p R as L D L', solves for U, and forms QU = Q U.
  void Chol1D(double P) {
    auto u = [this](int i) -> double& { return U[static_cast<size_t>(i)]; };
    const double six1mp = 6 * (1 - P), twop = 2 * P;
    for (int i = 2; i <= N - 1; ++i) {
      v(i, 1) = six1mp * v(i, 5) + twop * (v(i - 1, 4) + v(i, 4));
      v(i, 2) = six1mp * v(i, 6) + P * v(i, 4);
      v(i, 3) = six1mp * v(i, 7);
    }
    const int npm2 = N - 2;
    if (npm2 < 2) {
      u(1) = 0;
      u(2) = Qty[2] / v(2, 1);
      u(3) = 0;
    } else {
      for (int i = 2; i <= npm2; ++i) {
        double ratio = v(i, 2) / v(i, 1);
        v(i + 1, 1) -= ratio * v(i, 2);
        v(i + 1, 2) -= ratio * v(i, 3);
        v(i, 2) = ratio;
        ratio = v(i, 3) / v(i, 1);
        v(i + 2, 1) -= ratio * v(i, 3);
        v(i, 3) = ratio;
      }
      u(1) = 0;
      v(1, 3) = 0;
      u(2) = Qty[2];
      for (int i = 2; i <= npm2; ++i)
        u(i + 1) = Qty[static_cast<size_t>(i + 1)] - v(i, 2) * u(i) - v(i - 1, 3) * u(i - 1);
      u(N) = 0;
      u(N - 1) /= v(N - 1, 1);
      for (int i = npm2; i >= 2; --i) u(i) = u(i) / v(i, 1) - u(i + 1) * v(i, 2) - u(i + 2) * v(i, 3);
    }
    double prev = 0;
    for (int i = 2; i <= N; ++i) {
      Qu[static_cast<size_t>(i)] = (u(i) - u(i - 1)) / v(i - 1, 4);
      Qu[static_cast<size_t>(i - 1)] = Qu[static_cast<size_t>(i)] - prev;
      prev = Qu[static_cast<size_t>(i)];
    }
    Qu[static_cast<size_t>(N)] = -Qu[static_cast<size_t>(N)];
  }

  double Sfp(double P) {
    Chol1D(P);
    double s = 0;
    for (int i = 1; i <= N; ++i) {
      const double q = Qu[static_cast<size_t>(i)] * DY[static_cast<size_t>(i)];
      s += q * q;
    }
    return 36 * (1 - P) * (1 - P) * s;
  }
};

// Golden-section search for the p whose functional lies within 1% of S.
double SearchP(TSmoothWork& W, double S) {
  double lo = 0, hi = 1;
  double e = lo + 0.382 * (hi - lo), g = lo + 0.618 * (hi - lo);
  double t = std::fabs(S - W.Sfp(e)), o = std::fabs(S - W.Sfp(g));
  const double tolerance = 0.01 * S;
  // The bracket shrinks by 0.618 a step: after 200 steps it is far below any double's spacing.
  for (int step = 0; step < 200 && !(t <= tolerance && o <= tolerance); ++step) {
    if (t >= o) {
      const double olde = e;
      lo = e;
      e = g;
      t = o;
      g = olde + 0.618 * (hi - olde);
      o = std::fabs(S - W.Sfp(g));
    } else {
      const double oldg = g;
      hi = g;
      g = e;
      o = t;
      e = lo + 0.382 * (oldg - lo);
      t = std::fabs(S - W.Sfp(e));
    }
  }
  return (lo + hi) / 2;
}

}  // namespace

void SmoothSplineFit(int N, int Key, const TVector& X, double S, double P, double Sfp, const TVector& Y) {
  (void)Sfp;  // an input of the original interface; the fit works out its own value
  if (N > SplineMaxPoints) throw ERangeError("Range check error");
  if (N <= 0) return;
  TSmoothState f;
  f.NPoint = N;
  const size_t n1 = static_cast<size_t>(N) + 2;
  f.X.assign(n1, 0);
  f.Y.assign(n1, 0);
  f.DY.assign(n1, StandardError);
  f.A.assign(n1, 0);
  f.B.assign(n1, 0);
  f.C.assign(n1, 0);
  f.D.assign(n1, 0);
  for (int i = 1; i <= N; ++i) {
    f.X[static_cast<size_t>(i)] = static_cast<double>(X[static_cast<size_t>(i)]);
    f.Y[static_cast<size_t>(i)] = static_cast<double>(Y[static_cast<size_t>(i)]);
  }
  for (int i = 1; i < N; ++i) {
    const double h = f.X[static_cast<size_t>(i + 1)] - f.X[static_cast<size_t>(i)];
    if (h == 0) throw EZeroDivide("Floating point division by zero");
    if (h < 0) throw ChartException(ErrFitting);
  }
  if (N < 3) {
    // One point is a constant, two a straight line: no interior point to smooth.
    for (int i = 1; i <= N; ++i) f.A[static_cast<size_t>(i)] = f.Y[static_cast<size_t>(i)];
    if (N == 2) f.B[1] = (f.Y[2] - f.Y[1]) / (f.X[2] - f.X[1]);
    f.P = Key == 1 ? P : 1;
    Smooth() = std::move(f);
    return;
  }
  TSmoothWork w(f.X, f.Y, f.DY, N);
  w.SetupQ();
  double p = P;
  if (Key != 1) {
    const double target = std::max(S, 0.0);  // a negative target would never be reached
    if (target == 0) {
      p = 1;
    } else {
      p = 0;
      if (target < w.Sfp(0)) p = SearchP(w, target);
    }
  }
  f.Sfp = w.Sfp(p);
  f.P = p;
  for (int i = 1; i <= N; ++i) {
    const size_t k = static_cast<size_t>(i);
    f.A[k] = f.Y[k] - 6 * (1 - p) * f.DY[k] * f.DY[k] * w.Qu[k];
    f.C[k] = 6 * p * w.U[k];
  }
  for (int i = 1; i < N; ++i) {
    const size_t k = static_cast<size_t>(i);
    const double h = w.v(i, 4);
    f.D[k] = (f.C[k + 1] - f.C[k]) / h;
    f.B[k] = (f.A[k + 1] - f.A[k]) / h - (f.C[k] + f.D[k] / 3 * h) / 2 * h;
  }
  Smooth() = std::move(f);
}

double SmoothSplineValue(double X) {
  const TSmoothState& f = Smooth();
  const int n = f.NPoint;
  if (n <= 0) return 0;
  auto piece = [&f](int i, double h) {
    const size_t k = static_cast<size_t>(i);
    return f.A[k] + f.B[k] * h + f.C[k] / 2 * h * h + f.D[k] / 6 * h * h * h;
  };
  if (n == 1) return f.A[1];
  if (X < f.X[1]) {
    const double h = f.X[1] - X;
    return f.A[1] - f.B[1] * h - f.C[1] / 2 * h * h - f.D[1] / 6 * h * h * h;
  }
  if (X > f.X[static_cast<size_t>(n)]) return piece(n - 1, X - f.X[static_cast<size_t>(n - 1)]);
  // The first piece whose right end is not left of X.
  const auto it = std::lower_bound(f.X.begin() + 2, f.X.begin() + n + 1, X);
  const int i = static_cast<int>(it - f.X.begin()) - 1;
  return piece(i, X - f.X[static_cast<size_t>(i)]);
}

double SmoothSplineLastP() { return Smooth().P; }
double SmoothSplineLastSfp() { return Smooth().Sfp; }
