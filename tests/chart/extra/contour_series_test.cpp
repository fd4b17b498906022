// The B-spline, the smoothing function and the contour series: curves checked against a dense
// solve of the same spline, contour levels and lines against the exact iso-lines of a plane,
// smoothing, clicks, legend and the level collection.
#include <gtest/gtest.h>

#include <cmath>

#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/bspline.h"
#include "chart/extra/contour_series.h"
#include "chart/series/line_series.h"
#include "platform/exceptions.h"
#include "platform/streaming.h"
#include "chart/series/testkit/series_testkit.h"

namespace {

// The interpolating spline's vertices by a full Gaussian elimination with partial pivoting, the
// phantom ends added, and its point at t in 1..n by the segment form of the uniform cubic basis.
std::vector<T2DPoint> DenseVertices(const std::vector<T2DPoint>& P) {
  const int n = static_cast<int>(P.size());
  std::vector<std::vector<double>> M(n, std::vector<double>(n + 2, 0));
  for (int i = 0; i < n; ++i) {
    if (i == 0 || i == n - 1) {
      M[i][i] = 1;
    } else {
      M[i][i - 1] = 1.0 / 6;
      M[i][i] = 2.0 / 3;
      M[i][i + 1] = 1.0 / 6;
    }
    M[i][n] = P[i].X;
    M[i][n + 1] = P[i].Y;
  }
  for (int k = 0; k < n; ++k) {
    int piv = k;
    for (int i = k + 1; i < n; ++i)
      if (std::fabs(M[i][k]) > std::fabs(M[piv][k])) piv = i;
    std::swap(M[k], M[piv]);
    for (int i = 0; i < n; ++i) {
      if (i == k) continue;
      const double f = M[i][k] / M[k][k];
      for (int j = k; j < n + 2; ++j) M[i][j] -= f * M[k][j];
    }
  }
  std::vector<T2DPoint> V(n + 2);
  for (int i = 0; i < n; ++i) V[i + 1] = {M[i][n] / M[i][i], M[i][n + 1] / M[i][i]};
  V[0] = {2 * V[1].X - V[2].X, 2 * V[1].Y - V[2].Y};
  V[n + 1] = {2 * V[n].X - V[n - 1].X, 2 * V[n].Y - V[n - 1].Y};
  return V;
}

T2DPoint SegmentPoint(const std::vector<T2DPoint>& V, double T) {
  const int n = static_cast<int>(V.size()) - 2;
  int i = std::min(static_cast<int>(std::floor(T)), n - 1);
  const double u = T - i;
  const double b[4] = {(1 - u) * (1 - u) * (1 - u) / 6, (3 * u * u * u - 6 * u * u + 4) / 6,
                       (-3 * u * u * u + 3 * u * u + 3 * u + 1) / 6, u * u * u / 6};
  T2DPoint r;
  for (int k = 0; k < 4; ++k) {
    r.X += b[k] * V[i - 1 + k].X;
    r.Y += b[k] * V[i - 1 + k].Y;
  }
  return r;
}

}  // namespace

TEST(BSpline, InterpolatingCurveGoesThroughACubicsPointsAndMatchesADenseSolve) {
  std::vector<T2DPoint> cubic;
  for (int i = 0; i < 7; ++i) {
    const double x = i - 3;
    cubic.push_back({x, x * x * x - 2 * x});
  }
  TBSpline s;
  for (const T2DPoint& p : cubic) s.AddPoint(p.X, p.Y);
  s.SetInterpolate(true);
  ASSERT_EQ(s.VertexCount(), 7);
  for (int i = 1; i <= 7; ++i) {
    const T2DPoint p = s.CurvePoint((i - 1) / 6.0);
    EXPECT_NEAR(p.X, cubic[i - 1].X, 1e-9) << i;
    EXPECT_NEAR(p.Y, cubic[i - 1].Y, 1e-9) << i;
  }
  const std::vector<T2DPoint> v = DenseVertices(cubic);
  for (double u = 0; u <= 1; u += 1.0 / 64) {
    const T2DPoint a = s.CurvePoint(u), b = SegmentPoint(v, 6 * u + 1);
    EXPECT_NEAR(a.X, b.X, 1e-9) << u;
    EXPECT_NEAR(a.Y, b.Y, 1e-9) << u;
  }
  // Without interpolation the curve only approaches the inner points but keeps the ends.
  s.SetInterpolate(false);
  EXPECT_NE(s.CurvePoint(0.5).Y, cubic[3].Y + 1);
  EXPECT_NEAR(s.CurvePoint(0).X, -3, 1e-12);
  EXPECT_NEAR(s.CurvePoint(1).Y, 21, 1e-12);
  EXPECT_GT(std::fabs(s.CurvePoint(1.0 / 6).Y - cubic[1].Y), 0.1);
}

