#include "chart/extra/draw3d_panel.h"

#include "chart/engine/graph_canvas.h"

VM_PUBLISH(TDraw3D) { P.Event("OnPaint", &TDraw3D::OnPaint); }

TDraw3D::TDraw3D(TComponent* AOwner) : TCustomGraphPanelExtended(AOwner) {}

void TDraw3D::DrawContents(const TRect& Rect) {
  // Changes the handlers make while painting do not ask for another paint.
  const bool repaint = AutoRepaint;
  AutoRepaint = false;
  try {
    const TRect copy = Rect;
    const bool full = Canvas->SupportsFullRotation();
    if (!full) DrawPanelBackground(copy);
    CalcChartRectSize();
    Width3D = 100;
    Canvas->Projection(Width3D, ChartBounds, ChartRect);
    Canvas->Projection(Width3D, ChartBounds, ChartRect);
    if (full) {
      const TRect saved = ChartRect;
      ChartRect = copy;
      DrawPanelBackground(Rect);
      ChartRect = saved;
    }
    Canvas->ResetState();
    if (OnPaint) OnPaint(this, Rect);
    if (Zoom()->Active) DrawZoomRectangle();
    Canvas->ResetState();
    if (OnAfterDraw) OnAfterDraw(this);
  } catch (...) {
    AutoRepaint = repaint;
    throw;
  }
  AutoRepaint = repaint;
}
