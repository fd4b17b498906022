#include "chart/extra/vector_tower_series.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_blend.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/surface_series.h"

namespace {
// Arrow heads of absurd sizes (from a damaged file) stay within the pixel range.
int32_t Round(double V) { return static_cast<int32_t>(std::clamp(std::nearbyint(V), -1e8, 1e8)); }
const TEnumInfo TowerStyleInfo{
    "TTowerStyle", {"tsCube", "tsRectangle", "tsCover", "tsCylinder", "tsArrow", "tsCone", "tsPyramid", "tsSlantCube"}};
}  // namespace

// ---------------------------------------------------------------------------------------------
// Vectors

VM_PUBLISH(TVector3DSeries) {
  using S = TVector3DSeries;
  P.Int("ArrowHeight", &S::ArrowHeight, &S::SetArrowHeight).Default(4);
  P.Int("ArrowWidth", &S::ArrowWidth, &S::SetArrowWidth).Default(4);
  P.Object("EndArrow", &S::EndArrow, &S::SetEndArrow);
  P.Object("EndXValues", &S::EndXValues, &S::SetEndXValues);
  P.Object("EndYValues", &S::EndYValues, &S::SetEndYValues);
  P.Object("EndZValues", &S::EndZValues, &S::SetEndZValues);
  P.Object("StartArrow", &S::StartArrow, &S::SetStartArrow);
}

TVector3DSeries::TVector3DSeries(TComponent* AOwner) : TCustom3DPaletteSeries(AOwner) {
  FEndXValues = new TChartValueList(this, "EndX");
  FEndYValues = new TChartValueList(this, "EndY");
  FEndZValues = new TChartValueList(this, "EndZ");
  auto changed = [this](TObject* Sender) { PenBrushChanged(Sender); };
  FStartArrow = std::make_unique<TChartHiddenPen>(changed);
  FStartArrow->SetColor(clAutoColor);
  FEndArrow = std::make_unique<TChartPen>(changed);
  FEndArrow->SetColor(clAutoColor);
  SetCalcVisiblePoints(false);
  XValues()->SetOrder(loNone);
}

TVector3DSeries::~TVector3DSeries() = default;

int32_t TVector3DSeries::AddVector(double X0, double Y0, double Z0, double X1, double Y1, double Z1,
                                   const std::string& Label, TColor Color) {
  FEndXValues->PendingValue = X1;
  FEndYValues->PendingValue = Y1;
  FEndZValues->PendingValue = Z1;
  return AddXYZPoint(X0, Y0, Z0, Label, Color);
}

void TVector3DSeries::DrawOneValue(int32_t ValueIndex) {
  if (!FParentChart) return;
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  const TColor colour = PointColorAt(ValueIndex);
  c->SetBackMode(cbmTransparent);
  c->AssignVisiblePenColor(Pen(), colour);
  const int32_t x0 = ScreenXAt(ValueIndex), y0 = ScreenYAt(ValueIndex), z0 = DepthPositionAt(ValueIndex);
  const int32_t x1 = GetHorizAxis()->ValueToPixel(FEndXValues->Value(ValueIndex));
  const int32_t y1 = GetVertAxis()->ValueToPixel(FEndYValues->Value(ValueIndex));
  const int32_t z1 = FParentChart->DepthAxis()->ValueToPixel(FEndZValues->Value(ValueIndex));
  c->MoveTo3D(x0, y0, z0);
  c->LineTo3D(x1, y1, z1);
  if (!FStartArrow->Visible() && !FEndArrow->Visible()) return;
  const TPoint a = c->Calculate3DPosition(x0, y0, z0), b = c->Calculate3DPosition(x1, y1, z1);
  const double phi = std::atan2(a.Y - b.Y, b.X - a.X);
  const double s = std::sin(phi), co = std::cos(phi), W = FArrowWidth, H = FArrowHeight;
  auto head = [&](TChartPen* ArrowPen, int32_t PX, int32_t PY, int32_t PZ) {
    c->AssignVisiblePenColor(ArrowPen, ArrowPen->Color() == clAutoColor ? colour : ArrowPen->Color());
    c->MoveTo3D(PX - Round(W * co + H * s), PY + Round(W * s - H * co), PZ);
    c->LineTo3D(PX, PY, PZ);
    c->LineTo3D(PX + Round(H * s - W * co), PY + Round(W * s + H * co), PZ);
  };
  if (FStartArrow->Visible()) head(FStartArrow.get(), x0, y0, z0);
  if (FEndArrow->Visible()) head(FEndArrow.get(), x1, y1, z1);
}

double TVector3DSeries::HighestX() { return std::max(XValues()->MaxValue(), FEndXValues->MaxValue()); }
double TVector3DSeries::HighestY() { return std::max(YValues()->MaxValue(), FEndYValues->MaxValue()); }
double TVector3DSeries::HighestZ() { return std::max(FZValues->MaxValue(), FEndZValues->MaxValue()); }
double TVector3DSeries::LowestX() { return std::min(XValues()->MinValue(), FEndXValues->MinValue()); }
double TVector3DSeries::LowestY() { return std::min(YValues()->MinValue(), FEndYValues->MinValue()); }
double TVector3DSeries::LowestZ() { return std::min(FZValues->MinValue(), FEndZValues->MinValue()); }

