#include "chart/extra/smith_series.h"

#include <cmath>
#include <limits>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "platform/exceptions.h"
#include "platform/sysutils.h"

VM_PUBLISH(TSmithSeries) {
  using S = TSmithSeries;
  P.Int("CircleBackColor", &S::CircleBackColor, &S::SetCircleBackColor).Default(clGraphColor);
  P.Object("CircleGradient", &S::CircleGradient, &S::SetCircleGradient);
  P.Object("CirclePen", &S::CirclePen, &S::SetCirclePen);
  P.String("ImagSymbol", &S::ImagSymbol, &S::SetImagSymbol).Stored([](TObject* o) {
    return static_cast<S*>(o)->ImagSymbol() != "i";
  });
  P.Object("Pen", &S::Pen, &S::SetPen);
  P.Object("Pointer", &S::Pointer, &S::SetPointer);
  P.Object("ReactanceValues", &S::ReactanceValues, &S::SetReactanceValues);
  P.Object("ResistanceValues", &S::ResistanceValues, &S::SetResistanceValues);
  P.Event("OnGetPointerStyle", &S::OnGetPointerStyle);
}

namespace {
const double ReactanceTable[] = {0, 0.1, 0.3, 0.5, 0.8, 1, 1.5, 2, 3, 5, 7, 10};
const double ResistanceTable[] = {0, 0.2, 0.5, 1, 2, 5, 10};

int RoundToInt(double V) {
  if (!(std::fabs(V) <= std::numeric_limits<int32_t>::max())) throw ERangeError("Range check error");
  return static_cast<int>(std::nearbyint(V));
}
}  // namespace

TSmithSeries::TSmithSeries(TComponent* AOwner) : TCircledSeries(AOwner) {
  XValues()->SetName(MsgGalleryResistance);
  XValues()->SetOrder(loNone);
  YValues()->SetName(MsgGalleryReactance);
  FPointer = std::make_unique<TSeriesPointer>(this);
  FCirclePen.reset(CreateChartPen());
  SetCalcVisiblePoints(false);
}

TSmithSeries::~TSmithSeries() = default;

void TSmithSeries::SetPointer(TSeriesPointer* Value) { FPointer->Assign(Value); }

void TSmithSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TSmithSeries*>(Source)) {
    FPointer->Assign(s->FPointer.get());
    FCirclePen->Assign(s->FCirclePen.get());
    FImagSymbol = s->FImagSymbol;
  }
  TCircledSeries::Assign(Source);
}

void TSmithSeries::SetParentChart(TCustomAxisPanel* Value) {
  TCircledSeries::SetParentChart(Value);
  if (FPointer) FPointer->SetParentChart(Value);
}

// ---- grid settings held by the axes --------------------------------------------------------------

bool TSmithSeries::RLabels() const { return GetHorizAxis() ? GetHorizAxis()->Labels() : true; }
void TSmithSeries::SetRLabels(bool Value) {
  if (GetHorizAxis()) GetHorizAxis()->SetLabels(Value);
}
TGraphFont* TSmithSeries::RLabelsFont() const {
  return GetHorizAxis() ? GetHorizAxis()->LabelsFont() : Marks()->Font();
}
void TSmithSeries::SetRLabelsFont(TGraphFont* Value) {
  if (GetHorizAxis()) GetHorizAxis()->SetLabelsFont(Value);
}
TChartPen* TSmithSeries::RCirclePen() const { return GetHorizAxis() ? GetHorizAxis()->Grid() : Pen(); }
void TSmithSeries::SetRCirclePen(TChartPen* Value) {
  if (GetHorizAxis()) GetHorizAxis()->Grid()->Assign(Value);
}
bool TSmithSeries::CLabels() const { return GetVertAxis() ? GetVertAxis()->Labels() : true; }
void TSmithSeries::SetCLabels(bool Value) {
  if (GetVertAxis()) GetVertAxis()->SetLabels(Value);
}
TGraphFont* TSmithSeries::CLabelsFont() const { return GetVertAxis() ? GetVertAxis()->LabelsFont() : Marks()->Font(); }
void TSmithSeries::SetCLabelsFont(TGraphFont* Value) {
  if (GetVertAxis()) GetVertAxis()->SetLabelsFont(Value);
}
TChartPen* TSmithSeries::CCirclePen() const { return GetVertAxis() ? GetVertAxis()->Grid() : Pen(); }
void TSmithSeries::SetCCirclePen(TChartPen* Value) {
  if (GetVertAxis()) GetVertAxis()->Grid()->Assign(Value);
}

// ---- geometry ------------------------------------------------------------------------------------

void TSmithSeries::ZToPos(double Resistance, double Reactance, int& X, int& Y) const {
  const double f = Resistance * Resistance + Reactance * Reactance;
  const double d = 1 / (f + 2 * Resistance + 1);
  X = CircleXCenter + RoundToInt(XRadius * (f - 1) * d);
  Y = CircleYCenter - RoundToInt(YRadius * 2 * Reactance * d);
}

