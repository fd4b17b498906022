#include "chart/extra/funnel_series.h"

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

VM_PUBLISH(TFunnelSeries) {
  using S = TFunnelSeries;
  P.Int("AboveColor", &S::AboveColor, &S::SetAboveColor).Default(0x008000);
  P.Bool("AutoUpdate", &S::AutoUpdate, &S::SetAutoUpdate).Default(true);
  P.Int("BelowColor", &S::BelowColor, &S::SetBelowColor).Default(0x0000FF);
  P.Object("Brush", &S::Brush, &S::SetBrush);
  P.Float("DifferenceLimit", &S::DifferenceLimit, &S::SetDifferenceLimit).Stored(true);
  P.Object("LinesPen", &S::LinesPen, &S::SetLinesPen);
  P.Object("OpportunityValues", &S::OpportunityValues, &S::SetOpportunityValues);
  P.Object("Pen", &S::Pen, &S::SetPen);
  P.Object("QuoteValues", &S::QuoteValues, &S::SetQuoteValues);
  P.Bool("QuotesSorted", &S::QuotesSorted, &S::SetQuotesSorted).Default(false);
  P.Int("WithinColor", &S::WithinColor, &S::SetWithinColor).Default(0x00FFFF);
}

TFunnelSeries::TFunnelSeries(TComponent* AOwner) : TChartSeries(AOwner) {
  YValues()->SetName(MsgValueQuoteValues);
  YValues()->SetOrder(loDescending);
  XValues()->SetName("");
  XValues()->SetOrder(loNone);
  FOpportunityValues = new TChartValueList(this, MsgValueOpportunityValues);
  FLinesPen.reset(CreateChartPen());
  SetPercentFormat("0.00 %");
  OnGetMarkText = [this](TChartSeries*, int ValueIndex, std::string& Text) { Text = MarkText(ValueIndex); };
  SetUsesSeriesColor(false);
}

TFunnelSeries::~TFunnelSeries() = default;

void TFunnelSeries::Assign(TPersistent* Source) {
  if (auto* f = dynamic_cast<TFunnelSeries*>(Source)) {
    FAboveColor = f->FAboveColor;
    FWithinColor = f->FWithinColor;
    FBelowColor = f->FBelowColor;
    FDifferenceLimit = f->FDifferenceLimit;
    FAutoUpdate = f->FAutoUpdate;
    FQuotesSorted = f->FQuotesSorted;
    FLinesPen->Assign(f->FLinesPen.get());
  }
  TChartSeries::Assign(Source);
}

void TFunnelSeries::SortQuotes() {
  YValues()->Sort();
  XValues()->FillSequence();
  FSorted = true;
}

int32_t TFunnelSeries::AddSegment(double Quote, double Opportunity, const std::string& Label, TColor Colour) {
  FOpportunityValues->PendingValue = Opportunity;
  const int32_t index = AddValue(Quote, Label, Colour);
  if (!FQuotesSorted) SortQuotes();
  return index;
}

void TFunnelSeries::Recalc() {
  if (!FSorted) SortQuotes();
  const int32_t n = PointCount();
  if (n == 0) return;
  FMax = YValues()->Value(0);
  FMin = YValues()->Value(n - 1);
  FSlope = (FMax - FMin) * 0.5 / n;
}

void TFunnelSeries::Loaded() {
  TChartSeries::Loaded();
  // Stored points come in the order they were drawn in.
  FSorted = true;
  Recalc();
}

void TFunnelSeries::SetDifferenceLimit(double V) {
  if (FDifferenceLimit == V) return;
  FDifferenceLimit = V;
  if (FAutoUpdate) Recalc();
  Repaint();
}

void TFunnelSeries::SetAutoUpdate(bool V) {
  FAutoUpdate = V;
  if (V) Recalc();
}

void TFunnelSeries::SetQuotesSorted(bool V) {
  FQuotesSorted = V;
  FSorted = V;
}

void TFunnelSeries::PrepareForDraw() {
  TChartSeries::PrepareForDraw();
  if (Active() && GetVertAxis()) GetVertAxis()->SetVisible(false);
}

std::string TFunnelSeries::MarkText(int32_t Index) {
  const double quote = YValues()->Value(Index);
  const double ratio = quote == 0 ? 0 : FOpportunityValues->Value(Index) / quote;
  return FormatFloat(PercentFormat(), 100 * ratio);
}

// ---- geometry and drawing --------------------------------------------------------------------------

