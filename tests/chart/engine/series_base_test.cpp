// The series base without a chart: points with their events, colours and labels, deleting,
// sorting, dependents and functions, marks texts and the streamed points.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "chart/engine/chart_errors.h"
#include "chart/engine/graph_function.h"
#include "chart/engine/series_helpers.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/tool_base.h"
#include "platform/streaming.h"
#include "platform/streams.h"
#include "platform/strings.h"

// A series type for the tests: records the points it is asked to draw and its rebuilds.
class TTestSeries : public TChartSeries {
  VM_CLASS(TTestSeries, TChartSeries)
public:
  explicit TTestSeries(TComponent* AOwner) : TChartSeries(AOwner) {}
  void DrawOneValue(int32_t ValueIndex) override { Drawn.push_back(ValueIndex); }
  void RecalcFromSource(TChartSeries* Source) override {
    ++Rebuilds;
    TChartSeries::RecalcFromSource(Source);
  }
  std::vector<int> Drawn;
  int Rebuilds = 0;
};
VM_DEFINE_CLASS(TTestSeries)

// A series type with a third value list named "End".
class TRangeTestSeries : public TTestSeries {
  VM_CLASS(TRangeTestSeries, TTestSeries)
public:
  explicit TRangeTestSeries(TComponent* AOwner) : TTestSeries(AOwner) { EndValues = new TChartValueList(this, "End"); }
  int AddRange(double X, double Y, double End) {
    EndValues->PendingValue = End;
    return AddPoint(X, Y);
  }
  TChartValueList* EndValues;
};
VM_DEFINE_CLASS(TRangeTestSeries)

// The average of a window of source values.
class TTestAverage : public TGraphMovingFunction {
  VM_CLASS(TTestAverage, TGraphMovingFunction)
public:
  explicit TTestAverage(TComponent* AOwner) : TGraphMovingFunction(AOwner) {}
  double ComputeValue(TChartSeries* Source, int32_t First, int32_t Last) override {
    if (First < 0) {
      First = 0;
      Last = Source->PointCount() - 1;
    }
    double s = 0;
    for (int i = First; i <= Last; ++i) s += Source->YValueAt(i);
    return s / (Last - First + 1);
  }
};
VM_DEFINE_CLASS(TTestAverage)

namespace {

std::vector<double> Xs(const TChartSeries& S) {
  std::vector<double> v;
  for (int i = 0; i < S.PointCount(); ++i) v.push_back(S.XValueAt(i));
  return v;
}
std::vector<double> Ys(const TChartSeries& S) {
  std::vector<double> v;
  for (int i = 0; i < S.PointCount(); ++i) v.push_back(S.YValueAt(i));
  return v;
}

class SeriesBase : public ::testing::Test {
protected:
  TComponent Owner{nullptr};
  TTestSeries* A = new TTestSeries(&Owner);
  TTestSeries* B = new TTestSeries(&Owner);
};

}  // namespace

TEST_F(SeriesBase, PointsGoInPositionOrderWithTheirValuesAndLabels) {
  EXPECT_EQ(A->AddXY(5, 50, "five"), 0);
  EXPECT_EQ(A->AddXY(1, 10, "one"), 0);
  EXPECT_EQ(A->AddXY(3, 30), 1);
  EXPECT_EQ(Xs(*A), (std::vector<double>{1, 3, 5}));
  EXPECT_EQ(Ys(*A), (std::vector<double>{10, 30, 50}));
  EXPECT_EQ(A->LabelAt(0), "one");
  EXPECT_EQ(A->LabelAt(1), "");
  EXPECT_EQ(A->LabelAt(2), "five");
  // Values without positions take the next position; a horizontal series swaps the roles.
  EXPECT_EQ(B->AddY(7), 0);
  EXPECT_EQ(B->AddY(8), 1);
  EXPECT_EQ(Xs(*B), (std::vector<double>{0, 1}));
  TTestSeries h(nullptr);
  h.SetHorizontalLayout();
  h.AddValue(7);
  EXPECT_EQ(h.XValueAt(0), 7);
  EXPECT_EQ(h.YValueAt(0), 0);
  EXPECT_EQ(h.MainValueAt(0), 7);
}

