// The markup walk: tokens, measuring, drawing, fonts and the stacks kept between calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/engine/html_text.h"
#include "chart/engine/testkit/recording_canvas.h"
#include "platform/bitmap.h"
#include "platform/streams.h"

namespace {

// Every text written, with the font it was written in.
struct TWritten {
  int X, Y;
  std::string Text;
  std::string FontName;
  int Size;
  int Width;  // in the font it was written in
  TColor Color;
  TFontStyles Style;
};

class TProbeCanvas : public TRecordingCanvas {
public:
  std::vector<TWritten> Texts;
  void TextOut(int X, int Y, const std::string& Text) override {
    Texts.push_back({X, Y, Text, Font->Name(), Font->Size(), TextWidth(Text), Font->Color(), Font->Style()});
    TRecordingCanvas::TextOut(X, Y, Text);
  }
};

TColor PixelOf(TBitmap* Bmp, int X, int Y) {
  const auto* row = static_cast<const uint8_t*>(Bmp->ScanLine(Y)) + X * 3;
  return RGB(row[2], row[1], row[0]);
}

// Pixels darker than mid grey inside R.
int DarkPixels(TBitmap* Bmp, const TRect& R) {
  int n = 0;
  for (int y = R.Top; y < R.Bottom; ++y)
    for (int x = R.Left; x < R.Right; ++x)
      if (GetGValue(PixelOf(Bmp, x, y)) < 128) ++n;
  return n;
}

class HtmlText : public ::testing::Test {
protected:
  void SetUp() override {
    HtmlStyleStack().clear();
    HtmlFontStack().clear();
    C.ResetState();
    C.Font->SetSize(10);
    Size0 = C.Font->Size();
    FH0 = C.FontHeight();
    C.Clear();
  }
  void TearDown() override {
    HtmlStyleStack().clear();
    HtmlFontStack().clear();
    PictureKindHook = nullptr;
    PictureLoaderHook = nullptr;
  }
  // Draws Text at (10, 20) on a fresh font.
  void Draw(const std::string& Text) { HtmlTextOut(&C, 10, 20, Text); }

  TProbeCanvas C;
  int Size0 = 0;
  int FH0 = 0;
};

}  // namespace

TEST(HtmlTokens, SplitsTextAndTags) {
  std::string text = "ab<B>c\r\nd<x y>";
  std::vector<std::string> tokens;
  std::string token;
  for (NextHtmlToken(text, token); !token.empty(); NextHtmlToken(text, token)) tokens.push_back(token);
  EXPECT_EQ(tokens, (std::vector<std::string>{"ab", "<B>", "c\r\nd", "<x y>"}));
  EXPECT_TRUE(text.empty());

  std::string bad = "<b";
  try {
    NextHtmlToken(bad, token);
    FAIL();
  } catch (const HtmlParserException& e) {
    EXPECT_EQ(e.Message(), "Missing > at b");
  }
}

TEST_F(HtmlText, PlainTextMeasuresAndDrawsLikeTheCanvas) {
  TSize extent;
  HtmlTextExtent(&C, "Hello", extent);
  EXPECT_EQ(extent, TSize(C.TextWidth("Hello"), C.TextHeight("Hello")));
  EXPECT_TRUE(C.Calls.empty());

  // A text without "<" is one token: an inner CR LF stays in it.
  Draw("Hello\r\nworld");
  ASSERT_EQ(C.Texts.size(), 1u);
  EXPECT_EQ(C.Texts[0].Text, "Hello\r\nworld");
  EXPECT_EQ(C.Texts[0].X, 10);
  EXPECT_EQ(C.Texts[0].Y, 20);

  // Ink lands right of and below the starting point only; bold text carries more of it.
  C.Brush->SetColor(clWhite);
  C.FillRect(TRect(0, 0, 300, 200));
  Draw("Wide");
  EXPECT_EQ(DarkPixels(C.Surface(), TRect(0, 0, 10, 200)) + DarkPixels(C.Surface(), TRect(0, 0, 300, 20)), 0);
  const int plain = DarkPixels(C.Surface(), TRect(10, 20, 10 + C.TextWidth("Wide"), 20 + FH0));
  EXPECT_GT(plain, 0);
  C.FillRect(TRect(0, 0, 300, 200));
  Draw("<B>Wide</B>");
  EXPECT_GT(DarkPixels(C.Surface(), TRect(10, 20, 10 + 2 * C.TextWidth("Wide"), 20 + FH0)), plain);

  // The canvas' formatted output goes through the walk.
  C.Texts.clear();
  C.TextOutFormatted(5, 6, "<b>x</b>y", true);
  ASSERT_EQ(C.Texts.size(), 2u);
  EXPECT_EQ(C.Texts[0].Text, "x");
  EXPECT_EQ(C.Texts[1].X, 5 + C.TextWidth("x"));
}

