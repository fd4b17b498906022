// The tree list under the mouse: band cells, headers, corner buttons and drop-down buttons held
// down and clicked, and the columns' own answers on hot tracking, header text, cell heights and
// editors opened by a press.
#include <functional>
#include <string>
#include <vector>

#include "tl_fixture.h"

namespace {

TPoint Centre(const TRect& R) { return TPoint((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2); }

TColor Inverted(TColor C) {
  uint32_t rgb = static_cast<uint32_t>(ColorToRGB(C));
  return static_cast<TColor>(~rgb & 0xFFFFFF);
}

// A tree list whose headers show drop-down buttons, as a filtering grid's would.
class THotHeaderTreeList : public TvmTreeList {
public:
  using TvmTreeList::TvmTreeList;
  bool IsHeaderHotTracking() override { return true; }
  void DoDropDownButtonClick(int Column) override { DropDowns.push_back(Column); }
  std::vector<int> DropDowns;
};

// A column that answers the grid's questions itself.
class THookColumn : public TvmTreeListColumn {
public:
  using TvmTreeListColumn::TvmTreeListColumn;
  bool OpensEditor = false;
  std::vector<bool> EditorAsked;  // WasFocused of each question
  bool OpensEditorOnMouseDown(int, int, bool WasFocused) override {
    EditorAsked.push_back(WasFocused);
    return OpensEditor;
  }
  int MinCellHeight = 0;
  int GetMinCellHeight(TCanvas*) override { return MinCellHeight; }
  bool Multiline = false;
  bool IsMultilineHeader() const override { return Multiline; }
  // The left half of a cell is a link: part 5, shown with the hand.
  bool IsHotTrackCell(int X, int, TvmTreeListNode*, int& PartIndex) override {
    TvmTreeListLayout L;
    TreeList()->CalcLayout(L);
    for (const auto& h : L.HeaderCells)
      if (h.Column == Index() && X < (h.Rect.Left + h.Rect.Right) / 2) {
        PartIndex = 5;
        return true;
      }
    return false;
  }
  std::vector<std::string> Tracked;
  void NodeHotTracked(TvmTreeListNode* Node, int PartIndex, TCursor& Cursor) override {
    Tracked.push_back(Node->Strings(0) + ":" + std::to_string(PartIndex));
    Cursor = crHandPoint;
  }
};

THookColumn* AddHookColumn(TTreeListFixture& F, const std::string& Caption) {
  auto* c = new THookColumn(F.Form.get());
  c->SetParentComponent(F.TL);
  c->SetCaption(Caption);
  return c;
}

// The fixture's layout on a tree list of the hot-header kind.
struct THotHeaderFixture : TTreeListFixture {
  THotHeaderTreeList* Hot = nullptr;
  THotHeaderFixture() : TTreeListFixture(0) {
    Hot = new THotHeaderTreeList(Form.get());
    Hot->Font()->Assign(TL->Font());
    Hot->HeaderPanelFont()->Assign(TL->Font());
    Hot->SetParent(Form.get());
    Hot->SetBounds(0, 0, 400, 300);
    delete TL;
    TL = Hot;
    for (int i = 0; i < 3; ++i) TL->CreateColumn()->SetCaption("C" + std::to_string(i));
  }
};

}  // namespace

// A band cell, a column header and the two corner buttons: each shows pushed while the pointer
// stays over it after the press, and is clicked only when released over it.
TEST(TreeListMouse, HeldItemsShowPushedOverThemAndClickOnlyWhereThePressBegan) {
  TTreeListFixture f;
  f.Fill(3, 0);
  f.TL->SetShowBandPanel(true);
  f.TL->SetShowIndicatorColumn(true);
  // Nothing may move: a held band or header stays held, however far the pointer goes.
  f.TL->SetOptions(f.TL->Options() - tloColumnMoving);
  f.TL->SetExtendedOptions(f.TL->ExtendedOptions() - tlxBandMoving + tlxBandButton + tlxHeaderButton);
  f.TL->Bands()->Items(0)->SetCaption("Band");
  std::vector<std::string> log;
  f.TL->OnBandHeaderClick = [&](TObject*, TvmTreeListBand* B) { log.push_back("band " + B->Caption()); };
  f.TL->OnColumnHeaderClick = [&](TObject*, TvmTreeListColumn* C) { log.push_back("header " + C->Caption()); };
  f.TL->OnBandCornerClick = [&](TObject*) { log.push_back("band corner"); };
  f.TL->OnHeaderCornerClick = [&](TObject*) { log.push_back("header corner"); };

  const TvmTreeListLayout L = f.Layout();
  TRect band = L.BandCells.at(0).Rect;
  band.Top = L.BandPanelRect.Top;
  band.Bottom = L.BandPanelRect.Bottom;
  struct Case {
    const char* Name;
    TRect Rect;
    TvmTreeListState State;
    std::string Click;
  } cases[] = {
      {"band cell", band, tlsBandPressed, "band Band"},
      {"column header", L.HeaderCells.at(1).Rect, tlsColumnPressed, "header C1"},
      {"band corner", L.BandButtonRect, tlsBandButtonPressed, "band corner"},
      {"header corner", L.HeaderButtonRect, tlsHeaderButtonPressed, "header corner"},
  };
  const TPoint away(200, L.RowsRect.Top + 40);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    ASSERT_FALSE(IsRectEmpty(c.Rect));
    const TPoint p = Centre(c.Rect);
    // The raised face's left edge is lit; held down it sinks into shadow.
    auto edge = [&] {
      f.Paint();
      return f.Pixel(c.Rect.Left, p.Y);
    };
    ASSERT_EQ(edge(), ColorToRGB(clBtnHighlight));
    log.clear();
    f.TL->DispatchMouseDown(mbLeft, {}, p.X, p.Y);
    EXPECT_EQ(f.TL->State(), c.State);
    EXPECT_EQ(edge(), ColorToRGB(clBtnShadow));
    f.TL->DispatchMouseMove({ssLeft}, away.X, away.Y);
    EXPECT_EQ(f.TL->State(), c.State);
    EXPECT_EQ(edge(), ColorToRGB(clBtnHighlight));
    f.TL->DispatchMouseMove({ssLeft}, p.X + 1, p.Y);
    EXPECT_EQ(edge(), ColorToRGB(clBtnShadow));
    // Released elsewhere: no click.
    f.TL->DispatchMouseUp(mbLeft, {}, away.X, away.Y);
    EXPECT_EQ(f.TL->State(), tlsIdle);
    EXPECT_EQ(edge(), ColorToRGB(clBtnHighlight));
    EXPECT_TRUE(log.empty());
    f.Click(p);
    EXPECT_EQ(log, std::vector<std::string>{c.Click});
  }
}

