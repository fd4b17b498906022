#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "chart_testkit.h"
#include "chart/engine/chart_errors.h"
#include "platform/metafile.h"
#include "platform/printers.h"

namespace {

// Logs the chart's events and tool stages with the number of drawing calls made so far.
struct TStageLog {
  std::vector<std::string> Log;
  TRecordedChart& R;
  explicit TStageLog(TRecordedChart& AR) : R(AR) {
    auto add = [this](const std::string& s) { return [this, s](TObject*) { Log.push_back(s); }; };
    R.Chart.OnBeforeDrawChart = add("OnBeforeDrawChart");
    R.Chart.OnBeforeDrawAxes = add("OnBeforeDrawAxes");
    R.Chart.OnBeforeDrawSeries = add("OnBeforeDrawSeries");
    R.Chart.OnAfterDraw = add("OnAfterDraw");
    R.Chart.Tools->Add(new TLogTool(&Log, "tool"));
  }
  int At(const std::string& Entry) const {
    auto it = std::find(Log.begin(), Log.end(), Entry);
    return it == Log.end() ? -1 : static_cast<int>(it - Log.begin());
  }
};

}  // namespace

TEST(ChartPipeline, StagesToolsAndEventsInOrder) {
  for (int k = 0; k < 4; ++k) {
    const bool behind = k % 2 == 0, view3D = k >= 2;
    TRecordedChart r;
    TStageLog s(r);
    r.Chart.SetAxisBehind(behind);
    r.Chart.SetView3D(view3D);
    r.Draw();
    std::vector<std::string> want = {"tool:BeforeChart", "OnBeforeDrawChart"};
    if (behind) {
      want.insert(want.end(), {"tool:BeforeAxes", "OnBeforeDrawAxes", "tool:BeforeSeries", "OnBeforeDrawSeries",
                               "tool:AfterSeries"});
    } else {
      want.insert(want.end(), {"tool:BeforeSeries", "OnBeforeDrawSeries", "tool:AfterSeries", "tool:BeforeAxes",
                               "OnBeforeDrawAxes"});
    }
    want.insert(want.end(), {"tool:AfterDraw", "OnAfterDraw"});
    EXPECT_EQ(s.Log, want) << "AxisBehind " << behind << " 3D " << view3D;
    // The repaint switch is back after the draw.
    EXPECT_TRUE(r.Chart.AutoRepaint);
  }
}

TEST(ChartPipeline, DrawingCallsComeInStageOrder) {
  for (bool behind : {true, false}) {
    TRecordedChart r;
    r.Chart.Title()->Text()->Add("Chart title");
    r.Chart.SetAxisBehind(behind);
    r.Chart.BottomAxis()->Title()->SetCaption("X axis");
    r.Draw();
    const TRecordingCanvas& rec = *r.Rec;
    // A vertical legend comes first, then the titles; the walls, axes and series after both.
    int title = -1;
    for (int i = 0; i < static_cast<int>(rec.Calls.size()); ++i)
      if (rec.Calls[i].find("\"Chart title\"") != std::string::npos) title = i;
    ASSERT_GE(title, 0);
    const int legendText = rec.IndexOf("TextOut(", 0);
    ASSERT_GE(legendText, 0);
    EXPECT_LT(legendText, title);
    const int wall = rec.IndexOf("Rectangle(", title);
    ASSERT_GT(wall, title);
    const int series = rec.IndexOf("Polyline(", wall);
    ASSERT_GT(series, wall);
    int axisLine = -1;
    for (int i = wall; i < static_cast<int>(rec.Calls.size()); ++i)
      if (rec.Calls[i].rfind("HorizLine3D(", 0) == 0 || rec.Calls[i].rfind("VertLine3D(", 0) == 0) {
        axisLine = i;
        break;
      }
    ASSERT_GT(axisLine, wall);
    if (behind)
      EXPECT_LT(axisLine, series);
    else
      EXPECT_GT(axisLine, series);
  }
}

