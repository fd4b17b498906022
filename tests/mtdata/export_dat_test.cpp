// The ".dat" report: reference names and header field texts, the framed record in code page 866
// for each mode, the export of a generated site with its extra references, appending, and
// exports that fail without writing or that would leave the site switched.
#include <gtest/gtest.h>

#include <cmath>

#include "export_fixture.h"
#include "mtdata/export_dat.h"
#include "mtdata/impedance_table.h"
#include "mtdata/text_helpers.h"
#include "platform/codepage.h"
#include "platform/sysutils.h"

using namespace export_test;

namespace {

std::vector<std::string> Utf8Lines(const std::string& Cp866) { return CrLfLines(Cp866ToUtf8(Cp866)); }

// Indices of the lines that begin with Prefix.
std::vector<int> LinesStarting(const std::vector<std::string>& Lines, const std::string& Prefix) {
  std::vector<int> at;
  for (std::size_t i = 0; i < Lines.size(); ++i)
    if (Lines[i].rfind(Prefix, 0) == 0) at.push_back(static_cast<int>(i));
  return at;
}

// Text in code page 866, one byte per character, for checks by column.
std::string C(const std::string& Utf8) { return Utf8ToCp866(Utf8); }

std::size_t Chars(const std::string& Utf8) {
  std::size_t n = 0;
  for (unsigned char c : Utf8) n += (c & 0xC0) != 0x80;
  return n;
}

std::string ShortExp(double V) {
  std::string t;
  FloatToShortExp(10, t, V);
  return t;
}

// Three rows: a full one, a cleared one and one with a phase error beyond 180 degrees.
std::unique_ptr<TRezZTable> HandTable() {
  auto t = std::make_unique<TRezZTable>();
  ClearImpedanceTable(*t);
  t->FirstRow = 1;
  t->LastRow = t->RowCount = 3;
  for (int f : {1, 3}) {
    TRezZRow& r = t->Rows[f];
    r.Period = f == 1 ? 4.0f : 0.25f;
    for (int c = 1; c <= 8; ++c) {
      r.Amplitude[3][c] = 10.0f * c;
      r.AmplitudeError[3][c] = 1.0f;
      r.Phase[3][c] = 30.0f;
      r.PhaseError[3][c] = f == 3 ? 250.0f : 5.0f;
    }
    for (int v = 1; v <= 2; ++v)
      for (int c = 1; c <= 8; ++c) r.Amplitude[v][c] = r.Amplitude[3][c];
  }
  return t;
}

TTapeLabel PickHeader() {
  TTapeLabel h;
  ClearTapeLabel(h);
  h.Job = "A1234";
  h.OrigFileName = "1234514A";
  h.FileName = "SITE.MT1";
  h.ProcessedFiles = "a.b";
  h.Point.SiteDesc = "S107";
  h.Survey.Project = "VAROMARK";
  h.Station = "1234";
  h.StnNumber = "101A";
  return h;
}

}  // namespace

class ExportDat : public ::testing::Test {
protected:
  void SetUp() override {
    MtzUnits = 0;
    MtzSolutionMode = 0;
    MtzAppendMode = 0;
    CanadaToRussianMode = 2;
    RegionFieldPick = {"Project", 1, 3};
    PointFieldPick = {"Site Description", 1, 3};
    StationFieldPick = {"Station", 1, 4};
    TapeFieldPick = {"Orig FileName", 5, 4};
    MtzTapeVariant = "";
  }
  TOptionsGuard Options;
  TTempDir Dir;
};

TEST_F(ExportDat, ReferenceNamesAndHeaderFieldTexts) {
  std::string n;
  const std::tuple<int, int, const char*> refs[] = {
      {1, 1, "LE"}, {2, 1, "re"}, {3, 3, "LH"}, {4, 2, "rh"}, {2, 2, "RE"}};
  for (const auto& [r, site, want] : refs) {
    ReferenceName(r, site, n);
    EXPECT_EQ(n, want);
  }
  EXPECT_THROW(ReferenceName(0, 1, n), ERangeError);
  EXPECT_THROW(ReferenceName(5, 5, n), ERangeError);

  const TTapeLabel h = PickHeader();
  const std::tuple<const char*, int, int, const char*> fields[] = {
      {"Project", 1, 3, "VAR"},
      {"Orig FileName", 5, 4, "514A"},
      {"Site Description", 1, 3, "Sit"},  // not a field name: the text itself
      {"Station", 1, 4, "1234"},
      {"Job", 4, 10, "34"},
      {"job", 1, 3, "job"},
      {"Site Desc", 0, 2, "S1"},
      {"StnNumber", 2, 0, ""},
      {"FileName", 6, 3, "MT1"},
      {"ProcessedFiles", 1, 9, "a.b"},
      {"Проект", 2, 3, "рое"}};
  for (const auto& [name, first, count, want] : fields) {
    HeaderFieldText(h, name, first, n, count);
    EXPECT_EQ(n, want) << name;
  }
}