TEST(TreeListMouse, CornerButtonsNeedTheirOptionsAndARightClickOrEscDropsAHeldItem) {
  TTreeListFixture f;
  f.TL->SetShowBandPanel(true);
  f.TL->SetShowIndicatorColumn(true);
  int clicks = 0;
  f.TL->OnBandCornerClick = [&](TObject*) { ++clicks; };
  f.TL->OnHeaderCornerClick = [&](TObject*) { ++clicks; };
  f.TL->OnColumnHeaderClick = [&](TObject*, TvmTreeListColumn*) { ++clicks; };
  const TvmTreeListLayout L = f.Layout();
  for (const TRect& r : {L.BandButtonRect, L.HeaderButtonRect}) {
    f.TL->DispatchMouseDown(mbLeft, {}, Centre(r).X, Centre(r).Y);
    EXPECT_EQ(f.TL->State(), tlsIdle);
    f.TL->DispatchMouseUp(mbLeft, {}, Centre(r).X, Centre(r).Y);
  }
  EXPECT_EQ(clicks, 0);
  // The right button lets a held header go unclicked.
  const TPoint h = Centre(L.HeaderCells.at(0).Rect);
  f.TL->DispatchMouseDown(mbLeft, {}, h.X, h.Y);
  ASSERT_EQ(f.TL->State(), tlsColumnPressed);
  f.TL->DispatchMouseDown(mbRight, {ssLeft}, h.X, h.Y);
  EXPECT_EQ(f.TL->State(), tlsIdle);
  EXPECT_FALSE(f.TL->IsColumnPushed(0));
  f.TL->DispatchMouseUp(mbLeft, {}, h.X, h.Y);
  // So does Esc.
  f.TL->DispatchMouseDown(mbLeft, {}, h.X, h.Y);
  ASSERT_EQ(f.TL->State(), tlsColumnPressed);
  f.Key(VK_ESCAPE);
  EXPECT_EQ(f.TL->State(), tlsIdle);
  f.TL->DispatchMouseUp(mbLeft, {}, h.X, h.Y);
  EXPECT_EQ(clicks, 0);
}

TEST(TreeListMouse, AHeldHeaderInTheFlatLooksShowsInverted) {
  for (TvmTreeListLookStyle look : {tllFlat, tllThinLine}) {
    TTreeListFixture f;
    f.TL->SetLookStyle(look);
    const TRect r = f.Layout().HeaderCells.at(0).Rect;
    const TPoint face(r.Left + 3, r.Top + 3);  // above the caption
    f.Paint();
    const TColor normal = f.Pixel(face.X, face.Y);
    f.TL->DispatchMouseDown(mbLeft, {}, Centre(r).X, Centre(r).Y);
    f.Paint();
    EXPECT_EQ(f.Pixel(face.X, face.Y), Inverted(normal)) << look;
    f.TL->DispatchMouseUp(mbLeft, {}, Centre(r).X, Centre(r).Y);
    f.Paint();
    EXPECT_EQ(f.Pixel(face.X, face.Y), normal) << look;
  }
}

