#include "chart/editor/tool_editors.h"

#include <algorithm>

#include "chart/editor/axis_page.h"
#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/gradient_editor.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/editor/tool_editors_kit.h"
#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_utils.h"
#include "chart/extra/draw3d_panel.h"
#include "chart/extra/pen_dialog.h"
#include "chart/series/tools_annotation.h"
#include "chart/series/tools_axis.h"
#include "chart/series/tools_colorline.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "platform/typinfo.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TAxisToolEditor)
VM_DEFINE_CLASS(TAnnotationToolEdit)
VM_DEFINE_CLASS(TColorLineToolEditor)
VM_DEFINE_CLASS(TColorBandToolEditor)
VM_DEFINE_CLASS(TAxisArrowToolEditor)
VM_DEFINE_CLASS(TGridBandToolEdit)

using namespace formkit;
using edkit::Make;
using edkit::TFlagGuard;

void RegisterSeriesToolEditorForms();

void RegisterToolEditorForms() {
  for (TClass c :
       {TAxisToolEditor::StaticClass(), TAnnotationToolEdit::StaticClass(), TColorLineToolEditor::StaticClass(),
        TColorBandToolEditor::StaticClass(), TAxisArrowToolEditor::StaticClass(), TGridBandToolEdit::StaticClass()})
    if (!GetClass(c->ClassName())) RegisterClass(c);
  RegisterSeriesToolEditorForms();
}

namespace {
template <class T>
T* TagObject(TForm* Form) {
  return dynamic_cast<T*>(reinterpret_cast<TObject*>(Form->Tag()));
}
}  // namespace

// =============================================================================================
// Axis tools

TAxisToolEditor::TAxisToolEditor(TComponent* AOwner) : TForm(AOwner) {
  SetName("AxisToolEditor");
  SetBorderStyle(bsDialog);
  SetClientWidth(320);
  SetClientHeight(44);
  CBAxis = Cmb(this, this, "CBAxis", 60, 8, 145, {});
  CBAxis->OnChange = [this](TObject* s) { CBAxisChange(s); };
  Label1 = Lbl(this, this, "Label1", "&Axis:", 8, 8, CBAxis, 50);
  BPen = Btn<TButtonPen>(this, this, "BPen", "&Border...", 214, 6);
  OnShow = [this](TObject* s) { FormShow(s); };
}

void TAxisToolEditor::FormShow(TObject*) {
  TFlagGuard g(FLoading);
  FTool = TagObject<TGraphCustomToolAxis>(this);
  if (!FTool) return;
  TCustomAxisPanel* chart = FTool->ParentChart();
  FillAxisList(chart, CBAxis->Items(), false);
  BPen->LinkPen(FTool->Pen());
  int index = -1;
  if (TChartAxis* a = FTool->Axis(); a && chart) {
    if (a == chart->LeftAxis())
      index = 0;
    else if (a == chart->RightAxis())
      index = 1;
    else if (a == chart->TopAxis())
      index = 2;
    else if (a == chart->BottomAxis())
      index = 3;
    else
      for (int i = 0; i < chart->AxisCount(); ++i)
        if (chart->AxisAt(i) == a) index = i - 2;
  }
  CBAxis->SetItemIndex(index < CBAxis->Items()->Count() ? index : -1);
  BPen->SetVisible(GetPropInfo(FTool->ClassType(), "Pen") != nullptr);
}

void TAxisToolEditor::CBAxisChange(TObject*) {
  if (!FTool || FLoading) return;
  TCustomAxisPanel* chart = FTool->ParentChart();
  const int i = CBAxis->ItemIndex();
  TChartAxis* axis = nullptr;
  if (chart && i >= 0) {
    switch (i) {
      case 0:
        axis = chart->LeftAxis();
        break;
      case 1:
        axis = chart->RightAxis();
        break;
      case 2:
        axis = chart->TopAxis();
        break;
      case 3:
        axis = chart->BottomAxis();
        break;
      default:
        if (i + 2 < chart->AxisCount()) axis = chart->AxisAt(i + 2);
    }
  }
  FTool->SetAxis(axis);
}

