#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

#include "chart/engine/pixel_spans.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace {

constexpr int W = 160, H = 120;

// Draws Points with a one-pixel pen into a fresh white bitmap and returns its pixels.
std::vector<uint32_t> Drawn(const std::vector<TPoint>& Points, bool SegmentBySegment) {
  TBitmap b(W, H);
  TCanvas* c = b.Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clWhite);
  c->FillRect(TRect(0, 0, W, H));
  c->Pen()->SetColor(clBlack);
  c->Pen()->SetWidth(1);
  if (SegmentBySegment) {
    c->MoveTo(Points[0].X, Points[0].Y);
    for (size_t i = 1; i < Points.size(); ++i) c->LineTo(Points[i].X, Points[i].Y);
  } else {
    c->Polyline(Points);
  }
  std::vector<uint32_t> px(static_cast<size_t>(W) * H);
  for (int y = 0; y < H; ++y) std::memcpy(&px[static_cast<size_t>(y) * W], b.ScanLine(y), W * 4);
  return px;
}

int Differences(const std::vector<uint32_t>& A, const std::vector<uint32_t>& B) {
  int n = 0;
  for (size_t i = 0; i < A.size(); ++i) n += A[i] != B[i];
  return n;
}

// A dense curve: many points per column, wandering up and down, as a long series gives.
std::vector<TPoint> DenseWalk(unsigned Seed, int PerColumn, int Columns) {
  std::mt19937 gen(Seed);
  std::uniform_int_distribution<int> step(-7, 7), repeat(0, 5);
  std::vector<TPoint> v;
  int y = H / 2;
  for (int x = 5; x < 5 + Columns; ++x)
    for (int k = 0; k < PerColumn; ++k) {
      y = std::clamp(y + (repeat(gen) == 0 ? 0 : step(gen)), 2, H - 3);
      v.push_back(TPoint(x, y));
    }
  return v;
}

}  // namespace

TEST(PixelSpans, MergedPolylineDrawsTheSamePixels) {
  for (unsigned seed = 1; seed <= 12; ++seed) {
    const std::vector<TPoint> pts = DenseWalk(seed, 2 + static_cast<int>(seed % 9), 140);
    std::vector<TPoint> merged;
    MergeColumnSpans(pts, merged);
    ASSERT_FALSE(merged.empty());
    EXPECT_EQ(merged.front(), pts.front());
    EXPECT_EQ(merged.back(), pts.back());
    const auto reference = Drawn(pts, true);
    EXPECT_EQ(Differences(reference, Drawn(merged, true)), 0) << "seed " << seed;
    EXPECT_EQ(Differences(reference, Drawn(merged, false)), 0) << "seed " << seed;
    EXPECT_EQ(Differences(reference, Drawn(pts, false)), 0) << "seed " << seed;
  }
}