TEST_F(HtmlText, EntitiesAreReplacedOnce) {
  const std::pair<const char*, const char*> cases[] = {
      {"Sales &lt;2004&gt; &amp; more", "Sales <2004> & more"},
      {"&amp;lt;", "&lt;"},
      {"say &quot;hi&quot;", "say \"hi\""},
  };
  for (const auto& [in, out] : cases) {
    C.Texts.clear();
    Draw(in);
    ASSERT_EQ(C.Texts.size(), 1u) << in;
    EXPECT_EQ(C.Texts[0].Text, out);
  }
}

TEST_F(HtmlText, StyleTagsSetAndClearTheirStyle) {
  Draw("<b>a</B>b<I>c</i><u>d</u><STRIKE>e</STRIKE><strong>f</strong>g");
  ASSERT_EQ(C.Texts.size(), 7u);
  const TFontStyles expected[] = {{fsBold}, {}, {fsItalic}, {fsUnderline}, {fsStrikeOut}, {fsBold}, {}};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(C.Texts[i].Style, expected[i]) << C.Texts[i].Text;
  // Texts follow each other on one line.
  EXPECT_EQ(C.Texts[1].X, C.Texts[0].X + C.TextWidth("a"));
  // Explicit closing tags leave the open-style stack alone.
  EXPECT_EQ(HtmlStyleStack(), (std::vector<std::string>{"<B>", "<I>", "<U>", "<STRIKE>", "<STRONG>"}));
}

TEST_F(HtmlText, UnknownTagsAreWrittenAsText) {
  Draw("<H1>A</H1><blink>");
  ASSERT_EQ(C.Texts.size(), 3u);
  EXPECT_EQ(C.Texts[1].Text, "</H1>");
  EXPECT_EQ(C.Texts[2].Text, "<blink>");
  EXPECT_EQ(C.Texts[2].Size, 48);  // still the heading's font
}

TEST_F(HtmlText, LineBreaksReturnToTheLineStart) {
  Draw("ab<BR>c");
  ASSERT_EQ(C.Texts.size(), 2u);
  EXPECT_EQ(C.Texts[1].X, 10);
  EXPECT_EQ(C.Texts[1].Y, 20 + 2 * FH0);  // one for the break, one when the line starts

  // A text ending in CR LF breaks the line after it, one starting with CR LF before it.
  C.Texts.clear();
  Draw("a\r\n<U>b</U><p>c<U>\r\nd");
  ASSERT_EQ(C.Texts.size(), 4u);
  EXPECT_EQ(C.Texts[0].Text, "a");
  EXPECT_EQ(C.Texts[1].Text, "b");
  EXPECT_EQ(C.Texts[1].X, 10);
  EXPECT_EQ(C.Texts[1].Y, 20 + FH0);
  EXPECT_EQ(C.Texts[2].Y, 20 + 3 * FH0);
  EXPECT_EQ(C.Texts[3].Text, "d");
  EXPECT_EQ(C.Texts[3].X, 10);
  EXPECT_EQ(C.Texts[3].Y, 20 + 5 * FH0);
}

TEST_F(HtmlText, SubAndSuperscriptsHalveTheFontAndMove) {
  Draw("x<SUB>2</SUB>y<SUPER>3</SUPER>z");
  ASSERT_EQ(C.Texts.size(), 5u);
  const auto& x = C.Texts[0];
  const auto& sub = C.Texts[1];
  const auto& sup = C.Texts[3];
  EXPECT_EQ(sub.Size, Size0 / 2);
  EXPECT_EQ(sup.Size, Size0 / 2);
  EXPECT_GT(sub.Y, x.Y);
  EXPECT_LT(sup.Y, sub.Y);
  EXPECT_EQ(C.Texts[2].Size, Size0);
  EXPECT_EQ(C.Texts[4].Size, Size0);
  EXPECT_EQ(C.Texts[4].X, sup.X + sup.Width);
  EXPECT_TRUE(HtmlFontStack().empty());
}

