#include "controls/gif_lzw.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/exceptions.h"
#include "platform/streams.h"

namespace {

const char* const kBadData = "Неверные данные в формате GIF";
const char* const kBadCodeSize = "Размер кода GIF не принадлежит диапазону от 2 до 9";

constexpr int kMaxCodes = 4096;
constexpr int kMaxBits = 12;
constexpr int kStackSize = kMaxCodes + 2;
constexpr uint32_t kHashSize = 17777;

void Report(const TGIFProgress& Progress, TProgressStage Stage, int Percent, const std::string& Msg = {}) {
  if (Progress) Progress(Stage, Percent, Msg);
}

void CheckBuffer(int32_t Width, int32_t Height, int Depth, size_t BitsSize) {
  if (Width < 0 || Height < 0 || (Depth != 1 && Depth != 4 && Depth != 8)) throw EInvalidGraphicOperation(kBadData);
  if (static_cast<uint64_t>(DibRowSize(Width, Depth)) * static_cast<uint64_t>(Height) > BitsSize)
    throw EInvalidGraphicOperation(kBadData);
}

// Codes packed least significant bit first across the data sub-blocks.
class TCodeReader {
public:
  TCodeReader(const uint8_t* Data, size_t Size) : FData(Data), FSize(Size), FPos(1) {}

  // -1 when the data ends before a whole code.
  int Next(int Width) {
    while (FCount < Width) {
      int b = NextByte();
      if (b < 0) return -1;
      FBits |= static_cast<uint32_t>(b) << FCount;
      FCount += 8;
    }
    int code = static_cast<int>(FBits & ((1u << Width) - 1));
    FBits >>= Width;
    FCount -= Width;
    return code;
  }
  size_t Position() const { return FPos; }

private:
  int NextByte() {
    while (FLeft == 0) {
      if (FPos >= FSize) return -1;
      FLeft = FData[FPos++];  // a zero size byte is skipped like an empty block
    }
    if (FPos >= FSize) {
      FLeft = 0;
      return -1;
    }
    --FLeft;
    return FData[FPos++];
  }

  const uint8_t* FData;
  size_t FSize;
  size_t FPos;
  int FLeft = 0;
  uint32_t FBits = 0;
  int FCount = 0;
};

// Stores decoded pixel values row by row.
class TPixelWriter {
public:
  TPixelWriter(uint8_t* Bits, int32_t Width, int32_t Height, int Depth, bool Interlaced)
      : FBits(Bits),
        FWidth(Width),
        FHeight(Height),
        FDepth(Depth),
        FInterlaced(Interlaced),
        FRowSize(DibRowSize(Width, Depth)) {
    SetRow(Width > 0 ? 0 : Height);
  }
  bool Done() const { return FRow >= FHeight; }
  void Put(unsigned Value) {
    if (FRow >= FHeight) return;
    switch (FDepth) {
      case 1: {
        uint8_t& b = FLine[FX >> 3];
        unsigned shift = 7 - (FX & 7);
        if ((FX & 7) == 0)
          b = static_cast<uint8_t>((Value & 1) << 7);
        else
          b = static_cast<uint8_t>(b | ((Value & 1) << shift));
        break;
      }
      case 4: {
        uint8_t& b = FLine[FX >> 1];
        if ((FX & 1) == 0)
          b = static_cast<uint8_t>((Value & 15) << 4);
        else
          b = static_cast<uint8_t>(b | (Value & 15));
        break;
      }
      default:
        FLine[FX] = static_cast<uint8_t>(Value);
        break;
    }
    if (++FX >= FWidth) {
      FX = 0;
      SetRow(FInterlaced ? NextInterlacedRow(FRow, FHeight, FPass) : FRow + 1);
    }
  }

private:
  void SetRow(int32_t Row) {
    FRow = Row;
    FLine = Row < FHeight ? FBits + static_cast<int64_t>(FHeight - 1 - Row) * FRowSize : nullptr;
  }
  uint8_t* FBits;
  int32_t FWidth, FHeight;
  int FDepth;
  bool FInterlaced;
  int64_t FRowSize;
  int32_t FX = 0, FRow = 0;
  int FPass = 0;
  uint8_t* FLine = nullptr;
};

// Collects codes into 255-byte data sub-blocks.
class TCodeWriter {
public:
  explicit TCodeWriter(TStream& S) : FStream(S) {}
  void Put(int Code, int Width) {
    FBits |= static_cast<uint32_t>(Code) << FCount;
    FCount += Width;
    while (FCount >= 8) {
      FBlock[1 + FLen++] = static_cast<uint8_t>(FBits & 0xFF);
      FBits >>= 8;
      FCount -= 8;
      if (FLen == 255) WriteBlock();
    }
  }
  void Flush() {
    if (FCount > 0) FBlock[1 + FLen++] = static_cast<uint8_t>(FBits & 0xFF);
    FBits = 0;
    FCount = 0;
    if (FLen > 0) WriteBlock();
    uint8_t zero = 0;
    FStream.WriteBuffer(&zero, 1);
  }

private:
  void WriteBlock() {
    FBlock[0] = static_cast<uint8_t>(FLen);
    FStream.WriteBuffer(FBlock, FLen + 1);
    FLen = 0;
  }
  TStream& FStream;
  uint8_t FBlock[256] = {};
  int FLen = 0;
  uint32_t FBits = 0;
  int FCount = 0;
};

}  // namespace

