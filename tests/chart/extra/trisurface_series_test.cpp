// The triangle surface: the triangulation against a plain transcription of the method (every
// neighbour found by search, every sweep over every triangle), its special inputs, the drawing
// order and pixels, clicks and the message texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/trisurface_series.h"
#include "chart/series/testkit/series_testkit.h"

namespace {

using Tri = std::array<int32_t, 3>;

// The method step by step, as plainly as it reads.
std::vector<Tri> Reference(const std::vector<double>& X, const std::vector<double>& Z) {
  const int n = static_cast<int>(X.size());
  std::vector<int> pts;
  for (int k = 1; k <= n; ++k) {
    const int i = k % n;
    bool dup = false;
    for (int j : pts) dup |= X[j] == X[i] && Z[j] == Z[i];
    if (!dup) pts.push_back(i);
  }
  const int m = static_cast<int>(pts.size());
  std::vector<Tri> tris;
  if (m < 3) return tris;
  auto d2 = [&](int a, int b) { return (X[a] - X[b]) * (X[a] - X[b]) + (Z[a] - Z[b]) * (Z[a] - Z[b]); };
  auto cross = [&](int o, int a, int b) { return (X[a] - X[o]) * (Z[b] - Z[o]) - (Z[a] - Z[o]) * (X[b] - X[o]); };
  int ia = 0, ib = 1;
  for (int a = 0; a < m; ++a)
    for (int b = a + 1; b < m; ++b)
      if (d2(pts[a], pts[b]) < d2(pts[ia], pts[ib])) ia = a, ib = b;
  const double dsqmn = d2(pts[ia], pts[ib]);
  std::vector<int> order{pts[ia], pts[ib]};
  for (int k = 0; k < m; ++k)
    if (k != ia && k != ib) order.push_back(pts[k]);
  const double mx = (X[order[0]] + X[order[1]]) / 2, mz = (Z[order[0]] + Z[order[1]]) / 2;
  auto key = [&](int p) { return (X[p] - mx) * (X[p] - mx) + (Z[p] - mz) * (Z[p] - mz); };
  for (int i = 2; i < m - 1; ++i) {
    int j = i;
    for (int k = i + 1; k < m; ++k)
      if (key(order[k]) < key(order[j])) j = k;
    std::swap(order[i], order[j]);
  }
  const double eps = dsqmn * 1e-6;
  int third = -1;
  for (int k = 2; k < m && third < 0; ++k)
    if (std::fabs(cross(order[0], order[1], order[k])) > eps) third = k;
  if (third < 0) return tris;
  const int c = order[third];
  order.erase(order.begin() + third);
  order.insert(order.begin() + 2, c);
  int a = order[0], b = order[1];
  if (cross(a, b, c) < 0) std::swap(a, b);
  tris.push_back({a, b, c});
  std::vector<std::array<int, 2>> border{{a, b}, {b, c}, {c, a}};
  // The neighbour of triangle t across p-q, found by search.
  auto across = [&](int t, int p, int q, int& w) {
    for (int u = 0; u < static_cast<int>(tris.size()); ++u) {
      if (u == t) continue;
      const Tri& o = tris[u];
      const bool hp = std::count(o.begin(), o.end(), p) > 0, hq = std::count(o.begin(), o.end(), q) > 0;
      if (hp && hq) {
        for (int v : o)
          if (v != p && v != q) w = v;
        return u;
      }
    }
    return -1;
  };
  auto test = [&](int t, int s) {
    const Tri tr = tris[t];
    const int v = tr[s], p = tr[(s + 1) % 3], q = tr[(s + 2) % 3];
    int w = -1;
    const int u = across(t, p, q, w);
    if (u < 0 || !ExchangeNeeded(X[v], Z[v], X[w], Z[w], X[p], Z[p], X[q], Z[q])) return false;
    tris[t] = {v, p, w};
    tris[u] = {v, w, q};
    return true;
  };
  for (int k = 3; k < m; ++k) {
    const int P = order[k];
    const int nb = static_cast<int>(border.size());
    std::vector<bool> vis(nb);
    for (int e = 0; e < nb; ++e) vis[e] = cross(border[e][0], border[e][1], P) < -eps;
    if (std::find(vis.begin(), vis.end(), true) == vis.end()) continue;
    int start = 0;
    while (!(vis[start] && !vis[(start + nb - 1) % nb])) ++start;
    int cnt = 0;
    while (cnt < nb && vis[(start + cnt) % nb]) ++cnt;
    const int first = border[start][0], last = border[(start + cnt - 1) % nb][1];
    for (int i = 0; i < cnt; ++i) {
      const auto seg = border[(start + i) % nb];
      tris.push_back({seg[0], P, seg[1]});
      test(static_cast<int>(tris.size()) - 1, 1);
    }
    std::vector<std::array<int, 2>> next{{first, P}, {P, last}};
    for (int i = cnt; i < nb; ++i) next.push_back(border[(start + i) % nb]);
    border = next;
    for (int sweep = 0; sweep < 100; ++sweep) {
      bool changed = false;
      for (int t = 0; t < static_cast<int>(tris.size()); ++t)
        for (int s = 0; s < 3; ++s) changed |= test(t, s);
      if (!changed) break;
    }
  }
  return tris;
}

std::vector<Tri> Triangles(const std::vector<double>& X, const std::vector<double>& Z) {
  return TriangulatePoints(X.data(), Z.data(), static_cast<int32_t>(X.size())).Triangles;
}

}  // namespace

