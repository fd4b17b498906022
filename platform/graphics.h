// Colours, integer geometry, pens, brushes and fonts of the toolkit.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "platform/component.h"
#include "platform/set.h"
#include "platform/typinfo.h"
#include "platform/types.h"

// ---------------------------------------------------------------------------------------------
// Colours: 0x00BBGGRR; 0xFF0000nn is system colour nn; clNone and clDefault are markers.
using TColor = int32_t;

constexpr TColor TColorOf(uint32_t V) { return static_cast<TColor>(V); }

constexpr TColor clSystemColor = TColorOf(0xFF000000);
constexpr TColor clScrollBar = clSystemColor | 0;
constexpr TColor clBackground = clSystemColor | 1;
constexpr TColor clActiveCaption = clSystemColor | 2;
constexpr TColor clInactiveCaption = clSystemColor | 3;
constexpr TColor clMenu = clSystemColor | 4;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowFrame = clSystemColor | 6;
constexpr TColor clMenuText = clSystemColor | 7;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clCaptionText = clSystemColor | 9;
constexpr TColor clActiveBorder = clSystemColor | 10;
constexpr TColor clInactiveBorder = clSystemColor | 11;
constexpr TColor clAppWorkSpace = clSystemColor | 12;
constexpr TColor clHighlight = clSystemColor | 13;
constexpr TColor clHighlightText = clSystemColor | 14;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clInactiveCaptionText = clSystemColor | 19;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;
constexpr TColor clInfoText = clSystemColor | 23;
constexpr TColor clInfoBk = clSystemColor | 24;
constexpr TColor clHotLight = clSystemColor | 26;
constexpr TColor clGradientActiveCaption = clSystemColor | 27;
constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
constexpr TColor clMenuHighlight = clSystemColor | 29;
constexpr TColor clMenuBar = clSystemColor | 30;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor RGB(uint8_t R, uint8_t G, uint8_t B) { return R | (G << 8) | (B << 16); }
constexpr uint8_t GetRValue(TColor C) { return static_cast<uint8_t>(C & 0xFF); }
constexpr uint8_t GetGValue(TColor C) { return static_cast<uint8_t>((C >> 8) & 0xFF); }
constexpr uint8_t GetBValue(TColor C) { return static_cast<uint8_t>((C >> 16) & 0xFF); }

// System colours become RGB from a fixed classic palette; other values come back unchanged.
TColor ColorToRGB(TColor Color);

// The colours behind the system colours, by role. The program starts with the desktop's scheme
// (the application palette, dark themes included) and follows it when the desktop changes it;
// runs without a display start with the classic scheme. SetColorScheme (forms.h) installs one
// for the whole program, native widgets included.
struct TColorScheme {
  TColor Window;         // clWindow: the ground of edits and lists
  TColor WindowText;     // clWindowText
  TColor Face;           // clBtnFace, clMenu: forms, buttons, panels
  TColor FaceText;       // clBtnText, clMenuText
  TColor Highlight;      // clHighlight: selected items
  TColor HighlightText;  // clHighlightText
  TColor GrayText;       // clGrayText: disabled texts
  TColor Light;          // clBtnHighlight: lit edges
  TColor Midlight;       // cl3DLight
  TColor Mid;            // clAppWorkSpace
  TColor Shadow;         // clBtnShadow: shaded edges
  TColor DarkShadow;     // cl3DDkShadow, clWindowFrame
  TColor InfoBk;         // clInfoBk: hints
  TColor InfoText;       // clInfoText
  TColor Link;           // clHotLight
};
// The face and height that new fonts start with: the desktop's default font once the program
// runs on a display, "Tahoma" at 11 pixels before and without one.
void SetDefaultFont(const std::string& Name, int32_t Height);

// The classic grey scheme (face 192,192,192; navy selection).
TColorScheme ClassicColorScheme();
// Maps the system colours to Scheme (drawing only: SetColorScheme also tells the widgets).
void SetSystemColors(const TColorScheme& Scheme);
// Identifiers ("clRed", "clBtnFace") and "$00BBGGRR" texts, as stored in component streams.
bool ColorToIdent(TColor Color, std::string& Ident);
bool IdentToColor(const std::string& Ident, TColor& Color);
std::string ColorToString(TColor Color);
// Raises EConvertError for a text that is neither an identifier nor a number.
TColor StringToColor(const std::string& S);

// Colours stream as identifiers when they have one.
extern const TIdentMap ColorIdents;
extern const TEnumInfo PenStyleInfo, PenModeInfo, BrushStyleInfo, FontStyleInfo, FontPitchInfo;

// a * b / c rounded to the nearest (halves away from zero); -1 when c is 0.
int32_t MulDiv(int32_t Number, int32_t Numerator, int32_t Denominator);

// ---------------------------------------------------------------------------------------------
// Integer geometry, Y growing downwards.
struct TPoint {
  int32_t X = 0;
  int32_t Y = 0;
  constexpr TPoint() = default;
  constexpr TPoint(int32_t AX, int32_t AY) : X(AX), Y(AY) {}
  friend constexpr bool operator==(const TPoint& A, const TPoint& B) { return A.X == B.X && A.Y == B.Y; }
};

struct TSize {
  int32_t cx = 0;
  int32_t cy = 0;
  constexpr TSize() = default;
  constexpr TSize(int32_t ACx, int32_t ACy) : cx(ACx), cy(ACy) {}
  friend constexpr bool operator==(const TSize& A, const TSize& B) { return A.cx == B.cx && A.cy == B.cy; }
};

