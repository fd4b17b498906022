// The calculator against key sequences, the calc editor's popup, the spin editor's arithmetic,
// keys and buttons, and the check editor's toggling and look.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "inspector/vm_calc.h"

namespace {

// Presses the calculator's buttons for a sequence: digits, '.', + - * / = %, s sqrt, r 1/x,
// n sign, B back, C clear, M store, P add to memory, R recall, L memory clear.
void Press(TCustomvmCalculator& C, const std::string& Keys) {
  for (char k : Keys) {
    int b = cbNone;
    if (k >= '0' && k <= '9') b = cbDigit0 + (k - '0');
    switch (k) {
      case '.':
        b = cbDecimal;
        break;
      case '+':
        b = cbAdd;
        break;
      case '-':
        b = cbSub;
        break;
      case '*':
        b = cbMul;
        break;
      case '/':
        b = cbDiv;
        break;
      case '=':
        b = cbEqual;
        break;
      case '%':
        b = cbPercent;
        break;
      case 's':
        b = cbSqrt;
        break;
      case 'r':
        b = cbRev;
        break;
      case 'n':
        b = cbSign;
        break;
      case 'B':
        b = cbBack;
        break;
      case 'C':
        b = cbC;
        break;
      case 'M':
        b = cbMS;
        break;
      case 'P':
        b = cbMP;
        break;
      case 'R':
        b = cbMR;
        break;
      case 'L':
        b = cbMC;
        break;
      default:
        break;
    }
    C.DoCalcButton(b);
  }
}

TEST(Calculator, KeySequencesAndTheirDisplays) {
  SetLocaleInfo(DefaultLocaleInfo());
  struct Case {
    const char* Keys;
    const char* Display;
  };
  const Case cases[] = {
      {"2+3=", "5"},      {"2+3==", "5"},     {"2+3*4=", "20"}, {"10-4-3=", "3"},
      {"2++3=", "5"},     {"200+10%", "220"}, {"50*10%", "5"},  {"1/0=", "Error"},
      {"1/0=5", "Error"}, {"1/0=5C", "0"},    {"9s", "3"},      {"4r", "0.25"},
      {"0r", "Error"},    {"4ns", "Error"},   {"2n", "-2"},     {"1.5+1.5=", "3"},
      {"1..5", "1.5"},    {"5nB", "0"},       {"123B", "12"},   {"7/2=", "3.5"},
      {"5M C R", "5"},    {"5P3PR", "8"},     {"5ML R", "0"},   {"1/3=", "0.3333333333333"},
      {"2+3=*2=", "10"},  {"9+16s=", "13"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Keys);
    TCustomvmCalculator calc(nullptr);
    calc.SetBeepOnError(false);
    Press(calc, c.Keys);
    EXPECT_EQ(calc.GetCalcDisplay(), c.Display);
  }
}

TEST(Calculator, PrecisionMemoryGrayAndErrorEvents) {
  TCustomvmCalculator calc(nullptr);
  int errors = 0;
  calc.OnCalcError = [&](TObject*) { ++errors; };
  int beeps = BeepCount();
  Press(calc, "1234567890123");
  EXPECT_EQ(calc.GetCalcDisplay(), "1234567890123");
  Press(calc, "4");  // a fourteenth character beeps
  EXPECT_EQ(calc.GetCalcDisplay(), "1234567890123");
  EXPECT_EQ(BeepCount(), beeps + 1);
  Press(calc, "C0M");
  EXPECT_TRUE(calc.Button(cbMC).Grayed);
  EXPECT_TRUE(calc.Button(cbMR).Grayed);
  Press(calc, "7M");
  EXPECT_FALSE(calc.Button(cbMR).Grayed);
  Press(calc, "1/0=");
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(calc.GetCalcValue(), 0);  // the error display reads as 0
  // A display that is no number (typed into a cell) gives the error, not an exception.
  Press(calc, "C");
  calc.SetCalcDisplay("abc");
  EXPECT_NO_THROW(Press(calc, "+"));
  EXPECT_EQ(calc.GetCalcDisplay(), "Error");
  EXPECT_EQ(errors, 2);
}

TEST(Calculator, ButtonsByMouseAndLayoutScales) {
  std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
  auto* calc = new TCustomvmCalculator(form.get());
  calc->SetParent(form.get());
  form->SetBounds(0, 0, 600, 500);
  form->Show();
  auto click = [&](int b) {
    TRect r = calc->Button(b).Bounds;
    SendInput(calc, ikMouseDown, {ssLeft}, r.Left + 3, r.Top + 3, mbLeft);
    SendInput(calc, ikMouseUp, {}, r.Left + 3, r.Top + 3, mbLeft);
  };
  click(cbDigit0 + 6);
  click(cbMul);
  click(cbDigit0 + 7);
  click(cbEqual);
  EXPECT_EQ(calc->GetCalcDisplay(), "42");
  // Pressed, dragged off and released: nothing happens.
  TRect r = calc->Button(cbDigit0 + 1).Bounds;
  SendInput(calc, ikMouseDown, {ssLeft}, r.Left + 3, r.Top + 3, mbLeft);
  SendInput(calc, ikMouseMove, {ssLeft}, 1, 1);
  SendInput(calc, ikMouseUp, {}, 1, 1, mbLeft);
  EXPECT_EQ(calc->GetCalcDisplay(), "42");
  calc->SetBounds(0, 0, 103, 68);
  EXPECT_EQ(calc->ButtonHeight(), 22) << "never smaller than the default";
  EXPECT_GT(calc->Width(), 103);
  calc->SetBounds(0, 0, 414, 274);
  EXPECT_GT(calc->ButtonHeight(), 40);
}

TEST(CalcEdit, PopupComputesIntoTheCellAndClosesByEveryRoute) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceCalcEdit::StaticClass(), "12", Rect(20, 20, 200, 40));
  auto* e = static_cast<TvmInplaceCalcEdit*>(f.Grid->EditCell(cell));
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  ASSERT_TRUE(e->PopupShown());
  TvmPopupCalculator* calc = e->Calculator();
  SendTextInput(calc, "+3");
  PressKey(calc, VK_RETURN);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_EQ(e->GetWindowText(), "15");
  EXPECT_TRUE(e->Modified());
  // Division by zero shows Error while open; closing leaves 0.
  PressKey(e->TextWindow(), VK_F1 + 3);
  ASSERT_TRUE(e->PopupShown());
  SendTextInput(calc, "/0=");
  EXPECT_EQ(e->GetWindowText(), "Error");
  PressKey(calc, VK_ESCAPE);
  EXPECT_FALSE(e->PopupShown());
  EXPECT_EQ(e->GetWindowText(), "0");
  // QuickClose: = closes at once; the memory does not survive.
  e->SetQuickClose(true);
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  EXPECT_EQ(calc->Memory(), 0);
  SendTextInput(calc, "2*4=");
  EXPECT_FALSE(e->PopupShown());
  EXPECT_EQ(e->GetWindowText(), "8");
  // A click outside closes; so does Alt+Up.
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  SendInput(f.Grid, ikMouseDown, {ssLeft}, 380, 280, mbLeft);
  EXPECT_FALSE(e->PopupShown());
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  PressKey(calc, VK_UP, {ssAlt});
  EXPECT_FALSE(e->PopupShown());
  // A read-only cell does not open it.
  e->SetReadOnly(true);
  PressKey(e->TextWindow(), VK_DOWN, {ssAlt});
  EXPECT_FALSE(e->PopupShown());
}