TEST_F(ExportDat, ImpedanceRecordInCodePage866) {
  MtzUnits = 1;
  auto table = HandTable();
  TMtzRecordHeader head;
  head.Area = "ABC";
  head.Picket = "Sit";
  head.Station = "12  ";
  head.Tape = "514A7RE";
  head.ReferenceType = 2;
  std::string report = "old";
  int written = 0;
  const std::string log = CaptureLog([&] { written = WriteMtzReport(report, head, *table, 0); });
  EXPECT_EQ(written, 2);  // the cleared row is left out
  EXPECT_EQ(log, "\nFrequences=3\nOutFrequencyes=2\nUnits=    Ом.  \n");
  ASSERT_EQ(report.substr(0, 3), "old");
  report.erase(0, 3);
  // The bytes of code page 866: letters and box-drawing pieces.
  EXPECT_EQ(report.substr(0, 13), " \x87\x80\x8F\x88\x91\x9C   1\r\n");
  const auto lines = Utf8Lines(report);
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "        РАЙОН РАБОТ-ABC ;  ПИКЕТ-   Sit;  ЦЭС-12  ;  ПОЛЕВАЯ МЛ-   514A7RE");
  EXPECT_EQ(lines[4], "        ВРЕМЯ ЗАПИСИ-991230000000 ;  КООРДИНАТЫ X, Y-    0.00     0.00");
  EXPECT_EQ(lines[5], "        АЗИМУТЫ EX, EY, HX, HY-    0.0   0.0   0.0   0.0");
  EXPECT_EQ(lines[6], "");
  const int top = 7;
  const std::string topBytes = CrLfLines(report)[top];
  EXPECT_EQ(topBytes.substr(0, 13), " \xC9" + std::string(10, '\xCD') + "\xD1");
  EXPECT_EQ(topBytes.back(), '\xBB');
  EXPECT_EQ(lines[top + 1].rfind(" ║          │       Z xx      │", 0), 0u);
  EXPECT_EQ(
      lines[top + 2], " ║ SQRT(t), ├" + [] {
        std::string s = "─────────┬───────";
        for (int c = 1; c < 5; ++c) s += "┼─────────┬───────";
        return s;
      }() + "╢");
  const auto raw = CrLfLines(report);
  EXPECT_EQ(raw[top + 4].substr(0, 31), C(" ║          │    Ом.  │ Град  │"));
  EXPECT_EQ(raw[top + 5].substr(0, 31), C(" ╟──────────┼─────────┴───────┼"));
  // Row 1: sqrt(4) = 2, component 2: (20 + 1) * 1.256 and 30 + 5; (20 - 1) * 1.256 and 30 - 5.
  EXPECT_EQ(raw[top + 6].substr(0, 12), C(" ║ 2.0000E+0"));
  EXPECT_EQ(raw[top + 6].substr(30, 18), C("│" + ShortExp(21 * 1.256) + "   35.00"));
  EXPECT_EQ(raw[top + 7].substr(0, 13), C(" ║          │"));
  EXPECT_EQ(raw[top + 7].substr(30, 18), C("│" + ShortExp(19 * 1.256) + "   25.00"));
  EXPECT_EQ(
      lines[top + 8], " ║          " + [] {
        std::string s;
        for (int c = 0; c < 5; ++c) s += "│                 ";
        return s;
      }() + "║");
  // Row 3: a phase error of 250 counts as 180.
  EXPECT_EQ(raw[top + 9].substr(42, 6), "210.00");
  EXPECT_EQ(raw[top + 10].substr(41, 7), "-150.00");
  EXPECT_EQ(lines[top + 11].rfind(" ╚═", 0), 0u);
  const std::vector<std::string> tail(lines.begin() + top + 12, lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"", " КОНЕЦ ЗАПИСИ   1", "", "", "", ""}));
  // Every line of the table has the same width.
  for (int i = top; i <= top + 11; ++i) EXPECT_EQ(raw[i].size(), 12 + 5 * 18 + 1u) << i;
}

