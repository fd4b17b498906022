// GIF pictures: exact bytes written, round trips of frames, the reading rules for hand-built
// files, and damaged or hostile files.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "controls/gif_image.h"
#include "controls/gif_lzw.h"
#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/picture.h"
#include "platform/streams.h"
#include "platform/strings.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Saved(TGIFImage& G) {
  TMemoryStream s;
  G.SaveToStream(s);
  const auto* p = static_cast<const uint8_t*>(s.Memory());
  return Bytes(p, p + s.Size());
}

void Load(TGIFImage& G, const Bytes& B) {
  TMemoryStream s;
  if (!B.empty()) s.WriteBuffer(B.data(), static_cast<int64_t>(B.size()));
  s.SetPosition(0);
  G.LoadFromStream(s);
}

std::vector<TColor> PixelsOf(TBitmap* B) {
  std::vector<TColor> v;
  for (int y = 0; y < B->Height(); ++y)
    for (int x = 0; x < B->Width(); ++x) v.push_back(B->Canvas()->Pixels(x, y));
  return v;
}

std::unique_ptr<TBitmap> Picture(int W, int H, TPixelFormat F, const std::vector<TColor>& Colors) {
  auto b = std::make_unique<TBitmap>(W, H, F);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      b->Canvas()->SetPixels(x, y, Colors[static_cast<size_t>((x * 7 + y * 3) % Colors.size())]);
  return b;
}

size_t Find(const Bytes& B, const Bytes& What, size_t From = 0) {
  for (size_t i = From; i + What.size() <= B.size(); ++i)
    if (std::equal(What.begin(), What.end(), B.begin() + static_cast<long>(i))) return i;
  return std::string::npos;
}

template <class E>
std::string MessageOf(const std::function<void()>& F) {
  try {
    F();
  } catch (const E& e) {
    return e.Message();
  }
  return "(no exception)";
}

// Builds GIF files block by block.
struct Gif {
  Bytes B;

  explicit Gif(int W = 4, int H = 2, int GlobalBits = 2, const char* Version = "GIF89a", uint8_t Backdrop = 0) {
    for (const char* p = Version; *p; ++p) B.push_back(static_cast<uint8_t>(*p));
    Word(W).Word(H);
    B.push_back(GlobalBits ? static_cast<uint8_t>(0x80 | 0x70 | (GlobalBits - 1)) : 0);
    B.push_back(Backdrop);
    B.push_back(0);
    if (GlobalBits) Table(GlobalBits, 0);
  }
  Gif& Word(int V) {
    B.push_back(static_cast<uint8_t>(V & 0xFF));
    B.push_back(static_cast<uint8_t>(V >> 8));
    return *this;
  }
  Gif& Raw(const Bytes& R) {
    B.insert(B.end(), R.begin(), R.end());
    return *this;
  }
  // Entry i is (i * 10 + Shift, 100 + i, 200 - i).
  Gif& Table(int Bits, int Shift) {
    for (int i = 0; i < (1 << Bits); ++i) Raw({uint8_t(i * 10 + Shift), uint8_t(100 + i), uint8_t(200 - i)});
    return *this;
  }
  Gif& Blocks(const std::vector<std::string>& Lines) {
    for (const auto& l : Lines) {
      B.push_back(static_cast<uint8_t>(l.size()));
      Raw(Bytes(l.begin(), l.end()));
    }
    B.push_back(0);
    return *this;
  }
  Gif& Control(uint8_t Flags, int Delay, uint8_t Index) {
    Raw({0x21, 0xF9, 4, Flags}).Word(Delay);
    return Raw({Index, 0});
  }
  Gif& Comment(const std::vector<std::string>& Lines) { return Raw({0x21, 0xFE}).Blocks(Lines); }
  Gif& PlainText() { return Raw({0x21, 0x01, 12, 0, 0, 0, 0, 4, 0, 2, 0, 8, 8, 1, 0}).Blocks({"text"}); }
  Gif& Loop(int Count) {
    Raw({0x21, 0xFF, 11});
    for (char c : std::string("NETSCAPE2.0")) B.push_back(static_cast<uint8_t>(c));
    return Raw({3, 1}).Word(Count).Raw({0});
  }
  // An image of pixel values (row by row from the top); LocalBits 0: no local table; ZeroSize
  // writes 0 x 0 in the descriptor.
  Gif& Image(int X, int Y, int W, int H, const std::vector<int>& Px, int LocalBits = 0, bool Interlaced = false,
             bool ZeroSize = false) {
    B.push_back(0x2C);
    Word(X).Word(Y).Word(ZeroSize ? 0 : W).Word(ZeroSize ? 0 : H);
    B.push_back(static_cast<uint8_t>((LocalBits ? 0x80 | (LocalBits - 1) : 0) | (Interlaced ? 0x40 : 0)));
    if (LocalBits) Table(LocalBits, 5);
    const int64_t row = DibRowSize(W, 8);
    Bytes bits(static_cast<size_t>(row * H), 0);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        bits[static_cast<size_t>((H - 1 - y) * row + x)] = static_cast<uint8_t>(Px[static_cast<size_t>(y * W + x)]);
    TMemoryStream s;
    EncodeLzw(s, W, H, 8, Interlaced, nullptr, bits.data(), bits.size());
    const auto* p = static_cast<const uint8_t*>(s.Memory());
    return Raw(Bytes(p, p + s.Size()));
  }
  Gif& End() { return Raw({0x3B}); }
};

