#include "platform/forms.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QPalette>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QStyleHints>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "platform/actnlist.h"
#include "platform/bitmap.h"
#include "platform/menus.h"
#include "platform/qt_controls.h"
#include "platform/qt_mdi.h"
#include "platform/streams.h"
#include "platform/strings.h"
#include "platform/sysmetrics.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TApplication)
VM_DEFINE_CLASS(TScreen)
VM_DEFINE_CLASS(TTimer)
VM_PUBLISH(TForm) {
  P.String("Caption", &TForm::Caption, &TForm::SetCaption);
  P.Bool("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview).Default(false);
}

namespace {

bool& InstallingScheme() {
  static bool installing = false;
  return installing;
}

TColor FromQColor(const QColor& C) { return RGB(C.red(), C.green(), C.blue()); }

// The system colours of a palette, by role.
TColorScheme SchemeOfPalette(const QPalette& P) {
  TColorScheme s;
  s.Window = FromQColor(P.color(QPalette::Active, QPalette::Base));
  s.WindowText = FromQColor(P.color(QPalette::Active, QPalette::Text));
  s.Face = FromQColor(P.color(QPalette::Active, QPalette::Window));
  s.FaceText = FromQColor(P.color(QPalette::Active, QPalette::WindowText));
  s.Highlight = FromQColor(P.color(QPalette::Active, QPalette::Highlight));
  s.HighlightText = FromQColor(P.color(QPalette::Active, QPalette::HighlightedText));
  s.GrayText = FromQColor(P.color(QPalette::Disabled, QPalette::Text));
  s.Light = FromQColor(P.color(QPalette::Active, QPalette::Light));
  s.Midlight = FromQColor(P.color(QPalette::Active, QPalette::Midlight));
  s.Mid = FromQColor(P.color(QPalette::Active, QPalette::Mid));
  s.Shadow = FromQColor(P.color(QPalette::Active, QPalette::Dark));
  s.DarkShadow = FromQColor(P.color(QPalette::Active, QPalette::Shadow));
  s.InfoBk = FromQColor(P.color(QPalette::Active, QPalette::ToolTipBase));
  s.InfoText = FromQColor(P.color(QPalette::Active, QPalette::ToolTipText));
  s.Link = FromQColor(P.color(QPalette::Active, QPalette::Link));
  return s;
}

// The palette of a scheme, so that native widgets draw as the self-drawn parts do.
QPalette PaletteOfScheme(const TColorScheme& S) {
  QPalette p;
  auto q = [](TColor C) { return vmqt::ToQColor(C); };
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    bool off = g == QPalette::Disabled;
    p.setColor(g, QPalette::Window, q(S.Face));
    p.setColor(g, QPalette::WindowText, q(off ? S.GrayText : S.FaceText));
    p.setColor(g, QPalette::Base, q(off ? S.Face : S.Window));
    p.setColor(g, QPalette::AlternateBase, q(S.Face));
    p.setColor(g, QPalette::Text, q(off ? S.GrayText : S.WindowText));
    p.setColor(g, QPalette::PlaceholderText, q(S.GrayText));
    p.setColor(g, QPalette::Button, q(S.Face));
    p.setColor(g, QPalette::ButtonText, q(off ? S.GrayText : S.FaceText));
    p.setColor(g, QPalette::BrightText, q(S.Light));
    p.setColor(g, QPalette::Highlight, q(off ? S.Shadow : S.Highlight));
    p.setColor(g, QPalette::HighlightedText, q(S.HighlightText));
    p.setColor(g, QPalette::Light, q(S.Light));
    p.setColor(g, QPalette::Midlight, q(S.Midlight));
    p.setColor(g, QPalette::Mid, q(S.Mid));
    p.setColor(g, QPalette::Dark, q(S.Shadow));
    p.setColor(g, QPalette::Shadow, q(S.DarkShadow));
    p.setColor(g, QPalette::ToolTipBase, q(S.InfoBk));
    p.setColor(g, QPalette::ToolTipText, q(S.InfoText));
    p.setColor(g, QPalette::Link, q(S.Link));
  }
  // The disabled group's own grey text stays in the scheme read back.
  p.setColor(QPalette::Disabled, QPalette::Text, q(S.GrayText));
  return p;
}

// Every control paints again (a new scheme or font).
void RepaintControls() {
  for (QWidget* w : QApplication::allWidgets()) {
    QVariant v = w->property("vmControl");
    if (v.isValid()) reinterpret_cast<TControl*>(v.value<quintptr>())->Invalidate();
  }
}

// The form that a widget belongs to: the nearest form up its parents (an MDI child inside its
// frame), or null.
TForm* FormOfWidget(QWidget* W) {
  for (QWidget* p = W; p; p = p->parentWidget()) {
    QVariant v = p->property("vmControl");
    if (v.isValid())
      if (auto* f = dynamic_cast<TForm*>(reinterpret_cast<TControl*>(v.value<quintptr>()))) return f;
    if (p->isWindow()) break;
  }
  return nullptr;
}

// Windows that never take the keyboard: pop-ups, tips and those shown without activation.
bool TakesNoActivation(const QWidget* Win) {
  return Win->windowType() == Qt::Popup || Win->windowType() == Qt::ToolTip ||
         Win->testAttribute(Qt::WA_ShowWithoutActivating) || Win->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus);
}

// The windows the program asked the window system to activate, oldest first. The window system
// answers each through its queue, when the program has made the form active already and may have
// moved on to another one since.
std::vector<QPointer<QWidget>>& RequestedActivations() {
  static std::vector<QPointer<QWidget>> requests;
  return requests;
}

void RequestActivation(QWidget* Win) {
  if (QApplication::activeWindow() == Win) return;  // no answer will come
  auto& requests = RequestedActivations();
  requests.emplace_back(Win);
  if (requests.size() > 32) requests.erase(requests.begin());
  Win->activateWindow();
}

// Makes a form's window the one the window system sends the keys to. A window manager does this
// when the user clicks or a dialog closes; without one the program has to.
void ActivateNativeWindow(TForm* Form) {
  QWidget* w = vmqt::ControlWidget(Form);
  if (!w || !w->isVisible()) return;
  QWidget* win = w->window();
  if (!TakesNoActivation(win)) RequestActivation(win);
}

// The form whose own window is the top-level window Win, or null.
TForm* FormOfWindow(QWidget* Win) {
  TForm* f = FormOfWidget(Win);
  return f && vmqt::ControlWidget(f) == Win ? f : nullptr;
}

// The window system activated a top-level window. The answer to one of the program's own requests
// changes nothing (the form was made active with the request, and a later form may be active by
// now); any other activation (the user clicked a title bar or switched windows, or the window
// manager chose a window when one closed) makes the window's form the active one, with its
// activate and deactivate events. Activations before it that were never answered are forgotten.
void WindowActivated(QWidget* Win) {
  auto& requests = RequestedActivations();
  auto answered = std::find(requests.begin(), requests.end(), Win);
  if (answered != requests.end()) {
    requests.erase(requests.begin(), answered + 1);
    return;
  }
  requests.clear();
  if (TakesNoActivation(Win) || QApplication::activePopupWidget()) return;
  if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != Win) return;
  TForm* f = FormOfWindow(Win);
  if (f && f->Visible() && f->Enabled() && !f->Active()) f->DispatchActivate(true);
}

// The keyboard follows the active MDI child: the focus goes into it (to its active control, else to
// the child's own window) unless it is inside already. All children share their frame's window,
// so the window system leaves the focus where it was.
void FocusIntoMDIChild(TForm* Child) {
  QWidget* w = vmqt::ControlWidget(Child);
  if (!w || !w->isVisible()) return;
  QWidget* focus = QApplication::focusWidget();
  if (focus && (focus == w || w->isAncestorOf(focus))) return;
  TWinControl* c = Child->ActiveControl();
  if (c && c != Child && c->CanFocus())
    c->SetFocus();
  else
    w->setFocus(Qt::ActiveWindowFocusReason);
}

