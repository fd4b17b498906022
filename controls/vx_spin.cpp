#include "controls/vx_spin.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>

#include "controls/vx_utils.h"
#include "platform/bitmap.h"
#include "platform/clipbrd.h"
#include "platform/canvas.h"
#include "platform/exceptions.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/sysutils.h"
#include "platform/typinfo.h"

namespace {
const TEnumInfo ValueTypeInfo("TValueType", {"vtInteger", "vtFloat", "vtHex"});
const TEnumInfo ButtonKindInfo("TSpinButtonKind", {"bkStandard", "bkDiagonal", "bkClassic"});
const TEnumInfo SpinStyleInfo("TrSpinButtonStyle", {"sbsDefault", "sbsClassic"});
}  // namespace

VM_PUBLISH(TVxSpinButton) {
  P.Enum("ButtonStyle", &TVxSpinButton::ButtonStyle, &TVxSpinButton::SetButtonStyle, SpinStyleInfo).Default(sbsDefault);
  P.Event("OnTopClick", &TVxSpinButton::OnTopClick);
  P.Event("OnBottomClick", &TVxSpinButton::OnBottomClick);
}
VM_DEFINE_CLASS(TVxUpDown)
VM_DEFINE_CLASS(TVxCustomSpinEdit)
VM_PUBLISH(TVxSpinEdit) {
  using E = TVxSpinEdit;
  P.Enum("ValueType", &E::ValueType, &E::SetValueType, ValueTypeInfo).Default(vtInteger);
  P.Int("Decimal", &E::Decimal, &E::SetDecimal).Default(2);
  P.String("DisplayFormat", &E::DisplayFormat, &E::SetDisplayFormat).Stored(&E::DisplayFormatStored);
  P.Float("Increment", &E::Increment, &E::SetIncrement).Default(1);
  P.Float("MinValue", &E::MinValue, &E::SetMinValue).Default(0);
  P.Float("MaxValue", &E::MaxValue, &E::SetMaxValue).Default(0);
  P.Bool("CheckMinValue", &E::CheckMinValue, &E::SetCheckMinValue).Stored(&E::CheckMinValueStored);
  P.Bool("CheckMaxValue", &E::CheckMaxValue, &E::SetCheckMaxValue).Stored(&E::CheckMaxValueStored);
  P.Float("Value", &E::Value, &E::SetValueProp).Stored(&E::ValueStored);
  P.Bool("CheckOnExit", &E::CheckOnExit, &E::SetCheckOnExit).Default(false);
  P.Bool("EditorEnabled", &E::EditorEnabled, &E::SetEditorEnabled).Default(true);
  P.Bool("ArrowKeys", &E::ArrowKeys, &E::SetArrowKeys).Default(true);
  P.Enum("ButtonKind", &E::ButtonKind, &E::SetButtonKind, ButtonKindInfo).Default(bkDiagonal);
  P.Enum("Alignment", &E::Alignment, &E::SetAlignment, AlignmentInfo).Default(taLeftJustify);
  P.Event("OnTopClick", &E::OnTopClick);
  P.Event("OnBottomClick", &E::OnBottomClick);
}

int32_t DefaultSpinButtonWidth() { return 15; }

