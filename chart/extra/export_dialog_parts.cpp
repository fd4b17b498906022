#include "chart/extra/export_dialog_parts.h"

#include "chart/engine/chart.h"
#include "chart/engine/series_base.h"
#include "chart/extra/chart_file.h"
#include "chart/extra/series_export.h"
#include "platform/streams.h"
#include "platform/strings.h"

int ExportPanelWidth(TCustomGraphPanel* Panel) { return Panel ? Panel->Width() : 0; }
int ExportPanelHeight(TCustomGraphPanel* Panel) { return Panel ? Panel->Height() : 0; }
TCustomChart* ExportPanelChart(TCustomGraphPanel* Panel) { return dynamic_cast<TCustomChart*>(Panel); }
int ExportSeriesCount(TCustomChart* Chart) { return Chart ? Chart->CountSeries() : 0; }

void ExportListSeries(TCustomChart* Chart, TStrings* Items) {
  if (!Chart) return;
  for (int i = 0; i < Chart->CountSeries(); ++i) {
    std::string title;
    SeriesDisplayTitle(Chart->SeriesAt(i), title);
    Items->AddObject(title, Chart->SeriesAt(i));
  }
}

TSeriesData* ExportNewData(int Format, TCustomChart* Chart, void* Series) {
  auto* s = dynamic_cast<TChartSeries*>(static_cast<TObject*>(Series));
  switch (Format) {
    case 1:
      return new TSeriesDataXML(Chart, s);
    case 2:
      return new TSeriesDataHTML(Chart, s);
    case 3:
      return new TSeriesDataXLS(Chart, s);
    default:
      return new TSeriesDataText(Chart, s);
  }
}

void ExportWriteNative(TCustomChart* Chart, TMemoryStream& Stream, bool IncludeData, bool Text) {
  if (Chart) WriteNativeChart(Chart, Stream, IncludeData, Text);
}

void ExportWriteNativeFile(TCustomChart* Chart, const std::string& FileName, bool IncludeData, bool Text) {
  if (Chart) WriteNativeChartFile(Chart, FileName, IncludeData, Text);
}
