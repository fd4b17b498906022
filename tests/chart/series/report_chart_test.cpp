// Charts in a report band: a report form with two printable charts prints one page on which both
// charts appear, as a PDF file (read back with pdftoppm when it is installed) and as a bitmap
// page; the zoom keeps the chart's own size; a printable chart without a chart prints its frame.
#include "chart/series/report_chart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "chart/engine/legend.h"
#include "chart/engine/value_lists.h"
#include "chart/series/bar_series.h"
#include "controls/mem_data.h"
#include "platform/bitmap.h"
#include "platform/printers.h"
#include "platform/streaming.h"
#include "platform/streams.h"
#include "platform/testkit/temp_folder.h"

namespace {

// The report of the resulting-data view: two printable charts one above the other in one band.
class TReportForm1 : public TReportForm {
public:
  explicit TReportForm1(TComponent* AOwner) : TReportForm(AOwner) {
    Data = new TVxMemoryData(this);
    Data->FieldDefs()->Add("Name", ftString, 8);
    Data->FieldDefs()->Add("Value", ftFloat, 0);
    Data->Open();
    for (int i = 1; i <= 5; ++i) {
      Data->Append();
      Data->FieldByName("Name")->SetAsString("P" + std::to_string(i));
      Data->FieldByName("Value")->SetAsFloat(i * 2.0);
      Data->Post();
    }
    Band = new TRpBand(this);
    Band->SetName("RpBand1");
    Band->SetParent(Report());
    Band->SetSizeBounds(10, 10, 190, 140);
    RpChart1 = MakeChart("RpChart1", "RpDBChart1", 0, clRed);
    RpChart2 = MakeChart("RpChart2", "RpDBChart2", 65, clBlue);
  }
  TRpChart* MakeChart(const char* Name, const char* ChartName, double Top, TColor Color) {
    auto* rp = new TRpChart(this);
    rp->SetName(Name);
    rp->SetParent(Band);
    rp->SetSizeBounds(0, Top, 120, 60);
    auto* chart = new TRpDBChart(this);
    chart->SetName(ChartName);
    chart->SetParent(rp);
    chart->SetView3D(false);
    chart->Legend()->SetVisible(false);
    auto* bars = new TBarSeries(nullptr);
    chart->AttachSeries(bars);
    bars->SetSeriesColor(Color);
    bars->SetXLabelsSource("Name");
    bars->YValues()->SetValueSource("Value");
    bars->SetDataSource(Data);
    return rp;
  }
  TVxMemoryData* Data;
  TRpBand* Band;
  TRpChart* RpChart1;
  TRpChart* RpChart2;
};

struct Pixels {
  int W = 0, H = 0;
  std::vector<TColor> P;
  TColor At(int X, int Y) const { return P[static_cast<size_t>(Y) * W + X]; }
};

bool Reddish(TColor C) { return GetRValue(C) > 170 && GetGValue(C) < 90 && GetBValue(C) < 90; }
bool Bluish(TColor C) { return GetBValue(C) > 170 && GetRValue(C) < 90 && GetGValue(C) < 90; }

// Pixels of a kind inside a rectangle given in millimetres of the page.
int CountIn(const Pixels& Img, double Dpi, double L, double T, double R, double B, bool (*Kind)(TColor)) {
  const auto px = [Dpi](double MM) { return static_cast<int>(MM * Dpi / 25.4); };
  int n = 0;
  for (int y = std::max(0, px(T)); y < std::min(Img.H, px(B)); ++y)
    for (int x = std::max(0, px(L)); x < std::min(Img.W, px(R)); ++x) n += Kind(Img.At(x, y));
  return n;
}

// Both charts show where they belong: red bars only in the upper one, blue only in the lower.
void ExpectTwoCharts(const Pixels& Img, double Dpi) {
  const int redAll = CountIn(Img, Dpi, 0, 0, 210, 297, Reddish);
  const int blueAll = CountIn(Img, Dpi, 0, 0, 210, 297, Bluish);
  const int redTop = CountIn(Img, Dpi, 10, 10, 130, 70, Reddish);
  const int blueBottom = CountIn(Img, Dpi, 10, 75, 130, 135, Bluish);
  EXPECT_GT(redTop, 50);
  EXPECT_GT(blueBottom, 50);
  EXPECT_EQ(redTop, redAll);
  EXPECT_EQ(blueBottom, blueAll);
}

Pixels FromBitmap(TBitmap* B) {
  Pixels img;
  img.W = B->Width();
  img.H = B->Height();
  for (int y = 0; y < img.H; ++y)
    for (int x = 0; x < img.W; ++x) img.P.push_back(B->Canvas()->Pixels(x, y));
  return img;
}

bool ReadPpm(const std::string& File, Pixels& Img) {
  std::ifstream in(File, std::ios::binary);
  std::string magic;
  int maxv = 0;
  if (!(in >> magic >> Img.W >> Img.H >> maxv) || magic != "P6" || maxv != 255) return false;
  in.get();
  std::vector<unsigned char> raw(static_cast<size_t>(Img.W) * Img.H * 3);
  if (!in.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()))) return false;
  for (size_t i = 0; i < raw.size(); i += 3) Img.P.push_back(RGB(raw[i], raw[i + 1], raw[i + 2]));
  return true;
}

bool HaveTool(const char* Name) {
  const std::string cmd = std::string("command -v ") + Name + " >/dev/null 2>&1";
  return std::system(cmd.c_str()) == 0;
}

