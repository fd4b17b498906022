// Turning a chart in 3D with the mouse, animating a series' values, clipping one series to its
// axes, and dragging a point of a series.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "chart/engine/chart.h"
#include "chart/engine/tool_base.h"

enum TRotateToolStyles { rsAll, rsRotation, rsElevation };
extern const TEnumInfo RotateToolStylesInfo;

class TRotateTool : public TGraphCustomTool {
  VM_CLASS(TRotateTool, TGraphCustomTool)
public:
  explicit TRotateTool(TComponent* AOwner);

  static void ClassEditorName(std::string& Name) { Name = "TRotateToolEditor"; }
  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;

  TMouseButton Button() const { return FButton; }
  void SetButton(TMouseButton Value) { FButton = Value; }
  bool Inverted() const { return FInverted; }
  void SetInverted(bool Value) { FInverted = Value; }
  TRotateToolStyles Style() const { return FStyle; }
  void SetStyle(TRotateToolStyles Value) { FStyle = Value; }
  bool Rotating() const { return FRotating; }

  TNotifyEvent OnRotate;

private:
  // Draws the chart cube's outline in exclusive-or mode, or erases the one drawn before.
  void DrawOutline();
  void EraseOutline();

  TMouseButton FButton = mbLeft;
  bool FInverted = false;
  TRotateToolStyles FStyle = rsAll;
  int FOldX = 0, FOldY = 0;
  bool FRotating = false;
  bool FFirstMove = true;
  bool FSavedRepaint = true;
  std::vector<std::pair<TPoint, TPoint>> FOutline;
};

enum TSeriesAnimationLoop { salNo, salOneWay, salCircular };
extern const TEnumInfo SeriesAnimationLoopInfo;

class TSeriesAnimationTool;
using TSeriesAnimationStep = std::function<void(TSeriesAnimationTool* Sender, int Step)>;

class TSeriesAnimationTool : public TGraphCustomToolSeries {
  VM_CLASS(TSeriesAnimationTool, TGraphCustomToolSeries)
public:
  explicit TSeriesAnimationTool(TComponent* AOwner) : TGraphCustomToolSeries(AOwner) {}
  ~TSeriesAnimationTool() override;

  static void ClassEditorName(std::string& Name) { Name = "TSeriesAnimToolEditor"; }
  void GetDescription(std::string& Text) override;
  virtual void Play();
  bool Running() const { return !FStopped; }
  void Stop() { FStopped = true; }

  int32_t DrawEvery() const { return FDrawEvery; }
  void SetDrawEvery(int32_t Value) { FDrawEvery = Value; }
  TSeriesAnimationLoop Loop() const { return FLoop; }
  void SetLoop(TSeriesAnimationLoop Value) { FLoop = Value; }
  double StartValue() const { return FStartValue; }
  void SetStartValue(double Value) { FStartValue = Value; }
  int32_t Steps() const { return FSteps; }
  void SetSteps(int32_t Value) { FSteps = Value; }
  bool StartAtMin() const { return FStartAtMin; }
  void SetStartAtMin(bool Value) { FStartAtMin = Value; }

  TSeriesAnimationStep OnStep;

private:
  // One pass; false when a stop ended it.
  bool Pass(bool Forward);
  void Refresh();

  int32_t FDrawEvery = 0;
  TSeriesAnimationLoop FLoop = salNo;
  double FStartValue = 0;
  int32_t FSteps = 100;
  bool FStartAtMin = true;
  bool FStopped = true;
  bool FPlaying = false;
  std::vector<double> FBackup;
};

class TClipSeriesTool : public TGraphCustomToolSeries {
  VM_CLASS(TClipSeriesTool, TGraphCustomToolSeries)
public:
  explicit TClipSeriesTool(TComponent* AOwner) : TGraphCustomToolSeries(AOwner) {}
  ~TClipSeriesTool() override;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void GetDescription(std::string& Text) override;
  void SetSeries(TChartSeries* Value) override;
  bool Clipped() const { return FClipped; }

private:
  void BeforeDraw();
  void AfterDraw();
  bool FClipped = false;
};

enum TDragPointStyle { dsX, dsY, dsBoth };
extern const TEnumInfo DragPointStyleInfo;

class TDragPointTool;
using TDragPointToolEvent = std::function<void(TDragPointTool* Sender, int Index)>;

class TDragPointTool : public TGraphCustomToolSeries {
  VM_CLASS(TDragPointTool, TGraphCustomToolSeries)
public:
  explicit TDragPointTool(TComponent* AOwner) : TGraphCustomToolSeries(AOwner) {}

  static void ClassEditorName(std::string& Name) { Name = "TDragPointToolEdit"; }
  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;
  static double AxisValueAt(TChartAxis* Axis, int Pixel);

  TDragPointStyle DragStyle() const { return FDragStyle; }
  void SetDragStyle(TDragPointStyle Value) { FDragStyle = Value; }
  int DraggedIndex() const { return FIndex; }

  TDragPointToolEvent OnDragPoint;

private:
  TDragPointStyle FDragStyle = dsBoth;
  int FIndex = -1;
};
