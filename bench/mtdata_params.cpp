// Time of one parameter computation and of a 40-frequency table.
#include "mtdata/mt_params.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>

namespace {

using cd = std::complex<double>;

// Slots Hx, Hy, Hz, Ex, Ey, Rx, Ry as in a site file.
TChannelOrder Order() {
  TChannelOrder o;
  o[chEx] = 4;
  o[chEy] = 5;
  o[chHx] = 1;
  o[chHy] = 2;
  o[chHz] = 3;
  o[chRx] = 6;
  o[chRy] = 7;
  return o;
}

// A cross-power matrix of a 2-D earth with tipper, remote field correlated with the local one
// and a little noise on every channel.
void Matrix(double scale, TMatrix7& Re, TMatrix7& Im) {
  const cd zxx(0.1 * scale, 0.05), zxy(2.0 * scale, 1.7 * scale), zyx(-1.1 * scale, -0.8 * scale),
      zyy(-0.07, 0.12 * scale);
  const cd tx(0.2, -0.05), ty(-0.1, 0.03);
  const cd src[3][2] = {{{1, 0.2}, {0.3, -0.1}}, {{-0.2, 0.4}, {0.9, 0.3}}, {{0.5, -0.5}, {-0.4, 0.6}}};
  const TChannelOrder o = Order();
  cd s[8][8] = {};
  for (const auto& h : src) {
    cd v[8];
    v[chHx] = h[0];
    v[chHy] = h[1];
    v[chEx] = zxx * h[0] + zxy * h[1];
    v[chEy] = zyx * h[0] + zyy * h[1];
    v[chHz] = tx * h[0] + ty * h[1];
    v[chRx] = 0.9 * h[0] + cd(0.1, 0.05) * h[1];
    v[chRy] = cd(-0.05, 0) * h[0] + 1.1 * h[1];
    for (int a = 1; a <= 7; ++a)
      for (int b = 1; b <= 7; ++b) s[a][b] += v[a] * std::conj(v[b]);
  }
  for (int a = 1; a <= 7; ++a) s[a][a] += 0.01 * (a + 1);
  for (int a = 1; a <= 7; ++a)
    for (int b = 1; b <= 7; ++b) {
      Re[o[a]][o[b]] = s[a][b].real();
      Im[o[a]][o[b]] = a == b ? 0 : s[a][b].imag();
    }
}

struct Table {
  TPlots Plots;
  TFrequencyGrid Grid;
  TMatrix7 Re[41], Im[41];
  Table() {
    Plots.Allocate();
    for (int f = 1; f <= 40; ++f) {
      Grid[f] = 1000 * std::pow(10.0, -(f - 1) / 8.0);
      Matrix(1 + 0.05 * f, Re[f], Im[f]);
    }
  }
};

void BM_CalcMtParameters(benchmark::State& state) {
  Table t;
  const TChannelOrder o = Order();
  const double n = 20, angle = 30;
  const int mode = static_cast<int>(state.range(0));
  for (auto _ : state) {
    CalcMtParameters(t.Plots, t.Grid, n, 12, 40, 0, o, mode, frtRemoteH, drRemote, angle, t.Re[12], t.Im[12]);
    benchmark::DoNotOptimize(t.Plots[12][1]);
  }
}
BENCHMARK(BM_CalcMtParameters)->Arg(0)->Arg(1);

void BM_CalcMtParametersTable40(benchmark::State& state) {
  Table t;
  const TChannelOrder o = Order();
  const double n = 20, angle = 30;
  for (auto _ : state) {
    for (int f = 1; f <= 40; ++f)
      CalcMtParameters(t.Plots, t.Grid, n, f, 40, 0, o, 0, frtRemoteH, drRemote, angle, t.Re[f], t.Im[f]);
    benchmark::DoNotOptimize(t.Plots[40][1]);
  }
}
BENCHMARK(BM_CalcMtParametersTable40);

}  // namespace
