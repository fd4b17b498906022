// The inspector's editing, keyboard and mouse.
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

namespace {

constexpr uint16_t VK_MULTIPLY = 0x6A;

TForm* ParentFormOf(TControl* C) {
  for (TWinControl* p = C->Parent(); p; p = p->Parent())
    if (auto* f = dynamic_cast<TForm*>(p)) return f;
  return nullptr;
}

}  // namespace

std::unique_ptr<TvmEditStyle> TCustomvmInspector::CreateEditStyle(TvmInplaceEdit* Edit) {
  return std::make_unique<TvmInspectorEditStyle>(Edit, this);
}

bool TCustomvmInspector::CanEditNode() {
  return FOptions.Contains(ioEditing) && FFocusedNode && !IsCategoryNode(FFocusedNode) && FUpdateLock == 0 &&
         HandleAllocated() && FMouseState != imsDragging && !FDestroyingControl && !IsCustomizing();
}

TvmInplaceEdit* TCustomvmInspector::CreateEditor(TvmInspectorNode* Node) { return new TvmInplaceTextEdit(this); }

TRect TCustomvmInspector::GetEditorCellRect(TvmInspectorNode* Node) {
  TRect row = GetNodeRect(Node);
  if (IsRectEmpty(row)) return row;
  row.Bottom -= FGridLineWidth;
  TRect v = CalcNodeCells(Node, row).Value;
  return v;
}

void TCustomvmInspector::InitEditor(TvmInplaceEdit* Edit) {
  Edit->SetClosing(false);
  Edit->SetColor(ColorToRGB(GetEditColor()));
  Edit->SetFont(GetEditFont());
  Edit->SetContentOffsets({1, 0, 0, 0});
}

void TCustomvmInspector::ShowEditor(bool Force, bool Reload) {
  if (!CanEditNode()) {
    if (FEditor && FEditor->EditVisible()) HideEditor();
    return;
  }
  if (!Force && !Focused() && !(FEditor && FEditor->IsFocused())) {
    if (FEditor && !FEditor->IsFocused() && Reload) PrepareEditor();
    return;
  }
  const TRect r = GetEditorCellRect(FFocusedNode);
  TvmInplaceEdit* e = FindEditor(FFocusedNode);
  if (e && e == FEditor && FFocusedNode == FEditingNode &&
      FocusedComplexItem() == (FPreparedItem < 0 ? 0 : FPreparedItem)) {
    TRect cur = e->BoundsRect();
    InflateRect(cur, -2, -2);
    if (cur == r && !Force && e->EditVisible()) return;
    e->HideEdit();
    FActivatingEditor = true;
    TScopeExit done([this] { FActivatingEditor = false; });
    e->ActivateAt(r);
    e->PlaceCaretAtEnd();
    return;
  }
  FEditingNode = nullptr;
  CloseEditor(false);
  FEditor = e ? e : CreateEditor(FFocusedNode);
  if (FEditor->Parent() != this) FEditor->SetParent(this);
  PrepareEditor();
  FActivatingEditor = true;
  TScopeExit done([this] { FActivatingEditor = false; });
  FEditor->ActivateAt(r);
}

void TCustomvmInspector::PrepareEditor() {
  if (!FEditor) return;
  FPreparedItem = FocusedComplexItem();
  FEditingNode = FFocusedNode;
  BeginInitEditor();
  TScopeExit endInitEditor([&] { EndInitEditor(); });
  InitEditor(FEditor);
  Variant v;
  LoadEditorValue(FEditingNode, FEditor, v);
  FEditor->SetModifiedFlag(false);
  if (IsReadOnly()) FEditor->SetReadOnly(true);
  FEditor->SetActive(true);
}

void TCustomvmInspector::CloseEditor(bool KeepShown) {
  if (!FEditor) return;
  TvmInplaceEdit* e = FEditor;
  const bool hadFocus = e->IsFocused();
  e->SetClosing(true);
  {
    TScopeFail undo([&] {
      if (KeepShown && FEditingNode) {
        MakeNodeVisible(FEditingNode);
        Update();
      }
      FMouseState = imsNone;
      if (!KeepShown) {
        FEditingNode = nullptr;
        e->HideEdit();
      }
    });
    if (FEditingNode && !e->ComponentState().Contains(csDestroying)) {
      Variant v;
      ApplyEditorValue(FEditingNode, e, v);
    }
  }
  if (!KeepShown) {
    FEditingNode = nullptr;
    e->HideEdit();
  }
  if ((KeepShown || hadFocus) && Visible() && HandleAllocated() && CanFocus() && !Focused()) {
    // The focus comes from the editor: entering must not show it again.
    FFocusFromEditor = true;
    TScopeExit focusFromEditor([&] { FFocusFromEditor = false; });
    SetFocus();
  }
}

