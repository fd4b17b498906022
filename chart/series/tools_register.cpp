#include "chart/series/tools_register.h"

#include "chart/engine/registries.h"
#include "chart/series/tools_annotation.h"
#include "chart/series/tools_axis.h"
#include "chart/series/tools_colorline.h"
#include "chart/series/tools_cursor.h"
#include "chart/series/tools_drawline.h"
#include "chart/series/tools_editor.h"
#include "chart/series/tools_marks.h"
#include "chart/series/tools_misc.h"

namespace {
bool& Registered() {
  static bool registered = false;
  return registered;
}

#define VM_STANDARD_TOOLS                                                                                \
  TCursorTool::StaticClass(), TDragMarksTool::StaticClass(), TAxisArrowTool::StaticClass(),              \
      TDrawLineTool::StaticClass(), TNearestTool::StaticClass(), TColorBandTool::StaticClass(),          \
      TColorLineTool::StaticClass(), TRotateTool::StaticClass(), TChartImageTool::StaticClass(),         \
      TMarksTipTool::StaticClass(), TAnnotationTool::StaticClass(), TSeriesAnimationTool::StaticClass(), \
      TGridBandTool::StaticClass(), TAxisScrollTool::StaticClass(), TRectangleTool::StaticClass(),       \
      TClipSeriesTool::StaticClass()
}  // namespace

void RegisterStandardTools() {
  if (Registered()) return;
  Registered() = true;
  RegisterToolTypes({VM_STANDARD_TOOLS});
  // The series-tool page and the drag-point tool with its page.
  RegisterClass(TSeriesToolEditor::StaticClass());
  RegisterClass(TDragPointToolEdit::StaticClass());
  RegisterToolTypes({TDragPointTool::StaticClass()});
}

void UnregisterStandardTools() {
  if (!Registered()) return;
  Registered() = false;
  UnregisterToolTypes({VM_STANDARD_TOOLS});
  UnregisterToolTypes({TDragPointTool::StaticClass()});
  UnRegisterClass(TDragPointToolEdit::StaticClass());
  UnRegisterClass(TSeriesToolEditor::StaticClass());
}
