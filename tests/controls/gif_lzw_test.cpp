// The GIF LZW coder: exact bytes, round trips at every depth, interlace order, table resets and
// damaged or hostile data.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "controls/gif_lzw.h"
#include "platform/exceptions.h"
#include "platform/streams.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ToBytes(TMemoryStream& S) {
  const auto* p = static_cast<const uint8_t*>(S.Memory());
  return Bytes(p, p + S.Size());
}

TMemoryStream FromBytes(const Bytes& B) {
  TMemoryStream s;
  if (!B.empty()) s.WriteBuffer(B.data(), static_cast<int64_t>(B.size()));
  s.SetPosition(0);
  return s;
}

// Pixel values, one per pixel, row by row from the top.
using Pixels = std::vector<int>;

Bytes PackRows(const Pixels& P, int W, int H, int Depth) {
  const int64_t row = DibRowSize(W, Depth);
  Bytes bits(static_cast<size_t>(row * H), 0);
  for (int y = 0; y < H; ++y) {
    uint8_t* line = bits.data() + (H - 1 - y) * row;
    for (int x = 0; x < W; ++x) {
      int v = P[y * W + x];
      if (Depth == 1)
        line[x / 8] |= static_cast<uint8_t>(v << (7 - x % 8));
      else if (Depth == 4)
        line[x / 2] |= static_cast<uint8_t>(x % 2 ? v : v << 4);
      else
        line[x] = static_cast<uint8_t>(v);
    }
  }
  return bits;
}

Pixels UnpackRows(const Bytes& Bits, int W, int H, int Depth) {
  const int64_t row = DibRowSize(W, Depth);
  Pixels p;
  for (int y = 0; y < H; ++y) {
    const uint8_t* line = Bits.data() + (H - 1 - y) * row;
    for (int x = 0; x < W; ++x) {
      if (Depth == 1)
        p.push_back((line[x / 8] >> (7 - x % 8)) & 1);
      else if (Depth == 4)
        p.push_back(x % 2 ? line[x / 2] & 15 : line[x / 2] >> 4);
      else
        p.push_back(line[x]);
    }
  }
  return p;
}

Pixels Noise(int N, int Max, unsigned Seed) {
  std::mt19937 rng(Seed);
  Pixels p(N);
  for (int& v : p) v = static_cast<int>(rng() % (Max + 1));
  return p;
}

// Packs codes least significant bit first into sub-blocks, widths following the decoder's rule.
Bytes PackCodes(int M, const std::vector<int>& Codes) {
  Bytes data;
  uint32_t acc = 0;
  int count = 0;
  int width = M + 1, nextFree = (1 << M) + 2;
  bool afterClear = true;
  for (int c : Codes) {
    acc |= static_cast<uint32_t>(c) << count;
    count += width;
    while (count >= 8) {
      data.push_back(static_cast<uint8_t>(acc));
      acc >>= 8;
      count -= 8;
    }
    if (c == (1 << M)) {
      width = M + 1;
      nextFree = (1 << M) + 2;
      afterClear = true;
    } else if (afterClear) {
      afterClear = false;
    } else if (nextFree < 4096) {
      ++nextFree;
      if (nextFree >= (1 << width) && width < 12) ++width;
    }
  }
  if (count > 0) data.push_back(static_cast<uint8_t>(acc));
  Bytes out{static_cast<uint8_t>(M)};
  for (size_t i = 0; i < data.size(); i += 255) {
    size_t n = std::min<size_t>(255, data.size() - i);
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), data.begin() + i, data.begin() + i + n);
  }
  out.push_back(0);
  return out;
}

// A plain dictionary encoder: a clear code first; with Reset the table starts again when full,
// else it stays full (later codes use the last table).
std::vector<int> ReferenceCodes(int M, const Pixels& P, bool Reset) {
  const int clear = 1 << M, end = clear + 1;
  std::map<std::pair<int, int>, int> dict;
  int next = clear + 2;
  std::vector<int> codes{clear};
  int prefix = -1;
  for (int p : P) {
    if (prefix < 0) {
      prefix = p;
      continue;
    }
    auto it = dict.find({prefix, p});
    if (it != dict.end()) {
      prefix = it->second;
      continue;
    }
    codes.push_back(prefix);
    if (next < 4096) {
      dict[{prefix, p}] = next++;
    } else if (Reset) {
      codes.push_back(clear);
      dict.clear();
      next = clear + 2;
    }
    prefix = p;
  }
  if (prefix >= 0) codes.push_back(prefix);
  codes.push_back(end);
  return codes;
}