TEST(BSpline, FewPointsKnucklesAndLimits) {
  TBSpline s;
  EXPECT_EQ(s.CurvePoint(0.5).X, 0);
  s.AddPoint(3, 4);
  EXPECT_EQ(s.CurvePoint(0.5).Y, 0);  // one point: (0, 0)
  s.AddPoint(5, 8);
  s.SetInterpolate(true);  // two points: the straight segment
  EXPECT_NEAR(s.CurvePoint(0).X, 3, 1e-12);
  EXPECT_NEAR(s.CurvePoint(1).Y, 8, 1e-12);
  EXPECT_NEAR(s.CurvePoint(0.5).X, 4, 1e-12);
  EXPECT_NEAR(s.CurvePoint(0.5).Y, 6, 1e-12);
  s.SetStepCount(5000);
  EXPECT_EQ(s.StepCount(), 600);
  EXPECT_THROW(s.GetPoint(3), ERangeError);

  // Three equal points in a row stay fixed on the interpolating curve, as does a knuckle.
  TBSpline k;
  const double pts[][2] = {{0, 0}, {1, 2}, {2, 1}, {2, 1}, {2, 1}, {3, 3}, {4, 0}};
  for (auto& p : pts) k.AddPoint(p[0], p[1]);
  k.SetInterpolate(true);
  const T2DPoint m = k.CurvePoint(3.0 / 6);
  EXPECT_NEAR(m.X, 2, 1e-9);
  EXPECT_NEAR(m.Y, 1, 1e-9);
  TBSpline kn;
  for (int i = 0; i < 5; ++i) kn.AddPoint(i, i % 2);
  kn.SetKnuckle(1, true);  // the ends never are
  kn.SetKnuckle(3, true);
  EXPECT_FALSE(kn.IsKnuckle(1));
  EXPECT_EQ(kn.VertexCount(), 7);
  const T2DPoint c = kn.CurvePoint(3.0 / 6);  // the knuckle's middle vertex
  EXPECT_NEAR(c.X, 2, 1e-12);
  EXPECT_NEAR(c.Y, 0, 1e-12);
}

TEST(SmoothingFunction, ReplacesItsSourceByTheCurve) {
  TLineSeries source(nullptr), parent(nullptr);
  auto* f = new TSmoothingFunction(nullptr);
  parent.AttachFunction(f);
  EXPECT_TRUE(f->Interpolate());
  EXPECT_EQ(f->Period(), 1);
  f->SetFactor(0);
  EXPECT_EQ(f->Factor(), 1);
  f->SetFactor(4);

  f->CalculateFromSource(&source);
  EXPECT_EQ(parent.PointCount(), 0);
  source.AddXY(2, 3);
  f->CalculateFromSource(&source);
  ASSERT_EQ(parent.PointCount(), 5);  // one point: Factor + 1 points at (0, 0)
  EXPECT_EQ(parent.XValues()->Value(4), 0);

  source.ClearValues();
  for (int i = 0; i < 6; ++i) source.AddXY(i, std::sin(i));
  f->CalculateFromSource(&source);
  ASSERT_EQ(parent.PointCount(), 25);
  TBSpline ref;
  for (int i = 0; i < 6; ++i) ref.AddPoint(i, std::sin(i));
  ref.SetInterpolate(true);
  for (int k = 0; k <= 24; ++k) {
    const T2DPoint p = ref.CurvePoint(k / 24.0);
    EXPECT_DOUBLE_EQ(parent.XValues()->Value(k), p.X);
    EXPECT_DOUBLE_EQ(parent.YValues()->Value(k), p.Y);
  }
  // The curve runs from the first source point to the last.
  EXPECT_NEAR(parent.YValues()->Value(0), 0, 1e-12);
  EXPECT_NEAR(parent.YValues()->Value(24), std::sin(5), 1e-9);

  source.ClearValues();
  for (int i = 0; i < 200; ++i) source.AddXY(i, i % 7);
  f->CalculateFromSource(&source);
  EXPECT_EQ(parent.PointCount(), 601);
  f->SetFactor(2147483647);  // the product of points and factor would overflow
  f->CalculateFromSource(&source);
  EXPECT_EQ(parent.PointCount(), 601);

  InitExtraSeries();
  const TGraphSeriesType* entry = nullptr;
  for (int i = 0; i < GraphSeriesTypesList()->Count(); ++i)
    if ((*GraphSeriesTypesList())[i]->FunctionClass == TSmoothingFunction::StaticClass())
      entry = (*GraphSeriesTypesList())[i];
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(*entry->Description, "Smoothing");
  EXPECT_EQ(*entry->GalleryPage, "Extended");
  std::string editor;
  f->GetEditorClassName(editor);
  EXPECT_EQ(editor, "TSmoothFuncEditor");
}

