// Dragging in the tree list: nodes (with hover expansion, focus tracking and auto-scrolling)
// and band and column headers (drop position, arrows, move or hide at the release).
#include <algorithm>

#include "platform/bitmap.h"
#include "platform/dragdrop.h"
#include "platform/forms.h"
#include "platform/imglist.h"
#include "treelist/tl_customize.h"
#include "treelist/tl_treelist.h"

namespace {
bool IsRowHit(TvmTreeListHitType T) {
  return T == tlhButton || T == tlhIcon || T == tlhStateIcon || T == tlhIndent || T == tlhCell || T == tlhRowTail ||
         T == tlhRowFooter || T == tlhPreview;
}
}  // namespace

void TCustomvmTreeList::DoNodeDragStart(TvmTreeListNode* Node) {
  if (OnNodeDragStart) OnNodeDragStart(this, Node);
}

VM_DEFINE_CLASS(TvmTreeListDragObject)

TvmTreeListDragObject::TvmTreeListDragObject(TCustomvmTreeList* ATreeList, std::vector<TvmTreeListNode*> ANodes)
    : TDragObject(ATreeList), TreeList(ATreeList), Nodes(std::move(ANodes)) {}

TDragImage* TvmTreeListDragObject::GetDragImage() {
  // Source is cleared when the tree list goes away.
  return Source && TreeList && TreeList->DragImageVisible() ? TreeList->NodeDragImages() : nullptr;
}

TCursor TvmTreeListDragObject::GetDragCursor(bool Accepted, int X, int Y) {
  if (!Accepted) return crNoDrop;
  return Nodes.size() > 1 ? crMultiDrag : crDrag;
}

void TCustomvmTreeList::StartNodeDrag() {
  StopClickEditTimer();
  CloseEditor();
  FCollapseSelection = false;  // the selection travels with the drag
  if (!FDragNode) FDragNode = FDownHitInfo.Node;
  if (!FDragNode) return;
  DoNodeDragStart(FDragNode);
  SetState(tlsNodeDragging);
  SetMouseCapture(true);
  // The selected nodes travel when the pressed one is among them; otherwise the pressed one.
  std::vector<TvmTreeListNode*> nodes;
  if (IsNodeSelected(FDragNode))
    for (int i = 0; i < GetSelectedCount(); ++i) nodes.push_back(GetSelectedItem(i));
  if (nodes.empty()) nodes.push_back(FDragNode);
  CreateNodeDragImage(FDragNode, GetFocusedColumn());
  auto object = std::make_unique<TvmTreeListDragObject>(this, std::move(nodes));
  object->DragPos = ClientToScreen(FDownPoint);
  BeginDrag(std::move(object));
}

// The pointer moved while this control drags nodes: the drag asks the control under it.
void TCustomvmTreeList::NodeDragOver(int X, int Y) {
  FLastDragPoint = TPoint(X, Y);
  if (TDragObject* d = ::DragObject(); d && d->Source == this) {
    DragMove(ClientToScreen(TPoint(X, Y)));
    if (d != ::DragObject() || d->DragTarget != this) {
      // Over another control (or none): nothing here expands or scrolls.
      FDragScrollTimer->SetEnabled(false);
      FDragExpandTimer->SetEnabled(false);
      FDragScrollDirection = 0;
    }
    return;
  }
  DragOverRows(X, Y);
}

void TCustomvmTreeList::SetForeignDragObject(TDragObject* Object) {
  if (Object == FForeignDrag) return;
  FForeignDrag = Object;
  if (!Object) FExpandHoverNode = nullptr;
  Invalidate();
}

void TCustomvmTreeList::DragOver(TDragObject* Source, int X, int Y, TDragState State, bool& Accept) {
  bool own = Source && Source->Source == this;
  if (State == dsDragLeave) {
    FDragScrollTimer->SetEnabled(false);
    FDragExpandTimer->SetEnabled(false);
    FDragScrollDirection = 0;
    if (!own) SetForeignDragObject(nullptr);
    return;
  }
  if (!own) SetForeignDragObject(Source);
  FLastDragPoint = TPoint(X, Y);
  DragOverRows(X, Y);
  Accept = OnDragOver != nullptr;
  if (OnDragOver) OnDragOver(this, Source ? Source->Source : nullptr, X, Y, Accept);
}

