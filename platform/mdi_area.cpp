// The MDI frame's area and the sub-windows that frame its children: a caption with the child's
// caption, the system menu and the minimise, maximise and close buttons, moved by the caption and
// sized by the edges. The forms keep their bounds (in the frame's client coordinates, the frame of
// the sub-window included) and their state; the sub-windows follow them, and what the user does
// to a sub-window comes back to its form.
#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>

#include <algorithm>

#include "platform/menus.h"
#include "platform/qt_controls.h"
#include "platform/qt_mdi.h"

namespace vmqt {

namespace {

int& SyncDepth() {
  static int depth = 0;
  return depth;
}

constexpr const char* kAreaName = "vmMdiArea";
constexpr const char* kMergeName = "vmMdiMergedButtons";

TForm* FormOfSubWindow(QMdiSubWindow* Sub) {
  QWidget* w = Sub ? Sub->widget() : nullptr;
  QVariant v = w ? w->property("vmControl") : QVariant();
  return v.isValid() ? dynamic_cast<TForm*>(reinterpret_cast<TControl*>(v.value<quintptr>())) : nullptr;
}

// The MDI client rectangle's top left corner in the frame's client coordinates.
QPoint AreaOrigin(TForm* Frame) {
  TRect r = Frame->MDIClientRect();
  return QPoint(r.Left, r.Top);
}

// What the sub-window's frame adds round the child's client area.
QMargins FrameOf(QMdiSubWindow* Sub) { return Sub->contentsMargins(); }

// A caption bar of one colour: the highlight for the active child, a dark grey for the others,
// the caption in the highlight's text colour, then the system menu and the buttons.
class CaptionStyle final : public QProxyStyle {
public:
  CaptionStyle() : QProxyStyle(nullptr) {}

  void drawComplexControl(ComplexControl CC, const QStyleOptionComplex* Opt, QPainter* P,
                          const QWidget* W) const override {
    const auto* tb = qstyleoption_cast<const QStyleOptionTitleBar*>(Opt);
    if (CC != CC_TitleBar || !tb) return QProxyStyle::drawComplexControl(CC, Opt, P, W);
    const bool active = tb->titleBarState & State_Active;
    const QPalette& pal = tb->palette;
    P->save();
    P->fillRect(tb->rect, active ? pal.color(QPalette::Active, QPalette::Highlight) : pal.color(QPalette::Dark));
    const QRect label = subControlRect(CC_TitleBar, tb, SC_TitleBarLabel, W);
    P->setPen(active ? pal.color(QPalette::Active, QPalette::HighlightedText) : pal.color(QPalette::Light));
    QFont f = P->font();
    f.setBold(true);
    P->setFont(f);
    P->drawText(label.adjusted(4, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                QFontMetrics(f).elidedText(tb->text, Qt::ElideRight, label.width() - 6));
    struct Button {
      SubControl Part;
      StandardPixmap Icon;
    };
    for (Button b :
         {Button{SC_TitleBarMinButton, SP_TitleBarMinButton}, Button{SC_TitleBarMaxButton, SP_TitleBarMaxButton},
          Button{SC_TitleBarNormalButton, SP_TitleBarNormalButton},
          Button{SC_TitleBarCloseButton, SP_TitleBarCloseButton}}) {
      if (!(tb->subControls & b.Part)) continue;
      const QRect r = subControlRect(CC_TitleBar, tb, b.Part, W);
      if (!r.isValid()) continue;
      QStyleOption bo(*tb);
      bo.rect = r;
      bo.state = State_Enabled | State_Raised;
      if ((tb->activeSubControls & b.Part) && (tb->state & State_Sunken)) bo.state = State_Enabled | State_Sunken;
      P->fillRect(r.adjusted(1, 1, -1, -1), pal.color(QPalette::Button));
      drawPrimitive(PE_PanelButtonTool, &bo, P, W);
      const int side = std::min(r.width(), r.height()) - 4;
      standardIcon(b.Icon, &bo, W).paint(P, QRect(r.center() - QPoint(side / 2, side / 2), QSize(side, side)));
    }
    if ((tb->subControls & SC_TitleBarSysMenu) && !tb->icon.isNull()) {
      const QRect r = subControlRect(CC_TitleBar, tb, SC_TitleBarSysMenu, W);
      tb->icon.paint(P, r.adjusted(1, 1, -1, -1));
    }
    P->restore();
  }
};

QStyle* TheCaptionStyle() {
  static QPointer<QStyle> style;
  if (!style) style = new CaptionStyle();
  return style;
}

// The area's background: the frame's own colour, so that what lies behind the children is the frame.
class FrameArea final : public QMdiArea {
public:
  explicit FrameArea(QWidget* Parent) : QMdiArea(Parent) {
    setObjectName(kAreaName);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setActivationOrder(QMdiArea::ActivationHistoryOrder);
    QObject::connect(this, &QMdiArea::subWindowActivated, this, [](QMdiSubWindow* Sub) {
      // The user activated a child (its caption, a click into it): the form becomes the active child.
      if (TMdiSync::Active() || !Sub) return;
      TForm* f = FormOfSubWindow(Sub);
      if (f && f->Visible() && !f->Active()) f->DispatchActivate(true);
    });
  }
};

// What the user does to a sub-window (moving it, sizing it, changing its state) reaches its form.
class SubWindowWatch final : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject* Obj, QEvent* E) override {
    switch (E->type()) {
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::WindowStateChange: {
        auto* sub = static_cast<QMdiSubWindow*>(Obj);
        TForm* f = FormOfSubWindow(sub);
        if (f && !TMdiSync::Active() && !PlacingControlHolder(f)) f->MDIWindowChanged();
        break;
      }
      default:
        break;
    }
    return false;
  }
};

}  // namespace

