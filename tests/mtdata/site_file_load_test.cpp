// The site file object: opening, header, reference list, stored edits, grid, operation log and
// damaged files.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "mtdata/mt_block_file.h"
#include "platform/strings.h"
#include "platform/sysutils.h"
#include "sitefile_fixture.h"

using namespace sitefile_test;

namespace {

// Byte offset of the first item after the title of a block.
size_t AfterTitle(const std::vector<uint8_t>& File, int Block) {
  const size_t at = static_cast<size_t>(Block) * MtBlockSize;
  return at + 3 + (File[at + 1] | (File[at + 2] << 8));
}

}  // namespace

class SiteFileLoad : public ::testing::Test {
protected:
  void Write(const std::string& Name = "site.mt1") {
    Path = Dir.File(Name);
    MtGenWrite(Model, Path, &Info);
  }
  TTempDir Dir;
  TMtGenModel Model;
  TMtGenInfo Info;
  std::string Path;
};

TEST_F(SiteFileLoad, HeaderInfoBlockAndReferenceList) {
  Model.ReferenceType = 4;
  Model.WithTipper = true;
  Write("site.mt1");
  auto site = OpenSite(Path, false);
  EXPECT_EQ(site->IsMtKind, 1);
  EXPECT_EQ(site->FreqCount, 40);
  EXPECT_EQ(site->ChannelCount, 7);
  EXPECT_EQ(std::string(site->ChannelNames[1].data(), 4), "Hx  ");
  EXPECT_EQ(std::string(site->ChannelNames[7].data(), 4), "Ry  ");
  const int16_t order[7] = {4, 5, 1, 2, 3, 6, 7};
  for (int c = 1; c <= 7; ++c) EXPECT_EQ(site->ChannelOrder[c], order[c - 1]) << c;
  for (int c = 1; c <= 7; ++c) EXPECT_EQ(site->StoredChannelOrder[c], order[c - 1]) << c;
  EXPECT_EQ(site->WeightingType, 2);
  EXPECT_EQ(site->Cutoff, 0.5);
  EXPECT_EQ(site->ReferenceType, 4);
  EXPECT_EQ(site->CurrentReference, 4);
  EXPECT_EQ(site->ReferenceCount, 3);
  EXPECT_EQ(site->ReferenceNames[1], "RH");
  EXPECT_EQ(site->ReferenceNames[2], "le");
  EXPECT_EQ(site->ReferenceNames[3], "lh");
  EXPECT_EQ(site->ReferenceTypes[1], 4);
  EXPECT_EQ(site->ReferenceTypes[2], 1);
  EXPECT_EQ(site->ReferenceTypes[3], 3);
  EXPECT_EQ(site->DisplayReference, 2);
  // The information block went through the header parser.
  EXPECT_EQ(site->Header.Job.str(), "A1234");
  EXPECT_EQ(site->Header.JobPrefix.str(), "A12");
  EXPECT_EQ(site->Header.Point.SiteDesc.str(), "S107");
  EXPECT_EQ(site->Header.LabelSource, 120);
  EXPECT_EQ(site->RobustParams.ReferenceType, 4);
  EXPECT_EQ(site->RobustParams.WeightingType, 2);
  EXPECT_EQ(site->Header.FileName, "SITE.MT1");
  EXPECT_EQ(site->Header.FullPath, UpperCase(Path));
  EXPECT_EQ(std::string(site->InfoLines[1].data(), 15), "RUN INFORMATION");
}

TEST_F(SiteFileLoad, ReferenceListOfEveryType) {
  struct Case {
    int Type;
    int Count;
    std::vector<std::string> Names;
  };
  const Case cases[] = {{1, 2, {"LE", "lh"}}, {3, 2, {"LH", "le"}}, {2, 3, {"RE", "le", "lh"}}};
  for (const auto& c : cases) {
    Model.ReferenceType = c.Type;
    Model.EstimateCount = 3;
    Write();
    auto site = OpenSite(Path, false);
    EXPECT_EQ(site->ReferenceCount, c.Count);
    for (int i = 0; i < c.Count; ++i) EXPECT_EQ(site->ReferenceNames[i + 1], c.Names[static_cast<size_t>(i)]);
  }
  TMTFile bad;
  bad.ReferenceType = 5;
  EXPECT_THROW(bad.BuildReferenceList(), ERangeError);
}

TEST_F(SiteFileLoad, FileKindFollowsTheExtension) {
  struct Case {
    const char* Name;
    int Freqs, Kind;
  };
  for (const Case& c :
       {Case{"SITE.AMT", 28, 0}, Case{"site.am2", 28, 0}, Case{"site.mt1", 40, 1}, Case{"site.Am", 28, 0}}) {
    Model.EstimateCount = 2;
    Write(c.Name);
    EXPECT_EQ(Info.FreqCount, c.Freqs);
    auto site = OpenSite(Path, false);
    EXPECT_EQ(site->FreqCount, c.Freqs) << c.Name;
    EXPECT_EQ(site->IsMtKind, c.Kind) << c.Name;
    EXPECT_EQ(site->ValidFreqCount, c.Freqs) << c.Name;
  }
}

