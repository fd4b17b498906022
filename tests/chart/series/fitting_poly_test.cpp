// The least-squares polynomial: exact data gives back its coefficients, noisy data the smallest
// residual, singular systems the fitting error, and the pivot search keeps the upper row on ties.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "chart/engine/chart_errors.h"
#include "chart/series/fitting_poly.h"

namespace {

long double Residual(int N, int Terms, const TVector& X, const TVector& Y, const TPolyCoefficients C) {
  long double r = 0;
  for (int i = 1; i <= N; ++i) {
    long double v = 0, p = 1;  // direct power sum, independent of PolyValue
    for (int k = 1; k <= Terms; ++k, p *= X[static_cast<size_t>(i)]) v += C[k] * p;
    r += (v - Y[static_cast<size_t>(i)]) * (v - Y[static_cast<size_t>(i)]);
  }
  return r;
}

}  // namespace

TEST(PolynomialFit, ExactPolynomialsGiveTheirCoefficients) {
  for (int terms = 1; terms <= 6; ++terms) {
    const int n = 40;
    TVector x(n + 1), y(n + 1);
    TPolyCoefficients want{}, got{};
    for (int k = 1; k <= terms; ++k) want[k] = (k % 2 ? 1.5L : -0.75L) * k;
    for (int i = 1; i <= n; ++i) {
      x[static_cast<size_t>(i)] = -1 + 2.0L * (i - 1) / (n - 1);
      long double v = 0;
      for (int k = terms; k >= 1; --k) v = v * x[static_cast<size_t>(i)] + want[k];  // Horner
      y[static_cast<size_t>(i)] = v;
    }
    PolyFit(n, terms, x, y, got);
    for (int k = 1; k <= terms; ++k)
      EXPECT_NEAR(static_cast<double>(got[k]), static_cast<double>(want[k]),
                  1e-9 * std::fabs(static_cast<double>(want[k])))
          << terms << " terms, c" << k;
  }
  // One term is the mean; three points on 1 + 2x + 3x^2 give (1, 2, 3).
  TVector x{0, 1, 2, 3, 4}, y{0, 5, -1, 2, 10};
  TPolyCoefficients c{};
  PolyFit(4, 1, x, y, c);
  EXPECT_NEAR(static_cast<double>(c[1]), 4.0, 1e-15);
  TVector x3{0, 0, 1, 2}, y3{0, 1, 6, 17};
  PolyFit(3, 3, x3, y3, c);
  for (int k = 1; k <= 3; ++k) EXPECT_NEAR(static_cast<double>(c[k]), k, 1e-12);
  EXPECT_NEAR(static_cast<double>(PolyValue(3, c, 2)), 17, 1e-12);
}

TEST(PolynomialFit, NoisyDataHasTheSmallestResidual) {
  const int n = 200, terms = 4;
  TVector x(n + 1), y(n + 1);
  for (int i = 1; i <= n; ++i) {
    x[static_cast<size_t>(i)] = i * 0.05L;
    y[static_cast<size_t>(i)] = std::sin(static_cast<double>(i) * 0.37) * 3 + i * 0.02L;
  }
  TPolyCoefficients c{};
  PolyFit(n, terms, x, y, c);
  const long double best = Residual(n, terms, x, y, c);
  for (int k = 1; k <= terms; ++k)
    for (long double d : {1e-4L, -1e-4L}) {
      TPolyCoefficients p;
      for (int j = 0; j <= MaxPolyTerms; ++j) p[j] = c[j];
      p[k] += d;
      EXPECT_GT(Residual(n, terms, x, y, p), best) << "c" << k << " " << static_cast<double>(d);
    }
}

TEST(PolynomialFit, SingularSystemsAndPivotTies) {
  TVector x{0, 1, 2}, y{0, 3, 4};
  TPolyCoefficients c{};
  try {
    PolyFit(2, 3, x, y, c);
    ADD_FAILURE();
  } catch (const ChartException& e) {
    EXPECT_EQ(e.Message(), "Cannot process fitting");
  }
  // Equal magnitudes in the pivot column: no exchange, so the determinant keeps its sign.
  TPolyMatrix a{};
  a[1][1] = 2;
  a[1][2] = 1;
  a[2][1] = -2;
  a[2][2] = 3;
  long double b[MaxPolyTerms + 1]{0, 3, 1}, r[MaxPolyTerms + 1]{};
  EXPECT_NEAR(static_cast<double>(GaussSolve(2, a, b, 1e-15L, r)), 2 * 3 - 1 * -2, 1e-15);
  EXPECT_NEAR(static_cast<double>(r[1]), 1, 1e-15);
  EXPECT_NEAR(static_cast<double>(r[2]), 1, 1e-15);
  // A larger lower pivot is exchanged and the determinant's sign follows.
  a[2][1] = 4;
  b[2] = 7;  // 4 + 3
  EXPECT_NEAR(static_cast<double>(GaussSolve(2, a, b, 1e-15L, r)), 2 * 3 - 1 * 4, 1e-14);
  EXPECT_NEAR(static_cast<double>(r[1]), 1, 1e-14);
}

