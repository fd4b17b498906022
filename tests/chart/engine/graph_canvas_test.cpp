#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "chart/engine/chart_pens.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/graph_blend.h"
#include "platform/bitmap.h"
#include "platform/metafile.h"

namespace {

constexpr TColor kBack = clWhite;

// A canvas bound, without buffering, to a white bitmap.
struct Surface {
  explicit Surface(int W = 80, int H = 60) : bmp(W, H, pf24bit) {
    canvas.SetBufferedDisplay(false);
    canvas.InitWindow(bmp.Canvas(), nullptr, kBack, false, TRect(0, 0, W, H));
    canvas.ResetState();
    canvas.Pen->SetColor(clBlack);
    canvas.Brush->SetColor(clRed);
  }
  // Read from the pixel rows, so that clipping does not hide them.
  TColor At(int X, int Y) {
    const auto* row = static_cast<const uint8_t*>(bmp.ScanLine(Y)) + X * 3;
    return RGB(row[2], row[1], row[0]);
  }
  int Count(TColor C) {
    int n = 0;
    for (int y = 0; y < bmp.Height(); ++y)
      for (int x = 0; x < bmp.Width(); ++x) n += At(x, y) == C;
    return n;
  }
  TBitmap bmp;
  TGraphCanvas3D canvas;
};

// Records the orientation of the font each TextOut writes with.
class OrientationProbe : public TGraphCanvas3D {
public:
  void TextOut(int X, int Y, const std::string& Text) override {
    Orientations.push_back(Font->Orientation());
    TGraphCanvas3D::TextOut(X, Y, Text);
  }
  std::vector<int> Orientations;
};

}  // namespace

TEST(GraphCanvas, BufferedDisplayCopiesTheBitmapUntilInvalidated) {
  TBitmap window(100, 80, pf24bit);
  TGraphCanvas3D c;
  EXPECT_TRUE(c.GetBufferedDisplay());
  c.SetCanvas(window.Canvas());
  EXPECT_FALSE(c.ReDrawBitmap());

  const TRect r = c.InitWindow(window.Canvas(), nullptr, kBack, false, TRect(10, 20, 50, 50));
  EXPECT_EQ(r, TRect(0, 0, 40, 30));
  ASSERT_NE(c.Bitmap(), nullptr);
  EXPECT_EQ(c.TargetCanvas, c.Bitmap()->Canvas());
  c.Brush->SetColor(clBlue);
  c.FillRect(r);
  EXPECT_EQ(window.Canvas()->Pixels(15, 25), clWhite);  // nothing reaches the window yet

  c.ShowImage(window.Canvas(), window.Canvas(), TRect(10, 20, 50, 50));
  EXPECT_EQ(window.Canvas()->Pixels(10, 20), clBlue);
  EXPECT_EQ(window.Canvas()->Pixels(49, 49), clBlue);
  EXPECT_EQ(window.Canvas()->Pixels(50, 50), clWhite);
  EXPECT_EQ(c.TargetCanvas, window.Canvas());

  // A repaint without change copies the buffer to the bound canvas at 0, 0.
  EXPECT_TRUE(c.ReDrawBitmap());
  EXPECT_EQ(window.Canvas()->Pixels(0, 0), clBlue);
  c.Invalidate();
  EXPECT_FALSE(c.ReDrawBitmap());

  // Switching buffering off and on again leaves no bitmap until the next InitWindow.
  c.SetBufferedDisplay(false);
  c.SetBufferedDisplay(true);
  EXPECT_EQ(c.Bitmap(), nullptr);
  EXPECT_FALSE(c.ReDrawBitmap());
  c.InitWindow(window.Canvas(), nullptr, kBack, false, TRect(0, 0, 5, 5));
  ASSERT_NE(c.Bitmap(), nullptr);
  EXPECT_EQ(c.Bitmap()->Width(), 5);

  // Unbuffered drawing goes straight to the destination.
  c.SetBufferedDisplay(false);
  EXPECT_EQ(c.InitWindow(window.Canvas(), nullptr, kBack, false, TRect(1, 2, 30, 40)), TRect(1, 2, 30, 40));
  EXPECT_EQ(c.TargetCanvas, window.Canvas());
}

