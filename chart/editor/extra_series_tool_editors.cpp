#include "chart/editor/extra_series_tool_editors.h"

#include "chart/editor/tool_editors_kit.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/series_base.h"
#include "chart/extra/bubble_gantt_series.h"
#include "chart/extra/gantt_page_tools.h"
#include "chart/extra/grid_series.h"
#include "chart/extra/pen_dialog.h"
#include "chart/extra/surface_nearest_tool.h"
#include "chart/extra/surface_series.h"
#include "platform/stdctrls.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TGanttToolEditor)
VM_DEFINE_CLASS(TGridTransposeToolEdit)
VM_DEFINE_CLASS(TSurfaceNearest)

using namespace formkit;
using edkit::Make;
using edkit::TFlagGuard;

void RegisterExtraSeriesToolEditorForms() {
  for (TClass c :
       {TGanttToolEditor::StaticClass(), TGridTransposeToolEdit::StaticClass(), TSurfaceNearest::StaticClass()})
    if (!GetClass(c->ClassName())) RegisterClass(c);
}

namespace {
// The chart's series of class T, by title, into Combo; Selected chosen when among them.
template <class T>
void FillSeriesOfClass(TComboBox* Combo, TCustomAxisPanel* Chart, TChartSeries* Selected) {
  TStrings* items = Combo->Items();
  items->Clear();
  TCustomSeriesList list;
  for (int i = 0; Chart && i < Chart->CountSeries(); ++i)
    if (dynamic_cast<T*>(Chart->SeriesAt(i))) list.Add(Chart->SeriesAt(i));
  ListSeriesInStrings(items, &list, true);
  Combo->SetItemIndex(Selected ? items->IndexOfObject(Selected) : -1);
}

template <class T>
T* ChosenSeries(TComboBox* Combo) {
  const int i = Combo->ItemIndex();
  return i >= 0 ? dynamic_cast<T*>(Combo->Items()->Objects(i)) : nullptr;
}
}  // namespace

// =============================================================================================
// Gantt drag tool

TGanttToolEditor::TGanttToolEditor(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
  SetName("GanttToolEditor");
  SetClientWidth(300);
  SetClientHeight(172);
  Edit1 = Ed(this, this, "Edit1", 215, 38, 40);
  UpDown1 = UD(this, this, "UpDown1", Edit1, 0, 100);
  Lbl(this, this, "Label2", "&Resize pixels tolerance:", 8, 38, Edit1, 205);
  WhenTyped(Edit1, UpDown1, [this](int) { Edit1Change(Edit1); });
  CBAllowDrag = Chk(this, this, "CBAllowDrag", "Allow &Drag", 8, 66, 210);
  CBCursorDrag = Cmb(this, this, "CBCursorDrag", 84, 88, 150, {});
  Lbl(this, this, "Label3", "&Cursor:", 24, 88, CBCursorDrag, 58);
  CBAllowResize = Chk(this, this, "CBAllowResize", "Allow &Resize", 8, 118, 210);
  CBCursorResize = Cmb(this, this, "CBCursorResize", 84, 140, 150, {});
  Lbl(this, this, "Label4", "C&ursor:", 24, 140, CBCursorResize, 58);
  CBAllowDrag->OnClick = [this](TObject* s) { CBAllowDragClick(s); };
  CBAllowResize->OnClick = [this](TObject* s) { CBAllowResizeClick(s); };
  CBCursorDrag->OnChange = [this](TObject* s) { CBCursorDragChange(s); };
  CBCursorResize->OnChange = [this](TObject* s) { CBCursorResizeChange(s); };
}

TGanttTool* TGanttToolEditor::Gantt() const { return dynamic_cast<TGanttTool*>(FTool); }

