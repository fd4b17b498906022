// The edit with a button: presses by mouse and by ClickKey, read-only and DirectInput, glyph kinds.
#include "controls/vx_combo_edit.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/extctrls.h"
#include "platform/forms.h"

namespace {

struct Fixture {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TCustomComboEdit* Edit = nullptr;
  int Clicks = 0;
  Fixture() {
    Form->SetBounds(0, 0, 300, 100);
    Edit = new TCustomComboEdit(Form.get());
    Edit->SetParent(Form.get());
    Edit->SetBounds(10, 10, 150, 21);
    Edit->OnButtonClick = [this](TObject*) { ++Clicks; };
    Form->Show();
  }
  void ClickButton() {
    SendInput(Edit->Button(), ikMouseDown, {ssLeft}, 5, 5, mbLeft);
    SendInput(Edit->Button(), ikMouseUp, {}, 5, 5, mbLeft);
  }
};

void TypeA(TControl* C) {
  SendInput(C, ikKeyDown, {}, 0, 0, 'A');
  SendInput(C, ikKeyUp, {}, 0, 0, 'A');
}

TEST(VxComboEdit, ButtonSitsAtTheRightEdgeAndPressesByMouseAndClickKey) {
  Fixture f;
  EXPECT_EQ(f.Edit->Height(), 21);
  EXPECT_EQ(f.Edit->Button()->Left(), 150 - 21);
  EXPECT_EQ(f.Edit->Button()->Width(), 21);
  f.ClickButton();
  EXPECT_EQ(f.Clicks, 1);
  SendInput(f.Edit, ikKeyDown, {ssAlt}, 0, 0, VK_DOWN);
  EXPECT_EQ(f.Clicks, 2);
  SendInput(f.Edit, ikKeyDown, {}, 0, 0, VK_DOWN);  // plain Down is no click
  EXPECT_EQ(f.Clicks, 2);
  f.Edit->SetClickKey(ShortCut(VK_F1, {}));
  SendInput(f.Edit, ikKeyDown, {}, 0, 0, VK_F1);
  EXPECT_EQ(f.Clicks, 3);
}

TEST(VxComboEdit, ReadOnlyStopsTheButtonUnlessAlwaysEnabled) {
  Fixture f;
  f.Edit->SetReadOnly(true);
  f.ClickButton();
  SendInput(f.Edit, ikKeyDown, {ssAlt}, 0, 0, VK_DOWN);
  EXPECT_EQ(f.Clicks, 0);
  f.Edit->SetAlwaysEnableButton(true);
  f.ClickButton();
  EXPECT_EQ(f.Clicks, 1);
}

TEST(VxComboEdit, WithoutDirectInputTypingChangesNothingButTheButtonWorks) {
  Fixture f;
  f.Edit->SetText("abc");
  f.Edit->SetDirectInput(false);
  f.Edit->SetFocus();
  TypeA(f.Edit);
  EXPECT_EQ(f.Edit->Text(), "abc");
  EXPECT_FALSE(f.Edit->ReadOnly());  // only typing is off
  f.ClickButton();
  SendInput(f.Edit, ikKeyDown, {ssAlt}, 0, 0, VK_DOWN);
  EXPECT_EQ(f.Clicks, 2);
  f.Edit->DispatchEnter();  // entering does not select a text that cannot be typed over
  EXPECT_EQ(f.Edit->SelLength(), 0);
  f.Edit->SetDirectInput(true);
  f.Edit->DispatchEnter();
  EXPECT_EQ(f.Edit->SelLength(), 3);
  f.Edit->SetSelStart(3);
  TypeA(f.Edit);
  EXPECT_EQ(f.Edit->Text().size(), 4u);
}

TEST(VxComboEdit, NeverLowerThanTheTextAndCtrlKeysGoToTheForm) {
  Fixture f;
  f.Edit->SetHeight(4);
  EXPECT_EQ(f.Edit->Height(), f.Edit->MinHeight());
  EXPECT_GT(f.Edit->MinHeight(), 4 + 5);
  const int small = f.Edit->MinHeight();
  f.Edit->Font()->SetSize(f.Edit->Font()->Size() * 2);
  EXPECT_GT(f.Edit->Height(), small);  // a larger font makes the edit taller
  EXPECT_EQ(f.Edit->Height(), f.Edit->MinHeight());

  std::vector<uint16_t> formKeys;
  f.Form->OnKeyDown = [&](TObject*, uint16_t& Key, TShiftState) { formKeys.push_back(Key); };
  EXPECT_FALSE(f.Edit->DispatchKeyDown(VK_RETURN, {ssCtrl}));  // consumed
  f.Edit->DispatchKeyDown(VK_TAB, {ssCtrl});
  EXPECT_EQ(formKeys, (std::vector<uint16_t>{VK_RETURN, VK_TAB}));
}

TEST(VxComboEdit, ButtonFaceIsRaisedUpAndSunkenDown) {
  Fixture f;
  TEditButton* b = f.Edit->Button();
  const int h = b->Height(), w = b->Width();
  auto px = [&](int X, int Y) { return ControlSurfacePixel(b, X, Y); };
  b->Repaint();
  EXPECT_EQ(px(0, h / 2), ColorToRGB(clBtnFace));       // the face-coloured line at x = 0
  EXPECT_EQ(px(1, h / 2), ColorToRGB(clBtnHighlight));  // the highlight at x = 1
  EXPECT_EQ(px(w - 1, h / 2), ColorToRGB(clBtnShadow));
  SendInput(b, ikMouseDown, {ssLeft}, 5, 5, mbLeft);
  b->Repaint();
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(px(0, h / 2), ColorToRGB(clBtnShadow));
  EXPECT_EQ(px(w - 1, h / 2), ColorToRGB(clBtnHighlight));
  SendInput(b, ikMouseUp, {}, 5, 5, mbLeft);
  EXPECT_FALSE(b->Down());
}

TEST(VxComboEdit, DisablingTheEditDisablesTheButton) {
  Fixture f;
  f.Edit->SetEnabled(false);
  EXPECT_FALSE(f.Edit->Button()->Enabled());
  f.ClickButton();
  EXPECT_EQ(f.Clicks, 0);
  f.Edit->SetEnabled(true);
  EXPECT_TRUE(f.Edit->Button()->Enabled());
}

TEST(VxComboEdit, EllipsisGlyphPlacesThreeDots) {
  struct Case {
    int ButtonWidth, Width;
    int Dots[3];
  };
  // gap = (w - 6) / 2 clamped to 1..3, first = (w - 6 - 2 gap) / 2
  const Case cases[] = {{21, 15, {1, 6, 11}}, {14, 8, {0, 3, 6}}, {16, 10, {0, 4, 8}}, {4, 1, {}}};
  for (const Case& c : cases) {
    auto bmp = CreateEllipsisGlyph(c.ButtonWidth);
    ASSERT_EQ(bmp->Width(), c.Width);
    EXPECT_EQ(bmp->Height(), 4);
    if (c.Width < 6) continue;
    int black = 0;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < c.Width; ++x) black += bmp->Canvas()->Pixels(x, y) == clBlack;
    EXPECT_EQ(black, 12) << c.ButtonWidth;
    for (int d : c.Dots) {
      EXPECT_EQ(bmp->Canvas()->Pixels(d, 1), clBlack) << c.ButtonWidth << " " << d;
      EXPECT_EQ(bmp->Canvas()->Pixels(d + 1, 2), clBlack);
      EXPECT_EQ(bmp->Canvas()->Pixels(d, 0), clWhite);
    }
  }
}

