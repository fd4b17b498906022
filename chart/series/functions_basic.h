// The basic calculated functions: sums, extremes, averages, medians and modes over a range of one
// source, the same point by point over several sources, the folds subtract / multiply / divide,
// and the function whose points come from an event handler.
#pragma once

#include <functional>
#include <vector>

#include "chart/series/functions_common.h"

class TAddGraphFunction : public TFiniteSourceFunction {
  VM_CLASS(TAddGraphFunction, TFiniteSourceFunction)
public:
  explicit TAddGraphFunction(TComponent* AOwner) : TFiniteSourceFunction(AOwner) {}
  double ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) override;
  double ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) override;
};

// The largest (or, with IsLow, smallest) value.
class TExtremeGraphFunction : public TFiniteSourceFunction {
  VM_CLASS(TExtremeGraphFunction, TFiniteSourceFunction)
public:
  explicit TExtremeGraphFunction(TComponent* AOwner) : TFiniteSourceFunction(AOwner) {}
  double ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) override;
  double ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) override;

protected:
  bool IsLow = false;
};

class THighGraphFunction : public TExtremeGraphFunction {
  VM_CLASS(THighGraphFunction, TExtremeGraphFunction)
public:
  explicit THighGraphFunction(TComponent* AOwner) : TExtremeGraphFunction(AOwner) {}
};

class TLowGraphFunction : public TExtremeGraphFunction {
  VM_CLASS(TLowGraphFunction, TExtremeGraphFunction)
public:
  explicit TLowGraphFunction(TComponent* AOwner) : TExtremeGraphFunction(AOwner) { IsLow = true; }
};

class TAverageGraphFunction : public TFiniteSourceFunction {
  VM_CLASS(TAverageGraphFunction, TFiniteSourceFunction)
public:
  explicit TAverageGraphFunction(TComponent* AOwner) : TFiniteSourceFunction(AOwner) {}
  double ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) override;
  double ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) override;
  void GetEditorClassName(std::string& Name) override { Name = "TAverageFuncEditor"; }
  bool IncludeNulls() const { return FIncludeNulls; }
  void SetIncludeNulls(bool Value);

private:
  bool FIncludeNulls = true;
};

// Folds the values of the sources at one index, in list order.
class TManySeriesGraphFunction : public TFiniteSourceFunction {
  VM_CLASS(TManySeriesGraphFunction, TFiniteSourceFunction)
public:
  explicit TManySeriesGraphFunction(TComponent* AOwner) : TFiniteSourceFunction(AOwner) {}
  double ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) override;
  virtual double CalculateValue(double /*Result*/, double /*Value*/) { return 0; }
};

class TSubtractGraphFunction : public TManySeriesGraphFunction {
  VM_CLASS(TSubtractGraphFunction, TManySeriesGraphFunction)
public:
  explicit TSubtractGraphFunction(TComponent* AOwner) : TManySeriesGraphFunction(AOwner) {}
  double CalculateValue(double Result, double Value) override { return Result - Value; }
};

class TMultiplyGraphFunction : public TManySeriesGraphFunction {
  VM_CLASS(TMultiplyGraphFunction, TManySeriesGraphFunction)
public:
  explicit TMultiplyGraphFunction(TComponent* AOwner) : TManySeriesGraphFunction(AOwner) {}
  double CalculateValue(double Result, double Value) override { return Result * Value; }
};

// A zero divisor leaves the running result as it is.
class TDivideGraphFunction : public TManySeriesGraphFunction {
  VM_CLASS(TDivideGraphFunction, TManySeriesGraphFunction)
public:
  explicit TDivideGraphFunction(TComponent* AOwner) : TManySeriesGraphFunction(AOwner) {}
  double CalculateValue(double Result, double Value) override { return Value == 0 ? Result : Result / Value; }
};

// Functions that work on the sorted values of a range.
class TCustomSortedFunction : public TFiniteSourceFunction {
  VM_CLASS(TCustomSortedFunction, TFiniteSourceFunction)
public:
  explicit TCustomSortedFunction(TComponent* AOwner) : TFiniteSourceFunction(AOwner) {}
  double ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) override;
  double ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) override;
  virtual double CalculateSorted() { return 0; }
  bool IncludeNulls() const { return FIncludeNulls; }
  void SetIncludeNulls(bool Value);

  // The working array of one calculation, ascending; equal values keep their arrival order.
  std::vector<double> SortedValues;
  int32_t SortedCount = 0;

protected:
  void InsertSorted(double Value);

private:
  bool FIncludeNulls = true;
};

class TMedianGraphFunction : public TCustomSortedFunction {
  VM_CLASS(TMedianGraphFunction, TCustomSortedFunction)
public:
  explicit TMedianGraphFunction(TComponent* AOwner) : TCustomSortedFunction(AOwner) {}
  double CalculateSorted() override;
};

class TModeGraphFunction : public TCustomSortedFunction {
  VM_CLASS(TModeGraphFunction, TCustomSortedFunction)
public:
  explicit TModeGraphFunction(TComponent* AOwner) : TCustomSortedFunction(AOwner) {}
  double CalculateSorted() override;
};

// y = f(x): NumPoints points from StartX in steps of Period, each y from the handler (a y that is
// not a finite number leaves its point out).
class TCustomGraphFunction : public TGraphFunction {
  VM_CLASS(TCustomGraphFunction, TGraphFunction)
public:
  using TCalculateEvent = std::function<void(TCustomGraphFunction* Sender, double X, double& Y)>;
  explicit TCustomGraphFunction(TComponent* AOwner);
  void CalculateFromSource(TChartSeries* Source) override;
  void GetEditorClassName(std::string& Name) override { Name = "TCustomFunctionEditor"; }
  int32_t NumPoints() const { return FNumPoints; }
  void SetNumPoints(int32_t Value);
  double StartX() const { return FStartX; }
  void SetStartX(double Value);

  TCalculateEvent OnCalculate;
  double X = 0;  // the X handed to the handler

private:
  int32_t FNumPoints = 100;
  double FStartX = 0;
};

// Puts the basic functions on the gallery's standard page; called once at start-up.
void RegisterBasicFunctions();
void UnregisterBasicFunctions();
