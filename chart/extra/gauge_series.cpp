#include "chart/extra/gauge_series.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/value_lists.h"
#include "platform/sysutils.h"

const TEnumInfo HandStyleInfo("THandStyle", {"hsLine", "hsTriangle"});

VM_PUBLISH(TGaugeSeries) {
  using S = TGaugeSeries;
  P.Object("Center", &S::Center, &S::SetCenter);
  P.Bool("Circled", &S::Circled, &S::SetCircled).Default(true);
  P.Object("CircleGradient", &S::CircleGradient, &S::SetCircleGradient);
  P.Object("EndPoint", &S::EndPoint, &S::SetEndPoint);
  P.Bool("FullRepaint", &S::FullRepaint, &S::SetFullRepaint).Default(false);
  P.Int("HandDistance", &S::HandDistance, &S::SetHandDistance).Default(30);
  P.Enum("HandStyle", &S::HandStyle, &S::SetHandStyle, HandStyleInfo).Default(hsLine);
  P.Bool("LabelsInside", &S::LabelsInside, &S::SetLabelsInside).Default(true);
  P.Float("Maximum", &S::Maximum, &S::SetMaximum).Stored(true);
  P.Float("Minimum", &S::Minimum, &S::SetMinimum).Stored(true);
  P.Int("MinorTickDistance", &S::MinorTickDistance, &S::SetMinorTickDistance).Default(0);
  P.Object("Pen", &S::Pen, &S::SetPen);
  P.Int("RotationAngle", &S::RotationAngle, &S::SetRotationAngle).Default(135);
  P.Float("TotalAngle", &S::TotalAngle, &S::SetTotalAngle).Stored(true);
  P.Float("Value", &S::Value, &S::SetValue).Stored(true);
  P.Event("OnChange", &S::OnChange);
}

namespace {
constexpr double kPi = 3.14159265358979323846;

int R(double V) { return static_cast<int>(std::nearbyint(V)); }

// The point Distance back from End towards Start (beyond End for a negative distance).
TPoint PointBackFromEnd(const TPoint& Start, const TPoint& End, int Distance) {
  const double dx = End.X - Start.X, dy = End.Y - Start.Y, len = std::hypot(dx, dy);
  if (len == 0) return End;
  return TPoint(R(End.X - dx * Distance / len), R(End.Y - dy * Distance / len));
}
}  // namespace

TGaugeSeries::TGaugeSeries(TComponent* AOwner) : TCircledSeries(AOwner) {
  FCircled = true;
  SetRotationAngle(135);
  SetShowInLegend(false);
  FCenter = std::make_unique<TSeriesPointer>(this);
  FCenter->Brush()->SetStyle(bsSolid);
  FCenter->Brush()->SetColor(clBlack);
  FCenter->SetStyle(psCircle);
  FCenter->SetHorizSize(8);
  FCenter->SetVertSize(8);
  FCenter->Gradient()->SetVisible(true);
  FEndPoint = std::make_unique<TSeriesPointer>(this);
  FEndPoint->Brush()->SetStyle(bsSolid);
  FEndPoint->Brush()->SetColor(clWhite);
  FEndPoint->SetStyle(psCircle);
  FEndPoint->SetHorizSize(3);
  FEndPoint->SetVertSize(3);
  FEndPoint->SetVisible(false);
  AddValue(0);
}

TGaugeSeries::~TGaugeSeries() = default;

void TGaugeSeries::Assign(TPersistent* Source) {
  if (auto* g = dynamic_cast<TGaugeSeries*>(Source)) {
    FMinimum = g->FMinimum;
    FMaximum = g->FMaximum;
    FTotalAngle = g->FTotalAngle;
    FHandStyle = g->FHandStyle;
    FHandDistance = g->FHandDistance;
    FCenter->Assign(g->FCenter.get());
    FEndPoint->Assign(g->FEndPoint.get());
    FLabelsInside = g->FLabelsInside;
    FMinorTickDistance = g->FMinorTickDistance;
    FFullRepaint = g->FFullRepaint;
  }
  TCircledSeries::Assign(Source);
}

