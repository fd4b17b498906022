// The surface series (a grid of heights drawn as quadrilateral cells, back to front, with optional
// side walls) and the water fall (each grid row drawn as a profile filled down to the base).
#pragma once

#include <cstdint>
#include <memory>

#include "chart/engine/chart_geometry.h"
#include "chart/extra/grid_series.h"

class TGraphCanvas3D;

// True when the chart's depth axis is inverted, exclusive-or the 3D rotation lies within
// 91..269 degrees: the rows are then drawn from the first to the last.
bool IsDepthReversed(TChartSeries* Series);

// The fill of the side walls: clear unless set otherwise.
class TSurfaceSideBrush : public TChartBrush {
  VM_CLASS(TSurfaceSideBrush, TChartBrush)
public:
  explicit TSurfaceSideBrush(const TNotifyEvent& OnChangeEvent = nullptr);
};

class TSurfaceSeries : public TCustom3DGridSeries {
  VM_CLASS(TSurfaceSeries, TCustom3DGridSeries)
public:
  explicit TSurfaceSeries(TComponent* AOwner);
  ~TSurfaceSeries() override;

  virtual void DrawCell(int32_t X, int32_t Z);

  void DrawVisiblePoints() override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void Assign(TPersistent* Source) override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  static void ClassEditorName(std::string& Name) { Name = "TSurfaceSeriesEditor"; }

  bool WireFrame() const { return FWireFrame; }
  void SetWireFrame(bool Value);
  bool DotFrame() const { return FDotFrame; }
  void SetDotFrame(bool Value);
  bool SmoothPalette() const { return FSmoothPalette; }
  void SetSmoothPalette(bool Value) { SetBooleanProperty(FSmoothPalette, Value); }
  // The platform offers no settable device brush colour: the setting stays off.
  bool FastBrush() const { return FFastBrush; }
  void SetFastBrush(bool Value);
  TChartBrush* SideBrush() const { return FSideBrush.get(); }
  void SetSideBrush(TChartBrush* Value) { FSideBrush->Assign(Value); }
  TChartHiddenPen* SideLines() const { return FSideLines.get(); }
  void SetSideLines(TChartHiddenPen* Value) { FSideLines->Assign(Value); }
  int32_t Transparency() const { return FTransparency; }
  void SetTransparency(int32_t Value) { SetIntegerProperty(FTransparency, Value); }
  bool WaterFall() const { return FWaterFall; }
  void SetWaterFall(bool Value) { SetBooleanProperty(FWaterFall, Value); }
  TChartPen* WaterLines() const { return FWaterLines.get(); }
  void SetWaterLines(TChartPen* Value) { FWaterLines->Assign(Value); }

  // The painter's order of the last drawing (or of the next one): column and row ranges and steps.
  struct TDrawOrder {
    int32_t FirstColumn = 0, LastColumn = 0, ColumnStep = 1;
    int32_t FirstRow = 0, LastRow = 0, RowStep = 1;
    bool Alternate = false;
  };
  TDrawOrder SetDrawOrder();
  // The columns in painting order (alternating from both ends when asked).
  static void OrderedColumns(const TDrawOrder& Order, std::vector<int32_t>& Columns);

protected:
  // The four corners' point indices of cell (X, Z) with the current steps; False when one is missing.
  bool CellCorners(int32_t X, int32_t Z);
  void DrawSides(bool First);

  bool FWireFrame = false;
  bool FDotFrame = false;
  bool FSmoothPalette = false;
  bool FFastBrush = false;
  int32_t FTransparency = 0;
  bool FWaterFall = false;
  std::unique_ptr<TChartBrush> FSideBrush;
  std::unique_ptr<TChartHiddenPen> FSideLines;
  std::unique_ptr<TChartPen> FWaterLines;

  int32_t DX = 1, DZ = 1;
  int32_t ValueIndex0 = -1, ValueIndex1 = -1, ValueIndex2 = -1, ValueIndex3 = -1;

private:
  TQuadPoints CornerPoints() const;

  // Per drawing: the canvas, the cached pixels of every point and the same-brush flag.
  TGraphCanvas3D* FCanvas = nullptr;
  std::vector<int32_t> FXPix, FYPix, FZPix;
  bool FSameBrush = false;
};

class TWaterFallSeries : public TSurfaceSeries {
  VM_CLASS(TWaterFallSeries, TSurfaceSeries)
public:
  explicit TWaterFallSeries(TComponent* AOwner);

  void Assign(TPersistent* Source) override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  void SetGalleryView3D(bool Value) override;
  static void ClassEditorName(std::string& Name) { Name = "TWaterFallEditor"; }
};
