// Popup windows: a control shown as a frameless top-level window owned by another control's
// window, and a watch that tells when such a popup should close (a press outside it, its owner's
// window moving, the activation going elsewhere).
#pragma once

#include <functional>
#include <memory>

#include "platform/graphics.h"

class TControl;
class TWinControl;

// Watches the mouse for a popup: a button pressed anywhere outside the popup (and outside the
// control it drops from, which handles its own clicks) calls the handler, once per press. A press
// in a popup window owned by the popup counts as inside it.
// With WatchOwnerWindow the handler is also called when the top-level window of Owner moves or
// hides, and when the activation goes to a window that is neither that window nor the popup's
// (nor one owned by the popup), or leaves the application; the activation is judged after the
// change has settled, so a popup that hands the activation back to its owner is not closed.
class TOutsideClickWatch {
public:
  TOutsideClickWatch(TControl* Popup, TControl* Owner, std::function<void()> OnOutside, bool WatchOwnerWindow = false);
  ~TOutsideClickWatch();
  TOutsideClickWatch(const TOutsideClickWatch&) = delete;
  TOutsideClickWatch& operator=(const TOutsideClickWatch&) = delete;
  struct Impl;

private:
  std::unique_ptr<Impl> FImpl;
};

// Makes the top-level window that holds the control the active one, as the window system does
// for the window under a popup that closed.
void ActivateControlWindow(TControl* Control);

// Shows a control without a parent as a popup window: a frameless top-level window owned by the
// top-level window of Owner (kept above it, going with it), at the control's bounds taken as
// screen coordinates. With Activates the popup becomes the active window (a popup that takes the
// keyboard); otherwise showing it, or clicking in it, never takes the activation from the
// owner's window. TransparentForMouse: the mouse acts on the windows below it (a hint). The
// control's Visible is not changed.
void ShowPopupWindow(TWinControl* Popup, TControl* Owner, bool Activates, bool TransparentForMouse = false);
// Hides a popup window; when it was the active window, the window it belongs to becomes active
// again.
void HidePopupWindow(TWinControl* Popup);
// The control's window exists and is a top-level window (not inside another window).
bool IsTopLevelWindow(const TControl* Control);
// The control's window is on screen.
bool WindowShown(const TControl* Control);
// Where the control's whole window is on the screen (empty without a window).
TRect WindowScreenRect(const TControl* Control);
