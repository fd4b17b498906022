#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "chart/engine/chart_pens.h"
#include "chart/engine/graph_canvas.h"
#include "platform/bitmap.h"

namespace {

// A canvas drawing unbuffered onto a bitmap, projected for a chart rectangle.
struct ProjectedCanvas {
  TBitmap surface{400, 300};
  TView3DOptions options;
  TGraphCanvas3D canvas;

  void Init(bool Is3D, TView3DOptions* Options, const TRect& ChartRect = TRect(0, 0, 200, 100), int MaxDepth = 40) {
    canvas.SetBufferedDisplay(false);
    canvas.InitWindow(surface.Canvas(), Options, clWhite, Is3D, TRect(0, 0, 400, 300));
    canvas.Projection(MaxDepth, TRect(0, 0, 400, 300), ChartRect);
  }
};

struct ProjectionCase {
  const char* Name;
  bool Orthogonal;
  int OrthoAngle, Elevation, Rotation, Tilt, Perspective, Zoom, HorizOffset, VertOffset;
  TPoint3D In;
  TPoint Out;  // relative to the chart centre (100, 50)
};

}  // namespace

TEST(Projection, MapsPointsByViewOptions) {
  const ProjectionCase cases[] = {
      {"ortho 45", true, 45, 345, 345, 0, 15, 100, 0, 0, {110, 60, 20}, {30, -10}},
      {"ortho 135", true, 135, 345, 345, 0, 15, 100, 0, 0, {110, 60, 20}, {-10, -10}},
      {"ortho 90", true, 90, 345, 345, 0, 15, 100, 0, 0, {110, 60, 20}, {30, -10}},
      {"ortho 30", true, 30, 345, 345, 0, 15, 100, 0, 0, {100, 50, 30}, {30, -17}},
      {"ortho zoom 200", true, 45, 345, 345, 0, 15, 200, 0, 0, {110, 60, 20}, {60, -20}},
      {"ortho offset", true, 45, 345, 345, 0, 15, 100, 10, -4, {100, 50, 0}, {10, -4}},
      {"rotated flat", false, 45, 0, 0, 0, 0, 100, 0, 0, {130, 20, 35}, {30, -30}},
      {"rotated flat zoom", false, 45, 0, 0, 0, 0, 50, 0, 0, {130, 20, 35}, {15, -15}},
      // Rotation 90: depth runs along the screen X axis (Z 20 relative to the centre 20 is 0).
      {"rotation 90", false, 45, 0, 90, 0, 0, 100, 0, 0, {100, 50, 30}, {-10, 0}},
      {"rotation 90 x", false, 45, 0, 90, 0, 0, 100, 0, 0, {130, 50, 20}, {0, 0}},
      {"tilt 90", false, 45, 0, 0, 90, 0, 100, 0, 0, {110, 50, 20}, {0, 10}},
      {"elevation 90", false, 45, 90, 0, 0, 0, 100, 0, 0, {100, 50, 30}, {0, 10}},
  };
  for (const ProjectionCase& c : cases) {
    ProjectedCanvas p;
    p.options.SetOrthogonal(c.Orthogonal);
    p.options.SetOrthoAngle(c.OrthoAngle);
    p.options.SetElevation(c.Elevation);
    p.options.SetRotation(c.Rotation);
    p.options.SetTilt(c.Tilt);
    p.options.SetPerspective(c.Perspective);
    p.options.SetZoom(c.Zoom);
    p.options.SetHorizOffset(c.HorizOffset);
    p.options.SetVertOffset(c.VertOffset);
    p.Init(true, &p.options);
    const TPoint got = p.canvas.Calculate3DPosition(c.In.X, c.In.Y, c.In.Z);
    EXPECT_EQ(got, TPoint(100 + c.Out.X, 50 + c.Out.Y)) << c.Name << " got " << got.X << "," << got.Y;
  }
}

TEST(Projection, CentreAndPerspective) {
  ProjectedCanvas p;
  p.options.SetOrthogonal(false);
  p.Init(true, &p.options, TRect(0, 0, 600, 100), 5);
  EXPECT_EQ(p.canvas.ZCenter, 2);  // 2.5 rounds to the even neighbour
  EXPECT_TRUE(p.canvas.PerspectiveOn);
  EXPECT_DOUBLE_EQ(p.canvas.PerspectiveFactor, 1.0 / 6000);
  p.Init(true, &p.options, TRect(0, 0, 600, 100), 7);
  EXPECT_EQ(p.canvas.ZCenter, 4);  // 3.5 rounds to the even neighbour

  // Perspective shrinks what lies deeper.
  p.options.SetElevation(0);
  p.options.SetRotation(0);
  p.options.SetPerspective(100);
  p.Init(true, &p.options, TRect(0, 0, 200, 100), 400);
  const TPoint nearP = p.canvas.Calculate3DPosition(150, 50, 0);
  const TPoint farP = p.canvas.Calculate3DPosition(150, 50, 400);
  EXPECT_GT(nearP.X - 100, farP.X - 100);
  EXPECT_GT(farP.X, 100);

  // No options: rotated mapping with all angles 0 and zoom 1.
  ProjectedCanvas q;
  q.Init(true, nullptr);
  EXPECT_FALSE(q.canvas.IsOrthogonal);
  EXPECT_EQ(q.canvas.Calculate3DPosition(7, 9, 300), TPoint(7, 9));
  // Flat: nothing is projected.
  q.Init(false, &q.options);
  EXPECT_EQ(q.canvas.Calculate3DPosition(7, 9, 300), TPoint(7, 9));
}

