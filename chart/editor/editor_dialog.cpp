#include "chart/editor/editor_dialog.h"

#include <algorithm>

#include "chart/editor/axis_page.h"
#include "chart/editor/brush_shadow_font.h"
#include "chart/editor/chart_grid.h"
#include "chart/editor/chart_pages.h"
#include "chart/editor/series_page.h"
#include "chart/editor/tools_page.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_helpers.h"
#include "chart/engine/tool_base.h"
#include "chart/extra/export_dialog.h"
#include "chart/extra/export_formats.h"
#include "chart/extra/pen_dialog.h"
#include "chart/extra/preview_dialog.h"
#include "chart/engine/engine_texts.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "platform/checklst.h"
#include "platform/sysutils.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/dragdrop.h"
#include "platform/extctrls.h"
#include "platform/guards.h"
#include "platform/inifiles.h"
#include "platform/menus.h"
#include "platform/splitter.h"
#include "platform/stdctrls.h"
#include "platform/treeview.h"

VM_DEFINE_CLASS(TCustomChartEditor)
VM_DEFINE_CLASS(TChartEditor)
VM_DEFINE_CLASS(TChartEditForm)

using namespace edkit;

namespace {

// The series groups' check list: takes series dragged from the dialog's series list.
class TGroupsList : public TCheckListBox, public TDragTarget {
public:
  explicit TGroupsList(TChartEditForm* Form) : TCheckListBox(Form), FForm(Form) {}
  void DragOver(TDragObject* Source, int X, int Y, TDragState, bool& Accept) override {
    Accept = FForm->GroupsDragOver(Dragged(Source), ItemAtPos(TPoint(X, Y), true));
  }
  void DragDrop(TDragObject* Source, int X, int Y) override {
    FForm->GroupsDragDrop(Dragged(Source), ItemAtPos(TPoint(X, Y), true));
  }

private:
  TChartSeries* Dragged(TDragObject* Source) const {
    return Source && Source->Source == FForm->LBSeries ? FForm->LBSeries->SelectedSeries() : nullptr;
  }
  TChartEditForm* FForm;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// The component

void TCustomChartEditor::SetChart(TCustomChart* Value) {
  if (FChart == Value) return;
  if (FChart) FChart->RemoveFreeNotification(this);
  FChart = Value;
  if (FChart) FChart->FreeNotification(this);
}

void TCustomChartEditor::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FChart) FChart = nullptr;
}

TChartEditor::TChartEditor(TComponent* AOwner) : TCustomChartEditor(AOwner) {}

TChartEditor::~TChartEditor() {
  if (FGone) *FGone = true;
}

void TChartEditor::SetSeries(TChartSeries* Value) {
  if (FSeries) FSeries->RemoveFreeNotification(this);
  FSeries = Value;
  if (!FSeries) return;
  FSeries->FreeNotification(this);
  if (FChart && FSeries->ParentChart() != FChart) SetChart(dynamic_cast<TCustomChart*>(FSeries->ParentChart()));
}

void TChartEditor::SetChart(TCustomChart* Value) {
  TCustomChartEditor::SetChart(Value);
  if (FSeries && FSeries->ParentChart() != FChart) SetSeries(nullptr);
}

void TChartEditor::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomChartEditor::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSeries) FSeries = nullptr;
}

void TChartEditor::Execute() {
  if (!FChart) return;
  TChartEditForm* f = new TChartEditForm(nullptr);
  // The window that holds this editor may close while the dialog is open (its chart goes and
  // the dialog with it); then nothing of this editor is touched afterwards.
  bool gone = false;
  FGone = &gone;
  TScopeExit done([this, f, &gone] {
    if (!gone) {
      FGone = nullptr;
      if (OnClose) OnClose(f);
    }
    delete f;
  });
  f->TreeMode = TreeView;
  f->RememberPosition = RememberPosition;
  f->TheTitle = Title;
  f->TheEditorOptions = Options;
  f->RestoreEditorPlacement(FChart);
  f->HighlightTabs = HighLightTabs;
  f->TheSeries = FSeries;
  f->TheActivePageIndex = DefaultTab;
  f->TheHiddenTabs = HideTabs;
  f->LBSeries->OnChangeOrder = OnChangeSeriesOrder;
  if (OnShow) OnShow(f);
  TCustomChart* chart = FChart;
  const bool repaint = series_link::AutoRepaint(chart);
  if (!AutoRepaint) series_link::SetAutoRepaint(chart, false);
  TranslateControl(f);
  f->ShowModal();
  if (gone) return;
  if (!AutoRepaint && FChart) {
    series_link::SetAutoRepaint(FChart, repaint);
    FChart->Invalidate();
  }
  if (FChart) FChart->CancelMouse = true;
}

// ---------------------------------------------------------------------------------------------
// The dialog

