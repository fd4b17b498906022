// Editor forms of the funnel, pyramid, Smith, volume pipe and box plot series.
#pragma once

#include "chart/editor/series_editor_kit.h"
#include "platform/forms.h"

class TButtonColor;
class TButtonPen;
class TCustomBoxSeries;
class TFunnelSeries;
class TPyramidSeries;
class TSeriesPointerEditor;
class TSmithSeries;
class TVolumePipeSeries;

class TFunnelSeriesEditor : public TForm {
  VM_CLASS(TFunnelSeriesEditor, TForm)
public:
  explicit TFunnelSeriesEditor(TComponent* AOwner);

  TFunnelSeries* Funnel = nullptr;
  TButtonPen *ButtonPen1 = nullptr, *ButtonPen2 = nullptr;
  TButton* Button1 = nullptr;
  TButtonColor *AboveColor = nullptr, *WithinColor = nullptr, *BelowColor = nullptr;
  sekit::TIntField DifLimit;

  void FormShow();

private:
  bool FLoading = false;
};

class TPyramidSeriesEditor : public TForm {
  VM_CLASS(TPyramidSeriesEditor, TForm)
public:
  explicit TPyramidSeriesEditor(TComponent* AOwner);

  TPyramidSeries* Pyramid = nullptr;
  TButtonPen* BPen = nullptr;
  TButton* Button1 = nullptr;
  TCheckBox* CBColorEach = nullptr;
  TButtonColor* BColor = nullptr;
  sekit::TIntField Size;

  void FormShow();

private:
  bool FLoading = false;
};

class TSmithSeriesEdit : public TForm {
  VM_CLASS(TSmithSeriesEdit, TForm)
public:
  explicit TSmithSeriesEdit(TComponent* AOwner);

  TSmithSeries* Smith = nullptr;
  TForm* CircledForm = nullptr;
  TCheckBox *CBC = nullptr, *CBR = nullptr, *CBColorEach = nullptr;
  TButtonPen *BCPen = nullptr, *BRPen = nullptr, *BCircle = nullptr, *BBorder = nullptr;
  TButton *BCFont = nullptr, *BRFont = nullptr;
  TEdit* EImag = nullptr;

  void FormShow();

private:
  bool FLoading = false;
};

class TVolumePipeSeriesEditor : public TForm {
  VM_CLASS(TVolumePipeSeriesEditor, TForm)
public:
  explicit TVolumePipeSeriesEditor(TComponent* AOwner);

  TVolumePipeSeries* Pipe = nullptr;
  TButtonPen *ButtonPen1 = nullptr, *ButtonPen2 = nullptr;
  TButton* Button1 = nullptr;
  TCheckBox *CheckBox1 = nullptr, *CheckGradient = nullptr;
  sekit::TIntField Cone;
  TComboBox* CBDirection = nullptr;

  void FormShow();

private:
  bool FLoading = false;
};

class TBoxSeriesEditor : public TForm {
  VM_CLASS(TBoxSeriesEditor, TForm)
public:
  explicit TBoxSeriesEditor(TComponent* AOwner);

  TCustomBoxSeries* Box = nullptr;
  TSeriesPointerEditor *BoxForm = nullptr, *ExtrOutForm = nullptr, *MildOutForm = nullptr;
  TButtonPen *BMedian = nullptr, *BWhisker = nullptr;
  TEdit *ELength = nullptr, *EPos = nullptr;

  void FormShow();

private:
  bool FLoading = false;
};

void RegisterOtherSeriesEditorForms();
