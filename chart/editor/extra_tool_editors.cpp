#include "chart/editor/extra_tool_editors.h"

#include <memory>

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/chart_pages.h"
#include "chart/editor/gradient_editor.h"
#include "chart/editor/page_kit.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/engine_texts.h"
#include "chart/extra/pen_dialog.h"
#include "chart/series/pie_series.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

using edkit::Make;

namespace {

TLabel* LabelFor(TForm* Form, const char* Name, const char* Text, int X, int Y, TWinControl* Focus) {
  auto* l = Make<TLabel>(Form, Form, Name, Text, X, Y + 3, 70, 16);
  l->SetFocusControl(Focus);
  return l;
}

// An edit with its up-down, named as the page names them.
void NumberEdit(TForm* Form, TWinControl* Parent, const char* EditName, const char* UpDownName, int X, int Y, int Min,
                int Max, int Step, TEdit*& Edit, TUpDown*& UpDown, const TNotifyEvent& OnChange) {
  Edit = Make<TEdit>(Form, Parent, EditName, "", X, Y, 45, 22);
  UpDown = Make<TUpDown>(Form, Parent, UpDownName, "", X + 45, Y, 17, 22);
  UpDown->SetMin(Min);
  UpDown->SetMax(Max);
  UpDown->SetIncrement(Step);
  UpDown->SetAssociate(Edit);
  Edit->OnChange = OnChange;
}

// The number in an up-down's edit, kept within the up-down's range.
int EditValue(TEdit* Edit, TUpDown* UpDown) {
  const int v = StrToIntDef(Edit->Text(), UpDown->Position());
  return std::clamp(v, UpDown->Min(), UpDown->Max());
}

TCheckBox* CheckBox(TForm* Form, TWinControl* Parent, const char* Name, const char* Text, int X, int Y,
                    const TNotifyEvent& OnClick, int Width = 160) {
  auto* c = Make<TCheckBox>(Form, Parent, Name, Text, X, Y, Width, 20);
  c->OnClick = OnClick;
  return c;
}

template <class F>
TNotifyEvent Handler(F* Form, void (F::*Method)(TObject*)) {
  return [Form, Method](TObject* Sender) { (Form->*Method)(Sender); };
}

}  // namespace

// =============================================================================================
// Scroll bar

VM_DEFINE_CLASS(TScrollbarEditor)

TScrollbarEditor::TScrollbarEditor(TComponent* AOwner) : TForm(AOwner) {
  SetName("ScrollbarEditor");
  SetAlign(alClient);
  SetClientWidth(300);
  SetClientHeight(170);
  ButtonPen1 = Make<TButtonPen>(this, this, "ButtonPen1", "&Border...", 8, 8, 90, 25);
  Button1 = Make<TButton>(this, this, "Button1", "&Thumb...", 8, 38, 90, 25);
  Button1->OnClick = Handler(this, &TScrollbarEditor::Button1Click);
  Button2 = Make<TButton>(this, this, "Button2", "B&ack...", 8, 68, 90, 25);
  Button2->OnClick = Handler(this, &TScrollbarEditor::Button2Click);
  Button3 = Make<TButton>(this, this, "Button3", "A&rrows...", 8, 98, 90, 25);
  Button3->OnClick = Handler(this, &TScrollbarEditor::Button3Click);
  ButtonColor1 = Make<TButtonColor>(this, this, "ButtonColor1", "Back &Color...", 8, 128, 90, 25);
  ComboBox1 = Make<TComboBox>(this, this, "ComboBox1", "", 180, 8, 100, 22);
  ComboBox1->SetStyle(csDropDownList);
  for (const char* s : {"None", "Lowered", "Raised"}) ComboBox1->Items()->Add(s);
  ComboBox1->OnChange = Handler(this, &TScrollbarEditor::ComboBox1Change);
  LabelFor(this, "Label1", "B&evel:", 108, 8, ComboBox1);
  CBAuto = CheckBox(this, this, "CBAuto", "A&uto-repeat", 108, 38, Handler(this, &TScrollbarEditor::CBAutoClick));
  NumberEdit(this, this, "Edit1", "UpDown1", 180, 66, 1, 300, 1, Edit1, UpDown1,
             Handler(this, &TScrollbarEditor::Edit1Change));
  LabelFor(this, "Label2", "&Size:", 108, 66, Edit1);
  NumberEdit(this, this, "Edit2", "UpDown2", 180, 96, 0, 5000, 25, Edit2, UpDown2,
             Handler(this, &TScrollbarEditor::Edit2Change));
  LabelFor(this, "Label3", "&Initial delay", 108, 96, Edit2);
  BGradient = Make<TButtonGradient>(this, this, "BGradient", "&Gradient...", 108, 128, 90, 25);
  OnShow = Handler(this, &TScrollbarEditor::FormShow);
}

