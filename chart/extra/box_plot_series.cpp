#include "chart/extra/box_plot_series.h"

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

VM_PUBLISH(TCustomBoxSeries) {
  using S = TCustomBoxSeries;
  P.Object("ExtrOut", &S::ExtrOut, &S::SetExtrOut);
  P.Object("MedianPen", &S::MedianPen, &S::SetMedianPen);
  P.Object("MildOut", &S::MildOut, &S::SetMildOut);
  P.Float("Position", &S::Position, &S::SetPosition).Stored(true);
  P.Object("SampleValues", &S::SampleValues, &S::SetSampleValues);
  P.Bool("UseCustomValues", &S::UseCustomValues, &S::SetUseCustomValues).Default(false);
  P.Float("WhiskerLength", &S::WhiskerLength, &S::SetWhiskerLength).Stored(true);
  P.Object("WhiskerPen", &S::WhiskerPen, &S::SetWhiskerPen);
}
VM_DEFINE_CLASS(TBoxSeries)
VM_DEFINE_CLASS(THorizBoxSeries)

TCustomBoxSeries::TCustomBoxSeries(TComponent* AOwner) : TPointSeries(AOwner) {
  YValues()->SetName("Samples");
  XValues()->SetName("");
  FWhiskerPen.reset(CreateChartPen());
  FMedianPen.reset(CreateChartPen());
  FMedianPen->SetWidth(1);
  FMedianPen->SetStyle(psDot);
  FMildOut = std::make_unique<TSeriesPointer>(this);
  FMildOut->SetStyle(psCircle);
  FExtrOut = std::make_unique<TSeriesPointer>(this);
  FExtrOut->SetStyle(psStar);
  Pointer()->SetDraw3D(false);
  Pointer()->Pen()->SetWidth(1);
  Pointer()->SetVertSize(15);
  Pointer()->SetHorizSize(15);
  Pointer()->Brush()->SetColor(clWhite);
  Marks()->SetVisible(false);
  Marks()->Callout()->SetLength(0);
  SetCalcVisiblePoints(false);
  WholeResultAsPoint = false;
}

TCustomBoxSeries::~TCustomBoxSeries() = default;

THorizBoxSeries::THorizBoxSeries(TComponent* AOwner) : TCustomBoxSeries(AOwner) {
  SetHorizontalLayout();
  FVertical = false;
}

void TCustomBoxSeries::SetParentChart(TCustomAxisPanel* Value) {
  TPointSeries::SetParentChart(Value);
  if (ComponentState().Contains(csDestroying)) return;
  if (FMildOut) FMildOut->SetParentChart(Value);
  if (FExtrOut) FExtrOut->SetParentChart(Value);
}

void TCustomBoxSeries::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TCustomBoxSeries*>(Source)) {
    FExtrOut->Assign(b->FExtrOut.get());
    FMedianPen->Assign(b->FMedianPen.get());
    FMildOut->Assign(b->FMildOut.get());
    FPosition = b->FPosition;
    FWhiskerLength = b->FWhiskerLength;
    FWhiskerPen->Assign(b->FWhiskerPen.get());
    FUseCustomValues = b->FUseCustomValues;
  }
  TPointSeries::Assign(Source);
}

// ---- statistics ----------------------------------------------------------------------------------

// Samples outside the list (one or two samples reach there) are taken at the nearer end.
double TCustomBoxSeries::Sample(int32_t K) const {
  TChartValueList* s = SampleValues();
  return s->Value(std::clamp(K, 0, s->Count() - 1));
}

double TCustomBoxSeries::Percentile(double P) const {
  const int32_t n = SampleValues()->Count();
  const double invN = 1.0 / n;
  int32_t i = 0;
  double prev = 0, cur = 0;
  while (cur < P) {
    prev = cur;
    cur = (i + 0.5) * invN;
    ++i;
  }
  const double a = Sample(i - 2), b = Sample(i - 1);
  return cur == prev ? b : a + (b - a) * (P - prev) / (cur - prev);
}