void TCustomvmTreeList::DragDrop(TDragObject* Source, int X, int Y) {
  FDragScrollTimer->SetEnabled(false);
  FDragExpandTimer->SetEnabled(false);
  if (OnDragDrop) OnDragDrop(this, Source ? Source->Source : nullptr, X, Y);
  if (Source && Source->Source != this) SetForeignDragObject(nullptr);
}

void TCustomvmTreeList::DragEnded(TDragObject* Object, TControl* Target, int X, int Y) {
  FDragExpandTimer->SetEnabled(false);
  FDragScrollTimer->SetEnabled(false);
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
  EndDragImage();
  FDragNode = nullptr;
  FExpandHoverNode = nullptr;
  FDragScrollDirection = 0;
  if (FState == tlsNodeDragging) SetState(tlsIdle);
  if (MouseCapture()) SetMouseCapture(false);
  Invalidate();
}

// Under a dragged object: a button waits to expand its node, rows take the focus and the
// list scrolls at its ends.
void TCustomvmTreeList::DragOverRows(int X, int Y) {
  FLastDragPoint = TPoint(X, Y);
  FDragScrollTimer->SetEnabled(false);
  FDragScrollDirection = 0;
  TvmTreeListHitTestInfo h;
  GetHitInfo(TPoint(X, Y), h);
  if (FExtendedOptions.Contains(tlxDragExpand) && h.HitType == tlhButton && h.Node) {
    FExpandHoverNode = h.Node;
    FDragExpandTimer->SetEnabled(false);
    FDragExpandTimer->SetInterval(FDragExpandDelay);
    FDragExpandTimer->SetEnabled(true);
  }
  if (FExtendedOptions.Contains(tlxDragScroll) && IsRowHit(h.HitType) && h.Node) {
    int col = h.Column >= 0 && !FOptions.Contains(tloRowSelect) ? ColumnToVisualColumn(h.Column) : GetFocusedColumn();
    if (h.Node != FFocusedNode || (!FOptions.Contains(tloRowSelect) && col != GetFocusedColumn()))
      SetFocusedNodeColumn(h.Node, col, true);
    int row = GetRowIndex(h.Node), top = GetTopRowIndex();
    if (h.Node == FTopNode && h.Node != GetFirstNode())
      FDragScrollDirection = -1;
    else if (row >= top + PageRowCount() - 1 && h.Node != GetLastNode())
      FDragScrollDirection = 1;
    if (FDragScrollDirection != 0) {
      FDragScrollTimer->SetInterval(100);
      FDragScrollTimer->SetEnabled(true);
    }
  }
}

void TCustomvmTreeList::DragExpandTimerFired() {
  FDragExpandTimer->SetEnabled(false);
  if (!FExpandHoverNode || (FState != tlsNodeDragging && !FForeignDrag)) return;
  TvmTreeListHitTestInfo h;
  GetHitInfo(FLastDragPoint, h);
  if (h.HitType != tlhButton || h.Node != FExpandHoverNode) return;
  if (FExtendedOptions.Contains(tlxDragExpandToggles)) {
    FExpandHoverNode->SetExpanded(!FExpandHoverNode->Expanded());
    FDragExpandTimer->SetInterval(2 * FDragExpandDelay);
    FDragExpandTimer->SetEnabled(true);
  } else {
    FExpandHoverNode->Expand(false);
  }
}

void TCustomvmTreeList::DragScrollTimerFired() {
  if (FState == tlsNodePressed && FTrackDirection != 0) {
    TvmTreeListNode* n = GetNodeAtRow(GetRowIndex(FFocusedNode) + FTrackDirection);
    if (n) SetFocusedNodeColumn(n, GetFocusedColumn(), true);
    return;
  }
  if ((FState != tlsNodeDragging && !FForeignDrag) || FDragScrollDirection == 0) {
    FDragScrollTimer->SetEnabled(false);
    return;
  }
  SetTopRowIndex(GetTopRowIndex() + FDragScrollDirection);
  NodeDragOver(FLastDragPoint.X, FLastDragPoint.Y);
}

void TCustomvmTreeList::EndNodeDrag(bool Drop, int X, int Y) {
  FDragExpandTimer->SetEnabled(false);
  FDragScrollTimer->SetEnabled(false);
  if (TDragObject* d = ::DragObject(); d && d->Source == this) {
    // The drag ends where the pointer is: dropped on the control there when it accepts.
    if (Drop) DragMove(ClientToScreen(TPoint(X, Y)));
    ::EndDrag(Drop && FDragNode);
    return;  // DragEnded cleaned up
  }
  DragEnded(nullptr, nullptr, X, Y);
}