// The colour a hand-built table gives to index I.
TColor TableColor(int I, int Shift = 0) { return RGB(uint8_t(I * 10 + Shift), uint8_t(100 + I), uint8_t(200 - I)); }

const std::vector<int> kPx = {0, 1, 2, 3, 3, 2, 1, 0};

TEST(GifImage, OneRedPixelIsWrittenByteForByte) {
  TBitmap red(1, 1, pf24bit);
  red.Canvas()->SetPixels(0, 0, RGB(255, 0, 0));
  TGIFImage g;
  g.Assign(&red);
  Bytes want = {0x47, 0x49, 0x46, 0x38, 0x37, 0x61, 0x01, 0x00, 0x01, 0x00, 0xF7, 0x00, 0x00, 0xFF, 0x00, 0x00};
  for (int i = 0; i < 255; ++i) want.insert(want.end(), {0x80, 0x80, 0x80});
  want.insert(want.end(), {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0x08, 0x04, 0x00, 0x01, 0x04, 0x04, 0x00, 0x3B});
  EXPECT_EQ(Saved(g), want);

  // A transparent colour found in the table, or a delay, adds a control block and makes it 89a.
  g.Frames(0)->SetTransparentColor(RGB(128, 128, 128));
  Bytes t = Saved(g);
  EXPECT_EQ(std::string(t.begin() + 3, t.begin() + 6), "89a");
  EXPECT_NE(Find(t, {0x21, 0xF9, 4, 0x01, 0, 0, 1, 0, 0x2C}), std::string::npos);
  g.Frames(0)->SetTransparentColor(RGB(1, 2, 3));
  g.Frames(0)->SetAnimateInterval(250);
  EXPECT_NE(Find(Saved(g), {0x21, 0xF9, 4, 0x00, 25, 0}), std::string::npos);
}

TEST(GifImage, BitmapsReadBackWithTheSamePixels) {
  const std::vector<TColor> few = {clRed, clLime, clBlue, clWhite, clBlack, RGB(12, 34, 56), RGB(200, 100, 0)};
  struct Case {
    const char* Name;
    std::unique_ptr<TBitmap> Bitmap;
  };
  std::vector<Case> cases;
  cases.push_back({"true colour", Picture(13, 9, pf24bit, few)});
  cases.push_back({"device", Picture(40, 30, pfDevice, few)});
  cases.push_back({"monochrome", Picture(17, 5, pf1bit, {clBlack, clWhite})});
  cases.push_back({"8-bit", Picture(9, 9, pf8bit, {RGB(0, 0, 0), RGB(255, 255, 255), RGB(51, 102, 153)})});
  cases.push_back({"4-bit", Picture(7, 3, pf4bit, {clRed, clNavy, clWhite})});
  for (auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TGIFImage g;
    g.Assign(c.Bitmap.get());
    TGIFImage back;
    Load(back, Saved(g));
    ASSERT_EQ(back.Count(), 1);
    EXPECT_FALSE(back.Frames(0)->Corrupted());
    EXPECT_EQ(back.Width(), c.Bitmap->Width());
    EXPECT_EQ(PixelsOf(back.Bitmap()), PixelsOf(c.Bitmap.get()));
  }
}