void TCustomvmInspector::HideEditor() {
  FEditingNode = nullptr;
  CloseEditor(false);
  FEditor = nullptr;
}

void TCustomvmInspector::PostEditor() {
  if (!FEditor) return;
  if (FEditor->EditVisible() && FEditingNode) FEditor->ValidateEdit();
  CloseEditor(true);
}

void TCustomvmInspector::UpdateEditor() {
  FEditingNode = nullptr;
  ShowEditor(false, true);
}

void TCustomvmInspector::ShowEditorOnClick() {
  if (FOptions.Contains(ioEditing) && FFocusedNode) ShowEditor(true, false);
}

void TCustomvmInspector::GetEditingText(std::string& S) {
  S.clear();
  if (FOptions.Contains(ioEditing) && FEditor) FEditor->GetEditingText(S);
}

void TCustomvmInspector::SetEditingText(const std::string& S) {
  if (FOptions.Contains(ioEditing) && FEditor) FEditor->SetEditingText(S);
}

bool TCustomvmInspector::IsEditWantTabs() { return FOptions.Contains(ioTabs); }

void TCustomvmInspector::InvalidateFocusedCell() { InvalidateNode(FFocusedNode, false); }

void TCustomvmInspector::EditKeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomvmContainer::EditKeyDown(Key, Shift);
  // A key typed into the editor changes its text only; the tree keys alone act on the rows (and
  // bring the row into view, which lays the inspector out anew).
  const bool treeKey = Key == VK_LEFT || Key == VK_RIGHT || Key == VK_MULTIPLY || Key == VK_ADD || Key == VK_SUBTRACT;
  if (treeKey) HandleTreeKeys(Key, Shift);
}

void TCustomvmInspector::HandleTreeKeys(uint16_t Key, TShiftState Shift) {
  if (Key == 0 || !FFocusedNode) return;
  TvmInspectorNode* n = FFocusedNode;
  MakeNodeVisible(n);
  const bool category = IsCategoryNode(n);
  if (category && Key == VK_LEFT) n->SetExpanded(false);
  if (category && Key == VK_RIGHT) n->SetExpanded(true);
  if (category || Shift.Contains(ssCtrl)) {
    if (Key == VK_MULTIPLY && n->HasChildren()) n->Expand(true);
    if (Key == VK_ADD) n->SetExpanded(true);
    if (Key == VK_SUBTRACT) n->SetExpanded(false);
  }
}

void TCustomvmInspector::FocusAdjacentRow(bool Forward) {
  if (FocusNextComplexItem(Forward)) return;
  if (FOptions.Contains(ioTabThrough)) {
    const bool atEnd = Forward ? FFocusedNode == GetLastNode() : FFocusedNode == Nodes(0);
    if (atEnd) {
      if (TForm* f = ParentFormOf(this)) f->SelectNext(this, Forward, true);
      return;
    }
  }
  SetFocusedIndex(GetFocusedAbsoluteIndex() + (Forward ? 1 : -1));
}

void TCustomvmInspector::CancelSizing() {
  HideRowHint();
  if (FMouseState == imsDivider || FMouseState == imsBandSizing || FMouseState == imsRowSizing) {
    const auto state = FMouseState;
    FMouseState = imsNone;
    SetCursor(crDefault);
    if (state == imsDivider && CanDynamicColumnSizing()) {
      SetDividerPos(FSavedSizingValue);
      Repaint();
    } else if (state == imsBandSizing) {
      SetBandWidth(FSavedSizingValue);
      Repaint();
    }
    FSizingNode = nullptr;
    Invalidate();
  }
}