TEST(GraphCanvas, FlatOperationsDrawThroughTheToolkitCanvas) {
  struct Case {
    const char* Name;
    std::function<void(TGraphCanvas3D&)> Draw;
    TPoint Inside;  // expected red (fill) or black (lines)
    TColor InsideColor;
    TPoint Outside;  // stays white
  };
  const Case cases[] = {
      {"Rectangle", [](TGraphCanvas3D& c) { c.Rectangle(10, 10, 30, 20); }, TPoint(20, 15), clRed, TPoint(30, 15)},
      {"Rectangle edge", [](TGraphCanvas3D& c) { c.Rectangle(10, 10, 30, 20); }, TPoint(10, 10), clBlack,
       TPoint(20, 20)},
      {"FillRect", [](TGraphCanvas3D& c) { c.FillRect(TRect(10, 10, 30, 20)); }, TPoint(10, 10), clRed, TPoint(30, 20)},
      {"EraseBackground", [](TGraphCanvas3D& c) { c.EraseBackground(TRect(10, 10, 30, 20)); }, TPoint(29, 19), clRed,
       TPoint(9, 9)},
      {"Ellipse", [](TGraphCanvas3D& c) { c.Ellipse(10, 10, 50, 40); }, TPoint(30, 25), clRed, TPoint(11, 11)},
      {"RoundRect", [](TGraphCanvas3D& c) { c.RoundRect(10, 10, 50, 40, 20, 20); }, TPoint(30, 25), clRed,
       TPoint(10, 10)},
      {"Polygon",
       [](TGraphCanvas3D& c) {
         const TPoint p[] = {TPoint(10, 10), TPoint(50, 10), TPoint(10, 50)};
         c.Polygon(p);
       },
       TPoint(15, 15), clRed, TPoint(45, 45)},
      {"Polyline",
       [](TGraphCanvas3D& c) {
         const TPoint p[] = {TPoint(10, 10), TPoint(40, 10), TPoint(40, 30)};
         c.Polyline(p);
       },
       TPoint(40, 20), clBlack, TPoint(40, 30)},
      {"Line end excluded", [](TGraphCanvas3D& c) { c.Line(5, 5, 25, 5); }, TPoint(24, 5), clBlack, TPoint(25, 5)},
      {"HorizLine", [](TGraphCanvas3D& c) { c.HorizLine(5, 25, 7); }, TPoint(5, 7), clBlack, TPoint(25, 7)},
      {"VertLine", [](TGraphCanvas3D& c) { c.VertLine(7, 5, 25); }, TPoint(7, 24), clBlack, TPoint(7, 25)},
      {"MoveTo LineTo",
       [](TGraphCanvas3D& c) {
         c.MoveTo(3, 50);
         c.LineTo(3, 40);
       },
       TPoint(3, 45), clBlack, TPoint(3, 40)},
      {"Pie", [](TGraphCanvas3D& c) { c.Pie(10, 10, 50, 50, 50, 30, 30, 10); }, TPoint(38, 22), clRed, TPoint(20, 40)},
      {"Arc", [](TGraphCanvas3D& c) { c.Arc(10, 10, 50, 50, 50, 30, 30, 10); }, TPoint(30, 30), clWhite,
       TPoint(20, 40)},
      {"DonutSlice", [](TGraphCanvas3D& c) { c.DonutSlice(40, 30, 25, 25, 0, 3.14159265 / 2, 50); }, TPoint(58, 20),
       clRed, TPoint(45, 25)},
      {"SetPixel", [](TGraphCanvas3D& c) { c.SetPixel(7, 8, clRed); }, TPoint(7, 8), clRed, TPoint(8, 8)},
  };
  for (const Case& k : cases) {
    Surface s;
    k.Draw(s.canvas);
    EXPECT_EQ(s.At(k.Inside.X, k.Inside.Y), k.InsideColor) << k.Name;
    EXPECT_EQ(s.At(k.Outside.X, k.Outside.Y), kBack) << k.Name;
  }
  Surface s;
  s.canvas.Arc(10, 10, 50, 50, 50, 30, 30, 10);
  EXPECT_GT(s.Count(clBlack), 20);  // the quarter arc
  EXPECT_EQ(s.canvas.GetPixel(0, 0), kBack);
}

