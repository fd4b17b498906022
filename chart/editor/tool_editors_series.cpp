// The editor forms of the series tools (cursor, nearest point, drawn lines, image, mark tips,
// dragged marks, animation) and of the rotate tool.
#include <memory>

#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/series_page.h"
#include "chart/editor/tool_editors.h"
#include "chart/editor/tool_editors_kit.h"
#include "chart/engine/axis_panel.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/series_marks.h"
#include "chart/extra/pen_dialog.h"
#include "chart/series/tools_annotation.h"
#include "chart/series/tools_cursor.h"
#include "chart/series/tools_drawline.h"
#include "chart/series/tools_marks.h"
#include "chart/series/tools_misc.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "platform/picture.h"
#include "platform/stdctrls.h"
#include "platform/updown.h"

VM_DEFINE_CLASS(TCursorToolEditor)
VM_DEFINE_CLASS(TDrawLineEdit)
VM_DEFINE_CLASS(TChartImageToolEditor)
VM_DEFINE_CLASS(TRotateToolEditor)
VM_DEFINE_CLASS(TNearestToolEdit)
VM_DEFINE_CLASS(TMarksTipToolEdit)
VM_DEFINE_CLASS(TDragMarksToolEditor)
VM_DEFINE_CLASS(TSeriesAnimToolEditor)

using namespace formkit;
using edkit::Make;
using edkit::TFlagGuard;

void RegisterSeriesToolEditorForms() {
  for (TClass c : {TCursorToolEditor::StaticClass(), TDrawLineEdit::StaticClass(), TChartImageToolEditor::StaticClass(),
                   TRotateToolEditor::StaticClass(), TNearestToolEdit::StaticClass(), TMarksTipToolEdit::StaticClass(),
                   TDragMarksToolEditor::StaticClass(), TSeriesAnimToolEditor::StaticClass()})
    if (!GetClass(c->ClassName())) RegisterClass(c);
}

namespace {
// The series combo's first entry, for the tools whose "no series" means every series.
void NameFirstEntry(TComboBox* Combo, const std::string& Text) {
  if (Combo->Items()->Count() == 0) return;
  const int keep = Combo->ItemIndex();
  Combo->Items()->Delete(0);
  Combo->Items()->InsertObject(0, Text, nullptr);
  Combo->SetItemIndex(keep < 0 ? 0 : keep);
}
}  // namespace

// =============================================================================================
// Cursor

TCursorToolEditor::TCursorToolEditor(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
  SetName("CursorToolEditor");
  SetClientWidth(320);
  SetClientHeight(176);
  CBStyle = Cmb(this, this, "CBStyle", 78, 36, 110, {"Horizontal", "Vertical", "Both"});
  Lbl(this, this, "LStyle", "S&tyle:", 8, 36, CBStyle, 66);
  CBStyle->OnChange = [this](TObject*) {
    if (Cursor() && !FLoading && CBStyle->ItemIndex() >= 0)
      Cursor()->SetStyle(static_cast<TCursorToolStyle>(CBStyle->ItemIndex()));
  };
  CBSnap = Chk(this, this, "CBSnap", "S&nap", 8, 64, 120);
  CBSnap->OnClick = [this](TObject*) {
    if (Cursor() && !FLoading) Cursor()->SetSnap(CBSnap->Checked());
  };
  CBZ = Chk(this, this, "CBZ", "Use Series &Z", 140, 64, 160);
  CBZ->OnClick = [this](TObject*) {
    if (Cursor() && !FLoading) Cursor()->SetUseSeriesZ(CBZ->Checked());
  };
  CBFollow = Chk(this, this, "CBFollow", "&Follow mouse", 8, 88, 160);
  CBFollow->OnClick = [this](TObject*) {
    if (Cursor() && !FLoading) Cursor()->SetFollowMouse(CBFollow->Checked());
  };
  BPen = Btn<TButtonPen>(this, this, "BPen", "&Pen...", 8, 114);
  EPixels = Ed(this, this, "EPixels", 110, 146, 44);
  UDClick = UD(this, this, "UDClick", EPixels, 0, 1000);
  Lbl(this, this, "LClick", "Click &tolerance:", 8, 146, EPixels, 100);
  Make<TLabel>(this, this, "LPixels", "pixels", 176, 149, 60, 16);
  WhenTyped(EPixels, UDClick, [this](int V) {
    if (Cursor() && !FLoading) Cursor()->SetClickTolerance(V);
  });
}

