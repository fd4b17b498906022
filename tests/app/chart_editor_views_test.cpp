// Every view of the program opens the chart editor on its own chart from its pop-up menu, and the
// chart shows the change afterwards.
#include <functional>
#include <string>

#include "app/main_form.h"
#include "app/views/complex_window.h"
#include "app/views/chart_editing.h"
#include "app/views/data_view.h"
#include "app/views/edit_window.h"
#include "app/views/errpoint_series.h"
#include "app/views/induction_view.h"
#include "app/views/mask_window.h"
#include "app/views/polar_view.h"
#include "app_fixture.h"
#include "chart/editor/axis_page.h"
#include "chart/editor/editor_dialog.h"
#include "chart/editor/format_axis_dialogs.h"
#include "chart/editor/line_editors.h"
#include "chart/editor/series_page.h"
#include "chart/editor/chart_list_box.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/extra/pen_dialog.h"
#include "platform/actnlist.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"

namespace {

struct ChartEditorViews : AppFixture {
  void Open() {
    Start();
    ChooseFiles({SiteFile("S107.MT1")});
    ASSERT_TRUE(MainForm1->acOpen->Execute());
  }
  void TearDown() override {
    EditorDialogHook = nullptr;
    AppFixture::TearDown();
  }
  // Clicks the entry of that caption in the chart's pop-up menu; answers the chart the editor
  // was opened on (none when it did not open).
  static TCustomChart* OpenFromMenu(TControl* Chart, const std::string& Caption,
                                    std::function<void(TChartEditForm*)> Act = nullptr) {
    TPopupMenu* menu = ControlPopupMenu(Chart);
    EXPECT_NE(menu, nullptr);
    if (!menu) return nullptr;
    TCustomChart* opened = nullptr;
    EditorDialogHook = [&](TForm* F) {
      auto* d = dynamic_cast<TChartEditForm*>(F);
      if (!d) return;
      opened = d->Chart();
      if (Act) Act(d);
      d->BClose->Click();
    };
    for (int i = 0; i < menu->Items()->Count(); ++i) {
      TMenuItem* item = menu->Items()->Items(i);
      if (item->Caption() != Caption) continue;
      EXPECT_TRUE(item->Enabled()) << Caption;
      item->Click();
      break;
    }
    EditorDialogHook = nullptr;
    return opened;
  }
};

}  // namespace

TEST_F(ChartEditorViews, EveryViewOpensTheEditorOnItsOwnChart) {
  Open();
  ASSERT_TRUE(MainForm1->AcEditing->Execute());
  for (TChart* c : {Varo1->Chart1, Varo1->Chart2, Varo1->Chart3, Varo1->Chart4})
    EXPECT_EQ(OpenFromMenu(c, "ChartEditor"), c) << c->Name();

  ASSERT_TRUE(MainForm1->AcResultingData->Execute());
  for (TChart* c : {GrView1->Chart1, GrView1->Chart2}) EXPECT_EQ(OpenFromMenu(c, "ChartEditor"), c);

  ASSERT_TRUE(MainForm1->AcComplexEditing->Execute());
  for (TChart* c : {VaroCmplx1->Chart1, VaroCmplx1->Chart2}) EXPECT_EQ(OpenFromMenu(c, "ChartEditor"), c);

  ASSERT_TRUE(MainForm1->AcMaskEdit->Execute());
  EXPECT_EQ(OpenFromMenu(MaskEd1->Chart1, "Chart Editor"), MaskEd1->Chart1);

  ASSERT_TRUE(MainForm1->AcIndVec->Execute());
  EXPECT_EQ(OpenFromMenu(IndVect1->Chart1, "ChartEditor"), IndVect1->Chart1);

  ASSERT_TRUE(MainForm1->AcPolar->Execute());
  TChart* polar = nullptr;
  for (TChart* c : PolarDiag1->PolarCharts)
    if (c && !polar) polar = c;
  ASSERT_NE(polar, nullptr);
  EXPECT_EQ(OpenFromMenu(polar, "Properties"), polar);
}

