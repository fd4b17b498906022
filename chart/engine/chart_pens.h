// Settings objects owned by chart elements: pens, brushes and the panel's 3D view options.
#pragma once

#include <cstdint>
#include <memory>
#include <functional>

#include "platform/graphics.h"

class TControl;
class TPicture;

enum TPenEndStyle { esRound, esSquare, esFlat };
extern const TEnumInfo PenEndStyleInfo;

// A toolkit pen with line caps, small dots and a visibility switch.
class TChartPen : public TPen {
  VM_CLASS(TChartPen, TPen)
public:
  explicit TChartPen(const TNotifyEvent& OnChangeEvent = nullptr);

  void Assign(TPersistent* Source) override;
  void Hide() { SetVisible(false); }
  void Show() { SetVisible(true); }

  TPenEndStyle EndStyle() const { return FEndStyle; }
  void SetEndStyle(TPenEndStyle Value);
  bool SmallDots() const { return FSmallDots; }
  void SetSmallDots(bool Value);
  int32_t SmallSpace() const { return FSmallSpace; }
  void SetSmallSpace(int32_t Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);

  // Stored defaults that decide streaming; owners may change them right after creating the pen.
  bool DefaultVisible = true;
  TPenEndStyle DefaultEndStyle = esRound;

private:
  TPenEndStyle FEndStyle = esRound;
  bool FSmallDots = false;
  int32_t FSmallSpace = 0;
  bool FVisible = true;
};

class TChartHiddenPen : public TChartPen {
  VM_CLASS(TChartHiddenPen, TChartPen)
public:
  explicit TChartHiddenPen(const TNotifyEvent& OnChangeEvent = nullptr);
};

class TDottedGrayPen : public TChartPen {
  VM_CLASS(TDottedGrayPen, TChartPen)
public:
  explicit TDottedGrayPen(const TNotifyEvent& OnChangeEvent = nullptr);
};

class TDarkGrayPen : public TChartPen {
  VM_CLASS(TDarkGrayPen, TChartPen)
public:
  explicit TDarkGrayPen(const TNotifyEvent& OnChangeEvent = nullptr);
};

class TWhitePen : public TChartPen {
  VM_CLASS(TWhitePen, TChartPen)
public:
  explicit TWhitePen(const TNotifyEvent& OnChangeEvent = nullptr);
};

// ---------------------------------------------------------------------------------------------
class TChartBrush;

// Class references of brushes: a virtual constructor taking the change notification.
class TChartBrushMetaClass : public TMetaClass {
public:
  using TMetaClass::TMetaClass;
  virtual TChartBrush* Create(const TNotifyEvent& OnChange) const = 0;
};
template <class T>
class TChartBrushMeta : public TObjectMetaImpl<T, TChartBrushMetaClass> {
public:
  using TObjectMetaImpl<T, TChartBrushMetaClass>::TObjectMetaImpl;
  TChartBrush* Create(const TNotifyEvent& OnChange) const override { return new T(OnChange); }
};
using TChartBrushClass = const TChartBrushMetaClass*;

// A toolkit brush whose colour defaults to clDefault and that may paint with a picture.
class TChartBrush : public TBrush {
  VM_CLASS_FAMILY(TChartBrush, TBrush, TChartBrushMetaClass, TChartBrushMeta)
public:
  explicit TChartBrush(const TNotifyEvent& OnChangeEvent = nullptr);
  ~TChartBrush() override;

  void Assign(TPersistent* Source) override;

  // Created on first read.
  TPicture* Image();
  TPicture* GetImage() { return Image(); }
  // nullptr frees the picture; any other picture is copied in.
  void SetImage(TPicture* Value);
  // The picture when one was created, without creating it.
  TPicture* ImageOrNull() const { return FImage.get(); }
  // True when the brush holds a picture with a graphic in it.
  bool HasImageGraphic() const;

private:
  void ImageChanged(TObject* Sender);
  std::unique_ptr<TPicture> FImage;
};

// ---------------------------------------------------------------------------------------------
using TView3DScrolledEvent = std::function<void(bool IsHoriz)>;
using TView3DZoomedEvent = std::function<void(int32_t NewZoom)>;

// How a chart panel is seen in 3D.
class TView3DOptions : public TPersistent {
  VM_CLASS(TView3DOptions, TPersistent)
public:
  explicit TView3DOptions(TControl* Panel = nullptr);

  void Assign(TPersistent* Source) override;
  // Screen offset per depth pixel in the orthogonal view (1 when not orthogonal).
  double CalcOrthoRatio() const;

  int32_t Elevation() const { return FElevation; }
  void SetElevation(int32_t Value);
  int32_t FontZoom() const { return FFontZoom; }
  void SetFontZoom(int32_t Value);
  int32_t HorizOffset() const { return FHorizOffset; }
  void SetHorizOffset(int32_t Value);
  int32_t OrthoAngle() const { return FOrthoAngle; }
  void SetOrthoAngle(int32_t Value);
  bool Orthogonal() const { return FOrthogonal; }
  void SetOrthogonal(bool Value);
  int32_t Perspective() const { return FPerspective; }
  void SetPerspective(int32_t Value);
  int32_t Rotation() const { return FRotation; }
  void SetRotation(int32_t Value);
  int32_t Tilt() const { return FTilt; }
  void SetTilt(int32_t Value);
  int32_t VertOffset() const { return FVertOffset; }
  void SetVertOffset(int32_t Value);
  int32_t Zoom() const { return FZoom; }
  void SetZoom(int32_t Value);
  bool ZoomText() const { return FZoomText; }
  void SetZoomText(bool Value);

  TControl* Parent() const { return FParent; }

  TView3DScrolledEvent OnScrolled;
  TView3DZoomedEvent OnZoomed;

private:
  void Repaint();

  TControl* FParent;
  int32_t FElevation = 345;
  int32_t FFontZoom = 100;
  int32_t FHorizOffset = 0;
  int32_t FOrthoAngle = 45;
  bool FOrthogonal = true;
  int32_t FPerspective = 15;
  int32_t FRotation = 345;
  int32_t FTilt = 0;
  int32_t FVertOffset = 0;
  int32_t FZoom = 100;
  bool FZoomText = true;
};

// The small-dots pen in Color: every other pixel with Spacing <= 0, else one round pixel and a
// gap of Spacing + 1 pixels. The caller owns it.
std::unique_ptr<TPen> CreateDottedPen(TColor Color, int32_t Spacing);
