// The function editor of the data-source tab and the functions' own option forms, on a real
// chart: a source and a function chosen, options typed, "&Apply" pressed, the points checked.
#include <gtest/gtest.h>

#include <string>

#include "chart/editor/function_editors.h"
#include "chart/editor/select_list.h"
#include "chart/editor/series_page.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_errors.h"
#include "chart/engine/series_helpers.h"
#include "chart/engine/value_lists.h"
#include "chart/extra/bspline.h"
#include "chart/extra/pen_dialog.h"
#include "chart/series/functions_basic.h"
#include "chart/series/functions_financial.h"
#include "chart/series/functions_statistical.h"
#include "chart/series/line_series.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "platform/updown.h"

namespace {

void Pick(TComboBox* C, const std::string& Item) {
  const int i = C->Items()->IndexOf(Item);
  ASSERT_GE(i, 0) << Item;
  C->SetItemIndex(i);
  C->OnChange(C);
}

// A function of the program's kind: no editor form of its own.
class TPlainTestFunction : public TGraphFunction {
  VM_CLASS(TPlainTestFunction, TGraphFunction)
public:
  explicit TPlainTestFunction(TComponent* AOwner) : TGraphFunction(AOwner) {}
};
VM_DEFINE_CLASS(TPlainTestFunction)

struct FunctionForms : ::testing::Test {
  TForm Host{nullptr};
  TChart* Chart = nullptr;
  TLineSeries *A = nullptr, *B = nullptr, *S = nullptr;
  static void SetUpTestSuite() {
    RegisterBasicFunctions();
    RegisterStatisticalFunctions();
    RegisterFinancialFunctions();
    RegisterFunctionEditorForms();
  }
  void SetUp() override {
    Host.SetBounds(0, 0, 600, 400);
    Chart = new TChart(&Host);
    Chart->SetParent(&Host);
    Chart->SetBounds(0, 0, 400, 300);
    A = Line("First", 6);
    B = Line("Second", 6);
    S = Line("Result", 0);
    Host.Show();
  }
  void TearDown() override { SetMessageBoxHook(nullptr); }
  TLineSeries* Line(const std::string& Title, int Points) {
    auto* s = new TLineSeries(&Host);
    s->SetTitle(Title);
    for (int i = 0; i < Points; ++i) s->AddXY(i + 1, (i + 1) * 10);
    Chart->AttachSeries(s);
    return s;
  }
  // The function editor as the series page embeds it.
  TGraphFuncEditor* Editor(TChartSeries* Series) {
    auto* e = new TGraphFuncEditor(&Host);
    e->SetBounds(0, 0, 420, 220);
    EmbedFormWithObject(e, &Host, Series);
    return e;
  }
  static void Choose(TGraphFuncEditor* E, TClass Function) {
    const int i = E->CBSources->Items()->IndexOfObject((TObject*)Function);
    ASSERT_GE(i, 0) << (Function ? Function->ClassName() : "Copy");
    E->CBSources->SetItemIndex(i);
    E->CBSources->OnChange(E->CBSources);
  }
};

}  // namespace

