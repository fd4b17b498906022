#include "controls/gif_colors.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "controls/vx_utils.h"
#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/streams.h"

TColorReduction DefaultColorReduction = crHistogram;

namespace {

using TPalette = std::array<std::array<uint8_t, 3>, 256>;  // red, green, blue

constexpr uint8_t kLevels4[] = {0, 85, 170, 255};
constexpr uint8_t kLevels6[] = {0, 51, 102, 153, 204, 255};
constexpr uint8_t kLevels7[] = {0, 43, 85, 128, 170, 213, 255};
constexpr uint8_t kLevels8[] = {0, 36, 73, 109, 146, 182, 219, 255};

struct TLevelTables {
  uint8_t T4[256], T6[256], T7[256], T8[256];
  TLevelTables() {
    Fill(T4, kLevels4, 4);
    Fill(T6, kLevels6, 6);
    Fill(T7, kLevels7, 7);
    Fill(T8, kLevels8, 8);
  }
  static void Fill(uint8_t* T, const uint8_t* Levels, int N) {
    for (int v = 0; v < 256; ++v) {
      int best = 0;
      for (int i = 1; i < N; ++i)
        if (std::abs(v - Levels[i]) < std::abs(v - Levels[best])) best = i;
      T[v] = static_cast<uint8_t>(best);
    }
  }
};
const TLevelTables kTables;

// 24-bit rows in, 8-bit rows out, both bottom row first and padded to four bytes.
struct TRows {
  int32_t Width = 0, Height = 0;
  int64_t SrcRow = 0, DstRow = 0;
  const uint8_t* Src = nullptr;
  uint8_t* Dst = nullptr;
  const uint8_t* Pixel(int32_t Y, int32_t X) const { return Src + Y * SrcRow + X * 3; }  // B, G, R
  uint8_t& Out(int32_t Y, int32_t X) const { return Dst[Y * DstRow + X]; }
};

void Gray(const TRows& R, TPalette& Pal) {
  for (int i = 0; i < 256; ++i) Pal[i] = {uint8_t(i), uint8_t(i), uint8_t(i)};
  for (int32_t y = 0; y < R.Height; ++y)
    for (int32_t x = 0; x < R.Width; ++x) {
      const uint8_t* p = R.Pixel(y, x);
      R.Out(y, x) = static_cast<uint8_t>((p[2] * 77 + p[1] * 150 + p[0] * 29) >> 8);
    }
}

void Levels666(const TRows& R, TPalette& Pal) {
  for (auto& e : Pal) e = {128, 128, 128};
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) Pal[r * 36 + g * 6 + b] = {kLevels6[r], kLevels6[g], kLevels6[b]};
  for (int32_t y = 0; y < R.Height; ++y)
    for (int32_t x = 0; x < R.Width; ++x) {
      const uint8_t* p = R.Pixel(y, x);
      R.Out(y, x) = static_cast<uint8_t>(kTables.T6[p[2]] * 36 + kTables.T6[p[1]] * 6 + kTables.T6[p[0]]);
    }
}

void Levels784(const TRows& R, TPalette& Pal) {
  for (auto& e : Pal) e = {128, 128, 128};
  for (int r = 0; r < 7; ++r)
    for (int g = 0; g < 8; ++g)
      for (int b = 0; b < 4; ++b) Pal[r * 32 + g * 4 + b] = {kLevels7[r], kLevels8[g], kLevels4[b]};
  for (int32_t y = 0; y < R.Height; ++y)
    for (int32_t x = 0; x < R.Width; ++x) {
      const uint8_t* p = R.Pixel(y, x);
      R.Out(y, x) = static_cast<uint8_t>(kTables.T7[p[2]] * 32 + kTables.T8[p[1]] * 4 + kTables.T4[p[0]]);
    }
}