TEST_F(SiteFileLoad, EstimatesWeightsMasksAndStack) {
  Model.EstimateCount = 30;
  Model.Edits = {TMtGenEdit{}};
  Write();
  auto site = OpenSite(Path, false);
  for (int f = 1; f <= 40; ++f) {
    EXPECT_EQ(site->XprCount[f], 30);
    EXPECT_DOUBLE_EQ(site->Frequencies[f], Info.Frequencies[static_cast<size_t>(f - 1)]) << f;
    EXPECT_EQ(site->Plots[f][99], site->Frequencies[f]);
    const auto& out = Info.Outliers[static_cast<size_t>(f - 1)];
    for (int x = 1; x <= 30; ++x) {
      EXPECT_EQ(site->Weight1[f][x], Model.Segments);
      EXPECT_EQ(site->Weight2[f][x], Model.Segments);
      const bool isOut = std::find(out.begin(), out.end(), x) != out.end();
      // The stored edit removed the outliers; estimates above 20 are not in the mask record.
      EXPECT_EQ(site->Mask[f][x], x > 20 ? 0 : isOut ? 2 : 1) << f << " " << x;
    }
  }
  EXPECT_EQ(site->ValidFreqCount, 40);
  EXPECT_EQ(site->ToFreq, 40);
  // The stack of the mask record is the sum of the used estimates.
  const TFreqMatrices stored = site->StackedMatrix;
  const double w1 = site->WeightSum1[7], w2 = site->WeightSum2[7];
  for (int f = 1; f <= 40; ++f) site->RestackFrequency(f);
  EXPECT_EQ(site->StackedMatrix, stored);
  EXPECT_EQ(site->WeightSum1[7], w1);
  EXPECT_EQ(site->WeightSum2[7], w2);
  EXPECT_EQ(w2, Model.Segments * (20.0 - static_cast<double>(Info.Outliers[6].size())));
}

TEST_F(SiteFileLoad, RotationComesFromTheChosenEdit) {
  struct Case {
    TMtGenEdit Edit;
    int Mode;
    double Angle;
  };
  const Case cases[] = {{{0, -30}, 0, -30}, {{0, 125}, 0, 125}, {{0, 5}, 0, 5}, {{1, 0}, 1, 0}};
  for (const auto& c : cases) {
    Model.EstimateCount = 2;
    Model.Edits = {c.Edit};
    Write();
    auto site = OpenSite(Path, false);
    EXPECT_EQ(site->RotationMode, c.Mode);
    EXPECT_EQ(site->RotationFlag, c.Mode);
    EXPECT_EQ(site->RotationAngle, c.Angle);
  }
  // An older edit is chosen while the title read last is the newest one's.
  Model.Edits = {{1, 0}, {0, 30}};
  Write();
  auto site = std::make_unique<TMTFile>();
  site->OpenMtFile(Path);
  EXPECT_NE(Title(site->RecordTags[0]).find("ROT=30 DEG."), std::string::npos);
  site->StartEdit = 1;
  site->StartFromStoredEdit = true;
  site->CurrentEditBlock = site->PlotBlocks[2];
  site->LoadEdit();
  EXPECT_EQ(site->RotationMode, 1);
  // Without a stored edit chosen there is no rotation.
  site->StartFromStoredEdit = false;
  site->RotationAngle = 12;
  site->LoadEdit();
  EXPECT_EQ(site->RotationMode, 0);
  EXPECT_EQ(site->RotationAngle, 0);
}

TEST(SiteFileGrid, RebuildRoundsToTheGridAndKeepsInvalidFrequencies) {
  auto site = std::make_unique<TMTFile>();
  site->FreqCount = 3;
  site->Plots[1][1] = 10;
  site->Plots[1][60] = std::log10(1234.0);
  site->Plots[2][1] = 0;  // not valid: keeps its value
  site->Frequencies[2] = 77;
  site->Plots[3][1] = 5;
  site->Plots[3][60] = std::log10(0.0567);
  const std::string log = CaptureLog([&] { site->RebuildFrequencyGrid(true); });
  EXPECT_DOUBLE_EQ(site->Frequencies[1], 1230);
  EXPECT_DOUBLE_EQ(site->Frequencies[2], 77);
  EXPECT_DOUBLE_EQ(site->Frequencies[3], 0.057);
  EXPECT_EQ(site->Plots[2][99], 77);
  EXPECT_EQ(site->ValidFreqCount, 2);
  EXPECT_EQ(site->ToFreq, 3);  // the range ends at the last valid row, not at the count
  EXPECT_EQ(log,
            "Frequency grid, Hz:, Number=3(2) \n"
            "  1 1230.0000000  2   77.0000000  3    0.0570000\n");
}

