// The property inspector: node tree and rows, layout in one band and in bands, scrolling, the
// divider and band width, hit testing, keys and mouse, row drag and drop, stored layouts and
// painting of every row class.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>

#include "editor_fixture.h"
#include "inspector/vm_inspector.h"
#include "inspector/vm_inspector_rows.h"
#include "platform/bitmap.h"
#include "platform/dragdrop.h"
#include "platform/inifiles.h"
#include "platform/stdctrls.h"
#include "platform/streaming.h"
#include "platform/testkit/temp_folder.h"

namespace {

constexpr uint16_t VK_MULTIPLY = 0x6A;

struct TInspFixture {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TvmInspector* Insp = nullptr;
  TInspFixture(int W = 300, int H = 200) {
    SetLocaleInfo(DefaultLocaleInfo());
    Form->SetBounds(0, 0, W + 40, H + 40);
    Insp = new TvmInspector(Form.get());
    Insp->SetName("Insp");
    Insp->Font()->SetName("DejaVu Sans");
    Insp->Font()->SetSize(9);
    Insp->SetParent(Form.get());
    Insp->SetBounds(0, 0, W, H);
    Form->Show();
    Application->ProcessMessages();
  }
  TvmInspectorTextRow* Add(const std::string& Caption, const std::string& Value = "",
                           TvmInspectorRow* Parent = nullptr) {
    auto* r = Insp->CreateRow<TvmInspectorTextRow>();
    r->SetCaption(Caption);
    r->SetEditText(Value);
    if (Parent) r->Node()->MoveTo(Parent->Node(), inaAddChild);
    return r;
  }
  // Three levels: A(A1(A1a, A1b), A2), B, C(C1).
  void Tree() {
    auto* a = Add("A", "1");
    auto* a1 = Add("A1", "11", a);
    Add("A1a", "111", a1);
    Add("A1b", "112", a1);
    Add("A2", "12", a);
    Add("B", "2");
    auto* c = Add("C", "3");
    Add("C1", "31", c);
    // Nesting makes the moved row visible (its parents open): fold everything again.
    Insp->FullCollapse();
  }
  TvmInspectorRow* Row(const std::string& Caption) {
    for (int i = 0; i < Insp->GetRowCount(); ++i)
      if (Insp->Rows(i)->GetCaption() == Caption) return Insp->Rows(i);
    return nullptr;
  }
  TvmInspectorNode* Node(const std::string& Caption) { return Row(Caption)->Node(); }
  std::vector<std::string> Displayed() {
    std::vector<std::string> r;
    for (TvmInspectorNode* n = Insp->Nodes(0); n; n = n->GetNext())
      r.push_back(static_cast<TvmInspectorRowNode*>(n)->Row->GetCaption());
    return r;
  }
  TPoint CenterOf(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }
  TPoint CaptionPoint(const std::string& Caption) {
    TRect r = Insp->GetNodeRect(Node(Caption));
    return TPoint(Insp->DividerPos() - 8, (r.Top + r.Bottom) / 2);
  }
  TPoint ValuePoint(const std::string& Caption) {
    TRect r = Insp->GetNodeRect(Node(Caption));
    return TPoint(Insp->DividerPos() + 30, (r.Top + r.Bottom) / 2);
  }
  void Click(TPoint P, TShiftState Shift = {}) {
    SendInput(Insp, ikMouseDown, Shift + ssLeft, P.X, P.Y, mbLeft);
    SendInput(Insp, ikMouseUp, Shift, P.X, P.Y, mbLeft);
  }
};

TEST(InspectorNodes, NestMoveCollapseAndPositions) {
  TInspFixture f;
  f.Tree();
  EXPECT_EQ(f.Insp->GetRowCount(), 8);
  EXPECT_EQ(f.Insp->GetNodeCount(), 3);
  EXPECT_EQ(f.Node("A1a")->Level(), 2);
  EXPECT_EQ(f.Displayed(), (std::vector<std::string>{"A", "B", "C"}));
  f.Insp->FullExpand();
  EXPECT_EQ(f.Displayed(), (std::vector<std::string>{"A", "A1", "A1a", "A1b", "A2", "B", "C", "C1"}));
  for (int i = 0; i < 8; ++i) EXPECT_EQ(f.Insp->GetAbsoluteIndex(f.Insp->GetNodeByAbsoluteIndex(i)), i);
  EXPECT_EQ(f.Node("A2")->GetPrev(), f.Node("A1b"));
  // Moving onto a descendant is refused; inaAdd of itself moves to the end of its siblings.
  f.Node("A")->MoveTo(f.Node("A1a"), inaAddChild);
  EXPECT_EQ(f.Node("A")->Parent(), nullptr);
  f.Node("A")->MoveTo(f.Node("A"), inaAdd);
  EXPECT_EQ(f.Insp->Nodes(2), f.Node("A"));
  // The last child leaving collapses its parent and takes its button.
  f.Node("C1")->MoveTo(f.Node("B"), inaInsert);
  EXPECT_FALSE(f.Node("C")->HasChildren());
  EXPECT_FALSE(f.Node("C")->Expanded());
  // Collapsing over the focus moves it to the collapsed node.
  f.Insp->SetFocusedNode(f.Node("A1b"));
  f.Node("A1")->SetExpanded(false);
  EXPECT_EQ(f.Insp->FocusedNode(), f.Node("A1"));
  // Hiding a row hides its nested rows; showing it again puts only it back at the end.
  f.Row("A")->SetVisible(false);
  EXPECT_EQ(f.Row("A1")->Node(), nullptr);
  EXPECT_FALSE(f.Row("A1a")->Visible());
  f.Row("A")->SetVisible(true);
  EXPECT_EQ(f.Insp->Nodes(f.Insp->GetNodeCount() - 1), f.Node("A"));
  EXPECT_FALSE(f.Node("A")->HasChildren());
  // Clearing leaves nothing focused.
  f.Insp->ClearRows();
  EXPECT_EQ(f.Insp->GetNodeCount(), 0);
  EXPECT_EQ(f.Insp->FocusedNode(), nullptr);
  EXPECT_EQ(f.Insp->TopNode(), nullptr);
  EXPECT_EQ(f.Insp->GetTopIndex(), -1);
  EXPECT_EQ(f.Insp->GetFocusedAbsoluteIndex(), -1);
}

TEST(InspectorRows, NamesStoredValuesAndTextWrites) {
  TInspFixture f;
  auto* clash = new TComponent(f.Form.get());
  auto* r1 = f.Add("one");
  clash->SetName("InspRow2");
  auto* r2 = f.Add("two");
  auto* r3 = f.Add("three");
  EXPECT_EQ(r1->Name(), "InspRow1");
  EXPECT_EQ(r2->Name(), "InspRow3");
  EXPECT_EQ(r3->Name(), "InspRow4");
  EXPECT_EQ(f.Insp->FindRow("insprow3"), r2);
  EXPECT_THROW(f.Insp->Rows(9), EListError);
  // Row height: not above the default clears the mark.
  r1->SetRowHeight(f.Insp->RowHeight() + 10);
  EXPECT_TRUE(r1->RowHeightStored());
  r1->SetRowHeight(-1);
  EXPECT_FALSE(r1->RowHeightStored());
  EXPECT_EQ(r1->GetRowHeight(), f.Insp->RowHeight());
  // Caption equal to the default is marked but not stored.
  r1->SetCaption("");
  EXPECT_FALSE(r1->CaptionStored());
}

TEST(InspectorLayout, SingleBandPageScrollAndTop) {
  TInspFixture f(300, 100);
  for (int i = 0; i < 20; ++i) f.Add("R" + std::to_string(i), std::to_string(i));
  const int rh = f.Insp->RowHeight();
  const int ch = f.Insp->ClientHeight();
  EXPECT_EQ(f.Insp->PageCount(), ch / rh);
  // The vertical bar shows while the rows do not fit.
  EXPECT_TRUE(f.Insp->ScrollBarShowing(1));
  EXPECT_FALSE(f.Insp->ScrollBarShowing(0));
  f.Insp->SetTopIndex(100);
  EXPECT_EQ(f.Insp->GetTopIndex(), 20 - f.Insp->PageCount());
  f.Insp->SetTopIndex(-5);
  EXPECT_EQ(f.Insp->GetTopIndex(), 0);
  // Focusing a row below the page scrolls it into the page's last line.
  f.Insp->SetFocusedNode(f.Node("R15"));
  EXPECT_EQ(f.Insp->GetTopIndex(), 15 - f.Insp->PageCount() + 1);
  // Keys page through the rows.
  f.Insp->SetFocus();
  f.Insp->SetFocusedIndex(0);
  PressKey(f.Insp, VK_NEXT);
  EXPECT_EQ(f.Insp->GetFocusedAbsoluteIndex(), f.Insp->PageCount());
  PressKey(f.Insp, VK_NEXT, {ssCtrl});
  EXPECT_EQ(f.Insp->GetFocusedAbsoluteIndex(), 19);
  // The wheel scrolls the top row.
  f.Insp->SetTopIndex(0);
  SendInput(f.Insp, ikWheel, {}, 10, 10, -120);
  EXPECT_EQ(f.Insp->GetTopIndex(), 3);
  // A row taller than the client: page 1.
  f.Row("R3")->SetRowHeight(ch + 20);
  f.Insp->SetTopIndex(3);
  EXPECT_EQ(f.Insp->PageCount(), 1);
}

TEST(InspectorLayout, BandsCountScrollAndSize) {
  TInspFixture f(400, 120);
  for (int i = 0; i < 30; ++i) f.Add("R" + std::to_string(i));
  f.Insp->SetOptions(f.Insp->Options() + ioAutoBandCount);
  f.Insp->SetBandWidth(100);
  const int rh = f.Insp->RowHeight(), ch = f.Insp->ClientHeight(), cw = f.Insp->ClientWidth();
  const int perBand = ch / rh + (ch % rh ? 1 : 0) > 0 ? 0 : 0;
  (void)perBand;
  EXPECT_EQ(f.Insp->GetFullBandCount(), cw / 100);
  EXPECT_GE(f.Insp->GetBandCount(), 2);
  // Every displayed row lies in exactly one band; the band tops walk the rows in order.
  int rows = 0;
  for (int b = 0; b < f.Insp->GetBandCount(); ++b) {
    TvmInspectorNode* top = f.Insp->GetBandTopNode(b);
    if (top && f.Insp->GetBandOfNode(top) == b) ++rows;
  }
  EXPECT_GE(rows, 2);
  f.Insp->SetFirstBand(1000);
  EXPECT_EQ(f.Insp->GetFirstBand(), std::max(f.Insp->GetBandCount() - f.Insp->GetFullBandCount(), 0));
  // Rows exactly filling the client count one more band than they fill.
  TInspFixture g(200, 0);
  g.Insp->SetOptions(g.Insp->Options() + ioAutoBandCount);
  for (int i = 0; i < 4; ++i) g.Add("R" + std::to_string(i));
  g.Insp->SetHeight(4 * g.Insp->RowHeight() + (g.Insp->Height() - g.Insp->ClientHeight()));
  g.Insp->SetBandWidth(200);
  EXPECT_EQ(g.Insp->GetBandCount(), 2);
  // Band sizing by the separator: the width follows the mouse, Esc puts it back.
  f.Insp->SetFirstBand(0);
  const int sep = 100 - 2;
  SendInput(f.Insp, ikMouseDown, {ssLeft}, sep, 5, mbLeft);
  EXPECT_EQ(f.Insp->MouseState(), imsBandSizing);
  SendInput(f.Insp, ikMouseMove, {ssLeft}, 150, 5);
  EXPECT_EQ(f.Insp->BandWidth(), 150);
  SendInput(f.Insp, ikMouseUp, {}, 150, 5, mbLeft);
  EXPECT_EQ(f.Insp->BandWidth(), 150);
  EXPECT_EQ(f.Insp->MouseState(), imsNone);
  SendInput(f.Insp, ikMouseDown, {ssLeft}, 148, 5, mbLeft);
  SendInput(f.Insp, ikMouseMove, {ssLeft}, 190, 5);
  PressKey(f.Insp, VK_ESCAPE);
  EXPECT_EQ(f.Insp->BandWidth(), 150);
}

TEST(InspectorLayout, DividerLimitsAndProportion) {
  TInspFixture f(150, 100);
  f.Add("A", "x");
  f.Insp->SetDividerPos(75);
  f.Insp->SetDividerPos(1000);
  EXPECT_EQ(f.Insp->DividerPos(), 150 - 30);
  f.Insp->SetDividerPos(1);
  EXPECT_EQ(f.Insp->DividerPos(), 30);
  // With automatic width the divider keeps its share: 75 of 150 becomes 150 of 300.
  f.Insp->SetDividerPos(75);
  f.Insp->SetWidth(300);
  EXPECT_EQ(f.Insp->DividerPos(), 150);
  f.Insp->SetOptions(f.Insp->Options() - ioAutoWidth);
  f.Insp->SetWidth(150);
  f.Insp->SetDividerPos(75);
  f.Insp->SetWidth(300);
  EXPECT_EQ(f.Insp->DividerPos(), 75);
  // Content narrower than two columns: the lower limit wins.
  f.Insp->SetWidth(50);
  f.Insp->SetDividerPos(40);
  EXPECT_EQ(f.Insp->DividerPos(), 30);
}

TEST(InspectorHitTest, CodesOfThePointsOfARow) {
  TInspFixture f;
  f.Tree();
  auto* cat = f.Insp->CreateRow<TvmInspectorTextRow>();
  cat->SetCaption("Category");
  cat->SetIsCategory(true);
  const int div = f.Insp->DividerPos();
  TRect a = f.Insp->GetNodeRect(f.Node("A"));
  const int y = (a.Top + a.Bottom) / 2;
  EXPECT_EQ(f.Insp->HitTest(TPoint(-5, y)).HitTest, ihOutside);
  EXPECT_EQ(f.Insp->HitTest(TPoint(-5, y)).BandIndex, -1);
  EXPECT_EQ(f.Insp->GetHitTestCode(div, y), ihDivider);
  EXPECT_EQ(f.Insp->GetHitTestCode(div - 10, y), ihCaption);
  EXPECT_EQ(f.Insp->GetHitTestCode(div + 20, y), ihValue);
  TvmInspectorNodeCells c = f.Insp->CalcNodeCells(f.Node("A"), a);
  EXPECT_EQ(f.Insp->GetHitTestCode((c.Button.Left + c.Button.Right) / 2, y), ihButton);
  // Below the last row: nothing, except near the divider.
  const int below = f.Insp->ClientHeight() - 3;
  auto h = f.Insp->HitTest(TPoint(div + 40, below));
  EXPECT_EQ(h.HitTest, ihNone);
  EXPECT_EQ(h.Node, nullptr);
  EXPECT_EQ(h.BandIndex, 0);
  EXPECT_EQ(f.Insp->GetHitTestCode(div + 1, below), ihDivider);
  // A category row has no divider.
  TRect cr = f.Insp->GetNodeRect(cat->Node());
  EXPECT_EQ(f.Insp->GetHitTestCode(div, (cr.Top + cr.Bottom) / 2), ihCaption);
  // Row bottom edges only with row sizing.
  EXPECT_NE(f.Insp->GetHitTestCode(div + 20, a.Bottom - 1), ihRowBottomEdge);
  f.Insp->SetOptions(f.Insp->Options() + ioRowSizing);
  EXPECT_EQ(f.Insp->GetHitTestCode(div + 20, a.Bottom - 1), ihRowBottomEdge);
}

TEST(InspectorKeys, FocusEditEscapeTabAndFolding) {
  TInspFixture f;
  f.Tree();
  f.Insp->SetFocus();
  f.Insp->SetFocusedIndex(0);
  f.Insp->ShowEditor(true, false);
  ASSERT_NE(f.Insp->Editor(), nullptr);
  EXPECT_EQ(f.Insp->Editor()->GetWindowText(), "1");
  // Typed text is applied when the focus moves down.
  f.Insp->Editor()->SetWindowText("one");
  f.Insp->Editor()->SetModifiedFlag(true);
  PressKey(f.Insp->Editor(), VK_DOWN);
  EXPECT_EQ(f.Row("A")->EditText(), "one");
  EXPECT_EQ(f.Insp->FocusedNode(), f.Node("B"));
  ASSERT_NE(f.Insp->Editor(), nullptr);
  EXPECT_EQ(f.Insp->Editor()->GetWindowText(), "2");
  // Esc puts the row's value back into the editor, which stays open.
  f.Insp->Editor()->SetWindowText("typed");
  f.Insp->Editor()->SetModifiedFlag(true);
  PressKey(f.Insp->Editor(), VK_ESCAPE);
  EXPECT_EQ(f.Insp->Editor()->GetWindowText(), "2");
  EXPECT_TRUE(f.Insp->Editor()->EditVisible());
  EXPECT_EQ(f.Row("B")->EditText(), "2");
  // Tab and Shift+Tab go through the rows; Up on the first row stays.
  PressKey(f.Insp->Editor(), VK_TAB);
  EXPECT_EQ(f.Insp->FocusedNode(), f.Node("C"));
  PressKey(f.Insp->Editor(), VK_TAB, {ssShift});
  EXPECT_EQ(f.Insp->FocusedNode(), f.Node("B"));
  f.Insp->SetFocusedIndex(0);
  PressKey(f.Insp, VK_UP);
  EXPECT_EQ(f.Insp->FocusedNode(), f.Node("A"));
  // Ctrl+keypad folds any row; keypad "*" opens a row with all below it.
  PressKey(f.Insp, VK_ADD, {ssCtrl});
  EXPECT_TRUE(f.Node("A")->Expanded());
  EXPECT_FALSE(f.Node("A1")->Expanded());
  PressKey(f.Insp, VK_SUBTRACT, {ssCtrl});
  EXPECT_FALSE(f.Node("A")->Expanded());
  PressKey(f.Insp, VK_SUBTRACT);  // not a category, no Ctrl: nothing
  f.Insp->HandleTreeKeys(VK_MULTIPLY, {ssCtrl});
  EXPECT_TRUE(f.Node("A1")->Expanded());
  // Enter moves on only with ioEnterThrough.
  f.Insp->SetFocusedIndex(0);
  PressKey(f.Insp, VK_RETURN);
  EXPECT_EQ(f.Insp->FocusedNode(), f.Node("A"));
  f.Insp->SetOptions(f.Insp->Options() + ioEnterThrough);
  PressKey(f.Insp, VK_RETURN);
  EXPECT_EQ(f.Insp->FocusedNode(), f.Node("A1"));
}

TEST(InspectorMouse, ClickEditExpandAndSizeDividerAndRows) {
  TInspFixture f;
  f.Tree();
  // A click on the value focuses the row and opens its editor.
  f.Click(f.ValuePoint("B"));
  EXPECT_EQ(f.Insp->FocusedNode(), f.Node("B"));
  ASSERT_NE(f.Insp->Editor(), nullptr);
  EXPECT_TRUE(f.Insp->Editor()->EditVisible());
  // A click on the expand button folds out.
  TRect a = f.Insp->GetNodeRect(f.Node("A"));
  TvmInspectorNodeCells c = f.Insp->CalcNodeCells(f.Node("A"), a);
  f.Click(f.CenterOf(c.Button));
  EXPECT_TRUE(f.Node("A")->Expanded());
  // A double click on the caption folds in.
  SendInput(f.Insp, ikDblClick, {ssLeft}, f.CaptionPoint("A").X, f.CaptionPoint("A").Y, mbLeft);
  SendInput(f.Insp, ikMouseUp, {}, f.CaptionPoint("A").X, f.CaptionPoint("A").Y, mbLeft);
  EXPECT_FALSE(f.Node("A")->Expanded());
  // Divider dragging follows the mouse; the right button puts it back.
  const int div = f.Insp->DividerPos();
  SendInput(f.Insp, ikMouseDown, {ssLeft}, div, 5, mbLeft);
  EXPECT_EQ(f.Insp->MouseState(), imsDivider);
  SendInput(f.Insp, ikMouseMove, {ssLeft}, div + 40, 5);
  EXPECT_EQ(f.Insp->DividerPos(), div + 40);
  SendInput(f.Insp, ikMouseDown, {ssLeft, ssRight}, div + 40, 5, mbRight);
  EXPECT_EQ(f.Insp->DividerPos(), div);
  SendInput(f.Insp, ikMouseUp, {}, div + 40, 5, mbRight);
  SendInput(f.Insp, ikMouseUp, {}, div + 40, 5, mbLeft);
  EXPECT_EQ(f.Insp->MouseState(), imsNone);
  SendInput(f.Insp, ikMouseDown, {ssLeft}, div, 5, mbLeft);
  SendInput(f.Insp, ikMouseUp, {}, div + 25, 5, mbLeft);
  EXPECT_EQ(f.Insp->DividerPos(), div + 25);
  // Row sizing: not below the default height.
  f.Insp->SetOptions(f.Insp->Options() + ioRowSizing);
  TRect b = f.Insp->GetNodeRect(f.Node("B"));
  SendInput(f.Insp, ikMouseDown, {ssLeft}, 200, b.Bottom - 1, mbLeft);
  EXPECT_EQ(f.Insp->MouseState(), imsRowSizing);
  SendInput(f.Insp, ikMouseUp, {}, 200, b.Bottom + 20, mbLeft);
  EXPECT_EQ(f.Row("B")->GetRowHeight(), b.Height() + 21);
  b = f.Insp->GetNodeRect(f.Node("B"));
  SendInput(f.Insp, ikMouseDown, {ssLeft}, 200, b.Bottom - 1, mbLeft);
  SendInput(f.Insp, ikMouseUp, {}, 200, b.Top + 2, mbLeft);
  EXPECT_EQ(f.Row("B")->GetRowHeight(), f.Insp->DefaultRowHeight());
  // A click on the empty area focuses the last row.
  f.Click(TPoint(div + 40, f.Insp->ClientHeight() - 3));
  EXPECT_EQ(f.Insp->FocusedNode(), f.Insp->GetLastNode());
}

TEST(InspectorDrag, RowsNestAppendInsertAndRefuseOwnSubtree) {
  TInspFixture f;
  f.Tree();
  f.Insp->SetRowDragging(true);
  f.Insp->FullExpand();
  auto drag = [&](TPoint From, TPoint To) {
    SendInput(f.Insp, ikMouseDown, {ssLeft}, From.X, From.Y, mbLeft);
    SendInput(f.Insp, ikMouseMove, {ssLeft}, From.X + 8, From.Y + 8);
    SendInput(f.Insp, ikMouseMove, {ssLeft}, To.X, To.Y);
    SendInput(f.Insp, ikMouseUp, {}, To.X, To.Y, mbLeft);
  };
  // Onto another row's caption: its last child.
  drag(f.CaptionPoint("B"), f.CaptionPoint("C1"));
  EXPECT_EQ(f.Node("B")->Parent(), f.Node("C1"));
  // Onto the empty area: the end of the top level.
  drag(f.CaptionPoint("A2"), TPoint(f.Insp->DividerPos() + 40, f.Insp->ClientHeight() - 3));
  EXPECT_EQ(f.Node("A2")->Parent(), nullptr);
  EXPECT_EQ(f.Insp->Nodes(f.Insp->GetNodeCount() - 1), f.Node("A2"));
  // Onto its own descendant: nothing changes.
  drag(f.CaptionPoint("A"), f.CaptionPoint("A1a"));
  EXPECT_EQ(f.Node("A")->Parent(), nullptr);
  EXPECT_EQ(f.Node("A1a")->Parent(), f.Node("A1"));
  EXPECT_EQ(f.Insp->MouseState(), imsNone);
}

TEST(InspectorStorage, RegistryAndIniRestoreLayoutAndSurviveDamage) {
  TTempProfile profile;
  for (int store = 0; store < 2; ++store) {
    SCOPED_TRACE(store ? "ini" : "registry");
    const std::string ini = profile.File("layout.ini");
    std::string saved;
    {
      TInspFixture f;
      f.Tree();
      f.Node("A")->SetExpanded(true);
      f.Node("C1")->MoveTo(f.Node("B"), inaAddChild);
      f.Node("B")->SetExpanded(false);
      f.Row("A2")->SetRowHeight(40);
      f.Insp->SetDividerPos(111);
      if (store)
        f.Insp->SaveToIniFile(ini, "Software\\Vm\\Insp");
      else
        f.Insp->SaveToRegistryPath("Software\\Vm\\Insp\\");
      saved = f.Insp->WriteRowOrder();
    }
    TInspFixture g;
    g.Tree();
    if (store)
      g.Insp->LoadFromIniFile(ini, "Software\\Vm\\Insp");
    else
      g.Insp->LoadFromRegistryPath("\\Software\\Vm\\Insp");
    EXPECT_EQ(g.Insp->DividerPos(), 111);
    EXPECT_EQ(g.Node("C1")->Parent(), g.Node("B"));
    EXPECT_TRUE(g.Node("A")->Expanded());
    EXPECT_FALSE(g.Node("B")->Expanded());
    EXPECT_EQ(g.Row("A2")->GetRowHeight(), 40);
    EXPECT_EQ(g.Insp->WriteRowOrder(), saved);
  }
  // A missing path loads nothing.
  TInspFixture h;
  h.Tree();
  h.Insp->LoadFromRegistryPath("\\Nowhere\\AtAll");
  EXPECT_EQ(h.Insp->GetNodeCount(), 3);
}

TEST(InspectorStorage, DamagedOrOtherVersionOrderAppliesWhatItCan) {
  TInspFixture f;
  f.Tree();
  f.Node("A")->SetExpanded(true);
  const std::string good = f.Insp->WriteRowOrder();
  // All collapsed: zero expanded records; loading collapses every node.
  {
    TInspFixture g;
    g.Tree();
    std::string collapsed = g.Insp->WriteRowOrder();
    g.Node("C")->SetExpanded(true);
    EXPECT_TRUE(g.Insp->ApplyRowOrder(collapsed));
    EXPECT_FALSE(g.Node("C")->Expanded());
  }
  // A record naming a row that no longer exists: the records before it apply, the rest and the
  // expanded states are ignored.
  {
    TInspFixture g;
    g.Tree();
    g.Row("B")->SetName("Renamed");
    g.Node("C")->MoveTo(g.Node("A"), inaInsert);
    EXPECT_FALSE(g.Insp->ApplyRowOrder(good));
    EXPECT_EQ(g.Insp->Nodes(g.Insp->GetNodeCount() - 1), g.Node("A"));
    EXPECT_EQ(g.Insp->Nodes(0), g.Node("C"));
  }
  // Truncated at every length: no crash, never a throw.
  for (size_t n = 0; n < good.size(); ++n) {
    TInspFixture g;
    g.Tree();
    EXPECT_NO_THROW(g.Insp->ApplyRowOrder(good.substr(0, n)));
    EXPECT_EQ(g.Insp->GetRowCount(), 8);
  }
  // Records of another version (larger than 8 bytes) are read past their extra bytes.
  {
    std::string v2;
    auto put = [&](int32_t x) { v2.append(reinterpret_cast<const char*>(&x), 4); };
    put(0);
    put(2);
    put(12), put(0), put(8), put(0), v2 += "InspRow6";   // B
    put(12), put(1), put(8), put(99), v2 += "InspRow1";  // A with one child, extra field
    put(12), put(0), put(8), put(0), v2 += "InspRow7";   // C as A's child
    TInspFixture g;
    g.Tree();
    EXPECT_TRUE(g.Insp->ApplyRowOrder(v2));
    EXPECT_EQ(g.Node("C")->Parent(), g.Node("A"));
  }
  // A stored layout with garbage in its values: what can be read is read.
  TTempProfile profile;
  const std::string ini = profile.File("bad.ini");
  {
    std::ofstream o(ini);
    o << "[\\P]\nBandWidth=abc\nDividerPos=90\nNodes=ZZ12\n[\\P\\Rows\\InspRow6]\nRowHeight=x\nVisible=0\n";
  }
  TInspFixture g;
  g.Tree();
  EXPECT_NO_THROW(g.Insp->LoadFromIniFile(ini, "P"));
  EXPECT_EQ(g.Insp->DividerPos(), 90);
  EXPECT_EQ(g.Insp->BandWidth(), 200);
  EXPECT_FALSE(g.Row("B")->Visible());
}

}  // namespace

