// The property inspector with 5,000 rows three levels deep (50 top rows, 9 under each, 10 under
// each of those). Goals: building the rows at most 50 ms, painting a screen at most 5 ms,
// expanding all at most 20 ms; freeing the inspector with its rows is measured too. Rows belong to the inspector's owner, whose component list
// checks each new name and tells every member of each newcomer; the same rows under an
// inspector without an owner show what that costs.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "inspector/vm_inspector.h"
#include "platform/bitmap.h"
#include "platform/forms.h"

namespace {

struct TBenchInspector {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TvmInspector* Insp;
  explicit TBenchInspector(bool Owned = true) {
    Form->SetBounds(0, 0, 420, 640);
    Insp = new TvmInspector(Owned ? Form.get() : nullptr);
    Insp->SetName("Insp");
    Insp->SetParent(Form.get());
    Insp->SetBounds(0, 0, 400, 600);
    Form->Show();
    if (!Owned) Unowned.reset(Insp);
  }
  ~TBenchInspector() {
    if (Unowned) Unowned->SetParent(nullptr);
  }
  std::unique_ptr<TvmInspector> Unowned;
  void Build() {
    Insp->BeginUpdate();
    for (int a = 0; a < 50; ++a) {
      auto* top = Insp->CreateRow<TvmInspectorTextRow>();
      top->SetCaption("Group " + std::to_string(a));
      for (int b = 0; b < 9; ++b) {
        auto* mid = Insp->CreateRow<TvmInspectorTextRow>();
        mid->SetCaption("Item " + std::to_string(b));
        mid->SetEditText(std::to_string(a * 10 + b));
        mid->Node()->MoveTo(top->Node(), inaAddChild);
        for (int c = 0; c < 10; ++c) {
          auto* leaf = Insp->CreateRow<TvmInspectorTextRow>();
          leaf->SetCaption("Value " + std::to_string(c));
          leaf->SetEditText(std::to_string(c * 0.5));
          leaf->Node()->MoveTo(mid->Node(), inaAddChild);
        }
      }
    }
    Insp->EndUpdate();
  }
};

void BM_InspectorBuild5000(benchmark::State& State) {
  for (auto _ : State) {
    State.PauseTiming();
    auto b = std::make_unique<TBenchInspector>(State.range(0) != 0);
    State.ResumeTiming();
    b->Build();
    benchmark::DoNotOptimize(b->Insp->GetRowCount());
    State.PauseTiming();
    b.reset();
    State.ResumeTiming();
  }
}
// Argument 1: rows owned by the form; 0: an inspector without an owner.
BENCHMARK(BM_InspectorBuild5000)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_InspectorPaintScreen(benchmark::State& State) {
  TBenchInspector b;
  b.Build();
  b.Insp->FullExpand();
  b.Insp->SetTopIndex(2000);
  TBitmap bmp;
  bmp.SetWidth(b.Insp->ClientWidth());
  bmp.SetHeight(b.Insp->ClientHeight());
  for (auto _ : State) b.Insp->PaintTo(bmp.Canvas());
}
BENCHMARK(BM_InspectorPaintScreen)->Unit(benchmark::kMillisecond);

void BM_InspectorFree5000(benchmark::State& State) {
  for (auto _ : State) {
    State.PauseTiming();
    auto b = std::make_unique<TBenchInspector>();
    b->Build();
    State.ResumeTiming();
    b.reset();
  }
}
BENCHMARK(BM_InspectorFree5000)->Unit(benchmark::kMillisecond);

void BM_InspectorExpandAll(benchmark::State& State) {
  TBenchInspector b;
  b.Build();
  for (auto _ : State) {
    State.PauseTiming();
    b.Insp->FullCollapse();
    State.ResumeTiming();
    b.Insp->FullExpand();
  }
}
BENCHMARK(BM_InspectorExpandAll)->Unit(benchmark::kMillisecond);

}  // namespace