TEST(Triangulation, EqualsThePlainMethodOnSmallSets) {
  struct Case {
    const char* Name;
    std::vector<double> X, Z;
  } cases[] = {
      {"three points", {0, 1, 0}, {0, 0, 1}},
      {"convex quadrilateral", {0, 4, 5, 0}, {0, 0, 3, 2}},
      {"square: ties everywhere", {0, 1, 1, 0, 0.5}, {0, 0, 1, 1, 0.5}},
      {"collinear start", {0, 1, 2, 3, 1.5, 1.5}, {0, 0, 0, 0, 1, -2}},
      {"duplicates", {0, 2, 2, 0, 2, 1}, {0, 0, 2, 2, 0, 1}},
      {"grid 3 x 3", {0, 1, 2, 0, 1, 2, 0, 1, 2}, {0, 0, 0, 1, 1, 1, 2, 2, 2}},
  };
  for (const Case& c : cases) EXPECT_EQ(Triangles(c.X, c.Z), Reference(c.X, c.Z)) << c.Name;
  // A regular grid: every distance comes many times over.
  std::vector<double> gx, gz;
  for (int i = 0; i < 49; ++i) {
    gx.push_back(i % 7);
    gz.push_back((i * 3) % 7);
  }
  EXPECT_EQ(Triangles(gx, gz), Reference(gx, gz));
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> u(0, 1);
  for (int round = 0; round < 20; ++round) {
    std::vector<double> x, z;
    const int n = 4 + round * 3;
    for (int i = 0; i < n; ++i) {
      // Coarse values: repeats and collinear runs are common.
      x.push_back(std::floor(u(gen) * 6));
      z.push_back(std::floor(u(gen) * 6));
    }
    EXPECT_EQ(Triangles(x, z), Reference(x, z)) << round;
  }
  for (int n : {100, 150}) {
    std::vector<double> x, z;
    for (int i = 0; i < n; ++i) {
      x.push_back(u(gen));
      z.push_back(u(gen));
    }
    EXPECT_EQ(Triangles(x, z), Reference(x, z)) << n;
  }
}

TEST(Triangulation, SpecialInputs) {
  // Three points: one counterclockwise triangle with three border lines.
  TTriangulation t = TriangulatePoints(std::vector<double>{0, 0, 1}.data(), std::vector<double>{0, 1, 0}.data(), 3);
  ASSERT_EQ(t.Triangles.size(), 1u);
  EXPECT_EQ(t.Border.size(), 3u);
  // Four points of a convex quadrilateral: the diagonal with the larger smallest angle (the short one).
  const std::vector<double> qx{0, 4, 4.5, 0.5}, qz{0, 0, 1, 1};
  t = TriangulatePoints(qx.data(), qz.data(), 4);
  ASSERT_EQ(t.Triangles.size(), 2u);
  auto hasEdge = [&](int a, int b) {
    int n = 0;
    for (const auto& tr : t.Triangles) n += std::count(tr.begin(), tr.end(), a) && std::count(tr.begin(), tr.end(), b);
    return n == 2;
  };
  EXPECT_TRUE(hasEdge(1, 3));
  EXPECT_FALSE(hasEdge(0, 2));
  // A duplicate point changes nothing of the others.
  const std::vector<double> dx{0, 4, 4.5, 0.5, 4}, dz{0, 0, 1, 1, 0};
  EXPECT_EQ(TriangulatePoints(dx.data(), dz.data(), 5).Triangles, t.Triangles);
  // All on one line, fewer than three points, NaN: no triangle.
  const std::vector<double> lx{0, 1, 2, 3}, lz{0, 1, 2, 3};
  EXPECT_TRUE(TriangulatePoints(lx.data(), lz.data(), 4).Triangles.empty());
  EXPECT_TRUE(TriangulatePoints(lx.data(), lz.data(), 2).Triangles.empty());
  const std::vector<double> nx{0, 1, NAN, 0}, nz{0, 0, 1, 1};
  EXPECT_EQ(TriangulatePoints(nx.data(), nz.data(), 4).Triangles.size(), 1u);
  // The messages of the series' exception class.
  EXPECT_EQ(ErrTrianglePoints, "Number of points must be >= 4");
  EXPECT_EQ(ErrColinearPoints, "All colinear data points");
  EXPECT_EQ(ErrSimilarPoints, "Similar XYZ points. Cannot calculate triangles.");
  const ETriSurfaceException e(ErrColinearPoints);
  EXPECT_EQ(e.Message(), "All colinear data points");
}

