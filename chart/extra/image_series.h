// Series drawn with pictures: bars filled with a picture (stretched or tiled), points drawn as a
// picture, and delta points whose picture tells whether a value rose, fell or stayed.
#pragma once

#include <functional>
#include <memory>

#include "chart/series/bar_series.h"
#include "chart/series/line_series.h"
#include "platform/picture.h"

class TImageBarSeries : public TBarSeries {
  VM_CLASS(TImageBarSeries, TBarSeries)
public:
  explicit TImageBarSeries(TComponent* AOwner);
  ~TImageBarSeries() override;
  TPicture* Image() const { return FImage.get(); }
  void SetImage(TPicture* V) { FImage->Assign(V); }
  bool ImageTiled() const { return FImageTiled; }
  void SetImageTiled(bool V) { SetBooleanProperty(FImageTiled, V); }
  void DrawBar(int32_t ValueIndex, int StartPos, int EndPos) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TImageBarSeriesEditor"; }

private:
  void DrawTiled(const TRect& R, bool Downward);
  std::unique_ptr<TPicture> FImage;
  bool FImageTiled = false;
};

class TCustomImagePointSeries;
using TGetImageEvent = std::function<void(TCustomImagePointSeries* Sender, int ValueIndex, TPicture* Picture)>;

class TCustomImagePointSeries : public TPointSeries {
  VM_CLASS(TCustomImagePointSeries, TPointSeries)
public:
  explicit TCustomImagePointSeries(TComponent* AOwner);
  ~TCustomImagePointSeries() override;
  TPicture* ImagePoint() const { return FImagePoint.get(); }
  virtual void SetImagePoint(TPicture* V) { FImagePoint->Assign(V); }
  bool ImageTransparent() const { return FImageTransparent; }
  void SetImageTransparent(bool V) { SetBooleanProperty(FImageTransparent, V); }
  void DrawOneValue(int32_t ValueIndex) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  void Assign(TPersistent* Source) override;

  TGetImageEvent OnGetImage;

protected:
  std::unique_ptr<TPicture> FImagePoint;
  bool FImageTransparent = false;
  bool FDrawing = false;  // pictures set while drawing do not repaint
};

class TImagePointSeries : public TCustomImagePointSeries {
  VM_CLASS(TImagePointSeries, TCustomImagePointSeries)
public:
  explicit TImagePointSeries(TComponent* AOwner);
  static TImagePointSeries* CreateWithImage(TComponent* AOwner, TPicture* Picture);
  void SetImagePoint(TPicture* V) override;
};

enum TDeltaImageStyle { disSmiles, disHands };
extern const TEnumInfo DeltaImageStyleInfo;

class TDeltaPointSeries : public TCustomImagePointSeries {
  VM_CLASS(TDeltaPointSeries, TCustomImagePointSeries)
public:
  explicit TDeltaPointSeries(TComponent* AOwner);
  ~TDeltaPointSeries() override;
  TPicture* EqualImage() const { return FEqual.get(); }
  void SetEqualImage(TPicture* V) { FEqual->Assign(V); }
  TPicture* GreaterImage() const { return FGreater.get(); }
  void SetGreaterImage(TPicture* V) { FGreater->Assign(V); }
  TPicture* LowerImage() const { return FLower.get(); }
  void SetLowerImage(TPicture* V) { FLower->Assign(V); }
  TDeltaImageStyle ImageStyle() const { return FImageStyle; }
  void SetImageStyle(TDeltaImageStyle V);
  // The picture point I shows: equal for the first point, else by its value against the one before.
  TPicture* PictureFor(int32_t ValueIndex) const;
  void DrawOneValue(int32_t ValueIndex) override;

private:
  std::unique_ptr<TPicture> FEqual, FGreater, FLower;
  TDeltaImageStyle FImageStyle = disSmiles;
};

// The program's pictures the image series start with, made once (named "GraphMoney",
// "GraphDefaultImage", "GraphEqualSmile" ... "GraphLowerHand").
void RegisterImageSeriesBitmaps();

void RegisterImageSeries();
void UnregisterImageSeries();
