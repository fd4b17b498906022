// The site session: one edit told to the listeners once with its frequency, undo and close heard
// as whole-site changes, listeners that go while others are told, the editing mode, and the main
// window's actions following the session and the session following them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/journal.h"
#include "app/main_form.h"
#include "app/site_session.h"
#include "mtdata/mt_types.h"
#include "mtdata/site_file.h"
#include "platform/actnlist.h"
#include "view_fixture.h"

namespace {

struct SessionFixture : ViewFixture {
  // What one listener heard, in order: "F3", "every", "replaced".
  std::vector<std::string> Heard;
  void Listen(const void* Owner) {
    Session->AddListener(Owner,
                         {.OnFrequencyChanged = [this](TObject*, int F) { Heard.push_back("F" + std::to_string(F)); },
                          .OnEveryFrequencyChanged = [this](TObject*) { Heard.push_back("every"); },
                          .OnSiteReplaced = [this](TObject*) { Heard.push_back("replaced"); }});
  }
};

}  // namespace

TEST_F(SessionFixture, OneEditIsOneRecordAndOneFrequencyToldUndoAndCloseTellTheWholeSite) {
  OpenSite({SiteFile("S107.MT1")});
  TMTFile* site = Session->Site();
  ASSERT_NE(site, nullptr);
  Session->SetModified(false);
  Listen(this);
  const std::string before = MaskText();
  const double stackedBefore = site->Plots[3][1];
  ASSERT_EQ(site->Mask[3][1], 1);
  site->Mask[3][1] = 2;
  Session->CommitMaskEdit(3, "Finger");
  EXPECT_EQ(Heard, (std::vector<std::string>{"F3"}));
  EXPECT_EQ(JournalActions(), (std::vector<std::string>{"Start", "Finger"}));
  EXPECT_TRUE(Session->Modified());
  EXPECT_TRUE(SiteModified) << "the flag the shell reads is the session's";
  EXPECT_NE(site->Plots[3][1], stackedBefore) << "the frequency is stacked again without the estimate";
  EXPECT_TRUE(Session->CanUndo());
  EXPECT_FALSE(Session->CanRedo());

  Heard.clear();
  Session->Undo();
  EXPECT_EQ(MaskText(), before);
  EXPECT_DOUBLE_EQ(site->Plots[3][1], stackedBefore);
  EXPECT_EQ(Heard, (std::vector<std::string>{"every"}));
  EXPECT_TRUE(Session->CanRedo());

  Heard.clear();
  Session->Close();
  EXPECT_EQ(Heard, (std::vector<std::string>{"replaced"}));
  EXPECT_EQ(Session->Site(), nullptr);
  EXPECT_FALSE(Session->Modified());
  EXPECT_TRUE(JournalActions().empty());
}

// A listener may make another go (a window closed by a refresh) or go itself: the one gone is not
// told, the others are, each once.
TEST_F(SessionFixture, ListenersThatGoWhileOthersAreToldAreSkipped) {
  OpenSite({SiteFile("S107.MT1")});
  int first = 0, second = 0, third = 0;
  const int a = 0, b = 0, c = 0;
  Session->AddListener(&a, {.OnEveryFrequencyChanged = [&](TObject*) {
    ++first;
    Session->RemoveListener(&b);
    Session->RemoveListener(&a);
  }});
  Session->AddListener(&b, {.OnEveryFrequencyChanged = [&](TObject*) { ++second; }});
  Session->AddListener(&c, {.OnEveryFrequencyChanged = [&](TObject*) { ++third; }});
  RefreshAllViews(nullptr);
  RefreshAllViews(nullptr);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 0);
  EXPECT_EQ(third, 2);
  // A listener of every frequency only hears a one-frequency edit through that handler.
  Session->CommitMaskEdit(2, "Circle");
  EXPECT_EQ(third, 3);
  Session->RemoveListener(&c);
}

TEST_F(SessionFixture, ACursorToolReplacesTheOtherFiveAndLeavesTheRest) {
  OpenSite({SiteFile("S107.MT1")});
  std::vector<uint16_t> changes;
  Session->OnModeChange = [&](uint16_t Mode) { changes.push_back(Mode); };
  Session->SetMode(emDeleting, true);
  Session->SelectTool(emLasso);
  EXPECT_TRUE(Session->Is(emLasso));
  EXPECT_FALSE(Session->Is(emPointer));
  EXPECT_TRUE(Session->Is(emDeleting));
  Session->SelectTool(emLasso);  // no change: not told
  Session->SetModeWord(emHand | emRestoring);
  EXPECT_EQ(Session->Mode() & ToolModeBits, emHand | emRestoring);
  EXPECT_EQ(changes.size(), 3u);
  Session->OnModeChange = nullptr;
}

// The main window checks its tool and reference actions as the session says, and tells the
// session what the user checks.
TEST_F(AppFixture, MainWindowActionsAndTheSessionFollowEachOther) {
  Start();
  ChooseFiles({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  TSiteSession* s = MainForm1->Session;
  ASSERT_EQ(s, SiteSession);
  EXPECT_EQ(s->Reference(), frtRemoteH);
  ASSERT_TRUE(MainForm1->AcEditing->Execute());  // the editing window offers every tool
  ASSERT_TRUE(MainForm1->AcCircle->Execute());
  EXPECT_TRUE(s->Is(emCircle));
  EXPECT_FALSE(s->Is(emPointer));
  ASSERT_TRUE(MainForm1->AcDeleting->Execute());
  EXPECT_TRUE(s->Is(emDeleting));
  s->SelectTool(emHand);
  EXPECT_TRUE(MainForm1->AcHand->Checked());
  EXPECT_FALSE(MainForm1->AcCircle->Checked());
  EXPECT_TRUE(MainForm1->AcDeleting->Checked());
  ASSERT_TRUE(MainForm1->AcLH->Execute());
  EXPECT_EQ(s->Reference(), frtLocalH);
  EXPECT_FALSE(MainForm1->AcRH->Checked());
  EXPECT_EQ(s->Site()->DisplayReference, 1);
}
