// The speed button: press and release inside and outside, groups, repeat, drop-down menu, flat
// look, frame pixels and property limits.
#include "controls/vx_speedbutton.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "platform/actnlist.h"
#include "platform/bitmap.h"
#include "platform/imglist.h"
#include "platform/canvas.h"
#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/typinfo.h"

namespace {

struct Fixture {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  int Clicks = 0;
  Fixture() {
    Form->SetBounds(0, 0, 300, 200);
    Form->Show();
  }
  TVxSpeedButton* Add(int Left, int Group = 0) {
    auto* b = new TVxSpeedButton(Form.get());
    b->SetParent(Form.get());
    b->SetLeft(Left);
    b->SetGroupIndex(Group);
    b->OnClick = [this](TObject*) { ++Clicks; };
    return b;
  }
  static void Press(TControl* C, int X, int Y) { SendInput(C, ikMouseDown, {ssLeft}, X, Y, mbLeft); }
  static void Move(TControl* C, int X, int Y) { SendInput(C, ikMouseMove, {ssLeft}, X, Y); }
  static void Release(TControl* C, int X, int Y) { SendInput(C, ikMouseUp, {}, X, Y, mbLeft); }
};

TEST(VxSpeedButton, ClicksOnlyWhenReleasedInside) {
  struct Case {
    int MoveX, MoveY, UpX, UpY, Clicks;
  } cases[] = {
      {5, 5, 5, 5, 1},    // plain click
      {40, 5, 40, 5, 0},  // dragged off and released outside
      {40, 5, 5, 5, 1},   // dragged off and back in
      {5, 5, 5, 25, 1},   // y = client height still counts as inside
      {5, 5, 25, 5, 0},   // x = client width does not
      {5, 5, -1, 5, 0},
  };
  for (const auto& c : cases) {
    Fixture f;
    TVxSpeedButton* b = f.Add(10);
    ASSERT_EQ(b->Width(), 25);
    Fixture::Press(b, 5, 5);
    EXPECT_EQ(b->State(), rbsDown);
    Fixture::Move(b, c.MoveX, c.MoveY);
    EXPECT_EQ(b->State(), c.MoveX < 25 ? rbsDown : rbsUp);
    Fixture::Release(b, c.UpX, c.UpY);
    EXPECT_EQ(f.Clicks, c.Clicks) << c.UpX << "," << c.UpY;
    EXPECT_EQ(b->State(), rbsUp);
  }
}

TEST(VxSpeedButton, DownLatchesOnlyInAGroup) {
  Fixture f;
  TVxSpeedButton* solo = f.Add(0);
  solo->SetDown(true);
  EXPECT_FALSE(solo->Down());

  TVxSpeedButton* a = f.Add(30, 1);
  TVxSpeedButton* b = f.Add(60, 1);
  TVxSpeedButton* other = f.Add(90, 2);
  other->SetDown(true);
  Fixture::Press(a, 5, 5);
  Fixture::Release(a, 5, 5);
  EXPECT_TRUE(a->Down());
  EXPECT_EQ(a->State(), rbsExclusive);
  Fixture::Press(b, 5, 5);
  Fixture::Release(b, 5, 5);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(other->Down());  // another group is untouched
  // Without AllowAllUp the down button stays down when clicked again.
  Fixture::Press(b, 5, 5);
  Fixture::Release(b, 5, 5);
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(f.Clicks, 3);
  // AllowAllUp is shared by the group: set on one, the click on another lets it go up.
  a->SetAllowAllUp(true);
  EXPECT_TRUE(b->AllowAllUp());
  Fixture::Press(b, 5, 5);
  Fixture::Release(b, 5, 5);
  EXPECT_FALSE(b->Down());
  EXPECT_FALSE(a->Down());
}

TEST(VxSpeedButton, RepeatsWhileHeldInside) {
  Fixture f;
  TVxSpeedButton* b = f.Add(10);
  b->SetAllowTimer(true);
  Fixture::Press(b, 5, 5);
  TTimer* t = b->RepeatTimer();
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(t->Enabled());
  EXPECT_EQ(t->Interval(), 500u);
  EXPECT_EQ(f.Clicks, 0);
  t->Fire();
  EXPECT_EQ(f.Clicks, 1);
  EXPECT_EQ(t->Interval(), 100u);
  t->Fire();
  EXPECT_EQ(f.Clicks, 2);
  Fixture::Move(b, 50, 5);  // held outside: no repeat
  t->Fire();
  EXPECT_EQ(f.Clicks, 2);
  Fixture::Move(b, 5, 5);
  Fixture::Release(b, 5, 5);
  EXPECT_EQ(f.Clicks, 3);
  EXPECT_FALSE(t->Enabled());
  b->SetAllowTimer(false);
  EXPECT_EQ(b->RepeatTimer(), nullptr);
}

TEST(VxSpeedButton, FailingRepeatedClickStopsTheTimer) {
  Fixture f;
  TVxSpeedButton* b = f.Add(10);
  b->SetAllowTimer(true);
  b->OnClick = [](TObject*) { throw std::runtime_error("boom"); };
  Fixture::Press(b, 5, 5);
  TTimer* t = b->RepeatTimer();
  ASSERT_NE(t, nullptr);
  t->Fire();  // the loop reports the exception
  EXPECT_FALSE(t->Enabled());
}

TEST(VxSpeedButton, DropDownMenuShowsOnPressAndClicksOnce) {
  Fixture f;
  TVxSpeedButton* b = f.Add(10);
  auto* menu = new TPopupMenu(f.Form.get());
  int popups = 0;
  menu->OnPopup = [&](TObject*) { ++popups; };
  b->SetDropDownMenu(menu);
  Fixture::Press(b, 5, 5);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(menu->PopupComponent(), b);
  EXPECT_EQ(f.Clicks, 1);  // the release ran when the menu closed
  Fixture::Release(b, 5, 5);
  EXPECT_EQ(f.Clicks, 1);
  // The press that closed the menu over the button does not press it again.
  Fixture::Press(b, 5, 5);
  Fixture::Release(b, 5, 5);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(f.Clicks, 1);
  // A later press does.
  Fixture::Press(b, 5, 5);
  EXPECT_EQ(popups, 2);
  Fixture::Release(b, 5, 5);
  // Without automatic popup the button only clicks.
  menu->SetAutoPopup(false);
  Fixture::Move(b, 5, 5);
  Fixture::Press(b, 5, 5);
  Fixture::Release(b, 5, 5);
  EXPECT_EQ(popups, 2);
  EXPECT_EQ(f.Clicks, 3);
  delete menu;
  EXPECT_EQ(b->DropDownMenu(), nullptr);
}

TEST(VxSpeedButton, MenuPointFollowsPositionAndAlignment) {
  Fixture f;
  TVxSpeedButton* b = f.Add(0);
  b->SetBounds(0, 0, 40, 20);
  EXPECT_EQ(b->DropDownMenuPoint(), Point(0, 0));
  auto* menu = new TPopupMenu(f.Form.get());
  b->SetDropDownMenu(menu);
  struct Case {
    TVxDropDownMenuPos Pos;
    TPopupAlignment Align;
    TPoint P;
  } cases[] = {{dmpBottom, paLeft, {-1, 20}}, {dmpBottom, paRight, {41, 20}}, {dmpBottom, paCenter, {20, 20}},
               {dmpRight, paLeft, {40, -1}},  {dmpRight, paRight, {-1, -1}},  {dmpRight, paCenter, {20, 20}}};
  for (const auto& c : cases) {
    b->SetMenuPosition(c.Pos);
    menu->SetAlignment(c.Align);
    EXPECT_EQ(b->DropDownMenuPoint(), c.P);
  }
}

TEST(VxSpeedButton, PropertyLimits) {
  Fixture f;
  TVxSpeedButton* b = f.Add(0);
  b->SetMargin(-2);
  EXPECT_EQ(b->Margin(), -1);
  b->SetMargin(4);
  b->SetMargin(-2);
  EXPECT_EQ(b->Margin(), 4);
  b->SetNumGlyphs(7);
  EXPECT_EQ(b->NumGlyphs(), 5);
  // The same limits hold through the published properties.
  SetOrdProp(b, "Margin", -5);
  EXPECT_EQ(GetOrdProp(b, "Margin"), 4);
  SetOrdProp(b, "Layout", blGlyphRight);
  EXPECT_EQ(b->Layout(), blGlyphRight);
  SetOrdProp(b, "Layout", blGlyphTop);
  EXPECT_EQ(b->Layout(), blGlyphTop);
  EXPECT_EQ(b->Spacing(), 1);
  EXPECT_TRUE(b->ShowHint());
}

TEST(VxSpeedButton, ClickSetsTheFormsModalResult) {
  Fixture f;
  TVxSpeedButton* b = f.Add(0);
  b->SetModalResult(mrOk);
  Fixture::Press(b, 5, 5);
  Fixture::Release(b, 5, 5);
  EXPECT_EQ(f.Form->ModalResult(), mrOk);
}

TEST(VxSpeedButton, FollowsItsAction) {
  Fixture f;
  auto* images = new TImageList(f.Form.get());
  TBitmap pic(16, 16);
  pic.Canvas()->Brush()->SetColor(clBlue);
  pic.Canvas()->FillRect(Rect(0, 0, 16, 16));
  images->Add(&pic, nullptr);
  auto* list = new TActionList(f.Form.get());
  list->SetImages(images);
  auto* action = new TAction(f.Form.get());
  action->SetActionList(list);
  action->SetCaption("Run");
  action->SetImageIndex(0);
  int runs = 0;
  action->OnExecute = [&](TObject*) { ++runs; };
  TVxSpeedButton* b = f.Add(0, 3);
  b->OnClick = nullptr;
  b->SetAction(action);
  EXPECT_EQ(b->Caption(), "Run");
  EXPECT_EQ(b->Glyph()->Width(), 16);
  EXPECT_EQ(b->Glyph()->Canvas()->Pixels(8, 8), clBlue);
  action->SetChecked(true);
  EXPECT_TRUE(b->Down());
  action->SetEnabled(false);
  EXPECT_FALSE(b->Enabled());
  action->SetEnabled(true);
  Fixture::Press(b, 5, 5);
  Fixture::Release(b, 5, 5);
  EXPECT_EQ(runs, 1);
  delete action;
  EXPECT_EQ(b->Action(), nullptr);
}

TEST(VxSpeedButton, MouseEnterAndLeave) {
  Fixture f;
  TVxSpeedButton* b = f.Add(0);
  int enters = 0, leaves = 0;
  b->OnMouseEnter = [&](TObject*) { ++enters; };
  b->OnMouseLeave = [&](TObject*) { ++leaves; };
  SendInput(b, ikEnter, {}, 5, 5);
  EXPECT_TRUE(b->MouseInside());
  EXPECT_EQ(enters, 1);
  // Leaving while pressed keeps the flag until the release.
  Fixture::Press(b, 5, 5);
  SendInput(b, ikLeave, {}, 40, 5);
  EXPECT_TRUE(b->MouseInside());
  EXPECT_EQ(leaves, 0);
  Fixture::Release(b, 40, 5);
  EXPECT_FALSE(b->MouseInside());
  EXPECT_EQ(leaves, 1);
  EXPECT_EQ(enters, 1);
  // A click inside keeps the mouse inside without a second enter.
  SendInput(b, ikEnter, {}, 5, 5);
  Fixture::Press(b, 5, 5);
  Fixture::Release(b, 5, 5);
  EXPECT_TRUE(b->MouseInside());
  EXPECT_EQ(enters, 2);
  EXPECT_EQ(leaves, 1);
}

// The middle pixel of the button's drawing.
TColor Middle(TVxSpeedButton* b) {
  b->Repaint();
  return ControlSurfacePixel(b, b->Width() / 2, b->Height() / 2);
}

TEST(VxSpeedButton, FlatButtonShowsGrayGlyphUntilTheMouseIsOver) {
  TBitmap g(15, 15);
  g.Canvas()->Brush()->SetColor(RGB(255, 0, 255));
  g.Canvas()->FillRect(Rect(0, 0, 15, 15));
  g.Canvas()->Brush()->SetColor(RGB(200, 0, 0));
  g.Canvas()->FillRect(Rect(3, 3, 12, 12));
  const uint8_t gray = (200 * 77) >> 8;
  struct Case {
    bool Grayed, Standard, Over;
    TColor Expected;
  } cases[] = {
      {true, false, false, RGB(gray, gray, gray)},
      {true, false, true, RGB(200, 0, 0)},
      {false, false, false, RGB(200, 0, 0)},
      {true, true, false, RGB(200, 0, 0)},
  };
  for (const auto& c : cases) {
    Fixture f;
    TVxSpeedButton* b = f.Add(0);
    b->SetBounds(0, 0, 25, 25);
    b->SetGlyph(&g);
    b->SetFlat(true);
    b->SetGrayedInactive(c.Grayed);
    b->SetFlatStandard(c.Standard);
    if (c.Over) SendInput(b, ikEnter, {}, 5, 5);
    EXPECT_EQ(b->MouseInside(), c.Over);
    EXPECT_EQ(Middle(b), c.Expected) << c.Grayed << c.Standard << c.Over;
  }
}

TEST(VxSpeedButton, FramesUpAndDown) {
  // Outer ring: up is highlight at the top left and window frame at the bottom right; down swaps.
  TBitmap out(20, 20);
  DrawButtonFrame(out.Canvas(), Rect(0, 0, 20, 20), false, false, bsNew);
  EXPECT_EQ(out.Canvas()->Pixels(0, 5), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(out.Canvas()->Pixels(19, 5), ColorToRGB(clWindowFrame));
  EXPECT_EQ(out.Canvas()->Pixels(18, 5), ColorToRGB(clBtnShadow));
  const TRect r = DrawButtonFrame(out.Canvas(), Rect(0, 0, 20, 20), true, false, bsNew);
  EXPECT_EQ(out.Canvas()->Pixels(5, 0), ColorToRGB(clWindowFrame));
  EXPECT_EQ(out.Canvas()->Pixels(5, 19), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(out.Canvas()->Pixels(5, 1), ColorToRGB(clBtnShadow));
  EXPECT_EQ(r, Rect(3, 3, 17, 17));
  EXPECT_EQ(DrawButtonFrame(out.Canvas(), Rect(0, 0, 20, 20), true, true, bsNew), Rect(2, 2, 18, 18));
}

TEST(VxSpeedButton, LatchedButtonGetsACheckerboard) {
  Fixture f;
  TVxSpeedButton* b = f.Add(0, 1);
  b->SetDown(true);
  b->Repaint();
  const TColor p1 = ControlSurfacePixel(b, 6, 6), p2 = ControlSurfacePixel(b, 7, 6);
  EXPECT_NE(p1, p2);
  EXPECT_TRUE((p1 == ColorToRGB(clBtnFace) && p2 == ColorToRGB(clBtnHighlight)) ||
              (p2 == ColorToRGB(clBtnFace) && p1 == ColorToRGB(clBtnHighlight)));
}

}  // namespace
