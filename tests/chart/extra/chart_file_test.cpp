// Native chart files: byte layout, binary and text forms with and without points, loading into an
// empty chart drawing the same pixels, and bad input leaving the target chart as it was.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/arrow_series.h"
#include "chart/extra/chart_file.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/windrose_clock_series.h"
#include "chart/series/bar_series.h"
#include "chart/series/functions_basic.h"
#include "chart/series/line_series.h"
#include "chart/series/pie_series.h"
#include "chart/series/standard_series.h"
#include "chart/series/tools_annotation.h"
#include "chart/series/tools_axis.h"
#include "chart/series/tools_colorline.h"
#include "chart/series/tools_cursor.h"
#include "chart/series/tools_marks.h"
#include "chart/series/tools_register.h"
#include "platform/streams.h"
#include "chart/series/testkit/series_testkit.h"

namespace fs = std::filesystem;

namespace {

struct ChartFile : ::testing::Test {
  static void SetUpTestSuite() {
    InitStandardSeries();
    InitExtraSeries();
    InitChartOutput();
    // The function module registers its classes itself once it has a start-up of its own.
    RegisterClass(TAverageGraphFunction::StaticClass());
    // A clock shows the same time in both drawings.
    ClockNowHook = [] { return 46000.5; };
  }
};

std::string Bytes(TMemoryStream& S) {
  return std::string(static_cast<const char*>(S.Memory()), static_cast<size_t>(S.Size()));
}

TMemoryStream StreamOf(const std::string& Text) {
  TMemoryStream s;
  s.WriteString(Text);
  s.SetPosition(0);
  return s;
}

// A chart with settings of its own on every part the file carries, and series of several kinds.
struct RichChart : TSeriesChart {
  TLineSeries* Line;
  TBarSeries* Bar;
  TPointSeries* Points;
  TAreaSeries* Area;
  TLineSeries* Average;
  RichChart() : TSeriesChart(false, 420, 320) {
    Chart.SetName("Chart1");
    Chart.Title()->Text()->SetText("Apparent resistivity");
    Chart.Title()->Font()->SetColor(clMaroon);
    Chart.Foot()->Text()->SetText("foot line");
    Chart.Foot()->SetVisible(true);
    Chart.Legend()->SetVisible(true);
    Chart.Legend()->SetAlignment(laBottom);
    Chart.BackWall()->SetColor(clCream);
    Chart.BackWall()->SetTransparent(false);
    Chart.LeftAxis()->SetMinimumMaximum(-5, 40);
    Chart.LeftAxis()->Title()->SetCaption("Ohm m");
    Chart.BottomAxis()->SetInverted(true);
    Chart.BottomAxis()->Grid()->SetVisible(true);
    Chart.BottomAxis()->Grid()->SetColor(clGreen);
    Chart.SetMarginLeft(7);

    Line = Add<TLineSeries>();
    Line->SetName("Line1");
    Line->SetSeriesColor(clRed);
    for (int i = 0; i < 12; ++i) Line->AddXY(i, 3 + (i * 7) % 11, i % 4 == 0 ? "L" + std::to_string(i) : "");
    Bar = Add<TBarSeries>();
    Bar->SetName("Bar1");
    Bar->SetSeriesColor(clBlue);
    for (int i = 0; i < 6; ++i) Bar->AddXY(i * 2, 10 + i, "", i == 3 ? clLime : clDefault);
    Points = Add<TPointSeries>();
    Points->SetName("Points1");
    Points->SetSeriesColor(clPurple);
    for (int i = 0; i < 9; ++i) Points->AddXY(i + 0.5, 30 - i * 2.25);
    Area = Add<TAreaSeries>();
    Area->SetName("Area1");
    Area->SetSeriesColor(clTeal);
    for (int i = 0; i < 5; ++i) Area->AddXY(i * 3, 1 + i);
    // A series computed by a function from another series.
    Average = Add<TLineSeries>();
    Average->SetName("Average1");
    Average->SetSeriesColor(clFuchsia);
    auto* f = new TAverageGraphFunction(&Chart);
    f->SetName("Function1");
    Average->AttachFunction(f);
    Average->AddDataSourceInternal(Line);
    Average->RefreshDataFromSource();
  }
};

std::unique_ptr<TBitmap> Draw(TChart& Chart) {
  return std::unique_ptr<TBitmap>(Chart.CreateBitmap(clWhite, TRect(0, 0, Chart.Width(), Chart.Height()), pf24bit));
}

int DifferentPixels(TBitmap& A, TBitmap& B) {
  int n = 0;
  for (int y = 0; y < A.Height(); ++y)
    for (int x = 0; x < A.Width(); ++x) n += A.Canvas()->Pixels(x, y) != B.Canvas()->Pixels(x, y);
  return n;
}

void ExpectSamePoints(TChartSeries* A, TChartSeries* B) {
  ASSERT_EQ(A->PointCount(), B->PointCount());
  for (int i = 0; i < A->PointCount(); ++i) {
    EXPECT_EQ(A->XValues()->Value(i), B->XValues()->Value(i));
    EXPECT_EQ(A->YValues()->Value(i), B->YValues()->Value(i));
    EXPECT_EQ(A->LabelAt(i), B->LabelAt(i));
  }
}

}  // namespace