namespace {

TEST(InspectorPaint, HintsStylesDrawEventsAndEllipsis) {
  TInspFixture f;
  f.Insp->SetShowRowHint(true);
  auto* hinted = f.Add("Hinted", "v");
  hinted->ShowHint = true;
  hinted->Hint = "The row's own hint";
  auto* longv = f.Add("Long", std::string(200, 'x'));
  // A row hint waits a second over the caption, also when the caption is not clipped.
  TPoint c = f.CaptionPoint("Hinted");
  SendInput(f.Insp, ikMouseMove, {}, c.X, c.Y);
  ASSERT_NE(f.Insp->HintDelayTimer(), nullptr);
  EXPECT_TRUE(f.Insp->HintDelayTimer()->Enabled());
  EXPECT_TRUE(f.Insp->HintWindow() == nullptr || !f.Insp->HintWindow()->Visible());
  f.Insp->HintDelayTimer()->Fire();
  ASSERT_NE(f.Insp->HintWindow(), nullptr);
  EXPECT_TRUE(f.Insp->HintWindow()->Visible());
  EXPECT_EQ(f.Insp->HintWindow()->Text(), "The row's own hint");
  // A clipped value shows its whole text at once and goes after 5 seconds.
  TPoint v = f.ValuePoint("Long");
  SendInput(f.Insp, ikMouseMove, {}, v.X, v.Y);
  EXPECT_TRUE(f.Insp->HintWindow()->Visible());
  EXPECT_EQ(f.Insp->HintWindow()->Text(), longv->EditText());
  EXPECT_TRUE(f.Insp->HintHideTimer()->Enabled());
  f.Insp->HintHideTimer()->Fire();
  EXPECT_FALSE(f.Insp->HintWindow()->Visible());

  // Style switches move the default colours between the two groups and back.
  EXPECT_EQ(f.Insp->Color(), clBtnFace);
  f.Insp->SetPaintStyle(ipsNET);
  EXPECT_EQ(f.Insp->Color(), clWindow);
  EXPECT_EQ(f.Insp->GridColor(), clBtnFace);
  f.Insp->SetPaintStyle(ipsStandard);
  EXPECT_EQ(f.Insp->Color(), clBtnFace);
  EXPECT_EQ(f.Insp->GridColor(), clBtnShadow);

  // A value handler that says done leaves the cell to itself; the row's own handler is not asked.
  auto paint = [&](TBitmap& B) {
    f.Insp->SetFocusedNode(nullptr);
    B.SetWidth(f.Insp->ClientWidth());
    B.SetHeight(f.Insp->ClientHeight());
    f.Insp->PaintTo(B.Canvas());
  };
  auto cellInk = [&](TBitmap& B, TvmInspectorRow* R) {
    TRect row = f.Insp->GetNodeRect(R->Node());
    TvmInspectorNodeCells cells = f.Insp->CalcNodeCells(R->Node(), row);
    const TColor bg = B.Canvas()->Pixels(cells.Value.Right - 2, cells.Value.Top + 2);
    int ink = 0;
    for (int y = cells.Value.Top; y < cells.Value.Bottom - 1; ++y)
      for (int x = cells.Value.Left + 1; x < cells.Value.Right - 2; ++x)
        if (B.Canvas()->Pixels(x, y) != bg) ++ink;
    return ink;
  };
  bool rowAsked = false;
  hinted->OnDrawValue = [&](TvmInspectorRow*, TCanvas*, const TRect&, std::string&, TFont*, TColor&, bool&) {
    rowAsked = true;
  };
  f.Insp->OnDrawValue = [&](TvmInspectorRow* R, TCanvas*, const TRect&, std::string&, TFont*, TColor&, bool& Done) {
    Done = R == hinted;
  };
  TBitmap bmp;
  paint(bmp);
  EXPECT_EQ(cellInk(bmp, hinted), 0);
  EXPECT_FALSE(rowAsked);
  EXPECT_GT(cellInk(bmp, longv), 0);
  // With the end ellipsis a value wider than its cell ends in dots; without it, it is cut.
  f.Insp->OnDrawValue = nullptr;
  longv->SetEditText(std::string(200, 'W'));
  TBitmap cut, dots;
  paint(cut);
  f.Insp->SetOptions(f.Insp->Options() + ioDrawEndEllipsis);
  paint(dots);
  TRect row = f.Insp->GetNodeRect(longv->Node());
  TvmInspectorNodeCells cells = f.Insp->CalcNodeCells(longv->Node(), row);
  int differ = 0;
  for (int y = cells.Value.Top; y < cells.Value.Bottom; ++y)
    for (int x = cells.Value.Right - 30; x < cells.Value.Right; ++x)
      if (cut.Canvas()->Pixels(x, y) != dots.Canvas()->Pixels(x, y)) ++differ;
  EXPECT_GT(differ, 0);
}

TEST(InspectorLayout, AutomaticRowHeightFollowsTheValue) {
  TInspFixture f(200, 300);
  auto* memo = f.Insp->CreateRow<TvmInspectorTextMemoRow>();
  memo->SetCaption("Memo");
  memo->SetEditText("one two three four five six seven eight nine ten eleven twelve thirteen fourteen");
  auto* plain = f.Add("Plain", "x");
  const int base = f.Insp->GetNodeRect(plain->Node()).Height();
  f.Insp->SetOptions(f.Insp->Options() + ioRowAutoHeight);
  EXPECT_GT(f.Insp->GetNodeRect(memo->Node()).Height(), base);
  EXPECT_EQ(f.Insp->GetNodeRect(plain->Node()).Height(), base);
  // At most MaxRowTextLineCount lines.
  f.Insp->SetMaxRowTextLineCount(1);
  EXPECT_LE(f.Insp->GetNodeRect(memo->Node()).Height(), base + 4);
}

}  // namespace

