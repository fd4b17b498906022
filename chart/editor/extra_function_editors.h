// The option forms of the compression and the volume and indicator functions. Like the other
// function forms they write nothing at once: a change enables the function editor's "&Apply".
#pragma once

#include "chart/editor/function_editors.h"

class TCheckBox;
class TComboBox;
class TEdit;
class TRadioButton;
class TUpDown;

// Registers the forms of this file by their class names (start-up; again is harmless).
void RegisterExtraFunctionEditorForms();

// Groups by a calendar period, a clock period or a number of points.
class TCompressFuncEditor : public TBaseFunctionEditor {
  VM_CLASS(TCompressFuncEditor, TBaseFunctionEditor)
public:
  explicit TCompressFuncEditor(TComponent* AOwner);
  void SetFunction() override;
  void ApplyFormChanges() override;
  void RadioDateClick();
  void RadioTimeClick();
  void RadioPointsClick();
  void ENumClick();
  void CBDatePeriodChange();
  void CBTimePeriodChange();

  TRadioButton *RadioDate = nullptr, *RadioTime = nullptr, *RadioPoints = nullptr;
  TComboBox *CBDatePeriod = nullptr, *CBTimePeriod = nullptr;
  TEdit* ENum = nullptr;
  TUpDown* UpDown1 = nullptr;

private:
  // Sets the count to 0 without asking for grouping by points.
  void ClearCount();
  bool FZeroing = false;
};

// The volume series of the close-location and on-balance-volume functions: every series of the
// function's chart but its own, "(none)" first.
class TOBVFuncEditor : public TBaseFunctionEditor {
  VM_CLASS(TOBVFuncEditor, TBaseFunctionEditor)
public:
  explicit TOBVFuncEditor(TComponent* AOwner);
  void SetFunction() override;
  void ApplyFormChanges() override;

  TComboBox* CBVolume = nullptr;
};

class TCLVFuncEditor : public TBaseFunctionEditor {
  VM_CLASS(TCLVFuncEditor, TBaseFunctionEditor)
public:
  explicit TCLVFuncEditor(TComponent* AOwner);
  void SetFunction() override;
  void ApplyFormChanges() override;

  TComboBox* CBVolume = nullptr;
  TCheckBox* CBAccumulate = nullptr;
};

class TCCIFuncEditor : public TBaseFunctionEditor {
  VM_CLASS(TCCIFuncEditor, TBaseFunctionEditor)
public:
  explicit TCCIFuncEditor(TComponent* AOwner);
  void SetFunction() override;
  void ApplyFormChanges() override;

  TEdit* EConst = nullptr;
  TEdit* EPeriod = nullptr;
  TUpDown* UDPeriod = nullptr;
};

class TPVOFuncEditor : public TBaseFunctionEditor {
  VM_CLASS(TPVOFuncEditor, TBaseFunctionEditor)
public:
  explicit TPVOFuncEditor(TComponent* AOwner);
  void SetFunction() override;
  void ApplyFormChanges() override;

  TEdit *EPeriod = nullptr, *Edit1 = nullptr;
  TUpDown *UDPeriod = nullptr, *UDPeriod2 = nullptr;
  TCheckBox* CBPercent = nullptr;
};
