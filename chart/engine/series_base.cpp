#include "chart/engine/series_base.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_function.h"
#include "chart/engine/graph_panel.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/tool_base.h"
#include "platform/guards.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

using namespace series_link;

const TEnumInfo HorizAxisInfo("THorizAxis", {"aTopAxis", "aBottomAxis", "aBothHorizAxis", "aCustomHorizAxis"});
const TEnumInfo VertAxisInfo("TVertAxis", {"aLeftAxis", "aRightAxis", "aBothVertAxis", "aCustomVertAxis"});

// =============================================================================================
// TCustomChartElement

VM_PUBLISH(TCustomChartElement) {
  P.Bool("Active", &TCustomChartElement::Active, &TCustomChartElement::SetActive).Default(true);
  P.Bool("ShowInEditor", &TCustomChartElement::ShowInEditor, &TCustomChartElement::SetShowInEditor).Default(true);
}

TCustomChartElement::TCustomChartElement(TComponent* AOwner) : TComponent(AOwner) {
  FBrush = std::make_unique<TChartBrush>([this](TObject* s) { PenBrushChanged(s); });
  FPen.reset(CreateChartPen());
}

TCustomChartElement::~TCustomChartElement() {
  // Detaching from the chart is the descendants' last step (their destructors run first).
  if (FParentChart) TCustomChartElement::SetParentChart(nullptr);
}

void TCustomChartElement::PenBrushChanged(TObject*) { Repaint(); }
void TCustomChartElement::SetActive(bool Value) { SetBooleanProperty(FActive, Value); }
void TCustomChartElement::SetParentChart(TCustomAxisPanel* Value) { FParentChart = Value; }
void TCustomChartElement::SetPen(TChartPen* Value) { FPen->Assign(Value); }
void TCustomChartElement::SetBrush(TChartBrush* Value) { FBrush->Assign(Value); }

TChartPen* TCustomChartElement::CreateChartPen() {
  return new TChartPen([this](TObject* s) { PenBrushChanged(s); });
}

void TCustomChartElement::Repaint() {
  if (FParentChart) Invalidate(FParentChart);
}

void TCustomChartElement::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TCustomChartElement*>(Source)) {
    FActive = src->FActive;
    SetBrush(src->Brush());
    SetPen(src->Pen());
    SetTag(src->Tag());
  } else {
    TComponent::Assign(Source);
  }
}

TComponent* TCustomChartElement::GetParentComponent() const { return AsComponent(FParentChart); }

void TCustomChartElement::SetParentComponent(TComponent* Value) {
  if (TCustomAxisPanel* chart = AsPanel(Value)) SetParentChart(chart);
}

void TCustomChartElement::SetBooleanProperty(bool& Field, bool Value) {
  if (Field != Value) {
    Field = Value;
    Repaint();
  }
}
void TCustomChartElement::SetColorProperty(TColor& Field, TColor Value) {
  if (Field != Value) {
    Field = Value;
    Repaint();
  }
}
void TCustomChartElement::SetDoubleProperty(double& Field, double Value) {
  if (Field != Value) {
    Field = Value;
    Repaint();
  }
}
void TCustomChartElement::SetIntegerProperty(int32_t& Field, int32_t Value) {
  if (Field != Value) {
    Field = Value;
    Repaint();
  }
}
void TCustomChartElement::SetStringProperty(std::string& Field, const std::string& Value) {
  if (Field != Value) {
    Field = Value;
    Repaint();
  }
}

void GetElementEditorClassName(TChartElementClass ElementClass, std::string& Name) {
  Name.clear();
  if (ElementClass) ElementClass->GetEditorClassName(Name);
}

// =============================================================================================
// TCustomChartSeries

VM_PUBLISH(TCustomChartSeries) {
  P.Bool("ShowInLegend", &TCustomChartSeries::ShowInLegend, &TCustomChartSeries::SetShowInLegend).Default(true);
  P.String("Title", &TCustomChartSeries::Title, &TCustomChartSeries::SetTitle);
}

TCustomChartSeries::TCustomChartSeries(TComponent* AOwner) : TCustomChartElement(AOwner) {}

void TCustomChartSeries::GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) {
  LeftMargin = 0;
  RightMargin = 0;
}
void TCustomChartSeries::GetVerticalMargins(int32_t& TopMargin, int32_t& BottomMargin) {
  TopMargin = 0;
  BottomMargin = 0;
}
void TCustomChartSeries::SetGalleryView3D(bool) {}
void TCustomChartSeries::SetShowInLegend(bool Value) { SetBooleanProperty(FShowInLegend, Value); }
void TCustomChartSeries::SetTitle(const std::string& Value) { SetStringProperty(FTitle, Value); }

