#include "chart/series/histogram_series.h"

#include <algorithm>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/value_lists.h"

VM_PUBLISH(THistogramSeries) {
  using S = THistogramSeries;
  P.Object("Brush", &S::Brush, &S::SetBrush);
  P.Object("LinePen", &S::LinePen, &S::SetPen);
  P.Object("LinesPen", &S::LinesPen, &S::SetLinesPen);
  P.Object("Pen", &S::Pen, &S::SetPen);
  P.Int("Transparency", &S::Transparency, &S::SetTransparency).Default(0);
}
VM_DEFINE_CLASS(THorizHistogramSeries)

THistogramSeries::THistogramSeries(TComponent* AOwner) : TCustomLineSeries(AOwner) {
  FLinesPen = std::make_unique<TChartHiddenPen>([this](TObject* Sender) { PenBrushChanged(Sender); });
}

THistogramSeries::~THistogramSeries() = default;

THorizHistogramSeries::THorizHistogramSeries(TComponent* AOwner) : THistogramSeries(AOwner) {
  SetHorizontalLayout();
  XValues()->SetOrder(loNone);
  YValues()->SetOrder(loAscending);
}

int32_t THistogramSeries::BarCount() {
  const int32_t p = FParentChart ? series_link::MaxPointsPerPage(FParentChart) : 0;
  return p != 0 ? p : PointCount();
}

int32_t THistogramSeries::HalfBar() {
  const int32_t n = BarCount();
  TChartAxis* a = YMandatory ? HorizAxisObject : VertAxisObject;
  if (n < 1 || !a) return 0;
  return (a->AxisLength / n) / 2;
}

void THistogramSeries::CalcHistogramRect(int32_t ValueIndex, TRect& R) {
  R = TRect(0, 0, 0, 0);
  if (BarCount() < 1) return;
  const int h = HalfBar();
  const int x = ScreenXAt(ValueIndex);
  const bool forward = IsDrawnForward();
  if (ValueIndex == FirstDrawIndex()) {
    R.Left = x - h + 1;
    R.Right = x + h + 1;
    if (!forward) std::swap(R.Left, R.Right);
  } else {
    R.Left = PreviousBarEnd;
    R.Right = forward ? x + h + 1 : x - h - 1;
  }
  PreviousBarEnd = R.Right - 1;
  R.Top = ScreenYAt(ValueIndex);
  TChartAxis* v = VertAxisObject;
  R.Bottom = v ? (v->Inverted() ? v->StartPixel : v->EndPixel) : 0;
}

void THorizHistogramSeries::CalcHistogramRect(int32_t ValueIndex, TRect& R) {
  R = TRect(0, 0, 0, 0);
  if (BarCount() < 1) return;
  const int h = HalfBar();
  const int y = ScreenYAt(ValueIndex);
  if (ValueIndex == FirstDrawIndex()) {
    R.Top = y - h + 1;
    R.Bottom = y + h + 1;
  } else {
    R.Bottom = PreviousBarEnd;
    R.Top = y - h;
  }
  PreviousBarEnd = R.Top + 1;
  R.Right = ScreenXAt(ValueIndex) + 1;
  TChartAxis* a = HorizAxisObject;
  R.Left = a ? (a->Inverted() ? a->EndPixel : a->StartPixel) : 0;
}

void THistogramSeries::FindVisibleRange() {
  TCustomLineSeries::FindVisibleRange();
  if (FirstValueIndex > 0) --FirstValueIndex;
  if (LastValueIndex != -1 && LastValueIndex < PointCount() - 1) ++LastValueIndex;
}

void THistogramSeries::GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) {
  TCustomLineSeries::GetHorizontalMargins(LeftMargin, RightMargin);
  const int pw = Pen()->Visible() ? Pen()->Width() : 0;
  if (YMandatory) {
    LeftMargin += HalfBar();
    RightMargin += HalfBar() + pw;
  } else {
    RightMargin += pw;
  }
}

void THistogramSeries::GetVerticalMargins(int32_t& TopMargin, int32_t& BottomMargin) {
  TCustomLineSeries::GetVerticalMargins(TopMargin, BottomMargin);
  const int pw = Pen()->Visible() ? Pen()->Width() : 0;
  if (YMandatory) {
    TopMargin += pw;
  } else {
    TopMargin += HalfBar() + pw;
    BottomMargin += HalfBar();
  }
}