// Codes of a packed stream, read with the decoder's width rule (for checking the encoder).
std::vector<int> UnpackCodes(const Bytes& Data) {
  const int m = Data[0];
  Bytes payload;
  for (size_t i = 1; i < Data.size() && Data[i] != 0; i += Data[i] + 1)
    payload.insert(payload.end(), Data.begin() + i + 1, Data.begin() + i + 1 + Data[i]);
  std::vector<int> codes;
  size_t bit = 0;
  int width = m + 1, nextFree = (1 << m) + 2;
  bool afterClear = false;
  while (bit + width <= payload.size() * 8) {
    int c = 0;
    for (int i = 0; i < width; ++i, ++bit) c |= ((payload[bit / 8] >> (bit % 8)) & 1) << i;
    codes.push_back(c);
    if (c == (1 << m) + 1) break;
    if (c == (1 << m)) {
      width = m + 1;
      nextFree = (1 << m) + 2;
      afterClear = true;
    } else if (afterClear) {
      afterClear = false;
    } else if (nextFree < 4096) {
      ++nextFree;
      if (nextFree >= (1 << width) && width < 12) ++width;
    }
  }
  return codes;
}

struct Decoded {
  Pixels P;
  bool Damaged = false;
};

Decoded Decode(const Bytes& Data, int W, int H, int Depth, int ColourBits, bool Interlaced = false,
               bool AllowDamaged = true) {
  TMemoryStream s = FromBytes(Data);
  Bytes bits(static_cast<size_t>(DibRowSize(W, Depth) * H), 0);
  Decoded d;
  DecodeLzw(s, W, H, Depth, Interlaced, nullptr, d.Damaged, bits.data(), bits.size(), ColourBits, AllowDamaged);
  d.P = UnpackRows(bits, W, H, Depth);
  return d;
}

Bytes Encode(const Pixels& P, int W, int H, int Depth, bool Interlaced = false) {
  Bytes bits = PackRows(P, W, H, Depth);
  TMemoryStream s;
  EncodeLzw(s, W, H, Depth, Interlaced, nullptr, bits.data(), bits.size());
  return ToBytes(s);
}

TEST(GifLzw, OnePixelEncodesToKnownBytes) {
  EXPECT_EQ(Encode({0}, 1, 1, 8), (Bytes{0x08, 0x04, 0x00, 0x01, 0x04, 0x04, 0x00}));
}

TEST(GifLzw, CodeSizeFollowsDepthAndRowsRoundTrip) {
  struct Case {
    int Depth, W, H, CodeSize;
    bool Interlaced;
  };
  const Case cases[] = {{1, 1, 1, 2, false}, {1, 13, 7, 2, false}, {4, 9, 5, 4, false},     {4, 31, 17, 4, true},
                        {8, 1, 1, 8, false}, {8, 37, 23, 8, true}, {8, 300, 200, 8, false}, {1, 64, 10, 2, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "depth " << c.Depth << " " << c.W << "x" << c.H);
    Pixels p = Noise(c.W * c.H, (1 << c.Depth) - 1, c.W * 31 + c.H);
    Bytes data = Encode(p, c.W, c.H, c.Depth, c.Interlaced);
    EXPECT_EQ(data[0], c.CodeSize);
    std::vector<int> codes = UnpackCodes(data);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.front(), 1 << c.CodeSize);
    EXPECT_EQ(codes.back(), (1 << c.CodeSize) + 1);
    Decoded d = Decode(data, c.W, c.H, c.Depth, c.Depth, c.Interlaced);
    EXPECT_FALSE(d.Damaged);
    EXPECT_EQ(d.P, p);
  }
}

