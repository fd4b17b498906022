#include <gtest/gtest.h>

#include "chart/series/tools_colorline.h"
#include "chart/series/testkit/tools_testkit.h"

namespace {

// A vertical colour line on the bottom axis of a tool chart.
struct TLineChart : TToolChart {
  TColorLineTool* Line;
  std::vector<std::string> Events;
  explicit TLineChart(double Value = 5) {
    Line = new TColorLineTool(nullptr);
    Chart.Tools->Add(Line);
    Line->SetAxis(Chart.BottomAxis());
    Line->Pen()->SetColor(clRed);
    Line->SetValue(Value);
    Line->OnBeginDragLine = [this](TColorLineTool*) { Events.push_back("begin"); };
    Line->OnDragLine = [this](TColorLineTool*) { Events.push_back("drag"); };
    Line->OnEndDragLine = [this](TColorLineTool*) { Events.push_back("end"); };
    Paint();
  }
  int MidY() { return (Chart.ChartRect.Top + Chart.ChartRect.Bottom) / 2; }
};

// The surface of the same chart with the line standing at Value (Active false: no line).
std::vector<TColor> CleanSurface(double Value, bool Active = true) {
  TLineChart ref(Value);
  ref.Line->SetActive(Active);
  ref.Paint();
  return ref.Surface();
}

}  // namespace

TEST(ColorLineTool, PressGrabsWithinTwoPixelsInsideTheChart) {
  struct Case {
    int Dx;
    int Y;  // 0: middle, -1: above the chart rectangle
    TMouseButton Button;
    bool Drags;
  };
  const Case cases[] = {{0, 0, mbLeft, true},   {2, 0, mbLeft, true},   {-2, 0, mbLeft, true}, {3, 0, mbLeft, false},
                        {-3, 0, mbLeft, false}, {0, -1, mbLeft, false}, {0, 0, mbRight, false}};
  for (const Case& c : cases) {
    TLineChart m;
    const int y = c.Y == 0 ? m.MidY() : m.Chart.ChartRect.Top - 3;
    m.Down(m.X(5) + c.Dx, y, c.Button);
    EXPECT_EQ(m.Line->Dragging(), c.Drags) << c.Dx << " " << c.Y << " " << c.Button;
    m.Up(m.X(5) + c.Dx, y, c.Button);
    EXPECT_FALSE(m.Line->Dragging());
  }
}

TEST(ColorLineTool, DragFollowsTheMouseAndStopsAtTheAxisEnd) {
  TLineChart m;
  TChartAxis* b = m.Chart.BottomAxis();
  const int y = m.MidY();
  m.Down(m.X(5), y);
  m.Move(m.X(7) + 1, y);
  EXPECT_DOUBLE_EQ(m.Line->Value(), b->PixelToValue(m.X(7) + 1));
  m.Move(m.X(2), y);
  EXPECT_DOUBLE_EQ(m.Line->Value(), b->PixelToValue(m.X(2)));
  // Past the end of the axis the line stays at the axis end.
  m.Move(m.Chart.ChartRect.Right + 40, y);
  EXPECT_DOUBLE_EQ(m.Line->Value(), b->PixelToValue(b->EndPixel));
  m.Move(m.Chart.ChartRect.Left - 40, y);
  EXPECT_DOUBLE_EQ(m.Line->Value(), 0);
  // Any button ends the drag.
  m.Up(m.Chart.ChartRect.Left - 40, y, mbRight);
  EXPECT_FALSE(m.Line->Dragging());
  EXPECT_EQ(m.Events, (std::vector<std::string>{"begin", "drag", "drag", "drag", "drag", "end"}));
  // Moves after the release leave the line alone.
  m.Move(m.X(6), y);
  EXPECT_DOUBLE_EQ(m.Line->Value(), 0);
}

TEST(ColorLineTool, StylesAndClamping) {
  TLineChart m;
  m.Line->SetStyle(clCenter);
  EXPECT_DOUBLE_EQ(m.Line->LineValue(), 5);
  m.Line->SetStyle(clMaximum);
  m.Paint();
  // A drag turns the style into a custom value at the first move that changes the value.
  const int y = m.MidY();
  m.Down(m.X(10), y);
  EXPECT_EQ(m.Line->Style(), clMaximum);
  m.Move(m.X(10), y);
  EXPECT_EQ(m.Line->Style(), clMaximum);
  m.Move(m.X(8), y);
  EXPECT_EQ(m.Line->Style(), clCustom);
  m.Up(m.X(8), y);
  // A value outside the axis is pulled in at the next paint, unless the line cannot be dragged.
  m.Line->SetValue(25);
  m.Paint();
  EXPECT_DOUBLE_EQ(m.Line->Value(), 10);
  m.Line->SetAllowDrag(false);
  m.Line->SetValue(25);
  m.Paint();
  EXPECT_DOUBLE_EQ(m.Line->Value(), 25);
  m.Line->SetAllowDrag(true);
  m.Line->SetNoLimitDrag(true);
  m.Line->SetValue(-5);
  m.Paint();
  EXPECT_DOUBLE_EQ(m.Line->Value(), -5);
}

