// The chart editor dialog and its pages on a real chart, driven through their controls.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "chart/editor/axis_page.h"
#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/chart_grid.h"
#include "chart/editor/chart_pages.h"
#include "chart/editor/editor_dialog.h"
#include "chart/editor/format_axis_dialogs.h"
#include "chart/editor/function_editors.h"
#include "chart/editor/gallery.h"
#include "chart/editor/line_editors.h"
#include "chart/editor/gradient_editor.h"
#include "chart/editor/series_page.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/editor/tools_page.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/graph_effects.h"
#include "chart/engine/graph_function.h"
#include "chart/engine/graph_panel_ext.h"
#include "chart/engine/graph_shapes.h"
#include "chart/engine/legend.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/walls_titles.h"
#include "chart/extra/export_dialog.h"
#include "chart/extra/pen_dialog.h"
#include "chart/extra/preview_dialog.h"
#include "chart/series/bar_series.h"
#include "chart/series/functions_statistical.h"
#include "chart/series/line_series.h"
#include "chart/series/tools_cursor.h"
#include "chart/series/tools_register.h"
#include "platform/bitmap.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "platform/inifiles.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"
#include "platform/testkit/temp_folder.h"

namespace {

// A picked item, as the user picks it.
void Pick(TComboBox* C, const std::string& Item) {
  const int i = C->Items()->IndexOf(Item);
  ASSERT_GE(i, 0) << Item;
  C->SetItemIndex(i);
  C->OnChange(C);
}

struct EditorDialog : ::testing::Test {
  TTempProfile Profile;
  TForm Owner{nullptr};
  TChart* Chart = nullptr;
  TLineSeries *A = nullptr, *B = nullptr;
  static void SetUpTestSuite() {
    InitGallery();
    RegisterStandardTools();
    RegisterStatisticalFunctions();
    RegisterEditorDialogClasses();
    RegisterFunctionEditorForms();
  }
  void SetUp() override {
    Owner.SetBounds(0, 0, 600, 400);
    Chart = new TChart(&Owner);
    Chart->SetName("Chart1");
    Chart->SetParent(&Owner);
    Chart->SetBounds(0, 0, 500, 350);
    A = Line("First", 6);
    B = Line("Second", 6);
  }
  void TearDown() override { EditorDialogHook = nullptr; }
  TLineSeries* Line(const std::string& Title, int Points) {
    auto* s = new TLineSeries(&Owner);
    s->SetTitle(Title);
    for (int i = 0; i < Points; ++i) s->AddXY(i + 1, (i + 1) * 10);
    Chart->AttachSeries(s);
    return s;
  }
  // A dialog on the chart, shown without a modal loop.
  std::unique_ptr<TChartEditForm> Dialog(TChartEditorTab Default = TChartEditorTab(-1),
                                         TChartEditorHiddenTabs Hidden = 0) {
    auto f = std::make_unique<TChartEditForm>(nullptr);
    f->RememberPosition = false;
    f->RestoreEditorPlacement(Chart);
    f->TheActivePageIndex = Default;
    f->TheHiddenTabs = Hidden;
    f->Show();
    return f;
  }
  template <class Page>
  Page* ChartPage(TChartEditForm* F, int Index) {
    F->MainPage->SetActivePage(F->TabChart);
    F->SubPage->SetActivePageIndex(Index);
    F->SubPageChange();
    auto* p = dynamic_cast<Page*>(F->ChartPages[Index]);
    EXPECT_NE(p, nullptr);
    return p;
  }
};

}  // namespace

