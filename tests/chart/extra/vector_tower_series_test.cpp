// Vector and tower series: lines with arrow heads, tower solids and top faces, origins, clicks on
// covers, extremes and variants.
#include <gtest/gtest.h>

#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/vector_tower_series.h"
#include "chart/series/testkit/series_testkit.h"

TEST(Vector3DSeries, LinesRunFromStartToEndWithAHeadAtTheEnd) {
  TSeriesChart c;
  auto* s = c.Add<TVector3DSeries>();
  s->AddVector(1, 1, 0, 9, 1, 0, "", clRed);
  s->AddVector(5, 5, 0, 5, 5, 0, "", clBlue);  // no length: only the head, pointing right
  c.Axes(0, 10, 0, 10);
  c.Render();
  EXPECT_EQ(c.At(c.X(5), c.Y(1)), clRed);
  // The head: two strokes back from the end, ArrowWidth back and ArrowHeight across.
  const int ex = c.X(9), ey = c.Y(1);
  EXPECT_EQ(c.At(ex - 2, ey - 2), clRed);
  EXPECT_EQ(c.At(ex - 2, ey + 2), clRed);
  EXPECT_EQ(c.At(ex - 2, ey - 6), clWhite);
  // The start carries no head by default.
  EXPECT_EQ(c.At(c.X(1) + 2, c.Y(1) - 2), clWhite);
  EXPECT_EQ(c.At(c.X(5) - 2, c.Y(5) - 2), clBlue);
  EXPECT_EQ(c.At(c.X(5) + 2, c.Y(5) - 2), clWhite);
  // Extremes take the ends in.
  EXPECT_EQ(s->HighestX(), 9);
  EXPECT_EQ(s->LowestZ(), 0);
  s->AddVector(0, 0, -3, 2, 12, 4);
  EXPECT_EQ(s->HighestY(), 12);
  EXPECT_EQ(s->LowestZ(), -3);
  EXPECT_EQ(s->HighestZ(), 4);
}

namespace {
struct TowerChart : TSeriesChart {
  TTowerSeries* S;
  explicit TowerChart(bool View3D) : TSeriesChart(View3D) {
    S = Add<TTowerSeries>();
    S->SetUseColorRange(false);
    S->Pen()->SetVisible(false);
    for (int z = 1; z <= 2; ++z)
      for (int x = 1; x <= 3; ++x) S->AddXYZPoint(x, x + z, z, "", x == 2 && z == 1 ? clRed : clBlue);
    Axes(0, 4, 0, 6);
    Chart.DepthAxis()->SetMinimumMaximum(0.5, 2.5);
  }
};
}  // namespace

TEST(TowerSeries, TopFacesLieAtTheValueAcrossTheirDepthAndCoversAreClicked) {
  TowerChart c(true);
  c.S->SetTowerStyle(tsCover);
  c.Render();
  TGraphCanvas3D* cv = c.Chart.Canvas;
  const auto b = c.S->TowerBounds(1);  // (2, 1): value 3, red
  const TPoint corners[4] = {
      cv->Calculate3DPosition(b.Rect.Left, b.Rect.Top, b.Z0), cv->Calculate3DPosition(b.Rect.Right, b.Rect.Top, b.Z0),
      cv->Calculate3DPosition(b.Rect.Right, b.Rect.Top, b.Z1), cv->Calculate3DPosition(b.Rect.Left, b.Rect.Top, b.Z1)};
  const int mx = (corners[0].X + corners[1].X + corners[2].X + corners[3].X) / 4;
  const int my = (corners[0].Y + corners[1].Y + corners[2].Y + corners[3].Y) / 4;
  EXPECT_EQ(c.At(mx, my), clRed);
  EXPECT_EQ(c.S->PointIndexAt(mx, my), 1);
  // 100 % wide and deep: the face spans X 1.5..2.5 and Z 0.5..1.5.
  EXPECT_EQ(b.Rect.Left, c.X(1.5));
  EXPECT_EQ(b.Rect.Right, c.X(2.5));
  EXPECT_EQ(b.Z0, c.Chart.DepthAxis()->ValueToPixel(0.5));
  // Marks sit at the tower's depth; drawing them changes nothing of the face.
  c.S->Marks()->SetVisible(true);
  c.Render();
  EXPECT_EQ(c.S->Marks()->ZPosition, c.S->DepthPositionAt(c.S->PointCount() - 1));
  // Other styles answer no click.
  c.S->SetTowerStyle(tsCube);
  EXPECT_EQ(c.S->PointIndexAt(mx, my), -1);
}

TEST(TowerSeries, TowersRiseFromTheBaseOrTheOriginAndHalfWidthsAreCentred) {
  TowerChart c(false);
  c.S->SetPercentWidth(50);
  c.S->SetUseOrigin(true);
  c.S->SetOrigin(4);
  c.Render();
  // (2, 1) has the value 3 below the origin 4: its tower hangs down from 4 to 3.
  EXPECT_EQ(c.At(c.X(2), c.Y(3.5)), clRed);
  EXPECT_EQ(c.At(c.X(2), c.Y(2.5)), clWhite);
  // Half a unit wide around X.
  EXPECT_EQ(c.At(c.X(2.2), c.Y(3.5)), clRed);
  EXPECT_EQ(c.At(c.X(2.35), c.Y(3.5)), clWhite);
  // Cells coloured clNone get no tower.
  c.S->SetPointColorAt(1, clNone);
  c.Render();
  EXPECT_EQ(c.At(c.X(2), c.Y(3.5)), clWhite);
  EXPECT_EQ(c.S->HighestX(), 3.5);
  EXPECT_EQ(c.S->LowestZ(), 0.5);

  std::vector<std::string> names;
  c.S->ListStyleVariants([&](const std::string& T) { names.push_back(T); });
  ASSERT_EQ(names.size(), 12u);
  EXPECT_EQ(names[9], "Arrow");
  c.S->ApplyStyleVariant(c.S, 11);
  EXPECT_EQ(c.S->TowerStyle(), tsPyramid);
  InitExtraSeries();
  EXPECT_EQ(*GraphSeriesTypesList()->FindSeriesType(TTowerSeries::StaticClass())->Description, "Tower");
  EXPECT_EQ(*GraphSeriesTypesList()->FindSeriesType(TVector3DSeries::StaticClass())->Description, "Vector 3D");
}
