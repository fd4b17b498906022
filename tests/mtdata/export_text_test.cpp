// The text exports of the computed parameters: column layouts and number formats of ".mtg",
// ".mtd", ".pt1" and ".csv", on a generated site and on small hand-made ones, and exports that
// fail without leaving a file.
#include <gtest/gtest.h>

#include <cmath>

#include "export_fixture.h"
#include "mtdata/export_text.h"
#include "mtdata/mt_params.h"
#include "mtdata/site_file.h"
#include "platform/logdevice.h"
#include "platform/sysutils.h"

using namespace export_test;

namespace {

// A site of F frequencies: f = 1000 / i Hz, parameter p of row i = i + p / 1000.
std::unique_ptr<TMTFile> HandSite(int F) {
  auto s = std::make_unique<TMTFile>();
  s->FreqCount = F;
  for (int f = 1; f <= F; ++f) {
    for (int p = 1; p <= MaxParam; ++p) s->Plots[f][p] = f + p / 1000.0;
    s->Plots[f][99] = 1000.0 / f;
    s->Frequencies[f] = 1000.0 / f;
    s->WeightSum2[f] = 10 * f;
  }
  return s;
}

std::vector<std::string> Fields(const std::string& Line, char D) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  for (std::size_t e; (e = Line.find(D, pos)) != std::string::npos; pos = e + 1)
    out.push_back(Line.substr(pos, e - pos));
  out.push_back(Line.substr(pos));
  return out;
}

// Rows of Site with a positive frequency.
std::vector<int> FrequencyRows(const TMTFile& Site) {
  std::vector<int> rows;
  for (int f = 1; f <= Site.FreqCount; ++f)
    if (Site.Plots[f][99] > 0) rows.push_back(f);
  return rows;
}

}  // namespace

class ExportText : public ::testing::Test {
protected:
  TOptionsGuard Options;
  TTempDir Dir;
};

TEST_F(ExportText, GeneratedSiteWritesEveryLayout) {
  TMtGenModel model;
  model.WithTipper = true;
  auto site = GeneratedSite(Dir, model);
  const std::vector<int> rows = FrequencyRows(*site);
  ASSERT_EQ(rows.size(), 40u);
  const auto& P = site->Plots;
  const std::string target = Dir.File("out.any");

  ExportMtg(target, *site);
  auto mtg = CrLfLines(ReadFile(Dir.File("out.mtg")));
  ASSERT_EQ(mtg.size(), rows.size() + 1);
  EXPECT_EQ(mtg.back(), "");
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int f = rows[i];
    EXPECT_EQ(mtg[i], Format("%12.5f%12.2f%12.2f%9.2f%9.2f", {P[f][99], P[f][1], P[f][2], P[f][3], P[f][4] + 180}));
  }

  ExportMtd(target, *site);
  for (int i : {1, 2}) {
    auto mtd = CrLfLines(ReadFile(Dir.File(i == 1 ? "outx.mtd" : "outy.mtd")));
    ASSERT_EQ(mtd.size(), rows.size() + 1);
    const int f = rows[3];
    const double rhoErr = std::min(100 * (std::pow(10.0, std::sqrt(std::fabs(P[f][36 + i]))) - 1), 99.9);
    const double phErr = std::min(std::sqrt(std::fabs(P[f][38 + i])), 99.9);
    EXPECT_EQ(mtd[3], Format("%12.5f%12.2f%12.2f%9.2f%9.2f", {P[f][99], P[f][i], P[f][i + 2], rhoErr, phErr}));
  }

  CsvDelimiterIndex = 1;
  ExportCsv(target, *site);
  auto csv = CrLfLines(ReadFile(Dir.File("out.csv")));
  ASSERT_EQ(csv.size(), rows.size() + 3);
  auto names = Fields(csv[0], ';'), numbers = Fields(csv[1], ';'), first = Fields(csv[2], ';');
  ASSERT_EQ(names.size(), 136u);  // 135 fields, each followed by ';'
  ASSERT_EQ(numbers.size(), 136u);
  ASSERT_EQ(first.size(), 136u);
  EXPECT_EQ(names[0], "f(hz)");
  EXPECT_EQ(names[1], ParameterNames[1]);
  EXPECT_EQ(numbers[0], "99");
  EXPECT_EQ(numbers[98], "98");
  EXPECT_EQ(numbers[99], "100");
  EXPECT_EQ(first[135], "");
  EXPECT_EQ(first[0], Format("%12.6f", {P[rows[0]][99]}));
  EXPECT_EQ(first[1], FormatFloat("0.00000E+00", P[rows[0]][1]));
  EXPECT_EQ(first[99], FormatFloat("0.00000E+00", P[rows[0]][100]));

  ExportPt1(target, *site);
  auto pt1 = CrLfLines(ReadFile(Dir.File("out.pt1")));
  ASSERT_EQ(pt1.size(), 1 + 5 + 1 + 5 + 60 * 6 + 1u);
  EXPECT_EQ(pt1[0], "STACKS:");
  EXPECT_EQ(pt1[1].substr(0, 9), " " + Format("%8.0f", {site->WeightSum2[1]}));
  EXPECT_EQ(pt1[6], "FREQS:");
  EXPECT_EQ(pt1[12], "PARAMETER# 1 - " + std::string(ParameterNames[1]));
  EXPECT_EQ(pt1[12 + 59 * 6], "PARAMETER# 60 - " + std::string(ParameterNames[60]));
  for (int line : {1, 7, 13}) EXPECT_EQ(pt1[line].size(), 8 * (line == 13 ? 15u : 9u)) << line;
  const double v = P[1][1];
  EXPECT_EQ(pt1[13].substr(0, 15),
            std::string(" ") + (v >= 0 ? "+" : "-") + FormatFloat("0.0000000E+00", std::fabs(v)));
}

