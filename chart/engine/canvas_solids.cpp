// Projected planes and 3D solids of the canvas, drawn as flat polygons in back-to-front order.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "chart/engine/graph_canvas.h"
#include "platform/sysutils.h"

namespace {

int R32(double V) {
  const int64_t r = Round(V);
  if (r < INT32_MIN || r > INT32_MAX) throw ERangeError("Range check error");
  return static_cast<int>(r);
}

}  // namespace

// The base colour of a solid: the brush colour for a solid brush, otherwise the back colour.
TColor TGraphCanvas3D::SolidBaseColor() { return Brush->Style() == bsSolid ? Brush->Color() : GetBackColor(); }

// ---------------------------------------------------------------------------------------------
// Simple projected operations

void TGraphCanvas3D::PolygonFour() { Polygon(FacePoints); }

void TGraphCanvas3D::RectangleWithZ(const TRect& Rect, int Z) {
  FacePoints = ProjectRectCorners(Rect, Z);
  PolygonFour();
}

void TGraphCanvas3D::RectangleAtX(int X, int Top, int Bottom, int Z0, int Z1) {
  FacePoints = {Calculate3DPosition(X, Top, Z0), Calculate3DPosition(X, Top, Z1), Calculate3DPosition(X, Bottom, Z1),
                Calculate3DPosition(X, Bottom, Z0)};
  PolygonFour();
}

void TGraphCanvas3D::RectangleAtY(int Left, int Y, int Right, int Z0, int Z1) {
  FacePoints = {Calculate3DPosition(Left, Y, Z0), Calculate3DPosition(Right, Y, Z0), Calculate3DPosition(Right, Y, Z1),
                Calculate3DPosition(Left, Y, Z1)};
  PolygonFour();
}

void TGraphCanvas3D::Plane3D(const TPoint& A, const TPoint& B, int Z0, int Z1) {
  FacePoints = {ProjectPoint(A, Z0), ProjectPoint(B, Z0), ProjectPoint(B, Z1), ProjectPoint(A, Z1)};
  PolygonFour();
}

void TGraphCanvas3D::PlaneWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, const TPoint& P4, int Z) {
  FacePoints = {ProjectPoint(P1, Z), ProjectPoint(P2, Z), ProjectPoint(P3, Z), ProjectPoint(P4, Z)};
  PolygonFour();
}

void TGraphCanvas3D::PlaneFour3D(TQuadPoints& Points, int Z0, int Z1) {
  FacePoints = Points;
  Calc3DPointFloat(FacePoints[0], Z0, Points[0].X, Points[0].Y);
  Calc3DPointFloat(FacePoints[1], Z0, Points[1].X, Points[1].Y);
  Calc3DPointFloat(FacePoints[2], Z1, Points[2].X, Points[2].Y);
  Calc3DPointFloat(FacePoints[3], Z1, Points[3].X, Points[3].Y);
  PolygonFour();
}

void TGraphCanvas3D::PolygonWithZ(std::span<const TPoint> Points, int Z) {
  TPointArray p(Points.size());
  for (std::size_t i = 0; i < Points.size(); ++i) p[i] = ProjectPoint(Points[i], Z);
  Polygon(p);
}

void TGraphCanvas3D::PolylineWithZ(std::span<const TPoint> Points, int Z) {
  TPointArray p(Points.size());
  for (std::size_t i = 0; i < Points.size(); ++i) p[i] = ProjectPoint(Points[i], Z);
  Polyline(p);
}

void TGraphCanvas3D::TriangleWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, int Z) {
  const TPoint p[3] = {ProjectPoint(P1, Z), ProjectPoint(P2, Z), ProjectPoint(P3, Z)};
  Polygon(p);
}

void TGraphCanvas3D::Triangle3D(const std::array<TPoint3D, 3>& Points, const std::array<TColor, 3>& Colors) {
  if (Brush->Style() != bsClear) Brush->SetColor(Colors[0]);
  const TPoint p[3] = {Calc3DPoint3D(Points[0]), Calc3DPoint3D(Points[1]), Calc3DPoint3D(Points[2])};
  Polygon(p);
}

