#include <gtest/gtest.h>

#include <cmath>

#include "chart/series/pie_series.h"
#include "series_testkit.h"

namespace {
constexpr double kDeg = 3.14159265358979323846 / 180;

// The pixel at an angle (degrees) and a fraction of the radius from the centre.
TColor PieAt(TSeriesChart& C, TPieSeries* S, double Degrees, double Fraction, int DX = 0, int DY = 0) {
  int x, y;
  S->AngleToPos(Degrees * kDeg, S->XRadius * Fraction, S->YRadius * Fraction, x, y);
  return C.At(x + DX, y - DY);
}
}  // namespace

TEST(PieSeries, SlicesTakeAnglesFromTheAbsoluteValues) {
  TSeriesChart c;
  auto* p = c.Add<TPieSeries>();
  p->Marks()->SetVisible(false);
  p->AddY(10, "", clRed);
  p->AddY(-20, "", clBlue);
  p->AddY(70, "", clLime);
  c.Render();
  ASSERT_EQ(p->Angles().size(), 3u);
  EXPECT_NEAR(p->Angles()[0].EndAngle / kDeg, 36, 1e-9);
  EXPECT_NEAR(p->Angles()[1].EndAngle / kDeg, 108, 1e-9);
  EXPECT_EQ(p->Angles()[2].EndAngle, 360 * kDeg);
  // Counter-clockwise from the right: red, then blue, then green.
  EXPECT_EQ(PieAt(c, p, 18, 0.6), clRed);
  EXPECT_EQ(PieAt(c, p, 70, 0.6), clBlue);
  EXPECT_EQ(PieAt(c, p, 250, 0.6), clLime);
  EXPECT_EQ(PieAt(c, p, 250, 1.1), clWhite);
  // Clicks find the slice under the mouse.
  int x, y;
  p->AngleToPos(70 * kDeg, p->XRadius * 0.5, p->YRadius * 0.5, x, y);
  EXPECT_EQ(p->PointIndexAt(x, y), 1);
  p->AngleToPos(300 * kDeg, p->XRadius * 0.5, p->YRadius * 0.5, x, y);
  EXPECT_EQ(p->PointIndexAt(x, y), 2);
  EXPECT_EQ(p->PointIndexAt(0, 0), -1);
  // A rotation turns every slice.
  p->SetRotationAngle(90);
  c.Render();
  EXPECT_EQ(PieAt(c, p, 18, 0.6), clRed);
  EXPECT_EQ(PieAt(c, p, 18 - 90, 0.6, 0, 0) == clRed, false);
}

TEST(PieSeries, BiggestSliceMovesOutAndNullSlicesStayEmpty) {
  TSeriesChart c;
  auto* p = c.Add<TPieSeries>();
  p->Marks()->SetVisible(false);
  p->AddY(25, "", clRed);
  p->AddY(25, "", clNone);
  p->AddY(50, "", clBlue);
  p->SetExplodeBiggest(30);
  c.Render();
  EXPECT_EQ(p->ExplodedSlice(2), 30);
  int dx, dy;
  p->ExplodeOffset(2, dx, dy);
  // The blue half (180..360 degrees) moves down by 30 % of the radius.
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(dy, static_cast<int>(std::nearbyint(-0.3 * p->YRadius)));
  // Blue now reaches past the circle's edge and has left the centre.
  EXPECT_EQ(PieAt(c, p, 270, 1.1), clBlue);
  EXPECT_EQ(PieAt(c, p, 270, 0.1), clWhite);
  EXPECT_EQ(PieAt(c, p, 270, 0.6, dx, dy), clBlue);
  // The null slice (90..180 degrees) is not drawn and not clicked.
  EXPECT_EQ(PieAt(c, p, 135, 0.6), clWhite);
  int x, y;
  p->AngleToPos(135 * kDeg, p->XRadius * 0.5, p->YRadius * 0.5, x, y);
  EXPECT_EQ(p->PointIndexAt(x, y), -1);
  EXPECT_EQ(PieAt(c, p, 45, 0.6), clRed);
}

TEST(PieSeries, ZerosEmptyAndThreeDimensionalPiesDrawWithoutFault) {
  for (bool is3D : {false, true}) {
    TSeriesChart c(is3D);
    auto* zeros = c.Add<TPieSeries>();
    zeros->AddY(0);
    zeros->AddY(0);
    c.Add<TPieSeries>();  // empty
    c.Render();
    ASSERT_EQ(zeros->Angles().size(), 2u);
    for (const TPieAngle& a : zeros->Angles()) {
      EXPECT_TRUE(std::isfinite(a.StartAngle));
      EXPECT_TRUE(std::isfinite(a.EndAngle));
    }
  }
}
