// The surface-nearest tool: colours the cell of a surface series under the mouse, and the row and
// column through it.
#pragma once

#include <functional>
#include <string>

#include "chart/engine/tool_base.h"

// How the tool reaches a surface series: whether a series is one, and the column and row steps
// of its drawing order. The surface series' registration fills these in; left empty, a series whose
// class (or an ancestor) is named "TSurfaceSeries" is one, drawn with steps +1 and +1.
struct TSurfaceCellAccess {
  std::function<bool(TChartSeries* Series)> IsSurface;
  std::function<void(TChartSeries* Series, int32_t& ColumnStep, int32_t& RowStep)> DrawSteps;
};
extern TSurfaceCellAccess SurfaceCellAccess;

class TSurfaceNearestTool : public TGraphCustomToolSeries {
  VM_CLASS(TSurfaceNearestTool, TGraphCustomToolSeries)
public:
  explicit TSurfaceNearestTool(TComponent* AOwner) : TGraphCustomToolSeries(AOwner) {}

  // Anything but a surface series becomes none.
  void SetSeries(TChartSeries* Value) override;
  TColor CellColor() const { return FCellColor; }
  void SetCellColor(TColor V) { SetColorProperty(FCellColor, V); }
  TColor RowColor() const { return FRowColor; }
  void SetRowColor(TColor V) { SetColorProperty(FRowColor, V); }
  TColor ColumnColor() const { return FColumnColor; }
  void SetColumnColor(TColor V) { SetColorProperty(FColumnColor, V); }
  // The point of the cell under the mouse, -1 for none.
  int32_t CellIndex() const { return FCell; }

  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;
  static void ClassEditorName(std::string& Name) { Name = "TSurfaceNearest"; }

  TNotifyEvent OnSelectCell;

private:
  TColor FCellColor = clRed, FRowColor = clBlue, FColumnColor = clGreen;
  int32_t FCell = -1;
};

void RegisterSurfaceNearestTool();
void UnregisterSurfaceNearestTool();
