// Framed shapes: the boxes of titles, legends, marks, axis labels and walls. A shape carries a
// brush and a frame pen, a fill colour or gradient, a bevel, a shadow, round corners and a
// see-through percentage, and draws its frame on its chart panel's canvas.
#pragma once

#include <cstdint>
#include <memory>
#include <type_traits>

#include "chart/engine/chart_pens.h"
#include "chart/engine/graph_effects.h"
#include "platform/graphics.h"

class TCanvas3D;
class TGraphCanvas;
class TFiler;

// Bevel kinds of framed boxes and panels: the toolkit's TBevelCut.
extern const TEnumInfo BevelCutInfo;

enum TChartObjectShapeStyle { fosRectangle, fosRoundRectangle };
extern const TEnumInfo ChartObjectShapeStyleInfo;

// How owners draw a shape's text: plain, or through the HTML-subset walk.
enum TTextFormat { ttfNormal, ttfHtml };
extern const TEnumInfo TextFormatInfo;

// Corner ellipse size of round-rectangle shapes.
constexpr int ShapeRoundSize = 16;

// Draws a bevel of Kind inside Rect and shrinks Rect by Width: a raised or sunken frame, or with
// Radius > 0 a round rectangle in the bevel's top colour. bvNone draws nothing.
void DrawBevel(TGraphCanvas* Canvas, TBevelCut Kind, TRect& Rect, int Width, int Radius);

// What a shape needs of the chart panel it belongs to. The chart panel implements it: its
// Invalidate repaints (nothing while AutoRepaint is off), ShapeCanvas is the panel's drawing
// canvas, and the two setters store a value and invalidate only when it changed (the panel's own
// property setters of the same names behave so).
class IGraphShapeParent {
public:
  virtual TCanvas3D* ShapeCanvas() = 0;
  virtual void Invalidate() = 0;
  virtual void SetBooleanProperty(bool& Variable, bool Value);
  virtual void SetColorProperty(TColor& Variable, TColor Value);

protected:
  ~IGraphShapeParent() = default;
};

// ---------------------------------------------------------------------------------------------
// A sub-object with a brush and a pen that repaints its panel when they change.
class TGraphCustomShapeBrushPen : public TPersistent {
  VM_CLASS(TGraphCustomShapeBrushPen, TPersistent)
public:
  TGraphCustomShapeBrushPen() : TGraphCustomShapeBrushPen(TChartBrush::StaticClass()) {}
  ~TGraphCustomShapeBrushPen() override;

  void Assign(TPersistent* Source) override;

  virtual void SetParentChart(IGraphShapeParent* Value) { FParent = Value; }
  IGraphShapeParent* ParentChart() const { return FParent; }

  // The brush class to create. Constructors do not dispatch virtually in C++: a descendant that
  // answers another class passes the same class to the protected constructor.
  virtual TChartBrushClass GetBrushClass() const { return TChartBrush::StaticClass(); }

  TChartBrush* Brush() const { return FBrush.get(); }
  void SetBrush(TChartBrush* Value) { FBrush->Assign(Value); }
  // Published by descendants as "Frame" or "Pen".
  TChartPen* Pen() const { return FPen.get(); }
  void SetPen(TChartPen* Value) { FPen->Assign(Value); }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

  void Hide() { SetVisible(false); }
  // Asks the panel to repaint, when there is one.
  void Repaint();
  // The change handler of the owned sub-objects.
  void SettingChanged(TObject* Sender);

protected:
  explicit TGraphCustomShapeBrushPen(TChartBrushClass BrushClass);
  TNotifyEvent ChangeHandler() {
    return [this](TObject* Sender) { SettingChanged(Sender); };
  }

private:
  IGraphShapeParent* FParent = nullptr;
  std::unique_ptr<TChartBrush> FBrush;
  std::unique_ptr<TChartPen> FPen;
  bool FVisible = true;
};

// ---------------------------------------------------------------------------------------------
class TGraphCustomShape;

// Class references of shapes: a virtual constructor taking the panel.
class TGraphShapeMetaClass : public TMetaClass {
public:
  using TMetaClass::TMetaClass;
  virtual TGraphCustomShape* Create(IGraphShapeParent* Parent) const = 0;
};
template <class T>
class TGraphShapeMeta : public TObjectMetaImpl<T, TGraphShapeMetaClass> {
public:
  using TObjectMetaImpl<T, TGraphShapeMetaClass>::TObjectMetaImpl;
  TGraphCustomShape* Create(IGraphShapeParent* Parent) const override {
    if constexpr (std::is_abstract_v<T> || !std::is_constructible_v<T, IGraphShapeParent*>)
      return nullptr;
    else
      return new T(Parent);
  }
};
using TGraphShapeClass = const TGraphShapeMetaClass*;

