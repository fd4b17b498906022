// The exponential moving average: each point weighs the new value by 2 / (Period + 1).
#pragma once

#include "chart/engine/graph_function.h"

class TExpMovAveFunction : public TGraphFunction {
  VM_CLASS(TExpMovAveFunction, TGraphFunction)
public:
  explicit TExpMovAveFunction(TComponent* AOwner);
  void CalculateFromSource(TChartSeries* Source) override;
};

// Puts the averages on the gallery's financial page; called once at start-up.
void RegisterAverageFunctions();
void UnregisterAverageFunctions();
