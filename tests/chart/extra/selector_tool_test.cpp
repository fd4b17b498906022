// The selector: what a click selects (legend, title, axis, series, chart area, an annotation over a
// series), the handles each selection shows, dragging with its 3-pixel start, resizing the chart
// from its corner, clicks it ignores, and the tool back from a chart file.
#include <gtest/gtest.h>

#include <string>

#include "chart/engine/registries.h"
#include "chart/extra/chart_file.h"
#include "chart/extra/extra_series.h"
#include "chart/engine/series_marks.h"
#include "chart/extra/selector_tool.h"
#include "chart/series/line_series.h"
#include "chart/series/standard_series.h"
#include "chart/series/testkit/series_testkit.h"
#include "chart/series/testkit/tools_testkit.h"
#include "chart/series/tools_annotation.h"
#include "platform/streams.h"

namespace {

struct SelectorChart {
  TToolChart T{400, 300};
  TSelectorTool* Tool = new TSelectorTool(nullptr);
  int Dragging = 0, Dragged = 0, Selected = 0;
  SelectorChart() {
    T.Chart.Legend()->SetVisible(true);
    T.Chart.Title()->Text()->SetText("Selector");
    T.Chart.Tools->Add(Tool);
    Tool->Brush()->SetColor(clRed);
    Tool->OnDragging = [this](TObject*) { ++Dragging; };
    Tool->OnDragged = [this](TObject*) { ++Dragged; };
    Tool->OnSelected = [this](TObject*) { ++Selected; };
    T.Paint();
  }
  void Click(int X, int Y, TShiftState S = {}) {
    T.Down(X, Y, mbLeft, S);
    T.Up(X, Y, mbLeft, S);
    T.Paint();
  }
};

TPoint Centre(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }

}  // namespace

TEST(SelectorTool, ClickSelectsAPartAndMarksItWithHandles) {
  SelectorChart c;
  TChartLegend* legend = c.T.Chart.Legend();
  const TRect lb = legend->BoxRect;
  c.Click(Centre(lb).X, Centre(lb).Y);
  EXPECT_EQ(c.Tool->Part().Kind, cpLegend);
  EXPECT_EQ(c.Tool->Shape(), legend);
  EXPECT_EQ(c.Selected, 1);
  const std::vector<TPoint> corners{{lb.Left, lb.Top}, {lb.Right, lb.Top}, {lb.Left, lb.Bottom}, {lb.Right, lb.Bottom}};
  EXPECT_EQ(c.Tool->Handles(), corners);
  EXPECT_EQ(c.T.At(lb.Left, lb.Top), clRed);        // the handle's fill
  EXPECT_EQ(c.T.At(lb.Left - 3, lb.Top), clBlack);  // its frame, 3 pixels out
  // The title, an axis, the chart area and a series each select their own part.
  TChartTitle* title = c.T.Chart.Title();
  c.Click(Centre(title->BoxRect).X, Centre(title->BoxRect).Y);
  EXPECT_EQ(c.Tool->Part().Kind, cpTitle);
  EXPECT_EQ(c.Tool->Shape(), title);
  TChartAxis* left = c.T.Chart.LeftAxis();
  const TRect ar = left->GetAxisRect();
  c.Click(ar.Left + 2, Centre(ar).Y);
  EXPECT_EQ(c.Tool->Part().Kind, cpAxis);
  EXPECT_EQ(c.Tool->Part().Axis, left);
  EXPECT_EQ(c.Tool->Handles().front(), TPoint(ar.Left, ar.Top));
  const TRect cr = c.T.Chart.ChartRect;
  c.Click(cr.Right - 5, cr.Bottom - 30);
  EXPECT_EQ(c.Tool->Part().Kind, cpChartRect);
  EXPECT_EQ(c.Tool->Wall(), c.T.Chart.BackWall());
  EXPECT_EQ(c.Tool->Shape(), nullptr);
  EXPECT_EQ(c.Tool->Handles().back(), TPoint(cr.Right, cr.Bottom));
  c.Click(c.T.X(5), c.T.Y(25));
  EXPECT_EQ(c.Tool->Part().Kind, cpSeries);
  EXPECT_EQ(c.Tool->Part().Series, c.T.Series);
  EXPECT_EQ(c.Tool->Handles().size(), 11u);  // every one of the 11 visible points
  EXPECT_EQ(c.Tool->Handles()[3], TPoint(c.T.X(3), c.T.Y(9)));
  // A double click changes nothing.
  c.Click(Centre(lb).X, Centre(lb).Y, TShiftState{ssDouble});
  EXPECT_EQ(c.Tool->Part().Kind, cpSeries);
  // Printed output shows no handles.
  c.T.Chart.Printing = true;
  c.Tool->HandleChartStage(tdsAfterDraw);
  c.T.Chart.Printing = false;
  EXPECT_TRUE(c.Tool->Handles().empty());
  std::string text;
  c.Tool->GetDescription(text);
  EXPECT_EQ(text, "Selector");
}

