// The face of a speed button: per-state glyph images kept in shared image lists, and the layout
// of glyph, caption and drop-down marker.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics.h"
#include "platform/imglist.h"
#include "platform/object.h"
#include "platform/types.h"

class TBitmap;
class TCanvas;

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Draw states of a speed button.
enum TVxButtonState : uint8_t { rbsUp = 0, rbsDisabled = 1, rbsDown = 2, rbsExclusive = 3, rbsInactive = 4 };

using TVxNumGlyphs = int;  // 1..5

// An image list of one fixed cell size whose slots are claimed and released one by one.
class TGlyphList : public TImageList {
public:
  TGlyphList(int32_t AWidth, int32_t AHeight);
  int ClaimSlot();
  int AddGlyphMasked(TBitmap* Image, TColor MaskColor);
  void ReleaseSlot(int Index);
  int UsedCount() const { return FCount; }

private:
  std::vector<bool> FUsed;
  int FCount = 0;
};

// The process-wide set of glyph lists, one per cell size.
class TGlyphCache : public TObject {
public:
  TGlyphCache() = default;
  ~TGlyphCache() override;
  TGlyphList* ListForSize(int32_t AWidth, int32_t AHeight);
  void GiveBack(TGlyphList* List);
  bool IsEmpty() const { return FLists.empty(); }
  int ListCount() const { return static_cast<int>(FLists.size()); }

private:
  std::vector<TGlyphList*> FLists;
};

// The process's cache, or nullptr when there is none.
TGlyphCache* GlyphCache();

class TVxButtonGlyph : public TObject {
public:
  TVxButtonGlyph();
  ~TVxButtonGlyph() override;

  TBitmap* Glyph() const { return FOriginal.get(); }
  void SetGlyph(TBitmap* Value);
  TVxNumGlyphs NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(TVxNumGlyphs Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value) { FWordWrap = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { FAlignment = Value; }
  TColor TransparentColor() const { return FTransparentColor; }
  TGlyphList* GlyphList() const { return FGlyphList; }

  void ReleaseGlyphs();
  // Image index of the state in the glyph list, built on first use; -1 without a glyph.
  int GlyphIndexForState(TVxButtonState State);
  // Draws the state's image at X, Y; the image size, or (0, 0) without a glyph.
  TPoint DrawButtonGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TVxButtonState State);
  // Lays out and draws glyph, caption and marker inside Client; returns the caption rectangle.
  TRect Render(TCanvas* Canvas, const TRect& Client, const std::string& Caption, TButtonLayout Layout, int32_t Margin,
               int32_t Spacing, bool PopupMark, TVxButtonState State, uint32_t TextFlags);
  // The layout alone: glyph position and caption rectangle.
  void ComputeLayout(TCanvas* Canvas, const TRect& Client, std::string& Caption, TButtonLayout Layout, int32_t Margin,
                     int32_t Spacing, bool PopupMark, TPoint& GlyphPos, TRect& TextBounds, uint32_t TextFlags);
  std::string FitCaption(TCanvas* Canvas, const std::string& Caption, int32_t MaxWidth);

  TNotifyEvent OnChange;

private:
  void SourceChanged();
  std::unique_ptr<TBitmap> FOriginal;
  TGlyphList* FGlyphList = nullptr;
  int FIndexs[5] = {-1, -1, -1, -1, -1};
  TColor FTransparentColor = RGB(255, 0, 255);
  TVxNumGlyphs FNumGlyphs = 1;
  bool FWordWrap = false;
  TAlignment FAlignment = taCenter;
};

// The inactive-image colour of C: TransparentColor and the button face are kept, others go gray.
TColor GrayGlyphColor(TColor C, TColor TransparentColor);
// The drop-down marker: a 7-pixel-wide downward triangle whose top row is Y - 1.
void DrawPopupMark(TCanvas* Canvas, int32_t X, int32_t Y, bool Disabled);