TEST(VxComboEdit, GlyphKindsSetTheButtonAndItsStoredWidth) {
  Fixture f;
  EXPECT_FALSE(f.Edit->IsButtonWidthStored());
  f.Edit->SetGlyphKind(gkEllipsis);
  ASSERT_NE(f.Edit->Glyph(), nullptr);
  EXPECT_EQ(f.Edit->Glyph()->Width(), 15);
  f.Edit->SetNumGlyphs(3);  // forced to one
  EXPECT_EQ(f.Edit->NumGlyphs(), 1);
  // The dots show on the button's face.
  f.Edit->Button()->Repaint();
  int black = 0;
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 21; ++x) black += ControlSurfacePixel(f.Edit->Button(), x, y) == clBlack;
  EXPECT_EQ(black, 12);
  f.Edit->SetGlyphKind(gkDropDown);
  EXPECT_EQ(f.Edit->ButtonWidth(), kDropDownButtonWidth);
  EXPECT_FALSE(f.Edit->IsButtonWidthStored());
  TBitmap custom(8, 8);
  f.Edit->SetGlyph(&custom);
  EXPECT_EQ(f.Edit->GlyphKind(), gkCustom);
  EXPECT_TRUE(f.Edit->IsButtonWidthStored());  // 17 is not the plain default of 21
  f.Edit->SetButtonWidth(500);                 // wider than the edit: refused
  EXPECT_EQ(f.Edit->ButtonWidth(), kDropDownButtonWidth);
  f.Edit->SetButtonWidth(0);
  EXPECT_FALSE(f.Edit->Button()->Visible());
}

