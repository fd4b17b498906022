#include <gtest/gtest.h>

#include "chart/series/tools_annotation.h"
#include "chart/series/tools_colorline.h"
#include "chart/series/tools_drawline.h"
#include "chart/series/tools_editor.h"
#include "chart/series/tools_misc.h"
#include "platform/bitmap.h"
#include "platform/streaming.h"
#include "chart/series/testkit/tools_testkit.h"

TEST(AnnotationTool, EmptyTextStillDrawsABox) {
  TToolChart m;
  auto* a = new TAnnotationTool(nullptr);
  m.Chart.Tools->Add(a);
  a->Shape()->SetColor(clYellow);
  m.Paint();
  int x, y;
  TRect box;
  EXPECT_EQ(a->CalcBox(x, y, box), 1);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 10);
  EXPECT_GT(box.Right - box.Left, 6);  // one blank wide plus the margins
  EXPECT_EQ(m.At((box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2), clYellow);
  // Two lines make the box twice as high as one.
  a->SetText("first\rsecond line");
  TRect two;
  EXPECT_EQ(a->CalcBox(x, y, two), 2);
  EXPECT_EQ(two.Bottom - two.Top - 4, 2 * (box.Bottom - box.Top - 4));
  int clicks = 0;
  a->OnClick = [&](TAnnotationTool*, TMouseButton, TShiftState, int, int) { ++clicks; };
  m.Down(two.Left + 2, two.Top + 2);
  m.Up(two.Left + 2, two.Top + 2);
  m.Down(two.Right + 2, two.Top + 2);
  m.Up(two.Right + 2, two.Top + 2);
  EXPECT_EQ(clicks, 1);
}

TEST(AnnotationTool, CalloutJoinsTheBoxToItsPoint) {
  TToolChart m;
  m.Series->SetActive(false);
  auto* a = new TAnnotationTool(nullptr);
  m.Chart.Tools->Add(a);
  a->SetText("note");
  a->Callout()->Arrow()->Show();
  a->Callout()->Arrow()->SetColor(clRed);
  a->Callout()->SetXPosition(300);
  a->Callout()->SetYPosition(200);
  m.Paint();
  int x, y;
  TRect box;
  a->CalcBox(x, y, box);
  // The line starts at the box corner nearest the point (right, bottom) and ends at the point.
  int red = 0;
  for (int i = 1; i < 10; ++i) {
    const int px = box.Right + (300 - box.Right) * i / 10, py = box.Bottom + (200 - box.Bottom) * i / 10;
    for (int dy = -1; dy <= 1; ++dy) red += m.At(px, py + dy) == clRed;
  }
  EXPECT_GE(red, 9);
}

TEST(AnnotationTool, SettingWidthSwitchesAutoSizeOff) {
  TToolChart m;
  auto* a = new TAnnotationTool(nullptr);
  m.Chart.Tools->Add(a);
  a->SetText("Hello");
  m.Paint();
  a->SetLeft(100);
  a->SetTop(60);
  a->SetWidth(120);
  EXPECT_FALSE(a->AutoSize());
  m.Paint();
  EXPECT_EQ(a->Width(), 120);
  int x, y;
  TRect box;
  a->CalcBox(x, y, box);
  EXPECT_EQ(x, 104);
  EXPECT_EQ(y, 62);
  EXPECT_EQ(box.Left, 100);
  // Corners by Position when no custom place is set.
  a->SetPosition(ppRightBottom);
  a->SetAutoSize(true);
  a->CalcBox(x, y, box);
  EXPECT_GT(x, m.Chart.Width() / 2);
  EXPECT_GT(y, m.Chart.Height() / 2);
}

TEST(RectangleTool, DragsAndResizesWithAMinimumSize) {
  struct Case {
    int Dx;  // press offset from the left edge
    bool Resizes;
  };
  for (const Case c : {Case{3, true}, Case{4, false}}) {
    TToolChart m;
    auto* r = new TRectangleTool(nullptr);
    m.Chart.Tools->Add(r);
    m.Paint();
    const TRect b0 = r->Shape()->BoxRect;
    const int y = (b0.Top + b0.Bottom) / 2;
    m.Down(b0.Left + c.Dx, y);
    m.Move(b0.Left + c.Dx + 20, y + 5);
    m.Up(b0.Left + c.Dx + 20, y + 5);
    const TRect b = r->Shape()->BoxRect;
    if (c.Resizes) {
      EXPECT_EQ(b.Left, b0.Left + 20);
      EXPECT_EQ(b.Right, b0.Right);
      EXPECT_EQ(b.Top, b0.Top);
    } else {
      EXPECT_EQ(b.Left, b0.Left + 20);
      EXPECT_EQ(b.Right, b0.Right + 20);
      EXPECT_EQ(b.Top, b0.Top + 5);
    }
    EXPECT_FALSE(m.Chart.Zoomed);
  }
  // A right edge dragged past the left one stops three pixels from it.
  TToolChart m;
  auto* r = new TRectangleTool(nullptr);
  m.Chart.Tools->Add(r);
  m.Paint();
  const TRect b0 = r->Shape()->BoxRect;
  const int y = (b0.Top + b0.Bottom) / 2;
  m.Down(b0.Right - 1, y);
  m.Move(b0.Left - 30, y);
  m.Up(b0.Left - 30, y);
  EXPECT_EQ(r->Shape()->BoxRect.Right, b0.Left + 3);
  m.Move(b0.Left, y);
  EXPECT_EQ(m.Chart.Cursor(), crSizeWE);
}

