#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/engine/graph_effects.h"
#include "chart/engine/testkit/recording_canvas.h"
#include "platform/bitmap.h"

namespace {

TColor PixelOf(TBitmap* Bmp, int X, int Y) {
  const auto* row = static_cast<const uint8_t*>(Bmp->ScanLine(Y)) + X * 3;
  return RGB(row[2], row[1], row[0]);
}

}  // namespace

TEST(GraphShadow, NothingToDrawOpensNoBlending) {
  TRecordingCanvas c;
  c.RecordNested = true;
  TGraphShadow none;
  none.SetTransparency(50);
  none.Draw(&c, TRect(10, 10, 50, 40));  // both sizes 0
  none.SetSize(4);
  none.SetColor(clNone);
  none.Draw(&c, TRect(10, 10, 50, 40));
  none.DrawEllipse(&c, TRect(10, 10, 50, 40));
  EXPECT_TRUE(c.Calls.empty());
}

TEST(GraphShadow, HardShadowsInFlatSections) {
  TRecordingCanvas c;
  c.Begin2D();
  TGraphShadow s;
  s.SetSize(1);  // a smooth shadow of size 1 is drawn hard
  s.Draw(&c, TRect(10, 10, 50, 40));
  EXPECT_EQ(c.Calls, (std::vector<std::string>{"Rectangle(11,40,51,42)", "Rectangle(50,11,52,42)"}));

  c.Clear();
  s.SetHorizSize(-4);
  s.SetVertSize(0);
  s.Draw(&c, TRect(10, 10, 50, 40));
  EXPECT_EQ(c.Calls, (std::vector<std::string>{"Rectangle(11,10,6,41)"}));  // left of the shape
  c.End2D();

  // Smooth shadows fade out line by line.
  c.Clear();
  c.Begin2D();
  TGraphShadow smooth;
  smooth.SetSize(3);
  smooth.SetColor(clBlack);
  smooth.Draw(&c, TRect(10, 10, 50, 40));
  EXPECT_EQ(c.CallsOf("HorizLine").size(), 3u);
  EXPECT_EQ(c.CallsOf("VertLine").size(), 3u);
  EXPECT_EQ(c.CallsOf("SetPixel").size(), 3u);
  EXPECT_EQ(c.CallsOf("HorizLine")[0], "HorizLine(13,50,40)");
  EXPECT_EQ(c.CallsOf("SetPixel")[2], "SetPixel(51,41,11184810)");  // black lightened twice by 85
  c.End2D();
}

TEST(GraphShadow, SeeThroughShadowBlendsOverItsArea) {
  TRecordingCanvas c;
  TGraphShadow s;
  s.SetSize(5);
  s.SetSmooth(false);
  s.SetTransparency(40);
  c.Begin2D();
  s.Draw(&c, TRect(10, 10, 50, 40));
  c.End2D();
  EXPECT_TRUE(c.InOrder({"BeginBlending([15,15,56,46],40)", "Rectangle", "Rectangle", "EndBlending"}));
}

TEST(GraphGradient, MidColourAndNotifications) {
  int changes = 0;
  TGraphGradient g([&](TObject*) { ++changes; });
  g.SetMidColor(clNone);
  EXPECT_EQ(changes, 0);
  g.SetMidColor(clRed);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(g.MidColor(), clRed);
  g.SetMidColor(clNone);
  EXPECT_EQ(g.MidColor(), clNone);
  g.UseMidColor();
  EXPECT_EQ(g.MidColor(), clRed);  // the stored middle colour comes back
  EXPECT_EQ(changes, 3);

  // Top to bottom with a middle colour: start at the bottom, middle across the centre, end on top.
  TBitmap bmp(40, 40, pf24bit);
  TGraphCanvas3D c;
  c.SetBufferedDisplay(false);
  c.InitWindow(bmp.Canvas(), nullptr, clWhite, false, TRect(0, 0, 40, 40));
  g.SetStartColor(clRed);
  g.SetEndColor(clBlue);
  g.SetMidColor(clLime);
  g.Draw(&c, TRect(0, 0, 40, 40));
  EXPECT_EQ(PixelOf(&bmp, 20, 39), clRed);
  EXPECT_EQ(PixelOf(&bmp, 20, 0), clBlue);
  EXPECT_EQ(PixelOf(&bmp, 20, 19), clLime);
  EXPECT_EQ(PixelOf(&bmp, 20, 20), clLime);

  // Monochrome canvases draw greys; radial fills keep their colours.
  c.SetMonochrome(true);
  g.SetMidColor(clNone);
  g.Draw(&c, TRect(0, 0, 40, 40));
  const TColor grey = PixelOf(&bmp, 20, 39);
  EXPECT_EQ(GetRValue(grey), GetGValue(grey));
  EXPECT_EQ(GetGValue(grey), GetBValue(grey));
  g.SetDirection(gdRadial);
  g.Draw(&c, TRect(0, 0, 40, 40));
  EXPECT_EQ(PixelOf(&bmp, 0, 0), clBlue);
}

TEST(GraphGradient, RadialStepsShrinkWithOddSides) {
  TRecordingCanvas c;
  c.RecordNested = true;
  TGraphGradient g;
  g.SetDirection(gdRadial);
  g.Draw(&c, TRect(0, 0, 10, 7));
  const auto ellipses = c.CallsOf("Ellipse");
  ASSERT_EQ(ellipses.size(), 10u);  // n = 9 down to 0
  // n = 9 of a = 10: radii 4.5 and 3.15 around (6, 4.5).
  EXPECT_EQ(ellipses.front(), "Ellipse(2,1,10,8)");
  EXPECT_TRUE(c.InOrder({"ClipRectangle", "FillRect", "Ellipse", "UnClipRectangle"}));
}

TEST(GraphFont, SubObjectsAreCreatedOnUseAndFollowAssign) {
  int changes = 0;
  TGraphFont a([&](TObject*) { ++changes; });
  EXPECT_EQ(a.ShadowOrNull(), nullptr);
  a.Shadow()->SetSize(3);
  EXPECT_EQ(changes, 2);  // the shadow notifies the font's owner
  a.OutLine()->SetVisible(true);
  EXPECT_EQ(changes, 3);

  TGraphFont b;
  b.Gradient()->SetVisible(true);
  b.SetInterCharSize(2);
  a.Assign(&b);
  EXPECT_EQ(a.ShadowOrNull(), nullptr);  // b has none
  EXPECT_EQ(a.OutLineOrNull(), nullptr);
  ASSERT_NE(a.GradientOrNull(), nullptr);
  EXPECT_TRUE(a.GradientOrNull()->Visible());
  EXPECT_EQ(a.InterCharSize(), 2);
  EXPECT_EQ(a.Name(), DefaultFontName);
  EXPECT_EQ(a.Size(), DefaultFontSize);
  EXPECT_EQ(a.Color(), clBlack);
}
