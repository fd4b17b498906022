#include "platform/graphics.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <cstring>

#include "platform/exceptions.h"
#include "platform/guards.h"

namespace {

// The classic palette behind the system colours.
constexpr TColor kClassicColors[31] = {
    RGB(192, 192, 192),  // scroll bar
    RGB(0, 128, 128),    // background
    RGB(0, 0, 128),      // active caption
    RGB(128, 128, 128),  // inactive caption
    RGB(192, 192, 192),  // menu
    RGB(255, 255, 255),  // window
    RGB(0, 0, 0),        // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(255, 255, 255),  // caption text
    RGB(192, 192, 192),  // active border
    RGB(192, 192, 192),  // inactive border
    RGB(128, 128, 128),  // application work space
    RGB(0, 0, 128),      // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(192, 192, 192),  // button face
    RGB(128, 128, 128),  // button shadow
    RGB(128, 128, 128),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(192, 192, 192),  // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(0, 0, 0),        // 3D dark shadow
    RGB(223, 223, 223),  // 3D light
    RGB(0, 0, 0),        // info text
    RGB(255, 255, 225),  // info background
    RGB(181, 181, 181),  // (unused)
    RGB(0, 0, 255),      // hot light
    RGB(166, 202, 240),  // gradient active caption
    RGB(192, 192, 192),  // gradient inactive caption
    RGB(0, 0, 128),      // menu highlight
    RGB(192, 192, 192),  // menu bar
};

struct ColorName {
  TColor Color;
  const char* Name;
};

constexpr ColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};

// The palette in use; starts classic.
TColor gSystemColors[31] = {};
bool gSystemColorsSet = false;

const TColor* SystemColors() { return gSystemColorsSet ? gSystemColors : kClassicColors; }

bool SameText(const std::string& A, const char* B) {
  size_t n = std::strlen(B);
  if (A.size() != n) return false;
  for (size_t i = 0; i < n; ++i) {
    char a = A[i], b = B[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

}  // namespace

TColor ColorToRGB(TColor Color) {
  if (Color < 0) {
    unsigned idx = static_cast<unsigned>(Color) & 0xFF;
    return idx < 31 ? SystemColors()[idx] : clBlack;
  }
  return Color;
}

TColorScheme ClassicColorScheme() {
  auto c = [](TColor Sys) { return kClassicColors[static_cast<unsigned>(Sys) & 0xFF]; };
  TColorScheme s;
  s.Window = c(clWindow);
  s.WindowText = c(clWindowText);
  s.Face = c(clBtnFace);
  s.FaceText = c(clBtnText);
  s.Highlight = c(clHighlight);
  s.HighlightText = c(clHighlightText);
  s.GrayText = c(clGrayText);
  s.Light = c(clBtnHighlight);
  s.Midlight = c(cl3DLight);
  s.Mid = c(clAppWorkSpace);
  s.Shadow = c(clBtnShadow);
  s.DarkShadow = c(cl3DDkShadow);
  s.InfoBk = c(clInfoBk);
  s.InfoText = c(clInfoText);
  s.Link = c(clHotLight);
  return s;
}

void SetSystemColors(const TColorScheme& S) {
  std::copy(std::begin(kClassicColors), std::end(kClassicColors), gSystemColors);
  auto set = [](TColor Sys, TColor V) { gSystemColors[static_cast<unsigned>(Sys) & 0xFF] = V & 0xFFFFFF; };
  for (TColor c : {clScrollBar, clMenu, clMenuBar, clBtnFace, clActiveBorder, clInactiveBorder,
                   clGradientInactiveCaption, clInactiveCaptionText})
    set(c, S.Face);
  set(clWindow, S.Window);
  set(clWindowText, S.WindowText);
  set(clMenuText, S.FaceText);
  set(clBtnText, S.FaceText);
  for (TColor c : {clHighlight, clMenuHighlight, clActiveCaption}) set(c, S.Highlight);
  set(clHighlightText, S.HighlightText);
  set(clCaptionText, S.HighlightText);
  set(clGrayText, S.GrayText);
  set(clBtnHighlight, S.Light);
  set(cl3DLight, S.Midlight);
  set(clAppWorkSpace, S.Mid);
  set(clInactiveCaption, S.Mid);
  set(clBtnShadow, S.Shadow);
  set(cl3DDkShadow, S.DarkShadow);
  set(clWindowFrame, S.DarkShadow);
  set(clInfoBk, S.InfoBk);
  set(clInfoText, S.InfoText);
  set(clHotLight, S.Link);
  gSystemColorsSet = true;
}

bool ColorToIdent(TColor Color, std::string& Ident) {
  for (const auto& c : kColorNames)
    if (c.Color == Color) {
      Ident = c.Name;
      return true;
    }
  return false;
}

bool IdentToColor(const std::string& Ident, TColor& Color) {
  for (const auto& c : kColorNames)
    if (SameText(Ident, c.Name)) {
      Color = c.Color;
      return true;
    }
  return false;
}

std::string ColorToString(TColor Color) {
  std::string s;
  if (ColorToIdent(Color, s)) return s;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<uint32_t>(Color));
  return buf;
}

TColor StringToColor(const std::string& S) {
  TColor c;
  if (IdentToColor(S, c)) return c;
  std::string t = S;
  int base = 10;
  size_t start = 0;
  bool neg = false;
  if (!t.empty() && t[0] == '-') {
    neg = true;
    start = 1;
  }
  if (t.size() > start && t[start] == '$') {
    base = 16;
    ++start;
  } else if (t.size() > start + 1 && t[start] == '0' && (t[start + 1] == 'x' || t[start + 1] == 'X')) {
    base = 16;
    start += 2;
  }
  if (start >= t.size()) throw EConvertError("'" + S + "' is not a valid integer value");
  char* end = nullptr;
  long long v = std::strtoll(t.c_str() + start, &end, base);
  if (*end != '\0' || v > 0xFFFFFFFFLL) throw EConvertError("'" + S + "' is not a valid integer value");
  if (neg) v = -v;
  return static_cast<TColor>(static_cast<uint32_t>(v));
}

int32_t MulDiv(int32_t Number, int32_t Numerator, int32_t Denominator) {
  if (Denominator == 0) return -1;
  int64_t p = static_cast<int64_t>(Number) * Numerator;
  int64_t d = Denominator;
  bool neg = (p < 0) != (d < 0);
  int64_t ap = p < 0 ? -p : p, ad = d < 0 ? -d : d;
  int64_t q = (ap + ad / 2) / ad;
  if (q > INT32_MAX) return -1;
  return static_cast<int32_t>(neg ? -q : q);
}

void InflateRect(TRect& R, int32_t DX, int32_t DY) {
  R.Left -= DX;
  R.Right += DX;
  R.Top -= DY;
  R.Bottom += DY;
}

void OffsetRect(TRect& R, int32_t DX, int32_t DY) {
  R.Left += DX;
  R.Right += DX;
  R.Top += DY;
  R.Bottom += DY;
}

bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B) {
  TRect r(std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right), std::min(A.Bottom, B.Bottom));
  if (IsRectEmpty(r)) {
    Dest = TRect();
    return false;
  }
  Dest = r;
  return true;
}