namespace {

constexpr uint32_t InitRepeatPause = 400;
constexpr uint32_t RepeatPause = 100;

void Edge(TCanvas* C, const TRect& R, TColor TopLeft, TColor BottomRight) {
  C->Pen()->SetColor(TopLeft);
  C->MoveTo(R.Left, R.Bottom - 1);
  C->LineTo(R.Left, R.Top);
  C->LineTo(R.Right - 1, R.Top);
  C->Pen()->SetColor(BottomRight);
  C->LineTo(R.Right - 1, R.Bottom - 1);
  C->LineTo(R.Left - 1, R.Bottom - 1);
}

long double RoundHalfEven(long double X) { return std::nearbyint(X); }

// Rounded to a whole number, held inside the 64-bit range (a cast from outside it is undefined).
int64_t ToWhole(long double X) {
  if (std::isnan(X)) return 0;
  constexpr long double lo = -9223372036854775807.0L - 1, hi = 9223372036854775807.0L;
  const long double r = RoundHalfEven(X);
  if (r <= lo) return INT64_MIN;
  if (r >= hi) return INT64_MAX;
  return static_cast<int64_t>(r);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TVxSpinButton

TVxSpinButton::TVxSpinButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FUpGlyph(std::make_unique<TBitmap>()), FDownGlyph(std::make_unique<TBitmap>()) {
  SetBounds(0, 0, 20, 20);
  SetClickOnMouseUp(false);
}

TVxSpinButton::~TVxSpinButton() {
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  delete FRepeatTimer;
}

void TVxSpinButton::SetButtonStyle(TrSpinButtonStyle Value) {
  if (Value == FButtonStyle) return;
  FButtonStyle = Value;
  Invalidate();
}

void TVxSpinButton::SetUpGlyph(TBitmap* Value) {
  if (Value)
    FUpGlyph->Assign(Value);
  else
    FUpGlyph->SetSize(0, 0);
  Invalidate();
}

void TVxSpinButton::SetDownGlyph(TBitmap* Value) {
  if (Value)
    FDownGlyph->Assign(Value);
  else
    FDownGlyph->SetSize(0, 0);
  Invalidate();
}

void TVxSpinButton::SetFocusControl(TWinControl* Value) {
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TVxSpinButton::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
  if (Operation == opRemove && AComponent == FRepeatTimer) FRepeatTimer = nullptr;
}

TSpinButtonState TVxSpinButton::HalfAt(int X, int Y) const {
  const int w = Width(), h = Height();
  bool lower;
  if (FButtonStyle == sbsDefault)
    lower = w > 0 && Y > h - static_cast<double>(h) / w * X;
  else
    lower = Y > h / 2;
  return lower ? TSpinButtonState::Bottom : TSpinButtonState::Top;
}

void TVxSpinButton::FireHalf(TSpinButtonState Half) {
  if (Half == TSpinButtonState::Top) {
    if (OnTopClick) OnTopClick(this);
  } else if (Half == TSpinButtonState::Bottom) {
    if (OnBottomClick) OnBottomClick(this);
  }
}

void TVxSpinButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
    FFocusControl->SetFocus();
  if (FDown == TSpinButtonState::None) {
    FLastDown = FDown;
    FDown = HalfAt(X, Y);
    FDragging = true;
    SetMouseCapture(true);
    if (FLastDown != FDown) {
      FLastDown = FDown;
      Repaint();
    }
    FireHalf(FDown);
    if (!FRepeatTimer) {
      FRepeatTimer = new TTimer(this);
      FRepeatTimer->SetEnabled(false);
      FRepeatTimer->OnTimer = [this](TObject* S) { TimerExpired(S); };
    }
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetInterval(InitRepeatPause);
    FRepeatTimer->SetEnabled(true);
  }
}

void TVxSpinButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  TSpinButtonState s = TSpinButtonState::None;
  if (X >= 0 && X <= Width() && Y >= 0 && Y <= Height()) {
    const TSpinButtonState half = HalfAt(X, Y);
    if (half == FLastDown) s = half;
  }
  if (s != FDown) {
    FDown = s;
    Repaint();
  }
}

void TVxSpinButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FDragging) return;
  FDragging = false;
  SetMouseCapture(false);
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
  FDown = TSpinButtonState::None;
  FLastDown = TSpinButtonState::None;
  Repaint();
}

void TVxSpinButton::TimerExpired(TObject*) {
  FRepeatTimer->SetInterval(RepeatPause);
  if (FDown != TSpinButtonState::None && MouseCapture()) {
    TScopeFail stopRepeat([&] { FRepeatTimer->SetEnabled(false); });
    FireHalf(FDown);
  }
}