void TCustomvmInspector::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomvmContainer::KeyDown(Key, Shift);
  if (Key == 0) return;
  if (FMouseState == imsDivider || FMouseState == imsBandSizing || FMouseState == imsRowSizing) {
    if (Key == VK_ESCAPE) CancelSizing();
    return;
  }
  if (Key == VK_ESCAPE && FMouseState == imsDragging) {
    EndRowDrag(false, 0, 0);
    return;
  }
  if (FNodes.empty()) return;
  const bool nav =
      Key == VK_TAB || Key == VK_RETURN || Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN;
  const bool editing = FOptions.Contains(ioEditing);
  if (nav && editing) {
    const bool backward = Key == VK_PRIOR || Key == VK_UP || (Key == VK_TAB && Shift.Contains(ssShift));
    const bool forward = Key == VK_NEXT || Key == VK_DOWN || (Key == VK_TAB && !Shift.Contains(ssShift));
    bool boundary = false;
    if (!FOptions.Contains(ioTabThrough)) {
      if (backward && FFocusedNode == Nodes(0)) boundary = true;
      if (forward && FFocusedNode == GetLastNode()) boundary = true;
      if (boundary && Key == VK_TAB && CanMoveComplexItem(forward)) boundary = false;
    }
    if (boundary) {
      if (FEditor && FEditor->Modified()) {
        PostEditor();
        UpdateEditor();
      }
      return;
    }
    PostEditor();
  }
  const int pos = GetFocusedAbsoluteIndex();
  switch (Key) {
    case VK_TAB:
      if (!Shift.Contains(ssAlt)) FocusAdjacentRow(!Shift.Contains(ssShift));
      break;
    case VK_RETURN:
      if (FOptions.Contains(ioEnterThrough)) FocusAdjacentRow(true);
      break;
    case VK_ESCAPE:
      UpdateEditor();
      if (FEditor) FEditor->PlaceCaretAtEnd();
      break;
    case VK_PRIOR:
      SetFocusedIndex(Shift.Contains(ssCtrl) ? 0 : pos - FPage);
      break;
    case VK_NEXT:
      SetFocusedIndex(Shift.Contains(ssCtrl) ? GetAbsoluteCount() - 1 : pos + FPage);
      break;
    case VK_UP:
      SetFocusedIndex(pos - 1);
      break;
    case VK_DOWN:
      SetFocusedIndex(pos + 1);
      break;
    default:
      break;
  }
  HandleTreeKeys(Key, Shift);
  if (nav && editing) UpdateEditor();
}

void TCustomvmInspector::ScrollTimerTick() {
  if (FMouseState != imsPressed && FMouseState != imsDragging) {
    FScrollTimer->SetEnabled(false);
    return;
  }
  TPoint p = FMousePoint;
  p.X = std::clamp(p.X, 0, std::max(ClientWidth() - 1, 0));
  TvmInspectorViewInfo vi;
  CalcViewInfo(vi);
  for (const auto& band : vi.Bands) {
    if (p.X < band.Bounds.Left || p.X >= band.Bounds.Right) continue;
    int sum = 0;
    for (const auto& row : band.Rows) sum += row.second;
    const int top = band.RowsRect.Top, bottom = std::min(band.RowsRect.Top + sum, band.RowsRect.Bottom);
    const int pos = GetFocusedAbsoluteIndex();
    if (p.Y < top) {
      if (!IsBandLayout() && FFocusedNode != FTopNode) SetFocusedNode(FTopNode);
      SetFocusedIndex(GetFocusedAbsoluteIndex() - 1);
    } else if (p.Y >= bottom) {
      if (!IsBandLayout()) {
        TvmInspectorNode* last = GetNodeByAbsoluteIndex(std::max(GetTopIndex(), 0) + FPage - 1);
        if (last && FFocusedNode != last) SetFocusedNode(last);
      }
      SetFocusedIndex(GetFocusedAbsoluteIndex() + 1);
    }
    (void)pos;
    break;
  }
}

void TCustomvmInspector::ReleasePressed(bool Toggle) {
  FMouseState = imsNone;
  FScrollTimer->SetEnabled(false);
  TvmInspectorNode* n = FPressedNode;
  FPressedNode = nullptr;
  InvalidateNode(n, false);
  if (Toggle && n && FPaintStyle == ipsCategorized && IsCategoryNode(n)) n->SetExpanded(!n->Expanded());
}

