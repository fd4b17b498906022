// The pages of the Gantt drag, grid-transpose and surface-nearest tools: each lists only the
// series its tool can work on, loads the tool when shown and writes every change at once.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chart/editor/extra_function_editors.h"
#include "chart/editor/extra_series_tool_editors.h"
#include "chart/editor/series_page.h"
#include "chart/engine/chart.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/registries.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/bubble_gantt_series.h"
#include "chart/extra/gantt_page_tools.h"
#include "chart/extra/pen_dialog.h"
#include "chart/extra/surface_nearest_tool.h"
#include "chart/extra/surface_series.h"
#include "chart/series/line_series.h"
#include "platform/dialogs.h"
#include "platform/stdctrls.h"
#include "platform/updown.h"

namespace {

void Pick(TComboBox* C, const std::string& Item) {
  const int i = C->Items()->IndexOf(Item);
  ASSERT_GE(i, 0) << Item;
  C->SetItemIndex(i);
  C->OnChange(C);
}

std::vector<std::string> ItemsOf(TComboBox* C) {
  std::vector<std::string> r;
  for (int i = 0; i < C->Items()->Count(); ++i) r.push_back(C->Items()->Strings(i));
  return r;
}

struct ToolPages : ::testing::Test {
  TForm Host{nullptr};
  TChart* Chart = nullptr;
  static void SetUpTestSuite() { RegisterExtraSeriesToolEditorForms(); }
  void SetUp() override {
    Host.SetBounds(0, 0, 600, 400);
    Chart = new TChart(&Host);
    Chart->SetParent(&Host);
    Host.Show();
  }
  void TearDown() override {
    SetDialogHook(nullptr);
    Chart->Tools->Clear();
  }
  template <class S>
  S* Add(const std::string& Title) {
    auto* s = new S(&Host);
    s->SetTitle(Title);
    Chart->AttachSeries(s);
    return s;
  }
  template <class T>
  T* Tool() {
    auto* t = new T(nullptr);
    Chart->Tools->Add(t);
    return t;
  }
  // The page as the tools page embeds it, shown on Tool.
  template <class F>
  F* Page(TObject* Tool) {
    auto* f = new F(&Host);
    EmbedFormWithObject(f, &Host, Tool);
    return f;
  }
};

}  // namespace

TEST_F(ToolPages, PagesAreFoundByTheNamesTheToolsGive) {
  struct Case {
    TChartElementClass Tool;
    const char* Form;
  } cases[] = {{TGanttTool::StaticClass(), "TGanttToolEditor"},
               {TGridTransposeTool::StaticClass(), "TGridTransposeToolEdit"},
               {TSurfaceNearestTool::StaticClass(), "TSurfaceNearest"}};
  for (const Case& k : cases) {
    std::string name;
    GetElementEditorClassName(k.Tool, name);
    EXPECT_EQ(name, k.Form);
    EXPECT_NE(FindEditorClass(name), nullptr) << name;
  }
}