TEST(ColorLineTool, ExclusiveOrFeedbackLeavesNoMarks) {
  const std::vector<TColor> noLine = CleanSurface(5, false);
  TLineChart m;
  const int y = m.MidY();
  const int paintsBefore = m.Paints;
  m.Down(m.X(5), y);
  // The drag runs in exclusive-or mode: no repaint per move, and after each move the surface is
  // the chart without the line except on the column of the line's new place.
  const int path[] = {m.X(6), m.X(3), m.X(3) + 1, m.X(8)};
  for (int x : path) {
    m.Move(x, y);
    m.Update();
    const std::vector<TColor> s = m.Surface();
    int outside = 0, onLine = 0;
    for (int py = 0; py < m.Chart.Height(); ++py)
      for (int px = 0; px < m.Chart.Width(); ++px) {
        const size_t i = static_cast<size_t>(py * m.Chart.Width() + px);
        if (px == x)
          onLine += s[i] != noLine[i];
        else
          outside += s[i] != noLine[i];
      }
    EXPECT_EQ(outside, 0) << "marks left beside the line at " << x;
    EXPECT_GT(onLine, m.Chart.ChartRect.Height() / 2) << "the dragged line shows at " << x;
  }
  EXPECT_EQ(m.Paints, paintsBefore + 1);  // only the press took the line off the chart's image
  m.Up(m.X(8), y);
  m.Update();
  EXPECT_EQ(CountDifferences(m.Surface(), CleanSurface(m.Line->Value())), 0);
}

TEST(ColorLineTool, ExclusiveOrFeedbackIsExactIn3D) {
  // In 3D the line has a back copy and depth edges: moving away and back must give the very
  // surface the first move gave, for either axis.
  for (bool vertical : {false, true}) {
    TLineChart m;
    m.Chart.SetView3D(true);
    if (vertical) {
      m.Line->SetAxis(m.Chart.LeftAxis());
      m.Line->SetValue(50);
    }
    m.Paint();
    const auto at = [&](double V) { return vertical ? TPoint(m.X(5), m.Y(V)) : TPoint(m.X(V), m.MidY()); };
    const double v0 = vertical ? 50 : 5, v1 = vertical ? 70 : 7, v2 = vertical ? 20 : 2;
    m.Down(at(v0).X, at(v0).Y);
    ASSERT_TRUE(m.Line->Dragging()) << vertical;
    m.Move(at(v1).X, at(v1).Y);
    const std::vector<TColor> first = m.Surface();
    m.Move(at(v2).X, at(v2).Y);
    EXPECT_GT(CountDifferences(first, m.Surface()), 0);
    m.Move(at(v1).X, at(v1).Y);
    EXPECT_EQ(CountDifferences(first, m.Surface()), 0) << vertical;
    m.Up(at(v1).X, at(v1).Y);
  }
}

TEST(ColorLineTool, DragRepaintRedrawsAtEveryMove) {
  TLineChart m;
  m.Line->SetDragRepaint(true);
  const int y = m.MidY();
  m.Down(m.X(5), y);
  const int before = m.Paints;
  m.Move(m.X(6), y);
  m.Update();
  m.Move(m.X(7), y);
  m.Update();
  EXPECT_EQ(m.Paints, before + 2);
  EXPECT_EQ(CountDifferences(m.Surface(), CleanSurface(m.Line->Value())), 0);
  m.Up(m.X(7), y);
}

TEST(ColorLineTool, HandlerMovesAPartnerLineOnAnotherChart) {
  TLineChart a, b;
  a.Line->OnDragLine = [&](TColorLineTool* L) { b.Line->SetValue(L->Value()); };
  const int y = a.MidY();
  a.Down(a.X(5), y);
  const int aPaints = a.Paints, bPaints = b.Paints;
  a.Move(a.X(2), y);
  a.Update();
  b.Update();
  // The partner chart repainted with its line at the new value; the dragged one did not.
  EXPECT_EQ(b.Paints, bPaints + 1);
  EXPECT_EQ(a.Paints, aPaints);
  EXPECT_DOUBLE_EQ(b.Line->Value(), a.Line->Value());
  EXPECT_EQ(CountDifferences(b.Surface(), CleanSurface(a.Line->Value())), 0);
  a.Up(a.X(2), y);
}

TEST(ColorLineTool, PartnerOnTheSameChartRepaintsWithoutMarks) {
  TLineChart m;
  auto* partner = new TColorLineTool(nullptr);
  m.Chart.Tools->Add(partner);
  partner->SetAxis(m.Chart.LeftAxis());
  partner->SetAllowDrag(false);
  m.Line->OnDragLine = [&](TColorLineTool* L) { partner->SetValue(L->Value() * 10); };
  const int y = m.MidY();
  m.Down(m.X(5), y);
  for (int x : {m.X(6), m.X(2), m.X(9)}) {
    m.Move(x, y);
    m.Update();  // the partner's repaint comes between the moves
  }
  m.Up(m.X(9), y);
  m.Update();
  TLineChart ref(m.Line->Value());
  auto* refPartner = new TColorLineTool(nullptr);
  ref.Chart.Tools->Add(refPartner);
  refPartner->SetAxis(ref.Chart.LeftAxis());
  refPartner->SetAllowDrag(false);
  refPartner->SetValue(partner->Value());
  ref.Paint();
  EXPECT_EQ(CountDifferences(m.Surface(), ref.Surface()), 0);
}

