#include "chart/engine/graph_shapes.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/graph_blend.h"
#include "chart/engine/graph_canvas.h"
#include "platform/guards.h"
#include "platform/streaming.h"

const TEnumInfo BevelCutInfo("TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"});
const TEnumInfo ChartObjectShapeStyleInfo("TChartObjectShapeStyle", {"fosRectangle", "fosRoundRectangle"});
const TEnumInfo TextFormatInfo("TTextFormat", {"ttfNormal", "ttfHtml"});

void DrawBevel(TGraphCanvas* Canvas, TBevelCut Kind, TRect& Rect, int Width, int Radius) {
  if (Kind == bvNone) return;
  const TColor top = Kind == bvLowered ? clBtnShadow : clBtnHighlight;
  if (Radius > 0) {
    Canvas->Pen->SetColor(top);
    Canvas->RoundRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom, Radius, Radius);
    InflateRect(Rect, -Width, -Width);
    return;
  }
  const TColor bottom = Kind == bvRaised ? clBtnShadow : clBtnHighlight;
  Canvas->DrawBevelFrame(Rect, top, bottom, Width);
}

void IGraphShapeParent::SetBooleanProperty(bool& Variable, bool Value) {
  if (Variable != Value) {
    Variable = Value;
    Invalidate();
  }
}

void IGraphShapeParent::SetColorProperty(TColor& Variable, TColor Value) {
  if (Variable != Value) {
    Variable = Value;
    Invalidate();
  }
}

TQuadPoints RotatedRectCorners(const TRect& Rect, int Angle) {
  const int cx = (Rect.Left + Rect.Right) / 2;
  const int cy = (Rect.Top + Rect.Bottom) / 2;
  const double a = Angle * M_PI / 180.0;
  const double s = std::sin(a), c = std::cos(a);
  const TPoint corners[4] = {
      {Rect.Left, Rect.Top}, {Rect.Right, Rect.Top}, {Rect.Right, Rect.Bottom}, {Rect.Left, Rect.Bottom}};
  TQuadPoints out;
  for (int i = 0; i < 4; ++i) {
    const double dx = corners[i].X - cx, dy = corners[i].Y - cy;
    out[i] = TPoint(static_cast<int32_t>(std::nearbyint(dx * c + dy * s)) + cx,
                    static_cast<int32_t>(std::nearbyint(-dx * s + dy * c)) + cy);
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// Brush and pen

VM_DEFINE_CLASS(TGraphCustomShapeBrushPen)

TGraphCustomShapeBrushPen::TGraphCustomShapeBrushPen(TChartBrushClass BrushClass) {
  const TNotifyEvent changed = ChangeHandler();
  FBrush.reset((BrushClass ? BrushClass : TChartBrush::StaticClass())->Create(changed));
  FPen = std::make_unique<TChartPen>(changed);
}

TGraphCustomShapeBrushPen::~TGraphCustomShapeBrushPen() = default;

void TGraphCustomShapeBrushPen::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TGraphCustomShapeBrushPen*>(Source)) {
    FBrush->Assign(s->FBrush.get());
    FPen->Assign(s->FPen.get());
    FVisible = s->FVisible;
    return;
  }
  TPersistent::Assign(Source);
}

void TGraphCustomShapeBrushPen::SetVisible(bool Value) {
  if (FParent)
    FParent->SetBooleanProperty(FVisible, Value);
  else
    FVisible = Value;
}

void TGraphCustomShapeBrushPen::Repaint() {
  if (FParent) FParent->Invalidate();
}

void TGraphCustomShapeBrushPen::SettingChanged(TObject*) { Repaint(); }

// ---------------------------------------------------------------------------------------------
// Shape

VM_DEFINE_CLASS(TGraphCustomShape)

TGraphCustomShape::TGraphCustomShape(IGraphShapeParent* Parent, TChartBrushClass BrushClass)
    : TGraphCustomShapeBrushPen(BrushClass) {
  SetParentChart(Parent);
  FShadow.reset(NewShadow());
  FFont = std::make_unique<TGraphFont>(ChangeHandler());
}

TGraphCustomShape::~TGraphCustomShape() = default;

TGraphShadow* TGraphCustomShape::NewShadow() {
  auto* shadow = new TGraphShadow(ChangeHandler());
  InitShadow(shadow);
  return shadow;
}

void TGraphCustomShape::InitShadow(TGraphShadow* AShadow) {
  AShadow->SetColor(clBlack);
  AShadow->SetSize(3);
  AShadow->DefaultColor = clBlack;
  AShadow->DefaultSize = 3;
}