void Triple(const TRows& R, TPalette& Pal) {
  for (auto& e : Pal) e = {0, 0, 0};
  for (int i = 0; i < 64; ++i) {
    Pal[i] = {uint8_t(4 * i), 0, 0};
    Pal[64 + i] = {0, uint8_t(4 * i), 0};
    Pal[128 + i] = {0, 0, uint8_t(4 * i)};
  }
  for (int32_t y = 0; y < R.Height; ++y)
    for (int32_t x = 0; x < R.Width; ++x) {
      const uint8_t* p = R.Pixel(y, x);
      switch ((y + x) % 3) {
        case 0:
          R.Out(y, x) = static_cast<uint8_t>(p[2] >> 2);
          break;
        case 1:
          R.Out(y, x) = static_cast<uint8_t>(64 + (p[1] >> 2));
          break;
        default:
          R.Out(y, x) = static_cast<uint8_t>(128 + (p[0] >> 2));
          break;
      }
    }
}

// Counting of the colours of the picture, dropping low bits until at most 2,049 remain.
class THistogram {
public:
  static constexpr int kMaxColors = 2049;
  static constexpr int kHashSize = 5191;

  struct TEntry {
    uint8_t B, G, R;
    uint32_t Count;
    uint8_t Index;
  };

  void Run(const TRows& Rows, TPalette& Pal, int Wanted) {
    while (!Count(Rows)) {
      if (FMaskG > FMaskR)
        FMaskG = static_cast<uint8_t>(FMaskG << 1);
      else if (FMaskR > FMaskB)
        FMaskR = static_cast<uint8_t>(FMaskR << 1);
      else
        FMaskB = static_cast<uint8_t>(FMaskB << 1);
    }
    const int n = static_cast<int>(FEntries.size());
    const int chosen = std::min(Wanted, n);
    std::vector<bool> isChosen(n, false);
    for (int i = 0; i < chosen; ++i) {
      int best = 0;
      bool any = false;
      for (int e = 0; e < n; ++e)
        if (!isChosen[e] && (!any || FEntries[e].Count > FEntries[best].Count)) {
          best = e;
          any = true;
        }
      isChosen[best] = true;
      FEntries[best].Count = 0;
      FEntries[best].Index = static_cast<uint8_t>(i);
      Pal[i] = {FEntries[best].R, FEntries[best].G, FEntries[best].B};
    }
    for (int i = chosen; i < 256; ++i) Pal[i] = {128, 128, 128};
    for (int e = 0; e < n; ++e) {
      if (isChosen[e]) continue;
      int best = 0;
      long bestD = -1;
      for (int i = 0; i < chosen; ++i) {
        long dr = FEntries[e].R - Pal[i][0], dg = FEntries[e].G - Pal[i][1], db = FEntries[e].B - Pal[i][2];
        long d = dr * dr + dg * dg + db * db;
        if (bestD < 0 || d < bestD) {
          bestD = d;
          best = i;
        }
      }
      FEntries[e].Index = static_cast<uint8_t>(best);
    }
    for (int32_t y = 0; y < Rows.Height; ++y)
      for (int32_t x = 0; x < Rows.Width; ++x) {
        const uint8_t* p = Rows.Pixel(y, x);
        Rows.Out(y, x) = FEntries[Find(p[2] & FMaskR, p[1] & FMaskG, p[0] & FMaskB)].Index;
      }
  }

private:
  static int Hash(int R, int G, int B) { return ((R + G) * (B + G) * (R + B)) % kHashSize; }

  // The slot of the colour, or the empty slot where it belongs.
  int Slot(int R, int G, int B) const {
    int s = Hash(R, G, B);
    while (FSlots[s] != 0xFFFF) {
      const TEntry& e = FEntries[FSlots[s]];
      if (e.R == R && e.G == G && e.B == B) break;
      s = s + 1 == kHashSize ? 0 : s + 1;
    }
    return s;
  }
  int Find(int R, int G, int B) const { return FSlots[Slot(R, G, B)]; }

