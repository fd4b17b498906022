#include "chart/editor/chart_grid.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/legend.h"
#include "chart/engine/series_helpers.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "platform/canvas.h"
#include "platform/datetime.h"
#include "platform/exceptions.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TCustomChartGrid)
VM_DEFINE_CLASS(TChartGrid)
VM_DEFINE_CLASS(TChartGridNavigator)

namespace {

constexpr int kColorsWidth = 40;
constexpr TColor kFixedColor = clBtnFace;

std::string OneLine(std::string S) {
  for (char& c : S)
    if (c == '\r' || c == '\n' || c == '\t') c = ' ';
  return S;
}

}  // namespace

TCustomChartGrid::TCustomChartGrid(TComponent* AOwner) : TCustomControl(AOwner) {
  SetTabStop(true);
  SetColor(clWindow);
  SetBounds(0, 0, 320, 200);
  SetFrameBorder(1);
  RebuildGrid();
}

TCustomChartGrid::~TCustomChartGrid() {
  FSeries = nullptr;
  FChart = nullptr;
  Detach();
  delete FEditor;
}

// ---------------------------------------------------------------------------------------------
// What is listed

void TCustomChartGrid::Attach(TCustomChart* Chart) {
  if (Chart == FListened) return;
  Detach();
  FListened = Chart;
  if (FListened) {
    FListened->Listeners->Add(this);
    FListened->FreeNotification(this);
  }
}

void TCustomChartGrid::Detach() {
  if (!FListened) return;
  FListened->RemoveListener(this);
  FListened->RemoveFreeNotification(this);
  FListened = nullptr;
}

void TCustomChartGrid::SetChart(TCustomChart* Value) {
  FChart = Value;
  if (Value) FSeries = nullptr;
  Attach(FSeries ? dynamic_cast<TCustomChart*>(FSeries->ParentChart()) : FChart);
  ResetGrid();
}

void TCustomChartGrid::SetSeries(TChartSeries* Value) {
  if (FSeries) FSeries->RemoveFreeNotification(this);
  FSeries = Value;
  if (Value) {
    FChart = nullptr;
    Value->FreeNotification(this);
  }
  Attach(FSeries ? dynamic_cast<TCustomChart*>(FSeries->ParentChart()) : FChart);
  ResetGrid();
}

void TCustomChartGrid::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (FListened && AComponent == static_cast<TComponent*>(FListened)) {
    FListened = nullptr;
    if (FChart == AComponent) FChart = nullptr;
    if (!ComponentState().Contains(csDestroying)) ResetGrid();
  }
  if (FSeries && AComponent == static_cast<TComponent*>(FSeries)) {
    FSeries = nullptr;
    if (!ComponentState().Contains(csDestroying)) ResetGrid();
  }
}

void TCustomChartGrid::ListSeries(std::vector<TChartSeries*>& List) const {
  List.clear();
  if (FSeries) {
    if (!FSeries->ComponentState().Contains(csDestroying)) List.push_back(FSeries);
  } else if (FChart) {
    for (TChartSeries* s : *FChart->SeriesList())
      if (!s->ComponentState().Contains(csDestroying)) List.push_back(s);
  }
}

TChartSeries* TCustomChartGrid::Grid3DSeries() const {
  std::vector<TChartSeries*> list;
  ListSeries(list);
  for (TChartSeries* s : list)
    if (s->HasZValues()) return s;
  return nullptr;
}

bool TCustomChartGrid::ShowsXColumn(TChartSeries* Series) const {
  switch (FShowXValues) {
    case cgsYes:
      return true;
    case cgsNo:
      return false;
    default:
      return SeriesHasXValues(Series);
  }
}

void TCustomChartGrid::SetShowColors(bool Value) {
  if (Value == FShowColors) return;
  FShowColors = Value;
  RebuildGrid();
}

void TCustomChartGrid::SetShowLabels(bool Value) {
  if (Value == FShowLabels) return;
  FShowLabels = Value;
  RebuildGrid();
}

void TCustomChartGrid::SetShowXValues(TChartGridShow Value) {
  FShowXValues = Value;
  RebuildGrid();
}

void TCustomChartGrid::SetTitleRow(bool Value) {
  FTitleRow = Value;
  RebuildGrid();
  if (FRow < FirstDataRow()) MoveTo(FCol, FirstDataRow());
}

