// Point markers in every style family, callouts, and the drawing and hit testing of marks.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "chart/engine/chart_errors.h"
#include "chart/engine/series_base.h"
#include "chart/engine/series_helpers.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/testkit/recording_canvas.h"
#include "platform/bitmap.h"

namespace {

class TPointerPanel : public IGraphShapeParent {
public:
  TRecordingCanvas Canvas{200, 120};
  TCanvas3D* ShapeCanvas() override { return &Canvas; }
  void Invalidate() override {}
};

TColor PixelOf(TBitmap* Bmp, int X, int Y) {
  const auto* row = static_cast<const uint8_t*>(Bmp->ScanLine(Y)) + X * 3;
  return RGB(row[2], row[1], row[0]);
}

class Pointer : public ::testing::Test {
protected:
  void SetUp() override {
    TRecordingCanvas& c = Panel.Canvas;
    c.Brush->SetStyle(bsSolid);
    c.Brush->SetColor(clWhite);
    c.Pen->SetStyle(psClear);
    c.FillRect(TRect(0, 0, 200, 120));
    c.ResetState();
    c.Clear();
    P.SetParentChart(&Panel);
    P.Pen()->SetColor(clBlue);
    P.Brush()->SetColor(clDefault);
  }
  void Draw(TSeriesPointerStyle Style, int X = 100, int Y = 50, int H = 4, int V = 3) {
    P.SetUpCanvas(&Panel.Canvas, clRed);
    P.DrawPointerShape(&Panel.Canvas, false, X, Y, H, V, clRed, Style);
  }
  // The pixels that are no longer white.
  std::set<std::pair<int, int>> Inked() {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 200; ++x)
        if (PixelOf(Panel.Canvas.Surface(), x, y) != clWhite) out.insert({x, y});
    return out;
  }
  TPointerPanel Panel;
  TSeriesPointer P;
};

}  // namespace

TEST_F(Pointer, RectangleCoversItsHalfSizesBothWays) {
  Draw(psRectangle);
  const auto ink = Inked();
  int minX = 999, maxX = -1, minY = 999, maxY = -1;
  for (auto [x, y] : ink) {
    minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
  }
  EXPECT_EQ(minX, 96);
  EXPECT_EQ(maxX, 104);
  EXPECT_EQ(minY, 47);
  EXPECT_EQ(maxY, 53);
  EXPECT_EQ(PixelOf(Panel.Canvas.Surface(), 100, 50), clRed);  // filled in the point colour
  EXPECT_EQ(PixelOf(Panel.Canvas.Surface(), 96, 50), clBlue);  // outlined by the pen
}

TEST_F(Pointer, TrianglesPointTheirWay) {
  Draw(psDownTriangle);
  const auto down = Inked();
  // Base at the top (Y - V), tip at the bottom (Y + V).
  EXPECT_TRUE(down.count({96, 47}) && down.count({104, 47}));
  EXPECT_TRUE(down.count({100, 53}));
  EXPECT_FALSE(down.count({96, 53}));
  SetUp();
  Draw(psTriangle);
  const auto up = Inked();
  EXPECT_TRUE(up.count({96, 53}) && up.count({100, 47}));
  EXPECT_FALSE(up.count({96, 47}));
  SetUp();
  Draw(psLeftTriangle);
  const auto left = Inked();
  EXPECT_TRUE(left.count({96, 50}) && left.count({104, 47}) && left.count({104, 52}));
  EXPECT_FALSE(left.count({96, 47}));
  SetUp();
  Draw(psRightTriangle);
  const auto right = Inked();
  EXPECT_TRUE(right.count({104, 50}) && right.count({96, 47}));
  EXPECT_FALSE(right.count({104, 47}));
}

TEST_F(Pointer, CrossesAndTheStarAreTheirLines) {
  Draw(psCross);
  const auto cross = Inked();
  EXPECT_TRUE(cross.count({100, 47}) && cross.count({100, 53}) && cross.count({96, 50}) && cross.count({104, 50}));
  EXPECT_FALSE(cross.count({97, 48}));
  SetUp();
  Draw(psDiagCross);
  const auto diag = Inked();
  EXPECT_TRUE(diag.count({96, 47}) && diag.count({104, 47}));
  EXPECT_FALSE(diag.count({100, 47}));
  SetUp();
  Draw(psStar);
  std::set<std::pair<int, int>> both = cross;
  both.insert(diag.begin(), diag.end());
  EXPECT_EQ(Inked(), both);
}

TEST_F(Pointer, RoundShapesDotsAndNothing) {
  Draw(psCircle);
  const auto circle = Inked();
  EXPECT_TRUE(circle.count({100, 50}));
  EXPECT_FALSE(circle.count({96, 47}));  // corners stay free
  SetUp();
  Draw(psDiamond);
  const auto diamond = Inked();
  EXPECT_TRUE(diamond.count({100, 47}) && diamond.count({96, 50}));
  EXPECT_FALSE(diamond.count({97, 48}) && diamond.count({103, 52}));
  SetUp();
  Draw(psSmallDot);
  EXPECT_EQ(Inked(), (std::set<std::pair<int, int>>{{100, 50}}));
  SetUp();
  Draw(psNothing);
  EXPECT_TRUE(Inked().empty());
}

