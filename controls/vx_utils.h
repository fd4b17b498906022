// Drawing, text and small utility routines shared by the extra controls.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/graphics.h"
#include "platform/types.h"

class TBitmap;
class TCanvas;
class TControl;
class TGraphic;
class TWinControl;

// Screen cursors registered from the program's resources.
constexpr int16_t crHand = 14000;      // "VX_HANDCUR"
constexpr int16_t crDragHand = 14001;  // "VX_DRAGCUR"
// Registers crHand and crDragHand in the screen's cursor table (once; the module start calls it).
void RegisterVxCursors();

// Horizontal and vertical alignment of cell text.
enum TVertAlignment { vaTopJustify, vaCenter, vaBottomJustify };

// A set of 8-bit characters (delimiters of the word routines).
using TCharSet = std::bitset<256>;
TCharSet CharSetOf(std::string_view Chars);

// ---------------------------------------------------------------------------------------------
// Integers, rectangles, colours, windows

inline int32_t LargerInt(int32_t A, int32_t B) { return A > B ? A : B; }
inline int32_t SmallerInt(int32_t A, int32_t B) { return A < B ? A : B; }
inline int32_t RectWidth(const TRect& R) { return R.Right - R.Left; }
inline int32_t RectHeight(const TRect& R) { return R.Bottom - R.Top; }
// Surfaces here are true-colour: the palette-relative form is the colour's RGB value.
TColor ToPaletteRGB(TColor Color);
// Moves R (size kept) so that it ends at the screen's right and bottom edges at most and starts
// at 0 at least.
void FitRectOnScreen(TRect& R);
// Moves the window to the middle of the screen, then fits it on the screen; never resizes it.
void CenterWindowOnScreen(TWinControl* Wnd);
// True when the active window belongs to the program (all windows live on the GUI thread).
bool ActiveWindowInThread();
// There is no system sound service on this platform: does nothing.
void SoundDefaultBeep();
// Default cursor, the information box "Функция не реализована", then a silent abort.
[[noreturn]] void ReportNotImplemented();
inline std::string PassText(const std::string& Text) { return Text; }

// ---------------------------------------------------------------------------------------------
// Memory

// A zero-filled block (nullptr for Size <= 0); FreeBlock releases it and clears P.
void* AllocZeroedBlock(int64_t Size);
void FreeBlock(void*& P);
bool SameBytes(const void* P1, const void* P2, size_t Len);
inline void* OffsetPointer(void* P, ptrdiff_t N) { return static_cast<uint8_t*>(P) + N; }
// Overlap-safe.
void CopyBytes(void* Dst, const void* Src, size_t N);

// ---------------------------------------------------------------------------------------------
// Pictures

// Copies cell Index of a Cols x Rows grid of Source into Dest (which takes the cell's size).
void CopyBitmapCell(TGraphic* Source, TBitmap* Dest, int Cols, int Rows, int Index);
// Paints the parent's image under Control on Canvas (the parent's colour when it keeps none).
void PaintParentBackground(TControl* Control, TCanvas* Canvas);
// A stretch copy of the source part onto the destination that leaves out the source pixels of
// TransparentColor (an RGB value). Palette is unused (true-colour surfaces).
void ColorKeyBlt(TCanvas* Dest, int X, int Y, int W, int H, TCanvas* Source, int SX, int SY, int SW, int SH,
                 void* Palette, TColor TransparentColor);
// W < 1, H < 1: the bitmap's size; SW < 1 or SH < 1: the whole bitmap. clNone draws opaque
// with the canvas's copy mode; clDefault takes the bitmap's bottom-left pixel.
void DrawColorKeyed(TCanvas* Canvas, TBitmap* Bitmap, TColor TransparentColor, int X, int Y, int W, int H, int SX,
                    int SY, int SW, int SH);
