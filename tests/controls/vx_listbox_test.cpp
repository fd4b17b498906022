#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "controls/vx_listbox.h"
#include "platform/exceptions.h"
#include "platform/forms.h"

namespace {

// Opens the protected auto scroll flag and the drawing entry points for the tests.
class TTestListBox : public TVxListBox {
public:
  using TVxCustomListBox::SetAutoScrollFlag;
  using TVxListBox::TVxListBox;
};

TObject* Tag(intptr_t V) { return reinterpret_cast<TObject*>(V); }

void ClickAt(TControl* C, int X, int Y, TShiftState Shift = {}) {
  SendInput(C, ikMouseDown, Shift, X, Y, mbLeft);
  SendInput(C, ikMouseUp, Shift, X, Y, mbLeft);
}

TEST(VxListBox, CreationDefaults) {
  TVxListBox list(nullptr);
  EXPECT_EQ(list.Width(), 121);
  EXPECT_EQ(list.Height(), 97);
  EXPECT_TRUE(list.TabStop());
  EXPECT_EQ(list.Style(), lbStandard);
  EXPECT_TRUE(list.ExtendedSelect());
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_EQ(list.HorizontalExtent(), 0);
}

TEST(VxListBox, ItemErrorsNameTheIndex) {
  TVxListBox list(nullptr);
  list.Items()->Add("a");
  for (int bad : {-1, 1, 7}) {
    try {
      (void)list.Items()->Strings(bad);
      FAIL() << bad;
    } catch (const EStringListError& e) {
      EXPECT_EQ(std::string(e.what()), "List index out of bounds (" + std::to_string(bad) + ")");
    }
    EXPECT_THROW((void)list.Items()->Objects(bad), EStringListError);
    EXPECT_THROW((void)list.Selected(bad), EStringListError);
  }
}

TEST(VxListBox, ChangingSortedKeepsTextsObjectsTopAndCurrentItem) {
  TVxListBox list(nullptr);
  list.SetHeight(40);
  const char* names[] = {"delta", "Alpha", "charlie", "bravo", "echo", "foxtrot"};
  for (int i = 0; i < 6; ++i) list.Items()->AddObject(names[i], Tag(100 + i));
  list.SetItemIndex(2);  // charlie
  list.SetTopIndex(1);
  int before = list.RecreateCount();
  list.SetSorted(true);
  EXPECT_GT(list.RecreateCount(), before);
  EXPECT_EQ(list.Items()->CommaText(), "Alpha,bravo,charlie,delta,echo,foxtrot");
  EXPECT_EQ(list.Items()->Objects(0), Tag(101));
  EXPECT_EQ(list.Items()->Objects(3), Tag(100));
  EXPECT_EQ(list.Items()->Strings(list.ItemIndex()), "charlie");
  EXPECT_EQ(list.TopIndex(), 1);
  // A sorted list places new texts where they belong.
  EXPECT_EQ(list.Items()->Add("Cobra"), 3);
  EXPECT_EQ(list.Items()->Strings(list.ItemIndex()), "charlie");
  list.SetSorted(false);
  EXPECT_EQ(list.Items()->Add("aaa"), 7);
}

TEST(VxListBox, HorizontalExtentFollowsTheWidestItem) {
  TTestListBox list(nullptr);
  list.SetAutoScrollFlag(true);
  list.Items()->Add("short");
  list.Items()->Add("a much longer item text than the list is wide");
  list.Items()->Add("medium text");
  TCanvas* c = list.Canvas();
  c->Font()->Assign(list.Font());
  int widest = c->TextWidth("a much longer item text than the list is widex");
  EXPECT_EQ(list.HorizontalExtent(), widest);
  list.SetScrollLeft(30);
  EXPECT_EQ(list.ScrollLeft(), 30);
  EXPECT_EQ(list.ItemBounds(0).Left, -30);

  list.Items()->Delete(0);  // narrower: extent and scroll stay
  EXPECT_EQ(list.HorizontalExtent(), widest);
  EXPECT_EQ(list.ScrollLeft(), 30);
  list.Items()->Delete(0);  // the widest: back to the left edge, extent recomputed
  EXPECT_EQ(list.HorizontalExtent(), c->TextWidth("medium textx"));
  EXPECT_EQ(list.ScrollLeft(), 0);
  list.Items()->Clear();
  EXPECT_EQ(list.HorizontalExtent(), 0);

  // With columns, auto scroll is not in effect.
  list.Items()->Add("a much longer item text than the list is wide");
  list.SetColumns(2);
  EXPECT_EQ(list.HorizontalExtent(), 0);
  list.SetColumns(0);
  EXPECT_EQ(list.HorizontalExtent(), widest);
  list.SetAutoScrollFlag(false);
  EXPECT_EQ(list.HorizontalExtent(), 0);
}

TEST(VxListBox, TabbedItemsMeasureToTheTabStop) {
  TTestListBox list(nullptr);
  list.SetAutoScrollFlag(true);
  list.SetTabWidth(-5);
  EXPECT_EQ(list.TabWidth(), 0);
  list.SetTabWidth(40);
  list.Items()->Add("a\tb");
  TCanvas* c = list.Canvas();
  c->Font()->Assign(list.Font());
  int stop = static_cast<int>(std::nearbyint(c->TextWidth("0") * 40 / 4.0));
  ASSERT_GT(stop, c->TextWidth("a"));
  EXPECT_EQ(list.HorizontalExtent(), stop + c->TextWidth("bx"));
}

TEST(VxListBox, GetItemWidthServesOnlyOwnerDrawnLists) {
  TTestListBox list(nullptr);
  list.SetAutoScrollFlag(true);
  list.Items()->Add("x");
  list.SetOnGetItemWidth([](TWinControl*, int, int& W) { W = 500; });
  EXPECT_LT(list.HorizontalExtent(), 500);  // standard style measures its text
  list.SetStyle(lbOwnerDrawFixed);
  list.SetOnDrawItem([](TWinControl*, int, TRect, TOwnerDrawState) {});
  EXPECT_EQ(list.HorizontalExtent(), 500);
}

TEST(VxListBox, ColumnsAndItemGeometry) {
  TVxListBox list(nullptr);
  list.SetBounds(0, 0, 121, 97);
  list.SetColumns(3);
  EXPECT_EQ(list.ColumnWidth(), 40);
  list.SetColumns(0);
  EXPECT_EQ(list.ColumnWidth(), 0);

  list.SetStyle(lbOwnerDrawFixed);
  list.SetItemHeight(20);
  list.SetItemHeight(0);  // ignored
  list.SetItemHeight(-3);
  EXPECT_EQ(list.ItemHeight(), 20);
  for (const char* s : {"a", "b", "c"}) list.Items()->Add(s);
  EXPECT_EQ(list.ItemBounds(1), Rect(0, 20, list.ClientWidth(), 40));
  EXPECT_EQ(list.ItemBounds(3), Rect(0, 60, list.ClientWidth(), 80));  // one row under the last
  EXPECT_EQ(list.ItemBounds(4), Rect(0, 0, 0, 0));
  struct Case {
    int X, Y;
    bool Existing;
    int Want;
  };
  for (const Case& k : {Case{5, 5, true, 0}, Case{5, 45, true, 2}, Case{5, 70, false, 3}, Case{5, 70, true, -1},
                        Case{-1, 5, false, -1}, Case{5, 500, false, -1}}) {
    EXPECT_EQ(list.ItemAtPoint(TPoint(k.X, k.Y), k.Existing), k.Want) << k.X << "," << k.Y << "," << k.Existing;
  }

  list.SetColumns(2);
  list.SetHeight(44);  // two rows a column inside the border
  EXPECT_EQ(list.ItemBounds(2).Left, list.ColumnWidth());
  EXPECT_EQ(list.ItemAtPoint(TPoint(list.ColumnWidth() + 2, 5), true), 2);
}

TEST(VxListBox, StandardStyleReportsTheRowHeightOfItsFont) {
  TVxListBox list(nullptr);
  list.SetItemHeight(40);
  list.Items()->Add("a");
  EXPECT_NE(list.ItemHeight(), 40);
  EXPECT_EQ(list.ItemHeight(), list.ItemBounds(0).Height());
  list.Font()->SetSize(list.Font()->Size() * 3);
  EXPECT_EQ(list.ItemHeight(), list.ItemBounds(0).Height());
  EXPECT_GT(list.ItemHeight(), 30);
  list.SetStyle(lbOwnerDrawFixed);
  EXPECT_EQ(list.ItemHeight(), 40);
}

TEST(VxListBox, VariableHeightsComeFromMeasureItem) {
  TVxListBox list(nullptr);
  list.SetStyle(lbOwnerDrawVariable);
  list.SetItemHeight(10);
  list.OnMeasureItem = [](TWinControl*, int Index, int& H) { H += 5 * Index; };
  for (const char* s : {"a", "b", "c"}) list.Items()->Add(s);
  EXPECT_EQ(list.ItemBounds(2), Rect(0, 25, list.ClientWidth(), 45));
  EXPECT_EQ(list.ItemAtPoint(TPoint(3, 24), true), 1);
}

TEST(VxListBox, MouseAndKeysSelectAndClick) {
  TVxListBox list(nullptr);
  list.SetStyle(lbOwnerDrawFixed);
  list.SetItemHeight(10);
  list.SetBounds(0, 0, 80, 44);  // four rows inside the border
  for (const char* s : {"one", "two", "three", "four", "five", "six"}) list.Items()->Add(s);
  int clicks = 0, dbl = 0;
  list.OnClick = [&](TObject*) { ++clicks; };
  list.OnDblClick = [&](TObject*) { ++dbl; };
  ClickAt(&list, 5, 25);
  EXPECT_EQ(list.ItemIndex(), 2);
  EXPECT_EQ(clicks, 1);
  SendInput(&list, ikDblClick, {}, 5, 25, mbLeft);
  EXPECT_EQ(dbl, 1);
  SendInput(&list, ikKeyDown, {}, 0, 0, VK_END);
  EXPECT_EQ(list.ItemIndex(), 5);
  EXPECT_EQ(list.TopIndex(), 2);
  EXPECT_EQ(clicks, 2);
  SendInput(&list, ikKeyDown, {}, 0, 0, VK_HOME);
  EXPECT_EQ(list.ItemIndex(), 0);
  EXPECT_EQ(list.TopIndex(), 0);

  list.SetMultiSelect(true);
  ClickAt(&list, 5, 5);
  ClickAt(&list, 5, 25, TShiftState{ssShift});
  EXPECT_EQ(list.SelCount(), 3);
  ClickAt(&list, 5, 15, TShiftState{ssCtrl});
  EXPECT_EQ(list.SelCount(), 2);
  EXPECT_FALSE(list.Selected(1));
}

TEST(VxListBox, DrawsSelectionHighlightedOrGrayWhenUnfocused) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 200);
  auto* list = new TVxListBox(&form);
  list->SetParent(&form);
  auto* other = new TVxListBox(&form);
  other->SetParent(&form);
  other->SetLeft(130);
  form.Show();
  list->SetBounds(0, 0, 100, 60);
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(15);
  for (const char* s : {"one", "two", "three"}) list->Items()->Add(s);
  list->SetItemIndex(1);
  list->Repaint();
  EXPECT_EQ(ControlSurfacePixel(list, 90, 22), ColorToRGB(clHighlight));
  EXPECT_EQ(ControlSurfacePixel(list, 90, 5), ColorToRGB(clWindow));
  EXPECT_EQ(ControlSurfacePixel(list, 90, 50), ColorToRGB(clWindow));

  list->SetGraySelection(true);
  list->Repaint();
  EXPECT_EQ(ControlSurfacePixel(list, 90, 22), ColorToRGB(clBtnFace));
  list->DispatchEnter();
  list->Repaint();
  EXPECT_EQ(ControlSurfacePixel(list, 90, 22), ColorToRGB(clHighlight));

  // An owner-drawn item paints through OnDrawItem.
  list->SetOnDrawItem([&](TWinControl*, int Index, TRect R, TOwnerDrawState) {
    list->Canvas()->Brush()->SetColor(Index == 2 ? clRed : clBlue);
    list->Canvas()->FillRect(R);
  });
  list->Repaint();
  EXPECT_EQ(ControlSurfacePixel(list, 50, 37), clRed);
  EXPECT_EQ(ControlSurfacePixel(list, 50, 7), clBlue);
  list->DispatchExit();
}

