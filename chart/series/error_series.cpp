#include "chart/series/error_series.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/value_lists.h"
#include "platform/streaming.h"

VM_DEFINE_CLASS(TErrorBarSeries)

const TEnumInfo ErrorSeriesStyleInfo("TErrorSeriesStyle",
                                     {"essLeft", "essRight", "essLeftRight", "essTop", "essBottom", "essTopBottom"});
const TEnumInfo ErrorWidthUnitsInfo("TErrorWidthUnits", {"ewuPercent", "ewuPixels"});

VM_PUBLISH(TCustomErrorSeries) {
  using S = TCustomErrorSeries;
  P.Object("ErrorPen", &S::ErrorPen, &S::SetErrorPen);
  P.Object("ErrorValues", &S::ErrorValues, &S::SetErrorValues);
  P.Int("ErrorWidth", &S::ErrorWidth, &S::SetErrorWidth).Default(100);
  P.Enum("ErrorWidthUnits", &S::ErrorWidthUnits, &S::SetErrorWidthUnits, ErrorWidthUnitsInfo).Default(ewuPercent);
}
// The error-bar series always draws its errors on top: it does not publish the style.
VM_PUBLISH(TErrorSeries) {
  P.Enum("ErrorStyle", &TErrorSeries::ErrorStyle, &TErrorSeries::SetErrorStyle, ErrorSeriesStyleInfo)
      .Default(essTopBottom);
}

VM_PUBLISH(THighLowSeries) {
  using S = THighLowSeries;
  P.Object("HighBrush", &S::HighBrush, &S::SetHighBrush);
  P.Object("HighPen", &S::HighPen, &S::SetHighPen);
  P.Object("HighValues", &S::HighValues, &S::SetHighValues);
  P.Object("LowBrush", &S::LowBrush, &S::SetLowBrush);
  P.Object("LowPen", &S::LowPen, &S::SetLowPen);
  P.Object("LowValues", &S::LowValues, &S::SetLowValues);
  P.Object("Pen", &S::Pen, &S::SetPen);
  P.Int("Transparency", &S::Transparency, &S::SetTransparency).Default(0);
}

// =============================================================================================
// Error series

TCustomErrorSeries::TCustomErrorSeries(TComponent* AOwner) : TBarSeries(AOwner) {
  FErrorPen.reset(CreateChartPen());
  FErrorValues = new TChartValueList(this, "StdError");
  Marks()->SetVisible(false);
}

TCustomErrorSeries::~TCustomErrorSeries() = default;

TErrorBarSeries::TErrorBarSeries(TComponent* AOwner) : TCustomErrorSeries(AOwner) {
  FWithBar = true;
  FErrorStyle = essTop;
}

int32_t TCustomErrorSeries::AddErrorBar(double X, double Y, double Error, const std::string& Label, TColor Color) {
  FErrorValues->PendingValue = Error;
  return AddPoint(X, Y, Label, Color);
}

void TCustomErrorSeries::SetErrorPen(TChartPen* Value) {
  FErrorPen->Assign(Value);
  if (!FWithBar) SetSeriesColor(FErrorPen->Color());
}

void TCustomErrorSeries::SetSeriesColor(TColor Value) {
  TBarSeries::SetSeriesColor(Value);
  if (!FWithBar && FErrorPen) FErrorPen->SetColor(Value);
}

void TCustomErrorSeries::SetErrorStyle(TErrorSeriesStyle Value) {
  if (FErrorStyle != Value) {
    FErrorStyle = Value;
    Repaint();
  }
}

void TCustomErrorSeries::SetErrorWidthUnits(TErrorWidthUnits Value) {
  if (FErrorWidthUnits != Value) {
    FErrorWidthUnits = Value;
    Repaint();
  }
}

void TCustomErrorSeries::PrepareErrorPen(int32_t ValueIndex) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  if (ValueIndex == -1 || FWithBar)
    c->AssignVisiblePen(FErrorPen.get());
  else
    c->AssignVisiblePenColor(FErrorPen.get(), PointColorAt(ValueIndex));
  c->SetBackMode(cbmTransparent);
}

