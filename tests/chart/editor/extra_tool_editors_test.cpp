// The editor pages of the scroll-bar, data-table, selector, series-band, extra-legend and pie
// tools: each loads its tool when shown, writes every change at once, and is found by the class
// name its tool gives.
#include <gtest/gtest.h>

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/chart_pages.h"
#include "chart/editor/extra_tool_editors.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/chart.h"
#include "chart/extra/pen_dialog.h"
#include "chart/series/line_series.h"
#include "chart/series/pie_series.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "platform/updown.h"

namespace {

struct Chart {
  TChart C{nullptr};
  TLineSeries* A = new TLineSeries(nullptr);
  TLineSeries* B = new TLineSeries(nullptr);
  TPieSeries* Pie = new TPieSeries(nullptr);
  Chart() {
    A->SetTitle("A");
    B->SetTitle("B");
    Pie->SetTitle("P");
    for (auto* s : std::initializer_list<TChartSeries*>{A, B, Pie}) C.AttachSeries(s);
  }
  ~Chart() {
    C.Tools->Clear();
    for (auto* s : std::initializer_list<TChartSeries*>{A, B, Pie}) {
      C.DetachSeries(s);
      delete s;
    }
  }
};

template <class F>
std::unique_ptr<F> Show(TObject* Tool) {
  auto f = std::make_unique<F>(nullptr);
  f->SetTag(reinterpret_cast<intptr_t>(Tool));
  f->OnShow(f.get());
  return f;
}

}  // namespace

TEST(ExtraToolEditors, FormsAreFoundByTheNamesTheToolsGive) {
  RegisterExtraToolEditorForms();
  struct Case {
    TChartElementClass Tool;
    const char* Form;
  } cases[] = {
      {TLegendScrollBar::StaticClass(), "TScrollbarEditor"},   {TDataTableTool::StaticClass(), "TDataTableEditor"},
      {TSelectorTool::StaticClass(), "TSelectorToolEditor"},   {TSeriesBandTool::StaticClass(), "TSeriesBandToolEdit"},
      {TExtraLegendTool::StaticClass(), "TExtraLegendEditor"}, {TPieTool::StaticClass(), "TPieToolEditor"}};
  for (const Case& k : cases) {
    std::string name;
    GetElementEditorClassName(k.Tool, name);
    // The scroll bar names its form in other letter case; the lookup ignores case.
    EXPECT_TRUE(SameText(name, k.Form)) << name;
    EXPECT_NE(FindClass(name), nullptr) << name;
  }
}

TEST(ExtraToolEditors, ScrollBarPageLoadsAndWritesTheTool) {
  Chart c;
  auto* bar = new TLegendScrollBar(nullptr);
  c.C.Tools->Add(bar);
  bar->SetBevel(bvLowered);
  bar->SetInitialDelay(300);
  auto f = Show<TScrollbarEditor>(bar);
  EXPECT_EQ(f->ComboBox1->ItemIndex(), 1);
  EXPECT_EQ(f->UpDown1->Position(), 18);
  EXPECT_EQ(f->UpDown2->Position(), 300);
  EXPECT_EQ(f->UpDown2->Increment(), 25);
  EXPECT_TRUE(f->CBAuto->Checked());
  f->Edit1->SetText("25");
  EXPECT_EQ(bar->Size(), 25);
  f->Edit2->SetText("125");
  EXPECT_EQ(bar->InitialDelay(), 125);
  f->ComboBox1->SetItemIndex(0);
  f->ComboBox1Change(f->ComboBox1);
  EXPECT_EQ(bar->Bevel(), bvNone);
  f->CBAuto->SetChecked(false);
  EXPECT_FALSE(bar->AutoRepeat());
  // The thumb button opens the brush dialog on the thumb's brush.
  EditorDialogHook = [](TForm* D) { D->SetModalResult(mrCancel); };
  f->Button1Click(f->Button1);
  EditorDialogHook = nullptr;
}

