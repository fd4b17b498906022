#include "controls/vx_utils.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/controls.h"
#include "platform/exceptions.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/picture.h"

namespace {

// Text-align flag of a canvas that reads right to left.
constexpr int TA_RTLREADING = 0x100;

// Restores a canvas's copy mode on leaving a scope.
class CopyModeSaver {
public:
  CopyModeSaver(TCanvas* C, TCopyMode Mode) : FCanvas(C), FOld(C->CopyMode()) { C->SetCopyMode(Mode); }
  ~CopyModeSaver() { FCanvas->SetCopyMode(FOld); }
  CopyModeSaver(const CopyModeSaver&) = delete;
  CopyModeSaver& operator=(const CopyModeSaver&) = delete;

private:
  TCanvas* FCanvas;
  TCopyMode FOld;
};

// Reads 32-bit rows (blue, green, red, unused) as colours.
TColor PixelAt(TBitmap* B32, int X, int Y) {
  const uint8_t* p = static_cast<const uint8_t*>(B32->ScanLine(Y)) + 4 * X;
  return RGB(p[2], p[1], p[0]);
}
void PutPixel(TBitmap* B32, int X, int Y, TColor C) {
  uint8_t* p = static_cast<uint8_t*>(B32->ScanLine(Y)) + 4 * X;
  p[0] = GetBValue(C);
  p[1] = GetGValue(C);
  p[2] = GetRValue(C);
}

// Byte offsets of the UTF-8 characters of S, with S.size() appended.
std::vector<size_t> CharStarts(const std::string& S) {
  std::vector<size_t> v;
  for (size_t i = 0; i < S.size(); ++i)
    if ((static_cast<unsigned char>(S[i]) & 0xC0) != 0x80) v.push_back(i);
  v.push_back(S.size());
  return v;
}

bool InSet(const TCharSet& Set, char C) { return Set.test(static_cast<unsigned char>(C)); }

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

bool gCursorsRegistered = false;

}  // namespace

TCharSet CharSetOf(std::string_view Chars) {
  TCharSet s;
  for (char c : Chars) s.set(static_cast<unsigned char>(c));
  return s;
}

void RegisterVxCursors() {
  if (gCursorsRegistered || !Screen) return;
  // A missing resource falls back to the nearest standard cursor.
  HCURSOR hand = LoadCursorResource("VX_HANDCUR");
  HCURSOR drag = LoadCursorResource("VX_DRAGCUR");
  Screen->SetCursors(crHand, hand ? hand : Screen->Cursors(crHandPoint));
  Screen->SetCursors(crDragHand, drag ? drag : Screen->Cursors(crDrag));
  gCursorsRegistered = true;
}

// ---------------------------------------------------------------------------------------------
// Integers, rectangles, colours, windows

TColor ToPaletteRGB(TColor Color) { return ColorToRGB(Color); }

void FitRectOnScreen(TRect& R) {
  if (!Screen) return;
  const int32_t sw = Screen->Width(), sh = Screen->Height();
  const int32_t w = RectWidth(R), h = RectHeight(R);
  if (R.Right > sw) {
    R.Right = sw;
    R.Left = sw - w;
  }
  if (R.Left < 0) {
    R.Left = 0;
    R.Right = w;
  }
  if (R.Bottom > sh) {
    R.Bottom = sh;
    R.Top = sh - h;
  }
  if (R.Top < 0) {
    R.Top = 0;
    R.Bottom = h;
  }
}

void CenterWindowOnScreen(TWinControl* Wnd) {
  if (!Wnd || !Screen) return;
  const int32_t w = Wnd->Width(), h = Wnd->Height();
  TRect r = Bounds((Screen->Width() - w) / 2, (Screen->Height() - h) / 2, w, h);
  FitRectOnScreen(r);
  Wnd->SetBounds(r.Left, r.Top, w, h);
}

bool ActiveWindowInThread() { return Screen && Screen->ActiveForm() != nullptr; }

void SoundDefaultBeep() {}

void ReportNotImplemented() {
  if (Screen) Screen->SetCursor(crDefault);
  const std::string text = "Функция не реализована";
  if (Application) {
    std::string title = Application->Title();
    if (title.empty()) title = "Varomark";
    Application->MessageBox(text, title, MB_OK | MB_ICONINFORMATION);
  } else {
    ShowMessage(text);
  }
  Abort();
}

// ---------------------------------------------------------------------------------------------
// Memory

void* AllocZeroedBlock(int64_t Size) {
  if (Size <= 0) return nullptr;
  void* p = std::calloc(static_cast<size_t>(Size), 1);
  if (!p) throw EOutOfMemory("Out of memory");
  return p;
}

