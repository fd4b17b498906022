#include "controls/vx_glyph.h"

#include <algorithm>

#include "controls/vx_utils.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace {

TGlyphCache* GCache = nullptr;

constexpr size_t MaxCaption = 255;

std::string Cut255(const std::string& S) { return S.size() > MaxCaption ? S.substr(0, MaxCaption) : S; }

}  // namespace

TGlyphCache* GlyphCache() { return GCache; }

// ---------------------------------------------------------------------------------------------
// TGlyphList

TGlyphList::TGlyphList(int32_t AWidth, int32_t AHeight) : TImageList(nullptr) {
  SetWidth(AWidth);
  SetHeight(AHeight);
}

int TGlyphList::ClaimSlot() {
  auto it = std::find(FUsed.begin(), FUsed.end(), false);
  int slot;
  if (it != FUsed.end()) {
    slot = static_cast<int>(it - FUsed.begin());
  } else {
    TBitmap blank(Width(), Height());
    slot = Add(&blank, nullptr);
    if (slot < 0) slot = Count() - 1;
    if (static_cast<int>(FUsed.size()) <= slot) FUsed.resize(slot + 1, false);
  }
  FUsed[slot] = true;
  return slot;
}

int TGlyphList::AddGlyphMasked(TBitmap* Image, TColor MaskColor) {
  const int slot = ClaimSlot();
  // Replace takes a mask bitmap: white where the image is transparent.
  TBitmap mask(Width(), Height());
  const TColor key = ColorToRGB(MaskColor) & 0xFFFFFF;
  for (int y = 0; y < Height(); ++y)
    for (int x = 0; x < Width(); ++x) {
      const TColor c = Image->Canvas()->Pixels(x, y);
      mask.Canvas()->SetPixels(x, y, (c & 0xFFFFFF) == key ? clWhite : clBlack);
    }
  Replace(slot, Image, &mask);
  ++FCount;
  return slot;
}

void TGlyphList::ReleaseSlot(int Index) {
  if (Index >= 0 && Index < static_cast<int>(FUsed.size()) && FUsed[Index]) {
    --FCount;
    FUsed[Index] = false;
  }
}

// ---------------------------------------------------------------------------------------------
// TGlyphCache

TGlyphCache::~TGlyphCache() {
  for (TGlyphList* l : FLists) delete l;
  if (GCache == this) GCache = nullptr;
}

TGlyphList* TGlyphCache::ListForSize(int32_t AWidth, int32_t AHeight) {
  for (auto it = FLists.rbegin(); it != FLists.rend(); ++it)
    if ((*it)->Width() == AWidth && (*it)->Height() == AHeight) return *it;
  auto* list = new TGlyphList(AWidth, AHeight);
  FLists.push_back(list);
  return list;
}

void TGlyphCache::GiveBack(TGlyphList* List) {
  if (!List || List->UsedCount() != 0) return;
  auto it = std::find(FLists.begin(), FLists.end(), List);
  if (it == FLists.end()) return;
  FLists.erase(it);
  delete List;
}

// ---------------------------------------------------------------------------------------------
// Colours and marker

TColor GrayGlyphColor(TColor C, TColor TransparentColor) {
  if (C == TransparentColor) return C;
  const TColor rgb = ColorToRGB(C) & 0xFFFFFF;
  if (rgb == (ColorToRGB(clBtnFace) & 0xFFFFFF)) return C;
  const uint8_t g = static_cast<uint8_t>((GetRValue(rgb) * 77 + GetGValue(rgb) * 150 + GetBValue(rgb) * 29) >> 8);
  return RGB(g, g, g);
}

namespace {
void MarkAt(TCanvas* Canvas, int32_t X, int32_t Y, TColor Color) {
  for (int row = 0; row < 4; ++row)
    for (int x = X + row; x <= X + 6 - row; ++x) Canvas->SetPixels(x, Y - 1 + row, Color);
}
}  // namespace