TEST_F(ExportDat, TipperAndTensorRecords) {
  auto table = HandTable();
  TMtzRecordHeader head;
  std::string report;
  CaptureLog([&] { WriteMtzReport(report, head, *table, 1); });
  auto lines = Utf8Lines(report);
  EXPECT_EQ(lines[8], " ║          │       W zx      │       W zy      │     Tip Mag     ║");
  EXPECT_EQ(lines[11], " ║          │    Ед.  │ Град  │    Ед.  │ Град  │    Ед.  │ Град  ║");
  // Tipper modulus column of row 1: component 8, no unit factor.
  EXPECT_EQ(CrLfLines(report)[13].substr(48, 18), C("│" + ShortExp(81) + "   35.00"));

  // The tensor record: the caption by reference type, and no rows since the table holds no
  // tensor values.
  struct Case {
    int Reference;
    const char* Caption;
  };
  for (const Case& c : {Case{2, " ║          │       t xx      │"}, Case{4, " ║          │       m xx      │"},
                        Case{1, " ║ SQRT(t), ├"}, Case{3, " ║ SQRT(t), ├"}}) {
    head.ReferenceType = c.Reference;
    report.clear();
    int written = -1;
    const std::string log = CaptureLog([&] { written = WriteMtzReport(report, head, *table, 2); });
    EXPECT_EQ(written, 0);
    EXPECT_NE(log.find("OutFrequencyes=0\n"), std::string::npos);
    lines = Utf8Lines(report);
    EXPECT_EQ(lines[8].rfind(c.Caption, 0), 0u) << c.Reference;
    const int middle = c.Reference == 2 || c.Reference == 4 ? 12 : 11;
    EXPECT_EQ(lines[middle].rfind(" ╟─", 0), 0u);
    EXPECT_EQ(lines[middle + 1].rfind(" ╚═", 0), 0u);
    EXPECT_EQ(Chars(lines[middle + 1]), 12 + 4 * 18 + 1u);
  }

  EXPECT_THROW(WriteMtzReport(report, head, *table, 3), ERangeError);
  MtzUnits = 2;
  EXPECT_THROW(WriteMtzReport(report, head, *table, 0), ERangeError);
}

TEST_F(ExportDat, GeneratedSiteRecordsForEachReferenceAndTheSiteGivenBack) {
  TMtGenModel model;
  model.ReferenceType = 2;  // remote E
  model.WithTipper = true;
  auto site = GeneratedSite(Dir, model);
  ASSERT_EQ(site->ReferenceType, 2);
  const int16_t current = site->CurrentReference, display = site->DisplayReference;
  const TPlots plots = site->Plots;
  const auto partial = std::make_unique<TPartial_plot>(site->PartialPlots);
  const auto stack = std::make_unique<TFreqMatrices>(site->StackedMatrix);
  auto table = std::make_unique<TRezZTable>();
  site->FillImpedanceTable(*table);
  CanadaToRussian(*table);

  MtzSolutionMode = 1;
  MtzTapeVariant = "7";
  const std::string log = CaptureLog([&] { ExportNarskyDat(Dir.File("site.txt"), *site, 0); });
  EXPECT_NE(log.find("Write to new file " + Dir.File("site.dat") +
                     "\nCreate header\nCalc main ref\n"
                     "Export to file\nCanadaToRussian\nPrMtz\n"),
            std::string::npos)
      << log;

  const std::string bytes = ReadFile(Dir.File("site.dat"));
  const auto lines = Utf8Lines(bytes);
  const auto raw = CrLfLines(bytes);
  const auto records = LinesStarting(lines, " ЗАПИСЬ   1");
  ASSERT_EQ(records.size(), 3u);
  const std::string tape = site->Header.OrigFileName.substr(4, 4) + "7";
  const std::string heading = "        РАЙОН РАБОТ-" + site->Header.Survey.Project.substr(0, 3) +
                              " ;  ПИКЕТ-   Sit;  ЦЭС-" + site->Header.Station.str().substr(0, 4) + ";  ПОЛЕВАЯ МЛ-";
  const char* suffixes[] = {"RE", "le", "lh"};
  for (int r = 0; r < 3; ++r) {
    const std::string& h = lines[records[r] + 3];
    EXPECT_EQ(h.substr(0, h.size() - 10), heading) << r;
    EXPECT_EQ(Trim(h.substr(h.size() - 10)), tape + suffixes[r]);
    EXPECT_EQ(raw[records[r] + 4].substr(21, 12), "991230000000");
  }
  // The first record holds the site's own values: row 1, component xy.
  const TRezZRow& row = table->Rows[1];
  const double a = row.Amplitude[3][2], ae = row.AmplitudeError[3][2];
  std::string phase;
  FloatToFixed(8, 2, phase, row.Phase[3][2] + std::min(std::fabs(row.PhaseError[3][2]), 180.0f));
  EXPECT_EQ(raw[records[0] + 13].substr(30, 18), C("│" + ShortExp(a + ae) + phase));
  // The other references give other values.
  EXPECT_NE(raw[records[1] + 13], raw[records[0] + 13]);
  EXPECT_NE(raw[records[2] + 13], raw[records[1] + 13]);

  // The site is as it was.
  EXPECT_EQ(site->CurrentReference, current);
  EXPECT_EQ(site->DisplayReference, display);
  EXPECT_TRUE(site->Plots == plots);
  EXPECT_TRUE(site->PartialPlots == *partial);
  EXPECT_TRUE(site->StackedMatrix == *stack);

  // A local E site writes its own record and the local H one.
  model.ReferenceType = 1;
  auto le = GeneratedSite(Dir, model, "le.mt1");
  CaptureLog([&] { ExportNarskyDat(Dir.File("le.dat"), *le, 1); });
  const auto leLines = Utf8Lines(ReadFile(Dir.File("le.dat")));
  const auto leRecords = LinesStarting(leLines, " ЗАПИСЬ   1");
  ASSERT_EQ(leRecords.size(), 2u);
  EXPECT_EQ(leLines[leRecords[0] + 3].substr(leLines[leRecords[0] + 3].size() - 2), "LE");
  EXPECT_EQ(leLines[leRecords[1] + 3].substr(leLines[leRecords[1] + 3].size() - 2), "lh");
}

