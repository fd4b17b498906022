// See-through drawing: capture the pixels of an area, draw, then mix the capture back in.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/graphics.h"

class TGraphCanvas;

class TGraphBlend {
public:
  TGraphBlend(TGraphCanvas* Canvas, const TRect& Rect);
  ~TGraphBlend();
  TGraphBlend(const TGraphBlend&) = delete;
  TGraphBlend& operator=(const TGraphBlend&) = delete;

  // Sets the area and captures the pixels under it.
  void SetRectangle(const TRect& Rect);
  // Mixes Transparency percent of the captured background over what was drawn since.
  void DoBlend(int32_t Transparency);

  const TRect& Area() const { return FRect; }
  bool Valid() const { return FValid; }

private:
  TGraphCanvas* FCanvas;
  TRect FRect;
  bool FValid = false;
  std::unique_ptr<TBitmap> FCapture;
};

// Mixes Source into Dest at Position: P percent of Dest remains.
void BlendBitmaps(TBitmap* Source, TBitmap* Dest, const TPoint& Position, int32_t P);
