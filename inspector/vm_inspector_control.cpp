// The row control: the inspector that owns row components and keeps them in a row list.
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

VM_DEFINE_CLASS(TCustomvmInspectorControl)

TCustomvmInspectorControl::TCustomvmInspectorControl(TComponent* AOwner) : TCustomvmInspector(AOwner) {}

TCustomvmInspectorControl::~TCustomvmInspectorControl() {
  try {
    SaveToRegistry();
  } catch (...) {}
  FDestroyingControl = true;
  FEditor = nullptr;
  // Rows are removed and destroyed, last first; their nodes go with them.
  while (!FRows.empty()) {
    TvmInspectorRow* r = FRows.back();
    RemoveRow(r);
    delete r;
  }
  ClearNodes();
}

TvmInspectorRow* TCustomvmInspectorControl::CreateRow(TvmInspectorRowClass RowClass) {
  auto* row = static_cast<TvmInspectorRow*>(RowClass->Create(Owner()));
  NameNewRow(row);
  row->SetInspector(this);
  return row;
}

void TCustomvmInspectorControl::NameNewRow(TvmInspectorRow* Row) {
  // The control's name, "Row" and the next free number.
  for (int n = GetRowCount() + 1;; ++n) {
    try {
      Row->SetName(Name() + "Row" + std::to_string(n));
      return;
    } catch (const Exception&) {
      if (Name().empty()) return;
    }
  }
}

void TCustomvmInspectorControl::AddRow(TvmInspectorRow* Row) {
  if (!FCreatingNode && !Row->FNode) {
    FCreatingNode = true;
    auto* n = static_cast<TvmInspectorRowNode*>(CreateNode());
    n->Row = Row;
    Row->FNode = n;
    n->InsertInto(nullptr, GetNodeCount());
    Row->FInspector = this;
    TScopeExit creatingNode([&] { FCreatingNode = false; });
    NodeCreated(n);
  }
  FRows.push_back(Row);
  if (auto* cx = dynamic_cast<TvmInspectorComplexRow*>(Row)) FComplexRows.push_back(cx);
  Row->FInspector = this;
  Row->EnsureViewData();
  RowChanged(Row);
  RequestCustomizeRefresh();
}

void TCustomvmInspectorControl::RemoveRow(TvmInspectorRow* Row) {
  Row->FInspector = nullptr;
  const bool hadNode = Row->FNode != nullptr;
  if (TvmInspectorRowNode* n = Row->FNode) {
    n->Row = nullptr;
    Row->FNode = nullptr;
    delete n;
  }
  ForgetRow(Row);
  if (Row == FCustomizeDragRow) FCustomizeDragRow = nullptr;
  if (hadNode && !FDestroyingControl) RowChanged(Row);
  RequestCustomizeRefresh();
}

void TCustomvmInspectorControl::ForgetRow(TvmInspectorRow* Row) {
  // Rows go last first as the inspector is freed: the common case costs nothing to find.
  if (!FRows.empty() && FRows.back() == Row)
    FRows.pop_back();
  else
    FRows.erase(std::remove(FRows.begin(), FRows.end(), Row), FRows.end());
  FComplexRows.erase(std::remove(FComplexRows.begin(), FComplexRows.end(), Row), FComplexRows.end());
  for (TvmInspectorComplexRow* cx : FComplexRows) cx->RemoveRowFromItems(Row);
}

void TCustomvmInspectorControl::DragRowFromCustomizeForm(TvmInspectorRow* Row) {
  if (!Row || Row->Inspector() != this || FMouseState != imsNone) return;
  FCustomizeDragRow = Row;
  FDragNode = nullptr;
  FSavedDragCursor = Cursor();
  BeginDragImage(Row->GetCaption(), TPoint(16, FTextRowHeight / 2), Mouse->CursorPos());
  FMouseState = imsDragging;
  HideEditor();
  SetMouseCapture(true);
}

void TCustomvmInspectorControl::AcceptDraggedRow() {
  TvmInspectorRow* r = FCustomizeDragRow;
  FCustomizeDragRow = nullptr;
  if (!r || r->Inspector() != this) return;
  r->SetVisible(true);
  FDragNode = r->Node();
}

