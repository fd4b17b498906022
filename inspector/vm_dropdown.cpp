#include "inspector/vm_dropdown.h"

#include <algorithm>

#include "inspector/vm_utils.h"
#include "platform/actnlist.h"
#include "platform/bitmap.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/popupwatch.h"
#include "platform/richedit.h"
#include "platform/shell.h"
#include "platform/streaming.h"
#include "platform/sysutils.h"

namespace {
constexpr int ScrollBarWidth = 16;  // the system's vertical scroll-bar width

// The keyboard focus is in the control or in one of its parts (a popup's memo).
bool FocusWithin(const TControl* C) {
  for (const TControl* f = FocusedControl(); f; f = f->Parent())
    if (f == C) return true;
  return false;
}
}  // namespace

// ---------------------------------------------------------------------------------------------
// Popup frames

int PopupBorderWidth(TvmPopupBorder Border) {
  switch (Border) {
    case pbSingle:
      return 1;
    case pbFrame3D:
      return 4;
    case pbFlat:
      return 2;
    default:
      return 0;
  }
}

void DrawPopupBorder(TCanvas* DC, TRect& R, TvmPopupBorder Border, bool ScrollCorner, bool Shadow, int ShadowSize) {
  TRect shadow;
  if (Shadow) {
    R.Right -= ShadowSize;
    R.Bottom -= ShadowSize;
    shadow = R;
    OffsetRect(shadow, ShadowSize, ShadowSize);
  }
  switch (Border) {
    case pbSingle:
      DrawEdge(DC, R, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST | BF_MONO);
      break;
    case pbFrame3D:
      DrawEdge(DC, R, EDGE_RAISED, BF_RECT | BF_ADJUST);
      DrawEdge(DC, R, BDR_SUNKENINNER, BF_RECT | BF_ADJUST | BF_FLAT);
      DrawEdge(DC, R, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
      break;
    case pbFlat:
      DrawEdge(DC, R, EDGE_RAISED, BF_RECT | BF_ADJUST);
      break;
    default:
      break;
  }
  if (Shadow) FillShadowStrips(DC, shadow, ShadowSize, clBtnShadow);
  if (ScrollCorner) {
    TRect c = Rect(R.Right - ScrollBarWidth, R.Bottom - ScrollBarWidth, R.Right, R.Bottom);
    FillRectColor(DC, c, clBtnFace);
  }
}

bool PopupShadowRegion(int Width, int Height, bool Shadow, int ShadowSize, TRegion& Region) {
  if (!Shadow) return false;
  TRect a = Rect(0, 0, Width - ShadowSize, Height - ShadowSize);
  TRect b = a;
  OffsetRect(b, ShadowSize, ShadowSize);
  TRegion::CombineRgn(Region, TRegion::CreateRectRgnIndirect(a), TRegion::CreateRectRgnIndirect(b), RGN_OR);
  return true;
}

// ---------------------------------------------------------------------------------------------
// Popup control base

VM_DEFINE_CLASS(TvmInplacePopupControl)

TvmInplacePopupControl::TvmInplacePopupControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FTabStop = true;
  TControl::SetVisible(false);
}

TvmInplacePopupControl::~TvmInplacePopupControl() = default;

void TvmInplacePopupControl::SetPopupBorder(TvmPopupBorder Value) {
  if (FPopupBorder == Value) return;
  FPopupBorder = Value;
  Resize();
  Invalidate();
}

void TvmInplacePopupControl::SetShadow(bool Value) {
  if (FShadow == Value) return;
  FShadow = Value;
  Resize();
  Invalidate();
}

TRect TvmInplacePopupControl::ClientRect() const {
  if (!FIsPopup) return TCustomControl::ClientRect();
  int b = PopupBorderWidth(FPopupBorder);
  int s = FShadow ? FShadowSize : 0;
  TRect r = Rect(b, b, Width() - b - s, Height() - b - s);
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

void TvmInplacePopupControl::Resize() {
  TCustomControl::Resize();
  if (!FIsPopup) return;
  TRegion r;
  if (PopupShadowRegion(Width(), Height(), FShadow, FShadowSize, r))
    SetWindowRgn(&r, false);
  else
    SetWindowRgn(nullptr, false);
}

void TvmInplacePopupControl::Paint() {
  TCanvas* c = Canvas();
  if (FIsPopup && FDrawsFrame) {
    TRect r = Rect(0, 0, Width(), Height());
    FillRectColor(c, r, Color());
    DrawPopupBorder(c, r, FPopupBorder, false, FShadow, FShadowSize);
  }
  PaintClient();
}

bool TvmInplacePopupControl::PopupActivates() const {
  auto* dd = dynamic_cast<TvmInplaceDropDownEdit*>(FOwnerEdit);
  return dd && !dd->RouteKeysToList();
}

void TvmInplacePopupControl::VisibleChanged() {
  TCustomControl::VisibleChanged();
  if (!FIsPopup || Parent()) return;
  if (Visible())
    ShowPopupWindow(this, FOwnerEdit, PopupActivates());
  else
    HidePopupWindow(this);
}

void TvmInplacePopupControl::ShowPopupAt(const TPoint& ScreenPos) {
  if (Parent()) {
    TPoint p = Parent()->ScreenToClient(ScreenPos);
    SetBounds(p.X, p.Y, Width(), Height());
  } else {
    SetBounds(ScreenPos.X, ScreenPos.Y, Width(), Height());
  }
  ShowPopup();
}

void TvmInplacePopupControl::ShowPopup() {
  Show();
  if (Parent()) BringToFront();  // a popup window is raised as it shows
}

void TvmInplacePopupControl::ClosePopup() {
  if (Visible()) Hide();
  if (FOwnerEdit) {
    if (FOwnerEdit->CanFocus() && !FOwnerEdit->IsFocused()) FOwnerEdit->SetFocus();
    if (auto* dd = dynamic_cast<TvmInplaceDropDownEdit*>(FOwnerEdit)) dd->PopupClosed();
  }
}

void TvmInplacePopupControl::DoExit() {
  TCustomControl::DoExit();
  if (FIsPopup && Visible()) {
    Hide();
    if (auto* dd = dynamic_cast<TvmInplaceDropDownEdit*>(FOwnerEdit)) dd->PopupClosed();
  }
}

// ---------------------------------------------------------------------------------------------
// Hint window

VM_DEFINE_CLASS(TvmContainerHintWindow)

TvmContainerHintWindow::TvmContainerHintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clInfoBk);
  TControl::SetVisible(false);
}

void TvmContainerHintWindow::ShowText(const TPoint& P, const std::string& Text, TFont* Font) {
  ShowTextBounded(P, Screen ? Screen->Width() : 1024, Text, Font, false);
}