TMdiSync::TMdiSync() { ++SyncDepth(); }
TMdiSync::~TMdiSync() { --SyncDepth(); }
bool TMdiSync::Active() { return SyncDepth() > 0; }

QMdiArea* MdiArea(TForm* Frame, bool Make) {
  QWidget* fw = Frame ? ControlWidget(Frame) : nullptr;
  if (!fw) return nullptr;
  auto* area = fw->findChild<QMdiArea*>(kAreaName, Qt::FindDirectChildrenOnly);
  if (area || !Make) return area;
  area = new FrameArea(fw);
  area->lower();  // under the frame's bars
  area->show();
  PlaceMdiArea(Frame);
  return area;
}

void PlaceMdiArea(TForm* Frame) {
  QMdiArea* area = MdiArea(Frame, false);
  if (!area) return;
  TRect r = Frame->MDIClientRect();
  QWidget* fw = ControlWidget(Frame);
  TPoint o = Frame->ClientOrigin();
  QPoint at = fw->mapFromGlobal(QPoint(o.X, o.Y)) + QPoint(r.Left, r.Top);
  TMdiSync sync;
  area->setGeometry(QRect(at, QSize(r.Width(), r.Height())));
  area->setBackground(QBrush(ToQColor(Frame->Color())));
  // The children keep their places in the area when its corner moves (a bar came, went or grew):
  // their bounds, in the frame's client coordinates, move with it.
  const QPoint origin = AreaOrigin(Frame);
  const QVariant was = area->property("vmOrigin");
  const QPoint shift = was.isValid() ? origin - was.toPoint() : QPoint();
  area->setProperty("vmOrigin", origin);
  for (QMdiSubWindow* sub : area->subWindowList())
    if (TForm* c = FormOfSubWindow(sub)) {
      SetControlHolder(c, sub, origin, FrameOf(sub));
      if (!shift.isNull()) c->SetBounds(c->Left() + shift.x(), c->Top() + shift.y(), c->Width(), c->Height());
    }
}

QMdiSubWindow* MdiSubWindow(TForm* Child) { return qobject_cast<QMdiSubWindow*>(ControlHolder(Child)); }

