// The starting and resulting data views on the sample site: one block of curves per file and
// processing reference, the check lists that show and hide them, and every curve point with its
// error bar at the pixels of the values read straight from the site's parameter table.
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>

#include "app/views/data_view.h"
#include "app/views/errpoint_series.h"
#include "app_fixture.h"
#include "chart/engine/chart.h"
#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/legend.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "chart/series/report_chart.h"
#include "controls/vx_checklist.h"
#include "mtdata/mt_types.h"
#include "mtdata/plot_columns.h"
#include "mtdata/plot_tables.h"
#include "mtdata/site_file.h"
#include "platform/actnlist.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/dialogs.h"
#include "platform/logdevice.h"
#include "platform/reports.h"
#include "chart/extra/preview_dialog.h"
#include "platform/menus.h"
#include "app/views/mask_window.h"
#include "platform/printers.h"

namespace {

struct DataViewFixture : AppFixture {
  void Open(std::vector<std::string> Files) {
    Start();
    ChooseFiles(std::move(Files));
    ASSERT_TRUE(MainForm1->acOpen->Execute());
  }
  TGrViewNf1* Show(TAction* A, TGrViewNf1*& Var) {
    EXPECT_TRUE(A->Enabled());
    EXPECT_TRUE(A->Execute());
    EXPECT_TRUE(FormExists(Var));
    Var->SetBounds(0, 0, 760, 700);
    Application->ProcessMessages();
    return Var;
  }
  static std::vector<std::string> Items(TVxCheckListBox* L) {
    std::vector<std::string> v;
    for (int i = 0; i < L->Items()->Count(); ++i) v.push_back(L->Items()->Strings(i));
    return v;
  }
  static int Count(TCustomAxisPanel* C) { return C->SeriesList()->Count(); }
  static bool Active(TChart* C, int I) { return C->SeriesList()->SeriesAt(I)->Active(); }
};

}  // namespace

TEST_F(DataViewFixture, StartingDataHasABlockPerFileAndReference) {
  Open({SiteFile("S107.MT1"), SiteFile("S107.MT2")});
  ASSERT_GE(SiteFiles.size(), 1u);
  std::vector<int> kept;
  for (auto& f : SiteFiles) kept.push_back(f->DisplayReference);
  TGrViewNf1* v = Show(MainForm1->acStartingData, GrViewNf1);
  EXPECT_EQ(v->Caption(), "Starting data");
  EXPECT_FALSE(v->cbBWPrint->Visible());
  EXPECT_EQ(v->clbFiles->Items()->Count(), static_cast<int>(SiteFiles.size()));
  EXPECT_EQ(v->clbFiles->Items()->Strings(0), "S107.MT1");
  const std::vector<std::string> procs = Items(v->clbProcessing);
  ASSERT_GE(procs.size(), 2u);
  EXPECT_EQ(procs[0], "LOC E ");
  EXPECT_EQ(procs[1], "LOC H ");
  const int R = SiteFiles[0]->ReferenceCount;
  ASSERT_GT(R, 0);

  v->clbParameters->SetCheckedIndex(1);  // apparent resistivity: two curves, two panels
  v->Refresh(nullptr);
  EXPECT_EQ(v->NCurves, 2);
  EXPECT_EQ(Items(v->clbComponents), (std::vector<std::string>{std::string(ParameterShortNames[pcRhoxyOhmm]),
                                                               std::string(ParameterShortNames[pcRhoyxOhmm])}));
  EXPECT_TRUE(v->Chart2->Visible());
  const int files = static_cast<int>(SiteFiles.size());
  EXPECT_EQ(Count(v->Chart1), files * R * 2);
  EXPECT_EQ(Count(v->Chart2), files * R * 2);
  EXPECT_EQ(v->Chart1->SeriesList()->SeriesAt(1)->Title(),
            std::string(ParameterShortNames[pcRhoyxOhmm]) + " S107.MT1 " + procs[0]);
  for (size_t l = 0; l < SiteFiles.size(); ++l) EXPECT_EQ(SiteFiles[l]->DisplayReference, kept[l]) << l;

  // Unchecking the last file hides exactly its series in both charts.
  v->clbFiles->SetItemChecked(files - 1, false);
  v->clbComponentsClickCheck(v->clbFiles);
  for (TChart* c : {v->Chart1, v->Chart2})
    for (int i = 0; i < Count(c); ++i) EXPECT_EQ(Active(c, i), i < (files - 1) * R * 2) << i;
  // The coherence type has one panel: the second chart goes.
  v->clbParameters->SetCheckedIndex(5);
  v->Refresh(nullptr);
  EXPECT_FALSE(v->Chart2->Visible());
  EXPECT_EQ(Count(v->Chart1), files * R * PlotCurveCounts[5]);
}

