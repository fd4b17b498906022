#include "chart/engine/testkit/recording_canvas.h"

#include <cstdio>
#include <sstream>

#include "chart/engine/graph_blend.h"
#include "platform/bitmap.h"

namespace {

void Put(std::ostringstream& o, int V) { o << V; }
void Put(std::ostringstream& o, bool V) { o << (V ? "true" : "false"); }
void Put(std::ostringstream& o, double V) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", V);
  o << buf;
}
void Put(std::ostringstream& o, const std::string& V) { o << '"' << V << '"'; }
void Put(std::ostringstream& o, const TPoint& P) { o << '(' << P.X << ',' << P.Y << ')'; }
void Put(std::ostringstream& o, const TPoint3D& P) { o << '(' << P.X << ',' << P.Y << ',' << P.Z << ')'; }
void Put(std::ostringstream& o, const TRect& R) {
  o << '[' << R.Left << ',' << R.Top << ',' << R.Right << ',' << R.Bottom << ']';
}
void Put(std::ostringstream& o, const void* P) { o << (P ? "obj" : "nil"); }
template <class T>
void PutList(std::ostringstream& o, const T& Items) {
  o << '{';
  bool first = true;
  for (const auto& i : Items) {
    if (!first) o << ',';
    first = false;
    Put(o, i);
  }
  o << '}';
}
void Put(std::ostringstream& o, std::span<const TPoint> V) { PutList(o, V); }
void Put(std::ostringstream& o, std::span<TPoint> V) { PutList(o, V); }
void Put(std::ostringstream& o, const TQuadPoints& V) { PutList(o, V); }
void Put(std::ostringstream& o, const std::array<TPoint3D, 3>& V) { PutList(o, V); }
void Put(std::ostringstream& o, const std::array<TColor, 3>& V) { PutList(o, V); }
void Put(std::ostringstream& o, TGradientDirection V) { o << static_cast<int>(V); }
void Put(std::ostringstream& o, TCanvasBackMode V) { o << static_cast<int>(V); }

template <class... A>
std::string Format(const char* Name, const A&... Args) {
  std::ostringstream o;
  o << Name << '(';
  int n = 0;
  ((o << (n++ ? "," : ""), Put(o, Args)), ...);
  o << ')';
  return o.str();
}

}  // namespace

// Records a call when it is not nested in another recorded call (or when nested calls are wanted).
class TRecordingCanvas::Scope {
public:
  template <class... A>
  Scope(TRecordingCanvas* C, const char* Name, const A&... Args) : FCanvas(C) {
    if (C->FDepth == 0 || C->RecordNested) C->Calls.push_back(Format(Name, Args...));
    ++C->FDepth;
  }
  ~Scope() { --FCanvas->FDepth; }

private:
  TRecordingCanvas* FCanvas;
};

TRecordingCanvas::TRecordingCanvas(int Width, int Height)
    : FSurface(std::make_unique<TBitmap>(Width, Height, pf24bit)) {
  SetBufferedDisplay(false);
  SetCanvas(FSurface->Canvas());
  Bounds = TRect(0, 0, Width, Height);
}

TRecordingCanvas::~TRecordingCanvas() = default;

std::vector<std::string> TRecordingCanvas::Names() const {
  std::vector<std::string> names;
  for (const std::string& c : Calls) names.push_back(c.substr(0, c.find('(')));
  return names;
}

std::vector<std::string> TRecordingCanvas::CallsOf(const std::string& Name) const {
  std::vector<std::string> out;
  for (const std::string& c : Calls)
    if (c.compare(0, c.find('('), Name) == 0) out.push_back(c);
  return out;
}

int TRecordingCanvas::IndexOf(const std::string& Prefix, int From) const {
  for (int i = std::max(0, From); i < static_cast<int>(Calls.size()); ++i)
    if (Calls[i].compare(0, Prefix.size(), Prefix) == 0) return i;
  return -1;
}

bool TRecordingCanvas::InOrder(const std::vector<std::string>& Prefixes) const {
  int at = 0;
  for (const std::string& p : Prefixes) {
    const int i = IndexOf(p, at);
    if (i < 0) return false;
    at = i + 1;
  }
  return true;
}

