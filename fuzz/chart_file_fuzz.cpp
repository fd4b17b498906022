// Fuzz target of the native chart file reader: any input, binary or text form, must end in a
// loaded chart or in a clear exception, never in a crash, a leak or undefined behaviour; a chart
// that loaded must save again in both forms. A failed load must leave the chart's series as they
// were.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "chart/extra/chart_file.h"
#include "chart/extra/extra_series.h"
#include "chart/series/line_series.h"
#include "chart/series/standard_series.h"
#include "platform/exceptions.h"
#include "platform/streams.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitStandardSeries();
  InitExtraSeries();
  InitChartOutput();
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
  } catch (const Exception&) {
  }
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
