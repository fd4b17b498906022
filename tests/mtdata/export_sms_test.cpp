// The SMS/DMS grid export: the single-precision grid order, the ".par" and ".cat" layouts, the
// grid read back, and exports that fail without leaving files or changing the site.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "export_fixture.h"
#include "mtdata/export_sms.h"
#include "mtdata/impedance_table.h"
#include "mtdata/info_block.h"
#include "platform/codepage.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

using namespace export_test;

namespace {

float SingleAt(const std::string& Bytes, std::size_t Index) {
  float v;
  std::memcpy(&v, Bytes.data() + Index * 4, 4);  // the machine is little-endian, as the file
  return v;
}

std::string PadTo(std::string S, std::size_t N) {
  S.resize(std::max(N, S.size()), ' ');
  return S;
}

// A site of F frequencies whose every row has impedance values; its information block names
// Project and an Ex azimuth of 37.
std::unique_ptr<TMTFile> HandSite(int F, const std::string& Project = "ONE") {
  auto s = std::make_unique<TMTFile>();
  s->FreqCount = F;
  s->Header.FileName = "HAND.MT1";
  SetInfoLine(s->InfoLines[1], "PROJECT: " + Project);
  SetInfoLine(s->InfoLines[2], "JOB: J77");
  SetInfoLine(s->InfoLines[3], "Elevation: 312.6");
  SetInfoLine(s->InfoLines[4], PadTo("Ex 1 z", 20) + "   37.0");
  SetInfoLine(s->InfoLines[5], PadTo("Ey 2 z", 20) + "  127.0");
  for (int f = 1; f <= F; ++f) {
    s->Frequencies[f] = 1000.0 / f;
    auto p = s->Plots[f];
    p[99] = 1000.0 / f;
    p[1] = 100;
    for (int k = 0; k < 4; ++k) {
      p[61 + k] = 10 * f + k + 1;  // amplitudes xx, xy, yx, yy
      p[65 + k] = 40 + k;          // phases
    }
    p[53] = p[54] = p[55] = p[56] = 0.25;  // amplitude variances
    p[89] = p[39] = p[40] = p[90] = 4;     // phase variances
  }
  return s;
}

// The table the export writes from.
std::unique_ptr<TRezZTable> SiteTable(const TMTFile& Site) {
  auto t = std::make_unique<TRezZTable>();
  FillImpedanceTableFromPlots(Site.Plots, Site.Frequencies, Site.FreqCount, *t);
  CanadaToRussian(*t);
  return t;
}

}  // namespace

class ExportSmsTest : public ::testing::Test {
protected:
  TOptionsGuard Options;
  TTempDir Dir;
};

TEST_F(ExportSmsTest, GeneratedSiteWritesGridsParametersAndCatalogue) {
  CanadaToRussianMode = 2;
  auto site = GeneratedSite(Dir, TMtGenModel{});
  const std::string fullPath = site->Header.FullPath, fileName = site->Header.FileName;
  const TPlots plots = site->Plots;
  auto table = SiteTable(*site);
  std::vector<int> rows;
  for (int f = 1; f <= table->LastRow; ++f)
    if (table->Rows[f].Amplitude[3][2] != 0) rows.push_back(f);
  ASSERT_EQ(rows.size(), 40u);

  CaptureLog([&] { ExportSms(Dir.File("prof.x"), *site); });
  EXPECT_EQ(FolderEntries(Dir.File("")),
            (std::vector<std::string>{"Header.cat", "prof.cat", "prof.dms", "prof.par", "prof.sms", "site.mt1"}));

  // Grids: per period row, values 1..9 of the one station; amplitudes and phases, then errors.
  const std::string sms = ReadFile(Dir.File("prof.sms")), dms = ReadFile(Dir.File("prof.dms"));
  ASSERT_EQ(sms.size(), 40u * 9 * 4);
  ASSERT_EQ(dms.size(), 40u * 9 * 4);
  for (std::size_t k = 0; k < rows.size(); ++k) {
    const TRezZRow& r = table->Rows[rows[k]];
    for (int j = 1; j <= 4; ++j) {
      EXPECT_EQ(SingleAt(sms, k * 9 + 2 * j - 1), r.Amplitude[3][j]) << k << " " << j;
      EXPECT_EQ(SingleAt(sms, k * 9 + 2 * j), r.Phase[3][j]);
      EXPECT_EQ(SingleAt(dms, k * 9 + 2 * j - 1), r.AmplitudeError[3][j]);
      EXPECT_EQ(SingleAt(dms, k * 9 + 2 * j), r.PhaseError[3][j]);
    }
  }
  EXPECT_EQ(SingleAt(sms, 9), site->Header.ChannelAzimuth[1]);  // value 1 of row 2

  auto par = CrLfLines(ReadFile(Dir.File("prof.par")));
  ASSERT_EQ(par.size(), 3 + 2 + 10 + 1u);
  EXPECT_EQ(par[0], "Project: " + site->Header.Survey.Project + "; Client: " + site->Header.Client +
                        "; Job: " + site->Header.Job.str());
  EXPECT_EQ(par[3], "    0    1    0    0    0    0");
  EXPECT_EQ(par[4], "    0    0    1   40");
  EXPECT_EQ(par[5].size(), 60u);
  EXPECT_EQ(par[5].substr(15, 15), Format("%15.6f", {table->Rows[rows[1]].Period}));
  EXPECT_EQ(par[15], "");  // the tenth line of four periods is ended

  auto cat = CrLfLines(ReadFile(Dir.File("prof.cat")));
  ASSERT_EQ(cat.size(), 2u);
  EXPECT_EQ(cat[0], Format("%8s", {fileName}) + "         0         0" +
                        Format("%7.0f%4.0f%4.0f", {site->Header.Point.Altitude, site->Header.ChannelAzimuth[1],
                                                   site->Header.ChannelAzimuth[2]}) +
                        "  1 40");
  auto headerCat = CrLfLines(ReadFile(Dir.File("Header.cat")));
  EXPECT_EQ(headerCat, (std::vector<std::string>{par[0], "1", ""}));

  // The site keeps its header and results.
  EXPECT_EQ(site->Header.FullPath, fullPath);
  EXPECT_EQ(site->Header.FileName, fileName);
  EXPECT_TRUE(site->Plots == plots);
}

