// Start-up and shutdown of the chart output module.
#include "chart/extra/chart_file.h"

namespace {
bool Started = false;
}  // namespace

void InitChartOutput() {
  if (Started) return;
  Started = true;
  RegisterClasses({TChart::StaticClass(), TChartChart::StaticClass(), TODBCChart::StaticClass()});
}

void DoneChartOutput() {
  if (!Started) return;
  Started = false;
  UnRegisterClasses({TChartChart::StaticClass(), TODBCChart::StaticClass()});
}
