// The time editor's steps by the caret's part, its digit rules and the kept date; the currency
// editor's decimal rule, its conversion and its display format built from the locale.
#include <gtest/gtest.h>

#include "editor_fixture.h"
#include "inspector/vm_time_currency.h"
#include "platform/clipbrd.h"
#include "platform/datetime.h"
#include "platform/sysutils.h"

namespace {

TvmInplaceTimeEdit* EditTime(TEditorFixture& F, const Variant& Value) {
  int cell = F.Grid->AddCell(TvmInplaceTimeEdit::StaticClass(), Value, Rect(20, 20, 200, 40));
  return static_cast<TvmInplaceTimeEdit*>(F.Grid->EditCell(cell));
}

TvmInplaceCurrencyEdit* EditCurrency(TEditorFixture& F, const Variant& Value) {
  int cell = F.Grid->AddCell(TvmInplaceCurrencyEdit::StaticClass(), Value, Rect(20, 20, 200, 40));
  return static_cast<TvmInplaceCurrencyEdit*>(F.Grid->EditCell(cell));
}

}  // namespace

TEST(TimeEdit, StepFollowsTheCaretAndStopsAtMidnight) {
  TEditorFixture f;
  auto* e = EditTime(f, EncodeTime(23, 59, 30, 0));
  ASSERT_EQ(e->GetWindowText(), "23:59:30");
  // Minutes: one more minute is past 23:59:59, nothing happens.
  e->SetCaret(4);
  PressKey(e->TextWindow(), VK_UP);
  EXPECT_EQ(e->GetWindowText(), "23:59:30");
  // Hours step by an hour and the caret stays in the hours.
  e->SetCaret(0);
  PressKey(e->TextWindow(), VK_DOWN);
  EXPECT_EQ(e->GetWindowText(), "22:59:30");
  EXPECT_EQ(e->GetCaretSection(), 'H');
  EXPECT_EQ(e->GetSelStart(), 1);
  // Minutes carry into the hour; seconds step by a second.
  e->SetCaret(3);
  PressKey(e->TextWindow(), VK_UP);
  EXPECT_EQ(e->GetWindowText(), "23:00:30");
  EXPECT_EQ(e->GetSelStart(), 4);
  e->SetCaret(7);
  PressKey(e->TextWindow(), VK_DOWN);
  EXPECT_EQ(e->GetWindowText(), "23:00:29");
  EXPECT_TRUE(e->Modified());
  // Below midnight: nothing happens either.
  e->SetValue(0);
  e->SetCaret(6);
  PressKey(e->TextWindow(), VK_DOWN);
  EXPECT_EQ(e->GetWindowText(), "00:00:00");
}

TEST(TimeEdit, HourAndMinuteDigitsOutOfRangeAreRefused) {
  TEditorFixture f;
  auto* e = EditTime(f, EncodeTime(13, 0, 0, 0));
  int beeps = BeepCount();
  e->SetCaret(0);
  SendTextInput(e->TextWindow(), "3");
  EXPECT_EQ(BeepCount(), beeps + 1);
  EXPECT_EQ(e->GetWindowText(), "13:00:00");
  SendTextInput(e->TextWindow(), "2");
  EXPECT_EQ(e->GetWindowText(), "23:00:00");
  ASSERT_EQ(e->GetSelStart(), 1);
  SendTextInput(e->TextWindow(), "4");
  EXPECT_EQ(BeepCount(), beeps + 2);
  EXPECT_EQ(e->GetWindowText(), "23:00:00");
  SendTextInput(e->TextWindow(), "1");
  EXPECT_EQ(e->GetWindowText(), "21:00:00");
  // The first digit of the minutes and of the seconds goes up to 5.
  e->SetCaret(3);
  SendTextInput(e->TextWindow(), "6");
  e->SetCaret(6);
  SendTextInput(e->TextWindow(), "7");
  EXPECT_EQ(BeepCount(), beeps + 4);
  SendTextInput(e->TextWindow(), "5");
  EXPECT_EQ(e->GetWindowText(), "21:00:50");
}

