#include "chart/series/functions_basic.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"

namespace {

// The series of a data-source entry, or null for sources that are not series.
TChartSeries* SourceAt(TDataSourcesList* Sources, int i) { return dynamic_cast<TChartSeries*>(Sources->Items(i)); }

// Whole-series ranges (-1) become 0 .. count - 1.
void WholeRange(TChartSeries* Source, int32_t& First, int32_t& Last) {
  if (First == -1) First = 0;
  if (Last == -1) Last = Source->PointCount() - 1;
}

}  // namespace

// ---------------------------------------------------------------------------------------------

VM_DEFINE_CLASS(TAddGraphFunction)

double TAddGraphFunction::ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) {
  TChartValueList* v = GetSourceValueList(Source);
  if (FirstIndex == -1) return v->Total();
  double s = 0;
  for (int32_t i = FirstIndex; i <= LastIndex; ++i) s += v->GetValue(i);
  return s;
}

double TAddGraphFunction::ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) {
  double s = 0;
  for (int i = 0; i < Sources->Count(); ++i)
    if (TChartSeries* src = SourceAt(Sources, i); src && src->PointCount() > ValueIndex)
      s += GetSourceValueList(src)->GetValue(ValueIndex);
  return s;
}

// ---------------------------------------------------------------------------------------------

VM_DEFINE_CLASS(TExtremeGraphFunction)
VM_DEFINE_CLASS(THighGraphFunction)
VM_DEFINE_CLASS(TLowGraphFunction)

double TExtremeGraphFunction::ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) {
  TChartValueList* v = GetSourceValueList(Source);
  if (FirstIndex == -1) return IsLow ? v->MinValue() : v->MaxValue();
  if (LastIndex < FirstIndex) return 0;
  double r = v->GetValue(FirstIndex);
  for (int32_t i = FirstIndex + 1; i <= LastIndex; ++i) {
    const double x = v->GetValue(i);
    if (IsLow ? x < r : x > r) r = x;
  }
  return r;
}

double TExtremeGraphFunction::ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) {
  double r = 0;
  for (int i = 0; i < Sources->Count(); ++i) {
    TChartSeries* src = SourceAt(Sources, i);
    if (!src || src->PointCount() <= ValueIndex) continue;
    const double x = GetSourceValueList(src)->GetValue(ValueIndex);
    if (i == 0 || (IsLow ? x < r : x > r)) r = x;
  }
  return r;
}

// ---------------------------------------------------------------------------------------------

VM_PUBLISH(TAverageGraphFunction) {
  P.Bool("IncludeNulls", &TAverageGraphFunction::IncludeNulls, &TAverageGraphFunction::SetIncludeNulls).Default(true);
}

void TAverageGraphFunction::SetIncludeNulls(bool Value) {
  if (FIncludeNulls != Value) {
    FIncludeNulls = Value;
    Recalculate();
  }
}

double TAverageGraphFunction::ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) {
  TChartValueList* v = GetSourceValueList(Source);
  if (FirstIndex == -1 && FIncludeNulls) {
    const int32_t n = Source->PointCount();
    return n > 0 ? v->Total() / n : 0;
  }
  WholeRange(Source, FirstIndex, LastIndex);
  double s = 0;
  int32_t count = 0;
  for (int32_t i = FirstIndex; i <= LastIndex; ++i) {
    if (!FIncludeNulls && Source->IsNullPoint(i)) continue;
    s += v->GetValue(i);
    ++count;
  }
  return count > 0 ? s / count : 0;
}

double TAverageGraphFunction::ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) {
  double s = 0;
  int32_t count = 0;
  for (int i = 0; i < Sources->Count(); ++i) {
    TChartSeries* src = SourceAt(Sources, i);
    if (!src || src->PointCount() <= ValueIndex) continue;
    if (!FIncludeNulls && src->IsNullPoint(ValueIndex)) continue;
    s += GetSourceValueList(src)->GetValue(ValueIndex);
    ++count;
  }
  return count > 0 ? s / count : 0;
}

// ---------------------------------------------------------------------------------------------

VM_DEFINE_CLASS(TManySeriesGraphFunction)
VM_DEFINE_CLASS(TSubtractGraphFunction)
VM_DEFINE_CLASS(TMultiplyGraphFunction)
VM_DEFINE_CLASS(TDivideGraphFunction)

double TManySeriesGraphFunction::ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) {
  double r = 0;
  bool first = true;
  for (int i = 0; i < Sources->Count(); ++i) {
    TChartSeries* src = SourceAt(Sources, i);
    if (!src || src->PointCount() <= ValueIndex) continue;
    const double x = GetSourceValueList(src)->GetValue(ValueIndex);
    r = first ? x : CalculateValue(r, x);
    first = false;
  }
  return r;
}

// ---------------------------------------------------------------------------------------------

VM_DEFINE_CLASS(TCustomSortedFunction)

VM_PUBLISH(TMedianGraphFunction) {
  P.Bool("IncludeNulls", &TCustomSortedFunction::IncludeNulls, &TCustomSortedFunction::SetIncludeNulls).Default(true);
}
VM_PUBLISH(TModeGraphFunction) {
  P.Bool("IncludeNulls", &TCustomSortedFunction::IncludeNulls, &TCustomSortedFunction::SetIncludeNulls).Default(true);
}

void TCustomSortedFunction::SetIncludeNulls(bool Value) {
  if (FIncludeNulls != Value) {
    FIncludeNulls = Value;
    Recalculate();
  }
}

void TCustomSortedFunction::InsertSorted(double Value) {
  SortedValues.insert(std::upper_bound(SortedValues.begin(), SortedValues.end(), Value), Value);
  SortedCount = static_cast<int32_t>(SortedValues.size());
}