TEST_F(EditorDialog, ComponentDefaultsOpenOnTheSeriesListAndKeepThePositionOutOfTheRegistry) {
  TChartEditor editor(&Owner);
  editor.SetChart(Chart);
  EXPECT_EQ(editor.Options, 0x37F);
  bool shown = false;
  EditorDialogHook = [&](TForm* F) {
    auto* d = dynamic_cast<TChartEditForm*>(F);
    if (!d) return;
    shown = true;
    EXPECT_EQ(d->Caption(), "Editing Chart1");
    EXPECT_EQ(d->MainPage->ActivePage(), d->TabChart);
    EXPECT_EQ(d->SubPage->ActivePageIndex(), 0);
    EXPECT_EQ(d->LBSeries->SelectedSeries(), A);
    EXPECT_FALSE(d->BAddGroup->Visible());
    d->SetBounds(d->Left() + 30, d->Top() + 20, 500, 400);
    d->BClose->Click();
  };
  editor.Execute();
  ASSERT_TRUE(shown);
  EXPECT_TRUE(Chart->CancelMouse);
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly(EditorOptionsKey));
  EXPECT_FALSE(reg.ValueExists("Left"));
  EXPECT_EQ(reg.ReadInteger("Width"), 500);
  EXPECT_EQ(reg.ReadInteger("Height"), 400);
}

TEST_F(EditorDialog, PlacementAndTreeModeSurviveARestartWithinTheScreen) {
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(EditorOptionsKey, true));
    reg.WriteInteger("Left", 100000);
    reg.WriteInteger("Top", 40);
    reg.WriteInteger("Width", 50);
    reg.WriteBool("TreeMode", true);
  }
  TChartEditForm f(nullptr);
  EXPECT_TRUE(f.TreeMode);
  f.RememberPosition = true;
  f.RestoreEditorPlacement(Chart);
  EXPECT_EQ(f.Width(), 100);
  EXPECT_EQ(f.Top(), 40);
  EXPECT_EQ(f.Left(), Screen->Width() - f.Width());
}

TEST_F(EditorDialog, DefaultTabFindsAVisibleTabAsTheTableSays) {
  struct Case {
    TChartEditorTab Default;
    TChartEditorHiddenTabs Hidden;
    const char* Main;
    int Sub;
  } cases[] = {
      {cetTools, cetTab(cetTools), "Tools", -1},
      {cetLegend, cetTab(cetLegend), "Chart", cetPanel},
      {cetWalls, cetTab(cetWalls) | cetTab(cet3D), "Chart", cetPaging},
      {cetAxis, 0, "Chart", cetAxis},
      {cetPrintPreview, 0, "Print", -1},
  };
  for (const Case& c : cases) {
    auto f = Dialog(c.Default, c.Hidden);
    SCOPED_TRACE(c.Main);
    EXPECT_EQ(f->MainPage->ActivePage()->Caption(), c.Main);
    if (c.Sub >= 0) {
      EXPECT_EQ(f->SubPage->ActivePageIndex(), c.Sub);
    }
  }
  auto marks = Dialog(cetSeriesMarks);
  ASSERT_NE(marks->SeriesPage, nullptr);
  EXPECT_EQ(marks->MainPage->ActivePage(), marks->TabSeries);
  EXPECT_EQ(marks->SeriesPage->PageSeries->ActivePage(), marks->SeriesPage->TabMarks);
}

TEST_F(EditorDialog, SeriesButtonsFollowOptionsAndSeriesStyle) {
  A->SetSeriesStyle(4);
  auto f = Dialog();
  f->LBSeries->SelectSeries(A);
  f->LBSeriesRefreshButtons();
  EXPECT_FALSE(f->BDeleteSeries->Enabled());
  EXPECT_TRUE(f->BRenameSeries->Enabled());
  EXPECT_TRUE(f->BCloneSeries->Enabled());
  EXPECT_FALSE(f->BMoveUP->Enabled());
  EXPECT_TRUE(f->BMoveDown->Enabled());
  f->TheEditorOptions &= static_cast<TChartEditorOptions>(~ceOption(ceOrderSeries));
  f->LBSeriesRefreshButtons();
  EXPECT_FALSE(f->BMoveUP->Visible());

  delete A;
  delete B;
  auto empty = Dialog();
  EXPECT_TRUE(empty->BAddSeries->Enabled());
  for (TButton* b : {empty->BDeleteSeries, empty->BRenameSeries, empty->BCloneSeries, empty->BChangeTypeSeries})
    EXPECT_FALSE(b->Enabled()) << b->Name();
}

