#include <algorithm>
#include <cmath>

#include "inspector/vm_calc.h"
#include "inspector/vm_utils.h"
#include "platform/bitmap.h"
#include "platform/forms.h"
#include "platform/localeinfo.h"
#include "platform/richedit.h"
#include "platform/shell.h"
#include "platform/sysutils.h"

// ---------------------------------------------------------------------------------------------
// Spin editor

VM_DEFINE_CLASS(TvmInplaceSpinEdit)

TvmInplaceSpinEdit::TvmInplaceSpinEdit(TComponent* AOwner) : TvmInplaceMaskEdit(AOwner) {
  SetWindowText("0");
  FTimer = new TTimer(this);
  FTimer->SetEnabled(false);
  FTimer->OnTimer = [this](TObject*) { SpinTimer(); };
}

double TvmInplaceSpinEdit::CheckValueRange(double Value) const {
  if (FMinValue == FMaxValue) return Value;
  return std::clamp(Value, FMinValue, FMaxValue);
}

double TvmInplaceSpinEdit::GetValue() {
  std::string t = Trim(GetWindowText());
  auto fallback = [&] { return FValueType == vtInt ? std::trunc(FMinValue) : FMinValue; };
  if (t.empty()) return fallback();
  if (FValueType == vtFloat) {
    std::replace(t.begin(), t.end(), LocaleInfo().DecimalSeparator, '.');
    double x;
    return TryStrToFloat(t, x) ? x : fallback();
  }
  int64_t i;
  return TryStrToInt64(t, i) ? static_cast<double>(i) : fallback();
}

void TvmInplaceSpinEdit::SetValue(double Value) {
  Value = CheckValueRange(Value);
  std::string s;
  if (FValueType == vtFloat) {
    s = FloatToStrF(Value, ffGeneral, 15, 0);
    std::replace(s.begin(), s.end(), '.', LocaleInfo().DecimalSeparator);
  } else {
    double r = std::nearbyint(Value);
    r = std::clamp(r, -9.2e18, 9.2e18);
    s = std::to_string(static_cast<int64_t>(r));
  }
  if (s != GetWindowText()) {
    bool m = GetModified();
    SetWindowText(s);
    SetModified(m);
  }
}

bool TvmInplaceSpinEdit::IsValidSpinKey(char Key) {
  if (static_cast<unsigned char>(Key) < 32 && Key != '\b') return true;
  if (!FEditorEnabled) return false;
  if (Key == '\b') return true;
  if (Key == '+' || Key == '-' || (Key >= '0' && Key <= '9')) return true;
  return FValueType == vtFloat && Key == LocaleInfo().DecimalSeparator;
}

void TvmInplaceSpinEdit::SetMaxValue(double Value) {
  if (Value < FMinValue) Value = FMinValue;
  FStoredValues |= 1u << svmMaxValue;
  if (Value == FMaxValue) return;
  FMaxValue = Value;
  SetValue(GetValue());
}

void TvmInplaceSpinEdit::SetMinValue(double Value) {
  if (Value > FMaxValue) Value = FMaxValue;
  FStoredValues |= 1u << svmMinValue;
  if (Value == FMinValue) return;
  FMinValue = Value;
  SetValue(GetValue());
}

void TvmInplaceSpinEdit::SetMinMax(double AMin, double AMax) {
  FMaxValue = AMax;
  FMinValue = std::min(AMin, AMax);
  SetValue(GetValue());
}

void TvmInplaceSpinEdit::SetValueType(TvmValueType Value) {
  FStoredValues |= 1u << svmValueType;
  if (FValueType == Value) return;
  double v = GetValue();
  bool nonEmpty = !GetWindowText().empty();
  FValueType = Value;
  if (nonEmpty) SetValue(v);
}

