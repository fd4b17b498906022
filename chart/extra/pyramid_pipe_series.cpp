#include "chart/extra/pyramid_pipe_series.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/value_lists.h"
#include "platform/sysutils.h"

VM_PUBLISH(TPyramidSeries) {
  using S = TPyramidSeries;
  P.Object("Brush", &S::Brush, &S::SetBrush);
  P.Bool("ColorEachPoint", &S::ColorEachPoint, &S::SetColorEachPoint).Default(true);
  P.Object("Pen", &S::Pen, &S::SetPen);
  P.Int("SizePercent", &S::SizePercent, &S::SetSizePercent).Default(50);
}

VM_PUBLISH(TVolumePipeSeries) {
  using S = TVolumePipeSeries;
  P.Object("Brush", &S::Brush, &S::SetBrush);
  P.Bool("ColorEachPoint", &S::ColorEachPoint, &S::SetColorEachPoint).Default(true);
  P.Int("ConePercent", &S::ConePercent, &S::SetConePercent).Default(30);
  P.Object("Gradient", &S::Gradient, &S::SetGradient);
  P.Object("LinesPen", &S::LinesPen, &S::SetLinesPen);
  P.Object("Pen", &S::Pen, &S::SetPen);
}

namespace {
int R(double V) { return static_cast<int>(std::nearbyint(V)); }
}  // namespace

// =============================================================================================
// Pyramid

TPyramidSeries::TPyramidSeries(TComponent* AOwner) : TChartSeries(AOwner) {
  SetCalcVisiblePoints(false);
  SetColorEachPoint(true);
}

void TPyramidSeries::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TPyramidSeries*>(Source)) FSizePercent = p->FSizePercent;
  TChartSeries::Assign(Source);
}

double TPyramidSeries::AccumulatedValue(int32_t N) const {
  double sum = 0;
  for (int32_t i = 0; i <= N; ++i) sum += YValues()->Value(i);
  return sum;
}

void TPyramidSeries::GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) {
  LeftMargin = 20;
  RightMargin = 20;
}

double TPyramidSeries::HighestX() {
  return FParentChart ? std::max(0, series_link::SeriesIndex(FParentChart, this)) : 0;
}

bool TPyramidSeries::IsDrawnForward() { return !(GetVertAxis() && GetVertAxis()->Inverted()); }

void TPyramidSeries::SegmentGeometry(int32_t I, TRect& Rect, int& TopHalfWidth, int& TopHalfDepth, int& BottomInset) {
  const double total = YValues()->Total();
  const double below = AccumulatedValue(I - 1), top = below + YValues()->Value(I);
  const double w1 = total == 0 ? 100 : 100 - below * 100 / total;
  const double w2 = total == 0 ? 100 : 100 - top * 100 / total;
  TChartAxis* h = GetHorizAxis();
  const int base = R((h ? h->AxisLength : 0) * FSizePercent * 0.005);
  const int centre = ValueToScreenX(LowestX());
  const int half = R(base * w1 * 0.01);
  Rect = TRect(centre - half, ValueToScreenY(top), centre + half, ValueToScreenY(below));
  const int depth = EndZ - StartZ;
  BottomInset = 100 - w1 > 0 ? R(depth * (100 - w1) * 0.005) : 0;
  TopHalfDepth = w2 < 100 ? R(depth * w2 * 0.005) : 0;
  TopHalfWidth = R(base * w2 * 0.01);
}

void TPyramidSeries::DrawOneValue(int32_t ValueIndex) {
  if (IsNullPoint(ValueIndex)) return;
  TRect r;
  int topWidth, topDepth, inset;
  SegmentGeometry(ValueIndex, r, topWidth, topDepth, inset);
  TGraphCanvas3D* c = FParentChart->Canvas;
  series_link::SetBrushCanvas(FParentChart, PointColorAt(ValueIndex), Brush(), Brush()->Color());
  c->AssignVisiblePen(Pen());
  c->PyramidTrunc(r, StartZ + inset, EndZ - inset, topWidth, topDepth);
}