void TScrollbarEditor::FormShow(TObject*) {
  FTool = reinterpret_cast<TGraphScrollBar*>(Tag());
  if (!FTool) return;
  FLoading = true;
  ButtonPen1->LinkPen(FTool->Pen());
  ButtonColor1->LinkProperty(FTool, "BackColor");
  BGradient->LinkGradient(FTool->Gradient());
  ComboBox1->SetItemIndex(static_cast<int>(FTool->Bevel()));
  CBAuto->SetChecked(FTool->AutoRepeat());
  // The up-downs hold 16-bit positions.
  UpDown1->SetPosition(static_cast<int16_t>(FTool->Size()));
  UpDown2->SetPosition(static_cast<int16_t>(FTool->InitialDelay()));
  FLoading = false;
}

void TScrollbarEditor::Button1Click(TObject*) {
  if (FTool) ShowBrushDialog(this, FTool->ThumbBrush());
}
void TScrollbarEditor::Button2Click(TObject*) {
  if (FTool) ShowBrushDialog(this, FTool->Brush());
}
void TScrollbarEditor::Button3Click(TObject*) {
  if (FTool) ShowBrushDialog(this, FTool->ArrowBrush());
}
void TScrollbarEditor::ComboBox1Change(TObject*) {
  if (FTool && !FLoading && ComboBox1->ItemIndex() >= 0)
    FTool->SetBevel(static_cast<TBevelCut>(ComboBox1->ItemIndex()));
}
void TScrollbarEditor::CBAutoClick(TObject*) {
  if (FTool && !FLoading) FTool->SetAutoRepeat(CBAuto->Checked());
}
void TScrollbarEditor::Edit1Change(TObject*) {
  if (FTool && !FLoading) FTool->SetSize(EditValue(Edit1, UpDown1));
}
void TScrollbarEditor::Edit2Change(TObject*) {
  if (FTool && !FLoading) FTool->SetInitialDelay(EditValue(Edit2, UpDown2));
}

// =============================================================================================
// Data table

VM_DEFINE_CLASS(TDataTableEditor)

