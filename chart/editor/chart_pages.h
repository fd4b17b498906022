// The chart-wide pages of the chart editor: walls, titles, panel, legend, 3D, general and paging.
// Each edits its object in place: every control writes into the live chart, which repaints.
#pragma once

#include "chart/editor/page_kit.h"
#include "platform/forms.h"

class TButtonColor;
class TButtonGradient;
class TButtonPen;
class TChartLegend;
class TChartTitle;
class TChartWall;
class TCustomChart;
class TFormGraphShape;
class TGraphGradientEditor;
class TLabel;
class TRadioGroup;
class TMemo;
class TTrackBar;

class TFormGraphWall : public TForm {
  VM_CLASS(TFormGraphWall, TForm)
public:
  TFormGraphWall(TComponent* AOwner, TChartWall* Wall);
  TChartWall* Wall() const { return FWall; }

  TPageControl* TabSubWalls = nullptr;
  TButtonColor* BWallColor = nullptr;
  TButtonPen* BWallPen = nullptr;
  TButton* BWallBrush = nullptr;
  TButtonGradient* BGradient = nullptr;
  edkit::TSpin WallSize, Transparency, AllSize;
  TCheckBox *CBTransp = nullptr, *CBDark3D = nullptr, *CBVisible = nullptr, *CBAutoHide = nullptr,
            *CBView3dWalls = nullptr;

  void FormShow();
  void LoadWall();
  // 0 left, 1 right, 2 bottom, 3 back.
  void SelectWall(int Index);

private:
  TCustomChart* FChart = nullptr;
  TChartWall* FWall = nullptr;
  bool FLoading = false;
};

class TFormGraphTitle : public TForm {
  VM_CLASS(TFormGraphTitle, TForm)
public:
  TFormGraphTitle(TComponent* AOwner, TChartTitle* Title, TCustomChart* Chart);
  TChartTitle* Title() const { return FTitle; }

  TComboBox* CBTitles = nullptr;
  TPageControl* PageControlTitle = nullptr;
  TMemo* MText = nullptr;
  TCheckBox *CBVisible = nullptr, *CBAdjust = nullptr, *CBCustPos = nullptr;
  TComboBox* CBAlign = nullptr;
  edkit::TSpin CustLeft, CustTop;
  TFormGraphShape* Shape = nullptr;
  bool LoadingControls = true;

  void FormShow();
  void LoadTitleControls();
  void CBTitlesChange();

private:
  void EnableCustomPosition();
  TCustomChart* FChart = nullptr;
  TChartTitle* FTitle = nullptr;
  bool FFillingMemo = false;
};

class TFormGraphPanel : public TForm {
  VM_CLASS(TFormGraphPanel, TForm)
public:
  TFormGraphPanel(TComponent* AOwner, TCustomChart* Chart);

  TPageControl* Pages = nullptr;
  TButtonColor* BPanelColor = nullptr;
  TCheckBox* CBColorDef = nullptr;
  edkit::TSpin PanelBor, PanelWi, Round;
  TComboBox *CBInner = nullptr, *CBOuter = nullptr;
  TButtonPen* BBorder = nullptr;
  // The back image.
  TRadioGroup* RGBitmap = nullptr;
  TButton* BBrowseImage = nullptr;
  TCheckBox *CBImageInside = nullptr, *CBTransp = nullptr;
  edkit::TSpin ImageLeft, ImageTop;
  TGraphGradientEditor* GradientEditor = nullptr;

  void FormShow();
  void EnableBackImage();

private:
  void RefreshColorDefault();
  TCustomChart* FChart = nullptr;
  bool FLoading = false;
};

class TFormGraphLegend : public TForm {
  VM_CLASS(TFormGraphLegend, TForm)
public:
  TFormGraphLegend(TComponent* AOwner, TChartLegend* Legend);

  TCheckBox *CBShow = nullptr, *CBInverted = nullptr, *CBCheckBoxes = nullptr;
  TComboBox *CBLegStyle = nullptr, *CBLegendTextStyle = nullptr, *CBAlignment = nullptr;
  edkit::TSpin VertSpacing, ColorWidth, HorizMargin, TopPos;
  TFormGraphShape* Shape = nullptr;

  void FormShow();

private:
  TChartLegend* FLegend = nullptr;
  bool FLoading = false;
};

class TFormGraph3D : public TForm {
  VM_CLASS(TFormGraph3D, TForm)
public:
  TFormGraph3D(TComponent* AOwner, TCustomChart* Chart);

  TCheckBox *CBView3D = nullptr, *CBOrthogonal = nullptr, *CBZoomText = nullptr;
  edkit::TSpin Percent3D, Zoom, Rotation, Elevation, Perspective, HorizOffset, VertOffset, OrthoAngle;

  // Reads the chart's 3D settings again (every time the tab is shown).
  void CheckControls();

private:
  void EnableControls();
  TCustomChart* FChart = nullptr;
  bool FLoading = false;
};

class TFormGraphGeneral : public TForm {
  VM_CLASS(TFormGraphGeneral, TForm)
public:
  TFormGraphGeneral(TComponent* AOwner, TCustomChart* Chart);

  edkit::TSpin MarLeft, MarTop, MarRight, MarBottom;
  TComboBox* CBMarUnits = nullptr;
  TCheckBox *CBAllowZoom = nullptr, *CBClipPoints = nullptr;
  TComboBox* CBAllowPanning = nullptr;

  void FormShow();

private:
  TCustomChart* FChart = nullptr;
  bool FLoading = false;
};

class TFormGraphPage : public TForm {
  VM_CLASS(TFormGraphPage, TForm)
public:
  TFormGraphPage(TComponent* AOwner, TCustomChart* Chart);

  edkit::TSpin PointsPerPage;
  TCheckBox* CBScaleLast = nullptr;
  TLabel* LPages = nullptr;
  TButton *BFirst = nullptr, *BPrior = nullptr, *BNext = nullptr, *BLast = nullptr;

  void FormShow();
  void ShowPageNumber();

private:
  TCustomChart* FChart = nullptr;
  bool FLoading = false;
};
