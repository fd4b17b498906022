// The print preview: the sheet in the control, the chart's place by its margins, dragging the
// margin lines and the image, printing to PDF, and the preview dialog's margin controls.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "chart/engine/axis_panel.h"
#include "chart/extra/chart_file.h"
#include "chart/extra/pen_dialog.h"
#include "chart/extra/preview_dialog.h"
#include "chart/extra/print_preview.h"
#include "chart/series/line_series.h"
#include "platform/bitmap.h"
#include "platform/comctrls.h"
#include "platform/controls.h"
#include "platform/exceptions.h"
#include "platform/forms.h"
#include "platform/printers.h"
#include "platform/stdctrls.h"
#include "platform/streams.h"
#include "platform/updown.h"
#include "chart/series/testkit/series_testkit.h"

namespace fs = std::filesystem;

namespace {

// A portrait A4 page at 254 dots per inch, known to every test (the job goes to a PDF file).
struct Preview : ::testing::Test {
  TPrinter* Old = nullptr;
  fs::path Pdf;
  void SetUp() override {
    auto* p = new TPagePrinter(2100, 2970, 254);
    Pdf = fs::temp_directory_path() / ("vm_preview_" + std::to_string(::getpid()) + ".pdf");
    p->SetOutputFile(Pdf.string());
    Old = SetPrinter(p);
  }
  void TearDown() override {
    delete SetPrinter(Old);
    fs::remove(Pdf);
    EditorDialogHook = nullptr;
  }
};

struct PreviewPanel : TGraphPreviewPanel {
  PreviewPanel() : TGraphPreviewPanel(nullptr) {
    SetBounds(0, 0, 400, 300);
    SetBevelOuter(bvNone);
    SetColor(clSilver);
  }
  std::unique_ptr<TBitmap> Draw() { return std::unique_ptr<TBitmap>(PreviewBitmap()); }
};

}  // namespace

TEST_F(Preview, SheetInTheControlAndDefaultMargins) {
  PreviewPanel p;
  const TRect paper = p.PaperRect();
  EXPECT_EQ(paper.Top, 30);
  EXPECT_EQ(paper.Height(), 240);
  EXPECT_EQ(paper.Width(), 170);
  EXPECT_EQ(paper.Left, (400 - 170) / 2);
  // No chart: 15 % on every side; the paper, its shadow and the margin lines are drawn even
  // without the image.
  p.SetShowImage(false);
  auto b = p.Draw();
  const TRect r = p.ImageRect();
  EXPECT_EQ(r, TRect(paper.Left + MulDiv(15, 170, 100), paper.Top + MulDiv(15, 240, 100),
                     paper.Right - MulDiv(15, 170, 100), paper.Bottom - MulDiv(15, 240, 100)));
  EXPECT_EQ(b->Canvas()->Pixels(paper.Left + 5, paper.Top + 5), clWhite);
  // The shadow beside the sheet is darker than the control around it.
  EXPECT_LT(b->Canvas()->Pixels(paper.Right + 1, paper.Top + 40) & 0xFF, clSilver & 0xFF);
  EXPECT_EQ(b->Canvas()->Pixels(paper.Right + 8, paper.Top + 40), clSilver);
  int lines = 0;
  for (int y = paper.Top + 1; y < paper.Bottom; ++y) lines += b->Canvas()->Pixels(r.Left - 1, y) != clWhite;
  EXPECT_GT(lines, 20);  // the dotted left margin line
}