namespace {

TEST(InspectorMouse, HeldBelowTheRowsTheFocusWalksDown) {
  TInspFixture f(300, 100);
  for (int i = 0; i < 20; ++i) f.Add("R" + std::to_string(i), std::to_string(i));
  TPoint p = f.CaptionPoint("R1");
  SendInput(f.Insp, ikMouseDown, {ssLeft}, p.X, p.Y, mbLeft);
  ASSERT_TRUE(f.Insp->ScrollTimer()->Enabled());
  SendInput(f.Insp, ikMouseMove, {ssLeft}, p.X, f.Insp->ClientHeight() + 20);
  const int page = f.Insp->PageCount();
  f.Insp->ScrollTimer()->Fire();
  EXPECT_EQ(f.Insp->GetFocusedAbsoluteIndex(), page);  // the last full row, then one more
  f.Insp->ScrollTimer()->Fire();
  EXPECT_EQ(f.Insp->GetFocusedAbsoluteIndex(), page + 1);
  EXPECT_EQ(f.Insp->GetTopIndex(), page + 1 - page + 1);
  SendInput(f.Insp, ikMouseMove, {ssLeft}, p.X, -10);
  f.Insp->ScrollTimer()->Fire();
  EXPECT_EQ(f.Insp->GetFocusedAbsoluteIndex(), f.Insp->GetTopIndex());
  SendInput(f.Insp, ikMouseUp, {}, p.X, -10, mbLeft);
  EXPECT_FALSE(f.Insp->ScrollTimer()->Enabled());
}

}  // namespace

