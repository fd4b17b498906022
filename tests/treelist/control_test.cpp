// The tree list as a user meets it: defaults, bands and columns, layout, hit testing, keys,
// mouse, scrolling, selection, sorting and the pixels that carry meaning.
#include <algorithm>

#include "platform/bitmap.h"
#include "platform/clipbrd.h"
#include "platform/imglist.h"
#include "platform/strings.h"
#include "tl_fixture.h"

namespace {

TEST(TreeListControl, DefaultsAndDerivedAnswers) {
  TTreeListFixture f;
  EXPECT_EQ(OptionsToBits(f.TL->Options()), 0x37u);
  EXPECT_EQ(ExtendedOptionsToBits(f.TL->ExtendedOptions()), 0x303Eu);
  f.TL->SetExtendedOptions(BitsToExtendedOptions(0xFFFFFFFFu));
  EXPECT_EQ(ExtendedOptionsToBits(f.TL->ExtendedOptions()) & (1u << 26), 0u);
  EXPECT_EQ(f.TL->GetGridLineColor(), f.TL->GridColor());
  f.TL->SetGridPenColor(clRed);
  EXPECT_EQ(f.TL->GetGridLineColor(), clRed);
  f.TL->SetRowSeparatorWidth(0);
  EXPECT_EQ(f.TL->GetRowSeparatorWidth(), 1);
  // Row select reads focused column 0 whatever was focused.
  f.Fill(2, 0);
  f.TL->SetOptions(f.TL->Options() - tloRowSelect);
  f.TL->SetFocusedColumn(2);
  EXPECT_EQ(f.TL->GetFocusedColumn(), 2);
  f.TL->SetOptions(f.TL->Options() + tloRowSelect);
  EXPECT_EQ(f.TL->GetFocusedColumn(), 0);
  EXPECT_THROW(f.TL->Columns(3), ERangeError);
}

TEST(TreeListControl, LastEndUpdateLaysOutOnce) {
  TTreeListFixture f;
  f.TL->BeginUpdate();
  f.TL->BeginUpdate();
  f.TL->AddNode(nullptr, {"a"});
  f.TL->EndUpdate();
  EXPECT_FALSE(f.TL->IsVisibleCacheValid());
  f.TL->EndUpdate();
  EXPECT_TRUE(f.TL->IsVisibleCacheValid());
  EXPECT_EQ(f.TL->GetVisibleNodeCount(), 1);
}

TEST(TreeListBands, FixedBandsIndexesAndDeletion) {
  TTreeListFixture f;
  TvmTreeListBands* b = f.TL->Bands();
  b->Add()->SetCaption("B1");
  b->Add()->SetCaption("B2");
  b->Items(0)->SetCaption("B0");
  EXPECT_FALSE(f.TL->DefaultLayout());
  b->Items(0)->SetFixed(bfRight);
  EXPECT_EQ(b->Items(2)->Caption(), "B0");
  b->Items(0)->SetFixed(bfRight);  // B1 now
  EXPECT_EQ(b->Items(2)->Caption(), "B1");
  EXPECT_EQ(b->Items(1)->Fixed(), bfNone);
  // A fixed band does not move; a hidden band is never fixed.
  b->Items(2)->SetIndex(0);
  EXPECT_EQ(b->Items(2)->Caption(), "B1");
  b->Items(0)->SetVisible(false);
  b->Items(0)->SetFixed(bfLeft);
  EXPECT_EQ(b->Items(0)->Fixed(), bfNone);
  // Deleting band 1 of three: its columns lose the band, those of band 2 move to 1.
  b->Items(2)->SetFixed(bfNone);
  f.TL->Columns(0)->SetBandIndex(1);
  f.TL->Columns(1)->SetBandIndex(2);
  f.TL->Columns(2)->SetBandIndex(0);
  delete b->Items(1);
  EXPECT_EQ(f.TL->Columns(0)->BandIndex(), -1);
  EXPECT_EQ(f.TL->Columns(1)->BandIndex(), 1);
  EXPECT_EQ(f.TL->Columns(2)->BandIndex(), 0);
  // Widths: never below the minimum; the minimum never negative.
  b->Items(0)->SetWidth(5);
  EXPECT_EQ(b->Items(0)->Width(), 30);
  b->Items(0)->SetMinWidth(-3);
  EXPECT_EQ(b->Items(0)->MinWidth(), 0);
  // Moving a band takes its columns along.
  b->Items(0)->SetIndex(1);
  EXPECT_EQ(f.TL->Columns(2)->BandIndex(), 1);
  EXPECT_EQ(f.TL->Columns(1)->BandIndex(), 0);
  // Back to the default layout: one band holding every column.
  f.TL->SetDefaultLayout(true);
  EXPECT_EQ(b->Count(), 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(f.TL->Columns(i)->BandIndex(), 0);
}

TEST(TreeListColumns, WidthsRowsPositionsAndValues) {
  TTreeListFixture f;
  TvmTreeListColumn* c = f.TL->Columns(0);
  c->SetWidth(5);
  EXPECT_EQ(c->Width(), 20);
  c->SetMinWidth(-3);
  EXPECT_EQ(c->MinWidth(), 0);
  // A width never set follows the default, also after a caption change.
  TvmTreeListColumn* d = f.TL->Columns(1);
  d->SetCaption("Other");
  EXPECT_EQ(d->Width(), 100);
  EXPECT_FALSE(d->AssignedValues().Contains(cvWidth));
  // The stored header row survives fewer header rows.
  f.TL->SetHeaderPanelRowCount(4);
  d->SetRowIndex(3);
  f.TL->SetHeaderPanelRowCount(2);
  EXPECT_EQ(d->RowIndex(), 1);
  EXPECT_EQ(d->StoredRowIndex(), 3);
  f.TL->SetHeaderPanelRowCount(4);
  EXPECT_EQ(d->RowIndex(), 3);
  d->SetRowIndex(0);
  f.TL->SetHeaderPanelRowCount(1);
  // ColIndex 99 goes to the last place of the band row; node values move with the column.
  TvmTreeListNode* n = f.TL->AddNode(nullptr, {"a", "b", "c"});
  f.TL->Columns(0)->SetColIndex(99);
  EXPECT_EQ(f.TL->Columns(2)->Caption(), "C0");
  EXPECT_EQ(f.TL->Columns(2)->ColIndex(), 2);
  EXPECT_EQ(n->Strings(2), "a");
  EXPECT_EQ(f.TL->GetCellText(n, 2), "a");
  EXPECT_EQ(n->Strings(0), "b");
  // A column going takes its values from every node.
  delete f.TL->Columns(0);
  EXPECT_EQ(n->Strings(0), "c");
  EXPECT_EQ(f.TL->ColumnCount(), 2);
  // Strings past the end read empty; writing pads.
  n->SetStrings(5, "z");
  EXPECT_EQ(n->Strings(4), "");
  EXPECT_EQ(n->Strings(5), "z");
}

TEST(TreeListLayout, ColumnsShareTheBandByWidthAndMinimum) {
  TTreeListFixture f(3, 600, 200);
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() - tlxBands);
  f.TL->Bands()->Items(0)->SetWidth(200);
  f.TL->Columns(2)->SetWidth(200);
  auto widths = [&] {
    std::vector<int> w;
    for (const auto& h : f.Layout().HeaderCells) w.push_back(h.Rect.Width());
    return w;
  };
  EXPECT_EQ(widths(), (std::vector<int>{50, 50, 100}));
  for (int i = 0; i < 3; ++i) f.TL->Columns(i)->SetMinWidth(60);
  EXPECT_EQ(widths(), (std::vector<int>{60, 60, 80}));
  // A column that may not be sized keeps its width.
  for (int i = 0; i < 3; ++i) f.TL->Columns(i)->SetMinWidth(20);
  f.TL->Columns(0)->SetSizing(false);
  EXPECT_EQ(widths()[0], 100);
  // Bands narrower than the client leave an empty area at the right.
  TvmTreeListLayout L = f.Layout();
  EXPECT_EQ(L.DataRight, L.RowsRect.Left + 199);
  EXPECT_FALSE(IsRectEmpty(L.EmptyRightRect));
  EXPECT_EQ(L.LastRowBottom, L.RowsRect.Top);
}

TEST(TreeListHitTest, HeaderEdgesButtonsCellsAndRows) {
  TTreeListFixture f;
  f.Fill(3, 2);
  TvmTreeListLayout L = f.Layout();
  const auto& h0 = L.HeaderCells[0];
  int y = (h0.Rect.Top + h0.Rect.Bottom) / 2;
  TvmTreeListHitTestInfo h;
  f.TL->GetHitInfo(TPoint(h0.Rect.Right - 3, y), h);
  EXPECT_EQ(h.HitType, tlhColumnEdge);
  EXPECT_EQ(h.Column, 0);
  f.TL->GetHitInfo(TPoint(h0.Rect.Right - 5, y), h);
  EXPECT_EQ(h.HitType, tlhColumnHeader);
  // The last column of the row: its own edge while bands are hidden, the band's edge once they show.
  f.TL->GetHitInfo(TPoint(L.HeaderCells[2].Rect.Right - 2, y), h);
  EXPECT_EQ(h.HitType, tlhColumnEdge);
  f.TL->SetShowBandPanel(true);
  TvmTreeListLayout LB = f.Layout();
  int yb = (LB.HeaderCells[2].Rect.Top + LB.HeaderCells[2].Rect.Bottom) / 2;
  f.TL->GetHitInfo(TPoint(LB.HeaderCells[2].Rect.Right - 2, yb), h);
  EXPECT_EQ(h.HitType, tlhBandEdge);
  f.TL->GetHitInfo(TPoint(LB.HeaderCells[1].Rect.Right - 2, yb), h);
  EXPECT_EQ(h.HitType, tlhColumnEdge);
  f.TL->Bands()->Items(0)->SetSizing(false);
  f.TL->GetHitInfo(TPoint(LB.HeaderCells[2].Rect.Right - 2, yb), h);
  EXPECT_EQ(h.HitType, tlhColumnHeader);
  f.TL->SetShowBandPanel(false);
  const auto& r1 = L.VisibleRows[1];
  int ry = r1.Top + r1.Height / 2;
  f.TL->GetHitInfo(TPoint(L.RowsRect.Left + 8, ry), h);
  EXPECT_EQ(h.HitType, tlhButton);
  EXPECT_EQ(h.Node, f.Find("R1"));
  f.TL->GetHitInfo(TPoint(L.RowsRect.Left + 40, ry), h);
  EXPECT_EQ(h.HitType, tlhCell);
  EXPECT_EQ(h.Column, 0);
  f.TL->GetHitInfo(TPoint(L.HeaderCells[1].Rect.Left + 5, ry), h);
  EXPECT_EQ(h.Column, 1);
  f.TL->GetHitInfo(TPoint(L.DataRight + 5, ry), h);
  EXPECT_EQ(h.HitType, tlhRowTail);
  f.TL->GetHitInfo(TPoint(10, L.VisibleRows.back().Top + 100), h);
  EXPECT_EQ(h.Node, nullptr);
  f.TL->GetHitInfo(TPoint(-5, 5), h);
  EXPECT_EQ(h.HitType, tlhOutside);
}

TEST(TreeListKeys, RowSelectModeNavigatesTheTree) {
  TTreeListFixture f;
  f.Fill(3, 2);
  f.Find("R0")->SetFocused(true);
  f.Key(VK_RIGHT);  // expands
  EXPECT_TRUE(f.Find("R0")->Expanded());
  f.Key(VK_RIGHT);  // to the first child
  EXPECT_EQ(f.FocusText(), "R0.0");
  f.Key(VK_LEFT);  // a collapsed first child: to its parent
  EXPECT_EQ(f.FocusText(), "R0");
  f.Key(VK_LEFT);  // an expanded node collapses
  EXPECT_FALSE(f.Find("R0")->Expanded());
  f.Key(VK_DOWN);
  f.Key(VK_DOWN);
  EXPECT_EQ(f.FocusText(), "R2");
  f.Key(VK_DOWN);
  EXPECT_EQ(f.FocusText(), "R2");
  f.Key(VK_HOME);
  EXPECT_EQ(f.FocusText(), "R0");
  f.TL->DispatchKeyPress('*');
  EXPECT_EQ(f.TL->GetVisibleNodeCount(), 5);
  f.Key(VK_END);
  EXPECT_EQ(f.FocusText(), "R2");
  f.TL->DispatchKeyPress('-');
  f.Key(VK_UP);
  EXPECT_EQ(f.FocusText(), "R1");
  f.TL->DispatchKeyPress('+');
  EXPECT_TRUE(f.Find("R1")->Expanded());
}

TEST(TreeListKeys, CellModeColumnsAndTabThrough) {
  TTreeListFixture f;
  f.Fill(2, 0);
  f.TL->SetOptions(f.TL->Options() - tloRowSelect);
  f.Find("R0")->SetFocused(true);
  f.Key(VK_RIGHT);
  EXPECT_EQ(f.TL->GetFocusedColumn(), 1);
  f.Key(VK_END);
  EXPECT_EQ(f.TL->GetFocusedColumn(), 2);
  f.Key(VK_TAB);  // past the last column: the next row's first column
  EXPECT_EQ(f.FocusText(), "R1");
  EXPECT_EQ(f.TL->GetFocusedColumn(), 0);
  f.Key(VK_TAB, {ssShift});
  EXPECT_EQ(f.FocusText(), "R0");
  EXPECT_EQ(f.TL->GetFocusedColumn(), 2);
  f.Key(VK_LEFT, {ssCtrl});
  EXPECT_EQ(f.TL->GetFocusedColumn(), 0);
  // Tab passes over columns that are no tab stops, also into the next row.
  f.TL->Columns(1)->SetTabStop(false);
  f.Key(VK_TAB);
  EXPECT_EQ(f.TL->GetFocusedColumn(), 2);
  f.TL->Columns(0)->SetTabStop(false);
  f.Key(VK_TAB);
  EXPECT_EQ(f.FocusText(), "R1");
  EXPECT_EQ(f.TL->GetFocusedColumn(), 2);
}

TEST(TreeListKeys, MultiSelectRangesAndToggles) {
  TTreeListFixture f;
  f.Fill(6, 0);
  f.TL->SetOptions(f.TL->Options() + tloMultiSelect);
  f.Find("R1")->SetFocused(true);
  f.Key(VK_DOWN);  // plain move: the new row alone
  EXPECT_EQ(f.SelectedTexts(), (std::vector<std::string>{"R2"}));
  f.Key(VK_DOWN, {ssShift});
  f.Key(VK_DOWN, {ssShift});
  EXPECT_EQ(f.SelectedTexts(), (std::vector<std::string>{"R2", "R3", "R4"}));
  f.Key(VK_UP, {ssShift});
  EXPECT_EQ(f.SelectedTexts(), (std::vector<std::string>{"R2", "R3"}));
  f.Key(VK_SPACE, {ssCtrl});  // toggles the focused node
  EXPECT_EQ(f.SelectedTexts(), (std::vector<std::string>{"R2"}));
  // SelectNodes: either order, the same range; a single node once.
  f.TL->ClearSelection();
  f.TL->SelectNodes(f.Find("R4"), f.Find("R1"));
  EXPECT_EQ(f.TL->GetSelectedCount(), 4);
  f.TL->ClearSelection();
  f.TL->SelectNodes(f.Find("R3"), f.Find("R3"));
  EXPECT_EQ(f.TL->GetSelectedCount(), 1);
  // Copy lines: the header, then the selected nodes' texts in tree order.
  TStringList sl;
  f.TL->SelectNodes(f.Find("R0"), f.Find("R0"));
  f.TL->CopySelectedToStrings(sl);
  ASSERT_EQ(sl.Count(), 3);
  EXPECT_EQ(sl[0], "C0\tC1\tC2");
  EXPECT_EQ(sl[1], "R0\t0\t");
}

TEST(TreeListKeys, SelectionStaysAmongSiblingsUnlessMixedLevels) {
  TTreeListFixture f;
  f.Fill(2, 2);
  f.TL->SetOptions(f.TL->Options() + tloMultiSelect);
  f.Find("R0")->SetSelected(true);
  f.Find("R0.0")->SetSelected(true);
  EXPECT_FALSE(f.Find("R0.0")->Selected());
  f.TL->SetOptions(f.TL->Options() + tloMixedLevelSelect);
  f.Find("R0.0")->SetSelected(true);
  EXPECT_TRUE(f.Find("R0.0")->Selected());
}

TEST(TreeListKeys, IncrementalSearchFindsAndDropsWhatMatchesNothing) {
  TTreeListFixture f;
  f.TL->BeginUpdate();
  for (const char* t : {"apple", "Abacus", "abc", "banana"}) f.TL->AddNode(nullptr, {t});
  f.TL->EndUpdate();
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxIncrementalSearch);
  f.TL->DispatchKeyPress('a');
  f.TL->DispatchKeyPress('b');
  EXPECT_EQ(f.FocusText(), "Abacus");
  EXPECT_EQ(f.TL->SearchText(), "ab");
  f.TL->DispatchKeyPress('z');
  EXPECT_EQ(f.TL->SearchText(), "ab");
  EXPECT_EQ(f.FocusText(), "Abacus");
  f.Key(VK_RETURN, {ssCtrl});
  EXPECT_EQ(f.FocusText(), "abc");
  f.Key(VK_RETURN, {ssCtrl});  // wraps at the end
  EXPECT_EQ(f.FocusText(), "Abacus");
  f.Key(VK_ESCAPE);
  EXPECT_FALSE(f.TL->Searching());
}

