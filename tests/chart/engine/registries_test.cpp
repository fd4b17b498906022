// Series, function and tool type registries, the named palettes and the legend title.
#include <gtest/gtest.h>

#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/engine/testkit/recording_canvas.h"
#include "chart/engine/tool_base.h"

class TRegLineSeries : public TChartSeries {
  VM_CLASS(TRegLineSeries, TChartSeries)
public:
  using TChartSeries::TChartSeries;
};
VM_DEFINE_CLASS(TRegLineSeries)

class TRegPolarSeries : public TChartSeries {
  VM_CLASS(TRegPolarSeries, TChartSeries)
public:
  using TChartSeries::TChartSeries;
};
VM_DEFINE_CLASS(TRegPolarSeries)

class TRegAverage : public TGraphFunction {
  VM_CLASS(TRegAverage, TGraphFunction)
public:
  using TGraphFunction::TGraphFunction;
};
VM_DEFINE_CLASS(TRegAverage)

class TRegCursorTool : public TGraphCustomTool {
  VM_CLASS(TRegCursorTool, TGraphCustomTool)
public:
  using TGraphCustomTool::TGraphCustomTool;
};
VM_DEFINE_CLASS(TRegCursorTool)

namespace {

class Registries : public ::testing::Test {
protected:
  void SetUp() override {
    InitEngineTexts();
    InitChartModule();
  }
  void TearDown() override { DoneChartModule(); }
};

}  // namespace

TEST_F(Registries, SeriesAndFunctionTypesListByPageAndRefuseDuplicates) {
  auto line = TRegLineSeries::StaticClass();
  auto polar = TRegPolarSeries::StaticClass();
  auto avg = TRegAverage::StaticClass();
  RegisterStandardSeriesType(line, &MsgGalleryLine);
  RegisterStandardSeriesType(line, &MsgGalleryLine);
  RegisterSeriesType(polar, &MsgGalleryLine, &MsgGalleryPageStats, 1);
  RegisterStandardFunctionType(avg, &MsgGalleryLine);
  RegisterSeriesFunctionType(line, avg, &MsgGalleryLine, &MsgPageStandard, 1);
  TGraphSeriesTypes* types = GraphSeriesTypesList();
  ASSERT_EQ(types->Count(), 4);
  EXPECT_EQ(types->GetSeriesType(0)->NumGallerySeries, 2);
  EXPECT_EQ(types->TypesOfPage("Standard").size(), 3u);
  ASSERT_EQ(types->TypesOfPage("Stats").size(), 1u);
  EXPECT_EQ(types->TypesOfPage("Stats")[0]->SeriesClass, polar);
  // Registered classes can be found by streams.
  EXPECT_EQ(GetClass("TRegLineSeries"), line);
  // Only plain series entries are found by their series class.
  EXPECT_EQ(types->FindSeriesType(line), types->GetSeriesType(0));
  EXPECT_EQ(types->FindSeriesType(static_cast<TChartSeriesClass>(TChartSeries::StaticClass())), nullptr);
  // The gallery name follows the text variable.
  TRegLineSeries s(nullptr);
  EXPECT_EQ(GetSeriesTypeDescription(&s), "Line");
  const std::string old = MsgGalleryLine;
  MsgGalleryLine = "Линия";
  EXPECT_EQ(GetSeriesTypeDescription(&s), "Линия");
  MsgGalleryLine = old;
  // Removing a class removes every entry of it.
  UnregisterSeriesTypes({line});
  EXPECT_EQ(types->Count(), 2);
  TRegPolarSeries p(nullptr);
  EXPECT_EQ(GetSeriesTypeDescription(&p), "Line");
  UnregisterSeriesTypes({polar, polar});
  UnregisterFunctionTypes({avg});
  EXPECT_EQ(types->Count(), 0);
  EXPECT_EQ(GetSeriesTypeDescription(&p), "TRegPolarSeries");
  UnRegisterClasses({line, polar, avg});
}