// =============================================================================================
// Lists

TChartValueList* TChartValueLists::GetValueList(int Index) const {
  if (Index < 0 || Index >= Count()) throw ERangeError("Range check error");
  return FItems[static_cast<size_t>(Index)];
}

void TChartValueLists::Clear() {
  std::vector<TChartValueList*> items;
  items.swap(FItems);
  for (TChartValueList* l : items) {
    l->OwnerSeries = nullptr;
    delete l;
  }
}

std::string TLabelsList::LabelAt(int Index) const {
  if (Index < 0 || Index >= Count() || !FItems[static_cast<size_t>(Index)]) return {};
  return *FItems[static_cast<size_t>(Index)];
}

void TLabelsList::SetLabelAt(int Index, const std::string& Text) {
  if (Index < 0) throw ERangeError("Range check error");
  if (!Text.empty()) {
    if (Index >= Count()) FItems.resize(static_cast<size_t>(Index) + 1);
    FItems[static_cast<size_t>(Index)] = std::make_unique<std::string>(Text);
  } else if (Index < Count()) {
    FItems[static_cast<size_t>(Index)].reset();
  }
}

void TLabelsList::InsertLabelAt(int Index, const std::string& Text) {
  if (Index < 0) throw ERangeError("Range check error");
  if (Text.empty() && FItems.empty()) return;
  if (Index > Count()) FItems.resize(static_cast<size_t>(Index));
  FItems.insert(FItems.begin() + Index, Text.empty() ? nullptr : std::make_unique<std::string>(Text));
}

void TLabelsList::DeleteLabelAt(int Index) {
  if (Index >= 0 && Index < Count()) FItems.erase(FItems.begin() + Index);
}

void TLabelsList::DeleteRange(int Start, int Quantity) {
  if (Start >= Count()) return;
  const int end = std::min(Count(), Start + Quantity);
  FItems.erase(FItems.begin() + Start, FItems.begin() + end);
}

void TLabelsList::Exchange(int Index1, int Index2) {
  const int hi = std::max(Index1, Index2);
  if (hi >= Count()) FItems.resize(static_cast<size_t>(hi) + 1);
  std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
}

int TLabelsList::FindLabel(const std::string& Text, bool CaseSensitive) const {
  const std::string key = CaseSensitive ? Text : AnsiUpperCase(Text);
  for (int i = 0; i < Count(); ++i) {
    const std::string s = LabelAt(i);
    if ((CaseSensitive ? s : AnsiUpperCase(s)) == key) return i;
  }
  return -1;
}

void TLabelsList::AssignLabels(const TLabelsList& Other) {
  Clear();
  for (int i = 0; i < Other.Count(); ++i) InsertLabelAt(i, Other.LabelAt(i));
}

TComponent* TDataSourcesList::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  return FItems[static_cast<size_t>(Index)];
}

int TDataSourcesList::IndexOf(const TComponent* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

int TDataSourcesList::AddSource(TComponent* Source) { return Series->SetDataSourceChecked(Source, false); }

bool TDataSourcesList::Remove(TComponent* Item) {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it == FItems.end()) return false;
  FItems.erase(it);
  return true;
}

void TDataSourcesList::Clear() {
  std::vector<TComponent*> removed;
  removed.swap(FItems);
  Series->DataSourcesCleared(removed);
}

// =============================================================================================
// TChartSeries: life cycle

namespace {
bool IsDefaultPercentFormat(const TChartSeries* S) { return S->PercentFormat() != DefaultPercentFormat; }
bool IsDefaultValueFormat(const TChartSeries* S) { return S->ValueFormat() != DefaultValueFormat; }
bool SeriesColorStored(const TChartSeries* S) { return S->ColorSetting != clDefault || S->ColorChosen; }
}  // namespace

