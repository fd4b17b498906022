#include "chart/editor/editor_forms.h"

#include "chart/editor/line_editors.h"
#include "chart/editor/shape_symbol_pointer.h"

void RegisterEditorForms() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterShapeEditorClasses();
  RegisterLineEditorForms();
}
