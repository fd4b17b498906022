#include "chart/engine/html_text.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <utility>

#include "chart/engine/graph_canvas.h"
#include "platform/picture.h"
#include "platform/streams.h"
#include "platform/sysutils.h"

THtmlPictureKindHook PictureKindHook;
THtmlPictureLoaderHook PictureLoaderHook;

std::vector<std::string>& HtmlStyleStack() {
  static std::vector<std::string> stack;
  return stack;
}

std::vector<THtmlSavedFont>& HtmlFontStack() {
  static std::vector<THtmlSavedFont> stack;
  return stack;
}

void NextHtmlToken(std::string& Text, std::string& Token) {
  const std::size_t lt = Text.find('<');
  if (lt == std::string::npos) {
    Token = std::move(Text);
    Text.clear();
    return;
  }
  if (lt == 0) {
    const std::size_t gt = Text.find('>', 1);
    if (gt == std::string::npos) throw HtmlParserException("Missing > at " + Text.substr(1));
    Token = Text.substr(0, gt + 1);
    Text.erase(0, gt + 1);
    return;
  }
  Token = Text.substr(0, lt);
  Text.erase(0, lt);
}

namespace {

constexpr const char* CrLf = "\r\n";

bool StartsWith(const std::string& S, const char* Prefix) { return S.rfind(Prefix, 0) == 0; }

bool EndsWithCrLf(const std::string& S) { return S.size() >= 2 && S[S.size() - 2] == '\r' && S[S.size() - 1] == '\n'; }

template <class T>
void PushBounded(std::vector<T>& Stack, T Value) {
  if (Stack.size() >= HtmlStackLimit) Stack.erase(Stack.begin());
  Stack.push_back(std::move(Value));
}

// NAME=value pairs separated by blanks. There are as many attributes as "=" characters; a value
// ends at the last blank before the next attribute's name, the last attribute takes the rest.
// Where no blank comes before the next name, the attribute takes the rest as well.
std::vector<std::pair<std::string, std::string>> SplitAttributes(const std::string& S) {
  std::vector<std::pair<std::string, std::string>> out;
  std::string rest = S;
  for (;;) {
    const std::size_t eq = rest.find('=');
    if (eq == std::string::npos) break;
    std::string name = Trim(std::string_view(rest).substr(0, eq));
    std::string after = rest.substr(eq + 1);
    const std::size_t next = after.find('=');
    std::size_t end = std::string::npos;  // where this value ends
    if (next != std::string::npos) {
      std::size_t q = next;
      while (q > 0 && after[q - 1] == ' ') --q;  // blanks between name and "="
      while (q > 0 && after[q - 1] != ' ') --q;  // the next name itself
      if (q > 0) end = q - 1;                    // the blank before that name
    }
    if (end == std::string::npos) {
      out.emplace_back(std::move(name), Trim(after));
      break;
    }
    out.emplace_back(std::move(name), Trim(std::string_view(after).substr(0, end)));
    rest = after.substr(end);
  }
  return out;
}

std::string Unquote(std::string S) {
  if (!S.empty() && S.front() == '"') S.erase(0, 1);
  if (!S.empty() && S.back() == '"') S.pop_back();
  return S;
}

TColor HashColor(const std::string& Value) {
  const std::string digits = Value.substr(1);
  const bool hex = digits.size() == 6 &&
                   std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c) != 0; });
  if (!hex) throw EConvertError("'" + Value + "' is not a valid integer value");
  const auto pair = [&](int i) { return static_cast<uint8_t>(StrToInt("$" + digits.substr(i * 2, 2))); };
  return RGB(pair(0), pair(1), pair(2));
}

