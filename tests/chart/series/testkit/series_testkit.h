// A 2D chart drawn into a bitmap for the standard series tests, with helpers that read its pixels.
#pragma once

#include <cmath>
#include <memory>

#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/legend.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/series_pointer.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"

struct TSeriesChart {
  TChart Chart{nullptr};
  std::unique_ptr<TBitmap> Image;

  explicit TSeriesChart(bool View3D = false, int W = 400, int H = 300) {
    Chart.SetBounds(0, 0, W, H);
    Chart.SetView3D(View3D);
    Chart.SetBevelOuter(bvNone);
    Chart.SetColor(clWhite);
    Chart.Legend()->SetVisible(false);
    // No grid lines across the plot: the tests read the series' own pixels.
    Chart.BottomAxis()->Grid()->SetVisible(false);
    Chart.LeftAxis()->Grid()->SetVisible(false);
  }
  template <class T>
  T* Add() {
    auto* s = new T(nullptr);
    Chart.AttachSeries(s);
    return s;
  }
  void Axes(double X0, double X1, double Y0, double Y1) {
    Chart.BottomAxis()->SetMinimumMaximum(X0, X1);
    Chart.LeftAxis()->SetMinimumMaximum(Y0, Y1);
  }
  void Render() { Image.reset(Chart.CreateBitmap(clWhite, TRect(0, 0, Chart.Width(), Chart.Height()), pf24bit)); }
  TColor At(int X, int Y) const { return Image->Canvas()->Pixels(X, Y); }
  int X(double V) { return Chart.BottomAxis()->ValueToPixel(V); }
  int Y(double V) { return Chart.LeftAxis()->ValueToPixel(V); }
  // Pixels of colour C inside R (right and bottom excluded).
  int Count(TColor C, const TRect& R) const {
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x) n += At(x, y) == C;
    return n;
  }
};
