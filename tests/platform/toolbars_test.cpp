// Tool bars, tool buttons linked to actions, the control bar's rows and the status bar.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/actnlist.h"
#include "platform/bitmap.h"
#include "platform/forms.h"
#include "platform/imglist.h"
#include "platform/menus.h"
#include "platform/toolbars.h"

namespace {

TToolButton* AddButton(TToolBar* Bar, TToolButtonStyle Style = tbsButton) {
  auto* b = new TToolButton(Bar);
  b->SetStyle(Style);
  b->SetParent(Bar);
  return b;
}

void Click(TControl* C, int X = 3, int Y = 3) {
  SendInput(C, ikMouseDown, {}, X, Y, mbLeft);
  SendInput(C, ikMouseUp, {}, X, Y, mbLeft);
}

TEST(ToolBars, ButtonsLaidOutInOrderWithSeparators) {
  TForm form(nullptr);
  auto* bar = new TToolBar(&form);
  bar->SetParent(&form);
  bar->SetButtonWidth(24);
  bar->SetButtonHeight(24);
  TToolButton* a = AddButton(bar);
  TToolButton* sep = AddButton(bar, tbsSeparator);
  TToolButton* b = AddButton(bar);
  EXPECT_EQ(bar->ButtonCount(), 3);
  EXPECT_EQ(bar->Buttons(2), b);
  EXPECT_THROW(bar->Buttons(3), EListError);
  EXPECT_EQ(a->Left(), 0);
  EXPECT_EQ(sep->Left(), 24);
  EXPECT_EQ(b->Left(), 32);
  EXPECT_EQ(b->Height(), 24);
  a->SetVisible(false);  // hidden buttons take no room
  EXPECT_EQ(b->Left(), 8);
  EXPECT_EQ(bar->ButtonsWidth(), 32);
}

TEST(ToolBars, ButtonFollowsItsActionAndRunsIt) {
  TForm form(nullptr);
  auto* list = new TActionList(&form);
  auto* deleting = new TAction(&form);
  auto* restoring = new TAction(&form);
  for (TAction* a : {deleting, restoring}) a->SetActionList(list);
  deleting->SetCaption("Deleting");
  deleting->SetHint("Delete points");
  deleting->SetImageIndex(4);
  // The handler toggles its own check and clears the other one's.
  deleting->OnExecute = [&](TObject*) {
    deleting->SetChecked(!deleting->Checked());
    if (deleting->Checked()) restoring->SetChecked(false);
  };
  auto* bar = new TToolBar(&form);
  bar->SetParent(&form);
  TToolButton* btn = AddButton(bar, tbsCheck);
  btn->SetAction(deleting);
  EXPECT_EQ(btn->Caption(), "Deleting");
  EXPECT_EQ(btn->Hint(), "Delete points");
  EXPECT_EQ(btn->ImageIndex(), 4);
  restoring->SetChecked(true);
  Click(btn);
  EXPECT_TRUE(deleting->Checked());
  EXPECT_TRUE(btn->Down());
  EXPECT_FALSE(restoring->Checked());
  Click(btn);
  EXPECT_FALSE(btn->Down());
  deleting->SetEnabled(false);
  EXPECT_FALSE(btn->Enabled());
  Click(btn);
  EXPECT_FALSE(deleting->Checked());
}

// Plain buttons bound to a group of checked actions (the program's tools) show exactly the
// actions' checks: after using each tool in turn, only the last one is down.
TEST(ToolBars, PlainButtonsShowTheirActionsCheck) {
  TForm form(nullptr);
  auto* list = new TActionList(&form);
  auto* bar = new TToolBar(&form);
  bar->SetParent(&form);
  std::vector<TAction*> tools;
  std::vector<TToolButton*> buttons;
  for (int i = 0; i < 4; ++i) {
    auto* a = new TAction(&form);
    a->SetActionList(list);
    tools.push_back(a);
  }
  for (TAction* a : tools) {
    a->OnExecute = [&tools](TObject* Sender) {
      for (TAction* t : tools) t->SetChecked(t == Sender);
    };
    TToolButton* b = AddButton(bar, tbsButton);
    b->SetAction(a);
    buttons.push_back(b);
  }
  for (TToolButton* b : buttons) Click(b);
  for (size_t i = 0; i < buttons.size(); ++i) EXPECT_EQ(buttons[i]->Down(), i + 1 == buttons.size()) << i;
  tools.back()->SetChecked(false);
  EXPECT_FALSE(buttons.back()->Down());
}

TEST(ToolBars, DownButtonDrawsAPressedFaceAndGroupedButtonsActAsRadio) {
  TForm form(nullptr);
  auto* bar = new TToolBar(&form);
  bar->SetParent(&form);
  std::vector<TToolButton*> tools;
  for (int i = 0; i < 3; ++i) {
    TToolButton* b = AddButton(bar, tbsCheck);
    b->SetGrouped(true);
    tools.push_back(b);
  }
  tools[0]->SetDown(true);
  tools[0]->Repaint();
  tools[1]->Repaint();
  TColor pressed = ControlSurfacePixel(tools[0], 10, 10);
  TColor plain = ControlSurfacePixel(tools[1], 10, 10);
  EXPECT_NE(pressed, plain);
  Click(tools[2]);
  EXPECT_FALSE(tools[0]->Down());
  EXPECT_TRUE(tools[2]->Down());
  Click(tools[2]);  // the last one down stays down
  EXPECT_TRUE(tools[2]->Down());
}

TEST(ToolBars, TheButtonUnderTheMouseIsDrawnRaisedUntilItLeaves) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 100);
  auto* bar = new TToolBar(&form);
  bar->SetParent(&form);
  TToolButton* hot = AddButton(bar);
  TToolButton* other = AddButton(bar);
  TToolButton* off = AddButton(bar);
  off->SetEnabled(false);
  form.Show();
  int r = hot->Width() - 1, b = hot->Height() - 1;
  TColor face = ControlWindowPixel(hot, 0, 0);
  EXPECT_EQ(ControlWindowPixel(hot, r, b), face);  // flat while the mouse is elsewhere
  SendInput(hot, ikEnter, {}, 5, 5);
  EXPECT_EQ(ControlWindowPixel(hot, 0, 0), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(ControlWindowPixel(hot, r, b), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ControlWindowPixel(other, 0, 0), face);
  SendInput(hot, ikLeave, {});
  SendInput(other, ikEnter, {}, 5, 5);
  EXPECT_EQ(ControlWindowPixel(hot, 0, 0), face);
  EXPECT_EQ(ControlWindowPixel(hot, r, b), face);
  EXPECT_EQ(ControlWindowPixel(other, 0, 0), ColorToRGB(clBtnHighlight));
  SendInput(other, ikLeave, {});
  SendInput(off, ikEnter, {}, 5, 5);  // a disabled button stays flat
  EXPECT_EQ(ControlWindowPixel(off, 0, 0), face);
  form.Hide();
}