TEST(SelectorTool, LongSeriesShowEveryTwentiethPoint) {
  struct Case {
    int Points;
    size_t Handles;
    int Second;
  } cases[] = {{100, 25, 4}, {15, 15, 1}, {41, 21, 2}};
  for (const Case& k : cases) {
    SelectorChart c;
    c.T.Series->ClearValues();
    for (int i = 0; i < k.Points; ++i) c.T.Series->AddXY(i, 50 + (i % 2));
    c.T.Chart.BottomAxis()->SetMinimumMaximum(0, k.Points - 1);
    c.T.Paint();
    c.Click(c.T.X(k.Points / 2), c.T.Y(50 + (k.Points / 2) % 2));
    ASSERT_EQ(c.Tool->Part().Kind, cpSeries) << k.Points;
    EXPECT_EQ(c.Tool->Handles().size(), k.Handles) << k.Points;
    EXPECT_EQ(c.Tool->Handles()[1].X, c.T.X(k.Second)) << k.Points;
  }
}

TEST(SelectorTool, AnAnnotationOverASeriesWinsTheClick) {
  SelectorChart c;
  auto* note = new TAnnotationTool(nullptr);
  c.T.Chart.Tools->Add(note);
  note->SetText("Over the line");
  note->SetLeft(c.T.X(5) - 10);
  note->SetTop(c.T.Y(25) - 5);
  c.T.Paint();
  c.Click(c.T.X(5), c.T.Y(25));
  EXPECT_EQ(c.Tool->Annotation(), note);
  EXPECT_EQ(c.Tool->Shape(), note->Shape());
  EXPECT_EQ(c.Tool->Part().Kind, cpNone);
  // Freeing the annotation clears the selection.
  delete note;
  EXPECT_EQ(c.Tool->Shape(), nullptr);
  c.T.Paint();
}

TEST(SelectorTool, DraggingStartsBeyondTwoPixelsThenFollowsTheMouse) {
  SelectorChart c;
  TChartLegend* legend = c.T.Chart.Legend();
  const TPoint at = Centre(legend->BoxRect);
  const int left = legend->Left(), top = legend->Top();
  c.T.Down(at.X, at.Y);
  c.T.Move(at.X + 1, at.Y);
  c.T.Move(at.X + 2, at.Y - 2);
  EXPECT_EQ(legend->Left(), left);
  EXPECT_EQ(legend->Top(), top);
  EXPECT_FALSE(legend->CustomPosition());
  c.T.Move(at.X + 3, at.Y);
  EXPECT_EQ(legend->Left(), left + 3);
  EXPECT_TRUE(legend->CustomPosition());
  c.T.Move(at.X - 20, at.Y + 1);
  EXPECT_EQ(legend->Left(), left - 20);
  EXPECT_EQ(legend->Top(), top + 1);
  EXPECT_EQ(c.Dragging, 4);
  EXPECT_EQ(c.Dragged, 0);
  c.T.Up(at.X - 20, at.Y + 1);
  EXPECT_EQ(c.Dragged, 1);
  c.T.Paint();
  EXPECT_EQ(legend->BoxRect.Left, left - 20);
  // A click that does not move fires no OnDragged; without AllowDrag nothing moves.
  const TPoint now = Centre(legend->BoxRect);
  c.Click(now.X, now.Y);
  EXPECT_EQ(c.Dragged, 1);
  c.Tool->SetAllowDrag(false);
  c.T.Down(now.X, now.Y);
  c.T.Move(now.X + 30, now.Y);
  c.T.Up(now.X + 30, now.Y);
  EXPECT_EQ(legend->Left(), left - 20);
  EXPECT_EQ(c.Tool->Shape(), legend);
}

