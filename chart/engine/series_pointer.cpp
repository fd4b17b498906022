#include "chart/engine/series_pointer.h"

#include <array>

#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_blend.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/series_base.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"

const TEnumInfo SeriesPointerStyleInfo("TSeriesPointerStyle",
                                       {"psRectangle", "psCircle", "psTriangle", "psDownTriangle", "psCross",
                                        "psDiagCross", "psStar", "psDiamond", "psSmallDot", "psNothing",
                                        "psLeftTriangle", "psRightTriangle"});
const TEnumInfo ArrowHeadStyleInfo("TArrowHeadStyle", {"ahNone", "ahLine", "ahSolid"});

// =============================================================================================
// TSeriesPointer

VM_PUBLISH(TSeriesPointer) {
  P.Object("Brush", &TSeriesPointer::Brush, &TSeriesPointer::SetBrush);
  P.Bool("Dark3D", &TSeriesPointer::Dark3D, &TSeriesPointer::SetDark3D).Default(true);
  P.Bool("Draw3D", &TSeriesPointer::Draw3D, &TSeriesPointer::SetDraw3D).Default(true);
  P.Object("Gradient", &TSeriesPointer::Gradient, &TSeriesPointer::SetGradient);
  P.Int("HorizSize", &TSeriesPointer::HorizSize, &TSeriesPointer::SetHorizSize).Default(4);
  P.Bool("InflateMargins", &TSeriesPointer::InflateMargins, &TSeriesPointer::SetInflateMargins).Default(true);
  P.Object("Pen", &TSeriesPointer::Pen, &TSeriesPointer::SetPen);
  P.Enum("Style", &TSeriesPointer::Style, &TSeriesPointer::SetStyle, SeriesPointerStyleInfo).Default(psRectangle);
  P.Int("Transparency", &TSeriesPointer::Transparency, &TSeriesPointer::SetTransparency).Default(0);
  P.Int("VertSize", &TSeriesPointer::VertSize, &TSeriesPointer::SetVertSize).Default(4);
  P.Bool("Visible", &TSeriesPointer::Visible, &TSeriesPointer::SetVisible).Default(true);
}

TSeriesPointer::TSeriesPointer(TChartSeries* AOwner) : TSeriesPointer(AOwner, TChartBrush::StaticClass()) {}

TSeriesPointer::TSeriesPointer(TChartSeries* AOwner, TChartBrushClass BrushClass)
    : TGraphCustomShapeBrushPen(BrushClass), OwnerSeries(AOwner) {
  FGradient = std::make_unique<TGraphGradient>(ChangeHandler());
  if (AOwner && AOwner->ParentChart()) SetParentChart(series_link::ShapeParent(AOwner->ParentChart()));
}

TSeriesPointer::~TSeriesPointer() = default;

void TSeriesPointer::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TSeriesPointer*>(Source)) {
    FDark3D = p->FDark3D;
    FDraw3D = p->FDraw3D;
    FGradient->Assign(p->FGradient.get());
    FHorizSize = p->FHorizSize;
    FInflateMargins = p->FInflateMargins;
    FStyle = p->FStyle;
    FTransparency = p->FTransparency;
    FVertSize = p->FVertSize;
  }
  TGraphCustomShapeBrushPen::Assign(Source);
}

void TSeriesPointer::CheckSize(int32_t Value) {
  if (Value <= 0) throw ChartException(ErrPointerSize);
}

namespace {
template <class T>
void StoreAndRepaint(TSeriesPointer* P, T& Field, T Value) {
  if (Field != Value) {
    Field = Value;
    P->Repaint();
  }
}
}  // namespace

void TSeriesPointer::SetHorizSize(int32_t Value) {
  CheckSize(Value);
  StoreAndRepaint(this, FHorizSize, Value);
}
void TSeriesPointer::SetVertSize(int32_t Value) {
  CheckSize(Value);
  StoreAndRepaint(this, FVertSize, Value);
}
void TSeriesPointer::SetStyle(TSeriesPointerStyle Value) { StoreAndRepaint(this, FStyle, Value); }
void TSeriesPointer::SetDraw3D(bool Value) { StoreAndRepaint(this, FDraw3D, Value); }
void TSeriesPointer::SetDark3D(bool Value) { StoreAndRepaint(this, FDark3D, Value); }
void TSeriesPointer::SetInflateMargins(bool Value) { StoreAndRepaint(this, FInflateMargins, Value); }
void TSeriesPointer::SetTransparency(int32_t Value) { StoreAndRepaint(this, FTransparency, Value); }
TColor TSeriesPointer::GetColor() const { return Brush()->Color(); }
void TSeriesPointer::SetColor(TColor Value) { Brush()->SetColor(Value); }

