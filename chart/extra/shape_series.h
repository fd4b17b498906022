// The shape series: one figure (rectangle, ellipse, line, triangle, diamond, cube, cross, star,
// pyramid ...) between its two points, with text lines inside, placed in axis units or pixels.
#pragma once

#include <memory>
#include <string>

#include "chart/engine/graph_effects.h"
#include "chart/engine/series_base.h"
#include "platform/strings.h"
#include "platform/types.h"

enum TChartShapeStyle {
  chasRectangle,
  chasCircle,
  chasVertLine,
  chasHorizLine,
  chasTriangle,
  chasInvertTriangle,
  chasLine,
  chasDiamond,
  chasCube,
  chasCross,
  chasDiagCross,
  chasStar,
  chasPyramid,
  chasInvertPyramid
};
enum TChartShapeXYStyle { xysPixels, xysAxis, xysAxisOrigin };
enum TGraphVertAlign { vaTop, vaCenter, vaBottom };
extern const TEnumInfo ChartShapeStyleInfo;
extern const TEnumInfo ChartShapeXYStyleInfo;
extern const TEnumInfo GraphVertAlignInfo;

class TChartShape : public TChartSeries {
  VM_CLASS(TChartShape, TChartSeries)
public:
  explicit TChartShape(TComponent* AOwner);
  ~TChartShape() override;

  TChartShapeStyle Style() const { return FStyle; }
  void SetStyle(TChartShapeStyle Value);
  TChartShapeXYStyle XYStyle() const { return FXYStyle; }
  void SetXYStyle(TChartShapeXYStyle Value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TGraphVertAlign VertAlign() const { return FVertAlign; }
  void SetVertAlign(TGraphVertAlign Value);
  TStrings* Text() const { return FText.get(); }
  virtual void SetText(TStrings* Value);
  TGraphFont* Font() const { return FFont.get(); }
  void SetFont(TGraphFont* Value) { FFont->Assign(Value); }
  TGraphGradient* Gradient() const { return FGradient.get(); }
  void SetGradient(TGraphGradient* Value) { FGradient->Assign(Value); }
  bool RoundRectangle() const { return FRoundRectangle; }
  void SetRoundRectangle(bool Value) { SetBooleanProperty(FRoundRectangle, Value); }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { SetBooleanProperty(FTransparent, Value); }

  // The corners: the first and second point. Without those points: ERangeError.
  double X0() const { return Corner(0, true); }
  void SetX0(double V) { SetCorner(0, true, V); }
  double Y0() const { return Corner(0, false); }
  void SetY0(double V) { SetCorner(0, false, V); }
  double X1() const { return Corner(1, true); }
  void SetX1(double V) { SetCorner(1, true, V); }
  double Y1() const { return Corner(1, false); }
  void SetY1(double V) { SetCorner(1, false, V); }

  // The shape's rectangle as its corners give it (not ordered).
  virtual void GetShapeRectangle(TRect& Rect);
  // Ordered and at least one pixel wide and high.
  TRect DrawingRect();

  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TChartShapeEditor"; }
  void AssignZOrder() override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) override;
  void DrawOneValue(int32_t ValueIndex) override;
  bool SharesZOrder() override { return false; }
  void SetSeriesColor(TColor Value) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  bool UsesAxes() override { return FXYStyle != xysPixels; }
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  bool AcceptsSourceSeries(TChartSeries* Source) override;

private:
  double Corner(int Index, bool X) const;
  void SetCorner(int Index, bool X, double Value);
  void DrawShape(bool Is3D, const TRect& R, const TRect& Unordered);
  void DrawText(bool Is3D, const TRect& R);
  void GradientStep(bool Is3D, const TRect& R, bool Circle);

  TChartShapeStyle FStyle = chasCircle;
  TChartShapeXYStyle FXYStyle = xysAxis;
  TAlignment FAlignment = taCenter;
  TGraphVertAlign FVertAlign = vaCenter;
  std::unique_ptr<TStringList> FText;
  std::unique_ptr<TGraphFont> FFont;
  std::unique_ptr<TGraphGradient> FGradient;
  bool FRoundRectangle = false;
  bool FTransparent = false;
};

void RegisterShapeSeries();
void UnregisterShapeSeries();