// ---------------------------------------------------------------------------------------------

TColorLineToolEditor::TColorLineToolEditor(TComponent* AOwner) : TAxisToolEditor(AOwner) {
  SetName("ColorLineToolEditor");
  SetClientHeight(190);
  PageControl1 = Make<TPageControl>(this, this, "PageControl1", "", 4, 40, 312, 146);
  TTabSheet* value = edkit::Tab(this, PageControl1, "TabValue", "Value");
  TTabSheet* options = edkit::Tab(this, PageControl1, "TabOptions", "Options");
  EValue = Ed(this, value, "EValue", 80, 8, 100);
  Lbl(this, value, "LValue", "&Value: ", 8, 8, EValue, 70);
  EValue->OnChange = [this](TObject*) {
    if (Line() && !FLoading) Line()->SetValue(NumberOr(EValue, Line()->Value()));
  };
  CBStyle = Cmb(this, value, "CBStyle", 80, 36, 120, {"Custom", "Axis Maximum", "Axis Center", "Axis Minimum"});
  Lbl(this, value, "LStyle", "&Style:", 8, 36, CBStyle, 70);
  CBStyle->OnChange = [this](TObject*) {
    const int i = CBStyle->ItemIndex();
    EValue->SetEnabled(i == 0);
    if (Line() && !FLoading && i >= 0) Line()->SetStyle(static_cast<TColorLineStyle>(i));
  };
  auto check = [this, options](const char* Name, const char* Caption, int Y, void (TColorLineTool::*Set)(bool)) {
    TCheckBox* c = Chk(this, options, Name, Caption, 8, Y, 240);
    c->OnClick = [this, c, Set](TObject*) {
      if (Line() && !FLoading) (Line()->*Set)(c->Checked());
    };
    return c;
  };
  CBAllowDrag = check("CBAllowDrag", "Allow &Drag", 6, &TColorLineTool::SetAllowDrag);
  CBDragRepaint = check("CBDragRepaint", "Drag &Repaint", 28, &TColorLineTool::SetDragRepaint);
  CBNoLimitDrag = check("CBNoLimitDrag", "No &Limit Drag", 50, &TColorLineTool::SetNoLimitDrag);
  CBDrawBehind = check("CBDrawBehind", "Dra&w Behind", 72, &TColorLineTool::SetDrawBehind);
  CBDraw3D = check("CBDraw3D", "Draw &3D", 94, &TColorLineTool::SetDraw3D);
  PageControl1->SetActivePageIndex(0);
}

TColorLineTool* TColorLineToolEditor::Line() const { return dynamic_cast<TColorLineTool*>(FTool); }

void TColorLineToolEditor::FormShow(TObject* Sender) {
  TAxisToolEditor::FormShow(Sender);
  TColorLineTool* t = Line();
  if (!t) return;
  TFlagGuard g(FLoading);
  EValue->SetText(FloatToStr(t->Value()));
  CBStyle->SetItemIndex(static_cast<int>(t->Style()));
  EValue->SetEnabled(t->Style() == clCustom);
  CBAllowDrag->SetChecked(t->AllowDrag());
  CBDragRepaint->SetChecked(t->DragRepaint());
  CBNoLimitDrag->SetChecked(t->NoLimitDrag());
  CBDrawBehind->SetChecked(t->DrawBehind());
  CBDraw3D->SetChecked(t->Draw3D());
}

// ---------------------------------------------------------------------------------------------

