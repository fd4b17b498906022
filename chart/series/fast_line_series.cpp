#include "chart/series/fast_line_series.h"

#include <algorithm>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/pixel_spans.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/value_lists.h"
#include "platform/canvas.h"

VM_DEFINE_CLASS(TFastLineSeries)

TFastLineSeries::TFastLineSeries(TComponent* AOwner) : TCustomLineSeries(AOwner) {
  WholeResultAsPoint = false;
  KeepPointBeyondEnd = true;
}

void TFastLineSeries::SetLinePen(TChartPen* Value) {
  Pen()->Assign(Value);
  SetSeriesColor(Pen()->Color());
}

void TFastLineSeries::SetSeriesColor(TColor Value) {
  TCustomLineSeries::SetSeriesColor(Value);
  Pen()->SetColor(Value);
}

bool TFastLineSeries::Is3D() { return FParentChart && series_link::View3D(FParentChart); }

TPoint TFastLineSeries::PositionOf(int32_t Index) {
  TChartAxis* h = GetHorizAxis();
  TChartAxis* v = GetVertAxis();
  return TPoint(h ? h->ValueToPixel(XValueAt(Index)) : 0, v ? v->ValueToPixel(YValueAt(Index)) : 0);
}

void TFastLineSeries::SetUpCanvas() {
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->AssignVisiblePen(Pen());
  c->Brush->SetStyle(bsClear);
  c->SetBackMode(cbmTransparent);
}

// Draws the collected path: one-pixel solid lines through the exact column-span thinning (the
// same pixels as every segment drawn one by one), wider or styled pens as they are.
void TFastLineSeries::FlushRun() {
  if (FRun.size() > 1) {
    TGraphCanvas3D* c = FParentChart->Canvas;
    if (c->Pen->Width() <= 1 && c->Pen->Style() == psSolid) {
      FThinned.clear();
      MergeColumnSpans(FRun, FThinned);
      c->Polyline(FThinned);
    } else {
      c->Polyline(FRun);
    }
  }
  FRun.clear();
}

void TFastLineSeries::DrawVisiblePoints() {
  if (FirstValueIndex < 0 || LastValueIndex < FirstValueIndex) return;
  SetUpCanvas();
  TGraphCanvas3D* c = FParentChart->Canvas;
  const int32_t f = FirstValueIndex;
  const TPoint start = PositionOf(f > 0 ? f - 1 : f);
  FLastX = start.X;
  FLastY = start.Y;
  FCollecting = !Is3D();
  FRun.clear();
  if (FCollecting) {
    if (!FIgnoreNulls || FStairs) FRun.reserve(static_cast<size_t>(LastValueIndex - f + 2) * (FStairs ? 2 : 1));
    FRun.push_back(start);
  } else {
    c->MoveTo3D(start.X, start.Y, MiddleZ);
  }
  const int32_t last = std::min(LastValueIndex, PointCount() - 1);
  if (FCollecting && FIgnoreNulls && !FStairs) {
    DrawPlainLine(f > 0 ? f : f + 1, last);
    FCollecting = false;
    return;
  }
  if (f > 0) DrawOneValue(f);
  for (int32_t i = f + 1; i <= last; ++i) DrawOneValue(i);
  if (FCollecting) FlushRun();
  FCollecting = false;
}

// The plain 2D line over the raw value arrays, by the same rule as DrawOneValue: values are
// converted a block at a time, and with a one-pixel solid pen every pixel column is thinned as
// soon as it is finished, so the whole path is never held.
void TFastLineSeries::DrawPlainLine(int32_t From, int32_t Last) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  TChartAxis* h = GetHorizAxis();
  TChartAxis* v = GetVertAxis();
  const double* xs = XValues()->Data();
  const double* ys = YValues()->Data();
  const bool thin = c->Pen->Width() <= 1 && c->Pen->Style() == psSolid;
  FThinned.clear();
  TColumnThinner thinner(FThinned);
  if (thin) {
    for (const TPoint& p : FRun) thinner.Add(p.X, p.Y);
    FRun.clear();
  }
  constexpr size_t kBlock = 2048;
  int32_t px[kBlock], py[kBlock];
  int lx = FLastX, ly = FLastY;
  const bool all = FDrawAllPoints;
  for (int32_t i0 = From; i0 <= Last; i0 += static_cast<int32_t>(kBlock)) {
    const size_t n = std::min<size_t>(kBlock, static_cast<size_t>(Last - i0) + 1);
    h->ValuesToPixels(xs + i0, px, n);
    v->ValuesToPixels(ys + i0, py, n);
    if (thin && all) {
      thinner.AddBlock(px, py, n);
      lx = px[n - 1];
      ly = py[n - 1];
      continue;
    }
    for (size_t k = 0; k < n; ++k) {
      const int x = px[k], y = py[k];
      if (x == lx && (!all || y == ly)) continue;
      if (thin)
        thinner.Add(x, y);
      else
        FRun.push_back(TPoint(x, y));
      lx = x;
      ly = y;
    }
  }
  FLastX = lx;
  FLastY = ly;
  if (thin) {
    thinner.Finish();
    if (FThinned.size() > 1) c->Polyline(FThinned);
  } else {
    FlushRun();
  }
}

