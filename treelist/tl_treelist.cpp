// The abstract tree list: node bookkeeping, the visible-row cache, focus and selection,
// sorting, layout, hit testing, keyboard and scrolling (the mouse is in tl_mouse.cpp).
#include "treelist/tl_treelist.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "inspector/vm_dropdown.h"
#include "platform/bitmap.h"
#include "platform/clipbrd.h"
#include "platform/flatscroll.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/imglist.h"
#include "platform/strings.h"
#include "platform/sysutils.h"
#include "treelist/tl_customize.h"

namespace {

constexpr int EdgeZone = 4;

template <class E>
uint32_t ToBits(const TSet<E>& S, int N) {
  uint32_t b = 0;
  for (int i = 0; i < N; ++i)
    if (S.Contains(static_cast<E>(i))) b |= 1u << i;
  return b;
}

template <class E>
TSet<E> FromBits(uint32_t B, int N) {
  TSet<E> s;
  for (int i = 0; i < N; ++i)
    if (B & (1u << i)) s.Include(static_cast<E>(i));
  return s;
}

}  // namespace

uint32_t OptionsToBits(const TvmTreeListOptions& Options) { return ToBits(Options, 18); }
TvmTreeListOptions BitsToOptions(uint32_t Bits) { return FromBits<TvmTreeListOption>(Bits, 18); }
uint32_t ExtendedOptionsToBits(const TvmTreeListExtendedOptions& Options) { return ToBits(Options, 32); }
TvmTreeListExtendedOptions BitsToExtendedOptions(uint32_t Bits) {
  return FromBits<TvmTreeListExtendedOption>(Bits & ~(1u << 26), 32);
}

VM_DEFINE_CLASS(TCustomvmTreeList)

TCustomvmTreeList::TCustomvmTreeList(TComponent* AOwner)
    : TCustomvmContainer(AOwner),
      FHeaderPanelFont(std::make_unique<TFont>()),
      FBandPanelFont(std::make_unique<TFont>()),
      FPreviewTextFont(std::make_unique<TFont>()) {
  FPreviewTextFont->SetColor(clBlue);
  FOptions = BitsToOptions(0x37);
  FExtendedOptions = BitsToExtendedOptions(0x303E);
  SetColor(clWindow);
  FTabStop = true;
  SetBounds(0, 0, 250, 150);
  FDragExpandTimer = new TTimer(this);
  FDragExpandTimer->SetEnabled(false);
  FDragExpandTimer->OnTimer = [this](TObject*) { DragExpandTimerFired(); };
  FDragScrollTimer = new TTimer(this);
  FDragScrollTimer->SetEnabled(false);
  FDragScrollTimer->OnTimer = [this](TObject*) { DragScrollTimerFired(); };
  ApplyFrameBorder();
  CalcMetrics();
}

TCustomvmTreeList::~TCustomvmTreeList() {
  FDestroying = true;
  DragControlDestroyed(this);
  delete FCustomizeForm;
  FCustomizeForm = nullptr;
  HideStatusHint();
  DeleteAllNodes();
}

// ---------------------------------------------------------------------------------------------
// Nodes.

TvmTreeListNode* TCustomvmTreeList::Items(int Index) const {
  return Index >= 0 && Index < Count() ? FRoots[Index] : nullptr;
}

TvmTreeListNode* TCustomvmTreeList::Add() { return Insert(nullptr); }

TvmTreeListNode* TCustomvmTreeList::AddFirst() { return Insert(GetFirstNode()); }

TvmTreeListNode* TCustomvmTreeList::Insert(TvmTreeListNode* BeforeNode) {
  if (BeforeNode && BeforeNode->FParent) return BeforeNode->FParent->InsertChild(BeforeNode);
  int at = BeforeNode && BeforeNode->FOwner == this && BeforeNode->FIndex >= 0 ? BeforeNode->FIndex : Count();
  TvmTreeListNode* n = CreateNode();
  FRoots.insert(FRoots.begin() + at, n);
  for (size_t i = at; i < FRoots.size(); ++i) FRoots[i]->FIndex = static_cast<int32_t>(i);
  NodeAdded(n);
  return n;
}

void TCustomvmTreeList::DestroyNode(TvmTreeListNode* Node) {
  TCustomvmTreeList* o = Node->FOwner;
  Node->FBeingDeleted = true;
  Node->DeleteChildren();
  TvmTreeListNode *prior = nullptr, *next = nullptr;
  bool wasLast = false, wasVisible = false;
  if (o->FClearing) {
    o->FDeletedNodeWasVisible = false;
  } else {
    prior = Node->GetPrevSiblingOrParent();
    next = Node->GetNextVisible();
    wasLast = Node->IsLast();
    wasVisible = Node->IsVisible();
    o->FDeletedNodeWasVisible = wasVisible;
    if (Node->FParent && Node->FParent->FBeingDeleted) wasVisible = false;
  }
  if (Node->FParent || !o->FClearing) Node->DetachFromList();
  delete Node->FChildren;
  Node->FChildren = nullptr;
  o->NodeDeleted(Node, prior, next, wasLast, wasVisible);
  delete Node;
}

void TCustomvmTreeList::DeleteAllNodes() {
  if (FRoots.empty()) return;
  TScopeExit done([this] {
    FClearing = false;
    FCache.Suppressed = false;
  });
  if (!FDestroying) {
    ForgetEditingCell();
    ForgetDraggedNode(nullptr);
  }
  FClearing = true;
  if (!FDestroying) ClearVisibleCache();
  FCache.Suppressed = true;
  std::vector<TvmTreeListNode*> roots;
  roots.swap(FRoots);
  for (TvmTreeListNode* n : roots) {
    n->FIndex = -1;
    DestroyNode(n);
  }
  FCache.RowNodes.clear();
  FCache.SortedNodes.clear();
  FCache.SortedRows.clear();
  ResetNodeReferences();
  FClearing = false;
  FCache.Suppressed = false;
  if (!FDestroying) {
    DoSelectionChanged();
    if (FLockUpdate == 0) {
      UpdateScrollBars();
      Invalidate();
    }
  }
}

void TCustomvmTreeList::FullExpand() {
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  for (size_t i = 0; i < FRoots.size(); ++i) FRoots[i]->Expand(true);
}

void TCustomvmTreeList::FullCollapse() {
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  for (TvmTreeListNode* n = GetFirstNode(); n; n = n->GetNext())
    if (n->Expanded()) n->Collapse();
}

void TCustomvmTreeList::ForgetEditingCell() {
  FEditingNode = nullptr;
  FEditingColumn = -1;
  if (FEditor && FEditor->EditVisible()) {
    bool hadFocus = EditorHasFocus();
    FEditor->HideEdit();
    if (hadFocus && CanFocus()) SetFocus();
  }
  if (FState == tlsEditing) FState = tlsIdle;
}

void TCustomvmTreeList::BeginUpdate() {
  ++FLockUpdate;
  ForgetEditingCell();
  // A node drag lives on through changes made while it runs (hover expansion, the drop).
  if (FState != tlsNodeDragging) {
    if (FState != tlsIdle && FState != tlsEditing) CancelMode();
    FState = tlsIdle;
  }
  ClearVisibleCache();
  BeginSelection();
}

void TCustomvmTreeList::EndUpdate() {
  if (FLockUpdate > 0) --FLockUpdate;
  LayoutChanged();
  EndSelection();
}

void TCustomvmTreeList::EndSelection() {
  if (FSelectionLock > 0) --FSelectionLock;
}

void TCustomvmTreeList::ResetNodeReferences() {
  FTopNode = nullptr;
  FFocusedNode = nullptr;
  FAnchorNode = nullptr;
  FSelecting = false;
  FPrevFocusedNode = nullptr;
  FDragNode = nullptr;
  FHotTrackNode = nullptr;
  FFirstSelectedNode = nullptr;
  FExpandHoverNode = nullptr;
  FHotTrack = TvmTreeListHotTrackInfo();
}

void TCustomvmTreeList::NodeAdded(TvmTreeListNode* Node) {
  ForgetEditingCell();
  if (!FTopNode) SetTopNode(Node);
  if (!FFocusedNode) FFocusedNode = FTopNode;
  if (FLockUpdate == 0) {
    if (!ComponentState().Contains(csLoading) && !FDestroying) PatchVisibleCache(Node, false);
    TvmTreeListNode* n = Node->GetPrevSiblingOrParent();
    NodeChanged(n ? n : Node, true);
  }
  if (OnAddition) OnAddition(this, Node);
}

void TCustomvmTreeList::NodeDeleted(TvmTreeListNode* Node, TvmTreeListNode* Prior, TvmTreeListNode* Next, bool WasLast,
                                    bool WasVisible) {
  if (OnDeletion) OnDeletion(this, Node);
  if (FClearing) return;
  if (IsNodeSelected(Node)) SetNodeSelected(Node, false);
  if (FFirstSelectedNode == Node) FFirstSelectedNode = nullptr;
  ForgetDraggedNode(Node);
  if (FRoots.empty()) {
    if (!FDestroying && !FCache.Suppressed) ClearVisibleCache();
    ResetNodeReferences();
    if (FLockUpdate == 0 && !FDestroying) {
      UpdateScrollBars();
      Invalidate();
    }
    return;
  }
  TvmTreeListNode* to = Prior ? Prior : Next;
  if (FTopNode == Node) SetTopNode(to);
  if (FFocusedNode == Node) FFocusedNode = to;
  if (FAnchorNode == Node) FAnchorNode = to;
  if (FPrevFocusedNode == Node) FPrevFocusedNode = nullptr;
  if (FHotTrackNode == Node) FHotTrackNode = nullptr;
  if (FHotTrack.HotNode == Node) FHotTrack = TvmTreeListHotTrackInfo();
  if (FExpandHoverNode == Node) FExpandHoverNode = nullptr;
  ForgetEditingCell();
  if (FLockUpdate == 0 && !FDestroying && FindSortedPosition(Node) >= 0) PatchVisibleCache(Node, true);
  if (WasVisible) {
    TvmTreeListNode* n = FTopNode ? FTopNode : FFocusedNode ? FFocusedNode : to;
    NodeChanged(n, true);
  }
}

void TCustomvmTreeList::NodeChanged(TvmTreeListNode* Node, bool Full) {
  if (FLockUpdate != 0 || FDestroying) return;
  if (Full) UpdateScrollBars();
  Invalidate();
}

