#include "chart/editor/map_gauge_editors.h"

#include <memory>

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/chart_grid.h"
#include "chart/editor/chart_list_box.h"
#include "chart/editor/gradient_editor.h"
#include "chart/editor/grid3d_editors.h"
#include "chart/editor/series_page.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/editor_controls.h"
#include "chart/engine/engine_texts.h"
#include "chart/extra/calendar_series.h"
#include "chart/extra/gauge_series.h"
#include "chart/extra/map_series.h"
#include "chart/extra/pen_dialog.h"
#include "platform/comctrls.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TMapSeriesEditor)
VM_DEFINE_CLASS(TGaugeSeriesEditor)
VM_DEFINE_CLASS(TCalendarSeriesEditor)

using edkit::Make;
using sekit::Button;
using sekit::Check;
using sekit::GraphButton;

namespace {

TPageControl* Pages(TComponent* Owner, TWinControl* Parent, const char* Name, int X, int Y, int W, int H) {
  return Make<TPageControl>(Owner, Parent, Name, "", X, Y, W, H);
}

TEdit* LabelledEdit(TComponent* Owner, TWinControl* Parent, const char* Name, const std::string& Caption, int X, int Y,
                    int LabelWidth = 60, int W = 120) {
  auto* e = Make<TEdit>(Owner, Parent, Name, "", X + LabelWidth, Y, W, 22);
  Make<TLabel>(Owner, Parent, (std::string("L") + Name).c_str(), Caption, X, Y + 3, LabelWidth, 16)->SetFocusControl(e);
  return e;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TMapSeriesEditor

TMapSeriesEditor::TMapSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 430, 250);
  PageControl2 = Pages(this, this, "PageControl2", 0, 0, 430, 250);
  PageControl2->SetAlign(alClient);
  TabGlobal = edkit::Tab(this, PageControl2, "TabGlobal", "Global");
  TabShapes = edkit::Tab(this, PageControl2, "TabShapes", "Shapes");
  BMapBrush = Button(this, TabGlobal, "BMapBrush", "B&rush...", 8, 8);
  ButtonPen1 = GraphButton<TButtonPen>(this, TabGlobal, "ButtonPen1", "&Border...", 8, 40);

  ChartListBox1 = Make<TChartListBox>(this, TabShapes, "ChartListBox1", "", 4, 4, 120, 180);
  ChartListBox1->SetShowSeriesIcon(false);
  ChartListBox1->EnableChangeType = false;
  ChartListBox1->AllowAddSeries = false;
  ChartListBox1->AllowDeleteSeries = false;
  ChartListBox1->EnableDragSeries = false;
  SBAdd = Button(this, TabShapes, "SBAdd", "+", 4, 190, 30);
  SBDelete = Button(this, TabShapes, "SBDelete", "-", 40, 190, 30);
  SBDelete->SetEnabled(false);
  PageControl1 = Pages(this, TabShapes, "PageControl1", 130, 4, 290, 215);
  TabValues = edkit::Tab(this, PageControl1, "TabValues", "Values");
  TabFormat = edkit::Tab(this, PageControl1, "TabFormat", "Format");
  TabData = edkit::Tab(this, PageControl1, "TabData", "Points");

  ShapeIndex = Make<TLabel>(this, TabValues, "ShapeIndex", "", 8, 8, 100, 16);
  EText = LabelledEdit(this, TabValues, "EText", "&Text:", 8, 32);
  EditZ = LabelledEdit(this, TabValues, "EditZ", "&Z:", 8, 62, 60, 80);

