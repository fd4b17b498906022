// The block file: tagged items, record limits, the scan and the edit title.
#include <gtest/gtest.h>

#include <cstring>

#include "mtdata/mt_block_file.h"
#include "platform/streams.h"
#include "sitefile_fixture.h"

using namespace sitefile_test;

namespace {

// A tagged text item at the start of a block.
void PutTitle(std::vector<uint8_t>& File, int Block, const std::string& Title) {
  const size_t at = static_cast<size_t>(Block) * MtBlockSize;
  File[at] = MtTagText;
  File[at + 1] = static_cast<uint8_t>(Title.size());
  File[at + 2] = 0;
  std::memcpy(File.data() + at + 3, Title.data(), Title.size());
}

}  // namespace

TEST(BlockFileItems, RoundTripOfEveryKindAndTheStreamPosition) {
  TMemoryStream s;
  const int16_t i = -1234;
  const double d = 3.5e-7;
  WriteTaggedItem(s, MtTagText, "HEAD-INFO: X", 12);
  WriteTaggedItem(s, MtTagSmallint, &i, 2);
  WriteTaggedItem(s, MtTagDouble, &d, 8);
  EXPECT_EQ(s.Size(), 15 + 3 + 9);

  s.SetPosition(0);
  char text[8] = {};
  int16_t i2 = 0;
  double d2 = 0;
  // A text longer than its field keeps its first characters and the next item still reads.
  EXPECT_EQ(ReadTaggedItem(s, text, 8), 12);
  EXPECT_EQ(std::string(text, 8), "HEAD-INF");
  EXPECT_EQ(ReadTaggedItem(s, &i2, 2), 2);
  EXPECT_EQ(ReadTaggedItem(s, &d2, 8), 8);
  EXPECT_EQ(i2, i);
  EXPECT_EQ(d2, d);
}

TEST(BlockFileItems, IllegalTagNamesTheByteAndTheOffsetAfterIt) {
  TMemoryStream s;
  const double d = 1;
  WriteTaggedItem(s, MtTagDouble, &d, 8);
  const uint8_t bad = 0x7F;
  s.WriteBuffer(&bad, 1);
  s.SetPosition(0);
  double v;
  ReadTaggedItem(s, &v, 8);
  try {
    ReadTaggedItem(s, &v, 8);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Illegal data 7F at offset 0000000A");
  }

  // The block reader says the same with the offset in the file.
  std::vector<uint8_t> block(MtBlockSize, 0);
  block[0] = 0x55;
  TMtBlockReader r;
  r.Assign(block.data(), MtBlockSize, 2);
  try {
    r.ReadDouble();
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Illegal data 55 at offset 0000B401");
  }
}

TEST(BlockFileItems, ReaderStopsAtTheEndOfItsBlock) {
  // A text whose length runs past the block must not read on into the next record.
  std::vector<uint8_t> block(MtBlockSize, 'x');
  const int first = MtBlockSize - 4 - 3;
  block[0] = MtTagText;
  block[1] = static_cast<uint8_t>(first & 0xFF);
  block[2] = static_cast<uint8_t>(first >> 8);
  block[MtBlockSize - 4] = MtTagText;
  block[MtBlockSize - 3] = 0x10;
  block[MtBlockSize - 2] = 0;
  TMtBlockReader r;
  r.Assign(block.data(), MtBlockSize, 0);
  EXPECT_EQ(r.ReadString().size(), static_cast<size_t>(first));
  EXPECT_THROW(r.ReadString(), EReadError);
}

TEST(BlockFileItems, WriterRefusesARecordLargerThanItsBlock) {
  TMtRecordWriter w;
  for (int k = 0; k < MtBlockSize / 9; ++k) w.Double(k);
  EXPECT_EQ(w.Size(), MtBlockSize / 9 * 9);
  EXPECT_THROW(w.Double(0), Exception);
  EXPECT_EQ(w.Block().size(), static_cast<size_t>(MtBlockSize));
}

