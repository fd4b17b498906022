#include "platform/popupwatch.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

#include "platform/qt_controls.h"
#include "platform/qt_graphics.h"

struct TOutsideClickWatch::Impl : public QObject {
  TControl* Popup = nullptr;
  TControl* Owner = nullptr;
  std::function<void()> OnOutside;

  static bool Inside(QWidget* W, TControl* C) {
    QWidget* cw = vmqt::ControlWidget(C);
    return cw && W && (W == cw || cw->isAncestorOf(W));
  }

  bool eventFilter(QObject* Obj, QEvent* E) override {
    if (E->type() != QEvent::MouseButtonPress && E->type() != QEvent::MouseButtonDblClick) return false;
    auto* w = qobject_cast<QWidget*>(Obj);
    if (!w || Inside(w, Popup) || Inside(w, Owner)) return false;
    if (OnOutside) {
      auto fn = OnOutside;  // the handler may end the watch
      fn();
    }
    return false;
  }
};

TOutsideClickWatch::TOutsideClickWatch(TControl* Popup, TControl* Owner, std::function<void()> OnOutside)
    : FImpl(std::make_unique<Impl>()) {
  vmqt::EnsureApp();
  FImpl->Popup = Popup;
  FImpl->Owner = Owner;
  FImpl->OnOutside = std::move(OnOutside);
  QApplication::instance()->installEventFilter(FImpl.get());
}

TOutsideClickWatch::~TOutsideClickWatch() {
  if (QApplication::instance()) QApplication::instance()->removeEventFilter(FImpl.get());
}

void ActivateControlWindow(TControl* Control) {
  QWidget* w = vmqt::ControlWidget(Control);
  if (!w || !w->window() || !w->window()->isVisible()) return;
  w->window()->activateWindow();
  // The window system reports the activation through its own queue: take it in now.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
