// Series data export: delimited text, XML, HTML and spreadsheet records checked on their bytes;
// the spreadsheet file read back by an independent reader when one is installed.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/series_export.h"
#include "chart/series/line_series.h"
#include "chart/series/standard_series.h"
#include "platform/exceptions.h"
#include "platform/streams.h"
#include "chart/series/testkit/series_testkit.h"

namespace fs = std::filesystem;

namespace {

struct ExportChart : ::testing::Test {
  static void SetUpTestSuite() { InitStandardSeries(); }
  TSeriesChart C;
  TLineSeries* S1 = nullptr;
  TLineSeries* S2 = nullptr;
  void SetUp() override {
    S1 = C.Add<TLineSeries>();
    S1->SetName("Line1");
    S1->SetTitle("Rho");
    S1->SetSeriesColor(clBlue);
    S1->AddXY(1, 10, "a", clRed);
    S1->AddXY(2, 20.5);
    S1->AddXY(4, -3, "c");
    S2 = C.Add<TLineSeries>();
    S2->SetName("Line2");
    S2->SetSeriesColor(clLime);
    S2->AddXY(0, 5);
    S2->AddXY(1, 6);
  }
  static std::string Bytes(TMemoryStream& S) {
    return std::string(static_cast<const char*>(S.Memory()), static_cast<size_t>(S.Size()));
  }
};

}  // namespace

TEST(SeriesExportColors, HexTextOfColours) {
  EXPECT_EQ(ColorToHexText(clRed), "#ff0000");
  EXPECT_EQ(ColorToHexText(static_cast<TColor>(0x0A0B0C)), "#0c0b0a");
  EXPECT_EQ(ColorToHexText(clAutoColor), "#000000");
  EXPECT_EQ(ColorToHexText(clWhite), "#ffffff");
}

TEST_F(ExportChart, DelimitedTextOfAllSeries) {
  ASSERT_EQ(S1->NotMandatoryList->Name(), "X");
  ASSERT_EQ(S1->MandatoryList->Name(), "Y");
  TSeriesDataText t(&C.Chart);
  t.ShowHeader = true;
  // Labels of any series, the X column of every series, shorter series leave empty fields, and a
  // row whose label is empty starts with the separator.
  EXPECT_EQ(t.AsString(),
            "Text\tX\tRho\tX\tLine2\r\n"
            "a\t1\t10\t0\t5\r\n"
            "\t2\t20.5\t1\t6\r\n"
            "c\t4\t-3\t\t\r\n"
            "\r\n");
  t.Separator = ';';
  t.QuoteText = "\"";
  t.ShowIndex = true;
  t.ShowColors = true;
  EXPECT_EQ(t.AsString(),
            "\"Index\";\"Text\";\"Colors\";\"X\";\"Rho\";\"X\";\"Line2\"\r\n"
            "0;\"a\";#ff0000;1;10;0;5\r\n"
            "1;;#0000ff;2;20.5;1;6\r\n"
            "2;\"c\";#0000ff;4;-3;;\r\n"
            "\r\n");
  t.ShowHeader = false;
  t.ShowLabels = false;
  t.ShowColors = false;
  t.ShowIndex = false;
  t.NumberFormat = "0.00";
  EXPECT_EQ(t.AsString(), "1.00;10.00;0.00;5.00\r\n2.00;20.50;1.00;6.00\r\n4.00;-3.00;;\r\n\r\n");
}

TEST_F(ExportChart, DelimitedTextOfOneSeriesAndDateTimes) {
  TSeriesDataText t(&C.Chart, S2);
  t.ShowHeader = true;
  // Positions 0, 1: no X column; no labels.
  EXPECT_EQ(t.AsString(), "Line2\r\n5\r\n6\r\n\r\n");
  S1->XValues()->SetDateTime(true);
  TSeriesDataText d(&C.Chart, S1);
  d.QuoteText = "'";
  d.ShowLabels = false;
  const std::string text = d.AsString();
  EXPECT_EQ(text.substr(0, 1), "'");
  EXPECT_NE(text.find("'\t10\r\n"), std::string::npos) << text;
}

