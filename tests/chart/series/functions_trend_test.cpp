// Curve fitting, trends and correlation against closed forms: the regression line and the
// correlation coefficient from two-pass sums, the exponential trend on an exact curve, exact
// polynomials through the function, the log scales, output ranges and factors, the degree check.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "chart/engine/chart_errors.h"
#include "chart/engine/registries.h"
#include "chart/series/fitting_spline.h"
#include "chart/series/functions_trend.h"
#include "functions_testkit.h"
#include "platform/exceptions.h"
#include "chart/series/testkit/series_testkit.h"

namespace {

// Regression line and correlation by deviations from the means.
void Regression(const std::vector<double>& X, const std::vector<double>& Y, double& Slope, double& Intercept,
                double& R) {
  double mx = 0, my = 0;
  for (size_t i = 0; i < X.size(); ++i) {
    mx += X[i];
    my += Y[i];
  }
  mx /= static_cast<double>(X.size());
  my /= static_cast<double>(X.size());
  double sxy = 0, sxx = 0, syy = 0;
  for (size_t i = 0; i < X.size(); ++i) {
    sxy += (X[i] - mx) * (Y[i] - my);
    sxx += (X[i] - mx) * (X[i] - mx);
    syy += (Y[i] - my) * (Y[i] - my);
  }
  Slope = sxy / sxx;
  Intercept = my - Slope * mx;
  R = sxy / std::sqrt(sxx * syy);
}

}  // namespace

TEST(TrendFunctions, LinearTrendIsTheRegressionLine) {
  TFnRig r;
  FillSeries(r.Src, kX, kY);
  r.Use<TTrendFunction>();
  r.Run();
  double m, b, rr;
  Regression(kX, kY, m, b, rr);
  ASSERT_EQ(r.Dst->PointCount(), 2);
  EXPECT_EQ(XsOf(r.Dst), (std::vector<double>{0.5, 11}));
  EXPECT_NEAR(r.Dst->YValueAt(0), m * 0.5 + b, 1e-12);
  EXPECT_NEAR(r.Dst->YValueAt(1), m * 11 + b, 1e-12);
  // Periods of four points: one segment each over its own points (the short rest is left out).
  r.Dst->FunctionObject()->InternalSetPeriod(4);
  r.Run();
  ASSERT_EQ(r.Dst->PointCount(), 4);
  for (int seg = 0; seg < 2; ++seg) {
    const size_t a = static_cast<size_t>(seg) * 4, e = a + 4;
    Regression({kX.begin() + a, kX.begin() + e}, {kY.begin() + a, kY.begin() + e}, m, b, rr);
    EXPECT_NEAR(r.Dst->YValueAt(2 * seg), m * kX[a] + b, 1e-12) << seg;
    EXPECT_NEAR(r.Dst->YValueAt(2 * seg + 1), m * kX[e - 1] + b, 1e-12) << seg;
  }
  // One point has no trend; constant X has none either (slope 1 through 0, no NaN).
  FillSeries(r.Src, {5});
  r.Dst->FunctionObject()->InternalSetPeriod(0);
  r.Run();
  EXPECT_EQ(r.Dst->PointCount(), 0);
  FillSeries(r.Src, {2, 2, 2}, {1, 5, 3});
  r.Run();
  EXPECT_TRUE(AllFinite(r.Dst));
}

TEST(TrendFunctions, ExponentialTrendOnAnExactCurve) {
  TFnRig r;
  std::vector<double> x, y;
  for (double t = -1; t <= 4; t += 0.5) {
    x.push_back(t);
    y.push_back(2 * std::exp(0.5 * t));
  }
  FillSeries(r.Src, x, y);
  auto* f = r.Use<TExpTrendFunction>();
  r.Run();
  double bb, aa;
  ASSERT_TRUE(f->Accumulate(r.Src, -1, -1));
  f->CalcCoefficients(bb, aa);
  EXPECT_NEAR(aa, 2, 1e-12);
  EXPECT_NEAR(bb, 0.5, 1e-12);
  ASSERT_EQ(r.Dst->PointCount(), 2);
  for (int i = 0; i < 2; ++i) EXPECT_NEAR(r.Dst->YValueAt(i), 2 * std::exp(0.5 * r.Dst->XValueAt(i)), 1e-12);
  // A negative value has no logarithm.
  FillSeries(r.Src, {1, -2, 3});
  EXPECT_THROW(r.Run(), EInvalidOp);
}