TEST(ChartPipeline, ThreeDViewDrawsWallsAndDepth) {
  TRecordedChart r;
  r.Chart.SetView3D(true);
  r.Chart.View3DOptions()->SetOrthogonal(true);
  r.Draw();
  EXPECT_GT(r.Chart.Width3D, 0);
  EXPECT_EQ(r.Chart.MaxZOrder, 0);
  // Back wall at the depth, then the left wall and the floor, before the series.
  const int back = r.Rec->IndexOf("RectangleWithZ(");
  const int left = r.Rec->IndexOf("RectangleAtX(");
  const int floor = r.Rec->IndexOf("RectangleAtY(");
  const int series = r.Rec->IndexOf("Polyline(");
  EXPECT_GE(back, 0);
  EXPECT_GT(left, back);
  EXPECT_GT(floor, left);
  EXPECT_GT(series, floor);
}

TEST(ChartPipeline, DepthSizesFollowThePercent) {
  TChart chart(nullptr);
  chart.SetView3D(true);
  chart.View3DOptions()->SetOrthogonal(true);
  chart.View3DOptions()->SetOrthoAngle(45);
  chart.ChartRect = TRect(0, 0, 600, 400);
  chart.CalcChartRectSize();
  chart.MaxZOrder = 2;
  chart.CalcDepthSizes();
  EXPECT_EQ(chart.SeriesWidth3D, 9);
  EXPECT_EQ(chart.SeriesHeight3D, 9);
  EXPECT_EQ(chart.Width3D, 27);
  EXPECT_EQ(chart.Height3D, 27);
  chart.SetView3D(false);
  chart.CalcDepthSizes();
  EXPECT_EQ(chart.Width3D, 0);

  EXPECT_THROW(chart.SetChart3DPercent(0), Exception);
  try {
    chart.SetChart3DPercent(101);
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "3D effect percent must be between 1 and 100");
  }
  chart.SetChart3DPercent(100);
  EXPECT_EQ(chart.Chart3DPercent(), 100);
  EXPECT_THROW(chart.SetMaxPointsPerPage(-1), ChartException);
  EXPECT_EQ(chart.MaxPointsPerPage(), 0);
}

TEST(ChartPipeline, ChartWithoutSeriesDrawsItsAxes) {
  TRecordedChart r(false);
  r.Draw();
  EXPECT_TRUE(r.Chart.BottomAxis()->IsVisibleInPass);
  EXPECT_TRUE(r.Chart.LeftAxis()->IsVisibleInPass);
  EXPECT_EQ(r.Chart.CalcAxisLimit(r.Chart.LeftAxis(), true, false), 0);
  EXPECT_EQ(r.Chart.CountPages(), 1);
  r.Chart.DetachSeriesAt(-1);  // nothing, no event
}

TEST(ChartPipeline, BadValuesAreSkipped) {
  TRecordedChart r;
  r.Series->AddXY(11, std::numeric_limits<double>::quiet_NaN());
  r.Series->AddXY(std::numeric_limits<double>::infinity(), 5);
  r.Chart.BottomAxis()->SetAutomatic(true);
  r.Chart.LeftAxis()->SetAutomatic(true);
  r.Draw();  // no hang, no crash
  const auto polys = r.Rec->CallsOf("Polyline");
  ASSERT_FALSE(polys.empty());
  // A logarithmic axis over zero and negative values keeps drawing.
  r.Chart.LeftAxis()->SetMinimumMaximum(0, 100);
  r.Chart.LeftAxis()->SetLogarithmic(true);
  r.Series->AddXY(3, -4);
  r.Draw();
  EXPECT_FALSE(r.Rec->CallsOf("Polyline").empty());
}

TEST(ChartPipeline, OutputsBitmapMetafileAndPrinter) {
  TChart chart(nullptr);
  chart.SetBounds(0, 0, 300, 200);
  chart.SetView3D(false);
  chart.Title()->Text()->Add("Out");
  auto* s = new TTestLineSeries(nullptr);
  chart.AttachSeries(s);
  for (int i = 0; i < 5; ++i) s->AddXY(i, i);
  std::unique_ptr<TBitmap> b(chart.CreateBitmap(clWhite, TRect(0, 0, 300, 200), pf24bit));
  ASSERT_TRUE(b);
  EXPECT_EQ(b->Width(), 300);
  std::unique_ptr<TMetafile> m(chart.CreateMetafile(true, TRect(0, 0, 300, 200)));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->Width(), 300);
  const std::string pdf = ::testing::TempDir() + "/chart_print.pdf";
  Printer()->SetOutputFile(pdf);
  Printer()->BeginDoc();
  chart.PrintInRect(TRect(100, 100, 1000, 700));
  Printer()->EndDoc();
  std::FILE* f = std::fopen(pdf.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char head[5] = {};
  EXPECT_EQ(std::fread(head, 1, 4, f), 4u);
  std::fclose(f);
  EXPECT_EQ(std::string(head), "%PDF");
}