TEST_F(ToolPages, GanttPageListsGanttSeriesOnlyAndEditsToleranceFlagsAndCursors) {
  auto* first = Add<TGanttSeries>("Plan");
  Add<TLineSeries>("Line");
  auto* second = Add<TGanttSeries>("Actual");
  auto* tool = Tool<TGanttTool>();
  tool->SetSeries(second);
  tool->SetMinPixels(8);
  tool->SetAllowDrag(false);
  tool->SetCursorDrag(crCross);

  auto* f = Page<TGanttToolEditor>(tool);
  EXPECT_EQ(ItemsOf(f->CBSeries), (std::vector<std::string>{"(none)", "Plan", "Actual"}));
  EXPECT_EQ(f->CBSeries->Text(), "Actual");
  EXPECT_EQ(f->Edit1->Text(), "8");
  EXPECT_FALSE(f->CBAllowDrag->Checked());
  EXPECT_TRUE(f->CBAllowResize->Checked());
  EXPECT_EQ(f->CBCursorDrag->Text(), "Cross");
  EXPECT_EQ(f->CBCursorResize->Text(), "SizeWE");
  // Showing the tool wrote nothing back.
  EXPECT_EQ(tool->MinPixels(), 8);
  EXPECT_EQ(tool->CursorDrag(), crCross);

  f->Edit1->SetText("12");
  EXPECT_EQ(tool->MinPixels(), 12);
  for (const char* bad : {"101", "-1", "px"}) {
    f->Edit1->SetText(bad);
    EXPECT_EQ(tool->MinPixels(), 12) << bad;
  }
  f->Edit1->SetText("0");
  EXPECT_EQ(tool->MinPixels(), 0);
  f->CBAllowDrag->SetChecked(true);
  f->CBAllowResize->SetChecked(false);
  EXPECT_TRUE(tool->AllowDrag());
  EXPECT_FALSE(tool->AllowResize());
  Pick(f->CBCursorResize, "HandPoint");
  EXPECT_EQ(tool->CursorResize(), crHandPoint);
  Pick(f->CBSeries, "Plan");
  EXPECT_EQ(tool->Series(), first);
  Pick(f->CBSeries, "(none)");
  EXPECT_EQ(tool->Series(), nullptr);
  delete f;

  // A new tool shows its defaults.
  auto* fresh = Tool<TGanttTool>();
  f = Page<TGanttToolEditor>(fresh);
  EXPECT_EQ(f->CBSeries->ItemIndex(), 0);
  EXPECT_EQ(f->Edit1->Text(), "5");
  EXPECT_TRUE(f->CBAllowDrag->Checked());
  EXPECT_TRUE(f->CBAllowResize->Checked());
  EXPECT_EQ(f->CBCursorDrag->Text(), "HandPoint");
  delete f;
}

TEST_F(ToolPages, TransposePageChoosesAGridAndSwapsItsXAndZ) {
  Add<TLineSeries>("Line");
  auto* grid = Add<TSurfaceSeries>("Grid");
  grid->ClearValues();
  for (int x = 1; x <= 3; ++x)
    for (int z = 1; z <= 2; ++z) grid->AddXYZ(x, 10 * x + z, z);
  auto* tool = Tool<TGridTransposeTool>();

  auto* f = Page<TGridTransposeToolEdit>(tool);
  EXPECT_EQ(ItemsOf(f->CBSeries), (std::vector<std::string>{"Grid"}));
  EXPECT_EQ(f->CBSeries->ItemIndex(), -1);
  EXPECT_FALSE(f->BTranspose->Enabled());
  Pick(f->CBSeries, "Grid");
  EXPECT_EQ(tool->Series(), grid);
  EXPECT_TRUE(f->BTranspose->Enabled());
  f->BTranspose->Click();
  ASSERT_EQ(grid->Count(), 6);
  for (int i = 0; i < 6; ++i) {
    // Point i was (x, 10x + z, z) with x = i / 2 + 1 and z = i % 2 + 1.
    const int x = i / 2 + 1, z = i % 2 + 1;
    EXPECT_DOUBLE_EQ(grid->XValues()->Value(i), z);
    EXPECT_DOUBLE_EQ(grid->ZValues()->Value(i), x);
    EXPECT_DOUBLE_EQ(grid->YValues()->Value(i), 10 * x + z);
  }
  delete f;

  // Shown again, the tool's series is selected and can be transposed at once.
  f = Page<TGridTransposeToolEdit>(tool);
  EXPECT_EQ(f->CBSeries->Text(), "Grid");
  EXPECT_TRUE(f->BTranspose->Enabled());
  delete f;
}