struct TRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
  constexpr TRect() = default;
  constexpr TRect(int32_t L, int32_t T, int32_t R, int32_t B) : Left(L), Top(T), Right(R), Bottom(B) {}
  constexpr TRect(const TPoint& TopLeft, const TPoint& BottomRight)
      : Left(TopLeft.X), Top(TopLeft.Y), Right(BottomRight.X), Bottom(BottomRight.Y) {}
  constexpr int32_t Width() const { return Right - Left; }
  constexpr int32_t Height() const { return Bottom - Top; }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
  friend constexpr bool operator==(const TRect& A, const TRect& B) {
    return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
  }
};

using TPointArray = std::vector<TPoint>;

constexpr TPoint Point(int32_t X, int32_t Y) { return {X, Y}; }
constexpr TRect Rect(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) { return {Left, Top, Right, Bottom}; }
constexpr TRect Bounds(int32_t Left, int32_t Top, int32_t Width, int32_t Height) {
  return {Left, Top, Left + Width, Top + Height};
}
// Right and bottom edges excluded.
constexpr bool PtInRect(const TRect& R, const TPoint& P) {
  return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}
constexpr bool IsRectEmpty(const TRect& R) { return R.Right <= R.Left || R.Bottom <= R.Top; }
constexpr bool EqualRect(const TRect& A, const TRect& B) { return A == B; }
constexpr TPoint CenterPoint(const TRect& R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }
void InflateRect(TRect& R, int32_t DX, int32_t DY);
void OffsetRect(TRect& R, int32_t DX, int32_t DY);
// False and an empty (0,0,0,0) result when the rectangles do not overlap.
bool IntersectRect(TRect& Dest, const TRect& A, const TRect& B);
// The smallest rectangle holding both; empty sources are skipped. False when the result is empty.
bool UnionRect(TRect& Dest, const TRect& A, const TRect& B);
void SetRect(TRect& R, int32_t Left, int32_t Top, int32_t Right, int32_t Bottom);

// ---------------------------------------------------------------------------------------------
// Pens, brushes, fonts. Each change increments Version() and fires OnChange.
class TGraphicsObject : public TPersistent {
  VM_CLASS(TGraphicsObject, TPersistent)
public:
  TNotifyEvent OnChange;
  uint32_t Version() const { return FVersion; }

protected:
  virtual void Changed();

private:
  uint32_t FVersion = 1;
};

// Bevel kinds of panels and framed boxes.
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate };
enum TPenMode {
  pmBlack,
  pmWhite,
  pmNop,
  pmNot,
  pmCopy,
  pmNotCopy,
  pmMergePenNot,
  pmMaskPenNot,
  pmMergeNotPen,
  pmMaskNotPen,
  pmMerge,
  pmNotMerge,
  pmMask,
  pmNotMask,
  pmXor,
  pmNotXor
};
// Ends and joins of pens wider than one pixel (a one-pixel pen always leaves out its end pixel).
enum TPenEndCap { pecRound, pecSquare, pecFlat };
enum TPenJoin { pjRound, pjBevel, pjMiter };

class TPen : public TGraphicsObject {
  VM_CLASS(TPen, TGraphicsObject)
public:
  TPen();
  void Assign(TPersistent* Source) override;

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  int32_t Width() const { return FWidth; }
  void SetWidth(int32_t Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);
  TPenEndCap EndCap() const { return FEndCap; }
  void SetEndCap(TPenEndCap Value);
  TPenJoin Join() const { return FJoin; }
  void SetJoin(TPenJoin Value);
  // psUserStyle: dash and gap lengths in pixels, alternating (a 0 dash is a single dot).
  const std::vector<uint32_t>& UserStyle() const { return FUserStyle; }
  void SetUserStyle(const std::vector<uint32_t>& Value);

private:
  TColor FColor = clBlack;
  int32_t FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
  TPenEndCap FEndCap = pecRound;
  TPenJoin FJoin = pjRound;
  std::vector<uint32_t> FUserStyle;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBitmap;

class TBrush : public TGraphicsObject {
  VM_CLASS(TBrush, TGraphicsObject)
public:
  TBrush();
  void Assign(TPersistent* Source) override;

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  // A pattern bitmap (not owned); when set it paints instead of Color and Style.
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value);

private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TBitmap* FBitmap = nullptr;
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

enum TFontPitch { fpDefault, fpVariable, fpFixed };
enum TFontQuality { fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType };
using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset RUSSIAN_CHARSET = 204;

class TFont : public TGraphicsObject {
  VM_CLASS(TFont, TGraphicsObject)
public:
  TFont();
  void Assign(TPersistent* Source) override;

  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value);
  // Height in pixels: negative is the character (em) height, positive the cell height.
  int32_t Height() const { return FHeight; }
  void SetHeight(int32_t Value);
  // Size in points at PixelsPerInch: -Height * 72 / PixelsPerInch.
  int32_t Size() const;
  void SetSize(int32_t Value);
  int32_t PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int32_t Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  TFontQuality Quality() const { return FQuality; }
  void SetQuality(TFontQuality Value);
  // Rotation of the text in tenths of a degree, counter-clockwise.
  int32_t Orientation() const { return FOrientation; }
  void SetOrientation(int32_t Value);

private:
  std::string FName;
  int32_t FHeight;
  int32_t FPixelsPerInch = 96;
  TColor FColor = clWindowText;
  TFontStyles FStyle;
  TFontCharset FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = fpDefault;
  TFontQuality FQuality = fqDefault;
  int32_t FOrientation = 0;
};
