// The editing window on a 40-frequency x 100-estimate site, with its four charts and the
// resulting-data view open: one mask change by a selection tool through re-stack, recompute,
// journal record and the refresh and repaint of every open view (goal: one frame, 16 ms), and
// the move to the next frequency with its repaint (goal 10 ms).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/journal.h"
#include "app/main_form.h"
#include "app/start_up.h"
#include "app/views/data_view.h"
#include "app/views/edit_window.h"
#include "app/views/errpoint_series.h"
#include "app/views/induction_view.h"
#include "app/views/mask_window.h"
#include "app/views/polar_view.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "controls/vx_checklist.h"
#include "mtdata/mt_params.h"
#include "mtdata/open_site.h"
#include "mtdata/site_file.h"
#include "platform/actnlist.h"
#include "platform/bitmap.h"
#include "platform/forms.h"
#include "platform/inifiles.h"
#include "platform/logdevice.h"
#include "tools/mt_generator.h"
#include "app_bench_site.h"

namespace {

namespace fs = std::filesystem;

// The site of FreqCount frequencies: the 40 x 100 file, or a 68- or 140-frequency set of files.
std::vector<std::string> SiteOf(int FreqCount) {
  if (FreqCount == 40) return {app_bench::BigSite("vm_bench_app_edit_site.mt1")};
  return app_bench::SiteSet(FreqCount, "vm_bench_app_edit_set");
}

// The program with a site of FreqCount frequencies (100 estimates each), the editing window and
// the resulting-data view, every chart drawn once.
void OpenEditing(int FreqCount = 40) {
  app_bench::UseProfile("vm_bench_app_edit_profile");
  Application->Initialize();
  StartProgram({});
  MainForm1->Show();
  Application->ProcessMessages();
  std::vector<std::string> names = SiteOf(FreqCount);
  TLogCapture quiet;
  LoadSite(names);
  MainForm1->UpdateMenuItems(nullptr);
  MainForm1->AcResultingData->Execute();
  Application->ProcessMessages();
  GrView1->clbParameters->SetCheckedIndex(1);
  GrView1->Refresh(nullptr);
  MainForm1->AcEditing->Execute();
  Varo1->SetBounds(0, 0, 1000, 700);
  PushEditRecord(1, "Start");
  Application->ProcessMessages();
}

void Quit() {
  SiteModified = false;
  MainForm1->Close();
  FreeSite();
  EndProgram();
}

// Every chart of every open view painted, as the next frame shows them.
void PaintAll() { Application->ProcessMessages(); }

// The editing window with the circle tool on the fourth frequency; the pixel of the third estimate
// of the first panel (Chart) at the place a press removes or restores it.
TPoint OpenCircleOnThirdEstimate(TChart*& Chart, int FreqCount = 40) {
  OpenEditing(FreqCount);
  Chart = Varo1->Chart2;
  MainForm1->AcCircle->Execute();
  Varo1->Navigate(MainForm1->AcFirst, 1);
  Varo1->Navigate(MainForm1->AcNext, 3);
  PaintAll();
  auto* s = static_cast<TErrPointSeries*>(Chart->SeriesList()->SeriesAt(0));
  return TPoint(Chart->BottomAxis()->ValueToPixel(s->XValues()->Value(2)),
                Chart->LeftAxis()->ValueToPixel(s->YValues()->Value(2)));
}

// Circle presses on the third estimate of the first panel, removing and restoring in turn.
void BM_MaskChangeByCircle(benchmark::State& State) {
  TChart* c = nullptr;
  const TPoint at = OpenCircleOnThirdEstimate(c);
  const int x = at.X, y = at.Y;
  // Counts the paints of the estimate chart: each frame draws it. (The data view lies under the
  // editing window, which covers it: it is refreshed at each press but not painted.)
  int paints = 0;
  c->OnAfterDraw = [&paints](TObject*) { ++paints; };
  bool remove = true;
  size_t records = DataModule1->Rows.size();
  for (auto _ : State) {
    MainForm1->AcDeleting->SetChecked(remove);
    MainForm1->AcRestoring->SetChecked(!remove);
    c->DispatchMouseDown(mbLeft, {}, x, y);
    c->DispatchMouseUp(mbLeft, {}, x, y);
    PaintAll();
    remove = !remove;
  }
  if (DataModule1->Rows.size() != records + State.iterations()) State.SkipWithError("one record per press expected");
  if (paints < static_cast<int>(State.iterations())) State.SkipWithError("the estimate chart was not painted");
  c->OnAfterDraw = nullptr;
  State.counters["frequencies"] = CurrentSite->FreqCount;
  State.counters["estimates"] = CurrentSite->XprCount[Varo1->CurFreq];
  Quit();
}
BENCHMARK(BM_MaskChangeByCircle)->Unit(benchmark::kMillisecond);

// The same change without the repaint: the share of re-stack, journal and refresh.
void BM_MaskChangeByCircleWithoutPaint(benchmark::State& State) {
  TChart* c = nullptr;
  const TPoint at = OpenCircleOnThirdEstimate(c);
  const int x = at.X, y = at.Y;
  bool remove = true;
  for (auto _ : State) {
    MainForm1->AcDeleting->SetChecked(remove);
    MainForm1->AcRestoring->SetChecked(!remove);
    c->DispatchMouseDown(mbLeft, {}, x, y);
    c->DispatchMouseUp(mbLeft, {}, x, y);
    remove = !remove;
  }
  Quit();
}
BENCHMARK(BM_MaskChangeByCircleWithoutPaint)->Unit(benchmark::kMillisecond);

// Next and Prior in turn, each with the repaint of the window.
void BM_NextFrequency(benchmark::State& State) {
  OpenEditing();
  Varo1->Navigate(MainForm1->AcFirst, 1);
  PaintAll();
  bool next = true;
  for (auto _ : State) {
    Varo1->Navigate(next ? MainForm1->AcNext : MainForm1->AcPrior, next ? 3 : 2);
    PaintAll();
    next = !next;
  }
  Quit();
}
BENCHMARK(BM_NextFrequency)->Unit(benchmark::kMillisecond);

// The circle press with every view of the site open (editing window, both data views, polar
// diagrams, induction vectors, mask window) on a site of 40, 68 or 140 frequencies: the time of
// the whole frame, the calls of the parameter computation per edit and the paints of each view's
// chart per edit.
void BM_MaskChangeWithEveryViewOpen(benchmark::State& State) {
  TChart* c = nullptr;
  const TPoint at = OpenCircleOnThirdEstimate(c, static_cast<int>(State.range(0)));
  for (TAction* a : {MainForm1->acStartingData, MainForm1->AcPolar, MainForm1->AcIndVec, MainForm1->AcMaskEdit})
    a->Execute();
  GrViewNf1->clbParameters->SetCheckedIndex(1);
  GrViewNf1->Refresh(nullptr);
  Varo1->BringToFront();
  Varo1->DispatchActivate(true);
  MainForm1->AcCircle->Execute();
  PaintAll();
  const size_t records = DataModule1->Rows.size();
  // The polar view makes its charts anew at every refresh: its paints are not counted.
  TChart* charts[] = {Varo1->Chart1,     Varo1->Chart2,    GrView1->Chart1,
                      GrViewNf1->Chart1, IndVect1->Chart1, MaskEd1->Chart1};
  std::vector<int> paints(std::size(charts));
  for (size_t i = 0; i < std::size(charts); ++i) charts[i]->OnAfterDraw = [&paints, i](TObject*) { ++paints[i]; };
  bool remove = true;
  const uint64_t calls = CalcMtParametersCalls.load();
  for (auto _ : State) {
    MainForm1->AcDeleting->SetChecked(remove);
    MainForm1->AcRestoring->SetChecked(!remove);
    c->DispatchMouseDown(mbLeft, {}, at.X, at.Y);
    c->DispatchMouseUp(mbLeft, {}, at.X, at.Y);
    PaintAll();
    remove = !remove;
  }
  if (DataModule1->Rows.size() != records + State.iterations()) State.SkipWithError("one record per press expected");
  const double edits = static_cast<double>(State.iterations());
  State.counters["calc_per_edit"] = static_cast<double>(CalcMtParametersCalls.load() - calls) / edits;
  State.counters["max_paints_per_chart_per_edit"] = *std::max_element(paints.begin(), paints.end()) / edits;
  State.counters["min_paints_per_chart_per_edit"] = *std::min_element(paints.begin(), paints.end()) / edits;
  const char* names[] = {"paints_curves",   "paints_estimates", "paints_resulting",
                         "paints_starting", "paints_induction", "paints_mask"};
  for (size_t i = 0; i < std::size(charts); ++i) State.counters[names[i]] = paints[i] / edits;
  State.counters["frequencies"] = CurrentSite->FreqCount;
  for (TChart* chart : charts) chart->OnAfterDraw = nullptr;
  Quit();
}
BENCHMARK(BM_MaskChangeWithEveryViewOpen)->Arg(40)->Arg(68)->Arg(140)->Unit(benchmark::kMillisecond);

}  // namespace
