// Anchor scrolling: a middle-button press leaves a mark; the pointer's distance from it sets
// the direction and speed, the 20 ms timer scrolls, and a click, a key or the wheel ends it.
#include <set>

#include "tl_fixture.h"

namespace {

struct TAnchorFixture : TTreeListFixture {
  TPoint Anchor{150, 150};
  TAnchorFixture() : TTreeListFixture(3, 400, 300) { Fill(100, 0); }
  void Start() { TL->DispatchMouseDown(mbMiddle, {}, Anchor.X, Anchor.Y); }
  void MoveBy(int DX, int DY) { TL->DispatchMouseMove({}, Anchor.X + DX, Anchor.Y + DY); }
  void Ticks(int N) {
    for (int i = 0; i < N; ++i) TL->AnchorTimer()->Fire();
  }
};

}  // namespace

TEST(TreeListAnchorScroll, SpeedAndDirectionFollowTheDistanceFromTheMark) {
  TAnchorFixture f;
  ASSERT_TRUE(f.TL->ScrollBarShowing(SB_VERT));
  ASSERT_FALSE(f.TL->ScrollBarShowing(SB_HORZ));
  f.Start();
  ASSERT_TRUE(f.TL->AnchorScrolling());
  EXPECT_TRUE(f.TL->MouseCapture());
  EXPECT_TRUE(f.TL->AnchorTimer()->Enabled());
  EXPECT_EQ(f.TL->AnchorTimer()->Interval(), 20u);
  // The mark shows centred on the press point.
  ASSERT_NE(f.TL->AnchorImage(), nullptr);
  EXPECT_TRUE(f.TL->AnchorImage()->Showing());
  TPoint s = f.TL->ClientToScreen(f.Anchor);
  const int half = TCustomvmTreeList::AnchorSize / 2;
  EXPECT_EQ(f.TL->AnchorImage()->ScreenRect().Left, s.X - half);
  EXPECT_EQ(f.TL->AnchorImage()->ScreenRect().Top, s.Y - half);

  struct Case {
    int DX, DY, Direction, Speed;
  };
  const Case cases[] = {
      {0, half, 0, 0},                            // on the resting square's edge
      {0, half + 1, 4, 1},                        // just outside: speed 1, down
      {0, -(half + 1), 2, 1},                     // up
      {0, half + 55, 4, 12},                      // 55 pixels further: full speed
      {0, half + 200, 4, 12},                     // and no faster
      {0, half + 26, 4, 6},      {120, 0, 0, 0},  // no horizontal bar: sideways never scrolls
      {120, -(half + 10), 2, 3},                  // only the vertical part counts
  };
  for (const auto& c : cases) {
    f.MoveBy(c.DX, c.DY);
    SCOPED_TRACE(std::to_string(c.DX) + "," + std::to_string(c.DY));
    EXPECT_EQ(f.TL->AnchorDirection(), c.Direction);
    EXPECT_EQ(f.TL->AnchorSpeed(), c.Speed);
  }
  // Speed 1 scrolls one line every 12th tick, speed 12 one every tick.
  f.MoveBy(0, half + 1);
  int top = f.TL->GetTopRowIndex();
  f.Ticks(11);
  EXPECT_EQ(f.TL->GetTopRowIndex(), top);
  f.Ticks(13);
  EXPECT_EQ(f.TL->GetTopRowIndex(), top + 2);
  f.MoveBy(0, half + 60);
  f.Ticks(5);
  EXPECT_EQ(f.TL->GetTopRowIndex(), top + 7);
  f.MoveBy(0, -(half + 60));
  f.Ticks(3);
  EXPECT_EQ(f.TL->GetTopRowIndex(), top + 4);
  // Resting: nothing moves.
  f.MoveBy(2, 2);
  f.Ticks(30);
  EXPECT_EQ(f.TL->GetTopRowIndex(), top + 4);
  // Releasing the middle button after having moved ends the mode.
  f.TL->DispatchMouseUp(mbMiddle, {}, f.Anchor.X, f.Anchor.Y);
  EXPECT_FALSE(f.TL->AnchorScrolling());
  EXPECT_FALSE(f.TL->AnchorTimer()->Enabled());
  EXPECT_FALSE(f.TL->MouseCapture());
  EXPECT_FALSE(f.TL->AnchorImage()->Showing());
}

TEST(TreeListAnchorScroll, AClickWithoutMovingKeepsTheModeUntilAClickKeyOrWheel) {
  TAnchorFixture f;
  ASSERT_TRUE(f.Focus());
  TvmTreeListNode* focused = f.TL->GetNodeAtRow(0);
  f.TL->SetFocusedNode(focused);
  // Press and release in place: the mode stays.
  f.Start();
  f.TL->DispatchMouseUp(mbMiddle, {}, f.Anchor.X, f.Anchor.Y);
  ASSERT_TRUE(f.TL->AnchorScrolling());
  // A key ends it and is swallowed: the focus does not move down.
  f.Key(VK_DOWN);
  EXPECT_FALSE(f.TL->AnchorScrolling());
  EXPECT_EQ(f.TL->FocusedNode(), focused);
  // A left click ends it without focusing the row under it.
  f.Start();
  f.TL->DispatchMouseUp(mbMiddle, {}, f.Anchor.X, f.Anchor.Y);
  TPoint p = f.CellPoint(f.TL->GetNodeAtRow(3), 1);
  f.Click(p);
  EXPECT_FALSE(f.TL->AnchorScrolling());
  EXPECT_EQ(f.TL->FocusedNode(), focused);
  // The wheel ends it without scrolling.
  f.Start();
  int top = f.TL->GetTopRowIndex();
  f.TL->DispatchMouseWheel({}, -120, f.Anchor.X, f.Anchor.Y);
  EXPECT_FALSE(f.TL->AnchorScrolling());
  EXPECT_EQ(f.TL->GetTopRowIndex(), top);
  // Leaving the control ends it as well.
  f.Start();
  f.TL->CancelMode();
  EXPECT_FALSE(f.TL->AnchorScrolling());
  EXPECT_FALSE(f.TL->MouseCapture());
}

