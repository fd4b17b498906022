// What the calculated functions share: the check that keeps values that are not numbers out of a
// result, and the lookup of a financial source's named value lists.
#pragma once

#include "chart/engine/graph_function.h"

// True when every position and every value the function reads from its sources is a finite number.
bool SourcesAreFinite(TGraphFunction* Function, TChartSeries* Source);

// Makes room for Count values in every value list of the series (the values stay), so a long
// result fills without growing its lists step by step.
void ReserveValues(TChartSeries* Series, int32_t Count);

// A source series with "High" and "Low" value lists of its own (open-high-low-close data).
bool HasHighLowLists(TChartSeries* Source);

// A function whose result stays empty when a source holds a value that is not a finite number:
// one such value would spread into every later point of a window or running sum.
class TFiniteSourceFunction : public TGraphFunction {
  VM_CLASS(TFiniteSourceFunction, TGraphFunction)
public:
  explicit TFiniteSourceFunction(TComponent* AOwner) : TGraphFunction(AOwner) {}
  void CalculateFromSource(TChartSeries* Source) override;
};

class TFiniteSourceMovingFunction : public TGraphMovingFunction {
  VM_CLASS(TFiniteSourceMovingFunction, TGraphMovingFunction)
public:
  explicit TFiniteSourceMovingFunction(TComponent* AOwner) : TGraphMovingFunction(AOwner) {}
  void CalculateFromSource(TChartSeries* Source) override;
};
