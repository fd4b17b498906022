// The EDI reader: sections and blocks, placement of spectra, the files it takes and refuses,
// and the site computed from an EDI file.
#include <gtest/gtest.h>

#include <algorithm>

#include "edi_test_util.h"
#include "mtdata/site_file.h"
#include "sitefile_fixture.h"

#include <cmath>
#include <memory>

using namespace edi_test;
using sitefile_test::CaptureLog;
using sitefile_test::TTempDir;

namespace {

const char* const Head =
    ">HEAD\n"
    "    DATAID=\"XYZ123A\"\n"
    "    LAT=61:30:00.00\n"
    "    LONG=-033:15:00.00\n"
    "    ELEV=125\n"
    "    UNITS=M\n"
    "    STDVERS=\"SEG 1.0\"\n"
    "    EMPTY=1.0E+32 \n";

// Two 7-channel blocks of a small matrix, values 1..49 by position.
std::string TwoBlocks() {
  std::string s = ">=SPECTRASECT\n   NCHAN=7\n   NFREQ=2\n";
  for (int b = 1; b <= 2; ++b) {
    s += ">SPECTRA  FREQ=" + std::string(b == 1 ? "1.000E+02" : "1.000E-01") +
         " ROTSPEC=0 BW=2.5E+01 AVGT=" + (b == 1 ? "2.0000E+01" : "5.0000E+00") + " // 49\n";
    for (int r = 1; r <= 7; ++r) {
      for (int c = 1; c <= 7; ++c) s += " " + IntToStr(b * 100 + r * 10 + c) + ".0";
      s += "\n";
    }
  }
  return s;
}

const char* const ImpedanceSection =
    ">=MTSECT\n"
    "NFREQ=3\n"
    ">!****FREQUENCIES****!\n"
    ">FREQ NFREQ=3 // 3\n"
    "  1.000E+02  1.000E+01  1.000E+00\n"
    ">ZXYR ROT=ZROT // 3\n"
    "  3.000E+00  2.000E+00  1.0E32\n"
    ">ZXYI ROT=ZROT // 3\n"
    "  4.000E+00  1.000E+00  1.0E32\n"
    ">ZXY.VAR ROT=ZROT // 3\n"
    "  0.25  0.0  1.0E32\n"
    ">RHOXY.ERR ROT=ZROT // 3\n"
    "  9 9 9 9 9\n";

struct TCorpusCase {
  const char* Name;
  std::string Text;
  int Spectra;   // spectra blocks read
  int Rows;      // impedance rows
  bool Skipped;  // a log line tells of something skipped
};

class EdiCorpus : public ::testing::TestWithParam<TCorpusCase> {};

TEST_P(EdiCorpus, LoadsWhatItCanUse) {
  const TCorpusCase& c = GetParam();
  TTempDir dir;
  const std::string path = dir.File("site.edi");
  WriteText(path, c.Text);
  auto edi = std::make_unique<TEdiFileObject>();
  std::string log = CaptureLog([&] { edi->LoadFromFile(path); });
  EXPECT_EQ(edi->SpectraCount, c.Spectra);
  EXPECT_EQ(edi->ImpedanceTable.RowCount, c.Rows);
  EXPECT_EQ(edi->ImpedanceTable.LastRow, c.Rows);
  EXPECT_EQ(log.find("skipped") != std::string::npos, c.Skipped) << log;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EdiCorpus,
    ::testing::Values(
        TCorpusCase{"SpectraOnly", std::string(Head) + TwoBlocks() + ">END\n", 2, 2, false},
        TCorpusCase{"ImpedanceOnly", std::string(Head) + ImpedanceSection + ">END\n", 0, 5, false},
        // A value count of the last data block beats the earlier FREQ block; tipper blocks
        // and an unknown section are skipped with a log line.
        TCorpusCase{"WithTipper",
                    std::string(Head) + ImpedanceSection +
                        ">TXR.EXP ROT=ZROT // 3\n 0.1 0.2 0.3\n>TYI.EXP // 3\n 1 2 3\n>END\n",
                    0, 5, true},
        TCorpusCase{"UnknownSection", std::string(Head) + ">=GRIDDEF\n  NX=3\n" + TwoBlocks() + ">END\n", 2, 2, true},
        // The file ends inside the second block: the first stays, the second is dropped.
        TCorpusCase{"Truncated", std::string(Head) + TwoBlocks().substr(0, TwoBlocks().size() - 120), 1, 1, true},
        // Nothing after ">END" is read.
        TCorpusCase{"EndStops", std::string(Head) + ">END\n" + TwoBlocks() + ImpedanceSection, 0, 0, false},
        // ".EXP" suffixes name the same blocks; tabs and CR LF line ends are taken.
        TCorpusCase{"ExpSuffixTabsCrLf",
                    ">HEAD\r\n\tDATAID=\"A\"\r\n>FREQ.EXP //2\r\n\t10\t1\r\n>ZXYR.EXP //2\r\n 1 2\r\n"
                    ">END\r\n",
                    0, 2, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(EdiReader, DataBlocksFillParametersAndImpedanceRows) {
  TTempDir dir;
  const std::string path = dir.File("z.edi");
  WriteText(path, std::string(Head) + ImpedanceSection + ">END\n");
  auto edi = std::make_unique<TEdiFileObject>();
  CaptureLog([&] { edi->LoadFromFile(path); });
  EXPECT_DOUBLE_EQ(edi->Plots[1][99], 100);
  EXPECT_DOUBLE_EQ(edi->Plots[2][60], 1);
  EXPECT_DOUBLE_EQ(edi->Plots[1][47], 3);
  EXPECT_DOUBLE_EQ(edi->Plots[1][48], 4);
  EXPECT_DOUBLE_EQ(edi->Plots[3][47], 1e32);  // the empty mark is kept as it stands
  const TRezZRow& row = edi->ImpedanceTable.Rows[1];
  EXPECT_FLOAT_EQ(row.Spare[1], 100);
  EXPECT_FLOAT_EQ(row.Period, 0.01f);
  EXPECT_FLOAT_EQ(row.Amplitude[3][2], 5);
  EXPECT_FLOAT_EQ(row.AmplitudeError[3][2], 0.5f);
  EXPECT_NEAR(row.Phase[3][2], 53.13, 0.01);
  EXPECT_GT(row.PhaseError[3][2], 0);
  // Without spectra the frequency grid and the matrices stay empty.
  EXPECT_EQ(edi->Frequencies[1], 0);
  EXPECT_EQ(edi->XprMatrices[1][1][3][3], 0);
}

// Comment lines that some writers put into data and spectra sections are skipped with a log line
// naming the file and the line: no rows at 0 Hz, no frequency lost.
TEST(EdiReader, CommentLinesInDataSectionsAreSkipped) {
  TTempDir dir;
  const std::string path = dir.File("c.edi");
  std::string text = std::string(Head) + TwoBlocks() + ImpedanceSection + ">END\n";
  auto insertLine = [&](const std::string& Before, const std::string& Line) {
    const std::size_t at = text.find(Before);
    text.insert(at, Line + "\n");
    return 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n');
  };
  const auto spectraLine = insertLine(" 111.0", "Spectra of run A, cross powers");
  const auto freqLine = insertLine("  1.000E+02", "  frequencies in Hz");
  WriteText(path, text);
  auto edi = std::make_unique<TEdiFileObject>();
  const std::string log = CaptureLog([&] { edi->LoadFromFile(path); });
  EXPECT_EQ(edi->SpectraCount, 2);
  EXPECT_EQ(edi->ImpedanceTable.RowCount, 2);
  EXPECT_EQ(edi->XprMatrices[1][1][3][3], 111);
  EXPECT_DOUBLE_EQ(edi->Plots[3][99], 1);  // the FREQ block's values, none taken from the comment
  EXPECT_EQ(log.find("Illegal number"), std::string::npos) << log;
  EXPECT_NE(log.find("EDI file " + path + ", line " + IntToStr(spectraLine) +
                     ": 'Spectra of run A, cross powers' is no line of numbers: skipped"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find(path + ", line " + IntToStr(freqLine) + ": 'frequencies in Hz'"), std::string::npos) << log;
}

// A channel count that the list of channel IDs contradicts, or a missing list, is told in the log.
TEST(EdiReader, ChannelCountAgainstTheIdListIsLogged) {
  TTempDir dir;
  const std::string path = dir.File("n.edi");
  struct Case {
    const char* Ids;
    const char* Log;  // empty: nothing told
  };
  for (const Case& c :
       {Case{"     1\n     2\n     3\n     4\n     5\n     6\n     7\n", ""},
        Case{"     1\n     2\n     3\n     4\n     5\n", "NCHAN=7 contradicts the 5 channel IDs"},
        Case{"", "the spectra section lists no channel IDs: its 7 channels are taken in the order Hx, Hy"}}) {
    SCOPED_TRACE(c.Log);
    std::string text = TwoBlocks();
    text.insert(text.find(">SPECTRA"), std::string("    // 7\n") + c.Ids);
    WriteText(path, std::string(Head) + text + ">END\n");
    auto edi = std::make_unique<TEdiFileObject>();
    const std::string log = CaptureLog([&] { edi->LoadFromFile(path); });
    EXPECT_EQ(edi->SpectraCount, 2);
    if (*c.Log)
      EXPECT_NE(log.find("EDI file " + path + ", line 9: " + c.Log), std::string::npos) << log;  // the section line
    else
      EXPECT_EQ(log.find("channel IDs"), std::string::npos) << log;
  }
}

TEST(EdiReader, SpectraRowsGoToTheirSlots) {
  TTempDir dir;
  const std::string path = dir.File("s.edi");
  // One row of three values: Hx auto-power, then the imaginary parts of (Hy, Hx) and (Hz, Hx).
  WriteText(path, ">SPECTRA FREQ=10 AVGT=4 // 49\n 2.5 0.5 -0.25\n>END\n");
  auto edi = std::make_unique<TEdiFileObject>();
  CaptureLog([&] { edi->LoadFromFile(path); });
  ASSERT_EQ(edi->SpectraCount, 1);
  const TMatrix7& m = edi->XprMatrices[1][1];
  EXPECT_EQ(m[3][3], 2.5);
  EXPECT_EQ(m[4][3], -0.5);  // packed: Im S(Hx, Hy) = -Im S(Hy, Hx)
  EXPECT_EQ(m[5][3], 0.25);
  EXPECT_FLOAT_EQ(static_cast<float>(edi->Frequencies[1]), 10.0f);
  EXPECT_EQ(edi->AvgT[1], 4);
}

TEST(EdiReader, HeadKeys) {
  TTempDir dir;
  const std::string path = dir.File("h.edi");
  // LAT and LONG after ELEV are converted too; a sign stands for S and W.
  WriteText(path,
            ">HEAD\n  DATAID=\"XYZ123A\"\n  ELEV=10\n  LAT=-61:30:00\n  LONG=033:15:00.0E\n"
            "  PROSPECT=\"North\"\n  LOC=Valley\n>END\n");
  auto edi = std::make_unique<TEdiFileObject>();
  CaptureLog([&] { edi->LoadFromFile(path); });
  const TTapeLabel& h = edi->Header;
  EXPECT_EQ(h.JobPrefix.str(), "XYZ");
  EXPECT_EQ(h.Point.PointNumber, 123);
  EXPECT_EQ(h.RunNumber, 123);
  EXPECT_EQ(h.Point.SiteDesc.str(), "123");
  EXPECT_EQ(h.RunLetter, 1);
  EXPECT_EQ(h.LabelSource, 100);
  EXPECT_EQ(h.LabelKind, 2);
  EXPECT_NEAR(h.Point.LatInDeg, -61.5, 1e-9);
  EXPECT_NEAR(h.Point.LongInDeg, 33.25, 1e-9);
  EXPECT_EQ(h.Survey.Project, "North");
  EXPECT_EQ(h.Location, "Valley");
  EXPECT_EQ(h.FileName, "h.edi");
}

TEST(EdiReader, InfoRowsSplitAtColumn40AndLongLinesAreCut) {
  TTempDir dir;
  const std::string path = dir.File("i.edi");
  std::string info = ">INFO MAXINFO=99\n\n";  // the line after the keyword line is not read
  info += "    REFERENCE FIELD: Local H - Ref." + std::string(4, ' ') + "Right half\n";
  info += "    " + std::string(60, 'x') + "\n";  // a free-text line longer than both halves
  for (int i = 3; i <= 32; ++i) info += "    row " + IntToStr(i) + std::string(40, ' ') + "r\n";
  WriteText(path, info + ">END\n");
  auto edi = std::make_unique<TEdiFileObject>();
  CaptureLog([&] { edi->LoadFromFile(path); });
  EXPECT_EQ(std::string(edi->InfoLines[1].data(), 32), "REFERENCE FIELD: Local H - Ref." + std::string(1, '\0'));
  EXPECT_EQ(std::string(edi->InfoLines[31].data(), 10), "Right half");
  EXPECT_EQ(std::string(edi->InfoLines[2].data(), 32), std::string(32, 'x'));
  EXPECT_EQ(edi->RobustParams.ReferenceType, prtLocalH);
}

TEST(EdiReader, RefusesWhatItCannotReadNamingFileAndLine) {
  TTempDir dir;
  struct {
    std::string Text;
    int Line;
  } cases[] = {
      {">HEAD\n  DATAID=\"A\"\n>SPECTRA FREQ=1x0 AVGT=1 // 4\n 1 2\n 3 4\n>END\n", 3},
      {">SPECTRA FREQ=10 AVGT=1 // 4\n 1 2 3 4 5 6 7 8\n>END\n", 2},
      {">HMEAS ID=1 CHTYPE=HX AZM=north\n>END\n", 1},
  };
  for (const auto& c : cases) {
    const std::string path = dir.File("bad.edi");
    WriteText(path, c.Text);
    auto edi = std::make_unique<TEdiFileObject>();
    try {
      CaptureLog([&] { edi->LoadFromFile(path); });
      ADD_FAILURE() << "loaded: " << c.Text;
    } catch (const Exception& e) {
      EXPECT_NE(e.Message().find(path + ", line " + IntToStr(c.Line)), std::string::npos) << e.Message();
    }
  }
  auto edi = std::make_unique<TEdiFileObject>();
  EXPECT_THROW(edi->LoadFromFile(dir.File("missing.edi")), EInOutError);
}

// Spectra of a known tensor written as EDI text give back that tensor when the site computes
// them, whatever the order of the channels in the blocks.
TEST(EdiSite, ComputesTheImpedanceTheSpectraImply) {
  TMtModel model;
  model.Zxx = cd(0.3, -0.2);
  model.Zxy = cd(4.0, 3.0);
  model.Zyx = cd(-3.5, -2.5);
  model.Zyy = cd(-0.1, 0.4);
  model.Tx = cd(0.2, 0.05);
  model.Ty = cd(-0.1, 0.1);
  TMatrix7 re{}, im{};
  BuildCrossPowers(model, IdentityChannelOrder(), re, im);

  const std::string standard = ">=SPECTRASECT\n NCHAN=7\n NFREQ=2\n // 7\n 11\n 12\n 13\n 14\n 15\n 16\n 17\n";
  // Channels listed Ex, Ey, Hx, Hy, Hz, Rx, Ry; the remote channels reuse the IDs of Hx, Hy.
  const std::string byIds =
      ">=DEFINEMEAS\n>HMEAS ID=13 CHTYPE=HX AZM=0\n>HMEAS ID=14 CHTYPE=HY AZM=90\n"
      ">HMEAS ID=15 CHTYPE=HZ AZM=0\n>EMEAS ID=11 CHTYPE=EX\n>EMEAS ID=12 CHTYPE=EY\n"
      ">=SPECTRASECT\n NCHAN=7\n NFREQ=2\n // 7\n 11\n 12\n 13\n 14\n 15\n 13\n 14\n";
  struct {
    std::string Section;
    std::vector<int> Slots;
  } layouts[] = {{standard, StandardSlots()}, {byIds, {1, 2, 3, 4, 5, 6, 7}}};

  TTempDir dir;
  for (const auto& layout : layouts) {
    const std::string path = dir.File("model.edi");
    WriteText(path, std::string(Head) + layout.Section + SpectraBlock(100, 16, re, im, layout.Slots) +
                        SpectraBlock(10, 16, re, im, layout.Slots) + ">END\n");
    auto site = std::make_unique<TMTFile>();
    CaptureLog([&] { LoadFromEdi(*site, path); });
    ASSERT_EQ(site->FreqCount, 2);
    EXPECT_EQ(site->FileName, path);
    for (int f = 1; f <= 2; ++f) {
      const double* p = &site->Plots[f][0];
      const cd z[4] = {model.Zxx, model.Zxy, model.Zyx, model.Zyy};
      for (int k = 0; k < 4; ++k) {
        EXPECT_NEAR(p[45 + 2 * k], z[k].real(), 1e-9) << "f=" << f << " k=" << k;
        EXPECT_NEAR(p[46 + 2 * k], z[k].imag(), 1e-9) << "f=" << f << " k=" << k;
      }
      const double freq = f == 1 ? 100 : 10;
      EXPECT_NEAR(p[1], 0.2 * std::norm(cd(4.0, 3.0)) / freq, 1e-9);
      // The averaged spectra come back as they were written.
      EXPECT_NEAR(p[27], std::sqrt(re[3][3]), 1e-9);
    }
  }
}

TEST(EdiSite, TakesOneEstimatePerFrequency) {
  TMtModel model = TMtModel::OneD(cd(2, 2));
  model.Tx = cd(0.1, 0);
  TMatrix7 re{}, im{};
  BuildCrossPowers(model, IdentityChannelOrder(), re, im);
  std::string text = std::string(Head) + ">INFO\n\n    REFERENCE FIELD: Local H - Ref.\n";
  for (int f = 1; f <= 37; ++f) text += SpectraBlock(1000.0 / f, f == 5 ? 0 : 2.5 * f, re, im, StandardSlots());
  text += SpectraBlock(1, 1, re, im, StandardSlots()).substr(0, 40);  // cut by the file end
  TTempDir dir;
  const std::string path = dir.File("f37.edi");
  WriteText(path, text);
  auto site = std::make_unique<TMTFile>();
  std::string log = CaptureLog([&] { LoadFromEdi(*site, path); });
  ASSERT_EQ(site->FreqCount, 37);
  for (int f = 1; f <= 37; ++f) {
    EXPECT_EQ(site->XprCount[f], 1);
    EXPECT_EQ(site->Mask[f][1], 1);
    EXPECT_EQ(site->Weight2[f][1], 3.0);
    EXPECT_EQ(site->Weight1[f][1], f == 5 ? 1.0 : 2.5 * f);  // no AVGT: weight 1
    EXPECT_GT(site->Plots[f][1], 0) << f;
  }
  EXPECT_NE(log.find("without AVGT"), std::string::npos);
  // "Local H" of the information block is the site's reference type 3 (LH).
  EXPECT_EQ(site->ReferenceType, frtLocalH);
  EXPECT_EQ(site->DisplayReference, drLocalH);
  for (int c = 1; c <= 7; ++c) {
    EXPECT_EQ(site->ChannelOrder[c], c);
    EXPECT_EQ(site->StoredChannelOrder[c], c);
  }
  EXPECT_EQ(site->ChannelCount, 7);
}

TEST(EdiSite, EmptySpectraAreNotUsedAndAFileWithoutDataIsRefused) {
  TMtModel model = TMtModel::OneD(cd(2, 2));
  TMatrix7 re{}, im{};
  BuildCrossPowers(model, IdentityChannelOrder(), re, im);
  TMatrix7 empty{};
  for (double& v : empty) v = EdiEmptyValue;
  TTempDir dir;
  const std::string path = dir.File("e.edi");
  WriteText(path, SpectraBlock(10, 4, re, im, StandardSlots()) + SpectraBlock(1, 4, empty, empty, StandardSlots()) +
                      ">END\n");
  auto site = std::make_unique<TMTFile>();
  CaptureLog([&] { LoadFromEdi(*site, path); });
  ASSERT_EQ(site->FreqCount, 2);
  EXPECT_GT(site->Plots[1][1], 0);
  EXPECT_EQ(site->Mask[2][1], 0);
  EXPECT_EQ(site->Plots[2][1], 0);

  WriteText(path, std::string(Head) + ">END\n");
  auto none = std::make_unique<TMTFile>();
  EXPECT_THROW(CaptureLog([&] { LoadFromEdi(*none, path); }), EInOutError);
}

}  // namespace

namespace {

// Odd texts either load or are refused with an error; none crashes or reads past its buffers.
TEST(EdiReader, OddTextsLoadOrAreRefused) {
  std::string junk;
  for (int i = 0; i < 4000; ++i) junk += static_cast<char>((i * 7919) % 256);
  const std::string texts[] = {"",
                               ">",
                               ">SPECTRA FREQ=10 AVGT=1 // 49",
                               ">HEAD\n DATAID=\n DATAID=\"\n LAT=\"\n LONG=\n ELEV=\n",
                               ">INFO\n" + std::string(100000, 'y') + "\n>END\n",
                               ">FREQ\n" + std::string(5000, ' ') + "1e400 -1e400 nan 0 -5\n>ZXX.VAR\n -4 1e32\n>END\n",
                               ">=SPECTRASECT\n NCHAN=99\n // 7\n 1 1 1 1 1 1 1\n>SPECTRA FREQ=1 // 49\n 1\n>END\n",
                               ">=DEFINEMEAS\n>HMEAS ID=1 CHTYPE=HX\n>HMEAS ID=1 CHTYPE=HX\n>HMEAS ID=1 CHTYPE=HX\n"
                               ">=SPECTRASECT\n // 3\n 1 1 1\n>SPECTRA FREQ=1 AVGT=1 // 9\n 1\n 1 1\n 1 1 1\n>END\n",
                               junk,
                               ">HEAD\n" + junk + "\n>SPECTRA FREQ=3 AVGT=2\n" + junk + "\n>END\n"};
  TTempDir dir;
  const std::string path = dir.File("odd.edi");
  for (const std::string& text : texts) {
    WriteText(path, text);
    auto site = std::make_unique<TMTFile>();
    try {
      CaptureLog([&] { LoadFromEdi(*site, path); });
    } catch (const Exception& e) {
      EXPECT_NE(e.Message().find(path), std::string::npos) << e.Message();
    }
  }
}

}  // namespace