// The typed prefix is painted over the focused cell's text in the search-match colours; left at
// clNone they are the cell's own colours inverted. Only the prefix is marked, and only while searching.
TEST(TreeListPaint, IncrementalSearchMarksTheTypedPrefix) {
  TTreeListFixture f;
  f.TL->BeginUpdate();
  for (const char* t : {"apple", "Abacus", "banana"}) f.TL->AddNode(nullptr, {t});
  f.TL->EndUpdate();
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxIncrementalSearch);
  f.TL->Columns(0)->SetVertAlignment(tlCenter);  // the bands probed above and below stay clear of the text
  ASSERT_TRUE(f.Focus());
  f.TL->DispatchKeyPress('a');
  f.TL->DispatchKeyPress('b');
  ASSERT_EQ(f.FocusText(), "Abacus");
  const TPoint mid = f.CellPoint(f.Find("Abacus"), 0);
  // The first run of columns along the row where colour C fills the band above and below the text.
  auto span = [&](TColor C) {
    int from = -1, to = -1;
    for (int x = 0; x < f.TL->ClientWidth(); ++x) {
      bool all = true;
      for (int dy = -6; dy <= 6 && all; dy += 12) all = f.Pixel(x, mid.Y + dy) == ColorToRGB(C);
      if (all) {
        if (from < 0) from = x;
        to = x + 1;
      } else if (from >= 0) {
        break;  // the first run only
      }
    }
    return std::make_pair(from, to);
  };
  const int prefixW = f.TL->Canvas()->TextWidth("Ab");
  f.TL->SetSearchMatchColor(clYellow);
  f.TL->SetSearchMatchTextColor(clRed);
  f.Paint();
  auto [from, to] = span(clYellow);
  ASSERT_GE(from, 0);
  EXPECT_NEAR(to - from, prefixW, 2) << "only the prefix";
  int red = 0;  // reddish letter pixels (anti-aliased on the yellow)
  for (int x = from; x < to; ++x)
    for (int dy = -4; dy <= 4; ++dy) {
      const TColor p = f.Pixel(x, mid.Y + dy);
      red += (p & 0xFF) > 0xC0 && ((p >> 8) & 0xFF) < 0x40;
    }
  EXPECT_GT(red, 0) << "the prefix's letters";
  // clNone: the selection colour inverted, in the same place.
  f.TL->SetSearchMatchColor(clNone);
  f.Paint();
  const TColor inverted = ColorToRGB(f.TL->SelectionColor()) ^ 0xFFFFFF;
  EXPECT_EQ(span(inverted), std::make_pair(from, to));
  // The search ends: no mark.
  f.Key(VK_ESCAPE);
  f.Paint();
  EXPECT_NE(span(inverted).first, from);
}

