#include "chart/engine/graph_effects.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/chart_geometry.h"
#include "chart/engine/graph_blend.h"
#include "chart/engine/graph_canvas.h"
#include "platform/guards.h"
#include "platform/sysutils.h"

const TEnumInfo GradientDirectionInfo("TGradientDirection", {"gdTopBottom", "gdBottomTop", "gdLeftRight", "gdRightLeft",
                                                             "gdFromCenter", "gdFromTopLeft", "gdFromBottomLeft",
                                                             "gdRadial", "gdDiagonalUp", "gdDiagonalDown"});

// ---------------------------------------------------------------------------------------------
// Shadow

VM_PUBLISH(TGraphShadow) {
  P.Int("Color", &TGraphShadow::Color, &TGraphShadow::SetColor).Idents(ColorIdents).Stored([](TObject* o) {
    auto* s = static_cast<TGraphShadow*>(o);
    return s->Color() != s->DefaultColor;
  });
  P.Int("HorizSize", &TGraphShadow::HorizSize, &TGraphShadow::SetHorizSize).Stored([](TObject* o) {
    auto* s = static_cast<TGraphShadow*>(o);
    return s->HorizSize() != s->DefaultSize;
  });
  P.Bool("Smooth", &TGraphShadow::Smooth, &TGraphShadow::SetSmooth).Default(true);
  P.Int("Transparency", &TGraphShadow::Transparency, &TGraphShadow::SetTransparency).Default(0);
  P.Int("VertSize", &TGraphShadow::VertSize, &TGraphShadow::SetVertSize).Stored([](TObject* o) {
    auto* s = static_cast<TGraphShadow*>(o);
    return s->VertSize() != s->DefaultSize;
  });
}

TGraphShadow::TGraphShadow(const TNotifyEvent& OnChangeEvent) : OnChange(OnChangeEvent) {}

TGraphShadow::~TGraphShadow() = default;

void TGraphShadow::Changed() {
  if (OnChange) OnChange(this);
}

void TGraphShadow::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TGraphShadow*>(Source)) {
    FColor = s->FColor;
    FHorizSize = s->FHorizSize;
    FSmooth = s->FSmooth;
    FTransparency = s->FTransparency;
    FVertSize = s->FVertSize;
    return;
  }
  TPersistent::Assign(Source);
}

void TGraphShadow::SetColor(TColor Value) {
  if (StoreChanged(FColor, Value)) Changed();
}
void TGraphShadow::SetHorizSize(int32_t Value) {
  if (StoreChanged(FHorizSize, Value)) Changed();
}
void TGraphShadow::SetVertSize(int32_t Value) {
  if (StoreChanged(FVertSize, Value)) Changed();
}
void TGraphShadow::SetSmooth(bool Value) {
  if (StoreChanged(FSmooth, Value)) Changed();
}
void TGraphShadow::SetTransparency(TGraphTransparency Value) {
  if (StoreChanged(FTransparency, Value)) Changed();
}

void TGraphShadow::SetSize(int32_t Value) {
  SetHorizSize(Value);
  SetVertSize(Value);
}

bool TGraphShadow::PrepareCanvas(TCanvas3D* Canvas, const TRect& Rect, int Z) {
  if (FColor == clNone || (FHorizSize == 0 && FVertSize == 0)) return false;
  Canvas->Brush->SetBitmap(nullptr);
  Canvas->Brush->SetColor(FColor);
  Canvas->Brush->SetStyle(bsSolid);
  Canvas->Pen->SetStyle(psClear);
  if (FTransparency != 0) {
    TRect moved = Rect;
    OffsetRect(moved, FHorizSize, FVertSize);
    FBlend.reset();
    FBlend.reset(Canvas->BeginBlending(Canvas->ProjectedBounds(moved, Z), FTransparency));
  }
  return true;
}

void TGraphShadow::EndBlending(TCanvas3D* Canvas) {
  if (FTransparency != 0 && FBlend) {
    TGraphBlend* blend = FBlend.release();
    Canvas->EndBlending(blend);
  }
}

