#include "platform/controls.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QPalette>
#include <QChildEvent>
#include <QMoveEvent>
#include <QWheelEvent>
#include <QScrollBar>
#include <QStyle>
#include <QMetaObject>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/exceptions.h"
#include "platform/flatscroll.h"
#include "platform/forms.h"
#include "platform/paintover.h"
#include "platform/qt_controls.h"
#include "platform/stdctrls.h"

namespace {
const TEnumInfo kAlignInfo("TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"});
const TEnumInfo kAnchorKindInfo("TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"});
}  // namespace

VM_PUBLISH(TControl) {
  P.Int("Left", &TControl::Left, &TControl::SetLeft);
  P.Int("Top", &TControl::Top, &TControl::SetTop);
  P.Int("Width", &TControl::Width, &TControl::SetWidth);
  P.Int("Height", &TControl::Height, &TControl::SetHeight);
  P.Enum("Align", &TControl::Align, &TControl::SetAlign, kAlignInfo).Default(alNone);
  P.Set("Anchors", &TControl::Anchors, &TControl::SetAnchors, kAnchorKindInfo).Default(TAnchors{akLeft, akTop});
  P.Int("Color", &TControl::Color, &TControl::SetColor).Default(clWindow).Idents(ColorIdents).Stored([](TObject* o) {
    return !static_cast<TControl*>(o)->ParentColor();
  });
  P.Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(false);
  P.Object("Font", &TControl::Font, &TControl::SetFont).Stored([](TObject* o) {
    return !static_cast<TControl*>(o)->ParentFont();
  });
  P.Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
  P.Int("Cursor", &TControl::Cursor, &TControl::SetCursor).Default(crDefault).Idents(CursorIdents);
  P.String("Hint", &TControl::Hint, &TControl::SetHint);
  P.Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint).Default(false);
  P.Bool("Visible", &TControl::Visible, &TControl::SetVisible).Default(true);
  P.Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled).Default(true);
  P.Event("OnClick", &TControl::OnClick);
  P.Event("OnDblClick", &TControl::OnDblClick);
  P.Event("OnMouseDown", &TControl::OnMouseDown);
  P.Event("OnMouseUp", &TControl::OnMouseUp);
  P.Event("OnMouseMove", &TControl::OnMouseMove);
  P.Event("OnResize", &TControl::OnResize);
}

VM_PUBLISH(TWinControl) {
  P.Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false);
  P.Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Stored(false);
  P.Event("OnEnter", &TWinControl::OnEnter);
  P.Event("OnExit", &TWinControl::OnExit);
  P.Event("OnKeyDown", &TWinControl::OnKeyDown);
  P.Event("OnKeyPress", &TWinControl::OnKeyPress);
  P.Event("OnKeyUp", &TWinControl::OnKeyUp);
}

VM_PUBLISH(TCustomControl) { P.Event("OnPaint", &TCustomControl::OnPaint); }
VM_DEFINE_CLASS(TGraphicControl)
VM_PUBLISH(TPaintBox) { P.Event("OnPaint", &TPaintBox::OnPaint); }

static TMouse GMouse;
TMouse* Mouse = &GMouse;