void TCustomErrorSeries::DrawError(int X, int Y, int Length, int Width, bool Is3D) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const int half = Width / 2;
  auto line = [&](int x0, int y0, int x1, int y1) {
    if (Is3D)
      c->LineWithZ(x0, y0, x1, y1, MiddleZ);
    else
      c->Line(x0, y0, x1, y1);
  };
  auto horiz = [&](int e) {
    line(X, Y, e, Y);
    line(e, Y - half, e, Y + half);
  };
  auto vert = [&](int e) {
    line(X, Y, X, e);
    line(X - half, e, X + half, e);
  };
  switch (FErrorStyle) {
    case essLeft:
      horiz(X - Length);
      break;
    case essRight:
      horiz(X + Length);
      break;
    case essLeftRight:
      horiz(X - Length);
      horiz(X + Length);
      break;
    case essTop:
      vert(Y - Length);
      break;
    case essBottom:
      vert(Y + Length);
      break;
    case essTopBottom:
      vert(Y - Length);
      vert(Y + Length);
      break;
  }
}

void TCustomErrorSeries::DrawBar(int32_t ValueIndex, int StartPos, int EndPos) {
  if (FWithBar) TBarSeries::DrawBar(ValueIndex, StartPos, EndPos);
  const double err = FErrorValues->Value(ValueIndex);
  if (!FErrorPen->Visible() || err == 0) return;
  int w = FBarBounds.Right - FBarBounds.Left;
  if (FErrorWidth != 0)
    w = FErrorWidthUnits == ewuPixels ? FErrorWidth : static_cast<int>(std::nearbyint(FErrorWidth * FBarWidth * 0.01));
  const int y = ValueToScreenY(FMultiBar == mbStacked100 ? 100.0 : YValueAt(ValueIndex));
  const bool vertical = FErrorStyle == essTop || FErrorStyle == essBottom || FErrorStyle == essTopBottom;
  TChartAxis* a = vertical ? VertAxisObject : HorizAxisObject;
  int len = a ? a->PixelSizeOfValue(std::fabs(err)) : 0;
  if (FWithBar && YValueAt(ValueIndex) < FYOrigin) len = -len;
  PrepareErrorPen(ValueIndex);
  DrawError((FBarBounds.Left + FBarBounds.Right) / 2, y, len, w, series_link::View3D(FParentChart));
}

void TCustomErrorSeries::GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) {
  TBarSeries::GetHorizontalMargins(LeftMargin, RightMargin);
  const int w = FErrorPen->Width();
  if (FErrorStyle == essLeft || FErrorStyle == essLeftRight) LeftMargin = std::max(LeftMargin, w);
  if (FErrorStyle == essRight || FErrorStyle == essLeftRight) RightMargin = std::max(RightMargin, w);
}

void TCustomErrorSeries::GetVerticalMargins(int32_t& TopMargin, int32_t& BottomMargin) {
  TBarSeries::GetVerticalMargins(TopMargin, BottomMargin);
  const int w = FErrorPen->Width();
  if (FErrorStyle == essTop || FErrorStyle == essTopBottom) TopMargin = std::max(TopMargin, w);
  if (FErrorStyle == essBottom || FErrorStyle == essTopBottom) BottomMargin = std::max(BottomMargin, w);
}

double TCustomErrorSeries::HighestY() {
  const int32_t n = PointCount();
  if (!FWithBar) {
    if (n == 0) return 0;
    double r = YValueAt(0) + FErrorValues->Value(0);
    for (int32_t i = 1; i < n; ++i) r = std::max(r, YValueAt(i) + FErrorValues->Value(i));
    return r;
  }
  double r = TBarSeries::HighestY();
  for (int32_t i = 0; i < n; ++i) {
    const double y = YValueAt(i), e = FErrorValues->Value(i);
    r = std::max(r, y >= 0 ? y + e : y - e);
  }
  return r;
}

double TCustomErrorSeries::LowestY() {
  const int32_t n = PointCount();
  if (!FWithBar) {
    if (n == 0) return 0;
    double r = YValueAt(0) - FErrorValues->Value(0);
    for (int32_t i = 1; i < n; ++i) r = std::min(r, YValueAt(i) - FErrorValues->Value(i));
    return r;
  }
  double r = TBarSeries::LowestY();
  for (int32_t i = 0; i < n; ++i) {
    const double y = YValueAt(i), e = FErrorValues->Value(i);
    r = std::min(r, y >= 0 ? y + e : y - e);
  }
  return r;
}

