// Spin button halves and repeat; spin edit reading, writing, range, stepping, keys and exit check.
#include "controls/vx_spin.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/clipbrd.h"
#include "platform/exceptions.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "platform/typinfo.h"

namespace {

struct Fixture {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TVxSpinEdit* Edit = nullptr;
  int Changes = 0, Tops = 0, Bottoms = 0;
  Fixture() {
    Form->SetBounds(0, 0, 300, 200);
    Edit = new TVxSpinEdit(Form.get());
    Edit->SetParent(Form.get());
    Edit->SetBounds(10, 10, 120, 24);
    Edit->OnChange = [this](TObject*) { ++Changes; };
    Edit->OnTopClick = [this](TObject*) { ++Tops; };
    Edit->OnBottomClick = [this](TObject*) { ++Bottoms; };
    Form->Show();
  }
};

TEST(VxSpinEdit, RangeClampsWrittenValuesAndSteps) {
  Fixture f;
  EXPECT_EQ(f.Edit->Text(), "0");
  f.Edit->SetMinValue(1);
  f.Edit->SetMaxValue(140);
  EXPECT_TRUE(f.Edit->CheckMinValue());
  EXPECT_TRUE(f.Edit->CheckMaxValue());
  EXPECT_EQ(f.Edit->Text(), "1");
  f.Edit->SetValueProp(200);
  EXPECT_EQ(f.Edit->Text(), "140");
  f.Changes = 0;
  f.Edit->StepUp();
  EXPECT_EQ(f.Edit->Text(), "140");
  EXPECT_EQ(f.Changes, 0);
  EXPECT_EQ(f.Tops, 1);
  f.Edit->StepDown();
  EXPECT_EQ(f.Edit->Text(), "139");
  EXPECT_EQ(f.Changes, 1);
  EXPECT_EQ(f.Bottoms, 1);
  EXPECT_TRUE(f.Edit->Modified());
  // A check flag cannot be turned off while its bound is not 0.
  f.Edit->SetCheckMinValue(false);
  EXPECT_TRUE(f.Edit->CheckMinValue());
}

TEST(VxSpinEdit, NoRangeAcceptsAnyValue) {
  Fixture f;
  EXPECT_FALSE(f.Edit->CheckMinValue());
  EXPECT_FALSE(f.Edit->CheckMaxValue());
  f.Edit->SetValueProp(-12345);
  EXPECT_EQ(f.Edit->Text(), "-12345");
  EXPECT_EQ(f.Edit->Value(), -12345);
}

TEST(VxSpinEdit, TextForEachValueType) {
  struct Case {
    TValueType Type;
    uint8_t Decimal;
    std::string Format;
    long double Value;
    std::string Text;
  } cases[] = {
      {vtInteger, 2, "", 2.5L, "2"},  // halves go to the even neighbour
      {vtInteger, 2, "", 3.5L, "4"},
      {vtInteger, 2, "", -7, "-7"},
      {vtInteger, 2, "", 1e30L, "9223372036854775807"},  // held in range, not wrapped
      {vtFloat, 1, "", 12.26L, "12.3"},
      {vtFloat, 2, "", 3, "3.00"},
      {vtFloat, 2, "0.0", 1.25L, "1.2"},
      {vtHex, 2, "", 255, "FF"},
      {vtHex, 2, "", 0, "0"},
  };
  for (const auto& c : cases) {
    Fixture f;
    f.Edit->SetValueType(c.Type);
    f.Edit->SetDecimal(c.Decimal);
    f.Edit->SetDisplayFormat(c.Format);
    f.Edit->SetValueProp(c.Value);
    EXPECT_EQ(f.Edit->Text(), c.Text) << static_cast<double>(c.Value);
  }
}

TEST(VxSpinEdit, FocusedFloatEditsWithoutTheDisplayPattern) {
  Fixture f;
  f.Edit->SetValueType(vtFloat);
  f.Edit->SetDisplayFormat("0.000");
  f.Edit->SetValueProp(1.5L);
  EXPECT_EQ(f.Edit->Text(), "1.500");
  f.Edit->DispatchEnter();
  EXPECT_EQ(f.Edit->Text(), "1.5");
  f.Edit->SetText("2.25");
  f.Edit->DispatchExit();
  EXPECT_EQ(f.Edit->Text(), "2.250");
}

TEST(VxSpinEdit, UnreadableTextGivesTheLowerBound) {
  struct Case {
    TValueType Type;
    std::string Text;
    long double Min;
    long double Expected;
  } cases[] = {
      {vtHex, "ff", 0, 255},       {vtHex, "xyz", 0, 0},       {vtInteger, "abc", 5, 5},
      {vtInteger, "abc", 2.5L, 2}, {vtFloat, "1.5e2", 0, 150}, {vtFloat, "abc", 0.5L, 0.5L},
  };
  for (const auto& c : cases) {
    Fixture f;
    f.Edit->SetValueType(c.Type);
    f.Edit->SetMinValue(c.Min);
    f.Edit->SetText(c.Text);
    EXPECT_EQ(f.Edit->Value(), c.Expected) << c.Text;
  }
}

TEST(VxSpinEdit, NormalisedNumberText) {
  EXPECT_EQ(TVxSpinEdit::NormaliseNumberText("  1,234.5 "), "1234.5");
  EXPECT_EQ(TVxSpinEdit::NormaliseNumberText(""), "0");
  EXPECT_EQ(TVxSpinEdit::NormaliseNumberText("-"), "-0");
}

TEST(VxSpinEdit, ValueTypeChangeRoundsTheIncrement) {
  Fixture f;
  f.Edit->SetValueType(vtFloat);
  f.Edit->SetIncrement(2.6L);
  f.Edit->SetValueProp(1.5L);
  f.Edit->SetValueType(vtInteger);
  EXPECT_EQ(f.Edit->Increment(), 3);
  EXPECT_EQ(f.Edit->Text(), "2");
}

TEST(VxSpinEdit, KeysStepAndFilterCharacters) {
  Fixture f;
  f.Edit->SetValueProp(5);
  SendInput(f.Edit, ikKeyDown, {}, 0, 0, VK_UP);
  EXPECT_EQ(f.Edit->Text(), "6");
  SendInput(f.Edit, ikKeyDown, {}, 0, 0, VK_DOWN);
  SendInput(f.Edit, ikKeyDown, {}, 0, 0, VK_DOWN);
  EXPECT_EQ(f.Edit->Text(), "4");
  f.Edit->SetArrowKeys(false);
  SendInput(f.Edit, ikKeyDown, {}, 0, 0, VK_UP);
  EXPECT_EQ(f.Edit->Text(), "4");

  struct Case {
    TValueType Type;
    std::string Text;
    char Key;
    bool Accepted;
  } cases[] = {
      {vtInteger, "1", '7', true}, {vtInteger, "1", 'a', false}, {vtInteger, "1", '.', false},
      {vtInteger, "1", '-', true}, {vtFloat, "1", '.', true},    {vtFloat, "1.5", '.', false},
      {vtFloat, "1", 'e', true},   {vtFloat, "1E5", 'e', false}, {vtHex, "1", 'f', true},
      {vtHex, "1", 'G', false},    {vtInteger, "1", '\b', true},
  };
  for (const auto& c : cases) {
    f.Edit->SetValueType(c.Type);
    f.Edit->SetText(c.Text);
    EXPECT_EQ(f.Edit->AcceptsChar(c.Key), c.Accepted) << c.Text << " " << c.Key;
  }
  f.Edit->SetEditorEnabled(false);
  EXPECT_FALSE(f.Edit->AcceptsChar('1'));
  EXPECT_FALSE(f.Edit->AcceptsChar('\b'));
}

TEST(VxSpinEdit, PasteKeepsOnlyNumbers) {
  Fixture f;
  struct Case {
    std::string Clip;
    std::string Text;
  } cases[] = {{"x1", "12"}, {"34", "34"}, {"1e", "12"}};
  for (const auto& c : cases) {
    f.Edit->SetText("12");
    f.Edit->SelectAll();
    Clipboard()->SetAsText(c.Clip);
    SendInput(f.Edit, ikKeyDown, {ssCtrl}, 0, 0, 'V');
    EXPECT_EQ(f.Edit->Text(), c.Text) << c.Clip;
  }
  // A hexadecimal edit takes hexadecimal text.
  f.Edit->SetValueType(vtHex);
  f.Edit->SetText("1");
  f.Edit->SelectAll();
  Clipboard()->SetAsText("FF");
  f.Edit->PasteFromClipboard();
  EXPECT_EQ(f.Edit->Text(), "FF");
  f.Edit->SelectAll();
  Clipboard()->SetAsText("FG");
  f.Edit->PasteFromClipboard();
  EXPECT_EQ(f.Edit->Text(), "FF");
  f.Edit->SetValueType(vtInteger);
  f.Edit->SetText("12");

  f.Edit->SetEditorEnabled(false);
  f.Edit->SelectAll();
  Clipboard()->SetAsText("77");
  f.Edit->PasteFromClipboard();
  f.Edit->CutToClipboard();
  EXPECT_EQ(f.Edit->Text(), "12");
}

TEST(VxSpinEdit, PublishedPropertiesAndWhatIsStored) {
  Fixture f;
  SetFloatProp(f.Edit, "MaxValue", 9);
  SetFloatProp(f.Edit, "Value", 12);
  EXPECT_EQ(f.Edit->Text(), "9");
  EXPECT_EQ(GetFloatProp(f.Edit, "Value"), 9);
  // The check flags follow the range: stored only when they differ from it.
  EXPECT_FALSE(GetPropInfo(f.Edit, "CheckMaxValue")->IsStored(f.Edit));
  f.Edit->SetMaxValue(0);
  EXPECT_FALSE(f.Edit->CheckMaxValue());
  f.Edit->SetCheckMaxValue(true);
  EXPECT_TRUE(GetPropInfo(f.Edit, "CheckMaxValue")->IsStored(f.Edit));
  // The empty starting format differs from the default pattern, so it is stored.
  EXPECT_TRUE(GetPropInfo(f.Edit, "DisplayFormat")->IsStored(f.Edit));
  f.Edit->SetDisplayFormat(",0.##");
  EXPECT_FALSE(GetPropInfo(f.Edit, "DisplayFormat")->IsStored(f.Edit));
  SetOrdProp(f.Edit, "ValueType", vtHex);
  EXPECT_EQ(f.Edit->ValueType(), vtHex);
}

TEST(VxSpinEdit, ReadOnlyDoesNotStep) {
  Fixture f;
  f.Edit->SetReadOnly(true);
  f.Edit->StepUp();
  EXPECT_EQ(f.Edit->Text(), "0");
  EXPECT_EQ(f.Tops, 0);
}

TEST(VxSpinEdit, LeavingOutOfRangeRaisesWithCheckOnExit) {
  Fixture f;
  f.Edit->SetMinValue(1);
  f.Edit->SetMaxValue(10);
  f.Edit->SetText("50");
  try {
    f.Edit->CheckValueRange(true, 50);
    FAIL();
  } catch (const ERangeError& e) {
    EXPECT_EQ(e.Message(), "Value must be between 1 and 10");
  }
  EXPECT_EQ(f.Edit->CheckValueRange(false, 50), 10);
  // Without the check leaving clamps silently.
  f.Edit->DispatchEnter();
  f.Edit->DispatchExit();
  EXPECT_EQ(f.Edit->Text(), "10");
  // With it leaving reports the range error and keeps the text, all selected.
  std::string shown;
  Application->OnException = [&](TObject*, const Exception& E) { shown = E.Message(); };
  f.Edit->SetCheckOnExit(true);
  f.Edit->DispatchEnter();
  f.Edit->SetText("50");
  f.Edit->SetSelLength(0);
  f.Edit->DispatchExit();
  Application->OnException = nullptr;
  EXPECT_EQ(shown, "Value must be between 1 and 10");
  EXPECT_EQ(f.Edit->Text(), "50");
  EXPECT_EQ(f.Edit->SelLength(), 2);
}

TEST(VxSpinButton, HalvesByFaceAndRepeatWhileHeld) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  auto* b = new TVxSpinButton(&form);
  b->SetParent(&form);
  b->SetBounds(0, 0, 20, 20);
  form.Show();
  struct Case {
    TrSpinButtonStyle Style;
    int X, Y;
    TSpinButtonState Half;
  } cases[] = {
      {sbsDefault, 2, 2, TSpinButtonState::Top},      {sbsDefault, 18, 18, TSpinButtonState::Bottom},
      {sbsDefault, 15, 10, TSpinButtonState::Bottom}, {sbsDefault, 5, 10, TSpinButtonState::Top},
      {sbsClassic, 15, 10, TSpinButtonState::Top},    {sbsClassic, 2, 11, TSpinButtonState::Bottom},
  };
  for (const auto& c : cases) {
    b->SetButtonStyle(c.Style);
    EXPECT_EQ(b->HalfAt(c.X, c.Y), c.Half) << c.X << "," << c.Y;
  }
  b->SetButtonStyle(sbsDefault);
  int tops = 0, bottoms = 0;
  b->OnTopClick = [&](TObject*) { ++tops; };
  b->OnBottomClick = [&](TObject*) { ++bottoms; };
  SendInput(b, ikMouseDown, {ssLeft}, 3, 3, mbLeft);
  EXPECT_EQ(tops, 1);
  EXPECT_EQ(b->Pressed(), TSpinButtonState::Top);
  ASSERT_NE(b->RepeatTimer(), nullptr);
  EXPECT_EQ(b->RepeatTimer()->Interval(), 400u);
  b->RepeatTimer()->Fire();
  EXPECT_EQ(tops, 2);
  EXPECT_EQ(b->RepeatTimer()->Interval(), 100u);
  // Over the other half the pressed half lets go and does not repeat.
  SendInput(b, ikMouseMove, {ssLeft}, 18, 18);
  EXPECT_EQ(b->Pressed(), TSpinButtonState::None);
  b->RepeatTimer()->Fire();
  EXPECT_EQ(tops, 2);
  SendInput(b, ikMouseMove, {ssLeft}, 3, 3);
  b->RepeatTimer()->Fire();
  EXPECT_EQ(tops, 3);
  SendInput(b, ikMouseUp, {}, 3, 3, mbLeft);
  EXPECT_FALSE(b->RepeatTimer()->Enabled());
  EXPECT_EQ(b->Pressed(), TSpinButtonState::None);
  EXPECT_EQ(bottoms, 0);
}