TEST(VxListBox, ExchangeAndMoveCarryObjectsAndSelection) {
  TVxListBox list(nullptr);
  for (int i = 0; i < 4; ++i) list.Items()->AddObject(std::string(1, char('a' + i)), Tag(i + 1));
  list.SetItemIndex(0);
  list.Items()->Exchange(0, 3);
  EXPECT_EQ(list.Items()->CommaText(), "d,b,c,a");
  EXPECT_EQ(list.Items()->Objects(3), Tag(1));
  EXPECT_TRUE(list.Selected(3));
  EXPECT_EQ(list.ItemIndex(), 3);
  list.Items()->Move(3, 1);
  EXPECT_EQ(list.Items()->CommaText(), "d,a,b,c");
  EXPECT_EQ(list.Items()->Objects(1), Tag(1));
  EXPECT_EQ(list.ItemIndex(), 1);
  list.Items()->Delete(1);
  EXPECT_EQ(list.Items()->Count(), 3);
}

}  // namespace

TEST(VxListBox, BorderAndScrollBarsFrameTheRows) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 150);
  auto* list = new TVxListBox(&form);
  list->SetParent(&form);
  list->SetStyle(lbOwnerDrawFixed);
  list->SetItemHeight(10);
  list->SetBounds(10, 10, 100, 64);  // 60 inside the border: six rows
  for (int i = 0; i < 20; ++i) list->Items()->Add("row " + std::to_string(i));
  form.Show();
  EXPECT_TRUE(list->ScrollBarShowing(sbVertical));
  EXPECT_FALSE(list->ScrollBarShowing(sbHorizontal));
  EXPECT_EQ(list->ClientHeight(), 60);
  const int bar = 100 - 4 - list->ClientWidth();
  EXPECT_GE(bar, 8);
  // The sunken edge: shadow at the top left, light at the bottom right; the bar beside the rows.
  EXPECT_EQ(ControlWindowPixel(list, 20, 0), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ControlWindowPixel(list, 20, 63), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(ControlWindowPixel(list, 1, 20), ColorToRGB(cl3DDkShadow));
  EXPECT_NE(ControlWindowPixel(list, 100 - 2 - bar / 2, 30), ColorToRGB(clWindow));

  // The wheel stops once the last row shows.
  for (int i = 0; i < 10; ++i) SendInput(list, ikWheel, {}, 10, 10, -120);
  EXPECT_EQ(list->TopIndex(), 14);

  // Rows that all fit need no bar; without a border the rows reach the edge.
  list->Items()->Clear();
  list->Items()->Add("only");
  EXPECT_FALSE(list->ScrollBarShowing(sbVertical));
  EXPECT_EQ(list->ClientWidth(), 96);
  list->SetBorderStyle(bsNone);
  EXPECT_EQ(list->ClientWidth(), 100);
  EXPECT_EQ(ControlWindowPixel(list, 20, 0), ColorToRGB(clWindow));
}
