#include "chart/extra/bubble_gantt_series.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/value_lists.h"
#include "platform/datetime.h"

VM_PUBLISH(TBubbleSeries) {
  using S = TBubbleSeries;
  P.Bool("ColorEachPoint", &S::ColorEachPoint, &S::SetColorEachPoint).Default(true);
  P.Object("RadiusValues", &S::RadiusValues, &S::SetRadiusValues);
  P.Bool("Squared", &S::Squared, &S::SetSquared).Default(true);
}

VM_PUBLISH(TGanttSeries) {
  using S = TGanttSeries;
  P.Bool("ColorEachPoint", &S::ColorEachPoint, &S::SetColorEachPoint).Default(true);
  P.Object("ConnectingPen", &S::ConnectingPen, &S::SetConnectingPen);
  P.Object("EndValues", &S::EndValues, &S::SetEndValues);
  P.Object("NextTask", &S::NextTask, &S::SetNextTask);
  P.Object("StartValues", &S::StartValues, &S::SetStartValues);
}

// =============================================================================================
// Bubbles

TBubbleSeries::TBubbleSeries(TComponent* AOwner) : TPointSeries(AOwner) {
  FRadiusValues = new TChartValueList(this, MsgValueRadius);
  Pointer()->SetInflateMargins(false);
  Pointer()->SetStyle(psCircle);
  Pointer()->SizeEditable = false;
  Marks()->Pen()->SetVisible(false);
  Marks()->SetTransparent(true);
  SetColorEachPoint(true);
}

int32_t TBubbleSeries::AddBubblePoint(double X, double Y, double Radius, const std::string& Label, TColor Colour) {
  FRadiusValues->PendingValue = Radius;
  return AddPoint(X, Y, Label, Colour);
}

void TBubbleSeries::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBubbleSeries*>(Source)) FSquared = b->FSquared;
  TPointSeries::Assign(Source);
}

void TBubbleSeries::PreparePointer(int32_t ValueIndex) {
  const double r = FRadiusValues->Value(ValueIndex);
  TChartAxis* v = GetVertAxis();
  TChartAxis* h = GetHorizAxis();
  const int32_t vs = v ? v->PixelSizeOfValue(r) : 0;
  const int32_t hs = FSquared ? vs : (h ? h->PixelSizeOfValue(r) : 0);
  Pointer()->AssignHorizSize(hs);
  Pointer()->AssignVertSize(vs);
}

void TBubbleSeries::DrawOneValue(int32_t ValueIndex) {
  PreparePointer(ValueIndex);
  DrawPointer(ScreenXAt(ValueIndex), ScreenYAt(ValueIndex), ValueIndex, PointColorAt(ValueIndex));
}

void TBubbleSeries::FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) {
  const int side = std::min(Rect.Right - Rect.Left, Rect.Bottom - Rect.Top);
  Pointer()->AssignHorizSize(side);
  Pointer()->AssignVertSize(side);
  TPointSeries::FillLegendSymbol(ValueIndex, Rect);
}

double TBubbleSeries::HighestY() {
  double r = TPointSeries::HighestY();
  for (int32_t i = 0; i < PointCount(); ++i) r = std::max(r, YValues()->Value(i) + FRadiusValues->Value(i));
  return r;
}

double TBubbleSeries::LowestY() {
  double r = TPointSeries::LowestY();
  for (int32_t i = 0; i < PointCount(); ++i) r = std::min(r, YValues()->Value(i) - FRadiusValues->Value(i));
  return r;
}

double TBubbleSeries::HighestZ() {
  if (Pointer()->Draw3D()) return FRadiusValues->MaxValue();
  return TPointSeries::HighestZ();
}

double TBubbleSeries::LowestZ() {
  if (Pointer()->Draw3D()) return -FRadiusValues->MaxValue();
  return TPointSeries::LowestZ();
}

