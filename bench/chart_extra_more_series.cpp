// Drawing the bubble, Gantt, Smith and calendar series into an off-screen 1200 x 800 chart:
// 10,000 bubbles, 1,000 linked Gantt bars, the Smith grid with 10,000 impedances and a month.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_chart.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/legend.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/bubble_gantt_series.h"
#include "chart/extra/calendar_series.h"
#include "chart/extra/smith_series.h"
#include "chart/series/line_series.h"
#include "platform/bitmap.h"
#include "platform/datetime.h"

namespace {

void BM_Bubbles10000(benchmark::State& State) {
  BenchChart c;
  auto* s = new TBubbleSeries(nullptr);
  c.Chart.AttachSeries(s);
  s->BeginUpdate();
  for (int i = 0; i < 10000; ++i) s->AddBubblePoint(i % 100, (i * 37) % 1000, 2 + i % 9);
  s->EndUpdate();
  for (auto _ : State) c.Draw();
}
BENCHMARK(BM_Bubbles10000)->Unit(benchmark::kMillisecond);

// The same 10,000 circles as plain points of a fixed size, to tell the bubbles' share from the
// canvas' cost of a small filled circle.
void BM_CirclePoints10000(benchmark::State& State) {
  BenchChart c;
  auto* s = new TPointSeries(nullptr);
  c.Chart.AttachSeries(s);
  s->Pointer()->SetStyle(psCircle);
  s->SetColorEachPoint(true);
  s->BeginUpdate();
  for (int i = 0; i < 10000; ++i) s->AddXY(i % 100, (i * 37) % 1000);
  s->EndUpdate();
  for (auto _ : State) c.Draw();
}
BENCHMARK(BM_CirclePoints10000)->Unit(benchmark::kMillisecond);

void BM_GanttBarsWithLinks1000(benchmark::State& State) {
  BenchChart c;
  auto* s = new TGanttSeries(nullptr);
  c.Chart.AttachSeries(s);
  s->BeginUpdate();
  for (int i = 0; i < 1000; ++i) s->AddGanttTask(46000 + i, 46000 + i + 5 + i % 7, i % 40);
  for (int i = 0; i + 1 < 1000; ++i) s->NextTask()->SetValue(i, i + 1);
  s->EndUpdate();
  for (auto _ : State) c.Draw();
}
BENCHMARK(BM_GanttBarsWithLinks1000)->Unit(benchmark::kMillisecond);

void BM_SmithGridAndPoints10000(benchmark::State& State) {
  BenchChart c;
  auto* s = new TSmithSeries(nullptr);
  c.Chart.AttachSeries(s);
  c.Chart.BottomAxis()->Grid()->SetVisible(true);
  c.Chart.LeftAxis()->Grid()->SetVisible(true);
  s->BeginUpdate();
  for (int i = 0; i < 10000; ++i) s->AddImpedance(0.001 * i, 0.5 * ((i % 41) - 20) / 20.0);
  s->EndUpdate();
  for (auto _ : State) c.Draw();
}
BENCHMARK(BM_SmithGridAndPoints10000)->Unit(benchmark::kMillisecond);

void BM_CalendarMonth(benchmark::State& State) {
  BenchChart c;
  auto* s = new TCalendarSeries(nullptr);
  c.Chart.AttachSeries(s);
  s->SetDate(EncodeDate(2026, 3, 18));
  for (auto _ : State) c.Draw();
}
BENCHMARK(BM_CalendarMonth)->Unit(benchmark::kMillisecond);

// The empty chart alone, to tell the series' share from the frame's.
void BM_EmptyChart(benchmark::State& State) {
  BenchChart c;
  for (auto _ : State) c.Draw();
}
BENCHMARK(BM_EmptyChart)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
