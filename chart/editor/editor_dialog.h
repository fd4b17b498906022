// The chart editor: the component every chart view holds, and the dialog it shows. The dialog is a
// frame of tabs: "Chart" (the series list and the chart-wide pages), "Series" (the selected
// series), "Data" (a grid of the points), "Tools", "Export" and "Print". Each page is made the
// first time its tab shows and edits the live chart.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/editor/chart_list_box.h"
#include "platform/forms.h"

class TButton;
class TChartAxis;
class TCheckListBox;
class TGraphCustomTool;
class TSeriesGroup;
class TSplitter;
class TTreeNode;
class TTreeView;
class TChartGrid;
class TChartGridNavigator;
class TChartPreview;
class TChartSeries;
class TCheckBox;
class TCustomChart;
class TFormGraph3D;
class TFormGraphAxis;
class TFormGraphSeries;
class TFormGraphTools;
class TGraphExportForm;
class TMenuItem;
class TPageControl;
class TPopupMenu;
class TPanel;
class TTabSheet;

enum TChartEditorOption {
  ceAdd,
  ceDelete,
  ceChange,
  ceClone,
  ceDataSource,
  ceTitle,
  ceHelp,
  ceGroups,
  ceGroupAll,
  ceOrderSeries
};
using TChartEditorOptions = uint16_t;
constexpr TChartEditorOptions ceOption(TChartEditorOption O) { return static_cast<TChartEditorOptions>(1u << O); }
// Every option but the series groups.
constexpr TChartEditorOptions DefaultChartEditorOptions = 0x37F;

enum TChartEditorTab {
  cetMain,
  cetGeneral,
  cetAxis,
  cetTitles,
  cetLegend,
  cetPanel,
  cetPaging,
  cetWalls,
  cet3D,
  cetSeriesGeneral,
  cetSeriesMarks,
  cetAllSeries,
  cetSeriesData,
  cetExport,
  cetExportNative,
  cetTools,
  cetPrintPreview
};
using TChartEditorHiddenTabs = uint32_t;
constexpr TChartEditorHiddenTabs cetTab(TChartEditorTab T) { return 1u << T; }

class TCustomChartEditor : public TComponent {
  VM_CLASS(TCustomChartEditor, TComponent)
public:
  explicit TCustomChartEditor(TComponent* AOwner) : TComponent(AOwner) {}
  TCustomChart* Chart() const { return FChart; }
  virtual void SetChart(TCustomChart* Value);
  virtual void Execute() {}
  TNotifyEvent OnClose, OnShow;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  TCustomChart* FChart = nullptr;
};

class TChartEditor : public TCustomChartEditor {
  VM_CLASS(TChartEditor, TCustomChartEditor)
public:
  explicit TChartEditor(TComponent* AOwner);
  ~TChartEditor() override;

  bool AutoRepaint = true;
  TChartEditorTab DefaultTab = cetMain;
  TChartEditorHiddenTabs HideTabs = 0;
  bool HighLightTabs = false;
  TChartEditorOptions Options = DefaultChartEditorOptions;
  bool RememberPosition = false;
  std::string Title;
  bool TreeView = false;
  TChangeOrderEvent OnChangeSeriesOrder;

  TChartSeries* Series() const { return FSeries; }
  void SetSeries(TChartSeries* Value);
  void SetChart(TCustomChart* Value) override;
  void Execute() override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TChartSeries* FSeries = nullptr;
  // Set while Execute runs: the editor going with its window during the dialog says so there.
  bool* FGone = nullptr;
};

class TChartEditForm : public TForm {
  VM_CLASS(TChartEditForm, TForm)
public:
  explicit TChartEditForm(TComponent* AOwner);
  ~TChartEditForm() override;

  // The designed size at 96 pixels per inch: room for the widest page (the axis page) whole.
  static constexpr int kDesignWidth = 620, kDesignHeight = 460;

