#include "chart/extra/point3d_series.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/value_lists.h"
#include "chart/series/line_series.h"

// ---------------------------------------------------------------------------------------------
// Point 3D

VM_PUBLISH(TPoint3DSeries) {
  using S = TPoint3DSeries;
  P.Object("BaseLine", &S::BaseLine, &S::SetBaseLine);
  P.Float("DepthSize", &S::DepthSize, &S::SetDepthSize);
  P.Object("LinePen", &S::LinePen, &S::SetLinePen);
  P.Object("Pointer", &S::Pointer, &S::SetPointer);
  P.Event("OnClickPointer", &S::OnClickPointer);
  P.Event("OnGetPointerStyle", &S::OnGetPointerStyle);
}

TPoint3DSeries::TPoint3DSeries(TComponent* AOwner) : TCustom3DSeries(AOwner) {
  FPointer = std::make_unique<TSeriesPointer>(this);
  FBaseLine = std::make_unique<TChartHiddenPen>([this](TObject* Sender) { PenBrushChanged(Sender); });
}

TPoint3DSeries::~TPoint3DSeries() = default;

int32_t TPoint3DSeries::DepthHalfSize(int32_t) {
  return FParentChart ? FParentChart->DepthAxis()->PixelSizeOfValue(FDepthSize) / 2 : 0;
}

void TPoint3DSeries::CalcZPositions(int32_t ValueIndex) {
  MiddleZ = DepthPositionAt(ValueIndex);
  const int32_t half = std::max(1, DepthHalfSize(ValueIndex));
  StartZ = MiddleZ - half;
  EndZ = MiddleZ + half;
}

void TPoint3DSeries::DrawOneValue(int32_t ValueIndex) {
  if (!FParentChart) return;
  const TColor colour = PointColorAt(ValueIndex);
  if (colour == clNone || colour == clAutoColor) return;
  CalcZPositions(ValueIndex);
  const int32_t x = ScreenXAt(ValueIndex), y = ScreenYAt(ValueIndex);
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  if (FPointer->Visible()) {
    FPointer->SetUpCanvas(c, colour);
    const TSeriesPointerStyle style = OnGetPointerStyle ? OnGetPointerStyle(this, ValueIndex) : FPointer->Style();
    FPointer->DrawPointerShape(c, series_link::View3D(FParentChart), x, y, FPointer->HorizSize(), FPointer->VertSize(),
                               colour, style);
  }
  const int32_t bottom = GetVertAxis()->EndPixel;
  if (FBaseLine->Visible() && y + FPointer->VertSize() < bottom) {
    c->AssignVisiblePen(FBaseLine.get());
    const int32_t z = DepthPositionAt(ValueIndex);
    c->MoveTo3D(x, y + FPointer->VertSize(), z);
    c->LineTo3D(x, bottom, z);
  }
  if (ValueIndex != FirstDrawIndex() && Pen()->Visible()) {
    c->AssignVisiblePen(Pen());
    c->SetBackMode(cbmTransparent);
    c->MoveTo3D(FOldX, FOldY, FOldZ);
    c->LineTo3D(x, y, MiddleZ);
  }
  FOldX = x;
  FOldY = y;
  FOldZ = MiddleZ;
}

void TPoint3DSeries::FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) {
  if (!FPointer->Visible()) return TCustom3DSeries::FillLegendSymbol(ValueIndex, Rect);
  DrawPointerLegendSymbol(FPointer.get(), ValueIndex == -1 ? SeriesColor() : PointColorAt(ValueIndex), Rect,
                          Pen()->Visible());
}

void TPoint3DSeries::DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) {
  CalcZPositions(ValueIndex);
  Marks()->ZPosition = FPointer->Visible() ? MiddleZ : StartZ;
  Marks()->ApplyCalloutOffset(Position);
  TChartSeries::DrawPointMark(ValueIndex, Text, Position);
}

