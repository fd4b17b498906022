#include "chart/engine/graph_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

#include "chart/engine/chart_pens.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_blend.h"
#include "chart/engine/html_text.h"
#include "platform/bitmap.h"
#include "platform/controls.h"
#include "platform/picture.h"
#include "platform/sysutils.h"

// ---------------------------------------------------------------------------------------------
// Module state

std::string DefaultFontName;
int32_t DefaultFontSize = 8;

namespace {

bool gHadClipRegion = false;

int R32(long double V) {
  if (!std::isfinite(V)) throw ERangeError("Range check error");
  const int64_t r = Round(V);
  if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max())
    throw ERangeError("Range check error");
  return static_cast<int>(r);
}

// Start-up of the canvas module: the default chart font comes from the engine texts.
struct CanvasModule {
  CanvasModule() {
    InitEngineTexts();
    DefaultFontSize = StrToIntDef(MsgDefaultFontSize, 8);
    DefaultFontName = MsgDefaultFontName;
  }
} gCanvasModule;

}  // namespace

TRegion& SavedClipRegion() {
  static TRegion region;
  return region;
}

std::function<void(TGraphCanvas*, int, int, const std::string&)> TGraphCanvas::HtmlTextOutHook = HtmlTextOut;

// ---------------------------------------------------------------------------------------------
// TGraphCanvas

TGraphCanvas::TGraphCanvas() = default;
TGraphCanvas::~TGraphCanvas() = default;

void TGraphCanvas::SetCanvas(TCanvas* Canvas) {
  TargetCanvas = Canvas;
  Pen = Canvas ? Canvas->Pen() : nullptr;
  Brush = Canvas ? Canvas->Brush() : nullptr;
  Font = Canvas ? Canvas->Font() : nullptr;
}

void TGraphCanvas::ResetState() {
  if (TargetCanvas) {
    Pen->SetColor(clBlack);
    Pen->SetWidth(1);
    Pen->SetStyle(psSolid);
    Brush->SetBitmap(nullptr);
    Brush->SetColor(clWhite);
    Brush->SetStyle(bsSolid);
    Font->SetColor(clBlack);
    Font->SetStyle(TFontStyles());
    Font->SetCharset(DEFAULT_CHARSET);
    Font->SetName(DefaultFontName);
    Font->SetSize(DefaultFontSize);
  }
  BlendTransparency = 0;
  CurrentFont = nullptr;
  if (TargetCanvas) {
    SetBackColor(clWhite);
    SetBackMode(cbmTransparent);
    SetTextAlign(TA_LEFT | TA_TOP);
  }
}

void TGraphCanvas::AssignVisiblePenColor(TPen* APen, TColor Color) {
  if (GetMonochrome()) Color = clBlack;
  // The class chain rather than a dynamic cast: this runs for every point of a series.
  auto* chartPen = APen && APen->InheritsFrom(TChartPen::StaticClass()) ? static_cast<TChartPen*>(APen) : nullptr;
  if (chartPen && !chartPen->Visible()) {
    Pen->SetStyle(psClear);
    return;
  }
  if (chartPen && !SupportsFullRotation()) {
    if (chartPen->SmallDots()) {
      Pen->Assign(chartPen);
      Pen->SetWidth(1);
      Pen->SetColor(Color);
      if (chartPen->SmallSpace() <= 0) {
        Pen->SetStyle(psAlternate);
      } else {
        Pen->SetUserStyle({0, uint32_t(chartPen->SmallSpace()) + 1});
        Pen->SetEndCap(pecRound);
        Pen->SetStyle(psUserStyle);
      }
      Pen->SetMode(chartPen->Mode());
    } else if (chartPen->Width() > 1) {
      Pen->Assign(chartPen);
      Pen->SetColor(Color);
      switch (chartPen->EndStyle()) {
        case esRound:
          Pen->SetEndCap(pecRound);
          Pen->SetJoin(pjRound);
          break;
        case esSquare:
          Pen->SetEndCap(pecSquare);
          Pen->SetJoin(pjBevel);
          break;
        case esFlat:
          Pen->SetEndCap(pecFlat);
          Pen->SetJoin(pjMiter);
          break;
      }
      if (TargetCanvas) TargetCanvas->SetROP2(chartPen->Mode());
    } else {
      Pen->Assign(chartPen);
      if (Pen->Color() != Color) Pen->SetColor(Color);
    }
    return;
  }
  Pen->Assign(APen);
  Pen->SetColor(Color);
}

void TGraphCanvas::AssignVisiblePen(TPen* APen) { AssignVisiblePenColor(APen, APen->Color()); }

void TGraphCanvas::AssignBrush(TChartBrush* ABrush, TColor Color) { AssignBrushColor(ABrush, Color, ABrush->Color()); }