TColor ColorOfText(const std::string& Value) {
  static const std::pair<const char*, TColor> named[] = {{"BLACK", 0x000000},  {"RED", 0x0000FF},   {"BLUE", 0xFF0000},
                                                         {"YELLOW", 0x00FFFF}, {"WHITE", 0xFFFFFF}, {"GREEN", 0x008000},
                                                         {"LIME", 0x00FF00}};
  for (const auto& [name, color] : named)
    if (SameText(Value, name)) return color;
  if (!Value.empty() && Value[0] == '#') return HashColor(Value);
  return StringToColor(Value);
}

// One walk over a text.
class THtmlWalk {
public:
  THtmlWalk(TGraphCanvas* Canvas, int X, int Y, bool Draw)
      : C(Canvas), FX(X), FY(Y), FLineStart(X), FLineHeight(Canvas->FontHeight()), FDraw(Draw) {}

  void ApplyHtmlToken(std::string Token);
  TSize Extent;

private:
  void LineBreak() {
    FX = FLineStart;
    FLineHeight = 0;
    FY += C->FontHeight();
  }
  void SaveFont();
  void RestoreFont();
  void SetFontSize(int Size) { C->Font->SetSize(std::max(1, Size)); }
  void Heading(int Size) {
    SaveFont();
    SetFontSize(Size);
  }
  void OpenStyle(TFontStyle Style, const std::string& Tag) {
    C->Font->SetStyle(C->Font->Style() + Style);
    PushBounded(HtmlStyleStack(), Tag);
  }
  void CloseStyle(TFontStyle Style) { C->Font->SetStyle(C->Font->Style() - Style); }
  void FontAttributes(const std::string& Attributes);
  void Picture(const std::string& Attributes);
  void Placeholder(int W, int H);
  void TextToken(std::string Token);

  TGraphCanvas* C;
  int FX, FY;
  int FLineStart;
  int FLineHeight;
  bool FCenter = false;
  bool FDraw;
  bool FSavedFont = false;      // the tag being applied saved a font
  bool FPrevSavedFont = false;  // the most recent tag saved a font
};

void THtmlWalk::SaveFont() {
  TFont* f = C->Font;
  PushBounded(HtmlFontStack(), THtmlSavedFont{f->Name(), f->Height(), f->Color(), f->Style()});
  FSavedFont = true;
}

void THtmlWalk::RestoreFont() {
  auto& stack = HtmlFontStack();
  if (stack.empty()) return;
  const THtmlSavedFont saved = stack.back();
  stack.pop_back();
  TFont* f = C->Font;
  f->SetName(saved.Name);
  f->SetHeight(saved.Height);
  f->SetColor(saved.Color);
  f->SetStyle(saved.Style);
}

void THtmlWalk::FontAttributes(const std::string& Attributes) {
  TFont* f = C->Font;
  for (const auto& [name, value] : SplitAttributes(Attributes)) {
    if (SameText(name, "NAME") || SameText(name, "FAMILY")) {
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        f->SetName(value.substr(1, value.size() - 2));
      else
        f->SetName(value);
    } else if (SameText(name, "SIZE")) {
      const int n = StrToInt(value);
      if (!value.empty() && (value[0] == '+' || value[0] == '-'))
        SetFontSize(f->Size() + n);
      else
        SetFontSize(n);
    } else if (SameText(name, "COLOR")) {
      f->SetColor(ColorOfText(value));
    } else if (SameText(name, "WEIGHT")) {
      if (SameText(value, "BOLD"))
        f->SetStyle({fsBold});
      else if (SameText(value, "ITALIC"))
        f->SetStyle({fsItalic});
      else if (SameText(value, "UNDERLINE"))
        f->SetStyle({fsUnderline});
      else if (SameText(value, "STRIKE"))
        f->SetStyle({fsStrikeOut});
      else if (SameText(value, "NORMAL"))
        f->SetStyle(TFontStyles());
      else
        throw Exception("Unknown field in FONT WEIGHT=" + value);
    } else {
      throw Exception("Unknown field in FONT: " + name);
    }
  }
}

