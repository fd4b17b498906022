// Mouse handling of the tree list: a press classifies the point and enters a state (a header,
// band, corner button or drop-down button held down, an edge being sized, a row pressed), moves
// follow the state and the release completes the action or returns to idle.
#include <algorithm>
#include <cstdlib>

#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/sysmetrics.h"
#include "treelist/tl_treelist.h"

void TCustomvmTreeList::CancelMode() {
  EndAnchorScroll();
  if (FState == tlsNodeDragging) EndNodeDrag(false, FLastDragPoint.X, FLastDragPoint.Y);
  if (FState == tlsColumnDragging) EndColumnDrag(false);
  if (FState == tlsBandDragging) EndBandDrag(false);
  if (FState == tlsStatusCloseButtonPressed) FState = tlsIdle;
  ReleasePressed();
  HideStatusHint();
  if (IsSizingState(FState) || FState == tlsColumnPressed || FState == tlsNodePressed) {
    FState = tlsIdle;
    FSizingColumn = -1;
    FSizingBand = -1;
    FSizingNode = nullptr;
    Invalidate();
  }
}

// Ends a held band, header, drop-down button or corner button: idle again, drawn unpushed.
void TCustomvmTreeList::ReleasePressed() {
  if (FState == tlsBandPressed || FState == tlsColumnPressed || FState == tlsDropDownButtonPressed ||
      FState == tlsBandButtonPressed || FState == tlsHeaderButtonPressed) {
    FState = tlsIdle;
    if (MouseCapture()) SetMouseCapture(false);
    Invalidate();
  }
  FPressedBand = -1;
  FPressedColumn = -1;
  FBandPushed = FColumnPushed = FDropDownPushed = FBandButtonPushed = FHeaderButtonPushed = false;
}

bool TCustomvmTreeList::IsDropDownHot(int X, int Y, int Column) {
  if (Column < 0 || !IsHeaderHotTracking() || GetHeaderHotState(Column) == 0) return false;
  int state = 0;
  return IsHeaderHotTrack(X, Y, state, Column) && state == 2;
}

bool TCustomvmTreeList::IsOverPressedItem(TvmTreeListState S, const TvmTreeListHitTestInfo& H) {
  // The edge zones of a cell still belong to the cell that was pressed.
  bool header = H.HitType == tlhColumnHeader || H.HitType == tlhColumnEdge || H.HitType == tlhBandEdge;
  switch (S) {
    case tlsBandPressed:
      return (H.HitType == tlhBandHeader || H.HitType == tlhBandEdge) && H.Column < 0 && H.Band == FPressedBand;
    case tlsColumnPressed:
      return header && H.Column == FPressedColumn;
    case tlsDropDownButtonPressed:
      return header && H.Column == FPressedColumn && IsDropDownHot(H.X, H.Y, H.Column);
    case tlsBandButtonPressed:
      return H.HitType == tlhBandButton;
    case tlsHeaderButtonPressed:
      return H.HitType == tlhHeaderButton;
    default:
      return false;
  }
}

int TCustomvmTreeList::GetHeaderHotState(int Column) {
  if (!IsHeaderHotTracking()) return 0;
  if (IsDropDownButtonPushed(Column)) return 7;
  if (!FHotTrack.HotNode && FHotTrack.HotColumn == Column && FHotTrack.HeaderHotState == 2) return 3;
  return 1;
}

void TCustomvmTreeList::ShowEditorWithMouse(int X, int Y) {
  ShowEditor();
  if (FState == tlsEditing && FEditor) FEditor->ForwardMouseDown(X, Y);
}

void TCustomvmTreeList::ShowEditorAfterClick() {
  ShowEditor();
  if (FState == tlsEditing && FEditor) FEditor->AfterMouseActivate();
}

