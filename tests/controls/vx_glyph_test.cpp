#include "controls/vx_glyph.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace {

const TColor Magenta = RGB(255, 0, 255);

// A strip of Cells square cells of size N, cell i filled with Colors[i] around a magenta border.
std::unique_ptr<TBitmap> Strip(int N, int Cells, std::initializer_list<TColor> Colors) {
  auto b = std::make_unique<TBitmap>(N * Cells, N);
  b->Canvas()->Brush()->SetColor(Magenta);
  b->Canvas()->FillRect(Rect(0, 0, N * Cells, N));
  int i = 0;
  for (TColor c : Colors) {
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect(Rect(i * N + 2, 2, (i + 1) * N - 2, N - 2));
    ++i;
  }
  return b;
}

// Draws the state's image on a white canvas and returns the middle pixel and a corner pixel.
std::pair<TColor, TColor> Drawn(TVxButtonGlyph& G, TVxButtonState S) {
  TBitmap out(40, 40);
  out.Canvas()->Brush()->SetColor(clWhite);
  out.Canvas()->FillRect(Rect(0, 0, 40, 40));
  const TPoint size = G.DrawButtonGlyph(out.Canvas(), 0, 0, S);
  return {out.Canvas()->Pixels(size.X / 2, size.Y / 2), out.Canvas()->Pixels(0, 0)};
}

TEST(VxButtonGlyph, NumberOfGlyphsFollowsTheBitmapShape) {
  TVxButtonGlyph g;
  g.SetNumGlyphs(2);
  struct Case {
    int W, H, Expected;
  } cases[] = {{64, 16, 4}, {96, 16, 1}, {50, 16, 1}, {80, 16, 5}, {32, 16, 2}, {50, 16, 2}};
  for (const auto& c : cases) {
    TBitmap b(c.W, c.H);
    g.SetGlyph(&b);
    EXPECT_EQ(g.NumGlyphs(), c.Expected) << c.W << "x" << c.H;
  }
  g.SetNumGlyphs(0);
  EXPECT_EQ(g.NumGlyphs(), 2);
}

TEST(VxButtonGlyph, StatesTakeTheirCells) {
  TVxButtonGlyph g;
  auto b = Strip(16, 3, {clRed, clLime, clBlue});
  g.SetGlyph(b.get());
  ASSERT_EQ(g.NumGlyphs(), 3);
  EXPECT_EQ(g.TransparentColor(), Magenta);
  EXPECT_EQ(Drawn(g, rbsUp).first, clRed);
  EXPECT_EQ(Drawn(g, rbsDisabled).first, clLime);
  EXPECT_EQ(Drawn(g, rbsDown).first, clBlue);
  EXPECT_EQ(Drawn(g, rbsExclusive).first, clRed);  // no fourth cell: cell 0
  // The magenta border is transparent.
  EXPECT_EQ(Drawn(g, rbsUp).second, clWhite);
}

TEST(VxButtonGlyph, OneGlyphDerivesDownDisabledAndInactive) {
  TVxButtonGlyph g;
  auto b = Strip(16, 1, {RGB(200, 40, 10)});
  g.SetGlyph(b.get());
  EXPECT_EQ(g.GlyphIndexForState(rbsDown), g.GlyphIndexForState(rbsUp));
  const uint8_t gray = (200 * 77 + 40 * 150 + 10 * 29) >> 8;
  EXPECT_EQ(Drawn(g, rbsInactive).first, RGB(gray, gray, gray));
  EXPECT_EQ(Drawn(g, rbsInactive).second, clWhite);
  const TColor dis = Drawn(g, rbsDisabled).first;
  EXPECT_NE(dis, RGB(200, 40, 10));
  EXPECT_NE(g.GlyphIndexForState(rbsDisabled), g.GlyphIndexForState(rbsUp));
}

TEST(VxButtonGlyph, GrayRuleKeepsTransparentAndFace) {
  EXPECT_EQ(GrayGlyphColor(Magenta, Magenta), Magenta);
  EXPECT_EQ(GrayGlyphColor(clBtnFace, Magenta), clBtnFace);
  EXPECT_EQ(GrayGlyphColor(ColorToRGB(clBtnFace), Magenta), ColorToRGB(clBtnFace));
  EXPECT_EQ(GrayGlyphColor(RGB(255, 255, 255), Magenta), RGB(255, 255, 255));
  EXPECT_EQ(GrayGlyphColor(RGB(0, 0, 255), Magenta), RGB(28, 28, 28));
}