void TCustomChartGrid::SetGrid3D(bool Value) {
  FGrid3D = Value;
  RebuildGrid();
}

// ---------------------------------------------------------------------------------------------
// Layout

void TCustomChartGrid::RebuildGrid() {
  if (FEditor && FEditor->Visible()) FEditor->SetVisible(false);
  FColWidths.assign(1, 30);
  FColumns.assign(1, TColumn());
  std::vector<TChartSeries*> list;
  ListSeries(list);
  int points = 0;
  if (FGrid3D) {
    FXs.clear();
    FZs.clear();
    if (TChartSeries* s = Grid3DSeries()) {
      std::set<double> xs, zs;
      TChartValueList* zl = s->ValueLists.Count() > 2 ? s->ValueLists[2] : nullptr;
      for (int i = 0; i < s->PointCount(); ++i) {
        xs.insert(s->XValues()->Value(i));
        if (zl) zs.insert(zl->Value(i));
      }
      FXs.assign(xs.begin(), xs.end());
      FZs.assign(zs.begin(), zs.end());
      for (size_t i = 0; i < FXs.size(); ++i) {
        FColWidths.push_back(kDefaultColWidth);
        FColumns.push_back({s, 1});
      }
    }
    FFixedRows = 2;
    FRowCount = 2 + std::max<int>(1, static_cast<int>(FZs.size()));
  } else {
    if (FShowColors) {
      FColWidths.push_back(kColorsWidth);
      FColumns.push_back(TColumn());
    }
    if (FShowLabels) {
      FColWidths.push_back(kDefaultColWidth);
      FColumns.push_back(TColumn());
    }
    for (TChartSeries* s : list) {
      const int n = s->ValueLists.Count();
      if (ShowsXColumn(s)) {
        for (int l = 0; l < n; ++l) FColumns.push_back({s, l});
      } else if (s->NotMandatoryList == s->ValueLists[0]) {
        for (int l = 1; l < n; ++l) FColumns.push_back({s, l});
      } else {
        for (int l = 0; l < n - 1; ++l) FColumns.push_back({s, l});
      }
      points = std::max(points, s->PointCount());
    }
    while (FColWidths.size() < FColumns.size()) FColWidths.push_back(kDefaultColWidth);
    FFixedRows = FirstDataRow();
    FRowCount = FFixedRows + std::max(1, points);
  }
  if (FCol == 0 && ColCount() > 1) FCol = 1;
  FCol = std::min(FCol, ColCount() - 1);
  FRow = std::clamp(FRow, FFixedRows, FRowCount - 1);
  FSelection = TRect(FCol, FRow, FCol, FRow);
  FTopRow = std::clamp(FTopRow, FFixedRows, FRowCount - 1);
  FLeftCol = std::min(std::max(FLeftCol, 1), std::max(1, ColCount() - 1));
  UpdateScrollBar();
  Invalidate();
  Changed();
}

void TCustomChartGrid::Changed() {
  if (OnGridChanged) OnGridChanged(this);
}

void TCustomChartGrid::ResetGrid() {
  RebuildGrid();
  MoveTo(std::min(ColCount() - 1, 1), FirstDataRow());
}

int TCustomChartGrid::VisibleDataRows() const {
  int h = ClientHeight();
  for (int r = 0; r < FFixedRows; ++r) h -= RowHeight(r) + 1;
  return std::max(1, h / (FDefaultRowHeight + 1));
}

void TCustomChartGrid::UpdateScrollBar() {
  const int data = FRowCount - FFixedRows;
  SetScrollBar(1, 0, std::max(0, data - 1), VisibleDataRows(), FTopRow - FFixedRows);
}

void TCustomChartGrid::Scrolled(int Kind, int Position) {
  if (Kind == 1) SetTopRow(Position + FFixedRows);
}

void TCustomChartGrid::Resize() {
  TCustomControl::Resize();
  UpdateScrollBar();
}

void TCustomChartGrid::SetTopRow(int Value) {
  const int maxTop = std::max(FFixedRows, FRowCount - VisibleDataRows());
  Value = std::clamp(Value, FFixedRows, maxTop);
  if (Value == FTopRow) return;
  FTopRow = Value;
  UpdateScrollBar();
  Invalidate();
}