void DrawPopupMark(TCanvas* Canvas, int32_t X, int32_t Y, bool Disabled) {
  if (Disabled) {
    MarkAt(Canvas, X + 1, Y + 1, clBtnHighlight);
    MarkAt(Canvas, X, Y, clBtnShadow);
  } else {
    MarkAt(Canvas, X, Y, clBtnText);
  }
}

// ---------------------------------------------------------------------------------------------
// TVxButtonGlyph

TVxButtonGlyph::TVxButtonGlyph() : FOriginal(std::make_unique<TBitmap>()) {
  if (!GCache) GCache = new TGlyphCache;
  FOriginal->OnChange = [this](TObject*) { SourceChanged(); };
}

TVxButtonGlyph::~TVxButtonGlyph() {
  FOriginal->OnChange = nullptr;
  FOriginal.reset();
  ReleaseGlyphs();
  if (GCache && GCache->IsEmpty()) {
    delete GCache;
    GCache = nullptr;
  }
}

void TVxButtonGlyph::ReleaseGlyphs() {
  if (FGlyphList) {
    for (int& i : FIndexs) {
      if (i >= 0) FGlyphList->ReleaseSlot(i);
      i = -1;
    }
    if (GCache) GCache->GiveBack(FGlyphList);
    FGlyphList = nullptr;
  } else {
    for (int& i : FIndexs) i = -1;
  }
}

void TVxButtonGlyph::SetGlyph(TBitmap* Value) {
  ReleaseGlyphs();
  if (Value)
    FOriginal->Assign(Value);
  else
    FOriginal->SetSize(0, 0);
  // Assign may not report a change when the pixels are alike: always re-read the source.
  SourceChanged();
}

void TVxButtonGlyph::SetNumGlyphs(TVxNumGlyphs Value) {
  if (Value <= 0) return;
  if (Value > 5) Value = 5;
  if (Value != FNumGlyphs) {
    ReleaseGlyphs();
    FNumGlyphs = Value;
    if (OnChange) OnChange(this);
  }
}

void TVxButtonGlyph::SourceChanged() {
  ReleaseGlyphs();
  if (FOriginal && FOriginal->Height() > 0) {
    FTransparentColor = FOriginal->TransparentColor() & ~0x02000000;
    const int32_t w = FOriginal->Width(), h = FOriginal->Height();
    if (w % h == 0) {
      const int n = w / h;
      FNumGlyphs = (n > 0 && n < 6) ? n : 1;
    }
  }
  if (OnChange) OnChange(this);
}

int TVxButtonGlyph::GlyphIndexForState(TVxButtonState State) {
  if (State == rbsDown && FNumGlyphs < 3) State = rbsUp;
  if (FIndexs[State] != -1) return FIndexs[State];
  if (!FOriginal || FOriginal->Width() == 0 || FOriginal->Height() == 0 || FOriginal->Empty()) return -1;
  const int32_t w = FOriginal->Width() / FNumGlyphs, h = FOriginal->Height();
  if (w <= 0) return -1;
  if (!FGlyphList) {
    if (!GCache) GCache = new TGlyphCache;
    FGlyphList = GCache->ListForSize(w, h);
  }
  TBitmap tmp(w, h);
  auto copyCell = [&](int c) {
    tmp.Canvas()->CopyRect(Rect(0, 0, w, h), FOriginal->Canvas(), Rect(c * w, 0, (c + 1) * w, h));
  };
  int index = -1;
  switch (State) {
    case rbsUp:
    case rbsDown:
    case rbsExclusive:
      copyCell(State < FNumGlyphs ? State : 0);
      index = FGlyphList->AddGlyphMasked(&tmp, FTransparentColor);
      break;
    case rbsDisabled:
      if (FNumGlyphs > 1) {
        copyCell(1);
        index = FGlyphList->AddGlyphMasked(&tmp, FTransparentColor);
      } else {
        std::unique_ptr<TBitmap> dis(BuildDisabledImage(FOriginal.get(), clBlack));
        tmp.Canvas()->CopyRect(Rect(0, 0, w, h), dis->Canvas(), Rect(0, 0, w, h));
        index = FGlyphList->AddGlyphMasked(&tmp, ColorToRGB(clBtnFace));
      }
      break;
    case rbsInactive:
      if (FNumGlyphs == 5) {
        copyCell(4);
      } else {
        copyCell(0);
        TCanvas* c = tmp.Canvas();
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) c->SetPixels(x, y, GrayGlyphColor(c->Pixels(x, y), FTransparentColor));
      }
      index = FGlyphList->AddGlyphMasked(&tmp, FTransparentColor);
      break;
  }
  FIndexs[State] = index;
  FOriginal->Dormant();
  return index;
}

