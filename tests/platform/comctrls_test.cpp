// Progress bar range and painting; page control tabs picked by mouse and keys, vetoed, streamed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/comctrls.h"
#include "platform/exceptions.h"
#include "platform/streaming.h"
#include "platform/typinfo.h"

namespace {

TEST(ComCtrls, ProgressBarKeepsPositionInRangeAndFillsItsShare) {
  TProgressBar bar(nullptr);
  bar.SetBounds(0, 0, 102, 10);
  SetOrdProp(&bar, "Max", 200);  // set by name, as the program's settings do
  SetOrdProp(&bar, "Position", 50);
  EXPECT_EQ(bar.Position(), 50);
  EXPECT_EQ(bar.BarRect(), Rect(1, 1, 26, 9));
  bar.Repaint();
  EXPECT_EQ(ControlSurfacePixel(&bar, 20, 5), ColorToRGB(clHighlight));
  EXPECT_EQ(ControlSurfacePixel(&bar, 40, 5), ColorToRGB(clBtnFace));

  bar.SetPosition(500);
  EXPECT_EQ(bar.Position(), 200);
  bar.SetMax(100);  // a lower Max pulls the position in
  EXPECT_EQ(bar.Position(), 100);
  EXPECT_THROW(bar.SetMin(101), EInvalidOperation);
  EXPECT_THROW(bar.SetMax(-1), EInvalidOperation);
  bar.SetStep(30);
  bar.StepIt();  // past Max it starts again from Min
  EXPECT_EQ(bar.Position(), 29);
  bar.SetMin(100);
  EXPECT_EQ(bar.BarRect().Width(), 0);  // an empty range draws nothing and divides by nothing
}

TEST(ComCtrls, ProgressBarReadsItsRangeInAnyOrder) {
  struct Case {
    const char* Body;
    int Min, Max, Position;
  };
  const Case cases[] = {
      {"Position = 700\n  Max = 1000\n  Min = 600", 600, 1000, 700},
      {"Position = 5000\n  Max = 1000", 0, 1000, 1000},  // out of range: clamped once loaded
      {"Min = 50\n  Max = 10", 50, 50, 50},
  };
  for (const Case& c : cases) {
    TProgressBar copy(nullptr);
    TextToComponent(std::string("object Bar: TProgressBar\n  ") + c.Body + "\nend\n", &copy);
    EXPECT_EQ(copy.Min(), c.Min) << c.Body;
    EXPECT_EQ(copy.Max(), c.Max) << c.Body;
    EXPECT_EQ(copy.Position(), c.Position) << c.Body;
  }
}

struct Pages {
  TPageControl pc{nullptr};
  TTabSheet* a;
  TTabSheet* b;
  TTabSheet* c;
  Pages() {
    pc.SetBounds(0, 0, 300, 200);
    a = new TTabSheet(nullptr);
    b = new TTabSheet(nullptr);
    c = new TTabSheet(nullptr);
    const char* names[] = {"First", "Second", "Third"};
    int i = 0;
    for (TTabSheet* s : {a, b, c}) {
      s->SetCaption(names[i++]);
      s->SetPageControl(&pc);
    }
  }
};

// Tabs wider together than the control share its width: the last one stays inside and takes clicks.
TEST(ComCtrls, PageControlTabsTooWideShareTheWidth) {
  for (int width : {300, 120, 60}) {
    Pages p;
    p.pc.SetWidth(width);
    for (TTabSheet* s : {p.a, p.b, p.c}) s->SetCaption(s->Caption() + " page with a long caption");
    int right = 0;
    for (int i = 0; i < 3; ++i) {
      const TRect r = p.pc.TabRect(i);
      EXPECT_GE(r.Left, right) << width << " " << i;
      EXPECT_GT(r.Right, r.Left) << width << " " << i;
      right = r.Right;
    }
    EXPECT_LE(right, width - 2) << width;
    const TRect last = p.pc.TabRect(2);
    SendInput(&p.pc, ikMouseDown, {}, (last.Left + last.Right) / 2, last.Top + 3, mbLeft);
    EXPECT_EQ(p.pc.ActivePage(), p.c) << width;
  }
  // Tabs that fit keep their margins.
  Pages p;
  const TRect first = p.pc.TabRect(0);
  EXPECT_EQ(first.Width(), p.pc.Canvas()->TextWidth("First") + 16);
}

TEST(ComCtrls, PageControlSwitchesPagesByClickAndKeysAndAsksFirst) {
  Pages p;
  EXPECT_EQ(p.pc.ActivePage(), p.a);
  EXPECT_TRUE(p.a->Visible());
  EXPECT_FALSE(p.b->Visible());
  EXPECT_EQ(p.a->BoundsRect(), p.pc.ClientRect());
  std::vector<std::string> log;
  bool allow = true;
  p.pc.OnChanging = [&](TObject*, bool& Allow) {
    log.push_back("changing");
    Allow = allow;
  };
  p.pc.OnChange = [&](TObject*) { log.push_back("change " + std::to_string(p.pc.TabIndex())); };

  TRect second = p.pc.TabRect(1);
  SendInput(&p.pc, ikMouseDown, {}, second.Left + 3, second.Top + 3, mbLeft);
  EXPECT_EQ(p.pc.ActivePage(), p.b);
  EXPECT_TRUE(p.b->Visible());
  EXPECT_FALSE(p.a->Visible());
  allow = false;
  SendInput(&p.pc, ikKeyDown, {ssCtrl}, 0, 0, VK_TAB);
  EXPECT_EQ(p.pc.ActivePage(), p.b);
  allow = true;
  SendInput(&p.pc, ikKeyDown, {ssCtrl}, 0, 0, VK_TAB);
  EXPECT_EQ(p.pc.ActivePage(), p.c);
  SendInput(&p.pc, ikKeyDown, {ssCtrl}, 0, 0, VK_TAB);  // wraps round
  EXPECT_EQ(p.pc.ActivePage(), p.a);
  EXPECT_EQ(log, (std::vector<std::string>{"changing", "change 1", "changing", "changing", "change 2", "changing",
                                           "change 0"}));
  log.clear();
  p.pc.SetTabIndex(2);  // from code: no events
  EXPECT_TRUE(log.empty());

  // Hidden tabs are skipped by TabIndex and cannot be active.
  p.b->SetTabVisible(false);
  EXPECT_EQ(p.c->TabIndex(), 1);
  EXPECT_EQ(p.pc.TabIndex(), 1);
  EXPECT_THROW(p.pc.SetActivePage(p.b), EInvalidOperation);
  p.c->SetTabVisible(false);  // the active page's tab goes: the next visible one takes over
  EXPECT_EQ(p.pc.ActivePage(), p.a);
  delete p.a;  // freeing the active page leaves no dangling page
  EXPECT_EQ(p.pc.ActivePage(), nullptr);
  EXPECT_EQ(p.pc.PageCount(), 2);
  EXPECT_THROW(p.pc.Pages(2), EListError);

  p.pc.SetBounds(0, 0, 400, 300);  // pages follow the control's size
  EXPECT_EQ(p.b->BoundsRect(), p.pc.ClientRect());
}

TEST(ComCtrls, PageControlStreamsItsSheetsAndActivePage) {
  auto* root = new TPageControl(nullptr);
  root->SetName("Pages1");
  for (const char* n : {"Sheet1", "Sheet2"}) {
    auto* s = new TTabSheet(root);
    s->SetName(n);
    s->SetCaption(std::string("Cap") + n);
    s->SetPageControl(root);
  }
  root->SetActivePageIndex(1);
  std::string text = ComponentToText(root);
  auto* copy = dynamic_cast<TPageControl*>(TextToComponent(text, nullptr));
  ASSERT_NE(copy, nullptr);
  ASSERT_EQ(copy->PageCount(), 2);
  EXPECT_EQ(copy->Pages(1)->Caption(), "CapSheet2");
  EXPECT_EQ(copy->ActivePage(), copy->Pages(1)) << text;
  EXPECT_TRUE(copy->Pages(1)->Visible());
  EXPECT_FALSE(copy->Pages(0)->Visible());
  delete copy;
  delete root;
}

}  // namespace