void TvmContainerHintWindow::ShowTextBounded(const TPoint& P, int MaxWidth, const std::string& Text, TFont* Font,
                                             bool UseFontSize) {
  SetText(Text);
  TCanvas* c = Canvas();
  TFont f;
  f.SetSize(8);
  if (Font) {
    f.SetName(Font->Name());
    if (UseFontSize) f.SetSize(Font->Size());
  }
  f.SetColor(clInfoText);
  c->Font()->Assign(&f);
  const int sw = Screen ? Screen->Width() : 1024, sh = Screen ? Screen->Height() : 768;
  if (MaxWidth <= 0) MaxWidth = sw;
  TRect r = Rect(0, 0, MaxWidth, 0);
  c->DrawText(Text, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  int w = r.Width() + 6, h = r.Height() + 6;
  TPoint p = P;
  if (p.Y + h > sh) p.Y = sh - h;
  if (p.X + w > sw) p.X = sw - w;
  if (p.X < 0) p.X = 0;
  if (p.Y < 0) p.Y = 0;
  if (Parent()) {
    TPoint q = Parent()->ScreenToClient(p);
    SetBounds(q.X, q.Y, w, h);
  } else {
    SetBounds(p.X, p.Y, w, h);
  }
  Show();
  BringToFront();
  Invalidate();
}

void TvmContainerHintWindow::VisibleChanged() {
  TCustomControl::VisibleChanged();
  if (Parent()) return;
  if (Visible())
    ShowPopupWindow(this, nullptr, false, true);
  else
    HidePopupWindow(this);
}

void TvmContainerHintWindow::HideText() {
  Hide();
  SetBounds(0, 0, Width(), Height());
}

void TvmContainerHintWindow::Paint() {
  TCanvas* c = Canvas();
  TRect r = Rect(0, 0, Width(), Height());
  FillRectColor(c, r, clInfoBk);
  DrawEdge(c, r, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST);
  InflateRect(r, -1, -1);
  r.Left += 2;
  r.Top += 2;
  c->Brush()->SetStyle(bsClear);
  c->DrawText(Text(), r, DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP);
}

// ---------------------------------------------------------------------------------------------
// Drop-down editor base

VM_DEFINE_CLASS(TvmInplaceDropDownEdit)

TvmInplaceDropDownEdit::TvmInplaceDropDownEdit(TComponent* AOwner) : TvmInplaceMaskEdit(AOwner) {}

TvmInplaceDropDownEdit::~TvmInplaceDropDownEdit() { FWatch.reset(); }

TBitmap* TvmInplaceDropDownEdit::ButtonGlyph() {
  if (!FButtonGlyph) FButtonGlyph = std::make_unique<TBitmap>();
  return FButtonGlyph.get();
}

void TvmInplaceDropDownEdit::SetButtonGlyph(TBitmap* Value) {
  if (!Value || Value->Empty())
    FButtonGlyph.reset();
  else
    ButtonGlyph()->Assign(Value);
  StyleChanged();
}

bool TvmInplaceDropDownEdit::DroppedDown() const {
  if (!FCurrentPopup || !FCurrentPopup->Visible() || !(FCurrentPopup->Parent() || WindowShown(FCurrentPopup)))
    return false;
  return FRouteKeysToList || FocusWithin(FCurrentPopup);
}

void TvmInplaceDropDownEdit::SetDroppedDown(bool Value) {
  if (DroppedDown() == Value) return;
  if (Value)
    DropDown();
  else
    CloseUp(false);
}

TvmPopupBorder TvmInplaceDropDownEdit::GetPopupBorder() const {
  if (FPopupBorder != pbDefault) return FPopupBorder;
  if (InplaceMode()) return GetContainer()->GetPopupBorder(FStyle->BorderStyle());
  switch (FStyle->BorderStyle()) {
    case xbsSingle:
    case xbs3D:
      return pbSingle;
    case xbsFlat:
      return pbFlat;
    default:
      return pbFrame3D;
  }
}

void TvmInplaceDropDownEdit::FocusSelf() {
  if (!IsFocused() && CanFocus() && Visible()) SetFocus();
}

void TvmInplaceDropDownEdit::WatchPopup() {
  FWatch = std::make_unique<TOutsideClickWatch>(
      FCurrentPopup, this,
      [this] {
        if (FPopupShown) CloseUp(false);
      },
      true);
}

void TvmInplaceDropDownEdit::ListMouseUp(TControl* List, int X, int Y) {
  TRect r = List->ClientRect();
  CloseUp(PtInRect(r, TPoint(X, Y)));
}

void TvmInplaceDropDownEdit::PositionPopup(TControl* Popup, bool AdjustWidth) {
  auto vd = CreateViewData(false);
  TvmEditViewInfo vi;
  EditClass()->CalcViewInfo(vd.get(), false, vi);
  TRect anchor = vi.Bounds;
  int w = anchor.Width() + (FStyle->Shadow() ? 2 : 0);
  if (AdjustWidth && Popup->Width() < w) Popup->SetWidth(w);
  TvmEditBorderStyle bs = FStyle->BorderStyle();
  if (bs == xbsNone || bs == xbsSingle) {
    anchor.Top += 1;
    anchor.Bottom -= 1;
    if (bs == xbsNone && !InplaceMode()) {
      anchor.Top += 1;
      anchor.Bottom -= 1;
    }
  }
  TPoint tl = ClientToScreen(anchor.TopLeft());
  TPoint br = ClientToScreen(anchor.BottomRight());
  TPoint p;
  switch (FPopupAlignment) {
    case taRightJustify:
      p.X = br.X - Popup->Width();
      break;
    case taCenter:
      p.X = (tl.X + br.X - Popup->Width()) / 2;
      break;
    default:
      p.X = tl.X;
      break;
  }
  p.Y = br.Y;
  FitPopupToWorkArea(p, Popup->Width(), Popup->Height(), br.Y - tl.Y);
  // A popup control is a window of its own, placed on the screen.
  if (auto* pc = dynamic_cast<TvmInplacePopupControl*>(Popup); pc && pc->IsPopup() && pc->Parent())
    pc->SetParent(nullptr);
  if (Popup->Parent()) {
    TPoint q = Popup->Parent()->ScreenToClient(p);
    Popup->SetBounds(q.X, q.Y, Popup->Width(), Popup->Height());
  } else {
    Popup->SetBounds(p.X, p.Y, Popup->Width(), Popup->Height());
  }
}

void TvmInplaceDropDownEdit::DoButtonDown(bool NoCapture, int ButtonIndex) {
  if (FPopupShown) {
    if (FRouteKeysToList) CloseUp(false);
    return;
  }
  FHeldButton = FHotButton;
  if (!NoCapture) SetMouseCapture(true);
  Invalidate();
  if (ButtonIndex != -1) SetDroppedDown(true);
}

void TvmInplaceDropDownEdit::DoCloseUp(Variant& Value, bool& Accept) {
  if (CloseUpHook) CloseUpHook(this, Value, Accept);
}

void TvmInplaceDropDownEdit::DoEditButtonClick() {
  if (EditButtonClickHook) EditButtonClickHook(this);
  if (OnEditButtonClick) OnEditButtonClick(this);
}

void TvmInplaceDropDownEdit::PopupKeyDown(uint16_t& Key, TShiftState Shift) {
  const bool alt = Shift.Contains(ssAlt);
  if (((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F1 + 3 && !alt)) {
    if (FPopupShown)
      CloseUp(true);
    else
      DropDown();
    Key = 0;
  } else if ((Key == VK_RETURN || Key == VK_ESCAPE) && !alt && FPopupShown) {
    CloseUp(Key == VK_RETURN);
    Key = 0;
  }
}

void TvmInplaceDropDownEdit::ForwardKeyToPopup(uint16_t& Key, TShiftState Shift) {
  if (auto* list = dynamic_cast<TvmPopupListBox*>(FCurrentPopup)) list->ListKey(Key, FDropDownRows);
  Key = 0;
}

void TvmInplaceDropDownEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (FPopupShown && FRouteKeysToList) {
    PopupKeyDown(Key, Shift);
    if (!Key) return;
    if (Shift.Contains(ssAlt) && Key == VK_F1 + 3) return;  // Alt+F4 goes on
    if (!FSearchInList) {
      ForwardKeyToPopup(Key, Shift);
      return;
    }
    if (Key == VK_BACK || Key == VK_DELETE) {
      TvmInplaceMaskEdit::KeyDown(Key, Shift);
      return;
    }
    if ((Key == VK_HOME || Key == VK_END || Key == VK_LEFT || Key == VK_RIGHT) && CanEditText()) {
      TvmInplaceMaskEdit::KeyDown(Key, Shift);
      return;
    }
    if (Key >= VK_PRIOR && Key <= VK_DOWN) {
      ForwardKeyToPopup(Key, Shift);
      return;
    }
    return;  // a character key: typed by KeyPress
  }
  if (FRouteKeysToList || !FPopupShown) {
    PopupKeyDown(Key, Shift);
    if (!Key) return;
  }
  TvmInplaceMaskEdit::KeyDown(Key, Shift);
}

void TvmInplaceDropDownEdit::KeyPress(char& Key) {
  if (FPopupShown && FRouteKeysToList && !FSearchInList) {
    Key = 0;
    return;
  }
  TvmInplaceMaskEdit::KeyPress(Key);
  if (FPopupShown && FSearchInList && Key == 0) FindListText(GetWindowText());
}

int TvmInplaceDropDownEdit::ButtonAt(int X, int Y) {
  auto vd = CreateViewData(false);
  std::vector<TRect> rects = ButtonRects(EditClass(), vd.get());
  for (int i = 0; i < static_cast<int>(rects.size()); ++i)
    if (PtInRect(rects[i], TPoint(X, Y))) return i;
  return -1;
}

void TvmInplaceDropDownEdit::SetActiveButton(int Index) {
  if (FHotButton == Index) return;
  FHotButton = Index;
  Invalidate();
}

void TvmInplaceDropDownEdit::ReleasePressedButton() {
  if (FHeldButton == -1) return;
  FHeldButton = -1;
  SetMouseCapture(false);
  Invalidate();
}

void TvmInplaceDropDownEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  int b = ButtonAt(X, Y);
  if (Button == mbLeft && (b >= 0 || FPopupOnClick)) {
    SetActiveButton(b >= 0 ? b : 0);
    if (!IsFocused() && CanFocus()) SetFocus();
    DoButtonDown(FPopupOnClick && b < 0, FHotButton);
    return;
  }
  TvmInplaceMaskEdit::MouseDown(Button, Shift, X, Y);
}

