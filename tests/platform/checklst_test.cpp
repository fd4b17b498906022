// The check list box: three states stepped by the mouse on the box and by the space bar.
#include <gtest/gtest.h>

#include "platform/checklst.h"
#include "platform/exceptions.h"
#include "platform/forms.h"

namespace {

void ClickAt(TControl* C, int X, int Y) {
  SendInput(C, ikMouseDown, {}, X, Y, mbLeft);
  SendInput(C, ikMouseUp, {}, X, Y, mbLeft);
}

TEST(CheckListBox, TheBoxStepsTheStateAndTheTextOnlySelects) {
  TForm form(nullptr);
  auto* list = new TCheckListBox(&form);
  list->SetParent(&form);
  list->SetBounds(0, 0, 120, 80);
  list->Items()->SetText("(all)\nOne\nTwo");
  int checks = 0;
  list->OnClickCheck = [&](TObject*) { ++checks; };
  const TRect box = list->CheckRect(1);
  ClickAt(list, box.Left + 3, box.Top + 3);
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(list->State(1), cbChecked);
  ClickAt(list, 80, box.Top + 3);  // on the text
  EXPECT_EQ(list->State(1), cbChecked);
  EXPECT_EQ(checks, 1);

  list->AllowGrayed = true;
  SendInput(list, ikKeyDown, {}, 0, 0, VK_SPACE);
  EXPECT_EQ(list->State(1), cbGrayed);
  SendInput(list, ikKeyDown, {}, 0, 0, VK_SPACE);
  EXPECT_EQ(list->State(1), cbUnchecked);
  EXPECT_EQ(checks, 3);
  EXPECT_THROW(list->State(3), EListError);

  // Refilled lines start unchecked.
  list->SetState(2, cbChecked);
  list->Items()->Clear();
  list->Items()->SetText("A\nB\nC");
  EXPECT_EQ(list->State(2), cbUnchecked);
}

}  // namespace