TEST(Projection, OrthoRatioOfTheOptionsIsTheProjectedSlopeOfDepth) {
  // The axis panel makes room for the depth with the options' ratio; the canvas must agree.
  for (int a : {0, 30, 45, 60, 89, 90, 91, 135, 180}) {
    ProjectedCanvas p;
    p.options.SetOrthoAngle(a);
    p.Init(true, &p.options);
    const TPoint front = p.canvas.Calculate3DPosition(100, 50, 0);
    const TPoint back = p.canvas.Calculate3DPosition(100, 50, 100);
    const double slope = double(std::abs(back.Y - front.Y)) / std::abs(back.X - front.X);
    EXPECT_NEAR(slope, p.options.CalcOrthoRatio(), 0.01 * std::max(1.0, slope)) << a;
  }
}

TEST(Projection, InverseMappingGivesBackThePoint) {
  const int angles[] = {45, 135, 30};
  for (int a : angles) {
    ProjectedCanvas p;
    p.options.SetOrthoAngle(a);
    p.options.SetZoom(150);
    p.options.SetHorizOffset(7);
    p.Init(true, &p.options);
    for (int z : {0, 15, 40}) {
      const TPoint s = p.canvas.Calculate3DPosition(123, 45, z);
      int x = s.X, y = s.Y;
      p.canvas.Calculate2DPosition(x, y, z);
      EXPECT_NEAR(x, 123, 1) << a << " " << z;
      EXPECT_NEAR(y, 45, 1) << a << " " << z;
    }
  }
  // Rotated view without perspective.
  ProjectedCanvas r;
  r.options.SetOrthogonal(false);
  r.options.SetPerspective(0);
  r.options.SetRotation(20);
  r.options.SetElevation(10);
  r.Init(true, &r.options);
  const TPoint s = r.canvas.Calculate3DPosition(120, 60, 20);
  int x = s.X, y = s.Y;
  r.canvas.Calculate2DPosition(x, y, 20);
  EXPECT_NEAR(x, 120, 2);
  EXPECT_NEAR(y, 60, 2);
}

TEST(Projection, RotationSwitchesAndOrthogonalInsideFlatSections) {
  ProjectedCanvas p;
  p.options.SetOrthogonal(false);
  p.options.SetRotation(90);
  p.options.SetElevation(0);
  p.options.SetPerspective(0);
  p.Init(true, &p.options);
  const TPoint rotated = p.canvas.Calculate3DPosition(130, 50, 20);
  p.canvas.Begin2D();
  p.canvas.Begin2D();
  EXPECT_EQ(p.canvas.Calculate3DPosition(130, 50, 20), TPoint(130, 50));
  p.canvas.End2D();
  EXPECT_FALSE(p.canvas.Is3D);  // still inside the outer section
  p.canvas.End2D();
  EXPECT_EQ(p.canvas.Calculate3DPosition(130, 50, 20), rotated);
  // DisableRotation does not nest: the second one saves False.
  p.canvas.DisableRotation();
  p.canvas.DisableRotation();
  p.canvas.EnableRotation();
  EXPECT_FALSE(p.canvas.Is3D);

  // The orthogonal view still maps inside a flat section.
  ProjectedCanvas o;
  o.Init(true, &o.options);
  o.canvas.Begin2D();
  EXPECT_EQ(o.canvas.Calculate3DPosition(110, 60, 20), TPoint(130, 40));
  o.canvas.End2D();
}

TEST(Projection, FloatMappingAndOutOfRangeCoordinates) {
  ProjectedCanvas p;
  p.Init(true, &p.options);
  TPoint q(-1, -1);
  p.canvas.Calc3DPointFloat(q, 20, 110.4, 59.6);
  EXPECT_EQ(q, TPoint(130, 40));
  ProjectedCanvas flat;
  flat.Init(false, &flat.options);
  q = TPoint(3, 4);
  flat.canvas.Calc3DPointFloat(q, 20, 110.4, 59.6);
  EXPECT_EQ(q, TPoint(3, 4));  // left alone when nothing is projected

  p.options.SetZoom(1000000);
  p.Init(true, &p.options);
  EXPECT_THROW(p.canvas.Calculate3DPosition(2000000, 0, 0), ERangeError);

  const TQuadPoints corners = p.canvas.ProjectRectCorners(TRect(100, 50, 100, 50), 0);
  EXPECT_EQ(corners[0], corners[2]);
  EXPECT_EQ(p.canvas.ProjectedBounds(TRect(100, 50, 100, 50), 0),
            TRect(corners[0].X, corners[0].Y, corners[0].X + 1, corners[0].Y + 1));
}
