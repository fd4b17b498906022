// The pop-up menus of the editing window and the plot-type entries.
#include "app/views/edit_window.h"

#include "chart/engine/chart.h"
#include "mtdata/plot_tables.h"
#include "platform/menus.h"

void TVaro1::CreateMenus() {
  auto item = [this](TPopupMenu* Menu, const std::string& Caption, int Tag, TNotifyEvent OnClick) {
    auto* m = new TMenuItem(this);
    m->SetCaption(Caption);
    m->SetTag(Tag);
    m->OnClick = std::move(OnClick);
    Menu->Items()->Add(m);
    return m;
  };
  auto menu = [this](const char* Name, TChart* C) {
    auto* m = new TPopupMenu(this);
    m->SetName(Name);
    SetControlPopupMenu(C, m);
    return m;
  };
  PopupMenu1 = menu("PopupMenu1", Chart1);
  PopupMenu2 = menu("PopupMenu2", Chart2);
  PopupMenu3 = menu("PopupMenu3", Chart3);
  PopupMenu4 = menu("PopupMenu4", Chart4);
  const std::pair<const char*, int> types[] = {
      {"Impedance", 0},  {"Appar.Resistivity", 1},     {"Tipper", 2},
      {"Ind Vector", 6}, {"Ind Vector Components", 7}, {"E or H Parameter", 9}};
  for (size_t i = 0; i < PlotTypeItems.size(); ++i) {
    PlotTypeItems[i] = item(PopupMenu1, types[i].first, types[i].second, [this](TObject* s) { Impedance1Click(s); });
    PlotTypeItems[i]->SetRadioItem(true);
  }
  PlotTypeItems[1]->SetChecked(true);
  item(PopupMenu1, "-", 0, nullptr);
  auto editor = [&](TPopupMenu* Menu, int Tag) {
    item(Menu, "ChartEditor", Tag, [this](TObject* s) { mmChartEditorClick(s); });
  };
  auto properties = [&](TPopupMenu* Menu, int Tag) {
    item(Menu, "Properties", Tag, [this](TObject* s) { pmPropertiesClick(s); });
  };
  editor(PopupMenu1, 1);
  properties(PopupMenu1, 0);
  editor(PopupMenu3, 3);
  properties(PopupMenu3, 2);
  editor(PopupMenu2, 2);
  editor(PopupMenu4, 4);
}

void TVaro1::EnablePlotType(int Type, bool Enabled) {
  for (TMenuItem* m : PlotTypeItems)
    if (m->Tag() == Type) m->SetEnabled(Enabled);
}

void TVaro1::Impedance1Click(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item) return;
  for (TMenuItem* m : PlotTypeItems) m->SetChecked(false);
  item->SetChecked(true);
  PlotType = static_cast<int>(item->Tag());
  FillPropRows(PlotType, 1, Chart1);
  ApplyPlotSettings(PropTable.Panel);
  FillPropRows(PlotType, 2, Chart3);
  ApplyPlotSettings(PropTable.Panel);
  BuildCharts();
  Chart1Click(Sender);
}

void TVaro1::ChoosePlotType(int Type) {
  for (TMenuItem* m : PlotTypeItems)
    if (m->Tag() == Type && m->Enabled()) Impedance1Click(m);
}
