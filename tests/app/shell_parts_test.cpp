// The program log's byte rules, the journal's snapshots, the options and placements across a
// restart, a damaged settings file, the batch conversion, routing and the window kinds.
#include "app/about.h"
#include "app/auto_edit.h"
#include "app/log_views.h"
#include "app/options.h"
#include "app/reference_commands.h"
#include "app/tool_glyphs.h"
#include "app_fixture.h"
#include "platform/shell.h"
#include "controls/mem_data.h"
#include "controls/vx_spin.h"
#include "platform/actnlist.h"
#include "mtdata/edi_writer.h"
#include "mtdata/plot_tables.h"
#include "platform/bitmap.h"
#include "platform/comctrls.h"
#include "platform/canvas.h"
#include "platform/extctrls.h"
#include "platform/imglist.h"
#include "platform/logdevice.h"
#include "platform/stdctrls.h"
#include "platform/toolbars.h"

namespace {

std::vector<std::string> Lines(TMemo* M) {
  std::vector<std::string> r;
  for (int i = 0; i < M->Lines()->Count(); ++i) r.push_back((*M->Lines())[i]);
  return r;
}

TEST_F(AppFixture, ProgramLogTurnsBytesIntoLines) {
  Start();
  ShowProgramLog();
  ASSERT_TRUE(FormExists(STermWin1));
  const std::string nbsp = "\xC2\xA0";
  struct Case {
    std::string Written;
    std::vector<std::string> Added;
    std::string Pending;
  };
  for (const Case& c : {Case{"a b\n", {"a" + nbsp + "b"}, ""}, Case{"text\r\n", {"text", ""}, ""},
                        Case{"one\n", {"one"}, ""}, Case{"x\x07y\x01z", {}, "xyz"}}) {
    STermWin1->Memo1->Lines()->Clear();
    LogWrite(c.Written);
    EXPECT_EQ(Lines(STermWin1->Memo1), c.Added) << c.Written;
    EXPECT_EQ(STermWin1->PendingLine(), c.Pending);
    if (!c.Pending.empty()) STermWin1->LogCommitLine();
  }
  STermWin1->Memo1->Lines()->Clear();
  for (int i = 1; i <= 600; ++i) LogWriteLn("line " + std::to_string(i));
  const auto kept = Lines(STermWin1->Memo1);
  ASSERT_EQ(kept.size(), 512u);
  EXPECT_EQ(kept.front(), "line" + nbsp + "89");
  EXPECT_EQ(kept.back(), "line" + nbsp + "600");
  // Once the batch is shown, the newest line is in sight: the memo has scrolled to its end.
  STermWin1->Show();
  STermWin1->FlushLines();
  Application->ProcessMessages();
  EXPECT_GT(STermWin1->Memo1->TopLine(), 400);

  // Closed, the log keeps its lines in the settings file and shows them when made again.
  STermWin1->Close();
  Application->ProcessMessages();
  EXPECT_FALSE(FormExists(STermWin1));
  EXPECT_FALSE(LogSinkAssigned());
  ShowProgramLog();
  ASSERT_TRUE(FormExists(STermWin1));
  EXPECT_EQ(Lines(STermWin1->Memo1).back(), "line" + nbsp + "600");
}

// The program's version, as the About box shows it, is the one exported EDI files name.
TEST_F(AppFixture, ExportedEdiNamesTheProgramVersion) {
  Start();
  ChooseFiles({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  const std::string edi = SiteFile("version.edi");
  ExportEdi(edi, *CurrentSite, 1);
  const std::string text = ReadAll(edi);
  EXPECT_NE(text.find("    PROGVERS=\"" + VersionInfoValue("ProductName") + " Ver " + VersionInfoValue("FileVersion") +
                      "\"\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("    PROGVERS=\"Varomark Ver 1.0.0\""), std::string::npos);
  EXPECT_NE(text.find("    PROGDATE=\"" + VersionInfoValue("ProductVersion") + "\""), std::string::npos);
}

TEST_F(AppFixture, ShowFormFindsTheOneWindowOfAKind) {
  Start();
  EXPECT_FALSE(ShowForm(Options1));
  TOptions1* first = Options1;
  ShowProgramLog();
  EXPECT_TRUE(ShowForm(Options1));
  EXPECT_EQ(Options1, first);
  EXPECT_EQ(MainForm1->ActiveMDIChild(), first);
  Options1->Close();
  Application->ProcessMessages();
  EXPECT_FALSE(FormExists(first));
  EXPECT_FALSE(ShowForm(Options1));  // a new one
  EXPECT_TRUE(FormExists(Options1));
  EXPECT_FALSE(FormExists(nullptr));
}

TEST_F(AppFixture, SpecialLayoutsLeaveTheBottomFifthToTheLog) {
  Start();
  ShowProgramLog();
  ShowForm(Options1);
  ShowForm(History1);
  const TRect area = MainForm1->MDIClientRect();
  const int h = area.Height();
  ASSERT_TRUE(MainForm1->AcMaximizeSpecial->Execute());
  for (TForm* f : {static_cast<TForm*>(Options1), static_cast<TForm*>(History1)}) {
    EXPECT_EQ(f->Left(), area.Left);
    EXPECT_EQ(f->Top(), area.Top);
    EXPECT_EQ(f->Height(), h * 4 / 5);
  }
  EXPECT_EQ(STermWin1->Top(), area.Top + h * 4 / 5);
  EXPECT_EQ(STermWin1->Height(), h / 5 - 7);
  ASSERT_TRUE(MainForm1->AcCascadeSpecial->Execute());
  EXPECT_EQ(Options1->Top(), area.Top);  // the back one at the corner
  EXPECT_GT(History1->Top(), Options1->Top());
  EXPECT_LE(History1->Top() + History1->Height(), area.Top + h * 4 / 5);
  EXPECT_EQ(STermWin1->Top(), area.Top + h * 4 / 5);
}

TEST_F(AppFixture, RoutedCommandsReachOnlyTheActiveTMyForm) {
  Start();
  ChooseFiles({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  ASSERT_TRUE(MainForm1->AcAutoEdit->Execute());
  const std::string edited = MaskText();
  // The header view is not a TMyForm: Ctrl+Z does nothing while it is active.
  ASSERT_TRUE(MainForm1->AcLabel->Execute());
  ASSERT_EQ(MainForm1->ActiveMDIChild(), HeadFmNf1);
  MainForm1->IsShortCut('Z', {ssCtrl});
  EXPECT_EQ(MaskText(), edited);
  // A toggle flips its own check even with no view to take it.
  MainForm1->AcMeanView->SetEnabled(true);
  ASSERT_TRUE(MainForm1->AcMeanView->Execute());
  EXPECT_TRUE(MainForm1->AcMeanView->Checked());
  // The cursor tools check like radio buttons.
  MainForm1->AcLasso->SetEnabled(true);
  ASSERT_TRUE(MainForm1->AcLasso->Execute());
  EXPECT_TRUE(MainForm1->AcLasso->Checked());
  EXPECT_FALSE(MainForm1->AcPointer->Checked());
  // The check word round trip of the tool actions.
  const uint16_t word = MainForm1->ToolCheckWord();
  MainForm1->CheckViewActions(0x10);  // Two Horiz lines
  EXPECT_TRUE(MainForm1->AcTwoHorl->Checked());
  EXPECT_FALSE(MainForm1->AcLasso->Checked());
  MainForm1->CheckViewActions(word);
  EXPECT_TRUE(MainForm1->AcLasso->Checked());
  // The enable word of the editing window.
  MainForm1->EnableViewActions(0x183);
  EXPECT_TRUE(MainForm1->AcDeleting->Enabled());
  EXPECT_TRUE(MainForm1->AcTwoHorl->Enabled());
  EXPECT_FALSE(MainForm1->AcFirst->Enabled());
  EXPECT_FALSE(MainForm1->AcUndo->Enabled());
  MainForm1->EnableViewActions(0xFFFF);
  EXPECT_TRUE(MainForm1->AcUndo->Enabled());  // the journal is past its beginning
  EXPECT_FALSE(MainForm1->AcRedo->Enabled());
}

TEST_F(AppFixture, EditingWindowCommandsAreEnabledExactlyWhileASiteIsOpen) {
  Start();
  const std::vector<TAction*> editing = {MainForm1->AcEditing, MainForm1->AcComplexEditing};
  MainForm1->UpdateMenuItems(nullptr);
  for (TAction* a : editing) EXPECT_FALSE(a->Enabled()) << a->Name();
  ChooseFiles({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  for (TAction* a : editing) {
    EXPECT_TRUE(a->Enabled()) << a->Name();
    EXPECT_TRUE(a->Execute()) << a->Name();
  }
}

TEST_F(AppFixture, JournalSnapshotsAreCompactAndRestoredWhole) {
  Start();
  ChooseFiles({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  const std::string snap = MaskSnapshot(*CurrentSite);
  EXPECT_LE(snap.size(), static_cast<size_t>(CurrentSite->FreqCount * 100));
  EXPECT_GT(snap.size(), static_cast<size_t>((CurrentSite->FreqCount - 1) * 100));
  const std::string before = MaskText();
  ClearMask();
  ASSERT_TRUE(ApplyMaskSnapshot(snap, *CurrentSite));
  EXPECT_EQ(MaskText(), before);
  // A blank or oversized record leaves the mask alone.
  EXPECT_FALSE(ApplyMaskSnapshot("", *CurrentSite));
  EXPECT_FALSE(ApplyMaskSnapshot(std::string(MaskSnapshotSize + 1, '\1'), *CurrentSite));
  EXPECT_EQ(MaskText(), before);
  // After an undo a new record goes to the end with the next number.
  ASSERT_TRUE(MainForm1->AcAutoEdit->Execute());
  DataModule1->Undo();
  ASSERT_TRUE(MainForm1->AcAutoEdit->Execute());
  ASSERT_EQ(DataModule1->Rows.size(), 3u);
  EXPECT_EQ(DataModule1->Rows.back().Id, 3);
  EXPECT_EQ(DataModule1->TaRedoUndo->RecNo(), 3);
  // Undo on the first record stays there and disables Undo.
  DataModule1->Undo();
  DataModule1->Undo();
  DataModule1->Undo();
  EXPECT_EQ(MaskText(), before);
  EXPECT_FALSE(MainForm1->AcUndo->Enabled());
}

TEST_F(AppFixture, OneEditOfAFrequencyUndoneThroughTheMaskChangeEntry) {
  Start();
  ChooseFiles({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  ShowForm(History1);
  auto plots = [] {
    std::vector<double> v;
    for (int f = 1; f <= CurrentSite->FreqCount; ++f)
      for (int p = 1; p <= 8; ++p) v.push_back(CurrentSite->Plots[f][p]);
    return v;
  };
  const std::string m0 = MaskText();
  const auto p0 = plots();
  // A tool removes three estimates of frequency 12.
  for (int x : {1, 4, 7}) CurrentSite->Mask[12][x] = 2;
  CommitMaskEdit(12, "Lasso");
  EXPECT_EQ(JournalActions(), (std::vector<std::string>{"Start", "Lasso"}));
  EXPECT_EQ(DataModule1->Rows.back().FCur, 12);
  const std::string m1 = MaskText();
  const auto p1 = plots();
  EXPECT_NE(p1, p0);
  // The recomputation after one entry equals a recomputation of the whole site.
  CurrentSite->RestackAll();
  EXPECT_EQ(plots(), p1);
  ASSERT_TRUE(MainForm1->AcUndo->Execute());
  EXPECT_EQ(MaskText(), m0);
  const auto undone = plots();
  CurrentSite->RestackAll();
  EXPECT_EQ(plots(), undone);
  EXPECT_EQ(undone, p0);
  ASSERT_TRUE(MainForm1->AcRedo->Execute());
  EXPECT_EQ(MaskText(), m1);
  EXPECT_EQ(plots(), p1);
}

TEST_F(AppFixture, AutomaticEditingIsRepeatableAndClearingUsesEveryEstimate) {
  Start();
  ChooseFiles({SiteFile("S107.MT2")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  TLogCapture log;
  AutoEdit(0);
  const std::string first = MaskText();
  EXPECT_EQ(log.Lines().front(), "AutoEdit");
  EXPECT_EQ(log.Lines()[1], "  f Mask");
  // A removal by hand is undone by the next run, which gives the same mask.
  CurrentSite->Mask[5][1] = CurrentSite->Mask[5][1] == 1 ? 2 : 1;
  AutoEdit(0);
  EXPECT_EQ(MaskText(), first);
  log.Clear();
  ClearMask();
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"ClearMask"}));
  for (int f = 1; f <= CurrentSite->FreqCount; ++f)
    for (int x = 1; x <= MaxXpr; ++x) EXPECT_NE(CurrentSite->Mask[f][x], 2);
  // Answering No to the clearing question stores nothing.
  const size_t records = DataModule1->Rows.size();
  Answers.push_back(IDNO);
  ASSERT_TRUE(MainForm1->AcClearMask->Execute());
  EXPECT_EQ(DataModule1->Rows.size(), records);
}

TEST(AutoEditPasses, OutlierOfHalfADecadeIsDroppedAndFourEstimatesAreLeftAlone) {
  auto site = std::make_unique<TMTFile>();
  TStaticArray<int16_t, 1, MaxXpr> flags{};
  TStaticArray<double, 1, MaxXpr> w1{};
  const double rho[6] = {100, 110, 95, 105, 100, 1000};  // the last is a decade off
  for (int x = 1; x <= 6; ++x) {
    site->PartialPlots[0][0][x - 1] = rho[x - 1];
    site->PartialPlots[0][1][x - 1] = 50;
    flags[x] = 1;
    w1[x] = 1;
  }
  RejectOutliers(*site, 1, 6, flags, 0, w1);
  EXPECT_EQ(flags[6], 0);
  EXPECT_EQ(w1[6], 0);
  for (int x = 1; x <= 5; ++x) EXPECT_EQ(flags[x], 1) << x;
  // Four used estimates: no outlier removal at all.
  flags[4] = 0;
  flags[5] = 0;
  flags[6] = 1;
  RejectOutliers(*site, 1, 6, flags, 0, w1);
  EXPECT_EQ(flags[6], 1);
}

TEST_F(AppFixture, OptionsAndPlacementsSurviveARestart) {
  Start();
  EXPECT_DOUBLE_EQ(RemoteRefDistance, 45000);
  EXPECT_EQ(PlotSettings.Styles[20], 0xFFFFFF);
  EXPECT_EQ(PlotSettings.Styles[22], 0);
  EXPECT_EQ(PlotSettings.Styles[13], 3);
  ASSERT_TRUE(MainForm1->AcOptions->Execute());
  ASSERT_TRUE(FormExists(Options1));
  Options1->edRef_dist->SetText("12000");
  Options1->cbErrorLog->SetChecked(true);
  Options1->ColorBoxes[0]->SetItemIndex(4);  // navy
  Options1->SetBounds(90, 20, 520, 430);
  Options1->BitBtn1Click(nullptr);  // OK
  Application->ProcessMessages();
  EXPECT_DOUBLE_EQ(RemoteRefDistance, 12000);
  EXPECT_EQ(PlotSettings.Styles[1], 0x800000);
  // Cancel after a change: used now, not stored.
  ASSERT_TRUE(MainForm1->AcOptions->Execute());
  Options1->edRef_dist->SetText("777");
  Options1->SetBounds(5, 5, 520, 430);
  Options1->BitBtn2Click(nullptr);
  Application->ProcessMessages();
  EXPECT_DOUBLE_EQ(RemoteRefDistance, 777);
  MainForm1->SetWindowState(wsNormal);
  MainForm1->SetBounds(33, 44, 500, 400);
  MainForm1->AcShow->Execute();  // the Show tool bar off
  EXPECT_FALSE(MainForm1->ToolBars[5]->Visible());
  ShowForm(AnglChg1);
  AnglChg1->SetBounds(70, 80, 230, 180);
  AnglChg1->Close();
  Application->ProcessMessages();
  Stop();

  RemoteRefDistance = 0;
  ErrorLogOption = false;
  Start();
  EXPECT_DOUBLE_EQ(RemoteRefDistance, 12000);
  EXPECT_TRUE(ErrorLogOption);
  EXPECT_EQ(PlotSettings.Styles[1], 0x800000);
  EXPECT_EQ(MainForm1->Left(), 33);
  EXPECT_EQ(MainForm1->Width(), 500);
  EXPECT_FALSE(MainForm1->AcShow->Checked());
  EXPECT_FALSE(MainForm1->ToolBars[5]->Visible());
  EXPECT_TRUE(MainForm1->AcEditingMode->Checked());  // not stored: shown at every start
  ShowForm(Options1);
  EXPECT_EQ(Options1->Left(), 90) << "the placement of OK, not of Cancel";
  EXPECT_EQ(Options1->Top(), 20);
  ShowForm(AnglChg1);
  EXPECT_EQ(AnglChg1->Left(), 70);
  EXPECT_EQ(AnglChg1->Top(), 80);
}

TEST_F(AppFixture, DamagedSettingsFileFallsBackToDefaultsAndKeepsTheRest) {
  const fs::path ini = Dir / "profile" / "app_tests.INI";
  std::ofstream(ini) << "garbage line without a section\n"
                     << "[TOptions1]\n"
                     << "edRef_dist_Text=forty\n"
                     << "ColorBox1_Selected=red-ish\n"
                     << "PointerComboFlat3_ItemIndex=\n"
                     << "cbErrorLog_Checked=True\n"
                     << "=no key\n"
                     << "[TChart]\nZMin9=0.1\n"
                     << "[Other]\nKeep=this\n";
  Start();
  EXPECT_DOUBLE_EQ(RemoteRefDistance, 45000);
  EXPECT_EQ(PlotSettings.Styles[13], 3);
  EXPECT_TRUE(ErrorLogOption);  // what can be read is read
  EXPECT_EQ(PlotPropRows[0][1][1].Value, "0.1");
  Stop();
  TIniFile f(ini.string());
  EXPECT_EQ(f.ReadString("Other", "Keep", ""), "this");
  EXPECT_EQ(f.ReadString("TChart", "ZMin9", ""), "0.1");
  ResetPropRows();
}

TEST_F(AppFixture, BatchConvertsAFolderAndNamesTheBadFile) {
  Start();
  std::ofstream(SiteFile("bad.mt1")) << "not a sounding";
  const std::string out = (Dir / "out").string();
  ChooseFiles({SiteFile("S107.MT1"), SiteFile("bad.mt1"), SiteFile("S107.MT2"), SiteFile("readme.txt")});
  ChooseFolder(out);
  ASSERT_TRUE(MainForm1->AcBatchConvToEdi->Execute());
  EXPECT_TRUE(fs::exists(Dir / "out" / "S107.edi") || fs::exists(Dir / "out" / "S107.edi"));
  EXPECT_FALSE(fs::exists(Dir / "out" / "bad.edi"));
  ASSERT_FALSE(Boxes.empty());
  EXPECT_NE(Boxes.back().find("bad.mt1"), std::string::npos);
  EXPECT_EQ(Boxes.back().find("S107"), std::string::npos);
  EXPECT_FALSE(MainForm1->ProgressBar1->Visible());
  EXPECT_EQ(MainForm1->ProgressBar1->Position(), 4);
  EXPECT_TRUE(SiteFiles.empty());

  // The same through the function with distinct outputs per file.
  fs::copy_file(SiteFile("S107.MT1"), SiteFile("A1.mt1"));
  fs::copy_file(SiteFile("S107.MT2"), SiteFile("B2.mt2"));
  auto failed = MainForm1->BatchConvert({SiteFile("A1.mt1"), SiteFile("bad.mt1"), SiteFile("B2.mt2")}, out, 4);
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_EQ(failed[0].substr(0, SiteFile("bad.mt1").size()), SiteFile("bad.mt1"));
  EXPECT_TRUE(fs::exists(Dir / "out" / "A1.dat"));
  EXPECT_TRUE(fs::exists(Dir / "out" / "B2.dat"));
}

TEST_F(AppFixture, RotationWindowStrikeModeAndReferenceChecks) {
  Start();
  ChooseFiles({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  CurrentSite->RotationAngle = 12.5;
  ASSERT_TRUE(MainForm1->AcAngleChg->Execute());
  EXPECT_EQ(AnglChg1->Edit1->Text(), "12.5");
  AnglChg1->RadioGroup1->SetItemIndex(1);
  AnglChg1->RadioGroup1Click(nullptr);
  EXPECT_EQ(AnglChg1->Edit1->Text(), "0");
  EXPECT_FALSE(AnglChg1->Edit1->Enabled());
  AnglChg1->BitBtn1->Click();
  EXPECT_EQ(CurrentSite->RotationMode, 1);
  AnglChg1->RadioGroup1->SetItemIndex(0);
  AnglChg1->RadioGroup1Click(nullptr);
  AnglChg1->Edit1->SetText("abc");
  EXPECT_THROW(AnglChg1->BitBtn1Click(nullptr), Exception);
  EXPECT_EQ(CurrentSite->RotationMode, 0);  // set before the angle failed
  EXPECT_DOUBLE_EQ(CurrentSite->RotationAngle, 0);
  MainForm1->CheckReferenceAction(2);
  EXPECT_TRUE(MainForm1->AcRE->Checked());
  EXPECT_FALSE(MainForm1->AcRH->Checked());
  MainForm1->CheckReferenceAction(7);
  for (TAction* a : {MainForm1->AcLE, MainForm1->AcLH, MainForm1->AcRE, MainForm1->AcRH}) EXPECT_FALSE(a->Checked());
}

TEST_F(AppFixture, SecondReferenceDialogOffersTheSiteReferences) {
  Start();
  struct {
    int Type, Current;
    std::vector<std::string> Items;
    int Selected;
  } cases[] = {
      {1, 1, {"LE", "LH"}, 0},       {3, 3, {"LE", "LH"}, 1},        {2, 2, {"LE", "LH", "RE"}, 2},
      {4, 4, {"LE", "LH", "RH"}, 2}, {4, 5, {"LE", "LH", "RH"}, -1},  // not a standard reference: nothing chosen
      {1, 4, {"LE", "LH"}, -1},                                       // a remote reference the file cannot give
  };
  for (const auto& c : cases) {
    TSecRef1 d(MainForm1);
    d.Fill(c.Type, c.Current);
    std::vector<std::string> items;
    for (int i = 0; i < d.RadioGroup1->Items()->Count(); ++i) items.push_back(d.RadioGroup1->Items()->Strings(i));
    EXPECT_EQ(items, c.Items) << c.Type << "/" << c.Current;
    EXPECT_EQ(d.RadioGroup1->ItemIndex(), c.Selected) << c.Type << "/" << c.Current;
  }

  ChooseFiles({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  ASSERT_TRUE(MainForm1->AcOtherReference->Enabled());
  const int before = CurrentSite->DisplayReference;
  Modals.push_back([](TForm* F) {
    auto* d = static_cast<TSecRef1*>(F);
    EXPECT_EQ(d->Caption(), "Second Reference");
    d->RadioGroup1->SetItemIndex(1);
    d->BitBtn2->Click();  // Cancel changes nothing
  });
  ASSERT_TRUE(MainForm1->AcOtherReference->Execute());
  EXPECT_EQ(CurrentSite->DisplayReference, before);
  Modals.push_back([](TForm* F) {
    auto* d = static_cast<TSecRef1*>(F);
    d->RadioGroup1->SetItemIndex(1);
    d->BitBtn1->Click();
  });
  ASSERT_TRUE(MainForm1->AcOtherReference->Execute());
  EXPECT_EQ(CurrentSite->DisplayReference, 1);
}

TEST_F(AppFixture, AboutBoxShowsTheVersionTableAndCyclesItsLogos) {
  Start();
  Modals.push_back([](TForm* F) {
    auto* box = static_cast<TAboutBox*>(F);
    EXPECT_EQ(box->Caption(), "About Varomark");
    EXPECT_EQ(box->ProductName->Caption(), "Varomark");
    EXPECT_EQ(box->LogoCount, 3);
    EXPECT_TRUE(box->Timer1->Enabled());
    std::vector<int> shown;
    for (int i = 0; i < 4; ++i) {
      shown.push_back(box->LogoCounter);
      box->Timer1->Fire();
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 0}));
    box->OKButton->Click();
  });
  MainForm1->N8Click(nullptr);
  EXPECT_EQ(ModalCaptions, (std::vector<std::string>{"About Varomark"}));
}

// A click on a label, as the mouse gives it.
void ClickLabel(TControl* L) {
  L->DispatchMouseDown(mbLeft, {ssLeft}, 3, 3, false);
  L->DispatchMouseUp(mbLeft, {}, 3, 3);
}

// The links of the about box open through the desktop: the web address as it is, the e-mail
// addresses as mail links; without a handler they are disabled and say why.
TEST_F(AppFixture, AboutBoxLinksOpenThroughTheDesktop) {
  Start();
  std::vector<std::string> opened;
  SetShellOpenHook([&](const std::string& T) {
    opened.push_back(T);
    return true;
  });
  {
    TAboutBox box(Application);
    EXPECT_TRUE(box.WebLabel->Enabled());
    EXPECT_EQ(box.WebLabel->Cursor(), crHandPoint);
    for (TControl* l : {box.WebLabel, box.EmailLabel1, box.EmailLabel2}) ClickLabel(l);
    // Rows stay apart: a wrapped value ends above the next row.
    EXPECT_LE(box.Copyright->Top() + box.Copyright->Height(), box.Company->Top());
    EXPECT_LE(box.ProductName->Top() + box.ProductName->Height(), box.Version->Top());
  }
  EXPECT_EQ(opened, (std::vector<std::string>{VersionInfoValue("Web"), "mailto:" + VersionInfoValue("EMail1"),
                                              "mailto:" + VersionInfoValue("EMail2")}));
  // A desktop without a handler.
  SetShellCanOpenHook([](const std::string&) { return false; });
  opened.clear();
  {
    TAboutBox box(Application);
    for (TLabel* l : {box.WebLabel, box.EmailLabel1}) {
      EXPECT_FALSE(l->Enabled());
      EXPECT_NE(l->Hint().find("missing"), std::string::npos) << l->Hint();
      EXPECT_NE(l->Cursor(), crHandPoint);
      ClickLabel(l);
    }
  }
  EXPECT_TRUE(opened.empty());
  // A handler that fails says so.
  SetShellCanOpenHook(nullptr);
  SetShellOpenHook([](const std::string&) { return false; });
  {
    TAboutBox box(Application);
    Boxes.clear();
    ClickLabel(box.WebLabel);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_NE(Boxes[0].find(VersionInfoValue("Web")), std::string::npos);
  }
  SetShellOpenHook(nullptr);
}

// The circle tool and the curve shift have cursors of their own under the numbers the editing
// windows use.
TEST_F(AppFixture, EditingToolCursorsAreRegistered) {
  Start();
  for (auto [number, name] : {std::pair{-5, "BULLSEY5"}, std::pair{1, "HANDUPDW"}}) {
    SCOPED_TRACE(name);
    ASSERT_NE(LoadCursorResource(name), HCURSOR(0));
    EXPECT_EQ(Screen->Cursors(number), LoadCursorResource(name));
    EXPECT_NE(Screen->Cursors(number), Screen->Cursors(crDefault));
  }
}

TEST_F(AppFixture, ToolBarsCarryTheirPictures) {
  Start();
  EXPECT_EQ(MainForm1->ImageList1->Count(), ToolGlyphIndex("AcLast") + 1);
  // The open-folder picture: yellow inside, transparent at the corner.
  TBitmap b(24, 24, pf24bit);
  b.Canvas()->Brush()->SetColor(clWhite);
  MainForm1->ImageList1->GetBitmap(ToolGlyphIndex("acOpen"), &b);
  EXPECT_EQ(b.Canvas()->Pixels(0, 0), clWhite);
  EXPECT_EQ(b.Canvas()->Pixels(12, 16), static_cast<TColor>(0x7FE0FF));
  for (int i = 0; i < 8; ++i) EXPECT_TRUE(MainForm1->ToolBars[i]->Visible()) << i;
  EXPECT_EQ(MainForm1->ToolBars[0]->ButtonCount(), 8);
  EXPECT_EQ(MainForm1->ToolBars[0]->Buttons(0)->Action(), MainForm1->acOpen);
  EXPECT_EQ(MainForm1->StatusBar1->Panels()->Count(), 6);
  MainForm1->SetStatusText(1, "f=3");
  EXPECT_EQ(MainForm1->StatusBar1->Panels()->Items(1)->Text(), "f=3");
  // Child windows live between the tool bars and the status bar, not over them.
  const TRect area = MainForm1->MDIClientRect();
  EXPECT_EQ(area.Top, MainForm1->ControlBar1->Top() + MainForm1->ControlBar1->Height());
  EXPECT_EQ(area.Bottom, MainForm1->StatusBar1->Top());
  ShowProgramLog();
  EXPECT_GE(STermWin1->Top(), area.Top);
  EXPECT_LE(STermWin1->Top() + STermWin1->Height(), area.Bottom);
  ShowForm(Options1);
  EXPECT_GE(Options1->Top(), area.Top);
}

}  // namespace
