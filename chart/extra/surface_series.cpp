#include "chart/extra/surface_series.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_blend.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/value_lists.h"

namespace {

TCustomChart* AsChart(TCustomAxisPanel* Panel) { return dynamic_cast<TCustomChart*>(Panel); }

// Perspective seen straight from the front or the back: the columns are then painted from both
// ends towards the middle.
bool AlternatesColumns(TCustomAxisPanel* Chart) {
  if (!Chart || !Chart->View3D()) return false;
  TGraphCanvas3D* c = series_link::Canvas(Chart);
  if (!c || c->SupportsFullRotation()) return false;
  TView3DOptions* o = Chart->View3DOptions();
  if (o->Orthogonal() || o->Perspective() == 0) return false;
  const int32_t r = ((o->Rotation() % 360) + 360) % 360;
  return r == 0 || r == 180;
}

}  // namespace

bool IsDepthReversed(TChartSeries* Series) {
  TCustomAxisPanel* chart = Series ? Series->ParentChart() : nullptr;
  if (!chart) return false;
  const int32_t r = chart->View3DOptions()->Rotation();
  const bool back = r >= 91 && r <= 269;
  return chart->DepthAxis()->Inverted() != back;
}

// ---------------------------------------------------------------------------------------------
// Surface

VM_PUBLISH(TSurfaceSideBrush) {
  P.Int("Color", &TBrush::Color, &TBrush::SetColor).Default(clDefault).Idents(ColorIdents);
  P.Enum("Style", &TBrush::Style, &TBrush::SetStyle, BrushStyleInfo).Default(bsClear);
}

TSurfaceSideBrush::TSurfaceSideBrush(const TNotifyEvent& OnChangeEvent) : TChartBrush(nullptr) {
  SetStyle(bsClear);
  OnChange = OnChangeEvent;
}

VM_PUBLISH(TSurfaceSeries) {
  using S = TSurfaceSeries;
  P.Bool("DotFrame", &S::DotFrame, &S::SetDotFrame).Default(false);
  P.Bool("FastBrush", &S::FastBrush, &S::SetFastBrush).Default(false);
  P.Object("SideBrush", &S::SideBrush, &S::SetSideBrush);
  P.Object("SideLines", &S::SideLines, &S::SetSideLines);
  P.Bool("SmoothPalette", &S::SmoothPalette, &S::SetSmoothPalette).Default(false);
  P.Int("Transparency", &S::Transparency, &S::SetTransparency).Default(0);
  P.Bool("WireFrame", &S::WireFrame, &S::SetWireFrame).Default(false);
}

TSurfaceSeries::TSurfaceSeries(TComponent* AOwner) : TCustom3DGridSeries(AOwner) {
  auto changed = [this](TObject* Sender) { PenBrushChanged(Sender); };
  FSideBrush = std::make_unique<TSurfaceSideBrush>(changed);
  FSideLines = std::make_unique<TChartHiddenPen>(changed);
  FWaterLines = std::make_unique<TChartPen>(changed);
}

TSurfaceSeries::~TSurfaceSeries() = default;

void TSurfaceSeries::SetWireFrame(bool Value) {
  if (Value) {
    Pen()->SetVisible(true);
    FDotFrame = false;
  }
  SetBooleanProperty(FWireFrame, Value);
}

void TSurfaceSeries::SetDotFrame(bool Value) {
  if (Value) {
    Pen()->SetVisible(true);
    FWireFrame = false;
  }
  SetBooleanProperty(FDotFrame, Value);
}

void TSurfaceSeries::SetFastBrush(bool) {}

void TSurfaceSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TSurfaceSeries*>(Source)) {
    FDotFrame = s->FDotFrame;
    FSideBrush->Assign(s->FSideBrush.get());
    FSideLines->Assign(s->FSideLines.get());
    FSmoothPalette = s->FSmoothPalette;
    FTransparency = s->FTransparency;
    FWaterLines->Assign(s->FWaterLines.get());
    FWireFrame = s->FWireFrame;
    FWaterFall = false;
  }
  TCustom3DGridSeries::Assign(Source);
}

void TSurfaceSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TCustom3DGridSeries::ListStyleVariants(AddStyle);
  AddStyle(MsgOptionWireframe);
  AddStyle(MsgOptionDotFrame);
  AddStyle(MsgStyleSides);
  AddStyle(MsgStyleNoBorder);
}

void TSurfaceSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TSurfaceSeries*>(Target);
  if (!s || Index < 2 || Index > 5) return TCustom3DGridSeries::ApplyStyleVariant(Target, Index);
  switch (Index) {
    case 2:
      s->SetWireFrame(true);
      break;
    case 3:
      s->SetDotFrame(true);
      break;
    case 4:
      s->SideBrush()->SetStyle(bsSolid);
      break;
    default:
      s->Pen()->SetVisible(false);
  }
}

void TSurfaceSeries::MakeGalleryThumbnail(bool Coloured) {
  TCustom3DGridSeries::MakeGalleryThumbnail(Coloured);
  const bool was = FSampling;
  FSampling = true;
  try {
    CreateValues(10, 10);
  } catch (...) {
    FSampling = was;
    throw;
  }
  FSampling = was;
}

TSurfaceSeries::TDrawOrder TSurfaceSeries::SetDrawOrder() {
  TDrawOrder o;
  if (IsDepthReversed(this)) {
    o.RowStep = 1;
    o.FirstRow = 1;
    o.LastRow = FWaterFall ? FNumZValues : FNumZValues - 1;
  } else {
    o.RowStep = -1;
    o.FirstRow = FNumZValues;
    o.LastRow = FWaterFall ? 1 : 2;
  }
  if (IsDrawnForward()) {
    o.ColumnStep = -1;
    o.FirstColumn = 2;
    o.LastColumn = FNumXValues;
  } else {
    o.ColumnStep = 1;
    o.FirstColumn = FNumXValues - 1;
    o.LastColumn = 1;
  }
  o.Alternate = AlternatesColumns(FParentChart);
  DX = o.ColumnStep;
  DZ = o.RowStep;
  return o;
}

void TSurfaceSeries::OrderedColumns(const TDrawOrder& Order, std::vector<int32_t>& Columns) {
  Columns.clear();
  const int32_t step = Order.FirstColumn <= Order.LastColumn ? 1 : -1;
  for (int32_t c = Order.FirstColumn; step > 0 ? c <= Order.LastColumn : c >= Order.LastColumn; c += step)
    Columns.push_back(c);
  if (!Order.Alternate) return;
  std::vector<int32_t> alt;
  alt.reserve(Columns.size());
  size_t lo = 0, hi = Columns.size();
  while (lo < hi) {
    alt.push_back(Columns[lo++]);
    if (lo < hi) alt.push_back(Columns[--hi]);
  }
  Columns.swap(alt);
}

bool TSurfaceSeries::CellCorners(int32_t X, int32_t Z) {
  ValueIndex0 = GridIndexAt(X, Z);
  if (ValueIndex0 < 0) return false;
  ValueIndex1 = GridIndexAt(X + DX, Z);
  if (ValueIndex1 < 0) return false;
  ValueIndex2 = GridIndexAt(X + DX, Z + DZ);
  if (ValueIndex2 < 0) return false;
  ValueIndex3 = GridIndexAt(X, Z + DZ);
  return ValueIndex3 >= 0;
}

TQuadPoints TSurfaceSeries::CornerPoints() const {
  return {TPoint(FXPix[ValueIndex0], FYPix[ValueIndex0]), TPoint(FXPix[ValueIndex1], FYPix[ValueIndex1]),
          TPoint(FXPix[ValueIndex2], FYPix[ValueIndex2]), TPoint(FXPix[ValueIndex3], FYPix[ValueIndex3])};
}