void FreeBlock(void*& P) {
  std::free(P);
  P = nullptr;
}

bool SameBytes(const void* P1, const void* P2, size_t Len) { return Len == 0 || std::memcmp(P1, P2, Len) == 0; }

void CopyBytes(void* Dst, const void* Src, size_t N) {
  if (N) std::memmove(Dst, Src, N);
}

// ---------------------------------------------------------------------------------------------
// Pictures

void CopyBitmapCell(TGraphic* Source, TBitmap* Dest, int Cols, int Rows, int Index) {
  if (!Source || !Dest) return;
  Cols = std::max(1, Cols);
  Rows = std::max(1, Rows);
  Index = std::max(0, Index);
  const int cw = Source->Width() / Cols, ch = Source->Height() / Rows;
  Dest->SetSize(cw, ch);
  const int col = Index % Cols, row = Index / Cols;
  if (auto* b = dynamic_cast<TBitmap*>(Source)) {
    CopyModeSaver keep(Dest->Canvas(), cmSrcCopy);
    Dest->Canvas()->CopyRect(Rect(0, 0, cw, ch), b->Canvas(), Bounds(col * cw, row * ch, cw, ch));
    Dest->SetTransparentColor(b->TransparentColor());
  } else {
    TCanvas* c = Dest->Canvas();
    c->Brush()->SetColor(clSilver);
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(Rect(0, 0, cw, ch));
    c->Draw(-col * cw, -row * ch, Source);
  }
  Dest->SetTransparent(Source->Transparent());
}

void PaintParentBackground(TControl* Control, TCanvas* Canvas) {
  if (!Control || !Canvas) return;
  TWinControl* parent = Control->Parent();
  if (!parent) return;
  const TRect self = Control->BoundsRect();
  const int w = self.Width(), h = self.Height();
  CopyModeSaver keep(Canvas, cmSrcCopy);
  // The parent's own image: its retained surface, or its colour when it has none.
  if (TCanvas* pc = parent->SurfaceCanvas()) {
    Canvas->CopyRect(Rect(0, 0, w, h), pc, self);
  } else {
    TColor oldColor = Canvas->Brush()->Color();
    TBrushStyle oldStyle = Canvas->Brush()->Style();
    Canvas->Brush()->SetColor(parent->Color());
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->FillRect(Rect(0, 0, w, h));
    Canvas->Brush()->SetColor(oldColor);
    Canvas->Brush()->SetStyle(oldStyle);
  }
  // The windowless controls beneath this one are left out: their retained surfaces are partly
  // see-through, and the toolkit offers no copy that keeps that (a plain copy would paint their
  // empty parts black).
}

void ColorKeyBlt(TCanvas* Dest, int X, int Y, int W, int H, TCanvas* Source, int SX, int SY, int SW, int SH,
                 void* /*Palette*/, TColor TransparentColor) {
  if (!Dest || !Source || W <= 0 || H <= 0 || SW <= 0 || SH <= 0) return;
  // The source part, with the key colour made see-through, stretched onto the destination.
  TBitmap part(SW, SH, pf32bit);
  {
    CopyModeSaver keep(part.Canvas(), cmSrcCopy);
    part.Canvas()->CopyRect(Rect(0, 0, SW, SH), Source, Bounds(SX, SY, SW, SH));
  }
  part.SetTransparentColor(ColorToRGB(TransparentColor));
  part.SetTransparent(true);
  Dest->StretchDraw(Bounds(X, Y, W, H), &part);
}

void DrawColorKeyed(TCanvas* Canvas, TBitmap* Bitmap, TColor TransparentColor, int X, int Y, int W, int H, int SX,
                    int SY, int SW, int SH) {
  if (!Canvas || !Bitmap || Bitmap->Empty()) return;
  const int bw = Bitmap->Width(), bh = Bitmap->Height();
  if (W < 1) W = bw;
  if (H < 1) H = bh;
  if (SW < 1 || SH < 1) {
    SX = SY = 0;
    SW = bw;
    SH = bh;
  }
  TCanvas* bc = Bitmap->Canvas();
  bc->Lock();
  TNotifyEvent onChange = std::move(Bitmap->OnChange);
  Bitmap->OnChange = nullptr;
  TScopeExit restore([&] {
    Bitmap->OnChange = std::move(onChange);
    bc->Unlock();
  });
  if (TransparentColor == clNone) {
    Canvas->CopyRect(Bounds(X, Y, W, H), bc, Bounds(SX, SY, SW, SH));
  } else {
    TColor key = TransparentColor == clDefault ? bc->Pixels(0, bh - 1) : TransparentColor;
    key = Bitmap->Monochrome() ? clWhite : ColorToRGB(key);
    ColorKeyBlt(Canvas, X, Y, W, H, bc, SX, SY, SW, SH, Bitmap->Palette(), key);
  }
}