// A press of a mouse button activates what it lands in: the window (unless a pop-up is open, which
// takes the press itself) and the MDI child under it.
void ActivateOnPress(QWidget* W) {
  if (QApplication::activePopupWidget()) return;
  QWidget* win = W->window();
  if (TakesNoActivation(win)) return;
  if (!win->isVisible()) return;
  RequestActivation(win);
  if (TForm* f = FormOfWidget(W); f && f->FormStyle() == fsMDIChild && f->Visible() && !f->Active())
    f->DispatchActivate(true);
}

// Exceptions never leave an event handler into Qt: whatever a handler lets through is reported here.
class VmQApplication : public QApplication {
public:
  using QApplication::QApplication;

private:
  // A key press in a form's window runs the form's shortcuts before any control sees it.
  static bool RunShortCut(QObject* Receiver, QEvent* Event) {
    if (!Screen) return false;
    auto* ke = static_cast<QKeyEvent*>(Event);
    uint16_t key = vmqt::KeyFromQt(ke->key());
    if (!key || key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) return false;
    QWidget* win = static_cast<QWidget*>(Receiver)->window();
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TForm* f = Screen->Forms(i);
      if (vmqt::ControlWidget(f) != win) continue;
      if (!f->Enabled()) return false;
      return f->IsShortCut(key, vmqt::ShiftFromQt(ke->modifiers(), Qt::NoButton));
    }
    return false;
  }

  // F10 opens the first menu of the window's menu bar, as on every desktop (a shortcut on F10
  // comes first).
  static bool OpenMenuBar(QObject* Receiver, QEvent* Event) {
    auto* ke = static_cast<QKeyEvent*>(Event);
    if (ke->key() != Qt::Key_F10 || (ke->modifiers() & ~Qt::KeypadModifier)) return false;
    TForm* f = FormOfWindow(static_cast<QWidget*>(Receiver)->window());
    if (!f || !f->Enabled() || !f->Menu()) return false;
    auto* bar = static_cast<QMenuBar*>(f->Menu()->MenuBarHandle());
    if (!bar || !bar->isVisible()) return false;
    for (QAction* a : bar->actions())
      if (a->isVisible() && a->isEnabled() && !a->isSeparator()) {
        bar->setActiveAction(a);
        return true;
      }
    return false;
  }

public:
  // The desktop changed its palette: the system colours follow, and every control repaints.
  bool event(QEvent* E) override {
    if (E->type() == QEvent::ApplicationPaletteChange && !InstallingScheme()) {
      SetSystemColors(SchemeOfPalette(QGuiApplication::palette()));
      RepaintControls();
    }
    return QApplication::event(E);
  }

  bool notify(QObject* Receiver, QEvent* Event) override {
    try {
      if (Event->type() == QEvent::KeyPress && Receiver->isWidgetType() &&
          (RunShortCut(Receiver, Event) || OpenMenuBar(Receiver, Event)))
        return true;
      if (Event->type() == QEvent::WindowActivate && Receiver->isWidgetType() &&
          static_cast<QWidget*>(Receiver)->isWindow()) {
        bool done = QApplication::notify(Receiver, Event);
        WindowActivated(static_cast<QWidget*>(Receiver));
        return done;
      }
      if ((Event->type() == QEvent::MouseButtonPress || Event->type() == QEvent::MouseButtonDblClick) &&
          Receiver->isWidgetType())
        ActivateOnPress(static_cast<QWidget*>(Receiver));
      return QApplication::notify(Receiver, Event);
    } catch (...) {
      vmqt::HandleCurrentException(nullptr);
      return false;
    }
  }
};

TMessageBoxHook& BoxHook() {
  static TMessageBoxHook hook;
  return hook;
}

bool Headless() {
  QString p = QGuiApplication::platformName();
  return p == "offscreen" || p == "minimal";
}

int DefaultAnswer(int Flags) {
  bool second = (Flags & MB_DEFBUTTON2) != 0;
  switch (Flags & 0xF) {
    case MB_OKCANCEL:
      return second ? IDCANCEL : IDOK;
    case MB_ABORTRETRYIGNORE:
      return second ? IDRETRY : IDABORT;
    case MB_YESNOCANCEL:
      return second ? IDNO : IDYES;
    case MB_YESNO:
      return second ? IDNO : IDYES;
    case MB_RETRYCANCEL:
      return second ? IDCANCEL : IDRETRY;
    default:
      return IDOK;
  }
}

}  // namespace

namespace vmqt {

// Whenever forms are linked in, the application object is theirs. Without a display the
// classic scheme and font hold, so that what is drawn does not depend on the machine; on a
// display the desktop's palette and default font do.
void MakeApplication(int& Argc, char** Argv) {
  new VmQApplication(Argc, Argv);
  if (Headless()) {
    SetColorScheme(ClassicColorScheme());
    return;
  }
  SetSystemColors(SchemeOfPalette(QGuiApplication::palette()));
  QFont f = QApplication::font();
  int px = f.pixelSize() > 0 ? f.pixelSize() : static_cast<int>(std::lround(f.pointSizeF() * 96 / 72.0));
  SetDefaultFont(FromQ(f.family()), -std::max(6, px));
}
[[maybe_unused]] const bool FormsAppRegistered = (SetAppFactory(MakeApplication), true);

void HandleCurrentException(TObject* Sender) {
  if (Application) {
    Application->HandleException(Sender);
    return;
  }
  try {
    throw;
  } catch (const EAbort&) {
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  } catch (...) {}
}

}  // namespace vmqt

void SetMessageBoxHook(TMessageBoxHook Hook) { BoxHook() = std::move(Hook); }

void SetColorScheme(const TColorScheme& Scheme) {
  vmqt::EnsureApp();
  SetSystemColors(Scheme);
  InstallingScheme() = true;
  QApplication::setPalette(PaletteOfScheme(Scheme));
  InstallingScheme() = false;
  RepaintControls();
}

TColorScheme DesktopColorScheme() {
  vmqt::EnsureApp();
  return SchemeOfPalette(QGuiApplication::palette());
}

void ShowMessage(const std::string& Msg) {
  std::string title = Application ? Application->Title() : std::string();
  if (title.empty()) title = "Varomark";
  if (Application)
    Application->MessageBox(Msg, title, MB_OK);
  else if (BoxHook())
    BoxHook()(Msg, title, MB_OK);
}

// ---------------------------------------------------------------------------------------------
// TApplication

struct TApplication::Impl {
  QMetaObject::Connection IdleConn;
  bool InIdle = false;
};

static TApplication* GApplication = nullptr;
TApplication* Application = nullptr;

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FImpl(std::make_unique<Impl>()) {}

TApplication::~TApplication() {
  if (FImpl->IdleConn) QObject::disconnect(FImpl->IdleConn);
  if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
  vmqt::EnsureApp();
  vmqt::StartWindowMap();
  if (!FImpl->IdleConn) {
    if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance()) {
      FImpl->IdleConn = QObject::connect(d, &QAbstractEventDispatcher::aboutToBlock, [this] {
        if (FImpl->InIdle) return;
        FImpl->InIdle = true;
        bool done = Idle();
        FImpl->InIdle = false;
        // Not done: keep idling while nothing else comes in.
        if (!done) QTimer::singleShot(0, [] {});
      });
    }
  }
}

