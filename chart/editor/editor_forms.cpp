#include "chart/editor/editor_forms.h"

#include "chart/editor/bar_editors.h"
#include "chart/editor/circle_editors.h"
#include "chart/editor/extra_function_editors.h"
#include "chart/editor/extra_series_tool_editors.h"
#include "chart/editor/extra_tool_editors.h"
#include "chart/editor/financial_editors.h"
#include "chart/editor/function_editors.h"
#include "chart/editor/grid3d_editors.h"
#include "chart/editor/line_editors.h"
#include "chart/editor/map_gauge_editors.h"
#include "chart/editor/other_series_editors.h"
#include "chart/editor/palette_editors.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/editor/tool_editors.h"

void RegisterEditorForms() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterShapeEditorClasses();
  RegisterLineEditorForms();
  RegisterBarEditorForms();
  RegisterCircleEditorForms();
  RegisterFinancialEditorForms();
  RegisterGrid3DEditorForms();
  RegisterPaletteEditorForms();
  RegisterMapGaugeEditorForms();
  RegisterOtherSeriesEditorForms();
  RegisterToolEditorForms();
  RegisterExtraToolEditorForms();
  RegisterFunctionEditorForms();
  RegisterExtraFunctionEditorForms();
  RegisterExtraSeriesToolEditorForms();
}
