// Native chart files at scale: saving and loading a chart of 10 line series x 100,000 points with
// the points, in the binary form, to and from a file (as the program does) and through memory.
// Goals: saving <= 200 ms, loading <= 200 ms.
#include <benchmark/benchmark.h>

#include "chart/extra/chart_file.h"
#include "chart/series/line_series.h"
#include "chart/series/standard_series.h"
#include "platform/streams.h"

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int kSeries = 10;
constexpr int kPoints = 100000;

void Fill(TChart& Chart) {
  for (int k = 0; k < kSeries; ++k) {
    auto* s = new TLineSeries(nullptr);
    Chart.AttachSeries(s);
    s->BeginUpdate();
    for (int i = 0; i < kPoints; ++i) s->AddXY(i * 0.25, (i * (k + 3)) % 1000 * 0.1);
    s->EndUpdate();
  }
}

void BM_SaveNativeChart(benchmark::State& State) {
  InitStandardSeries();
  InitChartOutput();
  TChart chart(nullptr);
  Fill(chart);
  for (auto _ : State) {
    TMemoryStream s;
    WriteNativeChart(&chart, s, true, false);
    benchmark::DoNotOptimize(s.Size());
  }
}
BENCHMARK(BM_SaveNativeChart)->Unit(benchmark::kMillisecond);

void BM_LoadNativeChart(benchmark::State& State) {
  InitStandardSeries();
  InitChartOutput();
  TChart source(nullptr);
  Fill(source);
  TMemoryStream s;
  WriteNativeChart(&source, s, true, false);
  for (auto _ : State) {
    State.PauseTiming();
    auto* chart = new TChart(nullptr);
    s.SetPosition(0);
    State.ResumeTiming();
    TCustomChart* target = chart;
    ReadNativeChart(target, s);
    benchmark::DoNotOptimize(chart->CountSeries());
    State.PauseTiming();
    delete chart;
    State.ResumeTiming();
  }
}
BENCHMARK(BM_LoadNativeChart)->Unit(benchmark::kMillisecond);

std::string BenchFile() {
  return (std::filesystem::temp_directory_path() / ("vm_bench_chart_" + std::to_string(::getpid()) + ".qvx")).string();
}

void BM_SaveNativeChartFile(benchmark::State& State) {
  InitStandardSeries();
  InitChartOutput();
  TChart chart(nullptr);
  Fill(chart);
  const std::string file = BenchFile();
  for (auto _ : State) WriteNativeChartFile(&chart, file, true, false);
  State.counters["bytes"] = static_cast<double>(std::filesystem::file_size(file));
  std::filesystem::remove(file);
}
BENCHMARK(BM_SaveNativeChartFile)->Unit(benchmark::kMillisecond);

void BM_LoadNativeChartFile(benchmark::State& State) {
  InitStandardSeries();
  InitChartOutput();
  const std::string file = BenchFile();
  {
    TChart source(nullptr);
    Fill(source);
    WriteNativeChartFile(&source, file, true, false);
  }
  for (auto _ : State) {
    State.PauseTiming();
    auto* chart = new TChart(nullptr);
    State.ResumeTiming();
    TCustomChart* target = chart;
    ReadNativeChartFile(target, file);
    benchmark::DoNotOptimize(chart->CountSeries());
    State.PauseTiming();
    delete chart;
    State.ResumeTiming();
  }
  std::filesystem::remove(file);
}
BENCHMARK(BM_LoadNativeChartFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
