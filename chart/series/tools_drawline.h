// The draw-line tool: straight lines the user draws, selects and drags on a chart, kept in axis
// values so that they follow zooming and scrolling.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "chart/engine/chart.h"
#include "chart/engine/tool_base.h"
#include "platform/collection.h"

enum TDrawLineStyle { dlLine, dlHorizParallel, dlVertParallel };
extern const TEnumInfo DrawLineStyleInfo;
// The mouse buttons by name, for the tools that publish one.
extern const TEnumInfo ToolMouseButtonInfo;

class TDrawLineTool;

class TDrawLine : public TCollectionItem {
  VM_CLASS(TDrawLine, TCollectionItem)
public:
  explicit TDrawLine(TCollection* Collection);
  ~TDrawLine() override;

  void Assign(TPersistent* Source) override;
  TDrawLineTool* Parent() const;

  // The line's own pen, made on first read as a copy of the tool's pen.
  TChartPen* Pen();
  bool HasOwnPen() const { return FPen != nullptr; }
  // nullptr frees the own pen; anything else is copied into it.
  void SetPen(TChartPen* Value);
  TDrawLineStyle Style() const { return FStyle; }
  void SetStyle(TDrawLineStyle Value);
  double X0() const { return FX0; }
  void SetX0(double Value);
  double Y0() const { return FY0; }
  void SetY0(double Value);
  double X1() const { return FX1; }
  void SetX1(double Value);
  double Y1() const { return FY1; }
  void SetY1(double Value);

  TRect StartHandle() const;
  TRect EndHandle() const;
  // Which piece of the line: 0 the body, 1 the start handle, 2 the end handle.
  bool HitTest(int X, int Y, int Part, int Tolerance) const;
  TPoint StartPoint() const;
  TPoint EndPoint() const;

private:
  std::unique_ptr<TChartPen> FPen;
  TDrawLineStyle FStyle = dlLine;
  double FX0 = 0, FY0 = 0, FX1 = 0, FY1 = 0;
};

class TDrawLines : public TOwnedCollection {
  VM_CLASS(TDrawLines, TOwnedCollection)
public:
  explicit TDrawLines(TPersistent* AOwner);
  TDrawLine* Line(int Index) const { return static_cast<TDrawLine*>(Items(Index)); }
  TDrawLine* AddLine() { return static_cast<TDrawLine*>(Add()); }
};

using TDrawLineSelecting = std::function<void(TDrawLineTool* Sender, TDrawLine* Line, bool& AllowSelect)>;

class TDrawLineTool : public TGraphCustomToolSeries {
  VM_CLASS(TDrawLineTool, TGraphCustomToolSeries)
public:
  explicit TDrawLineTool(TComponent* AOwner);
  ~TDrawLineTool() override;

  static void ClassEditorName(std::string& Name) { Name = "TDrawLineEdit"; }
  void HandleChartStage(TToolDrawStage Stage) override;
  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;
  virtual void ClipDrawingRegion();

  TPoint ValueToScreen(double X, double Y) const;
  void ScreenToValue(const TPoint& P, double& X, double& Y) const;
  TDrawLine* LineAt(int X, int Y, int Part, int Tolerance) const;
  TDrawLine* ClickedLine(int X, int Y) const;
  void DrawLineShape(const TPoint& A, const TPoint& B, TDrawLineStyle Style);
  void DrawRubberLine(TDrawLine* Line);

  TMouseButton Button() const { return FButton; }
  void SetButton(TMouseButton Value) { FButton = Value; }
  int ClickTolerance() const { return FClickTolerance; }
  void SetClickTolerance(int Value) { FClickTolerance = Value; }
  bool EnableDraw() const { return FEnableDraw; }
  void SetEnableDraw(bool Value) { FEnableDraw = Value; }
  bool EnableSelect() const { return FEnableSelect; }
  void SetEnableSelect(bool Value);
  TDrawLines* Lines() const { return FLines.get(); }
  void SetLines(TDrawLines* Value) { FLines->Assign(Value); }
  bool SelectNewLines() const { return FSelectNewLines; }
  void SetSelectNewLines(bool Value) { FSelectNewLines = Value; }
  TDrawLine* Selected() const { return FSelected; }
  void SetSelected(TDrawLine* Value) { FSelected = Value; }

  TNotifyEvent OnDraggedLine;
  TNotifyEvent OnDragLine;
  TNotifyEvent OnNewLine;
  TNotifyEvent OnSelect;
  TDrawLineSelecting OnSelecting;

  bool Drawing = false;
  bool Dragged = false;
  TPoint LastMouse{0, 0};
  int DragPart = 0;
  TPoint FromPoint{0, 0}, ToPoint{0, 0};

private:
  void DrawHandles(TDrawLine* Line);

  TMouseButton FButton = mbLeft;
  int FClickTolerance = 0;
  bool FEnableDraw = true;
  bool FEnableSelect = true;
  std::unique_ptr<TDrawLines> FLines;
  bool FSelectNewLines = true;
  TDrawLine* FSelected = nullptr;
  // The line a press grabbed (the selected one, or one whose selection was refused).
  TDrawLine* FGrabbed = nullptr;
};