TEST(VxSpinEdit, ButtonStepsTheEdit) {
  Fixture f;
  TVxSpinButton* b = f.Edit->Button();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->Left() + b->Width(), f.Edit->Width());
  SendInput(b, ikMouseDown, {ssLeft}, 2, 2, mbLeft);
  SendInput(b, ikMouseUp, {}, 2, 2, mbLeft);
  EXPECT_EQ(f.Edit->Text(), "1");
  SendInput(b, ikMouseDown, {ssLeft}, b->Width() - 2, b->Height() - 2, mbLeft);
  SendInput(b, ikMouseUp, {}, b->Width() - 2, b->Height() - 2, mbLeft);
  EXPECT_EQ(f.Edit->Text(), "0");
  EXPECT_EQ(f.Tops, 1);
  EXPECT_EQ(f.Bottoms, 1);
  // The standard kind uses the up-down arrows: fixed width, upper half next, lower half previous.
  f.Edit->SetButtonKind(bkStandard);
  b = f.Edit->Button();
  ASSERT_NE(dynamic_cast<TVxUpDown*>(b), nullptr);
  EXPECT_EQ(b->Width(), DefaultSpinButtonWidth());
  EXPECT_EQ(b->Left() + b->Width(), f.Edit->Width());
  SendInput(b, ikMouseDown, {ssLeft}, 12, 2, mbLeft);
  SendInput(b, ikMouseUp, {}, 12, 2, mbLeft);
  EXPECT_EQ(f.Edit->Text(), "1");
  SendInput(b, ikMouseDown, {ssLeft}, 2, b->Height() - 2, mbLeft);
  SendInput(b, ikMouseUp, {}, 2, b->Height() - 2, mbLeft);
  EXPECT_EQ(f.Edit->Text(), "0");
  EXPECT_EQ(f.Tops, 2);
  f.Edit->SetButtonKind(bkClassic);
  b = f.Edit->Button();
  EXPECT_EQ(b->ButtonStyle(), sbsClassic);
  f.Edit->SetEnabled(false);
  EXPECT_FALSE(b->Enabled());
  // Never lower than the font needs; the button follows the height.
  f.Edit->SetHeight(3);
  EXPECT_GT(f.Edit->Height(), 10);
  f.Edit->Font()->SetSize(30);
  EXPECT_GT(f.Edit->Height(), 30);
  EXPECT_EQ(b->Height(), f.Edit->Height());
}

}  // namespace

