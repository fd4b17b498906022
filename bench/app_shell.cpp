// The program's start-up to an idle main window, the opening of the sample site from the command
// line to its first shown window, one undo or redo of a 40-frequency x 100-estimate site, and
// the memory that 10,000 journal records of that site take.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/journal.h"
#include "app/main_form.h"
#include "app/start_up.h"
#include "controls/mem_data.h"
#include "mtdata/open_site.h"
#include "mtdata/site_file.h"
#include "platform/forms.h"
#include "platform/inifiles.h"
#include "platform/logdevice.h"
#include "tools/mt_generator.h"
#include "app_bench_site.h"

namespace {

namespace fs = std::filesystem;

void Quit() {
  SiteModified = false;
  MainForm1->Close();
  FreeSite();
  EndProgram();
}

void BM_StartUpToIdleMainWindow(benchmark::State& State) {
  app_bench::UseProfile("vm_bench_app_profile");
  Application->Initialize();
  for (auto _ : State) {
    StartProgram({});
    MainForm1->Show();
    Application->ProcessMessages();
    State.PauseTiming();
    Quit();
    State.ResumeTiming();
  }
}
BENCHMARK(BM_StartUpToIdleMainWindow)->Unit(benchmark::kMillisecond);

void BM_OpenSampleFromCommandLine(benchmark::State& State) {
  app_bench::UseProfile("vm_bench_app_profile");
  Application->Initialize();
  const std::string dir = VAROMARK_SAMPLES;
  TLogCapture quiet;
  for (auto _ : State) {
    State.PauseTiming();
    StartProgram({dir + "/S107.MT1", dir + "/S107.MT2"});
    State.ResumeTiming();
    MainForm1->Show();  // the first show opens the files and shows the log window
    Application->ProcessMessages();
    State.PauseTiming();
    if (SiteFiles.size() != 2) State.SkipWithError("the sample site did not open");
    Quit();
    State.ResumeTiming();
  }
}
BENCHMARK(BM_OpenSampleFromCommandLine)->Unit(benchmark::kMillisecond);

// The share of the MT core in the above: the site loaded alone, with no window.
void BM_LoadSampleSiteAlone(benchmark::State& State) {
  const std::string dir = VAROMARK_SAMPLES;
  TLogCapture quiet;
  for (auto _ : State) {
    std::vector<std::string> names{dir + "/S107.MT1", dir + "/S107.MT2"};
    LoadSite(names);
    State.PauseTiming();
    FreeSite();
    State.ResumeTiming();
  }
}
BENCHMARK(BM_LoadSampleSiteAlone)->Unit(benchmark::kMillisecond);

// The 40 x 100 site opened in the program, with no views.
void OpenBigSite() {
  app_bench::UseProfile("vm_bench_app_profile");
  Application->Initialize();
  StartProgram({});
  std::vector<std::string> names{app_bench::BigSite("vm_bench_app_site.mt1")};
  TLogCapture quiet;
  LoadSite(names);
}

void BM_UndoRedoOfA40x100Site(benchmark::State& State) {
  OpenBigSite();
  PushEditRecord(1, "Start");
  for (int x = 1; x <= 100; x += 3) CurrentSite->Mask[20][x] = 2;
  CurrentSite->RestackAll();
  PushEditRecord(20, "Lasso");
  bool undo = true;
  for (auto _ : State) {
    if (undo)
      DataModule1->Undo();
    else
      DataModule1->Redo();
    undo = !undo;
  }
  State.counters["frequencies"] = CurrentSite->FreqCount;
  Quit();
}
BENCHMARK(BM_UndoRedoOfA40x100Site)->Unit(benchmark::kMillisecond);

long ResidentKiB() {
  std::ifstream f("/proc/self/status");
  std::string line;
  while (std::getline(f, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

void BM_JournalOf10000Records(benchmark::State& State) {
  OpenBigSite();
  double mb = 0;
  for (auto _ : State) {
    ClearEditJournal();
    const long before = ResidentKiB();
    for (int i = 0; i < 10000; ++i) {
      CurrentSite->Mask[1 + i % 40][1 + i % 100] = (i / 4000) % 2 ? 1 : 2;
      PushEditRecord(1 + i % 40, "Lasso");
    }
    mb = (ResidentKiB() - before) / 1024.0;
  }
  State.counters["MB"] = mb;
  Quit();
}
BENCHMARK(BM_JournalOf10000Records)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
