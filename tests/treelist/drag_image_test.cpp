// Drag images of the tree list: a node's framed cell and a header's face follow the pointer,
// stay out of the control's own paints and go away with the drag.
#include "platform/bitmap.h"
#include "tl_fixture.h"

namespace {
TPoint Centre(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }
}  // namespace

TEST(TreeListDragImage, ANodeDragShowsItsCellFramedAndKeepsThePointersPlace) {
  TTreeListFixture f;
  f.Fill(4, 0);
  f.TL->SetDragMode(tldmAutomatic);
  f.TL->SetColor(clWhite);
  f.TL->SetOptions(f.TL->Options() - tloRowSelect);  // the focused cell's column gives the image
  TvmTreeListNode* r1 = f.Find("R1");
  TPoint from = f.CellPoint(r1, 1);
  f.TL->SetFocusedNode(r1);
  f.TL->SetFocusedColumn(1);
  TRect cell = f.TL->GetCellRect(r1, 1);
  int showingWhilePainting = -1;
  f.TL->OnPaint = [&](TObject*) {
    if (f.TL->NodeDragImages()) showingWhilePainting = f.TL->NodeDragImages()->Showing();
  };
  f.TL->DispatchMouseDown(mbLeft, {}, from.X, from.Y);
  EXPECT_EQ(f.TL->NodeDragImages(), nullptr);
  ASSERT_EQ(f.TL->GetFocusedColumn(), 1);
  f.TL->DispatchMouseMove({ssLeft}, from.X + 10, from.Y + 40);
  ASSERT_EQ(f.TL->State(), tlsNodeDragging);
  TDragImage* img = f.TL->NodeDragImages();
  ASSERT_NE(img, nullptr);
  EXPECT_TRUE(img->Showing());
  ASSERT_NE(img->Image(), nullptr);
  EXPECT_EQ(img->Image()->Width(), cell.Width() + 26);
  EXPECT_EQ(img->Image()->Height(), cell.Height() + 6);
  // The control's colour is see-through; the dotted frames start at x = 20.
  EXPECT_EQ(img->TransparentColor(), clWhite);
  EXPECT_EQ(ColorToRGB(img->Image()->Canvas()->Pixels(10, 3)), ColorToRGB(clWhite));
  bool framed = false;
  for (int y = 0; y < img->Image()->Height(); ++y)
    framed |= ColorToRGB(img->Image()->Canvas()->Pixels(20, y)) != ColorToRGB(clWhite);
  EXPECT_TRUE(framed);
  // The pressed point of the cell stays under the pointer.
  TPoint screen = f.TL->ClientToScreen(TPoint(from.X + 10, from.Y + 40));
  EXPECT_EQ(img->ScreenRect().Left + img->HotSpot().X, screen.X);
  EXPECT_EQ(img->HotSpot().X, from.X - cell.Left + 23);
  EXPECT_EQ(img->HotSpot().Y, from.Y - cell.Top + 3);
  // Painting hides it for the paint only.
  f.Paint();
  EXPECT_EQ(showingWhilePainting, 0);
  EXPECT_TRUE(img->Showing());
  f.TL->DispatchMouseUp(mbLeft, {}, from.X + 10, from.Y + 40);
  EXPECT_EQ(f.TL->NodeDragImages(), nullptr);
}

TEST(TreeListDragImage, OnGetDragTextChoosesTheTextShown) {
  TTreeListFixture f;
  f.Fill(4, 0);
  f.TL->SetDragMode(tldmAutomatic);
  f.TL->SetColor(clWhite);
  f.TL->SetOptions(f.TL->Options() - tloRowSelect);
  TvmTreeListNode* r1 = f.Find("R1");
  f.TL->SetFocusedNode(r1);
  f.TL->SetFocusedColumn(1);
  TvmTreeListNode* asked = nullptr;
  std::string given, shown;
  f.TL->OnGetDragText = [&](TObject* Sender, TvmTreeListNode* Node, std::string& Text) {
    EXPECT_EQ(Sender, f.TL);
    asked = Node;
    given = Text;
    Text = shown;
  };
  // Dark pixels inside the frames, where the text goes.
  auto inked = [&] {
    TPoint from = f.CellPoint(r1, 1);
    f.TL->DispatchMouseDown(mbLeft, {}, from.X, from.Y);
    f.TL->DispatchMouseMove({ssLeft}, from.X + 10, from.Y + 40);
    EXPECT_EQ(f.TL->State(), tlsNodeDragging);
    int n = 0;
    if (TDragImage* img = f.TL->NodeDragImages(); img && img->Image()) {
      TCanvas* c = img->Image()->Canvas();
      for (int y = 4; y < img->Image()->Height() - 4; ++y)
        for (int x = 24; x < img->Image()->Width() - 4; ++x) n += ColorToRGB(c->Pixels(x, y)) != ColorToRGB(clWhite);
    }
    f.TL->DispatchMouseUp(mbLeft, {}, from.X + 10, from.Y + 40);
    return n;
  };
  EXPECT_EQ(inked(), 0);  // no text at all
  EXPECT_EQ(asked, r1);
  EXPECT_EQ(given, "1");  // the cell text comes in
  shown = "Dragged";
  EXPECT_GT(inked(), 0);
}