void TGraphCanvas3D::Sphere(int X, int Y, int Z, double Radius) {
  const int r = R32(Radius);
  EllipseWithZ(X - r, Y - r, X + r, Y + r, Z);
}

void TGraphCanvas3D::SphereEx(int, bool, int, int, const TCanvasSurfaceCell&) {}

void TGraphCanvas3D::HorizLine3D(int X0, int X1, int Y, int Z) {
  MoveTo3D(X0, Y, Z);
  LineTo3D(X1, Y, Z);
}

void TGraphCanvas3D::VertLine3D(int X, int Y0, int Y1, int Z) {
  MoveTo3D(X, Y0, Z);
  LineTo3D(X, Y1, Z);
}

void TGraphCanvas3D::ZLine3D(int X, int Y, int Z0, int Z1) {
  MoveTo3D(X, Y, Z0);
  LineTo3D(X, Y, Z1);
}

void TGraphCanvas3D::LineWithZ(int X0, int Y0, int X1, int Y1, int Z) {
  MoveTo3D(X0, Y0, Z);
  LineTo3D(X1, Y1, Z);
}

void TGraphCanvas3D::MoveTo3D(int X, int Y, int Z) {
  const TPoint p = Calculate3DPosition(X, Y, Z);
  MoveTo(p.X, p.Y);
}

void TGraphCanvas3D::LineTo3D(int X, int Y, int Z) {
  const TPoint p = Calculate3DPosition(X, Y, Z);
  LineTo(p.X, p.Y);
}

TColor TGraphCanvas3D::GetPixel3D(int X, int Y, int Z) {
  const TPoint p = Calculate3DPosition(X, Y, Z);
  return GetPixel(p.X, p.Y);
}

void TGraphCanvas3D::SetPixel3D(int X, int Y, int Z, TColor Color) {
  const TPoint p = Calculate3DPosition(X, Y, Z);
  if (Pen->Width() == 1) {
    SetPixel(p.X, p.Y, Color);
  } else {
    MoveTo(p.X, p.Y);
    LineTo(p.X, p.Y);
  }
}

// ---------------------------------------------------------------------------------------------
// Solids

void TGraphCanvas3D::EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) {
  if (IsOrthogonal) {
    const TPoint a = Calculate3DPosition(X1, Y1, Z);
    const TPoint b = Calculate3DPosition(X2, Y2, Z);
    Ellipse(a.X, a.Y, b.X, b.Y);
    return;
  }
  if (!Is3D) {
    Ellipse(X1, Y1, X2 + 1, Y2 + 1);
    return;
  }
  const int xc = (X1 + X2) / 2, yc = (Y1 + Y2) / 2;
  const int xr = (X2 - X1) / 2, yr = (Y2 - Y1) / 2;
  TPoint p[64];
  Calc3DPointFloat(p[0], Z, (X1 + X2) / 2.0, Y2);
  for (int i = 1; i < 64; ++i) {
    const double a = i * 2 * std::numbers::pi / 63;
    Calc3DPointFloat(p[i], Z, xc + xr * std::sin(a), yc + yr * std::cos(a));
  }
  if (Brush->Style() != bsClear) {
    const TPenStyle old = Pen->Style();
    Pen->SetStyle(psClear);
    const TPoint c = Calculate3DPosition(xc, yc, Z);
    for (int i = 1; i < 64; ++i) {
      const TPoint t[3] = {c, p[i - 1], p[i]};
      Polygon(t);
    }
    Pen->SetStyle(old);
  }
  if (Pen->Style() != psClear) Polyline(std::span<const TPoint>(p, 64));
}