TEST_F(ExportText, Pt1DealsTheFrequenciesOverFiveLines) {
  struct Case {
    int F;
    std::vector<std::size_t> PerLine;
  };
  for (const Case& c :
       {Case{40, {8, 8, 8, 8, 8}}, Case{42, {9, 9, 9, 9, 6}}, Case{3, {1, 1, 1, 0, 0}}, Case{1, {1, 0, 0, 0, 0}}}) {
    auto site = HandSite(c.F);
    auto lines = CrLfLines(Pt1LayoutText(*site));
    for (int section : {0, 6, 12, 12 + 59 * 6}) {
      for (int i = 0; i < 5; ++i) {
        const std::size_t width = section >= 12 ? 15 : 9;
        EXPECT_EQ(lines[section + 1 + i].size(), c.PerLine[i] * width)
            << c.F << " frequencies, section line " << section << ", line " << i + 1;
      }
    }
  }
}

TEST_F(ExportText, Pt1EntriesKeepTheirWidth) {
  auto site = HandSite(8);
  const double freqs[] = {0.1, 2048, 12.5, 150, 25000, 150000, 2500000, 3};
  for (int f = 1; f <= 8; ++f) site->Plots[f][99] = freqs[f - 1];
  site->Plots[1][2] = -0.5;
  site->Plots[2][2] = 0;
  site->WeightSum2[1] = 24;
  auto lines = CrLfLines(Pt1LayoutText(*site));
  // Eight frequencies: two to a line.
  EXPECT_EQ(lines[1], "       24       20");
  EXPECT_EQ(lines[7], " 0.100000 2048.000");
  EXPECT_EQ(lines[8], " 12.50000 150.0000");
  EXPECT_EQ(lines[9], " 25000.00 150000.0");
  EXPECT_EQ(lines[10], "  2500000 3.000000");
  EXPECT_EQ(lines[12 + 6 + 1], " -5.0000000E-01 +0.0000000E+00");
}

TEST_F(ExportText, MtdErrorsAndMtgPhaseAndSkippedFrequencies) {
  auto site = HandSite(3);
  site->Plots[1][37] = 0.0001;  // variance of log10 Rhoxy
  site->Plots[1][38] = -4;      // of log10 Rhoyx: its size counts
  site->Plots[1][39] = 4;       // phase variance xy
  site->Plots[1][40] = 1e6;     // phase variance yx
  site->Plots[1][4] = -135;
  site->Plots[2][99] = 0;  // not computed: skipped by every layout of this kind
  const std::string target = Dir.File("site.mtd");
  ExportMtd(target, *site);
  ExportMtg(target, *site);
  auto x = CrLfLines(ReadFile(Dir.File("sitex.mtd")));
  auto y = CrLfLines(ReadFile(Dir.File("sitey.mtd")));
  auto g = CrLfLines(ReadFile(Dir.File("site.mtg")));
  ASSERT_EQ(x.size(), 3u);
  ASSERT_EQ(y.size(), 3u);
  ASSERT_EQ(g.size(), 3u);
  EXPECT_EQ(x[0].substr(36), "     2.33     2.00");
  EXPECT_EQ(y[0].substr(36), "    99.90    99.90");
  EXPECT_EQ(x[1].substr(0, 12), "   333.33333");  // row 3
  EXPECT_EQ(g[0].substr(45), "    45.00");
  EXPECT_EQ(g[0].substr(0, 12), "  1000.00000");
}