  ButtonColor1 = GraphButton<TButtonColor>(this, TabFormat, "ButtonColor1", "&Color...", 8, 8);
  CBDefaultColor = Check(this, TabFormat, "CBDefaultColor", "&Default", 116, 10, 110);
  ButtonPen2 = GraphButton<TButtonPen>(this, TabFormat, "ButtonPen2", "Bord&er...", 8, 40);
  CBGlobalPen = Check(this, TabFormat, "CBGlobalPen", "&Global", 116, 42, 90);
  BBrush = Button(this, TabFormat, "BBrush", "Br&ush...", 8, 72);
  CBGlobalBrush = Check(this, TabFormat, "CBGlobalBrush", "Gl&obal", 116, 74, 90);
  BGradient = GraphButton<TButtonGradient>(this, TabFormat, "BGradient", "&Gradient...", 8, 104);
  CBClosed = Check(this, TabFormat, "CBClosed", "Closed", 116, 106, 90);
  CBVisible = Check(this, TabFormat, "CBVisible", "&Visible", 208, 106, 76);
  Transp =
      sekit::IntField(this, TabFormat, "ETransp", "UDTransp", "", "&Transparency:", 8, 140, {0, 100}, [this](int V) {
        TGraphPolygon* p = SelectedShape();
        if (p && Showing()) p->SetTransparency(V);
      });

  ChartGridNavigator1 = Make<TChartGridNavigator>(this, TabData, "ChartGridNavigator1", "", 0, 0, 280, 24);
  ChartGridNavigator1->SetAlign(alTop);
  ChartGrid1 = Make<TChartGrid>(this, TabData, "ChartGrid1", "", 0, 24, 280, 160);
  ChartGrid1->SetAlign(alClient);
  ChartGrid1->SetShowLabels(false);
  ChartGrid1->SetShowXValues(cgsYes);
  ChartGrid1->AllowEditing = true;
  ChartGridNavigator1->SetGrid(ChartGrid1);

  BMapBrush->OnClick = [this](TObject*) {
    if (Map) ShowBrushDialog(this, Map->Brush());
  };
  ChartListBox1->OnClick = [this](TObject*) { ShowShape(); };
  ChartListBox1->OnChangeColor = [this](TChartListBox*, TCustomChartSeries*) {
    ButtonColor1->Repaint();
    ChartListBox1->Repaint();
  };
  SBAdd->OnClick = [this](TObject*) { SBAddClick(); };
  SBDelete->OnClick = [this](TObject*) { SBDeleteClick(); };
  PageControl2->OnChange = [this](TObject*) { PageControl2Change(); };
  EText->OnChange = [this](TObject*) {
    TGraphPolygon* p = SelectedShape();
    if (!p || CreatingForm || EText->Text() == p->Text()) return;
    p->SetText(EText->Text());
    const int i = ChartListBox1->ItemIndex();
    ChartListBox1->Items()->SetStrings(i, p->Text());
  };
  EditZ->OnChange = [this](TObject*) {
    TGraphPolygon* p = SelectedShape();
    if (!p || CreatingForm) return;
    const double z = StrToFloat(Trim(EditZ->Text()));
    if (z == p->Z()) return;
    p->SetZ(z);
    RepaintMap();
  };
  ButtonColor1->OnClick = [this](TObject*) {
    DefaultColorRule();
    ChartListBox1->Repaint();
  };
  CBDefaultColor->OnClick = [this](TObject*) {
    TGraphPolygon* p = SelectedShape();
    if (!p || CreatingForm || !CBDefaultColor->Checked()) return;
    p->SetColor(clAutoColor);
    ButtonColor1->Repaint();
    ChartListBox1->Repaint();
    DefaultColorRule();
  };
  ButtonPen2->OnClick = [this](TObject*) {
    if (!SelectedShape()) return;
    CBGlobalPen->SetChecked(false);
    RepaintMap();
  };
  CBGlobalPen->OnClick = [this](TObject*) {
    if (TGraphPolygon* p = SelectedShape(); p && !CreatingForm) p->SetParentPen(CBGlobalPen->Checked());
  };
  BBrush->OnClick = [this](TObject*) {
    TGraphPolygon* p = SelectedShape();
    if (!p) return;
    ShowBrushDialog(this, p->Brush());
    CBGlobalBrush->SetChecked(false);
    RepaintMap();
  };
  CBGlobalBrush->OnClick = [this](TObject*) {
    if (TGraphPolygon* p = SelectedShape(); p && !CreatingForm) p->SetParentBrush(CBGlobalBrush->Checked());
  };
  BGradient->OnClick = [this](TObject*) { ChartListBox1->Repaint(); };
  CBClosed->OnClick = [this](TObject*) {
    if (TGraphPolygon* p = SelectedShape(); p && !CreatingForm) p->SetClosed(CBClosed->Checked());
  };
  CBVisible->OnClick = [this](TObject*) {
    if (TGraphPolygon* p = SelectedShape(); p && !CreatingForm) p->Points()->SetActive(CBVisible->Checked());
  };
  ChartGrid1->OnSetEditText = [this](TCustomChartGrid*, int, int, const std::string&) { RepaintMap(); };
  OnShow = [this](TObject*) { FormShow(); };
}