void TvmInplaceSpinEdit::ReadBindingProperties() {
  TvmInplaceMaskEdit::ReadBindingProperties();
  if (!IsStored(svmValueType)) FValueType = GetDefaultValueType();
  if (!IsStored(svmMinValue) && !IsStored(svmMaxValue))
    SetMinMax(GetDefaultMinValue(), GetDefaultMaxValue());
  else {
    if (!IsStored(svmMinValue)) FMinValue = GetDefaultMinValue();
    if (!IsStored(svmMaxValue)) FMaxValue = GetDefaultMaxValue();
  }
}

void TvmInplaceSpinEdit::RestoreDefaults() {
  TvmInplaceMaskEdit::RestoreDefaults();
  SetMinMax(GetDefaultMinValue(), GetDefaultMaxValue());
  FValueType = GetDefaultValueType();
}

void TvmInplaceSpinEdit::ValidateEdit() {
  TvmInplaceMaskEdit::ValidateEdit();
  if (GetModified()) SetValue(GetValue());
}

void TvmInplaceSpinEdit::DoSpin(int Button) {
  if (!IsEditable()) {
    MessageBeep();
    return;
  }
  if (!CanModify()) return;
  SetValue(Button == 1 ? GetValue() + GetIncrement() : GetValue() - GetIncrement());
  SetModified(true);
}

void TvmInplaceSpinEdit::ReleaseSpinButton() {
  FSpinPressed = 0;
  FPressedByKey = false;
  FTimer->SetEnabled(false);
  SetMouseCapture(false);
  Invalidate();
}

void TvmInplaceSpinEdit::SpinTimer() {
  FTimer->SetEnabled(false);
  if (FSpinPressed == 0 || FPressedByKey) return;
  if (FSpinPressed == FSpinActive) DoSpin(FSpinPressed);
  FTimer->SetInterval(100);
  FTimer->SetEnabled(true);
}

int TvmInplaceSpinEdit::GetSpinButtonWidth(TvmEditViewData* VD) {
  auto* s = dynamic_cast<TvmSpinEditViewData*>(VD);
  if (!s || !s->ShowButtons) return 0;
  int w = 16;
  if (w % 2 == 0) --w;
  w = std::max(w, 13);
  if (VD->ButtonStyle == btsFlat || VD->ButtonStyle == btsSimple) --w;
  return w;
}

void TvmInplaceSpinEdit::CalcViewInfo(TvmInplaceEditClass Self, TvmEditViewData* VD, bool AutoSize,
                                      TvmEditViewInfo& VI) {
  TvmInplaceMaskEdit::CalcViewInfo(Self, VD, AutoSize, VI);
  VI.ContentRect.Right -= GetSpinButtonWidth(VD);
  if (VI.ContentRect.Right < VI.ContentRect.Left) VI.ContentRect.Right = VI.ContentRect.Left;
}

int TvmInplaceSpinEdit::SpinButtonAt(TvmInplaceEditClass Self, TvmEditViewData* VD, int X, int Y) {
  int w = GetSpinButtonWidth(VD);
  if (w == 0) return 0;
  TvmEditViewInfo vi;
  TvmInplaceMaskEdit::CalcViewInfo(Self, VD, false, vi);
  TRect col = Rect(vi.ContentRect.Right - w, vi.ContentRect.Top, vi.ContentRect.Right, vi.ContentRect.Bottom);
  if (!PtInRect(col, TPoint(X, Y))) return 0;
  int mid = (col.Top + col.Bottom) / 2;
  return Y < mid ? 1 : 2;
}

