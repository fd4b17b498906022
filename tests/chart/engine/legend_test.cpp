#include <gtest/gtest.h>

#include "chart_testkit.h"
#include "chart/engine/chart_errors.h"
#include "chart/engine/registries.h"

namespace {

// A chart with N series (or one series of N points for the value styles).
struct TLegendChart : TRecordedChart {
  std::vector<TTestLineSeries*> All;
  explicit TLegendChart(int Series, int Points = 3, int W = 500, int H = 300) : TRecordedChart(false, W, H) {
    for (int s = 0; s < Series; ++s) {
      auto* ser = new TTestLineSeries(nullptr);
      Chart.AttachSeries(ser);
      ser->SetTitle("S" + std::to_string(s));
      for (int i = 0; i < Points; ++i) ser->AddXY(i, i + s);
      All.push_back(ser);
    }
  }
  TChartLegend* L() { return Chart.Legend(); }
  // The item under the middle of row Row (vertical legend).
  int ClickRow(int Row) {
    const int rowHeight = L()->CalcItemHeight();
    const TRect b = L()->ShapeBounds();
    return L()->Clicked((b.Left + b.Right) / 2, L()->TitleBottom() + Row * rowHeight + rowHeight / 2);
  }
};

}  // namespace

TEST(Legend, StyleFollowsTheActiveSeries) {
  TLegendChart one(1, 5);
  one.Draw();
  EXPECT_EQ(one.L()->EffectiveStyle, lsValues);
  EXPECT_EQ(one.L()->TotalItems, 5);
  TLegendChart two(2);
  two.Draw();
  EXPECT_EQ(two.L()->EffectiveStyle, lsSeries);
  EXPECT_EQ(two.L()->TotalItems, 2);
  EXPECT_THROW(two.L()->SetFirstValue(-1), LegendException);
  two.L()->SetFirstValue(0);
}

TEST(Legend, RowsThatFitAndPaging) {
  // 25 values in a right legend with room for about 10 rows.
  TLegendChart c(1, 25, 500, 200);
  c.Draw();
  const int rows = c.L()->Rows;
  EXPECT_GT(rows, 0);
  EXPECT_LT(rows, 25);
  EXPECT_EQ(c.L()->LastValue, rows - 1);
  // Paging: 100 points, 20 per page, page 3 lists values 40..59.
  TLegendChart p(1, 100, 500, 800);
  p.Chart.SetMaxPointsPerPage(20);
  EXPECT_EQ(p.Chart.CountPages(), 5);
  p.Chart.SetPage(3);
  p.Draw();
  EXPECT_EQ(p.L()->FirstValue(), 40);
  EXPECT_LE(p.L()->TotalItems, 20);
  p.Chart.SetPage(9);
  EXPECT_EQ(p.Chart.Page(), 5);
  p.Chart.SetPage(0);
  EXPECT_EQ(p.Chart.Page(), 1);
}

TEST(Legend, AlignmentsTakeTheirSideOfTheChart) {
  struct Case {
    TLegendAlignment Align;
    bool Vertical;
  };
  for (Case c : {Case{laLeft, true}, Case{laRight, true}, Case{laTop, false}, Case{laBottom, false}}) {
    TLegendChart ch(3);
    ch.L()->SetAlignment(c.Align);
    ch.Draw();
    const TRect b = ch.L()->ShapeBounds();
    const TRect r = ch.Chart.ChartRect;
    EXPECT_EQ(ch.L()->IsVertical(), c.Vertical);
    switch (c.Align) {
      case laLeft:
        EXPECT_GT(r.Left, b.Right);
        break;
      case laRight:
        EXPECT_LT(r.Right, b.Left);
        break;
      case laTop:
        EXPECT_GT(r.Top, b.Bottom);
        break;
      case laBottom:
        EXPECT_LT(r.Bottom, b.Top);
        break;
    }
    // Every item answers a click on its row.
    if (c.Vertical) {
      for (int i = 0; i < 3; ++i) EXPECT_EQ(ch.ClickRow(i), i) << c.Align;
    }
  }
}