void TSeriesPointer::WidenHorizMargins(int32_t& Left, int32_t& Right) const {
  if (Visible() && FInflateMargins) {
    Left = std::max(Left, FHorizSize + 1);
    Right = std::max(Right, FHorizSize + 1);
  }
}

void TSeriesPointer::WidenVertMargins(int32_t& Top, int32_t& Bottom) const {
  if (Visible() && FInflateMargins) {
    Top = std::max(Top, FVertSize + 1);
    Bottom = std::max(Bottom, FVertSize + 1);
  }
}

TCanvas3D* TSeriesPointer::ChartCanvas() const { return ParentChart() ? ParentChart()->ShapeCanvas() : nullptr; }

bool TSeriesPointer::ChartIs3D() const {
  return OwnerSeries && OwnerSeries->ParentChart() && series_link::View3D(OwnerSeries->ParentChart());
}

void TSeriesPointer::Depths(int& Z0, int& ZM, int& Z1) const {
  if (OwnerSeries) {
    Z0 = OwnerSeries->StartZ;
    ZM = OwnerSeries->MiddleZ;
    Z1 = OwnerSeries->EndZ;
  } else {
    Z0 = ZM = Z1 = 0;
  }
}

void TSeriesPointer::SetUpCanvas(TCanvas3D* Canvas, TColor ColorValue) {
  if (Pen()->Visible()) {
    if (Pen()->Color() != clDefault)
      Canvas->AssignVisiblePen(Pen());
    else
      Canvas->AssignVisiblePenColor(Pen(), ColorValue);
  } else {
    Canvas->Pen->SetStyle(psClear);
  }
  TColor c = Brush()->Color();
  if (c == clDefault) c = Brush()->Style() == bsSolid ? ColorValue : clBlack;
  Canvas->AssignBrushColor(Brush(), c, ColorValue);
}

void TSeriesPointer::SetUpCanvasOwnColor() {
  if (TCanvas3D* c = ChartCanvas()) SetUpCanvas(c, Brush()->Color());
}

void TSeriesPointer::DrawPointerShape(TCanvas3D* Canvas, bool Is3D, int X, int Y, int H, int V, TColor ColorValue,
                                      TSeriesPointerStyle AStyle) {
  const int left = X - H, right = X + H, top = Y - V, bottom = Y + V;
  int z0, zm, z1;
  Depths(z0, zm, z1);
  TGraphBlend* blend = nullptr;
  if (FTransparency > 0) {
    TRect area{left, top, right + 1, bottom + 1};
    if (AStyle == psRectangle && Is3D && FDraw3D && Canvas->IsOrthogonal) {
      area.Right += z1 - z0;
      area.Top -= z1 - z0;
    }
    blend = Canvas->BeginBlending(Is3D ? Canvas->ProjectedBounds(area, z0) : area, FTransparency);
  }
  auto poly = [&](std::initializer_list<TPoint> pts) {
    std::vector<TPoint> p(pts);
    if (Is3D)
      Canvas->PolygonWithZ(p, z0);
    else
      Canvas->Polygon(p);
  };
  auto line = [&](int x0, int y0, int x1, int y1) {
    if (Is3D)
      Canvas->LineWithZ(x0, y0, x1, y1, z0);
    else
      Canvas->Line(x0, y0, x1, y1);
  };
  auto cross = [&] {
    line(X, top, X, bottom + 1);
    line(left, Y, right + 1, Y);
  };
  auto diagCross = [&] {
    line(left, top, right + 1, bottom + 1);
    line(right, top, left - 1, bottom + 1);
  };
  switch (AStyle) {
    case psRectangle:
      if (!Is3D)
        Canvas->Rectangle(left, top, right + 1, bottom + 1);
      else if (FDraw3D)
        Canvas->Cube(left, right, top, bottom, z0, z1, FDark3D);
      else
        Canvas->RectangleWithZ(TRect{left, top, right + 1, bottom + 1}, z0);
      break;
    case psCircle:
      if (!Is3D)
        Canvas->Ellipse(left, top, right, bottom);
      else if (FDraw3D && Canvas->SupportsFullRotation())
        Canvas->Sphere(X, Y, zm, H);
      else
        Canvas->EllipseWithZ(left, top, right, bottom, z0);
      break;
    case psTriangle:
    case psDownTriangle: {
      const int a = AStyle == psTriangle ? V : -V;
      if (Is3D && FDraw3D)
        Canvas->Pyramid(true, left, Y - a, right, Y + a, z0, z1, FDark3D);
      else
        poly({TPoint{left, Y + a}, TPoint{right, Y + a}, TPoint{X, Y - a}});
      break;
    }
    case psCross:
      cross();
      break;
    case psDiagCross:
      diagCross();
      break;
    case psStar:
      cross();
      diagCross();
      break;
    case psDiamond:
      poly({TPoint{left, Y}, TPoint{X, top}, TPoint{right, Y}, TPoint{X, bottom}});
      break;
    case psSmallDot:
      if (Is3D)
        Canvas->SetPixel3D(X, Y, zm, Canvas->Brush->Color());
      else
        Canvas->SetPixel(X, Y, Canvas->Brush->Color());
      break;
    case psNothing:
      break;
    case psLeftTriangle:
      poly({TPoint{left, Y}, TPoint{right, bottom}, TPoint{right, top}});
      break;
    case psRightTriangle:
      poly({TPoint{right, Y}, TPoint{left, bottom}, TPoint{left, top}});
      break;
  }
  if (FGradient->Visible()) FillGradient(Canvas, Is3D, left, top, right, bottom, X, Y, ColorValue, AStyle, z0);
  if (blend) Canvas->EndBlending(blend);
}