TEST(ToolBars, ButtonsDrawTheirPictureFromTheBarsImageList) {
  TForm form(nullptr);
  auto* bar = new TToolBar(&form);
  bar->SetParent(&form);
  bar->SetButtonWidth(24);
  bar->SetButtonHeight(24);
  auto* images = new TImageList(&form);
  images->SetWidth(16);
  images->SetHeight(16);
  TBitmap strip;
  strip.SetSize(32, 16);
  strip.Canvas()->Brush()->SetColor(clRed);
  strip.Canvas()->FillRect(Rect(0, 0, 16, 16));
  strip.Canvas()->Brush()->SetColor(clBlue);
  strip.Canvas()->FillRect(Rect(16, 0, 32, 16));
  images->Add(&strip, nullptr);
  TToolButton* b = AddButton(bar);
  b->SetImageIndex(1);
  b->Repaint();
  EXPECT_NE(ControlSurfacePixel(b, 12, 12), clBlue);  // no list yet
  bar->SetImages(images);
  b->Repaint();
  EXPECT_EQ(ControlSurfacePixel(b, 12, 12), clBlue);
  EXPECT_EQ(ControlSurfacePixel(b, 1, 1), ControlSurfacePixel(bar, 30, 1));  // the bar's face around it
  b->SetImageIndex(0);
  b->Repaint();
  EXPECT_EQ(ControlSurfacePixel(b, 12, 12), clRed);
  b->SetEnabled(false);
  b->Repaint();
  EXPECT_NE(ControlSurfacePixel(b, 12, 12), clRed);  // grayed
  b->SetImageIndex(7);                               // past the list: nothing drawn, no error
  b->Repaint();
  delete images;
  EXPECT_EQ(bar->Images(), nullptr);
}

