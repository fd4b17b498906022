#include <gtest/gtest.h>

#include "chart_testkit.h"

namespace {

// A drawn chart with a series 0..10 x 0..100 on fixed axes, driven through the toolkit's input.
struct TMouseChart : TRecordedChart {
  std::vector<std::string> Events;
  TMouseChart() {
    Chart.Legend()->SetVisible(false);
    Chart.OnZoom = [this](TObject*) { Events.push_back("zoom"); };
    Chart.OnUndoZoom = [this](TObject*) { Events.push_back("undo"); };
    Chart.OnScroll = [this](TObject*) { Events.push_back("scroll"); };
    Draw();
  }
  TChartAxis* Bottom() { return Chart.BottomAxis(); }
  TChartAxis* Left() { return Chart.LeftAxis(); }
  void Drag(TMouseButton B, int X0, int Y0, int X1, int Y1) {
    Chart.DispatchMouseDown(B, {}, X0, Y0);
    Chart.DispatchMouseMove({}, (X0 + X1) / 2, (Y0 + Y1) / 2);
    Chart.DispatchMouseMove({}, X1, Y1);
    Chart.DispatchMouseUp(B, {}, X1, Y1);
  }
};

}  // namespace

TEST(ChartMouse, ZoomRectangleThenUndo) {
  TMouseChart m;
  const TRect r = m.Chart.ChartRect;
  const int x0 = r.Left + 40, x1 = r.Left + 140, y0 = r.Top + 30, y1 = r.Top + 130;
  const double bx0 = m.Bottom()->PixelToValue(x0), bx1 = m.Bottom()->PixelToValue(x1);
  const double ly0 = m.Left()->PixelToValue(y1), ly1 = m.Left()->PixelToValue(y0);
  m.Drag(mbLeft, x0, y0, x1, y1);
  EXPECT_EQ(m.Events, std::vector<std::string>{"zoom"});
  EXPECT_TRUE(m.Chart.Zoomed);
  EXPECT_DOUBLE_EQ(m.Bottom()->Minimum(), bx0);
  EXPECT_DOUBLE_EQ(m.Bottom()->Maximum(), bx1);
  EXPECT_DOUBLE_EQ(m.Left()->Minimum(), ly0);
  EXPECT_DOUBLE_EQ(m.Left()->Maximum(), ly1);
  EXPECT_FALSE(m.Chart.Zoom()->Active);
  // Dragging right to left undoes the zoom: the saved scales come back.
  m.Draw();
  m.Drag(mbLeft, x1, y1, x0, y0);
  EXPECT_EQ(m.Events, (std::vector<std::string>{"zoom", "undo"}));
  EXPECT_FALSE(m.Chart.Zoomed);
  EXPECT_EQ(m.Bottom()->Minimum(), 0);
  EXPECT_EQ(m.Bottom()->Maximum(), 10);
  EXPECT_EQ(m.Left()->Maximum(), 100);
}

TEST(ChartMouse, SmallDragsDoNotZoom) {
  struct Case {
    int Dx, Dy;
    TGraphZoomDirection Direction;
    bool Zooms;
  };
  const Case cases[] = {
      {16, 50, tzdBoth, false},     {17, 50, tzdBoth, true},    {50, 16, tzdBoth, false},
      {17, 3, tzdHorizontal, true}, {3, 17, tzdVertical, true}, {16, 80, tzdHorizontal, false},
  };
  for (const Case& c : cases) {
    TMouseChart m;
    m.Chart.Zoom()->SetDirection(c.Direction);
    const TRect r = m.Chart.ChartRect;
    m.Drag(mbLeft, r.Left + 20, r.Top + 20, r.Left + 20 + c.Dx, r.Top + 20 + c.Dy);
    EXPECT_EQ(m.Chart.Zoomed, c.Zooms) << c.Dx << "x" << c.Dy << " direction " << c.Direction;
    if (c.Zooms && c.Direction == tzdHorizontal) {
      EXPECT_EQ(m.Left()->Maximum(), 100);  // left axis untouched
    }
    if (c.Zooms && c.Direction == tzdVertical) {
      EXPECT_EQ(m.Bottom()->Maximum(), 10);
    }
  }
}

