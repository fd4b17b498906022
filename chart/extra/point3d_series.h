// Points with X, Y and Z drawn as series pointers at the depth of their Z (optionally joined by a
// line and dropped to the floor by a base line), and bubbles whose size follows a radius.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "chart/engine/series_pointer.h"
#include "chart/extra/grid_series.h"

class TPoint3DSeries;

using TOnGetPointerStyle = std::function<TSeriesPointerStyle(TChartSeries* Sender, int32_t ValueIndex)>;
using TSeriesClickPointer3DEvent = std::function<void(TPoint3DSeries* Sender, int32_t ValueIndex, int X, int Y)>;

class TPoint3DSeries : public TCustom3DSeries {
  VM_CLASS(TPoint3DSeries, TCustom3DSeries)
public:
  explicit TPoint3DSeries(TComponent* AOwner);
  ~TPoint3DSeries() override;

  virtual void CalcZPositions(int32_t ValueIndex);
  virtual int32_t DepthHalfSize(int32_t ValueIndex);
  virtual bool ListsPointerStyles() { return true; }
  // The half sizes of point Index's pointer in pixels (the hit test's box).
  virtual void PointerHalfSizes(int32_t Index, int32_t& Horiz, int32_t& Vert);

  void DrawOneValue(int32_t ValueIndex) override;
  void FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) override;
  void DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) override;
  void GetVerticalMargins(int32_t& TopMargin, int32_t& BottomMargin) override;
  double HighestZ() override;
  void Assign(TPersistent* Source) override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  void ListStyleVariants(const TAddStyleProc& AddStyle) override;
  void ApplyStyleVariant(TChartSeries* Target, int Index) override;
  static void ClassEditorName(std::string& Name) { Name = "TPoint3DSeriesEditor"; }

  TSeriesPointer* Pointer() const { return FPointer.get(); }
  void SetPointer(TSeriesPointer* Value) { FPointer->Assign(Value); }
  TChartPen* LinePen() const { return Pen(); }
  void SetLinePen(TChartPen* Value) { Pen()->Assign(Value); }
  TChartHiddenPen* BaseLine() const { return FBaseLine.get(); }
  void SetBaseLine(TChartHiddenPen* Value) { FBaseLine->Assign(Value); }
  double DepthSize() const { return FDepthSize; }
  void SetDepthSize(double Value) { SetDoubleProperty(FDepthSize, Value); }

  TOnGetPointerStyle OnGetPointerStyle;
  TSeriesClickPointer3DEvent OnClickPointer;

protected:
  std::unique_ptr<TSeriesPointer> FPointer;
  std::unique_ptr<TChartHiddenPen> FBaseLine;
  double FDepthSize = 0;
  // The previous drawn point, for the joining line.
  int32_t FOldX = 0, FOldY = 0, FOldZ = 0;
};

// The pointer of bubbles: circles unless set otherwise.
class TBubble3DPointer : public TSeriesPointer {
  VM_CLASS(TBubble3DPointer, TSeriesPointer)
public:
  explicit TBubble3DPointer(TChartSeries* AOwner);
};

class TBubble3DSeries : public TPoint3DSeries {
  VM_CLASS(TBubble3DSeries, TPoint3DSeries)
public:
  explicit TBubble3DSeries(TComponent* AOwner);

  int32_t AddBubble(double X, double Y, double Z, double Radius, const std::string& Label = "",
                    TColor Color = clAutoColor);

  void CalcZPositions(int32_t ValueIndex) override;
  int32_t DepthHalfSize(int32_t ValueIndex) override;
  bool ListsPointerStyles() override { return false; }
  // Each bubble is hit within its own radius (the pointer keeps the size of the last one drawn).
  void PointerHalfSizes(int32_t Index, int32_t& Horiz, int32_t& Vert) override;
  void DrawOneValue(int32_t ValueIndex) override;
  double HighestY() override;
  double LowestY() override;
  double HighestZ() override;
  double LowestZ() override;
  bool AcceptsSourceSeries(TChartSeries* Source) override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  void MakeGalleryThumbnail(bool Coloured) override;

  TChartValueList* RadiusValues() const { return FRadiusValues; }
  void SetRadiusValues(TChartValueList* Value) { AssignValueList(FRadiusValues, Value); }

private:
  double ExtentWithRadius(double Start, TChartValueList* Values, bool Highest);
  TChartValueList* FRadiusValues = nullptr;
};