TEST(ToolBars, DropDownArrowPopsTheMenu) {
  TForm form(nullptr);
  auto* bar = new TToolBar(&form);
  bar->SetParent(&form);
  TToolButton* b = AddButton(bar, tbsDropDown);
  auto* menu = new TPopupMenu(&form);
  int popups = 0, clicks = 0;
  menu->OnPopup = [&](TObject*) { ++popups; };
  b->OnClick = [&](TObject*) { ++clicks; };
  b->SetDropdownMenu(menu);
  Click(b, b->Width() - 3);
  Click(b, 3);
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(menu->PopupComponent(), b);
  delete menu;
  EXPECT_EQ(b->DropdownMenu(), nullptr);
}

TEST(ControlBars, BarsInRowsByStoredTopAndLeft) {
  TForm form(nullptr);
  auto* dock = new TControlBar(&form);
  dock->SetParent(&form);
  dock->SetAutoSize(true);
  std::vector<TToolBar*> bars;
  for (int i = 0; i < 3; ++i) {
    auto* t = new TToolBar(&form);
    t->SetBounds(0, 0, 100, 26);
    t->SetParent(dock);
    bars.push_back(t);
  }
  // As restored from storage: two in the first row (second one first), one below.
  bars[0]->SetBounds(120, 0, 100, 26);
  bars[1]->SetBounds(0, 2, 100, 26);
  bars[2]->SetBounds(0, 30, 100, 26);
  dock->ArrangeBars();
  EXPECT_EQ(dock->RowCount(), 2);
  EXPECT_EQ(bars[1]->Left(), 0);
  EXPECT_EQ(bars[1]->Top(), 0);
  EXPECT_EQ(bars[0]->Left(), 120);
  EXPECT_EQ(bars[0]->Top(), 0);
  EXPECT_EQ(bars[2]->Top(), 26);
  EXPECT_EQ(dock->ClientHeight(), 52);
  // Overlapping places push along; a hidden bar frees its row.
  bars[0]->SetBounds(50, 0, 100, 26);
  dock->ArrangeBars();
  EXPECT_EQ(bars[0]->Left(), 100);
  bars[2]->SetVisible(false);
  EXPECT_EQ(dock->RowCount(), 1);
  EXPECT_EQ(dock->ClientHeight(), 26);
}

// A bar that does not fit in the dock's width goes down a line (the dock grows to hold it) and
// comes back up to its row when the dock is wide enough again.
TEST(ControlBars, BarsThatDoNotFitGoDownALineAndComeBack) {
  TForm form(nullptr);
  auto* dock = new TControlBar(&form);
  dock->SetParent(&form);
  dock->SetAutoSize(true);
  dock->SetBounds(0, 0, 400, 30);
  std::vector<TToolBar*> bars;
  for (int i = 0; i < 3; ++i) {
    auto* t = new TToolBar(&form);
    t->SetBounds(i * 100, 0, 100, 26);
    t->SetParent(dock);
    bars.push_back(t);
  }
  dock->ArrangeBars();
  ASSERT_EQ(dock->RowCount(), 1);
  dock->SetWidth(250);
  EXPECT_EQ(dock->RowCount(), 2);
  EXPECT_EQ(bars[2]->Left(), 0);
  EXPECT_EQ(bars[2]->Top(), 26);
  EXPECT_EQ(dock->ClientHeight(), 52);
  dock->SetWidth(150);  // one bar a line
  EXPECT_EQ(dock->RowCount(), 3);
  EXPECT_EQ(dock->ClientHeight(), 78);
  dock->SetWidth(400);
  EXPECT_EQ(dock->RowCount(), 1);
  EXPECT_EQ(bars[2]->Left(), 200);
  EXPECT_EQ(bars[2]->Top(), 0);
  EXPECT_EQ(dock->ClientHeight(), 26);
}

