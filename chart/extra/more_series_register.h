// Start-up and shutdown of the bubble, Gantt, shape, donut, box-plot, Smith, gauge, calendar,
// funnel, pyramid and other 2D series types and their tools (called by the extra series module).
#pragma once

void RegisterMoreSeries();
void UnregisterMoreSeries();
