// Tree-list nodes: navigation, expansion, placement and the way a node leaves the tree.
#include <algorithm>

#include "platform/guards.h"
#include "treelist/tl_treelist.h"

const char* const SvmInvalidOwnerNode = "Invalid Owner TvmTreeListNode";

TvmTreeListNode::TvmTreeListNode(TCustomvmTreeList* AOwner) : FOwner(AOwner) {
  if (!AOwner) throw EInvalidvmTreeListOperation(SvmInvalidOwnerNode);
}

TvmTreeListNode::~TvmTreeListNode() { delete FChildren; }

std::vector<TvmTreeListNode*>& TvmTreeListNode::Siblings() const {
  return FParent ? *FParent->FChildren : FOwner->FRoots;
}

TvmTreeListNode* TvmTreeListNode::Items(int Index) const {
  if (!FChildren || Index < 0 || Index >= static_cast<int>(FChildren->size())) return nullptr;
  return (*FChildren)[Index];
}

int TvmTreeListNode::IndexOf(const TvmTreeListNode* Child) const {
  if (!Child || !FChildren || Child->FParent != this) return -1;
  int i = Child->FIndex;
  return (i >= 0 && i < Count() && (*FChildren)[i] == Child) ? i : -1;
}

int TvmTreeListNode::Level() const {
  int n = 0;
  for (TvmTreeListNode* p = FParent; p; p = p->FParent) ++n;
  return n;
}

bool TvmTreeListNode::IsLast() const {
  if (FIndex < 0) return false;
  return FIndex == static_cast<int>(Siblings().size()) - 1;
}

TvmTreeListNode* TvmTreeListNode::GetNextSibling() const {
  if (FIndex < 0) return nullptr;
  auto& s = Siblings();
  return FIndex + 1 < static_cast<int>(s.size()) ? s[FIndex + 1] : nullptr;
}

TvmTreeListNode* TvmTreeListNode::GetPrevSibling() const {
  if (FIndex < 1) return nullptr;
  return Siblings()[FIndex - 1];
}

TvmTreeListNode* TvmTreeListNode::GetPrevSiblingOrParent() const {
  TvmTreeListNode* n = GetPrevSibling();
  return n ? n : FParent;
}

TvmTreeListNode* TvmTreeListNode::GetNext() const {
  if (Count() > 0) return (*FChildren)[0];
  for (const TvmTreeListNode* n = this; n; n = n->FParent)
    if (TvmTreeListNode* s = n->GetNextSibling()) return s;
  return nullptr;
}

TvmTreeListNode* TvmTreeListNode::GetPrev() const {
  TvmTreeListNode* n = GetPrevSibling();
  if (!n) return FParent;
  while (n->Count() > 0) n = n->GetLastChild();
  return n;
}

TvmTreeListNode* TvmTreeListNode::GetNextVisible() const {
  if (FOwner->IsVisibleCacheValid()) {
    int r = FOwner->GetRowIndex(this);
    return r < 0 ? nullptr : FOwner->GetNodeAtRow(r + 1);
  }
  if (FExpanded && Count() > 0) return (*FChildren)[0];
  for (const TvmTreeListNode* n = this; n; n = n->FParent)
    if (TvmTreeListNode* s = n->GetNextSibling()) return s;
  return nullptr;
}

TvmTreeListNode* TvmTreeListNode::GetPrevVisible() const {
  if (FOwner->IsVisibleCacheValid()) {
    int r = FOwner->GetRowIndex(this);
    return r < 1 ? nullptr : FOwner->GetNodeAtRow(r - 1);
  }
  if (FIndex < 1) return FParent;
  TvmTreeListNode* n = GetPrevSibling();
  while (n->FExpanded && n->Count() > 0) n = n->GetLastChild();
  return n;
}

bool TvmTreeListNode::HasAsParent(const TvmTreeListNode* Node) const {
  if (!Node) return false;
  for (TvmTreeListNode* p = FParent; p; p = p->FParent)
    if (p == Node) return true;
  return false;
}

bool TvmTreeListNode::IsVisible() const {
  for (TvmTreeListNode* p = FParent; p; p = p->FParent)
    if (!p->FExpanded) return false;
  return true;
}

int TvmTreeListNode::AbsoluteIndex() const { return FOwner->GetRowIndex(this); }

