// The down-sampling, compression, count, cumulative and indicator functions in native chart
// files: a chart with one series per function comes back, in both forms, with the functions'
// settings, the volume references and the same pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "chart/extra/chart_file.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/testkit/functions_chart.h"
#include "chart/series/standard_series.h"
#include "chart/series/testkit/series_testkit.h"
#include "platform/streams.h"

namespace {

int DifferentPixels(TBitmap& A, TBitmap& B) {
  int n = 0;
  for (int y = 0; y < A.Height(); ++y)
    for (int x = 0; x < A.Width(); ++x) n += A.Canvas()->Pixels(x, y) != B.Canvas()->Pixels(x, y);
  return n;
}

}  // namespace

TEST(FunctionsFile, EveryFunctionComesBackWithItsSettingsAndPixels) {
  InitStandardSeries();
  InitExtraSeries();
  InitChartOutput();
  for (bool text : {false, true}) {
    TSeriesChart c(false, 500, 400);
    BuildFunctionsChart(c.Chart);
    ASSERT_GT(c.Chart.SeriesAt(2)->PointCount(), 0);
    TMemoryStream m;
    WriteNativeChart(&c.Chart, m, true, text);
    m.SetPosition(0);
    TSeriesChart back(false, 500, 400);
    TCustomChart* target = &back.Chart;
    ReadNativeChart(target, m);
    ASSERT_EQ(back.Chart.CountSeries(), c.Chart.CountSeries());
    auto fn = [&](int I) { return back.Chart.SeriesAt(I)->FunctionObject(); };
    auto* down = dynamic_cast<TDownSamplingFunction*>(fn(2));
    ASSERT_NE(down, nullptr);
    EXPECT_EQ(down->DownSampleMethod(), dsMinMax);
    EXPECT_EQ(down->Tolerance(), 2.5);
    EXPECT_EQ(dynamic_cast<TCompressFunction*>(fn(3))->Compress(), ocDay);
    EXPECT_EQ(fn(4)->Period(), 4);
    auto* clv = dynamic_cast<TCLVFunction*>(fn(6));
    ASSERT_NE(clv, nullptr);
    EXPECT_EQ(clv->Volume(), back.Chart.SeriesAt(1));
    EXPECT_FALSE(clv->Accumulate());
    EXPECT_EQ(dynamic_cast<TOBVFunction*>(fn(7))->Volume(), back.Chart.SeriesAt(1));
    EXPECT_EQ(dynamic_cast<TCCIFunction*>(fn(8))->Constant(), 0.02);
    EXPECT_EQ(dynamic_cast<TPVOFunction*>(fn(9))->Period2(), 9);
    EXPECT_FALSE(dynamic_cast<TPVOFunction*>(fn(9))->Percentage());
    for (int i = 0; i < c.Chart.CountSeries(); ++i)
      EXPECT_EQ(back.Chart.SeriesAt(i)->PointCount(), c.Chart.SeriesAt(i)->PointCount()) << i;
    c.Render();
    back.Render();
    EXPECT_EQ(DifferentPixels(*c.Image, *back.Image), 0);
  }
  // A default CCI saved and loaded still computes with 0.015.
  TSeriesChart c;
  auto* src = c.Add<TCandleSeries>();
  src->SetName("Src");
  auto* s = c.Add<TLineSeries>();
  s->SetName("Cci");
  s->AttachFunction(new TCCIFunction(nullptr));
  TMemoryStream m;
  WriteNativeChart(&c.Chart, m, true, true);
  m.SetPosition(0);
  TSeriesChart back;
  TCustomChart* target = &back.Chart;
  ReadNativeChart(target, m);
  EXPECT_EQ(dynamic_cast<TCCIFunction*>(back.Chart.SeriesAt(1)->FunctionObject())->Constant(), 0.015);
}
