// The chart drawing workloads of the peer comparison (same data, same 1200x800 image, same timing
// rule and output lines), drawn by a TChart into a bitmap. Prints one RESULT line per workload with
// the backend name "project", so the peer table can put the project beside the other libraries.
//
// The workloads draw with the standard series: W1 a fast line (one-pixel lines thinned by the
// exact column-span merging), W3 a line series with circle pointers, W4 a line with an error series
// over the same points, W5 line series (two with pointers) on log-log axes.
// Options: --reps N (W1-W3), --redraws N (W5 and its edit loop), --only SUBSTRING.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "chart/engine/chart.h"
#include "chart/engine/series_base.h"
#include "chart/engine/value_lists.h"
#include "chart/series/error_series.h"
#include "chart/series/fast_line_series.h"
#include "chart/series/line_series.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace {

// ---- the peer workload definitions (kept identical to the peers' copy) -------------------------

constexpr int kWidth = 1200;
constexpr int kHeight = 800;
constexpr double kPi = 3.14159265358979323846;

struct XY {
  std::vector<double> x, y;
  size_t size() const { return x.size(); }
};

XY Signal(size_t n, unsigned seed = 12345) {
  XY d;
  d.x.resize(n);
  d.y.resize(n);
  std::mt19937 gen(seed);
  std::normal_distribution<double> noise(0.0, 0.05);
  for (size_t i = 0; i < n; ++i) {
    double t = static_cast<double>(i) / static_cast<double>(n);
    d.x[i] = static_cast<double>(i);
    d.y[i] = std::sin(2 * kPi * 3 * t) + 0.3 * std::sin(2 * kPi * 37 * t) + noise(gen);
  }
  return d;
}
constexpr double kSignalYMin = -1.6, kSignalYMax = 1.6;

struct Sounding {
  std::vector<double> period;
  std::vector<std::vector<double>> rho;
  std::vector<std::string> names;
};
Sounding MtSounding() {
  Sounding s;
  const int n = 40;
  for (int k = 0; k < n; ++k) s.period.push_back(std::pow(10.0, -3.0 + 7.0 * k / (n - 1)));
  s.names = {"rho xy", "rho yx", "model xy", "model yx"};
  std::mt19937 gen(7);
  std::normal_distribution<double> noise(0.0, 0.04);
  s.rho.assign(4, std::vector<double>(n));
  for (int k = 0; k < n; ++k) {
    double lt = std::log10(s.period[k]);
    double xy = 100.0 * std::pow(10.0, 0.9 * std::tanh(lt - 0.5)) + 0.0;
    double yx = 60.0 * std::pow(10.0, 1.1 * std::tanh(lt - 1.5));
    s.rho[0][k] = xy * std::pow(10.0, noise(gen));
    s.rho[1][k] = yx * std::pow(10.0, noise(gen));
    s.rho[2][k] = xy;
    s.rho[3][k] = yx;
  }
  return s;
}
constexpr double kMtXMin = 5e-4, kMtXMax = 2e4, kMtYMin = 1.0, kMtYMax = 1e4;

struct Options {
  int reps = 15;
  int redraws = 1000;
  std::string only;
  std::string png_dir;  // the last image of each workload is written there (as a .bmp)
};

Options ParseOptions(int argc, char** argv) {
  Options o;
  if (const char* e = std::getenv("PEER_REPS")) o.reps = std::max(1, std::atoi(e));
  if (const char* e = std::getenv("PEER_REDRAWS")) o.redraws = std::max(1, std::atoi(e));
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--reps" && hasValue)
      o.reps = std::max(1, std::atoi(argv[++i]));
    else if (a == "--redraws" && hasValue)
      o.redraws = std::max(1, std::atoi(argv[++i]));
    else if (a == "--only" && hasValue)
      o.only = argv[++i];
    else if (a == "--png" && hasValue)
      o.png_dir = argv[++i];
  }
  return o;
}

bool Wanted(const Options& o, const std::string& w) { return o.only.empty() || w.find(o.only) != std::string::npos; }

double NowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

std::string LoadAvg() {
  std::ifstream f("/proc/loadavg");
  std::string a, b, c;
  f >> a >> b >> c;
  return a + " " + b + " " + c;
}

void Save(const Options& o, TBitmap& b, const std::string& name) {
  if (!o.png_dir.empty()) b.SaveToFile(o.png_dir + "/project_" + name + ".bmp");
}

void Measure(const std::string& workload, int n, const std::function<void()>& draw, const std::string& note) {
  double t0 = NowMs();
  draw();
  const double first = NowMs() - t0;
  std::vector<double> t(n);
  for (int i = 0; i < n; ++i) {
    const double a = NowMs();
    draw();
    t[i] = NowMs() - a;
  }
  std::sort(t.begin(), t.end());
  const double median = n % 2 ? t[n / 2] : 0.5 * (t[n / 2 - 1] + t[n / 2]);
  std::printf("RESULT project %s %d %.3f %.3f %.3f %s\n", workload.c_str(), n, t.front(), median, first, note.c_str());
  std::fflush(stdout);
}

std::unique_ptr<TChart> NewChart() {
  auto chart = std::make_unique<TChart>(nullptr);
  chart->SetBounds(0, 0, kWidth, kHeight);
  chart->SetView3D(false);
  chart->Legend()->SetVisible(false);
  chart->SetColor(clWhite);
  return chart;
}

void Fill(TChartSeries* s, const std::vector<double>& x, const std::vector<double>& y) {
  s->BeginUpdate();
  for (size_t i = 0; i < x.size(); ++i) s->AddXY(x[i], y[i]);
  s->EndUpdate();
}

}  // namespace