TEST_F(Preview, ChartOnTheSheetAndDraggingTheMargins) {
  TSeriesChart c(false, 400, 300);
  auto* s = c.Add<TLineSeries>();
  s->SetSeriesColor(clRed);
  for (int i = 0; i < 10; ++i) s->AddXY(i, i % 3);
  c.Chart.SetPrintProportional(false);
  c.Chart.SetPrintMargins(TRect(10, 10, 10, 10));
  PreviewPanel p;
  p.SetPanel(&c.Chart);
  std::vector<TRect> changes;
  p.OnChangeMargins = [&](TObject*, bool Disable, const TRect& M) {
    EXPECT_TRUE(Disable);
    changes.push_back(M);
  };
  // The chart's clear back wall shows the paper, not the colour last used for the shadow.
  p.PaperShadow()->SetColor(clBlue);
  for (bool asBitmap : {false, true}) {
    p.SetAsBitmap(asBitmap);
    auto b = p.Draw();
    const TRect r = p.ImageRect();
    int red = 0, blue = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) {
        const TColor px = b->Canvas()->Pixels(x, y);
        red += GetRValue(px) > GetGValue(px) + 60 && GetRValue(px) > GetBValue(px) + 60;  // smoothed too
        blue += px == clBlue;
      }
    EXPECT_GT(red, 5) << asBitmap;
    EXPECT_EQ(blue, 0) << asBitmap;
  }
  p.SetAsBitmap(false);
  p.Draw();
  const TRect r = p.ImageRect();

  EXPECT_EQ(p.HitTest(r.Left + 2, (r.Top + r.Bottom) / 2), phLeft);
  EXPECT_EQ(p.HitTest(r.Right - 3, r.Bottom + 3), phBottomRight);
  EXPECT_EQ(p.HitTest((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2), phMove);
  // The left line cannot pass the right one.
  p.DoMouseDown(r.Left, (r.Top + r.Bottom) / 2);
  p.DoMouseMove(r.Left + 10, (r.Top + r.Bottom) / 2);
  EXPECT_EQ(p.ImageRect().Left, r.Left + 10);
  p.DoMouseMove(r.Right + 2, (r.Top + r.Bottom) / 2);
  EXPECT_EQ(p.ImageRect().Left, r.Left + 10);
  p.DoMouseUp();
  ASSERT_FALSE(changes.empty());
  EXPECT_FALSE(c.Chart.PrintProportional());
  const TRect paper = p.PaperRect();
  EXPECT_EQ(c.Chart.PrintMargins().Left, MulDiv(r.Left + 10 - paper.Left, 100, paper.Width()));
  // A move past the sheet's edge stops at the edge.
  p.Draw();
  const TRect r2 = p.ImageRect();
  p.DoMouseDown((r2.Left + r2.Right) / 2, (r2.Top + r2.Bottom) / 2);
  p.DoMouseMove(paper.Left, (r2.Top + r2.Bottom) / 2);
  EXPECT_EQ(p.ImageRect().Left, paper.Left);
  EXPECT_EQ(p.ImageRect().Width(), r2.Width());
  p.DoMouseUp();
  // Without resizing the lines cannot be grabbed, but the image still moves.
  p.SetAllowResize(false);
  p.Draw();
  const TRect r3 = p.ImageRect();
  EXPECT_EQ(p.HitTest(r3.Left, (r3.Top + r3.Bottom) / 2), phMove);
  EXPECT_EQ(p.HitTest(r3.Left - 3, (r3.Top + r3.Bottom) / 2), phNone);
}

TEST_F(Preview, ResizedPanelLaysTheSheetOutAnew) {
  PreviewPanel p;
  p.HandleNeeded();
  int draws = 0;
  p.OnAfterDraw = [&](TObject*) { ++draws; };
  p.Update();
  EXPECT_EQ(draws, 1);
  p.SetBounds(0, 0, 600, 450);
  p.Update();
  EXPECT_EQ(draws, 2);
  const TRect paper = p.PaperRect();
  EXPECT_EQ(paper.Top, 45);
  EXPECT_EQ(ControlSurfacePixel(&p, paper.Right - 3, paper.Bottom - 3), clWhite);  // past the old size
}

TEST_F(Preview, DestroyingTheChartLeavesAnEmptySheet) {
  PreviewPanel p;
  {
    TSeriesChart c;
    p.SetPanel(&c.Chart);
    EXPECT_EQ(p.Panel(), &c.Chart);
  }
  EXPECT_EQ(p.Panel(), nullptr);
  p.Draw();
  const TRect paper = p.PaperRect();
  EXPECT_EQ(p.ImageRect().Left, paper.Left + MulDiv(15, paper.Width(), 100));
}

TEST_F(Preview, PrintsToPdf) {
  TSeriesChart c;
  c.Add<TLineSeries>()->AddXY(1, 1);
  auto* pdf = new TPrinter();
  pdf->SetOutputFile(Pdf.string());
  delete SetPrinter(pdf);
  PreviewPanel p;
  p.SetPanel(&c.Chart);
  p.SetTitle("Sounding");
  p.Print();
  ASSERT_TRUE(fs::exists(Pdf));
  TMemoryStream m;
  m.LoadFromFile(Pdf.string());
  EXPECT_EQ(std::string(static_cast<const char*>(m.Memory()), 4), "%PDF");
}

