#include <gtest/gtest.h>

#include <cmath>

#include "chart/series/fast_line_series.h"
#include "chart/engine/graph_canvas.h"
#include "chart/series/line_series.h"
#include "chart/series/testkit/series_testkit.h"

namespace {

// Red pixels in the column band [X0, X1) over the whole plot height.
int RedInColumns(TSeriesChart& C, int X0, int X1) {
  const TRect r = C.Chart.ChartRect;
  return C.Count(clRed, TRect(X0, r.Top, X1, r.Bottom + 1));
}

}  // namespace

TEST(LineSeries, JoinsPointsAndLeavesNullPointsOut) {
  TSeriesChart c;
  auto* s = c.Add<TLineSeries>();
  s->SetSeriesColor(clRed);
  for (int i = 0; i <= 10; ++i)
    if (i == 5)
      s->AddXY(i, 50, "", clNone);
    else
      s->AddXY(i, 50);
  c.Axes(0, 10, 0, 100);
  c.Render();
  const int y = c.Y(50);
  // Drawn between 1 and 3 (both sides of the pixel row), missing on both sides of the null point.
  EXPECT_EQ(c.At((c.X(1) + c.X(2)) / 2, y), clRed);
  EXPECT_EQ(RedInColumns(c, c.X(4) + 1, c.X(6) - 1), 0);
  EXPECT_EQ(c.At((c.X(6) + c.X(7)) / 2, y), clRed);
}

TEST(LineSeries, PointersMarkEveryPointButNullOnes) {
  TSeriesChart c;
  auto* s = c.Add<TPointSeries>();
  s->SetSeriesColor(clRed);
  s->Pointer()->SetDraw3D(false);
  s->Pointer()->Pen()->SetVisible(false);
  s->AddXY(1, 20);
  s->AddXY(2, 40, "", clNone);
  s->AddXY(3, 60);
  c.Axes(0, 4, 0, 80);
  c.Render();
  EXPECT_EQ(c.At(c.X(1), c.Y(20)), clRed);
  EXPECT_EQ(c.At(c.X(3), c.Y(60)), clRed);
  EXPECT_EQ(c.Count(clRed, TRect(c.X(2) - 6, c.Y(40) - 6, c.X(2) + 7, c.Y(40) + 7)), 0);
  // A point series draws no line between its points.
  EXPECT_EQ(c.At((c.X(1) + c.X(3)) / 2, (c.Y(20) + c.Y(60)) / 2), clWhite);
}

TEST(LineSeries, StairsRunThenRise) {
  for (bool inverted : {false, true}) {
    TSeriesChart c;
    auto* s = c.Add<TLineSeries>();
    s->SetSeriesColor(clRed);
    s->SetStairs(true);
    s->SetInvertedStairs(inverted);
    s->AddXY(1, 20);
    s->AddXY(3, 60);
    c.Axes(0, 4, 0, 80);
    c.Render();
    const int x0 = c.X(1), x1 = c.X(3), y0 = c.Y(20), y1 = c.Y(60);
    // Normal: a tread at the first height, then a riser at the second X; inverted the reverse.
    EXPECT_EQ(c.At((x0 + x1) / 2, inverted ? y1 : y0), clRed) << inverted;
    EXPECT_NE(c.At((x0 + x1) / 2, inverted ? y0 : y1), clRed) << inverted;
    EXPECT_EQ(c.At(inverted ? x0 : x1, (y0 + y1) / 2), clRed) << inverted;
    // Nothing on the diagonal.
    EXPECT_NE(c.At((x0 + x1) / 2, (y0 + y1) / 2), clRed) << inverted;
  }
}

TEST(LineSeries, FirstVisiblePointEntersFromTheLeftEdgeAtTheInterpolatedHeight) {
  TSeriesChart c;
  auto* s = c.Add<TLineSeries>();
  s->SetSeriesColor(clRed);
  s->AddXY(0, 0);
  s->AddXY(10, 100);
  s->AddXY(20, 100);
  c.Axes(5, 20, 0, 100);
  c.Render();
  // The segment enters at x = 5, y = 50 (the value under the left edge).
  const int x = c.Chart.ChartRect.Left + 2;
  EXPECT_EQ(c.Count(clRed, TRect(x, c.Y(50) - 4, x + 1, c.Y(50) + 4)), 1);
}