int main(int argc, char** argv) {
  const Options opt = ParseOptions(argc, argv);
  std::printf("INFO project load average %s\n", LoadAvg().c_str());
  TBitmap bmp(kWidth, kHeight);
  const TRect rect(0, 0, kWidth, kHeight);

  auto signalChart = [&](size_t n, TChartSeries* s, std::unique_ptr<TChart> chart) {
    const XY d = Signal(n);
    chart->AttachSeries(s);
    s->SetSeriesColor(clBlue);
    Fill(s, d.x, d.y);
    chart->BottomAxis()->SetMinimumMaximum(0, static_cast<double>(n - 1));
    chart->LeftAxis()->SetMinimumMaximum(kSignalYMin, kSignalYMax);
    return chart;
  };
  auto fastLine = [&](size_t n, bool allPoints) {
    auto chart = NewChart();
    auto* s = new TFastLineSeries(chart.get());
    s->SetDrawAllPoints(allPoints);
    return signalChart(n, s, std::move(chart));
  };
  // A 7-pixel circle outline at every point.
  auto circles = [](TCustomSeries* s) {
    s->Pointer()->SetVisible(true);
    s->Pointer()->SetStyle(psCircle);
    s->Pointer()->SetHorizSize(3);
    s->Pointer()->SetVertSize(3);
    s->Pointer()->SetDraw3D(false);
    s->Pointer()->Brush()->SetStyle(bsClear);
  };

  if (Wanted(opt, "W1")) {
    auto chart = fastLine(1000000, true);
    Measure(
        "W1", opt.reps, [&] { chart->DrawUnbuffered(bmp.Canvas(), rect); },
        "TChart,1e6 points,TFastLineSeries DrawAllPoints,exact column-span thinning");
    Save(opt, bmp, "W1");
    auto firstPerColumn = fastLine(1000000, false);
    Measure(
        "W1-firstpercolumn", opt.reps, [&] { firstPerColumn->DrawUnbuffered(bmp.Canvas(), rect); },
        "TChart,1e6 points,TFastLineSeries first point per pixel column");
  }
  if (Wanted(opt, "W2"))
    std::printf("INFO project W2 n/a: the chart draws its lines without antialiasing (no setting asks for it)\n");
  if (Wanted(opt, "W3")) {
    auto chart = NewChart();
    auto* s = new TLineSeries(chart.get());
    circles(s);
    chart = signalChart(100000, s, std::move(chart));
    Measure(
        "W3", opt.reps, [&] { chart->DrawUnbuffered(bmp.Canvas(), rect); },
        "TChart,1e5 points+7px circles,TLineSeries with pointers");
    Save(opt, bmp, "W3");
  }
  if (Wanted(opt, "W4")) {
    auto chart = NewChart();
    const XY d = Signal(10000);
    auto* line = new TLineSeries(chart.get());
    chart->AttachSeries(line);
    line->SetSeriesColor(clBlue);
    Fill(line, d.x, d.y);
    auto* err = new TErrorSeries(chart.get());
    chart->AttachSeries(err);
    err->SetSeriesColor(clRed);
    err->SetErrorWidthUnits(ewuPixels);
    err->SetErrorWidth(9);
    err->BeginUpdate();
    for (size_t i = 0; i < d.size(); ++i)
      err->AddErrorBar(d.x[i], d.y[i], 0.05 + 0.05 * std::fabs(std::sin(d.x[i] * 0.01)));
    err->EndUpdate();
    chart->BottomAxis()->SetMinimumMaximum(0, static_cast<double>(d.size() - 1));
    chart->LeftAxis()->SetMinimumMaximum(kSignalYMin, kSignalYMax);
    Measure(
        "W4", opt.reps, [&] { chart->DrawUnbuffered(bmp.Canvas(), rect); },
        "TChart,1e4 points line+TErrorSeries,9px whiskers");
    Save(opt, bmp, "W4");
  }
  if (Wanted(opt, "W5")) {
    auto chart = NewChart();
    const Sounding s = MtSounding();
    chart->Legend()->SetVisible(true);
    chart->Title()->Text()->Add("Apparent resistivity");
    std::vector<TLineSeries*> curves;
    const TColor colors[] = {clRed, clBlue, clMaroon, clNavy};
    for (int k = 0; k < 4; ++k) {
      auto* c = new TLineSeries(chart.get());
      if (k < 2) circles(c);
      chart->AttachSeries(c);
      c->SetTitle(s.names[k]);
      c->SetSeriesColor(colors[k]);
      Fill(c, s.period, s.rho[k]);
      curves.push_back(c);
    }
    for (TChartAxis* a : {static_cast<TChartAxis*>(chart->BottomAxis()), chart->LeftAxis()}) {
      a->SetLogarithmic(true);
      a->MinorTicks()->SetVisible(true);
      a->MinorGrid()->SetVisible(true);
      a->SetMinorTickCount(8);
    }
    chart->BottomAxis()->SetMinimumMaximum(kMtXMin, kMtXMax);
    chart->LeftAxis()->SetMinimumMaximum(kMtYMin, kMtYMax);
    Measure(
        "W5", opt.redraws, [&] { chart->DrawUnbuffered(bmp.Canvas(), rect); },
        "TChart,log-log,4x40 points,grid+minor grid,legend,title,no antialiasing");
    Save(opt, bmp, "W5");
    int i = 0;
    Measure(
        "W5-edit", opt.redraws,
        [&] {
          curves[0]->SetYValueAt(i % 40, s.rho[0][i % 40] * (1.0 + 0.01 * (i % 7)));
          ++i;
          chart->DrawUnbuffered(bmp.Canvas(), rect);
        },
        "TChart,set one value+redraw");
  }
  std::printf("INFO project done, load average %s\n", LoadAvg().c_str());
  return 0;
}
