#include "chart/extra/indicator_functions.h"

#include <cmath>
#include <limits>
#include <vector>

#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"
#include "chart/series/financial_series.h"
#include "platform/exceptions.h"

namespace {

TChartValueList* ValueListOf(TGraphFunction* Function, TDataSourcesList* Sources, int I) {
  auto* s = dynamic_cast<TChartSeries*>(Sources->Items(I));
  return s ? Function->GetSourceValueList(s) : nullptr;
}

int32_t RoundedPeriod(double Period) {
  const double r = std::nearbyint(Period);
  if (!(r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max()))
    throw ERangeError("Range check error");
  return static_cast<int32_t>(r);
}

// One point per source value: the first equal to the first value, each next one value * a plus
// the previous average * (1 - a), a = 2 / (period + 1); none for fewer than two values.
std::vector<double> ExpAverage(const TChartValueList* Values, double Period) {
  std::vector<double> r;
  const int32_t n = Values->Count();
  if (n < 2) return r;
  const double a = 2 / (Period + 1);
  const double* v = Values->Data();
  r.resize(static_cast<size_t>(n));
  r[0] = v[0];
  for (int32_t i = 1; i < n; ++i) r[static_cast<size_t>(i)] = v[i] * a + r[static_cast<size_t>(i) - 1] * (1 - a);
  return r;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Count and cumulative

VM_DEFINE_CLASS(TCountGraphFunction)

double TCountGraphFunction::ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex) {
  if (FirstIndex == -1) return GetSourceValueList(Source)->Count();
  return LastIndex - FirstIndex + 1;
}

double TCountGraphFunction::ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) {
  int n = 0;
  for (int i = 0; i < Sources->Count(); ++i)
    if (TChartValueList* l = ValueListOf(this, Sources, i); l && l->Count() > ValueIndex) ++n;
  return n;
}

VM_PUBLISH(TCumulative) { P.Float("Period", &TCumulative::Period, &TCumulative::SetPeriod).Default(1.0); }

TCumulative::TCumulative(TComponent* AOwner) : TGraphFunction(AOwner) { InternalSetPeriod(1); }

double TCumulative::ComputeValue(TChartSeries* Source, int32_t FirstIndex, int32_t /*LastIndex*/) {
  if (FirstIndex < 0) return 0;
  double v = GetSourceValueList(Source)->Value(FirstIndex);
  if (FirstIndex >= 1 && ParentSeries && ParentSeries->MandatoryList->Count() > 0)
    v += ParentSeries->MandatoryList->Last();
  return v;
}

double TCumulative::ComputeManyValue(TDataSourcesList* Sources, int32_t ValueIndex) {
  double v = 0;
  if (ValueIndex > 0 && ParentSeries && ParentSeries->MandatoryList->Count() >= ValueIndex)
    v = ParentSeries->MandatoryList->Value(ValueIndex - 1);
  for (int i = 0; i < Sources->Count(); ++i)
    if (TChartValueList* l = ValueListOf(this, Sources, i); l && l->Count() > ValueIndex) v += l->Value(ValueIndex);
  return v;
}

// ---------------------------------------------------------------------------------------------
// Volume-reading indicators

VM_DEFINE_CLASS(TVolumeIndicatorFunction)

TVolumeIndicatorFunction::TVolumeIndicatorFunction(TComponent* AOwner) : TGraphFunction(AOwner) {
  InternalSetPeriod(1);
  SingleSource = true;
  NoValueListChoice = true;
}

TVolumeIndicatorFunction::~TVolumeIndicatorFunction() {
  if (FVolume) FVolume->RemoveFreeNotification(this);
}

bool TVolumeIndicatorFunction::AcceptsSource(TChartSeries* Source) { return dynamic_cast<TOHLCSeries*>(Source); }

void TVolumeIndicatorFunction::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphFunction::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FVolume) FVolume = nullptr;
}

void TVolumeIndicatorFunction::SetVolume(TChartSeries* Value) {
  if (FVolume == Value) return;
  if (FVolume) FVolume->RemoveFreeNotification(this);
  FVolume = Value;
  if (FVolume) FVolume->FreeNotification(this);
  Recalculate();
}