void TVxSpinButton::DrawArrow(TCanvas* C, int CX, int CY, bool Up, TBitmap* Glyph) {
  if (Glyph && !Glyph->Empty()) {
    DrawColorKeyedAt(C, CX - Glyph->Width() / 2, CY - Glyph->Height() / 2, Glyph, clDefault);
    return;
  }
  // Built-in arrow: a small filled triangle.
  const TColor ink = Enabled() ? clBtnText : clBtnShadow;
  for (int row = 0; row < 3; ++row) {
    const int y = Up ? CY - 1 + row : CY + 1 - row;
    for (int x = CX - row; x <= CX + row; ++x) C->SetPixels(x, y, ink);
  }
}

void TVxSpinButton::Paint() {
  if (!Enabled() && !ComponentState().Contains(csDesigning)) FDragging = false;
  TCanvas* c = Canvas();
  const int w = Width(), h = Height();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(Rect(0, 0, w, h));
  c->Pen()->SetMode(pmCopy);
  c->Pen()->SetWidth(1);
  const bool top = FDown == TSpinButtonState::Top, bottom = FDown == TSpinButtonState::Bottom;
  if (FButtonStyle == sbsClassic) {
    const TRect up(0, 0, w, h / 2), down(0, h / 2, w, h);
    Edge(c, up, top ? clBtnShadow : clBtnHighlight, top ? clBtnHighlight : clBtnShadow);
    Edge(c, down, bottom ? clBtnShadow : clBtnHighlight, bottom ? clBtnHighlight : clBtnShadow);
    DrawArrow(c, w / 2, h / 4 + (top ? 1 : 0), true, FUpGlyph.get());
    DrawArrow(c, w / 2, h / 2 + h / 4, false, FDownGlyph.get());
  } else {
    Edge(c, Rect(0, 0, w, h), clBtnHighlight, clWindowFrame);
    // The diagonal from the lower left to the upper right corner.
    c->Pen()->SetColor(clBtnShadow);
    c->MoveTo(1, h - 2);
    c->LineTo(w - 1, 0);
    c->Pen()->SetColor(clBtnHighlight);
    c->MoveTo(2, h - 2);
    c->LineTo(w - 1, 1);
    if (top) {
      c->Pen()->SetColor(clWindowFrame);
      c->MoveTo(0, h - 1);
      c->LineTo(0, 0);
      c->LineTo(w, 0);
    } else if (bottom) {
      c->Pen()->SetColor(clWindowFrame);
      c->MoveTo(w - 1, 0);
      c->LineTo(w - 1, h - 1);
      c->LineTo(-1, h - 1);
    }
    DrawArrow(c, w / 4 + (top ? 1 : 0), h / 4 + (top ? 1 : 0), true, FUpGlyph.get());
    DrawArrow(c, 3 * w / 4 - 1, 3 * h / 4 - 1, false, FDownGlyph.get());
  }
}

// ---------------------------------------------------------------------------------------------
// TVxUpDown

TVxUpDown::TVxUpDown(TComponent* AOwner) : TVxSpinButton(AOwner) {
  SetButtonStyle(sbsClassic);
  TVxSpinButton::OnTopClick = [this](TObject*) {
    if (OnClick) OnClick(this, btNext);
  };
  TVxSpinButton::OnBottomClick = [this](TObject*) {
    if (OnClick) OnClick(this, btPrev);
  };
  SetBounds(Left(), Top(), DefaultSpinButtonWidth(), Height());
}

void TVxUpDown::SetBounds(int32_t ALeft, int32_t ATop, int32_t, int32_t AHeight) {
  TVxSpinButton::SetBounds(ALeft, ATop, DefaultSpinButtonWidth(), AHeight);
}

// ---------------------------------------------------------------------------------------------
// TVxCustomSpinEdit

TVxCustomSpinEdit::TVxCustomSpinEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
  TCustomEdit::SetText("0");
  RebuildButton();
}

