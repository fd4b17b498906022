// The chart editor dialog on a chart of ten series: made and shown on its series list, and a
// turn from one chart page to the next once every page was made.
#include <benchmark/benchmark.h>

#include <vector>

#include "chart/editor/editor_dialog.h"
#include "chart/editor/gallery.h"
#include "chart/engine/chart.h"
#include "chart/series/line_series.h"
#include "platform/comctrls.h"
#include "platform/forms.h"

namespace {

TChart* TenSeriesChart(TForm& Form) {
  InitGallery();
  auto* chart = new TChart(&Form);
  chart->SetName("Chart1");
  for (int k = 0; k < 10; ++k) {
    auto* s = new TLineSeries(&Form);
    for (int i = 0; i < 100; ++i) s->AddXY(i, (i * 7 + k * 13) % 50);
    chart->AttachSeries(s);
  }
  return chart;
}

void BM_OpenDialogTenSeries(benchmark::State& State) {
  TForm form(nullptr);
  TChart* chart = TenSeriesChart(form);
  for (auto _ : State) {
    TChartEditForm d(nullptr);
    d.RememberPosition = d.RememberSize = false;
    d.RestoreEditorPlacement(chart);
    d.Show();
    Application->ProcessMessages();
    d.Hide();
  }
}
BENCHMARK(BM_OpenDialogTenSeries)->Unit(benchmark::kMillisecond);

void BM_SwitchChartPage(benchmark::State& State) {
  TForm form(nullptr);
  TChart* chart = TenSeriesChart(form);
  TChartEditForm d(nullptr);
  d.RememberPosition = d.RememberSize = false;
  d.RestoreEditorPlacement(chart);
  d.Show();
  for (int i = 1; i <= 8; ++i) {
    d.SubPage->SetActivePageIndex(i);
    d.SubPageChange();
  }
  int page = 0;
  for (auto _ : State) {
    page = page % 8 + 1;
    d.SubPage->SetActivePageIndex(page);
    d.SubPageChange();
    Application->ProcessMessages();
  }
}
BENCHMARK(BM_SwitchChartPage)->Unit(benchmark::kMillisecond);

// Tree mode: the dialog with its navigation tree, then a turn through the tree's first nodes.
void BM_OpenDialogTreeModeTenSeries(benchmark::State& State) {
  TForm form(nullptr);
  TChart* chart = TenSeriesChart(form);
  for (auto _ : State) {
    TChartEditForm d(nullptr);
    d.RememberPosition = d.RememberSize = false;
    d.TreeMode = true;
    d.RestoreEditorPlacement(chart);
    d.Show();
    Application->ProcessMessages();
    d.Hide();
  }
}
BENCHMARK(BM_OpenDialogTreeModeTenSeries)->Unit(benchmark::kMillisecond);

void BM_SwitchMainPage(benchmark::State& State) {
  TForm form(nullptr);
  TChart* chart = TenSeriesChart(form);
  TChartEditForm d(nullptr);
  d.RememberPosition = d.RememberSize = false;
  d.RestoreEditorPlacement(chart);
  d.Show();
  std::vector<TTabSheet*> tabs;
  for (TTabSheet* t : {d.TabSeries, d.TabData, d.TabTools, d.TabExport, d.TabPrint, d.TabChart})
    if (t->TabVisible()) tabs.push_back(t);
  for (TTabSheet* t : tabs) {
    d.MainPage->SetActivePage(t);
    d.MainPageChange();
  }
  int i = 0;
  for (auto _ : State) {
    d.MainPage->SetActivePage(tabs[i++ % tabs.size()]);
    d.MainPageChange();
    Application->ProcessMessages();
  }
}
BENCHMARK(BM_SwitchMainPage)->Unit(benchmark::kMillisecond);

// The first visit of each page, when it is made: a new dialog per iteration, every chart page and
// main tab visited once (the time is for all of them together).
void BM_FirstVisitOfEveryPage(benchmark::State& State) {
  TForm form(nullptr);
  TChart* chart = TenSeriesChart(form);
  for (auto _ : State) {
    TChartEditForm d(nullptr);
    d.RememberPosition = d.RememberSize = false;
    d.RestoreEditorPlacement(chart);
    d.Show();
    for (int i = 1; i <= 8; ++i) {
      d.SubPage->SetActivePageIndex(i);
      d.SubPageChange();
    }
    for (TTabSheet* t : {d.TabSeries, d.TabData, d.TabTools, d.TabExport, d.TabPrint})
      if (t->TabVisible()) {
        d.MainPage->SetActivePage(t);
        d.MainPageChange();
        Application->ProcessMessages();
      }
    d.Hide();
  }
}
BENCHMARK(BM_FirstVisitOfEveryPage)->Unit(benchmark::kMillisecond);

}  // namespace