TEST(GraphCanvas, GraphicsBevelFramesAndGradients) {
  Surface s;
  TBitmap pic(4, 3, pf24bit);
  pic.Canvas()->Brush()->SetColor(clBlue);
  pic.Canvas()->FillRect(TRect(0, 0, 4, 3));
  s.canvas.Draw(5, 5, &pic);
  EXPECT_EQ(s.At(8, 7), clBlue);
  EXPECT_EQ(s.At(9, 7), kBack);
  s.canvas.Draw(20, 20, nullptr);
  TBitmap empty;
  s.canvas.Draw(20, 20, &empty);
  s.canvas.StretchDraw(TRect(20, 20, 40, 30), nullptr);
  s.canvas.StretchDraw(TRect(20, 20, 40, 30), &pic);
  EXPECT_EQ(s.At(39, 29), clBlue);

  Surface b;
  TRect r(10, 10, 30, 20);
  b.canvas.DrawBevelFrame(r, clWhite, clGray, 0);
  EXPECT_EQ(r, TRect(10, 10, 30, 20));
  b.canvas.DrawBevelFrame(r, clBlue, clGray, 2);
  EXPECT_EQ(r, TRect(12, 12, 28, 18));
  EXPECT_EQ(b.At(10, 15), clBlue);  // left
  EXPECT_EQ(b.At(20, 11), clBlue);  // second top line
  EXPECT_EQ(b.At(29, 15), clGray);  // right
  EXPECT_EQ(b.At(20, 19), clGray);  // bottom
  EXPECT_EQ(b.At(20, 15), kBack);

  Surface g;
  g.canvas.GradientFill(TRect(0, 0, 80, 60), clRed, clBlue, gdTopBottom);
  EXPECT_EQ(g.At(40, 59), clRed);  // start colour at the bottom
  EXPECT_EQ(g.At(40, 0), clBlue);  // end colour at the top
  g.canvas.GradientFill(TRect(0, 0, 80, 60), clRed, clBlue, gdLeftRight);
  EXPECT_EQ(g.At(79, 30), clRed);
  EXPECT_EQ(g.At(0, 30), clBlue);
  Surface one;
  one.canvas.GradientFill(TRect(0, 10, 80, 11), clRed, clBlue, gdTopBottom);
  EXPECT_EQ(one.Count(kBack), 80 * 60);  // one pixel high: nothing painted
}

TEST(GraphCanvas, StretchDrawPlanePaintsEachPixelAsAFilledCell) {
  TBitmap pic(2, 2, pf24bit);
  const TColor colours[2][2] = {{clRed, clLime}, {clBlue, clYellow}};  // [row][column]
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c) pic.Canvas()->SetPixels(c, r, colours[r][c]);
  Surface s;
  s.canvas.Pen->SetColor(clBlack);
  s.canvas.StretchDrawPlane(TRect(10, 10, 30, 30), &pic, 0);
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 2; ++c) {
      EXPECT_EQ(s.At(10 + c * 10, 10 + r * 10), colours[r][c]) << r << c;  // no outline
      EXPECT_EQ(s.At(19 + c * 10, 19 + r * 10), colours[r][c]) << r << c;
    }
  EXPECT_EQ(s.At(30, 30), kBack);
  EXPECT_EQ(s.Count(clBlack), 0);
}

