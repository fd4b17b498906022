// Bitmaps, metafiles, JPEG images and the picture registry.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/bitmap.h"
#include "platform/exceptions.h"
#include "platform/jpeg.h"
#include "platform/metafile.h"
#include "platform/picture.h"
#include "platform/streams.h"

namespace {

void Scene(TCanvas* C) {
  C->Brush()->SetColor(clYellow);
  C->FillRect(Rect(0, 0, 60, 40));
  C->Pen()->SetColor(clNavy);
  C->Brush()->SetColor(clAqua);
  C->Rectangle(5, 5, 30, 25);
  C->Ellipse(20, 10, 55, 35);
  C->MoveTo(0, 39);
  C->LineTo(59, 0);
  C->Brush()->SetColor(clRed);
  C->Polygon({{40, 2}, {58, 2}, {50, 12}});
}

std::vector<TColor> PixelsOf(TBitmap& B) {
  std::vector<TColor> v;
  for (int y = 0; y < B.Height(); ++y)
    for (int x = 0; x < B.Width(); ++x) v.push_back(B.Canvas()->Pixels(x, y));
  return v;
}

TEST(CanvasImages, NewBitmapsAreWhiteAndKeepPixelsWhenResized) {
  TBitmap b(10, 8, pf24bit);
  EXPECT_EQ(b.Canvas()->Pixels(9, 7), clWhite);
  b.Canvas()->SetPixels(2, 3, clRed);
  b.SetSize(20, 20);
  EXPECT_EQ(b.Canvas()->Pixels(2, 3), clRed);
  EXPECT_EQ(b.Canvas()->Pixels(15, 15), clWhite);
  // Rows of a 24-bit bitmap are blue, green, red.
  const uint8_t* row = static_cast<const uint8_t*>(b.ScanLine(3));
  EXPECT_EQ(row[2 * 3 + 0], 0);
  EXPECT_EQ(row[2 * 3 + 2], 255);
  EXPECT_THROW(b.ScanLine(20), EInvalidGraphicOperation);
  // Writing a row shows through the canvas.
  uint8_t* w = static_cast<uint8_t*>(b.ScanLine(0));
  w[0] = 255;
  w[1] = 0;
  w[2] = 0;
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clBlue);
}

TEST(CanvasImages, WidthAndHeightSetOneAtATimeOnANewBitmap) {
  for (bool widthFirst : {true, false}) {
    TBitmap b;
    if (widthFirst)
      b.SetWidth(2);
    else
      b.SetHeight(2);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(widthFirst ? b.Width() : b.Height(), 2);
    if (widthFirst)
      b.SetHeight(3);
    else
      b.SetWidth(3);
    EXPECT_FALSE(b.Empty());
    EXPECT_EQ(b.Width(), widthFirst ? 2 : 3);
    EXPECT_EQ(b.Height(), widthFirst ? 3 : 2);
    EXPECT_EQ(b.Canvas()->Pixels(b.Width() - 1, b.Height() - 1), clWhite);
    // Back to one side 0 and up again: the other side is kept.
    b.SetHeight(0);
    EXPECT_TRUE(b.Empty());
    b.SetHeight(4);
    EXPECT_EQ(b.Width(), widthFirst ? 2 : 3);
    TBitmap c;
    c.Assign(&b);
    EXPECT_EQ(c.Height(), 4);
  }
}

TEST(CanvasImages, BitmapFilesRoundTripInEveryPixelFormat) {
  for (TPixelFormat f : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
    TBitmap b(13, 7, f);
    b.Canvas()->Brush()->SetColor(clBlack);
    b.Canvas()->FillRect(Rect(0, 0, 6, 7));
    TMemoryStream s;
    b.SaveToStream(s);
    s.SetPosition(0);
    TBitmap c;
    c.LoadFromStream(s);
    EXPECT_EQ(c.PixelFormat(), f) << f;
    EXPECT_EQ(c.Width(), 13);
    EXPECT_EQ(c.Canvas()->Pixels(2, 2), clBlack) << f;
    EXPECT_EQ(c.Canvas()->Pixels(10, 2), clWhite) << f;
  }
  TStringStream junk("not a bitmap at all, certainly not");
  TBitmap d;
  EXPECT_THROW(d.LoadFromStream(junk), EInvalidGraphic);
}

