// Axis tools: arrows at the ends of an axis that scroll it when clicked, dragging an axis' range
// with the mouse, and strips between the grid lines filled alternately with two brushes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "chart/engine/chart.h"
#include "chart/engine/tool_base.h"

enum TAxisArrowToolPosition { aaStart, aaEnd, aaBoth };
extern const TEnumInfo AxisArrowToolPositionInfo;

class TAxisArrowTool;
using TAxisArrowClickEvent = std::function<void(TAxisArrowTool* Sender, bool AtStart)>;

class TAxisArrowTool : public TGraphCustomToolAxis {
  VM_CLASS(TAxisArrowTool, TGraphCustomToolAxis)
public:
  explicit TAxisArrowTool(TComponent* AOwner);

  static void ClassEditorName(std::string& Name) { Name = "TAxisArrowToolEditor"; }
  void HandleChartStage(TToolDrawStage Stage) override;
  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;

  // -1 none, 0 the start arrow, 1 the end arrow.
  int HitTest(int X, int Y) const;
  void ScrollAxis(double Delta);

  int32_t HeadWidth() const { return FHeadWidth; }
  void SetHeadWidth(int32_t Value) { SetIntegerProperty(FHeadWidth, Value); }
  int32_t Length() const { return FLength; }
  void SetLength(int32_t Value) { SetIntegerProperty(FLength, Value); }
  TAxisArrowToolPosition Position() const { return FPosition; }
  void SetPosition(TAxisArrowToolPosition Value);
  int32_t ScrollPercent() const { return FScrollPercent; }
  void SetScrollPercent(int32_t Value) { FScrollPercent = Value; }
  bool ScrollInverted() const { return FScrollInverted; }
  void SetScrollInverted(bool Value) { FScrollInverted = Value; }
  int32_t SizePercent() const { return FSizePercent; }
  void SetSizePercent(int32_t Value) { SetIntegerProperty(FSizePercent, Value); }

  TAxisArrowClickEvent OnClick;

private:
  int32_t FHeadWidth = 8;
  int32_t FLength = 16;
  TAxisArrowToolPosition FPosition = aaBoth;
  int32_t FScrollPercent = 10;
  bool FScrollInverted = false;
  int32_t FSizePercent = 50;
};

class TAxisScrollTool : public TGraphCustomToolAxis {
  VM_CLASS(TAxisScrollTool, TGraphCustomToolAxis)
public:
  explicit TAxisScrollTool(TComponent* AOwner) : TGraphCustomToolAxis(AOwner) {}

  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;
  TChartAxis* AxisAt(int X, int Y) const;

  bool ScrollInverted() const { return FScrollInverted; }
  void SetScrollInverted(bool Value) { FScrollInverted = Value; }

private:
  bool FScrollInverted = false;
  int FOldX = 0, FOldY = 0;
  TChartAxis* FDragged = nullptr;
};

class TGridBandBrush : public TChartBrush {
  VM_CLASS(TGridBandBrush, TChartBrush)
public:
  explicit TGridBandBrush(const TNotifyEvent& OnChangeEvent = nullptr);
  ~TGridBandBrush() override;
  void Assign(TPersistent* Source) override;

  TColor BackColor() const { return FBackColor; }
  void SetBackColor(TColor Value);
  TGraphGradient* Gradient() const { return FGradient.get(); }
  void SetGradient(TGraphGradient* Value) { FGradient->Assign(Value); }
  TGraphTransparency Transparency() const { return FTransparency; }
  void SetTransparency(TGraphTransparency Value);

private:
  TColor FBackColor = clNone;
  std::unique_ptr<TGraphGradient> FGradient;
  TGraphTransparency FTransparency = 0;
};

class TGridBandTool : public TGraphCustomToolAxis {
  VM_CLASS(TGridBandTool, TGraphCustomToolAxis)
public:
  explicit TGridBandTool(TComponent* AOwner);
  ~TGridBandTool() override;

  static void ClassEditorName(std::string& Name) { Name = "TGridBandToolEdit"; }
  void GetDescription(std::string& Text) override;
  void SetAxis(TChartAxis* Value) override;

  void PaintBands(TChartAxis* Axis);
  TColor GetBandBackColor(TGridBandBrush* Brush) const;

  TGridBandBrush* Band1() const { return FBand1.get(); }
  void SetBand1(TGridBandBrush* Value) { FBand1->Assign(Value); }
  TGridBandBrush* Band2() const { return FBand2.get(); }
  void SetBand2(TGridBandBrush* Value) { FBand2->Assign(Value); }

private:
  void FillStrip(TGridBandBrush* Brush, int A, int B);

  std::unique_ptr<TGridBandBrush> FBand1;
  std::unique_ptr<TGridBandBrush> FBand2;
};
