#include "chart/series/polar_series.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_errors.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_blend.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/value_lists.h"
#include "platform/streaming.h"

namespace {
constexpr double kPiStep = 0.017453292519943295;
int Round(double V) { return static_cast<int>(std::nearbyint(V)); }

// A number in general format (up to 15 significant digits, no trailing zeros).
std::string GeneralNumber(double V) {
  char b[40];
  std::snprintf(b, sizeof b, "%.15g", V);
  return b;
}

bool TransparencyStored(TObject* O) { return static_cast<TCustomPolarSeries*>(O)->Transparency() != 0; }
bool RadiusValuesStored(TObject* O) {
  TChartValueList* l = static_cast<TCustomPolarSeries*>(O)->RadiusValues();
  return l->Name() != "Radius" || l->DateTime() || l->Order() != loNone || !l->ValueSource().empty();
}
}  // namespace

VM_DEFINE_CLASS(TCustomPolarSeries)

// The polar series and the polar bar publish the whole set; the radar leaves out the angle
// settings, which it computes itself.
#define VM_POLAR_COMMON(S)                                                                                        \
  P.Object("Brush", &S::Brush, &S::SetBrush);                                                                     \
  P.Int("CircleBackColor", &S::CircleBackColor, &S::SetCircleBackColor).Default(clGraphColor);                    \
  P.Object("CircleGradient", &S::CircleGradient, &S::SetCircleGradient);                                          \
  P.Bool("CircleLabels", &S::CircleLabels, &S::SetCircleLabels).Default(false);                                   \
  P.Object("CircleLabelsFont", &S::CircleLabelsFont, &S::SetCircleLabelsFont);                                    \
  P.Bool("CircleLabelsRotated", &S::CircleLabelsRotated, &S::SetCircleLabelsRotated).Default(false);              \
  P.Object("CirclePen", &S::CirclePen, &S::SetCirclePen);                                                         \
  P.Bool("Circled", &S::Circled, &S::SetCircled).Default(false);                                                  \
  P.Bool("CloseCircle", &S::CloseCircle, &S::SetCloseCircle).Default(true);                                       \
  P.Int("CustomXRadius", &S::CustomXRadius, &S::SetCustomXRadius).Default(0);                                     \
  P.Int("CustomYRadius", &S::CustomYRadius, &S::SetCustomYRadius).Default(0);                                     \
  P.Int("LabelsMargin", &S::LabelsMargin, &S::SetLabelsMargin).Default(3);                                        \
  P.Object("Pen", &S::Pen, &S::SetPen);                                                                           \
  P.Object("Pointer", &S::Pointer, &S::SetPointer);                                                               \
  P.Float("RadiusIncrement", &S::RadiusIncrement, &S::SetRadiusIncrement).Stored([](TObject*) { return false; }); \
  P.Object("RadiusValues", &S::RadiusValues, &S::SetRadiusValues).Stored(RadiusValuesStored);                     \
  P.Int("Transparency", &S::Transparency, &S::SetTransparency).Stored(TransparencyStored);                        \
  P.Event("OnGetPointerStyle", &S::OnGetPointerStyle)

#define VM_POLAR_ANGLES(S)                                                                                     \
  P.Float("AngleIncrement", &S::AngleIncrement, &S::SetAngleIncrement).Stored([](TObject*) { return false; }); \
  P.Object("AngleValues", &S::AngleValues, &S::SetAngleValues);                                                \
  P.Bool("CircleLabelsInside", &S::CircleLabelsInside, &S::SetCircleLabelsInside).Default(false);              \
  P.Bool("ClockWiseLabels", &S::ClockWiseLabels, &S::SetClockWiseLabels).Default(false);                       \
  P.Int("RotationAngle", &S::RotationAngle, &S::SetRotationAngle).Default(0)

VM_PUBLISH(TPolarSeries) {
  VM_POLAR_COMMON(TPolarSeries);
  VM_POLAR_ANGLES(TPolarSeries);
}
VM_PUBLISH(TPolarBarSeries) {
  VM_POLAR_COMMON(TPolarBarSeries);
  VM_POLAR_ANGLES(TPolarBarSeries);
}
VM_PUBLISH(TRadarSeries) { VM_POLAR_COMMON(TRadarSeries); }