TDataTableEditor::TDataTableEditor(TComponent* AOwner) : TForm(AOwner) {
  SetName("DataTableEditor");
  SetCaption("DataTable editor");
  SetAlign(alClient);
  SetClientWidth(360);
  SetClientHeight(260);
  FormCreate(this);
  PageControl1 = Make<TPageControl>(this, this, "PageControl1", "", 0, 0, 360, 260);
  PageControl1->SetAlign(alClient);
  TTabSheet* format = edkit::Tab(this, PageControl1, "TabFormat", "Format");
  ButtonPen1 = Make<TButtonPen>(this, format, "ButtonPen1", "&Rows...", 8, 8, 104, 25);
  ButtonPen2 = Make<TButtonPen>(this, format, "ButtonPen2", "&Columns...", 8, 38, 104, 25);
  CBInverted =
      CheckBox(this, format, "CBInverted", "&Inverted", 8, 70, Handler(this, &TDataTableEditor::CBInvertedClick), 104);
  auto* position = Make<TGroupBox>(this, format, "GroupBox1", "Position:", 120, 4, 200, 110);
  CBAutoPos =
      CheckBox(this, position, "CBAutoPos", "&Automatic", 8, 18, Handler(this, &TDataTableEditor::CBAutoPosClick));
  NumberEdit(this, position, "Edit1", "UDLeft", 60, 44, -1000, 1000, 1, Edit1, UDLeft,
             Handler(this, &TDataTableEditor::Edit1Change));
  Make<TLabel>(this, position, "Label1", "&Left:", 8, 47, 50, 16)->SetFocusControl(Edit1);
  NumberEdit(this, position, "Edit2", "UDTop", 60, 74, -1000, 1000, 1, Edit2, UDTop,
             Handler(this, &TDataTableEditor::Edit2Change));
  Make<TLabel>(this, position, "Label2", "&Top:", 8, 77, 50, 16)->SetFocusControl(Edit2);

  TTabSheet* legend = edkit::Tab(this, PageControl1, "TabLegend", "Legend");
  PageControl2 = Make<TPageControl>(this, legend, "PageControl2", "", 0, 0, 350, 230);
  PageControl2->SetAlign(alClient);
  TTabSheet* legendFormat = edkit::Tab(this, PageControl2, "TabLegendFormat", "Format");
  CBLegVisible = CheckBox(this, legendFormat, "CBLegVisible", "&Visible", 8, 8,
                          Handler(this, &TDataTableEditor::CBLegVisibleClick));
  CBFontColor = CheckBox(this, legendFormat, "CBFontColor", "Font Series &Color", 8, 32,
                         Handler(this, &TDataTableEditor::CBFontColorClick));
  CBOtherSide = CheckBox(this, legendFormat, "CBOtherSide", "&Other Side", 8, 56,
                         Handler(this, &TDataTableEditor::CBOtherSideClick));
  TTabSheet* symbol = edkit::Tab(this, PageControl2, "TabSymbol", "Symbol");
  SymbolEditor = new TSymbolEditor(this);
  TranslateControl(SymbolEditor);
  SymbolEditor->SetParent(symbol);
  TTabSheet* legendText = edkit::Tab(this, PageControl2, "TabLegendText", "Text");
  LegendFontEditor = InsertFontEditor(legendText);
  TTabSheet* text = edkit::Tab(this, PageControl1, "TabText", "Text");
  FontEditor = InsertFontEditor(text);
  OnCreate = Handler(this, &TDataTableEditor::FormCreate);
  OnShow = Handler(this, &TDataTableEditor::FormShow);
}

void TDataTableEditor::FormCreate(TObject*) { FCreating = true; }

void TDataTableEditor::EnablePosition() {
  const bool manual = !CBAutoPos->Checked();
  Edit1->SetEnabled(manual);
  UDLeft->SetEnabled(manual);
  Edit2->SetEnabled(manual);
  UDTop->SetEnabled(manual);
}

void TDataTableEditor::FormShow(TObject*) {
  FTool = reinterpret_cast<TDataTableTool*>(Tag());
  if (FTool) {
    FCreating = true;
    ButtonPen1->LinkPen(FTool->RowPen());
    ButtonPen2->LinkPen(FTool->ColumnPen());
    CBInverted->SetChecked(FTool->Inverted());
    CBAutoPos->SetChecked(FTool->AutoPosition());
    UDLeft->SetPosition(FTool->Left());
    UDTop->SetPosition(FTool->Top());
    TTableLegend* l = FTool->Legend();
    CBLegVisible->SetChecked(l->Visible());
    CBFontColor->SetChecked(l->FontSeriesColor());
    CBOtherSide->SetChecked(l->OtherSide());
    EmbedFormWithObject(SymbolEditor, SymbolEditor->Parent(), l->Symbol());
    SymbolEditor->FormShow();
    LegendFontEditor->RefreshControls(l->Font());
    FontEditor->RefreshControls(FTool->Font());
    EnablePosition();
  }
  PageControl1->SetActivePage(PageControl1->Pages(0));
  PageControl2->SetActivePage(PageControl2->Pages(0));
  FCreating = false;
}