namespace {

TEST(ComCtrls, TrackBarFollowsTheMouseAndKeysWithinItsRange) {
  TTrackBar bar(nullptr);
  bar.SetBounds(0, 0, 116, 30);  // a 100-pixel track
  bar.SetMax(100);
  std::vector<int> seen;
  bar.OnChange = [&](TObject*) { seen.push_back(bar.Position()); };
  EXPECT_EQ(bar.PositionToPixel(50), 58);
  SendInput(&bar, ikMouseDown, {}, 58, 15, mbLeft);
  SendInput(&bar, ikMouseMove, {ssLeft}, 300, 15);  // dragged past the end
  SendInput(&bar, ikMouseUp, {}, 300, 15, mbLeft);
  SendInput(&bar, ikMouseMove, {}, 20, 15);  // no button: no change
  EXPECT_EQ(bar.Position(), 100);
  SendInput(&bar, ikKeyDown, {}, 0, 0, VK_HOME);
  SendInput(&bar, ikKeyDown, {}, 0, 0, VK_NEXT);
  SendInput(&bar, ikKeyDown, {}, 0, 0, VK_LEFT);
  SendInput(&bar, ikKeyDown, {}, 0, 0, VK_LEFT);
  SendInput(&bar, ikKeyDown, {}, 0, 0, VK_LEFT);  // already at Min: no change
  EXPECT_EQ(seen, (std::vector<int>{50, 100, 0, 2, 1, 0}));
  bar.SetMin(20);
  EXPECT_EQ(bar.Position(), 20);
  bar.SetMax(20);  // an empty range does not divide by zero
  EXPECT_EQ(bar.PixelToPosition(70), 20);
  bar.Repaint();
  bar.SetOrientation(trVertical);
  EXPECT_EQ(bar.Height(), 116);
}

}  // namespace
