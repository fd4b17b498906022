// Fuzz target of the native chart file reader: any input, binary or text form, must end in a
// loaded chart or in a clear exception, never in a crash, a leak or undefined behaviour; a chart
// that loaded must save again in both forms. A failed load must leave the chart's series as they
// were.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "chart/extra/chart_file.h"
#include "chart/extra/extra_series.h"
#include "chart/series/bar_series.h"
#include "chart/series/line_series.h"
#include "chart/series/pie_series.h"
#include "chart/series/standard_series.h"
#include "platform/exceptions.h"
#include "platform/streams.h"
#include "fuzz/more_series_seeds.h"

namespace {

// The seed files of fuzz/corpus/chart_file, made again with VM_FUZZ_WRITE_SEEDS=<folder>: a small
// chart with series of several kinds, and one with the further 2D series types, in both forms, with
// and without points.
void WriteSeeds(const std::string& Folder) {
  TChart chart(nullptr);
  chart.Title()->Text()->SetText("Seed");
  chart.Legend()->SetAlignment(laBottom);
  chart.LeftAxis()->SetMinimumMaximum(-1, 9);
  auto* line = new TLineSeries(nullptr);
  line->SetName("Series1");
  chart.AttachSeries(line);
  for (int i = 0; i < 5; ++i) line->AddXY(i * 0.5, i % 3, i == 2 ? "two" : "", i == 3 ? clRed : clDefault);
  auto* bar = new TBarSeries(nullptr);
  bar->SetName("Series2");
  chart.AttachSeries(bar);
  bar->AddY(3);
  bar->AddY(1);
  auto* pie = new TPieSeries(nullptr);
  pie->SetName("Series3");
  chart.AttachSeries(pie);
  pie->AddY(2, "a");
  for (int form = 0; form < 4; ++form) {
    TMemoryStream s;
    WriteNativeChart(&chart, s, form & 1, form & 2);
    s.SaveToFile(Folder + "/seed" + std::to_string(form) + ".qvx");
  }
  TChart more(nullptr);
  BuildMoreSeriesChart(more);
  for (int form = 0; form < 4; ++form) {
    TMemoryStream s;
    WriteNativeChart(&more, s, form & 1, form & 2);
    s.SaveToFile(Folder + "/seed" + std::to_string(4 + form) + ".qvx");
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitStandardSeries();
  InitExtraSeries();
  InitChartOutput();
  if (const char* folder = std::getenv("VM_FUZZ_WRITE_SEEDS")) WriteSeeds(folder);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TMemoryStream in;
  if (Size > 0) in.WriteBuffer(Data, static_cast<int64_t>(Size));
  in.SetPosition(0);
  TChart chart(nullptr);
  auto* keep = new TLineSeries(nullptr);
  chart.AttachSeries(keep);
  keep->AddXY(1, 2);
  TCustomChart* target = &chart;
  bool loaded = false;
  try {
    ReadNativeChart(target, in);
    loaded = true;
  } catch (const Exception&) {}
  if (target != &chart) std::abort();
  if (!loaded && (chart.CountSeries() != 1 || chart.SeriesAt(0) != keep || keep->PointCount() != 1)) std::abort();
  if (loaded) {
    try {
      TMemoryStream bin, text;
      WriteNativeChart(&chart, bin, true, false);
      WriteNativeChart(&chart, text, true, true);
    } catch (const Exception&) {
      // A name or a string the loaded chart holds may be longer than a stream can carry.
    }
  }
  return 0;
}
