// Surface and water-fall series: cells between their four corners in painter's order, their
// colours, clicks, side walls, style variants, streaming and registration.
#include <gtest/gtest.h>

#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/surface_series.h"
#include "platform/exceptions.h"
#include "platform/streaming.h"
#include "chart/series/testkit/series_testkit.h"

namespace {

// Point (x, z) of a 3 x 3 grid has height 10 z + x, so in a flat chart each row of cells is a
// parallelogram of its own; every point has a colour of its own.
TColor PointColour(int X, int Z) { return static_cast<TColor>(0x101010 * (X + 3 * Z) + 0x000040); }

struct SurfaceChart : TSeriesChart {
  TSurfaceSeries* S;
  explicit SurfaceChart(bool View3D = false) : TSeriesChart(View3D) {
    S = Add<TSurfaceSeries>();
    S->Pen()->SetVisible(false);
    for (int z = 1; z <= 3; ++z)
      for (int x = 1; x <= 3; ++x) S->AddXYZPoint(x, 10 * z + x, z, "", PointColour(x, z));
    Axes(0, 4, 0, 40);
  }
  // Whether a pixel of colour C lies within one pixel of (X, Y) (diagonal lines round either way).
  bool Near(int PX, int PY, TColor C) { return Count(C, TRect(PX - 1, PY - 1, PX + 2, PY + 2)) > 0; }
  // The middle of the cell between x0..x0+1 and z0..z0+1 on a flat chart.
  TPoint CellMiddle(int X0, int Z0) {
    const double x = X0 + 0.5, z = Z0 + 0.5;
    return TPoint(X(x), Y(10 * z + x));
  }
};

}  // namespace

TEST(SurfaceSeries, FlatChartPaintsEachCellInTheColourOfItsFarLeftCornerAndClicksFindTheNearCorner) {
  SurfaceChart c;
  c.Render();
  EXPECT_EQ(c.S->NumXValues(), 3);
  EXPECT_EQ(c.S->NumZValues(), 3);
  for (int z0 = 1; z0 <= 2; ++z0)
    for (int x0 = 1; x0 <= 2; ++x0) {
      const TPoint m = c.CellMiddle(x0, z0);
      // Rows run back to front (row step -1), columns right to left (column step -1): the cell's
      // colour is its second corner's, the point at (x0, z0 + 1).
      EXPECT_EQ(c.At(m.X, m.Y), PointColour(x0, z0 + 1)) << x0 << "," << z0;
      // The hit test walks the rows front to back and answers the cell's first corner.
      EXPECT_EQ(c.S->PointIndexAt(m.X, m.Y), (z0 - 1) * 3 + x0) << x0 << "," << z0;
    }
  // Outside every cell: nothing is painted and nothing is hit.
  const int x = c.X(0.5), y = c.Y(5);
  EXPECT_EQ(c.At(x, y), clWhite);
  EXPECT_EQ(c.S->PointIndexAt(x, y), -1);
}

TEST(SurfaceSeries, MissingCornersAndCellsColouredNoneLeaveTheCellOut) {
  SurfaceChart c;
  c.S->SetPointColorAt(4, clNone);  // (2, 2) colours the cell 2..3 x 1..2
  c.S->Delete(8);                   // (3, 3): the cell 2..3 x 2..3 loses a corner
  c.Render();
  const TPoint a = c.CellMiddle(2, 1), b = c.CellMiddle(2, 2), d = c.CellMiddle(1, 1);
  EXPECT_EQ(c.At(a.X, a.Y), clWhite);
  EXPECT_EQ(c.At(b.X, b.Y), clWhite);
  EXPECT_EQ(c.S->PointIndexAt(b.X, b.Y), -1);
  EXPECT_EQ(c.At(d.X, d.Y), PointColour(1, 2));

  // A single row or column: no cell at all, no click, no crash.
  TSeriesChart one;
  auto* s = one.Add<TSurfaceSeries>();
  for (int x = 1; x <= 4; ++x) s->AddXYZ(x, x, 1);
  one.Axes(0, 5, 0, 5);
  one.Render();
  EXPECT_EQ(one.Count(clWhite, TRect(one.X(1), one.Y(4), one.X(4), one.Y(1))),
            (one.X(4) - one.X(1)) * (one.Y(1) - one.Y(4)));
  EXPECT_EQ(s->PointIndexAt(one.X(2), one.Y(2)), -1);
  // An empty series draws and hits nothing.
  TSeriesChart none;
  auto* e = none.Add<TSurfaceSeries>();
  none.Render();
  EXPECT_EQ(e->PointIndexAt(10, 10), -1);
}

