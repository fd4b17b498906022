// The editor forms of the chart tools: the tools page embeds the form its tool names with the
// tool in the form's Tag. Every control writes into the tool at once (no OK or Cancel); the
// chart repaints through the tool's setters. The axis tools share a base form that chooses the
// axis and the pen; the series tools build on the series tool form of the engine.
#pragma once

#include <string>

#include "chart/series/tools_editor.h"
#include "platform/forms.h"

class TAnnotationTool;
class TButtonColor;
class TButtonGradient;
class TButtonPen;
class TChartImageTool;
class TColorBandTool;
class TColorLineTool;
class TCursorTool;
class TDraw3D;
class TDrawLineTool;
class TEdit;
class TFormGraphShape;
class TGraphCustomToolAxis;
class TGridBandBrush;
class TGridBandTool;
class TGroupBox;
class TImage;
class TMarksTipTool;
class TMemo;
class TNearestTool;
class TPageControl;
class TRadioGroup;
class TRotateTool;
class TScrollBar;
class TSeriesAnimationTool;
class TTabSheet;
class TUpDown;
class TAxisArrowTool;

// Registers every tool editor form by its class name (start-up; again is harmless).
void RegisterToolEditorForms();

// The base of the axis tools' forms: the axis combo and the tool's pen.
class TAxisToolEditor : public TForm {
  VM_CLASS(TAxisToolEditor, TForm)
public:
  explicit TAxisToolEditor(TComponent* AOwner);

  virtual void FormShow(TObject* Sender);
  void CBAxisChange(TObject* Sender);
  TGraphCustomToolAxis* Tool() const { return FTool; }

  TLabel* Label1 = nullptr;
  TComboFlat* CBAxis = nullptr;
  TButtonPen* BPen = nullptr;

protected:
  TGraphCustomToolAxis* FTool = nullptr;
  // On while the controls are being filled from the tool.
  bool FLoading = false;
};

class TAnnotationToolEdit : public TForm {
  VM_CLASS(TAnnotationToolEdit, TForm)
public:
  explicit TAnnotationToolEdit(TComponent* AOwner);

  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void UpdatePositionControls();
  void UpdateSizeControls();
  TAnnotationTool* Tool() const { return FTool; }
  bool Loading() const { return FLoading; }

  TPageControl* PageControl1 = nullptr;
  TTabSheet *TabOptions = nullptr, *TabPosition = nullptr, *TabSize = nullptr, *TabCallout = nullptr;
  TFormGraphShape* ShapeEditor = nullptr;
  TMemo* MemoText = nullptr;
  TComboFlat *CBTextAlign = nullptr, *CBCursor = nullptr;
  TComboFlat *CBPos = nullptr, *CBUnits = nullptr;
  TCheckBox* CBCustPos = nullptr;
  TEdit *ECustLeft = nullptr, *ECustTop = nullptr;
  TUpDown *UDLeft = nullptr, *UDTop = nullptr;
  TCheckBox* CBAutoSize = nullptr;
  TEdit *ECustWidth = nullptr, *ECustHeight = nullptr;
  TUpDown *UDWidth = nullptr, *UDHeight = nullptr;
  TButtonPen* BCalloutPen = nullptr;
  TButton* BCalloutPointer = nullptr;
  TGroupBox* GroupPosition = nullptr;
  TEdit *EX = nullptr, *EY = nullptr, *EZ = nullptr;
  TEdit* EArrowDist = nullptr;
  TUpDown* UDArrowDist = nullptr;
  TComboFlat* CBHead = nullptr;
  TEdit* Edit1 = nullptr;
  TUpDown* UDHeadSize = nullptr;

private:
  TAnnotationTool* FTool = nullptr;
  bool FLoading = true;
  bool FShowing = false;
};

class TCursorToolEditor : public TSeriesToolEditor {
  VM_CLASS(TCursorToolEditor, TSeriesToolEditor)
public:
  explicit TCursorToolEditor(TComponent* AOwner);
  void FormShow(TObject* Sender) override;
  void CBSeriesChange(TObject* Sender) override;

