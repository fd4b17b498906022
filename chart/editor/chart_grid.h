// The chart grid: the points of one series, or of every series of a chart side by side, as a
// spreadsheet whose cells edit values, point labels and point colours, with rows appended,
// inserted and deleted; or the first 3D series of a chart as a matrix of X columns and Z rows.
// The grid navigator drives it with the navigator bar.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "chart/engine/graph_panel.h"
#include "chart/engine/series_base.h"
#include "chart/extra/graph_navigator.h"
#include "platform/controls.h"

class TCustomChart;
class TEdit;
class TCustomChartGrid;

enum TChartGridShow { cgsAuto, cgsNo, cgsYes };

using TEditingCellEvent = std::function<void(TCustomChartGrid* Sender, int ACol, int ARow, bool& Allow)>;
using TSetEditEvent = std::function<void(TCustomChartGrid* Sender, int ACol, int ARow, const std::string& Value)>;

class TCustomChartGrid : public TCustomControl, public IChartEventListener {
  VM_CLASS(TCustomChartGrid, TCustomControl)
public:
  explicit TCustomChartGrid(TComponent* AOwner);
  ~TCustomChartGrid() override;

  // -- the grid ------------------------------------------------------------------------------------
  int ColCount() const { return static_cast<int>(FColWidths.size()); }
  int RowCount() const { return FRowCount; }
  int FixedRows() const { return FFixedRows; }
  int Col() const { return FCol; }
  int Row() const { return FRow; }
  // Moves the current cell (a data cell: column above 0, row at or below the first data row).
  void SetCol(int Value) { MoveTo(Value, FRow); }
  void SetRow(int Value) { MoveTo(FCol, Value); }
  int TopRow() const { return FTopRow; }
  void SetTopRow(int Value);
  int ColWidth(int Col) const { return FColWidths.at(static_cast<size_t>(Col)); }
  int RowHeight(int Row) const { return Row == 0 ? kRow0Height : FDefaultRowHeight; }
  // The height of every row but the first header row.
  int DefaultRowHeight() const { return FDefaultRowHeight; }
  void SetDefaultRowHeight(int Value);
  // Data rows that fit below the fixed rows.
  int VisibleDataRows() const;
  bool EditorMode() const;
  TEdit* InplaceEditor() const { return FEditor; }
  // The selected cells: the current cell, or a whole column picked by a click on its header.
  TRect Selection() const { return FSelection; }
  bool IsSelected(int ACol, int ARow) const;
  // The cell at a client point (-1 when none).
  void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
  TRect CellRect(int ACol, int ARow) const;
  static constexpr int kDefaultRowHeight = 16, kRow0Height = 20, kDefaultColWidth = 64;
  bool AllowEditing = true;

  // -- what it shows -------------------------------------------------------------------------------
  TCustomChart* Chart() const { return FChart; }
  void SetChart(TCustomChart* Value);
  TChartSeries* Series() const { return FSeries; }
  void SetSeries(TChartSeries* Value);
  bool ShowColors() const { return FShowColors; }
  void SetShowColors(bool Value);
  bool ShowLabels() const { return FShowLabels; }
  void SetShowLabels(bool Value);
  TChartGridShow ShowXValues() const { return FShowXValues; }
  void SetShowXValues(TChartGridShow Value);
  bool TitleRow() const { return FTitleRow; }
  void SetTitleRow(bool Value);
  bool ShowGrid3D() const { return FGrid3D; }
  void SetGrid3D(bool Value);
  int FirstDataRow() const { return FTitleRow ? 2 : 1; }
  int ColorsColumn() const { return FShowColors ? 1 : -1; }
  int LabelsColumn() const { return FShowLabels ? (FShowColors ? 2 : 1) : -1; }

  TNotifyEvent OnChangeColor;
  TEditingCellEvent OnEditingCell;
  TSetEditEvent OnSetEditText;

  // -- operations ----------------------------------------------------------------------------------
  std::string GetEditText(int ACol, int ARow);
  void SetEditText(int ACol, int ARow, const std::string& Value);
  void RebuildGrid();
  void ResetGrid();
  void InsertRow();
  void DeleteRow();
  void AppendRow();
  void StartCellEdit();
  void EndCellEdit(bool Restore);
  void SetCurrentPointColor(TColor Color);
  void EditPointColor();
  bool ColorCellSeries(int ACol, int ARow, TChartSeries*& Series, TColor& Color);
  bool HasPoints() const;
  // The series and value list shown in a value column (none for the others).
  TChartSeries* ColumnSeries(int ACol) const;
  int ColumnList(int ACol) const;
  // The point whose X is ACol and whose Z is data row Index + 1, or -1.
  int FindGridPoint(int Index, int ACol) const;

  // The navigator's hooks: the grid changed, a cell was selected.
  TNotifyEvent OnGridChanged;
  std::function<void(int Row)> OnCellSelected;

  void ChartEvent(TGraphEvent* Event) override;

protected:
  void Paint() override;
  void Resize() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Scrolled(int Kind, int Position) override;
  bool WantsKey(uint16_t Key) const override { return Key == VK_RETURN || Key == VK_ESCAPE; }
  void DrawCell(int ACol, int ARow, const TRect& Rect);

private:
  struct TColumn {
    TChartSeries* Series = nullptr;
    int List = -1;
  };
  void ListSeries(std::vector<TChartSeries*>& List) const;
  TChartSeries* Grid3DSeries() const;
  bool ShowsXColumn(TChartSeries* Series) const;
  TChartSeries* RowSeries() const;
  void MoveTo(int ACol, int ARow);
  void MakeVisible(int ARow);
  void UpdateScrollBar();
  void Attach(TCustomChart* Chart);
  void Detach();
  bool CanEditShow();
  void SetPointColor(TChartSeries* Series, int Index, TColor Color);
  std::string HeaderText(int ACol, int ARow);
  void Changed();

  TCustomChart* FChart = nullptr;
  TChartSeries* FSeries = nullptr;
  TCustomChart* FListened = nullptr;
  bool FShowColors = false, FShowLabels = true, FTitleRow = true, FGrid3D = false;
  TChartGridShow FShowXValues = cgsAuto;
  std::vector<int> FColWidths{30};
  std::vector<TColumn> FColumns{TColumn()};
  std::vector<double> FXs, FZs;  // 3D view: the distinct X and Z values
  int FRowCount = 2, FFixedRows = 2, FCol = 0, FRow = 2, FTopRow = 2, FLeftCol = 1;
  TEdit* FEditor = nullptr;
  std::string FOldText;
  bool FWasEmpty = false;
  TRect FSelection{0, 2, 0, 2};
  int FDefaultRowHeight = kDefaultRowHeight;  // Left and Top to Right and Bottom, all included
};

class TChartGrid : public TCustomChartGrid {
  VM_CLASS(TChartGrid, TCustomChartGrid)
public:
  using TCustomChartGrid::TCustomChartGrid;
};

class TChartGridNavigator : public TCustomGraphNavigator {
  VM_CLASS(TChartGridNavigator, TCustomGraphNavigator)
public:
  explicit TChartGridNavigator(TComponent* AOwner);
  ~TChartGridNavigator() override;
  TCustomChartGrid* Grid() const { return FGrid; }
  void SetGrid(TCustomChartGrid* Value);
  void EnableButtons() override;
  void EnableButtonsAt(int Row);
  void BtnClick(TGraphNavigateBtn Button) override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TCustomChartGrid* FGrid = nullptr;
};
