#include "controls/vx_utils.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/controls.h"
#include "platform/forms.h"

namespace {

// The bounding box of the pixels in R that differ from Back (empty when none do).
TRect InkBox(TCanvas* C, const TRect& R, TColor Back) {
  TRect box(R.Right, R.Bottom, R.Left, R.Top);
  for (int y = R.Top; y < R.Bottom; ++y)
    for (int x = R.Left; x < R.Right; ++x)
      if (C->Pixels(x, y) != Back) {
        box.Left = std::min(box.Left, x);
        box.Top = std::min(box.Top, y);
        box.Right = std::max(box.Right, x + 1);
        box.Bottom = std::max(box.Bottom, y + 1);
      }
  return IsRectEmpty(box) ? TRect() : box;
}

void Fill(TCanvas* C, const TRect& R, TColor Color) {
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color);
  C->FillRect(R);
}

void UseTestFont(TCanvas* C) {
  C->Font()->SetName("DejaVu Sans");
  C->Font()->SetHeight(-12);
  C->Font()->SetColor(clBlack);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Strings

TEST(VxUtilsText, WordsAndFields) {
  const TCharSet blankComma = CharSetOf(" ,");
  const std::string text = "  a,,b  ";
  EXPECT_EQ(CountWords(text, blankComma), 2);
  EXPECT_EQ(WordAt(1, text, blankComma), "a");
  EXPECT_EQ(WordAt(2, text, blankComma), "b");
  EXPECT_EQ(WordStart(2, text, blankComma), 6);
  EXPECT_EQ(WordStart(3, text, blankComma), 0);
  EXPECT_EQ(WordAt(3, text, blankComma), "");
  EXPECT_EQ(WordStart(0, text, blankComma), 0);
  EXPECT_EQ(CountWords("", blankComma), 0);
  EXPECT_EQ(CountWords("  ,, ", blankComma), 0);
  EXPECT_EQ(WordAt(2, "first second", CharSetOf(" ")), "second");

  const TCharSet semi = CharSetOf(";");
  int pos = 1;
  EXPECT_EQ(NextField("a;;b", pos, semi), "a");
  EXPECT_EQ(pos, 3);
  EXPECT_EQ(NextField("a;;b", pos, semi), "");
  EXPECT_EQ(pos, 4);
  EXPECT_EQ(NextField("a;;b", pos, semi), "b");
  EXPECT_EQ(pos, 5);
  EXPECT_EQ(NextField("a;;b", pos, semi), "");  // past the end stays there
  EXPECT_EQ(pos, 5);
}

TEST(VxUtilsText, SmallStringRoutines) {
  struct Case {
    std::string text, search, replacement, expected;
  } cases[] = {
      {"aaa", "aa", "a", "aa"},           // left to right, no overlap
      {"abcabc", "b", "bb", "abbcabbc"},  // inserted text is not searched again
      {"abc", "", "x", "abc"},            // empty search changes nothing
      {"aBc", "b", "x", "aBc"},           // case-sensitive
      {"", "a", "b", ""},
      {"xyz", "xyz", "", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReplaceAll(c.text, c.search, c.replacement), c.expected) << c.text << " / " << c.search;

  EXPECT_EQ(RemoveChar("a-b--c-", '-'), "abc");
  EXPECT_EQ(TrimLeadingSpaces("  a b \t "), "a b \t ");
  EXPECT_EQ(TrimTrailingSpaces(" \ta b  "), " \ta b");
  EXPECT_EQ(TrimSpaces("  a  "), "a");
  EXPECT_EQ(TrimSpaces("   "), "");
  EXPECT_EQ(RepeatChar('x', 3), "xxx");
  EXPECT_EQ(RepeatChar('x', 0), "");
  EXPECT_EQ(RepeatChar('x', -2), "");
}

TEST(VxUtilsText, KeyedHexEncoding) {
  EXPECT_EQ(KeyedHexEncode("", "a"), "61");
  EXPECT_EQ(KeyedHexEncode("", "\xff\x01"), "ff01");
  // 'a' ^ 'k' = 0x0a; 'b' ^ 'e' = 0x07; the key cycles: 'c' ^ 'k' = 0x08.
  EXPECT_EQ(KeyedHexEncode("ke", "abc"), "0a0708");
  EXPECT_EQ(KeyedHexDecode("ke", "0a0708"), "abc");
  EXPECT_EQ(KeyedHexDecode("", "6162F"), "ab");    // a trailing odd digit is ignored
  EXPECT_EQ(KeyedHexDecode("", "61zz62"), "a b");  // a pair that is not hex reads as 32
  EXPECT_EQ(KeyedHexDecode("k", "zz"), std::string(1, static_cast<char>(32 ^ 'k')));  // then the key
  EXPECT_EQ(KeyedHexDecode("", "4A4b"), "JK");                                        // either letter case reads

  const std::vector<std::string> texts = {"", "value with blanks", std::string("\0\x7f\x80\xff", 4), "Привет"};
  for (const std::string& key : {std::string(), std::string("key"), std::string("a much longer key text")})
    for (const std::string& t : texts) {
      const std::string hex = KeyedHexEncode(key, t);
      EXPECT_EQ(hex.size(), t.size() * 2);
      EXPECT_EQ(hex.find_first_not_of("0123456789abcdef"), std::string::npos);
      EXPECT_EQ(KeyedHexDecode(key, hex), t) << key;
    }
}

TEST(VxUtilsText, CommandLine) {
  struct Case {
    std::string line;
    std::vector<std::string> args;
  } cases[] = {
      {"", {}},
      {"   ", {}},
      {"prog a b", {"prog", "a", "b"}},
      {"  prog\t a  ", {"prog", "a"}},
      {"\"C:/Program Files/x.exe\" \"a b\" c", {"C:/Program Files/x.exe", "a b", "c"}},
      {"ab\"c d\"e f", {"abc de", "f"}},  // quotes open a run inside an argument
      {"\"\" a", {"a"}},                  // a pair of quotes met while skipping is skipped
      {"a \"unterminated run", {"a", "unterminated run"}},
      {"a\xd0\xb6 b", {"a\xd0\xb6", "b"}},     // bytes above 127 belong to arguments
      {std::string("a b\0c", 5), {"a", "b"}},  // NUL ends the text
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CountCommandArgs(c.line), static_cast<int>(c.args.size())) << c.line;
    for (size_t i = 0; i < c.args.size(); ++i) EXPECT_EQ(CommandArgAt(c.line, static_cast<int>(i)), c.args[i]);
    EXPECT_EQ(CommandArgAt(c.line, static_cast<int>(c.args.size())), "");
  }
  EXPECT_EQ(CommandArgAt("a b", -1), "");

  size_t pos = 0;
  EXPECT_EQ(NextCommandArg("one two", pos), "one");
  EXPECT_EQ(pos, 3u);
  EXPECT_EQ(NextCommandArg("one two", pos), "two");
  EXPECT_EQ(pos, 7u);

  // Long arguments are kept whole.
  const std::string longArg(600, 'x');
  EXPECT_EQ(CommandArgAt("p " + longArg, 1), longArg);

  std::string program, params;
  SplitCommandLine("\"my prog\" a \"b c\"  d", program, params);
  EXPECT_EQ(program, "my prog");
  EXPECT_EQ(params, "a \"b c\" d");
  SplitCommandLine("prog", program, params);
  EXPECT_EQ(program, "prog");
  EXPECT_EQ(params, "");

  auto dup = DupCString("abc");
  EXPECT_STREQ(dup.get(), "abc");
}

TEST(VxUtilsText, ShortenToWidth) {
  TBitmap b(10, 10);
  TCanvas* c = b.Canvas();
  UseTestFont(c);
  const std::string text = "A rather long caption";
  const int full = c->TextWidth(text);
  EXPECT_EQ(ShortenToWidth(text, c, full), text);  // fits: unchanged
  EXPECT_EQ(ShortenToWidth(text, c, full + 50), text);
  // The first shortening drops two characters.
  const std::string first = text.substr(0, text.size() - 2) + "...";
  EXPECT_EQ(ShortenToWidth(text, c, c->TextWidth(first)), first);
  // Every result fits when it can, and the shortest is "...".
  for (int w : {full - 1, full / 2, 20}) {
    std::string s = ShortenToWidth(text, c, w);
    EXPECT_LE(c->TextWidth(s), w) << w;
    EXPECT_EQ(s.substr(s.size() - 3), "...");
    EXPECT_EQ(text.compare(0, s.size() - 3, s, 0, s.size() - 3), 0);
  }
  EXPECT_EQ(ShortenToWidth(text, c, 0), "...");
  // Multi-byte characters are never cut in half.
  const std::string cyr = "Длинная подпись окна";
  std::string s = ShortenToWidth(cyr, c, c->TextWidth(cyr) / 2);
  ASSERT_GT(s.size(), 3u);
  EXPECT_EQ(cyr.compare(0, s.size() - 3, s, 0, s.size() - 3), 0);
  EXPECT_NE(static_cast<unsigned char>(cyr[s.size() - 3]) & 0xC0, 0x80u);
}

// ---------------------------------------------------------------------------------------------
// Integers, rectangles, memory

TEST(VxUtilsMisc, IntegersRectanglesMemory) {
  EXPECT_EQ(LargerInt(-3, 2), 2);
  EXPECT_EQ(SmallerInt(-3, 2), -3);
  EXPECT_EQ(RectWidth(Rect(5, 6, 15, 26)), 10);
  EXPECT_EQ(RectHeight(Rect(5, 6, 15, 26)), 20);
  EXPECT_EQ(ToPaletteRGB(clBlack), clBlack);
  EXPECT_EQ(ToPaletteRGB(clBtnFace), ColorToRGB(clBtnFace));
  EXPECT_EQ(PassText("x y"), "x y");

  ASSERT_NE(Screen, nullptr);
  const int sw = Screen->Width(), sh = Screen->Height();
  ASSERT_GT(sw, 100);
  struct Case {
    TRect in, out;
  } cases[] = {
      {Rect(10, 10, 50, 40), Rect(10, 10, 50, 40)},               // inside: unchanged
      {Rect(sw - 10, 5, sw + 30, 25), Rect(sw - 40, 5, sw, 25)},  // off the right edge
      {Rect(-15, -5, 25, 15), Rect(0, 0, 40, 20)},                // off the top left
      {Rect(5, sh - 5, 25, sh + 5), Rect(5, sh - 10, 25, sh)},    // off the bottom
      {Rect(-10, 0, sw + 10, 10), Rect(0, 0, sw + 20, 10)},       // wider than the screen: left wins
  };
  for (const Case& c : cases) {
    TRect r = c.in;
    FitRectOnScreen(r);
    EXPECT_EQ(r, c.out) << c.in.Left << "," << c.in.Top;
  }

  void* p = AllocZeroedBlock(16);
  ASSERT_NE(p, nullptr);
  const uint8_t zeros[16] = {};
  EXPECT_TRUE(SameBytes(p, zeros, 16));
  CopyBytes(p, "abcdefgh", 8);
  CopyBytes(OffsetPointer(p, 2), p, 6);  // overlapping move
  EXPECT_EQ(std::memcmp(p, "ababcdef", 8), 0);
  EXPECT_FALSE(SameBytes(p, zeros, 1));
  FreeBlock(p);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(AllocZeroedBlock(0), nullptr);
  EXPECT_EQ(AllocZeroedBlock(-5), nullptr);
}

TEST(VxUtilsMisc, ReportNotImplementedShowsItsBoxThenAbortsSilently) {
  std::vector<std::string> shown;
  SetMessageBoxHook([&](const std::string& Text, const std::string&, int) {
    shown.push_back(Text);
    return IDOK;
  });
  Screen->SetCursor(crHourGlass);
  EXPECT_THROW(ReportNotImplemented(), EAbort);
  SetMessageBoxHook(nullptr);
  EXPECT_EQ(Screen->Cursor(), crDefault);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0], "Функция не реализована");
}