TEST_F(ExportSmsTest, HandSiteCatalogueAndAzimuthRow) {
  CanadaToRussianMode = 0;
  auto site = HandSite(3);
  CaptureLog([&] { ExportSms(Dir.File("p.sms"), *site); });
  EXPECT_EQ(CrLfLines(ReadFile(Dir.File("p.cat")))[0], "HAND.MT1         0         0    313  37 127  1  3");
  EXPECT_EQ(CrLfLines(ReadFile(Dir.File("Header.cat")))[0], "Project: ONE; Client: ; Job: J77");
  const std::string sms = ReadFile(Dir.File("p.sms"));
  ASSERT_EQ(sms.size(), 3u * 9 * 4);
  // Value 1 by row: StationY, AzimuthEx, StationNumber; only the Ex azimuth is filled.
  EXPECT_EQ(SingleAt(sms, 0), 0.0f);
  EXPECT_EQ(SingleAt(sms, 9), 37.0f);
  EXPECT_EQ(SingleAt(sms, 18), 0.0f);
  EXPECT_EQ(SingleAt(sms, 18 + 3), 32.0f);  // row 3, xy amplitude
  const std::string dms = ReadFile(Dir.File("p.dms"));
  EXPECT_EQ(SingleAt(dms, 18 + 3), 0.5f);  // its error
  EXPECT_EQ(SingleAt(dms, 18 + 4), 2.0f);
  // Three periods: the one period line is not ended.
  EXPECT_EQ(CrLfLines(ReadFile(Dir.File("p.par"))).back(), "       0.001000       0.002000       0.003000");

  // Two exports into one folder: Header.cat is the later one's.
  auto other = HandSite(2, "TWO");
  CaptureLog([&] { ExportSms(Dir.File("q.sms"), *other); });
  EXPECT_EQ(CrLfLines(ReadFile(Dir.File("Header.cat")))[0], "Project: TWO; Client: ; Job: J77");
}

TEST_F(ExportSmsTest, GridOrderOfSeveralStations) {
  TEkrDataObject grid;
  grid.SetDimensions(3, 5);
  for (int s = 1; s <= 3; ++s) {
    grid.StationY[s] = 100.0f + s;
    grid.AzimuthEx[s] = 200.0f + s;
    grid.StationNumber[s] = 300.0f + s;
    grid.AzimuthEy[s] = 400.0f + s;
    for (int f = 1; f <= 5; ++f)
      for (int v = 2; v <= 9; ++v) grid.Values[v][s][f] = static_cast<float>(f * 100 + v * 10 + s);
  }
  const std::string bytes = grid.GridFileBytes();
  ASSERT_EQ(bytes.size(), 3u * 5 * 9 * 4);
  const float firstColumn[5] = {100, 200, 300, 400, 300};
  for (int f = 1; f <= 5; ++f)
    for (int v = 1; v <= 9; ++v)
      for (int s = 1; s <= 3; ++s) {
        const std::size_t at = (static_cast<std::size_t>(f - 1) * 9 + (v - 1)) * 3 + (s - 1);
        const float want = v == 1 ? firstColumn[f - 1] + s : static_cast<float>(f * 100 + v * 10 + s);
        EXPECT_EQ(SingleAt(bytes, at), want) << f << " " << v << " " << s;
      }
}