void TGraphShadow::DrawZ(TCanvas3D* Canvas, const TRect& Rect, int Z) {
  const bool flat = Canvas->Nest2D > 0;
  if (!PrepareCanvas(Canvas, Rect, Z)) return;
  const int H = FHorizSize, V = FVertSize;
  const int L = Rect.Left, T = Rect.Top, R = Rect.Right, B = Rect.Bottom;
  if (FSmooth && Size() > 1) {
    Canvas->Pen->SetStyle(psSolid);
    const TColor rgb = ColorToRGB(FColor);
    const double grey = (GetRValue(rgb) + GetGValue(rgb) + GetBValue(rgb)) / 3.0;
    const auto step = [&](int s) {
      const int64_t v = Round((255 - grey) / s);
      if (v < 0 || v > 255) throw ERangeError("Range check error");
      return static_cast<int>(v);
    };
    if (V != 0) {
      TColor c = FColor;
      for (int i = 1; i <= V; ++i) {
        Canvas->Pen->SetColor(c);
        if (flat)
          Canvas->HorizLine(L + H, R + H + i - V - 1, B + i - 1);
        else
          Canvas->HorizLine3D(L + H, R + H + i - V - 1, B + i - 1, Z);
        c = LighterColor(c, step(V));
      }
    }
    if (H != 0) {
      TColor c = FColor;
      for (int i = 0; i < H; ++i) {
        Canvas->Pen->SetColor(c);
        if (flat) {
          Canvas->VertLine(R + i, T + V, B + V - H + i);
          Canvas->SetPixel(R + i - 1, B + V - H + i - 1, c);
        } else {
          Canvas->VertLine3D(R + i, T + V, B + V - H + i, Z);
          Canvas->SetPixel3D(R + i - 1, B + V - H + i - 1, Z, c);
        }
        c = LighterColor(c, step(H));
      }
    }
  } else if (flat) {
    if (V > 0)
      Canvas->Rectangle(L + H, B, R + H, B + 1 + V);
    else if (V < 0)
      Canvas->Rectangle(L + H, T + 1, R + H, T + V);
    if (H > 0)
      Canvas->Rectangle(R, T + V, R + 1 + H, B + V + 1);
    else if (H < 0)
      Canvas->Rectangle(L + 1, T + V, L + H, B + V + 1);
  } else {
    Canvas->RectangleWithZ(TRect(L + H, B, R + H, B + V), Z);
    Canvas->RectangleWithZ(TRect(R, T + V, R + H, B + V), Z);
  }
  EndBlending(Canvas);
}

void TGraphShadow::DrawEllipse(TCanvas3D* Canvas, const TRect& Rect, int Z) {
  if (!PrepareCanvas(Canvas, Rect, Z)) return;
  TRect moved = Rect;
  OffsetRect(moved, FHorizSize, FVertSize);
  if (FSmooth) {
    const TRect r = Canvas->ProjectRect(moved, Z);
    Canvas->ClipEllipse(r);
    TGraphGradient g;
    g.SetDirection(gdRadial);
    g.SetStartColor(DarkerColor(FColor, 128));
    g.SetEndColor(LighterColor(FColor, 32));
    g.Draw(Canvas, r);
    Canvas->UnClipRectangle();
  } else {
    Canvas->EllipseWithZ(moved.Left, moved.Top, moved.Right, moved.Bottom, Z);
  }
  EndBlending(Canvas);
}

// ---------------------------------------------------------------------------------------------
// Gradients

VM_PUBLISH(TCustomGraphGradient) {}

VM_PUBLISH(TGraphGradient) {
  P.Int("Balance", &TGraphGradient::Balance, &TGraphGradient::SetBalance).Default(50);
  P.Enum("Direction", &TGraphGradient::Direction, &TGraphGradient::SetDirection, GradientDirectionInfo)
      .Default(gdTopBottom);
  P.Int("EndColor", &TGraphGradient::EndColor, &TGraphGradient::SetEndColor).Default(clYellow).Idents(ColorIdents);
  P.Int("MidColor", &TGraphGradient::MidColor, &TGraphGradient::SetMidColor).Default(clNone).Idents(ColorIdents);
  P.Int("RadialX", &TGraphGradient::RadialX, &TGraphGradient::SetRadialX).Default(0);
  P.Int("RadialY", &TGraphGradient::RadialY, &TGraphGradient::SetRadialY).Default(0);
  P.Int("StartColor", &TGraphGradient::StartColor, &TGraphGradient::SetStartColor).Default(clWhite).Idents(ColorIdents);
  P.Bool("Visible", &TGraphGradient::Visible, &TGraphGradient::SetVisible).Default(false);
}