TEST(TreeListDragImage, DragImageVisibleOffKeepsNodeDragsPlain) {
  TTreeListFixture f;
  f.Fill(4, 0);
  f.TL->SetDragMode(tldmAutomatic);
  f.TL->SetDragImageVisible(false);
  TPoint from = f.CellPoint(f.Find("R0"), 0);
  f.TL->DispatchMouseDown(mbLeft, {}, from.X, from.Y);
  f.TL->DispatchMouseMove({ssLeft}, from.X, from.Y + 40);
  ASSERT_EQ(f.TL->State(), tlsNodeDragging);
  ASSERT_NE(::DragObject(), nullptr);
  EXPECT_EQ(::DragObject()->GetDragImage(), nullptr);
  EXPECT_FALSE(f.TL->NodeDragImages() && f.TL->NodeDragImages()->Showing());
  f.TL->DispatchMouseUp(mbLeft, {}, from.X, from.Y + 40);
}

TEST(TreeListDragImage, AColumnDragShowsTheHeaderFaceCentredOnThePointer) {
  TTreeListFixture f;
  f.TL->SetOptions(f.TL->Options() + tloHideByDragOut);
  TvmTreeListLayout L = f.Layout();
  const TRect h0 = L.HeaderCells[0].Rect;
  TPoint c0 = Centre(h0);
  f.TL->DispatchMouseDown(mbLeft, {}, c0.X, c0.Y);
  f.TL->DispatchMouseMove({ssLeft}, c0.X + 30, c0.Y);
  ASSERT_EQ(f.TL->State(), tlsColumnDragging);
  TDragImage* img = f.TL->NodeDragImages();
  ASSERT_NE(img, nullptr);
  EXPECT_TRUE(img->Showing());
  int w = h0.Width(), h = f.TL->HeaderRowHeight();
  EXPECT_EQ(img->Image()->Width(), w);
  EXPECT_EQ(img->Image()->Height(), h);
  EXPECT_EQ(img->TransparentColor(), clNone);
  // The header face, raised: the button face inside, the shadow on the right edge.
  EXPECT_EQ(ColorToRGB(img->Image()->Canvas()->Pixels(3, h - 4)), ColorToRGB(f.TL->HeaderPanelColor()));
  EXPECT_EQ(ColorToRGB(img->Image()->Canvas()->Pixels(w - 1, h / 2)), ColorToRGB(clBtnShadow));
  EXPECT_EQ(img->HotSpot(), TPoint(w / 2, h / 2));
  TPoint s = f.TL->ClientToScreen(TPoint(c0.X + 30, c0.Y));
  EXPECT_EQ(img->ScreenRect().Left, s.X - w / 2);
  // Dragged out of the header (a release would hide the column): the hot spot moves left.
  f.TL->DispatchMouseMove({ssLeft}, c0.X, c0.Y + 100);
  EXPECT_EQ(img->HotSpot(), TPoint((w - 32) / 2, h / 2));
  f.TL->DispatchMouseMove({ssLeft}, c0.X + 30, c0.Y);
  EXPECT_EQ(img->HotSpot(), TPoint(w / 2, h / 2));
  // Escape cancels: the image goes with the drag.
  f.Key(VK_ESCAPE);
  EXPECT_EQ(f.TL->State(), tlsIdle);
  EXPECT_EQ(f.TL->NodeDragImages(), nullptr);
}

TEST(TreeListDragImage, ABandDragShowsTheBandFace) {
  TTreeListFixture f;
  f.TL->SetShowBandPanel(true);
  f.TL->Bands()->Add();
  TvmTreeListLayout L = f.Layout();
  ASSERT_GE(L.BandCells.size(), 1u);
  TRect b0 = L.BandCells[0].Rect;
  b0.Top = L.BandPanelRect.Top;
  b0.Bottom = L.BandPanelRect.Bottom;
  TPoint c = Centre(b0);
  f.TL->DispatchMouseDown(mbLeft, {}, c.X, c.Y);
  f.TL->DispatchMouseMove({ssLeft}, c.X + 20, c.Y);
  ASSERT_EQ(f.TL->State(), tlsBandDragging);
  TDragImage* img = f.TL->NodeDragImages();
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->Image()->Width(), b0.Width());
  EXPECT_EQ(img->Image()->Height(), b0.Height());
  f.TL->DispatchMouseUp(mbLeft, {}, c.X + 20, c.Y);
  EXPECT_EQ(f.TL->NodeDragImages(), nullptr);
}