void TCustomChartGrid::MakeVisible(int ARow) {
  if (ARow < FTopRow)
    SetTopRow(ARow);
  else if (ARow >= FTopRow + VisibleDataRows())
    SetTopRow(ARow - VisibleDataRows() + 1);
}

void TCustomChartGrid::SetDefaultRowHeight(int Value) {
  FDefaultRowHeight = std::max(1, Value);
  UpdateScrollBar();
  Invalidate();
}

bool TCustomChartGrid::IsSelected(int ACol, int ARow) const {
  return ACol >= FSelection.Left && ACol <= FSelection.Right && ARow >= FSelection.Top && ARow <= FSelection.Bottom;
}

void TCustomChartGrid::MoveTo(int ACol, int ARow) {
  ACol = std::clamp(ACol, ColCount() > 1 ? 1 : 0, ColCount() - 1);
  ARow = std::clamp(ARow, FFixedRows, FRowCount - 1);
  if (EditorMode() && (ACol != FCol || ARow != FRow)) {
    // Leaving a cell stores what was typed.
    SetEditText(FCol, FRow, FEditor->Text());
    FEditor->SetVisible(false);
  }
  FCol = ACol;
  FRow = ARow;
  FSelection = TRect(ACol, ARow, ACol, ARow);
  MakeVisible(ARow);
  Invalidate();
  if (OnCellSelected) OnCellSelected(ARow);
}

TRect TCustomChartGrid::CellRect(int ACol, int ARow) const {
  int x = 0;
  if (ACol == 0) {
    x = 0;
  } else {
    if (ACol < FLeftCol) return TRect();
    x = ColWidth(0) + 1;
    for (int c = FLeftCol; c < ACol; ++c) x += ColWidth(c) + 1;
  }
  int y = 0;
  if (ARow < FFixedRows) {
    for (int r = 0; r < ARow; ++r) y += RowHeight(r) + 1;
  } else {
    if (ARow < FTopRow) return TRect();
    for (int r = 0; r < FFixedRows; ++r) y += RowHeight(r) + 1;
    y += (ARow - FTopRow) * (FDefaultRowHeight + 1);
  }
  return TRect(x, y, x + ColWidth(ACol), y + RowHeight(ARow));
}

void TCustomChartGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const {
  ACol = ARow = -1;
  int x = 0;
  for (int c = 0; c < ColCount(); c = c == 0 ? FLeftCol : c + 1) {
    if (X >= x && X < x + ColWidth(c) + 1) {
      ACol = c;
      break;
    }
    x += ColWidth(c) + 1;
    if (c == 0 && FLeftCol >= ColCount()) break;
  }
  int y = 0;
  for (int r = 0; r < FFixedRows; ++r) {
    if (Y >= y && Y < y + RowHeight(r) + 1) {
      ARow = r;
      return;
    }
    y += RowHeight(r) + 1;
  }
  if (Y >= y) {
    const int r = FTopRow + (Y - y) / (FDefaultRowHeight + 1);
    if (r < FRowCount) ARow = r;
  }
}

// ---------------------------------------------------------------------------------------------
// Cells

TChartSeries* TCustomChartGrid::ColumnSeries(int ACol) const {
  return ACol >= 0 && ACol < static_cast<int>(FColumns.size()) ? FColumns[static_cast<size_t>(ACol)].Series : nullptr;
}

int TCustomChartGrid::ColumnList(int ACol) const {
  return ACol >= 0 && ACol < static_cast<int>(FColumns.size()) ? FColumns[static_cast<size_t>(ACol)].List : -1;
}

int TCustomChartGrid::FindGridPoint(int Index, int ACol) const {
  TChartSeries* s = ColumnSeries(ACol);
  if (!s || s->ValueLists.Count() < 3) return -1;
  TChartValueList* z = s->ValueLists[2];
  for (int i = 0; i < s->PointCount(); ++i)
    if (s->XValues()->Value(i) == ACol && z->Value(i) == Index + 1) return i;
  return -1;
}

