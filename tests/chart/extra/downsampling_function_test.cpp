// Down-sampling: line simplification against a brute-force reference, the run methods on series
// built so the answer is known, and a worst-case shape of a million points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/downsampling_function.h"
#include "chart/extra/extra_series.h"
#include "chart/series/line_series.h"
#include "chart/series/testkit/series_testkit.h"

namespace {

struct TPts {
  std::vector<double> X, Y;
};

TPts Reduce(const TPts& In, TDownSampleMethod M, double Tol) {
  TPts r;
  const int32_t n = static_cast<int32_t>(In.X.size());
  r.X.resize(In.X.size());
  r.Y.resize(In.X.size());
  const int32_t k = DownSample(In.X.data(), In.Y.data(), n, r.X.data(), r.Y.data(), M, Tol);
  r.X.resize(static_cast<size_t>(k));
  r.Y.resize(static_cast<size_t>(k));
  return r;
}

// Recursive textbook simplification measuring distance to the segment (clamped to its ends).
void RefSimplify(const TPts& P, int s, int e, double T2, std::vector<bool>& Keep) {
  if (s + 1 >= e) return;
  double best = 0;
  int m = -1;
  for (int i = s + 1; i < e; ++i) {
    const double vx = P.X[e] - P.X[s], vy = P.Y[e] - P.Y[s];
    const double len2 = vx * vx + vy * vy;
    double t = len2 == 0 ? 0 : ((P.X[i] - P.X[s]) * vx + (P.Y[i] - P.Y[s]) * vy) / len2;
    t = std::clamp(t, 0.0, 1.0);
    const double dx = P.X[i] - (P.X[s] + t * vx), dy = P.Y[i] - (P.Y[s] + t * vy);
    const double d = dx * dx + dy * dy;
    if (d > best) best = d, m = i;
  }
  if (best > T2) {
    Keep[m] = true;
    RefSimplify(P, s, m, T2, Keep);
    RefSimplify(P, m, e, T2, Keep);
  }
}

// The simplification word for word: recursive, the same distance formula step by step, so that
// a faster search must agree with it to the last bit, ties included.
void DefinitionSimplify(const TPts& P, int s, int e, double T2, std::vector<bool>& Keep) {
  if (s + 1 >= e) return;
  const double vx = P.X[e] - P.X[s], vy = P.Y[e] - P.Y[s];
  const double c2 = vx * vx + vy * vy;
  double best = 0;
  int m = -1;
  for (int i = s + 1; i < e; ++i) {
    const double wx = P.X[i] - P.X[s], wy = P.Y[i] - P.Y[s];
    const double c1 = wx * vx + wy * vy;
    double dx, dy;
    if (c1 <= 0) {
      dx = wx, dy = wy;
    } else if (c1 > c2) {
      dx = P.X[i] - P.X[e], dy = P.Y[i] - P.Y[e];
    } else {
      double b = c1 / c2;
      if (!std::isfinite(b)) b = 0;
      dx = P.X[i] - (P.X[s] + b * vx), dy = P.Y[i] - (P.Y[s] + b * vy);
    }
    const double d = dx * dx + dy * dy;
    if (d > best) best = d, m = i;
  }
  if (best > T2) {
    Keep[m] = true;
    DefinitionSimplify(P, s, m, T2, Keep);
    DefinitionSimplify(P, m, e, T2, Keep);
  }
}

std::vector<int> DefinitionKept(const TPts& P, double Tol) {
  std::vector<bool> keep(P.X.size(), false);
  keep.front() = keep.back() = true;
  DefinitionSimplify(P, 0, static_cast<int>(P.X.size()) - 1, Tol * Tol, keep);
  std::vector<int> r;
  for (size_t i = 0; i < keep.size(); ++i)
    if (keep[i]) r.push_back(static_cast<int>(i));
  return r;
}

}  // namespace

TEST(DownSampling, DouglasKeepsTheSpikeAndCollapsesStraightRuns) {
  // A straight run, a spike, another straight run of another slope.
  TPts p;
  for (int i = 0; i <= 10; ++i) p.X.push_back(i), p.Y.push_back(i * 0.5);
  p.X.push_back(11), p.Y.push_back(40);
  for (int i = 12; i <= 20; ++i) p.X.push_back(i), p.Y.push_back(5 - (i - 12));
  const TPts r = Reduce(p, dsDouglas, 0);
  // The straight runs' inner points lie exactly on their segments; the corners stay.
  EXPECT_EQ(r.X, (std::vector<double>{0, 10, 11, 12, 20}));
  EXPECT_EQ(r.Y[2], 40);
  // A large tolerance keeps only the ends and the spike.
  EXPECT_EQ(Reduce(p, dsDouglas, 10).X, (std::vector<double>{0, 11, 20}));
}