void TMapSeriesEditor::RepaintMap() {
  if (Map) Map->Repaint();
}

TGraphPolygon* TMapSeriesEditor::SelectedShape() const {
  if (!Map) return nullptr;
  const int i = ChartListBox1->ItemIndex();
  return i >= 0 && i < Map->Shapes()->Count() ? Map->Shapes()->GetPolygon(i) : nullptr;
}

void TMapSeriesEditor::EnableShapePages() {
  const bool any = Map && Map->Shapes()->Count() > 0;
  for (TTabSheet* t : {TabValues, TabFormat, TabData})
    for (int i = 0; i < t->ControlCount(); ++i) t->Controls(i)->SetEnabled(any);
}

void TMapSeriesEditor::DefaultColorRule() {
  TGraphPolygon* p = SelectedShape();
  // A shape has its own colour only when one is stored for its point.
  const bool automatic = !p || Map->StoredColorAt(p->Index()) == clAutoColor;
  edkit::TFlagGuard g(CreatingForm);
  CBDefaultColor->SetChecked(automatic);
  CBDefaultColor->SetEnabled(!automatic && Map->Shapes()->Count() > 0);
}

void TMapSeriesEditor::FillShapes() {
  ChartListBox1->Items()->Clear();
  if (!Map) return;
  ChartListBox1->Items()->BeginUpdate();
  for (int i = 0; i < Map->Shapes()->Count(); ++i) {
    TGraphPolygon* p = Map->Shapes()->GetPolygon(i);
    const std::string label = Map->LabelAt(i);
    ChartListBox1->Items()->AddObject(label.empty() ? IntToStr(i) : label, p->Points());
  }
  ChartListBox1->Items()->EndUpdate();
}

void TMapSeriesEditor::ShowShape() {
  EnableShapePages();
  TGraphPolygon* p = SelectedShape();
  if (!p) {
    ShapeIndex->SetCaption("");
    edkit::TFlagGuard g(CreatingForm);
    EText->SetText("");
    EditZ->SetText("0");
    ButtonPen2->LinkPen(nullptr);
    ButtonColor1->LinkProperty(nullptr, "");
    return;
  }
  ShapeIndex->SetCaption(IntToStr(p->Index()));
  ButtonPen2->LinkPen(p->Pen());
  ButtonColor1->LinkProperty(p, "Color");
  ButtonColor1->Repaint();
  {
    edkit::TFlagGuard g(CreatingForm);
    CBGlobalPen->SetChecked(p->ParentPen());
    CBGlobalBrush->SetChecked(p->ParentBrush());
    EText->SetText(p->Text());
    EditZ->SetText(FloatToStr(p->Z()));
    CBClosed->SetChecked(p->Closed());
    CBVisible->SetChecked(p->Points()->Active());
    Transp.Set(p->Transparency());
  }
  DefaultColorRule();
  ChartGrid1->SetSeries(p->Points());
  BGradient->LinkGradient(p->Gradient());
  SBDelete->SetEnabled(true);
}

void TMapSeriesEditor::SBAddClick() {
  if (!Map) return;
  TGraphPolygon* p = Map->Shapes()->AddPolygon();
  p->SetText(IntToStr(Map->Count()));
  FillShapes();
  ChartListBox1->SetItemIndex(ChartListBox1->Items()->Count() - 1);
  if (ChartListBox1->CanFocus()) ChartListBox1->SetFocus();
  ShowShape();
  EnableShapePages();
}