TEST(GifLzw, EmptyImageWritesClearAndEnd) {
  TMemoryStream s;
  EncodeLzw(s, 0, 0, 8, false, nullptr, nullptr, 0);
  EXPECT_EQ(UnpackCodes(ToBytes(s)), (std::vector<int>{256, 257}));
}

TEST(GifLzw, FullTableIsClearedAndDecodesBack) {
  // Noise makes one new code per pixel or two: the table fills many times over.
  const int w = 160, h = 120;
  Pixels p = Noise(w * h, 255, 7);
  Bytes data = Encode(p, w, h, 8);
  std::vector<int> codes = UnpackCodes(data);
  int clears = 0;
  for (size_t i = 0; i < codes.size(); ++i)
    if (codes[i] == 256) {
      ++clears;
      if (i > 0) {
        EXPECT_LT(i, codes.size() - 1);
      }
    }
  EXPECT_GT(clears, 3);
  EXPECT_EQ(Decode(data, w, h, 8, 8).P, p);

  // A uniform picture grows one long string after another.
  const int uw = 3000, uh = 3000;
  Pixels u(uw * uh, 5);
  Bytes udata = Encode(u, uw, uh, 8);
  std::vector<int> ucodes = UnpackCodes(udata);
  EXPECT_GT(std::count(ucodes.begin(), ucodes.end(), 256), 1);
  EXPECT_EQ(Decode(udata, uw, uh, 8, 8).P, u);
}

TEST(GifLzw, DecodesEveryCodeSizeAndATableLeftFull) {
  for (int m = 2; m <= 8; ++m)
    for (bool reset : {true, false}) {
      SCOPED_TRACE(testing::Message() << "code size " << m << (reset ? " reset" : " full"));
      const int w = 120, h = 90;
      Pixels p = Noise(w * h, (1 << m) - 1, m);
      Bytes data = PackCodes(m, ReferenceCodes(m, p, reset));
      const int depth = m == 1 ? 1 : m <= 4 ? 4 : 8;
      Decoded d = Decode(data, w, h, depth, m);
      EXPECT_FALSE(d.Damaged);
      EXPECT_EQ(d.P, p);
    }
}

TEST(GifLzw, InterlaceOrder) {
  std::vector<int> rows;
  int pass = 0;
  for (int r = 0; r < 10; r = NextInterlacedRow(r, 10, pass)) rows.push_back(r);
  EXPECT_EQ(rows, (std::vector<int>{0, 8, 4, 2, 6, 1, 3, 5, 7, 9}));
  pass = 0;
  EXPECT_GE(NextInterlacedRow(0, 1, pass), 1);
  for (int h = 1; h <= 40; ++h) {
    std::vector<int> seen(h, 0);
    pass = 0;
    int n = 0;
    for (int r = 0; r < h; r = NextInterlacedRow(r, h, pass), ++n) ++seen[r];
    EXPECT_EQ(n, h);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), h) << "height " << h;
  }
  // Decoded rows land in interlace order: the third code fills image row 4 of 10.
  Pixels p(10, 0);
  p[4] = 1;
  Bytes data = PackCodes(2, {4, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 5});
  EXPECT_EQ(Decode(data, 1, 10, 1, 1, true).P, p);
}

