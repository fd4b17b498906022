#include "inspector/vm_utils.h"

#include <algorithm>

#include "platform/bitmap.h"
#include "platform/forms.h"
#include "platform/guards.h"
#include "platform/inifiles.h"

namespace {

// Saves the canvas state that DrawCellText changes and puts it back.
struct TCanvasKeep {
  TCanvas* C;
  TFont Font;
  TColor BrushColor;
  TBrushStyle BrushStyle;
  explicit TCanvasKeep(TCanvas* ACanvas) : C(ACanvas) {
    Font.Assign(C->Font());
    BrushColor = C->Brush()->Color();
    BrushStyle = C->Brush()->Style();
  }
  ~TCanvasKeep() {
    C->Font()->Assign(&Font);
    C->Brush()->SetColor(BrushColor);
    C->Brush()->SetStyle(BrushStyle);
  }
};

void Line(TCanvas* DC, int X1, int Y1, int X2, int Y2, TColor Color) {
  DC->Pen()->SetColor(Color);
  DC->Pen()->SetWidth(1);
  DC->Pen()->SetStyle(psSolid);
  DC->MoveTo(X1, Y1);
  DC->LineTo(X2, Y2);
}

TRect WorkAreaOverride;

}  // namespace

void FillRectColor(TCanvas* DC, const TRect& R, TColor Color) {
  if (IsRectEmpty(R)) return;
  DC->Brush()->SetStyle(bsSolid);
  DC->Brush()->SetColor(Color);
  DC->FillRect(R);
}

int DrawCellText(TCanvas* DC, const std::string& Text, int Count, const TRect& CellRect, const TRect& TextRect,
                 uint16_t Flags, TColor Brush, TFont* Font, TColor BkColor, TColor TextColor, int* HeightOut) {
  TCanvasKeep keep(DC);
  if (Font) DC->Font()->Assign(Font);
  DC->Font()->SetColor(TextColor);
  std::string text = Count < 0 || Count >= static_cast<int>(Text.size()) ? Text : Text.substr(0, Count);
  if (Count < 0) Count = static_cast<int>(Text.size());
  const bool measure = (Flags & CTF_MEASURE) != 0;
  TSize extent = text.empty() ? TSize(0, 0) : DC->TextExtent(text);
  const int lineHeight = text.empty() ? 0 : DC->TextHeight("Wg");
  if (measure && HeightOut) {
    *HeightOut = lineHeight;
    if (lineHeight == 0) return 0;
  }
  const bool hasBreak = text.find_first_of("\r\n") != std::string::npos;
  const bool ellipsis = (Flags & (CTF_END_ELLIPSIS | CTF_PATH_ELLIPSIS)) != 0;
  const bool formatted =
      (Flags & (CTF_PREFIX | CTF_WORDWRAP)) || (ellipsis && (extent.cx > TextRect.Width() || hasBreak));
  int result = 0;
  TRect focus = TextRect;
  if (formatted) {
    uint32_t f = (Flags & CTF_RIGHT) ? DT_RIGHT : (Flags & CTF_CENTER) ? DT_CENTER : DT_LEFT;
    f |= DT_EXPANDTABS;
    if (!(Flags & CTF_PREFIX)) f |= DT_NOPREFIX;
    if (Flags & CTF_END_ELLIPSIS) f |= DT_END_ELLIPSIS;
    if (Flags & CTF_PATH_ELLIPSIS) f |= DT_PATH_ELLIPSIS;
    if (Flags & CTF_WORDWRAP)
      f |= DT_WORDBREAK;
    else if (Flags & CTF_VCENTER)
      f |= DT_SINGLELINE | DT_VCENTER;
    else if (Flags & CTF_BOTTOM)
      f |= DT_SINGLELINE | DT_BOTTOM;
    else
      f |= DT_SINGLELINE;
    if (measure) {
      TRect r = TextRect;
      int h = DC->DrawText(text, r, f | DT_CALCRECT);
      return CellRect.Height() + h - TextRect.Height();
    }
    if (!(Flags & CTF_NO_FILL)) FillRectColor(DC, CellRect, Brush);
    DC->Brush()->SetStyle(bsClear);
    TRect r = TextRect;
    DC->DrawText(text, r, f);
    if ((Flags & CTF_FOCUSRECT) && (Flags & CTF_FOCUS_TEXT)) {
      TRect m = TextRect;
      int h = DC->DrawText(text, m, f | DT_CALCRECT);
      focus = m;
      if (!(Flags & CTF_WORDWRAP)) focus.Top = focus.Bottom - std::min(h, lineHeight);
    }
  } else {
    TRect clip = CellRect;
    TRect r = TextRect;
    if (extent.cx > TextRect.Width()) {
      clip.Right = TextRect.Right;
      if (!(Flags & CTF_NO_FILL) && !measure)
        FillRectColor(DC, Rect(TextRect.Right, CellRect.Top, CellRect.Right, CellRect.Bottom), Brush);
    } else {
      if (Flags & CTF_CENTER)
        r.Left = (r.Left + r.Right - extent.cx) / 2;
      else if (Flags & CTF_RIGHT)
        r.Left = r.Right - extent.cx;
      r.Right = r.Left + extent.cx;
    }
    if (Flags & CTF_VCENTER) {
      r.Top = (r.Top + r.Bottom - extent.cy) / 2;
      r.Bottom = r.Top + extent.cy;
    } else if (Flags & CTF_BOTTOM) {
      r.Top = r.Bottom - extent.cy;
    }
    if (measure) return CellRect.Height() + lineHeight - TextRect.Height();
    if (Flags & CTF_NO_FILL) {
      DC->Brush()->SetStyle(bsClear);
    } else {
      DC->Brush()->SetStyle(bsSolid);
      DC->Brush()->SetColor(BkColor);
    }
    DC->TextRect(clip, r.Left, r.Top, text);
    focus = r;
    if (!(Flags & CTF_FOCUS_TEXT)) focus = TextRect;
  }
  if ((Flags & CTF_FOCUSRECT) && !measure && (Count > 0 || !(Flags & CTF_FOCUS_TEXT))) {
    InflateRect(focus, 1, 1);
    DC->Brush()->SetStyle(bsSolid);
    DC->Brush()->SetColor(clBlack);
    DC->Font()->SetColor(clWhite);
    DC->DrawFocusRect(focus);
  }
  return result;
}