void TvmInplaceSpinEdit::DrawBorder(TvmInplaceEditClass Self, TCanvas* DC, TvmEditViewInfo& VI, TvmEditViewData* VD) {
  TvmInplaceMaskEdit::DrawBorder(Self, DC, VI, VD);
  auto* s = dynamic_cast<TvmSpinEditViewData*>(VD);
  int w = GetSpinButtonWidth(VD);
  if (!s || w == 0) return;
  TRect col = Rect(VI.ContentRect.Right, VI.ContentRect.Top, VI.ContentRect.Right + w, VI.ContentRect.Bottom);
  int mid = (col.Top + col.Bottom) / 2;
  for (int b = 1; b <= 2; ++b) {
    TRect r = b == 1 ? Rect(col.Left, col.Top, col.Right, mid) : Rect(col.Left, mid, col.Right, col.Bottom);
    const bool pressed = s->PressedButton == b && s->ActiveButton == b;
    TColor face = VD->ButtonsTransparent ? VD->Brush : clBtnFace;
    FillRectColor(DC, r, face);
    TRect e = r;
    if (VD->ButtonStyle == bts3D)
      DrawEdge(DC, e, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    else if (VD->ButtonStyle != btsSimple)
      DrawEdge(DC, e, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    if (pressed) OffsetRect(e, 1, 1);
    int aw = w / 2 - 1;
    if (aw % 2 == 0) --aw;
    aw = std::max(aw, 1);
    int rows = (aw + 1) / 2;
    int x = (e.Left + e.Right - aw) / 2, y = (e.Top + e.Bottom - rows) / 2;
    TColor color = VD->IsEnabled ? clBtnText : clBtnShadow;
    for (int k = 0; k < rows; ++k) {
      int row = b == 1 ? rows - 1 - k : k;
      FillRectColor(DC, Rect(x + k, y + row, x + aw - k, y + row + 1), color);
    }
  }
}

void TvmInplaceSpinEdit::FillViewData(TvmEditViewData* VD, bool UseBindingValue) {
  TvmInplaceMaskEdit::FillViewData(VD, UseBindingValue);
  if (auto* s = dynamic_cast<TvmSpinEditViewData*>(VD)) {
    s->ShowButtons = !(FStyle->ButtonTransparence() == ebtHideInactive && !IsHot());
    s->PressedButton = FSpinPressed;
    s->ActiveButton = FPressedByKey ? FSpinPressed : FSpinActive;
  }
}

void TvmInplaceSpinEdit::SetHot(bool Value) {
  TvmInplaceMaskEdit::SetHot(Value);
  if (!Value) FSpinActive = 0;
}

void TvmInplaceSpinEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (!FEditorEnabled && IsTextModifyingKey(Key, Shift)) {
    Key = 0;
    return;
  }
  if ((Key == VK_UP || Key == VK_DOWN) && (!FUseCtrlIncrement || Shift.Contains(ssCtrl))) {
    int b = Key == VK_UP ? 1 : 2;
    FSpinPressed = FSpinActive = b;
    FPressedByKey = true;
    SetMouseCapture(false);
    Invalidate();
    DoSpin(b);
    Key = 0;
    return;
  }
  TvmInplaceMaskEdit::KeyDown(Key, Shift);
}

void TvmInplaceSpinEdit::KeyUp(uint16_t& Key, TShiftState Shift) {
  if (Key == VK_UP || Key == VK_DOWN) ReleaseSpinButton();
  TvmInplaceMaskEdit::KeyUp(Key, Shift);
}

void TvmInplaceSpinEdit::KeyPress(char& Key) {
  if (Key == ',' || Key == '.') Key = LocaleInfo().DecimalSeparator;
  if ((Key == '\b' || static_cast<unsigned char>(Key) > 31) && !IsValidSpinKey(Key)) {
    MessageBeep();
    Key = 0;
    return;
  }
  TvmInplaceMaskEdit::KeyPress(Key);
}

void TvmInplaceSpinEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  auto vd = CreateViewData(false);
  int b = SpinButtonAt(EditClass(), vd.get(), X, Y);
  if (Button == mbLeft && b != 0) {
    FSpinActive = b;
    FSpinPressed = b;
    FPressedByKey = false;
    SetMouseCapture(true);
    Invalidate();
    if (!IsFocused() && CanFocus()) SetFocus();
    DoSpin(b);
    if (FTimer->Enabled()) {
      FTimer->SetEnabled(false);
    } else {
      FTimer->SetInterval(400);
      FTimer->SetEnabled(true);
    }
    return;
  }
  TvmInplaceMaskEdit::MouseDown(Button, Shift, X, Y);
}

