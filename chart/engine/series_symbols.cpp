// A series' legend symbol or gallery icon drawn outside a chart (editor lists).
#include <memory>

#include "chart/engine/chart.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/legend.h"
#include "chart/engine/series_helpers.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/guards.h"

void DrawSeriesSymbolOnCanvas(TChartSeries* Series, TCanvas* Canvas, const TRect& Rect, TCustomAxisPanel* Chart) {
  std::unique_ptr<TChart> temporary;
  TCustomAxisPanel* chart = Series->ParentChart();
  const bool attach = chart == nullptr;
  if (attach) {
    chart = Chart;
    if (!chart) {
      temporary = std::make_unique<TChart>(nullptr);
      chart = temporary.get();
    }
    Series->SetParentChart(chart);
  }
  TCanvas* old = chart->Canvas->TargetCanvas;
  TScopeExit restore([&] {
    chart->Canvas->SetCanvas(old);
    if (attach) Series->SetParentChart(nullptr);
  });
  if (auto* c = dynamic_cast<TCustomChart*>(chart)) {
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(c->Legend()->Color());
  }
  chart->Canvas->SetCanvas(Canvas);
  Series->DrawLegendSymbol(-1, Rect);
}

void DrawSeriesIcon(TCanvas* Canvas, TChartSeries* Series, int X, int Y) {
  auto bmp = std::make_unique<TBitmap>();
  LoadClassBitmap(Series, bmp.get());
  Canvas->Draw(X, Y, bmp.get());
}