TEST(TimeEdit, KeepsTheDateAndFollowsItsFormat) {
  TEditorFixture f;
  const double day = EncodeDate(2024, 3, 1);
  auto* e = EditTime(f, day + EncodeTime(12, 0, 0, 0));
  EXPECT_EQ(e->GetWindowText(), "12:00:00");
  EXPECT_DOUBLE_EQ(e->KeptDate(), day);
  EXPECT_FALSE(e->Modified());
  e->SetCaret(0);
  PressKey(e->TextWindow(), VK_UP);
  EXPECT_NEAR(e->EditValue().AsFloat(), day + 13.0 / 24, 1e-9);
  // Typed digits are the value even before the editor is left.
  e->SetCaret(3);
  SendTextInput(e->TextWindow(), "45");
  EXPECT_NEAR(e->EditValue().AsFloat(), day + EncodeTime(13, 45, 0, 0), 1e-9);
  // Empty: no date and midnight, which reads back as 0.
  e->SetEditValue(Variant());
  EXPECT_EQ(e->GetWindowText(), "00:00:00");
  EXPECT_EQ(e->EditValue().AsFloat(), 0.0);
  // Shorter formats show and step only their parts.
  e->SetEditValue(EncodeTime(7, 30, 15, 0));
  e->SetTimeEditFormat(tfHourMin);
  EXPECT_EQ(e->GetWindowText(), "07:30");
  EXPECT_EQ(e->EditMask(), "00:00;1;0");
  e->SetCaret(4);
  PressKey(e->TextWindow(), VK_UP);
  EXPECT_EQ(e->GetWindowText(), "07:31");
  e->SetTimeEditFormat(tfHour);
  EXPECT_EQ(e->GetWindowText(), "07");
  e->SetCaret(1);
  PressKey(e->TextWindow(), VK_UP);
  EXPECT_EQ(e->GetWindowText(), "08");
  // Setting the time from outside needs a container that lets the value change.
  f.Grid->Modifiable = false;
  e->SetTime(EncodeTime(5, 0, 0, 0));
  EXPECT_EQ(e->GetWindowText(), "08");
  f.Grid->Modifiable = true;
  e->SetTime(EncodeTime(5, 0, 0, 0));
  EXPECT_EQ(e->GetWindowText(), "05");
}

TEST(TimeEdit, PaintedCellMatchesLiveWindow) {
  TEditorFixture f;
  int cell = f.Grid->AddCell(TvmInplaceTimeEdit::StaticClass(), EncodeTime(9, 41, 5, 0), Rect(20, 20, 200, 40));
  EXPECT_EQ(f.ContentMismatches(cell), 0);
}

TEST(CurrencyEdit, DecimalsAreCountedUpToTheExponent) {
  TEditorFixture f;
  auto* e = EditCurrency(f, "1.25");
  ASSERT_EQ(e->DecimalPlaces(), 2);
  int beeps = BeepCount();
  e->SetSelection(4, 4);
  SendTextInput(e->TextWindow(), "3");
  EXPECT_EQ(BeepCount(), beeps + 1);
  EXPECT_EQ(e->GetWindowText(), "1.25");
  // Replacing a selected decimal keeps the count.
  e->SetSelection(3, 4);
  SendTextInput(e->TextWindow(), "7");
  EXPECT_EQ(e->GetWindowText(), "1.27");

  e->SetWindowText("1.2E5");
  e->SetSelection(5, 5);
  SendTextInput(e->TextWindow(), "5");  // exponent digits do not count
  EXPECT_EQ(e->GetWindowText(), "1.2E55");
  e->SetSelection(3, 3);
  SendTextInput(e->TextWindow(), "3");
  EXPECT_EQ(e->GetWindowText(), "1.23E55");
  beeps = BeepCount();
  e->SetSelection(4, 4);
  SendTextInput(e->TextWindow(), "4");
  EXPECT_EQ(BeepCount(), beeps + 1);
  EXPECT_EQ(e->GetWindowText(), "1.23E55");

  // Letters are refused, a comma types the decimal separator, a minus starts an empty text.
  e->SetWindowText("");
  SendTextInput(e->TextWindow(), "-");
  SendTextInput(e->TextWindow(), "x");
  SendTextInput(e->TextWindow(), "4,5");
  EXPECT_EQ(e->GetWindowText(), "-4.5");
}

TEST(CurrencyEdit, PastedTextThatIsNoNumberIsUndone) {
  TEditorFixture f;
  auto* e = EditCurrency(f, "12");
  e->SetSelection(2, 2);
  Clipboard()->SetAsText("x7");
  e->PasteFromClipboard();
  EXPECT_EQ(e->GetWindowText(), "12");
  EXPECT_EQ(e->GetSelLength(), 2);
  e->SetSelection(2, 2);
  Clipboard()->SetAsText("3.5");
  e->PasteFromClipboard();
  EXPECT_EQ(e->GetWindowText(), "123.5");
  e->SetReadOnly(true);
  e->SetSelection(0, 5);
  Clipboard()->SetAsText("9");
  e->PasteFromClipboard();
  EXPECT_EQ(e->GetWindowText(), "123.5");
}

TEST(CurrencyEdit, LimitsNullAndLeavingCorrectTheText) {
  TEditorFixture f;
  auto* e = EditCurrency(f, "50");
  e->SetLimits(1, 100);
  e->SetWindowText("500");
  e->SetModifiedFlag(true);
  e->ValidateEdit();
  EXPECT_EQ(e->GetWindowText(), "100");
  e->SetWindowText("abc");
  e->SetModifiedFlag(true);
  e->ValidateEdit();
  EXPECT_EQ(e->GetWindowText(), "1");
  // Nullable: an empty text stays empty and reads back as null.
  e->SetNullable(true);
  e->SetWindowText("");
  e->SetModifiedFlag(true);
  e->ValidateEdit();
  EXPECT_EQ(e->GetWindowText(), "");
  EXPECT_TRUE(e->EditValue().IsNull());
  // A null shows the null string through the display format; an amount shows formatted.
  e->SetNullString("(none)");
  Variant shown;
  e->GetDisplayValue(shown, false);
  EXPECT_EQ(shown.AsString(), "(none)");
  e->SetWindowText("1234.5");
  e->GetDisplayValue(shown, false);
  EXPECT_EQ(shown.AsString(), "$1,234.50");
  // Without a display format the text is shown as it is.
  e->SetDisplayFormatExplicit("");
  e->GetDisplayValue(shown, false);
  EXPECT_EQ(shown.AsString(), "1234.5");
  e->FormatSettingsChanged();
  EXPECT_EQ(e->DisplayFormat(), "");
}

