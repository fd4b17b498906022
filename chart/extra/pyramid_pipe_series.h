// The share of each value in a total as a part of one solid: the pyramid stacks its values from
// the bottom up into slices of a pyramid; the volume pipe cuts a narrowing pipe into segments of
// areas in proportion to the values.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "chart/engine/graph_effects.h"
#include "chart/engine/series_base.h"

class TPyramidSeries : public TChartSeries {
  VM_CLASS(TPyramidSeries, TChartSeries)
public:
  explicit TPyramidSeries(TComponent* AOwner);

  int32_t SizePercent() const { return FSizePercent; }
  void SetSizePercent(int32_t V) { SetIntegerProperty(FSizePercent, V); }

  // The sum of the values 0..N (0 for N = -1).
  double AccumulatedValue(int32_t N) const;
  // The rectangle of slice I (from its top pixel to its bottom pixel, its bottom width across)
  // and the truncation of its top.
  void SegmentGeometry(int32_t I, TRect& Rect, int& TopHalfWidth, int& TopHalfDepth, int& BottomInset);

  void GetHorizontalMargins(int32_t& LeftMargin, int32_t& RightMargin) override;
  double HighestX() override;
  double LowestX() override { return HighestX(); }
  double HighestY() override { return YValues()->TotalABS(); }
  double LowestY() override { return 0; }
  bool IsDrawnForward() override;
  void DrawOneValue(int32_t ValueIndex) override;
  void DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TPyramidSeriesEditor"; }

private:
  int32_t FSizePercent = 50;
};

class TVolumePipeSeries : public TChartSeries {
  VM_CLASS(TVolumePipeSeries, TChartSeries)
public:
  explicit TVolumePipeSeries(TComponent* AOwner);
  ~TVolumePipeSeries() override;

  int32_t ConePercent() const { return FConePercent; }
  void SetConePercent(int32_t V) { SetIntegerProperty(FConePercent, V); }
  TCustomGraphGradient* Gradient() const { return FGradient.get(); }
  void SetGradient(TCustomGraphGradient* V) { FGradient->Assign(V); }
  TChartPen* LinesPen() const { return FLinesPen.get(); }
  void SetLinesPen(TChartPen* V) { FLinesPen->Assign(V); }

  // The distance from the left end at which the pipe's area up to point I is its share.
  int SegmentEndX(int32_t I) const;
  // The segment polygons of the last drawing, one per drawn point.
  const std::vector<std::array<TPoint, 4>>& Segments() const { return FSegments; }
  // The outline corners of the last drawing: top left, top right, bottom right, bottom left.
  const std::array<TPoint, 4>& Outline() const { return FOutline; }

  bool UsesAxes() override { return false; }
  void PrepareForDraw() override;
  void DrawOneValue(int32_t) override {}
  void DrawVisiblePoints() override;
  void DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  int32_t DefaultRandomCount() override { return 5; }
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TVolumePipeSeriesEditor"; }

private:
  void CalcOutline();
  int32_t MarksHeight();
  // The segment polygon a point's mark and hit test use: its own among the drawn points.
  const std::array<TPoint, 4>* SegmentOf(int32_t ValueIndex) const;

  int32_t FConePercent = 30;
  std::unique_ptr<TCustomGraphGradient> FGradient;
  std::unique_ptr<TChartPen> FLinesPen;
  std::array<TPoint, 4> FOutline{};
  double FArea = 0, FTotal = 0;
  int FDrop = 0, FH0 = 0, FH1 = 0, FLen = 0;
  std::vector<std::array<TPoint, 4>> FSegments;
  std::vector<int32_t> FSegmentPoints;  // the point of each segment
};

void RegisterPyramidPipeSeries();
void UnregisterPyramidPipeSeries();
