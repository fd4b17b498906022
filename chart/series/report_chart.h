// The chart printed in a report band: a printable control that owns one dataset chart, which
// never shows on screen itself and is drawn (as a bitmap or a metafile) into the printable
// control's rectangle, on the preview and on the printed page.
#pragma once

#include <functional>

#include "chart/series/db_chart.h"
#include "platform/reports.h"

class TRpChart;

enum TGraphQuickMethod { qtmBitmap, qtmMetafile };
using TPrintChartEvent = std::function<void(TRpChart* Sender, const TRect& PrintRect, const TRect& ChartRect)>;

class TRpDBChart : public TCustomDBChart {
  VM_CLASS(TRpDBChart, TCustomDBChart)
public:
  explicit TRpDBChart(TComponent* AOwner);

  // With a printable parent: its client size scaled back by the report's zoom, so the chart
  // keeps its proportions and detail at any zoom.
  void GetPanelRect(TRect& Rect) override;
  // The parent shows the chart: it is the one invalidated.
  void Invalidate() override;
  // Renders the chart by the parent's method and stretches it onto the parent's canvas.
  void PaintOnParent();
};

class TRpChart : public TRpControl {
  VM_CLASS(TRpChart, TRpControl)
public:
  explicit TRpChart(TComponent* AOwner);

  // The first child control when it is a report chart, else none.
  TRpDBChart* Chart() const;
  TGraphQuickMethod GraphPrintMethod() const { return FGraphPrintMethod; }
  void SetGraphPrintMethod(TGraphQuickMethod Value);
  TPrintChartEvent OnPrint;

  void Print(double OffsetX, double OffsetY) override;
  // A stored layout brings its own chart: one made before (not being loaded, not inherited) goes.
  void ReadState(TReader* Reader) override;
  // The chart rendered by GraphPrintMethod over Rect and stretched onto Canvas into Target.
  void RenderChart(TCanvas* Canvas, const TRect& Rect, const TRect& Target);

protected:
  void Paint() override;

private:
  TGraphQuickMethod FGraphPrintMethod = qtmMetafile;
};

// Registers the report chart classes for streaming (the program calls it once at start-up).
void RegisterReportChartClasses();
