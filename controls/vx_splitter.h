// A thin bar between two aligned controls of one parent; dragging it resizes one of them while an
// exclusive-or line on the parent form shows where the bar will go.
#pragma once

#include <functional>

#include "platform/controls.h"
#include "platform/extctrls.h"

class TForm;

using TSplitterMoveEvent = std::function<void(TObject* Sender, int X, int Y, bool& AllowChange)>;

class TVxSplitter : public TCustomPanel {
  VM_CLASS(TVxSplitter, TCustomPanel)
public:
  // What a drag resizes: 0 nothing, 1/2 the first/second control's height, 3/4 their width.
  enum TSplitKind { skNone = 0, skFirstHeight = 1, skSecondHeight = 2, skFirstWidth = 3, skSecondWidth = 4 };
  enum TLineMode { lmDraw, lmErase, lmMove };

  explicit TVxSplitter(TComponent* AOwner);
  ~TVxSplitter() override;

  TControl* ControlFirst() const { return FControlFirst; }
  void SetControlFirst(TControl* Value);
  TControl* ControlSecond() const { return FControlSecond; }
  void SetControlSecond(TControl* Value);
  TAlign Align() const { return TControl::Align(); }
  void SetAlign(TAlign Value);
  int TopLeftLimit() const { return FTopLeftLimit; }
  void SetTopLeftLimit(int Value) { FTopLeftLimit = Value; }
  int BottomRightLimit() const { return FBottomRightLimit; }
  void SetBottomRightLimit(int Value) { FBottomRightLimit = Value; }
  // The older layout property: reading it sets both limits; it is never written.
  void SetLimitOffset(int Value) { FTopLeftLimit = FBottomRightLimit = Value; }

  // The cursor of the current kind: split cursors for kinds 1 to 4, the default one for 0.
  TCursor GetCursor() const;
  TSplitKind ComputeSplitKind() const;
  // The first control of the parent whose bounds hold the point just outside the aligned side.
  TControl* FindAdjacentControl() const;
  bool Sizing() const { return FSizing; }
  bool NoDrop() const { return FNoDrop; }
  // The tracking line while sizing: a bar in the parent form above its other controls, painted
  // in the inverse of the form's colour; null when no line is shown.
  TControl* TrackLine() const { return FTrackLine; }

  TNotifyEvent OnPosChanged;
  TSplitterMoveEvent OnPosChanging;

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DefineProperties(TFiler* Filer) override;
  void Loaded() override;

private:
  void SetControl(TControl*& Field, TControl* Value);
  void UpdateCursor() { TControl::SetCursor(GetCursor()); }
  void HandleKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);
  void BeginTracking();
  void EndTracking();
  void TrackTo(int X, int Y, bool Allow);
  void ClampPosition(int& X, int& Y) const;
  void MoveLine(int X, int Y, TLineMode Mode);
  void DrawLine(const TPoint& P);
  void StopSizing(int X, int Y, bool Apply);

  TControl* FControlFirst = nullptr;
  TControl* FControlSecond = nullptr;
  int FTopLeftLimit = 20;
  int FBottomRightLimit = 20;
  bool FSizing = false;
  TSplitKind FSplitKind = skNone;
  TPoint FLastPoint;  // screen coordinates
  TPoint FGrab;       // mouse position inside the splitter when the drag began
  bool FNoDrop = false;
  TRect FLimitRect;  // splitter coordinates
  TForm* FForm = nullptr;
  TCustomControl* FTrackLine = nullptr;
  int FLineWidth = 2;
  TWinControl* FKeyControl = nullptr;
  bool FSavedShowHint = false;
  TKeyEvent FSavedKeyDown;
};
