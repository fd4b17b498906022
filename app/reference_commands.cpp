// The reference commands and the rotation window.
#include "app/reference_commands.h"

#include "app/child_form.h"
#include "app/main_form.h"
#include "app/site_session.h"
#include "app/stored_edit_dialog.h"
#include "controls/vx_spin.h"
#include "mtdata/open_site.h"
#include "mtdata/site_file.h"
#include "platform/actnlist.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TAnglChg1)
VM_DEFINE_CLASS(TSecRef1)

TAnglChg1* AnglChg1 = nullptr;

void TMainForm1::LEExecute(TObject* Sender) {
  if (!CurrentSite) return;
  auto* chosen = static_cast<TAction*>(Sender);
  for (TAction* a : {AcLE, AcLH, AcRE, AcRH}) a->SetChecked(false);
  chosen->SetChecked(true);
  Session->ShowReference(static_cast<int>(chosen->Tag()), this);
}

void TMainForm1::OtherReference1Click(TObject*) {
  if (!CurrentSite) return;
  TSecRef1 dialog(this);
  dialog.Fill(CurrentSite->ReferenceType, CurrentSite->CurrentReference);
  if (dialog.ShowModal() != mrOk) return;
  // OK with nothing chosen (a site on a reference that is not a standard one) changes nothing.
  const int chosen = dialog.RadioGroup1->ItemIndex();
  if (chosen < 0) return;
  Session->ShowReference(chosen, this);
  CheckReferenceAction(CurrentSite->CurrentReference);
}

void TMainForm1::AngleChgExecute(TObject*) {
  if (!CurrentSite) return;
  ShowForm(AnglChg1);
  AnglChg1->RadioGroup1->SetItemIndex(CurrentSite->RotationMode);
  AnglChg1->Edit1->SetText(FormatFloat("0.##", CurrentSite->RotationAngle));
}

TAnglChg1::TAnglChg1(TComponent* AOwner) : TForm(AOwner) {
  SetName("AnglChg1");
  SetFormStyle(fsMDIChild);
  SetBorderStyle(bsToolWindow);
  SetCaption("Rotate");
  PlaceInFrame(this, 660, 340, 220, 170);
  OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
  RadioGroup1 = new TRadioGroup(this);
  RadioGroup1->SetName("RadioGroup1");
  RadioGroup1->SetParent(this);
  RadioGroup1->SetCaption("Rotate to ");
  RadioGroup1->SetBounds(8, 4, 196, 64);
  RadioGroup1->Items()->Add("Fix angle");
  RadioGroup1->Items()->Add("Strike angle");
  RadioGroup1->SetItemIndex(0);
  RadioGroup1->OnClick = [this](TObject* s) { RadioGroup1Click(s); };
  auto* l1 = new TLabel(this);
  l1->SetParent(this);
  l1->SetCaption("Angle:");
  l1->SetBounds(8, 80, 40, 16);
  Edit1 = new TVxSpinEdit(this);
  Edit1->SetName("Edit1");
  Edit1->SetParent(this);
  Edit1->SetValueType(vtFloat);
  Edit1->SetDecimal(1);
  Edit1->SetIncrement(10);
  Edit1->SetMinValue(-360);
  Edit1->SetMaxValue(360);
  Edit1->SetBounds(52, 76, 80, 22);
  auto* l2 = new TLabel(this);
  l2->SetParent(this);
  l2->SetCaption("degrees");
  l2->SetBounds(138, 80, 60, 16);
  BitBtn1 = new TButton(this);
  BitBtn1->SetName("BitBtn1");
  BitBtn1->SetParent(this);
  BitBtn1->SetCaption("Apply");
  BitBtn1->SetDefault(true);
  BitBtn1->SetBounds(60, 108, 90, 26);
  BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
  KeepPlacement(this, "TAnglChg1");
}

void TAnglChg1::RadioGroup1Click(TObject*) {
  if (RadioGroup1->ItemIndex() == 1) {
    Edit1->SetText("0");
    Edit1->SetEnabled(false);
  } else {
    Edit1->SetEnabled(true);
  }
}

void TAnglChg1::BitBtn1Click(TObject*) {
  if (!CurrentSite || !SiteSession) return;
  // The mode is set before the angle is read: a text that is no number leaves the mode in force.
  CurrentSite->RotationMode = RadioGroup1->ItemIndex();
  SiteSession->Rotate(RadioGroup1->ItemIndex(), StrToFloat(Trim(Edit1->Text())), this);
}

TSecRef1::TSecRef1(TComponent* AOwner) : TForm(AOwner) {
  SetName("SecRef1");
  SetBorderStyle(bsDialog);
  SetPosition(poMainFormCenter);
  SetCaption("Second Reference");
  SetClientWidth(224);
  SetClientHeight(150);
  RadioGroup1 = new TRadioGroup(this);
  RadioGroup1->SetName("RadioGroup1");
  RadioGroup1->SetParent(this);
  RadioGroup1->SetCaption("Second Reference");
  RadioGroup1->SetBounds(8, 8, 208, 96);
  RadioGroup1->Items()->Add("Local E");
  RadioGroup1->Items()->Add("Local H");
  auto button = [this](const char* Name, const char* Caption, TModalResult Result, int Left) {
    auto* b = new TButton(this);
    b->SetName(Name);
    b->SetParent(this);
    b->SetCaption(Caption);
    b->SetModalResult(Result);
    b->SetBounds(Left, 114, 96, 28);
    return b;
  };
  BitBtn1 = button("BitBtn1", "OK", mrOk, 8);
  BitBtn1->SetDefault(true);
  BitBtn2 = button("BitBtn2", "Cancel", mrCancel, 120);
  BitBtn2->SetCancel(true);
  OnShow = [this](TObject*) {
    if (ModalDialogHook) ModalDialogHook(this);
  };
}

void TSecRef1::Fill(int ReferenceType, int CurrentReference) {
  TStrings* items = RadioGroup1->Items();
  items->Clear();
  items->Add("LE");
  items->Add("LH");
  if (ReferenceType == frtRemoteE) items->Add("RE");
  if (ReferenceType == frtRemoteH) items->Add("RH");
  int index = -1;
  if (CurrentReference == frtLocalE)
    index = 0;
  else if (CurrentReference == frtLocalH)
    index = 1;
  else if ((CurrentReference == frtRemoteE || CurrentReference == frtRemoteH) && items->Count() > 2)
    index = 2;
  RadioGroup1->SetItemIndex(index);
}
