// The plot types of the views, the map from a curve to its parameter number, and the
// editable property rows (axis limits and drawing switches) of a view's charts.
#pragma once

#include "mtdata/mt_types.h"
#include "platform/types.h"

#include <string>
#include <string_view>
#include <vector>

// One plot type: its charts are numbered FirstChart..LastChart (at most 1..2). The frequency
// axis is always logarithmic and reversed.
struct TPlotTypeInfo {
  std::string_view Title;
  int FirstChart = 1;
  int LastChart = 1;
  TStaticArray<std::string_view, 1, 2> ChartTitles;
  TStaticArray<std::string_view, 1, 2> AxisTitles;  // value axis of each chart
  TStaticArray<bool, 1, 2> LogAxis;                 // value axis logarithmic
  std::string_view FreqAxisTitle;
};

constexpr int PlotTypeCount = 11;
extern const TStaticArray<TPlotTypeInfo, 0, 10> PlotTypes;
extern const TStaticArray<int, 0, 10> PlotCurveCounts;

// [plot 0..10][magnitude 1 / phase 2][value 1 / variance 2][curve 0..11]: parameter number,
// 0 for none.
using TPlotMapTable = TFixedArray<int, TBounds<0, 10>, TBounds<1, 2>, TBounds<1, 2>, TBounds<0, 11>>;
extern const TPlotMapTable PlotMapTable;
// The same table under the name the views use.
inline const TPlotMapTable& PlotParameterMap = PlotMapTable;

// Plots[Row][parameter of the curve]; an entry of 0 gives element 0 of the row. Any index out
// of range raises ERangeError.
double GetPlotValue(const TPlots& Plots, int Row, int Plot, int Curve, int ValErr, int MagPh);
// The same, but an index out of range logs the arguments and gives 0.
double GetPlotValueLogged(const TPlots& Plots, int Row, int Plot, int Curve, int ValErr, int MagPh);

// Editor kinds of the property window.
enum : int { pkText = 1, pkCheck = 4, pkSpin = 7 };

// One editable property; a row without caption is not shown.
struct TPropRec {
  int Id = 0;        // unique row number, the property window's row tag
  int ParentId = 0;  // row under which it is nested
  int Group = 0;
  int Kind = 0;  // pkText, pkCheck, pkSpin
  std::string Caption;
  std::string Name;   // the key
  std::string Value;  // Booleans "True" or "False"
};

// The rows a view hands to the property window.
struct TPropTable {
  TObject* Panel = nullptr;  // the chart panel the rows belong to
  std::vector<TPropRec> Rows;
};

// The rows currently shown.
extern TPropTable PropTable;
// [plot 0..10][chart 1..2][row 1..3]: ids 9 + 6 * plot + 3 * (chart - 1) + (row - 1).
extern TFixedArray<TPropRec, TBounds<0, 10>, TBounds<1, 2>, TBounds<1, 3>> PlotPropRows;
// Shown with every chart: ids 1..8 and 109.
extern TStaticArray<TPropRec, 1, 9> CommonPropRows;

// Restores both row tables to their start-up values.
void ResetPropRows();

// PropTable := the non-empty rows of the chart, then the common rows.
void FillPropRows(int Plot, int Chart, TObject* Panel);
// Copies the values of PropTable into the rows of the same id.
void StorePropRows();

// Applies rows to the settings by key: "XMin", "XMax", "YMin", "YMax" as numbers, "PointSize"
// as an integer of at least 1, the switches as True when the value is exactly "True".
void PropRowsToPlotSettings(const std::vector<TPropRec>& Rows, TPlotSettings& Settings);
