// The histogram: each point a bar touching its neighbours, drawn as one step profile over the
// value axis' end, with optional lines between the bars.
#pragma once

#include <memory>

#include "chart/series/line_series.h"

class THistogramSeries : public TCustomLineSeries {
  VM_CLASS(THistogramSeries, TCustomLineSeries)
public:
  explicit THistogramSeries(TComponent* AOwner);
  ~THistogramSeries() override;

  virtual void CalcHistogramRect(int32_t ValueIndex, TRect& R);

  TChartHiddenPen* LinesPen() const { return FLinesPen.get(); }
  void SetLinesPen(TChartHiddenPen* Value) { FLinesPen->Assign(Value); }
  int32_t Transparency() const { return FTransparency; }
  void SetTransparency(int32_t Value) { SetIntegerProperty(FTransparency, Value); }

  void FindVisibleRange() override;
  void GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) override;
  void GetVerticalMargins(int32_t& TopMargin, int32_t& BottomMargin) override;
  void DrawOneValue(int32_t ValueIndex) override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "THistogramSeriesEditor"; }

  int32_t PreviousBarEnd = 0;

protected:
  int32_t BarCount();
  int32_t HalfBar();

  std::unique_ptr<TChartHiddenPen> FLinesPen;
  int32_t FTransparency = 0;
};

class THorizHistogramSeries : public THistogramSeries {
  VM_CLASS(THorizHistogramSeries, THistogramSeries)
public:
  explicit THorizHistogramSeries(TComponent* AOwner);
  void CalcHistogramRect(int32_t ValueIndex, TRect& R) override;
};
