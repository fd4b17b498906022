// Saving an edit into the site file and reopening it.
#include <gtest/gtest.h>

#include "mtdata/mt_block_file.h"
#include "platform/streams.h"
#include "platform/sysutils.h"
#include "sitefile_fixture.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sitefile_test;

namespace {
std::string FixedDate() { return "26Dec10"; }

// Makes a file unwritable for this process: the immutable flag (which binds root too), else
// the permission bits. False when neither keeps it writable-proof.
bool MakeUnwritable(const std::string& Path, bool On) {
  const int fd = open(Path.c_str(), O_RDONLY);
  if (fd >= 0) {
    int flags = 0;
    if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
      flags = On ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
      ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    close(fd);
  }
  chmod(Path.c_str(), On ? 0444 : 0644);
  const int probe = open(Path.c_str(), O_RDWR);
  if (probe >= 0) close(probe);
  return probe < 0;
}
}  // namespace

class SiteFileSave : public ::testing::Test {
protected:
  void SetUp() override {
    TMTFile::EditDateText = FixedDate;
    Model.ReferenceType = 4;
    Model.WithTipper = true;
    Write();
  }
  void TearDown() override { TMTFile::EditDateText = FSavedDate; }
  void Write() {
    Path = Dir.File("site.mt1");
    MtGenWrite(Model, Path, &Info);
  }
  std::string Save(TMTFile& Site, int Mode = 1) {
    return CaptureLog([&] { Site.SaveEdit(Mode); });
  }
  std::string (*FSavedDate)() = TMTFile::EditDateText;
  TTempDir Dir;
  TMtGenModel Model;
  TMtGenInfo Info;
  std::string Path;
};

TEST_F(SiteFileSave, AppendsTheEditPairAndReopensWithIt) {
  auto site = OpenSite(Path);
  const int64_t before = FileSizeOf(Path);
  site->RotationAngle = -30;
  for (int f = 1; f <= 40; ++f) {
    for (int o : Info.Outliers[static_cast<size_t>(f - 1)]) site->Mask[f][o] = 2;
    site->RestackFrequency(f);
    site->CalcFrequency(f);
  }
  EXPECT_EQ(Save(*site), "");
  EXPECT_EQ(site->EditWriteBlock, Info.BlockCount);
  EXPECT_EQ(FileSizeOf(Path), before + 2 * MtBlockSize);

  // The two records as written.
  const auto bytes = ReadBytes(Path);
  TMtBlockReader r;
  r.Assign(bytes.data() + static_cast<size_t>(Info.BlockCount) * MtBlockSize, MtBlockSize, Info.BlockCount);
  EXPECT_EQ(r.ReadString(), "PLOT-EDIT:A12-00-S107,WGT=RHOVAR,CUT=0.50,REF=REM H ,ROT=-30 DEG.");
  EXPECT_EQ(r.ReadDouble(), site->Plots[1][1]);
  r.Assign(bytes.data() + static_cast<size_t>(Info.BlockCount + 1) * MtBlockSize, MtBlockSize, Info.BlockCount + 1);
  EXPECT_EQ(r.ReadString(), "XPWR-EDIT: Hx   Hy   Hz   Ex   Ey   Rx   Ry  ");
  EXPECT_EQ(r.ReadString(), "26Dec10");
  EXPECT_EQ(r.ReadString(), " EDITTED XPOWER ");
  EXPECT_EQ(r.ReadSmallint(), 7);

  // Reopened: one more result record and edit, the masks and the computed stack come back.
  auto again = OpenSite(Path);
  EXPECT_EQ(again->PlotRecordCount, site->PlotRecordCount + 1);
  EXPECT_EQ(again->EditRecordCount, site->EditRecordCount + 1);
  EXPECT_EQ(again->BlockCount, Info.BlockCount + 2);
  EXPECT_EQ(again->RotationAngle, -30);
  for (int f = 1; f <= 40; ++f)
    for (int x = 1; x <= 20; ++x) ASSERT_EQ(again->Mask[f][x], site->Mask[f][x]) << f << " " << x;
  for (int f = 1; f <= 40; ++f)
    for (int p : {1, 2, 3, 4, 45, 52}) EXPECT_EQ(again->Plots[f][p], site->Plots[f][p]) << f << " " << p;
}

TEST_F(SiteFileSave, SecondSaveReplacesTheFirstUntilReopened) {
  auto site = OpenSite(Path);
  const int64_t before = FileSizeOf(Path);
  Save(*site);
  site->RotationMode = 1;
  Save(*site);
  EXPECT_EQ(FileSizeOf(Path), before + 2 * MtBlockSize);
  auto again = OpenSite(Path, false);
  EXPECT_EQ(again->EditRecordCount, 1);
  EXPECT_EQ(again->RotationMode, 1);
  EXPECT_NE(Title(again->RecordTags[again->PlotRecordCount]).find("ROT=P.AXES."), std::string::npos);
}