void TGaugeSeries::SetCenter(TSeriesPointer* V) { FCenter->Assign(V); }
void TGaugeSeries::SetEndPoint(TSeriesPointer* V) { FEndPoint->Assign(V); }

void TGaugeSeries::SetHandStyle(THandStyle V) {
  if (FHandStyle == V) return;
  FHandStyle = V;
  Repaint();
}

double TGaugeSeries::Value() {
  if (PointCount() == 0) AddValue(0);
  return YValues()->Value(0);
}

void TGaugeSeries::SetValue(double V) {
  if (V == Value()) return;
  // Without a full repaint the hand is drawn in not-xor mode on the chart's window: once at the
  // old value (which takes it away) and once at the new one.
  const bool xorHand = !FFullRepaint && FDrawn && FParentChart && Pen()->Visible();
  TCustomChart* chart = dynamic_cast<TCustomChart*>(FParentChart);
  if (xorHand && chart) {
    chart->Canvas->SetCanvas(chart->WindowCanvas());
    DrawHand();
  }
  YValues()->Values[0] = V;
  YValues()->StatsStale = true;
  if (FFullRepaint || !chart || !FDrawn)
    Repaint();
  else if (xorHand)
    DrawHand();
  if (OnChange) OnChange(this);
}

void TGaugeSeries::SetMaximum(double V) {
  SetDoubleProperty(FMaximum, V);
  SetValue(std::min(Value(), FMaximum));
}

void TGaugeSeries::SetMinimum(double V) {
  SetDoubleProperty(FMinimum, V);
  SetValue(std::max(Value(), FMinimum));
}

void TGaugeSeries::AfterPointAdded(TChartSeries* Sender, int32_t ValueIndex) {
  SetValue(YValues()->Value(ValueIndex));
  TCircledSeries::AfterPointAdded(Sender, ValueIndex);
}

void TGaugeSeries::SetParentChart(TCustomAxisPanel* Value) {
  TCircledSeries::SetParentChart(Value);
  if (ComponentState().Contains(csDestroying)) return;
  if (FCenter) FCenter->SetParentChart(Value);
  if (FEndPoint) FEndPoint->SetParentChart(Value);
  FDrawn = false;
  if (!Value) return;
  Value->SetView3DWalls(false);
  Value->SetView3D(false);
  if (auto* chart = dynamic_cast<TCustomChart*>(Value))
    if (TChartPen* frame = chart->Frame()) frame->SetVisible(false);
  if (TChartAxis* a = GetAxis()) {
    a->SetTickLength(14);
    a->SetMinorTickLength(6);
  }
}

// ---- geometry ------------------------------------------------------------------------------------

TPoint TGaugeSeries::AngleToPos(const TPoint& Centre, double Angle, double XRadius, double YRadius) {
  return TPoint(Centre.X - R(std::cos(Angle) * XRadius), Centre.Y - R(std::sin(Angle) * YRadius));
}

double TGaugeSeries::ValueAngle(double V) const {
  const double range = FMaximum - FMinimum;
  const double deg = 360 - (FTotalAngle - FTotalAngle * (V - FMinimum) / range) + RotationAngle();
  return deg * kPi / 180;
}

int32_t TGaugeSeries::PointerExtent(TSeriesPointer* P) {
  if (!P->Visible()) return 0;
  return 2 * P->VertSize() + (P->Pen()->Visible() ? P->Pen()->Width() : 0);
}

void TGaugeSeries::CalcHandPoints(TPoint& Start, TPoint& End) {
  const double range = FMaximum - FMinimum;
  const double angle = range != 0 ? ValueAngle(Value()) : kPi / 2;
  End = AngleToPos(FCentre, angle, XRadius, YRadius);
  const int e = PointerExtent(FEndPoint.get());
  if (e + FHandDistance > 0) End = PointBackFromEnd(FCentre, End, e + FHandDistance);
  Start = FCentre;
  if (FCenter->Visible() && FCenter->Style() == psCircle)
    Start = PointBackFromEnd(End, FCentre, PointerExtent(FCenter.get()) / 2);
}