void TvmInplaceSpinEdit::MouseMove(TShiftState Shift, int X, int Y) {
  auto vd = CreateViewData(false);
  int b = SpinButtonAt(EditClass(), vd.get(), X, Y);
  FSpinActive = FSpinPressed && b != FSpinPressed ? 0 : b;
  TvmInplaceMaskEdit::MouseMove(Shift, X, Y);
}

void TvmInplaceSpinEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FSpinPressed) {
    ReleaseSpinButton();
    return;
  }
  TvmInplaceMaskEdit::MouseUp(Button, Shift, X, Y);
}

bool TvmInplaceSpinEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  int keep = FSpinPressed;
  DoSpin(WheelDelta <= 0 ? 2 : 1);
  FSpinPressed = keep;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Check editor

VM_DEFINE_CLASS(TvmCheckEditStyleController)

TvmCheckEditStyleController::TvmCheckEditStyleController(TComponent* AOwner) : TvmEditStyleController(AOwner) {
  FBorderStyle = xbsNone;
  FButtonStyle = bts3D;
}

void TvmCheckEditStyleController::RestoreDefaults() {
  BeginUpdate();
  TvmEditStyleController::RestoreDefaults();
  SetBorderStyle(xbsNone);
  SetButtonStyle(bts3D);
  EndUpdate();
}

TvmCheckEditStyleController* DefaultCheckEditStyleController() {
  static TvmCheckEditStyleController* controller = new TvmCheckEditStyleController(nullptr);
  return controller;
}

VM_DEFINE_CLASS(TvmCheckEditStyle)
VM_DEFINE_CLASS(TvmInplaceCheckEdit)

TvmInplaceCheckEdit::TvmInplaceCheckEdit(TComponent* AOwner) : TvmInplaceEdit(AOwner) {
  // The style class is a virtual answer: the base constructor could not ask it.
  if (!InplaceMode() || dynamic_cast<TvmCheckEditStyle*>(FStyle.get()) == nullptr) {
    if (auto* c = TvmEditStyle::GetStyleController()) c->RemoveLink(this);
    FStyle.reset(new TvmCheckEditStyle(this));
    DefaultCheckEditStyleController()->AddLink(this);
  }
}

void TvmInplaceCheckEdit::SetState(TvmCheckBoxState Value) {
  if (FState == Value) return;
  FState = Value;
  Invalidate();
  if (!ComponentState().Contains(csLoading)) Click();
}

void TvmInplaceCheckEdit::Click() {
  if (FSettingValue) return;
  if (OnClick) OnClick(this);
  DoChange();
}

TBitmap* TvmInplaceCheckEdit::Glyph() {
  if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
  return FGlyph.get();
}

void TvmInplaceCheckEdit::SetGlyph(TBitmap* Value) {
  if (!Value)
    FGlyph.reset();
  else
    Glyph()->Assign(Value);
  Invalidate();
}

void TvmInplaceCheckEdit::SetGlyphCount(int Value) {
  FGlyphCount = Value;
  if (FGlyph) Invalidate();
}

void TvmInplaceCheckEdit::Toggle() {
  if (!CanModify()) return;
  switch (FState) {
    case cbsUnchecked:
      SetState(FAllowGrayed ? cbsGrayed : cbsChecked);
      break;
    case cbsChecked:
      SetState(cbsUnchecked);
      break;
    case cbsGrayed:
      SetState(cbsChecked);
      break;
  }
  SetModified(true);
}

void TvmInplaceCheckEdit::SetEditValue(const Variant& Value) {
  const bool m = GetModified();
  FSettingValue = true;
  int64_t s = 0;
  try {
    s = Value.IsNull() ? 0 : Value.AsInteger();
  } catch (...) {
    s = 0;
  }
  SetState(static_cast<TvmCheckBoxState>(std::clamp<int64_t>(s, 0, 2)));
  FSettingValue = false;
  SetModified(m);
}

