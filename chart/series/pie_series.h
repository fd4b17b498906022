// The round series: the circle base (centre, radii, rotation, angle and position conversions) and
// the pie, whose slices take angles proportional to the absolute values.
#pragma once

#include <memory>
#include <vector>

#include "chart/engine/chart_pens.h"
#include "chart/engine/graph_effects.h"
#include "chart/engine/series_base.h"

class TCircledSeries : public TChartSeries {
  VM_CLASS(TCircledSeries, TChartSeries)
public:
  explicit TCircledSeries(TComponent* AOwner);
  ~TCircledSeries() override;

  // Position on the circle of an angle in radians (0 right, counter-clockwise), shifted by the rotation.
  void AngleToPos(double Angle, double AXRadius, double AYRadius, int& X, int& Y) const;
  // The angle (0 .. 2 pi, rotation taken off) of a screen position.
  double PointToAngle(int X, int Y) const;

  int32_t RotationAngle() const { return FRotationAngle; }
  void SetRotationAngle(int32_t Value);
  bool Circled() const { return FCircled; }
  // The round settings are shared: every series of this class (or an ancestor class) in the
  // chart takes them too.
  void SetCircled(bool Value);
  int32_t CustomXRadius() const { return FCustomXRadius; }
  void SetCustomXRadius(int32_t Value);
  int32_t CustomYRadius() const { return FCustomYRadius; }
  void SetCustomYRadius(int32_t Value);
  TColor CircleBackColor() const { return FCircleBackColor; }
  void SetCircleBackColor(TColor Value) { SetColorProperty(FCircleBackColor, Value); }
  TGraphGradient* CircleGradient() const { return FGradient.get(); }
  void SetCircleGradient(TGraphGradient* Value) { FGradient->Assign(Value); }

  // The circle's background: its own colour, or white when printing, the back wall's colour or
  // the chart's colour.
  TColor CalcCircleBackColor();
  bool HasCircleBackColor() const { return FCircleBackColor != clGraphColor && FCircleBackColor != clNone; }
  // Fills the circle's ellipse with the gradient (not in a rotated 3D view).
  virtual void DrawCircleGradient();

  void FireBeforeDrawValues() override;
  // While in a chart and active, a round series may set the chart's 3D view to its liking; the
  // view in force before is given back when it is deactivated, leaves the chart or is freed.
  void SetParentChart(TCustomAxisPanel* Value) override;
  void SetActive(bool Value) override;
  void RemovedFromChart() override;
  bool UsesAxes() override { return false; }
  bool IsBoundToAxis(TChartAxis*) override { return true; }
  void AdjustLegendBrush(int32_t ValueIndex, TColor& BackColor, TBrushStyle& Style) override;
  void Assign(TPersistent* Source) override;

  int32_t XRadius = 0, YRadius = 0, CircleXCenter = 0, CircleYCenter = 0, CircleWidth = 0, CircleHeight = 0;
  TRect CircleRect;

  // Shrinks the circle rectangle to a circle on a device whose pixels are PixelAspect times as
  // high as they are wide (1: square pixels), keeping its centre.
  void MakeRound(double PixelAspect);

protected:
  void NormaliseCircle(TRect R);
  void CalcRadii();
  // With its marks hidden, a round series takes the circle of the first active series of its kind
  // whose marks show, so the two line up.
  void AlignCircleRect();
  // The view this series type prefers (nothing by default).
  virtual void AdaptView(TView3DOptions* /*View*/) {}
  void SaveView();
  void RestoreView();
  std::unique_ptr<TView3DOptions> FSavedView;
  template <class F>
  void ForEachSibling(F Apply);

  bool FCircled = false;
  TColor FCircleBackColor = clGraphColor;
  std::unique_ptr<TGraphGradient> FGradient;
  int32_t FCustomXRadius = 0, FCustomYRadius = 0;
  int32_t FRotationAngle = 0;
  double FRotation = 0;
};

enum TPieOtherStyle { poNone, poBelowPercent, poBelowValue };
enum TMultiPie { mpAutomatic, mpDisabled };
extern const TEnumInfo PieOtherStyleInfo;
extern const TEnumInfo MultiPieInfo;

class TPieSeries;
class TChartLegend;

// The grouping of small slices into one "other" slice.
class TPieOtherSlice : public TPersistent {
  VM_CLASS(TPieOtherSlice, TPersistent)
public:
  explicit TPieOtherSlice(TPieSeries* AOwner = nullptr);
  ~TPieOtherSlice() override;
  void Assign(TPersistent* Source) override;

  // The legend of the points folded into the other slice: made hidden on first read, listing
  // the owning pie; writing nothing frees it.
  TChartLegend* Legend();
  TChartLegend* LegendOrNull() const { return FLegend.get(); }
  void SetLegend(TChartLegend* Value);
  // The owning pie moved to another chart: the legend follows it.
  void ChartChanged();

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TPieOtherStyle Style() const { return FStyle; }
  void SetStyle(TPieOtherStyle Value);
  // "Other" while no text is set.
  std::string Text() const { return FText.empty() ? std::string("Other") : FText; }
  void SetText(const std::string& Value);
  bool TextStored() const { return !FText.empty(); }
  double Value() const { return FValue; }
  void SetValue(double Value);

private:
  void Changed();

  TPieSeries* FOwner;
  std::unique_ptr<TChartLegend> FLegend;
  TColor FColor = clGraphColor;
  TPieOtherStyle FStyle = poNone;
  std::string FText;
  double FValue = 0;
};

struct TPieAngle {
  double StartAngle = 0, MidAngle = 0, EndAngle = 0;
};

class TPieSeries : public TCircledSeries {
  VM_CLASS(TPieSeries, TCircledSeries)
public:
  explicit TPieSeries(TComponent* AOwner);

