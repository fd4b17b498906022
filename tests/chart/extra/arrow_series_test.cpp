// Arrows: heads and directions in each quadrant, clicks on the shaft, ranges, sizes, streaming.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "chart/engine/chart_errors.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/arrow_series.h"
#include "chart/engine/graph_canvas.h"
#include "platform/bitmap.h"
#include "platform/streaming.h"
#include "platform/sysutils.h"
#include "chart/series/testkit/series_testkit.h"

namespace {
struct ArrowChart : TSeriesChart {
  TArrowSeries* S;
  ArrowChart() {
    S = Add<TArrowSeries>();
    S->SetSeriesColor(clRed);
    S->XValues()->SetDateTime(false);
    S->EndXValues()->SetDateTime(false);
    Axes(-10, 10, -10, 10);
  }
  // A red pixel within one pixel of (X, Y).
  bool RedNear(double X, double Y) const {
    const int x = static_cast<int>(std::lround(X)), y = static_cast<int>(std::lround(Y));
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (At(x + dx, y + dy) == clRed) return true;
    return false;
  }
};
}  // namespace

TEST(ArrowSeries, HeadsPointAlongTheShaftInEveryDirection) {
  const int dirs[][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
  for (const auto& d : dirs) {
    ArrowChart c;
    c.S->SetArrowWidth(16);
    c.S->SetArrowHeight(12);
    c.S->AddArrowSegment(0, 0, 8 * d[0], 8 * d[1]);
    c.Render();
    const double sx = c.X(0), sy = c.Y(0), ex = c.X(8 * d[0]), ey = c.Y(8 * d[1]);
    const double len = std::hypot(ex - sx, ey - sy), ux = (ex - sx) / len, uy = (ey - sy) / len;
    const double bx = ex - 12 * ux, by = ey - 12 * uy;  // the head's base on the shaft
    SCOPED_TRACE(testing::Message() << d[0] << "," << d[1]);
    EXPECT_TRUE(c.RedNear((sx + ex) / 2, (sy + ey) / 2));  // shaft
    EXPECT_TRUE(c.RedNear(bx - 8 * uy, by + 8 * ux));      // both base corners of the open head
    EXPECT_TRUE(c.RedNear(bx + 8 * uy, by - 8 * ux));
    // Nothing where a head pointing the other way would lie.
    const double fx = sx + 12 * ux, fy = sy + 12 * uy;
    EXPECT_FALSE(c.RedNear(fx - 8 * uy, fy + 8 * ux));
    EXPECT_FALSE(c.RedNear(ex + 6 * ux, ey + 6 * uy));  // stops at the end
  }
}

TEST(ArrowSeries, ShortArrowsGetAHeadAsLongAsThemselvesAndEmptyOnesDrawNothing) {
  ArrowChart c;
  c.S->SetArrowWidth(20);
  c.S->SetArrowHeight(400);
  c.S->AddArrowSegment(-5, 0, 5, 0);
  c.S->AddArrowSegment(0, 5, 0, 5);
  c.Render();
  // The head's base lies at the start: its corners stand 10 pixels off the shaft there.
  EXPECT_TRUE(c.RedNear(c.X(-5), c.Y(0) - 10));
  EXPECT_TRUE(c.RedNear(c.X(-5), c.Y(0) + 10));
  EXPECT_EQ(c.Count(clRed, TRect(c.X(0) - 4, c.Y(5) - 4, c.X(0) + 5, c.Y(5) + 5)), 0);
  // The empty arrow still answers a click on its point.
  EXPECT_EQ(c.S->PointIndexAt(c.X(0), c.Y(5)), 1);
}

TEST(ArrowSeries, ClicksFindTheShaftAndTheLowestIndexWins) {
  ArrowChart c;
  c.S->AddArrowSegment(-8, -8, 8, 8);
  c.S->AddArrowSegment(-8, 8, 8, -8);
  c.S->AddArrowSegment(-9, 0, 0, 0);
  c.Render();
  EXPECT_EQ(c.S->PointIndexAt(c.X(0), c.Y(0)), 0);  // the crossing: the lower index (start X -9 is index 0)
  EXPECT_EQ(c.S->PointIndexAt(c.X(-4), c.Y(0)), 0);
  EXPECT_EQ(c.S->PointIndexAt(c.X(4), c.Y(-4)), 2);
  EXPECT_EQ(c.S->PointIndexAt(c.X(4), c.Y(4) + 2), 1);  // within the pen width plus a pixel
  EXPECT_EQ(c.S->PointIndexAt(c.X(4), c.Y(-8)), -1);
}

TEST(ArrowSeries, StoresByStartXAndKeepsEndsInTheAxisRange) {
  TArrowSeries s(nullptr);
  EXPECT_TRUE(s.StartXValues()->DateTime());
  EXPECT_TRUE(s.EndXValues()->DateTime());
  s.AddArrowSegment(3, 0, 30, 1);
  s.AddArrowSegment(1, 0, -20, 2);
  s.AddArrowSegment(2, 5, 0, -7);
  const double ex[] = {-20, 0, 30};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(s.StartXValues()->Value(i), i + 1);
    EXPECT_EQ(s.EndXValues()->Value(i), ex[i]);
  }
  EXPECT_EQ(s.HighestX(), 30);
  EXPECT_EQ(s.LowestX(), -20);
  EXPECT_EQ(s.HighestY(), 5);
  EXPECT_EQ(s.LowestY(), -7);
  s.OnBeforeAdd = [](TChartSeries*) { return false; };
  EXPECT_EQ(s.AddArrowSegment(9, 9, 9, 9), -1);
  EXPECT_EQ(s.EndYValues()->Count(), 3);
}

