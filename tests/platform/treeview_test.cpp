// The tree view: nodes folded and unfolded by mouse and keys, selection kept sound when nodes go.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/forms.h"
#include "platform/graphics.h"
#include "platform/treeview.h"

namespace {

void ClickAt(TControl* C, int X, int Y) {
  SendInput(C, ikMouseDown, {}, X, Y, mbLeft);
  SendInput(C, ikMouseUp, {}, X, Y, mbLeft);
}

void Key(TControl* C, int Vk) {
  SendInput(C, ikKeyDown, {}, 0, 0, Vk);
  SendInput(C, ikKeyUp, {}, 0, 0, Vk);
}

std::vector<std::string> Rows(const TTreeView& T) {
  std::vector<std::string> out;
  for (TTreeNode* n : T.VisibleNodes()) out.push_back(n->Text());
  return out;
}

// Two roots: "Series" with two children, "Chart" with "Axis" (which has "Left Axis") and "Legend".
struct TreeFixture : ::testing::Test {
  TForm form{nullptr};
  TTreeView* tree = new TTreeView(&form);
  TTreeNode *series = nullptr, *chart = nullptr, *axis = nullptr, *left = nullptr;
  int a = 1, b = 2;
  std::vector<std::string> changes;
  void SetUp() override {
    tree->SetParent(&form);
    tree->SetBounds(0, 0, 200, 200);
    series = tree->AddChild(nullptr, "Series");
    tree->AddChild(series, "Line 1", &a);
    tree->AddChild(series, "Line 2", &b);
    chart = tree->AddChild(nullptr, "Chart");
    axis = tree->AddChild(chart, "Axis");
    left = tree->AddChild(axis, "Left Axis");
    tree->AddChild(chart, "Legend");
    tree->OnChange = [this](TObject*, TTreeNode* N) { changes.push_back(N ? N->Text() : "(none)"); };
  }
};

TEST_F(TreeFixture, FoldedNodesHideTheirChildrenAndTheButtonUnfoldsThem) {
  EXPECT_EQ(Rows(*tree), (std::vector<std::string>{"Series", "Chart"}));
  // The fold button sits at the node's depth; a click on it unfolds without selecting.
  const TRect row = tree->NodeRect(chart);
  ClickAt(tree, 8, row.Top + row.Height() / 2);
  EXPECT_EQ(Rows(*tree), (std::vector<std::string>{"Series", "Chart", "Axis", "Legend"}));
  EXPECT_EQ(tree->Selected(), nullptr);
  // A click on the text selects.
  ClickAt(tree, 60, tree->NodeRect(axis).Top + 3);
  EXPECT_EQ(tree->Selected(), axis);
  EXPECT_EQ(changes, (std::vector<std::string>{"Axis"}));
  EXPECT_EQ(axis->Level(), 1);
  EXPECT_EQ(left->Index(), 0);
  EXPECT_THROW(chart->Item(2), EListError);
}

TEST_F(TreeFixture, KeysWalkTheRowsAndFoldLikeAnyTree) {
  tree->SetSelected(series);
  Key(tree, VK_RIGHT);  // unfolds
  EXPECT_TRUE(series->Expanded());
  Key(tree, VK_RIGHT);  // steps into the first child
  EXPECT_EQ(tree->Selected()->Text(), "Line 1");
  Key(tree, VK_DOWN);
  Key(tree, VK_DOWN);
  EXPECT_EQ(tree->Selected(), chart);
  Key(tree, VK_UP);
  Key(tree, VK_LEFT);  // a leaf goes to its parent
  EXPECT_EQ(tree->Selected(), series);
  Key(tree, VK_LEFT);  // an open node folds
  EXPECT_FALSE(series->Expanded());
  Key(tree, VK_END);
  EXPECT_EQ(tree->Selected(), chart);
  EXPECT_EQ(changes, (std::vector<std::string>{"Series", "Line 1", "Line 2", "Chart", "Line 2", "Series", "Chart"}));
}

TEST_F(TreeFixture, SelectingADeepNodeUnfoldsItsParentsAndFoldingMovesTheSelectionUp) {
  tree->SetSelected(tree->FindData(&b));
  EXPECT_EQ(tree->Selected()->Text(), "Line 2");
  tree->SetSelected(left);
  EXPECT_TRUE(chart->Expanded() && axis->Expanded());
  chart->Collapse(false);
  EXPECT_EQ(tree->Selected(), chart);
  // A refused change keeps the selection.
  tree->OnChanging = [](TObject*, TTreeNode*, bool& Allow) { Allow = false; };
  tree->SetSelected(series);
  EXPECT_EQ(tree->Selected(), chart);
}

TEST_F(TreeFixture, DeletingANodeTakesItsChildrenAndASelectionAmongThem) {
  tree->SetSelected(left);
  tree->Delete(axis);
  EXPECT_EQ(tree->Selected(), nullptr);
  EXPECT_EQ(chart->Count(), 1);
  EXPECT_EQ(tree->FindData(&a)->Text(), "Line 1");
  tree->Clear();
  EXPECT_EQ(tree->RootCount(), 0);
  EXPECT_TRUE(tree->VisibleNodes().empty());
  Key(tree, VK_DOWN);  // nothing to walk
}

TEST_F(TreeFixture, TheSelectedRowIsHighlightedAndALongTreeScrollsToIt) {
  tree->SetBounds(0, 0, 200, 3 * tree->ItemHeight() + 4);
  series->Expand(true);
  chart->Expand(true);
  tree->SetSelected(tree->Root(1)->Item(1));  // "Legend", the seventh row
  EXPECT_GT(tree->TopIndex(), 0);
  const TRect r = tree->NodeRect(tree->Selected());
  EXPECT_GE(r.Top, 0);
  EXPECT_LE(r.Bottom, tree->ClientHeight());
  tree->Update();
  EXPECT_EQ(ControlSurfacePixel(tree, 44 + 2, r.Top + r.Height() / 2), ColorToRGB(clHighlight));
}

}  // namespace
