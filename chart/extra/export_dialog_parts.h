// The chart side of the export dialog. The dialog's own source speaks only of toolkit controls
// (the toolkit's panel header and the chart's shape header both name the bevel kinds), so what
// it needs of charts goes through these.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class TCustomChart;
class TCustomGraphPanel;
class TMemoryStream;
class TSeriesData;
class TStrings;

int ExportPanelWidth(TCustomGraphPanel* Panel);
int ExportPanelHeight(TCustomGraphPanel* Panel);
TCustomChart* ExportPanelChart(TCustomGraphPanel* Panel);
int ExportSeriesCount(TCustomChart* Chart);
// The series of the chart under their display titles, each with the series as its object.
void ExportListSeries(TCustomChart* Chart, TStrings* Items);
// The exporter for the format (0 text, 1 XML, 2 HTML, 3 spreadsheet); Series is an item object
// of ExportListSeries or nullptr.
TSeriesData* ExportNewData(int Format, TCustomChart* Chart, void* Series);
void ExportWriteNative(TCustomChart* Chart, TMemoryStream& Stream, bool IncludeData, bool Text);
void ExportWriteNativeFile(TCustomChart* Chart, const std::string& FileName, bool IncludeData, bool Text);