TEST(ControlBars, FloatingBarClosedByItsCloseBoxAndDockedAgain) {
  TForm form(nullptr);
  form.Show();
  auto* dock = new TControlBar(&form);
  dock->SetParent(&form);
  dock->SetAutoSize(true);
  auto* files = new TToolBar(&form);
  files->SetCaption("Files");
  files->SetParent(dock);
  AddButton(files);
  AddButton(files);
  auto* view = new TToolBar(&form);
  view->SetBounds(0, 40, 100, 26);
  view->SetParent(dock);
  dock->ArrangeBars();
  EXPECT_EQ(dock->RowCount(), 2);

  files->ManualFloat(Rect(300, 200, 310, 210));
  EXPECT_TRUE(files->Floating());
  EXPECT_EQ(files->Parent(), nullptr);
  EXPECT_EQ(files->Width(), files->ButtonsWidth());  // never narrower than its buttons
  EXPECT_EQ(dock->RowCount(), 1);
  EXPECT_EQ(view->Top(), 0);
  EXPECT_TRUE(files->Showing());

  // The close box hides the bar: a toggle action sees it unchecked on its next update.
  int closed = 0;
  files->OnClose = [&](TObject*) { ++closed; };
  files->DispatchClose();
  EXPECT_FALSE(files->Visible());
  EXPECT_FALSE(files->Showing());
  EXPECT_EQ(closed, 1);
  files->SetVisible(true);
  EXPECT_TRUE(files->Showing());

  files->ManualDock(dock);
  EXPECT_FALSE(files->Floating());
  EXPECT_EQ(files->Parent(), dock);
  EXPECT_EQ(dock->RowCount(), 2);
  form.Hide();
}

TEST(StatusBars, PanelsTextWidthsAndSimpleText) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 600, 200);
  auto* sb = new TStatusBar(&form);
  sb->SetParent(&form);
  sb->SetColor(clWhite);
  sb->Font()->SetColor(clBlack);
  for (int w : {100, 100, 100, 100, 100, 50}) sb->Panels()->Add()->SetWidth(w);
  EXPECT_EQ(sb->Top() + sb->Height(), form.ClientHeight());  // at the bottom
  EXPECT_EQ(sb->PanelRect(1), Rect(100, 0, 200, sb->Height()));
  EXPECT_EQ(sb->PanelRect(5).Right, sb->ClientWidth());  // the last takes the rest
  EXPECT_THROW(sb->Panels()->Items(6), EListError);

  auto inked = [&](const TRect& R) {
    sb->Repaint();
    int n = 0;
    for (int x = R.Left + 1; x < R.Right - 2; ++x)
      for (int y = 1; y < R.Bottom - 1; ++y)
        if (ControlSurfacePixel(sb, x, y) != clWhite) ++n;
    return n;
  };
  EXPECT_EQ(inked(sb->PanelRect(1)), 0);
  sb->Panels()->Items(1)->SetText("f=12");
  EXPECT_GT(inked(sb->PanelRect(1)), 0);
  EXPECT_EQ(inked(sb->PanelRect(2)), 0);

  sb->SetSimpleText("Loading");
  sb->SetSimplePanel(true);  // one text over the whole bar, panels kept
  EXPECT_GT(inked(Rect(0, 0, 100, sb->Height())), 0);
  EXPECT_EQ(inked(sb->PanelRect(1)), 0);  // the panel texts are not drawn
  EXPECT_EQ(sb->Panels()->Count(), 6);
}

}  // namespace
