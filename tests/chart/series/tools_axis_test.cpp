#include <gtest/gtest.h>

#include "chart/engine/registries.h"
#include "chart/engine/series_marks.h"
#include "chart/series/tools_axis.h"
#include "chart/series/tools_colorline.h"
#include "chart/series/tools_marks.h"
#include "chart/series/tools_misc.h"
#include "chart/series/tools_register.h"
#include "platform/forms.h"
#include "chart/series/testkit/tools_testkit.h"

TEST(ToolRegistration, SeventeenTypesInOrderAndGoneAfterwards) {
  InitChartModule();
  RegisterStandardTools();
  TGraphToolTypes* types = GraphToolTypesList();
  ASSERT_NE(types, nullptr);
  const char* names[] = {"Cursor",     "Drag Marks",  "Axis Arrows", "Draw Line",   "Nearest Point", "Color Band",
                         "Color Line", "Rotate",      "Image",       "Mark Tips",   "Annotation",    "Series Animation",
                         "Grid Band",  "Axis Scroll", "Rectangle",   "Clip Series", "Drag Point"};
  const char* editors[] = {"TCursorToolEditor",    "TDragMarksToolEditor", "TAxisArrowToolEditor",
                           "TDrawLineEdit",        "TNearestToolEdit",     "TColorBandToolEditor",
                           "TColorLineToolEditor", "TRotateToolEditor",    "TChartImageToolEditor",
                           "TMarksTipToolEdit",    "TAnnotationToolEdit",  "TSeriesAnimToolEditor",
                           "TGridBandToolEdit",    "TAxisToolEditor",      "TAnnotationToolEdit",
                           "TSeriesToolEditor",    "TDragPointToolEdit"};
  const int first = types->Count() - 17;
  ASSERT_GE(first, 0);
  for (int i = 0; i < 17; ++i) {
    TGraphToolClass c = types->GetToolType(first + i);
    std::unique_ptr<TComponent> tool(c->Create(nullptr));
    std::string text, editor;
    static_cast<TGraphCustomTool*>(tool.get())->GetDescription(text);
    c->GetEditorClassName(editor);
    EXPECT_EQ(text, names[i]);
    EXPECT_EQ(editor, editors[i]) << names[i];
    EXPECT_NE(FindClass(c->ClassName()), nullptr);
  }
  EXPECT_NE(FindClass("TDragPointToolEdit"), nullptr);
  UnregisterStandardTools();
  EXPECT_EQ(types->IndexOf(TColorLineTool::StaticClass()), -1);
  EXPECT_EQ(types->IndexOf(TDragPointTool::StaticClass()), -1);
  RegisterStandardTools();  // again, as a later start would
  EXPECT_GE(types->IndexOf(TDragPointTool::StaticClass()), 0);
  UnregisterStandardTools();
}

// -----------------------------------------------------------------------------------------------

namespace {

struct TArrowChart : TToolChart {
  TAxisArrowTool* Arrows;
  std::vector<bool> Clicks;
  int Scrolls = 0;
  TArrowChart() {
    Arrows = new TAxisArrowTool(nullptr);
    Chart.Tools->Add(Arrows);
    Arrows->SetAxis(Chart.BottomAxis());
    Arrows->OnClick = [this](TAxisArrowTool*, bool AtStart) { Clicks.push_back(AtStart); };
    Chart.OnScroll = [this](TObject*) { ++Scrolls; };
    Paint();
  }
  int AxisY() { return Chart.BottomAxis()->AxisLinePos; }
  int StartX() { return Chart.BottomAxis()->StartPixel + 5; }
  int EndX() { return Chart.BottomAxis()->EndPixel - 5; }
};

}  // namespace

TEST(AxisArrowTool, ClickNearTheAxisScrollsByTheStep) {
  struct Case {
    int Dy;
    bool AtStart;
    double Minimum;  // expected after the click
  };
  const Case cases[] = {{2, true, 1}, {-2, false, -1}, {3, true, 0}, {-3, false, 0}};
  for (const Case& c : cases) {
    TArrowChart m;
    m.Down(c.AtStart ? m.StartX() : m.EndX(), m.AxisY() + c.Dy);
    m.Up(c.AtStart ? m.StartX() : m.EndX(), m.AxisY() + c.Dy);
    EXPECT_DOUBLE_EQ(m.Chart.BottomAxis()->Minimum(), c.Minimum) << c.Dy << " " << c.AtStart;
    EXPECT_DOUBLE_EQ(m.Chart.BottomAxis()->Maximum() - m.Chart.BottomAxis()->Minimum(), 10);
    EXPECT_EQ(m.Clicks.size(), std::abs(c.Dy) < 3 ? 1u : 0u);
    EXPECT_EQ(m.Scrolls, std::abs(c.Dy) < 3 ? 1 : 0);
  }
}

