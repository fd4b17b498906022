// The two spline fits against references computed another way: the least-squares cubic polynomial
// (one interval), exact cubics, the natural interpolating spline solved densely, the regression
// line, and the conditions that characterise a smoothing spline; their failures and capacities.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "chart/engine/chart_errors.h"
#include "chart/series/fitting_spline.h"
#include "platform/exceptions.h"

namespace {

TVector Vec(const std::vector<double>& V) {
  TVector r(V.size() + 1);
  for (size_t i = 0; i < V.size(); ++i) r[i + 1] = V[i];
  return r;
}

double Cubic(double x) { return 1 + 2 * x - 0.5 * x * x + 0.1 * x * x * x; }

// Dense Gaussian elimination, for the references.
std::vector<double> Solve(std::vector<std::vector<double>> A, std::vector<double> b) {
  const size_t n = b.size();
  for (size_t i = 0; i < n; ++i) {
    size_t p = i;
    for (size_t r = i + 1; r < n; ++r)
      if (std::fabs(A[r][i]) > std::fabs(A[p][i])) p = r;
    std::swap(A[i], A[p]);
    std::swap(b[i], b[p]);
    for (size_t r = i + 1; r < n; ++r) {
      const double k = A[r][i] / A[i][i];
      for (size_t c = i; c < n; ++c) A[r][c] -= k * A[i][c];
      b[r] -= k * b[i];
    }
  }
  std::vector<double> x(n);
  for (size_t i = n; i-- > 0;) {
    double s = b[i];
    for (size_t c = i + 1; c < n; ++c) s -= A[i][c] * x[c];
    x[i] = s / A[i][i];
  }
  return x;
}

// The natural cubic interpolating spline: second derivatives M from the tridiagonal moment
// equations (solved densely), then the value on the piece that holds x.
double NaturalSpline(const std::vector<double>& X, const std::vector<double>& Y, double x) {
  const size_t n = X.size();
  std::vector<std::vector<double>> a(n, std::vector<double>(n, 0));
  std::vector<double> r(n, 0);
  a[0][0] = a[n - 1][n - 1] = 1;
  for (size_t i = 1; i + 1 < n; ++i) {
    const double h0 = X[i] - X[i - 1], h1 = X[i + 1] - X[i];
    a[i][i - 1] = h0 / 6;
    a[i][i] = (h0 + h1) / 3;
    a[i][i + 1] = h1 / 6;
    r[i] = (Y[i + 1] - Y[i]) / h1 - (Y[i] - Y[i - 1]) / h0;
  }
  const std::vector<double> m = Solve(a, r);
  size_t i = 0;
  while (i + 2 < n && x > X[i + 1]) ++i;
  const double h = X[i + 1] - X[i], t0 = X[i + 1] - x, t1 = x - X[i];
  return m[i] * t0 * t0 * t0 / (6 * h) + m[i + 1] * t1 * t1 * t1 / (6 * h) + (Y[i] / h - m[i] * h / 6) * t0 +
         (Y[i + 1] / h - m[i + 1] * h / 6) * t1;
}

std::vector<double> NoisyX(int n, double span) {
  std::vector<double> x(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) x[static_cast<size_t>(i)] = span * i / (n - 1) + (i % 3 == 1 ? 0.013 * span / n : 0);
  return x;
}
std::vector<double> NoisyY(const std::vector<double>& X) {
  std::vector<double> y;
  for (size_t i = 0; i < X.size(); ++i) y.push_back(std::sin(X[i]) * 2 + (i % 5) * 0.1 - 0.2 * (i % 2));
  return y;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

TEST(LeastSquaresSpline, ReproducesACubicAndOneIntervalIsTheCubicFit) {
  SplineNagReset();
  const std::vector<double> x = NoisyX(50, 10);
  std::vector<double> y;
  for (double v : x) y.push_back(Cubic(v));
  const TVector w(51, 1.0L);
  for (int k : {2, 5, 20}) {
    double ss = -1;
    SplineNagFit(50, k, Vec(x), Vec(y), w, ss);
    EXPECT_EQ(SplineNagLastFailure(), 0) << k;
    EXPECT_NEAR(ss, 0, 1e-18);
    for (double t : {0.0, 0.3, 2.5, 2.5000001, 7.77, 10.0})
      EXPECT_NEAR(SplineNagValue(t), Cubic(t), 1e-9) << k << " " << t;
  }
  // Two knots: one cubic over the range, which must be the least-squares cubic polynomial.
  const std::vector<double> noisy = NoisyY(x);
  double ss = 0;
  SplineNagFit(50, 2, Vec(x), Vec(noisy), w, ss);
  TPolyCoefficients c{};
  PolyFit(50, 4, Vec(x), Vec(noisy), c);
  double resid = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    const double v = static_cast<double>(PolyValue(4, c, x[i]));
    EXPECT_NEAR(SplineNagValue(x[i]), v, 1e-10);
    resid += (noisy[i] - v) * (noisy[i] - v);
  }
  EXPECT_NEAR(ss, resid, 1e-10);
  EXPECT_NEAR(SplineNagResidual(), resid, 1e-10);
  // Five knots on noisy data: the reported residual is that of the evaluated spline.
  SplineNagFit(50, 5, Vec(x), Vec(noisy), w, ss);
  double direct = 0;
  for (size_t i = 0; i < x.size(); ++i) direct += (noisy[i] - SplineNagValue(x[i])) * (noisy[i] - SplineNagValue(x[i]));
  EXPECT_NEAR(ss, direct, 1e-10);
  EXPECT_LT(ss, resid);  // more freedom, smaller residual
}

TEST(LeastSquaresSpline, FailuresAndTheKnotRange) {
  SplineNagReset();
  const std::vector<double> x = NoisyX(20, 4);
  const TVector w(21, 1.0L);
  double ss;
  std::vector<double> y;
  for (double v : x) y.push_back(Cubic(v));
  // Evaluation before any fit, and with one knot (no interval): NaN with the sign bit set.
  EXPECT_TRUE(std::isnan(SplineNagValue(1)));
  SplineNagFit(20, 1, Vec(x), Vec(y), w, ss);
  EXPECT_EQ(SplineNagLastFailure(), 1);
  EXPECT_TRUE(std::isnan(SplineNagValue(1)));
  EXPECT_TRUE(std::signbit(SplineNagValue(1)));
  // A good fit: values at both ends, NaN just outside.
  SplineNagFit(20, 4, Vec(x), Vec(y), w, ss);
  EXPECT_EQ(SplineNagLastFailure(), 0);
  EXPECT_NEAR(SplineNagValue(x.front()), Cubic(x.front()), 1e-9);
  EXPECT_NEAR(SplineNagValue(x.back()), Cubic(x.back()), 1e-9);
  EXPECT_TRUE(std::isnan(SplineNagValue(x.front() - 1e-9)));
  EXPECT_TRUE(std::isnan(SplineNagValue(x.back() + 1e-9)));
  // Decreasing X, equal X, a zero weight, too few points: each fails silently (nothing written).
  std::vector<double> down(x.rbegin(), x.rend());
  TVector w0 = w;
  w0[3] = 0;
  testing::internal::CaptureStdout();
  SplineNagFit(20, 4, Vec(down), Vec(y), w, ss);
  EXPECT_EQ(SplineNagLastFailure(), 1);
  SplineNagFit(20, 4, Vec(std::vector<double>(20, 2.0)), Vec(y), w, ss);
  EXPECT_EQ(SplineNagLastFailure(), 1);
  SplineNagFit(20, 4, Vec(x), Vec(y), w0, ss);
  EXPECT_EQ(SplineNagLastFailure(), 1);
  SplineNagFit(5, 4, Vec(x), Vec(y), w, ss);  // 5 points for 6 coefficients
  EXPECT_EQ(SplineNagLastFailure(), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  // The spline holds 50 knots: 44 given knots (50 with the repeated ends) fit, 45 fail.
  const std::vector<double> many = NoisyX(300, 30);
  std::vector<double> cy;
  for (double v : many) cy.push_back(Cubic(v));
  const TVector wm(301, 1.0L);
  SplineNagFit(300, 44, Vec(many), Vec(cy), wm, ss);
  EXPECT_EQ(SplineNagLastFailure(), 0);
  EXPECT_NEAR(SplineNagValue(17.3), Cubic(17.3), 1e-8);
  SplineNagFit(300, 45, Vec(many), Vec(cy), wm, ss);
  EXPECT_EQ(SplineNagLastFailure(), 1);
}

TEST(LeastSquaresSpline, MoreThan3000PointsUseTheFirst3000) {
  SplineNagReset();
  const int n = 3001;
  std::vector<double> x, y;
  for (int i = 0; i < n; ++i) {
    x.push_back(i * 0.01);
    y.push_back(i < 3000 ? Cubic(i * 0.01) : 1e6);  // the last point would spoil the fit
  }
  const TVector w(n + 1, 1.0L);
  double ss;
  testing::internal::CaptureStdout();
  SplineNagFit(n, 6, Vec(x), Vec(y), w, ss);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Too many xy points for spline, limited by 3000\n");
  EXPECT_EQ(SplineNagLastFailure(), 0);
  EXPECT_NEAR(SplineNagValue(15), Cubic(15), 1e-8);
  EXPECT_TRUE(std::isnan(SplineNagValue(29.995)));  // beyond the 3000th point
}

TEST(LeastSquaresSpline, ErrorReporter) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(NagReport(0, 4, "E02BAF", {"  first line "}), 4);
  EXPECT_EQ(NagReport(1, 4, "E02BAF", {"silent"}), 4);
  EXPECT_EQ(NagReport(0, 0, "E02BAF", {"no error"}), 0);
  EXPECT_EQ(NagReport(110, 2, "E02BBF", {}), 2);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "first line\n** ABNORMAL EXIT from NAG Library routine E02BAF: IFAIL = 4\n"
            "** ABNORMAL EXIT from NAG Library routine E02BBF: IFAIL = 2\n");
}

