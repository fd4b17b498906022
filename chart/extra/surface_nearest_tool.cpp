#include "chart/extra/surface_nearest_tool.h"

#include "chart/engine/axis_panel.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/grid_series.h"

VM_PUBLISH(TSurfaceNearestTool) {
  using S = TSurfaceNearestTool;
  P.Int("CellColor", &S::CellColor, &S::SetCellColor).Default(clRed);
  P.Int("ColumnColor", &S::ColumnColor, &S::SetColumnColor).Default(clGreen);
  P.Int("RowColor", &S::RowColor, &S::SetRowColor).Default(clBlue);
  P.Event("OnSelectCell", &S::OnSelectCell);
}

TSurfaceCellAccess SurfaceCellAccess;

namespace {
bool NamedSurface(TChartSeries* Series) {
  for (TClass c = Series ? Series->ClassType() : nullptr; c; c = c->ClassParent())
    if (c->ClassName() == "TSurfaceSeries") return true;
  return false;
}
}  // namespace

void TSurfaceNearestTool::SetSeries(TChartSeries* Value) {
  const bool surface = SurfaceCellAccess.IsSurface ? SurfaceCellAccess.IsSurface(Value) : NamedSurface(Value);
  TGraphCustomToolSeries::SetSeries(surface && dynamic_cast<TCustom3DSeries*>(Value) ? Value : nullptr);
  FCell = -1;
}

void TSurfaceNearestTool::GetDescription(std::string& Text) { Text = MsgGallerySurfaceNearest; }

void TSurfaceNearestTool::HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton, TShiftState, int X, int Y) {
  auto* s = dynamic_cast<TCustom3DSeries*>(Series());
  if (Kind != meMove || !s || !Active()) return;
  const int32_t i = s->PointIndexAt(X, Y);
  if (i == FCell) return;
  FCell = i;
  TCustomAxisPanel* chart = ParentChart();
  const bool autoRepaint = chart && series_link::AutoRepaint(chart);
  if (chart) series_link::SetAutoRepaint(chart, false);
  const int32_t n = s->PointCount();
  if (i < 0 || i >= n) {
    for (int32_t j = 0; j < n; ++j) s->SetPointColorAt(j, clAutoColor);
  } else {
    int32_t columnStep = 1, rowStep = 1;
    if (SurfaceCellAccess.DrawSteps) SurfaceCellAccess.DrawSteps(s, columnStep, rowStep);
    TChartValueList* xs = s->XValues();
    TChartValueList* zs = s->ZValues();
    double x0 = xs->Value(i), z0 = zs->Value(i);
    if (columnStep == 1) x0 -= 1;
    if (rowStep == -1) z0 += 1;
    for (int32_t j = 0; j < n; ++j) {
      const bool sameX = xs->Value(j) == x0, sameZ = zs->Value(j) == z0;
      s->SetPointColorAt(j, sameX && sameZ ? FCellColor : sameX ? FRowColor : sameZ ? FColumnColor : clAutoColor);
    }
  }
  if (chart) {
    series_link::SetAutoRepaint(chart, autoRepaint);
    series_link::Invalidate(chart);
  }
  if (OnSelectCell) OnSelectCell(this);
}

void RegisterSurfaceNearestTool() { RegisterToolTypes({TSurfaceNearestTool::StaticClass()}); }
void UnregisterSurfaceNearestTool() { UnregisterToolTypes({TSurfaceNearestTool::StaticClass()}); }