void TCustomvmInspectorControl::DoDropRow(int X, int Y) {
  // Over the customizing window the dragged row is put away.
  if (IsOverCustomizeForm(X, Y)) {
    if (TvmInspectorRow* r = GetRowOfNode(FDragNode)) r->SetVisible(false);
    return;
  }
  TCustomvmInspector::DoDropRow(X, Y);
}

void TCustomvmInspectorControl::EndRowDrag(bool Drop, int X, int Y) {
  TCustomvmInspector::EndRowDrag(Drop, X, Y);
  FCustomizeDragRow = nullptr;
}

void TCustomvmInspectorControl::ClearRows() {
  TUpdateLock lock(this);
  while (!FRows.empty()) {
    TvmInspectorRow* r = FRows.back();
    RemoveRow(r);
    delete r;
  }
}

void TCustomvmInspectorControl::AssignRows(TCustomvmInspectorControl* Source) {
  if (!Source) return;
  TUpdateLock lock(this);
  while (!FRows.empty()) {
    TvmInspectorRow* r = FRows.back();
    RemoveRow(r);
    delete r;
  }
  for (TvmInspectorRow* src : Source->FRows) {
    TvmInspectorRow* r = CreateRow(static_cast<TvmInspectorRowClass>(src->ClassType()));
    try {
      r->SetName(src->Name());
    } catch (const Exception&) {}
    r->Assign(src);
  }
  std::function<void(TvmInspectorNode*, TvmInspectorNode*)> copy = [&](TvmInspectorNode* S, TvmInspectorNode* D) {
    for (int i = 0; i < S->Count(); ++i) {
      auto* sc = static_cast<TvmInspectorRowNode*>(S->Items(i));
      TvmInspectorRow* r = sc->Row ? FindRow(sc->Row->Name()) : nullptr;
      if (!r || !r->Node()) continue;
      r->Node()->MoveTo(D, inaAddChild);
      copy(sc, r->Node());
    }
  };
  for (int i = 0; i < Source->GetNodeCount(); ++i) {
    auto* sn = static_cast<TvmInspectorRowNode*>(Source->Nodes(i));
    TvmInspectorRow* r = sn->Row ? FindRow(sn->Row->Name()) : nullptr;
    if (!r || !r->Node()) continue;
    r->Node()->MoveTo(Nodes(0), inaAdd);
    copy(sn, r->Node());
  }
}

