// The inspector's node tree: nodes, their children, order, nesting and expanded state.
#include "inspector/vm_inspector.h"

#include <algorithm>
#include <cstring>

#include "inspector/vm_dropdown.h"
#include "platform/bitmap.h"
#include "platform/dragdrop.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/imglist.h"
#include "platform/inifiles.h"
#include "platform/sysutils.h"

TvmInspectorNode::TvmInspectorNode(TCustomvmInspector* AInspector) : FInspector(AInspector) {}

TvmInspectorNode::~TvmInspectorNode() {
  FDeleting = true;
  while (Count() > 0) delete FChildren->front();
  TvmInspectorNode* prev = GetPrevSiblingOrParent();
  const bool displayed = IsVisible();
  const bool wasLast = IsLast();
  TvmInspectorNode* next = displayed ? GetNext() : nullptr;
  RemoveFromList();
  FChildren.reset();
  if (FInspector) FInspector->NodeDeleted(this, prev, next, wasLast, displayed);
}

std::vector<TvmInspectorNode*>& TvmInspectorNode::OwningList() const {
  return FParent ? *FParent->FChildren : FInspector->FNodes;
}

void TvmInspectorNode::RemoveFromList() {
  if (!FParent && (FInspector->FNodes.empty() || FInspector->FNodes[static_cast<size_t>(FIndex)] != this)) return;
  auto& list = OwningList();
  list.erase(list.begin() + FIndex);
  for (size_t i = static_cast<size_t>(FIndex); i < list.size(); ++i) list[i]->FIndex = static_cast<int>(i);
  if (FParent && list.empty()) {
    FParent->FChildren.reset();
    FParent->FExpanded = false;
  }
  FParent = nullptr;
}

void TvmInspectorNode::InsertInto(TvmInspectorNode* NewParent, int Position) {
  std::vector<TvmInspectorNode*>* list;
  if (NewParent) {
    if (!NewParent->FChildren) NewParent->FChildren = std::make_unique<std::vector<TvmInspectorNode*>>();
    list = NewParent->FChildren.get();
  } else {
    list = &FInspector->FNodes;
  }
  Position = std::clamp(Position, 0, static_cast<int>(list->size()));
  list->insert(list->begin() + Position, this);
  for (size_t i = static_cast<size_t>(Position); i < list->size(); ++i) (*list)[i]->FIndex = static_cast<int>(i);
  FParent = NewParent;
}

TvmInspectorNode* TvmInspectorNode::Items(int Index) const {
  if (Index < 0 || Index >= Count()) return nullptr;
  return (*FChildren)[static_cast<size_t>(Index)];
}

int TvmInspectorNode::IndexOf(const TvmInspectorNode* Child) const {
  return Child && Child->FParent == this ? Child->FIndex : -1;
}

int TvmInspectorNode::Level() const {
  int l = 0;
  for (TvmInspectorNode* p = FParent; p; p = p->FParent) ++l;
  return l;
}

bool TvmInspectorNode::HasAsParent(const TvmInspectorNode* Node) const {
  if (!Node) return false;
  for (TvmInspectorNode* p = FParent; p; p = p->FParent)
    if (p == Node) return true;
  return false;
}

bool TvmInspectorNode::IsLast() const { return FIndex == static_cast<int>(OwningList().size()) - 1; }

bool TvmInspectorNode::IsVisible() const {
  for (TvmInspectorNode* p = FParent; p; p = p->FParent)
    if (!p->FExpanded) return false;
  return true;
}

int TvmInspectorNode::AbsoluteIndex() const { return FInspector->GetAbsoluteIndex(this); }

TvmInspectorNode* TvmInspectorNode::GetNextSibling() const {
  auto& list = OwningList();
  return static_cast<size_t>(FIndex + 1) < list.size() ? list[static_cast<size_t>(FIndex + 1)] : nullptr;
}

