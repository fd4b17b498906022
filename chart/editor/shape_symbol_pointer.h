// Editors of chart sub-objects shared by several pages: the framed text box (titles, legend,
// marks, annotations) with its font, gradient and shadow pages; the legend symbol; and the point
// marker of a series, embedded or as a modal dialog.
#pragma once

#include "chart/engine/graph_shapes.h"
#include "chart/engine/legend.h"
#include "chart/engine/series_pointer.h"
#include "platform/forms.h"

class TButton;
class TButtonColor;
class TButtonGradient;
class TButtonPen;
class TCheckBox;
class TComboBox;
class TEdit;
class TGraphFontEditor;
class TGraphGradientEditor;
class TGraphShadowEditor;
class TGroupBox;
class TLabel;
class TPageControl;
class TPanel;
class TTabSheet;
class TUpDown;
class TWinControl;
class TChartSeries;

class TFormGraphShape : public TForm {
  VM_CLASS(TFormGraphShape, TForm)
public:
  explicit TFormGraphShape(TComponent* AOwner);

  TGraphCustomShape* Shape = nullptr;
  bool LoadingControls = true;
  TPageControl* PC1 = nullptr;
  TTabSheet* TabFormat = nullptr;
  TTabSheet* TabText = nullptr;
  TTabSheet* TabGradient = nullptr;
  TTabSheet* TabShadow = nullptr;
  TGraphGradientEditor* GradientEditor = nullptr;
  TGraphFontEditor* FontEditor = nullptr;
  TGraphShadowEditor* ShadowEditor = nullptr;
  TButtonColor* BBackColor = nullptr;
  TButtonPen* Button4 = nullptr;
  TButton* Button6 = nullptr;
  TCheckBox* CBRound = nullptr;
  TCheckBox* CBTransparent = nullptr;
  TComboBox* CBBevel = nullptr;
  TEdit* EBevWidth = nullptr;
  TUpDown* UDBevW = nullptr;
  TEdit* EShadowTransp = nullptr;
  TUpDown* UDShadowTransp = nullptr;

  void RefreshControls(TGraphCustomShape* AShape);
  void CBVisibleChecked(TObject* Sender);

private:
  void EnableBevelWidth();
};

TFormGraphShape* CreateShapeEditor(TComponent* Owner, TGraphCustomShape* Shape, TTabSheet* Tab = nullptr);
TFormGraphShape* InsertShapeEditor(TPageControl* Pages, TGraphCustomShape* Shape);

class TSymbolEditor : public TForm {
  VM_CLASS(TSymbolEditor, TForm)
public:
  explicit TSymbolEditor(TComponent* AOwner);

  TLegendSymbol* Symbol = nullptr;
  bool LoadingControls = true;
  TEdit* SEColWi = nullptr;
  TUpDown* UDColWi = nullptr;
  TComboBox* CBColWUnits = nullptr;
  TComboBox* CBSymbolPos = nullptr;
  TCheckBox* CBContinuous = nullptr;
  TCheckBox* CBVisible = nullptr;
  TCheckBox* CBSymPen = nullptr;
  TCheckBox* CBSquared = nullptr;
  TButtonPen* BSymPen = nullptr;
  TButtonGradient* BSymGradient = nullptr;

  void FormShow();

private:
  void EnableSymbolWidth();
};

class TSeriesPointerEditor : public TForm {
  VM_CLASS(TSeriesPointerEditor, TForm)
public:
  explicit TSeriesPointerEditor(TComponent* AOwner);

  TSeriesPointer* Pointer = nullptr;
  TChartSeries* Series = nullptr;
  TGroupBox* GPPoint = nullptr;
  TCheckBox* CBDrawPoint = nullptr;
  TCheckBox* CB3dPoint = nullptr;
  TCheckBox* CBPoDark = nullptr;
  TCheckBox* CBInflate = nullptr;
  TLabel* LabelWidth = nullptr;
  TEdit* SEPointHorizSize = nullptr;
  TUpDown* UDPointHorizSize = nullptr;
  TLabel* LabelHeight = nullptr;
  TEdit* SEPointVertSize = nullptr;
  TUpDown* UDPointVertSize = nullptr;
  TComboBox* CBStyle = nullptr;
  TGroupBox* GroupBox1 = nullptr;
  TButton* BPointFillColor = nullptr;
  TCheckBox* CBDefBrushColor = nullptr;
  TButtonPen* BPoinPenCol = nullptr;
  TCheckBox* CBColorEach = nullptr;
  TButton* BGradient = nullptr;
  TPanel* PanelBottom = nullptr;
  TButton* Button1 = nullptr;

  void FormShow();
  void SetPointerVisible(bool Visible);
  void Enable3DControls();
  void HideSizeControls();
  void RefreshDefaultColor();
  void CBDefBrushColorClick();
  // One item of the style list: the marker of that style and its name.
  void DrawStyleItem(TCanvas* Canvas, int Index, const TRect& Rect);

private:
  bool FLoading = false;
};

bool ShowPointerDialog(TComponent* Owner, TSeriesPointer* Pointer);
// A pointer editor as a tab of the series page; nothing while no series page hosts the control.
TSeriesPointerEditor* InsertPointerEditor(TWinControl* Parent, TObject* PointerOrSeries, const std::string& Caption);
void RegisterShapeEditorClasses();