void TCustomvmTreeList::StartClickEditTimer() {
  if (FState == tlsEditing) return;
  if (!FClickEditTimer) {
    FClickEditTimer = new TTimer(this);
    FClickEditTimer->SetEnabled(false);
    FClickEditTimer->OnTimer = [this](TObject*) {
      FClickEditTimer->SetEnabled(false);
      if (FState == tlsIdle) ShowEditor();
    };
  }
  if (FClickEditTimer->Enabled()) return;
  FClickEditTimer->SetInterval(GetDoubleClickTime());
  FClickEditTimer->SetEnabled(true);
}

void TCustomvmTreeList::StopClickEditTimer() {
  if (FClickEditTimer) FClickEditTimer->SetEnabled(false);
}

void TCustomvmTreeList::StartBandDrag(int VisibleBand) {
  ReleasePressed();
  FDraggedBand = VisibleBand;
  CreateBandDragImage(FDraggedBand);
  SetState(tlsBandDragging);
  SetMouseCapture(true);
  ShowCustomizePageFor(true);
}

void TCustomvmTreeList::StartColumnDrag(int Column) {
  ReleasePressed();
  FDraggedColumn = Column;
  CreateColumnDragImage(FDraggedColumn);
  SetState(tlsColumnDragging);
  SetMouseCapture(true);
  ShowCustomizePageFor(false);
}

int TCustomvmTreeList::GetColumnTextHeight(TCanvas* Canvas, int Column) {
  int h = 0;
  if (TFont* f = Canvas ? GetColumnFont(Column) : nullptr) {
    TFont keep;
    keep.Assign(Canvas->Font());
    Canvas->Font()->Assign(f);
    h = Canvas->TextHeight("Wg") + 3;
    Canvas->Font()->Assign(&keep);
  }
  return std::max(h, GetColumnMinCellHeight(Canvas, Column));
}

int TCustomvmTreeList::GetMaxColumnTextHeight(TCanvas* Canvas) {
  int h = 0;
  for (int c = 0, n = GetColumnCount(); c < n; ++c)
    if (IsColumnShown(c)) h = std::max(h, GetColumnTextHeight(Canvas, c));
  return h;
}

// ---------------------------------------------------------------------------------------------
// Mouse.

void TCustomvmTreeList::DoColumnClick(int Column, bool Shift, bool Ctrl) {
  if (OnColumnClick) OnColumnClick(this, Column);
}

// A left press in idle on a band cell, a header (or its drop-down button) or a corner button
// holds it down, drawn pushed; false when the point holds none of them.
bool TCustomvmTreeList::PressHeaderItem(const TvmTreeListHitTestInfo& H) {
  TvmTreeListState s = tlsIdle;
  switch (H.HitType) {
    case tlhBandHeader:
      if (H.Band < 0) return false;
      s = tlsBandPressed;
      FPressedBand = H.Band;
      FBandPushed = true;
      break;
    case tlhColumnHeader:
      if (H.Column < 0) return false;
      FPressedColumn = H.Column;
      if (IsDropDownHot(H.X, H.Y, H.Column)) {
        s = tlsDropDownButtonPressed;
        FDropDownPushed = true;
      } else {
        s = tlsColumnPressed;
        FColumnPushed = true;
      }
      break;
    case tlhBandButton:
      if (!FExtendedOptions.Contains(tlxBandButton)) return false;
      s = tlsBandButtonPressed;
      FBandButtonPushed = true;
      break;
    case tlhHeaderButton:
      if (!FExtendedOptions.Contains(tlxHeaderButton)) return false;
      s = tlsHeaderButtonPressed;
      FHeaderButtonPushed = true;
      break;
    default:
      return false;
  }
  FState = s;
  SetMouseCapture(true);
  Invalidate();
  return true;
}

