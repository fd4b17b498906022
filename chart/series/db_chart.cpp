#include "chart/series/db_chart.h"

#include <algorithm>

#include "chart/engine/engine_texts.h"
#include "chart/engine/series_base.h"
#include "chart/engine/value_lists.h"
#include "platform/datetime.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/sysutils.h"

VM_PUBLISH(TCustomDBChart) {
  P.Bool("ShowGlassCursor", &TCustomDBChart::ShowGlassCursor, &TCustomDBChart::SetShowGlassCursor).Default(true);
}
VM_DEFINE_CLASS(TDBChartDataSource)

// ---------------------------------------------------------------------------------------------
// Field sources ("#KEYWORD#Field") and date groups

void SplitFieldSource(const std::string& Source, std::string& Keyword, std::string& FieldName) {
  Keyword.clear();
  FieldName = Source;
  if (Source.empty() || Source[0] != '#') return;
  const size_t second = Source.find('#', 1);
  if (second == std::string::npos) return;
  Keyword = UpperCase(Source.substr(1, second - 1));
  FieldName = Source.substr(second + 1);
}

std::string DateGroupLabel(double Date, int Group) {
  uint16_t y, m, d;
  DecodeDate(Date, y, m, d);
  switch (Group) {
    case 0:
      return FormatDateTime("dd hh:nn", Date);
    case 1:
      return FormatDateTime("dd/MMM", Date);
    case 2: {
      // The ISO week: the week's Thursday decides its year.
      const int w = (DayOfWeek(Date) + 5) % 7;  // Monday 0 .. Sunday 6
      const double t = static_cast<double>(static_cast<int64_t>(Date)) - w + 3;
      uint16_t ty, tm, td;
      DecodeDate(t, ty, tm, td);
      const int week = static_cast<int>((t - EncodeDate(ty, 1, 1))) / 7 + 1;
      return IntToStr(week) + "/" + IntToStr(ty);
    }
    case 3:
      return ShortDayNames[DayOfWeek(Date) - 1];
    case 4:
      return FormatDateTime("MMM/yy", EncodeDate(y, m, 1));
    case 5:
      return IntToStr((m - 1) / 3 + 1) + "/" + IntToStr(y);
    case 6:
      return FormatDateTime("yyyy", EncodeDate(y, 1, 1));
    default:
      return "";
  }
}

namespace {

const char* const kDateKeywords[] = {"HOUR", "DAY", "WEEK", "WEEKDAY", "MONTH", "QUARTER", "YEAR"};
const char* const kSummaryKeywords[] = {"SUM", "COUNT", "HIGH", "LOW", "AVG"};

std::vector<std::string> SplitNames(const std::string& S) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= S.size()) {
    size_t end = S.find(';', start);
    if (end == std::string::npos) end = S.size();
    out.push_back(Trim(S.substr(start, end - start)));
    start = end + 1;
  }
  return out;
}

TField* FieldNamed(TDataSet* D, const std::string& Name) { return Name.empty() ? nullptr : D->FieldByName(Name); }

double FieldValue(TField* F) { return F ? F->AsFloat() : 0.0; }

