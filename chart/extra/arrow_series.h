// The arrow series: one arrow per point, from its start (X, Y) to its end (EndX, EndY).
#pragma once

#include <vector>

#include "chart/series/line_series.h"

class TArrowSeries : public TPointSeries {
  VM_CLASS(TArrowSeries, TPointSeries)
public:
  explicit TArrowSeries(TComponent* AOwner);

  // Returns the new index, or -1 when OnBeforeAdd refused the arrow.
  int32_t AddArrowSegment(double X0, double Y0, double X1, double Y1, const std::string& Label = "",
                          TColor Colour = clDefault);

  TChartValueList* StartXValues() const { return XValues(); }
  void SetStartXValues(TChartValueList* Value) { SetXValues(Value); }
  TChartValueList* StartYValues() const { return YValues(); }
  void SetStartYValues(TChartValueList* Value) { SetYValues(Value); }
  TChartValueList* EndXValues() const { return FEndXValues; }
  void SetEndXValues(TChartValueList* Value) { AssignValueList(FEndXValues, Value); }
  TChartValueList* EndYValues() const { return FEndYValues; }
  void SetEndYValues(TChartValueList* Value) { AssignValueList(FEndYValues, Value); }
  int32_t ArrowWidth() const;
  void SetArrowWidth(int32_t Value);
  int32_t ArrowHeight() const;
  void SetArrowHeight(int32_t Value);
  int32_t ArrowPercent() const { return FArrowPercent; }
  void SetArrowPercent(int32_t Value) { SetIntegerProperty(FArrowPercent, Value); }

  void DrawOneValue(int32_t ValueIndex) override;
  void DrawVisiblePoints() override;
  double HighestX() override;
  double HighestY() override;
  double LowestX() override;
  double LowestY() override;
  int32_t PointIndexAt(int32_t X, int32_t Y) override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  bool AcceptsSourceSeries(TChartSeries* Source) override;
  static bool ListsPointerStyles() { return false; }
  static void ClassEditorName(std::string& Name) { Name = "TArrowSeriesEditor"; }

private:
  TPoint StartPoint(int32_t Index);
  TPoint EndPoint(int32_t Index);
  // Draws the lines of the flat arrows gathered so far, in one call to the canvas.
  void FlushLines();

  TChartValueList* FEndXValues = nullptr;
  // The canvas pen as the last arrow set it (its version and colour): arrows of one colour in a
  // row select it once.
  uint32_t FPenVersion = 0;
  TColor FPenColour = clNone;
  const void* FPenCanvas = nullptr;
  // While a drawing pass runs on a flat chart: the lines of the arrows of the current colour, two
  // points each, drawn together when the colour changes and at the end of the pass.
  bool FGathering = false;
  std::vector<TPoint> FLines;
  TChartValueList* FEndYValues = nullptr;
  int32_t FArrowPercent = 50;
};
