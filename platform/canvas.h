// The toolkit canvas: drawing with pens, brushes and fonts on a bitmap, control, metafile or page.
// Pixel rules: a line leaves out its end pixel; Rectangle, Ellipse, RoundRect, Arc, Pie and Chord
// cover their box without its right column and bottom row; FillRect fills the box exactly.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/component.h"
#include "platform/graphics.h"

class TGraphic;
class TCanvas;
class TBitmap;

// Text alignment flags.
constexpr int TA_NOUPDATECP = 0;
constexpr int TA_UPDATECP = 1;
constexpr int TA_LEFT = 0;
constexpr int TA_RIGHT = 2;
constexpr int TA_CENTER = 6;
constexpr int TA_TOP = 0;
constexpr int TA_BOTTOM = 8;
constexpr int TA_BASELINE = 24;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Arc directions.
constexpr int AD_COUNTERCLOCKWISE = 1;
constexpr int AD_CLOCKWISE = 2;

// Polygon fill modes.
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;

// Region combination modes and results.
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

// Mapping modes.
constexpr int MM_TEXT = 1;
constexpr int MM_ISOTROPIC = 7;
constexpr int MM_ANISOTROPIC = 8;

// Device capabilities.
constexpr int TECHNOLOGY = 2;
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;
constexpr int DT_RASDISPLAY = 1;
constexpr int DT_RASPRINTER = 2;
constexpr int DT_METAFILE = 5;

// Raster operations of bitmap copies (CopyMode, BitBlt).
using TCopyMode = uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;
constexpr TCopyMode SRCCOPY = cmSrcCopy;
constexpr TCopyMode SRCAND = cmSrcAnd;
constexpr TCopyMode SRCPAINT = cmSrcPaint;
constexpr TCopyMode SRCINVERT = cmSrcInvert;
constexpr TCopyMode PATCOPY = cmPatCopy;
constexpr TCopyMode PATINVERT = cmPatInvert;
constexpr TCopyMode DSTINVERT = cmDstInvert;
constexpr TCopyMode BLACKNESS = cmBlackness;
constexpr TCopyMode WHITENESS = cmWhiteness;

// DrawText flags.
constexpr uint32_t DT_TOP = 0x0;
constexpr uint32_t DT_LEFT = 0x0;
constexpr uint32_t DT_CENTER = 0x1;
constexpr uint32_t DT_RIGHT = 0x2;
constexpr uint32_t DT_VCENTER = 0x4;
constexpr uint32_t DT_BOTTOM = 0x8;
constexpr uint32_t DT_WORDBREAK = 0x10;
constexpr uint32_t DT_SINGLELINE = 0x20;
constexpr uint32_t DT_EXPANDTABS = 0x40;
constexpr uint32_t DT_NOCLIP = 0x100;
constexpr uint32_t DT_CALCRECT = 0x400;
constexpr uint32_t DT_NOPREFIX = 0x800;
constexpr uint32_t DT_PATH_ELLIPSIS = 0x4000;
constexpr uint32_t DT_END_ELLIPSIS = 0x8000;
constexpr uint32_t DT_WORD_ELLIPSIS = 0x40000;

// The colour Pixels reports outside the surface or clip.
constexpr TColor CLR_INVALID = TColorOf(0xFFFFFFFF);

enum TFillStyle { fsSurface, fsBorder };

// A set of device pixels (clip and hit regions).
class TRegion {
public:
  TRegion();
  TRegion(const TRegion& Other);
  TRegion& operator=(const TRegion& Other);
  ~TRegion();

  static TRegion CreateRectRgn(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom);
  static TRegion CreateRectRgnIndirect(const TRect& R) { return CreateRectRgn(R.Left, R.Top, R.Right, R.Bottom); }
  static TRegion CreateRoundRectRgn(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom, int32_t CornerW,
                                    int32_t CornerH);
  static TRegion CreateEllipticRgn(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom);
  static TRegion CreateEllipticRgnIndirect(const TRect& R) {
    return CreateEllipticRgn(R.Left, R.Top, R.Right, R.Bottom);
  }
  static TRegion CreatePolygonRgn(const TPoint* Points, int Count, int FillMode = ALTERNATE);