TEST_F(ChartEditorViews, AnAxisLimitSetInTheEditorReachesTheEditingWindowsChart) {
  Open();
  ASSERT_TRUE(MainForm1->AcEditing->Execute());
  TChart* chart = Varo1->Chart1;
  OpenFromMenu(chart, "ChartEditor", [](TChartEditForm* D) {
    D->SubPage->SetActivePageIndex(cetAxis);
    D->SubPageChange();
    auto* axis = static_cast<TFormGraphAxis*>(D->ChartPages[cetAxis]);
    EditorDialogHook = [](TForm* F) {
      auto* m = static_cast<TAxisMaxMin*>(F);
      m->EMaximum->SetText("1234");
      m->BOk->Click();
    };
    axis->BAxisMinMaxClick(false);
  });
  EXPECT_DOUBLE_EQ(chart->LeftAxis()->Maximum(), 1234);
}

TEST_F(ChartEditorViews, AnAxisTitleRenamedInTheEditorOutlivesTheRefreshButNotTheSession) {
  ClearKeptAxisTitles();
  Open();
  ASSERT_TRUE(MainForm1->AcEditing->Execute());
  const std::string given = Varo1->Chart1->LeftAxis()->Title()->Caption();
  ASSERT_FALSE(given.empty());
  auto rename = [](const std::string& Text) {
    return [Text](TChartEditForm* D) {
      D->SubPage->SetActivePageIndex(cetAxis);
      D->SubPageChange();
      auto* axis = static_cast<TFormGraphAxis*>(D->ChartPages[cetAxis]);
      axis->PageAxis->SetActivePageIndex(1);  // "Title"
      axis->PageAxisChange();
      axis->ETitle->SetText(Text);
    };
  };
  OpenFromMenu(Varo1->Chart1, "ChartEditor", rename("Rho apparent"));
  RefreshAllViews(nullptr);
  EXPECT_EQ(Varo1->Chart1->LeftAxis()->Title()->Caption(), "Rho apparent");
  // Given back its wording, the title is no longer kept.
  OpenFromMenu(Varo1->Chart1, "ChartEditor", rename(given));
  EXPECT_EQ(KeptAxisTitle(given), given);
  // The settings file keeps no axis titles: a renamed title is gone after a restart.
  OpenFromMenu(Varo1->Chart1, "ChartEditor", rename("Rho apparent"));
  Stop();
  ClearKeptAxisTitles();
  Start();
  ChooseFiles({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  ASSERT_TRUE(MainForm1->AcEditing->Execute());
  EXPECT_EQ(Varo1->Chart1->LeftAxis()->Title()->Caption(), given);
}

TEST(ChartEditorView, AViewFreedWhileItsEditorIsOpenIsNotTouchedAfterwards) {
  struct TView : TForm {
    TView() : TForm(nullptr) {}
    TChartEditor* Editor = nullptr;
  };
  auto* view = new TView;
  auto* chart = new TChart(view);
  chart->SetParent(view);
  bool shown = false;
  EditorDialogHook = [&](TForm* F) {
    if (!dynamic_cast<TChartEditForm*>(F)) return;
    shown = true;
    delete view;  // the view's chart, editor and the member holding it go
  };
  EditViewChart(view, view->Editor, chart);
  EditorDialogHook = nullptr;
  EXPECT_TRUE(shown);
}

TEST_F(ChartEditorViews, TheProgramsErrorPointCurvesOpenTheLineEditorForm) {
  Open();
  ASSERT_TRUE(MainForm1->AcResultingData->Execute());
  TChart* chart = GrView1->Chart1;
  TErrPointSeries* curve = nullptr;
  for (int i = 0; i < chart->CountSeries() && !curve; ++i) curve = dynamic_cast<TErrPointSeries*>(chart->SeriesAt(i));
  ASSERT_NE(curve, nullptr);
  bool checked = false;
  OpenFromMenu(chart, "ChartEditor", [&](TChartEditForm* D) {
    D->LBSeries->SelectSeries(curve);
    D->MainPage->SetActivePage(D->TabSeries);
    D->ShowSeriesPage();
    auto* form = dynamic_cast<TCustomSeriesEditor*>(D->SeriesPage->SeriesEditor);
    ASSERT_NE(form, nullptr);
    checked = true;
    EXPECT_TRUE(form->GBStair->Visible());  // a line series: stairs, height and outline
    form->CBStairs->SetChecked(true);
    EXPECT_TRUE(curve->Stairs());
    EXPECT_EQ(D->SeriesPage->PageSeries->Pages(1)->Caption(), "Point");
  });
  EXPECT_TRUE(checked);
}
