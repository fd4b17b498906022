// The series gallery: pages of thumbnails, keys, variants, the two dialogs and the routines the
// list box reaches through its hooks.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "chart/editor/chart_list_box.h"
#include "chart/editor/gallery.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/engine/registries.h"
#include "chart/engine/tool_base.h"
#include "chart/extra/pen_dialog.h"
#include "chart/extra/extra_series.h"
#include "chart/series/bar_series.h"
#include "chart/series/functions_average.h"
#include "chart/series/functions_basic.h"
#include "chart/series/functions_financial.h"
#include "chart/series/functions_statistical.h"
#include "chart/series/functions_trend.h"
#include "chart/series/line_series.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/comctrls.h"
#include "platform/stdctrls.h"
#include "platform/testkit/temp_folder.h"

namespace {

// A line series that takes no other series as its source.
class TPickyLine : public TLineSeries {
  VM_CLASS(TPickyLine, TLineSeries)
public:
  using TLineSeries::TLineSeries;
  bool AcceptsSourceSeries(TChartSeries*) override { return false; }
};
VM_DEFINE_CLASS(TPickyLine)

std::string PageOf14 = "Fourteen", PageOf8 = "Eight", PageOf13 = "Thirteen", Caption = "Picky";

struct Gallery : ::testing::Test {
  TTempProfile Profile;
  static void SetUpTestSuite() {
    InitGallery();
    RegisterBasicFunctions();
    RegisterAverageFunctions();
    RegisterStatisticalFunctions();
    RegisterTrendFunctions();
    RegisterFinancialFunctions();
    InitExtraSeries();
    RegisterClass(TPickyLine::StaticClass());
    // Entries added straight to the registry: one class may fill a page many times here.
    auto add = [](std::string* Page, int Count) {
      for (int i = 0; i < Count; ++i) {
        auto e = std::make_unique<TGraphSeriesType>();
        e->SeriesClass = TPickyLine::StaticClass();
        e->Description = &Caption;
        e->GalleryPage = Page;
        GraphSeriesTypesList()->Add(std::move(e));
      }
    };
    add(&PageOf14, 14);
    add(&PageOf8, 8);
    add(&PageOf13, 13);
  }
  static void TearDownTestSuite() { UnregisterSeriesTypes({TPickyLine::StaticClass()}); }
  void TearDown() override { EditorDialogHook = nullptr; }

  TForm Form{nullptr};
  TChartGalleryPanel* NewPanel() {
    auto* p = new TChartGalleryPanel(&Form);
    p->SetParent(&Form);
    p->SetBounds(0, 0, 480, 360);
    return p;
  }
  static std::string TitleOf(TGalleryChart* C) { return C->Title()->Text()->Strings(0); }
};

std::unique_ptr<TBitmap> Draw(TGalleryChart* C) {
  return std::unique_ptr<TBitmap>(C->CreateBitmap(clWhite, TRect(0, 0, C->Width(), C->Height()), pf24bit));
}

}  // namespace

TEST_F(Gallery, PagesLayOutTheirTypesInRowsOfFour) {
  TChartGalleryPanel* p = NewPanel();
  struct Case {
    std::string* Page;
    int Charts, Rows;
  };
  for (const Case& c : {Case{&PageOf14, 14, 4}, Case{&PageOf8, 8, 3}, Case{&PageOf13, 13, 4}}) {
    p->CreateGalleryPage(*c.Page);
    EXPECT_EQ(p->Charts.Count(), c.Charts) << *c.Page;
    EXPECT_EQ(p->NumRows(), c.Rows) << *c.Page;
  }
  // Each thumbnail in its cell: column index mod 4, row index div 4.
  TGalleryChart* sixth = p->Charts.Items(5);
  EXPECT_EQ(sixth->Left(), p->BevelWidth() + p->CellWidth);
  EXPECT_EQ(sixth->Top(), p->BevelWidth() + p->CellHeight);
  EXPECT_THROW(p->Charts.Items(13), ERangeError);

  // The standard page: every registered standard type, in registration order.
  p->CreateGalleryPage(MsgPageStandard);
  std::vector<std::string> expected;
  for (int i = 0; i < GraphSeriesTypesList()->Count(); ++i) {
    TGraphSeriesType* t = GraphSeriesTypesList()->GetSeriesType(i);
    if (t->PageText() == MsgPageStandard && !t->FunctionClass) expected.push_back(t->DescriptionText());
  }
  ASSERT_EQ(p->Charts.Count(), static_cast<int>(expected.size()));
  for (int i = 0; i < p->Charts.Count(); ++i) {
    std::string joined;
    for (int k = 0; k < p->Charts.Items(i)->Title()->Text()->Count(); ++k)
      joined += (k ? "\r" : "") + p->Charts.Items(i)->Title()->Text()->Strings(k);
    EXPECT_EQ(joined, expected[i]);
  }
}

