// The editor forms of the round series: the circle sub-editor ("Circled" tab), pie, donut, polar
// and the clock and wind-rose editors built on the polar one.
#pragma once

#include "chart/editor/series_editor_kit.h"
#include "platform/forms.h"

class TButtonColor;
class TButtonGradient;
class TButtonPen;
class TCircledSeries;
class TCustomPolarSeries;
class TPieSeries;
class TSeriesPointerEditor;

class TCircledSeriesEditor : public TForm {
  VM_CLASS(TCircledSeriesEditor, TForm)
public:
  explicit TCircledSeriesEditor(TComponent* AOwner);

  TCircledSeries* Series = nullptr;
  bool Loading = false;

  TCheckBox* CBCircled = nullptr;
  TCheckBox* CB3D = nullptr;
  sekit::TIntField Rotation;  // LRotation, Edit1, UDRot
  TGroupBox* GBRadius = nullptr;
  sekit::TIntField XRadius;  // LHorizontal, Edit2, UDX
  TCheckBox* CBAutoXR = nullptr;
  sekit::TIntField YRadius;  // LVertical, Edit3, UDY
  TCheckBox* CBAutoYR = nullptr;
  TButtonColor* BBack = nullptr;
  TCheckBox* CBTransp = nullptr;
  TButtonGradient* BGradient = nullptr;

  void FormShow();
  void CBTranspClick();
};

class TPieSeriesEditor : public TForm {
  VM_CLASS(TPieSeriesEditor, TForm)
public:
  explicit TPieSeriesEditor(TComponent* AOwner);

  TPieSeries* Series = nullptr;
  TCircledSeriesEditor* CircledForm = nullptr;

  TPageControl* PageControl1 = nullptr;
  TTabSheet* TabOptions = nullptr;
  TTabSheet* TabGroup = nullptr;
  TTabSheet* TabSheet1 = nullptr;   // "Colors"
  sekit::TIntField ExplodeBiggest;  // LExpBig, SEExpBig, UDExpBig
  TCheckBox* CBDark3d = nullptr;
  TCheckBox* CBPatterns = nullptr;
  TButtonPen* BPen = nullptr;
  sekit::TIntField AngleSize;  // LAngleSize, Edit1, UDAngleSize
  TButton* BShadow = nullptr;
  TCheckBox* CBMarksAutoPosition = nullptr;
  TButtonGradient* BGradient = nullptr;
  sekit::TIntField DarkPen;  // LDarkPen, Edit2, UpDown1
  TComboBox* CBMultiple = nullptr;
  TComboBox* CBOther = nullptr;
  TEdit* EOtherValue = nullptr;
  TEdit* EOtherLabel = nullptr;
  TButton* Button2 = nullptr;
  TCheckBox* CBColorEach = nullptr;
  TButtonColor* BColor = nullptr;

  void FormShow();
  void Button2Click();

private:
  void EnableOtherFields();
  // Set while the controls are filled: the texts shown must not be written back (a number's text
  // may round it, and the label's default text would become a stored one).
  bool FLoading = false;
};

class TDonutSeriesEditor : public TForm {
  VM_CLASS(TDonutSeriesEditor, TForm)
public:
  explicit TDonutSeriesEditor(TComponent* AOwner);

  TPieSeries* Series = nullptr;
  TPieSeriesEditor* PieForm = nullptr;
  sekit::TIntField Donut;  // LDonut, EDonut, UDDonut

  void FormShow();
};

class TPolarSeriesEditor : public TForm {
  VM_CLASS(TPolarSeriesEditor, TForm)
public:
  explicit TPolarSeriesEditor(TComponent* AOwner);

  TCustomPolarSeries* Series = nullptr;
  TCircledSeriesEditor* CircledForm = nullptr;
  TSeriesPointerEditor* PointerForm = nullptr;

  TPageControl* PageControl1 = nullptr;
  TTabSheet* TabSheet1 = nullptr;  // "Options"
  TTabSheet* TabSheet2 = nullptr;  // "Labels"
  TCheckBox* CBClose = nullptr;
  sekit::TIntField AngleInc;   // LAngleInc, SEAngleInc, UDAngleInc
  sekit::TIntField RadiusInc;  // LRadiusInc, SERadiusInc, UDRadiusInc
  TButtonPen* BPen = nullptr;
  TButtonPen* BPiePen = nullptr;
  TButton* BBrush = nullptr;
  sekit::TIntField Transp;  // LTransp, Edit1, UDTransp
  TCheckBox* CBColorEach = nullptr;
  TButtonColor* BColor = nullptr;
  TCheckBox* CBAngleLabels = nullptr;
  TCheckBox* CBLabelsRot = nullptr;
  TCheckBox* CBClockWise = nullptr;
  TCheckBox* CBInside = nullptr;
  TButton* BFont = nullptr;
  sekit::TIntField Margin;  // LMargin, EMargin, UDMargin

  void FormShow();
  // The angle increment is offered for the polar series (and polar bars) only.
  virtual void ShowAngleControls();

protected:
  bool FLoading = false;

private:
  void ApplyLabelRule();
};

class TClockEditor : public TPolarSeriesEditor {
  VM_CLASS(TClockEditor, TPolarSeriesEditor)
public:
  explicit TClockEditor(TComponent* AOwner);
  TButtonPen* BHour = nullptr;
  TButtonPen* BMinute = nullptr;
  TButtonPen* BSecond = nullptr;
  TButtonPen* BRadius = nullptr;
  TCheckBox* CBRoman = nullptr;
  void ClockShow();
};

class TWindRoseEditor : public TPolarSeriesEditor {
  VM_CLASS(TWindRoseEditor, TPolarSeriesEditor)
public:
  explicit TWindRoseEditor(TComponent* AOwner);
  TCheckBox* CBMirror = nullptr;
  void ShowAngleControls() override {}
  void WindRoseShow();
};

void RegisterCircleEditorForms();
