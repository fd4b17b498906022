// The open site: one file, a sorted and summed set, a refused set, the start-edit choice, and
// EDI files.
#include <gtest/gtest.h>

#include "edi_test_util.h"
#include "mtdata/edi_writer.h"
#include "mtdata/mt_block_file.h"
#include "mtdata/open_site.h"
#include "mtdata/site_file.h"
#include "sitefile_fixture.h"

#include <filesystem>
#include <fstream>
#include <memory>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using sitefile_test::CaptureLog;
using sitefile_test::TTempDir;

namespace {

// Every test leaves no site open and the options as they were.
class OpenSiteTest : public ::testing::Test {
protected:
  void TearDown() override {
    FreeSite();
    StartEditDialog = nullptr;
    RequestFromToFrequency = false;
  }
  std::string Make(const std::string& Name, TMtGenModel Model = {}) {
    const std::string path = Dir.File(Name);
    MtGenWrite(Model, path);
    return path;
  }
  bool Load(std::vector<std::string>& Names, std::string* Log = nullptr) {
    bool ok = false;
    std::string log = CaptureLog([&] { ok = LoadSite(Names); });
    if (Log) *Log = log;
    return ok;
  }
  TTempDir Dir;
};

TEST_F(OpenSiteTest, OneFileOpensAsItself) {
  std::vector<std::string> names{Make("one.mt1")};
  ASSERT_TRUE(Load(names));
  ASSERT_EQ(SiteFiles.size(), 1u);
  EXPECT_EQ(CurrentSite, SiteFiles[0]);
  EXPECT_TRUE(CurrentSite->Loaded);
  auto reference = sitefile_test::OpenSite(names[0]);
  EXPECT_EQ(CurrentSite->ValidFreqCount, reference->ValidFreqCount);
  for (int f = 1; f <= CurrentSite->FreqCount; ++f) EXPECT_EQ(CurrentSite->Plots[f][1], reference->Plots[f][1]) << f;
  FreeSite();
  EXPECT_TRUE(SiteFiles.empty());
  EXPECT_EQ(CurrentSite, nullptr);
}

TEST_F(OpenSiteTest, ASetIsSortedByNameAndSummedOnOneGrid) {
  std::vector<std::string> names{Make("b.mt1"), Make("A.mt2")};
  std::string log;
  ASSERT_TRUE(Load(names, &log));
  EXPECT_EQ(names, (std::vector<std::string>{Dir.File("A.mt2"), Dir.File("b.mt1")}));
  ASSERT_EQ(SiteFiles.size(), 2u);
  EXPECT_NE(CurrentSite, SiteFiles[0]);
  EXPECT_TRUE(CurrentSite->Loaded);
  EXPECT_EQ(CurrentSite->FileName, Dir.File("A"));
  EXPECT_NE(log.find("New frequency grid, Hz:, Number=40"), std::string::npos);
  EXPECT_NE(log.find("XPRS number in Summed MT-File"), std::string::npos);
  const TMTFile& first = *SiteFiles[0];
  auto single = sitefile_test::OpenSite(names[0]);
  EXPECT_EQ(CurrentSite->FreqCount, 40);
  for (int f = 1; f <= 40; ++f) {
    EXPECT_EQ(CurrentSite->XprCount[f], 2 * first.XprCount[f]);
    // Two identical files: the sum of the stacks is twice the stack, the parameters the same.
    EXPECT_GT(single->Plots[f][1], 0);
    EXPECT_NEAR(CurrentSite->Plots[f][1], single->Plots[f][1], 1e-9 * single->Plots[f][1]) << f;
  }
  for (int c = 1; c <= 7; ++c) EXPECT_EQ(CurrentSite->ChannelOrder[c], first.ChannelOrder[c]);
}

TEST_F(OpenSiteTest, ASetWhoseReferencesDifferIsRefused) {
  TMtGenModel remote;
  remote.ReferenceType = frtRemoteE;
  std::vector<std::string> names{Make("s1.mt1"), Make("s2.mt1", remote), Make("s3.mt1")};
  std::string log;
  EXPECT_FALSE(Load(names, &log));
  EXPECT_NE(log.find(names[0] + " Loc E\n"), std::string::npos) << log;
  EXPECT_NE(log.find(names[1] + " Rem E - Uncompatible Reference\n"), std::string::npos);
  EXPECT_NE(log.find(names[2] + " Loc E\n"), std::string::npos);
  EXPECT_NE(log.find("\n\nEditing set of this files impossible\n\n"), std::string::npos);
  FreeSite();
  EXPECT_EQ(CurrentSite, nullptr);
}

// A set whose files keep their channels in different slots would be summed in the first file's
// order, mixing channels: it is refused as a set of mixed references is.
TEST_F(OpenSiteTest, SetOfMixedChannelOrdersIsRefused) {
  std::vector<std::string> names{Make("s1.mt1"), Make("s2.mt1")};
  // The second file's header: its first two channels in each other's slots.
  auto bytes = sitefile_test::ReadBytes(names[1]);
  TMtBlockReader r;
  r.Assign(bytes.data(), MtBlockSize, 0);
  for (int k = 0; k < 3; ++k) r.ReadString();
  char value[4];
  r.ReadItem(value, 4);
  r.ReadSmallint();
  for (int k = 0; k < 7; ++k) r.ReadString();
  const int order = r.Position();  // the seven Smallints of the channel order, slots 1..7
  ASSERT_EQ(bytes[static_cast<size_t>(order)], MtTagSmallint);
  std::swap(bytes[static_cast<size_t>(order) + 1], bytes[static_cast<size_t>(order) + 4]);
  sitefile_test::WriteBytes(names[1], bytes);

  std::string log;
  EXPECT_FALSE(Load(names, &log));
  EXPECT_NE(log.find(names[0] + " Loc E\n"), std::string::npos) << log;
  EXPECT_NE(log.find(names[1] + " Loc E - Channel order 5 4 1 2 0 6 7 differs from 4 5 1 2 0 6 7\n"), std::string::npos)
      << log;
  EXPECT_NE(log.find("\n\nEditing set of this files impossible\n\n"), std::string::npos);
}

TEST_F(OpenSiteTest, StartEditChoice) {
  TMtGenModel model;
  model.Edits = {TMtGenEdit{0, 30, true}, TMtGenEdit{0, 0, true}};
  const std::string path = Make("site.mt1", model);

  // Without the request the newest of the three stored results is used.
  std::vector<std::string> names{path};
  std::string log;
  ASSERT_TRUE(Load(names, &log));
  EXPECT_EQ(CurrentSite->PlotRecordCount, 3);
  EXPECT_EQ(CurrentSite->StartEdit, 2);
  EXPECT_NE(log.find("Edit plot number: 2\n"), std::string::npos);
  FreeSite();

  // With it, the dialog sees every stored result, the last one selected.
  RequestFromToFrequency = true;
  TStartEditRequest seen;
  int choice = 0;
  StartEditDialog = [&](TStartEditRequest& r) {
    seen = r;
    r.SelectedLine = choice;
    r.FromText = "3";
    r.ToText = "30";
  };
  ASSERT_TRUE(Load(names));
  EXPECT_EQ(seen.Caption, "site.mt1 From what the previous edit do you want to start edit?");
  ASSERT_EQ(seen.Lines.size(), 3u);
  EXPECT_EQ(seen.Lines[0].substr(0, 7), "1 PLOT-");
  EXPECT_EQ(seen.SelectedLine, 2);
  EXPECT_FALSE(seen.ShowRange);
  EXPECT_EQ(seen.SiteFile, CurrentSite.get());
  EXPECT_EQ(CurrentSite->StartEdit, 0);
  EXPECT_FALSE(CurrentSite->StartFromStoredEdit);
  EXPECT_EQ(CurrentSite->FromFreq, 3);
  EXPECT_EQ(CurrentSite->ToFreq, 30);
  FreeSite();

  // The second line is the first edit: its rotation applies.
  choice = 1;
  ASSERT_TRUE(Load(names));
  EXPECT_EQ(CurrentSite->StartEdit, 1);
  EXPECT_TRUE(CurrentSite->StartFromStoredEdit);
  EXPECT_EQ(CurrentSite->RotationAngle, 30);
}

TEST_F(OpenSiteTest, SummingPutsNearFrequenciesOnTheFirstGridEntryAndKeepsAtMost100) {
  auto make = [](double freq, int count) {
    auto f = std::make_shared<TMTFile>();
    f->FreqCount = 1;
    f->FromFreq = 1;
    f->ToFreq = 1;
    f->Frequencies[1] = freq;
    f->XprCount[1] = count;
    for (int x = 1; x <= count; ++x) {
      f->Weight1[1][x] = 1;
      f->Weight2[1][x] = 3;
      f->Mask[1][x] = static_cast<int16_t>(x % 2 + 1);
      f->XprMatrices[1][x][1][1] = x;
    }
    return f;
  };
  std::vector<std::shared_ptr<TMTFile>> files{make(100.0, 60), make(100.5, 60)};
  auto summed = std::make_unique<TMTFile>();
  CaptureLog([&] { SumSiteFiles(files, *summed); });
  ASSERT_EQ(summed->FreqCount, 2);
  EXPECT_EQ(summed->Frequencies[1], 100.5);
  EXPECT_EQ(summed->Frequencies[2], 100.0);
  EXPECT_EQ(summed->XprCount[1], 100);  // 120 estimates, the last 20 dropped
  EXPECT_EQ(summed->XprCount[2], 0);
  EXPECT_EQ(summed->XprMatrices[1][61][1][1], 1);
  EXPECT_EQ(summed->Mask[1][61], 2);
  EXPECT_EQ(summed->XprMatrices[1][100][1][1], 40);
}

TEST_F(OpenSiteTest, EdiFilesOpenAsOneSite) {
  TMtModel model = TMtModel::OneD(cd(3, 3));
  TMatrix7 re{}, im{};
  BuildCrossPowers(model, IdentityChannelOrder(), re, im);
  std::vector<std::string> names;
  for (const char* name : {"b.edi", "a.edi"}) {
    names.push_back(Dir.File(name));
    edi_test::WriteText(
        names.back(), edi_test::SpectraBlock(name[0] == 'a' ? 10 : 1, 8, re, im, edi_test::StandardSlots()) + ">END\n");
  }
  ASSERT_TRUE(Load(names));
  ASSERT_EQ(SiteFiles.size(), 2u);
  EXPECT_EQ(CurrentSite->FreqCount, 2);
  EXPECT_EQ(CurrentSite->Frequencies[1], 10);
  EXPECT_EQ(CurrentSite->XprCount[1], 1);
  EXPECT_NEAR(CurrentSite->Plots[1][1], 0.2 * std::norm(cd(3, 3)) / 10, 1e-9);
  EXPECT_NEAR(CurrentSite->Plots[2][1], 0.2 * std::norm(cd(3, 3)) / 1, 1e-9);
  EXPECT_TRUE(CurrentSite->Loaded);
}

// EDI files are not bound to the 40 slots of an MT file: a set of two 45-frequency files
// keeps all 45 frequencies of each on the summed grid.
TEST_F(OpenSiteTest, EdiSetKeepsFrequenciesBeyondForty) {
  TMtModel model = TMtModel::OneD(cd(3, 3));
  TMatrix7 re{}, im{};
  BuildCrossPowers(model, IdentityChannelOrder(), re, im);
  std::vector<std::string> names;
  for (int file = 0; file < 2; ++file) {
    std::string text;
    for (int k = 0; k < 45; ++k) text += edi_test::SpectraBlock(1000.0 / (k + 1), 8, re, im, edi_test::StandardSlots());
    names.push_back(Dir.File(file == 0 ? "a.edi" : "b.edi"));
    edi_test::WriteText(names.back(), text + ">END\n");
  }
  ASSERT_TRUE(Load(names));
  EXPECT_EQ(SiteFiles[1]->ToFreq, 45);
  EXPECT_EQ(CurrentSite->FreqCount, 45);
  EXPECT_EQ(CurrentSite->XprCount[45], 2);
  EXPECT_NEAR(CurrentSite->Frequencies[45], 1000.0 / 45, 1e-4);  // as written, in single precision
  EXPECT_NEAR(CurrentSite->Plots[45][1], 0.2 * std::norm(cd(3, 3)) / CurrentSite->Frequencies[45], 1e-9);
}

// Opens that fail name the file and the reason, whatever fails: a folder in the place of a file,
// a file far larger than any of its format, a line or a token no real file holds. What no real
// file can be is refused before it is read, with a short message.
TEST_F(OpenSiteTest, FailedOpensNameTheFileAndTheReason) {
  std::filesystem::create_directory(Dir.File("folder.edi"));
  std::filesystem::create_directory(Dir.File("folder.mt1"));
  for (const char* name : {"huge.edi", "huge.mpk"}) {
    std::ofstream(Dir.File(name)).put('1');
    std::filesystem::resize_file(Dir.File(name), int64_t{2} << 30);  // sparse: no disk used
  }
  std::ofstream(Dir.File("line.edi")) << ">HEAD\n" << std::string(5 << 20, 'x') << "\n>END\n";
  std::ofstream(Dir.File("token.mpk")) << std::string(60000, '7') << "x\r\n";
  struct Case {
    const char* Name;
    const char* Reason;
  };
  for (const Case& c : {Case{"folder.edi", "Is a directory"}, Case{"folder.mt1", "Is a directory"},
                        Case{"huge.edi", "larger than any EDI file"}, Case{"huge.mpk", "larger than any package file"},
                        Case{"line.edi", "line 2 is longer than 65536 characters"},
                        Case{"token.mpk", "is not a valid number of files"}}) {
    SCOPED_TRACE(c.Name);
    std::vector<std::string> names{Dir.File(c.Name)};
    try {
      Load(names);
      ADD_FAILURE() << "opened";
    } catch (const Exception& e) {
      EXPECT_NE(e.Message().find(Dir.File(c.Name)), std::string::npos) << e.Message();
      EXPECT_NE(e.Message().find(c.Reason), std::string::npos) << e.Message();
      EXPECT_LT(e.Message().size(), Dir.File(c.Name).size() + 150) << e.Message();
    }
    FreeSite();
  }
}

#if !defined(__SANITIZE_ADDRESS__)
// Running out of memory while a site is read ends the open with an error naming the file.
TEST_F(OpenSiteTest, RunningOutOfMemoryNamesTheFile) {
  // Each member holds tens of megabytes: eight of them cannot fit what the process may add.
  std::vector<std::string> names;
  for (const char* name : {"a.mt1", "b.mt1", "c.mt1", "d.mt1", "e.mt1", "f.mt1", "g.mt1", "h.mt1"})
    names.push_back(Make(name));
  std::fflush(nullptr);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::freopen("/dev/null", "w", stdout);
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit r{};
    r.rlim_cur = r.rlim_max = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (16 << 20);
    setrlimit(RLIMIT_AS, &r);
    try {
      LoadSite(names);
      std::_Exit(2);
    } catch (const Exception& e) {
      const bool named = e.Message().find(".mt1") != std::string::npos;
      const bool memory = e.Message().find("memory") != std::string::npos;
      std::_Exit(named && memory ? 0 : 3);
    } catch (...) {
      std::_Exit(4);
    }
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "2 opened, 3 message without the file or the reason, 4 foreign exception";
}
#endif

}  // namespace