TEST(GraphCanvas, PensBrushesAndFontsAreSelected) {
  Surface s;
  TGraphCanvas3D& c = s.canvas;

  TChartPen pen;
  pen.SetColor(clBlue);
  pen.SetWidth(3);
  pen.SetEndStyle(esFlat);
  c.AssignVisiblePen(&pen);
  EXPECT_EQ(c.Pen->Color(), clBlue);
  EXPECT_EQ(c.Pen->Width(), 3);
  EXPECT_EQ(c.Pen->EndCap(), pecFlat);
  EXPECT_EQ(c.Pen->Join(), pjMiter);
  pen.SetSmallDots(true);
  c.AssignVisiblePenColor(&pen, clGreen);
  EXPECT_EQ(c.Pen->Style(), psAlternate);
  EXPECT_EQ(c.Pen->Width(), 1);
  EXPECT_EQ(c.Pen->Color(), clGreen);
  pen.SetSmallSpace(2);
  c.AssignVisiblePen(&pen);
  EXPECT_EQ(c.Pen->Style(), psUserStyle);
  EXPECT_EQ(c.Pen->UserStyle(), (std::vector<uint32_t>{0, 3}));
  pen.Hide();
  c.AssignVisiblePen(&pen);
  EXPECT_EQ(c.Pen->Style(), psClear);
  TPen plain;
  plain.SetColor(clRed);
  c.SetMonochrome(true);
  c.AssignVisiblePen(&plain);
  EXPECT_EQ(c.Pen->Color(), clBlack);

  TChartBrush brush;
  brush.SetStyle(bsCross);
  c.AssignBrushColor(&brush, clRed, clNone);
  EXPECT_EQ(c.Brush->Color(), clWhite);  // monochrome
  EXPECT_EQ(c.GetBackMode(), cbmTransparent);
  c.SetMonochrome(false);
  c.AssignBrushColor(&brush, clRed, clYellow);
  EXPECT_EQ(c.Brush->Color(), clRed);
  EXPECT_EQ(c.Brush->Style(), bsCross);
  EXPECT_EQ(c.GetBackMode(), cbmOpaque);
  EXPECT_EQ(c.GetBackColor(), clYellow);
  TBitmap pattern(2, 2, pf24bit);
  brush.Image()->SetGraphic(&pattern);
  c.AssignBrush(&brush, clRed);
  ASSERT_NE(c.Brush->Bitmap(), nullptr);
  EXPECT_EQ(c.Brush->Bitmap()->Width(), 2);

  TGraphFont font;
  font.SetSize(10);
  font.SetInterCharSize(2);
  c.FontZoom = 200;
  c.AssignFont(&font);
  EXPECT_EQ(c.Font->Size(), 20);
  EXPECT_EQ(c.TargetCanvas->GetTextCharacterExtra(), 2);
  EXPECT_EQ(c.CurrentFont, &font);

  c.ResetState();
  EXPECT_EQ(c.CurrentFont, nullptr);
  EXPECT_EQ(c.Pen->Color(), clBlack);
  EXPECT_EQ(c.Brush->Color(), clWhite);
  EXPECT_EQ(c.Font->Name(), DefaultFontName);
  EXPECT_EQ(c.Font->Size(), DefaultFontSize);
  EXPECT_EQ(c.GetBackMode(), cbmTransparent);
  EXPECT_EQ(c.GetTextAlign(), 0);
  EXPECT_THROW(c.SetTextAlign(-1), ERangeError);
}

TEST(GraphCanvas, TextWidthCountsTheShadowAndTextDrawsItsDecorations) {
  Surface s(200, 80);
  TGraphCanvas3D& c = s.canvas;
  TGraphFont font;
  font.SetSize(20);
  c.AssignFont(&font);
  const int plain = c.TextWidth("Hello");
  const int plainH = c.TextHeight("Hello");
  EXPECT_EQ(font.ShadowOrNull(), nullptr);  // measuring creates nothing
  font.Shadow()->SetHorizSize(-3);
  font.Shadow()->SetVertSize(2);
  EXPECT_EQ(c.TextWidth("Hello"), plain + 3);
  EXPECT_EQ(c.TextHeight("Hello"), plainH + 2);
  EXPECT_EQ(c.FontHeight(), c.TextHeight("W"));

  // A shadow to the left: the shadow stays at X, the text moves right by the size.
  font.Shadow()->SetColor(clBlue);
  font.SetColor(clRed);
  c.AssignFont(&font);
  c.Brush->SetStyle(bsClear);
  c.TextOut(20, 10, "IIII");
  int blueLeft = 1000, redLeft = 1000;
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 200; ++x) {
      if (s.At(x, y) == clBlue) blueLeft = std::min(blueLeft, x);
      if (s.At(x, y) == clRed) redLeft = std::min(redLeft, x);
    }
  ASSERT_LT(blueLeft, 1000);
  ASSERT_LT(redLeft, 1000);
  EXPECT_EQ(redLeft - blueLeft, 3);
}

