#include "chart/extra/arrow_series.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/value_lists.h"
#include "platform/guards.h"

VM_PUBLISH(TArrowSeries) {
  using S = TArrowSeries;
  P.Int("ArrowHeight", &S::ArrowHeight, &S::SetArrowHeight).Stored([](TObject*) { return true; });
  P.Int("ArrowPercent", &S::ArrowPercent, &S::SetArrowPercent).Default(50);
  P.Int("ArrowWidth", &S::ArrowWidth, &S::SetArrowWidth).Stored([](TObject*) { return true; });
  P.Object("EndXValues", &S::EndXValues, &S::SetEndXValues);
  P.Object("EndYValues", &S::EndYValues, &S::SetEndYValues);
  P.Object("StartXValues", &S::StartXValues, &S::SetStartXValues);
  P.Object("StartYValues", &S::StartYValues, &S::SetStartYValues);
}

TArrowSeries::TArrowSeries(TComponent* AOwner) : TPointSeries(AOwner) {
  SetCalcVisiblePoints(false);
  XValues()->SetDefaultDateTime(true);
  XValues()->SetDateTime(true);
  FEndXValues = new TChartValueList(this, MsgValueEndX);
  FEndXValues->SetDefaultDateTime(true);
  FEndXValues->SetDateTime(true);
  FEndYValues = new TChartValueList(this, MsgValueEndY);
  Pointer()->SetInflateMargins(false);
  Marks()->Pen()->SetVisible(false);
  Marks()->SetTransparent(true);
}

int32_t TArrowSeries::AddArrowSegment(double X0, double Y0, double X1, double Y1, const std::string& Label,
                                      TColor Colour) {
  FEndXValues->PendingValue = X1;
  FEndYValues->PendingValue = Y1;
  return AddPoint(X0, Y0, Label, Colour);
}

int32_t TArrowSeries::ArrowWidth() const { return Pointer()->HorizSize(); }
void TArrowSeries::SetArrowWidth(int32_t Value) { Pointer()->SetHorizSize(Value); }
int32_t TArrowSeries::ArrowHeight() const { return Pointer()->VertSize(); }
void TArrowSeries::SetArrowHeight(int32_t Value) { Pointer()->SetVertSize(Value); }

TPoint TArrowSeries::StartPoint(int32_t Index) { return TPoint(ScreenXAt(Index), ScreenYAt(Index)); }
TPoint TArrowSeries::EndPoint(int32_t Index) {
  return TPoint(ValueToScreenX(FEndXValues->Value(Index)), ValueToScreenY(FEndYValues->Value(Index)));
}

void TArrowSeries::DrawVisiblePoints() {
  FPenCanvas = nullptr;  // each drawing pass selects the pen afresh
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  // Flat arrows on the plain chart canvas are three lines each, gathered and drawn together (the
  // same pixels as one by one). Other canvases (a recording one, say) get every call.
  FGathering = c && typeid(*c) == typeid(TGraphCanvas3D) && !series_link::View3D(FParentChart);
  FLines.clear();
  {
    TScopeFail undo([&] {
      FGathering = false;
      FLines.clear();
    });
    TPointSeries::DrawVisiblePoints();
  }
  FlushLines();
  FGathering = false;
}

void TArrowSeries::FlushLines() {
  if (FLines.empty()) return;
  series_link::Canvas(FParentChart)->GetHandle()->LineSegments(FLines);
  FLines.clear();
}

void TArrowSeries::DrawOneValue(int32_t ValueIndex) {
  const TColor colour = PointColorAt(ValueIndex);
  TGraphCanvas3D* c = series_link::Canvas(FParentChart);
  const bool is3D = series_link::View3D(FParentChart);
  if (is3D) {
    Pointer()->SetUpCanvas(c, colour);
    FPenCanvas = nullptr;
  } else if (FPenCanvas != c || colour != FPenColour || c->Pen->Version() != FPenVersion) {
    if (FGathering) FlushLines();  // the gathered lines keep the pen they were gathered with
    c->AssignVisiblePenColor(Pointer()->Pen(), colour);
    FPenCanvas = c;
    FPenColour = colour;
    FPenVersion = c->Pen->Version();
  }
  const TPoint from = StartPoint(ValueIndex), to = EndPoint(ValueIndex);
  if (FGathering && !is3D) {
    // As Arrow3D draws an open arrow: the shaft, then the two sides of the head from the tip.
    TPoint h1, h2;
    if (!ArrowHeadCorners(from, to, ArrowWidth(), ArrowHeight(), h1, h2)) return;
    const TPoint f = c->Calculate3DPosition(from.X, from.Y, MiddleZ);
    const TPoint t = c->Calculate3DPosition(to.X, to.Y, MiddleZ);
    FLines.insert(FLines.end(), {f, t, t, c->Calculate3DPosition(h2.X, h2.Y, MiddleZ), t,
                                 c->Calculate3DPosition(h1.X, h1.Y, MiddleZ)});
    return;
  }
  c->Arrow3D(is3D, from, to, ArrowWidth(), ArrowHeight(), MiddleZ, FArrowPercent);
}

double TArrowSeries::HighestX() { return std::max(TPointSeries::HighestX(), FEndXValues->MaxValue()); }
double TArrowSeries::LowestX() { return std::min(TPointSeries::LowestX(), FEndXValues->MinValue()); }
double TArrowSeries::HighestY() { return std::max(TPointSeries::HighestY(), FEndYValues->MaxValue()); }
double TArrowSeries::LowestY() { return std::min(TPointSeries::LowestY(), FEndYValues->MinValue()); }

int32_t TArrowSeries::PointIndexAt(int32_t X, int32_t Y) {
  const TPoint p(X, Y);
  const int tolerance = Pen()->Width();
  for (int32_t i = 0; i < PointCount(); ++i) {
    const TPoint s = StartPoint(i), e = EndPoint(i);
    if (PointInLineWithTolerance(p, s.X, s.Y, e.X, e.Y, tolerance)) return i;
  }
  return -1;
}

void TArrowSeries::AddRandomPoints(int32_t Count, bool) {
  TRandomPointBounds b;
  CalcRandomBounds(Count, b);
  const auto dx = static_cast<int32_t>(std::nearbyint(Count * b.StepX));
  const auto dy = static_cast<int32_t>(std::nearbyint(b.DifY));
  for (int32_t i = 0; i < Count; ++i) {
    const double x0 = b.StartX + RandomInteger(dx);
    const double y0 = b.MinY + RandomInteger(dy);
    const double x1 = x0 + RandomInteger(dx);
    const double y1 = y0 + RandomInteger(dy);
    AddArrowSegment(x0, y0, x1, y1, "", clDefault);
  }
}

void TArrowSeries::MakeGalleryThumbnail(bool Coloured) {
  TPointSeries::MakeGalleryThumbnail(Coloured);
  FillSampleValues(3);
  SetArrowWidth(12);
  SetArrowHeight(12);
  if (!Coloured) SetSeriesColor(static_cast<TColor>(0xC0C0C0));
}

bool TArrowSeries::AcceptsSourceSeries(TChartSeries* Source) { return dynamic_cast<TArrowSeries*>(Source) != nullptr; }