  TComboFlat* CBStyle = nullptr;
  TCheckBox *CBSnap = nullptr, *CBZ = nullptr, *CBFollow = nullptr;
  TButtonPen* BPen = nullptr;
  TEdit* EPixels = nullptr;
  TUpDown* UDClick = nullptr;

private:
  TCursorTool* Cursor() const;
  void EnableSeriesOptions();
  bool FLoading = false;
};

class TColorLineToolEditor : public TAxisToolEditor {
  VM_CLASS(TColorLineToolEditor, TAxisToolEditor)
public:
  explicit TColorLineToolEditor(TComponent* AOwner);
  void FormShow(TObject* Sender) override;

  TPageControl* PageControl1 = nullptr;
  TEdit* EValue = nullptr;
  TComboFlat* CBStyle = nullptr;
  TCheckBox *CBAllowDrag = nullptr, *CBDragRepaint = nullptr, *CBNoLimitDrag = nullptr, *CBDrawBehind = nullptr,
            *CBDraw3D = nullptr;

private:
  TColorLineTool* Line() const;
};

class TColorBandToolEditor : public TAxisToolEditor {
  VM_CLASS(TColorBandToolEditor, TAxisToolEditor)
public:
  explicit TColorBandToolEditor(TComponent* AOwner);
  void FormShow(TObject* Sender) override;

  TButton* BPattern = nullptr;
  TPageControl* PageControl1 = nullptr;
  TEdit *EStart = nullptr, *EEnd = nullptr;
  TCheckBox *CBStart = nullptr, *CBEnd = nullptr;
  TButtonPen *BStart = nullptr, *BEnd = nullptr;
  TButtonGradient* BGradient = nullptr;
  TButtonColor* ButtonColor1 = nullptr;
  TEdit* ETrans = nullptr;
  TUpDown* UDTrans = nullptr;
  TCheckBox *CBDrawBehind = nullptr, *CBBeforeAxes = nullptr;
  TComboFlat* CBCursor = nullptr;

private:
  TColorBandTool* Band() const;
};

class TAxisArrowToolEditor : public TAxisToolEditor {
  VM_CLASS(TAxisArrowToolEditor, TAxisToolEditor)
public:
  explicit TAxisArrowToolEditor(TComponent* AOwner);
  void FormShow(TObject* Sender) override;

  TEdit* ELength = nullptr;
  TUpDown* UDLength = nullptr;
  TComboFlat* CBPos = nullptr;
  TEdit* Edit1 = nullptr;
  TUpDown* UDScroll = nullptr;
  TCheckBox* CBInv = nullptr;
  TEdit* ESize = nullptr;
  TUpDown* UDSize = nullptr;
  TEdit* EWidth = nullptr;
  TUpDown* UDWidth = nullptr;
  TButton* Button1 = nullptr;

private:
  TAxisArrowTool* Arrow() const;
};

class TGridBandToolEdit : public TAxisToolEditor {
  VM_CLASS(TGridBandToolEdit, TAxisToolEditor)
public:
  explicit TGridBandToolEdit(TComponent* AOwner);
  void FormShow(TObject* Sender) override;
  // The band the tabs choose (none without a tool).
  TGridBandBrush* CurrentBand() const;
  // Loads the chosen band's controls and repaints the preview.
  void LoadBand();
  // Draws the chosen band as the preview shows it.
  void PaintPreview(TGraphCanvas* Canvas, const TRect& Rect);
  // A click on the preview: the colour dialog for the band's colour.
  void Draw3D1Click();

  TPageControl* TabControl1 = nullptr;
  TButtonColor* ButtonColor1 = nullptr;
  TEdit* Edit1 = nullptr;
  TUpDown* UpDown1 = nullptr;
  TButtonGradient* ButtonGradient1 = nullptr;
  TButton* BBand1 = nullptr;
  TDraw3D* Draw3D1 = nullptr;

private:
  TGridBandTool* Bands() const;
};