int32_t TPoint3DSeries::PointIndexAt(int32_t X, int32_t Y) {
  const int32_t found = TCustom3DSeries::PointIndexAt(X, Y);
  if (found != -1 || !FPointer->Visible()) return found;
  TGraphCanvas3D* c = FParentChart ? series_link::Canvas(FParentChart) : nullptr;
  for (int32_t i = 0; i < PointCount(); ++i) {
    int x = X, y = Y;
    if (c) c->Calculate2DPosition(x, y, DepthPositionAt(i));
    int32_t hs, vs;
    PointerHalfSizes(i, hs, vs);
    if (std::abs(ScreenXAt(i) - x) < hs && std::abs(ScreenYAt(i) - y) < vs) {
      if (OnClickPointer) OnClickPointer(this, i, X, Y);
      return i;
    }
  }
  return -1;
}

void TPoint3DSeries::PointerHalfSizes(int32_t, int32_t& Horiz, int32_t& Vert) {
  Horiz = FPointer->HorizSize();
  Vert = FPointer->VertSize();
}

void TPoint3DSeries::GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) {
  TCustom3DSeries::GetHorizontalMargins(LeftMargin, RightMargin);
  FPointer->WidenHorizMargins(LeftMargin, RightMargin);
}

void TPoint3DSeries::GetVerticalMargins(int32_t& TopMargin, int32_t& BottomMargin) {
  TCustom3DSeries::GetVerticalMargins(TopMargin, BottomMargin);
  FPointer->WidenVertMargins(TopMargin, BottomMargin);
}

double TPoint3DSeries::HighestZ() { return TCustom3DSeries::HighestZ() + FDepthSize; }

void TPoint3DSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TPoint3DSeries*>(Source)) {
    FPointer->Assign(s->FPointer.get());
    FDepthSize = s->FDepthSize;
    FBaseLine->Assign(s->FBaseLine.get());
  }
  TCustom3DSeries::Assign(Source);
}

void TPoint3DSeries::AddRandomPoints(int32_t Count, bool) {
  for (int32_t i = 0; i < Count; ++i) AddXYZ(RandomInteger(100), RandomInteger(100), RandomInteger(100));
}

void TPoint3DSeries::MakeGalleryThumbnail(bool Coloured) {
  TCustom3DSeries::MakeGalleryThumbnail(Coloured);
  Pen()->SetColor(clNavy);
  if (FParentChart) FParentChart->View3DOptions()->SetZoom(60);
}

void TPoint3DSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TCustom3DSeries::ListStyleVariants(AddStyle);
  for (const std::string* t : {&MsgOptionNoPoint, &MsgOptionLines, &MsgOptionNoLine, &MsgStyleColors, &MsgStyleMarks,
                               &MsgStyleHollow, &MsgStyleNoBorder})
    AddStyle(*t);
  if (!ListsPointerStyles()) return;
  for (const std::string* t : {&MsgStylePoint2D, &MsgStyleTriangle, &MsgStyleStar, &MsgStyleCircle, &MsgStyleDownTri,
                               &MsgStyleCross, &MsgStyleDiamond})
    AddStyle(*t);
}