std::string TCustomChartGrid::HeaderText(int ACol, int ARow) {
  if (ACol == 0) return ARow == FFixedRows - 1 ? "#" : std::string();
  if (FGrid3D) {
    if (ARow != FFixedRows - 1 || FXs.empty()) return {};
    return IntToStr(static_cast<int64_t>(std::nearbyint(FXs.front())) + ACol - 1);
  }
  const bool namesRow = ARow == FFixedRows - 1;
  if (namesRow) {
    if (ACol == ColorsColumn()) return MsgStyleColors;
    if (ACol == LabelsColumn()) return MsgEdText;
  }
  TChartSeries* s = ColumnSeries(ACol);
  if (!s) return {};
  std::string title;
  SeriesDisplayTitle(s, title);
  title = OneLine(title);
  const std::string name = s->ValueLists[ColumnList(ACol)]->Name();
  if (FTitleRow) {
    if (namesRow) return name;
    // The title over the first column of each series (over every column of a single series).
    if (FSeries || ColumnSeries(ACol - 1) != s) return title;
    return {};
  }
  return FSeries ? name : title;
}

std::string TCustomChartGrid::GetEditText(int ACol, int ARow) {
  if (ARow < FFixedRows) return HeaderText(ACol, ARow);
  const int i = ARow - FFixedRows;
  if (ACol == 0) {
    if (FGrid3D && !FZs.empty()) return IntToStr(static_cast<int64_t>(std::nearbyint(FZs.front())) + i);
    return IntToStr(i);
  }
  if (FGrid3D) {
    const int p = FindGridPoint(i, ACol);
    TChartSeries* s = ColumnSeries(ACol);
    return p >= 0 ? FormatFloat(s->ValueFormat(), s->YValues()->Value(p)) : std::string();
  }
  if (ACol == LabelsColumn()) {
    if (FSeries) return i < FSeries->Labels->Count() ? FSeries->LabelAt(i) : std::string();
    std::vector<TChartSeries*> list;
    ListSeries(list);
    for (TChartSeries* s : list)
      if (s->Labels->Count() > i) return s->LabelAt(i);
    return {};
  }
  if (ACol == ColorsColumn()) return {};
  TChartSeries* s = ColumnSeries(ACol);
  if (!s || i >= s->PointCount()) return {};
  TChartValueList* l = s->ValueLists[ColumnList(ACol)];
  const double v = l->Value(i);
  if (l->DateTime()) return v >= 1 ? DateTimeToStr(v) : TimeToStr(v);
  return FormatFloat(s->ValueFormat(), v);
}

void TCustomChartGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
  std::vector<TChartSeries*> list;
  ListSeries(list);
  if (list.empty() || ARow < FFixedRows || ACol <= 0) return;
  for (TChartSeries* s : list) s->StoreDataAlways = true;
  const int i = ARow - FFixedRows;
  if (ACol == LabelsColumn()) {
    for (TChartSeries* s : list) {
      while (s->PointCount() <= i) s->AddNullValue();
      s->SetLabelAt(i, Value);
    }
    RebuildGrid();
  } else if (ACol != ColorsColumn()) {
    TChartSeries* s = ColumnSeries(ACol);
    if (!s) return;
    TChartValueList* l = FGrid3D ? s->YValues() : s->ValueLists[ColumnList(ACol)];
    int index = i;
    if (FGrid3D) {
      index = FindGridPoint(i, ACol);
      if (index < 0) return;  // no point at that cell: nothing to store into
    } else {
      while (s->PointCount() <= i) s->AddNullValue();
    }
    const std::string text = Trim(Value);
    if (!text.empty()) {
      double v = 0;
      if (l->DateTime()) {
        TDateTime d = 0;
        if (!TryStrToDateTime(text, d) && !TryStrToTime(text, d)) return;  // not a date: ignored
        v = d;
      } else if (!TryStrToFloat(text, v)) {
        return;  // not a number: the value stays
      }
      l->SetValue(index, v);
      if (s->IsNullPoint(index)) {
        s->SetPointColorAt(index, clDefault);
        if (FShowColors) Invalidate();
      }
    } else if (!EditorMode()) {
      s->SetPointColorAt(index, clNone);
      Invalidate();
    }
    s->NotifyValuesChanged();
    if (FSeries)
      FSeries->Repaint();
    else if (FChart)
      FChart->Invalidate();
    if (!FGrid3D && FRowCount < FFixedRows + s->PointCount()) RebuildGrid();
  }
  Invalidate();
  if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
}