void TSeriesPointer::FillGradient(TCanvas3D* Canvas, bool Is3D, int Left, int Top, int Right, int Bottom, int X, int Y,
                                  TColor ColorValue, TSeriesPointerStyle AStyle, int Z0) {
  const int pw = Pen()->Visible() ? Pen()->Width() : 0;
  TRect area{Left + pw, Top + pw, Right, Bottom};
  if (!KeepGradientColor) {
    TCustomAxisPanel* chart = OwnerSeries ? OwnerSeries->ParentChart() : nullptr;
    const bool old = chart ? series_link::AutoRepaint(chart) : false;
    if (chart) series_link::SetAutoRepaint(chart, false);
    FGradient->SetEndColor(ColorValue);
    if (chart) series_link::SetAutoRepaint(chart, old);
  }
  if (!Is3D || Canvas->IsOrthogonal || AStyle != psRectangle) {
    if (Is3D) area = Canvas->ProjectRect(area, Z0);
    auto fillPolygon = [&](std::vector<TPoint> pts) {
      TRect b{pts[0].X, pts[0].Y, pts[0].X, pts[0].Y};
      for (const TPoint& p : pts) {
        b.Left = std::min(b.Left, p.X);
        b.Top = std::min(b.Top, p.Y);
        b.Right = std::max(b.Right, p.X);
        b.Bottom = std::max(b.Bottom, p.Y);
      }
      Canvas->ClipPolygon(pts, static_cast<int>(pts.size()));
      FGradient->Draw(Canvas, b);
      Canvas->UnClipRectangle();
    };
    switch (AStyle) {
      case psRectangle:
        Canvas->ClipRectangle(area);
        FGradient->Draw(Canvas, area);
        Canvas->UnClipRectangle();
        break;
      case psCircle:
        Canvas->ClipEllipse(area);
        FGradient->Draw(Canvas, area);
        Canvas->UnClipRectangle();
        break;
      case psLeftTriangle:
        fillPolygon({TPoint{area.Left, Y}, TPoint{area.Right, area.Bottom}, TPoint{area.Right, area.Top}});
        break;
      case psRightTriangle:
        fillPolygon({TPoint{area.Right, Y}, TPoint{area.Left, area.Bottom}, TPoint{area.Left, area.Top}});
        break;
      case psTriangle:
      case psDownTriangle:
        if (!FDraw3D) {
          const int a = AStyle == psTriangle ? (area.Bottom - area.Top) / 2 : -(area.Bottom - area.Top) / 2;
          const int cy = (area.Top + area.Bottom) / 2;
          fillPolygon(
              {TPoint{area.Left, cy + a}, TPoint{area.Right, cy + a}, TPoint{(area.Left + area.Right) / 2, cy - a}});
        }
        break;
      case psDiamond:
        FGradient->DrawQuad(Canvas, TQuadPoints{TPoint{Left, Y}, TPoint{X, Top}, TPoint{Right, Y}, TPoint{X, Bottom}});
        break;
      default:
        break;
    }
  } else {
    area.Right -= pw;
    area.Bottom -= pw;
    FGradient->DrawRect3D(Canvas, Canvas->ProjectRectCorners(area, Z0), Z0);
  }
}

void TSeriesPointer::DrawAt(int X, int Y) { DrawStyledAt(X, Y, Brush()->Color(), FStyle); }

void TSeriesPointer::DrawStyledAt(int X, int Y, TColor Color, TSeriesPointerStyle AStyle) {
  if (TCanvas3D* c = ChartCanvas()) DrawPointerShape(c, ChartIs3D(), X, Y, FHorizSize, FVertSize, Color, AStyle);
}