bool UnionRect(TRect& Dest, const TRect& A, const TRect& B) {
  if (IsRectEmpty(A)) {
    Dest = IsRectEmpty(B) ? TRect() : B;
  } else if (IsRectEmpty(B)) {
    Dest = A;
  } else {
    Dest = TRect(std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
                 std::max(A.Bottom, B.Bottom));
  }
  return !IsRectEmpty(Dest);
}

void SetRect(TRect& R, int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
  R = TRect(Left, Top, Right, Bottom);
}

// ---------------------------------------------------------------------------------------------

namespace {
bool ColorToIdentOrd(int64_t Value, std::string& Ident) { return ColorToIdent(static_cast<TColor>(Value), Ident); }
bool IdentToColorOrd(const std::string& Ident, int64_t& Value) {
  TColor c;
  if (!IdentToColor(Ident, c)) return false;
  Value = c;
  return true;
}
}  // namespace

const TIdentMap ColorIdents = {ColorToIdentOrd, IdentToColorOrd};
const TEnumInfo PenStyleInfo("TPenStyle", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear",
                                           "psInsideFrame", "psUserStyle", "psAlternate"});
const TEnumInfo PenModeInfo("TPenMode", {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot",
                                         "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge",
                                         "pmMask", "pmNotMask", "pmXor", "pmNotXor"});