void TvmInplaceCheckEdit::GetDisplayValue(Variant& Value, bool) { Value = static_cast<int>(FState); }
void TvmInplaceCheckEdit::GetEditValue(Variant& Value) { Value = static_cast<int>(FState); }

void TvmInplaceCheckEdit::FillViewData(TvmEditViewData* VD, bool UseBindingValue) {
  TvmInplaceEdit::FillViewData(VD, UseBindingValue);
  if (auto* c = dynamic_cast<TvmCheckEditViewData*>(VD)) {
    c->Caption = FText;
    c->Glyph = FGlyph && !FGlyph->Empty() ? FGlyph.get() : nullptr;
    c->GlyphCount = FGlyphCount;
    c->NullStyle = FNullDisplayStyle;
    c->Pressed = FBoxPressed;
    c->State = FState;
  }
}

TSize TvmInplaceCheckEdit::GetCheckGlyphSize(TvmEditViewData* VD) {
  auto* c = dynamic_cast<TvmCheckEditViewData*>(VD);
  if (c && c->Glyph && c->GlyphCount > 0) return TSize(c->Glyph->Width() / c->GlyphCount, c->Glyph->Height());
  return TSize(13, 13);
}

void TvmInplaceCheckEdit::CalcCheckLayout(TvmEditViewData* VD, const TRect& R, TRect& Box, TRect& CaptionRect) {
  TSize g = GetCheckGlyphSize(VD);
  if (VD->Alignment == taCenter) {
    Box = Bounds((R.Left + R.Right - g.cx) / 2, (R.Top + R.Bottom - g.cy) / 2, g.cx, g.cy);
    CaptionRect = TRect();
    return;
  }
  TRect r = R;
  InflateRect(r, -2, -2);
  int top = (r.Top + r.Bottom - g.cy) / 2;
  if (VD->Alignment == taLeftJustify) {
    Box = Bounds(r.Left, top, g.cx, g.cy);
    CaptionRect = Rect(Box.Right + 3, r.Top, r.Right, r.Bottom);
  } else {
    Box = Bounds(r.Right - g.cx, top, g.cx, g.cy);
    CaptionRect = Rect(r.Left, r.Top, Box.Left - 3, r.Bottom);
  }
}

bool TvmInplaceCheckEdit::DrawContent(TvmInplaceEditClass, TCanvas* DC, const TRect& R, TvmEditViewData* VD, bool) {
  auto* c = dynamic_cast<TvmCheckEditViewData*>(VD);
  if (VD->MeasureOnly) {
    VD->MeasuredHeight = GetCheckGlyphSize(VD).cy;
    return true;
  }
  if (!VD->IsTransparent) FillRectColor(DC, R, VD->Brush);
  if (!c) return true;
  TRect box, caption;
  CalcCheckLayout(VD, R, box, caption);
  if (VD->Alignment != taCenter && !c->Caption.empty()) {
    if (VD->IsEnabled) {
      DrawCellText(DC, c->Caption, -1, caption, caption, CTF_VCENTER | CTF_NO_FILL, VD->Brush, VD->Font.get(),
                   VD->BkColor, VD->TextColor, nullptr);
    } else {
      TRect o = caption;
      OffsetRect(o, 1, 1);
      DrawCellText(DC, c->Caption, -1, o, o, CTF_VCENTER | CTF_NO_FILL, VD->Brush, VD->Font.get(), VD->BkColor,
                   clBtnHighlight, nullptr);
      DrawCellText(DC, c->Caption, -1, caption, caption, CTF_VCENTER | CTF_NO_FILL, VD->Brush, VD->Font.get(),
                   VD->BkColor, clBtnShadow, nullptr);
    }
  }
  if (c->Glyph && c->GlyphCount > 0) {
    int index = static_cast<int>(c->State) + (c->Pressed ? 3 : 0);
    while (index >= c->GlyphCount && index > 2) index %= 3;
    TSize g = GetCheckGlyphSize(VD);
    TBitmap part(g.cx, g.cy);
    part.Canvas()->CopyRect(Rect(0, 0, g.cx, g.cy), c->Glyph->Canvas(), Bounds(index * g.cx, 0, g.cx, g.cy));
    part.SetTransparentColor(c->Glyph->TransparentColor());
    DrawTransparentBitmapInRect(DC, VD->Brush, box, box, &part);
    return true;
  }
  uint32_t state = DFCS_BUTTONCHECK;
  if (VD->IsEnabled) {
    if (c->State == cbsChecked) state |= DFCS_CHECKED;
    if (c->State == cbsGrayed) {
      if (c->NullStyle == nsInactive) state |= DFCS_INACTIVE;
      if (c->NullStyle == nsGrayedChecked) state |= DFCS_CHECKED | DFCS_INACTIVE;
    }
    if (c->Pressed) state |= DFCS_PUSHED;
  } else {
    state |= c->State == cbsUnchecked ? DFCS_INACTIVE | DFCS_PUSHED : DFCS_CHECKED | DFCS_PUSHED | DFCS_INACTIVE;
  }
  if (VD->ButtonStyle != bts3D) state |= DFCS_FLAT;
  DrawFrameControl(DC, box, DFC_BUTTON, state);
  return true;
}