namespace {

TEST(InspectorKeys, BoundariesTabThroughAndRefusedEditing) {
  TInspFixture f;
  auto* a = f.Add("A", "1");
  f.Add("B", "2");
  auto* next = new TEdit(f.Form.get());
  next->SetParent(f.Form.get());
  next->SetBounds(0, 210, 100, 20);
  next->SetTabStop(true);
  f.Insp->SetTabOrder(0);
  next->SetTabOrder(1);
  f.Insp->SetFocus();
  f.Insp->SetFocusedNode(a->Node());
  f.Insp->ShowEditor(true, false);
  // Up on the first row: an unchanged editor does nothing; a changed one is applied and stays.
  PressKey(f.Insp->Editor(), VK_UP);
  EXPECT_EQ(f.Insp->FocusedNode(), a->Node());
  f.Insp->Editor()->SetWindowText("one");
  f.Insp->Editor()->SetModifiedFlag(true);
  PressKey(f.Insp->Editor(), VK_UP);
  EXPECT_EQ(a->EditText(), "one");
  EXPECT_EQ(f.Insp->FocusedNode(), a->Node());
  ASSERT_NE(f.Insp->Editor(), nullptr);
  EXPECT_EQ(f.Insp->Editor()->GetWindowText(), "one");
  // Tab on the last row with ioTabThrough applies the value and leaves the control.
  f.Insp->SetOptions(f.Insp->Options() + ioTabThrough);
  PressKey(f.Insp->Editor(), VK_TAB);
  ASSERT_NE(f.Insp->Editor(), nullptr);
  f.Insp->Editor()->SetWindowText("two");
  f.Insp->Editor()->SetModifiedFlag(true);
  PressKey(f.Insp->Editor(), VK_TAB);
  EXPECT_EQ(f.Row("B")->EditText(), "two");
  EXPECT_TRUE(next->Focused());
  // A refusal in OnEditing keeps the value painted and opens no editor.
  f.Insp->OnEditing = [&](TObject*, TvmInspectorNode*, TvmInspectorRow* R, bool& Allow) { Allow = R != a; };
  f.Insp->SetFocus();
  f.Insp->SetFocusedNode(a->Node());
  f.Insp->ShowEditor(true, false);
  EXPECT_TRUE(f.Insp->Editor() == nullptr || !f.Insp->Editor()->EditVisible());
}

}  // namespace