TEST_F(DataViewFixture, ComponentChecksAreKeptPerPlotType) {
  Open({SiteFile("S107.MT1")});
  TGrViewNf1* v = Show(MainForm1->AcResultingData, GrView1);
  v->clbParameters->SetCheckedIndex(1);
  v->Refresh(nullptr);
  v->clbComponents->SetItemChecked(1, false);
  v->clbComponentsClickCheck(v->clbComponents);
  const int R = CurrentSite->ReferenceCount;
  for (int r = 0; r < R; ++r) {
    EXPECT_TRUE(Active(v->Chart1, r * 2));
    EXPECT_FALSE(Active(v->Chart1, r * 2 + 1));
  }
  v->clbParameters->SetCheckedIndex(0);
  v->Refresh(nullptr);
  for (int i = 0; i < v->clbComponents->Items()->Count(); ++i) EXPECT_TRUE(v->clbComponents->GetItemChecked(i));
  v->clbParameters->SetCheckedIndex(1);
  v->Refresh(nullptr);
  EXPECT_TRUE(v->clbComponents->GetItemChecked(0));
  EXPECT_FALSE(v->clbComponents->GetItemChecked(1)) << "restored for the type it was unchecked in";
  EXPECT_FALSE(Active(v->Chart1, 1));
}

// Every point of the first series of both panels at the pixel of its value, the bar from the
// value's error bounds: multiplicative on the resistivity panel, additive on the phase panel.
TEST_F(DataViewFixture, ResultingDataPointsAndBarsSitAtTheirValues) {
  Open({SiteFile("S107.MT1")});
  TGrViewNf1* v = Show(MainForm1->AcResultingData, GrView1);
  EXPECT_EQ(v->Caption(), "Resulting data");
  EXPECT_TRUE(v->cbBWPrint->Visible());
  EXPECT_FALSE(v->GroupBox3->Visible());
  EXPECT_TRUE(MainForm1->acPrint->Enabled());
  v->clbParameters->SetCheckedIndex(1);
  v->Refresh(nullptr);
  TMTFile& site = *CurrentSite;
  const int R = site.ReferenceCount;
  EXPECT_EQ(Count(v->Chart1), R * 2);
  // Only the first curve of the display reference remains, drawn in one colour without line.
  const int r = site.DisplayReference < R ? site.DisplayReference : 0;
  struct TCase {
    TChart* Chart;
    int Value, Variance;
    bool Multiplicative;
  };
  const TCase cases[] = {{v->Chart1, pcRhoxyOhmm, pcVarLogRhoxy, true}, {v->Chart2, pcPHASExyDeg, pcVarPHASExy, false}};
  site.SetReference(r);
  for (const TCase& c : cases) {
    auto* s = dynamic_cast<TErrPointSeries*>(c.Chart->SeriesList()->SeriesAt(r * 2));
    ASSERT_NE(s, nullptr);
    for (int i = 0; i < Count(c.Chart); ++i) c.Chart->SeriesList()->SeriesAt(i)->SetActive(i == r * 2);
    s->Pen()->SetVisible(false);
    s->Pointer()->SetVisible(false);
    s->ErrLinePen()->SetVisible(true);
    s->SetHorizGap(4);
    c.Chart->BottomAxis()->SetAutomatic(true);
    c.Chart->Legend()->SetVisible(false);
    c.Chart->SetColor(clWhite);
    const TColor col = static_cast<TColor>(PlotSettings.Styles[1]);  // curve 1
    int checked = 0;
    for (int k = 1; k <= site.FreqCount; k += 3) {
      if (!(site.Plots[k][99] > 0)) continue;
      const double val = site.Plots[k][c.Value], e = std::sqrt(site.Plots[k][c.Variance]);
      const double hi = c.Multiplicative ? val * std::pow(10.0, e) : val + e;
      const double lo = c.Multiplicative ? val / std::pow(10.0, e) : val - e;
      const int i = s->XValues()->Locate(site.Frequencies[k]);
      ASSERT_GE(i, 0) << k;
      EXPECT_NEAR(s->YValues()->Value(i), val, 1e-9 * std::fabs(val));
      EXPECT_NEAR(s->HighValues()->Value(i), hi, 1e-9 * std::fabs(hi) + 1e-12);
      EXPECT_NEAR(s->LowValues()->Value(i), lo, 1e-9 * std::fabs(lo) + 1e-12);
      if (!(hi > lo) || (c.Multiplicative && lo <= 0)) continue;
      // The value axis zoomed so that the bar takes the middle third of the chart.
      if (c.Multiplicative)
        c.Chart->LeftAxis()->SetMinimumMaximum(lo / (hi / lo), hi * (hi / lo));
      else
        c.Chart->LeftAxis()->SetMinimumMaximum(lo - (hi - lo), hi + (hi - lo));
      std::unique_ptr<TBitmap> img(
          c.Chart->CreateBitmap(clWhite, TRect(0, 0, c.Chart->Width(), c.Chart->Height()), pf24bit));
      const int x = c.Chart->BottomAxis()->ValueToPixel(site.Frequencies[k]);
      const int yv = c.Chart->LeftAxis()->ValueToPixel(val);
      const int yh = c.Chart->LeftAxis()->ValueToPixel(hi), yl = c.Chart->LeftAxis()->ValueToPixel(lo);
      ASSERT_GT(yl - yh, 30);
      // The end frequencies sit on the frame, where the axis lines are drawn over the caps.
      if (x - 6 <= c.Chart->ChartRect.Left || x + 6 >= c.Chart->ChartRect.Right) continue;
      EXPECT_EQ(img->Canvas()->Pixels(x, yv), col) << "bar through the value at " << k;
      EXPECT_EQ(img->Canvas()->Pixels(x - 4, yh), col) << "upper cap at " << k;
      EXPECT_EQ(img->Canvas()->Pixels(x + 3, yl), col) << "lower cap at " << k;
      EXPECT_NE(img->Canvas()->Pixels(x, yh - 3), col) << "nothing above the upper end at " << k;
      EXPECT_NE(img->Canvas()->Pixels(x, yl + 3), col) << "nothing below the lower end at " << k;
      ++checked;
    }
    EXPECT_GT(checked, 0);
  }
}