void TCustomvmTreeList::ForgetDraggedNode(TvmTreeListNode* Node) {
  auto* d = dynamic_cast<TvmTreeListDragObject*>(::DragObject());
  if (d && d->TreeList == this) {
    auto& v = d->Nodes;
    if (d->Dropped) {
      // The target is taking the drop and may be walking the list: the places stay.
      for (auto& n : v)
        if (!Node || n == Node) n = nullptr;
    } else {
      if (Node)
        v.erase(std::remove(v.begin(), v.end(), Node), v.end());
      else
        v.clear();
      if (v.empty()) {
        FDragNode = nullptr;
        EndNodeDrag(false, 0, 0);
        return;
      }
      if (FDragNode == Node) FDragNode = v.front();
    }
  }
  if (!Node || FDragNode == Node) {
    if (FState == tlsNodeDragging && !(d && d->Dropped)) EndNodeDrag(false, 0, 0);
    FDragNode = nullptr;
  }
}

void TCustomvmTreeList::CalcColumnDropTarget(TPoint P, TvmTreeListDropTarget& T) {
  T = TvmTreeListDropTarget();
  TvmTreeListLayout L;
  CalcLayout(L);
  FArrowsPos = TPoint(-100, -100);
  if (OverCustomizeForm(P)) return;  // hides the column
  if (P.Y < L.HeaderPanelRect.Top || P.Y >= L.HeaderPanelRect.Bottom || L.BandCells.empty() ||
      P.X < L.ClientRect.Left || P.X >= L.ClientRect.Right)
    return;
  T.Code = -2;
  const TvmTreeListHeaderCell* dragged = nullptr;
  for (const auto& h : L.HeaderCells)
    if (h.Column == FDraggedColumn) dragged = &h;
  const TvmTreeListHeaderCell* cell = nullptr;
  bool before = true;
  for (const auto& h : L.HeaderCells)
    if (P.X >= h.Clip.Left && P.X < h.Clip.Right && P.Y >= h.Rect.Top && P.Y < h.Rect.Bottom) {
      cell = &h;
      before = P.X <= (h.Rect.Left + h.Rect.Right) / 2;
    }
  if (!cell && P.X > L.DataRight && !L.HeaderCells.empty()) {
    // Right of the last band: after the last cell of that row.
    for (const auto& h : L.HeaderCells)
      if (P.Y >= h.Rect.Top && P.Y < h.Rect.Bottom) cell = &h;
    before = false;
  }
  if (!cell) {
    // An empty band under the pointer takes the column at its start.
    for (const auto& b : L.BandCells)
      if (P.X >= b.Clip.Left && P.X < b.Clip.Right && GetHeaderRowColumnCount(b.Band, 0) == 0) {
        T = {b.Band, 0, 0, -3};
        FArrowsPos = TPoint(b.Rect.Left - 5, L.HeaderPanelRect.Top - 9);
      }
    return;
  }
  if (cell->Column == FDraggedColumn) return;
  bool sameRow = dragged && dragged->Band == cell->Band && dragged->BandRow == cell->BandRow;
  if (sameRow &&
      ((before && cell->Position == dragged->Position + 1) || (!before && cell->Position == dragged->Position - 1)))
    return;
  int pos = before ? cell->Position : cell->Position + 1;
  if (sameRow && dragged->Position < cell->Position) --pos;
  T = {cell->Band, cell->BandRow, pos, -3};
  int x = (before ? cell->Rect.Left : cell->Rect.Right) - 5;
  FArrowsPos = TPoint(std::clamp(x, L.HeaderPanelRect.Left - 5, L.HeaderPanelRect.Right), cell->Rect.Top - 9);
}

