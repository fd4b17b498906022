// Bubbles and Gantt bars: sizes and bars from their axes, links between tasks, clicks, ranges,
// bad input; the Gantt drag tool, the page-number tool and the grid transpose tool.
#include <gtest/gtest.h>

#include <cmath>

#include "chart/engine/chart_axis.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/bubble_gantt_series.h"
#include "chart/extra/chart_file.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/gantt_page_tools.h"
#include "chart/extra/grid_series.h"
#include "chart/series/standard_series.h"
#include "platform/streaming.h"
#include "platform/streams.h"
#include "chart/series/testkit/series_testkit.h"
#include "chart/series/testkit/tools_testkit.h"

namespace {
struct BubbleChart : TSeriesChart {
  TBubbleSeries* S;
  BubbleChart() {
    S = Add<TBubbleSeries>();
    S->SetColorEachPoint(false);
    S->SetSeriesColor(clRed);
    Axes(-10, 10, -10, 10);
  }
};
}  // namespace

TEST(BubbleSeries, RadiusIsMeasuredOnTheVerticalAxisOrOnBothWhenNotSquared) {
  for (bool squared : {true, false}) {
    SCOPED_TRACE(squared);
    BubbleChart c;
    c.S->SetSquared(squared);
    c.S->AddBubblePoint(0, 0, 4);
    c.Render();
    const int cx = c.X(0), cy = c.Y(0);
    const int v = c.Y(0) - c.Y(4);                // vertical half size in pixels
    const int h = squared ? v : c.X(4) - c.X(0);  // horizontal half size
    if (!squared) {
      ASSERT_NE(h, v);
    }
    EXPECT_EQ(c.At(cx, cy - v + 3), clRed);
    EXPECT_EQ(c.At(cx, cy - v - 2), clWhite);
    EXPECT_EQ(c.At(cx + h - 3, cy), clRed);
    EXPECT_EQ(c.At(cx + h + 2, cy), clWhite);
    // Clicks: inside the ellipse, not in the corner of its bounding box.
    EXPECT_EQ(c.S->PointIndexAt(cx + h / 2, cy + v / 2), 0);
    EXPECT_EQ(c.S->PointIndexAt(cx + h - 2, cy + v - 2), -1);
  }
}

TEST(BubbleSeries, RangeCoversEachBubbleAndBadRadiiDrawNothingBig) {
  TBubbleSeries s(nullptr);
  s.AddBubblePoint(1, 10, 3);
  s.AddBubblePoint(2, -5, 4);
  EXPECT_EQ(s.HighestY(), 13);
  EXPECT_EQ(s.LowestY(), -9);
  BubbleChart c;
  c.S->AddBubblePoint(0, 0, 0);
  c.S->AddBubblePoint(5, 5, -3);
  c.Render();
  EXPECT_LE(c.Count(clRed, TRect(c.X(5) - 10, c.Y(5) - 10, c.X(5) + 10, c.Y(5) + 10)), 1);
  EXPECT_LE(c.Count(clRed, TRect(c.X(0) - 10, c.Y(0) - 10, c.X(0) + 10, c.Y(0) + 10)), 1);
}

TEST(BubbleSeries, StreamsRadiiAndSquared) {
  TBubbleSeries s(nullptr);
  s.SetSquared(false);
  s.AddBubblePoint(1, 2, 3);
  TBubbleSeries r(nullptr);
  TextToComponent(ComponentToText(&s), &r);
  EXPECT_FALSE(r.Squared());
  ASSERT_EQ(r.PointCount(), 1);
  EXPECT_EQ(r.RadiusValues()->Value(0), 3);
}

namespace {
struct GanttChart : TSeriesChart {
  TGanttSeries* S;
  GanttChart() {
    S = Add<TGanttSeries>();
    S->SetColorEachPoint(false);
    S->SetSeriesColor(clRed);
    S->ConnectingPen()->SetColor(clBlue);
    S->StartValues()->SetDateTime(false);
    S->EndValues()->SetDateTime(false);
    Axes(0, 20, 0, 4);
  }
};
}  // namespace

