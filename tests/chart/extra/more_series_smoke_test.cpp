// Every series type of this family in flat, orthogonal and rotated views, empty, with its sample
// values and with one point: drawn without fault, and clicks anywhere answer an index in range.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "chart/engine/chart_pens.h"
#include "chart/engine/registries.h"
#include "chart/extra/bezier_donut_series.h"
#include "chart/extra/box_plot_series.h"
#include "chart/extra/bubble_gantt_series.h"
#include "chart/extra/calendar_series.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/funnel_series.h"
#include "chart/extra/gauge_series.h"
#include "chart/extra/image_series.h"
#include "chart/extra/point_bar_variants.h"
#include "chart/extra/point_figure_series.h"
#include "chart/extra/pyramid_pipe_series.h"
#include "chart/extra/shape_series.h"
#include "chart/extra/smith_series.h"
#include "chart/extra/windrose_clock_series.h"
#include "chart/series/standard_series.h"
#include "platform/datetime.h"
#include "chart/series/testkit/series_testkit.h"

TEST(MoreSeries, EveryTypeDrawsEmptySampledAndSingleInEveryView) {
  InitStandardSeries();
  InitExtraSeries();
  const std::vector<TChartSeriesClass> classes = {
      TBubbleSeries::StaticClass(),      TGanttSeries::StaticClass(),      TChartShape::StaticClass(),
      TBezierSeries::StaticClass(),      TDonutSeries::StaticClass(),      TWindRoseSeries::StaticClass(),
      TClockSeries::StaticClass(),       TBoxSeries::StaticClass(),        THorizBoxSeries::StaticClass(),
      TSmithSeries::StaticClass(),       TCalendarSeries::StaticClass(),   TFunnelSeries::StaticClass(),
      TPyramidSeries::StaticClass(),     TVolumePipeSeries::StaticClass(), TGaugeSeries::StaticClass(),
      TPointFigureSeries::StaticClass(), TMyPointSeries::StaticClass(),    TBarJoinSeries::StaticClass(),
      TBar3DSeries::StaticClass(),       TBigCandleSeries::StaticClass(),  TImageBarSeries::StaticClass(),
      TImagePointSeries::StaticClass(),  TDeltaPointSeries::StaticClass()};
  for (TChartSeriesClass k : classes) {
    ASSERT_NE(GraphSeriesTypesList()->FindSeriesType(k), nullptr) << k->ClassName();
    for (int view = 0; view < 3; ++view) {
      SCOPED_TRACE(k->ClassName() + " view " + std::to_string(view));
      TSeriesChart c(view > 0, 300, 240);
      auto* s = static_cast<TChartSeries*>(k->Create(nullptr));
      c.Chart.AttachSeries(s);
      c.Chart.SetView3D(view > 0);
      c.Chart.View3DOptions()->SetOrthogonal(view == 1);
      if (view == 2) c.Chart.View3DOptions()->SetRotation(340);
      const std::vector<std::function<void()>> fills = {[&] { s->ClearValues(); }, [&] { s->FillSampleValues(9); },
                                                        [&] { s->FillSampleValues(1); }};
      for (const auto& fill : fills) {
        fill();
        EXPECT_NO_THROW(c.Render());
        for (int y = 0; y < 240; y += 37)
          for (int x = 0; x < 300; x += 41) {
            const int i = s->PointIndexAt(x, y);
            EXPECT_TRUE(i >= -1 && i < std::max(1, s->PointCount())) << i;
          }
      }
    }
  }
}

// Values the series do not expect: negative sizes and values, zero totals, tasks ending before
// they start, a clock at time 0, a gauge value far outside its scale, one box-plot sample.
TEST(MoreSeries, OddValuesDrawWithoutFault) {
  InitStandardSeries();
  InitExtraSeries();
  const std::vector<std::function<void(TSeriesChart&)>> cases = {
      [](TSeriesChart& c) { c.Add<TBubbleSeries>()->AddBubblePoint(1, 1, -5); },
      [](TSeriesChart& c) { c.Add<TGanttSeries>()->AddGanttTask(10, 2, 0); },
      [](TSeriesChart& c) {
        auto* s = c.Add<TChartShape>();
        s->SetXYStyle(xysAxisOrigin);
        s->SetX1(-40);
        s->SetY1(-30);
      },
      [](TSeriesChart& c) {
        auto* s = c.Add<TClockSeries>();
        s->OnGetTime = [](TClockSeries*, TDateTime& T) { T = 0; };
      },
      [](TSeriesChart& c) { c.Add<TGaugeSeries>()->SetValue(-1e6); },
      [](TSeriesChart& c) { c.Add<TBoxSeries>()->AddValue(3); },
      [](TSeriesChart& c) {
        auto* s = c.Add<TFunnelSeries>();
        s->AddSegment(-10, 5);
        s->AddSegment(0, 0);
        s->Recalc();
      },
      [](TSeriesChart& c) {
        auto* s = c.Add<TPyramidSeries>();
        s->AddY(0);
        s->AddY(0);
      },
      [](TSeriesChart& c) {
        auto* s = c.Add<TVolumePipeSeries>();
        s->AddY(-4);
        s->AddY(2);
      },
      [](TSeriesChart& c) { c.Add<TBar3DSeries>()->AddBar(0, -3, 5); },
      [](TSeriesChart& c) {
        auto* s = c.Add<TPointFigureSeries>();
        s->AddOHLCPoint(0, 5, 1, 9, 5);  // high below low
      },
  };
  for (size_t k = 0; k < cases.size(); ++k) {
    for (bool view3D : {false, true}) {
      TSeriesChart c(view3D);
      cases[k](c);
      EXPECT_NO_THROW(c.Render()) << k;
      for (int y = 0; y < 300; y += 29)
        for (int x = 0; x < 400; x += 31) EXPECT_NO_THROW(c.Chart.SeriesAt(0)->PointIndexAt(x, y));
    }
  }
}
