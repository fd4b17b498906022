#include "chart/engine/value_lists.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#ifdef __linux__
#include <sys/mman.h>
#endif
#include <string>

#include "chart/engine/chart_errors.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/series_base.h"
#include "platform/forms.h"
#include "platform/streaming.h"
#include "platform/sysutils.h"

int32_t ValueListCapacityStep = 1000;

namespace {
// A task-modal error box with an empty caption.
void ShowErrorBox(const std::string& Text) {
  if (Application)
    Application->MessageBox(Text, "", MB_ICONERROR);
  else
    std::fprintf(stderr, "%s\n", Text.c_str());
}
}  // namespace

const TEnumInfo ChartListOrderInfo("TChartListOrder", {"loNone", "loAscending", "loDescending"});

VM_PUBLISH(TChartValueList) {
  P.Bool("DateTime", &TChartValueList::DateTime, &TChartValueList::SetDateTime)
      .Stored(&TChartValueList::ShouldStoreDateTime);
  P.String("Name", &TChartValueList::Name, &TChartValueList::SetName);
  P.Enum("Order", &TChartValueList::Order, &TChartValueList::SetOrder, ChartListOrderInfo).Default(loNone);
  P.String("ValueSource", &TChartValueList::ValueSource, &TChartValueList::SetValueSource);
}

TChartValueList::TChartValueList(TChartSeries* AOwner, const std::string& AName) : OwnerSeries(AOwner), FName(AName) {
  StatsStale = true;
  if (OwnerSeries) OwnerSeries->ValueLists.Add(this);
  ClearValues();
}

TChartValueList::~TChartValueList() { ClearValues(); }

void TChartValues::resize(size_t NewSize) {
  if (NewSize == 0) {
    clear();
    return;
  }
  const size_t bytes = NewSize * sizeof(double);
  double* p;
#ifdef __linux__
  // Long lists live in large pages: a million points then cost a few page faults, not thousands.
  constexpr size_t kLargePage = size_t{2} << 20;
  if (bytes >= 2 * kLargePage) {
    const size_t rounded = (bytes + kLargePage - 1) / kLargePage * kLargePage;
    p = static_cast<double*>(std::aligned_alloc(kLargePage, rounded));
    if (!p) throw EOutOfMemory("Out of memory");
    madvise(p, rounded, MADV_HUGEPAGE);
    if (FData) std::memcpy(p, FData, std::min(FSize, NewSize) * sizeof(double));
    std::free(FData);
    FData = p;
    FSize = NewSize;
    return;
  }
#endif
  p = static_cast<double*>(std::realloc(FData, bytes));
  if (!p) throw EOutOfMemory("Out of memory");
  FData = p;
  FSize = NewSize;
}

void TChartValueList::ClearValues() {
  FCount = 0;
  Values.clear();
  StatsStale = true;
}

void TChartValueList::CheckIndex(int32_t Index) const {
  if (Index < 0 || Index >= FCount) throw ChartException(Format("List index out of bounds (%d)", {Index}));
}

double TChartValueList::GetValue(int32_t Index) const {
  CheckIndex(Index);
  return Values[static_cast<size_t>(Index)];
}

void TChartValueList::SetValue(int32_t Index, double Value) {
  CheckIndex(Index);
  Values[static_cast<size_t>(Index)] = Value;
  StatsStale = true;
  if (OwnerSeries) OwnerSeries->NotifyDependents(vckModify, Index);
}

double TChartValueList::First() const {
  if (FCount <= 0) throw ERangeError("Range check error");
  return Values[0];
}

double TChartValueList::Last() const {
  if (FCount <= 0) throw ERangeError("Range check error");
  return Values[static_cast<size_t>(FCount - 1)];
}

int32_t TChartValueList::LocateInRange(double Value, int32_t FirstIndex, int32_t LastIndex) const {
  if (LastIndex < FirstIndex) return -1;
  FirstIndex = std::max(FirstIndex, 0);
  LastIndex = std::min(LastIndex, FCount - 1);
  for (int32_t i = FirstIndex; i <= LastIndex; ++i)
    if (Values[static_cast<size_t>(i)] == Value) return i;
  return -1;
}

void TChartValueList::Grow() {
  // The step is the least growth; a long list doubles, so filling costs amortised constant time.
  const size_t old = Values.size();
  const size_t step = static_cast<size_t>(std::max(ValueListCapacityStep, 1));
  Values.resize(std::max(old + step, old * 2));
}

void TChartValueList::GrowIfFull() {
  if (Values.size() < static_cast<size_t>(FCount) + 1) Grow();
}

int32_t TChartValueList::GetCount() const {
  if (static_cast<size_t>(FCount) > Values.size())
    throw EAssertionFailed("ValueList Count (" + std::to_string(FCount) + ") greater than array length (" +
                           std::to_string(Values.size()) + ").");
  return FCount;
}

void TChartValueList::SetCount(int32_t Value) {
  if (Value < 0) throw EAssertionFailed("ValueList Count must be greater than zero.");
  FCount = Value;
}

void TChartValueList::InsertValue(int32_t Index, double Value) {
  if (Index < 0 || Index > FCount) throw ERangeError("Range check error");
  if (static_cast<size_t>(FCount) >= Values.size()) Grow();
  double* v = Values.data();
  if (FCount - Index > 0) std::copy_backward(v + Index, v + FCount, v + FCount + 1);
  v[Index] = Value;
  ++FCount;
  StatsStale = true;
}

int32_t TChartValueList::AddValue(double Value) {
  PendingValue = Value;
  return AddPendingValue();
}

