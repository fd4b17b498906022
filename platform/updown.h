// An up-down control: two arrow buttons that step a position within [Min, Max] and show it in
// an associated edit.
#pragma once

#include <functional>

#include "platform/controls.h"

class TCustomEdit;

enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;

class TUpDown : public TCustomControl {
  VM_CLASS(TUpDown, TCustomControl)
public:
  explicit TUpDown(TComponent* AOwner);

  int Min() const { return FMin; }
  void SetMin(int Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  int Increment() const { return FIncrement; }
  void SetIncrement(int Value) { FIncrement = Value; }
  // A step past one end goes on from the other end instead of stopping.
  bool Wrap() const { return FWrap; }
  void SetWrap(bool Value) { FWrap = Value; }
  int Position() const { return FPosition; }
  // Kept inside [Min, Max]; the associated edit shows the new position.
  void SetPosition(int Value);
  // The edit that shows the position; typing a number there moves the position.
  TCustomEdit* Associate() const { return FAssociate; }
  void SetAssociate(TCustomEdit* Value);
  // One step up (btNext) or down (btPrev), as a click on that button.
  void Click(TUDBtnType Button);

  // Before a step: clearing AllowChange refuses it.
  std::function<void(TObject* Sender, bool& AllowChange)> OnChanging;
  TUDClickEvent OnClick;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void ShowPosition();
  int FMin = 0, FMax = 100, FIncrement = 1, FPosition = 0;
  TCustomEdit* FAssociate = nullptr;
  bool FShowing = false;
  bool FWrap = false;
};
