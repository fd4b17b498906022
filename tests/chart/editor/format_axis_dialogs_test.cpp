// The value format editor, the axis increment and limit dialogs, and the select-list form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chart/editor/format_axis_dialogs.h"
#include "chart/editor/select_list.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_errors.h"
#include "chart/engine/chart_utils.h"
#include "chart/extra/pen_dialog.h"
#include "platform/datetime.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "platform/updown.h"

namespace {

struct Dialogs : ::testing::Test {
  std::vector<std::string> Messages;
  void SetUp() override {
    SetMessageBoxHook([this](const std::string& Text, const std::string&, int) {
      Messages.push_back(Text);
      return IDOK;
    });
  }
  void TearDown() override {
    EditorDialogHook = nullptr;
    SetMessageBoxHook(nullptr);
  }
  // Opens the format editor on F; Check looks at it; OK builds the result.
  static std::string Format(const std::string& F, std::function<void(TFormatEditor*)> Check = nullptr) {
    EditorDialogHook = [Check](TForm* Form) {
      auto* e = static_cast<TFormatEditor*>(Form);
      if (Check) Check(e);
      e->BOk->Click();
    };
    std::string result;
    EditValueFormat(nullptr, F, result, true);
    return result;
  }
};

}  // namespace

TEST_F(Dialogs, FormatEditorTakesFormatsApartAndBuildsThemBack) {
  EXPECT_EQ(Format("#,##0.###",
                   [](TFormatEditor* E) {
                     EXPECT_TRUE(E->RBInteger->Checked());
                     EXPECT_TRUE(E->CBThousands->Checked());
                     EXPECT_EQ(E->UpDown1->Position(), 3);
                     EXPECT_FALSE(E->CBFixedDecimals->Checked());
                     EXPECT_EQ(E->UpDown2->Position(), 1);
                   }),
            "#,##0.###");
  EXPECT_EQ(Format("0.00%",
                   [](TFormatEditor* E) {
                     EXPECT_TRUE(E->CBPercent->Checked());
                     EXPECT_TRUE(E->CBFixedDecimals->Checked());
                     EXPECT_EQ(E->UpDown1->Position(), 2);
                     EXPECT_FALSE(E->CBThousands->Enabled());
                     EXPECT_FALSE(E->CBCurrency->Enabled());
                   }),
            "0.00%");
  EXPECT_EQ(Format("mm-yyyy", [](TFormatEditor* E) { EXPECT_TRUE(E->RBDate->Checked()); }), "mm-yyyy");
  EXPECT_EQ(Format("ddd mm ss", [](TFormatEditor* E) { EXPECT_TRUE(E->RBGeo->Checked()); }), "ddd mm ss");
  // Other characters: custom, added to the list once.
  EXPECT_EQ(Format("#.## km",
                   [](TFormatEditor* E) {
                     EXPECT_TRUE(E->RBCustom->Checked());
                     EXPECT_EQ(E->CBCustom->Items()->IndexOf("#.## km"), 2);
                     EXPECT_EQ(E->CBCustom->Items()->Count(), 3);
                   }),
            "#.## km");
  // Thousands with 5 and with no fixed digits.
  EXPECT_EQ(Format("0",
                   [](TFormatEditor* E) {
                     E->CBThousands->SetChecked(true);
                     E->UpDown2->SetPosition(5);
                   }),
            "00,000");
  EXPECT_EQ(Format("0",
                   [](TFormatEditor* E) {
                     E->CBThousands->SetChecked(true);
                     E->UpDown2->SetPosition(0);
                   }),
            "#,###");
  // Cancel gives the format back as it was.
  EditorDialogHook = [](TForm* F) { static_cast<TFormatEditor*>(F)->BCancel->Click(); };
  std::string r;
  EXPECT_FALSE(EditValueFormat(nullptr, "0.0", r, false));
  EXPECT_EQ(r, "0.0");
}

