// The data-aware tree list on a 100,000-record in-memory table with parent keys (a tree of five
// levels). Goals: loading the whole table at most 300 ms; following one record's change (edit
// and post of its text and parent, seen through the data link) at most 1 ms. Run offscreen
// (QT_QPA_PLATFORM=offscreen).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "controls/mem_data.h"
#include "platform/forms.h"
#include "treelist/db_treelist.h"
#include "db_bench_table.h"

namespace {

struct Fixture {
  TComponent Owner{nullptr};
  TVxMemoryData* Data;
  TDataSource* Source;
  TForm* Form;
  TvmDBTreeList* TL;
  Fixture() {
    Data = MakeTreeTable(&Owner, true, 977);
    Source = new TDataSource(&Owner);
    Source->SetDataSet(Data);
    Form = new TForm(&Owner);
    Form->SetBounds(0, 0, 800, 700);
    TL = new TvmDBTreeList(Form);
    TL->SetName("DBTL");
    TL->SetParent(Form);
    TL->SetAlign(alClient);
    for (const char* f : {"NAME", "ID", "VALUE"}) TL->CreateColumn()->SetFieldName(f);
    TL->SetKeyField("ID");
    TL->SetParentField("PARENT");
    Form->Show();
  }
};

Fixture& Shared() {
  static Fixture f;
  return f;
}

void BM_LoadTable(benchmark::State& State) {
  Fixture& f = Shared();
  for (auto _ : State) {
    State.PauseTiming();
    f.TL->SetDataSource(nullptr);
    State.ResumeTiming();
    f.TL->SetDataSource(f.Source);
    benchmark::DoNotOptimize(f.TL->IndexedCount());
  }
  if (f.TL->IndexedCount() != kTreeRecords) State.SkipWithError("not every record has a node");
}
BENCHMARK(BM_LoadTable)->Unit(benchmark::kMillisecond)->Iterations(5);

// The whole table read again while 10,000 records are selected: they are selected again.
void BM_ReloadKeepingSelection(benchmark::State& State) {
  Fixture& f = Shared();
  if (f.TL->IndexedCount() != kTreeRecords) f.TL->SetDataSource(f.Source);
  f.TL->SetOptions(f.TL->Options() + tloMultiSelect + tloMixedLevelSelect);
  f.TL->ClearSelection();
  for (int id = 1; id <= kTreeRecords; id += 10) f.TL->FindNodeByKey(Variant(id))->SetSelected(true);
  for (auto _ : State) f.TL->LoadAll();
  if (f.TL->GetSelectedCount() != kTreeRecords / 10) State.SkipWithError("the selection was lost");
  f.TL->ClearSelection();
  f.TL->SetOptions(f.TL->Options() - tloMultiSelect - tloMixedLevelSelect);
}
BENCHMARK(BM_ReloadKeepingSelection)->Unit(benchmark::kMillisecond)->Iterations(5);

// One record deep in the table gets a new text and moves between two parents; the control
// follows (the dataset's own edit and post are inside the figure).
void BM_FollowRecordChange(benchmark::State& State) {
  Fixture& f = Shared();
  if (f.TL->IndexedCount() != kTreeRecords) f.TL->SetDataSource(f.Source);
  f.Data->SetRecNo(kTreeRecords - 5);
  const int id = f.Data->FieldByName("ID")->AsInteger();
  bool flip = false;
  for (auto _ : State) {
    flip = !flip;
    f.Data->Edit();
    f.Data->FieldByName("NAME")->SetAsString(flip ? "changed" : "again");
    f.Data->FieldByName("PARENT")->SetAsInteger(flip ? 7 : 8);
    f.Data->Post();
  }
  TvmDBTreeListNode* n = f.TL->FindNodeByKey(Variant(id));
  TvmDBTreeListNode* p = f.TL->FindNodeByKey(Variant(flip ? 7 : 8));
  if (!n || n->Parent() != p || n->Strings(0) != (flip ? "changed" : "again"))
    State.SkipWithError("the control did not follow");
}
BENCHMARK(BM_FollowRecordChange)->Unit(benchmark::kMicrosecond);

// The same change made with the control absent: what the dataset itself costs.
void BM_RecordChangeWithoutControl(benchmark::State& State) {
  Fixture& f = Shared();
  f.TL->SetDataSource(nullptr);
  f.Data->SetRecNo(kTreeRecords - 5);
  bool flip = false;
  for (auto _ : State) {
    flip = !flip;
    f.Data->Edit();
    f.Data->FieldByName("NAME")->SetAsString(flip ? "changed" : "again");
    f.Data->FieldByName("PARENT")->SetAsInteger(flip ? 7 : 8);
    f.Data->Post();
  }
  f.TL->SetDataSource(f.Source);
}
BENCHMARK(BM_RecordChangeWithoutControl)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
