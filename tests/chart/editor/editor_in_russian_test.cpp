// The chart editor, its pages and sub-dialogs, the export and print-preview dialogs in Russian:
// every visible caption, item and hint must come out of the dictionary.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/chart_list_box.h"
#include "chart/editor/chart_pages.h"
#include "chart/editor/editor_dialog.h"
#include "chart/editor/format_axis_dialogs.h"
#include "chart/editor/gallery.h"
#include "chart/editor/gradient_editor.h"
#include "chart/editor/language.h"
#include "chart/editor/series_page.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/legend.h"
#include "chart/engine/walls_titles.h"
#include "chart/extra/export_dialog.h"
#include "chart/extra/pen_dialog.h"
#include "chart/extra/preview_dialog.h"
#include "chart/series/bar_series.h"
#include "chart/series/functions_statistical.h"
#include "chart/series/line_series.h"
#include "chart/series/pie_series.h"
#include "chart/series/tools_register.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"
#include "platform/strings.h"
#include "platform/testkit/temp_folder.h"

namespace {

// Names, not words: file formats, units, font names and the like keep their spelling.
const std::set<std::string> kNames = {"Arial", "Courier New", "Bitmap", "Metafile", "JPEG", "GIF",  "PNG",
                                      "PCX",   "SVG",         "PDF",    "XML",      "HTML", "Excel"};

// A date or angle pattern ("dd.mm.yyyy", "ddd° mm' ss") is a format, not a word.
bool IsPattern(const std::string& Text) {
  for (char c : Text)
    if (((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && std::string("dmyhnszeg").find(c) == std::string::npos)
      return false;
  return true;
}

// True when the dictionary itself gives Text (a value kept in Latin letters, as "COUNT=Count").
bool IsDictionaryValue(std::string Text) {
  std::erase(Text, '&');
  if (!Text.empty() && Text.back() == ':') Text.pop_back();
  TStrings* d = RussianDictionary();
  for (int i = 0; i < d->Count(); ++i) {
    const std::string line = d->Strings(i);
    const auto p = line.find('=');
    if (p != std::string::npos && line.compare(p + 1, std::string::npos, Text) == 0) return true;
  }
  return false;
}

// A text still in English: a word of three Latin letters or more, no Cyrillic letter, and not a
// value the dictionary gives.
bool LeftInEnglish(const std::string& Text) {
  if (kNames.count(Text) || IsPattern(Text) || IsDictionaryValue(Text)) return false;
  for (char c : Text)
    if (static_cast<unsigned char>(c) == 0xD0 || static_cast<unsigned char>(c) == 0xD1) return false;
  int run = 0, longest = 0;
  for (char c : Text) {
    run = ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest >= 3;
}

// The texts a user can see in a window: captions, tabs, items and hints of its controls at every
// depth (embedded page forms included) and the captions of its menus.
void Collect(TControl* C, const std::string& Where, std::set<std::string>& Left) {
  auto note = [&](const std::string& s) {
    if (LeftInEnglish(s)) Left.insert(Where + ": " + s);
  };
  if (!C->Visible() && !dynamic_cast<TTabSheet*>(C)) return;
  if (dynamic_cast<TCustomEdit*>(C) || dynamic_cast<TChartListBox*>(C)) return;  // data
  if (auto* combo = dynamic_cast<TComboBox*>(C)) {
    for (int k = 0; k < combo->Items()->Count(); ++k) note(combo->Items()->Strings(k));
  } else if (auto* list = dynamic_cast<TListBox*>(C)) {
    for (int k = 0; k < list->Items()->Count(); ++k) note(list->Items()->Strings(k));
  } else if (auto* radio = dynamic_cast<TRadioGroup*>(C)) {
    note(radio->Caption());
    for (int k = 0; k < radio->Items()->Count(); ++k) note(radio->Items()->Strings(k));
  } else if (!dynamic_cast<TCustomChart*>(C)) {
    note(C->Caption());
  }
  if (!C->Hint().empty()) note(C->Hint());
  if (auto* form = dynamic_cast<TForm*>(C))
    for (int i = 0; i < form->ComponentCount(); ++i)
      if (auto* m = dynamic_cast<TMenuItem*>(form->Components(i)); m && m->Visible()) note(m->Caption());
  if (auto* w = dynamic_cast<TWinControl*>(C))
    for (int i = 0; i < w->ControlCount(); ++i) Collect(w->Controls(i), Where, Left);
}

struct EditorInRussian : ::testing::Test {
  TTempProfile Profile;
  TForm Owner{nullptr};
  TChart* Chart = nullptr;
  std::set<std::string> Left;
  static void SetUpTestSuite() {
    InitGallery();
    RegisterStandardTools();
    RegisterStatisticalFunctions();
    RegisterEditorDialogClasses();
    RegisterShapeEditorClasses();
  }
  void SetUp() override {
    InstallTranslator();
    SetRussianLanguage();
    Owner.SetBounds(0, 0, 600, 400);
    Chart = new TChart(&Owner);
    Chart->SetParent(&Owner);
    Chart->SetBounds(0, 0, 500, 350);
    auto* line = new TLineSeries(&Owner);
    auto* bar = new TBarSeries(&Owner);
    auto* pie = new TPieSeries(&Owner);
    for (TChartSeries* s : std::initializer_list<TChartSeries*>{line, bar, pie}) {
      s->SetTitle("№" + std::to_string(Chart->CountSeries() + 1));
      for (int i = 0; i < 5; ++i) s->AddXY(i + 1, (i + 1) * 10);
      Chart->AttachSeries(s);
    }
  }
  void TearDown() override {
    EditorDialogHook = nullptr;
    SetEnglishLanguage();
  }
  // A modal dialog reached through Open: its texts are collected as it shows, then it is cancelled.
  void Modal(const std::string& Where, const std::function<void()>& Open) {
    EditorDialogHook = [&](TForm* F) {
      Collect(F, Where, Left);
      F->SetModalResult(mrCancel);
    };
    Open();
    EditorDialogHook = nullptr;
  }
  std::string Report() const {
    std::string list;
    for (const std::string& s : Left) list += s + "\n";
    return std::to_string(Left.size()) + " texts left in English:\n" + list;
  }
};

}  // namespace

TEST_F(EditorInRussian, EveryPageOfTheEditorDialogReadsRussian) {
  TChartEditor editor(&Owner);
  editor.SetChart(Chart);
  editor.RememberPosition = false;
  bool shown = false;
  EditorDialogHook = [&](TForm* F) {
    auto* f = dynamic_cast<TChartEditForm*>(F);
    if (!f) return;
    shown = true;
    for (int i = 0; i < f->SubPage->PageCount(); ++i) {
      f->MainPage->SetActivePage(f->TabChart);
      f->SubPage->SetActivePageIndex(i);
      f->SubPageChange();
    }
    for (int i = 0; i < f->MainPage->PageCount(); ++i) {
      f->MainPage->SetActivePageIndex(i);
      f->MainPageChange();
    }
    // Each kind of series brings its own editor into the series page.
    for (int s = 0; s < Chart->CountSeries(); ++s) {
      f->MainPage->SetActivePage(f->TabSeries);
      f->LBSeries->SelectSeries(Chart->SeriesAt(s));
      f->MainPageChange();
      ASSERT_NE(f->SeriesPage, nullptr);
      for (int p = 0; p < f->SeriesPage->PageSeries->PageCount(); ++p) {
        f->SeriesPage->PageSeries->SetActivePageIndex(p);
        Collect(f, "editor", Left);
      }
    }
    Collect(f, "editor", Left);
    f->BClose->Click();
  };
  editor.Execute();
  ASSERT_TRUE(shown);
  EXPECT_TRUE(Left.empty()) << Report();
}

TEST_F(EditorInRussian, SubDialogsExportAndPreviewReadRussian) {
  Modal("pen", [&] { ShowPenDialog(&Owner, Chart->Legend()->Pen()); });
  Modal("brush", [&] { ShowBrushDialog(&Owner, Chart->Legend()->Brush()); });
  Modal("font", [&] { ShowFontDialog(&Owner, Chart->Legend()->Font()); });
  Modal("shadow", [&] { ShowShadowDialog(&Owner, Chart->Legend()->Shadow()); });
  Modal("gradient", [&] { ShowGradientDialog(&Owner, Chart->Legend()->Gradient()); });
  Modal("gallery", [&] {
    int sub = 0;
    CreateSeriesFromGallery(&Owner, nullptr, Chart, sub, false, true);
  });
  std::string result;
  Modal("format", [&] { EditValueFormat(&Owner, "0.00", result, true); });
  {
    TGraphExportForm f(nullptr);
    f.Panel = Chart;
    f.Show();
    for (int i = 0; i < f.PageControl1->PageCount(); ++i) f.PageControl1->SetActivePageIndex(i);
    Collect(&f, "export", Left);
  }
  {
    TChartPreview d(nullptr);
    d.GraphPreviewPanel1->SetPanel(Chart);
    d.Show();
    Collect(&d, "preview", Left);
  }
  EXPECT_TRUE(Left.empty()) << Report();
}