TColorBandToolEditor::TColorBandToolEditor(TComponent* AOwner) : TAxisToolEditor(AOwner) {
  SetName("ColorBandToolEditor");
  // Fills the tools page, so its pages have the room of Russian captions.
  SetAlign(alClient);
  SetClientHeight(220);
  BPattern = Btn(this, this, "BPattern", "&Pattern...", 214, 36);
  BPattern->OnClick = [this](TObject*) {
    if (Band()) ShowBrushDialog(this, Band()->Brush());
  };
  PageControl1 = Make<TPageControl>(this, this, "PageControl1", "", 4, 66, 312, 150);
  PageControl1->SetAnchors({akLeft, akTop, akRight});
  TTabSheet* values = edkit::Tab(this, PageControl1, "TabValues", "Values");
  TTabSheet* options = edkit::Tab(this, PageControl1, "TabOptions", "Options");
  EStart = Ed(this, values, "EStart", 130, 8, 64);
  Lbl(this, values, "LStart", "&Start value:", 8, 8, EStart, 120);
  EEnd = Ed(this, values, "EEnd", 130, 62, 64);
  Lbl(this, values, "LEnd", "&End value:", 8, 62, EEnd, 120);
  EStart->OnChange = [this](TObject*) {
    if (Band() && !FLoading) Band()->SetStartValue(NumberOr(EStart, Band()->StartValue()));
  };
  EEnd->OnChange = [this](TObject*) {
    if (Band() && !FLoading) Band()->SetEndValue(NumberOr(EEnd, Band()->EndValue()));
  };
  CBStart = Chk(this, values, "CBStart", "Allo&w drag", 8, 34, 200);
  CBStart->OnClick = [this](TObject*) {
    if (Band() && !FLoading) Band()->SetResizeStart(CBStart->Checked());
  };
  CBEnd = Chk(this, values, "CBEnd", "Allow &drag", 8, 88, 200);
  CBEnd->OnClick = [this](TObject*) {
    if (Band() && !FLoading) Band()->SetResizeEnd(CBEnd->Checked());
  };
  BStart = Btn<TButtonPen>(this, values, "BStart", "B&order...", 200, 6);
  BEnd = Btn<TButtonPen>(this, values, "BEnd", "Bo&rder...", 200, 60);

  BGradient = Btn<TButtonGradient>(this, options, "BGradient", "&Gradient...", 8, 6);
  ButtonColor1 = Btn<TButtonColor>(this, options, "ButtonColor1", "&Color...", 104, 6);
  ETrans = Ed(this, options, "ETrans", 104, 38, 40);
  UDTrans = UD(this, options, "UDTrans", ETrans, 0, 100);
  Lbl(this, options, "LTrans", "&Transparency:", 8, 38, ETrans);
  WhenTyped(ETrans, UDTrans, [this](int V) {
    if (Band() && !FLoading) Band()->SetTransparency(V);
  });
  CBDrawBehind = Chk(this, options, "CBDrawBehind", "&Draw Behind", 8, 66, 140);
  CBDrawBehind->OnClick = [this](TObject*) {
    if (Band() && !FLoading) Band()->SetDrawBehind(CBDrawBehind->Checked());
  };
  CBBeforeAxes = Chk(this, options, "CBBeforeAxes", "&Draw Behind A&xes", 150, 66, 150);
  CBBeforeAxes->OnClick = [this](TObject*) {
    if (Band() && !FLoading) Band()->SetDrawBehindAxes(CBBeforeAxes->Checked());
  };
  CBCursor = Cmb(this, options, "CBCursor", 104, 92, 150, {});
  Lbl(this, options, "LCursor", "C&ursor:", 8, 92, CBCursor);
  CBCursor->OnChange = [this](TObject*) {
    if (!Band() || FLoading || CBCursor->ItemIndex() < 0) return;
    Band()->SetCursor(static_cast<TCursor>(CursorFromName(Band()->Cursor(), CBCursor->Text())));
  };
  PageControl1->SetActivePageIndex(0);
}

TColorBandTool* TColorBandToolEditor::Band() const { return dynamic_cast<TColorBandTool*>(FTool); }

void TColorBandToolEditor::FormShow(TObject* Sender) {
  TAxisToolEditor::FormShow(Sender);
  TColorBandTool* t = Band();
  if (!t) return;
  TFlagGuard g(FLoading);
  EStart->SetText(FloatToStr(t->StartValue()));
  EEnd->SetText(FloatToStr(t->EndValue()));
  CBStart->SetChecked(t->ResizeStart());
  CBEnd->SetChecked(t->ResizeEnd());
  BStart->LinkPen(t->StartLinePen());
  BEnd->LinkPen(t->EndLinePen());
  BGradient->LinkGradient(t->Gradient());
  ButtonColor1->LinkProperty(t, "Color");
  LoadPosition(UDTrans, t->Transparency());
  CBDrawBehind->SetChecked(t->DrawBehind());
  CBBeforeAxes->SetChecked(t->DrawBehindAxes());
  FillCursorCombo(CBCursor, t->Cursor());
  TranslateControlExcept(this, {CBCursor});
}

