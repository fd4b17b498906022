// A dialog driven from the keyboard alone: the first focus, Tab and Shift+Tab through the tab
// order, accelerators on labels, group boxes and tabs, the keys of page controls, radio groups
// and list boxes, and the focus marks of the controls that draw themselves.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/bitmap.h"
#include "platform/comctrls.h"
#include "platform/controls.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/richedit.h"
#include "platform/stdctrls.h"

namespace {

struct Dialog {
  TForm Form{nullptr};
  TLabel* SeriesLabel;
  TComboBox* Series;
  TEdit* Name;
  TEdit* Disabled;
  TGroupBox* Options;
  TCheckBox* Smooth;
  TCheckBox* Marks;
  TRadioGroup* Kind;
  TListBox* List;
  TPageControl* Pages;
  TTabSheet* General;
  TTabSheet* Axes;
  TEdit* Title;
  TEdit* Axis;
  TButton* Ok;
  TButton* Cancel;

  template <class T>
  T* Make(TWinControl* Parent, int L, int T_, int W, int H) {
    auto* c = new T(&Form);
    c->SetParent(Parent);
    c->SetBounds(L, T_, W, H);
    return c;
  }

  Dialog() {
    Form.SetBounds(100, 100, 520, 360);
    SeriesLabel = Make<TLabel>(&Form, 8, 12, 60, 17);
    SeriesLabel->SetCaption("&Series:");
    Series = Make<TComboBox>(&Form, 80, 8, 140, 24);
    Series->Items()->Add("Rho");
    Series->Items()->Add("Phase");
    SeriesLabel->SetFocusControl(Series);
    Name = Make<TEdit>(&Form, 80, 40, 140, 24);
    Disabled = Make<TEdit>(&Form, 80, 70, 140, 24);
    Disabled->SetEnabled(false);
    Options = Make<TGroupBox>(&Form, 8, 100, 220, 70);
    Options->SetCaption("&Options");
    Smooth = Make<TCheckBox>(Options, 10, 20, 100, 20);
    Smooth->SetCaption("Smooth");
    Marks = Make<TCheckBox>(Options, 10, 44, 100, 20);
    Marks->SetCaption("&Marks");
    Kind = Make<TRadioGroup>(&Form, 8, 176, 220, 90);
    Kind->SetCaption("Kind");
    for (const char* s : {"Line", "Points", "Bars"}) Kind->Items()->Add(s);
    Kind->SetItemIndex(1);
    List = Make<TListBox>(&Form, 240, 8, 120, 84);  // 80 inside the border
    List->SetItemHeight(16);
    for (int i = 0; i < 20; ++i) List->Items()->Add("row " + std::to_string(i));
    Pages = Make<TPageControl>(&Form, 240, 100, 260, 160);
    General = new TTabSheet(&Form);
    General->SetPageControl(Pages);
    General->SetCaption("&General");
    Axes = new TTabSheet(&Form);
    Axes->SetPageControl(Pages);
    Axes->SetCaption("A&xes");
    Title = Make<TEdit>(General, 10, 10, 120, 24);
    Axis = Make<TEdit>(Axes, 10, 10, 120, 24);
    Ok = Make<TButton>(&Form, 340, 300, 75, 25);
    Ok->SetCaption("OK");
    Ok->SetDefault(true);
    Ok->SetModalResult(mrOk);
    Cancel = Make<TButton>(&Form, 420, 300, 75, 25);
    Cancel->SetCaption("Cancel");
    Cancel->SetCancel(true);
    Cancel->SetModalResult(mrCancel);
  }
  // Shows the form and lets the window system activate its window.
  void Show() {
    Form.Show();
    Application->ProcessMessages();
  }
};

std::string NameOf(TWinControl* C, const Dialog& D) {
  const std::pair<TWinControl*, const char*> names[] = {{D.Series, "Series"},
                                                        {D.Name, "Name"},
                                                        {D.Smooth, "Smooth"},
                                                        {D.Marks, "Marks"},
                                                        {D.List, "List"},
                                                        {D.Pages, "Pages"},
                                                        {D.Title, "Title"},
                                                        {D.Axis, "Axis"},
                                                        {D.Ok, "Ok"},
                                                        {D.Cancel, "Cancel"},
                                                        {D.Kind->Buttons(0), "Line"},
                                                        {D.Kind->Buttons(1), "Points"},
                                                        {D.Kind->Buttons(2), "Bars"}};
  for (auto& [c, n] : names)
    if (c == C) return n;
  return C ? C->ClassName() : "none";
}

std::vector<std::string> Walk(Dialog& D, int Steps, TShiftState Shift) {
  std::vector<std::string> r;
  for (int i = 0; i < Steps; ++i) {
    SendKey(Shift, VK_TAB);
    r.push_back(NameOf(FocusedControl(), D));
  }
  return r;
}

}  // namespace

