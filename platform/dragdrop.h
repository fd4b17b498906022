// In-process drag and drop between controls. A control starts a drag with BeginDrag and a drag
// object that describes what travels; while the pointer moves (DragMove, screen coordinates)
// the control under it is asked, through its TDragTarget side, whether it accepts the object,
// and the source's cursor shows the answer; EndDrag drops the object on an accepting target and
// tells the source how the drag ended. Controls that take no part in drags simply do not derive
// from TDragTarget / TDragSource.
//
// A drag may show a picture under the pointer: a TDragImage (below) that the drag object
// answers from GetDragImage. BeginDrag shows it, DragMove moves it, EndDrag hides it; a control
// that drags without BeginDrag (a header inside one control) drives the TDragImage itself.
#pragma once

#include <memory>

#include "platform/controls.h"

class TBitmap;
class TDragImage;

enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };

// What is being dragged; descendants carry the payload.
class TDragObject : public TObject {
  VM_CLASS(TDragObject, TObject)
public:
  explicit TDragObject(TControl* ASource = nullptr) : Source(ASource) {}
  TControl* Source = nullptr;
  TPoint DragPos;                  // the pointer, screen coordinates
  TControl* DragTarget = nullptr;  // the control under the pointer that takes part in drags
  TPoint TargetPos;                // the pointer in the target's client coordinates
  bool Accepted = false;           // the target's last answer
  bool Dropped = false;
  // The cursor the source shows over a target that accepts (or not).
  virtual TCursor GetDragCursor(bool Accepted, int X, int Y) { return Accepted ? crDrag : crNoDrop; }
  // The picture that follows the pointer while this object travels (not owned), or null.
  virtual TDragImage* GetDragImage() { return nullptr; }
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

// The floating picture of a drag: a frameless top-level window that shows a bitmap with its hot
// spot under the pointer, lets every click and move through to the windows below and never
// takes the focus. Use:
//   TDragImage Image;
//   Image.SetImage(Bitmap, clFuchsia, TPoint(8, 8));  // copied; pixels of that colour see-through
//   Image.BeginDrag(ScreenPos);                        // shown at ScreenPos - hot spot
//   Image.DragMove(ScreenPos);                         // on every pointer move
//   { TDragImageHider hide(&Image); ...paint... }     // hidden while a window under it paints
//   Image.EndDrag();                                   // hidden; the picture is kept
// A drag object that answers the image from GetDragImage gets BeginDrag, DragMove and EndDrag
// from the drag functions above.
class TDragImage {
public:
  TDragImage();
  ~TDragImage();
  TDragImage(const TDragImage&) = delete;
  TDragImage& operator=(const TDragImage&) = delete;

  // A copy of Bitmap becomes the picture (an empty or missing bitmap clears it); pixels of
  // TransparentColor (clNone: none) show what is below. HotSpot: the pointer's place on it.
  void SetImage(TBitmap* Bitmap, TColor TransparentColor = clNone, TPoint HotSpot = TPoint(0, 0));
  TBitmap* Image() const;
  TColor TransparentColor() const { return FTransparentColor; }
  TPoint HotSpot() const { return FHotSpot; }
  void SetHotSpot(const TPoint& Value);

  // Starts following the pointer at ScreenPos (shown unless hidden or without a picture).
  void BeginDrag(const TPoint& ScreenPos);
  void DragMove(const TPoint& ScreenPos);
  void EndDrag();
  bool Dragging() const { return FDragging; }

  // Hides the window until the matching ShowImage; calls nest.
  void HideImage();
  void ShowImage();
  bool Hidden() const { return FHideCount > 0; }
  // The window is on the screen now.
  bool Showing() const;
  // Where the window is (or would be) on the screen.
  TRect ScreenRect() const;

private:
  void Update();
  void ApplyPicture();
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
  std::unique_ptr<TBitmap> FBitmap;
  TColor FTransparentColor = clNone;
  TPoint FHotSpot, FPos;
  bool FDragging = false;
  int FHideCount = 0;
};

// Hides a drag image (null: none) for the guard's lifetime.
class TDragImageHider {
public:
  explicit TDragImageHider(TDragImage* Image) : FImage(Image) {
    if (FImage) FImage->HideImage();
  }
  ~TDragImageHider() {
    if (FImage) FImage->ShowImage();
  }
  TDragImageHider(const TDragImageHider&) = delete;
  TDragImageHider& operator=(const TDragImageHider&) = delete;

private:
  TDragImage* FImage;
};