TEST(GraphCanvas, GradientOutlineFillsOnlyTheWidenedOutline) {
  const auto draw = [](bool Outline, Surface& s) {
    TGraphFont font;
    font.SetSize(60);
    font.SetStyle({fsBold});
    font.Gradient()->SetVisible(true);
    font.Gradient()->SetStartColor(clBlue);
    font.Gradient()->SetEndColor(clBlue);
    font.Gradient()->SetOutline(Outline);
    s.canvas.AssignFont(&font);
    s.canvas.TextOut(10, 0, "I");
    s.canvas.CurrentFont = nullptr;
  };
  Surface filled(120, 100), outline(120, 100);
  draw(false, filled);
  draw(true, outline);
  const int inFilled = filled.Count(clBlue);
  const int inOutline = outline.Count(clBlue);
  ASSERT_GT(inFilled, 100);
  ASSERT_GT(inOutline, 20);
  // The glyph's interior is blue only without Outline; some blue pixel of the filled glyph
  // lies inside the stem, where the outline version stays white.
  int interior = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 120; ++x)
      if (filled.At(x, y) == clBlue && outline.At(x, y) == kBack) ++interior;
  EXPECT_GT(interior, 20);
  EXPECT_EQ(filled.canvas.TargetCanvas->GetClipRgn(SavedClipRegion()), 0);  // clipping ended
}

TEST(GraphCanvas, RotateLabelReducesAnglesAboveAFullTurn) {
  TBitmap bmp(50, 50, pf24bit);
  OrientationProbe c;
  c.SetBufferedDisplay(false);
  c.InitWindow(bmp.Canvas(), nullptr, kBack, false, TRect(0, 0, 50, 50));
  for (double a : {720.0, 360.0, -90.0, 405.5}) c.RotateLabel(20, 20, "x", a);
  EXPECT_EQ(c.Orientations, (std::vector<int>{3600, 3600, -900, 455}));
  EXPECT_EQ(c.Font->Orientation(), 0);  // the previous font is back
}

TEST(GraphCanvas, TextsFollowAlignmentAndRotation) {
  // The box of the pixels in a colour.
  const auto inked = [](Surface& s, TColor C) {
    TRect r(1000, 1000, -1, -1);
    for (int y = 0; y < s.bmp.Height(); ++y)
      for (int x = 0; x < s.bmp.Width(); ++x)
        if (s.At(x, y) == C)
          r = TRect(std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1));
    return r;
  };
  TGraphFont font;
  font.SetSize(14);
  {
    Surface s(160, 60);
    s.canvas.AssignFont(&font);
    s.canvas.SetTextAlign(TA_RIGHT);
    s.canvas.TextOut(120, 10, "HHHH");
    const TRect r = inked(s, clBlack);
    EXPECT_LE(r.Right, 120);
    EXPECT_GE(r.Right, 120 - 4);
    EXPECT_NEAR(r.Right - r.Left, s.canvas.TextWidth("HHHH"), 4);
  }
  {
    Surface flat(160, 160), turned(160, 160);
    flat.canvas.AssignFont(&font);
    turned.canvas.AssignFont(&font);
    flat.canvas.RotateLabel(40, 80, "HHHH", 720);  // a full turn twice is horizontal
    turned.canvas.RotateLabel(40, 120, "HHHH", 90);
    const TRect h = inked(flat, clBlack), v = inked(turned, clBlack);
    EXPECT_GT(h.Right - h.Left, 2 * (h.Bottom - h.Top));
    EXPECT_GT(v.Bottom - v.Top, 2 * (v.Right - v.Left));
    EXPECT_LE(v.Bottom, 120);  // 90 degrees writes upwards from the reference point
    EXPECT_EQ(turned.canvas.Font->Orientation(), 0);
  }
}

