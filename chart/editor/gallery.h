// The series gallery: every registered series or function type drawn as a small live chart in a
// grid of cells, page by page, with a pop-up of a type's style variants; the two gallery dialogs
// and the routines that make a new series or change a series' type from the user's choice.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "chart/engine/chart.h"
#include "chart/engine/graph_function.h"
#include "chart/engine/graph_panel.h"
#include "chart/engine/registries.h"
#include "platform/forms.h"

class TButton;
class TCheckBox;
class TComboBox;
class TChartGalleryPanel;
class TChartListBox;
class TPageControl;
class TPaintBox;
class TPanel;

// One thumbnail of the gallery; its owner is its gallery panel.
class TGalleryChart : public TCustomChart {
  VM_CLASS(TGalleryChart, TCustomChart)
public:
  explicit TGalleryChart(TComponent* AOwner);

  // Drawn supersampled; set while that drawing runs.
  bool Smooth = false;
  bool DrawingSmooth = false;
  TChartGalleryPanel* Panel() const;

protected:
  void MouseEnter() override;
  void MouseLeave() override;

private:
  void DrawHoverFrame(bool Raised);
};

// The thumbnails of a panel, in creation order; Clear frees them.
class TChartList {
public:
  TChartList() = default;
  TChartList(const TChartList&) = delete;
  TChartList& operator=(const TChartList&) = delete;
  ~TChartList() { Clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  // Range error outside 0..Count-1.
  TGalleryChart* Items(int Index) const;
  void Add(TGalleryChart* Chart) { FItems.push_back(Chart); }
  void Clear();
  int IndexOf(const TGalleryChart* Chart) const;

private:
  std::vector<TGalleryChart*> FItems;
};

class TChartGalleryPanel : public TCustomPanelNoCaption {
  VM_CLASS(TChartGalleryPanel, TCustomPanelNoCaption)
public:
  explicit TChartGalleryPanel(TComponent* AOwner);
  ~TChartGalleryPanel() override;

  bool DisplaySub = true;
  bool FocusRotation = true;
  int32_t NumRows() const { return FNumRows; }
  void SetNumRows(int32_t Value);
  int32_t NumCols() const { return FNumCols; }
  void SetNumCols(int32_t Value);
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool Value);
  bool View3D() const { return FView3D; }
  void SetView3D(bool Value);

  TNotifyEvent OnSelectedChart;
  TNotifyEvent OnChangeChart;
  TNotifyEvent OnSubSelected;

  TChartList Charts;
  TGalleryChart* SelectedChart = nullptr;
  bool ShowFunctions = false;
  TChartSeries* CurrentSeries = nullptr;
  bool DisableInvalidTypes = false;
  bool IsSubGallery = false;
  int32_t CellWidth = 0, CellHeight = 0;
  bool InitialSmooth = false;
  // The variant pop-up while it is open.
  TForm* SubGalleryForm = nullptr;
  TChartGalleryPanel* SubGallery = nullptr;

  void CreateGalleryPage(const std::string& Page);
  TGalleryChart* CreateChart(const TGraphSeriesType& AType);
  virtual void SelectChart(TGalleryChart* Chart);
  bool GetSelectedType(TChartSeriesClass& SeriesClass, TGraphFunctionClass& FunctionClass, int& SubIndex) const;
  void HighlightSelected();
  void ShowSubGallery();
  // One thumbnail per style variant of the class (Tag the variant's index).
  void FillStyleVariants(TChartSeriesClass SeriesClass);
  void ChartClick(TObject* Sender);
  void DoSelectedChart(TObject* Sender);
  // Re-places every thumbnail in its cell.
  void CalcChartCells();
  // The hot square of a thumbnail's variant mark, in its client coordinates.
  static TRect VariantMarkRect(TGalleryChart* Chart);
  // Key handling of the panel (the thumbnails pass their keys here).
  void GalleryKeyDown(uint16_t& Key, TShiftState Shift);

protected:
  void KeyDown(uint16_t& Key, TShiftState Shift) override;
  void Resize() override;

private:
  friend class TGalleryChart;
  void PlaceChart(TGalleryChart* Chart, int Index);
  void ApplyAxisLabels(TGalleryChart* Chart);
  void Highlight(TGalleryChart* Chart);
  void Unhighlight(TGalleryChart* Chart);
  void AfterDraw(TGalleryChart* Chart);
  void SmoothDraw(TGalleryChart* Chart);
  void SubGallerySelected(TObject* Sender);
  int32_t FNumRows = 3, FNumCols = 4;
  bool FSmooth = false;
  bool FView3D = true;
};

// The tabbed gallery dialog: series and functions, one tab per gallery page.
class TGraphGallery : public TForm {
  VM_CLASS(TGraphGallery, TForm)
public:
  explicit TGraphGallery(TComponent* AOwner);

  TPageControl* TabTypes = nullptr;
  TPageControl* TabPages = nullptr;
  TChartGalleryPanel* ChartGalleryPanel1 = nullptr;
  TPanel* P1 = nullptr;
  TButton* BOk = nullptr;
  TButton* BCancel = nullptr;
  TCheckBox* CB3D = nullptr;
  TCheckBox* CBSmooth = nullptr;

  void RemoveFunctionsTab();
  void FormShow();
  void TabTypesChange();
  void TabPagesChange();
  void FillPageTabs();
  // The page names of the tabs (tests read them).
  std::vector<std::string> PageNames() const;
};

// The alternate gallery dialog: a page list, the types of the page and the variants of the type.
class TGraphGalleryForm : public TForm {
  VM_CLASS(TGraphGalleryForm, TForm)
public:
  explicit TGraphGalleryForm(TComponent* AOwner);
  ~TGraphGalleryForm() override;

  TComboBox* CBPage = nullptr;
  TCheckBox* CB3D = nullptr;
  TCheckBox* CBSmooth = nullptr;
  TChartListBox* ChartListBox1 = nullptr;
  TChartGalleryPanel* ChartGalleryPanel1 = nullptr;
  TButton* BOK = nullptr;
  TButton* BCancel = nullptr;
  TChart* SampleChart = nullptr;

  void CBPageChange();
  void ChartListBox1Click();
  void ShowVariants(TChartSeriesClass SeriesClass);

private:
  TChartSeriesClass FLastSeriesClass = nullptr;
};

bool ShowGallery(TComponent* Owner, TChartSeries* Current, bool AllowFunctions, int& SubIndex, bool DisableInvalidTypes,
                 TGraphFunctionClass& FunctionClass, bool& View3D, TChartSeriesClass& SeriesClass);
TChartSeries* CreateSeriesFromGallery(TComponent* Owner, TChartSeries* Current, TCustomAxisPanel* Chart, int& SubIndex,
                                      bool DisableInvalidTypes, bool AllowFunctions);
TChartSeries* GalleryNewSeries(TComponent* Owner, TCustomAxisPanel* Chart, TChartSeries* Current);
void GalleryChangeSeriesType(TComponent* Owner, TChartSeries*& Series);
TChartSeriesClass GalleryChangeSeriesTypeClass(TComponent* Owner, TChartSeries*& Series);

// Start-up of the gallery: registers the standard series and installs the list box's hooks;
// shutdown clears them.
void InitGallery();
void DoneGallery();