namespace {

// A grid whose heights lie on the plane y = 2x + 3z: every contour point satisfies the plane.
struct ContourChart : TSeriesChart {
  TContourSeries* S;
  explicit ContourChart(int N = 4) {
    S = Add<TContourSeries>();
    for (int z = 1; z <= N; ++z)
      for (int x = 1; x <= N; ++x) S->AddXYZ(x, 2 * x + 3 * z, z);
    Axes(0, N + 1, 0, N + 1);
  }
};

}  // namespace

TEST(ContourSeries, AutomaticLevelsSpanTheRangeFromTheMinimum) {
  ContourChart c;
  c.Render();
  ASSERT_EQ(c.S->Levels()->Count(), 10);
  // Heights run from 5 to 20: levels 5 + 1.5 b.
  for (int b = 0; b < 10; ++b) EXPECT_DOUBLE_EQ(c.S->Levels()->Level(b)->UpToValue(), 5 + (15.0 / 10) * b);
  EXPECT_TRUE(c.S->AutomaticLevels());
  // OnGetLevel has the last word on each value and colour.
  c.S->OnGetLevel = [](TContourSeries*, int32_t Index, double& V, TColor& C) {
    V = Index * 100;
    C = clRed;
  };
  c.S->PrepareForDraw();
  EXPECT_EQ(c.S->Levels()->Level(3)->UpToValue(), 300);
  EXPECT_EQ(c.S->Levels()->Level(3)->Color(), clRed);
  // The legend lists the highest level first.
  std::string text;
  c.S->FormatLegendText(0, ltsPlain, text);
  EXPECT_EQ(text, "900");
  EXPECT_EQ(c.S->LegendEntryCount(), 10);

  // Y from 0 to 10 with 10 levels: 0, 1, ... 9.
  TContourSeries s(nullptr);
  for (int i = 0; i <= 10; ++i) s.AddXYZ(i % 3, i, i / 3);
  s.PrepareForDraw();
  for (int b = 0; b < 10; ++b) EXPECT_DOUBLE_EQ(s.Levels()->Level(b)->UpToValue(), b);

  // A level made by hand switches the automatic levels off; NumLevels then counts the levels.
  s.SetAutomaticLevels(true);
  s.Levels()->AddLevel()->SetUpToValue(3);
  EXPECT_FALSE(s.AutomaticLevels());
  EXPECT_EQ(s.NumLevels(), 1);
  s.PrepareForDraw();
  EXPECT_EQ(s.Levels()->Count(), 1);
  EXPECT_THROW(s.SetNumLevels(2000000000), ERangeError);
}