// ---------------------------------------------------------------------------------------------

TEST(SmoothingSpline, ZeroTargetInterpolatesAsTheNaturalSpline) {
  const std::vector<double> x = NoisyX(12, 6);
  const std::vector<double> y = NoisyY(x);
  for (double s : {0.0, -3.0}) {  // a negative target counts as 0
    SmoothSplineFit(12, 0, Vec(x), s, 0, 0, Vec(y));
    EXPECT_EQ(SmoothSplineLastP(), 1);
    EXPECT_EQ(SmoothSplineLastSfp(), 0);
    for (size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(SmoothSplineValue(x[i]), y[i], 1e-12);
    for (double t = x.front(); t <= x.back(); t += 0.173)
      EXPECT_NEAR(SmoothSplineValue(t), NaturalSpline(x, y, t), 1e-10) << t;
  }
  // Key 1 with P 1 interpolates whatever the target; a cubic is met at its points.
  std::vector<double> c;
  for (double v : x) c.push_back(Cubic(v));
  SmoothSplineFit(12, 1, Vec(x), 1000, 1, 0, Vec(c));
  for (size_t i = 0; i < x.size(); ++i) EXPECT_NEAR(SmoothSplineValue(x[i]), c[i], 1e-12);
}

TEST(SmoothingSpline, LargeTargetIsTheRegressionLine) {
  const std::vector<double> x = NoisyX(15, 3);
  const std::vector<double> y = NoisyY(x);
  SmoothSplineFit(15, 0, Vec(x), 1e12, 0, 0, Vec(y));
  EXPECT_EQ(SmoothSplineLastP(), 0);
  double mx = 0, my = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    mx += x[i] / 15;
    my += y[i] / 15;
  }
  double sxy = 0, sxx = 0;
  for (size_t i = 0; i < x.size(); ++i) {
    sxy += (x[i] - mx) * (y[i] - my);
    sxx += (x[i] - mx) * (x[i] - mx);
  }
  const double b = sxy / sxx, a = my - b * mx;
  for (double t : {-1.0, 0.0, 0.7, 2.2, 3.0, 4.5}) EXPECT_NEAR(SmoothSplineValue(t), a + b * t, 1e-9) << t;
}