// The framed box.
class TGraphCustomShape : public TGraphCustomShapeBrushPen {
  VM_CLASS_FAMILY(TGraphCustomShape, TGraphCustomShapeBrushPen, TGraphShapeMetaClass, TGraphShapeMeta)
public:
  explicit TGraphCustomShape(IGraphShapeParent* Parent = nullptr)
      : TGraphCustomShape(Parent, TChartBrush::StaticClass()) {}
  ~TGraphCustomShape() override;

  // Copies every setting, removing this shape's gradient or shadow when Source has none.
  void Assign(TPersistent* Source) override;
  // Reads "ShadowColor" and "ShadowSize" of older streams (never written).
  void DefineProperties(TFiler* Filer) override;

  // The gradient class, used when the gradient is first read.
  virtual TGradientClass GetGradientClass() const { return TGraphGradient::StaticClass(); }
  // Sets the shadow's colour and sizes and their stored defaults (black, 3). The constructor
  // runs this class's version; a descendant that overrides it calls it from its own constructor.
  virtual void InitShadow(TGraphShadow* AShadow);

  // The frame, fill, shadow and bevel in BoxRect.
  void Draw() { DrawRectRotated(BoxRect, 0, 0); }
  // The same in Rect, turned by Angle whole degrees about its centre, at depth Z.
  void DrawRectRotated(const TRect& Rect, int Angle = 0, int Z = 0);

  TBevelCut Bevel() const { return FBevel; }
  void SetBevel(TBevelCut Value);
  int32_t BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int32_t Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TGraphFont* Font() const { return FFont.get(); }
  void SetFont(TGraphFont* Value) { FFont->Assign(Value); }
  // Created on first read.
  TGraphGradient* Gradient();
  TGraphGradient* GradientOrNull() const { return FGradient.get(); }
  // nullptr frees the gradient; anything else is copied in.
  void SetGradient(TGraphGradient* Value);
  // nullptr once removed.
  TGraphShadow* Shadow() const { return FShadow.get(); }
  // nullptr removes the shadow; anything else is copied in (a shadow is made when there is none).
  void SetShadow(TGraphShadow* Value);
  TChartObjectShapeStyle ShapeStyle() const { return FShapeStyle; }
  void SetShapeStyle(TChartObjectShapeStyle Value);
  TTextFormat TextFormat() const { return FTextFormat; }
  void SetTextFormat(TTextFormat Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  // 0..100; values outside are brought into range.
  TGraphTransparency Transparency() const { return FTransparency; }
  void SetTransparency(TGraphTransparency Value);

  // The box in pixels, set by the owner before drawing; Width and Height count both edges.
  TRect BoxRect;
  TRect& ShapeBounds() { return BoxRect; }
  int32_t Width() const { return BoxRect.Right - BoxRect.Left + 1; }
  void SetWidth(int32_t Value) { BoxRect.Right = BoxRect.Left + Value - 1; }
  int32_t Height() const { return BoxRect.Bottom - BoxRect.Top + 1; }
  void SetHeight(int32_t Value) { BoxRect.Bottom = BoxRect.Top + Value - 1; }

  // Descendants set it (and Transparent) in their constructors; Transparent is streamed only
  // when it differs.
  bool DefaultTransparent = false;
  bool IsTransparentStored() const { return FTransparent != DefaultTransparent; }

protected:
  TGraphCustomShape(IGraphShapeParent* Parent, TChartBrushClass BrushClass);

private:
  TGraphShadow* NewShadow();
  void DrawOutline(TCanvas3D* Canvas, const TRect& Rect, int Angle, int Z);

  TBevelCut FBevel = bvNone;
  int32_t FBevelWidth = 2;
  TColor FColor = clWhite;
  std::unique_ptr<TGraphFont> FFont;
  std::unique_ptr<TGraphGradient> FGradient;
  std::unique_ptr<TGraphShadow> FShadow;
  TChartObjectShapeStyle FShapeStyle = fosRectangle;
  TTextFormat FTextFormat = ttfNormal;
  bool FTransparent = false;
  TGraphTransparency FTransparency = 0;
};

// The shape with its common settings published.
class TGraphShape : public TGraphCustomShape {
  VM_CLASS(TGraphShape, TGraphCustomShape)
public:
  using TGraphCustomShape::TGraphCustomShape;
};

// The corners (Left, Top), (Right, Top), (Right, Bottom), (Left, Bottom) of Rect turned by Angle
// degrees about its centre, rounded to the nearest pixel.
TQuadPoints RotatedRectCorners(const TRect& Rect, int Angle);