TChartEditForm::TChartEditForm(TComponent* AOwner) : TForm(AOwner) {
  SetName("ChartEditForm");
  SetBorderStyle(bsSizeable);
  const int ppi = Screen ? Screen->PixelsPerInch() : 96;
  SetBounds(0, 0, kDesignWidth * ppi / 96, kDesignHeight * ppi / 96);
  SetPosition(poMainFormCenter);
  SetKeyPreview(true);
  auto* bottom = Make<TPanel>(this, this, "PanelBottom", "", 0, Height() - 34, Width(), 34);
  bottom->SetAlign(alBottom);
  bottom->SetBevelOuter(bvNone);
  ButtonHelp = Make<TButton>(this, bottom, "ButtonHelp", "&Help...", 6, 5, 75, 25);
  ButtonHelp->SetVisible(false);
  BClose = Make<TButton>(this, bottom, "BClose", "Close", Width() - 84, 5, 75, 25);
  BClose->SetAnchors({akRight, akTop});
  BClose->SetDefault(true);
  BClose->SetCancel(true);
  BClose->OnClick = [this](TObject*) { SetModalResult(mrCancel); };
  MainPage = Make<TPageControl>(this, this, "MainPage", "", 0, 0, Width(), Height() - 34);
  MainPage->SetAlign(alClient);
  TabChart = Tab(this, MainPage, "TabChart", "Chart");
  TabSeries = Tab(this, MainPage, "TabSeries", "Series");
  TabData = Tab(this, MainPage, "TabData", "Data");
  TabTools = Tab(this, MainPage, "TabTools", "Tools");
  TabExport = Tab(this, MainPage, "TabExport", "Export");
  TabPrint = Tab(this, MainPage, "TabPrint", "Print");
  MainPage->OnChanging = [this](TObject*, bool& Allow) {
    Allow = MainPageChanging();
    FFocusOnMainTabs = ActiveControl() == MainPage || ActiveControl() == ChartGrid1;
  };
  MainPage->OnChange = [this](TObject*) {
    MainPageChange();
    // Walking the main tabs with Ctrl+Tab from their strip stays on the strip (the data grid,
    // which takes the focus, leaves Ctrl+Tab to the tabs).
    if (FFocusOnMainTabs && MainPage->ActivePage() != TabData && MainPage->CanFocus()) MainPage->SetFocus();
  };
  SubPage = Make<TPageControl>(this, TabChart, "SubPage", "", 0, 0, 400, 280);
  SubPage->SetAlign(alClient);
  const char* names[9] = {"TabSeriesList", "TabGeneral", "TabAxis",  "TabTitles", "TabLegend",
                          "TabPanel",      "TabPaging",  "TabWalls", "Tab3D"};
  const char* captions[9] = {"Series", "General", "Axis", "Titles", "Legend", "Panel", "Paging", "Walls", "3D"};
  for (int i = 0; i < 9; ++i) ChartTabs[i] = Tab(this, SubPage, names[i], captions[i]);
  // A page turned while the focus was on the chart pages leaves the focus on their tabs, so the
  // next Ctrl+Tab turns these pages again rather than the tabs of the page just shown.
  SubPage->OnChanging = [this](TObject*, bool&) {
    FFocusInSubPage = false;
    for (TControl* c = ActiveControl(); c && !FFocusInSubPage; c = c->Parent()) FFocusInSubPage = c == SubPage;
  };
  SubPage->OnChange = [this](TObject*) {
    SubPageChange();
    if (FFocusInSubPage && SubPage->CanFocus()) SubPage->SetFocus();
  };

  // The series list with its buttons on the right.
  PanelSeriesList = Make<TPanel>(this, ChartTabs[0], "PanelSeriesList", "", 0, 0, 400, 250);
  PanelSeriesList->SetAlign(alClient);
  PanelSeriesList->SetBevelOuter(bvNone);
  TPanel* t = PanelSeriesList;
  auto* right = Make<TPanel>(this, t, "PanelSeriesButtons", "", 300, 0, 100, 250);
  right->SetAlign(alRight);
  right->SetBevelOuter(bvNone);
  auto button = [this, right](const char* Name, const char* Caption, int Y) {
    return Make<TButton>(this, right, Name, Caption, 8, Y, 84, 25);
  };
  BAddSeries = button("BAddSeries", "&Add...", 8);
  BDeleteSeries = button("BDeleteSeries", "&Delete", 38);
  BRenameSeries = button("BRenameSeries", "&Title...", 68);
  BCloneSeries = button("BCloneSeries", "C&lone", 98);
  BChangeTypeSeries = button("BChangeTypeSeries", "&Change...", 128);
  BMoveUP = Make<TButton>(this, right, "BMoveUP", "\xE2\x86\x91", 8, 164, 40, 25);
  BMoveDown = Make<TButton>(this, right, "BMoveDown", "\xE2\x86\x93", 52, 164, 40, 25);
  BAddGroup = Make<TButton>(this, right, "BAddGroup", "+", 8, 200, 26, 22);
  BDeleteGroup = Make<TButton>(this, right, "BDeleteGroup", "-", 36, 200, 26, 22);
  BRenameGroup = Make<TButton>(this, right, "BRenameGroup", "...", 64, 200, 26, 22);
  for (TButton* b : {BAddGroup, BDeleteGroup, BRenameGroup}) b->SetVisible(false);
  BAddGroup->OnClick = [this](TObject*) { BAddGroupClick(); };
  BDeleteGroup->OnClick = [this](TObject*) { BDeleteGroupClick(); };
  BRenameGroup->OnClick = [this](TObject*) { BRenameGroupClick(); };
  PanelGroups = Make<TPanel>(this, t, "PanelGroups", "", 0, 0, 110, 250);
  PanelGroups->SetAlign(alLeft);
  PanelGroups->SetBevelOuter(bvNone);
  PanelGroups->SetVisible(false);
  Groups = new TGroupsList(this);
  Groups->SetName("Groups");
  Groups->SetParent(PanelGroups);
  Groups->SetBounds(0, 0, 106, 250);
  Groups->SetAlign(alClient);
  GroupsSplitter = new TSplitter(this);
  GroupsSplitter->SetName("GroupsSplitter");
  GroupsSplitter->SetParent(t);
  GroupsSplitter->SetLeft(PanelGroups->Width());
  GroupsSplitter->SetVisible(false);
  Groups->OnClick = [this](TObject*) { GroupsClick(); };
  Groups->OnClickCheck = [this](TObject*) { GroupsClickCheck(Groups->ItemIndex()); };
  BAddSeries->OnClick = [this](TObject*) { BAddSeriesClick(); };
  BDeleteSeries->OnClick = [this](TObject*) { BDeleteSeriesClick(); };
  BRenameSeries->OnClick = [this](TObject*) { BRenameSeriesClick(); };
  BCloneSeries->OnClick = [this](TObject*) { BCloneSeriesClick(); };
  BChangeTypeSeries->OnClick = [this](TObject*) { BChangeTypeSeriesClick(); };
  BMoveUP->OnClick = [this](TObject*) {
    LBSeries->MoveSeriesUp();
    LBSeriesRefreshButtons();
  };
  BMoveDown->OnClick = [this](TObject*) {
    LBSeries->MoveSeriesDown();
    LBSeriesRefreshButtons();
  };
  LBSeries = Make<TChartListBox>(this, t, "LBSeries", "", 0, 0, 300, 250);
  LBSeries->SetAlign(alClient);
  LBSeries->OnClick = [this](TObject*) { LBSeriesRefreshButtons(); };
  LBSeries->OnRefresh = [this](TObject*) { LBSeriesRefreshButtons(); };
  LBSeries->OnRemovedSeries = [this](TChartListBox*, TCustomChartSeries*) { LBSeriesRefreshButtons(); };
  LBSeries->OnDblClickSeries = [this](TChartListBox*, int) { LBSeriesEditSeries(); };
  LBSeries->OnOtherItemsChange = [this](TObject*) {
    if (SeriesPage) SeriesPage->CBSeries->SetItemIndex(LBSeries->ItemIndex());
  };

  // The data grid with its navigator and mode switches.
  PanelData = Make<TPanel>(this, TabData, "PanelData", "", 0, 0, 400, 250);
  PanelData->SetAlign(alClient);
  PanelData->SetBevelOuter(bvNone);
  auto* strip = Make<TPanel>(this, PanelData, "PanelDataTop", "", 0, 0, 400, 30);
  strip->SetAlign(alTop);
  strip->SetBevelOuter(bvNone);
  ChartGridNavigator1 = Make<TChartGridNavigator>(this, strip, "ChartGridNavigator1", "", 2, 2, 150, 26);
  auto toggle = [this, strip](const char* Name, const char* Caption, const char* Hint, int X) {
    auto* c = Make<TCheckBox>(this, strip, Name, Caption, X, 6, 64, 20);
    c->SetHint(Hint);
    c->SetShowHint(true);
    return c;
  };
  SBGridText = toggle("SBGridText", "Labels", "Show labels", 160);
  SBGridCol = toggle("SBGridCol", "Colors", "Show colors", 226);
  SBGrid3D = toggle("SBGrid3D", "XYZ", "XYZ series", 292);
  SBGridX = toggle("SBGridX", "X", "Show X values", 350);
  ChartGrid1 = Make<TChartGrid>(this, PanelData, "ChartGrid1", "", 0, 30, 400, 220);
  ChartGrid1->SetAlign(alClient);
  ChartGridNavigator1->SetGrid(ChartGrid1);
  SBGridText->OnClick = [this](TObject*) { ChartGrid1->SetShowLabels(SBGridText->Checked()); };
  SBGridCol->OnClick = [this](TObject*) { ChartGrid1->SetShowColors(SBGridCol->Checked()); };
  SBGrid3D->OnClick = [this](TObject*) { ChartGrid1->SetGrid3D(SBGrid3D->Checked()); };
  SBGridX->OnClick = [this](TObject*) { ChartGrid1->SetShowXValues(SBGridX->Checked() ? cgsYes : cgsNo); };
  PopupData = new TPopupMenu(this);
  PopupData->SetName("PopupData");
  auto menuItem = [this](const char* Name, const char* Caption, std::function<void()> Run) {
    auto* m = new TMenuItem(this);
    m->SetName(Name);
    m->SetCaption(Caption);
    if (Run) m->OnClick = [Run](TObject*) { Run(); };
    PopupData->Items()->Add(m);
    return m;
  };
  EditColor1 = menuItem("EditColor1", "&Edit Color...", [this] { ChartGrid1->EditPointColor(); });
  DefaultColor1 =
      menuItem("DefaultColor1", "Default &Color", [this] { ChartGrid1->SetCurrentPointColor(clAutoColor); });
  Makenullpoint1 = menuItem("Makenullpoint1", "Make &null point", [this] { ChartGrid1->SetCurrentPointColor(clNone); });
  N1 = menuItem("N1", "-", nullptr);
  Insertrow1 = menuItem("Insertrow1", "&Append row", [this] { ChartGrid1->AppendRow(); });
  Deleterow1 = menuItem("Deleterow1", "&Delete row", [this] { ChartGrid1->DeleteRow(); });
  N2 = menuItem("N2", "-", nullptr);
  extfont1 = menuItem("extfont1", "&Text font...", [this] { extfont1Click(); });
  PopupData->OnPopup = [this](TObject*) { PopupDataPopup(); };
  SetControlPopupMenu(ChartGrid1, PopupData);

  // The navigation tree of tree mode, hidden until the dialog shows in that mode.
  Tree = Make<TTreeView>(this, this, "Tree", "", 0, 0, TreeWidth, Height() - 34);
  Tree->SetAlign(alLeft);
  Tree->SetVisible(false);
  TreeSplitter = new TSplitter(this);
  TreeSplitter->SetName("TreeSplitter");
  TreeSplitter->SetParent(this);
  TreeSplitter->SetLeft(TreeWidth);
  TreeSplitter->SetVisible(false);
  Tree->OnChanging = [this](TObject*, TTreeNode*, bool& Allow) {
    Allow = FHosted != SeriesPage || !SeriesPage || SeriesPage->PageSeriesChanging();
  };
  Tree->OnChange = [this](TObject*, TTreeNode* Node) { TreeChange(Node); };
  OnResize = [this](TObject*) { FormResize(); };

  MainPage->SetActivePage(TabChart);
  SubPage->SetActivePageIndex(0);
  MainPage->SetEnabled(false);
  RememberPosition = ReadEditorBool("RememberPosition", true);
  RememberSize = ReadEditorBool("RememberSize", true);
  TreeMode = ReadEditorBool("TreeMode", false);
  OnShow = [this](TObject*) { FormShow(); };
  OnCloseQuery = [this](TObject*, bool& CanClose) { CanClose = FormCloseQuery(); };
}

