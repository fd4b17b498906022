// Series on a chart: data sources and their refusals, colours from the chart's palette, the
// visible range, marks drawn by the chart, and charts stored with their series.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/engine/chart.h"
#include "chart/engine/chart_errors.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/graph_effects.h"
#include "chart/engine/series_helpers.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/testkit/recording_canvas.h"
#include "platform/bitmap.h"
#include "platform/streaming.h"
#include "platform/streams.h"

// A series that marks each point with a small square, for streams and drawing.
class TDotSeries : public TChartSeries {
  VM_CLASS(TDotSeries, TChartSeries)
public:
  explicit TDotSeries(TComponent* AOwner) : TChartSeries(AOwner) {}
  void DrawOneValue(int32_t ValueIndex) override {
    ++DrawnPoints;
    const int x = ScreenXAt(ValueIndex), y = ScreenYAt(ValueIndex);
    ParentChart()->Canvas->Rectangle(x - 1, y - 1, x + 2, y + 2);
  }
  int DrawnPoints = 0;
};
VM_DEFINE_CLASS(TDotSeries)

namespace {

struct ChartWithSeries : public ::testing::Test {
  void SetUp() override {
    RegisterClasses({TDotSeries::StaticClass(), TChart::StaticClass()});
    Rec = new TRecordingCanvas(400, 300);
    Chart.AdoptCanvas(std::unique_ptr<TGraphCanvas3D>(Rec));
    Chart.SetBounds(0, 0, 400, 300);
    Chart.SetView3D(false);
    A = new TDotSeries(&Chart);
    A->SetName("A");
    B = new TDotSeries(&Chart);
    B->SetName("B");
    A->SetParentChart(&Chart);
    B->SetParentChart(&Chart);
  }
  void TearDown() override { UnRegisterClasses({TDotSeries::StaticClass()}); }
  std::string ErrorOf(const std::function<void()>& F) {
    try {
      F();
    } catch (const ChartException& e) {
      return e.Message();
    }
    return "";
  }
  TChart Chart{nullptr};
  TRecordingCanvas* Rec = nullptr;
  TDotSeries* A = nullptr;
  TDotSeries* B = nullptr;
};

}  // namespace

TEST_F(ChartWithSeries, SeriesJoinTheChartWithTheirOwnColours) {
  ASSERT_EQ(Chart.CountSeries(), 2);
  EXPECT_NE(A->SeriesColor(), clDefault);
  EXPECT_NE(A->SeriesColor(), B->SeriesColor());
  EXPECT_EQ(A->GetHorizAxis(), Chart.BottomAxis());
  EXPECT_EQ(B->GetVertAxis(), Chart.LeftAxis());
  B->SetVertAxis(aRightAxis);
  EXPECT_EQ(B->GetVertAxis(), Chart.RightAxis());
  for (int i = 0; i < 4; ++i) A->AddXY(i, i);
  A->SetColorEachPoint(true);
  EXPECT_EQ(A->PointColorAt(2), Chart.GetPaletteColor(2));
  std::string title;
  TDotSeries unnamed(nullptr);
  unnamed.SetParentChart(&Chart);
  SeriesDisplayTitle(&unnamed, title);
  EXPECT_EQ(title, "Series 3");
  unnamed.SetParentChart(nullptr);
  EXPECT_EQ(Chart.CountSeries(), 2);
}

TEST_F(ChartWithSeries, DataSourcesAreCheckedByTheChart) {
  for (int i = 0; i < 3; ++i) A->AddXY(i, i * 2, "", i == 1 ? clRed : clDefault);
  B->SetDataSource(A);
  EXPECT_EQ(B->DataSource(), A);
  EXPECT_EQ(B->PointCount(), 3);
  EXPECT_EQ(B->StoredColorAt(1), clRed);
  EXPECT_FALSE(B->DataIsOwn);
  B->SetDataSource(A);  // the same again: once
  EXPECT_EQ(B->DataSources->Count(), 1);
  A->AddXY(3, 6);
  EXPECT_EQ(B->PointCount(), 4);
  EXPECT_EQ(ErrorOf([&] { A->SetDataSource(B); }), "Circular Series dependences are not allowed");
  EXPECT_EQ(A->DataSources->Count(), 0);
  EXPECT_EQ(ErrorOf([&] { A->SetDataSource(A); }), "No valid DataSource: A");
  TComponent stranger(nullptr);
  stranger.SetName("Stranger");
  EXPECT_EQ(ErrorOf([&] { B->SetDataSource(&stranger); }), "No valid DataSource: Stranger");
  EXPECT_EQ(B->DataSource(), A);
  B->SetDataSource(nullptr);
  EXPECT_EQ(B->DataSources->Count(), 0);
  EXPECT_EQ(B->PointCount(), 0);
}