  bool Count(const TRows& Rows) {
    FEntries.clear();
    FSlots.fill(0xFFFF);
    for (int32_t y = 0; y < Rows.Height; ++y)
      for (int32_t x = 0; x < Rows.Width; ++x) {
        const uint8_t* p = Rows.Pixel(y, x);
        int r = p[2] & FMaskR, g = p[1] & FMaskG, b = p[0] & FMaskB;
        int s = Slot(r, g, b);
        if (FSlots[s] != 0xFFFF) {
          ++FEntries[FSlots[s]].Count;
          continue;
        }
        if (static_cast<int>(FEntries.size()) >= kMaxColors) return false;
        FSlots[s] = static_cast<uint16_t>(FEntries.size());
        FEntries.push_back({uint8_t(b), uint8_t(g), uint8_t(r), 1, 0});
      }
    return true;
  }

  uint8_t FMaskR = 255, FMaskG = 255, FMaskB = 255;
  std::vector<TEntry> FEntries;
  std::array<uint16_t, kHashSize> FSlots{};
};

// Median cut over cells of the upper four bits of each channel.
class TMedianCut {
public:
  struct TCell {
    uint8_t C[3];  // red, green, blue, 0..15
    uint8_t Index = 0;
    uint32_t Count = 0;
  };
  struct TBox {
    uint8_t Lower[3] = {0, 0, 0};
    uint8_t Width[3] = {255, 255, 255};
    uint32_t Count = 0;
    std::vector<uint16_t> Cells;
  };

  // Returns the number of boxes (colours).
  int Run(const TRows& Rows, TPalette& Pal, int Wanted) {
    FCells.assign(4096, TCell{});
    for (int i = 0; i < 4096; ++i) {
      FCells[i].C[0] = static_cast<uint8_t>(i >> 8);
      FCells[i].C[1] = static_cast<uint8_t>((i >> 4) & 15);
      FCells[i].C[2] = static_cast<uint8_t>(i & 15);
    }
    std::vector<uint16_t> cellOf(static_cast<size_t>(Rows.Width) * Rows.Height);
    size_t k = 0;
    for (int32_t y = 0; y < Rows.Height; ++y)
      for (int32_t x = 0; x < Rows.Width; ++x) {
        const uint8_t* p = Rows.Pixel(y, x);
        uint16_t c = static_cast<uint16_t>((p[2] >> 4) * 256 + (p[1] >> 4) * 16 + (p[0] >> 4));
        ++FCells[c].Count;
        cellOf[k++] = c;
      }
    std::vector<TBox> boxes(1);
    boxes[0].Count = static_cast<uint32_t>(cellOf.size());
    for (int i = 0; i < 4096; ++i)
      if (FCells[i].Count) boxes[0].Cells.push_back(static_cast<uint16_t>(i));

    while (static_cast<int>(boxes.size()) < Wanted) {
      int bestBox = -1, axis = 0, bestWidth = -1;
      for (size_t b = 0; b < boxes.size(); ++b) {
        if (boxes[b].Cells.size() < 2) continue;
        for (int a = 0; a < 3; ++a)
          if (boxes[b].Width[a] > bestWidth) {
            bestWidth = boxes[b].Width[a];
            bestBox = static_cast<int>(b);
            axis = a;
          }
      }
      if (bestBox < 0) break;
      TBox& box = boxes[bestBox];
      std::vector<uint16_t>& cells = box.Cells;
      Sort(cells, 0, static_cast<int>(cells.size()) - 1, axis);
      const uint32_t half = box.Count / 2;
      const int n = static_cast<int>(cells.size());
      int lower = 1;
      uint32_t sum = FCells[cells[0]].Count + FCells[cells[1]].Count;
      while (lower < n - 1 && sum <= half) {
        ++lower;
        sum += FCells[cells[lower]].Count;
      }
      TBox upper;
      std::copy(box.Lower, box.Lower + 3, upper.Lower);
      std::copy(box.Width, box.Width + 3, upper.Width);
      upper.Cells.assign(cells.begin() + lower, cells.end());
      cells.resize(lower);
      box.Count = 0;
      for (uint16_t c : cells) box.Count += FCells[c].Count;
      for (uint16_t c : upper.Cells) upper.Count += FCells[c].Count;
      const uint8_t oldLower = box.Lower[axis], oldWidth = box.Width[axis];
      upper.Lower[axis] = static_cast<uint8_t>(FCells[upper.Cells.front()].C[axis] * 16);
      upper.Width[axis] = static_cast<uint8_t>(oldLower + oldWidth - upper.Lower[axis]);
      box.Width[axis] = static_cast<uint8_t>(FCells[cells.back()].C[axis] * 16 - oldLower);
      boxes.push_back(std::move(upper));
    }

    for (auto& e : Pal) e = {0, 0, 0};
    for (size_t b = 0; b < boxes.size(); ++b) {
      const auto& cells = boxes[b].Cells;
      if (cells.empty()) continue;
      uint32_t sum[3] = {0, 0, 0};
      for (uint16_t c : cells) {
        FCells[c].Index = static_cast<uint8_t>(b);
        for (int a = 0; a < 3; ++a) sum[a] += FCells[c].C[a] * 16u + 15u;
      }
      uint8_t rgb[3];
      for (int a = 0; a < 3; ++a) rgb[a] = static_cast<uint8_t>(sum[a] / cells.size());
      if (rgb[0] <= 16 && rgb[1] <= 16 && rgb[2] <= 16) rgb[0] = rgb[1] = rgb[2] = 0;
      Pal[b] = {rgb[0], rgb[1], rgb[2]};
    }
    k = 0;
    for (int32_t y = 0; y < Rows.Height; ++y)
      for (int32_t x = 0; x < Rows.Width; ++x) Rows.Out(y, x) = FCells[cellOf[k++]].Index;
    return static_cast<int>(boxes.size());
  }

private:
  uint8_t Key(uint16_t Cell, int Axis) const { return FCells[Cell].C[Axis]; }