TChartEditForm::~TChartEditForm() {
  // Every page goes back to its tab and the dialog to its width without the tree before the
  // placement is stored.
  ReturnHosted();
  if (FTreeBuilt) {
    TreeWidth = Tree->Width();
    OnResize = nullptr;
    SetWidth(WidthWithoutTree);
  }
  StorePlacement();
  // The pages go before the list box and the chart reference they lean on.
  delete SeriesPage;
  SeriesPage = nullptr;
  if (FChart) FChart->RemoveFreeNotification(this);
}

void TChartEditForm::Notification(TComponent* AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation != opRemove || AComponent != FChart) return;
  // The chart goes while the dialog is open: its pages must not outlive it.
  FChart = nullptr;
  ReturnHosted();
  if (FTreeBuilt) {
    Tree->Clear();
    SeriesNode = ToolsNode = nullptr;
  }
  Groups->Items()->Clear();
  LBSeries->SetSeriesGroup(nullptr);
  LBSeries->SetChart(nullptr);
  ChartGrid1->SetChart(nullptr);
  for (TForm*& p : ChartPages) {
    delete p;
    p = nullptr;
  }
  delete SeriesPage;
  SeriesPage = nullptr;
  delete ToolsPage;
  ToolsPage = nullptr;
  delete ExportPage;
  ExportPage = nullptr;
  delete PreviewPage;
  PreviewPage = nullptr;
  MainPage->SetEnabled(false);
  if (Modal()) SetModalResult(mrCancel);
}