int32_t TSmithSeries::ScreenXAt(int32_t Index) {
  int x, y;
  ZToPos(XValues()->Value(Index), YValues()->Value(Index), x, y);
  return x;
}

int32_t TSmithSeries::ScreenYAt(int32_t Index) {
  int x, y;
  ZToPos(XValues()->Value(Index), YValues()->Value(Index), x, y);
  return y;
}

bool TSmithSeries::IsFirstSmith() {
  for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
    auto* s = dynamic_cast<TSmithSeries*>(series_link::SeriesAt(FParentChart, i));
    if (s && s->Active()) return s == this;
  }
  return false;
}

// ---- drawing ---------------------------------------------------------------------------------------

void TSmithSeries::FireBeforeDrawValues() {
  if (!FParentChart) {
    TCircledSeries::FireBeforeDrawValues();
    return;
  }
  TGraphCanvas3D* c = FParentChart->Canvas;
  const bool first = IsFirstSmith();
  if (first && CLabels()) {
    const int h = c->FontHeight(), w = c->TextWidth("360");
    TRect& r = FParentChart->ChartRect;
    r.Top += h + 2;
    r.Bottom -= h + 2;
    r.Left += w;
    r.Right -= w;
  }
  TCircledSeries::FireBeforeDrawValues();
  if (!first) return;
  if (HasCircleBackColor()) {
    c->Brush->SetStyle(bsSolid);
    c->Brush->SetColor(CalcCircleBackColor());
  } else {
    c->Brush->SetStyle(bsClear);
  }
  c->AssignVisiblePen(FCirclePen.get());
  c->EllipseWithZ(CircleXCenter - CircleWidth / 2, CircleYCenter - CircleHeight / 2, CircleXCenter + CircleWidth / 2,
                  CircleYCenter + CircleHeight / 2, EndZ);
  if (CircleGradient()->Visible()) DrawCircleGradient();
  TChartAxes* axes = FParentChart->Axes.get();
  if (!axes || !axes->GetVisible() || !axes->GetBehind()) return;
  c->Brush->SetStyle(bsClear);
  c->SetBackMode(cbmTransparent);
  TChartAxis* v = GetVertAxis();
  TChartAxis* h = GetHorizAxis();
  if (v && v->Visible()) {
    for (double x : ReactanceTable) {
      c->AssignVisiblePen(CCirclePen());
      DrawReactanceArcs(x, CLabels());
    }
  }
  if (h && h->Visible()) {
    for (double r : ResistanceTable) {
      c->AssignVisiblePen(RCirclePen());
      DrawResistanceCircle(r, RLabels());
    }
  }
}

void TSmithSeries::DrawResistanceCircle(double R, bool WithLabel) {
  if (R == -1) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  const double b = 1 / (R + 1);
  const int cw = RoundToInt(XRadius * b), d = RoundToInt(YRadius * b);
  const int right = CircleRect.Right;
  c->Brush->SetStyle(bsClear);
  c->EllipseWithZ(right - 2 * cw, CircleYCenter - d, right, CircleYCenter + d, MiddleZ);
  if (!WithLabel || !GetHorizAxis() || !GetHorizAxis()->Visible() || !RLabels()) return;
  c->AssignFont(RLabelsFont());
  c->SetTextAlign(TA_CENTER);
  c->SetBackMode(cbmTransparent);
  c->TextOut3D(right - 2 * cw, CircleYCenter, EndZ, FloatToStr(R));
}

void TSmithSeries::DrawReactanceLabel(int X, int Y, double Value) {
  if (!GetVertAxis() || !GetVertAxis()->Visible() || !CLabels()) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->AssignFont(CLabelsFont());
  const int h = c->FontHeight();
  const std::string text = FloatToStr(Value) + FImagSymbol;
  double a = PointToAngle(X, Y) * 57.29577;
  if (a >= 360) a -= 360;
  const int ia = static_cast<int>(Round(a));
  if (ia == 0 || ia == 180)
    Y -= h / 2;
  else if (ia > 0 && ia < 180)
    Y -= h;
  if (ia == 90 || ia == 270)
    c->SetTextAlign(TA_CENTER);
  else if (ia <= 90 || ia >= 270)
    c->SetTextAlign(TA_LEFT);
  else
    c->SetTextAlign(TA_RIGHT);
  const int nudge = c->TextWidth("0") / 2;
  if (ia == 0) X += nudge;
  if (ia == 180) X -= nudge;
  c->SetBackMode(cbmTransparent);
  c->TextOut3D(X, Y, EndZ, text);
}

