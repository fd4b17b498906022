// EDI files from other writers and damaged copies: spectra blocks wrapped freely over lines,
// blocks that fall short or hold a cut number, gaps, the reference of a file that names none,
// and every truncation point of a spectra file.
#include <gtest/gtest.h>

#include "edi_test_util.h"
#include "mtdata/site_file.h"
#include "sitefile_fixture.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>

using namespace edi_test;
using sitefile_test::CaptureLog;
using sitefile_test::TTempDir;

namespace {

const double BlockFreqs[3] = {100, 10, 1};

// A tensor with remote channels free of noise and local magnetic channels with extra
// uncorrelated power, so that the local and the remote references give different impedances.
TMtModel NoisyModel() {
  TMtModel model;
  model.Zxx = cd(0.3, -0.2);
  model.Zxy = cd(4.0, 3.0);
  model.Zyx = cd(-3.5, -2.5);
  model.Zyy = cd(-0.1, 0.4);
  model.Tx = cd(0.2, 0.05);
  model.Ty = cd(-0.1, 0.1);
  return model;
}

// Text of a file: head, an optional information block naming Reference, the spectra section
// with its channel count (none when Channels is 0) and three blocks of Slots, ">END".
std::string SpectraFile(const std::vector<int>& Slots, int Channels, const std::string& Reference = "") {
  TMatrix7 re{}, im{};
  BuildCrossPowers(NoisyModel(), IdentityChannelOrder(), re, im);
  re[1][1] += 6;  // noise power of Ex, Ey, Hx and Hy
  re[2][2] += 4;
  re[3][3] += 0.6;
  re[4][4] += 0.4;
  std::string s = ">HEAD\n  DATAID=\"XYZ123A\"\n  LAT=61:30:00\n  LONG=-033:15:00\n  ELEV=125\n";
  if (!Reference.empty()) s += ">INFO\n\n    REFERENCE FIELD: " + Reference + "\n";
  s += ">=SPECTRASECT\n";
  if (Channels > 0) s += "  NCHAN=" + IntToStr(Channels) + "\n";
  s += "  NFREQ=3\n";
  for (double f : BlockFreqs) s += SpectraBlock(f, 16, re, im, Slots);
  return s + ">END\n";
}

std::string WholeFile() { return SpectraFile(StandardSlots(), 7); }

// The text between the k-th ">SPECTRA" line (from 0) and the next keyword line.
std::pair<std::size_t, std::size_t> BlockRange(const std::string& Text, int K) {
  std::size_t start = 0;
  for (int i = 0; i <= K; ++i) start = Text.find(">SPECTRA", i == 0 ? 0 : start + 1);
  return {start, Text.find('>', start + 1)};
}

// The 1-based line number of a text position.
int LineOf(const std::string& Text, std::size_t Pos) {
  return 1 + static_cast<int>(std::count(Text.begin(), Text.begin() + static_cast<std::ptrdiff_t>(Pos), '\n'));
}

struct TLoad {
  std::unique_ptr<TMTFile> Site = std::make_unique<TMTFile>();
  std::string Log;
  std::string Error;  // the message of a refusal
};

TLoad Load(const TTempDir& Dir, const std::string& Text, const std::string& Name = "site.edi") {
  const std::string path = Dir.File(Name);
  WriteText(path, Text);
  TLoad r;
  try {
    r.Log = CaptureLog([&] { LoadFromEdi(*r.Site, path); });
  } catch (const Exception& e) {
    r.Error = e.Message();
  }
  return r;
}

// Frequency Fa of A was computed from the same spectra as frequency Fb of B. (The Bostick
// resistivities and depths, 43, 44, 58 and 59, take the neighbouring frequencies too.)
void ExpectSameFrequency(const TMTFile& A, int Fa, const TMTFile& B, int Fb) {
  EXPECT_EQ(A.Frequencies[Fa], B.Frequencies[Fb]);
  EXPECT_EQ(A.XprMatrices[Fa][1], B.XprMatrices[Fb][1]);
  for (int p = 1; p <= 60; ++p) {
    if (p == 43 || p == 44 || p == 58 || p == 59) continue;
    EXPECT_EQ(A.Plots[Fa][p], B.Plots[Fb][p]) << "parameter " << p;
  }
}

// Removes the last value of the R-th value line (from 1) of block K.
std::string DropLastValue(std::string Text, int K, int R) {
  auto [start, end] = BlockRange(Text, K);
  std::size_t line = Text.find('\n', start);
  for (int r = 1; r < R; ++r) line = Text.find('\n', line + 1);
  const std::size_t lineEnd = Text.find('\n', line + 1);
  const std::size_t blank = Text.rfind(' ', lineEnd);
  return Text.erase(blank, lineEnd - blank);
}

// Cuts the last digit of the exponent of the first value of the R-th value line of block K.
std::string CutExponent(std::string Text, int K, int R) {
  auto [start, end] = BlockRange(Text, K);
  std::size_t line = Text.find('\n', start);
  for (int r = 1; r < R; ++r) line = Text.find('\n', line + 1);
  const std::size_t valueEnd = Text.find(' ', line + 2);
  return Text.erase(valueEnd - 1, 1);
}

// Every block's values rewrapped PerLine to a line.
std::string Rewrap(const std::string& Text, int PerLine) {
  std::istringstream in(Text);
  std::string out, line;
  std::vector<std::string> values;
  auto flush = [&] {
    for (std::size_t i = 0; i < values.size(); ++i)
      out += (i % static_cast<std::size_t>(PerLine) == 0 ? " " : "  ") + values[i] +
             ((i + 1) % static_cast<std::size_t>(PerLine) == 0 || i + 1 == values.size() ? "\n" : "");
    values.clear();
  };
  bool inBlock = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line[0] == '>') {
      flush();
      inBlock = line.rfind(">SPECTRA", 0) == 0;
      out += line + "\n";
    } else if (inBlock) {
      std::istringstream fields(line);
      for (std::string v; fields >> v;) values.push_back(v);
    } else {
      out += line + "\n";
    }
  }
  flush();
  return out;
}