TEST_F(EditorDialog, AxisPageMakesTheAxisLogarithmicWithNewLimitsAndATitle) {
  auto f = Dialog();
  auto* p = ChartPage<TFormGraphAxis>(f.get(), cetAxis);
  ASSERT_EQ(p->Axis(), Chart->LeftAxis());
  p->CBLogarithmic->SetChecked(true);
  EXPECT_TRUE(Chart->LeftAxis()->Logarithmic());
  EXPECT_TRUE(p->ELogBase->Enabled());
  for (auto [min, text] : {std::pair{true, "5"}, std::pair{false, "500"}}) {
    EditorDialogHook = [text = text](TForm* F) {
      auto* d = static_cast<TAxisMaxMin*>(F);
      d->EMaximum->SetText(text);
      d->BOk->Click();
    };
    p->BAxisMinMaxClick(min);
  }
  EXPECT_FALSE(Chart->LeftAxis()->Automatic());
  EXPECT_DOUBLE_EQ(Chart->LeftAxis()->Minimum(), 5);
  EXPECT_DOUBLE_EQ(Chart->LeftAxis()->Maximum(), 500);
  EXPECT_EQ(p->LAxisMax->Caption(), "500");

  // Choosing the bottom axis loads it; its title is typed on the Title tab.
  p->LBAxes->SetItemIndex(3);
  p->LBAxesClick();
  ASSERT_EQ(p->Axis(), Chart->BottomAxis());
  EXPECT_FALSE(p->CBLogarithmic->Checked());
  p->PageAxis->SetActivePageIndex(1);
  p->PageAxisChange();
  p->ETitle->SetText("Period, s");
  EXPECT_EQ(Chart->BottomAxis()->Title()->Caption(), "Period, s");
  EXPECT_EQ(Chart->LeftAxis()->Title()->Caption(), "");
  EXPECT_EQ(p->TitleFont->EditedFont, Chart->BottomAxis()->Title()->Font());

  // A custom axis can be added and deleted; the fixed ones cannot.
  EXPECT_FALSE(p->BDelete->Enabled());
  p->BAddClick();
  EXPECT_EQ(Chart->CustomAxes()->Count(), 1);
  EXPECT_EQ(p->LBAxes->Items()->Strings(6), "Custom 0");
  EXPECT_TRUE(p->BDelete->Enabled());
  EditorDialogHook = nullptr;
  p->BDeleteClick();
  EXPECT_EQ(Chart->CustomAxes()->Count(), 0);
}