// A column's own colour and font paint its unselected cells; the other columns keep the control's.
TEST(TreeListPaint, AColumnsOwnColorAndFontPaintItsCells) {
  TTreeListFixture f;
  f.Fill(3, 0);
  TvmTreeListColumn* c1 = f.TL->Columns(1);
  EXPECT_EQ(c1->Color(), f.TL->Color()) << "the control's until set";
  c1->SetColor(clYellow);
  TFont red;
  red.Assign(f.TL->Font());
  red.SetColor(clRed);
  c1->SetFont(&red);
  f.Paint();
  const TPoint p1 = f.CellPoint(f.Find("R2"), 1), p0 = f.CellPoint(f.Find("R2"), 0);
  EXPECT_EQ(f.Pixel(p1.X + 30, p1.Y), ColorToRGB(clYellow));
  EXPECT_EQ(f.Pixel(p0.X + 30, p0.Y), ColorToRGB(f.TL->Color()));
  // The digit "2" of column 1 is written in the column's red.
  int red1 = 0;
  const TvmTreeListLayout L = f.Layout();
  const auto* row = f.RowOf(L, f.Find("R2"));
  for (const auto& h : L.HeaderCells)
    if (h.Column == 1)
      for (int x = h.Rect.Left; x < h.Rect.Left + 20; ++x)
        for (int y = row->Top; y < row->Top + row->Height; ++y) {
          const TColor p = f.Pixel(x, y);
          red1 += (p & 0xFF) > 0xC0 && ((p >> 8) & 0xFF) < 0x40 && ((p >> 16) & 0xFF) < 0x40;
        }
  EXPECT_GT(red1, 0);
}

