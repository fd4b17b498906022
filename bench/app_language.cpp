// Translating the program's largest windows into Russian: the main window (menus, actions, tool
// bars) and the options window. After the first pass the captions are Russian and no longer
// match any key, so every text scans the whole dictionary: the slowest case of the lookup.
#include <benchmark/benchmark.h>

#include "app/child_form.h"
#include "app/main_form.h"
#include "app/options.h"
#include "app/start_up.h"
#include "chart/editor/language.h"
#include "chart/engine/chart_utils.h"
#include "platform/forms.h"
#include "app_bench_site.h"

namespace {

void BM_TranslateLargestWindows(benchmark::State& State) {
  app_bench::UseProfile("vm_bench_app_language");
  Application->Initialize();
  StartProgram({});
  MainForm1->Show();
  MainForm1->mmOptionsClick(nullptr);
  Application->ProcessMessages();
  SetRussianLanguage();
  TForm* window = State.range(0) == 0 ? static_cast<TForm*>(MainForm1) : static_cast<TForm*>(Options1);
  for (auto _ : State) TranslateControl(window);
  State.SetLabel(std::string(window->ClassName()) + ", " + std::to_string(window->ComponentCount()) + " components");
  SetEnglishLanguage();
  MainForm1->Close();
  EndProgram();
}
BENCHMARK(BM_TranslateLargestWindows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
