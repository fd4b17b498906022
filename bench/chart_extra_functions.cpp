// The down-sampling, compression, count, cumulative and indicator functions over a source of a
// million points, each filling its series once per iteration.
#include <benchmark/benchmark.h>

#include <cmath>
#include <functional>

#include "chart/engine/value_lists.h"
#include "chart/extra/compress_function.h"
#include "chart/extra/downsampling_function.h"
#include "chart/extra/indicator_functions.h"
#include "chart/series/financial_series.h"
#include "chart/series/line_series.h"

namespace {

constexpr int kPoints = 1000000;

struct Rig {
  TComponent Owner{nullptr};
  TCandleSeries* Prices = new TCandleSeries(&Owner);
  TLineSeries* Line = new TLineSeries(&Owner);
  TLineSeries* Volume = new TLineSeries(&Owner);
  Rig() {
    Prices->BeginUpdate();
    Line->BeginUpdate();
    Volume->BeginUpdate();
    double c = 100;
    for (int i = 0; i < kPoints; ++i) {
      const double o = c + std::sin(i * 0.37);
      c = o + std::cos(i * 0.11) * 2;
      const double t = 46000 + i / 1440.0;  // one point a minute
      Prices->AddOHLCPoint(t, o, std::max(o, c) + 1, std::min(o, c) - 1, c);
      Line->AddXY(i, std::sin(i * 0.001) * 100 + (i % 17));
      Volume->AddXY(t, 1000 + i % 311);
    }
    Prices->EndUpdate();
    Line->EndUpdate();
    Volume->EndUpdate();
  }
};

Rig& Shared() {
  static Rig r;
  return r;
}

template <class S, class F>
void Run(benchmark::State& State, TChartSeries* Source, const std::function<void(F*)>& Setup) {
  TComponent owner(nullptr);
  auto* dst = new S(&owner);
  auto* f = new F(&owner);
  dst->AttachFunction(f);
  Setup(f);
  for (auto _ : State) {
    // The refresh path a chart takes: the series is emptied, then the function fills it. Calling
    // the function alone would append each iteration's points to the last ones.
    dst->RecalcFromSource(Source);
    benchmark::DoNotOptimize(dst->PointCount());
  }
  State.counters["points"] = dst->PointCount();
}

void BM_DownSampleDouglasTo1000(benchmark::State& State) {
  // A tolerance above the saw-tooth of 16 on the sine: about a thousand of the million points stay.
  Run<TLineSeries, TDownSamplingFunction>(State, Shared().Line, [](TDownSamplingFunction* F) { F->SetTolerance(20); });
}
void BM_DownSampleMinMaxTo1000(benchmark::State& State) {
  Run<TLineSeries, TDownSamplingFunction>(State, Shared().Line, [](TDownSamplingFunction* F) {
    F->SetDownSampleMethod(dsMinMax);
    F->SetTolerance(2000);
  });
}
void BM_DownSampleAverageTo1000(benchmark::State& State) {
  Run<TLineSeries, TDownSamplingFunction>(State, Shared().Line, [](TDownSamplingFunction* F) {
    F->SetDownSampleMethod(dsAverage);
    F->SetTolerance(1000);
  });
}
void BM_CompressHourly(benchmark::State& State) {
  Run<TCandleSeries, TCompressFunction>(State, Shared().Prices, [](TCompressFunction* F) { F->SetCompress(ocHour); });
}
void BM_CompressBlocksOf60(benchmark::State& State) {
  Run<TCandleSeries, TCompressFunction>(State, Shared().Prices, [](TCompressFunction* F) { F->InternalSetPeriod(60); });
}
void BM_Count(benchmark::State& State) {
  Run<TLineSeries, TCountGraphFunction>(State, Shared().Line, [](TCountGraphFunction* F) { F->InternalSetPeriod(10); });
}
void BM_Cumulative(benchmark::State& State) {
  Run<TLineSeries, TCumulative>(State, Shared().Line, [](TCumulative*) {});
}
void BM_CLV(benchmark::State& State) {
  Run<TLineSeries, TCLVFunction>(State, Shared().Prices, [](TCLVFunction* F) { F->SetVolume(Shared().Volume); });
}
void BM_OBV(benchmark::State& State) {
  Run<TLineSeries, TOBVFunction>(State, Shared().Prices, [](TOBVFunction* F) { F->SetVolume(Shared().Volume); });
}
void BM_CCI(benchmark::State& State) {
  Run<TLineSeries, TCCIFunction>(State, Shared().Prices, [](TCCIFunction*) {});
}
void BM_PVO(benchmark::State& State) {
  Run<TLineSeries, TPVOFunction>(State, Shared().Line, [](TPVOFunction*) {});
}

}  // namespace

BENCHMARK(BM_DownSampleDouglasTo1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DownSampleMinMaxTo1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DownSampleAverageTo1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompressHourly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompressBlocksOf60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Count)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Cumulative)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CLV)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OBV)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CCI)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PVO)->Unit(benchmark::kMillisecond);
