// Financial indicators and the functions that build their own series: the relative strength index,
// the average directional index with its +DI / -DI lines, MACD with its signal line and histogram,
// Bollinger bands, the crossing points of two sources and the perimeter (convex hull) of a series.
#pragma once

#include "chart/series/functions_common.h"

class TFastLineSeries;
class TBarSeries;

enum TRSIStyle { rsiOpenClose, rsiClose };
extern const TEnumInfo RSIStyleInfo;

// Sources need "Open", "High" and "Low" lists beside their closes (open-high-low-close data).
bool IsOHLCSource(TChartSeries* Source);

class TRSIFunction : public TFiniteSourceMovingFunction {
  VM_CLASS(TRSIFunction, TFiniteSourceMovingFunction)
public:
  explicit TRSIFunction(TComponent* AOwner) : TFiniteSourceMovingFunction(AOwner) {}
  bool AcceptsSource(TChartSeries* Source) override { return IsOHLCSource(Source); }
  double ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) override;
  void ComputeFromSource(TChartSeries* Source, TChartValueList* ValueList) override;
  TRSIStyle Style() const { return FStyle; }
  void SetStyle(TRSIStyle Value);

private:
  void LookUpLists(TChartSeries* Source);
  TRSIStyle FStyle = rsiOpenClose;
  TChartSeries* FSource = nullptr;
  TChartValueList* FClose = nullptr;
  TChartValueList* FOpen = nullptr;
};

class TADXFunction : public TFiniteSourceFunction {
  VM_CLASS(TADXFunction, TFiniteSourceFunction)
public:
  explicit TADXFunction(TComponent* AOwner);
  bool AcceptsSource(TChartSeries* Source) override { return IsOHLCSource(Source); }
  void CalculateFromSource(TChartSeries* Source) override;
  void Clear() override;
  void GetEditorClassName(std::string& Name) override { Name = "TADXFuncEditor"; }
  TChartPen* UpLinePen() const;
  void SetUpLinePen(TChartPen* Value);
  TChartPen* DownLinePen() const;
  void SetDownLinePen(TChartPen* Value);

  TFastLineSeries* UpLine;    // +DI, owned
  TFastLineSeries* DownLine;  // -DI, owned
};

class TMACDFunction : public TFiniteSourceMovingFunction {
  VM_CLASS(TMACDFunction, TFiniteSourceMovingFunction)
public:
  explicit TMACDFunction(TComponent* AOwner);
  void CalculateFromSource(TChartSeries* Source) override;
  void Clear() override;
  void GetEditorClassName(std::string& Name) override { Name = "TMACDFuncEditor"; }
  // The short average's period; values below 1 become 1.
  double Period2() const { return FPeriod2; }
  void SetPeriod2(double Value);
  // The signal line's period.
  int32_t Period3() const { return FPeriod3; }
  void SetPeriod3(int32_t Value);
  TChartPen* MACDPen() const;
  void SetMACDPen(TChartPen* Value);
  TChartPen* MACDExpPen() const;
  void SetMACDExpPen(TChartPen* Value);
  TChartPen* HistogramPen() const;
  void SetHistogramPen(TChartPen* Value);

  TFastLineSeries* SignalLine;  // owned, internal
  TBarSeries* HistogramLine;    // owned, internal, bars from 0

private:
  double FPeriod2 = 12;
  int32_t FPeriod3 = 9;
};

class TBollingerFunction : public TFiniteSourceFunction {
  VM_CLASS(TBollingerFunction, TFiniteSourceFunction)
public:
  explicit TBollingerFunction(TComponent* AOwner);
  void CalculateFromSource(TChartSeries* Source) override;
  void Clear() override;
  void GetEditorClassName(std::string& Name) override { Name = "TBollingerFuncEditor"; }
  bool Exponential() const { return FExponential; }
  void SetExponential(bool Value);
  double Deviation() const { return FDeviation; }
  void SetDeviation(double Value);
  TChartPen* UpperBandPen() const;
  void SetUpperBandPen(TChartPen* Value);
  TChartPen* LowBandPen() const;
  void SetLowBandPen(TChartPen* Value);

  TFastLineSeries* LowerBand;  // owned, internal; the upper band is the parent series

private:
  void AddBands(TChartSeries* Source);
  bool FExponential = true;
  double FDeviation = 2;
};

// Where the lines of the first two sources cross.
class TCrossPointsFunction : public TFiniteSourceFunction {
  VM_CLASS(TCrossPointsFunction, TFiniteSourceFunction)
public:
  explicit TCrossPointsFunction(TComponent* AOwner) : TFiniteSourceFunction(AOwner) {}
  void CalculateFromSource(TChartSeries* Source) override;
  void GetEditorClassName(std::string& Name) override { Name.clear(); }
};

// The convex outline of the source's points as the chart shows them, closed.
class TPerimeterFunction : public TFiniteSourceFunction {
  VM_CLASS(TPerimeterFunction, TFiniteSourceFunction)
public:
  explicit TPerimeterFunction(TComponent* AOwner) : TFiniteSourceFunction(AOwner) {}
  void CalculateFromSource(TChartSeries* Source) override;
};

// Puts the indicators on the financial page and the cross points and perimeter on the extended page.
void RegisterFinancialFunctions();
void UnregisterFinancialFunctions();