TEST(KeyboardFocus, AFormShowsWithItsActiveControlOrItsFirstTabStopFocused) {
  {
    Dialog d;
    d.Show();
    EXPECT_EQ(NameOf(FocusedControl(), d), "Series");
    EXPECT_EQ(d.Form.ActiveControl(), d.Series);
  }
  {
    Dialog d;
    d.Form.SetActiveControl(d.List);
    d.Show();
    EXPECT_EQ(NameOf(FocusedControl(), d), "List");
    EXPECT_TRUE(d.List->Focused());
  }
  {
    Dialog d;  // the first tab stops can not take the focus: the next one does
    d.Series->SetEnabled(false);
    d.Name->SetTabStop(false);
    d.Show();
    EXPECT_EQ(NameOf(FocusedControl(), d), "Smooth");
  }
}

TEST(KeyboardFocus, TabAndShiftTabWalkTheTabOrderRoundTheForm) {
  Dialog d;
  d.Show();
  // The disabled edit, the label and the hidden page are passed over; a radio group is entered
  // at its checked button only; the walk wraps round.
  EXPECT_EQ(Walk(d, 11, {}), (std::vector<std::string>{"Name", "Smooth", "Marks", "Points", "List", "Pages", "Title",
                                                       "Ok", "Cancel", "Series", "Name"}));
  EXPECT_EQ(Walk(d, 3, {ssShift}), (std::vector<std::string>{"Series", "Cancel", "Ok"}));
  // TabOrder moves a control among its siblings.
  d.Cancel->SetTabOrder(0);
  EXPECT_EQ(d.Cancel->TabOrder(), 0);
  EXPECT_EQ(d.Series->TabOrder(), 1);
  d.Name->SetFocus();
  EXPECT_EQ(Walk(d, 1, {ssShift}), std::vector<std::string>{"Series"});
  EXPECT_EQ(Walk(d, 1, {ssShift}), std::vector<std::string>{"Cancel"});
  // Enter on the focused Cancel button clicks it, not the default one.
  SendKey({}, VK_RETURN);
  EXPECT_EQ(d.Form.ModalResult(), mrCancel);
}