void TCustomvmTreeList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomvmContainer::MouseDown(Button, Shift, X, Y);
  if (FAnchor.Active) {
    // A click ends anchor scrolling and does nothing else.
    EndAnchorScroll();
    return;
  }
  const bool hadFocus = Focused();
  if (CanFocus() && !Focused()) {
    try {
      SetFocus();
    } catch (const Exception&) {}
  }
  GetHitInfo(TPoint(X, Y), FDownHitInfo);
  FDownPoint = TPoint(X, Y);
  FCollapseSelection = false;
  if (Button == mbMiddle) {
    if (FState == tlsIdle) ScrollByAnchor(ClientToScreen(TPoint(X, Y)));
    return;
  }
  if (Button == mbRight) {
    // A right click ends a running mode, or focuses the row under it.
    if (FState != tlsIdle && FState != tlsEditing) {
      CancelMode();
    } else if (FDownHitInfo.Node && (FDownHitInfo.HitType == tlhCell || FDownHitInfo.HitType == tlhIcon ||
                                     FDownHitInfo.HitType == tlhStateIcon || FDownHitInfo.HitType == tlhPreview)) {
      TvmTreeListNode* n = FDownHitInfo.Node;
      if (FOptions.Contains(tloMultiSelect) && !n->Selected()) {
        BeginSelection();
        ClearSelection();
        n->SetSelected(true);
        EndSelection();
        DoSelectionChanged();
        SetSelectionAnchor(n);
      }
      int col = FDownHitInfo.Column >= 0 && !FOptions.Contains(tloRowSelect) ? ColumnToVisualColumn(FDownHitInfo.Column)
                                                                             : GetFocusedColumn();
      SetFocusedNodeColumn(n, col, true);
    }
    return;
  }
  if (Button != mbLeft) return;
  const auto& h = FDownHitInfo;
  if (FState == tlsIdle && StartSizing(h, Shift.Contains(ssDouble))) return;
  if (FState == tlsIdle && PressHeaderItem(h)) return;
  if (Shift.Contains(ssDouble)) {
    // The second press of a double click: the node toggles (DblClick) and no editor opens.
    StopClickEditTimer();
    return;
  }
  switch (h.HitType) {
    case tlhButton:
      if (h.Node) h.Node->SetExpanded(!h.Node->Expanded());
      return;
    case tlhNewItemRow:
      if (!FFocusedNode) {
        InsertNewItem();
      } else {
        if (h.Column >= 0) SetFocusedColumn(ColumnToVisualColumn(h.Column));
        SetNewItemRowActive(true);
      }
      return;
    case tlhStatusPanel:
      if (PtInRect(GetStatusCloseButtonRect(), TPoint(X, Y))) {
        HideStatusHint();
        FState = tlsStatusCloseButtonPressed;
        FStatusCloseHot = true;
        SetMouseCapture(true);
        Invalidate();
      }
      return;
    case tlhCell:
    case tlhIcon:
    case tlhStateIcon:
    case tlhIndent:
    case tlhRowTail:
    case tlhIndicator: {
      TvmTreeListNode* n = h.Node;
      if (!n) return;
      bool wasFocused = n == FFocusedNode;
      SetNewItemRowActive(false);
      int col = h.Column >= 0 && !FOptions.Contains(tloRowSelect) ? ColumnToVisualColumn(h.Column) : GetFocusedColumn();
      bool multi = FOptions.Contains(tloMultiSelect);
      FClickEdit = !FOptions.Contains(tloRowSelect) && h.HitType == tlhCell && !Shift.Contains(ssCtrl) &&
                   !Shift.Contains(ssShift);
      const bool sameCell = n == FFocusedNode && col == GetFocusedColumn();
      if (multi && Shift.Contains(ssCtrl)) {
        SetFocusedNodeColumn(n, col, true);
        n->SetSelected(!n->Selected());
        SetSelectionAnchor(n);
      } else if (multi && Shift.Contains(ssShift) && CanSelectRange()) {
        if (!FAnchorNode) SetSelectionAnchor(FFocusedNode);
        BeginSelection();
        {
          TScopeExit end([this] { EndSelection(); });
          ClearSelection();
          SetFocusedNodeColumn(n, col, true);
          SelectNodes(FAnchorNode, n);
        }
        DoSelectionChanged();
      } else if (multi && n->Selected() && GetSelectedCount() > 1) {
        // A plain click inside a selection keeps it for a drag; the release narrows it to the node.
        FCollapseSelection = true;
        SetFocusedNodeColumn(n, col, true);
      } else {
        if (multi) {
          BeginSelection();
          {
            TScopeExit end([this] { EndSelection(); });
            ClearSelection();
            n->SetSelected(true);
          }
          DoSelectionChanged();
          SetSelectionAnchor(n);
        }
        SetFocusedNodeColumn(n, col, true);
      }
      FState = tlsNodePressed;
      // A column may open its editor on the press itself (the editor receives the press too).
      bool modified = multi && (Shift.Contains(ssCtrl) || Shift.Contains(ssShift));
      if (h.HitType == tlhCell && h.Column >= 0 && !modified && !FOptions.Contains(tloRowSelect) && FFocusedNode == n &&
          OpensEditorOnMouseDown(X, Y, wasFocused, h.Column)) {
        FState = tlsIdle;
        FClickEdit = false;
        StopClickEditTimer();
        ShowEditorWithMouse(X, Y);
      } else if (FClickEdit && sameCell && hadFocus) {
        StartClickEditTimer();
      } else {
        StopClickEditTimer();
      }
      return;
    }
    default:
      return;
  }
}

