// Controls fitted to captions wider than designed: what grows, what moves out of the way, and what
// stays because there is no room.
#include "chart/editor/caption_fit.h"

#include <gtest/gtest.h>

#include <string>

#include "chart/editor/language.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/editor_controls.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "platform/strings.h"
#include "platform/updown.h"

namespace {

const std::string kLong = "A caption far wider than its box";

// A control owned by the form it shows in, as the editor forms make theirs.
template <class T>
T* Put(TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y, int W, int H = 20) {
  TWinControl* owner = Parent;
  while (owner->Parent() && !dynamic_cast<TForm*>(owner)) owner = owner->Parent();
  auto* c = new T(owner);
  c->SetName(Name);
  c->SetParent(Parent);
  if (!Caption.empty()) c->SetCaption(Caption);
  c->SetBounds(X, Y, W, H);
  return c;
}

struct CaptionFit : ::testing::Test {
  TForm Form{nullptr};
  void SetUp() override {
    Form.SetBounds(0, 0, 500, 300);
    Form.Show();
  }
};

TEST_F(CaptionFit, ABoxGrowsWhereItHasRoomAndStaysWhereItHasNone) {
  struct Case {
    const char* What;
    int FormWidth;
    int NeighbourLeft;  // a button on the box's row; 0: none
    bool Grows;
  };
  const Case cases[] = {
      {"room to the right", 500, 0, true},
      {"a neighbour pushed right", 500, 130, true},
      {"the form too narrow", 120, 0, false},
      {"a neighbour with nowhere to go", 260, 120, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.What);
    TForm form(nullptr);
    form.SetBounds(0, 0, k.FormWidth, 200);
    form.Show();
    auto* box = Put<TCheckBox>(&form, "Box", kLong, 8, 8, 110);
    TButton* next = k.NeighbourLeft ? Put<TButton>(&form, "Next", "Go", k.NeighbourLeft, 6, 90, 25) : nullptr;
    FitCaptions(&form);
    const int need = CaptionNeed(box);
    ASSERT_GT(need, 110);
    EXPECT_EQ(box->Width(), k.Grows ? need : 110);
    if (next) {
      if (k.Grows)
        EXPECT_GE(next->Left(), box->Left() + box->Width());
      else
        EXPECT_EQ(next->Left(), k.NeighbourLeft);
    }
  }
}

TEST_F(CaptionFit, PushedControlsKeepTheirColumnAndWhatLiesLeftStays) {
  auto* box = Put<TCheckBox>(&Form, "Box", kLong, 8, 8, 110);
  auto* below = Put<TCheckBox>(&Form, "Below", "Short", 8, 32, 110);
  auto* top = Put<TButton>(&Form, "Top", "One", 130, 6, 90, 25);
  auto* lower = Put<TButton>(&Form, "Lower", "Two", 130, 36, 90, 25);
  FitCaptions(&Form);
  EXPECT_EQ(box->Width(), CaptionNeed(box));
  EXPECT_GE(top->Left(), box->BoundsRect().Right);
  EXPECT_EQ(lower->Left(), top->Left());
  EXPECT_EQ(below->Left(), 8);
  EXPECT_EQ(below->Width(), 110);
}

TEST_F(CaptionFit, AGroupTooNarrowForABoxInsideGrowsFirst) {
  auto* group = Put<TGroupBox>(&Form, "Group", "Color:", 8, 4, 120, 74);
  auto* box = Put<TCheckBox>(group, "Box", kLong, 8, 18, 105);
  auto* right = Put<TButton>(&Form, "Right", "Lines", 140, 8, 100, 25);
  FitCaptions(&Form);
  EXPECT_EQ(box->Width(), CaptionNeed(box));
  EXPECT_LE(box->BoundsRect().Right, group->ClientWidth());
  EXPECT_GE(right->Left(), group->BoundsRect().Right);
}

TEST_F(CaptionFit, ALabelGrownOverItsFieldMovesTheFieldOrItself) {
  // Room to the right: the edit and its up-down move on together.
  auto* label = Put<TLabel>(&Form, "LName", "Short:", 8, 11, 60, 16);
  auto* edit = Put<TEdit>(&Form, "EName", "", 70, 8, 44, 22);
  auto* updown = Put<TUpDown>(&Form, "UDName", "", 114, 8, 17, 22);
  label->SetFocusControl(edit);
  label->SetCaption(kLong + ":");  // a translated label sizes itself to its text
  ASSERT_GT(label->BoundsRect().Right, edit->Left());
  FitCaptions(&Form);
  EXPECT_EQ(label->Left(), 8);
  EXPECT_LE(label->BoundsRect().Right, edit->Left());
  EXPECT_EQ(updown->Left(), edit->BoundsRect().Right);

  // No room right of the field but free room left of the label: the label moves left.
  TForm narrow(nullptr);
  narrow.SetBounds(0, 0, 260, 100);
  narrow.Show();
  auto* l = Put<TLabel>(&narrow, "L", "Cap:", 100, 11, 40, 16);
  auto* e = Put<TEdit>(&narrow, "E", "", 150, 8, 100, 22);
  l->SetFocusControl(e);
  l->SetCaption("Longer caption:");
  ASSERT_GT(l->BoundsRect().Right, e->Left());
  FitCaptions(&narrow);
  EXPECT_EQ(e->Left(), 150);
  EXPECT_LE(l->BoundsRect().Right, e->Left());
  EXPECT_GE(l->Left(), 0);
}

TEST_F(CaptionFit, ARightAlignedLabelGrownPastTheLeftEdgeComesBackIn) {
  auto* combo = Put<TComboBox>(&Form, "Combo", "", 78, 128, 145, 22);
  auto* label = Put<TLabel>(&Form, "Label", "", 0, 133, 40, 13);
  label->SetAlignment(taRightJustify);
  label->SetFocusControl(combo);
  label->SetCaption("Wider caption:");
  ASSERT_LT(label->Left(), 0);
  FitCaptions(&Form);
  EXPECT_GE(label->Left(), 0);
  EXPECT_LE(label->BoundsRect().Right, combo->Left());
}

TEST_F(CaptionFit, ARadioGroupGrowsToItsWidestItem) {
  auto* group = Put<TRadioGroup>(&Form, "Group", "Style:", 8, 8, 100, 80);
  group->Items()->Add("S");
  group->Items()->Add(kLong);
  FitCaptions(&Form);
  EXPECT_GT(group->Width(), 100);
  EXPECT_EQ(group->Width(), CaptionNeed(group));
}

// The fitting runs through the translation hook in either language, and a host fits an aligned
// form again once it fills the host's room.
TEST_F(CaptionFit, TheTranslatorAndTheHostFitAFormToItsRoom) {
  InstallTranslator();
  SetEnglishLanguage();
  auto* host = Put<TPanel>(&Form, "Host", "", 0, 0, 480, 200);
  auto* inner = new TForm(&Form);
  inner->SetBounds(0, 0, 200, 150);
  auto* box = Put<TCheckBox>(inner, "Box", kLong, 8, 8, 110);
  TranslateControl(inner);
  EXPECT_EQ(box->Width(), 110) << "no room in the form as designed";
  inner->SetAlign(alClient);
  inner->SetParent(host);
  inner->Show();
  FitCaptions(inner);
  EXPECT_EQ(box->Width(), CaptionNeed(box));
  EXPECT_LE(box->BoundsRect().Right, inner->ClientWidth());
}

}  // namespace