void TDataTableEditor::CBAutoPosClick(TObject*) {
  if (!FTool || FCreating) return;
  FTool->SetAutoPosition(CBAutoPos->Checked());
  if (!CBAutoPos->Checked()) {
    UDLeft->SetPosition(FTool->Left());
    UDTop->SetPosition(FTool->Top());
  }
  EnablePosition();
}

void TDataTableEditor::CBInvertedClick(TObject*) {
  if (FTool && !FCreating) FTool->SetInverted(CBInverted->Checked());
}

void TDataTableEditor::Edit1Change(TObject*) {
  if (FTool && !FCreating && !FTool->AutoPosition()) FTool->SetLeft(EditValue(Edit1, UDLeft));
}

void TDataTableEditor::Edit2Change(TObject*) {
  if (FTool && !FCreating && !FTool->AutoPosition()) FTool->SetTop(EditValue(Edit2, UDTop));
}

void TDataTableEditor::CBLegVisibleClick(TObject*) {
  if (FTool && !FCreating) FTool->Legend()->SetVisible(CBLegVisible->Checked());
}

void TDataTableEditor::CBFontColorClick(TObject*) {
  if (FTool && !FCreating) FTool->Legend()->SetFontSeriesColor(CBFontColor->Checked());
}

void TDataTableEditor::CBOtherSideClick(TObject*) {
  if (FTool && !FCreating) FTool->Legend()->SetOtherSide(CBOtherSide->Checked());
}

// =============================================================================================
// Selector

VM_DEFINE_CLASS(TSelectorToolEditor)

TSelectorToolEditor::TSelectorToolEditor(TComponent* AOwner) : TForm(AOwner) {
  SetName("SelectorToolEditor");
  SetClientWidth(320);
  SetClientHeight(130);
  ButtonPen1 = Make<TButtonPen>(this, this, "ButtonPen1", "&Handles...", 8, 8, 90, 25);
  ButtonColor1 = Make<TButtonColor>(this, this, "ButtonColor1", "&Color...", 8, 38, 90, 25);
  NumberEdit(this, this, "Edit1", "UDSize", 160, 8, 1, 100, 1, Edit1, UDSize,
             Handler(this, &TSelectorToolEditor::Edit1Change));
  LabelFor(this, "Label1", "&Size:", 110, 8, Edit1);
  CBAllowDrag = CheckBox(this, this, "CBAllowDrag", "&Allow Drag", 110, 40,
                         Handler(this, &TSelectorToolEditor::CBAllowDragClick), 200);
  CBResizeChart = CheckBox(this, this, "CBResizeChart", "Allow &Resize Chart", 110, 64,
                           Handler(this, &TSelectorToolEditor::CBResizeChartClick), 200);
  OnShow = Handler(this, &TSelectorToolEditor::FormShow);
}

void TSelectorToolEditor::FormShow(TObject*) {
  FShowing = false;
  FTool = reinterpret_cast<TSelectorTool*>(Tag());
  if (!FTool) return;
  ButtonPen1->LinkPen(FTool->Pen());
  ButtonColor1->LinkProperty(FTool->Brush(), "Color");
  UDSize->SetPosition(FTool->HandleSize());
  CBAllowDrag->SetChecked(FTool->AllowDrag());
  CBResizeChart->SetChecked(FTool->AllowResizeChart());
  FShowing = true;
}

void TSelectorToolEditor::Edit1Change(TObject*) {
  if (FTool && FShowing) FTool->SetHandleSize(EditValue(Edit1, UDSize));
}

