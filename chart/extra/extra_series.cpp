#include "chart/extra/extra_series.h"

#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/extra/arrow_series.h"
#include "chart/extra/function_tools_register.h"
#include "chart/extra/grid_series.h"
#include "chart/extra/more_series_register.h"
#include "chart/extra/series3d_types.h"

namespace {
bool Registered = false;
}  // namespace

void InitExtraSeries() {
  if (Registered) return;
  InitChartModule();
  Registered = true;
  RegisterSeries3DTypes();
  RegisterSeriesType(TColorGridSeries::StaticClass(), &MsgGalleryColorGrid, &MsgGalleryPage3D, 1);
  RegisterSeriesType(TArrowSeries::StaticClass(), &MsgGalleryArrow, &MsgPageExtended, 2);
  RegisterMoreSeries3DTypes();
  RegisterMoreSeries();
  RegisterFunctionsAndTools();
}

void DoneExtraSeries() {
  if (!Registered) return;
  Registered = false;
  if (!GraphSeriesTypesList()) return;
  UnregisterFunctionsAndTools();
  UnregisterMoreSeries();
  UnregisterSeriesTypes({TColorGridSeries::StaticClass(), TArrowSeries::StaticClass()});
  UnregisterSeries3DTypes();
}
