#include "chart/extra/shape_series.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/value_lists.h"
#include "platform/exceptions.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

const TEnumInfo ChartShapeStyleInfo("TChartShapeStyle",
                                    {"chasRectangle", "chasCircle", "chasVertLine", "chasHorizLine", "chasTriangle",
                                     "chasInvertTriangle", "chasLine", "chasDiamond", "chasCube", "chasCross",
                                     "chasDiagCross", "chasStar", "chasPyramid", "chasInvertPyramid"});
const TEnumInfo ChartShapeXYStyleInfo("TChartShapeXYStyle", {"xysPixels", "xysAxis", "xysAxisOrigin"});
const TEnumInfo GraphVertAlignInfo("TGraphVertAlign", {"vaTop", "vaCenter", "vaBottom"});

VM_PUBLISH(TChartShape) {
  using S = TChartShape;
  P.Enum("Alignment", &S::Alignment, &S::SetAlignment, AlignmentInfo).Default(taCenter);
  P.Object("Brush", &S::Brush, &S::SetBrush);
  P.Object("Font", &S::Font, &S::SetFont);
  P.Object("Gradient", &S::Gradient, &S::SetGradient);
  P.Object("Pen", &S::Pen, &S::SetPen);
  P.Bool("RoundRectangle", &S::RoundRectangle, &S::SetRoundRectangle).Default(false);
  P.Enum("Style", &S::Style, &S::SetStyle, ChartShapeStyleInfo).Default(chasCircle);
  P.Strings("Text", &S::Text);
  P.Bool("Transparent", &S::Transparent, &S::SetTransparent).Default(false);
  P.Enum("VertAlign", &S::VertAlign, &S::SetVertAlign, GraphVertAlignInfo).Default(vaCenter);
  P.Enum("XYStyle", &S::XYStyle, &S::SetXYStyle, ChartShapeXYStyleInfo).Default(xysAxis);
}

namespace {
int R(double V) { return static_cast<int>(std::nearbyint(V)); }
}  // namespace

TChartShape::TChartShape(TComponent* AOwner) : TChartSeries(AOwner) {
  const TNotifyEvent changed = [this](TObject*) { Repaint(); };
  SetCalcVisiblePoints(false);
  Brush()->SetColor(clWhite);
  FText = std::make_unique<TStringList>();
  FText->OnChange = changed;
  FFont = std::make_unique<TGraphFont>(changed);
  FGradient = std::make_unique<TGraphGradient>(changed);
  TChartSeries::SetSeriesColor(Brush()->Color());
  AddXY(0, 0);
  AddXY(100, 100);
}

TChartShape::~TChartShape() = default;

void TChartShape::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TChartShape*>(Source)) {
    FAlignment = s->FAlignment;
    FFont->Assign(s->FFont.get());
    FGradient->Assign(s->FGradient.get());
    FRoundRectangle = s->FRoundRectangle;
    FStyle = s->FStyle;
    FText->Assign(*s->FText);
    FTransparent = s->FTransparent;
    FVertAlign = s->FVertAlign;
    FXYStyle = s->FXYStyle;
  }
  TChartSeries::Assign(Source);
}

void TChartShape::SetStyle(TChartShapeStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Repaint();
}

void TChartShape::SetXYStyle(TChartShapeXYStyle Value) {
  if (FXYStyle == Value) return;
  FXYStyle = Value;
  Repaint();
}

void TChartShape::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Repaint();
}

void TChartShape::SetVertAlign(TGraphVertAlign Value) {
  if (FVertAlign == Value) return;
  FVertAlign = Value;
  Repaint();
}

void TChartShape::SetText(TStrings* Value) {
  if (Value) FText->Assign(*Value);
}

void TChartShape::SetSeriesColor(TColor Value) {
  TChartSeries::SetSeriesColor(Value);
  Brush()->SetColor(Value);
}

double TChartShape::Corner(int Index, bool X) const {
  if (PointCount() <= Index) throw ERangeError("Range check error");
  return X ? XValues()->Value(Index) : YValues()->Value(Index);
}

