#include "chart/extra/series3d_types.h"

#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/extra/bspline.h"
#include "chart/extra/contour_series.h"
#include "chart/extra/draw3d_panel.h"
#include "chart/extra/lighting_tool.h"
#include "chart/extra/lighting_tool_editor.h"
#include "chart/extra/map_series.h"
#include "chart/extra/point3d_series.h"
#include "chart/extra/surface_nearest_tool.h"
#include "chart/extra/surface_series.h"
#include "chart/extra/trisurface_series.h"
#include "chart/extra/vector_tower_series.h"

void RegisterSeries3DTypes() {
  // The surface-nearest tool finds its cells in the painter's order of the surface it follows.
  SurfaceCellAccess.IsSurface = [](TChartSeries* S) { return dynamic_cast<TSurfaceSeries*>(S) != nullptr; };
  SurfaceCellAccess.DrawSteps = [](TChartSeries* S, int32_t& ColumnStep, int32_t& RowStep) {
    const TSurfaceSeries::TDrawOrder order = static_cast<TSurfaceSeries*>(S)->SetDrawOrder();
    ColumnStep = order.ColumnStep;
    RowStep = order.RowStep;
  };
  RegisterSeriesType(TSurfaceSeries::StaticClass(), &MsgGallerySurface, &MsgGalleryPage3D, 1);
  RegisterSeriesType(TContourSeries::StaticClass(), &MsgGalleryContour, &MsgGalleryPage3D, 1);
  RegisterSeriesType(TWaterFallSeries::StaticClass(), &MsgGalleryWaterFall, &MsgGalleryPage3D, 1);
  RegisterFunctionType(TSmoothingFunction::StaticClass(), &MsgFunctionSmoothing, &MsgPageExtended, 1);
}

void RegisterMoreSeries3DTypes() {
  RegisterSeriesType(TVector3DSeries::StaticClass(), &MsgGalleryVector3D, &MsgGalleryPage3D, 1);
  RegisterSeriesType(TTowerSeries::StaticClass(), &MsgGalleryTower, &MsgGalleryPage3D, 1);
  RegisterSeriesType(TTriSurfaceSeries::StaticClass(), &MsgGalleryTriangleSurf, &MsgGalleryPage3D, 1);
  RegisterSeriesType(TPoint3DSeries::StaticClass(), &MsgGalleryPoint3D, &MsgGalleryPage3D, 1);
  RegisterSeriesType(TBubble3DSeries::StaticClass(), &MsgGalleryBubble3D, &MsgGalleryPage3D, 1);
  RegisterSeriesType(TMapSeries::StaticClass(), &MsgGalleryMap, &MsgPageExtended, 1);
  RegisterToolTypes({TLightTool::StaticClass()});
  RegisterClass(TDraw3D::StaticClass());
  RegisterClass(TLightToolEditor::StaticClass());
}

void UnregisterSeries3DTypes() {
  UnregisterToolTypes({TLightTool::StaticClass()});
  FreeLightResult();
  UnregisterSeriesTypes(
      {TSurfaceSeries::StaticClass(), TContourSeries::StaticClass(), TWaterFallSeries::StaticClass()});
  UnregisterFunctionTypes({TSmoothingFunction::StaticClass()});
  UnregisterSeriesTypes({TVector3DSeries::StaticClass(), TTowerSeries::StaticClass(), TMapSeries::StaticClass()});
  UnregisterSeriesTypes(
      {TTriSurfaceSeries::StaticClass(), TPoint3DSeries::StaticClass(), TBubble3DSeries::StaticClass()});
}
