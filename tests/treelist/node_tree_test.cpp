// The node tree and its row cache against a plain model of the same forest, through many random
// operations; and the node operations' edge cases.
#include <algorithm>
#include <functional>
#include <random>
#include <set>

#include "platform/sysutils.h"
#include "tl_fixture.h"

namespace {

// The reference: a plain forest with expansion flags, shaped by the same operations.
struct RNode {
  TvmTreeListNode* N = nullptr;
  RNode* Parent = nullptr;
  std::vector<RNode*> Kids;
  bool Expanded = false;
  bool HasChildNodes = false;
};

struct TModel {
  std::vector<std::unique_ptr<RNode>> Store;
  std::vector<RNode*> Roots;

  std::vector<RNode*>& ListOf(RNode* Parent) { return Parent ? Parent->Kids : Roots; }
  RNode* Make(TvmTreeListNode* N) {
    Store.push_back(std::make_unique<RNode>());
    Store.back()->N = N;
    N->Data = Store.back().get();
    return Store.back().get();
  }
  void Place(RNode* R, RNode* Parent, int Index) {
    auto& l = ListOf(Parent);
    if (Index < 0 || Index > static_cast<int>(l.size())) Index = static_cast<int>(l.size());
    l.insert(l.begin() + Index, R);
    R->Parent = Parent;
    if (Parent) Parent->HasChildNodes = true;
  }
  void Unplace(RNode* R) {
    auto& l = ListOf(R->Parent);
    l.erase(std::find(l.begin(), l.end(), R));
    if (R->Parent && l.empty()) {
      R->Parent->Expanded = false;
      R->Parent->HasChildNodes = false;
    }
  }
  void Visible(std::vector<RNode*>& Out) {
    std::function<void(const std::vector<RNode*>&)> walk = [&](const std::vector<RNode*>& l) {
      for (RNode* r : l) {
        Out.push_back(r);
        if (r->Expanded) walk(r->Kids);
      }
    };
    walk(Roots);
  }
  void All(std::vector<RNode*>& Out) {
    std::function<void(const std::vector<RNode*>&)> walk = [&](const std::vector<RNode*>& l) {
      for (RNode* r : l) {
        Out.push_back(r);
        walk(r->Kids);
      }
    };
    walk(Roots);
  }
  bool Under(RNode* R, RNode* Ancestor) {
    for (RNode* p = R; p; p = p->Parent)
      if (p == Ancestor) return true;
    return false;
  }
};

void CheckAgainstModel(TvmTreeList* TL, TModel& M, int Step) {
  SCOPED_TRACE("step " + std::to_string(Step));
  std::vector<RNode*> vis, all;
  M.Visible(vis);
  M.All(all);
  ASSERT_EQ(TL->GetVisibleNodeCount(), static_cast<int>(vis.size()));
  ASSERT_EQ(TL->Count(), static_cast<int>(M.Roots.size()));
  for (size_t i = 0; i < vis.size(); ++i) {
    ASSERT_EQ(TL->GetNodeAtRow(static_cast<int>(i)), vis[i]->N) << "row " << i;
    ASSERT_EQ(vis[i]->N->AbsoluteIndex(), static_cast<int>(i));
  }
  EXPECT_EQ(TL->GetNodeAtRow(static_cast<int>(vis.size())), nullptr);
  std::set<RNode*> shown(vis.begin(), vis.end());
  std::set<TvmTreeListNode*> live;
  for (RNode* r : all) {
    TvmTreeListNode* n = r->N;
    live.insert(n);
    ASSERT_EQ(n->Parent(), r->Parent ? r->Parent->N : nullptr);
    auto& l = M.ListOf(r->Parent);
    ASSERT_EQ(n->Index(), std::find(l.begin(), l.end(), r) - l.begin());
    ASSERT_EQ(n->Count(), static_cast<int>(r->Kids.size()));
    ASSERT_EQ(n->Expanded(), r->Expanded);
    ASSERT_EQ(n->HasChildNodes(), r->HasChildNodes || !r->Kids.empty());
    ASSERT_EQ(n->IsVisible(), shown.count(r->Parent) > 0 ? r->Parent->Expanded : r->Parent == nullptr);
    if (!shown.count(r)) {
      ASSERT_EQ(n->AbsoluteIndex(), -1);
    }
    // The walk without the cache agrees with the cache.
    TvmTreeListNode* next = n->GetNext();
    if (next) {
      ASSERT_LT(TvmTreeListNode::CompareTreeOrder(n, next), 0);
    }
  }
  // Focus, top and anchor never point at a freed node.
  if (TL->FocusedNode()) {
    ASSERT_TRUE(live.count(TL->FocusedNode()));
  }
  if (TL->TopNode()) {
    ASSERT_TRUE(live.count(TL->TopNode()));
  }
  if (TL->AnchorNode()) {
    ASSERT_TRUE(live.count(TL->AnchorNode()));
  }
  if (all.empty()) {
    EXPECT_EQ(TL->FocusedNode(), nullptr);
    EXPECT_EQ(TL->TopNode(), nullptr);
  } else {
    EXPECT_NE(TL->FocusedNode(), nullptr);
  }
}

TEST(NodeTree, RandomOperationsKeepRowsIndexesAndCountsLikeThePlainModel) {
  TTreeListFixture f;
  TvmTreeList* tl = f.TL;
  tl->SetOptions(tl->Options() + tloMultiSelect + tloMixedLevelSelect);
  TModel m;
  std::mt19937 rng(12345);
  auto pick = [&](std::vector<RNode*>& v) { return v[std::uniform_int_distribution<size_t>(0, v.size() - 1)(rng)]; };
  int names = 0;
  bool locked = false;
  int lockedSteps = 0;
  for (int step = 0; step < 3000; ++step) {
    std::vector<RNode*> all;
    m.All(all);
    int op = std::uniform_int_distribution<int>(0, 99)(rng);
    if (all.empty() || op < 30) {
      // Add a child (or a root), sometimes first.
      RNode* parent = all.empty() || op % 4 == 0 ? nullptr : pick(all);
      bool first = op % 3 == 0;
      TvmTreeListNode* n;
      if (parent)
        n = first ? parent->N->AddChildFirst() : parent->N->AddChild();
      else
        n = first ? tl->AddFirst() : tl->Add();
      n->SetStrings(0, "N" + std::to_string(names++));
      m.Place(m.Make(n), parent, first ? 0 : -1);
    } else if (op < 40) {
      RNode* before = pick(all);
      TvmTreeListNode* n = tl->Insert(before->N);
      auto& l = m.ListOf(before->Parent);
      m.Place(m.Make(n), before->Parent, static_cast<int>(std::find(l.begin(), l.end(), before) - l.begin()));
    } else if (op < 52) {
      RNode* r = pick(all);
      r->N->Delete();
      m.Unplace(r);
    } else if (op < 75) {
      RNode* r = pick(all);
      bool had = r->N->HasChildNodes();
      r->N->SetExpanded(!r->N->Expanded());
      if (had) r->Expanded = !r->Expanded;
    } else if (op < 82) {
      RNode* r = pick(all);
      RNode* dest = op % 5 == 0 ? nullptr : pick(all);
      int index = std::uniform_int_distribution<int>(-1, 3)(rng);
      bool ok = r->N->MoveTo(dest ? dest->N : nullptr, index);
      bool allowed = !(dest && m.Under(dest, r));
      ASSERT_EQ(ok, allowed);
      if (ok) {
        auto& from = m.ListOf(r->Parent);
        int oldIndex = static_cast<int>(std::find(from.begin(), from.end(), r) - from.begin());
        bool same = r->Parent == dest;
        m.Unplace(r);
        if (same && index > oldIndex) --index;
        m.Place(r, dest, index);
      }
    } else if (op < 86) {
      // A node told it has children before any are loaded.
      RNode* r = pick(all);
      r->N->SetHasChildNodes(true);
      r->HasChildNodes = true;
    } else if (op < 92) {
      RNode* r = pick(all);
      r->N->SetFocused(true);
      if (!locked)
        for (RNode* p = r->Parent; p; p = p->Parent) p->Expanded = true;
      if (op % 2) r->N->SetSelected(true);
    } else if (op < 96) {
      if (!locked)
        tl->BeginUpdate();
      else
        tl->EndUpdate();
      locked = !locked;
      lockedSteps = 0;
    } else if (op < 99) {
      // Sorting the roots by their text (texts are unique).
      tl->SortNodes(0, 0, op % 2 == 0);
      std::stable_sort(m.Roots.begin(), m.Roots.end(), [&](RNode* a, RNode* b) {
        int c = AnsiCompareText(a->N->Strings(0), b->N->Strings(0));
        if (c == 0) return tl->CompareNodes(a->N, b->N) < 0;
        return op % 2 == 0 ? c > 0 : c < 0;
      });
    } else if (step % 7 == 0) {
      tl->DeleteAllNodes();
      m.Roots.clear();
    }
    if (locked && ++lockedSteps > 20) {
      tl->EndUpdate();
      locked = false;
    }
    CheckAgainstModel(tl, m, step);
    if (HasFatalFailure()) return;
    if (!locked && tl->Count() > 0) {
      ASSERT_TRUE(tl->IsVisibleCacheValid()) << "step " << step;
    }
  }
  if (locked) tl->EndUpdate();
}

TEST(NodeTree, OwnerIsMandatory) {
  try {
    TvmTreeListTextNode n(nullptr);
    FAIL();
  } catch (const EInvalidvmTreeListOperation& e) {
    EXPECT_EQ(e.Message(), "Invalid Owner TvmTreeListNode");
  }
}

TEST(NodeTree, OnlyChildLeavingCollapsesWithoutEvents) {
  TTreeListFixture f;
  TvmTreeListNode* p = f.TL->AddNode(nullptr, {"P"});
  TvmTreeListNode* c = f.TL->AddNode(p, {"C"});
  p->Expand(false);
  int events = 0;
  f.TL->OnCollapsing = [&](TObject*, TvmTreeListNode*, bool&) { ++events; };
  f.TL->OnCollapsed = [&](TObject*, TvmTreeListNode*) { ++events; };
  c->Delete();
  EXPECT_EQ(p->Count(), 0);
  EXPECT_FALSE(p->HasChildNodes());
  EXPECT_FALSE(p->Expanded());
  EXPECT_EQ(events, 0);
  EXPECT_EQ(f.TL->GetVisibleNodeCount(), 1);
}

TEST(NodeTree, ChildrenCanBeSuppliedWhileExpanding) {
  TTreeListFixture f;
  TvmTreeListNode* p = f.TL->AddNode(nullptr, {"P"});
  f.TL->AddNode(nullptr, {"Q"});
  p->SetHasChildNodes(true);
  int collapsing = 0;
  f.TL->OnExpanding = [&](TObject*, TvmTreeListNode* n, bool&) {
    if (n->Count() == 0) {
      f.TL->AddNode(n, {"a"});
      f.TL->AddNode(n, {"b"});
    }
  };
  f.TL->OnCollapsing = [&](TObject*, TvmTreeListNode*, bool&) { ++collapsing; };
  p->Expand(false);
  EXPECT_EQ(f.VisibleTexts(), (std::vector<std::string>{"P", "a", "b", "Q"}));
  p->Collapse();
  EXPECT_EQ(collapsing, 1);
  EXPECT_EQ(f.VisibleTexts(), (std::vector<std::string>{"P", "Q"}));
}

TEST(NodeTree, CollapsingMovesFocusAndTopOrIsRefused) {
  TTreeListFixture f(3, 400, 120);
  f.Fill(3, 10);
  TvmTreeListNode* r0 = f.Find("R0");
  r0->Expand(false);
  TvmTreeListNode* deep = f.Find("R0.9");
  deep->SetFocused(true);
  f.TL->SetTopNode(f.Find("R0.5"));
  r0->Collapse();
  EXPECT_EQ(f.TL->FocusedNode(), r0);
  EXPECT_EQ(f.TL->TopNode(), r0);
  // A control that will not move the focus keeps the node open.
  struct TStubborn : TvmTreeList {
    using TvmTreeList::TvmTreeList;
    bool FocusNodeForCollapse(TvmTreeListNode*) override { return false; }
  };
  auto* s = new TStubborn(f.Form.get());
  s->SetParent(f.Form.get());
  s->CreateColumn();
  TvmTreeListNode* p = s->AddNode(nullptr, {"P"});
  TvmTreeListNode* c = s->AddNode(p, {"C"});
  p->Expand(false);
  c->SetFocused(true);
  p->Collapse();
  EXPECT_TRUE(p->Expanded());
}

TEST(NodeTree, DeletingTheFocusedNodeFocusesPriorOrNext) {
  TTreeListFixture f;
  f.Fill(3, 3);
  f.Find("R1")->Expand(false);
  struct TCase {
    const char* Delete;
    const char* Focus;
  } cases[] = {{"R1.2", "R1.1"}, {"R1.0", "R1"}, {"R0", "R1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Delete);
    f.Find(c.Delete)->SetFocused(true);
    f.Find(c.Delete)->Delete();
    ASSERT_NE(f.TL->FocusedNode(), nullptr);
    EXPECT_EQ(f.TL->FocusedNode()->Strings(0), c.Focus);
  }
  // The last root going leaves nothing focused.
  f.TL->DeleteAllNodes();
  TvmTreeListNode* only = f.TL->AddNode(nullptr, {"X"});
  EXPECT_EQ(f.TL->FocusedNode(), only);
  only->Delete();
  EXPECT_EQ(f.TL->FocusedNode(), nullptr);
  EXPECT_EQ(f.TL->TopNode(), nullptr);
  EXPECT_EQ(f.TL->GetVisibleNodeCount(), 0);
  EXPECT_EQ(f.TL->GetNodeAtRow(0), nullptr);
}

TEST(NodeTree, NavigationWithAndWithoutExpansion) {
  TTreeListFixture f;
  f.Fill(2, 2);
  TvmTreeListNode *r0 = f.Find("R0"), *r1 = f.Find("R1");
  // GetNext descends into collapsed nodes, GetNextVisible does not.
  EXPECT_EQ(r0->GetNext()->Strings(0), "R0.0");
  EXPECT_EQ(r0->GetNextVisible(), r1);
  r0->Expand(false);
  EXPECT_EQ(f.Find("R0.0")->GetPrevVisible(), r0);
  EXPECT_EQ(r1->GetPrevVisible()->Strings(0), "R0.1");
  EXPECT_EQ(r1->GetPrev()->Strings(0), "R0.1");
  EXPECT_TRUE(f.Find("R0.1")->IsLast());
  EXPECT_EQ(f.Find("R0.1")->Level(), 1);
  EXPECT_EQ(r0->Items(5), nullptr);
  EXPECT_EQ(r0->Items(-1), nullptr);
  EXPECT_EQ(r0->IndexOf(r1), -1);
  EXPECT_GT(TvmTreeListNode::CompareTreeOrder(f.Find("R0.0"), r0), 0);
  EXPECT_LT(TvmTreeListNode::CompareTreeOrder(f.Find("R0.1"), f.Find("R1.0")), 0);
  // Adding under a collapsed parent changes no row.
  int rows = f.TL->GetVisibleNodeCount();
  f.TL->AddNode(r1, {"late"});
  EXPECT_EQ(f.TL->GetVisibleNodeCount(), rows);
  EXPECT_EQ(r1->AbsoluteIndex(), 3);
}

TEST(NodeTree, MakeVisibleExpandsAncestorsAndScrollsToTheLastFullRow) {
  TTreeListFixture f(3, 400, 150);
  f.TL->BeginUpdate();
  for (int i = 0; i < 30; ++i) {
    TvmTreeListNode* r = f.TL->AddNode(nullptr, {"R" + std::to_string(i)});
    TvmTreeListNode* c = f.TL->AddNode(r, {"C" + std::to_string(i)});
    f.TL->AddNode(c, {"G" + std::to_string(i)});
  }
  f.TL->EndUpdate();
  TvmTreeListNode* g = f.Find("G20");
  g->MakeVisible();
  EXPECT_TRUE(g->IsVisible());
  int page = f.TL->PageRowCount();
  EXPECT_EQ(f.TL->GetTopRowIndex(), g->AbsoluteIndex() - page + 1);
  // Moving a node under itself is refused and the tree stays whole.
  TvmTreeListNode* r = f.Find("R3");
  EXPECT_FALSE(r->MoveTo(f.Find("G3"), 0));
  EXPECT_FALSE(r->MoveTo(r, 0));
  EXPECT_EQ(f.Find("G3")->Parent()->Parent(), r);
}

TEST(NodeTree, DeletingTheLastOfTwoSiblingsClearsTheOtherRowHeight) {
  TTreeListFixture f;
  f.Fill(1, 2);
  f.Find("R0")->Expand(false);
  f.Paint();
  TvmTreeListNode* first = f.Find("R0.0");
  EXPECT_GT(first->CachedRowHeight, 0);
  f.Find("R0.1")->Delete();
  EXPECT_EQ(first->CachedRowHeight, 0);
}

}  // namespace

namespace {

TEST(NodeTree, DeletingAWideSubtreeKeepsRowsAndFocusRight) {
  TTreeListFixture f;
  f.TL->BeginUpdate();
  TvmTreeListNode* a = f.TL->AddNode(nullptr, {"A"});
  for (int i = 0; i < 2000; ++i) f.TL->AddNode(a, {"a" + std::to_string(i)});
  TvmTreeListNode* b = f.TL->AddNode(nullptr, {"B"});
  f.TL->AddNode(b, {"b"});
  f.TL->EndUpdate();
  a->Expand(false);
  b->Expand(false);
  f.Find("a1500")->SetFocused(true);
  int deletions = 0;
  f.TL->OnDeletion = [&](TObject*, TvmTreeListNode*) { ++deletions; };
  a->DeleteChildren();
  EXPECT_EQ(deletions, 2000);
  EXPECT_EQ(f.TL->FocusedNode(), a);
  EXPECT_FALSE(a->HasChildNodes());
  EXPECT_EQ(f.VisibleTexts(), (std::vector<std::string>{"A", "B", "b"}));
  EXPECT_TRUE(f.TL->IsVisibleCacheValid());
  EXPECT_EQ(f.Find("b")->AbsoluteIndex(), 2);
}

}  // namespace