TEST(AreaSeries, StackedHundredPercentPutsTheLastSeriesOnTop) {
  TSeriesChart c;
  auto* a = c.Add<TAreaSeries>();
  auto* b = c.Add<TAreaSeries>();
  a->AddXY(0, 1);
  b->AddXY(0, 3);
  a->AddXY(1, 0);
  b->AddXY(1, 0);
  a->SetMultiArea(maStacked100);
  EXPECT_EQ(b->Stacked(), cssStack100);  // setting one stacks every area series of the chart
  c.Render();
  EXPECT_EQ(a->HighestY(), 100);
  EXPECT_EQ(a->LowestY(), 0);
  EXPECT_EQ(a->ScreenYAt(0), c.Y(25));
  EXPECT_EQ(b->ScreenYAt(0), c.Y(100));
  EXPECT_EQ(b->GetOriginPos(0), c.Y(25));
  // An index where every value is 0 puts the points at the axis' end.
  EXPECT_EQ(b->ScreenYAt(1), c.Chart.LeftAxis()->EndPixel);
}

TEST(AreaSeries, StackedFillsTheBandBetweenTheSeries) {
  TSeriesChart c;
  auto* a = c.Add<TAreaSeries>();
  auto* b = c.Add<TAreaSeries>();
  a->SetSeriesColor(clRed);
  b->SetSeriesColor(clBlue);
  a->LinePen()->SetVisible(false);
  b->LinePen()->SetVisible(false);
  for (int i = 0; i <= 4; ++i) {
    a->AddXY(i, 10);
    b->AddXY(i, 20);
  }
  a->SetMultiArea(maStacked);
  c.Axes(0, 4, 0, 40);
  c.Render();
  const int x = (c.X(2) + c.X(3)) / 2;
  EXPECT_EQ(c.At(x, c.Y(5)), clRed);
  EXPECT_EQ(c.At(x, c.Y(20)), clBlue);  // 10 .. 30 is the second series
  EXPECT_EQ(c.At(x, c.Y(35)), clWhite);
  // A negative value stacks only on the negative values below it.
  a->AddXY(5, -4);
  b->AddXY(5, -6);
  EXPECT_EQ(b->PointOrigin(5, false), -4);
  EXPECT_EQ(b->PointOrigin(4, false), 10);
}

TEST(LineSeries, ClicksFindPointersAndSegments) {
  TSeriesChart c;
  auto* line = c.Add<TLineSeries>();
  auto* points = c.Add<TPointSeries>();
  for (int i = 0; i <= 4; ++i) {
    line->AddXY(i, 10 * i);
    points->AddXY(i, 40 - 10 * i);
  }
  line->Pointer()->SetVisible(true);
  c.Axes(0, 4, 0, 40);
  c.Render();
  const int px = line->ScreenXAt(2), py = line->ScreenYAt(2);
  const int hs = line->Pointer()->HorizSize();
  EXPECT_EQ(line->PointIndexAt(px + hs - 1, py), 2);
  int hit = -1;
  line->OnClickPointer = [&](TChartSeries*, int i, int, int) { hit = i; };
  line->PointIndexAt(px, py + 1);
  EXPECT_EQ(hit, 2);
  // Exactly HorizSize away is off the pointer, but still on the segment 2 -> 3 (a line series).
  const int mx = (line->ScreenXAt(2) + line->ScreenXAt(3)) / 2;
  int my = line->ScreenYAt(2);
  for (int y = line->ScreenYAt(3); y <= line->ScreenYAt(2); ++y)
    if (PointInLineCoords(TPoint(mx, y), line->ScreenXAt(2), line->ScreenYAt(2), line->ScreenXAt(3),
                          line->ScreenYAt(3)))
      my = y;
  EXPECT_EQ(line->PointIndexAt(mx, my), 2);
  // The point series never reports a segment.
  const int qx = (points->ScreenXAt(1) + points->ScreenXAt(2)) / 2;
  const int qy = (points->ScreenYAt(1) + points->ScreenYAt(2)) / 2;
  EXPECT_EQ(points->PointIndexAt(qx, qy), -1);
  EXPECT_EQ(points->PointIndexAt(points->ScreenXAt(1) + 3, points->ScreenYAt(1) - 3), 1);
  EXPECT_EQ(points->PointIndexAt(points->ScreenXAt(1) + 4, points->ScreenYAt(1)), -1);
}

TEST(LineSeries, OutlinePassWidensTheLine) {
  TSeriesChart c;
  auto* s = c.Add<TLineSeries>();
  s->SetSeriesColor(clRed);
  s->OutLine()->SetVisible(true);
  s->OutLine()->SetColor(clBlue);
  s->OutLine()->SetWidth(2);
  s->AddXY(0, 50);
  s->AddXY(10, 50);
  c.Axes(0, 10, 0, 100);
  c.Render();
  const int x = c.X(5), y = c.Y(50);
  EXPECT_EQ(c.At(x, y), clRed);
  // Width 2 x 1 + 2 + 1 = 5: blue two pixels away, nothing three pixels away past it.
  EXPECT_EQ(c.Count(clBlue, TRect(x, y - 3, x + 1, y + 4)), 4);
  EXPECT_EQ(s->LinePen()->Width(), 1);  // restored after the pass
}