TEST(TrendFunctions, CorrelationCoefficient) {
  TFnRig r;
  auto* f = r.Use<TCorrelationFunction>();
  double m, b, want;
  Regression(kX, kY, m, b, want);
  FillSeries(r.Src, kX, kY);
  r.Run();
  ASSERT_EQ(r.Dst->PointCount(), 1);
  EXPECT_NEAR(r.Dst->YValueAt(0), want, 1e-12);
  const struct {
    std::vector<double> y;
    double r;
  } cases[] = {{{1, 3, 5, 7}, 1}, {{9, 6, 3, 0}, -1}, {{4, 4, 4, 4}, 1}, {{2}, 1}};
  for (const auto& c : cases) {
    FillSeries(r.Src, c.y);
    EXPECT_NEAR(f->ComputeValue(r.Src, -1, -1), c.r, 1e-15);
  }
  // Without the single-point flag: a flat line across the source's X range.
  r.Dst->WholeResultAsPoint = false;
  FillSeries(r.Src, kX, kY);
  r.Run();
  EXPECT_EQ(XsOf(r.Dst), (std::vector<double>{0.5, 11}));
  EXPECT_NEAR(r.Dst->YValueAt(1), want, 1e-12);
}

TEST(CurveFitting, PolynomialOutputRangesAndFactor) {
  TFnRig r;
  auto* f = r.Use<TCurveFittingFunction>();
  EXPECT_EQ(f->PolyDegree(), 5);
  EXPECT_EQ(f->KnotsNumber(), 5);
  // Fewer points than coefficients: nothing, for every fitting type.
  FillSeries(r.Src, {1, 2, 3, 4});
  for (TTypeFitting t : {cfPolynomial, cfSplineNW, cfSplineNag}) {
    f->SetTypeFitting(t);
    r.Run();
    EXPECT_EQ(r.Dst->PointCount(), 0) << t;
  }
  f->SetTypeFitting(cfPolynomial);
  // Two coefficients: the regression line at each source X.
  FillSeries(r.Src, kX, kY);
  f->SetPolyDegree(2);
  r.Run();
  double m, b, rr;
  Regression(kX, kY, m, b, rr);
  ASSERT_EQ(r.Dst->PointCount(), 10);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(r.Dst->XValueAt(i), kX[static_cast<size_t>(i)]);
    EXPECT_NEAR(r.Dst->YValueAt(i), m * kX[static_cast<size_t>(i)] + b, 1e-12);
  }
  // Calculation ranges beyond the data are cut to it.
  const std::vector<double> whole = YsOf(r.Dst);
  f->SetFirstCalcPoint(-5);
  f->SetLastCalcPoint(100);
  r.Run();
  EXPECT_EQ(YsOf(r.Dst), whole);
  // Factor 3 over 5 points: three points per interval and the last point.
  FillSeries(r.Src, {0, 1, 2, 4, 8}, {1, 3, 2, 5, 4});
  f->SetFactor(3);
  r.Run();
  ASSERT_EQ(r.Dst->PointCount(), 13);
  EXPECT_NEAR(r.Dst->XValueAt(1), 1.0 / 3, 1e-15);
  EXPECT_NEAR(r.Dst->XValueAt(11), 4 + 8.0 / 3, 1e-15);
  EXPECT_EQ(r.Dst->XValueAt(12), 8);
  f->SetFactor(-4);
  EXPECT_EQ(f->Factor(), 1);
  // An output range of points 1..3.
  f->SetFirstPoint(1);
  f->SetLastPoint(3);
  r.Run();
  EXPECT_EQ(XsOf(r.Dst), (std::vector<double>{1, 2, 4}));
}

TEST(CurveFitting, DegreeCheckAndExactPolynomialsUpTo20Terms) {
  TFnRig r;
  auto* f = r.Use<TCurveFittingFunction>();
  for (int bad : {0, 21, -3}) {
    for (bool knots : {false, true}) {
      try {
        knots ? f->SetKnotsNumber(bad) : f->SetPolyDegree(bad);
        ADD_FAILURE() << bad;
      } catch (const ChartException& e) {
        EXPECT_EQ(e.Message(), "Polynomial degree must be between 1 and 20");
      }
    }
  }
  EXPECT_EQ(f->PolyDegree(), 5);
  EXPECT_EQ(f->KnotsNumber(), 5);
  // Points on a polynomial, X from 2 to 7 (the fit sees X less its minimum, Y less its minimum).
  for (int terms : {1, 3, 6, 10, 14, 20}) {
    std::vector<double> x, y;
    for (int i = 0; i < 40; ++i) {
      const double t = 2 + 5.0 * i / 39;
      double v = 0, p = 1;
      for (int k = 0; k < terms; ++k, p *= (t - 4.5) / 2.5) v += (k % 2 ? -1.0 : 1.5) / (k + 1) * p;
      x.push_back(t);
      y.push_back(v);
    }
    FillSeries(r.Src, x, y);
    f->SetPolyDegree(terms);
    f->SetFactor(2);
    r.Run();
    ASSERT_EQ(r.Dst->PointCount(), 79) << terms;
    for (int i = 0; i < r.Dst->PointCount(); ++i) {
      const double t = r.Dst->XValueAt(i);
      double v = 0, p = 1;
      for (int k = 0; k < terms; ++k, p *= (t - 4.5) / 2.5) v += (k % 2 ? -1.0 : 1.5) / (k + 1) * p;
      EXPECT_NEAR(r.Dst->YValueAt(i), v, 1e-9 * (1 + std::fabs(v))) << terms << " terms at " << t;
    }
  }
  // Fewer distinct X than terms: the fitting error, and the series stays empty.
  FillSeries(r.Src, {1, 1, 2, 2, 2, 1}, {1, 2, 3, 4, 5, 6});
  f->SetPolyDegree(3);
  try {
    r.Run();
    ADD_FAILURE();
  } catch (const ChartException& e) {
    EXPECT_EQ(e.Message(), "Cannot process fitting");
  }
  EXPECT_EQ(r.Dst->PointCount(), 0);
}