void DrawColorKeyedRect(TCanvas* Canvas, TBitmap* Bitmap, TColor TransparentColor, const TRect& Dest,
                        const TRect& Source) {
  DrawColorKeyed(Canvas, Bitmap, TransparentColor, Dest.Left, Dest.Top, RectWidth(Dest), RectHeight(Dest), Source.Left,
                 Source.Top, RectWidth(Source), RectHeight(Source));
}

void DrawColorKeyedAt(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap, TColor TransparentColor) {
  if (!Bitmap) return;
  DrawColorKeyed(Canvas, Bitmap, TransparentColor, X, Y, Bitmap->Width(), Bitmap->Height(), 0, 0, Bitmap->Width(),
                 Bitmap->Height());
}

TBitmap* BuildDisabledImageEx(TBitmap* Bitmap, TColor OutlineColor, TColor BackColor, TColor HighlightColor,
                              TColor ShadowColor, bool DrawHighlight) {
  if (!Bitmap) return nullptr;
  const int w = Bitmap->Width(), h = Bitmap->Height();
  auto result = std::make_unique<TBitmap>(w, h, pf32bit);
  if (w <= 0 || h <= 0) return result.release();
  // The mask: pixels of the outline colour (white ones of a monochrome bitmap).
  TBitmap src;
  src.Assign(Bitmap);
  const TColor key = Bitmap->Monochrome() ? clWhite : ColorToRGB(OutlineColor);
  src.SetPixelFormat(pf32bit);
  std::vector<uint8_t> mask(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) mask[static_cast<size_t>(y) * w + x] = PixelAt(&src, x, y) == key;

  const TColor back = ColorToRGB(BackColor), light = ColorToRGB(HighlightColor), shadow = ColorToRGB(ShadowColor);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) PutPixel(result.get(), x, y, back);
  if (DrawHighlight)
    for (int y = 0; y + 1 < h; ++y)
      for (int x = 0; x + 1 < w; ++x)
        if (mask[static_cast<size_t>(y) * w + x]) PutPixel(result.get(), x + 1, y + 1, light);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (mask[static_cast<size_t>(y) * w + x]) PutPixel(result.get(), x, y, shadow);
  result->SetPixelFormat(pfDevice);
  return result.release();
}

TBitmap* BuildDisabledImage(TBitmap* Bitmap, TColor OutlineColor) {
  return BuildDisabledImageEx(Bitmap, OutlineColor, clBtnFace, clBtnHighlight, clBtnShadow, true);
}

// ---------------------------------------------------------------------------------------------
// Text in cells

namespace {

// The cell bitmap of the drawing path with wrapping; freed at process end.
TBitmap* CellBitmap() {
  static std::unique_ptr<TBitmap> b;
  if (!b) b = std::make_unique<TBitmap>();
  return b.get();
}

TAlignment Mirrored(TAlignment A) {
  return A == taLeftJustify ? taRightJustify : A == taRightJustify ? taLeftJustify : A;
}

}  // namespace

void DrawTextInRect(TCanvas* Canvas, const TRect& Rect, int DX, int DY, const std::string& Text, TAlignment Alignment,
                    bool WordWrap, bool RightToLeft) {
  if (!Canvas) return;
  const bool rtlCanvas = (Canvas->GetTextAlign() & TA_RTLREADING) != 0;
  if (!WordWrap && Text.find('\r') == std::string::npos) {
    if (rtlCanvas && !RightToLeft) Alignment = Mirrored(Alignment);
    int x;
    switch (Alignment) {
      case taRightJustify:
        x = Rect.Right - Canvas->TextWidth(Text) - 3;
        break;
      case taCenter:
        x = Rect.Left + (Rect.Right - Rect.Left) / 2 - Canvas->TextWidth(Text) / 2;
        break;
      default:
        x = Rect.Left + DX;
        break;
    }
    Canvas->TextRect(Rect, x, Rect.Top + DY, Text);
    return;
  }
  const int cw = RectWidth(Rect), ch = RectHeight(Rect);
  if (cw <= 0 || ch <= 0) return;
  TBitmap* b = CellBitmap();
  if (b->Width() < cw || b->Height() < ch) b->SetSize(std::max(b->Width(), cw), std::max(b->Height(), ch));
  TCanvas* bc = b->Canvas();
  bc->Brush()->Assign(Canvas->Brush());
  bc->Brush()->SetStyle(bsSolid);
  bc->FillRect(::Rect(0, 0, cw, ch));
  bc->Font()->Assign(Canvas->Font());
  bc->Brush()->SetStyle(bsClear);  // text without a background
  if (rtlCanvas) Alignment = Mirrored(Alignment);
  uint32_t flags = DT_EXPANDTABS | DT_NOPREFIX;
  flags |= Alignment == taRightJustify ? DT_RIGHT : Alignment == taCenter ? DT_CENTER : DT_LEFT;
  if (WordWrap) flags |= DT_WORDBREAK;
  TRect r(DX, DY, cw - 1, ch - 1);
  bc->DrawText(Text, r, flags);
  CopyModeSaver keep(Canvas, cmSrcCopy);
  Canvas->CopyRect(Rect, bc, ::Rect(0, 0, cw, ch));
}