void TMapSeriesEditor::SBDeleteClick() {
  if (!Map) return;
  const int p = ChartListBox1->ItemIndex();
  const int n = ChartListBox1->Items()->Count();
  if (p < 0 || p >= Map->Count()) return;
  ChartGrid1->SetSeries(nullptr);
  Map->Delete(p);
  SBDelete->SetEnabled(Map->Shapes()->Count() > 0);
  FillShapes();
  const int count = ChartListBox1->Items()->Count();
  ChartListBox1->SetItemIndex(count == 0 ? -1 : p == n - 1 ? count - 1 : p);
  ShowShape();
  EnableShapePages();
}

void TMapSeriesEditor::PageControl2Change() {
  if (Map && ChartListBox1->Items()->Count() != Map->Shapes()->Count()) FillShapes();
}

void TMapSeriesEditor::FormShow() {
  CreatingForm = false;
  if (Parent()) SetAlign(alClient);
  auto* s = sekit::Tagged<TMapSeries>(this);
  if (s) {
    if (s != Map) ChartListBox1->Items()->Clear();  // the entries of another map
    Map = s;
    ButtonPen1->LinkPen(s->Pen());
    ShowGrid3DEditor(Grid3DForm, this, s);
  }
  PageControl2->SetActivePage(TabGlobal);
  ChartGrid1->SetTitleRow(false);
  EnableShapePages();
  ChartGridNavigator1->Buttons[nbInsert]->SetVisible(true);
  ChartGridNavigator1->Buttons[nbDelete]->SetVisible(true);
  ChartGridNavigator1->CalcButtonLayout();  // the two shown buttons take their places in the row
  if (Map && Map->Shapes()->Count() > 0) {
    if (ChartListBox1->Items()->Count() > 0) ChartListBox1->SetItemIndex(0);
    ShowShape();
  }
  PageControl2->SetActivePage(TabGlobal);
  PageControl1->SetActivePage(TabValues);
  ButtonPen1->SetEnabled(true);
}

// ---------------------------------------------------------------------------------------------
// TGaugeSeriesEditor