TEST_F(EditorDialog, TitlesLegendWallsPanelAnd3DPagesWriteIntoTheChart) {
  auto f = Dialog();
  auto* titles = ChartPage<TFormGraphTitle>(f.get(), cetTitles);
  Pick(titles->CBTitles, "Foot");
  titles->MText->Lines()->SetText("Site 12\n");
  EXPECT_EQ(Chart->Foot()->Text()->Strings(0), "Site 12");
  EXPECT_EQ(Chart->Title()->Text()->Count(), 0);
  Pick(titles->CBAlign, "Right");
  EXPECT_EQ(Chart->Foot()->Alignment(), taRightJustify);
  EXPECT_FALSE(titles->CustLeft.Edit->Enabled());

  auto* legend = ChartPage<TFormGraphLegend>(f.get(), cetLegend);
  Pick(legend->CBAlignment, "Bottom");
  Pick(legend->CBLegStyle, "Last Values");
  EXPECT_EQ(Chart->Legend()->Alignment(), laBottom);
  EXPECT_EQ(Chart->Legend()->LegendStyle(), lsLastValues);

  auto* walls = ChartPage<TFormGraphWall>(f.get(), cetWalls);
  EXPECT_EQ(walls->Wall(), Chart->LeftWall());
  EXPECT_TRUE(walls->CBAutoHide->Visible());
  walls->WallSize.Set(0);
  EXPECT_FALSE(walls->CBDark3D->Enabled());
  walls->WallSize.Set(5);
  EXPECT_EQ(Chart->LeftWall()->Size(), 5);
  EXPECT_TRUE(walls->CBDark3D->Enabled());
  walls->TabSubWalls->SetActivePageIndex(2);
  walls->SelectWall(2);
  EXPECT_FALSE(walls->CBAutoHide->Visible());
  walls->AllSize.Set(10);
  for (TChartWall* w : std::initializer_list<TChartWall*>{Chart->LeftWall(), Chart->RightWall(), Chart->BottomWall(),
                                                          Chart->BackWall()})
    EXPECT_EQ(w->Size(), 10);
  walls->CBTransp->SetChecked(true);
  EXPECT_TRUE(Chart->BottomWall()->Transparent());

  Chart->SetColor(clBtnFace);
  auto* panel = ChartPage<TFormGraphPanel>(f.get(), cetPanel);
  EXPECT_TRUE(panel->CBColorDef->Checked());
  EXPECT_FALSE(panel->CBColorDef->Enabled());
  panel->PanelWi.Edit->SetText("0");
  EXPECT_EQ(Chart->BevelWidth(), 1);

  Chart->SetView3D(false);
  auto* d3 = ChartPage<TFormGraph3D>(f.get(), cet3D);
  EXPECT_FALSE(d3->Rotation.Edit->Enabled());
  d3->CBView3D->SetChecked(true);
  d3->CBOrthogonal->SetChecked(false);
  d3->Rotation.Set(330);
  d3->Elevation.Set(350);
  EXPECT_TRUE(Chart->View3D());
  EXPECT_EQ(Chart->View3DOptions()->Rotation(), 330);
  EXPECT_EQ(Chart->View3DOptions()->Elevation(), 350);
  // The page reads the chart again each time its tab shows.
  Chart->SetView3D(false);
  f->SubPage->SetActivePageIndex(0);
  f->SubPage->SetActivePageIndex(cet3D);
  f->SubPageChange();
  EXPECT_FALSE(d3->CBView3D->Checked());
}

TEST_F(EditorDialog, GeneralAndPagingPagesSetMarginsAndPages) {
  auto f = Dialog();
  auto* g = ChartPage<TFormGraphGeneral>(f.get(), cetGeneral);
  g->MarLeft.Set(12);
  g->MarBottom.Edit->SetText("7");
  Pick(g->CBMarUnits, "Pixels");
  EXPECT_EQ(Chart->MarginLeft(), 12);
  EXPECT_EQ(Chart->MarginBottom(), 7);
  EXPECT_EQ(Chart->MarginUnits(), muPixels);
  auto* p = ChartPage<TFormGraphPage>(f.get(), cetPaging);
  p->PointsPerPage.Set(2);
  EXPECT_EQ(Chart->MaxPointsPerPage(), 2);
  EXPECT_EQ(p->LPages->Caption(), "Page 1 of 3");
  EXPECT_FALSE(p->BPrior->Enabled());
  p->BLast->Click();
  EXPECT_EQ(Chart->Page(), 3);
  EXPECT_FALSE(p->BNext->Enabled());
}

