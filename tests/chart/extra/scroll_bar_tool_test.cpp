// The legend scroll bar: its place against the legend and the room the legend keeps for it,
// scrolling the legend's items and a paged chart's pages by the arrows, the track and the thumb,
// auto-repeat while an arrow is held, and the tool back from a chart file with its pixels.
#include <gtest/gtest.h>

#include <string>

#include "chart/engine/registries.h"
#include "chart/extra/chart_file.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/scroll_bar_tool.h"
#include "chart/series/line_series.h"
#include "chart/series/standard_series.h"
#include "chart/series/testkit/series_testkit.h"
#include "chart/series/testkit/tools_testkit.h"
#include "platform/forms.h"
#include "platform/streams.h"

namespace {

// A chart whose right legend lists the 20 values of one series, too many to fit.
struct LegendChart {
  TToolChart T{300, 160, false};
  TLineSeries* S = new TLineSeries(nullptr);
  TLegendScrollBar* Bar = new TLegendScrollBar(nullptr);
  TChartLegend* Legend;
  explicit LegendChart(bool WithBar = true) {
    Legend = T.Chart.Legend();
    Legend->SetVisible(true);
    T.Chart.AttachSeries(S);
    for (int i = 0; i < 20; ++i) S->AddXY(i, i % 7);
    Bar->ArrowBrush()->SetColor(clBlack);
    if (WithBar)
      T.Chart.Tools->Add(Bar);
    else
      delete Bar;
    T.Paint();
  }
  ~LegendChart() {
    T.Chart.Tools->Clear();
    T.Chart.DetachSeries(S);
    delete S;
  }
  void Click(const TRect& R) { ClickAt((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }
  void ClickAt(int X, int Y) {
    T.Down(X, Y);
    T.Up(X, Y);
    T.Paint();
  }
  TPoint Middle(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }
};

int Different(TBitmap& A, TBitmap& B) {
  int n = 0;
  for (int y = 0; y < A.Height(); ++y)
    for (int x = 0; x < A.Width(); ++x) n += A.Canvas()->Pixels(x, y) != B.Canvas()->Pixels(x, y);
  return n;
}

}  // namespace

TEST(LegendScrollBar, LiesInsideTheLegendWhichKeepsRoomForIt) {
  LegendChart plain(false);
  LegendChart c;
  const TRect b = c.Legend->BoxRect;
  EXPECT_EQ(b.Right - b.Left, plain.Legend->BoxRect.Right - plain.Legend->BoxRect.Left + 18 + 1);
  EXPECT_FALSE(c.Bar->Horizontal());
  EXPECT_EQ(c.Bar->GetBarRect(), TRect(b.Right - 19, b.Top, b.Right, b.Bottom));
  // Track and thumb: the thumb in the thumb brush's silver, its length the shown share of the items.
  const int page = c.Bar->GetPageSize();
  ASSERT_GT(page, 1);
  ASSERT_LT(page, 20);
  EXPECT_EQ(c.Bar->GetMax(), 20);
  EXPECT_EQ(c.Bar->GetPosition(), 0);
  const int track = b.Bottom - b.Top - 36;
  EXPECT_EQ(c.Bar->ThumbStart(), b.Top + 18);
  EXPECT_EQ(c.Bar->ThumbSize(), std::max(static_cast<int>(std::nearbyint(page * track / 20.0)), 4));
  const TRect thumb = c.Bar->GetThumbRect();
  EXPECT_EQ(c.T.At(thumb.Left + 4, (thumb.Top + thumb.Bottom) / 2), clSilver);
  // At the start the start arrow is grey, the end arrow in the arrow brush's colour.
  const TPoint start = c.Middle(c.Bar->GetStartArrowRect()), end = c.Middle(c.Bar->GetEndArrowRect());
  EXPECT_EQ(c.T.At(start.X, start.Y + 1), clGray);
  EXPECT_EQ(c.T.At(end.X, end.Y - 1), clBlack);
  // A hidden legend shows no bar and keeps no room.
  c.Legend->SetVisible(false);
  c.T.Paint();
  TRect r;
  EXPECT_FALSE(c.Bar->CalcBounds(r));
  // When every item fits, a bar drawn only when needed stays away.
  c.Legend->SetVisible(true);
  c.Bar->SetDrawStyle(dsWhenNeeded);
  c.T.Paint();
  EXPECT_TRUE(c.Bar->CalcBounds(r));
  for (int i = 19; i >= 3; --i) c.S->Delete(i);
  c.T.Paint();
  c.T.Paint();
  EXPECT_FALSE(c.Bar->CalcBounds(r));
  EXPECT_EQ(c.Legend->BoxRect.Right - c.Legend->BoxRect.Left, plain.Legend->BoxRect.Right - plain.Legend->BoxRect.Left);
}

TEST(LegendScrollBar, ArrowsTrackAndThumbScrollTheLegend) {
  LegendChart c;
  const int page = c.Bar->GetPageSize();
  int scrolled = 0;
  c.Bar->OnScrolled = [&](TObject*) { ++scrolled; };
  c.Click(c.Bar->GetStartArrowRect());  // at the start: nothing
  EXPECT_EQ(c.Legend->FirstValue(), 0);
  EXPECT_EQ(scrolled, 0);
  c.Click(c.Bar->GetEndArrowRect());
  EXPECT_EQ(c.Legend->FirstValue(), 1);
  EXPECT_EQ(scrolled, 1);
  // The track after the thumb moves by a quarter page, before it back.
  c.ClickAt(c.Middle(c.Bar->GetBarRect()).X, c.Bar->ThumbEnd() + 3);
  EXPECT_EQ(c.Legend->FirstValue(), 1 + page / 4);
  c.ClickAt(c.Middle(c.Bar->GetBarRect()).X, c.Bar->ThumbStart() - 2);
  EXPECT_EQ(c.Legend->FirstValue(), 1);
  // Never past the last page, and then the end arrow is grey.
  for (int i = 0; i < 30; ++i) c.Click(c.Bar->GetEndArrowRect());
  EXPECT_EQ(c.Legend->FirstValue(), 20 - c.Bar->GetPageSize());
  const TPoint end = c.Middle(c.Bar->GetEndArrowRect());
  EXPECT_EQ(c.T.At(end.X, end.Y - 1), clGray);
  // The thumb followed to the end of the track.
  EXPECT_EQ(c.Bar->ThumbStart() + c.Bar->ThumbSize() + 1, c.Bar->ThumbEnd());
  EXPECT_NEAR(c.Bar->ThumbEnd() - 1, c.Legend->BoxRect.Bottom - 18, 1);
  // Dragging the thumb: less than one item's worth of pixels does nothing until it adds up.
  c.Bar->ScrollTo(0, false);
  c.T.Paint();
  const TRect track = c.Bar->GetTrackRect();
  const double unit = (track.Bottom - track.Top) / 20.0;
  const TPoint grip = c.Middle(c.Bar->GetThumbRect());
  c.T.Down(grip.X, grip.Y);
  EXPECT_TRUE(c.Bar->Dragging());
  const int small = static_cast<int>(unit * 0.6);
  c.T.Move(grip.X, grip.Y + small);
  EXPECT_EQ(c.Legend->FirstValue(), 0);
  c.T.Move(grip.X, grip.Y + static_cast<int>(unit * 1.2) + 1);
  EXPECT_EQ(c.Legend->FirstValue(), 1);
  c.T.Move(grip.X, grip.Y + static_cast<int>(unit * 5.2) + 1);
  EXPECT_EQ(c.Legend->FirstValue(), 5);
  c.T.Up(grip.X, grip.Y);
  EXPECT_FALSE(c.Bar->Dragging());
  std::string text;
  c.Bar->GetDescription(text);
  EXPECT_EQ(text, "Legend Scrollbar");
}

TEST(LegendScrollBar, HeldArrowRepeatsAfterTheDelayThenEvery50ms) {
  LegendChart c;
  const TPoint end = c.Middle(c.Bar->GetEndArrowRect());
  c.T.Down(end.X, end.Y);
  EXPECT_EQ(c.Legend->FirstValue(), 1);
  ASSERT_NE(c.Bar->RepeatTimer(), nullptr);
  EXPECT_TRUE(c.Bar->RepeatTimer()->Enabled());
  EXPECT_EQ(c.Bar->RepeatTimer()->Interval(), 250u);
  c.Bar->RepeatTimer()->Fire();
  EXPECT_EQ(c.Legend->FirstValue(), 2);
  EXPECT_EQ(c.Bar->RepeatTimer()->Interval(), 50u);
  c.Bar->RepeatTimer()->Fire();
  EXPECT_EQ(c.Legend->FirstValue(), 3);
  EXPECT_EQ(c.Bar->RepeatTimer()->Interval(), 50u);
  c.T.Up(end.X, end.Y);
  EXPECT_FALSE(c.Bar->RepeatTimer()->Enabled());
  // Without auto-repeat a held arrow scrolls once.
  LegendChart once;
  once.Bar->SetAutoRepeat(false);
  once.T.Down(end.X, end.Y);
  EXPECT_EQ(once.Legend->FirstValue(), 1);
  EXPECT_EQ(once.Bar->RepeatTimer(), nullptr);
}

TEST(LegendScrollBar, ScrollsThePagesOfAPagedChart) {
  LegendChart c;
  c.T.Chart.SetMaxPointsPerPage(5);
  c.T.Paint();
  EXPECT_EQ(c.Bar->GetMax(), 4);
  EXPECT_EQ(c.Bar->GetPageSize(), 1);
  EXPECT_EQ(c.Bar->GetPosition(), 0);
  c.Click(c.Bar->GetEndArrowRect());
  EXPECT_EQ(c.T.Chart.Page(), 2);
  EXPECT_EQ(c.Bar->GetPosition(), 1);
  c.ClickAt(c.Middle(c.Bar->GetBarRect()).X, c.Bar->ThumbEnd() + 2);  // the track: one page
  EXPECT_EQ(c.T.Chart.Page(), 3);
  // The chart shows the page's points, and the thumb follows the page.
  c.T.Chart.BottomAxis()->SetAutomatic(true);
  c.T.Paint();
  EXPECT_EQ(c.S->FirstValueIndex, 10);
  EXPECT_EQ(c.S->LastValueIndex, 14);
  const TRect& b = c.Legend->BoxRect;
  const double scale = (b.Bottom - b.Top - 36) / 4.0;
  EXPECT_EQ(c.Bar->ThumbStart(), b.Top + static_cast<int>(std::nearbyint(2 * scale)) + 18);
  for (int i = 0; i < 5; ++i) c.Click(c.Bar->GetEndArrowRect());
  EXPECT_EQ(c.T.Chart.Page(), 4);
  c.Click(c.Bar->GetStartArrowRect());
  EXPECT_EQ(c.T.Chart.Page(), 3);
}

TEST(LegendScrollBar, ComesBackFromAChartFileWithTheSamePixels) {
  InitStandardSeries();
  InitExtraSeries();
  InitChartOutput();
  TSeriesChart c(false, 300, 160);
  c.Chart.Legend()->SetVisible(true);
  auto* s = c.Add<TLineSeries>();
  s->SetName("Series1");
  for (int i = 0; i < 20; ++i) s->AddXY(i, i % 5);
  auto* bar = new TLegendScrollBar(nullptr);
  bar->SetName("Bar1");
  c.Chart.Tools->Add(bar);
  bar->SetSize(14);
  bar->SetBevel(bvLowered);
  bar->ThumbBrush()->SetColor(clNavy);
  bar->SetInitialDelay(400);
  c.Chart.Legend()->SetFirstValue(3);
  for (bool text : {false, true}) {
    TMemoryStream m;
    WriteNativeChart(&c.Chart, m, true, text);
    m.SetPosition(0);
    TSeriesChart back(false, 300, 160);
    TCustomChart* target = &back.Chart;
    ReadNativeChart(target, m);
    auto* b = dynamic_cast<TLegendScrollBar*>(back.Chart.Tools->ToolAt(0));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Size(), 14);
    EXPECT_EQ(b->Bevel(), bvLowered);
    EXPECT_EQ(b->InitialDelay(), 400);
    c.Render();
    back.Render();
    EXPECT_EQ(Different(*c.Image, *back.Image), 0);
    EXPECT_EQ(c.At(b->GetThumbRect().Left + 5, (b->GetThumbRect().Top + b->GetThumbRect().Bottom) / 2), clNavy);
  }
  EXPECT_GE(GraphToolTypesList()->IndexOf(TLegendScrollBar::StaticClass()), 0);
  EXPECT_LT(GraphToolTypesList()->IndexOf(TGraphScrollBar::StaticClass()), 0);
  std::string name;
  GetElementEditorClassName(TLegendScrollBar::StaticClass(), name);
  EXPECT_EQ(name, "TScrollBarEditor");
}
