// One form, shown again for another series of its type, shows that series' values, and the tabs
// it added edit the new series too without being added again.
#include <gtest/gtest.h>

#include <functional>

#include "chart/editor/chart_list_box.h"
#include "chart/editor/grid3d_editors.h"
#include "chart/editor/map_gauge_editors.h"
#include "chart/editor/other_series_editors.h"
#include "chart/editor/palette_editors.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/extra/box_plot_series.h"
#include "chart/extra/calendar_series.h"
#include "chart/extra/contour_series.h"
#include "chart/extra/funnel_series.h"
#include "chart/extra/gauge_series.h"
#include "chart/extra/map_series.h"
#include "chart/extra/point3d_series.h"
#include "chart/extra/pyramid_pipe_series.h"
#include "chart/extra/smith_series.h"
#include "chart/extra/surface_series.h"
#include "chart/extra/trisurface_series.h"
#include "chart/extra/vector_tower_series.h"
#include "platform/stdctrls.h"
#include "platform/updown.h"
#include "series_page_fixture.h"

namespace {

struct Rebind : SeriesFormFixture {
  void SetUp() override {
    SeriesFormFixture::SetUp();
    RegisterGrid3DEditorForms();
    RegisterPaletteEditorForms();
    RegisterMapGaugeEditorForms();
    RegisterOtherSeriesEditorForms();
    RegisterShapeEditorClasses();
  }
  // Shows form F with a series, then the same form with another one made different by Differ.
  template <class S, class F>
  void Check(const std::function<void(S*)>& Differ, const std::function<void(F*, S*)>& Shows) {
    SCOPED_TRACE(F::StaticClass()->ClassName());
    auto* a = Add<S>();
    auto* b = Add<S>();
    Differ(b);
    F* f = Select<F>(a);
    ASSERT_TRUE(f);
    const std::vector<std::string> tabs = Tabs();
    f->SetTag(reinterpret_cast<intptr_t>(static_cast<TObject*>(b)));
    ShowAgain(f);
    Shows(f, b);
    EXPECT_EQ(Tabs(), tabs);
    if (auto* g = TabForm<TGrid3DSeriesEditor>("Grid 3D")) {
      EXPECT_EQ(static_cast<TObject*>(g->Grid3DSeries), b);
    }
  }
};

}  // namespace

TEST_F(Rebind, EachFormShowsTheSeriesItIsShownWith) {
  Check<TSurfaceSeries, TSurfaceSeriesEditor>([](auto* S) { S->SetTransparency(35); },
                                              [](auto* F, auto*) { EXPECT_EQ(F->Transp.Edit->Text(), "35"); });
  Check<TWaterFallSeries, TWaterFallEditor>([](auto* S) { S->SetWireFrame(true); },
                                            [](auto* F, auto* S) {
                                              EXPECT_EQ(F->RadioGroup1->ItemIndex(), 1);
                                              EXPECT_EQ(F->BLines->Pen(), S->WaterLines());
                                            });
  Check<TContourSeries, TContourSeriesEditor>([](auto* S) { S->SetNumLevels(3); },
                                              [](auto* F, auto*) { EXPECT_EQ(F->SENum->Text(), "3"); });
  Check<TColorGridSeries, TColorGridEditor>([](auto* S) { S->SetXGridEvery(9); },
                                            [](auto* F, auto*) { EXPECT_EQ(F->XEvery.Edit->Text(), "9"); });
  Check<TTriSurfaceSeries, TTriSurfaceSeriesEditor>([](auto* S) { S->SetTransparency(20); },
                                                    [](auto* F, auto*) { EXPECT_EQ(F->Transp.Edit->Text(), "20"); });
  Check<TTowerSeries, TTowerSeriesEditor>([](auto* S) { S->SetPercentWidth(45); },
                                          [](auto* F, auto*) { EXPECT_EQ(F->Width.Edit->Text(), "45"); });
  Check<TVector3DSeries, TVectorSeriesEditor>([](auto* S) { S->SetArrowWidth(11); },
                                              [](auto* F, auto*) { EXPECT_EQ(F->ArrowWidth.Edit->Text(), "11"); });
  Check<TPoint3DSeries, TPoint3DSeriesEditor>([](auto* S) { S->SetDepthSize(7); },
                                              [this](auto* F, auto* S) {
                                                EXPECT_EQ(F->PointDepth.Edit->Text(), "7");
                                                EXPECT_EQ(TabForm<TSeriesPointerEditor>("Point")->Pointer,
                                                          S->Pointer());
                                              });
  Check<TMapSeries, TMapSeriesEditor>(
      [](auto* S) {
        S->Shapes()->AddPolygon()->SetText("x");
        S->Shapes()->AddPolygon()->SetText("y");
      },
      [](auto* F, auto*) {
        F->PageControl2->SetActivePage(F->TabShapes);
        F->PageControl2->OnChange(F->PageControl2);
        ASSERT_EQ(F->ChartListBox1->Items()->Count(), 2);
        EXPECT_EQ(F->ChartListBox1->Items()->Strings(1), "y");
      });
  Check<TGaugeSeries, TGaugeSeriesEditor>([](auto* S) { S->SetHandDistance(-20); },
                                          [](auto* F, auto*) { EXPECT_EQ(F->Dist.Edit->Text(), "-20"); });
  Check<TCalendarSeries, TCalendarSeriesEditor>([](auto* S) { S->SetNextButtonVisible(false); },
                                                [](auto* F, auto* S) {
                                                  EXPECT_FALSE(F->CBNext->Checked());
                                                  EXPECT_EQ(F->CellEditors[0]->Shape, S->Days());
                                                });
  Check<TFunnelSeries, TFunnelSeriesEditor>([](auto* S) { S->SetDifferenceLimit(7); },
                                            [](auto* F, auto*) { EXPECT_EQ(F->DifLimit.Edit->Text(), "7"); });
  Check<TPyramidSeries, TPyramidSeriesEditor>([](auto* S) { S->SetSizePercent(35); },
                                              [](auto* F, auto*) { EXPECT_EQ(F->Size.Edit->Text(), "35"); });
  Check<TSmithSeries, TSmithSeriesEdit>([](auto* S) { S->SetImagSymbol("j"); },
                                        [](auto* F, auto*) { EXPECT_EQ(F->EImag->Text(), "j"); });
  Check<TVolumePipeSeries, TVolumePipeSeriesEditor>([](auto* S) { S->SetConePercent(45); },
                                                    [](auto* F, auto*) { EXPECT_EQ(F->Cone.Edit->Text(), "45"); });
  Check<TBoxSeries, TBoxSeriesEditor>([](auto* S) { S->SetWhiskerLength(3); },
                                      [this](auto* F, auto* S) {
                                        EXPECT_EQ(F->ELength->Text(), "3");
                                        EXPECT_EQ(TabForm<TSeriesPointerEditor>("Box")->Pointer, S->Pointer());
                                        EXPECT_EQ(TabForm<TSeriesPointerEditor>("MildOut")->Pointer, S->MildOut());
                                      });
}
