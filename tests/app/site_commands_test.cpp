// Open, save and close of a one-file site, bad files given to Open, failing saves, the exit
// question, the command line and the stored-edit dialog's frequency labels.
#include "app/journal.h"
#include "app/log_views.h"
#include "app/views/data_view.h"
#include "controls/vx_checklist.h"
#include "platform/extctrls.h"
#include "app_fixture.h"
#include "controls/vx_spin.h"
#include "platform/actnlist.h"
#include "mtdata/mt_block_file.h"
#include "platform/logdevice.h"
#include "platform/stdctrls.h"
#include "tools/mt_generator.h"

namespace {

TEST_F(AppFixture, OneFileSavedInPlaceAndReopenedWithItsEdit) {
  Start();
  const std::string file = SiteFile("S107.MT1");
  const auto size0 = fs::file_size(file);
  ChooseFiles({file});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  const std::string folder = ExcludeTrailingPathDelimiter(UpperCase((Dir / "site").string()));
  EXPECT_EQ(MainForm1->Caption(), "Halcyon XPR data editing program " + folder + "/s107.mt1");
  EXPECT_TRUE(ModalCaptions.empty());  // the option is off: no stored-edit question
  ASSERT_TRUE(MainForm1->AcAutoEdit->Execute());
  const std::string edited = MaskText();
  ASSERT_TRUE(MainForm1->acSave->Execute());
  EXPECT_GT(fs::file_size(file), size0);  // the edit is appended
  EXPECT_TRUE(SiteModified);              // Save leaves the flag
  ASSERT_TRUE(MainForm1->acClose->Execute());
  EXPECT_EQ(Boxes.back(), "Close this site?");
  ChooseFiles({file});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  EXPECT_EQ(MaskText(), edited);
}

TEST_F(AppFixture, DamagedOrForeignFileOpensNothingAndWritesNothing) {
  Start();
  struct Case {
    const char* Name;
    std::string Bytes;
  };
  std::string truncated = ReadAll(SiteFile("S107.MT1")).substr(0, 30000);
  for (const Case& c : {Case{"notes.mt1", "This is a letter, not a sounding.\n"}, Case{"short.mt1", truncated},
                        Case{"empty.mt1", ""}}) {
    SCOPED_TRACE(c.Name);
    const std::string name = SiteFile(c.Name);
    std::ofstream(name, std::ios::binary) << c.Bytes;
    Boxes.clear();
    ChooseFiles({name});
    MainForm1->acOpen->Execute();
    EXPECT_TRUE(SiteFiles.empty());
    EXPECT_FALSE(CurrentSite);
    EXPECT_FALSE(SiteModified);
    EXPECT_EQ(MainForm1->Caption(), "Varomark");
    EXPECT_TRUE(MainForm1->acOpen->Enabled());
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_NE(Boxes[0].find(name), std::string::npos) << Boxes[0];
    EXPECT_GT(Boxes[0].size(), name.size() + 15) << Boxes[0];  // and what is wrong
    EXPECT_EQ(ReadAll(name), c.Bytes);
  }
  // A good file beside a bad one: the bad one is named.
  Boxes.clear();
  ChooseFiles({SiteFile("S107.MT1"), SiteFile("notes.mt1")});
  MainForm1->acOpen->Execute();
  EXPECT_TRUE(SiteFiles.empty());
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_NE(Boxes[0].find("notes.mt1"), std::string::npos) << Boxes[0];
}

// A folder given as a site file, as an EDI or an MT file, opens nothing and says which and why.
TEST_F(AppFixture, FolderGivenAsASiteFileOpensNothing) {
  Start();
  for (const char* name : {"x.edi", "x.mt1"}) {
    SCOPED_TRACE(name);
    fs::create_directories(Dir / "site" / name);
    Boxes.clear();
    ChooseFiles({SiteFile(name)});
    MainForm1->acOpen->Execute();
    EXPECT_TRUE(SiteFiles.empty());
    EXPECT_FALSE(CurrentSite);
    EXPECT_TRUE(MainForm1->acOpen->Enabled());
    EXPECT_FALSE(MainForm1->acSave->Enabled());
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_NE(Boxes[0].find(SiteFile(name) + ": it is a folder, not a file"), std::string::npos) << Boxes[0];
  }
}

TEST_F(AppFixture, FailedSaveAsSaysSoAndKeepsTheSiteModified) {
  Start();
  ChooseFiles({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  ASSERT_TRUE(SiteModified);
  // A folder that does not exist, and a name that is a folder.
  fs::create_directories(Dir / "site" / "taken.mpk");
  for (const std::string& target : {SiteFile("missing/x.mpk"), SiteFile("taken.mpk")}) {
    SCOPED_TRACE(target);
    ChooseSaveName(target);
    EXPECT_THROW(MainForm1->AcSaveAs->Execute(), Exception);
    EXPECT_TRUE(SiteModified);
  }
  EXPECT_TRUE(fs::is_directory(Dir / "site" / "taken.mpk"));
  EXPECT_FALSE(fs::exists(Dir / "site" / "missing"));
  // Declining to replace an existing package writes nothing.
  const std::string pkg = SiteFile("kept.mpk");
  std::ofstream(pkg) << "old";
  ChooseSaveName(pkg);
  Answers.push_back(IDNO);
  ASSERT_TRUE(MainForm1->AcSaveAs->Execute());
  EXPECT_EQ(ReadAll(pkg), "old");
  EXPECT_FALSE(fs::exists(SiteFile("kept.~mpk")));
}

TEST_F(AppFixture, SavingAPackageKeepsTheOldOneAndAnEdiSiteIsNotWritten) {
  Start();
  ChooseFiles({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  const std::string pkg = SiteFile("one.mpk");
  ChooseSaveName(pkg);
  ASSERT_TRUE(MainForm1->AcSaveAs->Execute());
  ASSERT_TRUE(MainForm1->acClose->Execute());
  ChooseFiles({pkg});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  const std::string before = ReadAll(pkg);
  std::ofstream(SiteFile("one.~mpk")) << "an older backup";
  ASSERT_TRUE(MainForm1->acSave->Execute());
  EXPECT_EQ(ReadAll(SiteFile("one.~mpk")), before);  // the old backup replaced
  EXPECT_TRUE(fs::exists(pkg));

  // An EDI file opened as the site: Save writes nothing and says nothing.
  ChooseSaveName(SiteFile("site.edi"), 1);
  ASSERT_TRUE(MainForm1->acExportTo->Execute());
  Answers.push_back(IDYES);
  ASSERT_TRUE(MainForm1->acClose->Execute());
  ChooseFiles({SiteFile("site.edi")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  ASSERT_TRUE(CurrentSite);
  const std::string edi = ReadAll(SiteFile("site.edi"));
  Boxes.clear();
  ASSERT_TRUE(MainForm1->acSave->Execute());
  EXPECT_EQ(ReadAll(SiteFile("site.edi")), edi);
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(AppFixture, ExitWithUnsavedEditsAlwaysAsks) {
  Start();
  ChooseFiles({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  Answers.push_back(IDNO);
  MainForm1->AcExit->Execute();
  EXPECT_EQ(Boxes.back(), "Exit from Varomark?");
  EXPECT_TRUE(MainForm1->Visible());
  Answers.push_back(IDYES);
  MainForm1->AcExit->Execute();
  EXPECT_FALSE(MainForm1->Visible());
}

TEST_F(AppFixture, CommandLineOpensItsFilesAsOneSiteWithoutJournalOrQuestion) {
  Start({SiteFile("S107.MT2"), SiteFile("S107.MT1")});
  ASSERT_EQ(SiteFiles.size(), 2u);
  EXPECT_EQ(SiteFiles[0]->FileName, SiteFile("S107.MT1"));  // in name order
  const std::string caption = MainForm1->Caption();
  EXPECT_EQ(caption.substr(caption.size() - 20), "/(s107.mt1+s107.mt2)");
  EXPECT_TRUE(DataModule1->Rows.empty());
  EXPECT_FALSE(SiteModified);
  Boxes.clear();
  MainForm1->Close();
  EXPECT_TRUE(Boxes.empty());
  EXPECT_FALSE(MainForm1->Visible());
}

TEST_F(AppFixture, CommandLineWithAMissingFileOpensNothingAndNamesIt) {
  Start({SiteFile("S107.MT1"), SiteFile("missing.mt1")});
  EXPECT_TRUE(SiteFiles.empty());
  EXPECT_EQ(MainForm1->Caption(), "Varomark");
  ASSERT_FALSE(Boxes.empty());
  EXPECT_NE(Boxes.back().find("missing.mt1"), std::string::npos);
  EXPECT_NE(Boxes.back().find("does not exist"), std::string::npos);
}

TEST_F(AppFixture, CommandLineFolderIsCalledAFolder) {
  Start({(Dir / "site").string()});
  EXPECT_TRUE(SiteFiles.empty());
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_NE(Boxes[0].find((Dir / "site").string() + ": it is a folder"), std::string::npos) << Boxes[0];
}

// Open and the command line show the site as its starting data, with the program log.
TEST_F(AppFixture, OpenShowsTheStartingData) {
  Start({SiteFile("S107.MT1")});
  ASSERT_TRUE(FormExists(GrViewNf1));
  EXPECT_EQ(GrViewNf1->Caption(), "Starting data");
  EXPECT_EQ(GrViewNf1->ViewMode, 1);
  EXPECT_TRUE(FormExists(STermWin1));
  EXPECT_FALSE(FormExists(HeadFmNf1));
  ASSERT_TRUE(MainForm1->acClose->Execute());
  ChooseFiles({SiteFile("S107.MT2")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  ASSERT_TRUE(FormExists(GrViewNf1));
  EXPECT_EQ(GrViewNf1->clbFiles->Items()->Strings(0), "S107.MT2");
  // The lists take the view's height: the parameter list whole, above the others, and its names
  // fit the panel.
  EXPECT_LE(GrViewNf1->GroupBox3->Top() + GrViewNf1->GroupBox3->Height(), GrViewNf1->Panel1->ClientHeight());
  EXPECT_LT(GrViewNf1->GroupBox4->Top(), GrViewNf1->GroupBox1->Top());
  EXPECT_LT(GrViewNf1->GroupBox1->Top(), GrViewNf1->GroupBox2->Top());
  EXPECT_LT(GrViewNf1->GroupBox2->Top(), GrViewNf1->GroupBox3->Top());
  EXPECT_GT(GrViewNf1->Panel1->Width(), 101);
}

// An EDI file with impedances and no spectra: nothing can be computed, and the program says so
// instead of drawing curves of zeros; the header and the log stay.
TEST_F(AppFixture, ImpedanceOnlyEdiSaysNothingCanBeComputed) {
  Start();
  const std::string edi = SiteFile("zonly.edi");
  std::ofstream(edi) << ">HEAD\n  DATAID=\"Z1\"\n>=MTSECT\n  NFREQ=3\n>FREQ NFREQ=3 // 3\n"
                        "  1.0E+02  1.0E+01  1.0E+00\n"
                        ">ZXXR ROT=ZROT // 3\n 0.1 0.2 0.3\n>ZXYR ROT=ZROT // 3\n 3 2 1\n"
                        ">ZXYI ROT=ZROT // 3\n 4 1 0.5\n>END\n";
  ChooseFiles({edi});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0], edi + " holds impedances only, no spectra: nothing can be computed");
  EXPECT_FALSE(FormExists(GrViewNf1));
  EXPECT_TRUE(FormExists(HeadFmNf1));
  EXPECT_TRUE(MainForm1->AcLabel->Enabled());
  EXPECT_TRUE(MainForm1->acClose->Enabled());
  for (TAction* a : {MainForm1->acStartingData, MainForm1->AcResultingData, MainForm1->AcPolar, MainForm1->AcEditing,
                     MainForm1->AcMaskEdit, MainForm1->AcAutoEdit, MainForm1->acExportTo})
    EXPECT_FALSE(a->Enabled()) << a->Name();
  // A site with spectra opened after it has its commands back.
  ASSERT_TRUE(MainForm1->acClose->Execute());
  ChooseFiles({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  EXPECT_TRUE(MainForm1->acStartingData->Enabled());
  EXPECT_TRUE(MainForm1->acExportTo->Enabled());
}

TEST_F(AppFixture, StoredEditDialogShowsFrequenciesOfItsIndices) {
  Start();
  ChooseFiles({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  TWPrewEd1 d(Application);
  d.SiteFile = CurrentSite.get();
  d.Edit1->SetText("2");
  EXPECT_EQ(d.Label3->Caption(), FormatFloat("#####0.###### Hz", CurrentSite->Frequencies[2]));
  d.Edit2->SetText("39");
  EXPECT_EQ(d.Label4->Caption(), FormatFloat("#####0.###### Hz", CurrentSite->Frequencies[39]));
  const std::string kept = d.Label3->Caption();
  d.Edit1->SetText("0");
  EXPECT_EQ(d.Label3->Caption(), kept);
}

// Sets the weights of estimate X of frequency F in the estimate records of an MT file.
void SetEstimateWeights(const std::string& Path, int F, int X, double W2, double W1) {
  TMTFile probe;
  {
    TLogCapture quiet;
    probe.OpenMtFile(Path);
  }
  std::string bytes = AppFixture::ReadAll(Path);
  const size_t block = static_cast<size_t>(probe.XprBlocks[X]) * MtBlockSize;
  TMtBlockReader r;
  r.Assign(bytes.data() + block, MtBlockSize, probe.XprBlocks[X]);
  for (int k = 0; k < 3; ++k) r.ReadString();
  const int C = r.ReadSmallint();
  for (int k = 0; k < 7; ++k) r.ReadString();
  for (int k = 0; k < probe.FreqCount * 7 * C; ++k) r.ReadDouble();
  for (int pass = 0; pass < 2; ++pass) {
    for (int f = 1; f < F; ++f) r.ReadDouble();
    const double w = pass == 0 ? W2 : W1;
    std::memcpy(bytes.data() + block + static_cast<size_t>(r.Position()) + 1, &w, 8);
    for (int f = F; f <= probe.FreqCount; ++f) r.ReadDouble();
  }
  std::ofstream(Path, std::ios::binary | std::ios::trunc) << bytes;
}

// A frequency left without results by the automatic editor, or by undoing Clear Mask back to a
// hand edit that removed all its estimates, is saved without results. Reopened, it keeps its
// frequency, the range reaches the last row, and using its estimates again gives results.
TEST_F(AppFixture, FrequencyEmptiedByAnEditReopensWithItsFrequency) {
  Start();
  const std::string file = SiteFile("gen.mt1");
  TMtGenInfo info;
  MtGenWrite(TMtGenModel{}, file, &info);
  // The automatic editor keeps two estimates of the last frequency, whose second weights sum
  // to 2: too little to compute.
  for (int x = 1; x <= 20; ++x) SetEstimateWeights(file, 40, x, 1, x <= 2 ? 12 : 1);
  for (const char* route : {"AutoEd", "ClrMsk undone"}) {
    SCOPED_TRACE(route);
    const int f = route[0] == 'A' ? 40 : 17;
    ChooseFiles({file});
    ASSERT_TRUE(MainForm1->acOpen->Execute());
    ASSERT_TRUE(CurrentSite);
    if (f == 40) {
      ASSERT_TRUE(MainForm1->AcAutoEdit->Execute());
    } else {
      for (int x = 1; x <= 20; ++x) CurrentSite->Mask[f][x] = 2;
      CommitMaskEdit(f, "VertLn");
      ASSERT_TRUE(MainForm1->AcClearMask->Execute());
      ASSERT_GT(CurrentSite->Plots[f][1], 0);
      DataModule1->Undo();
    }
    ASSERT_EQ(CurrentSite->Plots[f][1], 0);
    ASSERT_TRUE(MainForm1->acSave->Execute());
    ASSERT_TRUE(MainForm1->acClose->Execute());

    ChooseFiles({file});
    ASSERT_TRUE(MainForm1->acOpen->Execute());
    ASSERT_TRUE(CurrentSite);
    EXPECT_DOUBLE_EQ(CurrentSite->Frequencies[f], info.Frequencies[static_cast<size_t>(f - 1)]);
    EXPECT_EQ(CurrentSite->ToFreq, 40);
    EXPECT_EQ(CurrentSite->Plots[f][1], 0);
    ASSERT_TRUE(MainForm1->AcClearMask->Execute());
    EXPECT_GT(CurrentSite->Plots[f][1], 0);
    EXPECT_GT(CurrentSite->Plots[40][1], 0);
    ASSERT_TRUE(MainForm1->acClose->Execute());
  }
}

}  // namespace