TEST(ChartImageTool, StretchesThePictureClippedToTheChart) {
  TToolChart m;
  m.Series->SetActive(false);
  auto* t = new TChartImageTool(nullptr);
  m.Chart.Tools->Add(t);
  TBitmap bmp(4, 4);
  bmp.Canvas()->Brush()->SetColor(clFuchsia);
  bmp.Canvas()->FillRect(TRect(0, 0, 4, 4));
  t->Picture()->SetBitmap(&bmp);
  m.Paint();
  const TRect& cr = m.Chart.ChartRect;
  EXPECT_EQ(m.At(m.X(5), m.Y(50)), clFuchsia);
  // A series whose values lie beyond the axes: the picture still covers the chart, and no further.
  auto* s = new TLineSeries(nullptr);
  m.Chart.AttachSeries(s);
  s->AddXY(-50, -500);
  s->AddXY(50, 500);
  s->SetActive(false);
  t->SetSeries(s);
  m.Paint();
  EXPECT_EQ(m.At(m.X(5), m.Y(50)), clFuchsia);
  EXPECT_NE(m.At(cr.Left - 3, cr.Top - 3), clFuchsia);
  m.Chart.DetachSeries(s);
  delete s;
}

// -----------------------------------------------------------------------------------------------

TEST(RotateTool, TurnsTheChartAndKeepsElevationInRange) {
  TToolChart m;
  auto* t = new TRotateTool(nullptr);
  m.Chart.Tools->Add(t);
  int rotations = 0;
  t->OnRotate = [&](TObject*) { ++rotations; };
  TView3DOptions* o = m.Chart.View3DOptions();
  const int r0 = o->Rotation(), e0 = o->Elevation();
  const int w = m.Chart.Width(), h = m.Chart.Height();
  m.Down(100, 100);
  m.Move(100 + w / 9, 100);  // 10 degrees of rotation
  EXPECT_TRUE(m.Chart.View3D());
  EXPECT_FALSE(o->Orthogonal());
  const int expectR = m.Chart.Canvas->SupportsFullRotation() ? (r0 + 10) % 360 : r0 + 10;
  EXPECT_EQ(o->Rotation(), expectR);
  // Dragging far up or down never takes the elevation out of 270..360 when the canvas cannot
  // rotate fully.
  m.Move(100 + w / 9, 100 - 2 * h);
  m.Move(100 + w / 9, 100 + 4 * h);
  if (!m.Chart.Canvas->SupportsFullRotation()) {
    EXPECT_GE(o->Elevation(), 270);
    EXPECT_LE(o->Elevation(), 360);
  }
  m.Up(100 + w / 9, 100 + 4 * h);
  EXPECT_EQ(rotations, 3);
  // With the pen hidden every step repaints the chart.
  const int paints = m.Paints;
  m.Down(100, 100);
  m.Move(120, 100);
  m.Update();
  m.Move(140, 90);
  m.Update();
  m.Up(140, 90);
  EXPECT_EQ(m.Paints, paints + 2);
  EXPECT_FALSE(t->Rotating());
  (void)e0;
}

TEST(RotateTool, VisiblePenDrawsAnOutlineWithoutRepainting) {
  TToolChart m;
  auto* t = new TRotateTool(nullptr);
  m.Chart.Tools->Add(t);
  t->Pen()->Show();
  m.Paint();
  const int paints = m.Paints;
  m.Down(100, 100);
  m.Move(130, 100);
  m.Update();
  m.Move(160, 110);
  m.Update();
  EXPECT_EQ(m.Paints, paints);
  // Back to where the first move drew it: the outline drawn since is gone again.
  m.Move(130, 100);
  const std::vector<TColor> back = m.Surface();
  m.Move(160, 110);
  EXPECT_GT(CountDifferences(back, m.Surface()), 0);
  m.Move(130, 100);
  EXPECT_EQ(CountDifferences(back, m.Surface()), 0);
  m.Up(130, 100);
  m.Update();
  EXPECT_EQ(m.Paints, paints + 1);
}

