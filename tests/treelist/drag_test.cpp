// Dragging nodes inside the tree list, and band and column headers.
#include "platform/forms.h"
#include "tl_fixture.h"

namespace {

void Drag(TTreeListFixture& F, TPoint From, std::vector<TPoint> Through, TShiftState Shift = {}) {
  F.TL->DispatchMouseDown(mbLeft, Shift, From.X, From.Y);
  for (TPoint p : Through) F.TL->DispatchMouseMove({ssLeft}, p.X, p.Y);
  F.TL->DispatchMouseUp(mbLeft, Shift, Through.back().X, Through.back().Y);
}

TEST(TreeListDrag, NodeDropsWhereTheApplicationAccepts) {
  TTreeListFixture f;
  f.Fill(4, 2);
  f.TL->SetDragMode(tldmAutomatic);
  int started = 0;
  f.TL->OnNodeDragStart = [&](TObject*, TvmTreeListNode* n) { started += n == f.Find("R0"); };
  f.TL->OnDragOver = [&](TObject*, TObject* Source, int X, int Y, bool& Accept) {
    TvmTreeListNode* target = f.TL->GetNodeAt(X, Y);
    Accept = Source == f.TL && target && target != f.TL->DraggedNode() && !target->HasAsParent(f.TL->DraggedNode());
  };
  f.TL->OnDragDrop = [&](TObject*, TObject*, int X, int Y) { f.TL->DraggedNode()->MoveTo(f.TL->GetNodeAt(X, Y), -1); };
  TPoint from = f.CellPoint(f.Find("R0"), 1);
  TPoint to = f.CellPoint(f.Find("R2"), 1);
  // Within the threshold nothing starts.
  f.TL->DispatchMouseDown(mbLeft, {}, from.X, from.Y);
  f.TL->DispatchMouseMove({ssLeft}, from.X + 3, from.Y + 4);
  EXPECT_EQ(f.TL->State(), tlsNodePressed);
  f.TL->DispatchMouseMove({ssLeft}, to.X, to.Y);
  EXPECT_EQ(f.TL->State(), tlsNodeDragging);
  EXPECT_EQ(f.FocusText(), "R2");  // the drop target follows the pointer
  f.TL->DispatchMouseUp(mbLeft, {}, to.X, to.Y);
  EXPECT_EQ(started, 1);
  EXPECT_EQ(f.TL->State(), tlsIdle);
  EXPECT_EQ(f.TL->DraggedNode(), nullptr);
  EXPECT_EQ(f.Find("R0")->Parent(), f.Find("R2"));
  // Escape ends a drag without a drop.
  TvmTreeListNode* r1 = f.Find("R1");
  f.TL->DispatchMouseDown(mbLeft, {}, f.CellPoint(r1, 1).X, f.CellPoint(r1, 1).Y);
  f.TL->DispatchMouseMove({ssLeft}, to.X, to.Y + 20);
  ASSERT_EQ(f.TL->State(), tlsNodeDragging);
  f.Key(VK_ESCAPE);
  EXPECT_EQ(f.TL->State(), tlsIdle);
  f.TL->DispatchMouseUp(mbLeft, {}, to.X, to.Y + 20);
  EXPECT_EQ(r1->Parent(), nullptr);
}

TEST(TreeListDrag, HoveringAButtonExpandsAfterTheDelayAndEdgesScroll) {
  TTreeListFixture f(3, 400, 160);
  f.Fill(20, 2);
  f.TL->SetDragMode(tldmAutomatic);
  TvmTreeListLayout L = f.Layout();
  TPoint from = f.CellPoint(f.Find("R0"), 1);
  const auto* r2 = f.RowOf(L, f.Find("R2"));
  TPoint button(L.RowsRect.Left + 8, r2->Top + r2->Height / 2);
  f.TL->DispatchMouseDown(mbLeft, {}, from.X, from.Y);
  f.TL->DispatchMouseMove({ssLeft}, button.X, button.Y);
  EXPECT_EQ(f.TL->ExpandHoverNode(), f.Find("R2"));
  EXPECT_TRUE(f.TL->DragExpandTimer()->Enabled());
  EXPECT_EQ(f.TL->DragExpandTimer()->Interval(), 500u);
  f.TL->DragExpandTimer()->Fire();
  EXPECT_TRUE(f.Find("R2")->Expanded());
  // The last full row starts scrolling down; each tick moves one row.
  TvmTreeListLayout L2 = f.Layout();
  int page = f.TL->PageRowCount();
  const auto& last = L2.VisibleRows[page - 1];
  f.TL->DispatchMouseMove({ssLeft}, from.X, last.Top + last.Height / 2);
  EXPECT_EQ(f.TL->DragScrollDirection(), 1);
  EXPECT_TRUE(f.TL->DragScrollTimer()->Enabled());
  f.TL->DragScrollTimer()->Fire();
  EXPECT_EQ(f.TL->GetTopRowIndex(), 1);
  f.TL->DispatchMouseUp(mbLeft, {}, from.X, last.Top + 2);
  EXPECT_FALSE(f.TL->DragScrollTimer()->Enabled());
  EXPECT_FALSE(f.TL->DragExpandTimer()->Enabled());
}

TEST(TreeListDrag, ColumnHeadersMoveAndDropOutHides) {
  TTreeListFixture f;
  TvmTreeListLayout L = f.Layout();
  auto centre = [](const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); };
  TPoint c0 = centre(L.HeaderCells[0].Rect);
  TRect r2 = L.HeaderCells[2].Rect;
  // C0 dragged to the right half of C2: after it.
  f.TL->DispatchMouseDown(mbLeft, {}, c0.X, c0.Y);
  f.TL->DispatchMouseMove({ssLeft}, r2.Right - 10, c0.Y);
  EXPECT_EQ(f.TL->State(), tlsColumnDragging);
  TvmTreeListDropTarget t;
  f.TL->CalcColumnDropTarget(TPoint(r2.Right - 10, c0.Y), t);
  EXPECT_EQ(t.Code, -3);
  EXPECT_EQ(t.Position, 2);
  EXPECT_EQ(f.TL->ArrowsPos().X, r2.Right - 5);
  f.Paint();
  // Inside the upward arrow's stem, under the header (the downward one is above the window).
  EXPECT_EQ(f.Pixel(r2.Right, r2.Top + f.TL->HeaderRowHeight() + 6), ColorToRGB(clLime));
  f.TL->DispatchMouseUp(mbLeft, {}, r2.Right - 10, c0.Y);
  EXPECT_EQ(f.TL->Columns(2)->Caption(), "C0");
  EXPECT_EQ(f.TL->ArrowsPos().X, -100);
  // Next to itself is no move.
  L = f.Layout();
  TPoint c1 = centre(L.HeaderCells[1].Rect);  // C2 now
  f.TL->DispatchMouseDown(mbLeft, {}, L.HeaderCells[0].Rect.Left + 10, c1.Y);
  f.TL->DispatchMouseMove({ssLeft}, L.HeaderCells[1].Rect.Left + 3, c1.Y);
  f.TL->CalcColumnDropTarget(TPoint(L.HeaderCells[1].Rect.Left + 3, c1.Y), t);
  EXPECT_EQ(t.Code, -2);
  f.TL->DispatchMouseUp(mbLeft, {}, L.HeaderCells[1].Rect.Left + 3, c1.Y);
  EXPECT_EQ(f.TL->Columns(0)->Caption(), "C1");
  // Dropped outside the header: hidden only with the option.
  Drag(f, centre(L.HeaderCells[0].Rect), {TPoint(c1.X, 200)});
  EXPECT_TRUE(f.TL->Columns(0)->Visible());
  f.TL->SetOptions(f.TL->Options() + tloHideByDragOut);
  Drag(f, centre(L.HeaderCells[0].Rect), {TPoint(c1.X, 200)});
  EXPECT_FALSE(f.TL->Columns(0)->Visible());
  // A column that may not be dragged is only clicked.
  f.TL->Columns(1)->DisableDragging = true;
  L = f.Layout();
  Drag(f, centre(L.HeaderCells[0].Rect), {TPoint(centre(L.HeaderCells[1].Rect).X + 20, c1.Y)});
  EXPECT_EQ(f.TL->Columns(1)->Caption(), "C2");
}

TEST(TreeListDrag, BandsMoveWithTheirColumns) {
  TTreeListFixture f(3, 600, 200);
  f.TL->SetShowBandPanel(true);
  f.TL->Bands()->Items(0)->SetCaption("B0");
  f.TL->Bands()->Add()->SetCaption("B1");
  f.TL->Columns(2)->SetBandIndex(1);
  TvmTreeListLayout L = f.Layout();
  ASSERT_EQ(L.BandCells.size(), 2u);
  TPoint b0((L.BandCells[0].Rect.Left + L.BandCells[0].Rect.Right) / 2, L.BandPanelRect.Top + 3);
  Drag(f, b0, {TPoint(L.BandCells[1].Rect.Right - 5, b0.Y)});
  EXPECT_EQ(f.TL->Bands()->Items(0)->Caption(), "B1");
  EXPECT_EQ(f.TL->Columns(2)->BandIndex(), 0);
  EXPECT_EQ(f.TL->Columns(0)->BandIndex(), 1);
  EXPECT_EQ(f.Layout().HeaderCells[0].Column, 2);
}

}  // namespace