// Without the focus the focused cell carries its frame only when SuppressFocusRect is off.
TEST(TreeListPaint, SuppressFocusRectHidesTheFrameWithoutTheFocus) {
  TTreeListFixture f;
  f.Fill(3, 0);
  f.TL->SetHideSelection(true);
  f.TL->SetFocusedNode(f.Find("R1"));
  ASSERT_FALSE(f.TL->Focused());
  const TvmTreeListLayout L = f.Layout();
  const auto* row = f.RowOf(L, f.Find("R1"));
  auto edge = [&] {  // the row's top line across the focused cell
    std::vector<TColor> v;
    for (int x = 30; x < 90; ++x) v.push_back(f.Pixel(x, row->Top));
    return v;
  };
  EXPECT_TRUE(f.TL->SuppressFocusRect());
  f.Paint();
  const auto plain = edge();
  f.TL->SetSuppressFocusRect(false);
  f.Paint();
  EXPECT_NE(edge(), plain) << "the frame shows";
  f.TL->SetSuppressFocusRect(true);
  f.Paint();
  EXPECT_EQ(edge(), plain);
}

TEST(TreeListMouse, ButtonsCellsSelectionHeaderSortAndSizing) {
  TTreeListFixture f;
  f.Fill(4, 2);
  f.TL->SetOptions(f.TL->Options() + tloMultiSelect + tloAutoSort);
  TvmTreeListLayout L = f.Layout();
  const auto* r1 = f.RowOf(L, f.Find("R1"));
  f.Click(TPoint(L.RowsRect.Left + 8, r1->Top + r1->Height / 2));
  EXPECT_TRUE(f.Find("R1")->Expanded());
  f.Click(f.CellPoint(f.Find("R1.1"), 1));
  EXPECT_EQ(f.FocusText(), "R1.1");
  EXPECT_EQ(f.SelectedTexts(), (std::vector<std::string>{"R1.1"}));
  f.Click(f.CellPoint(f.Find("R1.0"), 1), {ssCtrl});
  EXPECT_EQ(f.SelectedTexts(), (std::vector<std::string>{"R1.0", "R1.1"}));
  f.Click(f.CellPoint(f.Find("R2"), 1), {ssShift});  // R1.0 is the anchor now
  f.TL->SetOptions(f.TL->Options() + tloMixedLevelSelect);
  f.Click(f.CellPoint(f.Find("R2"), 1), {ssShift});
  EXPECT_EQ(f.SelectedTexts(), (std::vector<std::string>{"R1.0", "R1.1", "R2"}));
  // Double click toggles.
  TPoint p = f.CellPoint(f.Find("R0"), 1);
  f.TL->DispatchMouseDown(mbLeft, {}, p.X, p.Y);
  f.TL->DispatchMouseUp(mbLeft, {}, p.X, p.Y);
  f.TL->DispatchMouseDown(mbLeft, {ssDouble}, p.X, p.Y, true);
  f.TL->DispatchMouseUp(mbLeft, {}, p.X, p.Y);
  EXPECT_TRUE(f.Find("R0")->Expanded());
  // A header click sorts, a second one reverses.
  f.TL->SetOptions(f.TL->Options() - tloMultiSelect);
  const auto& h1 = L.HeaderCells[1];
  TPoint hp((h1.Rect.Left + h1.Rect.Right) / 2, (h1.Rect.Top + h1.Rect.Bottom) / 2);
  f.Find("R0")->Collapse();
  f.Find("R1")->Collapse();
  f.Click(hp);
  EXPECT_EQ(f.TL->Columns(1)->Sorted(), csUp);
  f.Click(hp);
  EXPECT_EQ(f.TL->Columns(1)->Sorted(), csDown);
  EXPECT_EQ(f.VisibleTexts(), (std::vector<std::string>{"R3", "R2", "R1", "R0"}));
  // Dragging a column's edge sizes it.
  const auto& h0 = L.HeaderCells[0];
  int y = (h0.Rect.Top + h0.Rect.Bottom) / 2;
  f.TL->DispatchMouseDown(mbLeft, {}, h0.Rect.Right - 1, y);
  f.TL->DispatchMouseMove({ssLeft}, h0.Rect.Right + 29, y);
  EXPECT_EQ(f.TL->Columns(0)->Width(), 100);  // applied at the release
  f.TL->DispatchMouseUp(mbLeft, {}, h0.Rect.Right + 29, y);
  EXPECT_EQ(f.TL->Columns(0)->Width(), 130);
  EXPECT_EQ(f.Layout().HeaderCells[0].Rect.Width(), 130);
}

TEST(TreeListScrolling, WheelPagesAndTheScrollBar) {
  TTreeListFixture f(3, 400, 200);
  f.Fill(50, 0);
  int page = f.TL->PageRowCount();
  ASSERT_GT(page, 3);
  EXPECT_TRUE(f.TL->DispatchMouseWheel({}, -120, 50, 50));
  EXPECT_EQ(f.TL->GetTopRowIndex(), 3);
  f.TL->DispatchMouseWheel({}, 120, 50, 50);
  EXPECT_EQ(f.TL->GetTopRowIndex(), 0);
  f.Find("R0")->SetFocused(true);
  f.Key(VK_NEXT);  // to the page's last row
  EXPECT_EQ(f.TL->GetFocusedRowIndex(), page - 1);
  f.Key(VK_NEXT);  // a page further, scrolling
  EXPECT_EQ(f.TL->GetFocusedRowIndex(), 2 * page - 2);
  EXPECT_EQ(f.TL->GetTopRowIndex(), page - 1);
  f.Key(VK_END, {ssCtrl});
  EXPECT_EQ(f.TL->GetTopRowIndex(), 50 - page);
  EXPECT_TRUE(f.TL->ScrollBarShowing(1));
  f.TL->SetTopRowIndex(1000);
  EXPECT_EQ(f.TL->GetTopRowIndex(), 50 - page);
}