TEST_F(HtmlText, CloseLastTagRestoresFontOrPopsStyle) {
  Draw("<H1>A</>b");
  ASSERT_EQ(C.Texts.size(), 2u);
  EXPECT_EQ(C.Texts[0].Size, 48);
  EXPECT_EQ(C.Texts[1].Size, Size0);

  C.Texts.clear();
  Draw("<B>A</>b");
  EXPECT_EQ(C.Texts[0].Style, TFontStyles{fsBold});
  EXPECT_EQ(C.Texts[1].Style, TFontStyles());
  EXPECT_TRUE(HtmlStyleStack().empty());

  // The heading saved a bold italic font; closing it brings both styles back.
  C.Texts.clear();
  Draw("<B><I><H1>A</>b");
  EXPECT_EQ(C.Texts[1].Style, (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(C.Texts[1].Size, Size0);

  // Nothing open: the closing tag is written as text.
  HtmlStyleStack().clear();
  C.Font->SetStyle({});
  C.Texts.clear();
  Draw("a</>");
  ASSERT_EQ(C.Texts.size(), 2u);
  EXPECT_EQ(C.Texts[1].Text, "</");
}

TEST_F(HtmlText, StacksOutliveOneCall) {
  Draw("<B>x");
  EXPECT_EQ(C.Font->Style(), TFontStyles{fsBold});  // the canvas font is not restored
  EXPECT_EQ(HtmlStyleStack().size(), 1u);
  Draw("</>y");
  EXPECT_EQ(C.Texts.back().Style, TFontStyles());
  EXPECT_TRUE(HtmlStyleStack().empty());

  Draw("<H2>x");
  Draw("</FONT>y");
  EXPECT_EQ(C.Texts.back().Size, Size0);

  // Repeated drawing of balanced texts does not let the stacks grow without end.
  for (int i = 0; i < 1000; ++i) Draw("<b>x</b><h1>y");
  EXPECT_LE(HtmlStyleStack().size(), HtmlStackLimit);
  EXPECT_LE(HtmlFontStack().size(), HtmlStackLimit);
}

TEST_F(HtmlText, HeadingExtentIsThatOfTheLetter) {
  TSize extent;
  HtmlTextExtent(&C, "<H1>A", extent);
  C.Font->SetSize(48);
  EXPECT_EQ(extent, TSize(C.TextWidth("A"), C.TextHeight("A")));
}

TEST_F(HtmlText, FontTagAttributes) {
  struct Case {
    const char* Tag;
    TColor Color;
    int Size;
    TFontStyles Style;
    const char* Name;
  };
  const Case cases[] = {
      {"<FONT COLOR=#0000FF>", clBlue, 0, {}, nullptr},
      {"<font color=#FF0000>", clRed, 0, {}, nullptr},
      {"<FONT COLOR=lime>", clLime, 0, {}, nullptr},
      {"<FONT COLOR=clTeal>", clTeal, 0, {}, nullptr},
      {"<FONT SIZE=+2>", clBlack, 12, {}, nullptr},
      {"<FONT SIZE=-3 WEIGHT=ITALIC>", clBlack, 7, {fsItalic}, nullptr},
      {"<FONT SIZE=20>", clBlack, 20, {}, nullptr},
      {"<FONT NAME=\"Courier New\" SIZE=14 COLOR=RED>", clRed, 14, {}, "Courier New"},
      {"<FONT FAMILY=Liberation Serif WEIGHT=BOLD>", clBlack, 0, {fsBold}, "Liberation Serif"},
      {"<PRE>", clBlack, 0, {}, "Courier New"},
  };
  for (const Case& c : cases) {
    HtmlFontStack().clear();
    C.ResetState();
    C.Font->SetSize(10);
    C.Texts.clear();
    const std::string name = C.Font->Name();
    Draw(std::string(c.Tag) + "a</FONT>b");
    ASSERT_EQ(C.Texts.size(), 2u) << c.Tag;
    EXPECT_EQ(C.Texts[0].Color, c.Color) << c.Tag;
    EXPECT_EQ(C.Texts[0].Size, c.Size ? c.Size : 10) << c.Tag;
    EXPECT_EQ(C.Texts[0].Style, c.Style) << c.Tag;
    if (c.Name) {
      EXPECT_EQ(C.Texts[0].FontName, c.Name) << c.Tag;
    }
    // </FONT> brings the font back
    EXPECT_EQ(C.Texts[1].Color, clBlack) << c.Tag;
    EXPECT_EQ(C.Texts[1].Size, 10) << c.Tag;
    EXPECT_EQ(C.Texts[1].FontName, name) << c.Tag;
  }
}

TEST_F(HtmlText, MalformedMarkupRaises) {
  // What was drawn before the fault stays drawn.
  try {
    Draw("a<b");
    FAIL();
  } catch (const HtmlParserException& e) {
    EXPECT_EQ(e.Message(), "Missing > at b");
  }
  ASSERT_EQ(C.Texts.size(), 1u);
  EXPECT_EQ(C.Texts[0].Text, "a");

  const std::pair<const char*, const char*> plain[] = {
      {"<FONT FACE=Arial>", "Unknown field in FONT: FACE"},
      {"<FONT WEIGHT=HEAVY>", "Unknown field in FONT WEIGHT=HEAVY"},
  };
  for (const auto& [text, message] : plain) {
    try {
      Draw(text);
      FAIL() << text;
    } catch (const HtmlParserException&) {
      FAIL() << text;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), message);
    }
  }
  for (const char* text : {"<FONT SIZE=big>", "<FONT COLOR=#12>", "<FONT COLOR=#GG0000>", "<FONT COLOR=nocolour>",
                           "<FONT SIZE=8COLOR=RED>", "<IMG SRC=a.bmp WIDTH=x>"})
    EXPECT_THROW(Draw(text), EConvertError) << text;
}