TEST(LineSeries, BadInputDrawsWithoutFault) {
  for (bool is3D : {false, true}) {
    TSeriesChart c(is3D);
    auto* empty = c.Add<TLineSeries>();
    auto* one = c.Add<TPointSeries>();
    auto* area = c.Add<TAreaSeries>();
    auto* logs = c.Add<TLineSeries>();
    auto* fast = c.Add<TFastLineSeries>();
    // Gradient fills and shadow passes of every area layout, and a line's shadow.
    auto* horiz = c.Add<THorizAreaSeries>();
    auto* steps = c.Add<TAreaSeries>();
    steps->SetStairs(true);
    for (TCustomSeries* s : std::initializer_list<TCustomSeries*>{area, horiz, steps}) {
      s->Gradient()->SetVisible(true);
      s->Shadow()->SetSize(3);
    }
    logs->Shadow()->SetSize(2);
    one->AddXY(1, 1);
    for (double v : {-1.0, 0.0, 10.0, 100.0}) {
      logs->AddXY(v + 2, v);
      area->AddXY(v + 2, v);
      fast->AddXY(v + 2, v);
      horiz->AddXY(v, v + 2);
      steps->AddXY(v + 2, v);
    }
    c.Axes(0.5, 200, 0.5, 200);
    c.Chart.LeftAxis()->SetLogarithmic(true);
    c.Chart.BottomAxis()->SetLogarithmic(true);
    c.Render();
    EXPECT_EQ(empty->PointIndexAt(10, 10), -1);
    // A click where the single point shows on screen (projected at the series' front in 3D).
    const TPoint p = c.Chart.Canvas->Calculate3DPosition(one->ScreenXAt(0), one->ScreenYAt(0), one->StartZ);
    EXPECT_EQ(one->PointIndexAt(p.X, p.Y), 0) << is3D;
  }
}

// ---- fast line ----------------------------------------------------------------------------------------

namespace {

// The same points drawn segment by segment with the canvas' line-to into a second image.
std::unique_ptr<TBitmap> SegmentByStep(TSeriesChart& C, TFastLineSeries* S, bool AllPoints) {
  auto b = std::make_unique<TBitmap>(C.Chart.Width(), C.Chart.Height());
  TCanvas* cv = b->Canvas();
  cv->Brush()->SetColor(clWhite);
  cv->FillRect(TRect(0, 0, C.Chart.Width(), C.Chart.Height()));
  cv->Pen()->SetColor(clRed);
  int lx = C.X(S->XValue(0)), ly = C.Y(S->YValue(0));
  cv->MoveTo(lx, ly);
  for (int i = 1; i < S->Count(); ++i) {
    const int x = C.X(S->XValue(i)), y = C.Y(S->YValue(i));
    if (x == lx && (!AllPoints || y == ly)) continue;
    cv->LineTo(x, y);
    lx = x;
    ly = y;
  }
  return b;
}

}  // namespace

TEST(FastLineSeries, DrawsEveryPixelOfEverySegmentOrTheFirstPointPerColumn) {
  for (bool all : {true, false}) {
    TSeriesChart c;
    c.Chart.SetClipPoints(false);
    auto* s = c.Add<TFastLineSeries>();
    s->SetSeriesColor(clRed);
    s->SetDrawAllPoints(all);
    for (int i = 0; i < 20000; ++i) s->AddXY(i, std::sin(i * 0.01) * 40 + std::sin(i * 1.7) * 20);
    c.Axes(0, 19999, -70, 70);
    c.Render();
    const auto ref = SegmentByStep(c, s, all);
    const TRect r = c.Chart.ChartRect;
    int differ = 0, red = 0;
    for (int y = r.Top + 1; y < r.Bottom; ++y)
      for (int x = r.Left + 1; x < r.Right; ++x) {
        const bool a = c.At(x, y) == clRed, b = ref->Canvas()->Pixels(x, y) == clRed;
        differ += a != b;
        red += a;
      }
    EXPECT_EQ(differ, 0) << all;
    EXPECT_GT(red, 1000) << all;
  }
}