TEST(ArrowSeries, SizesMustBePositiveAndEverythingStreams) {
  TArrowSeries s(nullptr);
  for (int bad : {0, -3}) {
    EXPECT_THROW(s.SetArrowWidth(bad), ChartException);
    EXPECT_THROW(s.SetArrowHeight(bad), ChartException);
  }
  EXPECT_EQ(s.ArrowWidth(), 4);
  EXPECT_EQ(s.ArrowHeight(), 4);
  s.SetArrowWidth(9);
  s.SetArrowPercent(80);
  s.XValues()->SetDateTime(false);
  s.AddArrowSegment(1, 2, 3, 4);
  s.AddArrowSegment(5, 6, 7, 8);
  TArrowSeries r(nullptr);
  TextToComponent(ComponentToText(&s), &r);
  EXPECT_EQ(r.ArrowWidth(), 9);
  EXPECT_EQ(r.ArrowPercent(), 80);
  EXPECT_FALSE(r.StartXValues()->DateTime());
  ASSERT_EQ(r.PointCount(), 2);
  EXPECT_EQ(r.EndXValues()->Value(1), 7);
  EXPECT_EQ(r.EndYValues()->Value(0), 4);
}

TEST(ArrowSeries, ThreeDimensionalChartsFillTheArrowsAndTheGridPlane) {
  ArrowChart c;
  c.Chart.SetView3D(true);
  c.S->SetArrowWidth(20);
  c.S->SetArrowHeight(20);
  c.S->SetArrowPercent(100);
  c.S->AddArrowSegment(-8, 0, 8, 0);
  c.Render();
  // Filled: the body is as wide as the head, so red stands off the shaft near the start too.
  int red = 0;
  for (int y = -6; y <= 6; ++y) red += c.RedNear(c.X(-6), c.Y(0) + y);
  EXPECT_GE(red, 8);
}

namespace {
// A 2D canvas on a white bitmap.
struct ArrowSurface {
  ArrowSurface() : bmp(300, 300, pf24bit) {
    canvas.SetBufferedDisplay(false);
    canvas.InitWindow(bmp.Canvas(), nullptr, clWhite, false, TRect(0, 0, 300, 300));
    canvas.ResetState();
    canvas.Pen->SetColor(clBlack);
    canvas.Brush->SetColor(clRed);
  }
  TBitmap bmp;
  TGraphCanvas3D canvas;
};

// The arrow as drawn before, rounding through the library (halves to even): the reference.
void ReferenceArrow(TGraphCanvas3D& C, bool Filled, TPoint F, TPoint T, int HW, int HH, double Percent) {
  const double dx = double(T.X) - F.X, dy = double(F.Y) - T.Y, L = std::sqrt(dx * dx + dy * dy);
  if (L == 0) return;
  const int head = static_cast<int>(std::min<int64_t>(HH, Round(L)));
  const double s = dy / L, c = dx / L;
  auto back = [&](double uu, double vv) {
    return TPoint(static_cast<int>(Round(uu * c + vv * s)), static_cast<int>(Round(-uu * s + vv * c)));
  };
  const double uT = T.X * c - T.Y * s, vT = T.X * s + T.Y * c, uF = F.X * c - F.Y * s;
  const TPoint h1 = back(uT - head, vT - HW / 2.0), h2 = back(uT - head, vT + HW / 2.0);
  if (!Filled) {
    C.LineWithZ(F.X, F.Y, T.X, T.Y, 0);
    C.LineWithZ(T.X, T.Y, h2.X, h2.Y, 0);
    C.LineWithZ(T.X, T.Y, h1.X, h1.Y, 0);
    return;
  }
  const double w = HW * Percent * 0.005;
  const TPoint pts[7] = {back(uF, vT + w),       back(uF, vT - w), back(uT - head, vT - w), h1, T, h2,
                         back(uT - head, vT + w)};
  C.PolygonWithZ(pts, 0);
}
}  // namespace

