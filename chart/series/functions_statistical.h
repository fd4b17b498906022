// Statistical functions, one value per window or period of a source: moving and exponential
// averages, momentum and momentum division, standard deviation, root mean square, variance,
// stochastic %K and performance.
#pragma once

#include <vector>

#include "chart/series/functions_common.h"

class TMovingAverageFunction : public TFiniteSourceMovingFunction {
  VM_CLASS(TMovingAverageFunction, TFiniteSourceMovingFunction)
public:
  explicit TMovingAverageFunction(TComponent* AOwner) : TFiniteSourceMovingFunction(AOwner) {}
  double ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) override;
  void ComputeFromSource(TChartSeries* Source, TChartValueList* ValueList) override;
  void GetEditorClassName(std::string& Name) override { Name = "TMovAveFuncEditor"; }
  bool Weighted() const { return FWeighted; }
  void SetWeighted(bool Value);
  bool WeightedIndex() const { return FWeightedIndex; }
  void SetWeightedIndex(bool Value);

private:
  bool FWeighted = false;
  bool FWeightedIndex = false;
};

// (1 - Weight) times the previous source value plus Weight times the current one.
class TExpAverageFunction : public TFiniteSourceMovingFunction {
  VM_CLASS(TExpAverageFunction, TFiniteSourceMovingFunction)
public:
  explicit TExpAverageFunction(TComponent* AOwner) : TFiniteSourceMovingFunction(AOwner) {}
  double ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) override;
  void GetEditorClassName(std::string& Name) override { Name = "TExpAveFuncEditor"; }
  double Weight() const { return FWeight; }
  // Raises ChartException "ExpAverage Weight must be between 0 and 1" outside 0..1.
  void SetWeight(double Value);

private:
  double FWeight = 0.2;
};

class TMomentumFunction : public TFiniteSourceMovingFunction {
  VM_CLASS(TMomentumFunction, TFiniteSourceMovingFunction)
public:
  explicit TMomentumFunction(TComponent* AOwner) : TFiniteSourceMovingFunction(AOwner) {}
  double ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) override;
};

class TMomentumDivFunction : public TMomentumFunction {
  VM_CLASS(TMomentumDivFunction, TMomentumFunction)
public:
  explicit TMomentumDivFunction(TComponent* AOwner) : TMomentumFunction(AOwner) {}
  double ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) override;
};

// Standard deviation: over the population with Complete, over the sample without.
class TStdDeviationFunction : public TFiniteSourceFunction {
  VM_CLASS(TStdDeviationFunction, TFiniteSourceFunction)
public:
  explicit TStdDeviationFunction(TComponent* AOwner) : TFiniteSourceFunction(AOwner) {}
  double ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) override;
  double ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) override;
  void GetEditorClassName(std::string& Name) override { Name = "TRMSFuncEditor"; }
  bool Complete() const { return FComplete; }
  void SetComplete(bool Value);

protected:
  virtual double Result() const;
  void Accumulate(double Value);

  double Sum = 0, SumSquares = 0;
  int32_t NumPoints = 0;

private:
  bool FComplete = false;
};

// Root mean square: the square root of the sum of squares over count (Complete) or count - 1.
class TRMSFunction : public TStdDeviationFunction {
  VM_CLASS(TRMSFunction, TStdDeviationFunction)
public:
  explicit TRMSFunction(TComponent* AOwner) : TStdDeviationFunction(AOwner) {}

protected:
  double Result() const override;
};

// The population variance of the range (or of the sources' values at one index).
class TVarianceFunction : public TFiniteSourceFunction {
  VM_CLASS(TVarianceFunction, TFiniteSourceFunction)
public:
  explicit TVarianceFunction(TComponent* AOwner) : TFiniteSourceFunction(AOwner) {}
  double ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) override;
  double ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) override;
};

// %K of a source with "High" and "Low" lists: where the close lies between the window's extremes.
class TStochasticFunction : public TFiniteSourceMovingFunction {
  VM_CLASS(TStochasticFunction, TFiniteSourceMovingFunction)
public:
  explicit TStochasticFunction(TComponent* AOwner) : TFiniteSourceMovingFunction(AOwner) {}
  void ComputeFromSource(TChartSeries* Source, TChartValueList* ValueList) override;
  double ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) override;

  std::vector<double> Numerators, Denominators;  // one per source point, during one calculation
};

// The change in percent from the series' first value.
class TPerformanceFunction : public TFiniteSourceMovingFunction {
  VM_CLASS(TPerformanceFunction, TFiniteSourceMovingFunction)
public:
  explicit TPerformanceFunction(TComponent* AOwner) : TFiniteSourceMovingFunction(AOwner) {}
  double ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) override;
};

// Puts the statistical functions on the gallery's financial and extended pages; called once at start-up.
void RegisterStatisticalFunctions();
void UnregisterStatisticalFunctions();