void TVector3DSeries::AddRandomPoints(int32_t Count, bool) {
  for (int32_t i = 0; i < Count; ++i) {
    const double a = i * 8 * M_PI / Count, s = std::sin(a), c = std::cos(a);
    AddVector(i + s, i, c, i + 2 * s, i + 0.6 * Count * c * s, (1 + i) * c);
  }
}

bool TVector3DSeries::AcceptsSourceSeries(TChartSeries* Source) {
  return dynamic_cast<TVector3DSeries*>(Source) != nullptr;
}

void TVector3DSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TVector3DSeries*>(Source)) {
    FArrowHeight = s->FArrowHeight;
    FArrowWidth = s->FArrowWidth;
    FEndArrow->Assign(s->FEndArrow.get());
    FStartArrow->Assign(s->FStartArrow.get());
  }
  TCustom3DPaletteSeries::Assign(Source);
}

// ---------------------------------------------------------------------------------------------
// Towers

VM_PUBLISH(TTowerSeries) {
  using S = TTowerSeries;
  P.Bool("Dark3D", &S::Dark3D, &S::SetDark3D).Default(true);
  P.Float("Origin", &S::Origin, &S::SetOrigin).Default(0);
  P.Int("PercentDepth", &S::PercentDepth, &S::SetPercentDepth).Default(100);
  P.Int("PercentWidth", &S::PercentWidth, &S::SetPercentWidth).Default(100);
  P.Enum("TowerStyle", &S::TowerStyle, &S::SetTowerStyle, TowerStyleInfo).Default(tsCube);
  P.Int("Transparency", &S::Transparency, &S::SetTransparency).Default(0);
  P.Bool("UseOrigin", &S::UseOrigin, &S::SetUseOrigin).Default(false);
}

TTowerSeries::TTowerSeries(TComponent* AOwner) : TCustom3DGridSeries(AOwner) {}

void TTowerSeries::SetTowerStyle(TTowerStyle Value) {
  if (FTowerStyle == Value) return;
  FTowerStyle = Value;
  Repaint();
}

double TTowerSeries::HighestX() { return XValues()->MaxValue() + 0.5; }
double TTowerSeries::LowestX() { return XValues()->MinValue() - 0.5; }
double TTowerSeries::HighestZ() { return FZValues->MaxValue() + 0.5; }
double TTowerSeries::LowestZ() { return FZValues->MinValue() - 0.5; }

TTowerSeries::TTowerBounds TTowerSeries::TowerBounds(int32_t Index) {
  TTowerBounds b;
  const double hw = FPercentWidth * 0.005, hd = FPercentDepth * 0.005;
  const double x = XValues()->Value(Index), z = FZValues->Value(Index);
  TChartAxis* h = GetHorizAxis();
  TChartAxis* v = GetVertAxis();
  TChartAxis* d = FParentChart->DepthAxis();
  b.Rect.Left = h->ValueToPixel(x - hw);
  b.Rect.Right = h->ValueToPixel(x + hw);
  b.Rect.Top = v->ValueToPixel(YValues()->Value(Index));
  b.Rect.Bottom = v->ValueToPixel(FUseOrigin ? FOrigin : YValues()->MinValue());
  b.Z0 = d->ValueToPixel(z - hd);
  b.Z1 = d->ValueToPixel(z + hd);
  return b;
}

void TTowerSeries::DrawTower(int32_t Index) {
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  const TColor colour = PointColorAt(Index);
  if (colour == clNone) return;
  if (c->Brush->Style() != bsClear) c->Brush->SetColor(colour);
  TTowerBounds b = TowerBounds(Index);
  const int32_t valueY = b.Rect.Top, baseY = b.Rect.Bottom;
  TRect r = b.Rect;
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  const int32_t zm = (b.Z0 + b.Z1) / 2;
  TGraphBlend* blend = nullptr;
  if (FTransparency > 0) {
    TRect area;
    if (FTowerStyle == tsCover) {
      const TPoint p[4] = {c->Calculate3DPosition(r.Left, valueY, b.Z0), c->Calculate3DPosition(r.Right, valueY, b.Z0),
                           c->Calculate3DPosition(r.Right, valueY, b.Z1), c->Calculate3DPosition(r.Left, valueY, b.Z1)};
      area = PolygonBounds(p, 3);
    } else {
      const TRect n = c->ProjectedBounds(r, b.Z0), f = c->ProjectedBounds(r, b.Z1);
      area = TRect(std::min(n.Left, f.Left), std::min(n.Top, f.Top), std::max(n.Right, f.Right),
                   std::max(n.Bottom, f.Bottom));
    }
    blend = c->BeginBlending(area, FTransparency);
  }
  switch (FTowerStyle) {
    case tsCube:
      c->CubeFromRect(r, b.Z0, b.Z1, FDark3D);
      break;
    case tsRectangle:
      c->RectangleWithZ(r, zm);
      break;
    case tsCover:
      c->RectangleAtY(r.Left, valueY, r.Right, b.Z0, b.Z1);
      break;
    case tsCylinder:
    case tsSlantCube:
      c->Cylinder(true, r.Left, r.Top, r.Right, r.Bottom, b.Z0, b.Z1, FDark3D);
      break;
    case tsArrow: {
      const int32_t mx = (r.Left + r.Right) / 2, w = r.Right - r.Left;
      c->Arrow(true, TPoint(mx, baseY), TPoint(mx, valueY), w, w / 2, zm);
      break;
    }
    case tsCone:
      c->Cone(true, r.Left, valueY, r.Right, baseY, b.Z0, b.Z1, FDark3D, 0);
      break;
    case tsPyramid:
      c->Pyramid(true, r.Left, valueY, r.Right, baseY, b.Z0, b.Z1, FDark3D);
      break;
  }
  if (blend) c->EndBlending(blend);
}