QMdiSubWindow* HoldMdiChild(TForm* Frame, TForm* Child) {
  QMdiArea* area = MdiArea(Frame, true);
  QWidget* w = ControlWidget(Child);
  if (!area || !w) return nullptr;
  TMdiSync sync;
  QMdiSubWindow* sub = MdiSubWindow(Child);
  if (sub && sub->mdiArea() != area) {
    ReleaseMdiChild(Child);
    sub = nullptr;
  }
  if (!sub) {
    if (w->isWindow()) w->hide();
    sub = new QMdiSubWindow(nullptr);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->setStyle(TheCaptionStyle());
    sub->setWidget(w);
    sub->setMinimumSize(HeldMinimumWidth, HeldMinimumHeight);
    area->addSubWindow(sub);
    sub->installEventFilter(new SubWindowWatch(sub));
    w->show();
  }
  sub->setWindowTitle(ToQ(Child->Caption()));
  // The caption and its buttons are laid out before the frame's size is read.
  sub->ensurePolished();
  SetControlHolder(Child, sub, AreaOrigin(Frame), FrameOf(sub));
  // The child's size limits hold for the sub-window the user drags.
  Child->UpdateSizeLimits();
  return sub;
}

void ReleaseMdiChild(TForm* Child) {
  QMdiSubWindow* sub = MdiSubWindow(Child);
  if (!sub) return;
  TMdiSync sync;
  QMdiArea* area = sub->mdiArea();
  sub->hide();
  sub->setWidget(nullptr);  // the widget is the form's
  SetControlHolder(Child, nullptr, QPoint(), QMargins());
  if (area) area->removeSubWindow(sub);
  delete sub;
}

TWindowState MdiSubWindowState(QMdiSubWindow* Sub) {
  if (Sub->isMinimized()) return wsMinimized;
  if (Sub->isMaximized()) return wsMaximized;
  return wsNormal;
}

void ShowMdiSubWindowState(TForm* Child, TWindowState State) {
  QMdiSubWindow* sub = MdiSubWindow(Child);
  if (!sub || MdiSubWindowState(sub) == State) return;
  TMdiSync sync;
  if (State == wsMaximized)
    sub->showMaximized();
  else if (State == wsMinimized)
    sub->showMinimized();
  else
    sub->showNormal();
}

void UpdateMdiMerge(TForm* Frame) {
  QWidget* fw = Frame ? ControlWidget(Frame) : nullptr;
  if (!fw) return;
  TForm* active = Frame->ActiveMDIChild();
  QMdiSubWindow* sub = active ? MdiSubWindow(active) : nullptr;
  const bool merge = sub && sub->isVisible() && active->WindowState() == wsMaximized;
  QString title = ToQ(Frame->Caption());
  if (merge) title += " - [" + ToQ(active->Caption()) + "]";
  if (fw->windowTitle() != title) fw->setWindowTitle(title);
  // Only the active maximized child goes without its own frame; the others keep theirs.
  if (QMdiArea* area = MdiArea(Frame, false)) {
    TMdiSync sync;
    for (QMdiSubWindow* s : area->subWindowList()) {
      const bool frameless = merge && s == sub;
      if (s->windowFlags().testFlag(Qt::FramelessWindowHint) == frameless) continue;
      s->setWindowFlag(Qt::FramelessWindowHint, frameless);
      if (s->isHidden() && FormOfSubWindow(s) && FormOfSubWindow(s)->Visible()) s->show();
      if (TForm* c = FormOfSubWindow(s)) SetControlHolder(c, s, AreaOrigin(Frame), FrameOf(s));
    }
  }
  auto* bar = Frame->Menu() ? static_cast<QMenuBar*>(Frame->Menu()->MenuBarHandle()) : nullptr;
  if (!bar) return;
  auto* buttons = qobject_cast<QWidget*>(bar->cornerWidget(Qt::TopRightCorner));
  if (buttons && buttons->objectName() != kMergeName) return;  // someone else's corner
  if (!merge) {
    if (buttons) buttons->hide();
    return;
  }
  if (!buttons) {
    buttons = new QWidget(bar);
    buttons->setObjectName(kMergeName);
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 2, 0);
    row->setSpacing(0);
    QStyle* st = bar->style();
    auto add = [&](QStyle::StandardPixmap Icon, const char* Name, const char* Tip) {
      auto* b = new QToolButton(buttons);
      b->setObjectName(Name);
      b->setIcon(st->standardIcon(Icon, nullptr, b));
      b->setToolTip(QString::fromLatin1(Tip));
      b->setAutoRaise(true);
      b->setFocusPolicy(Qt::NoFocus);
      row->addWidget(b);
      return b;
    };
    QToolButton* minimize = add(QStyle::SP_TitleBarMinButton, "vmMdiMinimize", "Minimize");
    QToolButton* restore = add(QStyle::SP_TitleBarNormalButton, "vmMdiRestore", "Restore");
    QToolButton* close = add(QStyle::SP_TitleBarCloseButton, "vmMdiClose", "Close");
    QPointer<QWidget> guard(fw);
    auto act = [Frame, guard](int What) {
      if (!guard) return;
      TForm* c = Frame->ActiveMDIChild();
      if (!c) return;
      if (What == 0)
        c->SetWindowState(wsMinimized);
      else if (What == 1)
        c->SetWindowState(wsNormal);
      else
        c->DispatchClose();
    };
    QObject::connect(minimize, &QToolButton::clicked, buttons, [act] { act(0); });
    QObject::connect(restore, &QToolButton::clicked, buttons, [act] { act(1); });
    QObject::connect(close, &QToolButton::clicked, buttons, [act] { act(2); });
    bar->setCornerWidget(buttons, Qt::TopRightCorner);
  }
  buttons->show();
}

}  // namespace vmqt

