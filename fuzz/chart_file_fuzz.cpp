// Fuzz target of the native chart file reader, with every series type, function and tool the
// program registers: any input, binary or text form, must end in a loaded chart or in a clear
// exception, never in a crash, a leak or undefined behaviour; a chart that loaded must save again
// in both forms. A failed load must leave the chart's series as they were.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "chart/engine/registries.h"
#include "chart/extra/bspline.h"
#include "chart/extra/chart_file.h"
#include "chart/extra/contour_series.h"
#include "chart/extra/data_table_tool.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/lighting_tool.h"
#include "chart/extra/testkit/functions_chart.h"
#include "chart/extra/map_series.h"
#include "chart/extra/point3d_series.h"
#include "chart/extra/scroll_bar_tool.h"
#include "chart/extra/selector_tool.h"
#include "chart/extra/series_band_tools.h"
#include "chart/extra/surface_series.h"
#include "chart/extra/trisurface_series.h"
#include "chart/extra/vector_tower_series.h"
#include "chart/series/bar_series.h"
#include "chart/series/functions_average.h"
#include "chart/series/functions_basic.h"
#include "chart/series/functions_financial.h"
#include "chart/series/functions_statistical.h"
#include "chart/series/functions_trend.h"
#include "chart/series/line_series.h"
#include "chart/series/pie_series.h"
#include "chart/series/report_chart.h"
#include "chart/series/standard_series.h"
#include "chart/series/tools_axis.h"
#include "chart/series/tools_register.h"
#include "platform/exceptions.h"
#include "platform/streams.h"
#include "fuzz/more_series_seeds.h"

namespace {

// The seed files of fuzz/corpus/chart_file, made again with VM_FUZZ_WRITE_SEEDS=<folder>: a small
// chart with series of several kinds, in both forms, with and without points, without and with
// a tool on an axis and a series computed by a function; and one with the further 2D series types.
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
  auto* band = new TGridBandTool(nullptr);
  band->SetName("ChartTool1");
  chart.Tools->Add(band);
  band->SetAxis(chart.LeftAxis());
  auto* average = new TLineSeries(nullptr);
  average->SetName("Series4");
  chart.AttachSeries(average);
  auto* function = new TMovingAverageFunction(nullptr);
  average->AttachFunction(function);
  average->SetDataSource(line);
  for (int form = 0; form < 4; ++form) {
    TMemoryStream s;
    WriteNativeChart(&chart, s, form & 1, form & 2);
    s.SaveToFile(Folder + "/seed" + std::to_string(form + 4) + ".qvx");
  }
  TChart more(nullptr);
  BuildMoreSeriesChart(more);
  for (int form = 0; form < 4; ++form) {
    TMemoryStream s;
    WriteNativeChart(&more, s, form & 1, form & 2);
    s.SaveToFile(Folder + "/seed" + std::to_string(form + 8) + ".qvx");
  }
}

// Seeds of the 3D family: a 3D chart per series type with a few points (a small grid, scattered
// points, polygons, vectors, bubbles), given levels, a smoothing function and a lighting tool.
void WriteSeeds3D(const std::string& Folder) {
  auto save = [&](TChart& Chart, const std::string& Name) {
    for (int form = 0; form < 2; ++form) {
      TMemoryStream s;
      WriteNativeChart(&Chart, s, true, form == 1);
      s.SaveToFile(Folder + "/" + Name + (form == 1 ? "_text" : "") + ".qvx");
    }
  };
  auto grid = [](TCustom3DSeries* S) {
    for (int z = 1; z <= 3; ++z)
      for (int x = 1; x <= 3; ++x) S->AddXYZ(x, (x * z) % 4, z);
  };
  {
    TChart chart(nullptr);
    auto* surface = new TSurfaceSeries(nullptr);
    surface->SetName("Series1");
    chart.AttachSeries(surface);
    grid(surface);
    auto* water = new TWaterFallSeries(nullptr);
    water->SetName("Series2");
    chart.AttachSeries(water);
    grid(water);
    auto* tower = new TTowerSeries(nullptr);
    tower->SetName("Series3");
    tower->SetTowerStyle(tsCone);
    chart.AttachSeries(tower);
    grid(tower);
    auto* light = new TLightTool(nullptr);
    light->SetName("Light1");
    chart.Tools->Add(light);
    save(chart, "seed3d_grid");
  }
  {
    TChart chart(nullptr);
    auto* contour = new TContourSeries(nullptr);
    contour->SetName("Series1");
    chart.AttachSeries(contour);
    grid(contour);
    contour->SetAutomaticLevels(false);
    contour->Levels()->AddLevel()->SetUpToValue(1.5);
    contour->Levels()->AddLevel()->SetUpToValue(2.5);
    contour->Levels()->Level(1)->Pen()->SetWidth(2);
    auto* source = new TLineSeries(nullptr);
    source->SetName("Series2");
    chart.AttachSeries(source);
    for (int i = 0; i < 5; ++i) source->AddXY(i, i % 3);
    auto* smooth = new TLineSeries(nullptr);
    smooth->SetName("Series3");
    chart.AttachSeries(smooth);
    auto* f = new TSmoothingFunction(nullptr);
    f->SetName("Smoothing1");
    smooth->AttachFunction(f);
    smooth->AddDataSourceInternal(source);
    smooth->RefreshDataFromSource();
    save(chart, "seed3d_contour");
  }
  {
    TChart chart(nullptr);
    auto* tri = new TTriSurfaceSeries(nullptr);
    tri->SetName("Series1");
    chart.AttachSeries(tri);
    const double pts[][3] = {{0, 1, 0}, {2, 3, 0}, {1, 2, 2}, {3, 0, 3}, {0, 1, 0}};
    for (auto& p : pts) tri->AddXYZ(p[0], p[1], p[2]);
    auto* vec = new TVector3DSeries(nullptr);
    vec->SetName("Series2");
    chart.AttachSeries(vec);
    vec->AddVector(0, 0, 0, 1, 2, 3);
    vec->AddVector(2, 1, 0, 2, 1, 0);
    auto* point = new TPoint3DSeries(nullptr);
    point->SetName("Series3");
    chart.AttachSeries(point);
    point->AddXYZ(1, 2, 3);
    point->AddXYZ(2, 1, 0);
    auto* bubble = new TBubble3DSeries(nullptr);
    bubble->SetName("Series4");
    chart.AttachSeries(bubble);
    bubble->AddBubble(1, 2, 3, 0.5, "b");
    save(chart, "seed3d_points");
  }
  {
    TChart chart(nullptr);
    auto* map = new TMapSeries(nullptr);
    map->SetName("Series1");
    chart.AttachSeries(map);
    TGraphPolygon* p = map->Shapes()->AddPolygon();
    for (auto [x, y] : {std::pair{0, 0}, {2, 0}, {1, 2}}) p->AddXY(x, y);
    p->SetText("T");
    p->SetZ(1);
    TGraphPolygon* q = map->Shapes()->AddPolygon();
    q->AddXY(3, 3);
    q->SetClosed(false);
    q->SetColor(clRed);
    save(chart, "seed3d_map");
  }
}

