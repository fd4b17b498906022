#include "inspector/vm_time_currency.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "inspector/vm_date.h"
#include "platform/datetime.h"
#include "platform/localeinfo.h"
#include "platform/shell.h"
#include "platform/sysutils.h"

// ---------------------------------------------------------------------------------------------
// Time editor

namespace {

struct TTimeSteps {
  double Hour, Minute, Second, Last;
};

// The steps and the last time of day, built once.
const TTimeSteps& TimeSteps() {
  static const TTimeSteps steps{EncodeTime(1, 0, 0, 0), EncodeTime(0, 1, 0, 0), EncodeTime(0, 0, 1, 0),
                                EncodeTime(23, 59, 59, 0)};
  return steps;
}

// Half a millisecond: sums of steps land this close to a whole second.
constexpr double kTimeSlack = 0.5 / MSecsPerDay;

}  // namespace

const char* TimeEditDisplayFormat(TvmTimeEditFormat Format) {
  switch (Format) {
    case tfHourMin:
      return "hh:nn";
    case tfHour:
      return "hh";
    default:
      return "hh:nn:ss";
  }
}

const char* TimeEditMask(TvmTimeEditFormat Format) {
  switch (Format) {
    case tfHourMin:
      return "00:00;1;0";
    case tfHour:
      return "00;1;0";
    default:
      return "00:00:00;1;0";
  }
}

VM_DEFINE_CLASS(TvmInplaceTimeEdit)

TvmInplaceTimeEdit::TvmInplaceTimeEdit(TComponent* AOwner) : TvmInplaceSpinEdit(AOwner) {
  SetIgnoreMaskBlank(true);
  DoSetEditMask(TimeEditMask(FTimeEditFormat));
  SetValue(0);
}

void TvmInplaceTimeEdit::SetTimeEditFormat(TvmTimeEditFormat Value) {
  if (Value == FTimeEditFormat) return;
  FTimeEditFormat = Value;
  const bool m = GetModified();
  DoSetEditMask(TimeEditMask(Value));
  FSettingText = true;
  SetWindowText(FormatDateTime(TimeEditDisplayFormat(Value), FTime));
  FSettingText = false;
  SetModified(m);
}

void TvmInplaceTimeEdit::SetTime(double Value) {
  if (Value == FTime) return;
  auto* c = GetContainer();
  if ((c && c->InitializingEditor()) || CanModify()) SetValue(Value);
}

char TvmInplaceTimeEdit::GetCaretSection() const {
  const std::string f = UpperCase(TimeEditDisplayFormat(FTimeEditFormat));
  const int len = static_cast<int>(f.size());
  int p = std::min(GetSelStart(), len - 1);
  if (p < 0) p = 0;
  char c = f[p];
  if (c != 'H' && c != 'N' && c != 'S' && p > 0) c = f[p - 1];
  return c;
}

double TvmInplaceTimeEdit::GetIncrement() {
  switch (GetCaretSection()) {
    case 'H':
      return TimeSteps().Hour;
    case 'N':
      return TimeSteps().Minute;
    case 'S':
      return TimeSteps().Second;
    default:
      return 0;
  }
}

double TvmInplaceTimeEdit::GetValue() {
  TDateTime t;
  return TryStrToTime(Trim(GetWindowText()), t) ? t : 0;
}

bool TvmInplaceTimeEdit::IsValidSpinKey(char Key) {
  if (!TvmInplaceSpinEdit::IsValidSpinKey(Key)) return false;
  if (Key < '0' || Key > '9') return true;
  const int caret = GetSelStart();
  if (caret == 0) return Key <= '2';
  if (caret == 1) {
    const std::string t = GetWindowText();
    return t.empty() || t[0] != '2' || Key <= '3';
  }
  if ((caret == 3 && FTimeEditFormat != tfHour) || (caret == 6 && FTimeEditFormat == tfHourMinSec)) return Key <= '5';
  return true;
}

