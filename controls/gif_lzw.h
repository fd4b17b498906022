// The variable-length LZW coder of GIF pictures, between compressed frame data (code size byte,
// data sub-blocks, terminator) and device-independent pixel rows of 1, 4 or 8 bits per pixel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class TStream;

enum TProgressStage { psStarting, psRunning, psEnding };

// Stage, percent done and, at an ending caused by an exception, its message.
using TGIFProgress = std::function<void(TProgressStage Stage, int PercentDone, const std::string& Msg)>;

// Bytes of one pixel row: ((Width x Depth + 31) div 32) x 4.
int64_t DibRowSize(int32_t Width, int Depth);

// The row after Row in interlace order (0, 8, 16, ..., 4, 12, ..., 2, 6, ..., 1, 3, 5, ...); a
// row at or beyond Height ends the image.
int32_t NextInterlacedRow(int32_t Row, int32_t Height, int& Pass);

// Decodes Data (read from its start) into Bits, a zeroed buffer of Height rows of DibRowSize
// bytes, bottom row first. ColourBits (1..8) limits the pixel values. Damaged is set (never
// cleared) when the data had to be repaired or decoding gave up. Without AllowDamaged, bad data
// raises EInvalidGraphicOperation.
void DecodeLzw(TStream& Data, int32_t Width, int32_t Height, int Depth, bool Interlaced, const TGIFProgress& Progress,
               bool& Damaged, uint8_t* Bits, size_t BitsSize, int ColourBits, bool AllowDamaged);

// Appends the code size byte, the compressed sub-blocks and the terminator for the rows in Bits
// (laid out as for DecodeLzw) to Stream.
void EncodeLzw(TStream& Stream, int32_t Width, int32_t Height, int Depth, bool Interlaced, const TGIFProgress& Progress,
               const uint8_t* Bits, size_t BitsSize);
