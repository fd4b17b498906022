// The vector series (a line per point from its start to its end in 3D, with arrow heads) and the
// tower series (a solid per grid cell from a base up to the cell's height).
#pragma once

#include <cstdint>
#include <memory>

#include "chart/extra/grid_series.h"

class TVector3DSeries : public TCustom3DPaletteSeries {
  VM_CLASS(TVector3DSeries, TCustom3DPaletteSeries)
public:
  explicit TVector3DSeries(TComponent* AOwner);
  ~TVector3DSeries() override;

  int32_t AddVector(double X0, double Y0, double Z0, double X1, double Y1, double Z1, const std::string& Label = "",
                    TColor Color = clAutoColor);

  void DrawOneValue(int32_t ValueIndex) override;
  double HighestX() override;
  double HighestY() override;
  double HighestZ() override;
  double LowestX() override;
  double LowestY() override;
  double LowestZ() override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  bool AcceptsSourceSeries(TChartSeries* Source) override;
  int32_t DefaultRandomCount() override { return 250; }
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TVectorSeriesEditor"; }

  TChartValueList* EndXValues() const { return FEndXValues; }
  void SetEndXValues(TChartValueList* Value) { AssignValueList(FEndXValues, Value); }
  TChartValueList* EndYValues() const { return FEndYValues; }
  void SetEndYValues(TChartValueList* Value) { AssignValueList(FEndYValues, Value); }
  TChartValueList* EndZValues() const { return FEndZValues; }
  void SetEndZValues(TChartValueList* Value) { AssignValueList(FEndZValues, Value); }
  TChartHiddenPen* StartArrow() const { return FStartArrow.get(); }
  void SetStartArrow(TChartHiddenPen* Value) { FStartArrow->Assign(Value); }
  TChartPen* EndArrow() const { return FEndArrow.get(); }
  void SetEndArrow(TChartPen* Value) { FEndArrow->Assign(Value); }
  int32_t ArrowWidth() const { return FArrowWidth; }
  void SetArrowWidth(int32_t Value) { SetIntegerProperty(FArrowWidth, Value); }
  int32_t ArrowHeight() const { return FArrowHeight; }
  void SetArrowHeight(int32_t Value) { SetIntegerProperty(FArrowHeight, Value); }

private:
  TChartValueList* FEndXValues = nullptr;
  TChartValueList* FEndYValues = nullptr;
  TChartValueList* FEndZValues = nullptr;
  std::unique_ptr<TChartHiddenPen> FStartArrow;
  std::unique_ptr<TChartPen> FEndArrow;
  int32_t FArrowWidth = 4;
  int32_t FArrowHeight = 4;
};

enum TTowerStyle { tsCube, tsRectangle, tsCover, tsCylinder, tsArrow, tsCone, tsPyramid, tsSlantCube };

class TTowerSeries : public TCustom3DGridSeries {
  VM_CLASS(TTowerSeries, TCustom3DGridSeries)
public:
  explicit TTowerSeries(TComponent* AOwner);

  void DrawVisiblePoints() override;
  void DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  double HighestX() override;
  double HighestZ() override;
  double LowestX() override;
  double LowestZ() override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TTowerSeriesEditor"; }

  TTowerStyle TowerStyle() const { return FTowerStyle; }
  void SetTowerStyle(TTowerStyle Value);
  int32_t PercentWidth() const { return FPercentWidth; }
  void SetPercentWidth(int32_t Value) { SetIntegerProperty(FPercentWidth, Value); }
  int32_t PercentDepth() const { return FPercentDepth; }
  void SetPercentDepth(int32_t Value) { SetIntegerProperty(FPercentDepth, Value); }
  bool Dark3D() const { return FDark3D; }
  void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
  double Origin() const { return FOrigin; }
  void SetOrigin(double Value) { SetDoubleProperty(FOrigin, Value); }
  bool UseOrigin() const { return FUseOrigin; }
  void SetUseOrigin(bool Value) { SetBooleanProperty(FUseOrigin, Value); }
  int32_t Transparency() const { return FTransparency; }
  void SetTransparency(int32_t Value) { SetIntegerProperty(FTransparency, Value); }

  // The tower of point Index: left, right, top (value) and bottom (base) pixels, near and far depth.
  struct TTowerBounds {
    TRect Rect;
    int32_t Z0 = 0, Z1 = 0;
  };
  TTowerBounds TowerBounds(int32_t Index);

private:
  void DrawTower(int32_t Index);

  TTowerStyle FTowerStyle = tsCube;
  int32_t FPercentWidth = 100;
  int32_t FPercentDepth = 100;
  bool FDark3D = true;
  double FOrigin = 0;
  bool FUseOrigin = false;
  int32_t FTransparency = 0;
};