TEST_F(ChartFile, BinaryFormStartsWithItsHeaderAndTextFormWithObject) {
  RichChart c;
  TMemoryStream bin, text;
  WriteNativeChart(&c.Chart, bin, true, false);
  WriteNativeChart(&c.Chart, text, true, true);
  const std::string b = Bytes(bin), t = Bytes(text);
  ASSERT_GE(b.size(), 8u);
  EXPECT_EQ(b.substr(0, 8), std::string("\x60\x30\x57\x01TPF0", 8));
  EXPECT_EQ(t.substr(0, 7), "object ");
  // Outside design the stream does not carry the chart's name, and the chart keeps it.
  EXPECT_EQ(t.substr(0, 15), "object TChart\r\n");
  EXPECT_EQ(c.Chart.Name(), "Chart1");
  // Series flags are cleared after writing.
  for (int i = 0; i < c.Chart.CountSeries(); ++i) {
    EXPECT_FALSE(c.Chart.SeriesAt(i)->StoreDataAlways);
    EXPECT_FALSE(c.Chart.SeriesAt(i)->StoreDataNever);
  }
  EXPECT_NE(t.find("Apparent resistivity"), std::string::npos);
  EXPECT_NE(t.find("Ohm m"), std::string::npos);
  EXPECT_NE(t.find("object Line1: TLineSeries"), std::string::npos);
  EXPECT_NE(t.find("Data = {"), std::string::npos);
}

TEST_F(ChartFile, LoadsIntoAnEmptyChartDrawingTheSamePixels) {
  for (bool text : {false, true}) {
    SCOPED_TRACE(text ? "text" : "binary");
    RichChart c;
    TMemoryStream s;
    WriteNativeChart(&c.Chart, s, true, text);
    s.SetPosition(0);
    // A chart as new, of another size and name.
    struct {
      TChart Chart{nullptr};
    } empty;
    empty.Chart.SetBounds(0, 0, 100, 80);
    empty.Chart.SetName("Chart2");
    TCustomChart* target = &empty.Chart;
    ReadNativeChart(target, s);
    EXPECT_EQ(target, &empty.Chart);
    EXPECT_EQ(empty.Chart.Name(), "Chart2");
    ASSERT_EQ(empty.Chart.CountSeries(), 5);
    EXPECT_EQ(empty.Chart.SeriesAt(0)->ClassName(), "TLineSeries");
    EXPECT_EQ(empty.Chart.SeriesAt(1)->ClassName(), "TBarSeries");
    EXPECT_NE(empty.Chart.SeriesAt(4)->FunctionObject(), nullptr);
    for (int i = 0; i < 5; ++i) ExpectSamePoints(c.Chart.SeriesAt(i), empty.Chart.SeriesAt(i));
    EXPECT_EQ(empty.Chart.SeriesAt(1)->PointColorAt(3), clLime);
    EXPECT_EQ(empty.Chart.Width(), 420);
    EXPECT_EQ(empty.Chart.Title()->Text()->Text(), c.Chart.Title()->Text()->Text());
    EXPECT_EQ(empty.Chart.Legend()->Alignment(), laBottom);
    EXPECT_EQ(empty.Chart.LeftAxis()->Title()->Caption(), "Ohm m");
    EXPECT_TRUE(empty.Chart.BottomAxis()->Inverted());
    EXPECT_FALSE(empty.Chart.View3D());
    auto a = Draw(c.Chart), b = Draw(empty.Chart);
    EXPECT_EQ(DifferentPixels(*a, *b), 0);
  }
}