// Where headers show drop-down buttons, a press on one holds the button, not the header.
TEST(TreeListMouse, TheHeaderDropDownButtonLightsUpIsHeldAndClicked) {
  THotHeaderFixture f;
  f.TL->Columns(2)->SetDisableFilterButton(true);
  int headerClicks = 0;
  f.TL->OnColumnHeaderClick = [&](TObject*, TvmTreeListColumn*) { ++headerClicks; };
  const TvmTreeListLayout L = f.Layout();
  const TRect r0 = L.HeaderCells.at(0).Rect;
  const TPoint button(r0.Right - 8, (r0.Top + r0.Bottom) / 2);
  // The button's inside: face when shown, shadow under the pointer, button text when pressed.
  auto inside = [&] {
    f.Paint();
    return f.Pixel(r0.Right - 17, r0.Top + 3);
  };
  EXPECT_EQ(f.TL->GetHeaderHotState(0), 1);
  EXPECT_EQ(inside(), ColorToRGB(clBtnFace));
  f.TL->DispatchMouseMove({}, button.X, button.Y);
  EXPECT_EQ(f.TL->GetHeaderHotState(0), 3);
  EXPECT_EQ(f.TL->GetHeaderHotState(1), 1);
  EXPECT_EQ(f.TL->GetHeaderHotState(2), 0);  // no filter button on this column
  EXPECT_EQ(inside(), ColorToRGB(clBtnShadow));

  f.TL->DispatchMouseDown(mbLeft, {}, button.X, button.Y);
  EXPECT_EQ(f.TL->State(), tlsDropDownButtonPressed);
  EXPECT_EQ(f.TL->GetHeaderHotState(0), 7);
  EXPECT_EQ(inside(), ColorToRGB(clBtnText));
  // Off the button (though still on the header) it lets go of its pressed look.
  f.TL->DispatchMouseMove({ssLeft}, r0.Left + 5, button.Y);
  EXPECT_NE(f.TL->GetHeaderHotState(0), 7);
  f.TL->DispatchMouseMove({ssLeft}, button.X, button.Y);
  EXPECT_EQ(f.TL->GetHeaderHotState(0), 7);
  f.TL->DispatchMouseUp(mbLeft, {}, button.X, button.Y);
  EXPECT_EQ(f.Hot->DropDowns, std::vector<int>{0});
  EXPECT_EQ(headerClicks, 0);

  // Released off the button, the press clicks nothing.
  f.TL->DispatchMouseDown(mbLeft, {}, button.X, button.Y);
  f.TL->DispatchMouseUp(mbLeft, {}, r0.Left + 5, button.Y);
  EXPECT_EQ(f.Hot->DropDowns.size(), 1u);
  // The caption part and a header without the button are plain header presses.
  const TRect r2 = L.HeaderCells.at(2).Rect;
  for (TPoint p : {TPoint(r0.Left + 5, button.Y), TPoint(r2.Right - 8, button.Y)}) {
    f.TL->DispatchMouseMove({}, p.X, p.Y);
    f.TL->DispatchMouseDown(mbLeft, {}, p.X, p.Y);
    EXPECT_EQ(f.TL->State(), tlsColumnPressed);
    f.TL->DispatchMouseUp(mbLeft, {}, p.X, p.Y);
  }
  EXPECT_EQ(headerClicks, 2);
  EXPECT_EQ(f.Hot->DropDowns.size(), 1u);
}

TEST(TreeListMouse, APressOpensTheEditorAtOnceOnlyWithTheOptionAndTheColumnAgreeing) {
  struct Case {
    bool Immediate, ColumnOpens, Opens;
  } cases[] = {{true, true, true}, {false, true, false}, {true, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.Immediate) + std::to_string(c.ColumnOpens));
    TTreeListFixture f(0);
    THookColumn* col = AddHookColumn(f, "A");
    AddHookColumn(f, "B");
    f.Fill(3, 0);
    f.TL->SetOptions(f.TL->Options() - tloRowSelect + tloEditing);
    if (c.Immediate) f.TL->SetExtendedOptions(f.TL->ExtendedOptions() + tlxImmediateEditor);
    col->OpensEditor = c.ColumnOpens;
    ASSERT_TRUE(f.Focus());
    f.TL->SetFocusedNode(f.Find("R0"));
    const TPoint p = f.CellPoint(f.Find("R1"), 0);
    f.TL->DispatchMouseDown(mbLeft, {}, p.X, p.Y);
    EXPECT_EQ(f.TL->State() == tlsEditing, c.Opens);
    EXPECT_EQ(f.FocusText(), "R1");
    f.TL->DispatchMouseUp(mbLeft, {}, p.X, p.Y);
    if (c.Immediate) {
      // The column heard whether its node had the focus before the press.
      ASSERT_FALSE(col->EditorAsked.empty());
      EXPECT_FALSE(col->EditorAsked.back());
    } else {
      EXPECT_TRUE(col->EditorAsked.empty());
    }
  }
}