  int32_t AngleSize() const { return FAngleSize; }
  void SetAngleSize(int32_t Value) { SetIntegerProperty(FAngleSize, Value); }
  // The hole in the middle in percent of the radius (0: a full pie); the donut publishes it.
  int32_t DonutPercent() const { return FDonutPercent; }
  void SetDonutPercent(int32_t Value) { SetIntegerProperty(FDonutPercent, Value); }
  int32_t ExplodeBiggest() const { return FExplodeBiggest; }
  void SetExplodeBiggest(int32_t Value) { SetIntegerProperty(FExplodeBiggest, Value); }
  // Explode distance of a slice in percent of the radius (0 when none stored).
  int32_t ExplodedSlice(int32_t Index) const;
  void SetExplodedSlice(int32_t Index, int32_t Value);
  // 3D height of a slice in percent of the series depth (0 when none stored: the full depth).
  int32_t SliceHeight(int32_t Index) const;
  void SetSliceHeight(int32_t Index, int32_t Value);
  // The depth a slice reaches back to: the full depth unless it has a height of its own.
  int32_t SliceBackDepth(int32_t ValueIndex) const;
  // The drop shadow of the circle, grey unless set otherwise.
  TGraphShadow* Shadow() const { return FShadow.get(); }
  void SetShadow(TGraphShadow* Value) { FShadow->Assign(Value); }
  const std::vector<TPieAngle>& Angles() const { return FAngles; }
  void CalcAngles();
  // Offset of an exploded slice.
  void ExplodeOffset(int32_t ValueIndex, int& DX, int& DY);

  // The X value that marks the added "other" slice, and the one that marks a point folded into it.
  static constexpr double OtherSliceX = 2147483647.0;
  bool IsGrouped(int32_t ValueIndex) const { return XValueAt(ValueIndex) == -1; }
  int32_t OtherSliceIndex() const;
  TBrushStyle SliceStyle(int32_t ValueIndex);
  void SetSlicePen(int32_t ValueIndex);

  void AdaptView(TView3DOptions* View) override;

  TPieOtherSlice* OtherSlice() const { return FOtherSlice.get(); }
  void SetOtherSlice(TPieOtherSlice* Value) { FOtherSlice->Assign(Value); }
  TMultiPie MultiPie() const { return FMultiPie; }
  void SetMultiPie(TMultiPie Value);
  bool AutoMarkPosition() const { return FAutoMarkPosition; }
  void SetAutoMarkPosition(bool Value) { SetBooleanProperty(FAutoMarkPosition, Value); }
  bool Dark3D() const { return FDark3D; }
  void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
  int32_t DarkPen() const { return FDarkPen; }
  void SetDarkPen(int32_t Value) { SetIntegerProperty(FDarkPen, Value); }
  bool UsePatterns() const { return FUsePatterns; }
  void SetUsePatterns(bool Value) { SetBooleanProperty(FUsePatterns, Value); }
  TChartValueList* PieValues() const { return YValues(); }
  void SetPieValues(TChartValueList* Value) { SetYValues(Value); }
  TChartPen* PiePen() const { return Pen(); }
  void SetPiePen(TChartPen* Value) { SetPen(Value); }

  void PrepareForDraw() override;
  void FireBeforeDrawValues() override;
  void FireAfterDrawValues() override;
  void DrawOneValue(int32_t ValueIndex) override;
  void DrawVisiblePoints() override;
  void Delete(int32_t ValueIndex) override;
  void ExchangePoints(int32_t Index1, int32_t Index2) override;
  void ClearPointData() override;
  void DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void FindVisibleRange() override;
  bool SharesZOrder() override { return false; }
  int32_t LegendEntryCount() override;
  int32_t LegendIndexToValue(int32_t LegendIndex) override;
  void WriteData(TStream& Stream) override;
  void SetParentChart(TCustomAxisPanel* Value) override;
  // True while the other slice's legend is drawn: the legend then lists the grouped points.
  bool DrawingOtherLegend() const { return FDrawingOtherLegend; }
  void Assign(TPersistent* Source) override;
  double HighestX() override;
  double LowestX() override;
  double HighestY() override;
  double LowestY() override;
  static void ClassEditorName(std::string& Name) { Name = "TPieSeriesEditor"; }

  // Gallery and sample data: eight labelled values 1..1000 ("Cars", "Phones", ...), the style
  // variants "Patterns" .. "Dark Border", and the thumbnail's round 3D look.
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  int32_t DefaultRandomCount() override { return 8; }
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  void SetGalleryView3D(bool Value) override;
  // Slices keep the order they were added in: sorting only turns the X list ascending.
  void SortByValueOrder() override;

private:
  // The view a gallery pie shows: not orthogonal, turned to 0, elevated to 305.
  void SetGalleryView();

  std::unique_ptr<TPieOtherSlice> FOtherSlice;
  TMultiPie FMultiPie = mpAutomatic;
  bool FAutoMarkPosition = true;
  bool FDark3D = true;
  int32_t FDarkPen = 0;
  bool FUsePatterns = false;
  TRect FSavedChartRect;
  bool FChartRectSaved = false;

  int32_t FAngleSize = 360;
  int32_t FExplodeBiggest = 0;
  int32_t FDonutPercent = 0;
  std::vector<int32_t> FExploded;
  std::vector<int32_t> FHeights;
  std::unique_ptr<TGraphShadow> FShadow;
  // Slices are exploded or of their own heights: 3D slices are drawn back to front with sides.
  bool FSortSlices = false;
  bool FDrawingOtherLegend = false;
  void DrawSlices();
  void DrawOtherLegend();
  std::vector<TPieAngle> FAngles;
  int FEndX = 0, FEndY = 0;
};
