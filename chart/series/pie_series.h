// The round series: the circle base (centre, radii, rotation, angle and position conversions) and
// the pie, whose slices take angles proportional to the absolute values.
#pragma once

#include <vector>

#include "chart/engine/series_base.h"

class TCircledSeries : public TChartSeries {
  VM_CLASS(TCircledSeries, TChartSeries)
public:
  explicit TCircledSeries(TComponent* AOwner);

  // Position on the circle of an angle in radians (0 right, counter-clockwise), shifted by the rotation.
  void AngleToPos(double Angle, double AXRadius, double AYRadius, int& X, int& Y) const;
  // The angle (0 .. 2 pi, rotation taken off) of a screen position.
  double PointToAngle(int X, int Y) const;

  int32_t RotationAngle() const { return FRotationAngle; }
  void SetRotationAngle(int32_t Value);
  bool Circled() const { return FCircled; }
  void SetCircled(bool Value) { SetBooleanProperty(FCircled, Value); }
  int32_t CustomXRadius() const { return FCustomXRadius; }
  void SetCustomXRadius(int32_t Value) { SetIntegerProperty(FCustomXRadius, Value); }
  int32_t CustomYRadius() const { return FCustomYRadius; }
  void SetCustomYRadius(int32_t Value) { SetIntegerProperty(FCustomYRadius, Value); }

  void FireBeforeDrawValues() override;
  bool UsesAxes() override { return false; }

  int32_t XRadius = 0, YRadius = 0, CircleXCenter = 0, CircleYCenter = 0, CircleWidth = 0, CircleHeight = 0;
  TRect CircleRect;

protected:
  void NormaliseCircle(TRect R);
  void CalcRadii();

  bool FCircled = false;
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