TEST(TreeListSorting, KeysTieBreaksNullsAndTheCompareEvent) {
  EXPECT_LT(TCustomvmTreeList::CompareSortValues(Variant(), Variant("a")), 0);
  EXPECT_GT(TCustomvmTreeList::CompareSortValues(Variant(1), Variant()), 0);
  EXPECT_EQ(TCustomvmTreeList::CompareSortValues(Variant(), Variant()), 0);
  EXPECT_LT(TCustomvmTreeList::CompareSortValues(Variant(2), Variant(10)), 0);

  TTreeListFixture f;
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxMultiSort);
  f.TL->BeginUpdate();
  for (auto t : std::vector<std::vector<std::string>>{{"x", "b"}, {"y", "a"}, {"z", "b"}, {"w", "a"}})
    f.TL->AddNode(nullptr, t);
  f.TL->EndUpdate();
  // By column 1 up, then column 0 down.
  f.TL->Columns(1)->SetSorted(csUp);
  f.TL->Columns(0)->SetSorted(csDown);
  EXPECT_EQ(f.VisibleTexts(), (std::vector<std::string>{"y", "w", "z", "x"}));
  // A compare event that answers 0 falls back to the node order; descending plays no part.
  f.TL->OnCompare = [](TObject*, TvmTreeListNode*, TvmTreeListNode*, int& c) { c = 0; };
  f.TL->SortNodes(-1, 0, false);
  std::vector<std::string> a = f.VisibleTexts();
  f.TL->SortNodes(-1, 0, true);
  EXPECT_EQ(f.VisibleTexts(), a);
  for (int i = 1; i < 4; ++i) EXPECT_LT(f.TL->CompareNodes(f.TL->Items(i - 1), f.TL->Items(i)), 0);
  // Sorting keeps the focus and the selection.
  f.TL->OnCompare = nullptr;
  f.TL->Columns(0)->SetSorted(csNone);
  f.TL->Columns(1)->SetSorted(csNone);
  f.Find("z")->SetFocused(true);
  f.TL->SortNodes(-1, 0, false);
  EXPECT_EQ(f.FocusText(), "z");
  EXPECT_EQ(f.VisibleTexts(), (std::vector<std::string>{"w", "x", "y", "z"}));
}

// Pixels: selection, focus frame, tree lines, expand buttons, the indicator and sort marks.
TEST(TreeListPaint, WhatCarriesMeaningIsDrawn) {
  TTreeListFixture f;
  f.TL->SetShowIndicatorColumn(true);
  f.Fill(3, 2);
  f.Find("R1")->Expand(false);
  f.Find("R1.0")->SetFocused(true);
  f.TL->SetHideSelection(false);
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxMultiSort);
  f.TL->Columns(0)->SetSorted(csUp);
  f.TL->Columns(1)->SetSorted(csDown);
  f.Paint();
  TvmTreeListLayout L = f.Layout();
  const auto* row = f.RowOf(L, f.Find("R1.0"));
  ASSERT_NE(row, nullptr);
  int cy = row->Top + row->Height / 2;
  // The focused (selected) row of the unfocused grid in the inactive selection colour, the text of
  // another row on the window; a hidden selection looks unselected.
  TPoint c1 = f.CellPoint(f.Find("R1.0"), 2);
  EXPECT_EQ(f.Pixel(c1.X, c1.Y), ColorToRGB(f.TL->InactiveSelectionColor()));
  EXPECT_NE(ColorToRGB(f.TL->InactiveSelectionColor()), ColorToRGB(clWindow));
  f.TL->SetHideSelection(true);
  f.Paint();
  EXPECT_EQ(f.Pixel(c1.X, c1.Y), ColorToRGB(clWindow));
  f.TL->SetHideSelection(false);
  f.Paint();
  TPoint c2 = f.CellPoint(f.Find("R2"), 2);
  EXPECT_EQ(f.Pixel(c2.X, c2.Y), ColorToRGB(clWindow));
  // The indicator's arrow on the focused row.
  EXPECT_EQ(f.Pixel(L.IndicatorRect.Left + 5, cy), ColorToRGB(clBlack));
  const auto* r0 = f.RowOf(L, f.Find("R0"));
  EXPECT_NE(f.Pixel(L.IndicatorRect.Left + 5, r0->Top + r0->Height / 2), ColorToRGB(clBlack));
  // Expand buttons: the box frame in gray text, "+" on a collapsed node, "-" on an open one.
  int left = L.RowsRect.Left;
  auto button = [&](TvmTreeListNode* n, int dx, int dy) {
    const auto* r = f.RowOf(L, n);
    int x = (left + left + 16 - 9) / 2, y = r->Top + r->Height / 2 - 4;
    return f.Pixel(x + dx, y + dy);
  };
  EXPECT_EQ(button(f.Find("R0"), 0, 0), ColorToRGB(clGrayText));
  EXPECT_EQ(button(f.Find("R0"), 4, 3), ColorToRGB(clWindowText));  // the "+" bar
  EXPECT_EQ(button(f.Find("R1"), 4, 3), ColorToRGB(clWindow));      // no bar in "-"
  EXPECT_EQ(button(f.Find("R1"), 3, 4), ColorToRGB(clWindowText));
  // Tree lines: dotted in the connector colour down the parent's column through the child rows.
  int lx = left + 8;
  int dots = 0;
  for (int y = row->Top; y < row->Top + row->Height; ++y) dots += f.Pixel(lx, y) == ColorToRGB(clGrayText);
  EXPECT_GE(dots, row->Height / 2 - 1);
  EXPECT_LE(dots, row->Height / 2 + 1);
  int hx = 0;
  for (int x = left + 8 + 16; x < left + 32; ++x) hx += f.Pixel(x, cy) == ColorToRGB(clGrayText);
  EXPECT_GE(hx, 3);
  // Sort marks: the shadow slope of an upward mark in column 0, the shadow base of a downward one.
  auto markShadow = [&](int col) {
    for (const auto& h : L.HeaderCells)
      if (h.Column == col) {
        int n = 0;
        for (int y = h.Rect.Top + 1; y < h.Rect.Bottom - 1; ++y)
          for (int x = h.Rect.Right - 16; x < h.Rect.Right - 3; ++x) n += f.Pixel(x, y) == ColorToRGB(clBtnShadow);
        return n;
      }
    return -1;
  };
  EXPECT_GE(markShadow(0), 5);
  EXPECT_GE(markShadow(1), 9);
  EXPECT_LE(markShadow(2), 2);  // just the face's edge, no mark
  // With the focus the focused cell carries the focus frame (dotted, inverting).
  if (f.Focus()) {
    f.TL->SetOptions(f.TL->Options() - tloRowSelect);
    f.Paint();
    TRect r = f.TL->GetCellRect(f.Find("R1.0"), 1);
    int changed = 0;
    for (int x = r.Left; x < r.Right; ++x) changed += f.Pixel(x, r.Top) != ColorToRGB(clHighlight);
    EXPECT_GT(changed, (r.Right - r.Left) / 3);
    // Without the focus and with HideSelection the inactive colours are used.
    f.TL->SetHideSelection(true);
  } else {
    f.TL->SetHideSelection(true);
    f.Paint();
    EXPECT_EQ(f.Pixel(c1.X, c1.Y), ColorToRGB(clBtnFace));
  }
}

}  // namespace