TEST_F(Gallery, ThumbnailsAreDrawnAndDifferByType) {
  // Every registered type of every page, series and functions.
  TChartGalleryPanel* p = NewPanel();
  int drawn = 0;
  for (bool functions : {false, true}) {
    std::vector<std::string> pages;
    for (int i = 0; i < GraphSeriesTypesList()->Count(); ++i) {
      TGraphSeriesType* t = GraphSeriesTypesList()->GetSeriesType(i);
      if ((t->FunctionClass != nullptr) == functions && t->SeriesClass != TPickyLine::StaticClass() &&
          std::find(pages.begin(), pages.end(), t->PageText()) == pages.end())
        pages.push_back(t->PageText());
    }
    p->ShowFunctions = functions;
    for (const std::string& page : pages) {
      p->CreateGalleryPage(page);
      std::vector<std::vector<TColor>> images;
      for (int i = 0; i < p->Charts.Count(); ++i) {
        auto b = Draw(p->Charts.Items(i));
        std::vector<TColor> px;
        std::set<TColor> colours;
        for (int y = 0; y < b->Height(); y += 2)
          for (int x = 0; x < b->Width(); x += 2) {
            px.push_back(b->Canvas()->Pixels(x, y));
            colours.insert(px.back());
          }
        // More than a background and a frame: the sample series are there.
        EXPECT_GT(colours.size(), 4u) << page << ": " << TitleOf(p->Charts.Items(i));
        images.push_back(px);
        ++drawn;
      }
      for (size_t i = 0; i < images.size(); ++i)
        for (size_t k = i + 1; k < images.size(); ++k)
          EXPECT_NE(images[i], images[k])
              << page << ": " << TitleOf(p->Charts.Items(int(i))) << " / " << TitleOf(p->Charts.Items(int(k)));
    }
  }
  EXPECT_GT(drawn, 30);
}

TEST_F(Gallery, SelectionByTypeAndByKeys) {
  TChartGalleryPanel* p = NewPanel();
  // A bar series opens on "Bar", not on the horizontal bar.
  TChart chart(nullptr);
  auto* bar = new TBarSeries(&chart);
  chart.AttachSeries(bar);
  p->CurrentSeries = bar;
  p->CreateGalleryPage(MsgPageStandard);
  ASSERT_NE(p->SelectedChart, nullptr);
  EXPECT_EQ(p->SelectedChart->SeriesList()->SeriesAt(0)->ClassType(), TBarSeries::StaticClass());
  EXPECT_TRUE(p->SelectedChart->Gradient()->Visible());  // highlighted
  // A function page has no such thumbnail: the first one is highlighted.
  p->ShowFunctions = true;
  p->CreateGalleryPage(MsgPageStandard);
  ASSERT_GT(p->Charts.Count(), 0);
  EXPECT_EQ(p->SelectedChart, p->Charts.Items(0));
  TChartSeriesClass sc = nullptr;
  TGraphFunctionClass fc = nullptr;
  int sub = -1;
  ASSERT_TRUE(p->GetSelectedType(sc, fc, sub));
  EXPECT_NE(fc, nullptr);
  EXPECT_EQ(sub, 0);
  p->ShowFunctions = false;
  p->CurrentSeries = nullptr;

  // Keys on a page of 14 (4 x 4 cells, the last row half full): no wrap-around.
  p->CreateGalleryPage(PageOf14);
  auto press = [&](uint16_t Key) {
    p->GalleryKeyDown(Key, {});
    return p->Charts.IndexOf(p->SelectedChart);
  };
  EXPECT_EQ(press(VK_UP), 0);
  EXPECT_EQ(press(VK_LEFT), 0);
  EXPECT_EQ(press(VK_RIGHT), 1);
  EXPECT_EQ(press(VK_DOWN), 5);
  EXPECT_EQ(press(VK_DOWN), 9);
  EXPECT_EQ(press(VK_DOWN), 13);
  EXPECT_EQ(press(VK_DOWN), 13);   // last row
  EXPECT_EQ(press(VK_RIGHT), 13);  // an empty cell changes nothing
  for (int i = 0; i < 3; ++i) press(VK_UP);
  for (int i = 0; i < 4; ++i) press(VK_RIGHT);
  EXPECT_EQ(p->Charts.IndexOf(p->SelectedChart), 3);  // last column
  int confirmed = 0;
  p->OnSelectedChart = [&](TObject*) { ++confirmed; };
  press(VK_RETURN);
  EXPECT_EQ(confirmed, 1);
}

