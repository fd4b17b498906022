#include "controls/vx_combo_edit.h"

#include <algorithm>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/typinfo.h"

const TEnumInfo GlyphKindInfo("TGlyphKind", {"gkCustom", "gkDefault", "gkDropDown", "gkEllipsis"});

std::unique_ptr<TBitmap> CreateEllipsisGlyph(int ButtonWidth) {
  const int w = std::max(1, ButtonWidth - 6);
  auto bmp = std::make_unique<TBitmap>(w, 4);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(Rect(0, 0, w, 4));
  const int gap = std::clamp((w - 6) / 2, 1, 3);
  const int first = (w - 6 - 2 * gap) / 2;
  c->Brush()->SetColor(clBlack);
  for (int x : {first, first + gap + 2, first + 2 * gap + 4}) c->FillRect(Rect(x, 1, x + 2, 3));
  bmp->SetTransparentColor(clWhite);
  return bmp;
}

std::unique_ptr<TBitmap> CreateDropDownGlyph() {
  auto bmp = std::make_unique<TBitmap>(7, 4);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetColor(clWhite);
  c->FillRect(Rect(0, 0, 7, 4));
  c->Brush()->SetColor(clBlack);
  for (int row = 0; row < 4; ++row) c->FillRect(Rect(row, row, 7 - row, row + 1));
  bmp->SetTransparentColor(clWhite);
  return bmp;
}

// ---------------------------------------------------------------------------------------------

VM_DEFINE_CLASS(TEditButton)

TEditButton::TEditButton(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, 21, 17);
  SetColor(clBtnFace);
}

TEditButton::~TEditButton() = default;

void TEditButton::SetGlyph(TBitmap* Value) {
  if (Value) {
    if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
    FGlyph->Assign(Value);
  } else {
    FGlyph.reset();
  }
  Invalidate();
}

void TEditButton::SetNumGlyphs(int Value) {
  Value = std::clamp(Value, 1, 5);
  if (Value == FNumGlyphs) return;
  FNumGlyphs = Value;
  Invalidate();
}

void TEditButton::Paint() {
  TCanvas* c = Canvas();
  const int w = Width(), h = Height();
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(Rect(0, 0, w, h));
  // Raised frame, or a sunken one while held down.
  c->Pen()->SetWidth(1);
  c->Pen()->SetColor(FDown ? clBtnShadow : clBtnHighlight);
  c->MoveTo(0, h - 1);
  c->LineTo(0, 0);
  c->LineTo(w - 1, 0);
  c->Pen()->SetColor(FDown ? clBtnHighlight : clBtnShadow);
  c->MoveTo(w - 1, 0);
  c->LineTo(w - 1, h - 1);
  c->LineTo(-1, h - 1);
  if (!FDown) {
    c->Pen()->SetColor(clBtnFace);
    c->MoveTo(0, 0);
    c->LineTo(0, h);
    c->Pen()->SetColor(clBtnHighlight);
    c->MoveTo(1, 1);
    c->LineTo(1, h - 2);
  }
  if (!FGlyph || FGlyph->Empty()) return;
  const int gw = FGlyph->Width() / FNumGlyphs, gh = FGlyph->Height();
  int index = 0;
  if (!Enabled() && FNumGlyphs > 1) index = 1;
  if (FDown && FNumGlyphs > 2) index = 2;
  const int shift = FDown ? 1 : 0;
  const int x0 = (w - gw) / 2 + shift, y0 = (h - gh) / 2 + shift;
  TCanvas* g = FGlyph->Canvas();
  const TColor transparent = FGlyph->TransparentColor();
  for (int y = 0; y < gh; ++y)
    for (int x = 0; x < gw; ++x) {
      TColor p = g->Pixels(index * gw + x, y);
      if (p == transparent || p == CLR_INVALID) continue;
      if (!Enabled() && index == 0) p = clGrayText;
      c->SetPixels(x0 + x, y0 + y, p);
    }
}

void TEditButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Enabled()) {
    if (OnPress) OnPress(this, Button, Shift, X, Y);
    FDown = true;
    Invalidate();
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TEditButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FDown) {
    FDown = false;
    Invalidate();
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

// ---------------------------------------------------------------------------------------------

VM_PUBLISH(TCustomComboEdit) {
  P.Int("ButtonWidth", &TCustomComboEdit::ButtonWidth, &TCustomComboEdit::SetButtonWidth)
      .Stored(&TCustomComboEdit::IsButtonWidthStored);
  P.String("ButtonHint", &TCustomComboEdit::ButtonHint, &TCustomComboEdit::SetButtonHint);
  P.Int("NumGlyphs", &TCustomComboEdit::NumGlyphs, &TCustomComboEdit::SetNumGlyphs).Default(1);
  P.Enum("GlyphKind", &TCustomComboEdit::GlyphKind, &TCustomComboEdit::SetGlyphKind, GlyphKindInfo).Default(gkCustom);
  P.Bool("DirectInput", &TCustomComboEdit::DirectInput, &TCustomComboEdit::SetDirectInput).Default(true);
  P.Bool("ReadOnly", &TCustomComboEdit::ReadOnly, &TCustomComboEdit::SetReadOnly).Default(false);
  P.Int("ClickKey", &TCustomComboEdit::ClickKey, &TCustomComboEdit::SetClickKey).Default(ShortCut(VK_DOWN, {ssAlt}));
  P.Event("OnButtonClick", &TCustomComboEdit::OnButtonClick);
}

TCustomComboEdit::TCustomComboEdit(TComponent* AOwner) : TCustomEdit(AOwner), FClickKey(ShortCut(VK_DOWN, {ssAlt})) {
  FButton = new TEditButton(this);
  FButton->SetParent(this);
  FButton->OnPress = [this](TObject*, TMouseButton, TShiftState, int, int) {
    if (TabStop() && CanFocus() && !Focused()) SetFocus();
  };
  FButton->OnClick = [this](TObject*) { PressButton(); };
  SetBounds(Left(), Top(), 121, 21);
}

TCustomComboEdit::~TCustomComboEdit() {
  if (FButton) FButton->OnClick = nullptr;
}

void TCustomComboEdit::PressButton() {
  if (!GetReadOnly() || FAlwaysEnable) ButtonAction();
}

void TCustomComboEdit::ButtonAction() {
  if (OnButtonClick) OnButtonClick(this);
  if (!FPopup) return;
  if (FPopupVisible)
    CollapsePopup(true);
  else
    DropPopup();
}

void TCustomComboEdit::DropPopup() {
  if (!FPopup || FPopupVisible || GetReadOnly()) return;
  // The popup lives in the edit's parent, whose client area stands for the screen here.
  const TWinControl* area = FPopup->Parent();
  const int areaW = area ? area->ClientWidth() : 0, areaH = area ? area->ClientHeight() : 0;
  TPoint origin(Left(), Top());
  if (area && Parent() && area != Parent()) origin = area->ScreenToClient(Parent()->ClientToScreen(origin));
  const int pw = FPopup->Width(), ph = FPopup->Height();
  int y = origin.Y + Height();
  if (area && y + ph > areaH) y = origin.Y - ph;
  int x;
  if (FPopupAlign == epaRight) {
    x = origin.X + Width() - pw;
    if (x < 0) x = origin.X;
  } else {
    x = origin.X;
    if (area && x + pw > areaW) x = origin.X + Width() - pw;
  }
  if (area) {
    x = std::max(0, std::min(x, areaW - pw));
    y = std::max(0, std::min(y, areaH - ph));
  }
  FPopup->SetBounds(x, y, pw, ph);
  ForwardToPopup(Text());
  if (Parent() && CanFocus()) SetFocus();
  FPopup->BringToFront();
  FPopup->Show();
  FPopupVisible = true;
  TCustomEdit::SetReadOnly(true);  // select only
}

void TCustomComboEdit::CollapsePopup(bool Accept) {
  if (FPopup && FPopupVisible) {
    if (MouseCapture()) SetMouseCapture(false);
    const std::string value = ReadPopupValue();
    ConcealPopup();
    if (Parent() && CanFocus()) SetFocus();
    UpdateEditReadOnly();
    Invalidate();
    if (Accept && IsValueAcceptable(value) && !GetReadOnly()) {
      ApplyPopupValue(value);
      if (AutoSelect()) SelectAll();
    }
  }
  FPopupVisible = false;
}

void TCustomComboEdit::ApplyPopupValue(const std::string& Value) {
  if (Value == Text()) return;
  SetText(Value);
  SetModified(true);
  FPopupVisible = FPopup && FPopup->Visible();
  FireChange();
}

void TCustomComboEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FPopup) {
    const bool had = Focused();
    if (!had && Parent() && CanFocus()) SetFocus();
    if (had && FPopupVisible) CollapsePopup(false);
  }
  TCustomEdit::MouseDown(Button, Shift, X, Y);
}

void TCustomComboEdit::DoEnter() {
  // The text is selected on entering only while it may be typed over.
  if (AutoSelect() && FDirectInput) SelectAll();
  TWinControl::DoEnter();
}

void TCustomComboEdit::DoExit() {
  CollapsePopup(false);
  TCustomEdit::DoExit();
}

int TCustomComboEdit::MinHeight() const {
  TBitmap probe(1, 1);
  probe.Canvas()->Font()->Assign(Font());
  return probe.Canvas()->TextHeight("Wg") + 4 * kSystemBorderHeight + 1;
}