TEST(SeriesAnimationTool, FramesGroupsAndStop) {
  TToolChart m;
  m.Series->ClearValues();
  for (int i = 0; i < 25; ++i) m.Series->AddXY(i, 10 + i);
  auto* t = new TSeriesAnimationTool(nullptr);
  m.Chart.Tools->Add(t);
  t->SetSeries(m.Series);
  t->SetSteps(4);
  t->SetDrawEvery(10);
  std::vector<int> steps;
  std::vector<double> firstValue;
  t->OnStep = [&](TSeriesAnimationTool*, int Step) {
    steps.push_back(Step);
    firstValue.push_back(m.Series->YValueAt(0));
  };
  t->Play();
  // Three groups (10, 10, 5 points), each Steps + 1 frames from the start value to the real one.
  EXPECT_EQ(steps.size(), 15u);
  EXPECT_EQ(steps.front(), 0);
  EXPECT_EQ(steps.back(), 4);
  EXPECT_DOUBLE_EQ(firstValue[0], 10);  // the lowest value
  EXPECT_DOUBLE_EQ(firstValue[2], 10);
  EXPECT_DOUBLE_EQ(m.Series->YValueAt(24), 34);
  EXPECT_FALSE(t->Running());
  // A stop from the step handler ends the run with the real values back.
  t->SetDrawEvery(0);
  t->SetStartAtMin(false);
  t->SetStartValue(0);
  t->SetLoop(salCircular);
  steps.clear();
  t->OnStep = [&](TSeriesAnimationTool* S, int Step) {
    steps.push_back(Step);
    if (steps.size() == 7) S->Stop();
    EXPECT_TRUE(S->Running() || steps.size() == 7);
  };
  t->Play();
  EXPECT_EQ(steps.size(), 7u);
  for (int i = 0; i < 25; ++i) EXPECT_DOUBLE_EQ(m.Series->YValueAt(i), 10 + i);
}

TEST(ClipSeriesTool, ClipsTheSeriesAndForgetsAFreedOne) {
  TToolChart m;
  m.Chart.LeftAxis()->SetMinimumMaximum(0, 50);
  m.Series->SetSeriesColor(clRed);
  auto* t = new TClipSeriesTool(nullptr);
  m.Chart.Tools->Add(t);
  t->SetSeries(m.Series);
  m.Chart.SetClipPoints(false);
  m.Paint();
  // Above the chart rectangle nothing red: the values beyond the axis were clipped.
  const TRect& cr = m.Chart.ChartRect;
  int redAbove = 0;
  for (int y = 0; y < cr.Top; ++y)
    for (int x = cr.Left; x < cr.Right; ++x) redAbove += m.At(x, y) == clRed;
  EXPECT_EQ(redAbove, 0);
  EXPECT_FALSE(t->Clipped());
  m.Chart.DetachSeries(m.Series);
  delete m.Series;
  m.Series = nullptr;
  EXPECT_EQ(t->Series(), nullptr);
  m.Paint();
}

TEST(DragPointTool, DragsOneCoordinateOrBoth) {
  TToolChart m;
  m.Series->Pointer()->SetVisible(true);
  m.Paint();
  auto* t = new TDragPointTool(nullptr);
  m.Chart.Tools->Add(t);
  t->SetSeries(m.Series);
  std::vector<int> moved;
  t->OnDragPoint = [&](TDragPointTool*, int I) { moved.push_back(I); };
  t->SetDragStyle(dsX);
  m.Down(m.X(5), m.Y(25));
  EXPECT_EQ(t->DraggedIndex(), 5);
  m.Move(m.X(5) + 12, m.Y(25) - 30);
  m.Up(m.X(5) + 12, m.Y(25) - 30);
  EXPECT_DOUBLE_EQ(m.Series->XValueAt(5), m.Chart.BottomAxis()->PixelToValue(m.X(5) + 12));
  EXPECT_DOUBLE_EQ(m.Series->YValueAt(5), 25);
  EXPECT_EQ(moved, std::vector<int>{5});
  EXPECT_FALSE(m.Chart.Zoomed);
  // A vertical axis without range is widened instead of failing.
  m.Series->ClearValues();
  m.Series->AddXY(1, 7);
  m.Chart.LeftAxis()->SetMinimumMaximum(7, 7);
  EXPECT_NO_THROW(TDragPointTool::AxisValueAt(m.Chart.LeftAxis(), 100));
  EXPECT_GT(m.Chart.LeftAxis()->Maximum(), m.Chart.LeftAxis()->Minimum());
}