// ---------------------------------------------------------------------------------------------

TAxisArrowToolEditor::TAxisArrowToolEditor(TComponent* AOwner) : TAxisToolEditor(AOwner) {
  SetName("AxisArrowToolEditor");
  SetClientHeight(190);
  auto spin = [this](const char* EName, const char* UName, const char* Caption, int X, int Y, int Min, int Max,
                     TUpDown*& U, void (TAxisArrowTool::*Set)(int32_t)) {
    TEdit* e = Ed(this, this, EName, X + 70, Y, 40);
    U = UD(this, this, UName, e, Min, Max);
    Lbl(this, this, (std::string("L") + EName).c_str(), Caption, X, Y, e, 68);
    TUpDown* u = U;
    WhenTyped(e, u, [this, Set](int V) {
      if (Arrow() && !FLoading) (Arrow()->*Set)(V);
    });
    return e;
  };
  ELength = spin("ELength", "UDLength", "&Length:", 8, 40, 0, 100, UDLength, &TAxisArrowTool::SetLength);
  CBPos = Cmb(this, this, "CBPos", 88, 68, 100, {"Start", "End", "Both"});
  Lbl(this, this, "LPos", "P&osition:", 8, 68, CBPos, 78);
  CBPos->OnChange = [this](TObject*) {
    if (Arrow() && !FLoading && CBPos->ItemIndex() >= 0)
      Arrow()->SetPosition(static_cast<TAxisArrowToolPosition>(CBPos->ItemIndex()));
  };
  Edit1 = spin("Edit1", "UDScroll", "&Scroll:", 8, 96, 1, 100, UDScroll, &TAxisArrowTool::SetScrollPercent);
  Make<TLabel>(this, this, "LScrollPct", "%", 136, 99, 16, 16);
  CBInv = Chk(this, this, "CBInv", "&Inverted Scroll", 160, 96, 140);
  CBInv->OnClick = [this](TObject*) {
    if (Arrow() && !FLoading) Arrow()->SetScrollInverted(CBInv->Checked());
  };
  ESize = spin("ESize", "UDSize", "Si&ze:", 8, 124, 0, 100, UDSize, &TAxisArrowTool::SetSizePercent);
  Make<TLabel>(this, this, "LSizePct", "%", 136, 127, 16, 16);
  EWidth = spin("EWidth", "UDWidth", "&Width:", 8, 152, 0, 100, UDWidth, &TAxisArrowTool::SetHeadWidth);
  Button1 = Btn(this, this, "Button1", "&Pattern...", 214, 40);
  Button1->OnClick = [this](TObject*) {
    if (Arrow()) ShowBrushDialog(this, Arrow()->Brush());
  };
}

TAxisArrowTool* TAxisArrowToolEditor::Arrow() const { return dynamic_cast<TAxisArrowTool*>(FTool); }

void TAxisArrowToolEditor::FormShow(TObject* Sender) {
  TAxisToolEditor::FormShow(Sender);
  TAxisArrowTool* t = Arrow();
  if (!t) return;
  TFlagGuard g(FLoading);
  LoadPosition(UDLength, t->Length());
  CBPos->SetItemIndex(static_cast<int>(t->Position()));
  LoadPosition(UDScroll, t->ScrollPercent());
  CBInv->SetChecked(t->ScrollInverted());
  LoadPosition(UDSize, t->SizePercent());
  LoadPosition(UDWidth, t->HeadWidth());
}

// ---------------------------------------------------------------------------------------------