TEST(VxButtonGlyph, ListsAreSharedAndFreedWithTheirLastUser) {
  ASSERT_EQ(GlyphCache(), nullptr);
  auto b16 = Strip(16, 1, {clRed});
  auto b20 = Strip(20, 1, {clRed});
  {
    auto g1 = std::make_unique<TVxButtonGlyph>();
    auto g2 = std::make_unique<TVxButtonGlyph>();
    auto g3 = std::make_unique<TVxButtonGlyph>();
    g1->SetGlyph(b16.get());
    g2->SetGlyph(b16.get());
    g3->SetGlyph(b20.get());
    g1->GlyphIndexForState(rbsUp);
    g2->GlyphIndexForState(rbsUp);
    g2->GlyphIndexForState(rbsInactive);
    g3->GlyphIndexForState(rbsUp);
    ASSERT_NE(GlyphCache(), nullptr);
    EXPECT_EQ(g1->GlyphList(), g2->GlyphList());
    EXPECT_NE(g1->GlyphList(), g3->GlyphList());
    EXPECT_EQ(GlyphCache()->ListCount(), 2);
    EXPECT_EQ(g1->GlyphList()->UsedCount(), 3);
    // A released slot is reused by the next claim.
    const int freed = g1->GlyphIndexForState(rbsUp);
    g1->ReleaseGlyphs();
    EXPECT_EQ(g2->GlyphList()->UsedCount(), 2);
    EXPECT_EQ(g1->GlyphIndexForState(rbsUp), freed);
    g3.reset();
    EXPECT_EQ(GlyphCache()->ListCount(), 1);
    g1.reset();
    ASSERT_NE(GlyphCache(), nullptr);
    g2.reset();
  }
  EXPECT_EQ(GlyphCache(), nullptr);
}

TEST(VxButtonGlyph, EmptyGlyphDrawsNothingAndTakesNoRoom) {
  TVxButtonGlyph g;
  TBitmap out(60, 30);
  EXPECT_EQ(g.GlyphIndexForState(rbsUp), -1);
  EXPECT_EQ(g.DrawButtonGlyph(out.Canvas(), 0, 0, rbsUp), Point(0, 0));
  std::string caption = "Ab";
  TPoint gp;
  TRect tb;
  g.ComputeLayout(out.Canvas(), Rect(0, 0, 60, 30), caption, blGlyphLeft, -1, 4, false, gp, tb, DT_CENTER);
  const int sx = tb.Width();
  ASSERT_GT(sx, 0);
  // No glyph: spacing drops to 0 and the caption alone is centred.
  EXPECT_EQ(tb.Left, 30 - sx / 2);
}

TEST(VxButtonGlyph, AutomaticMarginAndSpacingSplitTheRoomInThree) {
  TVxButtonGlyph g;
  auto b = Strip(16, 1, {clRed});
  g.SetGlyph(b.get());
  TBitmap out(100, 80);
  struct Case {
    TButtonLayout L;
  } cases[] = {{blGlyphLeft}, {blGlyphRight}, {blGlyphTop}, {blGlyphBottom}};
  for (const auto& c : cases) {
    std::string caption = "Text";
    TPoint gp;
    TRect tb;
    g.ComputeLayout(out.Canvas(), Rect(10, 5, 110, 85), caption, c.L, -1, -1, false, gp, tb, DT_CENTER);
    const bool vertical = c.L == blGlyphTop || c.L == blGlyphBottom;
    const int room = vertical ? 80 - 16 - tb.Height() : 100 - 16 - tb.Width();
    const int third = room / 3;
    switch (c.L) {
      case blGlyphLeft:
        EXPECT_EQ(gp.X, 10 + third);
        EXPECT_EQ(tb.Left, 10 + third + 16 + third);
        EXPECT_EQ(gp.Y, 5 + 40 - 8);
        break;
      case blGlyphRight:
        EXPECT_EQ(gp.X, 10 + 100 - third - 16);
        EXPECT_EQ(tb.Right, gp.X - third);
        break;
      case blGlyphTop:
        EXPECT_EQ(gp.Y, 5 + third);
        EXPECT_EQ(tb.Top, 5 + third + 16 + third);
        EXPECT_EQ(gp.X, 10 + 50 - 8);
        break;
      case blGlyphBottom:
        EXPECT_EQ(gp.Y, 5 + 80 - third - 16);
        EXPECT_EQ(tb.Bottom, gp.Y - third);
        break;
    }
  }
}

