// The pop-up menus of the data view's charts.
#include "app/views/data_view.h"
#include "chart/engine/chart.h"
#include "platform/menus.h"

void TGrViewNf1::CreateChartMenus() {
  for (int tag : {1, 2}) {
    auto* menu = new TPopupMenu(this);
    menu->SetName(tag == 1 ? "PopupMenu1" : "PopupMenu2");
    // The chart editor is not part of the program yet: its entry is shown, disabled.
    auto* editor = new TMenuItem(this);
    editor->SetCaption("ChartEditor");
    editor->SetTag(tag);
    editor->SetEnabled(false);
    menu->Items()->Add(editor);
    auto* properties = new TMenuItem(this);
    properties->SetCaption("Properties");
    properties->SetTag(tag);
    properties->OnClick = [this, tag](TObject*) { mmPropertiesClick(tag); };
    menu->Items()->Add(properties);
    SetControlPopupMenu(ChartOfTag(tag), menu);
    (tag == 1 ? PopupMenu1 : PopupMenu2) = menu;
  }
}