void TGraphCustomShape::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TGraphCustomShape*>(Source)) {
    FBevel = s->FBevel;
    FBevelWidth = s->FBevelWidth;
    FColor = s->FColor;
    FFont->Assign(s->FFont.get());
    SetGradient(s->FGradient.get());
    SetShadow(s->FShadow.get());
    FShapeStyle = s->FShapeStyle;
    FTextFormat = s->FTextFormat;
    FTransparent = s->FTransparent;
    FTransparency = s->FTransparency;
  }
  TGraphCustomShapeBrushPen::Assign(Source);
}

TGraphGradient* TGraphCustomShape::Gradient() {
  if (!FGradient) {
    TGradientClass cls = GetGradientClass();
    TCustomGraphGradient* made = cls ? cls->Create(ChangeHandler()) : nullptr;
    if (auto* gradient = dynamic_cast<TGraphGradient*>(made)) {
      FGradient.reset(gradient);
    } else {
      delete made;
      FGradient = std::make_unique<TGraphGradient>(ChangeHandler());
    }
  }
  return FGradient.get();
}

void TGraphCustomShape::SetGradient(TGraphGradient* Value) {
  if (!Value)
    FGradient.reset();
  else
    Gradient()->Assign(Value);
}

void TGraphCustomShape::SetShadow(TGraphShadow* Value) {
  if (!Value) {
    FShadow.reset();
    return;
  }
  if (!FShadow) FShadow.reset(NewShadow());
  FShadow->Assign(Value);
}

void TGraphCustomShape::SetBevel(TBevelCut Value) {
  if (StoreChanged(FBevel, Value)) Repaint();
}
void TGraphCustomShape::SetBevelWidth(int32_t Value) {
  if (StoreChanged(FBevelWidth, Value)) Repaint();
}
void TGraphCustomShape::SetShapeStyle(TChartObjectShapeStyle Value) {
  if (StoreChanged(FShapeStyle, Value)) Repaint();
}
void TGraphCustomShape::SetTextFormat(TTextFormat Value) {
  if (StoreChanged(FTextFormat, Value)) Repaint();
}

void TGraphCustomShape::SetTransparency(TGraphTransparency Value) {
  Value = std::clamp<TGraphTransparency>(Value, 0, 100);
  if (FTransparency != Value) {
    FTransparency = Value;
    Repaint();
  }
}

void TGraphCustomShape::SetColor(TColor Value) {
  if (ParentChart())
    ParentChart()->SetColorProperty(FColor, Value);
  else
    FColor = Value;
}

void TGraphCustomShape::SetTransparent(bool Value) {
  if (ParentChart())
    ParentChart()->SetBooleanProperty(FTransparent, Value);
  else
    FTransparent = Value;
}

void TGraphCustomShape::DefineProperties(TFiler* Filer) {
  TGraphCustomShapeBrushPen::DefineProperties(Filer);
  Filer->DefineProperty(
      "ShadowColor",
      [this](TReader* Reader) {
        TColor color;
        if (Reader->NextValue() == vaIdent)
          color = StringToColor(Reader->ReadIdent());
        else
          color = Reader->ReadInteger();
        if (!FShadow) FShadow.reset(NewShadow());
        FShadow->SetColor(color);
      },
      nullptr, false);
  Filer->DefineProperty(
      "ShadowSize",
      [this](TReader* Reader) {
        const int32_t size = Reader->ReadInteger();
        if (!FShadow) FShadow.reset(NewShadow());
        FShadow->SetSize(size);
      },
      nullptr, false);
}