TPoint TVxButtonGlyph::DrawButtonGlyph(TCanvas* Canvas, int32_t X, int32_t Y, TVxButtonState State) {
  const int index = GlyphIndexForState(State);
  if (index < 0 || !FGlyphList) return Point(0, 0);
  FGlyphList->Draw(Canvas, X, Y, index);
  return Point(FGlyphList->Width(), FGlyphList->Height());
}

std::string TVxButtonGlyph::FitCaption(TCanvas* Canvas, const std::string& Caption, int32_t MaxWidth) {
  std::string text = Cut255(Caption);
  if (FWordWrap) return text;
  std::string out;
  size_t at = 0;
  for (;;) {
    size_t end = text.find_first_of("\r\n", at);
    std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    out += ShortenToWidth(line, Canvas, MaxWidth);
    if (end == std::string::npos) break;
    size_t next = end + 1;
    if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
    out += "\r\n";
    at = next;
  }
  while (!out.empty() && (out.back() == ' ' || out.back() == '\r' || out.back() == '\n')) out.pop_back();
  return Cut255(out);
}

void TVxButtonGlyph::ComputeLayout(TCanvas* Canvas, const TRect& Client, std::string& Caption, TButtonLayout Layout,
                                   int32_t Margin, int32_t Spacing, bool PopupMark, TPoint& GlyphPos, TRect& TextBounds,
                                   uint32_t TextFlags) {
  const TPoint C(Client.Width(), Client.Height());
  TPoint G(0, 0);
  if (FOriginal && !FOriginal->Empty() && FNumGlyphs > 0)
    G = TPoint(FOriginal->Width() / FNumGlyphs, FOriginal->Height());
  if (G.X == 0 || G.Y == 0) G = TPoint(0, 0);
  const bool vertical = Layout == blGlyphTop || Layout == blGlyphBottom;
  TPoint T;
  if (vertical) {
    T.X = C.X;
    T.Y = C.Y - G.Y - (Margin != -1 ? Margin : 0) - (Spacing != -1 ? Spacing : 0);
  } else {
    T.X = C.X - G.X - (Margin != -1 ? Margin : 0) - (Spacing != -1 ? Spacing : 0) - (PopupMark ? 9 : 0);
    T.Y = C.Y;
  }
  T.X = std::max(T.X, 0);
  T.Y = std::max(T.Y, 0);

  Caption = FitCaption(Canvas, Caption, T.X);
  if (Caption.empty()) {
    TextBounds = Rect(0, 0, 0, 0);
  } else {
    TextBounds = Rect(0, 0, T.X, 0);
    Canvas->DrawText(Caption, TextBounds,
                     DT_CALCRECT | DT_CENTER | DT_VCENTER | (FWordWrap ? DT_WORDBREAK : 0) | TextFlags);
    TextBounds.Bottom = TextBounds.Top + std::clamp(TextBounds.Height(), 0, T.Y);
    TextBounds.Right = TextBounds.Left + std::clamp(TextBounds.Width(), 0, T.X);
  }
  TPoint S(TextBounds.Width(), TextBounds.Height());

  if (PopupMark) {
    if (G.X == 0 || G.Y == 0 || Layout == blGlyphLeft)
      S.X += 9;
    else if (G.X > 0)
      G.X += 6;
  }

  TPoint TextPos;
  if (vertical) {
    GlyphPos.X = C.X / 2 - G.X / 2;
    TextPos.X = C.X / 2 - S.X / 2;
  } else {
    GlyphPos.Y = C.Y / 2 - G.Y / 2;
    TextPos.Y = C.Y / 2 - S.Y / 2;
  }
  if (S.X == 0 || G.X == 0) Spacing = 0;

  if (Margin == -1) {
    if (Spacing == -1) {
      const TPoint total(G.X + S.X, G.Y + S.Y);
      Spacing = vertical ? (C.Y - total.Y) / 3 : (C.X - total.X) / 3;
      Margin = Spacing;
    } else {
      const TPoint total(G.X + S.X + Spacing, G.Y + S.Y + Spacing);
      Margin = vertical ? C.Y / 2 - total.Y / 2 : C.X / 2 - total.X / 2;
    }
  } else if (Spacing == -1) {
    const TPoint room(C.X - Margin - G.X, C.Y - Margin - G.Y);
    Spacing = vertical ? room.Y / 2 - S.Y / 2 : room.X / 2 - S.X / 2;
  }

  switch (Layout) {
    case blGlyphLeft:
      GlyphPos.X = Margin;
      TextPos.X = Margin + G.X + Spacing;
      break;
    case blGlyphRight:
      GlyphPos.X = C.X - Margin - G.X;
      TextPos.X = GlyphPos.X - Spacing - S.X;
      break;
    case blGlyphTop:
      GlyphPos.Y = Margin;
      TextPos.Y = Margin + G.Y + Spacing;
      break;
    case blGlyphBottom:
      GlyphPos.Y = C.Y - Margin - G.Y;
      TextPos.Y = GlyphPos.Y - Spacing - S.Y;
      break;
  }
  GlyphPos.X += Client.Left;
  GlyphPos.Y += Client.Top;
  TextPos.X += Client.Left;
  TextPos.Y += Client.Top;
  TextBounds = Bounds(TextPos.X, TextPos.Y, TextBounds.Width(), TextBounds.Height());
}

