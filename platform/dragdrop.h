// In-process drag and drop between controls. A control starts a drag with BeginDrag and a drag
// object that describes what travels; while the pointer moves (DragMove, screen coordinates)
// the control under it is asked, through its TDragTarget side, whether it accepts the object,
// and the source's cursor shows the answer; EndDrag drops the object on an accepting target and
// tells the source how the drag ended. Controls that take no part in drags simply do not derive
// from TDragTarget / TDragSource.
#pragma once

#include <memory>

#include "platform/controls.h"

enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// What is being dragged; descendants carry the payload.
class TDragObject : public TObject {
  VM_CLASS(TDragObject, TObject)
public:
  explicit TDragObject(TControl* ASource = nullptr) : Source(ASource) {}
  TControl* Source = nullptr;
  TPoint DragPos;                // the pointer, screen coordinates
  TControl* DragTarget = nullptr;  // the control under the pointer that takes part in drags
  TPoint TargetPos;              // the pointer in the target's client coordinates
  bool Accepted = false;         // the target's last answer
  bool Dropped = false;
  // The cursor the source shows over a target that accepts (or not).
  virtual TCursor GetDragCursor(bool Accepted, int X, int Y) { return Accepted ? crDrag : crNoDrop; }
};

// A control that can receive dragged objects.
class TDragTarget {
public:
  virtual ~TDragTarget() = default;
  // Asked as the pointer enters, moves over and leaves the control (X, Y client coordinates).
  virtual void DragOver(TDragObject* Source, int X, int Y, TDragState State, bool& Accept) = 0;
  virtual void DragDrop(TDragObject* Source, int X, int Y) = 0;
};

// A control that starts drags; told how each ended (Target null when nothing took the object).
class TDragSource {
public:
  virtual ~TDragSource() = default;
  virtual void DragEnded(TDragObject* Object, TControl* Target, int X, int Y) = 0;
};

// Starts a drag of Object (the drag keeps it until it ends). A drag still running is cancelled.
void BeginDrag(std::unique_ptr<TDragObject> Object);
// The pointer moved to a screen point: the target under it is asked; answers whether it accepts.
bool DragMove(const TPoint& ScreenPos);
// Ends the running drag: drops on the target when Drop and it accepted, then tells the source.
void EndDrag(bool Drop);
// The running drag's object, or null.
TDragObject* DragObject();
bool Dragging();
// The control under a screen point that takes part in drags (the deepest one), or null.
TControl* FindDragTarget(const TPoint& ScreenPos);
// A control going away: a drag it started ends without a drop; a drag over it forgets it.
void DragControlDestroyed(TControl* Control);