TEST_F(ExportChart, XmlOfOneSeriesAndOfTheChart) {
  TSeriesDataXML x(&C.Chart, S2);
  EXPECT_TRUE(x.ShowHeader);
  const std::string type = GetSeriesTypeDescription(S2);
  EXPECT_EQ(x.AsString(),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
            "<series title=\"Line2\" type=\"" +
                type +
                "\" color=\"#00ff00\">\r\n"
                "<points count=\"2\">\r\n"
                "<point  Y=\"5\"/>\r\n"
                "<point  Y=\"6\"/>\r\n"
                "</points>\r\n"
                "</series>\r\n\r\n");
  TSeriesDataXML all(&C.Chart);
  all.ShowIndex = true;
  all.ShowHeader = false;
  S1->SetTitle("R&D <Ohm>");
  S1->SetLabelAt(2, "\xD0\xAF");  // a Cyrillic letter
  const std::string s = all.AsString();
  EXPECT_EQ(s.substr(0, 9), "<chart>\r\n");
  EXPECT_EQ(s.substr(s.size() - 8), "</chart>");
  EXPECT_NE(s.find("<series title=\"R&amp;D &lt;Ohm&gt;\""), std::string::npos) << s;
  EXPECT_NE(s.find("<point index=\"0\" text=\"a\" X=\"1\" Y=\"10\"/>\r\n"), std::string::npos) << s;
  EXPECT_NE(s.find("<point index=\"2\" text=\"&#1071;\" X=\"4\" Y=\"-3\"/>\r\n"), std::string::npos) << s;
  EXPECT_NE(s.find("<point index=\"1\" text=\"\" X=\"1\" Y=\"6\"/>"), std::string::npos) << s;
}

TEST_F(ExportChart, HtmlTable) {
  TSeriesDataHTML h(&C.Chart);
  h.ShowHeader = true;
  EXPECT_EQ(h.AsString(),
            "<table border=\"1\">\r\n"
            "<tr><td>Text</td><td>X</td><td>Rho</td><td>Text</td><td>X</td><td>Line2</td></tr>\r\n"
            "<tr><td>a</td><td>1</td><td>10</td><td></td><td>0</td><td>5</td></tr>\r\n"
            "<tr><td></td><td>2</td><td>20.5</td><td></td><td>1</td><td>6</td></tr>\r\n"
            "<tr><td>c</td><td>4</td><td>-3</td><td></td><td></td><td></td></tr>\r\n"
            "\r\n</table>");
}