bool TCustomChartGrid::ColorCellSeries(int ACol, int ARow, TChartSeries*& Series, TColor& Color) {
  Series = nullptr;
  if (ACol != ColorsColumn() || ARow < FFixedRows) return false;
  const int i = ARow - FFixedRows;
  TChartSeries* s = ColumnSeries(ACol + (FShowLabels ? 2 : 1));
  if (!s || i >= s->PointCount()) return false;
  Series = s;
  Color = s->PointColorAt(i);
  return true;
}

bool TCustomChartGrid::HasPoints() const {
  std::vector<TChartSeries*> list;
  ListSeries(list);
  for (TChartSeries* s : list)
    if (s->PointCount() > 0) return true;
  return false;
}

// ---------------------------------------------------------------------------------------------
// Drawing

void TCustomChartGrid::DrawCell(int ACol, int ARow, const TRect& Rect) {
  TCanvas* c = Canvas();
  const bool fixed = ACol == 0 || ARow < FFixedRows;
  TColor back = fixed ? kFixedColor : Color();
  TChartSeries* colourSeries = nullptr;
  TColor pointColor = clNone;
  if (!fixed && ColorCellSeries(ACol, ARow, colourSeries, pointColor))
    back = pointColor == clNone ? Color() : pointColor;
  if (!fixed && IsSelected(ACol, ARow) && ACol != ColorsColumn()) back = clHighlight;
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(back);
  c->FillRect(Rect);
  if (!FChart && !FSeries) return;
  const std::string text = GetEditText(ACol, ARow);
  if (text.empty()) return;
  c->Brush()->SetStyle(bsClear);
  c->Font()->SetColor(back == clHighlight ? clHighlightText : clWindowText);
  if (FTitleRow && ARow == 0 && ACol > 0) {
    // The series' legend symbol before its title.
    if (TChartSeries* s = ColumnSeries(ACol))
      DrawSeriesSymbolOnCanvas(s, c, TRect(Rect.Left + 2, Rect.Top + 4, Rect.Left + 14, Rect.Top + 16), nullptr);
    c->TextRect(Rect, Rect.Left + 16, Rect.Top + 2, text);
  } else if (ACol == LabelsColumn() && !fixed) {
    c->TextRect(Rect, Rect.Left + 2, Rect.Top + 2, text);
  } else {
    c->TextRect(Rect, Rect.Right - 2 - c->TextWidth(text), Rect.Top + 2, text);
  }
  c->Brush()->SetStyle(bsSolid);
}