void TChartEditForm::RestoreEditorPlacement(TCustomChart* Chart) {
  if (FChart) FChart->RemoveFreeNotification(this);
  FChart = Chart;
  if (FChart) FChart->FreeNotification(this);
  LBSeries->SetChart(Chart);
  MainPage->SetEnabled(Chart != nullptr);
  SubPage->SetEnabled(Chart != nullptr);
  if (!Chart || !(RememberPosition || RememberSize)) return;
  TRegistry reg;
  if (!reg.OpenKeyReadOnly(EditorOptionsKey)) return;
  if (RememberPosition && reg.ValueExists("Left")) {
    SetPosition(poDesigned);
    SetLeft(std::max(0, reg.ReadInteger("Left")));
    if (reg.ValueExists("Top")) SetTop(std::max(0, reg.ReadInteger("Top")));
  }
  if (RememberSize) {
    if (reg.ValueExists("Width")) SetWidth(std::max(100, reg.ReadInteger("Width")));
    if (reg.ValueExists("Height")) SetHeight(std::max(100, reg.ReadInteger("Height")));
    if (reg.ValueExists("TreeWidth")) TreeWidth = std::max(10, reg.ReadInteger("TreeWidth"));
  }
  if (Screen) {
    if (Left() > Screen->Width()) SetLeft(Screen->Width() - Width());
    if (Top() > Screen->Height()) SetTop(Screen->Height() - Height());
  }
}

void TChartEditForm::StorePlacement() {
  if (FStored || !FChart || !(RememberPosition || RememberSize)) return;
  FStored = true;
  TRegistry reg;
  if (!reg.OpenKey(EditorOptionsKey, true)) return;
  if (RememberPosition) {
    reg.WriteInteger("Left", Left());
    reg.WriteInteger("Top", Top());
  }
  if (RememberSize) {
    const int ppi = Screen ? Screen->PixelsPerInch() : 96;
    const int w = Width() * 96 / ppi, h = Height() * 96 / ppi;
    if (w != kDesignWidth) reg.WriteInteger("Width", w);
    if (h != kDesignHeight) reg.WriteInteger("Height", h);
    if (FTreeBuilt) reg.WriteInteger("TreeWidth", TreeWidth);
  }
  reg.WriteBool("TreeMode", TreeMode);
}

void TChartEditForm::FormShow() {
  if (!FChart) return;
  TabTools->SetTabVisible(GraphToolTypesList() && GraphToolTypesList()->Count() > 0 &&
                          !(TheHiddenTabs & cetTab(cetTools)));
  LBSeries->SetChart(FChart);
  if (TheTitle.empty()) TheTitle = Format(MsgEditingTitle, {FChart->Name()});
  SetCaption(TheTitle);
  ApplyHiddenTabs();
  ButtonHelp->SetVisible((TheEditorOptions & ceOption(ceHelp)) != 0 && !FindHelpFile("").empty());
  if (TreeMode) BuildEditorTree();
  if (TheActivePageIndex != -1) GoToDefaultTab();
  const bool groups = (TheEditorOptions & ceOption(ceGroups)) != 0;
  for (TButton* b : {BAddGroup, BDeleteGroup, BRenameGroup}) b->SetVisible(groups);
  PanelGroups->SetVisible(groups);
  GroupsSplitter->SetLeft(PanelGroups->Width());
  GroupsSplitter->SetVisible(groups);
  if (groups) FillGroupList();
  if (TheSeries) {
    LBSeries->SelectSeries(TheSeries);
    LBSeriesEditSeries();
  } else if (TheActivePageIndex == -1) {
    SelectFirstSeries();
  }
  if (MainPage->ActivePage() == TabChart && SubPage->ActivePage() == ChartTabs[0]) {
    if (LBSeries->Items()->Count() == 0) {
      LBSeriesRefreshButtons();
    } else if (TheActivePageIndex != cetSeriesGeneral && TheActivePageIndex != cetSeriesMarks) {
      SelectFirstSeries();
    } else {
      SelectFirstSeries();
      LBSeriesEditSeries();
      if (SeriesPage) {
        SeriesPage->PageSeriesChanging();
        SeriesPage->PageSeries->SetActivePage(TheActivePageIndex == cetSeriesGeneral ? SeriesPage->TabGeneral
                                                                                     : SeriesPage->TabMarks);
        SeriesPage->PageSeriesChange();
      }
    }
  } else {
    LBSeriesRefreshButtons();
  }
  if (EditorDialogHook) EditorDialogHook(this);
}

void TChartEditForm::ApplyHiddenTabs() {
  const TChartEditorTab chartTabs[9] = {cetMain,  cetGeneral, cetAxis,  cetTitles, cetLegend,
                                        cetPanel, cetPaging,  cetWalls, cet3D};
  bool any = false;
  for (int i = 0; i < 9; ++i) {
    const bool hide = (TheHiddenTabs & cetTab(chartTabs[i])) != 0;
    ChartTabs[i]->SetTabVisible(!hide);
    any = any || !hide;
  }
  if (TheHiddenTabs & cetTab(cetSeriesData)) TabData->SetTabVisible(false);
  if (TheHiddenTabs & cetTab(cetExport)) TabExport->SetTabVisible(false);
  if (TheHiddenTabs & cetTab(cetTools)) TabTools->SetTabVisible(false);
  if (TheHiddenTabs & cetTab(cetPrintPreview)) TabPrint->SetTabVisible(false);
  if (TheHiddenTabs & cetTab(cetAllSeries)) TabSeries->SetTabVisible(false);
  if (!any) TabChart->SetTabVisible(false);
}

void TChartEditForm::GoToDefaultTab() {
  auto activateMain = [this](TTabSheet* T) {
    // A hidden tab is shown for the default tab to open on it.
    if (!T->TabVisible()) T->SetTabVisible(true);
    MainPage->SetActivePage(T);
    MainPageChange();
  };
  switch (TheActivePageIndex) {
    case cetSeriesData:
      activateMain(TabData);
      return;
    case cetExport:
      activateMain(TabExport);
      return;
    case cetTools:
      activateMain(TabTools);
      return;
    case cetPrintPreview:
      activateMain(TabPrint);
      return;
    case cetSeriesGeneral:
    case cetSeriesMarks:
    case cetAllSeries:
    case cetExportNative:
      return;
    default:
      break;
  }
  int found = -1;
  for (int i = TheActivePageIndex; i <= 8 && found < 0; ++i)
    if (ChartTabs[i]->TabVisible()) found = i;
  for (int i = TheActivePageIndex; i >= 0 && found < 0; --i)
    if (ChartTabs[i]->TabVisible() || i == 0) found = i;
  TheActivePageIndex = found;
  if (ChartTabs[found]->TabVisible() && TabChart->TabVisible()) {
    MainPage->SetActivePage(TabChart);
    SubPage->SetActivePage(ChartTabs[found]);
    SubPageChange();
    return;
  }
  for (TTabSheet* t : {TabData, TabTools, TabExport, TabPrint})
    if (t->TabVisible()) {
      MainPage->SetActivePage(t);
      MainPageChange();
      return;
    }
}