TRect TVxButtonGlyph::Render(TCanvas* Canvas, const TRect& Client, const std::string& Caption, TButtonLayout Layout,
                             int32_t Margin, int32_t Spacing, bool PopupMark, TVxButtonState State,
                             uint32_t TextFlags) {
  std::string text = Caption;
  TPoint glyphPos;
  TRect textBounds;
  ComputeLayout(Canvas, Client, text, Layout, Margin, Spacing, PopupMark, glyphPos, textBounds, TextFlags);
  const TPoint glyphSize = DrawButtonGlyph(Canvas, glyphPos.X, glyphPos.Y, State);

  text = Cut255(text);
  if (!text.empty()) {
    const uint32_t flags = TextFlags | DT_VCENTER | (FWordWrap ? DT_WORDBREAK : 0);
    const TBrushStyle oldStyle = Canvas->Brush()->Style();
    const TColor oldColor = Canvas->Font()->Color();
    Canvas->Brush()->SetStyle(bsClear);
    if (State == rbsDisabled) {
      TRect r = textBounds;
      r.Left += 1;
      r.Right += 1;
      r.Top += 1;
      r.Bottom += 1;
      Canvas->Font()->SetColor(clBtnHighlight);
      Canvas->DrawText(text, r, flags);
      r = textBounds;
      Canvas->Font()->SetColor(clBtnShadow);
      Canvas->DrawText(text, r, flags);
    } else {
      TRect r = textBounds;
      Canvas->DrawText(text, r, flags);
    }
    Canvas->Font()->SetColor(oldColor);
    Canvas->Brush()->SetStyle(oldStyle);
  }

  if (PopupMark) {
    int32_t x, y;
    if (Layout != blGlyphLeft && glyphSize.X > 0) {
      x = glyphPos.X + glyphSize.X + 1;
      y = glyphPos.Y + glyphSize.Y / 2;
    } else {
      x = !text.empty() ? textBounds.Right + 3 : (Client.Left + Client.Right - 7) / 2;
      y = textBounds.Top + textBounds.Height() / 2;
    }
    DrawPopupMark(Canvas, x, y, State == rbsDisabled);
  }
  return textBounds;
}