void TSurfaceSeries::DrawVisiblePoints() {
  const int32_t n = PointCount();
  if (n == 0 || !FParentChart) return;
  FCanvas = series_link::Canvas(FParentChart);
  TGraphCanvas3D* c = FCanvas;
  // The pixels of every point, once per drawing.
  FXPix.resize(n);
  FYPix.resize(n);
  FZPix.resize(n);
  GetHorizAxis()->ValuesToPixels(XValues()->Data(), FXPix.data(), n);
  GetVertAxis()->ValuesToPixels(YValues()->Data(), FYPix.data(), n);
  FParentChart->DepthAxis()->ValuesToPixels(FZValues->Data(), FZPix.data(), n);

  auto selectCellPen = [&] {
    if (Pen()->Visible()) {
      c->AssignVisiblePen(Pen());
    } else if (FWireFrame || FDotFrame) {
      c->Pen->SetStyle(psSolid);
      c->Pen->SetWidth(Pen()->Width());
      c->Pen->SetColor(Pen()->Color());
    } else {
      c->Pen->SetStyle(psClear);
    }
  };
  auto selectCellBrush = [&] {
    c->AssignBrush(Brush(), SeriesColor());
    if (FWireFrame || FDotFrame) c->Brush->SetStyle(bsClear);
  };
  selectCellPen();
  selectCellBrush();
  FSameBrush = (!FUseColorRange && !FUsePalette) || Brush()->HasImageGraphic();
  c->SetBackMode(cbmTransparent);

  const bool sides = FSideBrush->Style() != bsClear || FSideLines->Visible();
  if (sides && !FWaterFall) {
    DrawSides(true);
    selectCellPen();
    selectCellBrush();
  }

  const TDrawOrder order = SetDrawOrder();
  std::vector<int32_t> columns;
  OrderedColumns(order, columns);
  for (int32_t x : columns)
    for (int32_t z = order.FirstRow; order.RowStep > 0 ? z <= order.LastRow : z >= order.LastRow; z += order.RowStep)
      DrawCell(x, z);

  if (sides && !FWaterFall) DrawSides(false);
  FCanvas = nullptr;
}

