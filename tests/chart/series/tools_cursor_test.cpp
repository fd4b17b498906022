#include <gtest/gtest.h>

#include "chart/series/tools_cursor.h"
#include "chart/series/tools_drawline.h"
#include "chart/series/testkit/tools_testkit.h"

namespace {

struct TCursorChart : TToolChart {
  TCursorTool* Cursor;
  std::vector<int> Changes;
  TCursorChart() {
    Cursor = new TCursorTool(nullptr);
    Chart.Tools->Add(Cursor);
    Cursor->OnChange = [this](TCursorTool*, int, int, double, double, TChartSeries*, int Index) {
      Changes.push_back(Index);
    };
    Paint();
  }
};

}  // namespace

TEST(CursorTool, PlacedInTheMiddleAtFirstPaint) {
  TCursorChart m;
  TChartAxis* h = m.Chart.BottomAxis();
  TChartAxis* v = m.Chart.LeftAxis();
  EXPECT_EQ(m.Cursor->XPos, (h->StartPixel + h->EndPixel) / 2);
  EXPECT_EQ(m.Cursor->YPos, (v->StartPixel + v->EndPixel) / 2);
  EXPECT_DOUBLE_EQ(m.Cursor->XValue, h->PixelToValue(m.Cursor->XPos));
  EXPECT_EQ(m.Changes, std::vector<int>{-1});
}

TEST(CursorTool, GrabTolerance) {
  struct Case {
    TCursorToolStyle Style;
    int Dx, Dy;
    int Kind;
  };
  // Offsets from the crossing; the other coordinate is far from its line unless stated.
  const Case cases[] = {{cssBoth, 3, 3, 3},        {cssBoth, 4, 3, 1},      {cssBoth, 3, 4, 2},
                        {cssBoth, 40, 3, 1},       {cssBoth, 40, 4, 0},     {cssHorizontal, 0, 3, 1},
                        {cssHorizontal, 40, 4, 0}, {cssVertical, 3, 40, 2}, {cssVertical, 0, 3, 2},
                        {cssVertical, 4, 0, 0}};
  for (const Case& c : cases) {
    TCursorChart m;
    m.Cursor->SetStyle(c.Style);
    m.Paint();
    const int x = m.Cursor->XPos + c.Dx, y = m.Cursor->YPos + c.Dy;
    EXPECT_EQ(m.Cursor->HitTest(x, y), c.Kind) << c.Style << " " << c.Dx << "," << c.Dy;
    m.Down(x, y);
    EXPECT_EQ(m.Cursor->DragKind, c.Kind);
    m.Up(x, y);
  }
}

TEST(CursorTool, CrosshairDragMovesBothLinesAndXorIsErased) {
  TCursorChart m;
  m.Cursor->Pen()->SetColor(clBlue);
  m.Paint();
  const int x0 = m.Cursor->XPos, y0 = m.Cursor->YPos;
  m.Move(x0 + 1, y0 - 1);
  EXPECT_EQ(m.Chart.Cursor(), crSizeAll);
  m.Down(x0 + 1, y0 - 1);
  m.Move(x0 + 50, y0 + 30);
  m.Move(x0 - 70, y0 + 40);
  EXPECT_EQ(m.Cursor->XPos, x0 - 70);
  EXPECT_EQ(m.Cursor->YPos, y0 + 40);
  EXPECT_DOUBLE_EQ(m.Cursor->XValue, m.Chart.BottomAxis()->PixelToValue(x0 - 70));
  EXPECT_DOUBLE_EQ(m.Cursor->YValue, m.Chart.LeftAxis()->PixelToValue(y0 + 40));
  m.Up(x0 - 70, y0 + 40);
  // The moves drew no trace: the surface equals a fresh paint of the cursor where it stands.
  const std::vector<TColor> moved = m.Surface();
  m.Paint();
  EXPECT_EQ(CountDifferences(moved, m.Surface()), 0);
}