void TvmInplaceDropDownEdit::MouseMove(TShiftState Shift, int X, int Y) {
  // Dragging from the button (or from a click-to-open editor) into the open popup: the popup
  // takes the press there and follows the mouse until the button goes up (a list selects).
  const bool pressing = FHeldButton != -1 || (FPopupOnClick && Shift.Contains(ssLeft));
  if (FCurrentPopup && FPopupShown && (FDraggingIntoPopup || pressing)) {
    const TPoint p = FCurrentPopup->ScreenToClient(ClientToScreen(TPoint(X, Y)));
    if (FDraggingIntoPopup) {
      FCurrentPopup->DispatchMouseMove(Shift, p.X, p.Y);
      return;
    }
    if (PtInRect(FCurrentPopup->ClientRect(), p)) {
      ReleasePressedButton();
      FDraggingIntoPopup = true;
      FCurrentPopup->DispatchMouseDown(mbLeft, Shift, p.X, p.Y);
      return;
    }
  }
  if (FHeldButton == -1 || FHotButton == ButtonAt(X, Y) || FHeldButton == ButtonAt(X, Y))
    SetActiveButton(ButtonAt(X, Y));
  else
    SetActiveButton(-1);
  TvmInplaceMaskEdit::MouseMove(Shift, X, Y);
}

void TvmInplaceDropDownEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FDraggingIntoPopup) {
    FDraggingIntoPopup = false;
    if (FCurrentPopup && FPopupShown) {
      const TPoint p = FCurrentPopup->ScreenToClient(ClientToScreen(TPoint(X, Y)));
      FCurrentPopup->DispatchMouseUp(Button, Shift, p.X, p.Y);
    }
    return;
  }
  if (FHeldButton != -1) {
    const int held = FHeldButton;
    const bool counted = ButtonAt(X, Y) != -1;
    ReleasePressedButton();
    if (counted) DoButtonClick(held);
    return;
  }
  TvmInplaceMaskEdit::MouseUp(Button, Shift, X, Y);
}

bool TvmInplaceDropDownEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (DroppedDown()) {
    uint16_t key = WheelDelta <= 0 ? VK_DOWN : VK_UP;
    ForwardKeyToPopup(key, {});
  } else {
    StepValue(WheelDelta <= 0 ? 1 : -1, false);
  }
  return true;
}

void TvmInplaceDropDownEdit::DoExit() {
  if (FPopupShown && FRouteKeysToList) CloseUp(false);
  TvmInplaceMaskEdit::DoExit();
}

void TvmInplaceDropDownEdit::SetHot(bool Value) {
  TvmInplaceMaskEdit::SetHot(Value);
  if (!Value) SetActiveButton(-1);
}

void TvmInplaceDropDownEdit::AfterActivate() {
  if (FImmediatePopup) SetDroppedDown(true);
}

void TvmInplaceDropDownEdit::AfterMouseActivate() {
  if (FPopupOnClick && !FPopupShown) DropDown();
}

void TvmInplaceDropDownEdit::ForwardMouseDown(int X, int Y) {
  TPoint p = ScreenToClient(GetContainer() ? GetContainer()->ClientToScreen(TPoint(X, Y)) : TPoint(X, Y));
  SetMouseCapture(false);
  int b = ButtonAt(p.X, p.Y);
  if (b >= 0) {
    SetActiveButton(b);
    DoButtonDown(false, b);
  }
}

void TvmInplaceDropDownEdit::HideEdit() {
  if (FPopupShown && FCurrentPopup) {
    FCurrentPopup->Hide();
    FPopupShown = false;
    FWatch.reset();
  }
  TvmInplaceMaskEdit::HideEdit();
}

void TvmInplaceDropDownEdit::ShowEdit() {
  FPopupShown = false;
  TvmInplaceMaskEdit::ShowEdit();
}

bool TvmInplaceDropDownEdit::IsFocused() const {
  if (TvmInplaceMaskEdit::IsFocused()) return true;
  return FPopupShown && FCurrentPopup && FocusWithin(FCurrentPopup);
}

void TvmInplaceDropDownEdit::FillViewData(TvmEditViewData* VD, bool UseBindingValue) {
  TvmInplaceMaskEdit::FillViewData(VD, UseBindingValue);
  if (auto* d = dynamic_cast<TvmDropDownEditViewData*>(VD)) {
    d->ButtonGlyph = FButtonGlyph.get();
    d->ButtonsHidden = FStyle->ButtonTransparence() == ebtHideInactive && !IsHot();
    d->HotButton = FHotButton;
    d->HeldButton = FHeldButton;
    CalcButtons(d);
  }
}

