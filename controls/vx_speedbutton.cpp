#include "controls/vx_speedbutton.h"

#include "controls/vx_utils.h"
#include "platform/actnlist.h"
#include "platform/bitmap.h"
#include "platform/guards.h"
#include "platform/imglist.h"
#include "platform/canvas.h"
#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"
#include "platform/typinfo.h"

namespace {
const TEnumInfo ButtonStyleInfo("TButtonStyle", {"bsAutoDetect", "bsWin31", "bsNew"});
const TEnumInfo ButtonLayoutInfo("TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"});
const TEnumInfo MenuPosInfo("TVxDropDownMenuPos", {"dmpBottom", "dmpRight"});
}  // namespace

VM_PUBLISH(TVxSpeedButton) {
  using B = TVxSpeedButton;
  P.Bool("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp).Default(false);
  P.Bool("AllowTimer", &B::AllowTimer, &B::SetAllowTimer).Default(false);
  P.Int("GroupIndex", &B::GroupIndex, &B::SetGroupIndex).Default(0);
  P.Bool("Down", &B::Down, &B::SetDown).Default(false);
  P.Component("DropDownMenu", &B::DropDownMenu, &B::SetDropDownMenu);
  P.Enum("MenuPosition", &B::MenuPosition, &B::SetMenuPosition, MenuPosInfo).Default(dmpBottom);
  P.String("Caption", &B::Caption, &B::SetCaption);
  P.Bool("Flat", &B::Flat, &B::SetFlat).Default(false);
  P.Bool("FlatStandard", &B::FlatStandard, &B::SetFlatStandard).Default(false);
  P.Object("Glyph", &B::Glyph, &B::SetGlyph);
  P.Bool("GrayedInactive", &B::GrayedInactive, &B::SetGrayedInactive).Default(true);
  P.Int("InitPause", &B::InitPause, &B::SetInitPause).Default(500);
  P.Enum("Layout", &B::Layout, &B::SetLayout, ButtonLayoutInfo).Default(blGlyphTop);
  P.Int("Margin", &B::Margin, &B::SetMargin).Default(-1);
  P.Bool("MarkDropDown", &B::MarkDropDown, &B::SetMarkDropDown).Default(true);
  P.Int("ModalResult", &B::ModalResult, &B::SetModalResult).Default(0);
  P.Int("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs).Default(1);
  P.Int("RepeatInterval", &B::RepeatInterval, &B::SetRepeatInterval).Default(100);
  P.Int("Spacing", &B::Spacing, &B::SetSpacing).Default(1);
  P.Enum("Style", &B::Style, &B::SetStyle, ButtonStyleInfo).Default(bsAutoDetect);
  P.Bool("Transparent", &B::Transparent, &B::SetTransparent).Default(false);
  P.Enum("Alignment", &B::Alignment, &B::SetAlignment, AlignmentInfo).Default(taCenter);
  P.Bool("WordWrap", &B::WordWrap, &B::SetWordWrap).Default(false);
  P.Event("OnMouseEnter", &B::OnMouseEnter);
  P.Event("OnMouseLeave", &B::OnMouseLeave);
}

namespace {

// One ring of one-pixel lines: top and left in TopLeft, bottom and right in BottomRight; R shrinks.
void Ring(TCanvas* C, TRect& R, TColor TopLeft, TColor BottomRight) {
  C->Pen()->SetColor(TopLeft);
  C->MoveTo(R.Left, R.Bottom - 1);
  C->LineTo(R.Left, R.Top);
  C->LineTo(R.Right - 1, R.Top);
  C->Pen()->SetColor(BottomRight);
  C->LineTo(R.Right - 1, R.Bottom - 1);
  C->LineTo(R.Left - 1, R.Bottom - 1);
  R = Rect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
}

TForm* ParentForm(TControl* C) {
  for (TControl* p = C; p; p = p->Parent())
    if (auto* f = dynamic_cast<TForm*>(p)) return f;
  return nullptr;
}

}  // namespace

TRect DrawButtonFrame(TCanvas* Canvas, const TRect& Client, bool IsDown, bool IsFlat, TButtonStyle Style) {
  const bool newLook = Style != bsWin31;
  TRect r = Client;
  const TPenMode oldMode = Canvas->Pen()->Mode();
  Canvas->Pen()->SetMode(pmCopy);
  Canvas->Pen()->SetWidth(1);
  Canvas->Pen()->SetStyle(psSolid);
  if (!IsDown) {
    if (newLook && !IsFlat) {
      Ring(Canvas, r, clBtnHighlight, clWindowFrame);
      Ring(Canvas, r, clBtnFace, clBtnShadow);
    } else if (newLook) {
      Ring(Canvas, r, clBtnHighlight, clBtnShadow);
    } else if (!IsFlat) {
      Ring(Canvas, r, clWindowFrame, clWindowFrame);
      Ring(Canvas, r, clBtnHighlight, clBtnShadow);
    } else {
      Ring(Canvas, r, clBtnHighlight, clWindowFrame);
    }
  } else {
    if (newLook && !IsFlat) {
      Ring(Canvas, r, clWindowFrame, clBtnHighlight);
      Ring(Canvas, r, clBtnShadow, clBtnFace);
    } else if (newLook) {
      Ring(Canvas, r, clBtnShadow, clBtnHighlight);
    } else if (!IsFlat) {
      Ring(Canvas, r, clWindowFrame, clWindowFrame);
      Canvas->Pen()->SetColor(clBtnShadow);
      Canvas->MoveTo(r.Left, r.Bottom - 1);
      Canvas->LineTo(r.Left, r.Top);
      Canvas->LineTo(r.Right, r.Top);
    } else {
      Ring(Canvas, r, clWindowFrame, clBtnHighlight);
    }
  }
  Canvas->Pen()->SetMode(oldMode);
  return Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
}

TVxSpeedButton::TVxSpeedButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TVxButtonGlyph>()), FDrawImage(std::make_unique<TBitmap>()) {
  SetBounds(0, 0, 25, 25);
  SetShowHint(true);
  SetClickOnMouseUp(false);
  FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TAction* TVxSpeedButton::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TVxSpeedButton::SetAction(TAction* Value) {
  if (!Value) {
    FActionLink.reset();
    return;
  }
  if (!FActionLink) FActionLink = std::make_unique<TActionLink>([this](TAction* A) { ActionChange(A, false); });
  FActionLink->SetAction(Value);
}

void TVxSpeedButton::ActionChange(TAction* Sender, bool CheckDefaults) {
  if (!Sender) return;
  SetCaption(Sender->Caption());
  SetHint(Sender->Hint());
  SetEnabled(Sender->Enabled());
  SetVisible(Sender->Visible());
  if (FGroupIndex != 0 && (!CheckDefaults || !FDown)) SetDown(Sender->Checked());
  if (FGlyph->Glyph()->Empty() && Sender->ActionList()) {
    auto* images = dynamic_cast<TImageList*>(Sender->ActionList()->Images());
    const int index = Sender->ImageIndex();
    if (images && index >= 0 && index < images->Count()) {
      const TColor key = RGB(255, 0, 255);
      TBitmap b(images->Width(), images->Height());
      b.Canvas()->Brush()->SetColor(key);
      b.Canvas()->FillRect(Rect(0, 0, b.Width(), b.Height()));
      images->Draw(b.Canvas(), 0, 0, index);
      b.SetTransparentColor(key);
      SetGlyph(&b);
    }
  }
}

void TVxSpeedButton::Click() {
  if (TForm* f = ParentForm(this)) f->SetModalResult(FModalResult);
  if (OnClick) {
    TGraphicControl::Click();
  } else if (FActionLink) {
    FActionLink->Execute(this);
  }
}

TVxSpeedButton::~TVxSpeedButton() {
  FActionLink.reset();
  if (FDropDownMenu) FDropDownMenu->RemoveFreeNotification(this);
  FGlyph->OnChange = nullptr;
  delete FRepeatTimer;
  FRepeatTimer = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Properties

void TVxSpeedButton::SetGlyph(TBitmap* Value) {
  FGlyph->SetGlyph(Value);
  Invalidate();
}

void TVxSpeedButton::SetNumGlyphs(TVxNumGlyphs Value) {
  if (Value > 5) Value = 5;
  if (Value <= 0 || Value == FGlyph->NumGlyphs()) return;
  FGlyph->SetNumGlyphs(Value);
  Invalidate();
}

void TVxSpeedButton::SetAlignment(TAlignment Value) {
  if (Value == FGlyph->Alignment()) return;
  FGlyph->SetAlignment(Value);
  Invalidate();
}

void TVxSpeedButton::SetWordWrap(bool Value) {
  if (Value == FGlyph->WordWrap()) return;
  FGlyph->SetWordWrap(Value);
  Invalidate();
}

void TVxSpeedButton::SetStyle(TButtonStyle Value) {
  if (StoreChanged(FStyle, Value)) Invalidate();
}
void TVxSpeedButton::SetFlat(bool Value) {
  if (StoreChanged(FFlat, Value)) Invalidate();
}
void TVxSpeedButton::SetFlatStandard(bool Value) {
  if (StoreChanged(FFlatStandard, Value)) Invalidate();
}
void TVxSpeedButton::SetLayout(TButtonLayout Value) {
  if (StoreChanged(FLayout, Value)) Invalidate();
}
void TVxSpeedButton::SetSpacing(int32_t Value) {
  if (StoreChanged(FSpacing, Value)) Invalidate();
}
void TVxSpeedButton::SetTransparent(bool Value) {
  if (StoreChanged(FTransparent, Value)) Invalidate();
}
void TVxSpeedButton::SetMarkDropDown(bool Value) {
  if (StoreChanged(FMarkDropDown, Value)) Invalidate();
}
void TVxSpeedButton::SetGrayedInactive(bool Value) {
  if (StoreChanged(FGrayedInactive, Value)) Invalidate();
}

void TVxSpeedButton::SetMargin(int32_t Value) {
  if (Value < -1 || Value == FMargin) return;
  FMargin = Value;
  Invalidate();
}

void TVxSpeedButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  if (FDown && !FAllowAllUp) return;
  FDown = Value;
  if (Value) {
    if (FState == rbsUp) Invalidate();
    FState = rbsExclusive;
  } else {
    FState = rbsUp;
  }
  Repaint();
  if (Value) UpdateExclusive();
}

void TVxSpeedButton::SetGroupIndex(int32_t Value) {
  if (Value == FGroupIndex) return;
  FGroupIndex = Value;
  UpdateExclusive();
}

void TVxSpeedButton::SetAllowAllUp(bool Value) {
  if (Value == FAllowAllUp) return;
  FAllowAllUp = Value;
  UpdateExclusive();
}

void TVxSpeedButton::SetDropDownMenu(TPopupMenu* Value) {
  if (Value == FDropDownMenu) return;
  if (FDropDownMenu) FDropDownMenu->RemoveFreeNotification(this);
  FDropDownMenu = Value;
  if (Value) Value->FreeNotification(this);
  if (FMarkDropDown) Invalidate();
}

void TVxSpeedButton::SetAllowTimer(bool Value) {
  FAllowTimer = Value;
  if (!Value && FRepeatTimer) {
    FRepeatTimer->SetEnabled(false);
    delete FRepeatTimer;
    FRepeatTimer = nullptr;
  }
}

void TVxSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDropDownMenu) FDropDownMenu = nullptr;
  if (Operation == opRemove && AComponent == FRepeatTimer) FRepeatTimer = nullptr;
}

