// Two small guards of state: a store that reports a change, and the scope exit that puts
// things back when a block is left, by its end, a return or an exception.
#pragma once

#include <exception>
#include <utility>

// Stores Value in Field only when they differ and tells whether it did, so that a setter
// repaints or notifies only on a real change:
//   void TShape::SetColor(TColor Value) { if (StoreChanged(FColor, Value)) Invalidate(); }
template <class T, class U>
[[nodiscard]] bool StoreChanged(T& Field, U&& Value) {
  if (Field == Value) return false;
  Field = std::forward<U>(Value);
  return true;
}

// Runs Action when the scope is left:
//   BeginUpdate();
//   TScopeExit endUpdate([this] { EndUpdate(); });
// An Action that throws on a normal exit passes its error on; one that throws while an error
// is already on its way is silenced, so the first error is the one reported.
template <class F>
class TScopeExit {
public:
  explicit TScopeExit(F Action) : FAction(std::move(Action)), FUncaught(std::uncaught_exceptions()) {}
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;
  ~TScopeExit() noexcept(false) {
    if (!FActive) return;
    if (std::uncaught_exceptions() == FUncaught) {
      FAction();
      return;
    }
    try {
      FAction();
    } catch (...) {}
  }
  // The action will not run.
  void Release() { FActive = false; }

private:
  F FAction;
  int FUncaught;
  bool FActive = true;
};