TEST(GifImage, FramesWithTransparencyDelayAndLoopRoundTrip) {
  auto a = Picture(6, 4, pf24bit, {clRed, clBlue, clYellow});
  auto b = Picture(3, 5, pf24bit, {clGreen, clWhite});
  TGIFImage g;
  EXPECT_EQ(g.AppendFrame(a.get()), 0);
  EXPECT_EQ(g.Version(), 1);
  EXPECT_EQ(g.AppendFrame(b.get()), 1);
  EXPECT_EQ(g.Version(), 2);
  EXPECT_EQ(g.FrameIndex(), 1);
  g.Frames(0)->SetAnimateInterval(120);
  g.Frames(1)->SetOrigin(Point(2, 1));
  g.Frames(1)->SetTransparentColor(clWhite);
  g.Frames(1)->SetDisposalMethod(2);
  g.Frames(1)->Comment()->Add("second");
  g.SetLooping(true);
  g.SetRepeatCount(3);
  Bytes data = Saved(g);
  // The loop block follows the global table of the first frame.
  EXPECT_EQ(Find(data, {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 3, 0, 0}),
            13u + 768);

  TGIFImage back;
  Load(back, data);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_TRUE(back.Looping());
  EXPECT_EQ(back.RepeatCount(), 3);
  EXPECT_EQ(back.ScreenWidth(), 6);
  EXPECT_EQ(back.ScreenHeight(), 6);
  EXPECT_EQ(back.Frames(0)->AnimateInterval(), 120);
  EXPECT_EQ(back.Frames(0)->TransparentColor(), clNone);
  EXPECT_EQ(back.Frames(1)->TransparentColor(), clWhite);
  EXPECT_EQ(back.Frames(1)->DisposalMethod(), 2);
  EXPECT_EQ(back.Frames(1)->Origin(), Point(2, 1));
  EXPECT_TRUE(back.Frames(1)->OwnColorTable());
  EXPECT_EQ(back.Frames(1)->Comment()->Strings(0), "second");
  EXPECT_TRUE(back.Transparent());
  EXPECT_EQ(PixelsOf(back.Frames(0)->Bitmap()), PixelsOf(a.get()));
  EXPECT_EQ(PixelsOf(back.Frames(1)->Bitmap()), PixelsOf(b.get()));

  // One frame: the loop flag writes nothing.
  TGIFImage single;
  single.Assign(a.get());
  single.SetLooping(true);
  EXPECT_EQ(Find(Saved(single), {0x21, 0xFF}), std::string::npos);
}

