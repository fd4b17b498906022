#include "platform/treeview.h"

#include <algorithm>

#include "platform/canvas.h"
#include "platform/exceptions.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

VM_DEFINE_CLASS(TTreeView)

namespace {
[[noreturn]] void RaiseTreeIndex(int Index) {
  throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// TTreeNode

void TTreeNode::SetText(const std::string& Value) {
  FText = Value;
  FOwner->Invalidate();
}

TTreeNode* TTreeNode::Item(int Index) const {
  if (Index < 0 || Index >= Count()) RaiseTreeIndex(Index);
  return FChildren[Index].get();
}

int TTreeNode::Index() const {
  const auto& siblings = FParent ? FParent->FChildren : FOwner->FRoots;
  for (size_t i = 0; i < siblings.size(); ++i)
    if (siblings[i].get() == this) return static_cast<int>(i);
  return -1;
}

int TTreeNode::Level() const {
  int n = 0;
  for (TTreeNode* p = FParent; p; p = p->FParent) ++n;
  return n;
}

void TTreeNode::SetExpanded(bool Value) {
  if (FExpanded == Value) return;
  FExpanded = Value;
  FOwner->Toggled(this);
}

void TTreeNode::Expand(bool Recurse) {
  SetExpanded(true);
  if (Recurse)
    for (auto& c : FChildren) c->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
  SetExpanded(false);
  if (Recurse)
    for (auto& c : FChildren) c->Collapse(true);
}

bool TTreeNode::Selected() const { return FOwner->Selected() == this; }

bool TTreeNode::IsVisible() const {
  for (TTreeNode* p = FParent; p; p = p->FParent)
    if (!p->FExpanded) return false;
  return true;
}

// ---------------------------------------------------------------------------------------------
// TTreeView

TTreeView::TTreeView(TComponent* AOwner) : TCustomControl(AOwner) {
  FTabStop = true;
  SetClickOnMouseUp(false);
  SetFrameBorder(2);
  SetBounds(0, 0, 121, 97);
}

TTreeView::~TTreeView() {
  FSelected = nullptr;
  FRoots.clear();
}

TTreeNode* TTreeView::AddChild(TTreeNode* Parent, const std::string& Text, void* Data) {
  auto& list = Parent ? Parent->FChildren : FRoots;
  list.push_back(std::make_unique<TTreeNode>(this, Parent));
  TTreeNode* n = list.back().get();
  n->FText = Text;
  n->Data = Data;
  Changed();
  return n;
}

bool TTreeView::Contains(const TTreeNode* Ancestor, const TTreeNode* Node) const {
  for (const TTreeNode* p = Node; p; p = p->FParent)
    if (p == Ancestor) return true;
  return false;
}

void TTreeView::Delete(TTreeNode* Node) {
  if (!Node) return;
  if (FSelected && Contains(Node, FSelected)) FSelected = nullptr;
  auto& list = Node->FParent ? Node->FParent->FChildren : FRoots;
  list.erase(std::remove_if(list.begin(), list.end(), [Node](const auto& p) { return p.get() == Node; }), list.end());
  Changed();
}

void TTreeView::Clear() {
  FSelected = nullptr;
  FRoots.clear();
  FTopIndex = 0;
  Changed();
}

TTreeNode* TTreeView::Root(int Index) const {
  if (Index < 0 || Index >= RootCount()) RaiseTreeIndex(Index);
  return FRoots[Index].get();
}

TTreeNode* TTreeView::FindData(const void* Data) const {
  std::vector<TTreeNode*> stack;
  for (auto it = FRoots.rbegin(); it != FRoots.rend(); ++it) stack.push_back(it->get());
  while (!stack.empty()) {
    TTreeNode* n = stack.back();
    stack.pop_back();
    if (n->Data == Data) return n;
    for (auto it = n->FChildren.rbegin(); it != n->FChildren.rend(); ++it) stack.push_back(it->get());
  }
  return nullptr;
}

std::vector<TTreeNode*> TTreeView::VisibleNodes() const {
  std::vector<TTreeNode*> out;
  std::function<void(const std::vector<std::unique_ptr<TTreeNode>>&)> walk = [&](const auto& List) {
    for (const auto& n : List) {
      out.push_back(n.get());
      if (n->FExpanded) walk(n->FChildren);
    }
  };
  walk(FRoots);
  return out;
}

void TTreeView::SetSelected(TTreeNode* Node) {
  if (Node == FSelected) return;
  if (OnChanging) {
    bool allow = true;
    OnChanging(this, Node, allow);
    if (!allow) return;
  }
  if (Node)
    for (TTreeNode* p = Node->FParent; p; p = p->FParent) p->FExpanded = true;
  FSelected = Node;
  if (Node) MakeVisible(Node);
  UpdateScrollBar();
  Invalidate();
  if (OnChange) OnChange(this, Node);
}

void TTreeView::SetItemHeight(int Value) {
  if (Value > 0) FItemHeight = Value;
  Changed();
}

void TTreeView::Changed() {
  const int n = static_cast<int>(VisibleNodes().size());
  FTopIndex = std::clamp(FTopIndex, 0, std::max(0, n - VisibleRows()));
  UpdateScrollBar();
  Invalidate();
}

void TTreeView::Toggled(TTreeNode* Node) {
  // A selection folded away moves up to the folded node.
  if (!Node->FExpanded && FSelected && FSelected != Node && Contains(Node, FSelected)) SetSelected(Node);
  Changed();
  if (Node->FExpanded && OnExpanded) OnExpanded(this, Node);
  if (!Node->FExpanded && OnCollapsed) OnCollapsed(this, Node);
}

int TTreeView::VisibleRows() const { return std::max(1, ClientHeight() / FItemHeight); }

void TTreeView::MakeVisible(TTreeNode* Node) {
  const auto rows = VisibleNodes();
  const int i = static_cast<int>(std::find(rows.begin(), rows.end(), Node) - rows.begin());
  if (i >= static_cast<int>(rows.size())) return;
  if (i < FTopIndex) FTopIndex = i;
  if (i >= FTopIndex + VisibleRows()) FTopIndex = i - VisibleRows() + 1;
}

void TTreeView::UpdateScrollBar() {
  const int n = static_cast<int>(VisibleNodes().size());
  SetScrollBar(sbVertical, 0, std::max(0, n - 1), VisibleRows(), FTopIndex);
}

void TTreeView::Resize() {
  TCustomControl::Resize();
  Changed();
}

void TTreeView::Scrolled(int Kind, int Position) {
  if (Kind != sbVertical) return;
  FTopIndex = std::max(0, Position);
  Invalidate();
}

TRect TTreeView::NodeRect(const TTreeNode* Node) const {
  const auto rows = VisibleNodes();
  const int i = static_cast<int>(std::find(rows.begin(), rows.end(), Node) - rows.begin());
  if (i >= static_cast<int>(rows.size())) return TRect();
  const int y = (i - FTopIndex) * FItemHeight;
  return Rect(0, y, ClientWidth(), y + FItemHeight);
}

TTreeNode* TTreeView::GetNodeAt(int X, int Y) const {
  if (X < 0 || Y < 0 || X >= ClientWidth() || Y >= ClientHeight()) return nullptr;
  const auto rows = VisibleNodes();
  const int i = FTopIndex + Y / FItemHeight;
  return i < static_cast<int>(rows.size()) ? rows[i] : nullptr;
}

TRect TTreeView::ButtonRect(const TTreeNode* Node, const TRect& Row) const {
  const int x = 4 + Node->Level() * FIndent, y = Row.Top + (FItemHeight - 9) / 2;
  return Rect(x, y, x + 9, y + 9);
}

void TTreeView::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(FColor);
  c->FillRect(ClientRect());
  const auto rows = VisibleNodes();
  for (int i = FTopIndex; i < static_cast<int>(rows.size()); ++i) {
    TTreeNode* n = rows[i];
    const TRect row = NodeRect(n);
    if (row.Top >= ClientHeight()) break;
    const TRect box = ButtonRect(n, row);
    c->Font()->Assign(FFont.get());
    if (!FEnabled) c->Font()->SetColor(clGrayText);
    if (n->HasChildren()) {
      c->Pen()->SetColor(clGrayText);
      c->Brush()->SetColor(FColor);
      c->Rectangle(box);
      c->Pen()->SetColor(clWindowText);
      const int my = box.Top + 4, mx = box.Left + 4;
      c->MoveTo(box.Left + 2, my);
      c->LineTo(box.Right - 2, my);
      if (!n->FExpanded) {
        c->MoveTo(mx, box.Top + 2);
        c->LineTo(mx, box.Bottom - 2);
      }
    }
    const int tx = box.Right + 5, tw = c->TextWidth(n->FText) + 4;
    const TRect text = Rect(tx - 2, row.Top + 1, std::min(ClientWidth(), tx + tw - 2), row.Bottom - 1);
    c->Brush()->SetColor(n == FSelected ? clHighlight : FColor);
    if (n == FSelected) {
      c->FillRect(text);
      c->Font()->SetColor(clHighlightText);
    }
    c->Brush()->SetStyle(bsClear);
    c->TextOut(tx, row.Top + (FItemHeight - c->TextHeight("0")) / 2, n->FText);
    c->Brush()->SetStyle(bsSolid);
    if (n == FSelected && Focused()) c->DrawFocusRect(text);
  }
  TCustomControl::Paint();
}

void TTreeView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (CanFocus() && !Focused()) SetFocus();
    if (TTreeNode* n = GetNodeAt(X, Y)) {
      const TRect box = ButtonRect(n, NodeRect(n));
      if (n->HasChildren() && X >= box.Left - 3 && X < box.Right + 3)
        n->SetExpanded(!n->FExpanded);
      else
        SetSelected(n);
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TTreeView::DblClick() {
  if (FSelected && FSelected->HasChildren()) FSelected->SetExpanded(!FSelected->FExpanded);
  TCustomControl::DblClick();
}

void TTreeView::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  const auto rows = VisibleNodes();
  if (rows.empty()) return;
  const int n = static_cast<int>(rows.size());
  const int i = FSelected ? static_cast<int>(std::find(rows.begin(), rows.end(), FSelected) - rows.begin()) : -1;
  TTreeNode* to = nullptr;
  switch (Key) {
    case VK_UP:
      to = rows[std::max(0, i - 1)];
      break;
    case VK_DOWN:
      to = rows[std::min(n - 1, i + 1)];
      break;
    case VK_HOME:
      to = rows.front();
      break;
    case VK_END:
      to = rows.back();
      break;
    case VK_PRIOR:
      to = rows[std::max(0, i - std::max(1, VisibleRows() - 1))];
      break;
    case VK_NEXT:
      to = rows[std::min(n - 1, std::max(i, 0) + std::max(1, VisibleRows() - 1))];
      break;
    case VK_LEFT:
    case VK_SUBTRACT:
      if (!FSelected) return;
      if (FSelected->FExpanded && FSelected->HasChildren())
        FSelected->SetExpanded(false);
      else if (Key == VK_LEFT && FSelected->FParent)
        to = FSelected->FParent;
      break;
    case VK_RIGHT:
    case VK_ADD:
      if (!FSelected) return;
      if (FSelected->HasChildren() && !FSelected->FExpanded)
        FSelected->SetExpanded(true);
      else if (Key == VK_RIGHT && FSelected->HasChildren())
        to = FSelected->FChildren.front().get();
      break;
    default:
      return;
  }
  Key = 0;
  if (to) SetSelected(to);
}

bool TTreeView::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  const int n = static_cast<int>(VisibleNodes().size());
  const int top =
      std::clamp(FTopIndex - WheelDelta / 120 * Mouse->WheelScrollLines(), 0, std::max(0, n - VisibleRows()));
  if (top != FTopIndex) {
    FTopIndex = top;
    UpdateScrollBar();
    Invalidate();
  }
  return true;
}
