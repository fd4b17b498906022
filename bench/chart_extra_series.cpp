// Drawing the extra series into an off-screen chart: a 1,000 x 1,000 colour grid into 1200 x 800
// pixels, and 10,000 arrows.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_chart.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/legend.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/arrow_series.h"
#include "chart/extra/grid_series.h"
#include "platform/bitmap.h"

namespace {

void BM_ColorGrid1000x1000(benchmark::State& State) {
  BenchChart c;
  auto* s = new TColorGridSeries(nullptr);
  c.Chart.AttachSeries(s);
  s->Pen()->SetVisible(false);
  s->BeginUpdate();
  for (int z = 1; z <= 1000; ++z)
    for (int x = 1; x <= 1000; ++x) s->AddXYZ(x, (x * 7 + z * 13) % 101, z);
  s->EndUpdate();
  for (auto _ : State) c.Draw();
}
BENCHMARK(BM_ColorGrid1000x1000)->Unit(benchmark::kMillisecond);

void BM_Arrows10000(benchmark::State& State) {
  BenchChart c;
  auto* s = new TArrowSeries(nullptr);
  c.Chart.AttachSeries(s);
  s->XValues()->SetDateTime(false);
  s->EndXValues()->SetDateTime(false);
  s->BeginUpdate();
  for (int i = 0; i < 10000; ++i) {
    const double x = i % 100, y = i / 100;
    s->AddArrowSegment(x, y, x + 0.6 * ((i % 7) - 3) / 3.0, y + 0.6 * ((i % 5) - 2) / 2.0);
  }
  s->EndUpdate();
  for (auto _ : State) c.Draw();
}
BENCHMARK(BM_Arrows10000)->Unit(benchmark::kMillisecond);

// The empty chart alone, to tell the series' share from the frame's.
void BM_EmptyChart(benchmark::State& State) {
  BenchChart c;
  for (auto _ : State) c.Draw();
}
BENCHMARK(BM_EmptyChart)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