void DrawEdge(TCanvas* DC, TRect& R, uint32_t Edge, uint32_t Flags) {
  TRect r = R;
  auto ring = [&](TColor TopLeft, TColor BottomRight) {
    if (IsRectEmpty(r)) return;
    if (Flags & BF_LEFT) Line(DC, r.Left, r.Bottom - 1, r.Left, r.Top - 1, TopLeft);
    if (Flags & BF_TOP) Line(DC, r.Left, r.Top, r.Right, r.Top, TopLeft);
    if (Flags & BF_RIGHT) Line(DC, r.Right - 1, r.Top, r.Right - 1, r.Bottom, BottomRight);
    if (Flags & BF_BOTTOM) Line(DC, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1, BottomRight);
    if (Flags & BF_LEFT) ++r.Left;
    if (Flags & BF_TOP) ++r.Top;
    if (Flags & BF_RIGHT) --r.Right;
    if (Flags & BF_BOTTOM) --r.Bottom;
  };
  const bool mono = Flags & BF_MONO, flat = Flags & BF_FLAT;
  if (Edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER)) {
    if (mono)
      ring(clWindowFrame, clWindowFrame);
    else if (flat)
      ring(clBtnShadow, clBtnShadow);
    else if (Edge & BDR_RAISEDOUTER)
      ring(cl3DLight, cl3DDkShadow);
    else
      ring(clBtnShadow, clBtnHighlight);
  }
  if (Edge & (BDR_RAISEDINNER | BDR_SUNKENINNER)) {
    if (mono || flat)
      ring(clBtnFace, clBtnFace);
    else if (Edge & BDR_RAISEDINNER)
      ring(clBtnHighlight, clBtnShadow);
    else
      ring(cl3DDkShadow, cl3DLight);
  }
  if (Flags & BF_MIDDLE) FillRectColor(DC, r, clBtnFace);
  if (Flags & BF_ADJUST) R = r;
}

