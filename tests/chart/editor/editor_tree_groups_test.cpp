// The editor dialog's series groups and its navigation tree, driven through their controls.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chart/editor/axis_page.h"
#include "chart/editor/chart_grid.h"
#include "chart/editor/chart_pages.h"
#include "chart/editor/editor_dialog.h"
#include "chart/editor/gallery.h"
#include "chart/editor/series_page.h"
#include "chart/editor/tools_page.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/tool_base.h"
#include "chart/extra/pen_dialog.h"
#include "chart/series/line_series.h"
#include "chart/series/tools_cursor.h"
#include "chart/series/tools_register.h"
#include "platform/checklst.h"
#include "platform/dialogs.h"
#include "platform/stdctrls.h"
#include "platform/dragdrop.h"
#include "platform/extctrls.h"
#include "platform/inifiles.h"
#include "platform/splitter.h"
#include "platform/testkit/temp_folder.h"
#include "platform/treeview.h"

namespace {

struct EditorTreeGroups : ::testing::Test {
  TTempProfile Profile;
  TForm Owner{nullptr};
  TChart* Chart = nullptr;
  std::vector<TLineSeries*> S;
  static void SetUpTestSuite() {
    InitGallery();
    RegisterStandardTools();
    RegisterEditorDialogClasses();
  }
  void SetUp() override {
    Chart = new TChart(&Owner);
    Chart->SetName("Chart1");
    Chart->SetParent(&Owner);
    Chart->SetBounds(0, 0, 500, 350);
    for (const char* t : {"Near", "Middle", "Far"}) AddSeries(t);
  }
  void TearDown() override {
    SetMessageBoxHook(nullptr);
    SetInputQueryHook(nullptr);
  }
  void AddSeries(const std::string& Title) {
    auto* s = new TLineSeries(&Owner);
    s->SetTitle(Title);
    s->AddXY(1, 1);
    Chart->AttachSeries(s);
    S.push_back(s);
  }
  std::unique_ptr<TChartEditForm> Dialog(bool Tree, TChartEditorOptions Options = DefaultChartEditorOptions) {
    auto f = std::make_unique<TChartEditForm>(nullptr);
    f->RememberPosition = false;
    f->TreeMode = Tree;
    f->TheEditorOptions = Options;
    f->RestoreEditorPlacement(Chart);
    f->Show();
    return f;
  }
  static std::vector<std::string> Entries(TChartEditForm& F) {
    std::vector<std::string> out;
    for (int i = 0; i < F.Groups->Items()->Count(); ++i) {
      const TCheckBoxState s = F.Groups->State(i);
      out.push_back(F.Groups->Items()->Strings(i) + (s == cbChecked ? "+" : s == cbGrayed ? "~" : "-"));
    }
    return out;
  }
  static void ClickBox(TCheckListBox* L, int Index) {
    const TRect r = L->CheckRect(Index);
    SendInput(L, ikMouseDown, {}, r.Left + 3, r.Top + 3, mbLeft);
    SendInput(L, ikMouseUp, {}, r.Left + 3, r.Top + 3, mbLeft);
  }
  static TTreeNode* Node(TTreeView* T, std::initializer_list<const char*> Path) {
    TTreeNode* at = nullptr;
    for (const char* name : Path) {
      TTreeNode* found = nullptr;
      const int n = at ? at->Count() : T->RootCount();
      for (int i = 0; i < n && !found; ++i) {
        TTreeNode* c = at ? at->Item(i) : T->Root(i);
        if (c->Text() == name) found = c;
      }
      EXPECT_NE(found, nullptr) << name;
      if (!found) return nullptr;
      at = found;
    }
    return at;
  }
};

constexpr TChartEditorOptions kGroups = DefaultChartEditorOptions | ceOption(ceGroups) | ceOption(ceGroupAll);

TEST_F(EditorTreeGroups, GroupsFilterTheListAndSwitchTheirSeriesOnAndOff) {
  TSeriesGroup* near = Chart->SeriesList()->NewGroup("Close by");
  near->Series()->Add(S[0]);
  TSeriesGroup* far = Chart->SeriesList()->NewGroup("Away");
  far->Series()->Add(S[1]);
  far->Series()->Add(S[2]);
  S[2]->SetActive(false);
  auto f = Dialog(false, kGroups);
  ASSERT_TRUE(f->PanelGroups->Visible());
  EXPECT_EQ(Entries(*f), (std::vector<std::string>{"(all)-", "Close by+", "Away~"}));
  EXPECT_EQ(f->SelectedGroup(), nullptr);
  EXPECT_FALSE(f->BDeleteGroup->Enabled());

  f->Groups->SetItemIndex(2);
  f->GroupsClick();
  EXPECT_EQ(f->LBSeries->Items()->Count(), 2);
  EXPECT_TRUE(f->BRenameGroup->Enabled());
  // Checking a partly active group switches all of it on, and "(all)" follows.
  ClickBox(f->Groups, 2);
  EXPECT_TRUE(S[2]->Active());
  EXPECT_EQ(Entries(*f), (std::vector<std::string>{"(all)+", "Close by+", "Away+"}));
  ClickBox(f->Groups, 1);
  EXPECT_FALSE(S[0]->Active());
  EXPECT_EQ(Entries(*f), (std::vector<std::string>{"(all)-", "Close by-", "Away+"}));
  ClickBox(f->Groups, 0);
  for (TLineSeries* s : S) EXPECT_TRUE(s->Active());
  EXPECT_EQ(Entries(*f), (std::vector<std::string>{"(all)+", "Close by+", "Away+"}));
}

TEST_F(EditorTreeGroups, ASeriesDroppedOnAGroupMovesThereAndADropOnItsOwnGroupDoesNothing) {
  TSeriesGroup* a = Chart->SeriesList()->NewGroup("A");
  TSeriesGroup* b = Chart->SeriesList()->NewGroup("B");
  a->Series()->Add(S[0]);
  a->Series()->Add(S[1]);
  auto f = Dialog(false, kGroups);
  f->Groups->SetItemIndex(1);  // the list shows group A
  f->GroupsClick();
  f->LBSeries->SelectSeries(S[1]);
  auto* target = dynamic_cast<TDragTarget*>(f->Groups);
  ASSERT_NE(target, nullptr);
  TDragObject drag(f->LBSeries);
  bool accept = false;
  const TRect onA = f->Groups->ItemRect(1), onB = f->Groups->ItemRect(2);
  target->DragOver(&drag, 20, onA.Top + 2, dsDragMove, accept);
  EXPECT_FALSE(accept);  // already in A
  target->DragOver(&drag, 20, onB.Top + 2, dsDragMove, accept);
  EXPECT_TRUE(accept);
  target->DragDrop(&drag, 20, onB.Top + 2);
  EXPECT_EQ(a->Series()->IndexOf(S[1]), -1);
  EXPECT_EQ(b->Series()->IndexOf(S[1]), 0);
  EXPECT_EQ(f->SelectedGroup(), b);
  EXPECT_EQ(f->LBSeries->Items()->Count(), 1);
  // A drop below the entries is refused.
  target->DragOver(&drag, 20, f->Groups->ClientHeight() - 1, dsDragMove, accept);
  EXPECT_FALSE(accept);
}

TEST_F(EditorTreeGroups, GroupsAreAddedRenamedAndDeletedOnlyAfterYes) {
  auto f = Dialog(false, kGroups);
  std::vector<std::string> asked;
  SetInputQueryHook([&](const std::string& Caption, const std::string& Prompt, std::string& Value) {
    asked.push_back(Caption + "|" + Prompt + "|" + Value);
    Value = Caption == "Add new group" ? "Profile 1" : "Profile 2";
    return true;
  });
  f->BAddGroup->Click();
  ASSERT_EQ(Chart->SeriesList()->Groups->Count(), 1);
  EXPECT_EQ(f->Groups->ItemIndex(), 1);
  EXPECT_EQ(f->SelectedGroup()->Name(), "Profile 1");
  f->BRenameGroup->Click();
  EXPECT_EQ(f->SelectedGroup()->Name(), "Profile 2");
  EXPECT_EQ(asked, (std::vector<std::string>{"Add new group|Group name:|", "Change group name|Group name:|Profile 1"}));

  std::string question;
  int answer = IDNO;
  SetMessageBoxHook([&](const std::string& Text, const std::string&, int) {
    question = Text;
    return answer;
  });
  f->BDeleteGroup->Click();
  EXPECT_EQ(question, "Delete Profile 2 ?");
  EXPECT_EQ(Chart->SeriesList()->Groups->Count(), 1);
  answer = IDYES;
  f->BDeleteGroup->Click();
  EXPECT_EQ(Chart->SeriesList()->Groups->Count(), 0);
  EXPECT_EQ(Entries(*f), (std::vector<std::string>{"(all)+"}));
  EXPECT_EQ(f->LBSeries->Items()->Count(), 3);
}

TEST_F(EditorTreeGroups, TreeNodesOpenTheirPagesOnTheChosenObject) {
  auto f = Dialog(true);
  ASSERT_TRUE(f->Tree->Visible());
  EXPECT_FALSE(f->MainPage->Visible());
  EXPECT_EQ(f->Width(), f->WidthWithoutTree + f->Tree->Width() + f->TreeSplitter->Width());
  std::vector<std::string> roots;
  for (int i = 0; i < f->Tree->RootCount(); ++i) roots.push_back(f->Tree->Root(i)->Text());
  EXPECT_EQ(roots, (std::vector<std::string>{"Series", "Chart", "Data", "Tools", "Export", "Print"}));
  EXPECT_EQ(f->Tree->Selected(), f->SeriesNode);
  EXPECT_TRUE(f->SeriesNode->Expanded());
  EXPECT_EQ(f->HostedControl(), f->PanelSeriesList);

  f->Tree->SetSelected(Node(f->Tree, {"Chart", "Axis", "Right Axis"}));
  auto* axis = dynamic_cast<TFormGraphAxis*>(f->HostedControl());
  ASSERT_NE(axis, nullptr);
  EXPECT_EQ(axis->Axis(), Chart->RightAxis());
  EXPECT_TRUE(axis->Visible());

  f->Tree->SetSelected(Node(f->Tree, {"Chart", "Titles", "Footer"}));
  auto* title = dynamic_cast<TFormGraphTitle*>(f->HostedControl());
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->Title(), Chart->Foot());
  // The axis page went back to its tab.
  EXPECT_EQ(axis->Parent(), f->ChartTabs[cetAxis]);

