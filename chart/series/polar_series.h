// The polar family: points placed by angle (degrees, the X list) and radius (the Y list) inside the
// circle of the round base. The polar series joins its points (optionally filling wedges to the
// centre), the radar puts one spoke per point and draws its rings as polygons, the polar bar draws
// one line from the centre per point. The first series of the family in a chart draws the circle,
// the rings, the spokes with their angle labels and the radius axes along the half-diameters.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "chart/engine/graph_effects.h"
#include "chart/engine/series_pointer.h"
#include "chart/series/line_series.h"
#include "chart/series/pie_series.h"

class TCustomPolarSeries : public TCircledSeries {
  VM_CLASS(TCustomPolarSeries, TCircledSeries)
public:
  explicit TCustomPolarSeries(TComponent* AOwner);
  ~TCustomPolarSeries() override;

  // -- operations introduced here ------------------------------------------------------------------
  virtual std::string GetCircleLabel(double Angle, int32_t Index);
  virtual void DrawPolarSegment(int32_t ValueIndex, int X, int Y);

  int32_t AddPolarPoint(double Angle, double Value, const std::string& Label = "", TColor Colour = clGraphColor) {
    return AddPoint(Angle, Value, Label, Colour);
  }
  // Screen position of a point for a pixel radius R (the circle centre when the point lies below
  // the radius scale or the scale is empty).
  void CalcXYPos(int32_t ValueIndex, double R, int& X, int& Y);
  // Draws the spokes with their labels, the rings and the radius axes.
  void DrawAxes();
  bool AxesBehind();
  // Ring radii (pixels) of a radius value.
  void RingRadii(double Value, int& RX, int& RY);
  void DrawBackImageInCircle();
  void DrawPolarCircle(int HalfWidth, int HalfHeight, int Z);
  void DrawAngleLabel(double Angle, int32_t Index);

  // -- overrides -------------------------------------------------------------------------------------
  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;
  void SetParentChart(TCustomAxisPanel* Value) override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  void FireBeforeDrawValues() override;
  void FireAfterDrawValues() override;
  void DrawVisiblePoints() override;
  void FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) override;
  void DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) override;
  void DrawOneValue(int32_t ValueIndex) override;
  void SetSeriesColor(TColor Value) override;
  int32_t ScreenXAt(int32_t Index) override;
  int32_t ScreenYAt(int32_t Index) override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  bool IsDrawnForward() override { return true; }
  void DrawCircleGradient() override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  static void ClassEditorName(std::string& Name) { Name = "TPolarSeriesEditor"; }

  // -- properties ------------------------------------------------------------------------------------
  double AngleIncrement() const;
  void SetAngleIncrement(double Value);
  double RadiusIncrement() const;
  void SetRadiusIncrement(double Value);
  TChartValueList* AngleValues() const { return XValues(); }
  void SetAngleValues(TChartValueList* Value) { SetXValues(Value); }
  TChartValueList* RadiusValues() const { return YValues(); }
  void SetRadiusValues(TChartValueList* Value) { SetYValues(Value); }
  bool CircleLabels() const { return FCircleLabels; }
  void SetCircleLabels(bool Value) { SetBooleanProperty(FCircleLabels, Value); }
  TGraphFont* CircleLabelsFont() const { return FCircleLabelsFont.get(); }
  void SetCircleLabelsFont(TGraphFont* Value) { FCircleLabelsFont->Assign(Value); }
  bool CircleLabelsInside() const { return FCircleLabelsInside; }
  void SetCircleLabelsInside(bool Value) { SetBooleanProperty(FCircleLabelsInside, Value); }
  bool CircleLabelsRotated() const { return FCircleLabelsRotated; }
  void SetCircleLabelsRotated(bool Value) { SetBooleanProperty(FCircleLabelsRotated, Value); }
  TChartPen* CirclePen() const { return FCirclePen.get(); }
  void SetCirclePen(TChartPen* Value) { FCirclePen->Assign(Value); }
  bool ClockWiseLabels() const { return FClockWiseLabels; }
  void SetClockWiseLabels(bool Value) { SetBooleanProperty(FClockWiseLabels, Value); }
  bool CloseCircle() const { return FCloseCircle; }
  void SetCloseCircle(bool Value) { SetBooleanProperty(FCloseCircle, Value); }
  int32_t LabelsMargin() const { return FLabelsMargin; }
  void SetLabelsMargin(int32_t Value) { SetIntegerProperty(FLabelsMargin, Value); }
  TCustomSeriesPointer* Pointer() const { return FPointer.get(); }
  void SetPointer(TSeriesPointer* Value) { FPointer->Assign(Value); }
  int32_t Transparency() const { return FTransparency; }
  void SetTransparency(int32_t Value) { SetIntegerProperty(FTransparency, Value); }
  int32_t RadarPointCount() const { return FRadarPointCount; }

  TOnGetPointerStyle OnGetPointerStyle;

  // Screen position of the previously drawn point during one drawing pass.
  int OldX = 0, OldY = 0;

protected:
  void LinePrepareCanvas(int32_t ValueIndex);
  // Fills the triangle (previous point, this point, centre) with the series brush.
  void FillWedge(int32_t ValueIndex, int X, int Y);
  bool IsFirstOfFamily();
  bool IsLastOfFamily();
  void SelectGridPen(TChartAxis* Axis);
  void DrawSpokes();
  void DrawRings();
  void DrawRadiusAxes();

  bool FCircleLabels = false;
  std::unique_ptr<TGraphFont> FCircleLabelsFont;
  bool FCircleLabelsInside = false;
  bool FCircleLabelsRotated = false;
  std::unique_ptr<TChartPen> FCirclePen;
  bool FClockWiseLabels = false;
  bool FCloseCircle = true;
  int32_t FLabelsMargin = 3;
  std::unique_ptr<TCustomSeriesPointer> FPointer;
  int32_t FTransparency = 0;
  int32_t FRadarPointCount = 0;
  // A null point broke the line: the next point starts afresh.
  bool FLineBroken = true;
};

class TPolarSeries : public TCustomPolarSeries {
  VM_CLASS(TPolarSeries, TCustomPolarSeries)
public:
  using TCustomPolarSeries::TCustomPolarSeries;
};

class TRadarSeries : public TCustomPolarSeries {
  VM_CLASS(TRadarSeries, TCustomPolarSeries)
public:
  using TCustomPolarSeries::TCustomPolarSeries;
  void PrepareForDraw() override;
  double XValueAt(int32_t Index) const override;
  std::string GetCircleLabel(double Angle, int32_t Index) override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  int32_t DefaultRandomCount() override { return 5; }
};

class TPolarBarSeries : public TCustomPolarSeries {
  VM_CLASS(TPolarBarSeries, TCustomPolarSeries)
public:
  using TCustomPolarSeries::TCustomPolarSeries;
  void DrawPolarSegment(int32_t ValueIndex, int X, int Y) override;
};
