// The cursor tool (a horizontal line, a vertical line or a crosshair over the axes, dragged or
// following the mouse, optionally snapping to a series) and the nearest-point tool (a mark on the
// point of a series nearest to the mouse). Both draw in exclusive-or mode.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "chart/engine/chart.h"
#include "chart/engine/tool_base.h"

enum TCursorToolStyle { cssHorizontal, cssVertical, cssBoth };
extern const TEnumInfo CursorToolStyleInfo;

class TCursorTool;
using TCursorToolChangeEvent = std::function<void(TCursorTool* Sender, int X, int Y, double XValue, double YValue,
                                                  TChartSeries* Series, int ValueIndex)>;

// The first and last index of a series' visible range; false when the range is not usable.
bool SeriesVisibleRange(TChartSeries* Series, int& First, int& Last);

class TCursorTool : public TGraphCustomToolSeries {
  VM_CLASS(TCursorTool, TGraphCustomToolSeries)
public:
  explicit TCursorTool(TComponent* AOwner);

  static void ClassEditorName(std::string& Name) { Name = "TCursorToolEditor"; }
  void HandleChartStage(TToolDrawStage Stage) override;
  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;
  void SetSeries(TChartSeries* Value) override;
  virtual void DoChange(int ValueIndex);

  int SeriesDepth() const;
  TRect AxesRect() const;
  // 0 none, 1 the horizontal line, 2 the vertical line, 3 the crossing.
  int HitTest(int X, int Y) const;
  void PixelsToValues(int X, int Y);
  void ValuesToPixels();
  int SnapToSeries();
  void DrawCursor();

  int ClickTolerance() const { return FClickTolerance; }
  void SetClickTolerance(int Value) { FClickTolerance = Value; }
  bool FollowMouse() const { return FFollowMouse; }
  void SetFollowMouse(bool Value) { FFollowMouse = Value; }
  bool Snap() const { return FSnap; }
  void SetSnap(bool Value) { FSnap = Value; }
  TCursorToolStyle Style() const { return FStyle; }
  void SetStyle(TCursorToolStyle Value);
  bool UseSeriesZ() const { return FUseSeriesZ; }
  void SetUseSeriesZ(bool Value) { SetBooleanProperty(FUseSeriesZ, Value); }

  TCursorToolChangeEvent OnChange;
  TCursorToolChangeEvent OnSnapChange;

  int DragKind = 0;
  int LastSnapIndex = -1;
  double XValue = 0, YValue = 0;
  int XPos = -1, YPos = -1;

private:
  void SnapAndRepaint();

  int FClickTolerance = 3;
  bool FFollowMouse = false;
  bool FSnap = false;
  TCursorToolStyle FStyle = cssBoth;
  bool FUseSeriesZ = false;
};

enum TNearestToolStyle { hsNone, hsCircle, hsRectangle, hsDiamond };
extern const TEnumInfo NearestToolStyleInfo;

class TNearestTool : public TGraphCustomToolSeries {
  VM_CLASS(TNearestTool, TGraphCustomToolSeries)
public:
  explicit TNearestTool(TComponent* AOwner);
  ~TNearestTool() override;

  static void ClassEditorName(std::string& Name) { Name = "TNearestToolEdit"; }
  void HandleChartStage(TToolDrawStage Stage) override;
  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;

  // The index of the series point nearest to the screen point, or -1.
  static int NearestPoint(TChartSeries* Series, int X, int Y, bool IncludeNulls);
  void PaintMark();

  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool Value) { FFullRepaint = Value; }
  TChartPen* LinePen() const { return FLinePen.get(); }
  void SetLinePen(TChartPen* Value) { FLinePen->Assign(Value); }
  bool DrawLine() const { return FLinePen->Visible(); }
  void SetDrawLine(bool Value) { FLinePen->SetVisible(Value); }
  int32_t Size() const { return FSize; }
  void SetSize(int32_t Value) { SetIntegerProperty(FSize, Value); }
  TNearestToolStyle Style() const { return FStyle; }
  void SetStyle(TNearestToolStyle Value);

  TNotifyEvent OnChange;
  int MouseX = 0, MouseY = 0;
  int NearestIndex = -1;

private:
  bool FFullRepaint = true;
  std::unique_ptr<TChartPen> FLinePen;
  int32_t FSize = 20;
  TNearestToolStyle FStyle = hsCircle;
};