  // Quicksort on the middle element; short runs by insertion, each element going before the
  // first one that is not smaller.
  void Sort(std::vector<uint16_t>& A, int Lo, int Hi, int Axis) {
    const int n = Hi - Lo + 1;
    if (n < 2) return;
    if (n < 8) {
      for (int i = Lo + 1; i <= Hi; ++i) {
        uint16_t v = A[i];
        int j = Lo;
        while (j < i && Key(A[j], Axis) < Key(v, Axis)) ++j;
        for (int t = i; t > j; --t) A[t] = A[t - 1];
        A[j] = v;
      }
      return;
    }
    const uint8_t pivot = Key(A[Lo + n / 2], Axis);
    int i = Lo, j = Hi;
    for (;;) {
      while (Key(A[i], Axis) < pivot) ++i;
      while (Key(A[j], Axis) > pivot) --j;
      if (i >= j) break;
      std::swap(A[i], A[j]);
      ++i;
      --j;
    }
    Sort(A, Lo, i - 1, Axis);
    Sort(A, i, Hi, Axis);
  }

  std::vector<TCell> FCells;
};

void Put16(std::string& S, uint16_t V) {
  S.push_back(static_cast<char>(V & 0xFF));
  S.push_back(static_cast<char>(V >> 8));
}
void Put32(std::string& S, uint32_t V) {
  for (int i = 0; i < 4; ++i) S.push_back(static_cast<char>((V >> (8 * i)) & 0xFF));
}
uint32_t Get32(const std::string& S, size_t At) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(S[At + i]);
  return v;
}

// The bitmap saved at a pixel format of the platform.
std::unique_ptr<TMemoryStream> SavedAs(TBitmap* Bitmap, TPixelFormat Format) {
  auto s = std::make_unique<TMemoryStream>();
  if (Bitmap->PixelFormat() == Format) {
    Bitmap->SaveToStream(*s);
  } else {
    std::unique_ptr<TGraphic> copy(Bitmap->Clone());
    auto* b = static_cast<TBitmap*>(copy.get());
    b->SetPixelFormat(Format);
    b->SaveToStream(*s);
  }
  s->SetPosition(0);
  return s;
}

int DepthOf(TPixelFormat F) {
  switch (F) {
    case pf1bit:
      return 1;
    case pf4bit:
      return 4;
    case pf8bit:
      return 8;
    case pf15bit:
    case pf16bit:
      return 16;
    case pf24bit:
      return 24;
    default:
      return 32;
  }
}

}  // namespace