void TCustomComboEdit::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  TCustomEdit::SetBounds(ALeft, ATop, AWidth, std::max(AHeight, MinHeight()));
  LayoutButton();
}

void TCustomComboEdit::LayoutButton() {
  if (!FButton) return;
  FButton->SetVisible(FButtonWidth > 1);
  FButton->SetBounds(Width() - FButtonWidth, 0, FButtonWidth, Height());
}

void TCustomComboEdit::SetButtonWidth(int Value) {
  if (Value == FButtonWidth) return;
  if (!ComponentState().Contains(csLoading) && Value >= (Parent() ? ClientWidth() : Width())) return;
  FButtonWidth = Value;
  LayoutButton();
  if (FGlyphKind == gkEllipsis) RebuildGlyph();
}

void TCustomComboEdit::SetGlyph(TBitmap* Value) {
  FButton->SetGlyph(Value);
  if (!FSettingGlyph) FGlyphKind = gkCustom;
}

void TCustomComboEdit::SetNumGlyphs(int Value) {
  if (FGlyphKind == gkDropDown || FGlyphKind == gkEllipsis)
    Value = 1;
  else if (FGlyphKind == gkDefault)
    Value = DefaultNumGlyphs();
  FButton->SetNumGlyphs(Value);
}

void TCustomComboEdit::SetGlyphKind(TGlyphKind Value) {
  if (Value == FGlyphKind) return;
  FGlyphKind = Value;
  if (Value == gkDefault) {
    if (auto g = DefaultButtonGlyph()) {
      const int fit = g->Width() / std::max(1, DefaultNumGlyphs()) + 6;
      if (fit > FButtonWidth) {
        FButtonWidth = fit;
        LayoutButton();
      }
    }
  } else if (Value == gkDropDown) {
    FButtonWidth = kDropDownButtonWidth;
    LayoutButton();
  }
  RebuildGlyph();
}

void TCustomComboEdit::RebuildGlyph() {
  std::unique_ptr<TBitmap> glyph;
  int count = 1;
  switch (FGlyphKind) {
    case gkDefault:
      glyph = DefaultButtonGlyph();
      count = DefaultNumGlyphs();
      break;
    case gkDropDown:
      glyph = CreateDropDownGlyph();
      break;
    case gkEllipsis:
      glyph = CreateEllipsisGlyph(FButtonWidth);
      break;
    case gkCustom:
      return;
  }
  FSettingGlyph = true;
  SetGlyph(glyph.get());
  FSettingGlyph = false;
  FButton->SetNumGlyphs(count);
}

bool TCustomComboEdit::IsButtonWidthStored() const {
  switch (FGlyphKind) {
    case gkDefault: {
      auto g = const_cast<TCustomComboEdit*>(this)->DefaultButtonGlyph();
      const int fit = g ? g->Width() / std::max(1, DefaultNumGlyphs()) + 6 : 0;
      return FButtonWidth != std::max(fit, 21);
    }
    case gkDropDown:
      return FButtonWidth != kDropDownButtonWidth;
    default:
      return FButtonWidth != 21;
  }
}

void TCustomComboEdit::SetDirectInput(bool Value) {
  FDirectInput = Value;
  UpdateEditReadOnly();
}

void TCustomComboEdit::SetReadOnly(bool Value) {
  FReadOnly = Value;
  UpdateEditReadOnly();
}

void TCustomComboEdit::FontChanged() {
  TCustomEdit::FontChanged();
  if (Height() < MinHeight()) SetHeight(MinHeight());
}

void TCustomComboEdit::SetEnabled(bool Value) {
  TCustomEdit::SetEnabled(Value);
  if (FButton) FButton->SetEnabled(Value);
}

void TCustomComboEdit::KeyDown(uint16_t& Key, TShiftState Shift) {
  if ((Key == VK_TAB || Key == VK_RETURN) && Shift.Contains(ssCtrl)) {
    // Ctrl+Tab and Ctrl+Enter belong to the form (page and window switching, default actions).
    TWinControl* form = Parent();
    while (form && form->Parent()) form = form->Parent();
    if (form) form->DispatchKeyDown(Key, Shift);
    Key = 0;
    return;
  }
  if (FPopupVisible && (Key == VK_RETURN || Key == VK_ESCAPE)) {
    CollapsePopup(Key == VK_RETURN);
    Key = 0;
    return;
  }
  TCustomEdit::KeyDown(Key, Shift);
  if (Key != 0 && FButtonWidth > 0 && ShortCut(Key, Shift) == FClickKey) {
    PressButton();
    Key = 0;
  }
}

void TCustomComboEdit::KeyPress(char& Key) {
  if (Key == '\t' || Key == '\n') Key = 0;
  TCustomEdit::KeyPress(Key);
}
