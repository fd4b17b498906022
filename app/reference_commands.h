// The rotation window: the rotation of the measurement axes of the open site.
#pragma once

#include "platform/forms.h"

class TButton;
class TRadioGroup;
class TVxSpinEdit;

class TAnglChg1 : public TForm {
  VM_CLASS(TAnglChg1, TForm)
public:
  explicit TAnglChg1(TComponent* AOwner);
  TRadioGroup* RadioGroup1 = nullptr;
  TVxSpinEdit* Edit1 = nullptr;
  TButton* BitBtn1 = nullptr;
  void RadioGroup1Click(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
};

extern TAnglChg1* AnglChg1;