TEST_F(ChartWithSeries, VisibleRangeFollowsTheBottomAxis) {
  for (int i = 0; i < 10; ++i) A->AddXY(i, i);
  Chart.BottomAxis()->SetMinimumMaximum(2.5, 6.5);
  Chart.LeftAxis()->SetMinimumMaximum(0, 10);
  Chart.Draw(Rec->Handle(), TRect(0, 0, 400, 300));
  A->FindVisibleRange();
  EXPECT_EQ(A->FirstValueIndex, 3);
  EXPECT_EQ(A->LastValueIndex, 6);
  A->KeepPointBeyondEnd = true;
  A->FindVisibleRange();
  EXPECT_EQ(A->LastValueIndex, 7);
  A->KeepPointBeyondEnd = false;
  Chart.BottomAxis()->SetMinimumMaximum(20, 30);
  Chart.Draw(Rec->Handle(), TRect(0, 0, 400, 300));
  A->FindVisibleRange();
  EXPECT_EQ(A->FirstValueIndex, -1);
  EXPECT_EQ(A->LastValueIndex, -1);
}

TEST_F(ChartWithSeries, MarksAreDrawnForEveryNthPointButNotForNullPoints) {
  for (int i = 0; i <= 10; ++i) {
    if (i == 6)
      A->AddNullPoint(i, i);
    else
      A->AddXY(i, i);
  }
  Chart.BottomAxis()->SetMinimumMaximum(1.5, 10.5);
  Chart.LeftAxis()->SetMinimumMaximum(0, 12);
  A->Marks()->SetVisible(true);
  A->Marks()->SetStyle(smsValue);
  A->Marks()->SetDrawEvery(3);
  Chart.Draw(Rec->Handle(), TRect(0, 0, 400, 300));
  std::vector<std::string> texts;
  for (const std::string& c : Rec->CallsOf("TextOut"))
    for (const char* t : {"\"3\"", "\"6\"", "\"9\""})
      if (c.find(t) != std::string::npos) texts.push_back(t);
  EXPECT_EQ(texts, (std::vector<std::string>{"\"3\"", "\"9\""}));
  EXPECT_NE(A->Marks()->Positions.GetPosition(3), nullptr);
  EXPECT_EQ(A->Marks()->Positions.GetPosition(6), nullptr);
  EXPECT_EQ(A->Marks()->Positions.GetPosition(4), nullptr);
}