VM_PUBLISH(TChartSeries) {
  P.Bool("ColorEachPoint", &TChartSeries::ColorEachPoint, &TChartSeries::SetColorEachPoint).Default(false);
  P.String("ColorSource", &TChartSeries::ColorSource, &TChartSeries::SetColorSource);
  P.Int("Cursor", &TChartSeries::Cursor, &TChartSeries::SetCursor).Default(0);
  P.Component("DataSource", &TChartSeries::DataSource, &TChartSeries::SetDataSource);
  P.Int("Depth", &TChartSeries::Depth, &TChartSeries::SetDepth).Default(-1);
  P.Enum("HorizAxis", &TChartSeries::HorizAxis, &TChartSeries::SetHorizAxis, HorizAxisInfo).Default(aBottomAxis);
  P.Object("Marks", &TChartSeries::Marks, &TChartSeries::SetMarks);
  P.String("PercentFormat", &TChartSeries::PercentFormat, &TChartSeries::SetPercentFormat).Stored([](TObject* o) {
    return IsDefaultPercentFormat(static_cast<TChartSeries*>(o));
  });
  P.Int("SeriesColor", &TChartSeries::SeriesColor, &TChartSeries::SetSeriesColor).Stored([](TObject* o) {
    return SeriesColorStored(static_cast<TChartSeries*>(o));
  });
  P.String("ValueFormat", &TChartSeries::ValueFormat, &TChartSeries::SetValueFormat).Stored([](TObject* o) {
    return IsDefaultValueFormat(static_cast<TChartSeries*>(o));
  });
  P.Enum("VertAxis", &TChartSeries::VertAxis, &TChartSeries::SetVertAxis, VertAxisInfo).Default(aLeftAxis);
  P.String("XLabelsSource", &TChartSeries::XLabelsSource, &TChartSeries::SetXLabelsSource);
  P.Object("XValues", &TChartSeries::XValues, &TChartSeries::SetXValues);
  P.Object("YValues", &TChartSeries::YValues, &TChartSeries::SetYValues);
  P.Int("ZOrder", &TChartSeries::ZOrder, &TChartSeries::SetZOrder).Default(-1);
  P.Event("AfterDrawValues", &TChartSeries::AfterDrawValues);
  P.Event("BeforeDrawValues", &TChartSeries::BeforeDrawValues);
  P.Event("OnAfterAdd", &TChartSeries::OnAfterAdd);
  P.Event("OnBeforeAdd", &TChartSeries::OnBeforeAdd);
  P.Event("OnClearValues", &TChartSeries::OnClearValues);
  P.Event("OnClick", &TChartSeries::OnClick);
  P.Event("OnDblClick", &TChartSeries::OnDblClick);
  P.Event("OnGetMarkText", &TChartSeries::OnGetMarkText);
  P.Event("OnMouseEnter", &TChartSeries::OnMouseEnter);
  P.Event("OnMouseLeave", &TChartSeries::OnMouseLeave);
}

TChartSeries::TChartSeries(TComponent* AOwner) : TCustomChartSeries(AOwner) {
  FPercentFormat = DefaultPercentFormat;
  FValueFormat = DefaultValueFormat;
  FXValues = new TChartValueList(this, MsgValueX);
  FXValues->SetOrder(loAscending);
  FYValues = new TChartValueList(this, MsgValueY);
  MandatoryList = FYValues;
  NotMandatoryList = FXValues;
  Labels = std::make_unique<TLabelsList>(this);
  FMarks = std::make_unique<TSeriesMarks>(this);
  DataSources = std::make_unique<TDataSourcesList>(this);
  DependentSeries = std::make_unique<TCustomSeriesList>(this);
}

TChartSeries::~TChartSeries() {
  SetComponentState(csDestroying, true);
  delete FFunctionObject;
  FFunctionObject = nullptr;
  if (FParentChart) SetParentChart(nullptr);
  // Leave the dependents of every source series.
  for (int i = 0; i < DataSources->Count(); ++i)
    if (auto* src = dynamic_cast<TChartSeries*>(DataSources->Items(i))) src->DependentSeries->Remove(this);
  DataSources.reset();
  // Every series that takes points from this one forgets it.
  while (DependentSeries->Count() > 0) {
    TChartSeries* d = DependentSeries->SeriesAt(DependentSeries->Count() - 1);
    DependentSeries->Delete(DependentSeries->Count() - 1);
    if (d->DataSources) {
      const bool wasFirst = d->DataSources->Count() > 0 && d->DataSources->Items(0) == this;
      d->DataSources->Remove(this);
      if (wasFirst && !d->DataIsOwn && !d->ComponentState().Contains(csDestroying)) d->ClearValues();
    }
  }
  UpdateCount = 1;  // no notifications while the points go
  ClearPointData();
  ValueLists.Clear();
}

