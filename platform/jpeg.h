// JPEG images read and written through libjpeg.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/picture.h"

// The largest picture read, in pixels (width x height as the header claims them); a larger one
// is refused with EInvalidGraphic before it is decoded.
constexpr int64_t JPEGMaxPixels = int64_t(1) << 26;

enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
enum TJPEGPerformance { jpBestQuality, jpBestSpeed };

class TJPEGImage : public TGraphic {
  VM_CLASS(TJPEGImage, TGraphic)
public:
  TJPEGImage();
  ~TJPEGImage() override;

  bool Empty() const override;
  int32_t Width() const override;
  int32_t Height() const override;
  // The size follows the image: raises EInvalidGraphicOperation "Cannot change the size of a JPEG image".
  void SetWidth(int32_t Value) override;
  void SetHeight(int32_t Value) override;

  // 1..100, used when the image is compressed (saving after assigning a bitmap).
  int32_t CompressionQuality() const { return FQuality; }
  void SetCompressionQuality(int32_t Value);
  bool Grayscale() const { return FGrayscale; }
  void SetGrayscale(bool Value);
  bool ProgressiveEncoding() const { return FProgressive; }
  void SetProgressiveEncoding(bool Value) { FProgressive = Value; }
  TJPEGScale Scale() const { return FScale; }
  void SetScale(TJPEGScale Value);
  TJPEGPerformance Performance() const { return FPerformance; }
  void SetPerformance(TJPEGPerformance Value);
  bool Smoothing() const { return FSmoothing; }
  void SetSmoothing(bool Value) { FSmoothing = Value; }

  // Makes the compressed data from the bitmap (after Assign of a bitmap or a quality change).
  void Compress();
  // Decodes the compressed data into the bitmap. A damaged stream raises EInvalidGraphic.
  void DIBNeeded();
  void JPEGNeeded() {
    if (FData.empty()) Compress();
  }

  void Assign(TPersistent* Source) override;
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) override;
  TGraphic* Clone() const override;

protected:
  void AssignTo(TPersistent* Dest) override;
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
  void ReadHeader();
  std::string FData;                 // the compressed image
  std::unique_ptr<TBitmap> FBitmap;  // the decoded image
  int32_t FWidth = 0, FHeight = 0;
  int32_t FQuality = 90;
  bool FGrayscale = false;
  bool FProgressive = false;
  bool FSmoothing = true;
  TJPEGScale FScale = jsFullSize;
  TJPEGPerformance FPerformance = jpBestQuality;
};