int TCustomvmTreeList::CalcBandDropTarget(TPoint P) {
  TvmTreeListLayout L;
  CalcLayout(L);
  FArrowsPos = TPoint(-100, -100);
  if (OverCustomizeForm(P)) return -1;
  if (P.Y < L.BandPanelRect.Top || P.Y >= L.BandPanelRect.Bottom || P.X < L.ClientRect.Left ||
      P.X >= L.ClientRect.Right)
    return -1;
  if (L.BandCells.empty()) {
    FArrowsPos = TPoint(L.BandPanelRect.Left - 5, L.BandPanelRect.Top - 9);
    return 0;
  }
  const TvmTreeListBandCell* cell = nullptr;
  bool before = true;
  for (const auto& b : L.BandCells)
    if (P.X >= b.Clip.Left && P.X < b.Clip.Right) {
      cell = &b;
      before = P.X <= (b.Rect.Left + b.Rect.Right) / 2;
    }
  if (!cell && P.X > L.DataRight) {
    cell = &L.BandCells.back();
    before = false;
  }
  if (!cell || cell->Band == FDraggedBand) return -2;
  if (FCustomizeBand >= 0) {
    // A band from the customizing form goes into the gap.
    FArrowsPos = TPoint((before ? cell->Rect.Left : cell->Rect.Right) - 5, cell->Rect.Top - 9);
    return before ? cell->Band : cell->Band + 1;
  }
  int d = FDraggedBand, c = cell->Band;
  if ((before && c == d + 1) || (!before && c == d - 1)) return -2;
  int target = before ? (d < c ? c - 1 : c) : (d < c ? c : c + 1);
  FArrowsPos = TPoint((before ? cell->Rect.Left : cell->Rect.Right) - 5, cell->Rect.Top - 9);
  return target;
}

void TCustomvmTreeList::EndColumnDrag(bool Accept) {
  SetState(tlsIdle);
  EndDragImage();
  if (MouseCapture()) SetMouseCapture(false);
  int col = FDraggedColumn;
  FDraggedColumn = -1;
  TvmTreeListDropTarget t;
  if (Accept && col >= 0) {
    FDraggedColumn = col;
    CalcColumnDropTarget(FLastDragPoint, t);
    FDraggedColumn = -1;
    bool accept = true;
    DoDragEndColumn(FLastDragPoint, col, accept, t);
    bool fromList = !IsColumnShown(col);
    if (accept) {
      if (t.Code == -3 && fromList) {
        if (IsCustomizing()) {
          ShowColumn(col, t.Band, t.Row, t.Position);
          MakeColumnVisible(col);
        }
      } else if (t.Code == -3) {
        MoveColumn(col, t.Band, t.Row, t.Position);
        MakeColumnVisible(col);
      } else if (t.Code == -1 && !fromList && (IsCustomizing() || FOptions.Contains(tloHideByDragOut)) &&
                 !IsColumnLocked(col) && VisibleColumnCount() > 1) {
        // The last shown column stays: a header with no column would have nothing to show.
        HideColumn(col);
      }
    }
    if (FCustomizeForm) FCustomizeForm->RefreshLists();
  }
  FArrowsPos = TPoint(-100, -100);
  Invalidate();
}