// The report holds copies of both charts; "B/W print" blackens the copies only, and printing
// writes one page with both charts.
TEST_F(DataViewFixture, ReportCopiesBothChartsAndPrintsThemOnOnePage) {
  Open({SiteFile("S107.MT1")});
  TGrViewNf1* v = Show(MainForm1->AcResultingData, GrView1);
  v->clbParameters->SetCheckedIndex(1);
  v->Refresh(nullptr);
  v->cbBWPrint->SetChecked(true);
  std::unique_ptr<TReportForm1> r(MakeDataReport(v));
  for (auto [view, rp] : {std::pair{v->Chart1, r->RpChart1}, std::pair{v->Chart2, r->RpChart2}}) {
    auto* q = rp->Chart();
    ASSERT_EQ(Count(q), Count(view));
    EXPECT_DOUBLE_EQ(q->LeftAxis()->Minimum(), view->LeftAxis()->Minimum());
    EXPECT_DOUBLE_EQ(q->LeftAxis()->Maximum(), view->LeftAxis()->Maximum());
    EXPECT_TRUE(q->BottomAxis()->Inverted());
    for (int i = 0; i < Count(q); ++i) {
      TChartSeries* s = q->SeriesList()->SeriesAt(i);
      ASSERT_EQ(s->PointCount(), view->SeriesList()->SeriesAt(i)->PointCount());
      EXPECT_EQ(s->SeriesColor(), clBlack);
      for (int k = 0; k < s->PointCount(); ++k) EXPECT_EQ(s->PointColorAt(k), clBlack) << k;
      EXPECT_NE(view->SeriesList()->SeriesAt(i)->SeriesColor(), clBlack) << "the view keeps its colours";
    }
  }
  EXPECT_EQ(r->RpChart1->Chart()->PrintMargins(), TRect(15, 18, 15, 18));
  EXPECT_EQ(r->RpChart2->Chart()->PrintMargins(), TRect(15, 16, 15, 16));
  r.reset();

  const std::string pdf = (Dir / "report.pdf").string();
  TPrinter* printer = Printer();
  const std::string saved = printer->OutputFile();
  Dialogs.push_back([pdf](TCommonDialog* D) {
    static_cast<TPrintDialog*>(D)->SetOutputFile(pdf);
    return true;
  });
  MainForm1->acPrint->SetEnabled(true);
  EXPECT_TRUE(MainForm1->acPrint->Execute());
  printer->SetOutputFile(saved);
  ASSERT_TRUE(fs::exists(pdf));
  std::ifstream in(pdf, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.rfind("%PDF", 0), 0u);
  size_t pages = 0;
  for (size_t p = text.find("/Type /Page"); p != std::string::npos; p = text.find("/Type /Page", p + 1))
    pages += text.compare(p, 12, "/Type /Pages") != 0;
  EXPECT_EQ(pages, 1u);
}

