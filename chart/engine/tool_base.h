// Lists of series, axes and tools, the tool base classes and series groups, and the start-up and
// shutdown of the engine module that holds the series model.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chart/engine/series_base.h"

class TSeriesGroups;

// Process-wide settings: the separator of legend and mark text columns, and the limit every axis
// pixel coordinate is clamped to.
extern char LegendColumnSeparator;
extern int32_t AxisPixelLimit;

// A list of series references (not owned) with the component it belongs to.
class TCustomSeriesList {
public:
  explicit TCustomSeriesList(TComponent* AOwner = nullptr) : Owner(AOwner) {}
  TCustomSeriesList(const TCustomSeriesList&) = delete;
  TCustomSeriesList& operator=(const TCustomSeriesList&) = delete;
  virtual ~TCustomSeriesList() = default;

  int Count() const { return static_cast<int>(FItems.size()); }
  // Range error outside 0..Count-1.
  TChartSeries* SeriesAt(int Index) const;
  TChartSeries* operator[](int Index) const { return SeriesAt(Index); }
  TChartSeries* Items(int Index) const { return SeriesAt(Index); }
  int Add(TChartSeries* Series);
  void Insert(int Index, TChartSeries* Series);
  void Delete(int Index);
  int Remove(TChartSeries* Series);
  int IndexOf(const TChartSeries* Series) const;
  void Exchange(int Index1, int Index2);
  void Clear() { FItems.clear(); }
  void Assign(const TCustomSeriesList& Other) { FItems = Other.FItems; }

  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

  TComponent* Owner;

protected:
  std::vector<TChartSeries*> FItems;
};

// A chart's series list, with its series groups.
class TChartSeriesList : public TCustomSeriesList {
public:
  explicit TChartSeriesList(TComponent* AOwner = nullptr);
  ~TChartSeriesList() override;

  void SetSeriesAt(int Index, TChartSeries* Series);
  void ClearAllValues();
  bool AreAllActive() const;
  void ActivateAll(bool Value);

  TSeriesGroups* Groups = nullptr;  // owned; created by the chart
};

// Start-up and shutdown of the series model module; each runs once however often called.
void InitSeriesModule();
void DoneSeriesModule();
