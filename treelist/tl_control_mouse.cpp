// The tree list with column components under the mouse: clicks on band cells and corner buttons
// raised as events, header and band drags starting and moving, and the columns' own answers on
// hot tracking, multi-line headers, cell heights and editors opened by a press.
#include <algorithm>

#include "treelist/tl_control.h"

void TCustomvmTreeListControl::DoBandClick(int VisibleBand) {
  int b = GetBandAbsoluteIndex(VisibleBand);
  if (b >= 0 && b < FBands->Count() && OnBandHeaderClick) OnBandHeaderClick(this, FBands->Items(b));
}

void TCustomvmTreeListControl::DoBandButtonClick() {
  if (OnBandCornerClick) OnBandCornerClick(this);
}

void TCustomvmTreeListControl::DoHeaderButtonClick() {
  if (OnHeaderCornerClick) OnHeaderCornerClick(this);
}

void TCustomvmTreeListControl::StartBandDrag(int VisibleBand) {
  int b = GetBandAbsoluteIndex(VisibleBand);
  if (b >= 0 && b < FBands->Count() && OnStartDragBand) OnStartDragBand(this, FBands->Items(b));
  TCustomvmTreeList::StartBandDrag(VisibleBand);
}

void TCustomvmTreeListControl::StartColumnDrag(int Column) {
  if (Column >= 0 && Column < ColumnCount() && OnStartDragHeader) OnStartDragHeader(this, FColumns[Column]);
  TCustomvmTreeList::StartColumnDrag(Column);
}

void TCustomvmTreeListControl::DoDragOverBand(TPoint P, int VisibleBand, bool& Accept) {
  int b = GetBandAbsoluteIndex(VisibleBand);
  if (b >= 0 && b < FBands->Count() && OnBandDragOver) OnBandDragOver(this, FBands->Items(b), P, Accept);
}

void TCustomvmTreeListControl::DoDragOverColumn(TPoint P, int Column, bool& Accept) {
  if (Column >= 0 && Column < ColumnCount() && OnHeaderDragOver) OnHeaderDragOver(this, FColumns[Column], P, Accept);
}

int TCustomvmTreeListControl::GetHeaderHotState(int Column) {
  if (Column < 0 || Column >= ColumnCount() || FColumns[Column]->DisableFilterButton()) return 0;
  return TCustomvmTreeList::GetHeaderHotState(Column);
}

bool TCustomvmTreeListControl::IsHotTrackCell(int X, int Y, TvmTreeListNode* Node, int Column, int& PartIndex) {
  bool hot = TCustomvmTreeList::IsHotTrackCell(X, Y, Node, Column, PartIndex);
  if (Column >= 0 && Column < ColumnCount() && FColumns[Column]->IsHotTrackCell(X, Y, Node, PartIndex)) hot = true;
  return hot;
}

void TCustomvmTreeListControl::DoNodeHotTrack(const TvmTreeListHotTrackInfo& Info, TCursor& Cursor) {
  if (Info.HotNode && Info.HotColumn >= 0 && Info.HotColumn < ColumnCount())
    FColumns[Info.HotColumn]->NodeHotTracked(Info.HotNode, Info.HotPartIndex, Cursor);
  TCustomvmTreeList::DoNodeHotTrack(Info, Cursor);
}

bool TCustomvmTreeListControl::OpensEditorOnMouseDown(int X, int Y, bool WasFocused, int Column) {
  return TCustomvmTreeList::OpensEditorOnMouseDown(X, Y, WasFocused, Column) && Column >= 0 && Column < ColumnCount() &&
         FColumns[Column]->OpensEditorOnMouseDown(X, Y, WasFocused);
}

bool TCustomvmTreeListControl::IsMultilineHeaderColumn(int Column) {
  return Column >= 0 && Column < ColumnCount() && FColumns[Column]->IsMultilineHeader();
}