namespace {

TEST(TreeListMouse, HotTrackingReportsTheCellAndItsCursor) {
  TTreeListFixture f;
  f.Fill(3, 0);
  std::vector<std::pair<TvmTreeListNode*, int>> seen;
  f.TL->OnNodeHotTrack = [&](TObject*, TvmTreeListHotTrackInfo Info, TCursor& Cursor) {
    seen.emplace_back(Info.HotNode, Info.HotColumn);
    if (Info.HotColumn == 2) Cursor = crHandPoint;
  };
  TPoint p = f.CellPoint(f.Find("R1"), 1);
  f.TL->DispatchMouseEnter();
  f.TL->DispatchMouseMove({}, p.X, p.Y);
  EXPECT_TRUE(seen.empty());  // off by default
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxHotTrack);
  f.TL->DispatchMouseMove({}, p.X, p.Y);
  f.TL->DispatchMouseMove({}, p.X + 1, p.Y);  // the same cell: no new report
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], std::make_pair(f.Find("R1"), 1));
  EXPECT_TRUE(f.TL->IsHotCell(f.Find("R1"), 1));
  TPoint q = f.CellPoint(f.Find("R2"), 2);
  f.TL->DispatchMouseMove({}, q.X, q.Y);
  EXPECT_EQ(f.TL->Cursor(), crHandPoint);
  f.TL->DispatchMouseMove({}, p.X, p.Y);
  EXPECT_EQ(f.TL->Cursor(), crDefault);
  f.TL->DispatchMouseLeave();
  EXPECT_EQ(f.TL->HotTrackRecord().HotNode, nullptr);
  // A hot node that goes leaves no trace.
  f.TL->DispatchMouseEnter();
  f.TL->DispatchMouseMove({}, p.X, p.Y);
  f.Find("R1")->Delete();
  EXPECT_EQ(f.TL->HotTrackRecord().HotNode, nullptr);
}

TEST(TreeListMouse, CtrlClickOnAHeaderClearsItsSortAndShiftAddsOne) {
  TTreeListFixture f;
  f.Fill(3, 0);
  f.TL->SetOptions(f.TL->Options() + tloAutoSort);
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxMultiSort);
  TvmTreeListLayout L = f.Layout();
  auto centre = [&](int i) {
    const TRect& r = L.HeaderCells[i].Rect;
    return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  };
  f.Click(centre(0));
  f.Click(centre(1), {ssShift});
  EXPECT_EQ(f.TL->SortedColumnCount(), 2);
  f.Click(centre(1));  // a plain click: the only sort column
  EXPECT_EQ(f.TL->SortedColumnCount(), 1);
  EXPECT_EQ(f.TL->Columns(0)->Sorted(), csNone);
  f.Click(centre(1), {ssCtrl});
  EXPECT_EQ(f.TL->Columns(1)->Sorted(), csNone);
  EXPECT_EQ(f.TL->SortedColumnCount(), 0);
}

TEST(TreeListMouse, FocusFollowsTheMouseAndKeepsMovingBelowTheRows) {
  TTreeListFixture f(3, 400, 150);
  f.Fill(30, 0);
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxMouseTracksFocus);
  TPoint p = f.CellPoint(f.Find("R0"), 1);
  f.TL->DispatchMouseDown(mbLeft, {}, p.X, p.Y);
  TPoint q = f.CellPoint(f.Find("R3"), 1);
  f.TL->DispatchMouseMove({ssLeft}, q.X, q.Y);
  EXPECT_EQ(f.FocusText(), "R3");
  f.TL->DispatchMouseMove({ssLeft}, q.X, 400);
  EXPECT_EQ(f.FocusText(), "R4");
  f.TL->DragScrollTimer()->Fire();
  f.TL->DragScrollTimer()->Fire();
  EXPECT_EQ(f.FocusText(), "R6");
  f.TL->DispatchMouseUp(mbLeft, {}, q.X, 400);
  EXPECT_EQ(f.TL->State(), tlsIdle);
}

}  // namespace

namespace {

TEST(TreeListKeys, CtrlInsertCopiesTheFocusedLine) {
  TTreeListFixture f;
  f.Fill(2, 0);
  f.Find("R1")->SetFocused(true);
  f.Key(VK_INSERT, {ssCtrl});
  EXPECT_EQ(Clipboard()->AsText(), "C0\tC1\tC2\r\nR1\t1\t\r\n");
  Clipboard()->SetAsText("");
  f.TL->DispatchKeyPress(3);
  EXPECT_EQ(Clipboard()->AsText(), "");  // Ctrl+C only with its option
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxCopyOnCtrlC);
  f.TL->DispatchKeyPress(3);
  EXPECT_EQ(Clipboard()->AsText(), "C0\tC1\tC2\r\nR1\t1\t\r\n");
}

}  // namespace

namespace {

TEST(TreeListScrolling, HorizontalPositionIsClampedAndMovesTheCells) {
  TTreeListFixture f;
  f.Fill(3, 0);
  for (int i = 0; i < 3; ++i) f.TL->Columns(i)->SetWidth(300);
  TvmTreeListLayout L = f.Layout();
  int view = L.RowsRect.Right - L.RowsRect.Left;
  f.TL->SetLeftPos(100000);
  EXPECT_EQ(f.TL->LeftPos(), 900 - view);
  EXPECT_TRUE(f.TL->ScrollBarShowing(0));
  EXPECT_EQ(f.Layout().HeaderCells.back().Rect.Right, L.RowsRect.Right);
  f.TL->SetLeftPos(-5);
  EXPECT_EQ(f.TL->LeftPos(), 0);
  // Focusing the last column scrolls it into view.
  f.TL->SetOptions(f.TL->Options() - tloRowSelect);
  f.Find("R0")->SetFocused(true);
  f.TL->SetFocusedColumn(2);
  TvmTreeListLayout L2 = f.Layout();
  EXPECT_GE(L2.HeaderCells.back().Rect.Left, L2.RowsRect.Left);
  EXPECT_LE(L2.HeaderCells.back().Rect.Right, L2.RowsRect.Right);
  // With narrow columns there is nothing to scroll.
  for (int i = 0; i < 3; ++i) f.TL->Columns(i)->SetWidth(50);
  f.TL->SetLeftPos(40);
  EXPECT_EQ(f.TL->LeftPos(), 0);
}

}  // namespace

