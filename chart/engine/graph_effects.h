// Decorations of chart shapes and texts: drop shadows, gradients and the chart font.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "chart/engine/chart_geometry.h"
#include "chart/engine/chart_pens.h"
#include "platform/graphics.h"

class TGraphCanvas;
class TCanvas3D;
class TGraphBlend;

// The chart default font, set when the canvas module starts.
extern std::string DefaultFontName;
extern int32_t DefaultFontSize;

using TGraphTransparency = int32_t;  // 0..100

// A drop shadow of a rectangle or ellipse, optionally soft and see-through.
class TGraphShadow : public TPersistent {
  VM_CLASS(TGraphShadow, TPersistent)
public:
  explicit TGraphShadow(const TNotifyEvent& OnChangeEvent = nullptr);
  ~TGraphShadow() override;

  void Assign(TPersistent* Source) override;

  // Selects the shadow's brush and clear pen and opens a blending section when see-through;
  // False when there is nothing to draw.
  bool PrepareCanvas(TCanvas3D* Canvas, const TRect& Rect, int Z = 0);
  // Closes the blending section of PrepareCanvas.
  void EndBlending(TCanvas3D* Canvas);
  // The shadow of a rectangle, flat or at depth Z.
  void Draw(TCanvas3D* Canvas, const TRect& Rect) { DrawZ(Canvas, Rect, 0); }
  void DrawZ(TCanvas3D* Canvas, const TRect& Rect, int Z);
  // The shadow of the ellipse in Rect.
  void DrawEllipse(TCanvas3D* Canvas, const TRect& Rect, int Z = 0);

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  int32_t HorizSize() const { return FHorizSize; }
  void SetHorizSize(int32_t Value);
  int32_t VertSize() const { return FVertSize; }
  void SetVertSize(int32_t Value);
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool Value);
  TGraphTransparency Transparency() const { return FTransparency; }
  void SetTransparency(TGraphTransparency Value);
  // The larger of the two sizes; writing sets both.
  int32_t Size() const { return FHorizSize > FVertSize ? FHorizSize : FVertSize; }
  int32_t GetSize() const { return Size(); }
  void SetSize(int32_t Value);

  TColor DefaultColor = clSilver;
  int32_t DefaultSize = 0;
  TNotifyEvent OnChange;

private:
  void Changed();

  TColor FColor = clSilver;
  int32_t FHorizSize = 0;
  int32_t FVertSize = 0;
  bool FSmooth = true;
  TGraphTransparency FTransparency = 0;
  std::unique_ptr<TGraphBlend> FBlend;
};

enum TGradientDirection {
  gdTopBottom,
  gdBottomTop,
  gdLeftRight,
  gdRightLeft,
  gdFromCenter,
  gdFromTopLeft,
  gdFromBottomLeft,
  gdRadial,
  gdDiagonalUp,
  gdDiagonalDown
};
extern const TEnumInfo GradientDirectionInfo;

class TCustomGraphGradient;

// Class references of gradients: a virtual constructor taking the change notification.
class TGradientMetaClass : public TMetaClass {
public:
  using TMetaClass::TMetaClass;
  virtual TCustomGraphGradient* Create(const TNotifyEvent& OnChange) const = 0;
};
template <class T>
class TGradientMeta : public TObjectMetaImpl<T, TGradientMetaClass> {
public:
  using TObjectMetaImpl<T, TGradientMetaClass>::TObjectMetaImpl;
  TCustomGraphGradient* Create(const TNotifyEvent& OnChange) const override {
    if constexpr (std::is_abstract_v<T>)
      return nullptr;
    else
      return new T(OnChange);
  }
};
using TGradientClass = const TGradientMetaClass*;

// A two- or three-colour fill in one of ten directions.
class TCustomGraphGradient : public TPersistent {
  VM_CLASS_FAMILY(TCustomGraphGradient, TPersistent, TGradientMetaClass, TGradientMeta)
public:
  explicit TCustomGraphGradient(const TNotifyEvent& OnChangeEvent = nullptr);