void TTowerSeries::DrawVisiblePoints() {
  if (PointCount() == 0 || !FParentChart) return;
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  c->AssignVisiblePen(Pen());
  c->AssignBrush(Brush(), SeriesColor());
  const bool forward = IsDrawnForward(), reversed = IsDepthReversed(this);
  for (int32_t k = 1; k <= FNumXValues; ++k) {
    const int32_t x = forward ? k : FNumXValues + 1 - k;
    for (int32_t j = 1; j <= FNumZValues; ++j) {
      const int32_t z = reversed ? j : FNumZValues + 1 - j;
      const int32_t p = GridIndexAt(x, z);
      if (p >= 0) DrawTower(p);
    }
  }
}

int32_t TTowerSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (FTowerStyle != tsCover || !FParentChart || PointCount() == 0) return -1;
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  const TPoint at(X, Y);
  for (int32_t x = 1; x <= FNumXValues; ++x)
    for (int32_t z = 1; z <= FNumZValues; ++z) {
      const int32_t p = GridIndexAt(x, z);
      if (p < 0 || PointColorAt(p) == clNone) continue;
      const TTowerBounds b = TowerBounds(p);
      const TPoint q[4] = {c->Calculate3DPosition(b.Rect.Left, b.Rect.Top, b.Z0),
                           c->Calculate3DPosition(b.Rect.Right, b.Rect.Top, b.Z0),
                           c->Calculate3DPosition(b.Rect.Right, b.Rect.Top, b.Z1),
                           c->Calculate3DPosition(b.Rect.Left, b.Rect.Top, b.Z1)};
      if (PointInPolygon(at, q, 3)) return p;
    }
  return -1;
}

void TTowerSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TCustom3DGridSeries::ListStyleVariants(AddStyle);
  for (const std::string* t :
       {&MsgStyleNoBorder, &MsgOptionSingleColor, &MsgStyleMarks, &MsgStyleHollow, &MsgStyleRectangle, &MsgOptionCover,
        &MsgStyleCircle, &MsgGalleryArrow, &MsgOptionCone, &MsgStylePyramid})
    AddStyle(*t);
}

void TTowerSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TTowerSeries*>(Target);
  if (!s || Index < 2 || Index > 11) return TCustom3DGridSeries::ApplyStyleVariant(Target, Index);
  switch (Index) {
    case 2:
      s->Pen()->SetVisible(false);
      break;
    case 3:
      s->SetUsePalette(false);
      break;
    case 4:
      s->Marks()->SetVisible(true);
      break;
    case 5:
      s->Brush()->SetStyle(bsClear);
      break;
    default: {
      constexpr TTowerStyle styles[] = {tsRectangle, tsCover, tsCylinder, tsArrow, tsCone, tsPyramid};
      s->SetTowerStyle(styles[Index - 6]);
    }
  }
}

void TTowerSeries::MakeGalleryThumbnail(bool Coloured) {
  TCustom3DGridSeries::MakeGalleryThumbnail(Coloured);
  const bool was = FSampling;
  FSampling = true;
  try {
    CreateValues(5, 5);
  } catch (...) {
    FSampling = was;
    throw;
  }
  FSampling = was;
}

void TTowerSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TTowerSeries*>(Source)) {
    FDark3D = s->FDark3D;
    FOrigin = s->FOrigin;
    FPercentDepth = s->FPercentDepth;
    FPercentWidth = s->FPercentWidth;
    FTowerStyle = s->FTowerStyle;
    FTransparency = s->FTransparency;
    FUseOrigin = s->FUseOrigin;
  }
  TCustom3DGridSeries::Assign(Source);
}

void TTowerSeries::DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) {
  Marks()->ZPosition = DepthPositionAt(ValueIndex);
  Marks()->ApplyCalloutOffset(Position);
  TCustom3DGridSeries::DrawPointMark(ValueIndex, Text, Position);
}