// =============================================================================================
// TCustomPolarSeries

TCustomPolarSeries::TCustomPolarSeries(TComponent* AOwner) : TCircledSeries(AOwner) {
  FPointer = std::make_unique<TCustomSeriesPointer>(this);
  YValues()->SetName("Radius");
  Brush()->SetStyle(bsClear);
  FCircleLabelsFont = std::make_unique<TGraphFont>([this](TObject* s) { PenBrushChanged(s); });
  FCirclePen.reset(CreateChartPen());
}

TCustomPolarSeries::~TCustomPolarSeries() = default;

double TCustomPolarSeries::AngleIncrement() const {
  if (FParentChart && GetHorizAxis() && GetHorizAxis()->Increment() != 0) return GetHorizAxis()->Increment();
  return 10;
}
void TCustomPolarSeries::SetAngleIncrement(double Value) {
  if (FParentChart && GetHorizAxis()) GetHorizAxis()->SetIncrement(Value);
}
double TCustomPolarSeries::RadiusIncrement() const {
  return FParentChart && GetVertAxis() ? GetVertAxis()->Increment() : 0;
}
void TCustomPolarSeries::SetRadiusIncrement(double Value) {
  if (FParentChart && GetVertAxis()) GetVertAxis()->SetIncrement(Value);
}

void TCustomPolarSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TCustomPolarSeries*>(Source)) {
    FCircleLabels = s->FCircleLabels;
    FCircleLabelsFont->Assign(s->FCircleLabelsFont.get());
    FCircleLabelsInside = s->FCircleLabelsInside;
    FCircleLabelsRotated = s->FCircleLabelsRotated;
    FCirclePen->Assign(s->FCirclePen.get());
    FLabelsMargin = s->FLabelsMargin;
    FClockWiseLabels = s->FClockWiseLabels;
    FCloseCircle = s->FCloseCircle;
    FPointer->Assign(s->FPointer.get());
    FTransparency = s->FTransparency;
  }
  TCircledSeries::Assign(Source);
}

void TCustomPolarSeries::DefineProperties(TFiler* Filer) {
  TCircledSeries::DefineProperties(Filer);
  // The brush starts clear here, so a solid brush (the brush's own default, which it does not
  // write) must be written for the filled wedges to survive saving.
  Filer->DefineProperty(
      "FillStyle", [this](TReader* r) { Brush()->SetStyle(static_cast<TBrushStyle>(r->ReadInteger())); },
      [this](TWriter* w) { w->WriteInteger(Brush()->Style()); }, Brush()->Style() != bsClear);
}

void TCustomPolarSeries::SetParentChart(TCustomAxisPanel* Value) {
  TCircledSeries::SetParentChart(Value);
  if (FPointer) FPointer->SetParentChart(Value);
  if (Value && ComponentState().Contains(csDesigning)) Value->SetView3D(false);
}

void TCustomPolarSeries::SetSeriesColor(TColor Value) {
  TCircledSeries::SetSeriesColor(Value);
  if (Brush()->Style() == bsClear) Pen()->SetColor(Value);
}

// ---------------------------------------------------------------------------------------------
// Positions.

void TCustomPolarSeries::CalcXYPos(int32_t ValueIndex, double R, int& X, int& Y) {
  double r = 0;
  TChartAxis* a = GetVertAxis();
  if (a) {
    const double mn = a->Minimum(), mx = a->Maximum(), d = mx - mn;
    const double v = YValueAt(ValueIndex);
    const double off = a->Inverted() ? mx - v : v - mn;
    if (!a->Logarithmic()) {
      if (d != 0 && off >= 0) r = off * R / d;
    } else if (d != 0 && off > 0 && mn > 0 && v > 0) {
      // Logarithmic scale: a point or a minimum at zero or below has no place and stays at the centre.
      const double span = std::log(mx) - std::log(mn);
      r = a->Inverted() ? Round(R * (std::log(mx) - std::log(v)) / span)
                        : Round(R * (std::log(v) - std::log(mn)) / span);
    }
  }
  // A scale that is nearly empty (the axis widens an empty range by a hair) must not overflow the
  // pixel type: such points land far outside the circle, never wrap round.
  if (!std::isfinite(r)) r = 0;
  r = std::clamp(r, -1e6, 1e6);
  AngleToPos(XValueAt(ValueIndex) * kPiStep, r, r, X, Y);
}