void FillShadowStrips(TCanvas* DC, const TRect& R, int ShadowSize, TColor Brush) {
  FillRectColor(DC, Rect(R.Left, R.Bottom - ShadowSize, R.Right, R.Bottom), Brush);
  FillRectColor(DC, Rect(R.Right - ShadowSize, R.Top, R.Right, R.Bottom), Brush);
}

void DrawHalftoneOverlay(TCanvas* DC, const TRect& R, TColor Color) {
  for (int y = R.Top; y < R.Bottom; ++y)
    for (int x = R.Left; x < R.Right; ++x)
      if ((x & 1) == (y & 1)) DC->SetPixels(x, y, Color);
}

void DrawTransparentBitmapInRect(TCanvas* DC, TColor Brush, const TRect& AreaRect, const TRect& BitmapRect,
                                 TBitmap* Bitmap) {
  FillRectColor(DC, AreaRect, Brush);
  if (!Bitmap || Bitmap->Empty()) return;
  Bitmap->SetTransparent(true);
  DC->Draw(BitmapRect.Left, BitmapRect.Top, Bitmap);
}

void DrawTransparentBitmap(TCanvas* DC, TColor Brush, const TRect& R, TBitmap* Bitmap) {
  if (!Bitmap) return;
  DrawTransparentBitmapInRect(DC, Brush, Bounds(R.Left, R.Top, Bitmap->Width(), Bitmap->Height()),
                              Bounds(R.Left, R.Top, Bitmap->Width(), Bitmap->Height()), Bitmap);
}

void EnsureBitmapSize(TBitmap* Bitmap, int Width, int Height) {
  if (!Bitmap) return;
  int w = std::max(Bitmap->Width(), Width), h = std::max(Bitmap->Height(), Height);
  if (w != Bitmap->Width() || h != Bitmap->Height()) Bitmap->SetSize(w, h);
}

void SetWorkAreaOverride(const TRect& R) { WorkAreaOverride = R; }

void GetWorkAreaAt(const TPoint& P, TRect& R) {
  if (!IsRectEmpty(WorkAreaOverride)) {
    R = WorkAreaOverride;
    return;
  }
  R = Rect(0, 0, Screen ? Screen->Width() : 1024, Screen ? Screen->Height() : 768);
}

void FitPopupToWorkArea(TPoint& P, int Width, int Height, int AnchorHeight) {
  TRect wa;
  GetWorkAreaAt(P, wa);
  if (P.X < wa.Left) P.X = wa.Left;
  if (P.X + Width > wa.Right) P.X = wa.Right - Width;
  if (wa.Bottom < P.Y + Height && wa.Bottom - AnchorHeight - P.Y < P.Y - wa.Top) P.Y = P.Y - AnchorHeight - Height;
}

// ---------------------------------------------------------------------------------------------

namespace {
TCustomIniFile* AsIni(TObject* O) { return dynamic_cast<TCustomIniFile*>(O); }
TRegIniFile* AsRegIni(TObject* O) { return dynamic_cast<TRegIniFile*>(O); }
}  // namespace

std::string TvmRegIniWrapper::ReadString(const std::string& Section, const std::string& Name,
                                         const std::string& Default) {
  if (auto* i = AsIni(IniObject)) return i->ReadString(Section, Name, Default);
  if (auto* r = AsRegIni(IniObject)) return r->ReadString(Section, Name, Default);
  return Default;
}

void TvmRegIniWrapper::WriteString(const std::string& Section, const std::string& Name, const std::string& Value) {
  if (auto* i = AsIni(IniObject))
    i->WriteString(Section, Name, Value);
  else if (auto* r = AsRegIni(IniObject))
    r->WriteString(Section, Name, Value);
}

