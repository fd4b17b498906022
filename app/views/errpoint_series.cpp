#include "app/views/errpoint_series.h"

#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/value_lists.h"

VM_DEFINE_CLASS(TLog10GraphFunction)
VM_DEFINE_CLASS(TPow10GraphFunction)
VM_DEFINE_CLASS(TModuleGraphFunction)

// Every property is written whatever its value: the curves of a stored chart keep their looks.
VM_PUBLISH(TErrPointSeries) {
  using S = TErrPointSeries;
  auto always = [](TObject*) { return true; };
  P.Object("ErrLinePen", &S::ErrLinePen, &S::SetErrLinePen).Stored(always);
  P.Object("HighValues", &S::HighValues, &S::SetHighValues).Stored(always);
  P.Int("HorizGap", &S::HorizGap, &S::SetHorizGap).Stored(always);
  P.Object("LowValues", &S::LowValues, &S::SetLowValues).Stored(always);
}

std::string MsgErrPointSeries = "Errpoint";
std::string MsgLog10Function = "Log10";
std::string MsgPow10Function = "Power10";
std::string MsgModuleFunction = "Module";

TErrPointSeries::TErrPointSeries(TComponent* AOwner) : TLineSeries(AOwner) {
  Pointer()->SetDraw3D(false);
  Pointer()->SetStyle(psDiamond);
  Pointer()->SetVisible(true);
  FErrLinePen.reset(CreateChartPen());
  FErrLinePen->SetColor(GetSeriesColor());
  FHighValues = new TChartValueList(this, "High");
  FLowValues = new TChartValueList(this, "Low");
  Pen()->SetColor(clDefault);  // the line draws in the series colour
}

TErrPointSeries::~TErrPointSeries() = default;

int32_t TErrPointSeries::AddErrPoint(double X, double Y, double Low, double High, const std::string& Label,
                                     TColor Color) {
  FLowValues->PendingValue = Low;
  FHighValues->PendingValue = High;
  return AddPoint(X, Y, Label, Color);
}

void TErrPointSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TErrPointSeries*>(Source)) FErrLinePen->Assign(s->FErrLinePen.get());
  TLineSeries::Assign(Source);  // the gap is not copied
}

void TErrPointSeries::DrawOneValue(int32_t ValueIndex) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const int x = ScreenXAt(ValueIndex), y = ScreenYAt(ValueIndex);
  c->Brush->SetStyle(bsClear);
  c->SetBackMode(cbmTransparent);
  FErrLinePen->SetColor(PointColorAt(ValueIndex));
  c->AssignVisiblePen(FErrLinePen.get());
  if (FErrLinePen->Visible()) {
    const int yHigh = ValueToScreenY(FHighValues->Value(ValueIndex));
    const int yLow = ValueToScreenY(FLowValues->Value(ValueIndex));
    const bool is3D = series_link::View3D(FParentChart);
    auto line = [&](int x0, int y0, int x1, int y1) {
      if (is3D)
        c->LineWithZ(x0, y0, x1, y1, MiddleZ);
      else
        c->Line(x0, y0, x1, y1);
    };
    line(x, y, x, yHigh);
    line(x - FHorizGap, yHigh, x + FHorizGap, yHigh);
    line(x, y, x, yLow);
    line(x - FHorizGap, yLow, x + FHorizGap, yLow);
  }
  TLineSeries::DrawOneValue(ValueIndex);  // the segment and the pointer, on top of the bar
}

void TErrPointSeries::AddRandomPoints(int32_t Count, bool) {
  TRandomPointBounds b;
  CalcRandomBounds(Count, b);
  const int32_t range = std::max(1, static_cast<int32_t>(std::nearbyint(b.DifY)));
  for (int32_t i = 0; i < Count; ++i) {
    const double y = RandomInteger(range);
    const double e = b.DifY / (20 + RandomInteger(4));
    AddErrPoint(b.StartX, y, y - e, y + e);
    b.StartX += b.StepX;
  }
}

void TLog10GraphFunction::CalculateFromSource(TChartSeries* Source) {
  if (!ParentSeries || !Source) return;
  ParentSeries->ClearValues();
  for (int32_t i = 0; i < Source->PointCount(); ++i) {
    const double x = Source->XValues()->Value(i), y = Source->YValues()->Value(i);
    if (x > 0 && y > 0) ParentSeries->AddPoint(std::log10(x), std::log10(y), "", clDefault);
  }
}

void TPow10GraphFunction::CalculateFromSource(TChartSeries* Source) {
  if (!ParentSeries || !Source) return;
  ParentSeries->ClearValues();
  for (int32_t i = 0; i < Source->PointCount(); ++i)
    ParentSeries->AddPoint(std::pow(10.0, Source->XValues()->Value(i)), std::pow(10.0, Source->YValues()->Value(i)), "",
                           clDefault);
}

double TModuleGraphFunction::CalculateValue(double Result, double Value) { return std::hypot(Result, Value); }

void RegisterMtChartTypes() {
  RegisterSeriesType(TErrPointSeries::StaticClass(), &MsgErrPointSeries, &MsgGalleryPageOther, 1);
  RegisterStandardFunctionType(TLog10GraphFunction::StaticClass(), &MsgLog10Function);
  RegisterStandardFunctionType(TPow10GraphFunction::StaticClass(), &MsgPow10Function);
  RegisterStandardFunctionType(TModuleGraphFunction::StaticClass(), &MsgModuleFunction);
}

void UnregisterMtChartTypes() {
  UnregisterSeriesTypes({TErrPointSeries::StaticClass()});
  UnregisterFunctionTypes(
      {TLog10GraphFunction::StaticClass(), TPow10GraphFunction::StaticClass(), TModuleGraphFunction::StaticClass()});
}
