// A chart holding one series of each of the bubble, Gantt, shape, Bezier, donut, box-plot, Smith,
// gauge, calendar, funnel, pyramid and volume-pipe types with a few points, for the chart file
// fuzz target's seeds.
#pragma once

#include "chart/engine/chart.h"
#include "chart/extra/bezier_donut_series.h"
#include "chart/extra/box_plot_series.h"
#include "chart/extra/bubble_gantt_series.h"
#include "chart/extra/calendar_series.h"
#include "chart/extra/funnel_series.h"
#include "chart/extra/gauge_series.h"
#include "chart/extra/pyramid_pipe_series.h"
#include "chart/extra/shape_series.h"
#include "chart/extra/smith_series.h"
#include "platform/datetime.h"

inline void BuildMoreSeriesChart(TChart& Chart) {
  int n = 0;
  auto add = [&](TChartSeries* S) {
    S->SetName("More" + std::to_string(++n));
    Chart.AttachSeries(S);
    return S;
  };
  auto* bubble = static_cast<TBubbleSeries*>(add(new TBubbleSeries(nullptr)));
  bubble->AddBubblePoint(1, 2, 0.5, "a");
  bubble->AddBubblePoint(2, 3, -1);
  auto* gantt = static_cast<TGanttSeries*>(add(new TGanttSeries(nullptr)));
  gantt->AddGanttTask(46000, 46010, 0, "Design");
  gantt->AddGanttTask(46012, 46009, 1, "Testing");
  gantt->NextTask()->SetValue(0, 1);
  auto* shape = static_cast<TChartShape*>(add(new TChartShape(nullptr)));
  shape->SetStyle(chasStar);
  shape->Text()->Add("abc");
  auto* bezier = static_cast<TBezierSeries*>(add(new TBezierSeries(nullptr)));
  for (int i = 0; i < 7; ++i) bezier->AddXY(i, i % 3);
  bezier->SetBezierStyle(bsBezier4);
  auto* donut = static_cast<TDonutSeries*>(add(new TDonutSeries(nullptr)));
  donut->AddY(3, "x");
  donut->AddY(1, "y");
  auto* box = static_cast<TBoxSeries*>(add(new TBoxSeries(nullptr)));
  for (double v : {1.0, 2.0, 3.0, 4.0, 20.0}) box->AddValue(v);
  box->SetPosition(2);
  auto* smith = static_cast<TSmithSeries*>(add(new TSmithSeries(nullptr)));
  smith->AddImpedance(1, 0.5);
  smith->AddImpedance(0.2, -1);
  auto* gauge = static_cast<TGaugeSeries*>(add(new TGaugeSeries(nullptr)));
  gauge->SetValue(42);
  auto* calendar = static_cast<TCalendarSeries*>(add(new TCalendarSeries(nullptr)));
  calendar->SetDate(EncodeDate(2026, 3, 18));
  auto* funnel = static_cast<TFunnelSeries*>(add(new TFunnelSeries(nullptr)));
  funnel->AddSegment(100, 75, "s1");
  funnel->AddSegment(50, 60, "s2");
  funnel->Recalc();
  auto* pyramid = static_cast<TPyramidSeries*>(add(new TPyramidSeries(nullptr)));
  pyramid->AddY(1);
  pyramid->AddY(2);
  auto* pipe = static_cast<TVolumePipeSeries*>(add(new TVolumePipeSeries(nullptr)));
  pipe->AddY(5);
  pipe->AddY(7);
}