TEST_F(ChartFile, WithoutDataSeriesComeBackEmpty) {
  RichChart c;
  TMemoryStream s;
  WriteNativeChart(&c.Chart, s, false, false);
  s.SetPosition(0);
  TSeriesChart other;
  TCustomChart* target = &other.Chart;
  ReadNativeChart(target, s);
  ASSERT_EQ(other.Chart.CountSeries(), 5);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(other.Chart.SeriesAt(i)->PointCount(), 0) << i;
  // Text form without data carries no Data property at all.
  TMemoryStream t;
  WriteNativeChart(&c.Chart, t, false, true);
  EXPECT_EQ(Bytes(t).find("Data = {"), std::string::npos);
}

TEST_F(ChartFile, ConversionsBetweenTheFormsRoundTrip) {
  RichChart c;
  TMemoryStream bin;
  WriteNativeChart(&c.Chart, bin, true, false);
  bin.SetPosition(0);
  TMemoryStream text, back;
  NativeBinaryToText(bin, text);
  text.SetPosition(0);
  NativeTextToBinary(text, back);
  EXPECT_EQ(Bytes(back), Bytes(bin));
  // Text is copied unchanged by the text conversion, binary by the binary one.
  text.SetPosition(0);
  TMemoryStream text2;
  NativeBinaryToText(text, text2);
  EXPECT_EQ(Bytes(text2), Bytes(text));
  TMemoryStream foreign = StreamOf("inherited Form1: TForm1\nend\n");
  TMemoryStream out;
  EXPECT_THROW(NativeTextToBinary(foreign, out), ChartException);
  EXPECT_THROW(NativeBinaryToText(foreign, out), ChartException);
}

TEST_F(ChartFile, RecognitionKeepsThePosition) {
  struct Case {
    std::string Bytes;
    bool Native, Binary;
  } cases[] = {{std::string("\x60\x30\x00\x00", 4), true, true},
               {"object x", true, false},
               {"Object x", true, false},
               {"inherited x", false, false},
               {std::string("\x30\x60", 2), false, false},
               {"`", false, false}};
  for (const auto& k : cases) {
    TMemoryStream s = StreamOf("zz" + k.Bytes);
    s.SetPosition(2);
    EXPECT_EQ(IsNativeChartStream(s), k.Native) << k.Bytes;
    EXPECT_EQ(IsBinaryNativeStream(s), k.Binary) << k.Bytes;
    EXPECT_EQ(s.Position(), 2);
  }
}

TEST_F(ChartFile, FileNamesGetTheNativeExtensionOnlyWhenTheyHaveNone) {
  EXPECT_EQ(WithNativeExtension("/tmp/chart"), "/tmp/chart.qvx");
  EXPECT_EQ(WithNativeExtension("/tmp/chart.txt"), "/tmp/chart.txt");
  EXPECT_EQ(WithNativeExtension("/tmp/a.b/chart"), "/tmp/a.b/chart.qvx");
}

