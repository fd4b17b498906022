// Saving never loses data: a write that fails half-way (the file-size limit of the process
// stands in for a full disk), the record limit of the MT-file, a record scan that stops early,
// packages and EDI exports replaced only when complete, and a site still open at the end.
#include <gtest/gtest.h>

#include "edi_test_util.h"
#include "mtdata/edi_writer.h"
#include "mtdata/mt_block_file.h"
#include "mtdata/open_site.h"
#include "mtdata/package_file.h"
#include "mtdata/site_file.h"
#include "platform/sysutils.h"
#include "sitefile_fixture.h"

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <thread>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sitefile_test;

namespace {

// While alive, files of this process cannot grow beyond Limit bytes: a write past it fails
// half-way, as on a disk that fills up.
class TFileSizeLimit {
public:
  explicit TFileSizeLimit(int64_t Limit) {
    getrlimit(RLIMIT_FSIZE, &FOld);
    FOldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit r = FOld;
    r.rlim_cur = static_cast<rlim_t>(Limit);
    setrlimit(RLIMIT_FSIZE, &r);
  }
  ~TFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &FOld);
    std::signal(SIGXFSZ, FOldSignal);
  }

private:
  rlimit FOld{};
  void (*FOldSignal)(int) = nullptr;
};

std::string FixedDate() { return "26Dec10"; }

class SaveFaults : public ::testing::Test {
protected:
  void SetUp() override {
    TMTFile::EditDateText = FixedDate;
    Path = Dir.File("site.mt1");
    MtGenWrite(Model, Path, &Info);
  }
  void TearDown() override {
    TMTFile::EditDateText = FSavedDate;
    FreeSite();
  }
  std::string (*FSavedDate)() = TMTFile::EditDateText;
  TTempDir Dir;
  TMtGenModel Model;
  TMtGenInfo Info;
  std::string Path;
};

// The blocks whose records are result records, found from the bytes of the file.
std::vector<int> ResultBlocks(const std::vector<uint8_t>& Bytes) {
  std::vector<int> blocks;
  for (std::size_t b = 0; (b + 1) * MtBlockSize <= Bytes.size(); ++b) {
    const uint8_t* p = Bytes.data() + b * MtBlockSize;
    if (p[0] == MtTagText && std::string(reinterpret_cast<const char*>(p) + 3, 4) == "PLOT")
      blocks.push_back(static_cast<int>(b) + 1);
  }
  return blocks;
}

// An append that fails half-way leaves the file as it was, reports the file, and keeps the
// site's edits: once there is room again the same site saves them.
TEST_F(SaveFaults, FailedAppendCutsTheFileBack) {
  auto site = OpenSite(Path);
  const auto before = ReadBytes(Path);
  site->RotationAngle = 25;
  for (int f = 1; f <= 40; ++f) {
    site->Mask[f][2] = 2;
    site->RestackFrequency(f);
    site->CalcFrequency(f);
  }
  const double rho = site->Plots[7][1];
  {
    TFileSizeLimit full(static_cast<int64_t>(before.size()) + MtBlockSize / 2 + 1000);
    try {
      site->SaveEdit(1);
      ADD_FAILURE() << "saved past the limit";
    } catch (const EWriteError& e) {
      EXPECT_NE(e.Message().find(Path), std::string::npos) << e.Message();
      EXPECT_NE(e.Message().find("File too large"), std::string::npos) << e.Message();  // the system's reason
    }
  }
  EXPECT_EQ(ReadBytes(Path), before);
  EXPECT_EQ(site->Plots[7][1], rho);
  EXPECT_EQ(site->Mask[7][2], 2);
  auto reopened = OpenSite(Path, false);
  EXPECT_EQ(reopened->PlotRecordCount, site->PlotRecordCount);

  EXPECT_EQ(CaptureLog([&] { site->SaveEdit(1); }), "");
  auto saved = OpenSite(Path, false);
  EXPECT_EQ(saved->PlotRecordCount, site->PlotRecordCount + 1);
  EXPECT_EQ(saved->RotationAngle, 25);
  EXPECT_EQ(saved->Mask[7][2], 2);
}