bool TApplication::Idle() {
  bool done = true;
  if (OnIdle) {
    try {
      OnIdle(this, done);
    } catch (...) {
      HandleException(this);
    }
  }
  // The actions of the shown forms bring their state up to date.
  if (Screen)
    for (int i = 0; i < Screen->FormCount(); ++i) {
      TForm* f = Screen->Forms(i);
      if (!f->Visible()) continue;
      for (int k = 0; k < f->ComponentCount(); ++k)
        if (auto* list = dynamic_cast<TActionList*>(f->Components(k))) {
          try {
            list->UpdateActions();
          } catch (...) {
            HandleException(list);
          }
        }
    }
  return done;
}

namespace {

// With VAROMARK_FIRST_PAINT set, the program writes "first-paint" to standard output once the
// main window's first paint is done, and ends: the start-up benchmark times it from outside.
class FirstPaintReport : public QObject {
public:
  bool eventFilter(QObject* Obj, QEvent* Event) override {
    if (Event->type() == QEvent::Paint && !FSeen && Application &&
        Obj == vmqt::ControlWidget(Application->MainForm())) {
      FSeen = true;
      // After the paint and its flush to the window.
      QTimer::singleShot(0, this, [] {
        std::fputs("first-paint\n", stdout);
        std::fflush(stdout);
        if (Application) Application->Terminate();
      });
    }
    return QObject::eventFilter(Obj, Event);
  }

private:
  bool FSeen = false;
};

}  // namespace

void TApplication::Run() {
  Initialize();
  if (FMainForm && !GetEnvironmentVariable("VAROMARK_FIRST_PAINT").empty())
    qApp->installEventFilter(new FirstPaintReport);
  if (FMainForm) FMainForm->Show();
  while (!FTerminated) {
    HandleMessage();
    if (FMainForm && !FMainForm->Visible()) break;
  }
}

void TApplication::ActivateHint(const TPoint& ScreenPos, const std::string& Text) {
  FCurrentHint = Text;
  vmqt::EnsureApp();
  if (QGuiApplication::platformName() != "offscreen")
    QToolTip::showText(QPoint(ScreenPos.X, ScreenPos.Y), vmqt::ToQ(Text));
}

void TApplication::CancelHint() {
  FCurrentHint.clear();
  if (QToolTip::isVisible()) QToolTip::hideText();
}

void TApplication::Terminate() {
  FTerminated = true;
  if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance()) d->wakeUp();
}