  void Assign(TPersistent* Source) override;
  void Draw(TGraphCanvas* Canvas, const TRect& Rect, int RoundSize = 0);
  void DrawRadial(TGraphCanvas* Canvas, const TRect& Rect);
  // Fills a polygon: projected at depth Z, or as given (the clip converts the points in place).
  void DrawPolygon(TCanvas3D* Canvas, TPointArray& Points, bool Project, int Z = 0);
  void DrawQuad(TCanvas3D* Canvas, TQuadPoints Quad);
  void DrawRect3D(TCanvas3D* Canvas, const TQuadPoints& Quad, int Z);

  int32_t Balance() const { return FBalance; }
  void SetBalance(int32_t Value);
  TGradientDirection Direction() const { return FDirection; }
  void SetDirection(TGradientDirection Value);
  TColor StartColor() const { return FStartColor; }
  void SetStartColor(TColor Value);
  TColor EndColor() const { return FEndColor; }
  void SetEndColor(TColor Value);
  // clNone unless a middle colour is in use.
  TColor MidColor() const { return FUseMid ? FMidColor : clNone; }
  void SetMidColor(TColor Value);
  void UseMidColor();
  bool UsesMidColor() const { return FUseMid; }
  int32_t RadialX() const { return FRadialX; }
  void SetRadialX(int32_t Value);
  int32_t RadialY() const { return FRadialY; }
  void SetRadialY(int32_t Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

  TNotifyEvent OnChange;

protected:
  void Changed();

private:
  void RadialFill(TGraphCanvas* Canvas, const TRect& Rect);

  int32_t FBalance = 50;
  TGradientDirection FDirection = gdTopBottom;
  TColor FStartColor = clWhite;
  TColor FEndColor = clYellow;
  TColor FMidColor = clNone;
  bool FUseMid = false;
  int32_t FRadialX = 0;
  int32_t FRadialY = 0;
  bool FVisible = false;
};

class TGraphGradient : public TCustomGraphGradient {
  VM_CLASS(TGraphGradient, TCustomGraphGradient)
public:
  using TCustomGraphGradient::TCustomGraphGradient;
};

// The gradient of a font; Outline fills only the widened outline of the text.
class TGraphFontGradient : public TGraphGradient {
  VM_CLASS(TGraphFontGradient, TGraphGradient)
public:
  using TGraphGradient::TGraphGradient;
  bool Outline() const { return FOutline; }
  void SetOutline(bool Value);

private:
  bool FOutline = false;
};

// ((i + 1) / (N + 1)) ^ (0.5 + 0.015 * Balance).
double BalanceCurve(int I, int N, int Balance);

// A toolkit font with extra spacing, an outline pen, a shadow and a gradient.
class TGraphFont : public TFont {
  VM_CLASS(TGraphFont, TFont)
public:
  explicit TGraphFont(const TNotifyEvent& OnChangeEvent = nullptr);
  ~TGraphFont() override;

  void Assign(TPersistent* Source) override;

  int32_t InterCharSize() const { return FInterCharSize; }
  void SetInterCharSize(int32_t Value);

  // Created on first read; writing nullptr frees, anything else is copied in.
  TChartHiddenPen* OutLine();
  void SetOutLine(TChartHiddenPen* Value);
  TGraphShadow* Shadow();
  void SetShadow(TGraphShadow* Value);
  TGraphFontGradient* Gradient();
  void SetGradient(TGraphFontGradient* Value);

  // The sub-objects when they exist, without creating them.
  TChartHiddenPen* OutLineOrNull() const { return FOutLine.get(); }
  TGraphShadow* ShadowOrNull() const { return FShadow.get(); }
  TGraphFontGradient* GradientOrNull() const { return FGradient.get(); }

  TColor DefaultColor = clBlack;
  TFontStyles DefaultStyle;

private:
  void SubChanged(TObject* Sender);

  int32_t FInterCharSize = 0;
  std::unique_ptr<TChartHiddenPen> FOutLine;
  std::unique_ptr<TGraphShadow> FShadow;
  std::unique_ptr<TGraphFontGradient> FGradient;
};
