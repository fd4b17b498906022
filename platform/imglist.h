// A list of equally sized images with transparency, drawn by index.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/component.h"
#include "platform/graphics.h"

class TBitmap;
class TCanvas;

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

private:
  void CheckIndex(int Index) const;
  void Change();
  int32_t FWidth = 16, FHeight = 16;
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};