TEST(EdiDamage, WholeFileReference) {
  TTempDir dir;
  TLoad whole = Load(dir, WholeFile());
  ASSERT_EQ(whole.Error, "");
  ASSERT_EQ(whole.Site->FreqCount, 3);
  EXPECT_EQ(whole.Log.find("skipped"), std::string::npos) << whole.Log;
  for (int f = 1; f <= 3; ++f) EXPECT_GT(whole.Site->Plots[f][1], 0);
}

// A damaged middle block is skipped with a log line naming the file, the block's line and its
// frequency; the blocks around it are read as in the whole file.
TEST(EdiDamage, DamagedBlocksAreSkippedWithALogLine) {
  const std::string whole = WholeFile();
  struct {
    const char* Name;
    std::string Text;
    const char* Why;
    const char* Frequency;
  } cases[] = {
      {"short last row", DropLastValue(whole, 1, 7), "holds 48 values where 49 were expected", "10 Hz"},
      {"short middle row", DropLastValue(whole, 1, 3), "holds 48 values where 49 were expected", "10 Hz"},
      {"cut exponent", CutExponent(whole, 1, 4), "cut or not a number", "10 Hz"},
      {"value not a number",
       [&] {
         std::string t = whole;
         const std::size_t p = t.find(' ', t.find('\n', BlockRange(t, 1).first) + 2);
         return t.replace(p - 4, 4, "xyz1");
       }(),
       "cut or not a number", "10 Hz"},
      {"frequency gap",
       [&] {
         std::string t = whole;
         const std::size_t p = t.find("FREQ=", BlockRange(t, 1).first) + 5;
         return t.replace(p, t.find(' ', p) - p, "1.0E32");
       }(),
       "gap", "1e+32 Hz"},
  };
  TTempDir dir;
  TLoad reference = Load(dir, whole, "whole.edi");
  const int headLine = LineOf(whole, BlockRange(whole, 1).first);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TLoad damaged = Load(dir, c.Text);
    ASSERT_EQ(damaged.Error, "");
    ASSERT_EQ(damaged.Site->FreqCount, 2);
    ExpectSameFrequency(*damaged.Site, 1, *reference.Site, 1);
    ExpectSameFrequency(*damaged.Site, 2, *reference.Site, 3);
    const std::string expected = "EDI spectra block at line " + IntToStr(headLine) + " of " + dir.File("site.edi") +
                                 " (frequency " + c.Frequency + ")";
    EXPECT_NE(damaged.Log.find(expected), std::string::npos) << damaged.Log;
    EXPECT_NE(damaged.Log.find(c.Why), std::string::npos) << damaged.Log;
    EXPECT_NE(damaged.Log.find("skipped"), std::string::npos);
  }
  // The cut value is named with its own line.
  TLoad cut = Load(dir, CutExponent(whole, 1, 4));
  EXPECT_NE(cut.Log.find("at line " + IntToStr(headLine + 4)), std::string::npos) << cut.Log;
}

