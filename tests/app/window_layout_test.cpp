// Where the program's windows open and how their layouts follow the windows' sizes.
#include "app/journal.h"
#include "app/log_views.h"
#include "app/options.h"
#include "app/reference_commands.h"
#include "app/views/data_view.h"
#include "app_fixture.h"
#include "chart/engine/chart.h"
#include "controls/vx_splitter.h"
#include "platform/actnlist.h"
#include "platform/extctrls.h"

namespace {

bool Overlap(const TRect& A, const TRect& B) {
  return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

}  // namespace

// The window manager sizes the frame after it first shows, when the command-line site has already
// opened: the Starting data view and the program log follow the frame's free area, the view above,
// the log below it, until the user places them himself.
TEST_F(AppFixture, CommandLineViewsFollowTheFrameUntilMoved) {
  Start({SiteFile("S107.MT1")});
  ASSERT_TRUE(FormExists(GrViewNf1));
  ASSERT_TRUE(FormExists(STermWin1));
  MainForm1->SetBounds(0, 0, 1500, 980);
  Application->ProcessMessages();
  const TRect area = MainForm1->MDIClientRect();
  const int h = area.Height();
  EXPECT_EQ(GrViewNf1->BoundsRect(), Rect(area.Left, area.Top, area.Right - 4, area.Top + h * 4 / 5));
  EXPECT_EQ(STermWin1->Top(), area.Top + h * 4 / 5);
  EXPECT_EQ(STermWin1->Width(), area.Width() - 4);
  EXPECT_FALSE(Overlap(GrViewNf1->BoundsRect(), STermWin1->BoundsRect()));

  GrViewNf1->SetBounds(area.Left + 30, area.Top + 20, 700, 400);  // the user's own place
  MainForm1->SetBounds(0, 0, 1300, 900);
  Application->ProcessMessages();
  EXPECT_EQ(GrViewNf1->BoundsRect(), Rect(area.Left + 30, area.Top + 20, area.Left + 730, area.Top + 420));
  const TRect smaller = MainForm1->MDIClientRect();
  EXPECT_EQ(STermWin1->Top(), smaller.Top + smaller.Height() * 4 / 5);  // the log still follows
}

// The data view's two charts share its height in proportion as the window is sized (the lower one
// had a fixed height that squeezed the upper one out of a small or scaled window), and its lists
// all stay in sight; a height the splitter gave the lower chart becomes its share.
TEST_F(AppFixture, DataViewChartsKeepTheirProportionWhenSized) {
  Start({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->AcResultingData->Execute());
  ASSERT_TRUE(FormExists(GrView1));
  TGrViewNf1* v = GrView1;
  ASSERT_TRUE(v->Chart2->Visible());  // impedance: two panels
  auto share = [v] { return double(v->Chart2->Height()) / (v->Chart1->Height() + v->Chart2->Height()); };
  const int parameters = v->GroupBox4->Height();
  for (const auto& [w, h] : {std::pair{900, 700}, {600, 300}, {1200, 900}}) {
    v->SetBounds(0, 0, w, h);
    EXPECT_GT(v->Chart1->Height(), 40) << h;
    EXPECT_NEAR(share(), 0.5, 0.05) << h;
    // The lists: every one in sight in a short window, their own heights back in a tall one.
    EXPECT_LE(v->GroupBox2->Top() + v->GroupBox2->Height(), v->Panel1->ClientHeight()) << h;
    EXPECT_GE(v->GroupBox2->Height(), 48) << h;
    if (h == 900) {
      EXPECT_EQ(v->GroupBox4->Height(), parameters);
    }
  }
  v->Chart2->SetHeight(v->Chart2->Height() / 2);  // as the splitter leaves it
  v->Splitter6->OnPosChanged(v->Splitter6);
  const double dragged = share();
  v->SetBounds(0, 0, 800, 500);
  EXPECT_NEAR(share(), dragged, 0.05);
}

// On a small screen or at a large scale the frame's free area is smaller than a window's own size:
// the window opens inside the area, none of it under the status bar or beyond the frame's edge.
// A window that fits in the area elsewhere moves there whole rather than shrinking at its place.
TEST_F(AppFixture, WindowsOpenInsideASmallFreeArea) {
  Start({SiteFile("S107.MT1")});
  MainForm1->SetBounds(0, 0, 620, 420);
  Application->ProcessMessages();
  const TRect area = MainForm1->MDIClientRect();
  ShowForm(Options1);
  ShowForm(History1);
  ASSERT_TRUE(MainForm1->AcAngleChg->Execute());
  ASSERT_NE(AnglChg1, nullptr);
  EXPECT_EQ(AnglChg1->Width(), 220);
  EXPECT_EQ(AnglChg1->Height(), 170);
  for (TForm* f : {static_cast<TForm*>(Options1), static_cast<TForm*>(History1), static_cast<TForm*>(AnglChg1)}) {
    const TRect b = f->BoundsRect();
    EXPECT_TRUE(b.Left >= area.Left && b.Top >= area.Top && b.Right <= area.Right && b.Bottom <= area.Bottom)
        << f->Name() << " " << b.Left << "," << b.Top << "," << b.Right << "," << b.Bottom << " in " << area.Right
        << "," << area.Bottom;
  }
}