TEST_F(Gallery, TypesThatRejectTheSeriesAreGreyAndSkipped) {
  TChartGalleryPanel* p = NewPanel();
  TChart chart(nullptr);
  auto* line = new TLineSeries(&chart);
  chart.AttachSeries(line);
  p->CurrentSeries = line;
  p->DisableInvalidTypes = true;
  p->CreateGalleryPage(PageOf14);
  // Every type of the page rejects a source: nothing can be selected.
  EXPECT_EQ(p->SelectedChart, nullptr);
  for (int i = 0; i < p->Charts.Count(); ++i) {
    EXPECT_EQ(p->Charts.Items(i)->Cursor(), crNoDrop);
    EXPECT_EQ(p->Charts.Items(i)->Title()->Font()->Color(), TColor(0x808080));
  }
  // A mixed page: the standard types accept it and are selectable.
  p->CreateGalleryPage(MsgPageStandard);
  ASSERT_NE(p->SelectedChart, nullptr);
  EXPECT_EQ(p->SelectedChart->Cursor(), crHandPoint);
}

TEST_F(Gallery, TabbedDialogReturnsTheDoubleClickedType) {
  TChart chart(nullptr);
  chart.SetView3D(true);
  std::vector<std::string> seriesPages, functionPages;
  EditorDialogHook = [&](TForm* F) {
    auto* g = dynamic_cast<TGraphGallery*>(F);
    ASSERT_NE(g, nullptr);
    seriesPages = g->PageNames();
    g->TabTypes->SetActivePageIndex(1);
    g->TabTypesChange();
    functionPages = g->PageNames();
    g->TabTypes->SetActivePageIndex(0);
    g->TabTypesChange();
    g->CB3D->SetChecked(false);
    // The second thumbnail of the standard page, double-clicked.
    TGalleryChart* c = g->ChartGalleryPanel1->Charts.Items(1);
    c->DispatchMouseDown(mbLeft, {}, 10, 10);
    c->DispatchMouseUp(mbLeft, {}, 10, 10);
    c->DispatchMouseDown(mbLeft, {}, 10, 10, true);
  };
  int sub = -1;
  TChartSeries* s = CreateSeriesFromGallery(nullptr, nullptr, &chart, sub, false, true);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->ClassType(), TBarSeries::StaticClass());
  EXPECT_EQ(s->ParentChart(), &chart);
  EXPECT_FALSE(chart.View3D());  // the dialog's 3D box
  ASSERT_FALSE(seriesPages.empty());
  EXPECT_EQ(seriesPages[0], MsgPageStandard);
  ASSERT_FALSE(functionPages.empty());
  EXPECT_EQ(functionPages[0], MsgPageStandard);

  // Cancel: nothing made, the chart's 3D setting stays.
  EditorDialogHook = [](TForm* F) { static_cast<TGraphGallery*>(F)->BCancel->Click(); };
  chart.SetView3D(true);
  EXPECT_EQ(GalleryNewSeries(nullptr, &chart, nullptr), nullptr);
  EXPECT_TRUE(chart.View3D());
  EXPECT_EQ(chart.SeriesList()->Count(), 1);
  EXPECT_EQ(GalleryNewSeries(nullptr, nullptr, nullptr), nullptr);
}

TEST_F(Gallery, AlternateDialogListsSeriesTypesOnlyWithTheirVariants) {
  WriteEditorInteger("GalleryMode", 1);
  TChart chart(nullptr);
  int rows = 0;
  std::string firstPage;
  EditorDialogHook = [&](TForm* F) {
    auto* g = dynamic_cast<TGraphGalleryForm*>(F);
    ASSERT_NE(g, nullptr);
    firstPage = g->CBPage->Items()->Strings(0);
    EXPECT_EQ(g->CBPage->Text(), MsgPageStandard);
    rows = g->ChartListBox1->Items()->Count();
    // Line is listed first; its variants fill the panel, each with its index as tag.
    EXPECT_EQ(g->ChartListBox1->SelectedSeries()->ClassType(), TLineSeries::StaticClass());
    ASSERT_GT(g->ChartGalleryPanel1->Charts.Count(), 1);
    EXPECT_EQ(g->ChartGalleryPanel1->Charts.Items(1)->Tag(), 1);
    g->ChartGalleryPanel1->SelectChart(g->ChartGalleryPanel1->Charts.Items(1));
    g->BOK->Click();
  };
  int sub = -1;
  TChartSeries* s = CreateSeriesFromGallery(nullptr, nullptr, &chart, sub, false, true);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->ClassType(), TLineSeries::StaticClass());
  EXPECT_EQ(sub, 1);
  EXPECT_TRUE(static_cast<TLineSeries*>(s)->Stairs());  // the chosen variant
  EXPECT_EQ(firstPage, MsgEdAll);
  int plainCount = 0;
  for (auto* t : GraphSeriesTypesList()->TypesOfPage(MsgPageStandard)) plainCount += t->FunctionClass == nullptr;
  EXPECT_EQ(rows, plainCount);
}

