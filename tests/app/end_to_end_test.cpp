// A user's session through the main window's commands: open a site (the stored-edit dialog
// answered), look at the header and the log, edit the mask automatically, undo and redo, switch
// the reference and rotation, save, save as a package, export, close and reopen.
#include <algorithm>

#include "app/log_views.h"
#include "app/reference_commands.h"
#include "app_fixture.h"
#include "treelist/tl_control.h"
#include "controls/mem_data.h"
#include "controls/vx_dbgrid.h"
#include "controls/vx_spin.h"
#include "platform/actnlist.h"
#include "platform/extctrls.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"

namespace {

bool CtrlKey(char Key) { return MainForm1->IsShortCut(static_cast<uint16_t>(Key), {ssCtrl}); }

TEST_F(AppFixture, SessionThroughTheMainWindow) {
  // Ask for the stored edit at every open, as a user who ticked the option.
  TIniFile((Dir / "profile" / "app_tests.INI").string())
      .WriteString("TOptions1", "cbRequestFromToFrequency_Checked", "True");
  Start();
  EXPECT_EQ(MainForm1->Caption(), "Varomark");
  EXPECT_TRUE(MainForm1->acOpen->Enabled());
  EXPECT_FALSE(MainForm1->acClose->Enabled());
  EXPECT_TRUE(RequestFromToFrequency);

  // Open the two MT files of the sample site; the dialog asks once per file.
  ChooseFiles({SiteFile("S107.MT2"), SiteFile("S107.MT1")});
  std::vector<int> dialogLines;
  for (int i = 0; i < 2; ++i)
    Modals.push_back([&](TForm* F) {
      auto* d = static_cast<TWPrewEd1*>(F);
      dialogLines.push_back(d->ListBox1->Items()->Count());
      EXPECT_TRUE(d->Panel1->Visible());  // a set of files: the range can be chosen
      EXPECT_NE(d->Label3->Caption(), "0");
      d->BitBtn1->Click();
    });
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  ASSERT_EQ(SiteFiles.size(), 2u);
  EXPECT_EQ(dialogLines, (std::vector<int>{2, 2}));
  ASSERT_EQ(ModalCaptions.size(), 2u);
  EXPECT_EQ(ModalCaptions[0], "S107.MT1 From what the previous edit do you want to start edit?");
  const std::string folder = ExcludeTrailingPathDelimiter(UpperCase((Dir / "site").string()));
  EXPECT_EQ(MainForm1->Caption(), "Halcyon XPR data editing program " + folder + "/(s107.mt2+s107.mt1)");
  EXPECT_EQ(JournalActions(), (std::vector<std::string>{"Start"}));
  EXPECT_TRUE(SiteModified);
  EXPECT_FALSE(MainForm1->acOpen->Enabled());
  EXPECT_TRUE(MainForm1->acClose->Enabled());
  EXPECT_TRUE(MainForm1->AcRH->Checked());  // the sample is remote-H referenced
  EXPECT_TRUE(MainForm1->AcRH->Enabled());
  EXPECT_FALSE(MainForm1->AcRE->Enabled());
  ASSERT_TRUE(FormExists(STermWin1));  // the log shows what the loading wrote
  EXPECT_GT(STermWin1->Memo1->Lines()->Count(), 0);

  // Header view and program log from the Show menu.
  ASSERT_TRUE(MainForm1->AcLabel->Execute());
  ASSERT_TRUE(FormExists(HeadFmNf1));
  EXPECT_EQ(HeadFmNf1->ComboBox1->Items()->Count(), 2);
  EXPECT_EQ(HeadFmNf1->Memo1->Lines()->Count(), SiteFiles[0]->PlotRecordCount);
  EXPECT_EQ((*HeadFmNf1->Memo1->Lines())[0].substr(0, 7), "1 PLOT-");
  EXPECT_EQ(HeadFmNf1->Cells(1, 0), "Rhead");
  EXPECT_EQ(HeadFmNf1->Cells(0, 30), "30");
  // The grid: row numbers and the two header columns; resized, columns 1 and 2 share the width.
  TvmTreeList* grid = HeadFmNf1->StringGrid1;
  ASSERT_EQ(grid->Count(), 30);
  EXPECT_EQ(grid->Columns(1)->Caption(), "Rhead");
  EXPECT_EQ(grid->Columns(2)->Caption(), "Shead");
  EXPECT_EQ(grid->Items(29)->Strings(0), "30");
  EXPECT_EQ(grid->Items(0)->Strings(1), HeadFmNf1->Cells(1, 1));
  HeadFmNf1->SetBounds(HeadFmNf1->Left(), HeadFmNf1->Top(), 900, 500);
  Application->ProcessMessages();
  const int rest = grid->ClientWidth() - grid->Columns(0)->Width();
  EXPECT_EQ(grid->Columns(1)->Width(), rest / 2);
  EXPECT_EQ(grid->Columns(2)->Width(), rest / 2);
  ASSERT_TRUE(MainForm1->AcProgrOutput->Execute());
  EXPECT_TRUE(FormExists(STermWin1));

  // Automatic editing changes the mask and stores one record.
  const std::string m0 = MaskText();
  const double rho0 = CurrentSite->Plots[10][1];
  ASSERT_TRUE(MainForm1->AcAutoEdit->Execute());
  const std::string m1 = MaskText();
  const double rho1 = CurrentSite->Plots[10][1];
  EXPECT_NE(m1, m0);
  EXPECT_NE(std::count(m1.begin(), m1.end(), '2'), 0);
  EXPECT_EQ(JournalActions(), (std::vector<std::string>{"Start", "AutoEd"}));
  EXPECT_TRUE(MainForm1->AcUndo->Enabled());
  EXPECT_FALSE(MainForm1->AcRedo->Enabled());

  // Undo and redo through the history window with Ctrl+Z and Ctrl+Y.
  for (TMenuItem* m = MainForm1->MainMenu1->Items()->Find("Edit"); m;) {
    m->Find("Edit histrory")->Click();
    break;
  }
  ASSERT_TRUE(FormExists(History1));
  EXPECT_EQ(History1->DBGrid1->DataSource(), DataModule1->dsRedoUndo);
  EXPECT_EQ(DataModule1->TaRedoUndo->RecordCount(), 2);
  ASSERT_TRUE(CtrlKey('Z'));
  EXPECT_EQ(MaskText(), m0);
  EXPECT_DOUBLE_EQ(CurrentSite->Plots[10][1], rho0);
  EXPECT_TRUE(MainForm1->AcRedo->Enabled());
  EXPECT_EQ(DataModule1->TaRedoUndo->RecNo(), 1) << "the grid's row is the first record";
  // Once more on the first record: it stays there, restores again and disables Undo.
  ASSERT_TRUE(CtrlKey('Z'));
  EXPECT_EQ(MaskText(), m0);
  EXPECT_FALSE(MainForm1->AcUndo->Enabled());
  EXPECT_FALSE(CtrlKey('Z'));
  ASSERT_TRUE(CtrlKey('Y'));
  EXPECT_EQ(MaskText(), m1);
  EXPECT_DOUBLE_EQ(CurrentSite->Plots[10][1], rho1);
  ASSERT_TRUE(CtrlKey('Y'));
  EXPECT_EQ(MaskText(), m1);
  EXPECT_FALSE(MainForm1->AcRedo->Enabled());

  // Reference and rotation.
  ASSERT_TRUE(MainForm1->AcLH->Execute());
  EXPECT_EQ(CurrentSite->DisplayReference, 1);
  EXPECT_TRUE(MainForm1->AcLH->Checked());
  EXPECT_FALSE(MainForm1->AcRH->Checked());
  ASSERT_TRUE(MainForm1->AcRH->Execute());
  EXPECT_EQ(CurrentSite->DisplayReference, 2);
  ASSERT_TRUE(MainForm1->AcAngleChg->Execute());
  ASSERT_TRUE(FormExists(AnglChg1));
  AnglChg1->Edit1->SetText("30");
  AnglChg1->BitBtn1->Click();
  EXPECT_DOUBLE_EQ(CurrentSite->RotationAngle, 30);
  EXPECT_EQ(MaskText(), m1);  // rotating keeps the edit

  // Save of a set refuses; Save As writes a package and clears the modified flag.
  EXPECT_THROW(MainForm1->acSave->Execute(), Exception);
  const std::string package = SiteFile("site.mpk");
  ChooseSaveName(package);
  ASSERT_TRUE(MainForm1->AcSaveAs->Execute());
  ASSERT_TRUE(fs::exists(package));
  EXPECT_FALSE(SiteModified);
  const std::string firstPackage = ReadAll(package);
  // Again over the same name, answered Yes: the old package stays as ".~mpk".
  ChooseSaveName(package);
  Answers.push_back(IDYES);
  ASSERT_TRUE(MainForm1->AcSaveAs->Execute());
  EXPECT_EQ(Boxes.back(), "File " + package + " exist, continue?");
  EXPECT_EQ(ReadAll(SiteFile("site.~mpk")), firstPackage);

  // Export to every format the dialog offers.
  // The file each kind writes (the 1-D inversion kind writes one per component, the
  // time-independent kind the plot layout).
  const char* extensions[13] = {"",     ".edi",  ".plt", ".sms", ".dat", ".dat", ".dat",
                                ".mtg", "x.mtd", ".pt1", ".pt1", ".xpn", ".csv"};
  for (int i = 1; i <= 12; ++i) {
    const std::string name = SiteFile("out") + std::to_string(i);
    ChooseSaveName(name, i);
    if (i == 6) {
      // The m/t kind needs tensor values this site does not have: refused, nothing written.
      EXPECT_THROW(MainForm1->acExportTo->Execute(), Exception);
      EXPECT_FALSE(fs::exists(name + extensions[i]));
      continue;
    }
    ASSERT_TRUE(MainForm1->acExportTo->Execute()) << i;
    EXPECT_TRUE(fs::exists(name + extensions[i])) << i;
  }
  EXPECT_EQ(MainForm1->SaveDialog1->FilterIndex(), 12);

  // A new edit, then Close: answered No keeps the site, Yes closes it.
  ASSERT_TRUE(MainForm1->AcClearMask->Execute());  // asks; the default answer is Yes
  EXPECT_EQ(Boxes.back(), "Clear mask, are you sure?");
  EXPECT_EQ(JournalActions().back(), "ClrMsk");
  const std::string cleared = MaskText();
  // The rotation window is active and takes no routed commands: Ctrl+Z does nothing there.
  ASSERT_EQ(MainForm1->ActiveMDIChild(), AnglChg1);
  CtrlKey('Z');
  EXPECT_EQ(MaskText(), cleared);
  MainForm1->MainMenu1->Items()->Find("Edit")->Find("Edit histrory")->Click();
  ASSERT_EQ(MainForm1->ActiveMDIChild(), History1);
  ASSERT_TRUE(CtrlKey('Z'));
  EXPECT_EQ(MaskText(), m1);
  Answers.push_back(IDNO);
  ASSERT_TRUE(MainForm1->acClose->Execute());
  EXPECT_EQ(Boxes.back(), "Close this site?");
  EXPECT_EQ(SiteFiles.size(), 2u);
  Answers.push_back(IDYES);
  ASSERT_TRUE(MainForm1->acClose->Execute());
  EXPECT_TRUE(SiteFiles.empty());
  EXPECT_FALSE(SiteModified);
  EXPECT_EQ(History1 && FormExists(History1), false);
  EXPECT_TRUE(FormExists(STermWin1));  // the log stays
  EXPECT_TRUE(DataModule1->Rows.empty());

  // Reopen the package: the automatic edit is there.
  ChooseFiles({package});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  ASSERT_TRUE(CurrentSite);
  EXPECT_EQ(MaskText(), m1);
  EXPECT_DOUBLE_EQ(CurrentSite->RotationAngle, 30);
  EXPECT_EQ(DataModule1->Rows.front().Id, 4);  // the numbering goes on over the run
}

}  // namespace
