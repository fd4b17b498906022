#include "chart/series/tools_editor.h"

#include "chart/engine/chart_utils.h"
#include "chart/engine/engine_texts.h"
#include "chart/series/tools_misc.h"

void FillCursorNames(TStrings* Items) {
  Items->Clear();
  for (int c = crDefault; c >= crSizeAll; --c) {
    std::string name;
    if (CursorToIdent(c, name)) Items->Add(name.rfind("cr", 0) == 0 ? name.substr(2) : name);
  }
  Items->Add("GraphHand");
}

namespace {
// The cursor of a name written without "cr"; Default when the name is unknown.
TCursor CursorOfName(TCursor Default, const std::string& Name) {
  if (Name == "GraphHand") return static_cast<TCursor>(ChartHandCursor);
  int64_t v = 0;
  if (IdentToCursor("cr" + Name, v)) return static_cast<TCursor>(v);
  return Default;
}

std::string NameOfCursor(TCursor Cursor) {
  if (Cursor == ChartHandCursor) return "GraphHand";
  std::string name;
  if (CursorToIdent(Cursor, name)) return name.rfind("cr", 0) == 0 ? name.substr(2) : name;
  return std::string();
}
}  // namespace

// =============================================================================================

VM_DEFINE_CLASS(TSeriesToolEditor)

TSeriesToolEditor::TSeriesToolEditor(TComponent* AOwner) : TForm(AOwner) {
  SetName("SeriesToolEditor");
  SetBorderIcons({biSystemMenu});
  SetClientWidth(233);
  SetClientHeight(172);
  CBSeries = new TComboFlat(this);
  CBSeries->SetName("CBSeries");
  CBSeries->SetParent(this);
  CBSeries->SetBounds(78, 8, 145, CBSeries->Height());
  CBSeries->SetStyle(csDropDownList);
  CBSeries->OnChange = [this](TObject* s) { CBSeriesChange(s); };
  Label1 = new TLabel(this);
  Label1->SetName("Label1");
  Label1->SetParent(this);
  Label1->SetBounds(8, 12, 66, 13);
  Label1->SetCaption("&Series:");
  Label1->SetFocusControl(CBSeries);
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  FormCreate(this);
}

void TSeriesToolEditor::FormCreate(TObject*) { SetAlign(alClient); }

void TSeriesToolEditor::FillSeriesCombo(TComboBox* Combo, TChartSeries* Series, TCustomAxisPanel* Chart) {
  TStrings* items = Combo->Items();
  items->Clear();
  if (Chart) {
    TCustomSeriesList list;
    for (int i = 0; i < Chart->CountSeries(); ++i) list.Add(Chart->SeriesAt(i));
    ListSeriesInStrings(items, &list, true);
  }
  Combo->SetEnabled(Chart && Chart->CountSeries() > 0);
  items->InsertObject(0, MsgEdNone, nullptr);
  int index = 0;
  for (int i = 1; i < items->Count(); ++i)
    if (items->Objects(i) == Series) index = i;
  Combo->SetItemIndex(Series ? index : 0);
}

void TSeriesToolEditor::FormShow(TObject*) {
  FTool = reinterpret_cast<TGraphCustomToolSeries*>(Tag());
  if (FTool) FillSeriesCombo(CBSeries, FTool->Series(), FTool->ParentChart());
}

void TSeriesToolEditor::CBSeriesChange(TObject*) {
  if (!FTool) return;
  const int i = CBSeries->ItemIndex();
  FTool->SetSeries(i > 0 ? dynamic_cast<TChartSeries*>(CBSeries->Items()->Objects(i)) : nullptr);
}

// =============================================================================================

VM_DEFINE_CLASS(TDragPointToolEdit)

TDragPointToolEdit::TDragPointToolEdit(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
  SetName("DragPointToolEdit");
  RGStyle = NewPageRadioGroup(this, "RGStyle", TRect(48, 43, 48 + 145, 43 + 80), "Drag Style:", {"&X", "&Y", "&Both"},
                              2, [this](TObject* s) { RGStyleClick(s); });
  CBCursor = new TComboFlat(this);
  CBCursor->SetName("CBCursor");
  CBCursor->SetParent(this);
  CBCursor->SetBounds(78, 128, 145, CBCursor->Height());
  CBCursor->SetStyle(csDropDownList);
  CBCursor->OnChange = [this](TObject* s) { CBCursorChange(s); };
  Label2 = new TLabel(this);
  Label2->SetName("Label2");
  Label2->SetParent(this);
  Label2->SetAlignment(taRightJustify);
  Label2->SetBounds(0, 133, 40, 13);
  Label2->SetCaption("&Cursor:");
  Label2->SetFocusControl(CBCursor);
}

void TDragPointToolEdit::FormShow(TObject* Sender) {
  TSeriesToolEditor::FormShow(Sender);
  CBCursor->SetEnabled(false);
  auto* tool = dynamic_cast<TDragPointTool*>(FTool);
  if (!tool) return;
  SetRadioGroupIndex(RGStyle, tool->DragStyle() == dsX ? 0 : tool->DragStyle() == dsY ? 1 : 2);
  TCursor cursor = crDefault;
  if (tool->Series()) {
    CBCursor->SetEnabled(true);
    cursor = tool->Series()->Cursor();
  }
  FillCursorNames(CBCursor->Items());
  CBCursor->SetItemIndex(CBCursor->Items()->IndexOf(NameOfCursor(cursor)));
}

void TDragPointToolEdit::CBSeriesChange(TObject* Sender) {
  TSeriesToolEditor::CBSeriesChange(Sender);
  CBCursor->SetEnabled(FTool && FTool->Series());
}

void TDragPointToolEdit::RGStyleClick(TObject*) {
  auto* tool = dynamic_cast<TDragPointTool*>(FTool);
  if (!tool) return;
  const int i = RadioGroupIndex(RGStyle);
  tool->SetDragStyle(i == 0 ? dsX : i == 1 ? dsY : dsBoth);
}

void TDragPointToolEdit::CBCursorChange(TObject*) {
  if (!FTool || !FTool->Series()) return;
  TChartSeries* s = FTool->Series();
  const int i = CBCursor->ItemIndex();
  if (i < 0) return;
  s->SetCursor(CursorOfName(s->Cursor(), CBCursor->Items()->Strings(i)));
}
