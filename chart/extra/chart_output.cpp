// Start-up and shutdown of the chart output module.
#include "chart/engine/html_text.h"
#include "chart/extra/chart_file.h"
#include "chart/extra/export_formats.h"
#include "chart/extra/picture_format.h"

namespace {
bool Started = false;
}  // namespace

void InitChartOutput() {
  if (Started) return;
  Started = true;
  RegisterClasses({TChart::StaticClass(), TChartChart::StaticClass(), TODBCChart::StaticClass()});
  RegisterExportFormat<TEMFExportFormat>();
  RegisterExportFormat<TBMPExportFormat>();
  TPicture::RegisterFileFormat("qvx", "Quorvex", [] { return new TChartImage(); });
  PictureKindHook = [](const std::string& Extension) { return PictureForExtension(Extension); };
}

void DoneChartOutput() {
  if (!Started) return;
  Started = false;
  PictureKindHook = nullptr;
  TPicture::UnregisterFileFormat("qvx");
  UnregisterExportFormat(TBMPExportFormat::StaticClass());
  UnregisterExportFormat(TEMFExportFormat::StaticClass());
  UnRegisterClasses({TChartChart::StaticClass(), TODBCChart::StaticClass()});
}
