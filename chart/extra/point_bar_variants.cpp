#include "chart/extra/point_bar_variants.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/value_lists.h"
#include "platform/sysutils.h"

VM_PUBLISH(TMyPointSeries) { P.Object("LinesPen", &TMyPointSeries::LinesPen, &TMyPointSeries::SetLinesPen); }
VM_PUBLISH(TBarJoinSeries) { P.Object("JoinPen", &TBarJoinSeries::JoinPen, &TBarJoinSeries::SetJoinPen); }
VM_PUBLISH(TBar3DSeries) { P.Object("OffsetValues", &TBar3DSeries::OffsetValues, &TBar3DSeries::SetOffsetValues); }
VM_PUBLISH(TBigCandleSeries) {
  P.Int("HorizGap", &TBigCandleSeries::HorizGap, &TBigCandleSeries::SetHorizGap).Default(20);
  P.Int("VertGap", &TBigCandleSeries::VertGap, &TBigCandleSeries::SetVertGap).Default(6);
}

// =============================================================================================
// Line point

TMyPointSeries::TMyPointSeries(TComponent* AOwner) : TPointSeries(AOwner) {
  FLinesPen.reset(CreateChartPen());
  FLinesPen->SetColor(clRed);
  Pointer()->SetDraw3D(false);
  Pointer()->SetStyle(psDiamond);
}

TMyPointSeries::~TMyPointSeries() = default;

void TMyPointSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TMyPointSeries*>(Source)) FLinesPen->Assign(s->FLinesPen.get());
  TPointSeries::Assign(Source);
}

void TMyPointSeries::DrawOneValue(int32_t ValueIndex) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const int x = ScreenXAt(ValueIndex), y = ScreenYAt(ValueIndex);
  TChartAxis* v = GetVertAxis();
  TChartAxis* h = GetHorizAxis();
  if (v && h) {
    c->Brush->SetStyle(bsClear);
    c->SetBackMode(cbmTransparent);
    // The point's colour on the canvas pen only: writing it into LinesPen would repaint.
    c->AssignVisiblePenColor(FLinesPen.get(), PointColorAt(ValueIndex));
    c->MoveTo3D(v->AxisLinePos, y, StartZ);
    c->LineTo3D(x, y, StartZ);
    c->LineTo3D(x, h->AxisLinePos, StartZ);
  }
  TPointSeries::DrawOneValue(ValueIndex);
}

// =============================================================================================
// Bar join

TBarJoinSeries::TBarJoinSeries(TComponent* AOwner) : TBarSeries(AOwner) { FJoinPen.reset(CreateChartPen()); }
TBarJoinSeries::~TBarJoinSeries() = default;

void TBarJoinSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TBarJoinSeries*>(Source)) FJoinPen->Assign(s->FJoinPen.get());
  TBarSeries::Assign(Source);
}

void TBarJoinSeries::PrepareForDraw() {
  TBarSeries::PrepareForDraw();
  FFirst = true;
}

void TBarJoinSeries::DrawBar(int32_t ValueIndex, int StartPos, int EndPos) {
  TBarSeries::DrawBar(ValueIndex, StartPos, EndPos);
  const TRect bar(BarBounds().Left, std::min(StartPos, EndPos), BarBounds().Right, std::max(StartPos, EndPos));
  if (!FFirst && FJoinPen->Visible()) {
    TGraphCanvas3D* c = FParentChart->Canvas;
    c->AssignVisiblePen(FJoinPen.get());
    const TBarStyle style = GetBarStyle(ValueIndex);
    TPoint from, to;
    if (!IsDrawnForward()) {
      from = TPoint(bar.Right, FPrevious.Top);
      to = TPoint(FPrevious.Left, bar.Top);
    } else if (style == bsPyramid || style == bsEllipse || style == bsArrow || style == bsCone) {
      from = TPoint((FPrevious.Left + FPrevious.Right) / 2, FPrevious.Top);
      to = TPoint((bar.Left + bar.Right) / 2, bar.Top);
    } else {
      from = TPoint(FPrevious.Right, FPrevious.Top);
      to = TPoint(bar.Left, bar.Top);
    }
    if (series_link::View3D(FParentChart))
      c->LineWithZ(from.X, from.Y, to.X, to.Y, MiddleZ);
    else
      c->Line(from.X, from.Y, to.X, to.Y);
  }
  FPrevious = bar;
  FFirst = false;
}

void TBarJoinSeries::MakeGalleryThumbnail(bool Coloured) {
  TBarSeries::MakeGalleryThumbnail(Coloured);
  FJoinPen->SetColor(clBlue);
  FJoinPen->SetWidth(2);
  FillSampleValues(2);
}

// =============================================================================================
// Bar 3D

TBar3DSeries::TBar3DSeries(TComponent* AOwner) : TBarSeries(AOwner) {
  FOffsetValues = new TChartValueList(this, MsgValueOffset);
  // The bars stand on their offsets, not on an origin shared by all.
  SetUseYOrigin(false);
}

