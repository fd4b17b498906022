// Controls: bounds, parents, alignment, visibility, colour, font, cursor and hint; paint, mouse,
// keyboard and focus events. The window behind a windowed control is made when first needed.
// Custom and graphic controls draw into a retained surface that their Canvas stays bound to, so
// drawing from a mouse handler (rubber bands, exclusive-or feedback) works outside painting.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/component.h"
#include "platform/graphics.h"
#include "platform/set.h"

class TWinControl;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind>;

using TCursor = int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = crSizeAll;

// Cursors stream as identifiers when they have one.
extern const TIdentMap CursorIdents;
bool CursorToIdent(int64_t Cursor, std::string& Ident);
bool IdentToCursor(const std::string& Ident, int64_t& Cursor);

// Virtual key codes.
constexpr uint16_t VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11, VK_MENU = 0x12,
                   VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24,
                   VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_INSERT = 0x2D, VK_DELETE = 0x2E,
                   VK_F1 = 0x70, VK_ADD = 0x6B, VK_SUBTRACT = 0x6D, VK_OEM_PERIOD = 0xBE;

// Window messages. What the window system tells a windowed control (moving, sizing, its size
// limits, showing, activation, closing, destruction of its window) and the private messages
// posted to it go through the control's WindowProc as a message record, so a component can see
// them before and after the control's own handling, or keep them from it.
constexpr uint32_t WM_DESTROY = 0x0002, WM_MOVE = 0x0003, WM_SIZE = 0x0005, WM_ACTIVATE = 0x0006, WM_CLOSE = 0x0010,
                   WM_QUIT = 0x0012, WM_SHOWWINDOW = 0x0018, WM_GETMINMAXINFO = 0x0024, WM_USER = 0x0400;
constexpr intptr_t WA_INACTIVE = 0, WA_ACTIVE = 1;
struct TMessage {
  uint32_t Msg = 0;
  intptr_t WParam = 0;
  intptr_t LParam = 0;
  intptr_t Result = 0;
};
// Two 16-bit halves in one parameter (WM_SIZE: width, height; WM_MOVE: left, top).
constexpr intptr_t MakeLParam(int Lo, int Hi) {
  return static_cast<intptr_t>((static_cast<uint32_t>(Hi & 0xFFFF) << 16) | static_cast<uint32_t>(Lo & 0xFFFF));
}
constexpr int LoWordOf(intptr_t V) { return static_cast<int16_t>(V & 0xFFFF); }
constexpr int HiWordOf(intptr_t V) { return static_cast<int16_t>((V >> 16) & 0xFFFF); }
// WM_GETMINMAXINFO's record (its LParam points to one): the window's size limits while the user
// drags its edges, and its size and place when maximized.
struct TMinMaxInfo {
  TPoint ptReserved, ptMaxSize, ptMaxPosition, ptMinTrackSize, ptMaxTrackSize;
};
using TWndMethod = std::function<void(TMessage& Message)>;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

class TControl : public TComponent {
  VM_CLASS(TControl, TComponent)
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);

  int32_t Left() const { return FLeft; }
  int32_t Top() const { return FTop; }
  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  void SetLeft(int32_t Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int32_t Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int32_t Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int32_t Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  virtual void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight);
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  // Inside the border and the scroll bars of a framed control (see TWinControl::SetBorderWidth).
  virtual TRect ClientRect() const;
  int32_t ClientWidth() const { return ClientRect().Width(); }
  int32_t ClientHeight() const { return ClientRect().Height(); }
  void SetClientWidth(int32_t Value) { SetWidth(FWidth - ClientWidth() + Value); }
  void SetClientHeight(int32_t Value) { SetHeight(FHeight - ClientHeight() + Value); }
  // Position of the client area's origin on the screen.
  TPoint ClientOrigin() const;
  TPoint ClientToScreen(const TPoint& P) const;
  TPoint ScreenToClient(const TPoint& P) const;

  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value) { FAnchors = Value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, with every parent visible and shown on screen.
  bool Showing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value) { FShowHint = Value; }
  const std::string& Caption() const { return FText; }
  void SetCaption(const std::string& Value) { SetText(Value); }
  const std::string& Text() const { return FText; }
  virtual void SetText(const std::string& Value);

  // Repaints: Invalidate asks for a paint later, Update paints what is pending now, Repaint both.
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  void BringToFront();
  void SendToBack();

  // Mouse capture: all mouse input goes to this control until released.
  bool MouseCapture() const;
  void SetMouseCapture(bool Value);
  // True while the mouse is inside the control.
  bool MouseInControl() const { return FMouseInControl; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TMouseWheelEvent OnMouseWheel;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;

  // The entry points that the window system's input goes through; tests call them to act as
  // the user. X and Y are client coordinates. A handler's exception is reported through the
  // application (an abort silently) and goes no further.
  void DispatchMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y, bool DoubleClick = false);
  void DispatchMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  void DispatchMouseMove(TShiftState Shift, int X, int Y);
  // WheelDelta is 120 per notch, positive away from the user; returns whether it was handled.
  bool DispatchMouseWheel(TShiftState Shift, int WheelDelta, int X, int Y);
  void DispatchMouseEnter();
  void DispatchMouseLeave();

  // The window behind the control (the parent's for a control without one); null before it exists.
  void* WidgetHandle() const;
  // The control's own retained surface, or null.
  TCanvas* SurfaceCanvas() const { return FSurfaceCanvas.get(); }

  // Streaming: a control's parent is its parent component.
  bool HasParent() const override { return FParent != nullptr; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* Value) override;

  struct Impl;
  Impl* GetImpl() const { return FImpl.get(); }