TEST(VxUtilsMisc, CursorsRegisteredOnce) {
  RegisterVxCursors();
  EXPECT_NE(Screen->Cursors(crHand), 0);
  EXPECT_NE(Screen->Cursors(crDragHand), 0);
}

// ---------------------------------------------------------------------------------------------
// Pictures

namespace {

// A 4 x 2 bitmap: red key pixels in the left column, blue elsewhere, one green pixel at (2, 1).
std::unique_ptr<TBitmap> KeyedBitmap() {
  auto b = std::make_unique<TBitmap>(4, 2);
  TCanvas* c = b->Canvas();
  Fill(c, Rect(0, 0, 4, 2), clBlue);
  Fill(c, Rect(0, 0, 1, 2), clRed);
  c->SetPixels(2, 1, clLime);
  return b;
}

}  // namespace

TEST(VxUtilsPictures, ColorKeyedDrawLeavesKeyPixelsOut) {
  auto src = KeyedBitmap();
  TBitmap dest(20, 10);
  TCanvas* d = dest.Canvas();

  struct Case {
    const char* what;
    TColor key;
    TColor expectAtKey;  // destination colour where the key pixels land
  } cases[] = {
      {"explicit key", clRed, clWhite},
      {"bottom-left pixel", clDefault, clWhite},
      {"no key", clNone, clRed},
      {"key not present", clYellow, clRed},
  };
  for (const Case& c : cases) {
    Fill(d, Rect(0, 0, 20, 10), clWhite);
    DrawColorKeyedAt(d, 3, 4, src.get(), c.key);
    EXPECT_EQ(d->Pixels(3, 4), c.expectAtKey) << c.what;
    EXPECT_EQ(d->Pixels(3, 5), c.expectAtKey) << c.what;
    EXPECT_EQ(d->Pixels(4, 4), clBlue) << c.what;
    EXPECT_EQ(d->Pixels(5, 5), clLime) << c.what;
    EXPECT_EQ(d->Pixels(2, 4), clWhite) << c.what;  // nothing outside
    EXPECT_EQ(d->Pixels(7, 4), clWhite) << c.what;
  }

  // Stretched to twice the size, from a source part.
  Fill(d, Rect(0, 0, 20, 10), clWhite);
  DrawColorKeyedRect(d, src.get(), clRed, Rect(0, 0, 6, 4), Rect(0, 0, 3, 2));
  EXPECT_EQ(d->Pixels(0, 0), clWhite);
  EXPECT_EQ(d->Pixels(1, 3), clWhite);
  EXPECT_EQ(d->Pixels(2, 0), clBlue);
  EXPECT_EQ(d->Pixels(3, 1), clBlue);
  EXPECT_EQ(d->Pixels(4, 2), clLime);
  EXPECT_EQ(d->Pixels(5, 3), clLime);
  EXPECT_EQ(d->Pixels(6, 0), clWhite);
  // The bitmap itself is left as it was.
  EXPECT_EQ(src->Canvas()->Pixels(0, 0), clRed);
  EXPECT_FALSE(src->Transparent());
}

