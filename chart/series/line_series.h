// The point-based series: lines, points and areas, horizontal or vertical, with stairs, stacking,
// an outline pass and per-point pointers. One routine (DrawOneValue) joins each point to the one
// before it and draws the pointers one point late, so they lie on top of the lines.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "chart/engine/graph_effects.h"
#include "chart/engine/series_base.h"
#include "chart/engine/series_pointer.h"

enum TCustomSeriesStack { cssNone, cssOverlap, cssStack, cssStack100 };
enum TMultiArea { maNone, maStacked, maStacked100 };
extern const TEnumInfo CustomSeriesStackInfo;
extern const TEnumInfo MultiAreaInfo;

using TSeriesClickPointerEvent = std::function<void(TChartSeries* Sender, int ValueIndex, int X, int Y)>;
using TOnGetPointerStyle = std::function<TSeriesPointerStyle(TChartSeries* Sender, int ValueIndex)>;

// The pointer of the point-based series: its visibility is written whenever it differs from the
// series type's own start (a line starts with it hidden, a point series shown).
class TCustomSeriesPointer : public TSeriesPointer {
  VM_CLASS(TCustomSeriesPointer, TSeriesPointer)
public:
  using TSeriesPointer::TSeriesPointer;
  // The visibility the owner gives the pointer when it is made.
  void SetStartVisible(bool Value) {
    SetVisible(Value);
    StartVisible = Value;
  }
  bool StartVisible = true;
};

class TCustomLineSeries : public TChartSeries {
  VM_CLASS(TCustomLineSeries, TChartSeries)
public:
  using TChartSeries::TChartSeries;
  TChartPen* LinePen() const { return Pen(); }
};

class TCustomSeries : public TCustomLineSeries {
  VM_CLASS(TCustomSeries, TCustomLineSeries)
public:
  explicit TCustomSeries(TComponent* AOwner);
  ~TCustomSeries() override;

  // -- operations introduced here ----------------------------------------------------------------
  virtual int32_t MarkCalloutLength();
  virtual bool ClickedPointer(int32_t ValueIndex, int PointX, int PointY, int X, int Y);
  virtual TGraphGradient* GetGradient() const { return FGradient.get(); }
  virtual int32_t GetTransparency() const { return FTransparency; }
  virtual void SetTransparency(int32_t Value);
  virtual void PreparePointer(int32_t /*ValueIndex*/) {}
  virtual int32_t GetOriginPos(int32_t ValueIndex);
  virtual void DrawPointer(int X, int Y, int32_t ValueIndex, TColor Color);
  TSeriesPointerStyle GetPointerStyle(int32_t ValueIndex);

  // -- overrides -------------------------------------------------------------------------------------
  void GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) override;
  void GetVerticalMargins(int32_t& TopMargin, int32_t& BottomMargin) override;
  void AssignZOrder() override;
  void DrawVisiblePoints() override;
  void FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) override;
  void DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) override;
  void DrawOneValue(int32_t ValueIndex) override;
  double HighestX() override;
  double HighestY() override;
  double LowestX() override;
  double LowestY() override;
  int32_t ScreenXAt(int32_t Index) override;
  int32_t ScreenYAt(int32_t Index) override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void SetParentChart(TCustomAxisPanel* Value) override;
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TCustomSeriesEditor"; }

  // -- properties ------------------------------------------------------------------------------------
  TSeriesPointer* Pointer() const { return FPointer.get(); }
  void SetPointer(TSeriesPointer* Value) { FPointer->Assign(Value); }
  TChartBrush* AreaChartBrush() const { return FAreaChartBrush.get(); }
  void SetAreaChartBrush(TChartBrush* Value) { FAreaChartBrush->Assign(Value); }
  TBrushStyle AreaBrush() const;
  void SetAreaBrush(TBrushStyle Value);
  TColor AreaColor() const { return FAreaColor; }
  void SetAreaColor(TColor Value) { SetColorProperty(FAreaColor, Value); }
  TChartPen* AreaLinesPen() const { return FAreaLinesPen.get(); }
  void SetAreaLinesPen(TChartPen* Value) { FAreaLinesPen->Assign(Value); }
  TGraphShadow* Shadow() const { return FShadow.get(); }
  void SetShadow(TGraphShadow* Value) { FShadow->Assign(Value); }
  TGraphGradient* Gradient() const { return GetGradient(); }
  void SetGradient(TGraphGradient* Value) { FGradient->Assign(Value); }
  TChartHiddenPen* OutLine() const { return FOutLine.get(); }
  void SetOutLine(TChartHiddenPen* Value) { FOutLine->Assign(Value); }
  bool ClickableLine() const { return FClickableLine; }
  void SetClickableLine(bool Value) { FClickableLine = Value; }
  bool ColorEachLine() const { return FColorEachLine; }
  void SetColorEachLine(bool Value) { SetBooleanProperty(FColorEachLine, Value); }
  bool Dark3D() const { return FDark3D; }
  void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
  bool DrawArea() const { return FDrawArea; }
  void SetDrawArea(bool Value) { SetBooleanProperty(FDrawArea, Value); }
  bool DrawLines() const { return FDrawLines; }
  void SetDrawLines(bool Value) { SetBooleanProperty(FDrawLines, Value); }
  bool InvertedStairs() const { return FInvertedStairs; }
  void SetInvertedStairs(bool Value) { SetBooleanProperty(FInvertedStairs, Value); }
  int32_t LineHeight() const { return FLineHeight; }
  void SetLineHeight(int32_t Value) { SetIntegerProperty(FLineHeight, Value); }
  TBrushStyle LineBrush() const;
  void SetLineBrush(TBrushStyle Value);
  TCustomSeriesStack Stacked() const { return FStacked; }
  void SetStacked(TCustomSeriesStack Value);
  bool Stairs() const { return FStairs; }
  void SetStairs(bool Value) { SetBooleanProperty(FStairs, Value); }
  int32_t Transparency() const { return GetTransparency(); }
  void SetTransparencyValue(int32_t Value) { SetTransparency(Value); }

  TSeriesClickPointerEvent OnClickPointer;
  TOnGetPointerStyle OnGetPointerStyle;

  // The stacked origin value at an index (sum of the same-signed values of the series below) and
  // the stack total over all same-kind series.
  double PointOrigin(int32_t ValueIndex, bool SumAll);