bool TCustomvmTreeList::FocusNodeForCollapse(TvmTreeListNode* Node) {
  SetFocusedNodeColumn(Node, GetFocusedColumn(), false);
  return true;
}

void TCustomvmTreeList::DoExpanding(TvmTreeListNode* Node, bool& Allow) {
  if (OnExpanding) OnExpanding(this, Node, Allow);
}
void TCustomvmTreeList::DoCollapsing(TvmTreeListNode* Node, bool& Allow) {
  if (OnCollapsing) OnCollapsing(this, Node, Allow);
}
void TCustomvmTreeList::DoExpanded(TvmTreeListNode* Node) {
  if (OnExpanded) OnExpanded(this, Node);
}
void TCustomvmTreeList::DoCollapsed(TvmTreeListNode* Node) {
  if (OnCollapsed) OnCollapsed(this, Node);
}
void TCustomvmTreeList::DoChangeNode(TvmTreeListNode* OldNode, TvmTreeListNode* Node) {
  if (OnChangeNode) OnChangeNode(this, OldNode, Node);
}
void TCustomvmTreeList::DoChangeColumn(TvmTreeListNode* Node, int Column) {
  if (OnFocusedColumnChanged) OnFocusedColumnChanged(this, Node, Column);
}

// ---------------------------------------------------------------------------------------------
// The visible-row cache.

bool TCustomvmTreeList::IsVisibleCacheValid() const { return !FCache.SortedNodes.empty() && !FDestroying; }

void TCustomvmTreeList::ClearVisibleCache() {
  if (FCache.Suppressed) return;
  FCache.Fresh = false;
  FCache.RowNodes.clear();
  FCache.SortedNodes.clear();
  FCache.SortedRows.clear();
  FFocusedAbsoluteColumn = -1;
  ResetNodeMetrics();
}

void TCustomvmTreeList::ResetNodeMetrics() {
  if (FClearing || FDestroying) return;
  for (TvmTreeListNode* n = GetFirstNode(); n; n = n->GetNext()) {
    n->CachedRowHeight = 0;
    n->CachedLineCount = 0;
  }
}

void TCustomvmTreeList::WalkVisible(const std::function<bool(TvmTreeListNode*)>& Fn) const {
  // Depth-first over the roots, entering expanded nodes only; Fn answers false to stop.
  std::vector<std::pair<const std::vector<TvmTreeListNode*>*, size_t>> stack;
  stack.emplace_back(&FRoots, 0);
  while (!stack.empty()) {
    auto& [list, i] = stack.back();
    if (i >= list->size()) {
      stack.pop_back();
      continue;
    }
    TvmTreeListNode* n = (*list)[i++];
    if (!Fn(n)) return;
    if (n->FExpanded && n->FChildren) stack.emplace_back(n->FChildren, 0);
  }
}

void TCustomvmTreeList::BuildVisibleCache() {
  if (FCache.Suppressed || FDestroying) return;
  TvmTreeListNode* p = FCache.PatchNode;
  auto& rows = FCache.RowNodes;
  auto& sn = FCache.SortedNodes;
  auto& sr = FCache.SortedRows;
  if (p && !FCache.PatchVisible) {
    // A node that is not shown changes no row.
  } else if (p && IsVisibleCacheValid()) {
    std::less<const TvmTreeListNode*> before;
    if (FCache.PatchDeleting) {
      int pos = FindSortedPosition(p);
      if (pos >= 0) {
        int r = sr[pos];
        for (int32_t& v : sr)
          if (v >= r) --v;
        sr.erase(sr.begin() + pos);
        sn.erase(sn.begin() + pos);
        if (r < static_cast<int>(rows.size())) rows.erase(rows.begin() + r);
      }
      // The sibling that becomes last carries the node footers now.
      if (p->FIndex < 0 && p->FParent && p->FParent->Count() >= 1) p->FParent->GetLastChild()->CachedRowHeight = 0;
    } else {
      TvmTreeListNode* follow = nullptr;
      for (const TvmTreeListNode* n = p; n && !follow; n = n->FParent) follow = n->GetNextSibling();
      int r = follow ? GetRowIndex(follow) : static_cast<int>(rows.size());
      if (r < 0) r = static_cast<int>(rows.size());
      for (int32_t& v : sr)
        if (v >= r) ++v;
      auto it = std::lower_bound(sn.begin(), sn.end(), p, before);
      size_t at = it - sn.begin();
      sn.insert(it, p);
      sr.insert(sr.begin() + at, r);
      rows.insert(rows.begin() + r, p);
      if (p->IsLast() && p->FIndex >= 1) p->GetPrevSibling()->CachedRowHeight = 0;
    }
  } else {
    rows.clear();
    rows.reserve(FRoots.size());
    WalkVisible([&](TvmTreeListNode* n) {
      rows.push_back(n);
      return true;
    });
    std::vector<std::pair<TvmTreeListNode*, int32_t>> pairs(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) pairs[i] = {rows[i], static_cast<int32_t>(i)};
    std::sort(pairs.begin(), pairs.end(),
              [](const auto& a, const auto& b) { return std::less<const TvmTreeListNode*>()(a.first, b.first); });
    sn.resize(pairs.size());
    sr.resize(pairs.size());
    for (size_t i = 0; i < pairs.size(); ++i) {
      sn[i] = pairs[i].first;
      sr[i] = pairs[i].second;
    }
  }
  FCache.Fresh = true;
}

void TCustomvmTreeList::PatchVisibleCache(TvmTreeListNode* Node, bool Deleting) {
  FCache.PatchNode = Node;
  FCache.PatchVisible = FCache.PatchVisible || Deleting || Node->IsVisible();
  FCache.PatchDeleting = Deleting;
  TScopeExit clear([this] {
    FCache.PatchNode = nullptr;
    FCache.PatchVisible = false;
    FCache.PatchDeleting = false;
  });
  BuildVisibleCache();
}

int TCustomvmTreeList::FindSortedPosition(const TvmTreeListNode* Node) const {
  const auto& sn = FCache.SortedNodes;
  auto it = std::lower_bound(sn.begin(), sn.end(), Node, std::less<const TvmTreeListNode*>());
  return it != sn.end() && *it == Node ? static_cast<int>(it - sn.begin()) : -1;
}

int TCustomvmTreeList::GetVisibleNodeCount() const {
  if (IsVisibleCacheValid()) return static_cast<int>(FCache.RowNodes.size());
  int n = 0;
  WalkVisible([&](TvmTreeListNode*) {
    ++n;
    return true;
  });
  return n;
}

int TCustomvmTreeList::GetRowIndex(const TvmTreeListNode* Node) const {
  if (!Node || FRoots.empty()) return -1;
  if (IsVisibleCacheValid()) {
    int p = FindSortedPosition(Node);
    return p < 0 ? -1 : FCache.SortedRows[p];
  }
  int counter = -1, found = -1;
  WalkVisible([&](TvmTreeListNode* n) {
    ++counter;
    if (n == Node) found = counter;
    return found < 0;
  });
  return found;
}

TvmTreeListNode* TCustomvmTreeList::GetNodeAtRow(int Index) const {
  if (Index < 0) return nullptr;
  if (IsVisibleCacheValid()) return Index < static_cast<int>(FCache.RowNodes.size()) ? FCache.RowNodes[Index] : nullptr;
  int counter = -1;
  TvmTreeListNode* found = nullptr;
  WalkVisible([&](TvmTreeListNode* n) {
    if (++counter == Index) found = n;
    return !found;
  });
  return found;
}

TvmTreeListNode* TCustomvmTreeList::GetLastNode() const {
  if (FRoots.empty()) return nullptr;
  TvmTreeListNode* n = FRoots.back();
  while (n->FExpanded && n->Count() > 0) n = n->GetLastChild();
  return n;
}

// ---------------------------------------------------------------------------------------------
// Focus and selection.

int TCustomvmTreeList::VisibleColumnCount() {
  int n = 0;
  while (VisualColumnToColumn(n) >= 0) ++n;
  return n;
}

int TCustomvmTreeList::GetFocusedColumn() const {
  if (FOptions.Contains(tloRowSelect)) return 0;
  auto* self = const_cast<TCustomvmTreeList*>(this);
  return FFocusedColumn >= 0 && FFocusedColumn < self->VisibleColumnCount() ? FFocusedColumn : 0;
}

int TCustomvmTreeList::GetFocusedAbsoluteColumn() {
  if (FFocusedAbsoluteColumn < 0) FFocusedAbsoluteColumn = VisualColumnToColumn(GetFocusedColumn());
  return FFocusedAbsoluteColumn;
}

void TCustomvmTreeList::SetFocusedColumn(int Column) {
  if (Column != FFocusedColumn && Column >= 0 && Column < VisibleColumnCount())
    SetFocusedNodeColumn(FFocusedNode, Column, true);
}

void TCustomvmTreeList::FocusAdjacentColumn(bool Previous) {
  SetFocusedColumn(GetFocusedColumn() + (Previous ? -1 : 1));
}

void TCustomvmTreeList::SetFocusedNodeColumn(TvmTreeListNode* Node, int Column, bool MakeVisible) {
  if (!Node) return;
  CloseEditor();
  FFocusedAbsoluteColumn = -1;
  TvmTreeListNode* old = FFocusedNode;
  int oldCol = FFocusedColumn;
  if (FLockUpdate != 0) {
    FFocusedNode = Node;
    FFocusedColumn = Column;
    return;
  }
  bool rowSelect = FOptions.Contains(tloRowSelect);
  bool nodeChanged = Node != old;
  bool colChanged = !rowSelect && Column != oldCol;
  if (nodeChanged || colChanged) {
    if (!rowSelect) FFocusedColumn = Column;
    FFocusedNode = Node;
    FPrevFocusedNode = old;
    if (colChanged) MakeColumnVisible(VisualColumnToColumn(Column));
    Invalidate();
  }
  if (MakeVisible) Node->MakeVisible();
  if (FSearching && ((nodeChanged && FSearchLock == 0) || colChanged)) EndSearch();
  if (nodeChanged) DoChangeNode(old, Node);
  if (colChanged) DoChangeColumn(Node, Column);
}

void TCustomvmTreeList::SetFocusedRowIndex(int Index) {
  if (FRoots.empty() || Index == GetFocusedRowIndex()) return;
  Index = std::clamp(Index, 0, GetVisibleNodeCount() - 1);
  if (Index != GetFocusedRowIndex()) SetFocusedNodeColumn(GetNodeAtRow(Index), GetFocusedColumn(), true);
}