void DrawColorKeyedRect(TCanvas* Canvas, TBitmap* Bitmap, TColor TransparentColor, const TRect& Dest,
                        const TRect& Source);
void DrawColorKeyedAt(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap, TColor TransparentColor);
// The embossed "disabled" look: a new bitmap (the caller owns it) filled with BackColor, where
// the pixels of OutlineColor (white ones of a monochrome bitmap) are painted in ShadowColor,
// with a HighlightColor copy one pixel right and down beneath when DrawHighlight.
TBitmap* BuildDisabledImageEx(TBitmap* Bitmap, TColor OutlineColor, TColor BackColor, TColor HighlightColor,
                              TColor ShadowColor, bool DrawHighlight);
TBitmap* BuildDisabledImage(TBitmap* Bitmap, TColor OutlineColor);

// ---------------------------------------------------------------------------------------------
// Text in cells

// Text in Rect at offsets DX, DY with alignment, word wrap and reading order.
void DrawTextInRect(TCanvas* Canvas, const TRect& Rect, int DX, int DY, const std::string& Text, TAlignment Alignment,
                    bool WordWrap, bool RightToLeft);
// Cell text of a grid, drawn on the grid's canvas (Col and Row only identify the cell).
void PaintCellTextWrapBidi(TCanvas* Grid, int Col, int Row, const std::string& Text, const TRect& Rect,
                           TAlignment Alignment, TVertAlignment VertAlign, bool WordWrap, bool RightToLeft);
void PaintCellTextBidi(TCanvas* Grid, int Col, int Row, const std::string& Text, const TRect& Rect,
                       TAlignment Alignment, TVertAlignment VertAlign, bool RightToLeft);
void PaintCellTextWrap(TCanvas* Grid, int Col, int Row, const std::string& Text, const TRect& Rect,
                       TAlignment Alignment, TVertAlignment VertAlign, bool WordWrap);
void PaintCellText(TCanvas* Grid, int Col, int Row, const std::string& Text, const TRect& Rect, TAlignment Alignment,
                   TVertAlignment VertAlign);
// Text cut (with "...") until it fits MaxWidth on Canvas; "..." at the shortest.
std::string ShortenToWidth(const std::string& Text, TCanvas* Canvas, int MaxWidth);

// ---------------------------------------------------------------------------------------------
// Strings (positions are 1-based)

std::string ReplaceAll(std::string_view Text, std::string_view Search, std::string_view Replacement);
std::string RemoveChar(std::string_view Text, char C);
std::string TrimLeadingSpaces(std::string_view Text);
std::string TrimTrailingSpaces(std::string_view Text);
std::string TrimSpaces(std::string_view Text);
std::string RepeatChar(char C, int N);
int CountWords(std::string_view Text, const TCharSet& Delims);
int WordStart(int N, std::string_view Text, const TCharSet& Delims);
std::string WordAt(int N, std::string_view Text, const TCharSet& Delims);
// From Pos up to the next delimiter or the end; Pos moves past that delimiter (or to end + 1).
std::string NextField(std::string_view Text, int& Pos, const TCharSet& Delims);

// Each character XORed with the key's (cycled) and written as two lower-case hex digits.
std::string KeyedHexEncode(std::string_view Key, std::string_view Text);
// The reverse; a pair that is not hexadecimal reads as 32, a trailing odd digit is ignored.
std::string KeyedHexDecode(std::string_view Key, std::string_view Hex);

// ---------------------------------------------------------------------------------------------
// Command lines: blanks separate arguments, double quotes group them. Pos is a 0-based index
// into Text and moves past the argument. Arguments are kept whole whatever their length.
std::string NextCommandArg(std::string_view Text, size_t& Pos);
int CountCommandArgs(std::string_view Text);
std::string CommandArgAt(std::string_view Text, int Index);
void SplitCommandLine(std::string_view Text, std::string& Program, std::string& Params);
std::unique_ptr<char[]> DupCString(std::string_view Text);
