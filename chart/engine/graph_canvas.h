// The chart drawing surface: flat drawing, pens, brushes, fonts, texts and clipping
// (TGraphCanvas), drawing in a projected 3D space (TCanvas3D), and the one concrete canvas that
// draws onto a toolkit canvas, optionally through an off-screen bitmap (TGraphCanvas3D).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "chart/engine/chart_geometry.h"
#include "chart/engine/graph_effects.h"
#include "platform/canvas.h"
#include "platform/graphics.h"

class TGraphic;
class TGraphBlend;
class TChartPen;
class TChartBrush;
class TView3DOptions;

// Background modes.
enum TCanvasBackMode : int32_t { cbmTransparent = 1, cbmOpaque = 2 };

// Shading amounts of 3D solids.
constexpr int DarkColorQuantity = 128;
constexpr int DarkerColorQuantity = 64;
constexpr int SolidSegments = 16;

// The callback of SphereEx: yields one cell of a grid surface.
using TCanvasSurfaceCell = std::function<bool(int X, int Z, TPoint3D* Points, TColor& Color)>;

class TGraphCanvas {
public:
  TGraphCanvas();
  virtual ~TGraphCanvas();
  TGraphCanvas(const TGraphCanvas&) = delete;
  TGraphCanvas& operator=(const TGraphCanvas&) = delete;

  // -- virtual operations, in slot order -------------------------------------------------------
  virtual TColor GetBackColor() = 0;
  virtual TCanvasBackMode GetBackMode() = 0;
  virtual TCanvas* GetHandle() = 0;
  virtual bool GetMonochrome() = 0;
  virtual TColor GetPixel(int X, int Y) = 0;
  virtual bool SupportsFullRotation() = 0;
  virtual int32_t GetTextAlign() = 0;
  virtual bool GetBufferedDisplay() = 0;
  virtual void SetBackColor(TColor Color) = 0;
  virtual void SetBackMode(TCanvasBackMode Mode) = 0;
  virtual void SetMonochrome(bool Value) = 0;
  virtual void SetPixel(int X, int Y, TColor Color) = 0;
  virtual void SetTextAlign(int32_t Align) = 0;
  virtual void SetBufferedDisplay(bool Value) = 0;
  virtual void AssignVisiblePenColor(TPen* Pen, TColor Color);
  virtual TGraphBlend* BeginBlending(const TRect& R, int32_t Transparency);
  virtual void EndBlending(TGraphBlend* Blend);
  virtual void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) = 0;
  virtual void DonutSlice(int XCenter, int YCenter, int XRadius, int YRadius, double StartAngle, double EndAngle,
                          double HolePercent) = 0;
  virtual void Draw(int X, int Y, TGraphic* Graphic) = 0;
  virtual void Ellipse(int X1, int Y1, int X2, int Y2) = 0;
  virtual void FillRect(const TRect& Rect) = 0;
  virtual void DrawBevelFrame(TRect& Rect, TColor TopColor, TColor BottomColor, int Width);
  virtual void LineTo(int X, int Y) = 0;
  virtual void MoveTo(int X, int Y) = 0;
  virtual void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) = 0;
  virtual void Rectangle(int X0, int Y0, int X1, int Y1) = 0;
  virtual void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) = 0;
  virtual void StretchDraw(const TRect& Rect, TGraphic* Graphic) = 0;
  virtual void TextOut(int X, int Y, const std::string& Text) = 0;
  virtual int TextWidth(const std::string& Text);
  virtual int TextHeight(const std::string& Text);
  virtual void ClipRectangle(const TRect& Rect) = 0;
  virtual void ClipRoundRectangle(const TRect& Rect, int Size);
  virtual void ClipEllipse(const TRect& Rect, bool Inverted = false);
  virtual void ClipPolygon(std::span<TPoint> Points, int Count);
  virtual void HorizLine(int X0, int X1, int Y) = 0;
  virtual void VertLine(int X, int Y0, int Y1) = 0;
  virtual void EraseBackground(const TRect& Rect) = 0;
  virtual void GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor, TGradientDirection Direction,
                            int Balance = 50) = 0;
  virtual void Invalidate() = 0;
  virtual void Line(int X0, int Y0, int X1, int Y1) = 0;
  virtual void Polyline(std::span<const TPoint> Points) = 0;
  virtual void Polygon(std::span<const TPoint> Points) = 0;
  virtual void RotateLabel(int X, int Y, const std::string& Text, double Angle) = 0;
  virtual void UnClipRectangle() = 0;

  // -- non-virtual operations -------------------------------------------------------------------
  // Binds to a toolkit canvas and re-reads its pen, brush and font.
  void SetCanvas(TCanvas* Canvas);
  void ResetState();
  void AssignBrush(TChartBrush* Brush, TColor Color);
  void AssignBrushColor(TChartBrush* Brush, TColor Color, TColor BackColor);
  void AssignVisiblePen(TPen* Pen);
  void AssignFont(TGraphFont* Font);
  int FontHeight();
  void DrawRectangle(const TRect& Rect);
  void DrawEllipse(const TRect& Rect);
  void DrawRoundRect(const TRect& Rect, int CornerWidth, int CornerHeight);
  void DrawLine(const TPoint& P0, const TPoint& P1);
  // With Html the text goes through the HTML-subset renderer when one is installed.
  void TextOutFormatted(int X, int Y, const std::string& Text, bool Html);
  void ApplyDarkerBrushColor(TColor Color, int Amount);
  // Replaces Points by their convex hull; False for fewer than three points.
  static bool ConvexHull(TPointArray& Points);

  // Properties served by the virtual accessors.
  TColor BackColor() { return GetBackColor(); }
  TCanvasBackMode BackMode() { return GetBackMode(); }
  TCanvas* Handle() { return GetHandle(); }
  bool Monochrome() { return GetMonochrome(); }
  bool BufferedDisplay() { return GetBufferedDisplay(); }
  int32_t TextAlign() { return GetTextAlign(); }
  TColor Pixels(int X, int Y) { return GetPixel(X, Y); }
  void SetPixels(int X, int Y, TColor Color) { SetPixel(X, Y, Color); }

  // The rectangle a text occupies at X, Y under the current alignment (Y is the top).
  TRect TextRect(int X, int Y, const std::string& Text);

  // -- state ------------------------------------------------------------------------------------
  TCanvas* TargetCanvas = nullptr;
  TPen* Pen = nullptr;
  TBrush* Brush = nullptr;
  TFont* Font = nullptr;
  TRect Bounds;
  double FontZoom = 100;
  TGraphFont* CurrentFont = nullptr;
  int32_t BlendTransparency = 0;
  // True while the owner draws into a metafile.
  bool Metafiling = false;

  // Renderer of HTML-subset text (HtmlTextOut unless replaced).
  static std::function<void(TGraphCanvas* Canvas, int X, int Y, const std::string& Text)> HtmlTextOutHook;