  f->Tree->SetSelected(Node(f->Tree, {"Series", "Middle"}));
  ASSERT_NE(f->SeriesPage, nullptr);
  EXPECT_EQ(f->HostedControl(), f->SeriesPage);
  EXPECT_EQ(f->SeriesPage->Series(), S[1]);

  f->Tree->SetSelected(Node(f->Tree, {"Chart"}));
  EXPECT_EQ(f->HostedControl(), f->SubPage);
  EXPECT_FALSE(f->ChartTabs[0]->TabVisible());
  f->Tree->SetSelected(Node(f->Tree, {"Data"}));
  EXPECT_EQ(f->HostedControl(), f->PanelData);
  EXPECT_TRUE(f->ChartTabs[0]->TabVisible());

  // A series renamed by its button or in place reads the same in the tree at once.
  f->LBSeries->SelectSeries(S[1]);
  SetInputQueryHook([](const std::string&, const std::string&, std::string& Value) {
    Value = "Renamed";
    return true;
  });
  f->BRenameSeries->Click();
  EXPECT_EQ(f->SeriesNode->Item(1)->Text(), "Renamed");
  f->LBSeries->EditTitleInPlace();
  f->LBSeries->TitleEditor()->SetText("Typed");
  f->LBSeries->TitleEditor()->DispatchKeyDown(VK_RETURN, {});
  EXPECT_EQ(S[1]->Title(), "Typed");
  EXPECT_EQ(f->SeriesNode->Item(1)->Text(), "Typed");