void TPyramidSeries::DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) {
  Position.LeftTop.Y = ValueToScreenY(AccumulatedValue(ValueIndex));
  TChartSeries::DrawPointMark(ValueIndex, Text, Position);
}

int32_t TPyramidSeries::PointIndexAt(int32_t X, int32_t Y) {
  for (int32_t i = 0; i < PointCount(); ++i) {
    if (IsNullPoint(i)) continue;
    TRect r;
    int w, d, inset;
    SegmentGeometry(i, r, w, d, inset);
    if (PointInRectXY(r, X, Y)) return i;
  }
  return -1;
}

// =============================================================================================
// Volume pipe

TVolumePipeSeries::TVolumePipeSeries(TComponent* AOwner) : TChartSeries(AOwner) {
  FGradient = std::make_unique<TCustomGraphGradient>([this](TObject* Sender) { PenBrushChanged(Sender); });
  FGradient->SetVisible(true);
  FGradient->SetMidColor(clWhite);
  FLinesPen.reset(CreateChartPen());
  SetColorEachPoint(true);
}

TVolumePipeSeries::~TVolumePipeSeries() = default;

void TVolumePipeSeries::Assign(TPersistent* Source) {
  if (auto* p = dynamic_cast<TVolumePipeSeries*>(Source)) {
    FConePercent = p->FConePercent;
    FGradient->Assign(p->FGradient.get());
    FLinesPen->Assign(p->FLinesPen.get());
  }
  TChartSeries::Assign(Source);
}

void TVolumePipeSeries::PrepareForDraw() {
  TChartSeries::PrepareForDraw();
  if (Active() && GetVertAxis()) GetVertAxis()->SetVisible(false);
}

int32_t TVolumePipeSeries::MarksHeight() {
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->AssignFont(Marks()->Font());
  const int h = c->FontHeight();
  int32_t result = 0;
  for (int32_t i = std::max(0, FirstValueIndex); i <= LastValueIndex && i < PointCount(); ++i) {
    const std::string text = GetMarkText(i);
    const int lines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\r'));
    result = std::max(result, h * lines);
  }
  return result;
}

void TVolumePipeSeries::CalcOutline() {
  TRect r = FParentChart->ChartRect;
  if (Marks()->Visible()) r.Top += MarksHeight();
  const int c = FConePercent / 2;
  const double height = r.Bottom - r.Top;
  FOutline = {TPoint(r.Left + 2, r.Top + 2), TPoint(r.Right - 2, R(height * c * 0.01 + r.Top)),
              TPoint(r.Right - 2, R(r.Bottom - height * c * 0.01)), TPoint(r.Left + 2, r.Bottom - 2)};
  FDrop = FOutline[1].Y - FOutline[0].Y;
  FH0 = FOutline[3].Y - FOutline[0].Y;
  FH1 = FOutline[2].Y - FOutline[1].Y;
  FLen = FOutline[1].X - FOutline[0].X;
  FArea = R(FLen * (FH0 + FH1) * 0.5);
  FTotal = YValues()->TotalABS();
}

int TVolumePipeSeries::SegmentEndX(int32_t I) const {
  if (FTotal == 0) return 0;
  double s = 0;
  for (int32_t k = 0; k <= I; ++k) s += YValues()->Value(k);
  const double a = FArea * (s / FTotal * 100) * 0.01;
  const double d = FH0 - FH1;
  if (d == 0) return R(FLen * s / FTotal);
  const double b = 2 * FArea + d * FLen;
  const double disc = std::max(0.0, b * b - 8 * d * a * FLen);
  return R((b - std::sqrt(disc)) / (2 * d));
}

