// The package file: its exact text, reading it back, and sites that reopen from it with their
// members, settings and masks.
#include <gtest/gtest.h>

#include "edi_test_util.h"
#include "mtdata/open_site.h"
#include "mtdata/package_file.h"
#include "mtdata/site_file.h"
#include "sitefile_fixture.h"

#include <memory>

using sitefile_test::CaptureLog;
using sitefile_test::TTempDir;

namespace {

class PackageTest : public ::testing::Test {
protected:
  void TearDown() override { FreeSite(); }
  bool Load(std::vector<std::string> Names) {
    bool ok = false;
    CaptureLog([&] { ok = LoadSite(Names); });
    return ok;
  }
  TTempDir Dir;
};

TEST_F(PackageTest, WritesTheSettingsLineAndTheMasks) {
  auto a = std::make_shared<TMTFile>();
  auto b = std::make_shared<TMTFile>();
  a->FileName = "/data/a.mt1";
  b->FileName = "/data/b.mt1";
  a->StartEdit = 1;
  b->StartEdit = 0;
  a->FromFreq = 1;
  a->ToFreq = 40;
  b->FromFreq = 3;
  b->ToFreq = 36;
  auto site = std::make_shared<TMTFile>();
  site->FreqCount = 2;
  site->Frequencies[1] = 123.4;
  site->Frequencies[2] = 0.0056;
  site->XprCount[1] = 3;
  site->Mask[1][1] = 1;
  site->Mask[1][2] = 2;
  SiteFiles = {a, b};
  CurrentSite = site;
  const std::string path = Dir.File("p.mpk");
  SavePackage(path);
  EXPECT_EQ(edi_test::ReadText(path),
            "2\r\n/data/a.mt1\r\n/data/b.mt1\r\n  1  0  1 40  3 36  0.0\r\n2\r\n"
            "1.23400E+02   3 1 2 0\r\n5.60000E-03   0\r\n");

  // Numbers as wide as their field keep a blank before them and read back.
  b->ToFreq = 120;
  b->StartEdit = 100;
  site->RotationAngle = -12.5;
  SavePackage(path);
  TPackageData p;
  ReadPackage(path, p);
  EXPECT_EQ(p.Members, (std::vector<std::string>{"/data/a.mt1", "/data/b.mt1"}));
  EXPECT_EQ(p.StartEdits, (std::vector<int>{1, 100}));
  EXPECT_EQ(p.FromFreqs, (std::vector<int>{1, 3}));
  EXPECT_EQ(p.ToFreqs, (std::vector<int>{40, 120}));
  EXPECT_EQ(p.RotationAngle, -12.5);
  ASSERT_EQ(p.FreqCount, 2);
  EXPECT_EQ(p.Frequencies[0], 123.4);
  EXPECT_EQ(p.Masks[0], (std::vector<int16_t>{1, 2, 0}));
  EXPECT_TRUE(p.Masks[1].empty());
}

TEST_F(PackageTest, ReaderDefaultsAndRefusals) {
  const std::string path = Dir.File("r.mpk");
  // No angle after the ranges, zeros for the range, numbers spread over lines.
  edi_test::WriteText(path, "1\n/x/a.mt1\n  2  0  0\n1\n1.0E+01 2\n 1\n 2\n");
  TPackageData p;
  ReadPackage(path, p);
  EXPECT_FALSE(p.HasAngle);
  EXPECT_EQ(p.RotationAngle, 0);
  EXPECT_EQ(p.FromFreqs[0], 1);
  EXPECT_EQ(p.ToFreqs[0], 40);
  EXPECT_EQ(p.Masks[0], (std::vector<int16_t>{1, 2}));

  const std::pair<const char*, int> bad[] = {{"1\n/x/a.mt1\n  0  1 40\n2\n1.0E+01 1 1\n", 5},  // the file ends early
                                             {"1\n/x/a.mt1\n  0  1 40\n1\n1.0E+01 1 x\n", 5},  // not a number
                                             {"1\n/x/a.mt1\n  0  1 40\n1\n1.0E+01 101\n", 5},  // too many estimates
                                             {"1\n/x/a.mt1\n  0  1 40\n141\n", 4}};
  for (const auto& [text, line] : bad) {
    edi_test::WriteText(path, text);
    try {
      ReadPackage(path, p);
      ADD_FAILURE() << text;
    } catch (const Exception& e) {
      EXPECT_NE(e.Message().find(path + ", line " + IntToStr(line)), std::string::npos) << e.Message();
    }
  }
  EXPECT_THROW(ReadPackage(Dir.File("none.mpk"), p), EFOpenError);
}

// A set saved as a package reopens with the same members, settings and every mask.
TEST_F(PackageTest, ASetReopensWithItsMembersSettingsAndMasks) {
  TMtGenModel model;
  model.Edits = {TMtGenEdit{}};
  MtGenWrite(model, Dir.File("a.mt1"));
  MtGenWrite(model, Dir.File("b.mt1"));
  ASSERT_TRUE(Load({Dir.File("b.mt1"), Dir.File("a.mt1")}));
  CurrentSite->RotationAngle = 12.5;
  CurrentSite->Mask[3][5] = 2;    // an estimate of the first file
  CurrentSite->Mask[10][35] = 2;  // one of the second file, beyond XPR 20
  CurrentSite->Mask[40][40] = 1;
  const std::string pkg = Dir.File("set.mpk");
  SavePackage(pkg);
  auto saved = std::make_unique<TMTFile>();
  saved->Mask.Allocate();
  for (int f = 1; f <= 40; ++f)
    for (int x = 1; x <= 100; ++x) saved->Mask[f][x] = CurrentSite->Mask[f][x];
  FreeSite();

  ASSERT_TRUE(Load({pkg}));
  ASSERT_EQ(SiteFiles.size(), 2u);
  EXPECT_EQ(SiteFiles[0]->FileName, Dir.File("a.mt1"));
  EXPECT_EQ(SiteFiles[1]->FileName, Dir.File("b.mt1"));
  EXPECT_EQ(SiteFiles[0]->StartEdit, 1);
  EXPECT_EQ(CurrentSite->RotationAngle, 12.5);
  EXPECT_TRUE(CurrentSite->StartFromStoredEdit);
  ASSERT_EQ(CurrentSite->FreqCount, 40);
  for (int f = 1; f <= 40; ++f) {
    EXPECT_EQ(CurrentSite->XprCount[f], 40);
    for (int x = 1; x <= 40; ++x) EXPECT_EQ(CurrentSite->Mask[f][x], saved->Mask[f][x]) << f << "," << x;
  }
}

// A site opened with names relative to the working folder (as a start script does) saves a package
// that names its members in full, so it opens from any other folder.
TEST_F(PackageTest, MembersOpenedByRelativeNamesAreSavedInFull) {
  TMtGenModel model;
  model.Edits = {TMtGenEdit{}};
  MtGenWrite(model, Dir.File("a.mt1"));
  MtGenWrite(model, Dir.File("b.mt1"));
  const auto home = std::filesystem::current_path();
  // The package lies apart from its members, so it cannot find them beside itself.
  std::filesystem::create_directories(Dir.File("packages"));
  const std::string pkg = Dir.File("packages/rel.mpk");
  std::filesystem::current_path(std::filesystem::path(Dir.File("a.mt1")).parent_path().parent_path());
  const std::string folder = std::filesystem::path(Dir.File("a.mt1")).parent_path().filename().string();
  const bool loaded = Load({"./" + folder + "/a.mt1", "./" + folder + "/b.mt1"});
  if (loaded) SavePackage(pkg);
  FreeSite();
  std::filesystem::current_path(home);
  ASSERT_TRUE(loaded);
  TPackageData p;
  ReadPackage(pkg, p);
  EXPECT_EQ(p.Members, (std::vector<std::string>{Dir.File("a.mt1"), Dir.File("b.mt1")}));
  ASSERT_TRUE(Load({pkg}));
  EXPECT_EQ(SiteFiles.size(), 2u);
}

TEST_F(PackageTest, AOneFilePackageKeepsItsStoredValues) {
  TMtGenModel model;
  model.EstimateCount = 30;
  model.Edits = {TMtGenEdit{0, 20, true}};
  MtGenWrite(model, Dir.File("one.mt1"));
  ASSERT_TRUE(Load({Dir.File("one.mt1")}));
  CurrentSite->Mask[4][3] = 2;
  CurrentSite->Mask[4][25] = 2;
  CurrentSite->RotationAngle = -7.5;
  CurrentSite->ToFreq = 33;
  const std::string pkg = Dir.File("one.mpk");
  SavePackage(pkg);
  FreeSite();

  ASSERT_TRUE(Load({pkg}));
  ASSERT_EQ(SiteFiles.size(), 1u);
  EXPECT_EQ(CurrentSite, SiteFiles[0]);
  EXPECT_EQ(CurrentSite->Mask[4][3], 2);
  EXPECT_EQ(CurrentSite->Mask[4][25], 2);
  EXPECT_EQ(CurrentSite->RotationAngle, -7.5);
  EXPECT_EQ(CurrentSite->ToFreq, 33);
  EXPECT_EQ(CurrentSite->StartEdit, 1);
}

// An EDI site saved as a package reopens with its edited masks and its angle.
TEST_F(PackageTest, AOneFileEdiPackageKeepsItsMasks) {
  TMtModel model = TMtModel::OneD(cd(3, 3));
  TMatrix7 re{}, im{};
  BuildCrossPowers(model, IdentityChannelOrder(), re, im);
  std::string text;
  for (double f : {100.0, 10.0, 1.0}) text += edi_test::SpectraBlock(f, 8, re, im, edi_test::StandardSlots());
  const std::string edi = Dir.File("one.edi");
  edi_test::WriteText(edi, text + ">END\n");
  ASSERT_TRUE(Load({edi}));
  ASSERT_GT(CurrentSite->Plots[2][1], 0);
  CurrentSite->Mask[2][1] = 2;
  CurrentSite->RotationAngle = 10;
  const std::string pkg = Dir.File("one.mpk");
  SavePackage(pkg);
  FreeSite();

  ASSERT_TRUE(Load({pkg}));
  EXPECT_EQ(CurrentSite->Mask[1][1], 1);
  EXPECT_EQ(CurrentSite->Mask[2][1], 2);
  EXPECT_EQ(CurrentSite->Plots[2][1], 0) << "the removed estimate is not stacked";
  EXPECT_GT(CurrentSite->Plots[3][1], 0);
  EXPECT_EQ(CurrentSite->RotationAngle, 10);
}

}  // namespace