TEST(SurfaceSeries, ThreeDimensionalChartsPaintTheCellsAtTheirDepth) {
  SurfaceChart c(true);
  c.Render();
  TGraphCanvas3D* canvas = c.Chart.Canvas;
  TChartAxis* depth = c.Chart.DepthAxis();
  for (int z0 = 1; z0 <= 2; ++z0)
    for (int x0 = 1; x0 <= 2; ++x0) {
      // The middle of the projected quadrilateral.
      int sx = 0, sy = 0;
      for (auto [dx, dz] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}}) {
        const int x = x0 + dx, z = z0 + dz;
        const TPoint p = canvas->Calculate3DPosition(c.X(x), c.Y(10 * z + x), depth->ValueToPixel(z));
        sx += p.X;
        sy += p.Y;
      }
      const int mx = sx / 4, my = sy / 4;
      EXPECT_EQ(c.At(mx, my), PointColour(x0, z0 + 1)) << x0 << "," << z0;
      EXPECT_EQ(c.S->PointIndexAt(mx, my), (z0 - 1) * 3 + x0) << x0 << "," << z0;
    }
}

TEST(SurfaceSeries, PainterOrderAndFrames) {
  TSeriesChart c(true);
  auto* s = c.Add<TSurfaceSeries>();
  for (int z = 1; z <= 3; ++z)
    for (int x = 1; x <= 6; ++x) s->AddXYZ(x, x, z);
  c.Render();
  // Seen from the front with perspective the columns come from both ends towards the middle.
  c.Chart.View3DOptions()->SetOrthogonal(false);
  c.Chart.View3DOptions()->SetRotation(0);
  std::vector<int32_t> cols;
  TSurfaceSeries::OrderedColumns(s->SetDrawOrder(), cols);
  EXPECT_EQ(cols, (std::vector<int32_t>{2, 6, 3, 5, 4}));
  // Rotated past 90 degrees the rows run from the first.
  c.Chart.View3DOptions()->SetRotation(180);
  EXPECT_TRUE(IsDepthReversed(s));
  EXPECT_EQ(s->SetDrawOrder().RowStep, 1);
  c.Chart.DepthAxis()->SetInverted(true);
  EXPECT_FALSE(IsDepthReversed(s));

  s->SetWireFrame(true);
  s->Pen()->SetVisible(false);
  s->SetDotFrame(true);
  EXPECT_TRUE(s->DotFrame());
  EXPECT_FALSE(s->WireFrame());
  EXPECT_TRUE(s->Pen()->Visible());
  s->SetWireFrame(true);
  EXPECT_FALSE(s->DotFrame());
  s->SetFastBrush(true);
  EXPECT_FALSE(s->FastBrush());
}

TEST(SurfaceSeries, WireFramesDrawOutlinesAndDotFramesTheCorners) {
  SurfaceChart c;
  c.S->SetWireFrame(true);
  c.Render();
  const TPoint m = c.CellMiddle(1, 1);
  EXPECT_EQ(c.At(m.X, m.Y), clWhite);  // no fill
  // The bottom edge of cell (1..2, 1..2) runs from (1, 11) to (2, 12) in the colour of the cell.
  EXPECT_TRUE(c.Near(c.X(1.5), c.Y(11.5), PointColour(1, 2)));

  SurfaceChart d;
  d.S->SetDotFrame(true);
  d.Render();
  EXPECT_EQ(d.At(d.X(1), d.Y(11)), PointColour(1, 1));
  EXPECT_EQ(d.At(d.X(3), d.Y(33)), PointColour(3, 3));
  EXPECT_EQ(d.At(m.X, m.Y), clWhite);
}