TEST_F(ChartWithSeries, ChartsStoreTheirSeriesAndSurviveDamagedOnes) {
  A->SetTitle("first");
  A->AddXY(1, 2);
  A->AddXY(2, 3);
  B->SetTitle("second");
  B->AddXY(5, 6);
  TMemoryStream m;
  WriteComponentToStream(m, &Chart);
  m.SetPosition(0);
  TChart copy(nullptr);
  ReadComponentFromStream(m, &copy);
  ASSERT_EQ(copy.CountSeries(), 2);
  EXPECT_EQ(copy.SeriesAt(0)->Title(), "first");
  EXPECT_EQ(copy.SeriesAt(0)->PointCount(), 2);
  EXPECT_EQ(copy.SeriesAt(1)->YValueAt(0), 6);
  EXPECT_EQ(copy.SeriesAt(0)->ParentChart(), &copy);

  // An unknown class: the reader says so; with errors handled the other series are read.
  std::string text = ComponentToText(&Chart);
  const size_t at = text.find("TDotSeries");
  ASSERT_NE(at, std::string::npos);
  std::string unknown = text;
  unknown.replace(at, 10, "TGoneSeries");
  TChart strict(nullptr);
  try {
    TextToComponent(unknown, &strict);
    ADD_FAILURE();
  } catch (const EStreamError& e) {
    EXPECT_EQ(e.Message(), "Class TGoneSeries not found");
  }
  TMemoryStream bin;
  {
    TMemoryStream t;
    t.WriteString(unknown);
    t.SetPosition(0);
    ObjectTextToBinary(t, bin);
  }
  bin.SetPosition(0);
  TChart lenient(nullptr);
  std::vector<std::string> errors;
  ReadComponentFromStream(bin, &lenient, [&](TReader*, const std::string& Msg, bool& Handled) {
    errors.push_back(Msg);
    Handled = true;
  });
  EXPECT_FALSE(errors.empty());
  ASSERT_EQ(lenient.CountSeries(), 1);
  EXPECT_EQ(lenient.SeriesAt(0)->Title(), "second");

  // A damaged point block: a clear read error, or with errors handled the other series intact.
  const size_t d1 = text.find("Data = {");
  const size_t d2 = text.find("Data = {", d1 + 1);
  ASSERT_NE(d2, std::string::npos);
  const size_t end = text.find('}', d2);
  std::string damaged = text.substr(0, d2) + "Data = {\n      0005000000}" + text.substr(end + 1);
  TChart strict2(nullptr);
  EXPECT_THROW(TextToComponent(damaged, &strict2), EReadError);
  TMemoryStream bin2;
  {
    TMemoryStream t;
    t.WriteString(damaged);
    t.SetPosition(0);
    ObjectTextToBinary(t, bin2);
  }
  bin2.SetPosition(0);
  TChart lenient2(nullptr);
  errors.clear();
  ReadComponentFromStream(bin2, &lenient2, [&](TReader*, const std::string& Msg, bool& Handled) {
    errors.push_back(Msg);
    Handled = true;
  });
  EXPECT_FALSE(errors.empty());
  ASSERT_GE(lenient2.CountSeries(), 1);
  EXPECT_EQ(lenient2.SeriesAt(0)->Title(), "first");
  EXPECT_EQ(lenient2.SeriesAt(0)->PointCount(), 2);
}

// A second series type to convert to.
class TBoxSeries : public TDotSeries {
  VM_CLASS(TBoxSeries, TDotSeries)
public:
  explicit TBoxSeries(TComponent* AOwner) : TDotSeries(AOwner) {}
};
VM_DEFINE_CLASS(TBoxSeries)

TEST_F(ChartWithSeries, SeriesAreMadeNamedAndConverted) {
  // The chart owns its series: new ones go to the chart whatever owner is asked for.
  TComponent form(nullptr);
  auto dot = static_cast<TChartSeriesClass>(TDotSeries::StaticClass());
  TChartSeries* s = MakeSeriesOfClass(&form, &Chart, dot);
  EXPECT_EQ(s->Owner(), &Chart);
  EXPECT_EQ(s->Name(), "Series1");
  EXPECT_EQ(Chart.CountSeries(), 3);
  TChartSeries* s2 = MakeSeriesOfClass(nullptr, &Chart, dot);
  EXPECT_EQ(s2->Name(), "Series2");
  delete s;
  EXPECT_EQ(MakeSeriesOfClass(nullptr, &Chart, dot)->Name(), "Series1");

  // Converting keeps the name, the place in the list, the dependents and the handlers.
  for (int i = 0; i < 3; ++i) A->AddXY(i, i + 1);
  B->SetDataSource(A);
  int added = 0;
  A->OnAfterAdd = [&](TChartSeries*, int) { ++added; };
  TChartSeries* old = A;
  TChartSeries* converted = A;
  ConvertSeriesClass(converted, static_cast<TChartSeriesClass>(TBoxSeries::StaticClass()));
  A = nullptr;
  EXPECT_NE(converted, old);
  EXPECT_TRUE(converted->InheritsFrom(TBoxSeries::StaticClass()));
  EXPECT_EQ(converted->Name(), "A");
  EXPECT_EQ(Chart.SeriesAt(0), converted);
  EXPECT_EQ(converted->PointCount(), 3);
  EXPECT_EQ(B->DataSource(), converted);
  converted->AddXY(3, 4);
  EXPECT_EQ(added, 1);
  EXPECT_EQ(B->PointCount(), 4);
  TChartSeries* same = converted;
  ConvertSeriesClass(same, static_cast<TChartSeriesClass>(TBoxSeries::StaticClass()));
  EXPECT_EQ(same, converted);
  TChartSeries* copy = DuplicateSeries(converted);
  EXPECT_EQ(copy->PointCount(), 4);
  EXPECT_NE(copy->Name(), converted->Name());
}

