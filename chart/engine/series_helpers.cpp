#include "chart/engine/series_helpers.h"

#include <algorithm>

#include "chart/engine/graph_panel.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/tool_base.h"

using namespace series_link;

std::string UniqueSeriesName(TComponent* Owner) { return UniqueComponentName(Owner, "Series"); }

TChartSeries* MakeSeriesOfClass(TComponent* Owner, TCustomAxisPanel* Chart, TChartSeriesClass SeriesClass,
                                TGraphFunctionClass FunctionClass) {
  TComponent* owner = Owner;
  if (Chart) {
    TComponent* chartComp = AsComponent(Chart);
    if (!owner) owner = chartComp;
    for (int i = 0; i < CountSeries(Chart); ++i)
      if (SeriesAt(Chart, i)->Owner() == chartComp) {
        owner = chartComp;
        break;
      }
  }
  auto* s = dynamic_cast<TChartSeries*>(SeriesClass->Create(owner));
  if (!s) throw EInvalidCast("Invalid class typecast");
  s->SetName(UniqueSeriesName(owner));
  s->SetParentChart(Chart);
  if (FunctionClass) MakeFunctionForSeries(s, FunctionClass);
  return s;
}

TGraphFunction* MakeFunctionForSeries(TChartSeries* Series, TGraphFunctionClass FunctionClass) {
  auto* f = dynamic_cast<TGraphFunction*>(FunctionClass->Create(Series->Owner()));
  if (!f) throw EInvalidCast("Invalid class typecast");
  Series->AttachFunction(f);
  f->SetName(UniqueComponentName(Series->Owner(), "GraphFunction"));
  return f;
}

TChartSeries* DuplicateSeries(TChartSeries* Series) {
  TGraphFunctionClass fc =
      Series->FunctionObject() ? static_cast<TGraphFunctionClass>(Series->FunctionObject()->ComponentClass()) : nullptr;
  TChartSeries* s = MakeSeriesOfClass(Series->Owner(), Series->ParentChart(),
                                      static_cast<TChartSeriesClass>(Series->ComponentClass()), fc);
  s->Assign(Series);
  return s;
}

TChartSeries* ConvertSeriesClass(TChartSeries*& Series, TChartSeriesClass NewClass) {
  if (Series->ClassType() == NewClass) return Series;
  TChartSeries* s = MakeSeriesOfClass(Series->Owner(), Series->ParentChart(), NewClass, nullptr);
  ReplaceSeries(Series, s);
  return Series;
}

void ReplaceSeries(TChartSeries*& Old, TChartSeries* New) {
  if (New == Old) return;
  New->Assign(Old);
  New->AfterDrawValues = Old->AfterDrawValues;
  New->BeforeDrawValues = Old->BeforeDrawValues;
  New->OnAfterAdd = Old->OnAfterAdd;
  New->OnBeforeAdd = Old->OnBeforeAdd;
  New->OnClearValues = Old->OnClearValues;
  New->OnClick = Old->OnClick;
  New->OnDblClick = Old->OnDblClick;
  New->OnGetMarkText = Old->OnGetMarkText;
  const std::string name = Old->Name();
  while (Old->DependentSeries->Count() > 0) {
    TChartSeries* d = Old->DependentSeries->SeriesAt(0);
    if (d->DataSources->IndexOf(New) < 0) d->DataSources->Append(New);
    d->DataSources->Remove(Old);
    if (New->DependentSeries->IndexOf(d) < 0) New->DependentSeries->Add(d);
    Old->DependentSeries->Delete(0);
  }
  TCustomAxisPanel* chart = Old->ParentChart();
  if (chart) {
    ReplaceToolSeries(chart, Old, New);
    SwapSeries(chart, Old, New);
  }
  delete Old;
  Old = nullptr;
  New->SetName(name);
  Old = New;
  if (chart) SendSeriesEvent(chart, New, kTitle);
  if (New->UpdateCount == 0) New->RefreshDataFromSource();
  if (New->DataIsOwn) New->NotifyValuesChanged();
}

bool SeriesHasXValues(TChartSeries* Series) {
  const int32_t n = Series->PointCount();
  if (!Series->StoresXValues || n == 0) return false;
  const TChartValueList* l = Series->NotMandatoryList;
  if (l->Values[0] != 0 || l->Values[static_cast<size_t>(n - 1)] != n - 1) return true;
  const int32_t m = std::min(10001, n);
  for (int32_t i = 0; i < m; ++i)
    if (l->Values[static_cast<size_t>(i)] != i) return true;
  return false;
}

bool SeriesHasColors(TChartSeries* Series) {
  if (!Series->PointColors) return false;
  const int32_t m = std::min(10001, Series->PointCount());
  const TColor sc = Series->SeriesColor();
  for (int32_t i = 0; i < m; ++i) {
    const TColor c = Series->StoredColorAt(i);
    if (c != clDefault && c != sc) return true;
  }
  return false;
}

bool SeriesHasLabels(TChartSeries* Series) {
  if (Series->Labels->Count() == 0) return false;
  const int32_t m = std::min(101, Series->PointCount());
  for (int32_t i = 0; i < m; ++i)
    if (!Series->LabelAt(i).empty()) return true;
  return false;
}

uint8_t GetSeriesDataFlags(TChartSeries* Series) {
  uint8_t f = 0;
  if (SeriesHasXValues(Series)) f |= 1;
  if (SeriesHasColors(Series)) f |= 2;
  if (SeriesHasLabels(Series)) f |= 4;
  if (Series->Marks()->Positions.HasUserMoved()) f |= 8;
  return f;
}