TEST(VxUtilsPictures, MonochromeBitmapKeysOnWhite) {
  TBitmap mono(3, 1);
  Fill(mono.Canvas(), Rect(0, 0, 3, 1), clWhite);
  mono.Canvas()->SetPixels(1, 0, clBlack);
  mono.SetMonochrome(true);
  TBitmap dest(5, 3);
  Fill(dest.Canvas(), Rect(0, 0, 5, 3), clYellow);
  DrawColorKeyedAt(dest.Canvas(), 1, 1, &mono, clRed);  // the key is white whatever is asked
  EXPECT_EQ(dest.Canvas()->Pixels(1, 1), clYellow);
  EXPECT_EQ(dest.Canvas()->Pixels(2, 1), clBlack);
  EXPECT_EQ(dest.Canvas()->Pixels(3, 1), clYellow);
}

TEST(VxUtilsPictures, DisabledImageEmbossesTheOutlinePixels) {
  // A black 2 x 2 square at (1, 1) on a fuchsia ground.
  TBitmap glyph(5, 5);
  Fill(glyph.Canvas(), Rect(0, 0, 5, 5), clFuchsia);
  Fill(glyph.Canvas(), Rect(1, 1, 3, 3), clBlack);
  std::unique_ptr<TBitmap> img(BuildDisabledImageEx(&glyph, clBlack, clSilver, clWhite, clGray, true));
  ASSERT_TRUE(img);
  EXPECT_EQ(img->Width(), 5);
  EXPECT_EQ(img->Height(), 5);
  TCanvas* c = img->Canvas();
  const char* expected[5] = {
      "bbbbb", "bssbb", "bsshb", "bbhhb", "bbbbb",
  };
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      TColor want = expected[y][x] == 's' ? clGray : expected[y][x] == 'h' ? clWhite : clSilver;
      EXPECT_EQ(c->Pixels(x, y), want) << x << "," << y;
    }

  std::unique_ptr<TBitmap> flat(BuildDisabledImageEx(&glyph, clBlack, clSilver, clWhite, clGray, false));
  EXPECT_EQ(flat->Canvas()->Pixels(3, 3), clSilver);
  EXPECT_EQ(flat->Canvas()->Pixels(2, 2), clGray);

  // The system-colour form.
  std::unique_ptr<TBitmap> sys(BuildDisabledImage(&glyph, clBlack));
  EXPECT_EQ(sys->Canvas()->Pixels(0, 0), ColorToRGB(clBtnFace));
  EXPECT_EQ(sys->Canvas()->Pixels(1, 1), ColorToRGB(clBtnShadow));
  EXPECT_EQ(sys->Canvas()->Pixels(3, 3), ColorToRGB(clBtnHighlight));
}

