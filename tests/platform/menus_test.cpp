// Menus: the item tree, items linked to actions, radio items, captions with accelerators and pop-up menus.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/actnlist.h"
#include "platform/forms.h"
#include "platform/menus.h"

namespace {

TMenuItem* NewItem(TMenuItem* Parent, const std::string& Caption) {
  auto* it = new TMenuItem(nullptr);
  it->SetCaption(Caption);
  Parent->Add(it);
  return it;
}

TEST(Menus, TreeEditingAndErrors) {
  TMainMenu menu(nullptr);
  TMenuItem* root = menu.Items();
  TMenuItem* file = NewItem(root, "&Files");
  TMenuItem* help = NewItem(root, "&Help");
  auto* edit = new TMenuItem(nullptr);
  edit->SetCaption("&Edit");
  root->Insert(1, edit);
  EXPECT_EQ(root->Count(), 3);
  EXPECT_EQ(root->IndexOf(edit), 1);
  EXPECT_EQ(help->MenuIndex(), 2);
  EXPECT_EQ(root->Find("edit"), edit);
  EXPECT_EQ(root->Find("Files"), file);
  EXPECT_EQ(root->Find("Window"), nullptr);
  EXPECT_EQ(edit->GetParentMenu(), &menu);

  EXPECT_THROW(root->Add(edit), EMenuError);  // already placed
  EXPECT_THROW(edit->Add(root), EMenuError);  // would hold its own parent
  EXPECT_THROW(root->Items(3), EMenuError);
  EXPECT_THROW(root->Insert(9, new TMenuItem(&menu)), EMenuError);

  // A sub-item freed on its own leaves its parent; deleting a parent frees its sub-items.
  TMenuItem* open = NewItem(file, "&Open site...");
  NewItem(file, "-");
  delete open;
  EXPECT_EQ(file->Count(), 1);
  EXPECT_TRUE(file->Items(0)->IsLine());
  root->Delete(0);
  EXPECT_EQ(root->Count(), 2);
  EXPECT_EQ(root->Items(0), edit);
}

TEST(Menus, OwnerFreesItemsThatAreAlsoInATree) {
  // Items made with the form as owner and placed in its menu: either side may free first.
  auto* form = new TForm(nullptr);
  auto* menu = new TMainMenu(form);
  auto* window = new TMenuItem(form);
  menu->Items()->Add(window);
  auto* cascade = new TMenuItem(form);
  window->Add(cascade);
  delete form;  // no double free, no dangling parent
  SUCCEED();
}

// The client area starts below the menu bar: controls placed by position and aligned ones are
// measured from there and show below the bar, and the area grows back when the menu goes.
TEST(Menus, TheClientAreaStartsBelowTheMenuBar) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  form.SetColor(clRed);
  auto make = [&](TColor Color) {
    auto* c = new TCustomControl(&form);
    c->SetParent(&form);
    c->SetColor(Color);
    return c;
  };
  auto* placed = make(clLime);
  placed->SetBounds(0, 0, 60, 20);
  auto* bottom = make(clBlue);
  bottom->SetHeight(50);
  bottom->SetAlign(alBottom);
  auto* client = make(clYellow);
  client->SetAlign(alClient);
  client->SetVisible(false);
  auto* menu = new TMainMenu(&form);
  NewItem(menu->Items(), "&Files");
  EXPECT_EQ(form.ClientHeight(), 300);  // nothing on screen yet
  form.Show();
  ASSERT_NE(menu->MenuBarHandle(), nullptr);
  const int bar = 300 - form.ClientHeight();
  EXPECT_GT(bar, 10);
  EXPECT_EQ(placed->Top(), 0);
  EXPECT_EQ(bottom->Top(), form.ClientHeight() - 50);
  EXPECT_NE(ControlWindowPixel(&form, 10, 2), clLime);  // the bar
  EXPECT_EQ(ControlWindowPixel(&form, 10, bar + 1), clLime);
  EXPECT_EQ(ControlWindowPixel(&form, 10, bar + 19), clLime);
  EXPECT_EQ(ControlWindowPixel(&form, 10, bar + 21), clRed);
  EXPECT_EQ(ControlWindowPixel(&form, 10, 299), clBlue);
  EXPECT_EQ(ControlWindowPixel(&form, 10, 250 - 1), clRed);
  // The form's own canvas and mouse work in the client area too.
  EXPECT_EQ(form.ScreenToClient(placed->ClientToScreen(TPoint(0, 0))).Y, 0);
  client->SetVisible(true);
  EXPECT_EQ(client->Top(), 0);
  EXPECT_EQ(client->Height(), form.ClientHeight() - 50);
  delete menu;  // the bar goes with it and the client area grows back
  EXPECT_EQ(form.ClientHeight(), 300);
  EXPECT_EQ(client->Top(), 0);
  EXPECT_EQ(client->Height(), 250);
  EXPECT_EQ(ControlWindowPixel(&form, 10, 2), clYellow);
  form.Hide();
}