void TSurfaceSeries::DrawCell(int32_t X, int32_t Z) {
  TGraphCanvas3D* c = FCanvas;
  if (!c) return;
  if (FWaterFall) {
    ValueIndex0 = GridIndexAt(X, Z);
    ValueIndex1 = ValueIndex0 < 0 ? -1 : GridIndexAt(X + DX, Z);
    if (ValueIndex1 < 0) return;
    ValueIndex2 = ValueIndex1;
    ValueIndex3 = ValueIndex0;
  } else if (!CellCorners(X, Z)) {
    return;
  }
  int32_t colourIndex;
  if (DZ == 1)
    colourIndex = DX != 1 ? ValueIndex2 : ValueIndex3;
  else
    colourIndex = DX != 1 ? ValueIndex1 : ValueIndex0;
  TColor colour = PointColorAt(colourIndex);
  if (colour == clNone) return;
  if (!FSameBrush) {
    if (FSmoothPalette) {
      const double* y = YValues()->Data();
      colour = ColorOfValue((y[ValueIndex0] + y[ValueIndex1] + y[ValueIndex2] + y[ValueIndex3]) * 0.25);
    }
    if (FWireFrame)
      c->Pen->SetColor(colour);
    else if (c->Brush->Style() != bsClear)
      c->Brush->SetColor(colour);
  }
  const int32_t z0 = FZPix[ValueIndex0], z1 = FZPix[ValueIndex2];
  TQuadPoints q = CornerPoints();

  if (FWaterFall) {
    const int32_t base = GetVertAxis()->EndPixel;
    if (!FDotFrame) {
      if (!FWireFrame) {
        const TPoint area[4] = {q[0], q[1], TPoint(q[1].X, base), TPoint(q[0].X, base)};
        const TColor penColour = c->Pen->Color();
        const TPenStyle penStyle = c->Pen->Style();
        c->Pen->SetStyle(psClear);
        TGraphBlend* blend = nullptr;
        if (FTransparency > 0) blend = c->BeginBlending(c->ProjectedBounds(PolygonBounds(area, 3), z0), FTransparency);
        c->PolygonWithZ(area, z0);
        if (blend) c->EndBlending(blend);
        c->Pen->SetStyle(penStyle);
        c->Pen->SetColor(penColour);
      }
      if (Pen()->Visible()) {
        if (!FWireFrame) c->AssignVisiblePen(Pen());
        c->LineWithZ(q[0].X, q[0].Y, q[1].X, q[1].Y, z0);
      }
    }
    if (FWaterLines->Visible()) {
      c->AssignVisiblePen(FWaterLines.get());
      c->VertLine3D(q[0].X, q[0].Y, base, z0);
      c->VertLine3D(q[1].X, q[1].Y, base, z0);
    }
    if (!FDotFrame) return;
  }

  if (!FDotFrame) {
    TGraphBlend* blend = nullptr;
    if (FTransparency > 0) {
      const TPoint p[4] = {c->Calculate3DPosition(q[0].X, q[0].Y, z0), c->Calculate3DPosition(q[1].X, q[1].Y, z0),
                           c->Calculate3DPosition(q[2].X, q[2].Y, z1), c->Calculate3DPosition(q[3].X, q[3].Y, z1)};
      blend = c->BeginBlending(PolygonBounds(p, 3), FTransparency);
    }
    c->PlaneFour3D(q, z0, z1);
    if (blend) c->EndBlending(blend);
    return;
  }
  const int32_t corners[4] = {ValueIndex0, ValueIndex1, ValueIndex2, ValueIndex3};
  for (int k = 0; k < 4; ++k) {
    const int32_t p = corners[k];
    c->SetPixel3D(FXPix[p], FYPix[p], FZPix[p], PointColorAt(p));
  }
}

void TSurfaceSeries::DrawSides(bool First) {
  TGraphCanvas3D* c = FCanvas;
  auto* chart = AsChart(FParentChart);
  if (!c || !chart || FNumXValues < 1 || FNumZValues < 1) return;
  const int32_t base =
      GetVertAxis()->ValueToPixel(GetVertAxis()->Inverted() ? YValues()->MaxValue() : YValues()->MinValue());
  c->AssignVisiblePen(FSideLines.get());
  c->AssignBrush(FSideBrush.get(), FSideBrush->Color());
  // A piece between two neighbouring edge points and their base points; skipped where an edge point
  // is missing.
  auto piece = [&](int32_t a, int32_t b) {
    if (a < 0 || b < 0) return;
    TQuadPoints q = {TPoint(FXPix[a], FYPix[a]), TPoint(FXPix[a], base), TPoint(FXPix[b], base),
                     TPoint(FXPix[b], FYPix[b])};
    // First two corners at the first point's depth, the others at the second's.
    TQuadPoints r = {q[1], q[0], q[3], q[2]};
    c->PlaneFour3D(r, FZPix[a], FZPix[b]);
  };
  auto sideEdge = [&](int32_t column) {
    for (int32_t z = FNumZValues; z >= 2; --z) piece(GridIndexAt(column, z), GridIndexAt(column, z - 1));
  };
  const bool xInverted = GetHorizAxis()->Inverted();
  const int32_t leftColumn = xInverted ? FNumXValues : 1, rightColumn = xInverted ? 1 : FNumXValues;
  if (chart->IsLeftWallBackFacing() != First) sideEdge(leftColumn);
  if (chart->IsRightWallBackFacing() != First) sideEdge(rightColumn);

  const TRect& r = FParentChart->ChartRect;
  const TPoint corners[3] = {c->Calculate3DPosition(r.Right, r.Top, 0), c->Calculate3DPosition(r.Right, r.Bottom, 0),
                             c->Calculate3DPosition(r.Left, r.Bottom, 0)};
  const bool frontFromBehind = !IsClockwiseTriangle(corners);
  if (frontFromBehind == First) {
    const int32_t row = FParentChart->DepthAxis()->Inverted() ? FNumZValues : 1;
    for (int32_t x = 2; x <= FNumXValues; ++x) piece(GridIndexAt(x - 1, row), GridIndexAt(x, row));
    const int32_t last = GridIndexAt(FNumXValues, row);
    if (last >= 0) {
      c->Pen->SetStyle(psSolid);
      c->VertLine3D(FXPix[last], FYPix[last], base, FZPix[last]);
    }
  }
}