namespace {

struct CursorName {
  TCursor Cursor;
  const char* Name;
};
constexpr CursorName kCursorNames[] = {
    {crDefault, "crDefault"},     {crNone, "crNone"},           {crArrow, "crArrow"},
    {crCross, "crCross"},         {crIBeam, "crIBeam"},         {crSizeNESW, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"},   {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},     {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},       {crVSplit, "crVSplit"},
    {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"},     {crNo, "crNo"},
    {crAppStart, "crAppStart"},   {crHelp, "crHelp"},           {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"},
};

}  // namespace

bool CursorToIdent(int64_t Cursor, std::string& Ident) {
  for (const auto& c : kCursorNames)
    if (c.Cursor == Cursor) {
      Ident = c.Name;
      return true;
    }
  return false;
}

bool IdentToCursor(const std::string& Ident, int64_t& Cursor) {
  for (const auto& c : kCursorNames)
    if (QString::fromStdString(Ident).compare(c.Name, Qt::CaseInsensitive) == 0) {
      Cursor = c.Cursor;
      return true;
    }
  return false;
}

const TIdentMap CursorIdents = {CursorToIdent, IdentToCursor};

// ---------------------------------------------------------------------------------------------
// The widget behind a control

namespace {

class VmWidget;
// The control a widget belongs to, kept on the widget.
constexpr const char* kControlProperty = "vmControl";

}  // namespace

struct TControl::Impl : public vmqt::TCanvasTarget {
  explicit Impl(TControl* O) : Owner(O) {}
  TControl* Owner;
  QPointer<QWidget> W;
  bool OwnWidget = true;
  QImage Surface;
  bool Transparent = false;  // graphic controls: the parent shows through
  bool NeedsPaint = true;
  bool InPaint = false;
  // A paint of the shown widget was asked for and has not come yet: a series that adds its
  // points one by one invalidates its chart at each, and each request walks the widget tree.
  bool UpdatePending = false;
  void RequestUpdate() {
    if (!W) return;
    if (Native) {  // the native widget's own paints are not seen here
      W->update();
      return;
    }
    const bool shown = W->isVisible();
    if (UpdatePending && shown) return;
    W->update();
    UpdatePending = shown;
  }
  int TabOrder = -1;
  bool HasWindowRgn = false;
  QRegion WindowRgn;
  bool Native = false;       // W came from CreateNativeWidget
  QPointer<QObject> Filter;  // the native widget's input filter
  bool ClickOnMouseUp = true;
  TPaintOverEvent PaintOver;  // runs after the native widget painted its face
  // A framed control: the border's width and its scroll bars (0 horizontal, 1 vertical).
  int Border = 0;
  bool FlatBorder = false;  // a plain window-frame line instead of the sunken edge
  // The band above the client area that is not frame (a form's menu bar).
  int TopInset = 0;
  // The window frame that holds the control's widget without being a control (an MDI child's
  // sub-window): the bounds are the holder's, placed from HolderOrigin on in its parent, and the
  // widget is the holder's inside, HolderFrame less on each side.
  QPointer<QWidget> Holder;
  QPoint HolderOrigin;
  QMargins HolderFrame;
  bool PlacingHolder = false;
  struct Bar {
    bool Wanted = false;
    int Min = 0, Max = 0, Page = 1, Position = 0;
    QPointer<QScrollBar> W;
  } Bars[2];
  bool Syncing = false;

  static int BarExtent() {
    vmqt::EnsureApp();
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  }
  // The client area's place in the control.
  QRect ClientArea() const {
    int w = Owner->FWidth - HolderFrame.left() - HolderFrame.right() - 2 * Border - (Bars[1].Wanted ? BarExtent() : 0);
    int h = Owner->FHeight - HolderFrame.top() - HolderFrame.bottom() - 2 * Border - TopInset -
            (Bars[0].Wanted ? BarExtent() : 0);
    return QRect(Border, Border + TopInset, std::max(0, w), std::max(0, h));
  }
  bool Framed() const { return Border > 0 || Bars[0].Wanted || Bars[1].Wanted; }
  // Where a child's window goes in this control's window.
  QRect ChildGeometry(const TControl* C) const {
    return QRect(C->FLeft, C->FTop + TopInset, std::max(0, C->FWidth), std::max(0, C->FHeight));
  }
  // Where this control's window goes in the window that holds it: its parent's client area, or
  // that of the control whose window holds it without being its parent (a child form).
  QRect PlacedGeometry() const;
  // The holder's place for the bounds.
  QRect HolderGeometry() const {
    return QRect(Owner->FLeft - HolderOrigin.x(), Owner->FTop - HolderOrigin.y(), std::max(0, Owner->FWidth),
                 std::max(0, Owner->FHeight));
  }
  // Moves the holder to the bounds; its own report of the move changes nothing.
  void PlaceHolder() {
    if (!Holder || Holder->geometry() == HolderGeometry()) return;
    PlacingHolder = true;
    Holder->setGeometry(HolderGeometry());
    PlacingHolder = false;
  }
  // Places (and makes) the scroll bars' widgets.
  void LayoutBars();

  // Device pixels per logical pixel of the screen the control shows on (of the application's
  // first screen before it has a widget); each paint of the widget takes it again.
  qreal Ratio = 0;
  qreal PixelRatio() {
    if (Ratio == 0) {
      vmqt::EnsureApp();
      Ratio = W ? W->devicePixelRatioF() : qApp->devicePixelRatio();
    }
    return Ratio;
  }
  // The surface holds the client area at the screen's pixel ratio: the code that draws works
  // in logical pixels, the screen shows every device pixel.
  void EnsureSurface() {
    QRect area = ClientArea();
    int w = std::max(1, area.width()), h = std::max(1, area.height());
    const qreal ratio = PixelRatio();
    const int dw = static_cast<int>(std::ceil(w * ratio)), dh = static_cast<int>(std::ceil(h * ratio));
    if (!Surface.isNull() && Surface.width() == dw && Surface.height() == dh && Surface.devicePixelRatio() == ratio)
      return;
    if (Owner->FSurfaceCanvas) vmqt::CanvasFlush(Owner->FSurfaceCanvas.get());  // its painter is on the old image
    QImage n(dw, dh, Transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    n.setDevicePixelRatio(ratio);
    n.fill(Transparent ? QColor(0, 0, 0, 0) : vmqt::ToQColor(Owner->FColor));
    // What was painted stays until the next paint; a surface that waits for its paint anyway has
    // nothing worth copying.
    if (!Surface.isNull() && !NeedsPaint) {
      QPainter p(&n);
      p.setCompositionMode(QPainter::CompositionMode_Source);
      p.drawImage(0, 0, Surface);
    }
    Surface = n;
    NeedsPaint = true;
  }
  QPaintDevice* Device() override {
    EnsureSurface();
    return &Surface;
  }
  QImage* Image() override {
    EnsureSurface();
    return &Surface;
  }
  void Drawn() override {
    if (!InPaint) RequestUpdate();
  }
};

namespace {

TMouseButton ButtonFromQt(Qt::MouseButton B) {
  return B == Qt::RightButton ? mbRight : B == Qt::MiddleButton ? mbMiddle : mbLeft;
}

class VmWidget : public QWidget {
public:
  VmWidget(TControl* C, QWidget* Parent) : QWidget(Parent), Ctrl(C) {
    setMouseTracking(true);
    setAttribute(Qt::WA_NoSystemBackground, true);
  }
  TControl* Ctrl;

protected:
  void paintEvent(QPaintEvent*) override {
    if (!Ctrl) return;
    TControl::Impl* d = Ctrl->GetImpl();
    d->UpdatePending = false;
    if (Ctrl->SurfaceCanvas()) {
      d->Ratio = devicePixelRatioF();  // the screen may have changed
      TControlAccessPaint(Ctrl);
      vmqt::CanvasFlush(Ctrl->SurfaceCanvas());
      QPainter p(this);
      QRect area = d->ClientArea();
      p.drawImage(area.topLeft(), d->Surface);
      if (d->Framed()) PaintFrame(p, d, area);
    } else if (!d->Transparent) {
      QPainter p(this);
      p.fillRect(rect(), vmqt::ToQColor(Ctrl->Color()));
    }
  }
  void mousePressEvent(QMouseEvent* e) override {
    if (Ctrl)
      Ctrl->DispatchMouseDown(ButtonFromQt(e->button()), vmqt::ShiftFromQt(e->modifiers(), e->buttons()),
                              At(e->position()).x(), At(e->position()).y());
  }
  void mouseDoubleClickEvent(QMouseEvent* e) override {
    if (Ctrl)
      Ctrl->DispatchMouseDown(ButtonFromQt(e->button()), vmqt::ShiftFromQt(e->modifiers(), e->buttons()),
                              At(e->position()).x(), At(e->position()).y(), true);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    if (Ctrl)
      Ctrl->DispatchMouseUp(ButtonFromQt(e->button()), vmqt::ShiftFromQt(e->modifiers(), e->buttons()),
                            At(e->position()).x(), At(e->position()).y());
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (Ctrl)
      Ctrl->DispatchMouseMove(vmqt::ShiftFromQt(e->modifiers(), e->buttons()), At(e->position()).x(),
                              At(e->position()).y());
  }
  void wheelEvent(QWheelEvent* e) override {
    if (!Ctrl) return;
    bool handled = Ctrl->DispatchMouseWheel(vmqt::ShiftFromQt(e->modifiers(), e->buttons()), e->angleDelta().y(),
                                            At(e->position()).x(), At(e->position()).y());
    e->setAccepted(handled);
  }
  void enterEvent(QEnterEvent*) override {
    if (Ctrl) Ctrl->DispatchMouseEnter();
  }
  void leaveEvent(QEvent*) override {
    if (Ctrl) Ctrl->DispatchMouseLeave();
  }
  void keyPressEvent(QKeyEvent* e) override {
    auto* wc = dynamic_cast<TWinControl*>(Ctrl);
    if (!wc) return QWidget::keyPressEvent(e);
    Qt::KeyboardModifiers mods = e->modifiers();
    TShiftState shift = vmqt::ShiftFromQt(mods, Qt::NoButton);
    uint16_t key = vmqt::KeyFromQt(e->key());
    // A Tab that moved the focus types nothing.
    if (key && !wc->DispatchKeyDown(key, shift) && key == VK_TAB) return;
    QString t = e->text();
    if (!t.isEmpty() && t[0].unicode() < 256) wc->DispatchKeyPress(static_cast<char>(t[0].unicode()));
  }
  void keyReleaseEvent(QKeyEvent* e) override {
    auto* wc = dynamic_cast<TWinControl*>(Ctrl);
    if (!wc) return QWidget::keyReleaseEvent(e);
    uint16_t key = vmqt::KeyFromQt(e->key());
    if (key) wc->DispatchKeyUp(key, vmqt::ShiftFromQt(e->modifiers(), Qt::NoButton));
  }
  void focusInEvent(QFocusEvent*) override {
    if (auto* wc = dynamic_cast<TWinControl*>(Ctrl)) wc->DispatchEnter();
  }
  void focusOutEvent(QFocusEvent*) override {
    if (auto* wc = dynamic_cast<TWinControl*>(Ctrl)) wc->DispatchExit();
  }
  bool focusNextPrevChild(bool) override { return false; }
  void resizeEvent(QResizeEvent* e) override {
    QWidget::resizeEvent(e);
    if (auto* wc = dynamic_cast<TWinControl*>(Ctrl))
      TControlAccessMessage(wc, WM_SIZE, 0, MakeLParam(width(), height()));
    else if (Ctrl && isWindow())
      TControlAccessWindowGeometry(Ctrl, geometry());
  }
  void moveEvent(QMoveEvent* e) override {
    QWidget::moveEvent(e);
    if (auto* wc = dynamic_cast<TWinControl*>(Ctrl))
      TControlAccessMessage(wc, WM_MOVE, 0, MakeLParam(x(), y()));
    else if (Ctrl && isWindow())
      TControlAccessWindowGeometry(Ctrl, geometry());
  }
  void closeEvent(QCloseEvent* e) override {
    if (auto* f = dynamic_cast<TForm*>(Ctrl)) {
      e->ignore();
      TControlAccessMessage(f, WM_CLOSE, 0, 0);
    }
  }

private:
  // A sunken edge round the control and the face in the corner between two scroll bars. Each
  // edge line is a filled pixel of the control's, so that it covers every device pixel of it on a
  // scaled screen (a one-pixel pen there left rows of stale pixels round the control).
  void PaintFrame(QPainter& P, TControl::Impl* D, const QRect& Area) {
    const int w = width(), h = height();
    auto edge = [&](int Inset, TColor TopLeft, TColor BottomRight) {
      const QColor tl = vmqt::ToQColor(TopLeft), br = vmqt::ToQColor(BottomRight);
      P.fillRect(QRect(Inset, Inset, w - 1 - 2 * Inset, 1), tl);
      P.fillRect(QRect(Inset, Inset, 1, h - 1 - 2 * Inset), tl);
      P.fillRect(QRect(Inset, h - 1 - Inset, w - 2 * Inset, 1), br);
      P.fillRect(QRect(w - 1 - Inset, Inset, 1, h - 2 * Inset), br);
    };
    if (D->FlatBorder) {
      for (int i = 0; i < D->Border; ++i) edge(i, clWindowFrame, clWindowFrame);
    } else {
      if (D->Border >= 1) edge(0, clBtnShadow, clBtnHighlight);
      if (D->Border >= 2) edge(1, cl3DDkShadow, cl3DLight);
    }
    if (D->Bars[0].Wanted && D->Bars[1].Wanted)
      P.fillRect(QRect(Area.right() + 1, Area.bottom() + 1, width() - D->Border - Area.right() - 1,
                       height() - D->Border - Area.bottom() - 1),
                 vmqt::ToQColor(clBtnFace));
  }
  // Mouse positions in the client area's coordinates.
  QPoint At(const QPointF& P) const {
    QPoint p = P.toPoint();
    if (Ctrl) p -= Ctrl->GetImpl()->ClientArea().topLeft();
    return p;
  }
  static void TControlAccessPaint(TControl* C);
  static void TControlAccessWindowGeometry(TControl* C, const QRect& R);
  static void TControlAccessMessage(TWinControl* C, uint32_t Msg, intptr_t WParam, intptr_t LParam);
};

}  // namespace

struct TControlAccess {
  static void Widget(TControl* C) {
    if (auto* w = dynamic_cast<TWinControl*>(C))
      w->HandleNeeded();
    else
      C->EnsureWidget();
  }
  static void Paint(TControl* C) { C->PaintSurface(false); }
  // The window system moved or sized a top-level window: take its bounds.
  static void WindowGeometry(TControl* C, const QRect& R) {
    if (R.x() == C->FLeft && R.y() == C->FTop && R.width() == C->FWidth && R.height() == C->FHeight) return;
    C->SetBounds(R.x(), R.y(), R.width(), R.height());
  }
  static bool Native(TControl* C) { return C->FImpl->Native; }
  // The client area grew or shrank without the bounds changing: children follow, then the resize step.
  static void ClientResized(TWinControl* C, int DX, int DY) {
    if (C->ComponentState().Contains(csDestroying)) return;
    C->AnchorControls(DX, DY);
    C->Realign();
    C->Guarded([C] { C->Resize(); });
  }
  static void Scrolled(TWinControl* C, int Kind, int Position) { C->Scrolled(Kind, Position); }
  static bool ScrollRequested(TWinControl* C, int Kind, int Code, int Position) {
    return C->ScrollRequested(Kind, Code, Position);
  }
  // A message from the window system or the queue: through WindowProc, exceptions reported.
  static void Message(TWinControl* C, uint32_t Msg, intptr_t WParam, intptr_t LParam) {
    C->Guarded([&] { C->Perform(Msg, WParam, LParam); });
  }
};

void VmWidget::TControlAccessPaint(TControl* C) { TControlAccess::Paint(C); }
void VmWidget::TControlAccessWindowGeometry(TControl* C, const QRect& R) { TControlAccess::WindowGeometry(C, R); }
void VmWidget::TControlAccessMessage(TWinControl* C, uint32_t Msg, intptr_t WParam, intptr_t LParam) {
  TControlAccess::Message(C, Msg, WParam, LParam);
}

namespace {
// A native widget shows the control's colour behind its text and its font's colour in the text;
// disabled, it keeps the palette's grey text. Colours that are system colours stay roles of the
// application palette, so the widget follows a new scheme.
void ApplyNativeLook(QWidget* W, TColor Color, const TFont& Font) {
  W->setFont(vmqt::MakeQFont(Font));
  QPalette pal;  // only the roles set here are the widget's own
  const bool systemText = Font.Color() == clWindowText || Font.Color() == clBtnText;
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
    if (Color != clWindow) pal.setColor(g, QPalette::Base, vmqt::ToQColor(Color));
    if (!systemText)
      for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        pal.setColor(g, role, vmqt::ToQColor(Font.Color()));
  }
  if (Color != clWindow) pal.setColor(QPalette::Disabled, QPalette::Base, vmqt::ToQColor(Color));
  W->setPalette(pal);
}
}  // namespace

namespace {

// Routes a native widget's input (and that of the widgets it is made of: a scroll area's viewport,
// an editable combo box's line) to its control's events before the widget sees it; a key the
// handlers swallow goes no further, one they change is delivered changed.
class NativeFilter : public QObject {
public:
  NativeFilter(TControl* C, QWidget* R) : QObject(R), Ctrl(C), Root(R) { Watch(R); }
  TControl* Ctrl;
  QWidget* Root;
  bool Resending = false;

  void Watch(QWidget* W) {
    W->installEventFilter(this);
    for (QWidget* c : W->findChildren<QWidget*>()) c->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject* Obj, QEvent* E) override {
    if (!Ctrl || Resending) return false;
    auto* ow = qobject_cast<QWidget*>(Obj);
    if (!ow) return false;
    if (Obj == Root && E->type() == QEvent::ChildAdded) {
      if (auto* cw = qobject_cast<QWidget*>(static_cast<QChildEvent*>(E)->child())) Watch(cw);
      return false;
    }
    if (ow != Root && ow->window() != Root->window()) return false;  // pop-up lists are no part of it
    // An event a part ignores goes on to its parent: count it once.
    if (E == Last && E->type() == LastType && LastObj && ow != LastObj && ow->isAncestorOf(LastObj)) return false;
    Last = E;
    LastType = E->type();
    LastObj = ow;
    if (E->type() == QEvent::Paint && ow == Root && Ctrl->GetImpl()->PaintOver) {
      // The widget paints its face first; the handler draws over it within the same paint.
      Resending = true;
      static_cast<QObject*>(ow)->event(E);
      Resending = false;
      PaintOver();
      return true;
    }
    auto* wc = dynamic_cast<TWinControl*>(Ctrl);
    auto at = [&](QMouseEvent* m) {
      QPoint p = ow == Root ? m->position().toPoint() : ow->mapTo(Root, m->position().toPoint());
      return p;
    };
    switch (E->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick: {
        auto* m = static_cast<QMouseEvent*>(E);
        QPoint p = at(m);
        Ctrl->DispatchMouseDown(ButtonFromQt(m->button()), vmqt::ShiftFromQt(m->modifiers(), m->buttons()), p.x(),
                                p.y(), E->type() == QEvent::MouseButtonDblClick);
        return false;
      }
      case QEvent::MouseButtonRelease: {
        auto* m = static_cast<QMouseEvent*>(E);
        QPoint p = at(m);
        Ctrl->DispatchMouseUp(ButtonFromQt(m->button()), vmqt::ShiftFromQt(m->modifiers(), m->buttons()), p.x(), p.y());
        return false;
      }
      case QEvent::MouseMove: {
        auto* m = static_cast<QMouseEvent*>(E);
        QPoint p = at(m);
        Ctrl->DispatchMouseMove(vmqt::ShiftFromQt(m->modifiers(), m->buttons()), p.x(), p.y());
        return false;
      }
      case QEvent::Enter:
        if (ow == Root) Ctrl->DispatchMouseEnter();
        return false;
      case QEvent::Leave:
        if (ow == Root) Ctrl->DispatchMouseLeave();
        return false;
      // Focus goes to the part that takes it (a combo box's line): report it once, from there.
      case QEvent::FocusIn:
        if (wc && !ow->focusProxy()) wc->DispatchEnter();
        return false;
      case QEvent::FocusOut:
        if (wc && !ow->focusProxy()) wc->DispatchExit();
        return false;
      case QEvent::KeyPress: {
        if (!wc) return false;
        auto* k = static_cast<QKeyEvent*>(E);
        TShiftState shift = vmqt::ShiftFromQt(k->modifiers(), Qt::NoButton);
        uint16_t key = vmqt::KeyFromQt(k->key());
        if (key && !wc->DispatchKeyDown(key, shift)) return true;
        QString t = k->text();
        if (t.isEmpty() || t[0].unicode() >= 256 || t[0].unicode() < 32) return false;
        char c = static_cast<char>(t[0].unicode());
        char after = wc->DispatchKeyPress(c);
        if (after == 0) return true;
        if (after == c) return false;
        QKeyEvent changed(QEvent::KeyPress, k->key(), k->modifiers(), QString(QChar(static_cast<uchar>(after))));
        Resending = true;
        QCoreApplication::sendEvent(Obj, &changed);
        Resending = false;
        return true;
      }
      case QEvent::KeyRelease: {
        if (!wc) return false;
        auto* k = static_cast<QKeyEvent*>(E);
        uint16_t key = vmqt::KeyFromQt(k->key());
        return key && !wc->DispatchKeyUp(key, vmqt::ShiftFromQt(k->modifiers(), Qt::NoButton));
      }
      default:
        return false;
    }
  }

private:
  // A canvas on a painter over the root widget, for the control's paint-over handler.
  struct OverTarget : public vmqt::TCanvasTarget {
    QPainter* P = nullptr;
    QPaintDevice* Device() override { return P->device(); }
    QPainter* ExternalPainter() override { return P; }
  };
  void PaintOver() {
    TControl* c = Ctrl;
    TPaintOverEvent handler = c->GetImpl()->PaintOver;  // a copy: the handler may replace itself
    QPainter p(Root);
    OverTarget target;
    target.P = &p;
    TCanvas canvas;
    canvas.Font()->Assign(c->Font());
    vmqt::CanvasSetTarget(&canvas, &target);
    try {
      handler(c, &canvas);
    } catch (...) {
      vmqt::HandleCurrentException(c);
    }
    vmqt::CanvasSetTarget(&canvas, nullptr);
  }
  QEvent* Last = nullptr;
  QEvent::Type LastType = QEvent::None;
  QPointer<QWidget> LastObj;
};

}  // namespace

namespace vmqt {

QWidget* ControlWidget(TControl* Control) { return Control ? Control->GetImpl()->W.data() : nullptr; }

TShiftState ShiftFromQt(Qt::KeyboardModifiers Mods, Qt::MouseButtons Buttons) {
  TShiftState s;
  if (Mods & Qt::ShiftModifier) s.Include(ssShift);
  if (Mods & Qt::ControlModifier) s.Include(ssCtrl);
  if (Mods & Qt::AltModifier) s.Include(ssAlt);
  if (Buttons & Qt::LeftButton) s.Include(ssLeft);
  if (Buttons & Qt::RightButton) s.Include(ssRight);
  if (Buttons & Qt::MiddleButton) s.Include(ssMiddle);
  return s;
}

uint16_t KeyFromQt(int K) {
  if ((K >= Qt::Key_A && K <= Qt::Key_Z) || (K >= Qt::Key_0 && K <= Qt::Key_9)) return static_cast<uint16_t>(K);
  if (K >= Qt::Key_F1 && K <= Qt::Key_F24) return static_cast<uint16_t>(VK_F1 + (K - Qt::Key_F1));
  switch (K) {
    case Qt::Key_Backspace:
      return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Shift:
      return VK_SHIFT;
    case Qt::Key_Control:
      return VK_CONTROL;
    case Qt::Key_Alt:
      return VK_MENU;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Space:
      return VK_SPACE;
    case Qt::Key_PageUp:
      return VK_PRIOR;
    case Qt::Key_PageDown:
      return VK_NEXT;
    case Qt::Key_End:
      return VK_END;
    case Qt::Key_Home:
      return VK_HOME;
    case Qt::Key_Left:
      return VK_LEFT;
    case Qt::Key_Up:
      return VK_UP;
    case Qt::Key_Right:
      return VK_RIGHT;
    case Qt::Key_Down:
      return VK_DOWN;
    case Qt::Key_Insert:
      return VK_INSERT;
    case Qt::Key_Delete:
      return VK_DELETE;
    case Qt::Key_Plus:
      return VK_ADD;
    case Qt::Key_Minus:
      return VK_SUBTRACT;
    case Qt::Key_Period:
      return VK_OEM_PERIOD;
    default:
      return 0;
  }
}

}  // namespace vmqt

// ---------------------------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FFont(std::make_unique<TFont>()), FImpl(std::make_unique<Impl>(this)) {
  FFont->OnChange = [this](TObject*) {
    FParentFont = false;
    FontChanged();
  };
}

TControl::~TControl() {
  if (Mouse->Capture() == this) Mouse->SetCapture(nullptr);
  if (FParent) FParent->RemoveControl(this);
  if (FSurfaceCanvas) vmqt::CanvasSetTarget(FSurfaceCanvas.get(), nullptr);
  if (QWidget* w = FImpl->W.data()) {
    if (auto* vw = dynamic_cast<VmWidget*>(w)) vw->Ctrl = nullptr;
    if (FImpl->Filter) static_cast<NativeFilter*>(FImpl->Filter.data())->Ctrl = nullptr;
    QObject::disconnect(w, nullptr, nullptr, nullptr);
    w->setProperty(kControlProperty, QVariant());
    if (FImpl->OwnWidget) delete w;
  }
}

void TControl::Guarded(const std::function<void()>& Fn) {
  try {
    Fn();
  } catch (...) {
    vmqt::HandleCurrentException(this);
  }
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) AParent->InsertControl(this);
}

void* TControl::WidgetHandle() const {
  if (FImpl->W) return FImpl->W.data();
  return FParent ? FParent->WidgetHandle() : nullptr;
}

void TControl::EnsureWidget() {
  if (FImpl->W) return;
  vmqt::EnsureApp();
  QWidget* parentWidget = nullptr;
  if (FParent) {
    FParent->EnsureWidget();
    parentWidget = FParent->FImpl->W.data();
    if (!parentWidget) return;
  }
  QWidget* w = static_cast<QWidget*>(CreateNativeWidget(parentWidget));
  FImpl->Native = w != nullptr;
  if (w) {
    w->setParent(parentWidget);
    FImpl->Filter = new NativeFilter(this, w);
  } else {
    w = new VmWidget(this, parentWidget);
  }
  FImpl->W = w;
  FImpl->UpdatePending = false;
  FImpl->OwnWidget = true;
  w->setProperty(kControlProperty, QVariant::fromValue(reinterpret_cast<quintptr>(this)));
  if (FImpl->Native) {
    ApplyNativeLook(w, FColor, *FFont);  // the widget paints itself
  } else if (FImpl->Transparent) {
    w->setAttribute(Qt::WA_NoSystemBackground, false);
    w->setAttribute(Qt::WA_TranslucentBackground, true);
  } else {
    w->setAttribute(Qt::WA_OpaquePaintEvent, true);
  }
  if (dynamic_cast<TWinControl*>(this) && static_cast<TWinControl*>(this)->TabStop())
    w->setFocusPolicy(Qt::StrongFocus);
  w->setGeometry(FParent ? FParent->FImpl->ChildGeometry(this)
                         : QRect(FLeft, FTop, std::max(0, FWidth), std::max(0, FHeight)));
  if (FImpl->HasWindowRgn) w->setMask(FImpl->WindowRgn);
  w->setEnabled(FEnabled);
  if (FCursor != crDefault) w->setCursor(vmqt::CursorFor(FCursor));
  if (FShowHint) w->setToolTip(vmqt::ToQ(FHint));
  if (parentWidget) w->setVisible(FVisible);
  FImpl->LayoutBars();
  if (auto* wc = dynamic_cast<TWinControl*>(this)) {
    for (TControl* c : wc->FControls) {
      QWidget* cw = c->FImpl->W.data();
      if (cw && cw->parentWidget() != w) {
        // Placed in this control before its window existed, the child kept a window of its own
        // (a control moved into a form not yet shown): it moves into this window now.
        cw->setParent(w);
        cw->setGeometry(FImpl->ChildGeometry(c));
        cw->setVisible(c->FVisible);
      } else {
        c->EnsureWidget();
      }
    }
  }
}

void* TControl::NativeWidget() const { return FImpl->Native ? FImpl->W.data() : nullptr; }

void TControl::SetClickOnMouseUp(bool Value) { FImpl->ClickOnMouseUp = Value; }

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
  if (auto* p = dynamic_cast<TWinControl*>(Value)) SetParent(p);
}

