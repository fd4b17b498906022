// The down-sampling function: fills its series with a reduced copy of a long source, either by
// line simplification or by collapsing runs of points whose X values lie close together.
#pragma once

#include <cstdint>

#include "chart/engine/graph_function.h"

enum TDownSampleMethod : uint8_t { dsDouglas, dsMax, dsMin, dsMinMax, dsAverage };
extern const TEnumInfo DownSampleMethodInfo;

// Reduces Count points (X[i], Y[i]) into OutX/OutY, which hold room for Count points, and gives
// the number written. Tolerance is a distance from a line for dsDouglas (both axes' units at
// once) and a distance along X for the run methods. The simplification walks its ranges with an
// explicit stack, so no shape of the input can exhaust the call stack.
int32_t DownSample(const double* X, const double* Y, int32_t Count, double* OutX, double* OutY,
                   TDownSampleMethod Method, double Tolerance);

class TDownSamplingFunction : public TGraphFunction {
  VM_CLASS(TDownSamplingFunction, TGraphFunction)
public:
  explicit TDownSamplingFunction(TComponent* AOwner);

  void CalculateFromSource(TChartSeries* Source) override;

  TDownSampleMethod DownSampleMethod() const { return FMethod; }
  void SetDownSampleMethod(TDownSampleMethod Value);
  double Tolerance() const { return FTolerance; }
  // Stored as at least 0.
  void SetTolerance(double Value);

private:
  TDownSampleMethod FMethod = dsDouglas;
  double FTolerance = 1;
};

void RegisterDownSamplingFunction();
void UnregisterDownSamplingFunction();