namespace {

TEST(InspectorNodes, ANodeMadeDirectlyGetsARowAndCategoriesFoldOnAClick) {
  TInspFixture f;
  TvmInspectorNode* n = f.Insp->AddNode();
  ASSERT_EQ(f.Insp->GetRowCount(), 1);
  EXPECT_EQ(f.Insp->Rows(0)->ClassType(), TvmInspectorTextRow::StaticClass());
  EXPECT_EQ(f.Insp->Rows(0)->Node(), n);
  EXPECT_EQ(f.Insp->Rows(0)->Name(), "InspRow1");
  // In the categorized style a click on a category row folds it; its right 10 pixels are its button.
  f.Insp->SetPaintStyle(ipsCategorized);
  auto* cat = f.Add("Cat");
  cat->SetIsCategory(true);
  f.Add("Inside", "", cat);
  f.Insp->FullCollapse();
  TRect r = f.Insp->GetNodeRect(cat->Node());
  EXPECT_EQ(f.Insp->GetHitTestCode(r.Right - 4, (r.Top + r.Bottom) / 2), ihButton);
  f.Click(TPoint(r.Left + 40, (r.Top + r.Bottom) / 2));
  EXPECT_TRUE(cat->Node()->Expanded());
  f.Click(TPoint(r.Left + 40, (r.Top + r.Bottom) / 2));
  EXPECT_FALSE(cat->Node()->Expanded());
  // Category rows: Right opens, Left folds.
  f.Insp->SetFocusedNode(cat->Node());
  PressKey(f.Insp, VK_RIGHT);
  EXPECT_TRUE(cat->Node()->Expanded());
  PressKey(f.Insp, VK_LEFT);
  EXPECT_FALSE(cat->Node()->Expanded());
}

}  // namespace

namespace {

TEST(InspectorStorage, RegistryPathSavedAtDestructionAndLoadedAfterReading) {
  TTempProfile profile;
  {
    TInspFixture f;
    f.Tree();
    f.Insp->SetOptions(f.Insp->Options() + ioStoreToRegistry);
    f.Insp->SetRegistryPath("Software\\Vm\\Stored");
    f.Insp->SetDividerPos(99);
    f.Node("B")->MoveTo(f.Node("C"), inaAddChild);
  }
  TInspFixture g;
  g.Tree();
  g.Insp->SetOptions(g.Insp->Options() + ioStoreToRegistry);
  g.Insp->SetRegistryPath("Software\\Vm\\Stored");
  g.Insp->Loaded();
  EXPECT_EQ(g.Insp->DividerPos(), 99);
  EXPECT_EQ(g.Node("B")->Parent(), g.Node("C"));
  EXPECT_EQ(g.Insp->FocusedNode(), g.Insp->Nodes(0));
}

}  // namespace