void TControl::CreateSurface() {
  if (FSurfaceCanvas) return;
  FSurfaceCanvas = std::make_unique<TCanvas>();
  FSurfaceCanvas->Font()->Assign(FFont.get());
  vmqt::CanvasSetTarget(FSurfaceCanvas.get(), FImpl.get());
}

void TControl::PaintSurface(bool Force) {
  if (!FSurfaceCanvas) return;
  FImpl->EnsureSurface();
  if (!FImpl->NeedsPaint && !Force) return;
  FImpl->NeedsPaint = false;
  FImpl->InPaint = true;
  Guarded([this] {
    TCanvas* c = FSurfaceCanvas.get();
    c->Font()->Assign(FFont.get());
    if (!FImpl->Transparent) {
      c->Brush()->SetColor(FColor);
      c->Brush()->SetStyle(bsSolid);
      c->FillRect(Rect(0, 0, std::max(1, FWidth), std::max(1, FHeight)));
    } else {
      FImpl->Surface.fill(QColor(0, 0, 0, 0));
    }
    Paint();
  });
  FImpl->InPaint = false;
}

void TControl::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  AWidth = std::max(0, AWidth);
  AHeight = std::max(0, AHeight);
  bool sized = AWidth != FWidth || AHeight != FHeight;
  bool moved = ALeft != FLeft || ATop != FTop;
  if (!sized && !moved) return;
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  if (sized && FSurfaceCanvas) {
    // The surface follows when it is next drawn on or shown: a control sized several times on
    // its way to the screen makes it once.
    vmqt::CanvasFlush(FSurfaceCanvas.get());
    FImpl->NeedsPaint = true;
  }
  if (sized) FImpl->LayoutBars();
  if (FImpl->Holder) {
    FImpl->PlaceHolder();
    if (QWidget* w = FImpl->W.data()) w->update();
  } else if (QWidget* w = FImpl->W.data()) {
    const QRect g = w->isWindow() ? QRect(FLeft, FTop, FWidth, FHeight) : FImpl->PlacedGeometry();
    if (w->geometry() != g) {
      // A hidden window is placed when it is shown; a shown one moves now, or the window
      // system's next report of its geometry would undo the new position.
      if (w->isWindow() && !w->isVisible())
        w->resize(FWidth, FHeight);
      else
        w->setGeometry(g);
    }
    w->update();
  }
  // A windowed control resizes its children first, then runs its own resize step.
  if (sized && !dynamic_cast<TWinControl*>(this)) Guarded([this] { Resize(); });
  if (FParent && FAlign != alNone) FParent->Realign();
}

