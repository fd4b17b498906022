// The EDI and PLT writer: head and measurement lines, value blocks, the spectra section, and
// exports that read back through the reader.
#include <gtest/gtest.h>

#include "edi_test_util.h"
#include "mtdata/edi_writer.h"
#include "mtdata/info_block.h"
#include "mtdata/site_file.h"
#include "sitefile_fixture.h"

#include <memory>
#include <sstream>

using namespace edi_test;
using sitefile_test::CaptureLog;
using sitefile_test::TTempDir;

namespace {

std::string FixedDate() { return "01/02/03"; }

std::vector<std::string> SplitLines(const std::string& Text) {
  std::vector<std::string> lines;
  std::istringstream in(Text);
  std::string l;
  while (std::getline(in, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

int IndexOf(const std::vector<std::string>& Lines, const std::string& Line) {
  for (std::size_t i = 0; i < Lines.size(); ++i)
    if (Lines[i] == Line) return static_cast<int>(i);
  return -1;
}

int CountPrefix(const std::vector<std::string>& Lines, const std::string& Prefix) {
  int n = 0;
  for (const auto& l : Lines) n += l.rfind(Prefix, 0) == 0;
  return n;
}

// A site of F frequencies built by hand, channels in the standard slots.
std::unique_ptr<TMTFile> HandSite(int F, const std::string& DataLine = "DATA ID:   SITE01A45") {
  auto s = std::make_unique<TMTFile>();
  s->FreqCount = F;
  s->ChannelCount = 7;
  s->XprRecordCount = 2;
  for (int c = 1; c <= 7; ++c) {
    s->ChannelOrder[c] = static_cast<int16_t>(c);
    s->StoredChannelOrder[c] = static_cast<int16_t>(c);
  }
  const std::pair<int, const char*> info[] = {
      {8, "DATE: 2020/05/14 20May24"},
      {32, DataLine.c_str()},
      {34, "Lat 61:30:1234N Long 33:15:0000W"},
      {35, "Elevation: 125.4"},
      {44, "Ex 4 100 0 z"},
      {45, "Ey 5 100 90 z"},
      {46, "Hx 1 0 0 z"},
      {47, "Hy 2 0 90 z"},
      {48, "Hz 3 0 0 z"},
      {49, "RHx 6 0 0 z"},
      {50, "RHy 7 0 90 z"}};
  for (const auto& [line, text] : info) SetInfoLine(s->InfoLines[line], text);
  for (int f = 1; f <= F; ++f) {
    s->Frequencies[f] = 1000.0 / f;
    s->Plots[f][1] = 10 + f;
    s->Plots[f][99] = 1000.0 / f;
    s->Plots[f][7] = 5;
    s->WeightSum1[f] = 4;
    for (int r = 1; r <= 7; ++r)
      for (int c = 1; c <= 7; ++c) s->StackedMatrix[f][r][c] = r * 10 + c;
    for (int x = 1; x <= 2; ++x) {
      s->XprMatrices[f][x] = s->StackedMatrix[f];
      s->Weight1[f][x] = 2;
    }
  }
  return s;
}

std::string Export(const TMTFile& Site, int Mode, const TTempDir& Dir) {
  const std::string path = Dir.File(Mode == 2 ? "out.plt" : "out.edi");
  EdiFileDateText = FixedDate;
  ExportEdi(path, Site, Mode);
  return ReadText(path);
}

TEST(EdiWriter, HeadAndMeasurementLines) {
  TTempDir dir;
  auto site = HandSite(4);
  EdiHeaderDefaults.DataAcquiredBy = "  >Crew> ";
  EdiHeaderDefaults.CountryOfAcquisition = "";
  const std::string text = Export(*site, 2, dir);
  EXPECT_NE(text.find("\r\n"), std::string::npos);
  const auto lines = SplitLines(text);
  for (const char* expected : {
           "    DATAID=\"SITE01A45\"", "    ACQBY=\"Crew\"", "    ACQDATE=05/14/20",
           "    FILEDATE=01/02/03", "    LAT=61:30:12.34", "    LONG=-33:15:00.00",
           "    ELEV=125", "    EMPTY=1.0E+32 ", "    REFLAT=61:30:12.34",
           // Without a '-' after position 6 the site number is the digits from position 7.
           ">EMEAS ID=454.045 CHTYPE=EX X=-50.0 Y=0.0 X2=50.0 Y2=0.0 ACQCHAN=CH4",
           ">EMEAS ID=455.045 CHTYPE=EY X=0.0 Y=-50.0 X2=0.0 Y2=50.0 ACQCHAN=CH5",
           ">HMEAS ID=451.045 CHTYPE=HX X=8.5 Y=8.5 AZM=0 ACQCHAN=CH1",
           ">HMEAS ID=456.045 CHTYPE=HX X=21.2 Y=44978.8 AZM=0 ACQCHAN=CH6",
           "HX=451.045", "HY=452.045", "HZ=453.045", "EX=454.045", "EY=455.045",
           "RX=456.045", "RY=457.045"})
    EXPECT_GE(IndexOf(lines, expected), 0) << expected;
  EXPECT_EQ(CountPrefix(lines, "    COUNTRY="), 0);
  EXPECT_EQ(lines.back(), ">END");
  EXPECT_EQ(CountPrefix(lines, ">=SPECTRASECT"), 0);
  // Information rows: 4 blanks, line i, 3 blanks, line 30 + i.
  EXPECT_EQ(lines[static_cast<std::size_t>(IndexOf(lines, ">INFO") + 2 + 4)],
            std::string(36, ' ') + "   Elevation: 125.4" +
                std::string(16, ' '));
}

TEST(EdiWriter, ValueBlocksWriteTheValidRowsSevenPerLine) {
  TTempDir dir;
  auto site = HandSite(40);
  auto lines = SplitLines(Export(*site, 2, dir));
  int freq = IndexOf(lines, ">FREQ NFREQ=40 // 40");
  ASSERT_GE(freq, 0);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(lines[static_cast<std::size_t>(freq + i)].size(), 77u);
  EXPECT_EQ(lines[static_cast<std::size_t>(freq + 6)].size(), 55u);
  EXPECT_EQ(lines[static_cast<std::size_t>(freq + 1)].substr(0, 11), "  1.000E+03");

  // A frequency without results is left out of every block, which then stays aligned.
  site->Plots[1][1] = 0;
  site->Plots[3][1] = 0;
  lines = SplitLines(Export(*site, 2, dir));
  freq = IndexOf(lines, ">FREQ NFREQ=38 // 38");
  ASSERT_GE(freq, 0);
  EXPECT_EQ(lines[static_cast<std::size_t>(freq + 1)].substr(0, 22), "  5.000E+02  2.500E+02");
  EXPECT_EQ(lines[static_cast<std::size_t>(IndexOf(lines, ">RHOXY ROT=RHOROT // 38") + 1)]
                .substr(0, 22),
            "  1.200E+01  1.400E+01");
  // The rotation angle block holds the fixed angle, and the site keeps its own column.
  EXPECT_GE(IndexOf(lines, ">ZROT // 38"), 0);
  EXPECT_EQ(site->Plots[2][57], 0);
}

TEST(EdiWriter, SpectraSectionOfTheStackAndOfSingleEstimates) {
  TTempDir dir;
  auto site = HandSite(10);
  site->StackedMatrix[3] = TMatrix7{};
  site->StackedMatrix[7] = TMatrix7{};
  site->WeightSum1[2] = 0;
  auto lines = SplitLines(Export(*site, 1, dir));
  EXPECT_GE(IndexOf(lines, "   NFREQ=8"), 0);
  EXPECT_GE(IndexOf(lines, "   MAXBLKS=8"), 0);
  EXPECT_GE(IndexOf(lines, "     451.045"), 0);
  EXPECT_EQ(CountPrefix(lines, ">SPECTRA "), 8);
  EXPECT_EQ(CountPrefix(lines, ">=MTSECT"), 0);
  EXPECT_EQ(lines.back(), ">END");
  const int second = IndexOf(
      lines, ">SPECTRA  FREQ=5.000E+02 ROTSPEC=0 BW=1.6500E+02 AVGT=1.0000E-04 // 49");
  ASSERT_GE(second, 0);
  // Row 1 starts with the Hx auto-power (slot 3) divided by the weight 0.0001.
  EXPECT_EQ(lines[static_cast<std::size_t>(second + 1)].substr(0, 11), "  3.300E+05");

  // Every estimate as its own segment: all frequencies, the stack left as it was.
  const TMatrix7 stack = site->StackedMatrix[1];
  lines = SplitLines(Export(*site, 3, dir));
  EXPECT_GE(IndexOf(lines, "   MAXBLKS=20"), 0);
  EXPECT_EQ(CountPrefix(lines, ">=SPECTRASECT"), 1);
  EXPECT_EQ(CountPrefix(lines, ">SPECTRA "), 20);
  EXPECT_NE(lines[static_cast<std::size_t>(IndexOf(lines, "> //****INDIVIDUAL SPECTRA FOR EDITING****//") + 1)],
            "");
  EXPECT_EQ(site->StackedMatrix[1], stack);
  EXPECT_EQ(site->StackedMatrix[3], TMatrix7{});
}

TEST(EdiWriter, BadElevationFailsBeforeAnythingIsWritten) {
  TTempDir dir;
  auto site = HandSite(2);
  SetInfoLine(site->InfoLines[35], "Elevation: 12x.4");
  const std::string path = dir.File("bad.edi");
  EXPECT_THROW(ExportEdi(path, *site, 1), EConvertError);
  EXPECT_FALSE(FileExists(path));  // nothing is created
  WriteText(path, "old export");
  EXPECT_THROW(ExportEdi(path, *site, 1), EConvertError);
  EXPECT_EQ(ReadText(path), "old export");  // an existing file stays as it was
}

// A generated site exported as EDI (spectra) and as PLT (parameters) reads back to the same
// apparent resistivities and phases; so does an EDI site exported again.
TEST(EdiWriter, ExportsReadBackToTheSameResistivitiesAndPhases) {
  TTempDir dir;
  TMtGenModel model;
  model.Layers = {{100, 500}, {10, 0}};
  model.WithTipper = true;
  const std::string mt = dir.File("site.mt1");
  MtGenWrite(model, mt);
  std::unique_ptr<TMTFile> site = sitefile_test::OpenSite(mt);
  const auto valid = EdiValidRows(*site);
  ASSERT_GT(valid.size(), 20u);

  const std::string edi = dir.File("site.edi");
  const std::string plt = dir.File("site.plt");
  EdiFileDateText = FixedDate;
  ExportEdi(edi, *site, 1);
  ExportEdi(plt, *site, 2);

  auto back = std::make_unique<TMTFile>();
  CaptureLog([&] { LoadFromEdi(*back, edi); });
  auto image = std::make_unique<TEdiFileObject>();
  CaptureLog([&] { image->LoadFromFile(plt); });
  ASSERT_EQ(static_cast<std::size_t>(back->FreqCount), valid.size());
  ASSERT_EQ(static_cast<std::size_t>(image->ImpedanceTable.RowCount), valid.size());
  for (std::size_t i = 0; i < valid.size(); ++i) {
    const int f = valid[i], g = static_cast<int>(i) + 1;
    EXPECT_NEAR(back->Frequencies[g], site->Frequencies[f], 1e-3 * site->Frequencies[f]);
    for (int p : {1, 2}) {
      EXPECT_NEAR(back->Plots[g][p], site->Plots[f][p], 2e-3 * site->Plots[f][p]) << f;
      EXPECT_NEAR(image->Plots[g][p], site->Plots[f][p], 1e-3 * site->Plots[f][p]) << f;
    }
    for (int p : {3, 4}) {
      EXPECT_NEAR(back->Plots[g][p], site->Plots[f][p], 0.1) << f;
      EXPECT_NEAR(image->Plots[g][p], site->Plots[f][p], 0.05) << f;
    }
  }

  // The EDI site has a channel order, channels and an information block of its own, so it
  // exports again.
  const std::string again = dir.File("again.plt");
  ExportEdi(again, *back, 2);
  auto image2 = std::make_unique<TEdiFileObject>();
  CaptureLog([&] { image2->LoadFromFile(again); });
  ASSERT_EQ(image2->ImpedanceTable.RowCount, image->ImpedanceTable.RowCount);
  EXPECT_NEAR(image2->Plots[5][1], image->Plots[5][1], 2e-3 * image->Plots[5][1]);
}

}  // namespace