TEST_F(FunctionForms, MovingAverageGetsItsSourceAndPeriodThroughTheDataSourceTab) {
  TGraphFuncEditor* e = Editor(S);
  // A new, empty series can be applied at once; "Copy" shows the two lists and no options.
  EXPECT_TRUE(e->BApply->Enabled());
  EXPECT_EQ(e->ChosenClass(), nullptr);
  EXPECT_TRUE(e->SelectList->Visible());
  EXPECT_FALSE(e->PanSingle->Visible());
  EXPECT_FALSE(e->TabOptions->TabVisible());

  Choose(e, TMovingAverageFunction::StaticClass());
  auto* f = dynamic_cast<TMovingAverageFunction*>(S->FunctionObject());
  ASSERT_NE(f, nullptr);
  // One source: the single-source panel instead of the two lists; the options form edits f.
  EXPECT_TRUE(e->PanSingle->Visible());
  EXPECT_FALSE(e->SelectList->Visible());
  EXPECT_TRUE(e->TabOptions->TabVisible());
  auto* o = dynamic_cast<TMovAveFuncEditor*>(e->OptionsForm);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->IFunction, f);
  EXPECT_FALSE(e->CBValues->Enabled());
  Pick(e->CBSingle, "First");
  EXPECT_TRUE(e->CBValues->Enabled());
  EXPECT_TRUE(e->BNone->Enabled());
  EXPECT_EQ(e->CBValues->Text(), "Y");
  o->Edit1->SetText("2");
  EXPECT_TRUE(e->BApply->Enabled());
  e->BApply->Click();
  EXPECT_FALSE(e->BApply->Enabled());
  EXPECT_EQ(S->DataSource(), A);
  EXPECT_EQ(S->MandatoryList->ValueSource(), "Y");
  EXPECT_DOUBLE_EQ(f->Period(), 2);
  // Averages of 10..60 over two points.
  ASSERT_EQ(S->Count(), 5);
  EXPECT_DOUBLE_EQ(S->YValue(0), 15);
  EXPECT_DOUBLE_EQ(S->YValue(4), 55);
  delete e;

  // Another series' function loads its own values; both weights set show "Weighted", and
  // "Normal" clears both.
  TLineSeries* other = Line("Other", 0);
  auto* g = static_cast<TMovingAverageFunction*>(MakeFunctionForSeries(other, TMovingAverageFunction::StaticClass()));
  g->SetPeriod(4);
  g->SetWeighted(true);
  g->SetWeightedIndex(true);
  other->SetDataSource(B);
  e = Editor(other);
  EXPECT_FALSE(e->BApply->Enabled());
  EXPECT_EQ(e->ChosenClass(), TMovingAverageFunction::StaticClass());
  EXPECT_EQ(e->CBSingle->Text(), "Second");
  o = dynamic_cast<TMovAveFuncEditor*>(e->OptionsForm);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->Edit1->Text(), "4");
  EXPECT_EQ(o->CBStyle->Text(), "Weighted");
  Pick(o->CBStyle, "Normal");
  e->BApply->Click();
  EXPECT_FALSE(g->Weighted());
  EXPECT_FALSE(g->WeightedIndex());
  EXPECT_DOUBLE_EQ(f->Period(), 2);
}

TEST_F(FunctionForms, CopyTakesTheSelectedSourcesAndRefusesACircle) {
  TGraphFuncEditor* e = Editor(S);
  // A function chosen and given up again: it stays until "&Apply", its form goes at once.
  Choose(e, THighGraphFunction::StaticClass());
  TGraphFunction* high = S->FunctionObject();
  ASSERT_NE(high, nullptr);
  Choose(e, nullptr);
  EXPECT_EQ(S->FunctionObject(), high);
  EXPECT_EQ(e->OptionsForm, nullptr);
  EXPECT_FALSE(e->TabOptions->TabVisible());
  TListBox* from = e->SelectList->FromList;
  ASSERT_EQ(from->Items()->Count(), 2);
  // Both lists end inside the tab.
  for (TListBox* l : {from, e->SelectList->ToList})
    EXPECT_LE(l->Top() + l->Height() + e->SelectList->Top(), e->TabSource->ClientHeight());
  from->SetSelected(from->Items()->IndexOf("First"), true);
  e->SelectList->BRightOne->Click();
  EXPECT_EQ(e->SelectList->ToList->Items()->Count(), 1);
  e->BApply->Click();
  EXPECT_EQ(S->FunctionObject(), nullptr);
  EXPECT_EQ(S->DataSource(), A);
  ASSERT_EQ(S->Count(), 6);
  EXPECT_DOUBLE_EQ(S->YValue(5), 60);

  // A series freed while the editor lists it leaves the lists.
  delete B;
  B = nullptr;
  EXPECT_EQ(from->Items()->IndexOf("Second"), -1);
  EXPECT_EQ(e->CBSingle->Items()->IndexOf("Second"), -1);
  delete e;

  // The first series made a copy of the result: the circle is refused before any source
  // changes, and "&Apply" stays enabled.
  TGraphFuncEditor* back = Editor(A);
  TListBox* list = back->SelectList->FromList;
  list->SetSelected(list->Items()->IndexOf("Result"), true);
  back->SelectList->BRightOne->Click();
  EXPECT_THROW(back->BApply->Click(), ChartException);
  EXPECT_TRUE(back->BApply->Enabled());
  EXPECT_EQ(A->DataSource(), nullptr);
  EXPECT_EQ(A->Count(), 6);

  // Leaving with the change unapplied asks; Cancel stays, No drops the change.
  int answer = IDCANCEL;
  std::string asked;
  SetMessageBoxHook([&](const std::string& Text, const std::string&, int) {
    asked = Text;
    return answer;
  });
  EXPECT_FALSE(back->CloseQuery());
  EXPECT_EQ(asked, "Apply Changes ?");
  answer = IDNO;
  EXPECT_TRUE(back->CloseQuery());
  EXPECT_FALSE(back->BApply->Enabled());
}

