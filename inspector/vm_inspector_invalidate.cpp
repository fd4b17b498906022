// The inspector's invalidation and the notifications its nodes send it.
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

void TCustomvmInspector::InvalidateNode(TvmInspectorNode* Node, bool WholeColumn) {
  if (!Node) return;
  if (WholeColumn && IsBandLayout()) {
    Invalidate();
    return;
  }
  // The retained surface repaints as a whole.
  Invalidate();
}

void TCustomvmInspector::NodeChanged(TvmInspectorNode* Node, bool Relayout) {
  if (!Node || Node->Deleting() || FUpdateLock > 0 || FDestroyingControl || !Node->IsVisible()) return;
  if (Relayout) {
    UpdateScrollBars();
    ValidateTopPosition();
  }
  InvalidateNode(Node, Relayout);
}

void TCustomvmInspector::NodeCreated(TvmInspectorNode* Node) {
  HideEditor();
  if (!FTopNode) FTopNode = Node;
  if (!FFocusedNode) FFocusedNode = FTopNode;
  TvmInspectorNode* p = Node->GetPrevSiblingOrParent();
  NodeChanged(p ? p : Node, true);
}

void TCustomvmInspector::NodeDeleted(TvmInspectorNode* Node, TvmInspectorNode* PrevSiblingOrParent,
                                     TvmInspectorNode* Next, bool WasLast, bool WasDisplayed) {
  if (FNodes.empty()) {
    FTopNode = FFocusedNode = FEditingNode = FSizingNode = FHotNode = FPressedNode = FDragNode = nullptr;
    FPendingVisible = nullptr;
    FClickNode = nullptr;
    if (FUpdateLock == 0 && !FDestroyingControl) {
      HideEditor();
      UpdateScrollBars();
      Invalidate();
    }
    return;
  }
  TvmInspectorNode* newTop = nullptr;
  TvmInspectorNode* newFocus = nullptr;
  if (FTopNode == Node) FTopNode = newTop = PrevSiblingOrParent ? PrevSiblingOrParent : Next;
  if (FFocusedNode == Node) FFocusedNode = newFocus = PrevSiblingOrParent ? PrevSiblingOrParent : Next;
  if (FSizingNode == Node) FSizingNode = nullptr;
  if (FHotNode == Node) FHotNode = nullptr;
  if (FPressedNode == Node) FPressedNode = nullptr;
  if (FDragNode == Node) FDragNode = nullptr;
  if (FClickNode == Node) FClickNode = nullptr;
  if (FPendingVisible == Node) FPendingVisible = nullptr;
  if (FHintNode == Node) {
    FHintNode = nullptr;
    FHintIndex = -1;
    FHintCode = ihOutside;
  }
  if (FEditingNode == Node) FEditingNode = nullptr;
  if (!FDestroyingControl) HideEditor();
  if (WasDisplayed) {
    TvmInspectorNode* n = newTop ? newTop : newFocus ? newFocus : PrevSiblingOrParent ? PrevSiblingOrParent : Next;
    NodeChanged(n, true);
  }
}

void TCustomvmInspector::DoChangeNode(TvmInspectorNode* OldNode, TvmInspectorNode* Node) {
  if (OnChangeNode) OnChangeNode(this, OldNode, Node);
}

void TCustomvmInspector::SetFocusedNode(TvmInspectorNode* Node) {
  TvmInspectorNode* old = FFocusedNode;
  if (FUpdateLock > 0) {
    FFocusedNode = Node;
  } else {
    if (Node) MakeNodeVisible(Node);
    if (Node != FFocusedNode) {
      FFocusedNode = Node;
      InvalidateNode(old, false);
      InvalidateNode(Node, false);
    }
  }
  if (old != FFocusedNode) {
    HideEditor();
    FocusedItemChanged();
    DoChangeNode(old, FFocusedNode);
  }
}

void TCustomvmInspector::SetFocusedIndex(int Index) {
  if (FNodes.empty() || Index == GetFocusedAbsoluteIndex()) return;
  Index = std::clamp(Index, 0, GetAbsoluteCount() - 1);
  if (Index != GetFocusedAbsoluteIndex()) SetFocusedNode(GetNodeByAbsoluteIndex(Index));
  if (OnClick) OnClick(this);
}

void TCustomvmInspector::FocusedItemChanged() { SetFocusedComplexItem(FFocusedItem); }

void TCustomvmInspector::SetFocusedComplexItem(int Index) {
  const int before = FocusedComplexItem();
  CheckComplexItemIndex(Index);
  if (Index == FFocusedItem) return;
  FFocusedItem = Index;
  if (FocusedComplexItem() != before) InvalidateNode(FFocusedNode, false);
}

void TCustomvmInspector::SetHotNode(TvmInspectorNode* Node) {
  if (FPaintStyle != ipsCategorized || FMouseState != imsNone) return;
  if (Node == FHotNode) return;
  InvalidateNode(FHotNode, false);
  FHotNode = Node;
  InvalidateNode(Node, false);
}

bool TCustomvmInspector::ShowsNodeImage(TvmInspectorNode* Node) const {
  return GetNodeImageIndex(Node) != -1 && !(FPaintStyle == ipsCategorized && IsCategoryNode(Node));
}

TColor TCustomvmInspector::GetValueFontColor() const {
  if (ColorToRGB(clBtnFace) == 0) {
    const TColor c = ColorToRGB(FValueColor);
    return ((255 - (c & 0xFF))) | ((255 - ((c >> 8) & 0xFF)) << 8) | ((255 - ((c >> 16) & 0xFF)) << 16);
  }
  return FValueColor;
}

void TCustomvmInspector::GetNodeCaption(TvmInspectorNode* Node, std::string& Caption) {
  Caption.clear();
  if (!Node) return;
  std::string v;
  GetNodeTexts(Node, Caption, v);
}