TEST(AxisArrowTool, ZeroPercentAndRefusedScrollDoNothing) {
  TArrowChart m;
  m.Arrows->SetScrollPercent(0);
  m.Down(m.StartX(), m.AxisY());
  EXPECT_TRUE(m.Clicks.empty());
  EXPECT_EQ(m.Chart.BottomAxis()->Minimum(), 0);
  m.Up(m.StartX(), m.AxisY());
  m.Arrows->SetScrollPercent(10);
  m.Chart.OnAllowScroll = [](TChartAxis*, double&, double&, bool& Allow) { Allow = false; };
  m.Down(m.StartX(), m.AxisY());
  EXPECT_EQ(m.Chart.BottomAxis()->Minimum(), 0);
  EXPECT_EQ(m.Scrolls, 0);
  EXPECT_EQ(m.Clicks, std::vector<bool>{true});
}

TEST(AxisArrowTool, LogarithmicAxisWidensAndNarrowsByTheFactor) {
  TArrowChart m;
  TChartAxis* b = m.Chart.BottomAxis();
  b->SetMinimumMaximum(1, 1000);
  b->SetLogarithmic(true);
  m.Paint();
  m.Down(m.StartX(), m.AxisY());  // start arrow: the maximum grows by the factor
  EXPECT_DOUBLE_EQ(b->Maximum(), 10000);
  EXPECT_DOUBLE_EQ(b->Minimum(), 1);
  m.Down(m.EndX(), m.AxisY());  // end arrow: the minimum shrinks by it
  EXPECT_DOUBLE_EQ(b->Minimum(), 0.1);
  m.Down(m.EndX(), m.AxisY(), mbLeft, {ssShift});  // with Shift both scale
  EXPECT_DOUBLE_EQ(b->Minimum(), 1);
  EXPECT_DOUBLE_EQ(b->Maximum(), 100000);
}

TEST(AxisScrollTool, DraggingAnAxisMovesItsRangeWithTheMouse) {
  TToolChart m;
  auto* t = new TAxisScrollTool(nullptr);
  m.Chart.Tools->Add(t);
  TChartAxis* b = m.Chart.BottomAxis();
  const int y = b->AxisLinePos + 3;
  const int len = b->EndPixel - b->StartPixel;
  m.Down(b->CenterPixel, y);
  EXPECT_EQ(m.Chart.Zoom()->Active, true);  // the press itself is not consumed
  m.Move(b->CenterPixel + len / 5, y);
  EXPECT_NEAR(b->Minimum(), -10.0 * (len / 5) / len, 1e-9);
  EXPECT_NEAR(b->Maximum() - b->Minimum(), 10, 1e-9);
  m.Up(b->CenterPixel + len / 5, y);
  m.Move(b->CenterPixel, y);
  EXPECT_EQ(m.Chart.Cursor(), crHandPoint);
}

TEST(GridBandTool, StripsAlternateFromTheFirst) {
  TToolChart m;
  m.Chart.BottomAxis()->SetMinimumMaximum(0, 3);
  m.Chart.BottomAxis()->SetIncrement(1);
  m.Chart.BottomAxis()->Grid()->SetVisible(false);
  m.Chart.LeftAxis()->Grid()->SetVisible(false);
  auto* t = new TGridBandTool(nullptr);
  m.Chart.Tools->Add(t);
  t->SetAxis(m.Chart.BottomAxis());
  t->Band1()->SetColor(clRed);
  t->Band1()->SetStyle(bsSolid);
  t->Band2()->SetColor(clBlue);
  t->Band2()->SetStyle(bsSolid);
  m.Paint();
  // Ticks at 0..3 as the axis calculated them: the strips between them alternate.
  const TAxisTicks& ticks = m.Chart.BottomAxis()->TickPositions;
  ASSERT_GE(ticks.size(), 3u);
  const int y = (m.Chart.ChartRect.Top + m.Chart.ChartRect.Bottom) / 2;
  std::vector<TColor> seen;
  for (size_t i = 1; i < ticks.size(); ++i) seen.push_back(m.At((ticks[i - 1] + ticks[i]) / 2, y));
  for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], i % 2 == 0 ? clBlue : clRed) << i;
  // One label: nothing drawn.
  TToolChart one;
  one.Series->SetActive(false);
  one.Chart.BottomAxis()->Grid()->SetVisible(false);
  const std::vector<TColor> plain = one.Surface();
  one.Chart.BottomAxis()->SetMinimumMaximum(0, 0.5);
  one.Chart.BottomAxis()->SetIncrement(1);
  auto* t1 = new TGridBandTool(nullptr);
  one.Chart.Tools->Add(t1);
  t1->SetAxis(one.Chart.BottomAxis());
  t1->Band1()->SetColor(clRed);
  one.Paint();
  if (one.Chart.BottomAxis()->TickPositions.size() < 2) {
    int red = 0;
    for (TColor c : one.Surface()) red += c == clRed;
    EXPECT_EQ(red, 0);
  }
}

// A band tool that notes, as it is freed, whether its axis is still one of its chart's.
struct TWatchedBandTool : TGridBandTool {
  bool* AxisAlive;
  explicit TWatchedBandTool(bool* AAxisAlive) : TGridBandTool(nullptr), AxisAlive(AAxisAlive) {}
  ~TWatchedBandTool() override {
    TCustomAxisPanel* c = ParentChart();
    *AxisAlive = !Axis() || (c && c->Axes && c->Axes->IndexOf(Axis()) >= 0);
  }
};

