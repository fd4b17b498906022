// The series model at scale: adding 1,000,000 points in position order, filling 1,000,000 sample
// points, and deleting the first point of a 1,000,000-point series.
// Goals: AddXY <= 15 ms, FillSampleValues <= 60 ms, deleting the first point <= 2 ms.
#include <benchmark/benchmark.h>

#include "chart/engine/series_base.h"

namespace {

constexpr int kPoints = 1000000;

void BM_AddXY(benchmark::State& State) {
  for (auto _ : State) {
    State.PauseTiming();
    auto* s = new TChartSeries(nullptr);
    State.ResumeTiming();
    for (int i = 0; i < kPoints; ++i) s->AddXY(i, i * 0.5);
    benchmark::DoNotOptimize(s->PointCount());
    State.PauseTiming();
    delete s;
    State.ResumeTiming();
  }
}
BENCHMARK(BM_AddXY)->Unit(benchmark::kMillisecond);

void BM_FillSampleValues(benchmark::State& State) {
  TChartSeries s(nullptr);
  for (auto _ : State) {
    s.FillSampleValues(kPoints);
    benchmark::DoNotOptimize(s.PointCount());
  }
}
BENCHMARK(BM_FillSampleValues)->Unit(benchmark::kMillisecond);

void BM_DeleteFirstPoint(benchmark::State& State) {
  TChartSeries s(nullptr);
  s.BeginUpdate();
  for (int i = 0; i < kPoints + 1000; ++i) s.AddXY(i, i);
  s.EndUpdate();
  for (auto _ : State) {
    s.Delete(0);
    if (s.PointCount() < kPoints) {
      State.PauseTiming();
      for (int i = 0; i < 1000; ++i) s.AddXY(kPoints * 2.0 + i, i);
      State.ResumeTiming();
    }
  }
}
BENCHMARK(BM_DeleteFirstPoint)->Unit(benchmark::kMillisecond);

}  // namespace
