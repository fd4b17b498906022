#include "chart/series/functions_statistical.h"

#include <cmath>
#include <deque>

#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "platform/exceptions.h"

namespace {

void WholeRange(TChartSeries* Source, int32_t& First, int32_t& Last) {
  if (First == -1) First = 0;
  if (Last == -1) Last = Source->PointCount() - 1;
}

int32_t WindowLength(double Period) { return static_cast<int32_t>(std::nearbyint(Period)); }

// The windows of a moving function: for each i = P - 1 .. n - 1 the window ending at i.
template <class F>
void EachWindow(TChartSeries* Source, double Period, F&& Fn) {
  const int32_t p = WindowLength(Period);
  for (int32_t i = std::max(p - 1, 0); i < Source->PointCount(); ++i) Fn(i - p + 1, i);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Moving average

VM_PUBLISH(TMovingAverageFunction) {
  P.Bool("Weighted", &TMovingAverageFunction::Weighted, &TMovingAverageFunction::SetWeighted).Default(false);
  P.Bool("WeightedIndex", &TMovingAverageFunction::WeightedIndex, &TMovingAverageFunction::SetWeightedIndex)
      .Default(false);
}

void TMovingAverageFunction::SetWeighted(bool Value) {
  if (FWeighted != Value) {
    FWeighted = Value;
    Recalculate();
  }
}

void TMovingAverageFunction::SetWeightedIndex(bool Value) {
  if (FWeightedIndex != Value) {
    FWeightedIndex = Value;
    Recalculate();
  }
}

double TMovingAverageFunction::ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) {
  if (Period() <= 0) throw EAssertionFailed("Period must be bigger than zero.");
  WholeRange(Source, FirstIndex, LastIndex);
  TChartValueList* v = GetSourceValueList(Source);
  const int32_t n = LastIndex - FirstIndex + 1;
  if (n <= 0) return 0;
  if (FWeighted || FWeightedIndex) {
    double sw = 0, swv = 0;
    for (int32_t i = FirstIndex; i <= LastIndex; ++i) {
      const double w = FWeighted ? Source->NotMandatoryList->GetValue(i) : static_cast<double>(i - FirstIndex + 1);
      sw += w;
      swv += w * v->GetValue(i);
    }
    return sw == 0 ? 0 : swv / sw;
  }
  double s = 0;
  for (int32_t i = FirstIndex; i <= LastIndex; ++i) s += v->GetValue(i);
  return s / n;
}

// The windows slide: running sums replace the per-window loops, so a long period costs no more
// than a short one.
void TMovingAverageFunction::ComputeFromSource(TChartSeries* Source, TChartValueList* ValueList) {
  if (Period() <= 0) throw EAssertionFailed("Period must be bigger than zero.");
  const int32_t p = WindowLength(Period()), n = Source->PointCount();
  if (p < 1 || n < p) return;
  const double* v = GetSourceValueList(Source)->Data();
  const double* x = Source->NotMandatoryList->Data();
  const double* pos = ValueList->Data();
  // Sum of values, sum of weight x value, sum of weights (X weights), index-weighted sum.
  long double s = 0, sxv = 0, sx = 0, sjv = 0;
  for (int32_t i = 0; i < n; ++i) {
    const long double vi = v[i], xi = x[i];
    if (i >= p) {
      const long double vo = v[i - p], xo = x[i - p];
      sjv += p * vi - s;  // every weight drops by one; the new value takes weight p
      s += vi - vo;
      sxv += xi * vi - xo * vo;
      sx += xi - xo;
    } else {
      s += vi;
      sxv += xi * vi;
      sx += xi;
      sjv += (i + 1) * vi;
    }
    if (i < p - 1) continue;
    double r;
    if (FWeighted)
      r = sx == 0 ? 0 : static_cast<double>(sxv / sx);
    else if (FWeightedIndex)
      r = static_cast<double>(sjv / (static_cast<long double>(p) * (p + 1) / 2));
    else
      r = static_cast<double>(s / p);
    AddFunctionPoint(Source->YMandatory, r, pos[i]);
  }
}

// ---------------------------------------------------------------------------------------------
// Exponential average

VM_PUBLISH(TExpAverageFunction) {
  P.Float("Weight", &TExpAverageFunction::Weight, &TExpAverageFunction::SetWeight).Default(0.2);
}

void TExpAverageFunction::SetWeight(double Value) {
  if (!(Value >= 0 && Value <= 1)) throw ChartException(ErrExpAverageWeight);
  if (FWeight != Value) {
    FWeight = Value;
    Recalculate();
  }
}

double TExpAverageFunction::ComputeValue(TChartSeries* Source, int32_t /*FirstIndex*/, int32_t LastIndex) {
  TChartValueList* v = GetSourceValueList(Source);
  if (LastIndex == -1) LastIndex = Source->PointCount() - 1;
  if (LastIndex < 0) return 0;
  if (LastIndex < 1) return v->GetValue(LastIndex);
  return (1 - FWeight) * v->GetValue(LastIndex - 1) + FWeight * v->GetValue(LastIndex);
}

// ---------------------------------------------------------------------------------------------
// Momentum

VM_DEFINE_CLASS(TMomentumFunction)
VM_DEFINE_CLASS(TMomentumDivFunction)

double TMomentumFunction::ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) {
  WholeRange(Source, FirstIndex, LastIndex);
  if (LastIndex < FirstIndex) return 0;
  TChartValueList* v = GetSourceValueList(Source);
  return v->GetValue(LastIndex) - v->GetValue(FirstIndex);
}

