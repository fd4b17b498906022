// The EDI and PLT writer: head and measurement lines, value blocks, the spectra section, and
// exports that read back through the reader.
#include <gtest/gtest.h>

#include "edi_test_util.h"
#include "mtdata/edi_writer.h"
#include "mtdata/info_block.h"
#include "mtdata/site_file.h"
#include "sitefile_fixture.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
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
  const std::pair<int, const char*> info[] = {{8, "DATE: 2020/05/14 20May24"},
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
  for (const char* expected :
       {"    DATAID=\"SITE01A45\"", "    ACQBY=\"Crew\"", "    ACQDATE=05/14/20", "    FILEDATE=01/02/03",
        "    LAT=61:30:12.34", "    LONG=-33:15:00.00", "    ELEV=125", "    EMPTY=1.0E+32 ", "    REFLAT=61:30:12.34",
        // Without a '-' after position 6 the site number is the digits from position 7.
        ">EMEAS ID=454.045 CHTYPE=EX X=-50.0 Y=0.0 X2=50.0 Y2=0.0 ACQCHAN=CH4",
        ">EMEAS ID=455.045 CHTYPE=EY X=0.0 Y=-50.0 X2=0.0 Y2=50.0 ACQCHAN=CH5",
        ">HMEAS ID=451.045 CHTYPE=HX X=8.5 Y=8.5 AZM=0 ACQCHAN=CH1",
        ">HMEAS ID=456.045 CHTYPE=HX X=21.2 Y=44978.8 AZM=0 ACQCHAN=CH6", "HX=451.045", "HY=452.045", "HZ=453.045",
        "EX=454.045", "EY=455.045", "RX=456.045", "RY=457.045"})
    EXPECT_GE(IndexOf(lines, expected), 0) << expected;
  EXPECT_EQ(CountPrefix(lines, "    COUNTRY="), 0);
  EXPECT_EQ(lines.back(), ">END");
  EXPECT_EQ(CountPrefix(lines, ">=SPECTRASECT"), 0);
  // Information rows: 4 blanks, line i, 3 blanks, line 30 + i.
  EXPECT_EQ(lines[static_cast<std::size_t>(IndexOf(lines, ">INFO") + 2 + 4)],
            std::string(36, ' ') + "   Elevation: 125.4" + std::string(16, ' '));
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
  EXPECT_EQ(lines[static_cast<std::size_t>(IndexOf(lines, ">RHOXY ROT=RHOROT // 38") + 1)].substr(0, 22),
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
  const int second = IndexOf(lines, ">SPECTRA  FREQ=5.000E+02 ROTSPEC=0 BW=1.6500E+02 AVGT=1.0000E-04 // 49");
  ASSERT_GE(second, 0);
  // Row 1 starts with the Hx auto-power (slot 3) divided by the weight 0.0001.
  EXPECT_EQ(lines[static_cast<std::size_t>(second + 1)].substr(0, 11), "  3.300E+05");

  // Every estimate as its own segment: all frequencies, the stack left as it was.
  const TMatrix7 stack = site->StackedMatrix[1];
  lines = SplitLines(Export(*site, 3, dir));
  EXPECT_GE(IndexOf(lines, "   MAXBLKS=20"), 0);
  EXPECT_EQ(CountPrefix(lines, ">=SPECTRASECT"), 1);
  EXPECT_EQ(CountPrefix(lines, ">SPECTRA "), 20);
  EXPECT_NE(lines[static_cast<std::size_t>(IndexOf(lines, "> //****INDIVIDUAL SPECTRA FOR EDITING****//") + 1)], "");
  EXPECT_EQ(site->StackedMatrix[1], stack);
  EXPECT_EQ(site->StackedMatrix[3], TMatrix7{});
}

// An information block written by another program may hold text where numbers belong: the
// elevation is left out and a channel whose azimuth or dipole length is no number is written
// with its standard layout, each with a log line; the export is written whole and reads back.
TEST(EdiWriter, InformationBlockTextThatIsNoNumberIsExportedAsMissing) {
  TTempDir dir;
  auto site = HandSite(2);
  SetInfoLine(site->InfoLines[35], "Elevation: 5a']");
  SetInfoLine(site->InfoLines[44], "Ex 4 1O0m 0 z");  // dipole length
  SetInfoLine(site->InfoLines[47], "Hy 2 0 east z");  // azimuth
  for (int mode : {1, 2}) {
    SCOPED_TRACE(mode);
    std::string text;
    const std::string log = CaptureLog([&] { text = Export(*site, mode, dir); });
    EXPECT_NE(log.find("the elevation '5a']' of the information block is no number: it is written as missing"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("'Ex 4 1O0m 0 z' of the information block has no number for its dipole length"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("'Hy 2 0 east z' of the information block has no number for its azimuth"), std::string::npos)
        << log;
    const auto lines = SplitLines(text);
    EXPECT_EQ(CountPrefix(lines, "    ELEV="), 0);
    EXPECT_EQ(CountPrefix(lines, "    REFELEV="), 0);
    EXPECT_GE(IndexOf(lines, ">EMEAS ID=454.045 CHTYPE=EX X=-50.0 Y=0.0 X2=50.0 Y2=0.0"), 0);
    EXPECT_GE(IndexOf(lines, ">HMEAS ID=452.045 CHTYPE=HY X=-8.5 Y=8.5 AZM=90"), 0);
    EXPECT_EQ(lines.back(), ">END");
    auto back = std::make_unique<TEdiFileObject>();
    CaptureLog([&] { back->LoadFromFile(dir.File(mode == 2 ? "out.plt" : "out.edi")); });
    EXPECT_EQ(back->ImpedanceTable.RowCount, 2);
  }
}

// A remote-E site whose information block defines no channel and no identifier: its remote
// channels are declared electric, and the file names the site.
TEST(EdiWriter, RemoteElectricSiteWithoutChannelLines) {
  TTempDir dir;
  auto site = HandSite(2);
  for (int line : {32, 44, 45, 46, 47, 48, 49, 50}) SetInfoLine(site->InfoLines[line], "");
  site->ReferenceType = frtRemoteE;
  site->FileName = "/data/R17.edi";
  for (int mode : {1, 2}) {
    SCOPED_TRACE(mode);
    const auto lines = SplitLines(Export(*site, mode, dir));
    EXPECT_GE(IndexOf(lines, "    DATAID=\"R17\""), 0);
    EXPECT_EQ(CountPrefix(lines, ">HMEAS ID=6.000"), 0);
    EXPECT_EQ(CountPrefix(lines, ">EMEAS ID=6.000 CHTYPE=EX X=-50.0 Y=45000.0 X2=50.0 Y2=45000.0"), 1);
    EXPECT_EQ(CountPrefix(lines, ">EMEAS ID=7.000 CHTYPE=EY X=0.0 Y=44950.0 X2=0.0 Y2=45050.0"), 1);
  }
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

// ---------------------------------------------------------------------------------------------
// Reading the written files as another program would, from the format's description alone:
// a line beginning with '>' opens a keyword with options KEY=VALUE; the values of a data block
// follow it up to the next keyword; plain KEY=VALUE lines belong to the section they are in.

struct TEdiMeas {
  std::string Kind;  // "HMEAS" or "EMEAS"
  std::map<std::string, std::string> Options;
  double Number(const std::string& Key) const { return std::stod(Options.at(Key)); }
};

struct TEdiText {
  std::map<std::string, std::string> Head;      // HEAD and DEFINEMEAS settings
  std::map<std::string, TEdiMeas> Meas;         // by ID
  std::map<std::string, std::string> Defaults;  // HX= .. RY= of the MT section
  std::vector<std::string> SpectraIds;
  std::map<std::string, std::vector<double>> Blocks;  // MT section blocks by keyword
  std::vector<std::vector<double>> Spectra;           // values of each SPECTRA block
  int MeasLines = 0;
};

std::vector<std::string> Words(const std::string& Line) {
  std::istringstream in(Line);
  std::vector<std::string> w;
  for (std::string t; in >> t;) w.push_back(t);
  return w;
}

TEdiText ReadEdiText(const std::string& Text) {
  TEdiText e;
  std::string section, keyword;
  std::vector<double>* values = nullptr;
  for (const std::string& line : SplitLines(Text)) {
    const auto w = Words(line);
    if (w.empty()) continue;
    if (w[0][0] == '>') {
      keyword = w[0].substr(1);
      values = nullptr;
      if (keyword.rfind("!", 0) == 0) continue;  // a comment
      if (keyword == "HEAD" || keyword == "INFO" || keyword[0] == '=') {
        section = keyword;
        continue;
      }
      if (keyword == "HMEAS" || keyword == "EMEAS") {
        TEdiMeas m{keyword, {}};
        for (const auto& t : w)
          if (auto eq = t.find('='); eq != std::string::npos) m.Options[t.substr(0, eq)] = t.substr(eq + 1);
        e.Meas[m.Options.at("ID")] = m;
        ++e.MeasLines;
      } else if (keyword == "SPECTRA") {
        e.Spectra.emplace_back();
        values = &e.Spectra.back();
      } else if (section == "=MTSECT") {
        values = &e.Blocks[keyword];
      }
      continue;
    }
    if (values) {
      for (const auto& t : w) values->push_back(std::stod(t));
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string::npos) {
      if (section == "=SPECTRASECT" && w[0] != "//") e.SpectraIds.push_back(w[0]);
      continue;
    }
    const std::string key = Trim(line.substr(0, eq)), value = Trim(line.substr(eq + 1));
    if (section == "=MTSECT")
      e.Defaults[key] = value;
    else
      e.Head[key] = value;
  }
  return e;
}

// A generated site whose information block holds no date, coordinates or channel lines, with
// the channel order of the recording system (not 1..7) and a long file name.
std::unique_ptr<TMTFile> SparseSite(const TTempDir& Dir, int Estimates = 6) {
  TMtGenModel model;
  model.Layers = {{100, 500}, {10, 0}};
  model.WithTipper = true;
  model.ReferenceType = frtRemoteH;
  model.EstimateCount = Estimates;
  model.OutliersPerFrequency = 0;
  const std::string path = Dir.File("longsitename_of_a_survey_0001.mt1");
  MtGenWrite(model, path);
  auto site = sitefile_test::OpenSite(path);
  for (int l : {8, 34, 35, 44, 45, 46, 47, 48, 49, 50}) SetInfoLine(site->InfoLines[l], "");
  SetInfoLine(site->InfoLines[32], "DATA ID:   S-123");
  return site;
}

bool IdentityOrder(const TChannelOrder& Order) {
  for (int c = 1; c <= MaxChannel; ++c)
    if (Order[c] != c) return false;
  return true;
}

// Every ID the file lists names a measurement of the component it stands for, in the EDI
// (spectra) and the PLT (MT section) file alike.
TEST(EdiWriterReadBack, ListedIdsNameTheirOwnMeasurements) {
  TTempDir dir;
  struct Expect {
    const char* key;
    const char* kind;
    const char* type;
    bool remote;
    int logical;
  };
  static const Expect expects[] = {{"HX", "HMEAS", "HX", false, chHx}, {"HY", "HMEAS", "HY", false, chHy},
                                   {"HZ", "HMEAS", "HZ", false, chHz}, {"EX", "EMEAS", "EX", false, chEx},
                                   {"EY", "EMEAS", "EY", false, chEy}, {"RX", "HMEAS", "HX", true, chRx},
                                   {"RY", "HMEAS", "HY", true, chRy}};
  struct Case {
    const char* name;
    std::function<std::unique_ptr<TMTFile>()> site;
    bool sparse;
  } cases[] = {
      {"recording order, sparse block", [&] { return SparseSite(dir); }, true},
      {"five channels",
       [&] {
         auto s = SparseSite(dir);
         s->ChannelCount = 5;
         return s;
       },
       true},
      {"order 1..7, full block", [] { return HandSite(6); }, false},
  };
  EdiFileDateText = FixedDate;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto site = c.site();
    EXPECT_EQ(IdentityOrder(site->ChannelOrder), !c.sparse);
    EXPECT_EQ(IdentityOrder(site->StoredChannelOrder), !c.sparse);
    const int n = site->ChannelCount;
    ExportEdi(dir.File("x.plt"), *site, 2);
    ExportEdi(dir.File("x.edi"), *site, 1);
    const TEdiText plt = ReadEdiText(ReadText(dir.File("x.plt")));
    const TEdiText edi = ReadEdiText(ReadText(dir.File("x.edi")));

    for (const TEdiText* e : {&plt, &edi}) {
      EXPECT_EQ(e->MeasLines, n);
      EXPECT_EQ(e->Head.at("MAXMEAS"), IntToStr(n));
      // A date or position that is not known is left out, never written empty.
      for (const char* key : {"ACQDATE", "LAT", "LONG", "REFLAT", "REFLONG"}) {
        if (e->Head.count(key)) {
          EXPECT_NE(e->Head.at(key).find_first_of("123456789"), std::string::npos) << key;
        }
      }
      EXPECT_EQ(e->Head.count("ACQDATE"), c.sparse ? 0u : 1u);
    }
    if (!c.sparse) {
      EXPECT_EQ(plt.Head.at("ACQDATE"), "05/14/20");
    }

    // The MT section's dynamic defaults: one key per channel of the site.
    int keys = 0;
    for (const char* key : {"HX", "HY", "HZ", "EX", "EY", "RX", "RY"}) keys += plt.Defaults.count(key);
    EXPECT_EQ(keys, n);
    ASSERT_EQ(edi.SpectraIds.size(), static_cast<std::size_t>(n));
    ASSERT_FALSE(edi.Spectra.empty());
    int f1 = 1;
    while (site->StackedMatrix[f1][1][1] == 0) ++f1;
    const double w = site->WeightSum1[f1];
    for (int k = 0; k < n; ++k) {
      const Expect& x = expects[k];
      SCOPED_TRACE(x.key);
      ASSERT_EQ(plt.Defaults.count(x.key), 1u);
      const std::string id = plt.Defaults.at(x.key);
      ASSERT_EQ(plt.Meas.count(id), 1u) << id;
      const TEdiMeas& m = plt.Meas.at(id);
      EXPECT_EQ(m.Kind, x.kind);
      EXPECT_EQ(m.Options.at("CHTYPE"), x.type);
      EXPECT_EQ(m.Number("Y") > 40000, x.remote);
      if (c.sparse) {
        // The default layout: x and Hz north, y east, dipoles along their axis.
        if (m.Kind == "HMEAS") {
          EXPECT_EQ(m.Number("AZM"), x.type[1] == 'Y' ? 90 : 0);
        } else {
          const double dx = m.Number("X2") - m.Number("X"), dy = m.Number("Y2") - m.Number("Y");
          EXPECT_GT(x.type[1] == 'X' ? dx : dy, 0);
          EXPECT_EQ(x.type[1] == 'X' ? dy : dx, 0);
        }
      }
      // The spectra section lists the same ID where that channel's auto-power stands.
      const auto at = std::find(edi.SpectraIds.begin(), edi.SpectraIds.end(), id);
      ASSERT_NE(at, edi.SpectraIds.end());
      const std::size_t i = static_cast<std::size_t>(at - edi.SpectraIds.begin());
      const int slot = site->ChannelOrder[x.logical];
      const double autoPower = site->StackedMatrix[f1][slot][slot] / w;
      EXPECT_NEAR(edi.Spectra[0][i * static_cast<std::size_t>(n) + i], autoPower, 1e-3 * std::fabs(autoPower));
    }
    for (const char* key : {"HX", "HY", "HZ", "EX", "EY", "RX", "RY"}) {
      if (plt.Defaults.count(key)) {
        EXPECT_TRUE(plt.Meas.count(plt.Defaults.at(key))) << key;
      }
    }
  }
}

// The error blocks hold what the standard means: the variance of each impedance element in
// (mV/km/nT)^2 and the error of rho in ohm-m. References from the written values themselves:
// var(log10 |Z|) = var(Z) / (|Z| ln 10)^2, and rho = 0.2 |Z|^2 / f gives d rho / rho =
// sqrt(2) sigma(Z) / |Z| for the complex variance split evenly over modulus and phase.
TEST(EdiWriterReadBack, ErrorBlocksInTheStandardsUnits) {
  TTempDir dir;
  auto site = SparseSite(dir, 8);
  EdiFileDateText = FixedDate;
  const std::string path = dir.File("errors.plt");
  ExportEdi(path, *site, 2);
  const TEdiText plt = ReadEdiText(ReadText(path));
  const auto rows = EdiValidRows(*site);
  ASSERT_GT(rows.size(), 20u);
  const double ln10 = std::log(10.0);
  struct Element {
    const char* name;
    int logVariance;
  } elements[] = {{"XX", pcZxxVARRot}, {"XY", pcZxyVARRot}, {"YX", pcZyxVARRot}, {"YY", pcZyyVARRot}};
  for (const Element& el : elements) {
    SCOPED_TRACE(el.name);
    const std::string z = std::string("Z") + el.name;
    const auto& re = plt.Blocks.at(z + "R");
    const auto& im = plt.Blocks.at(z + "I");
    const auto& var = plt.Blocks.at(z + ".VAR");
    ASSERT_EQ(var.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const double m2 = re[i] * re[i] + im[i] * im[i];
      const double expected = site->Plots[rows[i]][el.logVariance] * m2 * ln10 * ln10;
      EXPECT_NEAR(var[i], expected, 3e-3 * expected) << rows[i];
    }
  }
  struct Rho {
    const char* name;
    const char* z;
  } rhos[] = {{"RHOXY", "ZXY"}, {"RHOYX", "ZYX"}};
  for (const Rho& r : rhos) {
    SCOPED_TRACE(r.name);
    const auto& rho = plt.Blocks.at(r.name);
    const auto& err = plt.Blocks.at(std::string(r.name) + ".ERR");
    const auto& re = plt.Blocks.at(std::string(r.z) + "R");
    const auto& im = plt.Blocks.at(std::string(r.z) + "I");
    const auto& var = plt.Blocks.at(std::string(r.z) + ".VAR");
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const double expected = std::sqrt(2.0) * rho[i] * std::sqrt(var[i]) / std::hypot(re[i], im[i]);
      EXPECT_NEAR(err[i], expected, 3e-3 * expected) << rows[i];
      // An error of rho, in ohm-m: a few percent of it for this noise, not a log variance.
      EXPECT_GT(err[i], 1e-3 * rho[i]);
      EXPECT_LT(err[i], rho[i]);
    }
  }

  // The project's reader takes the variances back into the log-variance columns.
  auto image = std::make_unique<TEdiFileObject>();
  CaptureLog([&] { image->LoadFromFile(path); });
  for (std::size_t i = 0; i < rows.size(); ++i)
    for (int p : {pcZxyVARRot, pcZyxVARRot}) {
      const double original = site->Plots[rows[i]][p];
      EXPECT_NEAR(image->Plots[static_cast<int>(i) + 1][p], original, 3e-3 * original);
    }
}

}  // namespace
