// A chart canvas for tests: records every drawing call as a line of text, in order, and still
// draws into a bitmap of its own so that texts can be measured and pixels checked.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "chart/engine/graph_canvas.h"

class TBitmap;

class TRecordingCanvas : public TGraphCanvas3D {
public:
  explicit TRecordingCanvas(int Width = 300, int Height = 200);
  ~TRecordingCanvas() override;

  // The recorded calls, such as "Rectangle(0,0,10,10)" or "TextOut(5,5,\"abc\")".
  std::vector<std::string> Calls;
  // Also record the calls that a recorded call makes itself (the faces of a cube, say).
  bool RecordNested = false;

  void Clear() { Calls.clear(); }
  // The names of the recorded calls, without arguments.
  std::vector<std::string> Names() const;
  // The recorded calls whose name is Name.
  std::vector<std::string> CallsOf(const std::string& Name) const;
  // Index of the first call starting with Prefix at or after From; -1 when none.
  int IndexOf(const std::string& Prefix, int From = 0) const;
  // True when the calls starting with each prefix appear in this order (others may lie between).
  bool InOrder(const std::vector<std::string>& Prefixes) const;

  TBitmap* Surface() const { return FSurface.get(); }

  // Drawing operations, recorded.
  void SetBackColor(TColor Color) override;
  void SetBackMode(TCanvasBackMode Mode) override;
  void SetPixel(int X, int Y, TColor Color) override;
  void SetTextAlign(int32_t Align) override;
  void AssignVisiblePenColor(TPen* APen, TColor Color) override;
  TGraphBlend* BeginBlending(const TRect& R, int32_t Transparency) override;
  void EndBlending(TGraphBlend* Blend) override;
  void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) override;
  void DonutSlice(int XC, int YC, int XRadius, int YRadius, double StartAngle, double EndAngle,
                  double HolePercent) override;
  void Draw(int X, int Y, TGraphic* Graphic) override;
  void Ellipse(int X1, int Y1, int X2, int Y2) override;
  void FillRect(const TRect& Rect) override;
  void DrawBevelFrame(TRect& Rect, TColor TopColor, TColor BottomColor, int Width) override;
  void LineTo(int X, int Y) override;
  void MoveTo(int X, int Y) override;
  void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) override;
  void Rectangle(int X0, int Y0, int X1, int Y1) override;
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) override;
  void StretchDraw(const TRect& Rect, TGraphic* Graphic) override;
  void TextOut(int X, int Y, const std::string& Text) override;
  void ClipRectangle(const TRect& Rect) override;
  void ClipRoundRectangle(const TRect& Rect, int Size) override;
  void ClipEllipse(const TRect& Rect, bool Inverted = false) override;
  void ClipPolygon(std::span<TPoint> Points, int Count) override;
  void HorizLine(int X0, int X1, int Y) override;
  void VertLine(int X, int Y0, int Y1) override;
  void EraseBackground(const TRect& Rect) override;
  void GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor, TGradientDirection Direction,
                    int Balance = 50) override;
  void Invalidate() override;
  void Line(int X0, int Y0, int X1, int Y1) override;
  void Polyline(std::span<const TPoint> Points) override;
  void Polygon(std::span<const TPoint> Points) override;
  void RotateLabel(int X, int Y, const std::string& Text, double Angle) override;
  void UnClipRectangle() override;

  void SetPixel3D(int X, int Y, int Z, TColor Color) override;
  TRect InitWindow(TCanvas* DestCanvas, TView3DOptions* Options, TColor ABackColor, bool AIs3D,
                   const TRect& ABounds) override;
  void Projection(int MaxDepth, const TRect& ABounds, const TRect& ChartRect) override;
  void ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& ABounds) override;
  void Arrow3D(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint, int HeadWidth, int HeadHeight, int Z,
               double ArrowPercent) override;
  void ClipCube(const TRect& Rect, int MinZ, int MaxZ) override;
  void Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkCover,
            int ConePercent) override;
  void Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides = true) override;
  void Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkCover) override;
  void EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) override;
  void HorizLine3D(int X0, int X1, int Y, int Z) override;
  void VertLine3D(int X, int Y0, int Y1, int Z) override;
  void ZLine3D(int X, int Y, int Z0, int Z1) override;
  void LineWithZ(int X0, int Y0, int X1, int Y1, int Z) override;
  void MoveTo3D(int X, int Y, int Z) override;
  void LineTo3D(int X, int Y, int Z) override;
  void Pie3D(int XC, int YC, int XRadius, int YRadius, int Z0, int Z1, double StartAngle, double EndAngle,
             bool DarkSides, bool DrawSides, int DonutPercent = 0, TCustomGraphGradient* Gradient = nullptr) override;
  void Plane3D(const TPoint& A, const TPoint& B, int Z0, int Z1) override;
  void PlaneWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, const TPoint& P4, int Z) override;
  void PlaneFour3D(TQuadPoints& Points, int Z0, int Z1) override;
  void PolygonWithZ(std::span<const TPoint> Points, int Z) override;
  void PolylineWithZ(std::span<const TPoint> Points, int Z) override;
  void Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkSides) override;
  void PyramidTrunc(const TRect& Rect, int StartZ, int EndZ, int TruncX, int TruncZ) override;
  void RectangleWithZ(const TRect& Rect, int Z) override;
  void RectangleAtY(int Left, int Y, int Right, int Z0, int Z1) override;
  void RectangleAtX(int X, int Top, int Bottom, int Z0, int Z1) override;
  void RotateLabel3D(int X, int Y, int Z, const std::string& Text, double Angle) override;
  void Sphere(int X, int Y, int Z, double Radius) override;
  void TextOut3D(int X, int Y, int Z, const std::string& Text) override;
  void Triangle3D(const std::array<TPoint3D, 3>& Points, const std::array<TColor, 3>& Colors) override;
  void TriangleWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, int Z) override;
  void PolygonFour() override;

private:
  class Scope;
  std::unique_ptr<TBitmap> FSurface;
  int FDepth = 0;
};