TEST(ReportChart, TwoChartsPrintOnOnePdfPage) {
  TTempFolder dir("vm_report");
  const std::string pdf = dir.Path() + "/report.pdf";
  TReportForm1 form(nullptr);
  TPrinter* printer = Printer();
  const std::string savedFile = printer->OutputFile();
  printer->SetOutputFile(pdf);
  printer->SetPdfResolution(300);
  int printed = 0;
  form.RpChart1->OnPrint = [&](TRpChart* Sender, const TRect& PrintRect, const TRect& ChartRect) {
    ++printed;
    EXPECT_EQ(Sender, form.RpChart1);
    EXPECT_EQ(ChartRect.Width(), form.RpChart1->ClientWidth());  // zoom 100
    EXPECT_GT(PrintRect.Width(), ChartRect.Width());             // printer pixels
  };
  form.Report()->Print();
  printer->SetOutputFile(savedFile);
  EXPECT_EQ(printed, 1);

  std::ifstream in(pdf, std::ios::binary);
  ASSERT_TRUE(in.good());
  std::stringstream bytes;
  bytes << in.rdbuf();
  const std::string text = bytes.str();
  const std::regex page("/Type\\s*/Page[^s]");
  EXPECT_EQ(std::distance(std::sregex_iterator(text.begin(), text.end(), page), std::sregex_iterator()), 1);

  if (!HaveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed: the PDF is not rendered";
  const std::string cmd = "pdftoppm -r 40 -singlefile " + pdf + " " + dir.Path() + "/page";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  Pixels img;
  ASSERT_TRUE(ReadPpm(dir.Path() + "/page.ppm", img));
  EXPECT_NEAR(img.W, 210 * 40 / 25.4, 2);  // A4 at 40 dots per inch
  ExpectTwoCharts(img, 40);
}

TEST(ReportChart, PagePictureAndPreviewShowBothCharts) {
  TReportForm1 form(nullptr);
  for (TGraphQuickMethod method : {qtmMetafile, qtmBitmap}) {
    form.RpChart1->SetGraphPrintMethod(method);
    form.RpChart2->SetGraphPrintMethod(method);
    std::unique_ptr<TBitmap> page(form.Report()->RenderPage(50));
    const double dpi = Screen->PixelsPerInch() * 0.5;
    ASSERT_NEAR(page->Width(), 210 * dpi / 25.4, 2);
    ExpectTwoCharts(FromBitmap(page.get()), dpi);
  }
  TRpPreviewForm preview(nullptr, form.Report());
  ASSERT_NE(preview.Page(), nullptr);
  EXPECT_GT(preview.Page()->Width(), 0);
}

TEST(ReportChart, ZoomKeepsTheChartsOwnSizeAndTheScreenShowsIt) {
  TReportForm1 form(nullptr);
  TRpChart* rp = form.RpChart1;
  EXPECT_EQ(rp->Chart()->PanelRect().Width(), rp->ClientWidth());
  form.Report()->SetZoom(50);
  EXPECT_NEAR(rp->Chart()->PanelRect().Width(), 2 * rp->ClientWidth(), 1);
  EXPECT_NEAR(rp->Chart()->PanelRect().Height(), 2 * rp->ClientHeight(), 1);
  form.Report()->SetZoom(100);
  // On screen the printable control paints the chart into itself.
  rp->Repaint();
  int red = 0;
  for (int y = 0; y < rp->Height(); ++y)
    for (int x = 0; x < rp->Width(); ++x) red += Reddish(ControlSurfacePixel(rp, x, y));
  EXPECT_GT(red, 50);
}

TEST(ReportChart, AStoredLayoutReplacesTheChartMadeBefore) {
  RegisterReportChartClasses();
  TReportForm form(nullptr);
  auto* rp = new TRpChart(&form);
  rp->SetParent(form.Report());
  auto* made = new TRpDBChart(&form);
  made->SetParent(rp);
  ASSERT_EQ(rp->Chart(), made);
  TStringStream text("object RpChart1: TRpChart\n  object RpDBChart1: TRpDBChart\n  end\nend\n");
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  ReadComponentFromStream(binary, rp);
  ASSERT_NE(rp->Chart(), nullptr);
  EXPECT_EQ(rp->ControlCount(), 1);
  EXPECT_EQ(rp->Chart()->Name(), "RpDBChart1");
}

TEST(ReportChart, WithoutAChartOnlyTheFramePrints) {
  TReportForm form(nullptr);
  auto* band = new TRpBand(&form);
  band->SetParent(form.Report());
  band->SetSizeBounds(10, 10, 100, 50);
  auto* rp = new TRpChart(&form);
  rp->SetParent(band);
  rp->SetSizeBounds(5, 5, 40, 20);
  rp->SetDrawFrame(true);
  EXPECT_EQ(rp->Chart(), nullptr);
  EXPECT_NEAR(TRpChart(nullptr).Width(), 350, 1);
  std::unique_ptr<TBitmap> page(form.Report()->RenderPage(100));
  const double dpi = Screen->PixelsPerInch();
  const Pixels img = FromBitmap(page.get());
  auto px = [dpi](double MM) { return static_cast<int>(std::nearbyint(MM * dpi / 25.4)); };
  EXPECT_EQ(img.At(px(15) + 5, px(15)), clBlack);  // the frame's top edge
  EXPECT_EQ(img.At(px(25), px(25)), clWhite);      // nothing inside
}

}  // namespace