void TCustomChartGrid::Paint() {
  TCanvas* c = Canvas();
  const TRect client = ClientRect();
  c->Brush()->SetColor(Color());
  c->FillRect(client);
  c->Font()->Assign(Font());
  c->Pen()->SetColor(clBtnShadow);
  c->Pen()->SetWidth(1);
  std::vector<int> cols{0};
  for (int col = FLeftCol; col < ColCount(); ++col) cols.push_back(col);
  std::vector<int> rows;
  for (int r = 0; r < FFixedRows; ++r) rows.push_back(r);
  int y = 0;
  for (int r = 0; r < FFixedRows; ++r) y += RowHeight(r) + 1;
  for (int r = FTopRow; r < FRowCount && y < client.Height(); ++r, y += FDefaultRowHeight + 1) rows.push_back(r);
  for (int r : rows) {
    for (int col : cols) {
      const TRect cell = CellRect(col, r);
      if (cell.Left >= client.Width()) break;
      DrawCell(col, r, cell);
      c->MoveTo(cell.Right, cell.Top);
      c->LineTo(cell.Right, cell.Bottom + 1);
      c->MoveTo(cell.Left, cell.Bottom);
      c->LineTo(cell.Right + 1, cell.Bottom);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Editing

bool TCustomChartGrid::EditorMode() const { return FEditor && FEditor->Visible(); }

bool TCustomChartGrid::CanEditShow() {
  if (!AllowEditing) return false;
  bool allow = true;
  if (OnEditingCell) OnEditingCell(this, FCol, FRow, allow);
  if (!allow || FCol == ColorsColumn()) return false;
  FOldText = GetEditText(FCol, FRow);
  return true;
}

void TCustomChartGrid::StartCellEdit() {
  if (!AllowEditing || EditorMode() || FCol <= 0) return;
  TChartSeries* s = ColumnSeries(FCol);
  if (s && s->DataSource()) return;  // data from a source is not typed in
  if (!CanEditShow()) return;
  const int i = FRow - FFixedRows;
  if (FGrid3D)
    FWasEmpty = i + 1 > static_cast<int>(FZs.size());
  else if (s)
    FWasEmpty = i >= s->PointCount() || s->IsNullPoint(i);
  else
    FWasEmpty = false;
  FOldText = FWasEmpty ? std::string() : GetEditText(FCol, FRow);
  if (!FEditor) {
    FEditor = new TEdit(nullptr);
    FEditor->SetParent(this);
    FEditor->OnKeyDown = [this](TObject*, uint16_t& Key, TShiftState Shift) {
      if (Key == VK_RETURN) {
        Key = 0;
        EndCellEdit(false);
      } else if (Key == VK_ESCAPE) {
        Key = 0;
        EndCellEdit(true);
      } else if (Key == VK_UP || Key == VK_DOWN) {
        uint16_t k = Key;
        Key = 0;
        EndCellEdit(false);
        KeyDown(k, Shift);
      }
    };
  }
  const TRect r = CellRect(FCol, FRow);
  FEditor->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  FEditor->SetText(FOldText);
  FEditor->SetVisible(true);
  if (FEditor->CanFocus()) FEditor->SetFocus();
  Changed();
}

void TCustomChartGrid::EndCellEdit(bool Restore) {
  if (!EditorMode()) return;
  const std::string text = Restore ? std::string() : FEditor->Text();
  FEditor->SetVisible(false);
  if (Restore) {
    if (!FWasEmpty) SetEditText(FCol, FRow, FOldText);
  } else {
    SetEditText(FCol, FRow, text);
  }
  if (CanFocus()) SetFocus();
  Changed();
}

void TCustomChartGrid::SetPointColor(TChartSeries* Series, int Index, TColor Color) {
  Series->SetPointColorAt(Index, Color);
  Series->StoreDataAlways = true;
  Invalidate();
  if (OnChangeColor) OnChangeColor(this);
}

void TCustomChartGrid::SetCurrentPointColor(TColor Color) {
  TChartSeries* s = nullptr;
  TColor old;
  if (ColorCellSeries(FCol, FRow, s, old)) SetPointColor(s, FRow - FFixedRows, Color);
}

void TCustomChartGrid::EditPointColor() {
  TChartSeries* s = nullptr;
  TColor color = clNone;
  if (!ColorCellSeries(FCol, FRow, s, color)) return;
  if (EditColorChanged(this, color)) SetPointColor(s, FRow - FFixedRows, color);
}

// ---------------------------------------------------------------------------------------------
// Rows

TChartSeries* TCustomChartGrid::RowSeries() const {
  // The series of the current column; on the colour or text column, the first value column's.
  if (TChartSeries* s = ColumnSeries(FCol)) return s;
  return ColumnSeries(std::max(LabelsColumn(), ColorsColumn()) + 1);
}

void TCustomChartGrid::AppendRow() {
  if (!AllowEditing || FGrid3D) return;
  TChartSeries* s = RowSeries();
  if (!s) return;
  s->AddNullValue();
  s->StoreDataAlways = true;
  RebuildGrid();
  if (FRowCount < FFixedRows + s->PointCount()) FRowCount = FFixedRows + s->PointCount();
  MoveTo(FCol, FRowCount - 1);
}

void TCustomChartGrid::InsertRow() {
  if (!AllowEditing) return;
  std::vector<TChartSeries*> list;
  ListSeries(list);
  bool had = false;
  for (TChartSeries* s : list) {
    had = had || s->PointCount() > 0;
    s->AddNullPoint(s->PointCount(), 0);
    s->StoreDataAlways = true;
  }
  RebuildGrid();
  (void)had;
  MoveTo(FCol, FRowCount - 1);
}

void TCustomChartGrid::DeleteRow() {
  if (!AllowEditing) return;
  std::vector<TChartSeries*> list;
  ListSeries(list);
  const int i = FRow - FFixedRows;
  for (TChartSeries* s : list)
    if (i < s->PointCount()) {
      const bool positions = ShowsXColumn(s);
      s->Delete(i);
      if (!positions) s->NotMandatoryList->FillSequence();
      s->StoreDataAlways = true;
    }
  RebuildGrid();
  Changed();
}

// ---------------------------------------------------------------------------------------------
// Mouse and keys

void TCustomChartGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (CanFocus() && !Focused()) SetFocus();
  TCustomControl::MouseDown(Button, Shift, X, Y);
  int col, row;
  MouseToCell(X, Y, col, row);
  if (Button == mbLeft && col > 0 && row >= FFixedRows) {
    if (Shift.Contains(ssDouble) && col == ColorsColumn() && AllowEditing)
      EditPointColor();
    else
      MoveTo(col, row);
  } else if (Button == mbLeft && col >= 2 && row >= 0 && row < FFixedRows && !EditorMode() && FRowCount > FFixedRows) {
    // A click on a column's header selects its data rows.
    MoveTo(col, FFixedRows);
    FSelection = TRect(col, FFixedRows, col, FRowCount - 1);
    Invalidate();
  }
  Changed();
}

void TCustomChartGrid::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  int col, row;
  MouseToCell(X, Y, col, row);
  TChartSeries* s = nullptr;
  TColor c;
  SetCursor(AllowEditing && FShowColors && ColorCellSeries(col, row, s, c) ? crHandPoint : crDefault);
}

void TCustomChartGrid::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0) return;
  const bool ctrl = Shift.Contains(ssCtrl);
  if (FCol == ColorsColumn() && (Key == VK_RETURN || Key == VK_SPACE || Key == VK_F1 + 1)) {
    EditPointColor();
    return;
  }
  // Ctrl+Tab turns the pages of the page control the grid sits in.
  if (Key == VK_TAB && ctrl) return;
  switch (Key) {
    case VK_UP:
      if (FRow == FRowCount - 1 && FRow > FFixedRows) {
        // Up right after appending a row takes it back.
        TChartSeries* s = RowSeries();
        const int i = FRow - FFixedRows;
        if (s && i == s->PointCount() - 1 && s->IsNullPoint(i) && s->LabelAt(i).empty()) {
          s->Delete(i);
          RebuildGrid();
        }
      }
      MoveTo(FCol, FRow - 1);
      break;
    case VK_DOWN:
      if (FRow == FRowCount - 1)
        AppendRow();
      else
        MoveTo(FCol, FRow + 1);
      break;
    case VK_LEFT:
      MoveTo(FCol - 1, FRow);
      break;
    case VK_RIGHT:
      MoveTo(FCol + 1, FRow);
      break;
    case VK_TAB:
      // Ctrl+Tab is the page control's: it turns the pages of the dialog holding the grid.
      if (ctrl) return;
      MoveTo(FCol + (Shift.Contains(ssShift) ? -1 : 1), FRow);
      break;
    case VK_NEXT:
      SetTopRow(FTopRow + VisibleDataRows());
      MoveTo(FCol, FRow + VisibleDataRows());
      break;
    case VK_PRIOR:
      SetTopRow(FTopRow - VisibleDataRows());
      MoveTo(FCol, FRow - VisibleDataRows());
      break;
    case VK_HOME:
      if (ctrl) MoveTo(FCol, FFixedRows);
      break;
    case VK_END:
      if (ctrl) MoveTo(FCol, FRowCount - 1);
      break;
    case VK_F1 + 1:
    case VK_RETURN:
      StartCellEdit();
      break;
    case VK_INSERT:
      InsertRow();
      break;
    case VK_DELETE:
      if (ctrl) {
        DeleteRow();
      } else if (!EditorMode()) {
        StartCellEdit();
        if (EditorMode()) FEditor->SetText("");
      }
      break;
    case VK_ESCAPE:
      EndCellEdit(true);
      break;
    default:
      return;
  }
  Key = 0;
}