void TChartShape::SetCorner(int Index, bool X, double Value) {
  if (PointCount() <= Index) throw ERangeError("Range check error");
  (X ? XValues() : YValues())->SetValue(Index, Value);
  DataIsOwn = true;
  Repaint();
}

void TChartShape::AssignZOrder() {
  if (UsesAxes()) TChartSeries::AssignZOrder();
}

// ---- geometry ----------------------------------------------------------------------------------------

void TChartShape::GetShapeRectangle(TRect& Rect) {
  switch (FXYStyle) {
    case xysPixels:
      Rect = TRect(static_cast<int>(X0()), static_cast<int>(Y0()), static_cast<int>(X1()), static_cast<int>(Y1()));
      break;
    case xysAxis:
      Rect = TRect(ScreenXAt(0), ScreenYAt(0), ScreenXAt(1), ScreenYAt(1));
      break;
    case xysAxisOrigin:
      Rect.Left = ScreenXAt(0);
      Rect.Top = ScreenYAt(0);
      Rect.Right = Rect.Left + static_cast<int>(X1());
      Rect.Bottom = Rect.Top + static_cast<int>(Y1());
      break;
  }
}

TRect TChartShape::DrawingRect() {
  TRect r;
  GetShapeRectangle(r);
  r = OrientedRect(r);
  if (r.Right == r.Left) ++r.Right;
  if (r.Bottom == r.Top) ++r.Bottom;
  return r;
}

// ---- drawing ---------------------------------------------------------------------------------------

void TChartShape::GradientStep(bool Is3D, const TRect& Rect, bool Circle) {
  if (FTransparent || !FGradient->Visible()) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  const TRect area = Is3D ? c->ProjectRect(Rect, MiddleZ) : Rect;
  if (Circle) c->ClipEllipse(area);
  FGradient->Draw(c, area);
  if (Circle) c->UnClipRectangle();
  c->Brush->SetStyle(bsClear);
}

