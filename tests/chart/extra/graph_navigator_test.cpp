// The navigator bar: its button layout, keys and focus, auto-repeat and the chart it follows.
#include <gtest/gtest.h>

#include <vector>

#include "chart/engine/chart.h"
#include "chart/extra/graph_navigator.h"
#include "platform/forms.h"

namespace {

struct Bar : ::testing::Test {
  TForm Form{nullptr};
  TCustomGraphNavigator* Nav = nullptr;
  std::vector<TGraphNavigateBtn> Clicked;
  void SetUp() override {
    Form.SetBounds(0, 0, 400, 100);
    Nav = new TCustomGraphNavigator(&Form);
    Nav->SetParent(&Form);
    Nav->OnButtonClicked = [this](TCustomGraphNavigator*, TGraphNavigateBtn B) { Clicked.push_back(B); };
    for (TGraphNavButton* b : Nav->Buttons) b->SetEnabled(true);
  }
};

}  // namespace

TEST_F(Bar, ButtonsShareTheWidthAndSpreadTheRemainder) {
  EXPECT_EQ(Nav->Width(), 240);  // four visible buttons of 60 (241 cut to a multiple)
  EXPECT_FALSE(Nav->Buttons[nbInsert]->Visible());
  EXPECT_EQ(Nav->Buttons[nbFirst]->Hint(), "First");
  // Aligned, 199 pixels: three pixels of remainder spread over four buttons of 49.
  Nav->SetAlign(alLeft);
  Nav->SetWidth(199);
  Nav->CalcButtonLayout();
  int total = 0;
  for (int i = 0; i < 4; ++i) {
    const int w = Nav->Buttons[i]->Width();
    EXPECT_TRUE(w == 49 || w == 50) << w;
    EXPECT_EQ(Nav->Buttons[i]->Left(), total);
    total += w;
  }
  EXPECT_EQ(total, 199);
  // Hidden buttons wait beyond the right edge.
  EXPECT_GT(Nav->Buttons[nbPost]->Left(), Nav->Width());
  // Too narrow for the visible buttons: widened to 20 pixels each.
  Nav->SetAlign(alNone);
  Nav->SetBounds(0, 0, 30, 10);
  EXPECT_EQ(Nav->Width(), 80);
  EXPECT_EQ(Nav->Height(), 18);
}

TEST_F(Bar, KeysMoveTheFocusedButtonAndSpaceClicksIt) {
  EXPECT_EQ(Nav->FocusedButton, 0);
  Nav->DispatchKeyDown(VK_LEFT, {});
  EXPECT_EQ(Nav->FocusedButton, 0);  // no wrap
  Nav->DispatchKeyDown(VK_RIGHT, {});
  Nav->DispatchKeyDown(VK_RIGHT, {});
  EXPECT_EQ(Nav->FocusedButton, 2);
  Nav->DispatchKeyDown(VK_SPACE, {});
  ASSERT_EQ(Clicked.size(), 1u);
  EXPECT_EQ(Clicked[0], nbNext);
  for (int i = 0; i < 5; ++i) Nav->DispatchKeyDown(VK_RIGHT, {});
  EXPECT_EQ(Nav->FocusedButton, 3);  // the last visible one
  // A disabled button does not click.
  Nav->Buttons[nbLast]->SetEnabled(false);
  Nav->DispatchKeyDown(VK_SPACE, {});
  EXPECT_EQ(Clicked.size(), 1u);
  // Pressing a button focuses it.
  Nav->Buttons[nbPrior]->DispatchMouseDown(mbLeft, {}, 5, 5);
  EXPECT_EQ(Nav->FocusedButton, 1);
  Nav->Buttons[nbPrior]->DispatchMouseUp(mbLeft, {}, 5, 5);
  EXPECT_EQ(Clicked.back(), nbPrior);
}

TEST_F(Bar, HeldButtonRepeatsAfter400ThenEvery100Milliseconds) {
  TGraphNavButton* next = Nav->Buttons[nbNext];
  next->DispatchMouseDown(mbLeft, {}, 5, 5);
  ASSERT_NE(next->RepeatTimer, nullptr);
  EXPECT_TRUE(next->RepeatTimer->Enabled());
  EXPECT_EQ(next->RepeatTimer->Interval(), 400u);
  next->RepeatTimer->Fire();
  EXPECT_EQ(next->RepeatTimer->Interval(), 100u);
  next->RepeatTimer->Fire();
  EXPECT_EQ(Clicked.size(), 2u);
  next->DispatchMouseUp(mbLeft, {}, 5, 5);  // the click of the release itself
  EXPECT_FALSE(next->RepeatTimer->Enabled());
  EXPECT_EQ(Clicked.size(), 3u);
}

TEST_F(Bar, FollowsItsChartUntilTheChartGoes) {
  auto* chart = new TChart(nullptr);
  Nav->SetPanel(chart);
  EXPECT_EQ(Nav->Panel(), chart);
  EXPECT_EQ(chart->Listeners->Count(), 1);
  delete chart;
  EXPECT_EQ(Nav->Panel(), nullptr);
}