void TChartEditForm::SelectFirstSeries() {
  // The list takes the focus now or, while the dialog is still coming up, as the dialog shows.
  if (!FTreeBuilt && TabChart->TabVisible() && ChartTabs[0]->TabVisible()) SetActiveControl(LBSeries);
  if (LBSeries->Items()->Count() == 0) {
    LBSeriesRefreshButtons();
    return;
  }
  LBSeries->SetItemIndex(0);
  if (LBSeries->MultiSelect()) LBSeries->SetSelected(0, true);
  LBSeriesRefreshButtons();
}

void TChartEditForm::HighlightActive() {}

void TChartEditForm::SubPageChange() {
  if (!FChart) return;
  const int i = SubPage->ActivePageIndex();
  if (i < 1 || i > 8 || ChartPages[i]) {
    if (i == 8 && ChartPages[8]) static_cast<TFormGraph3D*>(ChartPages[8])->CheckControls();
    return;
  }
  TForm* page = nullptr;
  switch (i) {
    case 1:
      page = new TFormGraphGeneral(this, FChart);
      break;
    case 2: {
      auto* a = new TFormGraphAxis(this, TheAxis ? TheAxis : FChart->LeftAxis());
      a->OnAxisChanged = [this](TObject*, TChartAxis*) {
        if (SeriesPage) SeriesPage->RefreshPage();
      };
      page = a;
      break;
    }
    case 3:
      page = new TFormGraphTitle(this, FChart->Title(), FChart);
      break;
    case 4:
      page = new TFormGraphLegend(this, FChart->Legend());
      break;
    case 5:
      page = new TFormGraphPanel(this, FChart);
      break;
    case 6:
      page = new TFormGraphPage(this, FChart);
      break;
    case 7:
      page = new TFormGraphWall(this, FChart->LeftWall());
      break;
    case 8:
      page = new TFormGraph3D(this, FChart);
      break;
    default:
      break;
  }
  ChartPages[i] = page;
  if (i == 3)
    TranslateControlExcept(page, {static_cast<TFormGraphTitle*>(page)->MText});
  else
    TranslateControl(page);
  EmbedFormWithObject(page, ChartTabs[i], FChart);
  page->SetAlign(alClient);
}

bool TChartEditForm::MainPageChanging() { return !SeriesPage || SeriesPage->PageSeriesChanging(); }

void TChartEditForm::MainPageChange() {
  if (!FChart) return;
  TTabSheet* t = MainPage->ActivePage();
  if (t == TabSeries) {
    ShowSeriesPage();
  } else if (t == TabData) {
    DataTabShow();
  } else if (t == TabTools) {
    if (ToolsPage)
      ToolsPage->Refresh();
    else
      EnsureToolsPage();
  } else if (t == TabExport) {
    if (!ExportPage) {
      ExportPage = new TGraphExportForm(this);
      ExportPage->BClose->SetVisible(false);
      TranslateControl(ExportPage);
      EmbedFormWithObject(ExportPage, TabExport, FChart);
      ExportPage->SetAlign(alClient);
    }
    ExportPage->LabelSize->SetCaption("");
    ExportPage->TabNative->SetTabVisible(!(TheHiddenTabs & cetTab(cetExportNative)));
    ExportPage->EnableButtons();
  } else if (t == TabPrint) {
    if (!PreviewPage) {
      PreviewPage = new TChartPreview(this);
      PreviewPage->HideCloseButton();
      PreviewPage->GBMargins->SetVisible(false);
      TranslateControl(PreviewPage);
      EmbedFormWithObject(PreviewPage, TabPrint, FChart);
      PreviewPage->SetAlign(alClient);
    } else {
      PreviewPage->GraphPreviewPanel1->Invalidate();
    }
  } else if (t == TabChart) {
    SubPageChange();
  }
}

TFormGraphTools* TChartEditForm::EnsureToolsPage() {
  if (ToolsPage || !FChart) return ToolsPage;
  ToolsPage = new TFormGraphTools(this);
  TranslateControl(ToolsPage);
  EmbedFormWithObject(ToolsPage, TabTools, FChart);
  ToolsPage->SetAlign(alClient);
  ToolsPage->OnAdded = [this](TGraphCustomTool* T) { AddToolNode(T); };
  ToolsPage->OnDeleting = [this](TGraphCustomTool* T) {
    if (TTreeNode* n = FindNode(TNodeTarget::Tool, T)) Tree->Delete(n);
  };
  return ToolsPage;
}

TForm* TChartEditForm::EnsureChartPage(int Index) {
  SubPage->SetActivePage(ChartTabs[Index]);
  SubPageChange();
  return ChartPages[Index];
}

void TChartEditForm::DataTabShow() {
  ChartGrid1->SetChart(FChart);
  TChartSeries* first = FChart->CountSeries() > 0 ? FChart->SeriesAt(0) : nullptr;
  ChartGrid1->SetShowColors(first && SeriesHasColors(first));
  ChartGrid1->RebuildGrid();
  SBGridCol->SetChecked(ChartGrid1->ShowColors());
  SBGridText->SetChecked(ChartGrid1->ShowLabels());
  SBGrid3D->SetChecked(ChartGrid1->ShowGrid3D());
  SBGridX->SetChecked(first && SeriesHasXValues(first));
  SBGrid3D->SetEnabled(first && first->HasZValues());
  if (!FTreeBuilt && ChartGrid1->CanFocus()) ChartGrid1->SetFocus();
}

void TChartEditForm::PopupDataPopup() {
  TChartSeries* s = nullptr;
  TColor shown = clNone;
  const bool colorCell =
      ChartGrid1->ShowColors() && ChartGrid1->ColorCellSeries(ChartGrid1->Col(), ChartGrid1->Row(), s, shown);
  const TColor stored = colorCell ? s->StoredColorAt(ChartGrid1->Row() - ChartGrid1->FixedRows()) : clNone;
  EditColor1->SetVisible(colorCell);
  N1->SetVisible(colorCell);
  DefaultColor1->SetVisible(colorCell && stored != clAutoColor);
  Makenullpoint1->SetVisible(colorCell && stored != clNone);
}

