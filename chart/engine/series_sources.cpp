// Series data sources, dependents, function attachment, copying and streaming of the points.
#include <algorithm>
#include <cstring>

#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_function.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_helpers.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/tool_base.h"
#include "platform/codepage.h"
#include "platform/guards.h"
#include "platform/streaming.h"
#include "platform/streams.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

using namespace series_link;

// =============================================================================================
// Dependents

void TChartSeries::NotifyDependents(TValueChangeKind Kind, int32_t ValueIndex) {
  if (UpdateCount > 0 || !DependentSeries || DependentSeries->Count() == 0) return;
  // A dependent may leave the list while it follows: walk a copy.
  const std::vector<TChartSeries*> deps(DependentSeries->begin(), DependentSeries->end());
  for (TChartSeries* d : deps) {
    if (DependentSeries->IndexOf(d) < 0) continue;
    const TFollowedSourceChanges f = d->FollowedSourceChanges();
    switch (Kind) {
      case vckClear:
        if (f.Contains(fscClear)) d->ClearValues();
        break;
      case vckAdd:
        if (f.Contains(fscAdd) && !d->FunctionObject()) d->CopyPoint(this, ValueIndex);
        break;
      case vckDelete:
        if (f.Contains(fscDelete) && !d->FunctionObject()) d->SourcePointDeleted(this, ValueIndex);
        break;
      case vckModify:
        if (f.Contains(fscModify)) d->RecalcFromSource(this);
        break;
      case vckRefresh:
        d->RecalcFromSource(this);
        break;
    }
  }
}

void TChartSeries::RecalcFromSource(TChartSeries* Source) {
  TUpdateLock lock(this);
  ClearValues();
  if (FFunctionObject) {
    FXValues->SetDateTime(Source->XValues()->DateTime());
    FYValues->SetDateTime(Source->YValues()->DateTime());
    FFunctionObject->CalculateFromSource(Source);
  } else if (AcceptsSourceSeries(Source)) {
    for (int32_t i = 0; i < Source->PointCount(); ++i) CopyPoint(Source, i);
  }
}

// =============================================================================================
// Data sources

TComponent* TChartSeries::GetDataSource() const {
  return DataSources && DataSources->Count() > 0 ? DataSources->Items(0) : nullptr;
}

void TChartSeries::SetDataSource(TComponent* Value) {
  if (Value)
    SetDataSourceChecked(Value, true);
  else
    RemoveDataSource(GetDataSource());
}

int32_t TChartSeries::SetDataSourceChecked(TComponent* Source, bool ReplaceOthers) {
  if (!FParentChart) throw ChartException(ErrNoParentForSource);
  if (!AcceptsDataSource(FParentChart, this, Source))
    throw ChartException(Format(MsgInvalidDataSource, {Source ? Source->Name() : std::string()}));
  if (DataSources->IndexOf(Source) >= 0) return -1;
  if (dynamic_cast<TChartSeries*>(Source))
    CheckCircularDataSource(FParentChart, this, dynamic_cast<TChartSeries*>(Source));
  if (ReplaceOthers && !ComponentState().Contains(csLoading)) DataSources->Clear();
  const int32_t result = AddDataSourceInternal(Source);
  RefreshDataFromSource();
  return result;
}

int32_t TChartSeries::AddDataSourceInternal(TComponent* Source) {
  if (!Source) return -1;
  DataSources->Append(Source);
  DataIsOwn = false;
  if (auto* s = dynamic_cast<TChartSeries*>(Source)) {
    if (s->DependentSeries->IndexOf(this) < 0) s->DependentSeries->Add(this);
  } else {
    Source->FreeNotification(this);
    if (auto* gs = dynamic_cast<TGraphSeriesSource*>(Source); gs && gs->Series() != this) {
      const bool wasActive = gs->Active();
      gs->SetActive(false);
      TChartSeries* old = gs->Series();
      if (old) {
        if (gs->Owner() == old) {
          old->RemoveComponent(gs);
          InsertComponent(gs);
        }
        old->RemoveFreeNotification(gs);
        if (old->DataSources) old->DataSources->Remove(gs);
      }
      gs->BindSeries(this);
      FreeNotification(gs);
      if (wasActive) gs->SetActive(true);
    }
  }
  return DataSources->Count() - 1;
}