// ---------------------------------------------------------------------------------------------

void TCustomChartGrid::ChartEvent(TGraphEvent* Event) {
  if (ComponentState().Contains(csDestroying)) return;
  if (auto* e = dynamic_cast<TGraphSeriesEvent*>(Event)) {
    if (e->Event == sekTitle || e->Event == sekColor || e->Event == sekActive) {
      Invalidate();
    } else {
      // A series removed while the grid shows only it: the grid lets it go.
      if (e->Event == sekRemoved && e->Series == FSeries) {
        FSeries->RemoveFreeNotification(this);
        FSeries = nullptr;
      }
      RebuildGrid();
    }
  }
}

// ---------------------------------------------------------------------------------------------
// TChartGridNavigator

TChartGridNavigator::TChartGridNavigator(TComponent* AOwner) : TCustomGraphNavigator(AOwner) {}

TChartGridNavigator::~TChartGridNavigator() {
  if (FGrid) {
    FGrid->OnGridChanged = nullptr;
    FGrid->OnCellSelected = nullptr;
    FGrid->RemoveFreeNotification(this);
  }
}

void TChartGridNavigator::SetGrid(TCustomChartGrid* Value) {
  if (FGrid) {
    FGrid->OnGridChanged = nullptr;
    FGrid->OnCellSelected = nullptr;
    FGrid->RemoveFreeNotification(this);
  }
  FGrid = Value;
  if (FGrid) {
    FGrid->FreeNotification(this);
    FGrid->OnGridChanged = [this](TObject*) { EnableButtons(); };
    FGrid->OnCellSelected = [this](int Row) { EnableButtonsAt(Row); };
  }
  EnableButtons();
}