TRect TControl::ClientRect() const {
  QRect a = FImpl->ClientArea();
  return Rect(0, 0, a.width(), a.height());
}

void TControl::Impl::LayoutBars() {
  QWidget* host = W.data();
  if (!host || Native) return;
  const int ext = BarExtent();
  QRect area = ClientArea();
  for (int k = 0; k < 2; ++k) {
    Bar& b = Bars[k];
    if (!b.Wanted) {
      if (b.W) b.W->hide();
      continue;
    }
    if (!b.W) {
      auto* sb = new QScrollBar(k == 1 ? Qt::Vertical : Qt::Horizontal, host);
      sb->setFocusPolicy(Qt::NoFocus);
      TControl* owner = Owner;
      QObject::connect(sb, &QScrollBar::valueChanged, sb, [this, owner, k](int v) {
        if (Syncing || v == Bars[k].Position) return;
        Bars[k].Position = v;
        owner->Guarded([&] {
          if (auto* wc = dynamic_cast<TWinControl*>(owner)) TControlAccess::Scrolled(wc, k, v);
        });
      });
      // The action comes before the bar moves: a control that places itself keeps the bar.
      QObject::connect(sb, &QAbstractSlider::actionTriggered, sb, [this, owner, k, sb](int action) {
        int code = -1;
        switch (action) {
          case QAbstractSlider::SliderSingleStepSub:
            code = SB_LINEUP;
            break;
          case QAbstractSlider::SliderSingleStepAdd:
            code = SB_LINEDOWN;
            break;
          case QAbstractSlider::SliderPageStepSub:
            code = SB_PAGEUP;
            break;
          case QAbstractSlider::SliderPageStepAdd:
            code = SB_PAGEDOWN;
            break;
          case QAbstractSlider::SliderMove:
            code = sb->isSliderDown() ? SB_THUMBTRACK : SB_THUMBPOSITION;
            break;
          case QAbstractSlider::SliderToMinimum:
            code = SB_TOP;
            break;
          case QAbstractSlider::SliderToMaximum:
            code = SB_BOTTOM;
            break;
          default:
            break;
        }
        if (code < 0 || Syncing) return;
        bool taken = false;
        const int to = sb->sliderPosition();
        owner->Guarded([&] {
          if (auto* wc = dynamic_cast<TWinControl*>(owner)) taken = TControlAccess::ScrollRequested(wc, k, code, to);
        });
        if (taken) {
          Syncing = true;
          sb->setSliderPosition(Bars[k].Position);
          Syncing = false;
        }
      });
      b.W = sb;
    }
    Syncing = true;
    b.W->setRange(b.Min, std::max(b.Min, b.Max - b.Page + 1));
    b.W->setPageStep(std::max(1, b.Page));
    b.W->setValue(b.Position);
    Syncing = false;
    if (k == 1)
      b.W->setGeometry(area.right() + 1, Border, ext, area.height());
    else
      b.W->setGeometry(Border, area.bottom() + 1, area.width(), ext);
    b.W->show();
  }
}

int TWinControl::WorkScrollBar(int Kind, int Code, int Position) {
  if (Kind != 0 && Kind != 1) return -1;
  FImpl->LayoutBars();
  QScrollBar* sb = FImpl->Bars[Kind].W.data();
  if (!sb || !FImpl->Bars[Kind].Wanted) return -1;
  switch (Code) {
    case SB_LINEUP:
      sb->triggerAction(QAbstractSlider::SliderSingleStepSub);
      break;
    case SB_LINEDOWN:
      sb->triggerAction(QAbstractSlider::SliderSingleStepAdd);
      break;
    case SB_PAGEUP:
      sb->triggerAction(QAbstractSlider::SliderPageStepSub);
      break;
    case SB_PAGEDOWN:
      sb->triggerAction(QAbstractSlider::SliderPageStepAdd);
      break;
    case SB_TOP:
      sb->triggerAction(QAbstractSlider::SliderToMinimum);
      break;
    case SB_BOTTOM:
      sb->triggerAction(QAbstractSlider::SliderToMaximum);
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      sb->setSliderPosition(Position);
      break;
    default:
      break;
  }
  return sb->value();
}

void TWinControl::SetFrameBorder(int Width, bool Flat) {
  Width = std::max(0, Width);
  if (FImpl->Border == Width && FImpl->FlatBorder == Flat) return;
  FImpl->Border = Width;
  FImpl->FlatBorder = Flat;
  FImpl->NeedsPaint = true;
  FImpl->LayoutBars();
  Invalidate();
}

QRect TControl::Impl::PlacedGeometry() const {
  if (Owner->FParent) return Owner->FParent->FImpl->ChildGeometry(Owner);
  if (W && W->parentWidget()) {
    QVariant v = W->parentWidget()->property(kControlProperty);
    if (v.isValid()) return reinterpret_cast<TControl*>(v.value<quintptr>())->FImpl->ChildGeometry(Owner);
  }
  return QRect(Owner->FLeft, Owner->FTop, std::max(0, Owner->FWidth), std::max(0, Owner->FHeight));
}

void vmqt::PlaceControlWidget(TControl* Control) {
  if (Control && Control->GetImpl()->Holder) {
    Control->GetImpl()->PlaceHolder();
    return;
  }
  QWidget* w = Control ? Control->GetImpl()->W.data() : nullptr;
  if (w && !w->isWindow()) w->setGeometry(Control->GetImpl()->PlacedGeometry());
}

QWidget* vmqt::ControlHolder(TControl* Control) { return Control ? Control->GetImpl()->Holder.data() : nullptr; }

