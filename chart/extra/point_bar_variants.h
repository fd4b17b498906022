// Small variations of the point, bar and candle series: points joined to both axes, bars joined
// to the next bar, bars standing on an offset of their own, and candles with their four values
// written beside them.
#pragma once

#include <memory>

#include "chart/series/bar_series.h"
#include "chart/series/financial_series.h"
#include "chart/series/line_series.h"

class TMyPointSeries : public TPointSeries {
  VM_CLASS(TMyPointSeries, TPointSeries)
public:
  explicit TMyPointSeries(TComponent* AOwner);
  ~TMyPointSeries() override;
  TChartPen* LinesPen() const { return FLinesPen.get(); }
  void SetLinesPen(TChartPen* V) { FLinesPen->Assign(V); }
  void DrawOneValue(int32_t ValueIndex) override;
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TLinePointEditor"; }

private:
  std::unique_ptr<TChartPen> FLinesPen;
};

class TBarJoinSeries : public TBarSeries {
  VM_CLASS(TBarJoinSeries, TBarSeries)
public:
  explicit TBarJoinSeries(TComponent* AOwner);
  ~TBarJoinSeries() override;
  TChartPen* JoinPen() const { return FJoinPen.get(); }
  void SetJoinPen(TChartPen* V) { FJoinPen->Assign(V); }
  void PrepareForDraw() override;
  void DrawBar(int32_t ValueIndex, int StartPos, int EndPos) override;
  int32_t DefaultRandomCount() override { return 3; }
  void MakeGalleryThumbnail(bool Coloured) override;
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TBarJoinEditor"; }

private:
  std::unique_ptr<TChartPen> FJoinPen;
  TRect FPrevious;
  bool FFirst = true;
};

class TBar3DSeries : public TBarSeries {
  VM_CLASS(TBar3DSeries, TBarSeries)
public:
  explicit TBar3DSeries(TComponent* AOwner);
  int32_t AddBar(double X, double Y, double Offset, const std::string& Label = "", TColor Colour = clDefault);
  TChartValueList* OffsetValues() const { return FOffsetValues; }
  void SetOffsetValues(TChartValueList* V) { AssignValueList(FOffsetValues, V); }
  double PointOrigin(int32_t ValueIndex, bool SumAll) override;
  double StackValueAt(int32_t Index) override;
  void DrawBar(int32_t ValueIndex, int StartPos, int EndPos) override;
  double HighestY() override;
  double LowestY() override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  static bool GalleryHasStacked() { return false; }

private:
  TChartValueList* FOffsetValues = nullptr;
};

class TBigCandleSeries : public TCandleSeries {
  VM_CLASS(TBigCandleSeries, TCandleSeries)
public:
  explicit TBigCandleSeries(TComponent* AOwner);
  int32_t HorizGap() const { return FHorizGap; }
  void SetHorizGap(int32_t V) { SetIntegerProperty(FHorizGap, V); }
  int32_t VertGap() const { return FVertGap; }
  void SetVertGap(int32_t V) { SetIntegerProperty(FVertGap, V); }
  void DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) override;
  void Assign(TPersistent* Source) override;

private:
  int32_t FHorizGap = 20;
  int32_t FVertGap = 6;
};

void RegisterPointBarVariants();
void UnregisterPointBarVariants();