TEST(CurrencyEdit, TextToCurrencyTable) {
  TEditorFixture f;
  struct Case {
    const char* Text;
    bool Ok;
    double Value;
  } cases[] = {
      {"0", true, 0},           {"1,234.5", true, 1234.5}, {"-2.5", true, -2.5}, {"1.2E5", true, 120000},
      {"5e-324", true, 5e-324}, {"1e-330", false, 0},      {"1e400", false, 0},  {"", false, 0},
      {"abc", false, 0},        {"1.2.3", false, 0},       {"-", false, 0},      {"1,,000", true, 1000},
  };
  for (const Case& c : cases) {
    double v = 99;
    EXPECT_EQ(TextToCurrency(c.Text, v), c.Ok) << c.Text;
    EXPECT_EQ(v, c.Value) << c.Text;
  }
  // With a comma as the decimal separator and a point between thousands.
  TLocaleInfo li = DefaultLocaleInfo();
  li.DecimalSeparator = ',';
  li.ThousandSeparator = '.';
  SetLocaleInfo(li);
  double v = 0;
  EXPECT_TRUE(TextToCurrency("1.234,5", v));
  EXPECT_EQ(v, 1234.5);
  SetLocaleInfo(DefaultLocaleInfo());
}

TEST(CurrencyEdit, DefaultDisplayFormatFollowsTheLocale) {
  TEditorFixture f;
  TLocaleInfo li = DefaultLocaleInfo();
  li.CurrencyFormat = 3;
  li.CurrencyDecimals = 2;
  li.CurrencyString = "$";
  SetLocaleInfo(li);
  const std::string fmt = DefaultCurrencyFormat();
  EXPECT_EQ(fmt, ",0.00 $;-,0.00 $");
  EXPECT_EQ(FormatFloat(fmt, 1234.5), "1,234.50 $");
  EXPECT_EQ(FormatFloat(fmt, -1234.5), "-1,234.50 $");
  struct Case {
    int Format, Decimals;
    const char* Symbol;
    const char* Expected;
  } cases[] = {
      {0, 2, "$", "$,0.00;-$,0.00"},
      {1, 3, "kr", ",0.000kr;-,0.000kr"},
      {2, 1, "kr.", "kr'.' ,0.0;-kr'.' ,0.0"},
      {3, 0, "$", ",0 $;-,0 $"},
  };
  for (const Case& c : cases) {
    li.CurrencyFormat = c.Format;
    li.CurrencyDecimals = c.Decimals;
    li.CurrencyString = c.Symbol;
    SetLocaleInfo(li);
    EXPECT_EQ(DefaultCurrencyFormat(), c.Expected) << c.Format;
  }
  // A symbol with a point shows literally.
  EXPECT_EQ(FormatFloat(",0 $;-,0 $", -1500), "-1,500 $");
  li.CurrencyFormat = 2;
  li.CurrencyDecimals = 1;
  li.CurrencyString = "kr.";
  SetLocaleInfo(li);
  EXPECT_EQ(FormatFloat(DefaultCurrencyFormat(), 2.26), "kr. 2.3");
  // An editor made now takes the format in force.
  auto* e = EditCurrency(f, "7");
  EXPECT_EQ(e->DisplayFormat(), "kr'.' ,0.0;-kr'.' ,0.0");
  // A change of the settings in force reaches the editor by itself.
  SetLocaleInfo(DefaultLocaleInfo());
  EXPECT_EQ(e->DisplayFormat(), "$,0.00;-$,0.00");
}

TEST(CurrencyEdit, PaintedCellMatchesLiveWindow) {
  TEditorFixture f;
  // The live editor shows the amount as typed; a cell shows it so too without a display format.
  int cell =
      f.Grid->AddCell(TvmInplaceCurrencyEdit::StaticClass(), "1234.5", Rect(20, 20, 200, 40),
                      [](TvmInplaceEdit* e) { static_cast<TvmInplaceCurrencyEdit*>(e)->SetDisplayFormatExplicit(""); });
  EXPECT_EQ(f.ContentMismatches(cell), 0);
  // With the default format the cell shows the formatted amount: more ink than the plain text.
  int plain = f.InkPixels(cell);
  int formatted =
      f.Grid->AddCell(TvmInplaceCurrencyEdit::StaticClass(), "1234.5", Rect(20, 60, 200, 80), [](TvmInplaceEdit* e) {
        static_cast<TvmInplaceCurrencyEdit*>(e)->SetDisplayFormatExplicit(DefaultCurrencyFormat());
      });
  EXPECT_GT(f.InkPixels(formatted), plain);
}