TEST(BlockFileTitle, EditTitles) {
  struct Case {
    int Weighting;
    double Cutoff;
    int Reference, RotationMode;
    double Angle;
    const char* Title;
  };
  const Case cases[] = {
      {2, 0.5, 1, 0, 30, "PLOT-EDIT:A12-00-S107,WGT=RHOVAR,CUT=0.50,REF=LOC E ,ROT=30 DEG."},
      {1, 1.25, 4, 1, 30, "PLOT-EDIT:A12-00-S107,WGT= NO WT,CUT=1.25,REF=REM H ,ROT=P.AXES."},
      {3, 0.5, 2, 0, -30, "PLOT-EDIT:A12-00-S107,WGT=ORDCOH,CUT=0.50,REF=REM E ,ROT=-30 DEG."},
      {3, 0.5, 5, 0, 5, "PLOT-EDIT:A12-00-S107,WGT=ORDCOH,CUT=0.50,REF=NOTSTD,ROT= 5 DEG."},
  };
  for (const auto& c : cases)
    EXPECT_EQ(
        MtEditTitle("PLOT-EDIT:", "A1234", "S107XYZ", c.Weighting, c.Cutoff, c.Reference, c.RotationMode, c.Angle),
        c.Title);
  EXPECT_THROW(MtEditTitle("PLOT-EDIT:", "A", "S", 0, 0, 1, 0, 0), ERangeError);
  EXPECT_THROW(MtEditTitle("PLOT-EDIT:", "A", "S", 1, 0, 6, 0, 0), ERangeError);
}

class BlockFileScan : public ::testing::Test {
protected:
  void SetUp() override {
    Model.EstimateCount = 20;
    Model.Edits = {TMtGenEdit{}};
    Path = Dir.File("scan.mt1");
    MtGenWrite(Model, Path, &Info);
  }
  // Opens and returns the log; the site is left in Site.
  std::string Open() {
    Site = std::make_unique<TMTFile>();
    return CaptureLog([&] { Site->OpenMtFile(Path); });
  }

  TTempDir Dir;
  TMtGenModel Model;
  TMtGenInfo Info;
  std::string Path;
  std::unique_ptr<TMTFile> Site;
};

TEST_F(BlockFileScan, GeneratedFileGivesTheExactSummaryLine) {
  const std::string log = Open();
  EXPECT_NE(log.find("TestFile\n"), std::string::npos);
  EXPECT_NE(log.find("Total recs=26(HEAD-INFO:1, XPWR-S#01-#20, OPLG-TIME:1, Plots:2, Edits:1)\n"), std::string::npos)
      << log;
  EXPECT_EQ(Info.ScanLine, "Total recs=26(HEAD-INFO:1, XPWR-S#01-#20, OPLG-TIME:1, Plots:2, Edits:1)");
  EXPECT_EQ(Site->BlockCount, 26);
  EXPECT_EQ(Site->XprRecordCount, 20);
  EXPECT_EQ(Site->XprBlocks[1], 1);
  EXPECT_EQ(Site->XprBlocks[20], 20);
  EXPECT_EQ(Site->OplogBlocks[1], 21);
  EXPECT_EQ(Site->PlotBlocks[1], 23);  // block index + 1
  EXPECT_EQ(Site->PlotBlocks[2], 25);
  EXPECT_EQ(Site->EditBlocks[1], 0);
  EXPECT_EQ(Site->EditBlocks[2], 25);
  EXPECT_EQ(Site->CurrentEditBlock, 25);
  EXPECT_EQ(Title(Site->RecordTags[2]).substr(0, 10), "PLOT-EDIT:");
}

TEST_F(BlockFileScan, OneXprRecordHasNoRangeInTheLine) {
  Model.EstimateCount = 1;
  Model.Edits.clear();
  MtGenWrite(Model, Path, &Info);
  EXPECT_NE(Open().find("Total recs=5(HEAD-INFO:1, XPWR-S#01, OPLG-TIME:1, Plots:1, Edits:0)\n"), std::string::npos);
}