TEST(ExtraToolEditors, DataTablePageWritesPositionOnlyByHand) {
  Chart c;
  auto* table = new TDataTableTool(nullptr);
  c.C.Tools->Add(table);
  table->SetTop(40);
  auto f = Show<TDataTableEditor>(table);
  EXPECT_EQ(f->Caption(), "DataTable editor");
  EXPECT_TRUE(f->CBAutoPos->Checked());
  EXPECT_FALSE(f->Edit1->Enabled());
  f->Edit1->SetText("12");  // automatic: not written
  EXPECT_EQ(table->Left(), 0);
  f->CBAutoPos->SetChecked(false);
  EXPECT_FALSE(table->AutoPosition());
  EXPECT_TRUE(f->Edit1->Enabled());
  EXPECT_EQ(f->UDTop->Position(), 40);
  f->Edit1->SetText("-30");
  EXPECT_EQ(table->Left(), -30);
  f->CBInverted->SetChecked(true);
  f->CBLegVisible->SetChecked(false);
  f->CBOtherSide->SetChecked(true);
  f->CBFontColor->SetChecked(true);
  EXPECT_TRUE(table->Inverted());
  EXPECT_FALSE(table->Legend()->Visible());
  EXPECT_TRUE(table->Legend()->OtherSide());
  EXPECT_TRUE(table->Legend()->FontSeriesColor());
  EXPECT_EQ(f->SymbolEditor->Symbol, table->Legend()->Symbol());
}

TEST(ExtraToolEditors, SelectorBandAndPiePages) {
  Chart c;
  auto* sel = new TSelectorTool(nullptr);
  c.C.Tools->Add(sel);
  auto s = Show<TSelectorToolEditor>(sel);
  EXPECT_EQ(s->UDSize->Position(), 3);
  s->Edit1->SetText("7");
  s->CBAllowDrag->SetChecked(false);
  s->CBResizeChart->SetChecked(true);
  EXPECT_EQ(sel->HandleSize(), 7);
  EXPECT_FALSE(sel->AllowDrag());
  EXPECT_TRUE(sel->AllowResizeChart());

  auto* band = new TSeriesBandTool(nullptr);
  c.C.Tools->Add(band);
  band->SetSeries(c.A);
  auto b = Show<TSeriesBandToolEdit>(band);
  EXPECT_EQ(b->CBSeries2->ItemIndex(), 0);  // "(none)"
  b->CBSeries2->SetItemIndex(2);
  b->CBSeries2Change(b->CBSeries2);
  EXPECT_EQ(band->Series2(), c.B);
  b->ETransp->SetText("40");
  b->CBDrawBehindSeries->SetChecked(false);
  EXPECT_EQ(band->Transparency(), 40);
  EXPECT_FALSE(band->DrawBehindSeries());

  auto* pie = new TPieTool(nullptr);
  c.C.Tools->Add(pie);
  auto p = Show<TPieToolEditor>(pie);
  EXPECT_EQ(p->Label1->Caption(), "Pie");
  ASSERT_EQ(p->CBPieSeries->Items()->Count(), 1);  // only the pie series
  EXPECT_EQ(p->CBPieSeries->ItemIndex(), -1);
  p->CBPieSeries->SetItemIndex(0);
  p->CBPieSeriesChange(p->CBPieSeries);
  EXPECT_EQ(pie->Series(), c.Pie);
  SetRadioGroupIndex(p->RGStyle, 1);
  p->RGStyleClick(p->RGStyle);
  EXPECT_EQ(pie->Style(), ptExplode);
}

TEST(ExtraToolEditors, ExtraLegendPageOpensTheLegendPageOnTheToolsLegend) {
  Chart c;
  auto* tool = new TExtraLegendTool(nullptr);
  c.C.Tools->Add(tool);
  auto f = Show<TExtraLegendEditor>(tool);
  TChartLegend* shown = nullptr;
  EditorDialogHook = [&](TForm* D) {
    auto* page = dynamic_cast<TFormGraphLegend*>(D);
    ASSERT_NE(page, nullptr);
    page->CBInverted->SetChecked(true);
    shown = tool->LegendOrNull();
    D->SetModalResult(mrOk);
  };
  f->Button1Click(f->Button1);
  EditorDialogHook = nullptr;
  ASSERT_NE(shown, nullptr);
  EXPECT_TRUE(tool->Legend()->Inverted());
  EXPECT_EQ(tool->Legend()->LegendStyle(), lsValues);
}
