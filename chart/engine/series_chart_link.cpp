// The series' questions to its chart. Until the chart side is present these give the answers of
// a series without a chart.
#include "chart/engine/series_chart_link.h"

#include "chart/engine/series_base.h"

namespace series_link {

void Invalidate(TCustomAxisPanel*) {}
IGraphShapeParent* ShapeParent(TCustomAxisPanel*) { return nullptr; }
TGraphCanvas3D* Canvas(TCustomAxisPanel*) { return nullptr; }
bool IsDestroying(TCustomAxisPanel*) { return false; }
void RegisterSeries(TCustomAxisPanel*, TChartSeries*) {}
void DetachSeries(TCustomAxisPanel*, TChartSeries*) {}
void SendSeriesEvent(TCustomAxisPanel*, TChartSeries*, TSeriesEventKindValue) {}
void RefreshSeriesData(TCustomAxisPanel*, TChartSeries*) {}
TColor GetPaletteColor(TCustomAxisPanel*, int) { return clDefault; }
TColor FirstUnusedPaletteColor(TCustomAxisPanel*, TChartSeries*) { return clDefault; }
void DrawLegendSymbolRect(TCustomAxisPanel*, const TRect&) {}
void CheckCircularDataSource(TCustomAxisPanel*, TComponent*, TChartSeries*) {}
bool AcceptsDataSource(TCustomAxisPanel*, TChartSeries*, TComponent*) { return false; }
void DetachSeriesSource(TCustomAxisPanel*, TChartSeries*, TComponent*) {}
bool DrawReversed(TCustomAxisPanel*) { return false; }
bool View3D(TCustomAxisPanel*) { return false; }
int SeriesIndex(TCustomAxisPanel*, const TChartSeries*) { return -1; }
int CountSeries(TCustomAxisPanel*) { return 0; }
TChartSeries* SeriesAt(TCustomAxisPanel*, int) { return nullptr; }
void GetSeriesLegendText(TCustomAxisPanel*, TChartSeries*, int, std::string& Text) { Text.clear(); }
void SetChartCursor(TCustomAxisPanel*, int16_t) {}
int16_t ChartCursor(TCustomAxisPanel*) { return 0; }
void RestoreChartCursor(TCustomAxisPanel*) {}
bool PlacesSeriesApart(TCustomAxisPanel*) { return false; }
int32_t SeriesWidth3D(TCustomAxisPanel*) { return 0; }
void NotifySeriesListView(TCustomAxisPanel*) {}
TChartAxis* BottomAxis(TCustomAxisPanel*) { return nullptr; }
TChartAxis* TopAxis(TCustomAxisPanel*) { return nullptr; }
TChartAxis* LeftAxis(TCustomAxisPanel*) { return nullptr; }
TChartAxis* RightAxis(TCustomAxisPanel*) { return nullptr; }
TChartAxis* CustomAxisAt(TCustomAxisPanel*, int) { return nullptr; }
int CustomAxisIndex(TCustomAxisPanel*, TChartAxis*) { return -1; }
bool IsHorizontal(TChartAxis*) { return false; }
bool Inverted(TChartAxis*) { return false; }
int32_t ValueToPixel(TChartAxis*, double) { return 0; }
double PixelToValue(TChartAxis*, int32_t) { return 0; }
std::string LabelText(TChartAxis*, double) { return {}; }
TComponent* AsComponent(TCustomAxisPanel*) { return nullptr; }
TCustomAxisPanel* AsPanel(TComponent*) { return nullptr; }
void SwapSeries(TCustomAxisPanel*, TChartSeries*, TChartSeries*) {}
void ReplaceToolSeries(TCustomAxisPanel*, TChartSeries*, TChartSeries*) {}
int32_t MaxPointsPerPage(TCustomAxisPanel*) { return 0; }
int32_t Page(TCustomAxisPanel*) { return 1; }
int32_t MaxZOrder(TCustomAxisPanel*) { return 0; }
void SetMaxZOrder(TCustomAxisPanel*, int32_t) {}
int32_t MaxPointCount(TCustomAxisPanel*) { return 0; }
double LowestYOnAxis(TCustomAxisPanel*, TChartAxis*) { return 0; }
double HighestYOnAxis(TCustomAxisPanel*, TChartAxis*) { return 0; }
double LowestXOnAxis(TCustomAxisPanel*, TChartAxis*) { return 0; }
double HighestXOnAxis(TCustomAxisPanel*, TChartAxis*) { return 0; }
TRect AxisRect(TCustomAxisPanel*) { return TRect{0, 0, 0, 0}; }
TColor LegendSymbolColor(TCustomAxisPanel*) { return clDefault; }
TColor ChartColor(TCustomAxisPanel*) { return clWhite; }
void SetBrushCanvas(TCustomAxisPanel*, TColor, TChartBrush*, TColor) {}
void SetAutoRepaint(TCustomAxisPanel*, bool) {}
bool AutoRepaint(TCustomAxisPanel*) { return false; }

}  // namespace series_link