TEST(GraphCanvas, ClipsDoNotNest) {
  Surface s;
  TGraphCanvas3D& c = s.canvas;
  const auto paint = [&](TColor col) {
    c.Brush->SetColor(col);
    c.FillRect(TRect(0, 0, 80, 60));
  };
  c.ClipRectangle(TRect(10, 10, 50, 40));
  c.ClipRectangle(TRect(20, 20, 30, 30));
  paint(clRed);
  EXPECT_EQ(s.At(25, 25), clRed);
  EXPECT_EQ(s.At(15, 15), kBack);
  c.UnClipRectangle();  // back to the first clip
  paint(clBlue);
  EXPECT_EQ(s.At(15, 15), clBlue);
  EXPECT_EQ(s.At(5, 5), kBack);
  c.UnClipRectangle();  // all clipping gone
  paint(clLime);
  EXPECT_EQ(s.At(5, 5), clLime);

  // ClipCube on a flat canvas shrinks the rectangle at the left, top and bottom only.
  Surface k;
  k.canvas.ClipCube(TRect(10, 10, 30, 30), 0, 10);
  k.canvas.Brush->SetColor(clRed);
  k.canvas.FillRect(TRect(0, 0, 80, 60));
  k.canvas.UnClipRectangle();
  EXPECT_EQ(k.At(10, 20), kBack);
  EXPECT_EQ(k.At(11, 20), clRed);
  EXPECT_EQ(k.At(20, 10), kBack);
  EXPECT_EQ(k.At(20, 11), clRed);
  EXPECT_EQ(k.At(29, 20), clRed);
  EXPECT_EQ(k.At(20, 28), clRed);
  EXPECT_EQ(k.At(20, 29), kBack);

  // An inverted ellipse clip keeps what lies outside the ellipse.
  Surface e;
  e.canvas.ClipEllipse(TRect(10, 10, 70, 50), true);
  e.canvas.Brush->SetColor(clRed);
  e.canvas.FillRect(TRect(0, 0, 80, 60));
  EXPECT_EQ(e.At(40, 30), kBack);
  EXPECT_EQ(e.At(2, 2), clRed);
  e.canvas.UnClipRectangle();

  // ClipPolygon converts the caller's points in place and clips to them.
  Surface p;
  TPointArray tri = {TPoint(0, 0), TPoint(60, 0), TPoint(0, 60)};
  p.canvas.ClipPolygon(tri, 3);
  p.canvas.Brush->SetColor(clRed);
  p.canvas.FillRect(TRect(0, 0, 80, 60));
  p.canvas.UnClipRectangle();
  EXPECT_EQ(p.At(10, 10), clRed);
  EXPECT_EQ(p.At(50, 50), kBack);
}

TEST(GraphCanvas, ConvexHull) {
  TPointArray three = {TPoint(5, 1), TPoint(0, 0), TPoint(3, 9)};
  const TPointArray copy = three;
  EXPECT_TRUE(TGraphCanvas::ConvexHull(three));
  EXPECT_EQ(three, copy);
  TPointArray two = {TPoint(1, 1), TPoint(2, 2)};
  EXPECT_FALSE(TGraphCanvas::ConvexHull(two));
  EXPECT_EQ(two.size(), 2u);

  TPointArray pts = {TPoint(0, 0), TPoint(10, 0), TPoint(5, 5), TPoint(10, 10), TPoint(0, 10), TPoint(4, 6)};
  EXPECT_TRUE(TGraphCanvas::ConvexHull(pts));
  ASSERT_EQ(pts.size(), 4u);
  for (const TPoint& p : {TPoint(0, 0), TPoint(10, 0), TPoint(10, 10), TPoint(0, 10)})
    EXPECT_NE(std::find(pts.begin(), pts.end(), p), pts.end()) << p.X << "," << p.Y;
}

