// The editor forms that stand alone: candle, high-low, arrow, Gantt and shape series.
#pragma once

#include "chart/editor/series_editor_kit.h"
#include "platform/forms.h"

class TArrowSeries;
class TButtonColor;
class TButtonGradient;
class TButtonPen;
class TCandleSeries;
class TChartShape;
class TGanttSeries;
class TGraphFontEditor;
class THighLowSeries;
class TMemo;
class TPointFigureSeries;
class TScrollBar;
class TSeriesPointerEditor;

class TCandleEditor : public TForm {
  VM_CLASS(TCandleEditor, TForm)
public:
  explicit TCandleEditor(TComponent* AOwner);

  TCandleSeries* Series = nullptr;

  TPageControl* PageControl1 = nullptr;
  TTabSheet* TabSheet1 = nullptr;  // "Options"
  TTabSheet* TabSheet2 = nullptr;  // "Colors"
  TRadioGroup* RGStyle = nullptr;
  sekit::TIntField CandleWidth;  // LWidth, SEWidth, UDWidth
  TCheckBox* CBShowOpen = nullptr;
  TCheckBox* CBShowClose = nullptr;
  TCheckBox* CBDraw3D = nullptr;
  TCheckBox* CBDark3D = nullptr;
  TButtonPen* Button1 = nullptr;
  TButtonPen* BHighLow = nullptr;
  TComboBox* CBColorStyle = nullptr;
  TButtonColor* BUpColor = nullptr;
  TButtonColor* BDownColor = nullptr;
  TButtonGradient* BUpGradient = nullptr;
  TButtonGradient* BDownGradient = nullptr;

  void FormShow();

private:
  void ApplyStyleRule();
};

class THighLowEditor : public TForm {
  VM_CLASS(THighLowEditor, TForm)
public:
  explicit THighLowEditor(TComponent* AOwner);

  THighLowSeries* Series = nullptr;

  TButtonPen* BPen = nullptr;
  TButtonPen* BHighPen = nullptr;
  TButtonPen* BLowPen = nullptr;
  TButton* BBrush = nullptr;
  TButton* BLowBrush = nullptr;
  TCheckBox* CBColorEach = nullptr;
  TButtonColor* BColor = nullptr;
  sekit::TIntField Transp;  // LTransp, Edit1, UDTransp

  void FormShow();
};

class TArrowSeriesEditor : public TForm {
  VM_CLASS(TArrowSeriesEditor, TForm)
public:
  explicit TArrowSeriesEditor(TComponent* AOwner);

  TArrowSeries* Series = nullptr;

  sekit::TIntField ArrowWidth;   // LArrowWidth, SEArrowWidth, UDArrowWidth
  sekit::TIntField ArrowHeight;  // LArrowHeight, SEArrowHeight, UDArrowHeight
  TScrollBar* SBPercent = nullptr;
  TLabel* LPercent = nullptr;
  TButtonPen* BPen = nullptr;
  TButton* BBrush = nullptr;
  TCheckBox* CBColorEach = nullptr;
  TButtonColor* BArrowColor = nullptr;

  void FormShow();
};

class TGanttSeriesEditor : public TForm {
  VM_CLASS(TGanttSeriesEditor, TForm)
public:
  explicit TGanttSeriesEditor(TComponent* AOwner);

  TGanttSeries* Series = nullptr;
  TSeriesPointerEditor* PointerForm = nullptr;

  sekit::TIntField PointVertSize;  // LPointVertSize, SEPointVertSize, UDPointVertSize
  TButtonPen* BConnLines = nullptr;
  TCheckBox* CBColorEach = nullptr;
  TButtonColor* BColor = nullptr;
  sekit::TIntField Transp;  // LTransp, Edit1, UpDown1

  void FormShow();
};

class TChartShapeEditor : public TForm {
  VM_CLASS(TChartShapeEditor, TForm)
public:
  explicit TChartShapeEditor(TComponent* AOwner);

  TChartShape* Shape = nullptr;
  TGraphFontEditor* FontEditor = nullptr;
  bool Loading = true;

  TPageControl* PageControl1 = nullptr;
  TTabSheet* TabSheet1 = nullptr;  // "Style"
  TTabSheet* TabSheet2 = nullptr;  // "Position"
  TTabSheet* TabFont = nullptr;    // "Text"
  TComboBox* CBStyle = nullptr;
  TButtonColor* BShapeColor = nullptr;
  TButtonPen* BShapePen = nullptr;
  TButton* BShapeBrush = nullptr;
  TCheckBox* CBTrans = nullptr;
  TButtonGradient* BGradient = nullptr;
  TMemo* MemoText = nullptr;
  TRadioGroup* RGAlign = nullptr;
  TRadioGroup* RGVertAlign = nullptr;
  TCheckBox* CBRound = nullptr;
  TEdit* SEX0 = nullptr;
  TEdit* SEY0 = nullptr;
  TEdit* SEX1 = nullptr;
  TEdit* SEY1 = nullptr;
  TComboBox* CBUnits = nullptr;

  void FormShow();
};

// Point and figure: box size and reversal amount, with the up and down symbols as pointer tabs.
class TPointFigureEditor : public TForm {
  VM_CLASS(TPointFigureEditor, TForm)
public:
  explicit TPointFigureEditor(TComponent* AOwner);

  TPointFigureSeries* Series = nullptr;
  TSeriesPointerEditor* UpForm = nullptr;
  TSeriesPointerEditor* DownForm = nullptr;
  TEdit* EBoxSize = nullptr;
  TEdit* EReversal = nullptr;

  void FormShow();

private:
  bool FLoading = false;  // the numbers' texts are not written back while they are filled
};

void RegisterFinancialEditorForms();