int TvmTreeListNode::CompareTreeOrder(const TvmTreeListNode* A, const TvmTreeListNode* B) {
  if (A == B) return 0;
  if (A->HasAsParent(B)) return 1;
  if (B->HasAsParent(A)) return -1;
  int la = A->Level(), lb = B->Level();
  while (la > lb) {
    A = A->FParent;
    --la;
  }
  while (lb > la) {
    B = B->FParent;
    --lb;
  }
  while (A->FParent != B->FParent) {
    A = A->FParent;
    B = B->FParent;
  }
  return A->FIndex - B->FIndex;
}

void TvmTreeListNode::SetExpanded(bool Value) {
  if (!FHasChildNodes || Value == FExpanded) return;
  TCustomvmTreeList* o = FOwner;
  bool allow = true;
  if (Value)
    o->DoExpanding(this, allow);
  else
    o->DoCollapsing(this, allow);
  if (!allow) return;
  if (!Value) {
    if (o->FTopNode && o->FTopNode->HasAsParent(this)) o->SetTopNode(this);
    if (o->FFocusedNode && o->FFocusedNode->HasAsParent(this) && !o->FocusNodeForCollapse(this)) return;
  }
  // The expanding event may have taken the children away again.
  if (Value && !FHasChildNodes) return;
  FExpanded = Value;
  if (o->FLockUpdate == 0 && !o->FDestroying) o->BuildVisibleCache();
  o->NodeChanged(this, true);
  if (Value)
    o->DoExpanded(this);
  else
    o->DoCollapsed(this);
}

void TvmTreeListNode::Expand(bool Recurse) {
  if (!FHasChildNodes) return;
  bool bracket = FOwner->FLockUpdate == 0;
  TUpdateLock lock(bracket ? FOwner : nullptr);
  SetExpanded(true);
  if (Recurse && FChildren)
    for (size_t i = 0; FChildren && i < FChildren->size(); ++i) (*FChildren)[i]->Expand(true);
}

void TvmTreeListNode::SetHasChildNodes(bool Value) {
  if (Value == FHasChildNodes) return;
  FHasChildNodes = Value || Count() > 0;
  if (!FHasChildNodes) FExpanded = false;
  FOwner->NodeChanged(this, false);
}

bool TvmTreeListNode::IsFocused() const { return FOwner->FFocusedNode == this; }

void TvmTreeListNode::SetFocused(bool Value) {
  if (Value) {
    if (!IsFocused()) FOwner->SetFocusedNodeColumn(this, FOwner->GetFocusedColumn(), true);
  } else {
    FOwner->SetFocusedNodeColumn(nullptr, FOwner->GetFocusedColumn(), true);
  }
}

bool TvmTreeListNode::Selected() const {
  if (FOwner->Options().Contains(tloMultiSelect)) return FOwner->IsNodeSelected(const_cast<TvmTreeListNode*>(this));
  return IsFocused();
}

void TvmTreeListNode::SetSelected(bool Value) { FOwner->SetNodeSelected(this, Value); }

void TvmTreeListNode::MakeVisible() {
  TCustomvmTreeList* o = FOwner;
  bool bracket = false;
  if (!IsVisible()) {
    bracket = true;
    TUpdateLock lock(o);
    for (TvmTreeListNode* p = FParent; p; p = p->FParent)
      if (!p->FExpanded) p->SetExpanded(true);
  }
  int top = o->GetTopRowIndex();
  int n = AbsoluteIndex();
  if (n < 0) return;
  int page = std::max(1, o->PageRowCount());
  if (top < 0 || n < top)
    o->SetTopRowIndex(n);
  else if (n > top + page - 1)
    o->SetTopRowIndex(n - page + 1);
  else if (bracket)
    o->Invalidate();
}

void TvmTreeListNode::DeleteChildren() {
  if (!FChildren) return;
  if (FOwner->FClearing) {
    std::vector<TvmTreeListNode*>* list = FChildren;
    FChildren = nullptr;
    for (TvmTreeListNode* c : *list) {
      c->FParent = nullptr;
      c->FIndex = -1;
      TCustomvmTreeList::DestroyNode(c);
    }
    delete list;
    return;
  }
  // Many rows going one by one would patch the row cache each time: one bracket rebuilds it once.
  bool bracket = FOwner->FLockUpdate == 0 && !FOwner->FDestroying && Count() > 32;
  TUpdateLock lock(bracket ? FOwner : nullptr);
  while (Count() > 0) TCustomvmTreeList::DestroyNode((*FChildren)[0]);
}

