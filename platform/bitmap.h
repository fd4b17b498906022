// Bitmaps: pixels in a chosen format, row access and a canvas that draws on them.
#pragma once

#include <cstdint>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/picture.h"

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

// Rows are laid out as device-independent bitmap rows, top row first: pf24bit is blue, green, red
// per pixel; pf32bit and pfDevice blue, green, red, unused; pf8bit one palette index; pf1bit
// eight pixels per byte, highest bit first; pf15bit and pf16bit 5-5-5 and 5-6-5 words; pf4bit two
// pixels per byte, high nibble first. Rows are padded to four bytes. A new bitmap is white.
class TBitmap : public TGraphic {
  VM_CLASS(TBitmap, TGraphic)
public:
  TBitmap();
  TBitmap(int32_t AWidth, int32_t AHeight, TPixelFormat Format = pfDevice);
  ~TBitmap() override;

  TCanvas* Canvas();
  bool Empty() const override;
  int32_t Width() const override;
  void SetWidth(int32_t Value) override;
  int32_t Height() const override;
  void SetHeight(int32_t Value) override;
  // Keeps the pixels that stay inside; new pixels are white.
  void SetSize(int32_t AWidth, int32_t AHeight);
  // Device pixels per logical pixel (1 by default): a bitmap drawn for a scaled screen holds its
  // logical Width by Height at the screen's pixels, its canvas draws in logical coordinates, and
  // a copy onto a canvas of the same ratio keeps every device pixel. ScanLine rows and
  // BytesPerScanLine are of the device pixels. A change clears the picture to white.
  double PixelRatio() const;
  void SetPixelRatio(double Value);

  TPixelFormat PixelFormat() const { return FPixelFormat; }
  // Converts the pixels.
  void SetPixelFormat(TPixelFormat Value);
  bool Monochrome() const { return FPixelFormat == pf1bit; }
  void SetMonochrome(bool Value);
  // The colours of a pf1bit, pf4bit or pf8bit bitmap's palette.
  std::vector<TColor> PaletteColors() const;
  void SetPaletteColors(const std::vector<TColor>& Colors);

  // Raises EInvalidGraphicOperation "Scan line index out of range" for a bad row.
  void* ScanLine(int32_t Row);
  int32_t BytesPerScanLine() const;

  TColor TransparentColor() const;
  void SetTransparentColor(TColor Value);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);

  void Assign(TPersistent* Source) override;
  // Windows bitmap files (.bmp) at 1, 4, 8, 16, 24 and 32 bits.
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  TGraphic* Clone() const override;
  // The bitmap resource of that name (see FindBitmapResource); raises EResNotFound
  // "Resource NAME not found" when there is none.
  void LoadFromResourceName(const std::string& ResName);
  // Kept for callers that free the handle side of a bitmap: nothing to do here.
  void Dormant() {}
  void FreeImage() {}

  struct Impl;
  Impl* GetImpl() const { return FImpl.get(); }

protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
  friend struct Impl;
  friend bool FindBitmapResource(const std::string& Name, TBitmap* Bitmap);
  std::unique_ptr<Impl> FImpl;
  TPixelFormat FPixelFormat = pfDevice;
  TTransparentMode FTransparentMode = tmAuto;
  TColor FTransparentColor = clDefault;
};

// A copy of a bitmap's pixels, byte for byte, that can be put back into the bitmap later: for a
// picture redrawn in layers, whose lower layers stay the same. Putting it back leaves the
// bitmap's canvas with its pen, brush, font and clipping.
class TBitmapSnapshot {
public:
  TBitmapSnapshot();
  ~TBitmapSnapshot();
  TBitmapSnapshot(const TBitmapSnapshot&) = delete;
  TBitmapSnapshot& operator=(const TBitmapSnapshot&) = delete;

  // Copies the pixels Source holds now, pending drawing included.
  void Take(TBitmap* Source);
  // Puts the copy back into Dest and returns true when Dest has the size, format and pixel ratio
  // the copy was taken at; otherwise returns false and leaves Dest alone.
  bool RestoreTo(TBitmap* Dest) const;
  void Clear();
  bool Empty() const;

private:
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};

// Named bitmap resources of the program; names ignore letter case. A registered name comes before
// the program's built-in resources (":/bitmaps/NAME.bmp" or ".png").
// Registers a copy of Image (nullptr or an empty bitmap removes the name).
void RegisterBitmapResource(const std::string& Name, TBitmap* Image);
// A picture file or its bytes in a format the image readers know (BMP, PNG, JPEG, ...): a file
// that cannot be opened raises EFOpenError, data that does not decode EInvalidGraphic.
void RegisterBitmapResourceFile(const std::string& Name, const std::string& FileName);
void RegisterBitmapResourceData(const std::string& Name, const void* Data, size_t Size);
void UnregisterBitmapResource(const std::string& Name);
// Copies the resource into Bitmap and returns true; false, Bitmap unchanged, when there is none.
bool FindBitmapResource(const std::string& Name, TBitmap* Bitmap);