namespace {

// An image list of solid 16 x 16 squares in the given colours.
TImageList* Squares(TComponent* Owner, std::vector<TColor> Colors) {
  auto* il = new TImageList(Owner);
  for (TColor c : Colors) {
    TBitmap b;
    b.SetWidth(16);
    b.SetHeight(16);
    b.Canvas()->Brush()->SetColor(c);
    b.Canvas()->FillRect(Rect(0, 0, 16, 16));
    il->Add(&b, nullptr);
  }
  return il;
}

TEST(TreeListPaint, ImagesStateImagesAndTheirHits) {
  TTreeListFixture f;
  f.Fill(3, 0);
  TImageList* images = Squares(f.Form.get(), {clRed, clBlue});
  TImageList* states = Squares(f.Form.get(), {clLime});
  f.TL->SetImages(images);
  f.TL->SetStateImages(states);
  TvmTreeListNode* r1 = f.Find("R1");
  r1->SetStateImageIndex(0);
  r1->SetSelectedIndex(1);
  f.Find("R0")->SetFocused(true);
  f.Paint();
  TvmTreeListLayout L = f.Layout();
  const auto* row = f.RowOf(L, r1);
  int cy = row->Top + row->Height / 2;
  int left = L.RowsRect.Left + 16;  // after the root's button slot
  EXPECT_EQ(f.Pixel(left + 8, cy), ColorToRGB(clLime));
  EXPECT_EQ(f.Pixel(left + 24, cy), ColorToRGB(clRed));
  // Text starts after the images.
  EXPECT_EQ(f.TL->GetCellRect(r1, 0).Left, left + 32);
  TvmTreeListHitTestInfo h;
  f.TL->GetHitInfo(TPoint(left + 8, cy), h);
  EXPECT_EQ(h.HitType, tlhStateIcon);
  f.TL->GetHitInfo(TPoint(left + 24, cy), h);
  EXPECT_EQ(h.HitType, tlhIcon);
  // The focused node shows its selected image; an event may change the index.
  r1->SetFocused(true);
  f.Paint();
  EXPECT_EQ(f.Pixel(left + 24, cy), ColorToRGB(clBlue));
  f.TL->OnGetSelectedIndex = [](TObject*, TvmTreeListNode*, int& i) { i = 0; };
  f.Paint();
  EXPECT_EQ(f.Pixel(left + 24, cy), ColorToRGB(clRed));
  // Freeing an image list empties the property.
  delete images;
  EXPECT_EQ(f.TL->Images(), nullptr);
  f.Paint();
  EXPECT_EQ(f.TL->GetCellRect(r1, 0).Left, left + 16);
}

}  // namespace

namespace {

TEST(TreeListBadInput, ColumnIndexesOutsideTheColumnsAndTeardownsMidAction) {
  TTreeListFixture f;
  f.Fill(3, 2);
  TvmTreeListNode* n = f.Find("R1");
  EXPECT_THROW(f.TL->Columns(-1), ERangeError);
  EXPECT_EQ(n->Strings(-1), "");
  EXPECT_EQ(n->Strings(1000), "");
  n->SetStrings(-4, "ignored");
  EXPECT_EQ(n->Strings(0), "R1");
  f.TL->SetOptions(f.TL->Options() - tloRowSelect);
  f.TL->SetFocusedColumn(99);
  EXPECT_EQ(f.TL->GetFocusedColumn(), 0);
  EXPECT_EQ(f.TL->GetCellRect(n, 99).Left, -1);
  EXPECT_EQ(f.TL->VisualColumnToColumn(-3), -1);
  f.TL->Columns(0)->SetBandIndex(42);
  EXPECT_EQ(f.TL->Columns(0)->BandIndex(), 0);
  f.TL->Columns(0)->SetBandIndex(-9);
  EXPECT_EQ(f.TL->Columns(0)->BandIndex(), -1);
  EXPECT_EQ(f.Layout().HeaderCells.size(), 2u);  // a column without a band is not shown
  f.TL->Columns(0)->SetBandIndex(0);
  f.TL->SortNodes(-1, 57, false);  // no such column: every key is empty
  EXPECT_EQ(f.TL->Count(), 3);
  // Deleting nodes from the deletion event, and the whole tree while editing and dragging.
  f.TL->OnDeletion = [&](TObject*, TvmTreeListNode* d) {
    if (d->Strings(0) == "R0.0") {
      EXPECT_EQ(d->Parent(), f.Find("R0"));
    }
  };
  f.Find("R0")->Delete();
  f.TL->SetDragMode(tldmAutomatic);
  f.Focus();
  f.Find("R1")->SetFocused(true);
  f.Key(VK_F1 + 1);
  EXPECT_EQ(f.TL->State(), tlsEditing);
  f.TL->DeleteAllNodes();
  EXPECT_EQ(f.TL->State(), tlsIdle);
  EXPECT_EQ(f.TL->EditingNode(), nullptr);
  EXPECT_FALSE(f.TL->InplaceEditor()->EditVisible());
  f.Key(VK_ESCAPE);
  f.Fill(2, 0);
  TPoint p = f.CellPoint(f.Find("R0"), 1);
  f.TL->DispatchMouseDown(mbLeft, {}, p.X, p.Y);
  f.TL->DispatchMouseMove({ssLeft}, p.X, p.Y + 30);
  ASSERT_EQ(f.TL->State(), tlsNodeDragging);
  f.Find("R0")->Delete();  // the dragged node goes: the drag ends
  EXPECT_EQ(f.TL->State(), tlsIdle);
  EXPECT_EQ(f.TL->DraggedNode(), nullptr);
  f.TL->DispatchMouseUp(mbLeft, {}, p.X, p.Y + 30);
  f.Paint();
}

}  // namespace

namespace {

TEST(TreeListPaint, PreviewTextUnderTheCells) {
  TTreeListFixture f;
  f.Fill(3, 0);
  f.TL->OnGetPreviewText = [](TObject*, TvmTreeListNode* n, std::string& t) { t = "Preview of " + n->Strings(0); };
  int plain = f.TL->RowHeight();
  f.TL->SetOptions(f.TL->Options() + tloPreview);
  f.TL->Canvas()->Font()->Assign(f.TL->PreviewTextFont());
  int ph = f.TL->Canvas()->TextHeight("Wg");
  EXPECT_EQ(f.TL->RowHeight(), plain + 2 * ph + 2);
  f.TL->SetPreviewLineCount(1);
  EXPECT_EQ(f.TL->RowHeight(), plain + ph + 2);
  f.Paint();
  TvmTreeListLayout L = f.Layout();
  const auto* r = f.RowOf(L, f.Find("R2"));
  int top = r->Top + r->Height - f.TL->PreviewHeight();
  // Blue text pixels (smoothed text: clearly blue ones) in the preview band, none in the cells above it.
  auto blues = [&](int y1, int y2) {
    int n = 0;
    for (int y = y1; y < y2; ++y)
      for (int x = L.RowsRect.Left; x < L.RowsRect.Left + 200; ++x) {
        uint32_t c = static_cast<uint32_t>(f.Pixel(x, y));
        int red = c & 0xFF, green = (c >> 8) & 0xFF, blue = (c >> 16) & 0xFF;
        n += blue > 150 && red < 120 && green < 120;
      }
    return n;
  };
  EXPECT_GT(blues(top, r->Top + r->Height), 10);
  EXPECT_EQ(blues(r->Top, top), 0);
  TvmTreeListHitTestInfo h;
  f.TL->GetHitInfo(TPoint(L.RowsRect.Left + 100, top + 2), h);
  EXPECT_EQ(h.HitType, tlhPreview);
  EXPECT_EQ(h.Node, f.Find("R2"));
  f.TL->GetHitInfo(TPoint(L.RowsRect.Left + 100, r->Top + 2), h);
  EXPECT_EQ(h.HitType, tlhCell);
}

}  // namespace