TvmTreeListNode* TCustomvmTreeList::GetFirstSelectedNode() {
  return GetSelectedCount() >= 1 ? GetSelectedItem(0) : FFirstSelectedNode;
}

bool TCustomvmTreeList::CanSelectNode(TvmTreeListNode* Node) {
  bool allow = true;
  if (OnCanSelectNode) OnCanSelectNode(this, Node, allow);
  TvmTreeListNode* first = GetFirstSelectedNode();
  if (allow && !FOptions.Contains(tloMixedLevelSelect) && first) allow = Node->Parent() == first->Parent();
  return allow;
}

void TCustomvmTreeList::ClearSelection() {
  FSelecting = false;
  DoSelectionChanged();
}

int TCustomvmTreeList::CompareWithAnchor(TvmTreeListNode* Node) {
  int a = GetRowIndex(FAnchorNode), n = GetRowIndex(Node);
  return n < a ? -1 : n == a ? 0 : 1;
}

int TCustomvmTreeList::ResetSelecting() {
  FSelecting = false;
  return GetSelectedCount();
}

void TCustomvmTreeList::DoSelectionChanged() {
  if (FDestroying || FSelectionLock > 0) return;
  if (OnSelectionChanged) OnSelectionChanged(this);
}

void TCustomvmTreeList::SelectNodes(TvmTreeListNode* From, TvmTreeListNode* To) {
  if (!From || !To) return;
  BeginSelection();
  TScopeExit end([this] { EndSelection(); });
  int a = GetRowIndex(From), b = GetRowIndex(To);
  if (a < 0 || b < 0) return;
  if (b < a) {
    std::swap(a, b);
    std::swap(From, To);
  }
  try {
    int left = b - a + 1;
    for (int r = a; left > 0; ++r, --left) {
      TvmTreeListNode* n = GetNodeAtRow(r);
      if (!n) break;
      n->SetSelected(true);
      if (n == To) break;
    }
  } catch (const Exception&) {
    // A node that refuses ends the range quietly.
  }
}

// ---------------------------------------------------------------------------------------------
// Sorting.

int TCustomvmTreeList::CompareNodes(TvmTreeListNode* Node1, TvmTreeListNode* Node2) {
  std::less<const TvmTreeListNode*> before;
  return before(Node1, Node2) ? -1 : before(Node2, Node1) ? 1 : 0;
}

