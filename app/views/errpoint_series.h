// The MT curve series: a line series whose every point carries a vertical error bar between a
// low and a high value, and the three chart functions of MT plotting (log10 of both
// coordinates, ten to the power of both, and the modulus over several curves).
#pragma once

#include <memory>
#include <string>

#include "chart/series/functions_basic.h"
#include "chart/series/line_series.h"

class TErrPointSeries : public TLineSeries {
  VM_CLASS(TErrPointSeries, TLineSeries)
public:
  explicit TErrPointSeries(TComponent* AOwner);
  ~TErrPointSeries() override;

  // Adds a point with its bar from Low to High; answers the index where the point landed.
  int32_t AddErrPoint(double X, double Y, double Low, double High, const std::string& Label = "",
                      TColor Color = clDefault);

  TChartPen* ErrLinePen() const { return FErrLinePen.get(); }
  void SetErrLinePen(TChartPen* Value) { FErrLinePen->Assign(Value); }
  TChartValueList* HighValues() const { return FHighValues; }
  void SetHighValues(TChartValueList* Value) { AssignValueList(FHighValues, Value); }
  TChartValueList* LowValues() const { return FLowValues; }
  void SetLowValues(TChartValueList* Value) { AssignValueList(FLowValues, Value); }
  int32_t HorizGap() const { return FHorizGap; }
  void SetHorizGap(int32_t Value) { SetIntegerProperty(FHorizGap, Value); }

  void Assign(TPersistent* Source) override;
  void DrawOneValue(int32_t ValueIndex) override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  static void ClassEditorName(std::string& Name) { Name = "TCustomSeriesEditor"; }

private:
  std::unique_ptr<TChartPen> FErrLinePen;
  TChartValueList* FHighValues = nullptr;  // owned by the series' value lists
  TChartValueList* FLowValues = nullptr;
  int32_t FHorizGap = 3;
};

// (log10 X, log10 Y) of every source point whose X and Y are both above zero.
class TLog10GraphFunction : public TGraphFunction {
  VM_CLASS(TLog10GraphFunction, TGraphFunction)
public:
  explicit TLog10GraphFunction(TComponent* AOwner) : TGraphFunction(AOwner) {}
  void CalculateFromSource(TChartSeries* Source) override;
};

// (10^X, 10^Y) of every source point.
class TPow10GraphFunction : public TGraphFunction {
  VM_CLASS(TPow10GraphFunction, TGraphFunction)
public:
  explicit TPow10GraphFunction(TComponent* AOwner) : TGraphFunction(AOwner) {}
  void CalculateFromSource(TChartSeries* Source) override;
};

// Point by point over several sources, the square root of the sum of squares: with the real and
// imaginary curves of a complex value as its two sources, the modulus.
class TModuleGraphFunction : public TManySeriesGraphFunction {
  VM_CLASS(TModuleGraphFunction, TManySeriesGraphFunction)
public:
  explicit TModuleGraphFunction(TComponent* AOwner) : TManySeriesGraphFunction(AOwner) {}
  double CalculateValue(double Result, double Value) override;
};

// The gallery texts of the series type and the three functions (the program's language).
extern std::string MsgErrPointSeries, MsgLog10Function, MsgPow10Function, MsgModuleFunction;

// Registration with the chart engine at start-up, and its removal at the end.
void RegisterMtChartTypes();
void UnregisterMtChartTypes();