void TCustomvmInspector::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  // A shown editor gives its value to its row before anything moves.
  if (Focused() || (FEditor && (FEditor->IsFocused() || FEditor->EditVisible()))) PostEditor();
  if (CanFocus() && !Focused()) SetFocus();
  FLastHit = HitTest(TPoint(X, Y));
  FFocusedItem = FLastHit.ItemIndex;
  if (FMouseState != imsNone && Button == mbRight) CancelSizing();
  if (Button == mbLeft && FMouseState == imsNone) {
    const auto code = FLastHit.HitTest;
    TvmInspectorNode* node = FLastHit.Node;
    if (code == ihDivider && FOptions.Contains(ioColumnSizing)) {
      FMouseState = imsDivider;
      FSavedSizingValue = FDividerPos;
      FSizingBand = std::max(FLastHit.BandIndex, 0);
      FTrackPos = X;
      SetMouseCapture(true);
      return;
    }
    if (code == ihBandSeparator && FOptions.Contains(ioBandSizing) && IsBandLayout()) {
      FMouseState = imsBandSizing;
      FSavedSizingValue = FBandWidth;
      FSizingBand = std::max(FLastHit.BandIndex, 0);
      FTrackPos = X;
      SetMouseCapture(true);
      return;
    }
    if (code == ihRowBottomEdge && node) {
      FMouseState = imsRowSizing;
      FSavedSizingValue = GetNodeRowHeight(node);
      FSizingNode = node;
      FTrackPos = Y;
      SetMouseCapture(true);
      return;
    }
    if (node && (code == ihIndent || code == ihButton || code == ihImage || code == ihCaption || code == ihValue ||
                 code == ihComplexSeparator)) {
      FMouseState = imsPressed;
      FPressedNode = node;
      FPressPoint = TPoint(X, Y);
      SetFocusedNode(node);
      const bool dbl = Shift.Contains(ssDouble);
      if (code == ihButton || (dbl && (code == ihImage || code == ihCaption))) {
        node->SetExpanded(!node->Expanded());
        if (dbl && OnDblClick) OnDblClick(this);
        FMouseState = imsNone;
        TCustomvmContainer::MouseDown(Button, Shift, X, Y);
        return;
      }
      {
        TScopeFail mouseState([&] { FMouseState = imsNone; });
        ShowEditorOnClick();
        const int bandOffset = IsBandLayout() ? (FLastHit.BandIndex - FFirstBand) * FBandWidth : 0;
        if (X - bandOffset > FDividerPos) {
          FClickItem = FLastHit.ItemIndex;
          FClickEditor = FEditor;
          FClickNode = FEditingNode;
        }
      }
      SetMouseCapture(true);
      if (OnClick) OnClick(this);
      FMousePoint = TPoint(X, Y);
      FScrollTimer->SetEnabled(true);
    } else if (code == ihNone) {
      if (Shift.Contains(ssDouble)) {
        if (OnDblClick) OnDblClick(this);
      } else {
        TvmInspectorNode* target = nullptr;
        if (IsBandLayout()) {
          if (FLastHit.BandIndex >= 0) {
            TvmInspectorViewInfo vi;
            CalcViewInfo(vi);
            for (const auto& b : vi.Bands)
              if (b.Index == FLastHit.BandIndex && !b.Rows.empty()) target = b.Rows.back().first;
          }
        } else {
          target = GetLastNode();
        }
        if (target) {
          SetFocusedNode(target);
          MakeNodeVisible(target);
          ShowEditorOnClick();
        }
      }
    }
  }
  TCustomvmContainer::MouseDown(Button, Shift, X, Y);
}

