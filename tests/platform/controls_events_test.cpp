// Custom controls: input through the window system's event path, painting into the retained
// surface, feedback drawn from handlers, and exceptions reported without stopping the loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/controls.h"
#include "platform/forms.h"
#include "platform/streams.h"

namespace {

struct BoxRecorder {
  std::vector<std::string> Texts;
  BoxRecorder() {
    SetMessageBoxHook([this](const std::string& Text, const std::string&, int) {
      Texts.push_back(Text);
      return IDOK;
    });
  }
  ~BoxRecorder() { SetMessageBoxHook(nullptr); }
};

class Pad : public TCustomControl {
public:
  explicit Pad(TComponent* Owner) : TCustomControl(Owner) {
    SetBounds(0, 0, 100, 80);
    SetColor(clWhite);
  }
  int Paints = 0;

protected:
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(clBlue);
    Canvas()->FillRect(Rect(10, 10, 20, 20));
    TCustomControl::Paint();
  }
};

std::string ShiftText(TShiftState S) {
  std::string r;
  const char* names[] = {"Shift", "Alt", "Ctrl", "Left", "Right", "Middle", "Double"};
  for (int i = 0; i <= ssDouble; ++i)
    if (S.Contains(static_cast<TShiftStateItem>(i))) r += std::string(r.empty() ? "" : "+") + names[i];
  return r;
}

TEST(ControlsEvents, MouseInputArrivesWithClientCoordinatesAndShiftStates) {
  Pad pad(nullptr);
  std::vector<std::string> log;
  pad.OnMouseDown = [&](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
    EXPECT_EQ(S, &pad);
    log.push_back("down " + std::to_string(B) + " " + ShiftText(Sh) + " " + std::to_string(X) + "," +
                  std::to_string(Y));
  };
  pad.OnMouseMove = [&](TObject*, TShiftState Sh, int X, int Y) {
    log.push_back("move " + ShiftText(Sh) + " " + std::to_string(X) + "," + std::to_string(Y));
  };
  pad.OnMouseUp = [&](TObject*, TMouseButton B, TShiftState Sh, int X, int Y) {
    log.push_back("up " + std::to_string(B) + " " + ShiftText(Sh) + " " + std::to_string(X) + "," + std::to_string(Y));
  };
  pad.OnClick = [&](TObject*) { log.push_back("click"); };
  pad.OnDblClick = [&](TObject*) { log.push_back("dblclick"); };

  SendInput(&pad, ikMouseDown, {ssShift}, 12, 34, mbLeft);
  SendInput(&pad, ikMouseMove, {ssShift, ssLeft}, 20, 40);
  SendInput(&pad, ikMouseUp, {}, 21, 41, mbLeft);
  SendInput(&pad, ikMouseDown, {ssCtrl}, 5, 6, mbRight);
  SendInput(&pad, ikMouseUp, {}, 5, 6, mbRight);
  SendInput(&pad, ikDblClick, {}, 7, 8, mbLeft);
  SendInput(&pad, ikMouseUp, {}, 7, 8, mbLeft);
  // Released outside the control: no click.
  SendInput(&pad, ikMouseDown, {}, 50, 50, mbLeft);
  SendInput(&pad, ikMouseUp, {}, 150, 50, mbLeft);

  std::vector<std::string> expected = {"down 0 Shift+Left 12,34",
                                       "move Shift+Left 20,40",
                                       "click",
                                       "up 0  21,41",
                                       "down 1 Ctrl+Right 5,6",
                                       "up 1  5,6",
                                       "dblclick",
                                       "down 0 Left+Double 7,8",
                                       "click",
                                       "up 0  7,8",
                                       "down 0 Left 50,50",
                                       "up 0  150,50"};
  EXPECT_EQ(log, expected);
}