// Seeds of the down-sampling, compression, count, cumulative and indicator functions.
void WriteSeedsFunctions(const std::string& Folder) {
  TChart chart(nullptr);
  BuildFunctionsChart(chart);
  for (int form = 0; form < 2; ++form) {
    TMemoryStream s;
    WriteNativeChart(&chart, s, true, form == 1);
    s.SaveToFile(Folder + "/seed_functions" + (form == 1 ? "_text" : "") + ".qvx");
  }
}

// Seeds of the scroll-bar, data-table, selector, series-band, extra-legend and pie tools, each
// with settings changed from their defaults, on two line series and a pie.
void WriteSeedsTools(const std::string& Folder) {
  TChart chart(nullptr);
  auto* upper = new TLineSeries(nullptr);
  upper->SetName("Series1");
  chart.AttachSeries(upper);
  auto* lower = new TLineSeries(nullptr);
  lower->SetName("Series2");
  chart.AttachSeries(lower);
  for (int i = 0; i < 6; ++i) {
    upper->AddXY(i, 5 + i % 3);
    lower->AddXY(i, i % 2);
  }
  auto* pie = new TPieSeries(nullptr);
  pie->SetName("Series3");
  chart.AttachSeries(pie);
  pie->AddY(2);
  pie->AddY(3);
  auto add = [&](TGraphCustomTool* Tool, const char* Name) {
    Tool->SetName(Name);
    chart.Tools->Add(Tool);
  };
  auto* bar = new TLegendScrollBar(nullptr);
  add(bar, "ChartTool1");
  bar->SetSize(12);
  bar->SetDrawStyle(dsWhenNeeded);
  auto* table = new TDataTableTool(nullptr);
  add(table, "ChartTool2");
  table->SetInverted(true);
  table->Legend()->SetOtherSide(true);
  auto* selector = new TSelectorTool(nullptr);
  add(selector, "ChartTool3");
  selector->SetHandleSize(5);
  auto* band = new TSeriesBandTool(nullptr);
  add(band, "ChartTool4");
  band->SetSeries(upper);
  band->SetSeries2(lower);
  band->SetTransparency(40);
  auto* legend = new TExtraLegendTool(nullptr);
  add(legend, "ChartTool5");
  legend->SetSeries(lower);
  legend->Legend()->SetLeft(20);
  auto* slices = new TPieTool(nullptr);
  add(slices, "ChartTool6");
  slices->SetSeries(pie);
  slices->SetStyle(ptExplode);
  for (int form = 0; form < 2; ++form) {
    TMemoryStream s;
    WriteNativeChart(&chart, s, true, form == 1);
    s.SaveToFile(Folder + "/seed_tools" + (form == 1 ? "_text" : "") + ".qvx");
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  InitChartModule();
  InitStandardSeries();
  RegisterStandardTools();
  RegisterBasicFunctions();
  RegisterAverageFunctions();
  RegisterStatisticalFunctions();
  RegisterTrendFunctions();
  RegisterFinancialFunctions();
  InitExtraSeries();
  InitChartOutput();
  RegisterReportChartClasses();
  if (const char* folder = std::getenv("VM_FUZZ_WRITE_SEEDS")) {
    WriteSeeds(folder);
    WriteSeeds3D(folder);
    WriteSeedsFunctions(folder);
    WriteSeedsTools(folder);
  }
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