TEST(ContourSeries, LinesLieOnTheIsoLinesOfThePlaneAndJoinIntoOnePolylinePerLevel) {
  ContourChart c(5);
  c.S->SetAutomaticLevels(false);
  const double levels[] = {6.5, 10, 17.25, 24};  // 10 passes through grid points
  for (double v : levels) c.S->Levels()->AddLevel()->SetUpToValue(v);
  c.Render();
  for (int k = 0; k < 4; ++k) {
    const TLevelSegments& lines = c.S->Levels()->Level(k)->Segments;
    ASSERT_EQ(lines.size(), 1u) << k;
    for (const T2DPoint& p : lines[0]) EXPECT_NEAR(2 * p.X + 3 * p.Y, levels[k], 1e-9) << k;
    // The line runs from one edge of the grid to another.
    const T2DPoint a = lines[0].front(), b = lines[0].back();
    auto onEdge = [](const T2DPoint& P) {
      return std::fabs(P.X - 1) < 1e-9 || std::fabs(P.X - 5) < 1e-9 || std::fabs(P.Y - 1) < 1e-9 ||
             std::fabs(P.Y - 5) < 1e-9;
    };
    EXPECT_TRUE(onEdge(a) && onEdge(b)) << k;
  }
  // The level of 6.5 crosses the first cell's bottom edge at x = 1.75 (2x + 3 = 6.5).
  const TLevelPolyline& first = c.S->Levels()->Level(0)->Segments[0];
  bool crossing = false;
  for (const T2DPoint& p : first) crossing |= std::fabs(p.X - 1.75) < 1e-12 && std::fabs(p.Y - 1) < 1e-12;
  EXPECT_TRUE(crossing);
  // The line is drawn in the level's colour (palette colour 0 for an automatic colour) on the flat
  // chart, X across and Z up; a click on it finds the level.
  const TColor colour = c.Chart.GetPaletteColor(0);
  const int px = c.X(1.75), py = c.Y(1);
  EXPECT_GT(c.Count(colour, TRect(px - 1, py - 1, px + 2, py + 2)), 0);
  int hits = 0;
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy) hits += c.S->PointIndexAt(c.X(1.75) + dx, c.Y(1) + dy) == 0;
  EXPECT_GT(hits, 0);
  EXPECT_EQ(c.S->PointIndexAt(c.X(4.9), c.Y(4.9)), -1);
  // On the flat chart the vertical axis shows Z.
  EXPECT_EQ(c.S->HighestY(), 5);
}

TEST(ContourSeries, CellsOnALevelGiveNoLineAndACornerOnItEndsTheLines) {
  TContourSeries s(nullptr);
  for (int z = 1; z <= 2; ++z)
    for (int x = 1; x <= 2; ++x) s.AddXYZ(x, 4, z);
  s.SetAutomaticLevels(false);
  s.Levels()->AddLevel()->SetUpToValue(4);
  s.PrepareForDraw();
  s.CalcLevelSegments();
  EXPECT_TRUE(s.Levels()->Level(0)->Segments.empty());

  // Heights 0 1 / 1 2 and level 1: the diagonal through two corners and the centre.
  TContourSeries d(nullptr);
  const double h[] = {0, 1, 1, 2};
  for (int i = 0; i < 4; ++i) d.AddXYZ(1 + i % 2, h[i], 1 + i / 2);
  d.SetAutomaticLevels(false);
  d.Levels()->AddLevel()->SetUpToValue(1);
  d.PrepareForDraw();
  d.CalcLevelSegments();
  ASSERT_EQ(d.Levels()->Level(0)->Segments.size(), 1u);
  for (const T2DPoint& p : d.Levels()->Level(0)->Segments[0]) EXPECT_NEAR(p.X + p.Y, 3, 1e-12);
}