void TSelectorToolEditor::CBAllowDragClick(TObject*) {
  if (FTool && FShowing) FTool->SetAllowDrag(CBAllowDrag->Checked());
}

void TSelectorToolEditor::CBResizeChartClick(TObject*) {
  if (FTool && FShowing) FTool->SetAllowResizeChart(CBResizeChart->Checked());
}

// =============================================================================================
// Series band

VM_DEFINE_CLASS(TSeriesBandToolEdit)

TSeriesBandToolEdit::TSeriesBandToolEdit(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
  SetName("SeriesBandToolEdit");
  SetClientHeight(200);
  CBSeries2 = Make<TComboFlat>(this, this, "CBSeries2", "", 78, 36, 145, 22);
  CBSeries2->SetStyle(csDropDownList);
  CBSeries2->OnChange = Handler(this, &TSeriesBandToolEdit::CBSeries2Change);
  Make<TLabel>(this, this, "Label2", "S&eries 2:", 8, 40, 66, 13)->SetFocusControl(CBSeries2);
  Button1 = Make<TButton>(this, this, "Button1", "&Brush...", 8, 68, 80, 25);
  Button1->OnClick = Handler(this, &TSeriesBandToolEdit::Button1Click);
  BPen = Make<TButtonPen>(this, this, "BPen", "&Pen...", 96, 68, 80, 25);
  BGradient = Make<TButtonGradient>(this, this, "BGradient", "&Gradient...", 8, 98, 80, 25);
  CBDrawBehindSeries = CheckBox(this, this, "CBDrawBehindSeries", "&Draw Behind Series", 8, 130,
                                Handler(this, &TSeriesBandToolEdit::CBDrawBehindSeriesClick));
  NumberEdit(this, this, "ETransp", "UDTransp", 96, 158, 0, 100, 1, ETransp, UDTransp,
             Handler(this, &TSeriesBandToolEdit::ETranspChange));
  Make<TLabel>(this, this, "Label3", "&Transparency:", 8, 161, 86, 13)->SetFocusControl(ETransp);
}

void TSeriesBandToolEdit::FormShow(TObject* Sender) {
  FShowing = false;
  TSeriesToolEditor::FormShow(Sender);
  TSeriesBandTool* band = Band();
  if (!band) return;
  FillSeriesCombo(CBSeries2, band->Series2(), band->ParentChart());
  BPen->LinkPen(band->Pen());
  BGradient->LinkGradient(band->Gradient());
  CBDrawBehindSeries->SetChecked(band->DrawBehindSeries());
  UDTransp->SetPosition(band->Transparency());
  FShowing = true;
}

void TSeriesBandToolEdit::CBSeries2Change(TObject*) {
  TSeriesBandTool* band = Band();
  if (!band || CBSeries2->ItemIndex() < 0) return;
  band->SetSeries2(dynamic_cast<TChartSeries*>(CBSeries2->Items()->Objects(CBSeries2->ItemIndex())));
}

void TSeriesBandToolEdit::Button1Click(TObject*) {
  if (TSeriesBandTool* band = Band()) ShowBrushDialog(this, band->Brush());
}

void TSeriesBandToolEdit::CBDrawBehindSeriesClick(TObject*) {
  if (TSeriesBandTool* band = Band(); band && FShowing) band->SetDrawBehindSeries(CBDrawBehindSeries->Checked());
}

void TSeriesBandToolEdit::ETranspChange(TObject*) {
  if (TSeriesBandTool* band = Band(); band && FShowing) band->SetTransparency(EditValue(ETransp, UDTransp));
}

// =============================================================================================
// Extra legend

VM_DEFINE_CLASS(TExtraLegendEditor)

TExtraLegendEditor::TExtraLegendEditor(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
  SetName("ExtraLegendEditor");
  Button1 = Make<TButton>(this, this, "Button1", "&Edit Legend...", 78, 40, 110, 25);
  Button1->OnClick = Handler(this, &TExtraLegendEditor::Button1Click);
}