// The dataset behind a series' data source: the dataset itself or a data source's.
TDataSet* DataSetBehind(TChartSeries* S) {
  TComponent* src = S->DataSource();
  if (auto* d = dynamic_cast<TDataSet*>(src)) return d;
  if (auto* s = dynamic_cast<TDataSource*>(src)) return s->DataSet();
  return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TDBChartDataSource

TDBChartDataSource::TDBChartDataSource(TCustomDBChart* Chart, TDataSet* ADataSet, bool CurrentRecord)
    : TDataSource(nullptr), FChart(Chart) {
  SetDataSet(ADataSet);
  WasActive = ADataSet && ADataSet->Active();
  FLastCount = WasActive ? ADataSet->RecordCount() : -1;
  OnStateChange = [this](TObject*) { StateChanged(); };
  OnUpdateData = [this](TObject*) { UpdatingData(); };
  OnDataChange = [this, CurrentRecord](TObject*, TField* Field) {
    if (CurrentRecord)
      DataChanged(Field);
    else if (!Field && DataSet() && DataSet()->State() == dsBrowse && !FChart->Refreshing()) {
      // A delete (or a cleared table) changes the records without a change of state.
      const int count = DataSet()->RecordCount();
      if (FLastCount >= 0 && count != FLastCount && RefreshProc) RefreshProc(DataSet());
      FLastCount = count;
    }
  };
}

TDBChartDataSource::~TDBChartDataSource() {
  OnStateChange = nullptr;
  OnUpdateData = nullptr;
  OnDataChange = nullptr;
}

void TDBChartDataSource::StateChanged() {
  TDataSet* d = DataSet();
  if (!d) return;
  if (!d->Active()) {
    WasActive = false;
    FLastCount = -1;
    if (ClearProc) ClearProc(d);
  } else if (d->State() == dsBrowse && !WasActive) {
    if (RefreshProc) RefreshProc(d);
    WasActive = true;
    FLastCount = d->RecordCount();
  }
}

void TDBChartDataSource::UpdatingData() {
  TDataSet* d = DataSet();
  if (!d) return;
  if (d->State() == dsBrowse) {
    if (RefreshProc) RefreshProc(d);
  } else {
    WasActive = false;
  }
}

void TDBChartDataSource::DataChanged(TField*) {
  if (!FChart->Refreshing() && RefreshProc) RefreshProc(DataSet());
}

// ---------------------------------------------------------------------------------------------
// TCustomDBChart

TCustomDBChart::TCustomDBChart(TComponent* AOwner)
    : TCustomChart(AOwner), FDataSources(std::make_unique<TListOfDataSources>()) {}

TCustomDBChart::~TCustomDBChart() {
  delete FTimer;
  FTimer = nullptr;
  FDataSources->Clear();
}

void TCustomDBChart::SetRefreshSeconds(int Value) {
  if (Value < 0 || Value > 60) throw DBChartException(ErrRefreshInterval);
  FRefreshSeconds = Value;
  CheckTimer();
}

void TCustomDBChart::CheckTimer() {
  if (ComponentState().Contains(csDesigning)) return;
  if (FTimer) FTimer->SetEnabled(false);
  if (FRefreshSeconds > 0) {
    if (!FTimer) {
      FTimer = new TTimer(nullptr);
      FTimer->SetEnabled(false);
      FTimer->SetOnTimer([this](TObject*) { RefreshTimerTick(); });
    }
    FTimer->SetInterval(static_cast<uint32_t>(FRefreshSeconds) * 1000);
    FTimer->SetEnabled(true);
  }
}

void TCustomDBChart::RefreshTimerTick() {
  if (FTimer) FTimer->SetEnabled(false);
  TScopeExit again([this] {
    if (FTimer && FRefreshSeconds > 0) FTimer->SetEnabled(true);
  });
  for (int i = 0; i < FDataSources->Count(); ++i) {
    TDataSet* d = FDataSources->Items(i)->DataSet();
    if (d && d->Active()) {
      d->Refresh();
      if (FRefreshOnChange) RefreshDataSet(d, nullptr);
    }
  }
}

void TCustomDBChart::CheckDataSet(TDataSet* DataSet, bool CurrentRecord) {
  for (int i = 0; i < FDataSources->Count(); ++i)
    if (FDataSources->Items(i)->DataSet() == DataSet) return;
  auto s = std::make_unique<TDBChartDataSource>(this, DataSet, CurrentRecord);
  s->RefreshProc = [this](TDataSet* D) { NotifiedRefresh(D); };
  s->ClearProc = [this](TDataSet* D) {
    if (FRefreshOnChange) ClearSeriesOf(D);
  };
  FDataSources->Add(std::move(s));
}

void TCustomDBChart::NotifiedRefresh(TDataSet* DataSet) {
  if (FRefreshOnChange) RefreshDataSet(DataSet, nullptr);
}

void TCustomDBChart::ClearSeriesOf(TDataSet* DataSet) {
  for (int i = 0; i < CountSeries(); ++i) {
    TChartSeries* s = SeriesAt(i);
    if (s->DataSource() == DataSet) s->ClearValues();
  }
}

void TCustomDBChart::RefreshSeriesData(TChartSeries* Series) {
  if (!Series) return;
  if (Series->ParentChart() != this) throw ChartException(ErrSeriesNotMine);
  TComponent* source = Series->DataSource();
  if (auto* d = dynamic_cast<TDataSet*>(source)) {
    Series->ClearValues();
    CheckDataSet(d, false);
    RefreshDataSet(d, Series);
  } else if (auto* s = dynamic_cast<TDataSource*>(source)) {
    Series->ClearValues();
    if (s->DataSet()) {
      CheckDataSet(s->DataSet(), true);
      RefreshDataSet(s->DataSet(), Series);
    }
  } else {
    TCustomChart::RefreshSeriesData(Series);
  }
}

void TCustomDBChart::DetachSeriesSource(TChartSeries* Series, TComponent* Component) {
  TCustomChart::DetachSeriesSource(Series, Component);
  if (auto* d = dynamic_cast<TDataSet*>(Component))
    for (int i = 0; i < FDataSources->Count(); ++i) {
      TDataSet* own = FDataSources->Items(i)->DataSet();
      if (own == d || !own) {
        FDataSources->Delete(i);
        break;
      }
    }
}

bool TCustomDBChart::AcceptsDataSource(TChartSeries* Series, TComponent* Source) {
  if (TCustomChart::AcceptsDataSource(Series, Source)) return true;
  return dynamic_cast<TDataSet*>(Source) || dynamic_cast<TDataSource*>(Source);
}

void TCustomDBChart::Assign(TPersistent* Source) {
  if (auto* c = dynamic_cast<TCustomDBChart*>(Source)) {
    FRefreshOnChange = c->FRefreshOnChange;
    SetRefreshSeconds(c->FRefreshSeconds);
    FShowGlassCursor = c->FShowGlassCursor;
  }
  TCustomChart::Assign(Source);
}

void TCustomDBChart::FillSeriesSourceItems(TChartSeries* Series, const std::function<void(const std::string&)>& Proc) {
  TDataSet* d = Series ? DataSetBehind(Series) : nullptr;
  if (!d) return;
  if (d->FieldCount() > 0) {
    for (int i = 0; i < d->FieldCount(); ++i) Proc(d->Fields()[i]->FieldName());
  } else {
    for (int i = 0; i < d->FieldDefs()->Count(); ++i) Proc(d->FieldDefs()->Items(i)->Name());
  }
}

void TCustomDBChart::RefreshAllData() {
  for (int i = 0; i < FDataSources->Count(); ++i) RefreshDataSet(FDataSources->Items(i)->DataSet(), nullptr);
}

void TCustomDBChart::RefreshDataSet(TDataSet* DataSet, TChartSeries* Series) {
  if (FRefreshing || !DataSet || !DataSet->Active()) return;
  FRefreshing = true;
  TScopeExit done([this] { FRefreshing = false; });

  // The series to fill, and whether all records or only the current one feed them.
  std::vector<TChartSeries*> targets;
  bool traverse = false;
  if (Series) {
    targets.push_back(Series);
    traverse = Series->DataSource() == DataSet;
  } else {
    for (int i = 0; i < CountSeries(); ++i) {
      TChartSeries* s = SeriesAt(i);
      TDataSet* behind = DataSetBehind(s);
      if (behind) traverse = s->DataSource() == behind;
      if (behind == DataSet && s->MandatoryList && !s->MandatoryList->ValueSource().empty()) targets.push_back(s);
    }
  }
  TDBChartSeriesList list;
  for (TChartSeries* s : targets) {
    TDBChartSeriesEntry e;
    e.Series = s;
    e.Vertical = s->YMandatory;
    e.ValueList = s->MandatoryList ? s->MandatoryList : s->YValues();
    std::string kw, name;
    SplitFieldSource(s->XLabelsSource(), kw, name);
    if (kw == "SORTASC")
      e.Sort = 1;
    else if (kw == "SORTDES")
      e.Sort = 2;
    else
      for (int g = 0; g < 7; ++g)
        if (kw == kDateKeywords[g]) e.DateGroup = g;
    e.LabelField = FieldNamed(DataSet, name);
    e.ColorField = FieldNamed(DataSet, s->ColorSource());
    e.ValueNames = SplitNames(e.ValueList->ValueSource());
    e.ValueFieldCount = static_cast<int>(e.ValueNames.size());
    SplitFieldSource(e.ValueNames.front(), kw, name);
    for (int k = 0; k < 5; ++k)
      if (kw == kSummaryKeywords[k]) e.Summary = k + 1;
    e.ValueField = FieldNamed(DataSet, name);
    if (kw.empty()) {
      TChartValueList* other = s->NotMandatoryList;
      if (other && other != e.ValueList) e.XField = FieldNamed(DataSet, other->ValueSource());
      for (int i = 2; i < s->ValueLists.Count(); ++i)
        e.ExtraFields.push_back(FieldNamed(DataSet, s->ValueLists.GetValueList(i)->ValueSource()));
    }
    list.push_back(std::move(e));
  }
  if (list.empty()) return;

  const TCursor oldCursor = Screen ? Screen->Cursor() : crDefault;
  if (FShowGlassCursor && Screen) Screen->SetCursor(crHourGlass);
  const bool oldRepaint = AutoRepaint;
  AutoRepaint = false;
  TScopeExit restore([&] {
    AutoRepaint = oldRepaint;
    Invalidate();
    if (Screen) Screen->SetCursor(oldCursor);
  });
  for (auto& e : list) e.Series->ClearValues();

  if (traverse) {
    DataSet->DisableControls();
    const TBookmark mark = DataSet->Bookmark();
    TScopeExit back([&] {
      if (!mark.empty() && DataSet->BookmarkValid(mark)) DataSet->GotoBookmark(mark);
      DataSet->EnableControls();
    });
    try {
      DataSet->First();
      while (!DataSet->Eof()) {
        if (OnProcessRecord) OnProcessRecord(this, DataSet);
        for (auto& e : list)
          if (e.Series->DataSource() == DataSet) AddCurrentRecord(e, true);
        DataSet->Next();
      }
    } catch (const EAbort&) {
      // stops the traversal quietly
    }
    for (auto& e : list) {
      if (e.Summary == 5) {
        for (int i = 0; i < e.Series->Count() && i < static_cast<int>(e.Counts.size()); ++i) {
          if (e.Counts[static_cast<size_t>(i)] > 0)
            e.ValueList->SetValue(i, e.ValueList->Value(i) / e.Counts[static_cast<size_t>(i)]);
          e.Series->SetPointColorAt(i, clDefault);
        }
      }
      if (e.Summary && e.Sort) e.Series->OrderByLabels(e.Sort == 1 ? loAscending : loDescending);
    }
  } else {
    if (OnProcessRecord) OnProcessRecord(this, DataSet);
    for (auto& e : list)
      if (dynamic_cast<TDataSource*>(e.Series->DataSource())) AddCurrentRecord(e, false);
  }
  for (auto& e : list) {
    if (!(e.Summary && e.Sort)) e.Series->SortByValueOrder();
    e.Series->NotifyValuesChanged();
  }
}

void TCustomDBChart::AddCurrentRecord(TDBChartSeriesEntry& E, bool SourceIsDataSet) {
  std::string label;
  if (E.DateGroup == 7)
    label = E.LabelField ? E.LabelField->DisplayText() : std::string();
  else if (E.LabelField)
    label = DateGroupLabel(E.LabelField->AsDateTime(), E.DateGroup);
  TColor color = clDefault;
  if (E.Summary)
    color = clDefault;
  else if (E.ColorField)
    color = static_cast<TColor>(E.ColorField->AsInteger());
  else if (E.ValueFieldCount == 1 && E.ValueField && E.ValueField->IsNull())
    color = clNone;
  if (E.ValueFieldCount <= 1) {
    if (!SourceIsDataSet && !E.LabelField) label = E.ValueList->ValueSource();
    AddPoint(E, FieldValue(E.XField), FieldValue(E.ValueField), label, color);
    return;
  }
  TDataSet* d = E.ValueField ? E.ValueField->DataSet() : DataSetBehind(E.Series);
  for (const std::string& name : E.ValueNames) {
    std::string kw, fieldName;
    SplitFieldSource(name, kw, fieldName);
    TField* f = FieldNamed(d, fieldName);
    if (E.Series->XLabelsSource().empty()) label = fieldName;
    AddPoint(E, FieldValue(E.XField), FieldValue(f), label, f && f->IsNull() ? clNone : clDefault);
  }
}

void TCustomDBChart::AddPoint(TDBChartSeriesEntry& E, double X, double Y, const std::string& Label, TColor Color) {
  TChartSeries* s = E.Series;
  if (E.Summary == 0) {
    for (int i = 2; i < s->ValueLists.Count(); ++i) {
      TField* f =
          static_cast<size_t>(i - 2) < E.ExtraFields.size() ? E.ExtraFields[static_cast<size_t>(i - 2)] : nullptr;
      s->ValueLists.GetValueList(i)->PendingValue = FieldValue(f);
    }
    if (s->NotMandatoryList && !s->NotMandatoryList->ValueSource().empty()) {
      if (E.Vertical)
        s->AddXY(X, Y, Label, Color);
      else
        s->AddXY(Y, X, Label, Color);
    } else {
      s->AddY(Y, Label, Color);
    }
    return;
  }
  int found = -1;
  for (int i = 0; i < s->Count(); ++i)
    if (s->LabelAt(i) == Label) {
      found = i;
      break;
    }
  if (found >= 0) {
    const double v = E.ValueList->Value(found);
    switch (E.Summary) {
      case 1:
        E.ValueList->SetValue(found, v + Y);
        break;
      case 2:
        E.ValueList->SetValue(found, v + 1);
        break;
      case 3:
        E.ValueList->SetValue(found, std::max(v, Y));
        break;
      case 4:
        E.ValueList->SetValue(found, std::min(v, Y));
        break;
      case 5:
        E.ValueList->SetValue(found, v + Y);
        ++E.Counts[static_cast<size_t>(found)];
        break;
      default:
        break;
    }
    return;
  }
  const int index = s->AddY(E.Summary == 2 ? 1.0 : Y, Label, clDefault);
  if (index >= 0) {
    if (static_cast<size_t>(index) >= E.Counts.size()) E.Counts.resize(static_cast<size_t>(index) + 1, 0);
    E.Counts[static_cast<size_t>(index)] = 1;
  }
}