TEST_F(ToolPages, SurfaceNearestPageEditsSeriesAndTheThreeColours) {
  auto* near = Add<TSurfaceSeries>("Near");
  Add<TLineSeries>("Line");
  auto* far = Add<TSurfaceSeries>("Far");
  auto* tool = Tool<TSurfaceNearestTool>();
  tool->SetSeries(far);
  tool->SetRowColor(clNone);
  tool->SetColumnColor(clAutoColor);

  auto* f = Page<TSurfaceNearest>(tool);
  EXPECT_EQ(ItemsOf(f->CBSeries), (std::vector<std::string>{"Near", "Far"}));
  EXPECT_EQ(f->CBSeries->Text(), "Far");
  EXPECT_TRUE(f->CBSeries->Enabled());
  // Default boxes 1..3, None boxes 4..6, for cell, row and column.
  const std::vector<bool> shown = {f->CheckBox1->Checked(), f->CheckBox2->Checked(), f->CheckBox3->Checked(),
                                   f->CheckBox4->Checked(), f->CheckBox5->Checked(), f->CheckBox6->Checked()};
  EXPECT_EQ(shown, (std::vector<bool>{false, false, true, false, true, false}));
  EXPECT_EQ(f->ButtonColor1->GetColor(), clRed);

  Pick(f->CBSeries, "Near");
  EXPECT_EQ(tool->Series(), near);

  // A chosen colour replaces "None" and stays.
  SetDialogHook([](TCommonDialog* D) {
    static_cast<TColorDialog*>(D)->SetColor(clTeal);
    return true;
  });
  f->ButtonColor2->Click();
  EXPECT_EQ(tool->RowColor(), clTeal);
  EXPECT_FALSE(f->CheckBox5->Checked());
  EXPECT_FALSE(f->CheckBox2->Checked());
  // A cancelled dialog changes nothing.
  SetDialogHook([](TCommonDialog*) { return false; });
  f->ButtonColor1->Click();
  EXPECT_EQ(tool->CellColor(), clRed);

  f->CheckBox1->SetChecked(true);
  EXPECT_EQ(tool->CellColor(), clAutoColor);
  f->CheckBox4->SetChecked(true);
  EXPECT_EQ(tool->CellColor(), clNone);
  EXPECT_FALSE(f->CheckBox1->Checked());
  delete f;

  // Another tool shows its own colours; a chart without series cannot be chosen from.
  Chart->DetachSeries(near);
  Chart->DetachSeries(far);
  for (int i = Chart->CountSeries() - 1; i >= 0; --i) Chart->DetachSeries(Chart->SeriesAt(i));
  auto* other = Tool<TSurfaceNearestTool>();
  f = Page<TSurfaceNearest>(other);
  EXPECT_FALSE(f->CBSeries->Enabled());
  EXPECT_EQ(f->CBSeries->ItemIndex(), -1);
  for (TCheckBox* b : {f->CheckBox1, f->CheckBox2, f->CheckBox3, f->CheckBox4, f->CheckBox5, f->CheckBox6})
    EXPECT_FALSE(b->Checked()) << b->Name();
  EXPECT_EQ(f->ButtonColor3->GetColor(), clGreen);
  delete f;
}

TEST_F(ToolPages, EveryNewFormKeepsItsControlsInsideAndApart) {
  RegisterExtraFunctionEditorForms();
  for (const char* name : {"TGanttToolEditor", "TGridTransposeToolEdit", "TSurfaceNearest", "TCompressFuncEditor",
                           "TCLVFuncEditor", "TOBVFuncEditor", "TCCIFuncEditor", "TPVOFuncEditor"}) {
    SCOPED_TRACE(name);
    TComponentClass cls = FindEditorClass(name);
    ASSERT_NE(cls, nullptr);
    std::unique_ptr<TForm> f(dynamic_cast<TForm*>(cls->Create(&Host)));
    ASSERT_NE(f, nullptr);
    EmbedFormWithObject(f.get(), &Host, nullptr);
    std::vector<TControl*> controls;
    for (int i = 0; i < f->ComponentCount(); ++i)
      if (auto* c = dynamic_cast<TControl*>(f->Components(i)); c && c->Parent() && c->Visible()) controls.push_back(c);
    for (TControl* c : controls) {
      const TRect room = c->Parent()->ClientRect(), r = c->BoundsRect();
      EXPECT_TRUE(r.Left >= room.Left && r.Top >= room.Top && r.Right <= room.Right && r.Bottom <= room.Bottom)
          << c->Name() << " leaves " << c->Parent()->Name();
    }
    for (size_t i = 0; i < controls.size(); ++i)
      for (size_t j = i + 1; j < controls.size(); ++j) {
        const TRect a = controls[i]->BoundsRect(), b = controls[j]->BoundsRect();
        if (controls[i]->Parent() == controls[j]->Parent()) {
          EXPECT_FALSE(a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom)
              << controls[i]->Name() << " overlaps " << controls[j]->Name();
        }
      }
  }
}