void TCustomvmTreeList::EndBandDrag(bool Accept) {
  SetState(tlsIdle);
  EndDragImage();
  if (MouseCapture()) SetMouseCapture(false);
  int band = FDraggedBand;
  FDraggedBand = -1;
  if (FCustomizeBand >= 0) {
    int hidden = FCustomizeBand;
    int target = Accept ? CalcBandDropTarget(FLastDragPoint) : -1;
    FCustomizeBand = -1;
    if (target >= 0 && IsCustomizing()) ShowBand(hidden, target);
    if (FCustomizeForm) FCustomizeForm->RefreshLists();
    FArrowsPos = TPoint(-100, -100);
    Invalidate();
    return;
  }
  if (Accept && band >= 0) {
    FDraggedBand = band;
    int target = CalcBandDropTarget(FLastDragPoint);
    FDraggedBand = -1;
    bool accept = true;
    DoDragEndBand(FLastDragPoint, band, accept, target, band);
    if (accept) {
      if (target >= 0 && target != band)
        MoveBand(band, target);
      else if (target == -1 && (IsCustomizing() || FOptions.Contains(tloHideByDragOut)) && !IsBandLocked(band))
        HideBand(band);
    }
    if (FCustomizeForm) FCustomizeForm->RefreshLists();
  }
  FArrowsPos = TPoint(-100, -100);
  Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Drag images.

void TCustomvmTreeList::CreateNodeDragImage(TvmTreeListNode* Node, int VisualColumn) {
  TBitmap b;
  TRect cell = Node && VisibleColumnCount() > 0 ? GetCellRect(Node, std::max(0, VisualColumn)) : TRect(-1, -1, -1, -1);
  bool content = cell.Right > cell.Left && cell.Bottom > cell.Top;
  int w = content ? cell.Width() + 26 : FDefaultRowHeight, h = content ? cell.Height() + 6 : 16;
  b.SetSize(w, h);
  TCanvas* c = b.Canvas();
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(TRect(0, 0, w, h));
  if (content) {
    // Three nested dotted frames from x = 20, then the images and the text inside them.
    TRect r(20, 0, w, h);
    for (int i = 0; i < 3; ++i) {
      c->DrawFocusRect(r);
      InflateRect(r, -1, -1);
    }
    int x = r.Left, cy = (r.Top + r.Bottom) / 2;
    int state = FStateImages ? GetStateIndex(Node) : -1;
    if (state >= 0) {
      FStateImages->Draw(c, x, cy - FStateImages->Height() / 2, state, true);
      x += FStateImages->Width();
    }
    int image = FImages ? GetImageIndex(Node) : -1;
    if (image >= 0) {
      FImages->Draw(c, x, cy - FImages->Height() / 2, image, true);
      x += FImages->Width();
    }
    int column = VisualColumnToColumn(std::max(0, VisualColumn));
    TRect t(x + 2, r.Top, r.Right - 2, r.Bottom);
    c->Brush()->SetStyle(bsClear);
    c->DrawText(GetNodeDragText(Node, column), t, DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXPANDTABS | DT_WORDBREAK);
    c->Brush()->SetStyle(bsSolid);
  }
  if (!FNodeDragImages) FNodeDragImages = std::make_unique<TDragImage>();
  // The pointer keeps its place on the cell it pressed.
  TPoint hot = content ? TPoint(FDownPoint.X - cell.Left + 23, FDownPoint.Y - cell.Top + 3) : TPoint(0, 0);
  hot = TPoint(std::clamp(hot.X, 0, w - 1), std::clamp(hot.Y, 0, h - 1));
  FNodeDragImages->SetImage(&b, Color(), hot);
}

void TCustomvmTreeList::CreateColumnDragImage(int Column) {
  TvmTreeListLayout L;
  CalcLayout(L);
  TvmTreeListHeaderCell cell;
  cell.Column = Column;
  int w = 20;
  for (const auto& h : L.HeaderCells)
    if (h.Column == Column) {
      cell = h;
      w = h.Rect.Width() < 1 ? 20 : h.Rect.Width();
    }
  w = std::min(w, Screen ? std::max(1, Screen->Width()) : w);
  cell.Rect = cell.Clip = TRect(0, 0, w, FHeaderRowHeight * std::max(1, cell.RowSpan));
  TBitmap b;
  b.SetSize(w, cell.Rect.Bottom);
  b.Canvas()->Brush()->SetColor(FHeaderPanelColor);
  b.Canvas()->FillRect(cell.Rect);
  DrawHeaderCell(b.Canvas(), cell);
  StartHeaderDragImage(&b);
}

void TCustomvmTreeList::CreateBandDragImage(int VisibleBand) {
  TvmTreeListLayout L;
  CalcLayout(L);
  int w = GetBandWidth(VisibleBand);
  for (const auto& c : L.BandCells)
    if (c.Band == VisibleBand) w = c.Rect.Width();
  w = std::clamp(w, 1, Screen ? std::max(1, Screen->Width()) : std::max(1, w));
  TRect r(0, 0, w, std::max(1, FBandHeight));
  TBitmap b;
  b.SetSize(r.Width(), r.Height());
  DrawBandCell(b.Canvas(), VisibleBand, r, r);
  StartHeaderDragImage(&b);
}

void TCustomvmTreeList::StartHeaderDragImage(TBitmap* Image) {
  if (!FNodeDragImages) FNodeDragImages = std::make_unique<TDragImage>();
  FNodeDragImages->SetImage(Image, clNone, TPoint(Image->Width() / 2, Image->Height() / 2));
  FNodeDragImages->BeginDrag(ClientToScreen(FDownPoint));
}

// The image follows the pointer, its hot spot moved left of the centre while the pointer
// shows that a release would hide the dragged item.
void TCustomvmTreeList::MoveHeaderDragImage(int X, int Y, bool Delete) {
  TDragImage* i = FNodeDragImages.get();
  if (!i || !i->Image()) return;
  int w = i->Image()->Width(), h = i->Image()->Height();
  TPoint hot(Delete ? (w - 32) / 2 : w / 2, h / 2);
  if (hot != i->HotSpot()) i->SetHotSpot(hot);
  i->DragMove(ClientToScreen(TPoint(X, Y)));
}

void TCustomvmTreeList::EndDragImage() {
  if (FNodeDragImages) FNodeDragImages->EndDrag();
  FNodeDragImages.reset();
}
