// What a series asks of the chart it belongs to and of its axes, in one place. The chart side
// answers; without a chart every question has a neutral answer.
#pragma once

#include <cstdint>
#include <string>

#include "platform/graphics.h"

class TChartBrush;

class TChartAxis;
class TChartSeries;
class TComponent;
class TCustomAxisPanel;
class IGraphShapeParent;
class TGraphCanvas3D;

namespace series_link {

// Kinds of series events the chart broadcasts to its listeners.
enum TSeriesEventKindValue { kAdded, kRemoved, kTitle, kColor, kSwapped, kActive, kValues };

void Invalidate(TCustomAxisPanel* Chart);
IGraphShapeParent* ShapeParent(TCustomAxisPanel* Chart);
TGraphCanvas3D* Canvas(TCustomAxisPanel* Chart);
bool IsDestroying(TCustomAxisPanel* Chart);
void RegisterSeries(TCustomAxisPanel* Chart, TChartSeries* Series);
void DetachSeries(TCustomAxisPanel* Chart, TChartSeries* Series);
void SendSeriesEvent(TCustomAxisPanel* Chart, TChartSeries* Series, TSeriesEventKindValue Kind);
void RefreshSeriesData(TCustomAxisPanel* Chart, TChartSeries* Series);
TColor GetPaletteColor(TCustomAxisPanel* Chart, int Index);
TColor FirstUnusedPaletteColor(TCustomAxisPanel* Chart, TChartSeries* Series);
void DrawLegendSymbolRect(TCustomAxisPanel* Chart, const TRect& Rect);
void CheckCircularDataSource(TCustomAxisPanel* Chart, TComponent* Component, TChartSeries* Series);
bool AcceptsDataSource(TCustomAxisPanel* Chart, TChartSeries* Series, TComponent* Source);
void DetachSeriesSource(TCustomAxisPanel* Chart, TChartSeries* Series, TComponent* Source);
bool DrawReversed(TCustomAxisPanel* Chart);
bool View3D(TCustomAxisPanel* Chart);
int SeriesIndex(TCustomAxisPanel* Chart, const TChartSeries* Series);
int CountSeries(TCustomAxisPanel* Chart);
TChartSeries* SeriesAt(TCustomAxisPanel* Chart, int Index);
void GetSeriesLegendText(TCustomAxisPanel* Chart, TChartSeries* Series, int ValueIndex, std::string& Text);
void SetChartCursor(TCustomAxisPanel* Chart, int16_t Cursor);
int16_t ChartCursor(TCustomAxisPanel* Chart);
void RestoreChartCursor(TCustomAxisPanel* Chart);
bool PlacesSeriesApart(TCustomAxisPanel* Chart);
int32_t SeriesWidth3D(TCustomAxisPanel* Chart);
void NotifySeriesListView(TCustomAxisPanel* Chart);

// Axes of the chart: bottom, top, left, right and the custom axis at a collection index.
TChartAxis* BottomAxis(TCustomAxisPanel* Chart);
TChartAxis* TopAxis(TCustomAxisPanel* Chart);
TChartAxis* LeftAxis(TCustomAxisPanel* Chart);
TChartAxis* RightAxis(TCustomAxisPanel* Chart);
TChartAxis* CustomAxisAt(TCustomAxisPanel* Chart, int Index);
int CustomAxisIndex(TCustomAxisPanel* Chart, TChartAxis* Axis);
bool IsHorizontal(TChartAxis* Axis);
bool Inverted(TChartAxis* Axis);
int32_t ValueToPixel(TChartAxis* Axis, double Value);
double PixelToValue(TChartAxis* Axis, int32_t Pixel);
// The label text of a value on the axis.
std::string LabelText(TChartAxis* Axis, double Value);

}  // namespace series_link

namespace series_link {
TComponent* AsComponent(TCustomAxisPanel* Chart);
TCustomAxisPanel* AsPanel(TComponent* Component);
void SwapSeries(TCustomAxisPanel* Chart, TChartSeries* Series1, TChartSeries* Series2);
// Series tools of the chart bound to Old work on New.
void ReplaceToolSeries(TCustomAxisPanel* Chart, TChartSeries* Old, TChartSeries* New);
int32_t MaxPointsPerPage(TCustomAxisPanel* Chart);
int32_t Page(TCustomAxisPanel* Chart);
int32_t MaxZOrder(TCustomAxisPanel* Chart);
void SetMaxZOrder(TCustomAxisPanel* Chart, int32_t Value);
int32_t MaxPointCount(TCustomAxisPanel* Chart);
double LowestYOnAxis(TCustomAxisPanel* Chart, TChartAxis* Axis);
double HighestYOnAxis(TCustomAxisPanel* Chart, TChartAxis* Axis);
double LowestXOnAxis(TCustomAxisPanel* Chart, TChartAxis* Axis);
double HighestXOnAxis(TCustomAxisPanel* Chart, TChartAxis* Axis);
// The chart's axis rectangle.
TRect AxisRect(TCustomAxisPanel* Chart);
TColor LegendSymbolColor(TCustomAxisPanel* Chart);
TColor ChartColor(TCustomAxisPanel* Chart);
void SetBrushCanvas(TCustomAxisPanel* Chart, TColor Color, TChartBrush* Brush, TColor BackColor);
void SetAutoRepaint(TCustomAxisPanel* Chart, bool Value);
bool AutoRepaint(TCustomAxisPanel* Chart);
}  // namespace series_link