int32_t TSurfaceSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (PointCount() == 0 || !FParentChart) return -1;
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  if (!c) return -1;
  const int32_t n = PointCount();
  FXPix.resize(n);
  FYPix.resize(n);
  FZPix.resize(n);
  GetHorizAxis()->ValuesToPixels(XValues()->Data(), FXPix.data(), n);
  GetVertAxis()->ValuesToPixels(YValues()->Data(), FYPix.data(), n);
  FParentChart->DepthAxis()->ValuesToPixels(FZValues->Data(), FZPix.data(), n);
  TDrawOrder order = SetDrawOrder();
  // Front to back: the rows in the reverse order with the row step negated.
  DZ = -order.RowStep;
  const int32_t firstRow = order.RowStep > 0 ? FNumZValues : 1;
  const int32_t lastRow = order.RowStep > 0 ? 2 : FNumZValues - 1;
  const TPoint at(X, Y);
  for (int32_t z = firstRow; DZ > 0 ? z <= lastRow : z >= lastRow; z += DZ)
    for (int32_t x = order.FirstColumn; order.ColumnStep < 0 ? x <= order.LastColumn : x >= order.LastColumn;
         x -= order.ColumnStep) {
      if (!CellCorners(x, z)) continue;
      const TQuadPoints q = CornerPoints();
      const int32_t z0 = FZPix[ValueIndex0], z1 = FZPix[ValueIndex2];
      const TPoint p[4] = {c->Calculate3DPosition(q[0].X, q[0].Y, z0), c->Calculate3DPosition(q[1].X, q[1].Y, z0),
                           c->Calculate3DPosition(q[2].X, q[2].Y, z1), c->Calculate3DPosition(q[3].X, q[3].Y, z1)};
      if (PointInPolygon(at, p, 3)) return ValueIndex0;
    }
  return -1;
}

// ---------------------------------------------------------------------------------------------
// Water fall

VM_PUBLISH(TWaterFallSeries) {
  using S = TWaterFallSeries;
  P.Bool("WaterFall", &S::WaterFall, &S::SetWaterFall).Default(true);
  P.Object("WaterLines", &S::WaterLines, &S::SetWaterLines);
}

TWaterFallSeries::TWaterFallSeries(TComponent* AOwner) : TSurfaceSeries(AOwner) { FWaterFall = true; }

void TWaterFallSeries::Assign(TPersistent* Source) {
  TSurfaceSeries::Assign(Source);
  FWaterFall = true;
}

void TWaterFallSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TSurfaceSeries::ListStyleVariants(AddStyle);
  AddStyle(MsgStyleNoLines);
}

void TWaterFallSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TSurfaceSeries*>(Target);
  if (Index == 6 && s)
    s->WaterLines()->SetVisible(false);
  else
    TSurfaceSeries::ApplyStyleVariant(Target, Index);
}

void TWaterFallSeries::SetGalleryView3D(bool Value) {
  TSurfaceSeries::SetGalleryView3D(Value);
  if (FParentChart) FParentChart->SetView3D(Value);
}