TEST_F(SiteFileLoad, OperationLog) {
  Model.OplogLines = 3;
  Write();
  auto site = OpenSite(Path, false);
  const std::string log = CaptureLog([&] { site->ReadOplog(); });
  EXPECT_EQ(site->OplogLineCount, 3);
  EXPECT_EQ(site->OplogLines[0], "Oplog lines site.mt1");
  EXPECT_EQ(site->OplogLines[1], "OPLG-TIME: 24May20 SYNTHETIC PROCESSING");
  EXPECT_EQ(site->OplogLines[2], "Step 1: synthetic estimate set, 20 XPRs");
  EXPECT_EQ(log, "\nRead Oplog lines site.mt1\nOPLG-TIME: 24May20 SYNTHETIC PROCESSING\n");
  TStringList list;
  site->ListOplog(list);
  ASSERT_EQ(list.Count(), 6);
  EXPECT_EQ(list[4], "Step 3: synthetic estimate set, 20 XPRs");
  EXPECT_EQ(list[5], "-----------");

  // More than 49 lines do not fit the log lines.
  auto bytes = ReadBytes(Path);
  const size_t count = AfterTitle(bytes, site->OplogBlocks[1]);
  bytes[count + 1] = 50;
  WriteBytes(Path, bytes);
  auto bad = OpenSite(Path, false);
  EXPECT_THROW(CaptureLog([&] { bad->ReadOplog(); }), ERangeError);
}

// A row without results is not counted, but its stored log10 f keeps it on the grid.
TEST_F(SiteFileLoad, FrequencyWithoutResultIsNotValid) {
  Write();
  auto bytes = ReadBytes(Path);
  // Parameter 1 of frequency 3 in the (only) result record.
  const int plotBlock = 1 + Model.EstimateCount + 1;
  const size_t p1 = AfterTitle(bytes, plotBlock) + static_cast<size_t>(2 * 60) * 9;
  ASSERT_EQ(bytes[p1], MtTagDouble);
  std::memset(bytes.data() + p1 + 1, 0, 8);
  WriteBytes(Path, bytes);
  auto site = OpenSite(Path);
  EXPECT_EQ(site->ValidFreqCount, 39);
  EXPECT_DOUBLE_EQ(site->Frequencies[3], Info.Frequencies[2]);
  EXPECT_DOUBLE_EQ(site->Plots[3][99], Info.Frequencies[2]);
  EXPECT_EQ(site->ToFreq, 40);
}

TEST_F(SiteFileLoad, FileWithoutResultRecordsOpens) {
  Model.EstimateCount = 3;
  Write();
  auto bytes = ReadBytes(Path);
  const int plotBlock = 1 + 3 + 1;
  bytes[static_cast<size_t>(plotBlock) * MtBlockSize + 3] = 'Q';  // "QLOT-COMP:"
  WriteBytes(Path, bytes);
  auto site = std::make_unique<TMTFile>();
  const std::string log = CaptureLog([&] { site->OpenMtFile(Path); });
  EXPECT_NE(log.find("PLOT-COMP Missing\n"), std::string::npos);
  EXPECT_EQ(site->PlotRecordCount, 0);
  EXPECT_EQ(site->CurrentEditBlock, 0);
  CaptureLog([&] { site->LoadEdit(); });
  EXPECT_EQ(site->ValidFreqCount, 0);
  EXPECT_EQ(site->XprCount[1], 3);
}

TEST_F(SiteFileLoad, DamagedFilesNeverCrashAndAreNeverWritten) {
  Model.EstimateCount = 4;
  Model.Edits = {TMtGenEdit{}};
  Model.WithTipper = true;
  Write();
  const auto good = ReadBytes(Path);
  std::mt19937 rnd(7);
  int refused = 0;
  for (int round = 0; round < 300; ++round) {
    auto bytes = good;
    // A few bytes changed near item boundaries of a random block, or a block cut short.
    const int block = static_cast<int>(rnd() % (good.size() / MtBlockSize));
    const size_t base = static_cast<size_t>(block) * MtBlockSize;
    const int changes = 1 + static_cast<int>(rnd() % 4);
    for (int k = 0; k < changes; ++k) {
      const size_t at = base + rnd() % (round % 2 ? 64 : 3000);
      bytes[at] = static_cast<uint8_t>(rnd());
    }
    if (round % 50 == 49) bytes.resize(bytes.size() - MtBlockSize / 2);
    WriteBytes(Path, bytes);
    auto site = std::make_unique<TMTFile>();
    bool opened = false;
    CaptureLog([&] {
      try {
        site->OpenMtFile(Path);
        opened = true;
        site->StartEdit = std::max(0, site->PlotRecordCount - 1);
        site->CurrentEditBlock = site->PlotRecordCount ? site->PlotBlocks[site->StartEdit + 1] : 0;
        site->LoadEdit();
        site->CalcPartialPlots();
      } catch (const Exception&) {
        ++refused;
      }
      if (!opened) {
        // A file that did not open is never written to.
        EXPECT_THROW(site->SaveEdit(1), Exception);
        EXPECT_EQ(ReadBytes(Path), bytes);
      }
    });
  }
  EXPECT_GT(refused, 0);
}
