// The gradient editor: visibility, direction, the three colours, balance and radial offset of one
// gradient fill, with named colour themes and a picker of the ten directions; a modal dialog or a
// form embedded in another editor. Also the preview panel and the button that opens the dialog.
#pragma once

#include <memory>
#include <string>

#include "chart/engine/editor_controls.h"
#include "chart/engine/graph_effects.h"
#include "chart/engine/graph_panel_ext.h"
#include "platform/forms.h"

class TButtonColor;
class TCheckBox;
class TChartGalleryPanel;
class TComboBox;
class TGalleryChart;
class TLabel;
class TListBox;
class TPageControl;
class TPanel;
class TScrollBar;
class TTabSheet;
class TTrackBar;

// A panel that shows nothing but its gradient.
class TPreviewGradient : public TCustomGraphPanelExtended {
  VM_CLASS(TPreviewGradient, TCustomGraphPanelExtended)
public:
  explicit TPreviewGradient(TComponent* AOwner);
  void DrawContents(const TRect& Rect) override;
};

class TGraphGradientEditor : public TForm {
  VM_CLASS(TGraphGradientEditor, TForm)
public:
  explicit TGraphGradientEditor(TComponent* AOwner);
  ~TGraphGradientEditor() override;
  // An editor shown inside another form: no OK and Cancel, filling its parent.
  static TGraphGradientEditor* CreateEmbedded(TComponent* AOwner, TCustomGraphGradient* Gradient);

  TCustomGraphGradient* EditedGradient = nullptr;
  std::unique_ptr<TGraphGradient> SavedGradient;
  bool GradientChanged = false;
  bool FixedEndColor = false;
  TPreviewGradient* Preview = nullptr;

  TCheckBox* CBVisible = nullptr;
  TComboBox* CBDirection = nullptr;
  TPageControl* PageControl1 = nullptr;
  TTabSheet* TabDefault = nullptr;
  TTabSheet* TabColors = nullptr;
  TTabSheet* TabOptions = nullptr;
  TTabSheet* TabDirections = nullptr;
  TListBox* Gallery = nullptr;
  TButtonColor* BStart = nullptr;
  TButtonColor* BMid = nullptr;
  TButtonColor* BEnd = nullptr;
  TCheckBox* CBMid = nullptr;
  TButton* BSwap = nullptr;
  TScrollBar* SBBalance = nullptr;
  TLabel* LabelBalance = nullptr;
  TTrackBar* TrackBar1 = nullptr;
  TTrackBar* TrackBar2 = nullptr;
  TLabel* LRadialX = nullptr;
  TLabel* LRadialY = nullptr;
  TLabel* LabelHoriz = nullptr;
  TLabel* LabelVert = nullptr;
  TChartGalleryPanel* Directions = nullptr;
  TPanel* PanelBottom = nullptr;
  TButton* BOk = nullptr;
  TButton* BCancel = nullptr;

  virtual void LoadControls();
  virtual void RefreshPreview();
  virtual void RefreshControls(TCustomGraphGradient* Gradient);

  void FormShow();
  void CBVisibleClick();
  void CBDirectionChange();
  void DirectionsSelected(TGalleryChart* Chart);
  void GalleryClick();
  void BStartClick();
  void BMidClick();
  void CBMidClick();
  void BSwapClick();
  void SBBalanceChange();
  void TrackBar1Change();
  void TrackBar2Change();
  void BCancelClick();

private:
  void EnableColorControls();
  void EnableDirectionControls();
  void RecolorDirections();
  void SelectDirectionChart();
  bool FLoading = false;
  TColor FLastMid = clNone;
};

// A button showing a gradient that opens the gradient dialog.
class TButtonGradient : public TGraphButton {
  VM_CLASS(TButtonGradient, TGraphButton)
public:
  explicit TButtonGradient(TComponent* AOwner) : TGraphButton(AOwner) {}
  void LinkGradient(TCustomGraphGradient* Gradient);
  TCustomGraphGradient* Gradient() const;
  void Click() override;
  void DrawSymbol(TGraphCanvas* Canvas) override;
  bool FixedEndColor = false;
};

// The named themes: their count and names in table order; applying one sets the colours,
// direction and balance of its row ("Hot" has no middle colour).
constexpr int GradientThemeCount = 17;
const std::string& GradientThemeName(int Index);
void ApplyGradientTheme(TCustomGraphGradient* Gradient, int Index);

bool ShowGradientDialog(TComponent* Control, TCustomGraphGradient* Gradient, bool FixedEndColor = false,
                        bool HideVisible = false);
