// The function base: a function object computes the points of its parent series from one or more
// source series, whole, by periods or in a moving window. Also the base of external data-source
// objects that fill a series by themselves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "chart/engine/series_base.h"

class TCustomSeriesList;

enum TFunctionPeriodStyle { psNumPoints, psRange };
// Scoped: the menus' popup alignment names a paCenter of its own.
enum class TFunctionPeriodAlign { paFirst, paCenter, paLast };
extern const TEnumInfo FunctionPeriodStyleInfo;
extern const TEnumInfo FunctionPeriodAlignInfo;

class TGraphFunction : public TComponent {
  VM_CLASS(TGraphFunction, TComponent)
public:
  explicit TGraphFunction(TComponent* AOwner);
  ~TGraphFunction() override;

  // -- virtual operations -------------------------------------------------------------------------
  virtual void AddRangePoint(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex, double Position);
  virtual void ComputeWhole(TChartSeries* Source, TChartValueList* ValueList);
  virtual void ComputeByPeriods(TChartSeries* Source, TChartValueList* ValueList);
  virtual void ComputeFromSource(TChartSeries* Source, TChartValueList* ValueList);
  virtual void GetEditorClassName(std::string& Name) { Name = "TGraphFunctionEditor"; }
  virtual void PrepareGalleryChart(TCustomAxisPanel* Chart);
  virtual double ComputeValue(TChartSeries* /*Source*/, int32_t /*FirstIndex*/, int32_t /*LastIndex*/) { return 0; }
  virtual double ComputeManyValue(TDataSourcesList* /*Sources*/, int32_t /*ValueIndex*/) { return 0; }
  virtual void Clear() {}
  virtual bool AcceptsSource(TChartSeries* /*Source*/) { return true; }
  virtual void CalculateFromSource(TChartSeries* Source);

  void Assign(TPersistent* Source) override;
  bool HasParent() const override { return true; }
  TComponent* GetParentComponent() const override { return ParentSeries; }
  void SetParentComponent(TComponent* Value) override;

  void BeginUpdate() { Updating = true; }
  void EndUpdate();
  void Recalculate();
  double Period() const { return FPeriod; }
  void SetPeriod(double Value);
  void InternalSetPeriod(double Value) { FPeriod = Value; }
  TFunctionPeriodStyle PeriodStyle() const { return FPeriodStyle; }
  void SetPeriodStyle(TFunctionPeriodStyle Value);
  TFunctionPeriodAlign PeriodAlign() const { return FPeriodAlign; }
  void SetPeriodAlign(TFunctionPeriodAlign Value);
  void SetParentSeries(TChartSeries* Series);
  TChartValueList* GetSourceValueList(TChartSeries* Source);
  int32_t AddFunctionPoint(bool IsVertical, double Value, double Position);
  void CalculateManySources(TChartSeries* Source);

  TChartSeries* ParentSeries = nullptr;
  bool Updating = false;
  bool NeedsNoSource = false;
  bool SingleSource = false;
  bool NoValueListChoice = false;

private:
  double FPeriod = 0;
  TFunctionPeriodStyle FPeriodStyle = psNumPoints;
  TFunctionPeriodAlign FPeriodAlign = TFunctionPeriodAlign::paCenter;
};

class TGraphMovingFunction : public TGraphFunction {
  VM_CLASS(TGraphMovingFunction, TGraphFunction)
public:
  explicit TGraphMovingFunction(TComponent* AOwner);
  void ComputeFromSource(TChartSeries* Source, TChartValueList* ValueList) override;
};

using TGraphFunctionClass = const TComponentMetaClass*;

// The metaclass of data-source objects: the class operation IsAvailableFor.
class TSeriesSourceMetaClass : public TComponentMetaClass {
public:
  using TComponentMetaClass::TComponentMetaClass;
  virtual bool IsAvailableFor(TCustomAxisPanel* /*Chart*/) const { return true; }
};
template <class T>
using TSeriesSourceMeta = TComponentMetaImpl<T, TSeriesSourceMetaClass>;
using TSeriesSourceClass = const TSeriesSourceMetaClass*;

class TGraphSeriesSource : public TComponent {
  VM_CLASS_FAMILY(TGraphSeriesSource, TComponent, TSeriesSourceMetaClass, TSeriesSourceMeta)
public:
  explicit TGraphSeriesSource(TComponent* AOwner);
  ~TGraphSeriesSource() override;

  virtual void SetActive(bool Value);
  virtual void QueryText(std::string& Text) { Text.clear(); }
  virtual double QueryValue() { return 0; }
  virtual bool QueryFlag() { return false; }
  virtual bool IsSourceKindOf(TChartSeries* Series);
  virtual void Deactivate();
  virtual void FillSeries() {}
  virtual void Activate() { SetActive(true); }

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;

  bool Active() const { return FActive; }
  bool KeepDataWhenInactive = false;
  TChartSeries* Series() const { return FSeries; }
  void AttachToSeries(TChartSeries* Value);
  // Binds without touching the series' data sources (the series moves a source over itself).
  void BindSeries(TChartSeries* Value) { FSeries = Value; }
  void ReloadIfActive();

private:
  bool FActive = false;
  TChartSeries* FSeries = nullptr;
};

// Data-source kinds the series editor offers; created on first use, freed at shutdown.
std::vector<TSeriesSourceClass>& DataSourceStyleList();
void FreeDataSourceStyleList();