protected:
  // A control backed by a native widget makes it here, as a child of ParentWidget (both are
  // QWidget*), and keeps it in step with its properties; nullptr (the default) gives the
  // toolkit's own painted window. Mouse, key and focus input still reach the control's events;
  // such a control clicks from the widget's own notice, not from the mouse going up.
  virtual void* CreateNativeWidget(void* /*ParentWidget*/) { return nullptr; }
  // The native widget made by CreateNativeWidget, once it exists (else null).
  void* NativeWidget() const;
  // Off: the left button going up inside the control does not click (the control clicks itself).
  void SetClickOnMouseUp(bool Value);
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void Resize();
  virtual void Paint() {}
  // Notifications of property changes.
  virtual void EnabledChanged() {}
  virtual void VisibleChanged() {}
  virtual void FontChanged();
  virtual void ColorChanged();
  virtual void TextChanged() {}
  virtual void ParentChanged() {}
  // Alt with a letter that the focused control left: a control whose caption marks that letter
  // with '&' acts on it (a label focuses its FocusControl, a group box its first control, a tab
  // its page) and returns true. Key is upper case.
  virtual bool DialogChar(char /*Key*/) { return false; }

  // The widget of this control: creates it (and the parents' first) when the parent has one.
  void EnsureWidget();
  // Makes the retained surface and its canvas (custom and graphic controls).
  void CreateSurface();
  // Runs Paint into the surface when it is due (invalidated, resized, new).
  void PaintSurface(bool Force = false);
  // Runs Fn, reporting any exception through the application.
  void Guarded(const std::function<void()>& Fn);

  friend class TWinControl;
  friend struct TControlAccess;
  TWinControl* FParent = nullptr;
  int32_t FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors = {akLeft, akTop};
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = clWindow;
  bool FParentColor = false;
  std::unique_ptr<TFont> FFont;
  bool FParentFont = true;
  TCursor FCursor = crDefault;
  std::string FHint;
  bool FShowHint = false;
  std::string FText;
  bool FMouseInControl = false;
  bool FPressed = false;  // a button went down inside: the next up may click
  std::unique_ptr<TCanvas> FSurfaceCanvas;
  std::unique_ptr<Impl> FImpl;
};