TEST(GifImage, ReadingRulesOfHandBuiltFiles) {
  {
    SCOPED_TRACE("interlaced frame, local table, backdrop");
    std::vector<int> px;
    for (int i = 0; i < 3 * 11; ++i) px.push_back(i % 4);
    TGIFImage g;
    Load(g, Gif(3, 11, 2, "GIF89a", 2).Image(0, 0, 3, 11, px, 2, true).End().B);
    EXPECT_EQ(g.BackgroundColor(), TableColor(2));
    ASSERT_EQ(g.Count(), 1);
    EXPECT_TRUE(g.Frames(0)->Interlaced());
    std::vector<TColor> want;
    for (int v : px) want.push_back(TableColor(v, 5));
    EXPECT_EQ(PixelsOf(g.Bitmap()), want);
  }
  {
    SCOPED_TRACE("second frame on the global table, zero bytes between blocks, size 0 takes the screen's");
    TGIFImage g;
    Load(g, Gif().Image(0, 0, 4, 2, kPx, 1).Raw({0, 0}).Image(0, 0, 4, 2, kPx, 0, false, true).Raw({0, 0, 0}).End().B);
    ASSERT_EQ(g.Count(), 2);
    EXPECT_EQ(g.Frames(1)->Width(), 4);
    std::vector<TColor> want;
    for (int v : kPx) want.push_back(TableColor(v));
    EXPECT_EQ(PixelsOf(g.Frames(1)->Bitmap()), want);
    EXPECT_EQ(g.Frames(0)->Bitmap()->Canvas()->Pixels(1, 0), TableColor(1, 5));
  }
  {
    SCOPED_TRACE("loop count above 30000");
    TGIFImage g;
    Load(g, Gif().Loop(40000).Image(0, 0, 4, 2, kPx).End().B);
    EXPECT_TRUE(g.Looping());
    EXPECT_EQ(g.RepeatCount(), 30000);
  }
  {
    SCOPED_TRACE("control blocks: transparency, delay, an index outside the table");
    TGIFImage g;
    Load(g, Gif().Control(0x09, 7, 3).Image(0, 0, 4, 2, kPx).Control(0x01, 2, 9).Image(0, 0, 4, 2, kPx).End().B);
    EXPECT_EQ(g.Frames(0)->TransparentColor(), TableColor(3));
    EXPECT_EQ(g.Frames(0)->AnimateInterval(), 70);
    EXPECT_EQ(g.Frames(0)->DisposalMethod(), 2);
    EXPECT_EQ(g.Frames(1)->TransparentColor(), clNone);
  }
  {
    SCOPED_TRACE("a plain-text block drops the blocks before it in its run");
    TGIFImage g;
    Load(g, Gif().Control(0x01, 5, 1).Comment({"gone"}).PlainText().Image(0, 0, 4, 2, kPx).End().B);
    EXPECT_EQ(g.Frames(0)->TransparentColor(), clNone);
    EXPECT_EQ(g.Frames(0)->Extensions().size(), 0u);
  }
  {
    SCOPED_TRACE("comments before the trailer become the picture's; a frame keeps its own");
    TGIFImage g;
    Load(g, Gif().Comment({"frame"}).Image(0, 0, 4, 2, kPx).Comment({"a", "b"}).Comment({"c"}).End().B);
    EXPECT_EQ(g.Frames(0)->Comment()->Strings(0), "frame");
    ASSERT_EQ(g.Comment()->Count(), 4);
    EXPECT_EQ(g.Comment()->Strings(2), "\r\n\r\n");
    EXPECT_EQ(g.Comment()->Strings(3), "c");
    // Written back as one comment block before the trailer; empty lines left out, long ones cut.
    g.Comment()->Add("");
    g.Comment()->Add(std::string(300, 'x'));
    Bytes out = Saved(g);
    Bytes tail = {0x21, 0xFE, 1, 'a', 1, 'b', 4, '\r', '\n', '\r', '\n', 1, 'c', 255};
    size_t at = Find(out, tail);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(out.size(), at + tail.size() + 255 + 2);
    EXPECT_EQ(out[out.size() - 2], 0);
    EXPECT_EQ(out.back(), 0x3B);
  }
  {
    SCOPED_TRACE("an unknown byte after an image ends the picture");
    TGIFImage g;
    Load(g, Gif().Image(0, 0, 4, 2, kPx).Raw({0x55, 1, 2, 3}).B);
    EXPECT_EQ(g.Count(), 1);
  }
}

