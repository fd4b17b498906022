// Window hooks: the order of several hooks round the form's own handling, Handled, a hook that
// outlives its form, a re-created window, release of an empty control hook; and the form
// placement's size limits held while the window system sizes the window.
#include "controls/vx_hooks.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/form_storage.h"
#include "platform/forms.h"
#include "platform/streaming.h"
#include "platform/streams.h"

namespace {

constexpr uint32_t UM_PING = WM_USER + 7;

// A form that notes the private messages it handles itself.
class THookedForm : public TForm {
public:
  using TForm::TForm;
  std::vector<std::string>* Log = nullptr;

protected:
  void WndProc(TMessage& Msg) override {
    if (Msg.Msg == UM_PING) {
      if (Log) Log->push_back("form");
      Msg.Result = 42;
      return;
    }
    TForm::WndProc(Msg);
  }
};

TVxWindowHook* NewHook(TComponent* Owner, TWinControl* Control, std::vector<std::string>& Log, const std::string& Name,
                       bool HandleBefore = false, bool HandleAfter = false) {
  auto* h = new TVxWindowHook(Owner);
  h->BeforeMessage = [&Log, Name, HandleBefore](TObject*, TMessage& M, bool& Handled) {
    if (M.Msg != UM_PING) return;
    Log.push_back(Name + ".before");
    Handled = HandleBefore;
  };
  h->AfterMessage = [&Log, Name, HandleAfter](TObject*, TMessage& M, bool& Handled) {
    if (M.Msg != UM_PING) return;
    Log.push_back(Name + ".after");
    Handled = HandleAfter;
  };
  h->SetWinControl(Control);
  return h;
}

TEST(WindowHook, SeveralHooksRunRoundTheFormLaterFirst) {
  std::vector<std::string> log;
  THookedForm form(nullptr);
  form.Log = &log;
  NewHook(&form, &form, log, "a");
  NewHook(&form, &form, log, "b");
  EXPECT_EQ(form.Perform(UM_PING), 42);
  EXPECT_EQ(log, (std::vector<std::string>{"b.before", "a.before", "form", "b.after", "a.after"}));
  ASSERT_NE(HookChainList()->FindForControl(&form), nullptr);
  EXPECT_EQ(HookChainList()->FindForControl(&form)->HookCount(), 2);

  // A later hook that handles its after-stage stops the earlier one.
  log.clear();
  auto* c = NewHook(&form, &form, log, "c", false, true);
  form.Perform(UM_PING);
  EXPECT_EQ(log, (std::vector<std::string>{"c.before", "b.before", "a.before", "form", "c.after"}));

  // Handled before: the form never sees the message, and no after-stage runs.
  log.clear();
  c->SetActive(false);
  NewHook(&form, &form, log, "d", true);
  EXPECT_EQ(form.Perform(UM_PING), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"d.before"}));
}

TEST(WindowHook, PostedMessagesAndWindowSystemMessagesPassTheHooks) {
  std::vector<std::string> log;
  THookedForm form(nullptr);
  form.Log = &log;
  std::vector<uint32_t> seen;
  auto* h = new TVxWindowHook(&form);
  h->BeforeMessage = [&seen](TObject*, TMessage& M, bool&) { seen.push_back(M.Msg); };
  h->SetWinControl(&form);
  ASSERT_TRUE(PostMessage(&form, UM_PING));
  EXPECT_TRUE(log.empty());  // posted: not before the loop gets to it
  Application->ProcessMessages();
  EXPECT_EQ(log, std::vector<std::string>{"form"});

  form.SetBounds(10, 10, 300, 200);
  form.Show();
  SendWindowGeometry(&form, 20, 30, 320, 210);
  form.DispatchClose();
  Application->ProcessMessages();
  for (uint32_t m : {WM_GETMINMAXINFO, WM_SHOWWINDOW, WM_ACTIVATE, WM_SIZE, WM_MOVE, WM_CLOSE})
    EXPECT_NE(std::find(seen.begin(), seen.end(), m), seen.end()) << "message " << m;
  EXPECT_FALSE(form.Visible());  // the close went on to the form
}

TEST(WindowHook, HandledCloseKeepsTheFormOpen) {
  TForm form(nullptr);
  form.Show();
  auto* h = new TVxWindowHook(&form);
  h->BeforeMessage = [](TObject*, TMessage& M, bool& Handled) { Handled = M.Msg == WM_CLOSE; };
  h->SetWinControl(&form);
  form.DispatchClose();
  EXPECT_TRUE(form.Visible());
  h->SetActive(false);
  form.DispatchClose();
  EXPECT_FALSE(form.Visible());
}

TEST(WindowHook, RecreatedWindowKeepsItsHooks) {
  std::vector<std::string> log;
  THookedForm form(nullptr);
  form.Log = &log;
  NewHook(&form, &form, log, "a");
  form.SetBorderIcons({biSystemMenu});  // re-creates the window
  Application->ProcessMessages();       // the re-hook request
  log.clear();
  form.Perform(UM_PING);
  EXPECT_EQ(log, (std::vector<std::string>{"a.before", "form", "a.after"}));
}

