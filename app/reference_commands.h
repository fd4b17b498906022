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

// The second-reference dialog: any reference the site offers, local E and H always, the remote
// channels when the file was processed with them.
class TSecRef1 : public TForm {
  VM_CLASS(TSecRef1, TForm)
public:
  explicit TSecRef1(TComponent* AOwner);
  TRadioGroup* RadioGroup1 = nullptr;
  TButton* BitBtn1 = nullptr;
  TButton* BitBtn2 = nullptr;
  // Replaces the stored items with the references of a site of ReferenceType, and selects the
  // one of CurrentReference (none when it is not a standard one).
  void Fill(int ReferenceType, int CurrentReference);
};