void TPoint3DSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TPoint3DSeries*>(Target);
  if (!s || Index < 1 || Index > 14 || (Index >= 8 && !ListsPointerStyles()))
    return TCustom3DSeries::ApplyStyleVariant(Target, Index);
  TSeriesPointer* p = s->Pointer();
  switch (Index) {
    case 1:
      p->SetVisible(false);
      break;
    case 2:
      s->BaseLine()->SetVisible(true);
      break;
    case 3:
      s->LinePen()->SetVisible(false);
      break;
    case 4:
      s->SetColorEachPoint(true);
      break;
    case 5:
      s->Marks()->SetVisible(true);
      break;
    case 6:
      p->Brush()->SetStyle(bsClear);
      break;
    case 7:
      p->Pen()->SetVisible(false);
      break;
    case 8:
      p->SetDraw3D(false);
      break;
    default: {
      constexpr TSeriesPointerStyle styles[] = {psTriangle, psStar, psCircle, psDownTriangle, psCross, psDiamond};
      p->SetStyle(styles[Index - 9]);
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Bubble 3D

VM_PUBLISH(TBubble3DSeries) {
  using S = TBubble3DSeries;
  P.Bool("ColorEachPoint", &S::ColorEachPoint, &S::SetColorEachPoint).Default(true);
  P.Object("RadiusValues", &S::RadiusValues, &S::SetRadiusValues);
}

VM_PUBLISH(TBubble3DPointer) {
  P.Enum("Style", &TSeriesPointer::Style, &TSeriesPointer::SetStyle, SeriesPointerStyleInfo).Default(psCircle);
}

TBubble3DPointer::TBubble3DPointer(TChartSeries* AOwner) : TSeriesPointer(AOwner) { SetStyle(psCircle); }

TBubble3DSeries::TBubble3DSeries(TComponent* AOwner) : TPoint3DSeries(AOwner) {
  FRadiusValues = new TChartValueList(this, "Radius");
  FPointer = std::make_unique<TBubble3DPointer>(this);
  FPointer->SizeEditable = false;
  SetColorEachPoint(true);
  Pen()->SetVisible(false);
}

int32_t TBubble3DSeries::AddBubble(double X, double Y, double Z, double Radius, const std::string& Label,
                                   TColor Color) {
  FRadiusValues->PendingValue = Radius;
  return AddXYZPoint(X, Y, Z, Label, Color);
}

int32_t TBubble3DSeries::DepthHalfSize(int32_t ValueIndex) {
  return FParentChart ? FParentChart->DepthAxis()->PixelSizeOfValue(FRadiusValues->Value(ValueIndex)) : 0;
}

void TBubble3DSeries::CalcZPositions(int32_t ValueIndex) {
  TGraphCanvas3D* c = FParentChart ? series_link::Canvas(FParentChart) : nullptr;
  if (FPointer->Draw3D() && c && c->SupportsFullRotation()) return TPoint3DSeries::CalcZPositions(ValueIndex);
  StartZ = DepthPositionAt(ValueIndex);
  const int32_t half = std::max(1, DepthHalfSize(ValueIndex));
  MiddleZ = StartZ + half;
  EndZ = MiddleZ + half;
}

void TBubble3DSeries::DrawOneValue(int32_t ValueIndex) {
  if (!FParentChart) return;
  const int32_t r = GetVertAxis()->PixelSizeOfValue(FRadiusValues->Value(ValueIndex));
  FPointer->AssignHorizSize(r);
  FPointer->AssignVertSize(r);
  TPoint3DSeries::DrawOneValue(ValueIndex);
}

void TBubble3DSeries::PointerHalfSizes(int32_t Index, int32_t& Horiz, int32_t& Vert) {
  Horiz = Vert = FParentChart ? GetVertAxis()->PixelSizeOfValue(FRadiusValues->Value(Index)) : 0;
}

double TBubble3DSeries::ExtentWithRadius(double Start, TChartValueList* Values, bool Highest) {
  double r = Start;
  for (int32_t i = 0; i < PointCount(); ++i) {
    const double v = Values->Value(i), rad = FRadiusValues->Value(i);
    r = Highest ? std::max(r, v + rad) : std::min(r, v - rad);
  }
  return r;
}

double TBubble3DSeries::HighestY() { return ExtentWithRadius(TPoint3DSeries::HighestY(), YValues(), true); }
double TBubble3DSeries::LowestY() { return ExtentWithRadius(TPoint3DSeries::LowestY(), YValues(), false); }
double TBubble3DSeries::HighestZ() { return ExtentWithRadius(TPoint3DSeries::HighestZ(), FZValues, true); }
double TBubble3DSeries::LowestZ() { return ExtentWithRadius(TPoint3DSeries::LowestZ(), FZValues, false); }

bool TBubble3DSeries::AcceptsSourceSeries(TChartSeries* Source) {
  return dynamic_cast<TBubble3DSeries*>(Source) != nullptr;
}

void TBubble3DSeries::AddRandomPoints(int32_t Count, bool) {
  TRandomPointBounds b;
  CalcRandomBounds(Count, b);
  double x = b.StartX;
  for (int32_t i = 0; i < Count; ++i) {
    const double y = RandomInteger(static_cast<int32_t>(std::nearbyint(b.DifY)));
    const double z = RandomInteger(200);
    const double radius = std::nearbyint(b.DifY / (10 + RandomInteger(15))) + b.DifY / 15;
    AddBubble(x, y, z, radius);
    x += b.StepX;
  }
}

void TBubble3DSeries::MakeGalleryThumbnail(bool Coloured) {
  TPoint3DSeries::MakeGalleryThumbnail(Coloured);
  FPointer->Gradient()->SetVisible(true);
}