void TFastLineSeries::DrawOneValue(int32_t ValueIndex) {
  const TPoint p = PositionOf(ValueIndex);
  if (p.X == FLastX && (!FDrawAllPoints || p.Y == FLastY)) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  if (FIgnoreNulls || PointColorAt(ValueIndex) != clNone) {
    if (FCollecting) {
      if (FStairs) FRun.push_back(FInvertedStairs ? TPoint(FLastX, p.Y) : TPoint(p.X, FLastY));
      FRun.push_back(p);
    } else if (Is3D()) {
      if (FStairs) {
        if (FInvertedStairs)
          c->LineTo3D(FLastX, p.Y, MiddleZ);
        else
          c->LineTo3D(p.X, FLastY, MiddleZ);
      }
      c->LineTo3D(p.X, p.Y, MiddleZ);
    } else {
      if (FStairs) {
        if (FInvertedStairs)
          c->LineTo(FLastX, p.Y);
        else
          c->LineTo(p.X, FLastY);
      }
      c->LineTo(p.X, p.Y);
    }
  } else if (FCollecting) {
    FlushRun();
    FRun.push_back(p);
  } else if (Is3D()) {
    c->MoveTo3D(p.X, p.Y, MiddleZ);
  } else {
    c->MoveTo(p.X, p.Y);
  }
  FLastX = p.X;
  FLastY = p.Y;
}

void TFastLineSeries::AfterPointAdded(TChartSeries* Sender, int32_t ValueIndex) {
  if (FAutoRepaint || !FParentChart) {
    TCustomLineSeries::AfterPointAdded(Sender, ValueIndex);
    return;
  }
  const TPoint last = PositionOf(ValueIndex > 0 ? ValueIndex - 1 : 0);
  FLastX = last.X;
  FLastY = last.Y;
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->AssignVisiblePen(Pen());
  if (Is3D())
    c->MoveTo3D(last.X, last.Y, MiddleZ);
  else
    c->MoveTo(last.X, last.Y);
  FCollecting = false;
  DrawOneValue(ValueIndex);
}

int32_t TFastLineSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (FirstValueIndex < 0) return -1;
  if (FParentChart) FParentChart->Canvas->Calculate2DPosition(X, Y, MiddleZ);
  const TPoint p(X, Y);
  TPoint prev;
  const int32_t last = std::min(LastValueIndex, PointCount() - 1);
  for (int32_t i = FirstValueIndex; i <= last; ++i) {
    const TPoint q = PositionOf(i);
    if (q.X == X && q.Y == Y) return i;
    if (i > FirstValueIndex && PointInLineCoords(p, prev.X, prev.Y, q.X, q.Y)) return i - 1;
    prev = q;
  }
  return -1;
}

void TFastLineSeries::GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) {
  TCustomLineSeries::GetHorizontalMargins(LeftMargin, RightMargin);
  const int w = Pen()->Width();
  LeftMargin += w - (w - 2) / 2;
  RightMargin += w - (w - 2) / 2;
}

void TFastLineSeries::GetVerticalMargins(int32_t& TopMargin, int32_t& BottomMargin) {
  TCustomLineSeries::GetVerticalMargins(TopMargin, BottomMargin);
  const int w = Pen()->Width();
  TopMargin += w - (w - 2) / 2;
  BottomMargin += w - (w - 2) / 2;
}

void TFastLineSeries::FillLegendSymbol(int32_t, const TRect& Rect) {
  if (!FParentChart) return;
  SetUpCanvas();
  FParentChart->Canvas->HorizLine(Rect.Left, Rect.Right, (Rect.Top + Rect.Bottom) / 2);
}

void TFastLineSeries::AdjustLegendBrush(int32_t, TColor&, TBrushStyle& Style) {
  if (FParentChart) SetUpCanvas();
  Style = bsClear;
}

void TFastLineSeries::DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) {
  Marks()->ApplyCalloutOffset(Position);
  TCustomLineSeries::DrawPointMark(ValueIndex, Text, Position);
}

void TFastLineSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TCustomLineSeries::ListStyleVariants(AddStyle);
  AddStyle(MsgStyleMarks);
  AddStyle(MsgStyleDotted);
  AddStyle(MsgStyleStairs);
}

void TFastLineSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TFastLineSeries*>(Target);
  if (!s) return;
  if (Index == 1) s->Marks()->SetVisible(true);
  if (Index == 2) s->Pen()->SetSmallDots(true);
  if (Index == 3) s->SetStairs(true);
}

void TFastLineSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TFastLineSeries*>(Source)) {
    FAutoRepaint = s->FAutoRepaint;
    FDrawAllPoints = s->FDrawAllPoints;
    FReservedPenMode = s->FReservedPenMode;
    FIgnoreNulls = s->FIgnoreNulls;
    FInvertedStairs = s->FInvertedStairs;
    FStairs = s->FStairs;
  }
  TCustomLineSeries::Assign(Source);
}
