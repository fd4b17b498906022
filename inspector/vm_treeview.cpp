// The tree view: nodes, layout and painting, keys and mouse, label editing, deletion with a
// confirmation, and node drag and drop inside and between trees.
#include "inspector/vm_treeview.h"

#include <algorithm>

#include "inspector/vm_utils.h"
#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/imglist.h"
#include "platform/stdctrls.h"
#include "platform/streaming.h"
#include "platform/streams.h"
#include "platform/sysutils.h"
#include "platform/typinfo.h"

const char* const SvmTreeDeleteItem = "Do you want to delete the item";

namespace {
// One drag at a time: the dragged node (null when none).
TvmTreeNode* GDragSource = nullptr;

bool CtrlHeld(TShiftState Shift) { return Shift.Contains(ssCtrl); }
}  // namespace

// ---------------------------------------------------------------------------------------------
// Nodes.

TvmTreeNode::TvmTreeNode(TCustomvmTreeView* AOwner) : FOwner(AOwner) {
  if (AOwner->FSelectedIndex != -1) SelectedIndex = AOwner->FSelectedIndex;
}

TvmTreeNode::~TvmTreeNode() {
  while (!FChildren.empty()) delete FChildren.back();
  if (GDragSource == this) GDragSource = nullptr;
  if (FOwner) {
    if (FOwner->OnDeletion && !FOwner->FClearing) FOwner->OnDeletion(FOwner, this);
    FOwner->NodeRemoved(this);
  }
  Detach();
}

std::vector<TvmTreeNode*>& TvmTreeNode::Siblings() const { return FParent ? FParent->FChildren : FOwner->FItems; }

void TvmTreeNode::Detach() {
  auto& list = Siblings();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  if (FParent && FParent->FChildren.empty()) FParent->FExpanded = false;
  FParent = nullptr;
}

void TvmTreeNode::AttachAt(TvmTreeNode* NewParent, int Position) {
  FParent = NewParent;
  auto& list = Siblings();
  Position = std::clamp(Position, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + Position, this);
}

void TvmTreeNode::SetText(const std::string& Value) {
  FText = Value;
  FOwner->Changed();
}

namespace {
void SortNodes(TCustomvmTreeView* Tree, std::vector<TvmTreeNode*>& Nodes) {
  std::stable_sort(Nodes.begin(), Nodes.end(),
                   [Tree](TvmTreeNode* A, TvmTreeNode* B) { return Tree->CompareNodes(A, B) < 0; });
}
}  // namespace

void TvmTreeNode::AlphaSort(bool Recurse) {
  SortNodes(FOwner, FChildren);
  if (Recurse)
    for (TvmTreeNode* c : FChildren) c->AlphaSort(true);
  FOwner->Changed();
}

TvmTreeNode* TvmTreeNode::Item(int Index) const {
  return Index >= 0 && Index < Count() ? FChildren[static_cast<size_t>(Index)] : nullptr;
}

