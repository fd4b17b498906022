// Giving a chart one of the named palettes or colours of its own.
#include "chart/engine/axis_panel.h"
#include "chart/engine/registries.h"

#include <algorithm>

void TColorPalettes::ApplyPalette(TCustomAxisPanel* Chart, int Index) {
  Chart->CustomPalette = PaletteColors(Index);
  Chart->Invalidate();
}

void SetChartPalette(TCustomAxisPanel* Chart, const std::vector<TColor>& Colors, int HighIndex) {
  if (HighIndex < 0)
    Chart->CustomPalette.clear();
  else
    Chart->CustomPalette.assign(Colors.begin(), Colors.begin() + std::min<size_t>(Colors.size(), HighIndex + 1));
  Chart->AssignAutoSeriesColors();
}
