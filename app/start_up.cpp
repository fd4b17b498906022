#include "app/start_up.h"

#include <cstdio>
#include <string>

#include "app/about.h"
#include "app/journal.h"
#include "app/main_form.h"
#include "app/property_window.h"
#include "app/site_session.h"
#include "app/stored_edit_dialog.h"
#include "app/views/errpoint_series.h"
#include "chart/editor/gallery.h"
#include "chart/editor/language.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/series_base.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/registries.h"
#include "chart/extra/chart_file.h"
#include "chart/extra/extra_series.h"
#include "chart/series/functions_average.h"
#include "chart/series/functions_basic.h"
#include "chart/series/functions_financial.h"
#include "chart/series/functions_statistical.h"
#include "chart/series/functions_trend.h"
#include "chart/series/report_chart.h"
#include "chart/series/standard_series.h"
#include "chart/series/tools_register.h"
#include "inspector/vm_inspector.h"
#include "mtdata/mt_types.h"
#include "platform/forms.h"
#include "platform/localeinfo.h"
#include "treelist/db_inspector_rows.h"
#include "treelist/db_treeview.h"
#include "treelist/tl_control.h"

namespace {

// What the real-window tests read in the window map. Of a chart: its window and name, the left
// axis' range and the sum of the values its active series show, so that a changed limit or a
// recomputed curve can be seen from outside.
std::string WindowMapNote(TControl* Control) {
  // A property inspector: its rows' captions, the middle of each row and the divider, in the
  // inspector's own pixels, so that a test can click into a row's value cell.
  if (auto* insp = dynamic_cast<TCustomvmInspectorControl*>(Control)) {
    std::string rows = "divider=" + std::to_string(insp->DividerPos()) + " rows=";
    for (int i = 0; i < insp->GetRowCount(); ++i) {
      TvmInspectorRow* row = insp->Rows(i);
      const TRect r = insp->GetNodeRect(row->Node());
      rows += (i ? "," : "") + row->GetCaption() + ":" + std::to_string((r.Top + r.Bottom) / 2);
    }
    return rows;
  }
  auto* chart = dynamic_cast<TChart*>(Control);
  if (!chart) return {};
  const TControl* form = chart;
  while (form->Parent() && !dynamic_cast<const TForm*>(form)) form = form->Parent();
  double sum = 0;
  int points = 0;
  for (int i = 0; i < chart->SeriesList()->Count(); ++i) {
    TChartSeries* s = chart->SeriesList()->Items(i);
    if (!s->Active()) continue;
    for (int k = 0; k < s->YValues()->Count(); ++k, ++points) sum += s->YValues()->Value(k);
  }
  char text[160];
  std::snprintf(text, sizeof text, "left=%.6g:%.6g points=%d sum=%.9g", chart->LeftAxis()->Minimum(),
                chart->LeftAxis()->Maximum(), points, sum);
  return form->Name() + "." + (chart->Name().empty() ? "-" : chart->Name()) + " " + text;
}

}  // namespace

void StartModules() {
  // The chart modules fill their registries first, each after the modules it uses.
  InitChartModule();
  InitStandardSeries();
  RegisterStandardTools();
  RegisterBasicFunctions();
  RegisterAverageFunctions();
  RegisterStatisticalFunctions();
  RegisterTrendFunctions();
  RegisterFinancialFunctions();
  InitExtraSeries();
  InitGallery();        // the series list boxes reach the gallery through its hooks
  InstallTranslator();  // every window translates its captions through the language module
  InitChartOutput();
  RegisterReportChartClasses();   // charts in report bands stream by class name
  RegisterMtChartTypes();         // the program's own curve series and functions
  RegisterTreeListClasses();      // stored forms with tree lists read back by class name
  RegisterInspectorRowClasses();  // forms with inspectors read back with their rows
  RegisterDBInspectorRows();      // field-bound rows by class name and the field types' default rows
  RegisterDBTreeViewClasses();
  InitCommonVars();
  FollowSystemLocale();  // the in-place editors take the desktop's date, time and currency settings
  SetDefaultPalette();
  InstallStartEditDialog();
  InstallVersionValues();
  SetWindowMapNote(WindowMapNote);
}

TMainForm1* StartProgram(const std::vector<std::string>& Files) {
  StartModules();
  Application->SetTitle("Varomark");
  // The session first: the main window hosts its views and binds its actions to it.
  new TSiteSession();
  TMainForm1* main = nullptr;
  Application->CreateForm(main);
  main->CommandLineFiles = Files;
  const int32_t language = ReadLanguage();
  ApplyLanguage(true);
  if (language > 0) TranslateControl(main);
  CreatePropertyWindow();
  TranslateControl(ObjInsp1);
  return main;
}

void ApplyLanguage(bool Always) {
  if (ReadLanguage() == LanguageRussian)
    SetRussianLanguage();
  else if (Always)
    SetEnglishLanguage();
}

void EndProgram() {
  if (MainForm1) {
    // The child windows belong to the application; they go before their frame.
    while (MainForm1->MDIChildCount() > 0) delete MainForm1->MDIChildren(0);
    Application->SetMainForm(nullptr);
  }
  delete MainForm1;
  delete ObjInsp1;
  delete SiteSession;
  Application->ProcessMessages();
  EndModules();
}

void EndModules() {
  SetWindowMapNote(nullptr);
  ResetDefaultRowClasses();
  UnregisterInspectorRowClasses();
  UnregisterTreeListClasses();
  UnregisterMtChartTypes();
  DoneChartOutput();
  DoneGallery();
  DoneExtraSeries();
  UnregisterFinancialFunctions();
  UnregisterTrendFunctions();
  UnregisterStatisticalFunctions();
  UnregisterAverageFunctions();
  UnregisterBasicFunctions();
  UnregisterStandardTools();
  DoneStandardSeries();
  DoneChartModule();
}
