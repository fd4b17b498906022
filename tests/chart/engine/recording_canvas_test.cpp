#include <gtest/gtest.h>

#include <algorithm>
#include <numbers>
#include <string>
#include <vector>

#include "chart/engine/chart_pens.h"
#include "chart/engine/testkit/recording_canvas.h"

namespace {

// A recording canvas projected with the default view (orthogonal, 45 degrees).
struct Projected {
  explicit Projected(bool Is3D = true) {
    canvas.InitWindow(nullptr, &options, clWhite, Is3D, TRect(0, 0, 300, 200));
    canvas.Projection(100, TRect(0, 0, 300, 200), TRect(0, 0, 300, 200));
    canvas.Clear();
  }
  TView3DOptions options;
  TRecordingCanvas canvas;
};

// Remembers the brush colour of every face drawn.
class FaceColours : public TRecordingCanvas {
public:
  void Polygon(std::span<const TPoint> Points) override {
    Colours.push_back(Brush->Color());
    Sizes.push_back(Points.size());
    TRecordingCanvas::Polygon(Points);
  }
  std::vector<TColor> Colours;
  std::vector<std::size_t> Sizes;
};

}  // namespace

TEST(RecordingCanvas, RecordsTopLevelCallsInOrder) {
  TRecordingCanvas c;
  c.Rectangle(0, 0, 10, 10);
  c.TextOut(5, 6, "abc");
  const TPoint pts[] = {TPoint(1, 2), TPoint(3, 4)};
  c.Polyline(pts);
  c.Cube(10, 20, 10, 20, 0, 5);
  EXPECT_EQ(c.Calls, (std::vector<std::string>{"Rectangle(0,0,10,10)", "TextOut(5,6,\"abc\")",
                                               "Polyline({(1,2),(3,4)})", "Cube(10,20,10,20,0,5,true)"}));
  EXPECT_TRUE(c.InOrder({"Rectangle", "Cube"}));
  EXPECT_FALSE(c.InOrder({"Cube", "Rectangle"}));
  EXPECT_EQ(c.IndexOf("TextOut"), 1);
  EXPECT_EQ(c.CallsOf("Polyline").size(), 1u);

  // The faces of a solid show up when nested calls are wanted.
  c.Clear();
  c.RecordNested = true;
  c.Cube(10, 20, 10, 20, 0, 0);
  const std::vector<std::string> names = c.Names();
  EXPECT_EQ(names.front(), "Cube");
  EXPECT_GT(std::count(names.begin(), names.end(), "Polygon"), 0);

  // The paint cycle of a panel.
  TRecordingCanvas p;
  EXPECT_FALSE(p.ReDrawBitmap());
  p.InitWindow(nullptr, nullptr, clWhite, false, TRect(0, 0, 50, 40));
  p.Projection(0, TRect(0, 0, 50, 40), TRect(5, 5, 45, 35));
  p.FillRect(TRect(0, 0, 50, 40));
  p.ShowImage(nullptr, nullptr, TRect(0, 0, 50, 40));
  EXPECT_TRUE(p.InOrder({"InitWindow", "Projection", "FillRect", "ShowImage"}));
}

TEST(Solids, CubeSkipsFacesTurnedAway) {
  Projected p;
  p.canvas.RecordNested = true;
  p.canvas.Brush->SetColor(clRed);
  p.canvas.Cube(100, 150, 50, 100, 0, 30);
  // Front, right side and top in the default orthogonal view.
  EXPECT_EQ(p.canvas.CallsOf("PolygonFour").size(), 3u);

  Projected clear;
  clear.canvas.RecordNested = true;
  clear.canvas.Brush->SetStyle(bsClear);
  clear.canvas.Cube(100, 150, 50, 100, 0, 30);
  EXPECT_EQ(clear.canvas.CallsOf("PolygonFour").size(), 5u);  // all but the back face
}

TEST(Solids, ShadingAndPointCounts) {
  FaceColours c;
  c.InitWindow(nullptr, nullptr, clWhite, true, TRect(0, 0, 300, 200));
  c.Projection(100, TRect(0, 0, 300, 200), TRect(0, 0, 300, 200));
  c.Brush->SetColor(RGB(200, 200, 200));
  c.Cylinder(true, 100, 50, 140, 150, 0, 40, true);
  ASSERT_GE(c.Colours.size(), 3u);
  // Each side is darker than the one before by 8 per segment.
  for (std::size_t i = 1; i + 1 < c.Colours.size(); ++i) {
    const int step = GetRValue(c.Colours[i - 1]) - GetRValue(c.Colours[i]);
    EXPECT_TRUE(step % 8 == 0 && step >= 8) << i;
  }
  EXPECT_EQ(c.Sizes.back(), 16u);  // the cover

  FaceColours pie;
  pie.InitWindow(nullptr, nullptr, clWhite, true, TRect(0, 0, 300, 200));
  pie.Projection(100, TRect(0, 0, 300, 200), TRect(0, 0, 300, 200));
  pie.Pie3D(150, 100, 50, 40, 0, 20, 0, 2 * std::numbers::pi, false, false);
  EXPECT_NE(std::find(pie.Sizes.begin(), pie.Sizes.end(), 97u), pie.Sizes.end());  // centre + 96 arc points
  pie.Sizes.clear();
  pie.Pie3D(150, 100, 50, 40, 0, 20, 0, 10 * std::numbers::pi / 180, false, false);
  ASSERT_FALSE(pie.Sizes.empty());
  EXPECT_EQ(pie.Sizes.front(), 8u);  // centre + 7 arc points
}