  // Dest = A op B (RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY); returns the kind of the result.
  static int CombineRgn(TRegion& Dest, const TRegion& A, const TRegion& B, int Mode);

  bool IsEmpty() const;
  bool PtInRegion(int32_t X, int32_t Y) const;
  TRect Box() const;  // bounding box, right and bottom exclusive
  void Offset(int32_t DX, int32_t DY);
  bool Equals(const TRegion& Other) const;
  int Kind() const;  // NULLREGION, SIMPLEREGION or COMPLEXREGION
  int RectCount() const;

  struct Impl;
  Impl* GetImpl() const { return FImpl.get(); }

private:
  std::unique_ptr<Impl> FImpl;
};

class TCanvas : public TPersistent {
  VM_CLASS(TCanvas, TPersistent)
public:
  TCanvas();
  ~TCanvas() override;

  TPen* Pen() const { return FPen.get(); }
  TBrush* Brush() const { return FBrush.get(); }
  TFont* Font() const { return FFont.get(); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }

  TPoint PenPos() const { return FPenPos; }
  void SetPenPos(const TPoint& P) { MoveTo(P.X, P.Y); }
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }

  // True while bound to a surface.
  bool HandleAllocated() const;
  // An opaque device handle; the canvas itself stands for the device context.
  void* Handle() const { return const_cast<TCanvas*>(this); }
  void Lock() { ++FLockCount; }
  void Unlock() {
    if (FLockCount > 0) --FLockCount;
  }
  int LockCount() const { return FLockCount; }
  // Re-applies pen, brush and font on the next call.
  void Refresh();

  // Pixels[X][Y]; CLR_INVALID outside the surface or on a surface without pixels.
  TColor Pixels(int32_t X, int32_t Y);
  void SetPixels(int32_t X, int32_t Y, TColor Color);

  // Lines and shapes.
  void MoveTo(int32_t X, int32_t Y);
  void LineTo(int32_t X, int32_t Y);
  void Polyline(const TPoint* Points, int Count);
  void Polyline(const std::vector<TPoint>& Points) { Polyline(Points.data(), static_cast<int>(Points.size())); }
  // Separate lines from Points[2i] to Points[2i+1], each drawn as MoveTo and LineTo would draw it
  // (its end pixel left out), in one call: thousands of short lines cost far less this way. An odd
  // last point is ignored; the pen position ends at the last line's end.
  void LineSegments(const TPoint* Points, int Count);
  void LineSegments(const std::vector<TPoint>& Points) { LineSegments(Points.data(), static_cast<int>(Points.size())); }
  void Polygon(const TPoint* Points, int Count);
  void Polygon(const std::vector<TPoint>& Points) { Polygon(Points.data(), static_cast<int>(Points.size())); }
  // Count = 3n + 1: a start point, then two control points and an end point per curve.
  void PolyBezier(const TPoint* Points, int Count);
  void PolyBezier(const std::vector<TPoint>& Points) { PolyBezier(Points.data(), static_cast<int>(Points.size())); }
  // From the current position through 3n points; the last becomes the current position.
  void PolyBezierTo(const TPoint* Points, int Count);
  void Rectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
  void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  void RoundRect(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3);
  void Ellipse(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2);
  void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
  // Box X1,Y1-X2,Y2; from the ray through X3,Y3 to the ray through X4,Y4 in the arc direction.
  void Arc(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4);
  // Arc, with a line from the current position to its start; its end becomes the current position.
  void ArcTo(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4);
  void Pie(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4);
  void Chord(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t X3, int32_t Y3, int32_t X4, int32_t Y4);
  // Brush fills, no outline, no pen mode.
  void FillRect(const TRect& R);
  void FrameRect(const TRect& R);
  // An exclusive-or dotted frame: drawn twice it disappears.
  void DrawFocusRect(const TRect& R);
  void FloodFill(int32_t X, int32_t Y, TColor Color, TFillStyle FillStyle);

  // Text.
  void TextOut(int32_t X, int32_t Y, const std::string& Text);
  // Text clipped to R; with a non-clear brush R is filled first.
  void TextRect(const TRect& R, int32_t X, int32_t Y, const std::string& Text);
  TSize TextExtent(const std::string& Text);
  // Device pixels per logical pixel of what the canvas draws on (1 without a target).
  double PixelRatio();
  int32_t TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
  int32_t TextHeight(const std::string& Text) { return TextExtent(Text).cy; }
  // Formatted text in a rectangle (DT_ flags); returns the text height. DT_CALCRECT only measures
  // and widens or heightens R.
  int32_t DrawText(const std::string& Text, TRect& R, uint32_t Flags);
  // Font ascent and descent in pixels.
  int32_t TextAscent();
  int32_t TextDescent();

  // Graphics and bitmap copies.
  void Draw(int32_t X, int32_t Y, TGraphic* Graphic);
  void StretchDraw(const TRect& R, TGraphic* Graphic);
  // Copies Source's SrcRect onto DestRect (scaled) with CopyMode.
  void CopyRect(const TRect& DestRect, TCanvas* Source, const TRect& SrcRect);
  void BitBlt(int32_t X, int32_t Y, int32_t W, int32_t H, TCanvas* Source, int32_t SrcX, int32_t SrcY, TCopyMode Rop);
  void StretchBlt(int32_t X, int32_t Y, int32_t W, int32_t H, TCanvas* Source, int32_t SrcX, int32_t SrcY, int32_t SrcW,
                  int32_t SrcH, TCopyMode Rop);
  void PatBlt(int32_t X, int32_t Y, int32_t W, int32_t H, TCopyMode Rop);

  // Device-context state.
  int GetTextAlign();
  int SetTextAlign(int Flags);  // returns the previous flags
  int GetBkMode();
  int SetBkMode(int Mode);
  TColor GetBkColor();
  TColor SetBkColor(TColor Color);
  TColor GetTextColor();
  TColor SetTextColor(TColor Color);
  int GetROP2();
  int SetROP2(int Mode);  // a TPenMode; until the pen changes
  int GetArcDirection() const { return FArcDirection; }
  int SetArcDirection(int Direction);
  int GetPolyFillMode() const { return FPolyFillMode; }
  int SetPolyFillMode(int Mode);
  int GetTextCharacterExtra() const { return FCharExtra; }
  int SetTextCharacterExtra(int Extra);

  // Paths: between BeginPath and EndPath the drawing calls build a path instead of drawing.
  void BeginPath();
  void EndPath();
  void AbortPath();
  void CloseFigure();
  void StrokePath();
  void FillPath();
  void StrokeAndFillPath();
  // Replaces the path by the outline the current pen would draw.
  void WidenPath();
  // Combines the path's area with the clip region (RGN_ modes); the path is used up.
  bool SelectClipPath(int Mode);
  bool InPath() const;

  // Clipping in device units.
  int GetClipRgn(TRegion& Region);           // 1 and a copy when a clip region exists, else 0
  int SelectClipRgn(const TRegion* Region);  // nullptr removes clipping
  int ExtSelectClipRgn(const TRegion* Region, int Mode);
  int IntersectClipRect(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom);  // logical units
  int ExcludeClipRect(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom);
  // The clip box in logical units (the whole surface when nothing clips).
  TRect ClipRect();

  // Mapping from logical to device units.
  int GetMapMode() const { return FMapMode; }
  int SetMapMode(int Mode);
  void SetWindowOrgEx(int32_t X, int32_t Y, TPoint* Old = nullptr);
  void SetWindowExtEx(int32_t X, int32_t Y, TSize* Old = nullptr);
  void SetViewportOrgEx(int32_t X, int32_t Y, TPoint* Old = nullptr);
  void SetViewportExtEx(int32_t X, int32_t Y, TSize* Old = nullptr);
  TPoint GetWindowOrg() const { return FWindowOrg; }
  TSize GetWindowExt() const { return FWindowExt; }
  TPoint GetViewportOrg() const { return FViewportOrg; }
  TSize GetViewportExt() const { return FViewportExt; }
  void LPtoDP(TPoint* Points, int Count) const;
  void DPtoLP(TPoint* Points, int Count) const;

  int GetDeviceCaps(int Index);

  // Called before and after every drawing operation when assigned.
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  struct Impl;
  Impl* GetImpl() const { return FImpl.get(); }