int TCustomvmTreeList::CompareSortValues(const Variant& V1, const Variant& V2) {
  if (V1.IsString() && V2.IsString()) {
    // Texts: letter case aside first; texts that differ only in case keep one fixed order, so
    // that the comparison stays a strict order (the sort relies on it).
    const std::string& a = std::get<std::string>(V1.V);
    const std::string& b = std::get<std::string>(V2.V);
    if (a == b) return 0;
    int r = AnsiCompareText(a, b);
    if (r == 0) r = a.compare(b);
    return r < 0 ? -1 : 1;
  }
  if (V1 == V2) return 0;
  if (V1.IsNull()) return -1;
  if (V2.IsNull()) return 1;
  try {
    if (V1.IsString() || V2.IsString()) {
      std::string a = V1.AsString(), b = V2.AsString();
      int r = AnsiCompareText(a, b);
      if (r == 0) r = a.compare(b);
      return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    double a = V1.AsFloat(), b = V2.AsFloat();
    if (a != a || b != b) return (a != a) == (b != b) ? 0 : (a != a ? -1 : 1);  // not-a-number first
    return a < b ? -1 : 1;
  } catch (const EConvertError&) {
    return -1;
  }
}

void TCustomvmTreeList::SortList(std::vector<TvmTreeListNode*>& List, int Column, bool Descending) {
  if (List.size() < 2) return;
  int c = GetSortedColumnCount();
  bool multi = IsMultiSort(Column) && c > 1;
  std::vector<std::pair<int, bool>> keys;
  if (multi)
    for (int k = 0; k < c; ++k) keys.emplace_back(GetSortedColumn(k), IsSortedColumnDescending(k));
  else
    keys.emplace_back(Column, Descending);
  // Every key is taken once per node, into one flat table (node i, key k at i * K + k).
  const size_t n = List.size(), K = keys.size();
  std::vector<Variant> values(n * K);
  for (size_t i = 0; i < n; ++i)
    for (size_t k = 0; k < K; ++k) GetNodeSortValue(List[i], keys[k].first, values[i * K + k]);
  std::vector<uint32_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = static_cast<uint32_t>(i);
  bool caseSensitive = FExtendedOptions.Contains(tlxCaseSensitiveSort);
  auto cmp = [&](uint32_t A, uint32_t B) -> int {
    TvmTreeListNode *na = List[A], *nb = List[B];
    if (OnCompare) {
      int r = 0;
      OnCompare(this, na, nb, r);
      return r != 0 ? r : CompareNodes(na, nb);
    }
    for (size_t k = 0; k < K; ++k) {
      const Variant &a = values[A * K + k], &b = values[B * K + k];
      int r;
      if (caseSensitive && a.IsString() && b.IsString()) {
        const std::string &sa = std::get<std::string>(a.V), &sb = std::get<std::string>(b.V);
        r = sa == sb ? 0 : AnsiCompareStr(sa, sb);
        if (r == 0 && sa != sb) r = sa.compare(sb) < 0 ? -1 : 1;
      } else {
        r = CompareSortValues(a, b);
      }
      if (r != 0) return keys[k].second ? -r : r;
    }
    return CompareNodes(na, nb);
  };
  std::sort(order.begin(), order.end(), [&](uint32_t A, uint32_t B) { return cmp(A, B) < 0; });
  std::vector<TvmTreeListNode*> sorted(n);
  for (size_t i = 0; i < n; ++i) sorted[i] = List[order[i]];
  for (size_t i = 0; i < n; ++i) {
    List[i] = sorted[i];
    List[i]->FIndex = static_cast<int32_t>(i);
  }
}

void TCustomvmTreeList::SortLevel(std::vector<TvmTreeListNode*>& List, int Level, int Depth, int Column,
                                  bool Descending) {
  if (Level < 0 || Level == Depth) SortList(List, Column, Descending);
  if (Level >= 0 && Depth >= Level) return;
  for (TvmTreeListNode* n : List)
    if (n->FChildren) SortLevel(*n->FChildren, Level, Depth + 1, Column, Descending);
}

void TCustomvmTreeList::SortNodes(int Level, int Column, bool Descending) {
  TCursor old = Screen->Cursor();
  bool hourglass = FExtendedOptions.Contains(tlxSortHourglass);
  if (hourglass) Screen->SetCursor(crHourGlass);
  TScopeExit restore([&] {
    if (hourglass) Screen->SetCursor(old);
  });
  BeginUpdate();
  TScopeExit end([this] { EndUpdate(); });
  SortLevel(FRoots, Level, 0, Column, Descending);
}

// ---------------------------------------------------------------------------------------------
// Copying.

void TCustomvmTreeList::GetHeaderLine(std::string& Text) {
  Text.clear();
  int n = VisibleColumnCount();
  for (int i = 0; i < n; ++i) {
    if (i) Text += '\t';
    Text += GetColumnCaption(VisualColumnToColumn(i));
  }
  Text += "\r\n";
}

void TCustomvmTreeList::GetNodeLine(TvmTreeListNode* Node, std::string& Text) {
  Text.clear();
  int n = VisibleColumnCount();
  for (int i = 0; i < n; ++i) {
    if (i) Text += '\t';
    Text += GetCellText(Node, VisualColumnToColumn(i));
  }
}

void TCustomvmTreeList::CopySelectedToStrings(TStrings& Strings) {
  std::string line;
  GetHeaderLine(line);
  Strings.Add(line.substr(0, line.size() - 2));
  if (FOptions.Contains(tloMultiSelect)) {
    std::vector<TvmTreeListNode*> nodes;
    for (int i = 0; i < GetSelectedCount(); ++i) nodes.push_back(GetSelectedItem(i));
    std::sort(nodes.begin(), nodes.end(),
              [](TvmTreeListNode* a, TvmTreeListNode* b) { return TvmTreeListNode::CompareTreeOrder(a, b) < 0; });
    for (TvmTreeListNode* n : nodes) {
      GetNodeLine(n, line);
      Strings.Add(line);
    }
  } else if (FFocusedNode) {
    GetNodeLine(FFocusedNode, line);
    Strings.Add(line);
  }
}

void TCustomvmTreeList::CopyToClipboard() {
  TStringList lines;
  CopySelectedToStrings(lines);
  Clipboard()->SetAsText(lines.Text());
}

void TCustomvmTreeList::CopyAllToStrings(TStrings& Strings) {
  std::string line;
  GetHeaderLine(line);
  Strings.Add(line.substr(0, line.size() - 2));
  for (TvmTreeListNode* n = GetFirstNode(); n; n = n->GetNextVisible()) {
    GetNodeLine(n, line);
    Strings.Add(line);
  }
}

// ---------------------------------------------------------------------------------------------
// Properties.

void TCustomvmTreeList::SetOptions(const TvmTreeListOptions& Value) {
  if (Value == FOptions) return;
  FOptions = Value;
  if (!FOptions.Contains(tloMultiSelect)) ClearSelection();
  LayoutChanged();
}

void TCustomvmTreeList::SetExtendedOptions(const TvmTreeListExtendedOptions& Value) {
  TvmTreeListExtendedOptions v = Value;
  v.Exclude(tlxUnused26);
  if (v == FExtendedOptions) return;
  FExtendedOptions = v;
  LayoutChanged();
}

void TCustomvmTreeList::SetDefaultRowHeight(int Value) {
  if (Value == FDefaultRowHeight) return;
  FDefaultRowHeight = Value;
  FDefaultRowHeightAssigned = true;
  LayoutChanged();
}

void TCustomvmTreeList::SetShowGrid(bool Value) {
  if (!StoreChanged(FShowGrid, Value)) return;
  EditStylesChanged();
  LayoutChanged();
}

void TCustomvmTreeList::SetShowPreviewGrid(bool Value) {
  if (StoreChanged(FShowPreviewGrid, Value)) LayoutChanged();
}

void TCustomvmTreeList::SetShowBandPanel(bool Value) {
  if (StoreChanged(FShowBandPanel, Value)) LayoutChanged();
}

void TCustomvmTreeList::SetShowHeaderPanel(bool Value) {
  if (StoreChanged(FShowHeaderPanel, Value)) LayoutChanged();
}

void TCustomvmTreeList::SetShowIndicatorColumn(bool Value) {
  if (StoreChanged(FShowIndicator, Value)) LayoutChanged();
}

void TCustomvmTreeList::SetShowButtons(bool Value) {
  if (StoreChanged(FShowButtons, Value)) LayoutChanged();
}

void TCustomvmTreeList::SetShowLines(bool Value) {
  if (StoreChanged(FShowLines, Value)) LayoutChanged();
}

void TCustomvmTreeList::SetShowRoot(bool Value) {
  if (StoreChanged(FShowRoot, Value)) LayoutChanged();
}

void TCustomvmTreeList::SetHideSelection(bool Value) {
  if (StoreChanged(FHideSelection, Value)) LayoutChanged();
}

void TCustomvmTreeList::SetRowSeparatorWidth(int Value) {
  if (StoreChanged(FRowSeparatorWidth, Value)) LayoutChanged();
}

void TCustomvmTreeList::SetGridColor(TColor Value) {
  if (StoreChanged(FGridColor, Value)) LayoutChanged();
}

void TCustomvmTreeList::SetGridPenColor(TColor Value) {
  if (StoreChanged(FGridPenColor, Value)) LayoutChanged();
}

void TCustomvmTreeList::SetSelectionColor(TColor Value) {
  if (StoreChanged(FSelectionColor, Value)) LayoutChanged();
}

void TCustomvmTreeList::SetSelectionTextColor(TColor Value) {
  if (StoreChanged(FSelectionTextColor, Value)) LayoutChanged();
}

void TCustomvmTreeList::SetTreeConnectorColor(TColor Value) {
  if (StoreChanged(FTreeConnectorColor, Value)) LayoutChanged();
}

void TCustomvmTreeList::SetTreeConnectorStyle(TvmTreeListLineStyle Value) {
  if (StoreChanged(FTreeConnectorStyle, Value)) LayoutChanged();
}

void TCustomvmTreeList::SetLookStyle(TvmTreeListLookStyle Value) {
  if (!StoreChanged(FLookStyle, Value)) return;
  ApplyFrameBorder();
  EditStylesChanged();
  LayoutChanged();
}

void TCustomvmTreeList::SetPreviewLineCount(int Value) {
  Value = std::max(0, Value);
  if (Value == FPreviewLineCount) return;
  FPreviewLineCount = Value;
  LayoutChanged();
}

void TCustomvmTreeList::SetPreviewIndent(int Value) {
  if (Value == FPreviewIndent) return;
  FPreviewIndent = Value;
  Invalidate();
}

std::string TCustomvmTreeList::GetPreviewText(TvmTreeListNode* Node) {
  std::string t;
  if (OnGetPreviewText) OnGetPreviewText(this, Node, t);
  return t;
}

void TCustomvmTreeList::FontChanged() {
  TCustomvmContainer::FontChanged();
  LayoutChanged();
}

// ---------------------------------------------------------------------------------------------
// Metrics and layout.

namespace {
int TextHeightOf(TCanvas* C, TFont* F) {
  TFont keep;
  keep.Assign(C->Font());
  C->Font()->Assign(F);
  int h = C->TextHeight("Wg");
  C->Font()->Assign(&keep);
  return h;
}
}  // namespace

void TCustomvmTreeList::CalcMetrics() {
  TCanvas* c = Canvas();
  bool flat = FLookStyle != tllRaised;
  int hr = GetHeaderRowCount();
  FTextHeight = c ? TextHeightOf(c, Font()) : 11;
  int bandText = c ? TextHeightOf(c, FBandPanelFont.get()) : 11;
  int headText = c ? TextHeightOf(c, FHeaderPanelFont.get()) : 11;
  FBandHeight = FShowBandPanel ? (flat ? 0 : 1) + GetBandRowCount() * bandText + 5 : 0;
  FHeaderRowHeight = headText * std::max(1, GetHeaderMinRowCount()) + (flat ? 0 : 1) + 5;
  FHeaderPanelHeight = FShowHeaderPanel ? FHeaderRowHeight * hr : 0;
  FGroupPanelHeight = std::max(0, GetGroupPanelHeight());
  FIndicatorWidth = FShowIndicator ? 12 : 0;
  FFooterRowHeight = FTextHeight + 7;
  FFooterPanelHeight = FShowFooterPanel ? FFooterRowHeight * hr + (flat ? 0 : 1) + 3 : 0;
  FStatusHeight = IsStatusShown() ? std::max(FTextHeight + 5, 17) : 0;
  FIndent = 16;
  int g = FShowGrid && FShowPreviewGrid ? 1 : 0;
  FNodeFooterHeight = FFooterRowHeight * hr + 2 + g;
  int minimum = std::max(FTextHeight + 3, 16);
  if (FImages) minimum = std::max(minimum, FImages->Height());
  if (FStateImages) minimum = std::max(minimum, FStateImages->Height());
  // A column's own font or the least height of its cells raises every row.
  if (int cells = GetMaxColumnTextHeight(c); (minimum + g) * hr < cells) minimum = cells;
  minimum += g;
  if (FExtendedOptions.Contains(tlxCellFrame)) minimum += 2;
  FMinRowHeight = minimum;
  if (!FDefaultRowHeightAssigned || FDefaultRowHeight < minimum) FDefaultRowHeight = minimum;
  if (FDefaultRowHeight == minimum) FDefaultRowHeightAssigned = false;
  FPreviewTextHeight = c ? TextHeightOf(c, FPreviewTextFont.get()) : 11;
  // The uniform row: every row carries PreviewLineCount preview lines.
  int p = IsPreviewShown() ? std::max(0, FPreviewLineCount) : 0;
  FPreviewHeight = p > 0 ? p * FPreviewTextHeight + 2 + (g ? 1 : 0) : 0;
  FRowHeight =
      FDefaultRowHeight * hr + FPreviewHeight + (FShowGrid ? GetRowSeparatorWidth() : 0) - (p > 0 && g ? 1 : 0);
  FNewItemSeparatorHeight = flat ? 5 : 6;
  FNewItemRowHeight =
      hr == 1 && FNewItemRowVisible && GetVisibleBandCount() > 0 ? FDefaultRowHeight + FNewItemSeparatorHeight : 0;
  if (FNewItemRowHeight == 0) FNewItemRowActive = false;
  FMeasureColumns.clear();
  if (!HasUniformRowHeights()) ResetNodeMetrics();
}

void TCustomvmTreeList::LayoutChanged() {
  if (FLockUpdate != 0 || FDestroying) return;
  if (IsCustomizing()) FCustomizeForm->RefreshLists();
  CalcMetrics();
  if (!FCache.Fresh || !IsVisibleCacheValid()) BuildVisibleCache();
  // The top row is always a shown node.
  if (FTopNode && !FTopNode->IsVisible()) {
    TvmTreeListNode* t = FTopNode;
    while (t && !t->IsVisible()) t = t->Parent();
    FTopNode = t;
  }
  if (!FTopNode) FTopNode = GetFirstNode();
  SetLeftPos(FLeftPos);  // narrower bands may leave less to scroll
  // Rows fill the page whenever there are enough of them.
  int last = GetLastTopRowIndex();
  if (FTopNode && GetRowIndex(FTopNode) > last) FTopNode = GetNodeAtRow(last);
  if (FFocusedNode && !FFocusedNode->IsVisible()) {
    TvmTreeListNode* f = FFocusedNode;
    while (f && !f->IsVisible()) f = f->Parent();
    FFocusedNode = f;
  }
  UpdateScrollBars();
  Invalidate();
}

void TCustomvmTreeList::Resize() {
  TCustomvmContainer::Resize();
  if (FLockUpdate == 0) UpdateScrollBars();
  Invalidate();
}

void TCustomvmTreeList::CalcLayoutRects(TvmTreeListLayout& L) {
  TRect cr = ClientRect();
  L = TvmTreeListLayout();
  L.ClientRect = cr;
  int y = cr.Top;
  int left = cr.Left + FIndicatorWidth;
  if (FGroupPanelHeight > 0) {
    L.GroupPanelRect = TRect(cr.Left, y, cr.Right, y + FGroupPanelHeight);
    y += FGroupPanelHeight;
  }
  if (FBandHeight > 0) {
    L.BandPanelRect = TRect(left, y, cr.Right, y + FBandHeight);
    if (FIndicatorWidth > 0) L.BandButtonRect = TRect(cr.Left, y, left, y + FBandHeight);
    y += FBandHeight;
  }
  if (FHeaderPanelHeight > 0) {
    L.HeaderPanelRect = TRect(left, y, cr.Right, y + FHeaderPanelHeight);
    if (FIndicatorWidth > 0) L.HeaderButtonRect = TRect(cr.Left, y, left, y + FHeaderPanelHeight);
    y += FHeaderPanelHeight;
  }
  if (FNewItemRowHeight > 0) {
    L.NewItemRowRect = TRect(cr.Left, y, cr.Right, y + FNewItemRowHeight);
    y += FNewItemRowHeight;
  }
  int bottom = std::max(y, cr.Bottom - FFooterPanelHeight - FStatusHeight);
  L.RowsRect = TRect(left, y, cr.Right, bottom);
  L.IndicatorRect = TRect(cr.Left, y, left, L.RowsRect.Bottom);
  if (FFooterPanelHeight > 0) L.FooterPanelRect = TRect(cr.Left, bottom, cr.Right, bottom + FFooterPanelHeight);
  if (FStatusHeight > 0)
    L.StatusPanelRect =
        TRect(cr.Left, bottom + FFooterPanelHeight, cr.Right, bottom + FFooterPanelHeight + FStatusHeight);
}

// The widths of one band row's cells: the band's width shared by the sizable columns in
// proportion to their widths, a column whose share falls below its minimum fixed at it.
void TCustomvmTreeList::CalcRowWidths(int b, int r, int w, std::vector<int>& cols, std::vector<int>& widths) {
  int n = GetHeaderRowColumnCount(b, r);
  cols.assign(n, -1);
  widths.assign(n, -1);
  int avail = w;
  for (int i = 0; i < n; ++i) {
    cols[i] = GetHeaderColumn(b, r, i);
    if (!IsColumnSizing(cols[i])) {
      widths[i] = GetColumnWidth(cols[i]);
      avail = std::max(0, avail - widths[i]);
    }
  }
  for (bool again = true; again;) {
    again = false;
    int sum = 0;
    for (int i = 0; i < n; ++i)
      if (widths[i] < 0) sum += GetColumnWidth(cols[i]);
    for (int i = 0; i < n; ++i) {
      if (widths[i] >= 0) continue;
      int share = sum < 1 ? 0 : static_cast<int>(int64_t(GetColumnWidth(cols[i])) * avail / sum);
      int mn = GetColumnMinWidth(cols[i]);
      if (share < mn) {
        widths[i] = mn;
        avail = std::max(0, avail - mn);
        again = true;
        break;
      }
    }
    if (!again)
      for (int i = 0; i < n; ++i)
        if (widths[i] < 0) widths[i] = sum < 1 ? 0 : static_cast<int>(int64_t(GetColumnWidth(cols[i])) * avail / sum);
  }
}

void TCustomvmTreeList::GetScrollWidths(int& Total, int& View) {
  TvmTreeListLayout L;
  CalcLayoutRects(L);
  int bands = GetVisibleBandCount(), fixed = 0;
  Total = 0;
  for (int b = 0; b < bands; ++b) Total += GetBandWidth(b);
  int lf = GetLeftFixedBand(), rf = GetRightFixedBand();
  if (lf >= 0) fixed += GetBandWidth(lf);
  if (rf >= 0 && rf != lf) fixed += GetBandWidth(rf);
  Total -= fixed;
  View = std::max(0, L.RowsRect.Right - L.RowsRect.Left - fixed);
}

void TCustomvmTreeList::AddBandToLayout(TvmTreeListLayout& L, int Band, const TRect& Cell, const TRect& Clip) {
  int hr = GetHeaderRowCount();
  int bands = GetVisibleBandCount();
  int w = Cell.Right - Cell.Left;
  L.BandCells.push_back({Band, Cell, Clip});
  // Header cells: the band's width shared by its columns in proportion to their widths.
  for (int r = 0; r < hr; ++r) {
    int n = GetHeaderRowColumnCount(Band, r);
    if (n == 0) continue;
    std::vector<int> cols, widths;
    CalcRowWidths(Band, r, w, cols, widths);
    int cx = Cell.Left;
    for (int i = 0; i < n; ++i) {
      int cw = i == n - 1 ? w - (cx - Cell.Left) : widths[i];
      TvmTreeListHeaderCell h;
      h.Column = cols[i];
      h.Band = Band;
      h.BandRow = r;
      h.Position = i;
      h.RowSpan = GetHeaderCellRowSpan(Band, r, i);
      int top = L.HeaderPanelRect.Top + FHeaderRowHeight * r;
      h.Rect = TRect(cx, top, cx + cw, top + FHeaderRowHeight * h.RowSpan);
      h.Clip = h.Rect;
      h.Clip.Left = std::max(h.Clip.Left, Clip.Left);
      h.Clip.Right = std::min(h.Clip.Right, Clip.Right);
      h.FirstInRow = i == 0;
      h.LastInRow = i == n - 1;
      h.LeftEdge = Band == 0 && i == 0;
      h.RightEdge = Band == bands - 1 && i == n - 1;
      if (h.Clip.Right > h.Clip.Left) L.HeaderCells.push_back(h);
      cx += cw;
    }
  }
}

void TCustomvmTreeList::CalcLayout(TvmTreeListLayout& L) {
  CalcLayoutRects(L);
  int bands = GetVisibleBandCount();
  int total = 0;
  for (int b = 0; b < bands; ++b) total += GetBandWidth(b);
  int lf = GetLeftFixedBand(), rf = GetRightFixedBand();
  if (rf == lf) rf = -1;
  int bandTop = !IsRectEmpty(L.BandPanelRect) ? L.BandPanelRect.Top : L.RowsRect.Top - FHeaderPanelHeight;
  int areaLeft = L.RowsRect.Left, areaRight = L.RowsRect.Right;
  int sepW = std::max(0, FFixedBandSeparatorWidth);
  // Fixed bands stay where they are; the other bands scroll between them.
  if (lf >= 0) {
    int w = GetBandWidth(lf);
    L.LeftFixedBand = lf;
    L.LeftFixedBandRect = TRect(areaLeft, bandTop, areaLeft + w, L.RowsRect.Bottom);
    TRect cell(areaLeft, L.BandPanelRect.Top, areaLeft + w - sepW, L.BandPanelRect.Bottom);
    TRect clip = cell;
    clip.Right = std::min(clip.Right, areaRight);
    if (clip.Right > clip.Left) AddBandToLayout(L, lf, cell, clip);
    areaLeft += w;
  }
  if (rf >= 0) {
    int w = GetBandWidth(rf);
    int panelRight = std::min(areaRight, L.RowsRect.Left + total - FLeftPos);
    int x = std::max(panelRight - w, std::max(areaLeft, L.RowsRect.Left));
    L.RightFixedBand = rf;
    L.RightFixedBandRect = TRect(x, bandTop, x + w, L.RowsRect.Bottom);
    TRect cell(x + sepW, L.BandPanelRect.Top, x + w, L.BandPanelRect.Bottom);
    TRect clip = cell;
    clip.Right = std::min(clip.Right, areaRight);
    if (clip.Right > clip.Left) AddBandToLayout(L, rf, cell, clip);
    areaRight = x;
  }
  int x = areaLeft - FLeftPos;
  for (int b = 0; b < bands; ++b) {
    if (b == lf || b == rf) continue;
    int w = GetBandWidth(b);
    TRect cell(x, L.BandPanelRect.Top, x + w, L.BandPanelRect.Bottom);
    TRect clip = cell;
    clip.Left = std::max(clip.Left, areaLeft);
    clip.Right = std::min(clip.Right, areaRight);
    if (clip.Right > clip.Left) AddBandToLayout(L, b, cell, clip);
    L.LastScrolledBand = b;
    x += w;
    if (x >= areaRight) break;
  }
  L.DataRight = total + L.RowsRect.Left - 1 - FLeftPos;
  if (rf >= 0) L.DataRight = std::min(L.DataRight, L.RowsRect.Right - 1);
  L.FirstColumnWidth = bands > 0 ? GetBandWidth(0) : 0;
  if (lf >= 0)
    L.FirstColumnWidth -= sepW;
  else if (rf >= 0)
    L.FirstColumnWidth = std::min(L.FirstColumnWidth, areaRight - L.RowsRect.Left + FLeftPos);
  L.GridLineWidth = FShowGrid ? GetRowSeparatorWidth() : 0;
  if (L.DataRight + 1 < L.RowsRect.Right)
    L.EmptyRightRect = TRect(L.DataRight + 1, L.ClientRect.Top, L.ClientRect.Right, L.RowsRect.Top);
  // Rows from the top node down to the rows area's bottom.
  int top = L.RowsRect.Top;
  int multi = FOptions.Contains(tloMultiSelect);
  bool uniform = HasUniformRowHeights(), autoHeight = IsRowAutoHeight();
  for (TvmTreeListNode* n = FTopNode; n && top < L.RowsRect.Bottom; n = n->GetNextVisible()) {
    TvmTreeListRowInfo row;
    row.Node = n;
    row.Selected = multi ? IsNodeSelected(n) : n == FFocusedNode;
    row.Top = top;
    if (uniform) {
      row.Height = FRowHeight;
      row.PreviewLines = FPreviewHeight > 0 ? FPreviewLineCount : 0;
      n->CachedRowHeight = FRowHeight;
    } else {
      row.Height = GetNodeRowHeight(n);
      row.PreviewLines = IsPreviewShown() ? GetPreviewLineCount(n) : 0;
      row.LineCount = autoHeight ? n->CachedLineCount : -1;
      row.FooterCount = FShowNodeFooters ? GetNodeFooterCount(n) : 0;
      row.FooterHeight = row.FooterCount * FNodeFooterHeight;
    }
    L.VisibleRows.push_back(row);
    top += row.Height;
  }
  if (top < L.RowsRect.Bottom) {
    L.LastRowBottom = top;
    L.EmptyBottomRect = TRect(L.ClientRect.Left, top, L.DataRight + 1, L.RowsRect.Bottom);
  }
}

int TCustomvmTreeList::VisualColumnToColumn(int Index) {
  if (Index < 0) return -1;
  int hr = GetHeaderRowCount(), bands = GetVisibleBandCount(), n = 0;
  for (int r = 0; r < hr; ++r)
    for (int b = 0; b < bands; ++b) {
      int c = GetHeaderRowColumnCount(b, r);
      if (Index < n + c) return GetHeaderColumn(b, r, Index - n);
      n += c;
    }
  return -1;
}

int TCustomvmTreeList::ColumnToVisualColumn(int Column) {
  for (int n = 0;; ++n) {
    int c = VisualColumnToColumn(n);
    if (c < 0) return 0;
    if (c == Column) return n;
  }
}

int TCustomvmTreeList::RowPreviewHeight(const TvmTreeListRowInfo& Row) const {
  return Row.PreviewLines > 0 ? Row.PreviewLines * FPreviewTextHeight + 2 + (FShowGrid && FShowPreviewGrid ? 1 : 0) : 0;
}

void TCustomvmTreeList::RunDrawHook(TCanvas* C, const TRect& Clip, const std::function<void()>& Hook) {
  // The hook draws inside the element only; the clip and the font come back afterwards.
  TRegion keep;
  bool had = C->GetClipRgn(keep) == 1;
  C->IntersectClipRect(Clip.Left, Clip.Top, Clip.Right, Clip.Bottom);
  TScopeExit restore([&] {
    C->SelectClipRgn(had ? &keep : nullptr);
    C->Brush()->SetStyle(bsSolid);
  });
  Hook();
}

int TCustomvmTreeList::NodeLevelIndent(TvmTreeListNode* Node) const {
  // Compact: a parent's button takes its own level's cell, a leaf's images move into it.
  if (FDrawStyle == tlpCompact) return (Node->Level() + (Node->HasChildNodes() ? 1 : 0)) * FIndent;
  return (Node->Level() + (FShowRoot ? 1 : 0)) * FIndent;
}

int TCustomvmTreeList::NodeIndent(TvmTreeListNode* Node) const {
  int x = NodeLevelIndent(Node);
  auto* self = const_cast<TCustomvmTreeList*>(this);
  if (FStateImages && self->GetStateIndex(Node) >= 0) x += FStateImages->Width();
  if (FImages && (self->GetImageIndex(Node) >= 0 || self->GetSelectedIndex(Node) >= 0)) x += FImages->Width();
  return x;
}

void TCustomvmTreeList::SetImages(TImageList* Value) {
  if (Value == FImages) return;
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  LayoutChanged();
}

void TCustomvmTreeList::SetStateImages(TImageList* Value) {
  if (Value == FStateImages) return;
  FStateImages = Value;
  if (Value) Value->FreeNotification(this);
  LayoutChanged();
}

void TCustomvmTreeList::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomvmContainer::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) SetImages(nullptr);
  if (AComponent == FStateImages) SetStateImages(nullptr);
}

