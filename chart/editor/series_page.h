// The series page of the chart editor: one series at a time, chosen in a combo kept in step with
// the editor's series list. Its tabs hold the type's own editor form (looked up by class name),
// the settings every series has, its marks and where its points come from; the function editor
// of the data-source tab makes a series the result of a function of other series.
#pragma once

#include <string>

#include "chart/editor/page_kit.h"
#include "chart/engine/graph_panel.h"
#include "platform/forms.h"

class TButtonPen;
class TChartGrid;
class TFormGraphShape;
class TChartListBox;
class TChartSeries;
class TCustomAxisPanel;
class TLabel;
class TListBox;
class TPanel;

// The editor form class named by the series' class for its "Format" tab; none when the name is
// empty or no class of that name is registered (letter case ignored).
TComponentClass FindSeriesEditorClass(TChartSeries* Series);
// The same lookup for any chart element class name (functions, tools).
TComponentClass FindEditorClass(const std::string& Name);

// The function editor: the series as a copy of, or a function of, other series. Nothing changes
// until "&Apply".
class TGraphFuncEditor : public TForm {
  VM_CLASS(TGraphFuncEditor, TForm)
public:
  explicit TGraphFuncEditor(TComponent* AOwner);

  TComboBox* CBSources = nullptr;  // "Copy", then every registered function type
  TButton* BApply = nullptr;
  TListBox *LBAvailable = nullptr, *LBSelected = nullptr;
  TButton *BSelect = nullptr, *BUnselect = nullptr;
  edkit::TSpin Period;

  void FormShow();
  void BApplyClick();
  // Asked before the page changes: unapplied changes ask whether to apply them.
  bool CloseQuery();
  TChartSeries* Series() const { return FSeries; }

private:
  void LoadSourceLists();
  TChartSeries* FSeries = nullptr;
  bool FLoading = false;
};

class TFormGraphSeries : public TForm, public IChartEventListener {
  VM_CLASS(TFormGraphSeries, TForm)
public:
  explicit TFormGraphSeries(TComponent* AOwner);
  ~TFormGraphSeries() override;

  TComboBox* CBSeries = nullptr;
  TLabel* LabelSeriesClass = nullptr;
  TPageControl* PageSeries = nullptr;
  TTabSheet *TheTabSheet = nullptr, *TabGeneral = nullptr, *TabMarks = nullptr, *TabDataSource = nullptr;
  // Shown in "Format" when the type has no editor form of its own.
  TLabel* LabelNoEditor = nullptr;
  TForm* SeriesEditor = nullptr;
  // General.
  TCheckBox* CBShowInLegend = nullptr;
  TComboBox *CBHorizAxis = nullptr, *CBVertAxis = nullptr, *CBSort = nullptr;
  TComboBox* CBCursor = nullptr;
  // The value format (editable, with the standard formats offered) and the percent format.
  TComboBox* CBFormat = nullptr;
  TEdit* EPercentFormat = nullptr;
  TButton *BFormat = nullptr, *BPercentFormat = nullptr;
  // Marks: an inner tab frame of "Style", "Arrows", "Symbol" and the marks' own shape tabs.
  TPageControl* PageMarks = nullptr;
  TTabSheet *TabMarksStyle = nullptr, *TabArrows = nullptr, *TabSymbol = nullptr;
  TCheckBox *CBMarksVisible = nullptr, *CBClipped = nullptr, *CBAllVisible = nullptr;
  TComboBox* CBMarkStyle = nullptr;
  TButtonPen* BArrowPen = nullptr;
  edkit::TSpin ArrowLength, ArrowDistance, ArrowHeadSize;
  TButton* BPointer = nullptr;
  TComboBox* CBArrowHead = nullptr;
  TFormGraphShape *MarksShapeEditor = nullptr, *SymbolShapeEditor = nullptr;
  TCheckBox* CBSymbolVisible = nullptr;
  // Data source.
  TComboBox* CBDataSourcestyle = nullptr;
  TChartGrid* Grid = nullptr;
  TPanel* PanelRandom = nullptr;
  TEdit* ESamples = nullptr;
  TButton *BApplyRandom = nullptr, *BClear = nullptr;
  TGraphFuncEditor* DataSourceEditor = nullptr;

  bool AllowDataSource = true, AllowGeneral = true, AllowMarks = true;
  TChartListBox* ListBox = nullptr;

  TChartSeries* Series() const { return FSeries; }
  void SetSeries(TChartSeries* Value) { FSeries = Value; }
  // Selects the current series in the combo and loads it (hides the tabs without one).
  void RefreshPage();
  void CBSeriesChange();
  bool PageSeriesChanging();
  void PageSeriesChange();
  bool FormCloseQuery() { return PageSeriesChanging(); }
  void CBDataSourcestyleChange();

  void ChartEvent(TGraphEvent* Event) override;

private:
  void ShowSeries(const std::string& KeepCaption);
  void LoadGeneralTab();
  void LoadMarksTab();
  void LoadDataSourceTab();
  void RebuildDataSourcePanel();
  void FreeEditors();
  TChartSeries* FSeries = nullptr;
  TChartSeries* FLastSeries = nullptr;
  TCustomAxisPanel* FChart = nullptr;
  bool FUpdating = false;
  int FShownStyle = -1;
};
