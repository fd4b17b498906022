// The data grid on a 100,000-record in-memory table. Goals: scrolling by a page (the dataset
// moves, the grid's record window is read again) at most 5 ms; painting a screen of rows at most
// 10 ms. Run offscreen (QT_QPA_PLATFORM=offscreen).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "controls/mem_data.h"
#include "controls/vx_dbgrid.h"
#include "platform/forms.h"

namespace {

struct Fixture {
  TComponent Owner{nullptr};
  TVxMemoryData* Data;
  TDataSource* Source;
  TForm* Form;
  TVxDBGrid* Grid;
  Fixture() {
    Data = new TVxMemoryData(&Owner);
    Data->FieldDefs()->Add("Id", ftInteger, 0);
    Data->FieldDefs()->Add("Name", ftString, 20);
    Data->FieldDefs()->Add("Value", ftFloat, 0);
    Data->FieldDefs()->Add("When", ftDateTime, 0);
    Data->Open();
    Data->DisableControls();
    for (int i = 1; i <= 100000; ++i) {
      Data->Append();
      Data->Fields()[0]->SetAsInteger(i);
      Data->Fields()[1]->SetAsString("Station " + std::to_string(i % 977));
      Data->Fields()[2]->SetAsFloat(i * 0.125);
      Data->Fields()[3]->SetAsDateTime(44000 + i / 24.0);
      Data->Post();
    }
    Data->EnableControls();
    Source = new TDataSource(&Owner);
    Source->SetDataSet(Data);
    Form = new TForm(&Owner);
    Form->SetBounds(0, 0, 800, 700);
    Grid = new TVxDBGrid(Form);
    Grid->SetParent(Form);
    Grid->SetAlign(alClient);
    Grid->SetDataSource(Source);
    Form->Show();
    Data->SetRecNo(50000);
  }
};

Fixture& Shared() {
  static Fixture f;
  return f;
}

void BM_ScrollPage(benchmark::State& State) {
  Fixture& f = Shared();
  bool down = true;
  for (auto _ : State) {
    uint16_t key = down ? VK_NEXT : VK_PRIOR;
    f.Grid->DispatchKeyDown(key, {});
    benchmark::DoNotOptimize(f.Grid->DataLink()->RecordCount());  // the window is read again
    down = !down;
  }
  State.counters["rows"] = f.Grid->VisibleRowCount();
}
BENCHMARK(BM_ScrollPage)->Unit(benchmark::kMillisecond);

void BM_PaintScreen(benchmark::State& State) {
  Fixture& f = Shared();
  for (auto _ : State) {
    f.Grid->DispatchKeyDown(VK_DOWN, {});
    f.Grid->Repaint();
  }
  State.counters["rows"] = f.Grid->VisibleRowCount();
}
BENCHMARK(BM_PaintScreen)->Unit(benchmark::kMillisecond);

}  // namespace
