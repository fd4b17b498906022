// Every registered series, function and tool type against the editor forms: each name a type gives
// is a registered form, and each form is created, shown on an object of its type, translated and
// freed with nothing left behind on the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "chart/editor/editor_forms.h"
#include "chart/editor/language.h"
#include "chart/editor/series_page.h"
#include "chart/engine/chart.h"
#include "chart/engine/graph_function.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_helpers.h"
#include "chart/engine/tool_base.h"
#include "chart/extra/extra_series.h"
#include "chart/extra/pen_dialog.h"
#include "chart/series/functions_average.h"
#include "chart/series/functions_basic.h"
#include "chart/series/functions_financial.h"
#include "chart/series/functions_statistical.h"
#include "chart/series/functions_trend.h"
#include "chart/series/standard_series.h"
#include "chart/series/tools_register.h"
#include "platform/comctrls.h"
#include "platform/stdctrls.h"

namespace {

// Editor forms built in other branches, or not built yet: a name comes off the list as soon as its
// form is registered (the first test fails until it does).
const std::set<std::string> kFormsBuiltElsewhere = {
    // Forms of the extra functions and tools that no branch builds yet: none left.
};

// Forms no type names: sub-editors that series editors insert as further tabs.
const std::set<std::string> kSubEditorForms = {"TStackBarSeriesEditor", "TCircledSeriesEditor"};

// The forms of the line, bar, round, candle, Gantt and shape series.
const std::vector<std::string> kSeriesForms = {
    "TCustomSeriesEditor",   "TFastLineSeriesEditor", "TAreaSeriesEditor",     "THistogramSeriesEditor",
    "TVolumeSeriesEditor",   "TLinePointEditor",      "TBubbleSeriesEditor",   "TBarSeriesEditor",
    "TStackBarSeriesEditor", "TBarJoinEditor",        "TImageBarSeriesEditor", "TErrorSeriesEditor",
    "TCircledSeriesEditor",  "TPieSeriesEditor",      "TDonutSeriesEditor",    "TPolarSeriesEditor",
    "TClockEditor",          "TWindRoseEditor",       "TCandleEditor",         "THighLowEditor",
    "TArrowSeriesEditor",    "TGanttSeriesEditor",    "TChartShapeEditor",     "TSeriesPointerEditor",
    "TPointFigureEditor"};

struct Named {
  std::string Editor;
  std::string Type;
};

std::string ElementEditor(TClass Class) {
  std::string name;
  GetElementEditorClassName(static_cast<TChartElementClass>(Class), name);
  return name;
}

// Every type with the editor form name it gives (empty names left out).
std::vector<Named> NamedEditors(TComponent* Owner) {
  std::vector<Named> r;
  TGraphSeriesTypes* types = GraphSeriesTypesList();
  for (int i = 0; i < types->Count(); ++i) {
    TGraphSeriesType* t = types->GetSeriesType(i);
    if (t->SeriesClass && !ElementEditor(t->SeriesClass).empty())
      r.push_back({ElementEditor(t->SeriesClass), t->SeriesClass->ClassName()});
    if (t->FunctionClass) {
      std::unique_ptr<TComponent> made(t->FunctionClass->Create(Owner));
      std::string name;
      if (auto* f = dynamic_cast<TGraphFunction*>(made.get())) f->GetEditorClassName(name);
      if (!name.empty()) r.push_back({name, t->FunctionClass->ClassName()});
    }
  }
  TGraphToolTypes* tools = GraphToolTypesList();
  for (int i = 0; i < tools->Count(); ++i)
    if (!ElementEditor(tools->GetToolType(i)).empty())
      r.push_back({ElementEditor(tools->GetToolType(i)), tools->GetToolType(i)->ClassName()});
  return r;
}

// A caption as the dictionary keys it: upper case, without '&', a trailing colon or "...".
std::string DictionaryKey(std::string Text) {
  Text.erase(std::remove(Text.begin(), Text.end(), '&'), Text.end());
  while (!Text.empty() && (Text.back() == ':' || Text.back() == '.' || Text.back() == ' ')) Text.pop_back();
  for (char& c : Text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return Text;
}

// The captions of the form's own controls that the dictionary knows but that stayed English.
std::vector<std::string> UntranslatedCaptions(TForm* Form) {
  std::vector<std::string> r;
  for (int i = 0; i < Form->ComponentCount(); ++i) {
    auto* c = dynamic_cast<TControl*>(Form->Components(i));
    if (!c || dynamic_cast<TEdit*>(c)) continue;
    const std::string caption = c->Caption();
    if (caption.empty()) continue;
    const std::string russian = LookupTranslation(DictionaryKey(caption));
    if (!russian.empty() && DictionaryKey(russian) != DictionaryKey(caption))
      r.push_back(c->Name() + " \"" + caption + "\"");
  }
  return r;
}

// Visible controls of the form that stick out of their parent's client area or overlap a visible
// sibling, as "name" or "name/name".
std::vector<std::string> LayoutFaults(TForm* Form) {
  std::vector<std::string> r;
  std::vector<TWinControl*> parents{Form};
  for (int i = 0; i < Form->ComponentCount(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(Form->Components(i)); w && w->ControlCount() > 0) parents.push_back(w);
  for (TWinControl* p : parents) {
    if (!p->Visible() || p->Align() == alClient) continue;
    const TRect client = p->ClientRect();
    std::vector<TControl*> shown;
    for (int i = 0; i < p->ControlCount(); ++i)
      if (TControl* c = p->Controls(i); c->Visible() && c->Align() == alNone && c->Owner() == Form) shown.push_back(c);
    for (size_t i = 0; i < shown.size(); ++i) {
      const TRect b = shown[i]->BoundsRect();
      if (b.Left < client.Left || b.Top < client.Top || b.Right > client.Right || b.Bottom > client.Bottom)
        r.push_back(shown[i]->Name() + " " + std::to_string(b.Left) + "," + std::to_string(b.Top) + "," +
                    std::to_string(b.Right) + "," + std::to_string(b.Bottom) + " in " + std::to_string(client.Right) +
                    "," + std::to_string(client.Bottom));
      for (size_t k = i + 1; k < shown.size(); ++k) {
        const TRect o = shown[k]->BoundsRect();
        if (b.Left < o.Right && o.Left < b.Right && b.Top < o.Bottom && o.Top < b.Bottom)
          r.push_back(shown[i]->Name() + "/" + shown[k]->Name() + " " + std::to_string(b.Right) + " " +
                      std::to_string(o.Left));
      }
    }
  }
  return r;
}

// Shown, enabled input controls of the form that Tab never reaches from its first control.
std::vector<std::string> UnreachableByTab(TForm* Form) {
  std::set<TWinControl*> reached;
  TWinControl* c = Form->FindNextControl(nullptr, true, true, false);
  while (c && reached.insert(c).second) c = Form->FindNextControl(c, true, true, false);
  std::vector<std::string> r;
  for (int i = 0; i < Form->ComponentCount(); ++i) {
    auto* w = dynamic_cast<TWinControl*>(Form->Components(i));
    const bool input = dynamic_cast<TEdit*>(w) || dynamic_cast<TCheckBox*>(w) || dynamic_cast<TButton*>(w) ||
                       dynamic_cast<TComboBox*>(w);
    if (input && w->Showing() && w->Enabled() && !reached.count(w)) r.push_back(w->Name());
  }
  return r;
}

struct EditorFormsRegistry : ::testing::Test {
  static void SetUpTestSuite() {
    InitStandardSeries();
    RegisterStandardTools();
    RegisterBasicFunctions();
    RegisterAverageFunctions();
    RegisterStatisticalFunctions();
    RegisterTrendFunctions();
    RegisterFinancialFunctions();
    InitExtraSeries();
    InstallTranslator();
    RegisterEditorForms();
  }
  TForm Owner{nullptr};
};

}  // namespace

TEST_F(EditorFormsRegistry, EveryNamedFormIsRegisteredAndTheExclusionsAreExact) {
  std::map<std::string, std::string> missing;  // form -> a type naming it
  std::set<std::string> named;
  for (const Named& n : NamedEditors(&Owner)) {
    named.insert(n.Editor);
    if (!FindEditorClass(n.Editor)) missing.emplace(n.Editor, n.Type);
  }
  for (const auto& [form, type] : missing)
    EXPECT_TRUE(kFormsBuiltElsewhere.count(form)) << form << " (named by " << type << ") is not registered";
  for (const std::string& form : kFormsBuiltElsewhere) {
    EXPECT_TRUE(named.count(form)) << form << " is listed as built elsewhere but no type names it";
    EXPECT_FALSE(FindEditorClass(form)) << form << " is registered now: take it off the list";
  }
  // No form without a type: each form here is named by a type or is a sub-editor tab.
  for (const std::string& form : kSeriesForms) {
    EXPECT_NE(FindEditorClass(form), nullptr) << form;
    EXPECT_TRUE(named.count(form) || kSubEditorForms.count(form)) << form << " is named by no type";
  }
  // A second registration changes nothing.
  RegisterEditorForms();
  EXPECT_NE(FindEditorClass("TCustomSeriesEditor"), nullptr);
}

TEST_F(EditorFormsRegistry, EverySeriesFormOpensTranslatedOnItsSeriesAndGoesWithoutATrace) {
  SetRussianLanguage();
  auto* chart = new TChart(&Owner);
  Owner.SetBounds(0, 0, 620, 400);  // about the series page of the editor dialog
  auto* page = new TFormGraphSeries(&Owner);
  EmbedForm(page, &Owner);
  Owner.Show();
  const int pageComponents = page->ComponentCount();
  const int pageTabs = page->PageSeries->PageCount();
  TGraphSeriesTypes* types = GraphSeriesTypesList();
  std::set<TClass> seen;
  for (int i = 0; i < types->Count(); ++i) {
    TChartSeriesClass cls = types->GetSeriesType(i)->SeriesClass;
    if (!cls || !seen.insert(cls).second) continue;
    const std::string editor = ElementEditor(cls);
    if (editor.empty() || kFormsBuiltElsewhere.count(editor)) continue;
    SCOPED_TRACE(cls->ClassName());
    auto* series = static_cast<TChartSeries*>(cls->Create(&Owner));
    chart->AttachSeries(series);
    page->CBSeries->Items()->AddObject(cls->ClassName(), series);
    page->SetSeries(series);
    page->RefreshPage();
    ASSERT_NE(page->SeriesEditor, nullptr);
    EXPECT_TRUE(page->SeriesEditor->ClassType()->ClassName() == editor) << page->SeriesEditor->ClassName();
    EXPECT_EQ(EmbeddedObject(page->SeriesEditor), series);
    for (int k = 0; k < page->EditorFormCount(); ++k) {
      TForm* f = page->EditorForms(k);
      EXPECT_TRUE(f->Showing() || k > 0) << f->ClassName();
      const std::vector<std::string> english = UntranslatedCaptions(f);
      EXPECT_TRUE(english.empty()) << f->ClassName() << ": " << english.front();
      for (const std::string& fault : LayoutFaults(f)) ADD_FAILURE() << f->ClassName() << ": " << fault;
      for (const std::string& name : UnreachableByTab(f)) ADD_FAILURE() << f->ClassName() << ": Tab misses " << name;
    }
    if (editor == "TCustomSeriesEditor") {
      auto* border = dynamic_cast<TControl*>(page->SeriesEditor->FindComponent("BLineBorder"));
      ASSERT_NE(border, nullptr);
      EXPECT_NE(border->Caption(), "&Border...");  // the check above has something to find
      EXPECT_NE(page->SeriesEditor->FindNextControl(nullptr, true, true, false), nullptr);  // and so has Tab
    }
    // Shown again after the page was hidden: nothing is inserted twice.
    const int forms = page->EditorFormCount();
    page->SeriesEditor->Hide();
    page->SeriesEditor->Show();
    EXPECT_EQ(page->EditorFormCount(), forms);
    // Another choice frees the forms and their tabs.
    page->SetSeries(nullptr);
    page->RefreshPage();
    EXPECT_EQ(page->EditorFormCount(), 0);
    EXPECT_EQ(page->ComponentCount(), pageComponents);
    EXPECT_EQ(page->PageSeries->PageCount(), pageTabs);
    page->CBSeries->Items()->Clear();
    delete series;
  }
  SetEnglishLanguage();
}

TEST_F(EditorFormsRegistry, SwitchingTheSeriesTypeReplacesTheOpenForm) {
  auto* chart = new TChart(&Owner);
  auto* page = new TFormGraphSeries(&Owner);
  EmbedForm(page, &Owner);
  Owner.Show();
  TGraphSeriesTypes* types = GraphSeriesTypesList();
  TChartSeriesClass lineClass = nullptr, barClass = nullptr;
  for (int i = 0; i < types->Count(); ++i) {
    TChartSeriesClass c = types->GetSeriesType(i)->SeriesClass;
    if (c && std::string(c->ClassName()) == "TLineSeries") lineClass = c;
    if (c && std::string(c->ClassName()) == "TBarSeries") barClass = c;
  }
  ASSERT_TRUE(lineClass && barClass);
  auto* s = static_cast<TChartSeries*>(lineClass->Create(&Owner));
  chart->AttachSeries(s);
  page->CBSeries->Items()->AddObject("S", s);
  page->SetSeries(s);
  page->RefreshPage();
  ASSERT_STREQ(page->SeriesEditor->ClassName().c_str(), "TCustomSeriesEditor");
  // The type changes: the old series goes (and its form with it), a bar series takes its place.
  TChartSeries* bar = s;
  ConvertSeriesClass(bar, barClass);
  EXPECT_EQ(page->SeriesEditor, nullptr);
  EXPECT_EQ(page->EditorFormCount(), 0);
  page->CBSeries->Items()->Clear();
  page->CBSeries->Items()->AddObject("S", bar);
  page->SetSeries(bar);
  page->RefreshPage();
  ASSERT_NE(page->SeriesEditor, nullptr);
  EXPECT_STREQ(page->SeriesEditor->ClassName().c_str(), "TBarSeriesEditor");
  EXPECT_EQ(EmbeddedObject(page->SeriesEditor), bar);
  EXPECT_EQ(page->PageSeries->Pages(1)->Caption(), "Stack");
}
