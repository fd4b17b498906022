#include "chart/engine/tool_base.h"

#include <algorithm>

#include "chart/engine/graph_function.h"
#include "chart/engine/series_marks.h"
#include "platform/streaming.h"

char LegendColumnSeparator = 6;
int32_t AxisPixelLimit = 67108863;  // declared with the axes

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
  RegisterClasses({TChartAxisTitle::StaticClass(), TChartAxis::StaticClass(), TChartDepthAxis::StaticClass(),
                   TSeriesMarks::StaticClass()});
}

void DoneSeriesModule() {
  if (!ModuleStarted()) return;
  ModuleStarted() = false;
  FreeDataSourceStyleList();
  UnRegisterClasses({TChartAxisTitle::StaticClass(), TChartAxis::StaticClass(), TChartDepthAxis::StaticClass(),
                     TSeriesMarks::StaticClass()});
}

TSeriesGroup* TChartSeriesList::NewGroup(const std::string& Name) {
  if (!Groups) Groups = std::make_unique<TSeriesGroups>(nullptr);
  auto* g = static_cast<TSeriesGroup*>(Groups->Add());
  g->SetName(Name);
  return g;
}

// =============================================================================================
// Axes

TChartAxes::~TChartAxes() = default;

TChartAxis* TChartAxes::AxisAt(int Index) const {
  if (Index < 0 || Index >= Count()) throw ERangeError("Range check error");
  return FItems[static_cast<size_t>(Index)];
}

int TChartAxes::Add(TChartAxis* Axis) {
  FItems.push_back(Axis);
  return Count() - 1;
}

int TChartAxes::Remove(TChartAxis* Axis) {
  const int i = IndexOf(Axis);
  if (i >= 0) FItems.erase(FItems.begin() + i);
  return i;
}

int TChartAxes::IndexOf(const TChartAxis* Axis) const {
  auto it = std::find(FItems.begin(), FItems.end(), Axis);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TChartAxes::Clear() {
  while (!FItems.empty()) {
    TChartAxis* a = FItems.front();
    const size_t before = FItems.size();
    delete a;
    // An axis that did not leave by itself is taken out here.
    if (FItems.size() == before && !FItems.empty() && FItems.front() == a) FItems.erase(FItems.begin());
  }
}

TChartAxis* TChartAxes::GetLeft() const { return Chart ? Chart->LeftAxis() : nullptr; }
TChartAxis* TChartAxes::GetTop() const { return Chart ? Chart->TopAxis() : nullptr; }
TChartAxis* TChartAxes::GetRight() const { return Chart ? Chart->RightAxis() : nullptr; }
TChartAxis* TChartAxes::GetBottom() const { return Chart ? Chart->BottomAxis() : nullptr; }
TChartAxis* TChartAxes::GetDepth() const { return Chart ? Chart->DepthAxis() : nullptr; }
TChartAxis* TChartAxes::GetDepthTop() const { return Chart ? Chart->DepthTopAxis() : nullptr; }
bool TChartAxes::GetBehind() const { return Chart && Chart->AxisBehind(); }
bool TChartAxes::GetVisible() const { return Chart && Chart->AxisVisible(); }
void TChartAxes::SetBehind(bool Value) {
  if (Chart) Chart->SetAxisBehind(Value);
}
void TChartAxes::SetVisible(bool Value) {
  if (Chart) Chart->SetAxisVisible(Value);
}

// =============================================================================================
// Tools

TChartTools::~TChartTools() = default;

TGraphCustomTool* TChartTools::ToolAt(int Index) const {
  if (Index < 0 || Index >= Count()) throw ERangeError("Range check error");
  return FItems[static_cast<size_t>(Index)];
}

TGraphCustomTool* TChartTools::Add(TGraphCustomTool* Tool) {
  Tool->SetParentChart(Chart);
  return Tool;
}

int TChartTools::IndexOf(const TGraphCustomTool* Tool) const {
  auto it = std::find(FItems.begin(), FItems.end(), Tool);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TChartTools::Remove(TGraphCustomTool* Tool) {
  const int i = IndexOf(Tool);
  if (i >= 0) FItems.erase(FItems.begin() + i);
}

void TChartTools::Clear() {
  while (!FItems.empty()) {
    TGraphCustomTool* t = FItems.front();
    const size_t before = FItems.size();
    delete t;
    if (FItems.size() == before && !FItems.empty() && FItems.front() == t) FItems.erase(FItems.begin());
  }
}

VM_DEFINE_CLASS(TGraphCustomTool)

TGraphCustomTool::TGraphCustomTool(TComponent* AOwner) : TCustomChartElement(AOwner) {}

TGraphCustomTool::~TGraphCustomTool() {
  if (FParentChart) SetParentChart(nullptr);
}

void TGraphCustomTool::SetParentChart(TCustomAxisPanel* Value) {
  if (Value == FParentChart) return;
  if (FParentChart) {
    if (FParentChart->Tools) FParentChart->Tools->Remove(this);
    if (!Value) FParentChart->Invalidate();
  }
  FParentChart = Value;
  if (Value && Value->Tools) Value->Tools->Append(this);
}

VM_PUBLISH(TGraphCustomToolSeries) {
  P.Component("Series", &TGraphCustomToolSeries::Series, &TGraphCustomToolSeries::SetSeries);
}

void TGraphCustomToolSeries::SetSeries(TChartSeries* Value) {
  if (Value == FSeries) return;
  if (FSeries) FSeries->RemoveFreeNotification(this);
  FSeries = Value;
  if (FSeries) FSeries->FreeNotification(this);
}

void TGraphCustomToolSeries::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphCustomTool::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSeries) SetSeries(nullptr);
}