VM_PUBLISH(TCLVFunction) {
  P.Bool("Accumulate", &TCLVFunction::Accumulate, &TCLVFunction::SetAccumulate).Default(true);
  P.Component("Volume", &TCLVFunction::Volume, &TCLVFunction::SetVolume);
}

void TCLVFunction::SetAccumulate(bool Value) {
  if (FAccumulate == Value) return;
  FAccumulate = Value;
  Recalculate();
}

void TCLVFunction::CalculateFromSource(TChartSeries* Source) {
  TChartSeries* parent = ParentSeries;
  auto* s = dynamic_cast<TOHLCSeries*>(Source);
  if (!parent || !s) return;
  parent->ClearValues();
  const int32_t n = s->PointCount();
  const double *h = s->HighValues()->Data(), *l = s->LowValues()->Data(), *c = s->CloseValues()->Data();
  const double* d = s->DateValues()->Data();
  const int32_t volumes = FVolume ? FVolume->PointCount() : 0;
  double last = 0;
  for (int32_t i = 0; i < n; ++i) {
    const double range = h[i] - l[i];
    double v = range == 0 ? 1 : ((c[i] - l[i]) - (h[i] - c[i])) / range;
    if (i < volumes) v *= FVolume->MandatoryList->Value(i);
    if (FAccumulate && i > 0) v += last;
    parent->AddPoint(d[i], v, "", clAutoColor);
    last = v;
  }
}

VM_PUBLISH(TOBVFunction) { P.Component("Volume", &TOBVFunction::Volume, &TOBVFunction::SetVolume); }

void TOBVFunction::CalculateFromSource(TChartSeries* Source) {
  TChartSeries* parent = ParentSeries;
  auto* s = dynamic_cast<TOHLCSeries*>(Source);
  if (!parent || !s) return;
  parent->ClearValues();
  if (!FVolume) return;
  const int32_t n = std::min(s->PointCount(), FVolume->PointCount());
  const double *o = s->OpenValues()->Data(), *c = s->CloseValues()->Data(), *d = s->DateValues()->Data();
  double last = 0;
  for (int32_t i = 0; i < n; ++i) {
    double a = FVolume->MandatoryList->Value(i);
    if (i > 0) a = c[i] > o[i] ? last + a : last - a;
    parent->AddPoint(d[i], a, "", clAutoColor);
    last = a;
  }
}

// ---------------------------------------------------------------------------------------------
// Commodity channel index

VM_PUBLISH(TCCIFunction) { P.Float("Constant", &TCCIFunction::Constant, &TCCIFunction::SetConstant).Default(0.015); }

TCCIFunction::TCCIFunction(TComponent* AOwner) : TGraphFunction(AOwner) {
  InternalSetPeriod(20);
  SingleSource = true;
  NoValueListChoice = true;
}

bool TCCIFunction::AcceptsSource(TChartSeries* Source) { return dynamic_cast<TOHLCSeries*>(Source); }

void TCCIFunction::SetConstant(double Value) {
  if (FConstant == Value) return;
  FConstant = Value;
  Recalculate();
}