const TEnumInfo BrushStyleInfo("TBrushStyle", {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                                               "bsBDiagonal", "bsCross", "bsDiagCross"});
const TEnumInfo FontStyleInfo("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
const TEnumInfo FontPitchInfo("TFontPitch", {"fpDefault", "fpVariable", "fpFixed"});

VM_DEFINE_CLASS(TGraphicsObject)

VM_PUBLISH(TPen) {
  P.Int("Color", &TPen::Color, &TPen::SetColor).Default(clBlack).Idents(ColorIdents);
  P.Enum("Mode", &TPen::Mode, &TPen::SetMode, PenModeInfo).Default(pmCopy);
  P.Enum("Style", &TPen::Style, &TPen::SetStyle, PenStyleInfo).Default(psSolid);
  P.Int("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}

VM_PUBLISH(TBrush) {
  P.Int("Color", &TBrush::Color, &TBrush::SetColor).Default(clWhite).Idents(ColorIdents);
  P.Enum("Style", &TBrush::Style, &TBrush::SetStyle, BrushStyleInfo).Default(bsSolid);
}

VM_PUBLISH(TFont) {
  P.Int("Charset", &TFont::Charset, &TFont::SetCharset).Default(DEFAULT_CHARSET);
  P.Int("Color", &TFont::Color, &TFont::SetColor).Default(clWindowText).Idents(ColorIdents);
  P.Int("Height", &TFont::Height, &TFont::SetHeight);
  P.String("Name", &TFont::Name, &TFont::SetName);
  P.Enum("Pitch", &TFont::Pitch, &TFont::SetPitch, FontPitchInfo).Default(fpDefault);
  P.Int("Size", &TFont::Size, &TFont::SetSize).Stored(false);
  P.Set("Style", &TFont::Style, &TFont::SetStyle, FontStyleInfo).Default(TFontStyles());
}

void TGraphicsObject::Changed() {
  ++FVersion;
  if (OnChange) OnChange(this);
}

TPen::TPen() = default;

void TPen::Assign(TPersistent* Source) {
  // The class chain rather than a dynamic cast: pens are assigned for every point of a chart.
  if (auto* p = Source && Source->InheritsFrom(TPen::StaticClass()) ? static_cast<TPen*>(Source) : nullptr) {
    FColor = p->FColor;
    FWidth = p->FWidth;
    FStyle = p->FStyle;
    FMode = p->FMode;
    FEndCap = p->FEndCap;
    FJoin = p->FJoin;
    FUserStyle = p->FUserStyle;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

void TPen::SetColor(TColor Value) {
  if (StoreChanged(FColor, Value)) Changed();
}
void TPen::SetWidth(int32_t Value) {
  if (StoreChanged(FWidth, Value < 0 ? 0 : Value)) Changed();
}
void TPen::SetStyle(TPenStyle Value) {
  if (StoreChanged(FStyle, Value)) Changed();
}
void TPen::SetMode(TPenMode Value) {
  if (StoreChanged(FMode, Value)) Changed();
}
void TPen::SetEndCap(TPenEndCap Value) {
  if (StoreChanged(FEndCap, Value)) Changed();
}
void TPen::SetJoin(TPenJoin Value) {
  if (StoreChanged(FJoin, Value)) Changed();
}
void TPen::SetUserStyle(const std::vector<uint32_t>& Value) {
  FUserStyle = Value;
  Changed();
}

TBrush::TBrush() = default;

void TBrush::Assign(TPersistent* Source) {
  if (auto* b = Source && Source->InheritsFrom(TBrush::StaticClass()) ? static_cast<TBrush*>(Source) : nullptr) {
    FColor = b->FColor;
    FStyle = b->FStyle;
    FBitmap = b->FBitmap;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

void TBrush::SetColor(TColor Value) {
  // A colour other than clNone makes a clear brush solid again, as the toolkit does.
  bool changed = FColor != Value;
  FColor = Value;
  if (FStyle == bsClear && Value != clNone) {
    FStyle = bsSolid;
    changed = true;
  }
  if (changed) Changed();
}
void TBrush::SetStyle(TBrushStyle Value) {
  if (StoreChanged(FStyle, Value)) Changed();
}
void TBrush::SetBitmap(TBitmap* Value) {
  if (StoreChanged(FBitmap, Value)) Changed();
}

namespace {
std::string& DefaultFontName() {
  static std::string name = "Tahoma";
  return name;
}
int32_t gDefaultFontHeight = -11;
}  // namespace

void SetDefaultFont(const std::string& Name, int32_t Height) {
  if (!Name.empty()) DefaultFontName() = Name;
  if (Height != 0) gDefaultFontHeight = Height;
}

TFont::TFont() : FName(DefaultFontName()), FHeight(gDefaultFontHeight) {}

void TFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFont*>(Source)) {
    FName = f->FName;
    FHeight = f->FHeight;
    FPixelsPerInch = f->FPixelsPerInch;
    FColor = f->FColor;
    FStyle = f->FStyle;
    FCharset = f->FCharset;
    FPitch = f->FPitch;
    FQuality = f->FQuality;
    FOrientation = f->FOrientation;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

void TFont::SetName(const std::string& Value) {
  if (!Value.empty() && StoreChanged(FName, Value)) Changed();
}
void TFont::SetHeight(int32_t Value) {
  if (StoreChanged(FHeight, Value)) Changed();
}
int32_t TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }
void TFont::SetSize(int32_t Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }
void TFont::SetPixelsPerInch(int32_t Value) {
  if (Value > 0) FPixelsPerInch = Value;
}
void TFont::SetColor(TColor Value) {
  if (StoreChanged(FColor, Value)) Changed();
}
void TFont::SetStyle(TFontStyles Value) {
  if (StoreChanged(FStyle, Value)) Changed();
}
void TFont::SetCharset(TFontCharset Value) {
  if (StoreChanged(FCharset, Value)) Changed();
}
void TFont::SetPitch(TFontPitch Value) {
  if (StoreChanged(FPitch, Value)) Changed();
}
void TFont::SetQuality(TFontQuality Value) {
  if (StoreChanged(FQuality, Value)) Changed();
}
void TFont::SetOrientation(int32_t Value) {
  if (StoreChanged(FOrientation, Value)) Changed();
}