TEST(CalcEdit, PaintedCellMatchesLiveWindow) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceCalcEdit::StaticClass(), "3.14159", Rect(20, 20, 200, 40));
  EXPECT_EQ(f.ContentMismatches(cell), 0);
}

TEST(SpinEdit, LimitsStepsAndBadText) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceSpinEdit::StaticClass(), "10", Rect(20, 20, 200, 40),
                             [](TvmInplaceEdit* e) { static_cast<TvmInplaceSpinEdit*>(e)->SetMinMax(0, 10); });
  auto* e = static_cast<TvmInplaceSpinEdit*>(f.Grid->EditCell(cell));
  PressKey(e->TextWindow(), VK_UP);
  EXPECT_EQ(e->GetWindowText(), "10");
  PressKey(e->TextWindow(), VK_DOWN);
  EXPECT_EQ(e->GetWindowText(), "9");
  EXPECT_TRUE(e->Modified());
  // Both limits 0: no limits.
  e->SetMinMax(0, 0);
  e->SetValue(-25);
  EXPECT_EQ(e->GetWindowText(), "-25");
  // Ties go to the even integer.
  e->SetValue(2.5);
  EXPECT_EQ(e->GetWindowText(), "2");
  // Pasted text that is no number becomes the lower limit when leaving.
  e->SetWindowText("abc");
  e->SetModifiedFlag(true);
  e->SetClosing(true);
  e->ValidateEdit();
  EXPECT_EQ(e->GetWindowText(), "0");
  e->SetClosing(false);
  // Letters are refused with a beep; digits go in.
  e->SelectAll();
  int beeps = BeepCount();
  SendTextInput(e->TextWindow(), "x");
  EXPECT_EQ(BeepCount(), beeps + 1);
  SendTextInput(e->TextWindow(), "7");
  EXPECT_EQ(e->GetWindowText(), "7");
  // With the editor disabled digits beep, arrows still spin.
  e->SetEditorEnabled(false);
  SendTextInput(e->TextWindow(), "5");
  EXPECT_EQ(e->GetWindowText(), "7");
  PressKey(e->TextWindow(), VK_UP);
  EXPECT_EQ(e->GetWindowText(), "8");
  // With Ctrl increments plain Up goes to the container.
  e->SetUseCtrlIncrement(true);
  f.Grid->ContainerKeys.clear();
  PressKey(e->TextWindow(), VK_UP);
  EXPECT_EQ(e->GetWindowText(), "8");
  PressKey(e->TextWindow(), VK_UP, {ssCtrl});
  EXPECT_EQ(e->GetWindowText(), "9");
}

