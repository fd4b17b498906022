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

// Axis titles renamed in the chart editor. A view gives its axes their titles again on every
// refresh; a title the user renamed is kept by the title the view gives, so the user's wording
// comes back wherever the view shows that title. They last for the session: the settings file keeps
// the chart limits of section "TChart", not the axis titles.
// The user's title for the title a view gives (Given itself when none was renamed).
std::string KeptAxisTitle(const std::string& Given);
// Gives every axis of Chart the user's title for the title it has (a view calls it after setting them).
void ApplyKeptAxisTitles(TCustomChart* Chart);
// Forgets every renamed title (tests).
void ClearKeptAxisTitles();