uint8_t NearestLevel(int Levels, uint8_t Value) {
  switch (Levels) {
    case 4:
      return kTables.T4[Value];
    case 6:
      return kTables.T6[Value];
    case 7:
      return kTables.T7[Value];
    case 8:
      return kTables.T8[Value];
    default:
      return 0;
  }
}

std::unique_ptr<TMemoryStream> ReduceToBitmapStream(TBitmap* Bitmap, int Depth, TColorReduction Method) {
  if (!Bitmap || Bitmap->Empty()) throw EInvalidGraphic("Bitmap image is not valid");
  if (DepthOf(Bitmap->PixelFormat()) == Depth && Method != crGray) return SavedAs(Bitmap, Bitmap->PixelFormat());
  switch (Depth) {
    case 1:
      return SavedAs(Bitmap, pf1bit);
    case 4:
      return SavedAs(Bitmap, pf4bit);
    case 24:
      return SavedAs(Bitmap, pf24bit);
    case 8:
      break;
    default:
      ReportNotImplemented();
  }

  auto source = SavedAs(Bitmap, pf24bit);
  const std::string file = source->ReadAll();
  source.reset();
  if (file.size() < 54 || static_cast<uint8_t>(file[28]) != 24) ReportNotImplemented();
  const uint32_t bitsOffset = Get32(file, 10);
  TRows rows;
  rows.Width = static_cast<int32_t>(Get32(file, 18));
  rows.Height = std::abs(static_cast<int32_t>(Get32(file, 22)));
  rows.SrcRow = ((static_cast<int64_t>(rows.Width) * 24 + 31) / 32) * 4;
  rows.DstRow = ((static_cast<int64_t>(rows.Width) * 8 + 31) / 32) * 4;
  if (bitsOffset + rows.SrcRow * rows.Height > static_cast<int64_t>(file.size()))
    throw EInvalidGraphic("Bitmap image is not valid");
  rows.Src = reinterpret_cast<const uint8_t*>(file.data()) + bitsOffset;
  std::vector<uint8_t> out(static_cast<size_t>(rows.DstRow * rows.Height), 0);
  rows.Dst = out.data();

  TPalette pal{};
  uint32_t colorsUsed = 0;
  switch (Method) {
    case crMedianCut:
      colorsUsed = static_cast<uint32_t>(TMedianCut().Run(rows, pal, 256));
      break;
    case crLevels784:
      Levels784(rows, pal);
      colorsUsed = 224;
      break;
    case crLevels666:
      Levels666(rows, pal);
      colorsUsed = 216;
      break;
    case crTriple:
      Triple(rows, pal);
      break;
    case crGray:
      Gray(rows, pal);
      break;
    default:
      THistogram().Run(rows, pal, 256);
      break;
  }

  const uint32_t headerSize = 40 + 4 * 256;
  const uint32_t imageSize = static_cast<uint32_t>(out.size());
  std::string s;
  s.reserve(14 + headerSize + imageSize);
  s += "BM";
  Put32(s, 14 + headerSize + imageSize);
  Put32(s, 0);
  Put32(s, 14 + headerSize);
  Put32(s, 40);
  Put32(s, static_cast<uint32_t>(rows.Width));
  Put32(s, static_cast<uint32_t>(rows.Height));
  Put16(s, 1);
  Put16(s, 8);
  Put32(s, 0);
  Put32(s, imageSize);
  Put32(s, Get32(file, 38));
  Put32(s, Get32(file, 42));
  Put32(s, colorsUsed);
  Put32(s, 0);
  for (const auto& e : pal) {
    s.push_back(static_cast<char>(e[2]));
    s.push_back(static_cast<char>(e[1]));
    s.push_back(static_cast<char>(e[0]));
    s.push_back(0);
  }
  s.append(reinterpret_cast<const char*>(out.data()), out.size());
  auto result = std::make_unique<TMemoryStream>();
  result->WriteBuffer(s.data(), static_cast<int64_t>(s.size()));
  result->SetPosition(0);
  return result;
}