TEST_F(FunctionForms, PeriodFormShowsTheStyleAndWritesPeriodStyleAndAlignment) {
  struct Case {
    const char* Name;
    TGraphFunctionClass Class;
    TFunctionPeriodStyle Style;
    double Period;
    const char* ShownStyle;
    const char* ShownNum;
  };
  const Case cases[] = {
      {"points rounded half to even", THighGraphFunction::StaticClass(), psNumPoints, 2.6, "Every number of points",
       "3"},
      {"no period", THighGraphFunction::StaticClass(), psNumPoints, 0, "All points", ""},
      {"a range", THighGraphFunction::StaticClass(), psRange, 2.5, "Every range", "2.5"},
      {"a moving function has no range", TMomentumFunction::StaticClass(), psRange, 3, "Every number of points", "3"},
      {"the program's own functions", TPlainTestFunction::StaticClass(), psNumPoints, 5, "Every number of points", "5"},
  };
  for (const Case& c : cases) {
    TLineSeries* s = Line(c.Name, 0);
    TGraphFunction* f = MakeFunctionForSeries(s, c.Class);
    f->SetPeriodStyle(c.Style);
    f->SetPeriod(c.Period);
    auto* form = dynamic_cast<TGraphFunctionEditor*>(FindEditorClass("TGraphFunctionEditor")->Create(&Host));
    ASSERT_NE(form, nullptr);
    EmbedFormWithObject(form, &Host, f);
    EXPECT_EQ(form->CBStyle->Text(), c.ShownStyle) << c.Name;
    EXPECT_EQ(form->ENum->Text(), c.ShownNum) << c.Name;
    EXPECT_EQ(form->BChange->Enabled(), std::string(c.ShownStyle) == "Every range") << c.Name;
    delete form;
  }

  // Through the page: a range, a negative period refused by the function, then a good one.
  TGraphFuncEditor* e = Editor(S);
  Choose(e, THighGraphFunction::StaticClass());
  auto* form = dynamic_cast<TGraphFunctionEditor*>(e->OptionsForm);
  ASSERT_NE(form, nullptr);
  Pick(form->CBStyle, "Every range");
  EXPECT_TRUE(form->ENum->Enabled());
  form->ENum->SetText("-1");
  EXPECT_THROW(e->BApply->Click(), ChartException);
  EXPECT_TRUE(e->BApply->Enabled());
  form->ENum->SetText("4");
  Pick(form->CBAlign, "Last");
  e->BApply->Click();
  TGraphFunction* f = S->FunctionObject();
  EXPECT_EQ(f->PeriodStyle(), psRange);
  EXPECT_DOUBLE_EQ(f->Period(), 4);
  EXPECT_EQ(f->PeriodAlign(), TFunctionPeriodAlign::paLast);
  EXPECT_FALSE(f->Updating);
}