TEST_F(Dialogs, AxisIncrementAsNumberAsDateStepAndAsDaysAndTime) {
  TAxisIncrement d(nullptr);
  // 1.5 days shows "1 12:00:00"; typing two days and six hours gives 2.25.
  d.IsDateTime = true;
  d.Increment = 1.5;
  d.IStep = 27;
  EditorDialogHook = [](TForm* F) {
    auto* e = static_cast<TAxisIncrement*>(F);
    EXPECT_EQ(e->ECustom->Text(), "1 12:00:00");
    EXPECT_EQ(e->ECustom->Hint(), "Enter [Number of Days] [hh:nn:ss]");
    EXPECT_EQ(e->RadioGroup1->ItemIndex(), 1);
    e->ECustom->SetText("2 06:00:00");
    e->BOk->Click();
  };
  ASSERT_EQ(d.ShowModal(), mrOk);
  EXPECT_DOUBLE_EQ(d.Increment, 2.25);

  // Exact, but no standard step: opens on Custom and stores exact off.
  TAxisIncrement e2(nullptr);
  e2.IsDateTime = true;
  e2.IsExact = true;
  e2.Increment = 0.3;
  e2.IStep = FindDateTimeStep(0.3);
  EditorDialogHook = [](TForm* F) { static_cast<TAxisIncrement*>(F)->BOk->Click(); };
  ASSERT_EQ(e2.ShowModal(), mrOk);
  EXPECT_FALSE(e2.IsExact);

  // A standard step chosen from the list.
  TAxisIncrement e3(nullptr);
  e3.IsDateTime = true;
  e3.IsExact = true;
  e3.Increment = 1;
  e3.IStep = FindDateTimeStep(1);
  EditorDialogHook = [](TForm* F) {
    auto* e = static_cast<TAxisIncrement*>(F);
    EXPECT_EQ(e->RadioGroup1->ItemIndex(), 0);
    EXPECT_EQ(e->CBSteps->Text(), "One Day");
    EXPECT_FALSE(e->ECustom->Enabled());
    e->CBSteps->SetItemIndex(19);
    e->BOk->Click();
  };
  ASSERT_EQ(e3.ShowModal(), mrOk);
  EXPECT_DOUBLE_EQ(e3.Increment, 7);
  EXPECT_TRUE(e3.IsExact);

  // Letters are refused with the reason; the dialog stays open and the text stays.
  TAxisIncrement e4(nullptr);
  e4.Increment = 10;
  EditorDialogHook = [this](TForm* F) {
    auto* e = static_cast<TAxisIncrement*>(F);
    EXPECT_FALSE(e->RadioGroup1->Visible());
    EXPECT_EQ(e->ECustom->Text(), "10");
    e->ECustom->SetText("ten");
    e->BOk->Click();
    EXPECT_EQ(e->ModalResult(), mrNone);
    EXPECT_EQ(e->ECustom->Text(), "ten");
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].rfind("Incorrect value. Reason: ", 0), 0u) << Messages[0];
    EXPECT_GT(Messages[0].size(), std::string("Incorrect value. Reason: ").size());
    e->ECustom->SetText("2.5");
    e->BOk->Click();
  };
  ASSERT_EQ(e4.ShowModal(), mrOk);
  EXPECT_DOUBLE_EQ(e4.Increment, 2.5);

  // Zero on a date-time axis shows one second.
  TAxisIncrement e5(nullptr);
  e5.IsDateTime = true;
  e5.Increment = 0;
  EditorDialogHook = [](TForm* F) {
    auto* e = static_cast<TAxisIncrement*>(F);
    EXPECT_EQ(e->ECustom->Text(), "00:00:01");
    e->BOk->Click();
  };
  ASSERT_EQ(e5.ShowModal(), mrOk);
  EXPECT_NEAR(e5.Increment, 1.0 / 86400, 1e-9);

  std::string text;
  IncrementText(nullptr, true, false, text, "", 1);
  EXPECT_EQ(text, "1");
  IncrementText(nullptr, true, true, text, "", 1);
  EXPECT_EQ(text, "One Day");
  IncrementText(nullptr, false, false, text, "0.0", 2.25);
  EXPECT_EQ(text, "2.25");
}