void vmqt::SetControlHolder(TControl* Control, QWidget* Holder, const QPoint& Origin, const QMargins& Frame) {
  TControl::Impl* d = Control->GetImpl();
  const QRect before = d->ClientArea();
  d->Holder = Holder;
  d->HolderOrigin = Holder ? Origin : QPoint();
  d->HolderFrame = Holder ? Frame : QMargins();
  d->PlaceHolder();
  if (d->ClientArea().size() == before.size()) return;
  // The frame round the client area changed (a caption merged away or back): the client area
  // follows as after a change of size.
  if (Control->SurfaceCanvas()) CanvasFlush(Control->SurfaceCanvas());
  d->NeedsPaint = true;
  d->LayoutBars();
  if (d->W) d->W->update();
  if (auto* wc = dynamic_cast<TWinControl*>(Control)) {
    const int dx = d->ClientArea().width() - before.width(), dy = d->ClientArea().height() - before.height();
    TControlAccess::ClientResized(wc, dx, dy);
  }
}

bool vmqt::PlacingControlHolder(TControl* Control) { return Control && Control->GetImpl()->PlacingHolder; }

void TWinControl::SetClientTopInset(int Pixels) {
  Pixels = std::max(0, Pixels);
  if (FImpl->TopInset == Pixels) return;
  FImpl->TopInset = Pixels;
  if (FSurfaceCanvas) vmqt::CanvasFlush(FSurfaceCanvas.get());
  FImpl->NeedsPaint = true;
  FImpl->LayoutBars();
  // The children's windows, child forms held in this window included.
  if (QWidget* w = FImpl->W.data())
    for (QWidget* cw : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      if (QVariant v = cw->property(kControlProperty); v.isValid() && !cw->isWindow())
        vmqt::PlaceControlWidget(reinterpret_cast<TControl*>(v.value<quintptr>()));
  Realign();
  Invalidate();
}

void TWinControl::SetScrollBar(int Kind, int Min, int Max, int Page, int Position) {
  auto& b = FImpl->Bars[Kind == 1 ? 1 : 0];
  Page = std::max(1, Page);
  bool wanted = Max - Min + 1 > Page;
  Position = std::clamp(Position, Min, std::max(Min, Max - Page + 1));
  bool resized = wanted != b.Wanted;
  if (!resized && b.Min == Min && b.Max == Max && b.Page == Page && b.Position == Position) return;
  b.Wanted = wanted;
  b.Min = Min;
  b.Max = Max;
  b.Page = Page;
  b.Position = Position;
  FImpl->LayoutBars();
  if (resized) {
    FImpl->NeedsPaint = true;
    if (QWidget* w = FImpl->W.data()) w->update();
    Guarded([this] { Resize(); });
  }
}

bool TWinControl::ScrollBarShowing(int Kind) const { return FImpl->Bars[Kind == 1 ? 1 : 0].Wanted; }

TPoint TControl::ClientOrigin() const {
  if (QWidget* w = FImpl->W.data()) {
    QPoint p = w->mapToGlobal(FImpl->ClientArea().topLeft());
    return TPoint(p.x(), p.y());
  }
  TPoint p(FLeft, FTop);
  if (FParent) {
    TPoint o = FParent->ClientOrigin();
    p.X += o.X;
    p.Y += o.Y;
  }
  return p;
}

TPoint TControl::ClientToScreen(const TPoint& P) const {
  TPoint o = ClientOrigin();
  return TPoint(P.X + o.X, P.Y + o.Y);
}

TPoint TControl::ScreenToClient(const TPoint& P) const {
  TPoint o = ClientOrigin();
  return TPoint(P.X - o.X, P.Y - o.Y);
}

void TControl::SetAlign(TAlign Value) {
  if (FAlign == Value) return;
  FAlign = Value;
  if (FParent) FParent->Realign();
}

void TControl::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  if (QWidget* w = FImpl->W.data())
    if (!w->isWindow()) w->setVisible(Value);
  Guarded([this] { VisibleChanged(); });
  if (FParent) FParent->Realign();
}

bool TControl::Showing() const {
  QWidget* w = FImpl->W.data();
  return FVisible && w && w->isVisible();
}

void TControl::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  if (QWidget* w = FImpl->W.data()) w->setEnabled(Value);
  Guarded([this] { EnabledChanged(); });
  Invalidate();
}

void TControl::SetColor(TColor Value) {
  if (FColor == Value && !FParentColor) return;
  FColor = Value;
  FParentColor = false;
  ColorChanged();
}

void TControl::SetParentColor(bool Value) {
  FParentColor = Value;
  if (Value && FParent) {
    FColor = FParent->Color();
    ColorChanged();
  }
}

void TControl::SetParentFont(bool Value) {
  if (Value && FParent) {
    FFont->Assign(FParent->Font());  // fires FontChanged and clears the flag
  }
  FParentFont = Value;
}

void TControl::ColorChanged() {
  if (FImpl->Native && FImpl->W) ApplyNativeLook(FImpl->W, FColor, *FFont);
  Invalidate();
  if (auto* wc = dynamic_cast<TWinControl*>(this))
    for (TControl* c : wc->FControls)
      if (c->FParentColor) {
        c->FColor = FColor;
        c->ColorChanged();
      }
}

void TControl::FontChanged() {
  if (FImpl->Native && FImpl->W) ApplyNativeLook(FImpl->W, FColor, *FFont);
  Invalidate();
  if (auto* wc = dynamic_cast<TWinControl*>(this))
    for (TControl* c : wc->FControls)
      if (c->FParentFont) {
        c->FFont->Assign(FFont.get());
        c->FParentFont = true;
      }
}

void TControl::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
  if (QWidget* w = FImpl->W.data()) {
    if (Value == crDefault)
      w->unsetCursor();
    else
      w->setCursor(vmqt::CursorFor(Value));
  }
}

void TControl::SetHint(const std::string& Value) {
  FHint = Value;
  if (QWidget* w = FImpl->W.data()) w->setToolTip(vmqt::ToQ(Value));
}

void TControl::SetText(const std::string& Value) {
  if (FText == Value) return;
  FText = Value;
  if (QWidget* w = FImpl->W.data())
    if (w->isWindow()) w->setWindowTitle(vmqt::ToQ(Value));
  Guarded([this] { TextChanged(); });
  Invalidate();
}

void TControl::Invalidate() {
  FImpl->NeedsPaint = true;
  FImpl->RequestUpdate();
}

void TControl::Update() {
  PaintSurface(false);
  if (QWidget* w = FImpl->W.data())
    if (w->isVisible()) w->repaint();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::BringToFront() {
  if (QWidget* w = FImpl->Holder ? FImpl->Holder.data() : FImpl->W.data()) w->raise();
  if (FParent) {
    auto& v = FParent->FControls;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    v.push_back(this);
  }
}

void TControl::SendToBack() {
  if (QWidget* w = FImpl->Holder ? FImpl->Holder.data() : FImpl->W.data()) w->lower();
  if (FParent) {
    auto& v = FParent->FControls;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    v.insert(v.begin(), this);
  }
}

bool TControl::MouseCapture() const { return Mouse->Capture() == this; }

void TControl::SetMouseCapture(bool Value) {
  QWidget* w = FImpl->W.data();
  if (Value) {
    Mouse->SetCapture(this);
    if (w && w->isVisible()) w->grabMouse();
  } else if (Mouse->Capture() == this) {
    Mouse->SetCapture(nullptr);
    if (w && QWidget::mouseGrabber() == w) w->releaseMouse();
  }
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}
bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (!handled) handled = WheelDelta < 0 ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
  return handled;
}
bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
  return handled;
}
bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
  return handled;
}
void TControl::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}
void TControl::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}
void TControl::Resize() {
  // A control being freed may still be moved while its window is taken apart: its handlers may
  // belong to a form whose own part is gone already.
  if (OnResize && !ComponentState().Contains(csDestroying)) OnResize(this);
}

void TControl::DispatchMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y, bool DoubleClick) {
  if (!FEnabled) return;
  Guarded([&] {
    if (Button == mbLeft) FPressed = true;
    if (DoubleClick) {
      Shift.Include(ssDouble);
      if (Button == mbLeft) DblClick();
    }
    MouseDown(Button, Shift, X, Y);
  });
}

void TControl::DispatchMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (!FEnabled) return;
  Guarded([&] {
    bool click = Button == mbLeft && FPressed && !FImpl->Native && FImpl->ClickOnMouseUp && X >= 0 && Y >= 0 &&
                 X < FWidth && Y < FHeight;
    if (Button == mbLeft) FPressed = false;
    if (click) Click();
    MouseUp(Button, Shift, X, Y);
  });
}

void TControl::DispatchMouseMove(TShiftState Shift, int X, int Y) {
  if (!FEnabled) return;
  Guarded([&] { MouseMove(Shift, X, Y); });
}

bool TControl::DispatchMouseWheel(TShiftState Shift, int WheelDelta, int X, int Y) {
  bool handled = false;
  if (!FEnabled) return false;
  Guarded([&] { handled = DoMouseWheel(Shift, WheelDelta, ClientToScreen(TPoint(X, Y))); });
  return handled;
}

void TControl::DispatchMouseEnter() {
  if (FMouseInControl) return;
  FMouseInControl = true;
  Guarded([this] { MouseEnter(); });
}

void TControl::DispatchMouseLeave() {
  if (!FMouseInControl) return;
  FMouseInControl = false;
  Guarded([this] { MouseLeave(); });
}

// ---------------------------------------------------------------------------------------------
// TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
  WindowProc = [this](TMessage& Message) { WndProc(Message); };
}

intptr_t TWinControl::Perform(uint32_t Msg, intptr_t WParam, intptr_t LParam) {
  TMessage m;
  m.Msg = Msg;
  m.WParam = WParam;
  m.LParam = LParam;
  if (WindowProc) {
    TWndMethod proc = WindowProc;  // a copy: a hook may replace the procedure while it runs
    proc(m);
  } else {
    WndProc(m);
  }
  return m.Result;
}

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE:
    case WM_MOVE:
      // The window system moved or sized a top-level window: the control takes its bounds.
      if (QWidget* w = FImpl->W.data(); w && w->isWindow()) TControlAccess::WindowGeometry(this, w->geometry());
      break;
    case WM_GETMINMAXINFO:
      break;  // no limits of its own
    default:
      DefaultHandler(Message);
      break;
  }
}