class TWinControl : public TControl {
  VM_CLASS(TWinControl, TControl)
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  int ControlCount() const { return static_cast<int>(FControls.size()); }
  // Raises EListError "List index out of bounds (%d)" for a bad index.
  TControl* Controls(int Index) const;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  // The visible, enabled child at a client point, or null.
  TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled = false) const;

  bool HandleAllocated() const;
  // Makes the window (and the parents' windows first).
  void HandleNeeded();
  void* Handle();
  // Destroys and makes the window again, with the DestroyWnd and CreateWnd hooks.
  void RecreateWnd();
  // The window's shape in client pixels: only the region shows and takes the mouse; nullptr gives
  // the whole rectangle back. Redraw repaints at once.
  void SetWindowRgn(const TRegion* Region, bool Redraw);
  // 1 and a copy of the shape when the window has one, else 0.
  int GetWindowRgn(TRegion& Region) const;

  // The scroll bar of that kind (sbHorizontal 0, sbVertical 1) shows (see SetScrollBar).
  bool ScrollBarShowing(int Kind) const;
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  // The place among the parent's windowed children that Tab walks through (creation order
  // unless set); setting it moves the control and the ones after it.
  int TabOrder() const;
  void SetTabOrder(int Value);
  // The windowed descendants in the order Tab visits them (each followed by its own).
  void GetTabOrderList(std::vector<TWinControl*>& List) const;
  // The control after (or before) CurControl in tab order among the descendants, wrapping
  // round; only focusable ones, only tab stops with CheckTabStop, only children with CheckParent.
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent) const;
  // Focuses the control FindNextControl finds; false when there is none.
  bool SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  // Focuses the first tab stop inside; false when there is none.
  bool SelectFirst();
  // Offers Alt+Key to this control and its showing descendants (DialogChar); true when taken.
  bool DispatchDialogChar(char Key);
  bool CanFocus() const;
  bool Focused() const;
  // Raises EInvalidOperation "Cannot focus a disabled or invisible window" when it cannot.
  virtual void SetFocus();

  // The window procedure: every message of the control passes through it. It starts as the
  // control's own (WndProc); a component may put its own in front and call the one it replaced.
  TWndMethod WindowProc;
  // Sends a message through WindowProc at once; returns its result.
  intptr_t Perform(uint32_t Msg, intptr_t WParam = 0, intptr_t LParam = 0);
  // The control's own handling, as WindowProc starts (for a replacement that keeps no previous one).
  void DefaultWindowProc(TMessage& Message) { WndProc(Message); }
  // Asks the window procedure for the size limits (WM_GETMINMAXINFO) of a top-level window (or a
  // child window in its frame) and gives them to the window system, so they hold while the user
  // drags its edges; the present size is brought inside them.
  void UpdateSizeLimits();
  // The limits WindowProc answers now (no limits: 0 to a very large size).
  TMinMaxInfo QuerySizeLimits();

  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();
  // Lays out the aligned children inside the client area.
  void Realign();
  // Moves or stretches the children without alignment by their Anchors when the client area
  // grew by DX, DY (SetBounds calls it).
  void AnchorControls(int32_t DX, int32_t DY);

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

  // Keyboard and focus entry points (see the mouse ones).
  // KeyDown and KeyUp return false when a handler set the key to 0; KeyPress returns the
  // character after the handlers (0: swallowed).
  bool DispatchKeyDown(uint16_t Key, TShiftState Shift);
  bool DispatchKeyUp(uint16_t Key, TShiftState Shift);
  char DispatchKeyPress(char Key);
  void DispatchEnter();
  void DispatchExit();

protected:
  virtual void KeyDown(uint16_t& Key, TShiftState Shift);
  virtual void KeyUp(uint16_t& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  // Enter and Escape that the handlers leave go to the form's Default and Cancel buttons unless
  // the control keeps them (a memo keeps Enter for its new lines).
  virtual bool WantsKey(uint16_t /*Key*/) const { return false; }
  // A key that the focused control and the handlers left goes to the focused control, then to
  // each of its parents, as a dialog key (Enter on a button, Ctrl+Tab in a page control); true
  // when one took it. What none takes, the window acts on: Tab moves the focus, Enter and
  // Escape click the Default and Cancel buttons, Alt+letter runs an accelerator.
  virtual bool DialogKey(uint16_t /*Key*/, TShiftState /*Shift*/) { return false; }
  virtual void DoEnter();
  virtual void DoExit();
  // A sunken border of Width pixels (0: none) round a self-drawn control's client area; its
  // canvas, mouse coordinates and ClientRect are those of the area inside. A flat border is a
  // plain line in the window-frame colour instead, Width pixels thick.
  void SetFrameBorder(int Width, bool Flat = false);
  // A scroll bar along the right (sbVertical) or bottom edge inside the border, showing while
  // Max - Min >= Page; Position is kept in [Min, Max - Page + 1]. The user moving it calls
  // Scrolled.
  void SetScrollBar(int Kind, int Min, int Max, int Page, int Position);
  virtual void Scrolled(int /*Kind*/, int /*Position*/) {}
  // The user works a scroll bar: Code (SB_LINEUP .. SB_BOTTOM) says how, Position is where the
  // bar would move. Answering true keeps the bar where the control puts it with SetScrollBar;
  // false lets it move, and Scrolled follows.
  virtual bool ScrollRequested(int /*Kind*/, int /*Code*/, int /*Position*/) { return false; }

public:
  // Works a shown scroll bar as the user would (tests): SB_LINEUP .. SB_PAGEDOWN, SB_TOP,
  // SB_BOTTOM, or SB_THUMBPOSITION to Position. The bar's position afterwards (-1 without a bar).
  int WorkScrollBar(int Kind, int Code, int Position = 0);

protected:
  // A band of Pixels across the top of the window above the client area (a form's menu bar):
  // the canvas, mouse coordinates, ClientRect and the children's places start below it.
  void SetClientTopInset(int Pixels);
  // The control's own message handling (sizing and moving a top-level window take the window's
  // new bounds); other messages go to DefaultHandler.
  virtual void WndProc(TMessage& Message);
  virtual void DefaultHandler(TMessage& /*Message*/) {}
  // Hooks around making and destroying the window.
  virtual void CreateWnd();
  virtual void DestroyWnd();
  virtual void AlignControls(TRect& R);

public:
  // Streaming: the child controls owned by Root (and, for the root itself, its other components).
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
  void SetParent(TWinControl* AParent) override;

protected:
  friend class TControl;
  friend struct TControlAccess;
  std::vector<TControl*> FControls;
  std::vector<TWinControl*> FTabList;  // the windowed children in tab order
  bool FTabStop = false;
  int FAlignLevel = 0;
};

