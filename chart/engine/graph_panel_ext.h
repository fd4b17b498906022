// The chart panel with the settings every interactive chart needs: zoom rubber band, scroll
// mode, back image, back gradient, and the drawing of the panel background.
#pragma once

#include <cstdint>
#include <memory>

#include "chart/engine/graph_panel.h"
#include "platform/picture.h"

enum TGraphZoomDirection { tzdHorizontal, tzdVertical, tzdBoth };
extern const TEnumInfo GraphZoomDirectionInfo;

enum TPanningMode { pmNone, pmHorizontal, pmVertical, pmBoth };
extern const TEnumInfo PanningModeInfo;

enum TGraphBackImageMode { pbmStretch, pbmTile, pbmCenter, pbmCustom };
extern const TEnumInfo GraphBackImageModeInfo;

// The fill of the zoom band: white, clear.
class TGraphZoomBrush : public TChartBrush {
  VM_CLASS(TGraphZoomBrush, TChartBrush)
public:
  explicit TGraphZoomBrush(const TNotifyEvent& OnChangeEvent = nullptr);
};

// The frame of the zoom band: white.
class TGraphZoomPen : public TChartPen {
  VM_CLASS(TGraphZoomPen, TChartPen)
public:
  explicit TGraphZoomPen(const TNotifyEvent& OnChangeEvent = nullptr);
};

// The zoom settings and the rubber band of a zoom drag.
class TGraphZoom : public TZoomPanning {
  VM_CLASS(TGraphZoom, TZoomPanning)
public:
  TGraphZoom();
  ~TGraphZoom() override;

  // MinimumPixels and UpLeftZooms are not copied.
  void Assign(TPersistent* Source) override;

  bool Allow() const { return FAllow; }
  void SetAllow(bool Value) { FAllow = Value; }
  bool Animated() const { return FAnimated; }
  void SetAnimated(bool Value) { FAnimated = Value; }
  int32_t AnimatedSteps() const { return FAnimatedSteps; }
  void SetAnimatedSteps(int32_t Value) { FAnimatedSteps = Value; }
  // Created on first read; nullptr frees it.
  TGraphZoomBrush* Brush();
  void SetBrush(TGraphZoomBrush* Value);
  TGraphZoomBrush* BrushOrNull() const { return FBrush.get(); }
  TGraphZoomDirection Direction() const { return FDirection; }
  void SetDirection(TGraphZoomDirection Value) { FDirection = Value; }
  TShiftState KeyShift() const { return FKeyShift; }
  void SetKeyShift(TShiftState Value) { FKeyShift = Value; }
  int32_t MinimumPixels() const { return FMinimumPixels; }
  void SetMinimumPixels(int32_t Value) { FMinimumPixels = Value; }
  TMouseButton MouseButton() const { return FMouseButton; }
  void SetMouseButton(TMouseButton Value) { FMouseButton = Value; }
  // Created on first read; nullptr frees it.
  TGraphZoomPen* Pen();
  void SetPen(TGraphZoomPen* Value);
  TGraphZoomPen* PenOrNull() const { return FPen.get(); }
  bool UpLeftZooms() const { return FUpLeftZooms; }
  void SetUpLeftZooms(bool Value) { FUpLeftZooms = Value; }

private:
  bool FAllow = true;
  bool FAnimated = false;
  int32_t FAnimatedSteps = 8;
  TGraphZoomDirection FDirection = tzdBoth;
  TShiftState FKeyShift;
  int32_t FMinimumPixels = 16;
  TMouseButton FMouseButton = mbLeft;
  bool FUpLeftZooms = false;
  std::unique_ptr<TGraphZoomBrush> FBrush;
  std::unique_ptr<TGraphZoomPen> FPen;
};

// A picture drawn behind the chart, stretched, tiled, centred or at an offset.
class TBackImage : public TPicture {
  VM_CLASS(TBackImage, TPicture)
public:
  TBackImage() = default;

  void Assign(TPersistent* Source) override;

  bool Inside() const { return FInside; }
  void SetInside(bool Value);
  int32_t Left() const { return FLeft; }
  void SetLeft(int32_t Value);
  int32_t Top() const { return FTop; }
  void SetTop(int32_t Value);
  TGraphBackImageMode Mode() const { return FMode; }
  void SetMode(TGraphBackImageMode Value);

private:
  bool FInside = false;
  int32_t FLeft = 0;
  int32_t FTop = 0;
  TGraphBackImageMode FMode = pbmStretch;
};

class TCustomGraphPanelExtended : public TCustomGraphPanel {
  VM_CLASS(TCustomGraphPanelExtended, TCustomGraphPanel)
public:
  explicit TCustomGraphPanelExtended(TComponent* AOwner);
  ~TCustomGraphPanelExtended() override;

  void Assign(TPersistent* Source) override;
  void DefineProperties(TFiler* Filer) override;

  virtual void FillBackground(const TRect& Rect);
  virtual void DrawPanelBackground(const TRect& Rect);
  void DrawBackImage(const TRect& Rect, int Z);
  bool HasBackImage() const;
  // Not-xor drawing: a second call at the same corners erases the band.
  void DrawZoomRectangle();
  virtual void UndoZoom();
  void* GetPalette();

  TPanningMode AllowPanning() const { return FAllowPanning; }
  void SetAllowPanning(TPanningMode Value) { FAllowPanning = Value; }
  // Created on first read; nullptr frees it.
  TBackImage* BackImage();
  void SetBackImage(TBackImage* Value);
  TBackImage* BackImageOrNull() const { return FBackImage.get(); }
  // False without an image object (none is created).
  bool BackImageInside() const { return FBackImage && FBackImage->Inside(); }
  void SetBackImageInside(bool Value) { BackImage()->SetInside(Value); }
  TGraphBackImageMode BackImageMode() { return BackImage()->Mode(); }
  void SetBackImageMode(TGraphBackImageMode Value) { BackImage()->SetMode(Value); }
  // The Transparent flag of the back image's graphic; False and no effect without one.
  bool BackImageTransp() const;
  void SetBackImageTransp(bool Value);
  // Created on first read; nullptr frees it.
  TGraphGradient* Gradient();
  void SetGradient(TGraphGradient* Value);
  TGraphGradient* GradientOrNull() const { return FGradient.get(); }
  TGraphZoom* Zoom() const { return FZoom.get(); }
  void SetZoom(TGraphZoom* Value) { FZoom->Assign(Value); }

  TNotifyEvent OnAfterDraw;
  TNotifyEvent OnScroll;
  TNotifyEvent OnZoom;
  TNotifyEvent OnUndoZoom;

  bool Zoomed = false;

private:
  TPanningMode FAllowPanning = pmBoth;
  std::unique_ptr<TGraphZoom> FZoom;
  std::unique_ptr<TGraphGradient> FGradient;
  std::unique_ptr<TBackImage> FBackImage;
};