int64_t DibRowSize(int32_t Width, int Depth) { return ((static_cast<int64_t>(Width) * Depth + 31) / 32) * 4; }

int32_t NextInterlacedRow(int32_t Row, int32_t Height, int& Pass) {
  int32_t step = Pass <= 1 ? 8 : Pass == 2 ? 4 : 2;
  int32_t r = Row + step;
  while (r >= Height) {
    switch (Pass) {
      case 0:
        Pass = 1;
        r = 4;
        break;
      case 1:
        Pass = 2;
        r = 2;
        break;
      case 2:
        Pass = 3;
        r = 1;
        break;
      default:
        return r;
    }
  }
  return r;
}

void DecodeLzw(TStream& Data, int32_t Width, int32_t Height, int Depth, bool Interlaced, const TGIFProgress& Progress,
               bool& Damaged, uint8_t* Bits, size_t BitsSize, int ColourBits, bool AllowDamaged) {
  bool damaged = false;
  Report(Progress, psStarting, 0);
  try {
    CheckBuffer(Width, Height, Depth, BitsSize);
    if (ColourBits < 1 || ColourBits > 8) throw EInvalidGraphicOperation(kBadData);
    Data.SetPosition(0);
    const std::string data = Data.ReadAll();
    const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
    if (data.empty()) {
      if (!AllowDamaged) throw EInvalidGraphicOperation(kBadData);
      damaged = true;
    } else {
      int m = bytes[0];
      if (m < 2 || m > 9) {
        if (!AllowDamaged) throw EInvalidGraphicOperation(kBadCodeSize);
        damaged = true;
        m = std::clamp(m, 2, 9);
      }
      const unsigned colourMask = (1u << ColourBits) - 1;
      const int clearCode = 1 << m;
      const int endCode = clearCode + 1;
      int width = m + 1;
      int limit = 1 << width;
      int nextFree = clearCode + 2;
      bool tableFull = false;
      int oldCode = 0;
      unsigned first = 0;
      auto prefix = std::make_unique<uint16_t[]>(kMaxCodes);
      auto suffix = std::make_unique<uint16_t[]>(kMaxCodes);
      auto stack = std::make_unique<uint16_t[]>(kStackSize);
      std::fill_n(prefix.get(), kMaxCodes, 0);
      std::fill_n(suffix.get(), kMaxCodes, 0);
      TCodeReader reader(bytes, data.size());
      TPixelWriter out(Bits, Width, Height, Depth, Interlaced);
      int lastPercent = -1;

      int code = reader.Next(width);
      bool stop = false;
      bool fresh = true;
      while (!stop && code >= 0 && code != endCode && !out.Done()) {
        if (code == clearCode) {
          width = m + 1;
          limit = 1 << width;
          nextFree = clearCode + 2;
          tableFull = false;
          // A run of clear codes counts as one; nothing after it ends the image.
          do code = reader.Next(width);
          while (code == clearCode);
          if (code < 0 || code == endCode) break;
          oldCode = code;
          first = static_cast<unsigned>(code) & colourMask;
          out.Put(first);
        } else if (damaged) {
          break;
        } else if (fresh) {
          // Data without a leading clear code starts as if it had one.
          oldCode = code;
          first = static_cast<unsigned>(code) & colourMask;
          out.Put(first);
        } else {
          const int inCode = code;
          int sp = 0;
          auto push = [&](unsigned V) {
            if (sp > kMaxCodes) {
              if (!AllowDamaged) throw EInvalidGraphicOperation(kBadData);
              damaged = true;
              return false;
            }
            stack[sp++] = static_cast<uint16_t>(V);
            return true;
          };
          if (code >= nextFree) {
            code = oldCode;
            push(first);
          }
          while (!damaged && static_cast<unsigned>(code) > colourMask) {
            if (!push(suffix[code])) break;
            code = prefix[code];
          }
          if (damaged) {
            stop = true;
            continue;
          }
          first = static_cast<unsigned>(code) & colourMask;
          if (!push(first)) {
            stop = true;
            continue;
          }
          while (sp > 0) out.Put(stack[--sp]);
          if (!tableFull) {
            prefix[nextFree] = static_cast<uint16_t>(oldCode);
            suffix[nextFree] = static_cast<uint16_t>(first);
            ++nextFree;
            if (nextFree >= limit) {
              if (width < kMaxBits) {
                ++width;
                limit <<= 1;
              } else {
                tableFull = true;
              }
            }
          }
          oldCode = inCode;
        }
        fresh = false;
        code = reader.Next(width);
        int percent = static_cast<int>(
            std::nearbyint(100.0 * static_cast<double>(reader.Position()) / static_cast<double>(data.size())));
        if (percent != lastPercent) {
          lastPercent = percent;
          Report(Progress, psRunning, percent);
        }
      }
    }
  } catch (const std::exception& E) {
    Report(Progress, psEnding, 0, E.what());
    throw;
  }
  if (damaged) Damaged = true;
  Report(Progress, psEnding, 100);
}

