#include "chart/editor/editor_dialog.h"

#include <algorithm>

#include "chart/editor/axis_page.h"
#include "chart/editor/chart_grid.h"
#include "chart/editor/chart_pages.h"
#include "chart/editor/series_page.h"
#include "chart/editor/tools_page.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/registries.h"
#include "chart/engine/series_chart_link.h"
#include "chart/engine/series_helpers.h"
#include "chart/extra/export_dialog.h"
#include "chart/extra/export_formats.h"
#include "chart/extra/pen_dialog.h"
#include "chart/extra/preview_dialog.h"
#include "chart/engine/engine_texts.h"
#include "platform/sysutils.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/guards.h"
#include "platform/inifiles.h"
#include "platform/stdctrls.h"

VM_DEFINE_CLASS(TCustomChartEditor)
VM_DEFINE_CLASS(TChartEditor)
VM_DEFINE_CLASS(TChartEditForm)

using namespace edkit;

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
  TScopeExit done([this, f] {
    if (OnClose) OnClose(f);
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
  MainPage->OnChanging = [this](TObject*, bool& Allow) { Allow = MainPageChanging(); };
  MainPage->OnChange = [this](TObject*) { MainPageChange(); };
  SubPage = Make<TPageControl>(this, TabChart, "SubPage", "", 0, 0, 400, 280);
  SubPage->SetAlign(alClient);
  const char* names[9] = {"TabSeriesList", "TabGeneral", "TabAxis",  "TabTitles", "TabLegend",
                          "TabPanel",      "TabPaging",  "TabWalls", "Tab3D"};
  const char* captions[9] = {"Series", "General", "Axis", "Titles", "Legend", "Panel", "Paging", "Walls", "3D"};
  for (int i = 0; i < 9; ++i) ChartTabs[i] = Tab(this, SubPage, names[i], captions[i]);
  SubPage->OnChanging = [this](TObject*, bool&) {};
  SubPage->OnChange = [this](TObject*) { SubPageChange(); };

  // The series list with its buttons on the right.
  TTabSheet* t = ChartTabs[0];
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
  LBSeries->OnDblClickSeries = [this](TChartListBox*, int) { LBSeriesEditSeries(); };
  LBSeries->OnOtherItemsChange = [this](TObject*) {
    if (SeriesPage) SeriesPage->CBSeries->SetItemIndex(LBSeries->ItemIndex());
  };

  // The data grid with its navigator and mode switches.
  auto* strip = Make<TPanel>(this, TabData, "PanelDataTop", "", 0, 0, 400, 30);
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
  ChartGrid1 = Make<TChartGrid>(this, TabData, "ChartGrid1", "", 0, 30, 400, 220);
  ChartGrid1->SetAlign(alClient);
  ChartGridNavigator1->SetGrid(ChartGrid1);
  SBGridText->OnClick = [this](TObject*) { ChartGrid1->SetShowLabels(SBGridText->Checked()); };
  SBGridCol->OnClick = [this](TObject*) { ChartGrid1->SetShowColors(SBGridCol->Checked()); };
  SBGrid3D->OnClick = [this](TObject*) { ChartGrid1->SetGrid3D(SBGrid3D->Checked()); };
  SBGridX->OnClick = [this](TObject*) { ChartGrid1->SetShowXValues(SBGridX->Checked() ? cgsYes : cgsNo); };

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
  if (TheActivePageIndex != -1) GoToDefaultTab();
  const bool groups = (TheEditorOptions & ceOption(ceGroups)) != 0;
  for (TButton* b : {BAddGroup, BDeleteGroup, BRenameGroup}) b->SetVisible(groups);
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
    if (!ToolsPage) {
      ToolsPage = new TFormGraphTools(this);
      TranslateControl(ToolsPage);
      EmbedFormWithObject(ToolsPage, TabTools, FChart);
      ToolsPage->SetAlign(alClient);
    } else {
      ToolsPage->Refresh();
    }
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
  if (ChartGrid1->CanFocus()) ChartGrid1->SetFocus();
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
}

void TChartEditForm::LBSeriesEditSeries() {
  if (LBSeries->ItemIndex() < 0) return;
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
  LBSeries->AskSeriesTitle();
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

void RegisterEditorDialogClasses() {
  for (TClass c : {TChartEditForm::StaticClass(), TFormGraphSeries::StaticClass(), TGraphFuncEditor::StaticClass(),
                   TFormGraphTools::StaticClass(), TGraphToolsGallery::StaticClass(), TFormGraphAxis::StaticClass(),
                   TFormGraphWall::StaticClass(), TFormGraphTitle::StaticClass(), TFormGraphPanel::StaticClass(),
                   TFormGraphLegend::StaticClass(), TFormGraph3D::StaticClass(), TFormGraphGeneral::StaticClass(),
                   TFormGraphPage::StaticClass()})
    if (!GetClass(c->ClassName())) RegisterClass(c);
}