void TvmInplaceTimeEdit::SetValue(double Value) {
  // Past midnight either way: nothing happens.
  if (Value < -kTimeSlack || Value > TimeSteps().Last + kTimeSlack) return;
  Value = std::clamp(Value, 0.0, TimeSteps().Last);
  int keep = 1;
  if (HandleAllocated()) {
    const int caret = GetSelStart();
    keep = caret < 3 ? 1 : caret < 6 ? 4 : 7;
  }
  FTime = Value;
  std::string s;
  try {
    s = FormatDateTime(TimeEditDisplayFormat(FTimeEditFormat), Value);
  } catch (const Exception&) {
    s = FormatDateTime(LocaleInfo().LongTimeFormat, Now());
  }
  const bool m = GetModified();
  if (s != GetWindowText()) {
    FSettingText = true;
    SetWindowText(s);
    FSettingText = false;
  }
  SetModified(m);
  keep = std::min(keep, std::max(GetTextLength() - 1, 0));
  SetSelection(keep, keep + 1);
}

void TvmInplaceTimeEdit::SetEditValue(const Variant& Value) {
  const bool m = GetModified();
  double v = 0;
  bool empty = Value.IsNull() || (Value.IsString() && Trim(Value.AsString()).empty());
  if (!empty) {
    if (Value.IsString()) {
      TDateTime t;
      const std::string s = Trim(Value.AsString());
      if (!TryStrToDateTime(s, t) && !TryStrToTime(s, t) && !TryStrToFloat(s, t)) t = 0;
      v = t;
    } else {
      v = Value.AsFloat();
    }
  }
  if (empty) {
    FKeptDate = 0;
    SetValue(0);
  } else {
    FKeptDate = DatePart(v);
    SetValue(std::fabs(v - FKeptDate));
  }
  SetModified(m);
  ClearUndo();
}

void TvmInplaceTimeEdit::GetEditValue(Variant& Value) {
  // Typed digits count even before the editor was left.
  if (GetModified()) {
    TDateTime t;
    if (TryStrToTime(Trim(GetWindowText()), t) && t >= 0 && t <= TimeSteps().Last + kTimeSlack) FTime = t;
  }
  if (FTime == 0 && FKeptDate == 0) {
    Value = 0.0;
    return;
  }
  Value = FKeptDate < 0 ? FKeptDate - FTime : FKeptDate + FTime;
}

void TvmInplaceTimeEdit::SelectAll() { TvmInplaceTextEdit::SelectAll(); }

// ---------------------------------------------------------------------------------------------
// Currency editor

std::string DefaultCurrencyFormat() {
  const TLocaleInfo& li = LocaleInfo();
  std::string s = ",0";
  // Without decimals there is no point to show.
  if (li.CurrencyDecimals > 0) s += "." + std::string(li.CurrencyDecimals, '0');
  std::string sym;
  for (char c : li.CurrencyString) {
    if (c == '.' || c == ',')
      sym += std::string("'") + c + "'";
    else
      sym += c;
  }
  switch (li.CurrencyFormat) {
    case 0:
      s = sym + s;
      break;
    case 1:
      s = s + sym;
      break;
    case 2:
      s = sym + " " + s;
      break;
    case 3:
      s = s + " " + sym;
      break;
    default:
      break;
  }
  return s + ";-" + s;
}

bool TextToCurrency(const std::string& Text, double& Value) {
  Value = 0;
  const TLocaleInfo& li = LocaleInfo();
  std::string t;
  for (char c : Text) {
    if (c == li.ThousandSeparator) continue;
    t += c == li.DecimalSeparator ? '.' : c;
  }
  long double x;
  if (!TryStrToFloat(t, x)) return false;
  const long double a = std::fabs(x);
  if (a != 0 && (a < 4.9406564584124654e-324L || a > static_cast<long double>(DBL_MAX))) return false;
  Value = static_cast<double>(x);
  return true;
}

