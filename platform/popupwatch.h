// Watches the mouse for a popup: a button pressed anywhere outside the popup (and outside the
// control it drops from, which handles its own clicks) calls the handler, once per press.
#pragma once

#include <functional>
#include <memory>

class TControl;

class TOutsideClickWatch {
public:
  TOutsideClickWatch(TControl* Popup, TControl* Owner, std::function<void()> OnOutside);
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
