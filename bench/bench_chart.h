// An off-screen 1200 x 800 chart without a legend that the chart benchmarks draw into a bitmap.
#pragma once

#include <benchmark/benchmark.h>

#include <memory>

#include "chart/engine/chart.h"
#include "chart/engine/legend.h"
#include "platform/bitmap.h"

struct BenchChart {
  TChart Chart{nullptr};
  explicit BenchChart(bool View3D = false) {
    Chart.SetBounds(0, 0, 1200, 800);
    Chart.SetView3D(View3D);
    Chart.Legend()->SetVisible(false);
  }
  void Draw() {
    std::unique_ptr<TBitmap> b(Chart.CreateBitmap(clWhite, TRect(0, 0, 1200, 800), pf24bit));
    benchmark::DoNotOptimize(b.get());
  }
};
