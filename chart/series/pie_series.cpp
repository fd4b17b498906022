#include "chart/series/pie_series.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/value_lists.h"

VM_DEFINE_CLASS(TCircledSeries)
VM_DEFINE_CLASS(TPieSeries)

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kPiStep = 0.017453292519943295;
int Round(double V) { return static_cast<int>(std::nearbyint(V)); }
}  // namespace

// =============================================================================================
// TCircledSeries

TCircledSeries::TCircledSeries(TComponent* AOwner) : TChartSeries(AOwner) {
  LimitVisibleRange = false;
  XValues()->SetName("Angle");
  FGradient = std::make_unique<TGraphGradient>([this](TObject* s) { PenBrushChanged(s); });
}

TCircledSeries::~TCircledSeries() = default;

template <class F>
void TCircledSeries::ForEachSibling(F Apply) {
  if (!FParentChart) return;
  for (int i = 0; i < series_link::CountSeries(FParentChart); ++i) {
    auto* s = dynamic_cast<TCircledSeries*>(series_link::SeriesAt(FParentChart, i));
    // Series of this class or of one of its ancestors share the round settings.
    if (s && s != this && ClassType()->InheritsFrom(s->ClassType())) Apply(s);
  }
}

void TCircledSeries::SetCircled(bool Value) {
  SetBooleanProperty(FCircled, Value);
  ForEachSibling([&](TCircledSeries* s) {
    s->FCircled = Value;
    if (!s->ComponentState().Contains(csLoading)) s->FCustomXRadius = s->FCustomYRadius = 0;
  });
}

void TCircledSeries::SetCustomXRadius(int32_t Value) {
  SetIntegerProperty(FCustomXRadius, Value);
  ForEachSibling([&](TCircledSeries* s) { s->FCustomXRadius = Value; });
}

void TCircledSeries::SetCustomYRadius(int32_t Value) {
  SetIntegerProperty(FCustomYRadius, Value);
  ForEachSibling([&](TCircledSeries* s) { s->FCustomYRadius = Value; });
}

TColor TCircledSeries::CalcCircleBackColor() {
  TColor r = FCircleBackColor;
  if (r != clGraphColor) return r;
  if (auto* chart = dynamic_cast<TCustomChart*>(FParentChart)) {
    if (chart->Printing) return clWhite;
    if (!chart->BackWall()->Transparent()) r = chart->BackWall()->Color();
    if (r == clGraphColor) r = chart->Color();
  }
  return r;
}

void TCircledSeries::DrawCircleGradient() {
  if (!FParentChart) return;
  TGraphCanvas3D* c = FParentChart->Canvas;
  if (series_link::View3D(FParentChart) && !FParentChart->View3DOptions()->Orthogonal()) return;
  TRect r(CircleXCenter + 1 - CircleWidth / 2, CircleYCenter + 1 - CircleHeight / 2, 0, 0);
  r.Right = r.Left + CircleWidth;
  r.Bottom = r.Top + CircleHeight;
  if (series_link::View3D(FParentChart)) {
    const TPoint a = c->Calculate3DPosition(r.Left, r.Top, EndZ);
    const TPoint b = c->Calculate3DPosition(r.Right, r.Bottom, EndZ);
    r = TRect(a.X, a.Y, b.X, b.Y);
  }
  c->ClipEllipse(r);
  FGradient->Draw(c, r);
  c->UnClipRectangle();
}

void TCircledSeries::AdjustLegendBrush(int32_t, TColor& BackColor, TBrushStyle&) { BackColor = CalcCircleBackColor(); }

void TCircledSeries::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TCircledSeries*>(Source)) {
    FCircled = s->FCircled;
    SetRotationAngle(s->FRotationAngle);
    FCustomXRadius = s->FCustomXRadius;
    FCustomYRadius = s->FCustomYRadius;
    FCircleBackColor = s->FCircleBackColor;
    FGradient->Assign(s->FGradient.get());
  }
  TChartSeries::Assign(Source);
}

void TCircledSeries::SetRotationAngle(int32_t Value) {
  Value %= 360;  // the sign stays: -30 is kept as it is
  SetIntegerProperty(FRotationAngle, Value);
  FRotation = FRotationAngle * kPiStep;
}

void TCircledSeries::AngleToPos(double Angle, double AXRadius, double AYRadius, int& X, int& Y) const {
  X = CircleXCenter + Round(std::cos(FRotation + Angle) * AXRadius);
  Y = CircleYCenter - Round(std::sin(FRotation + Angle) * AYRadius);
}