TRect TRecordingCanvas::InitWindow(TCanvas* DestCanvas, TView3DOptions* Options, TColor ABackColor, bool AIs3D,
                                   const TRect& ABounds) {
  Scope s(this, "InitWindow", static_cast<const void*>(DestCanvas), ABounds, AIs3D);
  const TRect r =
      TGraphCanvas3D::InitWindow(DestCanvas ? DestCanvas : FSurface->Canvas(), Options, ABackColor, AIs3D, ABounds);
  return r;
}

void TRecordingCanvas::ShowImage(TCanvas* DestCanvas, TCanvas* DefaultCanvas, const TRect& ABounds) {
  Scope s(this, "ShowImage", ABounds);
  TGraphCanvas3D::ShowImage(DestCanvas, DefaultCanvas ? DefaultCanvas : FSurface->Canvas(), ABounds);
}

void TRecordingCanvas::SetBackColor(TColor Color) {
  Scope s(this, "SetBackColor", Color);
  TGraphCanvas3D::SetBackColor(Color);
}

void TRecordingCanvas::SetBackMode(TCanvasBackMode Mode) {
  Scope s(this, "SetBackMode", Mode);
  TGraphCanvas3D::SetBackMode(Mode);
}

void TRecordingCanvas::SetPixel(int X, int Y, TColor Color) {
  Scope s(this, "SetPixel", X, Y, Color);
  TGraphCanvas3D::SetPixel(X, Y, Color);
}

void TRecordingCanvas::SetTextAlign(int32_t Align) {
  Scope s(this, "SetTextAlign", Align);
  TGraphCanvas3D::SetTextAlign(Align);
}

void TRecordingCanvas::AssignVisiblePenColor(TPen* APen, TColor Color) {
  Scope s(this, "AssignVisiblePenColor", APen, Color);
  TGraphCanvas3D::AssignVisiblePenColor(APen, Color);
}

TGraphBlend* TRecordingCanvas::BeginBlending(const TRect& R, int32_t Transparency) {
  Scope s(this, "BeginBlending", R, Transparency);
  return TGraphCanvas3D::BeginBlending(R, Transparency);
}

void TRecordingCanvas::EndBlending(TGraphBlend* Blend) {
  Scope s(this, "EndBlending", Blend);
  TGraphCanvas3D::EndBlending(Blend);
}

void TRecordingCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Scope s(this, "Arc", X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  TGraphCanvas3D::Arc(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TRecordingCanvas::DonutSlice(int XC, int YC, int XRadius, int YRadius, double StartAngle, double EndAngle,
                                  double HolePercent) {
  Scope s(this, "DonutSlice", XC, YC, XRadius, YRadius, StartAngle, EndAngle, HolePercent);
  TGraphCanvas3D::DonutSlice(XC, YC, XRadius, YRadius, StartAngle, EndAngle, HolePercent);
}

void TRecordingCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  Scope s(this, "Draw", X, Y, Graphic);
  TGraphCanvas3D::Draw(X, Y, Graphic);
}

void TRecordingCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  Scope s(this, "Ellipse", X1, Y1, X2, Y2);
  TGraphCanvas3D::Ellipse(X1, Y1, X2, Y2);
}

void TRecordingCanvas::FillRect(const TRect& Rect) {
  Scope s(this, "FillRect", Rect);
  TGraphCanvas3D::FillRect(Rect);
}

void TRecordingCanvas::DrawBevelFrame(TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
  Scope s(this, "DrawBevelFrame", Rect, TopColor, BottomColor, Width);
  TGraphCanvas3D::DrawBevelFrame(Rect, TopColor, BottomColor, Width);
}

void TRecordingCanvas::LineTo(int X, int Y) {
  Scope s(this, "LineTo", X, Y);
  TGraphCanvas3D::LineTo(X, Y);
}

void TRecordingCanvas::MoveTo(int X, int Y) {
  Scope s(this, "MoveTo", X, Y);
  TGraphCanvas3D::MoveTo(X, Y);
}

void TRecordingCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Scope s(this, "Pie", X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  TGraphCanvas3D::Pie(X1, Y1, X2, Y2, X3, Y3, X4, Y4);
}

void TRecordingCanvas::Rectangle(int X0, int Y0, int X1, int Y1) {
  Scope s(this, "Rectangle", X0, Y0, X1, Y1);
  TGraphCanvas3D::Rectangle(X0, Y0, X1, Y1);
}

void TRecordingCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
  Scope s(this, "RoundRect", X1, Y1, X2, Y2, X3, Y3);
  TGraphCanvas3D::RoundRect(X1, Y1, X2, Y2, X3, Y3);
}

void TRecordingCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  Scope s(this, "StretchDraw", Rect, Graphic);
  TGraphCanvas3D::StretchDraw(Rect, Graphic);
}

void TRecordingCanvas::TextOut(int X, int Y, const std::string& Text) {
  Scope s(this, "TextOut", X, Y, Text);
  TGraphCanvas3D::TextOut(X, Y, Text);
}

void TRecordingCanvas::ClipRectangle(const TRect& Rect) {
  Scope s(this, "ClipRectangle", Rect);
  TGraphCanvas3D::ClipRectangle(Rect);
}

void TRecordingCanvas::ClipRoundRectangle(const TRect& Rect, int Size) {
  Scope s(this, "ClipRoundRectangle", Rect, Size);
  TGraphCanvas3D::ClipRoundRectangle(Rect, Size);
}

void TRecordingCanvas::ClipEllipse(const TRect& Rect, bool Inverted) {
  Scope s(this, "ClipEllipse", Rect, Inverted);
  TGraphCanvas3D::ClipEllipse(Rect, Inverted);
}

void TRecordingCanvas::ClipPolygon(std::span<TPoint> Points, int Count) {
  Scope s(this, "ClipPolygon", Points, Count);
  TGraphCanvas3D::ClipPolygon(Points, Count);
}

void TRecordingCanvas::HorizLine(int X0, int X1, int Y) {
  Scope s(this, "HorizLine", X0, X1, Y);
  TGraphCanvas3D::HorizLine(X0, X1, Y);
}

void TRecordingCanvas::VertLine(int X, int Y0, int Y1) {
  Scope s(this, "VertLine", X, Y0, Y1);
  TGraphCanvas3D::VertLine(X, Y0, Y1);
}

void TRecordingCanvas::EraseBackground(const TRect& Rect) {
  Scope s(this, "EraseBackground", Rect);
  TGraphCanvas3D::EraseBackground(Rect);
}

void TRecordingCanvas::GradientFill(const TRect& Rect, TColor StartColor, TColor EndColor, TGradientDirection Direction,
                                    int Balance) {
  Scope s(this, "GradientFill", Rect, StartColor, EndColor, Direction, Balance);
  TGraphCanvas3D::GradientFill(Rect, StartColor, EndColor, Direction, Balance);
}

void TRecordingCanvas::Invalidate() {
  Scope s(this, "Invalidate");
  TGraphCanvas3D::Invalidate();
}

void TRecordingCanvas::Line(int X0, int Y0, int X1, int Y1) {
  Scope s(this, "Line", X0, Y0, X1, Y1);
  TGraphCanvas3D::Line(X0, Y0, X1, Y1);
}

void TRecordingCanvas::Polyline(std::span<const TPoint> Points) {
  Scope s(this, "Polyline", Points);
  TGraphCanvas3D::Polyline(Points);
}

void TRecordingCanvas::Polygon(std::span<const TPoint> Points) {
  Scope s(this, "Polygon", Points);
  TGraphCanvas3D::Polygon(Points);
}

void TRecordingCanvas::RotateLabel(int X, int Y, const std::string& Text, double Angle) {
  Scope s(this, "RotateLabel", X, Y, Text, Angle);
  TGraphCanvas3D::RotateLabel(X, Y, Text, Angle);
}

void TRecordingCanvas::UnClipRectangle() {
  Scope s(this, "UnClipRectangle");
  TGraphCanvas3D::UnClipRectangle();
}

void TRecordingCanvas::SetPixel3D(int X, int Y, int Z, TColor Color) {
  Scope s(this, "SetPixel3D", X, Y, Z, Color);
  TGraphCanvas3D::SetPixel3D(X, Y, Z, Color);
}

void TRecordingCanvas::Projection(int MaxDepth, const TRect& ABounds, const TRect& ChartRect) {
  Scope s(this, "Projection", MaxDepth, ABounds, ChartRect);
  TGraphCanvas3D::Projection(MaxDepth, ABounds, ChartRect);
}

