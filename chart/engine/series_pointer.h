// The point marker of a series, the callout arrow that joins a point to another position, and the
// callout of series marks.
#pragma once

#include <cstdint>
#include <memory>

#include "chart/engine/graph_effects.h"
#include "chart/engine/graph_shapes.h"

class TChartSeries;
class TCanvas3D;
class TSeriesMarkPosition;

enum TSeriesPointerStyle {
  psRectangle,
  psCircle,
  psTriangle,
  psDownTriangle,
  psCross,
  psDiagCross,
  psStar,
  psDiamond,
  psSmallDot,
  psNothing,
  psLeftTriangle,
  psRightTriangle
};
extern const TEnumInfo SeriesPointerStyleInfo;

enum TArrowHeadStyle { ahNone, ahLine, ahSolid };
extern const TEnumInfo ArrowHeadStyleInfo;

class TSeriesPointer : public TGraphCustomShapeBrushPen {
  VM_CLASS(TSeriesPointer, TGraphCustomShapeBrushPen)
public:
  explicit TSeriesPointer(TChartSeries* AOwner = nullptr);
  ~TSeriesPointer() override;

  void Assign(TPersistent* Source) override;

  static void CheckSize(int32_t Value);
  int32_t HorizSize() const { return FHorizSize; }
  void SetHorizSize(int32_t Value);
  int32_t VertSize() const { return FVertSize; }
  void SetVertSize(int32_t Value);
  void AssignHorizSize(int32_t Value) { FHorizSize = Value; }
  void AssignVertSize(int32_t Value) { FVertSize = Value; }
  TSeriesPointerStyle Style() const { return FStyle; }
  void SetStyle(TSeriesPointerStyle Value);
  bool Draw3D() const { return FDraw3D; }
  void SetDraw3D(bool Value);
  bool Dark3D() const { return FDark3D; }
  void SetDark3D(bool Value);
  bool InflateMargins() const { return FInflateMargins; }
  void SetInflateMargins(bool Value);
  TGraphGradient* Gradient() const { return FGradient.get(); }
  void SetGradient(TGraphGradient* Value) { FGradient->Assign(Value); }
  int32_t Transparency() const { return FTransparency; }
  void SetTransparency(int32_t Value);
  TColor GetColor() const;
  void SetColor(TColor Value);

  void WidenHorizMargins(int32_t& Left, int32_t& Right) const;
  void WidenVertMargins(int32_t& Top, int32_t& Bottom) const;
  void SetUpCanvas(TCanvas3D* Canvas, TColor ColorValue);
  void SetUpCanvasOwnColor();
  void DrawPointerShape(TCanvas3D* Canvas, bool Is3D, int X, int Y, int HorizSize, int VertSize, TColor ColorValue,
                        TSeriesPointerStyle AStyle);
  void DrawAt(int X, int Y);
  void DrawAtRect(const TRect& Rect) { DrawAt(Rect.Left, Rect.Top); }
  void DrawStyledAt(int X, int Y, TColor Color, TSeriesPointerStyle AStyle);

  TChartSeries* OwnerSeries = nullptr;
  bool SizeEditable = true;
  bool KeepGradientColor = false;

protected:
  TSeriesPointer(TChartSeries* AOwner, TChartBrushClass BrushClass);
  TCanvas3D* ChartCanvas() const;
  bool ChartIs3D() const;
  void Depths(int& Z0, int& ZM, int& Z1) const;

  int32_t FHorizSize = 4;
  int32_t FVertSize = 4;
  TSeriesPointerStyle FStyle = psRectangle;
  bool FDraw3D = true;
  bool FDark3D = true;
  bool FInflateMargins = true;
  std::unique_ptr<TGraphGradient> FGradient;
  int32_t FTransparency = 0;

private:
  void FillGradient(TCanvas3D* Canvas, bool Is3D, int Left, int Top, int Right, int Bottom, int X, int Y,
                    TColor ColorValue, TSeriesPointerStyle AStyle, int Z0);
};

// The brush of callouts: black unless set otherwise.
class TCalloutBrush : public TChartBrush {
  VM_CLASS(TCalloutBrush, TChartBrush)
public:
  explicit TCalloutBrush(const TNotifyEvent& OnChangeEvent = nullptr);
};

class TCallout : public TSeriesPointer {
  VM_CLASS(TCallout, TSeriesPointer)
public:
  explicit TCallout(TChartSeries* AOwner = nullptr);
  ~TCallout() override;

  void Assign(TPersistent* Source) override;

  TChartPen* Arrow() const { return FArrow.get(); }
  void SetArrow(TChartPen* Value) { FArrow->Assign(Value); }
  TArrowHeadStyle ArrowHead() const { return FArrowHead; }
  void SetArrowHead(TArrowHeadStyle Value);
  int32_t ArrowHeadSize() const { return FArrowHeadSize; }
  void SetArrowHeadSize(int32_t Value);
  int32_t Distance() const { return FDistance; }
  void SetDistance(int32_t Value);

  void DrawCallout(TColor ColorValue, const TPoint& PointA, const TPoint& PointB, int Z);

protected:
  std::unique_ptr<TChartPen> FArrow;
  TArrowHeadStyle FArrowHead = ahNone;
  int32_t FArrowHeadSize = 8;
  int32_t FDistance = 0;
};

class TMarksCallout : public TCallout {
  VM_CLASS(TMarksCallout, TCallout)
public:
  explicit TMarksCallout(TChartSeries* AOwner = nullptr);

  void Assign(TPersistent* Source) override;
  int32_t Length() const { return FLength; }
  void SetLength(int32_t Value);
  void ApplyLength(TSeriesMarkPosition& Position) const;
  // The length a new series of the owner's type starts with; Length is stored when it differs.
  int32_t DefaultLength = 8;
  void SetStartLength(int32_t Value) {
    DefaultLength = Value;
    SetLength(Value);
  }

private:
  int32_t FLength = 8;
};
