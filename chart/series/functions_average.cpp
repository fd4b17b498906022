#include "chart/series/functions_average.h"

#include <cmath>

#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"

VM_DEFINE_CLASS(TExpMovAveFunction)

TExpMovAveFunction::TExpMovAveFunction(TComponent* AOwner) : TGraphFunction(AOwner) { InternalSetPeriod(10); }

void TExpMovAveFunction::CalculateFromSource(TChartSeries* Source) {
  if (!ParentSeries || !Source) return;
  ParentSeries->ClearValues();
  const int32_t n = Source->PointCount();
  if (Period() <= 0 || n < 2) return;
  TChartValueList* v = GetSourceValueList(Source);
  TChartValueList* pos = Source->NotMandatoryList;
  // A value that is not a number would poison every later point: the result stays empty.
  for (int32_t i = 0; i < n; ++i)
    if (!std::isfinite(v->GetValue(i)) || !std::isfinite(pos->GetValue(i))) return;
  const double k = 2 / (Period() + 1);
  double e = v->GetValue(0);
  ParentSeries->BeginUpdate();
  AddFunctionPoint(Source->YMandatory, e, pos->GetValue(0));
  for (int32_t i = 1; i < n; ++i) {
    e = k * v->GetValue(i) + (1 - k) * e;
    AddFunctionPoint(Source->YMandatory, e, pos->GetValue(i));
  }
  ParentSeries->EndUpdate();
}

void RegisterAverageFunctions() {
  RegisterFunctionType(TExpMovAveFunction::StaticClass(), &MsgFunctionExpMovingAverage, &MsgGalleryPageFinancial, 1);
}

void UnregisterAverageFunctions() { UnregisterFunctionTypes({TExpMovAveFunction::StaticClass()}); }
