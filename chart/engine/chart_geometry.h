// Geometry and colour helpers shared by the whole chart engine.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/graphics.h"

// A point of the canvas' 3D space: Z is depth in pixels (0 = front plane, growing into the screen).
struct TPoint3D {
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Z = 0;
  friend bool operator==(const TPoint3D&, const TPoint3D&) = default;
};

// The four corners of a projected rectangle or quadrilateral, in drawing order.
using TQuadPoints = std::array<TPoint, 4>;

// True when P0, P1, P2 turn clockwise on the screen (Y downwards).
bool IsClockwise(const TPoint& P0, const TPoint& P1, const TPoint& P2);
bool IsClockwiseTriangle(std::span<const TPoint> Points);

TPoint MakePoint(int X, int Y);
TRect MakeRect(int Left, int Top, int Right, int Bottom);
// Edges included.
bool PointInRectXY(const TRect& Rect, int X, int Y);
bool PointInRect(const TRect& Rect, const TPoint& P);
TRect OrientedRect(const TRect& Rect);
// Width and height, possibly negative.
void RectSize(const TRect& Rect, int& Width, int& Height);
TPoint RectCenter(const TRect& Rect);
// Bounds of Points[0..HighIndex], Right and Bottom being the largest coordinates themselves.
TRect PolygonBounds(std::span<const TPoint> Points, int HighIndex);
// Bounds of the first Count points, Right and Bottom exclusive.
TRect PointsBounds(std::span<const TPoint> Points, int Count);
TRect TriangleBounds(std::span<const TPoint> Points);

TColor DarkerColor(TColor Color, int Amount);
TColor LighterColor(TColor Color, int Amount);

// The bytes of a 24-bit pixel in memory order.
struct TRGBTriple {
  uint8_t rgbtBlue = 0;
  uint8_t rgbtGreen = 0;
  uint8_t rgbtRed = 0;
  friend bool operator==(const TRGBTriple&, const TRGBTriple&) = default;
};
TRGBTriple ColorToRGBTriple(TColor RGB);

void SwapInteger(int& A, int& B);
void SwapDouble(double& A, double& B);