void TCustomBoxSeries::RecalcStats() {
  const int32_t n = SampleValues()->Count();
  if (n == 0) return;
  const int32_t half = n / 2;
  MedianValue = n % 2 ? Sample(half) : (Sample(half - 1) + Sample(half)) * 0.5;
  LowerQuartile = Percentile(0.25);
  UpperQuartile = Percentile(0.75);
  const double iqr = UpperQuartile - LowerQuartile;
  LowerInnerFence = LowerQuartile - FWhiskerLength * iqr;
  UpperInnerFence = UpperQuartile + FWhiskerLength * iqr;
  int32_t k = 0;
  while (k <= half && !(Sample(k) > LowerInnerFence)) ++k;
  LowerWhiskerEnd = Sample(k);
  k = half;
  while (k < n && !(Sample(k) > UpperInnerFence)) ++k;
  UpperWhiskerEnd = Sample(k - 1);
  LowerOuterFence = LowerQuartile - 2 * FWhiskerLength * iqr;
  UpperOuterFence = UpperQuartile + 2 * FWhiskerLength * iqr;
}

void TCustomBoxSeries::FireBeforeDrawValues() {
  TPointSeries::FireBeforeDrawValues();
  if (!FUseCustomValues && SampleValues()->Count() > 0) RecalcStats();
}

// ---- drawing ---------------------------------------------------------------------------------------

int32_t TCustomBoxSeries::PositionPixel() { return FVertical ? ValueToScreenX(FPosition) : ValueToScreenY(FPosition); }

void TCustomBoxSeries::DrawOneValue(int32_t ValueIndex) {
  const double v = SampleValues()->Value(ValueIndex);
  if (LowerInnerFence <= v && v <= UpperInnerFence) return;
  const bool mild = (UpperInnerFence <= v && v <= UpperOuterFence) || (LowerOuterFence <= v && v <= LowerInnerFence);
  TSeriesPointer* p = mild ? FMildOut.get() : FExtrOut.get();
  if (!p->Visible()) return;
  const TColor colour = PointColorAt(ValueIndex);
  p->SetUpCanvas(FParentChart->Canvas, colour);
  if (FVertical)
    p->DrawStyledAt(PositionPixel(), ScreenYAt(ValueIndex), colour, p->Style());
  else
    p->DrawStyledAt(ScreenXAt(ValueIndex), PositionPixel(), colour, p->Style());
}

void TCustomBoxSeries::DrawWhisker(int Centre, int H, int E, int W, bool Is3D, int Z) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  if (FVertical) {
    if (Is3D) {
      c->VertLine3D(Centre, E, W, Z);
      c->HorizLine3D(Centre - H, Centre + H, W, Z);
    } else {
      c->VertLine(Centre, E, W);
      c->HorizLine(Centre - H, Centre + H, W);
    }
  } else if (Is3D) {
    c->HorizLine3D(E, W, Centre, Z);
    c->VertLine3D(W, Centre - H, Centre + H, Z);
  } else {
    c->HorizLine(E, W, Centre);
    c->VertLine(W, Centre - H, Centre + H);
  }
}