TEST_F(Pointer, SizesMarginsAndCopies) {
  try {
    P.SetHorizSize(0);
    ADD_FAILURE();
  } catch (const ChartException& e) {
    EXPECT_EQ(e.Message(), "Pointer size must be greater than zero");
  }
  EXPECT_EQ(P.HorizSize(), 4);
  P.AssignHorizSize(0);
  EXPECT_EQ(P.HorizSize(), 0);
  P.AssignHorizSize(4);
  int l = 2, r = 9;
  P.WidenHorizMargins(l, r);
  EXPECT_EQ(l, 5);
  EXPECT_EQ(r, 9);
  P.SetInflateMargins(false);
  l = 2;
  P.WidenHorizMargins(l, r);
  EXPECT_EQ(l, 2);
  TSeriesPointer q;
  P.SetStyle(psDiamond);
  P.SetVertSize(6);
  q.Assign(&P);
  EXPECT_EQ(q.Style(), psDiamond);
  EXPECT_EQ(q.VertSize(), 6);
  EXPECT_FALSE(q.InflateMargins());
}

TEST_F(Pointer, CalloutsLiftMarksAndDrawTheirHead) {
  TMarksCallout c;
  EXPECT_FALSE(c.Visible());
  EXPECT_EQ(c.Length(), 8);
  c.SetDistance(2);
  TSeriesMarkPosition p;
  p.LeftTop = {10, 50};
  p.ArrowEnd = {20, 60};
  p.ArrowStart = {20, 60};
  c.ApplyLength(p);
  EXPECT_EQ(p.LeftTop.Y, 40);
  EXPECT_EQ(p.ArrowEnd.Y, 50);
  EXPECT_EQ(p.ArrowStart.Y, 58);
  // A head means no pointer shape at the point; without one the shape is drawn only when visible.
  TCallout a;
  a.SetParentChart(&Panel);
  a.SetArrowHead(ahSolid);
  a.DrawCallout(clRed, TPoint{50, 50}, TPoint{80, 20}, 0);
  EXPECT_TRUE(Panel.Canvas.CallsOf("Rectangle").empty());
  Panel.Canvas.Clear();
  a.SetArrowHead(ahNone);
  a.DrawCallout(clRed, TPoint{50, 50}, TPoint{80, 20}, 0);
  EXPECT_EQ(Panel.Canvas.CallsOf("Rectangle").size(), 1u);
  Panel.Canvas.Clear();
  a.SetVisible(false);
  a.DrawCallout(clRed, TPoint{50, 50}, TPoint{80, 20}, 0);
  EXPECT_TRUE(Panel.Canvas.CallsOf("Rectangle").empty());
}

// ---------------------------------------------------------------------------------------------
// Marks

TEST_F(Pointer, MarksRememberTheirPlaceUntilReset) {
  TChartSeries s(nullptr);
  s.AddXY(0, 1);
  TSeriesMarks* m = s.Marks();
  m->SetParentChart(&Panel);
  m->SetVisible(true);
  TSeriesMarkPosition p;
  p.LeftTop = {10, 10};
  p.Width = 30;
  p.Height = 12;
  p.ArrowStart = p.ArrowEnd = {25, 21};
  m->DrawMark(0, clRed, p, "abc");
  ASSERT_NE(m->Positions.GetPosition(0), nullptr);
  EXPECT_EQ(Panel.Canvas.CallsOf("TextOut").size(), 1u);
  // The user moves it; a new automatic placement does not move it back.
  m->Positions.GetPosition(0)->UserMoved = true;
  m->Positions.GetPosition(0)->LeftTop = {60, 60};
  TSeriesMarkPosition q = p;
  q.LeftTop = {10, 10};
  m->DrawMark(0, clRed, q, "abc");
  EXPECT_EQ(q.LeftTop.X, 60);
  EXPECT_EQ(GetSeriesDataFlags(&s), 8);
  m->ResetPositions();
  TSeriesMarkPosition r = p;
  m->DrawMark(0, clRed, r, "abc");
  EXPECT_EQ(r.LeftTop.X, 10);
  // Hit testing prefers the higher index where marks overlap.
  TSeriesMarkPosition* a = m->Positions.Ensure(1);
  a->LeftTop = {12, 12};
  a->Width = 20;
  a->Height = 10;
  EXPECT_EQ(m->MarkIndexAt(15, 15), 1);
  EXPECT_EQ(m->MarkIndexAt(11, 11), 0);
  EXPECT_EQ(m->MarkIndexAt(150, 100), -1);
}

TEST_F(Pointer, OverlappingMarksMoveApart) {
  TChartSeries s(nullptr);
  TSeriesMarks* m = s.Marks();
  m->SetShadow(nullptr);
  m->Pen()->SetVisible(false);
  TSeriesMarkPosition* first = m->Positions.Ensure(0);
  first->LeftTop = {10, 20};
  first->Width = 30;
  first->Height = 10;
  TSeriesMarkPosition p;
  p.LeftTop = {20, 25};
  p.ArrowEnd = {30, 35};
  p.Width = 30;
  p.Height = 10;
  m->MoveToAvoidOverlap(0, 1, p);
  // Below the first: down by (its bottom - the new top).
  EXPECT_EQ(p.LeftTop.Y, 30);
  EXPECT_EQ(p.ArrowEnd.Y, 40);
  TSeriesMarkPosition q;
  q.LeftTop = {20, 15};
  q.Width = 30;
  q.Height = 10;
  m->MoveToAvoidOverlap(0, 1, q);
  EXPECT_EQ(q.LeftTop.Y, 10);
}