int TFunnelSeries::SegmentPolygon(int32_t I, std::array<TPoint, 5>& Pts, TColor& Colour) {
  const double quote = YValues()->Value(I);
  const double ratio = quote == 0 ? 0 : FOpportunityValues->Value(I) / quote;
  const double s = FSlope;
  auto X = [&](double V) { return ValueToScreenX(V); };
  auto Y = [&](double V) { return ValueToScreenY(V); };
  const TPoint p1(X(I - 0.5), Y(FMax - I * s)), p2(X(I + 0.5), Y(FMax - (I + 1) * s));
  const TPoint p3(p2.X, Y((I + 1) * s)), p4(p1.X, Y(I * s));
  const int d = Y(I * s + ratio * (FMax - 2 * s * I));
  int n;
  if (d <= p1.Y) {
    Pts = {p1, p2, p3, p4};
    n = 4;
  } else if (d <= p2.Y) {
    const int x = s == 0 ? p2.X : X((FMax - 2 * s * I) * (1 - ratio) / s + I - 0.5);
    Pts = {TPoint(p1.X, d), TPoint(x, d), p2, p3, p4};
    n = 5;
  } else if (d <= p3.Y) {
    Pts = {TPoint(p1.X, d), TPoint(p2.X, d), p3, p4};
    n = 4;
  } else {
    const int x = s == 0 ? p1.X : X((FMax - 2 * s * I) * ratio / s + I - 0.5);
    Pts = {TPoint(p1.X, d), TPoint(x, d), p4};
    n = 3;
  }
  // The shortfall in percent of the quota, computed from the values themselves so that a
  // shortfall of exactly the limit counts as within it (1 - 0.7 is not 0.3 in binary).
  const double opportunity = FOpportunityValues->Value(I);
  const double shortfall = quote == 0 ? 100 : (quote - opportunity) * 100 / quote;
  if (ratio >= 1)
    Colour = FAboveColor;
  else if (shortfall > FDifferenceLimit)
    Colour = FBelowColor;
  else
    Colour = FWithinColor;
  return n;
}

void TFunnelSeries::DrawOneValue(int32_t ValueIndex) {
  std::array<TPoint, 5> pts;
  TColor colour;
  const int n = SegmentPolygon(ValueIndex, pts, colour);
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->AssignBrush(Brush(), colour);
  c->Pen->SetStyle(psClear);
  const std::span<const TPoint> poly(pts.data(), static_cast<size_t>(n));
  if (series_link::View3D(FParentChart))
    c->PolygonWithZ(poly, StartZ);
  else
    c->Polygon(poly);
}

void TFunnelSeries::DrawVisiblePoints() {
  TChartSeries::DrawVisiblePoints();
  TGraphCanvas3D* c = FParentChart->Canvas;
  const bool is3D = series_link::View3D(FParentChart);
  const int32_t n = PointCount();
  auto X = [&](double V) { return ValueToScreenX(V); };
  auto Y = [&](double V) { return ValueToScreenY(V); };
  if (Pen()->Visible()) {
    c->AssignVisiblePen(Pen());
    c->Brush->SetStyle(bsClear);
    const TPoint outline[4] = {TPoint(X(-0.5), Y(FMax)), TPoint(X(n - 0.5), Y((FMax + FMin) * 0.5)),
                               TPoint(X(n - 0.5), Y((FMax - FMin) * 0.5)), TPoint(X(-0.5), Y(0))};
    if (is3D)
      c->PolygonWithZ(outline, StartZ);
    else
      c->Polygon(outline);
  }
  if (FLinesPen->Visible() && FirstValueIndex >= 0) {
    c->AssignVisiblePen(FLinesPen.get());
    for (int32_t i = FirstValueIndex; i < LastValueIndex; ++i) {
      const int x = X(i + 0.5), y0 = Y((i + 1) * FSlope), y1 = Y(FMax - (i + 1) * FSlope);
      if (is3D)
        c->VertLine3D(x, y0, y1, StartZ);
      else
        c->VertLine(x, y0, y1);
    }
  }
}

void TFunnelSeries::DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) {
  Position.LeftTop =
      TPoint(ValueToScreenX(ValueIndex) - Position.Width / 2, ValueToScreenY(FMax * 0.5) - Position.Height / 2);
  TChartSeries::DrawPointMark(ValueIndex, Text, Position);
}

int32_t TFunnelSeries::PointIndexAt(int32_t X, int32_t Y) {
  const int32_t base = TChartSeries::PointIndexAt(X, Y);
  if (base != -1 || FirstValueIndex < 0) return base;
  for (int32_t i = FirstValueIndex; i <= LastValueIndex && i < PointCount(); ++i) {
    std::array<TPoint, 5> pts;
    TColor colour;
    const int n = SegmentPolygon(i, pts, colour);
    if (PointInPolygon(TPoint(X, Y), std::span<const TPoint>(pts.data(), static_cast<size_t>(n)), n - 1)) return i;
  }
  return -1;
}

// ---- legend and sample data -------------------------------------------------------------------------

TColor TFunnelSeries::LegendEntryColor(int32_t ValueIndex) {
  switch (ValueIndex) {
    case 0:
      return FAboveColor;
    case 1:
      return FWithinColor;
    default:
      return FBelowColor;
  }
}

void TFunnelSeries::FormatLegendText(int32_t ValueIndex, TLegendTextStyle, std::string& Text) {
  const std::string limit = FormatFloat(PercentFormat(), FDifferenceLimit);
  if (ValueIndex == 0)
    Text = MsgOptionExceedsQuota;
  else if (ValueIndex == 1)
    Text = limit + MsgOptionWithinQuota;
  else
    Text = limit + MsgOptionOrMoreBelowQuota;
}

void TFunnelSeries::AddRandomPoints(int32_t Count, bool) {
  for (int32_t k = 0; k < Count; ++k)
    AddSegment(Count * 2.3 * (k + 1), (2.3 - RandomInteger(2)) * Count * (k + 2), "Segment " + IntToStr(k + 1),
               clDefault);
  Recalc();
}

// =============================================================================================

void RegisterFunnelSeries() {
  RegisterSeriesType(TFunnelSeries::StaticClass(), &MsgGalleryFunnel, &MsgGalleryPageStats, 1);
}

void UnregisterFunnelSeries() { UnregisterSeriesTypes({TFunnelSeries::StaticClass()}); }