void TCCIFunction::CalculateFromSource(TChartSeries* Source) {
  TChartSeries* parent = ParentSeries;
  auto* s = dynamic_cast<TOHLCSeries*>(Source);
  if (!parent || !s) return;
  parent->ClearValues();
  const int32_t p = RoundedPeriod(Period());
  const int32_t n = s->PointCount();
  if (p < 1 || n < p) return;
  const double *h = s->HighValues()->Data(), *l = s->LowValues()->Data(), *c = s->CloseValues()->Data();
  const double* x = s->NotMandatoryList->Data();
  std::vector<double> tp(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) tp[static_cast<size_t>(i)] = (c[i] + h[i] + l[i]) / 3;
  const double k = FConstant == 0 ? 1 : FConstant;
  for (int32_t i = p - 1; i < n; ++i) {
    const size_t first = static_cast<size_t>(i - p + 1), end = static_cast<size_t>(i) + 1;
    // Four running sums each: the additions do not wait on one another.
    double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    size_t b = first;
    for (; b + 4 <= end; b += 4) {
      s0 += tp[b];
      s1 += tp[b + 1];
      s2 += tp[b + 2];
      s3 += tp[b + 3];
    }
    for (; b < end; ++b) s0 += tp[b];
    const double ma = ((s0 + s1) + (s2 + s3)) / p;
    double d0 = 0, d1 = 0, d2 = 0, d3 = 0;
    for (b = first; b + 4 <= end; b += 4) {
      d0 += std::fabs(ma - tp[b]);
      d1 += std::fabs(ma - tp[b + 1]);
      d2 += std::fabs(ma - tp[b + 2]);
      d3 += std::fabs(ma - tp[b + 3]);
    }
    for (; b < end; ++b) d0 += std::fabs(ma - tp[b]);
    const double dev = ((d0 + d1) + (d2 + d3)) / p;
    if (dev != 0) parent->AddPoint(x[i], (tp[static_cast<size_t>(i)] - ma) / (k * dev), "", clAutoColor);
  }
}

// ---------------------------------------------------------------------------------------------
// Percentage oscillator of two exponential averages

VM_PUBLISH(TPVOFunction) {
  P.Bool("Percentage", &TPVOFunction::Percentage, &TPVOFunction::SetPercentage).Default(true);
  P.Int("Period2", &TPVOFunction::Period2, &TPVOFunction::SetPeriod2).Default(26);
}

TPVOFunction::TPVOFunction(TComponent* AOwner) : TGraphFunction(AOwner) {
  InternalSetPeriod(12);
  SingleSource = true;
  NoValueListChoice = true;
}

void TPVOFunction::SetPercentage(bool Value) {
  FPercentage = Value;
  Recalculate();
}

void TPVOFunction::SetPeriod2(int32_t Value) {
  if (Value < 0) throw ChartException(ErrFunctionPeriod);
  if (FPeriod2 == Value) return;
  FPeriod2 = Value;
  Recalculate();
}

void TPVOFunction::CalculateFromSource(TChartSeries* Source) {
  TChartSeries* parent = ParentSeries;
  if (!parent || !Source) return;
  parent->ClearValues();
  if (Period() <= 0) return;
  TChartValueList* values = GetSourceValueList(Source);
  const std::vector<double> shortAve = ExpAverage(values, Period());
  const std::vector<double> longAve = ExpAverage(values, FPeriod2);
  const double* x = Source->NotMandatoryList->Data();
  for (size_t i = 0; i < shortAve.size(); ++i) {
    const double s = shortAve[i], g = longAve[i];
    const double y = !FPercentage ? s - g : s != 0 ? (s - g) / s : g;
    parent->AddPoint(x[i], y * 100, "", clAutoColor);
  }
}

void RegisterIndicatorFunctions() {
  RegisterStandardFunctionType(TCountGraphFunction::StaticClass(), &MsgFunctionCount);
  RegisterFunctionType(TCumulative::StaticClass(), &MsgFunctionCumulative, &MsgPageExtended, 2);
  RegisterFunctionType(TCLVFunction::StaticClass(), &MsgFunctionCloseLocationValue, &MsgGalleryPageFinancial, 1);
  RegisterFunctionType(TOBVFunction::StaticClass(), &MsgFunctionOnBalanceVolume, &MsgGalleryPageFinancial, 1);
  RegisterFunctionType(TCCIFunction::StaticClass(), &MsgFunctionCommodityChannelIndex, &MsgGalleryPageFinancial, 1);
  RegisterFunctionType(TPVOFunction::StaticClass(), &MsgFunctionVolumeOscillator, &MsgGalleryPageFinancial, 1);
}

void UnregisterIndicatorFunctions() {
  UnregisterFunctionTypes({TCountGraphFunction::StaticClass(), TCumulative::StaticClass(), TCLVFunction::StaticClass(),
                           TOBVFunction::StaticClass(), TCCIFunction::StaticClass(), TPVOFunction::StaticClass()});
}
