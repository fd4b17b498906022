// The lighting tool: after the chart is drawn, darkens every pixel by an amount growing with its
// distance from a light point (linearly, or as a spotlight), so the chart looks lit by a lamp.
#pragma once

#include <cstdint>
#include <memory>

#include "chart/engine/tool_base.h"

class TBitmap;

enum TLightStyle { lsLinear, lsSpotLight };

class TLightTool : public TGraphCustomTool {
  VM_CLASS(TLightTool, TGraphCustomTool)
public:
  explicit TLightTool(TComponent* AOwner);
  ~TLightTool() override;

  void HandleChartStage(TToolDrawStage Stage) override;
  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void GetDescription(std::string& Text) override;
  void SetParentChart(TCustomAxisPanel* Value) override;
  static void ClassEditorName(std::string& Name) { Name = "TLightToolEditor"; }

  int32_t Factor() const { return FFactor; }
  void SetFactor(int32_t Value) { SetIntegerProperty(FFactor, Value); }
  bool FollowMouse() const { return FFollowMouse; }
  void SetFollowMouse(bool Value) { FFollowMouse = Value; }
  int32_t Left() const { return FLeft; }
  void SetLeft(int32_t Value) { SetIntegerProperty(FLeft, Value); }
  int32_t Top() const { return FTop; }
  void SetTop(int32_t Value) { SetIntegerProperty(FTop, Value); }
  TLightStyle Style() const { return FStyle; }
  void SetStyle(TLightStyle Value);

  // The light point in chart pixels: Left and Top, or the middle of the chart where they are -1.
  TPoint LightPoint() const;
  // Lights the chart now (the step that runs after each drawing).
  void LightChart();

private:
  int32_t FFactor = 10;
  bool FFollowMouse = false;
  int32_t FLeft = -1;
  int32_t FTop = -1;
  TLightStyle FStyle = lsLinear;
  std::unique_ptr<TBitmap> FCapture;
  bool FBusy = false;
};

// Darkens Source lit from (X0, Y0) into the shared result picture (24 bits, the size of Source)
// and returns it.
TBitmap* ApplyLight(TBitmap* Source, int32_t X0, int32_t Y0, int32_t Factor, bool Spot);
// Frees the shared result picture (module shutdown).
void FreeLightResult();
