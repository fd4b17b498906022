#include "chart/extra/bezier_donut_series.h"

#include <cmath>
#include <vector>

#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_errors.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/graph_canvas.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_chart_link.h"

const TEnumInfo BezierStyleInfo("TBezierStyle", {"bsWindows", "bsBezier3", "bsBezier4"});

VM_PUBLISH(TBezierSeries) {
  using S = TBezierSeries;
  P.Enum("BezierStyle", &S::BezierStyle, &S::SetBezierStyle, BezierStyleInfo).Default(bsWindows);
  P.Object("LinePen", &S::LinePen, &S::SetPen);
  P.Int("NumBezierPoints", &S::NumBezierPoints, &S::SetNumBezierPoints).Default(32);
  P.Object("Pointer", &S::Pointer, &S::SetPointer);
  P.Event("OnClickPointer", &S::OnClickPointer);
}

VM_PUBLISH(TDonutSeries) {
  using S = TDonutSeries;
  P.Int("DonutPercent", &S::DonutPercent, &S::SetDonutPercent).Default(50);
}

// =============================================================================================
// Bezier

TBezierSeries::TBezierSeries(TComponent* AOwner) : TCustomSeries(AOwner) {
  FPointer->SetStartVisible(true);
  FDrawLines = true;
}

void TBezierSeries::SetBezierStyle(TBezierStyle Value) {
  if (FBezierStyle == Value) return;
  FBezierStyle = Value;
  Repaint();
}

void TBezierSeries::SetNumBezierPoints(int32_t Value) {
  if (Value < 2) throw ChartException(ErrBezierPoints);
  SetIntegerProperty(FNumBezierPoints, Value);
}

void TBezierSeries::Assign(TPersistent* Source) {
  if (auto* b = dynamic_cast<TBezierSeries*>(Source)) {
    FBezierStyle = b->FBezierStyle;
    FNumBezierPoints = b->FNumBezierPoints;
  }
  TCustomSeries::Assign(Source);
}

void TBezierSeries::SetSeriesColor(TColor Value) {
  TCustomSeries::SetSeriesColor(Value);
  LinePen()->SetColor(Value);
}

void TBezierSeries::DrawVisiblePoints() {
  TGraphCanvas3D* c = FParentChart->Canvas;
  const int32_t n = PointCount();
  std::vector<TPoint> p(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) p[i] = TPoint(ScreenXAt(i), ScreenYAt(i));
  const bool is3D = series_link::View3D(FParentChart);
  if (n > 0) {
    c->AssignVisiblePen(LinePen());
    c->Brush->SetStyle(bsClear);
    c->SetBackMode(cbmTransparent);
    if (is3D)
      c->MoveTo3D(p[0].X, p[0].Y, StartZ);
    else
      c->MoveTo(p[0].X, p[0].Y);
  }
  const int steps = FNumBezierPoints;
  // A computed segment over the points ending at index K, quadratic (three points) or cubic.
  auto segment = [&](int32_t K, bool Cubic) {
    if (FColorEachLine && ColorEachPoint()) c->AssignVisiblePenColor(LinePen(), PointColorAt(K));
    for (int j = 1; j <= steps; ++j) {
      const double t = double(j) / steps, r = 1 - t;
      double x, y;
      if (Cubic) {
        const TPoint &a = p[K - 3], &c1 = p[K - 2], &c2 = p[K - 1], &e = p[K];
        x = r * r * r * a.X + 3 * r * r * t * c1.X + 3 * r * t * t * c2.X + t * t * t * e.X;
        y = r * r * r * a.Y + 3 * r * r * t * c1.Y + 3 * r * t * t * c2.Y + t * t * t * e.Y;
      } else {
        const TPoint &a = p[K - 2], &m = p[K - 1], &e = p[K];
        x = r * r * a.X + 2 * r * t * m.X + t * t * e.X;
        y = r * r * a.Y + 2 * r * t * m.Y + t * t * e.Y;
      }
      const int px = static_cast<int>(std::nearbyint(x)), py = static_cast<int>(std::nearbyint(y));
      if (is3D)
        c->LineTo3D(px, py, StartZ);
      else
        c->LineTo(px, py);
    }
  };
  switch (FBezierStyle) {
    case bsWindows:
      if (!is3D) {
        const int32_t count = (n / 3) * 3;
        if (count >= 3) c->GetHandle()->PolyBezierTo(p.data(), count);
      } else if (n >= 3) {
        segment(2, false);
        for (int32_t k = 5; k < n; k += 3) segment(k, true);
      }
      break;
    case bsBezier3:
      for (int32_t k = 2; k < n; k += 2) segment(k, false);
      break;
    case bsBezier4:
      for (int32_t k = 3; k < n; k += 3) segment(k, true);
      break;
  }
  if (FPointer->Visible())
    for (int32_t i = 0; i < n; ++i) DrawPointer(p[i].X, p[i].Y, i, PointColorAt(i));
}

void TBezierSeries::MakeGalleryThumbnail(bool Coloured) {
  TChartSeries::MakeGalleryThumbnail(Coloured);
  FillSampleValues(3);
  SetColorEachPoint(Coloured);
  FPointer->SetDraw3D(false);
}

// =============================================================================================
// Donut

TDonutSeries::TDonutSeries(TComponent* AOwner) : TPieSeries(AOwner) { SetDonutPercent(50); }

void TDonutSeries::Assign(TPersistent* Source) {
  if (auto* d = dynamic_cast<TDonutSeries*>(Source)) SetDonutPercent(d->DonutPercent());
  TPieSeries::Assign(Source);
  if (DonutPercent() <= 0) SetDonutPercent(50);
}

int32_t TDonutSeries::PointIndexAt(int32_t X, int32_t Y) {
  const int32_t i = TPieSeries::PointIndexAt(X, Y);
  if (i < 0 || XRadius <= 0 || YRadius <= 0) return i;
  int dx, dy;
  ExplodeOffset(i, dx, dy);
  TPoint centre(CircleXCenter, CircleYCenter);
  if (FParentChart) centre = FParentChart->Canvas->Calculate3DPosition(centre.X, centre.Y, EndZ);
  const double u = double(X - centre.X - dx) / XRadius, v = double(Y - centre.Y + dy) / YRadius;
  const double hole = DonutPercent() * 0.01;
  return u * u + v * v < hole * hole ? -1 : i;
}

// =============================================================================================

void RegisterBezierDonutSeries() {
  RegisterSeriesType(TBezierSeries::StaticClass(), &MsgGalleryBezier, &MsgPageExtended, 1);
  RegisterSeriesType(TDonutSeries::StaticClass(), &MsgGalleryDonut, &MsgPageExtended, 1);
}

void UnregisterBezierDonutSeries() {
  UnregisterSeriesTypes({TBezierSeries::StaticClass(), TDonutSeries::StaticClass()});
}