TMinMaxInfo TWinControl::QuerySizeLimits() {
  TMinMaxInfo info;
  info.ptMaxTrackSize = TPoint(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  info.ptMaxSize = TPoint(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<intptr_t>(&info));
  return info;
}

namespace {
// A size limited by the answer to WM_GETMINMAXINFO (a maximum below the minimum gives way).
void ClampToLimits(const TMinMaxInfo& Info, int32_t& W, int32_t& H) {
  W = std::max(std::min(W, std::max<int32_t>(Info.ptMaxTrackSize.X, 0)), Info.ptMinTrackSize.X);
  H = std::max(std::min(H, std::max<int32_t>(Info.ptMaxTrackSize.Y, 0)), Info.ptMinTrackSize.Y);
}
// The limits go to the window the user drags: the control's own widget when it is a window, else
// the frame that holds it (a child window's, whose size is the control's; its caption keeps a
// least size of its own).
void ApplyWidgetLimits(TControl::Impl* D, const TMinMaxInfo& Info) {
  QWidget* W = D->Holder ? D->Holder.data() : D->W.data();
  if (!W || (!D->Holder && !W->isWindow())) return;
  const int floorW = D->Holder ? vmqt::HeldMinimumWidth : 0, floorH = D->Holder ? vmqt::HeldMinimumHeight : 0;
  const int minW = std::clamp<int>(Info.ptMinTrackSize.X, floorW, QWIDGETSIZE_MAX);
  const int minH = std::clamp<int>(Info.ptMinTrackSize.Y, floorH, QWIDGETSIZE_MAX);
  W->setMaximumSize(std::clamp<int>(Info.ptMaxTrackSize.X, minW, QWIDGETSIZE_MAX),
                    std::clamp<int>(Info.ptMaxTrackSize.Y, minH, QWIDGETSIZE_MAX));
  W->setMinimumSize(minW, minH);
}
}  // namespace

void TWinControl::UpdateSizeLimits() {
  if (FParent) return;
  TMinMaxInfo info = QuerySizeLimits();
  int32_t w = FWidth, h = FHeight;
  ClampToLimits(info, w, h);
  if (w == FWidth && h == FHeight) {
    ApplyWidgetLimits(FImpl.get(), info);
    return;
  }
  // The size changes (SetBounds gives the window the limits too). A child window grown to its
  // limits moves back into its frame's area as far as it fits there.
  int32_t l = FLeft, t = FTop;
  if (QWidget* area = FImpl->Holder ? FImpl->Holder->parentWidget() : nullptr) {
    const QPoint o = FImpl->HolderOrigin;
    if (w > FWidth && l - o.x() + w > area->width()) l = o.x() + std::max(0, area->width() - w);
    if (h > FHeight && t - o.y() + h > area->height()) t = o.y() + std::max(0, area->height() - h);
  }
  SetBounds(l, t, w, h);
}

TWinControl::~TWinControl() {
  // Child controls go with their parent.
  while (!FControls.empty()) {
    TControl* c = FControls.back();
    RemoveControl(c);
    delete c;
  }
}

TControl* TWinControl::Controls(int Index) const {
  if (Index < 0 || Index >= ControlCount())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FControls[Index];
}

void TWinControl::InsertControl(TControl* AControl) {
  if (!AControl || AControl->FParent == this) return;
  if (AControl->FParent) AControl->FParent->RemoveControl(AControl);
  FControls.push_back(AControl);
  AControl->FParent = this;
  if (auto* wc = dynamic_cast<TWinControl*>(AControl)) {
    int want = wc->FImpl->TabOrder;
    FTabList.push_back(wc);
    if (want >= 0) wc->SetTabOrder(want);
  }
  if (AControl->FParentFont) {
    AControl->FFont->Assign(FFont.get());
    AControl->FParentFont = true;
  }
  if (AControl->FParentColor) AControl->FColor = FColor;
  if (FImpl->W) {
    if (QWidget* cw = AControl->FImpl->W.data()) {
      cw->setParent(FImpl->W.data());
      cw->setGeometry(FImpl->ChildGeometry(AControl));
      cw->setVisible(AControl->FVisible);
    } else {
      AControl->EnsureWidget();
    }
  }
  AControl->Guarded([AControl] { AControl->ParentChanged(); });
  Realign();
}

void TWinControl::RemoveControl(TControl* AControl) {
  auto it = std::find(FControls.begin(), FControls.end(), AControl);
  if (it == FControls.end()) return;
  FControls.erase(it);
  FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), AControl), FTabList.end());
  AControl->FParent = nullptr;
  if (QWidget* cw = AControl->FImpl->W.data()) {
    cw->hide();
    cw->setParent(nullptr);
  }
  Realign();
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (c->Visible() && (AllowDisabled || c->Enabled()) && PtInRect(c->BoundsRect(), Pos)) return c;
  }
  return nullptr;
}

bool TWinControl::HandleAllocated() const { return FImpl->W != nullptr; }

void TWinControl::HandleNeeded() {
  if (FImpl->W) return;
  if (FParent) FParent->HandleNeeded();
  EnsureWidget();
  if (FImpl->W) Guarded([this] { CreateWnd(); });
  if (FImpl->W && !FParent) Guarded([this] { ApplyWidgetLimits(FImpl.get(), QuerySizeLimits()); });
}

void* TWinControl::Handle() {
  HandleNeeded();
  return FImpl->W.data();
}

void TWinControl::RecreateWnd() {
  if (!FImpl->W) return;
  Guarded([this] { Perform(WM_DESTROY); });
  Guarded([this] { DestroyWnd(); });
  Guarded([this] { CreateWnd(); });
  Invalidate();
}

void TWinControl::CreateWnd() {}
void TWinControl::DestroyWnd() {}

void TWinControl::SetTabStop(bool Value) {
  FTabStop = Value;
  if (QWidget* w = FImpl->W.data()) w->setFocusPolicy(Value ? Qt::StrongFocus : Qt::NoFocus);
}

int TWinControl::TabOrder() const {
  if (!FParent) return FImpl->TabOrder;
  auto& v = FParent->FTabList;
  return static_cast<int>(std::find(v.begin(), v.end(), this) - v.begin());
}

void TWinControl::SetTabOrder(int Value) {
  FImpl->TabOrder = Value;
  if (!FParent || Value < 0) return;
  auto& v = FParent->FTabList;
  v.erase(std::remove(v.begin(), v.end(), this), v.end());
  v.insert(v.begin() + std::min<size_t>(static_cast<size_t>(Value), v.size()), this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) const {
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  const int n = static_cast<int>(list.size());
  if (n == 0) return nullptr;
  int i = static_cast<int>(std::find(list.begin(), list.end(), CurControl) - list.begin());
  if (i == n) i = GoForward ? n - 1 : 0;
  for (int k = 0; k < n; ++k) {
    i = GoForward ? (i + 1) % n : (i + n - 1) % n;
    TWinControl* c = list[i];
    if (c == CurControl) break;
    if ((!CheckTabStop || c->FTabStop) && (!CheckParent || c->FParent == this) && c->CanFocus()) return c;
  }
  return nullptr;
}

bool TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  TWinControl* c = FindNextControl(CurControl, GoForward, CheckTabStop, false);
  if (!c) return false;
  c->SetFocus();
  return true;
}

bool TWinControl::SelectFirst() { return SelectNext(nullptr, true, true); }

bool TWinControl::DispatchDialogChar(char Key) {
  Key = static_cast<char>(std::toupper(static_cast<unsigned char>(Key)));
  std::vector<TControl*> children = FControls;
  for (TControl* c : children) {
    if (!c->Visible() || !c->Enabled()) continue;
    if (c->DialogChar(Key)) return true;
    if (auto* wc = dynamic_cast<TWinControl*>(c); wc && wc->DispatchDialogChar(Key)) return true;
  }
  return false;
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const {
  QWidget* w = FImpl->W.data();
  return w && w->hasFocus();
}

namespace {

// Why focus is being moved: Tab, Shift+Tab and accelerators move it from the keyboard, and
// native widgets then show their focus mark; moves made by code show none until then.
Qt::FocusReason gFocusReason = Qt::OtherFocusReason;

class TKeyboardFocusMove {
public:
  explicit TKeyboardFocusMove(Qt::FocusReason Reason) : FOld(gFocusReason) { gFocusReason = Reason; }
  ~TKeyboardFocusMove() { gFocusReason = FOld; }
  TKeyboardFocusMove(const TKeyboardFocusMove&) = delete;
  TKeyboardFocusMove& operator=(const TKeyboardFocusMove&) = delete;

private:
  Qt::FocusReason FOld;
};

}  // namespace

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  HandleNeeded();
  if (QWidget* w = FImpl->W.data()) {
    if (w->focusPolicy() == Qt::NoFocus) w->setFocusPolicy(Qt::StrongFocus);
    w->setFocus(gFocusReason);
  }
}

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0 && --FAlignLevel == 0) Realign();
}

void TWinControl::Realign() {
  if (FAlignLevel > 0) return;
  TRect r = ClientRect();
  ++FAlignLevel;
  AlignControls(r);
  --FAlignLevel;
}

void TWinControl::AlignControls(TRect& R) {
  auto place = [&](TAlign which) {
    for (TControl* c : FControls) {
      if (c->FAlign != which || !c->FVisible) continue;
      switch (which) {
        case alTop:
          c->SetBounds(R.Left, R.Top, R.Width(), c->FHeight);
          R.Top += c->FHeight;
          break;
        case alBottom:
          c->SetBounds(R.Left, R.Bottom - c->FHeight, R.Width(), c->FHeight);
          R.Bottom -= c->FHeight;
          break;
        case alLeft:
          c->SetBounds(R.Left, R.Top, c->FWidth, R.Height());
          R.Left += c->FWidth;
          break;
        case alRight:
          c->SetBounds(R.Right - c->FWidth, R.Top, c->FWidth, R.Height());
          R.Right -= c->FWidth;
          break;
        case alClient:
          c->SetBounds(R.Left, R.Top, R.Width(), R.Height());
          break;
        default:
          break;
      }
    }
  };
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) place(a);
}