void TRecordingCanvas::Arrow3D(bool Filled, const TPoint& FromPoint, const TPoint& ToPoint, int HeadWidth,
                               int HeadHeight, int Z, double ArrowPercent) {
  Scope s(this, "Arrow3D", Filled, FromPoint, ToPoint, HeadWidth, HeadHeight, Z, ArrowPercent);
  TGraphCanvas3D::Arrow3D(Filled, FromPoint, ToPoint, HeadWidth, HeadHeight, Z, ArrowPercent);
}

void TRecordingCanvas::ClipCube(const TRect& Rect, int MinZ, int MaxZ) {
  Scope s(this, "ClipCube", Rect, MinZ, MaxZ);
  TGraphCanvas3D::ClipCube(Rect, MinZ, MaxZ);
}

void TRecordingCanvas::Cone(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1, bool DarkCover,
                            int ConePercent) {
  Scope s(this, "Cone", Vertical, Left, Top, Right, Bottom, Z0, Z1, DarkCover, ConePercent);
  TGraphCanvas3D::Cone(Vertical, Left, Top, Right, Bottom, Z0, Z1, DarkCover, ConePercent);
}

void TRecordingCanvas::Cube(int Left, int Right, int Top, int Bottom, int Z0, int Z1, bool DarkSides) {
  Scope s(this, "Cube", Left, Right, Top, Bottom, Z0, Z1, DarkSides);
  TGraphCanvas3D::Cube(Left, Right, Top, Bottom, Z0, Z1, DarkSides);
}

void TRecordingCanvas::Cylinder(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                                bool DarkCover) {
  Scope s(this, "Cylinder", Vertical, Left, Top, Right, Bottom, Z0, Z1, DarkCover);
  TGraphCanvas3D::Cylinder(Vertical, Left, Top, Right, Bottom, Z0, Z1, DarkCover);
}

void TRecordingCanvas::EllipseWithZ(int X1, int Y1, int X2, int Y2, int Z) {
  Scope s(this, "EllipseWithZ", X1, Y1, X2, Y2, Z);
  TGraphCanvas3D::EllipseWithZ(X1, Y1, X2, Y2, Z);
}

void TRecordingCanvas::HorizLine3D(int X0, int X1, int Y, int Z) {
  Scope s(this, "HorizLine3D", X0, X1, Y, Z);
  TGraphCanvas3D::HorizLine3D(X0, X1, Y, Z);
}

void TRecordingCanvas::VertLine3D(int X, int Y0, int Y1, int Z) {
  Scope s(this, "VertLine3D", X, Y0, Y1, Z);
  TGraphCanvas3D::VertLine3D(X, Y0, Y1, Z);
}

void TRecordingCanvas::ZLine3D(int X, int Y, int Z0, int Z1) {
  Scope s(this, "ZLine3D", X, Y, Z0, Z1);
  TGraphCanvas3D::ZLine3D(X, Y, Z0, Z1);
}

void TRecordingCanvas::LineWithZ(int X0, int Y0, int X1, int Y1, int Z) {
  Scope s(this, "LineWithZ", X0, Y0, X1, Y1, Z);
  TGraphCanvas3D::LineWithZ(X0, Y0, X1, Y1, Z);
}

void TRecordingCanvas::MoveTo3D(int X, int Y, int Z) {
  Scope s(this, "MoveTo3D", X, Y, Z);
  TGraphCanvas3D::MoveTo3D(X, Y, Z);
}

void TRecordingCanvas::LineTo3D(int X, int Y, int Z) {
  Scope s(this, "LineTo3D", X, Y, Z);
  TGraphCanvas3D::LineTo3D(X, Y, Z);
}

void TRecordingCanvas::Pie3D(int XC, int YC, int XRadius, int YRadius, int Z0, int Z1, double StartAngle,
                             double EndAngle, bool DarkSides, bool DrawSides, int DonutPercent,
                             TCustomGraphGradient* Gradient) {
  Scope s(this, "Pie3D", XC, YC, XRadius, YRadius, Z0, Z1, StartAngle, EndAngle, DarkSides, DrawSides, DonutPercent,
          Gradient);
  TGraphCanvas3D::Pie3D(XC, YC, XRadius, YRadius, Z0, Z1, StartAngle, EndAngle, DarkSides, DrawSides, DonutPercent,
                        Gradient);
}

