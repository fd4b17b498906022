// Colour reduction of bitmaps to 8-bit bitmap files: the six methods, the pass-through cases and
// the refusals.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "controls/gif_colors.h"
#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/forms.h"
#include "platform/streams.h"

namespace {

struct Rgb {
  int R, G, B;
  friend bool operator==(const Rgb& A, const Rgb& C) { return A.R == C.R && A.G == C.G && A.B == C.B; }
};

// A 24-bit bitmap with the colours given row by row from the top.
std::unique_ptr<TBitmap> MakeBitmap(int W, int H, const std::vector<Rgb>& Colors) {
  auto b = std::make_unique<TBitmap>(W, H, pf24bit);
  for (int y = 0; y < H; ++y) {
    auto* line = static_cast<uint8_t*>(b->ScanLine(y));
    for (int x = 0; x < W; ++x) {
      const Rgb& c = Colors[static_cast<size_t>(y * W + x)];
      line[x * 3] = static_cast<uint8_t>(c.B);
      line[x * 3 + 1] = static_cast<uint8_t>(c.G);
      line[x * 3 + 2] = static_cast<uint8_t>(c.R);
    }
  }
  return b;
}

uint32_t Get32(const std::string& S, size_t At) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(S[At + i]);
  return v;
}

// An 8-bit bitmap file taken apart.
struct Reduced {
  int W = 0, H = 0, Depth = 0;
  uint32_t ColorsUsed = 0;
  std::vector<Rgb> Palette;
  std::vector<int> Index;  // row by row from the top
  Rgb ColorAt(int X, int Y) const { return Palette[static_cast<size_t>(Index[static_cast<size_t>(Y * W + X)])]; }
};

Reduced Reduce(TBitmap* B, TColorReduction Method) {
  std::unique_ptr<TMemoryStream> s = ReduceToBitmapStream(B, 8, Method);
  EXPECT_EQ(s->Position(), 0);
  const std::string f = s->ReadAll();
  Reduced r;
  r.W = static_cast<int>(Get32(f, 18));
  r.H = static_cast<int>(Get32(f, 22));
  r.Depth = static_cast<uint8_t>(f[28]);
  r.ColorsUsed = Get32(f, 46);
  EXPECT_EQ(r.Depth, 8);
  EXPECT_EQ(Get32(f, 10), 14u + 40 + 1024);
  for (int i = 0; i < 256; ++i) {
    const size_t at = 54 + 4 * static_cast<size_t>(i);
    r.Palette.push_back(
        {static_cast<uint8_t>(f[at + 2]), static_cast<uint8_t>(f[at + 1]), static_cast<uint8_t>(f[at])});
  }
  const size_t row = (static_cast<size_t>(r.W) + 3) / 4 * 4;
  for (int y = 0; y < r.H; ++y)
    for (int x = 0; x < r.W; ++x) r.Index.push_back(static_cast<uint8_t>(f[Get32(f, 10) + (r.H - 1 - y) * row + x]));
  return r;
}

TEST(GifColors, HistogramKeepsFewColoursExactlyInOrderOfFrequency) {
  const Rgb a{10, 20, 30}, b{255, 0, 0}, c{1, 2, 3}, d{200, 201, 202};
  std::vector<Rgb> px;
  for (int i = 0; i < 100; ++i) px.push_back(i < 15 ? c : i < 20 ? d : i < 70 ? a : b);
  auto bmp = MakeBitmap(10, 10, px);
  Reduced r = Reduce(bmp.get(), crHistogram);
  EXPECT_EQ(r.Palette[0], a);
  EXPECT_EQ(r.Palette[1], b);
  EXPECT_EQ(r.Palette[2], c);
  EXPECT_EQ(r.Palette[3], d);
  EXPECT_EQ(r.Palette[4], (Rgb{128, 128, 128}));
  EXPECT_EQ(r.Palette[255], (Rgb{128, 128, 128}));
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) EXPECT_EQ(r.ColorAt(x, y), px[static_cast<size_t>(y * 10 + x)]);
}

TEST(GifColors, HistogramDropsLowBitsBlueFirstThenRed) {
  // 3,000 colours each time. Without blue's lowest bit the first set has 1,500; the second,
  // whose blue is constant, needs red's lowest bit dropped as well.
  std::vector<Rgb> blueVaries, blueFixed;
  for (int i = 0; i < 100; ++i)
    for (int b = 0; b < 30; ++b) blueVaries.push_back({2 * (i % 10) + 101, 2 * (i / 10) + 1, b});
  for (int r = 0; r < 60; ++r)
    for (int g = 0; g < 50; ++g) blueFixed.push_back({r + 1, g + 1, 7});
  struct Case {
    std::vector<Rgb>* Pixels;
    bool RedKept;
  } cases[] = {{&blueVaries, true}, {&blueFixed, false}};
  for (const Case& c : cases) {
    auto bmp = MakeBitmap(60, 50, *c.Pixels);
    Reduced r = Reduce(bmp.get(), crHistogram);
    bool oddRed = false, oddGreen = false;
    for (int i = 0; i < 256; ++i) {
      EXPECT_EQ(r.Palette[static_cast<size_t>(i)].B % 2, 0) << i;
      oddRed |= r.Palette[static_cast<size_t>(i)].R % 2 == 1;
      oddGreen |= r.Palette[static_cast<size_t>(i)].G % 2 == 1;
    }
    EXPECT_EQ(oddRed, c.RedKept);
    EXPECT_TRUE(oddGreen);
  }
}