// A windowed control that paints itself on its Canvas.
class TCustomControl : public TWinControl {
  VM_CLASS(TCustomControl, TWinControl)
public:
  explicit TCustomControl(TComponent* AOwner);
  // Bound to the retained surface for the control's whole life.
  TCanvas* Canvas() const { return FSurfaceCanvas.get(); }
  TNotifyEvent OnPaint;

protected:
  void Paint() override;
};

// A control without a window of its own that paints itself on its Canvas.
class TGraphicControl : public TControl {
  VM_CLASS(TGraphicControl, TControl)
public:
  explicit TGraphicControl(TComponent* AOwner);
  TCanvas* Canvas() const { return FSurfaceCanvas.get(); }

protected:
  void Paint() override {}
};

// A graphic control that leaves its painting to OnPaint.
class TPaintBox : public TGraphicControl {
  VM_CLASS(TPaintBox, TGraphicControl)
public:
  explicit TPaintBox(TComponent* AOwner);
  TNotifyEvent OnPaint;

protected:
  void Paint() override;
};

// The mouse.
class TMouse {
public:
  TPoint CursorPos() const;
  void SetCursorPos(const TPoint& P);
  // The control that holds the mouse capture, or null.
  TControl* Capture() const { return FCapture; }
  void SetCapture(TControl* Value) { FCapture = Value; }
  int DragThreshold() const { return FDragThreshold; }
  void SetDragThreshold(int Value) { FDragThreshold = Value; }
  int WheelScrollLines() const { return 3; }
  bool MousePresent() const { return true; }

private:
  TControl* FCapture = nullptr;
  int FDragThreshold = 5;
};

extern TMouse* Mouse;

// Synthetic input delivered through the window system's event path (the control's window is
// made first). Value: the TMouseButton for button events, the wheel delta, or the key code.
enum TInputKind { ikMouseDown, ikMouseUp, ikMouseMove, ikDblClick, ikWheel, ikKeyDown, ikKeyUp, ikEnter, ikLeave };
void SendInput(TControl* Control, TInputKind Kind, TShiftState Shift, int X = 0, int Y = 0, int Value = 0);
// A key pressed and released as the user types it: to the control with the keyboard focus (or
// the active window when none has it).
void SendKey(TShiftState Shift, int Key);
// The control whose window (or a part of it) has the keyboard focus, or null.
TWinControl* FocusedControl();

// Queues a message for a windowed control (its window is made first): it goes through the
// control's WindowProc once the message loop gets to it, and is dropped when the control has gone
// by then. False without a control.
bool PostMessage(TWinControl* Control, uint32_t Msg, intptr_t WParam = 0, intptr_t LParam = 0);

// A hidden window that only receives messages: utility objects post requests to it, which the
// message loop hands to Method after the message being handled. Exceptions in Method are shown
// by the application. Messages still queued when it is freed are dropped.
class TMessageWindow {
public:
  explicit TMessageWindow(TWndMethod Method);
  ~TMessageWindow();
  TMessageWindow(const TMessageWindow&) = delete;
  TMessageWindow& operator=(const TMessageWindow&) = delete;
  void Post(uint32_t Msg, intptr_t WParam = 0, intptr_t LParam = 0);

private:
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};

// Moves and sizes a control's window as the window system would (a user dragging or resizing a
// form); the control learns its new bounds from the window, as with a real move.
void SendWindowGeometry(TControl* Control, int Left, int Top, int Width, int Height);

// Reads a control's surface pixel, or a pixel of what its native widget draws (tests and
// screenshots); CLR_INVALID when it has neither or the point is outside.
TColor ControlSurfacePixel(TControl* Control, int X, int Y);
// The device pixels of a control's retained surface ({0, 0} without one): the client area at
// the screen's pixel ratio. A pixel of it by device coordinates, CLR_INVALID outside.
TSize ControlSurfaceDeviceSize(TControl* Control);
TColor ControlSurfaceDevicePixel(TControl* Control, int X, int Y);
// A pixel of the control's whole window as the screen shows it (its frame and scroll bars, its
// children), in the control's own coordinates; CLR_INVALID outside or without a window.
TColor ControlWindowPixel(TControl* Control, int X, int Y);
// The device pixels inside Within (the control's coordinates) of the control's whole window that
// its painting leaves untouched: on a screen they would show whatever was there before.
int ControlWindowUnpaintedPixels(TControl* Control, const TRect& Within);
// The caption the window system shows for the window the control is in.
std::string ControlWindowCaption(TControl* Control);
