// The application and its message loop, the screen, timers and basic forms.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/component.h"
#include "platform/controls.h"
#include "platform/exceptions.h"

class TStrings;
class TForm;
class TMainMenu;
class TMenuItem;

// Message box flags and answers.
constexpr int MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_ABORTRETRYIGNORE = 0x2, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4,
              MB_RETRYCANCEL = 0x5, MB_ICONERROR = 0x10, MB_ICONSTOP = 0x10, MB_ICONQUESTION = 0x20,
              MB_ICONWARNING = 0x30, MB_ICONEXCLAMATION = 0x30, MB_ICONINFORMATION = 0x40, MB_DEFBUTTON2 = 0x100;
constexpr int IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7;

// Every message box of the program goes through this hook when it is set (tests answer boxes
// with it). Without a hook and without a display the box is written to standard error and
// answered with its default button.
using TMessageBoxHook = std::function<int(const std::string& Text, const std::string& Caption, int Flags)>;
void SetMessageBoxHook(TMessageBoxHook Hook);

// Installs a colour scheme for the whole program: the system colours that self-drawn controls
// use and the palette of the native widgets, then repaints every control. Tests fix one here.
void SetColorScheme(const TColorScheme& Scheme);
// The scheme of the application palette now in use.
TColorScheme DesktopColorScheme();

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;

class TApplication : public TComponent {
  VM_CLASS(TApplication, TComponent)
public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  void Initialize();
  // Shows the main form and runs the message loop until Terminate or the main form closes.
  void Run();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Clears Terminated: a program started again in the same process (as the tests do after
  // closing the previous one's main form) runs its message loops again.
  void ResetTerminated() { FTerminated = false; }
  // Handles every pending message, then returns.
  void ProcessMessages();
  // Waits for and handles messages once; idles when there are none.
  void HandleMessage();

  // Handles the exception being handled (call from a catch block): EAbort is silent; others go
  // to OnException when assigned, else to ShowException.
  void HandleException(TObject* Sender);
  void ShowException(const Exception& E);
  int MessageBox(const std::string& Text, const std::string& Caption, int Flags = MB_OK);

  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }
  std::string ExeName() const;
  TForm* MainForm() const { return FMainForm; }
  void SetMainForm(TForm* Value) { FMainForm = Value; }
  // Makes a form owned by the application; the first one becomes the main form.
  template <class T>
  void CreateForm(T*& Reference) {
    T* f = new T(this);
    Reference = f;
    AfterCreateForm(f);
  }
  int HintPause() const { return FHintPause; }
  void SetHintPause(int Value) { FHintPause = Value; }
  // Shows Text in the hint window at a screen point now (without waiting for the pause), and
  // takes the hint window away again; CurrentHint is the text shown, empty when none.
  void ActivateHint(const TPoint& ScreenPos, const std::string& Text);
  void CancelHint();
  const std::string& CurrentHint() const { return FCurrentHint; }

  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

  // Runs OnIdle once; returns Done.
  bool Idle();

private:
  void AfterCreateForm(TForm* Form);
  bool FTerminated = false;
  std::string FTitle;
  TForm* FMainForm = nullptr;
  int FHintPause = 500;
  std::string FCurrentHint;
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};

extern TApplication* Application;

// A cursor image registered under a number or loaded by name.
using HCURSOR = intptr_t;

class TScreen : public TComponent {
  VM_CLASS(TScreen, TComponent)
public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  // The cursor of a number: those registered with SetCursors, else the standard one (the
  // default cursor for numbers that have none). Any handle, a standard cursor's too, can be
  // registered under any number; 0 removes the number's own cursor.
  HCURSOR Cursors(TCursor Index) const;
  void SetCursors(TCursor Index, HCURSOR Handle);
  // The cursor shown over every window (crDefault: each control's own).
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);

  int32_t Width() const;
  int32_t Height() const;
  int32_t PixelsPerInch() const;
  // The part of the primary screen that windows may take (the screen less the desktop's panels).
  TRect WorkAreaRect() const;
  // Device pixels per logical pixel of the primary screen (2 on a screen scaled by 2).
  double PixelRatio() const;
  // Writes what the screen shows (every window with the window manager's frames) to a picture
  // file in device pixels; the file's extension names the format (".png", ".ppm"). Raises
  // EFCreateError when the screen cannot be read or the file written.
  void SaveImage(const std::string& FileName) const;
  TStrings* Fonts();

  int FormCount() const { return static_cast<int>(FForms.size()); }
  TForm* Forms(int Index) const;
  TForm* ActiveForm() const { return FActiveForm; }
  TWinControl* ActiveControl() const;
  TNotifyEvent OnActiveFormChange;

  // For forms: register, unregister, activate.
  void AddForm(TForm* Form);
  void RemoveForm(TForm* Form);
  void SetActiveForm(TForm* Form);
  // Runs OnActiveFormChange (an MDI child was activated inside the active frame).
  void ActiveFormChanged();