TVxCustomSpinEdit::~TVxCustomSpinEdit() = default;

void TVxCustomSpinEdit::RebuildButton() {
  delete FButton;
  FButton = nullptr;
  if (FButtonKind == bkStandard) {
    auto* ud = new TVxUpDown(this);
    ud->OnClick = [this](TObject*, TUDBtnType B) {
      if (TabStop() && CanFocus() && !Focused()) SetFocus();
      if (B == btNext)
        StepUp();
      else
        StepDown();
    };
    FButton = ud;
  } else {
    FButton = new TVxSpinButton(this);
    FButton->SetFocusControl(this);
    FButton->SetButtonStyle(FButtonKind == bkDiagonal ? sbsDefault : sbsClassic);
    FButton->OnTopClick = [this](TObject*) { StepUp(); };
    FButton->OnBottomClick = [this](TObject*) { StepDown(); };
  }
  FButton->SetParent(this);
  PlaceButton();
}

void TVxCustomSpinEdit::PlaceButton() {
  if (!FButton) return;
  const int32_t h = Height();
  if (FButtonKind == bkDiagonal)
    FButton->SetBounds(Width() - h, 0, h, h);
  else
    FButton->SetBounds(Width() - DefaultSpinButtonWidth(), 0, DefaultSpinButtonWidth(), h);
  FButton->SetEnabled(Enabled());
}

int32_t TVxCustomSpinEdit::MinHeight() const {
  TBitmap probe(1, 1);
  probe.Canvas()->SetFont(Font());
  return probe.Canvas()->TextHeight("0") + 4 * 1 + 1;
}

void TVxCustomSpinEdit::FontChanged() {
  TCustomEdit::FontChanged();
  if (Height() < MinHeight()) SetHeight(MinHeight());
  PlaceButton();
}

void TVxCustomSpinEdit::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  AHeight = std::max(AHeight, MinHeight());
  TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
  PlaceButton();
}

void TVxCustomSpinEdit::EnabledChanged() {
  TCustomEdit::EnabledChanged();
  PlaceButton();
}

void TVxCustomSpinEdit::SetButtonKind(TSpinButtonKind Value) {
  if (Value == FButtonKind) return;
  FButtonKind = Value;
  RebuildButton();
}

void TVxCustomSpinEdit::SetArrowKeys(bool Value) {
  FArrowKeys = Value;
  PlaceButton();
}

void TVxCustomSpinEdit::SetValueType(TValueType NewType) {
  if (NewType == FValueType) return;
  const long double v = GetValue();
  FValueType = NewType;
  SetValue(v);
  if (NewType == vtInteger || NewType == vtHex) FIncrement = RoundHalfEven(FIncrement);
}

void TVxCustomSpinEdit::SetDecimal(uint8_t Value) {
  if (Value == FDecimal) return;
  const long double v = GetValue();
  FDecimal = Value;
  SetValue(v);
}

void TVxCustomSpinEdit::SetDisplayFormat(const std::string& Value) {
  if (Value == FDisplayFormat) return;
  const long double v = GetValue();
  FDisplayFormat = Value;
  SetValue(v);
}

void TVxCustomSpinEdit::ReformatText() {
  if (FValueType != vtFloat || !FFocused || FDisplayFormat.empty()) return;
  std::string pattern = "0";
  if (FDecimal > 0) pattern += "." + std::string(FDecimal, '#');
  TCustomEdit::SetText(FormatFloat(pattern, GetValue()));
}

long double TVxCustomSpinEdit::ClampValue(long double X) const {
  if (!FCheckMinValue && !FCheckMaxValue) return X;
  if (FCheckMinValue && X < FMinValue) return FMinValue;
  if (FCheckMaxValue && X > FMaxValue) return FMaxValue;
  return X;
}

