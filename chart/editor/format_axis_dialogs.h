// Three small dialogs that turn typed or picked values into chart settings: the value format
// editor (number, date-time, geographic or custom format strings), the axis increment dialog
// (a number, a standard date-time step or days and a time) and the axis minimum/maximum dialog.
#pragma once

#include <string>

#include "platform/forms.h"

class TButton;
class TCheckBox;
class TComboBox;
class TEdit;
class TLabel;
class TRadioButton;
class TRadioGroup;
class TUpDown;

class TFormatEditor : public TForm {
  VM_CLASS(TFormatEditor, TForm)
public:
  explicit TFormatEditor(TComponent* AOwner);

  std::string TheFormat;

  TRadioButton* RBInteger = nullptr;
  TCheckBox* CBPercent = nullptr;
  TCheckBox* CBThousands = nullptr;
  TCheckBox* CBCurrency = nullptr;
  TEdit* Edit1 = nullptr;
  TUpDown* UpDown1 = nullptr;
  TCheckBox* CBFixedDecimals = nullptr;
  TEdit* Edit2 = nullptr;
  TUpDown* UpDown2 = nullptr;
  TRadioButton* RBDate = nullptr;
  TComboBox* CBDate = nullptr;
  TRadioButton* RBGeo = nullptr;
  TComboBox* CBGeo = nullptr;
  TRadioButton* RBCustom = nullptr;
  TComboBox* CBCustom = nullptr;
  TButton* BOk = nullptr;
  TButton* BCancel = nullptr;

  void FormShow();
  std::string BuildFormat() const;
  void RBIntegerClick();
  void RadioClick();
  void CBPercentClick();

private:
  bool FUpdating = false;
};

class TAxisIncrement : public TForm {
  VM_CLASS(TAxisIncrement, TForm)
public:
  explicit TAxisIncrement(TComponent* AOwner);

  bool IsDateTime = false;
  bool IsExact = false;
  double Increment = 0;
  int IStep = 27;

  TRadioGroup* RadioGroup1 = nullptr;
  TComboBox* CBSteps = nullptr;
  TLabel* LabelCustom = nullptr;
  TEdit* ECustom = nullptr;
  TCheckBox* CBExact = nullptr;
  TButton* BOk = nullptr;
  TButton* BCancel = nullptr;

  void FormShow();
  void RadioGroup1Click();
  void CBExactClick();
  void BOkClick();

private:
  void ShowIncrementInEdit();
  bool FShowing = false;
};

class TAxisMaxMin : public TForm {
  VM_CLASS(TAxisMaxMin, TForm)
public:
  explicit TAxisMaxMin(TComponent* AOwner);

  bool IsDateTime = false;
  double MaxMin = 0;

  TLabel* Label1 = nullptr;
  TEdit* EMaximum = nullptr;
  TLabel* Label2 = nullptr;
  TEdit* EMinimum = nullptr;
  TButton* BOk = nullptr;
  TButton* BCancel = nullptr;

  void FormShow();
  void BOkClick();
};

bool EditValueFormat(TComponent* Owner, const std::string& Format, std::string& Result, bool AllowDateTime);
void ShowIncorrectValue(const std::string& Reason);
void IncrementText(TComponent* Owner, bool IsDateTime, bool Exact, std::string& Text, const std::string& Format,
                   double Value);
std::string DateTimeStepName(int Index);
