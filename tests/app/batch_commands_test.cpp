// The batch commands on files: automatic editing of many files, deleting the last edit records
// and the site list.
#include <cmath>

#include "app/auto_edit.h"
#include "app/rotate_spectra.h"
#include "controls/vx_file_edits.h"
#include "controls/vx_spin.h"
#include "mtdata/complex_routines.h"
#include "app_fixture.h"
#include "platform/menus.h"

namespace {

TMenuItem* FilesMenu(const char* Caption) { return MainForm1->MainMenu1->Items()->Find("Files")->Find(Caption); }

TEST_F(AppFixture, BatchAutoEditAppendsEachEditAndNamesTheBadFile) {
  Start();
  fs::copy_file(SiteFile("S107.MT2"), SiteFile("copy.mt2"));
  std::ofstream(SiteFile("bad.mt1")) << "not a sounding";
  const auto size0 = fs::file_size(SiteFile("S107.MT2"));
  ChooseFiles({SiteFile("S107.MT2"), SiteFile("bad.mt1")}, 1);
  FilesMenu("Batch autoedit")->Click();
  EXPECT_EQ(fs::file_size(SiteFile("S107.MT2")), size0 + 2 * 23040);  // a result and a mask record
  ASSERT_FALSE(Boxes.empty());
  EXPECT_NE(Boxes.back().find("bad.mt1"), std::string::npos);
  EXPECT_EQ(Boxes.back().find("S107"), std::string::npos);
  EXPECT_TRUE(SiteFiles.empty());
  EXPECT_FALSE(CurrentSite);

  // The stored edit is the one the automatic editor makes on the untouched copy.
  ChooseFiles({SiteFile("copy.mt2")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  AutoEdit(0);
  const std::string expected = MaskText();
  Answers.push_back(IDYES);
  ASSERT_TRUE(MainForm1->acClose->Execute());
  ChooseFiles({SiteFile("S107.MT2")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  EXPECT_EQ(MaskText(), expected);
  // With a site open the batch does not run (it would free the site's objects).
  EXPECT_FALSE(FilesMenu("Batch autoedit")->Enabled());
}

TEST_F(AppFixture, DeleteLastEditsCutsWholeBlocksOnlyWhenConfirmed) {
  Start();
  const std::string file = SiteFile("S107.MT1");
  const auto blocks = static_cast<int>(fs::file_size(file) / 23040);
  ASSERT_GT(blocks, 5);
  std::vector<std::string> proposed;
  std::deque<std::string> typed;
  SetInputQueryHook([&](const std::string&, const std::string& Prompt, std::string& Value) {
    EXPECT_EQ(Prompt, "Last new record");
    proposed.push_back(Value);
    Value = typed.front();
    typed.pop_front();
    return true;
  });
  struct Case {
    std::string Typed;
    int Answer;  // 0: no question is asked
    int Blocks;  // after the command
  };
  for (const Case& c : {Case{std::to_string(blocks), 0, blocks}, Case{"5", IDNO, blocks}, Case{"5", IDYES, 5}}) {
    SCOPED_TRACE(c.Typed);
    typed.push_back(c.Typed);
    if (c.Answer) Answers.push_back(c.Answer);
    ChooseFiles({file});
    FilesMenu("Delete last edits")->Click();
    EXPECT_EQ(fs::file_size(file), static_cast<uintmax_t>(c.Blocks) * 23040);
  }
  EXPECT_EQ(proposed, std::vector<std::string>(3, std::to_string(blocks)));
  EXPECT_EQ(Boxes.back(), "Left only 5 reacord, are you sure?");
  typed.push_back("three");
  ChooseFiles({file});
  EXPECT_THROW(FilesMenu("Delete last edits")->Click(), Exception);
  EXPECT_EQ(fs::file_size(file), 5u * 23040);
  EXPECT_EQ(proposed.back(), "5");
  SetInputQueryHook(nullptr);
}

TEST_F(AppFixture, SiteListHasAHeaderAndOneLinePerFileWithItsSeriesLetter) {
  Start();
  fs::copy_file(SiteFile("S107.MT1"), SiteFile("12345678b.mt5"));
  fs::copy_file(SiteFile("S107.MT1"), SiteFile("abc.mt5"));
  ChooseFiles({SiteFile("abc.mt5"), SiteFile("12345678b.mt5"), SiteFile("notes.txt")});
  const std::string list = SiteFile("sites.txt");
  ChooseSaveName(list);
  FilesMenu("Site List")->Click();
  const std::string text = ReadAll(list);
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find("\r\n", at);
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 30), "Survey       File         ssss");
  EXPECT_EQ(lines[1].substr(13, 12), "12345678b.mt");  // sorted by name, cut to 12
  EXPECT_EQ(lines[1][33], 'b');
  EXPECT_EQ(lines[2].substr(13, 12), "     abc.mt5");
  EXPECT_EQ(lines[2][33], 'a');
}

TEST_F(AppFixture, PackagesAreMadeOnePerStem) {
  Start();
  fs::copy_file(SiteFile("S107.MT1"), SiteFile("st12a.mt5"));
  fs::copy_file(SiteFile("S107.MT2"), SiteFile("st12b.mt5"));
  fs::copy_file(SiteFile("S107.MT1"), SiteFile("ST13A.MT5"));
  const std::string out = (Dir / "packages").string();
  ChooseFiles({SiteFile("st12a.mt5"), SiteFile("st12b.mt5"), SiteFile("ST13A.MT5")});
  ChooseFolder(out);
  FilesMenu("Preliminary creation mpk files")->Click();
  ASSERT_TRUE(fs::exists(Dir / "packages" / "st12a.mpk"));
  ASSERT_TRUE(fs::exists(Dir / "packages" / "ST13a.mpk"));
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir / "packages"), fs::directory_iterator{}), 2);
  // The first package holds both members of its stem.
  const std::string text = ReadAll((Dir / "packages" / "st12a.mpk").string());
  EXPECT_EQ(text.substr(0, 3), "2\r\n");
  EXPECT_NE(text.find("st12b.mt5"), std::string::npos);
  EXPECT_TRUE(SiteFiles.empty());
}