int TvmInplaceCheckEdit::CalcContentHeight(TvmInplaceEditClass Self, TvmEditViewData* VD) {
  int h = std::max(TvmInplaceEdit::CalcContentHeight(Self, VD), GetCheckGlyphSize(VD).cy);
  return h;
}

void TvmInplaceCheckEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (Key == VK_SPACE && !FBoxPressed) {
    FBoxPressed = true;
    Invalidate();
    Key = 0;
    return;
  }
  if (Key == VK_LEFT || Key == VK_RIGHT) {
    FocusAdjacentCell(Key == VK_LEFT);
    Key = 0;
    return;
  }
  TvmInplaceEdit::KeyDown(Key, Shift);
}

void TvmInplaceCheckEdit::KeyUp(uint16_t& Key, TShiftState Shift) {
  if (Key == VK_SPACE && FBoxPressed) {
    FBoxPressed = false;
    Invalidate();
    if (IsEditable()) Toggle();
    Key = 0;
    return;
  }
  TvmInplaceEdit::KeyUp(Key, Shift);
}

void TvmInplaceCheckEdit::KeyPress(char& Key) {
  if (Key == ' ') {
    // A space forwarded to a freshly shown in-place editor toggles it.
    if (!FBoxPressed && InplaceMode() && IsEditable()) Toggle();
    Key = 0;
    return;
  }
  TvmInplaceEdit::KeyPress(Key);
}

void TvmInplaceCheckEdit::UpdatePressed(int X, int Y) {
  bool p = PtInRect(Rect(0, 0, Width(), Height()), TPoint(X, Y));
  if (p != FBoxPressed) {
    FBoxPressed = p;
    Invalidate();
  }
}

void TvmInplaceCheckEdit::StopTracking() {
  FTracking = false;
  FBoxPressed = false;
  SetMouseCapture(false);
  Invalidate();
}

void TvmInplaceCheckEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TvmInplaceEdit::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  SetMouseCapture(true);
  FTracking = true;
  UpdatePressed(X, Y);
}

void TvmInplaceCheckEdit::MouseMove(TShiftState Shift, int X, int Y) {
  if (FTracking) UpdatePressed(X, Y);
  TvmInplaceEdit::MouseMove(Shift, X, Y);
}

void TvmInplaceCheckEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FTracking && Button == mbLeft) {
    bool inside = FBoxPressed;
    StopTracking();
    if (inside && IsEditable()) Toggle();
    return;
  }
  TvmInplaceEdit::MouseUp(Button, Shift, X, Y);
}