TEST(KeyboardFocus, AcceleratorsFocusTheirControlsAndTurnPages) {
  Dialog d;
  d.Show();
  d.Name->SetFocus();
  struct Case {
    char Key;
    const char* Focus;
    TTabSheet* Page;
  };
  for (const Case& c : {Case{'S', "Series", d.General}, Case{'O', "Smooth", d.General}, Case{'X', "Pages", d.Axes},
                        Case{'G', "Pages", d.General}, Case{'M', "Marks", d.General}}) {
    SendKey({ssAlt}, c.Key);
    EXPECT_EQ(NameOf(FocusedControl(), d), c.Focus) << c.Key;
    EXPECT_EQ(d.Pages->ActivePage(), c.Page) << c.Key;
  }
  // A check box's accelerator toggles it, once its press has shown.
  for (int i = 0; i < 100 && !d.Marks->Checked(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Application->ProcessMessages();
  }
  EXPECT_TRUE(d.Marks->Checked());
  // An accelerator of no control does nothing; a label without ShowAccelChar has none.
  SendKey({ssAlt}, 'Q');
  EXPECT_EQ(NameOf(FocusedControl(), d), "Marks");
  d.SeriesLabel->SetShowAccelChar(false);
  SendKey({ssAlt}, 'S');
  EXPECT_EQ(NameOf(FocusedControl(), d), "Marks");
}

TEST(KeyboardFocus, MnemonicsDrawUnderlinedAndTakeNoRoom) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  auto* plain = new TLabel(&form);
  plain->SetParent(&form);
  plain->SetCaption("Series:");
  auto* marked = new TLabel(&form);
  marked->SetParent(&form);
  marked->SetCaption("&Series:");
  EXPECT_EQ(marked->Width(), plain->Width());
  plain->Update();
  marked->Update();
  // Below the baseline the marked label has a line under its first letter that the other lacks.
  int underline = 0;
  for (int y = 0; y < marked->Height(); ++y)
    for (int x = 0; x < marked->Width() / 4; ++x)
      if (ControlSurfacePixel(marked, x, y) != ControlSurfacePixel(plain, x, y)) ++underline;
  EXPECT_GT(underline, 2);
  marked->SetShowAccelChar(false);
  marked->Update();
  EXPECT_GT(marked->Width(), plain->Width());  // the '&' is drawn as it is
}

TEST(KeyboardFocus, PageControlRadioGroupAndListBoxKeys) {
  Dialog d;
  d.Show();
  // Ctrl+Tab turns the pages from inside a page, and from the tab strip; Left and Right too.
  d.Title->SetFocus();
  SendKey({ssCtrl}, VK_TAB);
  EXPECT_EQ(d.Pages->ActivePage(), d.Axes);
  d.Pages->SetFocus();
  SendKey({ssCtrl, ssShift}, VK_TAB);
  EXPECT_EQ(d.Pages->ActivePage(), d.General);
  SendKey({}, VK_RIGHT);
  EXPECT_EQ(d.Pages->ActivePage(), d.Axes);
  SendKey({}, VK_RIGHT);  // the last tab stays
  EXPECT_EQ(d.Pages->ActivePage(), d.Axes);
  SendKey({}, VK_LEFT);
  EXPECT_EQ(d.Pages->ActivePage(), d.General);
  // Ctrl+Tab outside the page control is no page key.
  d.Name->SetFocus();
  SendKey({ssCtrl}, VK_TAB);
  EXPECT_EQ(d.Pages->ActivePage(), d.General);

  // The arrow keys step through a radio group, checking as they go and wrapping round.
  d.Kind->Buttons(1)->SetFocus();
  for (auto [key, want] : {std::pair{VK_DOWN, 2}, {VK_DOWN, 0}, {VK_UP, 2}, {VK_LEFT, 1}}) {
    SendKey({}, key);
    EXPECT_EQ(d.Kind->ItemIndex(), want);
    EXPECT_EQ(FocusedControl(), d.Kind->Buttons(want));
  }
  SendKey({}, VK_TAB);  // Tab leaves the group from the checked button
  EXPECT_EQ(NameOf(FocusedControl(), d), "List");

  // Page keys in the list box move by the rows that show less one (80 / 16 = 5 rows).
  d.List->SetItemIndex(0);
  for (auto [key, want] :
       {std::pair{VK_NEXT, 4}, {VK_NEXT, 8}, {VK_PRIOR, 4}, {VK_END, 19}, {VK_NEXT, 19}, {VK_HOME, 0}, {VK_PRIOR, 0}}) {
    SendKey({}, key);
    EXPECT_EQ(d.List->ItemIndex(), want) << key;
  }
}