VM_DEFINE_CLASS(TvmInplaceCurrencyEdit)

TvmInplaceCurrencyEdit::TvmInplaceCurrencyEdit(TComponent* AOwner) : TvmInplaceMaskEdit(AOwner) {
  FDisplayFormat = GetDefaultDisplayFormat();
  // A change of the system's settings brings a new default format.
  FLocaleHandler = AddLocaleChangeHandler([this] { FormatSettingsChanged(); });
}

TvmInplaceCurrencyEdit::~TvmInplaceCurrencyEdit() { RemoveLocaleChangeHandler(FLocaleHandler); }

void TvmInplaceCurrencyEdit::SetDisplayFormat(const std::string& Value) {
  if (Value == FDisplayFormat) return;
  FDisplayFormat = Value;
  Invalidate();
}

void TvmInplaceCurrencyEdit::SetDisplayFormatExplicit(const std::string& Value) {
  FStoredValues |= 1u << svmDisplayFormat;
  SetDisplayFormat(Value);
}

void TvmInplaceCurrencyEdit::SetNullable(bool Value) {
  if (Value == FNullable) return;
  FNullable = Value;
  Invalidate();
}

void TvmInplaceCurrencyEdit::SetNullString(const std::string& Value) {
  if (Value == FNullString) return;
  FNullString = Value;
  Invalidate();
}

void TvmInplaceCurrencyEdit::FormatSettingsChanged() {
  if (!IsStored(svmDisplayFormat)) SetDisplayFormat(GetDefaultDisplayFormat());
}

double TvmInplaceCurrencyEdit::GetCurrencyValue() {
  const std::string t = Trim(GetWindowText());
  if (t.empty()) return 0;
  double v;
  return TextToCurrency(t, v) ? v : FMinValue;
}

void TvmInplaceCurrencyEdit::SetCurrencyValue(double Value) {
  if (FMinValue != FMaxValue) Value = std::clamp(Value, FMinValue, FMaxValue);
  std::string s = FloatToStrF(Value, ffGeneral, 15, 0);
  std::replace(s.begin(), s.end(), '.', LocaleInfo().DecimalSeparator);
  if (s == GetWindowText()) return;
  const bool m = GetModified();
  SetWindowText(s);
  SetModified(m);
}

// An empty (null) text stays empty when the limits change.
void TvmInplaceCurrencyEdit::ReapplyValue() {
  if (!Trim(GetWindowText()).empty()) SetCurrencyValue(GetCurrencyValue());
}

void TvmInplaceCurrencyEdit::SetMaxValue(double Value) {
  if (Value < FMinValue) Value = FMinValue;
  FStoredValues |= 1u << svmMaxValue;
  if (Value == FMaxValue) return;
  FMaxValue = Value;
  ReapplyValue();
}

void TvmInplaceCurrencyEdit::SetMinValue(double Value) {
  if (Value > FMaxValue) Value = FMaxValue;
  FStoredValues |= 1u << svmMinValue;
  if (Value == FMinValue) return;
  FMinValue = Value;
  ReapplyValue();
}

void TvmInplaceCurrencyEdit::SetMinMax(double AMin, double AMax) {
  FMaxValue = AMax;
  FMinValue = std::min(AMin, AMax);
  ReapplyValue();
}

void TvmInplaceCurrencyEdit::SetLimits(double AMin, double AMax) {
  FStoredValues |= (1u << svmMinValue) | (1u << svmMaxValue);
  SetMinMax(AMin, AMax);
}

void TvmInplaceCurrencyEdit::ReadBindingProperties() {
  TvmInplaceMaskEdit::ReadBindingProperties();
  if (!IsStored(svmMinValue) && !IsStored(svmMaxValue))
    SetMinMax(GetDefaultMinValue(), GetDefaultMaxValue());
  else {
    if (!IsStored(svmMinValue)) FMinValue = GetDefaultMinValue();
    if (!IsStored(svmMaxValue)) FMaxValue = GetDefaultMaxValue();
  }
  if (!IsStored(svmDisplayFormat)) SetDisplayFormat(GetDefaultDisplayFormat());
}

