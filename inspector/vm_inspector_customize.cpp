// The inspector's customizing window.
#include "inspector/vm_inspector.h"

#include <algorithm>
#include <cstring>

#include "inspector/vm_dropdown.h"
#include "platform/bitmap.h"
#include "platform/dragdrop.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/imglist.h"
#include "platform/inifiles.h"
#include "platform/sysutils.h"

void TCustomvmInspector::SetCustomizeForm(TForm* Value) {
  if (Value == FCustomizeForm) return;
  if (TForm* old = FCustomizeForm) {
    FCustomizeForm = nullptr;
    old->RemoveFreeNotification(this);
    delete old;
  }
  FRefreshQueued = false;
  FCustomizeForm = Value;
  if (!Value) return;
  Value->FreeNotification(this);
  // The window's messages pass through here first: a delivered refresh may be asked for again,
  // and showing and hiding put back and remember its place.
  TWndMethod previous = Value->WindowProc;
  Value->WindowProc = [this, Value, previous](TMessage& M) {
    const bool attached = FCustomizeForm == Value;
    if (attached && M.Msg == WM_VMINSP_REFRESH) FRefreshQueued = false;
    if (previous)
      previous(M);
    else
      Value->DefaultWindowProc(M);
    if (attached && FCustomizeForm == Value && M.Msg == WM_SHOWWINDOW) {
      if (M.WParam)
        DoShowCustomizeForm();
      else
        DoHideCustomizeForm();
    }
  };
  HideEditor();
}

void TCustomvmInspector::RequestCustomizeRefresh() {
  if (!FCustomizeForm || FRefreshQueued || FDestroyingControl) return;
  FRefreshQueued = PostMessage(FCustomizeForm, WM_VMINSP_REFRESH);
}

void TCustomvmInspector::DoShowCustomizeForm() {
  const TRect& b = FCustomizeBounds;
  if (FCustomizeForm && b.Left != vmInspUnsetBound)
    FCustomizeForm->SetBounds(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top);
  if (OnShowCustomizeForm) OnShowCustomizeForm(this);
}

void TCustomvmInspector::DoHideCustomizeForm() {
  if (FCustomizeForm) FCustomizeBounds = FCustomizeForm->BoundsRect();
  if (OnHideCustomizeForm) OnHideCustomizeForm(this);
}

void TCustomvmInspector::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomvmContainer::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FCustomizeForm) {
    FCustomizeForm = nullptr;
    FRefreshQueued = false;
  }
}