void TvmInplaceDropDownEdit::CalcButtons(TvmDropDownEditViewData* VD) {
  VD->Buttons = {};
  VD->ButtonCount = 0;
  if (VD->ButtonsHidden) return;
  VD->ButtonCount = 1;
  VD->Buttons[0].LeftAligned = false;
  VD->Buttons[0].Kind = VD->ButtonGlyph && !VD->ButtonGlyph->Empty() ? bkGlyph : bkDown;
  VD->Buttons[0].Glyph = VD->ButtonGlyph;
  VD->Buttons[0].Width = GetButtonWidth(VD, 0);
}

int TvmInplaceDropDownEdit::GetButtonWidth(TvmDropDownEditViewData* VD, int Button) {
  const TvmViewButton& b = VD->Buttons[Button];
  if (b.Kind == bkGlyph && b.Glyph && !b.Glyph->Empty()) {
    int w = b.Glyph->Width() + 2;
    if (VD->ButtonStyle == btsFlat || VD->ButtonStyle == btsSimple) w += 1;
    if (VD->ButtonStyle == bts3D) w += 2;
    return w;
  }
  return ScrollBarWidth - ((VD->ButtonStyle == btsFlat || VD->ButtonStyle == btsSimple) ? 1 : 0);
}

std::vector<TRect> TvmInplaceDropDownEdit::ButtonRects(TvmInplaceEditClass Self, TvmEditViewData* VD) {
  std::vector<TRect> out;
  auto* d = dynamic_cast<TvmDropDownEditViewData*>(VD);
  if (!d) return out;
  // The content before the buttons were cut from it.
  TvmEditViewInfo vi;
  TvmInplaceEdit::CalcViewInfo(Self, VD, false, vi);
  TRect r = vi.ContentRect;
  out.resize(d->ButtonCount);
  for (int i = d->ButtonCount - 1; i >= 0; --i) {
    const TvmViewButton& b = d->Buttons[i];
    if (b.LeftAligned) {
      out[i] = Rect(r.Left, r.Top, r.Left + b.Width, r.Bottom);
      r.Left += b.Width;
    } else {
      out[i] = Rect(r.Right - b.Width, r.Top, r.Right, r.Bottom);
      r.Right -= b.Width;
    }
  }
  return out;
}

void TvmInplaceDropDownEdit::CalcViewInfo(TvmInplaceEditClass Self, TvmEditViewData* VD, bool AutoSize,
                                          TvmEditViewInfo& VI) {
  TvmInplaceMaskEdit::CalcViewInfo(Self, VD, AutoSize, VI);
  auto* d = dynamic_cast<TvmDropDownEditViewData*>(VD);
  if (!d) return;
  for (int i = 0; i < d->ButtonCount; ++i) {
    if (d->Buttons[i].LeftAligned)
      VI.ContentRect.Left += d->Buttons[i].Width;
    else
      VI.ContentRect.Right -= d->Buttons[i].Width;
  }
  if (VI.ContentRect.Right < VI.ContentRect.Left) VI.ContentRect.Right = VI.ContentRect.Left;
}

namespace {

void DrawArrowDown(TCanvas* DC, const TRect& R, int Width, TColor Color) {
  int w = Width / 2;
  if (w % 2 == 0) --w;
  if (w < 1) w = 1;
  int x = (R.Left + R.Right - w) / 2;
  int y = (R.Top + R.Bottom - (w + 1) / 2) / 2;
  for (int row = 0; row < (w + 1) / 2; ++row)
    FillRectColor(DC, Rect(x + row, y + row, x + w - row, y + row + 1), Color);
}

void DrawEllipsis(TCanvas* DC, const TRect& R, int Inner, TColor Color) {
  int s = Inner > 15 ? 2 : 1;
  int total = 5 * s;
  int x = (R.Left + R.Right - total) / 2, y = (R.Top + R.Bottom - s) / 2;
  for (int k = 0; k < 3; ++k) FillRectColor(DC, Rect(x + 2 * k * s, y, x + 2 * k * s + s, y + s), Color);
}

}  // namespace

