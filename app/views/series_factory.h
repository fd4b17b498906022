// The series factory: every curve series of the program's views is made here, with the display
// settings of PlotSettings, so curves of the same number look the same in every window.
#pragma once

#include <array>

#include "chart/engine/series_base.h"
#include "chart/engine/series_pointer.h"

class TComponent;
class TCustomAxisPanel;

// The colour of curve I (1-based): the curve colours repeat after 10.
TColor SeriesColor(int I);
// The point style of curve I (1-based): the point styles repeat after 9.
TSeriesPointerStyle SeriesPointerStyle(int I);
// The colour of an estimate of a curve drawn in CurveColour by its mask value: 0 (rejected in the
// file) and 2 (removed by editing) take their own colours, 1 (used) the curve's; anything else black.
TColor MaskColour(TColor CurveColour, int MaskValue);

// The two-click band of the line tools: the first click keeps its position in At[1] and returns
// false; the second keeps At[2], orders the pair (At[1] <= At[2]), starts over and returns true.
bool BandClick(int& Clicks, std::array<int, 3>& At, int Position);

// OuterCount x InnerCount error-point series owned by Owner and added to Chart; series (i, j)
// has the colour of curve i and the point style of j. Each series' Tag is its 1-based position
// among the chart's series.
void CreateErrPointSeriesSet(TComponent* Owner, TCustomAxisPanel* Chart, int OuterCount, const TSeriesClick& OnClick,
                             int InnerCount = 1);
// Count polar series owned by Owner and added to Chart, for the complex plane: series i (1-based)
// has the colour of curve i, a down-triangle pointer when i is odd and a triangle when even, an
// open circle, and points kept in the order they are added.
void CreatePolarSeriesSet(TComponent* Owner, TCustomAxisPanel* Chart, int Count, const TSeriesClick& OnClick);