int32_t TBar3DSeries::AddBar(double X, double Y, double Offset, const std::string& Label, TColor Colour) {
  FOffsetValues->PendingValue = Offset;
  return AddPoint(X, Y, Label, Colour);
}

double TBar3DSeries::PointOrigin(int32_t ValueIndex, bool) { return FOffsetValues->Value(ValueIndex); }
double TBar3DSeries::StackValueAt(int32_t Index) {
  return TBarSeries::StackValueAt(Index) + FOffsetValues->Value(Index);
}

void TBar3DSeries::DrawBar(int32_t ValueIndex, int StartPos, int EndPos) {
  // Side by side (or alone) each bar stands on its own offset.
  if (MultiBar() == mbNone || MultiBar() == mbSide || MultiBar() == mbSideAll) {
    TChartAxis* a = GetValueAxis();
    const int origin = a->ValueToPixel(FOffsetValues->Value(ValueIndex));
    const int value = a->ValueToPixel(MainValueAt(ValueIndex));
    StartPos = std::min(origin, value);
    EndPos = std::max(origin, value);
  }
  TBarSeries::DrawBar(ValueIndex, StartPos, EndPos);
}

double TBar3DSeries::HighestY() {
  double r = TBarSeries::HighestY();
  if ((MultiBar() == mbNone || MultiBar() == mbSide) && PointCount() > 0) r = std::max(r, FOffsetValues->MaxValue());
  return r;
}

double TBar3DSeries::LowestY() {
  double r = TBarSeries::LowestY();
  if (MultiBar() == mbNone || MultiBar() == mbSide)
    for (int32_t i = 0; i < PointCount(); ++i)
      if (FOffsetValues->Value(i) < 0) r = std::min(r, YValues()->Value(i) + FOffsetValues->Value(i));
  return r;
}

void TBar3DSeries::AddRandomPoints(int32_t Count, bool) {
  TRandomPointBounds b;
  CalcRandomBounds(Count, b);
  const auto dy = static_cast<int32_t>(std::nearbyint(b.DifY));
  double x = b.StartX;
  for (int32_t i = 0; i < Count; ++i) {
    const double y = std::abs(RandomInteger(dy)) + 10;
    AddBar(x, y, std::abs(b.DifY / (RandomInteger(5) + 1)));
    x += b.StepX;
  }
}

// =============================================================================================
// Big candle

TBigCandleSeries::TBigCandleSeries(TComponent* AOwner) : TCandleSeries(AOwner) {
  Marks()->SetVisible(true);
  Marks()->Callout()->SetLength(0);
}

void TBigCandleSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TBigCandleSeries*>(Source)) {
    FHorizGap = s->FHorizGap;
    FVertGap = s->FVertGap;
  }
  TCandleSeries::Assign(Source);
}

void TBigCandleSeries::DrawPointMark(int32_t ValueIndex, const std::string&, TSeriesMarkPosition& Position) {
  const int l0 = Position.LeftTop.X, w = Position.Width, h = Position.Height;
  auto mark = [&](double Value, int Left, int Top) {
    TSeriesMarkPosition p;
    p.Assign(Position);
    p.LeftTop = TPoint(Left, Top);
    TCandleSeries::DrawPointMark(ValueIndex, FormatFloat(ValueFormat(), Value), p);
  };
  const int closeLeft = l0 + (w / 2 + FHorizGap);
  mark(OpenValues()->Value(ValueIndex), l0 - (w / 2 + FHorizGap),
       ValueToScreenY(OpenValues()->Value(ValueIndex)) - h / 2);
  mark(CloseValues()->Value(ValueIndex), closeLeft, ValueToScreenY(CloseValues()->Value(ValueIndex)) - h / 2);
  mark(HighValues()->Value(ValueIndex), closeLeft, ValueToScreenY(HighValues()->Value(ValueIndex)) - (h + FVertGap));
  mark(LowValues()->Value(ValueIndex), closeLeft, ValueToScreenY(LowValues()->Value(ValueIndex)) + FVertGap);
}

// =============================================================================================

void RegisterPointBarVariants() {
  RegisterSeriesType(TMyPointSeries::StaticClass(), &MsgGalleryLinePoint, &MsgGalleryPageOther, 1);
  RegisterSeriesType(TBarJoinSeries::StaticClass(), &MsgGalleryBarJoin, &MsgGalleryPageOther, 1);
  RegisterSeriesType(TBar3DSeries::StaticClass(), &MsgGalleryBar3D, &MsgGalleryPageOther, 1);
  RegisterSeriesType(TBigCandleSeries::StaticClass(), &MsgGalleryBigCandle, &MsgGalleryPageOther, 1);
}

void UnregisterPointBarVariants() {
  UnregisterSeriesTypes({TMyPointSeries::StaticClass(), TBarJoinSeries::StaticClass(), TBar3DSeries::StaticClass(),
                         TBigCandleSeries::StaticClass()});
}
