// The map series: polygons filled in their point's colour with their border, drawing order and
// clicks in 2D and 3D, open and short polygons, sample shapes, pairing of points and polygons,
// streaming.
#include <gtest/gtest.h>

#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/map_series.h"
#include "platform/streaming.h"
#include "chart/series/testkit/series_testkit.h"

namespace {
TGraphPolygon* Square(TMapSeries* S, double X0, double Y0, double Side, TColor Colour, double Z = 0) {
  TGraphPolygon* p = S->Shapes()->AddPolygon();
  p->AddXY(X0, Y0);
  p->AddXY(X0 + Side, Y0);
  p->AddXY(X0 + Side, Y0 + Side);
  p->AddXY(X0, Y0 + Side);
  p->SetColor(Colour);
  p->SetZ(Z);
  return p;
}
}  // namespace

TEST(MapSeries, PolygonsAreFilledInTheirColourWithABorderAndTheTopmostIsClicked) {
  TSeriesChart c;
  auto* s = c.Add<TMapSeries>();
  s->Pen()->SetColor(clBlack);
  Square(s, 1, 1, 4, clRed);
  Square(s, 3, 3, 4, clBlue);
  ASSERT_EQ(s->PointCount(), 2);  // one point per polygon
  c.Axes(0, 8, 0, 8);
  c.Render();
  EXPECT_EQ(c.At(c.X(2), c.Y(2)), clRed);
  EXPECT_EQ(c.At(c.X(4), c.Y(4)), clBlue);  // the higher index is drawn last
  EXPECT_EQ(c.At(c.X(6), c.Y(6)), clBlue);
  EXPECT_EQ(c.At(c.X(1), c.Y(2)), clBlack);  // the left border of the first
  EXPECT_EQ(c.At(c.X(0.5), c.Y(2)), clWhite);
  EXPECT_EQ(s->PointIndexAt(c.X(4), c.Y(4)), 1);
  EXPECT_EQ(s->PointIndexAt(c.X(2), c.Y(2)), 0);
  EXPECT_EQ(s->PointIndexAt(c.X(7.5), c.Y(1)), -1);
  // The chart finds the polygon under the mouse through the series.
  TChartPartHit part;
  GetChartPartAt(&c.Chart, TPoint(c.X(4), c.Y(4)), part);
  EXPECT_EQ(part.Kind, cpSeries);
  EXPECT_EQ(part.Series, s);
  EXPECT_EQ(part.ValueIndex, 1);
  // The axes follow the outlines.
  EXPECT_EQ(s->HighestX(), 7);
  EXPECT_EQ(s->LowestY(), 1);
  // An open polygon is drawn as a line but still clicked inside its closing outline.
  s->Shapes()->GetPolygon(0)->SetClosed(false);
  c.Render();
  EXPECT_EQ(c.At(c.X(2), c.Y(2)), clWhite);
  EXPECT_EQ(s->PointIndexAt(c.X(2), c.Y(2)), 0);
}

TEST(MapSeries, InThreeDimensionsTheSmallestZEndsOnTop) {
  TSeriesChart c(true);
  auto* s = c.Add<TMapSeries>();
  Square(s, 3, 3, 4, clBlue, 0);
  Square(s, 1, 1, 4, clRed, 5);
  c.Axes(0, 8, 0, 8);
  c.Chart.DepthAxis()->SetMinimumMaximum(0, 10);
  c.Render();
  TGraphCanvas3D* cv = c.Chart.Canvas;
  // Where both overlap (4, 4) the blue polygon (Z 0, drawn last) covers the red one.
  const TPoint blue = cv->Calculate3DPosition(c.X(4.5), c.Y(4.5), s->DepthPositionAt(0));
  EXPECT_EQ(c.At(blue.X, blue.Y), clBlue);
  const TPoint red = cv->Calculate3DPosition(c.X(1.5), c.Y(1.5), s->DepthPositionAt(1));
  EXPECT_EQ(c.At(red.X, red.Y), clRed);
  EXPECT_EQ(s->PointIndexAt(red.X, red.Y), 1);
}