void TChartShape::DrawShape(bool Is3D, const TRect& r, const TRect& u) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const int z = MiddleZ;
  const TPoint m((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  c->AssignVisiblePen(Pen());
  if (FTransparent)
    c->Brush->SetStyle(bsClear);
  else
    c->AssignBrush(Brush(), SeriesColor());
  c->SetBackMode(FTransparent || Brush()->Color() == clNone ? cbmTransparent : cbmOpaque);
  auto line = [&](int X0, int Y0, int X1, int Y1) {
    if (Is3D)
      c->LineWithZ(X0, Y0, X1, Y1, z);
    else
      c->Line(X0, Y0, X1, Y1);
  };
  auto polygon = [&](std::initializer_list<TPoint> P) {
    const std::vector<TPoint> pts(P);
    if (Is3D)
      c->PolygonWithZ(pts, z);
    else
      c->Polygon(pts);
  };
  auto cross = [&] {
    line(m.X, r.Top, m.X, r.Bottom + 1);
    line(r.Left, m.Y, r.Right + 1, m.Y);
  };
  auto diagCross = [&] {
    line(r.Left, r.Top, r.Right + 1, r.Bottom + 1);
    line(r.Left, r.Bottom, r.Right + 1, r.Top - 1);
  };
  switch (FStyle) {
    case chasRectangle:
      if (!Is3D && FRoundRectangle) {
        c->RoundRect(r.Left, r.Top, r.Right, r.Bottom, 12, 12);
        break;
      }
      GradientStep(Is3D, r, false);
      if (Is3D)
        c->RectangleWithZ(r, z);
      else
        c->Rectangle(r.Left, r.Top, r.Right + 1, r.Bottom + 1);
      break;
    case chasCircle:
      GradientStep(Is3D, r, true);
      if (Is3D)
        c->EllipseWithZ(r.Left, r.Top, r.Right, r.Bottom, z);
      else
        c->Ellipse(r.Left, r.Top, r.Right, r.Bottom);
      break;
    case chasVertLine:
      if (Is3D)
        c->VertLine3D(m.X, r.Top, r.Bottom, z);
      else
        c->Line(m.X, r.Top, m.X, r.Bottom);
      break;
    case chasHorizLine:
      if (Is3D)
        c->HorizLine3D(r.Left, r.Right, m.Y, z);
      else
        c->Line(r.Left, m.Y, r.Right + 1, m.Y);
      break;
    case chasTriangle:
      polygon({TPoint(r.Left, r.Bottom), TPoint(m.X, r.Top), TPoint(r.Right, r.Bottom)});
      break;
    case chasInvertTriangle:
      polygon({TPoint(r.Left, r.Top), TPoint(m.X, r.Bottom), TPoint(r.Right, r.Top)});
      break;
    case chasLine:
      line(u.Left, u.Top, u.Right, u.Bottom);
      break;
    case chasDiamond:
      polygon({TPoint(r.Left, m.Y), TPoint(m.X, r.Top), TPoint(r.Right, m.Y), TPoint(m.X, r.Bottom)});
      break;
    case chasCube:
      if (Is3D)
        c->Cube(r.Left, r.Right, r.Top, r.Bottom, StartZ, EndZ, !FTransparent);
      else
        c->Rectangle(r.Left, r.Top, r.Right + 1, r.Bottom + 1);
      break;
    case chasCross:
      cross();
      break;
    case chasDiagCross:
      diagCross();
      break;
    case chasStar:
      cross();
      diagCross();
      break;
    case chasPyramid:
      if (Is3D)
        c->Pyramid(true, r.Left, r.Top, r.Right, r.Bottom, StartZ, EndZ, !FTransparent);
      else
        polygon({TPoint(r.Left, r.Bottom), TPoint(m.X, r.Top), TPoint(r.Right, r.Bottom)});
      break;
    case chasInvertPyramid:
      if (Is3D)
        c->Pyramid(true, r.Left, r.Bottom, r.Right, r.Top, StartZ, EndZ, !FTransparent);
      else
        polygon({TPoint(r.Left, r.Top), TPoint(m.X, r.Bottom), TPoint(r.Right, r.Top)});
      break;
  }
}

void TChartShape::DrawText(bool Is3D, const TRect& r) {
  const int lines = FText->Count();
  if (lines == 0) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->AssignFont(FFont.get());
  const TColor brush = FTransparent ? clNone : SeriesColor();
  if (brush == FFont->Color()) c->Font->SetColor(FFont->Color() == clBlack ? clWhite : clBlack);
  const int h = c->FontHeight();
  const int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
  int y = FVertAlign == vaTop ? r.Top : FVertAlign == vaCenter ? cy - R(lines * h / 2.0) : r.Bottom - lines * h;
  const int pen = Pen()->Visible() ? Pen()->Width() : 0;
  c->SetBackMode(cbmTransparent);
  c->SetTextAlign(TA_LEFT);
  for (int i = 0; i < lines; ++i) {
    const std::string& t = FText->Strings(i);
    const int w = c->TextWidth(t);
    const int x = FAlignment == taLeftJustify ? r.Left + pen + 4
                  : FAlignment == taCenter    ? cx - w / 2
                                              : r.Right - pen - w - 4;
    if (Is3D)
      c->TextOut3D(x, y, StartZ, t);
    else
      c->TextOut(x, y, t);
    y += h;
  }
}

void TChartShape::DrawOneValue(int32_t ValueIndex) {
  if (ValueIndex != 0 || PointCount() != 2) return;
  const TRect r = DrawingRect();
  const TRect& chart = FParentChart->ChartRect;
  if (r.Right < chart.Left || r.Left > chart.Right || r.Bottom < chart.Top || r.Top > chart.Bottom) return;
  TRect u;
  GetShapeRectangle(u);
  const bool is3D = series_link::View3D(FParentChart) && FXYStyle != xysPixels;
  DrawShape(is3D, r, u);
  DrawText(is3D && FXYStyle != xysPixels, r);
}

void TChartShape::FillLegendSymbol(int32_t, const TRect& Rect) {
  if (!FParentChart) return;
  TRect u = Rect;
  DrawShape(false, OrientedRect(Rect), u);
}

// ---- clicks, variants, samples ------------------------------------------------------------------------

int32_t TChartShape::PointIndexAt(int32_t X, int32_t Y) {
  if (PointCount() != 2) return -1;
  if (FParentChart) FParentChart->Canvas->Calculate2DPosition(X, Y, StartZ);
  TRect s;
  GetShapeRectangle(s);
  const TPoint p(X, Y), m((s.Left + s.Right) / 2, (s.Top + s.Bottom) / 2);
  const TRect o = OrientedRect(s);
  bool hit;
  switch (FStyle) {
    case chasCircle:
      hit = PointInEllipseRect(p, o);
      break;
    case chasVertLine:
      hit = PointInLineCoords(p, m.X, s.Top, m.X, s.Bottom);
      break;
    case chasHorizLine:
      hit = PointInLineCoords(p, s.Left, m.Y, s.Right, m.Y);
      break;
    case chasTriangle:
    case chasPyramid:
      hit = PointInTriangle(p, o.Left, o.Right, o.Bottom, o.Top);
      break;
    case chasInvertTriangle:
    case chasInvertPyramid:
      hit = PointInTriangle(p, o.Left, o.Right, o.Top, o.Bottom);
      break;
    case chasLine:
      hit = PointInLineCoords(p, s.Left, s.Top, s.Right, s.Bottom);
      break;
    case chasDiamond: {
      const TPoint d[4] = {TPoint(m.X, s.Top), TPoint(s.Right, m.Y), TPoint(m.X, s.Bottom), TPoint(s.Left, m.Y)};
      hit = PointInPolygon(p, d, 3);
      break;
    }
    default:
      hit = PointInRectXY(o, X, Y);
  }
  return hit ? 0 : -1;
}

void TChartShape::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TChartSeries::ListStyleVariants(AddStyle);
  for (const std::string* t :
       {&MsgStyleRectangle, &MsgStyleVertLine, &MsgStyleHorizLine, &MsgStyleEllipse, &MsgStyleDownTri, &MsgStyleLine,
        &MsgStyleDiamond, &MsgStyleCube, &MsgStyleCross, &MsgStyleDiagCross, &MsgStyleStar, &MsgStylePyramid,
        &MsgStyleInvPyramid, &MsgStyleHollow})
    AddStyle(*t);
}