TEST_F(ExportText, CsvDelimitersAndNamesHoldingThem) {
  auto site = HandSite(2);
  CsvDelimiterIndex = 2;
  ExportCsv(Dir.File("a.txt"), *site);
  auto tab = CrLfLines(ReadFile(Dir.File("a.csv")));
  ASSERT_EQ(tab.size(), 5u);
  EXPECT_EQ(tab[0].back(), '\t');
  EXPECT_EQ(tab[2].back(), '\t');
  EXPECT_EQ(tab[2].substr(0, 13), " 1000.000000\t");

  // A name that holds the delimiter is quoted, so the header has as many columns as the rows.
  CsvDelimiterIndex = 0;
  ExportCsv(Dir.File("b.txt"), *site);
  auto comma = CrLfLines(ReadFile(Dir.File("b.csv")));
  std::size_t quoted = 0;
  std::vector<std::string> names;
  std::string field;
  bool inQuotes = false;
  for (char ch : comma[0]) {
    if (ch == '"')
      inQuotes = !inQuotes, ++quoted;
    else if (ch == ',' && !inQuotes)
      names.push_back(field), field.clear();
    else
      field += ch;
  }
  EXPECT_GT(quoted, 0u);
  EXPECT_EQ(names.size(), 135u);
  EXPECT_EQ(names[3], ParameterNames[3]);
  EXPECT_EQ(Fields(comma[2], ',').size(), 136u);
}

TEST_F(ExportText, XprPlotModes) {
  auto site = HandSite(5);
  ExportPt1(Dir.File("a.xnn"), *site);
  const std::string pt1 = ReadFile(Dir.File("a.pt1"));
  std::filesystem::remove(Dir.File("a.pt1"));
  ExportXprPlot(Dir.File("a.xnn"), *site, 1);
  EXPECT_EQ(ReadFile(Dir.File("a.pt1")), pt1);
  ExportXprPlot(Dir.File("b.xpn"), *site, 2);
  EXPECT_EQ(ReadFile(Dir.File("b.xpn")), pt1);
  EXPECT_THROW(ExportXprPlot(Dir.File("c.xpn"), *site, 3), ERangeError);
  EXPECT_EQ(FolderEntries(Dir.File("")), (std::vector<std::string>{"a.pt1", "b.xpn"}));
}