TGaugeSeriesEditor::TGaugeSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 400, 220);
  SetAlign(alClient);
  PageControl1 = Pages(this, this, "PageControl1", 0, 0, 400, 220);
  PageControl1->SetAlign(alClient);
  TabSheet1 = edkit::Tab(this, PageControl1, "TabSheet1", "Options");
  TabSheet2 = edkit::Tab(this, PageControl1, "TabSheet2", "Labels");
  TabSheet3 = edkit::Tab(this, PageControl1, "TabSheet3", "Ticks");
  // The scale is the axis the gauge draws with; a gauge outside a chart has none.
  auto axis = [this] { return Gauge ? Gauge->GetAxis() : nullptr; };
  auto may = [this] { return Gauge && sekit::CanWrite(this, FLoading); };

  ComboBox1 = sekit::List(this, TabSheet1, "ComboBox1", "&Hand style:", 8, 8, {"Line", "Triangle"}, 80, 100);
  Angle = sekit::IntField(this, TabSheet1, "Edit6", "UDAngle", "", "Total angle:", 8, 38, {0, 360}, [this, may](int V) {
    if (may()) Gauge->SetTotalAngle(V);
  });
  Dist = sekit::IntField(this, TabSheet1, "Edit7", "UDDist", "", "Distance:", 8, 66, {-500, 500}, [this, may](int V) {
    if (may()) Gauge->SetHandDistance(V);
  });
  Value =
      sekit::IntField(this, TabSheet1, "Edit8", "UDValue", "", "&Value:", 8, 94, {-32767, 32767}, [this, may](int V) {
        if (may()) Gauge->SetValue(V);
      });
  BLine = GraphButton<TButtonPen>(this, TabSheet1, "BLine", "&Line...", 200, 8);
  BAxis = GraphButton<TButtonPen>(this, TabSheet1, "BAxis", "&Axis...", 200, 40);
  CheckBox4 = Check(this, TabSheet1, "CheckBox4", "Full Repaint", 200, 74, 150);
  Button1 = Button(this, TabSheet1, "Button1", "&Center...", 200, 100);
  Button3 = Button(this, TabSheet1, "Button3", "End Point...", 200, 132);

  CheckBox1 = Check(this, TabSheet2, "CheckBox1", "Show labels", 8, 10, 150);
  CheckBox1->SetChecked(true);
  Button2 = Button(this, TabSheet2, "Button2", "&Font...", 200, 8);
  Edit1 = LabelledEdit(this, TabSheet2, "Edit1", "Format:", 8, 40, 60, 110);
  CBInside = Check(this, TabSheet2, "CBInside", "&Inside", 200, 42, 120);
  CBInside->SetChecked(true);
  Increment = sekit::IntField(this, TabSheet2, "Edit11", "UDIncrement", "", "&Increment:", 8, 72, {-32767, 32767},
                              [this, may, axis](int V) {
                                if (may() && axis()) axis()->SetIncrement(V);
                              });

  BTicks = GraphButton<TButtonPen>(this, TabSheet3, "BTicks", "&Ticks", 8, 8, 80);
  TickLength = sekit::IntField(
      this, TabSheet3, "Edit4", "UpDown3", "", "", 96, 10, {0, 100},
      [this, may, axis](int V) {
        if (may() && axis()) axis()->SetTickLength(V);
      },
      0);
  BMinor = GraphButton<TButtonPen>(this, TabSheet3, "BMinor", "&Minor", 8, 40, 80);
  MinorCount = sekit::IntField(
      this, TabSheet3, "Edit2", "UpDown1", "", "", 96, 42, {0, 100},
      [this, may, axis](int V) {
        if (may() && axis()) axis()->SetMinorTickCount(V);
      },
      0);
  MinorLength = sekit::IntField(
      this, TabSheet3, "Edit5", "UpDown4", "", "", 170, 42, {0, 100},
      [this, may, axis](int V) {
        if (may() && axis()) axis()->SetMinorTickLength(V);
      },
      0);
  MinorDistance = sekit::IntField(
      this, TabSheet3, "Edit3", "UpDown2", "", "", 244, 42, {0, 100},
      [this, may](int V) {
        if (may()) Gauge->SetMinorTickDistance(V);
      },
      0);
  // The tick fields stand beside their buttons without captions of their own.
  for (TLabel* l : {TickLength.Label, MinorCount.Label, MinorLength.Label, MinorDistance.Label}) l->SetVisible(false);
  Min = sekit::IntField(this, TabSheet3, "Edit9", "UDMin", "", "&Minimum:", 8, 80, {-32767, 32767}, [this, may](int V) {
    if (!may()) return;
    Gauge->SetMinimum(V);
    Max.UpDown->SetMin(sekit::RoundToField(Gauge->Minimum()));
  });
  Max =
      sekit::IntField(this, TabSheet3, "Edit10", "UDMax", "", "Ma&ximum:", 8, 110, {-32767, 32767}, [this, may](int V) {
        if (!may()) return;
        Gauge->SetMaximum(V);
        Min.UpDown->SetMax(sekit::RoundToField(Gauge->Maximum()));
      });
  PageControl1->SetActivePage(TabSheet1);

  ComboBox1->OnChange = [this](TObject*) {
    if (Gauge && !FLoading && ComboBox1->ItemIndex() >= 0)
      Gauge->SetHandStyle(static_cast<THandStyle>(ComboBox1->ItemIndex()));
  };
  CheckBox4->OnClick = [this](TObject*) {
    if (Gauge && !FLoading) Gauge->SetFullRepaint(CheckBox4->Checked());
  };
  Button1->OnClick = [this](TObject*) {
    if (Gauge) ShowPointerDialog(this, Gauge->Center());
  };
  Button3->OnClick = [this](TObject*) {
    if (Gauge) ShowPointerDialog(this, Gauge->EndPoint());
  };
  CheckBox1->OnClick = [this, axis](TObject*) {
    if (Gauge && !FLoading && axis()) axis()->SetLabels(CheckBox1->Checked());
  };
  Button2->OnClick = [this](TObject*) { Button2Click(); };
  Edit1->OnChange = [this](TObject*) {
    if (Gauge && !FLoading) Gauge->SetValueFormat(Edit1->Text());
  };
  CBInside->OnClick = [this](TObject*) {
    if (Gauge && !FLoading) Gauge->SetLabelsInside(CBInside->Checked());
  };
  OnShow = [this](TObject*) { FormShow(); };
}