TEST(CanvasImages, MetafileReplaysToTheSamePixelsAsDirectDrawing) {
  TBitmap direct(60, 40);
  Scene(direct.Canvas());

  TMetafile mf;
  mf.SetWidth(60);
  mf.SetHeight(40);
  {
    TMetafileCanvas mc(&mf);
    Scene(&mc);
  }
  ASSERT_FALSE(mf.Empty());
  TBitmap replay(60, 40);
  replay.Canvas()->Draw(0, 0, &mf);
  std::vector<TColor> a = PixelsOf(replay), b = PixelsOf(direct);
  int differ = 0;
  std::string first;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) {
      if (!differ)
        first = std::to_string(i % 60) + "," + std::to_string(i / 60) + ": " + std::to_string(a[i]) + " vs " +
                std::to_string(b[i]);
      ++differ;
    }
  EXPECT_EQ(differ, 0) << first;

  // Stored and read back, then replayed at twice the size.
  TMemoryStream s;
  mf.SaveToStream(s);
  s.SetPosition(0);
  TMetafile back;
  back.LoadFromStream(s);
  EXPECT_EQ(back.Width(), 60);
  TBitmap big(120, 80);
  big.Canvas()->StretchDraw(Rect(0, 0, 120, 80), &back);
  EXPECT_EQ(big.Canvas()->Pixels(2, 2), clYellow);
  EXPECT_EQ(big.Canvas()->Pixels(30, 30), clAqua);

  TStringStream foreign("\x01\x00\x00\x00 an emf from elsewhere");
  EXPECT_THROW(back.LoadFromStream(foreign), EInvalidGraphic);
}

TEST(CanvasImages, JpegRoundTrip) {
  TBitmap src(64, 48, pf24bit);
  for (int y = 0; y < 48; ++y) {
    uint8_t* row = static_cast<uint8_t*>(src.ScanLine(y));
    for (int x = 0; x < 64; ++x) {
      row[x * 3] = static_cast<uint8_t>(x * 4);
      row[x * 3 + 1] = static_cast<uint8_t>(y * 5);
      row[x * 3 + 2] = 128;
    }
  }
  TJPEGImage j;
  j.Assign(&src);
  j.SetCompressionQuality(95);
  TMemoryStream s;
  j.SaveToStream(s);
  EXPECT_GT(s.Size(), 100);
  s.SetPosition(0);
  TJPEGImage k;
  k.LoadFromStream(s);
  EXPECT_EQ(k.Width(), 64);
  EXPECT_EQ(k.Height(), 48);
  TBitmap out;
  out.Assign(&k);
  ASSERT_EQ(out.Width(), 64);
  int worst = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      TColor a = src.Canvas()->Pixels(x, y), b = out.Canvas()->Pixels(x, y);
      worst = std::max({worst, std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                        std::abs(GetBValue(a) - GetBValue(b))});
    }
  EXPECT_LT(worst, 16);

  // A half-scale decode, and damaged data.
  k.SetScale(jsHalf);
  EXPECT_EQ(k.Width(), 32);
  std::string broken = std::string("\xFF\xD8\xFF\xE0", 4) + std::string(40, 'x');
  TStringStream bs(broken);
  TJPEGImage bad;
  EXPECT_THROW(
      {
        bad.LoadFromStream(bs);
        bad.DIBNeeded();
      },
      EInvalidGraphic);
  EXPECT_THROW(bad.SetWidth(3), EInvalidGraphicOperation);
}

TEST(CanvasImages, PicturesFindTheirClassByExtension) {
  std::string dir = testing::TempDir();
  TBitmap b(5, 4);
  b.Canvas()->SetPixels(1, 1, clGreen);
  b.SaveToFile(dir + "pic_test.BMP");
  TJPEGImage j;
  j.Assign(&b);
  j.SaveToFile(dir + "pic_test.jpeg");

  TPicture p;
  int changes = 0;
  p.OnChange = [&](TObject*) { ++changes; };
  p.LoadFromFile(dir + "pic_test.BMP");
  EXPECT_NE(dynamic_cast<TBitmap*>(p.Graphic()), nullptr);
  EXPECT_EQ(p.Bitmap()->Canvas()->Pixels(1, 1), clGreen);
  p.LoadFromFile(dir + "pic_test.jpeg");
  EXPECT_NE(dynamic_cast<TJPEGImage*>(p.Graphic()), nullptr);
  EXPECT_EQ(p.Width(), 5);
  EXPECT_GE(changes, 2);
  try {
    p.LoadFromFile(dir + "pic_test.xyz");
    FAIL();
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Unknown picture file extension (.xyz)");
  }
  EXPECT_NE(dynamic_cast<TJPEGImage*>(p.Graphic()), nullptr);  // unchanged by the failed load
  EXPECT_NE(TPicture::GraphicFilter().find("*.jpg"), std::string::npos);
}