void TRecordingCanvas::Plane3D(const TPoint& A, const TPoint& B, int Z0, int Z1) {
  Scope s(this, "Plane3D", A, B, Z0, Z1);
  TGraphCanvas3D::Plane3D(A, B, Z0, Z1);
}

void TRecordingCanvas::PlaneWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, const TPoint& P4, int Z) {
  Scope s(this, "PlaneWithZ", P1, P2, P3, P4, Z);
  TGraphCanvas3D::PlaneWithZ(P1, P2, P3, P4, Z);
}

void TRecordingCanvas::PlaneFour3D(TQuadPoints& Points, int Z0, int Z1) {
  Scope s(this, "PlaneFour3D", Points, Z0, Z1);
  TGraphCanvas3D::PlaneFour3D(Points, Z0, Z1);
}

void TRecordingCanvas::PolygonWithZ(std::span<const TPoint> Points, int Z) {
  Scope s(this, "PolygonWithZ", Points, Z);
  TGraphCanvas3D::PolygonWithZ(Points, Z);
}

void TRecordingCanvas::PolylineWithZ(std::span<const TPoint> Points, int Z) {
  Scope s(this, "PolylineWithZ", Points, Z);
  TGraphCanvas3D::PolylineWithZ(Points, Z);
}

void TRecordingCanvas::Pyramid(bool Vertical, int Left, int Top, int Right, int Bottom, int Z0, int Z1,
                               bool DarkSides) {
  Scope s(this, "Pyramid", Vertical, Left, Top, Right, Bottom, Z0, Z1, DarkSides);
  TGraphCanvas3D::Pyramid(Vertical, Left, Top, Right, Bottom, Z0, Z1, DarkSides);
}

void TRecordingCanvas::PyramidTrunc(const TRect& Rect, int StartZ, int EndZ, int TruncX, int TruncZ) {
  Scope s(this, "PyramidTrunc", Rect, StartZ, EndZ, TruncX, TruncZ);
  TGraphCanvas3D::PyramidTrunc(Rect, StartZ, EndZ, TruncX, TruncZ);
}

void TRecordingCanvas::RectangleWithZ(const TRect& Rect, int Z) {
  Scope s(this, "RectangleWithZ", Rect, Z);
  TGraphCanvas3D::RectangleWithZ(Rect, Z);
}

void TRecordingCanvas::RectangleAtY(int Left, int Y, int Right, int Z0, int Z1) {
  Scope s(this, "RectangleAtY", Left, Y, Right, Z0, Z1);
  TGraphCanvas3D::RectangleAtY(Left, Y, Right, Z0, Z1);
}

void TRecordingCanvas::RectangleAtX(int X, int Top, int Bottom, int Z0, int Z1) {
  Scope s(this, "RectangleAtX", X, Top, Bottom, Z0, Z1);
  TGraphCanvas3D::RectangleAtX(X, Top, Bottom, Z0, Z1);
}

void TRecordingCanvas::RotateLabel3D(int X, int Y, int Z, const std::string& Text, double Angle) {
  Scope s(this, "RotateLabel3D", X, Y, Z, Text, Angle);
  TGraphCanvas3D::RotateLabel3D(X, Y, Z, Text, Angle);
}

void TRecordingCanvas::Sphere(int X, int Y, int Z, double Radius) {
  Scope s(this, "Sphere", X, Y, Z, Radius);
  TGraphCanvas3D::Sphere(X, Y, Z, Radius);
}

void TRecordingCanvas::TextOut3D(int X, int Y, int Z, const std::string& Text) {
  Scope s(this, "TextOut3D", X, Y, Z, Text);
  TGraphCanvas3D::TextOut3D(X, Y, Z, Text);
}

void TRecordingCanvas::Triangle3D(const std::array<TPoint3D, 3>& Points, const std::array<TColor, 3>& Colors) {
  Scope s(this, "Triangle3D", Points, Colors);
  TGraphCanvas3D::Triangle3D(Points, Colors);
}

void TRecordingCanvas::TriangleWithZ(const TPoint& P1, const TPoint& P2, const TPoint& P3, int Z) {
  Scope s(this, "TriangleWithZ", P1, P2, P3, Z);
  TGraphCanvas3D::TriangleWithZ(P1, P2, P3, Z);
}

void TRecordingCanvas::PolygonFour() {
  Scope s(this, "PolygonFour");
  TGraphCanvas3D::PolygonFour();
}