TEST(PixelSpans, EndsOfARunKeepTheirPixels) {
  // Runs whose extremes are reached only at their end, repeated points and flat runs: the row
  // that a walk only arrives at is left out, as the original lines leave it out.
  const std::vector<std::vector<TPoint>> cases = {
      {{10, 50}, {20, 40}, {20, 45}, {20, 41}, {20, 46}, {20, 44}, {20, 60}, {30, 70}},
      {{10, 50}, {20, 40}, {20, 40}, {20, 40}, {20, 40}, {20, 40}, {30, 45}},
      {{20, 40}, {20, 30}, {20, 35}, {20, 31}, {20, 36}, {20, 20}},
      {{20, 40}, {20, 50}, {20, 30}, {20, 50}, {20, 30}, {20, 50}, {21, 50}},
      {{20, 40}, {20, 41}, {20, 40}, {20, 41}, {20, 40}, {20, 41}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    std::vector<TPoint> merged;
    MergeColumnSpans(cases[i], merged);
    EXPECT_LE(merged.size(), cases[i].size());
    EXPECT_EQ(Differences(Drawn(cases[i], true), Drawn(merged, true)), 0) << "case " << i;
  }
}

TEST(PixelSpans, ThinsLongColumnsToFewPoints) {
  const std::vector<TPoint> pts = DenseWalk(99, 500, 20);
  std::vector<TPoint> merged;
  MergeColumnSpans(pts, merged);
  EXPECT_LE(merged.size(), 20u * 4);
  std::vector<TPoint> none;
  MergeColumnSpans({}, none);
  EXPECT_TRUE(none.empty());
}

TEST(PixelSpans, BlockThinningEqualsPointByPointWithoutRepeats) {
  // AddBlock leaves out repeated points; the thinned result is that of the list without them,
  // however the points are cut into blocks.
  // Short columns, and long ones that are scanned a stretch at a time.
  for (unsigned seed = 1; seed <= 10; ++seed) {
    const int perColumn = seed <= 6 ? 1 + static_cast<int>(seed * 7 % 40) : 60 + 70 * static_cast<int>(seed - 7);
    const std::vector<TPoint> pts = DenseWalk(seed, perColumn, seed <= 6 ? 60 : 12);
    std::vector<TPoint> unique;
    for (const TPoint& p : pts)
      if (unique.empty() || !(unique.back() == p)) unique.push_back(p);
    std::vector<TPoint> want;
    ThinColumnRuns(unique.data(), static_cast<int>(unique.size()), want);
    std::vector<int32_t> xs, ys;
    for (const TPoint& p : pts) {
      xs.push_back(p.X);
      ys.push_back(p.Y);
    }
    for (size_t block : {size_t{1}, size_t{3}, size_t{64}, size_t{2048}, pts.size()}) {
      std::vector<TPoint> got;
      TColumnThinner t(got);
      for (size_t i = 0; i < xs.size(); i += block)
        t.AddBlock(xs.data() + i, ys.data() + i, std::min(block, xs.size() - i));
      t.Finish();
      EXPECT_EQ(got, want) << "seed " << seed << " block " << block;
    }
    EXPECT_EQ(Differences(Drawn(pts, true), Drawn(want, true)), 0) << "seed " << seed;
  }
}

namespace {

// Ellipses of every small size at places inside, across the edge of the bitmap and across a clip
// rectangle, with a one-pixel pen or none and a solid brush or none.
std::vector<uint32_t> Ellipses(bool Direct, bool Clip, TPenStyle Pen, TBrushStyle Brush) {
  const bool old = SetCanvasDirectRaster(Direct);
  TBitmap b(W, H);
  TCanvas* c = b.Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clWhite);
  c->FillRect(TRect(0, 0, W, H));
  if (Clip) c->IntersectClipRect(13, 9, 141, 107);
  c->Pen()->SetStyle(Pen);
  c->Pen()->SetWidth(1);
  int i = 0;
  for (int w = 0; w <= 13; ++w)
    for (int h = 0; h <= 11; ++h, ++i) {
      const int x = (i * 37) % (W + 10) - 8, y = (i * 23) % (H + 10) - 6;
      c->Pen()->SetColor(i % 2 ? clNavy : clRed);
      c->Brush()->SetStyle(Brush);
      c->Brush()->SetColor(i % 3 ? clLime : clYellow);
      c->Ellipse(x, y, x + w, y + h);
      c->Ellipse(x + w + 1, y + h, x + 1, y);  // corners given the other way round
    }
  std::vector<uint32_t> px(static_cast<size_t>(W) * H);
  for (int y = 0; y < H; ++y) std::memcpy(&px[static_cast<size_t>(y) * W], b.ScanLine(y), W * 4);
  SetCanvasDirectRaster(old);
  return px;
}

}  // namespace

TEST(PixelSpans, EllipsesSetDirectlyMatchTheDrawingEngine) {
  for (bool clip : {false, true})
    for (TPenStyle pen : {psSolid, psClear})
      for (TBrushStyle brush : {bsSolid, bsClear}) {
        const auto reference = Ellipses(false, clip, pen, brush);
        EXPECT_EQ(Differences(reference, Ellipses(true, clip, pen, brush)), 0)
            << "clip " << clip << " pen " << pen << " brush " << brush;
      }
  // Something was drawn at all (the comparison is not between two blank images).
  const auto drawn = Ellipses(true, false, psSolid, bsSolid);
  EXPECT_NE(std::adjacent_find(drawn.begin(), drawn.end(), std::not_equal_to<>()), drawn.end());
}

namespace {

// Horizontal and vertical lines both ways (with slanted ones between them), inside, across the
// bitmap's edges and across a clip rectangle.
std::vector<uint32_t> StraightLines(bool Direct, bool Clip) {
  const bool old = SetCanvasDirectRaster(Direct);
  TBitmap b(W, H);
  TCanvas* c = b.Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clWhite);
  c->FillRect(TRect(0, 0, W, H));
  if (Clip) c->IntersectClipRect(13, 9, 141, 107);
  c->Pen()->SetWidth(1);
  std::mt19937 gen(5);
  std::uniform_int_distribution<int> x(-20, W + 20), y(-20, H + 20), len(-60, 60);
  for (int i = 0; i < 300; ++i) {
    c->Pen()->SetColor(i % 3 == 0 ? clNavy : i % 3 == 1 ? clRed : clGreen);
    const int x0 = x(gen), y0 = y(gen), l = len(gen);
    c->MoveTo(x0, y0);
    if (i % 5 == 4)
      c->LineTo(x0 + l, y0 + l / 3);
    else if (i % 2)
      c->LineTo(x0 + l, y0);
    else
      c->LineTo(x0, y0 + l);
  }
  std::vector<uint32_t> px(static_cast<size_t>(W) * H);
  for (int r = 0; r < H; ++r) std::memcpy(&px[static_cast<size_t>(r) * W], b.ScanLine(r), W * 4);
  SetCanvasDirectRaster(old);
  return px;
}

}  // namespace

TEST(PixelSpans, StraightLinesSetDirectlyMatchTheDrawingEngine) {
  for (bool clip : {false, true}) {
    const auto reference = StraightLines(false, clip);
    EXPECT_NE(std::adjacent_find(reference.begin(), reference.end(), std::not_equal_to<>()), reference.end());
    EXPECT_EQ(Differences(reference, StraightLines(true, clip)), 0) << "clip " << clip;
  }
}
