#include "chart/extra/graph_navigator.h"

#include <algorithm>

#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "platform/canvas.h"
#include "platform/strings.h"

VM_DEFINE_CLASS(TGraphNavButton)
VM_DEFINE_CLASS(TCustomGraphNavigator)

namespace {

constexpr uint32_t kFirstRepeat = 400, kNextRepeat = 100;

// The glyph of a button: triangles and bars in the text colour (grey when disabled).
void DrawGlyph(TCanvas* C, TGraphNavigateBtn B, const TRect& R, bool Enabled) {
  const TColor ink = Enabled ? clBlack : TColor(0x808080);
  C->Pen()->SetColor(ink);
  C->Pen()->SetStyle(psSolid);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(ink);
  const int cx = (R.Left + R.Right) / 2, cy = (R.Top + R.Bottom) / 2;
  auto tri = [&](int Tip, int Base, int Half) {
    const TPoint p[] = {TPoint(Tip, cy), TPoint(Base, cy - Half), TPoint(Base, cy + Half)};
    C->Polygon(p, 3);
  };
  switch (B) {
    case nbFirst:
      C->FillRect(TRect(cx - 4, cy - 4, cx - 2, cy + 5));
      tri(cx - 1, cx + 3, 4);
      break;
    case nbPrior:
      tri(cx - 2, cx + 2, 4);
      break;
    case nbNext:
      tri(cx + 2, cx - 2, 4);
      break;
    case nbLast:
      tri(cx + 1, cx - 3, 4);
      C->FillRect(TRect(cx + 2, cy - 4, cx + 4, cy + 5));
      break;
    case nbInsert:
      C->FillRect(TRect(cx - 4, cy - 1, cx + 5, cy + 1));
      C->FillRect(TRect(cx - 1, cy - 4, cx + 1, cy + 5));
      break;
    case nbDelete:
      C->FillRect(TRect(cx - 4, cy - 1, cx + 5, cy + 1));
      break;
    case nbEdit:
      C->FillRect(TRect(cx - 1, cy - 4, cx + 1, cy + 5));
      C->FillRect(TRect(cx - 3, cy - 4, cx + 3, cy - 3));
      C->FillRect(TRect(cx - 3, cy + 4, cx + 3, cy + 5));
      break;
    case nbPost: {
      C->Pen()->SetWidth(2);
      C->MoveTo(cx - 4, cy);
      C->LineTo(cx - 1, cy + 3);
      C->LineTo(cx + 4, cy - 3);
      C->Pen()->SetWidth(1);
      break;
    }
    case nbCancel:
      C->Pen()->SetWidth(2);
      C->MoveTo(cx - 3, cy - 3);
      C->LineTo(cx + 4, cy + 4);
      C->MoveTo(cx + 3, cy - 3);
      C->LineTo(cx - 4, cy + 4);
      C->Pen()->SetWidth(1);
      break;
  }
}

}  // namespace

std::string GraphNavHint(TGraphNavigateBtn Button) {
  const std::string* texts[] = {&MsgNavFirst,  &MsgNavPrior, &MsgNavNext, &MsgNavLast,  &MsgNavInsert,
                                &MsgNavDelete, &MsgNavEdit,  &MsgNavPost, &MsgNavCancel};
  return *texts[Button];
}

// ---------------------------------------------------------------------------------------------
// TGraphNavButton

TGraphNavButton::TGraphNavButton(TComponent* AOwner) : TCustomControl(AOwner) { SetEnabled(false); }

TGraphNavButton::~TGraphNavButton() { delete RepeatTimer; }

TCustomGraphNavigator* TGraphNavButton::Navigator() const { return dynamic_cast<TCustomGraphNavigator*>(Parent()); }

void TGraphNavButton::Paint() {
  TCanvas* c = Canvas();
  const TRect r = ClientRect();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(r);
  if (FDown) {
    c->Pen()->SetColor(TColor(0x808080));
    c->MoveTo(r.Left, r.Bottom - 1);
    c->LineTo(r.Left, r.Top);
    c->LineTo(r.Right - 1, r.Top);
  }
  TRect g = r;
  if (FDown) g = TRect(g.Left + 1, g.Top + 1, g.Right + 1, g.Bottom + 1);
  DrawGlyph(c, Index, g, Enabled());
  TCustomGraphNavigator* n = Navigator();
  if (n && n->Focused() && n->FocusedButton == static_cast<int>(Index)) {
    TRect f(r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3);
    if (FDown) f = TRect(f.Left + 1, f.Top + 1, f.Right + 1, f.Bottom + 1);
    c->DrawFocusRect(f);
  }
}

void TGraphNavButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  FDown = true;
  SetMouseCapture(true);
  if (TCustomGraphNavigator* n = Navigator()) n->ButtonPressed(this);
  if (!RepeatTimer) {
    RepeatTimer = new TTimer(nullptr);
    RepeatTimer->OnTimer = [this](TObject*) { TimerExpired(); };
  }
  RepeatTimer->SetInterval(kFirstRepeat);
  RepeatTimer->SetEnabled(true);
  Invalidate();
}

void TGraphNavButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const bool wasDown = FDown;
  FDown = false;
  if (RepeatTimer) RepeatTimer->SetEnabled(false);
  SetMouseCapture(false);
  Invalidate();
  TCustomControl::MouseUp(Button, Shift, X, Y);
  (void)wasDown;
}