void TChartSeries::RemoveDataSource(TComponent* Source) {
  if (ComponentState().Contains(csDestroying)) return;
  TComponent* current = GetDataSource();
  if (FParentChart && current) DetachSeriesSource(FParentChart, this, Source);
  if (Source == current) {
    DataSources->Clear();
  } else if (Source && DataSources->Remove(Source)) {
    if (auto* s = dynamic_cast<TChartSeries*>(Source)) s->DependentSeries->Remove(this);
  }
  RefreshDataFromSource();
}

void TChartSeries::DataSourcesCleared(const std::vector<TComponent*>& Removed) {
  for (TComponent* c : Removed)
    if (auto* s = dynamic_cast<TChartSeries*>(c)) s->DependentSeries->Remove(this);
  if (!DataIsOwn && !Removed.empty()) ClearValues();
}

void TChartSeries::CheckCircularSource(TComponent* Source) {
  if (Source == this) throw ChartException(ErrCircularSeries);
  auto* s = dynamic_cast<TChartSeries*>(Source);
  if (!s || !s->DataSources) return;
  for (int i = 0; i < s->DataSources->Count(); ++i) CheckCircularSource(s->DataSources->Items(i));
}

bool TChartSeries::FunctionAcceptsSource(TChartSeries* Source) {
  return !FFunctionObject || FFunctionObject->AcceptsSource(Source);
}

void TChartSeries::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomChartSeries::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FFunctionObject) {
    FFunctionObject = nullptr;
  } else if (DataSources && AComponent == GetDataSource()) {
    RemoveDataSource(AComponent);
  } else if (DataSources && DataSources->Remove(AComponent)) {
    RefreshDataFromSource();
  }
}

void TChartSeries::AttachFunction(TGraphFunction* Function) {
  if (Function == FFunctionObject) return;
  TGraphFunction* old = FFunctionObject;
  FFunctionObject = Function;
  if (old) {
    old->ParentSeries = nullptr;
    delete old;
  }
  if (Function) {
    if (Function->ParentSeries && Function->ParentSeries != this) Function->ParentSeries->ReleaseFunction();
    Function->ParentSeries = this;
    DataIsOwn = false;
    Function->FreeNotification(this);
  }
  RefreshDataFromSource();
}

// =============================================================================================
// Copying

void TChartSeries::AssignSeriesData(TChartSeries* Source) {
  SetDataSource(nullptr);
  if (YMandatory == Source->YMandatory) {
    FXValues->Assign(Source->FXValues);
    FYValues->Assign(Source->FYValues);
  } else {
    FXValues->Assign(Source->FYValues);
    FYValues->Assign(Source->FXValues);
  }
  FXLabelsSource = Source->FXLabelsSource;
  FColorSource = Source->FColorSource;
  const int n = std::min(ValueLists.Count(), Source->ValueLists.Count());
  for (int i = 2; i < n; ++i) ValueLists.GetValueList(i)->Assign(Source->ValueLists.GetValueList(i));
  FMarks->Assign(Source->FMarks.get());
  ColorSetting = Source->ColorSetting;
  ColorChosen = false;
  SetAutoColor(Source->AutoColor);
  ColorChosen = Source->ColorChosen;
  FColorEachPoint = Source->FColorEachPoint;
  FValueFormat = Source->FValueFormat;
  FPercentFormat = Source->FPercentFormat;
  FCustomHorizAxis = Source->FCustomHorizAxis;
  FHorizAxis = Source->FHorizAxis;
  FCustomVertAxis = Source->FCustomVertAxis;
  FVertAxis = Source->FVertAxis;
  FFollowedSourceChanges = Source->FFollowedSourceChanges;
  FCursor = Source->FCursor;
  FDepth = Source->FDepth;
  BindAxes();
}

