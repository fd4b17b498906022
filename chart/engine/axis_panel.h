// The chart container: the series list, the six built-in axes and the custom axes, the tools, the
// pages of data and the 3D depth of the chart; it answers the axes' questions about the data ranges
// of their series and runs the drawing pipeline (background, titles, legend, walls, axes, series),
// telling the tools and the application each stage it reaches.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/chart_axis.h"
#include "chart/engine/graph_panel_ext.h"

class TChartSeries;
class TChartElementMetaClass;
class TChartSeriesList;
class TChartAxes;
class TChartCustomAxes;
class TChartTools;
class TGraphCustomTool;
class TCustomAxisPanel;

enum TToolDrawStage {
  tdsAfterDraw = 0,
  tdsBeforeSeries = 1,
  tdsBeforeChart = 2,
  tdsBeforeAxes = 3,
  tdsAfterSeries = 4,
  tdsMouseLeave = 5
};

enum TSeriesEventKind { sekAdded, sekRemoved, sekTitle, sekColor, sekSwapped, sekActive, sekValues };

// Broadcast when Page or MaxPointsPerPage changed.
class TChartChangePage : public TGraphEvent {
  VM_CLASS(TChartChangePage, TGraphEvent)
};

// Broadcast when a series was added, removed or swapped here, or changed itself.
class TGraphSeriesEvent : public TGraphEvent {
  VM_CLASS(TGraphSeriesEvent, TGraphEvent)
public:
  TSeriesEventKind Event = sekAdded;
  TChartSeries* Series = nullptr;
};

using TAxisOnGetLabel =
    std::function<void(TChartAxis* Sender, TChartSeries* Series, int32_t ValueIndex, std::string& LabelText)>;
using TAxisOnGetNextLabel = std::function<void(TChartAxis* Sender, int32_t LabelIndex, double& LabelValue, bool& Stop)>;

// ---------------------------------------------------------------------------------------------
class TCustomAxisPanel : public TCustomGraphPanelExtended {
  VM_CLASS(TCustomAxisPanel, TCustomGraphPanelExtended)
public:
  explicit TCustomAxisPanel(TComponent* AOwner);
  ~TCustomAxisPanel() override;

  void Assign(TPersistent* Source) override;
  void DrawContents(const TRect& Rect) override;
  // Everything below the top layers: background, titles and legend in their places, walls,
  // axes and series (see KeepBaseLayer).
  void DrawBaseLayer(const TRect& Rect);
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  // -- introduced virtual operations (abstract ones are the chart component's) -------------------
  virtual void Prepare3DChartRect() = 0;
  virtual int32_t WallSizeForAxis(TChartAxis* Axis) = 0;
  virtual void FireAfterDraw();
  virtual void FireBeforeDrawAxes();
  virtual void FireBeforeDrawChart();
  virtual void FireBeforeDrawSeries();
  virtual void RenderTitlesAndLegend(bool BeforeSeries) = 0;
  virtual bool IsPlaneMirroredAt(int32_t Z);
  virtual void DrawLegendSymbolRect(const TRect& Rect);
  virtual void RenderWalls() = 0;
  virtual void RefreshSeriesData(TChartSeries* Series);
  virtual void GetSeriesLegendText(TChartSeries* Series, int32_t ValueIndex, std::string& Text);
  virtual bool IsColorUnused(TColor Color, bool CheckBackground, TChartSeries* IgnoreSeries) = 0;
  virtual void DetachSeriesSource(TChartSeries* Series, TComponent* Component);
  virtual bool AcceptsDataSource(TChartSeries* Series, TComponent* Source);
  virtual int32_t CountPages();

  // -- series management ----------------------------------------------------------------------------
  TChartSeries* SeriesAt(int Index) const;
  int CountSeries() const;
  int NumberOfActiveSeries() const;
  int MaxPointCount() const;
  TChartSeries* AttachSeries(TChartSeries* Series);
  // A new series of the class, owned by the chart's owner, attached to this chart.
  TChartSeries* CreateAndAttachSeries(const TChartElementMetaClass* SeriesClass);
  void RegisterSeries(TChartSeries* Series);
  void DetachSeries(TChartSeries* Series);
  void DetachSeriesAt(int Index);
  // Every series (AClass nullptr) or every series of that class is detached and freed.
  void FreeSeriesOfClass(TClass AClass);
  void SwapSeries(TChartSeries* Series1, TChartSeries* Series2);
  void SwapSeriesAt(int Index1, int Index2);
  void SendSeriesEvent(TChartSeries* Series, TSeriesEventKind Kind);
  void SendNewEvent(TGraphEvent* Event);
  bool CheckMouseOverSeries(int X, int Y);
  TChartSeries* LegendSeriesAt(int Index, bool OnlyActive) const;
  TChartSeries* ActiveLegendSeriesAt(int Index) const { return LegendSeriesAt(Index, true); }
  std::string LegendSeriesTitle(int Index, bool OnlyActive) const;
  int32_t WidestLineWidth(const std::string& Text, int& LineCount);
  int32_t WidestLabel();
  int32_t WidestMarkText();
  TColor GetPaletteColor(int Index) const;
  TColor FirstUnusedPaletteColor(bool CheckBackground, TChartSeries* IgnoreSeries);
  void AssignAutoSeriesColors();
  void CheckCircularDataSource(TComponent* Component, TChartSeries* Series);

