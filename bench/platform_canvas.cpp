// Drawing through the canvas against drawing straight on the engine: 1,000,000 line segments and
// 100,000 markers into a 1200x800 bitmap. Goal: the canvas within 1.5 times the bare engine.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace {

std::vector<TPoint> RandomPoints(size_t N, unsigned Seed) {
  std::mt19937 gen(Seed);
  std::uniform_int_distribution<int> x(0, 1199), y(0, 799);
  std::vector<TPoint> v(N);
  for (auto& p : v) p = TPoint(x(gen), y(gen));
  return v;
}

// A data curve: x advancing, y wandering, as a series draws it.
std::vector<TPoint> CurvePoints(size_t N) {
  std::mt19937 gen(7);
  std::uniform_int_distribution<int> step(-6, 6);
  std::vector<TPoint> v(N);
  int y = 400;
  for (size_t i = 0; i < N; ++i) {
    y = std::clamp(y + step(gen), 0, 799);
    v[i] = TPoint(static_cast<int>(i % 1200), y);
  }
  return v;
}

constexpr size_t kSegments = 1000000;
constexpr size_t kMarkers = 100000;

void BM_CanvasLinesRandom(benchmark::State& State) {
  auto pts = RandomPoints(kSegments + 1, 1);
  TBitmap b(1200, 800);
  for (auto _ : State) {
    TCanvas* c = b.Canvas();
    c->Pen()->SetColor(clNavy);
    c->MoveTo(pts[0].X, pts[0].Y);
    for (size_t i = 1; i < pts.size(); ++i) c->LineTo(pts[i].X, pts[i].Y);
    benchmark::DoNotOptimize(c->Pixels(0, 0));
  }
}
BENCHMARK(BM_CanvasLinesRandom)->Unit(benchmark::kMillisecond);

void BM_BareLinesRandom(benchmark::State& State) {
  auto pts = RandomPoints(kSegments + 1, 1);
  TBitmap b(1200, 800);
  for (auto _ : State) {
    CanvasReference::DrawLines(&b, pts, clNavy);
    benchmark::DoNotOptimize(b.Width());
  }
}
BENCHMARK(BM_BareLinesRandom)->Unit(benchmark::kMillisecond);

void BM_CanvasLinesCurve(benchmark::State& State) {
  auto pts = CurvePoints(kSegments + 1);
  TBitmap b(1200, 800);
  for (auto _ : State) {
    TCanvas* c = b.Canvas();
    c->Pen()->SetColor(clNavy);
    c->MoveTo(pts[0].X, pts[0].Y);
    for (size_t i = 1; i < pts.size(); ++i) c->LineTo(pts[i].X, pts[i].Y);
    benchmark::DoNotOptimize(c->Pixels(0, 0));
  }
}
BENCHMARK(BM_CanvasLinesCurve)->Unit(benchmark::kMillisecond);

void BM_BareLinesCurve(benchmark::State& State) {
  auto pts = CurvePoints(kSegments + 1);
  TBitmap b(1200, 800);
  for (auto _ : State) {
    CanvasReference::DrawLines(&b, pts, clNavy);
    benchmark::DoNotOptimize(b.Width());
  }
}
BENCHMARK(BM_BareLinesCurve)->Unit(benchmark::kMillisecond);

void BM_CanvasMarkers(benchmark::State& State) {
  auto pts = RandomPoints(kMarkers, 2);
  TBitmap b(1200, 800);
  for (auto _ : State) {
    TCanvas* c = b.Canvas();
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clRed);
    for (const TPoint& p : pts) c->Rectangle(p.X - 3, p.Y - 3, p.X + 4, p.Y + 4);
    benchmark::DoNotOptimize(c->Pixels(0, 0));
  }
}
BENCHMARK(BM_CanvasMarkers)->Unit(benchmark::kMillisecond);

void BM_BareMarkers(benchmark::State& State) {
  auto pts = RandomPoints(kMarkers, 2);
  TBitmap b(1200, 800);
  for (auto _ : State) {
    CanvasReference::DrawMarkers(&b, pts, 7, clBlack, clRed);
    benchmark::DoNotOptimize(b.Width());
  }
}
BENCHMARK(BM_BareMarkers)->Unit(benchmark::kMillisecond);

}  // namespace