TEST(GridBandTool, NeverReachesAFreedAxis) {
  // A chart freed with a band tool on its left axis frees the tool while the axis exists (the
  // tool unhooks itself from it).
  for (bool custom : {false, true}) {
    bool alive = false;
    {
      TToolChart m;
      TChartAxis* axis = custom ? new TChartAxis(m.Chart.CustomAxes()) : m.Chart.LeftAxis();
      auto* t = new TWatchedBandTool(&alive);
      m.Chart.Tools->Add(t);
      t->SetAxis(axis);
      m.Paint();
    }
    EXPECT_TRUE(alive) << custom;
  }
  // A custom axis freed under the tool: the tool lets go of it, paints nothing and is freed later.
  TToolChart m;
  auto* axis = new TChartAxis(m.Chart.CustomAxes());
  auto* t = new TGridBandTool(nullptr);
  m.Chart.Tools->Add(t);
  t->SetAxis(axis);
  delete axis;
  EXPECT_EQ(t->Axis(), nullptr);
  m.Paint();
  delete t;
}

// -----------------------------------------------------------------------------------------------

TEST(DragMarksTool, DraggedMarkKeepsItsArrowStart) {
  TToolChart m;
  m.Series->Marks()->SetVisible(true);
  m.Paint();
  auto* t = new TDragMarksTool(nullptr);
  m.Chart.Tools->Add(t);
  TSeriesMarkPosition* p = m.Series->Marks()->Positions.GetPosition(5);
  ASSERT_NE(p, nullptr);
  EXPECT_FALSE(p->UserMoved);
  const TPoint start = p->ArrowStart, end = p->ArrowEnd, lt = p->LeftTop;
  const int x = lt.X + p->Width / 2, y = lt.Y + p->Height / 2;
  m.Move(x, y);
  EXPECT_EQ(m.Chart.Cursor(), crHandPoint);
  m.Down(x, y);
  m.Move(x + 15, y - 20);
  m.Up(x + 15, y - 20);
  m.Paint();
  p = m.Series->Marks()->Positions.GetPosition(5);
  EXPECT_TRUE(p->UserMoved);
  EXPECT_EQ(p->LeftTop, TPoint(lt.X + 15, lt.Y - 20));
  EXPECT_EQ(p->ArrowEnd, TPoint(end.X + 15, end.Y - 20));
  EXPECT_EQ(p->ArrowStart, start);
  EXPECT_FALSE(m.Chart.Zoomed);
}

TEST(MarksTipTool, TipsOnMoveOrClickWithoutChangingTheMarks) {
  TToolChart m;
  m.Series->Pointer()->SetVisible(true);
  for (int i = 0; i <= 10; ++i) m.Series->SetLabelAt(i, "P" + std::to_string(i));
  m.Paint();
  auto* a = new TMarksTipTool(nullptr);
  auto* b = new TMarksTipTool(nullptr);
  m.Chart.Tools->Add(a);
  m.Chart.Tools->Add(b);
  b->SetSeries(m.Series);
  b->SetStyle(smsValue);
  b->SetActive(false);
  m.Move(m.X(3), m.Y(9));
  EXPECT_EQ(m.Chart.Hint(), "P3");
  EXPECT_EQ(Application->CurrentHint(), "P3");
  EXPECT_EQ(m.Series->Marks()->Style(), smsLabel);
  // Away from the points a tool leaves the hint alone while another tips tool is on the chart.
  m.Move(m.X(3) + 30, m.Y(9) - 40);
  EXPECT_EQ(m.Chart.Hint(), "P3");
  // Clicking mode: a plain move shows nothing.
  a->SetMouseAction(mtmClick);
  EXPECT_EQ(m.Chart.Hint(), "");
  m.Move(m.X(4), m.Y(16));
  EXPECT_EQ(m.Chart.Hint(), "");
  a->OnGetText = [](TMarksTipTool*, std::string& T) { T += "!"; };
  m.Down(m.X(4), m.Y(16));
  m.Up(m.X(4), m.Y(16));
  EXPECT_EQ(m.Chart.Hint(), "P4!");
  // The last tips tool on the chart clears the hint away from the points.
  delete b;
  a->SetMouseAction(mtmMove);
  a->OnGetText = nullptr;
  m.Move(m.X(5), m.Y(25));
  EXPECT_EQ(m.Chart.Hint(), "P5");
  m.Move(m.X(5) + 30, m.Y(25) - 60);
  EXPECT_EQ(m.Chart.Hint(), "");
  EXPECT_EQ(Application->CurrentHint(), "");
  // The delay is the application's.
  a->SetMouseDelay(123);
  EXPECT_EQ(Application->HintPause(), 123);
  EXPECT_EQ(TMarksTipTool(nullptr).MouseDelay(), 123);
  a->SetMouseDelay(500);
}