void TGanttToolEditor::FormShow(TObject* Sender) {
  FShown = false;
  TSeriesToolEditor::FormShow(Sender);
  // Only Gantt series can be dragged: the others leave the list ("(none)" stays first).
  TStrings* items = CBSeries->Items();
  TObject* selected = CBSeries->ItemIndex() >= 0 ? items->Objects(CBSeries->ItemIndex()) : nullptr;
  for (int i = items->Count() - 1; i >= 1; --i)
    if (!dynamic_cast<TGanttSeries*>(items->Objects(i))) items->Delete(i);
  CBSeries->SetItemIndex(std::max(0, items->IndexOfObject(selected)));
  TGanttTool* t = Gantt();
  if (!t) return;
  UpDown1->SetPosition(t->MinPixels());
  Edit1->SetText(IntToStr(t->MinPixels()));
  CBAllowDrag->SetChecked(t->AllowDrag());
  CBAllowResize->SetChecked(t->AllowResize());
  FillCursorCombo(CBCursorDrag, t->CursorDrag());
  FillCursorCombo(CBCursorResize, t->CursorResize());
  FShown = true;
}

void TGanttToolEditor::Edit1Change(TObject*) {
  if (FShown && Gantt()) Gantt()->SetMinPixels(UpDown1->Position());
}

void TGanttToolEditor::CBAllowDragClick(TObject*) {
  if (FShown && Gantt()) Gantt()->SetAllowDrag(CBAllowDrag->Checked());
}

void TGanttToolEditor::CBAllowResizeClick(TObject*) {
  if (FShown && Gantt()) Gantt()->SetAllowResize(CBAllowResize->Checked());
}

void TGanttToolEditor::CBCursorDragChange(TObject*) {
  if (FShown && Gantt()) Gantt()->SetCursorDrag(CursorFromName(Gantt()->CursorDrag(), CBCursorDrag->Text()));
}

void TGanttToolEditor::CBCursorResizeChange(TObject*) {
  if (FShown && Gantt()) Gantt()->SetCursorResize(CursorFromName(Gantt()->CursorResize(), CBCursorResize->Text()));
}

// =============================================================================================
// Grid transpose