int TvmTreeNode::Index() const {
  auto& list = Siblings();
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

int TvmTreeNode::Level() const {
  int l = 0;
  for (TvmTreeNode* p = FParent; p; p = p->FParent) ++l;
  return l;
}

void TvmTreeNode::SetHasChildren(bool Value) {
  FHasChildren = Value;
  FOwner->Changed();
}

void TvmTreeNode::SetExpanded(bool Value) {
  if (Value == FExpanded) return;
  if (Value && !HasChildren()) return;
  bool allow = true;
  if (Value && FOwner->OnExpanding) FOwner->OnExpanding(FOwner, this, allow);
  if (!Value && FOwner->OnCollapsing) FOwner->OnCollapsing(FOwner, this, allow);
  if (!allow) return;
  FExpanded = Value;
  if (!Value && FOwner->FSelected && FOwner->FSelected->HasAsParent(this)) FOwner->SetSelected(this);
  if (!Value && FOwner->FTop && FOwner->FTop->HasAsParent(this)) FOwner->FTop = this;
  if (Value && FOwner->OnExpanded) FOwner->OnExpanded(FOwner, this);
  if (!Value && FOwner->OnCollapsed) FOwner->OnCollapsed(FOwner, this);
  FOwner->Changed();
}

void TvmTreeNode::Expand(bool Recurse) {
  SetExpanded(true);
  if (Recurse)
    for (TvmTreeNode* c : std::vector<TvmTreeNode*>(FChildren)) c->Expand(true);
}

void TvmTreeNode::Collapse(bool Recurse) {
  SetExpanded(false);
  if (Recurse)
    for (TvmTreeNode* c : std::vector<TvmTreeNode*>(FChildren)) c->Collapse(true);
}

bool TvmTreeNode::IsVisible() const {
  for (TvmTreeNode* p = FParent; p; p = p->FParent)
    if (!p->FExpanded) return false;
  return true;
}

bool TvmTreeNode::Selected() const { return FOwner->FSelected == this; }

bool TvmTreeNode::HasAsParent(const TvmTreeNode* Node) const {
  for (TvmTreeNode* p = FParent; p; p = p->FParent)
    if (p == Node) return true;
  return false;
}

TvmTreeNode* TvmTreeNode::GetNextSibling() const {
  auto& list = Siblings();
  const int i = Index();
  return i + 1 < static_cast<int>(list.size()) ? list[static_cast<size_t>(i + 1)] : nullptr;
}

TvmTreeNode* TvmTreeNode::GetPrevSibling() const {
  const int i = Index();
  return i > 0 ? Siblings()[static_cast<size_t>(i - 1)] : nullptr;
}

TvmTreeNode* TvmTreeNode::GetNextVisible() const {
  if (FExpanded && !FChildren.empty()) return FChildren.front();
  for (const TvmTreeNode* n = this; n; n = n->FParent)
    if (TvmTreeNode* s = n->GetNextSibling()) return s;
  return nullptr;
}

TvmTreeNode* TvmTreeNode::GetPrevVisible() const {
  TvmTreeNode* s = GetPrevSibling();
  if (!s) return FParent;
  while (s->FExpanded && !s->FChildren.empty()) s = s->FChildren.back();
  return s;
}

TvmTreeNode* TvmTreeNode::GetNext() const {
  if (!FChildren.empty()) return FChildren.front();
  for (const TvmTreeNode* n = this; n; n = n->FParent)
    if (TvmTreeNode* s = n->GetNextSibling()) return s;
  return nullptr;
}

void TvmTreeNode::MoveTo(TvmTreeNode* Destination, TNodeAttachMode Mode) {
  if (Destination == this || (Destination && Destination->HasAsParent(this))) return;
  TCustomvmTreeView* tv = FOwner;
  if (Destination && (Mode == naAddChild || Mode == naAddChildFirst)) {
    // Through a temporary child: only the move is a change of the user's.
    tv->FInternalChange = true;
    TvmTreeNode* tmp = tv->AddNode(Destination, std::string(), Mode);
    tv->FInternalChange = false;
    Detach();
    AttachAt(tmp->FParent, tmp->Index());
    tv->FInternalChange = true;
    delete tmp;
    tv->FInternalChange = false;
    tv->Changed();
    return;
  }
  Detach();
  if (!Destination) {
    AttachAt(nullptr, Mode == naAddFirst ? 0 : tv->TopCount());
  } else {
    TvmTreeNode* p = Destination->FParent;
    switch (Mode) {
      case naAddFirst:
        AttachAt(p, 0);
        break;
      case naInsert:
        AttachAt(p, Destination->Index());
        break;
      default:
        AttachAt(p, static_cast<int>(Destination->Siblings().size()));
        break;
    }
  }
  tv->Changed();
}

void TvmTreeNode::Delete() { delete this; }

void TvmTreeNode::MakeVisible() {
  for (TvmTreeNode* p = FParent; p; p = p->FParent) p->SetExpanded(true);
  FOwner->SetTopVisible(FOwner->FTop);
  // Scroll so that the node is in the page.
  int row = 0;
  bool above = true;
  for (TvmTreeNode* n = FOwner->GetFirstNode(); n; n = n->GetNextVisible()) {
    if (n == FOwner->FTop) above = false;
    if (n == this) break;
    if (!above) ++row;
  }
  if (above)
    FOwner->SetTopVisible(this);
  else if (row >= FOwner->VisibleRowCount()) {
    TvmTreeNode* t = this;
    for (int i = 1; i < FOwner->VisibleRowCount() && t->GetPrevVisible(); ++i) t = t->GetPrevVisible();
    FOwner->SetTopVisible(t);
  }
}

bool TvmTreeNode::EditText() { return FOwner->BeginEdit(this); }

// ---------------------------------------------------------------------------------------------
// The tree.

namespace {
const TEnumInfo SortTypeInfo("TSortType", {"stNone", "stData", "stText", "stBoth"});
const TEnumInfo TreeOptionInfo("TvmTreeViewOption", {"trCanDelete", "trConfirmDelete"});
}  // namespace

VM_PUBLISH(TCustomvmTreeView) {
  using C = TCustomvmTreeView;
  P.Bool("AutoExpand", &C::AutoExpand, &C::AutoExpand).Default(false);
  P.Bool("HotTrack", &C::HotTrack, &C::HotTrack).Default(false);
  P.Bool("RightClickSelect", &C::RightClickSelect, &C::RightClickSelect).Default(false);
  P.Bool("RowSelect", &C::RowSelect, &C::RowSelect).Default(false);
  P.Bool("ShowNodeHint", &C::ShowNodeHint, &C::ShowNodeHint).Default(true);
  P.Bool("ToolTips", &C::ToolTips, &C::ToolTips).Default(true);
  P.Event("OnAdvancedCustomDraw", &C::OnAdvancedCustomDraw);
  P.Event("OnCustomDraw", &C::OnCustomDraw);
  P.Event("OnCustomDrawItem", &C::OnCustomDrawItem);
  P.Event("OnDragDropIsCopy", &C::OnDragDropIsCopy);
  P.Event("OnDragDropTreeNode", &C::OnDragDropTreeNode);
  P.Event("OnEndDragTreeNode", &C::OnEndDragTreeNode);
}

VM_PUBLISH(TvmTreeView) {
  using C = TvmTreeView;
  P.Int("DragCursor", &C::DragCursor, &C::DragCursor).Default(crDrag).Idents(CursorIdents);
  P.Bool("HideSelection", &C::HideSelection, &C::HideSelection).Default(true);
  P.Component("Images", &C::Images, &C::SetImages);
  P.Int("Indent", &C::Indent, &C::SetIndent).Default(19);
  P.Set("Options", &C::Options, &C::Options, TreeOptionInfo).Default(TvmTreeViewOptions{trCanDelete, trConfirmDelete});
  P.Bool("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
  P.Int("SelectedIndex", &C::SelectedIndex, &C::SetSelectedIndex).Default(-1);
  P.Bool("ShowButtons", &C::ShowButtons, &C::ShowButtons).Default(true);
  P.Bool("ShowLines", &C::ShowLines, &C::ShowLines).Default(true);
  P.Bool("ShowRoot", &C::ShowRoot, &C::ShowRoot).Default(true);
  P.Enum("SortType", &C::SortType, &C::SetSortType, SortTypeInfo).Default(stNone);
  P.Component("StateImages", &C::StateImages, &C::SetStateImages);
  P.Event("OnChange", &C::OnChange);
  P.Event("OnChanging", &C::OnChanging);
  P.Event("OnCollapsed", &C::OnCollapsed);
  P.Event("OnCollapsing", &C::OnCollapsing);
  P.Event("OnCompare", &C::OnCompare);
  P.Event("OnDeletion", &C::OnDeletion);
  P.Event("OnEdited", &C::OnEdited);
  P.Event("OnEditing", &C::OnEditing);
  P.Event("OnExpanded", &C::OnExpanded);
  P.Event("OnExpanding", &C::OnExpanding);
  P.Event("OnGetImageIndex", &C::OnGetImageIndex);
  P.Event("OnGetSelectedIndex", &C::OnGetSelectedIndex);
}

TCustomvmTreeView::TCustomvmTreeView(TComponent* AOwner)
    : TCustomControl(AOwner),
      FImagesLink(std::make_unique<TChangeLink>()),
      FStateImagesLink(std::make_unique<TChangeLink>()) {
  FImagesLink->OnChange = [this](TObject*) { UpdateRowHeight(); };
  FStateImagesLink->OnChange = [this](TObject*) { UpdateRowHeight(); };
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetColor(clWindow);
  SetFrameBorder(2);
  FontChanged();
}

TCustomvmTreeView::~TCustomvmTreeView() {
  FClearing = true;
  FImagesLink.reset();
  FStateImagesLink.reset();
  if (GDragSource && GDragSource->FOwner == this) GDragSource = nullptr;
  while (!FItems.empty()) delete FItems.back();
}

void TCustomvmTreeView::FontChanged() {
  TCustomControl::FontChanged();
  Canvas()->SetFont(Font());
  FTextRowHeight = std::max(Canvas()->TextHeight("Wg") + 3, 16);
  UpdateRowHeight();
}

void TCustomvmTreeView::UpdateRowHeight() {
  FRowHeight = FTextRowHeight;
  if (FImages) FRowHeight = std::max(FRowHeight, FImages->Height() + 1);
  if (FStateImages) FRowHeight = std::max(FRowHeight, FStateImages->Height() + 1);
  Invalidate();
}

void TCustomvmTreeView::SetImages(TImageList* Value) {
  if (FImages == Value) return;
  if (FImages) {
    FImages->UnRegisterChanges(FImagesLink.get());
    if (FImages != FStateImages) FImages->RemoveFreeNotification(this);
  }
  FImages = Value;
  if (FImages) {
    FImages->RegisterChanges(FImagesLink.get());
    FImages->FreeNotification(this);
  }
  UpdateRowHeight();
}

void TCustomvmTreeView::SetStateImages(TImageList* Value) {
  if (FStateImages == Value) return;
  if (FStateImages) {
    FStateImages->UnRegisterChanges(FStateImagesLink.get());
    if (FStateImages != FImages) FStateImages->RemoveFreeNotification(this);
  }
  FStateImages = Value;
  if (FStateImages) {
    FStateImages->RegisterChanges(FStateImagesLink.get());
    FStateImages->FreeNotification(this);
  }
  UpdateRowHeight();
}

void TCustomvmTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) {
    FImages = nullptr;
    UpdateRowHeight();
  }
  if (AComponent == FStateImages) {
    FStateImages = nullptr;
    UpdateRowHeight();
  }
}