void TvmInplaceDropDownEdit::DrawBorder(TvmInplaceEditClass Self, TCanvas* DC, TvmEditViewInfo& VI,
                                        TvmEditViewData* VD) {
  TvmInplaceMaskEdit::DrawBorder(Self, DC, VI, VD);
  auto* d = dynamic_cast<TvmDropDownEditViewData*>(VD);
  if (!d) return;
  std::vector<TRect> rects = ButtonRects(Self, VD);
  for (int i = d->ButtonCount - 1; i >= 0; --i) {
    TRect r = rects[i];
    const TvmViewButton& b = d->Buttons[i];
    const bool pressed = i == d->HotButton && i == d->HeldButton;
    const bool hot = i == d->HotButton;
    TvmEditButtonViewStyle style = VD->ButtonStyle;
    if (style == btsSimple && (hot || pressed)) style = btsFlat;
    TColor face = VD->ButtonsTransparent ? VD->Brush : clBtnFace;
    TColor symbol = clBtnText;
    switch (style) {
      case bts3D:
        FillRectColor(DC, r, face);
        if (pressed) {
          DrawEdge(DC, r, BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_ADJUST);
          DrawEdge(DC, r, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
        } else {
          DrawEdge(DC, r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        }
        break;
      case btsFlat:
        if (!VD->ButtonsTransparent) {
          FillRectColor(DC, Rect(r.Left, r.Top, r.Left + 1, r.Bottom), clBtnFace);
          r.Left += 1;
        }
        FillRectColor(DC, r, face);
        DrawEdge(DC, r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        break;
      case btsSimple:
        if (!VD->ButtonsTransparent) {
          FillRectColor(DC, Rect(r.Left, r.Top, r.Left + 1, r.Bottom), VD->Brush);
          r.Left += 1;
          FillRectColor(DC, r, face);
        } else {
          InflateRect(r, -1, -1);
        }
        break;
      case btsHotFlat:
      default: {
        DC->Brush()->SetColor(clBtnShadow);
        DC->FrameRect(r);
        InflateRect(r, -1, -1);
        if (!VD->ButtonsTransparent && VD->IsEnabled)
          FillRectColor(DC, r, pressed ? clBtnText : hot ? clBtnShadow : clBtnFace);
        symbol = (hot || pressed) && !VD->ButtonsTransparent ? clWindow
                 : hot && VD->ButtonsTransparent             ? clBtnShadow
                                                             : clBtnText;
        break;
      }
    }
    if (pressed && style != btsHotFlat) OffsetRect(r, 1, 1);
    auto drawSymbol = [&](const TRect& At, TColor Color) {
      if (b.Kind == bkEllipsis)
        DrawEllipsis(DC, At, At.Width(), Color);
      else if (b.Kind == bkDown)
        DrawArrowDown(DC, At, b.Width, Color);
    };
    if (b.Kind == bkGlyph && b.Glyph && !b.Glyph->Empty()) {
      TRect g = Bounds((r.Left + r.Right - b.Glyph->Width()) / 2, (r.Top + r.Bottom - b.Glyph->Height()) / 2,
                       b.Glyph->Width(), b.Glyph->Height());
      DrawTransparentBitmapInRect(DC, face == clNone ? clBtnFace : face, Rect(g.Left, g.Top, g.Right, g.Bottom), g,
                                  b.Glyph);
    } else if (!VD->IsEnabled) {
      TRect o = r;
      OffsetRect(o, 1, 1);
      drawSymbol(o, clBtnHighlight);
      drawSymbol(r, clBtnShadow);
    } else {
      drawSymbol(r, symbol);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Popup list

VM_DEFINE_CLASS(TvmPopupListBox)

TvmPopupListBox::TvmPopupListBox(TComponent* AOwner)
    : TvmInplacePopupControl(AOwner), FItems(std::make_unique<TStringList>()) {
  FIsPopup = true;
  FTabStop = false;
  SetColor(clWindow);
}

int TvmPopupListBox::ItemHeight() { return std::max(1, Canvas()->TextHeight("Wg")); }

int TvmPopupListBox::WidestItem() {
  int w = 0;
  Canvas()->Font()->Assign(Font());
  for (int i = 0; i < FItems->Count(); ++i) w = std::max(w, Canvas()->TextWidth((*FItems)[i]));
  return w;
}

void TvmPopupListBox::SetItemIndex(int Value) {
  if (Value < -1 || Value >= FItems->Count()) Value = -1;
  FItemIndex = Value;
  const int rows = VisibleRows();
  if (FItemIndex >= 0) {
    if (FItemIndex < FTopIndex) FTopIndex = FItemIndex;
    if (FItemIndex >= FTopIndex + rows) FTopIndex = FItemIndex - rows + 1;
  }
  SetTopIndex(FTopIndex);
  Invalidate();
}

int TvmPopupListBox::VisibleRows() { return std::max(1, ClientRect().Height() / std::max(1, RowHeight())); }

void TvmPopupListBox::SetTopIndex(int Value) {
  Value = std::clamp(Value, 0, std::max(0, FItems->Count() - VisibleRows()));
  if (Value == FTopIndex) return;
  FTopIndex = Value;
  Invalidate();
}

bool TvmPopupListBox::ScrollBarVisible() { return FItems->Count() > VisibleRows(); }

TRect TvmPopupListBox::ScrollBarRect() {
  if (!ScrollBarVisible()) return TRect();
  TRect c = ClientRect();
  return Rect(std::max(c.Left, c.Right - ScrollBarWidth), c.Top, c.Right, c.Bottom);
}

TRect TvmPopupListBox::ItemsRect() {
  TRect c = ClientRect();
  TRect sb = ScrollBarRect();
  if (!IsRectEmpty(sb)) c.Right = sb.Left;
  return c;
}

namespace {
// The arrow buttons are square unless the bar is too short for two of them.
int ArrowButtonHeight(const TRect& Bar) { return std::min(Bar.Width(), Bar.Height() / 2); }
}  // namespace

TRect TvmPopupListBox::ThumbRect() {
  TRect sb = ScrollBarRect();
  if (IsRectEmpty(sb)) return TRect();
  const int b = ArrowButtonHeight(sb);
  const int track = sb.Height() - 2 * b;
  const int n = FItems->Count(), rows = VisibleRows();
  int thumb = std::max(8, static_cast<int>(static_cast<int64_t>(track) * rows / std::max(1, n)));
  if (thumb > track) return TRect();  // no room for a thumb
  const int maxTop = std::max(1, n - rows);
  const int top = sb.Top + b + static_cast<int>(static_cast<int64_t>(track - thumb) * FTopIndex / maxTop);
  return Rect(sb.Left, top, sb.Right, top + thumb);
}

TvmPopupListBox::TScrollPart TvmPopupListBox::ScrollPartAt(int X, int Y) {
  TRect sb = ScrollBarRect();
  if (IsRectEmpty(sb) || !PtInRect(sb, TPoint(X, Y))) return spNone;
  const int b = ArrowButtonHeight(sb);
  if (Y < sb.Top + b) return spLineUp;
  if (Y >= sb.Bottom - b) return spLineDown;
  TRect t = ThumbRect();
  if (IsRectEmpty(t)) return spNone;
  if (Y < t.Top) return spPageUp;
  if (Y >= t.Bottom) return spPageDown;
  return spThumb;
}

void TvmPopupListBox::Paint() {
  TvmInplacePopupControl::Paint();
  PaintScrollBar();
}

void TvmPopupListBox::PaintScrollBar() {
  TRect sb = ScrollBarRect();
  if (IsRectEmpty(sb)) return;
  TCanvas* c = Canvas();
  FillRectColor(c, sb, clBtnHighlight);
  DrawHalftoneOverlay(c, sb, clBtnFace);
  const int b = ArrowButtonHeight(sb);
  auto button = [&](TRect r, bool up, bool pressed) {
    FillRectColor(c, r, clBtnFace);
    TRect e = r;
    DrawEdge(c, e, pressed ? BDR_SUNKENOUTER : EDGE_RAISED, BF_RECT | (pressed ? BF_FLAT : 0));
    const int canMove = up ? FTopIndex > 0 : FTopIndex < FItems->Count() - VisibleRows();
    const int cx = (r.Left + r.Right) / 2 + (pressed ? 1 : 0), cy = (r.Top + r.Bottom) / 2 + (pressed ? 1 : 0);
    const int s = std::max(1, std::min(r.Width(), r.Height()) / 4);
    c->Pen()->SetColor(canMove ? clBtnText : clGrayText);
    c->Brush()->SetColor(canMove ? clBtnText : clGrayText);
    c->Brush()->SetStyle(bsSolid);
    const int tip = up ? cy - s / 2 - 1 : cy + s / 2 + 1, base = up ? tip + s : tip - s;
    c->Polygon({TPoint(cx - s, base), TPoint(cx + s, base), TPoint(cx, tip)});
  };
  button(Rect(sb.Left, sb.Top, sb.Right, sb.Top + b), true, FScrollPart == spLineUp);
  button(Rect(sb.Left, sb.Bottom - b, sb.Right, sb.Bottom), false, FScrollPart == spLineDown);
  TRect t = ThumbRect();
  if (!IsRectEmpty(t)) {
    FillRectColor(c, t, clBtnFace);
    DrawEdge(c, t, EDGE_RAISED, BF_RECT);
  }
}

bool TvmPopupListBox::ListKey(uint16_t Key, int PageRows) {
  int n = FItems->Count();
  if (n == 0) return false;
  int i = FItemIndex;
  switch (Key) {
    case VK_UP:
      i = std::max(0, i - 1);
      break;
    case VK_DOWN:
      i = std::min(n - 1, i + 1);
      break;
    case VK_PRIOR:
      i = std::max(0, i - std::max(1, PageRows - 1));
      break;
    case VK_NEXT:
      i = std::min(n - 1, std::max(0, i) + std::max(1, PageRows - 1));
      break;
    case VK_HOME:
      i = 0;
      break;
    case VK_END:
      i = n - 1;
      break;
    default:
      return false;
  }
  SetItemIndex(i);
  return true;
}

int TvmPopupListBox::ItemAt(int X, int Y) {
  TRect c = ItemsRect();
  if (!PtInRect(c, TPoint(X, Y))) return -1;
  int i = FTopIndex + (Y - c.Top) / std::max(1, RowHeight());
  return i < FItems->Count() ? i : -1;
}

void TvmPopupListBox::PaintClient() {
  TCanvas* c = Canvas();
  c->Font()->Assign(Font());
  TRect r = ItemsRect();
  FillRectColor(c, r, Color());
  int h = RowHeight();
  for (int i = FTopIndex; i < FItems->Count(); ++i) {
    TRect ir = Rect(r.Left, r.Top + (i - FTopIndex) * h, r.Right, r.Top + (i - FTopIndex + 1) * h);
    if (ir.Top >= r.Bottom) break;
    bool sel = i == FItemIndex;
    FillRectColor(c, ir, sel ? clHighlight : Color());
    c->Font()->SetColor(sel ? clHighlightText : Font()->Color());
    c->Brush()->SetStyle(bsClear);
    c->TextRect(ir, ir.Left + 2, ir.Top, (*FItems)[i]);
  }
}

void TvmPopupListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const TScrollPart part = Button == mbLeft ? ScrollPartAt(X, Y) : spNone;
  if (part != spNone || (Button == mbLeft && PtInRect(ScrollBarRect(), TPoint(X, Y)))) {
    // The scroll bar moves the rows and leaves the selection alone.
    FScrollPart = part;
    const int page = std::max(1, VisibleRows() - 1);
    switch (part) {
      case spLineUp:
        SetTopIndex(FTopIndex - 1);
        break;
      case spLineDown:
        SetTopIndex(FTopIndex + 1);
        break;
      case spPageUp:
        SetTopIndex(FTopIndex - page);
        break;
      case spPageDown:
        SetTopIndex(FTopIndex + page);
        break;
      case spThumb:
        FThumbGrab = Y - ThumbRect().Top;
        break;
      case spNone:
        FScrollPart = spThumb;  // a press on a bar too short for a thumb is held all the same
        FThumbGrab = -1;
        break;
    }
    Invalidate();
    return;
  }
  int i = ItemAt(X, Y);
  if (i >= 0) SetItemIndex(i);
  TvmInplacePopupControl::MouseDown(Button, Shift, X, Y);
}

void TvmPopupListBox::MouseMove(TShiftState Shift, int X, int Y) {
  if (FScrollPart != spNone) {
    if (FScrollPart == spThumb && FThumbGrab >= 0) {
      TRect sb = ScrollBarRect(), t = ThumbRect();
      if (!IsRectEmpty(t)) {
        const int b = ArrowButtonHeight(sb);
        const int span = sb.Height() - 2 * b - t.Height();
        const int maxTop = std::max(0, FItems->Count() - VisibleRows());
        const int pos = Y - FThumbGrab - (sb.Top + b);
        if (span > 0) SetTopIndex(static_cast<int>((static_cast<int64_t>(pos) * maxTop + span / 2) / span));
      }
    }
    return;
  }
  if (FHotTrack) {
    int i = ItemAt(X, Y);
    if (i >= 0 && i != FItemIndex) SetItemIndex(i);
  }
  TvmInplacePopupControl::MouseMove(Shift, X, Y);
}

void TvmPopupListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FScrollPart != spNone) {
    // Letting go of the scroll bar keeps the list open.
    FScrollPart = spNone;
    Invalidate();
    return;
  }
  TvmInplacePopupControl::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft && OnListMouseUp) OnListMouseUp(this, X, Y);
}

// ---------------------------------------------------------------------------------------------
// Pick editor

VM_DEFINE_CLASS(TvmInplacePickEdit)

TvmInplacePickEdit::TvmInplacePickEdit(TComponent* AOwner)
    : TvmInplaceDropDownEdit(AOwner), FItems(std::make_unique<TStringList>()) {
  FSearchInList = true;
  FList = new TvmPopupListBox(this);
  FList->SetOwnerEdit(this);
  FList->OnListMouseUp = [this](TControl* L, int X, int Y) { ListMouseUp(L, X, Y); };
  // The list is shown on the form, which may free it before this editor goes.
  FList->FreeNotification(this);
}

void TvmInplacePickEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TvmInplaceDropDownEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FList) {
    if (FCurrentPopup == FList) {
      FCurrentPopup = nullptr;
      FPopupShown = false;
    }
    FList = nullptr;
  }
}

