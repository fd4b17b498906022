// Series for the function tests: a plain one that counts its rebuilds, and one with open, high and
// low lists beside its closes; helpers that fill and read them.
#pragma once

#include <vector>

#include "chart/engine/graph_function.h"
#include "chart/engine/value_lists.h"

class TFnSeries : public TChartSeries {
  VM_CLASS(TFnSeries, TChartSeries)
public:
  explicit TFnSeries(TComponent* AOwner) : TChartSeries(AOwner) {}
  void RecalcFromSource(TChartSeries* Source) override {
    ++Rebuilds;
    TChartSeries::RecalcFromSource(Source);
  }
  int Rebuilds = 0;
};

class TOHLCFnSeries : public TFnSeries {
  VM_CLASS(TOHLCFnSeries, TFnSeries)
public:
  explicit TOHLCFnSeries(TComponent* AOwner);
  void AddOHLC(double X, double Open, double High, double Low, double Close);
  TChartValueList* Open;
  TChartValueList* High;
  TChartValueList* Low;
};

struct TOHLCRow {
  double Open, High, Low, Close;
};

void FillSeries(TChartSeries* S, const std::vector<double>& X, const std::vector<double>& Y);
void FillSeries(TChartSeries* S, const std::vector<double>& Y);  // X = 0, 1, 2, ...
std::vector<double> YsOf(const TChartSeries* S);
std::vector<double> XsOf(const TChartSeries* S);
// True when every X and Y of the series is a finite number.
bool AllFinite(const TChartSeries* S);