TEST_F(Preview, DialogMarginControls) {
  TSeriesChart c;
  c.Chart.SetPrintProportional(false);
  c.Chart.SetPrintMargins(TRect(60, 10, 20, 10));
  Printer()->SetOrientation(poPortrait);
  TChartPreview d(nullptr);
  d.GraphPreviewPanel1->SetPanel(&c.Chart);
  d.Show();
  EXPECT_EQ(Printer()->Orientation(), poLandscape);  // every showing
  EXPECT_EQ(d.OrientationIndex(), 1);
  EXPECT_EQ(d.UDLeftMa->Position(), 60);
  EXPECT_FALSE(d.CBProp->Checked());
  EXPECT_FALSE(d.BReset->Enabled());
  // With 60 % on the left, 40 % on the right is refused and 35 % taken.
  d.UDRightMa->SetPosition(40);
  EXPECT_EQ(d.UDRightMa->Position(), 20);
  EXPECT_EQ(c.Chart.PrintMargins().Right, 20);
  d.UDRightMa->SetPosition(35);
  EXPECT_EQ(c.Chart.PrintMargins().Right, 35);
  EXPECT_TRUE(d.BReset->Enabled());
  d.UDRightMa->SetPosition(20);
  EXPECT_FALSE(d.BReset->Enabled());
  d.UDRightMa->SetPosition(25);
  d.BResetClick();
  EXPECT_EQ(c.Chart.PrintMargins(), TRect(60, 10, 20, 10));
  EXPECT_FALSE(d.BReset->Enabled());
  // The detail track bar sets the print resolution.
  d.Resolution->SetPosition(70);
  EXPECT_EQ(c.Chart.PrintResolution(), -30);
  // Proportional on recomputes the margins for the page; dragging a line switches it off again.
  d.CBProp->SetChecked(true);
  EXPECT_TRUE(c.Chart.PrintProportional());
  d.GraphPreviewPanel1->PreviewBitmap();
  const TRect r = d.GraphPreviewPanel1->ImageRect();
  d.GraphPreviewPanel1->DoMouseDown(r.Left, (r.Top + r.Bottom) / 2);
  d.GraphPreviewPanel1->DoMouseMove(r.Left + 5, (r.Top + r.Bottom) / 2);
  d.GraphPreviewPanel1->DoMouseUp();
  EXPECT_FALSE(d.CBProp->Checked());
  EXPECT_FALSE(c.Chart.PrintProportional());
}

TEST_F(Preview, DraggedLinesMoveOnTheWindowInNotXor) {
  struct Panel : PreviewPanel {
    TCanvas* Window() { return WindowCanvas(); }
  } p;
  p.Draw();
  const TRect r = p.ImageRect();
  const int y = (r.Top + r.Bottom) / 2 + 3;
  TCanvas* w = p.Window();
  ASSERT_NE(w, nullptr);
  w->Brush()->SetColor(clWhite);
  w->FillRect(TRect(0, 0, 400, 300));
  const auto column = [&](int X) {
    int n = 0;
    for (int yy = r.Top + 10; yy < r.Bottom - 10; ++yy) n += w->Pixels(X, yy) != clWhite;
    return n;
  };
  p.DoMouseDown(r.Left, y);
  p.DoMouseMove(r.Left + 10, y);
  EXPECT_GT(column(r.Left + 9), 5);  // the line at its new place
  p.DoMouseMove(r.Left, y);
  // Drawn twice in not-xor, every line is gone again.
  EXPECT_EQ(column(r.Left + 9), 0);
  EXPECT_EQ(column(r.Left - 1), 0);
  p.DoMouseUp();
}

namespace {

// A page navigator as the chart editor gives one to the preview: it steps through the pages of
// its chart and prints the range a print dialog would have asked for.
class TStepNavigator : public TCustomGraphNavigator {
  VM_CLASS(TStepNavigator, TCustomGraphNavigator)
public:
  explicit TStepNavigator(TComponent* AOwner) : TCustomGraphNavigator(AOwner) { ++Made; }
  ~TStepNavigator() override { ++Freed; }
  TCustomAxisPanel* Chart() const { return dynamic_cast<TCustomAxisPanel*>(Panel()); }
  int32_t PageCount() override { return Chart() ? Chart()->CountPages() : 1; }
  void Next() {
    Chart()->SetPage(Chart()->Page() + 1);
    PageChanged();
  }
  void Print() override {
    ++Prints;
    Chart()->PrintPageRange(From, To);
  }
  static inline int Made = 0, Freed = 0, Prints = 0, From = 1, To = 1;
};
VM_DEFINE_CLASS(TStepNavigator)

int PdfPages(const fs::path& File) {
  TMemoryStream m;
  m.LoadFromFile(File.string());
  const std::string data(static_cast<const char*>(m.Memory()), static_cast<size_t>(m.Size()));
  int pages = 0;
  for (size_t at = data.find("/Type /Page"); at != std::string::npos; at = data.find("/Type /Page", at + 1))
    pages += data.compare(at, 12, "/Type /Pages") != 0;
  return pages;
}

// Red pixels of the upper and the lower half of the left third of R.
std::pair<int, int> RedHalves(TBitmap* B, const TRect& R) {
  int upper = 0, lower = 0;
  const int mid = (R.Top + R.Bottom) / 2;
  for (int y = R.Top; y < R.Bottom; ++y)
    for (int x = R.Left; x < R.Left + R.Width() / 3; ++x)
      if (B->Canvas()->Pixels(x, y) == clRed) ++(y < mid ? upper : lower);
  return {upper, lower};
}

}  // namespace