bool TBubbleSeries::ClickedPointer(int32_t ValueIndex, int PointX, int PointY, int X, int Y) {
  PreparePointer(ValueIndex);
  const int h = Pointer()->HorizSize(), v = Pointer()->VertSize();
  const TRect r(PointX - h, PointY - v, PointX + h, PointY + v);
  const TPoint p(X, Y);
  const int cx = PointX, cy = PointY;
  switch (GetPointerStyle(ValueIndex)) {
    case psCircle:
      return PointInEllipseRect(p, r);
    case psTriangle:
      return PointInTriangle(p, r.Left, r.Right, r.Bottom, r.Top);
    case psDownTriangle:
      return PointInTriangle(p, r.Left, r.Right, r.Top, r.Bottom);
    case psDiamond: {
      const TPoint poly[4] = {TPoint(cx, r.Top), TPoint(r.Right, cy), TPoint(cx, r.Bottom), TPoint(r.Left, cy)};
      return PointInPolygon(p, poly, 3);
    }
    case psLeftTriangle:
      return PointInHorizTriangle(p, r.Top, r.Bottom, r.Right, r.Left);
    case psRightTriangle:
      return PointInHorizTriangle(p, r.Top, r.Bottom, r.Left, r.Right);
    case psNothing:
      return false;
    default:
      return std::abs(X - PointX) < h && std::abs(Y - PointY) < v;
  }
}

void TBubbleSeries::AddRandomPoints(int32_t Count, bool) {
  TRandomPointBounds b;
  CalcRandomBounds(Count, b);
  const auto dy = static_cast<int32_t>(std::nearbyint(b.DifY));
  double x = b.StartX;
  for (int32_t i = 0; i < Count; ++i) {
    const double y = RandomInteger(dy);
    const double radius = std::nearbyint(b.DifY / (RandomInteger(15) + 10)) + b.DifY / 15;
    AddBubblePoint(x, y, radius, "", clDefault);
    x += b.StepX;
  }
}

void TBubbleSeries::MakeGalleryThumbnail(bool Coloured) {
  TPointSeries::MakeGalleryThumbnail(Coloured);
  Pointer()->Gradient()->SetVisible(true);
}

bool TBubbleSeries::AcceptsSourceSeries(TChartSeries* Source) { return dynamic_cast<TBubbleSeries*>(Source); }

// =============================================================================================
// Gantt

std::string GanttSampleText(int Index) {
  switch (Index) {
    case 0:
      return MsgSampleDesign;
    case 1:
      return MsgSamplePrototyping;
    case 2:
      return MsgSampleDevelopment;
    case 3:
      return MsgSampleSales;
    case 4:
      return MsgSampleMarketing;
    case 5:
      return MsgSampleTesting;
    case 6:
      return MsgSampleManufac;
    case 7:
      return MsgSampleDebugging;
    case 8:
      return MsgSampleNewVersion;
    default:
      return MsgSampleBanking;
  }
}

TGanttSeries::TGanttSeries(TComponent* AOwner) : TPointSeries(AOwner) {
  SetHorizontalLayout();
  SetClickableLine(false);
  SetCalcVisiblePoints(false);
  XValues()->SetName(MsgValueStart);
  XValues()->SetDefaultDateTime(true);
  XValues()->SetDateTime(true);
  FEndValues = new TChartValueList(this, MsgValueEnd);
  FEndValues->SetDefaultDateTime(true);
  FEndValues->SetDateTime(true);
  FNextTask = new TChartValueList(this, MsgValueNextTask);
  FNextTask->PendingValue = std::nan("");
  SetColorEachPoint(true);
  Pointer()->SetStyle(psRectangle);
}

int32_t TGanttSeries::AddGanttTaskColored(double Start, double End, double Y, const std::string& Label, TColor Colour) {
  FEndValues->PendingValue = End;
  return AddPoint(Start, Y, Label, Colour);
}

int32_t TGanttSeries::AddPoint(double X, double Y, const std::string& Label, TColor Color) {
  // A point gets no next task unless its link was given as pending value (as reading stored
  // points does): the pending value is "unset" between additions.
  if (std::isnan(FNextTask->PendingValue)) FNextTask->PendingValue = -1;
  const int32_t result = TPointSeries::AddPoint(X, Y, Label, Color);
  FNextTask->PendingValue = std::nan("");
  return result;
}