void TGraphCanvas3D::Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides) {
  const TColor base = SolidBaseColor();
  const bool clear = Brush->Style() == bsClear;
  const auto P = [&](int x, int y, int z) { return Calculate3DPosition(x, y, z); };
  const auto F = [](const TQuadPoints& q) {
    return int64_t(q[3].X - q[2].X) * (q[1].Y - q[2].Y) - int64_t(q[1].X - q[2].X) * (q[3].Y - q[2].Y);
  };
  const auto G = [](const TQuadPoints& q) {
    return int64_t(q[3].X - q[0].X) * (q[1].Y - q[0].Y) - int64_t(q[1].X - q[0].X) * (q[3].Y - q[0].Y);
  };
  const auto shade = [&](int amount) {
    if (DarkSides) ApplyDarkerBrushColor(base, amount);
  };
  // Front or back.
  FacePoints = {P(Left, Top, Z0), P(Right, Top, Z0), P(Right, Bottom, Z0), P(Left, Bottom, Z0)};
  if (F(FacePoints) > 0 || clear) {
    PolygonFour();
  } else {
    FacePoints = {P(Left, Top, Z1), P(Right, Top, Z1), P(Right, Bottom, Z1), P(Left, Bottom, Z1)};
    PolygonFour();
  }
  // Right side.
  FacePoints = {P(Right, Top, Z0), P(Right, Top, Z1), P(Right, Bottom, Z1), P(Right, Bottom, Z0)};
  if (F(FacePoints) > 0 || clear) {
    shade(DarkColorQuantity);
    PolygonFour();
  }
  // Left side.
  FacePoints = {P(Left, Top, Z0), P(Left, Top, Z1), P(Left, Bottom, Z1), P(Left, Bottom, Z0)};
  if (G(FacePoints) > 0 || clear) {
    shade(DarkColorQuantity);
    PolygonFour();
  }
  // Top.
  FacePoints = {P(Left, Top, Z0), P(Right, Top, Z0), P(Right, Top, Z1), P(Left, Top, Z1)};
  {
    const TQuadPoints& q = FacePoints;
    const int64_t t = int64_t(q[0].X - q[1].X) * (q[2].Y - q[1].Y) - int64_t(q[2].X - q[1].X) * (q[0].Y - q[1].Y);
    if (t > 0 || clear) {
      shade(DarkerColorQuantity);
      PolygonFour();
    }
  }
  // Bottom.
  FacePoints = {P(Left, Bottom, Z0), P(Left, Bottom, Z1), P(Right, Bottom, Z1), P(Right, Bottom, Z0)};
  if (F(FacePoints) < 0 || clear) {
    shade(DarkerColorQuantity);
    PolygonFour();
  }
}

void TGraphCanvas3D::Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkCover) {
  Cone(Vertical, Left, Top, Right, Bottom, Z0, Z1, DarkCover, 100);
}

void TGraphCanvas3D::Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkCover,
                          int ConePercent) {
  const TColor base = SolidBaseColor();
  const int zr = (Z1 - Z0) / 2, zc = (Z1 + Z0) / 2;
  const int radius = Vertical ? (Right - Left) / 2 : (Bottom - Top) / 2;
  const int centre = Vertical ? (Left + Right) / 2 : (Top + Bottom) / 2;
  const int nRadius = R32(radius * ConePercent * 0.01);
  const int nZr = R32(zr * ConePercent * 0.01);
  TPoint full[SolidSegments + 1], narrow[SolidSegments + 1];
  for (int i = 1; i <= SolidSegments; ++i) {
    const double a = (i - (Vertical ? 4 : 5)) * 2 * std::numbers::pi / SolidSegments;
    const int c = centre + R32(std::sin(a) * radius);
    const int z = zc - R32(std::cos(a) * zr);
    const int nc = centre + R32(std::sin(a) * nRadius);
    const int nz = zc - R32(std::cos(a) * nZr);
    if (Vertical) {
      full[i] = Calculate3DPosition(c, Bottom, z);
      narrow[i] = Calculate3DPosition(nc, Top, nz);
    } else {
      full[i] = Calculate3DPosition(Left, c, z);
      narrow[i] = Calculate3DPosition(Right, nc, nz);
    }
  }
  const auto side = [&](int a, int b) {
    if (!IsClockwise(narrow[a], full[a], full[b])) {
      FacePoints = {narrow[a], full[a], full[b], narrow[b]};
      PolygonFour();
    }
  };
  for (int i = 2; i <= SolidSegments; ++i) {
    if (DarkCover) ApplyDarkerBrushColor(base, 8 * (i - 2));
    side(i - 1, i);
  }
  side(SolidSegments, 1);
  // Cover.
  TPoint cover[SolidSegments];
  bool fullEnd = false;
  if (!Vertical)
    fullEnd = IsClockwise(Calculate3DPosition(0, 0, 0), Calculate3DPosition(0, 10, 0), Calculate3DPosition(0, 10, 10));
  for (int i = 1; i <= SolidSegments; ++i) cover[i - 1] = fullEnd ? full[i] : narrow[i];
  if (DarkCover) ApplyDarkerBrushColor(base, DarkerColorQuantity);
  Polygon(cover);
}