TEST(CanvasImages, BitmapResourcesByName) {
  TBitmap src(6, 5, pf24bit);
  src.Canvas()->SetPixels(2, 1, clRed);
  TMemoryStream bytes;
  src.SaveToStream(bytes);
  std::string file = testing::TempDir() + "res_test.bmp";
  src.SaveToFile(file);

  RegisterBitmapResource("Res_From_Bitmap", &src);
  RegisterBitmapResourceData("RES_FROM_DATA", bytes.Memory(), static_cast<size_t>(bytes.Size()));
  RegisterBitmapResourceFile("res_from_file", file);
  for (const char* name : {"res_from_bitmap", "Res_From_Data", "RES_FROM_FILE"}) {
    TBitmap b;
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    ASSERT_TRUE(FindBitmapResource(name, &b)) << name;
    EXPECT_EQ(b.Width(), 6) << name;
    EXPECT_EQ(b.Height(), 5) << name;
    EXPECT_EQ(b.Canvas()->Pixels(2, 1), clRed) << name;
    EXPECT_EQ(b.Canvas()->Pixels(3, 1), clWhite) << name;
    EXPECT_GE(changes, 1) << name;
  }

  // Missing names leave the bitmap alone; loading by name raises the toolkit's error.
  TBitmap keep(3, 3);
  EXPECT_FALSE(FindBitmapResource("NO_SUCH_BITMAP", &keep));
  EXPECT_EQ(keep.Width(), 3);
  try {
    keep.LoadFromResourceName("NO_SUCH_BITMAP");
    FAIL();
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource NO_SUCH_BITMAP not found");
  }
  keep.LoadFromResourceName("res_from_data");
  EXPECT_EQ(keep.Width(), 6);

  UnregisterBitmapResource("RES_FROM_BITMAP");
  EXPECT_FALSE(FindBitmapResource("Res_From_Bitmap", nullptr));
  EXPECT_THROW(RegisterBitmapResourceData("BAD", "not a picture", 13), EInvalidGraphic);
  EXPECT_THROW(RegisterBitmapResourceFile("BAD", testing::TempDir() + "no_such_file.bmp"), EFOpenError);
  EXPECT_FALSE(FindBitmapResource("BAD", nullptr));
}

}  // namespace

// A 32-bit file whose header declares an alpha mask but whose alpha bytes are all zero (as many
// writers leave them) shows its colours: the alpha byte is ignored, the pixels are not turned black.
TEST(CanvasImages, ThirtyTwoBitFileWithEmptyAlphaKeepsItsColours) {
  const int w = 4, h = 2;
  std::string d;
  auto put = [&](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) d.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  const uint32_t header = 108, offset = 14 + header, size = offset + w * h * 4;
  d += "BM";
  put(size, 4), put(0, 4), put(offset, 4);
  put(header, 4), put(w, 4), put(h, 4), put(1, 2), put(32, 2), put(3, 4);  // BI_BITFIELDS
  put(w * h * 4, 4), put(2835, 4), put(2835, 4), put(0, 4), put(0, 4);
  put(0x00FF0000, 4), put(0x0000FF00, 4), put(0x000000FF, 4), put(0xFF000000, 4);  // R, G, B, A masks
  put(0x73524742, 4);                                                              // sRGB
  d.append(48, '\0');                                                              // end points, gamma
  for (int i = 0; i < w * h; ++i) put(0x0000FF00, 4);                              // green, alpha 0
  TStringStream s(d);
  TBitmap b;
  b.LoadFromStream(s);
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clLime);
  TBitmap target(8, 8, pf24bit);
  target.Canvas()->StretchDraw(Rect(0, 0, 8, 8), &b);
  EXPECT_EQ(target.Canvas()->Pixels(4, 4), clLime);
}

TEST(CanvasImages, SnapshotPutsThePixelsBackAndKeepsTheCanvasState) {
  TBitmap b(60, 40, pf32bit);
  Scene(b.Canvas());
  const std::vector<TColor> scene = PixelsOf(b);
  TBitmapSnapshot snap;
  EXPECT_FALSE(snap.RestoreTo(&b));
  snap.Take(&b);
  b.Canvas()->Brush()->SetColor(clLime);
  b.Canvas()->FillRect(Rect(0, 0, 60, 40));
  ASSERT_TRUE(snap.RestoreTo(&b));
  EXPECT_EQ(PixelsOf(b), scene);
  // The canvas still draws with the brush it had.
  b.Canvas()->FillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(b.Canvas()->Pixels(1, 1), clLime);
  // Another size or format is refused and left alone.
  TBitmap other(61, 40, pf32bit), gray(60, 40, pf24bit);
  EXPECT_FALSE(snap.RestoreTo(&other));
  EXPECT_EQ(other.Canvas()->Pixels(0, 0), clWhite);
  EXPECT_FALSE(snap.RestoreTo(&gray));
  snap.Clear();
  EXPECT_TRUE(snap.Empty());
}