TEST(KeyboardFocus, WheelStopsWhenTheLastRowShows) {
  TListBox list(nullptr);
  list.SetBounds(0, 0, 100, 54);  // 50 inside the border
  list.SetItemHeight(10);
  for (int i = 0; i < 12; ++i) list.Items()->Add("r" + std::to_string(i));
  for (int i = 0; i < 5; ++i) SendInput(&list, ikWheel, {}, 10, 10, -120);
  EXPECT_EQ(list.TopIndex(), 7);  // 12 rows, 5 show
  SendInput(&list, ikWheel, {}, 10, 10, 120);
  EXPECT_EQ(list.TopIndex(), 4);
  list.Items()->Clear();
  list.Items()->Add("only");
  SendInput(&list, ikWheel, {}, 10, 10, -120);
  EXPECT_EQ(list.TopIndex(), 0);
}

TEST(KeyboardFocus, SelfDrawnControlsShowTheFocusAndDropItWhenItLeaves) {
  Dialog d;
  auto* track = new TTrackBar(&d.Form);
  track->SetParent(&d.Form);
  track->SetBounds(10, 280, 150, 45);
  d.Show();
  d.List->SetItemIndex(2);
  d.Name->SetFocus();
  auto countIn = [](TControl* C, const TRect& R, TColor Want) {
    C->Update();
    int n = 0;
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x)
        if (ControlSurfacePixel(C, x, y) == Want) ++n;
    return n;
  };
  TRect row = d.List->ItemRect(2);
  // The selected row's frame is all highlight without the focus, dotted with it.
  TRect edge = Rect(row.Left, row.Top, row.Right, row.Top + 1);
  int unfocused = countIn(d.List, edge, ColorToRGB(clHighlight));
  EXPECT_EQ(unfocused, edge.Width());
  d.List->SetFocus();
  EXPECT_LT(countIn(d.List, edge, ColorToRGB(clHighlight)), unfocused);
  d.Name->SetFocus();
  EXPECT_EQ(countIn(d.List, edge, ColorToRGB(clHighlight)), unfocused);

  // The active tab shows a dotted frame while the tab strip has the focus.
  TRect tab = d.Pages->TabRect(0);
  TColor face = ColorToRGB(d.Pages->Color());
  int plain = countIn(d.Pages, tab, face);
  d.Pages->SetFocus();
  EXPECT_LT(countIn(d.Pages, tab, face), plain);
  d.Name->SetFocus();
  EXPECT_EQ(countIn(d.Pages, tab, face), plain);

  // The track bar's thumb is highlighted while focused only.
  int x = track->PositionToPixel(track->Position());
  TRect thumb = Rect(x - 3, 15, x + 3, 30);
  track->SetFocus();
  EXPECT_GT(countIn(track, thumb, ColorToRGB(clHighlight)), 0);
  d.Name->SetFocus();
  EXPECT_EQ(countIn(track, thumb, ColorToRGB(clHighlight)), 0);
}

TEST(KeyboardFocus, NativeControlsReachedByTabShowTheirFocusMark) {
  Dialog d;
  d.Show();
  auto pixelsChanged = [](TControl* C, TBitmap& Before) {
    TBitmap after;
    GrabControl(C, &after);
    int n = 0;
    for (int y = 0; y < after.Height(); ++y)
      for (int x = 0; x < after.Width(); ++x)
        if (after.Canvas()->Pixels(x, y) != Before.Canvas()->Pixels(x, y)) ++n;
    return n;
  };
  // A check box and a push button (not the default one, whose frame always stands out), each
  // grabbed before and after Tab brings the focus to it.
  const std::pair<TWinControl*, TWinControl*> steps[] = {{d.Name, d.Smooth}, {d.Ok, d.Cancel}};
  for (auto [from, to] : steps) {
    from->SetFocus();
    TBitmap before;
    GrabControl(to, &before);
    SendKey({}, VK_TAB);
    ASSERT_EQ(FocusedControl(), to) << NameOf(to, d);
    EXPECT_GT(pixelsChanged(to, before), 4) << NameOf(to, d);
    // Shift+Tab takes the mark away with the focus.
    SendKey({ssShift}, VK_TAB);
    EXPECT_EQ(pixelsChanged(to, before), 0) << NameOf(to, d);
  }
}
