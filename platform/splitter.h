// A bar between a control aligned to the left and what fills the rest: dragging it makes that
// control wider or narrower.
#pragma once

#include "platform/controls.h"

class TSplitter : public TCustomControl {
  VM_CLASS(TSplitter, TCustomControl)
public:
  explicit TSplitter(TComponent* AOwner);

  // The narrowest the resized control and the rest of the parent may become.
  int MinSize = 30;
  // The control the bar resizes: the left-aligned sibling that ends where the bar begins.
  TControl* ResizedControl() const;
  // After a drag changed the width.
  TNotifyEvent OnMoved;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  TControl* FControl = nullptr;
  int FStartX = 0, FStartWidth = 0;
};
