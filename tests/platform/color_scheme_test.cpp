// One look: the system colours come from the installed scheme, which native widgets share; a
// disabled control draws grey text whether it draws itself or not.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/forms.h"
#include "platform/graphics.h"
#include "platform/stdctrls.h"

namespace {

TColorScheme DarkScheme() {
  TColorScheme s = ClassicColorScheme();
  s.Window = RGB(30, 30, 34);
  s.WindowText = RGB(230, 230, 230);
  s.Face = RGB(50, 52, 56);
  s.FaceText = RGB(240, 240, 240);
  s.Highlight = RGB(200, 120, 20);
  s.HighlightText = RGB(10, 10, 10);
  s.GrayText = RGB(110, 110, 110);
  s.Light = RGB(90, 90, 90);
  s.Midlight = RGB(70, 70, 70);
  s.Mid = RGB(40, 40, 40);
  s.Shadow = RGB(20, 20, 20);
  s.DarkShadow = RGB(0, 0, 0);
  return s;
}

// Installs a scheme for one test and puts the classic one back.
class ColorScheme : public ::testing::Test {
protected:
  void SetUp() override { SetColorScheme(DarkScheme()); }
  void TearDown() override { SetColorScheme(ClassicColorScheme()); }
};

bool Near(TColor A, TColor B, int Tolerance) {
  return std::abs(GetRValue(A) - GetRValue(B)) <= Tolerance && std::abs(GetGValue(A) - GetGValue(B)) <= Tolerance &&
         std::abs(GetBValue(A) - GetBValue(B)) <= Tolerance;
}

// Pixels of a control near a colour.
int CountNear(TControl* C, TColor Want, int Tolerance) {
  int n = 0;
  for (int y = 0; y < C->Height(); ++y)
    for (int x = 0; x < C->Width(); ++x)
      if (Near(ControlSurfacePixel(C, x, y), Want, Tolerance)) ++n;
  return n;
}

}  // namespace

TEST(ColorSchemeClassic, HeadlessRunsStartWithTheClassicScheme) {
  TButton probe(nullptr);  // makes the application
  probe.HandleNeeded();
  EXPECT_EQ(ColorToRGB(clBtnFace), RGB(192, 192, 192));
  EXPECT_EQ(ColorToRGB(clHighlight), RGB(0, 0, 128));
  TColorScheme now = DesktopColorScheme();  // the widgets' palette agrees
  TColorScheme classic = ClassicColorScheme();
  EXPECT_EQ(now.Face, classic.Face);
  EXPECT_EQ(now.Highlight, classic.Highlight);
  EXPECT_EQ(now.Window, classic.Window);
  EXPECT_EQ(now.GrayText, classic.GrayText);
}

TEST_F(ColorScheme, SystemColoursSelfDrawnAndNativePartsFollowTheScheme) {
  const TColorScheme s = DarkScheme();
  struct Case {
    TColor System, Want;
  };
  for (const Case& c :
       {Case{clBtnFace, s.Face}, Case{clWindow, s.Window}, Case{clWindowText, s.WindowText},
        Case{clHighlight, s.Highlight}, Case{clHighlightText, s.HighlightText}, Case{clGrayText, s.GrayText},
        Case{clBtnShadow, s.Shadow}, Case{clBtnHighlight, s.Light}, Case{clMenu, s.Face}, Case{clBtnText, s.FaceText}})
    EXPECT_EQ(ColorToRGB(c.System), c.Want) << std::hex << c.System;
  EXPECT_EQ(DesktopColorScheme().Highlight, s.Highlight);  // the native widgets' palette

  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* list = new TListBox(&form);
  list->SetParent(&form);
  list->SetBounds(10, 10, 100, 80);
  list->Items()->Add("one");
  list->Items()->Add("two");
  list->SetItemIndex(1);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  edit->SetBounds(120, 10, 120, 24);
  auto* button = new TButton(&form);
  button->SetParent(&form);
  button->SetBounds(120, 50, 90, 30);
  button->SetCaption("Apply");
  form.Show();
  list->Update();
  EXPECT_EQ(ControlSurfacePixel(list, 90, list->ItemRect(1).Top + 8), s.Highlight);
  EXPECT_EQ(ControlSurfacePixel(list, 90, list->ItemRect(0).Top + 8), s.Window);
  EXPECT_TRUE(Near(ControlSurfacePixel(edit, 60, 12), s.Window, 8));                 // the edit's ground
  EXPECT_GT(CountNear(button, s.Face, 16), button->Width() * button->Height() / 3);  // the button's face
}

TEST_F(ColorScheme, DisabledControlsDrawGreyText) {
  const TColorScheme s = DarkScheme();
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* button = new TButton(&form);
  button->SetParent(&form);
  button->SetBounds(10, 10, 120, 30);
  button->SetCaption("WWWWWW");
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetBounds(10, 60, 120, 20);
  label->SetCaption("WWWWWW");
  auto* check = new TCheckBox(&form);
  check->SetParent(&form);
  check->SetBounds(10, 90, 120, 20);
  check->SetCaption("WWWWWW");
  form.Show();
  for (TControl* c : {static_cast<TControl*>(button), static_cast<TControl*>(label), static_cast<TControl*>(check)}) {
    c->Update();
    int bright = CountNear(c, s.FaceText, 40);
    EXPECT_GT(bright, 10) << c->ClassName();  // enabled: light text on the dark face
    c->SetEnabled(false);
    c->Update();
    EXPECT_EQ(CountNear(c, s.FaceText, 40), 0) << c->ClassName();
    EXPECT_GT(CountNear(c, s.GrayText, 20), 10) << c->ClassName();
  }
}
