// The series' questions to its chart. The questions the chart answers with its own operations
// give, until those are present, the answers of a series without a chart.
#include "chart/engine/series_chart_link.h"

#include "chart/engine/axis_panel.h"
#include "chart/engine/series_base.h"
#include "chart/engine/tool_base.h"

namespace series_link {

void Invalidate(TCustomAxisPanel* Chart) { static_cast<TCustomGraphPanel*>(Chart)->Invalidate(); }
IGraphShapeParent* ShapeParent(TCustomAxisPanel* Chart) { return static_cast<IGraphShapeParent*>(Chart); }
TGraphCanvas3D* Canvas(TCustomAxisPanel* Chart) { return Chart->Canvas; }
bool IsDestroying(TCustomAxisPanel* Chart) { return Chart->ComponentState().Contains(csDestroying); }
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
bool DrawReversed(TCustomAxisPanel* Chart) { return Chart->DrawReversed; }
bool View3D(TCustomAxisPanel* Chart) { return Chart->View3D(); }
int SeriesIndex(TCustomAxisPanel* Chart, const TChartSeries* Series) {
  return Chart && Chart->SeriesList() ? Chart->SeriesList()->IndexOf(Series) : -1;
}
int CountSeries(TCustomAxisPanel* Chart) { return Chart && Chart->SeriesList() ? Chart->SeriesList()->Count() : 0; }
TChartSeries* SeriesAt(TCustomAxisPanel* Chart, int Index) { return Chart->SeriesList()->SeriesAt(Index); }
void GetSeriesLegendText(TCustomAxisPanel*, TChartSeries*, int, std::string& Text) { Text.clear(); }
void SetChartCursor(TCustomAxisPanel*, int16_t) {}
int16_t ChartCursor(TCustomAxisPanel*) { return 0; }
void RestoreChartCursor(TCustomAxisPanel*) {}
bool PlacesSeriesApart(TCustomAxisPanel*) { return false; }
int32_t SeriesWidth3D(TCustomAxisPanel* Chart) { return Chart->SeriesWidth3D; }
void NotifySeriesListView(TCustomAxisPanel*) {}
TChartAxis* BottomAxis(TCustomAxisPanel* Chart) { return Chart->BottomAxis(); }
TChartAxis* TopAxis(TCustomAxisPanel* Chart) { return Chart->TopAxis(); }
TChartAxis* LeftAxis(TCustomAxisPanel* Chart) { return Chart->LeftAxis(); }
TChartAxis* RightAxis(TCustomAxisPanel* Chart) { return Chart->RightAxis(); }
TChartAxis* CustomAxisAt(TCustomAxisPanel* Chart, int Index) {
  TChartCustomAxes* axes = Chart->CustomAxes();
  return axes && Index >= 0 && Index < axes->Count() ? axes->AxisAt(Index) : nullptr;
}
int CustomAxisIndex(TCustomAxisPanel* Chart, TChartAxis* Axis) {
  return Chart->CustomAxes() ? Chart->CustomAxes()->IndexOfAxis(Axis) : -1;
}
bool IsHorizontal(TChartAxis* Axis) { return Axis->Horizontal(); }
bool Inverted(TChartAxis* Axis) { return Axis->Inverted(); }
int32_t ValueToPixel(TChartAxis* Axis, double Value) { return Axis ? Axis->ValueToPixel(Value) : 0; }
double PixelToValue(TChartAxis*, int32_t) { return 0; }
std::string LabelText(TChartAxis*, double) { return {}; }
TComponent* AsComponent(TCustomAxisPanel* Chart) { return static_cast<TComponent*>(Chart); }
TCustomAxisPanel* AsPanel(TComponent*) { return nullptr; }
void SwapSeries(TCustomAxisPanel*, TChartSeries*, TChartSeries*) {}
void ReplaceToolSeries(TCustomAxisPanel*, TChartSeries*, TChartSeries*) {}
int32_t MaxPointsPerPage(TCustomAxisPanel* Chart) { return Chart->MaxPointsPerPage(); }
int32_t Page(TCustomAxisPanel* Chart) { return Chart->Page(); }
int32_t MaxZOrder(TCustomAxisPanel* Chart) { return Chart->MaxZOrder; }
void SetMaxZOrder(TCustomAxisPanel* Chart, int32_t Value) { Chart->MaxZOrder = Value; }
int32_t MaxPointCount(TCustomAxisPanel*) { return 0; }
double LowestYOnAxis(TCustomAxisPanel*, TChartAxis*) { return 0; }
double HighestYOnAxis(TCustomAxisPanel*, TChartAxis*) { return 0; }
double LowestXOnAxis(TCustomAxisPanel*, TChartAxis*) { return 0; }
double HighestXOnAxis(TCustomAxisPanel*, TChartAxis*) { return 0; }
TRect AxisRect(TCustomAxisPanel*) { return TRect{0, 0, 0, 0}; }
TColor LegendSymbolColor(TCustomAxisPanel* Chart) { return Chart->LegendSymbolColor; }
TColor ChartColor(TCustomAxisPanel* Chart) { return Chart->Color(); }
void SetBrushCanvas(TCustomAxisPanel* Chart, TColor Color, TChartBrush* Brush, TColor BackColor) {
  Chart->SetBrushCanvas(Color, Brush, BackColor);
}
void SetAutoRepaint(TCustomAxisPanel* Chart, bool Value) { Chart->AutoRepaint = Value; }
bool AutoRepaint(TCustomAxisPanel* Chart) { return Chart->AutoRepaint; }

}  // namespace series_link