TEST_F(ExportDat, AppendModeKeepsTheOldRecords) {
  auto site = GeneratedSite(Dir, TMtGenModel{});
  MtzAppendMode = 1;
  std::string log = CaptureLog([&] { ExportNarskyDat(Dir.File("a.dat"), *site, 0); });
  EXPECT_NE(log.find("\nWrite to new file " + Dir.File("a.dat") + "\n"), std::string::npos);
  const std::string first = ReadFile(Dir.File("a.dat"));
  log = CaptureLog([&] { ExportNarskyDat(Dir.File("a.dat"), *site, 0); });
  EXPECT_NE(log.find("\nAppend to " + Dir.File("a.dat") + "\n"), std::string::npos);
  EXPECT_EQ(ReadFile(Dir.File("a.dat")), first + first);

  MtzAppendMode = 0;
  CaptureLog([&] { ExportNarskyDat(Dir.File("a.dat"), *site, 0); });
  EXPECT_EQ(ReadFile(Dir.File("a.dat")), first);
}

TEST_F(ExportDat, FailuresWriteNothingAndGiveTheSiteBack) {
  TMtGenModel model;
  model.ReferenceType = 2;
  auto site = GeneratedSite(Dir, model);
  const TPlots plots = site->Plots;
  MtzSolutionMode = 1;
  MtzAppendMode = 1;
  std::ofstream(Dir.File("old.dat"), std::ios::binary) << "old\r\n";

  // The m-t tensor values are never filled: no empty record is passed off as an export.
  try {
    CaptureLog([&] { ExportNarskyDat(Dir.File("old.dat"), *site, 2); });
    ADD_FAILURE() << "an empty record was exported";
  } catch (const Exception& e) {
    EXPECT_NE(e.Message().find("m-t tensor"), std::string::npos) << e.Message();
  }
  EXPECT_EQ(ReadFile(Dir.File("old.dat")), "old\r\n");
  EXPECT_EQ(site->DisplayReference, drRemote);
  EXPECT_TRUE(site->Plots == plots);

  EXPECT_THROW(CaptureLog([&] { ExportNarskyDat(Dir.File("no/folder/x.dat"), *site, 0); }), EInOutError);
  EXPECT_EQ(site->CurrentReference, 2);
  EXPECT_TRUE(site->Plots == plots);

  auto empty = std::make_unique<TMTFile>();
  EXPECT_THROW(CaptureLog([&] { ExportNarskyDat(Dir.File("e.dat"), *empty, 0); }), Exception);
  EXPECT_THROW(ExportNarskyDat(Dir.File("e.dat"), *site, 3), ERangeError);
  EXPECT_EQ(FolderEntries(Dir.File("")), (std::vector<std::string>{"old.dat", "site.mt1"}));
}
