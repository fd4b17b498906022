// The clipboard round trip: text, named byte blocks, bitmaps, and batches between Open and Close.
#include <gtest/gtest.h>

#include <string>

#include "platform/bitmap.h"
#include "platform/clipbrd.h"
#include "platform/exceptions.h"
#include "platform/picture.h"

namespace {

TEST(Clipbrd, NamedFormatsKeepTheirNumberWhateverTheLetterCase) {
  TClipboardFormat gif = RegisterClipboardFormat("GIF Image");
  EXPECT_GE(gif, 0xC000u);
  EXPECT_EQ(RegisterClipboardFormat("gif image"), gif);
  EXPECT_NE(RegisterClipboardFormat("Other"), gif);
  EXPECT_EQ(GetClipboardFormatName(gif), "GIF Image");
  EXPECT_EQ(GetClipboardFormatName(CF_TEXT), "");
  EXPECT_EQ(RegisterClipboardFormat(""), 0u);
}

TEST(Clipbrd, TextAndByteBlocksRoundTripAndEachSettingReplacesTheLast) {
  TClipboard* c = Clipboard();
  c->SetAsText("Hello \xD0\x9C\xD0\xA2");
  EXPECT_EQ(c->AsText(), "Hello \xD0\x9C\xD0\xA2");
  EXPECT_TRUE(c->HasFormat(CF_TEXT));

  TClipboardFormat gif = RegisterClipboardFormat("GIF Image");
  std::string bytes("\x04\x00\x00\x00GIF8\x00\xFF", 10);  // zero bytes survive
  c->SetAsHandle(gif, bytes);
  EXPECT_EQ(c->GetAsHandle(gif), bytes);
  EXPECT_FALSE(c->HasFormat(CF_TEXT));  // replaced, not added to
  EXPECT_EQ(c->GetAsHandle(RegisterClipboardFormat("Other")), "");
  EXPECT_EQ(c->GetAsHandle(0xFFFF), "");
  EXPECT_THROW(c->SetAsHandle(0xFFFF, "x"), EConvertError);

  // Between Open and Close the formats go on together.
  c->Open();
  c->SetAsText("both");
  c->Open();
  c->SetAsHandle(gif, "GIF");
  c->Close();
  EXPECT_EQ(c->GetAsHandle(gif), bytes);  // nothing changed before the last Close
  c->Close();
  EXPECT_EQ(c->AsText(), "both");
  EXPECT_EQ(c->GetAsHandle(gif), "GIF");
  ASSERT_EQ(c->FormatCount(), 2);
  EXPECT_EQ(c->Formats(0), CF_TEXT);
  EXPECT_EQ(c->Formats(1), gif);
  EXPECT_THROW(c->Formats(2), EListError);
  c->Close();  // an extra Close is harmless
  c->Clear();
  EXPECT_FALSE(c->HasFormat(gif));
  EXPECT_EQ(c->FormatCount(), 0);
}

TEST(Clipbrd, BitmapsGoThroughTheClipboardPixelForPixel) {
  TBitmap src;
  src.SetSize(6, 4);
  src.Canvas()->Brush()->SetColor(clNavy);
  src.Canvas()->FillRect(Rect(0, 0, 6, 4));
  src.Canvas()->SetPixels(5, 3, clYellow);
  Clipboard()->Assign(&src);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));

  TBitmap dst;
  dst.Assign(Clipboard());
  EXPECT_EQ(dst.Width(), 6);
  EXPECT_EQ(dst.Height(), 4);
  EXPECT_EQ(dst.Canvas()->Pixels(0, 0), clNavy);
  EXPECT_EQ(dst.Canvas()->Pixels(5, 3), clYellow);

  TPicture pic;
  pic.Assign(Clipboard());
  EXPECT_EQ(pic.Width(), 6);

  Clipboard()->SetAsText("no picture");
  TBitmap none;
  EXPECT_THROW(none.Assign(Clipboard()), EInvalidGraphic);
  EXPECT_THROW(Clipboard()->Assign(nullptr), EConvertError);
}

}  // namespace