void THtmlWalk::Placeholder(int W, int H) {
  if (W == 0) W = 40;
  if (H == 0) H = 40;
  C->Pen->SetStyle(psSolid);
  C->Pen->SetWidth(1);
  C->Pen->SetColor(clRed);
  C->Brush->SetBitmap(nullptr);
  C->Brush->SetStyle(bsSolid);
  C->Brush->SetColor(clWhite);
  C->Rectangle(FX, FY, FX + W, FY + H);
  C->Line(FX, FY, FX + W - 1, FY + H - 1);
  C->Line(FX, FY + H - 1, FX + W - 1, FY);
}

void THtmlWalk::Picture(const std::string& Attributes) {
  int width = 0, height = 0;
  std::string src;
  for (const auto& [name, value] : SplitAttributes(Attributes)) {
    if (SameText(name, "WIDTH"))
      width = StrToInt(value);
    else if (SameText(name, "HEIGHT"))
      height = StrToInt(value);
    else if (SameText(name, "SRC"))
      src = Unquote(Trim(value));
  }
  if (src.empty() || !FDraw) return;

  std::unique_ptr<TGraphic> graphic(PictureKindHook ? PictureKindHook(UpperCase(ExtractFileExt(src))) : nullptr);
  TMemoryStream stream;
  if (!graphic || !PictureLoaderHook || PictureLoaderHook(src, stream) != 0 || stream.Size() == 0) {
    Placeholder(width, height);
    return;
  }
  try {
    stream.SetPosition(0);
    graphic->LoadFromStream(stream);
    const int w = width ? width : graphic->Width();
    const int h = height ? height : graphic->Height();
    if (w == graphic->Width() && h == graphic->Height())
      C->Draw(FX, FY, graphic.get());
    else
      C->StretchDraw(TRect(FX, FY, FX + w, FY + h), graphic.get());
    FX += w;
    FY += h;
  } catch (const std::exception&) {
    Placeholder(width, height);
  }
}

void THtmlWalk::TextToken(std::string Token) {
  Token = StringReplace(Token, "&lt;", "<", rfReplaceAll);
  Token = StringReplace(Token, "&gt;", ">", rfReplaceAll);
  Token = StringReplace(Token, "&amp;", "&", rfReplaceAll);
  Token = StringReplace(Token, "&quot;", "\"", rfReplaceAll);
  const bool breakAfter = EndsWithCrLf(Token);
  if (breakAfter) Token.resize(Token.size() - 2);
  if (!Token.empty()) {
    const int w = C->TextWidth(Token);
    const int h = C->TextHeight(Token);
    if (FCenter) FX = (C->Bounds.Left + C->Bounds.Right) / 2 - w / 2;
    if (FLineHeight == 0) {
      FLineHeight = C->FontHeight();
      FY += FLineHeight;
    } else if (FLineHeight > h) {
      FY += FLineHeight - h - 1;
    }
    if (FDraw) C->TextOut(FX, FY, Token);
    FX += w;
    Extent.cx = std::max<int32_t>(Extent.cx, FX);
    FLineHeight = std::max(FLineHeight, h);
    Extent.cy = std::max<int32_t>(Extent.cy, FLineHeight);
  }
  if (breakAfter) {
    FLineHeight = 0;
    FX = FLineStart;
  }
}