TEST_F(EditorDialog, SeriesPageFollowsTheListAndSurvivesItsSeriesBeingDeleted) {
  auto f = Dialog();
  f->LBSeries->SelectSeries(B);
  f->LBSeriesEditSeries();
  TFormGraphSeries* p = f->SeriesPage;
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->Series(), B);
  EXPECT_EQ(p->CBSeries->Items()->Count(), 2);
  EXPECT_EQ(p->LabelSeriesClass->Caption(), "Line: Second");
  // The line's own editor form is in "Format", its pointer in a tab of its own.
  EXPECT_NE(dynamic_cast<TCustomSeriesEditor*>(p->SeriesEditor), nullptr);
  EXPECT_FALSE(p->LabelNoEditor->Visible());
  EXPECT_EQ(p->PageSeries->Pages(1)->Caption(), "Point");
  p->PageSeries->SetActivePage(p->TabMarks);
  p->PageSeriesChange();
  p->CBAllVisible->SetChecked(true);
  EXPECT_TRUE(A->Marks()->Visible());
  EXPECT_TRUE(B->Marks()->Visible());
  // Another series keeps the Marks tab.
  Pick(p->CBSeries, "First");
  EXPECT_EQ(p->Series(), A);
  EXPECT_EQ(p->PageSeries->ActivePage(), p->TabMarks);
  // The series shown is deleted from the series list.
  delete A;
  EXPECT_EQ(p->Series(), nullptr);
  f->MainPage->SetActivePage(f->TabSeries);
  f->ShowSeriesPage();
  EXPECT_EQ(p->Series(), B);
}

TEST_F(EditorDialog, ChangingASeriesTypeThroughTheGalleryKeepsItsPoints) {
  auto f = Dialog();
  f->LBSeries->SelectSeries(A);
  EditorDialogHook = [](TForm* F) {
    if (auto* g = dynamic_cast<TGraphGallery*>(F)) {
      for (int i = 0; i < g->ChartGalleryPanel1->Charts.Count(); ++i) {
        TGalleryChart* c = g->ChartGalleryPanel1->Charts.Items(i);
        if (c->CountSeries() > 0 && dynamic_cast<TBarSeries*>(c->SeriesAt(0))) {
          g->ChartGalleryPanel1->SelectChart(c);
          break;
        }
      }
      g->BOk->Click();
    }
  };
  f->BChangeTypeSeriesClick();
  TChartSeries* s = f->LBSeries->SelectedSeries();
  ASSERT_NE(dynamic_cast<TBarSeries*>(s), nullptr);
  EXPECT_EQ(s->Count(), 6);
  EXPECT_DOUBLE_EQ(s->YValue(5), 60);
  EXPECT_EQ(Chart->CountSeries(), 2);
}

TEST_F(EditorDialog, FunctionPageGivesASeriesASourceAndAPeriod) {
  TLineSeries* avg = Line("Average", 0);
  auto f = Dialog();
  f->LBSeries->SelectSeries(avg);
  f->LBSeriesEditSeries();
  TFormGraphSeries* p = f->SeriesPage;
  p->PageSeries->SetActivePage(p->TabDataSource);
  p->PageSeriesChange();
  Pick(p->CBDataSourcestyle, "Function");
  TGraphFuncEditor* e = p->DataSourceEditor;
  ASSERT_NE(e, nullptr);
  EXPECT_TRUE(e->BApply->Enabled());
  const int moving = e->CBSources->Items()->IndexOfObject((TObject*)TMovingAverageFunction::StaticClass());
  ASSERT_GT(moving, 0);
  e->CBSources->SetItemIndex(moving);
  e->CBSources->OnChange(e->CBSources);
  // One source: the single-source panel; the period is the function's own option.
  EXPECT_TRUE(e->PanSingle->Visible());
  Pick(e->CBSingle, "First");
  auto* options = dynamic_cast<TMovAveFuncEditor*>(e->OptionsForm);
  ASSERT_NE(options, nullptr);
  options->Edit1->SetText("3");
  e->BApply->Click();
  ASSERT_NE(dynamic_cast<TMovingAverageFunction*>(avg->FunctionObject()), nullptr);
  EXPECT_DOUBLE_EQ(avg->FunctionObject()->Period(), 3);
  EXPECT_EQ(avg->DataSource(), A);
  // A moving average of 10, 20, ... 60 over 3 points: 20, 30, 40, 50.
  ASSERT_EQ(avg->Count(), 4);
  EXPECT_DOUBLE_EQ(avg->YValue(0), 20);
  EXPECT_DOUBLE_EQ(avg->YValue(3), 50);
  EXPECT_FALSE(e->BApply->Enabled());

  // Back to random points, then cleared: empty and manual with the grid shown.
  Pick(p->CBDataSourcestyle, "Random");
  EXPECT_EQ(avg->FunctionObject(), nullptr);
  p->BApplyRandom->Click();
  EXPECT_GT(avg->Count(), 0);
  p->BClear->Click();
  EXPECT_EQ(avg->Count(), 0);
  EXPECT_EQ(p->CBDataSourcestyle->Text(), "Manual");
  EXPECT_TRUE(p->Grid->Visible());
}

