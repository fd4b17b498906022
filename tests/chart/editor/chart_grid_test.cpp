// The chart grid over the series of a real chart, driven by keys, typing and its navigator.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/editor/chart_grid.h"
#include "chart/engine/chart.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/grid_series.h"
#include "chart/series/bar_series.h"
#include "chart/series/line_series.h"
#include "platform/canvas.h"
#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

namespace {

struct Grid : ::testing::Test {
  TForm Form{nullptr};
  TChart* Chart = nullptr;
  TChartGrid* G = nullptr;
  void SetUp() override {
    Form.SetBounds(0, 0, 500, 400);
    Chart = new TChart(&Form);
    G = new TChartGrid(&Form);
    G->SetParent(&Form);
    G->SetBounds(0, 0, 480, 300);
  }
  TLineSeries* Line(int Points, const std::string& Title) {
    auto* s = new TLineSeries(&Form);
    s->SetTitle(Title);
    for (int i = 0; i < Points; ++i) s->AddXY(i, 10 * (i + 1));
    Chart->AttachSeries(s);
    return s;
  }
  std::vector<std::string> Row(int R) {
    std::vector<std::string> r;
    for (int c = 0; c < G->ColCount(); ++c) r.push_back(G->GetEditText(c, R));
    return r;
  }
  void Type(int Col, int Row, const std::string& Text) {
    G->SetCol(Col);
    G->SetRow(Row);
    G->DispatchKeyDown(VK_F1 + 1, {});
    ASSERT_TRUE(G->EditorMode());
    G->InplaceEditor()->SetText(Text);
    G->InplaceEditor()->DispatchKeyDown(VK_RETURN, {});
  }
};

}  // namespace

TEST_F(Grid, ListsSeveralSeriesSideBySide) {
  TLineSeries* a = Line(5, "First");
  TLineSeries* b = Line(8, "Second");
  G->SetChart(Chart);
  EXPECT_EQ(G->ColCount(), 4);
  EXPECT_EQ(G->RowCount(), 2 + 8);
  EXPECT_EQ(Row(0), (std::vector<std::string>{"", "", "First", "Second"}));
  EXPECT_EQ(Row(1), (std::vector<std::string>{"#", "Text", "Y", "Y"}));
  EXPECT_EQ(Row(2), (std::vector<std::string>{"0", "", "10", "10"}));
  EXPECT_EQ(Row(8), (std::vector<std::string>{"6", "", "", "70"}));  // the first series has ended
  EXPECT_EQ(G->Col(), 1);
  EXPECT_EQ(G->Row(), 2);
  // Positions shown: X before Y.
  G->SetShowXValues(cgsYes);
  EXPECT_EQ(Row(1), (std::vector<std::string>{"#", "Text", "X", "Y", "X", "Y"}));
  // Without the title row, the series titles head the columns.
  G->SetShowXValues(cgsAuto);
  G->SetTitleRow(false);
  EXPECT_EQ(Row(0), (std::vector<std::string>{"#", "Text", "First", "Second"}));
  EXPECT_EQ(G->FirstDataRow(), 1);
  // A horizontal bar without its position column shows its values only.
  G->SetTitleRow(true);
  auto* bars = new THorizBarSeries(&Form);
  bars->AddXY(5, 0);
  bars->AddXY(7, 1);
  Chart->AttachSeries(bars);
  G->SetSeries(bars);
  EXPECT_EQ(G->Chart(), nullptr);
  EXPECT_EQ(Row(1), (std::vector<std::string>{"#", "Text", bars->XValues()->Name()}));
  EXPECT_EQ(Row(3), (std::vector<std::string>{"1", "", "7"}));
  (void)a;
  (void)b;
}