void TChartShape::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TChartShape*>(Target);
  if (!s) return;
  static const TChartShapeStyle styles[] = {
      chasRectangle, chasVertLine, chasHorizLine, chasCircle, chasInvertTriangle, chasLine,         chasDiamond,
      chasCube,      chasCross,    chasDiagCross, chasStar,   chasPyramid,        chasInvertPyramid};
  if (Index >= 1 && Index <= 13)
    s->SetStyle(styles[Index - 1]);
  else if (Index == 14)
    s->SetTransparent(!s->Transparent());
}

void TChartShape::AddRandomPoints(int32_t, bool) {
  TRandomPointBounds b;
  CalcRandomBounds(1, b);
  if (b.StepX == 0) {
    AddXY(0, 0);
    AddXY(100, 100);
    return;
  }
  AddXY(b.StartX + b.StepX / 8, b.tmpY / 2);
  AddXY(b.StartX + b.StepX - b.StepX / 8, b.tmpY + RandomInteger(R(b.DifY)));
}

void TChartShape::MakeGalleryThumbnail(bool Coloured) {
  TChartSeries::MakeGalleryThumbnail(Coloured);
  FFont->SetColor(Coloured ? static_cast<TColor>(0x00FFFF) : static_cast<TColor>(0x808080));
  FFont->SetStyle(TFontStyles{fsBold});
  FFont->SetSize(12);
  FText->Clear();
  const bool second = FParentChart && series_link::SeriesIndex(FParentChart, this) == 1;
  SetStyle(second ? chasCircle : chasTriangle);
  SetSeriesColor(Coloured ? (second ? clBlue : clRed) : clSilver);
  FText->Add(second ? MsgSampleAbc : MsgSample123);
}

bool TChartShape::AcceptsSourceSeries(TChartSeries* Source) { return dynamic_cast<TChartShape*>(Source); }

// =============================================================================================

void RegisterShapeSeries() { RegisterSeriesType(TChartShape::StaticClass(), &MsgGalleryShape, &MsgPageStandard, 2); }

void UnregisterShapeSeries() { UnregisterSeriesTypes({TChartShape::StaticClass()}); }