TEST(ColorLineTool, ConsumedPressStopsLaterToolsAndZoom) {
  TLineChart m;
  struct TRecorder : TGraphCustomTool {
    std::vector<std::string> Seen;
    TRecorder() : TGraphCustomTool(nullptr) {}
    void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton, TShiftState, int, int) override {
      Seen.push_back(Kind == meDown ? "down" : Kind == meUp ? "up" : "move");
    }
  };
  auto* rec = new TRecorder();
  m.Chart.Tools->Add(rec);
  ASSERT_TRUE(m.Chart.Zoom()->Allow());
  const int y = m.MidY();
  // A press on the line: the later tool and the zoom never see it, nor the drag's moves.
  m.Down(m.X(5), y);
  EXPECT_FALSE(m.Chart.Zoom()->Active);
  m.Move(m.X(8), y + 60);
  m.Up(m.X(8), y + 60);
  EXPECT_FALSE(m.Chart.Zoomed);
  EXPECT_EQ(m.Chart.BottomAxis()->Maximum(), 10);
  EXPECT_EQ(rec->Seen, std::vector<std::string>{"up"});
  // A press elsewhere reaches the later tool and zooms.
  rec->Seen.clear();
  m.Paint();
  m.Down(m.X(1), y - 50);
  EXPECT_TRUE(m.Chart.Zoom()->Active);
  m.Move(m.X(3), y + 50);
  m.Up(m.X(3), y + 50);
  EXPECT_EQ(rec->Seen, (std::vector<std::string>{"down", "move", "up"}));
  EXPECT_TRUE(m.Chart.Zoomed);
}

TEST(ColorLineTool, HoverSetsTheSplitCursor) {
  TLineChart m;
  m.Move(m.X(5) + 1, m.MidY());
  EXPECT_EQ(m.Chart.Cursor(), crHSplit);
  m.Move(m.X(5) + 20, m.MidY());
  EXPECT_NE(m.Chart.Cursor(), crHSplit);
  auto* h = new TColorLineTool(nullptr);
  m.Chart.Tools->Add(h);
  h->SetAxis(m.Chart.LeftAxis());
  h->SetValue(50);
  m.Paint();
  m.Move(m.X(8), m.Y(50) - 2);
  EXPECT_EQ(m.Chart.Cursor(), crVSplit);
}

TEST(ColorBandTool, ReversedValuesPaintTheSameAndOutOfRangeNothing) {
  const auto surface = [](double A, double B) {
    TToolChart m;
    auto* band = new TColorBandTool(nullptr);
    m.Chart.Tools->Add(band);
    band->SetAxis(m.Chart.BottomAxis());
    band->SetColor(clYellow);
    band->SetDrawBehind(false);
    band->SetStartValue(A);
    band->SetEndValue(B);
    m.Paint();
    return std::make_pair(m.Surface(), band->BandRect());
  };
  const auto ab = surface(2, 6), ba = surface(6, 2);
  EXPECT_EQ(CountDifferences(ab.first, ba.first), 0);
  EXPECT_GT(ab.second.Width(), 0);
  const auto out = surface(12, 15);
  EXPECT_EQ(out.second, TRect(0, 0, 0, 0));
  TToolChart plain;
  EXPECT_EQ(CountDifferences(out.first, plain.Surface()), 0);
}

TEST(ColorBandTool, DraggedEdgeMovesTheBand) {
  TToolChart m;
  auto* band = new TColorBandTool(nullptr);
  m.Chart.Tools->Add(band);
  band->SetAxis(m.Chart.BottomAxis());
  band->SetStartValue(2);
  band->SetEndValue(6);
  band->SetResizeStart(true);
  int clicks = 0;
  band->OnClick = [&](TObject*, TMouseButton, TShiftState, int, int) { ++clicks; };
  m.Paint();
  const int y = (m.Chart.ChartRect.Top + m.Chart.ChartRect.Bottom) / 2;
  m.Down(m.X(2), y);
  EXPECT_TRUE(band->StartEdgeLine()->Dragging());
  m.Move(m.X(4), y);
  EXPECT_DOUBLE_EQ(band->StartValue(), m.Chart.BottomAxis()->PixelToValue(m.X(4)));
  m.Up(m.X(4), y);
  EXPECT_FALSE(band->StartEdgeLine()->Dragging());
  // The end edge is not resizable: a press there is a click inside the band.
  m.Paint();
  m.Down(m.X(5), y);
  m.Up(m.X(5), y);
  EXPECT_EQ(clicks, 2);
  EXPECT_DOUBLE_EQ(band->EndValue(), 6);
}
