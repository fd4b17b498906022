#include "platform/stdactns.h"

#include "platform/forms.h"

VM_DEFINE_CLASS(TWindowAction)
VM_DEFINE_CLASS(TWindowCascade)
VM_DEFINE_CLASS(TWindowTileHorizontal)
VM_DEFINE_CLASS(TWindowTileVertical)
VM_DEFINE_CLASS(TWindowMinimizeAll)
VM_DEFINE_CLASS(TWindowArrange)
VM_DEFINE_CLASS(TWindowClose)

TWindowAction::TWindowAction(TComponent* AOwner) : TAction(AOwner) {}

void TWindowAction::SetForm(TForm* Value) {
  if (FForm) FForm->RemoveFreeNotification(this);
  FForm = Value;
  if (Value) Value->FreeNotification(this);
}

void TWindowAction::Notification(TComponent* AComponent, TOperation Operation) {
  TAction::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FForm) FForm = nullptr;
}

TForm* TWindowAction::Frame() const { return FForm ? FForm : TForm::MDIFrame(); }

bool TWindowAction::Update() {
  if (TAction::Update()) return true;
  TForm* f = Frame();
  SetEnabled(f && f->ActiveMDIChild() != nullptr);
  return true;
}

bool TWindowAction::Execute() {
  if (OnExecute || (ActionList() && ActionList()->OnExecute)) return TAction::Execute();
  Update();
  if (!Enabled()) return false;
  if (TForm* f = Frame()) ExecuteTarget(f);
  return true;
}

TWindowCascade::TWindowCascade(TComponent* AOwner) : TWindowAction(AOwner) { SetCaption("&Cascade"); }
void TWindowCascade::ExecuteTarget(TForm* Frame) { Frame->Cascade(); }

TWindowTileHorizontal::TWindowTileHorizontal(TComponent* AOwner) : TWindowAction(AOwner) {
  SetCaption("Tile &Horizontally");
}
void TWindowTileHorizontal::ExecuteTarget(TForm* Frame) {
  Frame->SetTileMode(tbHorizontal);
  Frame->Tile();
}

TWindowTileVertical::TWindowTileVertical(TComponent* AOwner) : TWindowAction(AOwner) { SetCaption("&Tile Vertically"); }
void TWindowTileVertical::ExecuteTarget(TForm* Frame) {
  Frame->SetTileMode(tbVertical);
  Frame->Tile();
}

TWindowMinimizeAll::TWindowMinimizeAll(TComponent* AOwner) : TWindowAction(AOwner) { SetCaption("&Minimize All"); }
void TWindowMinimizeAll::ExecuteTarget(TForm* Frame) {
  // Back to front, so that the icons line up in the children's order.
  for (int i = Frame->MDIChildCount() - 1; i >= 0; --i) Frame->MDIChildren(i)->SetWindowState(wsMinimized);
}

TWindowArrange::TWindowArrange(TComponent* AOwner) : TWindowAction(AOwner) { SetCaption("&Arrange"); }
void TWindowArrange::ExecuteTarget(TForm* Frame) { Frame->ArrangeIcons(); }

TWindowClose::TWindowClose(TComponent* AOwner) : TWindowAction(AOwner) { SetCaption("C&lose"); }
void TWindowClose::ExecuteTarget(TForm* Frame) {
  if (TForm* c = Frame->ActiveMDIChild()) c->Close();
}