void TGraphNavButton::TimerExpired() {
  RepeatTimer->SetInterval(kNextRepeat);
  if (FDown && MouseCapture()) {
    try {
      Click();
    } catch (...) {
      RepeatTimer->SetEnabled(false);
      throw;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// TCustomGraphNavigator

TCustomGraphNavigator::TCustomGraphNavigator(TComponent* AOwner)
    : TCustomPanelNoCaption(AOwner), FHints(std::make_unique<TStringList>()) {
  SetBounds(0, 0, 241, 25);
  SetBevelOuter(bvNone);
  FHints->OnChange = [this](TObject*) { ApplyHints(); };
  CreateButtons();
}

TCustomGraphNavigator::~TCustomGraphNavigator() {
  if (FPanel) {
    FPanel->RemoveListener(this);
    FPanel->RemoveFreeNotification(this);
  }
}

TStrings* TCustomGraphNavigator::Hints() const { return FHints.get(); }
void TCustomGraphNavigator::SetHints(TStrings* Value) { FHints->Assign(*Value); }

void TCustomGraphNavigator::CreateButtons() {
  for (int i = 0; i < GraphNavButtonCount; ++i) {
    auto* b = new TGraphNavButton(this);
    b->Index = static_cast<TGraphNavigateBtn>(i);
    b->SetParent(this);
    b->SetVisible(i < nbInsert);
    b->SetShowHint(true);
    b->OnClick = [this, i](TObject*) { BtnClick(static_cast<TGraphNavigateBtn>(i)); };
    Buttons[i] = b;
  }
  ApplyHints();
  CalcButtonLayout();
}

void TCustomGraphNavigator::ApplyHints() {
  for (int i = 0; i < GraphNavButtonCount; ++i)
    if (Buttons[i])
      Buttons[i]->SetHint(i < FHints->Count() && !FHints->Strings(i).empty()
                              ? FHints->Strings(i)
                              : GraphNavHint(static_cast<TGraphNavigateBtn>(i)));
}

void TCustomGraphNavigator::SetPanel(TCustomGraphPanel* Value) {
  if (Value != FPanel) {
    if (FPanel) {
      FPanel->RemoveListener(this);
      FPanel->RemoveFreeNotification(this);
    }
    FPanel = Value;
    if (FPanel) {
      FPanel->Listeners->Add(this);
      FPanel->FreeNotification(this);
    }
  }
  EnableButtons();
}

void TCustomGraphNavigator::ChartEvent(TGraphEvent* Event) {
  if (!ComponentState().Contains(csDestroying)) DoChartEvent(Event);
}

void TCustomGraphNavigator::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomPanelNoCaption::Notification(AComponent, Operation);
  if (Operation == opRemove && FPanel && AComponent == static_cast<TComponent*>(FPanel)) {
    FPanel = nullptr;
    EnableButtons();
  }
}

void TCustomGraphNavigator::BtnClick(TGraphNavigateBtn Button) {
  EnableButtons();
  if (OnButtonClicked) OnButtonClicked(this, Button);
}

void TCustomGraphNavigator::PageChanged() {
  if (OnPageChange) OnPageChange(this);
}

void TCustomGraphNavigator::ButtonPressed(TGraphNavButton* Button) {
  const int old = FocusedButton;
  FocusedButton = static_cast<int>(Button->Index);
  if (TabStop()) {
    if (!Focused() && CanFocus())
      SetFocus();
    else if (Buttons[old])
      Buttons[old]->Invalidate();
  }
  Button->Invalidate();
}

void TCustomGraphNavigator::CalcButtonLayout() {
  if (ComponentState().Contains(csLoading) || !Buttons[0]) return;
  int n = 0;
  for (TGraphNavButton* b : Buttons) n += b->Visible();
  n = std::max(n, 1);
  int w = std::max(Width(), n * MinButtonWidth), h = std::max(Height(), MinButtonHeight);
  ButtonWidth = w / n;
  if (Align() == alNone) w = n * ButtonWidth;
  if (w != Width() || h != Height()) TCustomPanelNoCaption::SetBounds(Left(), Top(), w, h);
  int remainder = w - n * ButtonWidth;
  int counter = n / 2;
  int x = 0;
  for (TGraphNavButton* b : Buttons) {
    if (!b->Visible()) {
      b->SetBounds(Width() + 1, 0, ButtonWidth, h);
      continue;
    }
    int bw = ButtonWidth;
    if (remainder > 0) {
      counter -= remainder;
      if (counter < 0) {
        counter += n;
        ++bw;
      }
    }
    b->SetBounds(x, 0, bw, h);
    x += bw;
  }
}

void TCustomGraphNavigator::Resize() {
  TCustomPanelNoCaption::Resize();
  CalcButtonLayout();
}

void TCustomGraphNavigator::KeyDown(uint16_t& Key, TShiftState Shift) {
  TCustomPanelNoCaption::KeyDown(Key, Shift);
  const int old = FocusedButton;
  if (Key == VK_RIGHT) {
    for (int i = FocusedButton + 1; i < GraphNavButtonCount; ++i)
      if (Buttons[i]->Visible()) {
        FocusedButton = i;
        break;
      }
  } else if (Key == VK_LEFT) {
    for (int i = FocusedButton - 1; i >= 0; --i)
      if (Buttons[i]->Visible()) {
        FocusedButton = i;
        break;
      }
  } else if (Key == VK_SPACE) {
    if (Buttons[FocusedButton]->Enabled()) Buttons[FocusedButton]->Click();
    return;
  } else {
    return;
  }
  if (old != FocusedButton) {
    Buttons[old]->Invalidate();
    Buttons[FocusedButton]->Invalidate();
  }
}

void TCustomGraphNavigator::EnabledChanged() {
  TCustomPanelNoCaption::EnabledChanged();
  EnableButtons();
}

void TCustomGraphNavigator::Loaded() {
  TCustomPanelNoCaption::Loaded();
  CalcButtonLayout();
  ApplyHints();
  EnableButtons();
}
