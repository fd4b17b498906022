// Drawing the standard series at scale: ten stacked bar series of 10,000 bars each, drawn by a
// TChart into a 1200x800 bitmap (layout, stacking, axis ranges and the bars). Goal: <= 50 ms.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "chart/engine/chart.h"
#include "chart/engine/legend.h"
#include "chart/engine/series_marks.h"
#include "chart/series/bar_series.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace {

void StackedBars(benchmark::State& State, bool JoinThinBars) {
  TCustomBarSeries::ThinRunsEnabled = JoinThinBars;
  TChart chart(nullptr);
  chart.SetBounds(0, 0, 1200, 800);
  chart.SetView3D(false);
  chart.Legend()->SetVisible(false);
  for (int k = 0; k < 10; ++k) {
    auto* s = new TBarSeries(&chart);
    chart.AttachSeries(s);
    s->Marks()->SetVisible(false);
    s->BeginUpdate();
    for (int i = 0; i < 10000; ++i) s->AddXY(i, 1 + std::fabs(std::sin(i * 0.001 * (k + 1))));
    s->EndUpdate();
    s->SetMultiBar(mbStacked);
  }
  TBitmap bmp(1200, 800);
  const TRect rect(0, 0, 1200, 800);
  for (auto _ : State) chart.DrawUnbuffered(bmp.Canvas(), rect);
  TCustomBarSeries::ThinRunsEnabled = true;
}
void BM_StackedBars(benchmark::State& State) { StackedBars(State, true); }
BENCHMARK(BM_StackedBars)->Unit(benchmark::kMillisecond);
// The same chart with every bar drawn by itself (the reference the joined drawing is checked against).
void BM_StackedBarsOneByOne(benchmark::State& State) { StackedBars(State, false); }
BENCHMARK(BM_StackedBarsOneByOne)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
