// The dataset-bound chart: summaries and date groups over all records, the current record of a
// data source, sorting, refreshing on dataset changes and on the timer, and the week labels.
#include "chart/series/db_chart.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chart/engine/value_lists.h"
#include "chart/series/bar_series.h"
#include "controls/mem_data.h"
#include "platform/datetime.h"
#include "platform/forms.h"

namespace {

struct Sales {
  TComponent Owner{nullptr};
  TVxMemoryData* Data;
  Sales() {
    Data = new TVxMemoryData(&Owner);
    Data->SetName("Sales");
    Data->FieldDefs()->Add("Date", ftDateTime, 0);
    Data->FieldDefs()->Add("Region", ftString, 10);
    Data->FieldDefs()->Add("Amount", ftFloat, 0);
    Data->FieldDefs()->Add("A", ftFloat, 0);
    Data->FieldDefs()->Add("B", ftFloat, 0);
    Data->FieldDefs()->Add("C", ftFloat, 0);
    Data->Open();
  }
  void Add(int Y, int M, int D, const std::string& Region, double Amount, double A = 0, double B = 0, double C = 0) {
    Data->Append();
    Data->FieldByName("Date")->SetAsDateTime(EncodeDate(Y, M, D));
    Data->FieldByName("Region")->SetAsString(Region);
    Data->FieldByName("Amount")->SetAsFloat(Amount);
    Data->FieldByName("A")->SetAsFloat(A);
    Data->FieldByName("B")->SetAsFloat(B);
    Data->FieldByName("C")->SetAsFloat(C);
    Data->Post();
  }
};

struct Chart {
  TCustomDBChart C{nullptr};
  TBarSeries* Bars(const std::string& Labels, const std::string& Values, TComponent* Source) {
    auto* s = new TBarSeries(nullptr);
    C.AttachSeries(s);
    s->SetXLabelsSource(Labels);
    s->YValues()->SetValueSource(Values);
    s->SetDataSource(Source);
    return s;
  }
};

std::vector<std::pair<std::string, double>> Points(TChartSeries* S) {
  std::vector<std::pair<std::string, double>> out;
  for (int i = 0; i < S->Count(); ++i) out.emplace_back(S->LabelAt(i), S->YValue(i));
  return out;
}

using P = std::vector<std::pair<std::string, double>>;

// "|" stands for the locale's date separator (what "/" in a date format gives).
std::string Sep(std::string S) {
  for (char& c : S)
    if (c == '|') c = DateSeparator;
  return S;
}

TEST(DBChart, MonthlySumsCountsAndAverage) {
  Sales s;
  s.Add(2021, 1, 5, "North", 10);
  s.Add(2021, 2, 1, "South", 7);
  s.Add(2021, 1, 20, "North", 5);
  s.Add(2021, 3, 3, "West", 1);
  Chart c;
  TBarSeries* sums = c.Bars("#MONTH#Date", "#SUM#Amount", s.Data);
  EXPECT_EQ(Points(sums), (P{{Sep("Jan|21"), 15}, {Sep("Feb|21"), 7}, {Sep("Mar|21"), 1}}));
  TBarSeries* counts = c.Bars("#MONTH#Date", "#COUNT#Amount", s.Data);
  EXPECT_EQ(Points(counts), (P{{Sep("Jan|21"), 2}, {Sep("Feb|21"), 1}, {Sep("Mar|21"), 1}}));
  TBarSeries* high = c.Bars("Region", "#HIGH#Amount", s.Data);
  EXPECT_EQ(Points(high), (P{{"North", 10}, {"South", 7}, {"West", 1}}));

  Sales avg;
  for (double v : {2.0, 4.0, 9.0}) avg.Add(2021, 5, 1, "One", v);
  TBarSeries* a = c.Bars("Region", "#AVG#Amount", avg.Data);
  EXPECT_EQ(Points(a), (P{{"One", 5}}));
  EXPECT_EQ(a->StoredColorAt(0), clDefault);
}

TEST(DBChart, SortDescendingWithASummary) {
  Sales s;
  s.Add(2021, 1, 1, "B", 1);
  s.Add(2021, 1, 1, "C", 2);
  s.Add(2021, 1, 1, "A", 3);
  s.Add(2021, 1, 1, "C", 4);
  Chart c;
  TBarSeries* bars = c.Bars("#SORTDES#Region", "#SUM#Amount", s.Data);
  EXPECT_EQ(Points(bars), (P{{"C", 6}, {"B", 1}, {"A", 3}}));
}

TEST(DBChart, DataSourceShowsTheCurrentRecordsFields) {
  Sales s;
  s.Add(2021, 1, 1, "N", 0, 1, 2, 3);
  s.Add(2021, 1, 2, "S", 0, 4, 5, 6);
  s.Data->First();
  TDataSource source(nullptr);
  source.SetDataSet(s.Data);
  Chart c;
  TBarSeries* bars = c.Bars("", "A;B;C", &source);
  EXPECT_EQ(Points(bars), (P{{"A", 1}, {"B", 2}, {"C", 3}}));
  s.Data->Next();  // the chart follows the record
  EXPECT_EQ(Points(bars), (P{{"A", 4}, {"B", 5}, {"C", 6}}));
}

TEST(DBChart, RefillsWhenTheDataSetChanges) {
  Sales s;
  s.Add(2021, 1, 1, "N", 2);
  Chart c;
  TBarSeries* bars = c.Bars("Region", "Amount", s.Data);
  EXPECT_EQ(Points(bars), (P{{"N", 2}}));
  s.Add(2021, 1, 2, "S", 3);  // append and post
  EXPECT_EQ(Points(bars), (P{{"N", 2}, {"S", 3}}));
  s.Data->First();
  s.Data->Edit();
  s.Data->FieldByName("Amount")->SetAsFloat(8);
  s.Data->Post();
  EXPECT_EQ(Points(bars), (P{{"N", 8}, {"S", 3}}));
  s.Data->First();
  s.Data->Delete();
  EXPECT_EQ(Points(bars), (P{{"S", 3}}));
  s.Data->Close();
  EXPECT_EQ(bars->Count(), 0);
  s.Data->Open();
  c.C.RefreshAllData();
  EXPECT_EQ(bars->Count(), s.Data->RecordCount());
  s.Data->Close();
  s.Data->Open();
  s.Data->DisableControls();  // no notices: the chart keeps what it showed
  while (!s.Data->IsEmpty()) s.Data->Delete();
  s.Data->EnableControls();

  // Off: changes leave the series alone.
  c.C.SetRefreshOnChange(false);
  s.Add(2021, 1, 3, "W", 1);
  EXPECT_EQ(bars->Count(), 0);
  c.C.RefreshAllData();
  EXPECT_EQ(Points(bars), (P{{"W", 1}}));
}

TEST(DBChart, RefreshTimerAndItsRange) {
  Chart c;
  EXPECT_THROW(
      {
        try {
          c.C.SetRefreshSeconds(61);
        } catch (const DBChartException& e) {
          EXPECT_EQ(e.Message(), "Refresh Interval must be between 0 and 60");
          throw;
        }
      },
      DBChartException);
  EXPECT_THROW(c.C.SetRefreshSeconds(-1), DBChartException);
  EXPECT_EQ(c.C.RefreshTimer(), nullptr);
  c.C.SetRefreshSeconds(5);
  ASSERT_NE(c.C.RefreshTimer(), nullptr);
  EXPECT_EQ(c.C.RefreshTimer()->Interval(), 5000u);
  EXPECT_TRUE(c.C.RefreshTimer()->Enabled());

  Sales s;
  s.Add(2021, 1, 1, "N", 2);
  TBarSeries* bars = c.Bars("Region", "Amount", s.Data);
  c.C.SetRefreshOnChange(false);
  s.Add(2021, 1, 2, "S", 3);
  EXPECT_EQ(bars->Count(), 1);
  c.C.SetRefreshOnChange(true);
  c.C.RefreshTimerTick();
  EXPECT_EQ(bars->Count(), 2);
  EXPECT_TRUE(c.C.RefreshTimer()->Enabled());
  c.C.SetRefreshSeconds(0);
  EXPECT_FALSE(c.C.RefreshTimer()->Enabled());
}

TEST(DBChart, SeriesOfAnotherChartAndUnknownFields) {
  Chart mine, other;
  auto* s = new TBarSeries(nullptr);
  other.C.AttachSeries(s);
  EXPECT_THROW(mine.C.RefreshSeriesData(s), ChartException);
  Sales sales;
  sales.Add(2021, 1, 1, "N", 2);
  EXPECT_THROW(mine.Bars("Region", "Missing", sales.Data), EDatabaseError);
  EXPECT_FALSE(mine.C.Refreshing());
}

TEST(DBChart, ProcessRecordSeesEveryRecordAndAnAbortStopsQuietly) {
  Sales s;
  for (int i = 1; i <= 5; ++i) s.Add(2021, 1, i, "R" + std::to_string(i), i);
  s.Data->Locate("Region", Variant(std::string("R3")), {});
  Chart c;
  std::vector<double> seen;
  c.C.OnProcessRecord = [&](TCustomDBChart* Sender, TDataSet* D) {
    EXPECT_EQ(Sender, &c.C);
    seen.push_back(D->FieldByName("Amount")->AsFloat());
    if (seen.size() == 4) throw EAbort("");
  };
  TBarSeries* bars = c.Bars("Region", "Amount", s.Data);
  EXPECT_EQ(seen, (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(bars->Count(), 3);                                 // the fourth record was stopped before it was added
  EXPECT_EQ(s.Data->FieldByName("Region")->AsString(), "R3");  // back at the bookmark
  std::vector<std::string> names;
  c.C.FillSeriesSourceItems(bars, [&](const std::string& N) { names.push_back(N); });
  EXPECT_EQ(names, (std::vector<std::string>{"Date", "Region", "Amount", "A", "B", "C"}));
}

TEST(DBChart, DateGroupLabels) {
  // "|" stands for the date separator; the week and quarter labels join with a plain "/".
  struct Case {
    int Group;
    std::string Text;
  };
  const double d = EncodeDate(2021, 1, 1) + 13.5 / 24;  // a Friday, 13:30
  for (const Case& c : {Case{0, "01 13:30"}, Case{1, "01|Jan"}, Case{2, "53/2020"}, Case{3, "Fri"}, Case{4, "Jan|21"},
                        Case{5, "1/2021"}, Case{6, "2021"}})
    EXPECT_EQ(DateGroupLabel(d, c.Group), Sep(c.Text)) << c.Group;
  EXPECT_EQ(DateGroupLabel(EncodeDate(2021, 1, 4), 2), "1/2021");     // a Monday
  EXPECT_EQ(DateGroupLabel(EncodeDate(2020, 12, 31), 2), "53/2020");  // a Thursday
  EXPECT_EQ(DateGroupLabel(EncodeDate(2021, 8, 15), 5), "3/2021");
  std::string kw, name;
  SplitFieldSource("#sum#Amount", kw, name);
  EXPECT_EQ(kw, "SUM");
  EXPECT_EQ(name, "Amount");
  SplitFieldSource("Amount", kw, name);
  EXPECT_EQ(kw, "");
  EXPECT_EQ(name, "Amount");
}

}  // namespace