TEST_F(HtmlText, RuleAndPicturesDrawOnlyWhenDrawing) {
  TSize extent;
  HtmlTextExtent(&C, "<HR><IMG SRC=\"pic.bmp\">x", extent);
  EXPECT_TRUE(C.Calls.empty());

  Draw("<HR>");
  EXPECT_EQ(C.Calls, (std::vector<std::string>{"Line(10,20,110,20)"}));
  EXPECT_EQ(C.Pen->Color(), 0x808080);

  // No loader is installed: a picture is the 40 by 40 placeholder, and the position stays.
  C.Clear();
  C.Brush->SetColor(clBlack);
  Draw("<IMG SRC=\"pic.bmp\">x");
  EXPECT_EQ(C.Calls, (std::vector<std::string>{"Rectangle(10,20,50,60)", "Line(10,20,49,59)", "Line(10,59,49,20)",
                                               "TextOut(10,20,\"x\")"}));
  EXPECT_EQ(PixelOf(C.Surface(), 40, 50), clRed);  // on the diagonal
  EXPECT_EQ(PixelOf(C.Surface(), 30, 25), clWhite);

  C.Clear();
  Draw("<img width=20 height=10 src=pic.bmp>");
  EXPECT_EQ(C.Calls[0], "Rectangle(10,20,30,30)");

  C.Clear();
  Draw("<IMG WIDTH=20>");  // no source: nothing
  EXPECT_TRUE(C.Calls.empty());
}

TEST_F(HtmlText, PicturesLoadThroughTheHooks) {
  TMemoryStream image;
  {
    TBitmap bmp(8, 6, pf24bit);
    bmp.SaveToStream(image);
  }
  std::string askedKind, askedSource;
  PictureKindHook = [&](const std::string& Ext) -> TGraphic* {
    askedKind = Ext;
    return Ext == ".BMP" ? new TBitmap() : nullptr;
  };
  PictureLoaderHook = [&](const std::string& Source, TStream& Stream) {
    askedSource = Source;
    if (Source == "missing.bmp") return 1;
    image.SetPosition(0);
    Stream.CopyFrom(image, 0);
    return 0;
  };

  Draw("<IMG SRC=\"dir/pic.bmp\">x");
  EXPECT_EQ(askedKind, ".BMP");
  EXPECT_EQ(askedSource, "dir/pic.bmp");
  EXPECT_EQ(C.Calls, (std::vector<std::string>{"Draw(10,20,obj)", "TextOut(18,26,\"x\")"}));

  C.Clear();
  Draw("<IMG SRC=pic.bmp WIDTH=16>");
  EXPECT_EQ(C.Calls, (std::vector<std::string>{"StretchDraw([10,20,26,26],obj)"}));

  C.Clear();
  Draw("<IMG SRC=missing.bmp>");
  EXPECT_EQ(C.Calls[0], "Rectangle(10,20,50,60)");

  C.Clear();
  Draw("<IMG SRC=pic.xyz>");  // no picture kind reads it
  EXPECT_EQ(askedKind, ".XYZ");
  EXPECT_EQ(C.Calls[0], "Rectangle(10,20,50,60)");
}

TEST_F(HtmlText, CentredTextSitsAroundTheMiddleOfTheBounds) {
  C.Bounds = TRect(0, 0, 200, 100);
  Draw("<CENTER>abc</CENTER>d");
  ASSERT_EQ(C.Texts.size(), 2u);
  EXPECT_EQ(C.Texts[0].X, 100 - C.TextWidth("abc") / 2);
  EXPECT_EQ(C.Texts[1].X, C.Texts[0].X + C.TextWidth("abc"));
}