// A side panel of labelled spin edits and a check box beside a self-drawn view taking the rest
// (the induction-vector window's shape): Tab walks the panel's controls in order, the check box
// included, then the view, and back round; Shift+Tab walks back.
TEST(VxSpinEdit, TabWalksASidePanelOfSpinEditsToItsCheckBox) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 600, 400);
  auto* panel = new TPanel(&form);
  panel->SetParent(&form);
  panel->SetAlign(alRight);
  panel->SetWidth(80);
  std::vector<TWinControl*> order;
  int top = 8;
  for (const char* name : {"Step", "Imag", "Real"}) {
    auto* label = new TLabel(&form);
    label->SetParent(panel);
    label->SetCaption(name);
    label->SetBounds(6, top, 70, 16);
    top += 18;
    auto* e = new TVxSpinEdit(&form);
    e->SetName(name);
    e->SetParent(panel);
    e->SetMaxValue(10);
    e->SetValue(1);
    e->SetBounds(6, top, 66, 22);
    top += 30;
    order.push_back(e);
  }
  auto* check = new TCheckBox(&form);
  check->SetName("Rev");
  check->SetParent(panel);
  check->SetCaption("Rev real");
  check->SetBounds(6, top, 70, 20);
  order.push_back(check);
  auto* view = new TCustomControl(&form);
  view->SetName("View");
  view->SetParent(&form);
  view->SetAlign(alClient);
  view->SetTabStop(true);
  order.push_back(view);
  form.Show();
  Application->ProcessMessages();
  order[0]->SetFocus();
  auto name = [] { return FocusedControl() ? FocusedControl()->Name() : std::string("(none)"); };
  SendKey({}, '4');
  for (size_t i = 1; i <= order.size(); ++i) {
    SendKey({}, VK_TAB);
    EXPECT_EQ(name(), order[i % order.size()]->Name()) << i;
  }
  for (size_t i = order.size(); i-- > 0;) {
    SendKey({ssShift}, VK_TAB);
    EXPECT_EQ(name(), order[i]->Name()) << i;
  }
  form.Hide();
}