void TChartEditForm::extfont1Click() {
  if (!ShowFontDialog(this, ChartGrid1->Font())) return;
  // The rows fit the new font: the height of "W" in it and a pixel above and below.
  auto b = std::make_unique<TBitmap>();
  b->Canvas()->Font()->Assign(ChartGrid1->Font());
  ChartGrid1->SetDefaultRowHeight(b->Canvas()->TextHeight("W") + 2);
}

void TChartEditForm::ShowSeriesPage() {
  if (!SeriesPage) {
    SeriesPage = new TFormGraphSeries(this);
    LBSeries->OtherItems = SeriesPage->CBSeries->Items();
    LBSeries->RefreshSeries();
    SeriesPage->ListBox = LBSeries;
    SeriesPage->AllowDataSource = (TheEditorOptions & ceOption(ceDataSource)) != 0;
    SeriesPage->AllowGeneral = !(TheHiddenTabs & cetTab(cetSeriesGeneral));
    SeriesPage->AllowMarks = !(TheHiddenTabs & cetTab(cetSeriesMarks));
    TranslateControlExcept(SeriesPage, {SeriesPage->CBSeries});
    EmbedForm(SeriesPage, TabSeries);
    SeriesPage->SetAlign(alClient);
  }
  // A list left without a selection (its series was deleted) opens on its first series.
  if (!LBSeries->SelectedSeries() && LBSeries->Items()->Count() > 0) SelectFirstSeries();
  SeriesPage->SetSeries(LBSeries->SelectedSeries());
  SeriesPage->RefreshPage();
}

void TChartEditForm::LBSeriesRefreshButtons() {
  TChartSeries* s = LBSeries->SelectedSeries();
  const bool selected = FChart && FChart->CountSeries() > 0 && s;
  const bool single = LBSeries->SelCount() <= 1;
  const unsigned style = s ? s->SeriesStyle() : 0;
  const auto has = [this](TChartEditorOption O) { return (TheEditorOptions & ceOption(O)) != 0; };
  const bool inherited = s && s->ComponentState().Contains(csAncestor);
  BAddSeries->SetEnabled(has(ceAdd));
  BDeleteSeries->SetEnabled(selected && !inherited && has(ceDelete) && !(style & (1 | 4)));
  BRenameSeries->SetEnabled(selected && single && has(ceTitle));
  BChangeTypeSeries->SetEnabled(selected && !inherited && has(ceChange) && !(style & 2));
  if (!BChangeTypeSeries->Enabled() && LBSeries->ShowSeriesIcon()) LBSeries->EnableChangeType = false;
  BCloneSeries->SetEnabled(selected && single && has(ceClone) && !(style & (1 | 8)));
  const int i = LBSeries->ItemIndex();
  BMoveDown->SetEnabled(selected && single && i < LBSeries->Items()->Count() - 1);
  BMoveUP->SetEnabled(selected && single && i > 0);
  LBSeries->EnableDragSeries = has(ceOrderSeries);
  BMoveUP->SetVisible(has(ceOrderSeries));
  BMoveDown->SetVisible(has(ceOrderSeries));
  if (FTreeBuilt && SeriesNode) {
    if (SeriesNode->Count() != LBSeries->Items()->Count()) {
      FillSeriesNodes();
    } else {
      // A series renamed in the list (in place or by its button) reads the same in the tree.
      for (int i = 0; i < LBSeries->Items()->Count(); ++i)
        if (TTreeNode* n = FindNode(TNodeTarget::Series, LBSeries->SeriesAtIndex(i)))
          if (n->Text() != LBSeries->Items()->Strings(i)) n->SetText(LBSeries->Items()->Strings(i));
    }
  }
}

void TChartEditForm::LBSeriesEditSeries() {
  if (LBSeries->ItemIndex() < 0) return;
  if (FTreeBuilt) {
    if (TTreeNode* n = FindNode(TNodeTarget::Series, LBSeries->SelectedSeries())) Tree->SetSelected(n);
    return;
  }
  if (!TabSeries->TabVisible()) return;
  MainPage->SetActivePage(TabSeries);
  ShowSeriesPage();
}

void TChartEditForm::BAddSeriesClick() {
  TChartSeries* s = LBSeries->AddSeriesFromGallery();
  if (s && s->FunctionObject()) {
    MainPage->SetActivePage(TabSeries);
    ShowSeriesPage();
    SeriesPage->PageSeries->SetActivePage(SeriesPage->TabDataSource);
    SeriesPage->PageSeriesChange();
  }
  LBSeriesRefreshButtons();
  if (LBSeries->CanFocus()) LBSeries->SetFocus();
}

void TChartEditForm::BDeleteSeriesClick() {
  LBSeries->DeleteSelectedSeries();
  if (SeriesPage) {
    SeriesPage->SetSeries(nullptr);
    SeriesPage->SetSeries(LBSeries->SelectedSeries());
    SeriesPage->RefreshPage();
  }
  LBSeriesRefreshButtons();
}

void TChartEditForm::BRenameSeriesClick() {
  if (LBSeries->AskSeriesTitle()) LBSeriesRefreshButtons();
  if (!Parent()) SetActiveControl(LBSeries);
}

void TChartEditForm::BCloneSeriesClick() {
  LBSeries->CloneSelectedSeries();
  LBSeriesRefreshButtons();
}

void TChartEditForm::BChangeTypeSeriesClick() {
  LBSeries->ChangeSelectedSeriesType(this);
  if (SeriesPage) {
    SeriesPage->SetSeries(LBSeries->SelectedSeries());
    SeriesPage->RefreshPage();
  }
  LBSeriesRefreshButtons();
}

bool TChartEditForm::FormCloseQuery() { return !SeriesPage || SeriesPage->FormCloseQuery(); }

// ---------------------------------------------------------------------------------------------
// Series groups