namespace {

TEST(TreeListMouse, AClickInsideASelectionNarrowsItOnReleaseAndARightClickFocuses) {
  TTreeListFixture f;
  f.Fill(5, 0);
  f.TL->SetOptions(f.TL->Options() + tloMultiSelect);
  f.Click(f.CellPoint(f.Find("R1"), 1));
  f.Click(f.CellPoint(f.Find("R3"), 1), {ssShift});
  ASSERT_EQ(f.TL->GetSelectedCount(), 3);
  TPoint p = f.CellPoint(f.Find("R2"), 1);
  f.TL->DispatchMouseDown(mbLeft, {}, p.X, p.Y);
  EXPECT_EQ(f.TL->GetSelectedCount(), 3);  // kept while pressed (a drag would carry it)
  f.TL->DispatchMouseUp(mbLeft, {}, p.X, p.Y);
  EXPECT_EQ(f.SelectedTexts(), (std::vector<std::string>{"R2"}));
  // Right click: focuses and selects an unselected row, keeps a selected one's selection.
  TPoint q = f.CellPoint(f.Find("R4"), 1);
  f.TL->DispatchMouseDown(mbRight, {}, q.X, q.Y);
  f.TL->DispatchMouseUp(mbRight, {}, q.X, q.Y);
  EXPECT_EQ(f.FocusText(), "R4");
  EXPECT_EQ(f.SelectedTexts(), (std::vector<std::string>{"R4"}));
  // A right click during a column drag cancels it.
  TvmTreeListLayout L = f.Layout();
  TPoint h((L.HeaderCells[0].Rect.Left + L.HeaderCells[0].Rect.Right) / 2, L.HeaderCells[0].Rect.Top + 5);
  f.TL->DispatchMouseDown(mbLeft, {}, h.X, h.Y);
  f.TL->DispatchMouseMove({ssLeft}, h.X + 150, h.Y);
  ASSERT_EQ(f.TL->State(), tlsColumnDragging);
  f.TL->DispatchMouseDown(mbRight, {ssLeft}, h.X + 150, h.Y);
  EXPECT_EQ(f.TL->State(), tlsIdle);
  f.TL->DispatchMouseUp(mbLeft, {}, h.X + 150, h.Y);
  EXPECT_EQ(f.TL->Columns(0)->Caption(), "C0");
}

}  // namespace

namespace {

TEST(TreeListSorting, TextsDifferingOnlyInCaseKeepAStrictOrder) {
  TTreeListFixture f;
  f.TL->BeginUpdate();
  for (const char* t : {"b", "B", "a", "A", "ab", "Ab"})
    for (int k = 0; k < 30; ++k) f.TL->AddNode(nullptr, {t});
  f.TL->EndUpdate();
  f.TL->SortNodes(0, 0, false);
  std::vector<std::string> v = f.VisibleTexts();
  v.erase(std::unique(v.begin(), v.end()), v.end());
  EXPECT_EQ(v, (std::vector<std::string>{"A", "a", "Ab", "ab", "B", "b"}));
  f.TL->SortNodes(0, 0, true);
  v = f.VisibleTexts();
  v.erase(std::unique(v.begin(), v.end()), v.end());
  EXPECT_EQ(v, (std::vector<std::string>{"b", "B", "ab", "Ab", "a", "A"}));
}

}  // namespace

namespace {

TEST(TreeListKeys, UpAndDownWalkTheHeaderRowsOfAMultiRowBand) {
  TTreeListFixture f(4);
  f.TL->SetOptions(f.TL->Options() - tloRowSelect);
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxRowNavigation);
  f.TL->SetHeaderPanelRowCount(2);
  f.TL->Columns(2)->SetRowIndex(1);
  f.TL->Columns(3)->SetRowIndex(1);
  f.Fill(2, 0);
  f.Find("R0")->SetFocused(true);
  f.TL->SetFocusedColumn(f.TL->ColumnToVisualColumn(1));  // row 0, second place
  f.Key(VK_DOWN);
  EXPECT_EQ(f.FocusText(), "R0");
  EXPECT_EQ(f.TL->GetFocusedAbsoluteColumn(), 3);  // row 1, second place
  f.Key(VK_DOWN);
  EXPECT_EQ(f.FocusText(), "R1");
  EXPECT_EQ(f.TL->GetFocusedAbsoluteColumn(), 1);
  f.Key(VK_DOWN);
  f.Key(VK_DOWN);  // below the last row: stays
  EXPECT_EQ(f.FocusText(), "R1");
  EXPECT_EQ(f.TL->GetFocusedAbsoluteColumn(), 3);
  f.Key(VK_UP);
  f.Key(VK_UP);
  EXPECT_EQ(f.FocusText(), "R0");
  EXPECT_EQ(f.TL->GetFocusedAbsoluteColumn(), 3);
}

}  // namespace

namespace {

TEST(TreeListColumns, AutomaticHeaderRowsFollowTheShownColumns) {
  TTreeListFixture f;
  f.TL->SetHeaderPanelRowCount(3);
  f.TL->Columns(1)->SetRowIndex(1);
  f.TL->Columns(2)->SetRowIndex(2);
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxAutoHeaderRowCount);
  f.TL->Columns(2)->SetVisible(false);
  EXPECT_EQ(f.TL->HeaderPanelRowCount(), 2);
  EXPECT_TRUE(f.TL->ExtendedOptions().Contains(tlxAutoHeaderRowCount));
  f.TL->Columns(2)->SetVisible(true);
  EXPECT_EQ(f.TL->HeaderPanelRowCount(), 3);
  EXPECT_EQ(f.TL->HeaderPanelHeight(), 3 * f.TL->HeaderRowHeight());
  // Setting the count by hand ends the automatic mode.
  f.TL->SetHeaderPanelRowCount(1);
  EXPECT_FALSE(f.TL->ExtendedOptions().Contains(tlxAutoHeaderRowCount));
}

}  // namespace