int32_t TCustomPolarSeries::ScreenXAt(int32_t Index) {
  int x, y;
  CalcXYPos(Index, XRadius, x, y);
  return x;
}

int32_t TCustomPolarSeries::ScreenYAt(int32_t Index) {
  int x, y;
  CalcXYPos(Index, YRadius, x, y);
  return y;
}

// ---------------------------------------------------------------------------------------------
// The circle, the rings, the spokes and the radius axes.

bool TCustomPolarSeries::IsFirstOfFamily() {
  for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
    TChartSeries* s = series_link::SeriesAt(FParentChart, i);
    if (s->Active() && s->ClassType()->InheritsFrom(ClassType())) return s == this;
  }
  return false;
}

bool TCustomPolarSeries::IsLastOfFamily() {
  bool after = false;
  for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
    TChartSeries* s = series_link::SeriesAt(FParentChart, i);
    if (s == this)
      after = true;
    else if (after && s->ClassType()->InheritsFrom(ClassType()))
      return false;
  }
  return true;
}

bool TCustomPolarSeries::AxesBehind() {
  bool r = FParentChart->AxisBehind();
  if (FParentChart->View3D() && !FParentChart->View3DOptions()->Orthogonal() &&
      FParentChart->IsPlaneMirroredAt(FParentChart->Width3D))
    r = !r;
  return r;
}

void TCustomPolarSeries::FireBeforeDrawValues() {
  TCircledSeries::FireBeforeDrawValues();
  if (!FParentChart) return;
  const bool first = IsFirstOfFamily();
  if (first && FCircleLabels && !FCircleLabelsInside) {
    TGraphCanvas3D* c = FParentChart->Canvas;
    c->AssignFont(FCircleLabelsFont.get());
    const int h = c->FontHeight() + 2, w = c->TextWidth("360");
    TRect& r = FParentChart->ChartRect;
    r.Top += h;
    r.Bottom -= h;
    r.Left += w;
    r.Right -= w;
    TCircledSeries::FireBeforeDrawValues();
  }
  if (!first) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  if (HasCircleBackColor()) {
    c->Brush->SetStyle(bsSolid);
    c->Brush->SetColor(CalcCircleBackColor());
  } else {
    c->Brush->SetStyle(bsClear);
  }
  DrawBackImageInCircle();
  c->AssignVisiblePen(FCirclePen.get());
  DrawPolarCircle(CircleWidth / 2, CircleHeight / 2, EndZ);
  if (FGradient->Visible()) DrawCircleGradient();
  if (AxesBehind()) DrawAxes();
}

// A back image meant for the inside of the chart shows inside the circle only (flat or orthogonal views).
void TCustomPolarSeries::DrawBackImageInCircle() {
  auto* chart = dynamic_cast<TCustomGraphPanelExtended*>(FParentChart);
  if (!chart || !chart->BackImageInside() || !chart->HasBackImage()) return;
  if (chart->View3D() && !chart->View3DOptions()->Orthogonal()) return;
  TGraphCanvas3D* c = chart->Canvas;
  TRect r(CircleRect.Left + 1, CircleRect.Top + 1, CircleRect.Right + 1, CircleRect.Bottom + 1);
  if (chart->View3D()) r = c->ProjectRect(r, chart->Width3D);
  c->ClipEllipse(r);
  chart->DrawBackImage(r, 0);
  c->UnClipRectangle();
}