protected:
  void Changing();
  void Changed();

private:
  friend struct Impl;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<Impl> FImpl;
  TPoint FPenPos;
  TCopyMode FCopyMode = cmSrcCopy;
  int FLockCount = 0;
  int FArcDirection = AD_COUNTERCLOCKWISE;
  int FPolyFillMode = ALTERNATE;
  int FCharExtra = 0;
  int FMapMode = MM_TEXT;
  TPoint FWindowOrg, FViewportOrg;
  TSize FWindowExt{1, 1}, FViewportExt{1, 1};
};

// Frame controls: a check box or radio button in the classic 3D look (13 by 13 pixels at the
// top-left corner of R; smaller boxes are clipped). DFCS_FLAT draws a one-pixel frame instead of
// the 3D edges, DFCS_MONO a black one; DFCS_INACTIVE greys the mark, DFCS_PUSHED the inside.
// The canvas' pen and brush come back unchanged. False for another Type.
constexpr uint32_t DFC_BUTTON = 4;
constexpr uint32_t DFCS_BUTTONCHECK = 0x0000;
constexpr uint32_t DFCS_BUTTONRADIO = 0x0004;
constexpr uint32_t DFCS_INACTIVE = 0x0100;
constexpr uint32_t DFCS_PUSHED = 0x0200;
constexpr uint32_t DFCS_CHECKED = 0x0400;
constexpr uint32_t DFCS_FLAT = 0x4000;
constexpr uint32_t DFCS_MONO = 0x8000;
bool DrawFrameControl(TCanvas* Canvas, const TRect& R, uint32_t Type, uint32_t State);