// The shown bar follows its items' check marks and enabled states, set on the items or through
// their actions, before and after the bar is built again for a new caption.
TEST(Menus, TheShownBarFollowsCheckMarksAndEnabledStates) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* menu = new TMainMenu(&form);
  TMenuItem* edit = NewItem(menu->Items(), "&Edit");
  TMenuItem* undo = NewItem(edit, "Undo");
  TMenuItem* red = NewItem(edit, "Red");
  TMenuItem* blue = NewItem(edit, "Blue");
  for (TMenuItem* it : {red, blue}) {
    it->SetRadioItem(true);
    it->SetGroupIndex(1);
  }
  TActionList list(nullptr);
  auto* act = new TAction(&list);
  act->SetCaption("Undo");
  undo->SetAction(act);
  form.Show();
  Application->ProcessMessages();
  EXPECT_EQ(menu->ShownItemState(undo), 1);  // enabled, not checked

  const int changes = menu->ChangeCount();
  act->SetEnabled(false);
  EXPECT_EQ(menu->ShownItemState(undo), 0);
  act->SetEnabled(true);
  act->SetChecked(true);
  EXPECT_EQ(menu->ShownItemState(undo), 3);
  EXPECT_GT(menu->ChangeCount(), changes);
  red->SetChecked(true);
  blue->SetChecked(true);  // takes the mark from its group
  EXPECT_EQ(menu->ShownItemState(red), 1);
  EXPECT_EQ(menu->ShownItemState(blue), 3);

  act->SetCaption("Undo edit");  // the bar is built again
  act->SetEnabled(false);
  Application->ProcessMessages();
  EXPECT_EQ(menu->ShownItemState(undo), 2);
  EXPECT_EQ(menu->ShownItemState(blue), 3);
  act->SetEnabled(true);
  EXPECT_EQ(menu->ShownItemState(undo), 3);
  undo->SetVisible(false);
  Application->ProcessMessages();
  EXPECT_EQ(menu->ShownItemState(undo), -1);
  form.Hide();
}

TEST(Menus, TheMenuBarFollowsTheFormsWidth) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  form.SetColor(clRed);
  auto* menu = new TMainMenu(&form);
  NewItem(menu->Items(), "&Files");
  form.Show();
  TColor bar = ControlWindowPixel(&form, 380, 3);
  ASSERT_NE(bar, clRed);
  for (int width : {700, 250, 600}) {
    SendWindowGeometry(&form, 0, 0, width, 300);
    EXPECT_EQ(ControlWindowPixel(&form, width - 10, 3), bar) << width;
  }
  EXPECT_EQ(ControlWindowPixel(&form, 590, 40), clRed);  // the form below the bar
  form.Hide();
}

TEST(Menus, RadioItemsAndAutoCheck) {
  TPopupMenu menu(nullptr);
  TMenuItem* english = NewItem(menu.Items(), "English");
  TMenuItem* russian = NewItem(menu.Items(), "Russian");
  TMenuItem* other = NewItem(menu.Items(), "Other group");
  for (TMenuItem* m : {english, russian, other}) m->SetRadioItem(true);
  other->SetGroupIndex(2);
  other->SetChecked(true);
  english->SetChecked(true);
  russian->SetChecked(true);
  EXPECT_FALSE(english->Checked());
  EXPECT_TRUE(russian->Checked());
  EXPECT_TRUE(other->Checked());

  TMenuItem* toggle = NewItem(menu.Items(), "Toggle");
  toggle->SetAutoCheck(true);
  toggle->Click();
  EXPECT_TRUE(toggle->Checked());
  toggle->Click();
  EXPECT_FALSE(toggle->Checked());
}