double TCustomSortedFunction::ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) {
  WholeRange(Source, FirstIndex, LastIndex);
  if (LastIndex < FirstIndex) return 0;
  TChartValueList* v = Source->MandatoryList;
  SortedValues.clear();
  SortedValues.reserve(static_cast<size_t>(LastIndex - FirstIndex + 1));
  for (int32_t i = FirstIndex; i <= LastIndex; ++i)
    if (FIncludeNulls || !Source->IsNullPoint(i)) SortedValues.push_back(v->GetValue(i));
  // A stable sort places equal values in arrival order, as insertion one by one would.
  std::stable_sort(SortedValues.begin(), SortedValues.end());
  SortedCount = static_cast<int32_t>(SortedValues.size());
  const double r = CalculateSorted();
  SortedValues = {};
  SortedCount = 0;
  return r;
}

double TCustomSortedFunction::ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) {
  SortedValues.clear();
  SortedCount = 0;
  for (int i = 0; i < Sources->Count(); ++i) {
    TChartSeries* src = SourceAt(Sources, i);
    if (!src || src->PointCount() <= ValueIndex) continue;
    if (!FIncludeNulls && src->IsNullPoint(ValueIndex)) continue;
    InsertSorted(src->MandatoryList->GetValue(ValueIndex));
  }
  const double r = Sources->Count() > 0 ? CalculateSorted() : 0;
  SortedValues = {};
  SortedCount = 0;
  return r;
}

// The middle value for an odd count, the mean of the two middle values for an even one.
double TMedianGraphFunction::CalculateSorted() {
  if (SortedCount == 0) return 0;
  if (SortedCount == 1) return SortedValues[0];
  const int32_t m = SortedCount / 2;
  if (SortedCount % 2 == 1) return SortedValues[m];
  return (SortedValues[m - 1] + SortedValues[m]) * 0.5;
}

// The value of the longest run of equal values; the smallest wins among equally long runs.
double TModeGraphFunction::CalculateSorted() {
  if (SortedCount == 0) return 0;
  double best = SortedValues[0];
  int32_t bestRun = 0;
  for (int32_t i = 0; i < SortedCount;) {
    int32_t j = i;
    while (j < SortedCount && SortedValues[j] == SortedValues[i]) ++j;
    if (j - i > bestRun) {
      bestRun = j - i;
      best = SortedValues[i];
    }
    i = j;
  }
  return best;
}

// ---------------------------------------------------------------------------------------------

VM_PUBLISH(TCustomGraphFunction) {
  P.Int("NumPoints", &TCustomGraphFunction::NumPoints, &TCustomGraphFunction::SetNumPoints).Default(100);
  P.Float("StartX", &TCustomGraphFunction::StartX, &TCustomGraphFunction::SetStartX);
}

TCustomGraphFunction::TCustomGraphFunction(TComponent* AOwner) : TGraphFunction(AOwner) { InternalSetPeriod(1); }

void TCustomGraphFunction::SetNumPoints(int32_t Value) {
  if (FNumPoints != Value) {
    FNumPoints = Value;
    Recalculate();
  }
}

void TCustomGraphFunction::SetStartX(double Value) {
  if (FStartX != Value) {
    FStartX = Value;
    Recalculate();
  }
}

void TCustomGraphFunction::CalculateFromSource(TChartSeries* /*Source*/) {
  if (!OnCalculate || !ParentSeries) return;
  ParentSeries->ClearValues();
  double x = FStartX;
  for (int32_t i = 0; i < FNumPoints; ++i) {
    X = x;
    double y = 0;
    OnCalculate(this, x, y);
    if (!std::isfinite(y) || !std::isfinite(x)) {
      x += Period();
      continue;
    }
    if (ParentSeries->YMandatory)
      ParentSeries->AddPoint(x, y, "", clDefault);
    else
      ParentSeries->AddPoint(y, x, "", clDefault);
    x += Period();
  }
}

// ---------------------------------------------------------------------------------------------

void RegisterBasicFunctions() {
  RegisterStandardFunctionType(TAddGraphFunction::StaticClass(), &MsgFunctionAdd);
  RegisterStandardFunctionType(TSubtractGraphFunction::StaticClass(), &MsgFunctionSubtract);
  RegisterStandardFunctionType(TMultiplyGraphFunction::StaticClass(), &MsgFunctionMultiply);
  RegisterStandardFunctionType(TDivideGraphFunction::StaticClass(), &MsgFunctionDivide);
  RegisterStandardFunctionType(THighGraphFunction::StaticClass(), &MsgFunctionHigh);
  RegisterStandardFunctionType(TLowGraphFunction::StaticClass(), &MsgFunctionLow);
  RegisterStandardFunctionType(TAverageGraphFunction::StaticClass(), &MsgFunctionAverage);
  RegisterStandardFunctionType(TCustomGraphFunction::StaticClass(), &MsgFunctionCustom);
  RegisterStandardFunctionType(TMedianGraphFunction::StaticClass(), &MsgFunctionMedian);
  RegisterStandardFunctionType(TModeGraphFunction::StaticClass(), &MsgFunctionMode);
}

void UnregisterBasicFunctions() {
  UnregisterFunctionTypes({TAddGraphFunction::StaticClass(), TSubtractGraphFunction::StaticClass(),
                           TMultiplyGraphFunction::StaticClass(), TDivideGraphFunction::StaticClass(),
                           THighGraphFunction::StaticClass(), TLowGraphFunction::StaticClass(),
                           TAverageGraphFunction::StaticClass(), TCustomGraphFunction::StaticClass(),
                           TMedianGraphFunction::StaticClass(), TModeGraphFunction::StaticClass()});
}
