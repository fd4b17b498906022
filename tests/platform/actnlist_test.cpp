// Actions: shortcut texts, links that keep menu items in step, execution through the list and
// through the keyboard of a form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/actnlist.h"
#include "platform/forms.h"
#include "platform/menus.h"

namespace {

TEST(ShortCuts, TextRoundTrip) {
  struct Case {
    uint16_t Key;
    TShiftState Shift;
    const char* Text;
  } cases[] = {
      {'Z', {ssCtrl}, "Ctrl+Z"},
      {'D', {ssCtrl}, "Ctrl+D"},
      {VK_F1 + 4, {ssShift}, "Shift+F5"},
      {VK_DELETE, {ssCtrl, ssAlt}, "Ctrl+Alt+Del"},
      {VK_INSERT, {}, "Ins"},
      {'7', {ssShift, ssCtrl}, "Shift+Ctrl+7"},
      {VK_ADD, {ssCtrl}, "Ctrl+Num +"},
  };
  for (const Case& c : cases) {
    TShortCut s = ShortCut(c.Key, c.Shift);
    EXPECT_EQ(ShortCutToText(s), c.Text);
    EXPECT_EQ(TextToShortCut(c.Text), s) << c.Text;
    uint16_t key;
    TShiftState shift;
    ShortCutToKey(s, key, shift);
    EXPECT_EQ(key, c.Key);
    EXPECT_EQ(shift.Bits(), c.Shift.Bits());
  }
  EXPECT_EQ(TextToShortCut("ctrl+z"), ShortCut('Z', {ssCtrl}));
  for (const char* bad : {"", "Ctrl+", "Hyper+Z", "F25", "Ctrl+Foo", "+"}) EXPECT_EQ(TextToShortCut(bad), 0) << bad;
  EXPECT_EQ(ShortCutToText(0), "");
}

TEST(Actions, MenuItemFollowsTheActionAndKeepsItsStateWhenTheActionGoes) {
  TComponent owner(nullptr);
  auto* list = new TActionList(&owner);
  auto* act = new TAction(&owner);
  act->SetActionList(list);
  act->SetCaption("Undo");
  act->SetShortCut(TextToShortCut("Ctrl+Z"));
  act->SetEnabled(false);

  TMainMenu menu(nullptr);
  auto* edit = new TMenuItem(nullptr);
  edit->SetCaption("&Edit");
  menu.Items()->Add(edit);
  auto* item = new TMenuItem(nullptr);
  edit->Add(item);
  item->SetAction(act);
  EXPECT_EQ(item->Caption(), "Undo");
  EXPECT_FALSE(item->Enabled());
  EXPECT_EQ(ShortCutToText(item->ShortCut()), "Ctrl+Z");

  int before = menu.ChangeCount();
  act->SetEnabled(true);
  act->SetChecked(true);
  act->SetVisible(false);
  act->SetCaption("Undo edit");
  EXPECT_TRUE(item->Enabled());
  EXPECT_TRUE(item->Checked());
  EXPECT_FALSE(item->Visible());
  EXPECT_EQ(item->Caption(), "Undo edit");
  EXPECT_GT(menu.ChangeCount(), before);  // the menu bar hears of it

  delete act;
  EXPECT_EQ(item->Action(), nullptr);
  EXPECT_EQ(list->ActionCount(), 0);
  EXPECT_EQ(item->Caption(), "Undo edit");
  item->Click();  // linked to nothing: harmless
}

TEST(Actions, OneHandlerServesSeveralActionsToldApartByTag) {
  TComponent owner(nullptr);
  auto* list = new TActionList(&owner);
  std::vector<intptr_t> tags;
  TNotifyEvent navigate = [&](TObject* Sender) { tags.push_back(static_cast<TAction*>(Sender)->Tag()); };
  const char* names[] = {"First", "Prior", "Next", "Last"};
  std::vector<TAction*> acts;
  for (int i = 0; i < 4; ++i) {
    auto* a = new TAction(&owner);
    a->SetActionList(list);
    a->SetCaption(names[i]);
    a->SetTag(i + 1);
    a->OnExecute = navigate;
    acts.push_back(a);
  }
  auto* item = new TMenuItem(&owner);
  item->SetAction(acts[2]);
  item->Click();
  EXPECT_TRUE(acts[3]->Execute());
  acts[0]->SetEnabled(false);
  EXPECT_FALSE(acts[0]->Execute());
  item->SetEnabled(false);  // a disabled item does not run its action
  item->Click();
  EXPECT_EQ(tags, (std::vector<intptr_t>{3, 4}));

  // The list's OnExecute comes first and may take the call.
  list->OnExecute = [&](TAction* A, bool& Handled) { Handled = A->Tag() == 2; };
  EXPECT_TRUE(acts[1]->Execute());
  EXPECT_TRUE(acts[2]->Execute());
  EXPECT_EQ(tags, (std::vector<intptr_t>{3, 4, 3}));
}

TEST(Actions, UpdateRunsBeforeExecuteAndGroupsCheckLikeRadioButtons) {
  TComponent owner(nullptr);
  auto* list = new TActionList(&owner);
  std::vector<TAction*> tools;
  for (int i = 0; i < 3; ++i) {
    auto* a = new TAction(&owner);
    a->SetActionList(list);
    a->SetGroupIndex(1);
    a->SetAutoCheck(true);
    tools.push_back(a);
  }
  bool allowed = false;
  int runs = 0;
  tools[0]->OnUpdate = [&](TObject* S) { static_cast<TAction*>(S)->SetEnabled(allowed); };
  tools[0]->OnExecute = [&](TObject*) { ++runs; };
  EXPECT_FALSE(tools[0]->Execute());
  EXPECT_FALSE(tools[0]->Checked());
  allowed = true;
  EXPECT_TRUE(tools[0]->Execute());
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(tools[0]->Checked());
  tools[2]->SetChecked(true);
  EXPECT_FALSE(tools[0]->Checked());
  EXPECT_TRUE(tools[2]->Checked());
}

TEST(Actions, ShortCutPressedOnTheFormRunsTheAction) {
  TForm form(nullptr);
  auto* list = new TActionList(&form);
  auto* deleting = new TAction(&form);
  auto* next = new TAction(&form);
  for (TAction* a : {deleting, next}) {
    a->SetActionList(list);
    a->SetShortCut(TextToShortCut("Ctrl+D"));
  }
  std::vector<std::string> ran;
  deleting->OnExecute = [&](TObject*) { ran.push_back("deleting"); };
  next->OnExecute = [&](TObject*) { ran.push_back("next"); };
  char typed = 0;
  form.OnKeyPress = [&](TObject*, char& K) { typed = K; };

  SendInput(&form, ikKeyDown, {ssCtrl}, 0, 0, 'D');
  deleting->SetEnabled(false);  // the shared key goes to the enabled one
  SendInput(&form, ikKeyDown, {ssCtrl}, 0, 0, 'D');
  next->SetVisible(false);
  SendInput(&form, ikKeyDown, {ssCtrl}, 0, 0, 'D');
  EXPECT_EQ(ran, (std::vector<std::string>{"deleting", "next"}));
  SendInput(&form, ikKeyDown, {}, 0, 0, 'D');  // no modifier: an ordinary key
  EXPECT_EQ(typed, 'd');
  EXPECT_EQ(ran.size(), 2u);
}

TEST(Actions, ShortCutOfAMenuItemRunsItsClickAndHandlerErrorsAreReported) {
  TForm form(nullptr);
  auto* menu = new TMainMenu(&form);
  EXPECT_EQ(form.Menu(), menu);
  auto* file = new TMenuItem(&form);
  file->SetCaption("&File");
  menu->Items()->Add(file);
  auto* save = new TMenuItem(&form);
  save->SetCaption("&Save");
  save->SetShortCut(TextToShortCut("Ctrl+S"));
  file->Add(save);
  int clicks = 0;
  save->OnClick = [&](TObject*) {
    ++clicks;
    throw EInOutError("Disk full");
  };
  std::vector<std::string> shown;
  Application->OnException = [&](TObject*, const Exception& E) { shown.push_back(E.Message()); };
  SendInput(&form, ikKeyDown, {ssCtrl}, 0, 0, 'S');
  Application->OnException = nullptr;
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(shown, (std::vector<std::string>{"Disk full"}));

  // An item whose action is disabled until its update runs still answers its shortcut.
  auto* list = new TActionList(&form);
  auto* undo = new TAction(&form);
  undo->SetActionList(list);
  undo->SetShortCut(TextToShortCut("Ctrl+Z"));
  undo->SetEnabled(false);
  int undone = 0;
  undo->OnUpdate = [&](TObject*) { undo->SetEnabled(true); };
  undo->OnExecute = [&](TObject*) { ++undone; };
  auto* undoItem = new TMenuItem(&form);
  undoItem->SetAction(undo);
  file->Add(undoItem);
  EXPECT_FALSE(undoItem->Enabled());
  EXPECT_TRUE(menu->IsShortCut('Z', {ssCtrl}));
  EXPECT_EQ(undone, 1);
  file->SetEnabled(false);  // a disabled sub-menu hides its items' shortcuts
  EXPECT_FALSE(menu->IsShortCut('Z', {ssCtrl}));
  delete menu;
  EXPECT_EQ(form.Menu(), nullptr);
}

TEST(Actions, IdleUpdatesTheActionsOfShownForms) {
  TForm form(nullptr);
  auto* list = new TActionList(&form);
  auto* undo = new TAction(&form);
  undo->SetActionList(list);
  bool canUndo = false;
  int updates = 0;
  undo->OnUpdate = [&](TObject*) {
    ++updates;
    undo->SetEnabled(canUndo);
  };
  Application->Idle();
  EXPECT_EQ(updates, 0);  // hidden form: left alone
  form.Show();
  canUndo = true;
  Application->Idle();
  EXPECT_TRUE(undo->Enabled());
  canUndo = false;
  Application->Idle();
  EXPECT_FALSE(undo->Enabled());
  form.Hide();
}

}  // namespace
