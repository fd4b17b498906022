// The four walls that frame the plotting area (the back wall is also the background in 2D) and the
// four titles that take their strips off the chart rectangle.
#pragma once

#include <cstdint>
#include <memory>

#include "chart/engine/legend.h"
#include "platform/strings.h"

class TCustomChart;

class TCustomChartWall : public TGraphCustomShape {
  VM_CLASS(TCustomChartWall, TGraphCustomShape)
public:
  explicit TCustomChartWall(TCustomChart* AChart);
  void Assign(TPersistent* Source) override;

  bool AutoHide() const { return FAutoHide; }
  void SetAutoHide(bool Value);
  bool Dark3D() const { return FDark3D; }
  void SetDark3D(bool Value);
  int32_t Size() const { return FSize; }
  void SetSize(int32_t Value);
  // Sets Color and remembers it as the colour compared with when streaming.
  void SetDefaultColor(TColor Value);
  TColor DefaultColor() const { return FDefaultColor; }
  bool IsColorStored() const { return Color() != FDefaultColor; }

  TCustomChart* Chart;

private:
  bool FAutoHide = false;
  bool FDark3D = true;
  int32_t FSize = 0;
  TColor FDefaultColor = clDefault;
};

class TChartWall : public TCustomChartWall {
  VM_CLASS(TChartWall, TCustomChartWall)
public:
  using TCustomChartWall::TCustomChartWall;
};

class TChartBackWall : public TChartWall {
  VM_CLASS(TChartBackWall, TChartWall)
public:
  explicit TChartBackWall(TCustomChart* AChart);
};

class TChartRightWall : public TChartWall {
  VM_CLASS(TChartRightWall, TChartWall)
public:
  explicit TChartRightWall(TCustomChart* AChart);
};

class TChartWalls : public TPersistent {
  VM_CLASS(TChartWalls, TPersistent)
public:
  explicit TChartWalls(TCustomChart* AChart);
  ~TChartWalls() override;
  void Assign(TPersistent* Source) override;

  int32_t Size() const;
  void SetSize(int32_t Value);
  bool View3D() const;
  void SetView3D(bool Value);

  std::unique_ptr<TChartBackWall> Back;
  std::unique_ptr<TChartWall> Left;
  std::unique_ptr<TChartWall> Bottom;
  std::unique_ptr<TChartRightWall> Right;
  TCustomChart* Chart;
};

class TChartTitle : public TGraphCustomShapePosition {
  VM_CLASS(TChartTitle, TGraphCustomShapePosition)
public:
  explicit TChartTitle(TCustomChart* AChart);
  ~TChartTitle() override;
  void Assign(TPersistent* Source) override;

  void DrawTitle();
  bool Clicked(int32_t X, int32_t Y);
  void GetTitleRect(TRect& Rect) { Rect = BoxRect; }

  bool AdjustFrame() const { return FAdjustFrame; }
  void SetAdjustFrame(bool Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TStrings* Text() const { return FText.get(); }
  void SetText(TStrings* Value);

  // Laid out from the bottom of the chart rectangle (the foot titles).
  bool IsFoot = false;
  TCustomChart* Chart;

private:
  bool FAdjustFrame = true;
  TAlignment FAlignment = taCenter;
  std::unique_ptr<TStringList> FText;
};

class TChartFootTitle : public TChartTitle {
  VM_CLASS(TChartFootTitle, TChartTitle)
public:
  explicit TChartFootTitle(TCustomChart* AChart);
};

// Pixels between a title and the chart rectangle.
extern int32_t ChartTitleGap;
