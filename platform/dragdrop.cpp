// In-process drag and drop between controls.
#include "platform/dragdrop.h"

#include "platform/forms.h"

VM_DEFINE_CLASS(TDragObject)

namespace {

std::unique_ptr<TDragObject> GDrag;
bool GEnding = false;  // a drag is being dropped or ended: no new one starts meanwhile

// The deepest visible child under a point of Parent's client area.
TControl* DeepestAt(TWinControl* Parent, TPoint P) {
  TControl* found = Parent;
  for (TWinControl* w = Parent; w;) {
    TControl* c = w->ControlAtPos(P);
    if (!c) break;
    found = c;
    P = TPoint(P.X - c->Left(), P.Y - c->Top());
    w = dynamic_cast<TWinControl*>(c);
  }
  return found;
}

TDragTarget* TargetOf(TControl* C) { return C ? dynamic_cast<TDragTarget*>(C) : nullptr; }

}  // namespace

TControl* FindDragTarget(const TPoint& ScreenPos) {
  if (!Screen) return nullptr;
  // The forms in front first.
  for (int i = Screen->FormCount() - 1; i >= 0; --i) {
    TForm* f = Screen->Forms(i);
    if (!f || !f->Visible()) continue;
    TPoint p = f->ScreenToClient(ScreenPos);
    if (!PtInRect(f->ClientRect(), p)) continue;
    // From the deepest control up to the first one that takes drags.
    for (TControl* c = DeepestAt(f, p); c; c = c->Parent())
      if (TargetOf(c) && c->Enabled()) return c;
    return nullptr;
  }
  return nullptr;
}

void BeginDrag(std::unique_ptr<TDragObject> Object) {
  if (GEnding) return;
  if (GDrag) EndDrag(false);
  GDrag = std::move(Object);
}

TDragObject* DragObject() { return GDrag.get(); }
bool Dragging() { return GDrag != nullptr; }

bool DragMove(const TPoint& ScreenPos) {
  TDragObject* d = GDrag.get();
  if (!d) return false;
  d->DragPos = ScreenPos;
  TControl* target = FindDragTarget(ScreenPos);
  // A source that takes drags itself but is in no form still sees the pointer over it.
  if (!target && d->Source && TargetOf(d->Source) &&
      PtInRect(d->Source->ClientRect(), d->Source->ScreenToClient(ScreenPos)))
    target = d->Source;
  if (target != d->DragTarget) {
    // Leaving the old target, entering the new one.
    if (TDragTarget* old = TargetOf(d->DragTarget)) {
      bool dummy = false;
      TPoint p = d->DragTarget->ScreenToClient(ScreenPos);
      old->DragOver(d, p.X, p.Y, dsDragLeave, dummy);
    }
    if (!GDrag) return false;  // the leave handler ended the drag
    d->DragTarget = target;
    d->Accepted = false;
    if (TDragTarget* t = TargetOf(target)) {
      d->TargetPos = target->ScreenToClient(ScreenPos);
      bool accept = false;
      t->DragOver(d, d->TargetPos.X, d->TargetPos.Y, dsDragEnter, accept);
      if (GDrag.get() != d) return false;
      d->Accepted = accept;
    }
  } else if (TDragTarget* t = TargetOf(target)) {
    d->TargetPos = target->ScreenToClient(ScreenPos);
    bool accept = false;
    t->DragOver(d, d->TargetPos.X, d->TargetPos.Y, dsDragMove, accept);
    if (GDrag.get() != d) return false;
    d->Accepted = accept;
  }
  if (d->Source) {
    TPoint s = d->Source->ScreenToClient(ScreenPos);
    d->Source->SetCursor(d->GetDragCursor(d->Accepted, s.X, s.Y));
  }
  return d->Accepted;
}

void EndDrag(bool Drop) {
  if (!GDrag || GEnding) return;
  GEnding = true;
  TDragObject* d = GDrag.get();
  TControl* target = d->DragTarget;
  TPoint p = d->TargetPos;
  // The target takes the drop while DragObject() still answers the object.
  if (Drop && d->Accepted && TargetOf(target)) {
    d->Dropped = true;
    TargetOf(target)->DragDrop(d, p.X, p.Y);
  } else if (TDragTarget* t = TargetOf(target)) {
    bool dummy = false;
    t->DragOver(d, p.X, p.Y, dsDragLeave, dummy);
  }
  std::unique_ptr<TDragObject> done = std::move(GDrag);
  GEnding = false;
  if (done->Source) {
    done->Source->SetCursor(crDefault);
    if (auto* s = dynamic_cast<TDragSource*>(done->Source))
      s->DragEnded(done.get(), done->Dropped ? target : nullptr, p.X, p.Y);
  }
}

void DragControlDestroyed(TControl* Control) {
  if (!GDrag || !Control) return;
  if (GDrag->DragTarget == Control) {
    GDrag->DragTarget = nullptr;
    GDrag->Accepted = false;
  }
  if (GDrag->Source == Control) {
    GDrag->Source = nullptr;
    EndDrag(false);
  }
}
