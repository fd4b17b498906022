// The surface-nearest tool over a stand-in surface (a grid series whose cell hit test the test
// sets): the cell, its row and its column take their colours, and moving off restores them.
#include <gtest/gtest.h>

#include <cstdlib>

#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/grid_series.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/surface_nearest_tool.h"
#include "chart/extra/surface_series.h"
#include "chart/series/line_series.h"
#include "chart/series/testkit/series_testkit.h"

namespace {
class TStandInSurface : public TCustom3DGridSeries {
public:
  using TCustom3DGridSeries::TCustom3DGridSeries;
  int32_t PointIndexAt(int32_t, int32_t) override { return Hit; }
  int32_t Hit = -1;
};

struct SurfaceToolTest : ::testing::Test {
  void SetUp() override {
    saved = SurfaceCellAccess;
    SurfaceCellAccess.IsSurface = [](TChartSeries* S) { return dynamic_cast<TStandInSurface*>(S) != nullptr; };
  }
  void TearDown() override { SurfaceCellAccess = saved; }
  TSurfaceCellAccess saved;
};
}  // namespace

TEST_F(SurfaceToolTest, ColoursTheCellItsRowAndColumnAndRestoresThem) {
  for (int rowStep : {1, -1}) {
    SurfaceCellAccess.DrawSteps = [rowStep](TChartSeries*, int32_t& C, int32_t& R) {
      C = 1;
      R = rowStep;
    };
    TSeriesChart c;
    auto* s = c.Add<TStandInSurface>();
    for (int x = 1; x <= 3; ++x)
      for (int z = 1; z <= 3; ++z) s->AddXYZ(x, x + z, z);
    auto* tool = new TSurfaceNearestTool(nullptr);
    c.Chart.Tools->Add(tool);
    tool->SetSeries(s);
    ASSERT_EQ(tool->Series(), s);
    int selected = 0;
    tool->OnSelectCell = [&](TObject*) { ++selected; };
    s->Hit = 4;  // x 2, z 2
    c.Chart.DispatchMouseMove({}, 10, 10);
    c.Chart.DispatchMouseMove({}, 11, 10);  // the same cell again: nothing new
    EXPECT_EQ(selected, 1);
    const double x0 = 1, z0 = rowStep == -1 ? 3 : 2;  // the cell's drawing corner
    for (int j = 0; j < s->PointCount(); ++j) {
      const bool sx = s->XValues()->Value(j) == x0, sz = s->ZValues()->Value(j) == z0;
      const TColor want = sx && sz ? clRed : sx ? clBlue : sz ? clGreen : clDefault;
      EXPECT_EQ(s->StoredColorAt(j), want) << j;
    }
    s->Hit = -1;
    c.Chart.DispatchMouseMove({}, 300, 10);
    EXPECT_EQ(selected, 2);
    for (int j = 0; j < s->PointCount(); ++j) EXPECT_EQ(s->StoredColorAt(j), clDefault);
    c.Chart.Tools->Clear();
  }
}

TEST_F(SurfaceToolTest, AcceptsOnlySurfaces) {
  TSurfaceNearestTool tool(nullptr);
  TLineSeries line(nullptr);
  tool.SetSeries(&line);
  EXPECT_EQ(tool.Series(), nullptr);
  SurfaceCellAccess = saved;  // by name: a grid series is no surface
  TCustom3DGridSeries grid(nullptr);
  tool.SetSeries(&grid);
  EXPECT_EQ(tool.Series(), nullptr);
}

TEST(SurfaceNearestTool, FollowsTheRegisteredSurfaceSeries) {
  InitExtraSeries();
  TSurfaceNearestTool tool(nullptr);
  TSurfaceSeries surface(nullptr);
  tool.SetSeries(&surface);
  EXPECT_EQ(tool.Series(), &surface);
  int32_t columnStep = 0, rowStep = 0;
  ASSERT_TRUE(SurfaceCellAccess.DrawSteps);
  SurfaceCellAccess.DrawSteps(&surface, columnStep, rowStep);
  EXPECT_EQ(std::abs(columnStep), 1);
  EXPECT_EQ(std::abs(rowStep), 1);
}