TGraphBlend* TGraphCanvas::BeginBlending(const TRect& R, int32_t Transparency) {
  BlendTransparency = Transparency;
  return new TGraphBlend(this, R);
}

void TGraphCanvas::EndBlending(TGraphBlend* Blend) {
  std::unique_ptr<TGraphBlend> owned(Blend);
  if (BlendTransparency < 0 || BlendTransparency > 100) throw ERangeError("Range check error");
  if (owned) owned->DoBlend(BlendTransparency);
}

void TGraphCanvas::AssignFont(TGraphFont* AFont) {
  AFont->SetPixelsPerInch(Font->PixelsPerInch());
  Font->Assign(AFont);
  if (FontZoom != 100) Font->SetSize(R32(Font->Size() * FontZoom * 0.01));
  if (GetMonochrome()) Font->SetColor(clBlack);
  if (TargetCanvas && TargetCanvas->GetTextCharacterExtra() != AFont->InterCharSize())
    TargetCanvas->SetTextCharacterExtra(AFont->InterCharSize());
  CurrentFont = AFont;
}

int TGraphCanvas::TextWidth(const std::string& Text) {
  int w = TargetCanvas ? TargetCanvas->TextWidth(Text) : 0;
  if (CurrentFont && CurrentFont->ShadowOrNull()) w += std::abs(CurrentFont->ShadowOrNull()->HorizSize());
  return w;
}

int TGraphCanvas::TextHeight(const std::string& Text) {
  int h = TargetCanvas ? TargetCanvas->TextHeight(Text) : 0;
  if (CurrentFont && CurrentFont->ShadowOrNull()) h += std::abs(CurrentFont->ShadowOrNull()->VertSize());
  return h;
}

int TGraphCanvas::FontHeight() { return TextHeight("W"); }

TRect TGraphCanvas::TextRect(int X, int Y, const std::string& Text) {
  const int w = TextWidth(Text);
  const int h = TextHeight(Text);
  const int align = GetTextAlign() & ~TA_BOTTOM;
  int left = X;
  if ((align & TA_CENTER) == TA_CENTER)
    left = X - w / 2;
  else if (align & TA_RIGHT)
    left = X - w;
  return TRect(left, Y, left + w, Y + h);
}

void TGraphCanvas::DrawRectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
void TGraphCanvas::DrawEllipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
void TGraphCanvas::DrawRoundRect(const TRect& R, int CornerWidth, int CornerHeight) {
  RoundRect(R.Left, R.Top, R.Right, R.Bottom, CornerWidth, CornerHeight);
}
void TGraphCanvas::DrawLine(const TPoint& P0, const TPoint& P1) { Line(P0.X, P0.Y, P1.X, P1.Y); }

void TGraphCanvas::TextOutFormatted(int X, int Y, const std::string& Text, bool Html) {
  if (Html && HtmlTextOutHook)
    HtmlTextOutHook(this, X, Y, Text);
  else
    TextOut(X, Y, Text);
}

void TGraphCanvas::ApplyDarkerBrushColor(TColor Color, int Amount) {
  const TColor c = DarkerColor(Color, Amount);
  if (Brush->Style() == bsSolid)
    Brush->SetColor(c);
  else
    SetBackColor(c);
}

void TGraphCanvas::DrawBevelFrame(TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
  Pen->SetWidth(1);
  Pen->SetStyle(psSolid);
  --Rect.Right;
  --Rect.Bottom;
  for (int i = 0; i < Width; ++i) {
    Pen->SetColor(TopColor);
    const TPoint top[3] = {TPoint(Rect.Left, Rect.Bottom), TPoint(Rect.Left, Rect.Top), TPoint(Rect.Right, Rect.Top)};
    Polyline(top);
    Pen->SetColor(BottomColor);
    const TPoint bottom[3] = {TPoint(Rect.Right, Rect.Top), TPoint(Rect.Right, Rect.Bottom),
                              TPoint(Rect.Left - 1, Rect.Bottom)};
    Polyline(bottom);
    ++Rect.Left;
    ++Rect.Top;
    --Rect.Right;
    --Rect.Bottom;
  }
  ++Rect.Right;
  ++Rect.Bottom;
}

