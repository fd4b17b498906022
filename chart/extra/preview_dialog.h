// The print preview window of charts: the preview panel beside the printer, the orientation,
// the four print margins in percent, the detail and a few switches, with Print and Close.
#pragma once

#include <memory>

#include "chart/engine/graph_panel.h"
#include "chart/extra/graph_navigator.h"
#include "chart/extra/print_preview.h"
#include "platform/forms.h"

class TButton;
class TCheckBox;
class TComboBox;
class TCustomPanelNoCaption;
class TEdit;
class TGroupBox;
class TLabel;
class TPrinterSetupDialog;
class TRadioButton;
class TTrackBar;
class TUpDown;

class TChartPreview : public TForm {
  VM_CLASS(TChartPreview, TForm)
public:
  explicit TChartPreview(TComponent* AOwner);
  ~TChartPreview() override;

  TComboBox* CBPrinters = nullptr;
  TButton *BSetupPrinter = nullptr, *BPrint = nullptr, *BClose = nullptr;
  TCustomPanelNoCaption *PanelClose = nullptr, *PanelMargins = nullptr;
  // "Orien&tation:" with its two choices.
  TGroupBox* Orientation = nullptr;
  TRadioButton *OrientationPortrait = nullptr, *OrientationLandscape = nullptr;
  TGroupBox* GBMargins = nullptr;
  TEdit *SELeftMa = nullptr, *SETopMa = nullptr, *SERightMa = nullptr, *SEBotMa = nullptr;
  TUpDown *UDLeftMa = nullptr, *UDTopMa = nullptr, *UDRightMa = nullptr, *UDBotMa = nullptr;
  TGroupBox* ChangeDetailGroup = nullptr;
  TTrackBar* Resolution = nullptr;
  TButton* BReset = nullptr;
  TCheckBox *ShowMargins = nullptr, *CBProp = nullptr, *CheckBox1 = nullptr;
  TGraphPreviewPanel* GraphPreviewPanel1 = nullptr;
  std::unique_ptr<TPrinterSetupDialog> PrinterSetupDialog;

  void HideCloseButton();
  void FormShow();
  void RefreshMargins();
  void GraphPreviewPanel1ChangeMargins(TObject* Sender, bool DisableProportional, const TRect& NewMargins);
  // A margin edit moved to Position: 0 left, 1 top, 2 right, 3 bottom.
  void MarginChange(int Which, int Position);
  // 0 portrait, 1 landscape.
  int OrientationIndex() const;
  void OrientationClick(int Index);
  void CBPrintersChange();
  void BSetupPrinterClick();
  void ShowMarginsClick();
  void BResetClick();
  void CBPropClick();
  void TrackBar1Change();
  void CheckBox1Click();
  void BPrintClick();
  void FormDestroy();

  // The class of the page navigator made when the form is shown (a TCustomGraphNavigator or a
  // descendant; nullptr: none). Raises EInvalidOperation for another class.
  TComponentClass PageNavigatorClass() const { return FNavigatorClass; }
  void SetPageNavigatorClass(TComponentClass Value);
  TCustomGraphNavigator* PageNavigator() const { return FNavigator; }

  TCustomGraphPanel* Chart() const { return GraphPreviewPanel1->Panel(); }
  const TRect& SavedMargins() const { return FOldMargins; }

private:
  void ShowOrientation();
  void FillPrinters();
  void CreateNavigator();
  TComponentClass FNavigatorClass = nullptr;
  TCustomGraphNavigator* FNavigator = nullptr;
  TRect FOldMargins;
  bool FUpdating = true;
  bool FSuppressProp = false;
  bool FShowing = false;
};
