// Bubbles (a circle per point whose size is a radius in axis units) and Gantt bars (a horizontal
// bar per task from its start to its end, optionally joined to the task it leads to).
#pragma once

#include <string>

#include "chart/series/line_series.h"

class TBubbleSeries : public TPointSeries {
  VM_CLASS(TBubbleSeries, TPointSeries)
public:
  explicit TBubbleSeries(TComponent* AOwner);

  int32_t AddBubblePoint(double X, double Y, double Radius, const std::string& Label = "", TColor Colour = clDefault);

  TChartValueList* RadiusValues() const { return FRadiusValues; }
  void SetRadiusValues(TChartValueList* Value) { AssignValueList(FRadiusValues, Value); }
  bool Squared() const { return FSquared; }
  void SetSquared(bool Value) { SetBooleanProperty(FSquared, Value); }

  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TBubbleSeriesEditor"; }
  void FillLegendSymbol(int32_t ValueIndex, const TRect& Rect) override;
  void DrawOneValue(int32_t ValueIndex) override;
  double HighestY() override;
  double HighestZ() override;
  double LowestY() override;
  double LowestZ() override;
  bool ClickedPointer(int32_t ValueIndex, int PointX, int PointY, int X, int Y) override;
  void PreparePointer(int32_t ValueIndex) override;
  TGraphGradient* GetGradient() const { return Pointer()->Gradient(); }
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  bool AcceptsSourceSeries(TChartSeries* Source) override;
  int32_t DefaultRandomCount() override { return 8; }

private:
  TChartValueList* FRadiusValues = nullptr;
  bool FSquared = true;
};

class TGanttSeries : public TPointSeries {
  VM_CLASS(TGanttSeries, TPointSeries)
public:
  explicit TGanttSeries(TComponent* AOwner);

  int32_t AddGanttTaskColored(double Start, double End, double Y, const std::string& Label = "",
                              TColor Colour = clDefault);
  int32_t AddGanttTask(double Start, double End, double Y, const std::string& Label = "") {
    return AddGanttTaskColored(Start, End, Y, Label, clDefault);
  }

  TChartValueList* StartValues() const { return XValues(); }
  void SetStartValues(TChartValueList* Value) { SetXValues(Value); }
  TChartValueList* EndValues() const { return FEndValues; }
  void SetEndValues(TChartValueList* Value) { AssignValueList(FEndValues, Value); }
  TChartValueList* NextTask() const { return FNextTask; }
  void SetNextTask(TChartValueList* Value) { AssignValueList(FNextTask, Value); }
  TChartPen* ConnectingPen() const { return LinePen(); }
  void SetConnectingPen(TChartPen* Value) { Pen()->Assign(Value); }

  // The pixel of a task's end on the horizontal axis.
  int32_t EndPixel(int32_t ValueIndex) { return ValueToScreenX(FEndValues->Value(ValueIndex)); }

  void Assign(TPersistent* Source) override;
  static void ClassEditorName(std::string& Name) { Name = "TGanttSeriesEditor"; }
  void DrawPointMark(int32_t ValueIndex, const std::string& Text, TSeriesMarkPosition& Position) override;
  void DrawOneValue(int32_t ValueIndex) override;
  int32_t AddPoint(double X, double Y, const std::string& Label = "", TColor Color = clDefault) override;
  double HighestX() override;
  bool ClickedPointer(int32_t ValueIndex, int PointX, int PointY, int X, int Y) override;
  void AddRandomPoints(int32_t Count, bool ValuesOnly) override;
  void MakeGalleryThumbnail(bool Coloured) override;
  bool AcceptsSourceSeries(TChartSeries* Source) override;
  // Tasks keep their rows: the start list is kept in order as tasks are added, and the rows are
  // not renumbered.
  void SortByValueOrder() override {}

private:
  TChartValueList* FEndValues = nullptr;
  TChartValueList* FNextTask = nullptr;
};

// The sample task names: "Design" .. "New Version" for 0 to 8, "Banking" for any other index.
std::string GanttSampleText(int Index);

void RegisterBubbleGanttSeries();
void UnregisterBubbleGanttSeries();