void TVolumePipeSeries::DrawVisiblePoints() {
  TChartSeries::DrawVisiblePoints();
  TGraphCanvas3D* c = FParentChart->Canvas;
  const bool is3D = series_link::View3D(FParentChart);
  if (FConePercent > 100) FConePercent = 100;
  CalcOutline();
  c->Brush->SetStyle(bsClear);
  FSegments.clear();
  FSegmentPoints.clear();
  const TPoint &p1 = FOutline[0], &p4 = FOutline[3];
  int prevX = p1.X, prevW = 0;
  if (FLen != 0)
    for (int32_t i = 0; i < PointCount(); ++i) {
      if (IsNullPoint(i)) continue;
      const int x = p1.X + SegmentEndX(i);
      const int w = R(double(x - p1.X) / FLen * FDrop);
      const std::array<TPoint, 4> poly = {TPoint(x, p4.Y - w), TPoint(x, p1.Y + w), TPoint(prevX, p1.Y + prevW),
                                          TPoint(prevX, p4.Y - prevW)};
      FSegments.push_back(poly);
      FSegmentPoints.push_back(i);
      if (FLinesPen->Visible())
        c->AssignVisiblePen(FLinesPen.get());
      else
        c->Pen->SetStyle(psClear);
      const TColor colour = PointColorAt(i);
      if (FGradient->Visible()) {
        TCustomGraphGradient g;
        g.Assign(FGradient.get());
        g.SetStartColor(colour);
        g.SetEndColor(colour);
        TPointArray pts(poly.begin(), poly.end());
        g.DrawPolygon(c, pts, is3D, 0);
        c->Brush->SetStyle(bsClear);
      } else {
        c->AssignBrushColor(Brush(), colour, Brush()->Color());
      }
      if (is3D)
        c->PolygonWithZ(poly, StartZ);
      else
        c->Polygon(poly);
      prevX = x;
      prevW = w;
    }
  if (Pen()->Visible()) {
    c->Brush->SetStyle(bsClear);
    c->AssignVisiblePen(Pen());
    if (is3D)
      c->PolygonWithZ(FOutline, StartZ);
    else
      c->Polygon(FOutline);
  }
}

const std::array<TPoint, 4>* TVolumePipeSeries::SegmentOf(int32_t ValueIndex) const {
  for (size_t k = 0; k < FSegmentPoints.size(); ++k)
    if (FSegmentPoints[k] == ValueIndex) return &FSegments[k];
  return nullptr;
}

void TVolumePipeSeries::DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) {
  const std::array<TPoint, 4>* s = SegmentOf(ValueIndex);
  if (!s) return;  // not drawn (a null point): no mark
  Position.LeftTop.X = ((*s)[0].X + (*s)[2].X) / 2 - Position.Width / 2;
  Position.LeftTop.Y = FParentChart->ChartRect.Top;
  TChartSeries::DrawPointMark(ValueIndex, Text, Position);
}

int32_t TVolumePipeSeries::PointIndexAt(int32_t X, int32_t Y) {
  const int32_t base = TChartSeries::PointIndexAt(X, Y);
  if (base != -1) return base;
  for (size_t k = 0; k < FSegments.size(); ++k)
    if (PointInPolygon(TPoint(X, Y), FSegments[k], 3)) return FSegmentPoints[k];
  return -1;
}

void TVolumePipeSeries::AddRandomPoints(int32_t Count, bool) {
  const std::string* labels[] = {&MsgSampleCars, &MsgSamplePhones, &MsgSampleTables, &MsgSampleMonitors,
                                 &MsgSampleLamps};
  for (int32_t i = 0; i < Count; ++i) AddValue(RandomInteger(1000) + 1, *labels[i % 5], clDefault);
}

// =============================================================================================

void RegisterPyramidPipeSeries() {
  RegisterSeriesType(TPyramidSeries::StaticClass(), &MsgGalleryPyramid, &MsgPageExtended, 2);
  RegisterSeriesType(TVolumePipeSeries::StaticClass(), &MsgGalleryVolumePipe, &MsgGalleryPageStats, 1);
}

void UnregisterPyramidPipeSeries() {
  UnregisterSeriesTypes({TPyramidSeries::StaticClass(), TVolumePipeSeries::StaticClass()});
}