// Reopening and saving again and again fills the file's result records; the save that would
// pass the limit is refused with a message naming the file, the limit and the way out, and the
// file keeps opening.
TEST_F(SaveFaults, RecordLimitIsNeverPassed) {
  const int first = OpenSite(Path, false)->PlotRecordCount;
  ASSERT_LT(first, MaxResultRecords);
  for (int n = first; n < MaxResultRecords; ++n) {
    auto site = OpenSite(Path, false);
    site->RotationAngle = n;
    CaptureLog([&] { site->SaveEdit(1); });
  }
  auto site = OpenSite(Path);
  EXPECT_EQ(site->PlotRecordCount, MaxResultRecords);
  const auto before = ReadBytes(Path);
  site->RotationAngle = 77;
  try {
    site->SaveEdit(1);
    ADD_FAILURE() << "an eleventh result record was written";
  } catch (const EWriteError& e) {
    EXPECT_NE(e.Message().find(Path), std::string::npos) << e.Message();
    EXPECT_NE(e.Message().find(IntToStr(MaxResultRecords) + " result records"), std::string::npos);
    EXPECT_NE(e.Message().find("package"), std::string::npos);
  }
  EXPECT_EQ(ReadBytes(Path), before);
  EXPECT_EQ(site->RotationAngle, 77);
  // Replacing the record in use stays possible.
  CaptureLog([&] { site->SaveEdit(0); });
  EXPECT_EQ(OpenSite(Path, false)->RotationAngle, 77);
}

// A file written elsewhere with more result records than the index holds opens with the newest
// of them and a log line.
TEST_F(SaveFaults, FileBeyondTheRecordLimitOpensWithTheNewest) {
  for (int k = 1; k <= 9; ++k) Model.Edits.push_back(TMtGenEdit{0, static_cast<double>(k)});
  MtGenWrite(Model, Path, &Info);
  // Two more edit pairs, copies of the last with the angles 11 and 12 in their titles.
  auto bytes = ReadBytes(Path);
  const std::vector<uint8_t> pair(bytes.end() - 2 * MtBlockSize, bytes.end());
  for (const char* angle : {"11", "12"}) {
    std::vector<uint8_t> copy = pair;
    const std::string title(reinterpret_cast<const char*>(copy.data()) + 3, 80);
    const std::size_t rot = title.find("ROT=");
    ASSERT_NE(rot, std::string::npos);
    copy[3 + rot + 4] = static_cast<uint8_t>(angle[0]);
    copy[3 + rot + 5] = static_cast<uint8_t>(angle[1]);
    bytes.insert(bytes.end(), copy.begin(), copy.end());
  }
  WriteBytes(Path, bytes);
  const std::vector<int> blocks = ResultBlocks(bytes);
  ASSERT_EQ(static_cast<int>(blocks.size()), MaxResultRecords + 2);
  auto site = std::make_unique<TMTFile>();
  const std::string log = CaptureLog([&] { site->OpenMtFile(Path); });
  EXPECT_NE(log.find(Path + " holds " + IntToStr(static_cast<int>(blocks.size())) + " result records"),
            std::string::npos)
      << log;
  ASSERT_EQ(site->PlotRecordCount, MaxResultRecords);
  for (int k = 1; k <= MaxResultRecords; ++k)
    EXPECT_EQ(site->PlotBlocks[k], blocks[blocks.size() - MaxResultRecords + k - 1]) << k;
  EXPECT_EQ(site->EditRecordCount, MaxResultRecords);
  EXPECT_NE(Title(site->RecordTags[MaxResultRecords]).find("ROT=12 DEG."), std::string::npos);
  auto loaded = OpenSite(Path);
  EXPECT_EQ(loaded->RotationAngle, 12);
  EXPECT_GT(loaded->Plots[1][1], 0);
  try {
    loaded->SaveEdit(1);
    ADD_FAILURE() << "a thirteenth result record was written";
  } catch (const EWriteError& e) {
    EXPECT_NE(e.Message().find("holds 12 result records"), std::string::npos) << e.Message();
  }
}

// A block whose first item is an empty text ends the scan. An edit appended at the end of the
// file would lie behind it and never be found again, so the file opens read-only.
TEST_F(SaveFaults, ScanStoppedByAnEmptyTitleOpensReadOnly) {
  auto bytes = ReadBytes(Path);
  std::vector<uint8_t> empty(MtBlockSize, 0);
  empty[0] = MtTagText;  // a text of length 0
  const std::vector<uint8_t> lastResult(bytes.end() - 2 * MtBlockSize, bytes.end());
  for (bool behind : {true, false}) {
    SCOPED_TRACE(behind ? "records behind the empty block" : "empty block last");
    auto damaged = bytes;
    damaged.insert(damaged.end(), empty.begin(), empty.end());
    if (behind) damaged.insert(damaged.end(), lastResult.begin(), lastResult.end());
    WriteBytes(Path, damaged);
    auto site = std::make_unique<TMTFile>();
    const std::string log = CaptureLog([&] {
      site->OpenMtFile(Path);
      site->LoadEdit();
      site->CalcPartialPlots();
    });
    EXPECT_TRUE(site->ReadOnly());
    EXPECT_NE(log.find(Path + " stops at block " + IntToStr(static_cast<int>(bytes.size() / MtBlockSize) + 1)),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("opened read-only"), std::string::npos);
    EXPECT_GT(site->Plots[1][1], 0);  // the records before it are read
    EXPECT_THROW(site->SaveEdit(1), EWriteError);
    EXPECT_EQ(ReadBytes(Path), damaged);
  }
  // The undamaged file stays writable.
  WriteBytes(Path, bytes);
  EXPECT_FALSE(OpenSite(Path, false)->ReadOnly());
}

