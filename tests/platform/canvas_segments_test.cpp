// Many separate lines in one call: the same pixels as MoveTo and LineTo drawn line by line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace {

constexpr int W = 160, H = 120;

struct PenCase {
  const char* Name;
  int Width;
  TPenStyle Style;
  TPenMode Mode;
};

// Lines of every kind: short slanted ones in all directions (as arrow heads are), long ones,
// horizontal and vertical ones both ways, lines of no length, inside and across the edges.
std::vector<TPoint> MixedLines(unsigned Seed) {
  std::mt19937 gen(Seed);
  std::uniform_int_distribution<int> x(-20, W + 20), y(-20, H + 20), shortLen(-9, 9), longLen(-90, 90), kind(0, 5);
  std::vector<TPoint> v;
  for (int i = 0; i < 400; ++i) {
    const TPoint a(x(gen), y(gen));
    TPoint b = a;
    switch (kind(gen)) {
      case 0:
        b = TPoint(a.X + shortLen(gen), a.Y + shortLen(gen));
        break;
      case 1:
        b = TPoint(a.X + longLen(gen), a.Y + longLen(gen));
        break;
      case 2:
        b = TPoint(a.X + longLen(gen), a.Y);
        break;
      case 3:
        b = TPoint(a.X, a.Y + longLen(gen));
        break;
      case 4:
        break;  // no length
      default:
        b = TPoint(a.X + shortLen(gen), a.Y + longLen(gen));
        break;
    }
    v.push_back(a);
    v.push_back(b);
  }
  return v;
}

std::vector<uint32_t> Pixels(TBitmap& B) {
  std::vector<uint32_t> px(static_cast<size_t>(W) * H);
  for (int r = 0; r < H; ++r) std::memcpy(&px[static_cast<size_t>(r) * W], B.ScanLine(r), W * 4);
  return px;
}

// Draws Lines with the pen of Case on a patterned background (so exclusive-or shows), one by one
// through the drawing engine (Batched false, no shortcut into the image) or in one call.
std::vector<uint32_t> Drawn(const std::vector<TPoint>& Lines, const PenCase& Case, bool Clip, bool Batched,
                            TPoint* PenPos = nullptr) {
  const bool old = SetCanvasDirectRaster(Batched);
  TBitmap b(W, H, pf32bit);
  TCanvas* c = b.Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clWhite);
  c->FillRect(TRect(0, 0, W, H));
  c->Brush()->SetColor(clYellow);
  c->FillRect(TRect(W / 3, 0, W / 2, H));
  if (Clip) c->IntersectClipRect(13, 9, 141, 107);
  c->Pen()->SetColor(clNavy);
  c->Pen()->SetWidth(Case.Width);
  c->Pen()->SetStyle(Case.Style);
  c->Pen()->SetMode(Case.Mode);
  if (Batched) {
    c->LineSegments(Lines);
  } else {
    for (size_t i = 0; i + 1 < Lines.size(); i += 2) {
      c->MoveTo(Lines[i].X, Lines[i].Y);
      c->LineTo(Lines[i + 1].X, Lines[i + 1].Y);
    }
  }
  if (PenPos) *PenPos = c->PenPos();
  SetCanvasDirectRaster(old);
  return Pixels(b);
}

int Differences(const std::vector<uint32_t>& A, const std::vector<uint32_t>& B) {
  int n = 0;
  for (size_t i = 0; i < A.size(); ++i) n += A[i] != B[i];
  return n;
}

}  // namespace

TEST(CanvasSegments, OneCallDrawsThePixelsOfLinesDrawnOneByOne) {
  const PenCase cases[] = {
      {"solid 1", 1, psSolid, pmCopy},
      {"solid 0", 0, psSolid, pmCopy},
      {"inside frame", 1, psInsideFrame, pmCopy},
      {"wide", 3, psSolid, pmCopy},
      {"dotted", 1, psDot, pmCopy},
      {"dash-dot", 1, psDashDot, pmCopy},
      {"xor", 1, psSolid, pmXor},
      {"not xor wide", 2, psSolid, pmNotXor},
      {"clear", 1, psClear, pmCopy},
  };
  for (const PenCase& pc : cases)
    for (bool clip : {false, true})
      for (unsigned seed : {1u, 2u}) {
        const auto lines = MixedLines(seed);
        TPoint posOne, posBatch;
        const auto one = Drawn(lines, pc, clip, false, &posOne);
        const auto batch = Drawn(lines, pc, clip, true, &posBatch);
        EXPECT_EQ(Differences(one, batch), 0) << pc.Name << " clip " << clip << " seed " << seed;
        EXPECT_EQ(posBatch, lines.back()) << pc.Name;
        EXPECT_EQ(posOne, posBatch) << pc.Name;
        if (pc.Style != psClear) {  // something was drawn: not two blank images compared
          EXPECT_NE(one, Drawn({}, pc, clip, false)) << pc.Name;
        }
      }
}