TEST_F(Grid, TypingEditsTheSeries) {
  TLineSeries* a = Line(3, "A");
  TLineSeries* b = Line(3, "B");
  G->SetChart(Chart);
  // A value typed in a cell, through the in-place editor.
  Type(2, 3, "42.5");
  EXPECT_DOUBLE_EQ(a->YValues()->Value(1), 42.5);
  EXPECT_TRUE(a->StoreDataAlways);
  // Letters leave the value as it was.
  Type(2, 3, "forty");
  EXPECT_DOUBLE_EQ(a->YValues()->Value(1), 42.5);
  // Escape puts the old text back.
  G->DispatchKeyDown(VK_F1 + 1, {});
  G->InplaceEditor()->SetText("7");
  G->InplaceEditor()->DispatchKeyDown(VK_ESCAPE, {});
  EXPECT_FALSE(G->EditorMode());
  EXPECT_DOUBLE_EQ(a->YValues()->Value(1), 42.5);
  // A label in row 7 pads every series with null points up to 8 points.
  G->SetEditText(1, 2 + 7, "late");
  EXPECT_EQ(a->PointCount(), 8);
  EXPECT_EQ(b->PointCount(), 8);
  EXPECT_EQ(a->LabelAt(7), "late");
  EXPECT_TRUE(a->IsNullPoint(5));
  EXPECT_EQ(G->RowCount(), 2 + 8);
  // An empty text with no editor open makes a null point; a number makes it a normal point again.
  G->SetEditText(3, 2, "");
  EXPECT_TRUE(b->IsNullPoint(0));
  G->SetEditText(3, 2, "5");
  EXPECT_FALSE(b->IsNullPoint(0));
  EXPECT_EQ(b->PointColorAt(0), b->SeriesColor());
  EXPECT_DOUBLE_EQ(b->YValues()->Value(0), 5);
}

TEST_F(Grid, RowsAppendInsertAndDelete) {
  TLineSeries* a = Line(3, "A");
  G->SetChart(Chart);
  G->SetRow(G->RowCount() - 1);
  // Down on the last row appends one; Up right after takes it back.
  G->DispatchKeyDown(VK_DOWN, {});
  EXPECT_EQ(a->PointCount(), 4);
  EXPECT_EQ(G->Row(), G->RowCount() - 1);
  EXPECT_TRUE(a->IsNullPoint(3));
  G->DispatchKeyDown(VK_UP, {});
  EXPECT_EQ(a->PointCount(), 3);
  EXPECT_EQ(G->RowCount(), 2 + 3);
  // Insert adds a null point at the end; Ctrl+Delete deletes the current row and renumbers.
  G->DispatchKeyDown(VK_INSERT, {});
  EXPECT_EQ(a->PointCount(), 4);
  G->SetRow(2);
  G->DispatchKeyDown(VK_DELETE, {ssCtrl});
  EXPECT_EQ(a->PointCount(), 3);
  EXPECT_DOUBLE_EQ(a->XValues()->Value(0), 0);
  EXPECT_DOUBLE_EQ(a->YValues()->Value(0), 20);
  // Deleting the series the grid shows, and the chart itself: nothing dangles.
  G->SetSeries(a);
  delete a;
  EXPECT_EQ(G->Series(), nullptr);
  EXPECT_EQ(G->ColCount(), 2);
  G->SetChart(Chart);
  EXPECT_EQ(G->RowCount(), 3);  // an empty chart: one empty data row
  EXPECT_EQ(G->GetEditText(1, 2), "");
  G->DispatchKeyDown(VK_DOWN, {});
  delete Chart;
  EXPECT_EQ(G->Chart(), nullptr);
  G->Repaint();
}

TEST_F(Grid, ColoursColumnShowsAndSetsPointColours) {
  TLineSeries* a = Line(3, "A");
  G->SetShowColors(true);
  G->SetChart(Chart);
  EXPECT_EQ(G->ColorsColumn(), 1);
  EXPECT_EQ(G->LabelsColumn(), 2);
  EXPECT_EQ(G->GetEditText(1, 1), "Colors");
  G->SetCol(1);
  G->SetRow(3);
  G->SetCurrentPointColor(clRed);
  EXPECT_EQ(a->PointColorAt(1), clRed);
  G->Repaint();
  const TRect r = G->CellRect(1, 3);
  EXPECT_EQ(ControlSurfacePixel(G, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2), clRed);
  // The colour column never opens the text editor.
  G->StartCellEdit();
  EXPECT_FALSE(G->EditorMode());
}

TEST_F(Grid, MatrixViewOfA3DSeries) {
  auto* s = new TColorGridSeries(&Form);
  for (int z = 1; z <= 3; ++z)
    for (int x = 1; x <= 4; ++x) s->AddXYZ(x, x * 10 + z, z);
  Chart->AttachSeries(s);
  G->SetGrid3D(true);
  G->SetChart(Chart);
  EXPECT_EQ(G->ColCount(), 1 + 4);
  EXPECT_EQ(G->RowCount(), 2 + 3);
  EXPECT_EQ(G->GetEditText(0, 2), "1");
  EXPECT_EQ(G->GetEditText(1, 1), "1");
  EXPECT_EQ(G->GetEditText(4, 1), "4");
  EXPECT_EQ(G->GetEditText(2, 4), "23");
  G->SetEditText(2, 4, "99");
  EXPECT_EQ(G->GetEditText(2, 4), "99");
}

