// A list of equally sized images with transparency, drawn by index.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/component.h"
#include "platform/graphics.h"

class TBitmap;
class TCanvas;
class TImageList;

// Hears the changes of one image list; a holder of several lists keeps one link per list and
// tells them apart by Sender. A list that is freed leaves its links with no Sender.
class TChangeLink {
public:
  TChangeLink() = default;
  ~TChangeLink();
  TChangeLink(const TChangeLink&) = delete;
  TChangeLink& operator=(const TChangeLink&) = delete;
  TImageList* Sender() const { return FSender; }
  TNotifyEvent OnChange;
  void Change();

private:
  friend class TImageList;
  TImageList* FSender = nullptr;
};

class TImageList : public TComponent {
  VM_CLASS(TImageList, TComponent)
public:
  explicit TImageList(TComponent* AOwner);
  ~TImageList() override;

  int32_t Width() const { return FWidth; }
  int32_t Height() const { return FHeight; }
  // Changing the size clears the list.
  void SetWidth(int32_t Value);
  void SetHeight(int32_t Value);
  int Count() const;

  // Adds the image, cut into Width-wide pieces when it holds several side by side; Mask (may be
  // null) is white where the image is transparent. Returns the index of the first piece, or -1
  // for an empty image.
  int Add(TBitmap* Image, TBitmap* Mask);
  // The same with every pixel of MaskColor transparent.
  int AddMasked(TBitmap* Image, TColor MaskColor);
  // Raises EInvalidOperation "Invalid image list index" for a bad index (here and below).
  void Delete(int Index);
  void Replace(int Index, TBitmap* Image, TBitmap* Mask);
  void Clear();
  // Draws image Index with its top left at X, Y; a disabled image is drawn grayed.
  void Draw(TCanvas* Canvas, int32_t X, int32_t Y, int Index, bool Enabled = true);
  // Copies image Index into Image (resized to Width x Height), its transparent pixels in the
  // bitmap's canvas brush colour.
  void GetBitmap(int Index, TBitmap* Image);

  TNotifyEvent OnChange;
  // The link hears every change of this list until it is unregistered or either is freed.
  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);

private:
  void CheckIndex(int Index) const;
  void Change();
  void SizeChanged();
  int32_t FWidth = 16, FHeight = 16;
  std::vector<TChangeLink*> FLinks;
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};