bool TGraphCanvas::ConvexHull(TPointArray& Points) {
  const int n = static_cast<int>(Points.size());
  if (n == 3) return true;
  if (n < 3) return false;
  int pivot = 0;
  int minY = 10000000, maxX = 10000000;
  for (int i = 0; i < n; ++i) {
    const TPoint& p = Points[i];
    if (p.Y < minY || (p.Y == minY && p.X > maxX)) {
      minY = p.Y;
      maxX = p.X;
      pivot = i;
    }
  }
  const TPoint pv = Points[pivot];
  Points[pivot] = Points.back();
  Points.pop_back();
  std::vector<float> keys(Points.size());
  for (std::size_t k = 0; k < Points.size(); ++k) {
    const double dx = double(pv.X) - Points[k].X;
    const double dy = double(pv.Y) - Points[k].Y;
    keys[k] = dx == 0 && dy == 0 ? 0.0f : static_cast<float>(dx / std::hypot(dx, dy));
  }
  // Quicksort on the middle element: points of equal key keep the order this sort gives them.
  const std::function<void(int, int)> sort = [&](int l, int r) {
    int a = l, b = r;
    const float x = keys[(l + r) / 2];
    do {
      while (keys[a] < x) ++a;
      while (x < keys[b]) --b;
      if (a <= b) {
        std::swap(keys[a], keys[b]);
        std::swap(Points[a], Points[b]);
        ++a;
        --b;
      }
    } while (a <= b);
    if (l < b) sort(l, b);
    if (a < r) sort(a, r);
  };
  if (Points.size() > 1) sort(0, static_cast<int>(Points.size()) - 1);
  int i = 1;
  while (i < static_cast<int>(Points.size())) {
    const TPoint& prev = Points[i - 1];
    const TPoint& p = Points[i];
    const TPoint& next = i + 1 < static_cast<int>(Points.size()) ? Points[i + 1] : pv;
    const int64_t c = int64_t(prev.X - p.X) * (next.Y - p.Y) - int64_t(next.X - p.X) * (prev.Y - p.Y);
    if (c < 0) {
      ++i;
    } else {
      Points.erase(Points.begin() + i);
      if (i > 1) --i;
    }
  }
  Points.push_back(pv);
  return true;
}

void TGraphCanvas::ClipRoundRectangle(const TRect& Rect, int Size) {
  TPoint p[2] = {Rect.TopLeft(), Rect.BottomRight()};
  TargetCanvas->LPtoDP(p, 2);
  const TRegion r = TRegion::CreateRoundRectRgn(p[0].X, p[0].Y, p[1].X, p[1].Y, Size, Size);
  gHadClipRegion = TargetCanvas->GetClipRgn(SavedClipRegion()) == 1;
  TargetCanvas->ExtSelectClipRgn(&r, RGN_AND);
}

void TGraphCanvas::ClipEllipse(const TRect& Rect, bool Inverted) {
  if (Inverted) {
    const TRegion r = TRegion::CreateEllipticRgnIndirect(Rect);
    TargetCanvas->ExtSelectClipRgn(&r, RGN_XOR);
    return;
  }
  TPoint p[2] = {Rect.TopLeft(), Rect.BottomRight()};
  TargetCanvas->LPtoDP(p, 2);
  const TRegion r = TRegion::CreateEllipticRgn(p[0].X, p[0].Y, p[1].X, p[1].Y);
  gHadClipRegion = TargetCanvas->GetClipRgn(SavedClipRegion()) == 1;
  TargetCanvas->ExtSelectClipRgn(&r, RGN_AND);
}

void TGraphCanvas::ClipPolygon(std::span<TPoint> Points, int Count) {
  Count = std::clamp<int>(Count, 0, static_cast<int>(Points.size()));
  TargetCanvas->LPtoDP(Points.data(), Count);
  const TRegion r = TRegion::CreatePolygonRgn(Points.data(), Count, ALTERNATE);
  gHadClipRegion = TargetCanvas->GetClipRgn(SavedClipRegion()) == 1;
  TargetCanvas->ExtSelectClipRgn(&r, RGN_AND);
}

// ---------------------------------------------------------------------------------------------
// TCanvas3D

void TCanvas3D::AssignSettings(TCanvas3D* Source) {
  if (Source) SetMonochrome(Source->GetMonochrome());
}

void TCanvas3D::Arrow(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint, int HeadWidth, int HeadHeight,
                      int Z) {
  Arrow3D(Filled, FromPoint, ToPoint, HeadWidth, HeadHeight, Z, 50);
}

void TCanvas3D::CubeFromRect(const TRect& Rect, int Z0, int Z1, bool DarkSides) {
  Cube(Rect.Left, Rect.Right, Rect.Top, Rect.Bottom, Z0, Z1, DarkSides);
}

void TCanvas3D::LineWithZPoints(const TPoint& P0, const TPoint& P1, int Z) { LineWithZ(P0.X, P0.Y, P1.X, P1.Y, Z); }
void TCanvas3D::MoveTo3DPoint(const TPoint3D& P) { MoveTo3D(P.X, P.Y, P.Z); }
void TCanvas3D::LineTo3DPoint(const TPoint3D& P) { LineTo3D(P.X, P.Y, P.Z); }
void TCanvas3D::PlaneWithZQuad(const TQuadPoints& Q, int Z) { PlaneWithZ(Q[0], Q[1], Q[2], Q[3], Z); }
void TCanvas3D::RectangleWithZCoords(int Left, int Top, int Right, int Bottom, int Z) {
  RectangleWithZ(TRect(Left, Top, Right, Bottom), Z);
}

