// The series gallery with every registered series and function type made and drawn, page by
// page, in a panel of the gallery dialog's size.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "chart/editor/gallery.h"
#include "chart/engine/registries.h"
#include "chart/extra/extra_series.h"
#include "chart/series/functions_average.h"
#include "chart/series/functions_basic.h"
#include "chart/series/functions_financial.h"
#include "chart/series/functions_statistical.h"
#include "chart/series/functions_trend.h"
#include "platform/forms.h"

namespace {

void RegisterEverything() {
  InitGallery();
  RegisterBasicFunctions();
  RegisterAverageFunctions();
  RegisterStatisticalFunctions();
  RegisterTrendFunctions();
  RegisterFinancialFunctions();
  InitExtraSeries();
}

std::vector<std::string> Pages(bool Functions) {
  std::vector<std::string> pages;
  for (int i = 0; i < GraphSeriesTypesList()->Count(); ++i) {
    TGraphSeriesType* t = GraphSeriesTypesList()->GetSeriesType(i);
    if ((t->FunctionClass != nullptr) == Functions &&
        std::find(pages.begin(), pages.end(), t->PageText()) == pages.end())
      pages.push_back(t->PageText());
  }
  return pages;
}

void BM_GalleryEveryTypeDrawn(benchmark::State& State) {
  RegisterEverything();
  TForm form(nullptr);
  form.SetBounds(0, 0, 560, 400);
  auto* panel = new TChartGalleryPanel(&form);
  panel->SetParent(&form);
  panel->SetBounds(0, 0, 540, 340);
  int drawn = 0;
  for (auto _ : State) {
    drawn = 0;
    for (bool functions : {false, true}) {
      panel->ShowFunctions = functions;
      for (const std::string& page : Pages(functions)) {
        panel->CreateGalleryPage(page);
        for (int i = 0; i < panel->Charts.Count(); ++i) {
          panel->Charts.Items(i)->DrawToOwnCanvas();
          ++drawn;
        }
      }
    }
  }
  State.counters["types"] = drawn;
}
BENCHMARK(BM_GalleryEveryTypeDrawn)->Unit(benchmark::kMillisecond);

}  // namespace
