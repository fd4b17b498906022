#include "chart/extra/series3d_types.h"

#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/extra/surface_series.h"

void RegisterSeries3DTypes() {
  RegisterSeriesType(TSurfaceSeries::StaticClass(), &MsgGallerySurface, &MsgGalleryPage3D, 1);
  RegisterSeriesType(TWaterFallSeries::StaticClass(), &MsgGalleryWaterFall, &MsgGalleryPage3D, 1);
}

void UnregisterSeries3DTypes() {
  UnregisterSeriesTypes({TSurfaceSeries::StaticClass(), TWaterFallSeries::StaticClass()});
}
