#include "app/views/chart_editing.h"

#include "chart/editor/editor_dialog.h"
#include "chart/engine/chart.h"
#include "platform/menus.h"

void EditViewChart(TComponent* Owner, TChartEditor*& Editor, TCustomChart* Chart) {
  if (!Chart) return;
  if (!Editor) Editor = new TChartEditor(Owner);
  Editor->SetChart(Chart);
  Editor->Execute();
  if (Editor->Chart()) Editor->Chart()->Invalidate();
}

TPopupMenu* ChartEditorPopup(TComponent* Owner, TChartEditor*& Editor, TCustomChart* Chart,
                             const std::string& Caption) {
  // The menu goes with its chart (views that rebuild their charts leave nothing behind).
  auto* menu = new TPopupMenu(Chart);
  auto* item = new TMenuItem(Chart);
  item->SetCaption(Caption);
  item->SetEnabled(Chart != nullptr);
  TChartEditor** editor = &Editor;
  item->OnClick = [Owner, editor, Chart](TObject*) { EditViewChart(Owner, *editor, Chart); };
  menu->Items()->Add(item);
  SetControlPopupMenu(Chart, menu);
  return menu;
}