TEST(GifColors, FixedMethodsMapChannelsToTheirLevels) {
  EXPECT_EQ(NearestLevel(6, 25), 0);
  EXPECT_EQ(NearestLevel(6, 26), 1);
  EXPECT_EQ(NearestLevel(7, 64), 1);  // 43 and 85 are 21 away: the lower level
  EXPECT_EQ(NearestLevel(4, 255), 3);

  struct Case {
    TColorReduction Method;
    Rgb Color;
    int Index;
    Rgb PaletteColor;
  } cases[] = {
      {crGray, {255, 0, 0}, 76, {76, 76, 76}},
      {crGray, {0, 255, 0}, 149, {149, 149, 149}},
      {crGray, {0, 0, 255}, 28, {28, 28, 28}},
      {crLevels666, {25, 25, 25}, 0, {0, 0, 0}},
      {crLevels666, {26, 26, 26}, 43, {51, 51, 51}},
      {crLevels666, {255, 255, 255}, 215, {255, 255, 255}},
      {crLevels784, {255, 255, 255}, 223, {255, 255, 255}},
      {crLevels784, {128, 109, 85}, 109, {128, 109, 85}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "method " << c.Method << " index " << c.Index);
    auto bmp = MakeBitmap(1, 1, {c.Color});
    Reduced r = Reduce(bmp.get(), c.Method);
    EXPECT_EQ(r.Index[0], c.Index);
    EXPECT_EQ(r.Palette[static_cast<size_t>(c.Index)], c.PaletteColor);
  }
  EXPECT_EQ(Reduce(MakeBitmap(1, 1, {{1, 1, 1}}).get(), crLevels666).ColorsUsed, 216u);
  EXPECT_EQ(Reduce(MakeBitmap(1, 1, {{1, 1, 1}}).get(), crLevels784).ColorsUsed, 224u);

  // Triple keeps one channel per pixel, chosen by (row from the bottom + column) mod 3.
  const Rgb c{200, 100, 40};
  Reduced t = Reduce(MakeBitmap(3, 2, std::vector<Rgb>(6, c)).get(), crTriple);
  EXPECT_EQ(t.Index, (std::vector<int>{64 + 25, 128 + 10, 50, 50, 64 + 25, 128 + 10}));
  EXPECT_EQ(t.Palette[50], (Rgb{200, 0, 0}));
}

TEST(GifColors, MedianCut) {
  // One colour: one box, its cell's colour.
  Reduced one = Reduce(MakeBitmap(4, 4, std::vector<Rgb>(16, {200, 100, 50})).get(), crMedianCut);
  EXPECT_EQ(one.ColorsUsed, 1u);
  EXPECT_EQ(one.Palette[0], (Rgb{207, 111, 63}));
  EXPECT_EQ(one.Palette[1], (Rgb{0, 0, 0}));
  // A colour whose cell averages to 16 or less on every channel is black.
  Reduced dark = Reduce(MakeBitmap(2, 2, std::vector<Rgb>(4, {10, 5, 0})).get(), crMedianCut);
  EXPECT_EQ(dark.Palette[0], (Rgb{0, 0, 0}));

  // Four separate colours get four boxes, each pixel its own cell's colour.
  const Rgb colours[] = {{250, 10, 10}, {10, 250, 10}, {10, 10, 250}, {128, 128, 128}};
  std::vector<Rgb> px;
  for (int i = 0; i < 64; ++i) px.push_back(colours[(i / 3) % 4]);
  Reduced four = Reduce(MakeBitmap(8, 8, px).get(), crMedianCut);
  EXPECT_EQ(four.ColorsUsed, 4u);
  for (int i = 0; i < 64; ++i) {
    Rgb got = four.ColorAt(i % 8, i / 8), want = px[static_cast<size_t>(i)];
    EXPECT_LE(std::abs(got.R - want.R), 15);
    EXPECT_LE(std::abs(got.G - want.G), 15);
    EXPECT_LE(std::abs(got.B - want.B), 15);
  }

  // Many colours: at most 256 boxes, every pixel within its box.
  std::vector<Rgb> ramp;
  for (int i = 0; i < 64 * 64; ++i) ramp.push_back({(i * 7) % 256, (i / 64) * 4, (i % 64) * 4});
  Reduced many = Reduce(MakeBitmap(64, 64, ramp).get(), crMedianCut);
  EXPECT_LE(many.ColorsUsed, 256u);
  EXPECT_GT(many.ColorsUsed, 200u);
}

TEST(GifColors, SameDepthPassesThroughAndOtherDepthsConvert) {
  TBitmap b8(5, 3, pf8bit);
  TMemoryStream direct;
  b8.SaveToStream(direct);
  std::unique_ptr<TMemoryStream> s = ReduceToBitmapStream(&b8, 8, crHistogram);
  direct.SetPosition(0);
  EXPECT_EQ(s->ReadAll(), direct.ReadAll());

  auto true24 = MakeBitmap(3, 3, std::vector<Rgb>(9, {0, 0, 0}));
  for (int depth : {1, 4, 24}) {
    std::string f = ReduceToBitmapStream(true24.get(), depth, crHistogram)->ReadAll();
    EXPECT_EQ(static_cast<uint8_t>(f[28]), depth);
  }
}

TEST(GifColors, RefusesEmptyBitmapsAndUnsupportedDepths) {
  TBitmap empty;
  try {
    ReduceToBitmapStream(&empty, 8, crHistogram);
    ADD_FAILURE() << "no exception";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Bitmap image is not valid");
  }

  std::string shown;
  SetMessageBoxHook([&](const std::string& Text, const std::string&, int) {
    shown = Text;
    return IDOK;
  });
  auto bmp = MakeBitmap(2, 2, std::vector<Rgb>(4, {1, 2, 3}));
  EXPECT_THROW(ReduceToBitmapStream(bmp.get(), 16, crHistogram), EAbort);
  SetMessageBoxHook(nullptr);
  EXPECT_EQ(shown, "Функция не реализована");
}

}  // namespace
