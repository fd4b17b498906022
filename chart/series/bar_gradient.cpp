#include "chart/series/bar_gradient.h"

#include <cmath>

#include "chart/engine/chart_pens.h"
#include "platform/sysutils.h"

VM_PUBLISH(TBarSeriesGradient) {
  P.Bool("Relative", &TBarSeriesGradient::Relative, &TBarSeriesGradient::SetRelative).Default(false);
}

TBarSeriesGradient::TBarSeriesGradient(const TNotifyEvent& OnChangeEvent) : TGraphGradient(OnChangeEvent) {}

void TBarSeriesGradient::Assign(TPersistent* Source) {
  if (auto* g = dynamic_cast<TBarSeriesGradient*>(Source)) FRelative = g->FRelative;
  TGraphGradient::Assign(Source);
}

void TBarSeriesGradient::SetRelative(bool Value) {
  if (FRelative == Value) return;
  FRelative = Value;
  Changed();
}

TColor TBarSeriesGradient::EndColorFor(TColor BarColor, double Value, double Low, double High) const {
  if (!FRelative || High == Low) return BarColor;
  const double r = (Value - Low) / (High - Low);
  const TColor s = ColorToRGB(StartColor()), b = ColorToRGB(BarColor);
  TColor result = 0;
  for (int shift : {0, 8, 16}) {
    const int from = (s >> shift) & 0xFF, to = (b >> shift) & 0xFF;
    const int channel = std::clamp(from + static_cast<int>(Round((to - from) * r)), 0, 255);
    result |= static_cast<TColor>(channel) << shift;
  }
  return result;
}

void TBarSeriesGradient::FillBar(TCanvas3D* Canvas, const TRect& Bar, TColor EndColor, const TChartPen* Pen, bool Is3D,
                                 bool Orthogonal, int Z) const {
  TBarSeriesGradient g;
  g.Assign(const_cast<TBarSeriesGradient*>(this));
  g.SetEndColor(EndColor);
  const bool framed = Pen && Pen->Visible();
  const int w = framed ? Pen->Width() : 0;
  if (Is3D && !Orthogonal) {
    TQuadPoints q = Canvas->ProjectRectCorners(Bar, Z);
    if (framed) {
      // Each corner moves inward by the pen width in both directions.
      q[0].X += w, q[0].Y += w;
      q[1].X -= w, q[1].Y += w;
      q[2].X -= w, q[2].Y -= w;
      q[3].X += w, q[3].Y -= w;
    }
    g.DrawQuad(Canvas, q);
    return;
  }
  TRect r = Bar;
  if (framed) {
    r.Left += 1;
    r.Top += 1;
    r.Right -= w - (Is3D ? 1 : 0);
    r.Bottom -= w - (Is3D ? 1 : 0);
  }
  if (Is3D) r = Canvas->ProjectRect(r, Z);
  if (r.Right > r.Left && r.Bottom > r.Top) g.Draw(Canvas, r);
}