TEST(MapSeries, EmptyShortAndHiddenPolygons) {
  TSeriesChart c;
  auto* s = c.Add<TMapSeries>();
  EXPECT_EQ(s->HighestX(), 0);
  EXPECT_EQ(s->LowestY(), 0);
  c.Render();
  EXPECT_EQ(s->PointIndexAt(10, 10), -1);
  // A polygon of one or two points and one of none: drawn as far as they go, never a crash.
  TGraphPolygon* two = s->Shapes()->AddPolygon();
  two->AddXY(1, 1);
  two->AddXY(3, 3);
  s->Shapes()->AddPolygon()->AddXY(2, 2);
  s->Shapes()->AddPolygon();
  c.Axes(0, 4, 0, 4);
  c.Render();
  EXPECT_EQ(s->PointIndexAt(c.X(2), c.Y(2)), -1);
  // An inactive outline is not drawn and not hit.
  TGraphPolygon* sq = Square(s, 0.5, 0.5, 3, clRed);
  sq->Points()->SetActive(false);
  c.Render();
  EXPECT_EQ(c.At(c.X(3.2), c.Y(1)), clWhite);
  EXPECT_EQ(s->PointIndexAt(c.X(3.2), c.Y(1)), -1);
  // Deleting a point frees its polygon.
  s->Delete(0);
  EXPECT_EQ(s->Shapes()->Count(), s->PointCount());
  s->ClearValues();
  EXPECT_EQ(s->Shapes()->Count(), 0);
}

TEST(MapSeries, SampleShapesShiftFromTheFourteenthOn) {
  TMapSeries s(nullptr);
  s.FillSampleValues(13);
  ASSERT_EQ(s.Shapes()->Count(), 13);
  EXPECT_EQ(s.Shapes()->GetPolygon(12)->Text(), "A");
  EXPECT_EQ(s.Shapes()->GetPolygon(12)->Points()->XValues()->Value(0), 1);  // not shifted
  EXPECT_EQ(s.Shapes()->GetPolygon(11)->Text(), "L");
  EXPECT_EQ(s.PointCount(), 13);
  const double z = s.Shapes()->GetPolygon(3)->Z();
  EXPECT_TRUE(z >= 0 && z < 1);
}

TEST(MapSeries, StreamsItsPolygonsAndRebuildsThePoints) {
  TMapSeries s(nullptr);
  Square(&s, 1, 2, 3, clRed, 4)->SetText("north");
  TGraphPolygon* b = Square(&s, 5, 5, 1, clAutoColor, 7);
  b->SetClosed(false);
  b->SetParentBrush(false);
  b->Brush()->SetColor(clGreen);
  s.DataIsOwn = true;
  TMapSeries r(nullptr);
  TextToComponent(ComponentToText(&s), &r);
  ASSERT_EQ(r.Shapes()->Count(), 2);
  ASSERT_EQ(r.PointCount(), 2);
  EXPECT_EQ(r.Shapes()->GetPolygon(0)->Text(), "north");
  EXPECT_EQ(r.Shapes()->GetPolygon(0)->Z(), 4);
  EXPECT_EQ(r.StoredColorAt(0), clRed);
  EXPECT_EQ(r.StoredColorAt(1), clAutoColor);  // coloured by value: stays so
  EXPECT_FALSE(r.Shapes()->GetPolygon(1)->Closed());
  EXPECT_EQ(r.Shapes()->GetPolygon(1)->Brush()->Color(), clGreen);
  ASSERT_EQ(r.Shapes()->GetPolygon(1)->Points()->PointCount(), 4);
  EXPECT_EQ(r.Shapes()->GetPolygon(1)->Points()->YValues()->Value(2), 6);
  // Assign pairs every polygon with one point.
  TMapSeries a(nullptr);
  a.Assign(&s);
  EXPECT_EQ(a.PointCount(), 2);
  EXPECT_EQ(a.Shapes()->Count(), 2);
  EXPECT_EQ(a.Shapes()->GetPolygon(1)->Points()->PointCount(), 4);
  EXPECT_EQ(a.Shapes()->GetPolygon(0)->Text(), "north");

  InitExtraSeries();
  TGraphSeriesType* t = GraphSeriesTypesList()->FindSeriesType(TMapSeries::StaticClass());
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(*t->Description, "Map");
  EXPECT_EQ(*t->GalleryPage, "Extended");
}