void TGaugeSeriesEditor::Button2Click() {
  if (!Gauge || !Gauge->GetAxis()) return;
  std::unique_ptr<TGraphFontEditor> f(new TGraphFontEditor(this));
  f->SetBorderStyle(bsDialog);
  f->SetPosition(poOwnerFormCenter);
  f->RefreshControls(Gauge->GetAxis()->LabelsFont());
  TranslateControl(f.get());
  TGraphFontEditor* e = f.get();
  f->OnShow = [e, previous = f->OnShow](TObject* Sender) {
    if (previous) previous(Sender);
    if (EditorDialogHook) EditorDialogHook(e);
  };
  f->ShowModal();
}

void TGaugeSeriesEditor::FormShow() {
  auto* s = sekit::Tagged<TGaugeSeries>(this);
  if (!s) return;
  Gauge = s;
  TChartAxis* a = s->GetAxis();
  {
    edkit::TFlagGuard g(FLoading);
    ComboBox1->SetItemIndex(static_cast<int>(s->HandStyle()));
    Angle.Set(sekit::RoundToField(s->TotalAngle()));
    Dist.Set(s->HandDistance());
    Value.Set(sekit::RoundToField(s->Value()));
    BLine->LinkPen(s->Pen());
    CheckBox4->SetChecked(s->FullRepaint());
    Edit1->SetText(s->ValueFormat());
    CBInside->SetChecked(s->LabelsInside());
    MinorDistance.Set(s->MinorTickDistance());
    // The limits first, so that neither field clips the other's number.
    Min.UpDown->SetMax(32767);
    Max.UpDown->SetMin(-32767);
    Min.Set(sekit::RoundToField(s->Minimum()));
    Max.Set(sekit::RoundToField(s->Maximum()));
    Max.UpDown->SetMin(sekit::RoundToField(s->Minimum()));
    Min.UpDown->SetMax(sekit::RoundToField(s->Maximum()));
    if (a) {
      BAxis->LinkPen(a->Axis());
      CheckBox1->SetChecked(a->Labels());
      Increment.Set(sekit::RoundToField(a->Increment()));
      BTicks->LinkPen(a->Ticks());
      TickLength.Set(a->TickLength());
      BMinor->LinkPen(a->MinorTicks());
      MinorCount.Set(a->MinorTickCount());
      MinorLength.Set(a->MinorTickLength());
    }
  }
  sekit::InsertTabOnce(CircledForm, this, FindEditorClass("TCircledSeriesEditor"), 1, s, MsgStyleCircled);
  if (CircledForm)
    for (const char* name : {"BBack", "CBTransp"})
      if (auto* c = dynamic_cast<TControl*>(CircledForm->FindComponent(name))) c->SetVisible(false);
}

// ---------------------------------------------------------------------------------------------
// TCalendarSeriesEditor

