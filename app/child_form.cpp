#include "app/child_form.h"

#include "platform/exceptions.h"

VM_DEFINE_CLASS(TMyForm)

TMyForm::TMyForm(TComponent* AOwner) : TForm(AOwner) {
  SetFormStyle(fsMDIChild);
  OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
  ToolState = 0;
}

void TMyForm::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TMyForm::Ak(int, int) { throw Exception("Abstract Error"); }

void TMyForm::EditOk(TObject* Sender) {
  Apply(Sender);
  Close();
}

bool FormExists(const TForm* Form) {
  if (!Form) return false;
  if (TForm* frame = TForm::MDIFrame()) {
    for (int i = 0; i < frame->MDIChildCount(); ++i)
      if (frame->MDIChildren(i) == Form) return true;
  }
  for (int i = 0; i < Application->ComponentCount(); ++i)
    if (Application->Components(i) == Form) return true;
  return false;
}

void PlaceInFrame(TForm* Child, int X, int Y, int Width, int Height) {
  TRect r = Rect(0, 0, Width, Height);
  if (TForm* frame = TForm::MDIFrame()) r = frame->MDIClientRect();
  Child->SetBounds(r.Left + X, r.Top + Y, Width, Height);
}

void RefreshAllViews(TObject* Sender) {
  TForm* frame = TForm::MDIFrame();
  if (!frame) return;
  // Children front to back; a refresh may reorder nothing, but take a copy all the same.
  std::vector<TForm*> children;
  for (int i = 0; i < frame->MDIChildCount(); ++i) children.push_back(frame->MDIChildren(i));
  for (TForm* f : children)
    if (auto* my = dynamic_cast<TMyForm*>(f)) my->Refresh(Sender);
}