TEST(TreeListMouse, ColumnsChooseHotCellsAndThePointerOverThem) {
  THotHeaderFixture f;  // header hot tracking on, cell hot tracking (tlxHotTrack) off
  THookColumn* col = AddHookColumn(f, "Link");
  f.Fill(3, 0);
  TvmTreeListNode* r1 = f.Find("R1");
  std::vector<int> parts;
  TCursor given = crDefault;
  f.TL->OnNodeHotTrack = [&](TObject*, TvmTreeListHotTrackInfo Info, TCursor& Cursor) {
    parts.push_back(Info.HotPartIndex);
    given = Cursor;
  };
  const TvmTreeListLayout L = f.Layout();
  const auto* row = f.RowOf(L, r1);
  ASSERT_TRUE(row);
  TRect cell;
  for (const auto& h : L.HeaderCells)
    if (h.Column == col->Index()) cell = h.Rect;
  const int y = row->Top + row->Height / 2;
  // The column's link half is hot; its other half and the plain columns are not.
  f.TL->DispatchMouseMove({}, cell.Left + 4, y);
  EXPECT_EQ(f.TL->HotTrackRecord().HotNode, r1);
  EXPECT_EQ(f.TL->HotTrackRecord().HotPartIndex, 5);
  EXPECT_EQ(col->Tracked, std::vector<std::string>{"R1:5"});
  EXPECT_EQ(f.TL->Cursor(), crHandPoint);
  EXPECT_EQ(given, crHandPoint);  // the program's handler hears the column's choice
  f.TL->DispatchMouseMove({}, cell.Right - 4, y);
  EXPECT_EQ(f.TL->HotTrackRecord().HotNode, nullptr);
  EXPECT_EQ(f.TL->Cursor(), crDefault);
  f.TL->DispatchMouseMove({}, Centre(L.HeaderCells.at(0).Rect).X, y);
  EXPECT_EQ(f.TL->HotTrackRecord().HotNode, nullptr);
  EXPECT_EQ(col->Tracked.size(), 1u);
}

TEST(TreeListMouse, ColumnsRaiseTheRowsByTheirFontOrTheirLeastCellHeight) {
  TTreeListFixture f(0);
  THookColumn* a = AddHookColumn(f, "A");
  THookColumn* b = AddHookColumn(f, "B");
  const int plain = f.TL->DefaultRowHeight();
  a->MinCellHeight = plain + 20;
  f.TL->LayoutChanged();
  EXPECT_EQ(f.TL->DefaultRowHeight(), plain + 20);
  // A hidden column asks for nothing.
  a->SetVisible(false);
  EXPECT_EQ(f.TL->DefaultRowHeight(), plain);
  // A column's own large font needs its text height.
  TFont big;
  big.Assign(f.TL->Font());
  big.SetSize(30);
  b->SetFont(&big);
  f.TL->LayoutChanged();
  TBitmap probe;
  probe.SetSize(4, 4);
  probe.Canvas()->Font()->Assign(&big);
  EXPECT_EQ(f.TL->DefaultRowHeight(), probe.Canvas()->TextHeight("Wg") + 3);
}

TEST(TreeListMouse, AMultilineHeaderColumnWrapsItsCaption) {
  TTreeListFixture f(0);
  THookColumn* a = AddHookColumn(f, "Wide wide wide wide");
  a->SetWidth(60);
  f.TL->SetHeaderMinRowCount(3);
  auto inkInTopThird = [&] {
    f.Paint();
    const TRect r = f.Layout().HeaderCells.at(0).Rect;
    int ink = 0;
    for (int y = r.Top + 2; y < r.Top + r.Height() / 3; ++y)
      for (int x = r.Left + 3; x < r.Right - 3; ++x) ink += f.Pixel(x, y) == ColorToRGB(clBtnText);
    return ink;
  };
  EXPECT_EQ(inkInTopThird(), 0);  // one line, centred
  a->Multiline = true;
  f.TL->Invalidate();
  EXPECT_GT(inkInTopThird(), 0);  // wrapped from the top
}
