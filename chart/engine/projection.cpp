// The canvas' mapping of 3D chart coordinates to screen pixels, and its inverse.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "chart/engine/chart_pens.h"
#include "chart/engine/graph_canvas.h"
#include "platform/exceptions.h"

namespace {

constexpr long double kDegToRad = std::numbers::pi_v<long double> / 180.0L;

// Rounds halves to even and checks that the result fits 32 bits.
int32_t RoundChecked(long double V) {
  // lrint rounds as nearbyint does (halves to even) without saving the floating-point state on
  // every call; the bounds keep its result within a long.
  if (!(V > -4294967296.0L && V < 4294967296.0L)) throw ERangeError("Range check error");
  const long r = std::lrint(V);
  if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max())
    throw ERangeError("Range check error");
  return static_cast<int32_t>(r);
}

int32_t AddChecked(int32_t A, int64_t B) {
  const int64_t s = int64_t(A) + B;
  if (s < std::numeric_limits<int32_t>::min() || s > std::numeric_limits<int32_t>::max())
    throw ERangeError("Range check error");
  return static_cast<int32_t>(s);
}

}  // namespace

void TGraphCanvas3D::InitProjection(TView3DOptions* Options) {
  IsOrthogonal = false;
  ZoomFactor = 1;
  if (Is3D && Options) {
    IsOrthogonal = Options->Orthogonal();
    if (IsOrthogonal) {
      int a = Options->OrthoAngle();
      if (a > 90) {
        OrthoFactorX = -1;
        a = 180 - a;
      } else {
        OrthoFactorX = 1;
      }
      const long double s = std::sin(a * kDegToRad);
      const long double c = std::cos(a * kDegToRad);
      OrthoFactorY = c < 0.01L ? 1 : double(s / c);
    }
    ZoomFactor = Options->Zoom() * 0.01;
    ZoomText = Options->ZoomText();
  }
  if (Is3D) CalcTrigValues(Options);
}

void TGraphCanvas3D::CalcTrigValues(TView3DOptions* Options) {
  if (IsOrthogonal) return;
  const long double e = Options ? -Options->Elevation() : 0;
  const long double r = Options ? -Options->Rotation() : 0;
  const long double t = Options ? Options->Tilt() : 0;
  PerspectiveOn = false;
  PerspectiveFactor = 0;
  S_e = std::sin(e * kDegToRad);
  C_e = std::cos(e * kDegToRad);
  S_r = std::sin(r * kDegToRad);
  C_r = std::cos(r * kDegToRad);
  S_t = std::sin(t * kDegToRad);
  C_t = std::cos(t * kDegToRad);
  TiltOn = t != 0;
  k1 = double(C_r * S_t);
  k2 = std::max(double(C_r * C_t), 0.00001);
  k3 = std::max(double(S_e * S_r * S_t + C_e * C_t), 0.00001);
  k4 = double(C_t * S_e * S_r - C_e * S_t);
  k5 = double(C_e * S_r * S_t - C_t * S_e);
  k6 = double(C_e * C_t * S_r + S_e * S_t);
}

void TGraphCanvas3D::Projection(int MaxDepth, const TRect& /*ABounds*/, const TRect& ChartRect) {
  const TPoint c = RectCenter(ChartRect);
  XCenter = c.X;
  YCenter = c.Y;
  ZCenter = RoundChecked(MaxDepth * 0.5L);
  ScreenCenter = TPoint(XCenter, YCenter);
  if (View3DOptions) {
    ScreenCenter.X = AddChecked(ScreenCenter.X, View3DOptions->HorizOffset());
    ScreenCenter.Y = AddChecked(ScreenCenter.Y, View3DOptions->VertOffset());
    CalcPerspective(ChartRect);
  }
}

void TGraphCanvas3D::CalcPerspective(const TRect& ChartRect) {
  if (!View3DOptions) return;
  PerspectiveOn = View3DOptions->Perspective() > 0;
  if (PerspectiveOn) {
    const int w = std::max(1, ChartRect.Right - ChartRect.Left);
    PerspectiveFactor = View3DOptions->Perspective() * ZoomFactor / 150.0 / w;
  }
}

void TGraphCanvas3D::RecalcProjection(bool AIs3D, int MaxDepth, const TRect& ChartRect) {
  Is3D = AIs3D;
  InitProjection(View3DOptions);
  Projection(MaxDepth, Bounds, ChartRect);
}