double TCircledSeries::PointToAngle(int X, int Y) const {
  double r;
  if (X == CircleXCenter)
    r = Y > CircleYCenter ? -kPi / 2 : kPi / 2;
  else if (XRadius != 0 && YRadius != 0)
    r = std::atan2(double(CircleYCenter - Y) / YRadius, double(X - CircleXCenter) / XRadius);
  else
    r = 0;
  if (r < 0) r += 2 * kPi;
  r -= FRotation;
  if (r < 0) r += 2 * kPi;
  return r;
}

void TCircledSeries::NormaliseCircle(TRect R) {
  if ((R.Right - R.Left) % 2) --R.Right;
  if ((R.Bottom - R.Top) % 2) --R.Bottom;
  if (R.Right - R.Left < 4) R.Right = R.Left + 4;
  if (R.Bottom - R.Top < 4) R.Bottom = R.Top + 4;
  CircleRect = R;
  CircleWidth = R.Right - R.Left;
  CircleHeight = R.Bottom - R.Top;
  CircleXCenter = (R.Left + R.Right) / 2;
  CircleYCenter = (R.Top + R.Bottom) / 2;
}

void TCircledSeries::CalcRadii() {
  if (FCustomXRadius != 0) {
    XRadius = FCustomXRadius;
    CircleWidth = 2 * FCustomXRadius;
  } else {
    XRadius = CircleWidth / 2;
  }
  if (FCustomYRadius != 0) {
    YRadius = FCustomYRadius;
    CircleHeight = 2 * FCustomYRadius;
  } else {
    YRadius = CircleHeight / 2;
  }
  CircleRect = TRect(CircleXCenter - XRadius, CircleYCenter - YRadius, CircleXCenter + XRadius, CircleYCenter + YRadius);
}

void TCircledSeries::FireBeforeDrawValues() {
  TChartSeries::FireBeforeDrawValues();
  if (!FParentChart) return;
  NormaliseCircle(FParentChart->ChartRect);
  if (Marks()->Visible()) {
    TGraphCanvas3D* c = FParentChart->Canvas;
    int l = Marks()->Callout()->Length();
    if (Marks()->Pen()->Visible()) l += 2 * Marks()->Pen()->Width();
    c->AssignFont(Marks()->Font());
    const int v = l + c->FontHeight();
    const int h = c->TextWidth("W") + WidestMarkText() + l;
    TRect r = CircleRect;
    r.Top += v;
    r.Bottom -= v;
    r.Left += h;
    r.Right -= h;
    NormaliseCircle(r);
  }
  if (FCircled) {
    const int m = std::min(CircleWidth, CircleHeight) / 2;
    NormaliseCircle(TRect(CircleXCenter - m, CircleYCenter - m, CircleXCenter + m, CircleYCenter + m));
  }
  CalcRadii();
}

// =============================================================================================
// TPieSeries

TPieSeries::TPieSeries(TComponent* AOwner) : TCircledSeries(AOwner) {
  XValues()->SetName("");
  YValues()->SetName("Pie");
  Marks()->SetVisible(true);
  Marks()->Callout()->SetLength(8);
  SetColorEachPoint(true);
}

int32_t TPieSeries::ExplodedSlice(int32_t Index) const {
  return Index >= 0 && Index < static_cast<int32_t>(FExploded.size()) ? FExploded[Index] : 0;
}

void TPieSeries::SetExplodedSlice(int32_t Index, int32_t Value) {
  if (Index < 0) return;
  if (Index >= static_cast<int32_t>(FExploded.size())) FExploded.resize(Index + 1, 0);
  if (FExploded[Index] != Value) {
    FExploded[Index] = Value;
    Repaint();
  }
}

void TPieSeries::FindVisibleRange() {
  const int32_t n = PointCount();
  FirstValueIndex = n > 0 ? 0 : -1;
  LastValueIndex = n - 1;
}

void TPieSeries::CalcAngles() {
  const int32_t n = PointCount();
  FAngles.assign(n, TPieAngle());
  const double a = FAngleSize * kPiStep;
  double total = 0;
  for (int32_t i = 0; i < n; ++i) total += std::fabs(YValueAt(i));
  const double f = total > 0 ? a / total : 0;
  double sum = 0, start = 0;
  for (int32_t i = 0; i < n; ++i) {
    TPieAngle& g = FAngles[i];
    g.StartAngle = start;
    if (total == 0) {
      g.EndAngle = a;
    } else {
      sum += std::fabs(YValueAt(i));
      g.EndAngle = sum == total ? a : sum * f;
    }
    if (g.EndAngle - g.StartAngle > a) g.EndAngle = g.StartAngle + a;
    g.MidAngle = (g.StartAngle + g.EndAngle) / 2;
    start = g.EndAngle;
  }
}

