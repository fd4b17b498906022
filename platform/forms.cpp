#include "platform/forms.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <map>

#include "platform/actnlist.h"
#include "platform/bitmap.h"
#include "platform/menus.h"
#include "platform/qt_controls.h"
#include "platform/streams.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TApplication)
VM_DEFINE_CLASS(TScreen)
VM_DEFINE_CLASS(TTimer)
VM_DEFINE_CLASS(TForm)

namespace {

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

public:
  bool notify(QObject* Receiver, QEvent* Event) override {
    try {
      if (Event->type() == QEvent::KeyPress && Receiver->isWidgetType() && RunShortCut(Receiver, Event))
        return true;
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
    case MB_OKCANCEL: return second ? IDCANCEL : IDOK;
    case MB_ABORTRETRYIGNORE: return second ? IDRETRY : IDABORT;
    case MB_YESNOCANCEL: return second ? IDNO : IDYES;
    case MB_YESNO: return second ? IDNO : IDYES;
    case MB_RETRYCANCEL: return second ? IDCANCEL : IDRETRY;
    default: return IDOK;
  }
}

}  // namespace

namespace vmqt {

void EnsureApp() {
  if (QCoreApplication::instance()) return;
  static int argc = 1;
  static char name[] = "varomark";
  static char* argv[] = {name, nullptr};
  new VmQApplication(argc, argv);
}

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
  } catch (...) {
  }
}

}  // namespace vmqt

void SetMessageBoxHook(TMessageBoxHook Hook) { BoxHook() = std::move(Hook); }

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
  return done;
}

void TApplication::Run() {
  Initialize();
  if (FMainForm) FMainForm->Show();
  while (!FTerminated) {
    HandleMessage();
    if (FMainForm && !FMainForm->Visible()) break;
  }
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
    case MB_ICONSTOP: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: break;
  }
  std::vector<std::pair<QMessageBox::StandardButton, int>> buttons;
  switch (Flags & 0xF) {
    case MB_OKCANCEL: buttons = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}}; break;
    case MB_ABORTRETRYIGNORE:
      buttons = {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
      break;
    case MB_YESNOCANCEL:
      buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
      break;
    case MB_YESNO: buttons = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}}; break;
    case MB_RETRYCANCEL: buttons = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}}; break;
    default: buttons = {{QMessageBox::Ok, IDOK}}; break;
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
  std::map<int, HCURSOR> ByNumber;         // registered with Screen->SetCursors
  std::map<HCURSOR, QCursor> Handles;      // made from pictures
  std::map<std::string, HCURSOR> Named;    // resource names, upper case
  HCURSOR Next = 1;
};

CursorTable& Cursors() {
  static CursorTable t;
  return t;
}

Qt::CursorShape StandardShape(TCursor C) {
  switch (C) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
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

TForm::TForm(TComponent* AOwner) : TCustomControl(AOwner) {
  FVisible = false;
  FColor = clBtnFace;
  SetBounds(0, 0, 320, 240);
  if (Screen) Screen->AddForm(this);
}

TForm::~TForm() {
  if (Screen) Screen->RemoveForm(this);
  if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
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

TWindowState TForm::WindowState() const { return FWindowState; }

void TForm::SetWindowState(TWindowState Value) {
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

void TForm::SetActiveControl(TWinControl* Value) {
  FActiveControl = Value;
  if (Value && FVisible && Value->CanFocus()) Value->SetFocus();
}

void TForm::Show() {
  HandleNeeded();
  QWidget* w = vmqt::ControlWidget(this);
  if (w) {
    w->setWindowTitle(vmqt::ToQ(Text()));
    Qt::WindowFlags f = Qt::Window;
    if (FFormStyle == fsStayOnTop) f |= Qt::WindowStaysOnTopHint;
    if (FBorderStyle == bsNone) f |= Qt::FramelessWindowHint;
    if (FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin) f |= Qt::Tool;
    if (FBorderStyle == bsDialog) f |= Qt::Dialog;
    if (w->windowFlags() != f) w->setWindowFlags(f);
    if (FPosition == poScreenCenter || FPosition == poDesktopCenter || FPosition == poMainFormCenter) {
      int32_t x = (Screen->Width() - Width()) / 2, y = (Screen->Height() - Height()) / 2;
      FLeft = std::max(0, x);
      FTop = std::max(0, y);
    }
    w->setGeometry(FLeft, FTop, FWidth, FHeight);
    if (FMenu) FMenu->BuildMenuBar(w);
  }
  bool was = FVisible;
  FVisible = true;
  if (w) {
    if (FWindowState == wsMaximized)
      w->showMaximized();
    else if (FWindowState == wsMinimized)
      w->showMinimized();
    else
      w->show();
  }
  if (!was) Guarded([this] { DoShow(); });
  DispatchActivate(true);
}

void TForm::Hide() {
  if (!FVisible) return;
  FVisible = false;
  if (QWidget* w = vmqt::ControlWidget(this)) w->hide();
  DispatchActivate(false);
  Guarded([this] { DoHide(); });
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
  bool can = true;
  if (OnCloseQuery) OnCloseQuery(this, can);
  return can;
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
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    case caFree:
      Hide();
      QTimer::singleShot(0, [this] { delete this; });
      break;
    default: break;
  }
  if (Application && Application->MainForm() == this && action != caNone) Application->Terminate();
}

TModalResult TForm::ShowModal() {
  if (FVisible || FModal) throw EInvalidOperation("Cannot make a visible window modal");
  FModalResult = mrNone;
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
  return FModalResult;
}

void TForm::DispatchActivate(bool Active) {
  if (Active == FActive) return;
  FActive = Active;
  if (Active) {
    if (Screen) Screen->SetActiveForm(this);
    if (OnActivate) Guarded([this] { OnActivate(this); });
  } else {
    if (OnDeactivate) Guarded([this] { OnDeactivate(this); });
  }
}

void TForm::KeyDown(uint16_t& Key, TShiftState Shift) { TCustomControl::KeyDown(Key, Shift); }
void TForm::KeyPress(char& Key) { TCustomControl::KeyPress(Key); }
void TForm::KeyUp(uint16_t& Key, TShiftState Shift) { TCustomControl::KeyUp(Key, Shift); }

bool TForm::IsShortCut(uint16_t Key, TShiftState Shift) {
  if (FMenu && FMenu->IsShortCut(Key, Shift)) return true;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* list = dynamic_cast<TActionList*>(Components(i)))
      if (list->IsShortCut(Key, Shift)) return true;
  return false;
}
