// A chart painted on its own surface, as on the screen, for the tool tests: the tools are driven
// through the toolkit's mouse entry points and the surface is read back pixel by pixel.
#pragma once

#include <string>
#include <vector>

#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/legend.h"
#include "chart/series/line_series.h"
#include "platform/canvas.h"

struct TToolChart {
  TChart Chart{nullptr};
  TLineSeries* Series = nullptr;
  int Paints = 0;

  explicit TToolChart(int W = 400, int H = 300, bool WithSeries = true) {
    Chart.SetBounds(0, 0, W, H);
    Chart.SetView3D(false);
    Chart.SetBevelOuter(bvNone);
    Chart.SetColor(clWhite);
    Chart.Legend()->SetVisible(false);
    Chart.OnAfterDraw = [this](TObject*) { ++Paints; };
    if (WithSeries) {
      Series = new TLineSeries(nullptr);
      Chart.AttachSeries(Series);
      for (int i = 0; i <= 10; ++i) Series->AddXY(i, i * i);
    }
    Chart.BottomAxis()->SetMinimumMaximum(0, 10);
    Chart.LeftAxis()->SetMinimumMaximum(0, 100);
    Paint();
  }
  ~TToolChart() {
    Chart.Tools->Clear();
    if (Series) {
      Chart.DetachSeries(Series);
      delete Series;
    }
  }
  // Paints what is due onto the surface, as the window system would.
  void Update() { Chart.Update(); }
  // A full repaint now.
  void Paint() {
    Chart.Invalidate();
    Chart.Update();
  }
  TColor At(int X, int Y) { return Chart.WindowCanvas()->Pixels(X, Y); }
  std::vector<TColor> Surface() {
    std::vector<TColor> v;
    v.reserve(static_cast<size_t>(Chart.Width() * Chart.Height()));
    for (int y = 0; y < Chart.Height(); ++y)
      for (int x = 0; x < Chart.Width(); ++x) v.push_back(At(x, y));
    return v;
  }
  int X(double V) { return Chart.BottomAxis()->ValueToPixel(V); }
  int Y(double V) { return Chart.LeftAxis()->ValueToPixel(V); }
  void Down(int X, int Y, TMouseButton B = mbLeft, TShiftState S = {}) { Chart.DispatchMouseDown(B, S, X, Y); }
  void Move(int X, int Y, TShiftState S = {}) { Chart.DispatchMouseMove(S, X, Y); }
  void Up(int X, int Y, TMouseButton B = mbLeft, TShiftState S = {}) { Chart.DispatchMouseUp(B, S, X, Y); }
};

// The points where two surfaces differ.
inline int CountDifferences(const std::vector<TColor>& A, const std::vector<TColor>& B) {
  int n = 0;
  for (size_t i = 0; i < A.size() && i < B.size(); ++i) n += A[i] != B[i];
  return n + static_cast<int>(A.size() > B.size() ? A.size() - B.size() : B.size() - A.size());
}