void TCustomvmTreeList::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomvmContainer::MouseMove(Shift, X, Y);
  if (FAnchor.Active) {
    AnchorMouseMove(ClientToScreen(TPoint(X, Y)));
    return;
  }
  bool beyond = std::abs(X - FDownPoint.X) > 5 || std::abs(Y - FDownPoint.Y) > 5;
  if (FState == tlsNodePressed && beyond && FDragMode == tldmAutomatic && FDownHitInfo.Node) {
    StartNodeDrag();
  } else if (FState == tlsColumnPressed && beyond && FPressedColumn >= 0 && CanDragColumn(FPressedColumn)) {
    StartColumnDrag(FPressedColumn);
  } else if (FState == tlsBandPressed && beyond && FPressedBand >= 0 && CanDragBand(FPressedBand)) {
    StartBandDrag(FPressedBand);
  }
  if (FState == tlsNodeDragging) {
    NodeDragOver(X, Y);
  } else if (FState == tlsColumnDragging) {
    FLastDragPoint = TPoint(X, Y);
    TvmTreeListDropTarget t;
    CalcColumnDropTarget(FLastDragPoint, t);
    bool accept = !(t.Code == -1 && (IsCustomizing() || FOptions.Contains(tloHideByDragOut)));
    DoDragOverColumn(FLastDragPoint, FDraggedColumn, accept);
    SetCursor(accept ? crDefault : crNoDrop);
    MoveHeaderDragImage(X, Y, !accept);
    Invalidate();
  } else if (FState == tlsBandDragging) {
    FLastDragPoint = TPoint(X, Y);
    int t = CalcBandDropTarget(FLastDragPoint);
    bool accept = !(t == -1 && FOptions.Contains(tloHideByDragOut));
    // A hidden band taken from the customizing form has no place among the visible ones yet.
    if (FDraggedBand >= 0) DoDragOverBand(FLastDragPoint, FDraggedBand, accept);
    SetCursor(accept ? crDefault : crNoDrop);
    MoveHeaderDragImage(X, Y, !accept);
    Invalidate();
  }
  // A held item shows pushed only while the pointer stays over it.
  if (FState == tlsBandPressed || FState == tlsColumnPressed || FState == tlsDropDownButtonPressed ||
      FState == tlsBandButtonPressed || FState == tlsHeaderButtonPressed) {
    TvmTreeListHitTestInfo h;
    GetHitInfo(TPoint(X, Y), h);
    bool over = IsOverPressedItem(FState, h);
    bool& pushed = FState == tlsBandPressed             ? FBandPushed
                   : FState == tlsColumnPressed         ? FColumnPushed
                   : FState == tlsDropDownButtonPressed ? FDropDownPushed
                   : FState == tlsBandButtonPressed     ? FBandButtonPushed
                                                        : FHeaderButtonPushed;
    if (pushed != over) {
      pushed = over;
      Invalidate();
    }
  }
  if (IsSizingState(FState)) MoveSizingLine(X, Y);
  if (FState == tlsNodePressed && !Shift.Contains(ssLeft)) FState = tlsIdle;
  if (FState == tlsNodePressed && FDragMode != tldmAutomatic && FExtendedOptions.Contains(tlxMouseTracksFocus) &&
      (FOptions.Contains(tloRowSelect) || !FOptions.Contains(tloEditing)))
    TrackFocus(Y);
  if (FStatusHeight > 0) StatusMouseMove(X, Y);
  if (FState == tlsIdle && (FExtendedOptions.Contains(tlxHotTrack) || IsHeaderHotTracking())) {
    TvmTreeListHitTestInfo h;
    GetHitInfo(TPoint(X, Y), h);
    UpdateHotTrack(h);
  }
}

