// The data view's tool commands, the journal commands routed to it and its chart menus.
#include "app/property_window.h"
#include "app/views/data_view.h"
#include "app_fixture.h"
#include "chart/engine/chart.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "controls/vx_checklist.h"
#include "mtdata/plot_tables.h"
#include "platform/actnlist.h"
#include "platform/menus.h"

namespace {

struct DataViewToolsFixture : AppFixture {
  TGrViewNf1* Open() {
    Start();
    ChooseFiles({SiteFile("S107.MT1")});
    EXPECT_TRUE(MainForm1->acOpen->Execute());
    EXPECT_TRUE(MainForm1->AcResultingData->Execute());
    EXPECT_TRUE(FormExists(GrView1));
    GrView1->SetBounds(0, 0, 760, 700);
    Application->ProcessMessages();
    return GrView1;
  }
  static int Count(TChart* C) { return C->SeriesList()->Count(); }
};

}  // namespace

// The cursor tools, the journal commands and the chart menus reach the data view.
TEST_F(DataViewToolsFixture, ToolCommandsUndoAndMenusAreRoutedToTheView) {
  TGrViewNf1* v = Open();
  v->clbParameters->SetCheckedIndex(1);
  v->Refresh(nullptr);
  ASSERT_EQ(MainForm1->ActiveView(), v);
  const struct {
    TAction* Tool;
    TCursor Rest, Series;
    bool Zoom;
  } cases[] = {{MainForm1->AcHand, crDefault, -21, true},           {MainForm1->AcTwoVert, crDefault, crDefault, false},
               {MainForm1->AcCircle, -5, crDefault, true},          {MainForm1->AcLasso, crDefault, crDefault, false},
               {MainForm1->AcTwoHorl, crDefault, crDefault, false},  // changes nothing
               {MainForm1->AcPointer, crDefault, crDefault, true}};
  for (const auto& c : cases) {
    v->PointerExecute(c.Tool);
    for (TChart* chart : {v->Chart1, v->Chart2}) {
      EXPECT_EQ(chart->OriginalCursor, c.Rest) << c.Tool->Name();
      EXPECT_EQ(chart->Zoom()->Allow(), c.Zoom) << c.Tool->Name();
      ASSERT_GT(Count(chart), 0);
      EXPECT_EQ(chart->SeriesList()->SeriesAt(0)->Cursor(), c.Series) << c.Tool->Name();
    }
  }

  // An edit made elsewhere and undone from this view: the mask and the curve come back.
  const int f = 3;
  TChartSeries* rhoxy = v->Chart1->SeriesList()->SeriesAt(0);
  const double before = rhoxy->YValueAt(rhoxy->XValues()->Locate(CurrentSite->Frequencies[f]));
  const std::string mask = MaskText();
  for (int x = 1; x <= CurrentSite->XprCount[f] / 2; ++x)
    if (CurrentSite->Mask[f][x] == 1) CurrentSite->Mask[f][x] = 2;
  CommitMaskEdit(f, "Test");
  rhoxy = v->Chart1->SeriesList()->SeriesAt(0);
  EXPECT_NE(rhoxy->YValueAt(rhoxy->XValues()->Locate(CurrentSite->Frequencies[f])), before);
  ASSERT_TRUE(MainForm1->AcUndo->Enabled());
  MainForm1->AcUndo->Execute();
  EXPECT_EQ(MaskText(), mask);
  rhoxy = v->Chart1->SeriesList()->SeriesAt(0);
  EXPECT_DOUBLE_EQ(rhoxy->YValueAt(rhoxy->XValues()->Locate(CurrentSite->Frequencies[f])), before);
  MainForm1->AcRedo->Execute();
  EXPECT_NE(MaskText(), mask);

  // The tool checks are kept while another window is active.
  MainForm1->CheckViewActions(0x8 | 0x100 | 0x10);  // hand, deleting, two horizontal lines
  v->FormDeactivate(nullptr);
  EXPECT_EQ(v->ToolState, 0x8 | 0x100);

  // "Properties" of the second chart opens its rows; "ChartEditor" is there for each chart, and
  // "Print Preview...".
  ASSERT_EQ(v->PopupMenu2->Items()->Count(), 3);
  EXPECT_TRUE(v->PopupMenu1->Items()->Items(0)->Enabled());
  EXPECT_EQ(v->PopupMenu1->Items()->Items(0)->Caption(), "ChartEditor");
  v->PopupMenu2->Items()->Items(1)->Click();
  ASSERT_TRUE(ObjInsp1);
  EXPECT_TRUE(ObjInsp1->Visible());
  EXPECT_EQ(ObjInsp1->OwnerView(), v);
  EXPECT_EQ(PropTable.Panel, v->Chart2);
}
