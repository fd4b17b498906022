#include "chart/series/functions_common.h"

#include <cmath>

namespace {

bool ListIsFinite(TChartValueList* List) {
  if (!List) return true;
  const double* v = List->Data();
  bool finite = true;
  for (int32_t i = 0, n = List->Count(); i < n; ++i) finite &= std::isfinite(v[i]);
  return finite;
}

bool SeriesIsFinite(TChartSeries* S) {
  for (int i = 0; i < S->ValueLists.Count(); ++i)
    if (!ListIsFinite(S->ValueLists[i])) return false;
  return true;
}

}  // namespace

bool SourcesAreFinite(TGraphFunction* Function, TChartSeries* Source) {
  if (Source && !SeriesIsFinite(Source)) return false;
  if (TChartSeries* parent = Function->ParentSeries; parent && parent->DataSources)
    for (int i = 0; i < parent->DataSources->Count(); ++i)
      if (auto* s = dynamic_cast<TChartSeries*>(parent->DataSources->Items(i)); s && s != Source && !SeriesIsFinite(s))
        return false;
  return true;
}

bool HasHighLowLists(TChartSeries* Source) {
  if (!Source) return false;
  TChartValueList* y = Source->YValues();
  return Source->ValueListByName("High") != y && Source->ValueListByName("Low") != y;
}

void ReserveValues(TChartSeries* Series, int32_t Count) {
  if (!Series || Count <= 0) return;
  for (int i = 0; i < Series->ValueLists.Count(); ++i)
    if (TChartValueList* l = Series->ValueLists[i]; l->Values.size() < static_cast<size_t>(Count))
      l->Values.resize(static_cast<size_t>(Count));
}

VM_DEFINE_CLASS(TFiniteSourceFunction)
VM_DEFINE_CLASS(TFiniteSourceMovingFunction)

void TFiniteSourceFunction::CalculateFromSource(TChartSeries* Source) {
  if (SourcesAreFinite(this, Source)) TGraphFunction::CalculateFromSource(Source);
}

void TFiniteSourceMovingFunction::CalculateFromSource(TChartSeries* Source) {
  if (!SourcesAreFinite(this, Source)) return;
  // A moving function gives at most one point per source point: room for them all at once.
  if (Source && ParentSeries && ParentSeries->DataSources->Count() <= 1)
    ReserveValues(ParentSeries, Source->PointCount());
  TGraphMovingFunction::CalculateFromSource(Source);
}