void THistogramSeries::DrawOneValue(int32_t ValueIndex) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const bool is3D = series_link::View3D(FParentChart);
  const bool vertical = YMandatory;
  const bool first = ValueIndex == FirstDrawIndex();
  const bool forward = IsDrawnForward();
  const bool last = ValueIndex == (forward ? LastValueIndex : FirstValueIndex);
  const int32_t prev = forward ? ValueIndex - 1 : ValueIndex + 1;
  TRect r;
  CalcHistogramRect(ValueIndex, r);
  c->Pen->SetStyle(psClear);
  if (Brush()->Style() != bsClear) {
    series_link::SetBrushCanvas(FParentChart, PointColorAt(ValueIndex), Brush(), series_link::ChartColor(FParentChart));
    TRect f = r;
    if (vertical && VertAxisObject && VertAxisObject->Inverted()) ++f.Top;
    if (f.Left > f.Right) std::swap(f.Left, f.Right);
    if (f.Top > f.Bottom) std::swap(f.Top, f.Bottom);
    if (is3D)
      c->RectangleWithZ(TRect(f.Left, f.Top, f.Right - 1, f.Bottom), MiddleZ);
    else
      c->Rectangle(f.Left, f.Top, f.Right + 1, f.Bottom + 1);
  }
  auto line = [&](int x0, int y0, int x1, int y1) {
    if (is3D)
      c->LineWithZ(x0, y0, x1, y1, MiddleZ);
    else
      c->Line(x0, y0, x1, y1);
  };
  if (Pen()->Visible()) {
    c->AssignVisiblePen(Pen());
    if (vertical) {
      line(r.Left, first ? r.Bottom : ScreenYAt(prev), r.Left, r.Top);
      line(r.Left, r.Top, r.Right, r.Top);
      if (last) line(r.Right - 1, r.Top, r.Right - 1, r.Bottom);
    } else {
      line(first ? r.Left : ScreenXAt(prev), r.Bottom - 1, r.Right, r.Bottom - 1);
      line(r.Right - Pen()->Width(), r.Top, r.Right - Pen()->Width(), r.Bottom);
      if (last) line(r.Left, r.Top, r.Right, r.Top);
    }
  }
  if (!first && FLinesPen->Visible()) {
    c->AssignVisiblePen(FLinesPen.get());
    if (vertical) {
      const bool inv = VertAxisObject && VertAxisObject->Inverted();
      int e = ScreenYAt(prev);
      e = inv ? std::min(e, r.Top) : std::max(e, r.Top);
      if (!Pen()->Visible()) --e;
      line(r.Left, r.Bottom, r.Left, e);
    } else {
      const bool inv = HorizAxisObject && HorizAxisObject->Inverted();
      int e = ScreenXAt(prev);
      e = inv ? std::min(e, r.Right) : std::max(e, r.Left);
      if (!Pen()->Visible()) --e;
      line(r.Left, r.Bottom - 1, e, r.Bottom - 1);
    }
  }
}

int32_t THistogramSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (FirstValueIndex < 0) return -1;
  if (FParentChart) FParentChart->Canvas->Calculate2DPosition(X, Y, MiddleZ);
  const int32_t last = std::min(LastValueIndex, PointCount() - 1);
  const bool forward = IsDrawnForward();
  for (int32_t k = 0; k <= last - FirstValueIndex; ++k) {
    const int32_t i = forward ? FirstValueIndex + k : last - k;
    TRect r;
    CalcHistogramRect(i, r);
    const int l = std::min(r.Left, r.Right), rr = std::max(r.Left, r.Right);
    const int t = std::min(r.Top, r.Bottom), b = std::max(r.Top, r.Bottom);
    if (X >= l && X <= rr && Y >= t && Y <= b) return i;
  }
  return -1;
}

void THistogramSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<THistogramSeries*>(Source)) {
    FLinesPen->Assign(s->FLinesPen.get());
    FTransparency = s->FTransparency;
  }
  TCustomLineSeries::Assign(Source);
}