TEST_F(ChartFile, AnyVersionWordLoadsAndTrailingSeriesDataIsReadOnRequest) {
  RichChart c;
  TMemoryStream s;
  WriteNativeChart(&c.Chart, s, false, false);
  std::string b = Bytes(s);
  b[2] = '\x01';
  b[3] = '\x02';
  // Trailing blocks for the five series: flags, count, values.
  TSeriesChart donor;
  auto* d = donor.Add<TLineSeries>();
  d->AddXY(0, 5);
  d->AddXY(1, 6);
  d->AddXY(2, 7);
  TMemoryStream block;
  d->WriteData(block);
  for (int i = 0; i < 5; ++i) b += Bytes(block);
  for (bool readData : {true, false}) {
    TMemoryStream in = StreamOf(b);
    TSeriesChart other;
    TCustomChart* target = &other.Chart;
    ReadNativeChartChecked(target, in, readData);
    ASSERT_EQ(other.Chart.CountSeries(), 5);
    EXPECT_EQ(other.Chart.SeriesAt(0)->PointCount(), readData ? 3 : 0);
    if (readData) {
      EXPECT_EQ(other.Chart.SeriesAt(3)->YValues()->Value(2), 7);
    }
  }
}

TEST_F(ChartFile, BadInputRaisesAClearErrorAndLeavesTheChartAsItWas) {
  RichChart good;
  TMemoryStream s;
  WriteNativeChart(&good.Chart, s, true, false);
  const std::string b = Bytes(s);
  TMemoryStream t;
  WriteNativeChart(&good.Chart, t, true, true);
  std::string text = Bytes(t);
  std::string unknown = text;
  unknown.replace(unknown.find("TBarSeries"), 10, "TBogSeries");
  std::string nested = "object : TChart\n";
  for (int i = 0; i < 200; ++i) nested += "object S" + std::to_string(i) + ": TLineSeries\n";
  for (int i = 0; i < 201; ++i) nested += "end\n";
  std::string damaged = b;
  damaged[damaged.find("MarginLeft") + 10] = '\x7F';  // a value tag that does not exist

  struct Case {
    const char* What;
    std::string Bytes;
    std::string Message;  // empty: any message
  } cases[] = {{"empty", "", ErrEmptyChartFile},
               {"wrong magic", std::string("\x61\x30\x57\x01", 4) + b.substr(4), ErrWrongChartFileFormat},
               {"inherited", "inherited Chart1: TChart\nend\n", ErrWrongChartFileFormat},
               {"truncated", b.substr(0, b.size() / 2), ""},
               {"header only", b.substr(0, 4), ""},
               {"damaged", damaged, ""},
               {"unknown series class", unknown, "Class TBogSeries not found"},
               {"nesting too deep", nested, ""},
               {"text syntax", text.substr(0, text.size() / 3), ""}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.What);
    RichChart target;
    auto before = Draw(target.Chart);
    TMemoryStream in = StreamOf(k.Bytes);
    TCustomChart* chart = &target.Chart;
    try {
      ReadNativeChart(chart, in);
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_FALSE(e.Message().empty());
      if (!k.Message.empty()) {
        EXPECT_EQ(e.Message(), k.Message);
      }
    }
    EXPECT_EQ(chart, &target.Chart);
    ASSERT_EQ(target.Chart.CountSeries(), 5);
    EXPECT_EQ(target.Line->PointCount(), 12);
    auto after = Draw(target.Chart);
    EXPECT_EQ(DifferentPixels(*before, *after), 0);
  }
  TMemoryStream in = StreamOf(b);
  TCustomChart* none = nullptr;
  EXPECT_THROW(ReadNativeChart(none, in), ChartException);
}