  // -- axes and data ranges -------------------------------------------------------------------------
  bool IsAxisInUse(TChartAxis* Axis, bool Default) const;
  bool IsAxisDrawn(TChartAxis* Axis) const;
  bool NoActiveSeriesOnAxis(TChartAxis* Axis) const;
  TChartSeries* FirstSeriesOnAxis(TChartAxis* Axis) const;
  TChartSeries* LargestSeriesOnAxis(TChartAxis* Axis) const;
  double CalcAxisLimit(TChartAxis* Axis, bool IsMinimum, bool IsX);
  double LowestXOnAxis(TChartAxis* Axis) { return CalcAxisLimit(Axis, true, true); }
  double HighestXOnAxis(TChartAxis* Axis) { return CalcAxisLimit(Axis, false, true); }
  double LowestYOnAxis(TChartAxis* Axis) { return CalcAxisLimit(Axis, true, false); }
  double HighestYOnAxis(TChartAxis* Axis) { return CalcAxisLimit(Axis, false, false); }
  // No active series, or some active series uses axes.
  bool AxesInUse() const;

  // -- paging and printing -----------------------------------------------------------------------------
  void PrintPageRange(int FromPage, int ToPage);

  // -- 3D and drawing --------------------------------------------------------------------------------
  void CalcDepthSizes();
  void CalcSeriesDrawSide();
  void NotifyToolsChartEvent(TToolDrawStage Stage);
  void CalcAxesRect();
  void ApplySeriesMargins();
  void AssignSeriesZOrders();
  void RenderAxes();
  void RenderAllSeries();
  void RenderSeries(TChartSeries* Series);

  // -- properties ---------------------------------------------------------------------------------------
  bool AxisBehind() const { return FAxisBehind; }
  void SetAxisBehind(bool Value) { SetBooleanProperty(FAxisBehind, Value); }
  bool AxisVisible() const { return FAxisVisible; }
  void SetAxisVisible(bool Value) { SetBooleanProperty(FAxisVisible, Value); }
  TChartAxis* BottomAxis() const { return FBottomAxis; }
  void SetBottomAxis(TChartAxis* Value) { FBottomAxis->Assign(Value); }
  TChartAxis* TopAxis() const { return FTopAxis; }
  void SetTopAxis(TChartAxis* Value) { FTopAxis->Assign(Value); }
  TChartAxis* LeftAxis() const { return FLeftAxis; }
  void SetLeftAxis(TChartAxis* Value) { FLeftAxis->Assign(Value); }
  TChartAxis* RightAxis() const { return FRightAxis; }
  void SetRightAxis(TChartAxis* Value) { FRightAxis->Assign(Value); }
  TChartDepthAxis* DepthAxis() const { return FDepthAxis; }
  void SetDepthAxis(TChartDepthAxis* Value) { FDepthAxis->Assign(Value); }
  TChartDepthAxis* DepthTopAxis() const { return FDepthTopAxis; }
  void SetDepthTopAxis(TChartDepthAxis* Value) { FDepthTopAxis->Assign(Value); }
  TChartCustomAxes* CustomAxes() const { return FCustomAxes.get(); }
  int32_t Chart3DPercent() const { return FChart3DPercent; }
  void SetChart3DPercent(int32_t Value);
  bool ClipPoints() const { return FClipPoints; }
  void SetClipPoints(bool Value) { SetBooleanProperty(FClipPoints, Value); }
  int32_t MaxPointsPerPage() const { return FMaxPointsPerPage; }
  void SetMaxPointsPerPage(int32_t Value);
  int32_t Page() const { return FPage; }
  void SetPage(int32_t Value);
  bool ScaleLastPage() const { return FScaleLastPage; }
  void SetScaleLastPage(bool Value) { SetBooleanProperty(FScaleLastPage, Value); }
  TChartSeriesList* SeriesList() const { return FSeriesList.get(); }
  bool View3DWalls() const { return FView3DWalls; }
  void SetView3DWalls(bool Value) { SetBooleanProperty(FView3DWalls, Value); }

  TNotifyEvent OnBeforeDrawChart;
  TNotifyEvent OnBeforeDrawAxes;
  TNotifyEvent OnBeforeDrawSeries;
  TNotifyEvent OnPageChange;
  TAxisOnGetLabel OnGetAxisLabel;
  TAxisOnGetNextLabel OnGetNextAxisLabel;

  // -- public fields ----------------------------------------------------------------------------------
  std::unique_ptr<TChartAxes> Axes;
  std::unique_ptr<TChartTools> Tools;
  int32_t MaxZOrder = 0;
  int32_t SeriesWidth3D = 0, SeriesHeight3D = 0;
  bool DrawReversed = false;
  TColor LegendSymbolColor = clWhite;
  TColorArray CustomPalette;

  // The axes in their fixed order (bottom, top, left, right, depth, depth-top, custom axes).
  int AxisCount() const;
  TChartAxis* AxisAt(int Index) const;

protected:
  void MouseLeave() override;

private:
  void DrawSeriesMarks(TChartSeries* Series);
  void ClipSeriesRect();

  bool FAxisBehind = true;
  bool FAxisVisible = true;
  int32_t FChart3DPercent = 15;
  bool FClipPoints = true;
  int32_t FMaxPointsPerPage = 0;
  int32_t FPage = 1;
  bool FScaleLastPage = true;
  bool FView3DWalls = true;
  std::unique_ptr<TChartSeriesList> FSeriesList;
  std::unique_ptr<TChartCustomAxes> FCustomAxes;
  // The six built-in axes, owned through Axes.
  TChartAxis* FBottomAxis = nullptr;
  TChartAxis* FTopAxis = nullptr;
  TChartAxis* FLeftAxis = nullptr;
  TChartAxis* FRightAxis = nullptr;
  TChartDepthAxis* FDepthAxis = nullptr;
  TChartDepthAxis* FDepthTopAxis = nullptr;
};