TEST(CursorTool, SnapTakesTheLowerIndexOnTiesAndNothingWithoutPoints) {
  TCursorChart m;
  m.Cursor->SetStyle(cssVertical);
  m.Cursor->SetSnap(true);
  m.Cursor->SetSeries(m.Series);
  std::vector<int> snaps;
  m.Cursor->OnSnapChange = [&](TCursorTool*, int, int, double, double, TChartSeries*, int I) { snaps.push_back(I); };
  // Half-way between x = 3 and x = 4 the distances tie.
  m.Cursor->XValue = 3.5;
  EXPECT_EQ(m.Cursor->SnapToSeries(), 3);
  EXPECT_DOUBLE_EQ(m.Cursor->XValue, 3);
  m.Paint();
  m.Down(m.Cursor->XPos, m.Cursor->YPos);
  m.Move(m.X(6.2), m.Cursor->YPos);
  EXPECT_DOUBLE_EQ(m.Cursor->XValue, 6);
  EXPECT_EQ(m.Cursor->XPos, m.X(6));
  m.Up(m.X(6.2), m.Cursor->YPos);
  EXPECT_EQ(snaps, std::vector<int>{6});
  // An empty series leaves the cursor where the mouse put it.
  m.Series->ClearValues();
  m.Paint();
  m.Down(m.Cursor->XPos, m.Cursor->YPos);
  m.Move(m.X(2.5), m.Cursor->YPos);
  EXPECT_DOUBLE_EQ(m.Cursor->XValue, m.Chart.BottomAxis()->PixelToValue(m.X(2.5)));
  EXPECT_EQ(m.Changes.back(), -1);
  m.Up(m.X(2.5), m.Cursor->YPos);
}

TEST(CursorTool, FollowMouseInsideTheAxesOnly) {
  TCursorChart m;
  m.Cursor->SetFollowMouse(true);
  m.Move(m.X(2), m.Y(30));
  EXPECT_EQ(m.Cursor->XPos, m.X(2));
  EXPECT_EQ(m.Cursor->YPos, m.Y(30));
  m.Move(m.Chart.ChartRect.Right + 20, m.Y(50));
  EXPECT_EQ(m.Cursor->XPos, m.X(2));
}

TEST(NearestTool, MarksTheNearestPointInsideTheChart) {
  TToolChart m;
  auto* t = new TNearestTool(nullptr);
  m.Chart.Tools->Add(t);
  t->SetSeries(m.Series);
  int changes = 0;
  t->OnChange = [&](TObject*) { ++changes; };
  m.Chart.DispatchMouseEnter();
  m.Move(m.X(4) + 3, m.Y(16) - 2);
  EXPECT_EQ(t->NearestIndex, 4);
  EXPECT_EQ(t->MouseX, m.X(4) + 3);
  EXPECT_EQ(changes, 1);
  // Points outside the chart rectangle are never marked.
  m.Chart.BottomAxis()->SetMinimumMaximum(0, 5);
  m.Paint();
  m.Move(m.Chart.ChartRect.Right - 1, m.Y(50));
  EXPECT_LE(t->NearestIndex, 5);
  EXPECT_EQ(TNearestTool::NearestPoint(m.Series, 20000, 20000, false), -1);
  // Leaving the chart forgets the point.
  m.Chart.DispatchMouseLeave();
  EXPECT_EQ(t->NearestIndex, -1);
}

TEST(NearestTool, ExclusiveOrMarkLeavesNoTrace) {
  TToolChart m;
  auto* t = new TNearestTool(nullptr);
  m.Chart.Tools->Add(t);
  t->SetSeries(m.Series);
  t->SetFullRepaint(false);
  t->Pen()->SetStyle(psSolid);
  t->Pen()->SetColor(clBlack);
  t->SetSize(6);
  m.Paint();
  const std::vector<TColor> clean = m.Surface();
  m.Chart.DispatchMouseEnter();
  m.Move(m.X(3), m.Y(9) + 10);
  EXPECT_EQ(t->NearestIndex, 3);
  EXPECT_GT(CountDifferences(clean, m.Surface()), 0);
  m.Move(m.X(7), m.Y(49));
  m.Chart.DispatchMouseLeave();
  EXPECT_EQ(CountDifferences(clean, m.Surface()), 0);
}