TEST_F(BlockFileScan, RefusesBadLengthAndMissingHeader) {
  auto bytes = ReadBytes(Path);
  struct Case {
    std::vector<uint8_t> Data;
    const char* Message;
  };
  std::vector<Case> cases;
  auto longer = bytes;
  longer.resize(MtBlockSize + 1);
  cases.push_back({longer, "Illegal file length"});
  // A file cut inside an edit opens without it (see the save tests); one cut anywhere else, here
  // inside its first or its eleventh estimate record, is no MT-file.
  for (int whole : {1, 11}) {
    auto truncated = bytes;
    truncated.resize(static_cast<size_t>(whole) * MtBlockSize + 100);
    cases.push_back({truncated, "Illegal file length"});
  }
  cases.push_back({{}, "Illegal file length"});
  auto noHead = bytes;
  noHead[3 + 6] = 0;  // the O of HEAD-INFO:
  cases.push_back({noHead, "Missing head-info"});
  for (const auto& c : cases) {
    WriteBytes(Path, c.Data);
    try {
      Open();
      ADD_FAILURE() << c.Message;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
}

TEST_F(BlockFileScan, ZeroLengthTitleEndsTheScanButNotTheBlockCount) {
  auto bytes = ReadBytes(Path);
  PutTitle(bytes, 3, "");
  WriteBytes(Path, bytes);
  Open();
  EXPECT_EQ(Site->BlockCount, 26);
  EXPECT_EQ(Site->XprRecordCount, 2);
  EXPECT_EQ(Site->OplogRecordCount, 0);
  EXPECT_EQ(Site->PlotRecordCount, 0);
}

TEST_F(BlockFileScan, IllegalTitleTagCountsAsNoRecord) {
  auto bytes = ReadBytes(Path);
  bytes[static_cast<size_t>(5) * MtBlockSize] = 0x13;
  WriteBytes(Path, bytes);
  Open();
  EXPECT_EQ(Site->XprRecordCount, 19);
  EXPECT_EQ(Site->XprBlocks[5], 6);
}

TEST_F(BlockFileScan, MoreThanOneHundredXprRecordsAreRefused) {
  Model.EstimateCount = 100;
  Model.Edits.clear();
  MtGenWrite(Model, Path, &Info);
  auto bytes = ReadBytes(Path);
  bytes.insert(bytes.end(), bytes.begin() + MtBlockSize, bytes.begin() + 2 * MtBlockSize);
  WriteBytes(Path, bytes);
  EXPECT_THROW(Open(), ERangeError);
}

TEST(BlockFileGenerator, RefusesModelsTheFormatCannotHold) {
  TTempDir dir;
  const std::string path = dir.File("refused.mt1");
  TMtGenModel m;
  m.EstimateCount = 101;
  EXPECT_THROW(MtGenWrite(m, path), Exception);
  m.EstimateCount = 5;
  m.OplogLines = 50;
  EXPECT_THROW(MtGenWrite(m, path), Exception);
  m.OplogLines = 5;
  m.Edits.resize(10);
  EXPECT_THROW(MtGenWrite(m, path), Exception);
  EXPECT_FALSE(std::filesystem::exists(path));

  // Every record of the largest model fits its block, and the file is whole blocks.
  m.Edits.resize(9);
  m.EstimateCount = 100;
  m.OplogLines = 49;
  m.WithTipper = true;
  const auto bytes = MtGenBuild(m, path);
  EXPECT_EQ(bytes.size() % MtBlockSize, 0u);
  EXPECT_EQ(bytes.size() / MtBlockSize, 1u + 100 + 1 + 20);
}

TEST(BlockFileGenerator, LayeredEarthImpedance) {
  for (double f : {1000.0, 1.0, 0.001}) {
    EXPECT_NEAR(MtGenApparentResistivity({{100, 0}}, f), 100, 1e-9);
    EXPECT_NEAR(MtGenPhaseDeg({{100, 0}}, f), 45, 1e-9);
  }
  // A conductive top over a resistive base: the top at high, the base at low frequencies.
  const std::vector<TMtGenLayer> two = {{10, 500}, {1000, 0}};
  EXPECT_NEAR(MtGenApparentResistivity(two, 1e5), 10, 0.1);
  EXPECT_NEAR(MtGenApparentResistivity(two, 1e-5), 1000, 50);
  EXPECT_LT(MtGenPhaseDeg(two, 1), 45);
  // The grid has three significant digits and is descending.
  const auto grid = MtGenFrequencies(40);
  EXPECT_EQ(grid.front(), 320);
  for (size_t i = 1; i < grid.size(); ++i) EXPECT_LT(grid[i], grid[i - 1]);
  EXPECT_EQ(MtGenFrequencies(28).front(), 10400);
}