// Values wrapped freely over lines are read in order, with or without a channel count.
TEST(EdiDamage, WrappedBlocksReadAsTheWholeFile) {
  TTempDir dir;
  TLoad reference = Load(dir, WholeFile(), "whole.edi");
  struct {
    const char* Name;
    std::string Text;
  } cases[] = {
      {"five a line", Rewrap(WholeFile(), 5)},
      {"six a line", Rewrap(WholeFile(), 6)},
      {"nine a line", Rewrap(WholeFile(), 9)},
      {"one a line", Rewrap(WholeFile(), 1)},
      {"five a line, no channel count", Rewrap(SpectraFile(StandardSlots(), 0), 5)},
      {"four a line, five channels", Rewrap(SpectraFile({3, 4, 5, 1, 2}, 5), 4)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TLoad wrapped = Load(dir, c.Text);
    ASSERT_EQ(wrapped.Error, "");
    ASSERT_EQ(wrapped.Site->FreqCount, 3);
    EXPECT_EQ(wrapped.Log.find("skipped"), std::string::npos) << wrapped.Log;
    if (std::string(c.Name).find("five channels") != std::string::npos) {
      TLoad rows = Load(dir, SpectraFile({3, 4, 5, 1, 2}, 5), "rows.edi");
      for (int f = 1; f <= 3; ++f) ExpectSameFrequency(*wrapped.Site, f, *rows.Site, f);
      continue;
    }
    for (int f = 1; f <= 3; ++f) ExpectSameFrequency(*wrapped.Site, f, *reference.Site, f);
  }
}

// A file that names no reference is computed with the remote H reference when its spectra
// carry remote magnetic channels, else with the local E reference; the log says which.
TEST(EdiDamage, FileWithoutReferenceTakesTheRemoteChannels) {
  TTempDir dir;
  TLoad none = Load(dir, WholeFile(), "none.edi");
  TLoad remote = Load(dir, SpectraFile(StandardSlots(), 7, "Remote H - Ref."), "rh.edi");
  TLoad local = Load(dir, SpectraFile(StandardSlots(), 7, "Local E - Ref."), "le.edi");
  ASSERT_EQ(none.Error + remote.Error + local.Error, "");
  EXPECT_EQ(none.Site->ReferenceType, frtRemoteH);
  EXPECT_NE(none.Log.find("remote H reference used"), std::string::npos) << none.Log;
  const TMtModel model = NoisyModel();
  const cd z[4] = {model.Zxx, model.Zxy, model.Zyx, model.Zyy};
  for (int f = 1; f <= 3; ++f) {
    for (int p = 1; p <= 60; ++p) EXPECT_EQ(none.Site->Plots[f][p], remote.Site->Plots[f][p]);
    // The remote reference sees through the noise of the local magnetic channels.
    for (int k = 0; k < 4; ++k) {
      EXPECT_NEAR(none.Site->Plots[f][45 + 2 * k], z[k].real(), 1e-9);
      EXPECT_NEAR(none.Site->Plots[f][46 + 2 * k], z[k].imag(), 1e-9);
    }
    EXPECT_GT(std::abs(local.Site->Plots[f][1] - none.Site->Plots[f][1]), 0.05 * none.Site->Plots[f][1]);
  }

  // Without remote channels: the local E reference, and a log line saying so.
  TLoad five = Load(dir, SpectraFile({3, 4, 5, 1, 2}, 5), "five.edi");
  TLoad fiveLocal = Load(dir, SpectraFile({3, 4, 5, 1, 2}, 5, "Local E - Ref."), "five-le.edi");
  ASSERT_EQ(five.Error + fiveLocal.Error, "");
  EXPECT_EQ(five.Site->ReferenceType, frtLocalE);
  EXPECT_NE(five.Log.find("local E reference used"), std::string::npos) << five.Log;
  for (int f = 1; f <= 3; ++f) ExpectSameFrequency(*five.Site, f, *fiveLocal.Site, f);
  // A named reference is taken without such a line.
  EXPECT_EQ(local.Log.find("reference used"), std::string::npos) << local.Log;
}

// An MT section without spectra opens without a word about spectra weights; a file whose blocks
// are all unreadable is refused instead of opening as rows of 0 Hz.
TEST(EdiDamage, ImpedanceOnlyAndUnreadableFiles) {
  TTempDir dir;
  TLoad z = Load(dir,
                 ">HEAD\n  DATAID=\"A\"\n>=MTSECT\n  NFREQ=2\n>FREQ NFREQ=2 // 2\n  100 10\n"
                 ">ZXYR ROT=ZROT // 2\n  3 2\n>ZXYI ROT=ZROT // 2\n  4 1\n>END\n");
  ASSERT_EQ(z.Error, "");
  EXPECT_EQ(z.Site->FreqCount, 2);
  EXPECT_EQ(z.Log.find("AVGT"), std::string::npos) << z.Log;

  const std::string unreadable[] = {
      // A count of frequencies and no block that could be read.
      ">=SPECTRASECT\n  NCHAN=7\n  NFREQ=5\n>SPECTRA FREQ=1.0E32 AVGT=1 // 1\n 1\n>END\n",
      ">=SPECTRASECT\n  NCHAN=2\n  NFREQ=5\n>SPECTRA FREQ=10 AVGT=1 // 4\n 1 2\n 3\n>END\n",
      // Frequency values that are no numbers.
      ">=MTSECT\n>FREQ NFREQ=2 // 2\n  a b\n>ZXYR // 2\n 1 2\n>END\n",
  };
  for (const std::string& text : unreadable) {
    TLoad r = Load(dir, text, "bad.edi");
    EXPECT_NE(r.Error.find(dir.File("bad.edi")), std::string::npos) << text;
    EXPECT_NE(r.Error.find("no readable frequency"), std::string::npos) << r.Error;
  }
}

// Every truncation point of a spectra file: the file is refused (before its first whole
// block), or opens with the frequencies of the whole blocks computed as in the whole file; a
// block that was begun and is not there has a log line.
TEST(EdiDamage, EveryTruncationSkipsOrReadsTheWholeValues) {
  TTempDir dir;
  // Values in the file's own precision, so that a cut inside a mantissa is a shorter number.
  const std::string whole = SpectraFile({3, 4, 5, 1, 2}, 5);
  TLoad reference = Load(dir, whole, "whole.edi");
  ASSERT_EQ(reference.Site->FreqCount, 3);
  const std::size_t firstBlock = BlockRange(whole, 0).first;
  int refused = 0, skipped = 0, whole3 = 0;
  for (std::size_t cut = firstBlock; cut <= whole.size(); ++cut) {
    const std::string text = whole.substr(0, cut);
    TLoad r = Load(dir, text);
    int begun = 0;
    for (std::size_t p = text.find(">SPECTRA"); p != std::string::npos; p = text.find(">SPECTRA", p + 1)) ++begun;
    if (!r.Error.empty()) {
      EXPECT_NE(r.Error.find(dir.File("site.edi")), std::string::npos) << r.Error;
      EXPECT_LE(cut, BlockRange(whole, 1).first) << "refused at " << cut << ": " << r.Error;
      ++refused;
      continue;
    }
    const int n = r.Site->FreqCount;
    ASSERT_LE(n, begun) << cut;
    for (int f = 1; f <= n; ++f) {
      SCOPED_TRACE("cut at " + IntToStr(static_cast<int>(cut)) + ", frequency " + IntToStr(f));
      ExpectSameFrequency(*r.Site, f, *reference.Site, f);
    }
    if (n < begun) {
      EXPECT_NE(r.Log.find(dir.File("site.edi")), std::string::npos);
      EXPECT_NE(r.Log.find("skipped"), std::string::npos)
          << "cut at " << cut << " [" << text.substr(text.size() - std::min<std::size_t>(text.size(), 40)) << "]\n"
          << r.Log;
      ++skipped;
    }
    if (n == 3) ++whole3;
  }
  // The sweep met each outcome.
  EXPECT_GT(refused, 0);
  EXPECT_GT(skipped, 0);
  EXPECT_GT(whole3, 0);
}

}  // namespace