// Values: the node only forwards to its control.
int TvmTreeListNode::ImageIndex() const { return FOwner->GetImageIndex(const_cast<TvmTreeListNode*>(this)); }
void TvmTreeListNode::SetImageIndex(int Value) { FOwner->SetImageIndex(this, Value); }
int TvmTreeListNode::SelectedIndex() const { return FOwner->GetSelectedIndex(const_cast<TvmTreeListNode*>(this)); }
void TvmTreeListNode::SetSelectedIndex(int Value) { FOwner->SetSelectedIndex(this, Value); }
int TvmTreeListNode::StateImageIndex() const { return FOwner->GetStateIndex(const_cast<TvmTreeListNode*>(this)); }
void TvmTreeListNode::SetStateImageIndex(int Value) { FOwner->SetStateIndex(this, Value); }
std::string TvmTreeListNode::Strings(int Column) const {
  return FOwner->GetNodeString(const_cast<TvmTreeListNode*>(this), Column);
}
void TvmTreeListNode::SetStrings(int Column, const std::string& Value) { FOwner->SetNodeString(this, Column, Value); }
Variant TvmTreeListNode::Values(int Column) const {
  return FOwner->GetNodeValue(const_cast<TvmTreeListNode*>(this), Column);
}
void TvmTreeListNode::SetValues(int Column, const Variant& Value) { FOwner->SetNodeValue(this, Column, Value); }

// Placement.
void TvmTreeListNode::AttachChild(TvmTreeListNode* Child, int Index) {
  if (!FChildren) FChildren = new std::vector<TvmTreeListNode*>();
  auto& list = *FChildren;
  if (Index < 0 || Index > static_cast<int>(list.size())) Index = static_cast<int>(list.size());
  list.insert(list.begin() + Index, Child);
  for (size_t i = Index; i < list.size(); ++i) list[i]->FIndex = static_cast<int32_t>(i);
  Child->FParent = this;
  FHasChildNodes = true;
}

void TvmTreeListNode::DetachFromList() {
  if (FIndex < 0) return;
  auto& list = Siblings();
  if (FIndex >= static_cast<int>(list.size()) || list[FIndex] != this) return;
  list.erase(list.begin() + FIndex);
  for (size_t i = FIndex; i < list.size(); ++i) list[i]->FIndex = static_cast<int32_t>(i);
  FIndex = -1;
  if (FParent && list.empty()) {
    TvmTreeListNode* p = FParent;
    delete p->FChildren;
    p->FChildren = nullptr;
    p->FHasChildNodes = FOwner->NodeHasChildren(p);
    p->FExpanded = false;
  }
}

TvmTreeListNode* TvmTreeListNode::AddChild() {
  TvmTreeListNode* n = FOwner->CreateNode();
  AttachChild(n, -1);
  FOwner->NodeAdded(n);
  return n;
}

TvmTreeListNode* TvmTreeListNode::AddChildFirst() {
  TvmTreeListNode* n = FOwner->CreateNode();
  AttachChild(n, 0);
  FOwner->NodeAdded(n);
  return n;
}

TvmTreeListNode* TvmTreeListNode::InsertChild(TvmTreeListNode* BeforeNode) {
  int at = IndexOf(BeforeNode);
  TvmTreeListNode* n = FOwner->CreateNode();
  AttachChild(n, at);
  FOwner->NodeAdded(n);
  return n;
}

bool TvmTreeListNode::MoveTo(TvmTreeListNode* Destination, int Index) {
  if (Destination == this || (Destination && Destination->HasAsParent(this))) return false;
  if (Destination && Destination->FOwner != FOwner) return false;
  TCustomvmTreeList* o = FOwner;
  {
    TUpdateLock lock(o);
    // A move inside the same list counts positions without the node.
    auto& from = Siblings();
    bool sameList = &from == (Destination ? Destination->FChildren : &o->FRoots);
    if (sameList && Index > FIndex) --Index;
    DetachFromList();
    if (Destination) {
      Destination->AttachChild(this, Index);
    } else {
      auto& roots = o->FRoots;
      if (Index < 0 || Index > static_cast<int>(roots.size())) Index = static_cast<int>(roots.size());
      roots.insert(roots.begin() + Index, this);
      for (size_t i = Index; i < roots.size(); ++i) roots[i]->FIndex = static_cast<int32_t>(i);
      FParent = nullptr;
    }
  }
  return true;
}

void TvmTreeListNode::Delete() { TCustomvmTreeList::DestroyNode(this); }