TEST_F(FunctionForms, EachFormWritesItsOwnOptionsOnApply) {
  TGraphFuncEditor* e = Editor(S);
  // Standard deviation and root mean square share the R.M.S. form and its Complete flag.
  for (TGraphFunctionClass c : {TStdDeviationFunction::StaticClass(), TRMSFunction::StaticClass()}) {
    Choose(e, c);
    auto* rms = dynamic_cast<TRMSFuncEditor*>(e->OptionsForm);
    ASSERT_NE(rms, nullptr) << c->ClassName();
    EXPECT_FALSE(rms->CBComplete->Checked());
    rms->CBComplete->SetChecked(true);
    EXPECT_TRUE(e->BApply->Enabled());
    e->BApply->Click();
    EXPECT_TRUE(static_cast<TStdDeviationFunction*>(S->FunctionObject())->Complete()) << c->ClassName();
  }

  Choose(e, TAverageGraphFunction::StaticClass());
  auto* avg = dynamic_cast<TAverageFuncEditor*>(e->OptionsForm);
  ASSERT_NE(avg, nullptr);
  EXPECT_TRUE(avg->CBNulls->Checked());
  avg->CBNulls->SetChecked(false);
  Pick(avg->CBStyle, "Every number of points");
  avg->ENum->SetText("2");
  e->BApply->Click();
  auto* a = static_cast<TAverageGraphFunction*>(S->FunctionObject());
  EXPECT_FALSE(a->IncludeNulls());
  EXPECT_DOUBLE_EQ(a->Period(), 2);

  Choose(e, TMACDFunction::StaticClass());
  auto* macd = dynamic_cast<TMACDFuncEditor*>(e->OptionsForm);
  ASSERT_NE(macd, nullptr);
  auto* m = static_cast<TMACDFunction*>(S->FunctionObject());
  EXPECT_EQ(macd->Edit1->Text(), "12");
  EXPECT_EQ(macd->BMACD->Pen(), m->MACDPen());
  EXPECT_EQ(macd->BHistogram->Pen(), m->HistogramPen());
  macd->ENum->SetText("20");
  macd->Edit1->SetText("8");
  macd->Edit2->SetText("5");
  e->BApply->Click();
  EXPECT_DOUBLE_EQ(m->Period(), 20);
  EXPECT_DOUBLE_EQ(m->Period2(), 8);
  EXPECT_EQ(m->Period3(), 5);

  Choose(e, TExpAverageFunction::StaticClass());
  auto* exp = dynamic_cast<TExpAveFuncEditor*>(e->OptionsForm);
  ASSERT_NE(exp, nullptr);
  EXPECT_EQ(exp->Edit1->Text(), "0.2");
  exp->Edit1->SetText("0.75");
  e->BApply->Click();
  EXPECT_DOUBLE_EQ(static_cast<TExpAverageFunction*>(S->FunctionObject())->Weight(), 0.75);
  // Outside 0..1 the function refuses it and keeps its weight.
  exp->Edit1->SetText("3");
  EXPECT_THROW(e->BApply->Click(), ChartException);
  EXPECT_DOUBLE_EQ(static_cast<TExpAverageFunction*>(S->FunctionObject())->Weight(), 0.75);

  // Bollinger: a deviation that is not a number fails after the period was written.
  Choose(e, TBollingerFunction::StaticClass());
  auto* bol = dynamic_cast<TBollingerFuncEditor*>(e->OptionsForm);
  ASSERT_NE(bol, nullptr);
  auto* b = static_cast<TBollingerFunction*>(S->FunctionObject());
  EXPECT_EQ(bol->ButtonPen1->Pen(), b->UpperBandPen());
  EXPECT_EQ(bol->ButtonPen2->Pen(), b->LowBandPen());
  bol->ENum->SetText("7");
  bol->CheckBox1->SetChecked(false);
  bol->Edit1->SetText("1.5");
  e->BApply->Click();
  EXPECT_DOUBLE_EQ(b->Period(), 7);
  EXPECT_FALSE(b->Exponential());
  EXPECT_DOUBLE_EQ(b->Deviation(), 1.5);
  bol->ENum->SetText("9");
  bol->Edit1->SetText("wide");
  EXPECT_THROW(e->BApply->Click(), EConvertError);
  EXPECT_DOUBLE_EQ(b->Period(), 9);
  EXPECT_DOUBLE_EQ(b->Deviation(), 1.5);
  EXPECT_FALSE(b->Updating);
  EXPECT_TRUE(e->BApply->Enabled());
}

