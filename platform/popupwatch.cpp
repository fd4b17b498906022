#include "platform/popupwatch.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include "platform/qt_controls.h"
#include "platform/qt_graphics.h"

namespace {

// W is the control's window, lies inside it, or lies in a window the control's window owns.
bool WithinControl(QWidget* W, TControl* C) {
  QWidget* cw = vmqt::ControlWidget(C);
  if (!cw) return false;
  for (QWidget* p = W; p; p = p->parentWidget())
    if (p == cw) return true;
  return false;
}

QWidget* TopLevelOf(TControl* C) {
  QWidget* w = vmqt::ControlWidget(C);
  return w ? w->window() : nullptr;
}

QWidget* WidgetOfWindow(QWindow* Window) {
  if (!Window) return nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->windowHandle() == Window) return w;
  return nullptr;
}

}  // namespace

struct TOutsideClickWatch::Impl : public QObject {
  TControl* Popup = nullptr;
  TControl* Owner = nullptr;
  QPointer<QWidget> OwnerWindow;
  std::function<void()> OnOutside;
  bool CheckPending = false;

  static bool Inside(QWidget* W, TControl* C) { return W && WithinControl(W, C); }

  void Fire() {
    if (OnOutside) {
      auto fn = OnOutside;  // the handler may end the watch
      fn();
    }
  }

  // The active window is the owner's, the popup's or one of the popup's own.
  bool ActivationInside() {
    QWindow* fw = QGuiApplication::focusWindow();
    if (!fw) return false;
    QWidget* w = WidgetOfWindow(fw);
    if (!w) return true;  // a window of the system's own (a native dialog's)
    if (Inside(w, Popup)) return true;
    for (QWidget* p = w; p; p = p->parentWidget())
      if (p == OwnerWindow) return true;
    return false;
  }

  void ActivationChanged() {
    if (CheckPending) return;
    CheckPending = true;
    // Judged once the change has settled: a closing popup hands the activation back.
    QTimer::singleShot(0, this, [this] {
      CheckPending = false;
      if (!ActivationInside()) Fire();
    });
  }

  bool eventFilter(QObject* Obj, QEvent* E) override {
    const QEvent::Type t = E->type();
    if (OwnerWindow && Obj == OwnerWindow.data() && (t == QEvent::Move || t == QEvent::Hide)) {
      Fire();
      return false;
    }
    if (t != QEvent::MouseButtonPress && t != QEvent::MouseButtonDblClick) return false;
    auto* w = qobject_cast<QWidget*>(Obj);
    if (!w || Inside(w, Popup) || Inside(w, Owner)) return false;
    Fire();
    return false;
  }
};

TOutsideClickWatch::TOutsideClickWatch(TControl* Popup, TControl* Owner, std::function<void()> OnOutside,
                                       bool WatchOwnerWindow)
    : FImpl(std::make_unique<Impl>()) {
  vmqt::EnsureApp();
  FImpl->Popup = Popup;
  FImpl->Owner = Owner;
  FImpl->OnOutside = std::move(OnOutside);
  QApplication::instance()->installEventFilter(FImpl.get());
  if (WatchOwnerWindow) {
    FImpl->OwnerWindow = TopLevelOf(Owner);
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, FImpl.get(),
                     [impl = FImpl.get()](QWindow*) { impl->ActivationChanged(); });
  }
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

void ShowPopupWindow(TWinControl* Popup, TControl* Owner, bool Activates, bool TransparentForMouse) {
  if (!Popup) return;
  Popup->HandleNeeded();
  QWidget* w = vmqt::ControlWidget(Popup);
  if (!w) return;
  QWidget* ownerWindow = TopLevelOf(Owner);
  if (ownerWindow == w) ownerWindow = nullptr;
  // A window that takes the keyboard is a tool window of its owner; one that must never take the
  // activation is of the kind the window system neither activates nor decorates.
  Qt::WindowFlags flags = (Activates ? Qt::Tool : Qt::ToolTip) | Qt::FramelessWindowHint;
  if (!Activates) flags |= Qt::WindowDoesNotAcceptFocus;
  if (TransparentForMouse) flags |= Qt::WindowTransparentForInput;
  if (w->parentWidget() != ownerWindow || w->windowFlags() != flags || !w->isWindow()) w->setParent(ownerWindow, flags);
  w->setAttribute(Qt::WA_ShowWithoutActivating, !Activates);
  w->setGeometry(Popup->Left(), Popup->Top(), Popup->Width(), Popup->Height());
  w->show();
  const QString platform = QGuiApplication::platformName();
  if (platform != "offscreen" && platform != "minimal") w->raise();
  if (Activates) {
    w->activateWindow();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
}

void HidePopupWindow(TWinControl* Popup) {
  QWidget* w = vmqt::ControlWidget(Popup);
  if (!w || !w->isWindow() || !w->isVisible()) return;
  const bool wasActive = w->isActiveWindow();
  QWidget* owner = w->parentWidget() ? w->parentWidget()->window() : nullptr;
  w->hide();
  if (wasActive && owner && owner->isVisible()) {
    owner->activateWindow();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
}

bool IsTopLevelWindow(const TControl* Control) {
  QWidget* w = vmqt::ControlWidget(const_cast<TControl*>(Control));
  return w && w->isWindow();
}

bool WindowShown(const TControl* Control) {
  QWidget* w = vmqt::ControlWidget(const_cast<TControl*>(Control));
  return w && w->isVisible();
}

TRect WindowScreenRect(const TControl* Control) {
  QWidget* w = vmqt::ControlWidget(const_cast<TControl*>(Control));
  if (!w) return TRect();
  const QPoint tl = w->mapToGlobal(QPoint(0, 0));
  return Rect(tl.x(), tl.y(), tl.x() + w->width(), tl.y() + w->height());
}