TCursorTool* TCursorToolEditor::Cursor() const { return dynamic_cast<TCursorTool*>(FTool); }

void TCursorToolEditor::EnableSeriesOptions() {
  const bool has = Cursor() && Cursor()->Series();
  CBSnap->SetEnabled(has);
  CBZ->SetEnabled(has);
}

void TCursorToolEditor::FormShow(TObject* Sender) {
  TFlagGuard g(FLoading);
  TSeriesToolEditor::FormShow(Sender);
  EnableSeriesOptions();
  TCursorTool* t = Cursor();
  if (!t) return;
  CBStyle->SetItemIndex(static_cast<int>(t->Style()));
  CBSnap->SetChecked(t->Snap());
  CBZ->SetChecked(t->UseSeriesZ());
  CBFollow->SetChecked(t->FollowMouse());
  BPen->LinkPen(t->Pen());
  LoadPosition(UDClick, t->ClickTolerance());
}

void TCursorToolEditor::CBSeriesChange(TObject* Sender) {
  TSeriesToolEditor::CBSeriesChange(Sender);
  EnableSeriesOptions();
}

// =============================================================================================
// Draw line

TDrawLineEdit::TDrawLineEdit(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
  SetName("DrawLineEdit");
  SetClientWidth(320);
  SetClientHeight(176);
  CBButton = Cmb(this, this, "CBButton", 108, 36, 90, {"Left", "Right", "Middle"});
  Lbl(this, this, "LButton", "&Mouse button:", 8, 36, CBButton, 98);
  CBButton->OnChange = [this](TObject*) {
    if (Lines() && !FLoading && CBButton->ItemIndex() >= 0)
      Lines()->SetButton(static_cast<TMouseButton>(CBButton->ItemIndex()));
  };
  CBEnable = Chk(this, this, "CBEnable", "&Enable drawing", 8, 64);
  CBEnable->OnClick = [this](TObject*) {
    if (Lines() && !FLoading) Lines()->SetEnableDraw(CBEnable->Checked());
  };
  CBSelect = Chk(this, this, "CBSelect", "E&nable Select", 8, 86);
  CBSelect->OnClick = [this](TObject*) {
    if (Lines() && !FLoading) Lines()->SetEnableSelect(CBSelect->Checked());
  };
  CBSelectNew = Chk(this, this, "CBSelectNew", "Select ne&w lines", 8, 108, 180);
  CBSelectNew->OnClick = [this](TObject*) {
    if (Lines() && !FLoading) Lines()->SetSelectNewLines(CBSelectNew->Checked());
  };
  BPen = Btn<TButtonPen>(this, this, "BPen", "&Pen...", 200, 64);
  EPixels = Ed(this, this, "EPixels", 110, 140, 44);
  UDClick = UD(this, this, "UDClick", EPixels, 0, 1000);
  Lbl(this, this, "LClick", "Click &tolerance:", 8, 140, EPixels, 100);
  Make<TLabel>(this, this, "LPixels", "pixels", 176, 143, 60, 16);
  WhenTyped(EPixels, UDClick, [this](int V) {
    if (Lines() && !FLoading) Lines()->SetClickTolerance(V);
  });
}

TDrawLineTool* TDrawLineEdit::Lines() const { return dynamic_cast<TDrawLineTool*>(FTool); }

void TDrawLineEdit::FormShow(TObject* Sender) {
  TFlagGuard g(FLoading);
  TSeriesToolEditor::FormShow(Sender);
  TDrawLineTool* t = Lines();
  if (!t) return;
  CBButton->SetItemIndex(static_cast<int>(t->Button()));
  CBEnable->SetChecked(t->EnableDraw());
  CBSelect->SetChecked(t->EnableSelect());
  CBSelectNew->SetChecked(t->SelectNewLines());
  BPen->LinkPen(t->Pen());
  LoadPosition(UDClick, t->ClickTolerance());
}

