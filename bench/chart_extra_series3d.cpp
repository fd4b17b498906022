// Drawing the 3D family into a 1200 x 800 off-screen chart: a 100 x 100 surface, the contours of
// a 200 x 200 grid at 20 levels, triangle surfaces of 1,000 and 10,000 scattered points
// (triangulated and drawn) and a map of 1,000 polygons of 50 points.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

#include "bench_chart.h"
#include "chart/engine/chart.h"
#include "chart/engine/legend.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/contour_series.h"
#include "chart/extra/map_series.h"
#include "chart/extra/surface_series.h"
#include "chart/extra/trisurface_series.h"
#include "platform/bitmap.h"

namespace {

double Height(int X, int Z, int N) {
  const double x = 6.0 * X / N, z = 6.0 * Z / N;
  return std::sin(x) * std::cos(z) + 0.3 * std::sin(2.3 * x + z);
}

void BM_Surface100x100(benchmark::State& State) {
  BenchChart c(true);
  auto* s = new TSurfaceSeries(nullptr);
  c.Chart.AttachSeries(s);
  s->BeginUpdate();
  for (int z = 1; z <= 100; ++z)
    for (int x = 1; x <= 100; ++x) s->AddXYZ(x, Height(x, z, 100), z);
  s->EndUpdate();
  for (auto _ : State) c.Draw();
}
BENCHMARK(BM_Surface100x100)->Unit(benchmark::kMillisecond);

void BM_Contour200x200Levels20(benchmark::State& State) {
  BenchChart c(false);
  auto* s = new TContourSeries(nullptr);
  c.Chart.AttachSeries(s);
  s->SetNumLevels(20);
  s->BeginUpdate();
  for (int z = 1; z <= 200; ++z)
    for (int x = 1; x <= 200; ++x) s->AddXYZ(x, Height(x, z, 200), z);
  s->EndUpdate();
  for (auto _ : State) c.Draw();
}
BENCHMARK(BM_Contour200x200Levels20)->Unit(benchmark::kMillisecond);

void BM_TriSurface(benchmark::State& State) {
  BenchChart c(true);
  auto* s = new TTriSurfaceSeries(nullptr);
  c.Chart.AttachSeries(s);
  std::mt19937 gen(11);
  std::uniform_real_distribution<double> u(0, 100);
  s->BeginUpdate();
  for (int i = 0; i < State.range(0); ++i) {
    const double x = u(gen), z = u(gen);
    s->AddXYZ(x, std::sin(x / 15) * std::cos(z / 15), z);
  }
  s->EndUpdate();
  for (auto _ : State) c.Draw();  // triangulated again before every drawing
}
BENCHMARK(BM_TriSurface)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_Map1000Polygons50Points(benchmark::State& State) {
  BenchChart c(false);
  auto* s = new TMapSeries(nullptr);
  c.Chart.AttachSeries(s);
  for (int k = 0; k < 1000; ++k) {
    TGraphPolygon* p = s->Shapes()->AddPolygon();
    const double cx = (k % 40) * 2.5, cy = (k / 40) * 2.5;
    p->Points()->BeginUpdate();
    for (int j = 0; j < 50; ++j) {
      const double a = j * 2 * M_PI / 50, r = 1 + 0.2 * std::sin(5 * a + k);
      p->AddXY(cx + r * std::cos(a), cy + r * std::sin(a));
    }
    p->Points()->EndUpdate();
    p->SetZ(k % 17);
  }
  for (auto _ : State) c.Draw();
}
BENCHMARK(BM_Map1000Polygons50Points)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