TGridBandToolEdit::TGridBandToolEdit(TComponent* AOwner) : TAxisToolEditor(AOwner) {
  SetAlign(alClient);
  SetName("GridBandToolEdit");
  SetClientHeight(190);
  BPen->SetVisible(false);
  TabControl1 = Make<TPageControl>(this, this, "TabControl1", "", 4, 40, 312, 146);
  TabControl1->SetAnchors({akLeft, akTop, akRight});
  TTabSheet* b1 = edkit::Tab(this, TabControl1, "TabBand1", "Band 1");
  edkit::Tab(this, TabControl1, "TabBand2", "Band 2");
  // The controls move with the chosen tab: one set edits the band the tab names.
  ButtonColor1 = Btn<TButtonColor>(this, b1, "ButtonColor1", "Ba&ck...", 8, 6);
  ButtonColor1->OnClick = [this](TObject*) { Draw3D1->Invalidate(); };
  Edit1 = Ed(this, b1, "Edit1", 104, 38, 40);
  UpDown1 = UD(this, b1, "UpDown1", Edit1, 0, 100);
  Lbl(this, b1, "LTransparency", "&Transparency:", 8, 38, Edit1);
  WhenTyped(Edit1, UpDown1, [this](int V) {
    if (CurrentBand() && !FLoading) {
      CurrentBand()->SetTransparency(V);
      if (Draw3D1) Draw3D1->Invalidate();
    }
  });
  ButtonGradient1 = Btn<TButtonGradient>(this, b1, "ButtonGradient1", "&Gradient...", 8, 70);
  ButtonGradient1->OnClick = [this](TObject*) {
    if (Draw3D1) Draw3D1->Invalidate();
  };
  BBand1 = Btn(this, b1, "BBand1", "&Pattern...", 104, 70);
  BBand1->OnClick = [this](TObject*) {
    if (CurrentBand() && ShowBrushDialog(this, CurrentBand())) LoadBand();
  };
  Draw3D1 = Make<TDraw3D>(this, b1, "Draw3D1", "", 210, 6, 80, 90);
  Draw3D1->SetCursor(crHandPoint);
  Draw3D1->OnPaint = [this](TObject*, const TRect& R) { PaintPreview(Draw3D1->Canvas, R); };
  Draw3D1->OnClick = [this](TObject*) { Draw3D1Click(); };
  TabControl1->OnChange = [this](TObject*) {
    TWinControl* page = TabControl1->ActivePage();
    for (int i = 0; page && i < ComponentCount(); ++i)
      if (auto* c = dynamic_cast<TControl*>(Components(i));
          c && c != page && c->Parent() && c->Parent()->Parent() == TabControl1)
        c->SetParent(page);
    LoadBand();
  };
  TabControl1->SetActivePageIndex(0);
}

TGridBandTool* TGridBandToolEdit::Bands() const { return dynamic_cast<TGridBandTool*>(FTool); }

TGridBandBrush* TGridBandToolEdit::CurrentBand() const {
  if (!Bands()) return nullptr;
  return TabControl1->ActivePageIndex() == 1 ? Bands()->Band2() : Bands()->Band1();
}

void TGridBandToolEdit::FormShow(TObject* Sender) {
  TAxisToolEditor::FormShow(Sender);
  BPen->SetVisible(false);
  LoadBand();
}

void TGridBandToolEdit::LoadBand() {
  TGridBandBrush* b = CurrentBand();
  if (!b) return;
  TFlagGuard g(FLoading);
  LoadPosition(UpDown1, b->Transparency());
  ButtonGradient1->LinkGradient(b->Gradient());
  ButtonColor1->LinkProperty(b, "BackColor");
  ButtonColor1->Invalidate();
  Draw3D1->Invalidate();
}

void TGridBandToolEdit::PaintPreview(TGraphCanvas* Canvas, const TRect& Rect) {
  TGridBandBrush* b = CurrentBand();
  if (!b || !Canvas) return;
  if (b->Gradient()->Visible()) {
    b->Gradient()->Draw(Canvas, Rect);
    return;
  }
  Canvas->AssignBrushColor(b, b->Color(), Bands()->GetBandBackColor(b));
  Canvas->Pen->SetStyle(psClear);
  Canvas->Rectangle(Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1);
}

void TGridBandToolEdit::Draw3D1Click() {
  TGridBandBrush* b = CurrentBand();
  if (!b) return;
  b->SetColor(EditColor(this, b->Color()));
  Draw3D1->Invalidate();
}

