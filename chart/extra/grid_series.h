// Series with a Z value: the 3D base (a third value list bound to the depth axis), the palette
// base (colours from a continuous range or from palette steps), the grid base (an X/Z grid index
// rebuilt before each drawing) and the colour grid that paints one cell per point.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "chart/engine/series_base.h"

class TBitmap;

enum TGraphPaletteStyle { psPale, psStrong, psGrayScale, psInvGray, psRainbow };

struct TCustom3DPaletteEntry {
  double UpToValue = 0;
  TColor Color = clBlack;
};
using TCustom3DPalette = std::vector<TCustom3DPaletteEntry>;

using TChartSurfaceGetColor = std::function<void(TChartSeries* Sender, int32_t ValueIndex, TColor& Color)>;
using TChartSurfaceGetY = std::function<double(TChartSeries* Sender, int32_t X, int32_t Z)>;

class TCustom3DSeries : public TChartSeries {
  VM_CLASS(TCustom3DSeries, TChartSeries)
public:
  explicit TCustom3DSeries(TComponent* AOwner);

  int32_t AddXYZ(double X, double Y, double Z) { return AddXYZPoint(X, Y, Z, "", clDefault); }
  virtual int32_t AddXYZPoint(double X, double Y, double Z, const std::string& Label, TColor Color);
  // Range error outside 0..Count-1.
  double GetZValue(int32_t Index) const;
  int32_t DepthPositionAt(int32_t Index);

  TChartValueList* ZValues() const { return FZValues; }
  void SetZValues(TChartValueList* Value) { AssignValueList(FZValues, Value); }
  int32_t TimesZOrder() const { return FTimesZOrder; }
  void SetTimesZOrder(int32_t Value) { SetIntegerProperty(FTimesZOrder, Value); }

  void Assign(TPersistent* Source) override;
  void AssignZOrder() override;
  TChartValueList* ValueListForAxis(TChartAxis* Axis) override;
  bool IsBoundToAxis(TChartAxis* Axis) override;
  double HighestZ() override;
  double LowestZ() override;
  bool HasZValues() override { return true; }
  bool AcceptsSourceSeries(TChartSeries* Source) override;

protected:
  TChartValueList* FZValues = nullptr;
  int32_t FTimesZOrder = 3;
};

class TCustom3DPaletteSeries : public TCustom3DSeries {
  VM_CLASS(TCustom3DPaletteSeries, TCustom3DSeries)
public:
  explicit TCustom3DPaletteSeries(TComponent* AOwner);

  // Inserts after every entry of an equal value; returns the entry's index. No repaint.
  int32_t AddPaletteEntry(double Value, TColor Color);
  void ClearPaletteEntries() { FPalette.clear(); }
  void CreateDefaultPalette(int32_t Steps);
  TColor ColorOfValue(double Value) const;
  const TCustom3DPalette& Palette() const { return FPalette; }

  TColor PointColorAt(int32_t Index) override;
  // Every point takes the colour of its value (no colour of its own, no colour event, not one
  // colour per point): PointColorAt(i) is then ColorOfValue of the i-th value.
  bool ColoursFollowValues() const;
  void PrepareForDraw() override;
  void ClearValues() override;
  void Assign(TPersistent* Source) override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  void SetGalleryView3D(bool Value) override;
  int32_t LegendEntryCount() override;
  TColor LegendEntryColor(int32_t ValueIndex) override;
  void FormatLegendText(int32_t ValueIndex, TLegendTextStyle Style, std::string& Text) override;
  static void ClassEditorName(std::string& Name) { Name = "TGrid3DSeriesEditor"; }

  bool UseColorRange() const { return FUseColorRange; }
  void SetUseColorRange(bool Value);
  bool UsePalette() const { return FUsePalette; }
  void SetUsePalette(bool Value);
  TColor StartColor() const { return FStartColor; }
  void SetStartColor(TColor Value);
  TColor MidColor() const { return FMidColor; }
  void SetMidColor(TColor Value);
  TColor EndColor() const { return FEndColor; }
  void SetEndColor(TColor Value);
  int32_t PaletteSteps() const { return FPaletteSteps; }
  void SetPaletteSteps(int32_t Value);
  TGraphPaletteStyle PaletteStyle() const { return FPaletteStyle; }
  void SetPaletteStyle(TGraphPaletteStyle Value);
  double PaletteMin() const { return FPaletteMin; }
  void SetPaletteMin(double Value);
  double PaletteStep() const { return FPaletteStep; }
  void SetPaletteStep(double Value);
  bool UsePaletteMin() const { return FUsePaletteMin; }
  void SetUsePaletteMin(bool Value);
  int32_t LegendEvery() const { return FLegendEvery; }
  void SetLegendEvery(int32_t Value) { SetIntegerProperty(FLegendEvery, Value); }

  TChartSurfaceGetColor OnGetColor;

protected:
  void EnsurePalette();
  void PrepareColorRange();
  void UpdateRangeScale();
  TColor PaletteColorFor(double Value) const;
  TColor RangePercentColor(double Percent) const;
  bool LegendShowsPalette();
  int32_t LegendPaletteIndex(int32_t LegendIndex) const;