VM_PUBLISH(TGraphFontGradient) {
  P.Bool("Outline", &TGraphFontGradient::Outline, &TGraphFontGradient::SetOutline).Default(false);
}

TCustomGraphGradient::TCustomGraphGradient(const TNotifyEvent& OnChangeEvent) : OnChange(OnChangeEvent) {}

void TCustomGraphGradient::Changed() {
  if (OnChange) OnChange(this);
}

void TCustomGraphGradient::SetBalance(int32_t Value) {
  if (StoreChanged(FBalance, Value)) Changed();
}
void TCustomGraphGradient::SetDirection(TGradientDirection Value) {
  if (StoreChanged(FDirection, Value)) Changed();
}
void TCustomGraphGradient::SetStartColor(TColor Value) {
  if (StoreChanged(FStartColor, Value)) Changed();
}
void TCustomGraphGradient::SetEndColor(TColor Value) {
  if (StoreChanged(FEndColor, Value)) Changed();
}
void TCustomGraphGradient::SetRadialX(int32_t Value) {
  if (StoreChanged(FRadialX, Value)) Changed();
}
void TCustomGraphGradient::SetRadialY(int32_t Value) {
  if (StoreChanged(FRadialY, Value)) Changed();
}
void TCustomGraphGradient::SetVisible(bool Value) {
  if (StoreChanged(FVisible, Value)) Changed();
}
void TGraphFontGradient::SetOutline(bool Value) {
  if (StoreChanged(FOutline, Value)) Changed();
}

void TCustomGraphGradient::SetMidColor(TColor Value) {
  if (Value == clNone) {
    if (FUseMid) {
      FUseMid = false;
      Changed();
    }
    return;
  }
  if (!FUseMid || FMidColor != Value) {
    FUseMid = true;
    FMidColor = Value;
    Changed();
  }
}

void TCustomGraphGradient::UseMidColor() {
  if (!FUseMid) {
    FUseMid = true;
    Changed();
  }
}

void TCustomGraphGradient::Assign(TPersistent* Source) {
  if (auto* g = dynamic_cast<TCustomGraphGradient*>(Source)) {
    FBalance = g->FBalance;
    FDirection = g->FDirection;
    FStartColor = g->FStartColor;
    FEndColor = g->FEndColor;
    FMidColor = g->FMidColor;
    FRadialX = g->FRadialX;
    FRadialY = g->FRadialY;
    FVisible = g->FVisible;
    FUseMid = g->FUseMid;
    if (auto* fg = dynamic_cast<TGraphFontGradient*>(this))
      if (auto* sg = dynamic_cast<TGraphFontGradient*>(g)) fg->SetOutline(sg->Outline());
    return;
  }
  TPersistent::Assign(Source);
}

double BalanceCurve(int I, int N, int Balance) {
  return std::pow(double(I + 1) / double(N + 1), 0.5 + 0.015 * Balance);
}