TEST_F(EditorDialog, ToolsPageAddsAToolFromTheGalleryAndSwitchesItOff) {
  auto f = Dialog(cetTools);
  TFormGraphTools* t = f->ToolsPage;
  ASSERT_NE(t, nullptr);
  EXPECT_FALSE(t->BDelete->Enabled());
  EditorDialogHook = [](TForm* F) {
    auto* g = static_cast<TGraphToolsGallery*>(F);
    g->TabControl1->SetActivePageIndex(0);
    g->TabControl1Change();
    const int i = g->LBTool->Items()->IndexOfObject((TObject*)TCursorTool::StaticClass());
    ASSERT_GE(i, 0);
    g->LBTool->SetItemIndex(i);
    g->LBTool->OnClick(g->LBTool);
    ASSERT_TRUE(g->BOk->Enabled());
    g->BOk->Click();
  };
  TGraphCustomTool* added = nullptr;
  t->OnAdded = [&](TGraphCustomTool* T) { added = T; };
  t->BAddClick();
  ASSERT_EQ(Chart->Tools->Count(), 1);
  EXPECT_EQ(added, Chart->Tools->ToolAt(0));
  EXPECT_NE(dynamic_cast<TCursorTool*>(added), nullptr);
  EXPECT_TRUE(t->CBActive->Checked());
  t->CBActive->SetChecked(false);
  EXPECT_FALSE(added->Active());
}

TEST_F(EditorDialog, ExportAndPrintTabsHoldTheChartsOwnDialogs) {
  auto f = Dialog(cetExport, cetTab(cetExportNative));
  ASSERT_NE(f->ExportPage, nullptr);
  EXPECT_EQ(f->ExportPage->Panel, Chart);
  EXPECT_FALSE(f->ExportPage->BClose->Visible());
  EXPECT_FALSE(f->ExportPage->TabNative->TabVisible());
  f->MainPage->SetActivePage(f->TabPrint);
  f->MainPageChange();
  ASSERT_NE(f->PreviewPage, nullptr);
  EXPECT_EQ(f->PreviewPage->Chart(), Chart);
}

TEST_F(EditorDialog, AChartFreedWhileTheDialogIsOpenLeavesNoPageOnIt) {
  auto f = Dialog(cetAxis);
  f->LBSeriesEditSeries();
  delete Chart;
  Chart = nullptr;
  EXPECT_EQ(f->Chart(), nullptr);
  EXPECT_EQ(f->SeriesPage, nullptr);
  for (TForm* p : f->ChartPages) EXPECT_EQ(p, nullptr);
  EXPECT_EQ(f->LBSeries->Items()->Count(), 0);
}