TEST(GanttSeries, BarsRunFromStartToEndAndLinkToTheirNextTask) {
  GanttChart c;
  c.S->AddGanttTask(2, 6, 1);
  c.S->AddGanttTask(10, 16, 3);
  c.S->NextTask()->SetValue(0, 1);
  c.Render();
  const int y0 = c.Y(1), y1 = c.Y(3);
  for (double x : {2.5, 4.0, 5.5}) EXPECT_EQ(c.At(c.X(x), y0), clRed) << x;
  EXPECT_EQ(c.At(c.X(1.5), y0), clWhite);
  // The link: right from the end, up at the middle, right to the next start.
  const int x1 = c.X(6), xn = c.X(10), m = x1 + (xn - x1) / 2;
  EXPECT_EQ(c.At(m, (y0 + y1) / 2), clBlue);
  EXPECT_EQ(c.At((x1 + m) / 2, y0), clBlue);
  EXPECT_EQ(c.At((m + xn) / 2, y1), clBlue);
  // Clicks anywhere along a bar find it.
  EXPECT_EQ(c.S->PointIndexAt(c.X(5), y0), 0);
  EXPECT_EQ(c.S->PointIndexAt(c.X(15), y1 + 2), 1);
  EXPECT_EQ(c.S->PointIndexAt(c.X(8), y0), -1);
}

TEST(GanttSeries, NextTaskOutOfRangeDrawsNoLinkAndBackwardsTasksDoNotCrash) {
  for (double next : {-1.0, 2.0, 7.0, -5.0}) {
    GanttChart c;
    c.S->AddGanttTask(2, 6, 1);
    c.S->AddGanttTask(10, 16, 3);
    EXPECT_EQ(c.S->NextTask()->Value(0), -1);
    EXPECT_EQ(c.S->NextTask()->Value(1), -1);
    c.S->NextTask()->SetValue(0, next);
    c.Render();
    EXPECT_EQ(c.Count(clBlue, TRect(0, 0, 400, 300)), 0) << next;
  }
  GanttChart c;
  c.S->AddGanttTask(8, 4, 2);  // ends before it starts
  c.Render();
  EXPECT_EQ(c.At(c.X(6), c.Y(2)), clRed);
  EXPECT_EQ(c.S->HighestX(), 8);
}

TEST(GanttSeries, SampleTasksLinkForwardOnly) {
  TGanttSeries s(nullptr);
  s.FillSampleValues(15);
  ASSERT_GT(s.PointCount(), 0);
  EXPECT_LE(s.PointCount(), 15);
  for (int i = 0; i < s.PointCount(); ++i) {
    const double n = s.NextTask()->Value(i);
    if (n < 0) continue;
    EXPECT_GT(n, i);
    EXPECT_GT(s.StartValues()->Value(static_cast<int>(n)), s.EndValues()->Value(i));
  }
  for (int i = 0; i < s.PointCount(); ++i) {  // rows of ten, kept by sorting
    EXPECT_GE(s.YValues()->Value(i), 0);
    EXPECT_LT(s.YValues()->Value(i), 10);
  }
  EXPECT_EQ(GanttSampleText(0), "Design");
  EXPECT_EQ(GanttSampleText(42), "Banking");
}

// ---- Gantt tool ----------------------------------------------------------------------------------

namespace {
struct GanttToolChart : TToolChart {
  TGanttSeries* S;
  TGanttTool* Tool;
  GanttToolChart() : TToolChart(400, 300, false) {
    S = new TGanttSeries(nullptr);
    Chart.AttachSeries(S);
    S->StartValues()->SetDateTime(false);
    S->EndValues()->SetDateTime(false);
    S->Pointer()->SetVertSize(8);
    S->AddGanttTask(20, 40, 50);
    Chart.BottomAxis()->SetMinimumMaximum(0, 100);
    Tool = new TGanttTool(nullptr);
    Chart.Tools->Add(Tool);
    Tool->SetSeries(S);
    Paint();
  }
  ~GanttToolChart() {
    Chart.Tools->Clear();
    Chart.DetachSeries(S);
    delete S;
  }
  double Start() { return S->StartValues()->Value(0); }
  double End() { return S->EndValues()->Value(0); }
};
}  // namespace

TEST(GanttTool, DragsMovesAndResizesBars) {
  struct Case {
    const char* Name;
    bool AllowResize;
    double Grab;  // axis value pressed (plus the pixel offset)
    int Offset;
    double To;          // axis value released
    double Start, End;  // expected
  };
  const Case cases[] = {
      {"inside moves", true, 30, 0, 40, 30, 50},
      {"near start shortens from the left", true, 20, 3, 30, 30, 40},
      {"start stops at the end", true, 20, 3, 60, 40, 40},
      {"end stretches", true, 40, -2, 55, 20, 55},
      {"end stops at the start", true, 40, 0, 5, 20, 20},
      {"no resize drags whole", false, 20, 1, 30, 30, 50},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    GanttToolChart c;
    c.Tool->SetAllowResize(k.AllowResize);
    int drags = 0;
    c.Tool->OnDragBar = [&](TGanttTool*, int Bar) {
      EXPECT_EQ(Bar, 0);
      ++drags;
    };
    const int y = c.Y(50), x0 = c.X(k.Grab) + k.Offset;
    const int dx = c.X(k.To) - c.X(k.Grab);
    c.Down(x0, y);
    c.Move(x0 + dx / 2, y);
    c.Move(x0 + dx, y);
    c.Up(x0 + dx, y);
    EXPECT_NEAR(c.Start(), k.Start, 0.6);
    EXPECT_NEAR(c.End(), k.End, 0.6);
    EXPECT_EQ(drags, std::string(k.Name).find("whole") != std::string::npos || k.Grab == 30 ? 2 : 0);
    EXPECT_EQ(c.Tool->PressedBar(), -1);
  }
}