int TCustomvmTreeView::StateLeft(TvmTreeNode* Node) const { return (Node->Level() + (ShowRoot ? 1 : 0)) * FIndent; }

int TCustomvmTreeView::ImageLeft(TvmTreeNode* Node) const {
  int x = StateLeft(Node);
  if (FStateImages && Node->StateIndex >= 0) x += FStateImages->Width();
  return x;
}

int TCustomvmTreeView::LabelLeft(TvmTreeNode* Node) const {
  return ImageLeft(Node) + (FImages ? FImages->Width() + 1 : 0) + 2;
}

int TCustomvmTreeView::NodeImage(TvmTreeNode* Node) {
  if (!Node) return -1;
  if (Node == FSelected) {
    if (OnGetSelectedIndex) OnGetSelectedIndex(this, Node);
    return Node->SelectedIndex;
  }
  if (OnGetImageIndex) OnGetImageIndex(this, Node);
  return Node->ImageIndex;
}

TvmTreeNode* TCustomvmTreeView::TopItem(int Index) const {
  return Index >= 0 && Index < TopCount() ? FItems[static_cast<size_t>(Index)] : nullptr;
}

int TCustomvmTreeView::Count() const {
  int n = 0;
  for (TvmTreeNode* p = GetFirstNode(); p; p = p->GetNext()) ++n;
  return n;
}