void TvmInplacePickEdit::SetItems(TStrings* Value) { FItems->Assign(*Value); }

void TvmInplacePickEdit::SetDropDownListStyle(bool Value) {
  FDropDownListStyle = Value;
  DoSetReadOnly(FReadOnly);
}

void TvmInplacePickEdit::DoSetReadOnly(bool Value) {
  TvmInplaceDropDownEdit::DoSetReadOnly(Value);
  if (FRichEdit && FDropDownListStyle) FRichEdit->SetReadOnly(true);
}

void TvmInplacePickEdit::SetSorted(bool Value) {
  if (FPopupShown) CloseUp(false);
  FSorted = Value;
  if (Value) FItems->Sort();
}

int TvmInplacePickEdit::FindItem(const std::string& Prefix) const {
  if (Prefix.empty() || FItems->Count() == 0) return -1;
  for (int i = 0; i < FItems->Count(); ++i) {
    std::string item = (*FItems)[i];
    if (item.size() >= Prefix.size() && AnsiSameText(item.substr(0, Prefix.size()), Prefix)) return i;
  }
  return -1;
}

void TvmInplacePickEdit::ResetSearch() {
  if (FRefreshLock) return;
  FSearchActive = false;
  FTypedPrefix.clear();
}

void TvmInplacePickEdit::SetValueText(const std::string& Text) {
  if (Text == GetWindowText()) return;
  SetWindowText(Text);
  SetModified(true);
}

void TvmInplacePickEdit::ClearValue() {
  if (!CanModify()) return;
  FRefreshLock = true;
  SetValueText("");
  FRefreshLock = false;
}

bool TvmInplacePickEdit::ApplySearch() {
  int i = FindItem(FTypedPrefix);
  if (i < 0) return false;
  FRefreshLock = true;
  if (CanModify()) SetValueText((*FItems)[i]);
  FRefreshLock = false;
  SetSelection(static_cast<int>(FTypedPrefix.size()), GetTextLengthEx());
  return true;
}

void TvmInplacePickEdit::SetEditValue(const Variant& Value) {
  TvmInplaceDropDownEdit::SetEditValue(Value);
  ResetSearch();
  FItemIndex = -1;
}

void TvmInplacePickEdit::SetActive(bool Value) {
  TvmInplaceDropDownEdit::SetActive(Value);
  ResetSearch();
}

