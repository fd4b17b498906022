// Gradient bars: the end colour of each bar with Relative on and off, the fill in 2D and in the
// orthogonal and rotated 3D views, and the gradient kept through streaming.
#include <gtest/gtest.h>

#include <cstdlib>

#include "chart/engine/chart_pens.h"
#include "chart/engine/series_marks.h"
#include "chart/series/bar_series.h"
#include "platform/streaming.h"
#include "chart/series/testkit/series_testkit.h"

namespace {
int R(TColor C) { return C & 0xFF; }
int G(TColor C) { return (C >> 8) & 0xFF; }
int B(TColor C) { return (C >> 16) & 0xFF; }
bool Close(TColor A, TColor Bc, int Tolerance) {
  return std::abs(R(A) - R(Bc)) <= Tolerance && std::abs(G(A) - G(Bc)) <= Tolerance &&
         std::abs(B(A) - B(Bc)) <= Tolerance;
}

struct GradientBars : TSeriesChart {
  TBarSeries* S;
  explicit GradientBars(bool Relative, bool View3D = false) : TSeriesChart(View3D, 400, 300) {
    S = Add<TBarSeries>();
    S->SetBarStyle(bsRectGradient);
    S->SetSeriesColor(clRed);
    S->BarPen()->SetVisible(false);
    S->Marks()->SetVisible(false);
    S->Gradient()->SetRelative(Relative);
    for (double v : {0.0, 5.0, 10.0}) S->AddY(v);
    S->AddY(10);
    Axes(-1, 4, 0, 10);
  }
  // The colours just inside the bottom and the top of bar I, in its middle.
  TColor Bottom(int I) { return At(X(I), Y(0) - 2); }
  TColor Top(int I, double V) { return At(X(I), Y(V) + 2); }
};
}  // namespace

TEST(BarSeriesGradient, RelativeEndColoursFollowTheValues) {
  TBarSeriesGradient g;
  g.SetStartColor(clWhite);
  EXPECT_EQ(g.EndColorFor(clRed, 5, 0, 10), clRed);  // Relative off: the bar colour
  g.SetRelative(true);
  EXPECT_EQ(g.EndColorFor(clRed, 0, 0, 10), clWhite);
  EXPECT_EQ(g.EndColorFor(clRed, 5, 0, 10), static_cast<TColor>(0x7F7FFF));  // (255, 127, 127)
  EXPECT_EQ(g.EndColorFor(clRed, 10, 0, 10), clRed);
  EXPECT_EQ(g.EndColorFor(clRed, 3, 3, 3), clRed);  // one value: no division by nothing
}

TEST(BarSeriesGradient, FlatBarsRunFromStartToTheirEndColour) {
  for (bool relative : {false, true}) {
    SCOPED_TRACE(relative);
    GradientBars c(relative);
    c.Render();
    // The gradient's start colour at the foot, its end colour at the bar's top.
    EXPECT_TRUE(Close(c.Bottom(2), clWhite, 12));
    EXPECT_TRUE(Close(c.Top(2, 10), clRed, 12));
    EXPECT_TRUE(Close(c.Top(1, 5), relative ? static_cast<TColor>(0x7F7FFF) : clRed, 12));
  }
}

TEST(BarSeriesGradient, ThreeDimensionalViewsFillTheFrontFace) {
  for (bool orthogonal : {true, false}) {
    SCOPED_TRACE(orthogonal);
    GradientBars c(true, true);
    c.Chart.View3DOptions()->SetOrthogonal(orthogonal);
    if (!orthogonal) {
      c.Chart.View3DOptions()->SetRotation(345);
      c.Chart.View3DOptions()->SetElevation(345);
    }
    c.Render();
    // The tall bar's front face shows both ends of its gradient.
    int whiteish = 0, reddish = 0;
    for (int y = 0; y < 300; ++y)
      for (int x = c.X(2) - 15; x <= c.X(2) + 15; ++x) {
        const TColor p = c.At(x, y);
        whiteish += Close(p, static_cast<TColor>(0xF0F0FF), 14) && p != clWhite;
        reddish += Close(p, clRed, 14);
      }
    EXPECT_GT(whiteish, 5);
    EXPECT_GT(reddish, 5);
  }
}

TEST(BarSeriesGradient, StreamsWithTheSeries) {
  TBarSeries s(nullptr);
  s.Gradient()->SetRelative(true);
  s.Gradient()->SetStartColor(clYellow);
  TBarSeries r(nullptr);
  TextToComponent(ComponentToText(&s), &r);
  EXPECT_TRUE(r.Gradient()->Relative());
  EXPECT_EQ(r.Gradient()->StartColor(), clYellow);
  TBarSeries copy(nullptr);
  copy.Assign(&s);
  EXPECT_TRUE(copy.Gradient()->Relative());
}

TEST(BarSeriesGradient, HorizontalBarsRunFromTheOriginToTheirEnd) {
  TSeriesChart c;
  auto* s = c.Add<THorizBarSeries>();
  s->SetBarStyle(bsRectGradient);
  s->SetSeriesColor(clRed);
  s->BarPen()->SetVisible(false);
  s->Marks()->SetVisible(false);
  s->AddXOnly(10);
  c.Axes(0, 10, -1, 1);
  c.Render();
  EXPECT_TRUE(Close(c.At(c.X(0) + 2, c.Y(0)), clWhite, 12));
  EXPECT_TRUE(Close(c.At(c.X(10) - 2, c.Y(0)), clRed, 12));
}