protected:
  // Where TextOut writes the text for the decorations: into a path, or straight.
  virtual void TextOutPlain(int X, int Y, const std::string& Text) = 0;
};

class TCanvas3D : public TGraphCanvas {
public:
  // -- virtual operations, in slot order -------------------------------------------------------
  virtual TColor GetPixel3D(int X, int Y, int Z) = 0;
  virtual bool IsText3D() = 0;
  virtual void SetPixel3D(int X, int Y, int Z, TColor Color) = 0;
  virtual void Calculate2DPosition(int& X, int& Y, int Z) = 0;
  virtual TPoint Calculate3DPosition(int X, int Y, int Z) = 0;
  virtual TRect InitWindow(TCanvas* DestCanvas, TView3DOptions* Options, TColor ABackColor, bool Is3D,
                           const TRect& ABounds) = 0;
  virtual void AssignSettings(TCanvas3D* Source);
  virtual void Projection(int MaxDepth, const TRect& ABounds, const TRect& ChartRect) = 0;
  virtual void ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& ABounds) = 0;
  virtual bool ReDrawBitmap() = 0;
  virtual void Arrow3D(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint, int HeadWidth, int HeadHeight,
                       int Z, double ArrowPercent) = 0;
  virtual void ClipCube(const TRect& Rect, int MinZ, int MaxZ) = 0;
  virtual void Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkCover,
                    int ConePercent) = 0;
  virtual void Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides = true) = 0;
  virtual void Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkCover) = 0;
  virtual void DisableRotation() {}
  virtual void EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) = 0;
  virtual void EnableRotation() {}
  virtual void HorizLine3D(int X0, int X1, int Y, int Z) = 0;
  virtual void VertLine3D(int X, int Y0, int Y1, int Z) = 0;
  virtual void ZLine3D(int X, int Y, int Z0, int Z1) = 0;
  virtual void Begin2D();
  virtual void End2D();
  virtual void LineWithZ(int X0, int Y0, int X1, int Y1, int Z) = 0;
  virtual void MoveTo3D(int X, int Y, int Z) = 0;
  virtual void LineTo3D(int X, int Y, int Z) = 0;
  virtual void Pie3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1, double StartAngle,
                     double EndAngle, bool DarkSides, bool DrawSides, int DonutPercent = 0,
                     TCustomGraphGradient* Gradient = nullptr) = 0;
  virtual void Plane3D(const TPoint& A, const TPoint& B, int Z0, int Z1) = 0;
  virtual void PlaneWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, const TPoint& P4, int Z) = 0;
  virtual void PlaneFour3D(TQuadPoints& Points, int Z0, int Z1) = 0;
  virtual void PolygonWithZ(std::span<const TPoint> Points, int Z) = 0;
  virtual void PolylineWithZ(std::span<const TPoint> Points, int Z) = 0;
  virtual void Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkSides) = 0;
  virtual void PyramidTrunc(const TRect& Rect, int StartZ, int EndZ, int TruncX, int TruncZ) = 0;
  virtual void RectangleWithZ(const TRect& Rect, int Z) = 0;
  virtual void RectangleAtY(int Left, int Y, int Right, int Z0, int Z1) = 0;
  virtual void RectangleAtX(int X, int Top, int Bottom, int Z0, int Z1) = 0;
  virtual void RotateLabel3D(int X, int Y, int Z, const std::string& Text, double Angle) = 0;
  virtual void Sphere(int X, int Y, int Z, double Radius) = 0;
  virtual void SphereEx(int Style, bool SameBrush, int NumXValues, int NumZValues,
                        const TCanvasSurfaceCell& CellCallback) = 0;
  virtual void TextOut3D(int X, int Y, int Z, const std::string& Text) = 0;
  virtual void Triangle3D(const std::array<TPoint3D, 3>& Points, const std::array<TColor, 3>& Colors) = 0;
  virtual void TriangleWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, int Z) = 0;

  // -- non-virtual operations -------------------------------------------------------------------
  void Arrow(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint, int HeadWidth, int HeadHeight, int Z);
  TRect ProjectRect(const TRect& Rect, int Z);
  TPoint ProjectPoint3D(const TPoint3D& P);
  TPoint ProjectPoint(const TPoint& P, int Z);
  TQuadPoints ProjectRectCorners(const TRect& Rect, int Z);
  TRect ProjectedBounds(const TRect& Rect, int Z);
  void CubeFromRect(const TRect& Rect, int Z0, int Z1, bool DarkSides = true);
  void LineWithZPoints(const TPoint& P0, const TPoint& P1, int Z);
  void MoveTo3DPoint(const TPoint3D& P);
  void LineTo3DPoint(const TPoint3D& P);
  void PlaneWithZQuad(const TQuadPoints& Quad, int Z);
  void RectangleWithZCoords(int Left, int Top, int Right, int Bottom, int Z);
  void StretchDrawPlane(const TRect& Rect, TGraphic* Graphic, int Z);

  // -- state ------------------------------------------------------------------------------------
  TView3DOptions* View3DOptions = nullptr;
  int32_t Nest2D = 0;
  bool IsOrthogonal = false;
  int32_t XCenter = 0;
  int32_t YCenter = 0;
  int32_t ZCenter = 0;
  int32_t GradientZ = 0;
};