  TPageControl* MainPage = nullptr;
  TTabSheet *TabChart = nullptr, *TabSeries = nullptr, *TabData = nullptr, *TabTools = nullptr, *TabExport = nullptr,
            *TabPrint = nullptr;
  TPageControl* SubPage = nullptr;
  // In index order 0..8: the series list, General, Axis, Titles, Legend, Panel, Paging, Walls, 3D.
  TTabSheet* ChartTabs[9] = {};
  TButton *ButtonHelp = nullptr, *BClose = nullptr;
  TChartListBox* LBSeries = nullptr;
  TButton *BAddSeries = nullptr, *BDeleteSeries = nullptr, *BRenameSeries = nullptr, *BCloneSeries = nullptr,
          *BChangeTypeSeries = nullptr, *BMoveUP = nullptr, *BMoveDown = nullptr;
  TButton *BAddGroup = nullptr, *BDeleteGroup = nullptr, *BRenameGroup = nullptr;
  // What the series-list tab and the data tab hold, in one panel each.
  TPanel *PanelSeriesList = nullptr, *PanelData = nullptr;
  TChartGrid* ChartGrid1 = nullptr;
  TChartGridNavigator* ChartGridNavigator1 = nullptr;
  TCheckBox *SBGridText = nullptr, *SBGridCol = nullptr, *SBGrid3D = nullptr, *SBGridX = nullptr;
  // The data grid's pop-up menu.
  TPopupMenu* PopupData = nullptr;
  TMenuItem *EditColor1 = nullptr, *DefaultColor1 = nullptr, *Makenullpoint1 = nullptr, *N1 = nullptr,
            *Insertrow1 = nullptr, *Deleterow1 = nullptr, *N2 = nullptr, *extfont1 = nullptr;
  void PopupDataPopup();
  void extfont1Click();
  // The series groups beside the series list (shown with ceGroups).
  TPanel* PanelGroups = nullptr;
  TCheckListBox* Groups = nullptr;
  TSplitter* GroupsSplitter = nullptr;
  // Tree mode: the navigation tree on the left and the panel that shows the chosen node's page.
  TTreeView* Tree = nullptr;
  TSplitter* TreeSplitter = nullptr;
  TPanel* TreeHost = nullptr;
  TTreeNode *SeriesNode = nullptr, *ToolsNode = nullptr;
  int WidthWithoutTree = 0, TreeWidth = 160;

  // The embedded pages (none until first shown).
  TForm* ChartPages[9] = {};
  TFormGraphSeries* SeriesPage = nullptr;
  TFormGraphTools* ToolsPage = nullptr;
  TGraphExportForm* ExportPage = nullptr;
  TChartPreview* PreviewPage = nullptr;

  std::string TheTitle;
  int TheActivePageIndex = -1;
  TChartEditorHiddenTabs TheHiddenTabs = 0;
  TChartEditorOptions TheEditorOptions = DefaultChartEditorOptions;
  bool HighlightTabs = false, RememberPosition = true, RememberSize = true, TreeMode = false;
  TChartSeries* TheSeries = nullptr;
  TChartAxis* TheAxis = nullptr;

  TCustomChart* Chart() const { return FChart; }
  // Stores the chart and restores the stored placement.
  void RestoreEditorPlacement(TCustomChart* Chart);
  void FormShow();
  bool FormCloseQuery();
  void MainPageChange();
  bool MainPageChanging();
  void SubPageChange();
  void LBSeriesRefreshButtons();
  void LBSeriesEditSeries();
  void ShowSeriesPage();
  void BAddSeriesClick();
  void BDeleteSeriesClick();
  void BRenameSeriesClick();
  void BCloneSeriesClick();
  void BChangeTypeSeriesClick();
  void SelectFirstSeries();
  // Stores the placement (the destructor does it too).
  void StorePlacement();

  // Series groups.
  void FillGroupList();
  // The group of the selected entry; none for "(all)" or without a selection.
  TSeriesGroup* SelectedGroup() const;
  void GroupsClick();
  void GroupsClickCheck(int Index);
  // A series dragged over the entry at Index: whether a drop there is taken.
  bool GroupsDragOver(TChartSeries* Series, int Index) const;
  void GroupsDragDrop(TChartSeries* Series, int Index);
  void BAddGroupClick();
  void BRenameGroupClick();
  void BDeleteGroupClick();

  // Tree mode.
  void BuildEditorTree();
  void FillSeriesNodes();
  void TreeChange(TTreeNode* Node);
  // The control shown in the host panel, none before the first node is chosen.
  TControl* HostedControl() const { return FHosted; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void ApplyHiddenTabs();
  void GoToDefaultTab();
  void DataTabShow();
  void HighlightActive();
  void FormResize();
  void HostControl(TControl* C);
  void ReturnHosted();
  TFormGraphTools* EnsureToolsPage();
  TForm* EnsureChartPage(int Index);
  void AddToolNode(TGraphCustomTool* Tool);
  TCustomChart* FChart = nullptr;
  bool FStored = false;
  bool FTreeBuilt = false;
  bool FFocusInSubPage = false, FFocusOnMainTabs = false;
  // What a tree node opens.
  struct TNodeTarget {
    enum TKind { Tab, ChartRoot, Series, Axis, Title, Tool } Kind;
    void* Object;
  };
  std::vector<std::unique_ptr<TNodeTarget>> FNodeTargets;
  TTreeNode* AddNode(TTreeNode* Parent, const std::string& Text, TNodeTarget::TKind Kind, void* Object);
  TTreeNode* FindNode(TNodeTarget::TKind Kind, const void* Object) const;
  TControl* FHosted = nullptr;
  TWinControl* FHostedHome = nullptr;
  bool FHostedTabHidden = false;
};

// Registers the dialog's form class and the editor pages with the class registry.
void RegisterEditorDialogClasses();