// Evenly spread abscissas from 0 (as the curve-fitting function hands them over, less their
// minimum), up to the 20-term limit. Each term contributes alike across the range, so every
// coefficient matters. The power basis itself grows ill-conditioned with the degree: up to 15 terms
// the coefficients come back to 1e-9; at any degree the fitted curve reproduces the data to 1e-9.
TEST(PolynomialFit, HighDegreesOnEvenlySpreadPoints) {
  for (long double span : {1.0L, 10.0L, 1000.0L})
    for (int terms : {8, 11, 13, 15, 18, 20}) {
      const int n = 60;
      TVector x(n + 1), y(n + 1);
      TPolyCoefficients want{}, got{};
      for (int k = 1; k <= terms; ++k) want[k] = ((k % 3) - 1.3L) * k / std::pow(span, static_cast<long double>(k - 1));
      long double scale = 0;
      for (int i = 1; i <= n; ++i) {
        const long double xi = span * (i - 1) / (n - 1);
        x[static_cast<size_t>(i)] = xi;
        long double v = 0, p = 1;
        for (int k = 1; k <= terms; ++k, p *= xi) v += want[k] * p;
        y[static_cast<size_t>(i)] = v;
        scale = std::max(scale, std::fabs(v));
      }
      PolyFit(n, terms, x, y, got);
      for (int k = 1; terms <= 15 && k <= terms; ++k) {
        EXPECT_NEAR(static_cast<double>(got[k] / want[k]), 1.0, 1e-9)
            << "span " << static_cast<double>(span) << ", " << terms << " terms, c" << k;
      }
      for (int i = 1; i <= n; ++i) {
        long double v = 0, p = 1;
        for (int k = 1; k <= terms; ++k, p *= x[static_cast<size_t>(i)]) v += got[k] * p;
        EXPECT_NEAR(static_cast<double>((v - y[static_cast<size_t>(i)]) / scale), 0.0, 1e-9)
            << terms << " terms, point " << i;
      }
    }
}

TEST(PolynomialFit, ListsReadInPlaceGiveTheFitOfCopiedDifferences) {
  // Series values with their origins taken off in double, as the fitting function reads them
  // straight from a series' lists, against the same differences copied into vectors first.
  const int n = 500;
  std::vector<double> xs(n), ys(n);
  for (int i = 0; i < n; ++i) {
    xs[static_cast<size_t>(i)] = 1000.1 + i * 0.37;
    ys[static_cast<size_t>(i)] = std::sin(i * 0.05) * 40 + 0.001 * i * i - 3.3;
  }
  const double xOrigin = 1000.1, yOrigin = -43.3;
  for (int terms : {1, 3, 6, 12}) {
    TVector x(n + 1), y(n + 1);
    for (int i = 0; i < n; ++i) {
      x[static_cast<size_t>(i) + 1] = xs[static_cast<size_t>(i)] - xOrigin;
      y[static_cast<size_t>(i) + 1] = ys[static_cast<size_t>(i)] - yOrigin;
    }
    TPolyCoefficients copied{}, inPlace{};
    PolyFit(n, terms, x, y, copied);
    PolyFit(n, terms, xs.data(), xOrigin, ys.data(), yOrigin, inPlace);
    for (int k = 1; k <= terms; ++k) EXPECT_EQ(copied[k], inPlace[k]) << terms << " terms, k " << k;
    // The value is the power sum, term by term.
    for (long double t : {-3.5L, 0.0L, 2.25L, 180.0L}) {
      long double direct = 0, p = 1;
      for (int k = 1; k <= terms; ++k, p *= t) direct += inPlace[k] * p;
      EXPECT_EQ(PolyValue(terms, inPlace, t), direct);
    }
  }
}