TEST(TreeListAnchorScroll, WithBothBarsTheLargerDistanceChoosesTheWay) {
  TAnchorFixture f;
  for (int i = 0; i < 3; ++i) f.TL->Columns(i)->SetWidth(300);
  f.TL->UpdateScrollBars();
  ASSERT_TRUE(f.TL->ScrollBarShowing(SB_HORZ));
  f.Start();
  f.MoveBy(40, 20);
  EXPECT_EQ(f.TL->AnchorDirection(), 3);
  f.MoveBy(-40, 10);
  EXPECT_EQ(f.TL->AnchorDirection(), 1);
  f.MoveBy(30, -30);  // a tie goes to the vertical way
  EXPECT_EQ(f.TL->AnchorDirection(), 2);
  // Scrolling right moves LeftPos by whole steps.
  f.MoveBy(TCustomvmTreeList::AnchorSize / 2 + 60, 0);
  f.Ticks(2);
  EXPECT_GT(f.TL->LeftPos(), 0);
  int step = f.TL->LeftPos() / 2;
  f.Ticks(1);
  EXPECT_EQ(f.TL->LeftPos(), 3 * step);
  f.TL->EndAnchorScroll();
}

TEST(TreeListAnchorScroll, TheCursorShowsTheWayItScrolls) {
  TAnchorFixture f;
  f.TL->SetCursor(crHandPoint);
  auto standard = [](HCURSOR H) {
    for (TCursor c = crDefault; c >= crSizeAll; --c)
      if (Screen->Cursors(c) == H) return true;
    return false;
  };
  // Vertical bar only: the resting cursor points up and down, moving shows the one way.
  f.Start();
  EXPECT_EQ(Screen->Cursor(), crvmTLVerScroll);
  const int half = TCustomvmTreeList::AnchorSize / 2;
  struct Case {
    int DX, DY;
    TCursor Cursor;
  };
  const Case vertical[] = {
      {0, half + 1, crvmTLDownScroll}, {0, -(half + 30), crvmTLUpScroll}, {80, 3, crvmTLVerScroll}};
  for (const auto& c : vertical) {
    f.MoveBy(c.DX, c.DY);
    EXPECT_EQ(Screen->Cursor(), c.Cursor) << c.DX << "," << c.DY;
  }
  f.TL->EndAnchorScroll();
  EXPECT_EQ(Screen->Cursor(), crDefault);
  EXPECT_EQ(f.TL->Cursor(), crHandPoint);  // the control's own cursor is kept

  // Both bars: four ways and the four-way resting cursor.
  for (int i = 0; i < 3; ++i) f.TL->Columns(i)->SetWidth(300);
  f.TL->UpdateScrollBars();
  ASSERT_TRUE(f.TL->ScrollBarShowing(SB_HORZ));
  f.Start();
  EXPECT_EQ(Screen->Cursor(), crvmTLFullScroll);
  const Case both[] = {{-(half + 5), 0, crvmTLLeftScroll},
                       {half + 5, 2, crvmTLRightScroll},
                       {3, half + 5, crvmTLDownScroll},
                       {-4, -(half + 5), crvmTLUpScroll},
                       {1, 1, crvmTLFullScroll}};
  for (const auto& c : both) {
    f.MoveBy(c.DX, c.DY);
    EXPECT_EQ(Screen->Cursor(), c.Cursor) << c.DX << "," << c.DY;
  }
  f.TL->EndAnchorScroll();

  // Horizontal bar only: sideways the one way, up or down never.
  TTreeListFixture g(3, 400, 300);
  g.Fill(3, 0);
  for (int i = 0; i < 3; ++i) g.TL->Columns(i)->SetWidth(300);
  g.TL->UpdateScrollBars();
  ASSERT_TRUE(g.TL->ScrollBarShowing(SB_HORZ));
  ASSERT_FALSE(g.TL->ScrollBarShowing(SB_VERT));
  g.TL->DispatchMouseDown(mbMiddle, {}, 150, 150);
  EXPECT_EQ(Screen->Cursor(), crvmTLHorScroll);
  g.TL->DispatchMouseMove({}, 150 - (half + 5), 240);
  EXPECT_EQ(Screen->Cursor(), crvmTLLeftScroll);
  g.TL->DispatchMouseMove({}, 152, 60);
  EXPECT_EQ(Screen->Cursor(), crvmTLHorScroll);
  g.TL->EndAnchorScroll();

  // Seven drawn pictures of their own, none of them a standard cursor.
  std::set<HCURSOR> handles;
  for (TCursor c = crvmTLFullScroll; c <= crvmTLDownScroll; ++c) {
    HCURSOR h = Screen->Cursors(c);
    EXPECT_FALSE(standard(h)) << c;
    handles.insert(h);
  }
  EXPECT_EQ(handles.size(), 7u);
}