TEST(VxUtilsPictures, CopyBitmapCellTakesTheIndexedCell) {
  // 3 columns x 2 rows of 4 x 3 cells, each a colour of its own.
  const TColor colours[6] = {clRed, clLime, clBlue, clYellow, clAqua, clFuchsia};
  TBitmap sheet(12, 6);
  for (int i = 0; i < 6; ++i) Fill(sheet.Canvas(), Bounds((i % 3) * 4, (i / 3) * 3, 4, 3), colours[i]);
  sheet.SetTransparentColor(clAqua);

  TBitmap cell;
  for (int i = 0; i < 6; ++i) {
    CopyBitmapCell(&sheet, &cell, 3, 2, i);
    ASSERT_EQ(cell.Width(), 4);
    ASSERT_EQ(cell.Height(), 3);
    EXPECT_EQ(cell.Canvas()->Pixels(0, 0), colours[i]) << i;
    EXPECT_EQ(cell.Canvas()->Pixels(3, 2), colours[i]) << i;
  }
  EXPECT_EQ(cell.TransparentColor(), clAqua);
  // Counts below 1 count as 1, an index below 0 as 0: the whole sheet.
  CopyBitmapCell(&sheet, &cell, 0, -1, -4);
  EXPECT_EQ(cell.Width(), 12);
  EXPECT_EQ(cell.Canvas()->Pixels(11, 5), clFuchsia);
  // Missing pictures: nothing happens.
  CopyBitmapCell(nullptr, &cell, 3, 2, 0);
  CopyBitmapCell(&sheet, nullptr, 3, 2, 0);
  EXPECT_EQ(cell.Width(), 12);
}

