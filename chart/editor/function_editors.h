// The option forms of the chart functions, embedded by the function editor of the data-source
// tab in its "Options" tab with the series' function in Tag. Unlike the tool forms they write
// nothing at once: a change only enables the function editor's "&Apply", which runs the form's
// close query to write the values into the function.
#pragma once

#include "chart/engine/graph_function.h"
#include "platform/forms.h"

class TButton;
class TButtonPen;
class TCheckBox;
class TComboBox;
class TEdit;
class TGraphFuncEditor;
class TUpDown;

// Registers every function editor form by its class name (start-up; again is harmless).
void RegisterFunctionEditorForms();

// The base of the function forms: loads the controls from the function when shown, and writes
// them back inside the function's update block when "&Apply" asks.
class TBaseFunctionEditor : public TForm {
  VM_CLASS(TBaseFunctionEditor, TForm)
public:
  explicit TBaseFunctionEditor(TComponent* AOwner);

  // Writes the controls into IFunction.
  virtual void ApplyFormChanges() {}
  // Loads the controls from IFunction.
  virtual void SetFunction() {}
  void EnableApplyButton();
  void FormShow(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  // The function editor that embeds the form (its owner), when it is one.
  TGraphFuncEditor* FuncEditor() const;

  TGraphFunction* IFunction = nullptr;
  bool Loading = false;

protected:
  // The change handler of every control: enables "&Apply" unless the controls are being loaded.
  TNotifyEvent Changed;
};

// The default form of period functions: how the points are grouped and where each result sits.
class TGraphFunctionEditor : public TBaseFunctionEditor {
  VM_CLASS(TGraphFunctionEditor, TBaseFunctionEditor)
public:
  explicit TGraphFunctionEditor(TComponent* AOwner);

  void SetFunction() override;
  void ApplyFormChanges() override;
  void CBStyleChange();
  void BChangeClick();

  TComboBox* CBStyle = nullptr;
  TEdit* ENum = nullptr;
  TButton* BChange = nullptr;
  TComboBox* CBAlign = nullptr;
};

class TAverageFuncEditor : public TGraphFunctionEditor {
  VM_CLASS(TAverageFuncEditor, TGraphFunctionEditor)
public:
  explicit TAverageFuncEditor(TComponent* AOwner);
  void SetFunction() override;
  void ApplyFormChanges() override;
  TCheckBox* CBNulls = nullptr;
};

class TRMSFuncEditor : public TGraphFunctionEditor {
  VM_CLASS(TRMSFuncEditor, TGraphFunctionEditor)
public:
  explicit TRMSFuncEditor(TComponent* AOwner);
  void SetFunction() override;
  void ApplyFormChanges() override;
  TCheckBox* CBComplete = nullptr;
};

class TMovAveFuncEditor : public TBaseFunctionEditor {
  VM_CLASS(TMovAveFuncEditor, TBaseFunctionEditor)
public:
  explicit TMovAveFuncEditor(TComponent* AOwner);
  void SetFunction() override;
  void ApplyFormChanges() override;
  TEdit* Edit1 = nullptr;
  TUpDown* UpDown1 = nullptr;
  TComboBox* CBStyle = nullptr;
};

class TSmoothFuncEditor : public TBaseFunctionEditor {
  VM_CLASS(TSmoothFuncEditor, TBaseFunctionEditor)
public:
  explicit TSmoothFuncEditor(TComponent* AOwner);
  void SetFunction() override;
  void ApplyFormChanges() override;
  TCheckBox* CBInterp = nullptr;
  TEdit* Edit1 = nullptr;
  TUpDown* UpDown1 = nullptr;
};

class TMACDFuncEditor : public TBaseFunctionEditor {
  VM_CLASS(TMACDFuncEditor, TBaseFunctionEditor)
public:
  explicit TMACDFuncEditor(TComponent* AOwner);
  void SetFunction() override;
  void ApplyFormChanges() override;
  TEdit *ENum = nullptr, *Edit1 = nullptr, *Edit2 = nullptr;
  TUpDown *UpDown1 = nullptr, *UpDown2 = nullptr, *UpDown3 = nullptr;
  TButtonPen *BHistogram = nullptr, *BMACD = nullptr, *BMACDExp = nullptr;
};

class TBollingerFuncEditor : public TBaseFunctionEditor {
  VM_CLASS(TBollingerFuncEditor, TBaseFunctionEditor)
public:
  explicit TBollingerFuncEditor(TComponent* AOwner);
  void SetFunction() override;
  void ApplyFormChanges() override;
  TEdit* ENum = nullptr;
  TUpDown* UpDown1 = nullptr;
  TCheckBox* CheckBox1 = nullptr;
  TEdit* Edit1 = nullptr;
  TButtonPen *ButtonPen1 = nullptr, *ButtonPen2 = nullptr;
};

class TExpAveFuncEditor : public TBaseFunctionEditor {
  VM_CLASS(TExpAveFuncEditor, TBaseFunctionEditor)
public:
  explicit TExpAveFuncEditor(TComponent* AOwner);
  void SetFunction() override;
  void ApplyFormChanges() override;
  TEdit* Edit1 = nullptr;
};

// The "y = f(x)" function: no source, a start, a step and a number of points.
class TCustomFunctionEditor : public TForm {
  VM_CLASS(TCustomFunctionEditor, TForm)
public:
  explicit TCustomFunctionEditor(TComponent* AOwner);
  void FormShow(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);

  TEdit *EStart = nullptr, *EStep = nullptr, *ENum = nullptr;
  TGraphFunction* IFunction = nullptr;

private:
  bool FLoading = false;
};

class TADXFuncEditor : public TForm {
  VM_CLASS(TADXFuncEditor, TForm)
public:
  explicit TADXFuncEditor(TComponent* AOwner);
  void FormShow(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);

  TEdit* EPeriod = nullptr;
  TUpDown* UDPeriod = nullptr;
  TButtonPen *BUp = nullptr, *BDown = nullptr;
  TGraphFunction* IFunction = nullptr;

private:
  bool FLoading = false;
};