void TExtraLegendEditor::Button1Click(TObject*) {
  auto* tool = dynamic_cast<TExtraLegendTool*>(FTool);
  if (!tool) return;
  // The chart editor's legend page on the tool's legend, shown as a dialog and freed after.
  std::unique_ptr<TFormGraphLegend> form = std::make_unique<TFormGraphLegend>(this, tool->Legend());
  form->SetBorderStyle(bsDialog);
  form->SetPosition(poOwnerFormCenter);
  const TNotifyEvent shown = form->OnShow;
  TFormGraphLegend* f = form.get();
  form->OnShow = [shown, f](TObject* Sender) {
    if (shown) shown(Sender);
    if (EditorDialogHook) EditorDialogHook(f);
  };
  form->ShowModal();
}

// =============================================================================================
// Pie slices

VM_DEFINE_CLASS(TPieToolEditor)

TPieToolEditor::TPieToolEditor(TComponent* AOwner) : TForm(AOwner) {
  SetName("PieToolEditor");
  SetClientWidth(260);
  SetClientHeight(130);
  CBPieSeries = Make<TComboFlat>(this, this, "CBPieSeries", "", 78, 8, 145, 22);
  CBPieSeries->SetStyle(csDropDownList);
  CBPieSeries->OnChange = Handler(this, &TPieToolEditor::CBPieSeriesChange);
  Label1 = Make<TLabel>(this, this, "Label1", "Pie", 8, 12, 66, 13);
  Label1->SetFocusControl(CBPieSeries);
  RGStyle = NewPageRadioGroup(this, "RGStyle", TRect(8, 40, 120, 110), "Style", {"Focus", "Explode"}, 0,
                              Handler(this, &TPieToolEditor::RGStyleClick));
  BPen = Make<TButtonPen>(this, this, "BPen", "&Border...", 130, 48, 90, 25);
  OnShow = Handler(this, &TPieToolEditor::FormShow);
}

void TPieToolEditor::FormShow(TObject*) {
  FTool = reinterpret_cast<TPieTool*>(Tag());
  Label1->SetCaption(MsgValuePie);
  if (!FTool) return;
  FLoading = true;
  TCustomAxisPanel* chart = FTool->ParentChart();
  TStrings* items = CBPieSeries->Items();
  items->Clear();
  int index = -1;
  if (chart)
    for (int i = 0; i < chart->CountSeries(); ++i)
      if (auto* pie = dynamic_cast<TPieSeries*>(chart->SeriesAt(i))) {
        if (pie == FTool->Series()) index = items->Count();
        items->AddObject(SeriesTitleOrName(pie), pie);
      }
  CBPieSeries->SetEnabled(chart && chart->CountSeries() > 0);
  CBPieSeries->SetItemIndex(index);
  SetRadioGroupIndex(RGStyle, FTool->Style() == ptExplode ? 1 : 0);
  BPen->LinkPen(FTool->Pen());
  FLoading = false;
}

void TPieToolEditor::CBPieSeriesChange(TObject*) {
  if (!FTool || FLoading || CBPieSeries->ItemIndex() < 0) return;
  FTool->SetSeries(dynamic_cast<TChartSeries*>(CBPieSeries->Items()->Objects(CBPieSeries->ItemIndex())));
}

void TPieToolEditor::RGStyleClick(TObject*) {
  if (FTool && !FLoading) FTool->SetStyle(RadioGroupIndex(RGStyle) == 1 ? ptExplode : ptFocus);
}

void RegisterExtraToolEditorForms() {
  RegisterClasses({TScrollbarEditor::StaticClass(), TDataTableEditor::StaticClass(), TSelectorToolEditor::StaticClass(),
                   TSeriesBandToolEdit::StaticClass(), TExtraLegendEditor::StaticClass(),
                   TPieToolEditor::StaticClass()});
}