TEST(VxUtilsPictures, ParentBackgroundUnderAControl) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 60, 40);
  form.SetColor(clYellow);
  form.OnPaint = [&](TObject*) { Fill(form.Canvas(), Rect(0, 0, 30, 40), clNavy); };
  // A windowless control beneath, painted in part only: it must not darken the background.
  TPaintBox below(nullptr);
  below.SetParent(&form);
  below.SetBounds(20, 10, 10, 10);
  below.OnPaint = [&](TObject*) { below.Canvas()->SetPixels(6, 1, clRed); };
  TPaintBox target(nullptr);
  target.SetParent(&form);
  target.SetBounds(25, 5, 10, 10);
  form.Update();
  below.Update();

  TBitmap bg(10, 10);
  Fill(bg.Canvas(), Rect(0, 0, 10, 10), clWhite);
  PaintParentBackground(&target, bg.Canvas());
  TCanvas* c = bg.Canvas();
  EXPECT_EQ(c->Pixels(0, 0), clNavy);  // the form's painting at (25, 5)
  EXPECT_EQ(c->Pixels(4, 9), clNavy);
  EXPECT_EQ(c->Pixels(9, 0), clYellow);  // the form's ground at (34, 5)
  EXPECT_EQ(c->Pixels(5, 9), clYellow);
  EXPECT_EQ(c->Pixels(2, 5), clNavy);  // under the see-through part of the control beneath

  // A control without parent paints nothing.
  TPaintBox orphan(nullptr);
  Fill(c, Rect(0, 0, 10, 10), clWhite);
  PaintParentBackground(&orphan, c);
  EXPECT_EQ(c->Pixels(0, 0), clWhite);
}

// ---------------------------------------------------------------------------------------------
// Cell text