TEST_F(ExportText, FailuresLeaveNoFileAndKeepAnOldOne) {
  auto site = HandSite(4);
  const std::string missing = Dir.File("no/such/folder/site.txt");
  EXPECT_THROW(ExportMtg(missing, *site), EInOutError);
  EXPECT_THROW(ExportMtd(missing, *site), EInOutError);
  EXPECT_THROW(ExportPt1(missing, *site), EInOutError);
  EXPECT_THROW(ExportXprPlot(missing, *site, 2), EInOutError);
  EXPECT_THROW(ExportCsv(missing, *site), EInOutError);
  try {
    ExportMtg(missing, *site);
  } catch (const EInOutError& e) {
    EXPECT_NE(e.Message().find(Dir.File("no/such/folder/site.mtg")), std::string::npos) << e.Message();
  }

  // A folder where the second file of a pair goes: neither file is written.
  std::filesystem::create_directory(Dir.File("sitey.mtd"));
  EXPECT_THROW(ExportMtd(Dir.File("site.mtd"), *site), EInOutError);
  EXPECT_EQ(FolderEntries(Dir.File("")), std::vector<std::string>{"sitey.mtd"});
  std::filesystem::remove(Dir.File("sitey.mtd"));

  // Old files stay when the site has nothing to export.
  const std::string old = "old\r\n";
  for (const char* n : {"site.mtg", "sitex.mtd", "site.csv", "site.pt1"}) {
    std::ofstream(Dir.File(n), std::ios::binary) << old;
  }
  auto empty = std::make_unique<TMTFile>();
  EXPECT_THROW(ExportPt1(Dir.File("site.txt"), *empty), Exception);
  auto uncomputed = HandSite(4);
  for (int f = 1; f <= 4; ++f) uncomputed->Plots[f][99] = 0;
  EXPECT_THROW(ExportMtg(Dir.File("site.txt"), *uncomputed), Exception);
  EXPECT_THROW(ExportMtd(Dir.File("site.txt"), *uncomputed), Exception);
  EXPECT_THROW(ExportCsv(Dir.File("site.txt"), *uncomputed), Exception);
  CsvDelimiterIndex = 3;
  EXPECT_THROW(ExportCsv(Dir.File("site.txt"), *site), ERangeError);
  for (const char* n : {"site.mtg", "sitex.mtd", "site.csv", "site.pt1"}) EXPECT_EQ(ReadFile(Dir.File(n)), old) << n;
  EXPECT_EQ(FolderEntries(Dir.File("")), (std::vector<std::string>{"site.csv", "site.mtg", "site.pt1", "sitex.mtd"}));
}

// A site read from an EDI file of impedances only has no computed values: every text export
// refuses it, as the grid and ".dat" exports do, and writes nothing.
TEST_F(ExportText, SiteWithoutImpedanceValuesIsRefused) {
  const std::string edi = Dir.File("z.edi");
  std::ofstream(edi, std::ios::binary) << ">HEAD\n    DATAID=\"Z1\"\n>=MTSECT\n    NFREQ=2\n>FREQ NFREQ=2 // 2\n"
                                          "  1.0E+01  1.0E+00\n>ZXYR ROT=ZROT // 2\n  3.0 2.0\n>ZXYI ROT=ZROT // 2\n"
                                          "  4.0 1.0\n>END\n";
  auto site = std::make_unique<TMTFile>();
  {
    TLogCapture quiet;
    site->LoadFromEdi(edi);
  }
  ASSERT_EQ(site->FreqCount, 2);
  using TExport = void (*)(const std::string&, const TMTFile&);
  for (TExport e : {TExport{ExportMtg}, TExport{ExportMtd}, TExport{ExportPt1}, TExport{ExportCsv}}) {
    try {
      e(Dir.File("out.txt"), *site);
      ADD_FAILURE() << "exported";
    } catch (const Exception& x) {
      EXPECT_EQ(x.Message(), "The site has no impedance values: nothing to export");
    }
  }
  EXPECT_EQ(FolderEntries(Dir.File("")), std::vector<std::string>{"z.edi"});
}

// The resistivity error column of ".mtd" is the relative error in percent that a standard
// deviation s of log10 rho means, 100 (10^s - 1), shown up to 99.9.
TEST_F(ExportText, MtdResistivityErrorIsTheRelativeError) {
  const double variances[] = {0, 1e-6, 1e-4, 0.0016, 0.01, 0.09, 1, -0.01};
  auto site = HandSite(8);
  for (int f = 1; f <= 8; ++f) site->Plots[f][pcVarLogRhoxy] = variances[f - 1];
  ExportMtd(Dir.File("e.mtd"), *site);
  const auto x = CrLfLines(ReadFile(Dir.File("ex.mtd")));
  ASSERT_EQ(x.size(), 9u);
  for (int f = 1; f <= 8; ++f) {
    SCOPED_TRACE(variances[f - 1]);
    const std::string& l = x[static_cast<std::size_t>(f - 1)];
    ASSERT_EQ(l.size(), 54u);
    // Columns: frequency 12, rho 12, phase 12, rho error 9, phase error 9.
    const double written = std::stod(l.substr(36, 9));
    const double s = std::sqrt(std::fabs(variances[f - 1]));
    const double expected = std::min(100 * std::expm1(s * std::log(10.0)), 99.9);
    EXPECT_NEAR(written, expected, 0.005 + 1e-12);
  }
  // A tenth of a decade is 25.9 percent.
  EXPECT_EQ(x[4].substr(36, 9), "    25.89");
}