// =============================================================================================
// TCallout

VM_PUBLISH(TCallout) {
  P.Object("Arrow", &TCallout::Arrow, &TCallout::SetArrow);
  P.Enum("ArrowHead", &TCallout::ArrowHead, &TCallout::SetArrowHead, ArrowHeadStyleInfo).Default(ahNone);
  P.Int("ArrowHeadSize", &TCallout::ArrowHeadSize, &TCallout::SetArrowHeadSize).Default(8);
  P.Int("Distance", &TCallout::Distance, &TCallout::SetDistance).Default(0);
  P.Bool("Draw3D", &TCallout::Draw3D, &TCallout::SetDraw3D).Default(false);
}

VM_PUBLISH(TCalloutBrush) { P.Int("Color", &TBrush::Color, &TBrush::SetColor).Default(clBlack).Idents(ColorIdents); }

TCalloutBrush::TCalloutBrush(const TNotifyEvent& OnChangeEvent) : TChartBrush(OnChangeEvent) { SetColor(clBlack); }

TCallout::TCallout(TChartSeries* AOwner) : TSeriesPointer(AOwner, TCalloutBrush::StaticClass()) {
  FArrow = std::make_unique<TWhitePen>(ChangeHandler());
  FDraw3D = false;
  KeepGradientColor = true;
}

TCallout::~TCallout() = default;

void TCallout::Assign(TPersistent* Source) {
  if (auto* c = dynamic_cast<TCallout*>(Source)) {
    FDistance = c->FDistance;
    FArrow->Assign(c->FArrow.get());
    FArrowHead = c->FArrowHead;
    FArrowHeadSize = c->FArrowHeadSize;
  }
  TSeriesPointer::Assign(Source);
}

void TCallout::SetArrowHead(TArrowHeadStyle Value) {
  if (FArrowHead != Value) {
    FArrowHead = Value;
    Repaint();
  }
}
void TCallout::SetArrowHeadSize(int32_t Value) {
  if (FArrowHeadSize != Value) {
    FArrowHeadSize = Value;
    Repaint();
  }
}
void TCallout::SetDistance(int32_t Value) {
  if (FDistance != Value) {
    FDistance = Value;
    Repaint();
  }
}

void TCallout::DrawCallout(TColor ColorValue, const TPoint& PointA, const TPoint& PointB, int Z) {
  TCanvas3D* c = ChartCanvas();
  if (!c) return;
  const bool is3D = ChartIs3D();
  if (FArrow->Visible()) {
    SetUpCanvasOwnColor();
    c->AssignVisiblePen(FArrow.get());
    if (FArrowHead == ahLine || FArrowHead == ahSolid) {
      c->Arrow(FArrowHead == ahSolid, PointB, PointA, FArrowHeadSize, FArrowHeadSize, Z);
    } else if (is3D) {
      c->LineWithZ(PointA.X, PointA.Y, PointB.X, PointB.Y, Z);
    } else {
      c->Line(PointA.X, PointA.Y, PointB.X, PointB.Y);
    }
  }
  if (FArrowHead == ahNone && Visible()) {
    SetUpCanvasOwnColor();
    TPoint p = is3D ? c->ProjectPoint(PointA, Z) : PointA;
    DrawPointerShape(c, false, p.X, p.Y, FHorizSize, FVertSize, Brush()->Color(), FStyle);
  }
  (void)ColorValue;
}

// =============================================================================================
// TMarksCallout

VM_PUBLISH(TMarksCallout) {
  P.Int("Length", &TMarksCallout::Length, &TMarksCallout::SetLength).Stored([](TObject* o) {
    auto* c = static_cast<TMarksCallout*>(o);
    return c->Length() != c->DefaultLength;
  });
  P.Bool("Visible", &TMarksCallout::Visible, &TMarksCallout::SetVisible).Default(false);
}

TMarksCallout::TMarksCallout(TChartSeries* AOwner) : TCallout(AOwner) {
  SetVisible(false);
  FArrow->SetColor(clWhite);
}

void TMarksCallout::Assign(TPersistent* Source) {
  if (auto* c = dynamic_cast<TMarksCallout*>(Source)) FLength = c->FLength;
  TCallout::Assign(Source);
}

void TMarksCallout::SetLength(int32_t Value) {
  if (OwnerSeries)
    OwnerSeries->SetIntegerProperty(FLength, Value);
  else
    FLength = Value;
}

void TMarksCallout::ApplyLength(TSeriesMarkPosition& Position) const {
  const int d = FLength + FDistance;
  Position.LeftTop.Y -= d;
  Position.ArrowEnd.Y -= d;
  Position.ArrowStart.Y -= FDistance;
}