// A package or an EDI export that fails half-way keeps the old file whole and leaves nothing
// beside it.
TEST_F(SaveFaults, PackageAndEdiExportReplaceTheOldFileOnlyWhenComplete) {
  std::vector<std::string> names{Path};
  CaptureLog([&] { ASSERT_TRUE(LoadSite(names)); });
  const std::string package = Dir.File("site.mpk");
  const std::string edi = Dir.File("site.edi");
  SavePackage(package);
  CaptureLog([&] { ExportEdi(edi, *CurrentSite, 1); });
  const std::string oldPackage = edi_test::ReadText(package);
  const std::string oldEdi = edi_test::ReadText(edi);
  ASSERT_GT(oldPackage.size(), 200u);
  ASSERT_GT(oldEdi.size(), 2000u);

  CurrentSite->Mask[5][3] = 2;
  CurrentSite->RotationAngle = 40;
  {
    TFileSizeLimit full(static_cast<int64_t>(oldPackage.size()) / 2);
    EXPECT_THROW(SavePackage(package), EFCreateError);
  }
  {
    TFileSizeLimit full(static_cast<int64_t>(oldEdi.size()) / 2);
    EXPECT_THROW(CaptureLog([&] { ExportEdi(edi, *CurrentSite, 1); }), EFCreateError);
  }
  EXPECT_EQ(edi_test::ReadText(package), oldPackage);
  EXPECT_EQ(edi_test::ReadText(edi), oldEdi);
  int files = 0;
  for ([[maybe_unused]] const auto& entry :
       std::filesystem::directory_iterator(std::filesystem::path(Path).parent_path()))
    ++files;
  EXPECT_EQ(files, 3);  // the site file, the package and the export

  SavePackage(package);
  EXPECT_NE(edi_test::ReadText(package), oldPackage);
  TPackageData read;
  ReadPackage(package, read);
  EXPECT_EQ(read.RotationAngle, 40);
}