void TCustomPolarSeries::FireAfterDrawValues() {
  if (FParentChart && !AxesBehind() && IsLastOfFamily()) DrawAxes();
  TCircledSeries::FireAfterDrawValues();
}

void TCustomPolarSeries::DrawPolarCircle(int HalfWidth, int HalfHeight, int Z) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  if (FRadarPointCount == 0) {
    c->EllipseWithZ(CircleXCenter - HalfWidth, CircleYCenter - HalfHeight, CircleXCenter + HalfWidth,
                    CircleYCenter + HalfHeight, Z);
    return;
  }
  const bool filled = c->Brush->Style() != bsClear;
  const double step = AngleIncrement() * kPiStep;
  int px, py;
  AngleToPos(0, HalfWidth, HalfHeight, px, py);
  c->MoveTo3D(px, py, Z);
  for (int32_t t = 0; t <= FRadarPointCount; ++t) {
    int x, y;
    AngleToPos(t * step, HalfWidth, HalfHeight, x, y);
    if (filled) {
      // The fill must not outline the wedges: only the polygon's sides carry the pen.
      const TPenStyle old = c->Pen->Style();
      c->Pen->SetStyle(psClear);
      c->TriangleWithZ(TPoint(CircleXCenter, CircleYCenter), TPoint(px, py), TPoint(x, y), Z);
      c->Pen->SetStyle(old);
      c->MoveTo3D(px, py, Z);
    }
    c->LineTo3D(x, y, Z);
    px = x;
    py = y;
  }
}

void TCustomPolarSeries::DrawCircleGradient() {
  if (FRadarPointCount <= 0) {
    TCircledSeries::DrawCircleGradient();
    return;
  }
  TGraphCanvas3D* c = FParentChart->Canvas;
  std::vector<TPoint> p(FRadarPointCount);
  const double step = AngleIncrement() * kPiStep;
  TRect box(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN);
  for (int32_t i = 0; i < FRadarPointCount; ++i) {
    AngleToPos(i * step, CircleWidth / 2, CircleHeight / 2, p[i].X, p[i].Y);
    if (series_link::View3D(FParentChart)) p[i] = c->Calculate3DPosition(p[i].X, p[i].Y, FParentChart->Width3D);
    box.Left = std::min(box.Left, p[i].X);
    box.Top = std::min(box.Top, p[i].Y);
    box.Right = std::max(box.Right, p[i].X);
    box.Bottom = std::max(box.Bottom, p[i].Y);
  }
  c->ClipPolygon(p, FRadarPointCount);
  FGradient->Draw(c, box);
  c->UnClipRectangle();
}

void TCustomPolarSeries::SelectGridPen(TChartAxis* Axis) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->Brush->SetStyle(bsClear);
  c->SetBackMode(cbmTransparent);
  TChartPen* g = Axis->Grid();
  c->AssignVisiblePenColor(g, g->Color() == clGraphColor ? TColor(0x808080) : g->Color());
}

void TCustomPolarSeries::DrawAxes() {
  FParentChart->FireBeforeDrawAxes();
  DrawSpokes();
  DrawRings();
  DrawRadiusAxes();
}

void TCustomPolarSeries::DrawSpokes() {
  TChartAxis* angleAxis = GetHorizAxis();
  if (!angleAxis) return;
  const bool grid = angleAxis->Grid()->Visible();
  if (!grid && !FCircleLabels) return;
  double step = angleAxis->Increment();
  if (step <= 0) step = 10;
  TGraphCanvas3D* c = FParentChart->Canvas;
  int i = 0;
  for (double a = 0; a < 360 - 1e-12; a = ++i * step) {
    if (FCircleLabels) DrawAngleLabel(a, i);
    if (grid) {
      SelectGridPen(angleAxis);
      int x, y;
      AngleToPos(a * kPiStep, XRadius, YRadius, x, y);
      c->LineWithZ(CircleXCenter, CircleYCenter, x, y, EndZ);
    }
  }
}

