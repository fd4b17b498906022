// The data table: the room the axis keeps for it, each value written in its cell under its label
// (rows and columns computed here from the axis and the font), missing and null points, inverted
// rows, a table placed by hand, date-time values, and the tool back from a chart file.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "chart/engine/chart.h"
#include "chart/engine/registries.h"
#include "chart/engine/testkit/recording_canvas.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/chart_file.h"
#include "chart/extra/data_table_tool.h"
#include "chart/extra/extra_series.h"
#include "chart/series/line_series.h"
#include "chart/series/standard_series.h"
#include "chart/series/testkit/series_testkit.h"
#include "platform/datetime.h"
#include "platform/streams.h"

namespace {

// Three line series of ten points on a bottom axis labelled at every point; series s holds
// 100 (s + 1) + k at point k.
struct TableChart {
  TChart Chart{nullptr};
  TRecordingCanvas* Rec = new TRecordingCanvas(500, 400);
  TDataTableTool* Tool = nullptr;
  std::vector<TLineSeries*> S;
  explicit TableChart(bool WithTool = true) {
    Chart.AdoptCanvas(std::unique_ptr<TGraphCanvas3D>(Rec));
    Chart.SetBounds(0, 0, 500, 400);
    Chart.SetView3D(false);
    Chart.SetBevelOuter(bvNone);
    Chart.Legend()->SetVisible(false);
    for (int s = 0; s < 3; ++s) {
      auto* l = new TLineSeries(nullptr);
      l->SetTitle("Series " + std::to_string(s));
      Chart.AttachSeries(l);
      for (int k = 0; k < 10; ++k) l->AddXY(k, 100 * (s + 1) + k);
      S.push_back(l);
    }
    Chart.BottomAxis()->SetMinimumMaximum(0, 9);
    Chart.BottomAxis()->SetIncrement(1);
    if (WithTool) {
      Tool = new TDataTableTool(nullptr);
      Chart.Tools->Add(Tool);
      Tool->Legend()->SetVisible(false);
    }
  }
  ~TableChart() {
    Chart.Tools->Clear();
    for (auto* s : S) {
      Chart.DetachSeries(s);
      delete s;
    }
  }
  void Draw() {
    Rec->Clear();
    Chart.DrawUnbuffered(Rec->Surface()->Canvas(), TRect(0, 0, 500, 400));
  }
  int RowHeight() {
    Rec->AssignFont(Tool->Font());
    return Rec->FontHeight();
  }
  // The call that writes Text at (X, Y).
  bool Wrote(int X, int Y, const std::string& Text) const {
    char call[200];
    std::snprintf(call, sizeof call, "TextOut(%d,%d,\"%s\")", X, Y, Text.c_str());
    for (const std::string& c : Rec->Calls)
      if (c == call) return true;
    return false;
  }
  int TextsAtRow(int Y) const {
    const std::string tail = "," + std::to_string(Y) + ",\"";
    int n = 0;
    for (const std::string& c : Rec->CallsOf("TextOut"))
      if (c.find(tail) != std::string::npos) ++n;
    return n;
  }
};

}  // namespace

TEST(DataTableTool, WritesEachValueUnderItsLabelInItsSeriesRow) {
  TableChart plain(false);
  plain.Draw();
  TableChart c;
  c.Draw();
  const int h = c.RowHeight();
  EXPECT_EQ(c.Tool->RowHeight(), h);
  // The bottom axis keeps 3 rows and 10 pixels more than without the table.
  EXPECT_EQ(plain.Chart.ChartRect.Bottom - c.Chart.ChartRect.Bottom, 3 * h + 10);
  const int P = c.Chart.BottomAxis()->AxisLinePos;
  EXPECT_EQ(c.Tool->Top(), P);  // the automatic place is written back
  for (int s = 0; s < 3; ++s)
    for (int k = 0; k < 10; ++k)
      EXPECT_TRUE(
          c.Wrote(c.Chart.BottomAxis()->ValueToPixel(k), P + h * (s + 1) + 10, std::to_string(100 * (s + 1) + k)))
          << s << "," << k;
  // Column lines halfway between the labels, from the last row border up to the axis line.
  const int between = (c.Chart.BottomAxis()->ValueToPixel(3) + c.Chart.BottomAxis()->ValueToPixel(4)) / 2;
  EXPECT_GE(c.Rec->IndexOf("Line(" + std::to_string(between) + "," + std::to_string(P + 4 * h + 10) + "," +
                           std::to_string(between) + "," + std::to_string(P) + ")"),
            0);
  std::string text;
  c.Tool->GetDescription(text);
  EXPECT_EQ(text, "Data Table");
}

TEST(DataTableTool, MissingAndNullPointsLeaveTheirCellsEmpty) {
  TableChart c;
  for (int k = 9; k >= 6; --k) c.S[1]->Delete(k);
  c.S[2]->SetPointColorAt(3, clNone);  // a null point
  c.Draw();
  const int h = c.RowHeight(), P = c.Chart.BottomAxis()->AxisLinePos;
  EXPECT_EQ(c.TextsAtRow(P + h + 10), 10);
  EXPECT_EQ(c.TextsAtRow(P + 2 * h + 10), 6);
  EXPECT_EQ(c.TextsAtRow(P + 3 * h + 10), 9);
  EXPECT_FALSE(c.Wrote(c.Chart.BottomAxis()->ValueToPixel(3), P + 3 * h + 10, "303"));
}

