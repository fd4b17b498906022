// Dragging a colour line across a 1200x800 chart with four line series of 10,000 points each:
// one mouse move per iteration, through the toolkit's mouse entry point. The line moves in
// exclusive-or mode (no redraw of the chart). Goal: <= 2 ms per move.
#include <benchmark/benchmark.h>

#include <cmath>

#include "chart/engine/chart.h"
#include "chart/engine/legend.h"
#include "chart/series/line_series.h"
#include "chart/series/tools_colorline.h"

namespace {

void BM_DragColorLine(benchmark::State& State) {
  TChart chart(nullptr);
  chart.SetBounds(0, 0, 1200, 800);
  chart.SetView3D(false);
  chart.Legend()->SetVisible(false);
  for (int k = 0; k < 4; ++k) {
    auto* s = new TLineSeries(&chart);
    chart.AttachSeries(s);
    s->BeginUpdate();
    for (int i = 0; i < 10000; ++i) s->AddXY(i, std::sin(i * 0.002 * (k + 1)) + k);
    s->EndUpdate();
  }
  auto* line = new TColorLineTool(&chart);
  chart.Tools->Add(line);
  line->SetAxis(chart.BottomAxis());
  line->SetValue(5000);
  chart.Invalidate();
  chart.Update();
  const TRect r = chart.ChartRect;
  const int y = (r.Top + r.Bottom) / 2;
  chart.DispatchMouseDown(mbLeft, {}, chart.BottomAxis()->ValueToPixel(5000), y);
  if (!line->Dragging()) State.SkipWithError("the press did not grab the line");
  int x = r.Left + 1;
  for (auto _ : State) {
    chart.DispatchMouseMove({ssLeft}, x, y);
    if (++x >= r.Right) x = r.Left + 1;
  }
  chart.DispatchMouseUp(mbLeft, {}, x, y);
}
BENCHMARK(BM_DragColorLine)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