TEST(SpinEdit, FloatValuesAndMouseButtonsRepeat) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceSpinEdit::StaticClass(), "1.5", Rect(20, 20, 200, 40), [](TvmInplaceEdit* e) {
    auto* s = static_cast<TvmInplaceSpinEdit*>(e);
    s->SetValueType(vtFloat);
    s->SetIncrement(0.25);
  });
  auto* e = static_cast<TvmInplaceSpinEdit*>(f.Grid->EditCell(cell));
  SendTextInput(e->TextWindow(), "");
  auto vd = e->CreateViewData(false);
  int w = TvmInplaceSpinEdit::GetSpinButtonWidth(vd.get());
  ASSERT_GT(w, 0);
  int x = e->Width() - 2 - w / 2;
  int upY = 4, downY = e->Height() - 4;
  EXPECT_EQ(TvmInplaceSpinEdit::SpinButtonAt(e->EditClass(), vd.get(), x, upY), 1);
  EXPECT_EQ(TvmInplaceSpinEdit::SpinButtonAt(e->EditClass(), vd.get(), x, downY), 2);
  SendInput(e, ikMouseDown, {ssLeft}, x, upY, mbLeft);
  EXPECT_EQ(e->GetWindowText(), "1.75");
  EXPECT_EQ(e->RepeatTimer()->Interval(), 400u);
  EXPECT_TRUE(e->RepeatTimer()->Enabled());
  e->RepeatTimer()->Fire();  // held: repeats, now every 100 ms
  EXPECT_EQ(e->GetWindowText(), "2");
  EXPECT_EQ(e->RepeatTimer()->Interval(), 100u);
  SendInput(e, ikMouseUp, {}, x, upY, mbLeft);
  EXPECT_FALSE(e->RepeatTimer()->Enabled());
  SendInput(e, ikMouseDown, {ssLeft}, x, downY, mbLeft);
  SendInput(e, ikMouseUp, {}, x, downY, mbLeft);
  EXPECT_EQ(e->GetWindowText(), "1.75");
  SendInput(e, ikWheel, {}, 5, 5, -120);
  EXPECT_EQ(e->GetWindowText(), "1.5");
}