TEST(SeriesSymbol, DrawnThroughATemporaryChart) {
  TDotSeries s(nullptr);
  s.SetSeriesColor(clRed);
  TBitmap bmp;
  bmp.SetPixelFormat(pf24bit);
  bmp.SetSize(20, 20);
  DrawSeriesSymbolOnCanvas(&s, bmp.Canvas(), TRect(2, 2, 18, 18), nullptr);
  EXPECT_EQ(s.ParentChart(), nullptr);
  const auto* row = static_cast<const uint8_t*>(bmp.ScanLine(10)) + 10 * 3;
  EXPECT_EQ(RGB(row[2], row[1], row[0]), clRed);
}

TEST_F(ChartWithSeries, CreateAndAttachSeriesAndValueSourceNames) {
  TComponent form(nullptr);
  auto* chart = new TChart(&form);
  TChartSeries* s = chart->CreateAndAttachSeries(TDotSeries::StaticClass());
  ASSERT_NE(dynamic_cast<TDotSeries*>(s), nullptr);
  EXPECT_EQ(s->Owner(), &form);
  EXPECT_EQ(s->ParentChart(), chart);
  EXPECT_EQ(chart->CountSeries(), 1);
  EXPECT_THROW(chart->CreateAndAttachSeries(nullptr), EInvalidCast);
  EXPECT_EQ(chart->CountSeries(), 1);

  // The value sources of a series fed by another series are that series' value lists.
  std::vector<std::string> names;
  auto collect = [&](const std::string& Name) { names.push_back(Name); };
  Chart.FillValueSourceNames(B->YValues(), collect);
  EXPECT_TRUE(names.empty());
  B->SetDataSource(A);
  Chart.FillValueSourceNames(B->YValues(), collect);
  std::vector<std::string> want;
  for (int i = 0; i < A->ValueLists.Count(); ++i) want.push_back(A->ValueLists.GetValueList(i)->Name());
  EXPECT_EQ(names, want);
  EXPECT_GE(names.size(), 2u);
  names.clear();
  Chart.FillSeriesSourceFields(B, collect);
  EXPECT_TRUE(names.empty());
}

TEST(ChartServiceNames, SmallDotsPenAndShadowSize) {
  auto dots = CreateDottedPen(clRed, 0);
  EXPECT_EQ(dots->Style(), psAlternate);
  EXPECT_EQ(dots->Color(), clRed);
  EXPECT_EQ(dots->Width(), 1);
  auto spaced = CreateDottedPen(clBlue, 3);
  EXPECT_EQ(spaced->Style(), psUserStyle);
  EXPECT_EQ(spaced->UserStyle(), (std::vector<uint32_t>{0, 4}));
  TGraphShadow shadow(nullptr);
  shadow.SetHorizSize(2);
  shadow.SetVertSize(-5);
  EXPECT_EQ(shadow.GetSize(), 2);
  shadow.SetVertSize(7);
  EXPECT_EQ(shadow.GetSize(), 7);
}

TEST(SeriesMarks, LeaveTheChartWithTheirSeries) {
  // A series detached from its chart, marked on a few points, outlives the chart.
  auto chart = std::make_unique<TChart>(nullptr);
  auto* s = new TDotSeries(nullptr);
  chart->AttachSeries(s);
  for (int i = 0; i < 3; ++i) s->AddXY(i, i);
  s->Marks()->SetVisible(true);
  s->Marks()->Items[1]->SetVisible(false);
  ASSERT_NE(s->Marks()->ParentChart(), nullptr);
  chart->DetachSeries(s);
  EXPECT_EQ(s->ParentChart(), nullptr);
  EXPECT_EQ(s->Marks()->ParentChart(), nullptr);
  EXPECT_EQ(s->Marks()->Items.Stored(1)->ParentChart(), nullptr);
  chart.reset();
  delete s;
}