void TApplication::ProcessMessages() {
  vmqt::EnsureApp();
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::HandleMessage() {
  vmqt::EnsureApp();
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
}

void TApplication::HandleException(TObject* Sender) {
  try {
    throw;
  } catch (const EAbort&) {
    // Silent.
  } catch (const Exception& e) {
    if (OnException)
      OnException(Sender, e);
    else
      ShowException(e);
  } catch (const std::exception& e) {
    Exception ex(e.what());
    if (OnException)
      OnException(Sender, ex);
    else
      ShowException(ex);
  } catch (...) {
    Exception ex("Unknown exception");
    if (OnException)
      OnException(Sender, ex);
    else
      ShowException(ex);
  }
}

void TApplication::ShowException(const Exception& E) {
  std::string msg = E.Message();
  if (!msg.empty() && msg.back() != '.') msg += '.';
  std::string title = FTitle.empty() ? "Varomark" : FTitle;
  MessageBox(msg, title, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, int Flags) {
  if (BoxHook()) return BoxHook()(Text, Caption, Flags);
  vmqt::EnsureApp();
  if (Headless()) {
    std::fprintf(stderr, "%s: %s\n", Caption.c_str(), Text.c_str());
    return DefaultAnswer(Flags);
  }
  QMessageBox box;
  box.setWindowTitle(vmqt::ToQ(Caption));
  box.setText(vmqt::ToQ(Text));
  switch (Flags & 0xF0) {
    case MB_ICONSTOP:
      box.setIcon(QMessageBox::Critical);
      break;
    case MB_ICONQUESTION:
      box.setIcon(QMessageBox::Question);
      break;
    case MB_ICONWARNING:
      box.setIcon(QMessageBox::Warning);
      break;
    case MB_ICONINFORMATION:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      break;
  }
  std::vector<std::pair<QMessageBox::StandardButton, int>> buttons;
  switch (Flags & 0xF) {
    case MB_OKCANCEL:
      buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
      break;
    case MB_ABORTRETRYIGNORE:
      buttons = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
      break;
    case MB_YESNOCANCEL:
      buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
      break;
    case MB_YESNO:
      buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
      break;
    case MB_RETRYCANCEL:
      buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
      break;
    default:
      buttons = {{QMessageBox::Ok, IDOK}};
      break;
  }
  QMessageBox::StandardButtons all;
  for (auto& b : buttons) all |= b.first;
  box.setStandardButtons(all);
  int def = DefaultAnswer(Flags);
  for (auto& b : buttons)
    if (b.second == def) box.setDefaultButton(b.first);
  int r = box.exec();
  for (auto& b : buttons)
    if (b.first == r) return b.second;
  return IDCANCEL;
}

std::string TApplication::ExeName() const {
  vmqt::EnsureApp();
  return vmqt::FromQ(QCoreApplication::applicationFilePath());
}

void TApplication::AfterCreateForm(TForm* Form) {
  if (!FMainForm) FMainForm = Form;
  Form->DoCreate();
}

// ---------------------------------------------------------------------------------------------
// Cursors

namespace {

struct CursorTable {
  std::map<int, HCURSOR> ByNumber;       // registered with Screen->SetCursors
  std::map<HCURSOR, QCursor> Handles;    // made from pictures
  std::map<std::string, HCURSOR> Named;  // resource names, upper case
  HCURSOR Next = 1;
};

CursorTable& Cursors() {
  static CursorTable t;
  return t;
}

Qt::CursorShape StandardShape(TCursor C) {
  switch (C) {
    case crNone:
      return Qt::BlankCursor;
    case crCross:
      return Qt::CrossCursor;
    case crIBeam:
      return Qt::IBeamCursor;
    case crSizeNESW:
      return Qt::SizeBDiagCursor;
    case crSizeNS:
      return Qt::SizeVerCursor;
    case crSizeNWSE:
      return Qt::SizeFDiagCursor;
    case crSizeWE:
      return Qt::SizeHorCursor;
    case crUpArrow:
      return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait:
      return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag:
      return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo:
      return Qt::ForbiddenCursor;
    case crHSplit:
      return Qt::SplitHCursor;
    case crVSplit:
      return Qt::SplitVCursor;
    case crAppStart:
      return Qt::BusyCursor;
    case crHelp:
      return Qt::WhatsThisCursor;
    case crHandPoint:
      return Qt::PointingHandCursor;
    case crSizeAll:
      return Qt::SizeAllCursor;
    default:
      return Qt::ArrowCursor;
  }
}

// The standard cursors have fixed negative handles: number - 1000, numbers 0 down to -999.
constexpr HCURSOR kStandardBase = 1000;
bool IsStandardHandle(HCURSOR H) { return H <= -kStandardBase && H > -2 * kStandardBase; }
HCURSOR StandardHandle(TCursor C) { return C - kStandardBase; }
TCursor StandardOfHandle(HCURSOR H) { return static_cast<TCursor>(H + kStandardBase); }

bool KnownHandle(HCURSOR H) { return IsStandardHandle(H) || Cursors().Handles.count(H) != 0; }

QCursor CursorOfHandle(HCURSOR H) {
  if (IsStandardHandle(H)) return QCursor(StandardShape(StandardOfHandle(H)));
  auto it = Cursors().Handles.find(H);
  return it != Cursors().Handles.end() ? it->second : QCursor(Qt::ArrowCursor);
}

HCURSOR AddCursor(const QImage& Img, int HotX, int HotY) {
  if (Img.isNull()) return 0;
  vmqt::EnsureApp();
  auto& t = Cursors();
  HCURSOR h = t.Next++;
  t.Handles[h] = QCursor(QPixmap::fromImage(Img), HotX, HotY);
  return h;
}

}  // namespace

QCursor vmqt::CursorFor(TCursor Cursor) {
  auto& t = Cursors();
  auto it = t.ByNumber.find(Cursor);
  if (it != t.ByNumber.end()) return CursorOfHandle(it->second);
  return QCursor(StandardShape(Cursor));
}

HCURSOR CreateCursorFromBitmap(TBitmap* Image, int HotX, int HotY) {
  if (!Image || Image->Empty()) return 0;
  vmqt::EnsureApp();
  QImage img = vmqt::BitmapDrawImage(Image);
  if (Image->PixelFormat() == pf32bit && !Image->Transparent() && img.format() == QImage::Format_RGB32) {
    // The fourth byte of each pixel is its opacity, unless every one is 0 (rows written
    // without opacity).
    QImage a(img.constBits(), img.width(), img.height(), img.bytesPerLine(), QImage::Format_ARGB32);
    bool anyAlpha = false;
    for (int y = 0; y < a.height() && !anyAlpha; ++y) {
      const QRgb* line = reinterpret_cast<const QRgb*>(a.constScanLine(y));
      for (int x = 0; x < a.width(); ++x)
        if (qAlpha(line[x]) != 0) {
          anyAlpha = true;
          break;
        }
    }
    if (anyAlpha) img = a.copy();
  }
  return AddCursor(img, HotX, HotY);
}

void RegisterCursorResource(const std::string& Name, TBitmap* Image, int HotX, int HotY) {
  HCURSOR h = CreateCursorFromBitmap(Image, HotX, HotY);
  if (h) Cursors().Named[UpperCase(Name)] = h;
}

namespace {
void RegisterCursorImage(const std::string& Name, const std::string& Data, int HotX, int HotY) {
  QImage img;
  if (Data.empty() || !img.loadFromData(reinterpret_cast<const uchar*>(Data.data()), static_cast<int>(Data.size())))
    throw EInvalidGraphic("Cursor image is not valid");
  if (HotX < 0) HotX = img.width() / 2;
  if (HotY < 0) HotY = img.height() / 2;
  Cursors().Named[UpperCase(Name)] = AddCursor(img, HotX, HotY);
}
}  // namespace

void RegisterCursorResourceFile(const std::string& Name, const std::string& FileName, int HotX, int HotY) {
  TFileStream s(FileName, fmOpenRead | fmShareDenyWrite);
  RegisterCursorImage(Name, s.ReadAll(), HotX, HotY);
}

void RegisterCursorResourceData(const std::string& Name, const void* Data, size_t Size, int HotX, int HotY) {
  RegisterCursorImage(Name, Data ? std::string(static_cast<const char*>(Data), Size) : std::string(), HotX, HotY);
}

uint32_t GetDoubleClickTime() {
  int t = QGuiApplication::styleHints()->mouseDoubleClickInterval();
  return t > 0 ? static_cast<uint32_t>(t) : 500;
}

HCURSOR LoadCursorResource(const std::string& Name) {
  auto& t = Cursors();
  auto it = t.Named.find(UpperCase(Name));
  if (it != t.Named.end()) return it->second;
  vmqt::EnsureApp();
  QImage img(":/cursors/" + vmqt::ToQ(Name) + ".png");
  if (img.isNull()) return 0;
  HCURSOR h = AddCursor(img, img.width() / 2, img.height() / 2);
  t.Named[UpperCase(Name)] = h;
  return h;
}

// ---------------------------------------------------------------------------------------------
// TScreen

static TScreen* GScreen = nullptr;
TScreen* Screen = nullptr;

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}
TScreen::~TScreen() {
  if (Screen == this) Screen = nullptr;
}

HCURSOR TScreen::Cursors(TCursor Index) const {
  auto& t = ::Cursors();
  auto it = t.ByNumber.find(Index);
  if (it != t.ByNumber.end()) return it->second;
  // Numbers without a cursor of their own show the default one.
  return StandardHandle(Index <= 0 && Index > -kStandardBase ? Index : crDefault);
}

void TScreen::SetCursors(TCursor Index, HCURSOR Handle) {
  auto& t = ::Cursors();
  if (Handle != 0 && KnownHandle(Handle))
    t.ByNumber[Index] = Handle;
  else
    t.ByNumber.erase(Index);
}

void TScreen::SetCursor(TCursor Value) {
  if (Value == FCursor) return;
  vmqt::EnsureApp();
  if (FCursor != crDefault) QApplication::restoreOverrideCursor();
  FCursor = Value;
  if (Value != crDefault) QApplication::setOverrideCursor(vmqt::CursorFor(Value));
}

int32_t TScreen::Width() const {
  vmqt::EnsureApp();
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry().width() : 1024;
}

int32_t TScreen::Height() const {
  vmqt::EnsureApp();
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->geometry().height() : 768;
}

int32_t TScreen::PixelsPerInch() const {
  vmqt::EnsureApp();
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? static_cast<int32_t>(std::lround(s->logicalDotsPerInchY())) : 96;
}

TRect TScreen::WorkAreaRect() const {
  vmqt::EnsureApp();
  QScreen* s = QGuiApplication::primaryScreen();
  const QRect r = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
  return Rect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
}

double TScreen::PixelRatio() const {
  vmqt::EnsureApp();
  QScreen* s = QGuiApplication::primaryScreen();
  return s ? s->devicePixelRatio() : 1.0;
}

void TScreen::SaveImage(const std::string& FileName) const {
  vmqt::EnsureApp();
  QScreen* s = QGuiApplication::primaryScreen();
  QImage img = s ? s->grabWindow(0).toImage() : QImage();
  if (img.isNull() || !img.save(vmqt::ToQ(FileName)))
    throw EFCreateError("Cannot create file \"" + FileName + "\". The screen could not be read");
}

TStrings* TScreen::Fonts() {
  if (!FFonts) {
    vmqt::EnsureApp();
    auto* list = new TStringList();
    for (const QString& f : QFontDatabase::families()) list->Add(vmqt::FromQ(f));
    list->Sort();
    FFonts.reset(list);
  }
  return FFonts.get();
}

TForm* TScreen::Forms(int Index) const {
  if (Index < 0 || Index >= FormCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FForms[Index];
}

TWinControl* TScreen::ActiveControl() const { return FActiveForm ? FActiveForm->ActiveControl() : nullptr; }

void TScreen::AddForm(TForm* Form) {
  if (std::find(FForms.begin(), FForms.end(), Form) == FForms.end()) FForms.push_back(Form);
}

void TScreen::RemoveForm(TForm* Form) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
  if (FActiveForm == Form) SetActiveForm(nullptr);
}

void TScreen::ActiveFormChanged() {
  if (!OnActiveFormChange) return;
  try {
    OnActiveFormChange(this);
  } catch (...) {
    vmqt::HandleCurrentException(this);
  }
}

void TScreen::SetActiveForm(TForm* Form) {
  if (FActiveForm == Form) return;
  FActiveForm = Form;
  if (OnActiveFormChange) {
    try {
      OnActiveFormChange(this);
    } catch (...) {
      vmqt::HandleCurrentException(this);
    }
  }
}

// The process-wide application and screen, made before any code uses them.
namespace {
struct Globals {
  Globals() {
    GApplication = new TApplication(nullptr);
    Application = GApplication;
    GScreen = new TScreen(nullptr);
    Screen = GScreen;
  }
};
Globals& TheGlobals() {
  static Globals g;
  return g;
}
[[maybe_unused]] const bool kGlobalsMade = (TheGlobals(), true);
}  // namespace

// ---------------------------------------------------------------------------------------------
// TTimer

struct TTimer::Impl {
  std::unique_ptr<QTimer> Timer;
};

// The timer runs while Enabled with an Interval, so that a handler assigned straight to OnTimer
// fires too; a tick without a handler does nothing.
TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), FImpl(std::make_unique<Impl>()) { UpdateTimer(); }
TTimer::~TTimer() = default;

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(uint32_t Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
  OnTimer = std::move(Value);
  UpdateTimer();
}

