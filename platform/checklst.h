// A list box whose lines carry a check box: checked, unchecked or, where allowed, grayed (part of
// what the line stands for is on). A click on the box or the space bar steps the state.
#pragma once

#include <vector>

#include "platform/stdctrls.h"

class TCheckListBox : public TListBox {
  VM_CLASS(TCheckListBox, TListBox)
public:
  explicit TCheckListBox(TComponent* AOwner);

  // Raise EListError "List index out of bounds (%d)" for a bad index.
  TCheckBoxState State(int Index) const;
  void SetState(int Index, TCheckBoxState Value);
  bool Checked(int Index) const { return State(Index) == cbChecked; }
  void SetChecked(int Index, bool Value) { SetState(Index, Value ? cbChecked : cbUnchecked); }
  // The user may step a line into the grayed state (checked, grayed, unchecked in turn).
  bool AllowGrayed = false;
  // The box of a line, in client coordinates.
  TRect CheckRect(int Index) const;

  // The user changed a line's state.
  TNotifyEvent OnClickCheck;

protected:
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void ItemsChanged() override;

private:
  void Toggle(int Index);
  // A state belongs to a line's place: lines added later start unchecked, and a list refilled
  // after clearing starts all unchecked.
  std::vector<TCheckBoxState> FStates;
};
