// Opening a 40-frequency, 100-estimate MT file and computing it (every stack and every single
// estimate), one re-stack and recompute after a mask change, and opening a set of three files
// (68 frequencies, 100 estimates each) as one site.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "mtdata/open_site.h"
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

// An AMT file of 28 frequencies and two MT files of the same 40 frequencies below them (the sum
// adds their estimates): 68 frequencies, written once per run.
const std::vector<std::string>& ThreeFileSet() {
  static const std::vector<std::string> names = [] {
    std::vector<double> grid(68);
    for (int i = 0; i < 68; ++i) {
      const double L = 4.017 - 7.0 * i / 67;
      const double c = std::pow(10.0, 2 - std::round(L));
      grid[static_cast<size_t>(i)] = std::round(std::pow(10.0, L) * c) / c;
    }
    std::vector<std::string> v;
    int seed = 1;
    for (const char* ext : {".amt", ".mt1", ".mt2"}) {
      const std::string p = (std::filesystem::temp_directory_path() / (std::string("vm_bench_set") + ext)).string();
      TMtGenModel m;
      m.Layers = {{100, 1000}, {10, 5000}, {1000, 0}};
      m.EstimateCount = 100;
      m.WithTipper = true;
      m.ReferenceType = 4;
      m.Edits = {TMtGenEdit{}};
      m.Seed = static_cast<uint64_t>(seed++);
      const bool amt = ext[1] == 'a';
      m.Frequencies.assign(grid.begin() + (amt ? 0 : 28), grid.begin() + (amt ? 28 : 68));
      MtGenWrite(m, p);
      v.push_back(p);
    }
    return v;
  }();
  return names;
}

void BM_OpenThreeFileSet(benchmark::State& State) {
  const std::vector<std::string>& files = ThreeFileSet();
  TQuietStdout quiet;
  for (auto _ : State) {
    std::vector<std::string> names = files;
    if (!LoadSite(names)) State.SkipWithError("the set did not open");
    benchmark::DoNotOptimize(CurrentSite->Plots[20][1]);
    FreeSite();
  }
  State.counters["frequencies"] = 68;
}
BENCHMARK(BM_OpenThreeFileSet)->Unit(benchmark::kMillisecond);

}  // namespace