void TCustomPolarSeries::RingRadii(double Value, int& RX, int& RY) {
  TChartAxis* a = GetVertAxis();
  const double d = a->Maximum() - a->Minimum();
  if (d == 0) {
    RX = RY = 0;
    return;
  }
  const double f = (Value - a->Minimum()) / d;
  RX = Round(XRadius * f);
  RY = Round(YRadius * f);
}

void TCustomPolarSeries::DrawRings() {
  TChartAxis* a = GetVertAxis();
  if (!a || !a->Grid()->Visible()) return;
  const double step = a->CalcLabelIncrement();
  if (!(step > 0)) return;
  const double mn = a->Minimum(), mx = a->Maximum();
  if (std::fabs(mx / step) >= 2147483647.0 || std::fabs((mx - mn) / step) >= 10000) return;
  SelectGridPen(a);
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->Brush->SetStyle(bsClear);
  double v = a->RoundFirstLabel() ? std::trunc(mx / step) * step : mx;
  auto ring = [&](double value) {
    int rx, ry;
    RingRadii(value, rx, ry);
    DrawPolarCircle(rx, ry, EndZ);
  };
  if (a->LabelsOnAxis()) {
    while (v > mx) v -= step;
    for (; v >= mn; v -= step) ring(v);
  } else {
    while (v >= mx) v -= step;
    for (; v > mn; v -= step) ring(v);
  }
}

void TCustomPolarSeries::DrawRadiusAxes() {
  if (!FParentChart->AxisVisible()) return;
  TChartAxis* radius = GetVertAxis();
  if (!radius) return;
  const double mn = radius->Minimum(), mx = radius->Maximum(), inc = radius->Increment();
  const bool log = radius->Logarithmic();
  // Draws one half-diameter axis with the radius scale; labels never take the points' texts.
  auto draw = [&](TChartAxis* a, bool inverted, int32_t labels, int32_t sign, int32_t startPix, int32_t endPix,
                  int32_t linePos) {
    if (!a || !a->Visible()) return;
    const bool oldInv = a->Inverted(), oldLog = a->Logarithmic();
    const TAxisLabelStyle oldStyle = a->LabelStyle();
    a->InternalSetInverted(inverted);
    // An axis whose own range forbids a logarithmic scale keeps a linear one: a failed axis must
    // not break the drawing of the chart.
    if (oldLog != log) try {
        a->SetLogarithmic(log);
      } catch (const AxisException&) {}
    if (oldStyle == talAuto) a->SetLabelStyle(talValue);
    a->DrawWithTemporaryRange(labels, labels + sign * a->LabelsBandSize(), endPix, startPix, inc, mx, mn, false,
                              linePos);
    if (oldStyle == talAuto) a->SetLabelStyle(oldStyle);
    if (a->Logarithmic() != oldLog) a->SetLogarithmic(oldLog);
    a->InternalSetInverted(oldInv);
  };
  TChartAxis* right = FParentChart->RightAxis();
  if (right && right->Visible())
    draw(right, FRadarPointCount > 0 ? radius->Inverted() : right->Inverted(),
         CircleXCenter + right->LineAndTicksSize(), 1, CircleYCenter - YRadius, CircleYCenter, CircleXCenter);
  if (FRadarPointCount > 0) return;
  TChartAxis* left = FParentChart->LeftAxis();
  if (left && left->Visible())
    draw(left, true, CircleXCenter - left->LineAndTicksSize(), -1, CircleYCenter, CircleYCenter + YRadius,
         CircleXCenter);
  TChartAxis* top = FParentChart->TopAxis();
  if (top && top->Visible())
    draw(top, true, CircleYCenter - top->LineAndTicksSize(), -1, CircleXCenter - XRadius, CircleXCenter, CircleYCenter);
  TChartAxis* bottom = FParentChart->BottomAxis();
  if (bottom && bottom->Visible())
    draw(bottom, bottom->Inverted(), CircleYCenter + bottom->LineAndTicksSize(), 1, CircleXCenter,
         CircleXCenter + XRadius, CircleYCenter);
}

std::string TCustomPolarSeries::GetCircleLabel(double Angle, int32_t) {
  double t = FClockWiseLabels ? 360 - Angle : Angle;
  if (t == 360) t = 0;
  return GeneralNumber(t) + "\u00B0";
}