TvmInspectorRow* TCustomvmInspectorControl::GetRow(int Index) const {
  if (Index < 0 || Index >= GetRowCount()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  return FRows[static_cast<size_t>(Index)];
}

int TCustomvmInspectorControl::GetVisibleRowCount() const {
  return static_cast<int>(std::count_if(FRows.begin(), FRows.end(), [](TvmInspectorRow* r) { return r->Visible(); }));
}

TvmInspectorRow* TCustomvmInspectorControl::FindRow(const std::string& Name) const {
  for (TvmInspectorRow* r : FRows)
    if (SameText(r->Name(), Name)) return r;
  return nullptr;
}

TvmInspectorRow* TCustomvmInspectorControl::GetRowOfNode(TvmInspectorNode* Node) const {
  auto* rn = dynamic_cast<TvmInspectorRowNode*>(Node);
  if (!rn || !rn->Row) return nullptr;
  if (IsComplexNode(Node)) {
    auto* cx = static_cast<TvmInspectorComplexRow*>(rn->Row);
    const int i = FocusedComplexItem();
    return i >= 0 && i < cx->ItemCount() ? cx->Items(i).Row : nullptr;
  }
  return rn->Row;
}

void TCustomvmInspectorControl::RowChanged(TvmInspectorRow* Row) {
  if (!ComponentState().Contains(csLoading)) LayoutChanged();
}

TvmInspectorNode* TCustomvmInspectorControl::CreateNode() { return new TvmInspectorRowNode(this); }

void TCustomvmInspectorControl::NodeCreated(TvmInspectorNode* Node) {
  auto* rn = static_cast<TvmInspectorRowNode*>(Node);
  if (!FCreatingNode && !rn->Row) {
    // A node made directly gets a row of the default class.
    FCreatingNode = true;
    auto* row = static_cast<TvmInspectorRow*>(GetDefaultRowClass()->Create(Owner()));
    NameNewRow(row);
    rn->Row = row;
    row->FNode = rn;
    FCreatingNode = false;
    AddRow(row);
  }
  TCustomvmInspector::NodeCreated(Node);
}

int TCustomvmInspectorControl::CalcDefaultRowHeight() {
  int h = CalcTextRowHeight();
  for (TvmInspectorRow* r : FRows)
    if (r->Visible()) h = std::max(h, r->GetMinRowHeight(Canvas()));
  return h;
}

int TCustomvmInspectorControl::GetNodeRowHeight(TvmInspectorNode* Node) {
  auto* rn = static_cast<TvmInspectorRowNode*>(Node);
  TvmInspectorRow* row = rn ? rn->Row : nullptr;
  if (!row) return TCustomvmInspector::GetNodeRowHeight(Node);
  if (!FOptions.Contains(ioRowAutoHeight) || row->RowHeightStored()) return row->GetRowHeight();
  // Automatic height from the value text.
  TRect row0(0, 0, IsBandLayout() ? FBandWidth - 3 : ClientWidth(), FRowHeight);
  TvmInspectorNodeCells cells = CalcNodeCells(Node, row0);
  if (IsComplexNode(Node)) {
    auto* cx = static_cast<TvmInspectorComplexRow*>(row);
    TvmInspectorComplexRowViewInfo vi(cx, FValueSeparatorWidth);
    vi.Calculate(cells.Value);
    int h = FRowHeight;
    for (int i = 0; i < vi.Count(); ++i) {
      const auto& e = vi.Items(i);
      if (e.IsSeparator || !e.Row) continue;
      h = std::max(h, CalcRowTextHeight(e.Row, e.Bounds, e.Row->DisplayText()));
    }
    return h;
  }
  return CalcRowTextHeight(row, cells.Value, row->DisplayText());
}

int TCustomvmInspectorControl::CalcRowTextHeight(TvmInspectorRow* Row, const TRect& Cell, const std::string& Text) {
  int answer = FRowHeight;
  TvmInspectorCellViewData cd;
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  cd.Font = c->Font();
  cd.Brush = cd.BkColor = Color();
  cd.TextColor = Font()->Color();
  cd.Text = Text;
  cd.EndEllipsis = FOptions.Contains(ioDrawEndEllipsis);
  cd.Node = Row->Node();
  cd.Bounds = TRect(0, 0, Cell.Width(), Cell.Height());
  InflateRect(cd.Bounds, 2, 2);
  Row->EnsureViewData();
  TvmEditViewData* vd = Row->ViewData();
  Row->InitViewData(vd, cd);
  vd->Bounds = GetEditorRect(Cell);
  vd->TextLayout = 3;
  TvmEditViewInfo vi;
  TvmInplaceEditClass cls = Row->GetEditClass();
  cls->CalcViewInfo(vd, false, vi);
  vd->MeasureOnly = true;
  vd->LineCount = 0;
  bool ok = false;
  {
    TScopeExit measureOnly([&] { vd->MeasureOnly = false; });
    ok = cls->DrawContent(c, vi.ContentRect, vd, false);
  }
  if (ok) {
    int h = vd->MeasuredHeight;
    if (FMaxRowTextLineCount > 0 && FMaxRowTextLineCount < vd->LineCount) h = FMaxRowTextLineCount * vd->LineHeight;
    answer = h + 3 + FGridLineWidth + (Row->IsCategory() ? 0 : 2 * FRowInset);
    answer = std::max(answer, Row->GetRowHeight());
  }
  return answer;
}

void TCustomvmInspectorControl::SetNodeRowHeight(TvmInspectorNode* Node, int Height) {
  if (TvmInspectorRow* r = static_cast<TvmInspectorRowNode*>(Node)->Row) r->SetRowHeight(Height);
}

bool TCustomvmInspectorControl::IsCategoryNode(const TvmInspectorNode* Node) const {
  auto* rn = static_cast<const TvmInspectorRowNode*>(Node);
  return rn && rn->Row && rn->Row->IsCategory();
}

bool TCustomvmInspectorControl::IsComplexNode(const TvmInspectorNode* Node) const {
  auto* rn = static_cast<const TvmInspectorRowNode*>(Node);
  return rn && rn->Row && !rn->Row->IsCategory() && dynamic_cast<TvmInspectorComplexRow*>(rn->Row);
}

void TCustomvmInspectorControl::CheckComplexItemIndex(int& Index) {
  if (!IsComplexNode(FFocusedNode)) return;
  auto* cx = static_cast<TvmInspectorComplexRow*>(static_cast<TvmInspectorRowNode*>(FFocusedNode)->Row);
  if (cx->ItemCount() == 0)
    Index = -1;
  else
    Index = std::clamp(Index, 0, cx->ItemCount() - 1);
}

bool TCustomvmInspectorControl::FocusNextComplexItem(bool Forward) {
  if (FFocusedNode && IsComplexNode(FFocusedNode)) {
    auto* cx = static_cast<TvmInspectorComplexRow*>(static_cast<TvmInspectorRowNode*>(FFocusedNode)->Row);
    if (cx->ItemCount() >= 2) {
      const int before = FocusedComplexItem();
      SetFocusedComplexItem(before + (Forward ? 1 : -1));
      if (FocusedComplexItem() != before) return true;
    }
    const bool edge = Forward ? FFocusedNode == GetLastNode() : FFocusedNode == Nodes(0);
    if (!edge) FFocusedItem = Forward ? 0 : cx->ItemCount() - 1;
    return false;
  }
  FFocusedItem = Forward ? 0 : 2147483647;
  return false;
}

bool TCustomvmInspectorControl::CanMoveComplexItem(bool Forward) {
  if (!FFocusedNode || !IsComplexNode(FFocusedNode)) return false;
  auto* cx = static_cast<TvmInspectorComplexRow*>(static_cast<TvmInspectorRowNode*>(FFocusedNode)->Row);
  if (cx->ItemCount() <= 1) return false;
  int i = FocusedComplexItem() + (Forward ? 1 : -1);
  CheckComplexItemIndex(i);
  return i != FocusedComplexItem();
}

void TCustomvmInspectorControl::HitTestComplexItem(TvmInspectorNode* Node, const TRect& CellRect, TRect& ItemRect,
                                                   int& ItemIndex, const TPoint& P) const {
  ItemIndex = -1;
  ItemRect = TRect();
  if (!IsComplexNode(Node) || !PtInRect(CellRect, P)) return;
  auto* cx = static_cast<TvmInspectorComplexRow*>(static_cast<TvmInspectorRowNode*>(Node)->Row);
  TvmInspectorComplexRowViewInfo vi(cx, FValueSeparatorWidth);
  vi.Calculate(CellRect);
  for (int i = 0; i < vi.Count(); ++i) {
    const auto& e = vi.Items(i);
    if (P.X < e.Bounds.Left || P.X >= e.Bounds.Right) continue;
    if (e.IsSeparator) {
      ItemRect = vi.Items(i - 1).Bounds;
    } else {
      ItemIndex = i / 2;
      ItemRect = e.Bounds;
    }
    return;
  }
}

void TCustomvmInspectorControl::GetNodeCaption(TvmInspectorNode* Node, std::string& Caption) {
  TCustomvmInspector::GetNodeCaption(Node, Caption);
  if (!Node || !IsComplexNode(Node) || !Caption.empty()) return;
  auto* cx = static_cast<TvmInspectorComplexRow*>(static_cast<TvmInspectorRowNode*>(Node)->Row);
  const std::string sep = FComplexRowSeparator.empty() ? "-" : FComplexRowSeparator;
  for (int i = 0; i < cx->ItemCount(); ++i) {
    TvmInspectorRow* r = cx->Items(i).Row;
    if (!r) continue;
    if (i > 0) Caption += sep;
    Caption += r->GetCaption();
  }
}

int TCustomvmInspectorControl::GetNodeImageIndex(TvmInspectorNode* Node) const {
  auto* rn = static_cast<TvmInspectorRowNode*>(Node);
  return rn && rn->Row ? rn->Row->ImageIndex() : -1;
}

void TCustomvmInspectorControl::GetNodeTexts(TvmInspectorNode* Node, std::string& Caption, std::string& Value) {
  auto* rn = static_cast<TvmInspectorRowNode*>(Node);
  Caption.clear();
  Value.clear();
  if (!rn || !rn->Row) return;
  Caption = rn->Row->GetCaption();
  rn->Row->GetDisplayText(Value);
}

void TCustomvmInspectorControl::PaintComplexSeparator(TCanvas* C, const TRect& R, bool Value) {
  const std::string& sep = FComplexRowSeparator;
  if (!sep.empty()) {
    DrawTextCell(C, R, taCenter, sep);
    return;
  }
  FillRectColor(C, R, Value && FPaintStyle == ipsCategorized ? Color() : C->Brush()->Color());
  if (Value && FPaintStyle == ipsCategorized) return;
  const int x = (R.Left + R.Right) / 2;
  TRect e(x, R.Top + 2, x + 2, R.Bottom - 2);
  DrawEdge(C, e, EDGE_SUNKEN & (BDR_SUNKENOUTER | BDR_RAISEDINNER), BF_LEFT);
}

void TCustomvmInspectorControl::DrawCaptionText(TCanvas* C, TvmInspectorNode* Node, const std::string& Text,
                                                const TRect& R) {
  if (!IsComplexNode(Node)) {
    TCustomvmInspector::DrawCaptionText(C, Node, Text, R);
    return;
  }
  auto* cx = static_cast<TvmInspectorComplexRow*>(static_cast<TvmInspectorRowNode*>(Node)->Row);
  TvmInspectorComplexRowViewInfo vi(cx, FCaptionSeparatorWidth);
  vi.Calculate(R);
  if (vi.IsEmpty()) {
    DrawTextCell(C, R, taLeftJustify, cx->GetCaption());
    return;
  }
  for (int i = 0; i < vi.Count(); ++i) {
    const auto& e = vi.Items(i);
    if (e.IsSeparator)
      PaintComplexSeparator(C, e.Bounds, false);
    else if (e.Row)
      DrawTextCell(C, e.Bounds, taLeftJustify, e.Row->GetCaption());
  }
}

void TCustomvmInspectorControl::DrawNode(TCanvas* C, TvmInspectorNode* Node, std::string& CaptionText,
                                         const TRect& CaptionRect, int ButtonState, const TRect& ImageRect,
                                         const TRect& ButtonRect, const TRect& IndentRect) {
  TvmInspectorRow* row = static_cast<TvmInspectorRowNode*>(Node)->Row;
  bool done = false;
  TColor color = C->Brush()->Color();
  if (OnDrawCaption && row) {
    OnDrawCaption(row, C, CaptionRect, CaptionText, C->Font(), color, done);
    C->Brush()->SetColor(color);
  }
  if (!done && row) row->DoDrawCaption(C, CaptionRect, CaptionText, C->Font(), color, done);
  if (!done)
    TCustomvmInspector::DrawNode(C, Node, CaptionText, CaptionRect, ButtonState, ImageRect, ButtonRect, IndentRect);
}

void TCustomvmInspectorControl::DrawValueCell(TCanvas* C, const TRect& R, TAlignment& Alignment, std::string& Text,
                                              TvmInspectorNode* Node) {
  TvmInspectorRow* row = static_cast<TvmInspectorRowNode*>(Node)->Row;
  if (row) Alignment = row->Alignment();
  bool done = false;
  TColor color = C->Brush()->Color();
  if (OnDrawValue && row) {
    OnDrawValue(row, C, R, Text, C->Font(), color, done);
    C->Brush()->SetColor(color);
  }
  if (!done && row) row->DoDrawValue(C, R, Text, C->Font(), color, done);
  if (!done) TCustomvmInspector::DrawValueCell(C, R, Alignment, Text, Node);
}

void TCustomvmInspectorControl::PaintRowValue(TCanvas* C, TvmInspectorRow* Row, const TRect& R,
                                              TvmInspectorCellViewData& CellData) {
  Row->EnsureViewData();
  TvmEditViewData* vd = Row->ViewData();
  Row->InitViewData(vd, CellData);
  // Painted as the editor shows it (over the cell grown by 2 on each side), inside the cell.
  TRegion saved;
  const bool hadClip = C->GetClipRgn(saved) == 1;
  C->IntersectClipRect(R.Left, R.Top, R.Right, R.Bottom);
  Row->GetEditClass()->DrawView(C, GetEditorRect(R), vd);
  C->SelectClipRgn(hadClip ? &saved : nullptr);
}

void TCustomvmInspectorControl::PaintCellValue(TCanvas* C, const TRect& R, TvmInspectorCellViewData& CellData) {
  auto* rn = static_cast<TvmInspectorRowNode*>(CellData.Node);
  if (!rn || !rn->Row) return;
  if (!IsComplexNode(rn)) {
    PaintRowValue(C, rn->Row, R, CellData);
    return;
  }
  auto* cx = static_cast<TvmInspectorComplexRow*>(rn->Row);
  TvmInspectorComplexRowViewInfo vi(cx, FValueSeparatorWidth);
  vi.Calculate(R);
  if (vi.IsEmpty()) {
    DrawTextCell(C, R, taLeftJustify, std::string());
    return;
  }
  for (int i = 0; i < vi.Count(); ++i) {
    const auto& e = vi.Items(i);
    if (e.IsSeparator) {
      PaintComplexSeparator(C, e.Bounds, true);
    } else if (e.Row) {
      TvmInspectorCellViewData cd = CellData;
      cd.Text = e.Row->DisplayText();
      cd.Bounds = TRect(0, 0, e.Bounds.Width(), e.Bounds.Height());
      InflateRect(cd.Bounds, 2, 2);
      PaintRowValue(C, e.Row, e.Bounds, cd);
    } else {
      DrawTextCell(C, e.Bounds, taLeftJustify, std::string());
    }
  }
}

bool TCustomvmInspectorControl::IsCellTextClipped(TvmInspectorNode* Node, int ItemIndex, bool& IsRowHint, int& HintX,
                                                  std::string& Text, const TRect& CellRect, bool ForValue,
                                                  const TRect& ItemRect) {
  TvmInspectorRow* row = nullptr;
  TRect cell = CellRect;
  if (IsComplexNode(Node)) {
    auto* cx = static_cast<TvmInspectorComplexRow*>(static_cast<TvmInspectorRowNode*>(Node)->Row);
    if (ItemIndex >= 0 && ItemIndex < cx->ItemCount()) row = cx->Items(ItemIndex).Row;
    cell = ItemRect;
  } else {
    row = static_cast<TvmInspectorRowNode*>(Node)->Row;
  }
  if (!row || IsRectEmpty(cell)) return false;
  HintX = ForValue ? cell.Left - 1 : cell.Left - 2;
  cell.Left += 2;
  if (!ForValue && row->ShowHint && !row->Hint.empty()) {
    Text = row->Hint;
    IsRowHint = true;
    return true;
  }
  if (ForValue) cell.Right -= 1;
  return row->IsTextClipped(ForValue, cell, Text);
}

void TCustomvmInspectorControl::ContentChanged() {
  TCustomvmInspector::ContentChanged();
  if (!FEditor || !FEditor->EditVisible()) return;
  // Text the user is typing stays: the editor only follows its cell. An unmodified editor takes
  // the row's value again.
  if (FEditor->Modified() && FEditingNode && FEditingNode == FFocusedNode)
    ShowEditor(false, false);
  else
    UpdateEditor();
}

bool TCustomvmInspectorControl::CanEditModify() {
  TvmInspectorRow* r = GetRowOfNode(FEditingNode ? FEditingNode : FFocusedNode);
  if (!r || r->GetReadOnly() || !r->CanModify()) return false;
  FModifyRequested = true;
  return true;
}

TColor TCustomvmInspectorControl::GetEditColor() {
  TColor c = clWindow;
  if (FFocusedNode && OnGetEditColor)
    if (TvmInspectorRow* r = GetRowOfNode(FFocusedNode)) OnGetEditColor(r, c);
  return c;
}

TFont* TCustomvmInspectorControl::GetEditFont() {
  if (FFocusedNode && OnGetEditFont) {
    FEditFont->Assign(Font());
    TFont* f = FEditFont.get();
    if (TvmInspectorRow* r = GetRowOfNode(FFocusedNode)) OnGetEditFont(r, f);
    return f;
  }
  return Font();
}

bool TCustomvmInspectorControl::CanEditNode() {
  if (!TCustomvmInspector::CanEditNode()) return false;
  TvmInspectorRow* r = GetRowOfNode(FFocusedNode);
  if (!r) return false;
  bool allow = true;
  if (OnEditing) OnEditing(this, FFocusedNode, r, allow);
  return allow;
}

void TCustomvmInspectorControl::UpdateEditor() {
  FModifyRequested = false;
  TCustomvmInspector::UpdateEditor();
}

TvmInplaceEdit* TCustomvmInspectorControl::CreateEditor(TvmInspectorNode* Node) {
  TvmInspectorRow* r = GetRowOfNode(Node);
  TvmInplaceEditClass cls = r ? r->GetEditClass() : TvmInplaceTextEdit::StaticClass();
  auto* e = static_cast<TvmInplaceEdit*>(cls->Create(this));
  FEditorCache[cls] = e;
  return e;
}

TvmInplaceEdit* TCustomvmInspectorControl::FindEditor(TvmInspectorNode* Node) {
  TvmInspectorRow* r = GetRowOfNode(Node);
  if (!r) return nullptr;
  auto it = FEditorCache.find(r->GetEditClass());
  return it == FEditorCache.end() ? nullptr : it->second;
}

TRect TCustomvmInspectorControl::GetEditorCellRect(TvmInspectorNode* Node) {
  TRect cell = TCustomvmInspector::GetEditorCellRect(Node);
  if (!IsComplexNode(Node) || IsRectEmpty(cell)) return cell;
  auto* cx = static_cast<TvmInspectorComplexRow*>(static_cast<TvmInspectorRowNode*>(Node)->Row);
  TvmInspectorRow* r = GetRowOfNode(Node);
  TvmInspectorComplexRowViewInfo vi(cx, FValueSeparatorWidth);
  vi.Calculate(cell);
  for (int i = 0; i < vi.Count(); ++i)
    if (!vi.Items(i).IsSeparator && vi.Items(i).Row == r) return vi.Items(i).Bounds;
  return cell;
}

void TCustomvmInspectorControl::InitEditor(TvmInplaceEdit* Edit) {
  TCustomvmInspector::InitEditor(Edit);
  if (TvmInspectorRow* r = GetRowOfNode(FEditingNode)) r->InitEditor(Edit);
}

void TCustomvmInspectorControl::LoadEditorValue(TvmInspectorNode* Node, TvmInplaceEdit* Edit, Variant& Value) {
  Value = std::string();
  if (FFocusedNode)
    if (TvmInspectorRow* r = GetRowOfNode(FFocusedNode)) r->LoadEditValue(Edit, Value);
  FLastValue = Value;
}

void TCustomvmInspectorControl::ApplyEditorValue(TvmInspectorNode* Node, TvmInplaceEdit* Edit, Variant& Value) {
  if (!FModifyRequested && !Edit->GetModified()) return;
  TvmInspectorRow* r = GetRowOfNode(Node);
  if (r) {
    r->ApplyEditValue(Edit, Value);
    FLastValue = Value;
    if (OnEdited) OnEdited(this, FFocusedNode, GetRowOfNode(FFocusedNode));
  }
  FModifyRequested = false;
}

void TCustomvmInspectorControl::DoEditChange(TObject* Sender) {
  if (OnEditChange) OnEditChange(Sender);
}

void TCustomvmInspectorControl::DoEditValidate(TObject* Sender, std::string& ErrorText, bool& Accept) {
  if (OnEditValidate) OnEditValidate(Sender, ErrorText, Accept);
}