TEST(WaterFallSeries, RowsAreProfilesFilledDownToTheBase) {
  TSeriesChart c;
  auto* s = c.Add<TWaterFallSeries>();
  s->SetUseColorRange(false);
  s->SetSeriesColor(clRed);
  s->WaterLines()->SetVisible(false);
  const double ys[] = {2, 6, 4};
  for (int x = 1; x <= 3; ++x) s->AddXYZ(x, ys[x - 1], 1);
  c.Axes(0, 4, 0, 10);
  c.Render();
  // Under the profile the area is filled, above it is not.
  EXPECT_EQ(c.At(c.X(1.5), c.Y(1)), clRed);
  EXPECT_EQ(c.At(c.X(2.5), c.Y(4)), clRed);
  EXPECT_EQ(c.At(c.X(1.5), c.Y(7)), clWhite);
  EXPECT_EQ(c.At(c.X(0.5), c.Y(1)), clWhite);
  // The profile itself in the series pen (black by default).
  EXPECT_GT(c.Count(clBlack, TRect(c.X(1.5) - 1, c.Y(4) - 1, c.X(1.5) + 2, c.Y(4) + 2)), 0);

  // One column: no segment.
  TSeriesChart d;
  auto* w = d.Add<TWaterFallSeries>();
  w->SetSeriesColor(clRed);
  w->AddXYZ(1, 5, 1);
  w->AddXYZ(1, 5, 2);
  d.Axes(0, 2, 0, 10);
  d.Render();
  EXPECT_EQ(d.Count(clRed, TRect(0, 0, 400, 300)), 0);
}

TEST(SurfaceSeries, AssignVariantsStreamingAndRegistration) {
  TWaterFallSeries w(nullptr);
  w.SetSmoothPalette(true);
  w.SetTransparency(30);
  TSurfaceSeries s(nullptr);
  s.Assign(&w);
  EXPECT_FALSE(s.WaterFall());
  EXPECT_TRUE(s.SmoothPalette());
  EXPECT_EQ(s.Transparency(), 30);
  TWaterFallSeries back(nullptr);
  back.Assign(&s);
  EXPECT_TRUE(back.WaterFall());

  std::vector<std::string> names;
  w.ListStyleVariants([&](const std::string& T) { names.push_back(T); });
  EXPECT_EQ(names, (std::vector<std::string>{"Normal", "Color Range", "Wireframe", "Dot Frame", "Sides", "No Border",
                                             "No Lines"}));
  w.ApplyStyleVariant(&w, 4);
  EXPECT_EQ(w.SideBrush()->Style(), bsSolid);
  w.ApplyStyleVariant(&w, 6);
  EXPECT_FALSE(w.WaterLines()->Visible());

  s.SetDotFrame(true);
  s.SideLines()->SetVisible(true);
  s.AddXYZ(1, 2, 3);
  TSurfaceSeries r(nullptr);
  TextToComponent(ComponentToText(&s), &r);
  EXPECT_TRUE(r.DotFrame());
  EXPECT_TRUE(r.SideLines()->Visible());
  EXPECT_EQ(r.GetZValue(0), 3);

  InitExtraSeries();
  TGraphSeriesTypes* list = GraphSeriesTypesList();
  ASSERT_NE(list->FindSeriesType(TSurfaceSeries::StaticClass()), nullptr);
  EXPECT_EQ(*list->FindSeriesType(TWaterFallSeries::StaticClass())->Description, "Water Fall");
  EXPECT_EQ(*list->FindSeriesType(TSurfaceSeries::StaticClass())->GalleryPage, "3D");
}

TEST(SurfaceSeries, SideWallsReachDownToTheLowestValue) {
  SurfaceChart c(true);
  c.S->SetUseColorRange(false);
  c.S->SetSeriesColor(clBlue);
  c.Render();
  EXPECT_EQ(c.Count(clRed, TRect(0, 0, 400, 300)), 0);
  c.S->SideBrush()->SetStyle(bsSolid);
  c.S->SideBrush()->SetColor(clRed);
  c.Render();
  // The front wall under the first row: between the points of row 1 and the base (value 11).
  TGraphCanvas3D* cv = c.Chart.Canvas;
  const int depth = c.Chart.DepthAxis()->ValueToPixel(1);
  const TPoint p = cv->Calculate3DPosition(c.X(2.5), c.Y(11.3), depth);
  EXPECT_GT(c.Count(clRed, TRect(p.X - 2, p.Y - 2, p.X + 3, p.Y + 3)), 0);
}

TEST(SurfaceSeries, AGridOfBillionsOfCellsIsRefused) {
  TSurfaceSeries s(nullptr);
  s.AddXYZ(1, 1, 1);
  s.AddXYZ(1e9, 2, 1e4);
  EXPECT_THROW(s.PrepareForDraw(), ERangeError);
  // Counts read from a damaged file: refused, the series keeps its counts.
  EXPECT_THROW(s.SetNumXValues(-5), ERangeError);
  EXPECT_THROW(s.SetNumXValues(2000000000), ERangeError);
  EXPECT_EQ(s.NumXValues(), 10);
  s.SetNumZValues(3);
  EXPECT_EQ(s.NumZValues(), 3);
}
