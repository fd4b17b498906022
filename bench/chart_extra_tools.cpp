// Dragging the legend with the selector across a 1200x800 chart with four line series of 10,000
// points each: one mouse move and the repaint it asks for per iteration, through the toolkit's
// mouse entry point. Goal: <= 2 ms per move.
#include <benchmark/benchmark.h>

#include <cmath>

#include "chart/engine/chart.h"
#include "chart/engine/legend.h"
#include "chart/extra/selector_tool.h"
#include "chart/series/line_series.h"

namespace {

void BM_SelectorDragLegend(benchmark::State& State) {
  TChart chart(nullptr);
  chart.SetBounds(0, 0, 1200, 800);
  chart.SetView3D(false);
  for (int k = 0; k < 4; ++k) {
    auto* s = new TLineSeries(&chart);
    chart.AttachSeries(s);
    s->BeginUpdate();
    for (int i = 0; i < 10000; ++i) s->AddXY(i, std::sin(i * 0.002 * (k + 1)) + k);
    s->EndUpdate();
  }
  auto* selector = new TSelectorTool(&chart);
  chart.Tools->Add(selector);
  chart.Invalidate();
  chart.Update();
  const TRect b = chart.Legend()->BoxRect;
  const int x0 = (b.Left + b.Right) / 2, y0 = (b.Top + b.Bottom) / 2;
  chart.DispatchMouseDown(mbLeft, {}, x0, y0);
  if (selector->Shape() != chart.Legend()) State.SkipWithError("the press did not select the legend");
  int d = 3;
  for (auto _ : State) {
    chart.DispatchMouseMove({ssLeft}, x0 - d, y0 + d / 2);
    chart.Update();
    if (++d > 300) d = 3;
  }
  chart.DispatchMouseUp(mbLeft, {}, x0 - d, y0);
}
BENCHMARK(BM_SelectorDragLegend)->Unit(benchmark::kMicrosecond);

}  // namespace
