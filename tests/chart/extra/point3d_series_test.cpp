// Point 3D and bubble 3D series: points at their projected position, joining and base lines,
// clicks, bubble extents, variants and registration.
#include <gtest/gtest.h>

#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/point3d_series.h"
#include "chart/series/testkit/series_testkit.h"

TEST(Point3DSeries, PointsSitAtTheirProjectedPositionAndClicksFindThem) {
  for (bool view3D : {false, true}) {
    TSeriesChart c(view3D);
    auto* s = c.Add<TPoint3DSeries>();
    s->LinePen()->SetVisible(false);
    s->Pointer()->SetDraw3D(false);
    s->AddXYZPoint(2, 3, 1, "", clRed);
    s->AddXYZPoint(6, 7, 9, "", clBlue);
    c.Axes(0, 8, 0, 10);
    c.Chart.DepthAxis()->SetMinimumMaximum(0, 10);
    c.Render();
    for (int i = 0; i < 2; ++i) {
      int x = c.X(s->XValues()->Value(i)), y = c.Y(s->YValues()->Value(i));
      const TPoint p = c.Chart.Canvas->Calculate3DPosition(x, y, s->DepthPositionAt(i));
      EXPECT_EQ(c.At(p.X, p.Y), i == 0 ? clRed : clBlue) << view3D << i;
      EXPECT_EQ(s->PointIndexAt(p.X, p.Y), i) << view3D << i;
      // The hit test is strict: HorizSize pixels away is outside.
      EXPECT_EQ(s->PointIndexAt(p.X + s->Pointer()->HorizSize(), p.Y), -1) << view3D << i;
    }
    if (view3D) {
      // The depth matters: the two points' projections differ from their flat positions.
      const TPoint far = c.Chart.Canvas->Calculate3DPosition(c.X(6), c.Y(7), s->DepthPositionAt(1));
      EXPECT_NE(far, TPoint(c.X(6), c.Y(7)));
    }
  }
}

TEST(Point3DSeries, NullPointsAreSkippedAndTheLineJoinsTheDrawnOnes) {
  TSeriesChart c;
  auto* s = c.Add<TPoint3DSeries>();
  s->Pointer()->SetVisible(false);
  s->LinePen()->SetColor(clFuchsia);
  s->AddXYZ(1, 1, 1);
  s->AddXYZ(2, 9, 1);
  s->AddXYZ(3, 1, 1);
  s->SetPointColorAt(1, clNone);
  c.Axes(0, 4, 0, 10);
  c.Render();
  EXPECT_EQ(c.At(c.X(2), c.Y(1)), clFuchsia);  // the line from the first to the third point
  EXPECT_EQ(c.Count(clFuchsia, TRect(c.X(2) - 2, c.Y(8), c.X(2) + 3, c.Y(5))), 0);
  int clicked = -1;
  s->Pointer()->SetVisible(true);
  s->OnClickPointer = [&](TPoint3DSeries*, int32_t I, int, int) { clicked = I; };
  c.Render();
  EXPECT_EQ(s->PointIndexAt(c.X(3), c.Y(1)), 2);
  EXPECT_EQ(clicked, 2);

  // The base line runs from the pointer's bottom down to the axis end.
  s->BaseLine()->SetVisible(true);
  s->BaseLine()->SetColor(clLime);
  s->LinePen()->SetVisible(false);
  c.Render();
  EXPECT_EQ(c.At(c.X(3), c.Y(0.5)), clLime);
  // DepthSize 0 still gives two pixels of depth.
  s->CalcZPositions(0);
  EXPECT_EQ(s->EndZ - s->StartZ, 2);
}

TEST(Bubble3DSeries, RadiiWidenTheExtentsAndSizeTheBubbles) {
  TSeriesChart c;
  auto* b = c.Add<TBubble3DSeries>();
  b->AddBubble(4, 10, 5, 3, "", clRed);
  EXPECT_EQ(b->HighestY(), 13);
  EXPECT_EQ(b->LowestY(), 7);
  EXPECT_EQ(b->HighestZ(), 8);
  EXPECT_EQ(b->RadiusValues()->Count(), 1);
  b->AddBubble(8, 2, 5, 0, "", clBlue);
  c.Axes(0, 10, 0, 20);
  c.Render();
  const int r = c.Chart.LeftAxis()->PixelSizeOfValue(3);
  EXPECT_EQ(c.At(c.X(4), c.Y(10)), clRed);
  EXPECT_EQ(c.At(c.X(4), c.Y(10) - r + 2), clRed);
  EXPECT_EQ(c.At(c.X(4), c.Y(10) - r - 2), clWhite);
  EXPECT_EQ(b->PointIndexAt(c.X(4) + r / 2, c.Y(10)), 0);
  EXPECT_EQ(b->PointIndexAt(c.X(8), c.Y(2)), -1);  // radius 0 is never hit
  std::vector<std::string> names;
  b->ListStyleVariants([&](const std::string& T) { names.push_back(T); });
  EXPECT_EQ(names.size(), 8u);  // no pointer shapes
  TPoint3DSeries p(nullptr);
  names.clear();
  p.ListStyleVariants([&](const std::string& T) { names.push_back(T); });
  ASSERT_EQ(names.size(), 15u);
  EXPECT_EQ(names[9], "Triangle");
  p.ApplyStyleVariant(&p, 11);
  EXPECT_EQ(p.Pointer()->Style(), psCircle);
  EXPECT_FALSE(b->Pointer()->SizeEditable);

  InitExtraSeries();
  EXPECT_EQ(*GraphSeriesTypesList()->FindSeriesType(TBubble3DSeries::StaticClass())->Description, "Bubble 3D");
  EXPECT_EQ(*GraphSeriesTypesList()->FindSeriesType(TPoint3DSeries::StaticClass())->GalleryPage, "3D");
}
