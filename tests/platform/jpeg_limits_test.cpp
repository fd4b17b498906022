// JPEG pictures whose header claims a size beyond the cap are refused before anything that
// size is allocated.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/jpeg.h"
#include "platform/streams.h"

namespace {

// A small real JPEG whose frame header is rewritten to claim Width x Height pixels.
std::string ClaimedSize(int Width, int Height) {
  TBitmap src(16, 8, pf24bit);
  for (int y = 0; y < 8; ++y) {
    uint8_t* row = static_cast<uint8_t*>(src.ScanLine(y));
    for (int x = 0; x < 16 * 3; ++x) row[x] = static_cast<uint8_t>(x * 5 + y);
  }
  TJPEGImage j;
  j.Assign(&src);
  TMemoryStream s;
  j.SaveToStream(s);
  std::string bytes(static_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
  // Start of frame (FF C0 baseline, FF C2 progressive): length (2), precision (1), height (2),
  // width (2).
  for (size_t i = 0; i + 9 < bytes.size(); ++i) {
    const auto b = static_cast<uint8_t>(bytes[i + 1]);
    if (static_cast<uint8_t>(bytes[i]) == 0xFF && (b == 0xC0 || b == 0xC2)) {
      bytes[i + 5] = static_cast<char>(Height >> 8);
      bytes[i + 6] = static_cast<char>(Height & 0xFF);
      bytes[i + 7] = static_cast<char>(Width >> 8);
      bytes[i + 8] = static_cast<char>(Width & 0xFF);
      return bytes;
    }
  }
  ADD_FAILURE() << "no frame header";
  return bytes;
}

TEST(JpegLimits, ClaimedSizeBeyondTheCapIsRefusedBeforeDecoding) {
  struct {
    int Width, Height;
    bool Refused;
  } cases[] = {
      {40000, 40000, true},                      // 1.6 gigapixels claimed by a few hundred bytes
      {60000, 1200, true},  {8193, 8192, true},  // one column past the cap
      {8192, 8192, false},                       // the cap itself: the header is read, nothing is decoded yet
      {60000, 1, false},    {16, 8, false},
  };
  static_assert(JPEGMaxPixels == int64_t(8192) * 8192);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Width) + " x " + std::to_string(c.Height));
    const std::string bytes = ClaimedSize(c.Width, c.Height);
    TStringStream in(bytes);
    TJPEGImage j;
    if (c.Refused) {
      try {
        j.LoadFromStream(in);
        ADD_FAILURE() << "loaded";
      } catch (const EInvalidGraphic& e) {
        EXPECT_NE(e.Message().find("too large"), std::string::npos) << e.Message();
      }
      EXPECT_TRUE(j.Empty());
    } else {
      j.LoadFromStream(in);
      EXPECT_EQ(j.Width(), c.Width);
      EXPECT_EQ(j.Height(), c.Height);
    }
  }
  // A whole picture still decodes.
  TStringStream in(ClaimedSize(16, 8));
  TJPEGImage j;
  j.LoadFromStream(in);
  TBitmap out;
  out.Assign(&j);
  EXPECT_EQ(out.Width(), 16);
}

}  // namespace