TEST(Solids, FlatEllipsesConesAndArrows) {
  Projected flat(false);
  flat.canvas.RecordNested = true;
  flat.canvas.EllipseWithZ(10, 10, 30, 20, 5);
  EXPECT_EQ(flat.canvas.Calls[1], "Ellipse(10,10,31,21)");

  // A cone with ConePercent 0 narrows to one point at Top.
  FaceColours cone;
  cone.InitWindow(nullptr, nullptr, clWhite, true, TRect(0, 0, 300, 200));
  cone.Projection(100, TRect(0, 0, 300, 200), TRect(0, 0, 300, 200));
  cone.RecordNested = true;
  cone.Cone(true, 100, 50, 140, 150, 0, 40, false, 0);
  ASSERT_FALSE(cone.CallsOf("Polygon").empty());
  const TPoint apex = cone.Calculate3DPosition(120, 50, 20);
  const std::string a = "(" + std::to_string(apex.X) + "," + std::to_string(apex.Y) + ")";
  const std::string cover = cone.CallsOf("Polygon").back();  // the narrow end
  EXPECT_EQ(cover, "Polygon({" + a + "," + a + "," + a + "," + a + "," + a + "," + a + "," + a + "," + a + "," + a +
                       "," + a + "," + a + "," + a + "," + a + "," + a + "," + a + "," + a + "})");

  // A filled arrow with ArrowPercent 50 has a body half as wide as the head.
  Projected arrow(false);
  arrow.canvas.RecordNested = true;
  arrow.canvas.Arrow(true, TPoint(0, 50), TPoint(100, 50), 20, 10, 0);
  EXPECT_EQ(arrow.canvas.CallsOf("Polygon").back(),
            "Polygon({(0,55),(0,45),(90,45),(90,40),(100,50),(90,60),(90,55)})");
  arrow.canvas.Clear();
  arrow.canvas.Arrow3D(false, TPoint(5, 5), TPoint(5, 5), 20, 10, 0, 50);
  EXPECT_EQ(arrow.canvas.Calls.size(), 1u);  // equal end points: nothing drawn
}

TEST(Solids, EndsAndBasesThatFaceTheViewer) {
  // A horizontal cone narrows to a point at Right; its cover is the end that faces the viewer:
  // the point at Right when depth recedes to the right, the full ring at Left when to the left.
  for (int angle : {45, 135}) {
    FaceColours cone;
    TView3DOptions options;
    options.SetOrthoAngle(angle);
    cone.InitWindow(nullptr, &options, clWhite, true, TRect(0, 0, 300, 200));
    cone.Projection(100, TRect(0, 0, 300, 200), TRect(0, 0, 300, 200));
    cone.RecordNested = true;
    cone.Cone(false, 100, 50, 200, 90, 0, 40, false, 0);
    const std::string cover = cone.CallsOf("Polygon").back();
    const TPoint apex = cone.Calculate3DPosition(200, 70, 20);
    const std::string a = "(" + std::to_string(apex.X) + "," + std::to_string(apex.Y) + ")";
    const TPoint rim = cone.Calculate3DPosition(100, 90, 20);  // lowest point of the full ring
    const std::string r = "(" + std::to_string(rim.X) + "," + std::to_string(rim.Y) + ")";
    if (angle == 45) {
      EXPECT_NE(cover.find(a), std::string::npos);
      EXPECT_EQ(cover.find(r), std::string::npos);
    } else {
      EXPECT_EQ(cover.find(a), std::string::npos);
      EXPECT_NE(cover.find(r), std::string::npos);
    }
  }

  // A pyramid of no height draws only its base, which the default view sees from above.
  Projected flat;
  flat.canvas.RecordNested = true;
  flat.canvas.Pyramid(true, 100, 80, 150, 80, 0, 30, true);
  EXPECT_EQ(flat.canvas.CallsOf("RectangleAtY").size(), 1u);
  EXPECT_EQ(flat.canvas.CallsOf("Polygon").size(), 1u);
}