TCalendarSeriesEditor::TCalendarSeriesEditor(TComponent* AOwner) : TForm(AOwner) {
  SetBounds(0, 0, 400, 260);
  SetAlign(alClient);
  PageControl1 = Pages(this, this, "PageControl1", 0, 0, 400, 260);
  PageControl1->SetAlign(alClient);
  TabSheet1 = edkit::Tab(this, PageControl1, "TabSheet1", "Options");
  ButtonPen1 = GraphButton<TButtonPen>(this, TabSheet1, "ButtonPen1", "&Lines...", 8, 8);
  CBWeekDays = Check(this, TabSheet1, "CBWeekDays", "Show &Weekdays", 8, 42, 160);
  CBWeekUpper = Check(this, TabSheet1, "CBWeekUpper", "&Uppercase", 170, 42, 120);
  CBTrailing = Check(this, TabSheet1, "CBTrailing", "&Trailing days", 8, 66, 180);
  CBToday = Check(this, TabSheet1, "CBToday", "Show T&oday", 8, 90, 150);
  CBMonths = Check(this, TabSheet1, "CBMonths", "Show &Months", 8, 114, 150);
  CBMonthUpper = Check(this, TabSheet1, "CBMonthUpper", "U&ppercase", 170, 114, 120);
  CBPrevious = Check(this, TabSheet1, "CBPrevious", "Show Pr&evious Button", 8, 138, 180);
  CBNext = Check(this, TabSheet1, "CBNext", "Show Ne&xt Button", 8, 162, 180);
  for (TCheckBox* c : {CBWeekDays, CBWeekUpper, CBTrailing, CBToday, CBMonths, CBMonthUpper}) c->SetChecked(true);
  const char* names[6][3] = {{"TabSheet2", "Days", "PageControl2"},     {"TabSheet3", "Weekdays", "PageControl3"},
                             {"TabSheet4", "Today", "PageControl4"},    {"TabSheet5", "Sunday", "PageControl5"},
                             {"TabSheet6", "Trailing", "PageControl6"}, {"TabSheet7", "Months", "PageControl7"}};
  for (int i = 0; i < 6; ++i) {
    TTabSheet* t = edkit::Tab(this, PageControl1, names[i][0], names[i][1]);
    CellPages[i] = Pages(this, t, names[i][2], 0, 0, 390, 230);
    CellPages[i]->SetAlign(alClient);
  }
  PageControl1->SetActivePage(TabSheet1);

  auto write = [this](TCheckBox* Box, std::function<void(TCalendarSeries*, bool)> Set) {
    Box->OnClick = [this, Box, Set](TObject*) {
      if (Calendar && !FLoading) Set(Calendar, Box->Checked());
    };
  };
  write(CBWeekDays, [](TCalendarSeries* S, bool V) { S->WeekDays()->SetVisible(V); });
  write(CBWeekUpper, [](TCalendarSeries* S, bool V) { S->WeekDays()->SetUpperCase(V); });
  write(CBTrailing, [](TCalendarSeries* S, bool V) { S->Trailing()->SetVisible(V); });
  write(CBToday, [](TCalendarSeries* S, bool V) { S->Today()->SetVisible(V); });
  write(CBMonths, [](TCalendarSeries* S, bool V) { S->Months()->SetVisible(V); });
  write(CBMonthUpper, [](TCalendarSeries* S, bool V) { S->Months()->SetUpperCase(V); });
  write(CBPrevious, [](TCalendarSeries* S, bool V) { S->SetPreviousButtonVisible(V); });
  write(CBNext, [](TCalendarSeries* S, bool V) { S->SetNextButtonVisible(V); });
  OnShow = [this](TObject*) { FormShow(); };
}

void TCalendarSeriesEditor::FormShow() {
  auto* s = sekit::Tagged<TCalendarSeries>(this);
  if (!s) return;
  Calendar = s;
  TCalendarCell* cells[6] = {s->Days(), s->WeekDays(), s->Today(), s->Sunday(), s->Trailing(), s->Months()};
  if (!CellEditors[0])
    for (int i = 0; i < 6; ++i) CellEditors[i] = InsertShapeEditor(CellPages[i], cells[i]);
  {
    edkit::TFlagGuard g(FLoading);
    ButtonPen1->LinkPen(s->Pen());
    CBWeekDays->SetChecked(s->WeekDays()->Visible());
    CBWeekUpper->SetChecked(s->WeekDays()->UpperCase());
    CBTrailing->SetChecked(s->Trailing()->Visible());
    CBToday->SetChecked(s->Today()->Visible());
    CBMonths->SetChecked(s->Months()->Visible());
    CBMonthUpper->SetChecked(s->Months()->UpperCase());
    CBPrevious->SetChecked(s->PreviousButtonVisible());
    CBNext->SetChecked(s->NextButtonVisible());
  }
  for (int i = 0; i < 6; ++i) CellEditors[i]->RefreshControls(cells[i]);
  SetAlign(alClient);
}

void RegisterMapGaugeEditorForms() {
  for (TComponentClass c :
       {TMapSeriesEditor::StaticClass(), TGaugeSeriesEditor::StaticClass(), TCalendarSeriesEditor::StaticClass()})
    RegisterClass(c);
}