void TVxSpeedButton::SysColorChange() {
  FGlyph->ReleaseGlyphs();
  Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Groups

void TVxSpeedButton::UpdateExclusive() {
  if (FGroupIndex == 0 || !Parent()) return;
  TWinControl* p = Parent();
  for (int i = 0; i < p->ControlCount(); ++i)
    if (auto* b = dynamic_cast<TVxSpeedButton*>(p->Controls(i))) b->ButtonPressed(this, FGroupIndex);
}

void TVxSpeedButton::ButtonPressed(TVxSpeedButton* Sender, int32_t GroupIndex) {
  if (Sender == this || GroupIndex != FGroupIndex) return;
  if (Sender->FDown && FDown) {
    FDown = false;
    FState = rbsUp;
    Invalidate();
  }
  FAllowAllUp = Sender->FAllowAllUp;
}

// ---------------------------------------------------------------------------------------------
// Painting

void TVxSpeedButton::Paint() {
  if (Enabled()) {
    if (FState == rbsDisabled) FState = (FDown && FGroupIndex != 0) ? rbsExclusive : rbsUp;
  } else {
    FState = rbsDisabled;
    FDragging = false;
  }
  TVxButtonState look = FState;
  if (FFlat && !FMouseInside && !ComponentState().Contains(csDesigning)) look = rbsInactive;

  FDrawImage->SetSize(Width(), Height());
  TCanvas* c = FDrawImage->Canvas();
  c->SetFont(Font());
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(Rect(0, 0, Width(), Height()));
  if (FTransparent) PaintParentBackground(this, c);

  TRect content;
  if (!(look == rbsInactive && FState != rbsExclusive)) {
    content =
        DrawButtonFrame(c, Rect(0, 0, Width(), Height()), FState == rbsDown || FState == rbsExclusive, FFlat, FStyle);
  } else {
    content = Rect(2, 2, Width() - 2, Height() - 2);
  }
  if (FState == rbsExclusive && !FTransparent && (!FFlat || look == rbsInactive)) {
    const TColor face = ColorToRGB(clBtnFace), hi = ColorToRGB(clBtnHighlight);
    for (int y = content.Top - 1; y < content.Bottom + 1; ++y)
      for (int x = content.Left - 1; x < content.Right + 1; ++x) c->SetPixels(x, y, ((x + y) & 1) ? hi : face);
  }
  if (FState == rbsDown || FState == rbsExclusive)
    content = Rect(content.Left + 1, content.Top + 1, content.Right + 1, content.Bottom + 1);
  if (FState == rbsDisabled || !FGrayedInactive) look = FState;
  DrawFace(c, content, FMarkDropDown && FDropDownMenu, look);
  Canvas()->Draw(0, 0, FDrawImage.get());
}

void TVxSpeedButton::DrawFace(TCanvas* Canvas, const TRect& Client, bool PopupMark, TVxButtonState State) {
  if (FFlatStandard && State == rbsInactive) State = rbsExclusive;
  uint32_t flags = DT_CENTER;
  if (FGlyph->Alignment() == taLeftJustify)
    flags = DT_LEFT;
  else if (FGlyph->Alignment() == taRightJustify)
    flags = DT_RIGHT;
  FGlyph->Render(Canvas, Client, Caption(), FLayout, FMargin, FSpacing, PopupMark, State, flags);
}

void TVxSpeedButton::TextChanged() { Invalidate(); }
void TVxSpeedButton::FontChanged() {
  TGraphicControl::FontChanged();
  Invalidate();
}

void TVxSpeedButton::PrepareLook() {
  TVxButtonState s = !Enabled() ? rbsDisabled : (FFlat ? rbsInactive : rbsUp);
  FGlyph->GlyphIndexForState(s);
}

void TVxSpeedButton::Loaded() {
  TGraphicControl::Loaded();
  PrepareLook();
}

void TVxSpeedButton::EnabledChanged() {
  PrepareLook();
  UpdateMouseInside();
  Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TVxSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FMenuTracking) return;
  if (FDiscardNextPress) {
    // The press that closed the drop-down menu over the button does not press it again.
    FDiscardNextPress = false;
    if (Button == mbLeft && Inside(X, Y)) return;
  }
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Enabled() && !FMouseInside) {
    FMouseInside = true;
    Repaint();
  }
  if (Button != mbLeft || !Enabled()) {
    if (Button == mbRight) UpdateMouseInside();
    return;
  }
  if (!FDown) {
    FState = rbsDown;
    Repaint();
  }
  FDragging = true;
  FMenuTracking = true;
  SetMouseCapture(true);
  {
    TScopeExit menuTracking([&] { FMenuTracking = false; });
    if (ShowDropDownMenu(DropDownMenuPoint(), false)) {
      FinishPress(Button, Shift, X, Y);
      FDiscardNextPress = true;
    }
  }
  if (FAllowTimer) {
    if (!FRepeatTimer) {
      FRepeatTimer = new TTimer(this);
      FRepeatTimer->SetEnabled(false);
      FRepeatTimer->OnTimer = [this](TObject* Sender) { RepeatTick(Sender); };
    }
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetInterval(FInitPause);
    FRepeatTimer->SetEnabled(true);
  }
}

void TVxSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  FDiscardNextPress = false;
  if (!FDragging) return;
  const TVxButtonState s = Inside(X, Y) ? (FDown ? rbsExclusive : rbsDown) : (FDown ? rbsExclusive : rbsUp);
  if (s != FState) {
    FState = s;
    Repaint();
  }
}

void TVxSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  FinishPress(Button, Shift, X, Y);
  if (Button == mbRight) UpdateMouseInside();
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
}

void TVxSpeedButton::FinishPress(TMouseButton Button, TShiftState, int X, int Y) {
  if (!FDragging || Button != mbLeft) return;
  FDragging = false;
  SetMouseCapture(false);
  const bool inside = Inside(X, Y);
  if (FGroupIndex == 0) {
    // The mouse-inside flag is left to UpdateMouseInside below, so a release outside still
    // reports the leave.
    FState = rbsUp;
    if (inside)
      Repaint();
    else
      Invalidate();
  } else if (inside) {
    SetDown(!FDown);
    if (FDown) Repaint();
  } else {
    if (FDown) FState = rbsExclusive;
    Repaint();
  }
  if (inside && !FMenuVisible) Click();
  UpdateMouseInside();
}

void TVxSpeedButton::RepeatTick(TObject*) {
  FRepeatTimer->SetInterval(FRepeatInterval);
  if (FState == rbsDown && MouseCapture()) {
    TScopeFail stopRepeat([&] { FRepeatTimer->SetEnabled(false); });
    Click();
  }
}