void TChartGridNavigator::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomGraphNavigator::Notification(AComponent, Operation);
  if (Operation == opRemove && FGrid && AComponent == static_cast<TComponent*>(FGrid)) {
    FGrid = nullptr;
    EnableButtons();
  }
}

void TChartGridNavigator::EnableButtons() { EnableButtonsAt(FGrid ? FGrid->Row() : 0); }

void TChartGridNavigator::EnableButtonsAt(int Row) {
  if (!Buttons[0]) return;
  if (!FGrid || !Enabled()) {
    for (TGraphNavButton* b : Buttons) b->SetEnabled(false);
    return;
  }
  const int first = FGrid->FirstDataRow(), last = FGrid->RowCount() - 1;
  Buttons[nbFirst]->SetEnabled(Row > first);
  Buttons[nbPrior]->SetEnabled(Row > first);
  Buttons[nbNext]->SetEnabled(Row < last);
  Buttons[nbLast]->SetEnabled(Row < last);
  const bool hasSeries = FGrid->Series() || (FGrid->Chart() && FGrid->Chart()->SeriesList()->Count() > 0);
  const bool insert = (FGrid->AllowEditing && !FGrid->EditorMode() && hasSeries) || FGrid->Series();
  Buttons[nbInsert]->SetEnabled(insert);
  Buttons[nbDelete]->SetEnabled(FGrid->RowCount() > 1 && insert && FGrid->HasPoints());
  Buttons[nbEdit]->SetEnabled(insert);
  Buttons[nbPost]->SetEnabled(FGrid->EditorMode());
  Buttons[nbCancel]->SetEnabled(FGrid->EditorMode());
}

void TChartGridNavigator::BtnClick(TGraphNavigateBtn Button) {
  if (FGrid) {
    const int first = FGrid->FirstDataRow();
    switch (Button) {
      case nbFirst:
        if (FGrid->Row() > first) FGrid->SetRow(first);
        break;
      case nbPrior:
        if (FGrid->Row() > first) FGrid->SetRow(FGrid->Row() - 1);
        break;
      case nbNext:
        if (FGrid->Row() < FGrid->RowCount() - 1) FGrid->SetRow(FGrid->Row() + 1);
        break;
      case nbLast:
        FGrid->SetRow(FGrid->RowCount() - 1);
        break;
      case nbInsert:
        FGrid->InsertRow();
        break;
      case nbDelete:
        FGrid->DeleteRow();
        break;
      case nbEdit:
        if (FGrid->CanFocus()) FGrid->SetFocus();
        FGrid->StartCellEdit();
        break;
      case nbPost:
        FGrid->EndCellEdit(false);
        break;
      case nbCancel:
        FGrid->EndCellEdit(true);
        break;
    }
  }
  TCustomGraphNavigator::BtnClick(Button);
}