// =============================================================================================
// Image

TChartImageToolEditor::TChartImageToolEditor(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
  SetName("ChartImageToolEditor");
  SetClientWidth(320);
  SetClientHeight(176);
  GroupBox1 = Make<TGroupBox>(this, this, "GroupBox1", "Image:", 8, 36, 200, 132);
  Image1 = Make<TImage>(this, GroupBox1, "Image1", "", 8, 18, 184, 106);
  Image1->SetStretch(true);
  Button1 = Btn(this, this, "Button1", "B&rowse...", 218, 40);
  Button1->OnClick = [this](TObject*) { Button1Click(); };
  BSave = Btn(this, this, "BSave", "&Save...", 218, 72);
  BSave->OnClick = [this](TObject*) { BSaveClick(); };
}

TChartImageTool* TChartImageToolEditor::ImageTool() const { return dynamic_cast<TChartImageTool*>(FTool); }

void TChartImageToolEditor::RefreshImage() {
  TChartImageTool* t = ImageTool();
  const bool has = t && t->Picture()->Graphic();
  Image1->Picture()->Assign(t ? t->Picture() : nullptr);
  Button1->SetCaption(has ? "Clea&r" : "B&rowse...");
  BSave->SetEnabled(has);
  TranslateControl(Button1);
}

void TChartImageToolEditor::FormShow(TObject* Sender) {
  TSeriesToolEditor::FormShow(Sender);
  RefreshImage();
}

void TChartImageToolEditor::Button1Click() {
  TChartImageTool* t = ImageTool();
  if (!t) return;
  if (t->Picture()->Graphic()) {
    t->Picture()->SetGraphic(nullptr);
  } else {
    const std::string file = AskPictureFileName(this);
    if (file.empty()) return;
    t->Picture()->LoadFromFile(file);
  }
  t->Repaint();
  RefreshImage();
}

void TChartImageToolEditor::BSaveClick() {
  TChartImageTool* t = ImageTool();
  if (!t || !t->Picture()->Graphic()) return;
  TSaveDialog d(this);
  // The first extension registered for the picture's graphic class.
  std::string ext;
  for (const std::string& e : TPicture::RegisteredExtensions()) {
    std::unique_ptr<TGraphic> g(TPicture::CreateForExtension(e));
    if (g && g->ClassType() == t->Picture()->Graphic()->ClassType()) {
      ext = e;
      break;
    }
  }
  // The filter of the picture's own format only.
  std::string filter;
  const std::string all = TPicture::GraphicFilter();
  size_t start = 0;
  while (start < all.size()) {
    const size_t bar1 = all.find('|', start);
    if (bar1 == std::string::npos) break;
    size_t bar2 = all.find('|', bar1 + 1);
    if (bar2 == std::string::npos) bar2 = all.size();
    const std::string mask = all.substr(bar1 + 1, bar2 - bar1 - 1);
    if (filter.empty() && !ext.empty() && SameText(mask, "*." + ext)) filter = all.substr(start, bar2 - start);
    start = bar2 + 1;
  }
  d.SetFilter(filter.empty() ? all : filter);
  d.SetDefaultExt(ext);
  if (d.Execute()) t->Picture()->SaveToFile(d.FileName());
}

// =============================================================================================
// Rotate

namespace {
const TMouseButton kRotateButtons[] = {mbLeft, mbMiddle, mbRight};
}