void TCanvas3D::StretchDrawPlane(const TRect& Rect, TGraphic* Graphic, int Z) {
  if (!Graphic || Graphic->Empty()) return;
  Pen->SetStyle(psClear);
  std::unique_ptr<TBitmap> made;
  TBitmap* bmp = dynamic_cast<TBitmap*>(Graphic);
  if (!bmp) {
    made = std::make_unique<TBitmap>(Graphic->Width(), Graphic->Height(), pf24bit);
    made->Canvas()->Draw(0, 0, Graphic);
    bmp = made.get();
  } else {
    bmp->SetPixelFormat(pf24bit);
  }
  const int bw = bmp->Width(), bh = bmp->Height();
  const double sx = double(Rect.Right - Rect.Left) / bw;
  const double sy = double(Rect.Bottom - Rect.Top) / bh;
  const TBrushStyle oldStyle = Brush->Style();
  Brush->SetStyle(bsSolid);
  for (int r = 0; r < bh; ++r) {
    const auto* row = static_cast<const uint8_t*>(bmp->ScanLine(r));
    const int y0 = Rect.Top + R32(r * sy), y1 = Rect.Top + R32((r + 1) * sy);
    for (int c = 0; c < bw; ++c) {
      const int x0 = Rect.Left + R32(c * sx), x1 = Rect.Left + R32((c + 1) * sx);
      Brush->SetColor(RGB(row[c * 3 + 2], row[c * 3 + 1], row[c * 3]));
      PlaneWithZ(TPoint(x0, y0), TPoint(x1, y0), TPoint(x1, y1), TPoint(x0, y1), Z);
    }
  }
  Brush->SetStyle(oldStyle);
}

// ---------------------------------------------------------------------------------------------
// TGraphCanvas3D: state

TGraphCanvas3D::TGraphCanvas3D() = default;
TGraphCanvas3D::~TGraphCanvas3D() = default;

TColor TGraphCanvas3D::GetBackColor() { return TargetCanvas->GetBkColor(); }
TCanvasBackMode TGraphCanvas3D::GetBackMode() {
  return TargetCanvas->GetBkMode() == OPAQUE ? cbmOpaque : cbmTransparent;
}
TCanvas* TGraphCanvas3D::GetHandle() { return TargetCanvas; }
bool TGraphCanvas3D::GetMonochrome() { return FMonochrome; }
TColor TGraphCanvas3D::GetPixel(int X, int Y) { return TargetCanvas->Pixels(X, Y); }
bool TGraphCanvas3D::SupportsFullRotation() { return false; }
int32_t TGraphCanvas3D::GetTextAlign() { return TargetCanvas->GetTextAlign(); }
bool TGraphCanvas3D::GetBufferedDisplay() { return FBufferedDisplay; }
void TGraphCanvas3D::SetBackColor(TColor Color) { TargetCanvas->SetBkColor(ColorToRGB(Color)); }
void TGraphCanvas3D::SetBackMode(TCanvasBackMode Mode) {
  TargetCanvas->SetBkMode(Mode == cbmOpaque ? OPAQUE : TRANSPARENT);
}

void TGraphCanvas3D::SetMonochrome(bool Value) {
  if (FMonochrome == Value) return;
  FMonochrome = Value;
  FBufferValid = false;
  if (View3DOptions && View3DOptions->Parent()) View3DOptions->Parent()->Invalidate();
}

void TGraphCanvas3D::SetPixel(int X, int Y, TColor Color) {
  const TColor c = ColorToRGB(Color);
  if (c < 0) throw ERangeError("Range check error");
  TargetCanvas->SetPixels(X, Y, c);
}

void TGraphCanvas3D::SetTextAlign(int32_t Align) {
  if (Align < 0) throw ERangeError("Range check error");
  TargetCanvas->SetTextAlign(Align);
}

void TGraphCanvas3D::SetBufferedDisplay(bool Value) {
  if (FBufferedDisplay == Value) return;
  FBufferedDisplay = Value;
  if (!Value) {
    DeleteBitmap();
    FBufferValid = false;
  } else if (FBitmap) {
    SetCanvas(FBitmap->Canvas());
  }
}

void TGraphCanvas3D::Invalidate() { FBufferValid = false; }

bool TGraphCanvas3D::IsText3D() { return false; }

// ---------------------------------------------------------------------------------------------
// TGraphCanvas3D: flat drawing

