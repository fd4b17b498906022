// The chart grid paging through a series of 100,000 points: one page down (or back to the top at
// the end) and the grid repainted, per iteration.
#include <benchmark/benchmark.h>

#include "chart/editor/chart_grid.h"
#include "chart/engine/chart.h"
#include "chart/series/line_series.h"
#include "platform/forms.h"

namespace {

void BM_GridScrollPage100k(benchmark::State& State) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 640, 480);
  auto* chart = new TChart(&form);
  auto* s = new TLineSeries(&form);
  s->BeginUpdate();
  for (int i = 0; i < 100000; ++i) s->AddXY(i, (i * 37) % 1000 * 0.25, "P" + std::to_string(i));
  s->EndUpdate();
  chart->AttachSeries(s);
  auto* grid = new TChartGrid(&form);
  grid->SetParent(&form);
  grid->SetBounds(0, 0, 620, 440);
  grid->SetShowColors(true);
  grid->SetChart(chart);
  form.Show();
  grid->Repaint();
  for (auto _ : State) {
    const int before = grid->TopRow();
    grid->SetTopRow(before + grid->VisibleDataRows());
    if (grid->TopRow() == before) grid->SetTopRow(0);
    grid->Repaint();
  }
  State.counters["rows"] = grid->VisibleDataRows();
}
BENCHMARK(BM_GridScrollPage100k)->Unit(benchmark::kMicrosecond);

}  // namespace