void EncodeLzw(TStream& Stream, int32_t Width, int32_t Height, int Depth, bool Interlaced, const TGIFProgress& Progress,
               const uint8_t* Bits, size_t BitsSize) {
  Report(Progress, psStarting, 0);
  try {
    CheckBuffer(Width, Height, Depth, BitsSize);
    const int w0 = Depth == 1 ? 3 : Depth + 1;
    const int m = w0 - 1;
    const uint8_t codeSize = static_cast<uint8_t>(m);
    Stream.WriteBuffer(&codeSize, 1);
    const int clearCode = 1 << m;
    const int endCode = clearCode + 1;
    int lastCode = endCode;
    int limit = 1 << w0;
    int width = w0;

    std::vector<int16_t> table(kHashSize, -1);
    auto dictPrefix = std::make_unique<uint16_t[]>(kMaxCodes);
    auto dictSuffix = std::make_unique<uint8_t[]>(kMaxCodes);
    TCodeWriter out(Stream);
    out.Put(clearCode, width);

    const int64_t rowSize = DibRowSize(Width, Depth);
    int tail = 0;
    int length = 0;
    uint64_t hash = 0;
    int pass = 0;
    int32_t row = Height > 0 ? 0 : Height;
    for (int32_t done = 0; done < Height && row < Height; ++done) {
      const uint8_t* line = Bits + static_cast<int64_t>(Height - 1 - row) * rowSize;
      for (int32_t x = 0; x < Width; ++x) {
        int p;
        switch (Depth) {
          case 1:
            p = (line[x >> 3] >> (7 - (x & 7))) & 1;
            break;
          case 4:
            p = (x & 1) ? line[x >> 1] & 15 : line[x >> 1] >> 4;
            break;
          default:
            p = line[x];
            break;
        }
        ++length;
        if (length == 1) {
          tail = p;
          hash = static_cast<uint64_t>(p + 3) * 301;
          continue;
        }
        hash = static_cast<uint64_t>(p + length + 4) * hash;
        uint32_t slot = static_cast<uint32_t>(hash % kHashSize);
        hash = slot;
        int entry;
        while ((entry = table[slot]) >= 0 && !(dictPrefix[entry] == tail && dictSuffix[entry] == p))
          slot = slot + 1 == kHashSize ? 0 : slot + 1;
        if (entry >= 0) {
          tail = entry;
          continue;
        }
        out.Put(tail, width);
        ++lastCode;
        dictPrefix[lastCode] = static_cast<uint16_t>(tail);
        dictSuffix[lastCode] = static_cast<uint8_t>(p);
        table[slot] = static_cast<int16_t>(lastCode);
        tail = p;
        hash = static_cast<uint64_t>(p + 3) * 301;
        length = 1;
        if (lastCode >= limit) {
          limit <<= 1;
          ++width;
        } else if (lastCode >= kMaxCodes - 2) {
          out.Put(tail, width);
          out.Put(clearCode, width);
          length = 0;
          lastCode = endCode;
          width = w0;
          limit = 1 << w0;
          std::fill(table.begin(), table.end(), static_cast<int16_t>(-1));
        }
      }
      row = Interlaced ? NextInterlacedRow(row, Height, pass) : row + 1;
      Report(Progress, psRunning, static_cast<int>(std::nearbyint(100.0 * (done + 1) / static_cast<double>(Height))));
    }
    // A string reset right at the last pixel has been written already.
    if (length > 0) out.Put(tail, width);
    out.Put(endCode, width);
    out.Flush();
  } catch (const std::exception& E) {
    Report(Progress, psEnding, 0, E.what());
    throw;
  }
  Report(Progress, psEnding, 100);
}