void TPieSeries::ExplodeOffset(int32_t ValueIndex, int& DX, int& DY) {
  DX = DY = 0;
  const int32_t e = ExplodedSlice(ValueIndex);
  if (e <= 0 || ValueIndex >= static_cast<int32_t>(FAngles.size())) return;
  const double a = FAngles[ValueIndex].MidAngle + FRotation;
  DX = Round(std::cos(a) * XRadius * e / 100.0);
  DY = Round(std::sin(a) * e / 100.0 * YRadius);
}

void TPieSeries::FireBeforeDrawValues() {
  TCircledSeries::FireBeforeDrawValues();
  const int32_t n = PointCount();
  if (FExplodeBiggest > 0 && n > 0) {
    int32_t big = 0;
    for (int32_t i = 1; i < n; ++i)
      if (YValueAt(i) > YValueAt(big)) big = i;
    FExploded.assign(std::max<size_t>(FExploded.size(), n), 0);
    FExploded[big] = FExplodeBiggest;
  }
  CalcAngles();
  int32_t most = -1;
  for (int32_t i = 0; i < n; ++i)
    if (ExplodedSlice(i) > 0 && (most == -1 || ExplodedSlice(i) > ExplodedSlice(most))) most = i;
  if (most != -1) {
    int dx, dy;
    ExplodeOffset(most, dx, dy);
    TRect r = CircleRect;
    r.Left += std::abs(dx) / 2;
    r.Right -= std::abs(dx) / 2;
    r.Top += std::abs(dy) / 2;
    r.Bottom -= std::abs(dy) / 2;
    NormaliseCircle(r);
    CalcRadii();
  }
  AngleToPos(0, XRadius, YRadius, FEndX, FEndY);
}

void TPieSeries::DrawOneValue(int32_t ValueIndex) {
  if (CircleWidth < 5 || CircleHeight < 5 || ValueIndex >= static_cast<int32_t>(FAngles.size())) return;
  const TColor color = PointColorAt(ValueIndex);
  const TPieAngle& g = FAngles[ValueIndex];
  int ex, ey;
  AngleToPos(g.EndAngle, XRadius, YRadius, ex, ey);
  const int sx = FEndX, sy = FEndY;
  FEndX = ex;
  FEndY = ey;
  if (color == clNone) return;  // a null slice leaves its place empty
  TGraphCanvas3D* c = FParentChart->Canvas;
  c->AssignVisiblePen(Pen());
  series_link::SetBrushCanvas(FParentChart, c->Monochrome() ? clBlack : color, Brush(),
                              series_link::ChartColor(FParentChart));
  int dx, dy;
  ExplodeOffset(ValueIndex, dx, dy);
  if (series_link::View3D(FParentChart)) {
    c->Pie3D(CircleXCenter + dx, CircleYCenter - dy, XRadius, YRadius, StartZ, EndZ, g.StartAngle + FRotation,
             g.EndAngle + FRotation, true, true);
    return;
  }
  if (ex != sx || ey != sy || PointCount() == 1 || g.EndAngle - g.StartAngle > 1) {
    const TRect& r = CircleRect;
    c->Pie(r.Left + dx, r.Top - dy, r.Right + dx, r.Bottom - dy, sx + dx, sy - dy, ex + dx, ey - dy);
  }
}

int32_t TPieSeries::PointIndexAt(int32_t X, int32_t Y) {
  if (FAngles.size() != static_cast<size_t>(PointCount())) CalcAngles();
  TCanvas3D* c = FParentChart ? FParentChart->Canvas : nullptr;
  for (int32_t i = 0; i < PointCount(); ++i) {
    if (IsNullPoint(i)) continue;
    const TPieAngle& g = FAngles[i];
    int dx, dy;
    ExplodeOffset(i, dx, dy);
    TPoint poly[32];
    AngleToPos(g.StartAngle, XRadius, YRadius, poly[0].X, poly[0].Y);
    poly[1] = TPoint(CircleXCenter, CircleYCenter);
    const double step = (g.EndAngle - g.StartAngle) / 30;
    for (int k = 0; k < 30; ++k) AngleToPos(g.EndAngle - k * step, XRadius, YRadius, poly[2 + k].X, poly[2 + k].Y);
    for (TPoint& p : poly) {
      if (c) p = c->Calculate3DPosition(p.X, p.Y, EndZ);
      p.X += dx;
      p.Y -= dy;
    }
    if (PointInPolygon(TPoint(X, Y), poly, 31)) return i;
  }
  return -1;
}