void TGraphCanvas3D::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  TargetCanvas->Arc(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TGraphCanvas3D::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  TargetCanvas->Pie(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TGraphCanvas3D::DonutSlice(int XC, int YC, int XRadius, int YRadius, double StartAngle, double EndAngle,
                                double HolePercent) {
  const double irx = XRadius * HolePercent * 0.01;
  const double iry = YRadius * HolePercent * 0.01;
  const auto at = [&](double rx, double ry, double a) {
    return TPoint(XC + R32(rx * std::cos(a)), YC - R32(ry * std::sin(a)));
  };
  const TPoint outerStart = at(XRadius, YRadius, StartAngle);
  const TPoint outerEnd = at(XRadius, YRadius, EndAngle);
  const TPoint innerStart = at(irx, iry, StartAngle);
  const TPoint innerEnd = at(irx, iry, EndAngle);
  TCanvas* c = TargetCanvas;
  c->BeginPath();
  c->MoveTo(outerStart.X, outerStart.Y);
  c->SetArcDirection(AD_COUNTERCLOCKWISE);
  c->ArcTo(XC - XRadius, YC - YRadius, XC + XRadius, YC + YRadius, outerStart.X, outerStart.Y, outerEnd.X, outerEnd.Y);
  c->LineTo(innerEnd.X, innerEnd.Y);
  if (!(innerEnd == innerStart)) {
    const int rx = R32(irx), ry = R32(iry);
    c->SetArcDirection(AD_CLOCKWISE);
    c->ArcTo(XC - rx, YC - ry, XC + rx, YC + ry, innerEnd.X, innerEnd.Y, innerStart.X, innerStart.Y);
    c->SetArcDirection(AD_COUNTERCLOCKWISE);
  }
  c->LineTo(outerStart.X, outerStart.Y);
  c->EndPath();
  c->StrokeAndFillPath();
}

void TGraphCanvas3D::Draw(int X, int Y, TGraphic* Graphic) {
  if (Graphic && !Graphic->Empty()) TargetCanvas->Draw(X, Y, Graphic);
}

void TGraphCanvas3D::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (Graphic) TargetCanvas->StretchDraw(Rect, Graphic);
}

void TGraphCanvas3D::Ellipse(int X1, int Y1, int X2, int Y2) { TargetCanvas->Ellipse(X1, Y1, X2, Y2); }
void TGraphCanvas3D::FillRect(const TRect& Rect) { TargetCanvas->FillRect(Rect); }
void TGraphCanvas3D::LineTo(int X, int Y) { TargetCanvas->LineTo(X, Y); }
void TGraphCanvas3D::MoveTo(int X, int Y) { TargetCanvas->MoveTo(X, Y); }
void TGraphCanvas3D::Rectangle(int X0, int Y0, int X1, int Y1) { TargetCanvas->Rectangle(X0, Y0, X1, Y1); }
void TGraphCanvas3D::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
  TargetCanvas->RoundRect(X1, Y1, X2, Y2, X3, Y3);
}
void TGraphCanvas3D::HorizLine(int X0, int X1, int Y) {
  MoveTo(X0, Y);
  LineTo(X1, Y);
}
void TGraphCanvas3D::VertLine(int X, int Y0, int Y1) {
  MoveTo(X, Y0);
  LineTo(X, Y1);
}
void TGraphCanvas3D::EraseBackground(const TRect& Rect) { FillRect(Rect); }
void TGraphCanvas3D::Line(int X0, int Y0, int X1, int Y1) {
  MoveTo(X0, Y0);
  LineTo(X1, Y1);
}
void TGraphCanvas3D::Polyline(std::span<const TPoint> Points) {
  TargetCanvas->Polyline(Points.data(), static_cast<int>(Points.size()));
}
void TGraphCanvas3D::Polygon(std::span<const TPoint> Points) {
  TargetCanvas->Polygon(Points.data(), static_cast<int>(Points.size()));
}

// ---------------------------------------------------------------------------------------------
// Brush selection

void TGraphCanvas::AssignBrushColor(TChartBrush* ABrush, TColor Color, TColor ABackColor) {
  if (GetMonochrome()) Color = clWhite;
  if (ABrush->HasImageGraphic()) {
    TGraphic* g = ABrush->Image()->Graphic();
    TBitmap* pattern = dynamic_cast<TBitmap*>(g);
    if (!pattern) {
      // The picture stays as it is; the pattern is a bitmap copy of it.
      if (auto* self = dynamic_cast<TGraphCanvas3D*>(this)) pattern = self->PatternBitmap(g);
    }
    Brush->SetStyle(bsClear);
    Brush->SetBitmap(pattern);
    if (TargetCanvas) TargetCanvas->SetTextColor(Color);
    SetBackMode(cbmOpaque);
    SetBackColor(ABackColor);
    return;
  }
  Brush->SetBitmap(nullptr);
  if (Brush->Color() != Color) Brush->SetColor(Color);
  if (Brush->Style() != ABrush->Style()) Brush->SetStyle(ABrush->Style());
  if (ABackColor == clNone) {
    SetBackMode(cbmTransparent);
  } else {
    SetBackMode(cbmOpaque);
    SetBackColor(ABackColor);
  }
}