TEST(VxUtilsCellText, AlignmentPlacesTheText) {
  TBitmap b(200, 40);
  TCanvas* c = b.Canvas();
  UseTestFont(c);
  const TRect cell(10, 5, 150, 30);
  const std::string text = "Wide";
  const int tw = c->TextWidth(text);

  struct Case {
    TAlignment align;
    bool wrap;
    int left;  // where the text's box starts
  } cases[] = {
      {taLeftJustify, false, cell.Left + 2},
      {taRightJustify, false, cell.Right - tw - 3},
      {taCenter, false, cell.Left + cell.Width() / 2 - tw / 2},
      {taLeftJustify, true, cell.Left + 2},
  };
  for (const Case& k : cases) {
    Fill(c, Rect(0, 0, 200, 40), clWhite);
    c->Brush()->SetColor(clAqua);
    DrawTextInRect(c, cell, 2, 1, text, k.align, k.wrap, false);
    // The whole cell takes the brush, nothing outside it changes.
    EXPECT_EQ(c->Pixels(cell.Left, cell.Bottom - 1), clAqua);
    EXPECT_EQ(c->Pixels(cell.Right - 1, cell.Top), clAqua);
    EXPECT_EQ(c->Pixels(cell.Left - 1, cell.Top), clWhite);
    EXPECT_EQ(c->Pixels(cell.Right, cell.Top), clWhite);
    TRect ink = InkBox(c, cell, clAqua);
    ASSERT_FALSE(IsRectEmpty(ink)) << k.align;
    // Glyphs start within a couple of pixels of their origin and end near its width.
    EXPECT_NEAR(ink.Left, k.left, 2) << k.align << " wrap " << k.wrap;
    EXPECT_NEAR(ink.Right, k.left + tw, 3) << k.align << " wrap " << k.wrap;
    EXPECT_GE(ink.Top, cell.Top + 1);
  }

  // A canvas that reads right to left mirrors the alignment, unless the text reads so itself.
  for (bool rtlText : {false, true}) {
    Fill(c, Rect(0, 0, 200, 40), clWhite);
    c->SetTextAlign(0x100);
    DrawTextInRect(c, cell, 2, 1, text, taLeftJustify, false, rtlText);
    c->SetTextAlign(0);
    TRect ink = InkBox(c, cell, clWhite);
    EXPECT_NEAR(ink.Left, rtlText ? cell.Left + 2 : cell.Right - tw - 3, 2) << rtlText;
  }

  // Text wider than the cell is clipped to it.
  Fill(c, Rect(0, 0, 200, 40), clWhite);
  c->Brush()->SetColor(clWhite);
  DrawTextInRect(c, Rect(10, 5, 40, 30), 2, 1, "MMMMMMMMMMMM", taLeftJustify, false, false);
  EXPECT_TRUE(IsRectEmpty(InkBox(c, Rect(40, 0, 200, 40), clWhite)));
  EXPECT_FALSE(IsRectEmpty(InkBox(c, Rect(10, 5, 40, 30), clWhite)));
}

TEST(VxUtilsCellText, CentredCellTextWrapsLeftAlignedDoesNot) {
  TBitmap b(120, 120);
  TCanvas* c = b.Canvas();
  UseTestFont(c);
  const int lineH = c->TextHeight("W");
  const TRect cell(0, 0, 70, 110);
  const std::string text = "several words that need more than one line";

  for (TAlignment a : {taCenter, taLeftJustify}) {
    Fill(c, Rect(0, 0, 120, 120), clWhite);
    PaintCellText(c, 1, 1, text, cell, a, vaTopJustify);
    TRect ink = InkBox(c, cell, clWhite);
    ASSERT_FALSE(IsRectEmpty(ink));
    if (a == taCenter)
      EXPECT_GT(ink.Height(), 2 * lineH) << "wrapped onto several lines";
    else
      EXPECT_LE(ink.Height(), lineH) << "one line";
    EXPECT_LE(ink.Right, cell.Right);
  }

  // The wrap routines follow their flag whatever the alignment.
  Fill(c, Rect(0, 0, 120, 120), clWhite);
  PaintCellTextWrap(c, 0, 0, text, cell, taLeftJustify, vaTopJustify, true);
  EXPECT_GT(InkBox(c, cell, clWhite).Height(), 2 * lineH);
  Fill(c, Rect(0, 0, 120, 120), clWhite);
  PaintCellTextBidi(c, 0, 0, text, cell, taRightJustify, vaTopJustify, false);
  EXPECT_LE(InkBox(c, cell, clWhite).Height(), lineH);
}

TEST(VxUtilsCellText, VerticalAlignmentOffsets) {
  TBitmap b(100, 60);
  TCanvas* c = b.Canvas();
  UseTestFont(c);
  const int th = c->TextHeight("W");
  const TRect cell(0, 0, 100, 60);
  int tops[3];
  const TVertAlignment aligns[3] = {vaTopJustify, vaCenter, vaBottomJustify};
  for (int i = 0; i < 3; ++i) {
    Fill(c, cell, clWhite);
    PaintCellText(c, 0, 0, "Wy", cell, taLeftJustify, aligns[i]);
    tops[i] = InkBox(c, cell, clWhite).Top;
  }
  // The offsets are 2, (60 - th) / 2 and 60 - th; ink sits a fixed distance below each.
  EXPECT_EQ(tops[1] - tops[0], (60 - th) / 2 - 2);
  EXPECT_EQ(tops[2] - tops[0], 60 - th - 2);
}