// =============================================================================================
// Annotation

namespace {
const TAlignment kTextAlign[] = {taLeftJustify, taCenter, taRightJustify};
}

TAnnotationToolEdit::TAnnotationToolEdit(TComponent* AOwner) : TForm(AOwner) {
  SetName("AnnotationToolEdit");
  SetClientWidth(340);
  SetClientHeight(240);
  PageControl1 = Make<TPageControl>(this, this, "PageControl1", "", 0, 0, 340, 240);
  PageControl1->SetAlign(alClient);
  TabOptions = edkit::Tab(this, PageControl1, "TabOptions", "Options");
  TabPosition = edkit::Tab(this, PageControl1, "TabPosition", "Position");
  TabSize = edkit::Tab(this, PageControl1, "TabSize", "Size");
  TabCallout = edkit::Tab(this, PageControl1, "TabCallout", "Callout");

  // Options.
  MemoText = Make<TMemo>(this, TabOptions, "MemoText", "", 8, 24, 310, 76);
  Lbl(this, TabOptions, "LText", "&Text:", 8, 2, MemoText);
  MemoText->OnChange = [this](TObject*) {
    if (!FTool || FLoading) return;
    // Lines stay separated by carriage returns alone.
    std::string text;
    for (int i = 0; i < MemoText->Lines()->Count(); ++i) {
      if (i) text += '\r';
      text += MemoText->Lines()->Strings(i);
    }
    text.erase(std::remove(text.begin(), text.end(), '\n'), text.end());
    FTool->SetText(text);
  };
  CBTextAlign = Cmb(this, TabOptions, "CBTextAlign", 104, 108, 110, {"Left", "Center", "Right"});
  Lbl(this, TabOptions, "LTextAlign", "Text &alignment:", 8, 108, CBTextAlign);
  CBTextAlign->OnChange = [this](TObject*) {
    const int i = CBTextAlign->ItemIndex();
    if (FTool && !FLoading && i >= 0) FTool->SetTextAlignment(kTextAlign[i]);
  };
  CBCursor = Cmb(this, TabOptions, "CBCursor", 104, 136, 150, {});
  Lbl(this, TabOptions, "LCursor", "&Cursor:", 8, 136, CBCursor);
  CBCursor->OnChange = [this](TObject*) {
    if (!FTool || FLoading || CBCursor->ItemIndex() < 0) return;
    FTool->SetCursor(static_cast<TCursor>(CursorFromName(FTool->Cursor(), CBCursor->Text())));
  };

  // Position.
  CBPos = Cmb(this, TabPosition, "CBPos", 80, 8, 120, {"Left top", "Left bottom", "Right top", "Right bottom"});
  Lbl(this, TabPosition, "LPos", "&Auto:", 8, 8, CBPos, 70);
  CBPos->OnChange = [this](TObject*) {
    const int i = CBPos->ItemIndex();
    if (!FTool || FLoading || i < 0) return;
    FTool->SetPosition(static_cast<TAnnotationPosition>(i));
    FTool->Shape()->SetCustomPosition(false);
    UpdatePositionControls();
  };
  CBCustPos = Chk(this, TabPosition, "CBCustPos", "&Custom", 8, 40, 100);
  CBCustPos->OnClick = [this](TObject*) {
    if (!FTool || FLoading) return;
    FTool->Shape()->SetCustomPosition(CBCustPos->Checked());
    UpdatePositionControls();
  };
  ECustLeft = Ed(this, TabPosition, "ECustLeft", 80, 66);
  UDLeft = UD(this, TabPosition, "UDLeft", ECustLeft, -100, 1000, 5);
  Lbl(this, TabPosition, "LLeft", "L&eft:", 8, 66, ECustLeft, 70);
  ECustTop = Ed(this, TabPosition, "ECustTop", 80, 94);
  UDTop = UD(this, TabPosition, "UDTop", ECustTop, -100, 1000, 5);
  Lbl(this, TabPosition, "LTop", "T&op:", 8, 94, ECustTop, 70);
  WhenTyped(ECustLeft, UDLeft, [this](int V) {
    if (FTool && !FLoading && FTool->Shape()->CustomPosition()) FTool->SetLeft(V);
  });
  WhenTyped(ECustTop, UDTop, [this](int V) {
    if (FTool && !FLoading && FTool->Shape()->CustomPosition()) FTool->SetTop(V);
  });
  CBUnits = Cmb(this, TabPosition, "CBUnits", 80, 122, 90, {"Percent", "Pixels"});
  Lbl(this, TabPosition, "LUnits", "&Units:", 8, 122, CBUnits, 70);
  CBUnits->OnChange = [this](TObject*) {
    if (!FTool || FLoading) return;
    if (CBUnits->ItemIndex() == 1) {
      FTool->SetPositionUnits(muPixels);
      return;
    }
    FTool->SetPositionUnits(muPercent);
    if (UDLeft->Position() > 100) UDLeft->SetPosition(100);
    if (UDTop->Position() > 100) UDTop->SetPosition(100);
  };

  // Size.
  CBAutoSize = Chk(this, TabSize, "CBAutoSize", "&Automatic", 8, 8, 120);
  CBAutoSize->OnClick = [this](TObject*) {
    if (!FTool || FLoading) return;
    FTool->SetAutoSize(CBAutoSize->Checked());
    UpdateSizeControls();
  };
  ECustWidth = Ed(this, TabSize, "ECustWidth", 80, 36);
  UDWidth = UD(this, TabSize, "UDWidth", ECustWidth, 0, 2000);
  Lbl(this, TabSize, "LWidth", "&Width:", 8, 36, ECustWidth, 70);
  ECustHeight = Ed(this, TabSize, "ECustHeight", 80, 64);
  UDHeight = UD(this, TabSize, "UDHeight", ECustHeight, 0, 2000);
  Lbl(this, TabSize, "LHeight", "&Height:", 8, 64, ECustHeight, 70);
  WhenTyped(ECustWidth, UDWidth, [this](int V) {
    if (FTool && !FLoading && !FTool->AutoSize()) FTool->SetWidth(V);
  });
  WhenTyped(ECustHeight, UDHeight, [this](int V) {
    if (FTool && !FLoading && !FTool->AutoSize()) FTool->SetHeight(V);
  });

  // Callout.
  BCalloutPen = Btn<TButtonPen>(this, TabCallout, "BCalloutPen", "&Border...", 8, 6);
  BCalloutPointer = Btn(this, TabCallout, "BCalloutPointer", "&Pointer...", 104, 6);
  BCalloutPointer->OnClick = [this](TObject*) {
    if (FTool) ShowPointerDialog(this, FTool->Callout());
  };
  GroupPosition = Make<TGroupBox>(this, TabCallout, "GroupPosition", "P&osition:", 8, 38, 120, 110);
  auto coord = [this](const char* Name, const char* Caption, int Y, void (TAnnotationCallout::*Set)(int32_t),
                      int32_t (TAnnotationCallout::*Get)() const) {
    TEdit* e = Ed(this, GroupPosition, Name, 36, Y, 70);
    Lbl(this, GroupPosition, (std::string("L") + Name).c_str(), Caption, 8, Y, e, 26);
    e->OnChange = [this, e, Set, Get](TObject*) {
      if (!FTool || !FShowing) return;
      TAnnotationCallout* c = FTool->Callout();
      (c->*Set)(StrToIntDef(e->Text(), (c->*Get)()));
    };
    return e;
  };
  EX = coord("EX", "X:", 20, &TAnnotationCallout::SetXPosition, &TAnnotationCallout::XPosition);
  EY = coord("EY", "Y:", 48, &TAnnotationCallout::SetYPosition, &TAnnotationCallout::YPosition);
  EZ = coord("EZ", "Z:", 76, &TAnnotationCallout::SetZPosition, &TAnnotationCallout::ZPosition);
  EArrowDist = Ed(this, TabCallout, "EArrowDist", 226, 44, 50);
  UDArrowDist = UD(this, TabCallout, "UDArrowDist", EArrowDist, -1000, 1000);
  Lbl(this, TabCallout, "LArrowDist", "&Distance:", 140, 44, EArrowDist, 84);
  WhenTyped(EArrowDist, UDArrowDist, [this](int V) {
    if (FTool && FShowing) FTool->Callout()->SetDistance(V);
  });
  CBHead = Cmb(this, TabCallout, "CBHead", 226, 72, 90, {"None", "Line", "Solid"});
  Lbl(this, TabCallout, "LHead", "&Arrow head:", 140, 72, CBHead, 84);
  CBHead->OnChange = [this](TObject*) {
    if (FTool && FShowing && CBHead->ItemIndex() >= 0)
      FTool->Callout()->SetArrowHead(static_cast<TArrowHeadStyle>(CBHead->ItemIndex()));
  };
  Edit1 = Ed(this, TabCallout, "Edit1", 226, 100, 50);
  UDHeadSize = UD(this, TabCallout, "UDHeadSize", Edit1, -1000, 1000);
  Lbl(this, TabCallout, "LHeadSize", "&Size:", 140, 100, Edit1, 84);
  WhenTyped(Edit1, UDHeadSize, [this](int V) {
    if (FTool && FShowing) FTool->Callout()->SetArrowHeadSize(V);
  });

  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  FormCreate(this);
}