protected:
  // The value axis' end pixel on the side the fills start from.
  int32_t AxisEndPixel();
  TColor AreaColorOf(TColor Color) const;
  int32_t StackedPosition(int32_t ValueIndex, double Value);
  void DrawSegment(int X, int Y, TColor Color, int32_t ValueIndex, bool WithPointers);
  void DrawAreaBand(int X, int Y, TColor Color);
  void DrawShadowPass();
  // Pointers are drawn when visible, except in the shadow's pass.
  bool PointersDrawn() const { return !FShadowPass && FPointer->Visible(); }
  bool IsVertical() const { return YMandatory; }
  double ExtremeStacked(bool Highest, double Plain);

  std::unique_ptr<TChartBrush> FAreaChartBrush;
  TColor FAreaColor = clDefault;
  std::unique_ptr<TChartPen> FAreaLinesPen;
  bool FClickableLine = true;
  bool FColorEachLine = true;
  bool FDark3D = true;
  bool FDrawArea = false;
  bool FDrawLines = false;
  bool FInvertedStairs = false;
  int32_t FLineHeight = 0;
  std::unique_ptr<TChartHiddenPen> FOutLine;
  std::unique_ptr<TCustomSeriesPointer> FPointer;
  std::unique_ptr<TGraphShadow> FShadow;
  TCustomSeriesStack FStacked = cssNone;
  bool FStairs = false;
  int32_t FTransparency = 0;
  std::unique_ptr<TGraphGradient> FGradient;

  // State of one drawing pass.
  int32_t FOrigin = 0, FPrevOrigin = 0;
  int FPrevX = 0, FPrevY = 0;
  TColor FPrevColor = clNone;
  double FDarkRatio = 1;
  bool FIsLastValue = false;
  bool FShadowPass = false;
  bool FUseYOriginPos = false;  // the area series' own origin
  double FYOriginValue = 0;
};

class TLineSeries : public TCustomSeries {
  VM_CLASS(TLineSeries, TCustomSeries)
public:
  explicit TLineSeries(TComponent* AOwner);
  void Assign(TPersistent* Source) override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  void AdjustLegendBrush(int32_t ValueIndex, TColor& BackColor, TBrushStyle& Style) override;
};

class THorizLineSeries : public TLineSeries {
  VM_CLASS(THorizLineSeries, TLineSeries)
public:
  explicit THorizLineSeries(TComponent* AOwner);
  int32_t MarkCalloutLength() override { return WidestMarkText(); }
};

class TPointSeries : public TCustomSeries {
  VM_CLASS(TPointSeries, TCustomSeries)
public:
  explicit TPointSeries(TComponent* AOwner);
  static bool ListsPointerStyles() { return true; }
  int32_t GetTransparency() const override { return FPointer->Transparency(); }
  void SetTransparency(int32_t Value) override { FPointer->SetTransparency(Value); }
  void SetColorEachPoint(bool Value) override;
  void Assign(TPersistent* Source) override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  static void ClassEditorName(std::string& Name) { Name = "TSeriesPointerEditor"; }
};

class TAreaSeries : public TCustomSeries {
  VM_CLASS(TAreaSeries, TCustomSeries)
public:
  explicit TAreaSeries(TComponent* AOwner);
  bool UseYOrigin() const { return FUseYOriginPos; }
  void SetUseYOrigin(bool Value) { SetBooleanProperty(FUseYOriginPos, Value); }
  double YOrigin() const { return FYOriginValue; }
  void SetYOrigin(double Value) { SetDoubleProperty(FYOriginValue, Value); }
  TMultiArea MultiArea() const;
  void SetMultiArea(TMultiArea Value);
  bool IsValueDrawnForward(int32_t ValueIndex) override;
  double HighestY() override;
  double LowestY() override;
  void Assign(TPersistent* Source) override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  void FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  void AdjustLegendBrush(int32_t ValueIndex, TColor& BackColor, TBrushStyle& Style) override;
  static void ClassEditorName(std::string& Name) { Name = "TAreaSeriesEditor"; }
};

class THorizAreaSeries : public TAreaSeries {
  VM_CLASS(THorizAreaSeries, TAreaSeries)
public:
  explicit THorizAreaSeries(TComponent* AOwner);
  int32_t DefaultRandomCount() override { return 10; }
};

// Draws a pointer legend symbol at Rect's centre (shared by the series with pointers).
void DrawPointerLegendSymbol(TSeriesPointer* Pointer, TColor Color, const TRect& Rect, bool LineShown);