void TWinControl::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
  if (!FParent && (AWidth != FWidth || AHeight != FHeight) && !ComponentState().Contains(csDestroying)) {
    // A top-level window stays inside the limits its window procedure gives (as the window
    // system keeps it while the user drags).
    TMinMaxInfo info = QuerySizeLimits();
    ApplyWidgetLimits(FImpl.get(), info);
    ClampToLimits(info, AWidth, AHeight);
  }
  bool sized = AWidth != FWidth || AHeight != FHeight;
  const TRect oldClient = ClientRect();
  TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (sized) {
    AnchorControls(ClientWidth() - oldClient.Width(), ClientHeight() - oldClient.Height());
    Realign();
    Guarded([this] { Resize(); });
  }
}

// Children without alignment follow the client area's growth by their anchors: anchored on both
// sides they stretch, on the far side only they move, on neither they keep their centre.
void TWinControl::AnchorControls(int32_t DX, int32_t DY) {
  if (DX == 0 && DY == 0) return;
  auto follow = [](TAnchors A, TAnchorKind Near, TAnchorKind Far, int32_t D, int32_t& Pos, int32_t& Size) {
    if (A.Contains(Far)) {
      if (A.Contains(Near))
        Size = std::max(0, Size + D);
      else
        Pos += D;
    } else if (!A.Contains(Near)) {
      Pos += D / 2;
    }
  };
  std::vector<TControl*> children = FControls;
  for (TControl* c : children) {
    if (c->FAlign != alNone) continue;
    int32_t l = c->FLeft, t = c->FTop, w = c->FWidth, h = c->FHeight;
    follow(c->FAnchors, akLeft, akRight, DX, l, w);
    follow(c->FAnchors, akTop, akBottom, DY, t, h);
    if (l != c->FLeft || t != c->FTop || w != c->FWidth || h != c->FHeight) c->SetBounds(l, t, w, h);
  }
}

void TWinControl::SetWindowRgn(const TRegion* Region, bool Redraw) {
  FImpl->HasWindowRgn = Region != nullptr;
  FImpl->WindowRgn = Region ? vmqt::RegionPixels(*Region) : QRegion();
  if (QWidget* w = FImpl->W.data()) {
    if (Region)
      w->setMask(FImpl->WindowRgn);
    else
      w->clearMask();
  }
  if (Redraw) Repaint();
}

int TWinControl::GetWindowRgn(TRegion& Region) const {
  if (!FImpl->HasWindowRgn) return 0;
  Region = vmqt::MakeRegion(FImpl->WindowRgn);
  return 1;
}

void TWinControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  if (Root == this) TComponent::GetChildren(Proc, Root);
  std::vector<TControl*> children = FControls;
  for (TControl* c : children)
    if (c->Owner() == Root) Proc(c);
}

void TWinControl::SetParent(TWinControl* AParent) {
  TControl::SetParent(AParent);
  if (AParent && AParent->HandleAllocated()) HandleNeeded();
}

void TWinControl::KeyDown(uint16_t& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}
void TWinControl::KeyUp(uint16_t& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}
void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}
void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

namespace {
// The form around a control that wants to see its keys first (KeyPreview), or null.
TWinControl* PreviewForm(TWinControl* Control) {
  for (TWinControl* p = Control->Parent(); p; p = p->Parent())
    if (auto* f = dynamic_cast<TForm*>(p)) return f->KeyPreview() ? f : nullptr;
  return nullptr;
}
}  // namespace

// With KeyPreview on, the form handles a key first; a key it sets to 0 goes no further. A key
// that the handlers leave is then a dialog key: for the control, its parents, and the window.
bool TWinControl::DispatchKeyDown(uint16_t Key, TShiftState Shift) {
  if (!FEnabled) return false;
  Guarded([&] {
    if (TWinControl* f = PreviewForm(this)) {
      f->KeyDown(Key, Shift);
      if (Key == 0) return;
    }
    KeyDown(Key, Shift);
    if (Key == 0 || WantsKey(Key)) return;
    for (TWinControl* c = this; c; c = c->Parent())
      if (c->DialogKey(Key, Shift)) {
        Key = 0;
        return;
      }
    TWinControl* top = this;
    while (top->Parent()) top = top->Parent();
    const bool plain = !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt);
    if (Key == VK_TAB && plain) {
      TKeyboardFocusMove byKey(Shift.Contains(ssShift) ? Qt::BacktabFocusReason : Qt::TabFocusReason);
      if (top->SelectNext(this, !Shift.Contains(ssShift), true)) Key = 0;
    } else if ((Key == VK_RETURN || Key == VK_ESCAPE) && plain) {
      if (top != this && ClickDialogButton(top, Key)) Key = 0;
    } else if (Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl) &&
               ((Key >= 'A' && Key <= 'Z') || (Key >= '0' && Key <= '9'))) {
      TKeyboardFocusMove byKey(Qt::ShortcutFocusReason);
      if (top->DispatchDialogChar(static_cast<char>(Key))) Key = 0;
    }
  });
  return Key != 0;
}
bool TWinControl::DispatchKeyUp(uint16_t Key, TShiftState Shift) {
  if (!FEnabled) return false;
  Guarded([&] {
    if (TWinControl* f = PreviewForm(this)) {
      f->KeyUp(Key, Shift);
      if (Key == 0) return;
    }
    KeyUp(Key, Shift);
  });
  return Key != 0;
}
char TWinControl::DispatchKeyPress(char Key) {
  if (!FEnabled) return 0;
  Guarded([&] {
    if (TWinControl* f = PreviewForm(this)) {
      f->KeyPress(Key);
      if (Key == 0) return;
    }
    KeyPress(Key);
  });
  return Key;
}
// The form remembers the control that has the focus; a control that draws itself shows the
// focus, so it paints again on both.
void TWinControl::DispatchEnter() {
  for (TWinControl* p = FParent; p; p = p->Parent())
    if (auto* f = dynamic_cast<TForm*>(p)) {
      if (f->ActiveControl() != this) f->SetActiveControl(this);
      break;
    }
  if (FSurfaceCanvas) Invalidate();
  Guarded([this] { DoEnter(); });
}
void TWinControl::DispatchExit() {
  if (FSurfaceCanvas) Invalidate();
  Guarded([this] { DoExit(); });
}

// ---------------------------------------------------------------------------------------------

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) { CreateSurface(); }

void TCustomControl::Paint() {
  if (OnPaint) OnPaint(this);
}

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {
  FImpl->Transparent = true;
  CreateSurface();
}

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 105, 105); }

void TPaintBox::Paint() {
  if (OnPaint) OnPaint(this);
}

// ---------------------------------------------------------------------------------------------

TPoint TMouse::CursorPos() const {
  QPoint p = QCursor::pos();
  return TPoint(p.x(), p.y());
}

void TMouse::SetCursorPos(const TPoint& P) { QCursor::setPos(P.X, P.Y); }

bool PostMessage(TWinControl* Control, uint32_t Msg, intptr_t WParam, intptr_t LParam) {
  if (!Control) return false;
  Control->HandleNeeded();
  QWidget* w = vmqt::ControlWidget(Control);
  if (!w) return false;
  QPointer<QWidget> alive(w);
  QMetaObject::invokeMethod(
      w,
      [alive, Control, Msg, WParam, LParam] {
        // The widget may have outlived its control (a widget the control did not own).
        if (alive && alive->property(kControlProperty).value<quintptr>() == reinterpret_cast<quintptr>(Control))
          TControlAccess::Message(Control, Msg, WParam, LParam);
      },
      Qt::QueuedConnection);
  return true;
}

struct TMessageWindow::Impl {
  TWndMethod Method;
  QObject Receiver;
};

TMessageWindow::TMessageWindow(TWndMethod Method) : FImpl(std::make_unique<Impl>()) {
  vmqt::EnsureApp();
  FImpl->Method = std::move(Method);
}

TMessageWindow::~TMessageWindow() = default;  // the receiver takes its queued messages with it

void TMessageWindow::Post(uint32_t Msg, intptr_t WParam, intptr_t LParam) {
  Impl* d = FImpl.get();
  QMetaObject::invokeMethod(
      &d->Receiver,
      [d, Msg, WParam, LParam] {
        TMessage m;
        m.Msg = Msg;
        m.WParam = WParam;
        m.LParam = LParam;
        try {
          if (d->Method) d->Method(m);
        } catch (...) {
          vmqt::HandleCurrentException(nullptr);
        }
      },
      Qt::QueuedConnection);
}