void TvmInplacePickEdit::KeyPress(char& Key) {
  if (GetReadOnly()) {
    Key = 0;
    return;
  }
  if (FPopupShown && !FRouteKeysToList) return;
  std::string text = GetWindowText();
  int s, e;
  GetSelection(s, e);
  if (static_cast<unsigned char>(Key) > 31) {
    if (e != static_cast<int>(text.size()) || text.size() != FTypedPrefix.size()) {
      // After a completion the tail is selected: the search goes on from the typed prefix.
      if (!(FSearchActive && s == static_cast<int>(FTypedPrefix.size()) && e == static_cast<int>(text.size())))
        ResetSearch();
    }
    if (FSearchActive && (FMaxLength == 0 || static_cast<int>(text.size()) < FMaxLength)) {
      FTypedPrefix += Key;
    } else {
      FSearchActive = true;
      FTypedPrefix = text.substr(0, s) + text.substr(e) + Key;
    }
    bool found = ApplySearch();
    if (found) {
      Key = 0;
    } else if (FDropDownListStyle) {
      FTypedPrefix.pop_back();
      Key = 0;
      MessageBeep();
    }
    if (FImmediateDropDown && !FPopupShown) DropDown();
    if (FPopupShown) FindListText(found ? GetWindowText() : text.substr(0, s) + Key + text.substr(e));
    if (Key) {
      // Typed normally (no item starts with the prefix).
      FRefreshLock = true;
      if (CanModify() && FRichEdit) {
        FRichEdit->ReplaceSelection(std::string(1, Key));
        SetModified(true);
      }
      FRefreshLock = false;
      Key = 0;
    }
    return;
  }
  TvmInplaceDropDownEdit::KeyPress(Key);
}

void TvmInplacePickEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE) ResetSearch();
  const bool allSelected = GetSelLength() == GetTextLengthEx() && GetTextLengthEx() > 0;
  if (Key == VK_DELETE && FDropDownListStyle && allSelected && FCanDeleteText) {
    ClearValue();
    Key = 0;
    return;
  }
  if (Key == VK_BACK) {
    int s, e;
    GetSelection(s, e);
    std::string text = GetWindowText();
    if (e != static_cast<int>(text.size()) && !FDropDownListStyle) ResetSearch();
    if (FDropDownListStyle && allSelected && FCanDeleteText) {
      ClearValue();
      Key = 0;
      return;
    }
    if (FDropDownListStyle || FSearchActive) {
      if (!FSearchActive) {
        FSearchActive = true;
        FTypedPrefix = text;
      }
      if (!FTypedPrefix.empty()) FTypedPrefix.pop_back();
      if (!FTypedPrefix.empty() || (FDropDownListStyle && !FCanDeleteText)) {
        SetSelection(static_cast<int>(FTypedPrefix.size()), static_cast<int>(text.size()));
        if (ApplySearch() || FDropDownListStyle) Key = 0;
      } else {
        ClearValue();
        Key = 0;
      }
      if (!Key) return;
    }
  }
  if (!InplaceMode() && FItems->Count() > 0 && !FPopupShown) {
    int d = 0;
    if (Key == VK_UP) d = -1;
    if (Key == VK_DOWN) d = 1;
    if (Key == VK_PRIOR) d = 1 - FDropDownRows;
    if (Key == VK_NEXT) d = FDropDownRows - 1;
    if (d != 0 && !Shift.Contains(ssAlt)) {
      StepValue(d, false);
      Key = 0;
      return;
    }
  }
  TvmInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TvmInplacePickEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TvmInplaceDropDownEdit::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && Shift.Contains(ssDouble) && FRevertable && FItems->Count() > 1) {
    StepValue(1, true);
    FindListText(GetWindowText());
  }
}

void TvmInplacePickEdit::StepValue(int Delta, bool Cycle) {
  if (GetReadOnly() || FItems->Count() == 0) return;
  ResetSearch();
  int cur = FItemIndex >= 0 ? FItemIndex : FindItem(GetWindowText());
  int n = FItems->Count();
  int i;
  if (cur < 0)
    i = 0;
  else if (cur >= n)
    i = 0;
  else {
    i = cur + Delta;
    if (i < 0) i = 0;
    if (i >= n) i = Cycle ? 0 : n - 1;
  }
  FItemIndex = i;
  if (CanModify()) SetValueText((*FItems)[i]);
  SelectAll();
}

void TvmInplacePickEdit::PrepareList() {
  FList->SetOwnerEdit(this);
  FList->SetColor(Color());
  FList->SetFont(Font());
  FList->SetPopupBorder(GetPopupBorder());
  FList->SetShadow(FStyle->Shadow());
  FList->Items()->Assign(*FItems);
  FList->Canvas()->Font()->Assign(Font());
  const int frame = 2 * PopupBorderWidth(FList->PopupBorder()) + (FList->Shadow() ? FList->ShadowSize() : 0);
  int rows = std::min(FItems->Count(), FDropDownRows);
  int h = FList->ItemHeight() * rows + frame;
  int w = FDropDownWidth != 0 ? FDropDownWidth : std::max(10, 4 + FList->WidestItem()) + frame;
  if (FDropDownWidth == 0 && FItems->Count() > rows) w += TvmPopupListBox::ScrollBarWidth;
  FList->SetBounds(FList->Left(), FList->Top(), w, h);
  int idx = FItems->IndexOf(GetWindowText());
  FList->SetItemIndex(idx);
  PositionPopup(FList, true);
}

void TvmInplacePickEdit::DropDown() {
  if (!FList) return;
  if (!IsFocused() && CanFocus()) SetFocus();
  DoEditButtonClick();
  FCurrentPopup = FList;
  if (FItems->Count() == 0) return;
  PrepareList();
  FList->ShowPopup();
  FPopupShown = true;
  WatchPopup();
  Invalidate();
}

void TvmInplacePickEdit::FindListText(const std::string& Text) {
  if (!FPopupShown) return;
  if (!FSearchActive && FItemIndex >= 0 && FItemIndex < FList->Items()->Count())
    FList->SetItemIndex(FItemIndex);
  else
    FList->SetItemIndex(FindItem(Text));
}

void TvmInplacePickEdit::CloseUp(bool Accept) {
  if (!FPopupShown) return;
  ResetSearch();
  if (Mouse && Mouse->Capture()) Mouse->Capture()->SetMouseCapture(false);
  FocusSelf();
  FList->Hide();
  FPopupShown = false;
  FWatch.reset();
  Invalidate();
  Variant value = GetWindowText();
  if (FList->ItemIndex() >= 0) value = (*FList->Items())[FList->ItemIndex()];
  DoCloseUp(value, Accept);
  if (Accept && CanModify()) {
    SetValueText(value.AsString());
    SelectAll();
  }
}

// ---------------------------------------------------------------------------------------------
// Button editor

const char* const SvmTooManyButtons = "Too many buttons ( >= %d)";

TvmEditButton::TvmEditButton(TCollection* Collection) : TCollectionItem(Collection) {}
TvmEditButton::~TvmEditButton() = default;

void TvmEditButton::Notify() { Changed(true); }

void TvmEditButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  if (Value)
    if (auto* c = dynamic_cast<TvmEditButtons*>(Collection()))
      for (int i = 0; i < c->Count(); ++i) c->Items(i)->FDefault = false;
  FDefault = Value;
  Notify();
}

TBitmap* TvmEditButton::Glyph() {
  if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
  return FGlyph.get();
}

void TvmEditButton::SetGlyph(TBitmap* Value) {
  if (!Value)
    FGlyph.reset();
  else
    Glyph()->Assign(Value);
  Notify();
}

