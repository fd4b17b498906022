#include "chart/extra/more_series_register.h"

#include "chart/extra/bezier_donut_series.h"
#include "chart/extra/box_plot_series.h"
#include "chart/extra/bubble_gantt_series.h"
#include "chart/extra/calendar_series.h"
#include "chart/extra/funnel_series.h"
#include "chart/extra/gantt_page_tools.h"
#include "chart/extra/gauge_series.h"
#include "chart/extra/image_series.h"
#include "chart/extra/point_bar_variants.h"
#include "chart/extra/point_figure_series.h"
#include "chart/extra/pyramid_pipe_series.h"
#include "chart/extra/shape_series.h"
#include "chart/extra/smith_series.h"
#include "chart/extra/surface_nearest_tool.h"
#include "chart/extra/windrose_clock_series.h"

void RegisterMoreSeries() {
  RegisterBubbleGanttSeries();
  RegisterGanttPageTools();
  RegisterBezierDonutSeries();
  RegisterBoxPlotSeries();
  RegisterSmithSeries();
  RegisterGaugeSeries();
  RegisterCalendarSeries();
  RegisterFunnelSeries();
  RegisterPyramidPipeSeries();
  RegisterShapeSeries();
  RegisterPointFigureSeries();
  RegisterWindRoseClockSeries();
  RegisterPointBarVariants();
  RegisterImageSeries();
  RegisterSurfaceNearestTool();
}

void UnregisterMoreSeries() {
  UnregisterSurfaceNearestTool();
  UnregisterImageSeries();
  UnregisterPointBarVariants();
  UnregisterWindRoseClockSeries();
  UnregisterPointFigureSeries();
  UnregisterShapeSeries();
  UnregisterPyramidPipeSeries();
  UnregisterFunnelSeries();
  UnregisterCalendarSeries();
  UnregisterGaugeSeries();
  UnregisterSmithSeries();
  UnregisterBoxPlotSeries();
  UnregisterBezierDonutSeries();
  UnregisterGanttPageTools();
  UnregisterBubbleGanttSeries();
}