// An edit whose popup is a panel; the panel's caption is the popup's value.
class PanelPopupEdit : public TCustomComboEdit {
public:
  explicit PanelPopupEdit(TComponent* Owner, TWinControl* Area) : TCustomComboEdit(Owner) {
    Panel = new TPanel(Owner);
    Panel->SetParent(Area);
    Panel->SetBounds(0, 0, 80, 60);
    Panel->Hide();
    SetPopup(Panel);
  }
  TPanel* Panel;
};

struct PopupFixture {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  PanelPopupEdit* Edit = nullptr;
  int Changes = 0;
  PopupFixture(int Left, int Top) {
    Form->SetClientWidth(300);
    Form->SetClientHeight(200);
    Edit = new PanelPopupEdit(Form.get(), Form.get());
    Edit->SetParent(Form.get());
    Edit->SetBounds(Left, Top, 150, 21);
    Edit->OnChange = [this](TObject*) { ++Changes; };
    Form->Show();
  }
  void ClickButton() {
    SendInput(Edit->Button(), ikMouseDown, {ssLeft}, 5, 5, mbLeft);
    SendInput(Edit->Button(), ikMouseUp, {}, 5, 5, mbLeft);
  }
};

TEST(VxComboEditPopup, ButtonDropsThePopupAndTakesItsValueBack) {
  PopupFixture f(100, 20);
  f.Edit->SetText("start");
  f.Changes = 0;
  f.ClickButton();
  ASSERT_TRUE(f.Edit->PopupVisible());
  EXPECT_TRUE(f.Edit->Panel->Visible());
  EXPECT_EQ(f.Edit->Panel->Caption(), "start");      // the popup gets the text
  EXPECT_EQ(f.Edit->Panel->Left(), 100 + 150 - 80);  // right edges line up
  EXPECT_EQ(f.Edit->Panel->Top(), 20 + 21);          // below the edit
  f.Edit->Panel->SetCaption("picked");
  f.ClickButton();  // a second press accepts
  EXPECT_FALSE(f.Edit->PopupVisible());
  EXPECT_FALSE(f.Edit->Panel->Visible());
  EXPECT_EQ(f.Edit->Text(), "picked");
  EXPECT_TRUE(f.Edit->Modified());
  EXPECT_EQ(f.Changes, 1);
}

TEST(VxComboEditPopup, EnterAcceptsEscapeDoesNot) {
  PopupFixture f(100, 20);
  f.Edit->SetText("start");
  for (uint16_t key : {VK_ESCAPE, VK_RETURN}) {
    f.ClickButton();
    f.Edit->Panel->SetCaption(key == VK_RETURN ? "enter" : "escape");
    SendInput(f.Edit, ikKeyDown, {}, 0, 0, key);
    EXPECT_FALSE(f.Edit->PopupVisible());
    EXPECT_EQ(f.Edit->Text(), key == VK_RETURN ? "enter" : "start");
  }
}

TEST(VxComboEditPopup, PlacementStaysInsideTheArea) {
  struct Case {
    int Left, Top;
    TPopupAlign Align;
    int X, Y;
  };
  const Case cases[] = {
      {100, 170, epaRight, 120, 110},  // no room below: above the edit
      {0, 20, epaRight, 0, 41},        // would leave on the left: left edges line up
      {250, 20, epaLeft, 220, 41},     // would leave on the right: right-aligned, then kept inside
      {10, 20, epaLeft, 10, 41},
  };
  for (const Case& c : cases) {
    PopupFixture f(c.Left, c.Top);
    f.Edit->SetBounds(c.Left, c.Top, c.Left == 0 ? 40 : 100, 21);
    f.Edit->SetPopupAlign(c.Align);
    f.ClickButton();
    EXPECT_EQ(f.Edit->Panel->Left(), c.X) << c.Left << "," << c.Top;
    EXPECT_EQ(f.Edit->Panel->Top(), c.Y) << c.Left << "," << c.Top;
  }
}

TEST(VxComboEditPopup, ReadOnlyEditDoesNotDrop) {
  PopupFixture f(100, 20);
  f.Edit->SetReadOnly(true);
  f.Edit->SetAlwaysEnableButton(true);
  f.ClickButton();
  EXPECT_FALSE(f.Edit->PopupVisible());
}

}  // namespace