void PaintCellTextWrapBidi(TCanvas* Grid, int /*Col*/, int /*Row*/, const std::string& Text, const TRect& Rect,
                           TAlignment Alignment, TVertAlignment VertAlign, bool WordWrap, bool RightToLeft) {
  if (!Grid) return;
  int dy = 2;
  if (VertAlign != vaTopJustify) {
    const int ch = RectHeight(Rect), th = Grid->TextHeight("W");
    dy = VertAlign == vaCenter ? std::max(1, (ch - th) / 2) : std::max(2, ch - th);
  }
  DrawTextInRect(Grid, Rect, 2, dy, Text, Alignment, WordWrap, RightToLeft);
}

void PaintCellTextBidi(TCanvas* Grid, int Col, int Row, const std::string& Text, const TRect& Rect,
                       TAlignment Alignment, TVertAlignment VertAlign, bool RightToLeft) {
  PaintCellTextWrapBidi(Grid, Col, Row, Text, Rect, Alignment, VertAlign, Alignment == taCenter, RightToLeft);
}

void PaintCellTextWrap(TCanvas* Grid, int Col, int Row, const std::string& Text, const TRect& Rect,
                       TAlignment Alignment, TVertAlignment VertAlign, bool WordWrap) {
  PaintCellTextWrapBidi(Grid, Col, Row, Text, Rect, Alignment, VertAlign, WordWrap, false);
}

void PaintCellText(TCanvas* Grid, int Col, int Row, const std::string& Text, const TRect& Rect, TAlignment Alignment,
                   TVertAlignment VertAlign) {
  PaintCellTextWrapBidi(Grid, Col, Row, Text, Rect, Alignment, VertAlign, Alignment == taCenter, false);
}

std::string ShortenToWidth(const std::string& Text, TCanvas* Canvas, int MaxWidth) {
  std::string result = Text;
  if (!Canvas) return result;
  // Characters are counted as UTF-8 characters, so a cut never splits one.
  const std::vector<size_t> starts = CharStarts(Text);
  const int len = static_cast<int>(starts.size()) - 1;
  for (int i = 1; i <= len && Canvas->TextWidth(result) > MaxWidth; ++i) {
    const int keep = std::max(0, len - i - 1);
    result = Text.substr(0, starts[keep]) + "...";
  }
  return result;
}

// ---------------------------------------------------------------------------------------------
// Strings

std::string ReplaceAll(std::string_view Text, std::string_view Search, std::string_view Replacement) {
  if (Search.empty()) return std::string(Text);
  std::string out;
  size_t at = 0;
  for (;;) {
    size_t hit = Text.find(Search, at);
    if (hit == std::string_view::npos) break;
    out.append(Text.substr(at, hit - at));
    out.append(Replacement);
    at = hit + Search.size();
  }
  out.append(Text.substr(at));
  return out;
}

std::string RemoveChar(std::string_view Text, char C) {
  std::string out;
  for (char c : Text)
    if (c != C) out += c;
  return out;
}

std::string TrimLeadingSpaces(std::string_view Text) {
  size_t i = Text.find_first_not_of(' ');
  return i == std::string_view::npos ? std::string() : std::string(Text.substr(i));
}

std::string TrimTrailingSpaces(std::string_view Text) {
  size_t i = Text.find_last_not_of(' ');
  return i == std::string_view::npos ? std::string() : std::string(Text.substr(0, i + 1));
}

std::string TrimSpaces(std::string_view Text) { return TrimLeadingSpaces(TrimTrailingSpaces(Text)); }

std::string RepeatChar(char C, int N) { return N > 0 ? std::string(static_cast<size_t>(N), C) : std::string(); }