namespace {

int PdfPages(const std::string& File) {
  std::FILE* f = std::fopen(File.c_str(), "rb");
  if (!f) return -1;
  std::string data;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
  std::fclose(f);
  int pages = 0;
  for (size_t at = data.find("/Type /Page"); at != std::string::npos; at = data.find("/Type /Page", at + 1))
    if (data.compare(at, 12, "/Type /Pages") != 0) ++pages;
  return pages;
}

}  // namespace

TEST(ChartPipeline, PrintPageRangePrintsEachPageAndRestoresThePage) {
  TChart chart(nullptr);
  chart.SetName("Sounding");
  chart.SetBounds(0, 0, 300, 200);
  chart.SetView3D(false);
  auto* s = new TTestLineSeries(nullptr);
  chart.AttachSeries(s);
  for (int i = 0; i < 5; ++i) s->AddXY(i, i);
  chart.SetMaxPointsPerPage(2);
  ASSERT_EQ(chart.CountPages(), 3);
  chart.SetPage(2);
  std::vector<int> printed;
  chart.OnBeforePrint = [&](TCustomGraphPanel*, TCanvas*, TRect&) { printed.push_back(chart.Page()); };
  const std::string pdf = ::testing::TempDir() + "/chart_pages.pdf";
  struct Case {
    int From, To;
    std::vector<int> Pages;
  };
  for (const Case& c : {Case{0, 0, {1, 2, 3}}, Case{2, 0, {2, 3}}, Case{1, 1, {1}}, Case{3, 2, {}}}) {
    printed.clear();
    Printer()->SetOutputFile(pdf);
    chart.PrintPageRange(c.From, c.To);
    EXPECT_EQ(printed, c.Pages) << c.From << ".." << c.To;
    EXPECT_EQ(chart.Page(), 2);
    EXPECT_FALSE(Printer()->Printing());
    EXPECT_EQ(Printer()->Title(), "Sounding");
    // An empty range still makes a job (of one blank page).
    EXPECT_EQ(PdfPages(pdf), std::max<int>(1, static_cast<int>(c.Pages.size()))) << c.From << ".." << c.To;
  }
  // A failure on a page aborts the job, restores the page and reaches the caller.
  chart.OnBeforePrint = [&](TCustomGraphPanel*, TCanvas*, TRect&) {
    if (chart.Page() == 2) throw ChartException("no paper");
  };
  Printer()->SetOutputFile(pdf);
  EXPECT_THROW(chart.PrintPageRange(1, 3), ChartException);
  EXPECT_EQ(chart.Page(), 2);
  EXPECT_FALSE(Printer()->Printing());
}

TEST(ChartPipeline, PrintScalingTable) {
  TChart chart(nullptr);
  chart.SetBounds(0, 0, 400, 300);
  struct Case {
    int Resolution;
    TRect Target, Want;
    TSize Logical;
  };
  const Case cases[] = {
      {0, TRect(200, 100, 1000, 700), TRect(100, 50, 500, 350), TSize(400, 300)},
      {0, TRect(1000, 700, 200, 100), TRect(100, 50, 500, 350), TSize(400, 300)},  // corners put in order
      {-50, TRect(200, 100, 1000, 700), TRect(150, 75, 750, 525), TSize(600, 450)},
      {-100, TRect(0, 0, 400, 300), TRect(0, 0, 800, 600), TSize(800, 600)},
  };
  for (const Case& c : cases) {
    chart.SetPrintResolution(c.Resolution);
    TRect r = c.Target;
    TSize logical;
    chart.CalcPrintScaling(TRect(0, 0, 400, 300), r, logical);
    EXPECT_EQ(logical, c.Logical) << c.Resolution;
    EXPECT_EQ(r, c.Want) << c.Resolution;
  }
}