// A program that ends with a site open frees it, and its file streams, without touching freed
// memory (the sanitizer configuration turns such a write into a failed exit).
TEST_F(SaveFaults, SiteStillOpenAtTheEndOfTheProgram) {
  std::fflush(nullptr);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::freopen("/dev/null", "w", stdout);
    std::vector<std::string> names{Path};
    try {
      if (!LoadSite(names)) std::_Exit(3);
    } catch (...) {
      std::_Exit(4);
    }
    std::exit(0);  // static objects are destroyed with the site still open
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace

namespace {

// The blocks of a pair a save left behind: the result record written, the mask record
// written, each only in part, or the pair never published.
enum class TTear { CutInMask, CutAtMask, CutInResult, Unpublished, CheckMismatch };

}  // namespace

// A save cut short leaves a tail that opening detects and ignores with a log line: the file
// opens with the edit before, and the next save takes the place of the tail.
TEST_F(SaveFaults, TornTailIsIgnoredAndReplacedByTheNextSave) {
  auto site = OpenSite(Path, false);
  const int before = site->PlotRecordCount;
  site->RotationAngle = 33;
  CaptureLog([&] { site->SaveEdit(1); });
  const auto whole = ReadBytes(Path);
  const size_t pairAt = whole.size() - 2 * MtBlockSize;
  struct Case {
    TTear Tear;
    const char* Log;
  };
  for (const Case& c :
       {Case{TTear::CutInMask, "has no mask block"}, Case{TTear::CutAtMask, "has no mask block"},
        Case{TTear::CutInResult, "bytes of an unfinished edit (a save was cut short)"},
        Case{TTear::Unpublished, "was not finished"}, Case{TTear::CheckMismatch, "does not match its check"}}) {
    SCOPED_TRACE(c.Log);
    auto bytes = whole;
    switch (c.Tear) {
      case TTear::CutInMask:
        bytes.resize(pairAt + MtBlockSize + 4096);
        break;
      case TTear::CutAtMask:
        bytes.resize(pairAt + MtBlockSize);
        break;
      case TTear::CutInResult:
        bytes.resize(pairAt + 3 * 4096);
        break;
      case TTear::Unpublished:
        bytes[pairAt] = 0;
        break;
      case TTear::CheckMismatch:
        bytes[pairAt + MtBlockSize + 20000] ^= 1;  // a mask word from another save
        break;
    }
    WriteBytes(Path, bytes);
    auto torn = std::make_unique<TMTFile>();
    const std::string log = CaptureLog([&] {
      torn->OpenMtFile(Path);
      torn->StartEdit = torn->PlotRecordCount - 1;
      torn->CurrentEditBlock = torn->PlotBlocks[torn->StartEdit + 1];
      torn->LoadEdit();
    });
    EXPECT_NE(log.find(Path), std::string::npos) << log;
    EXPECT_NE(log.find(c.Log), std::string::npos) << log;
    EXPECT_EQ(torn->PlotRecordCount, before);
    EXPECT_NE(torn->RotationAngle, 33);
    torn->RotationAngle = 44;
    CaptureLog([&] { torn->SaveEdit(1); });
    EXPECT_EQ(ReadBytes(Path).size(), whole.size());
    auto saved = OpenSite(Path, false);
    EXPECT_EQ(saved->PlotRecordCount, before + 1);
    EXPECT_EQ(saved->RotationAngle, 44);
  }
}

// Saving again and again while the program is killed at random moments: every file opens as
// before the save or as after one, never with a pair of two saves. VM_KILL_RUNS sets the number
// of kills (a few dozen by default).
TEST_F(SaveFaults, KilledDuringRepeatedSavesNeverTearsAnEdit) {
  const char* env = std::getenv("VM_KILL_RUNS");
  const int runs = env ? std::atoi(env) : 30;
  const auto original = ReadBytes(Path);
  const int originalRecords = OpenSite(Path, false)->PlotRecordCount;
  std::mt19937 rnd(12345);
  int before = 0, after = 0, ignored = 0;
  for (int run = 0; run < runs; ++run) {
    WriteBytes(Path, original);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      std::freopen("/dev/null", "w", stdout);
      close(ready[0]);
      try {
        auto site = OpenSite(Path, false);
        if (write(ready[1], "s", 1) != 1) std::_Exit(5);
        for (int k = 1;; ++k) {
          // Save k: its angle and its one removed estimate name k in both records.
          site->RotationAngle = k % 100;
          for (int f = 1; f <= site->FreqCount; ++f) {
            for (int x = 1; x <= 20; ++x) site->Mask[f][x] = x == 1 + k % 20 ? 2 : 1;
            site->RestackFrequency(f);
          }
          site->SaveEdit(1);
        }
      } catch (...) {
        std::_Exit(4);
      }
    }
    close(ready[1]);
    char go = 0;
    ASSERT_EQ(read(ready[0], &go, 1), 1);
    close(ready[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(rnd() % 40000));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child ended by itself: " << WEXITSTATUS(status);

    auto site = std::make_unique<TMTFile>();
    std::string log;
    ASSERT_NO_THROW(log = CaptureLog([&] {
                      site->OpenMtFile(Path);
                      site->StartEdit = site->PlotRecordCount - 1;
                      site->CurrentEditBlock = site->PlotBlocks[site->StartEdit + 1];
                      site->StartFromStoredEdit = true;
                      site->LoadEdit();
                    }))
        << "run " << run;
    if (log.find("it is ignored") != std::string::npos || log.find("they are ignored") != std::string::npos) ++ignored;
    if (site->PlotRecordCount == originalRecords) {
      ++before;
      continue;
    }
    ASSERT_EQ(site->PlotRecordCount, originalRecords + 1) << "run " << run;
    ++after;
    // The title's angle, the mask words and the stack of the mask record come from one save.
    const int angle = static_cast<int>(site->RotationAngle);
    for (int f = 1; f <= site->FreqCount; ++f) {
      TMatrix7 stack{};
      for (int x = 1; x <= 20; ++x) {
        ASSERT_EQ(site->Mask[f][x], x == 1 + angle % 20 ? 2 : 1) << "run " << run << " f " << f << " x " << x;
        if (site->Mask[f][x] == 1)
          for (int k = 0; k < 49; ++k) stack.Data()[k] += site->XprMatrices[f][x].Data()[k];
      }
      for (int k = 0; k < 49; ++k)
        ASSERT_NEAR(site->StackedMatrix[f].Data()[k], stack.Data()[k], 1e-9 * (1 + std::fabs(stack.Data()[k])))
            << "run " << run << " f " << f;
    }
  }
  std::printf(
      "%d kills during saves: %d files as before the first save, %d as after a save, %d with an "
      "unfinished save ignored\n",
      runs, before, after, ignored);
  EXPECT_EQ(before + after, runs);
}