namespace {

TEST(InspectorRows, AssignRowsCopiesClassesValuesAndNesting) {
  TInspFixture f;
  f.Tree();
  f.Row("A2")->SetRowHeight(44);
  TInspFixture g;
  g.Insp->SetName("Other");
  g.Add("old");
  g.Insp->AssignRows(f.Insp);
  ASSERT_EQ(g.Insp->GetRowCount(), 8);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(g.Insp->Rows(i)->Name(), f.Insp->Rows(i)->Name());
    EXPECT_EQ(g.Insp->Rows(i)->GetCaption(), f.Insp->Rows(i)->GetCaption());
    EXPECT_EQ(g.Insp->Rows(i)->EditText(), f.Insp->Rows(i)->EditText());
  }
  EXPECT_EQ(g.Node("A1a")->Parent(), g.Node("A1"));
  EXPECT_EQ(g.Node("C1")->Parent(), g.Node("C"));
  EXPECT_EQ(g.Row("A2")->GetRowHeight(), 44);
  EXPECT_EQ(g.Insp->GetNodeCount(), 3);
}

}  // namespace

namespace {

// The rows and their order travel with the form: rows as the inspector's children, the order as
// its binary "Data".
struct TRegisterInspector {
  TRegisterInspector() { RegisterInspectorRowClasses(); }
  ~TRegisterInspector() { UnregisterInspectorRowClasses(); }
};

// Every node in pre-order with its level and an expanded mark: "A:0+" is an expanded top node.
std::string Shape(TvmInspector* I) {
  std::string s;
  std::function<void(TvmInspectorNode*)> walk = [&](TvmInspectorNode* n) {
    auto* rn = static_cast<TvmInspectorRowNode*>(n);
    s += rn->Row->GetCaption() + ":" + std::to_string(n->Level()) + (n->Expanded() ? "+" : "") + " ";
    for (int i = 0; i < n->Count(); ++i) walk(n->Items(i));
  };
  for (int i = 0; i < I->GetNodeCount(); ++i) walk(I->Nodes(i));
  return s;
}

// Reads a stored form into a fresh one and answers its inspector.
TvmInspector* ReadForm(TForm& Into, const std::string& Text) {
  TextToComponent(Text, &Into);
  return dynamic_cast<TvmInspector*>(Into.FindComponent("Insp"));
}

// The "Data" value of a stored form replaced by Value (text form).
std::string WithData(const std::string& Text, const std::string& Value) {
  const size_t at = Text.find("Data = {");
  const size_t end = Text.find('}', at);
  return Text.substr(0, at) + "Data = " + Value + Text.substr(end + 1);
}

std::string Hex(const std::string& Bytes) {
  static const char* d = "0123456789ABCDEF";
  std::string r = "{";
  for (unsigned char c : Bytes) r += {d[c >> 4], d[c & 15]};
  return r + "}";
}

TEST(InspectorStreaming, RowsNestingAndOrderReadBackWithTheForm) {
  TRegisterInspector reg;
  TInspFixture f;
  f.Tree();
  // Not the creation order: B first, C1 under B, A and A1 open; some row values off default.
  f.Node("B")->MoveTo(f.Node("A"), inaInsert);
  f.Node("C1")->MoveTo(f.Node("B"), inaAddChild);
  f.Node("A")->SetExpanded(true);
  f.Node("A1")->SetExpanded(true);
  f.Node("B")->SetExpanded(false);
  f.Row("A2")->SetReadOnly(true);
  f.Row("A2")->SetRowHeight(40);
  f.Row("C")->SetIsCategory(true);
  f.Row("A1a")->Hint = "deep";
  f.Insp->SetBandWidth(150);
  f.Insp->SetDividerPos(90);
  f.Insp->SetPaintStyle(ipsExtended);
  const std::string shape = Shape(f.Insp);
  ASSERT_EQ(shape, "B:0 C1:1 A:0+ A1:1+ A1a:2 A1b:2 A2:1 C:0 ");
  const std::string text = ComponentToText(f.Form.get());
  // The rows are written inside the inspector, in row-list order, with only what is set.
  EXPECT_LT(text.find("object Insp: TvmInspector"), text.find("object InspRow1: TvmInspectorTextRow"));
  EXPECT_LT(text.find("object InspRow1:"), text.find("object InspRow6:"));
  EXPECT_NE(text.find("Data = {"), std::string::npos);
  EXPECT_EQ(text.find("Visible = False"), std::string::npos);
  EXPECT_EQ(text.find("RowHeight = 18"), std::string::npos) << text;

  TForm copy(nullptr);
  TvmInspector* g = ReadForm(copy, text);
  ASSERT_NE(g, nullptr);
  ASSERT_EQ(g->GetRowCount(), 8);
  EXPECT_EQ(Shape(g), shape);
  EXPECT_EQ(g->Rows(0)->Owner(), &copy);
  EXPECT_EQ(g->Rows(5)->Name(), "InspRow6");
  EXPECT_EQ(g->Rows(5)->EditText(), "2");
  EXPECT_EQ(g->FocusedNode(), g->Nodes(0));
  EXPECT_EQ(g->BandWidth(), 150);
  EXPECT_EQ(g->DividerPos(), 90);
  EXPECT_EQ(g->PaintStyle(), ipsExtended);
  TvmInspectorRow* a2 = g->FindRow("InspRow5");
  EXPECT_TRUE(a2->GetReadOnly());
  EXPECT_EQ(a2->GetRowHeight(), 40);
  EXPECT_TRUE(g->FindRow("InspRow7")->IsCategory());
  EXPECT_EQ(g->FindRow("InspRow3")->Hint, "deep");
  EXPECT_TRUE(g->PendingRowOrder().empty());
  // Writing the copy gives the same form back.
  copy.Show();
  EXPECT_EQ(ComponentToText(&copy), text);

  // A row stored invisible comes back without a node, its nested rows with it.
  f.Row("A1")->SetVisible(false);
  TForm hidden(nullptr);
  TvmInspector* h = ReadForm(hidden, ComponentToText(f.Form.get()));
  EXPECT_EQ(Shape(h), "B:0 C1:1 A:0+ A2:1 C:0 ");
  EXPECT_EQ(h->GetRowCount(), 8);
  EXPECT_FALSE(h->FindRow("InspRow3")->Visible());
}

TEST(InspectorStreaming, ComplexRowItemsReadBackWithTheirRows) {
  TRegisterInspector reg;
  TInspFixture f;
  f.Tree();
  auto* cx = f.Insp->CreateRow<TvmInspectorComplexRow>();
  cx->SetCaption("X");
  // Item 0 a fixed A2, item 1 a row made after the complex row (read later), item 2 empty.
  auto* late = f.Add("Late", "9");
  cx->SetItemRow(cx->AddItem(), f.Row("A2"));
  cx->SetItemFixed(0, true);
  cx->SetItemWidth(0, 70);
  cx->SetItemRow(cx->AddItem(), late);
  cx->SetItemMinWidth(1, 30);
  cx->SetItemWidth(1, 40);
  cx->AddItem();
  ASSERT_FALSE(late->Visible());
  const std::string text = ComponentToText(f.Form.get());
  EXPECT_NE(text.find("Items = <"), std::string::npos) << text;
  EXPECT_NE(text.find("Row = " + late->Name()), std::string::npos) << text;
  EXPECT_EQ(text.find("Width = 50"), std::string::npos) << text;  // defaults are left out

  TForm copy(nullptr);
  TvmInspector* g = ReadForm(copy, text);
  ASSERT_NE(g, nullptr);
  auto* gx = dynamic_cast<TvmInspectorComplexRow*>(g->FindRow(cx->Name()));
  ASSERT_NE(gx, nullptr);
  ASSERT_EQ(gx->ItemCount(), 3);
  struct TItem {
    std::string Row;
    bool Fixed;
    int MinWidth, Width;
  };
  const TItem want[] = {{f.Row("A2")->Name(), true, 20, 70}, {late->Name(), false, 30, 40}, {"", false, 20, 50}};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const auto& it = gx->Items(i);
    EXPECT_EQ(it.Row ? it.Row->Name() : std::string(), want[i].Row);
    if (it.Row) {
      EXPECT_EQ(it.Row->Owner(), &copy);  // the copy's own row, not the original's
      EXPECT_FALSE(it.Row->Visible());
      EXPECT_EQ(it.Row->Node(), nullptr);
    }
    EXPECT_EQ(it.Fixed, want[i].Fixed);
    EXPECT_EQ(it.MinWidth, want[i].MinWidth);
    EXPECT_EQ(it.Width, want[i].Width);
  }
  EXPECT_EQ(gx->GetItems()->Items(1)->DisplayName(), late->Name());
  EXPECT_EQ(gx->GetCaption(), "X");
  copy.Show();
  EXPECT_EQ(ComponentToText(&copy), text);
}

