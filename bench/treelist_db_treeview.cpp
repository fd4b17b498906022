// The data-aware tree view on a 100,000-record in-memory table with parent keys (ten children
// each, five levels): loading every record, loading the top level only (trSmartRecordLoad), and
// with smart loading moving the dataset to a record on the lowest level, which loads the path
// to it. Run offscreen (QT_QPA_PLATFORM=offscreen).
#include <benchmark/benchmark.h>

#include <string>

#include "controls/mem_data.h"
#include "platform/forms.h"
#include "treelist/db_treeview.h"
#include "db_bench_table.h"

namespace {

struct Fixture {
  TComponent Owner{nullptr};
  TVxMemoryData* Data;
  TDataSource* Source;
  TForm* Form;
  TvmDBTreeView* TV;
  Fixture() {
    Data = MakeTreeTable(&Owner, false, 0);
    Source = new TDataSource(&Owner);
    Source->SetDataSet(Data);
    Form = new TForm(&Owner);
    Form->SetBounds(0, 0, 400, 600);
    TV = new TvmDBTreeView(Form);
    TV->SetParent(Form);
    TV->SetAlign(alClient);
    TV->SetKeyField("ID");
    TV->SetParentField("PARENT");
    TV->SetListField("NAME");
    Form->Show();
  }
  void Load(bool Smart) {
    TV->SetDataSource(nullptr);
    Data->First();
    TvmDBTreeViewOptions o{trCanDBNavigate, trCheckHasChildren};
    if (Smart) o.Include(trSmartRecordLoad);
    TV->SetDBOptions(o);
    TV->SetDataSource(Source);
  }
};

Fixture& Shared() {
  static Fixture f;
  return f;
}

void BM_LoadAllRecords(benchmark::State& State) {
  Fixture& f = Shared();
  for (auto _ : State) {
    State.PauseTiming();
    f.TV->SetDataSource(nullptr);
    f.TV->SetDBOptions(TvmDBTreeViewOptions{trCanDBNavigate, trCheckHasChildren});
    f.Data->First();
    State.ResumeTiming();
    f.TV->SetDataSource(f.Source);
  }
  if (f.TV->DBNodes()->Count() != kTreeRecords) State.SkipWithError("not every record has a node");
}
BENCHMARK(BM_LoadAllRecords)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SmartLoadTopLevel(benchmark::State& State) {
  Fixture& f = Shared();
  for (auto _ : State) {
    State.PauseTiming();
    f.TV->SetDataSource(nullptr);
    f.TV->SetDBOptions(TvmDBTreeViewOptions{trCanDBNavigate, trSmartRecordLoad, trCheckHasChildren});
    f.Data->First();
    State.ResumeTiming();
    f.TV->SetDataSource(f.Source);
  }
  if (f.TV->DBNodes()->Count() != 10) State.SkipWithError("the top level is not ten nodes");
}
BENCHMARK(BM_SmartLoadTopLevel)->Unit(benchmark::kMillisecond)->Iterations(5);

// The dataset moves to a record five levels down: the tree loads the children of each record on
// the way and selects the record's node.
void BM_SmartFindDeepRecord(benchmark::State& State) {
  Fixture& f = Shared();
  const int deep = kTreeRecords - 5;
  for (auto _ : State) {
    State.PauseTiming();
    f.Load(true);
    State.ResumeTiming();
    f.Data->SetRecNo(deep);
  }
  TvmDBTreeNode* n = f.TV->FindRecordNode();
  if (!n || n->Level() != 4 || f.TV->Selected() != n) State.SkipWithError("the record's node is not selected");
}
BENCHMARK(BM_SmartFindDeepRecord)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
