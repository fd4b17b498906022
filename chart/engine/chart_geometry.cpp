#include "chart/engine/chart_geometry.h"

#include <algorithm>
#include <limits>

#include "platform/exceptions.h"

bool IsClockwise(const TPoint& P0, const TPoint& P1, const TPoint& P2) {
  // 32-bit products, wrapping as the original arithmetic does.
  const uint32_t a = uint32_t(P0.X - P1.X) * uint32_t(P2.Y - P1.Y);
  const uint32_t b = uint32_t(P2.X - P1.X) * uint32_t(P0.Y - P1.Y);
  return int32_t(a - b) < 0;
}

bool IsClockwiseTriangle(std::span<const TPoint> Points) {
  if (Points.size() < 3) throw ERangeError("Range check error");
  return IsClockwise(Points[0], Points[1], Points[2]);
}

TPoint MakePoint(int X, int Y) { return TPoint(X, Y); }

TRect MakeRect(int Left, int Top, int Right, int Bottom) { return TRect(Left, Top, Right, Bottom); }

bool PointInRectXY(const TRect& Rect, int X, int Y) {
  return X >= Rect.Left && X <= Rect.Right && Y >= Rect.Top && Y <= Rect.Bottom;
}

bool PointInRect(const TRect& Rect, const TPoint& P) { return PointInRectXY(Rect, P.X, P.Y); }

TRect OrientedRect(const TRect& Rect) {
  TRect r = Rect;
  if (r.Left > r.Right) std::swap(r.Left, r.Right);
  if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
  return r;
}

void RectSize(const TRect& Rect, int& Width, int& Height) {
  Width = Rect.Right - Rect.Left;
  Height = Rect.Bottom - Rect.Top;
}

TPoint RectCenter(const TRect& Rect) { return TPoint((Rect.Left + Rect.Right) / 2, (Rect.Top + Rect.Bottom) / 2); }

TRect PolygonBounds(std::span<const TPoint> Points, int HighIndex) {
  if (HighIndex < 0) return TRect(0, 0, 0, 0);
  if (static_cast<std::size_t>(HighIndex) >= Points.size()) throw ERangeError("Range check error");
  TRect r(Points[0].X, Points[0].Y, Points[0].X, Points[0].Y);
  for (int i = 1; i <= HighIndex; ++i) {
    r.Left = std::min(r.Left, Points[i].X);
    r.Top = std::min(r.Top, Points[i].Y);
    r.Right = std::max(r.Right, Points[i].X);
    r.Bottom = std::max(r.Bottom, Points[i].Y);
  }
  return r;
}

TRect PointsBounds(std::span<const TPoint> Points, int Count) {
  TRect r = PolygonBounds(Points, Count - 1);
  ++r.Right;
  ++r.Bottom;
  return r;
}

TRect TriangleBounds(std::span<const TPoint> Points) { return PointsBounds(Points, 3); }

TColor DarkerColor(TColor Color, int Amount) {
  const uint32_t c = uint32_t(ColorToRGB(Color));
  const auto ch = [&](int shift) {
    const int v = int((c >> shift) & 0xFF);
    return uint32_t(v <= Amount ? 0 : v - Amount) << shift;
  };
  return TColor(ch(0) | ch(8) | ch(16));
}

TColor LighterColor(TColor Color, int Amount) {
  const uint32_t c = uint32_t(ColorToRGB(Color));
  const auto ch = [&](int shift) {
    const int v = int((c >> shift) & 0xFF) + Amount;
    return uint32_t(std::clamp(v, 0, 255)) << shift;
  };
  return TColor(ch(0) | ch(8) | ch(16));
}

TRGBTriple ColorToRGBTriple(TColor RGB) {
  const uint32_t c = uint32_t(RGB);
  TRGBTriple t;
  t.rgbtRed = uint8_t(c & 0xFF);
  t.rgbtGreen = uint8_t((c >> 8) & 0xFF);
  t.rgbtBlue = uint8_t((c >> 16) & 0xFF);
  return t;
}

void SwapInteger(int& A, int& B) { std::swap(A, B); }

void SwapDouble(double& A, double& B) { std::swap(A, B); }