class TBitmap;

class TGraphCanvas3D : public TCanvas3D {
public:
  TGraphCanvas3D();
  ~TGraphCanvas3D() override;

  // TGraphCanvas
  TColor GetBackColor() override;
  TCanvasBackMode GetBackMode() override;
  TCanvas* GetHandle() override;
  bool GetMonochrome() override;
  TColor GetPixel(int X, int Y) override;
  bool SupportsFullRotation() override;
  int32_t GetTextAlign() override;
  bool GetBufferedDisplay() override;
  void SetBackColor(TColor Color) override;
  void SetBackMode(TCanvasBackMode Mode) override;
  void SetMonochrome(bool Value) override;
  void SetPixel(int X, int Y, TColor Color) override;
  void SetTextAlign(int32_t Align) override;
  void SetBufferedDisplay(bool Value) override;
  void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) override;
  void DonutSlice(int XCenter, int YCenter, int XRadius, int YRadius, double StartAngle, double EndAngle,
                  double HolePercent) override;
  void Draw(int X, int Y, TGraphic* Graphic) override;
  void Ellipse(int X1, int Y1, int X2, int Y2) override;
  void FillRect(const TRect& Rect) override;
  void LineTo(int X, int Y) override;
  void MoveTo(int X, int Y) override;
  void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) override;
  void Rectangle(int X0, int Y0, int X1, int Y1) override;
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) override;
  void StretchDraw(const TRect& Rect, TGraphic* Graphic) override;
  void TextOut(int X, int Y, const std::string& Text) override;
  void ClipRectangle(const TRect& Rect) override;
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

  // TCanvas3D
  TColor GetPixel3D(int X, int Y, int Z) override;
  bool IsText3D() override;
  void SetPixel3D(int X, int Y, int Z, TColor Color) override;
  void Calculate2DPosition(int& X, int& Y, int Z) override;
  TPoint Calculate3DPosition(int X, int Y, int Z) override;
  TRect InitWindow(TCanvas* DestCanvas, TView3DOptions* Options, TColor ABackColor, bool AIs3D,
                   const TRect& ABounds) override;
  void Projection(int MaxDepth, const TRect& ABounds, const TRect& ChartRect) override;
  // Recomputes the 3D mapping from the view options between paints (a rotation being dragged).
  void RecalcProjection(bool AIs3D, int MaxDepth, const TRect& ChartRect);
  void ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& ABounds) override;
  bool ReDrawBitmap() override;
  void Arrow3D(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint, int HeadWidth, int HeadHeight, int Z,
               double ArrowPercent) override;
  void ClipCube(const TRect& Rect, int MinZ, int MaxZ) override;
  void Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkCover,
            int ConePercent) override;
  void Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides = true) override;
  void Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkCover) override;
  void DisableRotation() override;
  void EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) override;
  void EnableRotation() override;
  void HorizLine3D(int X0, int X1, int Y, int Z) override;
  void VertLine3D(int X, int Y0, int Y1, int Z) override;
  void ZLine3D(int X, int Y, int Z0, int Z1) override;
  void LineWithZ(int X0, int Y0, int X1, int Y1, int Z) override;
  void MoveTo3D(int X, int Y, int Z) override;
  void LineTo3D(int X, int Y, int Z) override;
  void Pie3D(int XCenter, int YCenter, int XRadius, int YRadius, int Z0, int Z1, double StartAngle, double EndAngle,
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
  void SphereEx(int Style, bool SameBrush, int NumXValues, int NumZValues,
                const TCanvasSurfaceCell& CellCallback) override;
  void TextOut3D(int X, int Y, int Z, const std::string& Text) override;
  void Triangle3D(const std::array<TPoint3D, 3>& Points, const std::array<TColor, 3>& Colors) override;
  void TriangleWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, int Z) override;

  // TGraphCanvas3D
  virtual void PolygonFour();
  virtual void DeleteBitmap();
  virtual void CopyBitmapTo(int X, int Y, TCanvas* DestCanvas);

  // Mapping of other argument shapes (see Calculate3DPosition).
  void Calc3DPoint(TPoint& P, int X, int Y, int Z);
  void Calc3DTPoint(TPoint& P, int Z);
  TPoint Calc3DPoint3D(const TPoint3D& P);
  // The mapping of fractional X and Y; leaves P alone when nothing is projected.
  void Calc3DPointFloat(TPoint& P, int Z, double X, double Y);

  // The off-screen bitmap, or nullptr.
  TBitmap* Bitmap() const { return FBitmap.get(); }
  bool BufferValid() const { return FBufferValid; }

  // -- projection state -------------------------------------------------------------------------
  bool Is3D = false;
  bool SavedIs3D = false;
  TPoint ScreenCenter;
  double ZoomFactor = 1;
  bool ZoomText = true;
  double OrthoFactorX = 1;
  double OrthoFactorY = 1;
  long double S_e = 0, C_e = 1, S_r = 0, C_r = 1, S_t = 0, C_t = 1;
  bool TiltOn = false;
  bool PerspectiveOn = false;
  double PerspectiveFactor = 0;
  double k1 = 0, k2 = 1, k3 = 1, k4 = 0, k5 = 0, k6 = 0;

  TQuadPoints FacePoints{};

  // The sines and cosines of the view's angles and the inverse mapping's coefficients (not in
  // the orthogonal view).
  void CalcTrigValues(TView3DOptions* Options);
  // The perspective of the view options for a chart rectangle (its strength scales with the width).
  void CalcPerspective(const TRect& ChartRect);

protected:
  void TextOutPlain(int X, int Y, const std::string& Text) override;

private:
  void InitProjection(TView3DOptions* Options);
  TPoint MapPoint(long double X, long double Y, int Z, bool Tilted);
  void SelectSolidBrushColor(TColor Color) { ApplyDarkerBrushColor(Color, 0); }
  TColor SolidBaseColor();
  friend class TGraphCanvas;
  TBitmap* PatternBitmap(TGraphic* Graphic);

  bool FMonochrome = false;
  bool FBufferedDisplay = true;
  bool FBufferValid = false;
  std::unique_ptr<TBitmap> FBitmap;
  std::unique_ptr<TBitmap> FPattern;  // a brush picture that is not a bitmap, as one
};

// The region that clipping saves the previous clip into, shared by all canvases.
TRegion& SavedClipRegion();

// The two back corners of an arrow head from FromPoint to ToPoint, as Arrow3D draws them: HeadWidth
// across and HeadHeight (at most the arrow's length) back from the tip. False for an arrow of no
// length, which draws nothing.
bool ArrowHeadCorners(const TPoint& FromPoint, const TPoint& ToPoint, int HeadWidth, int HeadHeight, TPoint& H1,
                      TPoint& H2);
