#include "chart/engine/tool_base.h"

#include <algorithm>

#include "chart/engine/graph_function.h"
#include "chart/engine/series_marks.h"

char LegendColumnSeparator = 6;
int32_t AxisPixelLimit = 67108863;

TChartSeries* TCustomSeriesList::SeriesAt(int Index) const {
  if (Index < 0 || Index >= Count()) throw ERangeError("Range check error");
  return FItems[static_cast<size_t>(Index)];
}

int TCustomSeriesList::Add(TChartSeries* Series) {
  FItems.push_back(Series);
  return Count() - 1;
}

void TCustomSeriesList::Insert(int Index, TChartSeries* Series) {
  if (Index < 0 || Index > Count()) throw ERangeError("Range check error");
  FItems.insert(FItems.begin() + Index, Series);
}

void TCustomSeriesList::Delete(int Index) {
  if (Index < 0 || Index >= Count()) throw ERangeError("Range check error");
  FItems.erase(FItems.begin() + Index);
}

int TCustomSeriesList::Remove(TChartSeries* Series) {
  const int i = IndexOf(Series);
  if (i >= 0) Delete(i);
  return i;
}

int TCustomSeriesList::IndexOf(const TChartSeries* Series) const {
  auto it = std::find(FItems.begin(), FItems.end(), Series);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TCustomSeriesList::Exchange(int Index1, int Index2) {
  SeriesAt(Index1);
  SeriesAt(Index2);
  std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
}

TChartSeriesList::TChartSeriesList(TComponent* AOwner) : TCustomSeriesList(AOwner) {}

TChartSeriesList::~TChartSeriesList() = default;

void TChartSeriesList::SetSeriesAt(int Index, TChartSeries* Series) {
  SeriesAt(Index);
  FItems[static_cast<size_t>(Index)] = Series;
}

void TChartSeriesList::ClearAllValues() {
  for (TChartSeries* s : FItems) s->ClearValues();
}

bool TChartSeriesList::AreAllActive() const {
  return std::all_of(FItems.begin(), FItems.end(), [](TChartSeries* s) { return s->Active(); });
}

void TChartSeriesList::ActivateAll(bool Value) {
  for (TChartSeries* s : FItems) s->SetActive(Value);
}

namespace {
bool& ModuleStarted() {
  static bool started = false;
  return started;
}
}  // namespace

void InitSeriesModule() {
  if (ModuleStarted()) return;
  ModuleStarted() = true;
  AxisPixelLimit = 67108863;
  RegisterClasses({TSeriesMarks::StaticClass()});
}

void DoneSeriesModule() {
  if (!ModuleStarted()) return;
  ModuleStarted() = false;
  FreeDataSourceStyleList();
  UnRegisterClasses({TSeriesMarks::StaticClass()});
}