void TGraphCanvas3D::Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkSides) {
  const TColor base = SolidBaseColor();
  const int zm = (Z0 + Z1) / 2;
  const auto P = [&](int x, int y, int z) { return Calculate3DPosition(x, y, z); };
  const auto tri = [&](const TPoint& a, const TPoint& b, const TPoint& c) {
    const TPoint t[3] = {a, b, c};
    Polygon(t);
  };
  if (Vertical) {
    const TPoint A = P((Left + Right) / 2, Top, zm);
    const TPoint b1 = P(Left, Bottom, Z0), b2 = P(Right, Bottom, Z0), b4 = P(Left, Bottom, Z1),
                 b5 = P(Right, Bottom, Z1);
    const bool up = Top < Bottom;
    if (Top != Bottom) {
      tri(b1, A, b2);
      if (IsClockwise(b1, A, b4) != up) tri(b1, A, b4);
      if (DarkSides) ApplyDarkerBrushColor(base, DarkColorQuantity);
      if (IsClockwise(b2, A, b5) == up) tri(b2, A, b5);
      if (up && IsClockwise(A, b4, b5)) tri(A, b4, b5);
    }
    if (IsClockwise(b1, b2, b4) == up) {
      if (DarkSides) ApplyDarkerBrushColor(base, DarkerColorQuantity);
      RectangleAtY(Left, Bottom, Right, Z0, Z1);
    }
  } else {
    const TPoint A = P(Right, (Top + Bottom) / 2, zm);
    const TPoint c1 = P(Left, Top, Z0), c2 = P(Left, Bottom, Z0), c4 = P(Left, Top, Z1), c5 = P(Left, Bottom, Z1);
    const bool right = Left < Right;
    if (Left != Right) {
      tri(c1, A, c2);
      if (IsClockwise(c4, A, c5) != right) tri(c4, A, c5);
      if (DarkSides) ApplyDarkerBrushColor(base, DarkerColorQuantity);
      if (IsClockwise(c1, A, c4) != right) tri(c1, A, c4);
      if (IsClockwise(c5, A, c2) != right) tri(c5, A, c2);
    }
    if (IsClockwise(c1, c2, c4) == right) {
      if (DarkSides) ApplyDarkerBrushColor(base, DarkColorQuantity);
      RectangleAtX(Left, Top, Bottom, Z0, Z1);
    }
  }
}

void TGraphCanvas3D::PyramidTrunc(const TRect& Rect, int StartZ, int EndZ, int TruncX, int TruncZ) {
  const int mx = (Rect.Left + Rect.Right) / 2;
  const int mz = (StartZ + EndZ) / 2;
  const int Top = Rect.Top, Bottom = Rect.Bottom, Left = Rect.Left, Right = Rect.Right;
  const auto baseCap = [&] { RectangleAtY(Left, Bottom, Right, StartZ, EndZ); };
  const auto topCap = [&] {
    if (TruncX != 0) RectangleAtY(mx - TruncX, Top, mx + TruncX, mz - TruncZ, mz + TruncZ);
  };
  const auto depthFace = [&](int a, int b) {
    TQuadPoints q = {TPoint(mx - TruncX, Top), TPoint(mx + TruncX, Top), TPoint(Right, Bottom), TPoint(Left, Bottom)};
    const bool d = (a < b && a > 0 && Top < Bottom) || (b < a && Bottom < Top);
    TQuadPoints proj = q;
    Calc3DPointFloat(proj[0], a, q[0].X, q[0].Y);
    Calc3DPointFloat(proj[1], a, q[1].X, q[1].Y);
    Calc3DPointFloat(proj[2], b, q[2].X, q[2].Y);
    Calc3DPointFloat(proj[3], b, q[3].X, q[3].Y);
    if (IsClockwise(proj[1], proj[2], proj[3]) != d) PlaneFour3D(q, a, b);
  };
  const auto sideFace = [&](int x0, int x1) {
    FacePoints = {Calculate3DPosition(x1, Top, mz - TruncZ), Calculate3DPosition(x1, Top, mz + TruncZ),
                  Calculate3DPosition(x0, Bottom, EndZ), Calculate3DPosition(x0, Bottom, StartZ)};
    const bool s = (x1 < x0 && Top < Bottom) || (x0 < x1 && Bottom < Top);
    if (IsClockwise(FacePoints[3], FacePoints[2], FacePoints[1]) != s) PolygonFour();
  };
  const bool baseFirst = Top < Bottom;
  if (baseFirst)
    baseCap();
  else
    topCap();
  if (TruncX != 0 || StartZ != EndZ) {
    depthFace(mz + TruncZ, EndZ);
    sideFace(Left, mx - TruncX);
    depthFace(mz - TruncZ, StartZ);
    sideFace(Right, mx + TruncX);
  } else {
    depthFace(mz + TruncZ, EndZ);
  }
  if (baseFirst)
    topCap();
  else
    baseCap();
}