TvmInspectorNode* TvmInspectorNode::GetPrevSibling() const {
  return FIndex > 0 ? OwningList()[static_cast<size_t>(FIndex - 1)] : nullptr;
}

TvmInspectorNode* TvmInspectorNode::GetNext() const {
  if (FExpanded && HasChildren()) return (*FChildren)[0];
  for (const TvmInspectorNode* n = this; n; n = n->FParent)
    if (TvmInspectorNode* s = n->GetNextSibling()) return s;
  return nullptr;
}

TvmInspectorNode* TvmInspectorNode::GetLastVisibleDescendant() const {
  const TvmInspectorNode* n = this;
  while (n->FExpanded && n->HasChildren()) n = n->FChildren->back();
  return const_cast<TvmInspectorNode*>(n);
}

TvmInspectorNode* TvmInspectorNode::GetPrev() const {
  TvmInspectorNode* s = GetPrevSibling();
  if (!s) return FParent;
  return s->GetLastVisibleDescendant();
}

TvmInspectorNode* TvmInspectorNode::GetPrevSiblingOrParent() const {
  if (TvmInspectorNode* s = GetPrevSibling()) return s;
  return FParent;
}

void TvmInspectorNode::SetExpanded(bool Value) {
  if (!HasChildren() || FExpanded == Value) return;
  FExpanded = Value;
  // A later collapse wins over a node that waited to be shown inside it.
  if (!Value && FInspector->FPendingVisible && FInspector->FPendingVisible->HasAsParent(this))
    FInspector->FPendingVisible = nullptr;
  FInspector->NodeChanged(this, true);
  if (!Value && FInspector->FFocusedNode && FInspector->FFocusedNode->HasAsParent(this)) SetFocused(true);
}

void TvmInspectorNode::Expand(bool Recurse) {
  SetExpanded(true);
  if (Recurse)
    for (int i = 0; i < Count(); ++i) Items(i)->Expand(true);
}

void TvmInspectorNode::Collapse(bool Recurse) {
  SetExpanded(false);
  if (Recurse)
    for (int i = 0; i < Count(); ++i) Items(i)->Collapse(true);
}

bool TvmInspectorNode::Focused() const { return FInspector->FFocusedNode == this; }

void TvmInspectorNode::SetFocused(bool Value) {
  if (Value == Focused()) return;
  FInspector->SetFocusedNode(Value ? this : nullptr);
}

void TvmInspectorNode::MakeVisible() { FInspector->MakeNodeVisible(this); }

void TvmInspectorNode::MoveTo(TvmInspectorNode* Destination, TvmInspectorNodeAttachMode Mode) {
  if (!Destination || Destination->HasAsParent(this)) return;
  if (Destination == this && (Mode == inaAddChild || Mode == inaInsert)) return;
  TUpdateLock lock(FInspector);
  RemoveFromList();
  if (Destination->FParent && Mode != inaAddChild) {
    TvmInspectorNode* p = Destination->FParent;
    InsertInto(p, Mode == inaAdd ? p->Count() : Destination->FIndex);
  } else if (Mode == inaAddChild) {
    InsertInto(Destination, Destination->Count());
  } else {
    InsertInto(nullptr, Mode == inaAdd ? static_cast<int>(FInspector->FNodes.size()) : Destination->FIndex);
  }
  FInspector->FFocusedNode = this;
  MakeVisible();
}

void TvmInspectorNode::DeleteChildren() {
  FInspector->BeginUpdate();
  while (Count() > 0) delete FChildren->front();
  FInspector->EndUpdate();
}

TvmInspectorRowNode::~TvmInspectorRowNode() {
  FDeleting = true;
  if (TvmInspectorRow* row = Row) {
    Row = nullptr;
    row->FNode = nullptr;
    if (auto* c = row->FInspector) {
      row->FInspector = nullptr;
      c->ForgetRow(row);
    }
    delete row;
  }
}