TEST_F(ExportSmsTest, ZeroXyRowsAreSkippedAndTheGridReadsBack) {
  auto table = std::make_unique<TRezZTable>();
  ClearImpedanceTable(*table);
  table->FirstRow = 1;
  table->LastRow = table->RowCount = 5;
  for (int f = 1; f <= 5; ++f) {
    TRezZRow& r = table->Rows[f];
    r.Period = 0.5f * f;
    for (int j = 1; j <= 4; ++j) {
      r.Amplitude[3][j] = f == 2 || f == 4 ? (j == 2 ? 0.0f : 9.0f) : static_cast<float>(f * 10 + j);
      r.Phase[3][j] = static_cast<float>(j);
      r.AmplitudeError[3][j] = 0.5f;
      r.PhaseError[3][j] = 1.5f;
    }
  }
  TTapeLabel header;
  ClearTapeLabel(header);
  header.Survey.Project = "Проект";
  header.Station = "77";
  header.Point.SiteDesc = "ЮГ-1";
  header.ChannelAzimuth[1] = 12;

  TEkrDataObject grid;
  grid.LoadFromTotalRezZ(header, *table, true);
  ASSERT_EQ(grid.PeriodCount, 3);
  EXPECT_EQ(grid.Periods[1], 0.5f);
  EXPECT_EQ(grid.Periods[2], 1.5f);
  EXPECT_EQ(grid.Periods[3], 2.5f);
  EXPECT_EQ(grid.Values[4][1][2], 32.0f);
  EXPECT_EQ(grid.Titles[2].str(), "Stn Number:  № 77; Site Desc: ЮГ-1");
  grid.SaveToFile(Dir.File("g.sms"));
  // The parameter file is written in code page 1251.
  const std::string par = ReadFile(Dir.File("g.par"));
  EXPECT_NE(par.find(Utf8ToCp1251("Project: Проект")), std::string::npos);

  TEkrDataObject back;
  back.LoadFromFile(Dir.File("g.sms"));
  EXPECT_EQ(back.FileName, Dir.File("g.sms"));
  EXPECT_EQ(back.Titles[1].str(), "Project: Проект; Client: ; Job: ");
  EXPECT_EQ(back.Titles[2].str(), grid.Titles[2].str());
  EXPECT_EQ(back.StationCount, 1);
  EXPECT_EQ(back.PeriodCount, 3);
  EXPECT_EQ(back.Params[2], 1);
  EXPECT_EQ(back.Periods[3], 2.5f);
  EXPECT_EQ(back.AzimuthEx[1], 12.0f);
  for (int v = 2; v <= 9; ++v)
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(back.Values[v][1][k], grid.Values[v][1][k]);
  ASSERT_EQ(back.ValueNames().Count(), 4);
  EXPECT_EQ(back.ValueNames()[0], "Zxx");
  EXPECT_EQ(back.ValueNames()[3], "Zyy");

  grid.LoadFromTotalRezZ(header, *table, false);
  grid.SaveToFile(Dir.File("g.dms"));
  back.LoadFromFile(Dir.File("g.dms"));
  EXPECT_EQ(back.ValueNames().Count(), 0);
  EXPECT_EQ(back.Values[2][1][1], 0.5f);

  // Back into a table: all three variants, and the site description from the file name.
  auto copy = std::make_unique<TRezZTable>();
  ClearImpedanceTable(*copy);
  TTapeLabel h2;
  back.SaveToTotalRezZ(h2, *copy, false);
  EXPECT_EQ(copy->RowCount, 3);
  EXPECT_EQ(copy->Rows[2].AmplitudeError[1][3], 0.5f);
  EXPECT_EQ(copy->Rows[2].PhaseError[2][3], 1.5f);
  EXPECT_EQ(copy->Rows[3].Period, 2.5f);
  EXPECT_EQ(h2.Point.SiteDesc.str(), "g");

  // The readable text.
  grid.LoadFromTotalRezZ(header, *table, true);
  grid.StationNumber[1] = 7;
  grid.SaveToTextFile(Dir.File("g.sms"));
  auto aaa = CrLfLines(Cp1251ToUtf8(ReadFile(Dir.File("g.aaa"))));
  ASSERT_EQ(aaa.size(), 5u);
  EXPECT_EQ(aaa[0], "МТЗ=    7 Y=   0.00 AEx=   12.0 AEy=    0.0");
  EXPECT_EQ(aaa[1], " 0.71  11.00   1.00  12.00   2.00  13.00   3.00  14.00   4.00");
}