TEST_F(FunctionForms, AFunctionOfAnUnlistedTypeKeepsItsFunctionAndItsForm) {
  // Smoothing is not among the registered choices here: the editor offers it by class name
  // instead of taking the series for a copy and dropping its function.
  auto* f = static_cast<TSmoothingFunction*>(MakeFunctionForSeries(S, TSmoothingFunction::StaticClass()));
  f->SetFactor(6);
  TGraphFuncEditor* e = Editor(S);
  EXPECT_EQ(S->FunctionObject(), f);
  // Named by its class while unlisted; by its description once another test registered it.
  EXPECT_TRUE(e->CBSources->Text() == "TSmoothingFunction" || e->CBSources->Text() == "Smoothing")
      << e->CBSources->Text();
  auto* form = dynamic_cast<TSmoothFuncEditor*>(e->OptionsForm);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->Edit1->Text(), "6");
  EXPECT_TRUE(form->CBInterp->Checked());
  form->Edit1->SetText("3");
  form->CBInterp->SetChecked(false);
  EXPECT_TRUE(e->BApply->Enabled());
  e->BApply->Click();
  EXPECT_EQ(f->Factor(), 3);
  EXPECT_FALSE(f->Interpolate());
}

TEST_F(FunctionForms, CustomFunctionFormMakesAndAttachesAFunctionWhenTheSeriesHasNone) {
  TGraphFuncEditor* e = Editor(S);
  ASSERT_EQ(S->FunctionObject(), nullptr);
  auto* form = new TCustomFunctionEditor(e);
  EmbedFormWithObject(form, e->TabOptions, nullptr);
  e->BApply->SetEnabled(false);
  form->EStart->SetText("1.5");
  EXPECT_TRUE(e->BApply->Enabled());
  form->EStep->SetText("0.5");
  form->ENum->SetText("4");
  bool close = false;
  form->OnCloseQuery(form, close);
  EXPECT_TRUE(close);
  auto* f = dynamic_cast<TCustomGraphFunction*>(S->FunctionObject());
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Owner(), &Host);
  EXPECT_DOUBLE_EQ(f->StartX(), 1.5);
  EXPECT_DOUBLE_EQ(f->Period(), 0.5);
  EXPECT_EQ(f->NumPoints(), 4);
  // A count that is not an integer ends the apply with the conversion error.
  form->ENum->SetText("4.5");
  EXPECT_THROW(form->OnCloseQuery(form, close), EConvertError);
  delete form;

  // Loaded from that function, it shows its values.
  form = new TCustomFunctionEditor(e);
  EmbedFormWithObject(form, e->TabOptions, f);
  EXPECT_EQ(form->EStart->Text(), "1.5");
  EXPECT_EQ(form->EStep->Text(), "0.5");
  EXPECT_EQ(form->ENum->Text(), "4");
}