void TVxSpeedButton::DblClick() {
  if (FMenuTracking) return;
  if (FDown) TGraphicControl::DblClick();
}

void TVxSpeedButton::UpdateMouseInside() {
  const bool inside = Enabled() && MouseInControl();
  if (inside == FMouseInside) return;
  FMouseInside = inside;
  if (inside) {
    if (FFlat) Repaint();
    FireMouseEnter();
  } else {
    if (FFlat) Invalidate();
    FireMouseLeave();
  }
}

void TVxSpeedButton::MouseEnter() {
  if (!FMouseInside && Enabled()) {
    FMouseInside = true;
    if (FFlat) Repaint();
    FireMouseEnter();
  }
}

void TVxSpeedButton::MouseLeave() {
  if (FMouseInside && Enabled() && !FDragging) {
    FMouseInside = false;
    if (FFlat) Invalidate();
    FireMouseLeave();
  }
}

void TVxSpeedButton::FireMouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TVxSpeedButton::FireMouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

// ---------------------------------------------------------------------------------------------
// Drop-down menu

TPoint TVxSpeedButton::DropDownMenuPoint() const {
  if (!FDropDownMenu) return Point(0, 0);
  const TPopupAlignment a = FDropDownMenu->Alignment();
  if (FMenuPosition == dmpBottom) {
    if (a == paLeft) return Point(-1, Height());
    if (a == paRight) return Point(Width() + 1, Height());
    return Point(Width() / 2, Height());
  }
  if (a == paLeft) return Point(Width(), -1);
  if (a == paRight) return Point(-1, -1);
  return Point(Width() / 2, Height());
}

bool TVxSpeedButton::ShowDropDownMenu(TPoint P, bool Manual) {
  if (ComponentState().Contains(csDesigning) || !FDropDownMenu) return false;
  if (!Manual && !FDropDownMenu->AutoPopup()) return false;
  FDropDownMenu->SetPopupComponent(this);
  const TPoint s = ClientToScreen(P);
  FMenuVisible = true;
  {
    TScopeExit menuVisible([&] { FMenuVisible = false; });
    FDropDownMenu->Popup(s.X, s.Y);
  }
  return true;
}