TEST(ContourSeries, SmoothedLinesFollowTheSplineThroughTheirPixels) {
  TSeriesChart c;
  auto* s = c.Add<TContourSeries>();
  for (int z = 1; z <= 7; ++z)
    for (int x = 1; x <= 7; ++x) s->AddXYZ(x, (x - 4) * (x - 4) + (z - 4) * (z - 4), z);
  s->SetAutomaticLevels(false);
  auto* l = s->Levels()->AddLevel();
  l->SetUpToValue(4.5);
  l->SetColor(clRed);
  s->Smoothing()->SetActive(true);
  s->Smoothing()->SetInterpolate(true);
  c.Axes(0, 8, 0, 8);
  c.Render();
  ASSERT_EQ(l->Segments.size(), 1u);
  const TLevelPolyline& line = l->Segments[0];
  // A closed ring: it ends where it starts.
  EXPECT_NEAR(line.front().X, line.back().X, 1e-9);
  EXPECT_NEAR(line.front().Y, line.back().Y, 1e-9);
  std::vector<TPoint> pts;
  for (const T2DPoint& p : line) pts.emplace_back(c.X(p.X), c.Y(p.Y));
  TBSpline ref;
  for (const TPoint& p : pts) ref.AddPoint(p.X, p.Y);
  ref.SetInterpolate(true);
  const int steps = std::min(600, static_cast<int>(pts.size()) * 4);
  int onCurve = 0;
  for (int j = 0; j < steps; ++j) {
    const T2DPoint p = ref.CurvePoint(static_cast<double>(j) / steps);
    onCurve += c.At(static_cast<int>(std::nearbyint(p.X)), static_cast<int>(std::nearbyint(p.Y))) == clRed;
  }
  EXPECT_EQ(onCurve, steps);
}

TEST(ContourSeries, LevelCollectionStreamsOnlyWhenGivenByHand) {
  TContourSeries s(nullptr);
  s.AddXYZ(1, 2, 3);
  s.SetNumLevels(4);
  s.SetYPositionLevel(true);
  TContourSeries r(nullptr);
  TextToComponent(ComponentToText(&s), &r);
  EXPECT_EQ(r.NumLevels(), 4);
  EXPECT_TRUE(r.YPositionLevel());
  EXPECT_TRUE(r.AutomaticLevels());

  s.SetAutomaticLevels(false);
  s.Levels()->AddLevel()->SetUpToValue(1.5);
  s.Levels()->Level(0)->SetColor(clRed);
  s.Levels()->Level(0)->Pen()->SetWidth(3);
  s.Levels()->AddLevel()->SetUpToValue(2.5);
  TContourSeries t(nullptr);
  TextToComponent(ComponentToText(&s), &t);
  EXPECT_FALSE(t.AutomaticLevels());
  ASSERT_EQ(t.Levels()->Count(), 2);
  EXPECT_EQ(t.Levels()->Level(0)->Color(), clRed);
  EXPECT_EQ(t.Levels()->Level(0)->Pen()->Width(), 3);
  EXPECT_TRUE(t.Levels()->Level(1)->DefaultPen());
  EXPECT_EQ(t.Levels()->Level(1)->UpToValue(), 2.5);
}

TEST(ContourSeries, ThreeDimensionalChartsDrawTheLinesOnTheXZPlaneAtTheirHeight) {
  TSeriesChart c(true);
  auto* s = c.Add<TContourSeries>();
  for (int z = 1; z <= 5; ++z)
    for (int x = 1; x <= 5; ++x) s->AddXYZ(x, 2 * x + 3 * z, z);
  s->SetAutomaticLevels(false);
  auto* l = s->Levels()->AddLevel();
  l->SetUpToValue(10.5);  // 2x + 3z = 10.5: at z = 2 the line crosses x = 2.25
  l->SetColor(clRed);
  s->SetYPosition(7);
  c.Axes(0, 6, 0, 30);
  c.Chart.DepthAxis()->SetMinimumMaximum(0, 6);
  c.Render();
  TGraphCanvas3D* cv = c.Chart.Canvas;
  const int depth = c.Chart.DepthAxis()->ValueToPixel(2);
  const TPoint p = cv->Calculate3DPosition(c.X(2.25), c.Y(7), depth);
  EXPECT_GT(c.Count(clRed, TRect(p.X - 1, p.Y - 1, p.X + 2, p.Y + 2)), 0);
  // With YPositionLevel each level lies at the height of its value.
  s->SetYPositionLevel(true);
  c.Render();
  const TPoint q = cv->Calculate3DPosition(c.X(2.25), c.Y(10.5), depth);
  EXPECT_GT(c.Count(clRed, TRect(q.X - 1, q.Y - 1, q.X + 2, q.Y + 2)), 0);
  EXPECT_EQ(c.Count(clRed, TRect(p.X - 1, p.Y - 1, p.X + 2, p.Y + 2)), 0);
}