TEST_F(AppFixture, SpectraOfAPackageAreRotatedIntoCopiesBesideIt) {
  Start();
  ChooseFiles({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  const std::string pkg = SiteFile("x.mpk");
  ChooseSaveName(pkg);
  ASSERT_TRUE(MainForm1->AcSaveAs->Execute());
  ASSERT_TRUE(MainForm1->acClose->Execute());
  const std::string original = ReadAll(SiteFile("S107.MT1"));

  std::string proposed;
  Modals.push_back([&](TForm* F) {
    auto* d = static_cast<TRotageDlg1*>(F);
    d->FilenameEdit1->SetText(pkg);
    d->VxSpinEdit1->SetValue(30);
    proposed = d->DirectoryEdit1->Text();
    d->SetModalResult(mrOk);
  });
  FilesMenu("Rotate Spectra")->Click();
  const std::string folder = (Dir / "site").string() + "_30.0/";
  EXPECT_EQ(proposed, folder);
  const std::string copy = ReadAll(folder + "x.mpk");
  ASSERT_FALSE(copy.empty());
  EXPECT_EQ(copy.substr(0, 3), "1\r\n");
  EXPECT_EQ(copy.substr(3, folder.size() + 8), folder + "S107.MT1");
  EXPECT_EQ(ReadAll(SiteFile("S107.MT1")), original);  // the source stays as it was

  // Each estimate turned by 30 degrees: Exx + Eyy stays, Exx changes.
  auto open = [](const std::string& Name) {
    auto f = std::make_unique<TMTFile>();
    f->OpenMtFile(Name);
    f->StartEdit = f->PlotRecordCount - 1;
    f->CurrentEditBlock = f->PlotBlocks[f->StartEdit + 1];
    f->LoadEdit();
    return f;
  };
  auto a = open(SiteFile("S107.MT1"));
  auto b = open(folder + "S107.MT1");
  TMatrix7 reA{}, imA{}, reB{}, imB{};
  UnpackCrossPowerMatrix(reA, imA, a->XprMatrices[10][3]);
  UnpackCrossPowerMatrix(reB, imB, b->XprMatrices[10][3]);
  EXPECT_NEAR(reA[1][1] + reA[2][2], reB[1][1] + reB[2][2], 1e-4 * std::fabs(reA[1][1] + reA[2][2]));
  EXPECT_GT(std::fabs(reA[1][1] - reB[1][1]), 1e-3 * std::fabs(reA[1][1]));
}

}  // namespace