void TCustomErrorSeries::FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) {
  if (!FParentChart) return;
  PrepareErrorPen(ValueIndex);
  DrawError((Rect.Left + Rect.Right) / 2, (Rect.Top + Rect.Bottom) / 2, (Rect.Bottom - Rect.Top) / 2 - 1,
            Rect.Right - Rect.Left, false);
}

void TCustomErrorSeries::AdjustLegendBrush(int32_t ValueIndex, TColor&, TBrushStyle&) {
  if (FParentChart) PrepareErrorPen(ValueIndex);
}

void TCustomErrorSeries::AddRandomPoints(int32_t Count, bool) {
  TRandomPointBounds b;
  CalcRandomBounds(Count, b);
  for (int32_t i = 0; i < Count; ++i) {
    const double y = RandomInteger(std::max(1, static_cast<int32_t>(std::nearbyint(b.DifY))));
    AddErrorBar(b.StartX, y, b.DifY / (20 + RandomInteger(4)));
    b.StartX += b.StepX;
  }
}

void TCustomErrorSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TCustomErrorSeries*>(Source)) {
    FErrorPen->Assign(s->FErrorPen.get());
    FErrorStyle = s->FErrorStyle;
    FErrorWidth = s->FErrorWidth;
    FErrorWidthUnits = s->FErrorWidthUnits;
  }
  TBarSeries::Assign(Source);
}

// =============================================================================================
// High-low series

THighLowSeries::THighLowSeries(TComponent* AOwner) : TChartSeries(AOwner) {
  LimitVisibleRange = false;
  Pen()->SetColor(clDefault);
  FLowValues = new TChartValueList(this, "Low");
  FHighPen.reset(CreateChartPen());
  FLowPen.reset(CreateChartPen());
  FLowBrush = std::make_unique<TChartBrush>([this](TObject* Sender) { PenBrushChanged(Sender); });
  Brush()->SetStyle(bsClear);
  FLowBrush->SetStyle(bsClear);
}

THighLowSeries::~THighLowSeries() = default;

int32_t THighLowSeries::AddHighLow(double X, double High, double Low, const std::string& Label, TColor Color) {
  FLowValues->PendingValue = Low;
  return AddPoint(X, High, Label, Color);
}

void THighLowSeries::DrawOneValue(int32_t ValueIndex) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const bool is3D = series_link::View3D(FParentChart);
  const int x = ScreenXAt(ValueIndex), h = ScreenYAt(ValueIndex);
  const int lo = ValueToScreenY(FLowValues->Value(ValueIndex));
  if (ValueIndex != FirstDrawIndex()) {
    const int32_t prev = IsDrawnForward() ? ValueIndex - 1 : ValueIndex + 1;
    const TColor color = PointColorAt(prev);
    const bool nulls = IsNullPoint(ValueIndex) || color == clNone;
    if (!nulls) {
      TChartBrush* brush = YValueAt(ValueIndex) > FLowValues->Value(ValueIndex) ? Brush() : FLowBrush.get();
      if (brush->Style() != bsClear) {
        series_link::SetBrushCanvas(FParentChart, color, brush, series_link::ChartColor(FParentChart));
        c->Pen->SetStyle(psClear);
        const TPoint q[4] = {TPoint(FOldX, FOldHigh), TPoint(FOldX, FOldLow), TPoint(x, lo), TPoint(x, h)};
        if (is3D)
          c->PolygonWithZ(q, MiddleZ);
        else
          c->Polygon(q);
      }
      c->Brush->SetStyle(bsClear);
      auto line = [&](TChartPen* pen, int y0, int y1) {
        if (!pen->Visible()) return;
        c->AssignVisiblePen(pen);
        if (is3D)
          c->LineWithZ(FOldX, y0, x, y1, MiddleZ);
        else
          c->Line(FOldX, y0, x, y1);
      };
      line(FHighPen.get(), FOldHigh, h);
      line(FLowPen.get(), FOldLow, lo);
    }
    if (Pen()->Visible()) {
      auto vline = [&](int px, int y0, int y1, TColor col) {
        c->AssignVisiblePenColor(Pen(), Pen()->Color() == clDefault ? col : Pen()->Color());
        if (is3D)
          c->LineWithZ(px, y0, px, y1, MiddleZ);
        else
          c->Line(px, y0, px, y1);
      };
      if (color != clNone) vline(FOldX, FOldHigh, FOldLow, color);
      const bool last = ValueIndex == (IsDrawnForward() ? LastValueIndex : FirstValueIndex);
      if (last && !IsNullPoint(ValueIndex)) vline(x, h, lo, PointColorAt(ValueIndex));
    }
  }
  FOldX = x;
  FOldHigh = h;
  FOldLow = lo;
}