TEST(GifImage, BadFilesAreRefusedWithTheirMessages) {
  struct Case {
    const char* Name;
    Bytes Data;
    std::string Message;
  };
  const Case cases[] = {
      {"signature", Gif(4, 2, 2, "GIX89a").Image(0, 0, 4, 2, kPx).End().B, "Неизвестная версия изображения GIF"},
      {"version", Gif(4, 2, 2, "GIF88a").Image(0, 0, 4, 2, kPx).End().B, "Неизвестная версия изображения GIF"},
      {"no colour table", Gif(4, 2, 0).Image(0, 0, 4, 2, kPx).End().B,
       "Неверное число цветов; должно быть степенью числа 2"},
      {"unknown extension", Gif().Raw({0x21, 0x7A, 0}).Image(0, 0, 4, 2, kPx).End().B,
       "Неопределенное расширение GIF: 7A"},
      {"unknown byte after extensions", Gif().Comment({"x"}).Raw({0x55}).End().B, "Stream read error"},
      {"truncated header", Bytes{'G', 'I', 'F', '8'}, "Stream read error"},
      {"truncated extension", Gif().Raw({0x21, 0xFE, 9, 'a'}).B, "Stream read error"},
      {"huge frame", Gif(1, 1).Raw({0x2C, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 8, 0}).End().B,
       "Изображение GIF слишком велико"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TGIFImage g;
    std::string m = c.Data.empty() ? "" : MessageOf<Exception>([&] { Load(g, c.Data); });
    EXPECT_EQ(m, c.Message);
  }
  // Letter case of the signature does not matter.
  TGIFImage lower;
  Load(lower, Gif(4, 2, 2, "gif89A").Image(0, 0, 4, 2, kPx).End().B);
  EXPECT_EQ(lower.Version(), 2);
}

TEST(GifImage, TruncatedDataLoadsDamagedOrIsRefused) {
  Bytes full = Gif(20, 20).Image(0, 0, 4, 2, kPx).Image(0, 0, 20, 20, std::vector<int>(400, 0)).End().B;
  // Cut inside the second frame's sub-block.
  Bytes cut(full.begin(), full.end() - 5);
  TGIFImage g;
  Load(g, cut);
  ASSERT_EQ(g.Count(), 2);
  EXPECT_FALSE(g.Frames(0)->Corrupted());
  EXPECT_TRUE(g.Frames(1)->Corrupted());
  EXPECT_EQ(g.Frames(1)->Bitmap()->Width(), 20);

  // Saved again, the frame gets its terminator back and the file reads cleanly.
  TGIFImage again;
  Load(again, Saved(g));
  ASSERT_EQ(again.Count(), 2);
  EXPECT_FALSE(again.Frames(1)->Corrupted());

  GIFLoadCorrupted = false;
  TGIFImage strict;
  std::string m = MessageOf<Exception>([&] { Load(strict, cut); });
  GIFLoadCorrupted = true;
  EXPECT_EQ(m, "Stream read error");
}

TEST(GifImage, FramesOutsideTheScreenAndHostileLengths) {
  TGIFImage g;
  Load(g, Gif(2, 2).Image(100, 200, 4, 2, kPx).End().B);
  EXPECT_EQ(g.Width(), 4);
  Bytes out = Saved(g);
  EXPECT_EQ(out[6] | (out[7] << 8), 104);
  EXPECT_EQ(out[8] | (out[9] << 8), 202);

  // A form-resource length far beyond the data is refused before anything is allocated.
  TMemoryStream s;
  const uint8_t len[4] = {0xFF, 0xFF, 0xFF, 0x7F};
  s.WriteBuffer(len, 4);
  s.WriteString("GIF89a");
  s.SetPosition(0);
  EXPECT_THROW(g.ReadData(s), EReadError);

  // The form-resource data round-trips with its length prefix.
  TGIFImage src;
  Load(src, Gif().Image(0, 0, 4, 2, kPx).End().B);
  TMemoryStream data;
  src.WriteData(data);
  data.SetPosition(0);
  TGIFImage back;
  back.ReadData(data);
  EXPECT_EQ(PixelsOf(back.Bitmap()), PixelsOf(src.Bitmap()));
}

TEST(GifImage, MutatedFilesNeverCrash) {
  auto a = Picture(9, 7, pf24bit, {clRed, clBlue, clYellow, clGreen});
  TGIFImage g;
  g.AppendFrame(a.get());
  g.AppendFrame(a.get());
  g.Frames(1)->SetTransparentColor(clRed);
  g.Comment()->Add("note");
  const Bytes good = Saved(g);
  std::mt19937 rng(99);
  for (int i = 0; i < 500; ++i) {
    Bytes b = good;
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits; ++e) b[rng() % b.size()] = static_cast<uint8_t>(rng());
    if (i % 5 == 0) b.resize(rng() % b.size());
    TGIFImage t;
    try {
      Load(t, b);
      for (int f = 0; f < t.Count(); ++f) t.Frames(f)->Bitmap();
      Saved(t);
    } catch (const Exception&) {}
  }
}

TEST(GifImage, SizeCannotBeSetAndEmptyPicturesAreNotWritten) {
  TGIFImage g;
  EXPECT_TRUE(g.Empty());
  EXPECT_EQ(g.Width(), 0);
  EXPECT_EQ(MessageOf<EInvalidGraphicOperation>([&] { g.SetWidth(5); }), "Невозможно изменить размер изображения GIF");
  EXPECT_EQ(MessageOf<EInvalidGraphicOperation>([&] { Saved(g); }), "Нет данных для записи в формате GIF");
}