TEST_F(Dialogs, AxisLimitsTypedAndContradictionsRefused) {
  TChart chart(nullptr);
  TChartAxis* axis = chart.LeftAxis();
  axis->SetMinimumMaximum(0, 100);
  TAxisMaxMin d(nullptr);
  d.MaxMin = axis->Maximum();
  EditorDialogHook = [this](TForm* F) {
    auto* e = static_cast<TAxisMaxMin*>(F);
    EXPECT_EQ(e->Label1->Caption(), "Value:");
    EXPECT_FALSE(e->EMinimum->Visible());
    e->EMaximum->SetText("abc");
    e->BOk->Click();
    EXPECT_EQ(e->ModalResult(), mrNone);
    EXPECT_EQ(Messages.size(), 1u);
    e->EMaximum->SetText("250");
    e->BOk->Click();
  };
  ASSERT_EQ(d.ShowModal(), mrOk);
  axis->SetMaximum(d.MaxMin);
  EXPECT_DOUBLE_EQ(axis->Maximum(), 250);
  // A minimum above the maximum: the axis refuses it with its text, and keeps its limits.
  try {
    axis->SetMinimum(300);
    FAIL() << "accepted";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message(), "Axis Minimum Value must be <= Maximum");
  }
  EXPECT_DOUBLE_EQ(axis->Minimum(), 0);
  // A date-time limit below one day: only the time.
  TAxisMaxMin t(nullptr);
  t.IsDateTime = true;
  t.MaxMin = 0.25;
  EditorDialogHook = [](TForm* F) {
    auto* e = static_cast<TAxisMaxMin*>(F);
    EXPECT_FALSE(e->EMaximum->Visible());
    EXPECT_EQ(e->EMinimum->Text(), "06:00:00");
    e->EMinimum->SetText("18:00:00");
    e->BOk->Click();
  };
  ASSERT_EQ(t.ShowModal(), mrOk);
  EXPECT_DOUBLE_EQ(t.MaxMin, 0.75);
}

TEST_F(Dialogs, SelectListMovesItemsInOrder) {
  TForm host(nullptr);
  auto* f = new TSelectListForm(&host);
  int changes = 0;
  f->OnListsChanged = [&](TObject*) { ++changes; };
  EXPECT_FALSE(f->BRightOne->Enabled());
  EXPECT_FALSE(f->BLeftAll->Enabled());
  EXPECT_FALSE(f->BMoveUP->Enabled());
  TObject objs[4];
  for (int i = 0; i < 4; ++i) f->FromList->Items()->AddObject("S" + std::to_string(i), &objs[i]);
  f->RefreshListButtons();
  f->FromList->SetSelected(1, true);
  f->FromList->SetSelected(3, true);
  f->BRightOne->Click();
  EXPECT_EQ(changes, 1);
  ASSERT_EQ(f->ToList->Items()->Count(), 2);
  EXPECT_EQ(f->ToList->Items()->Strings(0), "S1");
  EXPECT_EQ(f->ToList->Items()->Objects(1), &objs[3]);
  EXPECT_EQ(f->FromList->Items()->Count(), 2);
  // Double click on an available item moves it and selects it last.
  f->FromList->SetItemIndex(0);
  f->FromList->SetSelected(0, true);
  f->FromListDblClick();
  EXPECT_EQ(f->ToList->Items()->Strings(2), "S0");
  EXPECT_EQ(f->ToList->ItemIndex(), 2);
  EXPECT_FALSE(f->BMoveDown->Enabled());
  EXPECT_TRUE(f->BMoveUP->Enabled());
  f->BMoveUP->Click();
  EXPECT_EQ(f->ToList->Items()->Strings(1), "S0");
  EXPECT_EQ(f->ToList->ItemIndex(), 1);
  // The first cannot move up; "<<" gives everything back.
  f->ToList->SetItemIndex(0);
  f->RefreshListButtons();
  EXPECT_FALSE(f->BMoveUP->Enabled());
  f->BLeftAll->Click();
  EXPECT_EQ(f->ToList->Items()->Count(), 0);
  EXPECT_EQ(f->FromList->Items()->Count(), 4);
  EXPECT_FALSE(f->BLeftOne->Enabled());
}
