// Opening a 40-frequency, 100-estimate MT file and computing it (every stack and every single
// estimate), and one re-stack and recompute after a mask change.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "mtdata/site_file.h"
#include "tools/mt_generator.h"

namespace {

// The MT modules log to standard output; keep it quiet while timing.
class TQuietStdout {
public:
  TQuietStdout() {
    std::fflush(stdout);
    FSaved = dup(1);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    close(null);
  }
  ~TQuietStdout() {
    std::fflush(stdout);
    dup2(FSaved, 1);
    close(FSaved);
  }

private:
  int FSaved;
};

const std::string& SampleFile() {
  static const std::string path = [] {
    const std::string p = (std::filesystem::temp_directory_path() / "vm_bench_open.mt1").string();
    TMtGenModel m;
    m.Layers = {{100, 1000}, {10, 5000}, {1000, 0}};
    m.EstimateCount = 100;
    m.WithTipper = true;
    m.ReferenceType = 4;
    m.Edits = {TMtGenEdit{}};
    MtGenWrite(m, p);
    return p;
  }();
  return path;
}

std::unique_ptr<TMTFile> OpenAndCompute(const std::string& Path) {
  auto site = std::make_unique<TMTFile>();
  site->OpenMtFile(Path);
  site->StartEdit = site->PlotRecordCount - 1;
  site->CurrentEditBlock = site->PlotBlocks[site->StartEdit + 1];
  site->LoadEdit();
  site->DisplayReference = static_cast<int16_t>(ReferenceToDisplayIndex(site->ReferenceType));
  site->CalcPartialPlots();
  return site;
}

void BM_OpenAndCompute(benchmark::State& State) {
  const std::string& path = SampleFile();
  TQuietStdout quiet;
  for (auto _ : State) {
    auto site = OpenAndCompute(path);
    benchmark::DoNotOptimize(site->Plots[20][1]);
  }
}
BENCHMARK(BM_OpenAndCompute)->Unit(benchmark::kMillisecond);

void BM_RestackAfterMaskChange(benchmark::State& State) {
  const std::string& path = SampleFile();
  TQuietStdout quiet;
  auto site = OpenAndCompute(path);
  int f = 1, x = 1;
  for (auto _ : State) {
    site->Mask[f][x] = site->Mask[f][x] == 1 ? 2 : 1;
    site->RestackFrequency(f);
    site->CalcFrequency(f);
    benchmark::DoNotOptimize(site->Plots[f][1]);
    f = f % 40 + 1;
    x = x % 20 + 1;
  }
}
BENCHMARK(BM_RestackAfterMaskChange)->Unit(benchmark::kMicrosecond);

}  // namespace