int32_t TvmRegIniWrapper::ReadInteger(const std::string& Section, const std::string& Name, int32_t Default) {
  if (auto* i = AsIni(IniObject)) return i->ReadInteger(Section, Name, Default);
  if (auto* r = AsRegIni(IniObject)) return r->ReadInteger(Section, Name, Default);
  return Default;
}

void TvmRegIniWrapper::WriteInteger(const std::string& Section, const std::string& Name, int32_t Value) {
  if (auto* i = AsIni(IniObject))
    i->WriteInteger(Section, Name, Value);
  else if (auto* r = AsRegIni(IniObject))
    r->WriteInteger(Section, Name, Value);
}

bool TvmRegIniWrapper::ReadBool(const std::string& Section, const std::string& Name, bool Default) {
  if (auto* i = AsIni(IniObject)) return i->ReadBool(Section, Name, Default);
  if (auto* r = AsRegIni(IniObject)) return r->ReadBool(Section, Name, Default);
  return Default;
}

void TvmRegIniWrapper::WriteBool(const std::string& Section, const std::string& Name, bool Value) {
  if (auto* i = AsIni(IniObject))
    i->WriteBool(Section, Name, Value);
  else if (auto* r = AsRegIni(IniObject))
    r->WriteBool(Section, Name, Value);
}

void TvmRegIniWrapper::ReadSection(const std::string& Section, TStrings& Strings) {
  if (auto* i = AsIni(IniObject))
    i->ReadSection(Section, Strings);
  else if (auto* r = AsRegIni(IniObject))
    r->ReadSection(Section, Strings);
}

void TvmRegIniWrapper::ReadSections(TStrings& Strings) {
  if (auto* i = AsIni(IniObject))
    i->ReadSections(Strings);
  else if (auto* r = AsRegIni(IniObject))
    r->ReadSections(Strings);
}

void TvmRegIniWrapper::EraseSection(const std::string& Section) {
  if (auto* i = AsIni(IniObject))
    i->EraseSection(Section);
  else if (auto* r = AsRegIni(IniObject))
    r->EraseSection(Section);
}

void TvmRegIniWrapper::EraseSectionsWithPrefix(const std::string& Prefix) {
  auto* i = AsIni(IniObject);
  if (!i) return;
  TStringList sections;
  i->ReadSections(sections);
  for (int k = 0; k < sections.Count(); ++k) {
    std::string s = sections[k];
    if (s.compare(0, Prefix.size(), Prefix) == 0 && s.size() >= Prefix.size()) i->EraseSection(s);
  }
}

int TvmRegIniWrapper::ReadBinaryData(const std::string& Key, const std::string& Name, void* Buffer, int BufSize) {
  auto* reg = dynamic_cast<TRegistry*>(IniObject);
  if (!reg) return 0;
  const std::string previous = reg->CurrentPath();
  int result = 0;
  if (!reg->OpenKey(Key, false)) return 0;
  {
    TScopeExit restore([&] {
      reg->CloseKey();
      if (!previous.empty()) reg->OpenKey("\\" + previous, false);
    });
    if (reg->ValueExists(Name)) {
      int size = reg->GetDataSize(Name);
      result = BufSize <= 0 ? size : reg->ReadBinaryData(Name, Buffer, std::min(BufSize, size));
    }
  }
  return result;
}

void TvmRegIniWrapper::WriteBinaryData(const std::string& Key, const std::string& Name, const void* Buffer,
                                       int BufSize) {
  auto* reg = dynamic_cast<TRegistry*>(IniObject);
  if (!reg) return;
  const std::string previous = reg->CurrentPath();
  if (!reg->OpenKey(Key, true)) return;
  TScopeExit restore([&] {
    reg->CloseKey();
    if (!previous.empty()) reg->OpenKey("\\" + previous, false);
  });
  reg->WriteBinaryData(Name, Buffer, BufSize);
}