void TCustomPolarSeries::DrawAngleLabel(double Angle, int32_t Index) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->AssignFont(FCircleLabelsFont.get());
  c->SetBackMode(cbmTransparent);
  const int h = c->FontHeight();
  if (Angle >= 360) Angle -= 360;
  const std::string text = GetCircleLabel(Angle, Index);
  double rx = XRadius, ry = YRadius, m;
  if (FCircleLabelsInside) {
    rx -= c->TextWidth("   ");
    ry -= h;
    m = -FLabelsMargin / 100.0;
  } else {
    m = FLabelsMargin / 100.0;
  }
  rx += Round(rx * m);
  ry += Round(ry * m);
  int x, y;
  AngleToPos(Angle * kPiStep, rx, ry, x, y);
  double b = Angle + FRotationAngle;
  if (FCircleLabelsRotated) {
    const int s = b > 90 && b < 270 ? 1 : -1;
    x += Round(std::sin(b * kPiStep) * h * 0.5) * s;
    y += Round(std::cos(b * kPiStep) * h * 0.5) * s;
  }
  if (b >= 360) b -= 360;
  if (FCircleLabelsRotated) {
    if (b > 90 && b < 270) {
      c->SetTextAlign(TA_RIGHT);
      c->RotateLabel3D(x, y, EndZ, text, b + 180);
    } else {
      c->SetTextAlign(TA_LEFT);
      c->RotateLabel3D(x, y, EndZ, text, b);
    }
    return;
  }
  if (b == 0 || b == 180)
    y -= h / 2;
  else if (b > 0 && b < 180)
    y -= h;
  int align;
  if (b == 90 || b == 270)
    align = TA_CENTER;
  else if (FCircleLabelsInside)
    align = b > 90 && b < 270 ? TA_LEFT : TA_RIGHT;
  else
    align = b > 90 && b < 270 ? TA_RIGHT : TA_LEFT;
  c->SetTextAlign(align);
  const int w = c->TextWidth("0") / 2;
  if (b == 0)
    x += w;
  else if (b == 180)
    x -= w;
  c->TextOut3D(x, y, EndZ, text);
}

// ---------------------------------------------------------------------------------------------
// Points.

void TCustomPolarSeries::LinePrepareCanvas(int32_t ValueIndex) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  if (Pen()->Visible()) {
    TColor color = Pen()->Color();
    if (ValueIndex == -1)
      color = SeriesColor();
    else if (color == clGraphColor)
      color = PointColorAt(ValueIndex);
    c->AssignVisiblePenColor(Pen(), color);
  } else {
    c->Pen->SetStyle(psClear);
  }
  c->SetBackMode(cbmTransparent);
}

void TCustomPolarSeries::DrawOneValue(int32_t ValueIndex) {
  const int x = ScreenXAt(ValueIndex), y = ScreenYAt(ValueIndex);
  LinePrepareCanvas(ValueIndex);
  DrawPolarSegment(ValueIndex, x, y);
  OldX = x;
  OldY = y;
}

void TCustomPolarSeries::FillWedge(int32_t ValueIndex, int X, int Y) {
  if (Brush()->Style() == bsClear) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  series_link::SetBrushCanvas(FParentChart, PointColorAt(ValueIndex), Brush(), Brush()->Color());
  TGraphBlend* blend = nullptr;
  if (FTransparency > 0) {
    TRect r(std::min({OldX, X, CircleXCenter}), std::min({OldY, Y, CircleYCenter}),
            std::max({OldX, X, CircleXCenter}) + 1, std::max({OldY, Y, CircleYCenter}) + 1);
    const TPoint a = c->Calculate3DPosition(r.Left, r.Top, StartZ),
                 b = c->Calculate3DPosition(r.Right, r.Bottom, StartZ);
    blend = c->BeginBlending(TRect(a.X, a.Y, b.X, b.Y), FTransparency);
  }
  const TPenStyle old = c->Pen->Style();
  c->Pen->SetStyle(psClear);
  c->TriangleWithZ(TPoint(OldX, OldY), TPoint(X, Y), TPoint(CircleXCenter, CircleYCenter), StartZ);
  c->Pen->SetStyle(old);
  if (blend) c->EndBlending(blend);
  LinePrepareCanvas(ValueIndex);
}

