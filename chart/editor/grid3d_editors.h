// Editor forms of the series that carry a Z value and colour themselves from a range or a palette:
// the "Grid 3D" form that all of them share (grid size, depth, single colour, colour range or
// palette), and the forms of the surface, water fall, contour and colour grid series. The forms
// of the tri-surface, tower, vector and point 3D series are in palette_editors.h.
#pragma once

#include <functional>
#include <string>

#include "chart/editor/series_editor_kit.h"
#include "chart/engine/graph_panel.h"
#include "platform/forms.h"

class TButton;
class TButtonColor;
class TButtonPen;
class TChartSeries;
class TCheckBox;
class TColorGridSeries;
class TComboFlat;
class TContourSeries;
class TCustom3DPaletteSeries;
class TEdit;
class TLabel;
class TPageControl;
class TPanel;
class TPicture;
class TRadioGroup;
class TSurfaceSeries;
class TTabSheet;
class TTimer;
class TUpDown;
class TWinControl;

// Fills a colour grid from a picture: one cell per pixel, its value and colour the pixel's colour.
void FillColorGridFromPicture(TColorGridSeries* Series, TPicture* Picture);

class TGrid3DSeriesEditor : public TForm, public IChartEventListener {
  VM_CLASS(TGrid3DSeriesEditor, TForm)
public:
  explicit TGrid3DSeriesEditor(TComponent* AOwner);
  ~TGrid3DSeriesEditor() override;

  TCustom3DPaletteSeries* Grid3DSeries = nullptr;
  bool CreatingForm = true;  // the loading flag
  TTimer* Timer1 = nullptr;

  sekit::TIntField XGrid, ZGrid, Depth, PaletteSteps, LegendEvery;
  // Named as the layouts name them.
  TEdit *SEXGrid = nullptr, *SEZGrid = nullptr, *EDepth = nullptr, *SEPalette = nullptr, *Edit1 = nullptr;
  TUpDown *UZOVira = nullptr, *UDZGrid = nullptr, *UDDepth = nullptr, *UDPalette = nullptr, *UDLegendEvery = nullptr;
  TCheckBox* CBIrreg = nullptr;
  TPageControl* PageControl1 = nullptr;
  TTabSheet *TabSingle = nullptr, *TabRange = nullptr, *TabPalette = nullptr;
  TButtonColor* BColor = nullptr;
  TButton* BRemove = nullptr;
  TButtonColor *BFromColor = nullptr, *BMidColor = nullptr, *BToColor = nullptr;
  TCheckBox* CheckBox1 = nullptr;  // "&No middle"
  TButton* Button1 = nullptr;      // "S&wap"
  TButton* Button2 = nullptr;      // "&Gallery..."
  TComboFlat* CBPalStyle = nullptr;
  TCheckBox* CBUseMin = nullptr;
  TEdit *EPaletteMin = nullptr, *EPaletteStep = nullptr;

  void RefreshControls(TCustom3DPaletteSeries* Series);
  void FormShow();
  void PageControl1Change();
  void CheckBox1Click();
  void BRemoveClick();
  void Button1Click();
  void Button2Click();
  void Timer1Timer();
  void ChartEvent(TGraphEvent* Event) override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void SEXGridChange();
  void Listen(TCustomGraphPanel* Chart);
  void ApplyMiddleRule();
  TCustomGraphPanel* FListening = nullptr;
};

// The "Grid 3D" tab for Series, inserted at page index 1 of the series page that hosts Editor;
// nothing when no series page hosts it.
TGrid3DSeriesEditor* InsertGrid3DEditor(TForm* Editor, TChartSeries* Series);
// The "Grid 3D" tab of Editor for Series: inserted when Ref is still empty, bound to Series anew
// when Editor now edits another series.
void ShowGrid3DEditor(TGrid3DSeriesEditor*& Ref, TForm* Editor, TCustom3DPaletteSeries* Series);

class TSurfaceSeriesEditor : public TForm {
  VM_CLASS(TSurfaceSeriesEditor, TForm)
public:
  explicit TSurfaceSeriesEditor(TComponent* AOwner);

  TSurfaceSeries* Surface = nullptr;
  TGrid3DSeriesEditor* Grid3DForm = nullptr;
  TRadioGroup* RadioGroup1 = nullptr;
  TCheckBox *CBSmooth = nullptr, *CBFastBrush = nullptr;
  TButtonPen *Button2 = nullptr, *BSideLines = nullptr;
  TButton *Button3 = nullptr, *Button1 = nullptr;
  sekit::TIntField Transp;

  virtual void FormShow();
  void RadioGroup1Click();

protected:
  bool FLoading = false;
};

class TWaterFallEditor : public TSurfaceSeriesEditor {
  VM_CLASS(TWaterFallEditor, TSurfaceSeriesEditor)
public:
  explicit TWaterFallEditor(TComponent* AOwner);
  TButtonPen* BLines = nullptr;
  void FormShow() override;
};

class TContourSeriesEditor : public TForm {
  VM_CLASS(TContourSeriesEditor, TForm)
public:
  explicit TContourSeriesEditor(TComponent* AOwner);

  TContourSeries* Contour = nullptr;
  TGrid3DSeriesEditor* Grid3DForm = nullptr;
  bool CreatingForm = true;
  TButtonPen* Button2 = nullptr;
  TCheckBox *CBYPosLevel = nullptr, *CBAutoLevels = nullptr, *CBColorEach = nullptr;
  TCheckBox *CBSmooth = nullptr, *CBInterpolate = nullptr, *cbDefaultPen = nullptr;
  sekit::TIntField YPos, Num, Level;
  TEdit *SEYPos = nullptr, *SENum = nullptr, *ELevel = nullptr, *EValue = nullptr;
  TUpDown *UDYPos = nullptr, *UDNum = nullptr, *UDLevel = nullptr;
  TPanel* SHColor = nullptr;
  TButtonPen* bLevelPen = nullptr;

  void FormShow();
  void ShowLevel();  // the level display
  void SHColorMouseUp();
  void cbDefaultPenClick();
  void bLevelPenClick();

private:
  void AutomaticRule();
};

class TColorGridEditor : public TForm {
  VM_CLASS(TColorGridEditor, TForm)
public:
  explicit TColorGridEditor(TComponent* AOwner);

  TColorGridSeries* Grid = nullptr;
  TGrid3DSeriesEditor* Grid3DForm = nullptr;
  bool CreatingForm = true;
  TButtonPen *BGrid = nullptr, *ButtonPen1 = nullptr;
  TCheckBox *CBCentered = nullptr, *CBSmooth = nullptr;
  sekit::TIntField XEvery, ZEvery;
  TButton* Button2 = nullptr;

  void FormShow();
  void Button2Click();
};

void RegisterGrid3DEditorForms();