TEST(SpinEdit, PaintedCellMatchesLiveWindow) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceSpinEdit::StaticClass(), "1200", Rect(20, 20, 200, 40));
  EXPECT_EQ(f.ContentMismatches(cell), 0);
}

TEST(CheckEdit, ToggleOrdersAndReadOnly) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceCheckEdit::StaticClass(), 0, Rect(20, 20, 60, 40));
  auto* e = static_cast<TvmInplaceCheckEdit*>(f.Grid->EditCell(cell));
  int clicks = 0, changes = 0;
  e->OnClick = [&](TObject*) { ++clicks; };
  e->OnChange = [&](TObject*) { ++changes; };
  std::vector<int> seen;
  for (int i = 0; i < 3; ++i) {
    e->Toggle();
    seen.push_back(e->State());
  }
  EXPECT_EQ(seen, (std::vector<int>{cbsChecked, cbsUnchecked, cbsChecked}));
  e->SetEditValue(2);  // from outside: no click, no change notice
  EXPECT_EQ(clicks, 3);
  EXPECT_EQ(changes, 3);
  e->Toggle();
  EXPECT_EQ(e->State(), cbsChecked);
  e->SetAllowGrayed(true);
  seen.clear();
  e->SetEditValue(0);
  for (int i = 0; i < 3; ++i) {
    e->Toggle();
    seen.push_back(e->State());
  }
  EXPECT_EQ(seen, (std::vector<int>{cbsGrayed, cbsChecked, cbsUnchecked}));
  // Space: press then release toggles; mouse pressed inside, out and released does not.
  PressKey(e, VK_SPACE);
  EXPECT_EQ(e->State(), cbsGrayed);
  SendInput(e, ikMouseDown, {ssLeft}, 5, 5, mbLeft);
  SendInput(e, ikMouseMove, {ssLeft}, 300, 5);
  SendInput(e, ikMouseUp, {}, 300, 5, mbLeft);
  EXPECT_EQ(e->State(), cbsGrayed);
  SendInput(e, ikMouseDown, {ssLeft}, 5, 5, mbLeft);
  SendInput(e, ikMouseMove, {ssLeft}, 300, 5);
  SendInput(e, ikMouseMove, {ssLeft}, 5, 5);
  SendInput(e, ikMouseUp, {}, 5, 5, mbLeft);
  EXPECT_EQ(e->State(), cbsChecked);
  e->SetReadOnly(true);
  e->AfterMouseActivate();
  PressKey(e, VK_SPACE);
  SendInput(e, ikMouseDown, {ssLeft}, 5, 5, mbLeft);
  SendInput(e, ikMouseUp, {}, 5, 5, mbLeft);
  EXPECT_EQ(e->State(), cbsChecked);
  EXPECT_EQ(e->Style()->BorderStyle(), xbsNone);
}

TEST(CheckEdit, PaintedCellMatchesLiveWindowAndShowsTheMark) {
  TEditorFixture f;
  int on = f.Grid->AddCell(TvmInplaceCheckEdit::StaticClass(), 1, Rect(20, 20, 60, 40),
                           [](TvmInplaceEdit* e) { e->SetAlignment(taCenter); });
  int off = f.Grid->AddCell(TvmInplaceCheckEdit::StaticClass(), 0, Rect(20, 60, 60, 80),
                            [](TvmInplaceEdit* e) { e->SetAlignment(taCenter); });
  EXPECT_GT(f.InkPixels(on), f.InkPixels(off)) << "the check mark shows";
  EXPECT_EQ(f.ContentMismatches(on), 0);
}

}  // namespace