void TCustomvmTreeList::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomvmContainer::MouseUp(Button, Shift, X, Y);
  if (FAnchor.Active) {
    // Releasing the middle button where it was pressed keeps the mode; after a move it ends.
    if (Button == mbMiddle && FAnchor.Moved) EndAnchorScroll();
    return;
  }
  TvmTreeListState s = FState;
  if (s == tlsEditing) return;
  if (s == tlsNodeDragging) {
    EndNodeDrag(true, X, Y);
    return;
  }
  if (s == tlsColumnDragging || s == tlsBandDragging) {
    FLastDragPoint = TPoint(X, Y);
    SetCursor(crDefault);
    if (s == tlsColumnDragging)
      EndColumnDrag(true);
    else
      EndBandDrag(true);
    return;
  }
  FState = tlsIdle;
  if (MouseCapture()) SetMouseCapture(false);
  if (s == tlsStatusCloseButtonPressed) {
    bool over = PtInRect(GetStatusCloseButtonRect(), TPoint(X, Y));
    Invalidate();
    if (over) DoStatusCloseClick();
    return;
  }
  if (IsSizingState(s)) {
    FState = s;
    MoveSizingLine(X, Y);
    FState = tlsIdle;
    ApplySizing(s);
  } else if (s == tlsBandPressed || s == tlsColumnPressed || s == tlsDropDownButtonPressed ||
             s == tlsBandButtonPressed || s == tlsHeaderButtonPressed) {
    // Released over the item it pressed, the press is a click; anywhere else it is none.
    TvmTreeListHitTestInfo h;
    GetHitInfo(TPoint(X, Y), h);
    bool over = IsOverPressedItem(s, h);
    int band = FPressedBand, column = FPressedColumn;
    FState = s;
    ReleasePressed();
    if (over) {
      if (s == tlsBandPressed)
        DoBandClick(band);
      else if (s == tlsColumnPressed)
        DoColumnClick(column, Shift.Contains(ssShift) && FExtendedOptions.Contains(tlxMultiSort),
                      Shift.Contains(ssCtrl));
      else if (s == tlsDropDownButtonPressed && !ComponentState().Contains(csDesigning))
        DoDropDownButtonClick(column);
      else if (s == tlsBandButtonPressed)
        DoBandButtonClick();
      else if (s == tlsHeaderButtonPressed)
        DoHeaderButtonClick();
    }
  }
  if (s == tlsNodePressed && FCollapseSelection && FFocusedNode) {
    FCollapseSelection = false;
    BeginSelection();
    {
      TScopeExit end([this] { EndSelection(); });
      ClearSelection();
      FFocusedNode->SetSelected(true);
    }
    DoSelectionChanged();
    SetSelectionAnchor(FFocusedNode);
  }
  if (s == tlsNodePressed && FClickEdit && FOptions.Contains(tloClickEdits)) {
    // A click released on the cell it pressed, which the press focused, opens its editor.
    FClickEdit = false;
    TvmTreeListHitTestInfo h;
    GetHitInfo(TPoint(X, Y), h);
    if (h.Node == FFocusedNode && h.Node == FDownHitInfo.Node && h.Column == FDownHitInfo.Column &&
        h.HitType == tlhCell)
      ShowEditorAfterClick();
  }
}