void TChartSeries::SetParentChart(TCustomAxisPanel* Value) {
  if (Value == FParentChart) return;
  TCustomAxisPanel* old = FParentChart;
  if (old) DetachSeries(old, this);
  FParentChart = Value;
  FMarks->SetParentChart(Value ? ShapeParent(Value) : nullptr);
  if (Value) RegisterSeries(Value, this);
}

void TChartSeries::AddedToChart() {
  if (ColorSetting == clDefault && FParentChart) {
    SetAutoColor(FirstUnusedPaletteColor(FParentChart, this));
    NotifyColorChanged();
  }
  BindAxes();
  RefreshDataFromSource();
}

void TChartSeries::RemovedFromChart() {
  if (FParentChart && FCursor != 0 && ChartCursor(FParentChart) == FCursor) RestoreChartCursor(FParentChart);
  for (int i = 0; DataSources && i < DataSources->Count(); ++i)
    if (auto* src = dynamic_cast<TChartSeries*>(DataSources->Items(i))) src->DependentSeries->Remove(this);
  FParentChart = nullptr;
  // The marks leave the chart with their series: nothing of it may reach the chart afterwards.
  FMarks->SetParentChart(nullptr);
}

void TChartSeries::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  TCustomChartSeries::GetChildren(Proc, Root);
  if (FFunctionObject) Proc(FFunctionObject);
}

void TChartSeries::SetActive(bool Value) {
  const bool changed = Value != FActive;
  TCustomChartSeries::SetActive(Value);
  if (changed && FParentChart) SendSeriesEvent(FParentChart, this, kActive);
  NotifySeriesListView();
}

void TChartSeries::SetTitle(const std::string& Value) {
  SetStringProperty(FTitle, Value);
  if (FParentChart) SendSeriesEvent(FParentChart, this, kTitle);
  NotifySeriesListView();
}

void TChartSeries::NotifySeriesListView() {
  if (FParentChart) series_link::NotifySeriesListView(FParentChart);
}

// =============================================================================================
// Points

int32_t TChartSeries::AddPoint(double X, double Y, const std::string& Label, TColor Color) {
  FXValues->PendingValue = X;
  FYValues->PendingValue = Y;
  if (OnBeforeAdd && !OnBeforeAdd(this)) return -1;
  const int32_t index = FXValues->AddPendingValue();
  FYValues->InsertValue(index, Y);
  for (int i = 2; i < ValueLists.Count(); ++i) {
    TChartValueList* l = ValueLists.GetValueList(i);
    l->InsertValue(index, l->PendingValue);
  }
  if (PointColors) {
    if (static_cast<size_t>(index) > PointColors->size()) PointColors->resize(static_cast<size_t>(index), clDefault);
    PointColors->insert(PointColors->begin() + index, Color);
  } else if (Color != clDefault) {
    CreateColorList();
    (*PointColors)[static_cast<size_t>(index)] = Color;
  }
  if (!Label.empty() || Labels->Count() > 0) Labels->InsertLabelAt(index, Label);
  // Points given by code to a series without source or function are its own data: they are
  // stored with the chart (sample filling turns this off again when it is done).
  if (!FFunctionObject && DataSources->Count() == 0) DataIsOwn = true;
  if (UpdateCount == 0) AfterPointAdded(this, index);
  return index;
}

int32_t TChartSeries::AddValue(double Value, const std::string& Label, TColor Color) {
  if (YMandatory) return AddPoint(FXValues->Count(), Value, Label, Color);
  return AddPoint(Value, FYValues->Count(), Label, Color);
}

int32_t TChartSeries::AddNullValue(const std::string& Label) { return AddValue(0, Label, clNone); }
int32_t TChartSeries::AddNullPoint(double X, double Y, const std::string& Label) {
  return AddPoint(X, Y, Label, clNone);
}
int32_t TChartSeries::AddXOnly(double X, const std::string& Label, TColor Color) {
  return AddPoint(X, PointCount(), Label, Color);
}
int32_t TChartSeries::AddYOnly(double Y, const std::string& Label, TColor Color) {
  return AddPoint(PointCount(), Y, Label, Color);
}

void TChartSeries::AfterPointAdded(TChartSeries*, int32_t ValueIndex) {
  if (OnAfterAdd) OnAfterAdd(this, ValueIndex);
  NotifyDependents(vckAdd, ValueIndex);
  if (FActive) Repaint();
}