TEST_F(Gallery, SubGalleryRestylesOrRebuildsTheThumbnail) {
  TChartGalleryPanel* p = NewPanel();
  p->CreateGalleryPage(MsgPageStandard);
  TGalleryChart* line = p->Charts.Items(0);
  ASSERT_EQ(p->SelectedChart, line);
  int subSelected = 0;
  p->OnSubSelected = [&](TObject*) { ++subSelected; };
  // Variant 1 (stairs) restyles every series of the thumbnail.
  int variants = 0;
  EditorDialogHook = [&](TForm*) {
    ASSERT_NE(p->SubGallery, nullptr);
    variants = p->SubGallery->Charts.Count();
    p->SubGallery->DoSelectedChart(p->SubGallery->Charts.Items(1));
  };
  p->ShowSubGallery();
  EXPECT_GT(variants, 2);
  EXPECT_EQ(line->Tag(), 1);
  EXPECT_EQ(subSelected, 1);
  for (int i = 0; i < line->SeriesList()->Count(); ++i)
    EXPECT_TRUE(static_cast<TLineSeries*>(line->SeriesList()->SeriesAt(i))->Stairs());
  // Variant 0 makes the series plain again; Escape closes without a choice.
  EditorDialogHook = [&](TForm*) { p->SubGallery->DoSelectedChart(p->SubGallery->Charts.Items(0)); };
  p->ShowSubGallery();
  EXPECT_EQ(line->Tag(), 0);
  EXPECT_EQ(line->SeriesList()->Count(), 2);
  EXPECT_FALSE(static_cast<TLineSeries*>(line->SeriesList()->SeriesAt(0))->Stairs());
  EditorDialogHook = [&](TForm* F) { F->DispatchKeyDown(VK_ESCAPE, {}); };
  p->ShowSubGallery();
  EXPECT_EQ(subSelected, 2);
  // The variant mark of the highlighted thumbnail: a black triangle at its bottom-left corner.
  auto b = Draw(line);
  const TRect r = TChartGalleryPanel::VariantMarkRect(line);
  int dark = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      const TColor c = b->Canvas()->Pixels(x, y);
      dark += (c & 0xFF) < 0x60 && ((c >> 8) & 0xFF) < 0x60 && ((c >> 16) & 0xFF) < 0x60;
    }
  EXPECT_GE(dark, 10);
}

TEST_F(Gallery, ListBoxChangesASeriesTypeThroughTheGallery) {
  TForm form(nullptr);
  auto* chart = new TChart(&form);
  auto* line = new TLineSeries(&form);
  line->SetTitle("Kept title");
  line->AddXY(1, 2);
  chart->AttachSeries(line);
  auto* box = new TChartListBox(&form);
  box->SetParent(&form);
  box->SetChart(chart);
  EditorDialogHook = [](TForm* F) {
    auto* g = static_cast<TGraphGallery*>(F);
    EXPECT_EQ(g->TabTypes->PageCount(), 1);  // no functions for a type change
    TChartGalleryPanel* p = g->ChartGalleryPanel1;
    EXPECT_EQ(p->SelectedChart->SeriesList()->SeriesAt(0)->ClassType(), TLineSeries::StaticClass());
    uint16_t right = VK_RIGHT;
    p->GalleryKeyDown(right, {});
    p->DoSelectedChart(p->SelectedChart);
  };
  box->ChangeSelectedSeriesType(nullptr);
  ASSERT_EQ(chart->SeriesList()->Count(), 1);
  TChartSeries* now = chart->SeriesList()->SeriesAt(0);
  EXPECT_EQ(now->ClassType(), TBarSeries::StaticClass());
  EXPECT_EQ(now->Title(), "Kept title");
  EXPECT_EQ(box->SelectedSeries(), now);
}