TEST(ControlsEvents, WheelKeysEnterAndLeave) {
  Pad pad(nullptr);
  pad.SetTabStop(true);
  std::vector<std::string> log;
  pad.OnMouseWheel = [&](TObject*, TShiftState Sh, int Delta, TPoint, bool& Handled) {
    log.push_back("wheel " + std::to_string(Delta) + " " + ShiftText(Sh));
    Handled = Delta > 0;  // downward turns are left to the wheel-down handler
  };
  pad.OnMouseWheelDown = [&](TObject*, TShiftState, TPoint, bool& Handled) {
    log.push_back("wheel down");
    Handled = true;
  };
  pad.OnKeyDown = [&](TObject*, uint16_t& Key, TShiftState Sh) {
    log.push_back("key " + std::to_string(Key) + " " + ShiftText(Sh));
  };
  pad.OnKeyPress = [&](TObject*, char& Key) { log.push_back(std::string("press ") + Key); };
  pad.OnKeyUp = [&](TObject*, uint16_t& Key, TShiftState) { log.push_back("keyup " + std::to_string(Key)); };
  pad.OnMouseEnter = [&](TObject*) { log.push_back("enter"); };
  pad.OnMouseLeave = [&](TObject*) { log.push_back("leave"); };

  SendInput(&pad, ikEnter, {});
  SendInput(&pad, ikWheel, {ssCtrl}, 10, 10, 120);
  SendInput(&pad, ikWheel, {}, 10, 10, -120);
  SendInput(&pad, ikKeyDown, {ssCtrl}, 0, 0, VK_LEFT);
  SendInput(&pad, ikKeyDown, {}, 0, 0, 'Q');
  SendInput(&pad, ikKeyUp, {}, 0, 0, 'Q');
  SendInput(&pad, ikLeave, {});

  std::vector<std::string> expected = {"enter",   "wheel 120 Ctrl", "wheel -120 ", "wheel down", "key 37 Ctrl",
                                       "key 81 ", "press q",        "keyup 81",    "leave"};
  EXPECT_EQ(log, expected);
  EXPECT_FALSE(pad.MouseInControl());
}

TEST(ControlsEvents, PaintGoesToTheRetainedSurfaceAndFeedbackStaysUntilRepaint) {
  Pad pad(nullptr);
  pad.Repaint();
  EXPECT_EQ(pad.Paints, 1);
  EXPECT_EQ(ControlSurfacePixel(&pad, 15, 15), clBlue);
  EXPECT_EQ(ControlSurfacePixel(&pad, 50, 50), clWhite);

  // A rubber band drawn from the mouse handler with a not-xor pen, erased by drawing it again.
  TCanvas* c = pad.Canvas();
  pad.OnMouseMove = [&](TObject*, TShiftState, int X, int Y) {
    c->Pen()->SetMode(pmNotXor);
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(5, 5, X, Y);
  };
  SendInput(&pad, ikMouseMove, {ssLeft}, 60, 50);
  EXPECT_EQ(ControlSurfacePixel(&pad, 5, 30), clBlack);
  pad.Update();  // nothing invalidated: the band stays, Paint does not run
  EXPECT_EQ(pad.Paints, 1);
  EXPECT_EQ(ControlSurfacePixel(&pad, 5, 30), clBlack);
  SendInput(&pad, ikMouseMove, {ssLeft}, 60, 50);
  EXPECT_EQ(ControlSurfacePixel(&pad, 5, 30), clWhite);
  EXPECT_EQ(ControlSurfacePixel(&pad, 15, 15), clBlue);

  // A new size repaints at the new size.
  pad.SetBounds(0, 0, 150, 90);
  pad.Update();
  EXPECT_EQ(pad.Paints, 2);
  EXPECT_EQ(ControlSurfacePixel(&pad, 140, 85), clWhite);
}

// Many invalidations before the next frame paint once; a control invalidated while hidden, or
// after its paint, paints again when it is next shown.
TEST(ControlsEvents, InvalidationsBeforeAFramePaintOnceAndNoneIsLost) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 150);
  auto* pad = new Pad(&form);
  pad->SetParent(&form);
  form.Show();
  Application->ProcessMessages();
  const int shown = pad->Paints;
  ASSERT_GE(shown, 1);
  for (int i = 0; i < 100; ++i) pad->Invalidate();
  Application->ProcessMessages();
  EXPECT_EQ(pad->Paints, shown + 1);
  pad->Invalidate();
  Application->ProcessMessages();
  EXPECT_EQ(pad->Paints, shown + 2);

  pad->OnMouseMove = nullptr;
  pad->SetColor(clYellow);  // invalidates
  pad->SetVisible(false);
  pad->Invalidate();
  Application->ProcessMessages();
  pad->SetVisible(true);
  Application->ProcessMessages();
  EXPECT_EQ(pad->Paints, shown + 3);
  EXPECT_EQ(ControlWindowPixel(pad, 50, 50), clYellow);
  pad->SetColor(clWhite);
  Application->ProcessMessages();
  EXPECT_EQ(ControlWindowPixel(pad, 50, 50), clWhite);
  form.Hide();
}