void TvmEditButton::SetKind(TvmEditButtonKind Value) {
  if (StoreChanged(FKind, Value)) Notify();
}

void TvmEditButton::SetLeftAlignment(bool Value) {
  if (StoreChanged(FLeftAlignment, Value)) Notify();
}

void TvmEditButton::SetVisible(bool Value) {
  if (StoreChanged(FVisible, Value)) Notify();
}

void TvmEditButton::SetWidth(int Value) {
  if (StoreChanged(FWidth, Value)) Notify();
}

void TvmEditButton::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TvmEditButton*>(Source)) {
    if (Collection()) Collection()->BeginUpdate();
    SetDefault(s->FDefault);
    SetGlyph(s->FGlyph.get());
    SetKind(s->FKind);
    SetLeftAlignment(s->FLeftAlignment);
    SetVisible(s->FVisible);
    SetWidth(s->FWidth);
    if (Collection()) Collection()->EndUpdate();
    return;
  }
  TCollectionItem::Assign(Source);
}

void TvmEditButton::RestoreDefaults() {
  FGlyph.reset();
  FKind = bkEllipsis;
  FLeftAlignment = false;
  FVisible = true;
  FWidth = 0;
  Notify();
}

VM_DEFINE_CLASS(TvmEditButtons)

TvmEditButtons::TvmEditButtons(TComponent* AOwner, TCollectionItemClass ItemClass)
    : TCollection(ItemClass), FOwnerComponent(AOwner) {}

TvmEditButton* TvmEditButtons::Add() {
  if (Count() >= 8) throw Exception(Format(SvmTooManyButtons, {8}));
  return static_cast<TvmEditButton*>(TCollection::Add());
}

int TvmEditButtons::VisibleButtonCount() const {
  int n = 0;
  for (int i = 0; i < Count(); ++i) n += Items(i)->Visible();
  return n;
}

int TvmEditButtons::VisibleButtonIndex(int VisibleIndex) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Visible() && VisibleIndex-- == 0) return i;
  return -1;
}

TvmEditButton* TvmEditButtons::VisibleButtons(int VisibleIndex) const {
  int i = VisibleButtonIndex(VisibleIndex);
  return i < 0 ? nullptr : Items(i);
}

void TvmEditButtons::RestoreDefaults() {
  BeginUpdate();
  for (int i = 0; i < Count(); ++i) Items(i)->RestoreDefaults();
  EndUpdate();
}

void TvmEditButtons::Update(TCollectionItem*) {
  const bool loading = FOwnerComponent && FOwnerComponent->ComponentState().Contains(csLoading);
  if (!loading && Count() == 1) Items(0)->FDefault = true;  // no further notice
  if (auto* e = dynamic_cast<TvmInplaceEdit*>(FOwnerComponent)) e->StyleChanged();
}

VM_DEFINE_CLASS(TvmInplaceButtonEdit)

TvmInplaceButtonEdit::TvmInplaceButtonEdit(TComponent* AOwner)
    : TvmInplaceDropDownEdit(AOwner),
      FButtons(std::make_unique<TvmEditButtons>(this, TvmEditButton::StaticClass())),
      FClickKey(ShortCut(VK_RETURN, {ssCtrl})) {
  FButtons->Add();
}

TvmInplaceButtonEdit::~TvmInplaceButtonEdit() {
  FDestroying = true;
  FButtons.reset();
}

void TvmInplaceButtonEdit::SetMode(TvmButtonEditMode Value) {
  if (FMode == Value) return;
  FMode = Value;
  StyleChanged();
}

void TvmInplaceButtonEdit::CalcButtons(TvmDropDownEditViewData* VD) {
  TvmInplaceDropDownEdit::CalcButtons(VD);
  if (!FButtons || VD->ButtonsHidden) return;
  VD->ButtonCount = 0;
  for (int i = 0; i < FButtons->Count() && VD->ButtonCount < 8; ++i) {
    TvmEditButton* b = FButtons->Items(i);
    if (!b->Visible()) continue;
    TvmViewButton& vb = VD->Buttons[VD->ButtonCount];
    vb.Glyph = b->HasGlyph() ? b->Glyph() : nullptr;
    vb.Kind = b->Kind();
    vb.LeftAligned = b->LeftAlignment();
    vb.Width = b->Width() ? b->Width() : GetButtonWidth(VD, VD->ButtonCount);
    ++VD->ButtonCount;
  }
  if (FMode == bemButtonsOnly && VD->ButtonCount > 0) {
    TRect content = VD->Bounds;
    InflateRect(content, -2, -2);
    int sum = 0;
    for (int i = 0; i < VD->ButtonCount; ++i) sum += VD->Buttons[i].Width;
    if (sum < content.Width()) VD->Buttons[VD->ButtonCount - 1].Width += content.Width() - sum;
  }
}

void TvmInplaceButtonEdit::FillViewData(TvmEditViewData* VD, bool UseBindingValue) {
  TvmInplaceDropDownEdit::FillViewData(VD, UseBindingValue);
  if (auto* b = dynamic_cast<TvmButtonEditViewData*>(VD))
    b->ButtonsOnly = FMode == bemButtonsOnly && FButtons->Count() > 0;
}

void TvmInplaceButtonEdit::CalcViewInfo(TvmInplaceEditClass Self, TvmEditViewData* VD, bool AutoSize,
                                        TvmEditViewInfo& VI) {
  TvmInplaceDropDownEdit::CalcViewInfo(Self, VD, AutoSize, VI);
  if (auto* b = dynamic_cast<TvmButtonEditViewData*>(VD); b && b->ButtonsOnly)
    VI.ContentRect.Right = VI.ContentRect.Left;
}

void TvmInplaceButtonEdit::DoButtonClick(int ButtonIndex) {
  int absolute = FButtons->VisibleButtonIndex(ButtonIndex);
  if (absolute < 0) return;
  if (OnButtonClick) OnButtonClick(this, absolute);
  DoEditButtonClick();
}

void TvmInplaceButtonEdit::ClickDefaultButton() {
  for (int v = 0; v < FButtons->VisibleButtonCount(); ++v)
    if (FButtons->VisibleButtons(v)->Default()) {
      DoButtonClick(v);
      return;
    }
}

void TvmInplaceButtonEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (FMode != bemNormal && (Key == VK_LEFT || Key == VK_RIGHT)) {
    FocusAdjacentCell(Key == VK_LEFT);
    Key = 0;
    return;
  }
  if (FButtons->Count() > 0 && ShortCut(Key, Shift) == FClickKey) {
    Key = 0;
    ClickDefaultButton();
    return;
  }
  TvmInplaceDropDownEdit::KeyDown(Key, Shift);
}

void TvmInplaceButtonEdit::DefineProperties(TFiler* Filer) {
  TvmInplaceDropDownEdit::DefineProperties(Filer);
  Filer->DefineProperty(
      "ExistButtons",
      [this](TReader* R) {
        R->ReadBoolean();
        FExistButtonsRead = true;
      },
      [](TWriter* W) { W->WriteBoolean(true); }, FButtons->Count() > 0);
}

void TvmInplaceButtonEdit::Loaded() {
  TvmInplaceDropDownEdit::Loaded();
  if (!FExistButtonsRead) FButtons->Clear();
  FExistButtonsRead = false;
}