TBitmap* TGraphCanvas3D::PatternBitmap(TGraphic* Graphic) {
  FPattern = std::make_unique<TBitmap>(Graphic->Width(), Graphic->Height(), pf24bit);
  FPattern->Canvas()->Draw(0, 0, Graphic);
  return FPattern.get();
}

// ---------------------------------------------------------------------------------------------
// Text

void TGraphCanvas3D::TextOutPlain(int X, int Y, const std::string& Text) { TargetCanvas->TextOut(X, Y, Text); }

void TGraphCanvas3D::TextOut(int X, int Y, const std::string& Text) {
  TGraphShadow* shadow = CurrentFont ? CurrentFont->ShadowOrNull() : nullptr;
  if (shadow && (shadow->HorizSize() != 0 || shadow->VertSize() != 0)) {
    int sx = X, sy = Y;
    if (shadow->HorizSize() < 0)
      X -= shadow->HorizSize();
    else
      sx = X + shadow->HorizSize();
    if (shadow->VertSize() < 0)
      Y -= shadow->VertSize();
    else
      sy = Y + shadow->VertSize();
    TGraphBlend* blend = nullptr;
    if (shadow->Transparency() != 0) blend = BeginBlending(TextRect(sx, sy, Text), shadow->Transparency());
    TargetCanvas->SetTextColor(shadow->Color());
    TextOutPlain(sx, sy, Text);
    if (blend) EndBlending(blend);
  }
  TargetCanvas->SetTextColor(Font->Color());

  TChartHiddenPen* outline = CurrentFont ? CurrentFont->OutLineOrNull() : nullptr;
  if (outline && !outline->Visible()) outline = nullptr;
  TGraphFontGradient* gradient = CurrentFont ? CurrentFont->GradientOrNull() : nullptr;
  if (gradient && !gradient->Visible()) gradient = nullptr;
  if (!outline && !gradient) {
    TextOutPlain(X, Y, Text);
    return;
  }
  if (outline)
    AssignVisiblePen(outline);
  else
    Pen->SetStyle(psClear);
  Brush->SetBitmap(nullptr);
  Brush->SetColor(Font->Color());
  Brush->SetStyle(bsSolid);
  SetBackMode(cbmTransparent);
  const auto textPath = [&] {
    TargetCanvas->BeginPath();
    TextOutPlain(X, Y, Text);
    TargetCanvas->EndPath();
  };
  textPath();
  if (gradient) {
    if (gradient->Outline()) {
      // Widening needs a pen that draws; a clear pen widens with one pixel.
      const TPenStyle style = Pen->Style();
      if (style == psClear) Pen->SetStyle(psSolid);
      TargetCanvas->WidenPath();
      if (style == psClear) Pen->SetStyle(style);
    }
    TargetCanvas->SelectClipPath(RGN_AND);
    gradient->Draw(this, TextRect(X, Y, Text));
    UnClipRectangle();
    if (gradient->Outline()) return;
    if (!outline) return;
    textPath();
    Brush->SetStyle(bsClear);
  }
  if (CurrentFont->Color() == clNone)
    TargetCanvas->StrokePath();
  else
    TargetCanvas->StrokeAndFillPath();
}

void TGraphCanvas3D::RotateLabel(int X, int Y, const std::string& Text, double Angle) {
  while (Angle > 360) Angle -= 360;
  Brush->SetStyle(bsClear);
  TFont saved;
  saved.Assign(Font);
  Font->SetOrientation(R32(Angle * 10));
  Font->SetQuality(fqAntialiased);
  if (ZoomText && ZoomFactor != 1) Font->SetSize(std::max(1, R32(Font->Size() * ZoomFactor)));
  TextOut(X, Y, Text);
  Font->Assign(&saved);
}

void TGraphCanvas3D::RotateLabel3D(int X, int Y, int Z, const std::string& Text, double Angle) {
  const TPoint p = Calculate3DPosition(X, Y, Z);
  RotateLabel(p.X, p.Y, Text, Angle);
}

void TGraphCanvas3D::TextOut3D(int X, int Y, int Z, const std::string& Text) {
  const TPoint p = Calculate3DPosition(X, Y, Z);
  if (ZoomText && ZoomFactor != 1) {
    const int size = std::max(1, R32(Font->Size() * ZoomFactor));
    if (size != Font->Size()) {
      const int old = Font->Height();
      Font->SetSize(size);
      TextOut(p.X, p.Y, Text);
      Font->SetHeight(old);
      return;
    }
  }
  TextOut(p.X, p.Y, Text);
}

// ---------------------------------------------------------------------------------------------
// Clipping

