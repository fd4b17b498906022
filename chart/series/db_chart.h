// The dataset-bound chart: series whose data source is a dataset take one point per record (or
// one per group of records, by date keyword and summary keyword in their value sources); series
// whose data source is a data source component show the fields of the current record. The chart
// watches its datasets and refills the series when they change, and optionally on a timer.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/chart.h"
#include "chart/engine/chart_errors.h"
#include "platform/dataset.h"

class TCustomDBChart;
class TTimer;

class DBChartException : public ChartException {
public:
  using ChartException::ChartException;
};

using TProcessRecordEvent = std::function<void(TCustomDBChart* Sender, TDataSet* DataSet)>;
using TDBChartDataSetProc = std::function<void(TDataSet* DataSet)>;

// One watched dataset: its notifications run the chart's refresh and clear callbacks.
class TDBChartDataSource : public TDataSource {
  VM_CLASS(TDBChartDataSource, TDataSource)
public:
  TDBChartDataSource(TCustomDBChart* Chart, TDataSet* DataSet, bool CurrentRecord);
  // The data source's own teardown notifies no more: this part of it is gone by then.
  ~TDBChartDataSource() override;
  TCustomDBChart* Chart() const { return FChart; }
  bool WasActive = false;
  TDBChartDataSetProc RefreshProc;
  TDBChartDataSetProc ClearProc;

private:
  void StateChanged();
  void DataChanged(TField* Field);
  void UpdatingData();
  TCustomDBChart* FChart;
  int FLastCount = -1;  // records at the last notice (a delete changes it without a state change)
};

// The data sources of one chart (owned).
class TListOfDataSources {
public:
  int Count() const { return static_cast<int>(FItems.size()); }
  TDBChartDataSource* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }
  void Add(std::unique_ptr<TDBChartDataSource> Item) { FItems.push_back(std::move(Item)); }
  void Delete(int Index) { FItems.erase(FItems.begin() + Index); }
  void Clear() { FItems.clear(); }

private:
  std::vector<std::unique_ptr<TDBChartDataSource>> FItems;
};

// The work list of one fill.
struct TDBChartSeriesEntry {
  TChartSeries* Series = nullptr;
  bool Vertical = true;
  TChartValueList* ValueList = nullptr;
  int Sort = 0;  // 0 none, 1 ascending, 2 descending
  TField* LabelField = nullptr;
  TField* ColorField = nullptr;
  TField* ValueField = nullptr;
  int ValueFieldCount = 0;
  int DateGroup = 7;  // 0 HOUR .. 6 YEAR, 7 none
  int Summary = 0;    // 0 none, 1 SUM, 2 COUNT, 3 HIGH, 4 LOW, 5 AVG
  std::vector<std::string> ValueNames;
  std::vector<TField*> ExtraFields;  // the fields of the value lists from index 2 on (or none)
  TField* XField = nullptr;
  std::vector<int> Counts;  // AVG: records per point
};
using TDBChartSeriesList = std::vector<TDBChartSeriesEntry>;

class TCustomDBChart : public TCustomChart {
  VM_CLASS(TCustomDBChart, TCustomChart)
public:
  explicit TCustomDBChart(TComponent* AOwner);
  ~TCustomDBChart() override;

  bool RefreshOnChange() const { return FRefreshOnChange; }
  void SetRefreshOnChange(bool Value) { FRefreshOnChange = Value; }
  int RefreshSeconds() const { return FRefreshSeconds; }
  // 0 to 60; raises DBChartException "Refresh Interval must be between 0 and 60".
  void SetRefreshSeconds(int Value);
  bool ShowGlassCursor() const { return FShowGlassCursor; }
  void SetShowGlassCursor(bool Value) { FShowGlassCursor = Value; }
  TProcessRecordEvent OnProcessRecord;

  void RefreshSeriesData(TChartSeries* Series) override;
  void DetachSeriesSource(TChartSeries* Series, TComponent* Component) override;
  bool AcceptsDataSource(TChartSeries* Series, TComponent* Source) override;
  void Assign(TPersistent* Source) override;

  // Fills the series bound to the dataset (all of them when Series is none).
  void RefreshDataSet(TDataSet* DataSet, TChartSeries* Series);
  void RefreshAllData();
  // The field names a series' editor offers.
  void FillSeriesSourceItems(TChartSeries* Series, const std::function<void(const std::string&)>& Proc);
  const TListOfDataSources& DataSources() const { return *FDataSources; }
  bool Refreshing() const { return FRefreshing; }
  // The refresh timer's tick (tests call it as the loop would).
  void RefreshTimerTick();
  TTimer* RefreshTimer() const { return FTimer; }

private:
  void CheckDataSet(TDataSet* DataSet, bool CurrentRecord);
  void CheckTimer();
  void NotifiedRefresh(TDataSet* DataSet);
  void ClearSeriesOf(TDataSet* DataSet);
  void AddCurrentRecord(TDBChartSeriesEntry& Entry, bool SourceIsDataSet);
  void AddPoint(TDBChartSeriesEntry& Entry, double X, double Y, const std::string& Label, TColor Color);

  bool FRefreshOnChange = true;
  int FRefreshSeconds = 0;
  bool FShowGlassCursor = true;
  bool FRefreshing = false;
  bool FNotifying = false;
  std::unique_ptr<TListOfDataSources> FDataSources;
  TTimer* FTimer = nullptr;  // owned through the component tree
};

// "#KEYWORD#Field": the keyword (upper case, "" without one) and the field name.
void SplitFieldSource(const std::string& Source, std::string& Keyword, std::string& FieldName);
// The label of a date for a date grouping (0 HOUR .. 6 YEAR).
std::string DateGroupLabel(double Date, int Group);