void TTimer::Fire() {
  if (!OnTimer) return;
  try {
    OnTimer(this);
  } catch (...) {
    vmqt::HandleCurrentException(this);
  }
}

void TTimer::UpdateTimer() {
  bool run = FEnabled && FInterval > 0 && !ComponentState().Contains(csDesigning);
  if (!run) {
    if (FImpl->Timer) FImpl->Timer->stop();
    return;
  }
  vmqt::EnsureApp();
  if (!FImpl->Timer) {
    FImpl->Timer = std::make_unique<QTimer>();
    QObject::connect(FImpl->Timer.get(), &QTimer::timeout, [this] { Fire(); });
  }
  FImpl->Timer->start(static_cast<int>(FInterval));
}

// ---------------------------------------------------------------------------------------------
// TForm

namespace {

// MDI children of the program, front to back (the active one first).
std::vector<TForm*>& MdiOrder() {
  static std::vector<TForm*> v;
  return v;
}

// Forms waiting for Release; a form freed before its turn leaves the set.
std::vector<TForm*>& PendingRelease() {
  static std::vector<TForm*> v;
  return v;
}

constexpr int kCascadeStep = 24;
constexpr int kIconWidth = 160, kIconHeight = 24;

bool Contains(const std::vector<TForm*>& V, const TForm* F) { return std::find(V.begin(), V.end(), F) != V.end(); }

void Erase(std::vector<TForm*>& V, const TForm* F) { V.erase(std::remove(V.begin(), V.end(), F), V.end()); }

}  // namespace

TForm::TForm(TComponent* AOwner) : TCustomControl(AOwner) {
  FVisible = false;
  FColor = clBtnFace;
  SetBounds(0, 0, 320, 240);
  if (Screen) Screen->AddForm(this);
}

TForm::~TForm() {
  Erase(PendingRelease(), this);
  // Children shown inside this frame get their windows back before the frame's goes.
  if (FFormStyle == fsMDIForm && MDIFrame() == this) {
    QMdiArea* area = vmqt::MdiArea(this, false);
    for (TForm* c : MdiOrder())
      if (QMdiSubWindow* sub = vmqt::MdiSubWindow(c); sub && area && sub->mdiArea() == area) {
        vmqt::ReleaseMdiChild(c);
        c->FVisible = false;
        c->FPlaced = false;
      }
  }
  if (FFormStyle == fsMDIChild) {
    vmqt::ReleaseMdiChild(this);
    bool wasActive = !MdiOrder().empty() && MdiOrder().front() == this && FActive;
    Erase(MdiOrder(), this);
    if (TForm* frame = MDIFrame()) {
      frame->UpdateWindowMenu();
      if (wasActive) {
        if (TForm* next = frame->ActiveMDIChild())
          next->DispatchActivate(true);
        else if (Screen)
          Screen->ActiveFormChanged();
      }
    }
  }
  if (Screen) Screen->RemoveForm(this);
  if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
  FireDestroy();  // forms not freed by delete
}

void TForm::BeforeDestruction() {
  FireDestroy();
  TCustomControl::BeforeDestruction();
}

void TForm::FireDestroy() {
  if (FDestroyFired) return;
  FDestroyFired = true;
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      vmqt::HandleCurrentException(this);
    }
  }
}

void TForm::DoCreate() {
  if (OnCreate) Guarded([this] { OnCreate(this); });
}

void TForm::SetBorderStyle(TFormBorderStyle Value) { FBorderStyle = Value; }

void TForm::SetFormStyle(TFormStyle Value) {
  if (Value == FFormStyle) return;
  if (FFormStyle == fsMDIChild) Erase(MdiOrder(), this);
  FFormStyle = Value;
  if (Value == fsMDIChild) {
    MdiOrder().insert(MdiOrder().begin(), this);
    if (TForm* frame = MDIFrame()) frame->UpdateWindowMenu();
  }
}

void TForm::TextChanged() {
  TCustomControl::TextChanged();
  if (QWidget* w = vmqt::ControlWidget(this)) w->setWindowTitle(vmqt::ToQ(Text()));
  if (QMdiSubWindow* sub = vmqt::MdiSubWindow(this)) sub->setWindowTitle(vmqt::ToQ(Text()));
  if (FFormStyle == fsMDIChild)
    if (TForm* frame = MDIFrame()) {
      frame->UpdateWindowMenu();
      vmqt::UpdateMdiMerge(frame);
    }
  if (FFormStyle == fsMDIForm) vmqt::UpdateMdiMerge(this);
}

TWindowState TForm::WindowState() const { return FWindowState; }

void TForm::SetWindowState(TWindowState Value) {
  if (FFormStyle == fsMDIChild) {
    if (Value == FWindowState) return;
    if (FWindowState == wsNormal) FRestoreBounds = BoundsRect();
    FWindowState = Value;
    vmqt::ShowMdiSubWindowState(this, Value);
    ApplyMDIState();
    if (TForm* frame = MDIFrame()) vmqt::UpdateMdiMerge(frame);
    return;
  }
  FWindowState = Value;
  if (QWidget* w = vmqt::ControlWidget(this)) {
    if (!w->isVisible()) return;
    if (Value == wsMinimized)
      w->showMinimized();
    else if (Value == wsMaximized)
      w->showMaximized();
    else
      w->showNormal();
  }
}

// A window larger than the work area would hang off the screen, and a window manager may then
// refuse to maximize it and leave its caption out of reach. Its frame is known once it has been
// shown; before that a caption and thin edges are allowed for. A screen without a display has a
// nominal size that no window is held to.
void TForm::FitOntoWorkArea(void* Window) {
  auto* w = static_cast<QWidget*>(Window);
  if (Headless()) return;
  const TRect work = Screen->WorkAreaRect();
  if (work.Width() <= 0 || work.Height() <= 0) return;
  QMargins frame(4, w->fontMetrics().height() + 12, 4, 4);
  if (w->testAttribute(Qt::WA_WState_Created) && w->frameGeometry() != w->geometry()) {
    const QRect f = w->frameGeometry(), g = w->geometry();
    frame = QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
  }
  if (FBorderStyle == bsNone) frame = QMargins();
  const int roomW = work.Width() - frame.left() - frame.right(), roomH = work.Height() - frame.top() - frame.bottom();
  // A window that fits keeps the place its owner gave it.
  if (FWidth <= roomW && FHeight <= roomH) return;
  const int32_t width = std::max(1, std::min(FWidth, roomW)), height = std::max(1, std::min(FHeight, roomH));
  const int32_t x0 = work.Left + frame.left(), y0 = work.Top + frame.top();  // the room's top left
  SetBounds(std::clamp(FLeft, x0, std::max(x0, x0 + roomW - width)),
            std::clamp(FTop, y0, std::max(y0, y0 + roomH - height)), width, height);  // the children follow
}