TEST(SmoothingSpline, SmoothingConditionsAndTheSearch) {
  const std::vector<double> x = NoisyX(20, 5);
  const std::vector<double> y = NoisyY(x);
  const double dy = 0.005;
  // The functional of the line through the points, in units of the standard error.
  SmoothSplineFit(20, 0, Vec(x), 1e12, 0, 0, Vec(y));
  const double sfp0 = SmoothSplineLastSfp();
  for (double target : {sfp0 * 0.5, sfp0 * 0.01}) {
    SmoothSplineFit(20, 0, Vec(x), target, 0, 0, Vec(y));
    const double p = SmoothSplineLastP();
    ASSERT_GT(p, 0);
    ASSERT_LT(p, 1);
    double sfp = 0;
    for (size_t i = 0; i < x.size(); ++i) sfp += std::pow((y[i] - SmoothSplineValue(x[i])) / dy, 2);
    EXPECT_NEAR(sfp, SmoothSplineLastSfp(), 1e-9 * sfp);
    EXPECT_NEAR(sfp, target, 0.01 * target);  // the search stops within 1% of the target
    // Second derivatives by central differences: continuous, zero at both ends (a natural spline),
    // and the jump of the third derivative at each point is p / (1 - p) times the residual over
    // the squared error, the condition that makes the curve the minimiser.
    const double e = 1e-4;
    auto d2 = [&](double t) {
      return (SmoothSplineValue(t + e) - 2 * SmoothSplineValue(t) + SmoothSplineValue(t - e)) / (e * e);
    };
    EXPECT_NEAR(d2(x.front() + 2 * e), 0, 1e-2 * (1 + std::fabs(d2(x[1]))));
    for (size_t i = 1; i + 1 < x.size(); ++i) {
      auto d3 = [&](double a, double b) { return (d2(b) - d2(a)) / (b - a); };  // inside one piece
      const double hl = x[i] - x[i - 1], hr = x[i + 1] - x[i];
      const double jump = d3(x[i] + 0.2 * hr, x[i] + 0.6 * hr) - d3(x[i] - 0.6 * hl, x[i] - 0.2 * hl);
      const double want = p / (1 - p) * (y[i] - SmoothSplineValue(x[i])) / (dy * dy);
      EXPECT_NEAR(jump, want, 2e-3 * (1 + std::fabs(want))) << i;
    }
  }
}