void TCustomPolarSeries::DrawPolarSegment(int32_t ValueIndex, int X, int Y) {
  TGraphCanvas3D* c = FParentChart->Canvas;
  if (IsNullPoint(ValueIndex)) {
    // A null point is neither joined nor drawn: the line starts again after it.
    FLineBroken = true;
    return;
  }
  if (ValueIndex == FirstValueIndex || FLineBroken) {
    c->MoveTo3D(X, Y, StartZ);
    FLineBroken = false;
  } else if (X != OldX || Y != OldY) {
    FillWedge(ValueIndex, X, Y);
    c->MoveTo3D(OldX, OldY, StartZ);
    c->LineTo3D(X, Y, StartZ);
  }
  if (ValueIndex == LastValueIndex && FCloseCircle && ValueIndex != FirstValueIndex && !IsNullPoint(0)) {
    const int x0 = ScreenXAt(0), y0 = ScreenYAt(0);
    if (ColorEachPoint() && Brush()->Style() != bsClear) c->Pen->SetColor(PointColorAt(0));
    OldX = X;
    OldY = Y;
    FillWedge(0, x0, y0);
    if (ColorEachPoint() && Brush()->Style() != bsClear) c->Pen->SetColor(PointColorAt(0));
    c->MoveTo3D(X, Y, StartZ);
    c->LineTo3D(x0, y0, StartZ);
  }
}

void TCustomPolarSeries::DrawVisiblePoints() {
  FLineBroken = true;
  TCircledSeries::DrawVisiblePoints();
  if (!FPointer->Visible() || FirstValueIndex < 0) return;
  for (int32_t i = FirstValueIndex; i <= LastValueIndex; ++i) {
    const TColor color = PointColorAt(i);
    if (color == clNone) continue;
    FPointer->SetUpCanvas(FParentChart->Canvas, color);
    const TSeriesPointerStyle style = OnGetPointerStyle ? OnGetPointerStyle(this, i) : FPointer->Style();
    FPointer->DrawStyledAt(ScreenXAt(i), ScreenYAt(i), color, style);
  }
}

int32_t TCustomPolarSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (FParentChart) {
    FParentChart->Canvas->Calculate2DPosition(X, Y, StartZ);
  }
  const int32_t r = TCircledSeries::PointIndexAt(X, Y);
  if (r != -1) return r;
  if (!FPointer->Visible() || FirstValueIndex < 0) return -1;
  for (int32_t i = FirstValueIndex; i <= LastValueIndex && i < PointCount(); ++i)
    if (std::abs(ScreenXAt(i) - X) < FPointer->HorizSize() && std::abs(ScreenYAt(i) - Y) < FPointer->VertSize())
      return i;
  return -1;
}

void TCustomPolarSeries::FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) {
  if (!FParentChart) return;
  const bool line = Pen()->Visible();
  if (line) {
    LinePrepareCanvas(ValueIndex);
    const int y = (Rect.Top + Rect.Bottom) / 2;
    FParentChart->Canvas->Line(Rect.Left, y, Rect.Right, y);
  }
  if (FPointer->Visible()) {
    DrawPointerLegendSymbol(FPointer.get(), ValueIndex == -1 ? SeriesColor() : PointColorAt(ValueIndex), Rect, line);
  } else if (!line) {
    TCircledSeries::FillLegendSymbol(ValueIndex, Rect);
  }
}

void TCustomPolarSeries::DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) {
  Marks()->ApplyCalloutOffset(Position);
  TCircledSeries::DrawPointMark(ValueIndex, Text, Position);
}

// ---------------------------------------------------------------------------------------------
// Gallery.