VM_DEFINE_CLASS(TGraphCustomToolAxis)

void TGraphCustomToolAxis::SetAxis(TChartAxis* Value) {
  if (Value == FAxis) return;
  FAxis = Value;
  SetParentChart(Value ? Value->ParentChart : nullptr);
  Repaint();
}

void TGraphCustomToolAxis::DefineProperties(TFiler* Filer) {
  TGraphCustomTool::DefineProperties(Filer);
  Filer->DefineProperty(
      "AxisID",
      [this](TReader* r) {
        const int id = r->ReadInteger();
        if (FParentChart && FParentChart->Axes && id >= 0 && id < FParentChart->Axes->Count())
          SetAxis(FParentChart->Axes->AxisAt(id));
      },
      [this](TWriter* w) {
        w->WriteInteger(FParentChart && FParentChart->Axes ? FParentChart->Axes->IndexOf(FAxis) : -1);
      },
      FAxis != nullptr);
}

// =============================================================================================
// Groups

const TEnumInfo SeriesGroupActiveInfo("TSeriesGroupActive", {"gaYes", "gaNo", "gaSome"});

VM_PUBLISH(TSeriesGroup) {
  P.String("Name", &TSeriesGroup::Name, &TSeriesGroup::SetName);
  P.Enum("Active", &TSeriesGroup::Active, &TSeriesGroup::SetActive, SeriesGroupActiveInfo).Default(gaYes);
}

TSeriesGroup::TSeriesGroup(TCollection* Collection) : TCollectionItem(Collection) {
  TComponent* owner = nullptr;
  if (Collection) owner = dynamic_cast<TComponent*>(Collection->Owner());
  FSeries = std::make_unique<TCustomSeriesList>(owner);
}

TSeriesGroup::~TSeriesGroup() = default;

void TSeriesGroup::SetSeries(const TCustomSeriesList* Value) {
  if (Value)
    FSeries->Assign(*Value);
  else
    FSeries->Clear();
}

TSeriesGroupActive TSeriesGroup::GetActive() const {
  int active = 0;
  for (TChartSeries* s : *FSeries)
    if (s->Active()) ++active;
  if (active == FSeries->Count()) return gaYes;
  return active == 0 ? gaNo : gaSome;
}

void TSeriesGroup::SetActive(TSeriesGroupActive Value) {
  if (Value == gaSome || Value == GetActive()) return;
  for (TChartSeries* s : *FSeries) s->SetActive(Value == gaYes);
}

VM_DEFINE_CLASS(TSeriesGroups)

TSeriesGroups::TSeriesGroups(TPersistent* AOwner) : TOwnedCollection(AOwner, TSeriesGroup::StaticClass()) {}

TSeriesGroup* TSeriesGroups::GroupAt(int Index) const { return static_cast<TSeriesGroup*>(Items(Index)); }

int TSeriesGroups::IndexOfSeries(const TChartSeries* Series) const {
  for (int i = 0; i < Count(); ++i)
    if (GroupAt(i)->Series()->IndexOf(Series) >= 0) return i;
  return -1;
}
