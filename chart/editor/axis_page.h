// The "Axis" page of the chart editor: the chart's axes on the left, and tabs that edit the
// chosen axis' scales, title, labels, ticks, minor ticks and position, straight into the chart.
#pragma once

#include <functional>

#include "chart/editor/page_kit.h"
#include "platform/forms.h"

class TButton;
class TButtonPen;
class TChartAxis;
class TCustomAxisPanel;
class TGraphFontEditor;
class TLabel;
class TListBox;

// Clears the list and adds the axes' names in their fixed order: left, right, top, bottom, the two
// depth axes when asked, then "Custom 0", "Custom 1"... for the custom axes.
void FillAxisList(TCustomAxisPanel* Chart, TStrings* Items, bool WithDepth);

class TFormGraphAxis : public TForm {
  VM_CLASS(TFormGraphAxis, TForm)
public:
  TFormGraphAxis(TComponent* AOwner, TChartAxis* Axis);

  TChartAxis* Axis() const { return FAxis; }
  void SetAxis(TChartAxis* Value);
  std::function<void(TObject* Sender, TChartAxis* Axis)> OnAxisChanged;

  TListBox* LBAxes = nullptr;
  TCheckBox *CBShow = nullptr, *CBAxisBeh = nullptr;
  TButton *BAdd = nullptr, *BDelete = nullptr;
  TPageControl* PageAxis = nullptr;
  // Scales.
  TCheckBox *CBVisible = nullptr, *CBAutomatic = nullptr, *CBLogarithmic = nullptr, *CBInverted = nullptr;
  TEdit* ELogBase = nullptr;
  TCheckBox* LogE = nullptr;
  TLabel *LAxisIncre = nullptr, *LAxisMin = nullptr, *LAxisMax = nullptr;
  TButton *BIncre = nullptr, *BAxisMin = nullptr, *BAxisMax = nullptr;
  TCheckBox *CBAutoMin = nullptr, *CBAutoMax = nullptr;
  edkit::TSpin MinOff, MaxOff;
  // Title.
  TEdit* ETitle = nullptr;
  edkit::TSpin TitleAngle, TitleSize;
  TCheckBox* CBTitleVisible = nullptr;
  TGraphFontEditor* TitleFont = nullptr;
  // Labels.
  TCheckBox *CBLabels = nullptr, *CBMultiline = nullptr, *CBOnAxis = nullptr, *CBRoundFirst = nullptr,
            *CBAlternate = nullptr, *CBExpo = nullptr, *CBLabelAlign = nullptr;
  TComboBox *CBLabelStyle = nullptr, *CBFormat = nullptr;
  TLabel* LabelAxisFormat = nullptr;
  edkit::TSpin LabelsAngle, LabelsSize, Separation;
  TGraphFontEditor* LabelsFont = nullptr;
  // Ticks and minor ticks.
  TButtonPen *BAxisPen = nullptr, *BTickPen = nullptr, *BTickInner = nullptr, *BAxisGrid = nullptr,
             *BTickMinor = nullptr, *BMinorGrid = nullptr;
  edkit::TSpin TickLength, InnerLength, GridZ, MinorLength, MinorCount;
  TCheckBox *CBTickOnLabels = nullptr, *CBGridCentered = nullptr;
  // Position.
  edkit::TSpin Pos, Start, End, ZPos;
  TComboBox* CBPosUnits = nullptr;
  TCheckBox *CBOtherSide = nullptr, *CBHorizAxis = nullptr;

  void FormShow();
  void PageAxisChange();
  void LBAxesClick();
  void BAddClick();
  void BDeleteClick();
  // The axis' minimum (Min) or maximum asked with the value dialog.
  void BAxisMinMaxClick(bool Min);
  void BIncreClick();
  bool LoadingControls = true;

private:
  TCustomAxisPanel* Chart() const;
  bool IsCustom() const;
  void LoadScales();
  void LoadTitle();
  void LoadLabels();
  void LoadTicks();
  void LoadPosition();
  void Changed();
  template <class F>
  std::function<void(bool)> OnCheck(F Fn);
  template <class F>
  std::function<void(int)> OnInt(F Fn);
  TChartAxis* FAxis = nullptr;
  bool FSettingAuto = false;
};