void TAnnotationToolEdit::FormCreate(TObject*) {
  FLoading = true;
  SetAlign(alClient);
  if (!ShapeEditor) ShapeEditor = InsertShapeEditor(PageControl1, nullptr);
  PageControl1->SetActivePage(TabOptions);
}

void TAnnotationToolEdit::FormShow(TObject*) {
  FLoading = true;
  FShowing = false;
  FTool = dynamic_cast<TAnnotationTool*>(reinterpret_cast<TObject*>(Tag()));
  if (FTool) {
    ShapeEditor->RefreshControls(FTool->Shape());
    std::string text = FTool->Text();
    std::replace(text.begin(), text.end(), '\r', '\n');
    MemoText->SetText(text);
    const TAlignment a = FTool->TextAlignment();
    CBTextAlign->SetItemIndex(a == taLeftJustify ? 0 : a == taCenter ? 1 : 2);
    CBPos->SetItemIndex(static_cast<int>(FTool->Position()));
    CBUnits->SetItemIndex(FTool->PositionUnits() == muPixels ? 1 : 0);
    FillCursorCombo(CBCursor, FTool->Cursor());
    TAnnotationCallout* c = FTool->Callout();
    BCalloutPen->LinkPen(c->Arrow());
    EX->SetText(IntToStr(c->XPosition()));
    EY->SetText(IntToStr(c->YPosition()));
    EZ->SetText(IntToStr(c->ZPosition()));
    LoadPosition(UDArrowDist, c->Distance());
    CBHead->SetItemIndex(static_cast<int>(c->ArrowHead()));
    LoadPosition(UDHeadSize, c->ArrowHeadSize());
    UpdatePositionControls();
    UpdateSizeControls();
  }
  TranslateControlExcept(this, {CBCursor});
  FLoading = false;
  FShowing = FTool != nullptr;
}

void TAnnotationToolEdit::UpdatePositionControls() {
  if (!FTool) return;
  TFlagGuard g(FLoading);
  const bool custom = FTool->Shape()->CustomPosition();
  for (TControl* c : std::initializer_list<TControl*>{ECustLeft, ECustTop, UDLeft, UDTop, CBUnits})
    c->SetEnabled(custom);
  CBCustPos->SetChecked(custom);
  if (custom) {
    LoadPosition(UDLeft, FTool->Left());
    LoadPosition(UDTop, FTool->Top());
  }
}

void TAnnotationToolEdit::UpdateSizeControls() {
  if (!FTool) return;
  TFlagGuard g(FLoading);
  const bool automatic = FTool->AutoSize();
  for (TControl* c : std::initializer_list<TControl*>{ECustWidth, ECustHeight, UDWidth, UDHeight})
    c->SetEnabled(!automatic);
  CBAutoSize->SetChecked(automatic);
  if (!automatic) {
    LoadPosition(UDWidth, FTool->Width());
    LoadPosition(UDHeight, FTool->Height());
  }
}