TEST(CanvasSegments, OddCountsEmptyCallsAndPathsBehaveAsLinesOneByOne) {
  const PenCase solid{"solid", 1, psSolid, pmCopy};
  // The odd last point is left alone; fewer than two points draw nothing.
  std::vector<TPoint> odd = {TPoint(5, 5), TPoint(60, 40), TPoint(100, 100)};
  EXPECT_EQ(Differences(Drawn(odd, solid, false, true), Drawn({TPoint(5, 5), TPoint(60, 40)}, solid, false, false)), 0);
  EXPECT_EQ(Differences(Drawn({TPoint(3, 3)}, solid, false, true), Drawn({}, solid, false, false)), 0);

  // Inside a path the lines become figures of the path, stroked later like MoveTo/LineTo ones.
  const auto lines = MixedLines(7);
  auto stroked = [&](bool Batched) {
    TBitmap b(W, H, pf32bit);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(TRect(0, 0, W, H));
    c->Pen()->SetColor(clMaroon);
    c->BeginPath();
    if (Batched) {
      c->LineSegments(lines);
    } else {
      for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        c->MoveTo(lines[i].X, lines[i].Y);
        c->LineTo(lines[i + 1].X, lines[i + 1].Y);
      }
    }
    c->EndPath();
    c->StrokePath();
    return Pixels(b);
  };
  EXPECT_EQ(Differences(stroked(false), stroked(true)), 0);
}

namespace {

// Long horizontal and vertical lines both ways, alone and joined into polylines, with a one-pixel
// pen of Style on a bitmap of Format (through a clip on every other call).
std::vector<uint32_t> LongStraightLines(bool Pieces, TPixelFormat Format, TPenStyle Style) {
  const bool old = SetCanvasDirectRaster(Pieces);
  constexpr int BW = 700, BH = 500;
  TBitmap b(BW, BH, Format);
  TCanvas* c = b.Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(TRect(0, 0, BW, BH));
  c->Pen()->SetColor(clTeal);
  c->Pen()->SetWidth(1);
  if (Style == psUserStyle) c->Pen()->SetUserStyle({2, 5, 1, 3});
  c->Pen()->SetStyle(Style);
  // Lines wholly inside (each way, odd and even lengths), then lines anywhere, crossing the edges.
  for (int k = 0; k < 12; ++k) {
    const int l = 65 + 47 * k, sign = k % 2 ? -1 : 1;
    c->MoveTo(k % 4 < 2 ? 20 + (sign < 0) * l : 30 + 9 * k, k % 4 < 2 ? 300 + 7 * k : 20 + (sign < 0) * 400);
    if (k % 4 < 2)
      c->LineTo(20 + (sign < 0) * l + sign * l, 300 + 7 * k);
    else
      c->LineTo(30 + 9 * k, 20 + (sign < 0) * 400 + sign * std::min(l, 400));
  }
  std::mt19937 gen(11);
  std::uniform_int_distribution<int> x(-40, BW + 40), y(-40, BH + 40), len(-800, 800);
  for (int i = 0; i < 60; ++i) {
    if (i == 30) c->IntersectClipRect(17, 23, BW - 31, BH - 5);
    const int x0 = x(gen), y0 = y(gen), l = len(gen);
    c->MoveTo(x0, y0);
    if (i % 2)
      c->LineTo(x0 + l, y0);
    else
      c->LineTo(x0, y0 + l);
  }
  // A stair path: dashes run on across the corners.
  std::vector<TPoint> stairs;
  for (int k = 0; k < 8; ++k) {
    stairs.push_back(TPoint(20 + 80 * k, 40 + 50 * k));
    stairs.push_back(TPoint(100 + 80 * k, 40 + 50 * k));
  }
  c->Polyline(stairs);
  std::vector<uint32_t> px;
  TBitmap copy(BW, BH, pf32bit);
  copy.Canvas()->Draw(0, 0, &b);
  for (int r = 0; r < BH; ++r) {
    const auto* line = static_cast<const uint32_t*>(copy.ScanLine(r));
    px.insert(px.end(), line, line + BW);
  }
  SetCanvasDirectRaster(old);
  return px;
}

}  // namespace

TEST(CanvasSegments, LongStraightLinesDrawnInPiecesKeepEveryPixelAndDash) {
  for (TPixelFormat f : {pf24bit, pf32bit})
    for (TPenStyle st : {psSolid, psDot, psDash, psDashDot, psDashDotDot, psAlternate, psUserStyle}) {
      const auto whole = LongStraightLines(false, f, st);
      EXPECT_EQ(Differences(whole, LongStraightLines(true, f, st)), 0) << "format " << f << " style " << st;
      EXPECT_GT(std::count_if(whole.begin(), whole.end(), [&](uint32_t v) { return v != whole[0]; }), 2000);  // drawn
    }
}