int32_t TChartSeries::CopyPointValues(TChartSeries* Source, int32_t Index) {
  double x = Source->XValueAt(Index), y = Source->YValueAt(Index);
  if (YMandatory != Source->YMandatory) std::swap(x, y);
  const int32_t index = FXValues->AddValue(x);
  FYValues->InsertValue(index, y);
  for (int i = 2; i < ValueLists.Count(); ++i) {
    const double v = i < Source->ValueLists.Count() ? Source->ValueLists.GetValueList(i)->GetValue(Index) : 0;
    ValueLists.GetValueList(i)->InsertValue(index, v);
  }
  return index;
}

void TChartSeries::CopyPoint(TChartSeries* Source, int32_t Index) {
  const int32_t n = CopyPointValues(Source, Index);
  if (Source->PointColors && static_cast<size_t>(Index) < Source->PointColors->size()) {
    if (!PointColors) {
      CreateColorList();
      PointColors->erase(PointColors->begin() + n);
    }
    if (static_cast<size_t>(n) > PointColors->size()) PointColors->resize(static_cast<size_t>(n), clDefault);
    PointColors->insert(PointColors->begin() + n, (*Source->PointColors)[static_cast<size_t>(Index)]);
  } else if (PointColors) {
    if (static_cast<size_t>(n) > PointColors->size()) PointColors->resize(static_cast<size_t>(n), clDefault);
    PointColors->insert(PointColors->begin() + n, clDefault);
  }
  if (Index < Source->Labels->Count() || Labels->Count() > 0) Labels->InsertLabelAt(n, Source->LabelAt(Index));
  AfterPointAdded(this, n);
}

void TChartSeries::Delete(int32_t ValueIndex) {
  if (ValueIndex < 0 || ValueIndex >= PointCount())
    throw ChartException(Format(MsgDeleteIndexRange, {ValueIndex, PointCount() - 1}));
  for (int i = 0; i < ValueLists.Count(); ++i) ValueLists.GetValueList(i)->DeleteValue(ValueIndex);
  if (PointColors && static_cast<size_t>(ValueIndex) < PointColors->size())
    PointColors->erase(PointColors->begin() + ValueIndex);
  Labels->DeleteLabelAt(ValueIndex);
  FMarks->Positions.Delete(ValueIndex);
  FMarks->Items.Delete(ValueIndex);
  NotifyDependents(vckDelete, ValueIndex);
  if (FActive) Repaint();
}

void TChartSeries::DeleteRange(int32_t Start, int32_t Quantity, bool RenumberPositions) {
  if (Quantity <= 0) throw EAssertionFailed("Quantity of data points to delete must be greater than zero.");
  if (Start + Quantity - 1 >= PointCount())
    throw EAssertionFailed("Quantity of data to delete must be less than Count.");
  if (Start < 0) throw ERangeError("Range check error");
  for (int i = 0; i < ValueLists.Count(); ++i) ValueLists.GetValueList(i)->DeleteRange(Start, Quantity);
  if (PointColors) {
    const size_t b = std::min(PointColors->size(), static_cast<size_t>(Start));
    const size_t e = std::min(PointColors->size(), static_cast<size_t>(Start + Quantity));
    PointColors->erase(PointColors->begin() + static_cast<long>(b), PointColors->begin() + static_cast<long>(e));
    if (PointColors->empty()) PointColors.reset();
  }
  Labels->DeleteRange(Start, Quantity);
  FMarks->Positions.DeleteRange(Start, Quantity);
  FMarks->Items.DeleteRange(Start, Quantity);
  NotifyDependents(vckDelete, -1);
  if (FActive) Repaint();
  if (RenumberPositions) NotMandatoryList->FillSequence();
}

void TChartSeries::ClearPointData() {
  for (int i = 0; i < ValueLists.Count(); ++i) ValueLists.GetValueList(i)->ClearValues();
  PointColors.reset();
  Labels->Clear();
  if (FMarks) FMarks->ClearPositions();
}

void TChartSeries::ClearValues() {
  FirstValueIndex = -1;
  LastValueIndex = -1;
  ClearPointData();
  if (OnClearValues) OnClearValues(this);
  NotifyDependents(vckClear, 0);
  if (FFunctionObject) FFunctionObject->Clear();
  if (FActive && FParentChart && !IsDestroying(FParentChart)) Repaint();
}

void TChartSeries::ExchangePoints(int32_t Index1, int32_t Index2) {
  for (int i = 0; i < ValueLists.Count(); ++i) ValueLists.GetValueList(i)->Exchange(Index1, Index2);
  if (PointColors) {
    const size_t hi = static_cast<size_t>(std::max(Index1, Index2));
    if (hi >= PointColors->size()) PointColors->resize(hi + 1, clDefault);
    std::swap((*PointColors)[static_cast<size_t>(Index1)], (*PointColors)[static_cast<size_t>(Index2)]);
  }
  if (Labels->Count() > 0) Labels->Exchange(Index1, Index2);
}

