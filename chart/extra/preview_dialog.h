// The print preview window of charts: the preview panel beside the printer, the orientation,
// the four print margins in percent, the detail and a few switches, with Print and Close.
#pragma once

#include <memory>

#include "chart/engine/graph_panel.h"
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

// The bar that moves through the pages of a chart, as the preview dialog hosts it: the chart
// editor's page navigator derives from it. The dialog makes one from its class when it is shown,
// gives it the chart, repaints the preview on OnPageChange and lets it print a multi-page chart.
class TCustomPageNavigator : public TCustomPanelNoCaption {
  VM_CLASS(TCustomPageNavigator, TCustomPanelNoCaption)
public:
  explicit TCustomPageNavigator(TComponent* AOwner);
  ~TCustomPageNavigator() override;

  TCustomGraphPanel* Panel() const { return FPanel; }
  // Follows the panel until it is destroyed (then none).
  virtual void SetPanel(TCustomGraphPanel* Value);
  // The pages of the panel; 1 here.
  virtual int32_t PageCount() { return 1; }
  // Prints the panel's pages (asking for the range); nothing here.
  virtual void Print() {}
  int32_t HelpContext() const { return FHelpContext; }
  void SetHelpContext(int32_t Value) { FHelpContext = Value; }

  // After the navigator moved its panel to another page.
  TNotifyEvent OnPageChange;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Calls OnPageChange.
  void PageChanged();

private:
  TCustomGraphPanel* FPanel = nullptr;
  int32_t FHelpContext = 0;
};

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

  // The class of the page navigator made when the form is shown (a TCustomPageNavigator or a
  // descendant; nullptr: none). Raises EInvalidOperation for another class.
  TComponentClass PageNavigatorClass() const { return FNavigatorClass; }
  void SetPageNavigatorClass(TComponentClass Value);
  TCustomPageNavigator* PageNavigator() const { return FNavigator; }

  TCustomGraphPanel* Chart() const { return GraphPreviewPanel1->Panel(); }
  const TRect& SavedMargins() const { return FOldMargins; }

private:
  void ShowOrientation();
  void FillPrinters();
  void CreateNavigator();
  TComponentClass FNavigatorClass = nullptr;
  TCustomPageNavigator* FNavigator = nullptr;
  TRect FOldMargins;
  bool FUpdating = true;
  bool FSuppressProp = false;
  bool FShowing = false;
};