TEST(GifLzw, HandBuiltStreams) {
  struct Case {
    const char* Name;
    std::vector<int> Codes;
    int W, H;
    Pixels Expected;
    bool Damaged;
  };
  const Case cases[] = {
      // Code 6 is the next free code: the previous string plus its first character.
      {"next free code", {4, 1, 6, 5}, 3, 1, {1, 1, 1}, false},
      {"no end code", {4, 1, 2}, 4, 1, {1, 2, 0, 0}, false},
      {"no clear code first", {1, 2, 6, 5}, 4, 1, {1, 2, 1, 2}, false},
      {"clear then end", {4, 5}, 2, 1, {0, 0}, false},
      {"repeated clear codes", {4, 4, 4, 3, 5}, 1, 1, {3}, false},
      {"pixels beyond the image", {4, 1, 2, 3, 3, 3, 5}, 2, 1, {1, 2}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Decoded d = Decode(PackCodes(2, c.Codes), c.W, c.H, 4, 2);
    EXPECT_EQ(d.P, c.Expected);
    EXPECT_EQ(d.Damaged, c.Damaged);
  }
}

TEST(GifLzw, CodeSizeOutOfRange) {
  for (int m : {0, 1, 10, 255}) {
    SCOPED_TRACE(m);
    Bytes data = PackCodes(9, {512, 1, 2, 3, 513});
    data[0] = static_cast<uint8_t>(m);
    Decoded d = Decode(data, 4, 4, 8, 8);
    EXPECT_TRUE(d.Damaged);
    EXPECT_LE(std::count_if(d.P.begin(), d.P.end(), [](int v) { return v != 0; }), 1);
    try {
      Decode(data, 4, 4, 8, 8, false, false);
      ADD_FAILURE() << "no exception";
    } catch (const EInvalidGraphicOperation& e) {
      EXPECT_EQ(e.Message(), "Размер кода GIF не принадлежит диапазону от 2 до 9");
    }
  }
}

TEST(GifLzw, LoopingStringsStopAtTheStackLimit) {
  // Code 7 arrives before it exists and then, as the next free code, is made its own prefix:
  // decoding it again never reaches a root.
  std::vector<int> codes{4, 1, 7, 7, 7, 5};
  Bytes data = PackCodes(2, codes);
  Decoded d = Decode(data, 64, 64, 4, 2);
  EXPECT_TRUE(d.Damaged);
  try {
    Decode(data, 64, 64, 4, 2, false, false);
    ADD_FAILURE() << "no exception";
  } catch (const EInvalidGraphicOperation& e) {
    EXPECT_EQ(e.Message(), "Неверные данные в формате GIF");
  }
}

TEST(GifLzw, RandomDataNeverOverrunsTheBuffer) {
  std::mt19937 rng(12345);
  for (int i = 0; i < 400; ++i) {
    Bytes data(1 + rng() % 600);
    for (auto& b : data) b = static_cast<uint8_t>(rng());
    if (i % 2) data[0] = static_cast<uint8_t>(2 + rng() % 8);
    const int w = 1 + rng() % 40, h = 1 + rng() % 40, bits = 1 + rng() % 8;
    const int depth = bits == 1 ? 1 : bits <= 4 ? 4 : 8;
    // One guard byte after the rows shows any write past them.
    Bytes buf(static_cast<size_t>(DibRowSize(w, depth) * h) + 1, 0);
    buf.back() = 0xA5;
    TMemoryStream s = FromBytes(data);
    bool damaged = false;
    try {
      DecodeLzw(s, w, h, depth, i % 3 == 0, nullptr, damaged, buf.data(), buf.size() - 1, bits, i % 4 != 0);
    } catch (const EInvalidGraphicOperation&) {}
    ASSERT_EQ(buf.back(), 0xA5);
  }
}

TEST(GifLzw, ProgressRunsFromStartToEndAndCarriesErrors) {
  std::vector<std::pair<TProgressStage, int>> seen;
  TGIFProgress progress = [&](TProgressStage S, int P, const std::string&) { seen.push_back({S, P}); };
  Pixels p = Noise(50 * 50, 255, 3);
  Bytes bits = PackRows(p, 50, 50, 8);
  TMemoryStream s;
  EncodeLzw(s, 50, 50, 8, false, progress, bits.data(), bits.size());
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen.front(), std::make_pair(psStarting, 0));
  EXPECT_EQ(seen.back(), std::make_pair(psEnding, 100));

  // An abort from the handler ends the work with the ending notice carrying its message.
  std::string endMessage;
  TGIFProgress aborting = [&](TProgressStage S, int, const std::string& M) {
    if (S == psRunning) throw EAbort("stopped");
    if (S == psEnding) endMessage = M;
  };
  Bytes out(bits.size(), 0);
  bool damaged = false;
  EXPECT_THROW(DecodeLzw(s, 50, 50, 8, false, aborting, damaged, out.data(), out.size(), 8, true), EAbort);
  EXPECT_EQ(endMessage, "stopped");
}

}  // namespace