// Print and Preview come back whenever the resulting-data view is active again, whatever window
// was active in between; printing always asks where to, says where the page went, and a window
// that cannot print says so.
TEST_F(DataViewFixture, PrintAsksWhereAndComesBackWithTheResultingDataView) {
  Open({SiteFile("S107.MT1")});
  TGrViewNf1* v = Show(MainForm1->AcResultingData, GrView1);
  v->DispatchActivate(true);
  EXPECT_TRUE(MainForm1->acPrint->Enabled());
  ASSERT_TRUE(MainForm1->AcMaskEdit->Execute());
  MaskEd1->DispatchActivate(true);
  EXPECT_FALSE(MainForm1->acPrint->Enabled());
  EXPECT_FALSE(MainForm1->AcPreview->Enabled());
  ASSERT_TRUE(MainForm1->AcResultingData->Execute());
  EXPECT_TRUE(MainForm1->acPrint->Enabled());
  EXPECT_TRUE(MainForm1->AcPreview->Enabled());
  // Print setup is there with or without a site.
  EXPECT_TRUE(MainForm1->AcPrintSetup->Enabled());
  int setups = 0;
  Dialogs.push_back([&](TCommonDialog* D) {
    setups += dynamic_cast<TPrinterSetupDialog*>(D) != nullptr;
    return false;
  });
  EXPECT_TRUE(MainForm1->AcPrintSetup->Execute());
  EXPECT_EQ(setups, 1);

  // The print dialog: cancelled, nothing is written; accepted with a file, the page goes there.
  TPrinter* printer = Printer();
  const std::string saved = printer->OutputFile();
  std::string proposed;
  Dialogs.push_back([&](TCommonDialog* D) {
    auto* p = dynamic_cast<TPrintDialog*>(D);
    if (p) proposed = p->OutputFile();
    return false;
  });
  ASSERT_TRUE(MainForm1->acPrint->Execute());
  if (!printer->HasPrinter()) {
    EXPECT_EQ(proposed, ChangeFileExt(SiteFile("S107.MT1"), ".pdf"));
  }
  EXPECT_FALSE(fs::exists(ChangeFileExt(SiteFile("S107.MT1"), ".pdf")));
  const std::string pdf = (Dir / "chosen.pdf").string();
  Dialogs.push_back([pdf](TCommonDialog* D) {
    static_cast<TPrintDialog*>(D)->SetOutputFile(pdf);
    return true;
  });
  TLogCapture log;
  ASSERT_TRUE(MainForm1->acPrint->Execute());
  printer->SetOutputFile(saved);
  EXPECT_TRUE(fs::exists(pdf));
  EXPECT_NE(log.Text().find("Printed to file " + pdf), std::string::npos) << log.Text();

  // A window that does not print says so.
  ASSERT_TRUE(MainForm1->acStartingData->Execute());
  MainForm1->acPrint->SetEnabled(true);
  Boxes.clear();
  ASSERT_TRUE(MainForm1->acPrint->Execute());
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_NE(Boxes[0].find("Resulting data"), std::string::npos);
}