TEST(DownSampling, DouglasMatchesARecursiveReferenceOnNoisyData) {
  TPts p;
  for (int i = 0; i < 500; ++i)
    p.X.push_back(i * 0.1 + std::sin(i * 0.37) * 0.03), p.Y.push_back(std::sin(i * 0.05) * 3 + std::cos(i * 1.3));
  // Points behind the start or beyond the end of a range: a back-tracking zig-zag.
  p.X[100] = p.X[90];
  for (double tol : {0.0, 0.05, 0.4, 2.0}) {
    std::vector<bool> keep(p.X.size(), false);
    keep.front() = keep.back() = true;
    RefSimplify(p, 0, static_cast<int>(p.X.size()) - 1, tol * tol, keep);
    std::vector<double> xs;
    for (size_t i = 0; i < p.X.size(); ++i)
      if (keep[i]) xs.push_back(p.X[i]);
    EXPECT_EQ(Reduce(p, dsDouglas, tol).X, xs) << tol;
  }
}

TEST(DownSampling, DouglasMeasuresBeyondTheEndsToTheEndPoints) {
  // The middle point lies on the line but projects before the start: measured to (0, 0), distance 3.
  TPts p{{0, -3, 10}, {0, 0, 0}};
  EXPECT_EQ(Reduce(p, dsDouglas, 2.99).X.size(), 3u);
  EXPECT_EQ(Reduce(p, dsDouglas, 3.0).X.size(), 2u);
  // Beyond the end: measured to (10, 0).
  TPts q{{0, 14, 10}, {0, 0, 0}};
  EXPECT_EQ(Reduce(q, dsDouglas, 3.99).X.size(), 3u);
  EXPECT_EQ(Reduce(q, dsDouglas, 4.0).X.size(), 2u);  // exactly the tolerance is dropped
}

TEST(DownSampling, RunMethodsTable) {
  // Runs with Tolerance 1: {0, 0.4, 0.9} {1.5, 2} {3}.
  const TPts p{{0, 0.4, 0.9, 1.5, 2, 3}, {5, 9, 1, 4, 2, 7}};
  struct Case {
    TDownSampleMethod M;
    std::vector<double> X, Y;
  };
  const Case cases[] = {
      {dsMax, {0.45, 1.75, 3}, {9, 4, 7}},
      {dsMin, {0.45, 1.75, 3}, {1, 2, 7}},
      {dsAverage, {0.45, 1.75, 3}, {5, 3, 7}},
      // The minimum comes after the maximum in the first run and still goes first; the last run is
      // dropped by the limit of Count - 2 points.
      {dsMinMax, {0, 0.9, 1.5, 2}, {1, 9, 2, 4}},
  };
  for (const Case& c : cases) {
    const TPts r = Reduce(p, c.M, 1);
    EXPECT_EQ(r.X, c.X) << c.M;
    EXPECT_EQ(r.Y, c.Y) << c.M;
  }
}

TEST(DownSampling, SmallInputsAndZeroTolerance) {
  TPts ten;
  for (int i = 0; i < 10; ++i) ten.X.push_back(i), ten.Y.push_back(i * i);
  EXPECT_EQ(Reduce(ten, dsMax, 0).Y, ten.Y);
  const TPts mm = Reduce(ten, dsMinMax, 0);
  EXPECT_EQ(mm.X, (std::vector<double>{0, 0, 1, 1, 2, 2, 3, 3}));
  EXPECT_TRUE(Reduce({{4}, {2}}, dsMinMax, 1).X.empty());
  EXPECT_EQ(Reduce({{4}, {2}}, dsDouglas, 1).X, (std::vector<double>{4}));
  EXPECT_EQ(Reduce({{4, 5}, {2, 2}}, dsDouglas, 100).X, (std::vector<double>{4, 5}));
  EXPECT_TRUE(Reduce({}, dsDouglas, 1).X.empty());
  // Values that are not numbers neither hang nor overflow the output.
  const double nan = std::nan("");
  const TPts bad{{0, nan, 2, 3}, {nan, 1, nan, 3}};
  for (auto m : {dsDouglas, dsMax, dsMin, dsMinMax, dsAverage}) EXPECT_LE(Reduce(bad, m, 1).X.size(), 4u);
}

