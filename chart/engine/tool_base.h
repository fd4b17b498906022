// Lists of series, axes and tools, the tool base classes and series groups, and the start-up and
// shutdown of the engine module that holds the series model.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chart/engine/axis_panel.h"
#include "chart/engine/series_base.h"
#include "platform/collection.h"

class TSeriesGroup;
class TSeriesGroups;

// Process-wide setting: the separator of legend and mark text columns.
extern char LegendColumnSeparator;

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

  // A new group of that name in Groups.
  TSeriesGroup* NewGroup(const std::string& Name);

  std::unique_ptr<TSeriesGroups> Groups;  // created by the chart
};

// Every axis of a chart in the chart's order: bottom, top, left, right, depth, depth-top, custom.
class TChartAxes {
public:
  explicit TChartAxes(TCustomAxisPanel* AChart = nullptr) : Chart(AChart) {}
  TChartAxes(const TChartAxes&) = delete;
  TChartAxes& operator=(const TChartAxes&) = delete;
  ~TChartAxes();

  int Count() const { return static_cast<int>(FItems.size()); }
  // Range error outside 0..Count-1.
  TChartAxis* AxisAt(int Index) const;
  TChartAxis* operator[](int Index) const { return AxisAt(Index); }
  int Add(TChartAxis* Axis);
  int Remove(TChartAxis* Axis);
  int IndexOf(const TChartAxis* Axis) const;
  // Frees every axis (each leaves the list as it goes), then empties the list.
  void Clear();

  TChartAxis* GetLeft() const;
  TChartAxis* GetTop() const;
  TChartAxis* GetRight() const;
  TChartAxis* GetBottom() const;
  TChartAxis* GetDepth() const;
  TChartAxis* GetDepthTop() const;
  bool GetBehind() const;
  bool GetVisible() const;
  void SetBehind(bool Value);
  void SetVisible(bool Value);

  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

  TCustomAxisPanel* Chart;
  bool FastCalculation = false;
  std::function<int(TChartAxis* Axis, int Size)> AxisSizeHook;

private:
  std::vector<TChartAxis*> FItems;
};

// The chart's custom axes: a collection owned by the chart.
class TChartCustomAxes : public TOwnedCollection {
  VM_CLASS(TChartCustomAxes, TOwnedCollection)
public:
  explicit TChartCustomAxes(TPersistent* AOwner);
  TChartAxis* AxisAt(int Index) const { return static_cast<TChartAxis*>(Items(Index)); }
  int IndexOfAxis(const TChartAxis* Axis) const {
    for (int i = 0; i < Count(); ++i)
      if (Items(i) == Axis) return i;
    return -1;
  }
  // Every custom axis whose master is MasterAxis takes its range.
  void ApplyRangeToSlaveAxes(TChartAxis* MasterAxis);
  // The master of a custom axis (none by default); the axis side sets it.
  std::function<TChartAxis*(TChartAxis* Axis)> MasterAxisOf;
};

class TGraphCustomTool;

// The chart's tools, in the order they joined.
class TChartTools {
public:
  explicit TChartTools(TCustomAxisPanel* AChart = nullptr) : Chart(AChart) {}
  TChartTools(const TChartTools&) = delete;
  TChartTools& operator=(const TChartTools&) = delete;
  ~TChartTools();

  int Count() const { return static_cast<int>(FItems.size()); }
  TGraphCustomTool* ToolAt(int Index) const;
  TGraphCustomTool* operator[](int Index) const { return ToolAt(Index); }
  // Sets the tool's chart to this list's chart (which puts it here) and returns it.
  TGraphCustomTool* Add(TGraphCustomTool* Tool);
  int IndexOf(const TGraphCustomTool* Tool) const;
  // Frees every tool, then empties the list.
  void Clear();
  // Used by the tools as they join and leave.
  void Append(TGraphCustomTool* Tool) { FItems.push_back(Tool); }
  void Remove(TGraphCustomTool* Tool);

  auto begin() const { return FItems.begin(); }
  auto end() const { return FItems.end(); }

  TCustomAxisPanel* Chart;

private:
  std::vector<TGraphCustomTool*> FItems;
};

// A chart tool: told the drawing stages and mouse actions of its chart.
class TGraphCustomTool : public TCustomChartElement {
  VM_CLASS(TGraphCustomTool, TCustomChartElement)
public:
  explicit TGraphCustomTool(TComponent* AOwner);
  ~TGraphCustomTool() override;

  virtual void HandleChartStage(TToolDrawStage /*Stage*/) {}
  virtual void HandleChartMouse(TGraphMouseEventKind /*Kind*/, TMouseButton /*Button*/, TShiftState /*Shift*/,
                                int /*X*/, int /*Y*/) {}
  virtual void GetDescription(std::string& Text) { Text.clear(); }

  void SetParentChart(TCustomAxisPanel* Value) override;
};

class TGraphCustomToolSeries : public TGraphCustomTool {
  VM_CLASS(TGraphCustomToolSeries, TGraphCustomTool)
public:
  explicit TGraphCustomToolSeries(TComponent* AOwner) : TGraphCustomTool(AOwner) {}
  static void ClassEditorName(std::string& Name) { Name = "TSeriesToolEditor"; }

  virtual void SetSeries(TChartSeries* Value);
  TChartSeries* Series() const { return FSeries; }
  void Notification(TComponent* AComponent, TOperation Operation) override;
  TChartAxis* GetHorizAxis() const;
  TChartAxis* GetVertAxis() const;

protected:
  TChartSeries* FSeries = nullptr;
};

class TGraphCustomToolAxis : public TGraphCustomTool {
  VM_CLASS(TGraphCustomToolAxis, TGraphCustomTool)
public:
  explicit TGraphCustomToolAxis(TComponent* AOwner) : TGraphCustomTool(AOwner) {}
  static void ClassEditorName(std::string& Name) { Name = "TAxisToolEditor"; }

  virtual void SetAxis(TChartAxis* Value);
  TChartAxis* Axis() const { return FAxis; }
  // The axis is being freed: the tool lets go of it without touching it.
  void AxisFreed() { FAxis = nullptr; }
  void DefineProperties(TFiler* Filer) override;

protected:
  TChartAxis* FAxis = nullptr;
};

enum TSeriesGroupActive { gaYes, gaNo, gaSome };
extern const TEnumInfo SeriesGroupActiveInfo;

// A named group of series switched on and off together.
class TSeriesGroup : public TCollectionItem {
  VM_CLASS(TSeriesGroup, TCollectionItem)
public:
  explicit TSeriesGroup(TCollection* Collection);
  ~TSeriesGroup() override;

  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }
  TCustomSeriesList* Series() const { return FSeries.get(); }
  void SetSeries(const TCustomSeriesList* Value);
  TSeriesGroupActive GetActive() const;
  TSeriesGroupActive Active() const { return GetActive(); }
  void SetActive(TSeriesGroupActive Value);

private:
  std::string FName;
  std::unique_ptr<TCustomSeriesList> FSeries;
};

class TSeriesGroups : public TOwnedCollection {
  VM_CLASS(TSeriesGroups, TOwnedCollection)
public:
  explicit TSeriesGroups(TPersistent* AOwner);
  TSeriesGroup* GroupAt(int Index) const;
  int IndexOfSeries(const TChartSeries* Series) const;
};

// Start-up and shutdown of the series model module; each runs once however often called.
void InitSeriesModule();
void DoneSeriesModule();
