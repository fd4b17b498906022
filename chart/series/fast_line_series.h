// The light line series: one pen, no pointer, no area, points joined pen-position to pen-position;
// with AutoRepaint off, adding a point draws only the new segment.
#pragma once

#include <vector>

#include "chart/series/line_series.h"

class TFastLineSeries : public TCustomLineSeries {
  VM_CLASS(TFastLineSeries, TCustomLineSeries)
public:
  explicit TFastLineSeries(TComponent* AOwner);

  bool AutoRepaint() const { return FAutoRepaint; }
  void SetAutoRepaint(bool Value) { FAutoRepaint = Value; }
  bool DrawAllPoints() const { return FDrawAllPoints; }
  void SetDrawAllPoints(bool Value) { SetBooleanProperty(FDrawAllPoints, Value); }
  bool IgnoreNulls() const { return FIgnoreNulls; }
  void SetIgnoreNulls(bool Value) { SetBooleanProperty(FIgnoreNulls, Value); }
  bool InvertedStairs() const { return FInvertedStairs; }
  void SetInvertedStairs(bool Value) { SetBooleanProperty(FInvertedStairs, Value); }
  bool Stairs() const { return FStairs; }
  void SetStairs(bool Value) { SetBooleanProperty(FStairs, Value); }
  void SetLinePen(TChartPen* Value);

  void SetSeriesColor(TColor Value) override;
  void DrawVisiblePoints() override;
  void DrawOneValue(int32_t ValueIndex) override;
  void AfterPointAdded(TChartSeries* Sender, int32_t ValueIndex) override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) override;
  void GetVerticalMargins(int32_t& TopMargin, int32_t& BottomMargin) override;
  void FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) override;
  void AdjustLegendBrush(int32_t ValueIndex, TColor& BackColor, TBrushStyle& Style) override;
  void DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TFastLineSeriesEditor"; }

private:
  TPoint PositionOf(int32_t Index);
  void SetUpCanvas();
  bool Is3D();
  void FlushRun();
  void DrawPlainLine(int32_t From, int32_t Last);

  bool FAutoRepaint = true;
  bool FDrawAllPoints = true;
  bool FReservedPenMode = false;
  bool FIgnoreNulls = true;
  bool FInvertedStairs = false;
  bool FStairs = false;
  int FLastX = 0, FLastY = 0;
  // The 2D pass collects the pen's path and draws it as polylines.
  bool FCollecting = false;
  std::vector<TPoint> FRun, FThinned;
};