// The preview window carries its controls: the zoom steps and "Print...", which asks where to print.
TEST_F(DataViewFixture, PreviewWindowZoomsAndPrints) {
  Open({SiteFile("S107.MT1")});
  TGrViewNf1* v = Show(MainForm1->AcResultingData, GrView1);
  std::unique_ptr<TReportForm1> r(MakeDataReport(v));
  TRpPreviewForm preview(nullptr, r->Report());
  ASSERT_TRUE(preview.BPrint && preview.BZoomIn && preview.BZoomOut && preview.BClose);
  const int zoom = preview.Zoom();
  const int width = preview.Page()->Width();
  preview.BZoomIn->Click();
  EXPECT_GT(preview.Zoom(), zoom);
  EXPECT_GT(preview.Page()->Width(), width);
  preview.BZoomOut->Click();
  EXPECT_EQ(preview.Zoom(), zoom);
  const std::string pdf = (Dir / "preview.pdf").string();
  TPrinter* printer = Printer();
  const std::string saved = printer->OutputFile();
  Dialogs.push_back([pdf](TCommonDialog* D) {
    static_cast<TPrintDialog*>(D)->SetOutputFile(pdf);
    return true;
  });
  preview.BPrint->Click();
  printer->SetOutputFile(saved);
  EXPECT_TRUE(fs::exists(pdf));
}

// Each report chart prints inside its share of the page less its print margins.
TEST_F(DataViewFixture, ReportChartsKeepTheirPrintMargins) {
  Open({SiteFile("S107.MT1")});
  TGrViewNf1* v = Show(MainForm1->AcResultingData, GrView1);
  std::unique_ptr<TReportForm1> r(MakeDataReport(v));
  std::unique_ptr<TBitmap> page(r->Report()->RenderPage(50));
  // At the page's left edge, down to the band and its first 15 % of width, nothing is drawn.
  const int w = page->Width(), h = page->Height();
  const int margin = static_cast<int>(w * (10 + 190 * 0.15) / 210.0) - 2;
  for (int y = 0; y < h; y += 3)
    for (int x = 0; x < margin; x += 2) ASSERT_EQ(page->Canvas()->Pixels(x, y) & 0xFFFFFF, clWhite) << x << "," << y;
  bool inked = false;
  for (int y = 0; y < h && !inked; ++y)
    for (int x = margin; x < w && !inked; ++x) inked = (page->Canvas()->Pixels(x, y) & 0xFFFFFF) != clWhite;
  EXPECT_TRUE(inked);
}

// Each chart's pop-up menu reaches the print preview dialog of that chart.
TEST_F(DataViewFixture, ChartMenuOpensThePrintPreviewOfItsChart) {
  Open({SiteFile("S107.MT1")});
  TGrViewNf1* v = Show(MainForm1->AcResultingData, GrView1);
  for (auto [menu, chart] : {std::pair{v->PopupMenu1, v->Chart1}, std::pair{v->PopupMenu2, v->Chart2}}) {
    TMenuItem* entry = nullptr;
    for (int i = 0; i < menu->Items()->Count(); ++i)
      if (menu->Items()->Items(i)->Caption() == "Print Preview...") entry = menu->Items()->Items(i);
    ASSERT_NE(entry, nullptr);
    TCustomGraphPanel* previewed = nullptr;
    Modals.push_back([&](TForm* F) {
      auto* d = dynamic_cast<TChartPreview*>(F);
      ASSERT_NE(d, nullptr);
      previewed = d->Chart();
      d->Close();
    });
    entry->Click();
    EXPECT_EQ(previewed, static_cast<TCustomGraphPanel*>(chart));
  }
}

// The two kinds of data view share one class: once one is closed, its variable names no window,
// so a later window of the other kind (even at the freed one's address) is never taken for it.
TEST_F(DataViewFixture, AClosedDataViewLeavesItsKindFree) {
  Open({SiteFile("S107.MT1")});
  ASSERT_TRUE(FormExists(GrViewNf1));
  TGrViewNf1* v = Show(MainForm1->AcResultingData, GrView1);
  v->Close();
  Application->ProcessMessages();
  EXPECT_EQ(GrView1, nullptr);
  GrViewNf1->Close();
  Application->ProcessMessages();
  EXPECT_EQ(GrViewNf1, nullptr);
  ASSERT_TRUE(MainForm1->acStartingData->Execute());
  ASSERT_TRUE(MainForm1->AcResultingData->Execute());
  ASSERT_TRUE(FormExists(GrViewNf1) && FormExists(GrView1));
  EXPECT_NE(GrViewNf1, GrView1);
  EXPECT_EQ(GrViewNf1->ViewMode, 1);
  EXPECT_EQ(GrView1->ViewMode, 2);
}