double THighLowSeries::HighestY() {
  const double v = TChartSeries::HighestY();
  return PointCount() ? std::max(v, FLowValues->MaxValue()) : v;
}

double THighLowSeries::LowestY() {
  const double v = TChartSeries::LowestY();
  return PointCount() ? std::min(v, FLowValues->MinValue()) : v;
}

int32_t THighLowSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (FirstValueIndex < 0) return -1;
  TGraphCanvas3D* c = FParentChart ? FParentChart->Canvas : nullptr;
  TPoint ph, pl;
  const int32_t last = std::min(LastValueIndex, PointCount() - 1);
  for (int32_t i = FirstValueIndex; i <= last; ++i) {
    TPoint h(ScreenXAt(i), ScreenYAt(i)), l(h.X, ValueToScreenY(FLowValues->Value(i)));
    if (c) {
      h = c->Calculate3DPosition(h.X, h.Y, MiddleZ);
      l = c->Calculate3DPosition(l.X, l.Y, MiddleZ);
    }
    if (i > FirstValueIndex) {
      const TPoint q[4] = {ph, pl, l, h};
      if (PointInPolygon(TPoint(X, Y), q, 3)) return i;
    }
    ph = h;
    pl = l;
  }
  return -1;
}

void THighLowSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TChartSeries::ListStyleVariants(AddStyle);
  AddStyle(MsgStyleFilled);
  AddStyle(MsgStyleNoLines);
  AddStyle("No High");
  AddStyle("No Low");
}

void THighLowSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<THighLowSeries*>(Target);
  if (!s) return;
  if (Index == 1) s->HighBrush()->SetStyle(bsSolid);
  if (Index == 2) s->Pen()->SetVisible(false);
  if (Index == 3) s->FHighPen->SetVisible(false);
  if (Index == 4) s->FLowPen->SetVisible(false);
}

void THighLowSeries::AddRandomPoints(int32_t Count, bool) {
  TRandomPointBounds b;
  CalcRandomBounds(Count, b);
  const int32_t range = std::max(1, static_cast<int32_t>(std::nearbyint(b.DifY)));
  const int32_t fifth = std::max(1, static_cast<int32_t>(std::nearbyint(b.DifY / 5)));
  double v = RandomInteger(range);
  for (int32_t i = 0; i < Count; ++i) {
    v += RandomInteger(fifth) - b.DifY / 10;
    AddHighLow(b.StartX, v, v - RandomInteger(fifth));
    b.StartX += b.StepX;
  }
}

void THighLowSeries::DefineProperties(TFiler* Filer) {
  TChartSeries::DefineProperties(Filer);
  // Both brushes start clear here, so a solid brush (the brush's own default, which it does not
  // write) is written for the filled band to survive saving.
  Filer->DefineProperty(
      "HighFillStyle", [this](TReader* r) { Brush()->SetStyle(static_cast<TBrushStyle>(r->ReadInteger())); },
      [this](TWriter* w) { w->WriteInteger(Brush()->Style()); }, Brush()->Style() == bsSolid);
  Filer->DefineProperty(
      "LowFillStyle", [this](TReader* r) { FLowBrush->SetStyle(static_cast<TBrushStyle>(r->ReadInteger())); },
      [this](TWriter* w) { w->WriteInteger(FLowBrush->Style()); }, FLowBrush->Style() == bsSolid);
}

bool THighLowSeries::AcceptsSourceSeries(TChartSeries* Source) {
  return Source != this && dynamic_cast<THighLowSeries*>(Source) != nullptr;
}

void THighLowSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<THighLowSeries*>(Source)) {
    FHighPen->Assign(s->FHighPen.get());
    FLowPen->Assign(s->FLowPen.get());
    FLowBrush->Assign(s->FLowBrush.get());
    FTransparency = s->FTransparency;
  }
  TChartSeries::Assign(Source);
}