// -----------------------------------------------------------------------------------------------

namespace {

struct TDrawChart : TToolChart {
  TDrawLineTool* Tool;
  std::vector<std::string> Events;
  TDrawChart() {
    Tool = new TDrawLineTool(nullptr);
    Chart.Tools->Add(Tool);
    Tool->OnNewLine = [this](TObject*) { Events.push_back("new"); };
    Tool->OnSelect = [this](TObject*) { Events.push_back("select"); };
    Tool->OnDraggedLine = [this](TObject*) { Events.push_back("dragged"); };
    Paint();
  }
  void DrawLine(int X0, int Y0, int X1, int Y1) {
    Down(X0, Y0);
    Move((X0 + X1) / 2, (Y0 + Y1) / 2);
    Move(X1, Y1);
    Up(X1, Y1);
    Paint();
  }
};

}  // namespace

TEST(DrawLineTool, DrawsLinesInAxisValues) {
  TDrawChart m;
  m.Down(m.X(2), m.Y(20));
  m.Up(m.X(2), m.Y(20));
  EXPECT_EQ(m.Tool->Lines()->Count(), 0);  // a click adds nothing
  m.DrawLine(m.X(2), m.Y(20), m.X(6), m.Y(60));
  ASSERT_EQ(m.Tool->Lines()->Count(), 1);
  TDrawLine* l = m.Tool->Lines()->Line(0);
  EXPECT_DOUBLE_EQ(l->X0(), m.Chart.BottomAxis()->PixelToValue(m.X(2)));
  EXPECT_DOUBLE_EQ(l->Y1(), m.Chart.LeftAxis()->PixelToValue(m.Y(60)));
  EXPECT_EQ(m.Tool->Selected(), l);
  EXPECT_EQ(m.Events, std::vector<std::string>{"new"});
  EXPECT_FALSE(m.Chart.Zoomed);
}

TEST(DrawLineTool, RubberLineIsErasedExactly) {
  TDrawChart m;
  m.Tool->Pen()->SetColor(clBlue);
  const std::vector<TColor> clean = m.Surface();
  m.Down(m.X(2), m.Y(20));
  EXPECT_EQ(CountDifferences(clean, m.Surface()), 0);  // an empty rubber line
  m.Move(m.X(5), m.Y(60));
  const std::vector<TColor> first = m.Surface();
  EXPECT_GT(CountDifferences(clean, first), 0);
  m.Move(m.X(8), m.Y(30));
  m.Move(m.X(5), m.Y(60));
  EXPECT_EQ(CountDifferences(first, m.Surface()), 0);
  m.Move(m.X(2), m.Y(20));
  EXPECT_EQ(CountDifferences(clean, m.Surface()), 0);
  m.Up(m.X(2), m.Y(20));
  EXPECT_EQ(m.Tool->Lines()->Count(), 0);
}