TEST(SmoothingSpline, EndsContinueTheirCubicsAndBadInputKeepsTheOldSpline) {
  const std::vector<double> x = NoisyX(8, 7);
  const std::vector<double> y = NoisyY(x);
  SmoothSplineFit(8, 1, Vec(x), 0, 0.7, 0, Vec(y));
  // A cubic through four values inside the end piece, extended by Lagrange's formula.
  auto extend = [](const double* t, const double* v, double at) {
    double s = 0;
    for (int i = 0; i < 4; ++i) {
      double l = v[i];
      for (int j = 0; j < 4; ++j)
        if (j != i) l *= (at - t[j]) / (t[i] - t[j]);
      s += l;
    }
    return s;
  };
  for (int end = 0; end < 2; ++end) {
    const double a = end ? x[6] : x[0], b = end ? x[7] : x[1];
    double t[4], v[4];
    for (int i = 0; i < 4; ++i) {
      t[i] = a + (b - a) * (0.1 + 0.25 * i);
      v[i] = SmoothSplineValue(t[i]);
    }
    const double at = end ? b + 1.3 : a - 1.3;
    EXPECT_NEAR(SmoothSplineValue(at), extend(t, v, at), 1e-8) << end;
  }
  const double before = SmoothSplineValue(3.3);
  std::vector<double> dup = x;
  dup[4] = dup[3];
  EXPECT_THROW(SmoothSplineFit(8, 0, Vec(dup), 0, 0, 0, Vec(y)), EZeroDivide);
  std::vector<double> big(3001), bigy(3001, 1.0);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<double>(i);
  EXPECT_THROW(SmoothSplineFit(3001, 0, Vec(big), 0, 0, 0, Vec(bigy)), ERangeError);
  EXPECT_EQ(SmoothSplineValue(3.3), before);
  SmoothSplineFit(3000, 0, Vec(big), 0, 0, 0, Vec(bigy));  // the capacity itself is fine
  EXPECT_NEAR(SmoothSplineValue(1234.5), 1, 1e-12);
}