TEST_F(ChartFile, ErrorsInsideTheStreamGoToTheCallback) {
  RichChart good;
  TMemoryStream t;
  WriteNativeChart(&good.Chart, t, true, true);
  std::string text = Bytes(t);
  // A property this program does not know, as a newer file may carry.
  text.insert(text.find("\n") + 1, "  FancyNewSetting = 3\n");
  {
    TMemoryStream in = StreamOf(text);
    TSeriesChart other;
    TCustomChart* chart = &other.Chart;
    ReadNativeChart(chart, in);  // ignored by default
    EXPECT_EQ(other.Chart.CountSeries(), 5);
  }
  std::vector<std::string> seen;
  TMemoryStream in = StreamOf(text);
  TSeriesChart other;
  TCustomChart* chart = &other.Chart;
  EXPECT_THROW(ReadNativeChartChecked(chart, in, true,
                                      [&](const std::string& m) {
                                        seen.push_back(m);
                                        return false;
                                      }),
               EReadError);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_NE(seen[0].find("FancyNewSetting"), std::string::npos);
  EXPECT_EQ(other.Chart.CountSeries(), 0);
}

TEST_F(ChartFile, SavingWritesBesideTheFileAndRenames) {
  const fs::path dir = fs::temp_directory_path() / ("vm_chart_file_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string base = (dir / "sounding").string();
  RichChart c;
  WriteNativeChartFile(&c.Chart, base, true, false);
  ASSERT_TRUE(fs::exists(base + ".qvx"));
  const auto size1 = fs::file_size(base + ".qvx");
  // Overwriting: the old file stays whole when writing fails (a chart that cannot be written).
  WriteNativeChartFile(&c.Chart, base + ".qvx", false, false);
  EXPECT_LT(fs::file_size(base + ".qvx"), size1);
  const auto size2 = fs::file_size(base + ".qvx");
  EXPECT_THROW(WriteNativeChartFile(nullptr, base + ".qvx", true, false), ChartException);
  EXPECT_EQ(fs::file_size(base + ".qvx"), size2);
  size_t files = 0;
  for (auto& e : fs::directory_iterator(dir)) files += e.is_regular_file();
  EXPECT_EQ(files, 1u);  // no leftovers beside it
  TSeriesChart other;
  TCustomChart* chart = &other.Chart;
  ReadNativeChartFile(chart, base + ".qvx");
  EXPECT_EQ(other.Chart.CountSeries(), 5);
  EXPECT_THROW(WriteNativeChartFile(&c.Chart, (dir / "no" / "such" / "x.qvx").string()), Exception);
  fs::remove_all(dir);
}

TEST_F(ChartFile, EveryRegisteredSeriesTypeComesBackDrawingTheSamePixels) {
  TGraphSeriesTypes* types = GraphSeriesTypesList();
  ASSERT_NE(types, nullptr);
  int tried = 0;
  for (int i = 0; i < types->Count(); ++i) {
    const TGraphSeriesType* t = types->GetSeriesType(i);
    if (!t->SeriesClass || t->FunctionClass) continue;
    SCOPED_TRACE(t->SeriesClass->ClassName());
    TSeriesChart c(false, 320, 240);
    auto* s = static_cast<TChartSeries*>(t->SeriesClass->Create(nullptr));
    c.Chart.AttachSeries(s);
    s->SetName("S1");
    s->FillSampleValues(12);
    s->SetSeriesColor(clRed);
    TMemoryStream m;
    WriteNativeChart(&c.Chart, m, true, false);
    m.SetPosition(0);
    TChart fresh(nullptr);
    TCustomChart* target = &fresh;
    ReadNativeChart(target, m);
    ASSERT_EQ(fresh.CountSeries(), 1);
    EXPECT_EQ(fresh.SeriesAt(0)->ClassType(), t->SeriesClass);
    ExpectSamePoints(s, fresh.SeriesAt(0));
    auto a = Draw(c.Chart), b = Draw(fresh);
    EXPECT_EQ(DifferentPixels(*a, *b), 0);
    ++tried;
  }
  EXPECT_GE(tried, 8);
}

// Tools are child components of the chart: a chart with tools of several kinds (lines, bands,
// annotations, axis arrows, a cursor) saves in both forms and loads into an empty chart drawing the
// same pixels, its tools bound again to their axes and series.
TEST_F(ChartFile, ToolsComeBackDrawingTheSamePixels) {
  RegisterStandardTools();
  for (bool text : {false, true}) {
    SCOPED_TRACE(text ? "text" : "binary");
    RichChart c;
    auto add = [&](TGraphCustomTool* T, const std::string& Name) {
      T->SetName(Name);
      c.Chart.Tools->Add(T);
    };
    auto* line = new TColorLineTool(nullptr);
    add(line, "ColorLine1");
    line->SetAxis(c.Chart.BottomAxis());
    line->Pen()->SetColor(clNavy);
    line->SetValue(4.5);
    auto* band = new TColorBandTool(nullptr);
    add(band, "ColorBand1");
    band->SetAxis(c.Chart.LeftAxis());
    band->SetStartValue(12);
    band->SetEndValue(18);
    band->Brush()->SetColor(clSilver);
    auto* grid = new TGridBandTool(nullptr);
    add(grid, "GridBand1");
    grid->SetAxis(c.Chart.LeftAxis());
    grid->Band1()->SetColor(clMoneyGreen);
    grid->Band1()->SetStyle(bsSolid);
    auto* note = new TAnnotationTool(nullptr);
    add(note, "Annotation1");
    note->SetText("Station 7");
    auto* arrows = new TAxisArrowTool(nullptr);
    add(arrows, "AxisArrow1");
    arrows->SetAxis(c.Chart.LeftAxis());
    auto* cursor = new TCursorTool(nullptr);
    add(cursor, "Cursor1");
    cursor->SetSeries(c.Line);
    auto* tip = new TMarksTipTool(nullptr);
    add(tip, "MarksTip1");
    tip->SetSeries(c.Bar);

    TMemoryStream s;
    WriteNativeChart(&c.Chart, s, true, text);
    s.SetPosition(0);
    TChart target(nullptr);
    target.SetBounds(0, 0, 100, 80);
    TCustomChart* t = &target;
    ReadNativeChart(t, s);
    ASSERT_EQ(target.Tools->Count(), c.Chart.Tools->Count());
    for (int i = 0; i < target.Tools->Count(); ++i) {
      EXPECT_EQ(target.Tools->ToolAt(i)->ClassName(), c.Chart.Tools->ToolAt(i)->ClassName());
      EXPECT_EQ(target.Tools->ToolAt(i)->Name(), c.Chart.Tools->ToolAt(i)->Name());
      EXPECT_EQ(target.Tools->ToolAt(i)->ParentChart(), &target);
    }
    auto* line2 = dynamic_cast<TColorLineTool*>(target.Tools->ToolAt(0));
    ASSERT_NE(line2, nullptr);
    EXPECT_EQ(line2->Axis(), target.BottomAxis());
    EXPECT_EQ(line2->Value(), 4.5);
    auto* band2 = dynamic_cast<TColorBandTool*>(target.Tools->ToolAt(1));
    ASSERT_NE(band2, nullptr);
    EXPECT_EQ(band2->Axis(), target.LeftAxis());
    auto* cursor2 = dynamic_cast<TCursorTool*>(target.Tools->ToolAt(5));
    ASSERT_NE(cursor2, nullptr);
    EXPECT_EQ(cursor2->Series(), target.SeriesAt(0));
    auto* tip2 = dynamic_cast<TMarksTipTool*>(target.Tools->ToolAt(6));
    ASSERT_NE(tip2, nullptr);
    EXPECT_EQ(tip2->Series(), target.SeriesAt(1));
    auto a = Draw(c.Chart), b = Draw(target);
    EXPECT_EQ(DifferentPixels(*a, *b), 0);
    RichChart plain;
    EXPECT_GT(DifferentPixels(*Draw(plain.Chart), *a), 500) << "the tools draw";
    target.Tools->Clear();
    c.Chart.Tools->Clear();
  }
  UnregisterStandardTools();
}