namespace {
TColor GreyOf(TColor Color) {
  const TColor c = ColorToRGB(Color);
  const int grey = (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3;
  return RGB(uint8_t(grey), uint8_t(grey), uint8_t(grey));
}
}  // namespace

void TCustomGraphGradient::Draw(TGraphCanvas* Canvas, const TRect& Rect, int RoundSize) {
  TColor start = FStartColor, end = FEndColor, mid = FMidColor;
  if (Canvas->GetMonochrome()) {
    start = GreyOf(start);
    end = GreyOf(end);
    mid = GreyOf(mid);
  }
  if (RoundSize > 0) Canvas->ClipRoundRectangle(Rect, RoundSize);
  if (FDirection == gdRadial) {
    DrawRadial(Canvas, Rect);
  } else if (FUseMid && FDirection != gdDiagonalUp && FDirection != gdDiagonalDown) {
    const TRect& r = Rect;
    switch (FDirection) {
      case gdTopBottom:
      case gdBottomTop: {
        const int midY = (r.Top + r.Bottom) / 2;
        const bool down = FDirection == gdTopBottom;
        Canvas->GradientFill(TRect(r.Left, r.Top, r.Right, midY), down ? mid : start, down ? end : mid, FDirection, 50);
        Canvas->GradientFill(TRect(r.Left, midY, r.Right, r.Bottom), down ? start : mid, down ? mid : end, FDirection,
                             50);
        break;
      }
      case gdLeftRight:
      case gdRightLeft: {
        const int midX = (r.Left + r.Right) / 2;
        const bool right = FDirection == gdLeftRight;
        Canvas->GradientFill(TRect(r.Left, r.Top, midX, r.Bottom), right ? mid : start, right ? end : mid, FDirection,
                             50);
        Canvas->GradientFill(TRect(midX, r.Top, r.Right, r.Bottom), right ? start : mid, right ? mid : end, FDirection,
                             50);
        break;
      }
      default:
        Canvas->GradientFill(Rect, start, end, FDirection, 50);
    }
  } else {
    Canvas->GradientFill(Rect, start, end, FDirection, FBalance);
  }
  if (RoundSize > 0) Canvas->UnClipRectangle();
}

void TCustomGraphGradient::DrawRadial(TGraphCanvas* Canvas, const TRect& Rect) {
  Canvas->ClipRectangle(OrientedRect(Rect));
  RadialFill(Canvas, Rect);
  Canvas->UnClipRectangle();
}

void TCustomGraphGradient::DrawPolygon(TCanvas3D* Canvas, TPointArray& Points, bool Project, int Z) {
  const int high = static_cast<int>(Points.size()) - 1;
  TRect rect;
  if (Project) {
    TPointArray p(Points.size());
    for (std::size_t i = 0; i < Points.size(); ++i) p[i] = Canvas->ProjectPoint(Points[i], Z);
    rect = Canvas->ProjectRect(PolygonBounds(Points, high), Z);
    Canvas->ClipPolygon(p, static_cast<int>(p.size()));
  } else {
    Canvas->ClipPolygon(Points, static_cast<int>(Points.size()));
    rect = PolygonBounds(Points, high);
  }
  Draw(Canvas, rect, 0);
  Canvas->UnClipRectangle();
}

void TCustomGraphGradient::DrawQuad(TCanvas3D* Canvas, TQuadPoints Quad) {
  const TRect rect = PointsBounds(Quad, 4);
  Canvas->ClipPolygon(Quad, 4);
  Draw(Canvas, rect, 0);
  Canvas->UnClipRectangle();
}

void TCustomGraphGradient::DrawRect3D(TCanvas3D* Canvas, const TQuadPoints& Quad, int Z) {
  TQuadPoints p;
  for (int i = 0; i < 4; ++i) p[i] = Canvas->ProjectPoint(Quad[i], Z);
  DrawQuad(Canvas, p);
}

void TCustomGraphGradient::RadialFill(TGraphCanvas* Canvas, const TRect& Rect) {
  const int w = Rect.Right - Rect.Left;
  const int h = Rect.Bottom - Rect.Top;
  const int a1 = std::min(255, std::max(w, h));
  int a = a1;
  const TColor s = ColorToRGB(FStartColor), e = ColorToRGB(FEndColor);
  const auto stepColor = [&](int n) {
    const auto ch = [&](int sv, int ev) {
      const int d = ev - sv;
      if (FBalance == 50) return sv + int(Round(double(n) * d / (a1 ? a1 : 1)));
      return sv + int(Round(d * BalanceCurve(n, a1, FBalance)));
    };
    return RGB(uint8_t(ch(GetRValue(s), GetRValue(e))), uint8_t(ch(GetGValue(s), GetGValue(e))),
               uint8_t(ch(GetBValue(s), GetBValue(e))));
  };
  TPen* pen = Canvas->Pen;
  TBrush* brush = Canvas->Brush;
  const TPenStyle oldStyle = pen->Style();
  const TColor oldColor = brush->Color();
  pen->SetStyle(psClear);
  brush->SetStyle(bsSolid);
  brush->SetColor(e);
  Canvas->FillRect(Rect);
  if ((w % 2) != 0 || (h % 2) != 0) --a;
  const double cx = FRadialX + 1 + (Rect.Left + Rect.Right) / 2.0;
  const double cy = FRadialY + 1 + (Rect.Top + Rect.Bottom) / 2.0;
  for (int n = a; n >= 0 && a1 > 0; --n) {
    brush->SetColor(stepColor(n));
    const double rx = double(n) * w / 2.0 / a1;
    const double ry = double(n) * h / 2.0 / a1;
    Canvas->Ellipse(int(Round(cx - rx)), int(Round(cy - ry)), int(Round(cx + rx)), int(Round(cy + ry)));
  }
  pen->SetStyle(oldStyle);
  brush->SetColor(oldColor);
}

// ---------------------------------------------------------------------------------------------
// Font

VM_PUBLISH(TGraphFont) {
  P.Int("Charset", &TFont::Charset, &TFont::SetCharset).Default(DEFAULT_CHARSET);
  P.Int("Color", &TFont::Color, &TFont::SetColor).Idents(ColorIdents).Stored([](TObject* o) {
    auto* f = static_cast<TGraphFont*>(o);
    return f->Color() != f->DefaultColor;
  });
  P.Object("Gradient", &TGraphFont::Gradient, &TGraphFont::SetGradient);
  P.Int("Height", &TFont::Height, &TFont::SetHeight).Stored([](TObject* o) {
    return static_cast<TGraphFont*>(o)->Size() != DefaultFontSize;
  });
  P.Int("InterCharSize", &TGraphFont::InterCharSize, &TGraphFont::SetInterCharSize).Default(0);
  P.String("Name", &TFont::Name, &TFont::SetName).Stored([](TObject* o) {
    return static_cast<TGraphFont*>(o)->Name() != DefaultFontName;
  });
  P.Object("OutLine", &TGraphFont::OutLine, &TGraphFont::SetOutLine);
  P.Object("Shadow", &TGraphFont::Shadow, &TGraphFont::SetShadow);
  P.Set("Style", &TFont::Style, &TFont::SetStyle, FontStyleInfo).Stored([](TObject* o) {
    auto* f = static_cast<TGraphFont*>(o);
    return f->Style() != f->DefaultStyle;
  });
}

TGraphFont::TGraphFont(const TNotifyEvent& OnChangeEvent) {
  SetColor(clBlack);
  SetCharset(DEFAULT_CHARSET);
  SetName(DefaultFontName);
  if (Size() != DefaultFontSize) SetSize(DefaultFontSize);
  OnChange = OnChangeEvent;
}

TGraphFont::~TGraphFont() = default;

void TGraphFont::SubChanged(TObject*) { Changed(); }

void TGraphFont::SetInterCharSize(int32_t Value) {
  if (FInterCharSize != Value) {
    FInterCharSize = Value;
    Changed();
  }
}

TChartHiddenPen* TGraphFont::OutLine() {
  if (!FOutLine) FOutLine = std::make_unique<TChartHiddenPen>([this](TObject* s) { SubChanged(s); });
  return FOutLine.get();
}

TGraphShadow* TGraphFont::Shadow() {
  if (!FShadow) FShadow = std::make_unique<TGraphShadow>([this](TObject* s) { SubChanged(s); });
  return FShadow.get();
}

TGraphFontGradient* TGraphFont::Gradient() {
  if (!FGradient) FGradient = std::make_unique<TGraphFontGradient>([this](TObject* s) { SubChanged(s); });
  return FGradient.get();
}

void TGraphFont::SetOutLine(TChartHiddenPen* Value) {
  if (!Value)
    FOutLine.reset();
  else
    OutLine()->Assign(Value);
}

void TGraphFont::SetShadow(TGraphShadow* Value) {
  if (!Value)
    FShadow.reset();
  else
    Shadow()->Assign(Value);
}

void TGraphFont::SetGradient(TGraphFontGradient* Value) {
  if (!Value)
    FGradient.reset();
  else
    Gradient()->Assign(Value);
}

void TGraphFont::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TGraphFont*>(Source)) {
    SetGradient(f->FGradient.get());
    SetInterCharSize(f->FInterCharSize);
    SetOutLine(f->FOutLine.get());
    SetShadow(f->FShadow.get());
  }
  TFont::Assign(Source);
}