  TCustom3DPalette FPalette;
  bool FUseColorRange = true;
  bool FUsePalette = false;
  TColor FStartColor = static_cast<TColor>(0x800000);
  TColor FMidColor = clNone;
  TColor FEndColor = static_cast<TColor>(0xFFFFFF);
  int32_t FPaletteSteps = 32;
  TGraphPaletteStyle FPaletteStyle = psPale;
  double FPaletteMin = 0;
  double FPaletteStep = 0;
  bool FUsePaletteMin = false;
  int32_t FLegendEvery = 1;
  // The prepared range: channels of EndColor and MidColor, and the differences.
  int FEnd[3] = {}, FMid[3] = {}, FLow[3] = {}, FHigh[3] = {};
  double FRangeScale = 0;
  double FRangeMin = 0, FRangeMax = 0;
};

class TCustom3DGridSeries : public TCustom3DPaletteSeries {
  VM_CLASS(TCustom3DGridSeries, TCustom3DPaletteSeries)
public:
  explicit TCustom3DGridSeries(TComponent* AOwner);

  virtual void CreateValues(int32_t NumX, int32_t NumZ);
  virtual double GetYValue(int32_t X, int32_t Z);
  bool CanCreateValues() const;
  void RecreateValues() { CreateValues(FNumXValues, FNumZValues); }
  // Range error for a grid of billions of cells.
  void InitGridIndex(int32_t NX, int32_t NZ);
  static bool GridSizeFits(int64_t NX, int64_t NZ);
  void FillGridIndex();
  // The point of a cell (columns 1..NumXValues, rows 1..NumZValues), -1 when empty or outside.
  int32_t GridIndexAt(int32_t Column, int32_t Row) const;

  void ClearValues() override;
  void PrepareForDraw() override;
  void Assign(TPersistent* Source) override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  int32_t DefaultRandomCount() override { return FNumXValues; }
  bool FunctionAcceptsSource(TChartSeries* Source) override;

  int32_t NumXValues() const { return FNumXValues; }
  void SetNumXValues(int32_t Value);
  int32_t NumZValues() const { return FNumZValues; }
  void SetNumZValues(int32_t Value);
  bool IrregularGrid() const { return FIrregularGrid; }
  void SetIrregularGrid(bool Value) { SetBooleanProperty(FIrregularGrid, Value); }

  TChartSurfaceGetY OnGetYValue;

protected:
  std::vector<std::vector<int32_t>> GridIndex;
  // The sorted distinct X and Z values of the last irregular grid.
  std::vector<double> GridXs, GridZs;
  int32_t FNumXValues = 10, FNumZValues = 10;
  bool FIrregularGrid = false;
  bool FSampling = false;
};

class TColorGridSeries : public TCustom3DGridSeries {
  VM_CLASS(TColorGridSeries, TCustom3DGridSeries)
public:
  explicit TColorGridSeries(TComponent* AOwner);
  ~TColorGridSeries() override;

  double CellStart(double V) const { return FCenteredPoints ? V - 0.5 : V; }
  double CellEnd(double V) const { return FCenteredPoints ? V + 0.5 : (FIrregularGrid ? V : V + 1); }

  void DrawVisiblePoints() override;
  double HighestX() override;
  double HighestY() override { return HighestZ(); }
  double HighestZ() override;
  double LowestX() override;
  double LowestY() override { return LowestZ(); }
  double LowestZ() override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void Assign(TPersistent* Source) override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  static void ClassEditorName(std::string& Name) { Name = "TColorGridEditor"; }

  bool CenteredPoints() const { return FCenteredPoints; }
  void SetCenteredPoints(bool Value) { SetBooleanProperty(FCenteredPoints, Value); }
  bool SmoothBitmap() const { return FSmoothBitmap; }
  void SetSmoothBitmap(bool Value) { SetBooleanProperty(FSmoothBitmap, Value); }
  int32_t XGridEvery() const { return FXGridEvery; }
  void SetXGridEvery(int32_t Value) { SetIntegerProperty(FXGridEvery, Value); }
  int32_t ZGridEvery() const { return FZGridEvery; }
  void SetZGridEvery(int32_t Value) { SetIntegerProperty(FZGridEvery, Value); }
  TChartHiddenPen* Frame() const { return FFrame.get(); }
  void SetFrame(TChartHiddenPen* Value) { FFrame->Assign(Value); }

private:
  void DrawBitmap(int32_t L, int32_t R, int32_t T, int32_t B, int32_t Offset, TRect& Dest);
  void DrawCells();
  void DrawGridLines(const TRect& Dest, int32_t Offset);

  bool FCenteredPoints = false;
  bool FSmoothBitmap = false;
  int32_t FXGridEvery = 1, FZGridEvery = 1;
  std::unique_ptr<TChartHiddenPen> FFrame;
  std::unique_ptr<TBitmap> FBitmap;
};