TEST(FastLineSeries, NullPointsBreakTheLineOnlyWhenNotIgnored) {
  for (bool ignore : {true, false}) {
    TSeriesChart c;
    auto* s = c.Add<TFastLineSeries>();
    s->SetSeriesColor(clRed);
    s->SetIgnoreNulls(ignore);
    s->AddXY(0, 50);
    s->AddXY(5, 50, "", clNone);
    s->AddXY(10, 50);
    c.Axes(0, 10, 0, 100);
    c.Render();
    EXPECT_EQ(c.At(c.X(2), c.Y(50)) == clRed, ignore);
    EXPECT_EQ(c.At(c.X(8), c.Y(50)), clRed);  // the next segment starts at the null point
  }
}

TEST(FastLineSeries, ClickOnASegmentGivesItsFirstPoint) {
  TSeriesChart c;
  auto* s = c.Add<TFastLineSeries>();
  for (int i = 0; i <= 4; ++i) s->AddXY(i, 20);
  c.Axes(0, 4, 0, 40);
  c.Render();
  EXPECT_EQ(s->PointIndexAt(s->ScreenXAt(2), s->ScreenYAt(2)), 2);
  EXPECT_EQ(s->PointIndexAt((c.X(2) + c.X(3)) / 2, c.Y(20)), 2);
  EXPECT_EQ(s->PointIndexAt((c.X(2) + c.X(3)) / 2, c.Y(30)), -1);
}

TEST(LineSeries, ShadowPassDrawsAShiftedCopyWithoutPointers) {
  TSeriesChart c;
  auto* s = c.Add<TLineSeries>();
  s->SetSeriesColor(clRed);
  s->Pointer()->SetVisible(true);
  s->Pointer()->SetDraw3D(false);
  s->Pointer()->Pen()->SetVisible(false);
  s->Shadow()->SetColor(clBlue);
  s->Shadow()->SetHorizSize(3);
  s->Shadow()->SetVertSize(3);
  for (int i = 0; i <= 10; ++i) s->AddXY(i, 50);
  c.Axes(0, 10, 0, 100);
  c.Render();
  const int x = (c.X(4) + c.X(5)) / 2, y = c.Y(50);
  EXPECT_EQ(c.At(x, y), clRed);
  // Three pixels down (a pixel more where the shifted axis rounds a half the other way).
  EXPECT_EQ(c.Count(clBlue, TRect(x, y - 1, x + 1, y + 2)), 0);
  EXPECT_EQ(c.Count(clBlue, TRect(x, y + 3, x + 1, y + 5)), 1);
  // The pointers cast no shadow: beside a pointer, off the shadow's line, nothing blue.
  const int px = c.X(5), hs = s->Pointer()->HorizSize();
  EXPECT_EQ(c.Count(clBlue, TRect(px + hs + 1, y + 6, px + hs + 3, y + 3 + hs)), 0);
  // Colour, pointer and axes are given back after the pass.
  EXPECT_EQ(s->SeriesColor(), clRed);
  EXPECT_TRUE(s->Pointer()->Visible());
  EXPECT_EQ(c.X(5), px);
  // A shadow of size 0 draws nothing.
  s->Shadow()->SetHorizSize(0);
  s->Shadow()->SetVertSize(0);
  c.Render();
  EXPECT_EQ(c.Count(clBlue, c.Chart.ChartRect), 0);
}

TEST(AreaSeries, GradientSpansTheValueRangeAndReachesTheOrigin) {
  TSeriesChart c;
  auto* a = c.Add<TAreaSeries>();
  a->LinePen()->SetVisible(false);
  a->AreaLinesPen()->SetVisible(false);
  a->Gradient()->SetVisible(true);
  a->Gradient()->SetStartColor(clBlue);
  a->Gradient()->SetEndColor(clRed);
  for (double v : {80, 80, 40, 40}) a->AddY(v);
  c.Axes(0, 3, 0, 100);
  c.Render();
  const int x0 = (c.X(0) + c.X(1)) / 2, x2 = (c.X(2) + c.X(3)) / 2;
  // One gradient over all bands: at one height both bands have one colour.
  EXPECT_EQ(c.At(x0, c.Y(30)), c.At(x2, c.Y(30)));
  EXPECT_NE(c.At(x0, c.Y(75)), c.At(x0, c.Y(5)));
  // Below the smallest value the area is filled down to its origin.
  for (int x : {x0, x2}) EXPECT_NE(c.At(x, c.Y(5)), clWhite);
  EXPECT_EQ(c.At(x2, c.Y(60)), clWhite);
  // A new type assigned from it keeps gradient and shadow.
  a->Shadow()->SetHorizSize(2);
  TAreaSeries copy(nullptr);
  copy.Assign(a);
  EXPECT_TRUE(copy.Gradient()->Visible());
  EXPECT_EQ(copy.Gradient()->EndColor(), clRed);
  EXPECT_EQ(copy.Shadow()->HorizSize(), 2);
}
