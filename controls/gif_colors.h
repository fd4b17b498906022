// Turning a bitmap into a bitmap file of 1, 4 or 8 bits per pixel, reducing true-colour pixels to
// a palette of at most 256 colours.
#pragma once

#include <cstdint>
#include <memory>

class TBitmap;
class TMemoryStream;

enum TColorReduction {
  crHistogram,  // the most frequent colours
  crMedianCut,  // one colour per box of the median cut
  crLevels784,  // fixed levels 7 x 8 x 4 (red, green, blue): 224 colours
  crLevels666,  // fixed levels 6 x 6 x 6: 216 colours
  crTriple,     // one channel per pixel, three ramps of 64 levels
  crGray        // 256 grays
};

// The method used for true-colour frames that are not gray (process-wide, read at each use).
extern TColorReduction DefaultColorReduction;

// A bitmap file with Depth (1, 4, 8 or 24) bits per pixel, positioned at 0. An empty bitmap
// raises EInvalidGraphic "Bitmap image is not valid"; another depth shows "Функция не реализована"
// and ends with a silent abort.
std::unique_ptr<TMemoryStream> ReduceToBitmapStream(TBitmap* Bitmap, int Depth, TColorReduction Method);

// Index of the nearest level of 4, 6, 7 or 8 equally spread levels for a byte value (the lower
// level on a tie).
uint8_t NearestLevel(int Levels, uint8_t Value);