TRotateToolEditor::TRotateToolEditor(TComponent* AOwner) : TForm(AOwner) {
  SetName("RotateToolEditor");
  SetClientWidth(260);
  SetClientHeight(130);
  CBInverted = Chk(this, this, "CBInverted", "&Inverted", 8, 8, 120);
  CBInverted->OnClick = [this](TObject*) {
    if (FTool && !FLoading) FTool->SetInverted(CBInverted->Checked());
  };
  CBStyle = Cmb(this, this, "CBStyle", 70, 34, 110, {"All", "Rotation", "Elevation"});
  Lbl(this, this, "LStyle", "&Style:", 8, 34, CBStyle, 60);
  CBStyle->OnChange = [this](TObject*) {
    if (FTool && !FLoading && CBStyle->ItemIndex() >= 0)
      FTool->SetStyle(static_cast<TRotateToolStyles>(CBStyle->ItemIndex()));
  };
  CBButton = Cmb(this, this, "CBButton", 70, 62, 110, {"Left", "Middle", "Right"});
  Lbl(this, this, "LButton", "&Button:", 8, 62, CBButton, 60);
  CBButton->OnChange = [this](TObject*) {
    if (FTool && !FLoading && CBButton->ItemIndex() >= 0) FTool->SetButton(kRotateButtons[CBButton->ItemIndex()]);
  };
  BOutline = Btn<TButtonPen>(this, this, "BOutline", "&Outline...", 8, 94);
  OnShow = [this](TObject* s) { FormShow(s); };
  SetAlign(alClient);
}

void TRotateToolEditor::FormShow(TObject*) {
  TFlagGuard g(FLoading);
  FTool = dynamic_cast<TRotateTool*>(reinterpret_cast<TObject*>(Tag()));
  if (!FTool) return;
  CBInverted->SetChecked(FTool->Inverted());
  CBStyle->SetItemIndex(static_cast<int>(FTool->Style()));
  CBButton->SetItemIndex(FTool->Button() == mbLeft ? 0 : FTool->Button() == mbMiddle ? 1 : 2);
  BOutline->LinkPen(FTool->Pen());
}

// =============================================================================================
// Nearest point

TNearestToolEdit::TNearestToolEdit(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
  SetName("NearestToolEdit");
  SetClientWidth(320);
  SetClientHeight(176);
  BPen = Btn<TButtonPen>(this, this, "BPen", "&Pen...", 8, 36);
  BLine = Btn<TButtonPen>(this, this, "BLine", "&Line...", 104, 36);
  Button1 = Btn(this, this, "Button1", "&Brush...", 200, 36);
  Button1->OnClick = [this](TObject*) {
    if (Nearest()) ShowBrushDialog(this, Nearest()->Brush());
  };
  CBStyle = Cmb(this, this, "CBStyle", 78, 70, 110, {"None", "Circle", "Rectangle", "Diamond"});
  Lbl(this, this, "LStyle", "S&tyle:", 8, 70, CBStyle, 66);
  CBStyle->OnChange = [this](TObject*) {
    if (Nearest() && !FLoading && CBStyle->ItemIndex() >= 0)
      Nearest()->SetStyle(static_cast<TNearestToolStyle>(CBStyle->ItemIndex()));
  };
  Edit1 = Ed(this, this, "Edit1", 78, 98, 44);
  UDSize = UD(this, this, "UDSize", Edit1, 0, 200);
  Lbl(this, this, "LSize", "S&ize:", 8, 98, Edit1, 66);
  WhenTyped(Edit1, UDSize, [this](int V) {
    if (Nearest() && !FLoading) Nearest()->SetSize(V);
  });
  CBFull = Chk(this, this, "CBFull", "&Full Repaint", 8, 128);
  CBFull->OnClick = [this](TObject*) {
    if (Nearest() && !FLoading) Nearest()->SetFullRepaint(CBFull->Checked());
  };
}

TNearestTool* TNearestToolEdit::Nearest() const { return dynamic_cast<TNearestTool*>(FTool); }

void TNearestToolEdit::FormShow(TObject* Sender) {
  TFlagGuard g(FLoading);
  TSeriesToolEditor::FormShow(Sender);
  TNearestTool* t = Nearest();
  if (!t) return;
  BPen->LinkPen(t->Pen());
  BLine->LinkPen(t->LinePen());
  CBStyle->SetItemIndex(static_cast<int>(t->Style()));
  LoadPosition(UDSize, t->Size());
  CBFull->SetChecked(t->FullRepaint());
}