TEST(GraphCanvas, BlendingMixesTheBackgroundBackIn) {
  Surface s;
  TGraphCanvas3D& c = s.canvas;
  c.Brush->SetColor(clBlack);
  c.FillRect(TRect(0, 0, 40, 60));
  TGraphBlend* blend = c.BeginBlending(TRect(0, 0, 80, 60), 50);
  EXPECT_EQ(c.BlendTransparency, 50);
  c.Brush->SetColor(RGB(200, 0, 0));
  c.FillRect(TRect(0, 0, 80, 60));
  c.EndBlending(blend);
  EXPECT_EQ(s.At(10, 10), RGB(100, 0, 0));      // half black behind
  EXPECT_EQ(s.At(60, 10), RGB(227, 127, 127));  // half white (254 red) behind

  c.BlendTransparency = 0;
  blend = c.BeginBlending(TRect(0, 0, 10, 10), 101);
  EXPECT_THROW(c.EndBlending(blend), ERangeError);
}

TEST(GraphCanvas, BlendingAreasFollowTheDrawingArea) {
  // Areas partly off the canvas start at 0; an empty width or height becomes one pixel.
  Surface s;
  EXPECT_EQ(TGraphBlend(&s.canvas, TRect(-5, -3, 10, 10)).Area(), TRect(0, 0, 10, 10));
  EXPECT_EQ(TGraphBlend(&s.canvas, TRect(5, 20, 5, 8)).Area(), TRect(5, 8, 6, 20));

  // A canvas drawing straight onto a page at an offset (printing) blends up to its right edge.
  TBitmap page(100, 60, pf24bit);
  TGraphCanvas3D c;
  c.SetBufferedDisplay(false);
  EXPECT_EQ(c.InitWindow(page.Canvas(), nullptr, kBack, false, TRect(10, 10, 90, 50)), TRect(10, 10, 90, 50));
  c.ResetState();
  c.Pen->SetStyle(psClear);
  TGraphBlend* blend = c.BeginBlending(TRect(40, 20, 85, 40), 50);
  EXPECT_EQ(blend->Area(), TRect(40, 20, 85, 40));
  c.Brush->SetColor(RGB(0, 0, 200));
  c.FillRect(TRect(40, 20, 85, 40));
  c.EndBlending(blend);
  EXPECT_EQ(page.Canvas()->Pixels(82, 30), page.Canvas()->Pixels(45, 30));
  EXPECT_NE(page.Canvas()->Pixels(82, 30), RGB(0, 0, 200));

  // Transparency 0 keeps the drawing exactly, white included; 100 gives the background back.
  struct Case {
    int Transparency;
    TColor Drawn, Expected;
  };
  for (const Case& k : {Case{0, clWhite, clWhite}, Case{0, clRed, clRed}, Case{100, clRed, clBlack}}) {
    Surface t;
    t.canvas.Brush->SetColor(clBlack);
    t.canvas.FillRect(TRect(0, 0, 80, 60));
    TGraphBlend* b = t.canvas.BeginBlending(TRect(0, 0, 80, 60), k.Transparency);
    t.canvas.Brush->SetColor(k.Drawn);
    t.canvas.FillRect(TRect(0, 0, 80, 60));
    t.canvas.EndBlending(b);
    EXPECT_EQ(t.At(40, 30), k.Expected) << k.Transparency;
  }
}

TEST(GraphCanvas, OutlinePenStrokesTheTextAndFillsItUnlessTheFontHasNoColour) {
  const auto draw = [](TColor FontColor, Surface& s) {
    TGraphFont font;
    font.SetSize(60);
    font.SetStyle({fsBold});
    font.SetColor(FontColor);
    font.OutLine()->SetVisible(true);
    font.OutLine()->SetColor(clBlue);
    s.canvas.AssignFont(&font);
    s.canvas.TextOut(10, 0, "I");
    s.canvas.CurrentFont = nullptr;
  };
  Surface filled(120, 100), hollow(120, 100);
  draw(clRed, filled);
  draw(clNone, hollow);
  EXPECT_GT(filled.Count(clBlue), 20);
  EXPECT_GT(filled.Count(clRed), 100);
  EXPECT_GT(hollow.Count(clBlue), 20);
  EXPECT_EQ(hollow.Count(clRed), 0);
}