TEST(InspectorComplexRow, ItemsCopyThroughTheirSetters) {
  TInspFixture f;
  f.Tree();
  auto* a = f.Insp->CreateRow<TvmInspectorComplexRow>();
  auto* b = f.Insp->CreateRow<TvmInspectorComplexRow>();
  a->SetItemRow(a->AddItem(), f.Row("B"));
  a->SetItemMinWidth(0, 60);
  a->SetItemFixed(0, true);
  b->SetItems(a->GetItems());
  ASSERT_EQ(b->ItemCount(), 1);
  EXPECT_EQ(b->Items(0).Row, f.Row("B"));
  EXPECT_TRUE(b->Items(0).Fixed);
  EXPECT_EQ(b->Items(0).MinWidth, 60);
  EXPECT_EQ(b->Items(0).Width, 60);  // raised to the copied minimum
  // A row lives in one complex row: the copy took it from the source.
  EXPECT_EQ(a->Items(0).Row, nullptr);
  // Named after the row; without one, the collection's default name.
  EXPECT_EQ(b->GetItems()->Items(0)->DisplayName(), f.Row("B")->Name());
  EXPECT_EQ(a->GetItems()->Items(0)->DisplayName(), "TvmInspectorComplexRowItem");
  // A freed row leaves the complex row that showed it; a freed complex row is no longer told.
  b->SetItemRow(b->AddItem(), f.Row("C"));
  delete f.Row("B");
  EXPECT_EQ(b->Items(0).Row, nullptr);
  EXPECT_EQ(b->Items(1).Row, f.Row("C"));
  delete b;
  delete f.Row("C");
  EXPECT_EQ(a->ItemCount(), 1);
}

TEST(InspectorStreaming, DamagedOrForeignDataRestoresWhatItCan) {
  TRegisterInspector reg;
  TInspFixture f;
  f.Tree();
  const std::string text = ComponentToText(f.Form.get());
  // Without an order the rows come back at the top level in row-list order.
  const std::string created = "A:0 A1:0 A1a:0 A1b:0 A2:0 B:0 C:0 C1:0 ";
  auto put = [](std::string& S, int32_t V) { S.append(reinterpret_cast<const char*>(&V), 4); };
  auto record = [&](std::string& S, int32_t Children, const std::string& Name) {
    put(S, 8), put(S, Children), put(S, static_cast<int32_t>(Name.size())), S += Name;
  };
  auto withLength = [&](const std::string& Body, int32_t Length) {
    std::string s;
    put(s, Length);
    return s + Body;
  };
  // A record naming a row that is not there: B and its child C1 apply, the rest is ignored.
  std::string unknown;
  put(unknown, 3);
  record(unknown, 1, "InspRow6");
  record(unknown, 0, "InspRow8");
  record(unknown, 0, "Gone");
  record(unknown, 0, "InspRow1");
  // Records nested far deeper than there are rows, and a length larger than the bytes.
  std::string deep;
  put(deep, 1);
  for (int i = 0; i < 5000; ++i) record(deep, 1, "InspRow6");
  struct TCase {
    const char* What;
    std::string Data;
    std::string Shape;
  } cases[] = {
      {"unknown row", Hex(withLength(unknown, static_cast<int32_t>(unknown.size()))),
       "A:0 A1:0 A1a:0 A1b:0 A2:0 C:0 B:0+ C1:1 "},
      {"too deep", Hex(withLength(deep, 1 << 30)), "A:0 A1:0 A1a:0 A1b:0 A2:0 C:0 C1:0 B:0 "},
      {"empty", "{}", created},
      {"cut short", Hex(withLength(unknown, 99).substr(0, 6)), created},
      {"a string", "'not an order'", created},
      {"a list", "(\r\n  1\r\n  2)", created},
      {"a number", "12", created},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    TForm copy(nullptr);
    TvmInspector* g = nullptr;
    ASSERT_NO_THROW(g = ReadForm(copy, WithData(text, c.Data)));
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->GetRowCount(), 8);
    EXPECT_EQ(Shape(g), c.Shape);
    // The rest of the form is read all the same.
    EXPECT_EQ(g->FindRow("InspRow8")->EditText(), "31");
    EXPECT_NE(g->FocusedNode(), nullptr);
  }
}

}  // namespace