  // A series deleted elsewhere loses its node.
  delete S[2];
  S.pop_back();
  EXPECT_EQ(f->SeriesNode->Count(), 2);
}

TEST_F(EditorTreeGroups, TreeFollowsToolsAndManySeriesAndItsWidthIsStored) {
  for (int i = 3; i < 11; ++i) AddSeries("S" + std::to_string(i));
  {
    auto f = Dialog(true);
    f->RememberSize = true;
    EXPECT_EQ(f->SeriesNode->Count(), 11);
    EXPECT_FALSE(f->SeriesNode->Expanded());
    f->Tree->SetSelected(f->ToolsNode);
    ASSERT_NE(f->ToolsPage, nullptr);
    EXPECT_EQ(f->HostedControl(), f->ToolsPage);
    EditorDialogHook = [](TForm* F) {
      auto* g = static_cast<TGraphToolsGallery*>(F);
      g->TabControl1->SetActivePageIndex(0);
      g->TabControl1Change();
      g->LBTool->SetItemIndex(g->LBTool->Items()->IndexOfObject((TObject*)TCursorTool::StaticClass()));
      g->BOk->Click();
    };
    f->ToolsPage->BAddClick();
    EditorDialogHook = nullptr;
    ASSERT_EQ(f->ToolsNode->Count(), 1);
    f->Tree->SetSelected(f->ToolsNode->Item(0));
    EXPECT_EQ(f->ToolsPage->SelectedTool(), Chart->Tools->ToolAt(0));
    // The tool's node shows the tool's own editor; the tools node shows the page again.
    EXPECT_EQ(f->HostedControl(), f->ToolsPage->PanelToolEditor);
    ASSERT_NE(f->ToolsPage->ToolEditor, nullptr);
    EXPECT_EQ(f->ToolsPage->ToolEditor->Parent(), f->ToolsPage->PanelToolEditor);
    EXPECT_TRUE(f->ToolsPage->PanelToolEditor->Visible());
    f->Tree->SetSelected(f->ToolsNode);
    EXPECT_EQ(f->HostedControl(), f->ToolsPage);
    EXPECT_EQ(f->ToolsPage->PanelToolEditor->Parent(), f->ToolsPage);
    f->Tree->SetSelected(f->ToolsNode->Item(0));
    SetMessageBoxHook([](const std::string&, const std::string&, int) { return IDYES; });
    f->ToolsPage->BDeleteClick();
    EXPECT_EQ(f->ToolsNode->Count(), 0);
    f->Tree->SetWidth(200);
  }
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly(EditorOptionsKey));
  EXPECT_EQ(reg.ReadInteger("TreeWidth"), 200);
  EXPECT_FALSE(reg.ValueExists("Width"));  // the width without the tree is the designed one
  TChartEditForm again(nullptr);
  again.RestoreEditorPlacement(Chart);
  EXPECT_EQ(again.TreeWidth, 200);
}

}  // namespace