void TGraphCanvas3D::ClipRectangle(const TRect& Rect) {
  TPoint p[2] = {Rect.TopLeft(), Rect.BottomRight()};
  TargetCanvas->LPtoDP(p, 2);
  const TRegion r = TRegion::CreateRectRgn(p[0].X, p[0].Y, p[1].X, p[1].Y);
  gHadClipRegion = TargetCanvas->GetClipRgn(SavedClipRegion()) == 1;
  TargetCanvas->ExtSelectClipRgn(&r, RGN_AND);
}

void TGraphCanvas3D::UnClipRectangle() {
  if (gHadClipRegion)
    TargetCanvas->SelectClipRgn(&SavedClipRegion());
  else
    TargetCanvas->SelectClipRgn(nullptr);
  gHadClipRegion = false;
}

void TGraphCanvas3D::ClipCube(const TRect& Rect, int MinZ, int MaxZ) {
  if (!Is3D) {
    ClipRectangle(TRect(Rect.Left + 1, Rect.Top + 1, Rect.Right, Rect.Bottom - 1));
    return;
  }
  TPointArray p = {
      Calculate3DPosition(Rect.Left, Rect.Top, MinZ),     Calculate3DPosition(Rect.Right, Rect.Top, MinZ),
      Calculate3DPosition(Rect.Right, Rect.Bottom, MinZ), Calculate3DPosition(Rect.Left, Rect.Bottom, MinZ),
      Calculate3DPosition(Rect.Left, Rect.Top, MaxZ),     Calculate3DPosition(Rect.Right, Rect.Top, MaxZ),
      Calculate3DPosition(Rect.Right, Rect.Bottom, MaxZ), Calculate3DPosition(Rect.Left, Rect.Bottom, MaxZ)};
  ConvexHull(p);
  ClipPolygon(p, static_cast<int>(p.size()));
}

// ---------------------------------------------------------------------------------------------
// Buffered display

TRect TGraphCanvas3D::InitWindow(TCanvas* DestCanvas, TView3DOptions* Options, TColor, bool AIs3D,
                                 const TRect& ABounds) {
  Bounds = ABounds;
  View3DOptions = Options;
  if (Options) FontZoom = Options->FontZoom();
  Is3D = AIs3D;
  InitProjection(Options);
  if (FBufferedDisplay) {
    const int w = ABounds.Right - ABounds.Left, h = ABounds.Bottom - ABounds.Top;
    if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
    // At the pixels of the screen it is copied to, so that the copy keeps every device pixel.
    FBitmap->SetPixelRatio(DestCanvas ? DestCanvas->PixelRatio() : 1.0);
    FBitmap->SetSize(w, h);
    FBitmap->Canvas()->OnChange = nullptr;
    FBitmap->Canvas()->OnChanging = nullptr;
    SetCanvas(FBitmap->Canvas());
    return TRect(0, 0, w, h);
  }
  SetCanvas(DestCanvas);
  return ABounds;
}

void TGraphCanvas3D::ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& ABounds) {
  if (FBufferedDisplay && FBitmap) {
    CopyBitmapTo(ABounds.Left, ABounds.Top, DestCanvas);
    FBufferValid = true;
  }
  SetCanvas(DefaultCanvas);
}

bool TGraphCanvas3D::ReDrawBitmap() {
  if (!FBufferValid || !FBitmap || !TargetCanvas) return false;
  if (FBitmap->PixelRatio() != TargetCanvas->PixelRatio()) return false;  // another screen: draw again
  CopyBitmapTo(0, 0, TargetCanvas);
  return true;
}

void TGraphCanvas3D::DeleteBitmap() {
  if (FBitmap && TargetCanvas == FBitmap->Canvas()) SetCanvas(nullptr);
  FBitmap.reset();
}

