// Small guards of state: a store that reports a change, the scope exit that puts things back
// when a block is left (by its end, a return or an exception), the undo run only when it is left
// by an exception, an update bracket held for a scope, and a value set for a scope.
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

// Runs Action only when the scope is left by an exception: the undo of a step that failed, where
// success goes on differently. The error goes on its way afterwards; an Action that throws then
// is silenced, so the first error is the one reported.
//   TScopeFail closePopup([this] { ClosePopup(); });
template <class F>
class TScopeFail {
public:
  explicit TScopeFail(F Action) : FAction(std::move(Action)), FUncaught(std::uncaught_exceptions()) {}
  TScopeFail(const TScopeFail&) = delete;
  TScopeFail& operator=(const TScopeFail&) = delete;
  ~TScopeFail() {
    if (std::uncaught_exceptions() == FUncaught) return;
    try {
      FAction();
    } catch (...) {}
  }

private:
  F FAction;
  int FUncaught;
};

// Holds an object's update bracket for the scope: BeginUpdate now, EndUpdate when the scope is
// left, whichever way (an EndUpdate that throws while an error is on its way is silenced). A
// null target brackets nothing, for updates that are bracketed only sometimes:
//   TUpdateLock lock(Strings);
//   TUpdateLock outer(FLockUpdate == 0 ? this : nullptr);
template <class T>
class TUpdateLock {
public:
  explicit TUpdateLock(T* ATarget) : FTarget(ATarget), FUncaught(std::uncaught_exceptions()) {
    if (FTarget) FTarget->BeginUpdate();
  }
  TUpdateLock(const TUpdateLock&) = delete;
  TUpdateLock& operator=(const TUpdateLock&) = delete;
  ~TUpdateLock() noexcept(false) {
    if (!FTarget) return;
    if (std::uncaught_exceptions() == FUncaught) {
      FTarget->EndUpdate();
      return;
    }
    try {
      FTarget->EndUpdate();
    } catch (...) {}
  }

private:
  T* FTarget;
  int FUncaught;
};

// Sets Ref to Value for the scope and gives it back its old value when the scope is left:
//   TRestore<bool> collapsing(FCollapsing, true);
template <class T>
class TRestore {
public:
  TRestore(T& ARef, T Value) : FRef(ARef), FOld(std::move(ARef)) { FRef = std::move(Value); }
  ~TRestore() { FRef = std::move(FOld); }
  TRestore(const TRestore&) = delete;
  TRestore& operator=(const TRestore&) = delete;

private:
  T& FRef;
  T FOld;
};