// ---- drawing ---------------------------------------------------------------------------------------

void TGaugeSeries::DrawHand() {
  TGraphCanvas3D* c = FParentChart->Canvas;
  TPoint start, end;
  CalcHandPoints(start, end);
  const TPenMode mode = FFullRepaint ? pmCopy : pmNotXor;
  c->AssignVisiblePen(Pen());
  c->Pen->SetMode(mode);
  if (FHandStyle == hsLine) {
    c->Line(start.X, start.Y, end.X, end.Y);
  } else {
    const double phi = std::atan2(double(start.Y - end.Y), double(end.X - start.X)) + kPi / 2;
    const TPoint pts[3] = {end, AngleToPos(start, phi, 4, 4), AngleToPos(start, phi + kPi, 4, 4)};
    c->Brush->SetStyle(bsSolid);
    c->Brush->SetColor(Pen()->Color());
    c->Polygon(pts);
  }
  if (FEndPoint->Visible()) {
    FEndPoint->SetUpCanvas(c, FEndPoint->Brush()->Color());
    c->Pen->SetMode(mode);
    if (!FFullRepaint) c->Brush->SetStyle(bsClear);
    const TPoint at = PointBackFromEnd(FCentre, end, -PointerExtent(FEndPoint.get()) / 2);
    FEndPoint->DrawPointerShape(c, false, at.X, at.Y, FEndPoint->HorizSize(), FEndPoint->VertSize(),
                                FEndPoint->Brush()->Color(), FEndPoint->Style());
  }
  c->Pen->SetMode(pmCopy);
}

void TGaugeSeries::DrawMinorTicks(double V, double MinorStep, const TPoint& Centre, double RX, double RY) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  TChartAxis* axis = GetAxis();
  const int inner = axis->MinorTickLength() + FMinorTickDistance;
  for (int j = 1; j <= axis->MinorTickCount(); ++j) {
    const double m = V + j * MinorStep;
    if (m > FMaximum) break;
    const double a = ValueAngle(m);
    const TPoint p0 = AngleToPos(Centre, a, RX - inner, RY - inner);
    const TPoint p1 = AngleToPos(Centre, a, RX - FMinorTickDistance, RY - FMinorTickDistance);
    c->Line(p0.X, p0.Y, p1.X, p1.Y);
  }
}

