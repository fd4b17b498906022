#include "platform/updown.h"

#include <algorithm>

#include "platform/canvas.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TUpDown)

TUpDown::TUpDown(TComponent* AOwner) : TCustomControl(AOwner) { SetBounds(0, 0, 17, 21); }

void TUpDown::SetMin(int Value) {
  FMin = Value;
  if (FMax < FMin) FMax = FMin;
  SetPosition(FPosition);
}

void TUpDown::SetMax(int Value) {
  FMax = Value;
  if (FMin > FMax) FMin = FMax;
  SetPosition(FPosition);
}

void TUpDown::SetPosition(int Value) {
  FPosition = std::clamp(Value, FMin, FMax);
  ShowPosition();
}

void TUpDown::ShowPosition() {
  if (!FAssociate || FShowing) return;
  FShowing = true;
  FAssociate->SetText(IntToStr(FPosition));
  FShowing = false;
}

void TUpDown::SetAssociate(TCustomEdit* Value) {
  if (FAssociate) FAssociate->RemoveFreeNotification(this);
  FAssociate = Value;
  if (!FAssociate) return;
  FAssociate->FreeNotification(this);
  TNotifyEvent previous = FAssociate->OnChange;
  FAssociate->OnChange = [this, previous](TObject* Sender) {
    if (!FShowing) {
      // A number typed into the edit moves the position (kept in range, not written back).
      int v = 0;
      if (TryStrToInt(FAssociate->Text(), v)) FPosition = std::clamp(v, FMin, FMax);
    }
    if (previous) previous(Sender);
  };
  ShowPosition();
}

void TUpDown::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FAssociate) FAssociate = nullptr;
}

void TUpDown::Click(TUDBtnType Button) {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  if (!allow) return;
  int next = FPosition + (Button == btNext ? FIncrement : -FIncrement);
  if (FWrap && next > FMax) next = FMin;
  if (FWrap && next < FMin) next = FMax;
  SetPosition(next);
  if (OnClick) OnClick(this, Button);
}

void TUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && Enabled()) Click(Y < Height() / 2 ? btNext : btPrev);
}

void TUpDown::Paint() {
  TCanvas* c = Canvas();
  const int w = ClientWidth(), h = ClientHeight();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clBtnFace);
  c->Pen()->SetColor(clBtnShadow);
  c->Rectangle(0, 0, w, h / 2);
  c->Rectangle(0, h / 2, w, h);
  c->Brush()->SetColor(Enabled() ? clBtnText : clGrayText);
  c->Pen()->SetColor(Enabled() ? clBtnText : clGrayText);
  const int cx = w / 2, q = h / 4;
  c->Polygon({TPoint(cx - 3, q + 2), TPoint(cx + 3, q + 2), TPoint(cx, q - 1)});
  c->Polygon({TPoint(cx - 3, h - q - 2), TPoint(cx + 3, h - q - 2), TPoint(cx, h - q + 1)});
}
