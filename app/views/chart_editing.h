// The chart editor of a view: one editor component per view, opened on one of its charts.
#pragma once

#include <string>

class TChartEditor;
class TComponent;
class TControl;
class TCustomChart;
class TMenuItem;
class TPopupMenu;

// Opens the editor on Chart (made on first use, owned by Owner) and repaints the chart after it.
// Nothing without a chart.
void EditViewChart(TComponent* Owner, TChartEditor*& Editor, TCustomChart* Chart);
// A pop-up menu for Chart (owned by it) with one entry of that caption that opens the editor on Chart.
TPopupMenu* ChartEditorPopup(TComponent* Owner, TChartEditor*& Editor, TCustomChart* Chart, const std::string& Caption);