TEST(SelectorTool, ResizesTheChartFromItsCornerWhenAllowed) {
  SelectorChart c;
  int resized = 0, resizing = 0;
  c.Tool->OnResized = [&](TObject*) { ++resized; };
  c.Tool->OnResizing = [&](TObject*) { ++resizing; };
  // Not allowed: the same drag only selects.
  c.T.Down(395, 295);
  c.T.Move(350, 260);
  c.T.Up(350, 260);
  EXPECT_EQ(c.T.Chart.Width(), 400);
  EXPECT_FALSE(c.Tool->Resizing());
  c.Tool->SetAllowResizeChart(true);
  c.T.Chart.SetAlign(alLeft);
  c.T.Down(393, 292);
  EXPECT_TRUE(c.Tool->Resizing());
  c.T.Move(350, 260);
  EXPECT_EQ(c.T.Chart.Align(), alNone);
  EXPECT_EQ(c.T.Chart.Width(), 350);
  EXPECT_EQ(c.T.Chart.Height(), 260);
  c.T.Up(350, 260);
  EXPECT_EQ(resizing, 1);
  EXPECT_EQ(resized, 1);
  EXPECT_FALSE(c.Tool->Resizing());
}

TEST(SelectorTool, ComesBackFromAChartFileWithTheSamePixels) {
  InitStandardSeries();
  InitExtraSeries();
  InitChartOutput();
  TSeriesChart c;
  auto* s = c.Add<TLineSeries>();
  s->SetName("Series1");
  for (int i = 0; i < 5; ++i) s->AddXY(i, i);
  auto* tool = new TSelectorTool(nullptr);
  tool->SetName("Selector1");
  c.Chart.Tools->Add(tool);
  tool->SetHandleSize(6);
  tool->SetAllowDrag(false);
  tool->SetAllowResizeChart(true);
  tool->Brush()->SetColor(clLime);
  for (bool text : {false, true}) {
    TMemoryStream m;
    WriteNativeChart(&c.Chart, m, true, text);
    m.SetPosition(0);
    TSeriesChart back;
    TCustomChart* target = &back.Chart;
    ReadNativeChart(target, m);
    auto* t = dynamic_cast<TSelectorTool*>(back.Chart.Tools->ToolAt(0));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->HandleSize(), 6);
    EXPECT_FALSE(t->AllowDrag());
    EXPECT_TRUE(t->AllowResizeChart());
    c.Render();
    back.Render();
    int different = 0;
    for (int y = 0; y < 300; ++y)
      for (int x = 0; x < 400; ++x) different += c.At(x, y) != back.At(x, y);
    EXPECT_EQ(different, 0);
    // Nothing selected: the handles sit at the chart's corners, 6 pixels in.
    EXPECT_EQ(back.At(6, 6), clLime);
  }
  EXPECT_GE(GraphToolTypesList()->IndexOf(TSelectorTool::StaticClass()), 0);
}