TEST(ControlsEvents, HandlerExceptionsAreShownAndTheLoopGoesOn) {
  BoxRecorder boxes;
  Pad pad(nullptr);
  int downs = 0;
  pad.OnMouseDown = [&](TObject*, TMouseButton B, TShiftState, int, int) {
    ++downs;
    if (B == mbLeft) throw EConvertError("'x' is not a valid integer value");
    if (B == mbRight) Abort();
  };
  SendInput(&pad, ikMouseDown, {}, 1, 1, mbLeft);
  SendInput(&pad, ikMouseDown, {}, 1, 1, mbRight);  // silent
  SendInput(&pad, ikMouseDown, {}, 1, 1, mbMiddle);
  EXPECT_EQ(downs, 3);
  EXPECT_EQ(boxes.Texts, std::vector<std::string>{"'x' is not a valid integer value."});

  // A timer whose handler throws, run by the message loop: reported, and the loop keeps running.
  TTimer timer(nullptr);
  timer.SetInterval(1);
  int ticks = 0;
  timer.SetOnTimer([&](TObject*) {
    if (++ticks == 1) throw Exception("tick failed");
  });
  for (int i = 0; i < 200 && ticks < 3; ++i) {
    Application->ProcessMessages();
    if (ticks < 3) Application->HandleMessage();
  }
  timer.SetEnabled(false);
  EXPECT_GE(ticks, 3);
  // A handler assigned straight to the event runs as well.
  TTimer direct(nullptr);
  direct.SetInterval(1);
  int directTicks = 0;
  direct.OnTimer = [&](TObject*) { ++directTicks; };
  for (int i = 0; i < 200 && directTicks == 0; ++i) Application->HandleMessage();
  direct.SetEnabled(false);
  EXPECT_GE(directTicks, 1);
  ASSERT_EQ(boxes.Texts.size(), 2u);
  EXPECT_EQ(boxes.Texts[1], "tick failed.");

  // An application-wide handler replaces the box.
  std::string seen;
  Application->OnException = [&](TObject* Sender, const Exception& E) {
    EXPECT_EQ(Sender, &pad);
    seen = E.Message();
  };
  SendInput(&pad, ikMouseDown, {}, 1, 1, mbLeft);
  Application->OnException = nullptr;
  EXPECT_EQ(seen, "'x' is not a valid integer value");
  EXPECT_EQ(boxes.Texts.size(), 2u);
}

TEST(ControlsEvents, ChildrenAlignInsideTheirParent) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  auto* top = new Pad(&form);
  top->SetHeight(30);
  top->SetAlign(alTop);
  top->SetParent(&form);
  auto* left = new Pad(&form);
  left->SetWidth(50);
  left->SetAlign(alLeft);
  left->SetParent(&form);
  auto* client = new Pad(&form);
  client->SetAlign(alClient);
  client->SetParent(&form);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 300, 30));
  EXPECT_EQ(left->BoundsRect(), Rect(0, 30, 50, 200));
  EXPECT_EQ(client->BoundsRect(), Rect(50, 30, 300, 200));
  form.SetBounds(0, 0, 400, 250);
  EXPECT_EQ(client->BoundsRect(), Rect(50, 30, 400, 250));
  left->Hide();
  EXPECT_EQ(client->BoundsRect(), Rect(0, 30, 400, 250));
  EXPECT_EQ(form.ControlAtPos(TPoint(10, 100)), client);
  EXPECT_EQ(form.ControlCount(), 3);
}

TEST(ControlsEvents, AnchoredChildrenFollowTheirParentsSize) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  struct Case {
    TAnchors Anchors;
    TRect After;  // when the form grows by 100 x 50
  };
  const std::vector<Case> cases = {
      {{akLeft, akTop}, Rect(100, 60, 180, 90)},
      {{akRight, akBottom}, Rect(200, 110, 280, 140)},
      {{akLeft, akRight, akTop}, Rect(100, 60, 280, 90)},
      {{akLeft, akTop, akBottom}, Rect(100, 60, 180, 140)},
      {{}, Rect(150, 85, 230, 115)},
  };
  std::vector<Pad*> pads;
  for (const Case& k : cases) {
    auto* p = new Pad(&form);
    p->SetBounds(100, 60, 80, 30);
    p->SetAnchors(k.Anchors);
    p->SetParent(&form);
    pads.push_back(p);
  }
  form.SetBounds(0, 0, 400, 250);
  for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(pads[i]->BoundsRect(), cases[i].After) << i;
  form.SetBounds(0, 0, 300, 200);  // and back
  for (Pad* p : pads) EXPECT_EQ(p->BoundsRect(), Rect(100, 60, 180, 90));
}

TEST(ControlsEvents, WindowRegionsShapeTheWindow) {
  Pad pad(nullptr);
  TRegion r;
  EXPECT_EQ(pad.GetWindowRgn(r), 0);
  const TRegion round = TRegion::CreateRoundRectRgn(0, 0, pad.Width(), pad.Height(), 20, 20);
  pad.SetWindowRgn(&round, true);            // before the window exists
  SendInput(&pad, ikMouseMove, {}, 50, 40);  // makes the window, which takes the shape
  ASSERT_EQ(pad.GetWindowRgn(r), 1);
  EXPECT_TRUE(r.Equals(round));
  EXPECT_FALSE(r.PtInRegion(0, 0));
  EXPECT_TRUE(r.PtInRegion(50, 40));
  pad.SetWindowRgn(nullptr, false);
  EXPECT_EQ(pad.GetWindowRgn(r), 0);
}

