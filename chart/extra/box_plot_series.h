// Box-and-whisker diagrams of a list of ascending samples: a box from the first to the third
// quartile, a median line, whiskers to the last samples inside the inner fences and the samples
// beyond them as mild or extreme outliers. Vertical (samples on the vertical axis) or horizontal.
#pragma once

#include <memory>

#include "chart/series/line_series.h"

class TCustomBoxSeries : public TPointSeries {
  VM_CLASS(TCustomBoxSeries, TPointSeries)
public:
  explicit TCustomBoxSeries(TComponent* AOwner);
  ~TCustomBoxSeries() override;

  virtual TChartValueList* GetSampleValues() const { return MandatoryList; }
  virtual void SetSampleValues(TChartValueList* Value) { AssignValueList(MandatoryList, Value); }
  TChartValueList* SampleValues() const { return GetSampleValues(); }

  double Position() const { return FPosition; }
  void SetPosition(double Value) { SetDoubleProperty(FPosition, Value); }
  double WhiskerLength() const { return FWhiskerLength; }
  void SetWhiskerLength(double Value) { SetDoubleProperty(FWhiskerLength, Value); }
  TChartPen* WhiskerPen() const { return FWhiskerPen.get(); }
  void SetWhiskerPen(TChartPen* Value) { FWhiskerPen->Assign(Value); }
  TChartPen* MedianPen() const { return FMedianPen.get(); }
  void SetMedianPen(TChartPen* Value) { FMedianPen->Assign(Value); }
  TSeriesPointer* MildOut() const { return FMildOut.get(); }
  void SetMildOut(TSeriesPointer* Value) { FMildOut->Assign(Value); }
  TSeriesPointer* ExtrOut() const { return FExtrOut.get(); }
  void SetExtrOut(TSeriesPointer* Value) { FExtrOut->Assign(Value); }
  bool UseCustomValues() const { return FUseCustomValues; }
  void SetUseCustomValues(bool Value) { SetBooleanProperty(FUseCustomValues, Value); }
  bool Vertical() const { return FVertical; }

  // The statistics of the samples (read in their stored, ascending order).
  void RecalcStats();
  double Percentile(double P) const;

  void FireBeforeDrawValues() override;
  void DrawVisiblePoints() override;
  void DrawOneValue(int32_t ValueIndex) override;
  void DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) override;
  void SetParentChart(TCustomAxisPanel* Value) override;
  void Assign(TPersistent* Source) override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  static void ClassEditorName(std::string& Name) { Name = "TBoxSeriesEditor"; }

  double MedianValue = 0, LowerQuartile = 0, UpperQuartile = 0, LowerInnerFence = 0, UpperInnerFence = 0,
         LowerOuterFence = 0, UpperOuterFence = 0, LowerWhiskerEnd = 0, UpperWhiskerEnd = 0;

protected:
  bool FVertical = true;

private:
  double Sample(int32_t K) const;
  // The pixel of Position on the axis across the samples.
  int32_t PositionPixel();
  void DrawWhisker(int Centre, int H, int E, int W, bool Is3D, int Z);

  double FPosition = 0;
  double FWhiskerLength = 1.5;
  std::unique_ptr<TChartPen> FWhiskerPen;
  std::unique_ptr<TChartPen> FMedianPen;
  std::unique_ptr<TSeriesPointer> FMildOut;
  std::unique_ptr<TSeriesPointer> FExtrOut;
  bool FUseCustomValues = false;
};

class TBoxSeries : public TCustomBoxSeries {
  VM_CLASS(TBoxSeries, TCustomBoxSeries)
public:
  using TCustomBoxSeries::TCustomBoxSeries;
  double HighestX() override { return Position(); }
  double LowestX() override { return Position(); }
};

class THorizBoxSeries : public TCustomBoxSeries {
  VM_CLASS(THorizBoxSeries, TCustomBoxSeries)
public:
  explicit THorizBoxSeries(TComponent* AOwner);
  double HighestY() override { return Position(); }
  double LowestY() override { return Position(); }
};

void RegisterBoxPlotSeries();
void UnregisterBoxPlotSeries();