TEST(Legend, HorizontalLegendColumnsAndRows) {
  TLegendChart c(7, 3, 260, 300);
  c.L()->SetAlignment(laBottom);
  c.Draw();
  ASSERT_GT(c.L()->Columns, 0);
  const int cols = c.L()->Columns;
  const int expectedRows = std::min(10, 7 / cols + (7 % cols ? 1 : 0));
  EXPECT_EQ(c.L()->Rows, expectedRows);
  // The item of the second column of the first row.
  if (cols >= 2) {
    const TRect b = c.L()->ShapeBounds();
    const int colWidth = (b.Right - b.Left) / cols;
    const int y = c.L()->TitleBottom() + c.L()->CalcItemHeight() / 2 + 1;
    EXPECT_EQ(c.L()->Clicked(b.Left + colWidth + colWidth / 2, y), 1);
  }
  EXPECT_EQ(c.L()->Clicked(0, 0), -1);
}

TEST(Legend, CheckBoxesSwitchSeries) {
  TLegendChart c(3);
  c.L()->SetCheckBoxes(true);
  c.Draw();
  EXPECT_GE(c.L()->CalcItemHeight(), 17);
  EXPECT_EQ(c.ClickRow(1), 1);
  EXPECT_TRUE(c.L()->CheckBoxClicked(1));
  EXPECT_FALSE(c.All[1]->Active());
  EXPECT_TRUE(c.L()->CheckBoxClicked(1));
  EXPECT_TRUE(c.All[1]->Active());
  // Radio style: the third row leaves only the third series active.
  c.L()->SetCheckBoxesStyle(cbsRadio);
  EXPECT_TRUE(c.L()->CheckBoxClicked(2));
  EXPECT_FALSE(c.All[0]->Active());
  EXPECT_FALSE(c.All[1]->Active());
  EXPECT_TRUE(c.All[2]->Active());
  // A click through the chart's mouse handling reaches the check box.
  c.Draw();
  const TRect b = c.L()->ShapeBounds();
  const int rowHeight = c.L()->CalcItemHeight();
  c.Chart.DispatchMouseDown(mbLeft, {}, (b.Left + b.Right) / 2, c.L()->TitleBottom() + rowHeight / 2);
  c.Chart.DispatchMouseUp(mbLeft, {}, (b.Left + b.Right) / 2, c.L()->TitleBottom() + rowHeight / 2);
  EXPECT_TRUE(c.All[0]->Active());
  EXPECT_FALSE(c.All[2]->Active());
}

TEST(Legend, TitleAndInvertedOrder) {
  TLegendChart c(3);
  c.L()->Title()->Text()->Add("Legend");
  c.L()->SetInverted(true);
  c.Draw();
  EXPECT_TRUE(c.L()->TitleShown);
  EXPECT_GT(c.L()->TitleBottom(), c.L()->ShapeBounds().Top);
  // Between the title and the first row there is no item.
  EXPECT_EQ(c.L()->Clicked((c.L()->ShapeBounds().Left + c.L()->ShapeBounds().Right) / 2, c.L()->TitleBottom()), -1);
  EXPECT_EQ(c.ClickRow(0), 2);  // inverted: the last series on top
  const auto texts = c.Rec->CallsOf("TextOut");
  int s0 = -1, s2 = -1;
  for (size_t i = 0; i < texts.size(); ++i) {
    if (texts[i].find("\"S0\"") != std::string::npos) s0 = static_cast<int>(i);
    if (texts[i].find("\"S2\"") != std::string::npos) s2 = static_cast<int>(i);
  }
  EXPECT_LT(s2, s0);
}

TEST(Legend, MarginBesideARightLegend) {
  TLegendChart c(2, 3, 500, 300);
  c.Chart.OnGetLegendRect = [](TCustomChart*, TRect&) {};
  c.Chart.OnGetLegendText = [](TCustomAxisPanel*, TLegendStyle, int32_t Index, std::string& Text) {
    Text = "item " + std::to_string(Index);
  };
  c.Draw();
  bool seen = false;
  for (const auto& t : c.Rec->CallsOf("TextOut")) seen |= t.find("\"item 1\"") != std::string::npos;
  EXPECT_TRUE(seen);
}
