// The statistical, trend, fitting and financial functions over 1,000,000 source points (the
// splines at their capacity of 3000 points). Moving windows run at periods 14 and 1000: a linear
// walk costs the same for both. Goals: each function <= 50 ms, a degree-5 polynomial fit <= 100 ms.
#include <benchmark/benchmark.h>

#include <cmath>

#include "chart/engine/chart.h"
#include "chart/engine/value_lists.h"
#include "chart/series/fitting_spline.h"
#include "chart/series/functions_financial.h"
#include "chart/series/functions_statistical.h"
#include "chart/series/functions_trend.h"

namespace {

constexpr int kPoints = 1000000;

// A source with open, high and low lists beside its closes.
struct TSource {
  TChartSeries S{nullptr};
  TChartValueList* Open = new TChartValueList(&S, "Open");
  TChartValueList* High = new TChartValueList(&S, "High");
  TChartValueList* Low = new TChartValueList(&S, "Low");
  explicit TSource(int N = kPoints, double Phase = 0) {
    S.BeginUpdate();
    double c = 100;
    for (int i = 0; i < N; ++i) {
      const double o = c + std::sin(i * 0.37 + Phase);
      c = 100 + std::sin(i * 0.001 + Phase) * 20 + std::cos(i * 0.7) * 2;
      Open->PendingValue = o;
      High->PendingValue = std::max(o, c) + 0.5;
      Low->PendingValue = std::min(o, c) - 0.5;
      S.AddXY(i, c);
    }
    S.EndUpdate();
  }
};

TSource& Shared() {
  static TSource s;
  return s;
}

template <class F>
void Run(benchmark::State& State, double Period, TChartSeries* Src = nullptr) {
  TChartSeries* src = Src ? Src : &Shared().S;
  TChartSeries dst(nullptr);
  auto* f = new F(nullptr);
  f->InternalSetPeriod(Period);
  dst.AttachFunction(f);
  for (auto _ : State) {
    dst.BeginUpdate();
    dst.ClearValues();
    f->CalculateFromSource(src);
    dst.EndUpdate();
    benchmark::DoNotOptimize(dst.PointCount());
  }
  State.counters["points"] = dst.PointCount();
}

#define VM_BENCH_PERIOD(Name, Class, Period)                             \
  void BM_##Name(benchmark::State& State) { Run<Class>(State, Period); } \
  BENCHMARK(BM_##Name)->Unit(benchmark::kMillisecond);

VM_BENCH_PERIOD(MovingAverage14, TMovingAverageFunction, 14)
VM_BENCH_PERIOD(MovingAverage1000, TMovingAverageFunction, 1000)
VM_BENCH_PERIOD(ExpAverage, TExpAverageFunction, 1)
VM_BENCH_PERIOD(Momentum14, TMomentumFunction, 14)
VM_BENCH_PERIOD(MomentumDivision14, TMomentumDivFunction, 14)
VM_BENCH_PERIOD(Performance14, TPerformanceFunction, 14)
VM_BENCH_PERIOD(StdDeviationBy10, TStdDeviationFunction, 10)
VM_BENCH_PERIOD(StdDeviationWhole, TStdDeviationFunction, 0)
VM_BENCH_PERIOD(RMSBy10, TRMSFunction, 10)
VM_BENCH_PERIOD(VarianceBy10, TVarianceFunction, 10)
VM_BENCH_PERIOD(Stochastic14, TStochasticFunction, 14)
VM_BENCH_PERIOD(Stochastic1000, TStochasticFunction, 1000)
VM_BENCH_PERIOD(RSI14, TRSIFunction, 14)
VM_BENCH_PERIOD(RSI1000, TRSIFunction, 1000)
VM_BENCH_PERIOD(ADX14, TADXFunction, 14)
VM_BENCH_PERIOD(MACD, TMACDFunction, 26)
VM_BENCH_PERIOD(Bollinger20, TBollingerFunction, 20)
VM_BENCH_PERIOD(Trend, TTrendFunction, 0)
VM_BENCH_PERIOD(ExpTrend, TExpTrendFunction, 0)
VM_BENCH_PERIOD(Correlation, TCorrelationFunction, 0)

void BM_RSICloseToClose1000(benchmark::State& State) {
  TChartSeries dst(nullptr);
  auto* f = new TRSIFunction(nullptr);
  f->SetStyle(rsiClose);
  f->InternalSetPeriod(1000);
  dst.AttachFunction(f);
  for (auto _ : State) {
    dst.ClearValues();
    f->CalculateFromSource(&Shared().S);
    benchmark::DoNotOptimize(dst.PointCount());
  }
}
BENCHMARK(BM_RSICloseToClose1000)->Unit(benchmark::kMillisecond);

// The whole curve-fitting function: a degree-5 (6-term) fit and its 1,000,000 output points.
void BM_CurveFittingDegree5(benchmark::State& State) {
  TChartSeries dst(nullptr);
  auto* f = new TCurveFittingFunction(nullptr);
  f->SetPolyDegree(6);
  dst.AttachFunction(f);
  for (auto _ : State) {
    dst.BeginUpdate();
    dst.ClearValues();
    f->CalculateFromSource(&Shared().S);
    dst.EndUpdate();
    benchmark::DoNotOptimize(dst.PointCount());
  }
}
BENCHMARK(BM_CurveFittingDegree5)->Unit(benchmark::kMillisecond);

// The fit alone with 20 terms.
void BM_PolyFit20Terms(benchmark::State& State) {
  TVector x(kPoints + 1), y(kPoints + 1);
  for (int i = 1; i <= kPoints; ++i) {
    x[static_cast<size_t>(i)] = i * 1e-6L;
    y[static_cast<size_t>(i)] = std::sin(i * 1e-5);
  }
  TPolyCoefficients c{};
  for (auto _ : State) {
    PolyFit(kPoints, 20, x, y, c);
    benchmark::DoNotOptimize(c[1]);
  }
}
BENCHMARK(BM_PolyFit20Terms)->Unit(benchmark::kMillisecond);

void BM_CrossPoints(benchmark::State& State) {
  static TSource other(kPoints, 1.0);
  TChartSeries dst(nullptr);
  dst.AttachFunction(new TCrossPointsFunction(nullptr));
  dst.AddDataSourceInternal(&Shared().S);
  dst.AddDataSourceInternal(&other.S);
  for (auto _ : State) {
    dst.FunctionObject()->CalculateFromSource(&Shared().S);
    benchmark::DoNotOptimize(dst.PointCount());
  }
  State.counters["points"] = dst.PointCount();
}
BENCHMARK(BM_CrossPoints)->Unit(benchmark::kMillisecond);

void BM_Perimeter(benchmark::State& State) {
  TChart chart(nullptr);
  chart.SetBounds(0, 0, 800, 600);
  auto* src = new TChartSeries(nullptr);
  auto* dst = new TChartSeries(nullptr);
  chart.AttachSeries(src);
  chart.AttachSeries(dst);
  src->XValues()->SetOrder(loNone);  // a cloud of points, not a curve
  src->BeginUpdate();
  for (int i = 0; i < kPoints; ++i) src->AddXY(std::sin(i * 0.61) * (i % 1000), std::cos(i * 0.37) * (i % 997));
  src->EndUpdate();
  auto* f = new TPerimeterFunction(dst);
  dst->AttachFunction(f);
  for (auto _ : State) {
    f->CalculateFromSource(src);
    benchmark::DoNotOptimize(dst->PointCount());
  }
  State.counters["points"] = dst->PointCount();
}
BENCHMARK(BM_Perimeter)->Unit(benchmark::kMillisecond);

// The splines at their capacity.
void BM_SplineFits3000(benchmark::State& State) {
  const int n = 3000;
  TVector x(n + 1), y(n + 1), w(n + 1, 1.0L);
  for (int i = 1; i <= n; ++i) {
    x[static_cast<size_t>(i)] = i * 0.01L;
    y[static_cast<size_t>(i)] = std::sin(i * 0.013) + (i % 5) * 0.01;
  }
  const bool smoothing = State.range(0) != 0;
  for (auto _ : State) {
    if (smoothing) {
      SmoothSplineFit(n, 0, x, 1000, 0, 0, y);
      benchmark::DoNotOptimize(SmoothSplineValue(3));
    } else {
      double ss;
      SplineNagFit(n, 20, x, y, w, ss);
      benchmark::DoNotOptimize(SplineNagValue(3));
    }
  }
}
BENCHMARK(BM_SplineFits3000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