// An MDI child's state is a place inside the frame: the whole client area when maximized, an
// icon strip at the bottom when minimized, its own bounds when normal.
void TForm::ApplyMDIState() {
  TForm* frame = MDIFrame();
  if (!frame) return;
  TRect r = frame->MDIClientRect();
  if (FWindowState == wsMaximized)
    SetBounds(r.Left, r.Top, r.Width(), r.Height());
  else if (FWindowState == wsMinimized)
    frame->ArrangeIcons();
  else if (FRestoreBounds.Width() > 0 && FRestoreBounds.Height() > 0)
    SetBoundsRect(FRestoreBounds);
}

void TForm::SetActiveControl(TWinControl* Value) {
  if (FActiveControl) FActiveControl->RemoveFreeNotification(this);
  FActiveControl = Value;
  if (Value) Value->FreeNotification(this);
  if (Value && FVisible && Value->CanFocus() && !Value->Focused()) Value->SetFocus();
}

TForm* TForm::MDIFrame() {
  if (Application && Application->MainForm() && Application->MainForm()->FFormStyle == fsMDIForm)
    return Application->MainForm();
  if (Screen)
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (Screen->Forms(i)->FFormStyle == fsMDIForm) return Screen->Forms(i);
  return nullptr;
}

int TForm::MDIChildCount() const {
  return FFormStyle == fsMDIForm && MDIFrame() == this ? static_cast<int>(MdiOrder().size()) : 0;
}

TForm* TForm::MDIChildren(int Index) const {
  if (Index < 0 || Index >= MDIChildCount()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  return MdiOrder()[Index];
}

TForm* TForm::ActiveMDIChild() const {
  for (int i = 0; i < MDIChildCount(); ++i)
    if (MdiOrder()[i]->FVisible) return MdiOrder()[i];
  return nullptr;
}

namespace {
// The height of a form's shown menu bar, 0 without one.
int MenuBarHeight(TMainMenu* Menu) {
  auto* bar = Menu ? static_cast<QWidget*>(Menu->MenuBarHandle()) : nullptr;
  return bar && !bar->isHidden() ? bar->height() : 0;
}
}  // namespace

TRect TForm::FrameExtents() const {
  QWidget* w = vmqt::ControlWidget(const_cast<TForm*>(this));
  if (!w || !w->isWindow() || !w->isVisible()) return Rect(0, 0, 0, 0);
  const QRect g = w->geometry(), f = w->frameGeometry();
  return Rect(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
}

TRect TForm::MDIClientRect() const {
  TRect r = ClientRect();
  // Aligned bars of the frame (tool bars, a status bar) keep their edges; children use the rest.
  for (TControl* c : FControls) {
    if (!c->Visible() || dynamic_cast<const TForm*>(c)) continue;
    switch (c->Align()) {
      case alTop:
        r.Top = std::max(r.Top, c->Top() + c->Height());
        break;
      case alBottom:
        r.Bottom = std::min(r.Bottom, c->Top());
        break;
      case alLeft:
        r.Left = std::max(r.Left, c->Left() + c->Width());
        break;
      case alRight:
        r.Right = std::min(r.Right, c->Left());
        break;
      default:
        break;
    }
  }
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  if (r.Right < r.Left) r.Right = r.Left;
  return r;
}

// The client area starts below the menu bar (the menu bar is not part of it).
TRect TForm::ClientRect() const { return TCustomControl::ClientRect(); }

void TForm::SetMenu(TMainMenu* Value) {
  if (Value == FMenu) return;
  FMenu = Value;
  if (FMenu && FVisible)
    if (QWidget* w = vmqt::ControlWidget(this)) FMenu->BuildMenuBar(w);
  SetClientTopInset(MenuBarHeight(FMenu));
  Realign();
}

void TForm::PlaceMDIChild(void* FrameWidget) {
  TForm* frame = MDIFrame();
  if (!FrameWidget || !frame || !vmqt::HoldMdiChild(frame, this)) return;
  if (!FPlaced) {
    FPlaced = true;
    TRect r = frame->MDIClientRect();
    if (FPosition == poDefault || FPosition == poDefaultPosOnly) {
      // New children cascade from the top left corner.
      int n = 0;
      for (TForm* c : MdiOrder())
        if (c != this && c->FVisible) ++n;
      int off = (n % 8) * kCascadeStep;
      SetBounds(r.Left + off, r.Top + off, FWidth, FHeight);
    }
  }
  vmqt::PlaceControlWidget(this);  // in the frame's client area, below its menu bar
}

void TForm::Show() {
  HandleNeeded();
  QWidget* w = vmqt::ControlWidget(this);
  TForm* frame = FFormStyle == fsMDIChild ? MDIFrame() : nullptr;
  const bool embedded = !frame && Parent() && vmqt::ControlWidget(Parent());
  if (w && frame) {
    frame->HandleNeeded();
    w->setWindowTitle(vmqt::ToQ(Text()));
    PlaceMDIChild(vmqt::ControlWidget(frame));
    if (!vmqt::MdiSubWindow(this)) frame = nullptr;
  } else if (w && embedded) {
    // A form placed inside another control shows as a child of it, never as a window of its own.
    QWidget* pw = vmqt::ControlWidget(Parent());
    if (w->isWindow() || w->parentWidget() != pw) w->setParent(pw, Qt::Widget);
    vmqt::PlaceControlWidget(this);
  } else if (w) {
    w->setWindowTitle(vmqt::ToQ(Text()));
    Qt::WindowFlags f = Qt::Window;
    if (FFormStyle == fsStayOnTop) f |= Qt::WindowStaysOnTopHint;
    if (FBorderStyle == bsNone) f |= Qt::FramelessWindowHint;
    if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) f |= Qt::Tool;
    if (FBorderStyle == bsDialog) f |= Qt::Dialog;
    if (FBorderStyle != bsNone && FBorderIcons != TBorderIcons{biSystemMenu, biMinimize, biMaximize}) {
      f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
      if (FBorderIcons.Contains(biSystemMenu)) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
      if (FBorderIcons.Contains(biMinimize)) f |= Qt::WindowMinimizeButtonHint;
      if (FBorderIcons.Contains(biMaximize)) f |= Qt::WindowMaximizeButtonHint;
      if (FBorderIcons.Contains(biHelp)) f |= Qt::WindowContextHelpButtonHint;
    }
    if (w->windowFlags() != f) w->setWindowFlags(f);
    TRect area = Rect(0, 0, Screen->Width(), Screen->Height());
    TForm* around = nullptr;
    if (FPosition == poMainFormCenter && Application) around = Application->MainForm();
    if (FPosition == poOwnerFormCenter) around = dynamic_cast<TForm*>(Owner());
    if (around == this) around = nullptr;
    if (around && around->FVisible) area = around->BoundsRect();
    if (FPosition == poScreenCenter || FPosition == poDesktopCenter || FPosition == poMainFormCenter ||
        FPosition == poOwnerFormCenter) {
      FLeft = std::max(0, area.Left + (area.Width() - Width()) / 2);
      FTop = std::max(0, area.Top + (area.Height() - Height()) / 2);
    }
    FitOntoWorkArea(w);
    w->setGeometry(FLeft, FTop, FWidth, FHeight);
    if (FMenu) {
      FMenu->BuildMenuBar(w);
      SetClientTopInset(MenuBarHeight(FMenu));
      Realign();
    }
  }
  bool was = FVisible;
  FVisible = true;
  if (w) {
    if (frame) {
      vmqt::TMdiSync sync;
      QMdiSubWindow* sub = vmqt::MdiSubWindow(this);
      w->show();
      sub->show();
      sub->raise();
      vmqt::ShowMdiSubWindowState(this, FWindowState);
    } else if (embedded) {
      w->show();
    } else if (FWindowState == wsMaximized)
      w->showMaximized();
    else if (FWindowState == wsMinimized)
      w->showMinimized();
    else
      w->show();
    if (!frame && !embedded && !was) RequestActivation(w);
  }
  if (!was) Guarded([this] { Perform(WM_SHOWWINDOW, 1); });
  DispatchActivate(true);
  // A form that shows gives the focus to its ActiveControl, else to its first tab stop.
  if (!was && w)
    Guarded([this] {
      if (FActiveControl && FActiveControl->CanFocus())
        FActiveControl->SetFocus();
      else
        SelectFirst();
    });
}

void TForm::Hide() {
  if (!FVisible) return;
  FVisible = false;
  if (QMdiSubWindow* sub = vmqt::MdiSubWindow(this)) {
    vmqt::TMdiSync sync;
    sub->hide();
  } else if (QWidget* w = vmqt::ControlWidget(this)) {
    w->hide();
  }
  DispatchActivate(false);
  Guarded([this] { Perform(WM_SHOWWINDOW, 0); });
  // The window that was active goes back to the main form (or to none).
  if (FFormStyle != fsMDIChild && Screen && Screen->ActiveForm() == this) {
    TForm* main = Application ? Application->MainForm() : nullptr;
    if (main && main != this && main->FVisible) {
      main->FActive = false;
      main->DispatchActivate(true);
      ActivateNativeWindow(main);
    } else {
      Screen->SetActiveForm(nullptr);
    }
  }
  if (FFormStyle == fsMDIChild)
    if (TForm* frame = MDIFrame()) {
      frame->UpdateWindowMenu();
      if (TForm* next = frame->ActiveMDIChild()) next->DispatchActivate(true);
    }
}

void TForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

bool TForm::CloseQuery() {
  // A frame asks its children first.
  if (FFormStyle == fsMDIForm)
    for (int i = 0; i < MDIChildCount(); ++i)
      if (!MDIChildren(i)->CloseQuery()) return false;
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
}

void TForm::Release() {
  if (Contains(PendingRelease(), this)) return;
  PendingRelease().push_back(this);
  vmqt::EnsureApp();
  QTimer::singleShot(0, [this] {
    // The form may have been freed by other means meanwhile.
    if (!Contains(PendingRelease(), this)) return;
    Erase(PendingRelease(), this);
    delete this;
  });
}

void TForm::Close() {
  if (FModal) {
    if (FModalResult == mrNone) FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = FFormStyle == fsMDIChild ? caMinimize : caHide;
  DoClose(action);
  switch (action) {
    case caHide:
      Hide();
      break;
    case caMinimize:
      SetWindowState(wsMinimized);
      break;
    case caFree:
      Hide();
      Release();
      break;
    default:
      break;
  }
  if (Application && Application->MainForm() == this && action != caNone) Application->Terminate();
}

TModalResult TForm::ShowModal() {
  if (FVisible || FModal) throw EInvalidOperation("Cannot make a visible window modal");
  FModalResult = mrNone;
  TForm* before = Screen ? Screen->ActiveForm() : nullptr;
  // The window the keys went to when the dialog opened (the user may have clicked another one
  // since the program last activated a form).
  QPointer<QWidget> keysWindow = QApplication::activeWindow();
  FModal = true;
  Show();
  if (QWidget* w = vmqt::ControlWidget(this)) w->setWindowModality(Qt::ApplicationModal);
  while (FModalResult == mrNone && FVisible) {
    if (Application) Application->HandleMessage();
    if (FModalResult != mrNone) {
      FModal = false;
      if (!CloseQuery()) {
        FModalResult = mrNone;
        FModal = true;
        continue;
      }
      FModal = true;
    }
  }
  FModal = false;
  TCloseAction action = caHide;
  if (FVisible) {
    Guarded([&] { DoClose(action); });
    Hide();
  }
  if (QWidget* w = vmqt::ControlWidget(this)) w->setWindowModality(Qt::NonModal);
  // The window that opened the dialog is active again, and takes the keys again: no window
  // manager may be there to hand them back.
  bool beforeLives = false;
  if (before && before != this && Screen)
    for (int i = 0; i < Screen->FormCount(); ++i)
      if (Screen->Forms(i) == before) {
        beforeLives = true;
        if (before->FVisible) before->DispatchActivate(true);
        break;
      }
  if (keysWindow && keysWindow != vmqt::ControlWidget(this) && keysWindow->isVisible())
    RequestActivation(keysWindow);
  else if (beforeLives)
    ActivateNativeWindow(before);
  return FModalResult;
}

void TForm::ActivateMDIChild() {
  auto& order = MdiOrder();
  TForm* previous = nullptr;
  for (TForm* c : order)
    if (c != this && c->FActive) previous = c;
  Erase(order, this);
  order.insert(order.begin(), this);
  if (previous) previous->DispatchActivate(false);
  if (QMdiSubWindow* sub = vmqt::MdiSubWindow(this)) {
    vmqt::TMdiSync sync;
    sub->raise();
    if (QMdiArea* area = sub->mdiArea(); area && sub->isVisible()) area->setActiveSubWindow(sub);
  } else if (QWidget* w = vmqt::ControlWidget(this)) {
    w->raise();
  }
  if (TForm* frame = MDIFrame()) vmqt::UpdateMdiMerge(frame);
}

void TForm::DispatchActivate(bool Active) {
  if (Active == FActive) return;
  Guarded([&] { Perform(WM_ACTIVATE, Active ? WA_ACTIVE : WA_INACTIVE); });
}

void TForm::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CLOSE:
      Close();
      break;
    case WM_ACTIVATE:
      ActivationChanged(Message.WParam != WA_INACTIVE);
      break;
    case WM_SHOWWINDOW:
      if (Message.WParam)
        DoShow();
      else
        DoHide();
      break;
    default:
      TCustomControl::WndProc(Message);
      break;
  }
}