TEST(DownSampling, DeeplyNestedSplitsAndAMillionPoints) {
  // A zig-zag of shrinking amplitude: every split takes the point next to its range's start, so
  // the ranges nest as deep as there are points (a recursive walk would nest 40,000 calls).
  const int deep = 40000;
  TPts z;
  for (int i = 0; i < deep; ++i) z.X.push_back(i), z.Y.push_back((i % 2 ? -1 : 1) * double(deep - i));
  EXPECT_EQ(Reduce(z, dsDouglas, 0).X.size(), size_t(deep));
  // A million points on a steep curve with noise.
  const int n = 1000000;
  TPts p;
  p.X.resize(n);
  p.Y.resize(n);
  for (int i = 0; i < n; ++i) p.X[i] = i, p.Y[i] = std::pow(1.00002, i) + (i % 7) * 0.01;
  const TPts r = Reduce(p, dsDouglas, 0.5);
  EXPECT_GT(r.X.size(), 2u);
  EXPECT_LT(r.X.size(), size_t(n));
  EXPECT_EQ(r.X.front(), 0);
  EXPECT_EQ(r.X.back(), n - 1);
}

TEST(DownSampling, FunctionFillsItsSeriesAndStreamsItsSettings) {
  InitExtraSeries();
  TComponent owner(nullptr);
  auto* src = new TLineSeries(&owner);
  auto* dst = new TLineSeries(&owner);
  auto* f = new TDownSamplingFunction(&owner);
  dst->AttachFunction(f);
  f->CalculateFromSource(src);
  EXPECT_EQ(dst->PointCount(), 0);
  for (int i = 0; i < 20; ++i) src->AddXY(i, i == 7 ? 50 : 1);
  f->CalculateFromSource(src);
  EXPECT_EQ(dst->PointCount(), 5);  // 0, 6, 7, 8, 19
  EXPECT_EQ(dst->YValues()->Value(2), 50);
  f->SetTolerance(-3);
  EXPECT_EQ(f->Tolerance(), 0);
  EXPECT_EQ(f->Period(), 1);
  EXPECT_TRUE(f->SingleSource);
  bool found = false;
  for (auto* e : GraphSeriesTypesList()->TypesOfPage("Extended"))
    found |= e->FunctionClass == TDownSamplingFunction::StaticClass() && e->DescriptionText() == "Downsampling";
  EXPECT_TRUE(found);
}

TEST(DownSampling, DouglasOnLongSourcesKeepsExactlyWhatTheDefinitionKeeps) {
  // Long enough for the search that skips most of a range; the kept points are told apart by
  // index through X = index (or a date plus index minutes, where rounding is coarser).
  const int n = 30000;
  struct Shape {
    const char* Name;
    std::function<void(int, double&, double&)> At;
    std::vector<double> Tolerances;
  };
  uint32_t seed = 12345;
  auto rnd = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) / double(1 << 24);
  };
  std::vector<double> walk(n);
  double w = 0;
  for (double& v : walk) v = (w += rnd() - 0.5);
  const Shape shapes[] = {
      {"noisy sine",
       [](int i, double& x, double& y) { x = i, y = std::sin(i * 0.001) * 100 + (i % 17); },
       {0, 3, 20, 90}},
      {"random walk", [&](int i, double& x, double& y) { x = i * 0.01, y = walk[i]; }, {0, 0.2, 1, 5}},
      // Equal spikes all as far from the flat line: the first of equal maxima must win.
      {"square wave", [](int i, double& x, double& y) { x = i, y = (i / 5) % 2 && i < n - 1 ? 1 : 0; }, {0, 0.5}},
      {"dates",
       [](int i, double& x, double& y) { x = 46000 + i / 1440.0, y = std::cos(i * 0.01) * 0.01; },
       {0, 1e-4, 3e-3}},
      // X goes back and forth, so projections fall before the start and beyond the end.
      {"zig-zag",
       [](int i, double& x, double& y) {
         x = (i % 200 < 100 ? i % 100 : 100 - i % 100) + i * 0.01, y = std::sin(i * 0.05);
       },
       {0, 0.3, 2}},
  };
  for (const Shape& sh : shapes) {
    TPts p;
    p.X.resize(n);
    p.Y.resize(n);
    for (int i = 0; i < n; ++i) sh.At(i, p.X[i], p.Y[i]);
    for (double tol : sh.Tolerances) {
      std::vector<int> kept = DefinitionKept(p, tol);
      std::vector<double> xs, ys;
      for (int i : kept) xs.push_back(p.X[i]), ys.push_back(p.Y[i]);
      const TPts r = Reduce(p, dsDouglas, tol);
      EXPECT_EQ(r.X, xs) << sh.Name << " " << tol;
      EXPECT_EQ(r.Y, ys) << sh.Name << " " << tol;
    }
  }
}