void TChartEditForm::FillGroupList() {
  if (!FChart) return;
  const int old = std::max(0, Groups->ItemIndex());
  TChartSeriesList* list = FChart->SeriesList();
  Groups->Items()->Clear();
  if (TheEditorOptions & ceOption(ceGroupAll)) {
    Groups->Items()->Add("(all)");
    Groups->SetChecked(0, list->AreAllActive());
  }
  for (int i = 0; i < list->Groups->Count(); ++i) {
    TSeriesGroup* g = list->Groups->GroupAt(i);
    const int k = Groups->Items()->AddObject(g->Name(), g);
    const TSeriesGroupActive a = g->Active();
    Groups->SetState(k, a == gaYes ? cbChecked : a == gaNo ? cbUnchecked : cbGrayed);
  }
  if (Groups->Items()->Count() > 0) Groups->SetItemIndex(std::min(old, Groups->Items()->Count() - 1));
  GroupsClick();
}

TSeriesGroup* TChartEditForm::SelectedGroup() const {
  const int i = Groups->ItemIndex();
  return i < 0 ? nullptr : dynamic_cast<TSeriesGroup*>(Groups->Items()->Objects(i));
}

void TChartEditForm::GroupsClick() {
  TSeriesGroup* g = SelectedGroup();
  LBSeries->SetSeriesGroup(g);
  BDeleteGroup->SetEnabled(g != nullptr);
  BRenameGroup->SetEnabled(g != nullptr);
  LBSeriesRefreshButtons();
}

void TChartEditForm::GroupsClickCheck(int Index) {
  if (!FChart || Index < 0) return;
  TChartSeriesList* list = FChart->SeriesList();
  auto* g = dynamic_cast<TSeriesGroup*>(Groups->Items()->Objects(Index));
  if (!g) {
    list->ActivateAll(Groups->Checked(Index));
  } else {
    const TCheckBoxState s = Groups->State(Index);
    g->SetActive(s == cbChecked ? gaYes : s == cbUnchecked ? gaNo : gaSome);
  }
  // Every entry's state follows from its series' switches again.
  FillGroupList();
}

bool TChartEditForm::GroupsDragOver(TChartSeries* Series, int Index) const {
  if (!Series || Index < 0) return false;
  auto* g = dynamic_cast<TSeriesGroup*>(Groups->Items()->Objects(Index));
  return !g || g->Series()->IndexOf(Series) < 0;
}

void TChartEditForm::GroupsDragDrop(TChartSeries* Series, int Index) {
  if (!GroupsDragOver(Series, Index)) return;
  auto* target = dynamic_cast<TSeriesGroup*>(Groups->Items()->Objects(Index));
  if (target) target->Series()->Add(Series);
  // A drop moves the series out of the group the list shows.
  if (TSeriesGroup* from = SelectedGroup(); from && from != target) from->Series()->Remove(Series);
  Groups->SetItemIndex(Index);
  FillGroupList();
}

void TChartEditForm::BAddGroupClick() {
  if (!FChart) return;
  std::string name;
  if (!InputQuery("Add new group", "Group name:", name) || Trim(name).empty()) return;
  FChart->SeriesList()->NewGroup(Trim(name));
  Groups->SetItemIndex(-1);
  FillGroupList();
  Groups->SetItemIndex(Groups->Items()->Count() - 1);
  GroupsClick();
}

void TChartEditForm::BRenameGroupClick() {
  TSeriesGroup* g = SelectedGroup();
  if (!g) return;
  std::string name = g->Name();
  if (!InputQuery("Change group name", "Group name:", name) || Trim(name).empty()) return;
  g->SetName(Trim(name));
  FillGroupList();
}

void TChartEditForm::BDeleteGroupClick() {
  TSeriesGroup* g = SelectedGroup();
  if (!g || !extra::AskDelete(g->Name(), this)) return;
  LBSeries->SetSeriesGroup(nullptr);
  delete g;
  FillGroupList();
}

// ---------------------------------------------------------------------------------------------
// Tree mode

TTreeNode* TChartEditForm::AddNode(TTreeNode* Parent, const std::string& Text, TNodeTarget::TKind Kind, void* Object) {
  FNodeTargets.push_back(std::make_unique<TNodeTarget>(TNodeTarget{Kind, Object}));
  return Tree->AddChild(Parent, Text, FNodeTargets.back().get());
}

TTreeNode* TChartEditForm::FindNode(TNodeTarget::TKind Kind, const void* Object) const {
  if (!FTreeBuilt || !Object) return nullptr;
  for (const auto& t : FNodeTargets)
    if (t->Kind == Kind && t->Object == Object)
      if (TTreeNode* n = Tree->FindData(t.get())) return n;
  return nullptr;
}

void TChartEditForm::AddToolNode(TGraphCustomTool* Tool) {
  if (!FTreeBuilt || !ToolsNode || !Tool) return;
  std::string d;
  Tool->GetDescription(d);
  AddNode(ToolsNode, d.empty() ? Tool->ClassName() : d, TNodeTarget::Tool, Tool);
}

void TChartEditForm::FillSeriesNodes() {
  if (!SeriesNode) return;
  while (SeriesNode->Count() > 0) Tree->Delete(SeriesNode->Item(0));
  for (int i = 0; i < LBSeries->Items()->Count(); ++i)
    if (TChartSeries* s = LBSeries->SeriesAtIndex(i))
      AddNode(SeriesNode, LBSeries->Items()->Strings(i), TNodeTarget::Series, s);
  SeriesNode->SetExpanded(FChart && FChart->CountSeries() < 11);
}