void TGaugeSeries::DrawVisiblePoints() {
  TGraphCanvas3D* c = FParentChart->Canvas;
  TChartAxis* axis = GetAxis();
  FCentre = TPoint(CircleXCenter, CircleYCenter);
  FDrawn = true;
  if (!axis) return;
  const double step = axis->Increment() != 0 ? axis->Increment() : 10;
  const double range = FMaximum - FMinimum;
  // A step too small for the range would never end: such a scale gets no ticks.
  const bool ticksFit = range != 0 && step > 0 && range / step < 10000;
  if (CircleGradient()->Visible()) DrawCircleGradient();
  if (FCenter->Visible()) {
    FCenter->SetUpCanvas(c, FCenter->Brush()->Color());
    FCenter->DrawPointerShape(c, false, FCentre.X, FCentre.Y, FCenter->HorizSize(), FCenter->VertSize(),
                              FCenter->Brush()->Color(), FCenter->Style());
  }
  const double rx = XRadius, ry = YRadius;
  if ((axis->Ticks()->Visible() || axis->Labels()) && ticksFit) {
    c->AssignFont(axis->LabelsFont());
    c->AssignVisiblePen(axis->Ticks());
    c->SetBackMode(cbmTransparent);
    c->SetTextAlign(TA_LEFT);
    const int tick = axis->TickLength();
    const int h = c->FontHeight();
    for (double v = FMinimum; FTotalAngle < 360 ? v <= FMaximum : v < FMaximum; v += step) {
      const double a = ValueAngle(v);
      const TPoint inner = AngleToPos(FCentre, a, rx - tick, ry - tick);
      const TPoint outer = AngleToPos(FCentre, a, rx, ry);
      if (axis->Ticks()->Visible()) c->Line(inner.X, inner.Y, outer.X, outer.Y);
      if (!axis->Labels()) continue;
      const std::string text = FormatFloat(ValueFormat(), v);
      const int tw = c->TextWidth(text);
      TPoint p;
      if (!FLabelsInside) {
        p = AngleToPos(FCentre, a, rx + h, ry + h);
        p.X -= R(tw * 0.5);
      } else {
        p = inner;
        double deg = a * 180 / kPi;
        while (deg > 360) deg -= 360;
        while (deg < 0) deg += 360;
        p.X += R(tw * 0.5 * std::cos(deg * kPi / 180));
        if (deg > 180 && deg < 360) p.Y += R(h * std::sin(deg * kPi / 180));
      }
      c->TextOut(p.X, p.Y, text);
    }
  }
  if (axis->MinorTicks()->Visible() && axis->MinorTickCount() > 0 && ticksFit) {
    c->AssignVisiblePen(axis->MinorTicks());
    const double minor = step / (axis->MinorTickCount() + 1);
    double v = FMinimum;
    do {
      DrawMinorTicks(v, minor, FCentre, rx, ry);
      v += step;
    } while (FMaximum - step >= v);
    if (v < FMaximum) DrawMinorTicks(v, minor, FCentre, rx, ry);
  }
  if (axis->Axis()->Visible()) {
    c->AssignVisiblePen(axis->Axis());
    c->Brush->SetStyle(bsClear);
    const double rot = RotationAngle() * kPi / 180;
    const TPoint s = AngleToPos(FCentre, rot, CircleWidth, CircleHeight);
    const TPoint e = AngleToPos(FCentre, (360 - FTotalAngle + RotationAngle()) * kPi / 180, CircleWidth, CircleHeight);
    TRect box = FParentChart->ChartRect;
    if (Circled()) {
      const int side = std::min(box.Right - box.Left, box.Bottom - box.Top);
      const int cx = (box.Left + box.Right) / 2, cy = (box.Top + box.Bottom) / 2;
      box = TRect(cx - side / 2, cy - side / 2, cx - side / 2 + side, cy - side / 2 + side);
    }
    c->Arc(box.Left + 1, box.Top + 1, box.Right, box.Bottom, s.X, s.Y, e.X, e.Y);
  }
  if (Pen()->Visible()) DrawHand();
}

int32_t TGaugeSeries::PointIndexAt(int32_t X, int32_t Y) {
  TPoint start, end;
  CalcHandPoints(start, end);
  if (FParentChart) FParentChart->Canvas->Calculate2DPosition(X, Y, MiddleZ);
  return PointInLineEndsTolerance(TPoint(X, Y), start, end, 2) ? 0 : -1;
}

void TGaugeSeries::AddRandomPoints(int32_t, bool) {
  SetValue(FMinimum + RandomInteger(1000000) / 1000000.0 * (FMaximum - FMinimum));
}

void TGaugeSeries::SetGalleryView3D(bool Value) {
  TCircledSeries::SetGalleryView3D(Value);
  if (FParentChart) FParentChart->SetView3D(false);
  SetCircled(true);
}

void TGaugeSeries::MakeGalleryThumbnail(bool Coloured) {
  TCircledSeries::MakeGalleryThumbnail(Coloured);
  if (TChartAxis* a = GetAxis()) {
    a->SetMinorTickCount(1);
    a->SetTickLength(4);
    a->SetMinorTickLength(2);
    a->SetIncrement(25);
  }
  SetHandDistance(3);
  FCenter->SetHorizSize(2);
  FCenter->SetVertSize(2);
  SetFullRepaint(true);
  Pen()->SetColor(Coloured ? clBlue : clGray);
}

// =============================================================================================

void RegisterGaugeSeries() { RegisterSeriesType(TGaugeSeries::StaticClass(), &MsgGalleryGauge, &MsgPageExtended, 1); }

void UnregisterGaugeSeries() { UnregisterSeriesTypes({TGaugeSeries::StaticClass()}); }
