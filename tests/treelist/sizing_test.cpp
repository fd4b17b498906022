// Sizing bands, columns, rows and the header panel with the mouse; best fit.
#include "tl_fixture.h"

namespace {

TPoint Centre(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }

TEST(TreeListSizing, ColumnLineIsClampedShownAndCancelled) {
  TTreeListFixture f;
  f.Fill(3, 0);
  TvmTreeListLayout L = f.Layout();
  const auto& h0 = L.HeaderCells[0];
  int y = Centre(h0.Rect).Y;
  // Below the minimum width the line stops at it.
  f.TL->DispatchMouseDown(mbLeft, {}, h0.Rect.Right - 1, y);
  EXPECT_EQ(f.TL->State(), tlsColumnSizing);
  f.TL->DispatchMouseMove({ssLeft}, h0.Rect.Left + 3, y);
  EXPECT_EQ(f.TL->SizingLinePos(), h0.Rect.Left + 20);
  f.Paint();
  int row = L.VisibleRows[0].Top + 2;
  EXPECT_EQ(f.Pixel(h0.Rect.Left + 20, row), ColorToRGB(clBlack));  // the sizing line crosses the rows
  // Escape cancels without applying.
  f.Key(VK_ESCAPE);
  EXPECT_EQ(f.TL->State(), tlsIdle);
  f.TL->DispatchMouseUp(mbLeft, {}, h0.Rect.Left + 3, y);
  EXPECT_EQ(f.TL->Columns(0)->Width(), 100);
  // A release where it started changes nothing; a real move applies once.
  int changed = 0;
  f.TL->OnColumnsWidthChanged = [&](TObject*) { ++changed; };
  f.TL->DispatchMouseDown(mbLeft, {}, h0.Rect.Right - 1, y);
  f.TL->DispatchMouseUp(mbLeft, {}, h0.Rect.Right - 1, y);
  EXPECT_EQ(changed, 0);
  f.TL->DispatchMouseDown(mbLeft, {}, h0.Rect.Right - 1, y);
  f.TL->DispatchMouseMove({ssLeft}, h0.Rect.Left + 59, y);
  f.TL->DispatchMouseUp(mbLeft, {}, h0.Rect.Left + 59, y);
  EXPECT_EQ(f.TL->Columns(0)->Width(), 60);
  EXPECT_EQ(changed, 1);
}

TEST(TreeListSizing, BandEdgeScalesItsColumns) {
  TTreeListFixture f(2, 600, 200);
  f.TL->SetShowBandPanel(true);
  TvmTreeListLayout L = f.Layout();
  const auto& b = L.BandCells[0];
  f.TL->DispatchMouseDown(mbLeft, {}, b.Rect.Right - 2, Centre(b.Rect).Y);
  EXPECT_EQ(f.TL->State(), tlsBandSizing);
  f.TL->DispatchMouseMove({ssLeft}, b.Rect.Left + 298, Centre(b.Rect).Y);
  f.TL->DispatchMouseUp(mbLeft, {}, b.Rect.Left + 298, Centre(b.Rect).Y);
  EXPECT_EQ(f.TL->Columns(0)->Width(), 150);
  EXPECT_EQ(f.TL->Columns(1)->Width(), 150);
  EXPECT_EQ(f.Layout().BandCells[0].Rect.Width(), 300);
}

TEST(TreeListSizing, RowEdgesAndTheHeaderPanelEdge) {
  TTreeListFixture f;
  f.Fill(5, 0);
  f.TL->SetShowIndicatorColumn(true);
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxRowSizing + tlxHeaderPanelSizing);
  TvmTreeListLayout L = f.Layout();
  const auto& r = L.VisibleRows[1];
  int x = L.IndicatorRect.Left + 4;
  TvmTreeListHitTestInfo h;
  f.TL->GetHitInfo(TPoint(x, r.Top + r.Height - 2), h);
  EXPECT_EQ(h.HitType, tlhRowEdge);
  EXPECT_EQ(h.Node, f.Find("R1"));
  f.TL->GetHitInfo(TPoint(x, r.Top + 1), h);  // just below a row's top: the row above
  EXPECT_EQ(h.Node, f.Find("R0"));
  f.TL->DispatchMouseDown(mbLeft, {}, x, r.Top + r.Height - 1);
  f.TL->DispatchMouseMove({ssLeft}, x, r.Top + 30);
  f.TL->DispatchMouseUp(mbLeft, {}, x, r.Top + 30);
  EXPECT_EQ(f.TL->DefaultRowHeight(), 30);
  EXPECT_EQ(f.Layout().VisibleRows[1].Height, 30);
  // A row dragged too small stops at the smallest height the text allows.
  L = f.Layout();
  f.TL->Canvas()->Font()->Assign(f.TL->Font());
  int minimum = f.TL->Canvas()->TextHeight("Wg") + 3;
  f.TL->DispatchMouseDown(mbLeft, {}, x, L.VisibleRows[0].Top + 29);
  f.TL->DispatchMouseMove({ssLeft}, x, L.VisibleRows[0].Top + 2);
  f.TL->DispatchMouseUp(mbLeft, {}, x, L.VisibleRows[0].Top + 2);
  EXPECT_EQ(f.TL->DefaultRowHeight(), std::max(16, minimum));
  // The header panel edge snaps to whole header rows.
  int hb = L.HeaderPanelRect.Bottom;
  f.TL->GetHitInfo(TPoint(200, hb - 1), h);
  EXPECT_EQ(h.HitType, tlhHeaderPanelEdge);
  f.TL->DispatchMouseDown(mbLeft, {}, 200, hb - 1);
  f.TL->DispatchMouseMove({ssLeft}, 200, hb + f.TL->HeaderRowHeight() + 3);
  EXPECT_EQ(f.TL->SizingLinePos(), L.HeaderPanelRect.Top + 2 * f.TL->HeaderRowHeight());
  f.TL->DispatchMouseUp(mbLeft, {}, 200, hb + f.TL->HeaderRowHeight() + 3);
  EXPECT_EQ(f.TL->HeaderPanelRowCount(), 2);
}

TEST(TreeListSizing, DoubleClickOnAnEdgeFitsTheWidestText) {
  TTreeListFixture f;
  f.TL->AddNode(nullptr, {"short", "a rather long text in the second column"});
  TvmTreeListLayout L = f.Layout();
  const auto& h1 = L.HeaderCells[1];
  f.TL->DispatchMouseDown(mbLeft, {}, h1.Rect.Right - 1, Centre(h1.Rect).Y);
  f.TL->DispatchMouseUp(mbLeft, {}, h1.Rect.Right - 1, Centre(h1.Rect).Y);
  f.TL->DispatchMouseDown(mbLeft, {ssDouble}, h1.Rect.Right - 1, Centre(h1.Rect).Y, true);
  f.TL->DispatchMouseUp(mbLeft, {}, h1.Rect.Right - 1, Centre(h1.Rect).Y);
  f.TL->Canvas()->Font()->Assign(f.TL->Font());
  int text = f.TL->Canvas()->TextWidth("a rather long text in the second column");
  int pad = f.TL->Canvas()->TextWidth("0") / 2 + 1;
  EXPECT_EQ(f.TL->Columns(1)->Width(), text + 2 * pad);
}

}  // namespace