void TCustomPolarSeries::ListStyleVariants(const TAddStyleProc& AddStyle) {
  TCircledSeries::ListStyleVariants(AddStyle);
  for (const std::string* t :
       {&MsgOptionNoPoint, &MsgOptionNoLine, &MsgStyleFilled, &MsgOptionLabels, &MsgStyleNoBorder, &MsgOptionNoCircle})
    AddStyle(*t);
}

void TCustomPolarSeries::ApplyStyleVariant(TChartSeries* Target, int Index) {
  auto* s = dynamic_cast<TCustomPolarSeries*>(Target);
  if (!s) return TCircledSeries::ApplyStyleVariant(Target, Index);
  switch (Index) {
    case 1:
      s->Pointer()->SetVisible(false);
      break;
    case 2:
      s->Pen()->SetVisible(false);
      break;
    case 3:
      s->Brush()->SetStyle(bsSolid);
      break;
    case 4:
      s->SetCircleLabels(true);
      break;
    case 5:
      s->Pointer()->Pen()->SetVisible(false);
      break;
    case 6:
      s->CirclePen()->SetVisible(false);
      break;
    default:
      TCircledSeries::ApplyStyleVariant(Target, Index);
  }
}

void TCustomPolarSeries::AddRandomPoints(int32_t Count, bool) {
  for (int32_t t = 1; t <= Count; ++t) AddPolarPoint(360.0 / Count * t, 1 + RandomInteger(1000));
}

void TCustomPolarSeries::MakeGalleryThumbnail(bool Coloured) {
  TCircledSeries::MakeGalleryThumbnail(Coloured);
  SetCircled(true);
  if (!FParentChart) return;
  if (GetHorizAxis()) GetHorizAxis()->SetIncrement(90);
  FParentChart->SetChart3DPercent(5);
  FParentChart->RightAxis()->SetLabels(false);
  FParentChart->TopAxis()->SetLabels(false);
  TView3DOptions* v = FParentChart->View3DOptions();
  v->SetOrthogonal(false);
  v->SetElevation(360);
  v->SetZoom(90);
}

// =============================================================================================
// TRadarSeries

void TRadarSeries::PrepareForDraw() {
  TCustomPolarSeries::PrepareForDraw();
  SetRotationAngle(90);
  FRadarPointCount = 0;
  if (!FParentChart) return;
  for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
    TChartSeries* s = series_link::SeriesAt(FParentChart, i);
    if (s->Active()) FRadarPointCount = std::max(FRadarPointCount, s->PointCount());
  }
  if (FRadarPointCount > 0) SetAngleIncrement(360.0 / FRadarPointCount);
}

double TRadarSeries::XValueAt(int32_t Index) const {
  if (FClockWiseLabels) Index = PointCount() - Index - 1;
  return FRadarPointCount <= 0 ? 0 : 360.0 / FRadarPointCount * Index;
}

std::string TRadarSeries::GetCircleLabel(double, int32_t Index) {
  if (FClockWiseLabels) Index = PointCount() - Index - 1;
  std::string s = Index >= 0 && Index < PointCount() ? LabelAt(Index) : std::string();
  return s.empty() ? std::to_string(Index) : s;
}

void TRadarSeries::AddRandomPoints(int32_t Count, bool) {
  static const char* const kNames[] = {"Cars", "Phones", "Tables", "Monitors", "Lamps"};
  for (int32_t t = 0; t < Count; ++t) AddValue(RandomInteger(1000), kNames[t % 5]);
}

void TRadarSeries::MakeGalleryThumbnail(bool Coloured) {
  TCustomPolarSeries::MakeGalleryThumbnail(Coloured);
  ClearValues();
  FillSampleValues(DefaultRandomCount());
}

// =============================================================================================
// TPolarBarSeries

void TPolarBarSeries::DrawPolarSegment(int32_t ValueIndex, int X, int Y) {
  const TColor color = PointColorAt(ValueIndex);
  if (color == clNone) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->AssignVisiblePenColor(Pen(), color);
  c->LineWithZ(CircleXCenter, CircleYCenter, X, Y, StartZ);
}
