#include "mtdata/plot_tables.h"

#include "log_fixture.h"
#include "platform/logdevice.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using mtdata_test::StartLog;
using mtdata_test::StopLog;

class PlotTables : public testing::Test {
protected:
  void SetUp() override {
    ResetPropRows();
    plots.Allocate();
    for (int p = 0; p <= MaxParam; ++p) plots[5][p] = p == 0 ? 0 : 1000 + p;
  }
  void TearDown() override { ResetPropRows(); }
  TPlots plots;
};

TEST_F(PlotTables, PlotTypeTable) {
  EXPECT_EQ(PlotTypes[0].Title, "Impedance");
  EXPECT_EQ(PlotTypes[10].Title, "H tensor");
  EXPECT_EQ(PlotTypes[4].LastChart, 1);
  EXPECT_EQ(PlotTypes[8].FreqAxisTitle, "Depth, Km");
  EXPECT_EQ(PlotTypes[1].AxisTitles[1], "Resistivity (Ohm-M)");
  EXPECT_TRUE(PlotTypes[1].LogAxis[1]);
  EXPECT_FALSE(PlotTypes[1].LogAxis[2]);
  EXPECT_EQ(PlotCurveCounts[5], 10);
  // Every curve within the count has a parameter on the magnitude value side, none beyond.
  for (int plot = 0; plot <= 10; ++plot)
    for (int curve = 0; curve <= 11; ++curve)
      EXPECT_EQ(PlotMapTable[plot][1][1][curve] != 0, curve < PlotCurveCounts[plot]) << plot << "/" << curve;
}

TEST_F(PlotTables, GetPlotValue) {
  EXPECT_EQ(GetPlotValue(plots, 5, 1, 0, 1, 1), 1001);  // parameter 1
  EXPECT_EQ(GetPlotValue(plots, 5, 1, 1, 2, 2), 1040);  // phase variance, curve 1: 40
  EXPECT_EQ(GetPlotValue(plots, 5, 0, 4, 1, 2), 1129);
  for (int curve = 0; curve <= 11; ++curve) EXPECT_EQ(GetPlotValue(plots, 5, 3, curve, 2, 1), 0);
  EXPECT_THROW(GetPlotValue(plots, 5, 1, 12, 1, 1), ERangeError);
  EXPECT_THROW(GetPlotValue(plots, 5, 11, 0, 1, 1), ERangeError);
  EXPECT_THROW(GetPlotValue(plots, 5, 1, 0, 3, 1), ERangeError);
  EXPECT_THROW(GetPlotValue(plots, 5, 1, 0, 1, 0), ERangeError);
  EXPECT_THROW(GetPlotValue(plots, 141, 1, 0, 1, 1), ERangeError);
}

TEST_F(PlotTables, GetPlotValueLoggedLogsInsteadOfRaising) {
  StartLog();
  const double v = GetPlotValueLogged(plots, 5, 1, 12, 1, 2);
  EXPECT_EQ(StopLog(), "PlotNumber=1 mph=2 ValErr=1 i=12 Result=0\n");
  EXPECT_EQ(v, 0);
  StartLog();
  EXPECT_EQ(GetPlotValueLogged(plots, 5, 1, 0, 1, 1), 1001);
  EXPECT_EQ(StopLog(), "");
}

std::vector<int> Ids(const TPropTable& t) {
  std::vector<int> ids;
  for (const TPropRec& r : t.Rows) ids.push_back(r.Id);
  return ids;
}

TEST_F(PlotTables, FillPropRows) {
  TObject* panel = reinterpret_cast<TObject*>(&plots);
  FillPropRows(0, 1, panel);
  EXPECT_EQ(PropTable.Panel, panel);
  EXPECT_EQ(Ids(PropTable), (std::vector<int>{9, 10, 1, 2, 3, 4, 5, 6, 7, 8, 109}));
  EXPECT_EQ(PropTable.Rows[0].Caption, "ZMin");
  EXPECT_EQ(PropTable.Rows[0].Name, "YMin");
  EXPECT_EQ(PropTable.Rows[1].Value, "1000");

  FillPropRows(0, 2, panel);
  EXPECT_EQ(Ids(PropTable), (std::vector<int>{12, 13, 14, 1, 2, 3, 4, 5, 6, 7, 8, 109}));
  EXPECT_EQ(PropTable.Rows[2].Name, "+180");
  EXPECT_EQ(PropTable.Rows[2].Kind, pkCheck);
  EXPECT_EQ(PropTable.Rows[0].Group, 2);

  FillPropRows(4, 2, panel);  // a chart without rows
  EXPECT_EQ(PropTable.Rows.size(), 9u);
  FillPropRows(10, 2, panel);
  EXPECT_EQ(PropTable.Rows[0].Id, 9 + 60 + 3);
  EXPECT_EQ(PropTable.Rows[0].Caption, "PhmMin");
  EXPECT_THROW(FillPropRows(11, 1, panel), ERangeError);
}

TEST_F(PlotTables, StorePropRowsChangesOnlyTheRowOfThatId) {
  FillPropRows(0, 1, nullptr);
  PropTable.Rows[0].Value = "5";       // id 9
  PropTable.Rows[10].Value = "False";  // id 109, Legend
  StorePropRows();
  EXPECT_EQ(PlotPropRows[0][1][1].Value, "5");
  EXPECT_EQ(PlotPropRows[1][1][1].Value, "1");  // RoMin untouched
  EXPECT_EQ(PlotPropRows[0][2][1].Value, "-180");
  EXPECT_EQ(CommonPropRows[9].Value, "False");
  EXPECT_EQ(CommonPropRows[1].Value, "3");
}

TEST_F(PlotTables, RowsToPlotSettings) {
  FillPropRows(1, 2, nullptr);
  for (TPropRec& r : PropTable.Rows) {
    if (r.Name == "+180") r.Value = "True";
    if (r.Name == "PointSize") r.Value = "0";
    if (r.Name == "Bar") r.Value = "true";  // only exactly "True" counts
  }
  TPlotSettings s;
  InitPlotSettings(s);
  PropRowsToPlotSettings(PropTable.Rows, s);
  EXPECT_EQ(s.YMin, -180);
  EXPECT_EQ(s.YMax, 180);
  EXPECT_EQ(s.XMin, 3);
  EXPECT_EQ(s.XMax, 10000);
  EXPECT_TRUE(s.Plus180);
  EXPECT_TRUE(s.AutoX);
  EXPECT_FALSE(s.Bar);
  EXPECT_EQ(s.PointSize, 1);
}

}  // namespace