void TForm::SetBorderIcons(TBorderIcons Value) {
  if (Value == FBorderIcons) return;
  FBorderIcons = Value;
  RecreateWnd();
}

void TForm::ActivationChanged(bool Active) {
  if (Active == FActive) return;
  FActive = Active;
  if (Active) {
    if (FFormStyle == fsMDIChild && MDIFrame()) {
      ActivateMDIChild();
      FocusIntoMDIChild(this);
      if (TForm* frame = MDIFrame()) frame->UpdateWindowMenu();
    } else if (Screen) {
      TForm* previous = Screen->ActiveForm();
      if (previous && previous != this) previous->DispatchActivate(false);
      Screen->SetActiveForm(this);
    }
    if (OnActivate) Guarded([this] { OnActivate(this); });
    if (FFormStyle == fsMDIChild && Screen) Screen->ActiveFormChanged();
  } else {
    if (OnDeactivate) Guarded([this] { OnDeactivate(this); });
  }
}

void SendWindowActivation(TForm* Form) {
  QWidget* w = Form ? vmqt::ControlWidget(Form) : nullptr;
  if (!w || !w->isVisible()) return;
  w->window()->activateWindow();
  QCoreApplication::processEvents();
}

void TForm::Cascade() {
  std::vector<TForm*> kids;
  for (int i = MDIChildCount() - 1; i >= 0; --i)  // back to front
    if (MdiOrder()[i]->FVisible && MdiOrder()[i]->FWindowState != wsMinimized) kids.push_back(MdiOrder()[i]);
  if (kids.empty()) return;
  TRect r = MDIClientRect();
  int n = static_cast<int>(kids.size());
  int w = std::max(100, r.Width() - kCascadeStep * (n - 1));
  int h = std::max(60, r.Height() - kCascadeStep * (n - 1));
  for (int i = 0; i < n; ++i) {
    kids[i]->FWindowState = wsNormal;
    vmqt::ShowMdiSubWindowState(kids[i], wsNormal);
    kids[i]->SetBounds(r.Left + i * kCascadeStep, r.Top + i * kCascadeStep, w, h);
    kids[i]->BringToFront();
  }
}

