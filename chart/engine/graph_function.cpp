#include "chart/engine/graph_function.h"

#include <cmath>
#include <memory>

#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/series_chart_link.h"
#include "platform/sysutils.h"

const TEnumInfo FunctionPeriodStyleInfo("TFunctionPeriodStyle", {"psNumPoints", "psRange"});
const TEnumInfo FunctionPeriodAlignInfo("TFunctionPeriodAlign", {"paFirst", "paCenter", "paLast"});

// =============================================================================================
// TGraphFunction

VM_PUBLISH(TGraphFunction) {
  P.Float("Period", &TGraphFunction::Period, &TGraphFunction::SetPeriod);
  P.Enum("PeriodAlign", &TGraphFunction::PeriodAlign, &TGraphFunction::SetPeriodAlign, FunctionPeriodAlignInfo)
      .Default(TFunctionPeriodAlign::paCenter);
  P.Enum("PeriodStyle", &TGraphFunction::PeriodStyle, &TGraphFunction::SetPeriodStyle, FunctionPeriodStyleInfo)
      .Default(psNumPoints);
}

TGraphFunction::TGraphFunction(TComponent* AOwner) : TComponent(AOwner) {}

TGraphFunction::~TGraphFunction() {
  if (ParentSeries && ParentSeries->FunctionObject() == this) ParentSeries->ReleaseFunction();
}

void TGraphFunction::SetParentComponent(TComponent* Value) {
  if (auto* s = dynamic_cast<TChartSeries*>(Value)) SetParentSeries(s);
}

void TGraphFunction::EndUpdate() {
  if (Updating) {
    Updating = false;
    Recalculate();
  }
}

void TGraphFunction::Recalculate() {
  if (!Updating && ParentSeries) ParentSeries->RefreshDataFromSource();
}

void TGraphFunction::SetPeriod(double Value) {
  if (!(Value >= 0)) throw ChartException(ErrFunctionPeriod);
  if (FPeriod != Value) {
    FPeriod = Value;
    Recalculate();
  }
}

void TGraphFunction::SetPeriodStyle(TFunctionPeriodStyle Value) {
  if (FPeriodStyle != Value) {
    FPeriodStyle = Value;
    Recalculate();
  }
}

void TGraphFunction::SetPeriodAlign(TFunctionPeriodAlign Value) {
  if (FPeriodAlign != Value) {
    FPeriodAlign = Value;
    Recalculate();
  }
}

void TGraphFunction::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TGraphFunction*>(Source)) {
    FPeriod = f->FPeriod;
    FPeriodStyle = f->FPeriodStyle;
    FPeriodAlign = f->FPeriodAlign;
  }
}

void TGraphFunction::SetParentSeries(TChartSeries* Series) {
  if (Series == ParentSeries) return;
  if (ParentSeries && ParentSeries->FunctionObject() == this) ParentSeries->ReleaseFunction();
  ParentSeries = nullptr;
  if (Series) Series->AttachFunction(this);
}

TChartValueList* TGraphFunction::GetSourceValueList(TChartSeries* Source) {
  if (ParentSeries && !ParentSeries->MandatoryList->ValueSource().empty())
    return Source->ValueListByName(ParentSeries->MandatoryList->ValueSource());
  return Source->MandatoryList;
}

int32_t TGraphFunction::AddFunctionPoint(bool IsVertical, double Value, double Position) {
  if (!ParentSeries) return -1;
  if (IsVertical) return ParentSeries->AddPoint(Position, Value, "", clDefault);
  return ParentSeries->AddPoint(Value, Position, "", clDefault);
}

void TGraphFunction::AddRangePoint(TChartSeries* Source, int32_t FirstIndex, int32_t LastIndex, double Position) {
  AddFunctionPoint(Source->YMandatory, ComputeValue(Source, FirstIndex, LastIndex), Position);
}

void TGraphFunction::ComputeWhole(TChartSeries* Source, TChartValueList* ValueList) {
  const double v = ComputeValue(Source, -1, -1);
  if (ParentSeries->WholeResultAsPoint) {
    const double mn = ValueList->GetMinValue(), mx = ValueList->GetMaxValue();
    AddFunctionPoint(ParentSeries->YMandatory, v, mn + (mx - mn) * 0.5);
  } else {
    AddFunctionPoint(Source->YMandatory, v, ValueList->GetMinValue());
    AddFunctionPoint(Source->YMandatory, v, ValueList->GetMaxValue());
  }
}

void TGraphFunction::ComputeByPeriods(TChartSeries* Source, TChartValueList* ValueList) {
  const int32_t n = Source->PointCount();
  int32_t first = 0;
  double next = ValueList->GetValue(0);
  while (first <= n - 1) {
    int32_t last;
    double startPos, endPos;
    bool hasPoints = true;
    if (FPeriodStyle == psNumPoints) {
      last = first + static_cast<int32_t>(std::nearbyint(FPeriod)) - 1;
      if (last < first) last = first;  // a period below one point still takes one
      startPos = ValueList->GetValue(first);
      endPos = last < n ? ValueList->GetValue(last) : 0;
    } else {
      last = first;
      startPos = next;
      next += FPeriod;
      endPos = next - FPeriod * 0.001;
      while (last < n - 1 && ValueList->GetValue(last + 1) < next) ++last;
      hasPoints = ValueList->GetValue(first) < next;
    }
    if (last < n) {
      using enum TFunctionPeriodAlign;
      const double pos = FPeriodAlign == paFirst  ? startPos
                         : FPeriodAlign == paLast ? endPos
                                                  : (startPos + endPos) * 0.5;
      if (hasPoints)
        AddRangePoint(Source, first, last, pos);
      else
        AddFunctionPoint(Source->YMandatory, 0, pos);
    }
    if (hasPoints) first = last + 1;
  }
}