void TChartEditForm::BuildEditorTree() {
  if (FTreeBuilt || !FChart) return;
  FTreeBuilt = true;
  WidthWithoutTree = Width();
  Tree->SetWidth(TreeWidth);
  Tree->SetVisible(true);
  TreeSplitter->SetLeft(TreeWidth);
  TreeSplitter->SetVisible(true);
  SetWidth(Width() + TreeWidth + TreeSplitter->Width());
  ButtonHelp->SetLeft(16);
  MainPage->SetVisible(false);
  TreeHost = Make<TPanel>(this, this, "TreeHost", "", TreeWidth, 0, WidthWithoutTree, MainPage->Height());
  TreeHost->SetAlign(alClient);
  TreeHost->SetBevelOuter(bvNone);

  SeriesNode = AddNode(nullptr, ChartTabs[0]->Caption(), TNodeTarget::Tab, ChartTabs[0]);
  FillSeriesNodes();
  if (TabChart->TabVisible()) {
    TTreeNode* chart = AddNode(nullptr, TabChart->Caption(), TNodeTarget::ChartRoot, nullptr);
    for (int i = 1; i <= 8; ++i) {
      if (!ChartTabs[i]->TabVisible()) continue;
      TTreeNode* n = AddNode(chart, ChartTabs[i]->Caption(), TNodeTarget::Tab, ChartTabs[i]);
      if (i == 2) {
        const std::pair<const char*, TChartAxis*> axes[] = {
            {"Left Axis", FChart->LeftAxis()},    {"Right Axis", FChart->RightAxis()},
            {"Top Axis", FChart->TopAxis()},      {"Bottom Axis", FChart->BottomAxis()},
            {"Depth Right", FChart->DepthAxis()}, {"Depth Top", FChart->DepthTopAxis()}};
        for (const auto& [name, axis] : axes) AddNode(n, name, TNodeTarget::Axis, axis);
        for (int k = 0; k < FChart->CustomAxes()->Count(); ++k)
          AddNode(n, "Custom " + std::to_string(k), TNodeTarget::Axis, FChart->CustomAxes()->AxisAt(k));
      } else if (i == 3) {
        const std::pair<const char*, TChartTitle*> titles[] = {{"Title", FChart->Title()},
                                                               {"SubTitle", FChart->SubTitle()},
                                                               {"Footer", FChart->Foot()},
                                                               {"SubFoot", FChart->SubFoot()}};
        for (const auto& [name, title] : titles) AddNode(n, name, TNodeTarget::Title, title);
      }
    }
  }
  for (TTabSheet* t : {TabData, TabTools, TabExport, TabPrint}) {
    if (!t->TabVisible()) continue;
    TTreeNode* n = AddNode(nullptr, t->Caption(), TNodeTarget::Tab, t);
    if (t != TabTools) continue;
    ToolsNode = n;
    for (TGraphCustomTool* tool : *FChart->Tools)
      if (tool->ShowInEditor()) AddToolNode(tool);
  }
  Tree->SetSelected(SeriesNode);
  SetActiveControl(Tree);
}

void TChartEditForm::FormResize() {
  if (FTreeBuilt && Tree->Visible()) WidthWithoutTree = Width() - Tree->Width() - TreeSplitter->Width();
}

void TChartEditForm::ReturnHosted() {
  if (FHosted) FHosted->SetParent(FHostedHome);
  if (FHostedTabHidden) ChartTabs[0]->SetTabVisible(!(TheHiddenTabs & cetTab(cetMain)));
  FHosted = nullptr;
  FHostedHome = nullptr;
  FHostedTabHidden = false;
}

void TChartEditForm::HostControl(TControl* C) {
  if (C == FHosted) return;
  ReturnHosted();
  if (!C || !TreeHost) return;
  FHostedHome = C->Parent();
  FHosted = C;
  C->SetParent(TreeHost);
  C->SetAlign(alClient);
  C->SetVisible(true);
}

void TChartEditForm::TreeChange(TTreeNode* Node) {
  if (!FChart || !Node || !Node->Data) return;
  const TNodeTarget& t = *static_cast<TNodeTarget*>(Node->Data);
  switch (t.Kind) {
    case TNodeTarget::Tab: {
      auto* tab = static_cast<TTabSheet*>(t.Object);
      if (tab == ChartTabs[0]) {
        ReturnHosted();
        SubPage->SetActivePage(ChartTabs[0]);
        HostControl(PanelSeriesList);
        LBSeriesRefreshButtons();
        return;
      }
      for (int i = 1; i <= 8; ++i)
        if (tab == ChartTabs[i]) {
          ReturnHosted();
          HostControl(EnsureChartPage(i));
          return;
        }
      ReturnHosted();
      MainPage->SetActivePage(tab);
      MainPageChange();
      if (tab == TabData) HostControl(PanelData);
      if (tab == TabTools) HostControl(ToolsPage);
      if (tab == TabExport) HostControl(ExportPage);
      if (tab == TabPrint) HostControl(PreviewPage);
      return;
    }
    case TNodeTarget::ChartRoot: {
      ReturnHosted();
      MainPage->SetActivePage(TabChart);
      if (SubPage->ActivePageIndex() <= 0)
        for (int i = 1; i <= 8; ++i)
          if (ChartTabs[i]->TabVisible()) {
            SubPage->SetActivePage(ChartTabs[i]);
            SubPageChange();
            break;
          }
      HostControl(SubPage);
      ChartTabs[0]->SetTabVisible(false);
      FHostedTabHidden = true;
      return;
    }
    case TNodeTarget::Series: {
      ReturnHosted();
      LBSeries->SelectSeries(static_cast<TChartSeries*>(t.Object));
      MainPage->SetActivePage(TabSeries);
      ShowSeriesPage();
      HostControl(SeriesPage);
      return;
    }
    case TNodeTarget::Axis: {
      ReturnHosted();
      TheAxis = static_cast<TChartAxis*>(t.Object);
      auto* page = static_cast<TFormGraphAxis*>(EnsureChartPage(2));
      page->SetAxis(TheAxis);
      HostControl(page);
      return;
    }
    case TNodeTarget::Title: {
      ReturnHosted();
      auto* page = static_cast<TFormGraphTitle*>(EnsureChartPage(3));
      TChartTitle* order[] = {FChart->Title(), FChart->SubTitle(), FChart->SubFoot(), FChart->Foot()};
      for (int k = 0; k < 4; ++k)
        if (order[k] == t.Object) {
          page->CBTitles->SetItemIndex(k);
          page->CBTitlesChange();
        }
      HostControl(page);
      return;
    }
    case TNodeTarget::Tool: {
      ReturnHosted();
      TFormGraphTools* page = EnsureToolsPage();
      for (int k = 0; k < page->LBTools->Items()->Count(); ++k)
        if (page->LBTools->Items()->Objects(k) == t.Object) {
          page->LBTools->SetItemIndex(k);
          page->LBToolsClick();
        }
      // The tool's own editor, without the list of tools around it.
      HostControl(page->PanelToolEditor);
      return;
    }
  }
}

void RegisterEditorDialogClasses() {
  for (TClass c : {TChartEditForm::StaticClass(), TFormGraphSeries::StaticClass(), TGraphFuncEditor::StaticClass(),
                   TFormGraphTools::StaticClass(), TGraphToolsGallery::StaticClass(), TFormGraphAxis::StaticClass(),
                   TFormGraphWall::StaticClass(), TFormGraphTitle::StaticClass(), TFormGraphPanel::StaticClass(),
                   TFormGraphLegend::StaticClass(), TFormGraph3D::StaticClass(), TFormGraphGeneral::StaticClass(),
                   TFormGraphPage::StaticClass()})
    if (!GetClass(c->ClassName())) RegisterClass(c);
}