private:
  TCursor FCursor = crDefault;
  std::vector<TForm*> FForms;
  TForm* FActiveForm = nullptr;
  std::unique_ptr<TStrings> FFonts;
};

extern TScreen* Screen;

// Cursor images: a 32-bit bitmap with alpha, or a resource picture found by name among the
// registered ones and in the program's resources (":/cursors/NAME.png"). 0 when not found.
// A pf32bit bitmap's fourth byte is the opacity of its pixel (unless it is 0 everywhere). Resource
// names ignore letter case.
HCURSOR CreateCursorFromBitmap(TBitmap* Image, int HotX, int HotY);
void RegisterCursorResource(const std::string& Name, TBitmap* Image, int HotX, int HotY);
// A picture file or its bytes (PNG, BMP, ...); a negative hot spot means the picture's centre. A file
// that cannot be opened raises EFOpenError, data that does not decode EInvalidGraphic.
void RegisterCursorResourceFile(const std::string& Name, const std::string& FileName, int HotX = -1, int HotY = -1);
void RegisterCursorResourceData(const std::string& Name, const void* Data, size_t Size, int HotX = -1, int HotY = -1);
HCURSOR LoadCursorResource(const std::string& Name);

class TTimer : public TComponent {
  VM_CLASS(TTimer, TComponent)
public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  uint32_t Interval() const { return FInterval; }
  void SetInterval(uint32_t Value);
  // Fires every Interval milliseconds while Enabled and Interval > 0, whether the handler was
  // assigned here or through SetOnTimer.
  TNotifyEvent OnTimer;
  void SetOnTimer(TNotifyEvent Value);

  // Runs OnTimer as the message loop would (exceptions reported through the application).
  void Fire();

private:
  void UpdateTimer();
  bool FEnabled = true;
  uint32_t FInterval = 1000;
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};

enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
// Tile: tbHorizontal stacks wide windows one above the other, tbVertical puts tall ones side by side.
enum TTileMode { tbHorizontal, tbVertical };
using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// A top-level window with a canvas of its own.
class TForm : public TCustomControl {
  VM_CLASS(TForm, TCustomControl)
public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;
  // OnDestroy runs here, while a form freed by delete is still whole (derived parts included).
  void BeforeDestruction() override;