class TDrawLineEdit : public TSeriesToolEditor {
  VM_CLASS(TDrawLineEdit, TSeriesToolEditor)
public:
  explicit TDrawLineEdit(TComponent* AOwner);
  void FormShow(TObject* Sender) override;

  TComboFlat* CBButton = nullptr;
  TCheckBox *CBEnable = nullptr, *CBSelect = nullptr, *CBSelectNew = nullptr;
  TButtonPen* BPen = nullptr;
  TEdit* EPixels = nullptr;
  TUpDown* UDClick = nullptr;

private:
  TDrawLineTool* Lines() const;
  bool FLoading = false;
};

class TChartImageToolEditor : public TSeriesToolEditor {
  VM_CLASS(TChartImageToolEditor, TSeriesToolEditor)
public:
  explicit TChartImageToolEditor(TComponent* AOwner);
  void FormShow(TObject* Sender) override;
  void Button1Click();
  void BSaveClick();

  TGroupBox* GroupBox1 = nullptr;
  TImage* Image1 = nullptr;
  TButton *Button1 = nullptr, *BSave = nullptr;

private:
  TChartImageTool* ImageTool() const;
  void RefreshImage();
};

class TRotateToolEditor : public TForm {
  VM_CLASS(TRotateToolEditor, TForm)
public:
  explicit TRotateToolEditor(TComponent* AOwner);
  void FormShow(TObject* Sender);

  TCheckBox* CBInverted = nullptr;
  TComboFlat *CBStyle = nullptr, *CBButton = nullptr;
  TButtonPen* BOutline = nullptr;

private:
  TRotateTool* FTool = nullptr;
  bool FLoading = false;
};

class TNearestToolEdit : public TSeriesToolEditor {
  VM_CLASS(TNearestToolEdit, TSeriesToolEditor)
public:
  explicit TNearestToolEdit(TComponent* AOwner);
  void FormShow(TObject* Sender) override;

  TButtonPen *BPen = nullptr, *BLine = nullptr;
  TButton* Button1 = nullptr;
  TComboFlat* CBStyle = nullptr;
  TEdit* Edit1 = nullptr;
  TUpDown* UDSize = nullptr;
  TCheckBox* CBFull = nullptr;

private:
  TNearestTool* Nearest() const;
  bool FLoading = false;
};

class TMarksTipToolEdit : public TSeriesToolEditor {
  VM_CLASS(TMarksTipToolEdit, TSeriesToolEditor)
public:
  explicit TMarksTipToolEdit(TComponent* AOwner);
  void FormShow(TObject* Sender) override;

  TComboFlat* CBMarkStyle = nullptr;
  TRadioGroup* RGMouseAction = nullptr;
  TEdit* EDelay = nullptr;
  TUpDown* UDDelay = nullptr;

private:
  TMarksTipTool* Tip() const;
  bool FLoading = false;
};

class TDragMarksToolEditor : public TSeriesToolEditor {
  VM_CLASS(TDragMarksToolEditor, TSeriesToolEditor)
public:
  explicit TDragMarksToolEditor(TComponent* AOwner);
  void FormShow(TObject* Sender) override;
  void Button1Click();

  TButton* Button1 = nullptr;
};

class TSeriesAnimToolEditor : public TSeriesToolEditor {
  VM_CLASS(TSeriesAnimToolEditor, TSeriesToolEditor)
public:
  explicit TSeriesAnimToolEditor(TComponent* AOwner);
  void FormShow(TObject* Sender) override;
  void CBSeriesChange(TObject* Sender) override;
  void Button1Click();

  TScrollBar* SBSteps = nullptr;
  TLabel* LSteps = nullptr;
  TCheckBox* CBStartMin = nullptr;
  TEdit* EStart = nullptr;
  TEdit* Edit1 = nullptr;
  TUpDown* UpDown1 = nullptr;
  TComboFlat* ComboFlat1 = nullptr;
  TButton* Button1 = nullptr;

private:
  TSeriesAnimationTool* Anim() const;
  bool FLoading = false;
};