void TChartSeries::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TChartSeries*>(Source);
  if (!src) {
    TCustomChartSeries::Assign(Source);
    return;
  }
  if (src == this) return;
  FShowInLegend = src->FShowInLegend;
  FTitle = src->FTitle;
  FSeriesStyle = src->FSeriesStyle;
  FIdentifier = src->FIdentifier;
  TCustomChartElement::Assign(Source);
  AssignSeriesData(src);
  if (src->FFunctionObject && !FFunctionObject) {
    TGraphFunction* f = src->FFunctionObject;
    src->FFunctionObject = nullptr;
    f->ParentSeries = nullptr;
    FFunctionObject = f;
    f->ParentSeries = this;
    f->FreeNotification(this);
  }
  DataIsOwn = src->DataIsOwn;
  if (src->GetDataSource() && !src->DataIsOwn) {
    DataSources->Clear();
    for (int i = 0; i < src->DataSources->Count(); ++i) AddDataSourceInternal(src->DataSources->Items(i));
  } else if (src->DataIsOwn || !src->ComponentState().Contains(csDesigning)) {
    PointColors = src->PointColors ? std::make_unique<std::vector<TColor>>(*src->PointColors) : nullptr;
    Labels->AssignLabels(*src->Labels);
    // The copy keeps the colours and labels just taken.
    TUpdateLock lock(this);
    ClearPointData();
    for (int32_t i = 0; i < src->PointCount(); ++i) CopyPoint(src, i);
  }
  RefreshDataFromSource();
}

// =============================================================================================
// Streaming

namespace {

template <class T>
void Put(TStream& S, T V) {
  S.WriteBuffer(&V, sizeof(V));
}
template <class T>
T Get(TStream& S) {
  T v{};
  S.ReadBuffer(&v, sizeof(v));
  return v;
}

void WriteMarkPosition(TStream& S, const TSeriesMarkPosition* P) {
  TSeriesMarkPosition empty;
  const TSeriesMarkPosition& p = P ? *P : empty;
  Put<int32_t>(S, p.ArrowStart.X);
  Put<int32_t>(S, p.ArrowStart.Y);
  Put<uint8_t>(S, p.KeepArrowStart ? 1 : 0);
  Put<int32_t>(S, p.ArrowEnd.X);
  Put<int32_t>(S, p.ArrowEnd.Y);
  Put<uint8_t>(S, p.UserMoved ? 1 : 0);
  Put<int32_t>(S, p.Height);
  Put<int32_t>(S, p.LeftTop.X);
  Put<int32_t>(S, p.LeftTop.Y);
  Put<int32_t>(S, p.Width);
}

std::unique_ptr<TSeriesMarkPosition> ReadMarkPosition(TStream& S) {
  auto p = std::make_unique<TSeriesMarkPosition>();
  p->ArrowStart.X = Get<int32_t>(S);
  p->ArrowStart.Y = Get<int32_t>(S);
  p->KeepArrowStart = Get<uint8_t>(S) != 0;
  p->ArrowEnd.X = Get<int32_t>(S);
  p->ArrowEnd.Y = Get<int32_t>(S);
  p->UserMoved = Get<uint8_t>(S) != 0;
  p->Height = Get<int32_t>(S);
  p->LeftTop.X = Get<int32_t>(S);
  p->LeftTop.Y = Get<int32_t>(S);
  p->Width = Get<int32_t>(S);
  return p;
}

constexpr int kMarkPositionSize = 34;

}  // namespace

void TChartSeries::WriteData(TStream& Stream) {
  const uint8_t flags = GetSeriesDataFlags(this);
  const int32_t n = PointCount();
  Put<uint8_t>(Stream, flags);
  Put<int32_t>(Stream, n);
  for (int32_t i = 0; i < n; ++i) {
    if (flags & 1) Put<double>(Stream, NotMandatoryList->Values[static_cast<size_t>(i)]);
    Put<double>(Stream, MandatoryList->Values[static_cast<size_t>(i)]);
    if (flags & 2) Put<int32_t>(Stream, static_cast<int32_t>(StoredColorAt(i)));
    if (flags & 4) {
      std::string l = Utf8ToCp1251(LabelAt(i));
      if (l.size() > 255) l.resize(255);  // the format holds at most 255 bytes
      Put<uint8_t>(Stream, static_cast<uint8_t>(l.size()));
      Stream.WriteString(l);
    }
    for (int k = 2; k < ValueLists.Count(); ++k)
      Put<double>(Stream, ValueLists.GetValueList(k)->Values[static_cast<size_t>(i)]);
    if (flags & 8) WriteMarkPosition(Stream, FMarks->Positions.GetPosition(i));
  }
}