TEST_F(ExportSmsTest, BrokenGridFilesAreRefused) {
  TEkrDataObject grid;
  std::ofstream(Dir.File("a.par"), std::ios::binary) << "t1\r\nt2\r\nt3\r\n 0 1 0 0 0 0\r\n 0 0 1 2\r\n 1.0 2.0";
  std::ofstream(Dir.File("a.sms"), std::ios::binary) << std::string(2 * 9 * 4 - 1, '\0');
  EXPECT_THROW(grid.LoadFromFile(Dir.File("a.sms")), EReadError);
  std::ofstream(Dir.File("b.par"), std::ios::binary) << "t1\r\nt2\r\nt3\r\n 0 1 0 0 0 0\r\n 0 0 1 200\r\n";
  std::ofstream(Dir.File("b.sms"), std::ios::binary) << "";
  EXPECT_THROW(grid.LoadFromFile(Dir.File("b.sms")), ERangeError);
  std::ofstream(Dir.File("c.par"), std::ios::binary) << "t1\r\nt2\r\nt3\r\n 0 x\r\n";
  std::ofstream(Dir.File("c.sms"), std::ios::binary) << "";
  EXPECT_THROW(grid.LoadFromFile(Dir.File("c.sms")), EConvertError);
  EXPECT_THROW(grid.LoadFromFile(Dir.File("none.sms")), EInOutError);
  EXPECT_EQ(grid.PeriodCount, 0);
}

TEST_F(ExportSmsTest, FailuresLeaveNoFilesAndTheSiteUnchanged) {
  // No impedance values.
  auto site = HandSite(4);
  for (int f = 1; f <= 4; ++f) site->Plots[f][1] = 0;
  EXPECT_THROW(CaptureLog([&] { ExportSms(Dir.File("a.sms"), *site); }), Exception);
  auto empty = std::make_unique<TMTFile>();
  EXPECT_THROW(ExportSms(Dir.File("a.sms"), *empty), Exception);

  // More periods than the grid holds.
  auto big = HandSite(129);
  try {
    CaptureLog([&] { ExportSms(Dir.File("a.sms"), *big); });
    ADD_FAILURE() << "129 periods exported";
  } catch (const ERangeError& e) {
    EXPECT_NE(e.Message().find("128"), std::string::npos) << e.Message();
  }
  auto most = HandSite(128);
  CaptureLog([&] { ExportSms(Dir.File("b.sms"), *most); });
  EXPECT_EQ(ReadFile(Dir.File("b.sms")).size(), 128u * 9 * 4);

  // A folder that cannot be written.
  TTempDir clean;
  auto good = HandSite(4);
  EXPECT_THROW(CaptureLog([&] { ExportSms(clean.File("no/folder/a.sms"), *good); }), EInOutError);
  EXPECT_THROW(WriteCatalogueFiles(clean.File("no/folder/a.sms"), good->Header, 4), EInOutError);
  EXPECT_TRUE(FolderEntries(clean.File("")).empty());
  EXPECT_EQ(good->Header.FullPath, "");
  EXPECT_EQ(good->Header.Survey.Project, "");
}

// The ".cat" line read by its columns, as a profile program reads it: name 8, two blanks,
// x 8, a blank, y 9, altitude 7, azimuths Ex and Ey 4 each, the line count 3, frequencies 3.
TEST_F(ExportSmsTest, CatalogueColumnsHoldWhateverTheFileName) {
  struct Case {
    const char* fileName;  // UTF-8
    const char* field;     // the name field in code page 1251
  } cases[] = {
      {"HAND.MT1", "HAND.MT1"},
      {"A1.MT1", "  A1.MT1"},
      {"LONGSITENAME_0001.MT1", "LONGSITE"},
      {"SITE01.MT1", "SITE01.M"},
      {"\u041F\u0420\u041E\u0424\u0418\u041B\u042C7.MT1",
       "\xCF\xD0\xCE\xD4\xC8\xCB\xDC"
       "7"},
      {"", "        "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fileName);
    auto site = HandSite(3);
    site->Header.FileName = c.fileName;
    CaptureLog([&] { ExportSms(Dir.File("p.sms"), *site); });
    const auto lines = CrLfLines(ReadFile(Dir.File("p.cat")));
    ASSERT_EQ(lines.size(), 2u);
    const std::string& l = lines[0];
    ASSERT_EQ(l.size(), 49u);
    EXPECT_EQ(l.substr(0, 8), c.field);
    EXPECT_EQ(l.substr(8, 2), "  ");
    EXPECT_EQ(std::stod(l.substr(10, 8)), 0);
    EXPECT_EQ(std::stod(l.substr(19, 9)), 0);
    EXPECT_EQ(std::stod(l.substr(28, 7)), 313);  // the elevation 312.6 of the block
    EXPECT_EQ(std::stod(l.substr(35, 4)), 37);
    EXPECT_EQ(std::stod(l.substr(39, 4)), 127);
    EXPECT_EQ(std::stoi(l.substr(43, 3)), 1);
    EXPECT_EQ(std::stoi(l.substr(46, 3)), site->FreqCount);
  }
}