// Thinning of a one-pixel polyline that leaves every pixel as it was: consecutive points in one
// pixel column (the same X) become at most four points that cover exactly the rows the original
// lines covered (each line's end pixel left out). Valid for drawing modes that paint a pixel the
// same however often it is drawn (copy), not for the exclusive-or modes.
void ThinColumnRuns(const TPoint* Points, int Count, std::vector<TPoint>& Out);

// Whether canvases may set the pixels of simple shapes (one-pixel outlines, solid fills, copy
// mode, at most one clip rectangle) straight into a raster image instead of through the drawing
// engine; both give the same pixels. On by default; tests turn it off to compare. Returns the
// previous setting.
bool SetCanvasDirectRaster(bool On);

// ThinColumnRuns fed one point at a time (the same output): each pixel column goes out as soon
// as a point of another column arrives, so a long path is never held whole. Finish ends the last
// column.
class TColumnThinner {
public:
  explicit TColumnThinner(std::vector<TPoint>& Out) : FOut(Out) {}
  void Add(int32_t X, int32_t Y) {
    if (FLen == 0 || X != FX) {
      if (FLen) EndColumn();
      FX = X;
      FY0 = FLo = FHi = FLast = Y;
      FLoLeft = FHiLeft = false;
      FLen = 1;
      return;
    }
    if (Y != FLast) {
      if (FLast == FLo) FLoLeft = true;
      if (FLast == FHi) FHiLeft = true;
      if (Y < FLo) {
        FLo = Y;
        FLoLeft = false;
      } else if (Y > FHi) {
        FHi = Y;
        FHiLeft = false;
      }
    }
    if (FLen < 4) FShort[FLen] = Y;
    FLast = Y;
    ++FLen;
  }
  // Add for N points, leaving out each point that repeats the one before it (it draws nothing).
  void AddBlock(const int32_t* X, const int32_t* Y, size_t N);
  void Finish() {
    if (FLen) EndColumn();
    FLen = 0;
  }

private:
  void EndColumn();
  std::vector<TPoint>& FOut;
  int32_t FX = 0, FY0 = 0, FLo = 0, FHi = 0, FLast = 0;
  int32_t FShort[4] = {};  // the rows of a column of at most four points (the first is FY0)
  size_t FLen = 0;
  bool FLoLeft = false, FHiLeft = false;
};

// The same drawing done straight on the drawing engine, without the canvas: the yardstick of the
// canvas benchmarks. Lines join consecutive points; markers are Size-pixel squares at the points.
namespace CanvasReference {
void DrawLines(TBitmap* Target, const std::vector<TPoint>& Points, TColor Color);
void DrawMarkers(TBitmap* Target, const std::vector<TPoint>& Points, int Size, TColor Pen, TColor Fill);
}  // namespace CanvasReference
