// Small pieces the chart tests share: a line series drawn through the chart's axes, a tool that
// logs the stages it is told, and a chart drawing through a recording canvas.
#pragma once

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/tool_base.h"
#include "chart/engine/chart.h"
#include "chart/engine/series_base.h"
#include "chart/engine/testkit/recording_canvas.h"

// A line through the points (values that cannot be drawn are skipped).
class TTestLineSeries : public TChartSeries {
public:
  explicit TTestLineSeries(TComponent* AOwner) : TChartSeries(AOwner) { LimitVisibleRange = false; }
  void DrawVisiblePoints() override {
    TCustomAxisPanel* chart = ParentChart();
    TChartAxis* h = GetHorizAxis() ? GetHorizAxis() : chart->BottomAxis();
    TChartAxis* v = GetVertAxis() ? GetVertAxis() : chart->LeftAxis();
    std::vector<TPoint> pts;
    for (int i = std::max(0, FirstValueIndex); i <= LastValueIndex && i < PointCount(); ++i) {
      const double x = XValueAt(i), y = YValueAt(i);
      if (!std::isfinite(x) || !std::isfinite(y)) continue;
      pts.push_back(TPoint(h->ValueToPixel(x), v->ValueToPixel(y)));
    }
    chart->Canvas->AssignVisiblePen(Pen());
    chart->Canvas->Pen->SetColor(SeriesColor());
    if (pts.size() > 1) chart->Canvas->Polyline(pts);
  }
  void DrawLegendSymbol(int32_t, const TRect& R) override {
    TGraphCanvas3D* c = ParentChart()->Canvas;
    c->Brush->SetStyle(bsSolid);
    c->Brush->SetColor(SeriesColor());
    c->Pen->SetColor(clBlack);
    c->DrawRectangle(R);
  }
};

// Logs every stage and mouse action into a shared list.
class TLogTool : public TGraphCustomTool {
public:
  TLogTool(std::vector<std::string>* ALog, const std::string& AName)
      : TGraphCustomTool(nullptr), Log(ALog), Name(AName) {}
  void HandleChartStage(TToolDrawStage Stage) override {
    static const char* names[] = {"AfterDraw",  "BeforeSeries", "BeforeChart",
                                  "BeforeAxes", "AfterSeries",  "MouseLeave"};
    Log->push_back(Name + ":" + names[Stage]);
  }
  void HandleChartMouse(TGraphMouseEventKind Kind, TMouseButton, TShiftState, int, int) override {
    Log->push_back(Name + (Kind == meDown ? ":down" : Kind == meUp ? ":up" : ":move"));
  }
  std::vector<std::string>* Log;
  std::string Name;
};

// A chart on a 400x300 recording canvas, 2D, with one line series 0..10 on fixed axes.
struct TRecordedChart {
  TChart Chart{nullptr};
  TRecordingCanvas* Rec;
  TTestLineSeries* Series = nullptr;

  explicit TRecordedChart(bool WithSeries = true, int W = 400, int H = 300) {
    Rec = new TRecordingCanvas(W, H);
    Chart.AdoptCanvas(std::unique_ptr<TGraphCanvas3D>(Rec));
    Chart.SetBounds(0, 0, W, H);
    Chart.SetView3D(false);
    Chart.SetBevelOuter(bvNone);
    if (WithSeries) {
      Series = new TTestLineSeries(nullptr);
      Chart.AttachSeries(Series);
      for (int i = 0; i <= 10; ++i) Series->AddXY(i, i * i);
      Series->SetTitle("squares");
      Chart.BottomAxis()->SetMinimumMaximum(0, 10);
      Chart.LeftAxis()->SetMinimumMaximum(0, 100);
    }
  }
  void Draw() {
    Rec->Clear();
    Chart.DrawUnbuffered(Rec->Surface()->Canvas(), TRect(0, 0, Chart.Width(), Chart.Height()));
  }
};
