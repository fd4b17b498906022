// The published properties of the chart component and of the objects it owns (axes, titles,
// legend, walls), the tables that component streaming, the native chart file and editors read.
// Each table is attached to its class where the class's metaclass is defined.
#pragma once

class TPropertyTable;

void PublishCustomAxisPanel(TPropertyTable& Table);
void PublishCustomChart(TPropertyTable& Table);
void PublishChartAxis(TPropertyTable& Table);
void PublishChartAxisTitle(TPropertyTable& Table);
void PublishAxisGridPen(TPropertyTable& Table);
void PublishLegendSymbol(TPropertyTable& Table);
void PublishCustomChartLegend(TPropertyTable& Table);
void PublishCustomChartWall(TPropertyTable& Table);
void PublishChartTitle(TPropertyTable& Table);
