// Calculated functions over 1,000,000 source points: the average and the median by periods of ten,
// the exponential moving average, the subtraction of two sources point by point, and a degree-5 least-squares polynomial.
// Goals: each function <= 50 ms, the polynomial fit <= 100 ms.
#include <benchmark/benchmark.h>

#include <cmath>

#include "chart/series/fitting_poly.h"
#include "chart/series/functions_average.h"
#include "chart/series/functions_basic.h"

namespace {

constexpr int kPoints = 1000000;

void FillSource(TChartSeries& S) {
  S.BeginUpdate();
  for (int i = 0; i < kPoints; ++i) S.AddXY(i, std::sin(i * 0.001) * 100 + (i % 7));
  S.EndUpdate();
}

template <class F>
void RunByPeriods(benchmark::State& State) {
  TChartSeries src(nullptr), dst(nullptr);
  FillSource(src);
  auto* f = new F(nullptr);
  f->InternalSetPeriod(10);
  dst.AttachFunction(f);
  for (auto _ : State) {
    dst.BeginUpdate();
    dst.ClearValues();
    f->ComputeFromSource(&src, src.XValues());
    dst.EndUpdate();
    benchmark::DoNotOptimize(dst.PointCount());
  }
}
void BM_AverageByPeriods(benchmark::State& State) { RunByPeriods<TAverageGraphFunction>(State); }
void BM_MedianByPeriods(benchmark::State& State) { RunByPeriods<TMedianGraphFunction>(State); }
BENCHMARK(BM_AverageByPeriods)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MedianByPeriods)->Unit(benchmark::kMillisecond);

void BM_ExpMovingAverage(benchmark::State& State) {
  TChartSeries src(nullptr), dst(nullptr);
  FillSource(src);
  auto* f = new TExpMovAveFunction(nullptr);
  dst.AttachFunction(f);
  for (auto _ : State) {
    f->CalculateFromSource(&src);
    benchmark::DoNotOptimize(dst.PointCount());
  }
}
BENCHMARK(BM_ExpMovingAverage)->Unit(benchmark::kMillisecond);

void BM_SubtractTwoSources(benchmark::State& State) {
  TChartSeries a(nullptr), b(nullptr), dst(nullptr);
  FillSource(a);
  FillSource(b);
  TDataSourcesList list(nullptr);
  list.Append(&a);
  list.Append(&b);
  TSubtractGraphFunction f(nullptr);
  for (auto _ : State) {
    double s = 0;
    for (int i = 0; i < kPoints; ++i) s += f.ComputeManyValue(&list, i);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_SubtractTwoSources)->Unit(benchmark::kMillisecond);

void BM_PolyFitDegree5(benchmark::State& State) {
  TVector x(kPoints + 1), y(kPoints + 1);
  for (int i = 1; i <= kPoints; ++i) {
    x[static_cast<size_t>(i)] = i * 1e-6L;
    y[static_cast<size_t>(i)] = std::sin(i * 1e-5) + 0.1L * x[static_cast<size_t>(i)];
  }
  TPolyCoefficients c{};
  for (auto _ : State) {
    PolyFit(kPoints, 6, x, y, c);
    benchmark::DoNotOptimize(c[1]);
  }
}
BENCHMARK(BM_PolyFitDegree5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
