// The editor forms of the line-like series: line (and every series drawn as a line with a
// pointer), fast line, area, histogram, volume, line-point and bubble. Each edits the series
// embedded in it (its Tag) straight away; there is no OK or Cancel.
#pragma once

#include "chart/editor/series_editor_kit.h"
#include "chart/editor/shape_symbol_pointer.h"
#include "chart/extra/pen_dialog.h"
#include "platform/forms.h"

class TButtonColor;
class TButtonPen;
class TChartSeries;
class TCheckBox;
class TComboBox;
class TGroupBox;
class TRadioGroup;
class TAreaSeries;
class TCustomSeries;
class TFastLineSeries;
class TGraphGradientEditor;
class THistogramSeries;
class TVolumeSeries;

// Line, horizontal line, Bezier, OHLC and the program's error-point series.
class TCustomSeriesEditor : public TForm {
  VM_CLASS(TCustomSeriesEditor, TForm)
public:
  explicit TCustomSeriesEditor(TComponent* AOwner);

  TChartSeries* Series = nullptr;
  TSeriesPointerEditor* PointerForm = nullptr;

  TButtonPen* BLineBorder = nullptr;
  TButtonColor* BLineColor = nullptr;
  TCheckBox* CBColorEach = nullptr;
  TComboBox* CBStack = nullptr;
  TCheckBox* CBClick = nullptr;
  TCheckBox* CheckBox1 = nullptr;
  TGroupBox* GBStair = nullptr;
  TCheckBox* CBStairs = nullptr;
  TCheckBox* CBInvStairs = nullptr;
  TCheckBox* CBDark3D = nullptr;
  sekit::TIntField Height;  // LHeight, EHeight, UDHeight
  TButtonPen* BOutline = nullptr;
  TButton* BBrush = nullptr;
  TButton* Button1 = nullptr;

  void FormShow();
  void BLineBorderClick();
  // Opens the shadow editor on the series' shadow, modal.
  void Button1Click();

private:
  TCustomSeries* Custom() const;
};

// Fast line: the pen dialog shown embedded, with the fast line's own switches.
class TFastLineSeriesEditor : public TPenDialog {
  VM_CLASS(TFastLineSeriesEditor, TPenDialog)
public:
  explicit TFastLineSeriesEditor(TComponent* AOwner);

  TFastLineSeries* Series = nullptr;
  TCheckBox* CBDrawAll = nullptr;
  TCheckBox* CBStairs = nullptr;
  TCheckBox* CBInvStairs = nullptr;
  TCheckBox* CBNulls = nullptr;

  void FormShow();
};

class TAreaSeriesEditor : public TForm {
  VM_CLASS(TAreaSeriesEditor, TForm)
public:
  explicit TAreaSeriesEditor(TComponent* AOwner);

  TAreaSeries* Series = nullptr;
  TSeriesPointerEditor* PointerForm = nullptr;
  TGraphGradientEditor* GradientForm = nullptr;

  TRadioGroup* RGMultiArea = nullptr;
  TCheckBox* CBColorEach = nullptr;
  TButtonColor* BAreaColor = nullptr;
  TCheckBox* CBStairs = nullptr;
  TCheckBox* CBInvStairs = nullptr;
  TButtonPen* BAreaLinesPen = nullptr;
  TButtonPen* BAreaLinePen = nullptr;
  TButton* BPattern = nullptr;
  TButton* Button1 = nullptr;
  TCheckBox* CBUseOrigin = nullptr;
  sekit::TIntField Origin;  // LOrigin, EOrigin, UDOrigin
  sekit::TIntField Transp;  // LTransp, ETransp, UDTransp

  void FormShow();

private:
  void EnableOrigin();
  // Set while the controls are filled: the rounded origin shown must not overwrite the series'.
  bool FLoading = false;
};

class THistogramSeriesEditor : public TForm {
  VM_CLASS(THistogramSeriesEditor, TForm)
public:
  explicit THistogramSeriesEditor(TComponent* AOwner);

  THistogramSeries* Series = nullptr;
  bool Loading = true;

  TCheckBox* CBColorEach = nullptr;
  TButtonColor* BAreaColor = nullptr;
  TButtonPen* BAreaLinesPen = nullptr;
  TButtonPen* BAreaLinePen = nullptr;
  TButton* Button1 = nullptr;
  sekit::TIntField Transp;  // LTransp, Edit1, UDTransp

  void FormShow();
};

// Volume: the pen dialog shown embedded, with the colour-each switch and the origin.
class TVolumeSeriesEditor : public TPenDialog {
  VM_CLASS(TVolumeSeriesEditor, TPenDialog)
public:
  explicit TVolumeSeriesEditor(TComponent* AOwner);

  TVolumeSeries* Series = nullptr;
  TCheckBox* CBColorEach = nullptr;
  TCheckBox* CBUseOrigin = nullptr;
  TLabel* LOrigin = nullptr;
  TEdit* EOrigin = nullptr;

  void FormShow();

private:
  bool FLoading = false;  // the origin's text is not written back while it is filled
};

// The pointer editor with the pen of the lines between the points.
class TLinePointEditor : public TSeriesPointerEditor {
  VM_CLASS(TLinePointEditor, TSeriesPointerEditor)
public:
  explicit TLinePointEditor(TComponent* AOwner);
  TButtonPen* BLines = nullptr;
  void LinePointShow();
};

// The pointer editor with the bubbles' transparency and without the pointer's visibility.
class TBubbleSeriesEditor : public TSeriesPointerEditor {
  VM_CLASS(TBubbleSeriesEditor, TSeriesPointerEditor)
public:
  explicit TBubbleSeriesEditor(TComponent* AOwner);
  sekit::TIntField Transp;  // LTransp, Edit1, UDTransp
  void BubbleShow();
};

void RegisterLineEditorForms();