TEST_F(EditorDialog, PanelPageLoadsAndClearsTheBackImageAndEditsTheBackGradient) {
  auto f = Dialog();
  auto* p = ChartPage<TFormGraphPanel>(f.get(), cetPanel);
  ASSERT_NE(p, nullptr);
  // Without an image: nothing to style, and the button browses.
  EXPECT_FALSE(p->RGBitmap->Enabled());
  EXPECT_FALSE(p->CBImageInside->Enabled());
  EXPECT_FALSE(p->CBTransp->Enabled());
  EXPECT_EQ(p->BBrowseImage->Caption(), "B&rowse...");

  const std::string file = Profile.Path() + "/back.bmp";
  {
    TBitmap b(8, 8, pf24bit);
    b.SaveToFile(file);
  }
  SetDialogHook([&](TCommonDialog* D) {
    static_cast<TOpenDialog*>(D)->SetFileName(file);
    return true;
  });
  p->BBrowseImage->Click();
  SetDialogHook(nullptr);
  ASSERT_TRUE(Chart->HasBackImage());
  EXPECT_EQ(p->BBrowseImage->Caption(), "Clea&r");
  EXPECT_TRUE(p->RGBitmap->Enabled());
  EXPECT_FALSE(p->ImageLeft.Edit->Enabled());
  SendInput(p->RGBitmap->Buttons(3), ikMouseDown, {}, 4, 4, mbLeft);  // "Custom"
  SendInput(p->RGBitmap->Buttons(3), ikMouseUp, {}, 4, 4, mbLeft);
  EXPECT_EQ(Chart->BackImage()->Mode(), pbmCustom);
  ASSERT_TRUE(p->ImageLeft.Edit->Enabled());
  p->ImageLeft.Edit->SetText("20");
  EXPECT_EQ(Chart->BackImage()->Left(), 20);
  p->CBImageInside->SetChecked(true);
  EXPECT_TRUE(Chart->BackImageInside());
  p->BBrowseImage->Click();  // now it clears
  EXPECT_FALSE(Chart->HasBackImage());
  EXPECT_FALSE(p->RGBitmap->Enabled());
  EXPECT_FALSE(p->ImageLeft.Edit->Enabled());

  // The Gradient tab edits the chart's own back gradient.
  ASSERT_NE(p->GradientEditor, nullptr);
  EXPECT_EQ(p->GradientEditor->Parent(), p->Pages->Pages(2));
  p->GradientEditor->CBVisible->SetChecked(true);
  EXPECT_TRUE(Chart->Gradient()->Visible());
}

TEST_F(EditorDialog, AVisibleGradientChosenForATransparentWallMakesItOpaque) {
  auto f = Dialog();
  auto* w = ChartPage<TFormGraphWall>(f.get(), cetWalls);
  ASSERT_NE(w, nullptr);
  Chart->LeftWall()->SetTransparent(true);
  w->LoadWall();
  ASSERT_TRUE(w->CBTransp->Checked());
  EXPECT_EQ(w->BGradient->Gradient(), Chart->LeftWall()->Gradient());
  EditorDialogHook = [](TForm* F) {
    auto* e = dynamic_cast<TGraphGradientEditor*>(F);
    if (!e) return;
    e->CBVisible->SetChecked(true);
    e->BOk->Click();
  };
  w->BGradient->Click();
  EXPECT_TRUE(Chart->LeftWall()->Gradient()->Visible());
  EXPECT_FALSE(Chart->LeftWall()->Transparent());
  EXPECT_FALSE(w->CBTransp->Checked());
  // The other walls' tabs link their own gradients.
  w->SelectWall(3);
  EXPECT_EQ(w->BGradient->Gradient(), Chart->BackWall()->Gradient());
}