// An item takes its action's state when linked and follows its changes, except a property the
// item was given itself: a hidden entry of a visible action stays hidden when the action is
// enabled, until the action itself is hidden and shown again.
TEST(Menus, LinkedItemsFollowTheActionButKeepWhatWasSetOnThem) {
  TActionList list(nullptr);
  TAction action(nullptr);
  action.SetActionList(&list);
  action.SetCaption("Complex Editing");
  action.SetEnabled(false);
  TPopupMenu menu(nullptr);
  TMenuItem* item = NewItem(menu.Items(), "");
  item->SetAction(&action);
  EXPECT_EQ(item->Caption(), "Complex Editing");
  EXPECT_FALSE(item->Enabled());
  item->SetVisible(false);
  action.SetEnabled(true);
  EXPECT_TRUE(item->Enabled());
  EXPECT_FALSE(item->Visible()) << "hidden on the item itself";
  action.SetCaption("Complex");
  EXPECT_EQ(item->Caption(), "Complex");
  action.SetVisible(false);
  action.SetVisible(true);
  EXPECT_TRUE(item->Visible()) << "the action took the item's value, so it leads again";
  TMenuItem* other = NewItem(menu.Items(), "");
  other->SetVisible(false);
  other->SetAction(&action);  // linking takes everything
  EXPECT_TRUE(other->Visible());
}

TEST(Menus, HotkeysInCaptions) {
  EXPECT_EQ(StripHotkey("C&lose All"), "Close All");
  EXPECT_EQ(StripHotkey("Save && &Exit"), "Save & Exit");
  EXPECT_EQ(GetHotkey("Tile &Horizontally"), 'H');
  EXPECT_EQ(GetHotkey("A && B"), 0);
  EXPECT_EQ(GetHotkey("trailing&"), 0);
}

// Entries without a hotkey of their own get a free one: the first letter, else a later word's
// first letter, else any; the entries' own hotkeys are kept and taken first.
TEST(Menus, EntriesWithoutHotkeysGetFreeOnes) {
  using V = std::vector<std::string>;
  const struct {
    V In, Out;
  } cases[] = {
      {{"Files", "Edit", "Show", "Reference", "Processing", "Language", "Window", "Help"},
       {"&Files", "&Edit", "&Show", "&Reference", "&Processing", "&Language", "&Window", "&Help"}},
      {{"Maximize Special", "Cascade Special", "Tile &Horizontally", "&Tile Vertically", "&Cascade", "C&lose All"},
       {"&Maximize Special", "Cascade &Special", "Tile &Horizontally", "&Tile Vertically", "&Cascade", "C&lose All"}},
      {{"Local E", "Local H", "Remote E", "Remote H"}, {"&Local E", "Local &H", "&Remote E", "R&emote H"}},
      {{"-", "A && B", "!!", "ab", "ab", "ab"}, {"-", "&A && B", "!!", "a&b", "ab", "ab"}},
      {{"Открыть", "Отмена"}, {"&Открыть", "О&тмена"}},
  };
  for (const auto& c : cases) EXPECT_EQ(AutoHotkeyCaptions(c.In), c.Out) << c.In[0];
}

TEST(Menus, PopupRunsOnPopupAndRightClickOpensAControlsMenu) {
  TForm form(nullptr);
  auto* pad = new TCustomControl(&form);
  pad->SetParent(&form);
  pad->SetBounds(10, 10, 100, 50);
  auto* popup = new TPopupMenu(&form);
  TMenuItem* show = NewItem(popup->Items(), "Show");
  std::vector<std::string> log;
  popup->OnPopup = [&](TObject* S) {
    log.push_back("popup");
    // The handler may still change the items before they show.
    show->SetChecked(static_cast<TPopupMenu*>(S)->PopupComponent() == pad);
  };
  popup->Popup(100, 100);
  EXPECT_EQ(log.size(), 1u);
  EXPECT_NE(popup->MenuHandle(), nullptr);
  EXPECT_FALSE(show->Checked());

  SetControlPopupMenu(pad, popup);
  EXPECT_EQ(ControlPopupMenu(pad), popup);
  SendInput(pad, ikMouseDown, {}, 5, 5, mbRight);
  SendInput(pad, ikMouseUp, {}, 5, 5, mbRight);
  EXPECT_EQ(log.size(), 2u);
  EXPECT_TRUE(show->Checked());
  SendInput(pad, ikMouseUp, {}, 5, 5, mbLeft);  // only the right button
  popup->SetAutoPopup(false);
  SendInput(pad, ikMouseUp, {}, 5, 5, mbRight);
  EXPECT_EQ(log.size(), 2u);

  // A freed control drops out of the table.
  popup->SetAutoPopup(true);
  delete pad;
  auto* again = new TCustomControl(&form);
  EXPECT_EQ(ControlPopupMenu(again), nullptr);
}

}  // namespace