TEST(WindowHook, LastHookLeavingRestoresTheFormAndFreesTheControlHook) {
  std::vector<std::string> log;
  THookedForm form(nullptr);
  form.Log = &log;
  auto* a = NewHook(&form, &form, log, "a");
  ASSERT_NE(HookChainList()->FindForControl(&form), nullptr);
  EXPECT_TRUE(HookChainList()->FindForControl(&form)->Subclassed());
  a->SetWinControl(nullptr);
  TControlHook* left = HookChainList()->FindForControl(&form);
  ASSERT_NE(left, nullptr);  // freed once the loop delivers the release request
  EXPECT_FALSE(left->Subclassed());
  log.clear();
  form.Perform(UM_PING);
  EXPECT_EQ(log, std::vector<std::string>{"form"});
  Application->ProcessMessages();
  EXPECT_EQ(HookChainList()->FindForControl(&form), nullptr);
}

TEST(WindowHook, HookOutlivesItsForm) {
  std::vector<std::string> log;
  TVxWindowHook hook(nullptr);
  {
    THookedForm form(nullptr);
    form.Log = &log;
    hook.SetWinControl(&form);
    EXPECT_EQ(hook.WinControl(), &form);
  }
  EXPECT_EQ(hook.WinControl(), nullptr);
  EXPECT_TRUE(hook.Active());
  Application->ProcessMessages();
  // A new form (perhaps at the same address) is not hooked by the old chain.
  THookedForm other(nullptr);
  other.Log = &log;
  other.Perform(UM_PING);
  EXPECT_EQ(log, std::vector<std::string>{"form"});
  hook.SetWinControl(&other);
  EXPECT_NE(HookChainList()->FindForControl(&other), nullptr);
}

TEST(WindowHook, FormFreedWhileItsEmptyControlHookWaitsForRelease) {
  auto* form = new TForm(nullptr);
  {
    TVxWindowHook hook(nullptr);
    hook.SetWinControl(form);
  }
  delete form;
  Application->ProcessMessages();  // the release request finds a control hook without a control
  SUCCEED();
}

TEST(WindowHook, ExceptionInAHandlerIsShownAndTheOthersGoOn) {
  std::vector<std::string> log;
  std::vector<std::string> shown;
  auto saved = Application->OnException;
  Application->OnException = [&shown](TObject*, const Exception& E) { shown.push_back(E.Message()); };
  THookedForm form(nullptr);
  form.Log = &log;
  NewHook(&form, &form, log, "a");
  auto* bad = new TVxWindowHook(&form);
  bad->BeforeMessage = [](TObject*, TMessage&, bool&) { throw Exception("hook broke"); };
  bad->SetWinControl(&form);
  form.Perform(UM_PING);
  Application->OnException = saved;
  EXPECT_EQ(shown, std::vector<std::string>{"hook broke"});
  EXPECT_EQ(log, (std::vector<std::string>{"a.before", "form", "a.after"}));
}

TEST(WindowHook, IsFormIsWrittenForItsOwnFormAndBindsOnReading) {
  TForm form(nullptr);
  auto* h = new TVxWindowHook(&form);
  EXPECT_EQ(ComponentToText(h).find("IsForm"), std::string::npos);
  h->SetWinControl(&form);
  EXPECT_NE(ComponentToText(h).find("IsForm = True"), std::string::npos) << ComponentToText(h);

  TForm other(nullptr);
  auto* read = new TVxWindowHook(&other);
  TStringStream text("object Hook: TVxWindowHook\n  IsForm = True\nend\n");
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  ReadComponentFromStream(binary, read);
  EXPECT_EQ(read->WinControl(), &other);
  EXPECT_NE(HookChainList()->FindForControl(&other), nullptr);
}

TEST(WindowHook, PlacementLimitsHoldWhileTheWindowIsSized) {
  TForm form(nullptr);
  auto* storage = new TFormPlacement(&form);
  form.SetBounds(0, 0, 300, 200);
  form.Show();
  TWinMinMaxInfo limits;
  limits.SetMinTrackWidth(200);
  limits.SetMinTrackHeight(150);
  limits.SetMaxTrackWidth(500);
  limits.SetMaxTrackHeight(400);
  storage->SetMinMaxInfo(&limits);
  // The window system (a user dragging an edge) is kept inside the limits, not put back later.
  std::vector<int> widths;
  form.OnResize = [&widths, &form](TObject*) { widths.push_back(form.Width()); };
  SendWindowGeometry(&form, 0, 0, 900, 700);
  EXPECT_EQ(form.Width(), 500);
  EXPECT_EQ(form.Height(), 400);
  SendWindowGeometry(&form, 0, 0, 50, 60);
  EXPECT_EQ(form.Width(), 200);
  EXPECT_EQ(form.Height(), 150);
  for (int w : widths) EXPECT_TRUE(w >= 200 && w <= 500) << w;
  const TMinMaxInfo info = form.QuerySizeLimits();
  EXPECT_EQ(info.ptMinTrackSize.X, 200);
  EXPECT_EQ(info.ptMaxTrackSize.Y, 400);
  // Without limits the window sizes freely again.
  storage->SetMinMaxInfo(std::make_unique<TWinMinMaxInfo>().get());
  SendWindowGeometry(&form, 0, 0, 700, 600);
  EXPECT_EQ(form.Width(), 700);
}

}  // namespace