TGridTransposeToolEdit::TGridTransposeToolEdit(TComponent* AOwner) : TForm(AOwner) {
  SetName("GridTransposeToolEdit");
  SetClientWidth(300);
  SetClientHeight(96);
  SetAlign(alClient);
  CBSeries = Cmb(this, this, "CBSeries", 8, 28, 200, {});
  Lbl(this, this, "Label1", "&Grid 3D Series:", 8, 8, CBSeries, 280);
  BTranspose = Btn(this, this, "BTranspose", "&Transpose now", 8, 60, 140);
  CBSeries->OnChange = [this](TObject* s) { CBSeriesChange(s); };
  BTranspose->OnClick = [this](TObject* s) { BTransposeClick(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
}

void TGridTransposeToolEdit::FormShow(TObject*) {
  FTool = dynamic_cast<TGridTransposeTool*>(reinterpret_cast<TObject*>(Tag()));
  FillSeriesOfClass<TCustom3DGridSeries>(CBSeries, FTool ? FTool->ParentChart() : nullptr,
                                         FTool ? FTool->Series() : nullptr);
  BTranspose->SetEnabled(CBSeries->ItemIndex() >= 0);
}

void TGridTransposeToolEdit::CBSeriesChange(TObject*) {
  if (!FTool) return;
  auto* s = ChosenSeries<TCustom3DGridSeries>(CBSeries);
  FTool->SetSeriesComponent(s);
  BTranspose->SetEnabled(s != nullptr);
}

void TGridTransposeToolEdit::BTransposeClick(TObject*) {
  if (FTool) FTool->TransposeGrid();
}

// =============================================================================================
// Surface nearest

TSurfaceNearest::TSurfaceNearest(TComponent* AOwner) : TForm(AOwner) {
  SetName("SurfaceNearest");
  SetClientWidth(300);
  SetClientHeight(150);
  SetAlign(alClient);
  CBSeries = Cmb(this, this, "CBSeries", 92, 8, 170, {});
  Label1 = Lbl(this, this, "Label1", "Surface", 8, 8, CBSeries, 82);
  CBSeries->OnChange = [this](TObject* s) { CBSeriesChange(s); };
  TButtonColor** buttons[] = {&ButtonColor1, &ButtonColor2, &ButtonColor3};
  TCheckBox** defaults[] = {&CheckBox1, &CheckBox2, &CheckBox3};
  TCheckBox** nones[] = {&CheckBox4, &CheckBox5, &CheckBox6};
  const char* captions[] = {"&Cell...", "&Row...", "&Column..."};
  for (int i = 0; i < 3; ++i) {
    const int y = 42 + 32 * i;
    const std::string n = std::to_string(i + 1);
    *buttons[i] = Btn<TButtonColor>(this, this, ("ButtonColor" + n).c_str(), captions[i], 8, y, 112);
    *defaults[i] = Chk(this, this, ("CheckBox" + n).c_str(), "Default", 126, y + 3, 106);
    *nones[i] = Chk(this, this, ("CheckBox" + std::to_string(i + 4)).c_str(), "None", 234, y + 3, 54);
    (*buttons[i])->OnClick = [this, i](TObject*) { ButtonColorClick(i); };
    (*defaults[i])->OnClick = [this, i](TObject*) { BoxClick(i, clAutoColor); };
    (*nones[i])->OnClick = [this, i](TObject*) { BoxClick(i, clNone); };
  }
  OnShow = [this](TObject* s) { FormShow(s); };
}

void TSurfaceNearest::FormShow(TObject*) {
  TFlagGuard g(FLoading);
  FTool = dynamic_cast<TSurfaceNearestTool*>(reinterpret_cast<TObject*>(Tag()));
  TCustomAxisPanel* chart = FTool ? FTool->ParentChart() : nullptr;
  FillSeriesOfClass<TSurfaceSeries>(CBSeries, chart, FTool ? FTool->Series() : nullptr);
  CBSeries->SetEnabled(chart && chart->CountSeries() > 0);
  ButtonColor1->LinkProperty(FTool, FTool ? "CellColor" : "");
  ButtonColor2->LinkProperty(FTool, FTool ? "RowColor" : "");
  ButtonColor3->LinkProperty(FTool, FTool ? "ColumnColor" : "");
  SyncBoxes();
}

void TSurfaceNearest::SyncBoxes() {
  if (!FTool) return;
  TFlagGuard g(FLoading);
  const TColor colors[] = {FTool->CellColor(), FTool->RowColor(), FTool->ColumnColor()};
  TCheckBox* defaults[] = {CheckBox1, CheckBox2, CheckBox3};
  TCheckBox* nones[] = {CheckBox4, CheckBox5, CheckBox6};
  for (int i = 0; i < 3; ++i) {
    defaults[i]->SetChecked(colors[i] == clAutoColor);
    nones[i]->SetChecked(colors[i] == clNone);
  }
}

void TSurfaceNearest::CBSeriesChange(TObject*) {
  if (FTool && !FLoading) FTool->SetSeries(ChosenSeries<TSurfaceSeries>(CBSeries));
}

void TSurfaceNearest::SetToolColor(int Which, TColor Value) {
  if (Which == 0) FTool->SetCellColor(Value);
  if (Which == 1) FTool->SetRowColor(Value);
  if (Which == 2) FTool->SetColumnColor(Value);
}

void TSurfaceNearest::ButtonColorClick(int) {
  // The button has stored the chosen colour already; the boxes follow it (an own colour is
  // neither the default nor none).
  if (FTool) SyncBoxes();
}

void TSurfaceNearest::BoxClick(int Which, TColor Value) {
  if (!FTool || FLoading) return;
  // A click sets the colour whether the box became ticked or unticked.
  SetToolColor(Which, Value);
  TButtonColor* buttons[] = {ButtonColor1, ButtonColor2, ButtonColor3};
  buttons[Which]->Repaint();
  SyncBoxes();
}
