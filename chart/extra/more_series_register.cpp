#include "chart/extra/more_series_register.h"

#include "chart/extra/bubble_gantt_series.h"
#include "chart/extra/gantt_page_tools.h"

void RegisterMoreSeries() {
  RegisterBubbleGanttSeries();
  RegisterGanttPageTools();
}

void UnregisterMoreSeries() {
  UnregisterGanttPageTools();
  UnregisterBubbleGanttSeries();
}
