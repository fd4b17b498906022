#include "inspector/vm_calc.h"

#include <algorithm>
#include <cmath>

#include "inspector/vm_utils.h"
#include "platform/bitmap.h"
#include "platform/clipbrd.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/localeinfo.h"
#include "platform/richedit.h"
#include "platform/shell.h"
#include "platform/sysutils.h"

const char* const SvmCalcError = "Error";

namespace {

// A number in the toolkit's general format with the locale's decimal separator.
std::string GeneralText(long double X, int Digits) {
  std::string s = FloatToStrF(X, ffGeneral, Digits, 0);
  std::replace(s.begin(), s.end(), '.', LocaleInfo().DecimalSeparator);
  return s;
}

bool LocaleToFloat(const std::string& S, long double& X) {
  std::string t = Trim(S);
  std::replace(t.begin(), t.end(), LocaleInfo().DecimalSeparator, '.');
  return TryStrToFloat(t, X);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Calculator

VM_DEFINE_CLASS(TCustomvmCalculator)

TCustomvmCalculator::TCustomvmCalculator(TComponent* AOwner) : TvmInplacePopupControl(AOwner) {
  static const char* captions[27] = {"Back", "CE", "C", "MC",  "MR", "MS", "M+", "0", "1", "2",    "3", "4",   "5", "6",
                                     "7",    "8",  "9", "+/-", ",",  "/",  "*",  "-", "+", "sqrt", "%", "1/x", "="};
  for (int i = 0; i < 27; ++i) {
    FButtons[i].Caption = captions[i];
    if (i <= cbC)
      FButtons[i].Color = clMaroon;
    else if (i <= cbMP)
      FButtons[i].Color = clRed;
    else if (i <= cbDecimal)
      FButtons[i].Color = clBlue;
    else if (i >= cbSqrt && i <= cbRev)
      FButtons[i].Color = clNavy;
    else
      FButtons[i].Color = clRed;
  }
  SetColor(clBtnFace);
  FTabStop = true;
  TControl::SetVisible(true);
  SetBounds(0, 0, 207, 137);
  LayoutButtons();
}

void TCustomvmCalculator::LayoutButtons() {
  FButtons[cbDecimal].Caption = std::string(1, LocaleInfo().DecimalSeparator);
  TRect client = ClientRect();
  const int g = FGap, w = FButtonWidth, h = FButtonHeight, L = FLargeWidth;
  const int ox = client.Left, oy = client.Top;
  for (int r = 0; r < 4; ++r) FButtons[cbMC + r].Bounds = Bounds(ox + g, oy + g + (r + 1) * (h + g), w, h);
  const int x1 = g + (w + 2 * g + 4);
  static const int grid[4][5] = {{14, 15, 16, cbDiv, cbSqrt},
                                 {11, 12, 13, cbMul, cbPercent},
                                 {8, 9, 10, cbSub, cbRev},
                                 {7, cbSign, cbDecimal, cbAdd, cbEqual}};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 5; ++c)
      FButtons[grid[r][c]].Bounds = Bounds(ox + x1 + c * (w + g), oy + g + (r + 1) * (h + g), w, h);
  int right = FButtons[cbEqual].Bounds.Right;
  FButtons[cbC].Bounds = Rect(right - L, oy + g, right, oy + g + h);
  FButtons[cbCE].Bounds = Rect(right - 2 * L - g, oy + g, right - L - g, oy + g + h);
  FButtons[cbBack].Bounds = Rect(right - 3 * L - 2 * g, oy + g, right - 2 * L - 2 * g, oy + g + h);
  ResetCalculator();
  Invalidate();
}

void TCustomvmCalculator::ResetCalculator() {
  FPendingOperator = cbEqual;
  FEntryState = 0;
  FMemory = 0;
  UpdateMemoryButtons();
}

void TCustomvmCalculator::UpdateMemoryButtons() {
  FButtons[cbMC].Grayed = FMemory == 0;
  FButtons[cbMR].Grayed = FMemory == 0;
  Invalidate();
}

int TCustomvmCalculator::ButtonAtPoint(int X, int Y) const {
  for (int i = 0; i < 27; ++i)
    if (PtInRect(FButtons[i].Bounds, TPoint(X, Y))) return i;
  return cbNone;
}

void TCustomvmCalculator::BeginEntry() {
  if (FEntryState == 0) {
    FEntryState = 1;
    SetCalcDisplay("0");
  }
}

void TCustomvmCalculator::SignalError() {
  FEntryState = 2;
  SetCalcDisplay(SvmCalcError);
  if (FBeepOnError) MessageBeep();
  if (OnCalcError) OnCalcError(this);
}

void TCustomvmCalculator::ClearCalculator() {
  FEntryState = 0;
  FPendingOperator = cbEqual;
  SetCalcValue(0);
  if (GetCalcDisplay() != "0") SetCalcDisplay("0");
}

long double TCustomvmCalculator::GetCalcValue() {
  if (FEntryState == 2) return 0;
  std::string d = Trim(GetCalcDisplay());
  if (d.empty()) d = "0";
  long double x;
  if (!LocaleToFloat(d, x)) throw EConvertError(Format("'%s' is not a valid floating point value", {d}));
  return x;
}

void TCustomvmCalculator::SetCalcValue(long double X) {
  std::string s = GeneralText(X, std::max(2, FPrecision));
  if (s != GetCalcDisplay()) {
    SetCalcDisplay(s);
    if (OnDisplayChanged) OnDisplayChanged(this);
  }
}

void TCustomvmCalculator::DoCalcButton(int B) {
  // A display that is no number (text typed into an edited cell) is an arithmetic error here,
  // not an exception for the message loop.
  try {
    PerformButton(B);
  } catch (const EConvertError&) {
    SignalError();
  }
}

void TCustomvmCalculator::PerformButton(int B) {
  if (OnCalcButton) OnCalcButton(this, B);
  if (B < 0 || B >= cbNone) return;
  if (FEntryState == 2 && B != cbC && B != cbCE) {
    SignalError();
    return;
  }
  const char sep = LocaleInfo().DecimalSeparator;
  if (B == cbDecimal) {
    BeginEntry();
    std::string d = GetCalcDisplay();
    if (d.find(sep) == std::string::npos) SetCalcDisplay(d + sep);
  } else if (B >= cbDigit0 && B <= cbDigit0 + 9) {
    BeginEntry();
    std::string d = GetCalcDisplay();
    if (d == "0") d.clear();
    size_t limit = std::max(2, FPrecision) + (d.find('-') != std::string::npos ? 1 : 0);
    if (d.size() < limit)
      SetCalcDisplay(d + static_cast<char>('0' + (B - cbDigit0)));
    else if (FBeepOnError)
      MessageBeep();
  } else if (B == cbBack) {
    BeginEntry();
    std::string d = GetCalcDisplay();
    if (d.size() == 1 || (d.size() == 2 && d[0] == '-'))
      SetCalcDisplay("0");
    else if (!d.empty())
      SetCalcDisplay(d.substr(0, d.size() - 1));
  } else if (B == cbSign) {
    SetCalcValue(-GetCalcValue());
  } else if ((B >= cbDiv && B <= cbAdd) || B == cbPercent || B == cbEqual) {
    if (FEntryState == 1) {
      FEntryState = 0;
      long double r = GetCalcValue();
      if (B == cbPercent) {
        if (FPendingOperator == cbDiv || FPendingOperator == cbMul)
          r = r / 100;
        else if (FPendingOperator == cbAdd || FPendingOperator == cbSub)
          r = FOperand * r / 100;
      }
      switch (FPendingOperator) {
        case cbDiv:
          if (r == 0) {
            SignalError();
            return;
          }
          SetCalcValue(FOperand / r);
          break;
        case cbMul:
          SetCalcValue(FOperand * r);
          break;
        case cbSub:
          SetCalcValue(FOperand - r);
          break;
        case cbAdd:
          SetCalcValue(FOperand + r);
          break;
        default:
          break;
      }
    }
    FPendingOperator = B;
    FOperand = GetCalcValue();
    if ((B == cbPercent || B == cbEqual) && OnCalcResult) OnCalcResult(this);
  } else if (B == cbSqrt || B == cbRev) {
    FEntryState = (FPendingOperator >= cbDiv && FPendingOperator <= cbAdd) ? 1 : 0;
    long double v = GetCalcValue();
    if (B == cbSqrt) {
      if (v < 0) {
        SignalError();
        return;
      }
      SetCalcValue(std::sqrt(v));
    } else {
      if (v == 0) {
        SignalError();
        return;
      }
      SetCalcValue(1 / v);
    }
  } else if (B == cbC || B == cbCE) {
    ClearCalculator();
  } else if (B == cbMP || B == cbMS) {
    long double v = GetCalcValue();
    FMemory = B == cbMP ? FMemory + v : v;
    FEntryState = 0;
    UpdateMemoryButtons();
  } else if (B == cbMR) {
    FEntryState = 0;
    BeginEntry();
    SetCalcValue(FMemory);
  } else if (B == cbMC) {
    FMemory = 0;
    UpdateMemoryButtons();
  }
}

void TCustomvmCalculator::CopyDisplay() { Clipboard()->SetAsText(GetCalcDisplay()); }

void TCustomvmCalculator::PasteDisplay() {
  std::string t = Clipboard()->AsText();
  if (t.empty()) return;
  const std::string& cur = LocaleInfo().CurrencyString;
  if (!cur.empty())
    for (size_t k; (k = t.find(cur)) != std::string::npos;) t.erase(k, cur.size());
  long double x;
  if (LocaleToFloat(t, x)) {
    SetCalcValue(x);
    FEntryState = 1;
  } else {
    SetCalcValue(0);
  }
}

void TCustomvmCalculator::FitToSize() {
  if (FFitting) return;
  TRect c = ClientRect();
  const int a = std::min(c.Height(), c.Width() * 137 / 207);
  int h = 22;
  auto total = [](int H) { return 5 * H + 6 * MulDiv(H, 4, 22); };
  while (std::abs(total(h + 1) - a) < std::abs(total(h) - a)) ++h;
  FButtonHeight = h;
  FButtonWidth = MulDiv(h, 28, 22);
  FGap = MulDiv(h, 4, 22);
  FLargeWidth = MulDiv(FButtonWidth, 17, 10);
  FFontSize = MulDiv(h, 8, 22);
  const int height = 5 * h + 6 * FGap, width = 6 * FButtonWidth + 8 * FGap + 4;
  FFitting = true;
  SetBounds(Left(), Top(), width + (Width() - c.Width()), height + (Height() - c.Height()));
  FFitting = false;
  LayoutButtons();
}

void TCustomvmCalculator::Resize() {
  TvmInplacePopupControl::Resize();
  FitToSize();
}

void TCustomvmCalculator::PaintClient() {
  TCanvas* c = Canvas();
  FillRectColor(c, ClientRect(), Color());
  c->Font()->Assign(Font());
  if (FScaleButtonFont) {
    c->Font()->SetSize(FFontSize);
    if (FFontSize >= 10) c->Font()->SetStyle({fsBold});
  }
  for (int i = 0; i < 27; ++i) {
    const TvmCalcButton& b = FButtons[i];
    TRect r = b.Bounds;
    const bool pressed = b.Pressed && !b.Grayed;
    FillRectColor(c, r, clBtnFace);
    if (FButtonStyle == bsStandard) {
      TRect e = r;
      DrawEdge(c, e, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    } else if (FButtonStyle == bsFlat || i == FHotButton || pressed) {
      TRect e = r;
      DrawEdge(c, e, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    TRect t = r;
    if (pressed) OffsetRect(t, 2, 2);
    c->Font()->SetColor(b.Grayed ? clBtnShadow : b.Color);
    c->Brush()->SetStyle(bsClear);
    c->DrawText(b.Caption, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (i == cbEqual && FShowFocusRect && Focused()) {
      TRect f = r;
      InflateRect(f, -3, -3);
      c->DrawFocusRect(f);
    }
  }
}

void TCustomvmCalculator::PressByKey(int Button) {
  if (Button == cbNone) return;
  if (FKeyButton != Button) {
    if (FKeyButton != cbNone) FButtons[FKeyButton].Pressed = false;
    FKeyButton = Button;
    FButtons[Button].Pressed = true;
    Invalidate();
  }
  DoCalcButton(Button);
}

void TCustomvmCalculator::KeyDown(uint16_t& Key, TShiftState Shift) {
  TvmInplacePopupControl::KeyDown(Key, Shift);
  if (!Key) return;
  const bool ctrl = Shift.Contains(ssCtrl);
  if (Key == VK_INSERT && Shift.Contains(ssShift)) {
    PasteDisplay();
    Key = 0;
    return;
  }
  if (Key == VK_INSERT && ctrl) {
    CopyDisplay();
    Key = 0;
    return;
  }
  if (ctrl && Key == 'V') {
    PasteDisplay();
    Key = 0;
    return;
  }
  if (ctrl && Key == 'C') {
    CopyDisplay();
    Key = 0;
    return;
  }
  int b = cbNone;
  switch (Key) {
    case VK_RETURN:
      b = cbEqual;
      break;
    case VK_ESCAPE:
      b = cbC;
      break;
    case VK_DELETE:
      b = cbCE;
      break;
    case 'C':
      b = ctrl ? cbNone : cbC;
      break;
    case 'L':
      b = ctrl ? cbMC : cbNone;
      break;
    case 'R':
      b = ctrl ? cbMR : cbRev;
      break;
    case 'M':
      b = ctrl ? cbMS : cbNone;
      break;
    case 'P':
      b = ctrl ? cbMP : cbNone;
      break;
    case VK_F1 + 8:
      b = cbSign;
      break;  // F9
    default:
      break;
  }
  if (b != cbNone) {
    PressByKey(b);
    Key = 0;
  }
}

void TCustomvmCalculator::KeyPress(char& Key) {
  TvmInplacePopupControl::KeyPress(Key);
  int b = cbNone;
  const char sep = LocaleInfo().DecimalSeparator;
  switch (Key) {
    case '\b':
      b = cbBack;
      break;
    case '%':
      b = cbPercent;
      break;
    case '*':
      b = cbMul;
      break;
    case '+':
      b = cbAdd;
      break;
    case '-':
      b = cbSub;
      break;
    case '/':
      b = cbDiv;
      break;
    case '=':
      b = cbEqual;
      break;
    case '@':
      b = cbSqrt;
      break;
    default:
      if (Key >= '0' && Key <= '9')
        b = cbDigit0 + (Key - '0');
      else if (Key == sep || Key == '.' || Key == ',')
        b = cbDecimal;
      break;
  }
  if (b != cbNone) {
    PressByKey(b);
    Key = 0;
  }
}

void TCustomvmCalculator::KeyUp(uint16_t& Key, TShiftState Shift) {
  TvmInplacePopupControl::KeyUp(Key, Shift);
  if (FKeyButton != cbNone) {
    FButtons[FKeyButton].Pressed = false;
    FKeyButton = cbNone;
    Invalidate();
  }
}

void TCustomvmCalculator::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!FIsPopup && CanFocus() && !Focused()) SetFocus();
  TvmInplacePopupControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  int b = ButtonAtPoint(X, Y);
  if (b == cbNone) return;
  FMouseButton = b;
  FTracking = true;
  FButtons[b].Pressed = true;
  SetMouseCapture(true);
  Invalidate();
}

void TCustomvmCalculator::MouseMove(TShiftState Shift, int X, int Y) {
  TvmInplacePopupControl::MouseMove(Shift, X, Y);
  int b = ButtonAtPoint(X, Y);
  if (FTracking && FMouseButton != cbNone) {
    bool over = b == FMouseButton;
    if (FButtons[FMouseButton].Pressed != over) {
      FButtons[FMouseButton].Pressed = over;
      Invalidate();
    }
  }
  if (FButtonStyle == bsExtraFlat && b != FHotButton) {
    FHotButton = b;
    Invalidate();
  }
}

void TCustomvmCalculator::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TvmInplacePopupControl::MouseUp(Button, Shift, X, Y);
  if (!FTracking) return;
  FTracking = false;
  SetMouseCapture(false);
  int b = FMouseButton;
  FMouseButton = cbNone;
  if (b == cbNone) return;
  const bool perform = FButtons[b].Pressed;
  FButtons[b].Pressed = false;
  Invalidate();
  if (perform) DoCalcButton(b);
}

// ---------------------------------------------------------------------------------------------
// Popup calculator and calc editor

VM_DEFINE_CLASS(TvmPopupCalculator)

TvmPopupCalculator::TvmPopupCalculator(TComponent* AOwner) : TCustomvmCalculator(AOwner) {
  TControl::SetVisible(false);
}

std::string TvmPopupCalculator::GetCalcDisplay() { return Edit ? Edit->GetWindowText() : "0"; }

void TvmPopupCalculator::SetCalcDisplay(const std::string& Text) {
  if (!Edit || !Edit->CanModify()) return;
  TScopeFail closePopup([&] { ClosePopup(); });
  Edit->SetWindowText(Text);
  Edit->SetModifiedFlag(true);
}

void TvmPopupCalculator::ClosePopup() {
  TCustomvmCalculator::ClosePopup();
  if (Edit && Edit->GetWindowText() == SvmCalcError) {
    Edit->SetWindowText("0");
    Edit->SetModifiedFlag(true);
  }
}

void TvmPopupCalculator::KeyDown(uint16_t& Key, TShiftState Shift) {
  const bool alt = Shift.Contains(ssAlt);
  if (((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F1 + 3 && !alt)) {
    Key = 0;
    if (Edit) Edit->CloseUp(true);
    return;
  }
  if (Key == VK_RETURN) {
    DoCalcButton(cbEqual);
    Key = 0;
    if (Edit) Edit->CloseUp(true);
    return;
  }
  if (Key == VK_ESCAPE) {
    Key = 0;
    if (Edit) Edit->CloseUp(false);
    return;
  }
  TCustomvmCalculator::KeyDown(Key, Shift);
}

void TvmPopupCalculator::KeyPress(char& Key) {
  const bool equals = Key == '=';
  TCustomvmCalculator::KeyPress(Key);
  if (equals && QuickClose && Edit) Edit->CloseUp(true);
}

VM_DEFINE_CLASS(TvmInplaceCalcEdit)

TvmInplaceCalcEdit::TvmInplaceCalcEdit(TComponent* AOwner) : TvmInplaceDropDownEdit(AOwner) {
  FRouteKeysToList = false;
}

TvmInplaceCalcEdit::~TvmInplaceCalcEdit() {
  if (FCalculator) {
    FCalculator->Edit = nullptr;
    FCalculator->SetOwnerEdit(nullptr);
  }
}

void TvmInplaceCalcEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TvmInplaceDropDownEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FCalculator) {
    if (FCurrentPopup == FCalculator) FCurrentPopup = nullptr;
    FCalculator = nullptr;
  }
}

void TvmInplaceCalcEdit::DropDown() {
  if (FPopupShown || !IsEditable()) return;
  if (!FCalculator) {
    FCalculator = new TvmPopupCalculator(this);
    FCalculator->SetIsPopup(true);
    // The popup lives on the form, which may free it before this editor goes.
    FCalculator->FreeNotification(this);
  }
  FCalculator->SetOwnerEdit(this);
  FCalculator->Edit = this;
  FCurrentPopup = FCalculator;
  DoEditButtonClick();
  FCalculator->SetPopupBorder(GetPopupBorder());
  FCalculator->SetShadow(FStyle->Shadow());
  FCalculator->QuickClose = FQuickClose;
  FCalculator->SetFont(Font());
  FCalculator->SetShowFocusRect(false);
  FCalculator->SetBeepOnError(FBeepOnError);
  FCalculator->SetButtonStyle(FButtonStyle);
  FCalculator->SetShowButtonFrame(FShowButtonFrame);
  FCalculator->SetPrecision(FPrecision);
  FCalculator->FitToSize();
  FCalculator->LayoutButtons();
  PositionPopup(FCalculator, false);
  FPopupShown = true;
  FCalculator->ShowPopup();
  if (FCalculator->CanFocus()) FCalculator->SetFocus();
  WatchPopup();
}

void TvmInplaceCalcEdit::CloseUp(bool Accept) {
  if (!FPopupShown || !FCalculator) return;
  FPopupShown = false;
  FWatch.reset();
  FCalculator->ClosePopup();
  FocusSelf();
}
