#include "chart/series/functions_common.h"

#include <cmath>

namespace {

bool ListIsFinite(TChartValueList* List) {
  if (!List) return true;
  for (int32_t i = 0; i < List->Count(); ++i)
    if (!std::isfinite(List->GetValue(i))) return false;
  return true;
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

VM_DEFINE_CLASS(TFiniteSourceFunction)
VM_DEFINE_CLASS(TFiniteSourceMovingFunction)

void TFiniteSourceFunction::CalculateFromSource(TChartSeries* Source) {
  if (SourcesAreFinite(this, Source)) TGraphFunction::CalculateFromSource(Source);
}

void TFiniteSourceMovingFunction::CalculateFromSource(TChartSeries* Source) {
  if (SourcesAreFinite(this, Source)) TGraphMovingFunction::CalculateFromSource(Source);
}