double TChartSeries::XValueAt(int32_t Index) const {
  if (Index < 0 || Index >= FXValues->Count()) throw ERangeError("Range check error");
  return FXValues->Values[static_cast<size_t>(Index)];
}

double TChartSeries::YValueAt(int32_t Index) const {
  if (Index < 0 || Index >= FYValues->Count()) throw ERangeError("Range check error");
  return FYValues->Values[static_cast<size_t>(Index)];
}

double TChartSeries::MainValueAt(int32_t Index) const {
  if (Index < 0 || Index >= MandatoryList->Count()) throw ERangeError("Range check error");
  return MandatoryList->Values[static_cast<size_t>(Index)];
}

void TChartSeries::SetXValueAt(int32_t Index, double Value) {
  if (Index < 0 || Index >= FXValues->Count()) throw ERangeError("Range check error");
  FXValues->Values[static_cast<size_t>(Index)] = Value;
  FXValues->StatsStale = true;
  Repaint();
}

void TChartSeries::SetYValueAt(int32_t Index, double Value) {
  if (Index < 0 || Index >= FYValues->Count()) throw ERangeError("Range check error");
  FYValues->Values[static_cast<size_t>(Index)] = Value;
  FYValues->StatsStale = true;
  Repaint();
}

void TChartSeries::EndUpdate() {
  if (UpdateCount > 0) {
    --UpdateCount;
    if (UpdateCount == 0) NotifyValuesChanged();
  }
}

void TChartSeries::NotifyValuesChanged() {
  NotifyDependents(vckRefresh, 0);
  if (FParentChart) SendSeriesEvent(FParentChart, this, kValues);
}

void TChartSeries::RefreshDataFromSource() {
  if (UpdateCount > 0) return;
  if (FParentChart) RefreshSeriesData(FParentChart, this);
}

double TChartSeries::HighestX() { return FXValues->GetMaxValue(); }
double TChartSeries::HighestY() { return FYValues->GetMaxValue(); }
double TChartSeries::HighestZ() { return EffectiveZOrder(); }
double TChartSeries::LowestX() { return FXValues->GetMinValue(); }
double TChartSeries::LowestY() { return FYValues->GetMinValue(); }
double TChartSeries::LowestZ() { return EffectiveZOrder(); }

TChartValueList* TChartSeries::ValueListByName(const std::string& Name) {
  const std::string key = AnsiUpperCase(Name);
  for (int i = 2; i < ValueLists.Count(); ++i)
    if (AnsiUpperCase(ValueLists.GetValueList(i)->Name()) == key) return ValueLists.GetValueList(i);
  return FYValues;
}

void TChartSeries::AssignValueList(TChartValueList* Target, TChartValueList* Source) {
  Target->Assign(Source);
  Repaint();
}

void TChartSeries::SetZOrder(int32_t Value) { SetIntegerProperty(FZOrder, Value); }

// =============================================================================================
// Colours and labels

void TChartSeries::SetSeriesColor(TColor Value) {
  if (ColorSetting == clDefault && Value == AutoColor) {
    // Nothing changes on screen; given by hand, the colour is kept as the series' own.
    if (!FAssigningAutoColor && Value != clDefault) ColorChosen = true;
    return;
  }
  ColorChosen = false;
  SetColorProperty(ColorSetting, Value);
  AutoColor = ColorSetting;
  NotifyColorChanged();
}

void TChartSeries::SetAutoColor(TColor Color) {
  if (ColorChosen && ColorSetting == clDefault && Color != AutoColor) {
    // The colour chosen by hand stays: it becomes the set colour.
    ColorSetting = AutoColor;
    ColorChosen = false;
    return;
  }
  AutoColor = Color;
  const bool was = FAssigningAutoColor;
  FAssigningAutoColor = true;
  try {
    SetSeriesColor(Color);
  } catch (...) {
    FAssigningAutoColor = was;
    throw;
  }
  FAssigningAutoColor = was;
}

void TChartSeries::NotifyColorChanged() {
  if (FParentChart) SendSeriesEvent(FParentChart, this, kColor);
  NotifySeriesListView();
}

void TChartSeries::SetColorEachPoint(bool Value) { SetBooleanProperty(FColorEachPoint, Value); }

