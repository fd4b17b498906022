// A chart with one series computed by each of the down-sampling, compression, count, cumulative
// and indicator functions (with settings changed from their defaults), for the chart file tests
// and the chart file fuzz target's seeds.
#pragma once

#include <algorithm>
#include <string>

#include "chart/engine/chart.h"
#include "chart/extra/compress_function.h"
#include "chart/extra/downsampling_function.h"
#include "chart/extra/indicator_functions.h"
#include "chart/series/financial_series.h"
#include "chart/series/line_series.h"

inline void BuildFunctionsChart(TChart& Chart) {
  auto* prices = new TCandleSeries(nullptr);
  prices->SetName("Prices");
  Chart.AttachSeries(prices);
  for (int i = 0; i < 30; ++i) {
    const double o = 50 + (i * 7) % 11, c = 50 + (i * 5) % 13;
    prices->AddOHLCPoint(46000 + i * 0.5, o, std::max(o, c) + 2, std::min(o, c) - 1 - i % 3, c);
  }
  auto* volume = new TLineSeries(nullptr);
  volume->SetName("Volume");
  Chart.AttachSeries(volume);
  for (int i = 0; i < 25; ++i) volume->AddXY(46000 + i * 0.5, 100 + (i * 37) % 50);
  auto add = [&](TChartSeries* S, TGraphFunction* F, const std::string& Name, TChartSeries* Source) {
    S->SetName(Name);
    F->SetName(Name + "Fn");
    Chart.AttachSeries(S);
    S->AttachFunction(F);
    S->AddDataSourceInternal(Source);
    return F;
  };
  auto* down = static_cast<TDownSamplingFunction*>(
      add(new TLineSeries(nullptr), new TDownSamplingFunction(nullptr), "Down", volume));
  down->SetDownSampleMethod(dsMinMax);
  down->SetTolerance(2.5);
  auto* compress = static_cast<TCompressFunction*>(
      add(new TCandleSeries(nullptr), new TCompressFunction(nullptr), "Compressed", prices));
  compress->SetCompress(ocDay);
  add(new TLineSeries(nullptr), new TCountGraphFunction(nullptr), "Count", volume)->InternalSetPeriod(4);
  add(new TLineSeries(nullptr), new TCumulative(nullptr), "Cumulative", volume);
  auto* clv = static_cast<TCLVFunction*>(add(new TLineSeries(nullptr), new TCLVFunction(nullptr), "CLV", prices));
  clv->SetVolume(volume);
  clv->SetAccumulate(false);
  static_cast<TOBVFunction*>(add(new TLineSeries(nullptr), new TOBVFunction(nullptr), "OBV", prices))
      ->SetVolume(volume);
  auto* cci = static_cast<TCCIFunction*>(add(new TLineSeries(nullptr), new TCCIFunction(nullptr), "CCI", prices));
  cci->InternalSetPeriod(5);
  cci->SetConstant(0.02);
  auto* pvo = static_cast<TPVOFunction*>(add(new TLineSeries(nullptr), new TPVOFunction(nullptr), "PVO", volume));
  pvo->SetPeriod2(9);
  pvo->SetPercentage(false);
  for (int i = 0; i < Chart.CountSeries(); ++i) Chart.SeriesAt(i)->RefreshDataFromSource();
}