TEST_F(EditorDialog, DataGridPopUpOffersColourEntriesOnAColourCellAndSizesRowsToItsFont) {
  A->SetPointColorAt(1, clRed);
  auto f = Dialog(cetSeriesData);
  TChartGrid* g = f->ChartGrid1;
  f->SBGridCol->SetChecked(true);  // "Show colors"
  ASSERT_TRUE(g->ShowColors());
  g->SetCol(g->ColorsColumn());
  g->SetRow(g->FirstDataRow() + 1);
  auto shown = [&] {
    f->PopupData->Popup(0, 0);
    return std::string(f->EditColor1->Visible() ? "E" : "") + (f->DefaultColor1->Visible() ? "D" : "") +
           (f->Makenullpoint1->Visible() ? "N" : "");
  };
  EXPECT_EQ(shown(), "EDN");
  f->Makenullpoint1->Click();
  EXPECT_TRUE(A->IsNullPoint(1));
  EXPECT_EQ(shown(), "ED");
  f->DefaultColor1->Click();
  EXPECT_EQ(A->StoredColorAt(1), clAutoColor);
  EXPECT_EQ(shown(), "EN");
  g->SetCol(g->ColorsColumn() + 2);  // a value column
  EXPECT_EQ(shown(), "");

  const int rows = g->RowCount();
  f->Insertrow1->Click();
  EXPECT_EQ(g->RowCount(), rows + 1);

  SetDialogHook([](TCommonDialog* D) {
    static_cast<TFontDialog*>(D)->Font()->SetSize(24);
    return true;
  });
  f->extfont1->Click();
  SetDialogHook(nullptr);
  EXPECT_EQ(g->Font()->Size(), 24);
  EXPECT_GT(g->DefaultRowHeight(), TChartGrid::kDefaultRowHeight + 8);
}

TEST_F(EditorDialog, SeriesPageSetsCursorFormatsArrowsAndTheMarksSymbol) {
  auto f = Dialog();
  f->LBSeries->SelectSeries(A);
  f->LBSeriesEditSeries();
  TFormGraphSeries* p = f->SeriesPage;
  ASSERT_NE(p, nullptr);
  p->PageSeries->SetActivePage(p->TabGeneral);
  p->PageSeriesChange();
  ASSERT_GE(p->CBCursor->Items()->IndexOf("HandPoint"), 0);
  Pick(p->CBCursor, "HandPoint");
  EXPECT_EQ(A->Cursor(), crHandPoint);
  EXPECT_GE(p->CBFormat->Items()->IndexOf("#.#"), 0);  // the standard formats are offered
  p->CBFormat->SetText(StandardToLocalFormat("0.000"));
  p->CBFormat->OnChange(p->CBFormat);  // as typed
  EXPECT_EQ(A->ValueFormat(), "0.000");
  p->EPercentFormat->SetText(StandardToLocalFormat("##0 %"));
  EXPECT_EQ(A->PercentFormat(), "##0 %");

  p->PageSeries->SetActivePage(p->TabMarks);
  p->PageSeriesChange();
  // The inner frame: Style, Arrows, Symbol, then the marks' own shape tabs.
  ASSERT_GE(p->PageMarks->PageCount(), 7);
  EXPECT_EQ(p->PageMarks->ActivePage(), p->TabMarksStyle);
  p->ArrowLength.Edit->SetText("25");
  EXPECT_EQ(A->Marks()->ArrowLength(), 25);
  Pick(p->CBArrowHead, "Solid");
  EXPECT_EQ(A->Marks()->Callout()->ArrowHead(), ahSolid);
  ASSERT_NE(p->CBSymbolVisible, nullptr);
  EXPECT_FALSE(p->SymbolShapeEditor->TabText->TabVisible());
  p->CBSymbolVisible->SetChecked(!A->Marks()->Symbol()->Visible());
  EXPECT_EQ(A->Marks()->Symbol()->Visible(), p->CBSymbolVisible->Checked());
  // Another series loads its own arrows.
  Pick(p->CBSeries, "Second");
  EXPECT_EQ(p->ArrowLength.Value(), B->Marks()->ArrowLength());
  EXPECT_EQ(p->CBArrowHead->ItemIndex(), static_cast<int>(B->Marks()->Callout()->ArrowHead()));
}