TEST_F(Registries, ToolTypesOnceEachAndGoneAtShutdown) {
  auto tool = static_cast<TGraphToolClass>(TRegCursorTool::StaticClass());
  RegisterToolTypes({tool, tool});
  ASSERT_EQ(GraphToolTypesList()->Count(), 1);
  EXPECT_EQ(GraphToolTypesList()->GetToolType(0), tool);
  UnregisterToolTypes({tool});
  EXPECT_EQ(GraphToolTypesList()->Count(), 0);
  UnregisterToolTypes({tool});
  EXPECT_NE(GetClass("TChartAxis"), nullptr);
  EXPECT_NE(GetClass("TSeriesMarks"), nullptr);
  DoneChartModule();
  EXPECT_EQ(GetClass("TSeriesMarks"), nullptr);
  EXPECT_EQ(GraphToolTypesList(), nullptr);
  EXPECT_EQ(GraphSeriesTypesList(), nullptr);
  EXPECT_EQ(ColorPalettes(), nullptr);
  UnRegisterClasses({tool});
}

TEST_F(Registries, NamedPalettes) {
  TColorPalettes* p = ColorPalettes();
  ASSERT_EQ(p->Count(), 10);
  EXPECT_EQ(p->Strings(1), "Excel");
  EXPECT_EQ(p->Strings(9), "Win. XP");
  const struct {
    int Index;
    size_t Count;
    TColor First, Last;
  } cases[] = {{1, 22, 0xFF9999, 0xCC99FF}, {2, 11, 0xA1A55D, 0x846401}, {3, 14, 0xFFFFCC, 0xCCFFCC},
               {4, 8, 0xFF0000, 0xFFFFFF},  {5, 12, 0xFF0000, 0x008080}, {6, 9, 0x00A5FF, 0x408080},
               {7, 14, 0x6699FF, 0xFFCCCC}, {8, 25, 0x000099, 0xFF00CC}, {9, 13, 0xFE9B82, 0x7B715F}};
  for (const auto& c : cases) {
    const auto& t = TColorPalettes::PaletteColors(c.Index);
    ASSERT_EQ(t.size(), c.Count) << c.Index;
    EXPECT_EQ(t.front(), c.First) << c.Index;
    EXPECT_EQ(t.back(), c.Last) << c.Index;
  }
  EXPECT_TRUE(TColorPalettes::PaletteColors(0).empty());
  EXPECT_TRUE(TColorPalettes::PaletteColors(10).empty());
}

namespace {
class TTitlePanel : public IGraphShapeParent {
public:
  TRecordingCanvas Canvas{200, 100};
  TCanvas3D* ShapeCanvas() override { return &Canvas; }
  void Invalidate() override {}
};
}  // namespace

TEST(LegendTitle, SizeAndPlacement) {
  TTitlePanel panel;
  TLegendTitle t(&panel);
  EXPECT_TRUE(t.Transparent());
  EXPECT_TRUE(t.Font()->Style().Contains(fsBold));
  t.Text()->Add("One");
  t.Text()->Add("Two");
  t.SetTransparent(false);
  t.Pen()->SetWidth(1);
  t.Pen()->SetVisible(true);
  t.CalcHeight();
  panel.Canvas.AssignFont(t.Font());
  EXPECT_EQ(t.TitleHeight, 2 * panel.Canvas.FontHeight() + 2 + 2);
  t.Shadow()->SetHorizSize(3);
  t.PlaceIn(TRect{10, 10, 110, 90});
  EXPECT_EQ(t.BoxRect.Right, 110 - 5);
  EXPECT_EQ(t.BoxRect.Left, 12);
  t.Shadow()->SetHorizSize(-2);
  t.PlaceIn(TRect{10, 10, 110, 90});
  EXPECT_EQ(t.BoxRect.Left, 14);
  panel.Canvas.Clear();
  t.DrawText();
  EXPECT_EQ(panel.Canvas.CallsOf("TextOut").size(), 2u);
}