void TGanttSeries::Assign(TPersistent* Source) {
  if (auto* g = dynamic_cast<TGanttSeries*>(Source)) ConnectingPen()->Assign(g->ConnectingPen());
  TPointSeries::Assign(Source);
}

void TGanttSeries::DrawOneValue(int32_t ValueIndex) {
  if (!Pointer()->Visible()) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  const TColor colour = PointColorAt(ValueIndex);
  Pointer()->SetUpCanvas(c, colour);
  const int x0 = ScreenXAt(ValueIndex), x1 = EndPixel(ValueIndex), y = ScreenYAt(ValueIndex);
  const int half = (x1 - x0) / 2;
  const bool is3D = series_link::View3D(FParentChart);
  Pointer()->DrawPointerShape(c, is3D, x0 + half, y, half, Pointer()->VertSize(), colour, GetPointerStyle(ValueIndex));
  if (!ConnectingPen()->Visible()) return;
  const double next = std::nearbyint(FNextTask->Value(ValueIndex));
  if (!(next >= 0 && next < PointCount())) return;
  const auto n = static_cast<int32_t>(next);
  const int xn = ScreenXAt(n), yn = ScreenYAt(n), m = x1 + (xn - x1) / 2;
  c->AssignVisiblePen(ConnectingPen());
  c->Brush->SetStyle(bsClear);
  c->MoveTo3D(x1, y, MiddleZ);
  c->LineTo3D(m, y, MiddleZ);
  c->LineTo3D(m, yn, MiddleZ);
  c->LineTo3D(xn, yn, MiddleZ);
}

void TGanttSeries::DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) {
  const int dx = (EndPixel(ValueIndex) - Position.ArrowStart.X) / 2;
  const int dy = Position.Height / 2;
  Position.LeftTop.X += dx;
  Position.ArrowEnd.X += dx;
  Position.LeftTop.Y -= dy;
  Position.ArrowEnd.Y -= dy;
  TPointSeries::DrawPointMark(ValueIndex, Text, Position);
}

double TGanttSeries::HighestX() { return std::max(TPointSeries::HighestX(), FEndValues->MaxValue()); }

bool TGanttSeries::ClickedPointer(int32_t ValueIndex, int PointX, int PointY, int X, int Y) {
  return PointX <= X && X <= EndPixel(ValueIndex) && std::abs(Y - PointY) < Pointer()->VertSize();
}

void TGanttSeries::AddRandomPoints(int32_t Count, bool) {
  const int32_t count = std::min(Count - 1, RandomInteger(20) + 10);
  const double today = Date();
  for (int32_t i = 0; i <= count; ++i) {
    const double start = today + 3 * i + RandomInteger(5);
    const double end = start + 9 + RandomInteger(16);
    const int32_t k = AddGanttTask(start, end, i % 10, GanttSampleText(i % 10));
    for (int32_t j = 0; j < k; ++j)
      if (FNextTask->Value(j) == -1 && start > FEndValues->Value(j)) {
        FNextTask->SetValue(j, k);
        break;
      }
  }
}

void TGanttSeries::MakeGalleryThumbnail(bool Coloured) {
  TPointSeries::MakeGalleryThumbnail(Coloured);
  SetColorEachPoint(Coloured);
  Pointer()->SetVertSize(3);
  Pointer()->Gradient()->SetVisible(true);
}

bool TGanttSeries::AcceptsSourceSeries(TChartSeries* Source) { return dynamic_cast<TGanttSeries*>(Source); }

// =============================================================================================

void RegisterBubbleGanttSeries() {
  RegisterSeriesType(TBubbleSeries::StaticClass(), &MsgGalleryBubble, &MsgPageStandard, 1);
  RegisterSeriesType(TGanttSeries::StaticClass(), &MsgGalleryGantt, &MsgPageStandard, 1);
}

void UnregisterBubbleGanttSeries() {
  UnregisterSeriesTypes({TBubbleSeries::StaticClass(), TGanttSeries::StaticClass()});
}
