// Series for the function tests: a plain one that counts its rebuilds, and one with open, high and
// low lists beside its closes; helpers that fill and read them, a source and a result series
// with a function between them, and the sample points the moving functions are checked on.
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

// A source series, a result series, and the function that makes the one from the other.
struct TFnRig {
  TComponent Owner{nullptr};
  TFnSeries* Src = new TFnSeries(&Owner);
  TFnSeries* Dst = new TFnSeries(&Owner);
  template <class F>
  F* Use() {
    auto* f = new F(&Owner);
    Dst->AttachFunction(f);
    return f;
  }
  template <class F>
  F* Use(double Period) {
    auto* f = new F(&Owner);
    f->InternalSetPeriod(Period);
    Dst->AttachFunction(f);
    return f;
  }
  void Run() {
    Dst->ClearValues();
    Dst->FunctionObject()->CalculateFromSource(Src);
  }
};

// Unevenly spaced sample points with repeats, negatives and a zero.
inline const std::vector<double> kX{0.5, 1, 2.5, 3, 4.5, 6, 6.5, 8, 9, 11};
inline const std::vector<double> kY{4, -2, 7, 7, 1, 9, 3, 0, 3, -6};