void TChartSeries::ReadData(TStream& Stream) {
  ClearValues();
  const uint8_t flags = Get<uint8_t>(Stream);
  const int32_t n = Get<int32_t>(Stream);
  if (n < 0 || (flags & 0xF0)) throw EReadError("Invalid series data");
  // Every record holds at least one double: a count the stream cannot hold is damage.
  const int64_t left = Stream.Size() - Stream.Position();
  int64_t minRecord = 8 + 8 * std::max(0, ValueLists.Count() - 2);
  if (flags & 1) minRecord += 8;
  if (flags & 2) minRecord += 4;
  if (flags & 4) minRecord += 1;
  if (flags & 8) minRecord += kMarkPositionSize;
  if (static_cast<int64_t>(n) * minRecord > left) throw EReadError("Invalid series data");
  {
    TUpdateLock lock(this);
    for (int32_t i = 0; i < n; ++i) {
      double pos = (flags & 1) ? Get<double>(Stream) : static_cast<double>(i);
      double val = Get<double>(Stream);
      double x = pos, y = val;
      if (!YMandatory) std::swap(x, y);
      const TColor color = (flags & 2) ? static_cast<TColor>(Get<int32_t>(Stream)) : clDefault;
      std::string label;
      if (flags & 4) label = Cp1251ToUtf8(Stream.ReadString(Get<uint8_t>(Stream)));
      for (int k = 2; k < ValueLists.Count(); ++k) ValueLists.GetValueList(k)->PendingValue = Get<double>(Stream);
      AddPoint(x, y, label, color);
      if (flags & 8) FMarks->Positions.Append(ReadMarkPosition(Stream));
    }
  }
  DataIsOwn = true;
}

void TChartSeries::DefineProperties(TFiler* Filer) {
  TCustomChartSeries::DefineProperties(Filer);
  Filer->DefineProperty(
      "Identifier", [this](TReader* r) { FIdentifier = r->ReadString(); },
      [this](TWriter* w) { w->WriteString(FIdentifier); }, !FIdentifier.empty());
  Filer->DefineProperty(
      "Style", [this](TReader* r) { FSeriesStyle = static_cast<TSeriesStyle>(r->ReadInteger() & 0x3F); },
      [this](TWriter* w) { w->WriteInteger(FSeriesStyle & 0x3F); }, (FSeriesStyle & 0x3F) != 0);
  Filer->DefineProperty(
      "DataSources",
      [this](TReader* r) {
        PendingSourceNames = std::make_unique<TStringList>();
        r->ReadListBegin();
        while (!r->EndOfList()) PendingSourceNames->Add(r->ReadString());
        r->ReadListEnd();
      },
      [this](TWriter* w) {
        w->WriteListBegin();
        for (int i = 0; i < DataSources->Count(); ++i) w->WriteString(DataSources->Items(i)->Name());
        w->WriteListEnd();
      },
      DataSources->Count() > 1);
  Filer->DefineProperty(
      "CustomHorizAxis",
      [this](TReader* r) {
        const int idx = r->ReadInteger();
        if (FParentChart) SetCustomHorizAxis(CustomAxisAt(FParentChart, idx));
      },
      [this](TWriter* w) { w->WriteInteger(FParentChart ? CustomAxisIndex(FParentChart, FCustomHorizAxis) : 0); },
      FCustomHorizAxis != nullptr);
  Filer->DefineProperty(
      "CustomVertAxis",
      [this](TReader* r) {
        const int idx = r->ReadInteger();
        if (FParentChart) SetCustomVertAxis(CustomAxisAt(FParentChart, idx));
      },
      [this](TWriter* w) { w->WriteInteger(FParentChart ? CustomAxisIndex(FParentChart, FCustomVertAxis) : 0); },
      FCustomVertAxis != nullptr);
  Filer->DefineBinaryProperty(
      "Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); },
      StoreDataAlways || (DataIsOwn && !StoreDataNever));
}

void TChartSeries::Loaded() {
  TCustomChartSeries::Loaded();
  if (PendingSourceNames && PendingSourceNames->Count() > 0) {
    DataSources->Clear();
    for (int i = 0; i < PendingSourceNames->Count(); ++i) {
      TComponent* c = Owner() ? Owner()->FindComponent(PendingSourceNames->Strings(i)) : nullptr;
      if (c) AddDataSourceInternal(c);
    }
  }
  PendingSourceNames.reset();
  RefreshDataFromSource();
}