TEST(DataTableTool, InvertedRowsAndATablePlacedByHand) {
  TableChart c;
  c.Tool->SetInverted(true);
  c.Draw();
  const int h = c.RowHeight(), P = c.Chart.BottomAxis()->AxisLinePos;
  const int x5 = c.Chart.BottomAxis()->ValueToPixel(5);
  EXPECT_TRUE(c.Wrote(x5, P + h + 10, "305"));  // the last series nearest the axis
  EXPECT_TRUE(c.Wrote(x5, P + 3 * h + 10, "105"));
  // By hand: the table follows Left and Top and the axis keeps no room for it.
  TableChart plain(false);
  plain.Draw();
  c.Tool->SetInverted(false);
  c.Tool->SetAutoPosition(false);
  c.Tool->SetLeft(30);
  c.Tool->SetTop(20);
  c.Draw();
  EXPECT_EQ(c.Chart.ChartRect, plain.Chart.ChartRect);
  EXPECT_TRUE(c.Wrote(c.Chart.BottomAxis()->ValueToPixel(5) + 30, 20 + 2 * h + 10, "205"));
}

TEST(DataTableTool, NoTableSeriesNoTableAndNoRoom) {
  TableChart plain(false);
  for (auto* s : plain.S) s->SetActive(false);
  plain.Draw();
  TableChart c;
  for (auto* s : c.S) s->SetActive(false);
  c.Draw();
  EXPECT_EQ(c.Chart.ChartRect, plain.Chart.ChartRect);
  EXPECT_EQ(c.Tool->GetTableAxis(), nullptr);
  EXPECT_EQ(c.Rec->CallsOf("TextOut").size(), plain.Rec->CallsOf("TextOut").size());
}

TEST(DataTableTool, DateTimeValuesAndTheLegendColumn) {
  TableChart c;
  c.S[0]->YValues()->SetDateTime(true);
  for (int k = 0; k < 10; ++k) c.S[0]->YValues()->SetValue(k, 46000.25 + k);
  c.Tool->Legend()->SetVisible(true);
  c.Draw();
  const int h = c.RowHeight(), P = c.Chart.BottomAxis()->AxisLinePos;
  const double v = 46000.25 + 4;
  EXPECT_TRUE(c.Wrote(c.Chart.BottomAxis()->ValueToPixel(4), P + h + 10, FormatDateTime(DateTimeDefaultFormat(v), v)));
  // The legend column names each row left of the table; the left axis keeps room for it.
  int symbol = 0;
  const int w = c.Tool->TableLegendWidth(&symbol);
  EXPECT_GE(c.Chart.ChartRect.Left, w);
  bool named = false;
  for (const std::string& call : c.Rec->CallsOf("TextOut"))
    named |= call.find(std::to_string(P + 2 * h + 10) + ",\"Series 1\")") != std::string::npos;
  EXPECT_TRUE(named);
}

TEST(DataTableTool, ComesBackFromAChartFileWithTheSamePixels) {
  InitStandardSeries();
  InitExtraSeries();
  InitChartOutput();
  TSeriesChart c(false, 500, 400);
  for (int s = 0; s < 2; ++s) {
    auto* l = c.Add<TLineSeries>();
    l->SetName("Series" + std::to_string(s));
    for (int k = 0; k < 8; ++k) l->AddXY(k, 10 * s + k);
  }
  auto* tool = new TDataTableTool(nullptr);
  tool->SetName("Table1");
  c.Chart.Tools->Add(tool);
  tool->SetInverted(true);
  tool->Font()->SetColor(clBlue);
  tool->Legend()->SetFontSeriesColor(true);
  tool->ColumnPen()->SetColor(clRed);
  for (bool text : {false, true}) {
    TMemoryStream m;
    WriteNativeChart(&c.Chart, m, true, text);
    m.SetPosition(0);
    TSeriesChart back(false, 500, 400);
    TCustomChart* target = &back.Chart;
    ReadNativeChart(target, m);
    auto* t = dynamic_cast<TDataTableTool*>(back.Chart.Tools->ToolAt(0));
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->Inverted());
    EXPECT_TRUE(t->Legend()->FontSeriesColor());
    EXPECT_EQ(t->ColumnPen()->Color(), clRed);
    c.Render();
    back.Render();
    int different = 0, blue = 0;
    for (int y = 0; y < 400; ++y)
      for (int x = 0; x < 500; ++x) {
        different += c.At(x, y) != back.At(x, y);
        const TColor col = back.At(x, y);
        blue += ((col >> 16) & 0xFF) > 150 && (col & 0xFF) < 100 && ((col >> 8) & 0xFF) < 100;
      }
    EXPECT_EQ(different, 0);
    EXPECT_GT(blue, 50);  // the values were written
  }
  EXPECT_GE(GraphToolTypesList()->IndexOf(TDataTableTool::StaticClass()), 0);
}
