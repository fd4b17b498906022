#include <gtest/gtest.h>

#include "chart/engine/chart_geometry.h"

TEST(ChartGeometry, BoundsOfPointLists) {
  const TPoint one[] = {TPoint(5, 7)};
  EXPECT_EQ(PolygonBounds(one, 0), TRect(5, 7, 5, 7));
  EXPECT_EQ(PointsBounds(one, 1), TRect(5, 7, 6, 8));
  EXPECT_EQ(PolygonBounds(one, -1), TRect(0, 0, 0, 0));

  const TPoint tri[] = {TPoint(3, 9), TPoint(-2, 4), TPoint(8, 6)};
  EXPECT_EQ(PolygonBounds(tri, 2), TRect(-2, 4, 8, 9));
  EXPECT_EQ(TriangleBounds(tri), TRect(-2, 4, 9, 10));
}

TEST(ChartGeometry, RectanglesAndPoints) {
  EXPECT_EQ(OrientedRect(TRect(10, 20, 0, 5)), TRect(0, 5, 10, 20));
  EXPECT_EQ(RectCenter(TRect(-3, -3, 0, 0)), TPoint(-1, -1));  // truncates toward zero
  int w, h;
  RectSize(TRect(10, 10, 4, 30), w, h);
  EXPECT_EQ(w, -6);
  EXPECT_EQ(h, 20);
  EXPECT_TRUE(PointInRect(TRect(0, 0, 10, 10), TPoint(10, 10)));  // edges included
  EXPECT_FALSE(PointInRectXY(TRect(0, 0, 10, 10), 11, 5));
}

TEST(ChartGeometry, ClockwiseWithYDownwards) {
  // Right, then down the screen: a clockwise turn for the viewer.
  EXPECT_TRUE(IsClockwise(TPoint(0, 0), TPoint(10, 0), TPoint(10, 10)));
  EXPECT_NE(IsClockwise(TPoint(0, 0), TPoint(10, 0), TPoint(10, 10)),
            IsClockwise(TPoint(10, 10), TPoint(10, 0), TPoint(0, 0)));
  EXPECT_FALSE(IsClockwise(TPoint(0, 0), TPoint(5, 5), TPoint(10, 10)));  // collinear
  const TPoint pts[] = {TPoint(0, 0), TPoint(10, 0), TPoint(10, 10)};
  EXPECT_EQ(IsClockwiseTriangle(pts), IsClockwise(pts[0], pts[1], pts[2]));
}

TEST(ChartGeometry, DarkerAndLighterColours) {
  EXPECT_EQ(DarkerColor(0x808080, 128), clBlack);
  EXPECT_EQ(LighterColor(0xF0F0F0, 32), clWhite);
  EXPECT_EQ(DarkerColor(RGB(200, 100, 50), 60), RGB(140, 40, 0));
  EXPECT_EQ(LighterColor(RGB(200, 100, 50), 60), RGB(255, 160, 110));
  // System colours are resolved first.
  EXPECT_EQ(DarkerColor(clBtnFace, 0), ColorToRGB(clBtnFace));
  const TRGBTriple t = ColorToRGBTriple(RGB(1, 2, 3));
  EXPECT_EQ(t.rgbtRed, 1);
  EXPECT_EQ(t.rgbtGreen, 2);
  EXPECT_EQ(t.rgbtBlue, 3);
}