TEST_F(SeriesBase, AddEventsAndBatchUpdates) {
  std::vector<int> after;
  A->OnAfterAdd = [&](TChartSeries*, int i) { after.push_back(i); };
  bool allow = false;
  A->OnBeforeAdd = [&](TChartSeries*) { return allow; };
  EXPECT_EQ(A->AddXY(1, 1), -1);
  EXPECT_EQ(A->PointCount(), 0);
  EXPECT_TRUE(after.empty());
  allow = true;
  EXPECT_EQ(A->AddXY(1, 1), 0);
  EXPECT_EQ(after, (std::vector<int>{0}));
  // Inside an update nothing fires per point; the dependents get one rebuild at the end.
  B->AddDataSourceInternal(A);
  B->Rebuilds = 0;
  A->BeginUpdate();
  A->BeginUpdate();
  for (int i = 2; i < 5; ++i) A->AddXY(i, i);
  A->EndUpdate();
  EXPECT_EQ(B->Rebuilds, 0);
  A->EndUpdate();
  A->EndUpdate();  // one too many: nothing
  EXPECT_EQ(after.size(), 1u);
  EXPECT_EQ(B->Rebuilds, 1);
  EXPECT_EQ(Xs(*B), Xs(*A));
}

TEST_F(SeriesBase, NullPointsAndColours) {
  A->AddXY(0, 1);
  EXPECT_FALSE(A->PointColors);  // no colour given: no list
  A->AddNullValue("gap");
  ASSERT_TRUE(A->PointColors);
  EXPECT_TRUE(A->IsNullPoint(1));
  EXPECT_EQ(A->PointColorAt(1), clNone);
  EXPECT_EQ(A->StoredColorAt(0), clDefault);
  A->SetSeriesColor(clRed);
  EXPECT_EQ(A->PointColorAt(0), clRed);
  A->SetColorEachPoint(true);
  EXPECT_EQ(A->PointColorAt(0), GetDefaultColor(0));
  A->SetPointColorAt(0, clBlue);
  EXPECT_EQ(A->PointColorAt(0), clBlue);
  EXPECT_EQ(A->StoredColorAt(99), clDefault);
  // The automatic colour shows while none is set; setting it as the series colour changes nothing.
  B->SetAutoColor(clGreen);
  EXPECT_EQ(B->ColorSetting, clDefault);
  EXPECT_EQ(B->SeriesColor(), clGreen);
  TTestSeries c(nullptr);
  c.AutoColor = clLime;
  c.SetSeriesColor(clLime);
  EXPECT_EQ(c.ColorSetting, clDefault);
  EXPECT_EQ(c.SeriesColor(), clLime);
}