// =============================================================================================
// Mark tips

TMarksTipToolEdit::TMarksTipToolEdit(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
  SetName("MarksTipToolEdit");
  SetClientWidth(320);
  SetClientHeight(176);
  CBMarkStyle = Cmb(this, this, "CBMarkStyle", 78, 36, 170, {});
  Lbl(this, this, "LMarkStyle", "S&tyle:", 8, 36, CBMarkStyle, 66);
  {
    // The mark-style texts are the series page's own.
    std::unique_ptr<TFormGraphSeries> page(new TFormGraphSeries(nullptr));
    CBMarkStyle->Items()->Assign(*page->CBMarkStyle->Items());
  }
  CBMarkStyle->OnChange = [this](TObject*) {
    if (Tip() && !FLoading && CBMarkStyle->ItemIndex() >= 0)
      Tip()->SetStyle(static_cast<TSeriesMarksStyle>(CBMarkStyle->ItemIndex()));
  };
  RGMouseAction = Make<TRadioGroup>(this, this, "RGMouseAction", "Mouse action:", 8, 66, 140, 66);
  RGMouseAction->Items()->Add("Move");
  RGMouseAction->Items()->Add("Click");
  RGMouseAction->OnClick = [this](TObject*) {
    if (Tip() && !FLoading && RGMouseAction->ItemIndex() >= 0)
      Tip()->SetMouseAction(static_cast<TMarkToolMouseAction>(RGMouseAction->ItemIndex()));
  };
  EDelay = Ed(this, this, "EDelay", 78, 142, 56);
  UDDelay = UD(this, this, "UDDelay", EDelay, 0, 30000, 50);
  Lbl(this, this, "LDelay", "&Delay:", 8, 142, EDelay, 66);
  Make<TLabel>(this, this, "LMsec", "msec", 156, 145, 50, 16);
  WhenTyped(EDelay, UDDelay, [this](int V) {
    if (Tip() && !FLoading) Tip()->SetMouseDelay(V);
  });
}

TMarksTipTool* TMarksTipToolEdit::Tip() const { return dynamic_cast<TMarksTipTool*>(FTool); }

void TMarksTipToolEdit::FormShow(TObject* Sender) {
  TFlagGuard g(FLoading);
  TSeriesToolEditor::FormShow(Sender);
  NameFirstEntry(CBSeries, "(all)");
  TMarksTipTool* t = Tip();
  if (!t) return;
  CBMarkStyle->SetItemIndex(static_cast<int>(t->Style()));
  RGMouseAction->SetItemIndex(static_cast<int>(t->MouseAction()));
  LoadPosition(UDDelay, t->MouseDelay());
}

// =============================================================================================
// Dragged marks

TDragMarksToolEditor::TDragMarksToolEditor(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
  SetName("DragMarksToolEditor");
  SetClientWidth(240);
  SetClientHeight(80);
  Button1 = Btn(this, this, "Button1", "&Reset positions", 78, 40, 145);
  Button1->OnClick = [this](TObject*) { Button1Click(); };
}

void TDragMarksToolEditor::FormShow(TObject* Sender) {
  TSeriesToolEditor::FormShow(Sender);
  NameFirstEntry(CBSeries, "(all)");
}

void TDragMarksToolEditor::Button1Click() {
  if (!FTool) return;
  if (FTool->Series()) {
    FTool->Series()->Marks()->ResetPositions();
  } else if (TCustomAxisPanel* c = FTool->ParentChart()) {
    for (int i = 0; i < c->CountSeries(); ++i) c->SeriesAt(i)->Marks()->ResetPositions();
  }
}

// =============================================================================================
// Series animation

