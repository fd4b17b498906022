// The tree list at scale, each workload beside the same work done by a QTreeView over a
// QStandardItemModel (the reference; Qt is used here only for it).
// Goals: 100,000 nodes in 5 levels built <= 100 ms; expand all <= 50 ms; one screen painted
// <= 5 ms at any scroll position; sorting 100,000 nodes by a text column <= 150 ms; memory
// <= 250 bytes per node beyond its values; each at most the reference's.
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_treelist
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QApplication>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTreeView>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/forms.h"
#include "treelist/tl_control.h"

namespace {

constexpr int kNodes = 100000;
constexpr int kWidth = 800, kHeight = 600;

void EnsureQtApp() {
  if (QApplication::instance()) return;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "bench_treelist";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

// The shape both builders follow: 10 roots, 10 children per node down to the fourth level
// (11,110 nodes), and the remaining 88,890 leaves spread over the 10,000 fourth-level nodes.
// Texts are pseudo-random so that sorting has work to do.
struct TShape {
  std::vector<std::string> Texts;
  TShape() {
    std::mt19937 rng(7);
    Texts.resize(kNodes);
    for (auto& t : Texts) {
      t.assign(9, 'N');
      for (int k = 1; k < 9; ++k) t[k] = static_cast<char>('a' + rng() % 26);
    }
  }
  template <class AddFn>
  void Build(AddFn Add) const {
    int next = 0;
    int fourth = 0;
    std::function<void(void*, int)> level = [&](void* parent, int depth) {
      int n = depth < 4 ? 10 : 8 + (fourth++ < 8890 ? 1 : 0);
      for (int i = 0; i < n; ++i) {
        int id = next++;
        void* node = Add(parent, Texts[id], id);
        if (depth < 4) level(node, depth + 1);
      }
    };
    level(nullptr, 0);
  }
};

const TShape& Shape() {
  static TShape s;
  return s;
}

double Ms(std::chrono::steady_clock::duration D) { return std::chrono::duration<double>(D).count(); }

// Ours.
struct TOurs {
  std::unique_ptr<TForm> Form;
  TvmTreeList* TL;
  TOurs() : Form(std::make_unique<TForm>(nullptr)) {
    Form->SetBounds(0, 0, kWidth + 20, kHeight + 20);
    TL = new TvmTreeList(Form.get());
    TL->SetParent(Form.get());
    TL->SetBounds(0, 0, kWidth, kHeight);
    TL->CreateColumn()->SetCaption("Name");
    TL->CreateColumn()->SetCaption("Number");
    Form->Show();
  }
  void Build() {
    TL->BeginUpdate();
    Shape().Build([&](void* parent, const std::string& text, int id) -> void* {
      TvmTreeListNode* n = TL->AddNode(static_cast<TvmTreeListNode*>(parent), {text, std::to_string(id)});
      return n;
    });
    TL->EndUpdate();
  }
};

// The reference.
struct TReference {
  std::unique_ptr<QTreeView> View;
  QStandardItemModel* Model = nullptr;
  TReference() {
    EnsureQtApp();
    View = std::make_unique<QTreeView>();
    View->resize(kWidth, kHeight);
    View->show();
  }
  void Build() {
    auto* m = new QStandardItemModel(View.get());
    m->setColumnCount(2);
    m->setHorizontalHeaderLabels({"Name", "Number"});
    Shape().Build([&](void* parent, const std::string& text, int id) -> void* {
      QList<QStandardItem*> row{new QStandardItem(QString::fromStdString(text)),
                                new QStandardItem(QString::number(id))};
      if (parent)
        static_cast<QStandardItem*>(parent)->appendRow(row);
      else
        m->appendRow(row);
      return row[0];
    });
    View->setModel(m);
    delete Model;
    Model = m;
  }
};

void BM_Build_TreeList(benchmark::State& State) {
  EnsureQtApp();
  for (auto _ : State) {
    TOurs o;
    auto t0 = std::chrono::steady_clock::now();
    o.Build();
    State.SetIterationTime(Ms(std::chrono::steady_clock::now() - t0));
  }
}
BENCHMARK(BM_Build_TreeList)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Build_Reference(benchmark::State& State) {
  for (auto _ : State) {
    TReference r;
    auto t0 = std::chrono::steady_clock::now();
    r.Build();
    State.SetIterationTime(Ms(std::chrono::steady_clock::now() - t0));
  }
}
BENCHMARK(BM_Build_Reference)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ExpandAll_TreeList(benchmark::State& State) {
  EnsureQtApp();
  TOurs o;
  o.Build();
  for (auto _ : State) {
    o.TL->FullCollapse();
    auto t0 = std::chrono::steady_clock::now();
    o.TL->FullExpand();
    State.SetIterationTime(Ms(std::chrono::steady_clock::now() - t0));
  }
  State.counters["rows"] = o.TL->GetVisibleNodeCount();
}
BENCHMARK(BM_ExpandAll_TreeList)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ExpandAll_Reference(benchmark::State& State) {
  TReference r;
  r.Build();
  for (auto _ : State) {
    r.View->collapseAll();
    auto t0 = std::chrono::steady_clock::now();
    r.View->expandAll();
    State.SetIterationTime(Ms(std::chrono::steady_clock::now() - t0));
  }
}
BENCHMARK(BM_ExpandAll_Reference)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// One screen painted with the first row at the given percentage of the expanded tree, after
// Setup configured the control.
void PaintScreen(benchmark::State& State, const std::function<void(TvmTreeList*)>& Setup) {
  EnsureQtApp();
  TOurs o;
  o.Build();
  o.TL->FullExpand();
  if (Setup) Setup(o.TL);
  int rows = o.TL->GetVisibleNodeCount();
  o.TL->SetTopRowIndex(static_cast<int>(int64_t(rows) * State.range(0) / 100));
  o.TL->SetFocusedNode(o.TL->TopNode());
  for (auto _ : State) {
    o.TL->Invalidate();
    o.TL->Update();
  }
}

// One screen painted with the first row at 0 %, 50 % or 100 % of the expanded tree.
void BM_PaintScreen_TreeList(benchmark::State& State) { PaintScreen(State, nullptr); }
BENCHMARK(BM_PaintScreen_TreeList)->Arg(0)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

// The same with rows measured to their texts (automatic row heights) and the footer panel: the
// first paint at a position measures its rows, later ones read the cached heights.
void BM_PaintScreenAutoHeight_TreeList(benchmark::State& State) {
  PaintScreen(State, [](TvmTreeList* TL) {
    TL->SetExtendedOptions(TL->ExtendedOptions() + tlxRowAutoHeight);
    TL->SetShowFooterPanel(true);
    TL->OnHasFooterCell = [](TObject*, TvmTreeListColumn*, bool& Exists) { Exists = true; };
  });
}
BENCHMARK(BM_PaintScreenAutoHeight_TreeList)->Arg(0)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_PaintScreen_Reference(benchmark::State& State) {
  TReference r;
  r.Build();
  r.View->expandAll();
  r.View->verticalScrollBar();
  QScrollBar* sb = r.View->verticalScrollBar();
  sb->setValue(static_cast<int>(int64_t(sb->maximum()) * State.range(0) / 100));
  QImage img(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : State) r.View->viewport()->render(&img);
}
BENCHMARK(BM_PaintScreen_Reference)->Arg(0)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_SortByText_TreeList(benchmark::State& State) {
  EnsureQtApp();
  TOurs o;
  o.Build();
  bool down = false;
  for (auto _ : State) {
    o.TL->SortNodes(-1, 0, down);
    down = !down;
  }
}
BENCHMARK(BM_SortByText_TreeList)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SortByText_Reference(benchmark::State& State) {
  TReference r;
  r.Build();
  bool down = false;
  for (auto _ : State) {
    r.Model->sort(0, down ? Qt::DescendingOrder : Qt::AscendingOrder);
    down = !down;
  }
}
BENCHMARK(BM_SortByText_Reference)->Unit(benchmark::kMillisecond)->Iterations(5);

// Heap bytes per node once built and fully expanded (the row caches included); "beyond values"
// takes away what holds the two texts themselves.
size_t HeapInUse() { return mallinfo2().uordblks; }

void BM_Memory_TreeList(benchmark::State& State) {
  EnsureQtApp();
  for (auto _ : State) {
    TOurs o;
    size_t before = HeapInUse();
    o.Build();
    o.TL->FullExpand();
    size_t after = HeapInUse();
    double perNode = double(after - before) / kNodes;
    State.counters["bytes_per_node"] = perNode;
    State.counters["beyond_values"] = perNode - 2 * sizeof(std::string);
  }
}
BENCHMARK(BM_Memory_TreeList)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Memory_Reference(benchmark::State& State) {
  for (auto _ : State) {
    TReference r;
    size_t before = HeapInUse();
    r.Build();
    r.View->expandAll();
    size_t after = HeapInUse();
    double perNode = double(after - before) / kNodes;
    // Two QStrings: their headers and UTF-16 payloads (9 and about 5 characters).
    double values = 2 * sizeof(QString) + (16 + 2 * 10) + (16 + 2 * 6);
    State.counters["bytes_per_node"] = perNode;
    State.counters["beyond_values"] = perNode - values;
  }
}
BENCHMARK(BM_Memory_Reference)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