TEST(GraphCanvas, TextOut3DFollowsTheZoom) {
  TBitmap bmp(100, 100, pf24bit);
  OrientationProbe c;
  TView3DOptions options;
  options.SetZoom(200);
  c.SetBufferedDisplay(false);
  c.InitWindow(bmp.Canvas(), &options, kBack, true, TRect(0, 0, 100, 100));
  c.Projection(10, TRect(0, 0, 100, 100), TRect(0, 0, 100, 100));
  c.Font->SetSize(9);
  int sizeInCall = 0;
  c.Font->OnChange = [&](TObject*) {
    if (sizeInCall == 0) sizeInCall = c.Font->Size();
  };
  c.TextOut3D(50, 50, 0, "x");
  c.Font->OnChange = nullptr;
  EXPECT_EQ(sizeInCall, 18);
  EXPECT_EQ(c.Font->Size(), 9);
}

TEST(GraphCanvas, APicturePatternThatIsNoBitmapStaysInTheBrush) {
  TMetafile meta;
  meta.SetWidth(8);
  meta.SetHeight(8);
  {
    TMetafileCanvas mc(&meta);
    mc.Brush()->SetColor(clBlue);
    mc.FillRect(TRect(0, 0, 8, 8));
  }
  ASSERT_FALSE(meta.Empty());
  TChartBrush brush;
  brush.Image()->SetGraphic(&meta);
  Surface s;
  s.canvas.AssignBrush(&brush, clRed);
  ASSERT_NE(s.canvas.Brush->Bitmap(), nullptr);
  EXPECT_EQ(s.canvas.Brush->Bitmap()->Width(), 8);
  // The brush still holds its metafile, not an empty bitmap in its place.
  EXPECT_NE(dynamic_cast<TMetafile*>(brush.Image()->Graphic()), nullptr);
}

TEST(GraphCanvas, GradientDirectionsPlaceTheirColours) {
  struct Case {
    TGradientDirection Direction;
    TPoint StartAt, EndAt;
  };
  // 80 x 60 area.
  const Case cases[] = {
      {gdTopBottom, TPoint(40, 59), TPoint(40, 0)},     {gdBottomTop, TPoint(40, 0), TPoint(40, 59)},
      {gdLeftRight, TPoint(79, 30), TPoint(0, 30)},     {gdRightLeft, TPoint(0, 30), TPoint(79, 30)},
      {gdFromCenter, TPoint(40, 30), TPoint(0, 0)},     {gdFromTopLeft, TPoint(79, 59), TPoint(0, 0)},
      {gdFromBottomLeft, TPoint(79, 0), TPoint(0, 59)}, {gdRadial, TPoint(40, 30), TPoint(0, 0)},
      {gdDiagonalUp, TPoint(0, 59), TPoint(79, 0)},     {gdDiagonalDown, TPoint(1, 1), TPoint(79, 59)},
  };
  const auto near = [](TColor a, TColor b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 12 && std::abs(GetGValue(a) - GetGValue(b)) <= 12 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 12;
  };
  for (const Case& c : cases) {
    Surface s;
    s.canvas.GradientFill(TRect(0, 0, 80, 60), clRed, clBlue, c.Direction);
    EXPECT_TRUE(near(s.At(c.StartAt.X, c.StartAt.Y), clRed))
        << c.Direction << " start " << s.At(c.StartAt.X, c.StartAt.Y);
    EXPECT_TRUE(near(s.At(c.EndAt.X, c.EndAt.Y), clBlue)) << c.Direction << " end " << s.At(c.EndAt.X, c.EndAt.Y);
  }
}