void TGraphFunction::ComputeFromSource(TChartSeries* Source, TChartValueList* ValueList) {
  if (FPeriod != 0)
    ComputeByPeriods(Source, ValueList);
  else
    ComputeWhole(Source, ValueList);
}

void TGraphFunction::CalculateFromSource(TChartSeries* Source) {
  if (Updating || !Source) return;
  if (ParentSeries && ParentSeries->DataSources->Count() > 1)
    CalculateManySources(Source);
  else if (Source->PointCount() > 0)
    ComputeFromSource(Source, Source->NotMandatoryList);
}

void TGraphFunction::CalculateManySources(TChartSeries* Source) {
  TChartSeries* r = Source;
  TDataSourcesList* sources = ParentSeries->DataSources.get();
  for (int i = 0; i < sources->Count(); ++i)
    if (auto* s = dynamic_cast<TChartSeries*>(sources->Items(i)); s && s->PointCount() > r->PointCount()) r = s;
  if (!r->NotMandatoryList) return;
  for (int32_t i = 0; i < r->PointCount(); ++i) {
    const double v = ComputeManyValue(sources, i);
    const double p = r->NotMandatoryList->GetValue(i);
    if (r->YMandatory)
      ParentSeries->AddPoint(p, v, r->LabelAt(i), clDefault);
    else
      ParentSeries->AddPoint(v, p, r->LabelAt(i), clDefault);
  }
}

void TGraphFunction::PrepareGalleryChart(TCustomAxisPanel* Chart) {
  for (int i = 0; i < series_link::CountSeries(Chart); ++i) series_link::SeriesAt(Chart, i)->MakeGalleryThumbnail(true);
}

// =============================================================================================
// TGraphMovingFunction

VM_DEFINE_CLASS(TGraphMovingFunction)

TGraphMovingFunction::TGraphMovingFunction(TComponent* AOwner) : TGraphFunction(AOwner) {
  InternalSetPeriod(1);
  SingleSource = true;
}

void TGraphMovingFunction::ComputeFromSource(TChartSeries* Source, TChartValueList* ValueList) {
  const int32_t p = static_cast<int32_t>(std::nearbyint(Period()));
  for (int32_t i = std::max(p - 1, 0); i < Source->PointCount(); ++i)
    AddFunctionPoint(Source->YMandatory, ComputeValue(Source, i - p + 1, i), ValueList->GetValue(i));
}

// =============================================================================================
// TGraphSeriesSource

VM_PUBLISH(TGraphSeriesSource) {
  P.Bool("Active", &TGraphSeriesSource::Active, &TGraphSeriesSource::SetActive).Default(false);
  P.Component("Series", &TGraphSeriesSource::Series, &TGraphSeriesSource::AttachToSeries);
}

TGraphSeriesSource::TGraphSeriesSource(TComponent* AOwner) : TComponent(AOwner) {}

TGraphSeriesSource::~TGraphSeriesSource() {
  Deactivate();
  if (FSeries) {
    FSeries->RemoveFreeNotification(this);
    if (FSeries->DataSources && FSeries->DataSources->IndexOf(this) >= 0) FSeries->DataSources->Remove(this);
  }
}

void TGraphSeriesSource::SetActive(bool Value) {
  if (Value == FActive) return;
  if (FSeries) {
    if (Value) {
      if (!ComponentState().Contains(csLoading)) {
        FActive = true;
        FillSeries();
      }
    } else if (!ComponentState().Contains(csDestroying) && !FSeries->ComponentState().Contains(csDestroying) &&
               !KeepDataWhenInactive) {
      FSeries->ClearValues();
    }
  }
  FActive = Value;
}

bool TGraphSeriesSource::IsSourceKindOf(TChartSeries* Series) {
  return Series && Series->DataSource() && Series->DataSource()->ClassName() == ClassName();
}

void TGraphSeriesSource::Deactivate() {
  if (!ComponentState().Contains(csLoading) && !ComponentState().Contains(csDestroying))
    SetActive(false);
  else if (ComponentState().Contains(csDestroying))
    FActive = false;
}

void TGraphSeriesSource::AttachToSeries(TChartSeries* Value) {
  if (Value == FSeries) return;
  Deactivate();
  TChartSeries* old = FSeries;
  if (old) old->RemoveFreeNotification(this);
  FSeries = Value;
  if (Value) {
    Value->FreeNotification(this);
    Value->SetDataSource(this);
  } else if (old) {
    old->SetDataSource(nullptr);
  }
}

void TGraphSeriesSource::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSeries) {
    FSeries = nullptr;
    FActive = false;
  }
}

void TGraphSeriesSource::ReloadIfActive() {
  if (FActive && !ComponentState().Contains(csLoading)) FillSeries();
}

void TGraphSeriesSource::Loaded() {
  TComponent::Loaded();
  ReloadIfActive();
}

namespace {
std::unique_ptr<std::vector<TSeriesSourceClass>>& StyleListHolder() {
  static std::unique_ptr<std::vector<TSeriesSourceClass>> list;
  return list;
}
}  // namespace

std::vector<TSeriesSourceClass>& DataSourceStyleList() {
  auto& h = StyleListHolder();
  if (!h) h = std::make_unique<std::vector<TSeriesSourceClass>>();
  return *h;
}

void FreeDataSourceStyleList() { StyleListHolder().reset(); }