void TCustomvmInspector::MouseMove(TShiftState Shift, int X, int Y) {
  FLastHit = HitTest(TPoint(X, Y));
  FMousePoint = TPoint(X, Y);
  switch (FMouseState) {
    case imsDivider: {
      const int offset = (FSizingBand - FFirstBand) * FBandWidth;
      const int cw = GetContentWidth();
      int x = X - offset;
      x = std::min(x, cw - FMinColumnWidth);
      x = std::max(x, FMinColumnWidth);
      if (x + offset != FTrackPos) {
        FTrackPos = x + offset;
        if (CanDynamicColumnSizing()) SetDividerPos(x);
      }
      break;
    }
    case imsBandSizing: {
      const int k = FSizingBand - FFirstBand + 1;
      int x = std::max(X, FMinBandWidth * k);
      x = std::min(x, ClientWidth());
      if (x != FTrackPos) {
        FTrackPos = x;
        SetBandWidth(x / k);
      }
      break;
    }
    case imsRowSizing: {
      const TRect r = GetNodeRect(FSizingNode);
      int y = std::clamp(Y, r.Top + GetMinNodeRowHeight(FSizingNode) - 1, ClientHeight() - 1);
      FTrackPos = y;
      break;
    }
    case imsPressed: {
      HideRowHint();
      if (!Shift.Contains(ssLeft)) {
        ReleasePressed(true);
        break;
      }
      if (DraggingEnabled()) {
        if (std::abs(X - FPressPoint.X) > 5 || std::abs(Y - FPressPoint.Y) > 5) {
          TvmInspectorNode* n = FPressedNode ? FPressedNode : FLastHit.Node;
          if (n && n != FFocusedNode) SetFocusedNode(n);
          ReleasePressed(false);
          FDragNode = n;
          if (n) StartRowDrag();
        }
      } else if (FLastHit.Node) {
        SetFocusedNode(FLastHit.Node);
        if (FClickNode && FClickNode != FFocusedNode) FClickNode = nullptr;
      }
      break;
    }
    case imsDragging:
      if (FDragWindow) FDragWindow->DragMove(ClientToScreen(TPoint(X, Y)));
      SetCursor(DragCursorAt(X, Y));
      break;
    default: {
      FHintPoint = TPoint(X, Y);
      if (FShowRowHint) {
        const bool over = FLastHit.Node && (FLastHit.HitTest == ihCaption || FLastHit.HitTest == ihValue);
        if (!over) {
          FHintIndex = -1;
          FHintNode = nullptr;
          FHintCode = ihOutside;
          HideRowHint();
        } else if (FLastHit.AbsoluteIndex != FHintIndex || FLastHit.Node != FHintNode ||
                   FLastHit.HitTest != FHintCode) {
          FHintIndex = FLastHit.AbsoluteIndex;
          FHintNode = FLastHit.Node;
          FHintCode = FLastHit.HitTest;
          UpdateRowHint(true);
        }
      }
      TCursor c = crDefault;
      if ((FLastHit.HitTest == ihDivider && FOptions.Contains(ioColumnSizing)) ||
          (FLastHit.HitTest == ihBandSeparator && FOptions.Contains(ioBandSizing)))
        c = crHSplit;
      else if (FLastHit.HitTest == ihRowBottomEdge && FOptions.Contains(ioRowSizing))
        c = crVSplit;
      SetCursor(c);
      break;
    }
  }
  SetHotNode(FLastHit.Node);
  TCustomvmContainer::MouseMove(Shift, X, Y);
}

void TCustomvmInspector::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FLastHit = HitTest(TPoint(X, Y));
  switch (FMouseState) {
    case imsPressed:
      ReleasePressed(FLastHit.Node == FPressedNode);
      break;
    case imsDivider: {
      FMouseState = imsNone;
      SetDividerPos(X - (FSizingBand - FFirstBand) * FBandWidth);
      break;
    }
    case imsBandSizing: {
      FMouseState = imsNone;
      const int k = FSizingBand - FFirstBand + 1;
      SetBandWidth(std::max(std::min(X, ClientWidth()), FMinBandWidth * k) / k);
      break;
    }
    case imsRowSizing: {
      FMouseState = imsNone;
      const TRect r = GetNodeRect(FSizingNode);
      const int y = std::clamp(Y, r.Top + GetMinNodeRowHeight(FSizingNode) - 1, ClientHeight() - 1);
      SetNodeRowHeight(FSizingNode, y - r.Top + 1);
      FSizingNode = nullptr;
      break;
    }
    case imsDragging:
      EndRowDrag(true, X, Y);
      break;
    default:
      break;
  }
  SetMouseCapture(false);
  SetCursor(crDefault);
  if (FEditor && FEditingNode && FEditor == FClickEditor && FEditingNode == FClickNode && FLastHit.HitTest == ihValue &&
      FLastHit.ItemIndex == FClickItem) {
    FClickEditor = nullptr;
    FClickNode = nullptr;
    FEditor->AfterMouseActivate();
    FEditor->Invalidate();
  }
  TCustomvmContainer::MouseUp(Button, Shift, X, Y);
}

void TCustomvmInspector::MouseLeave() {
  SetHotNode(nullptr);
  HideRowHint();
  FHintIndex = -1;
  FHintNode = nullptr;
  FHintCode = ihOutside;
  TCustomvmContainer::MouseLeave();
}

void TCustomvmInspector::DoEnter() {
  TCustomvmContainer::DoEnter();
  InvalidateNode(FFocusedNode, false);
  if (FFocusFromEditor || (FEditor && FEditor->IsFocused())) return;
  ShowEditor(true, false);
}

void TCustomvmInspector::DoExit() {
  // The focus going to the editor keeps a press.
  if (FMouseState == imsPressed && !FActivatingEditor && !(FEditor && FEditor->IsFocused())) ReleasePressed(false);
  InvalidateNode(FFocusedNode, false);
  TCustomvmContainer::DoExit();
}