TEST(TriSurfaceSeries, TrianglesTakeTheirFirstCornersColourAndClicksAnswerTheTriangleNumber) {
  // Triangulated in X-Z; drawn on a flat chart at X and Y of the corners.
  TSeriesChart d;
  auto* t = d.Add<TTriSurfaceSeries>();
  t->Pen()->SetVisible(false);
  t->AddXYZPoint(1, 1, 0, "", clRed);
  t->AddXYZPoint(5, 1, 0, "", clBlue);
  t->AddXYZPoint(3, 5, 4, "", clGreen);
  d.Axes(0, 6, 0, 6);
  d.Render();
  ASSERT_EQ(t->NumTriangles(), 1);
  const TColor colour = t->PointColorAt(t->Triangulation().Triangles[0][0]);
  EXPECT_EQ(d.At(d.X(3), d.Y(2)), colour);
  EXPECT_EQ(d.At(d.X(1), d.Y(4)), clWhite);
  EXPECT_EQ(t->PointIndexAt(d.X(3), d.Y(2)), 1);
  EXPECT_EQ(t->PointIndexAt(d.X(1), d.Y(4)), -1);
  // The border in its pen.
  t->Border()->SetVisible(true);
  t->Border()->SetColor(clFuchsia);
  d.Render();
  EXPECT_GT(d.Count(clFuchsia, TRect(d.X(2), d.Y(1) - 1, d.X(4), d.Y(1) + 2)), 0);
}

TEST(TriSurfaceSeries, SortedDrawingRunsBackToFrontAndRotationReversesIt) {
  TSeriesChart c(true);
  auto* s = c.Add<TTriSurfaceSeries>();
  std::mt19937 gen(3);
  std::uniform_real_distribution<double> u(0, 10);
  for (int i = 0; i < 20; ++i) s->AddXYZ(u(gen), u(gen), u(gen));
  c.Render();
  const std::vector<int32_t> front = s->SortedOrder();
  ASSERT_EQ(static_cast<int>(front.size()), s->NumTriangles());
  auto keyOf = [&](int32_t Number) {
    const auto& t = s->Triangulation().Triangles[Number - 1];
    return std::max({s->GetZValue(t[0]), s->GetZValue(t[1]), s->GetZValue(t[2])});
  };
  for (size_t i = 1; i < front.size(); ++i) EXPECT_GE(keyOf(front[i - 1]), keyOf(front[i]));
  c.Chart.View3DOptions()->SetOrthogonal(false);
  c.Chart.View3DOptions()->SetRotation(180);
  c.Render();
  const std::vector<int32_t> back = s->SortedOrder();
  for (size_t i = 1; i < back.size(); ++i) EXPECT_LE(keyOf(back[i - 1]), keyOf(back[i]));
  // The hit test searches from the nearest (last drawn) triangle.
  int found = 0;
  for (int px = 0; px < 400; px += 7)
    for (int py = 0; py < 300; py += 7) found += s->PointIndexAt(px, py) > 0;
  EXPECT_GT(found, 0);
  // Fewer than three points: nothing.
  s->ClearValues();
  s->AddXYZ(1, 1, 1);
  c.Render();
  EXPECT_EQ(s->NumTriangles(), 0);
}

TEST(TriSurfaceSeries, RegisteredOnThe3DPage) {
  InitExtraSeries();
  TGraphSeriesType* t = GraphSeriesTypesList()->FindSeriesType(TTriSurfaceSeries::StaticClass());
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(*t->Description, "Triangle Surf.");
  EXPECT_EQ(*t->GalleryPage, "3D");
}
