// The round series: the circle base (centre, radii, rotation, angle and position conversions) and
// the pie, whose slices take angles proportional to the absolute values.
#pragma once

#include <memory>
#include <vector>

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
  bool UsesAxes() override { return false; }
  bool IsBoundToAxis(TChartAxis*) override { return true; }
  void AdjustLegendBrush(int32_t ValueIndex, TColor& BackColor, TBrushStyle& Style) override;
  void Assign(TPersistent* Source) override;

  int32_t XRadius = 0, YRadius = 0, CircleXCenter = 0, CircleYCenter = 0, CircleWidth = 0, CircleHeight = 0;
  TRect CircleRect;

protected:
  void NormaliseCircle(TRect R);
  void CalcRadii();
  template <class F>
  void ForEachSibling(F Apply);

  bool FCircled = false;
  TColor FCircleBackColor = clGraphColor;
  std::unique_ptr<TGraphGradient> FGradient;
  int32_t FCustomXRadius = 0, FCustomYRadius = 0;
  int32_t FRotationAngle = 0;
  double FRotation = 0;
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
  int32_t ExplodeBiggest() const { return FExplodeBiggest; }
  void SetExplodeBiggest(int32_t Value) { SetIntegerProperty(FExplodeBiggest, Value); }
  // Explode distance of a slice in percent of the radius (0 when none stored).
  int32_t ExplodedSlice(int32_t Index) const;
  void SetExplodedSlice(int32_t Index, int32_t Value);
  const std::vector<TPieAngle>& Angles() const { return FAngles; }
  void CalcAngles();
  // Offset of an exploded slice.
  void ExplodeOffset(int32_t ValueIndex, int& DX, int& DY);

  void FireBeforeDrawValues() override;
  void DrawOneValue(int32_t ValueIndex) override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void FindVisibleRange() override;
  bool SharesZOrder() override { return false; }
  double HighestX() override { return 0; }
  double LowestX() override { return 0; }
  double HighestY() override { return 0; }
  double LowestY() override { return 0; }
  static void ClassEditorName(std::string& Name) { Name = "TPieSeriesEditor"; }

private:
  int32_t FAngleSize = 360;
  int32_t FExplodeBiggest = 0;
  std::vector<int32_t> FExploded;
  std::vector<TPieAngle> FAngles;
  int FEndX = 0, FEndY = 0;
};