namespace {

// The customizing window's hooks, with a small window of the test's own standing for it.
struct TCustomizeWindow : TForm {
  int Refreshes = 0, DragStarts = 0;
  intptr_t DragParam = -1;
  bool* Gone = nullptr;
  TCustomizeWindow() : TForm(nullptr) {
    WindowProc = [this](TMessage& M) {
      if (M.Msg == WM_VMINSP_REFRESH) ++Refreshes;
      if (M.Msg == WM_VMINSP_DRAGSTART) ++DragStarts, DragParam = M.WParam;
      DefaultWindowProc(M);
    };
  }
  ~TCustomizeWindow() override {
    if (Gone) *Gone = true;
  }
};

TEST(InspectorCustomizing, RefreshOnceShowHideBoundsAndEditingOff) {
  TInspFixture f;
  f.Tree();
  auto* w = new TCustomizeWindow;
  bool gone = false;
  w->Gone = &gone;
  EXPECT_FALSE(f.Insp->IsCustomizing());
  f.Insp->SetFocusedNode(f.Node("A"));
  EXPECT_TRUE(f.Insp->CanEditNode());
  f.Insp->SetCustomizeForm(w);
  EXPECT_TRUE(f.Insp->IsCustomizing());
  EXPECT_FALSE(f.Insp->CanEditNode());
  Application->ProcessMessages();
  const int before = w->Refreshes;
  // Row list, visibility and content changes: one message queued until the window has it.
  f.Row("B")->SetVisible(false);
  EXPECT_TRUE(f.Insp->CustomizeRefreshQueued());
  f.Row("B")->SetVisible(true);
  f.Add("D");
  f.Row("A")->SetCaption("A!");
  Application->ProcessMessages();
  EXPECT_EQ(w->Refreshes, before + 1);
  EXPECT_FALSE(f.Insp->CustomizeRefreshQueued());
  f.Insp->RemoveRow(f.Row("D"));
  Application->ProcessMessages();
  EXPECT_EQ(w->Refreshes, before + 2);
  // Shown and hidden: the place is remembered at hiding and put back at the next showing.
  int shows = 0, hides = 0;
  f.Insp->OnShowCustomizeForm = [&](TObject* S) {
    ++shows;
    EXPECT_EQ(S, static_cast<TObject*>(f.Insp));
  };
  f.Insp->OnHideCustomizeForm = [&](TObject*) { ++hides; };
  EXPECT_EQ(f.Insp->CustomizeFormBounds().Left, vmInspUnsetBound);
  w->SetBounds(400, 10, 150, 200);
  w->Show();
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(w->BoundsRect(), Bounds(400, 10, 150, 200));
  w->SetBounds(420, 30, 160, 210);
  w->Hide();
  EXPECT_EQ(hides, 1);
  EXPECT_EQ(f.Insp->CustomizeFormBounds(), Bounds(420, 30, 160, 210));
  w->SetBounds(0, 0, 50, 50);
  w->Show();
  EXPECT_EQ(shows, 2);
  EXPECT_EQ(w->BoundsRect(), Bounds(420, 30, 160, 210));
  // Freed by someone else, the control forgets it; attached, it goes with the control.
  delete w;
  EXPECT_FALSE(f.Insp->IsCustomizing());
  EXPECT_TRUE(f.Insp->CanEditNode());
  auto* w2 = new TCustomizeWindow;
  bool gone2 = false;
  w2->Gone = &gone2;
  f.Insp->SetCustomizeForm(w2);
  f.Form.reset();
  EXPECT_TRUE(gone2);
}

TEST(InspectorCustomizing, RowDragsToAndFromTheWindowAndTheDragImage) {
  TInspFixture f;
  f.Tree();
  f.Row("C")->SetIsCategory(true);
  auto* w = new TCustomizeWindow;
  f.Insp->SetCustomizeForm(w);
  w->SetBounds(420, 30, 160, 210);
  w->Show();
  Application->ProcessMessages();
  const TPoint overWindow = f.Insp->ScreenToClient(TPoint(w->Left() + 20, w->Top() + 20));
  auto drag = [&](TPoint From, TPoint To) {
    SendInput(f.Insp, ikMouseDown, {ssLeft}, From.X, From.Y, mbLeft);
    SendInput(f.Insp, ikMouseMove, {ssLeft}, From.X, From.Y + 8);
    SendInput(f.Insp, ikMouseMove, {ssLeft}, To.X, To.Y);
  };
  // A drag of the category row C: the window hears it with WParam 1; the image is C's caption.
  drag(f.CaptionPoint("C"), overWindow);
  ASSERT_EQ(f.Insp->MouseState(), imsDragging);
  EXPECT_EQ(w->DragStarts, 1);
  EXPECT_EQ(w->DragParam, 1);
  EXPECT_EQ(f.Insp->Cursor(), crvmInspHide);
  TBitmap* image = f.Insp->DragImage();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Width(), f.Insp->DividerPos() + 32);
  EXPECT_EQ(image->Height(), f.Insp->TextRowHeight());
  // The halftone ground inverted, the caption in it from x = 31 on; the ground's other colour is
  // the transparent one.
  auto inverted = [](TColor C) { return static_cast<TColor>(~ColorToRGB(C) & 0xFFFFFF); };
  TCanvas* c = image->Canvas();
  EXPECT_EQ(c->Pixels(0, 0), inverted(clBtnShadow));
  EXPECT_EQ(c->Pixels(1, 0), inverted(f.Insp->Color()));
  EXPECT_EQ(image->TransparentColor(), c->Pixels(1, 0));
  int textLeft = image->Width(), textPixels = 0;
  for (int y = 0; y < image->Height(); ++y)
    for (int x = 0; x < image->Width(); ++x) {
      const TColor p = c->Pixels(x, y);
      if (p != inverted(clBtnShadow) && p != inverted(f.Insp->Color())) ++textPixels, textLeft = std::min(textLeft, x);
    }
  EXPECT_GT(textPixels, 10);
  EXPECT_GE(textLeft, 31);
  // Dropped over the window: C and the row nested under it become invisible.
  SendInput(f.Insp, ikMouseUp, {}, overWindow.X, overWindow.Y, mbLeft);
  EXPECT_FALSE(f.Row("C")->Visible());
  EXPECT_FALSE(f.Row("C1")->Visible());
  EXPECT_EQ(f.Insp->DragImage(), nullptr);
  // A plain row's drag tells the window WParam 0; released over the rows it moves as usual.
  drag(f.CaptionPoint("B"), f.CaptionPoint("A"));
  EXPECT_EQ(w->DragStarts, 2);
  EXPECT_EQ(w->DragParam, 0);
  SendInput(f.Insp, ikMouseUp, {}, f.CaptionPoint("A").X, f.CaptionPoint("A").Y, mbLeft);
  EXPECT_EQ(f.Node("B")->Parent(), f.Node("A"));
  // A hidden row dragged in from the window: released over the window it stays hidden...
  f.Insp->DragRowFromCustomizeForm(f.Row("C"));
  EXPECT_EQ(f.Insp->CustomizeDragRow(), f.Row("C"));
  SendInput(f.Insp, ikMouseMove, {ssLeft}, overWindow.X, overWindow.Y);
  SendInput(f.Insp, ikMouseUp, {}, overWindow.X, overWindow.Y, mbLeft);
  EXPECT_FALSE(f.Row("C")->Visible());
  EXPECT_EQ(f.Insp->CustomizeDragRow(), nullptr);
  // ...released on a caption it becomes visible there, nested as the caption's last child.
  f.Insp->DragRowFromCustomizeForm(f.Row("C"));
  const TPoint a = f.CaptionPoint("A");
  SendInput(f.Insp, ikMouseMove, {ssLeft}, a.X, a.Y);
  EXPECT_EQ(f.Insp->Cursor(), crvmInspAddChild);
  SendInput(f.Insp, ikMouseUp, {}, a.X, a.Y, mbLeft);
  ASSERT_TRUE(f.Row("C")->Visible());
  EXPECT_EQ(f.Node("C")->Parent(), f.Node("A"));
  EXPECT_EQ(f.Node("A")->Items(f.Node("A")->Count() - 1), f.Node("C"));
  // Its formerly nested row stays hidden (nesting is not restored).
  EXPECT_FALSE(f.Row("C1")->Visible());
}

TEST(InspectorRowDrag, TheRowImageFollowsThePointerStaysOutOfPaintsAndGoesWithTheDrag) {
  TInspFixture f;
  f.Tree();
  f.Insp->SetRowDragging(true);
  int showingWhilePainting = -1;
  f.Insp->OnDrawCaption = [&](TvmInspectorRow*, TCanvas*, const TRect&, std::string&, TFont*, TColor&, bool&) {
    if (f.Insp->DragWindow()) showingWhilePainting = f.Insp->DragWindow()->Showing();
  };
  const TPoint from = f.CaptionPoint("B");
  const TRect rowB = f.Insp->GetNodeRect(f.Node("B"));
  SendInput(f.Insp, ikMouseDown, {ssLeft}, from.X, from.Y, mbLeft);
  EXPECT_EQ(f.Insp->DragWindow(), nullptr);
  SendInput(f.Insp, ikMouseMove, {ssLeft}, from.X, from.Y + 8);
  ASSERT_EQ(f.Insp->MouseState(), imsDragging);
  TDragImage* w = f.Insp->DragWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->Showing());
  // The window shows the row image with its see-through colour; the pressed point of the row
  // stays under the pointer.
  ASSERT_NE(w->Image(), nullptr);
  EXPECT_EQ(w->Image()->Width(), f.Insp->DragImage()->Width());
  EXPECT_EQ(w->Image()->Canvas()->Pixels(40, 3), f.Insp->DragImage()->Canvas()->Pixels(40, 3));
  EXPECT_EQ(w->TransparentColor(), f.Insp->DragImage()->TransparentColor());
  EXPECT_EQ(w->HotSpot(), TPoint(from.X - rowB.Left, from.Y - rowB.Top));
  TPoint screen = f.Insp->ClientToScreen(TPoint(from.X, from.Y + 8));
  EXPECT_EQ(TPoint(w->ScreenRect().Left + w->HotSpot().X, w->ScreenRect().Top + w->HotSpot().Y), screen);
  const TPoint to = f.CaptionPoint("A");
  SendInput(f.Insp, ikMouseMove, {ssLeft}, to.X + 3, to.Y);
  screen = f.Insp->ClientToScreen(TPoint(to.X + 3, to.Y));
  EXPECT_EQ(TPoint(w->ScreenRect().Left + w->HotSpot().X, w->ScreenRect().Top + w->HotSpot().Y), screen);
  // Hidden while the control paints, back afterwards.
  f.Insp->Repaint();
  EXPECT_EQ(showingWhilePainting, 0);
  EXPECT_TRUE(w->Showing());
  f.Insp->OnDrawCaption = nullptr;
  // Esc ends the drag and the window with it; a new drag gets a window again, the drop ends it.
  PressKey(f.Insp, VK_ESCAPE);
  EXPECT_EQ(f.Insp->DragWindow(), nullptr);
  SendInput(f.Insp, ikMouseUp, {}, to.X, to.Y, mbLeft);
  SendInput(f.Insp, ikMouseDown, {ssLeft}, from.X, from.Y, mbLeft);
  SendInput(f.Insp, ikMouseMove, {ssLeft}, from.X, from.Y + 8);
  ASSERT_NE(f.Insp->DragWindow(), nullptr);
  EXPECT_TRUE(f.Insp->DragWindow()->Showing());
  SendInput(f.Insp, ikMouseUp, {}, to.X, to.Y, mbLeft);
  EXPECT_EQ(f.Insp->DragWindow(), nullptr);
  EXPECT_EQ(f.Node("B")->Parent(), f.Node("A"));
}

}  // namespace