void TForm::Tile() {
  std::vector<TForm*> kids;
  for (int i = 0; i < MDIChildCount(); ++i)
    if (MdiOrder()[i]->FVisible && MdiOrder()[i]->FWindowState != wsMinimized) kids.push_back(MdiOrder()[i]);
  if (kids.empty()) return;
  TRect r = MDIClientRect();
  int n = static_cast<int>(kids.size());
  // Up to three in one line; more fill a grid whose short side is the square root.
  int across = n <= 3 ? 1 : static_cast<int>(std::sqrt(static_cast<double>(n)));
  int along = (n + across - 1) / across;
  int cols = FTileMode == tbHorizontal ? across : along;
  int rows = FTileMode == tbHorizontal ? along : across;
  int cw = r.Width() / cols, ch = r.Height() / rows;
  for (int i = 0; i < n; ++i) {
    int col = FTileMode == tbHorizontal ? i / rows : i % cols;
    int row = FTileMode == tbHorizontal ? i % rows : i / cols;
    kids[i]->FWindowState = wsNormal;
    vmqt::ShowMdiSubWindowState(kids[i], wsNormal);
    kids[i]->SetBounds(r.Left + col * cw, r.Top + row * ch, cw, ch);
  }
}

void TForm::ArrangeIcons() {
  TRect r = MDIClientRect();
  int perRow = std::max(1, r.Width() / kIconWidth);
  int k = 0;
  for (int i = MDIChildCount() - 1; i >= 0; --i) {
    TForm* c = MdiOrder()[i];
    if (!c->FVisible || c->FWindowState != wsMinimized) continue;
    // A framed child keeps the height of its caption.
    QMdiSubWindow* sub = vmqt::MdiSubWindow(c);
    const int h = sub && sub->isMinimized() ? sub->height() : kIconHeight;
    c->SetBounds(r.Left + (k % perRow) * kIconWidth, r.Bottom - (k / perRow + 1) * h, kIconWidth, h);
    ++k;
  }
}

void TForm::Next() {
  TForm* active = ActiveMDIChild();
  if (!active) return;
  std::vector<TForm*> visible;
  for (TForm* c : MdiOrder())
    if (c->FVisible) visible.push_back(c);
  if (visible.size() < 2) return;
  auto& order = MdiOrder();
  Erase(order, active);
  order.push_back(active);
  active->FActive = false;
  if (active->OnDeactivate) active->Guarded([active] { active->OnDeactivate(active); });
  visible[1]->DispatchActivate(true);
}

void TForm::Previous() {
  TForm* back = nullptr;
  for (TForm* c : MdiOrder())
    if (c->FVisible) back = c;
  if (back && back != ActiveMDIChild()) back->DispatchActivate(true);
}

void TForm::SetWindowMenu(TMenuItem* Value) {
  if (Value == FWindowMenu) return;
  if (FWindowMenu) {
    for (TMenuItem* it : FWindowItems) delete it;
    FWindowItems.clear();
    FWindowMenu->RemoveFreeNotification(this);
  }
  FWindowMenu = Value;
  if (FWindowMenu) FWindowMenu->FreeNotification(this);
  UpdateWindowMenu();
}

void TForm::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FActiveControl) FActiveControl = nullptr;
  if (Operation == opRemove && AComponent == FWindowMenu) {
    FWindowMenu = nullptr;
    FWindowItems.clear();  // freed with the menu item
  }
}

void TForm::UpdateWindowMenu() {
  if (!FWindowMenu) return;
  std::vector<TForm*> kids;
  for (int i = 0; i < MDIChildCount(); ++i)
    if (MdiOrder()[i]->FVisible) kids.push_back(MdiOrder()[i]);
  // Listed in the order they were made, as the window system keeps them.
  std::vector<TForm*> listed;
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (Contains(kids, Screen->Forms(i))) listed.push_back(Screen->Forms(i));
  // The entries are kept and rewritten, not made again: this may run from one of their clicks.
  size_t want = listed.empty() ? 0 : listed.size() + 1;
  bool needLine = FWindowMenu->Count() > static_cast<int>(FWindowItems.size());
  if (!needLine && want > 0) --want;
  while (FWindowItems.size() > want) {
    TMenuItem* it = FWindowItems.back();
    FWindowItems.pop_back();
    delete it;
  }
  while (FWindowItems.size() < want) {
    auto* it = new TMenuItem(nullptr);
    it->OnClick = [it](TObject*) {
      auto* c = reinterpret_cast<TForm*>(it->Tag());
      if (!c || !Contains(MdiOrder(), c)) return;
      if (c->FWindowState == wsMinimized) c->SetWindowState(wsNormal);
      c->DispatchActivate(true);
    };
    FWindowMenu->Add(it);
    FWindowItems.push_back(it);
  }
  size_t first = 0;
  if (needLine && !FWindowItems.empty()) {
    FWindowItems[0]->SetCaption("-");
    FWindowItems[0]->SetTag(0);
    first = 1;
  }
  for (size_t k = 0; k < listed.size(); ++k) {
    TMenuItem* it = FWindowItems[first + k];
    TForm* c = listed[k];
    int n = static_cast<int>(k) + 1;
    it->SetCaption((n <= 9 ? "&" + std::to_string(n) : std::to_string(n)) + " " + c->Caption());
    it->SetTag(reinterpret_cast<intptr_t>(c));
    it->SetChecked(c == kids.front());
  }
}

void TForm::KeyDown(uint16_t& Key, TShiftState Shift) { TCustomControl::KeyDown(Key, Shift); }
void TForm::KeyPress(char& Key) { TCustomControl::KeyPress(Key); }
void TForm::KeyUp(uint16_t& Key, TShiftState Shift) { TCustomControl::KeyUp(Key, Shift); }

bool TForm::IsShortCut(uint16_t Key, TShiftState Shift) {
  if (FFormStyle == fsMDIForm)
    if (TForm* child = ActiveMDIChild(); child && child != this && child->IsShortCut(Key, Shift)) return true;
  if (FMenu && FMenu->IsShortCut(Key, Shift)) return true;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* list = dynamic_cast<TActionList*>(Components(i)))
      if (list->IsShortCut(Key, Shift)) return true;
  // The frame's own keys: Ctrl+F4 closes the active child, Ctrl+Tab and Ctrl+Shift+Tab go round them.
  if (FFormStyle == fsMDIForm && MDIFrame() == this && ActiveMDIChild()) {
    if (Key == VK_F1 + 3 && Shift == TShiftState{ssCtrl}) {
      ActiveMDIChild()->DispatchClose();
      return true;
    }
    if (Key == VK_TAB && Shift == TShiftState{ssCtrl}) {
      Next();
      return true;
    }
    if (Key == VK_TAB && Shift == TShiftState{ssCtrl, ssShift}) {
      Previous();
      return true;
    }
  }
  return false;
}

void TForm::AlignControls(TRect& R) {
  TCustomControl::AlignControls(R);
  if (FFormStyle == fsMDIForm) vmqt::PlaceMdiArea(this);
}

void TForm::MDIWindowChanged() {
  QMdiSubWindow* sub = vmqt::MdiSubWindow(this);
  TForm* frame = MDIFrame();
  if (!sub || !frame) return;
  const TWindowState state = vmqt::MdiSubWindowState(sub);
  if (state != FWindowState) {
    if (FWindowState == wsNormal) FRestoreBounds = BoundsRect();
    FWindowState = state;
  }
  const TRect r = frame->MDIClientRect();
  const QRect g = sub->geometry();
  SetBounds(g.x() + r.Left, g.y() + r.Top, g.width(), g.height());
  vmqt::UpdateMdiMerge(frame);
}