TEST_F(FunctionForms, AdxPeriodStaysAtTwoOrMore) {
  auto* f = static_cast<TADXFunction*>(MakeFunctionForSeries(S, TADXFunction::StaticClass()));
  f->SetPeriod(3);
  TGraphFuncEditor* e = Editor(S);
  auto* form = dynamic_cast<TADXFuncEditor*>(e->OptionsForm);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form->EPeriod->Text(), "3");
  EXPECT_EQ(form->BUp->Pen(), f->UpLinePen());
  EXPECT_EQ(form->BDown->Pen(), f->DownLinePen());
  form->UDPeriod->Click(btPrev);
  form->UDPeriod->Click(btPrev);
  EXPECT_EQ(form->EPeriod->Text(), "2");
  EXPECT_TRUE(e->BApply->Enabled());
  e->BApply->Click();
  EXPECT_DOUBLE_EQ(f->Period(), 2);
  form->EPeriod->SetText("1");
  bool close = false;
  form->OnCloseQuery(form, close);
  EXPECT_DOUBLE_EQ(f->Period(), 2);
}

TEST_F(FunctionForms, UnderAnMdiFrameTheCandidatesAreEveryChildsSeriesNamedByItsCaption) {
  TForm* before = Application->MainForm();
  auto* frame = new TForm(nullptr);
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(0, 0, 700, 500);
  Application->SetMainForm(frame);
  frame->Show();
  // Two views, each with a chart and a series of its own.
  TChartSeries* series[2] = {};
  for (int i = 0; i < 2; ++i) {
    auto* child = new TForm(Application);
    child->SetFormStyle(fsMDIChild);
    child->SetCaption(i == 0 ? "Curves" : "Polar");
    child->SetBounds(0, 0, 300, 200);
    auto* chart = new TChart(child);
    chart->SetParent(child);
    auto* s = new TLineSeries(child);
    s->SetTitle(i == 0 ? "Rho" : "Phase");
    chart->AttachSeries(s);
    series[i] = s;
    child->Show();
  }
  TGraphFuncEditor* e = Editor(S);
  TStrings* names = e->SelectList->FromList->Items();
  EXPECT_GE(names->IndexOf("Curves Rho"), 0);
  EXPECT_GE(names->IndexOf("Polar Phase"), 0);
  // The edited series' own owner is no child window: its neighbours are not offered.
  EXPECT_EQ(names->IndexOf("First"), -1);
  EXPECT_EQ(names->Count(), 2);
  EXPECT_EQ(names->Objects(names->IndexOf("Polar Phase")), series[1]);
  delete e;
  Application->SetMainForm(before);
  while (frame->MDIChildCount() > 0) delete frame->MDIChildren(0);
  delete frame;
  Application->ProcessMessages();
}

TEST_F(FunctionForms, AFunctionSeriesDeletedWithChangesNotAppliedIsLetGoWithoutAQuestion) {
  auto* f = static_cast<TMovingAverageFunction*>(MakeFunctionForSeries(S, TMovingAverageFunction::StaticClass()));
  S->AddDataSourceInternal(A);
  f->InternalSetPeriod(2);
  auto* page = new TFormGraphSeries(&Host);
  page->SetParent(&Host);
  page->SetBounds(0, 0, 600, 400);
  page->Show();
  page->CBSeries->Items()->AddObject("Result", S);
  page->SetSeries(S);
  page->RefreshPage();
  page->PageSeries->SetActivePage(page->TabDataSource);
  page->PageSeriesChange();
  ASSERT_NE(page->DataSourceEditor, nullptr);
  page->DataSourceEditor->CBSourcesChange();
  ASSERT_TRUE(page->DataSourceEditor->BApply->Enabled());
  bool asked = false;
  SetMessageBoxHook([&](const std::string&, const std::string&, int) {
    asked = true;
    return 6;  // Yes: would apply into the function being freed
  });
  delete S;
  S = nullptr;
  EXPECT_FALSE(asked);
  EXPECT_EQ(page->DataSourceEditor, nullptr);
}