TEST(VxButtonGlyph, GivenMarginAndSpacingPlaceExactly) {
  TVxButtonGlyph g;
  auto b = Strip(16, 1, {clRed});
  g.SetGlyph(b.get());
  TBitmap out(100, 40);
  std::string caption = "Text";
  TPoint gp;
  TRect tb;
  g.ComputeLayout(out.Canvas(), Rect(0, 0, 100, 40), caption, blGlyphLeft, 3, 5, false, gp, tb, DT_CENTER);
  EXPECT_EQ(gp, Point(3, 12));
  EXPECT_EQ(tb.Left, 3 + 16 + 5);
  // A long caption is shortened to the room left of glyph, margin and spacing.
  std::string longCaption(200, 'W');
  g.ComputeLayout(out.Canvas(), Rect(0, 0, 100, 40), longCaption, blGlyphLeft, 3, 5, false, gp, tb, DT_CENTER);
  EXPECT_LE(tb.Width(), 100 - 16 - 3 - 5);
  EXPECT_EQ(longCaption.substr(longCaption.size() - 3), "...");
}

TEST(VxButtonGlyph, FitCaptionCutsEachLineAndTrailingBlanks) {
  TVxButtonGlyph g;
  TBitmap out(10, 10);
  EXPECT_EQ(g.FitCaption(out.Canvas(), "ab  \r\n", 1000), "ab");
  EXPECT_EQ(g.FitCaption(out.Canvas(), std::string(300, 'a'), 100000).size(), 255u);
  const std::string two = g.FitCaption(out.Canvas(), "WWWWWWWWWWWW\nx", 30);
  EXPECT_NE(two.find("...\r\nx"), std::string::npos);
  g.SetWordWrap(true);
  EXPECT_EQ(g.FitCaption(out.Canvas(), "WWWWWWWWWWWW x", 30), "WWWWWWWWWWWW x");
}

TEST(VxButtonGlyph, PopupMarkIsADownwardTriangle) {
  TBitmap out(20, 20);
  out.Canvas()->Brush()->SetColor(clWhite);
  out.Canvas()->FillRect(Rect(0, 0, 20, 20));
  DrawPopupMark(out.Canvas(), 5, 10, false);
  const TColor ink = ColorToRGB(clBtnText);
  int counts[4] = {};
  for (int row = 0; row < 4; ++row)
    for (int x = 0; x < 20; ++x)
      if (out.Canvas()->Pixels(x, 9 + row) == ink) ++counts[row];
  EXPECT_EQ(counts[0], 7);
  EXPECT_EQ(counts[1], 5);
  EXPECT_EQ(counts[2], 3);
  EXPECT_EQ(counts[3], 1);
  EXPECT_EQ(out.Canvas()->Pixels(8, 12), ink);
  EXPECT_EQ(out.Canvas()->Pixels(5, 8), clWhite);
}

TEST(VxButtonGlyph, RenderEngravesDisabledCaptionAndPlacesTheMarker) {
  TVxButtonGlyph g;
  TBitmap out(80, 30);
  out.Canvas()->Brush()->SetColor(clWhite);
  out.Canvas()->FillRect(Rect(0, 0, 80, 30));
  out.Canvas()->Font()->SetColor(clBlack);
  const TRect tb =
      g.Render(out.Canvas(), Rect(0, 0, 80, 30), "Menu", blGlyphLeft, -1, -1, true, rbsDisabled, DT_CENTER);
  ASSERT_GT(tb.Width(), 0);
  bool shadow = false;
  for (int y = tb.Top; y <= tb.Bottom; ++y)
    for (int x = tb.Left; x <= tb.Right; ++x) {
      const TColor c = out.Canvas()->Pixels(x, y);
      shadow |= c == ColorToRGB(clBtnShadow);
      EXPECT_NE(c, ColorToRGB(clBlack));
    }
  EXPECT_TRUE(shadow);
  // The marker follows the caption (room for it was added to the caption width).
  const int mx = tb.Right + 3, my = tb.Top + tb.Height() / 2;
  EXPECT_EQ(out.Canvas()->Pixels(mx + 3, my + 2), ColorToRGB(clBtnShadow));
}

}  // namespace