void TSmithSeries::DrawReactanceArcs(double X, bool WithLabel) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const int right = CircleRect.Right, left = CircleRect.Left, cy = CircleYCenter;
  if (X == 0) {
    c->LineWithZ(left, cy, right, cy, MiddleZ);
    if (WithLabel) DrawReactanceLabel(left, cy, 0);
    return;
  }
  const bool flat = !series_link::View3D(FParentChart) || FParentChart->View3DOptions()->Orthogonal();
  int ax, ay, bx, by;
  ZToPos(0, X, ax, ay);
  ZToPos(100, X, bx, by);
  const int cw = RoundToInt(XRadius / X), d = RoundToInt(YRadius / X);
  auto arc = [&](int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
    if (series_link::View3D(FParentChart)) {
      const TPoint p1 = c->Calculate3DPosition(X1, Y1, MiddleZ), p2 = c->Calculate3DPosition(X2, Y2, MiddleZ);
      const TPoint p3 = c->Calculate3DPosition(X3, Y3, MiddleZ), p4 = c->Calculate3DPosition(X4, Y4, MiddleZ);
      c->Arc(p1.X, p1.Y, p2.X, p2.Y, p3.X, p3.Y, p4.X, p4.Y);
    } else {
      c->Arc(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
    }
  };
  if (flat) arc(right - cw, cy, right + cw, cy - 2 * d, ax, ay, bx, by);
  if (WithLabel) DrawReactanceLabel(ax, ay, X);
  int a2x, a2y;
  ZToPos(0, -X, a2x, a2y);
  if (flat) arc(right - cw, cy, right + cw, cy + 2 * d, bx, by, a2x, a2y);
  if (WithLabel) DrawReactanceLabel(a2x, a2y, -X);
}

void TSmithSeries::DrawOneValue(int32_t ValueIndex) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  int x, y;
  ZToPos(XValues()->Value(ValueIndex), YValues()->Value(ValueIndex), x, y);
  const TColor colour = ValueIndex == -1 ? SeriesColor() : PointColorAt(ValueIndex);
  if (Pen()->Visible())
    c->AssignVisiblePenColor(Pen(), colour);
  else
    c->Pen->SetStyle(psClear);
  c->SetBackMode(cbmTransparent);
  if (ValueIndex == FirstValueIndex) {
    c->MoveTo3D(x, y, StartZ);
  } else if (x != FLastX || y != FLastY) {
    c->LineTo3D(x, y, StartZ);
  }
  FLastX = x;
  FLastY = y;
}

void TSmithSeries::DrawVisiblePoints() {
  TCircledSeries::DrawVisiblePoints();
  if (!FPointer->Visible() || FirstValueIndex < 0) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  for (int32_t i = FirstValueIndex; i <= LastValueIndex && i < PointCount(); ++i) {
    const TColor colour = PointColorAt(i);
    FPointer->SetUpCanvas(c, colour);
    const TSeriesPointerStyle style = OnGetPointerStyle ? OnGetPointerStyle(this, i) : FPointer->Style();
    int x, y;
    ZToPos(XValues()->Value(i), YValues()->Value(i), x, y);
    FPointer->DrawStyledAt(x, y, colour, style);
  }
}

int32_t TSmithSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (FParentChart) FParentChart->Canvas->Calculate2DPosition(X, Y, StartZ);
  const int32_t base = TCircledSeries::PointIndexAt(X, Y);
  if (base != -1) return base;
  if (FirstValueIndex < 0 || LastValueIndex < 0 || !FPointer->Visible()) return -1;
  for (int32_t i = FirstValueIndex; i <= LastValueIndex && i < PointCount(); ++i) {
    int px, py;
    ZToPos(XValues()->Value(i), YValues()->Value(i), px, py);
    if (std::abs(px - X) < FPointer->HorizSize() && std::abs(py - Y) < FPointer->VertSize()) return i;
  }
  return -1;
}

void TSmithSeries::AddRandomPoints(int32_t Count, bool) {
  for (int32_t b = 0; b < Count; ++b) AddImpedance(b * 6.5 / Count, (RandomInteger(b) + 3.8) / Count, "", clDefault);
}

void TSmithSeries::MakeGalleryThumbnail(bool Coloured) {
  TCircledSeries::MakeGalleryThumbnail(Coloured);
  auto* chart = dynamic_cast<TCustomChart*>(FParentChart);
  if (!chart) return;
  chart->SetChart3DPercent(5);
  chart->RightAxis()->SetLabels(false);
  chart->TopAxis()->SetLabels(false);
  chart->View3DOptions()->SetOrthogonal(false);
  chart->View3DOptions()->SetElevation(360);
  chart->View3DOptions()->SetZoom(90);
}

// =============================================================================================

void RegisterSmithSeries() { RegisterSeriesType(TSmithSeries::StaticClass(), &MsgGallerySmith, &MsgPageExtended, 2); }

void UnregisterSmithSeries() { UnregisterSeriesTypes({TSmithSeries::StaticClass()}); }
