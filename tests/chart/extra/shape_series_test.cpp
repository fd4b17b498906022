// Shapes: the figure between the two corners in axis units or pixels, corners in reverse order,
// shapes off the chart, text that would vanish in its own brush colour, clicks and corner access.
#include <gtest/gtest.h>

#include "chart/engine/chart_axis.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/shape_series.h"
#include "platform/exceptions.h"
#include "chart/series/testkit/series_testkit.h"

namespace {
struct ShapeChart : TSeriesChart {
  TChartShape* S;
  ShapeChart() {
    S = Add<TChartShape>();
    S->SetSeriesColor(clRed);
    S->Pen()->SetColor(clBlue);
    Axes(0, 10, 0, 10);
  }
  void Corners(double X0, double Y0, double X1, double Y1) {
    S->SetX0(X0);
    S->SetY0(Y0);
    S->SetX1(X1);
    S->SetY1(Y1);
  }
  int All(TColor C) const { return Count(C, TRect(0, 0, 400, 300)); }
};
}  // namespace

TEST(ChartShape, CornersInEitherOrderGiveTheSameFigureButLinesKeepTheirWay) {
  ShapeChart a, b;
  a.S->SetStyle(chasRectangle);
  b.S->SetStyle(chasRectangle);
  a.Corners(2, 2, 8, 6);
  b.Corners(8, 6, 2, 2);
  a.Render();
  b.Render();
  EXPECT_EQ(a.All(clRed), b.All(clRed));
  EXPECT_GT(a.All(clRed), 1000);
  EXPECT_EQ(a.At(a.X(5), a.Y(4)), clRed);
  ShapeChart l;
  l.S->SetStyle(chasLine);
  l.Corners(8, 2, 2, 8);  // from lower right to upper left
  l.Render();
  EXPECT_EQ(l.At((l.X(8) + l.X(2)) / 2, (l.Y(2) + l.Y(8)) / 2), clBlue);
  EXPECT_NE(l.At(l.X(3), l.Y(3)), clBlue);  // not the other diagonal
  EXPECT_EQ(l.S->PointIndexAt(l.X(5), l.Y(5)), 0);
}

TEST(ChartShape, TinyMissingAndOffChartShapesDrawNothingOrOnePixel) {
  ShapeChart c;
  c.S->SetStyle(chasRectangle);
  c.Corners(5, 5, 5, 5);
  EXPECT_EQ(c.S->DrawingRect().Right - c.S->DrawingRect().Left, 1);
  c.Render();
  EXPECT_LE(c.All(clRed) + c.All(clBlue), 4);
  c.Corners(20, 20, 30, 30);  // off the chart: not even its text
  c.S->Text()->Add("far away");
  c.Render();
  EXPECT_EQ(c.All(clRed) + c.All(clBlue), 0);
  c.Corners(2, 2, 8, 8);
  c.S->AddXY(9, 9);  // three points: nothing
  c.Render();
  EXPECT_EQ(c.All(clRed), 0);
  TChartShape lone(nullptr);
  lone.ClearValues();
  EXPECT_THROW(lone.X0(), ERangeError);
  lone.AddXY(1, 1);
  EXPECT_EQ(lone.Y0(), 1);
  EXPECT_THROW(lone.SetY1(4), ERangeError);
}

TEST(ChartShape, PixelShapesIgnoreTheAxesAndOriginShapesKeepTheirSize) {
  ShapeChart c;
  c.S->SetStyle(chasRectangle);
  c.S->SetXYStyle(xysPixels);
  c.Corners(100, 100, 140, 130);
  c.Render();
  EXPECT_EQ(c.At(120, 115), clRed);
  c.Axes(-50, 50, -50, 50);
  c.Render();
  EXPECT_EQ(c.At(120, 115), clRed);
  ShapeChart o;
  o.S->SetStyle(chasRectangle);
  o.S->SetXYStyle(xysAxisOrigin);
  o.Corners(2, 8, 30, 20);
  o.Render();
  TRect r;
  o.S->GetShapeRectangle(r);
  EXPECT_EQ(r.Left, o.X(2));
  EXPECT_EQ(r.Right - r.Left, 30);
  EXPECT_EQ(r.Bottom - r.Top, 20);
  EXPECT_EQ(o.At(o.X(2) + 15, o.Y(8) + 10), clRed);
}

TEST(ChartShape, TextInItsOwnBrushColourTurnsBlackOrWhite) {
  for (TColor colour : {clRed, clBlack}) {
    ShapeChart c;
    c.S->SetStyle(chasRectangle);
    c.S->SetSeriesColor(colour);
    c.S->Font()->SetColor(colour);
    c.S->Font()->SetSize(14);
    c.S->Text()->Add("WWWW");
    c.Corners(1, 1, 9, 9);
    c.Render();
    const TColor shown = colour == clBlack ? clWhite : clBlack;
    EXPECT_GT(c.Count(shown, TRect(c.X(2), c.Y(7), c.X(8), c.Y(3))), 20);
  }
}

TEST(ChartShape, ClicksFollowTheFigure) {
  ShapeChart c;
  c.Corners(2, 2, 8, 8);
  c.Render();
  const int cx = c.X(5), cy = c.Y(5);
  struct Case {
    TChartShapeStyle Style;
    int X, Y, Expected;
  } cases[] = {{chasCircle, cx, cy, 0},
               {chasCircle, c.X(2) + 2, c.Y(8) + 2, -1},
               {chasRectangle, c.X(2) + 2, c.Y(8) + 2, 0},
               {chasTriangle, c.X(2) + 3, c.Y(8) + 3, -1},
               {chasTriangle, cx, c.Y(2) - 3, 0},
               {chasInvertTriangle, c.X(2) + 3, c.Y(2) - 3, -1},
               {chasDiamond, cx, cy, 0},
               {chasVertLine, cx, cy + 20, 0},
               {chasVertLine, cx + 5, cy, -1}};
  for (const Case& k : cases) {
    c.S->SetStyle(k.Style);
    EXPECT_EQ(c.S->PointIndexAt(k.X, k.Y), k.Expected) << k.Style;
  }
}