TEST(CurveFitting, LogScalesSplinesAndBadSources) {
  TFnRig r;
  auto* f = r.Use<TCurveFittingFunction>();
  std::vector<double> x, y;
  for (int i = 1; i <= 12; ++i) {
    x.push_back(i * 0.75);
    y.push_back(i * 0.75 * i * 0.75);
  }
  FillSeries(r.Src, x, y);
  f->SetPolyDegree(2);
  f->SetScaleKind(cfXLogYLog);  // y = x^2 is a straight line in log-log
  r.Run();
  ASSERT_EQ(r.Dst->PointCount(), 12);
  for (int i = 0; i < 12; ++i) EXPECT_NEAR(r.Dst->YValueAt(i) / y[static_cast<size_t>(i)], 1, 1e-12);
  FillSeries(r.Src, {1, 2, 3}, {1, 0, 4});
  EXPECT_THROW(r.Run(), EInvalidOp);
  f->SetScaleKind(cfXLinYLin);

  // Both splines through the function: the least-squares spline reproduces a cubic, the smoothing
  // spline with S = 0 passes through the points.
  x.clear();
  y.clear();
  for (int i = 0; i < 30; ++i) {
    x.push_back(1 + i * 0.3);
    y.push_back(1 + 2 * x.back() - 0.5 * x.back() * x.back() + 0.1 * x.back() * x.back() * x.back());
  }
  FillSeries(r.Src, x, y);
  f->SetPolyDegree(4);
  f->SetFactor(3);
  for (TTypeFitting t : {cfSplineNag, cfSplineNW}) {
    f->SetTypeFitting(t);
    r.Run();
    ASSERT_EQ(r.Dst->PointCount(), 88) << t;
    for (int i = 0; i < r.Dst->PointCount(); ++i) {
      const double u = r.Dst->XValueAt(i);
      const double want = 1 + 2 * u - 0.5 * u * u + 0.1 * u * u * u;
      if (t == cfSplineNag || i % 3 == 0) {
        EXPECT_NEAR(r.Dst->YValueAt(i), want, 1e-9) << t << " " << u;
      }
    }
  }
  // A failed least-squares spline (one knot) draws nothing rather than an earlier spline.
  f->SetTypeFitting(cfSplineNag);
  f->SetKnotsNumber(1);
  r.Run();
  EXPECT_EQ(r.Dst->PointCount(), 0);
  // A value that is not a number leaves the result empty.
  f->SetTypeFitting(cfPolynomial);
  y[4] = std::numeric_limits<double>::quiet_NaN();
  FillSeries(r.Src, x, y);
  r.Run();
  EXPECT_EQ(r.Dst->PointCount(), 0);
}

TEST(CurveFitting, RegisteredOnTheExtendedPage) {
  RegisterTrendFunctions();
  std::vector<std::string> t;
  for (auto* e : GraphSeriesTypesList()->TypesOfPage("Extended")) t.push_back(e->DescriptionText());
  EXPECT_EQ(t, (std::vector<std::string>{"Curve Fitting", "Trend", "Exponential\rTrend", "Correlation"}));
  UnregisterTrendFunctions();
  EXPECT_TRUE(GraphSeriesTypesList()->TypesOfPage("Extended").empty());
}

TEST(CurveFitting, RecalculatesOncePerSourceOrSettingChange) {
  TSeriesChart chart;
  auto* src = chart.Add<TFnSeries>();
  auto* dst = chart.Add<TFnSeries>();
  auto* f = new TCurveFittingFunction(dst);
  dst->AttachFunction(f);
  dst->SetDataSource(src);
  dst->Rebuilds = 0;
  FillSeries(src, {0, 1, 2, 3, 4, 5}, {1, 3, 5, 7, 9, 11});
  EXPECT_EQ(dst->Rebuilds, 1);
  ASSERT_EQ(dst->PointCount(), 6);
  EXPECT_NEAR(dst->YValueAt(5), 11, 1e-9);
  f->SetPolyDegree(2);
  EXPECT_EQ(dst->Rebuilds, 2);
  f->SetPolyDegree(2);  // unchanged
  f->Key = 1;           // stored only
  EXPECT_EQ(dst->Rebuilds, 2);
  src->YValues()->SetValue(5, 21);
  EXPECT_EQ(dst->Rebuilds, 3);
  double m, b, r;
  Regression({0, 1, 2, 3, 4, 5}, {1, 3, 5, 7, 9, 21}, m, b, r);
  EXPECT_NEAR(dst->YValueAt(5), m * 5 + b, 1e-12);
}