TColor TChartSeries::StoredColorAt(int32_t Index) const {
  if (!PointColors || Index < 0 || static_cast<size_t>(Index) >= PointColors->size()) return clDefault;
  return (*PointColors)[static_cast<size_t>(Index)];
}

void TChartSeries::SetPointColorAt(int32_t Index, TColor Color) {
  if (!PointColors && Color == clDefault) return;
  if (!PointColors) CreateColorList();
  if (Index < 0) throw ERangeError("Range check error");
  if (static_cast<size_t>(Index) >= PointColors->size()) PointColors->resize(static_cast<size_t>(Index) + 1, clDefault);
  (*PointColors)[static_cast<size_t>(Index)] = Color;
  Repaint();
}

void TChartSeries::CreateColorList() {
  PointColors = std::make_unique<std::vector<TColor>>(static_cast<size_t>(PointCount()), clDefault);
}

TColor TChartSeries::PointColorAt(int32_t Index) {
  TColor c = StoredColorAt(Index);
  if (c != clDefault) return c;
  if (FColorEachPoint) return FParentChart ? GetPaletteColor(FParentChart, Index) : GetDefaultColor(Index);
  return SeriesColor();
}

void TChartSeries::SetLabelAt(int32_t Index, const std::string& Text) {
  Labels->SetLabelAt(Index, Text);
  Repaint();
}

void TChartSeries::SetColorSource(const std::string& Value) {
  if (FColorSource == Value) return;
  FColorSource = Value;
  RefreshDataFromSource();
}

void TChartSeries::SetXLabelsSource(const std::string& Value) {
  if (FXLabelsSource == Value) return;
  FXLabelsSource = Value;
  RefreshDataFromSource();
}

void TChartSeries::SetMarks(TSeriesMarks* Value) { FMarks->Assign(Value); }

// =============================================================================================
// Axes

void TChartSeries::BindAxes() {
  if (!FParentChart) {
    HorizAxisObject = VertAxisObject = nullptr;
    return;
  }
  if (FHorizAxis == aTopAxis)
    HorizAxisObject = TopAxis(FParentChart);
  else if (FHorizAxis == aCustomHorizAxis && FCustomHorizAxis)
    HorizAxisObject = FCustomHorizAxis;
  else
    HorizAxisObject = BottomAxis(FParentChart);
  if (FVertAxis == aRightAxis)
    VertAxisObject = RightAxis(FParentChart);
  else if (FVertAxis == aCustomVertAxis && FCustomVertAxis)
    VertAxisObject = FCustomVertAxis;
  else
    VertAxisObject = LeftAxis(FParentChart);
}

void TChartSeries::SetHorizAxis(THorizAxis Value) {
  if (FHorizAxis == Value) return;
  FHorizAxis = Value;
  if (Value != aCustomHorizAxis && !ComponentState().Contains(csLoading)) FCustomHorizAxis = nullptr;
  BindAxes();
  Repaint();
}

void TChartSeries::SetVertAxis(TVertAxis Value) {
  if (FVertAxis == Value) return;
  FVertAxis = Value;
  if (Value != aCustomVertAxis && !ComponentState().Contains(csLoading)) FCustomVertAxis = nullptr;
  BindAxes();
  Repaint();
}

void TChartSeries::SetCustomHorizAxis(TChartAxis* Axis) {
  FCustomHorizAxis = Axis;
  FHorizAxis = Axis ? aCustomHorizAxis : aBottomAxis;
  BindAxes();
  Repaint();
}

void TChartSeries::SetCustomVertAxis(TChartAxis* Axis) {
  FCustomVertAxis = Axis;
  FVertAxis = Axis ? aCustomVertAxis : aLeftAxis;
  BindAxes();
  Repaint();
}

void TChartSeries::SetHorizontalLayout() {
  MandatoryList = FXValues;
  NotMandatoryList = FYValues;
  YMandatory = false;
}

bool TChartSeries::IsBoundToAxis(TChartAxis* Axis) {
  if (!UsesAxes() || !Axis) return false;
  if (IsHorizontal(Axis)) return FHorizAxis == aBothHorizAxis || Axis == HorizAxisObject;
  return FVertAxis == aBothVertAxis || Axis == VertAxisObject;
}

TChartValueList* TChartSeries::ValueListForAxis(TChartAxis* Axis) {
  if (!IsBoundToAxis(Axis)) return nullptr;
  return IsHorizontal(Axis) ? FXValues : FYValues;
}

