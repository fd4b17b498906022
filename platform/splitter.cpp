#include "platform/splitter.h"

#include <algorithm>

#include "platform/canvas.h"

VM_DEFINE_CLASS(TSplitter)

TSplitter::TSplitter(TComponent* AOwner) : TCustomControl(AOwner) {
  SetBounds(0, 0, 4, 100);
  SetAlign(alLeft);
  SetCursor(crHSplit);
}

TControl* TSplitter::ResizedControl() const {
  TWinControl* p = Parent();
  if (!p) return nullptr;
  for (int i = 0; i < p->ControlCount(); ++i) {
    TControl* c = p->Controls(i);
    if (c != this && c->Visible() && c->Align() == alLeft && c->Left() + c->Width() == Left()) return c;
  }
  return nullptr;
}

void TSplitter::Paint() {
  TCanvas* c = Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(ClientRect());
  TCustomControl::Paint();
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  FControl = ResizedControl();
  if (!FControl) return;
  FStartX = ClientToScreen(TPoint(X, Y)).X;
  FStartWidth = FControl->Width();
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (!FControl || !Parent()) return;
  const int most = std::max(MinSize, Parent()->ClientWidth() - Width() - MinSize);
  const int w = std::clamp(FStartWidth + ClientToScreen(TPoint(X, Y)).X - FStartX, MinSize, most);
  if (w != FControl->Width()) FControl->SetWidth(w);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (!FControl) return;
  const bool moved = FControl->Width() != FStartWidth;
  FControl = nullptr;
  if (moved && OnMoved) OnMoved(this);
}
