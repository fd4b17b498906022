// The selector: a click selects a part of the chart (legend, a title, an axis, a series point or
// mark, the chart area, an annotation), small square handles mark it, the legend, titles and
// annotations may be dragged to a new place, and, when allowed, the chart is resized from its
// bottom-right corner.
#pragma once

#include <cstdint>
#include <string>

#include "chart/engine/chart.h"
#include "chart/engine/tool_base.h"

class TAnnotationTool;

class TSelectorTool : public TGraphCustomTool {
  VM_CLASS(TSelectorTool, TGraphCustomTool)
public:
  explicit TSelectorTool(TComponent* AOwner);

  static void ClassEditorName(std::string& Name) { Name = "TSelectorToolEditor"; }
  void GetDescription(std::string& Text) override;
  void HandleChartStage(TToolDrawStage Stage) override;
  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // Repaints and tells OnSelected.
  virtual void SelectionChanged();
  // Clears the selection (nothing selected: the whole chart).
  void ClearSelection();

  // -- the selection ------------------------------------------------------------------------------
  const TChartPartHit& Part() const { return FPart; }
  TAnnotationTool* Annotation() const { return FAnnotation; }
  TGraphCustomShapePosition* Shape() const { return FShape; }
  TCustomChartWall* Wall() const { return FWall; }
  bool Resizing() const { return FResizing; }
  // The handle squares the last drawing showed, by their centres.
  const std::vector<TPoint>& Handles() const { return FHandles; }

  // -- properties ---------------------------------------------------------------------------------
  bool AllowDrag() const { return FAllowDrag; }
  void SetAllowDrag(bool Value) { FAllowDrag = Value; }
  bool AllowResizeChart() const { return FAllowResizeChart; }
  void SetAllowResizeChart(bool Value) { FAllowResizeChart = Value; }
  int32_t HandleSize() const { return FHandleSize; }
  void SetHandleSize(int32_t Value) { SetIntegerProperty(FHandleSize, Value); }

  TNotifyEvent OnSelected;
  TNotifyEvent OnDragging;
  TNotifyEvent OnDragged;
  TNotifyEvent OnResizing;
  TNotifyEvent OnResized;

private:
  void MouseDown(int X, int Y);
  void MouseMove(int X, int Y);
  void MouseUp();
  void DrawHandle(int X, int Y, int Z, bool Flat);
  void DrawRectHandles(const TRect& R);
  void DrawSeriesHandles();

  bool FAllowDrag = true;
  bool FAllowResizeChart = false;
  int32_t FHandleSize = 3;

  TChartPartHit FPart;
  TAnnotationTool* FAnnotation = nullptr;
  TGraphCustomShapePosition* FShape = nullptr;
  TCustomChartWall* FWall = nullptr;
  bool FCanDrag = false, FDragged = false;
  int32_t FOffsetX = 0, FOffsetY = 0;
  bool FResizing = false, FResized = false;
  bool FKeepingBaseLayer = false;  // this tool asked the chart to keep its base layer
  std::vector<TPoint> FHandles;
};

void RegisterSelectorTool();
void UnregisterSelectorTool();