TRect TCustomvmTreeList::GetCellRect(TvmTreeListNode* Node, int VisualColumn) {
  TRect none(-1, -1, -1, -1);
  int col = VisualColumnToColumn(VisualColumn);
  if (col < 0 || !Node) return none;
  TvmTreeListLayout L;
  CalcLayout(L);
  for (const auto& row : L.VisibleRows) {
    if (row.Node != Node) continue;
    for (const auto& h : L.HeaderCells) {
      if (h.Column != col) continue;
      TRect r(h.Rect.Left, row.Top + FDefaultRowHeight * h.BandRow, h.Rect.Right,
              row.Top + FDefaultRowHeight * (h.BandRow + h.RowSpan));
      if (row.LineCount > 1 && h.BandRow + h.RowSpan >= GetHeaderRowCount())
        r.Bottom = row.Top + row.Height - L.GridLineWidth;
      if (h.Band == 0) {
        int indentEnd = L.RowsRect.Left - (L.LeftFixedBand >= 0 ? 0 : FLeftPos) + NodeIndent(Node);
        if (indentEnd > r.Left) r.Left = indentEnd;
      }
      return r;
    }
  }
  return none;
}

void TCustomvmTreeList::MakeColumnVisible(int Column) {
  if (Column < 0) return;
  int x = 0, bands = GetVisibleBandCount(), hr = GetHeaderRowCount();
  int totalW, area;
  GetScrollWidths(totalW, area);
  int lf = GetLeftFixedBand(), rf = GetRightFixedBand();
  for (int b = 0; b < bands; ++b) {
    int bw = GetBandWidth(b);
    bool fixed = b == lf || b == rf;
    for (int r = 0; r < hr; ++r) {
      std::vector<int> cols, widths;
      CalcRowWidths(b, r, bw, cols, widths);
      int cx = x;
      for (size_t i = 0; i < cols.size(); ++i) {
        int cw = i + 1 == cols.size() ? bw - (cx - x) : widths[i];
        if (cols[i] == Column) {
          if (fixed) return;  // fixed bands never scroll
          if (cx < FLeftPos || cw > area)
            SetLeftPos(cx);
          else if (cx + cw > FLeftPos + area)
            SetLeftPos(cx + cw - area);
          return;
        }
        cx += cw;
      }
    }
    if (!fixed) x += bw;
  }
}

