// The series' questions to its chart and its axes.
#include "chart/engine/series_chart_link.h"

#include "chart/engine/axis_panel.h"
#include "chart/engine/series_base.h"
#include "chart/engine/tool_base.h"

TSeriesListViewHook SeriesListViewHook;

namespace series_link {

void Invalidate(TCustomAxisPanel* Chart) { static_cast<TCustomGraphPanel*>(Chart)->Invalidate(); }
IGraphShapeParent* ShapeParent(TCustomAxisPanel* Chart) { return static_cast<IGraphShapeParent*>(Chart); }
TGraphCanvas3D* Canvas(TCustomAxisPanel* Chart) { return Chart->Canvas; }
bool IsDestroying(TCustomAxisPanel* Chart) { return Chart->ComponentState().Contains(csDestroying); }
void RegisterSeries(TCustomAxisPanel* Chart, TChartSeries* Series) { Chart->RegisterSeries(Series); }
void DetachSeries(TCustomAxisPanel* Chart, TChartSeries* Series) { Chart->DetachSeries(Series); }
void SendSeriesEvent(TCustomAxisPanel* Chart, TChartSeries* Series, TSeriesEventKindValue Kind) {
  Chart->SendSeriesEvent(Series, static_cast<TSeriesEventKind>(Kind));
}
void RefreshSeriesData(TCustomAxisPanel* Chart, TChartSeries* Series) { Chart->RefreshSeriesData(Series); }
TColor GetPaletteColor(TCustomAxisPanel* Chart, int Index) { return Chart->GetPaletteColor(Index); }
TColor FirstUnusedPaletteColor(TCustomAxisPanel* Chart, TChartSeries* Series) {
  return Chart->FirstUnusedPaletteColor(true, Series);
}
void DrawLegendSymbolRect(TCustomAxisPanel* Chart, const TRect& Rect) { Chart->DrawLegendSymbolRect(Rect); }
void CheckCircularDataSource(TCustomAxisPanel* Chart, TComponent* Component, TChartSeries* Series) {
  Chart->CheckCircularDataSource(Component, Series);
}
bool AcceptsDataSource(TCustomAxisPanel* Chart, TChartSeries* Series, TComponent* Source) {
  return Chart->AcceptsDataSource(Series, Source);
}
void DetachSeriesSource(TCustomAxisPanel* Chart, TChartSeries* Series, TComponent* Source) {
  Chart->DetachSeriesSource(Series, Source);
}
bool DrawReversed(TCustomAxisPanel* Chart) { return Chart->DrawReversed; }
bool View3D(TCustomAxisPanel* Chart) { return Chart->View3D(); }
int SeriesIndex(TCustomAxisPanel* Chart, const TChartSeries* Series) {
  return Chart && Chart->SeriesList() ? Chart->SeriesList()->IndexOf(Series) : -1;
}
int CountSeries(TCustomAxisPanel* Chart) { return Chart && Chart->SeriesList() ? Chart->SeriesList()->Count() : 0; }
TChartSeries* SeriesAt(TCustomAxisPanel* Chart, int Index) { return Chart->SeriesList()->SeriesAt(Index); }
void GetSeriesLegendText(TCustomAxisPanel* Chart, TChartSeries* Series, int ValueIndex, std::string& Text) {
  Chart->GetSeriesLegendText(Series, ValueIndex, Text);
}
void SetChartCursor(TCustomAxisPanel* Chart, int16_t Cursor) { Chart->SetCursor(Cursor); }
int16_t ChartCursor(TCustomAxisPanel* Chart) { return Chart->Cursor(); }
void RestoreChartCursor(TCustomAxisPanel* Chart) { Chart->SetCursor(Chart->OriginalCursor); }
bool PlacesSeriesApart(TCustomAxisPanel* Chart) { return Chart->View3D(); }
int32_t SeriesWidth3D(TCustomAxisPanel* Chart) { return Chart->SeriesWidth3D; }
void NotifySeriesListView(TCustomAxisPanel* Chart) {
  if (SeriesListViewHook) SeriesListViewHook(Chart);
}
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
double PixelToValue(TChartAxis* Axis, int32_t Pixel) { return Axis ? Axis->PixelToValue(Pixel) : 0; }
std::string LabelText(TChartAxis* Axis, double Value) {
  std::string s;
  Axis->ValueToLabelText(Value, s);
  return s;
}
TComponent* AsComponent(TCustomAxisPanel* Chart) { return static_cast<TComponent*>(Chart); }
TCustomAxisPanel* AsPanel(TComponent* Component) { return dynamic_cast<TCustomAxisPanel*>(Component); }
void SwapSeries(TCustomAxisPanel* Chart, TChartSeries* Series1, TChartSeries* Series2) {
  Chart->SwapSeries(Series1, Series2);
}
void ReplaceToolSeries(TCustomAxisPanel* Chart, TChartSeries* Old, TChartSeries* New) {
  if (!Chart->Tools) return;
  for (TGraphCustomTool* t : *Chart->Tools)
    if (auto* ts = dynamic_cast<TGraphCustomToolSeries*>(t); ts && ts->Series() == Old) ts->SetSeries(New);
}
int32_t MaxPointsPerPage(TCustomAxisPanel* Chart) { return Chart->MaxPointsPerPage(); }
int32_t Page(TCustomAxisPanel* Chart) { return Chart->Page(); }
int32_t MaxZOrder(TCustomAxisPanel* Chart) { return Chart->MaxZOrder; }
void SetMaxZOrder(TCustomAxisPanel* Chart, int32_t Value) { Chart->MaxZOrder = Value; }
int32_t MaxPointCount(TCustomAxisPanel* Chart) { return Chart->MaxPointCount(); }
double LowestYOnAxis(TCustomAxisPanel* Chart, TChartAxis* Axis) { return Chart->LowestYOnAxis(Axis); }
double HighestYOnAxis(TCustomAxisPanel* Chart, TChartAxis* Axis) { return Chart->HighestYOnAxis(Axis); }
double LowestXOnAxis(TCustomAxisPanel* Chart, TChartAxis* Axis) { return Chart->LowestXOnAxis(Axis); }
double HighestXOnAxis(TCustomAxisPanel* Chart, TChartAxis* Axis) { return Chart->HighestXOnAxis(Axis); }
TRect AxisRect(TCustomAxisPanel* Chart) { return Chart->ChartRect; }
TColor LegendSymbolColor(TCustomAxisPanel* Chart) { return Chart->LegendSymbolColor; }
TColor ChartColor(TCustomAxisPanel* Chart) { return Chart->Color(); }
void SetBrushCanvas(TCustomAxisPanel* Chart, TColor Color, TChartBrush* Brush, TColor BackColor) {
  Chart->SetBrushCanvas(Color, Brush, BackColor);
}
void SetAutoRepaint(TCustomAxisPanel* Chart, bool Value) { Chart->AutoRepaint = Value; }
bool AutoRepaint(TCustomAxisPanel* Chart) { return Chart->AutoRepaint; }

}  // namespace series_link