long double TVxCustomSpinEdit::CheckValueRange(bool Raise, long double X) const {
  const long double r = ClampValue(X);
  if ((FCheckMinValue || FCheckMaxValue) && Raise && r != X)
    throw ERangeError(
        Format("Value must be between %g and %g", {static_cast<double>(FMinValue), static_cast<double>(FMaxValue)}));
  return r;
}

void TVxCustomSpinEdit::SetCheckMinValue(bool Value) {
  if (FMinValue != 0) Value = true;
  FCheckMinValue = Value;
  if (ComponentState().Contains(csLoading)) FMinAuto = false;
  SetValue(GetValue());
}

void TVxCustomSpinEdit::SetCheckMaxValue(bool Value) {
  if (FMaxValue != 0) Value = true;
  FCheckMaxValue = Value;
  if (ComponentState().Contains(csLoading)) FMaxAuto = false;
  SetValue(GetValue());
}

void TVxCustomSpinEdit::SetMinValue(long double Value) {
  if (Value == FMinValue) return;
  const long double v = GetValue();
  const bool crossesZero = (FMinValue == 0) != (Value == 0);
  const bool minHeldDefault = FCheckMinValue == RangeSet();
  FMinValue = Value;
  if (crossesZero && FMinAuto) {
    FCheckMinValue = RangeSet();
    if (minHeldDefault && FMaxAuto) FCheckMaxValue = RangeSet();
  }
  SetValue(v);
}

void TVxCustomSpinEdit::SetMaxValue(long double Value) {
  if (Value == FMaxValue) return;
  const long double v = GetValue();
  const bool crossesZero = (FMaxValue == 0) != (Value == 0);
  const bool maxHeldDefault = FCheckMaxValue == RangeSet();
  FMaxValue = Value;
  if (crossesZero && FMaxAuto) {
    FCheckMaxValue = RangeSet();
    if (maxHeldDefault && FMinAuto) FCheckMinValue = RangeSet();
  }
  SetValue(v);
}

void TVxCustomSpinEdit::Change() {
  if (!FChanging) TCustomEdit::Change();
}

void TVxCustomSpinEdit::Step(long double Delta, const TNotifyEvent& After) {
  if (ReadOnly()) {
    SoundDefaultBeep();
    return;
  }
  const std::string before = Text();
  FChanging = true;
  {
    TScopeExit changing([&] { FChanging = false; });
    SetValue(GetValue() + Delta);
  }
  if (CompareText(before, Text()) != 0) {
    SetModified(true);
    Change();
  }
  if (After) After(this);
}

void TVxCustomSpinEdit::StepUp() { Step(FIncrement, OnTopClick); }
void TVxCustomSpinEdit::StepDown() { Step(-FIncrement, OnBottomClick); }

bool TVxCustomSpinEdit::AcceptsChar(char Key) {
  const unsigned char k = static_cast<unsigned char>(Key);
  if (!FEditorEnabled && (k >= 32 || Key == VK_BACK)) return false;
  if (Key == '+' || Key == '-' || (Key >= '0' && Key <= '9') || k < 32) return true;
  const std::string& t = Text();
  if (FValueType == vtFloat) {
    if ((Key == '.' || Key == DecimalSeparator) && t.find(DecimalSeparator) == std::string::npos) return true;
    if ((Key == 'E' || Key == 'e') && t.find_first_of("Ee") == std::string::npos) return true;
  }
  if (FValueType == vtHex && std::isxdigit(k)) return true;
  return false;
}

void TVxCustomSpinEdit::PasteFromClipboard() {
  if (!FEditorEnabled || ReadOnly()) return;
  const long double old = GetValue();
  SetSelText(Clipboard()->AsText());
  // Hexadecimal text is checked as such: "FF" is no floating number but a good hex value.
  long double check;
  int64_t hex;
  const bool valid = FValueType == vtHex ? TryStrToInt64("$" + TrimSpaces(Text()), hex) : TryStrToFloat(Text(), check);
  if (!valid) SetValue(old);
}

