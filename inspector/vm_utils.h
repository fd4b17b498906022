// Drawing utilities of the cell painters (the one routine that draws and measures cell text,
// edges, shadows, transparent bitmaps, popup placement) and the one reader and writer of layouts
// in the registry or an INI file.
#pragma once

#include <cstdint>
#include <string>

#include "platform/canvas.h"
#include "platform/graphics.h"
#include "platform/strings.h"

class TBitmap;
class TObject;

// DrawCellText flags.
constexpr uint16_t CTF_CENTER = 0x0001, CTF_RIGHT = 0x0002, CTF_VCENTER = 0x0004, CTF_BOTTOM = 0x0008,
                   CTF_WORDWRAP = 0x0010, CTF_END_ELLIPSIS = 0x0100, CTF_PATH_ELLIPSIS = 0x0200, CTF_FOCUSRECT = 0x0400,
                   CTF_FOCUS_TEXT = 0x0800, CTF_NO_FILL = 0x1000, CTF_PREFIX = 0x2000, CTF_MEASURE = 0x4000,
                   CTF_OPAQUE = 0x8000;

// Draws (or, with CTF_MEASURE, measures) Count characters of Text (-1: all) in TextRect of the
// cell CellRect. Measuring returns the cell height the text needs and stores the one-line height
// in HeightOut; drawing returns 0.
int DrawCellText(TCanvas* DC, const std::string& Text, int Count, const TRect& CellRect, const TRect& TextRect,
                 uint16_t Flags, TColor Brush, TFont* Font, TColor BkColor, TColor TextColor, int* HeightOut);

// Edge drawing in the classic look.
constexpr uint32_t BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8;
constexpr uint32_t EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER, EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr uint32_t BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_RECT = 0xF, BF_MIDDLE = 0x800,
                   BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000;
// Draws the edges of R named by Flags; with BF_ADJUST R shrinks by what was drawn.
void DrawEdge(TCanvas* DC, TRect& R, uint32_t Edge, uint32_t Flags);

void FillRectColor(TCanvas* DC, const TRect& R, TColor Color);
// Fills a ShadowSize strip along the bottom and along the right side of R.
void FillShadowStrips(TCanvas* DC, const TRect& R, int ShadowSize, TColor Brush);
// Every second pixel of R (a checkerboard) becomes Color.
void DrawHalftoneOverlay(TCanvas* DC, const TRect& R, TColor Color);
// The bitmap with its transparent colour replaced by Brush, at R's top-left.
void DrawTransparentBitmap(TCanvas* DC, TColor Brush, const TRect& R, TBitmap* Bitmap);
// AreaRect filled with Brush and the bitmap drawn transparently at BitmapRect's top-left.
void DrawTransparentBitmapInRect(TCanvas* DC, TColor Brush, const TRect& AreaRect, const TRect& BitmapRect,
                                 TBitmap* Bitmap);
// Each dimension only grows.
void EnsureBitmapSize(TBitmap* Bitmap, int Width, int Height);

// The work area of the screen at P.
void GetWorkAreaAt(const TPoint& P, TRect& R);
// Keeps a popup of Width x Height at P inside the work area; it goes above its anchor (of
// AnchorHeight, whose bottom is P.Y) when it does not fit below and there is more room above.
void FitPopupToWorkArea(TPoint& P, int Width, int Height, int AnchorHeight);
// Replaces the work area (tests fix it); an empty rectangle takes the screen's again.
void SetWorkAreaOverride(const TRect& R);

// Reads and writes layouts through one of the toolkit's stores: an INI file (TIniFile,
// TMemIniFile) or the registry (TRegIniFile; binary data needs a TRegistry).
class TvmRegIniWrapper {
public:
  TObject* IniObject = nullptr;

  std::string ReadString(const std::string& Section, const std::string& Name, const std::string& Default);
  void WriteString(const std::string& Section, const std::string& Name, const std::string& Value);
  int32_t ReadInteger(const std::string& Section, const std::string& Name, int32_t Default);
  void WriteInteger(const std::string& Section, const std::string& Name, int32_t Value);
  bool ReadBool(const std::string& Section, const std::string& Name, bool Default);
  void WriteBool(const std::string& Section, const std::string& Name, bool Value);
  void ReadSection(const std::string& Section, TStrings& Strings);
  void ReadSections(TStrings& Strings);
  void EraseSection(const std::string& Section);
  void EraseSectionsWithPrefix(const std::string& Prefix);
  int ReadBinaryData(const std::string& Key, const std::string& Name, void* Buffer, int BufSize);
  void WriteBinaryData(const std::string& Key, const std::string& Name, const void* Buffer, int BufSize);
};