TEST(GanttTool, CursorShowsWhatAPressWouldGrab) {
  GanttToolChart c;
  const int y = c.Y(50);
  c.Move(c.X(20) - 2, y);
  EXPECT_EQ(c.Chart.Cursor(), crSizeWE);
  c.Move(c.X(20) + 2, y);  // inside the bar dragging wins
  EXPECT_EQ(c.Chart.Cursor(), crHandPoint);
  c.Move(c.X(30), y);
  EXPECT_EQ(c.Chart.Cursor(), crHandPoint);
  // Away from the row nothing is grabbed.
  c.Down(c.X(30), c.Y(20));
  EXPECT_EQ(c.Tool->PressedBar(), -1);
}

// ---- page number and grid transpose -------------------------------------------------------------

TEST(PageNumTool, ShowsPageOfPagesAndStoresOnlyAChangedFormat) {
  TToolChart c(400, 300, true);
  c.Chart.SetMaxPointsPerPage(3);  // 11 points: 4 pages
  c.Chart.SetPage(2);
  auto* t = new TPageNumTool(nullptr);
  c.Chart.Tools->Add(t);
  EXPECT_EQ(t->GetText(), "Page 2 of 4");
  EXPECT_EQ(ComponentToText(t).find("Page %d"), std::string::npos);
  t->SetFormat("%d/%d");
  EXPECT_EQ(t->GetText(), "2/4");
  TPageNumTool r(nullptr);
  TextToComponent(ComponentToText(t), &r);
  EXPECT_EQ(r.Format(), "%d/%d");
  t->SetFormat("no numbers %s");
  EXPECT_NO_THROW(t->GetText());
}

TEST(GridTransposeTool, SwapsXAndZAndTwiceRestores) {
  TCustom3DGridSeries s(nullptr);
  for (int x = 1; x <= 3; ++x)
    for (int z = 1; z <= 5; ++z) s.AddXYZ(x, x * 10 + z, z);
  TGridTransposeTool t(nullptr);
  t.TransposeGrid();  // no series: nothing
  t.SetSeries(&s);
  t.TransposeGrid();
  ASSERT_EQ(s.PointCount(), 15);
  EXPECT_EQ(s.XValues()->MaxValue(), 5);
  EXPECT_EQ(s.ZValues()->MaxValue(), 3);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(s.YValues()->Value(i), s.ZValues()->Value(i) * 10 + s.XValues()->Value(i));
  t.TransposeGrid();
  EXPECT_EQ(s.XValues()->MaxValue(), 3);
  EXPECT_EQ(s.ZValues()->MaxValue(), 5);
}

TEST(GanttTool, ToolsComeBackFromAChartFileBoundToTheirSeries) {
  InitStandardSeries();
  InitExtraSeries();
  TSeriesChart c;
  auto* s = c.Add<TGanttSeries>();
  s->SetName("Tasks");
  s->AddGanttTask(46000, 46010, 1, "Design");
  auto* drag = new TGanttTool(nullptr);
  drag->SetName("GanttTool1");
  c.Chart.Tools->Add(drag);
  drag->SetSeries(s);
  drag->SetMinPixels(9);
  auto* page = new TPageNumTool(nullptr);
  page->SetName("PageNum1");
  c.Chart.Tools->Add(page);
  page->SetFormat("%d/%d");
  for (bool text : {false, true}) {
    TMemoryStream m;
    WriteNativeChart(&c.Chart, m, true, text);
    m.SetPosition(0);
    TChart back(nullptr);
    TCustomChart* t = &back;
    ReadNativeChart(t, m);
    ASSERT_EQ(back.Tools->Count(), 2);
    auto* d = dynamic_cast<TGanttTool*>(back.Tools->ToolAt(0));
    auto* p = dynamic_cast<TPageNumTool*>(back.Tools->ToolAt(1));
    ASSERT_TRUE(d && p);
    EXPECT_EQ(d->Series(), back.SeriesAt(0));
    EXPECT_EQ(d->MinPixels(), 9);
    EXPECT_EQ(p->Format(), "%d/%d");
  }
}