void TVxCustomSpinEdit::CutToClipboard() {
  if (!FEditorEnabled || ReadOnly()) return;
  Clipboard()->SetAsText(SelText());
  ClearSelection();
}

void TVxCustomSpinEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomEdit::KeyDown(Key, Shift);
  // Paste and cut go through the checks above instead of the native edit's own.
  if ((Key == 'V' && Shift.Contains(ssCtrl)) || (Key == VK_INSERT && Shift.Contains(ssShift))) {
    PasteFromClipboard();
    Key = 0;
    return;
  }
  if ((Key == 'X' && Shift.Contains(ssCtrl)) || (Key == VK_DELETE && Shift.Contains(ssShift))) {
    CutToClipboard();
    Key = 0;
    return;
  }
  if (FArrowKeys && (Key == VK_UP || Key == VK_DOWN)) {
    if (Key == VK_UP)
      StepUp();
    else
      StepDown();
    Key = 0;
  }
}

void TVxCustomSpinEdit::KeyPress(char& Key) {
  if (Key == '.') Key = DecimalSeparator;
  if (!AcceptsChar(Key)) {
    Key = 0;
    SoundDefaultBeep();
    return;
  }
  TCustomEdit::KeyPress(Key);
}

void TVxCustomSpinEdit::DoEnter() {
  FFocused = true;
  ReformatText();
  TCustomEdit::DoEnter();
}

void TVxCustomSpinEdit::DoExit() {
  FFocused = false;
  {
    TScopeFail undo([&] {
      FFocused = true;
      SelectAll();
      if (CanFocus()) SetFocus();
    });
    if (!ComponentState().Contains(csDesigning) && FCheckOnExit) CheckValueRange(true, GetValue());
    SetValue(ClampValue(GetValue()));
  }
  TCustomEdit::DoExit();
}

// ---------------------------------------------------------------------------------------------
// TVxSpinEdit

TVxSpinEdit::TVxSpinEdit(TComponent* AOwner) : TVxCustomSpinEdit(AOwner) {}

std::string TVxSpinEdit::NormaliseNumberText(const std::string& Text) {
  std::string s = TrimSpaces(Text);
  if (DecimalSeparator != ThousandSeparator) s = RemoveChar(s, ThousandSeparator);
  for (char& c : s) {
    if (c == '.' && DecimalSeparator != '.' && ThousandSeparator != '.') c = DecimalSeparator;
    if (c == ',' && DecimalSeparator != ',' && ThousandSeparator != ',') c = DecimalSeparator;
  }
  if (s.empty()) return "0";
  if (s == "-") return "-0";
  return s;
}

void TVxSpinEdit::SetValue(long double NewValue) {
  const long double v = ClampValue(NewValue);
  std::string text;
  switch (FValueType) {
    case vtFloat:
      text = FDisplayFormat.empty() ? FloatToStrF(v, ffFixed, 15, FDecimal) : FormatFloat(FDisplayFormat, v);
      break;
    case vtHex:
      text = IntToHexBits(static_cast<uint64_t>(ToWhole(v)), 1);
      break;
    case vtInteger:
      text = IntToStr(ToWhole(v));
      break;
  }
  SetText(text);
  ReformatText();
}

long double TVxSpinEdit::GetValue() {
  try {
    long double r;
    int64_t i;
    switch (FValueType) {
      case vtFloat:
        if (TryStrToFloat(FDisplayFormat.empty() ? Text() : NormaliseNumberText(Text()), r)) return r;
        return FMinValue;
      case vtHex:
        if (TryStrToInt64("$" + TrimSpaces(Text()), i)) return static_cast<long double>(i);
        return RoundHalfEven(FMinValue);
      case vtInteger:
        if (TryStrToInt64(TrimSpaces(Text()), i)) return static_cast<long double>(i);
        return RoundHalfEven(FMinValue);
    }
  } catch (...) {}
  return FValueType == vtFloat ? FMinValue : RoundHalfEven(FMinValue);
}