void TCustomvmTreeList::SetLeftPos(int Value) {
  int total, area;
  GetScrollWidths(total, area);
  Value = std::clamp(Value, 0, std::max(0, total - area));
  if (Value == FLeftPos) return;
  FLeftPos = Value;
  UpdateScrollBars();
  Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Scrolling.

int TCustomvmTreeList::PageRowCount() {
  TvmTreeListLayout L;
  CalcLayoutRects(L);
  int area = L.RowsRect.Bottom - L.RowsRect.Top;
  if (HasUniformRowHeights()) return std::max(1, area / std::max(1, FRowHeight));
  // Rows of their own heights: those that fit whole from the top row down.
  int n = 0;
  for (TvmTreeListNode* r = FTopNode ? FTopNode : GetFirstNode(); r; r = r->GetNextVisible()) {
    area -= GetNodeRowHeight(r);
    if (area < 0) break;
    ++n;
  }
  return std::max(1, n);
}

int TCustomvmTreeList::GetLastTopRowIndex() {
  int count = GetVisibleNodeCount();
  if (HasUniformRowHeights()) {
    TvmTreeListLayout L;
    CalcLayoutRects(L);
    return std::max(0, count - std::max(1, (L.RowsRect.Bottom - L.RowsRect.Top) / std::max(1, FRowHeight)));
  }
  // The highest top row from which the last rows fill the page.
  TvmTreeListLayout L;
  CalcLayoutRects(L);
  int area = L.RowsRect.Bottom - L.RowsRect.Top;
  int index = count;
  for (TvmTreeListNode* r = GetLastNode(); r; r = r->GetPrevVisible()) {
    area -= GetNodeRowHeight(r);
    if (area < 0 && index < count) break;
    --index;
  }
  return std::max(0, std::min(index, count - 1));
}

void TCustomvmTreeList::SetTopNode(TvmTreeListNode* Node) {
  if (Node == FTopNode) return;
  FTopNode = Node;
  if (FLockUpdate == 0 && !FDestroying && !FClearing) {
    UpdateScrollBars();
    Invalidate();
  }
}

void TCustomvmTreeList::SetTopRowIndex(int Index) {
  int count = GetVisibleNodeCount();
  if (count == 0) return;
  Index = std::clamp(Index, 0, GetLastTopRowIndex());
  SetTopNode(GetNodeAtRow(Index));
}

void TCustomvmTreeList::UpdateScrollBars() {
  if (FDestroying || FLockUpdate != 0) return;
  TScrollInfo si;
  si.nMin = 0;
  si.nMax = std::max(0, GetVisibleNodeCount() - 1);
  si.nPage = PageRowCount();
  si.nPos = std::max(0, GetTopRowIndex());
  SetScrollInfo(SB_VERT, si, false);
  // A bar that ScrollBars leaves out gets a range with nothing to scroll, which hides it.
  if (IsVertScrollBarWanted())
    SetScrollBar(SB_VERT, 0, si.nMax, si.nPage, si.nPos);
  else
    SetScrollBar(SB_VERT, 0, 0, 1, 0);
  int total, area;
  GetScrollWidths(total, area);
  if (IsHorzScrollBarWanted())
    SetScrollBar(SB_HORZ, 0, std::max(0, total - 1), std::max(1, area), FLeftPos);
  else
    SetScrollBar(SB_HORZ, 0, 0, 1, 0);
}

void TCustomvmTreeList::Scrolled(int Kind, int Position) {
  if (Kind == SB_VERT)
    SetTopRowIndex(Position);
  else
    SetLeftPos(Position);
}

void TCustomvmTreeList::MouseWheelScroll(bool Up, int Lines) {
  if (FAnchor.Active) {
    EndAnchorScroll();
    return;
  }
  TCustomvmContainer::MouseWheelScroll(Up, Lines);
  SetTopRowIndex(GetTopRowIndex() + (Up ? -Lines : Lines));
}

// ---------------------------------------------------------------------------------------------
// Hit testing.

void TCustomvmTreeList::GetHitInfo(TPoint P, TvmTreeListHitTestInfo& H) {
  H = TvmTreeListHitTestInfo();
  H.X = P.X;
  H.Y = P.Y;
  TvmTreeListLayout L;
  CalcLayout(L);
  if (!PtInRect(L.ClientRect, P)) {
    H.HitType = tlhOutside;
    return;
  }
  auto nearEdge = [&](int Edge) { return P.Y >= Edge - EdgeZone && P.Y < Edge + EdgeZone; };
  // The footer cell under P in a footer whose first line starts at Top: the cells follow the header's
  // rows and spans; Slack pixels below a cell's last line still count as the cell.
  auto footerCell = [&](int Top, int Slack) {
    for (const auto& c : L.HeaderCells) {
      int t = Top + FFooterRowHeight * c.BandRow - (c.BandRow == 0 ? 1 : 0);
      if (P.X >= c.Clip.Left && P.X < c.Clip.Right && P.Y >= t && P.Y < t + c.RowSpan * FFooterRowHeight + Slack) {
        H.Band = c.Band;
        H.Column = c.Column;
        return;
      }
    }
  };
  if (FExtendedOptions.Contains(tlxBandPanelSizing) && !IsRectEmpty(L.BandPanelRect) &&
      P.X >= (IsRectEmpty(L.BandButtonRect) ? L.BandPanelRect.Left : L.BandButtonRect.Left) &&
      nearEdge(L.BandPanelRect.Bottom)) {
    H.HitType = tlhBandPanelEdge;
    return;
  }
  if (FExtendedOptions.Contains(tlxHeaderPanelSizing) && !IsRectEmpty(L.HeaderPanelRect) &&
      P.X >= (IsRectEmpty(L.HeaderButtonRect) ? L.HeaderPanelRect.Left : L.HeaderButtonRect.Left) &&
      nearEdge(L.HeaderPanelRect.Bottom)) {
    H.HitType = tlhHeaderPanelEdge;
    return;
  }
  bool bandsHidden = FExtendedOptions.Contains(tlxBands) && !FShowBandPanel;
  auto bandSizable = [&](int Band) {
    return FExtendedOptions.Contains(tlxBandSizing) && IsBandSizing(Band) &&
           (!FExtendedOptions.Contains(tlxBands) || FShowBandPanel);
  };
  if (PtInRect(L.BandButtonRect, P)) {
    H.HitType = tlhBandButton;
    return;
  }
  if (PtInRect(L.BandPanelRect, P)) {
    H.HitType = tlhBandHeader;
    for (const auto& b : L.BandCells)
      if (PtInRect(b.Clip, P)) {
        H.Band = b.Band;
        if (bandSizable(b.Band) && P.X >= b.Rect.Right - EdgeZone) H.HitType = tlhBandEdge;
      }
    return;
  }
  if (PtInRect(L.HeaderButtonRect, P)) {
    H.HitType = tlhHeaderButton;
    return;
  }
  if (PtInRect(L.HeaderPanelRect, P)) {
    H.HitType = tlhNowhere;
    for (const auto& c : L.HeaderCells) {
      if (!PtInRect(c.Clip, P)) continue;
      H.HitType = tlhColumnHeader;
      H.Band = c.Band;
      H.Column = c.Column;
      bool sizable = FOptions.Contains(tloColumnSizing) && IsColumnSizing(c.Column);
      if (P.X >= c.Rect.Right - EdgeZone) {
        if (sizable && (!c.LastInRow || bandsHidden))
          H.HitType = tlhColumnEdge;
        else if (c.LastInRow && bandSizable(c.Band))
          H.HitType = tlhBandEdge;
      }
      break;
    }
    return;
  }
  if (PtInRect(L.IndicatorRect, P)) {
    H.HitType = tlhIndicator;
    for (size_t i = 0; i < L.VisibleRows.size(); ++i) {
      const auto& r = L.VisibleRows[i];
      if (P.Y >= r.Top && P.Y < r.Top + r.Height) {
        H.Row = static_cast<int>(i);
        H.Node = r.Node;
        if (FExtendedOptions.Contains(tlxRowSizing)) {
          if (P.Y >= r.Top + r.Height - EdgeZone) {
            H.HitType = tlhRowEdge;
          } else if (i > 0 && P.Y < r.Top + EdgeZone) {
            H.HitType = tlhRowEdge;
            H.Row = static_cast<int>(i) - 1;
            H.Node = L.VisibleRows[i - 1].Node;
          }
        }
      }
    }
    return;
  }
  if (PtInRect(L.GroupPanelRect, P)) {
    H.HitType = tlhGroupPanel;
    return;
  }
  if (PtInRect(L.NewItemRowRect, P)) {
    H.HitType = tlhNewItemRow;
    for (const auto& c : L.HeaderCells)
      if (P.X >= c.Clip.Left && P.X < c.Clip.Right) {
        H.Band = c.Band;
        H.Column = c.Column;
        break;
      }
    return;
  }
  if (PtInRect(L.StatusPanelRect, P)) {
    H.HitType = tlhStatusPanel;
    return;
  }
  if (PtInRect(L.FooterPanelRect, P)) {
    H.HitType = tlhFooter;
    footerCell(L.FooterPanelRect.Top + 1, 3);
    return;
  }
  if (!PtInRect(L.RowsRect, P) || L.HeaderCells.empty()) return;
  for (size_t i = 0; i < L.VisibleRows.size(); ++i) {
    const auto& r = L.VisibleRows[i];
    if (P.Y < r.Top || P.Y >= r.Top + r.Height) continue;
    H.Row = static_cast<int>(i);
    H.Node = r.Node;
    H.HitType = P.X <= L.DataRight ? tlhCell : tlhRowTail;
    if (H.HitType != tlhCell) return;
    int footerTop = r.Top + r.Height - L.GridLineWidth - r.FooterHeight;
    if (r.FooterCount > 0 && P.Y >= footerTop && P.Y < footerTop + r.FooterHeight) {
      H.HitType = tlhRowFooter;
      H.FooterRow = (P.Y - footerTop) / FNodeFooterHeight;
      footerCell(footerTop + H.FooterRow * FNodeFooterHeight + 1, 2);
      return;
    }
    int previewBottom = footerTop;
    int previewH = RowPreviewHeight(r);
    if (previewH > 0 && P.Y >= previewBottom - previewH && P.Y < previewBottom) {
      H.HitType = tlhPreview;
      return;
    }
    int x = P.X - L.RowsRect.Left + (L.LeftFixedBand >= 0 ? 0 : FLeftPos);
    if (x < std::min(NodeIndent(r.Node), L.FirstColumnWidth)) {
      H.HitType = tlhIndent;
      int level = NodeLevelIndent(r.Node);
      int buttonLeft = level - FIndent;
      if (x >= level) {
        int stateW = FStateImages && GetStateIndex(r.Node) >= 0 ? FStateImages->Width() : 0;
        H.HitType = x < level + stateW ? tlhStateIcon : tlhIcon;
      } else if (FShowButtons && r.Node->HasChildNodes() && x >= buttonLeft &&
                 (r.Node->Parent() || FShowRoot || FDrawStyle == tlpCompact)) {
        H.HitType = tlhButton;
      }
    }
    for (const auto& c : L.HeaderCells)
      if (P.X >= c.Clip.Left && P.X < c.Clip.Right && P.Y >= r.Top + FDefaultRowHeight * c.BandRow &&
          P.Y < r.Top + FDefaultRowHeight * (c.BandRow + 1)) {
        H.Column = c.Column;
        H.Band = c.Band;
        break;
      }
    return;
  }
}

TvmTreeListNode* TCustomvmTreeList::GetNodeAt(int X, int Y) {
  TvmTreeListHitTestInfo h;
  GetHitInfo(TPoint(X, Y), h);
  return h.Node;
}

// ---------------------------------------------------------------------------------------------
// Keyboard.

bool TCustomvmTreeList::WantsKey(uint16_t Key) const { return Key == VK_RETURN || Key == VK_ESCAPE; }

void TCustomvmTreeList::FocusRowForKey(TvmTreeListNode* Node, TShiftState Shift) {
  if (!Node) return;
  bool multi = FOptions.Contains(tloMultiSelect);
  if (multi && Shift.Contains(ssShift) && CanSelectRange()) {
    if (!FAnchorNode) SetSelectionAnchor(FFocusedNode);
    BeginSelection();
    {
      TScopeExit end([this] { EndSelection(); });
      ClearSelection();
      SetFocusedNodeColumn(Node, GetFocusedColumn(), true);
      SelectNodes(FAnchorNode, Node);
      FSelecting = true;
    }
    DoSelectionChanged();
    return;
  }
  if (multi && !Shift.Contains(ssCtrl)) {
    BeginSelection();
    {
      TScopeExit end([this] { EndSelection(); });
      ClearSelection();
      SetFocusedNodeColumn(Node, GetFocusedColumn(), true);
      Node->SetSelected(true);
      SetSelectionAnchor(Node);
    }
    DoSelectionChanged();
    return;
  }
  SetFocusedNodeColumn(Node, GetFocusedColumn(), true);
}

void TCustomvmTreeList::MoveRow(int Delta, TShiftState Shift) {
  if (!FFocusedNode) return;
  TvmTreeListNode* n = GetNodeAtRow(GetRowIndex(FFocusedNode) + Delta);
  if (n) FocusRowForKey(n, Shift);
}

bool TCustomvmTreeList::MoveInBandRows(int Delta) {
  // Up and Down go through the header rows of the focused column's band first.
  int col = GetFocusedAbsoluteColumn();
  if (col < 0 || !FFocusedNode) return false;
  int band = -1, row = -1, pos = -1;
  for (int b = 0; b < GetVisibleBandCount() && band < 0; ++b)
    for (int r = 0; r < GetHeaderRowCount() && band < 0; ++r)
      for (int i = 0; i < GetHeaderRowColumnCount(b, r); ++i)
        if (GetHeaderColumn(b, r, i) == col) {
          band = b;
          row = r;
          pos = i;
        }
  if (band < 0) return false;
  std::vector<int> rows;
  for (int r = 0; r < GetHeaderRowCount(); ++r)
    if (GetHeaderRowColumnCount(band, r) > 0) rows.push_back(r);
  if (rows.size() < 2) return false;
  int at = static_cast<int>(std::find(rows.begin(), rows.end(), row) - rows.begin()) + Delta;
  TvmTreeListNode* node = FFocusedNode;
  if (at < 0 || at >= static_cast<int>(rows.size())) {
    node = GetNodeAtRow(GetRowIndex(FFocusedNode) + Delta);
    if (!node) return true;  // not above the first or below the last row
    at = Delta < 0 ? static_cast<int>(rows.size()) - 1 : 0;
  }
  int target = rows[at];
  int p = std::min(pos, GetHeaderRowColumnCount(band, target) - 1);
  SetFocusedNodeColumn(node, ColumnToVisualColumn(GetHeaderColumn(band, target, p)), true);
  return true;
}

void TCustomvmTreeList::MovePage(bool Down, TShiftState Shift) {
  if (!FFocusedNode) return;
  int page = PageRowCount();
  int top = GetTopRowIndex(), focus = GetRowIndex(FFocusedNode), count = GetVisibleNodeCount();
  int target;
  if (Down) {
    int bottom = std::min(count - 1, top + page - 1);
    target = focus < bottom ? bottom : std::min(count - 1, focus + page - 1);
  } else {
    target = focus > top ? top : std::max(0, focus - page + 1);
  }
  FocusRowForKey(GetNodeAtRow(target), Shift);
}

void TCustomvmTreeList::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (FAnchor.Active) {
    // A key ends anchor scrolling and does nothing else.
    EndAnchorScroll();
    Key = 0;
    return;
  }
  TCustomvmContainer::KeyDown(Key, Shift);
  if (Key == 0 || !CanProcessKey(Key, Shift)) return;
  BeginSelection();
  TScopeExit end([this] { EndSelection(); });
  if (FState == tlsNodeDragging && (Key == VK_ADD || Key == VK_SUBTRACT)) {
    TvmTreeListNode* n = GetNodeAt(FLastDragPoint.X, FLastDragPoint.Y);
    if (n && n->HasChildNodes()) n->SetExpanded(Key == VK_ADD);
    return;
  }
  if (FState != tlsIdle && FState != tlsEditing && FState != tlsNodePressed) {
    if (Key == VK_ESCAPE) CancelMode();
    return;
  }
  if (FRoots.empty()) return;
  if (FState == tlsEditing && (Key == VK_TAB || Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_PRIOR ||
                               Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN)) {
    CloseEditor();
    if (Key == VK_ESCAPE || Key == VK_RETURN) return;
  }
  if (FSearching) {
    if (Key == VK_ESCAPE) {
      EndSearch();
      return;
    }
    if (Key == VK_BACK && !FSearchText.empty()) {
      FSearchText.pop_back();
      return;
    }
    if (Key == VK_RETURN && (Shift.Contains(ssShift) || Shift.Contains(ssCtrl))) {
      std::string t = FSearchText;
      RunSearch(t, Shift.Contains(ssShift) ? 1 : 2, false);
      return;
    }
  }
  bool rowSelect = FOptions.Contains(tloRowSelect);
  bool ctrl = Shift.Contains(ssCtrl), shift = Shift.Contains(ssShift);
  TvmTreeListNode* f = FFocusedNode;
  if (IsNewItemRowShown() && f) {
    // The new-item row sits above the first row: Up (or PgUp) from there enters it, Down leaves.
    if (FNewItemRowActive && (Key == VK_DOWN || Key == VK_NEXT)) {
      SetNewItemRowActive(false);
      TvmTreeListNode* top = FTopNode ? FTopNode : GetFirstNode();
      SetFocusedNodeColumn(top, GetFocusedColumn(), true);
      if (!ctrl && !shift && FOptions.Contains(tloMultiSelect)) {
        ClearSelection();
        top->SetSelected(true);
        SetSelectionAnchor(top);
      }
      return;
    }
    if (Key == VK_UP || Key == VK_PRIOR) {
      if (!FNewItemRowActive && !shift && GetRowIndex(f) == 0) SetNewItemRowActive(true);
      if (FNewItemRowActive) return;
    }
  }
  bool rangeCtrl =
      ctrl && shift && CanSelectRange() &&
      (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME || Key == VK_UP || Key == VK_DOWN);
  if (ctrl && !rangeCtrl) {
    switch (Key) {
      case VK_SPACE:
        if (f && (rowSelect || !FOptions.Contains(tloEditing)) && FOptions.Contains(tloMultiSelect)) {
          f->SetSelected(!f->Selected());
          SetSelectionAnchor(f);
        }
        break;
      case VK_PRIOR:
        MovePage(false, TShiftState{ssCtrl});
        break;
      case VK_NEXT:
        MovePage(true, TShiftState{ssCtrl});
        break;
      case VK_HOME:
        SetFocusedNodeColumn(GetFirstNode(), GetFocusedColumn(), true);
        break;
      case VK_END:
        SetFocusedNodeColumn(GetLastNode(), GetFocusedColumn(), true);
        break;
      case VK_LEFT:
        SetFocusedColumn(0);
        break;
      case VK_RIGHT:
        SetFocusedColumn(VisibleColumnCount() - 1);
        break;
      case VK_UP:
        MoveRow(-1, Shift);
        break;
      case VK_DOWN:
        MoveRow(1, Shift);
        break;
      case VK_INSERT:
        CopyToClipboard();
        break;
      default:
        break;
    }
    return;
  }
  int cols = VisibleColumnCount();
  switch (Key) {
    case VK_TAB:
      if (Shift.Contains(ssAlt)) break;
      if (rowSelect) {
        MoveRow(shift ? -1 : 1, TShiftState());
      } else {
        // The next column that Tab stops at; past the end, the first (last) one of the next row.
        int step = shift ? -1 : 1;
        auto stops = [&](int c) { return IsColumnTabStop(VisualColumnToColumn(c)); };
        int c = GetFocusedColumn() + step;
        while (c >= 0 && c < cols && !stops(c)) c += step;
        if (c >= 0 && c < cols) {
          SetFocusedColumn(c);
        } else if (FOptions.Contains(tloTabThrough)) {
          TvmTreeListNode* n = GetNodeAtRow(GetRowIndex(f) + step);
          int first = shift ? cols - 1 : 0;
          while (first >= 0 && first < cols && !stops(first)) first += step;
          if (n && first >= 0 && first < cols) SetFocusedNodeColumn(n, first, true);
        }
      }
      break;
    case VK_ESCAPE:
      ClearSelection();
      break;
    case VK_PRIOR:
      MovePage(false, Shift);
      break;
    case VK_NEXT:
      MovePage(true, Shift);
      break;
    case VK_HOME:
    case VK_END:
      if (rowSelect || shift)
        FocusRowForKey(Key == VK_HOME ? GetFirstNode() : GetLastNode(), Shift);
      else
        SetFocusedColumn(Key == VK_HOME ? 0 : cols - 1);
      break;
    case VK_LEFT:
      if (rowSelect) {
        if (!f) break;
        f->MakeVisible();
        if (f->Expanded())
          f->Collapse();
        else if (f->Parent() && f->Index() == 0)
          FocusRowForKey(f->Parent(), TShiftState());
        else
          MoveRow(-1, TShiftState());
      } else if (GetFocusedColumn() > 0) {
        SetFocusedColumn(GetFocusedColumn() - 1);
      } else if (FExtendedOptions.Contains(tlxArrowsWrap)) {
        TvmTreeListNode* n = GetNodeAtRow(GetRowIndex(f) - 1);
        if (n) SetFocusedNodeColumn(n, cols - 1, true);
      }
      break;
    case VK_RIGHT:
      if (rowSelect) {
        if (!f) break;
        f->MakeVisible();
        if (f->HasChildNodes() && !f->Expanded())
          f->Expand(false);
        else if (f->HasChildNodes() && f->Count() > 0)
          FocusRowForKey(f->GetFirstChild(), TShiftState());
        else if (!f->HasChildNodes())
          MoveRow(1, TShiftState());
      } else if (GetFocusedColumn() < cols - 1) {
        SetFocusedColumn(GetFocusedColumn() + 1);
      } else if (FExtendedOptions.Contains(tlxArrowsWrap)) {
        TvmTreeListNode* n = GetNodeAtRow(GetRowIndex(f) + 1);
        if (n) SetFocusedNodeColumn(n, 0, true);
      }
      break;
    case VK_UP:
    case VK_DOWN:
      if (!(FExtendedOptions.Contains(tlxRowNavigation) && !rowSelect && MoveInBandRows(Key == VK_UP ? -1 : 1)))
        MoveRow(Key == VK_UP ? -1 : 1, Shift);
      break;
    case VK_RETURN:
      if (FExtendedOptions.Contains(tlxEnterThrough) && FExtendedOptions.Contains(tlxTypingEdits)) {
        int c = GetFocusedColumn() + 1;
        if (c < cols)
          SetFocusedColumn(c);
        else if (TvmTreeListNode* n = GetNodeAtRow(GetRowIndex(f) + 1))
          SetFocusedNodeColumn(n, 0, true);
        ShowEditor();
      }
      break;
    case VK_F1 + 1:  // F2
      ShowEditor();
      break;
    default:
      return;
  }
  if (FOptions.Contains(tloMultiSelect) && GetSelectedCount() == 0 && FFocusedNode) FFocusedNode->SetSelected(true);
}