namespace {

TEST_F(EditorTreeGroups, CtrlTabWalksTheChartPagesFromTheSeriesList) {
  auto f = Dialog(false);
  for (int page = 1; page <= 8; ++page) {
    // The key comes to a control of the page shown (the series list first, then each page's first).
    TWinControl* focused = page == 1 ? static_cast<TWinControl*>(f->LBSeries) : f->ChartPages[page - 1];
    SendInput(focused, ikKeyDown, {ssCtrl}, 0, 0, VK_TAB);
    SendInput(focused, ikKeyUp, {ssCtrl}, 0, 0, VK_TAB);
    ASSERT_EQ(f->SubPage->ActivePageIndex(), page);
    EXPECT_NE(f->ChartPages[page], nullptr);
  }
  // The data grid moves along its row with Tab but leaves Ctrl+Tab to the main tabs.
  f->MainPage->SetActivePage(f->TabData);
  f->MainPageChange();
  SendInput(f->ChartGrid1, ikKeyDown, {ssCtrl}, 0, 0, VK_TAB);
  EXPECT_EQ(f->MainPage->ActivePage(), f->TabTools);
}

}  // namespace

namespace {

TEST_F(EditorTreeGroups, AChartWithoutSeriesOpensInTreeModeWithGroupsAndOnlyAddEnabled) {
  for (TLineSeries* s : S) delete s;
  S.clear();
  auto f = Dialog(true, kGroups);
  EXPECT_EQ(f->SeriesNode->Count(), 0);
  EXPECT_TRUE(f->BAddSeries->Enabled());
  for (TButton* b : {f->BDeleteSeries, f->BRenameSeries, f->BCloneSeries, f->BChangeTypeSeries})
    EXPECT_FALSE(b->Enabled()) << b->Name();
  EXPECT_EQ(Entries(*f), (std::vector<std::string>{"(all)+"}));
  for (const char* root : {"Data", "Chart"}) {
    f->Tree->SetSelected(Node(f->Tree, {root}));
    EXPECT_NE(f->HostedControl(), nullptr) << root;
  }
}

TEST_F(EditorTreeGroups, AChartFreedWhileATreeNodeShowsItsPageLeavesNothingHosted) {
  auto f = Dialog(true, kGroups);
  f->Tree->SetSelected(Node(f->Tree, {"Chart", "Axis", "Left Axis"}));
  ASSERT_NE(f->HostedControl(), nullptr);
  delete Chart;
  Chart = nullptr;
  EXPECT_EQ(f->HostedControl(), nullptr);
  EXPECT_EQ(f->Tree->RootCount(), 0);
  EXPECT_EQ(f->Groups->Items()->Count(), 0);
  for (TForm* p : f->ChartPages) EXPECT_EQ(p, nullptr);
}

TEST_F(EditorTreeGroups, TheWindowHoldingTheEditorClosingDuringTheDialogLeavesTheEditorUntouched) {
  auto* view = new TForm(nullptr);
  Chart->SetParent(nullptr);
  auto* chart = new TChart(view);
  chart->SetName("ViewChart");
  chart->SetParent(view);
  auto* editor = new TChartEditor(view);
  editor->SetChart(chart);
  bool closed = false, shown = false;
  editor->OnClose = [&](TObject*) { closed = true; };
  EditorDialogHook = [&](TForm* F) {
    if (!dynamic_cast<TChartEditForm*>(F)) return;
    shown = true;
    delete view;  // the view goes with its chart and editor
  };
  editor->Execute();
  EditorDialogHook = nullptr;
  EXPECT_TRUE(shown);
  EXPECT_FALSE(closed);  // the view's handler went with it
}

}  // namespace