TEST_F(ExportChart, ChartWithoutSeriesGivesOnlyTheFixedParts) {
  TSeriesChart empty;
  TSeriesDataText t(&empty.Chart);
  t.ShowHeader = true;
  EXPECT_EQ(t.AsString(), "\r\n\r\n");
  TSeriesDataXML x(&empty.Chart);
  EXPECT_EQ(x.AsString(), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<chart>\r\n</chart>");
  TSeriesDataHTML h(&empty.Chart);
  EXPECT_EQ(h.AsString(), "<table border=\"1\">\r\n\r\n</table>");
  TSeriesDataXLS s(&empty.Chart);
  TMemoryStream m;
  s.SaveToStream(m);
  EXPECT_EQ(Bytes(m), std::string("\x09\x08\x08\x00\x00\x00\x10\x00\x00\x00\x00\x00"
                                  "\x00\x02\x0A\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
                                  "\x0A\x00\x00\x00",
                                  30));
}

TEST_F(ExportChart, SpreadsheetRecords) {
  TSeriesDataXLS x(&C.Chart, S2);
  x.ShowHeader = true;
  TMemoryStream m;
  x.SaveToStream(m);
  std::string expected("\x09\x08\x08\x00\x00\x00\x10\x00\x00\x00\x00\x00", 12);
  expected += std::string("\x00\x02\x0A\x00\x00\x00\x03\x00\x00\x00\x01\x00\x00\x00", 14);
  expected += std::string("\x04\x00\x09\x00\x00\x00\x00\x00\x00\x00\x00\x01Y", 13);
  const double five = 5, six = 6;
  expected += std::string("\x03\x00\x0F\x00\x01\x00\x00\x00\x00\x00\x00", 11) +
              std::string(reinterpret_cast<const char*>(&five), 8);
  expected += std::string("\x03\x00\x0F\x00\x02\x00\x00\x00\x00\x00\x00", 11) +
              std::string(reinterpret_cast<const char*>(&six), 8);
  expected += std::string("\x0A\x00\x00\x00", 4);
  EXPECT_EQ(Bytes(m), expected);

  // All series: a shorter series gives empty labels and blank cells beyond its end.
  TSeriesDataXLS all(&C.Chart);
  all.ShowIndex = true;
  TMemoryStream a;
  all.SaveToStream(a);
  const std::string b = Bytes(a);
  // Dimensions: 3 rows; index + 2 series x (label, X) + 2 x 1 value list = 7 columns.
  EXPECT_EQ(b.substr(12, 14), std::string("\x00\x02\x0A\x00\x00\x00\x03\x00\x00\x00\x07\x00\x00\x00", 14));
  // Row 2 of the second series: empty label at column 4, blanks at 5 and 6.
  EXPECT_NE(b.find(std::string("\x04\x00\x08\x00\x02\x00\x04\x00\x00\x00\x00\x00", 12)), std::string::npos);
  EXPECT_NE(b.find(std::string("\x01\x00\x07\x00\x02\x00\x05\x00\x00\x00\x00", 11)), std::string::npos);
  EXPECT_NE(b.find(std::string("\x01\x00\x07\x00\x02\x00\x06\x00\x00\x00\x00", 11)), std::string::npos);
}

TEST_F(ExportChart, SpreadsheetRowsBeyondTheFormatAreRefused) {
  TSeriesChart big;
  auto* s = big.Add<TLineSeries>();
  s->BeginUpdate();
  for (int i = 0; i < 65535; ++i) s->AddY(i);
  s->EndUpdate();
  TSeriesDataXLS x(&big.Chart, s);
  TMemoryStream m;
  EXPECT_NO_THROW(x.SaveToStream(m));
  x.ShowHeader = true;
  TMemoryStream m2;
  EXPECT_THROW(x.SaveToStream(m2), ERangeError);
}

TEST_F(ExportChart, SpreadsheetFileOpensInAnIndependentReader) {
  if (std::system("/usr/bin/python3 -c 'import xlrd' >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "python3-xlrd is not installed: the spreadsheet file is not read back";
  const fs::path dir = fs::temp_directory_path() / ("vm_xls_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string file = (dir / "data.xls").string();
  TSeriesDataXLS x(&C.Chart);
  x.ShowHeader = true;
  x.ShowIndex = true;
  x.SaveToFile(file);
  const std::string out = (dir / "cells.txt").string();
  const std::string cmd =
      "/usr/bin/python3 -c \"import "
      "xlrd,sys\nb=xlrd.open_workbook(sys.argv[1],logfile=open('/dev/null','w'))\ns=b.sheet_by_index(0)\n"
      "print(s.nrows, s.ncols)\nfor r in range(s.nrows): print('|'.join(repr(s.cell_value(r,c)) "
      "for c in range(s.ncols)))\" " +
      file + " > " + out + " 2>/dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::ifstream in(out);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(all,
            "4 7\n"
            "'Index'|'Text'|'X'|'Y'|'Text'|'X'|'Y'\n"
            "0.0|'a'|1.0|10.0|''|0.0|5.0\n"
            "1.0|''|2.0|20.5|''|1.0|6.0\n"
            "2.0|'c'|4.0|-3.0|''|''|''\n");
  fs::remove_all(dir);
}

// Labels beyond ASCII are written in code page 1251, and a code page record says so; files with
// ASCII labels only keep the plain layout.
TEST_F(ExportChart, SpreadsheetLabelsInCodePage1251CarryTheCodePage) {
  TSeriesDataXLS x(&C.Chart, S1);
  TMemoryStream plain;
  x.SaveToStream(plain);
  EXPECT_EQ(Bytes(plain).substr(12, 2), std::string("\x00\x02", 2)) << "the dimension record follows the start";

  S1->SetLabelAt(1, "\xD0\x9F\xD1\x80\xD0\xB8");  // "При"
  TMemoryStream m;
  x.SaveToStream(m);
  const std::string b = Bytes(m);
  EXPECT_EQ(b.substr(12, 6), std::string("\x42\x00\x02\x00\xE3\x04", 6));  // 1251
  EXPECT_EQ(b.substr(18, 2), std::string("\x00\x02", 2));
  EXPECT_NE(b.find(std::string("\x03\xCF\xF0\xE8", 4)), std::string::npos);

  if (std::system("/usr/bin/python3 -c 'import xlrd' >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "python3-xlrd is not installed: the spreadsheet file is not read back";
  const fs::path dir = fs::temp_directory_path() / ("vm_xls_cp_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string file = (dir / "data.xls").string();
  x.SaveToFile(file);
  const std::string out = (dir / "label.txt").string();
  const std::string cmd =
      "/usr/bin/python3 -c \"import xlrd,sys\nb=xlrd.open_workbook(sys.argv[1],logfile=open('/dev/null','w'))\n"
      "sys.stdout.buffer.write(b.sheet_by_index(0).cell_value(1,0).encode('utf-8'))\" " +
      file + " > " + out + " 2>/dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::ifstream in(out);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()),
            "\xD0\x9F\xD1\x80\xD0\xB8");
  fs::remove_all(dir);
}
