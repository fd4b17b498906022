// The gradient of bars drawn in the gradient style: from its start colour to the bar's colour, or,
// with Relative, to a colour between the two in proportion to the bar's value in the series.
#pragma once

#include "chart/engine/graph_canvas.h"
#include "chart/engine/graph_effects.h"

class TChartPen;

class TBarSeriesGradient : public TGraphGradient {
  VM_CLASS(TBarSeriesGradient, TGraphGradient)
public:
  explicit TBarSeriesGradient(const TNotifyEvent& OnChangeEvent = nullptr);
  void Assign(TPersistent* Source) override;

  bool Relative() const { return FRelative; }
  void SetRelative(bool Value);

  // The colour a bar's gradient ends in: the bar colour, or with Relative each channel moved
  // from the start colour towards the bar colour by (Value - Low) / (High - Low) (a series of
  // one value ends in the bar colour).
  TColor EndColorFor(TColor BarColor, double Value, double Low, double High) const;

  // Fills the bar rectangle (left, top, right, bottom) with the gradient ending in EndColor: flat,
  // projected at depth Z in an orthogonal 3D view, or through its four projected corners in a
  // rotated view. A visible pen keeps its outline clear of the fill.
  void FillBar(TCanvas3D* Canvas, const TRect& Bar, TColor EndColor, const TChartPen* Pen, bool Is3D, bool Orthogonal,
               int Z) const;

private:
  bool FRelative = false;
};