void TCustomvmTreeList::KeyPress(char& Key) {
  TCustomvmContainer::KeyPress(Key);
  if (Key == 0) return;
  unsigned char k = static_cast<unsigned char>(Key);
  if (FState == tlsIdle && !FSearching && FExtendedOptions.Contains(tlxIncrementalSearch) && k >= 32) {
    StartSearch(-1, "");
  }
  if (FSearching && k >= 32) {
    if (FSearchColumn != GetFocusedAbsoluteColumn()) FSearchText.clear();
    FSearchColumn = GetFocusedAbsoluteColumn();
    FSearchText += Key;
    RunSearch(FSearchText, 0, false);
    Key = 0;
    return;
  }
  if (!FSearching && FState == tlsIdle && FExtendedOptions.Contains(tlxTypingEdits)) {
    if (Key == '\r') {
      ShowEditor();
      if (FState == tlsEditing) Key = 0;
    } else if (Key == '\b' || Key == 22 || Key == 24 || k >= 32) {
      ShowEditorWithChar(Key);
      if (FState == tlsEditing) {
        Key = 0;
        return;
      }
    }
  }
  TvmTreeListNode* f = FFocusedNode;
  if (!f || FState == tlsEditing) return;
  switch (Key) {
    case 3:  // Ctrl+C
      if (FExtendedOptions.Contains(tlxCopyOnCtrlC)) CopyToClipboard();
      break;
    case '*':
      if (f->HasChildNodes()) f->Expand(true);
      break;
    case '+':
      f->MakeVisible();
      f->Expand(false);
      break;
    case '-':
      f->MakeVisible();
      f->Collapse();
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------------
// Incremental search.

bool TCustomvmTreeList::StartSearch(int Column, const std::string& Text) {
  if (Column < 0) Column = GetFocusedAbsoluteColumn();
  FSearchColumn = Column;
  FSearching = true;
  FSearchText = Text;
  RunSearch(FSearchText, 0, true);
  return !FSearchText.empty();
}

void TCustomvmTreeList::EndSearch() {
  FSearching = false;
  FSearchText.clear();
  Invalidate();
}

bool TCustomvmTreeList::LocateNode(int Column, const std::string& Text, int Direction, TvmTreeListNode*& Node) {
  Node = nullptr;
  TvmTreeListNode* start = FFocusedNode ? FFocusedNode : GetFirstNode();
  if (!start) return false;
  std::string want = AnsiUpperCase(Text);
  auto step = [&](TvmTreeListNode* n) -> TvmTreeListNode* {
    TvmTreeListNode* r;
    if (Direction == 1) {
      r = FSearchExpandsNodes ? n->GetPrev() : n->GetPrevVisible();
      if (!r) {
        r = FSearchExpandsNodes ? GetFirstNode() : GetLastNode();
        if (FSearchExpandsNodes)
          while (r && r->GetNext()) {
            // the last node of the whole tree
            TvmTreeListNode* x = FRoots.back();
            while (x->Count() > 0) x = x->GetLastChild();
            r = x;
            break;
          }
      }
    } else {
      r = FSearchExpandsNodes ? n->GetNext() : n->GetNextVisible();
      if (!r) r = GetFirstNode();
    }
    return r;
  };
  auto matches = [&](TvmTreeListNode* n) {
    std::string s = GetNodeString(n, Column);
    return AnsiUpperCase(s.substr(0, Text.size())) == want;
  };
  TvmTreeListNode* n = Direction != 0 ? step(start) : start;
  TvmTreeListNode* first = n;
  do {
    if (matches(n)) {
      Node = n;
      return true;
    }
    n = step(n);
  } while (n && n != first);
  return false;
}

void TCustomvmTreeList::RunSearch(std::string& Text, int Direction, bool ClearOnFail) {
  ++FSearchLock;
  TScopeExit unlock([this] { --FSearchLock; });
  if (FSearchColumn < 0 || FRoots.empty()) {
    Text.clear();
    return;
  }
  TvmTreeListNode* n = nullptr;
  if (!Text.empty() && LocateNode(FSearchColumn, Text, Direction, n)) {
    if (n->Parent() && !n->IsVisible()) n->MakeVisible();
    SetFocusedNodeColumn(n, GetFocusedColumn(), true);
  } else if (ClearOnFail) {
    Text.clear();
  } else if (Direction == 0 && !Text.empty()) {
    Text.pop_back();
  }
  if (FOptions.Contains(tloMultiSelect) && FFocusedNode) {
    BeginSelection();
    ClearSelection();
    FFocusedNode->SetSelected(true);
    EndSelection();
  }
  Invalidate();
}

void TCustomvmTreeList::DoEnter() {
  TCustomvmContainer::DoEnter();
  Invalidate();
}

void TCustomvmTreeList::DoExit() {
  TCustomvmContainer::DoExit();
  EndAnchorScroll();
  if (EditorHasFocus()) return;
  if (FState == tlsEditing) {
    try {
      CloseEditor();
    } catch (const Exception&) {
      // An editor whose value is refused stays open.
    }
  }
  if (FSearching) EndSearch();
  Invalidate();
}