double TMomentumDivFunction::ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) {
  WholeRange(Source, FirstIndex, LastIndex);
  if (LastIndex < FirstIndex) return 0;
  TChartValueList* v = GetSourceValueList(Source);
  const double first = v->GetValue(FirstIndex);
  return first == 0 ? 0 : 100 * v->GetValue(LastIndex) / first;
}

// ---------------------------------------------------------------------------------------------
// Standard deviation and root mean square

VM_PUBLISH(TStdDeviationFunction) {
  P.Bool("Complete", &TStdDeviationFunction::Complete, &TStdDeviationFunction::SetComplete).Default(false);
}
VM_DEFINE_CLASS(TRMSFunction)

void TStdDeviationFunction::SetComplete(bool Value) {
  if (FComplete != Value) {
    FComplete = Value;
    Recalculate();
  }
}

void TStdDeviationFunction::Accumulate(double Value) {
  Sum += Value;
  SumSquares += Value * Value;
  ++NumPoints;
}

double TStdDeviationFunction::Result() const {
  if (NumPoints < 2) return 0;
  const double n = NumPoints;
  const double divisor = FComplete ? n * n : n * (n - 1);
  const double r = (n * SumSquares - Sum * Sum) / divisor;
  return r >= 0 ? std::sqrt(r) : 0;
}

double TRMSFunction::Result() const {
  if (NumPoints < 2) return 0;
  const double divisor = Complete() ? NumPoints : NumPoints - 1;
  return divisor == 0 ? 0 : std::sqrt(SumSquares / divisor);
}

double TStdDeviationFunction::ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) {
  WholeRange(Source, FirstIndex, LastIndex);
  TChartValueList* v = GetSourceValueList(Source);
  Sum = SumSquares = 0;
  NumPoints = 0;
  for (int32_t i = FirstIndex; i <= LastIndex; ++i) Accumulate(v->GetValue(i));
  const double r = Result();
  Sum = SumSquares = 0;
  NumPoints = 0;
  return r;
}

double TStdDeviationFunction::ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) {
  Sum = SumSquares = 0;
  NumPoints = 0;
  for (int i = 0; i < Sources->Count(); ++i)
    if (auto* s = dynamic_cast<TChartSeries*>(Sources->Items(i)); s && s->PointCount() > ValueIndex)
      Accumulate(GetSourceValueList(s)->GetValue(ValueIndex));
  const double r = Result();
  Sum = SumSquares = 0;
  NumPoints = 0;
  return r;
}

// ---------------------------------------------------------------------------------------------
// Variance

VM_DEFINE_CLASS(TVarianceFunction)

double TVarianceFunction::ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) {
  WholeRange(Source, FirstIndex, LastIndex);
  const int32_t n = LastIndex - FirstIndex + 1;
  if (n <= 0) return 0;
  TChartValueList* v = Source->MandatoryList;
  double m;
  if (FirstIndex == 0 && LastIndex == Source->PointCount() - 1) {
    m = v->Total() / n;
  } else {
    double s = 0;
    for (int32_t i = FirstIndex; i <= LastIndex; ++i) s += v->GetValue(i);
    m = s / n;
  }
  double q = 0;
  for (int32_t i = FirstIndex; i <= LastIndex; ++i) q += (v->GetValue(i) - m) * (v->GetValue(i) - m);
  return q / n;
}

// Sources without a point at the index take no part: the variance is that of the values present.
double TVarianceFunction::ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) {
  std::vector<double> values;
  for (int i = 0; i < Sources->Count(); ++i)
    if (auto* s = dynamic_cast<TChartSeries*>(Sources->Items(i)); s && s->PointCount() > ValueIndex)
      values.push_back(s->MandatoryList->GetValue(ValueIndex));
  if (values.empty()) return 0;
  double m = 0;
  for (double x : values) m += x;
  m /= static_cast<double>(values.size());
  double q = 0;
  for (double x : values) q += (x - m) * (x - m);
  return q / static_cast<double>(values.size());
}

// ---------------------------------------------------------------------------------------------
// Stochastic

VM_DEFINE_CLASS(TStochasticFunction)