void SendWindowGeometry(TControl* Control, int Left, int Top, int Width, int Height) {
  if (!Control) return;
  TControlAccess::Widget(Control);
  QWidget* w = vmqt::ControlWidget(Control);
  if (!w) return;
  w->setGeometry(Left, Top, Width, Height);
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

TColor ControlSurfacePixel(TControl* Control, int X, int Y) {
  TCanvas* c = Control ? Control->SurfaceCanvas() : nullptr;
  if (!c && Control && TControlAccess::Native(Control)) {
    QWidget* w = vmqt::ControlWidget(Control);
    QImage img = w->grab().toImage();
    const qreal dpr = img.devicePixelRatio();  // logical pixels, as a surface's are read
    const QPoint p(static_cast<int>((X + 0.5) * dpr), static_cast<int>((Y + 0.5) * dpr));
    if (X < 0 || Y < 0 || !img.rect().contains(p)) return CLR_INVALID;
    return vmqt::FromQRgb(img.pixel(p));
  }
  if (!c) return CLR_INVALID;
  vmqt::CanvasFlush(c);
  return c->Pixels(X, Y);
}

TSize ControlSurfaceDeviceSize(TControl* Control) {
  TCanvas* c = Control ? Control->SurfaceCanvas() : nullptr;
  QImage* img = c ? vmqt::CanvasImage(c) : nullptr;
  return img ? TSize(img->width(), img->height()) : TSize(0, 0);
}

TColor ControlSurfaceDevicePixel(TControl* Control, int X, int Y) {
  TCanvas* c = Control ? Control->SurfaceCanvas() : nullptr;
  if (!c) return CLR_INVALID;
  vmqt::CanvasFlush(c);
  QImage* img = vmqt::CanvasImage(c);
  if (!img || !img->rect().contains(X, Y)) return CLR_INVALID;
  return vmqt::FromQRgb(img->pixel(X, Y));
}

void SetPaintOver(TControl* Control, TPaintOverEvent Handler) {
  if (!Control) return;
  Control->GetImpl()->PaintOver = std::move(Handler);
  Control->Invalidate();
}

std::string ControlWindowCaption(TControl* Control) {
  QWidget* w = vmqt::ControlWidget(Control);
  return w ? vmqt::FromQ(w->window()->windowTitle()) : std::string();
}

TColor ControlWindowPixel(TControl* Control, int X, int Y) {
  if (!Control) return CLR_INVALID;
  TControlAccess::Widget(Control);
  QWidget* w = vmqt::ControlWidget(Control);
  if (!w) return CLR_INVALID;
  QImage img = w->grab().toImage();
  qreal dpr = img.devicePixelRatio();
  QPoint p(static_cast<int>(X * dpr), static_cast<int>(Y * dpr));
  if (!img.rect().contains(p)) return CLR_INVALID;
  return vmqt::FromQRgb(img.pixel(p));
}

int ControlWindowUnpaintedPixels(TControl* Control, const TRect& Within) {
  TControlAccess::Widget(Control);
  QWidget* w = Control ? vmqt::ControlWidget(Control) : nullptr;
  if (!w) return 0;
  // Drawn twice on grounds of two colours: a pixel that keeps its ground was not painted.
  const qreal dpr = w->devicePixelRatioF();
  auto drawn = [&](const QColor& Ground) {
    QImage img((QSizeF(w->size()) * dpr).toSize(), QImage::Format_RGB32);
    img.setDevicePixelRatio(dpr);
    img.fill(Ground);
    w->render(&img);
    return img;
  };
  const QImage black = drawn(Qt::black), white = drawn(Qt::white);
  const QRect r =
      QRect(QPoint(static_cast<int>(std::ceil(Within.Left * dpr)), static_cast<int>(std::ceil(Within.Top * dpr))),
            QPoint(static_cast<int>(std::floor(Within.Right * dpr)) - 1,
                   static_cast<int>(std::floor(Within.Bottom * dpr)) - 1))
          .intersected(black.rect());
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (black.pixel(x, y) != white.pixel(x, y)) ++n;
  return n;
}

namespace {

int QtKeyFromVK(int K) {
  if ((K >= 'A' && K <= 'Z') || (K >= '0' && K <= '9')) return K;
  if (K >= VK_F1 && K < VK_F1 + 24) return Qt::Key_F1 + (K - VK_F1);
  switch (K) {
    case VK_BACK:
      return Qt::Key_Backspace;
    case VK_TAB:
      return Qt::Key_Tab;
    case VK_RETURN:
      return Qt::Key_Return;
    case VK_SHIFT:
      return Qt::Key_Shift;
    case VK_CONTROL:
      return Qt::Key_Control;
    case VK_MENU:
      return Qt::Key_Alt;
    case VK_ESCAPE:
      return Qt::Key_Escape;
    case VK_SPACE:
      return Qt::Key_Space;
    case VK_PRIOR:
      return Qt::Key_PageUp;
    case VK_NEXT:
      return Qt::Key_PageDown;
    case VK_END:
      return Qt::Key_End;
    case VK_HOME:
      return Qt::Key_Home;
    case VK_LEFT:
      return Qt::Key_Left;
    case VK_UP:
      return Qt::Key_Up;
    case VK_RIGHT:
      return Qt::Key_Right;
    case VK_DOWN:
      return Qt::Key_Down;
    case VK_INSERT:
      return Qt::Key_Insert;
    case VK_DELETE:
      return Qt::Key_Delete;
    case VK_ADD:
      return Qt::Key_Plus;
    case VK_SUBTRACT:
      return Qt::Key_Minus;
    case VK_OEM_PERIOD:
      return Qt::Key_Period;
    default:
      return Qt::Key_unknown;
  }
}

// The text a key types.
QString KeyText(TShiftState Shift, int Key) {
  QString text;
  if (Key >= 'A' && Key <= 'Z')
    text = QChar(Shift.Contains(ssShift) ? Key : Key - 'A' + 'a');
  else if ((Key >= '0' && Key <= '9') || Key == VK_SPACE)
    text = QChar(Key);
  else if (Key == VK_OEM_PERIOD)
    text = QChar('.');
  else if (Key == VK_RETURN)
    text = QChar('\r');
  else if (Key == VK_ESCAPE)
    text = QChar(0x1B);
  else if (Key == VK_BACK)
    text = QChar('\b');
  else if (Key == VK_TAB)
    text = QChar('\t');
  if (Shift.Contains(ssCtrl)) text.clear();
  return text;
}

}  // namespace

TWinControl* FocusedControl() {
  for (QWidget* w = QApplication::focusWidget(); w; w = w->isWindow() ? nullptr : w->parentWidget()) {
    QVariant v = w->property(kControlProperty);
    if (v.isValid())
      if (auto* wc = dynamic_cast<TWinControl*>(reinterpret_cast<TControl*>(v.value<quintptr>()))) return wc;
  }
  return nullptr;
}

void SendKey(TShiftState Shift, int Key) {
  vmqt::EnsureApp();
  QWidget* w = QApplication::focusWidget();
  if (!w) w = QApplication::activeWindow();
  if (!w) return;
  QVariant v = w->property(kControlProperty);
  TControl* c = v.isValid() ? reinterpret_cast<TControl*>(v.value<quintptr>()) : nullptr;
  if (c && vmqt::ControlWidget(c) == w) {
    SendInput(c, ikKeyDown, Shift, 0, 0, Key);
    SendInput(c, ikKeyUp, Shift, 0, 0, Key);
    return;
  }
  Qt::KeyboardModifiers mods;
  if (Shift.Contains(ssShift)) mods |= Qt::ShiftModifier;
  if (Shift.Contains(ssCtrl)) mods |= Qt::ControlModifier;
  if (Shift.Contains(ssAlt)) mods |= Qt::AltModifier;
  QKeyEvent down(QEvent::KeyPress, QtKeyFromVK(Key), mods, KeyText(Shift, Key));
  QCoreApplication::sendEvent(w, &down);
  if (QWidget* now = QApplication::focusWidget()) w = now;
  QKeyEvent up(QEvent::KeyRelease, QtKeyFromVK(Key), mods, KeyText(Shift, Key));
  QCoreApplication::sendEvent(w, &up);
}

void SendInput(TControl* Control, TInputKind Kind, TShiftState Shift, int X, int Y, int Value) {
  if (!Control) return;
  TControlAccess::Widget(Control);
  QWidget* w = vmqt::ControlWidget(Control);
  if (!w) return;
  // A native widget's input goes where the window system would send it: mouse input to the part
  // under the point, keys to the part that takes the focus.
  if (TControlAccess::Native(Control)) {
    if (Kind == ikKeyDown || Kind == ikKeyUp) {
      while (w->focusProxy()) w = w->focusProxy();
    } else if (Kind != ikEnter && Kind != ikLeave) {
      if (QWidget* part = w->childAt(X, Y); part && !part->isWindow()) {
        QPoint p = part->mapFrom(w, QPoint(X, Y));
        X = p.x();
        Y = p.y();
        w = part;
      }
    }
  } else {  // a self-drawn control's points are in its client area, inside any frame
    QPoint o = Control->GetImpl()->ClientArea().topLeft();
    X += o.x();
    Y += o.y();
  }
  Qt::KeyboardModifiers mods;
  if (Shift.Contains(ssShift)) mods |= Qt::ShiftModifier;
  if (Shift.Contains(ssCtrl)) mods |= Qt::ControlModifier;
  if (Shift.Contains(ssAlt)) mods |= Qt::AltModifier;
  Qt::MouseButtons held;
  if (Shift.Contains(ssLeft)) held |= Qt::LeftButton;
  if (Shift.Contains(ssRight)) held |= Qt::RightButton;
  if (Shift.Contains(ssMiddle)) held |= Qt::MiddleButton;
  Qt::MouseButton button = Value == mbRight ? Qt::RightButton : Value == mbMiddle ? Qt::MiddleButton : Qt::LeftButton;
  QPointF local(X, Y);
  QPointF global = w->mapToGlobal(local);
  switch (Kind) {
    case ikMouseDown:
    case ikDblClick: {
      QMouseEvent e(Kind == ikMouseDown ? QEvent::MouseButtonPress : QEvent::MouseButtonDblClick, local, local, global,
                    button, held | button, mods);
      QCoreApplication::sendEvent(w, &e);
      break;
    }
    case ikMouseUp: {
      QMouseEvent e(QEvent::MouseButtonRelease, local, local, global, button, held & ~Qt::MouseButtons(button), mods);
      QCoreApplication::sendEvent(w, &e);
      break;
    }
    case ikMouseMove: {
      QMouseEvent e(QEvent::MouseMove, local, local, global, Qt::NoButton, held, mods);
      QCoreApplication::sendEvent(w, &e);
      break;
    }
    case ikWheel: {
      QWheelEvent e(local, global, QPoint(), QPoint(0, Value), held, mods, Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(w, &e);
      break;
    }
    case ikKeyDown:
    case ikKeyUp: {
      QKeyEvent e(Kind == ikKeyDown ? QEvent::KeyPress : QEvent::KeyRelease, QtKeyFromVK(Value), mods,
                  KeyText(Shift, Value));
      QCoreApplication::sendEvent(w, &e);
      break;
    }
    case ikEnter: {
      QEnterEvent e(local, local, global);
      QCoreApplication::sendEvent(w, &e);
      break;
    }
    case ikLeave: {
      QEvent e(QEvent::Leave);
      QCoreApplication::sendEvent(w, &e);
      break;
    }
  }
}