TvmTreeNode* TCustomvmTreeView::AddNode(TvmTreeNode* Target, const std::string& S, TNodeAttachMode Mode) {
  auto* n = CreateNode();
  n->FText = S;
  if (!Target) {
    n->AttachAt(nullptr, Mode == naAddFirst || Mode == naAddChildFirst ? 0 : TopCount());
  } else {
    switch (Mode) {
      case naAdd:
        n->AttachAt(Target->FParent, static_cast<int>(Target->Siblings().size()));
        break;
      case naAddFirst:
        n->AttachAt(Target->FParent, 0);
        break;
      case naAddChild:
        n->AttachAt(Target, Target->Count());
        break;
      case naAddChildFirst:
        n->AttachAt(Target, 0);
        break;
      case naInsert:
        n->AttachAt(Target->FParent, Target->Index());
        break;
    }
  }
  NodeAdded(n);
  return n;
}

TvmTreeNode* TCustomvmTreeView::Add(TvmTreeNode* Sibling, const std::string& S) { return AddNode(Sibling, S, naAdd); }
TvmTreeNode* TCustomvmTreeView::AddFirst(TvmTreeNode* Sibling, const std::string& S) {
  return AddNode(Sibling, S, naAddFirst);
}
TvmTreeNode* TCustomvmTreeView::AddChild(TvmTreeNode* Parent, const std::string& S) {
  return AddNode(Parent, S, Parent ? naAddChild : naAdd);
}
TvmTreeNode* TCustomvmTreeView::AddChildFirst(TvmTreeNode* Parent, const std::string& S) {
  return AddNode(Parent, S, Parent ? naAddChildFirst : naAddFirst);
}
TvmTreeNode* TCustomvmTreeView::Insert(TvmTreeNode* Sibling, const std::string& S) {
  return AddNode(Sibling, S, Sibling ? naInsert : naAdd);
}

void TCustomvmTreeView::NodeAdded(TvmTreeNode* Node) {
  if (!FTop) FTop = Node;
  Changed();
}

void TCustomvmTreeView::NodeRemoved(TvmTreeNode* Node) {
  if (FHotNode == Node || (FHotNode && FHotNode->HasAsParent(Node))) FHotNode = nullptr;
  if (FEditNode == Node) EndEdit(true);
  if (FDropTarget == Node) FDropTarget = nullptr;
  if (FSelected == Node || (FSelected && FSelected->HasAsParent(Node))) {
    TvmTreeNode* next = FClearing ? nullptr : Node->GetNextSibling();
    if (!next && !FClearing) next = Node->GetPrevSibling();
    if (!next && !FClearing) next = Node->FParent;
    FSelected = next;
  }
  if (FTop == Node || (FTop && FTop->HasAsParent(Node))) {
    TvmTreeNode* t = FClearing ? nullptr : Node->GetPrevVisible();
    if (!t && !FClearing) t = Node->GetNextSibling();
    FTop = t;
  }
  if (!FClearing) Changed();
}

void TCustomvmTreeView::Clear() {
  FClearing = true;
  while (!FItems.empty()) delete FItems.back();
  FClearing = false;
  FSelected = FTop = FDropTarget = nullptr;
  Changed();
}

void TCustomvmTreeView::FullExpand() {
  for (TvmTreeNode* n : std::vector<TvmTreeNode*>(FItems)) n->Expand(true);
}

void TCustomvmTreeView::FullCollapse() {
  for (TvmTreeNode* n : std::vector<TvmTreeNode*>(FItems)) n->Collapse(true);
}

void TCustomvmTreeView::SetSelected(TvmTreeNode* Value) {
  if (Value == FSelected) return;
  bool allow = true;
  if (OnChanging) OnChanging(this, Value, allow);
  if (!allow) return;
  TvmTreeNode* old = FSelected;
  FSelected = Value;
  if (AutoExpand) {
    if (old && !(Value && Value->HasAsParent(old))) old->Collapse(false);
    if (Value) Value->Expand(false);
  }
  if (Value) Value->MakeVisible();
  Change(Value);
  Changed();
}

void TCustomvmTreeView::SetSelectedIndex(int Value) {
  if (Value == FSelectedIndex) return;
  FSelectedIndex = Value;
  for (TvmTreeNode* n = GetFirstNode(); n; n = n->GetNext()) n->SelectedIndex = Value;
}

void TCustomvmTreeView::SetSortType(TSortType Value) {
  if (Value == FSortType) return;
  FSortType = Value;
  if (Value != stNone) AlphaSort(true);
}

int TCustomvmTreeView::CompareNodes(TvmTreeNode* Node1, TvmTreeNode* Node2) {
  int compare = 0;
  if (OnCompare) OnCompare(this, Node1, Node2, compare);
  if (compare == 0 && !OnCompare) compare = AnsiCompareText(Node1->Text(), Node2->Text());
  return compare;
}

void TCustomvmTreeView::AlphaSort(bool Recurse) {
  // A tree scrolled to its start stays there.
  const bool atStart = !FTop || FTop == GetFirstNode();
  SortNodes(this, FItems);
  if (Recurse)
    for (TvmTreeNode* n : FItems) n->AlphaSort(true);
  if (atStart) FTop = GetFirstNode();
  Changed();
}

void TCustomvmTreeView::SetIndent(int Value) {
  FIndent = Value;
  Changed();
}

void TCustomvmTreeView::SetTopVisible(TvmTreeNode* Node) {
  FTop = Node;
  if (FTop && !FTop->IsVisible()) FTop = nullptr;
  if (!FTop) FTop = GetFirstNode();
  Changed();
}

int TCustomvmTreeView::VisibleRowCount() const { return std::max(ClientHeight() / FRowHeight, 1); }