TSeriesAnimToolEditor::TSeriesAnimToolEditor(TComponent* AOwner) : TSeriesToolEditor(AOwner) {
  SetName("SeriesAnimToolEditor");
  SetClientWidth(320);
  SetClientHeight(190);
  SBSteps = Make<TScrollBar>(this, this, "SBSteps", "", 78, 38, 170, 18);
  SBSteps->SetParams(100, 1, 1000);
  SBSteps->SetTabStop(true);
  Lbl(this, this, "LStepsCaption", "S&teps:", 8, 36, SBSteps, 66);
  LSteps = Make<TLabel>(this, this, "LSteps", "100", 254, 39, 50, 16);
  SBSteps->OnChange = [this](TObject*) {
    LSteps->SetCaption(IntToStr(SBSteps->Position()));
    if (Anim() && !FLoading) Anim()->SetSteps(SBSteps->Position());
  };
  CBStartMin = Chk(this, this, "CBStartMin", "St&art at Min. value", 8, 64, 180);
  CBStartMin->OnClick = [this](TObject*) {
    EStart->SetEnabled(!CBStartMin->Checked());
    if (Anim() && !FLoading) Anim()->SetStartAtMin(CBStartMin->Checked());
  };
  EStart = Ed(this, this, "EStart", 150, 88, 80);
  Lbl(this, this, "LStart", "Start &Value:", 8, 88, EStart, 140);
  EStart->OnChange = [this](TObject*) {
    if (Anim() && !FLoading) Anim()->SetStartValue(NumberOr(EStart, Anim()->StartValue()));
  };
  Edit1 = Ed(this, this, "Edit1", 100, 116, 44);
  UpDown1 = UD(this, this, "UpDown1", Edit1, 0, 100);
  Lbl(this, this, "LDrawEvery", "&Draw every:", 8, 116, Edit1, 90);
  WhenTyped(Edit1, UpDown1, [this](int V) {
    if (Anim() && !FLoading) Anim()->SetDrawEvery(V);
  });
  ComboFlat1 = Cmb(this, this, "ComboFlat1", 100, 144, 100, {"No", "One way", "Circular"});
  Lbl(this, this, "LLoop", "&Loop:", 8, 144, ComboFlat1, 90);
  ComboFlat1->OnChange = [this](TObject*) {
    if (Anim() && !FLoading && ComboFlat1->ItemIndex() >= 0)
      Anim()->SetLoop(static_cast<TSeriesAnimationLoop>(ComboFlat1->ItemIndex()));
  };
  Button1 = Btn(this, this, "Button1", "&Execute !", 218, 142);
  Button1->OnClick = [this](TObject*) { Button1Click(); };
  // The animation runs inside the click that started it: the form stays until it ends.
  OnCloseQuery = [this](TObject*, bool& CanClose) { CanClose = !(Anim() && Anim()->Running()); };
}

TSeriesAnimationTool* TSeriesAnimToolEditor::Anim() const { return dynamic_cast<TSeriesAnimationTool*>(FTool); }

void TSeriesAnimToolEditor::FormShow(TObject* Sender) {
  TFlagGuard g(FLoading);
  TSeriesToolEditor::FormShow(Sender);
  TSeriesAnimationTool* t = Anim();
  if (!t) return;
  SBSteps->SetPosition(t->Steps());
  LSteps->SetCaption(IntToStr(SBSteps->Position()));
  CBStartMin->SetChecked(t->StartAtMin());
  EStart->SetText(FloatToStr(t->StartValue()));
  EStart->SetEnabled(!t->StartAtMin());
  LoadPosition(UpDown1, t->DrawEvery());
  ComboFlat1->SetItemIndex(static_cast<int>(t->Loop()));
  Button1->SetCaption(t->Running() ? "Stop" : "&Execute !");
  Button1->SetEnabled(t->Series() != nullptr);
  TranslateControl(Button1);
}

void TSeriesAnimToolEditor::CBSeriesChange(TObject* Sender) {
  TSeriesToolEditor::CBSeriesChange(Sender);
  Button1->SetEnabled(Anim() && Anim()->Series());
}

void TSeriesAnimToolEditor::Button1Click() {
  TSeriesAnimationTool* t = Anim();
  if (!t) return;
  if (t->Running()) {
    t->Stop();
    return;
  }
  Button1->SetCaption("Stop");
  TranslateControl(Button1);
  t->Play();
  t->Stop();
  Button1->SetCaption("&Execute !");
  TranslateControl(Button1);
}
