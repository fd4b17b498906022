// A panel that offers the chart engine's drawing surface without axes or series: it paints its
// background like a chart panel, sets up the 3D projection of its canvas and lets the program
// draw whatever it wants in OnPaint.
#pragma once

#include <functional>

#include "chart/engine/graph_panel_ext.h"

using TDraw3DPaintEvent = std::function<void(TObject* Sender, const TRect& ARect)>;

class TDraw3D : public TCustomGraphPanelExtended {
  VM_CLASS(TDraw3D, TCustomGraphPanelExtended)
public:
  explicit TDraw3D(TComponent* AOwner);

  void DrawContents(const TRect& Rect) override;

  TDraw3DPaintEvent OnPaint;
};
