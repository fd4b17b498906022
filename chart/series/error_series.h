// Statistical series: error lines with end caps at each point (optionally over a bar), and the
// high-low band between two values per point.
#pragma once

#include <memory>

#include "chart/series/bar_series.h"

enum TErrorSeriesStyle { essLeft, essRight, essLeftRight, essTop, essBottom, essTopBottom };
enum TErrorWidthUnits { ewuPercent, ewuPixels };
extern const TEnumInfo ErrorSeriesStyleInfo;
extern const TEnumInfo ErrorWidthUnitsInfo;

class TCustomErrorSeries : public TBarSeries {
  VM_CLASS(TCustomErrorSeries, TBarSeries)
public:
  explicit TCustomErrorSeries(TComponent* AOwner);
  ~TCustomErrorSeries() override;

  int32_t AddErrorBar(double X, double Y, double Error, const std::string& Label = "", TColor Color = clDefault);

  TChartPen* ErrorPen() const { return FErrorPen.get(); }
  void SetErrorPen(TChartPen* Value);
  TErrorSeriesStyle ErrorStyle() const { return FErrorStyle; }
  void SetErrorStyle(TErrorSeriesStyle Value);
  TChartValueList* ErrorValues() const { return FErrorValues; }
  void SetErrorValues(TChartValueList* Value) { AssignValueList(FErrorValues, Value); }
  int32_t ErrorWidth() const { return FErrorWidth; }
  void SetErrorWidth(int32_t Value) { SetIntegerProperty(FErrorWidth, Value); }
  TErrorWidthUnits ErrorWidthUnits() const { return FErrorWidthUnits; }
  void SetErrorWidthUnits(TErrorWidthUnits Value);
  bool WithBar() const { return FWithBar; }

  static bool GalleryHasStacked() { return false; }
  void DrawBar(int32_t ValueIndex, int StartPos, int EndPos) override;
  void GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) override;
  void GetVerticalMargins(int32_t& TopMargin, int32_t& BottomMargin) override;
  void FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) override;
  void AdjustLegendBrush(int32_t ValueIndex, TColor& BackColor, TBrushStyle& Style) override;
  void SetSeriesColor(TColor Value) override;
  double HighestY() override;
  double LowestY() override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TErrorSeriesEditor"; }

protected:
  void PrepareErrorPen(int32_t ValueIndex);
  void DrawError(int X, int Y, int Length, int Width, bool Is3D);

  std::unique_ptr<TChartPen> FErrorPen;
  TErrorSeriesStyle FErrorStyle = essTopBottom;
  TChartValueList* FErrorValues = nullptr;  // owned by the value lists
  int32_t FErrorWidth = 100;
  TErrorWidthUnits FErrorWidthUnits = ewuPercent;
  bool FWithBar = false;
};

class TErrorSeries : public TCustomErrorSeries {
  VM_CLASS(TErrorSeries, TCustomErrorSeries)
public:
  using TCustomErrorSeries::TCustomErrorSeries;
};

class TErrorBarSeries : public TCustomErrorSeries {
  VM_CLASS(TErrorBarSeries, TCustomErrorSeries)
public:
  explicit TErrorBarSeries(TComponent* AOwner);
};

class THighLowSeries : public TChartSeries {
  VM_CLASS(THighLowSeries, TChartSeries)
public:
  explicit THighLowSeries(TComponent* AOwner);
  ~THighLowSeries() override;

  int32_t AddHighLow(double X, double High, double Low, const std::string& Label = "", TColor Color = clDefault);

  TChartBrush* HighBrush() const { return Brush(); }
  void SetHighBrush(TChartBrush* Value) { SetBrush(Value); }
  TChartPen* HighPen() const { return FHighPen.get(); }
  void SetHighPen(TChartPen* Value) { FHighPen->Assign(Value); }
  TChartValueList* HighValues() const { return FYValues; }
  void SetHighValues(TChartValueList* Value) { SetYValues(Value); }
  TChartBrush* LowBrush() const { return FLowBrush.get(); }
  void SetLowBrush(TChartBrush* Value) { FLowBrush->Assign(Value); }
  TChartPen* LowPen() const { return FLowPen.get(); }
  void SetLowPen(TChartPen* Value) { FLowPen->Assign(Value); }
  TChartValueList* LowValues() const { return FLowValues; }
  void SetLowValues(TChartValueList* Value) { FLowValues->Assign(Value); }
  int32_t Transparency() const { return FTransparency; }
  void SetTransparency(int32_t Value) { SetIntegerProperty(FTransparency, Value); }

  void DrawOneValue(int32_t ValueIndex) override;
  double HighestY() override;
  double LowestY() override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  bool AcceptsSourceSeries(TChartSeries* Source) override;
  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;
  static void ClassEditorName(std::string& Name) { Name = "THighLowEditor"; }

private:
  std::unique_ptr<TChartPen> FHighPen, FLowPen;
  std::unique_ptr<TChartBrush> FLowBrush;
  TChartValueList* FLowValues = nullptr;
  int32_t FTransparency = 0;
  int FOldX = 0, FOldHigh = 0, FOldLow = 0;
};