TEST(ChartMouse, ScrollFollowsTheMouse) {
  TMouseChart m;
  const TRect r = m.Chart.ChartRect;
  const int len = m.Bottom()->AxisLength;
  // Drag with the scroll button by half the axis length to the right: the range moves left by half.
  const int y = r.Top + 50;
  m.Chart.DispatchMouseDown(mbRight, {}, r.Left + 10, y);
  m.Chart.DispatchMouseMove({}, r.Left + 10 + len / 2, y);
  EXPECT_NEAR(m.Bottom()->Minimum(), -10.0 * (len / 2) / len, 1e-9);
  EXPECT_NEAR(m.Bottom()->Maximum() - m.Bottom()->Minimum(), 10, 1e-9);
  EXPECT_FALSE(m.Bottom()->Automatic());
  EXPECT_EQ(m.Events, std::vector<std::string>{"scroll"});
  // An application that refuses the scroll keeps the axis; OnScroll still fires.
  m.Chart.OnAllowScroll = [](TChartAxis*, double&, double&, bool& Allow) { Allow = false; };
  const double before = m.Bottom()->Minimum();
  m.Chart.DispatchMouseMove({}, r.Left + 60 + len / 2, y);
  EXPECT_EQ(m.Bottom()->Minimum(), before);
  EXPECT_EQ(m.Events.size(), 2u);
  // Leaving the chart rectangle ends the drag.
  m.Chart.DispatchMouseMove({}, r.Right + 5, y);
  EXPECT_FALSE(m.Chart.Panning->Active);
  m.Chart.DispatchMouseUp(mbRight, {}, r.Right + 5, y);
  // Undo brings back the range saved before the first scroll step.
  m.Chart.UndoZoom();
  EXPECT_EQ(m.Bottom()->Minimum(), 0);
  EXPECT_EQ(m.Bottom()->Maximum(), 10);
}

TEST(ChartMouse, WheelScrollsTheVerticalAxes) {
  TMouseChart m;
  m.Chart.DispatchMouseWheel({}, -120, 100, 100);
  EXPECT_DOUBLE_EQ(m.Left()->Minimum(), 3);
  EXPECT_DOUBLE_EQ(m.Left()->Maximum(), 103);
  m.Chart.DispatchMouseWheel({}, 120, 100, 100);
  m.Chart.DispatchMouseWheel({}, 120, 100, 100);
  EXPECT_NEAR(m.Left()->Minimum(), 3 - 3 - 3, 1e-9);
  EXPECT_EQ(m.Bottom()->Minimum(), 0);
}

TEST(ChartMouse, AnimatedZoomEndsOnTheTarget) {
  TMouseChart m;
  m.Chart.Zoom()->SetAnimated(true);
  m.Chart.Zoom()->SetAnimatedSteps(8);
  m.Chart.ZoomToValues(0, 10, 2, 4, 20, 40, 0, 100);
  EXPECT_EQ(m.Bottom()->Minimum(), 2);
  EXPECT_EQ(m.Bottom()->Maximum(), 4);
  EXPECT_EQ(m.Left()->Minimum(), 20);
  EXPECT_EQ(m.Events, std::vector<std::string>{"zoom"});
}