TEST_F(SeriesBase, DeletingPointsAndTheirErrors) {
  for (int i = 0; i < 10; ++i) A->AddXY(i, i * 10, i == 4 ? "four" : "", i == 5 ? clRed : clDefault);
  try {
    A->Delete(10);
    ADD_FAILURE();
  } catch (const ChartException& e) {
    EXPECT_EQ(e.Message(), "Series Delete: ValueIndex 10 out of bounds (0 to 9).");
  }
  A->Delete(0);
  EXPECT_EQ(A->LabelAt(3), "four");
  EXPECT_EQ(A->StoredColorAt(4), clRed);
  EXPECT_THROW(A->DeleteRange(0, 0), EAssertionFailed);
  EXPECT_THROW(A->DeleteRange(5, 5), EAssertionFailed);
  EXPECT_EQ(A->PointCount(), 9);
  // Three points from index 2, positions renumbered.
  A->DeleteRange(2, 3, true);
  EXPECT_EQ(Xs(*A), (std::vector<double>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(Ys(*A), (std::vector<double>{10, 20, 60, 70, 80, 90}));
  EXPECT_EQ(A->LabelAt(2), "");
  while (A->PointCount() > 0) A->Delete(A->PointCount() - 1);
  for (int i = 0; i < A->ValueLists.Count(); ++i) EXPECT_EQ(A->ValueLists[i]->Count(), 0);
  EXPECT_THROW(A->XValueAt(0), ERangeError);
}

TEST_F(SeriesBase, ClearingFiresOnceEvenWhenEmpty) {
  int cleared = 0;
  A->OnClearValues = [&](TChartSeries*) { ++cleared; };
  B->AddDataSourceInternal(A);
  B->AddXY(1, 1);
  A->ClearValues();
  EXPECT_EQ(cleared, 1);
  EXPECT_EQ(B->PointCount(), 0);  // the dependent followed the clear
  A->AddXY(1, 1);
  A->ClearValues();
  EXPECT_EQ(cleared, 2);
  EXPECT_EQ(A->FirstValueIndex, -1);
}

TEST_F(SeriesBase, ValueListsByName) {
  EXPECT_EQ(A->ValueListByName("anything"), A->YValues());
  TRangeTestSeries r(nullptr);
  EXPECT_EQ(r.ValueListByName("END"), r.EndValues);
  EXPECT_EQ(r.ValueListByName("Start"), r.YValues());
  r.AddRange(2, 1, 9);
  r.AddRange(1, 3, 8);
  EXPECT_EQ(r.EndValues->GetValue(0), 8);
  EXPECT_EQ(r.EndValues->GetValue(1), 9);
}

TEST_F(SeriesBase, SortingMovesWholePoints) {
  A->YValues()->SetOrder(loDescending);
  A->AddXY(0, 1, "a", clRed);
  A->AddXY(1, 3, "b");
  A->AddXY(2, 2, "c");
  A->SortByValueOrder();
  EXPECT_EQ(Ys(*A), (std::vector<double>{3, 2, 1}));
  EXPECT_EQ(Xs(*A), (std::vector<double>{0, 1, 2}));
  EXPECT_EQ(A->LabelAt(0), "b");
  EXPECT_EQ(A->LabelAt(2), "a");
  EXPECT_EQ(A->StoredColorAt(2), clRed);
  B->AddXY(0, 0, "B");
  B->AddXY(1, 1, "A");
  B->AddXY(2, 2, "C");
  B->OrderByLabels(loDescending);
  EXPECT_EQ(B->LabelAt(0), "C");
  EXPECT_EQ(B->LabelAt(2), "A");
  EXPECT_EQ(Ys(*B), (std::vector<double>{2, 0, 1}));
  EXPECT_EQ(Xs(*B), (std::vector<double>{0, 1, 2}));
}

TEST_F(SeriesBase, DependentsFollowAdditionsDeletionsAndChanges) {
  B->AddDataSourceInternal(A);
  A->AddXY(1, 10, "p", clRed);
  A->AddXY(2, 20);
  EXPECT_EQ(Ys(*B), (std::vector<double>{10, 20}));
  EXPECT_EQ(B->LabelAt(0), "p");
  EXPECT_EQ(B->StoredColorAt(0), clRed);
  A->Delete(0);
  EXPECT_EQ(Ys(*B), (std::vector<double>{20}));
  B->Rebuilds = 0;
  A->YValues()->SetValue(0, 25);
  EXPECT_EQ(B->Rebuilds, 1);
  EXPECT_EQ(Ys(*B), (std::vector<double>{25}));
  // A range deletion reaches a dependent as "several points": it follows the source.
  A->AddXY(3, 30);
  A->AddXY(4, 40);
  A->DeleteRange(0, 2);
  EXPECT_EQ(Ys(*B), (std::vector<double>{40}));
  // Not following additions.
  B->SetFollowedSourceChanges({fscDelete, fscModify, fscClear});
  A->AddXY(5, 50);
  EXPECT_EQ(B->PointCount(), 1);
  // Losing the source clears points that are not its own.
  B->DataSources->Clear();
  EXPECT_EQ(B->PointCount(), 0);
  EXPECT_EQ(A->DependentSeries->Count(), 0);
  // A freed source is forgotten by its dependents.
  B->AddDataSourceInternal(A);
  delete A;
  A = nullptr;
  EXPECT_EQ(B->DataSources->Count(), 0);
}

TEST_F(SeriesBase, DataSourcesNeedAChart) {
  try {
    B->SetDataSource(A);
    ADD_FAILURE();
  } catch (const ChartException& e) {
    EXPECT_EQ(e.Message(), "No ParentChart to validate DataSource");
  }
  EXPECT_EQ(B->DataSources->Count(), 0);
}

TEST_F(SeriesBase, MovingFunctionRecomputesOncePerChange) {
  auto* f = new TTestAverage(&Owner);
  f->SetPeriod(3);
  B->AttachFunction(f);
  EXPECT_EQ(f->ParentSeries, B);
  B->AddDataSourceInternal(A);
  A->BeginUpdate();
  for (int i = 0; i < 5; ++i) A->AddXY(i, i * 3);
  B->Rebuilds = 0;
  A->EndUpdate();
  EXPECT_EQ(B->Rebuilds, 1);
  // Windows of three ending at points 2, 3 and 4.
  EXPECT_EQ(Xs(*B), (std::vector<double>{2, 3, 4}));
  EXPECT_EQ(Ys(*B), (std::vector<double>{3, 6, 9}));
  A->YValues()->SetValue(4, 0);
  EXPECT_EQ(B->Rebuilds, 2);
  EXPECT_EQ(Ys(*B), (std::vector<double>{3, 6, 5}));
  // A single addition does not rebuild a function's series.
  A->AddXY(5, 15);
  EXPECT_EQ(B->Rebuilds, 2);
  try {
    f->SetPeriod(-1);
    ADD_FAILURE();
  } catch (const ChartException& e) {
    EXPECT_EQ(e.Message(), "Function Period should be >= 0");
  }
  EXPECT_EQ(f->Period(), 3);
}

TEST_F(SeriesBase, FunctionPeriodsAndWholeResults) {
  using enum TFunctionPeriodAlign;
  struct Case {
    double Period;
    TFunctionPeriodAlign Align;
    bool WholeAsPoint;
    std::vector<double> X;
  };
  const std::vector<Case> cases = {
      {0, paCenter, true, {2}},   {0, paCenter, false, {0, 4}}, {2, paCenter, true, {0.5, 2.5}},
      {2, paFirst, true, {0, 2}}, {2, paLast, true, {1, 3}},
  };
  for (const Case& c : cases) {
    TTestSeries src(nullptr), dst(nullptr);
    for (int i = 0; i < 5; ++i) src.AddXY(i, i);
    auto* f = new TGraphFunction(nullptr);
    f->InternalSetPeriod(c.Period);
    f->SetPeriodAlign(c.Align);
    dst.WholeResultAsPoint = c.WholeAsPoint;
    dst.AttachFunction(f);
    dst.RecalcFromSource(&src);
    EXPECT_EQ(Xs(dst), c.X) << c.Period << " " << static_cast<int>(c.Align);
  }
  // Range periods: an empty period gives a zero result.
  TTestSeries src(nullptr), dst(nullptr);
  for (double x : {0.0, 5.0, 25.0}) src.AddXY(x, 1);
  auto* f = new TGraphFunction(nullptr);
  f->InternalSetPeriod(10);
  f->SetPeriodStyle(psRange);
  f->SetPeriodAlign(paLast);
  dst.AttachFunction(f);
  dst.RecalcFromSource(&src);
  ASSERT_EQ(dst.PointCount(), 3);
  EXPECT_DOUBLE_EQ(dst.XValueAt(0), 9.99);
  EXPECT_DOUBLE_EQ(dst.XValueAt(1), 19.99);
  EXPECT_DOUBLE_EQ(dst.XValueAt(2), 29.99);
}

TEST_F(SeriesBase, MarkTextsByStyle) {
  A->AddXY(0, 2.5);
  A->AddXY(1, -5, "L");
  A->AddXY(2, 12.5);
  TSeriesMarks* m = A->Marks();
  struct Case {
    TSeriesMarksStyle Style;
    bool Multi;
    int Index;
    std::string Text;
  };
  const std::vector<Case> cases = {
      {smsLabelValue, false, 0, "2.5 2.5"},
      {smsValue, false, 1, "-5"},
      {smsLabel, false, 1, "L"},
      {smsPercent, false, 1, "25 %"},
      {smsLabelPercent, true, 1, "L\r25 %"},
      {smsPercentTotal, true, 1, "25 %\rof 20"},
      {smsPercentTotal, false, 0, "12.5 % of 20"},
      {smsXValue, false, 2, "2"},
      {smsXY, false, 2, "2 12.5"},
  };
  for (const Case& c : cases) {
    m->SetStyle(c.Style);
    m->SetMultiLine(c.Multi);
    EXPECT_EQ(A->GetMarkText(c.Index), c.Text) << c.Style;
  }
  // An item with its own two lines.
  m->Items.GetItem(0)->Text()->Add("a");
  m->Items.GetItem(0)->Text()->Add("b");
  EXPECT_EQ(A->GetMarkText(0), "a\r\nb");
  A->OnGetMarkText = [](TChartSeries*, int, std::string& t) { t += "!"; };
  EXPECT_EQ(A->GetMarkText(0), "a\r\nb!");
  // A total of 0 shows 100 %.
  B->AddXY(0, 0);
  B->Marks()->SetStyle(smsPercent);
  EXPECT_EQ(B->GetMarkText(0), "100 %");
}

TEST_F(SeriesBase, LegendTexts) {
  A->AddXY(0, 5, "A");
  A->AddXY(1, 15);
  std::string t;
  A->FormatLegendText(0, ltsRightPercent, t);
  EXPECT_EQ(t, std::string("A") + LegendColumnSeparator + "25 %");
  A->FormatLegendText(1, ltsLeftValue, t);
  EXPECT_EQ(t, "15");
  A->FormatLegendText(0, ltsPlain, t);
  EXPECT_EQ(t, "A");
  A->FormatLegendText(1, ltsXAndValue, t);
  EXPECT_EQ(t, std::string("1") + LegendColumnSeparator + "15");
}

TEST_F(SeriesBase, SampleValues) {
  A->FillSampleValues();
  EXPECT_EQ(A->PointCount(), 25);
  EXPECT_EQ(A->XValueAt(24), 24);
  for (int i = 0; i < 25; ++i) EXPECT_GE(A->YValueAt(i), 0);
  EXPECT_FALSE(A->DataIsOwn);
  A->SampleCount = 40;
  A->FillSampleValues(0);
  EXPECT_EQ(A->PointCount(), 40);
  A->FillSampleValues(10);
  EXPECT_EQ(A->PointCount(), 10);
  try {
    A->FillSampleValues(-1);
    ADD_FAILURE();
  } catch (const ChartException& e) {
    EXPECT_EQ(e.Message(), "FillSampleValues NumValues must be > 0");
  }
  EXPECT_EQ(A->PointCount(), 10);
}

// ---------------------------------------------------------------------------------------------
// Streaming

namespace {

std::string DataBytes(TChartSeries& S) {
  TMemoryStream m;
  S.WriteData(m);
  m.SetPosition(0);
  return m.ReadAll();
}

}  // namespace

TEST_F(SeriesBase, DataFlagsAndRecords) {
  for (int i = 0; i < 3; ++i) A->AddY(i);
  EXPECT_EQ(GetSeriesDataFlags(A), 0);
  std::string d = DataBytes(*A);
  ASSERT_EQ(d.size(), 1u + 4 + 3 * 8);
  EXPECT_EQ(d[0], 0);
  int32_t n;
  std::memcpy(&n, d.data() + 1, 4);
  EXPECT_EQ(n, 3);
  // Positions 0, 1, 5 and a label of three characters.
  B->AddXY(0, 1);
  B->AddXY(1, 2, "abc");
  B->AddXY(5, 3);
  EXPECT_EQ(GetSeriesDataFlags(B), 1 | 4);
  d = DataBytes(*B);
  // flags, count, then position, value, label per point
  EXPECT_EQ(d.size(), 1u + 4 + 3 * 16 + 3 + 3);
  EXPECT_EQ(d.substr(1 + 4 + 16 + 1 + 16, 4), std::string("\x03"
                                                          "abc"));
  // Read back equal.
  TTestSeries c(nullptr);
  TMemoryStream m;
  B->WriteData(m);
  m.SetPosition(0);
  c.ReadData(m);
  EXPECT_EQ(Xs(c), Xs(*B));
  EXPECT_EQ(Ys(c), Ys(*B));
  EXPECT_EQ(c.LabelAt(1), "abc");
  EXPECT_TRUE(c.DataIsOwn);
  // A horizontal series stores its values; positions 0..N-1 are left out.
  TTestSeries h(nullptr), h2(nullptr);
  h.SetHorizontalLayout();
  h2.SetHorizontalLayout();
  h.AddValue(7);
  h.AddValue(9);
  EXPECT_EQ(GetSeriesDataFlags(&h), 0);
  TMemoryStream hm;
  h.WriteData(hm);
  hm.SetPosition(0);
  h2.ReadData(hm);
  EXPECT_EQ(Xs(h2), (std::vector<double>{7, 9}));
  EXPECT_EQ(Ys(h2), (std::vector<double>{0, 1}));
}

TEST_F(SeriesBase, DamagedDataIsARecognisedReadError) {
  B->AddXY(0, 1);
  B->AddXY(3, 2);
  std::string d = DataBytes(*B);
  for (size_t cut : {size_t{0}, size_t{3}, d.size() - 1}) {
    TMemoryStream m;
    m.WriteString(d.substr(0, cut));
    m.SetPosition(0);
    TTestSeries c(nullptr);
    EXPECT_THROW(c.ReadData(m), EReadError) << cut;
    EXPECT_EQ(c.UpdateCount, 0);
  }
  // A count far beyond what the stream holds is refused before anything is allocated.
  std::string huge = d;
  const int32_t n = 0x7FFFFFF0;
  std::memcpy(huge.data() + 1, &n, 4);
  TMemoryStream m;
  m.WriteString(huge);
  m.SetPosition(0);
  TTestSeries c(nullptr);
  EXPECT_THROW(c.ReadData(m), EReadError);
}

TEST_F(SeriesBase, StreamsOnlyWhatDiffersAndReadsBackEqual) {
  RegisterClasses({TTestSeries::StaticClass()});
  A->SetName("Series1");
  A->SetTitle("Rho");
  A->SetDepth(7);
  A->Marks()->SetVisible(true);
  A->Marks()->SetStyle(smsValue);
  A->YValues()->SetOrder(loAscending);
  A->SetSeriesStyle(0x12);
  A->SetIdentifier("id1");
  A->AddXY(1, 10, "x");
  A->AddXY(2.5, 20, "", clRed);
  const std::string text = ComponentToText(A);
  for (const char* absent :
       {"ShowInLegend", "ColorEachPoint", "ValueFormat", "PercentFormat", "HorizAxis", "Cursor", "Callout"})
    EXPECT_EQ(text.find(absent), std::string::npos) << absent << "\n" << text;
  for (const char* present : {"Title = 'Rho'", "Depth = 7", "Data = {", "Identifier", "Style = 18"})
    EXPECT_NE(text.find(present), std::string::npos) << present << "\n" << text;
  // Binary form.
  TMemoryStream m;
  WriteComponentToStream(m, A);
  m.SetPosition(0);
  char sig[4];
  m.ReadBuffer(sig, 4);
  EXPECT_EQ(std::string(sig, 4), "TPF0");
  m.SetPosition(0);
  TTestSeries* r = new TTestSeries(&Owner);
  ReadComponentFromStream(m, r);
  EXPECT_EQ(r->Title(), "Rho");
  EXPECT_EQ(r->Depth(), 7);
  EXPECT_TRUE(r->Marks()->Visible());
  EXPECT_EQ(r->Marks()->Style(), smsValue);
  EXPECT_EQ(r->YValues()->Order(), loAscending);
  EXPECT_EQ(r->SeriesStyle(), 0x12);
  EXPECT_EQ(r->Identifier(), "id1");
  EXPECT_EQ(Xs(*r), Xs(*A));
  EXPECT_EQ(Ys(*r), Ys(*A));
  EXPECT_EQ(r->LabelAt(0), "x");
  EXPECT_EQ(r->StoredColorAt(1), clRed);
  // Text form back.
  TTestSeries* t = new TTestSeries(&Owner);
  TextToComponent(text, t);
  EXPECT_EQ(Xs(*t), Xs(*A));
  EXPECT_EQ(t->Title(), "Rho");
  // Sample points are not stored.
  B->FillSampleValues(5);
  EXPECT_EQ(ComponentToText(B).find("Data"), std::string::npos);
  UnRegisterClasses({TTestSeries::StaticClass()});
}

TEST_F(SeriesBase, AssignCopiesSettingsPointsAndMovesTheFunction) {
  A->SetTitle("T");
  A->SetValueFormat("0.0");
  A->AddXY(1, 2, "l", clRed);
  auto* f = new TTestAverage(&Owner);
  A->AttachFunction(f);
  A->AddXY(2, 3);
  B->Assign(A);
  EXPECT_EQ(B->Title(), "T");
  EXPECT_EQ(B->ValueFormat(), "0.0");
  EXPECT_EQ(B->FunctionObject(), f);
  EXPECT_EQ(A->FunctionObject(), nullptr);
  EXPECT_EQ(f->ParentSeries, B);
}

TEST(SeriesGroup, ActiveStateOfItsSeries) {
  TComponent owner(nullptr);
  TChartSeriesList list(&owner);
  TSeriesGroup* g = list.NewGroup("G");
  EXPECT_EQ(g->GetActive(), gaYes);
  TTestSeries a(&owner), b(&owner), c(&owner);
  b.SetActive(false);
  c.SetActive(false);
  TCustomSeriesList members;
  members.Add(&a);
  members.Add(&b);
  members.Add(&c);
  g->SetSeries(&members);
  EXPECT_EQ(g->GetActive(), gaSome);
  g->SetActive(gaSome);
  EXPECT_TRUE(a.Active());
  g->SetActive(gaNo);
  EXPECT_EQ(g->GetActive(), gaNo);
  EXPECT_FALSE(a.Active());
  TSeriesGroup* g2 = list.NewGroup("H");
  g2->Series()->Add(&b);
  EXPECT_EQ(list.Groups->IndexOfSeries(&b), 0);
  EXPECT_EQ(list.Groups->IndexOfSeries(&a), 0);
  TSeriesGroup* g3 = list.NewGroup("I");
  TTestSeries d(&owner);
  g3->Series()->Add(&d);
  g2->Series()->Add(&d);
  EXPECT_EQ(list.Groups->IndexOfSeries(&d), 1);
}