TRect TCustomvmTreeView::DisplayRect(TvmTreeNode* Node, bool TextOnly) const {
  if (!Node || !Node->IsVisible()) return TRect();
  int row = 0;
  bool found = false;
  for (TvmTreeNode* n = FTop; n; n = n->GetNextVisible(), ++row)
    if (n == Node) {
      found = true;
      break;
    }
  if (!found || row * FRowHeight >= ClientHeight()) return TRect();
  TRect r(0, row * FRowHeight, ClientWidth(), (row + 1) * FRowHeight);
  if (TextOnly) {
    r.Left = LabelLeft(Node);
    auto* c = const_cast<TCustomvmTreeView*>(this)->Canvas();
    c->SetFont(Font());
    r.Right = r.Left + c->TextWidth(Node->Text()) + 4;
  }
  return r;
}

THitTests TCustomvmTreeView::GetHitTestInfoAt(int X, int Y) const {
  if (Y < 0) return {htAbove};
  if (Y >= ClientHeight()) return {htBelow};
  if (X < 0) return {htToLeft};
  if (X >= ClientWidth()) return {htToRight};
  TvmTreeNode* n = FTop;
  for (int row = Y / FRowHeight; n && row > 0; --row) n = n->GetNextVisible();
  if (!n) return {htNowhere};
  const int level = n->Level() + (ShowRoot ? 1 : 0);
  const int indentRight = level * FIndent;
  if (X < indentRight) {
    if (ShowButtons && n->HasChildren() && X >= indentRight - FIndent) return {htOnButton};
    return {htOnIndent};
  }
  if (X < ImageLeft(n)) return {htOnItem, htOnStateIcon};
  if (FImages && X < ImageLeft(n) + FImages->Width()) return {htOnItem, htOnIcon};
  TRect label = DisplayRect(n, true);
  if (X < label.Right || RowSelect) return {htOnItem, htOnLabel};
  return {htOnRight};
}

TvmTreeNode* TCustomvmTreeView::GetNodeAt(int X, int Y) const {
  THitTests h = GetHitTestInfoAt(X, Y);
  if (!h.Contains(htOnLabel) && !h.Contains(htOnButton) && !h.Contains(htOnIcon) && !h.Contains(htOnIndent) &&
      !h.Contains(htOnRight))
    return nullptr;
  TvmTreeNode* n = FTop;
  for (int row = Y / FRowHeight; n && row > 0; --row) n = n->GetNextVisible();
  return n;
}

std::string TCustomvmTreeView::NodeHint(TvmTreeNode* Node) const {
  if (!ShowNodeHint || !ToolTips || !Node) return std::string();
  return Node->Text();
}

void TCustomvmTreeView::DoCustomDraw(TvmTreeNode* Node, TFont* Font, TColor& BkColor, TColor& TextColor) {
  if (OnCustomDraw) OnCustomDraw(this, Node, Font, TextColor, BkColor);
}

void TCustomvmTreeView::PaintTo(TCanvas* C) {
  FPaintCanvas = C;
  TScopeExit done([this] { FPaintCanvas = nullptr; });
  FillRectColor(C, ClientRect(), Color());
  bool defaultDraw = true;
  if (OnAdvancedCustomDraw) OnAdvancedCustomDraw(this, ClientRect(), cdPrePaint, defaultDraw);
  if (!defaultDraw) return;
  const bool itemDraw = OnCustomDrawItem || OnAdvancedCustomDraw;
  int y = 0;
  for (TvmTreeNode* n = FTop; n && y < ClientHeight(); n = n->GetNextVisible(), y += FRowHeight) {
    const int level = n->Level() + (ShowRoot ? 1 : 0);
    const int cy = y + FRowHeight / 2;
    if (ShowLines && level > 0) {
      // Dotted lines from the parent's column to the node.
      const int x = level * FIndent - FIndent / 2;
      for (int lx = x; lx < level * FIndent; lx += 2) C->SetPixels(lx, cy, clBtnShadow);
      const int bottom = n->GetNextSibling() ? y + FRowHeight : cy;
      for (int ly = y; ly < bottom; ly += 2) C->SetPixels(x, ly, clBtnShadow);
      int px = x - FIndent;
      for (TvmTreeNode* p = n->Parent(); p && px > 0; p = p->Parent(), px -= FIndent)
        if (p->GetNextSibling())
          for (int ly = y; ly < y + FRowHeight; ly += 2) C->SetPixels(px, ly, clBtnShadow);
    }
    if (ShowButtons && n->HasChildren() && level > 0) {
      const int bx = level * FIndent - FIndent / 2 - 4, by = cy - 4;
      FillRectColor(C, TRect(bx, by, bx + 9, by + 9), Color());
      C->Brush()->SetColor(clBtnShadow);
      C->FrameRect(TRect(bx, by, bx + 9, by + 9));
      FillRectColor(C, TRect(bx + 2, by + 4, bx + 7, by + 5), clWindowText);
      if (!n->Expanded()) FillRectColor(C, TRect(bx + 4, by + 2, bx + 5, by + 7), clWindowText);
    }
    TFont font;
    font.Assign(Font());
    TColor text = Font()->Color(), bk = clWindow;
    const bool highlighted = (n == FSelected && (Focused() || !HideSelection)) || n == FDropTarget;
    if (OnCustomDrawItem) {
      C->Font()->Assign(Font());
      C->Brush()->SetColor(clWindow);
      C->Brush()->SetStyle(bsSolid);
      TCustomDrawState state;
      if (n == FSelected) state += cdsSelected;
      if (n == FSelected && Focused()) state += cdsFocused;
      if (n == FHotNode) state += cdsHot;
      if (n == FDropTarget) state += cdsDropTarget;
      bool drawItem = true;
      OnCustomDrawItem(this, n, state, drawItem);
      if (!drawItem) continue;
      font.Assign(C->Font());
      text = C->Font()->Color();
      bk = C->Brush()->Color();
    } else if (!itemDraw && HasCustomDraw()) {
      DoCustomDraw(n, &font, bk, text);
    }
    if (highlighted && (Focused() || n == FDropTarget)) {
      bk = clHighlight;
      text = clHighlightText;
    } else if (highlighted) {
      bk = clBtnFace;
    }
    if (FStateImages && n->StateIndex >= 0 && n->StateIndex < FStateImages->Count())
      FStateImages->Draw(C, StateLeft(n), y + (FRowHeight - FStateImages->Height()) / 2, n->StateIndex);
    if (FImages) {
      const int image = NodeImage(n);
      if (image >= 0 && image < FImages->Count())
        FImages->Draw(C, ImageLeft(n), y + (FRowHeight - FImages->Height()) / 2, image);
    }
    TRect label(LabelLeft(n), y, 0, y + FRowHeight);
    C->SetFont(&font);
    label.Right = RowSelect ? std::max(ClientWidth(), label.Left) : label.Left + C->TextWidth(n->Text()) + 4;
    FillRectColor(C, label, bk);
    C->Brush()->SetStyle(bsClear);
    if (HotTrack && n == FHotNode && !highlighted) {
      C->Font()->SetStyle(C->Font()->Style() + fsUnderline);
      text = clHotLight;
    }
    C->Font()->SetColor(text);
    C->TextOut(label.Left + 2, y + (FRowHeight - C->TextHeight(n->Text())) / 2, n->Text());
    C->Brush()->SetStyle(bsSolid);
    if (n == FSelected && Focused()) C->DrawFocusRect(label);
  }
  if (OnAdvancedCustomDraw) OnAdvancedCustomDraw(this, ClientRect(), cdPostPaint, defaultDraw);
}

