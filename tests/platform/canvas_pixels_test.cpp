// Pixel rules of the canvas, checked on bitmaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace {

struct Surface {
  TBitmap Bmp;
  explicit Surface(int W = 40, int H = 30) : Bmp(W, H) {}
  TCanvas* C() { return Bmp.Canvas(); }
  TColor At(int X, int Y) { return Bmp.Canvas()->Pixels(X, Y); }
  // The device pixels, whatever the canvas' clip and mapping.
  std::vector<TColor> All() {
    TBitmap copy;
    copy.Assign(&Bmp);
    std::vector<TColor> v;
    for (int y = 0; y < copy.Height(); ++y)
      for (int x = 0; x < copy.Width(); ++x) v.push_back(copy.Canvas()->Pixels(x, y));
    return v;
  }
  // Bounding box of the pixels that differ from Bg; empty when none.
  TRect Ink(TColor Bg = clWhite) {
    std::vector<TColor> px = All();
    TRect r(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
    for (int y = 0; y < Bmp.Height(); ++y)
      for (int x = 0; x < Bmp.Width(); ++x)
        if (px[y * Bmp.Width() + x] != Bg) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r.Left == INT32_MAX ? TRect() : r;
  }
};

std::string Show(const TRect& R) {
  return "(" + std::to_string(R.Left) + "," + std::to_string(R.Top) + "," + std::to_string(R.Right) + "," +
         std::to_string(R.Bottom) + ")";
}

TEST(CanvasPixels, ShapesCoverTheirBoxWithoutRightAndBottomEdge) {
  struct Case {
    const char* Name;
    std::function<void(TCanvas*)> Draw;
    TRect Expected;
  };
  const std::vector<Case> cases = {
      {"horizontal line",
       [](TCanvas* c) {
         c->MoveTo(2, 5);
         c->LineTo(10, 5);
       },
       TRect(2, 5, 10, 6)},
      {"vertical line",
       [](TCanvas* c) {
         c->MoveTo(4, 3);
         c->LineTo(4, 12);
       },
       TRect(4, 3, 5, 12)},
      {"line drawn leftwards",
       [](TCanvas* c) {
         c->MoveTo(10, 5);
         c->LineTo(2, 5);
       },
       TRect(3, 5, 11, 6)},
      {"diagonal line",
       [](TCanvas* c) {
         c->MoveTo(1, 1);
         c->LineTo(6, 6);
       },
       TRect(1, 1, 6, 6)},
      {"zero-length line",
       [](TCanvas* c) {
         c->MoveTo(5, 5);
         c->LineTo(5, 5);
       },
       TRect()},
      {"polyline",
       [](TCanvas* c) {
         c->Polyline({{2, 2}, {10, 2}, {10, 8}});
       },
       TRect(2, 2, 11, 8)},
      {"rectangle", [](TCanvas* c) { c->Rectangle(2, 3, 12, 9); }, TRect(2, 3, 12, 9)},
      {"rectangle given reversed", [](TCanvas* c) { c->Rectangle(12, 9, 2, 3); }, TRect(2, 3, 12, 9)},
      {"ellipse", [](TCanvas* c) { c->Ellipse(3, 2, 23, 12); }, TRect(3, 2, 23, 12)},
      {"round rectangle", [](TCanvas* c) { c->RoundRect(2, 2, 20, 14, 6, 6); }, TRect(2, 2, 20, 14)},
      {"fill rect",
       [](TCanvas* c) {
         c->Brush()->SetColor(clBlack);
         c->FillRect(Rect(3, 4, 9, 7));
       },
       TRect(3, 4, 9, 7)},
      {"frame rect",
       [](TCanvas* c) {
         c->Brush()->SetColor(clBlack);
         c->FrameRect(Rect(3, 4, 9, 7));
       },
       TRect(3, 4, 9, 7)},
      {"rectangle, clear pen",
       [](TCanvas* c) {
         c->Pen()->SetStyle(psClear);
         c->Brush()->SetColor(clBlack);
         c->Rectangle(2, 2, 8, 8);
       },
       TRect(2, 2, 7, 7)},
      {"clear pen line",
       [](TCanvas* c) {
         c->Pen()->SetStyle(psClear);
         c->MoveTo(0, 0);
         c->LineTo(9, 0);
       },
       TRect()},
      {"set pixel", [](TCanvas* c) { c->SetPixels(7, 9, clRed); }, TRect(7, 9, 8, 10)},
  };
  for (const Case& k : cases) {
    Surface s;
    k.Draw(s.C());
    EXPECT_EQ(Show(s.Ink()), Show(k.Expected)) << k.Name;
  }
}

// Every one-pixel line, whatever its direction and slope, takes its first point, leaves out its
// last, and lights one pixel per step along its longer axis, the one nearest to the true line.
TEST(CanvasPixels, SlantedLinesKeepTheirStartAndLeaveOutTheirEndInEveryDirection) {
  const TPoint c(30, 30);
  const std::vector<TPoint> ends = {{47, 31}, {47, 43}, {47, 47}, {41, 47}, {31, 47}, {13, 29}, {13, 17},
                                    {13, 13}, {19, 13}, {29, 13}, {47, 25}, {47, 13}, {43, 13}, {13, 38},
                                    {13, 47}, {21, 47}, {30, 49}, {11, 30}, {49, 30}, {30, 11}, {33, 49}};
  for (const TPoint& e : ends)
    for (bool outwards : {true, false}) {
      const TPoint a = outwards ? c : e, b = outwards ? e : c;
      Surface s(60, 60);
      s.C()->MoveTo(a.X, a.Y);
      s.C()->LineTo(b.X, b.Y);
      const std::string name = Show(TRect(a.X, a.Y, b.X, b.Y));
      EXPECT_EQ(s.At(a.X, a.Y), clBlack) << name;
      EXPECT_EQ(s.At(b.X, b.Y), clWhite) << name;
      const int dx = b.X - a.X, dy = b.Y - a.Y;
      const bool xMajor = std::abs(dx) >= std::abs(dy);
      const int n = std::max(std::abs(dx), std::abs(dy));
      int count = 0;
      for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
          if (s.At(x, y) != clWhite) {
            ++count;
            const double along = xMajor ? static_cast<double>(x - a.X) / dx : static_cast<double>(y - a.Y) / dy;
            EXPECT_TRUE(along >= 0 && along < 1) << name << " pixel " << x << "," << y;
            const double ideal = xMajor ? a.Y + along * dy : a.X + along * dx;
            EXPECT_LE(std::abs((xMajor ? y : x) - ideal), 0.52) << name << " pixel " << x << "," << y;
          }
      EXPECT_EQ(count, n) << name;
    }
}

TEST(CanvasPixels, RectangleOutlinesWithPenAndFillsInsideWithBrush) {
  Surface s;
  s.C()->Pen()->SetColor(clRed);
  s.C()->Brush()->SetColor(clBlue);
  s.C()->Rectangle(2, 2, 10, 8);
  EXPECT_EQ(s.At(2, 2), clRed);
  EXPECT_EQ(s.At(9, 7), clRed);
  EXPECT_EQ(s.At(5, 4), clBlue);
  EXPECT_EQ(s.At(10, 5), clWhite);
  EXPECT_EQ(s.At(5, 8), clWhite);
}

TEST(CanvasPixels, ArcGoesCounterClockwiseFromStartRayUnlessTurned) {
  auto quadrants = [](int dir) {
    Surface s(41, 41);
    s.C()->SetArcDirection(dir);
    // From the ray towards 3 o'clock to the ray towards 12 o'clock.
    s.C()->Arc(0, 0, 41, 41, 40, 20, 20, 0);
    std::vector<bool> q(4, false);  // upper right, upper left, lower left, lower right
    for (int y = 0; y < 41; ++y)
      for (int x = 0; x < 41; ++x)
        if (s.At(x, y) != clWhite) {
          if (x > 22 && y < 18) q[0] = true;
          if (x < 18 && y < 18) q[1] = true;
          if (x < 18 && y > 22) q[2] = true;
          if (x > 22 && y > 22) q[3] = true;
        }
    return q;
  };
  EXPECT_EQ(quadrants(AD_COUNTERCLOCKWISE), (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(quadrants(AD_CLOCKWISE), (std::vector<bool>{false, true, true, true}));

  // A pie from the same rays: the upper right quarter of its box, give or take a pixel.
  Surface s(41, 41);
  s.C()->Brush()->SetColor(clBlack);
  s.C()->Pie(0, 0, 41, 41, 40, 20, 20, 0);
  TRect ink = s.Ink();
  EXPECT_NEAR(ink.Left, 20, 1);
  EXPECT_NEAR(ink.Right, 41, 1);
  EXPECT_NEAR(ink.Top, 0, 1);
  EXPECT_NEAR(ink.Bottom, 21, 1);
  EXPECT_EQ(s.At(30, 10), clBlack);
}

// Arcs, pies and chords are parts of the very ellipse that Ellipse draws in the same box, with
// their ends where the rays meet it.
TEST(CanvasPixels, ArcsPiesAndChordsArePartsOfTheBoxEllipse) {
  auto ink = [](const std::function<void(TCanvas*)>& Draw) {
    Surface s(45, 45);
    s.C()->Brush()->SetStyle(bsClear);
    Draw(s.C());
    return s.All();
  };
  auto count = [](const std::vector<TColor>& V) {
    return std::count_if(V.begin(), V.end(), [](TColor c) { return c != clWhite; });
  };
  const auto ellipse = ink([](TCanvas* c) { c->Ellipse(2, 3, 43, 36); });
  // Rays that coincide give the whole ellipse.
  EXPECT_EQ(ink([](TCanvas* c) { c->Arc(2, 3, 43, 36, 40, 10, 40, 10); }), ellipse);
  // Two arcs between the same rays, one each way round, make up the ellipse.
  const auto upper = ink([](TCanvas* c) { c->Arc(2, 3, 43, 36, 44, 19, 0, 19); });
  const auto lower = ink([](TCanvas* c) { c->Arc(2, 3, 43, 36, 0, 19, 44, 19); });
  std::vector<TColor> both(upper.size());
  for (size_t i = 0; i < both.size(); ++i) both[i] = upper[i] != clWhite || lower[i] != clWhite ? clBlack : clWhite;
  EXPECT_EQ(both, ellipse);
  EXPECT_LT(count(upper), count(ellipse));
  EXPECT_LT(count(lower), count(ellipse));

  // A quarter pie from 3 o'clock to 12 o'clock: exactly the upper right quarter of its box,
  // its radii along the centre row and column.
  Surface s(41, 41);
  s.C()->Brush()->SetColor(clYellow);
  s.C()->Pie(0, 0, 41, 41, 40, 20, 20, 0);
  EXPECT_EQ(Show(s.Ink()), Show(TRect(20, 0, 41, 21)));
  for (int i = 20; i <= 40; ++i) {
    EXPECT_EQ(s.At(i, 20), clBlack) << i;
    EXPECT_EQ(s.At(20, 40 - i), clBlack) << i;
  }
  EXPECT_EQ(s.At(28, 12), clYellow);
  // A chord over the same rays keeps the arc's side of its line.
  Surface h(41, 41);
  h.C()->Brush()->SetColor(clYellow);
  h.C()->Chord(0, 0, 41, 41, 40, 20, 20, 0);
  EXPECT_EQ(Show(h.Ink()), Show(TRect(20, 0, 41, 21)));
  EXPECT_EQ(h.At(32, 10), clYellow);
  EXPECT_EQ(h.At(25, 15), clWhite);

  // ArcTo: a line from the current position to the arc's start; the arc's end is the new position.
  Surface t(45, 45);
  t.C()->MoveTo(40, 44);
  t.C()->ArcTo(0, 0, 41, 41, 40, 20, 20, 0);
  EXPECT_EQ(t.C()->PenPos(), TPoint(20, 0));
  for (int y = 20; y <= 44; ++y) EXPECT_EQ(t.At(40, y), clBlack) << y;
  EXPECT_EQ(t.At(20, 0), clBlack);
  EXPECT_EQ(t.At(0, 20), clWhite);

  // Drawn in exclusive-or mode each pixel is set once, and a second time undoes it.
  for (int kind = 0; kind < 3; ++kind) {
    Surface x(41, 41);
    x.C()->Brush()->SetColor(clGreen);
    x.C()->FillRect(Rect(0, 0, 41, 41));
    const auto before = x.All();
    x.C()->Pen()->SetMode(pmXor);
    x.C()->Pen()->SetColor(clWhite);
    x.C()->Brush()->SetStyle(bsClear);
    auto draw = [&] {
      if (kind == 0) x.C()->Arc(0, 0, 41, 41, 40, 20, 20, 0);
      if (kind == 1) x.C()->Pie(0, 0, 41, 41, 40, 20, 20, 0);
      if (kind == 2) x.C()->Chord(0, 0, 41, 41, 40, 20, 20, 0);
    };
    draw();
    EXPECT_NE(x.At(40, 20), before[20 * 41 + 40]) << kind;  // where the arc and a radius or chord meet
    EXPECT_NE(x.At(20, 0), before[20]) << kind;
    draw();
    EXPECT_EQ(x.All(), before) << kind;
  }
}

TEST(CanvasPixels, CheckBoxesAndRadioButtonsAreThirteenPixelsSquare) {
  for (uint32_t kind : {DFCS_BUTTONCHECK, DFCS_BUTTONRADIO})
    for (uint32_t extra : {0u, DFCS_FLAT})
      for (bool checked : {false, true}) {
        Surface s(30, 30);
        s.C()->Brush()->SetColor(clLime);
        s.C()->FillRect(Rect(0, 0, 30, 30));
        s.C()->Pen()->SetColor(clRed);
        s.C()->Brush()->SetColor(clYellow);
        const uint32_t state = kind | extra | (checked ? DFCS_CHECKED : 0);
        const std::string name = std::to_string(state);
        EXPECT_TRUE(DrawFrameControl(s.C(), Rect(5, 7, 18, 20), DFC_BUTTON, state));
        EXPECT_EQ(Show(s.Ink(clLime)), Show(TRect(5, 7, 18, 20))) << name;
        EXPECT_EQ(s.At(11, 13) == clBlack, checked) << name;  // the mark in the middle
        EXPECT_EQ(s.At(8, 12), checked && kind == DFCS_BUTTONCHECK ? clBlack : clWhite) << name;
        // Square corners for check boxes, round ones for radio buttons.
        EXPECT_EQ(s.At(5, 7) == clLime, kind == DFCS_BUTTONRADIO) << name;
        EXPECT_EQ(s.C()->Pen()->Color(), clRed);
        EXPECT_EQ(s.C()->Brush()->Color(), clYellow);
        s.C()->Brush()->SetColor(clBlue);  // the clip was given back
        s.C()->FillRect(Rect(0, 0, 2, 2));
        EXPECT_EQ(s.At(1, 1), clBlue);
      }
  Surface s;
  EXPECT_FALSE(DrawFrameControl(s.C(), Rect(0, 0, 13, 13), 1, 0));
}

TEST(CanvasPixels, ExclusiveOrDrawnTwiceLeavesTheImageUnchanged) {
  for (TPenMode mode : {pmXor, pmNotXor}) {
    Surface s(50, 40);
    TCanvas* c = s.C();
    c->Brush()->SetColor(clYellow);
    c->FillRect(Rect(5, 5, 30, 25));
    c->Pen()->SetColor(clNavy);
    c->Ellipse(10, 10, 45, 35);
    std::vector<TColor> before = s.All();

    c->Pen()->SetMode(mode);
    c->Pen()->SetColor(mode == pmXor ? clWhite : clBlack);
    c->Brush()->SetStyle(bsClear);
    auto band = [&] {
      c->Rectangle(3, 4, 40, 30);
      c->MoveTo(0, 20);
      c->LineTo(49, 20);
      c->Polyline({{1, 1}, {20, 1}, {20, 15}});
    };
    band();
    EXPECT_NE(s.All(), before) << mode;
    // The band's corners show: every outline pixel is drawn once.
    EXPECT_NE(s.At(3, 4), before[4 * 50 + 3]) << mode;
    EXPECT_NE(s.At(39, 29), before[29 * 50 + 39]) << mode;
    band();
    EXPECT_EQ(s.All(), before) << mode;
  }
}

TEST(CanvasPixels, FocusRectAndInvertingCopiesUndoThemselves) {
  Surface s;
  s.C()->Brush()->SetColor(clGreen);
  s.C()->FillRect(Rect(0, 0, 20, 30));
  std::vector<TColor> before = s.All();
  s.C()->DrawFocusRect(Rect(2, 2, 30, 20));
  EXPECT_NE(s.All(), before);
  s.C()->DrawFocusRect(Rect(2, 2, 30, 20));
  EXPECT_EQ(s.All(), before);

  TBitmap pattern(10, 10);
  pattern.Canvas()->Brush()->SetColor(clRed);
  pattern.Canvas()->FillRect(Rect(0, 0, 5, 10));
  s.C()->BitBlt(15, 5, 10, 10, pattern.Canvas(), 0, 0, SRCINVERT);
  EXPECT_NE(s.All(), before);
  s.C()->BitBlt(15, 5, 10, 10, pattern.Canvas(), 0, 0, SRCINVERT);
  EXPECT_EQ(s.All(), before);
}

TEST(CanvasPixels, ClippingByRectangleRegionAndPath) {
  Surface s;
  TCanvas* c = s.C();
  c->Brush()->SetColor(clBlack);
  c->IntersectClipRect(5, 6, 15, 12);
  c->FillRect(Rect(0, 0, 40, 30));
  EXPECT_EQ(Show(s.Ink()), Show(TRect(5, 6, 15, 12)));

  TRegion saved;
  EXPECT_EQ(c->GetClipRgn(saved), 1);
  EXPECT_EQ(Show(saved.Box()), Show(TRect(5, 6, 15, 12)));
  c->SelectClipRgn(nullptr);
  TRegion none;
  EXPECT_EQ(c->GetClipRgn(none), 0);

  // An elliptic region clips to the ellipse; exclusive-or with it leaves a ring outside.
  Surface e;
  TRegion ell = TRegion::CreateEllipticRgn(10, 5, 30, 25);
  e.C()->SelectClipRgn(&ell);
  e.C()->Brush()->SetColor(clBlack);
  e.C()->FillRect(Rect(0, 0, 40, 30));
  EXPECT_EQ(e.At(20, 15), clBlack);
  EXPECT_EQ(e.At(11, 6), CLR_INVALID);  // outside the clip region
  EXPECT_EQ(e.All()[6 * 40 + 11], clWhite);
  TRect eink = e.Ink();
  EXPECT_TRUE(eink.Left >= 10 && eink.Top >= 5 && eink.Right <= 30 && eink.Bottom <= 25) << Show(eink);
  EXPECT_GE(eink.Width(), 18);

  // A path made into the clip region.
  Surface p;
  p.C()->BeginPath();
  p.C()->Rectangle(4, 4, 12, 10);
  p.C()->EndPath();
  EXPECT_TRUE(p.C()->SelectClipPath(RGN_AND));
  p.C()->Brush()->SetColor(clBlack);
  p.C()->FillRect(Rect(0, 0, 40, 30));
  TRect ink = p.Ink();
  EXPECT_GE(ink.Left, 4);
  EXPECT_LE(ink.Right, 13);
  EXPECT_EQ(p.At(8, 7), clBlack);
}

TEST(CanvasPixels, PathsAreStrokedFilledAndWidened) {
  Surface s;
  TCanvas* c = s.C();
  c->BeginPath();
  c->MoveTo(5, 5);
  c->LineTo(25, 5);
  c->LineTo(25, 20);
  c->CloseFigure();
  c->EndPath();
  // Drawing calls inside a path draw nothing.
  EXPECT_EQ(Show(s.Ink()), Show(TRect()));
  c->Brush()->SetColor(clRed);
  c->FillPath();
  EXPECT_EQ(s.At(22, 8), clRed);
  EXPECT_EQ(s.At(8, 15), clWhite);

  Surface w;
  w.C()->Pen()->SetWidth(6);
  w.C()->BeginPath();
  w.C()->MoveTo(5, 15);
  w.C()->LineTo(30, 15);
  w.C()->EndPath();
  w.C()->WidenPath();
  w.C()->Brush()->SetColor(clBlack);
  w.C()->FillPath();
  TRect ink = w.Ink();
  EXPECT_NEAR(ink.Height(), 6, 1);
}

TEST(CanvasPixels, TextFollowsAlignmentFlagsAndBackgroundMode) {
  struct Case {
    int Align;
    int X, Y;
  };
  for (Case k : {Case{TA_LEFT | TA_TOP, 10, 10}, Case{TA_RIGHT | TA_TOP, 150, 10}, Case{TA_CENTER | TA_BOTTOM, 80, 50},
                 Case{TA_LEFT | TA_BASELINE, 10, 40}}) {
    Surface s(160, 60);
    TCanvas* c = s.C();
    c->Font()->SetName("Liberation Sans");
    c->Font()->SetHeight(-16);
    c->Brush()->SetStyle(bsClear);
    c->SetTextAlign(k.Align);
    TSize ext = c->TextExtent("Wave");
    int asc = c->TextAscent();
    c->TextOut(k.X, k.Y, "Wave");
    int left = (k.Align & TA_CENTER) == TA_CENTER ? k.X - ext.cx / 2 : (k.Align & TA_RIGHT) ? k.X - ext.cx : k.X;
    int top = (k.Align & TA_BASELINE) == TA_BASELINE ? k.Y - asc : (k.Align & TA_BOTTOM) ? k.Y - ext.cy : k.Y;
    TRect ink = s.Ink();
    ASSERT_FALSE(IsRectEmpty(ink)) << k.Align;
    EXPECT_GE(ink.Left, left - 1) << k.Align;
    EXPECT_LE(ink.Right, left + ext.cx + 1) << k.Align;
    EXPECT_GE(ink.Top, top - 1) << k.Align;
    EXPECT_LE(ink.Bottom, top + ext.cy + 1) << k.Align;
  }

  Surface o(100, 40);
  o.C()->Brush()->SetColor(clYellow);  // a solid brush makes text opaque with the brush colour
  EXPECT_EQ(o.C()->GetBkMode(), OPAQUE);
  o.C()->TextOut(5, 5, "ab");
  TSize ext = o.C()->TextExtent("ab");
  EXPECT_EQ(Show(o.Ink()), Show(Bounds(5, 5, ext.cx, ext.cy)));
  EXPECT_EQ(o.At(5, 5), clYellow);
  o.C()->SetBkMode(TRANSPARENT);
  EXPECT_EQ(o.C()->GetBkMode(), TRANSPARENT);
}

TEST(CanvasPixels, RotatedTextStaysInsideItsTurnedBox) {
  for (int orientation : {900, -900, 450}) {
    Surface s(200, 200);
    TCanvas* c = s.C();
    c->Font()->SetName("Liberation Sans");
    c->Font()->SetHeight(-14);
    c->Font()->SetOrientation(orientation);
    c->Brush()->SetStyle(bsClear);
    TSize ext = c->TextExtent("Rotated");
    c->TextOut(100, 100, "Rotated");
    TRect ink = s.Ink();
    ASSERT_FALSE(IsRectEmpty(ink));
    if (orientation == 900) {  // reads upwards: the box lies above and right of the point
      EXPECT_GE(ink.Left, 99);
      EXPECT_LE(ink.Right, 100 + ext.cy + 1);
      EXPECT_GE(ink.Top, 100 - ext.cx - 1);
      EXPECT_LE(ink.Bottom, 101);
      EXPECT_GT(ink.Height(), ink.Width());
    } else if (orientation == -900) {  // reads downwards: below and left
      EXPECT_GE(ink.Left, 100 - ext.cy - 1);
      EXPECT_LE(ink.Right, 101);
      EXPECT_GE(ink.Top, 99);
      EXPECT_LE(ink.Bottom, 100 + ext.cx + 1);
    } else {  // 45 degrees: up and to the right
      EXPECT_GE(ink.Left, 99);
      EXPECT_LE(ink.Bottom, 100 + ext.cy);
      EXPECT_LT(ink.Top, 100 - ext.cx / 2);
    }
  }
}

TEST(CanvasPixels, PenStylesAndModes) {
  Surface s(60, 10);
  s.C()->Pen()->SetStyle(psDot);
  s.C()->MoveTo(0, 2);
  s.C()->LineTo(60, 2);
  int on = 0;
  for (int x = 0; x < 60; ++x) on += s.At(x, 2) == clBlack;
  EXPECT_GT(on, 20);
  EXPECT_LT(on, 40);
  // A dotted polyline of short steps, or the same steps drawn by LineTo, keeps its gaps: the
  // dots run on across its points.
  std::vector<TPoint> steps;
  for (int x = 0; x <= 60; x += 2) steps.push_back(TPoint(x, 4));
  s.C()->Polyline(steps);
  s.C()->MoveTo(0, 7);
  for (int x = 2; x <= 60; x += 2) s.C()->LineTo(x, 7);
  for (int y : {4, 7}) {
    on = 0;
    for (int x = 0; x < 60; ++x) on += s.At(x, y) == clBlack;
    EXPECT_GT(on, 20) << y;
    EXPECT_LT(on, 40) << y;
  }

  s.C()->Pen()->SetStyle(psSolid);
  s.C()->Pen()->SetMode(pmNop);
  s.C()->MoveTo(0, 9);
  s.C()->LineTo(60, 9);
  EXPECT_EQ(s.At(30, 9), clWhite);

  // A wide pen draws a band of its width.
  Surface w(40, 40);
  w.C()->Pen()->SetWidth(5);
  w.C()->MoveTo(5, 20);
  w.C()->LineTo(35, 20);
  EXPECT_NEAR(w.Ink().Height(), 5, 1);
}

TEST(CanvasPixels, MappingModeScalesLogicalUnits) {
  Surface s(60, 60);
  TCanvas* c = s.C();
  c->SetMapMode(MM_ANISOTROPIC);
  c->SetWindowExtEx(100, 100);
  c->SetViewportExtEx(50, 50);
  c->Brush()->SetColor(clBlack);
  c->FillRect(Rect(20, 20, 80, 60));
  EXPECT_EQ(Show(s.Ink()), Show(TRect(10, 10, 40, 30)));
  TPoint p[1] = {TPoint(40, 40)};
  c->LPtoDP(p, 1);
  EXPECT_EQ(p[0], TPoint(20, 20));
  EXPECT_EQ(c->Pixels(20, 20), clBlack);  // logical (20,20) is device (10,10)

  // Magnified, a one-pixel outline stays a closed curve.
  Surface m(60, 60);
  m.C()->SetMapMode(MM_ANISOTROPIC);
  m.C()->SetWindowExtEx(1, 1);
  m.C()->SetViewportExtEx(2, 2);
  m.C()->Brush()->SetStyle(bsClear);
  m.C()->Ellipse(2, 2, 27, 27);
  m.C()->Arc(2, 2, 27, 27, 0, 14, 30, 14);
  const std::vector<TColor> px = m.All();  // device pixels
  for (int x = 12; x < 44; ++x) {
    bool top = false, bottom = false;
    for (int y = 0; y < 29; ++y) top = top || px[y * 60 + x] != clWhite;
    for (int y = 29; y < 60; ++y) bottom = bottom || px[y * 60 + x] != clWhite;
    EXPECT_TRUE(top && bottom) << x;
  }
}

TEST(CanvasPixels, DrawAndCopyBitmaps) {
  TBitmap src(4, 3);
  src.Canvas()->Brush()->SetColor(clRed);
  src.Canvas()->FillRect(Rect(0, 0, 2, 3));
  Surface s;
  s.C()->Draw(10, 5, &src);
  EXPECT_EQ(Show(s.Ink()), Show(TRect(10, 5, 12, 8)));

  Surface t;
  t.C()->StretchDraw(Rect(0, 0, 8, 6), &src);
  EXPECT_EQ(Show(t.Ink()), Show(TRect(0, 0, 4, 6)));

  Surface u;
  u.C()->CopyRect(Rect(20, 20, 22, 23), src.Canvas(), Rect(0, 0, 2, 3));
  EXPECT_EQ(u.At(21, 22), clRed);

  // Transparent drawing leaves the key colour's pixels alone.
  src.SetTransparent(true);
  src.SetTransparentColor(clWhite);
  Surface v;
  v.C()->Brush()->SetColor(clBlue);
  v.C()->FillRect(Rect(0, 0, 40, 30));
  v.C()->Draw(0, 0, &src);
  EXPECT_EQ(v.At(0, 0), clRed);
  EXPECT_EQ(v.At(3, 0), clBlue);

  // Nothing happens for a missing or empty graphic.
  TBitmap empty;
  s.C()->Draw(0, 0, nullptr);
  s.C()->Draw(0, 0, &empty);
}

// Rectangles filled with a solid brush and with a pattern bitmap, inside, across the edges and
// across a clip rectangle: the pixels set straight into the image are the drawing engine's, and
// a plain brush of the pattern brush's colour after it fills plainly.
TEST(CanvasPixels, FillsSetDirectlyMatchTheDrawingEngine) {
  TBitmap pattern(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      pattern.Canvas()->SetPixels(x, y, ((x + 2 * y) % 3) == 0 ? clNavy : x > y ? clRed : clYellow);
  auto fills = [&](bool Direct, bool Clip) {
    const bool old = SetCanvasDirectRaster(Direct);
    Surface s(61, 47);
    s.C()->Brush()->SetColor(clWhite);
    s.C()->FillRect(TRect(0, 0, 61, 47));
    if (Clip) s.C()->IntersectClipRect(7, 5, 50, 39);
    for (int i = 0; i < 40; ++i) {
      const int x = (i * 17) % 70 - 9, y = (i * 11) % 55 - 7, w = i % 13, h = (i * 7) % 11;
      if (i % 3 == 0) {
        s.C()->Brush()->SetBitmap(&pattern);
      } else {
        s.C()->Brush()->SetBitmap(nullptr);
        s.C()->Brush()->SetStyle(bsSolid);
        s.C()->Brush()->SetColor(i % 2 ? clGreen : clPurple);
      }
      s.C()->FillRect(i % 4 == 1 ? TRect(x + w, y + h, x, y) : TRect(x, y, x + w, y + h));
    }
    s.C()->Brush()->SetBitmap(nullptr);
    SetCanvasDirectRaster(old);
    return s.All();
  };
  for (bool clip : {false, true}) {
    const auto reference = fills(false, clip);
    EXPECT_NE(std::count(reference.begin(), reference.end(), clNavy), 0);
    EXPECT_EQ(reference, fills(true, clip)) << "clip " << clip;
  }
}

// Ellipses of twenty sizes (more than the kept stamps) with and without pen and brush, inside,
// across the edges and across a clip rectangle, on 32- and 24-bit bitmaps: the pixels set
// straight into the image are the drawing engine's.
TEST(CanvasPixels, EllipsesSetDirectlyMatchTheDrawingEngine) {
  auto ellipses = [&](bool Direct, bool Clip, TPixelFormat Format) {
    const bool old = SetCanvasDirectRaster(Direct);
    Surface s(83, 61);
    s.Bmp.SetPixelFormat(Format);
    s.C()->Brush()->SetColor(clWhite);
    s.C()->FillRect(TRect(0, 0, 83, 61));
    if (Clip) s.C()->IntersectClipRect(9, 6, 70, 50);
    for (int i = 0; i < 60; ++i) {
      const int x = (i * 23) % 95 - 12, y = (i * 13) % 72 - 10, d = 1 + i % 20;
      s.C()->Pen()->SetStyle(i % 5 == 0 ? psClear : psSolid);
      s.C()->Pen()->SetColor(i % 2 ? clNavy : clMaroon);
      s.C()->Brush()->SetStyle(i % 7 == 0 ? bsClear : bsSolid);
      s.C()->Brush()->SetColor(static_cast<TColor>(0x102030 * (i % 6) + 0x0F));
      s.C()->Ellipse(x, y, x + d, y + d + i % 3);
    }
    SetCanvasDirectRaster(old);
    return s.All();
  };
  for (TPixelFormat format : {pfDevice, pf24bit})
    for (bool clip : {false, true}) {
      const auto reference = ellipses(false, clip, format);
      EXPECT_NE(std::count(reference.begin(), reference.end(), clNavy), 0);
      EXPECT_EQ(reference, ellipses(true, clip, format)) << "format " << format << " clip " << clip;
    }
}

}  // namespace

// A pixel set one at a time lands where the canvas' mapping puts it and nowhere outside its clip,
// with or without the painter's help (a plain image is written straight).
TEST(CanvasPixels, SetPixelsFollowsMappingAndClip) {
  for (bool direct : {true, false}) {
    const bool was = SetCanvasDirectRaster(direct);
    Surface s;
    s.C()->IntersectClipRect(5, 5, 20, 20);
    s.C()->SetPixels(6, 7, clRed);
    s.C()->SetPixels(3, 7, clRed);    // outside the clip
    s.C()->SetPixels(20, 20, clRed);  // the clip's far edge is outside it
    s.C()->SetWindowOrgEx(-10, -2);   // logical (0, 0) at device (10, 2)
    s.C()->SetPixels(1, 8, clBlue);
    SetCanvasDirectRaster(was);
    const std::vector<TColor> all = s.All();
    int red = 0, blue = 0;
    for (TColor c : all) red += c == clRed, blue += c == clBlue;
    EXPECT_EQ(all[7 * 40 + 6], clRed) << direct;
    EXPECT_EQ(red, 1) << direct;
    EXPECT_EQ(all[10 * 40 + 11], clBlue) << direct;
    EXPECT_EQ(blue, 1) << direct;
  }
}