TEST(DrawLineTool, HitsOnePixelBesideAndDragsWholeOrEnd) {
  TDrawChart m;
  m.DrawLine(m.X(2), m.Y(50), m.X(8), m.Y(50));
  TDrawLine* l = m.Tool->Lines()->Line(0);
  EXPECT_EQ(m.Tool->ClickedLine(m.X(5), m.Y(50) + 1), l);
  EXPECT_EQ(m.Tool->ClickedLine(m.X(5), m.Y(50) + 3), nullptr);
  // Dragging the body moves both ends by the mouse's way, stored in axis values.
  const double x0 = l->X0(), y0 = l->Y0();
  m.DrawLine(m.X(5), m.Y(50), m.X(5) + 20, m.Y(50) - 30);
  EXPECT_DOUBLE_EQ(l->X0(), m.Chart.BottomAxis()->PixelToValue(m.X(x0) + 20));
  EXPECT_DOUBLE_EQ(l->Y0(), m.Chart.LeftAxis()->PixelToValue(m.Y(y0) - 30));
  EXPECT_EQ(m.Tool->Lines()->Count(), 1);
  // On the selected line a handle drags that end only.
  const TPoint end = l->EndPoint();
  const double sx = l->X0();
  m.DrawLine(end.X + 2, end.Y - 2, end.X + 40, end.Y + 10);
  EXPECT_DOUBLE_EQ(l->X0(), sx);
  EXPECT_DOUBLE_EQ(l->X1(), m.Chart.BottomAxis()->PixelToValue(end.X + 40));
  EXPECT_EQ(m.Events, (std::vector<std::string>{"new", "dragged", "dragged"}));
  // After zooming out the line stays on its values.
  m.Chart.BottomAxis()->SetMinimumMaximum(-10, 20);
  m.Paint();
  EXPECT_EQ(l->EndPoint().X, m.X(l->X1()));
}

TEST(DrawLineTool, HandleOfAnUnselectedLineSelectsAndDragsItWhole) {
  TDrawChart m;
  m.DrawLine(m.X(1), m.Y(20), m.X(4), m.Y(20));
  m.DrawLine(m.X(6), m.Y(80), m.X(9), m.Y(80));
  TDrawLine* first = m.Tool->Lines()->Line(0);
  const TPoint start = first->StartPoint(), end = first->EndPoint();
  m.Events.clear();
  m.DrawLine(start.X - 2, start.Y - 2, start.X + 8, start.Y + 10);
  EXPECT_EQ(m.Tool->Selected(), first);
  EXPECT_EQ(m.Events, (std::vector<std::string>{"select", "dragged"}));
  EXPECT_EQ(first->StartPoint(), TPoint(start.X + 10, start.Y + 12));
  EXPECT_EQ(first->EndPoint(), TPoint(end.X + 10, end.Y + 12));
}

TEST(DrawLineTool, RefusedSelectionKeepsThePreviousOne) {
  TDrawChart m;
  m.DrawLine(m.X(1), m.Y(20), m.X(4), m.Y(20));
  m.DrawLine(m.X(6), m.Y(80), m.X(9), m.Y(80));
  TDrawLine* first = m.Tool->Lines()->Line(0);
  TDrawLine* second = m.Tool->Lines()->Line(1);
  EXPECT_EQ(m.Tool->Selected(), second);
  m.Tool->OnSelecting = [](TDrawLineTool*, TDrawLine*, bool& Allow) { Allow = false; };
  const double x0 = first->X0(), x0Second = second->X0();
  m.Events.clear();
  m.DrawLine(m.X(2), m.Y(20), m.X(2) + 30, m.Y(20) + 30);
  EXPECT_EQ(m.Tool->Selected(), second);
  EXPECT_TRUE(m.Events.empty());
  EXPECT_DOUBLE_EQ(first->X0(), x0);  // the refused line does not move
  EXPECT_DOUBLE_EQ(second->X0(), x0Second);
}

TEST(DrawLineTool, CopiedLineTakesItsOwnPen) {
  TDrawChart m;
  TDrawLine* a = m.Tool->Lines()->AddLine();
  TDrawLine* b = m.Tool->Lines()->AddLine();
  a->Pen()->SetColor(clGreen);
  a->Pen()->SetWidth(3);
  a->SetStyle(dlVertParallel);
  b->Assign(a);
  EXPECT_TRUE(b->HasOwnPen());
  EXPECT_EQ(b->Pen()->Color(), clGreen);
  EXPECT_EQ(b->Pen()->Width(), 3);
  EXPECT_EQ(b->Style(), dlVertParallel);
  TDrawLine* c = m.Tool->Lines()->AddLine();
  b->Assign(c);
  EXPECT_FALSE(b->HasOwnPen());
  // A destroyed selected line leaves no selection behind.
  m.Tool->SetSelected(a);
  delete a;
  EXPECT_EQ(m.Tool->Selected(), nullptr);
}