void THtmlWalk::ApplyHtmlToken(std::string Token) {
  FSavedFont = false;
  if (StartsWith(Token, CrLf)) {
    FY += C->FontHeight();
    FX = FLineStart;
    FLineHeight = 0;
    Token.erase(0, 2);
    if (Token.empty()) return;
  }
  const std::string U = UpperCase(Token);
  TFont* f = C->Font;
  if (U == "<BR>" || U == "<P>") {
    LineBreak();
  } else if (U == "<BIG>" || U == "<SMALL>") {
    const int size = f->Size();
    SaveFont();
    SetFontSize(U == "<BIG>" ? size + 2 : size - 2);
  } else if (U == "</SUB>") {
    RestoreFont();
    FY -= C->FontHeight();
  } else if (U == "<SUB>") {
    const int size = f->Size();
    SaveFont();
    SetFontSize(size / 2);
    FY += C->FontHeight();
  } else if (U == "</SUPER>") {
    RestoreFont();
    FY += C->FontHeight() / 2;
  } else if (U == "<SUPER>") {
    const int size = f->Size();
    SaveFont();
    SetFontSize(size / 2);
    FY -= C->FontHeight() / 2;
  } else if (U.size() == 4 && StartsWith(U, "<H") && U[2] >= '1' && U[2] <= '6' && U[3] == '>') {
    static const int sizes[] = {48, 36, 24, 18, 12, 8};
    Heading(sizes[U[2] - '1']);
  } else if (U == "<PRE>") {
    SaveFont();
    FontAttributes("NAME=\"Courier New\"");
  } else if (U == "<CENTER>") {
    FCenter = true;
  } else if (U == "</CENTER>") {
    FCenter = false;
  } else if (U == "<B>" || U == "<BOLD>" || U == "<STRONG>") {
    OpenStyle(fsBold, U);
  } else if (U == "<I>") {
    OpenStyle(fsItalic, U);
  } else if (U == "<U>") {
    OpenStyle(fsUnderline, U);
  } else if (U == "<STRIKE>") {
    OpenStyle(fsStrikeOut, U);
  } else if (StartsWith(U, "<IMG ")) {
    std::string attributes = Token.substr(5, Token.size() - 6);
    if (StartsWith(attributes, CrLf)) attributes.erase(0, 2);
    Picture(attributes);
  } else if (U == "</B>" || U == "</BOLD>" || U == "</STRONG>") {
    CloseStyle(fsBold);
  } else if (U == "</I>") {
    CloseStyle(fsItalic);
  } else if (U == "</U>") {
    CloseStyle(fsUnderline);
  } else if (U == "</STRIKE>") {
    CloseStyle(fsStrikeOut);
  } else if (StartsWith(U, "</FONT") || U == "</PRE>") {
    RestoreFont();
  } else if (StartsWith(U, "<FONT ")) {
    SaveFont();
    FontAttributes(Token.substr(6, Token.size() - 7));
  } else if (U == "</>") {
    if (FPrevSavedFont) {
      RestoreFont();
    } else {
      auto& styles = HtmlStyleStack();
      std::string closing = "</";
      if (!styles.empty()) {
        closing += styles.back().substr(1);
        styles.pop_back();
      }
      ApplyHtmlToken(closing);
    }
    FSavedFont = false;
  } else if (U == "<HR>") {
    FX = FLineStart;
    if (FDraw) {
      C->Pen->SetStyle(psSolid);
      C->Pen->SetWidth(1);
      C->Pen->SetColor(0x808080);
      C->Line(FX, FY, FX + 100, FY);
    }
    FY += C->FontHeight();
  } else {
    TextToken(std::move(Token));
    return;  // text leaves the last tag's flag alone
  }
  FPrevSavedFont = FSavedFont;
}

}  // namespace

void HtmlProcess(TGraphCanvas* Canvas, int X, int Y, const std::string& Text, bool Draw, TSize& Extent) {
  Extent = TSize(0, 0);
  THtmlWalk walk(Canvas, X, Y, Draw);
  std::string rest = Text;
  std::string token;
  do {
    NextHtmlToken(rest, token);
    if (!token.empty()) walk.ApplyHtmlToken(token);
  } while (!token.empty());
  Extent = walk.Extent;
}

void HtmlTextExtent(TGraphCanvas* Canvas, const std::string& Text, TSize& Extent) {
  HtmlProcess(Canvas, 0, 0, Text, false, Extent);
}

void HtmlTextOut(TGraphCanvas* Canvas, int X, int Y, const std::string& Text) {
  TSize extent;
  HtmlProcess(Canvas, X, Y, Text, true, extent);
}
