#include "app/start_up.h"

#include "app/about.h"
#include "app/journal.h"
#include "app/main_form.h"
#include "app/property_window.h"
#include "app/site_session.h"
#include "app/stored_edit_dialog.h"
#include "app/views/errpoint_series.h"
#include "chart/editor/gallery.h"
#include "chart/engine/chart_utils.h"
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
  InitGallery();  // the series list boxes reach the gallery through its hooks
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
}

TMainForm1* StartProgram(const std::vector<std::string>& Files) {
  StartModules();
  Application->SetTitle("Varomark");
  // The session first: the main window hosts its views and binds its actions to it.
  new TSiteSession();
  TMainForm1* main = nullptr;
  Application->CreateForm(main);
  main->CommandLineFiles = Files;
  CreatePropertyWindow();
  return main;
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
