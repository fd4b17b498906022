// The Bezier series (its points are the end and control points of Bezier curves) and the donut,
// a pie with a hole in the middle.
#pragma once

#include "chart/series/line_series.h"
#include "chart/series/pie_series.h"

enum TBezierStyle { bsWindows, bsBezier3, bsBezier4 };
extern const TEnumInfo BezierStyleInfo;

class TBezierSeries : public TCustomSeries {
  VM_CLASS(TBezierSeries, TCustomSeries)
public:
  explicit TBezierSeries(TComponent* AOwner);

  TBezierStyle BezierStyle() const { return FBezierStyle; }
  void SetBezierStyle(TBezierStyle Value);
  int32_t NumBezierPoints() const { return FNumBezierPoints; }
  // Below 2: ChartException "Number of Bezier points should be > 1".
  void SetNumBezierPoints(int32_t Value);

  void Assign(TPersistent* Source) override;
  void DrawVisiblePoints() override;
  void SetSeriesColor(TColor Value) override;
  void MakeGalleryThumbnail(bool Coloured) override;

private:
  TBezierStyle FBezierStyle = bsWindows;
  int32_t FNumBezierPoints = 32;
};

class TDonutSeries : public TPieSeries {
  VM_CLASS(TDonutSeries, TPieSeries)
public:
  explicit TDonutSeries(TComponent* AOwner);
  void Assign(TPersistent* Source) override;
  // A click in the hole finds no slice.
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  static void ClassEditorName(std::string& Name) { Name = "TDonutSeriesEditor"; }
};

void RegisterBezierDonutSeries();
void UnregisterBezierDonutSeries();