TEST_F(Grid, NavigatorPagesAndEdits) {
  TLineSeries* a = Line(5, "A");
  G->SetChart(Chart);
  auto* nav = new TChartGridNavigator(&Form);
  nav->SetParent(&Form);
  for (int i = nbInsert; i <= nbCancel; ++i) nav->Buttons[i]->SetVisible(true);
  nav->SetGrid(G);
  EXPECT_FALSE(nav->Buttons[nbFirst]->Enabled());
  EXPECT_TRUE(nav->Buttons[nbNext]->Enabled());
  EXPECT_FALSE(nav->Buttons[nbPost]->Enabled());
  nav->BtnClick(nbLast);
  EXPECT_EQ(G->Row(), 6);
  EXPECT_FALSE(nav->Buttons[nbNext]->Enabled());
  EXPECT_TRUE(nav->Buttons[nbPrior]->Enabled());
  nav->BtnClick(nbPrior);
  EXPECT_EQ(G->Row(), 5);
  // Edit, type, Post: the value reaches the series.
  G->SetCol(2);
  nav->BtnClick(nbEdit);
  ASSERT_TRUE(G->EditorMode());
  EXPECT_TRUE(nav->Buttons[nbPost]->Enabled());
  G->InplaceEditor()->SetText("123");
  nav->BtnClick(nbPost);
  EXPECT_DOUBLE_EQ(a->YValues()->Value(3), 123);
  // Edit and Cancel restores.
  nav->BtnClick(nbEdit);
  G->InplaceEditor()->SetText("1");
  nav->BtnClick(nbCancel);
  EXPECT_DOUBLE_EQ(a->YValues()->Value(3), 123);
  nav->BtnClick(nbDelete);
  EXPECT_EQ(a->PointCount(), 4);
  nav->BtnClick(nbInsert);
  EXPECT_EQ(a->PointCount(), 5);
  nav->BtnClick(nbFirst);
  EXPECT_EQ(G->Row(), 2);
  delete G;
  EXPECT_EQ(nav->Grid(), nullptr);
}

TEST_F(Grid, AClickOnAValueColumnsHeaderSelectsItsDataRows) {
  Line(5, "First");
  Line(8, "Second");
  G->SetChart(Chart);
  auto click = [&](int Col, int Row) {
    const TRect r = G->CellRect(Col, Row);
    G->DispatchMouseDown(mbLeft, {}, r.Left + 3, r.Top + 3);
    G->DispatchMouseUp(mbLeft, {}, r.Left + 3, r.Top + 3);
  };
  click(3, 0);  // over "Second"
  EXPECT_EQ(G->Selection(), TRect(3, 2, 3, 9));
  EXPECT_EQ(G->Col(), 3);
  G->Update();
  const TRect cell = G->CellRect(3, 7);
  EXPECT_EQ(ControlSurfacePixel(G, cell.Left + 3, cell.Top + 3), ColorToRGB(clHighlight));
  // The labels column's header selects nothing; a data cell takes the selection back to itself.
  click(1, 1);
  EXPECT_EQ(G->Selection(), TRect(3, 2, 3, 9));
  click(2, 4);
  EXPECT_EQ(G->Selection(), TRect(2, 4, 2, 4));
  G->Update();
  EXPECT_NE(ControlSurfacePixel(G, cell.Left + 3, cell.Top + 3), ColorToRGB(clHighlight));
}

TEST(GridOnAPage, TabStepsThroughTheCellsAndCtrlTabTurnsThePage) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 500, 400);
  auto* chart = new TChart(&form);
  auto* s = new TLineSeries(&form);
  for (int i = 0; i < 3; ++i) s->AddXY(i, i);
  chart->AttachSeries(s);
  auto* pages = new TPageControl(&form);
  pages->SetParent(&form);
  pages->SetAlign(alClient);
  auto* first = new TTabSheet(&form);
  first->SetPageControl(pages);
  auto* second = new TTabSheet(&form);
  second->SetPageControl(pages);
  pages->SetActivePage(first);
  auto* g = new TChartGrid(&form);
  g->SetParent(first);
  g->SetBounds(0, 0, 400, 200);
  g->SetChart(chart);
  form.Show();
  ASSERT_GE(g->ColCount(), 3);
  g->SetCol(1);
  g->DispatchKeyDown(VK_TAB, {});
  EXPECT_EQ(g->Col(), 2);
  g->DispatchKeyDown(VK_TAB, {ssShift});
  EXPECT_EQ(g->Col(), 1);
  g->DispatchKeyDown(VK_TAB, {ssCtrl});
  EXPECT_EQ(g->Col(), 1);
  EXPECT_EQ(pages->ActivePage(), second);
}