int32_t TChartValueList::AddPendingValue() {
  int32_t index;
  const double pv = PendingValue;
  if (FOrder == loNone || FCount == 0) {
    index = FCount;
  } else {
    const double last = Values[static_cast<size_t>(FCount - 1)];
    if ((FOrder == loAscending && pv >= last) || (FOrder == loDescending && pv <= last)) {
      index = FCount;
    } else {
      int32_t i = FCount - 1;
      if (FOrder == loAscending)
        while (i >= 0 && Values[static_cast<size_t>(i)] > pv) --i;
      else
        while (i >= 0 && Values[static_cast<size_t>(i)] < pv) --i;
      index = i + 1;
    }
  }
  GrowIfFull();
  double* v = Values.data();
  if (index < FCount) std::copy_backward(v + index, v + FCount, v + FCount + 1);
  v[index] = pv;
  ++FCount;
  StatsStale = true;
  return index;
}

void TChartValueList::DeleteValue(int32_t Index) {
  const int32_t old = FCount;
  SetCount(FCount - 1);
  if (Index < 0 || Index >= old) {
    FCount = old;
    throw ERangeError("Range check error");
  }
  if (Index < FCount) {
    double* v = Values.data();
    std::copy(v + Index + 1, v + old, v + Index);
  }
  StatsStale = true;
}

void TChartValueList::DeleteRange(int32_t Start, int32_t Quantity) {
  if (Start + Quantity - 1 >= FCount) throw EAssertionFailed("Quantity of data to delete must be less than Count.");
  if (Start < 0 || Quantity < 0) throw ERangeError("Range check error");
  const int32_t old = FCount;
  SetCount(FCount - Quantity);
  if (Start < FCount) {
    double* v = Values.data();
    std::copy(v + Start + Quantity, v + old, v + Start);
  }
  StatsStale = true;
}

void TChartValueList::Exchange(int32_t Index1, int32_t Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  std::swap(Values[static_cast<size_t>(Index1)], Values[static_cast<size_t>(Index2)]);
  StatsStale = true;
  if (OwnerSeries) OwnerSeries->NotifyDependents(vckModify, Index1);
}

void TChartValueList::FillSequence() {
  for (int32_t i = 0; i < FCount; ++i) Values[static_cast<size_t>(i)] = i;
  StatsStale = true;
  if (OwnerSeries) OwnerSeries->NotifyDependents(vckModify, 0);
}

int32_t TChartValueList::CompareValues(int32_t Index1, int32_t Index2) const {
  const double a = Values[static_cast<size_t>(Index1)], b = Values[static_cast<size_t>(Index2)];
  int32_t r = a < b ? -1 : (a > b ? 1 : 0);
  return FOrder == loDescending ? -r : r;
}

void TChartValueList::Sort() {
  if (FOrder == loNone) return;
  QuickSortIndexes(
      0, FCount - 1, [this](int a, int b) { return CompareValues(a, b); },
      [this](int a, int b) {
        if (OwnerSeries)
          OwnerSeries->ExchangePoints(a, b);
        else
          std::swap(Values[static_cast<size_t>(a)], Values[static_cast<size_t>(b)]);
      });
}

int32_t TChartValueList::MoveFirstToLast() {
  if (FCount < 1) return 0;
  double* v = Values.data();
  std::rotate(v, v + 1, v + FCount);
  StatsStale = true;
  return FCount - 1;
}

void TChartValueList::RecalcStats() {
  const int32_t n = GetCount();
  if (n <= 0) {
    MinValueCache = MaxValueCache = TotalCache = TotalAbsCache = 0;
  } else {
    const double* v = Values.data();
    double mn = v[0], mx = v[0], tot = v[0], abst = std::fabs(v[0]);
    for (int32_t i = 1; i < n; ++i) {
      const double x = v[i];
      if (!(x >= mn))
        mn = x;
      else if (x > mx)
        mx = x;
      tot += x;
      abst += std::fabs(x);
    }
    MinValueCache = mn;
    MaxValueCache = mx;
    TotalCache = tot;
    TotalAbsCache = abst;
  }
  StatsStale = false;
}

double TChartValueList::GetMaxValue() {
  if (StatsStale) RecalcStats();
  return MaxValueCache;
}
double TChartValueList::GetMinValue() {
  if (StatsStale) RecalcStats();
  return MinValueCache;
}
double TChartValueList::GetTotal() {
  if (StatsStale) RecalcStats();
  return TotalCache;
}
double TChartValueList::GetTotalAbs() {
  if (StatsStale) RecalcStats();
  return TotalAbsCache;
}
double TChartValueList::GetRange() {
  if (StatsStale) RecalcStats();
  return MaxValueCache - MinValueCache;
}

void TChartValueList::SetDateTime(bool Value) {
  if (OwnerSeries)
    OwnerSeries->SetBooleanProperty(FDateTime, Value);
  else
    FDateTime = Value;
}

void TChartValueList::SetDefaultDateTime(bool Value) {
  FDateTime = Value;
  DefaultDateTime = Value;
}

void TChartValueList::SetValueSource(const std::string& Value) {
  if (FValueSource == Value) return;
  FValueSource = Value;
  if (OwnerSeries) OwnerSeries->RefreshDataFromSource();
}

void TChartValueList::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TChartValueList*>(Source)) {
    FOrder = src->FOrder;
    FDateTime = src->FDateTime;
    FValueSource = src->FValueSource;
  }
}

void TChartValueList::ReadMultiplier(TReader* Reader) {
  const double m = static_cast<double>(Reader->ReadFloat());
  if (m != 1)
    ShowErrorBox("Error: Multiplier property is obsolete.\rModify GraphDefs (enable Multiplier) and recompile.");
}

void TChartValueList::DefineProperties(TFiler* Filer) {
  TPersistent::DefineProperties(Filer);
  Filer->DefineProperty(
      "Multiplier", [this](TReader* r) { ReadMultiplier(r); }, nullptr, false);
}