// The outline of Rect: the turned polygon, a rectangle at depth Z on a canvas that turns
// everything itself, else a plain or round rectangle.
void TGraphCustomShape::DrawOutline(TCanvas3D* Canvas, const TRect& Rect, int Angle, int Z) {
  const bool full = Canvas->SupportsFullRotation();
  if (Angle > 0) {
    const TQuadPoints p = RotatedRectCorners(Rect, Angle);
    if (full)
      Canvas->PolygonWithZ(p, Z);
    else
      Canvas->Polygon(p);
  } else if (full) {
    Canvas->RectangleWithZ(Rect, Z);
  } else if (FShapeStyle == fosRoundRectangle) {
    Canvas->RoundRect(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom, ShapeRoundSize, ShapeRoundSize);
  } else {
    Canvas->Rectangle(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
  }
}

void TGraphCustomShape::DrawRectRotated(const TRect& Rect, int Angle, int Z) {
  if (FTransparent || !ParentChart()) return;
  TCanvas3D* canvas = ParentChart()->ShapeCanvas();
  if (!canvas) return;
  const bool full = canvas->SupportsFullRotation();
  const auto outlineBounds = [&](const TRect& R) {
    if (Angle == 0) return R;
    const TQuadPoints p = RotatedRectCorners(R, Angle);
    return PointsBounds(p, 4);
  };

  TGraphBlend* blend = FTransparency > 0 ? canvas->BeginBlending(outlineBounds(Rect), FTransparency) : nullptr;

  if (FShadow && FShadow->Size() > 0 && FShadow->Color() != clNone && Brush()->Style() != bsClear) {
    // A plain rectangle draws its shadow strips itself. Any other outline (and every see-through
    // shape, whose fill lets the area under it show) gets the outline filled in the shadow colour.
    const bool stripsDrawn = Angle == 0 && FShapeStyle == fosRectangle;
    if (stripsDrawn) {
      if (full) {
        FShadow->DrawZ(canvas, Rect, Z);
      } else {
        canvas->Begin2D();
        FShadow->DrawZ(canvas, Rect, Z);
        canvas->End2D();
      }
    }
    if (FTransparency > 0 || !stripsDrawn) {
      const int extra = Pen()->Visible() ? Pen()->Width() : 0;
      TRect moved = Rect;
      OffsetRect(moved, FShadow->HorizSize() + extra, FShadow->VertSize() + extra);
      canvas->Pen->SetStyle(psClear);
      canvas->Brush->SetBitmap(nullptr);
      canvas->Brush->SetStyle(bsSolid);
      canvas->Brush->SetColor(FShadow->Color());
      TGraphBlend* shadowBlend =
          FShadow->Transparency() > 0 ? canvas->BeginBlending(outlineBounds(moved), FShadow->Transparency()) : nullptr;
      DrawOutline(canvas, moved, Angle, Z);
      if (shadowBlend) {
        canvas->BlendTransparency = FShadow->Transparency();
        canvas->EndBlending(shadowBlend);
      }
    }
  }

  if (FGradient && FGradient->Visible()) {
    if (Angle < 1) {
      if (full) {
        const TQuadPoints quad = {TPoint(Rect.Left, Rect.Top), TPoint(Rect.Right, Rect.Top),
                                  TPoint(Rect.Right, Rect.Bottom), TPoint(Rect.Left, Rect.Bottom)};
        FGradient->DrawRect3D(canvas, quad, Z);
      } else {
        FGradient->Draw(canvas, Rect, FShapeStyle == fosRoundRectangle ? ShapeRoundSize : 0);
      }
    } else {
      const TQuadPoints p = RotatedRectCorners(Rect, Angle);
      TPointArray points(p.begin(), p.end());
      FGradient->DrawPolygon(canvas, points, full, Z);
    }
    canvas->Brush->SetStyle(bsClear);
  } else {
    canvas->AssignBrush(Brush(), FColor);
  }

  canvas->AssignVisiblePen(Pen());
  DrawOutline(canvas, Rect, Angle, Z);

  if (Angle == 0) {
    TRect r = Rect;
    DrawBevel(canvas, FBevel, r, FBevelWidth, 0);
  }

  if (blend) {
    canvas->BlendTransparency = FTransparency;
    canvas->EndBlending(blend);
  }
}

// ---------------------------------------------------------------------------------------------

VM_PUBLISH(TGraphShape) {
  P.Enum("Bevel", &TGraphShape::Bevel, &TGraphShape::SetBevel, BevelCutInfo).Default(bvNone);
  P.Int("BevelWidth", &TGraphShape::BevelWidth, &TGraphShape::SetBevelWidth).Default(2);
  P.Int("Color", &TGraphShape::Color, &TGraphShape::SetColor).Default(clWhite).Idents(ColorIdents);
  P.Object("Font", &TGraphShape::Font, &TGraphShape::SetFont);
  P.Object("Gradient", &TGraphShape::Gradient, &TGraphShape::SetGradient);
  P.Object("Shadow", &TGraphShape::Shadow, &TGraphShape::SetShadow);
  P.Enum("ShapeStyle", &TGraphShape::ShapeStyle, &TGraphShape::SetShapeStyle, ChartObjectShapeStyleInfo)
      .Default(fosRectangle);
  P.Bool("Transparent", &TGraphShape::Transparent, &TGraphShape::SetTransparent)
      .Stored(&TGraphCustomShape::IsTransparentStored);
}