void SendMDIChildBounds(TForm* Child, const TRect& Bounds) {
  QMdiSubWindow* sub = vmqt::MdiSubWindow(Child);
  TForm* frame = TForm::MDIFrame();
  if (!sub || !frame) return;
  const TRect r = frame->MDIClientRect();
  sub->setGeometry(Bounds.Left - r.Left, Bounds.Top - r.Top, Bounds.Width(), Bounds.Height());
  QCoreApplication::processEvents();
}

void ClickMDICaptionButton(TForm* Child, TCaptionButton Button) {
  QMdiSubWindow* sub = vmqt::MdiSubWindow(Child);
  if (!sub) return;
  // A maximized child shows its buttons in the frame's menu bar.
  if (TForm* frame = TForm::MDIFrame();
      frame && frame->Menu() && sub->windowFlags().testFlag(Qt::FramelessWindowHint)) {
    auto* bar = static_cast<QWidget*>(frame->Menu()->MenuBarHandle());
    const char* name = Button == cbMinimize ? "vmMdiMinimize" : Button == cbClose ? "vmMdiClose" : "vmMdiRestore";
    if (auto* b = bar ? bar->findChild<QToolButton*>(name) : nullptr) b->click();
    QCoreApplication::processEvents();
    return;
  }
  QStyleOptionTitleBar opt;
  opt.initFrom(sub);
  const int border = sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
  opt.rect = QRect(border, border, sub->width() - 2 * border, sub->contentsMargins().top() - border);
  opt.titleBarFlags = sub->windowFlags() | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint;
  opt.titleBarState = sub->windowState();
  opt.subControls = QStyle::SC_All;
  const QStyle::SubControl part = Button == cbMinimize   ? QStyle::SC_TitleBarMinButton
                                  : Button == cbMaximize ? QStyle::SC_TitleBarMaxButton
                                  : Button == cbRestore  ? QStyle::SC_TitleBarNormalButton
                                                         : QStyle::SC_TitleBarCloseButton;
  const QPoint at = sub->style()->subControlRect(QStyle::CC_TitleBar, &opt, part, sub).center();
  QMouseEvent move(QEvent::MouseMove, at, sub->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(sub, &move);  // the caption knows the part under the pointer
  QMouseEvent press(QEvent::MouseButtonPress, at, sub->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(sub, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, sub->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QCoreApplication::sendEvent(sub, &release);
  QCoreApplication::processEvents();
}