void TvmInplaceCurrencyEdit::RestoreDefaults() {
  TvmInplaceMaskEdit::RestoreDefaults();
  SetMinMax(GetDefaultMinValue(), GetDefaultMaxValue());
  SetDisplayFormat(GetDefaultDisplayFormat());
}

bool TvmInplaceCurrencyEdit::UsesInactiveView() const {
  return TvmInplaceMaskEdit::UsesInactiveView() || !FDisplayFormat.empty();
}

void TvmInplaceCurrencyEdit::GetDisplayValue(Variant& Value, bool UseBindingValue) {
  if (FDisplayFormat.empty()) {
    TvmInplaceMaskEdit::GetDisplayValue(Value, UseBindingValue);
    return;
  }
  double v;
  if (!TextToCurrency(Trim(GetWindowText()), v)) {
    if (FNullable) {
      Value = FNullString;
      return;
    }
    v = 0;
  }
  try {
    Value = FormatFloat(FDisplayFormat, v);
  } catch (const Exception&) {
    Value = GetWindowText();
  }
}

void TvmInplaceCurrencyEdit::GetEditValue(Variant& Value) {
  if (FNullable && Trim(GetWindowText()).empty()) {
    Value = Variant();
    return;
  }
  TvmInplaceMaskEdit::GetEditValue(Value);
}

void TvmInplaceCurrencyEdit::ValidateEdit() {
  TvmInplaceMaskEdit::ValidateEdit();
  if (GetModified() && (!Trim(GetWindowText()).empty() || !FNullable)) SetCurrencyValue(GetCurrencyValue());
}

bool TvmInplaceCurrencyEdit::IsValidCurrencyKey(char Key) {
  const TLocaleInfo& li = LocaleInfo();
  const bool allowed = Key == '+' || Key == '-' || (Key >= '0' && Key <= '9') || Key == 'E' || Key == 'e' ||
                       Key == li.DecimalSeparator || (FUseThousandSeparator && Key == li.ThousandSeparator);
  if (!allowed) return false;
  std::string t = GetWindowText();
  int s, e;
  GetSelection(s, e);
  s = std::clamp(s, 0, static_cast<int>(t.size()));
  e = std::clamp(e, s, static_cast<int>(t.size()));
  t = t.substr(0, s) + Key + t.substr(e);
  if (Key == '-' && t == "-") return true;
  const size_t sep = t.find(li.DecimalSeparator);
  if (sep != std::string::npos) {
    size_t end = t.find_first_of("Ee", sep + 1);
    if (end == std::string::npos) end = t.size();
    int digits = 0;
    for (size_t i = sep + 1; i < end; ++i)
      if (t[i] >= '0' && t[i] <= '9') ++digits;
    if (digits > FDecimalPlaces) return false;
  }
  double v;
  return TextToCurrency(t, v);
}

void TvmInplaceCurrencyEdit::KeyPress(char& Key) {
  const TLocaleInfo& li = LocaleInfo();
  if (!(FUseThousandSeparator && Key == li.ThousandSeparator) && (Key == ',' || Key == '.')) Key = li.DecimalSeparator;
  if (static_cast<unsigned char>(Key) > 31 && !IsValidCurrencyKey(Key)) {
    MessageBeep();
    Key = 0;
    return;
  }
  TvmInplaceMaskEdit::KeyPress(Key);
}

void TvmInplaceCurrencyEdit::PasteFromClipboard() {
  if (!IsEditable()) return;
  const std::string before = GetWindowText();
  TvmInplaceMaskEdit::PasteFromClipboard();
  double v;
  if (!TextToCurrency(Trim(GetWindowText()), v)) {
    SetWindowText(before);
    SelectAll();
  }
}