TEST_F(SiteFileSave, ModeZeroReplacesThePairInUse) {
  Model.Edits = {TMtGenEdit{0, 10}};
  Write();
  auto site = OpenSite(Path);
  const auto before = ReadBytes(Path);
  site->RotationAngle = 20;
  Save(*site, 0);
  const auto after = ReadBytes(Path);
  ASSERT_EQ(after.size(), before.size());
  // Only the last pair (the edit in use) changed.
  const size_t keep = before.size() - 2 * MtBlockSize;
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + static_cast<std::ptrdiff_t>(keep), after.begin()));
  auto again = OpenSite(Path, false);
  EXPECT_EQ(again->PlotRecordCount, 2);
  EXPECT_EQ(again->RotationAngle, 20);
}

TEST_F(SiteFileSave, MasksAboveTwentyAreReportedWhenNotStored) {
  Model.EstimateCount = 30;
  Write();
  auto site = OpenSite(Path);
  EXPECT_EQ(Save(*site), "");  // estimates 21..30 load with mask 0: nothing is lost
  site->Mask[3][21] = 1;
  site->Mask[3][25] = 2;
  site->Mask[4][30] = 2;
  const std::string log = Save(*site);
  EXPECT_NE(log.find("3 masks of XPRs above 20 (2 of them removed by editing) are not stored in site.mt1"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("package"), std::string::npos);
}

TEST_F(SiteFileSave, FilesNotReadAreNeverWritten) {
  TMTFile fresh;
  EXPECT_THROW(fresh.SaveEdit(1), EInOutError);

  // A file whose header is damaged fails to open; saving then leaves it untouched.
  auto bytes = ReadBytes(Path);
  bytes[MtBlockSize - 1] = 0;
  const size_t channelCount = 3 + bytes[1] + 11 + 19 + 3;  // after title, id, description, value
  bytes[channelCount] = 0x42;                              // not a tag
  WriteBytes(Path, bytes);
  auto site = std::make_unique<TMTFile>();
  EXPECT_THROW(CaptureLog([&] { site->OpenMtFile(Path); }), Exception);
  EXPECT_THROW(site->SaveEdit(1), EWriteError);
  EXPECT_THROW(site->SaveEdit(0), EWriteError);
  EXPECT_EQ(ReadBytes(Path), bytes);
}

// A file that may be read but not written opens for viewing; saving into it is refused and
// leaves it as it was.
TEST_F(SiteFileSave, ReadOnlyFileOpensAndRefusesToSave) {
  if (!MakeUnwritable(Path, true)) {
    MakeUnwritable(Path, false);
    GTEST_SKIP() << "cannot make a file unwritable here";
  }
  const auto before = ReadBytes(Path);
  auto site = std::make_unique<TMTFile>();
  std::string log;
  try {
    log = CaptureLog([&] {
      site->OpenMtFile(Path);
      site->StartEdit = site->PlotRecordCount - 1;
      site->CurrentEditBlock = site->PlotBlocks[site->StartEdit + 1];
      site->LoadEdit();
      site->CalcPartialPlots();
    });
  } catch (...) {
    MakeUnwritable(Path, false);
    throw;
  }
  EXPECT_TRUE(site->ReadOnly());
  EXPECT_NE(log.find("Read-only MT-file"), std::string::npos);
  EXPECT_GT(site->Plots[1][1], 0);
  EXPECT_THROW(site->SaveEdit(1), EWriteError);
  EXPECT_THROW(CaptureLog([&] { site->RotateXprSpectra(30); }), EWriteError);
  site.reset();
  MakeUnwritable(Path, false);
  EXPECT_EQ(ReadBytes(Path), before);
}

// A frequency whose estimates were all removed is saved without results. Reopened, it keeps its
// frequency, its single estimates are computed, restoring them gives its results back, and the
// range still reaches the last row (a set sums it).
TEST_F(SiteFileSave, FrequencyEmptiedByHandReopensOnTheGrid) {
  Model.ReferenceType = 1;
  for (int emptied : {17, 40}) {
    SCOPED_TRACE(emptied);
    Write();
    auto site = OpenSite(Path);
    const double rho = site->Plots[emptied][1];
    const double single = site->PartialPlots[emptied - 1][0][4];
    ASSERT_GT(rho, 0);
    ASSERT_GT(single, 0);
    std::vector<int16_t> kept;
    for (int x = 1; x <= Model.EstimateCount; ++x) kept.push_back(site->Mask[emptied][x]);
    for (int x = 1; x <= Model.EstimateCount; ++x) site->Mask[emptied][x] = 2;
    site->MaskChanged(emptied);
    ASSERT_EQ(site->Plots[emptied][1], 0);
    Save(*site);

    auto again = OpenSite(Path);
    EXPECT_EQ(again->ValidFreqCount, 39);
    EXPECT_EQ(again->ToFreq, 40);
    EXPECT_DOUBLE_EQ(again->Frequencies[emptied], Info.Frequencies[static_cast<size_t>(emptied - 1)]);
    EXPECT_EQ(again->Plots[emptied][1], 0);
    EXPECT_DOUBLE_EQ(again->PartialPlots[emptied - 1][0][4], single);
    EXPECT_DOUBLE_EQ(again->PartialPlots[39][0][4], site->PartialPlots[39][0][4]);
    for (int x = 1; x <= Model.EstimateCount; ++x) again->Mask[emptied][x] = kept[static_cast<size_t>(x - 1)];
    again->MaskChanged(emptied);
    EXPECT_NEAR(again->Plots[emptied][1], rho, rho * 1e-9);
  }
}