void TCustomBoxSeries::DrawVisiblePoints() {
  TPointSeries::DrawVisiblePoints();
  TGraphCanvas3D* c = FParentChart->Canvas;
  const bool is3D = series_link::View3D(FParentChart);
  const int H = Pointer()->HorizSize();
  const int pos = PositionPixel();
  int left, right, top, bottom;
  if (FVertical) {
    left = pos - H;
    right = pos + H;
    top = ValueToScreenY(UpperQuartile);
    bottom = ValueToScreenY(LowerQuartile);
  } else {
    top = pos - H;
    bottom = pos + H;
    left = ValueToScreenX(LowerQuartile);
    right = ValueToScreenX(UpperQuartile);
  }
  if (TChartAxis* h = GetHorizAxis(); h && h->Inverted()) std::swap(left, right);
  if (TChartAxis* v = GetVertAxis(); v && v->Inverted()) std::swap(top, bottom);
  TSeriesPointer* box = Pointer();
  if (box->Visible()) {
    const TColor own = box->Brush()->Color();
    box->SetUpCanvas(c, own);
    if (FVertical)
      box->DrawPointerShape(c, is3D, left + H - 1, top + (bottom - top) / 2, H - 1, (bottom - top) / 2 - 1, own,
                            box->Style());
    else
      box->DrawPointerShape(c, is3D, left + (right - left) / 2, top + H - 1, (right - left) / 2 - 1,
                            box->VertSize() - 1, own, box->Style());
  }
  if (FMedianPen->Visible()) {
    c->AssignVisiblePen(FMedianPen.get());
    c->Brush->SetStyle(bsClear);
    if (FVertical) {
      const int m = ValueToScreenY(MedianValue);
      if (is3D)
        c->HorizLine3D(left, right, m, StartZ);
      else
        c->HorizLine(left, right, m);
    } else {
      const int m = ValueToScreenX(MedianValue);
      if (is3D)
        c->VertLine3D(m, top, bottom, StartZ);
      else
        c->VertLine(m, top, bottom);
    }
  }
  if (FWhiskerPen->Visible()) {
    const int z = box->Visible() && box->Draw3D() ? MiddleZ : StartZ;
    c->AssignVisiblePen(FWhiskerPen.get());
    c->Brush->SetStyle(bsClear);
    auto pixel = [&](double V) { return FVertical ? ValueToScreenY(V) : ValueToScreenX(V); };
    const int centre = FVertical ? (left + right) / 2 : (top + bottom) / 2;
    DrawWhisker(centre, H, pixel(LowerQuartile), pixel(LowerWhiskerEnd), is3D, z);
    DrawWhisker(centre, H, pixel(UpperQuartile), pixel(UpperWhiskerEnd), is3D, z);
  }
}

void TCustomBoxSeries::DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) {
  const int pos = PositionPixel();
  if (FVertical) {
    Position.ArrowStart.X = pos;
    Position.ArrowEnd.X = pos;
    Position.LeftTop.X = pos - Position.Width / 2;
  } else {
    Position.ArrowStart.Y = pos;
    Position.ArrowEnd.Y = pos;
    Position.LeftTop.Y = pos - Position.Height / 2;
  }
  TPointSeries::DrawPointMark(ValueIndex, Text, Position);
}

// ---- sample data and gallery -------------------------------------------------------------------

void TCustomBoxSeries::AddRandomPoints(int32_t Count, bool) {
  const int count = FParentChart ? series_link::CountSeries(FParentChart) : 0;
  const double b = (count + 1) * (RandomInteger(10) + 3);
  AddValue(-b);
  for (int32_t c = 2; c <= Count - 2; ++c) AddValue(b * c / Count);
  AddValue(2 * b);
}

void TCustomBoxSeries::MakeGalleryThumbnail(bool Coloured) {
  TPointSeries::MakeGalleryThumbnail(Coloured);
  if (!FParentChart) return;
  for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
    auto* s = dynamic_cast<TCustomBoxSeries*>(series_link::SeriesAt(FParentChart, i));
    if (!s) continue;
    s->FPosition = i + 1;
    s->Pointer()->SetHorizSize(12);
    s->FMildOut->SetHorizSize(3);
    s->FExtrOut->SetVertSize(3);
    s->FillSampleValues((i + 1) * 10);
  }
}

// =============================================================================================

void RegisterBoxPlotSeries() {
  RegisterSeriesType(TBoxSeries::StaticClass(), &MsgGalleryBoxPlot, &MsgGalleryPageStats, 2);
  RegisterSeriesType(THorizBoxSeries::StaticClass(), &MsgGalleryHorizontalBoxPlot, &MsgGalleryPageStats, 2);
}

void UnregisterBoxPlotSeries() { UnregisterSeriesTypes({TBoxSeries::StaticClass(), THorizBoxSeries::StaticClass()}); }