void TGraphCanvas3D::Pie3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1, double StartAngle,
                           double EndAngle, bool DarkSides, bool DrawSides, int DonutPercent,
                           TCustomGraphGradient* Gradient) {
  const TColor base = SolidBaseColor();
  const int n = std::min<int64_t>(Round(std::fabs(EndAngle - StartAngle) * 180 / std::numbers::pi / 2), 94) + 2;
  const double step = (EndAngle - StartAngle) / (n - 1);
  std::vector<TPoint> out0(n), out1(n), in0, in1;
  const bool hole = DonutPercent > 0;
  const double irx = XRadius * DonutPercent * 0.01, iry = YRadius * DonutPercent * 0.01;
  if (hole) {
    in0.resize(n);
    in1.resize(n);
  }
  for (int i = 0; i < n; ++i) {
    const double a = StartAngle + i * step;
    const double x = XCenter + XRadius * std::cos(a), y = YCenter - YRadius * std::sin(a);
    Calc3DPointFloat(out0[i], Z0, x, y);
    Calc3DPointFloat(out1[i], Z1, x, y);
    if (hole) {
      const double ix = XCenter + irx * std::cos(a), iy = YCenter - R32(iry * std::sin(a));
      Calc3DPointFloat(in0[i], Z0, ix, iy);
      Calc3DPointFloat(in1[i], Z1, ix, iy);
    }
  }
  const TPoint c0 = Calculate3DPosition(XCenter, YCenter, Z0);
  const TPoint c1 = Calculate3DPosition(XCenter, YCenter, Z1);
  const auto shade = [&] {
    if (DarkSides) ApplyDarkerBrushColor(base, 32);
  };
  if (hole) {
    TPointArray wall;
    for (int i = n - 1; i >= 0; --i) wall.push_back(in0[i]);
    for (int i = 0; i < n; ++i) wall.push_back(in1[i]);
    shade();
    Polygon(wall);
  }
  if (DrawSides) {
    if (out0[n - 1].X < ScreenCenter.X) {
      shade();
      FacePoints = {hole ? in0[n - 1] : c0, out0[n - 1], out1[n - 1], hole ? in1[n - 1] : c1};
      PolygonFour();
    }
    if (out0[0].X > ScreenCenter.X) {
      shade();
      FacePoints = {hole ? in0[0] : c0, out0[0], out1[0], hole ? in1[0] : c1};
      PolygonFour();
    }
  }
  SelectSolidBrushColor(base);
  TPointArray top;
  if (hole) {
    top.push_back(in0[0]);
    top.insert(top.end(), out0.begin(), out0.end());
    for (int i = n - 1; i >= 0; --i) top.push_back(in0[i]);
  } else {
    top.push_back(c0);
    top.insert(top.end(), out0.begin(), out0.end());
  }
  const auto fill = [&](TPointArray& pts) {
    if (Gradient) {
      Gradient->Draw(this, PolygonBounds(pts, int(pts.size()) - 1));
      if (Pen->Style() != psClear) {
        const TBrushStyle old = Brush->Style();
        Brush->SetStyle(bsClear);
        Polygon(pts);
        Brush->SetStyle(old);
      }
    } else {
      Polygon(pts);
    }
  };
  fill(top);
  // Outer side: runs where the projected X increases along the arc.
  const auto run = [&](int from, int to) {
    TPointArray side;
    for (int i = from; i <= to; ++i) side.push_back(out0[i]);
    for (int i = to; i >= from; --i) side.push_back(out1[i]);
    shade();
    fill(side);
  };
  int first = -1;
  for (int i = 1; i < n; ++i)
    if (out0[i].X > out0[i - 1].X) {
      first = i - 1;
      break;
    }
  if (first < 0) return;
  int last = first + 1;
  while (last + 1 < n && !(out0[last + 1].X < out0[last].X)) ++last;
  run(first, last);
  if (last < n - 1 && out0[n - 1].X > out0[n - 2].X) {
    int from = n - 1;
    while (from > 1 && out0[from - 1].X < out0[from].X) --from;
    run(from, n - 1);
  }
}