TEST(ArrowSeries, CanvasArrowsKeepTheirPixels) {
  // Arrows in every direction, of every length up to past the head, with odd and even heads.
  for (bool filled : {false, true}) {
    ArrowSurface fast, reference;
    for (int i = 0; i < 400; ++i) {
      const TPoint f(20 + (i * 37) % 260, 20 + (i * 53) % 260);
      const TPoint t(f.X + (i * 7) % 41 - 20, f.Y + (i * 11) % 37 - 18);
      const int hw = 3 + i % 9, hh = 2 + i % 7;
      const double percent = 20 + (i * 13) % 81;
      fast.canvas.Arrow3D(filled, f, t, hw, hh, 0, percent);
      ReferenceArrow(reference.canvas, filled, f, t, hw, hh, percent);
    }
    int differ = 0, inked = 0;
    for (int y = 0; y < 300; ++y)
      for (int x = 0; x < 300; ++x) {
        const TColor a = fast.bmp.Canvas()->Pixels(x, y), b = reference.bmp.Canvas()->Pixels(x, y);
        differ += a != b;
        inked += b != clWhite;
      }
    EXPECT_EQ(differ, 0) << filled;
    EXPECT_GT(inked, 3000) << filled;
  }
}

TEST(ArrowSeries, EachArrowKeepsItsColourAndAPenChangeShowsAtOnce) {
  ArrowChart c;
  c.S->AddArrowSegment(-8, 6, -2, 6, "", clRed);
  c.S->AddArrowSegment(-8, 0, -2, 0, "", clBlue);
  c.S->AddArrowSegment(-8, -6, -2, -6, "", clRed);
  c.S->AddArrowSegment(2, 0, 8, 0, "", clRed);
  c.Render();
  EXPECT_EQ(c.At(c.X(-5), c.Y(6)), clRed);
  EXPECT_EQ(c.At(c.X(-5), c.Y(0)), clBlue);
  EXPECT_EQ(c.At(c.X(-5), c.Y(-6)), clRed);
  // A wider pen of the series is used by the next drawing, also for arrows of an unchanged colour.
  c.S->Pointer()->Pen()->SetWidth(5);
  c.Render();
  EXPECT_EQ(c.At(c.X(5), c.Y(0) - 2), clRed);
  EXPECT_EQ(c.At(c.X(-5), c.Y(6) + 2), clRed);
}

namespace {
// Draws every arrow by itself (no gathering of lines), as the series did before.
struct ArrowsOneByOne : TArrowSeries {
  using TArrowSeries::TArrowSeries;
  void DrawVisiblePoints() override { TPointSeries::DrawVisiblePoints(); }
};

template <class Series>
std::vector<TColor> ArrowPixels(int PenWidth, bool Direct) {
  const bool old = SetCanvasDirectRaster(Direct);
  TSeriesChart c;
  auto* s = c.Add<Series>();
  s->XValues()->SetDateTime(false);
  s->EndXValues()->SetDateTime(false);
  s->Pointer()->Pen()->SetWidth(PenWidth);
  c.Axes(-12, 12, -12, 12);
  // Runs of one colour and single arrows of another, crossing each other (the later colour must
  // stay on top), straight and slanted, short and long, some of no length.
  for (int i = 0; i < 300; ++i) {
    const double x = (i * 37) % 21 - 10, y = (i * 53) % 21 - 10;
    const double dx = (i * 7) % 9 - 4, dy = (i * 11) % 7 - 3;
    const TColor colour = (i / 5) % 3 == 0 ? clRed : (i % 4 == 0 ? clBlue : clGreen);
    s->AddArrowSegment(x, y, x + dx * (i % 3 == 0 ? 0.2 : 1), y + dy, "", colour);
  }
  c.Render();
  SetCanvasDirectRaster(old);
  std::vector<TColor> px;
  for (int y = 0; y < c.Image->Height(); ++y)
    for (int x = 0; x < c.Image->Width(); ++x) px.push_back(c.At(x, y));
  return px;
}
}  // namespace

TEST(ArrowSeries, GatheredLinesDrawTheSamePixelsAsArrowByArrow) {
  for (int width : {1, 3}) {
    const auto reference = ArrowPixels<ArrowsOneByOne>(width, false);
    const auto gathered = ArrowPixels<TArrowSeries>(width, true);
    ASSERT_EQ(reference.size(), gathered.size());
    int differ = 0, coloured = 0;
    for (size_t i = 0; i < reference.size(); ++i) {
      differ += reference[i] != gathered[i];
      coloured += reference[i] == clRed || reference[i] == clBlue || reference[i] == clGreen;
    }
    EXPECT_EQ(differ, 0) << "pen width " << width;
    EXPECT_GT(coloured, 2000) << "pen width " << width;
  }
}