void TCustomvmTreeView::Paint() { PaintTo(Canvas()); }

bool TCustomvmTreeView::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos);
  TvmTreeNode* t = FTop;
  for (int i = 0; t && i < 3; ++i) {
    TvmTreeNode* n = WheelDelta > 0 ? t->GetPrevVisible() : t->GetNextVisible();
    if (!n) break;
    t = n;
  }
  SetTopVisible(t);
  return true;
}

// Keys and mouse.

void TCustomvmTreeView::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (Key == VK_DELETE && Options.Contains(trCanDelete) && !FReadOnly && FSelected && !IsEditing()) {
    const std::string msg = std::string(SvmTreeDeleteItem) + " \"" + FSelected->Text() + "\"";
    bool del = true;
    if (Options.Contains(trConfirmDelete)) del = MessageDlg(msg, mtConfirmation, {mbOK, mbCancel}) != mrCancel;
    if (del) delete FSelected;
    Key = 0;
    return;
  }
  TCustomControl::KeyDown(Key, Shift);
  if (!FSelected) {
    if (Key == VK_DOWN || Key == VK_HOME) SetSelected(GetFirstNode());
    return;
  }
  switch (Key) {
    case VK_UP:
      if (TvmTreeNode* p = FSelected->GetPrevVisible()) SetSelected(p);
      break;
    case VK_DOWN:
      if (TvmTreeNode* n = FSelected->GetNextVisible()) SetSelected(n);
      break;
    case VK_LEFT:
      if (FSelected->Expanded())
        FSelected->SetExpanded(false);
      else if (FSelected->Parent())
        SetSelected(FSelected->Parent());
      break;
    case VK_RIGHT:
      if (!FSelected->Expanded())
        FSelected->SetExpanded(true);
      else if (FSelected->GetFirstChild())
        SetSelected(FSelected->GetFirstChild());
      break;
    case VK_ADD:
      FSelected->SetExpanded(true);
      break;
    case VK_SUBTRACT:
      FSelected->SetExpanded(false);
      break;
    case VK_HOME:
      SetSelected(GetFirstNode());
      break;
    case VK_F1 + 1:
      BeginEdit(FSelected);
      break;  // F2
    default:
      break;
  }
}