namespace {

// An arrow's frame: u runs along the arrow, v across it; back() turns frame coordinates into
// rounded pixels.
struct TArrowFrame {
  TArrowFrame(const TPoint& FromPoint, const TPoint& ToPoint, int HeadHeight) {
    const double dx = double(ToPoint.X) - FromPoint.X;
    const double dy = double(FromPoint.Y) - ToPoint.Y;
    L = std::sqrt(dx * dx + dy * dy);
    if (L == 0) return;
    Head = L < 2147483647.5 ? std::min(HeadHeight, RoundPx(L)) : HeadHeight;
    s = dy / L;
    c = dx / L;
    uT = ToPoint.X * c - ToPoint.Y * s;
    vT = ToPoint.X * s + ToPoint.Y * c;
    uF = FromPoint.X * c - FromPoint.Y * s;
  }
  // Arrows come by the ten thousand: rounding here adds and takes off 1.5 * 2^52, which rounds
  // halves to even exactly as the library's rounding does; values outside the Integer range (or
  // not numbers) go the checked way and raise its error.
  static int RoundPx(double V) {
    if (!(V > -2147483648.5 && V < 2147483647.5)) return R32(V);
    constexpr double kShift = 6755399441055744.0;
    return static_cast<int>((V + kShift) - kShift);
  }
  TPoint Back(double U, double V) const { return TPoint(RoundPx(U * c + V * s), RoundPx(-U * s + V * c)); }
  double L = 0, s = 0, c = 0, uT = 0, vT = 0, uF = 0;
  int Head = 0;
};

}  // namespace

bool ArrowHeadCorners(const TPoint& FromPoint, const TPoint& ToPoint, int HeadWidth, int HeadHeight, TPoint& H1,
                      TPoint& H2) {
  const TArrowFrame f(FromPoint, ToPoint, HeadHeight);
  if (f.L == 0) return false;
  H1 = f.Back(f.uT - f.Head, f.vT - HeadWidth / 2.0);
  H2 = f.Back(f.uT - f.Head, f.vT + HeadWidth / 2.0);
  return true;
}

void TGraphCanvas3D::Arrow3D(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint, int HeadWidth, int HeadHeight,
                             int Z, double ArrowPercent) {
  const TArrowFrame f(FromPoint, ToPoint, HeadHeight);
  if (f.L == 0) return;
  const TPoint h1 = f.Back(f.uT - f.Head, f.vT - HeadWidth / 2.0);
  const TPoint h2 = f.Back(f.uT - f.Head, f.vT + HeadWidth / 2.0);
  if (!Filled) {
    LineWithZ(FromPoint.X, FromPoint.Y, ToPoint.X, ToPoint.Y, Z);
    LineWithZ(ToPoint.X, ToPoint.Y, h2.X, h2.Y, Z);
    LineWithZ(ToPoint.X, ToPoint.Y, h1.X, h1.Y, Z);
    return;
  }
  const double w = HeadWidth * ArrowPercent * 0.005;
  const TPoint pts[7] = {
      f.Back(f.uF, f.vT + w),         f.Back(f.uF, f.vT - w), f.Back(f.uT - f.Head, f.vT - w), h1, ToPoint, h2,
      f.Back(f.uT - f.Head, f.vT + w)};
  PolygonWithZ(pts, Z);
}