  void Show();
  void Hide();
  // Asks OnCloseQuery, then OnClose decides: hide (the default), free later, minimize or nothing.
  void Close();
  // Runs a loop of its own until ModalResult is set (or the form is closed); returns it.
  TModalResult ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  bool Modal() const { return FModal; }

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  // A change re-creates the window (its hooks stay).
  void SetBorderIcons(TBorderIcons Value);
  TFormStyle FormStyle() const { return FFormStyle; }
  // An MDI child joins the frame's children at once (the newest in front).
  void SetFormStyle(TFormStyle Value);
  // Where Show places the window: poScreenCenter/poDesktopCenter on the screen, poMainFormCenter
  // on the main form, poOwnerFormCenter on the owning form (the screen when there is none).
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TWindowState WindowState() const;
  void SetWindowState(TWindowState Value);
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Value);
  bool Active() const { return FActive; }
  // Frees the form once the events being handled are done (safe from its own handlers).
  void Release();

  // MDI, on a frame (fsMDIForm): the children front to back, the active one first. They live in
  // the frame's client area below the menu bar, less the frame's aligned controls (tool bars,
  // status bar), which MDIClientRect leaves out.
  int MDIChildCount() const;
  TForm* MDIChildren(int Index) const;
  TForm* ActiveMDIChild() const;
  TRect MDIClientRect() const;
  // What the window manager's frame adds round a shown top-level form on each side (its title bar
  // above, its borders), the form's bounds being its client area's; all 0 without a frame.
  TRect FrameExtents() const;
  TTileMode TileMode() const { return FTileMode; }
  void SetTileMode(TTileMode Value) { FTileMode = Value; }
  // Arrange the children that are visible and not minimized; ArrangeIcons lines up the
  // minimized ones along the bottom.
  void Cascade();
  void Tile();
  void ArrangeIcons();
  // Activate the next child (the active one goes to the back) or the backmost one.
  void Next();
  void Previous();
  // The menu item that lists the children after its own items ("&1 Caption", the active checked).
  TMenuItem* WindowMenu() const { return FWindowMenu; }
  void SetWindowMenu(TMenuItem* Value);
  // The MDI frame of the program: the main form when it is one, else the first frame made.
  static TForm* MDIFrame();
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The menu bar (a main menu made with this form as owner sets itself here).
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* Value);
  // Below the menu bar once the form has one on screen.
  TRect ClientRect() const override;
  // A key with modifiers: the active MDI child's, then the menu's, then the owned action lists'
  // shortcuts. True when one ran. The window system's key presses come here first.
  virtual bool IsShortCut(uint16_t Key, TShiftState Shift);

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

  // Called once the form is built (after the constructors): runs OnCreate.
  virtual void DoCreate();
  virtual bool CloseQuery();
  // The window system's close request (the title bar's close button): WM_CLOSE through the
  // window procedure, whose own handling closes the form.
  void DispatchClose() {
    Guarded([this] { Perform(WM_CLOSE); });
  }
  // Activation and deactivation: WM_ACTIVATE through the window procedure.
  void DispatchActivate(bool Active);
  // The user moved or sized an MDI child's window, or changed its state with its buttons: the
  // form takes the window's bounds and state.
  void MDIWindowChanged();

protected:
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  // Closing (WM_CLOSE), activation (WM_ACTIVATE) and showing (WM_SHOWWINDOW: OnShow, OnHide).
  void WndProc(TMessage& Message) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(uint16_t& Key, TShiftState Shift) override;
  // A frame's children live in the client area its aligned bars leave.
  void AlignControls(TRect& R) override;

private:
  void FireDestroy();
  bool FDestroyFired = false;
  TModalResult FModalResult = mrNone;
  bool FModal = false;
  bool FActive = false;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TFormStyle FFormStyle = fsNormal;
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  bool FKeyPreview = false;
  TWinControl* FActiveControl = nullptr;
  TMainMenu* FMenu = nullptr;
  TBorderIcons FBorderIcons = {biSystemMenu, biMinimize, biMaximize};
  TTileMode FTileMode = tbHorizontal;
  TMenuItem* FWindowMenu = nullptr;
  std::vector<TMenuItem*> FWindowItems;  // the child entries added to FWindowMenu
  TRect FRestoreBounds;                  // an MDI child's bounds before it was minimized or maximized
  bool FPlaced = false;                  // an MDI child got its first place

  void PlaceMDIChild(void* FrameWidget);
  // A top-level window's bounds come onto the screen's work area whole, its frame included.
  void FitOntoWorkArea(void* Window);
  void ApplyMDIState();
  void ActivateMDIChild();
  void ActivationChanged(bool Active);

public:
  // The frame refreshes its window menu.
  void UpdateWindowMenu();

protected:
  void TextChanged() override;
};

// Activates a form's window as a window manager does when the user clicks its title bar or
// switches windows (not as the program asks for it), and lets the window system's answer arrive.
void SendWindowActivation(TForm* Form);

// An MDI child's window worked by the user as the window system delivers it: its frame dragged to
// new bounds (in the frame's client coordinates), or a button of its caption clicked.
enum TCaptionButton { cbMinimize, cbMaximize, cbRestore, cbClose };
void SendMDIChildBounds(TForm* Child, const TRect& Bounds);
void ClickMDICaptionButton(TForm* Child, TCaptionButton Button);

// The map of the program's windows that the real-window tests read (written while the environment
// variable VAROMARK_WINDOW_MAP names a file): a note gives a control's line a text of the program's
// own after its rectangle (what the control shows that its pixels hardly tell, such as a chart's
// axis range); a control with a note is listed even without a name. Forms keep their caption there.
using TWindowMapNote = std::function<std::string(TControl* Control)>;
void SetWindowMapNote(TWindowMapNote Note);

// Shows a message in a box with an OK button (through the message box hook).
void ShowMessage(const std::string& Msg);