void TCustomvmTreeList::TrackFocus(int Y) {
  // Above or below the rows the focus keeps moving a row per tick; inside them it follows the pointer.
  TvmTreeListLayout L;
  CalcLayoutRects(L);
  FTrackDirection = Y < L.RowsRect.Top ? -1 : Y >= L.RowsRect.Bottom ? 1 : 0;
  TvmTreeListNode* n = nullptr;
  if (FTrackDirection != 0) {
    n = GetNodeAtRow(GetRowIndex(FFocusedNode) + FTrackDirection);
    FDragScrollTimer->SetInterval(60);
    FDragScrollTimer->SetEnabled(true);
  } else {
    FDragScrollTimer->SetEnabled(false);
    n = GetNodeAt(L.RowsRect.Left, Y);
  }
  if (!n || n == FFocusedNode) return;
  SetFocusedNodeColumn(n, GetFocusedColumn(), true);
  if (FOptions.Contains(tloMultiSelect)) {
    BeginSelection();
    ClearSelection();
    n->SetSelected(true);
    EndSelection();
    DoSelectionChanged();
  }
}

void TCustomvmTreeList::MouseLeave() {
  TCustomvmContainer::MouseLeave();
  UpdateHotTrack(TvmTreeListHitTestInfo());
  if (FStatusCloseHot) {
    FStatusCloseHot = false;
    Invalidate();
  }
  HideStatusHint();
}

bool TCustomvmTreeList::IsHeaderHotTrack(int X, int Y, int& HeaderState, int Column) {
  HeaderState = 1;
  TvmTreeListLayout L;
  CalcLayout(L);
  for (const auto& h : L.HeaderCells)
    if (h.Column == Column && PtInRect(h.Clip, TPoint(X, Y))) {
      TRect r = h.Rect;
      InflateRect(r, -2, -2);
      if (r.Width() >= 16 && X >= r.Right - 15) HeaderState = 2;
    }
  return true;
}

void TCustomvmTreeList::DoNodeHotTrack(const TvmTreeListHotTrackInfo& Info, TCursor& Cursor) {
  if (OnNodeHotTrack) OnNodeHotTrack(this, Info, Cursor);
}

void TCustomvmTreeList::UpdateHotTrack(const TvmTreeListHitTestInfo& H) {
  if (!FExtendedOptions.Contains(tlxHotTrack) && !IsHeaderHotTracking()) return;
  TvmTreeListHotTrackInfo old = FHotTrack;
  int part = -1, state = 0;
  if (H.Node && H.Column >= 0 && IsHotTrackCell(H.X, H.Y, H.Node, H.Column, part)) {
    FHotTrack = {H.Node, H.Column, part, 0};
  } else if (H.HitType == tlhColumnHeader && H.Column >= 0 && IsHeaderHotTracking() &&
             IsHeaderHotTrack(H.X, H.Y, state, H.Column)) {
    FHotTrack = {nullptr, H.Column, -1, state};
  } else {
    FHotTrack = TvmTreeListHotTrackInfo();
  }
  if (old.HotNode == FHotTrack.HotNode && old.HotColumn == FHotTrack.HotColumn) {
    if (old.HeaderHotState != FHotTrack.HeaderHotState) Invalidate();
    return;
  }
  // The cursor given from outside stays the one hot tracking returns to.
  if (!FSettingCursor && Cursor() != FHotCursor) FAssignedCursor = Cursor();
  TCursor c = FAssignedCursor;
  DoNodeHotTrack(FHotTrack, c);
  if (c != Cursor()) {
    FSettingCursor = true;
    TScopeExit lower([this] { FSettingCursor = false; });
    SetCursor(c);
  }
  FHotCursor = c;
  Invalidate();
}

void TCustomvmTreeList::DblClick() {
  TCustomvmContainer::DblClick();
  const auto& h = FDownHitInfo;
  if (FExpandOnDblClick && h.Node && (h.HitType == tlhCell || h.HitType == tlhIcon || h.HitType == tlhIndent))
    h.Node->SetExpanded(!h.Node->Expanded());
}
