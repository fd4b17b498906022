// Tools that drag Gantt bars, number the pages of a paged chart and swap the X and Z values of a
// 3D grid series.
#pragma once

#include <functional>
#include <string>

#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/engine/tool_base.h"
#include "chart/series/tools_annotation.h"

class TGanttSeries;
class TCustom3DGridSeries;

enum TGanttToolBarPart { pbStart, pbAll, pbEnd };

class TGanttTool;
using TGanttDragEvent = std::function<void(TGanttTool* Sender, int GanttBar)>;
using TGanttResizeEvent = std::function<void(TGanttTool* Sender, int GanttBar, TGanttToolBarPart BarPart)>;

// Drags the bars of its Gantt series along the time axis and stretches either end of a bar.
class TGanttTool : public TGraphCustomToolSeries {
  VM_CLASS(TGanttTool, TGraphCustomToolSeries)
public:
  explicit TGanttTool(TComponent* AOwner);

  bool AllowDrag() const { return FAllowDrag; }
  void SetAllowDrag(bool Value) { FAllowDrag = Value; }
  bool AllowResize() const { return FAllowResize; }
  void SetAllowResize(bool Value) { FAllowResize = Value; }
  TCursor CursorDrag() const { return FCursorDrag; }
  void SetCursorDrag(TCursor Value) { FCursorDrag = Value; }
  TCursor CursorResize() const { return FCursorResize; }
  void SetCursorResize(TCursor Value) { FCursorResize = Value; }
  int32_t MinPixels() const { return FMinPixels; }
  void SetMinPixels(int32_t Value) { FMinPixels = Value; }

  // The bar being dragged (-1 for none) and the part of it that was grabbed.
  int32_t PressedBar() const { return FBar; }
  TGanttToolBarPart PressedPart() const { return FPart; }

  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;
  static void ClassEditorName(std::string& Name) { Name = "TGanttToolEditor"; }

  TGanttDragEvent OnDragBar;
  TGanttResizeEvent OnResizeBar;

private:
  TGanttSeries* Gantt() const;
  // The bar whose end lies within MinPixels of X on the row at Y, with the end that was hit.
  int32_t BarEndAt(TGanttSeries* S, int X, int Y, TGanttToolBarPart& Part) const;

  bool FAllowDrag = true;
  bool FAllowResize = true;
  TCursor FCursorDrag = crHandPoint;
  TCursor FCursorResize = crSizeWE;
  int32_t FMinPixels = 5;
  int32_t FBar = -1;
  TGanttToolBarPart FPart = pbAll;
  double FLastValue = 0;
};

// An annotation that states the chart's current page and its page count.
class TPageNumTool : public TAnnotationTool {
  VM_CLASS(TPageNumTool, TAnnotationTool)
public:
  explicit TPageNumTool(TComponent* AOwner);

  const std::string& Format() const { return Text(); }
  void SetFormat(const std::string& Value) { SetText(Value); }
  bool FormatStored() const { return Text() != MsgPageOfPages; }

  std::string GetText() override;
  void GetDescription(std::string& Text) override;
};

// Swaps the X and Z values of a 3D grid series when asked (TransposeGrid).
class TGridTransposeTool : public TGraphCustomTool {
  VM_CLASS(TGridTransposeTool, TGraphCustomTool)
public:
  explicit TGridTransposeTool(TComponent* AOwner) : TGraphCustomTool(AOwner) {}

  TCustom3DGridSeries* Series() const { return FSeries; }
  void SetSeries(TCustom3DGridSeries* Value) { FSeries = Value; }
  TComponent* SeriesComponent() const;
  void SetSeriesComponent(TComponent* Value);

  void TransposeGrid();
  void GetDescription(std::string& Text) override;
  static void ClassEditorName(std::string& Name) { Name = "TGridTransposeToolEdit"; }
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TCustom3DGridSeries* FSeries = nullptr;
};

// The class of the page-number tool while its module runs (the paging page offers it then).
extern TGraphToolClass PageNumToolClass;

void RegisterGanttPageTools();
void UnregisterGanttPageTools();