TEST(GifImage, AssignmentSharesDataAndCopiesOut) {
  auto a = Picture(5, 4, pf24bit, {clRed, clWhite});
  TGIFImage g;
  g.Assign(a.get());
  g.Frames(0)->SetTransparentColor(clWhite);
  TGIFImage copy;
  copy.Assign(&g);
  EXPECT_TRUE(copy.Equals(&g));
  EXPECT_EQ(copy.Frames(0)->TransparentColor(), clWhite);

  // A new graphic on one picture's frame leaves the other alone.
  auto other = Picture(2, 2, pf24bit, {clBlue});
  copy.Frames(0)->Assign(other.get());
  EXPECT_EQ(copy.Width(), 2);
  EXPECT_EQ(g.Width(), 5);

  // Out to a bitmap: the frame's pixels and its transparent colour.
  TBitmap out;
  out.Assign(&g);
  EXPECT_EQ(PixelsOf(&out), PixelsOf(a.get()));
  EXPECT_TRUE(out.Transparent());
  EXPECT_EQ(out.TransparentColor(), clWhite);

  // A frame assigned to a picture brings its picture's global table.
  TGIFImage fromFrame;
  TGIFImage loaded;
  Load(loaded, Gif().Image(0, 0, 4, 2, kPx).End().B);
  fromFrame.Assign(loaded.Frames(0));
  EXPECT_EQ(fromFrame.Count(), 1);
  EXPECT_EQ(fromFrame.ColorTable().Count, 4);
  EXPECT_EQ(PixelsOf(fromFrame.Bitmap()), PixelsOf(loaded.Bitmap()));
}

TEST(GifImage, DrawingLeavesTheTransparentColourOut) {
  auto a = Picture(4, 4, pf24bit, {clRed, clWhite});
  TGIFImage g;
  g.Assign(a.get());
  g.Frames(0)->SetTransparentColor(clWhite);
  TBitmap target(4, 4, pf24bit);
  target.Canvas()->Brush()->SetColor(clBlue);
  target.Canvas()->FillRect(Rect(0, 0, 4, 4));
  target.Canvas()->Draw(0, 0, &g);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(target.Canvas()->Pixels(x, y), a->Canvas()->Pixels(x, y) == clWhite ? clBlue : clRed);
}

TEST(GifImage, RegisteredForGifFilesAndTheClipboard) {
  EXPECT_NE(GetClass("TGIFImage"), nullptr);
  std::unique_ptr<TGraphic> made(TPicture::CreateForExtension("GIF"));
  EXPECT_NE(dynamic_cast<TGIFImage*>(made.get()), nullptr);
  EXPECT_NE(TPicture::GraphicFilter().find("CompuServe GIF Image (*.gif)"), std::string::npos);

  const std::string path = testing::TempDir() + "gif_image_test.gif";
  Bytes data = Gif().Image(0, 0, 4, 2, kPx).End().B;
  {
    TFileStream f(path, fmCreate);
    f.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
  }
  TPicture pic;
  pic.LoadFromFile(path);
  EXPECT_NE(dynamic_cast<TGIFImage*>(pic.Graphic()), nullptr);
  EXPECT_EQ(pic.Width(), 4);
  std::remove(path.c_str());

  // Clipboard contents: the GIF behind its length; read back without decoding.
  TGIFImage g;
  Load(g, data);
  std::vector<int> stages;
  g.OnProgress = [&](TObject* Sender, TProgressStage S, uint8_t, bool, const TRect&, const std::string&) {
    EXPECT_EQ(Sender, &g);
    stages.push_back(S);
  };
  const std::string clip = g.ClipboardData();
  ASSERT_EQ(clip.size(), 4 + data.size());
  g.LoadFromClipboardData(clip, nullptr);
  EXPECT_EQ(g.Count(), 1);
  EXPECT_FALSE(g.Frames(0)->HasBitmap());
  g.Bitmap();
  ASSERT_GE(stages.size(), 2u);
  EXPECT_EQ(stages.front(), psStarting);
  EXPECT_EQ(stages.back(), psEnding);
}

}  // namespace
