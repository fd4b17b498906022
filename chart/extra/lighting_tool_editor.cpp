#include "chart/extra/lighting_tool_editor.h"

#include "chart/engine/axis_panel.h"
#include "platform/comctrls.h"
#include "platform/stdctrls.h"

VM_DEFINE_CLASS(TLightToolEditor)

TLightToolEditor::TLightToolEditor(TComponent* AOwner) : TForm(AOwner) {
  SetName("LightToolEditor");
  SetCaption("Quorvex Lighting");
  SetClientWidth(260);
  SetClientHeight(160);
  auto label = [this](const char* Name, const char* Caption, int Top, TWinControl* Focus) {
    auto* l = new TLabel(this);
    l->SetName(Name);
    l->SetParent(this);
    l->SetBounds(8, Top, 50, 13);
    l->SetCaption(Caption);
    l->SetFocusControl(Focus);
    return l;
  };
  auto bar = [this](const char* Name, int Top, int Max, void (TLightToolEditor::*Handler)(TObject*)) {
    auto* t = new TTrackBar(this);
    t->SetName(Name);
    t->SetParent(this);
    t->SetBounds(60, Top, 190, 24);
    t->SetMax(Max);
    t->OnChange = [this, Handler](TObject* s) { (this->*Handler)(s); };
    return t;
  };
  CheckBox2 = new TCheckBox(this);
  CheckBox2->SetName("CheckBox2");
  CheckBox2->SetParent(this);
  CheckBox2->SetBounds(8, 8, 150, 17);
  CheckBox2->SetCaption("&Follow mouse");
  CheckBox2->OnClick = [this](TObject* s) { CheckBox2Click(s); };
  TBLeft = bar("TBLeft", 32, 100, &TLightToolEditor::TBLeftChange);
  Label1 = label("Label1", "&Left:", 36, TBLeft);
  TBTop = bar("TBTop", 60, 100, &TLightToolEditor::TBTopChange);
  Label2 = label("Label2", "&Top:", 64, TBTop);
  CBStyle = new TComboBox(this);
  CBStyle->SetName("CBStyle");
  CBStyle->SetParent(this);
  CBStyle->SetBounds(60, 90, 120, 21);
  CBStyle->SetStyle(csDropDownList);
  CBStyle->Items()->Add("Linear");
  CBStyle->Items()->Add("Spotlight");
  CBStyle->OnChange = [this](TObject* s) { CBStyleChange(s); };
  Label3 = label("Label3", "&Style:", 94, CBStyle);
  TBFactor = bar("TBFactor", 120, 100, &TLightToolEditor::TBFactorChange);
  Label4 = label("Label4", "F&actor:", 124, TBFactor);
  OnCreate = [this](TObject* s) { FormCreate(s); };
  OnShow = [this](TObject* s) { FormShow(s); };
  FormCreate(this);
}

void TLightToolEditor::FormCreate(TObject*) {
  SetAlign(alClient);
  FLoading = true;
}

void TLightToolEditor::FormShow(TObject*) {
  FTool = reinterpret_cast<TLightTool*>(Tag());
  FLoading = true;
  if (FTool) {
    TCustomAxisPanel* chart = FTool->ParentChart();
    const TPoint at = FTool->LightPoint();
    TBLeft->SetMax(chart ? chart->Width() : 100);
    TBTop->SetMax(chart ? chart->Height() : 100);
    CheckBox2->SetChecked(FTool->FollowMouse());
    TBLeft->SetPosition(at.X);
    TBTop->SetPosition(at.Y);
    CBStyle->SetItemIndex(FTool->Style() == lsSpotLight ? 1 : 0);
    TBFactor->SetPosition(FTool->Factor());
  }
  FLoading = false;
}

void TLightToolEditor::CheckBox2Click(TObject*) {
  if (FTool && !FLoading) FTool->SetFollowMouse(CheckBox2->Checked());
}

void TLightToolEditor::TBLeftChange(TObject*) {
  if (FTool && !FLoading) FTool->SetLeft(TBLeft->Position());
}

void TLightToolEditor::TBTopChange(TObject*) {
  if (FTool && !FLoading) FTool->SetTop(TBTop->Position());
}

void TLightToolEditor::CBStyleChange(TObject*) {
  if (FTool && !FLoading) FTool->SetStyle(CBStyle->ItemIndex() == 1 ? lsSpotLight : lsLinear);
}

void TLightToolEditor::TBFactorChange(TObject*) {
  if (FTool && !FLoading) FTool->SetFactor(TBFactor->Position());
}
