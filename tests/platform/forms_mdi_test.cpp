// Forms: MDI children in a frame (arrangement, activation, window menu, closing), the event order
// of closing, modal results and placement, and where the keyboard goes as windows come and go.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/actnlist.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/stdactns.h"
#include "platform/stdctrls.h"

namespace {

TMenuItem* NewItem(TMenuItem* Parent, const std::string& Caption) {
  auto* it = new TMenuItem(nullptr);
  it->SetCaption(Caption);
  Parent->Add(it);
  return it;
}

// A frame that is the program's main form for the test's duration.
struct FrameFixture : ::testing::Test {
  TForm* Frame = nullptr;
  std::vector<std::string> Log;
  void SetUp() override {
    Frame = new TForm(nullptr);
    Frame->SetFormStyle(fsMDIForm);
    Frame->SetBounds(0, 0, 600, 400);
    Application->SetMainForm(Frame);
    Frame->Show();
  }
  void TearDown() override {
    Screen->OnActiveFormChange = nullptr;
    while (Frame->MDIChildCount() > 0) delete Frame->MDIChildren(0);
    delete Frame;
    Application->ProcessMessages();
  }
  TForm* Child(const std::string& Caption) {
    auto* c = new TForm(Application);
    c->SetFormStyle(fsMDIChild);
    c->SetCaption(Caption);
    c->SetBounds(0, 0, 200, 150);
    c->OnActivate = [this, Caption](TObject*) { Log.push_back("activate " + Caption); };
    c->OnDeactivate = [this, Caption](TObject*) { Log.push_back("deactivate " + Caption); };
    c->Show();
    return c;
  }
};

TEST_F(FrameFixture, ChildrenListedFrontToBackAndActivatedInTurn) {
  int changes = 0;
  Screen->OnActiveFormChange = [&](TObject*) { ++changes; };
  TForm* a = Child("A");
  TForm* b = Child("B");
  TForm* c = Child("C");
  EXPECT_EQ(Frame->MDIChildCount(), 3);
  EXPECT_EQ(Frame->ActiveMDIChild(), c);
  EXPECT_EQ(Frame->MDIChildren(2), a);
  EXPECT_THROW(Frame->MDIChildren(3), EListError);
  EXPECT_EQ(a->MDIChildCount(), 0);  // only a frame has children
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(Log, (std::vector<std::string>{"activate A", "deactivate A", "activate B", "deactivate B", "activate C"}));

  Log.clear();
  Frame->Next();  // C goes to the back, B comes forward
  EXPECT_EQ(Frame->ActiveMDIChild(), b);
  EXPECT_EQ(Frame->MDIChildren(2), c);
  Frame->Previous();  // the backmost (C) comes forward again
  EXPECT_EQ(Frame->ActiveMDIChild(), c);
  EXPECT_EQ(Log, (std::vector<std::string>{"deactivate C", "activate B", "deactivate B", "activate C"}));
  a->DispatchActivate(true);
  EXPECT_EQ(Frame->ActiveMDIChild(), a);
  EXPECT_FALSE(c->Active());
}

// A frame's menu bar is no part of its client area: child forms placed at its top show below
// the bar, and move up when the bar goes.
TEST_F(FrameFixture, ChildFormsStartBelowTheFramesMenuBar) {
  Frame->SetColor(clRed);
  auto* menu = new TMainMenu(Frame);
  auto* item = new TMenuItem(Frame);
  item->SetCaption("&Files");
  menu->Items()->Add(item);
  Frame->Hide();
  Frame->Show();
  const int bar = Frame->Height() - Frame->ClientHeight();
  ASSERT_GT(bar, 10);
  TForm* a = Child("A");
  a->SetColor(clLime);
  EXPECT_EQ(Frame->MDIClientRect().Top, 0);
  EXPECT_EQ(a->Top(), 0);
  Application->ProcessMessages();
  // The foot of the child's client area, in the frame's window, above the lower edge of its frame.
  auto foot = [&](int Bar) { return a->ClientOrigin().Y - Frame->ClientOrigin().Y + Bar + a->ClientHeight(); };
  EXPECT_NE(ControlWindowPixel(Frame, 100, bar - 3), clLime);  // the bar
  EXPECT_EQ(ControlWindowPixel(Frame, 100, foot(bar) - 3), clLime);
  EXPECT_EQ(ControlWindowPixel(Frame, 100, a->Height() + bar + 3), clRed);
  delete menu;
  EXPECT_EQ(ControlWindowPixel(Frame, 100, foot(0) - 3), clLime);
  EXPECT_EQ(ControlWindowPixel(Frame, 100, a->Height() + 3), clRed);
}

// Each child is a framed window: a caption bar above its client area, in the highlight colour
// while it is the active child; what the user does to the window reaches the form (its bounds,
// its alignment and its resize step, its state and its closing).
TEST_F(FrameFixture, ChildrenAreFramedWindowsTheUserWorks) {
  auto* menu = new TMainMenu(Frame);
  NewItem(NewItem(menu->Items(), "&Files"), "&Open");
  Frame->SetCaption("Frame");
  Frame->Hide();
  Frame->Show();
  TForm* a = Child("A");
  TForm* b = Child("B");
  auto* panel = new TCustomControl(b);
  panel->SetParent(b);
  panel->SetAlign(alClient);
  int resized = 0;
  b->OnResize = [&](TObject*) {
    ++resized;
    EXPECT_EQ(panel->Width(), b->ClientWidth()) << "aligned before the resize step runs";
  };
  Application->ProcessMessages();
  // The caption lies between the window's top and its client area.
  const int caption = b->ClientOrigin().Y - Frame->ClientOrigin().Y - b->Top();
  ASSERT_GT(caption, 10);
  EXPECT_LT(b->ClientWidth(), b->Width());
  const int bar = Frame->Height() - Frame->ClientHeight();
  auto captionPixel = [&](TForm* F) {
    return ControlWindowPixel(Frame, F->Left() + 100, bar + F->Top() + caption / 2);
  };
  Frame->Cascade();  // both captions show
  Application->ProcessMessages();
  EXPECT_EQ(captionPixel(b), ColorToRGB(clHighlight));
  EXPECT_NE(captionPixel(a), ColorToRGB(clHighlight));

  resized = 0;
  SendMDIChildBounds(b, Rect(40, 30, 340, 230));
  EXPECT_EQ(b->BoundsRect(), Rect(40, 30, 340, 230));
  EXPECT_EQ(resized, 1);
  EXPECT_EQ(panel->Height(), b->ClientHeight());

  ClickMDICaptionButton(b, cbMaximize);
  EXPECT_EQ(b->WindowState(), wsMaximized);
  EXPECT_EQ(b->BoundsRect(), Frame->MDIClientRect());
  // Its caption merges into the frame's, its client area takes the whole of the frame's.
  EXPECT_EQ(ControlWindowCaption(Frame), "Frame - [B]");
  EXPECT_EQ(b->ClientHeight(), Frame->MDIClientRect().Height());
  EXPECT_EQ(panel->Width(), Frame->MDIClientRect().Width());
  ClickMDICaptionButton(b, cbRestore);
  EXPECT_EQ(b->WindowState(), wsNormal);
  EXPECT_EQ(b->BoundsRect(), Rect(40, 30, 340, 230));
  EXPECT_EQ(ControlWindowCaption(Frame), "Frame");

  bool freed = false;
  b->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
  b->OnDestroy = [&](TObject*) { freed = true; };
  ClickMDICaptionButton(b, cbClose);
  Application->ProcessMessages();
  EXPECT_TRUE(freed);
  EXPECT_EQ(Frame->ActiveMDIChild(), a);
  delete menu;
}

// Ctrl+F4 closes the active child; Ctrl+Tab and Ctrl+Shift+Tab go round the children.
TEST_F(FrameFixture, ChildWindowKeys) {
  Application->ProcessMessages();
  TForm* a = Child("A");
  TForm* b = Child("B");
  TForm* c = Child("C");
  SendKey({ssCtrl}, VK_TAB);
  EXPECT_EQ(Frame->ActiveMDIChild(), b);
  SendKey({ssCtrl}, VK_TAB);
  EXPECT_EQ(Frame->ActiveMDIChild(), a);
  SendKey({ssCtrl}, VK_TAB);
  EXPECT_EQ(Frame->ActiveMDIChild(), c);
  SendKey({ssCtrl, ssShift}, VK_TAB);  // back the way it came
  EXPECT_EQ(Frame->ActiveMDIChild(), a);
  a->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
  SendKey({ssCtrl}, VK_F1 + 3);
  Application->ProcessMessages();
  EXPECT_EQ(Frame->MDIChildCount(), 2);
  EXPECT_EQ(Frame->ActiveMDIChild(), c);
}

TEST_F(FrameFixture, CascadeTileAndIcons) {
  TForm* a = Child("A");
  TForm* b = Child("B");
  TForm* c = Child("C");
  TRect area = Frame->MDIClientRect();
  Frame->Cascade();
  // The back one at the corner, the active one in front at the last step, all of one size.
  EXPECT_EQ(a->Left(), area.Left);
  EXPECT_EQ(a->Top(), area.Top);
  EXPECT_GT(b->Left(), a->Left());
  EXPECT_EQ(c->Left() - b->Left(), b->Left() - a->Left());
  EXPECT_EQ(c->Top() - b->Top(), b->Left() - a->Left());
  EXPECT_EQ(a->Width(), c->Width());
  EXPECT_EQ(c->BoundsRect().Right, area.Right);
  EXPECT_EQ(c->BoundsRect().Bottom, area.Bottom);

  Frame->SetTileMode(tbHorizontal);
  Frame->Tile();  // rows, full width
  for (TForm* f : {a, b, c}) {
    EXPECT_EQ(f->Width(), area.Width());
    EXPECT_EQ(f->Height(), area.Height() / 3);
  }
  Frame->SetTileMode(tbVertical);
  Frame->Tile();  // columns, full height
  for (TForm* f : {a, b, c}) EXPECT_EQ(f->Height(), area.Height());
  EXPECT_EQ(c->Left(), 0);
  EXPECT_EQ(b->Left(), area.Width() / 3);

  // A child closed without a handler is minimized and lies at the bottom; the rest tile without it.
  b->Close();
  EXPECT_EQ(b->WindowState(), wsMinimized);
  EXPECT_EQ(b->BoundsRect().Bottom, area.Bottom);
  EXPECT_LT(b->Height(), 40);
  Frame->Tile();
  EXPECT_EQ(a->Width(), area.Width() / 2);
  b->SetWindowState(wsNormal);
  EXPECT_EQ(b->Height(), area.Height());  // back to where it was
  b->SetWindowState(wsMaximized);
  EXPECT_EQ(b->BoundsRect(), area);
}

TEST_F(FrameFixture, CloseQueryCloseAndFreeInOrder) {
  TForm* a = Child("A");
  TForm* b = Child("B");
  bool allow = false;
  b->OnCloseQuery = [&](TObject*, bool& Can) {
    Log.push_back("closequery");
    Can = allow;
  };
  b->OnClose = [&](TObject*, TCloseAction& Action) {
    Log.push_back("close");
    Action = caFree;
  };
  b->OnHide = [&](TObject*) { Log.push_back("hide"); };
  b->OnDestroy = [&](TObject*) { Log.push_back("destroy"); };
  Log.clear();
  b->Close();
  EXPECT_EQ(Log, (std::vector<std::string>{"closequery"}));
  EXPECT_EQ(Frame->MDIChildCount(), 2);
  // The frame asks its children before it may close.
  EXPECT_FALSE(Frame->CloseQuery());

  allow = true;
  Log.clear();
  b->Close();
  Application->ProcessMessages();
  EXPECT_EQ(Log, (std::vector<std::string>{"closequery", "close", "deactivate B", "hide", "activate A", "destroy"}));
  EXPECT_EQ(Frame->MDIChildCount(), 1);
  EXPECT_EQ(Frame->ActiveMDIChild(), a);
}

// A child's controls are not sized while the child is freed: their handlers may belong to the part
// of a derived form that is gone already.
TEST_F(FrameFixture, AFreedChildsControlsHearNoResize) {
  for (TWindowState state : {wsNormal, wsMaximized}) {
    TForm* c = Child("C");
    auto* panel = new TPanel(c);
    panel->SetParent(c);
    panel->SetAlign(alClient);
    int resized = 0;
    panel->OnResize = [&](TObject*) { ++resized; };
    c->SetWindowState(state);
    Application->ProcessMessages();
    resized = 0;
    delete c;
    EXPECT_EQ(resized, 0) << state;
  }
}

// A child's size limits hold for its framed window: dragged smaller, the window the user sees
// stops where the form does, so no part of the form lies outside it.
TEST_F(FrameFixture, AChildsSizeLimitsHoldForItsFrame) {
  struct TLimitedForm : TForm {
    using TForm::TForm;
    TPoint Least = TPoint(260, 190);
    void WndProc(TMessage& Message) override {
      if (Message.Msg == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<TMinMaxInfo*>(Message.LParam);
        info->ptMinTrackSize = Least;
        Message.Result = 1;
        return;
      }
      TForm::WndProc(Message);
    }
  };
  auto* c = new TLimitedForm(Application);
  c->SetFormStyle(fsMDIChild);
  c->SetColor(clRed);
  c->SetBounds(0, 0, 300, 220);
  c->Show();
  Application->ProcessMessages();
  // A drag is several moves: the later ones find the form at its limits already.
  for (int w : {200, 120, 110}) SendMDIChildBounds(c, Rect(0, 0, w, w * 2 / 3));
  EXPECT_EQ(c->BoundsRect(), Rect(0, 0, 260, 190));
  // The form's far corner is on screen inside its window.
  const TPoint corner = Frame->ScreenToClient(c->ClientToScreen(TPoint(c->ClientWidth() - 3, c->ClientHeight() - 3)));
  EXPECT_EQ(ControlWindowPixel(Frame, corner.X, corner.Y), ColorToRGB(clRed));
  // Grown by larger limits near the area's far corner, it moves back into the area.
  const TRect area = Frame->MDIClientRect();
  c->SetBounds(area.Right - 270, area.Bottom - 200, 260, 190);
  c->Least = TPoint(300, 240);
  c->UpdateSizeLimits();
  EXPECT_EQ(c->BoundsRect(), Rect(area.Right - 300, area.Bottom - 240, area.Right, area.Bottom));
  delete c;
}

// OnDestroy of a form freed by delete runs while the form is still of its own class, once; a form
// that is not deleted (a member, the stack) still hears it once.
TEST(Forms, OnDestroyRunsWhileTheFormIsWhole) {
  struct TOwnForm : TForm {
    using TForm::TForm;
  };
  int fired = 0;
  bool whole = false;
  auto* f = new TOwnForm(nullptr);
  f->OnDestroy = [&](TObject* Sender) {
    ++fired;
    whole = dynamic_cast<TOwnForm*>(Sender) != nullptr;
  };
  delete f;
  EXPECT_EQ(fired, 1);
  EXPECT_TRUE(whole);
  {
    TForm local(nullptr);
    local.OnDestroy = [&](TObject*) { ++fired; };
  }
  EXPECT_EQ(fired, 2);
}

TEST_F(FrameFixture, WindowMenuListsTheChildren) {
  auto* menu = new TMainMenu(Frame);
  auto* window = new TMenuItem(Frame);
  window->SetCaption("&Window");
  menu->Items()->Add(window);
  auto* cascade = new TMenuItem(Frame);
  cascade->SetCaption("&Cascade");
  window->Add(cascade);
  Frame->SetWindowMenu(window);
  EXPECT_EQ(window->Count(), 1);
  TForm* a = Child("Editing");
  Child("Header");
  ASSERT_EQ(window->Count(), 4);
  EXPECT_TRUE(window->Items(1)->IsLine());
  EXPECT_EQ(window->Items(2)->Caption(), "&1 Editing");
  EXPECT_EQ(window->Items(3)->Caption(), "&2 Header");
  EXPECT_TRUE(window->Items(3)->Checked());
  a->SetCaption("Editing - site");
  EXPECT_EQ(window->Items(2)->Caption(), "&1 Editing - site");
  window->Items(2)->Click();
  EXPECT_EQ(Frame->ActiveMDIChild(), a);
  EXPECT_TRUE(window->Items(2)->Checked());
  delete a;
  EXPECT_EQ(window->Count(), 3);
  // The window menu may go before the frame.
  delete window;
  Child("Later");
  EXPECT_EQ(Frame->WindowMenu(), nullptr);
}

TEST_F(FrameFixture, ShortCutGoesToTheActiveChildFirst) {
  TForm* a = Child("A");
  std::vector<std::string> ran;
  for (TForm* f : {Frame, a}) {
    auto* list = new TActionList(f);
    auto* act = new TAction(f);
    act->SetActionList(list);
    act->SetShortCut(TextToShortCut("Ctrl+Z"));
    act->OnExecute = [&ran, f, this](TObject*) { ran.push_back(f == Frame ? "frame" : "child"); };
  }
  SendInput(a, ikKeyDown, {ssCtrl}, 0, 0, 'Z');
  a->Hide();
  SendInput(Frame, ikKeyDown, {ssCtrl}, 0, 0, 'Z');
  EXPECT_EQ(ran, (std::vector<std::string>{"child", "frame"}));
}

// Keys typed on the keyboard go to the widget with the focus, and all children share their
// frame's window: the focus has to follow the active child, into its active control or onto the
// child itself, and a press of the mouse in a child makes it active.
TEST_F(FrameFixture, KeysFollowTheActiveChild) {
  Application->ProcessMessages();  // the window system activates the frame's window
  TForm* a = Child("A");
  auto* edit = new TEdit(a);
  edit->SetParent(a);
  edit->SetBounds(10, 10, 100, 24);
  a->SetActiveControl(edit);
  ASSERT_EQ(FocusedControl(), edit);
  TForm* b = Child("B");  // nothing in it takes the focus
  std::vector<std::string> keys;
  for (TForm* f : {a, b})
    f->OnKeyDown = [&keys, f](TObject*, uint16_t& Key, TShiftState) {
      if (Key == VK_RIGHT) keys.push_back(f->Caption());
    };
  EXPECT_EQ(FocusedControl(), b);
  SendKey({}, VK_RIGHT);
  EXPECT_EQ(keys, (std::vector<std::string>{"B"}));

  SendInput(a, ikMouseDown, {}, 150, 100, mbLeft);  // beside the edit
  SendInput(a, ikMouseUp, {}, 150, 100, mbLeft);
  EXPECT_EQ(Frame->ActiveMDIChild(), a);
  EXPECT_EQ(FocusedControl(), edit) << "the child's active control has the focus again";
  SendKey({}, 'X');
  EXPECT_EQ(edit->Text(), "x");

  SendInput(b, ikMouseDown, {}, 20, 20, mbLeft);
  SendInput(b, ikMouseUp, {}, 20, 20, mbLeft);
  EXPECT_EQ(Frame->ActiveMDIChild(), b);
  SendKey({}, VK_RIGHT);
  EXPECT_EQ(keys, (std::vector<std::string>{"B", "B"}));
  b->Hide();  // the next child comes forward with the keyboard
  EXPECT_EQ(FocusedControl(), edit);
}

TEST_F(FrameFixture, StandardWindowActions) {
  auto* list = new TActionList(Frame);
  auto* cascade = new TWindowCascade(Frame);
  auto* minimize = new TWindowMinimizeAll(Frame);
  auto* close = new TWindowClose(Frame);
  for (TAction* a : std::initializer_list<TAction*>{cascade, minimize, close}) a->SetActionList(list);
  EXPECT_EQ(cascade->Caption(), "&Cascade");
  EXPECT_FALSE(cascade->Execute());  // no child: disabled
  EXPECT_FALSE(cascade->Enabled());
  TForm* a = Child("A");
  TForm* b = Child("B");
  EXPECT_TRUE(cascade->Execute());
  EXPECT_EQ(b->Left() - a->Left(), b->Top() - a->Top());
  EXPECT_GT(b->Left(), a->Left());
  bool freed = false;
  b->OnClose = [](TObject*, TCloseAction& A) { A = caFree; };
  b->OnDestroy = [&](TObject*) { freed = true; };
  EXPECT_TRUE(close->Execute());  // the active child
  Application->ProcessMessages();
  EXPECT_TRUE(freed);
  EXPECT_TRUE(minimize->Execute());
  EXPECT_EQ(a->WindowState(), wsMinimized);
  int own = 0;
  cascade->OnExecute = [&](TObject*) { ++own; };  // a handler replaces the built-in work
  EXPECT_TRUE(cascade->Execute());
  EXPECT_EQ(own, 1);
  EXPECT_EQ(a->WindowState(), wsMinimized);
}

TEST(Forms, ModalResultFromAButtonClick) {
  TForm dlg(nullptr);
  auto* ok = new TCustomControl(&dlg);
  ok->SetParent(&dlg);
  ok->SetBounds(10, 10, 80, 24);
  ok->OnClick = [&](TObject*) { dlg.SetModalResult(mrOk); };
  std::vector<std::string> log;
  dlg.OnCloseQuery = [&](TObject*, bool& Can) {
    log.push_back("closequery");
    Can = log.size() > 1;  // refuse once
  };
  dlg.OnClose = [&](TObject*, TCloseAction&) { log.push_back("close"); };
  TTimer click(nullptr);
  click.SetInterval(5);
  click.OnTimer = [&](TObject*) {
    SendInput(ok, ikMouseDown, {}, 5, 5, mbLeft);
    SendInput(ok, ikMouseUp, {}, 5, 5, mbLeft);
  };
  TForm opener(nullptr);
  opener.Show();
  std::vector<std::string> activity;
  opener.OnActivate = [&](TObject*) { activity.push_back("activate"); };
  opener.OnDeactivate = [&](TObject*) { activity.push_back("deactivate"); };
  EXPECT_EQ(dlg.ShowModal(), mrOk);
  click.SetEnabled(false);
  EXPECT_EQ(activity, (std::vector<std::string>{"deactivate", "activate"}));  // the opener is active again
  EXPECT_EQ(Screen->ActiveForm(), &opener);
  opener.Hide();
  EXPECT_EQ(log, (std::vector<std::string>{"closequery", "closequery", "close"}));
  EXPECT_FALSE(dlg.Visible());
  EXPECT_THROW((dlg.Show(), dlg.ShowModal()), EInvalidOperation);
}

// When a dialog closes, the window that had the keys when it opened takes them again (no window
// manager may be there to hand them back): the window the user clicked last, even when the
// program showed another one after it.
TEST(Forms, TheOpenerTakesTheKeysBackWhenADialogCloses) {
  TForm opener(nullptr);
  auto* edit = new TEdit(&opener);
  edit->SetParent(&opener);
  edit->SetBounds(10, 10, 100, 24);
  opener.Show();
  TForm tool(nullptr);
  tool.SetBounds(400, 0, 100, 100);
  tool.Show();
  Application->ProcessMessages();
  ASSERT_NE(FocusedControl(), edit);
  SendInput(edit, ikMouseDown, {}, 5, 5, mbLeft);
  SendInput(edit, ikMouseUp, {}, 5, 5, mbLeft);
  Application->ProcessMessages();
  ASSERT_EQ(FocusedControl(), edit);
  TForm dlg(nullptr);
  TTimer close(nullptr);
  close.SetInterval(5);
  close.OnTimer = [&](TObject*) { dlg.SetModalResult(mrOk); };
  EXPECT_EQ(dlg.ShowModal(), mrOk);
  close.SetEnabled(false);
  Application->ProcessMessages();
  EXPECT_EQ(FocusedControl(), edit);
  SendKey({}, 'K');
  EXPECT_EQ(edit->Text(), "k");
  tool.Hide();
  opener.Hide();
}

// Windows the window manager activates (a click on the title bar, switching windows) become the
// active form with their events; the window system's late answers to the program's own
// activations change nothing, even when the program has moved on to another form meanwhile.
TEST(Forms, TheWindowManagersActivationMakesItsFormActive) {
  std::vector<std::string> log;
  auto make = [&log](TForm& F, const std::string& Name, int Left) {
    F.SetBounds(Left, 0, 150, 100);
    F.OnActivate = [&log, Name](TObject*) { log.push_back("activate " + Name); };
    F.OnDeactivate = [&log, Name](TObject*) { log.push_back("deactivate " + Name); };
  };
  TForm a(nullptr), b(nullptr), c(nullptr);
  make(a, "A", 0);
  make(b, "B", 200);
  make(c, "C", 400);
  a.Show();
  b.Show();  // before the window system answered A's activation
  Application->ProcessMessages();
  EXPECT_EQ(log, (std::vector<std::string>{"activate A", "deactivate A", "activate B"}));
  EXPECT_EQ(Screen->ActiveForm(), &b);

  log.clear();
  SendWindowActivation(&a);
  SendWindowActivation(&a);  // no change: no events
  EXPECT_EQ(log, (std::vector<std::string>{"deactivate B", "activate A"}));
  EXPECT_EQ(Screen->ActiveForm(), &a);
  EXPECT_TRUE(a.Active());
  EXPECT_FALSE(b.Active());

  log.clear();
  c.Show();
  Application->ProcessMessages();
  SendWindowActivation(&b);
  EXPECT_EQ(log, (std::vector<std::string>{"deactivate A", "activate C", "deactivate C", "activate B"}));
  EXPECT_EQ(Screen->ActiveForm(), &b);
  c.Hide();
  a.Hide();
  b.Hide();
}

// F10 opens the first menu of the window's menu bar that shows and can open; Shift+F10 does not,
// and a shortcut on F10 comes first.
TEST(Forms, F10OpensTheMenuBar) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 300);
  auto* menu = new TMainMenu(&form);
  NewItem(NewItem(menu->Items(), "&Hidden"), "&Secret");
  menu->Items()->Items(0)->SetVisible(false);
  NewItem(NewItem(menu->Items(), "&Off"), "&Gone");
  menu->Items()->Items(1)->SetEnabled(false);
  NewItem(NewItem(menu->Items(), "&File"), "&Open");
  auto* list = new TActionList(&form);
  auto* act = new TAction(&form);
  act->SetActionList(list);
  act->SetShortCut(TextToShortCut("F10"));
  int ran = 0;
  act->OnExecute = [&ran](TObject*) { ++ran; };
  form.Show();
  Application->ProcessMessages();
  SendKey({}, VK_F1 + 9);
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(menu->OpenEntry(), "");
  delete act;
  SendKey({ssShift}, VK_F1 + 9);
  EXPECT_EQ(menu->OpenEntry(), "");
  SendKey({}, VK_F1 + 9);
  EXPECT_EQ(menu->OpenEntry(), "&File");
  delete menu;  // its open menu goes with it
  form.Hide();
}

TEST(Forms, ReleaseIsSafeWhenTheFormGoesFirst) {
  auto* f = new TForm(nullptr);
  int destroyed = 0;
  f->OnDestroy = [&](TObject*) { ++destroyed; };
  f->Release();
  f->Release();  // once only
  delete f;
  Application->ProcessMessages();
  EXPECT_EQ(destroyed, 1);
}

TEST(Forms, PlacementAroundTheMainForm) {
  TForm main(nullptr);
  main.SetBounds(100, 50, 400, 300);
  TForm* before = Application->MainForm();
  Application->SetMainForm(&main);
  main.Show();
  TForm box(nullptr);
  box.SetBounds(0, 0, 200, 100);
  box.SetPosition(poMainFormCenter);
  box.Show();
  EXPECT_EQ(box.Left(), 200);
  EXPECT_EQ(box.Top(), 150);
  EXPECT_TRUE(box.Active());
  EXPECT_FALSE(main.Active());  // showing another window deactivates the previous one
  EXPECT_EQ(Screen->ActiveForm(), &box);
  box.Hide();
  main.Hide();
  Application->SetMainForm(before);
}

}  // namespace