TEST_F(Preview, DialogPageNavigatorShowsAndPrintsThePagesOfTheChart) {
  // Three pages of five points: rising on the first page, falling on the second.
  TSeriesChart c;
  auto* s = c.Add<TLineSeries>();
  s->SetSeriesColor(clRed);
  s->Pen()->SetWidth(3);
  const double values[] = {0, 1, 2, 3, 4, 9, 8, 7, 6, 5, 1, 2, 1, 2, 1};
  for (int i = 0; i < 15; ++i) s->AddXY(i, values[i]);
  c.Chart.SetMaxPointsPerPage(5);
  c.Chart.SetPrintProportional(false);
  c.Chart.SetPrintMargins(TRect(10, 10, 10, 10));
  ASSERT_EQ(c.Chart.CountPages(), 3);
  auto* pdf = new TPrinter();
  pdf->SetOutputFile(Pdf.string());
  delete SetPrinter(pdf);

  TStepNavigator::Made = TStepNavigator::Freed = TStepNavigator::Prints = 0;
  {
    TChartPreview d(nullptr);
    EXPECT_THROW(d.SetPageNavigatorClass(TButton::StaticClass()), EInvalidOperation);
    d.SetPageNavigatorClass(TStepNavigator::StaticClass());
    d.GraphPreviewPanel1->SetPanel(&c.Chart);
    d.Show();
    ASSERT_EQ(TStepNavigator::Made, 1);
    auto* nav = static_cast<TStepNavigator*>(d.PageNavigator());
    ASSERT_NE(nav, nullptr);
    EXPECT_EQ(nav->Panel(), &c.Chart);
    EXPECT_EQ(nav->Parent(), &d);
    EXPECT_EQ(nav->HelpContext(), 1488);
    // At the bottom of the left column.
    EXPECT_EQ(nav->Left(), d.CheckBox1->Left());
    EXPECT_GT(nav->Top(), d.CheckBox1->Top());
    EXPECT_LT(nav->Left() + nav->Width(), d.GraphPreviewPanel1->Left());

    // The preview shows the chart's current page, and a page step repaints it.
    std::unique_ptr<TBitmap> first(d.GraphPreviewPanel1->PreviewBitmap());
    const TRect r = d.GraphPreviewPanel1->ImageRect();
    auto [up1, low1] = RedHalves(first.get(), r);
    EXPECT_GT(low1, up1);
    int draws = 0;
    d.GraphPreviewPanel1->OnAfterDraw = [&](TObject*) { ++draws; };
    d.GraphPreviewPanel1->Update();
    draws = 0;
    nav->Next();
    EXPECT_EQ(c.Chart.Page(), 2);
    d.GraphPreviewPanel1->Update();
    EXPECT_EQ(draws, 1);
    std::unique_ptr<TBitmap> second(d.GraphPreviewPanel1->PreviewBitmap());
    auto [up2, low2] = RedHalves(second.get(), r);
    EXPECT_GT(up2, low2);
    // The window shows the page too.
    int windowRed = 0;
    for (int y = r.Top; y < (r.Top + r.Bottom) / 2; ++y)
      for (int x = r.Left; x < r.Left + r.Width() / 3; ++x)
        windowRed += ControlSurfacePixel(d.GraphPreviewPanel1, x, y) == clRed;
    EXPECT_GT(windowRed, 0);

    // More than one page: Print goes through the navigator, which prints the range asked.
    TStepNavigator::From = 2;
    TStepNavigator::To = 3;
    d.BPrintClick();
    EXPECT_EQ(TStepNavigator::Prints, 1);
    EXPECT_EQ(PdfPages(Pdf), 2);
    EXPECT_EQ(c.Chart.Page(), 2);  // the chart keeps its page
    EXPECT_EQ(Screen->Cursor(), crDefault);

    // One page: the preview panel prints as before.
    c.Chart.SetMaxPointsPerPage(0);
    fs::remove(Pdf);
    d.BPrintClick();
    EXPECT_EQ(TStepNavigator::Prints, 1);
    EXPECT_EQ(PdfPages(Pdf), 1);
  }
  EXPECT_EQ(TStepNavigator::Freed, 1);

  // Without a class no navigator is made.
  TChartPreview plain(nullptr);
  plain.GraphPreviewPanel1->SetPanel(&c.Chart);
  plain.Show();
  EXPECT_EQ(plain.PageNavigator(), nullptr);
}

TEST_F(Preview, NavigatorForgetsADestroyedChart) {
  TStepNavigator nav(nullptr);
  {
    TSeriesChart c;
    nav.SetPanel(&c.Chart);
    EXPECT_EQ(nav.PageCount(), 1);
  }
  EXPECT_EQ(nav.Panel(), nullptr);
  EXPECT_EQ(nav.PageCount(), 1);
}
