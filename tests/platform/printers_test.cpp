// Printing onto the page fake and into PDF files.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "platform/exceptions.h"
#include "platform/printers.h"

namespace {

int PdfPageCount(const std::string& File) {
  std::ifstream in(File, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  std::string s = ss.str();
  std::regex page("/Type\\s*/Page[^s]");
  return static_cast<int>(std::distance(std::sregex_iterator(s.begin(), s.end(), page), std::sregex_iterator()));
}

TEST(PrinterPages, FakePrinterReportsThePagesItWasGiven) {
  TPagePrinter p(400, 600, 100);
  EXPECT_EQ(p.PageWidth(), 400);
  EXPECT_EQ(p.PageHeight(), 600);
  EXPECT_THROW(p.NewPage(), EPrinter);
  p.BeginDoc();
  EXPECT_THROW(p.BeginDoc(), EPrinter);
  EXPECT_EQ(p.Canvas()->GetDeviceCaps(LOGPIXELSX), 100);
  EXPECT_EQ(p.Canvas()->GetDeviceCaps(HORZRES), 400);
  p.Canvas()->Brush()->SetColor(clRed);
  p.Canvas()->FillRect(Rect(10, 10, 50, 50));
  p.NewPage();
  EXPECT_EQ(p.PageNumber(), 2);
  p.Canvas()->Brush()->SetColor(clBlue);
  p.Canvas()->FillRect(Rect(100, 100, 120, 120));
  p.EndDoc();
  EXPECT_FALSE(p.Printing());
  ASSERT_EQ(p.PageCount(), 2);
  EXPECT_EQ(p.Pages(0)->Canvas()->Pixels(20, 20), clRed);
  EXPECT_EQ(p.Pages(0)->Canvas()->Pixels(110, 110), clWhite);
  EXPECT_EQ(p.Pages(1)->Canvas()->Pixels(110, 110), clBlue);
  EXPECT_EQ(p.Pages(1)->Canvas()->Pixels(20, 20), clWhite);

  p.SetOrientation(poLandscape);
  EXPECT_EQ(p.PageWidth(), 600);
  p.BeginDoc();
  p.Abort();
  EXPECT_TRUE(p.Aborted());
  EXPECT_EQ(p.PageCount(), 0);
}

TEST(PrinterPages, PdfOutputHasOnePagePerPageStarted) {
  std::string file = testing::TempDir() + "printer_pages_test.pdf";
  std::remove(file.c_str());
  TPrinter p;
  p.SetOutputFile(file);
  p.SetTitle("Sounding 12");
  p.SetPdfResolution(300);
  p.BeginDoc();
  EXPECT_EQ(p.Canvas()->GetDeviceCaps(LOGPIXELSX), 300);
  int w = p.PageWidth();
  EXPECT_GT(w, 2000);  // A4 at 300 per inch, less the margins
  for (int page = 0; page < 3; ++page) {
    if (page) p.NewPage();
    p.Canvas()->TextOut(100, 100, "Page " + std::to_string(page + 1));
    p.Canvas()->Rectangle(100, 200, w - 100, 600);
  }
  p.EndDoc();
  EXPECT_EQ(PdfPageCount(file), 3);

  // An aborted job leaves no file behind.
  std::string aborted = testing::TempDir() + "printer_pages_aborted.pdf";
  p.SetOutputFile(aborted);
  p.BeginDoc();
  p.Canvas()->TextOut(10, 10, "x");
  p.Abort();
  EXPECT_FALSE(std::ifstream(aborted).good());
}

TEST(PrinterPages, NoPrinterAndNoFileRaisesThePrinterError) {
  TPrinter p;
  if (p.HasPrinter()) GTEST_SKIP() << "a printer is installed here";
  EXPECT_THROW(p.PageWidth(), EPrinter);
  EXPECT_THROW(p.XDPI(), EPrinter);
}

}  // namespace