int CountWords(std::string_view Text, const TCharSet& Delims) {
  int n = 0;
  bool inWord = false;
  for (char c : Text) {
    if (InSet(Delims, c)) {
      inWord = false;
    } else if (!inWord) {
      inWord = true;
      ++n;
    }
  }
  return n;
}

int WordStart(int N, std::string_view Text, const TCharSet& Delims) {
  if (N < 1) return 0;
  int n = 0;
  bool inWord = false;
  for (size_t i = 0; i < Text.size(); ++i) {
    if (InSet(Delims, Text[i])) {
      inWord = false;
    } else if (!inWord) {
      inWord = true;
      if (++n == N) return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

std::string WordAt(int N, std::string_view Text, const TCharSet& Delims) {
  int start = WordStart(N, Text, Delims);
  if (start == 0) return {};
  size_t i = static_cast<size_t>(start - 1), j = i;
  while (j < Text.size() && !InSet(Delims, Text[j])) ++j;
  return std::string(Text.substr(i, j - i));
}

std::string NextField(std::string_view Text, int& Pos, const TCharSet& Delims) {
  const int len = static_cast<int>(Text.size());
  if (Pos < 1) Pos = 1;
  if (Pos > len) {
    Pos = len + 1;
    return {};
  }
  int j = Pos;
  while (j <= len && !InSet(Delims, Text[j - 1])) ++j;
  std::string field(Text.substr(static_cast<size_t>(Pos - 1), static_cast<size_t>(j - Pos)));
  Pos = j <= len ? j + 1 : len + 1;
  return field;
}

std::string KeyedHexEncode(std::string_view Key, std::string_view Text) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(Text.size() * 2);
  for (size_t i = 0; i < Text.size(); ++i) {
    uint8_t code = static_cast<uint8_t>(Text[i]);
    if (!Key.empty()) code ^= static_cast<uint8_t>(Key[i % Key.size()]);
    out += digits[code >> 4];
    out += digits[code & 0x0F];
  }
  return out;
}

std::string KeyedHexDecode(std::string_view Key, std::string_view Hex) {
  std::string out;
  const size_t n = Hex.size() / 2;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    int hi = HexDigit(Hex[2 * i]), lo = HexDigit(Hex[2 * i + 1]);
    uint8_t code = hi < 0 || lo < 0 ? 32 : static_cast<uint8_t>(hi * 16 + lo);
    if (!Key.empty()) code ^= static_cast<uint8_t>(Key[i % Key.size()]);
    out += static_cast<char>(code);
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// Command lines

std::string NextCommandArg(std::string_view Text, size_t& Pos) {
  // A NUL ends the text, as in a C string.
  const size_t end = std::min(Text.size(), Text.find('\0'));
  auto code = [&](size_t i) { return static_cast<unsigned char>(Text[i]); };
  for (;;) {
    if (Pos >= end) break;
    if (code(Pos) <= 32) {
      ++Pos;
    } else if (Text[Pos] == '"' && Pos + 1 < end && Text[Pos + 1] == '"') {
      Pos += 2;
    } else {
      break;
    }
  }
  std::string arg;
  while (Pos < end && code(Pos) > 32) {
    if (Text[Pos] == '"') {
      ++Pos;
      while (Pos < end && Text[Pos] != '"') arg += Text[Pos++];
      if (Pos < end) ++Pos;
    } else {
      arg += Text[Pos++];
    }
  }
  return arg;
}

int CountCommandArgs(std::string_view Text) {
  size_t pos = 0;
  int n = 0;
  while (!NextCommandArg(Text, pos).empty()) ++n;
  return n;
}

std::string CommandArgAt(std::string_view Text, int Index) {
  if (Index < 0) return {};
  size_t pos = 0;
  std::string arg;
  for (int i = 0; i <= Index; ++i) {
    arg = NextCommandArg(Text, pos);
    if (arg.empty()) return {};
  }
  return arg;
}

void SplitCommandLine(std::string_view Text, std::string& Program, std::string& Params) {
  size_t pos = 0;
  Program = NextCommandArg(Text, pos);
  Params.clear();
  for (;;) {
    std::string arg = NextCommandArg(Text, pos);
    if (arg.empty()) break;
    if (!Params.empty()) Params += ' ';
    if (arg.find(' ') != std::string::npos)
      Params += '"' + arg + '"';
    else
      Params += arg;
  }
}

std::unique_ptr<char[]> DupCString(std::string_view Text) {
  auto p = std::make_unique<char[]>(Text.size() + 1);
  std::memcpy(p.get(), Text.data(), Text.size());
  p[Text.size()] = '\0';
  return p;
}
