// Creating, naming, duplicating and exchanging series, the flags of a series' stored points, and
// drawing a series' symbol or icon outside a chart.
#pragma once

#include <cstdint>
#include <string>

#include "chart/engine/graph_function.h"
#include "chart/engine/series_base.h"

class TCanvas;
class TCustomAxisPanel;

std::string UniqueSeriesName(TComponent* Owner);
TChartSeries* MakeSeriesOfClass(TComponent* Owner, TCustomAxisPanel* Chart, TChartSeriesClass SeriesClass,
                                TGraphFunctionClass FunctionClass = nullptr);
TGraphFunction* MakeFunctionForSeries(TChartSeries* Series, TGraphFunctionClass FunctionClass);
TChartSeries* DuplicateSeries(TChartSeries* Series);
TChartSeries* ConvertSeriesClass(TChartSeries*& Series, TChartSeriesClass NewClass);
void ReplaceSeries(TChartSeries*& Old, TChartSeries* New);

// Paints the series' legend symbol into Canvas (through Chart, or a temporary chart when the
// series has none); the chart canvas is always given back its own target.
void DrawSeriesSymbolOnCanvas(TChartSeries* Series, TCanvas* Canvas, const TRect& Rect, TCustomAxisPanel* Chart);
// Draws the gallery icon of the series' class with its top-left corner at X, Y.
void DrawSeriesIcon(TCanvas* Canvas, TChartSeries* Series, int X, int Y);

// The flags byte of a series' "Data": 1 positions, 2 colours, 4 labels, 8 moved marks.
bool SeriesHasXValues(TChartSeries* Series);
bool SeriesHasColors(TChartSeries* Series);
bool SeriesHasLabels(TChartSeries* Series);
uint8_t GetSeriesDataFlags(TChartSeries* Series);
