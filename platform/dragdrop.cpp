// In-process drag and drop between controls.
#include "platform/dragdrop.h"

#include <QBitmap>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include "platform/bitmap.h"
#include "platform/forms.h"
#include "platform/qt_graphics.h"

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
  if (TDragImage* i = GDrag ? GDrag->GetDragImage() : nullptr) i->BeginDrag(GDrag->DragPos);
}

TDragObject* DragObject() { return GDrag.get(); }
bool Dragging() { return GDrag != nullptr; }

bool DragMove(const TPoint& ScreenPos) {
  TDragObject* d = GDrag.get();
  if (!d) return false;
  d->DragPos = ScreenPos;
  if (TDragImage* i = d->GetDragImage()) i->DragMove(ScreenPos);
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
  if (TDragImage* i = d->GetDragImage()) i->EndDrag();
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

// ---------------------------------------------------------------------------------------------
// The drag image window.

namespace {

class TDragImageWindow : public QWidget {
public:
  TDragImageWindow()
      : QWidget(nullptr,
                Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
  }
  QPixmap Picture;

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawPixmap(0, 0, Picture);
  }
};

}  // namespace

struct TDragImage::TImpl {
  std::unique_ptr<TDragImageWindow> Window;
};

TDragImage::TDragImage() : FImpl(std::make_unique<TImpl>()) {}
TDragImage::~TDragImage() = default;

TBitmap* TDragImage::Image() const { return FBitmap.get(); }

void TDragImage::SetImage(TBitmap* Bitmap, TColor TransparentColor, TPoint HotSpot) {
  FTransparentColor = TransparentColor;
  FHotSpot = HotSpot;
  if (!Bitmap || Bitmap->Empty()) {
    FBitmap.reset();
  } else if (Bitmap != FBitmap.get()) {
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    FBitmap->Assign(Bitmap);
  }
  ApplyPicture();
  Update();
}

// The window takes the picture and its see-through pixels (made when the drag first shows).
void TDragImage::ApplyPicture() {
  TDragImageWindow* w = FImpl->Window.get();
  if (!w || !FBitmap) return;
  QImage img = vmqt::BitmapImage(FBitmap.get()).convertToFormat(QImage::Format_RGB32);
  w->Picture = QPixmap::fromImage(img);
  w->resize(img.size());
  if (FTransparentColor != clNone)
    w->setMask(w->Picture.createMaskFromColor(vmqt::ToQColor(FTransparentColor), Qt::MaskInColor));
  else
    w->clearMask();
  w->update();
}

void TDragImage::SetHotSpot(const TPoint& Value) {
  FHotSpot = Value;
  Update();
}

void TDragImage::BeginDrag(const TPoint& ScreenPos) {
  FDragging = true;
  FPos = ScreenPos;
  Update();
}

void TDragImage::DragMove(const TPoint& ScreenPos) {
  FPos = ScreenPos;
  Update();
}

void TDragImage::EndDrag() {
  FDragging = false;
  Update();
}

void TDragImage::HideImage() {
  ++FHideCount;
  Update();
}

void TDragImage::ShowImage() {
  if (FHideCount > 0) --FHideCount;
  Update();
}

bool TDragImage::Showing() const { return FImpl->Window && FImpl->Window->isVisible(); }

TRect TDragImage::ScreenRect() const {
  int w = FBitmap ? FBitmap->Width() : 0, h = FBitmap ? FBitmap->Height() : 0;
  return TRect(FPos.X - FHotSpot.X, FPos.Y - FHotSpot.Y, FPos.X - FHotSpot.X + w, FPos.Y - FHotSpot.Y + h);
}

void TDragImage::Update() {
  bool show = FDragging && FHideCount == 0 && FBitmap;
  if (show && !FImpl->Window) {
    // The window is made when it first shows.
    vmqt::EnsureApp();
    FImpl->Window = std::make_unique<TDragImageWindow>();
    ApplyPicture();
  }
  QWidget* w = FImpl->Window.get();
  if (!w) return;
  if (show) {
    TRect r = ScreenRect();
    if (w->pos() != QPoint(r.Left, r.Top)) w->move(r.Left, r.Top);
    if (!w->isVisible()) w->show();
  } else if (w->isVisible()) {
    w->hide();
  }
}