TPoint TGraphCanvas3D::MapPoint(long double X, long double Y, int Z, bool Tilted) {
  if (IsOrthogonal) {
    return TPoint(AddChecked(ScreenCenter.X, RoundChecked((Z * (long double)OrthoFactorX + X - XCenter) * ZoomFactor)),
                  AddChecked(ScreenCenter.Y, RoundChecked((Y - YCenter - Z * (long double)OrthoFactorY) * ZoomFactor)));
  }
  const long double x = X - XCenter;
  const long double y = Y - YCenter;
  const long double z = (long double)Z - ZCenter;
  const long double e = z * C_r - x * S_r;
  const long double g = x * C_r + z * S_r;
  const long double h = y * C_e - S_e * e;
  long double f = ZoomFactor;
  if (PerspectiveOn) f = ZoomFactor / ((C_e * e + y * S_e) * (long double)PerspectiveFactor + 1);
  if (Tilted || TiltOn)
    return TPoint(AddChecked(ScreenCenter.X, RoundChecked(f * (C_t * g - S_t * h))),
                  AddChecked(ScreenCenter.Y, RoundChecked(f * (C_t * h + S_t * g))));
  return TPoint(AddChecked(ScreenCenter.X, RoundChecked(f * g)), AddChecked(ScreenCenter.Y, RoundChecked(f * h)));
}

TPoint TGraphCanvas3D::Calculate3DPosition(int X, int Y, int Z) {
  if (IsOrthogonal || Is3D) return MapPoint(X, Y, Z, false);
  return TPoint(X, Y);
}

void TGraphCanvas3D::Calc3DPoint(TPoint& P, int X, int Y, int Z) { P = Calculate3DPosition(X, Y, Z); }

void TGraphCanvas3D::Calc3DTPoint(TPoint& P, int Z) { P = Calculate3DPosition(P.X, P.Y, Z); }

TPoint TGraphCanvas3D::Calc3DPoint3D(const TPoint3D& P) { return Calculate3DPosition(P.X, P.Y, P.Z); }

void TGraphCanvas3D::Calc3DPointFloat(TPoint& P, int Z, double X, double Y) {
  if (IsOrthogonal || Is3D) P = MapPoint(X, Y, Z, true);
}

void TGraphCanvas3D::Calculate2DPosition(int& X, int& Y, int Z) {
  if (ZoomFactor == 0) return;
  if (IsOrthogonal) {
    X = AddChecked(XCenter,
                   RoundChecked((X - ScreenCenter.X) / (long double)ZoomFactor - Z * (long double)OrthoFactorX));
    Y = AddChecked(YCenter,
                   RoundChecked((Y - ScreenCenter.Y) / (long double)ZoomFactor + Z * (long double)OrthoFactorY));
  } else if (Is3D && k2 != 0 && k3 != 0) {
    const long double z = (long double)Z - ZCenter;
    const int x0 = X;
    X = AddChecked(
        XCenter,
        RoundChecked(((X - ScreenCenter.X) / (long double)ZoomFactor - z * k5 - (long double)(Y - YCenter) * k1) / k3));
    Y = AddChecked(YCenter, RoundChecked(((Y - ScreenCenter.Y) / (long double)ZoomFactor - z * k6 -
                                          (long double)(x0 - XCenter) * k4) /
                                         k2));
  }
}

void TGraphCanvas3D::DisableRotation() {
  SavedIs3D = Is3D;
  Is3D = false;
}

void TGraphCanvas3D::EnableRotation() { Is3D = SavedIs3D; }

// ---------------------------------------------------------------------------------------------
// Projection helpers of TCanvas3D

TRect TCanvas3D::ProjectRect(const TRect& Rect, int Z) {
  return TRect(Calculate3DPosition(Rect.Left, Rect.Top, Z), Calculate3DPosition(Rect.Right, Rect.Bottom, Z));
}

TPoint TCanvas3D::ProjectPoint3D(const TPoint3D& P) { return Calculate3DPosition(P.X, P.Y, P.Z); }

TPoint TCanvas3D::ProjectPoint(const TPoint& P, int Z) { return Calculate3DPosition(P.X, P.Y, Z); }

TQuadPoints TCanvas3D::ProjectRectCorners(const TRect& Rect, int Z) {
  return {Calculate3DPosition(Rect.Left, Rect.Top, Z), Calculate3DPosition(Rect.Right, Rect.Top, Z),
          Calculate3DPosition(Rect.Right, Rect.Bottom, Z), Calculate3DPosition(Rect.Left, Rect.Bottom, Z)};
}

TRect TCanvas3D::ProjectedBounds(const TRect& Rect, int Z) {
  const TQuadPoints q = ProjectRectCorners(Rect, Z);
  return PointsBounds(q, 4);
}

void TCanvas3D::Begin2D() {
  if (Nest2D == 0) DisableRotation();
  ++Nest2D;
}

void TCanvas3D::End2D() {
  --Nest2D;
  if (Nest2D == 0) EnableRotation();
}