double TStochasticFunction::ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) {
  WholeRange(Source, FirstIndex, LastIndex);
  if (LastIndex < FirstIndex) return 0;
  TChartValueList* low = Source->ValueListByName("Low");
  TChartValueList* high = Source->ValueListByName("High");
  double l = low->GetValue(FirstIndex), h = high->GetValue(FirstIndex);
  for (int32_t i = FirstIndex + 1; i <= LastIndex; ++i) {
    l = std::min(l, low->GetValue(i));
    h = std::max(h, high->GetValue(i));
  }
  const double num = Source->MandatoryList->GetValue(LastIndex) - l, den = h - l;
  if (static_cast<size_t>(LastIndex) < Numerators.size()) {
    Numerators[static_cast<size_t>(LastIndex)] = num;
    Denominators[static_cast<size_t>(LastIndex)] = den;
  }
  return l == h ? 0 : 100 * num / den;
}

// The window's lowest low and highest high come from monotonic queues: each point enters and leaves
// once, so the cost does not grow with the period.
void TStochasticFunction::ComputeFromSource(TChartSeries* Source, TChartValueList* ValueList) {
  const int32_t n = Source->PointCount(), p = std::max(WindowLength(Period()), 1);
  Numerators.assign(static_cast<size_t>(n), 0);
  Denominators.assign(static_cast<size_t>(n), 0);
  const double* low = Source->ValueListByName("Low")->Data();
  const double* high = Source->ValueListByName("High")->Data();
  const double* close = Source->MandatoryList->Data();
  const double* pos = ValueList->Data();
  std::deque<int32_t> lows, highs;
  for (int32_t i = 0; i < n; ++i) {
    while (!lows.empty() && low[lows.back()] >= low[i]) lows.pop_back();
    lows.push_back(i);
    while (!highs.empty() && high[highs.back()] <= high[i]) highs.pop_back();
    highs.push_back(i);
    if (lows.front() <= i - p) lows.pop_front();
    if (highs.front() <= i - p) highs.pop_front();
    if (i < p - 1) continue;
    const double l = low[lows.front()], h = high[highs.front()];
    const size_t k = static_cast<size_t>(i);
    Numerators[k] = close[i] - l;
    Denominators[k] = h - l;
    AddFunctionPoint(Source->YMandatory, l == h ? 0 : 100 * Numerators[k] / Denominators[k], pos[i]);
  }
  Numerators = {};
  Denominators = {};
}

// ---------------------------------------------------------------------------------------------
// Performance

VM_DEFINE_CLASS(TPerformanceFunction)

double TPerformanceFunction::ComputeValue(TChartSeries* Source, int32_t /*FirstIndex*/, int32_t LastIndex) {
  if (LastIndex == -1) LastIndex = Source->PointCount() - 1;
  if (LastIndex < 0) return 0;
  TChartValueList* v = GetSourceValueList(Source);
  const double first = v->GetValue(0);
  return first == 0 ? 0 : 100 * (v->GetValue(LastIndex) - first) / first;
}

// ---------------------------------------------------------------------------------------------

void RegisterStatisticalFunctions() {
  RegisterFunctionType(TMovingAverageFunction::StaticClass(), &MsgFunctionMovingAverage, &MsgGalleryPageFinancial, 1);
  RegisterFunctionType(TExpAverageFunction::StaticClass(), &MsgFunctionExponentialAverage, &MsgPageExtended, 1);
  RegisterFunctionType(TMomentumFunction::StaticClass(), &MsgFunctionMomentum, &MsgGalleryPageFinancial, 1);
  RegisterFunctionType(TMomentumDivFunction::StaticClass(), &MsgFunctionMomentumDivision, &MsgGalleryPageFinancial, 1);
  RegisterFunctionType(TStdDeviationFunction::StaticClass(), &MsgFunctionStandardDeviation, &MsgPageExtended, 1);
  RegisterFunctionType(TRMSFunction::StaticClass(), &MsgFunctionRootMeanSquare, &MsgPageExtended, 1);
  RegisterFunctionType(TStochasticFunction::StaticClass(), &MsgFunctionStochastic, &MsgGalleryPageFinancial, 1);
  RegisterFunctionType(TPerformanceFunction::StaticClass(), &MsgFunctionPerformance, &MsgPageExtended, 1);
  RegisterFunctionType(TVarianceFunction::StaticClass(), &MsgFunctionVariance, &MsgPageExtended, 1);
}

void UnregisterStatisticalFunctions() {
  UnregisterFunctionTypes(
      {TMovingAverageFunction::StaticClass(), TExpAverageFunction::StaticClass(), TMomentumFunction::StaticClass(),
       TMomentumDivFunction::StaticClass(), TStdDeviationFunction::StaticClass(), TRMSFunction::StaticClass(),
       TStochasticFunction::StaticClass(), TPerformanceFunction::StaticClass(), TVarianceFunction::StaticClass()});
}