TEST(SelectorTool, AClickOnAMarkShowsTheCornersOfEveryMark) {
  SelectorChart c;
  c.T.Series->Marks()->SetVisible(true);
  c.T.Paint();
  TSeriesMarkPosition* p = c.T.Series->Marks()->Positions.Position(4);
  ASSERT_NE(p, nullptr);
  const TRect r = p->GetBounds();
  c.Click((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  ASSERT_EQ(c.Tool->Part().Kind, cpSeriesMarks);
  EXPECT_EQ(c.Tool->Part().Series, c.T.Series);
  const std::vector<TPoint>& h = c.Tool->Handles();
  ASSERT_EQ(h.size(), 4u * 11);
  EXPECT_EQ(h[16], TPoint(r.Left, r.Top));
  EXPECT_EQ(h[19], TPoint(r.Right, r.Bottom));
}

TEST(SelectorTool, DraggingDrawsTheChartBelowOnceAndShowsWhatAFullDrawingShows) {
  struct Case {
    const char* Name;
    bool View3D;
    int Shape;  // 0 legend, 1 title, 2 annotation
  } cases[] = {{"legend", false, 0}, {"legend in 3D", true, 0}, {"title", false, 1}, {"annotation", false, 2}};
  for (const Case& k : cases) {
    SelectorChart c;
    c.T.Chart.SetView3D(k.View3D);
    c.T.Series->Marks()->SetVisible(true);
    auto* note = new TAnnotationTool(nullptr);
    c.T.Chart.Tools->Add(note);
    note->SetText("Note");
    note->SetLeft(60);
    note->SetTop(60);
    int below = 0;
    c.T.Chart.OnBeforeDrawSeries = [&](TObject*) { ++below; };
    c.T.Paint();
    const TRect box = k.Shape == 0   ? c.T.Chart.Legend()->BoxRect
                      : k.Shape == 1 ? c.T.Chart.Title()->BoxRect
                                     : note->Shape()->BoxRect;
    const TPoint at = Centre(box);
    // The picture a drawing from scratch gives, the kept layer left alone.
    auto full = [&c] {
      c.T.Chart.SetKeepBaseLayer(false);
      c.T.Paint();
      std::vector<TColor> v = c.T.Surface();
      c.T.Chart.SetKeepBaseLayer(true);
      return v;
    };
    c.T.Down(at.X, at.Y);
    c.T.Update();
    // The first move may give the shape's room back to the chart; the later ones only move it.
    c.T.Move(at.X - 10, at.Y + 6);
    c.T.Update();
    const int afterFirst = below;
    for (int d = 11; d <= 40; d += 7) {
      c.T.Move(at.X - d, at.Y + d / 2);
      c.T.Update();
    }
    EXPECT_EQ(below, afterFirst) << k.Name;
    const std::vector<TColor> dragged = c.T.Surface();
    EXPECT_EQ(CountDifferences(dragged, full()), 0) << k.Name;
    // A change of the chart below, made while dragging, and a drawing into a bitmap between two
    // moves (another size, the geometry of that drawing) each end the reuse: the next move
    // shows the chart in full.
    c.T.Move(at.X - 45, at.Y + 18);
    c.T.Update();
    c.Tool->OnDragging = [&](TObject*) { c.T.Series->SetSeriesColor(clFuchsia); };
    c.T.Move(at.X - 50, at.Y + 20);
    c.T.Update();
    c.Tool->OnDragging = nullptr;
    const std::vector<TColor> changed = c.T.Surface();
    EXPECT_EQ(CountDifferences(changed, full()), 0) << k.Name;
    c.T.Move(at.X - 52, at.Y + 22);
    c.T.Update();
    delete c.T.Chart.CreateBitmap(clWhite, TRect(0, 0, 200, 150), pf24bit);
    c.T.Move(at.X - 55, at.Y + 25);
    c.T.Update();
    const std::vector<TColor> elsewhere = c.T.Surface();
    EXPECT_EQ(CountDifferences(elsewhere, full()), 0) << k.Name;
    c.T.Up(at.X - 55, at.Y + 25);
    EXPECT_FALSE(c.T.Chart.HasBaseLayer()) << k.Name;
    delete note;
  }
}