TEST(ChartMouse, PartsUnderThePoint) {
  TRecordedChart r;
  r.Chart.Title()->Text()->Add("Title text");
  r.Chart.Foot()->Text()->Add("Foot text");
  r.Chart.Legend()->SetLegendStyle(lsSeries);
  r.Draw();
  TChartPartHit hit;
  auto partAt = [&](int X, int Y) {
    GetChartPartAt(&r.Chart, TPoint(X, Y), hit);
    return hit.Kind;
  };
  const TRect t = r.Chart.Title()->ShapeBounds();
  EXPECT_EQ(partAt((t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2), cpTitle);
  const TRect f = r.Chart.Foot()->ShapeBounds();
  EXPECT_EQ(partAt((f.Left + f.Right) / 2, (f.Top + f.Bottom) / 2), cpFoot);
  const TRect l = r.Chart.Legend()->ShapeBounds();
  EXPECT_EQ(partAt(l.Left + 5, r.Chart.Legend()->TitleBottom() + 3), cpLegend);
  EXPECT_EQ(hit.ValueIndex, 0);
  TChartAxis* left = r.Chart.LeftAxis();
  EXPECT_EQ(partAt(left->AxisLinePos - 2, left->CenterPixel), cpAxis);
  EXPECT_EQ(hit.Axis, left);
  TChartAxis* bottom = r.Chart.BottomAxis();
  EXPECT_EQ(partAt(bottom->CenterPixel, bottom->AxisLinePos + 2), cpAxis);
  EXPECT_EQ(hit.Axis, bottom);
  const TRect c = r.Chart.ChartRect;
  EXPECT_EQ(partAt((c.Left + c.Right) / 2, c.Top + 5), cpChartRect);
  EXPECT_EQ(partAt(1, 1), cpNone);
  r.Series->SetActive(false);
  EXPECT_EQ(partAt((c.Left + c.Right) / 2, c.Top + 5), cpNone);
}

TEST(ChartMouse, ClicksReachTheirHandlers) {
  TMouseChart m;
  m.Chart.Title()->Text()->Add("Click me");
  m.Draw();
  std::vector<std::string> clicks;
  m.Chart.OnClickTitle = [&](TCustomChart*, TChartTitle*, TMouseButton, TShiftState, int, int) {
    clicks.push_back("title");
  };
  m.Chart.OnClickBackground = [&](TCustomChart* C, TMouseButton, TShiftState, int, int) {
    clicks.push_back("background");
    C->CancelMouse = false;  // let the zoom start
  };
  m.Chart.OnClickAxis = [&](TCustomChart*, TChartAxis*, TMouseButton, TShiftState, int, int) {
    clicks.push_back("axis");
  };
  const TRect t = m.Chart.Title()->ShapeBounds();
  m.Chart.DispatchMouseDown(mbLeft, {}, (t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2);
  m.Chart.DispatchMouseUp(mbLeft, {}, (t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2);
  EXPECT_FALSE(m.Chart.Zoom()->Active);
  const TRect c = m.Chart.ChartRect;
  m.Chart.DispatchMouseDown(mbLeft, {}, c.Left + 50, c.Top + 50);
  EXPECT_TRUE(m.Chart.Zoom()->Active);  // the handler let it through
  m.Chart.DispatchMouseUp(mbLeft, {}, c.Left + 50, c.Top + 50);
  TChartAxis* left = m.Chart.LeftAxis();
  m.Chart.DispatchMouseDown(mbLeft, {}, left->AxisLinePos - 2, left->CenterPixel);
  m.Chart.DispatchMouseUp(mbLeft, {}, left->AxisLinePos - 2, left->CenterPixel);
  EXPECT_EQ(clicks, (std::vector<std::string>{"title", "background", "axis"}));
}

TEST(ChartMouse, ToolsSeeTheMouseFirst) {
  TMouseChart m;
  std::vector<std::string> log;
  m.Chart.Tools->Add(new TLogTool(&log, "t"));
  const TRect c = m.Chart.ChartRect;
  m.Drag(mbLeft, c.Left + 10, c.Top + 10, c.Left + 100, c.Top + 100);
  EXPECT_EQ(log, (std::vector<std::string>{"t:down", "t:move", "t:move", "t:up"}));
  m.Chart.DispatchMouseEnter();
  m.Chart.DispatchMouseLeave();
  EXPECT_EQ(log.back(), "t:MouseLeave");
}