TEST(ControlsEvents, FormsCloseThroughTheirQueries) {
  TForm form(nullptr);
  bool allow = false;
  std::vector<std::string> log;
  form.OnCloseQuery = [&](TObject*, bool& Can) { Can = allow; };
  form.OnClose = [&](TObject*, TCloseAction& A) { log.push_back(A == caHide ? "hide" : "other"); };
  form.OnShow = [&](TObject*) { log.push_back("show"); };
  form.Show();
  EXPECT_TRUE(form.Visible());
  form.Close();
  EXPECT_TRUE(form.Visible());
  allow = true;
  form.Close();
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(log, (std::vector<std::string>{"show", "hide"}));
}

TEST(ControlsEvents, KeyPreviewLetsTheFormSeeKeysFirst) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 150);
  auto* pad = new Pad(&form);
  pad->SetParent(&form);
  std::vector<std::string> log;
  form.OnKeyDown = [&](TObject*, uint16_t& Key, TShiftState) {
    log.push_back("form " + std::to_string(Key));
    if (Key == VK_ESCAPE) Key = 0;  // taken by the form
  };
  form.OnKeyPress = [&](TObject*, char& Key) {
    log.push_back(std::string("form press ") + Key);
    if (Key == 'x') Key = 0;
  };
  form.OnKeyUp = [&](TObject*, uint16_t& Key, TShiftState) { log.push_back("form up " + std::to_string(Key)); };
  pad->OnKeyDown = [&](TObject*, uint16_t& Key, TShiftState) { log.push_back("pad " + std::to_string(Key)); };
  pad->OnKeyPress = [&](TObject*, char& Key) { log.push_back(std::string("pad press ") + Key); };
  pad->OnKeyUp = [&](TObject*, uint16_t& Key, TShiftState) { log.push_back("pad up " + std::to_string(Key)); };

  SendInput(pad, ikKeyDown, {}, 0, 0, 'A');
  EXPECT_EQ(log, (std::vector<std::string>{"pad 65", "pad press a"}));  // off: only the control
  log.clear();
  form.SetKeyPreview(true);
  SendInput(pad, ikKeyDown, {}, 0, 0, 'A');
  SendInput(pad, ikKeyUp, {}, 0, 0, 'A');
  SendInput(pad, ikKeyDown, {}, 0, 0, VK_ESCAPE);
  SendInput(pad, ikKeyDown, {}, 0, 0, 'X');
  EXPECT_EQ(log, (std::vector<std::string>{"form 65", "pad 65", "form press a", "pad press a", "form up 65",
                                           "pad up 65", "form 27", "form press \x1B", "pad press \x1B", "form 88",
                                           "pad 88", "form press x"}));
}

TEST(ControlsEvents, CursorsRegisterUnderAnyNumber) {
  constexpr TCursor kHand = 2020, kPicture = 2021;
  // A standard cursor under a number of its own, then removed again.
  const HCURSOR hand = Screen->Cursors(crHandPoint);
  EXPECT_NE(hand, 0);
  EXPECT_NE(hand, Screen->Cursors(crDefault));
  EXPECT_EQ(Screen->Cursors(kHand), Screen->Cursors(crDefault));
  Screen->SetCursors(kHand, hand);
  EXPECT_EQ(Screen->Cursors(kHand), hand);
  Screen->SetCursors(kHand, 0);
  EXPECT_EQ(Screen->Cursors(kHand), Screen->Cursors(crDefault));

  // Cursors made from pictures, found by resource name whatever the letter case.
  TBitmap img(16, 16, pf32bit);
  const HCURSOR made = CreateCursorFromBitmap(&img, 3, 4);
  EXPECT_GT(made, 0);
  Screen->SetCursors(kPicture, made);
  EXPECT_EQ(Screen->Cursors(kPicture), made);
  RegisterCursorResource("Test_Cursor", &img, 0, 0);
  EXPECT_GT(LoadCursorResource("TEST_CURSOR"), 0);
  TMemoryStream bytes;
  img.SaveToStream(bytes);
  RegisterCursorResourceData("TEST_CURSOR_DATA", bytes.Memory(), static_cast<size_t>(bytes.Size()));
  EXPECT_GT(LoadCursorResource("test_cursor_data"), 0);
  EXPECT_EQ(LoadCursorResource("NO_SUCH_CURSOR"), 0);
  EXPECT_THROW(RegisterCursorResourceData("BAD_CURSOR", "junk", 4), EInvalidGraphic);
  // A handle that was never made is not registered.
  Screen->SetCursors(kPicture, 987654);
  EXPECT_EQ(Screen->Cursors(kPicture), Screen->Cursors(crDefault));
}

}  // namespace