void TGraphCanvas3D::CopyBitmapTo(int X, int Y, TCanvas* DestCanvas) {
  if (!FBitmap || !DestCanvas) return;
  DestCanvas->BitBlt(X, Y, FBitmap->Width(), FBitmap->Height(), FBitmap->Canvas(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------------------------
// Gradient fill

void TGraphCanvas3D::GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor, TGradientDirection Direction,
                                  int Balance) {
  const TRect R = OrientedRect(Rect);
  const int w = R.Right - R.Left, h = R.Bottom - R.Top;
  if (Direction == gdRadial) {
    TGraphGradient g;
    g.SetDirection(gdRadial);
    g.SetStartColor(StartColor);
    g.SetEndColor(EndColor);
    g.Draw(this, R, 0);
    return;
  }
  if (Direction == gdBottomTop || Direction == gdRightLeft || Direction == gdFromCenter || Direction == gdFromTopLeft ||
      Direction == gdFromBottomLeft)
    std::swap(StartColor, EndColor);
  const TColor s = ColorToRGB(StartColor), e = ColorToRGB(EndColor);
  const int sr = GetRValue(s), sg = GetGValue(s), sb = GetBValue(s);
  const int dr = GetRValue(e) - sr, dg = GetGValue(e) - sg, db = GetBValue(e) - sb;
  const auto colour = [&](int i, int n) {
    if (Balance == 50) return RGB(uint8_t(sr + (i * dr) / n), uint8_t(sg + (i * dg) / n), uint8_t(sb + (i * db) / n));
    const double k = BalanceCurve(i, n, Balance);
    return RGB(uint8_t(sr + R32(dr * k)), uint8_t(sg + R32(dg * k)), uint8_t(sb + R32(db * k)));
  };
  TBrush saved;
  saved.Assign(Brush);
  Brush->SetBitmap(nullptr);
  Brush->SetStyle(bsSolid);
  const auto fill = [&](int l, int t, int r, int b) { TargetCanvas->FillRect(TRect(l, t, r, b)); };
  TColor last = clNone;
  const auto use = [&](TColor c) {
    if (c != last) {
      Brush->SetColor(c);
      last = c;
    }
  };
  switch (Direction) {
    case gdTopBottom:
    case gdBottomTop:
    case gdLeftRight:
    case gdRightLeft: {
      const bool vertical = Direction == gdTopBottom || Direction == gdBottomTop;
      const int a = vertical ? h : w;
      const int b = std::min(a, 256);
      const int n = b - 1;
      if (n < 1) break;
      for (int i = 0; i < b; ++i) {
        use(colour(i, n));
        const int p0 = int64_t(a) * i / b, p1 = int64_t(a) * (i + 1) / b;
        if (vertical)
          fill(R.Left, R.Bottom - p1, R.Right, R.Bottom - p0);
        else
          fill(R.Right - p1, R.Top, R.Right - p0, R.Bottom);
      }
      break;
    }
    case gdFromCenter: {
      const int n = std::max(1, w / 2 + h / 2);
      int c = 0, d = 0;
      for (;;) {
        use(colour(std::min(c + d, n), n));
        fill(R.Left + c, R.Top + d, R.Left + c + 1, R.Top + d + (h - 2 * d));
        fill(R.Right - c - 1, R.Top + d, R.Right - c, R.Top + d + (h - 2 * d));
        fill(R.Left + c, R.Top + d, R.Left + c + (w - 2 * c), R.Top + d + 1);
        fill(R.Left + c, R.Bottom - d - 1, R.Left + c + (w - 2 * c), R.Bottom - d);
        const bool moreD = d < h / 2, moreC = c < w / 2;
        if (!moreD && !moreC) break;
        if (moreD) ++d;
        if (moreC) ++c;
      }
      break;
    }
    case gdFromTopLeft:
    case gdFromBottomLeft: {
      const bool bottom = Direction == gdFromBottomLeft;
      const int n = std::max(1, w + h);
      const int y0 = bottom ? R.Bottom : R.Top;
      int y = y0, i = 0, j = 0;
      for (;;) {
        use(colour(std::min(i + j, n), n));
        if (bottom)
          fill(R.Left + i, y, R.Left + i + 1, y0);
        else
          fill(R.Left + i, y0, R.Left + i + 1, y);
        if (j < h) {
          ++j;
          if (bottom) {
            fill(R.Left, y - 1, R.Left + i + 1, y);
            if (y > R.Top) --y;
          } else {
            fill(R.Left, y, R.Left + i + 1, y + 1);
            if (y < R.Bottom) ++y;
          }
        }
        if (i < w) ++i;
        if (j >= h && i >= w) break;
      }
      break;
    }
    case gdDiagonalUp:
    case gdDiagonalDown: {
      TPen pen;
      pen.Assign(Pen);
      Pen->SetWidth(1);
      Pen->SetStyle(psSolid);
      Pen->SetMode(pmCopy);
      const bool up = Direction == gdDiagonalUp;
      const int total = w + h;
      const int n = std::max(1, std::min(255, total - 1));
      const int yStart = up ? R.Bottom : R.Top;
      const int yOther = up ? R.Top : R.Bottom;
      const int dir = up ? -1 : 1;
      for (int k = 0; k < total; ++k) {
        Pen->SetColor(colour(int(int64_t(n) * k / total), n));
        // First end: along the left edge, then along the opposite horizontal edge.
        TPoint a = k <= h ? TPoint(R.Left, yStart + dir * k) : TPoint(R.Left + (k - h), yOther);
        // Second end: along the starting edge, then along the right edge.
        TPoint b = k <= w ? TPoint(R.Left + k, yStart) : TPoint(R.Right, yStart + dir * (k - w));
        TargetCanvas->MoveTo(a.X, a.Y);
        TargetCanvas->LineTo(b.X, b.Y);
      }
      Pen->Assign(&pen);
      break;
    }
    default:
      break;
  }
  Brush->Assign(&saved);
}