void TCustomvmTreeView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (IsEditing()) EndEdit(false);
  if (CanFocus() && !Focused()) SetFocus();
  const THitTests h = GetHitTestInfoAt(X, Y);
  TvmTreeNode* n = GetNodeAt(X, Y);
  if (Button == mbLeft && n) {
    if (h.Contains(htOnButton)) {
      n->SetExpanded(!n->Expanded());
    } else if (Shift.Contains(ssDouble)) {
      n->SetExpanded(!n->Expanded());
      if (OnDblClick) OnDblClick(this);
    } else if (h.Contains(htOnLabel)) {
      if (n == FSelected && !FReadOnly) {
        FMousePressed = true;
        FPressPoint = TPoint(X, Y);
      } else {
        SetSelected(n);
        FMousePressed = true;
        FPressPoint = TPoint(X, Y);
      }
    }
  } else if (Button == mbRight && RightClickSelect && n) {
    SetSelected(n);
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomvmTreeView::MouseMove(TShiftState Shift, int X, int Y) {
  if (FMousePressed && DragModeAutomatic && !FDragging && Shift.Contains(ssLeft) &&
      (std::abs(X - FPressPoint.X) > 5 || std::abs(Y - FPressPoint.Y) > 5)) {
    BeginNodeDrag();
    DragEnter();
  }
  if (FDragging) DragMove(X, Y, Shift);
  if (HotTrack) {
    TvmTreeNode* hot = GetHitTestInfoAt(X, Y).Contains(htOnLabel) ? GetNodeAt(X, Y) : nullptr;
    if (hot != FHotNode) {
      FHotNode = hot;
      Invalidate();
    }
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomvmTreeView::MouseLeave() {
  if (FHotNode) {
    FHotNode = nullptr;
    Invalidate();
  }
  TCustomControl::MouseLeave();
}

void TCustomvmTreeView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FMousePressed = false;
  if (FDragging) DragDropAt(X, Y, Shift);
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

// Label editing.

bool TCustomvmTreeView::BeginEdit(TvmTreeNode* Node) {
  if (!Node || FReadOnly) return false;
  if (IsEditing()) EndEdit(false);
  bool allow = true;
  if (OnEditing) OnEditing(this, Node, allow);
  if (!allow) return false;
  Node->MakeVisible();
  std::string text = Node->Text();
  if (OnGetEditText) OnGetEditText(this, Node, text);
  FEditNode = Node;
  if (!FEditBox) {
    FEditBox = new TEdit(this);
    FEditBox->SetParent(this);
  }
  FEditor = FEditBox;
  FEditor->SetVisible(true);
  TRect r = DisplayRect(Node, true);
  FEditor->SetBounds(r.Left, r.Top, std::max(r.Width() + 40, 60), r.Height() + 2);
  FEditor->SetText(text);
  FEditor->OnKeyDown = [this](TObject*, uint16_t& Key, TShiftState) {
    if (Key == VK_RETURN) {
      Key = 0;
      EndEdit(false);
    } else if (Key == VK_ESCAPE) {
      Key = 0;
      EndEdit(true);
    }
  };
  if (FEditor->CanFocus()) FEditor->SetFocus();
  return true;
}

void TCustomvmTreeView::EndEdit(bool Cancel) {
  if (!FEditor) return;
  TEdit* e = FEditor;
  TvmTreeNode* n = FEditNode;
  FEditor = nullptr;
  FEditNode = nullptr;
  std::string s = e->Text();
  e->SetVisible(false);
  if (!Cancel && n) {
    if (OnEdited) OnEdited(this, n, s);
    n->FText = s;
  }
  Changed();
  if (CanFocus()) SetFocus();
}

// Drag and drop.

void TCustomvmTreeView::BeginNodeDrag() {
  GDragSource = Focused() || FMousePressed ? FSelected : nullptr;
  FDragging = true;
}

void TCustomvmTreeView::DragEnter() {
  FDragging = true;
  FDropTarget = nullptr;
}

void TCustomvmTreeView::DragLeave() {
  if (GDragSource) {
    FDropTarget = nullptr;
    if (GDragSource->FOwner == this) FSelected = GDragSource;
  }
  FDragging = false;
  Changed();
}

bool TCustomvmTreeView::DragMove(int X, int Y, TShiftState Shift) {
  FDragging = true;
  const THitTests h = GetHitTestInfoAt(X, Y);
  TvmTreeNode* n =
      h.Contains(htOnLabel) || h.Contains(htOnIcon) || h.Contains(htOnStateIcon) ? GetNodeAt(X, Y) : nullptr;
  // Near the edges the tree scrolls by one line.
  if (n && n == FDropTarget) {
    if (n == FTop && n->GetPrevVisible())
      SetTopVisible(n->GetPrevVisible());
    else if (Y >= ClientHeight() - FRowHeight && FTop && FTop->GetNextVisible())
      SetTopVisible(FTop->GetNextVisible());
  }
  if (n != FDropTarget) {
    FDropTarget = n;
    Changed();
  }
  bool accept = false;
  TvmTreeNode* src = GDragSource;
  if (src && n != src) {
    accept = !((src->HasChildren() && n && n->HasAsParent(src)) || OnDragOver);
    if (accept) DoDragDropTreeNode(n, src, accept);
  }
  if (OnDragOver) OnDragOver(this, this, X, Y, accept);
  FDragCursor = !accept ? crNoDrop : CtrlHeld(Shift) ? crTreeDragCopy : DragCursor;
  return accept;
}

void TCustomvmTreeView::DragDropAt(int X, int Y, TShiftState Shift) {
  bool isCopy = CtrlHeld(Shift);
  TvmTreeNode* src = GDragSource;
  TvmTreeNode* target = FDropTarget;
  bool accept = false;
  if (target) {
    FDropTarget = nullptr;
    FSelected = target;
    Changed();
    if (src && target != src && !target->HasAsParent(src)) {
      DoDragDropIsCopy(target, src, isCopy);
      accept = true;
      if (src->FParent != target || isCopy || src->FOwner != this)
        DoDragDropTreeNode(target, src, accept);
      else
        accept = static_cast<bool>(OnEndDragTreeNode);
    }
  } else if (src) {
    DoDragDropIsCopy(nullptr, src, isCopy);
    accept = true;
    DoDragDropTreeNode(nullptr, src, accept);
  }
  if (accept && src) {
    if (TvmTreeNode* r = DropNodes(src, target, isCopy)) {
      r->MakeVisible();
      SetSelected(r);
    }
  }
  FDragging = false;
  FDropTarget = nullptr;
  GDragSource = nullptr;
  FDragCursor = crDefault;
  Changed();
}

void TCustomvmTreeView::DragCancel() {
  FDragging = false;
  FDropTarget = nullptr;
  GDragSource = nullptr;
  Changed();
}

void TCustomvmTreeView::DoDragDropTreeNode(TvmTreeNode* Destination, TvmTreeNode* Source, bool& Accept) {
  if (OnDragDropTreeNode) OnDragDropTreeNode(Destination, Source, Accept);
}

void TCustomvmTreeView::DoDragDropIsCopy(TvmTreeNode* Destination, TvmTreeNode* Source, bool& IsCopy) {
  if (OnDragDropIsCopy) OnDragDropIsCopy(Destination, Source, IsCopy);
}

void TCustomvmTreeView::GetNodeCopyText(TvmTreeNode* Node, std::string& Text) {
  if (Node) Text = Node->Text();
}

void TCustomvmTreeView::CollectSubtree(TvmTreeNode* Node, std::vector<TvmTreeNode*>& List) {
  List.push_back(Node);
  for (TvmTreeNode* c : Node->FChildren) CollectSubtree(c, List);
}

TvmTreeNode* TCustomvmTreeView::DropNodes(TvmTreeNode* Source, TvmTreeNode* Target, bool IsCopy) {
  const bool foreign = Source->FOwner != this;
  TNodeAttachMode mode = Target ? naAddChild : naAdd;
  if (OnEndDragTreeNode) OnEndDragTreeNode(Target, Source, mode);
  if (Target && (mode == naAddChild || mode == naAddChildFirst)) Target->FHasChildren = true;
  if (IsCopy || foreign) {
    std::vector<TvmTreeNode*> sources, copies;
    FInternalChange = true;
    CollectSubtree(Source, sources);
    TvmTreeNode* first = nullptr;
    for (TvmTreeNode* s : sources) {
      std::string text;
      GetNodeCopyText(s, text);
      TvmTreeNode* copy;
      if (!first) {
        copy = AddNode(Target, text, mode);
        first = copy;
      } else {
        const auto it = std::find(sources.begin(), sources.end(), s->FParent);
        copy = AddNode(copies[static_cast<size_t>(it - sources.begin())], text, naAddChild);
      }
      copy->ImageIndex = s->ImageIndex;
      copy->Data = s->Data;
      copies.push_back(copy);
    }
    NodesCopied(sources, copies, true);
    FInternalChange = false;
    if (foreign && !IsCopy && !Source->FOwner->ReadOnly()) delete Source;
    Changed();
    return first;
  }
  FInternalChange = true;
  Source->MoveTo(Target, mode);
  FInternalChange = false;
  return Source;
}

// ---------------------------------------------------------------------------------------------
// The nodes in a form's stream.

namespace {
void WriteInt(TStream& S, int32_t V) { S.WriteBuffer(&V, sizeof V); }
int32_t ReadInt(TStream& S) {
  int32_t v = 0;
  S.ReadBuffer(&v, sizeof v);
  return v;
}
}  // namespace

void TvmTreeView::DefineProperties(TFiler* Filer) {
  TCustomvmTreeView::DefineProperties(Filer);
  Filer->DefineBinaryProperty(
      "ItemsData", [this](TStream& S) { ReadItems(S); }, [this](TStream& S) { WriteItems(S); }, TopCount() > 0);
}

void TvmTreeView::WriteItems(TStream& S) const {
  int32_t count = 0;
  for (TvmTreeNode* n = GetFirstNode(); n; n = n->GetNext()) ++count;
  WriteInt(S, count);
  for (TvmTreeNode* n = GetFirstNode(); n; n = n->GetNext()) {
    WriteInt(S, n->Level());
    WriteInt(S, n->ImageIndex);
    WriteInt(S, n->SelectedIndex);
    WriteInt(S, n->StateIndex);
    WriteInt(S, (n->Expanded() ? 1 : 0) | (n->HasChildren() ? 2 : 0));
    WriteInt(S, static_cast<int32_t>(n->Text().size()));
    S.WriteString(n->Text());
  }
}

void TvmTreeView::ReadItems(TStream& S) {
  const auto bad = [] { throw EReadError("Invalid stream format"); };
  const int32_t count = ReadInt(S);
  // Every node takes at least 24 bytes: a count beyond what is left is damage, not a request.
  if (count < 0 || count > (S.Size() - S.Position()) / 24) bad();
  Clear();
  std::vector<TvmTreeNode*> path;  // the last node read on each level
  std::vector<std::pair<TvmTreeNode*, bool>> expand;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t level = ReadInt(S);
    if (level < 0 || level > static_cast<int32_t>(path.size())) bad();
    const int32_t image = ReadInt(S), selected = ReadInt(S), state = ReadInt(S), flags = ReadInt(S);
    const int32_t length = ReadInt(S);
    if (length < 0 || length > S.Size() - S.Position()) bad();
    std::string text(static_cast<size_t>(length), '\0');
    if (length > 0) S.ReadBuffer(text.data(), length);
    path.resize(static_cast<size_t>(level));
    TvmTreeNode* n = level == 0 ? Add(nullptr, text) : AddChild(path.back(), text);
    n->ImageIndex = image;
    n->SelectedIndex = selected;
    n->StateIndex = state;
    if (flags & 2) n->SetHasChildren(true);
    expand.emplace_back(n, (flags & 1) != 0);
    path.push_back(n);
  }
  // Expanded once all children are there.
  for (auto& [node, open] : expand)
    if (open) node->SetExpanded(true);
}