int32_t TChartSeries::ValueToScreenX(double Value) { return ValueToPixel(HorizAxisObject, Value); }
int32_t TChartSeries::ValueToScreenY(double Value) { return ValueToPixel(VertAxisObject, Value); }
int32_t TChartSeries::ValueToScreenPos(double Value) { return ValueToPixel(GetValueAxis(), Value); }
double TChartSeries::PixelXToValue(int32_t Pixel) { return PixelToValue(HorizAxisObject, Pixel); }
double TChartSeries::PixelYToValue(int32_t Pixel) { return PixelToValue(VertAxisObject, Pixel); }
int32_t TChartSeries::ScreenXAt(int32_t Index) { return ValueToScreenX(XValueAt(Index)); }
int32_t TChartSeries::ScreenYAt(int32_t Index) { return ValueToScreenY(YValueAt(Index)); }

bool TChartSeries::IsDrawnForward() {
  if (YMandatory) {
    const bool fwd = !(HorizAxisObject && Inverted(HorizAxisObject));
    return (FParentChart && DrawReversed(FParentChart)) ? !fwd : fwd;
  }
  return !(VertAxisObject && Inverted(VertAxisObject));
}

bool TChartSeries::IsValueDrawnForward(int32_t) { return !(FParentChart && DrawReversed(FParentChart)); }

// =============================================================================================
// Drawing hooks

void TChartSeries::FireAfterDrawValues() {
  if (AfterDrawValues) AfterDrawValues(this);
}
void TChartSeries::FireBeforeDrawValues() {
  if (BeforeDrawValues) BeforeDrawValues(this);
}

void TChartSeries::DrawVisiblePoints() {
  if (LastValueIndex < FirstValueIndex) return;
  if (IsDrawnForward())
    for (int32_t i = FirstValueIndex; i <= LastValueIndex; ++i) DrawOneValue(i);
  else
    for (int32_t i = LastValueIndex; i >= FirstValueIndex; --i) DrawOneValue(i);
}

void TChartSeries::FillLegendSymbol(int32_t, const TRect& Rect) {
  if (FParentChart) DrawLegendSymbolRect(FParentChart, Rect);
}

void TChartSeries::ListStyleVariants(const TAddStyleProc& AddStyle) { AddStyle(MsgStyleNormal); }

void TChartSeries::SourcePointDeleted(TChartSeries* Source, int32_t Index) {
  if (Index < 0) {
    // Several points went at once: follow the source as it is now.
    RecalcFromSource(Source);
    return;
  }
  Delete(Index);
}

// =============================================================================================
// Mouse and other

bool TChartSeries::CheckMouseEnterLeave(int32_t X, int32_t Y) {
  if (FCursor == 0 && !OnMouseEnter && !OnMouseLeave) return false;
  if (PointIndexAt(X, Y) == -1) {
    if (MouseInside) {
      MouseInside = false;
      if (OnMouseLeave) OnMouseLeave(this);
    }
    return false;
  }
  if (FCursor != 0 && FParentChart) SetChartCursor(FParentChart, FCursor);
  if (!MouseInside) {
    MouseInside = true;
    if (OnMouseEnter) OnMouseEnter(this);
  }
  return true;
}

bool TChartSeries::IsSameKind(const TChartSeries* Other) const {
  return Other && (ClassType()->InheritsFrom(Other->ClassType()) || Other->ClassType()->InheritsFrom(ClassType()));
}

void SeriesDisplayTitle(TChartSeries* Series, std::string& Text) {
  Text = ReplaceChar(Series->Title(), LegendColumnSeparator, ' ');
  if (Text.empty()) Text = Series->Name();
  if (Text.empty() && Series->ParentChart())
    Text = MsgEdSeries + " " + std::to_string(SeriesIndex(Series->ParentChart(), Series) + 1);
}

std::string SeriesTitleOrName(TChartSeries* Series) {
  std::string s;
  SeriesDisplayTitle(Series, s);
  return s;
}

void ListSeriesInStrings(TStrings* Strings, TCustomSeriesList* SeriesList, bool UseTitles) {
  TUpdateLock lock(Strings);
  for (TChartSeries* s : *SeriesList) {
    const bool shown = s->ShowInEditor() || (s->ComponentState().Contains(csDesigning) && !s->Internal());
    if (!shown) continue;
    Strings->AddObject(UseTitles ? SeriesTitleOrName(s) : s->Name(), s);
  }
}