TEST(SeriesToolEditor, ChoosesTheSeriesAndTheDragStyle) {
  TToolChart m;
  auto* t = new TDragPointTool(nullptr);
  m.Chart.Tools->Add(t);
  TDragPointToolEdit page(nullptr);
  page.SetTag(reinterpret_cast<intptr_t>(t));
  page.FormShow(&page);
  // Without a series: "(none)" chosen, the cursor combo disabled.
  EXPECT_EQ(page.CBSeries->Items()->Strings(0), "(none)");
  EXPECT_EQ(page.CBSeries->ItemIndex(), 0);
  EXPECT_TRUE(page.CBSeries->Enabled());
  EXPECT_FALSE(page.CBCursor->Enabled());
  page.CBSeries->SetItemIndex(1);
  page.CBSeriesChange(page.CBSeries);
  EXPECT_EQ(t->Series(), m.Series);
  EXPECT_TRUE(page.CBCursor->Enabled());
  SetRadioGroupIndex(page.RGStyle, 1);
  page.RGStyleClick(&page);
  EXPECT_EQ(t->DragStyle(), dsY);
  page.CBCursor->SetItemIndex(page.CBCursor->Items()->IndexOf("HandPoint"));
  page.CBCursorChange(page.CBCursor);
  EXPECT_EQ(m.Series->Cursor(), crHandPoint);
  // Showing again reflects the tool; "(none)" detaches it.
  page.FormShow(&page);
  EXPECT_EQ(page.CBSeries->ItemIndex(), 1);
  EXPECT_EQ(RadioGroupIndex(page.RGStyle), 1);
  EXPECT_EQ(page.CBCursor->Items()->Strings(page.CBCursor->ItemIndex()), "HandPoint");
  page.CBSeries->SetItemIndex(0);
  page.CBSeriesChange(page.CBSeries);
  EXPECT_EQ(t->Series(), nullptr);
  EXPECT_FALSE(page.CBCursor->Enabled());
}

TEST(ToolStreaming, SettingsAndLinesReadBack) {
  TColorLineTool line(nullptr);
  const std::string plain = ComponentToText(&line);
  EXPECT_NE(plain.find("Value = 0"), std::string::npos) << plain;  // always stored
  EXPECT_EQ(plain.find("AllowDrag"), std::string::npos) << plain;
  line.SetAllowDrag(false);
  line.SetStyle(clMinimum);
  line.SetDraw3D(false);
  line.Pen()->SetColor(clRed);
  TColorLineTool line2(nullptr);
  TextToComponent(ComponentToText(&line), &line2);
  EXPECT_FALSE(line2.AllowDrag());
  EXPECT_EQ(line2.Style(), clMinimum);  // reading Value does not turn the style custom
  EXPECT_FALSE(line2.Draw3D());
  EXPECT_EQ(line2.Pen()->Color(), clRed);

  TDrawLineTool draw(nullptr);
  TDrawLine* l = draw.Lines()->AddLine();
  l->SetX0(1.5);
  l->SetY0(2.5);
  l->SetX1(3.25);
  l->SetY1(-4);
  l->SetStyle(dlHorizParallel);
  draw.Lines()->AddLine()->Pen()->SetWidth(4);
  TDrawLineTool draw2(nullptr);
  TextToComponent(ComponentToText(&draw), &draw2);
  ASSERT_EQ(draw2.Lines()->Count(), 2);
  EXPECT_DOUBLE_EQ(draw2.Lines()->Line(0)->X1(), 3.25);
  EXPECT_DOUBLE_EQ(draw2.Lines()->Line(0)->Y1(), -4);
  EXPECT_EQ(draw2.Lines()->Line(0)->Style(), dlHorizParallel);
  EXPECT_FALSE(draw2.Lines()->Line(0)->HasOwnPen());
  EXPECT_TRUE(draw2.Lines()->Line(1)->HasOwnPen());
  EXPECT_EQ(draw2.Lines()->Line(1)->Pen()->Width(), 4);

  TRectangleTool rect(nullptr);
  rect.SetText("box");
  rect.SetLeft(30);
  rect.SetWidth(80);
  TRectangleTool rect2(nullptr);
  TextToComponent(ComponentToText(&rect), &rect2);
  EXPECT_EQ(rect2.Text(), "box");
  EXPECT_EQ(rect2.Left(), 30);
  EXPECT_EQ(rect2.Width(), 80);
  EXPECT_FALSE(rect2.AutoSize());
}
