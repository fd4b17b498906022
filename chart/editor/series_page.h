// The series page of the chart editor: one series at a time, chosen in a combo kept in step with
// the editor's series list. Its tabs hold the type's own editor form (looked up by class name),
// the settings every series has, its marks and where its points come from; the function editor
// of the data-source tab makes a series the result of a function of other series.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "chart/editor/page_kit.h"
#include "chart/engine/graph_function.h"
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
class TSelectListForm;
class TTabSheet;

// The editor form class named by the series' class for its "Format" tab; none when the name is
// empty or no class of that name is registered (letter case ignored).
TComponentClass FindSeriesEditorClass(TChartSeries* Series);
// The same lookup for any chart element class name (functions, tools).
TComponentClass FindEditorClass(const std::string& Name);

// The base of the data-source editors: a top panel with the source combo and "&Apply"; the
// edited series comes in Tag.
class TBaseSourceEditor : public TForm {
  VM_CLASS(TBaseSourceEditor, TForm)
public:
  explicit TBaseSourceEditor(TComponent* AOwner);

  TPanel* Pan = nullptr;
  TLabel* LLabel = nullptr;
  TComboBox* CBSources = nullptr;
  TButton* BApply = nullptr;

  virtual void FormShow();
  virtual void CBSourcesChange();
  virtual void BApplyClick() {}
  // Asked before the page changes: unapplied changes ask whether to apply them.
  bool CloseQuery() override;
  TChartSeries* Series() const { return FSeries; }

protected:
  TChartSeries* FSeries = nullptr;
};

// The function editor: the series as a copy of, or a function of, other series. Nothing is
// written until "&Apply" except the choice of function, which replaces the series' function at
// once; the chosen function's own form shows in "Options".
class TGraphFuncEditor : public TBaseSourceEditor, public IChartEventListener {
  VM_CLASS(TGraphFuncEditor, TBaseSourceEditor)
public:
  explicit TGraphFuncEditor(TComponent* AOwner);
  ~TGraphFuncEditor() override;

  TPageControl* PageControl1 = nullptr;
  TTabSheet *TabSource = nullptr, *TabOptions = nullptr;
  // Several sources: chosen in the select-list form embedded in "Source Series".
  TSelectListForm* SelectList = nullptr;
  // One source: the single-source panel.
  TPanel* PanSingle = nullptr;
  TComboBox *CBSingle = nullptr, *CBValues = nullptr;
  TLabel* LValues = nullptr;
  TButton* BNone = nullptr;
  // The chosen function's own editor form (none without one).
  TForm* OptionsForm = nullptr;

  void FormShow() override;
  void CBSourcesChange() override;
  void BApplyClick() override;
  void CBSingleChange();
  void LoadSourceLists();
  // The function class chosen in the combo; none for "Copy".
  TGraphFunctionClass ChosenClass() const;
  void ChartEvent(TGraphEvent* Event) override;

private:
  void FillSourceCandidates(std::vector<std::pair<std::string, TChartSeries*>>& List);
  void ApplyChosenFunction();
  void ApplySources();
  void CreateFunctionOptionsForm(const std::string& Name);
  void LeaveChart();
  bool FLoading = false;
  TCustomAxisPanel* FChart = nullptr;
};

class TFormGraphSeries;

// A tab sheet at PageIndex of the page's tabs with Caption, holding a new form of Class (owned by
// the page) bound to Object; the form is given back.
TForm* AddSeriesEditorTab(TFormGraphSeries* Page, TComponentClass Class, int PageIndex, TObject* Object,
                          const std::string& Caption);

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

  // The editor forms living on the page: the series' own form first, then the forms its editor
  // inserted as further tabs (at most four in all).
  static constexpr int MaxEditorForms = 4;
  int EditorFormCount() const { return FEditorFormCount; }
  TForm* EditorForms(int Index) const;
  // Records the form among the page's editor forms (a fifth raises ERangeError), makes it fill the
  // tab, translates it and embeds it there bound to Object.
  void EmbedSeriesEditorForm(TForm* Form, TTabSheet* Tab, TObject* Object);

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
  void FreeSeriesEditorForms();
  TForm* FEditorForms[MaxEditorForms] = {};
  int FEditorFormCount = 0;
  TChartSeries* FSeries = nullptr;
  TChartSeries* FLastSeries = nullptr;
  TCustomAxisPanel* FChart = nullptr;
  bool FUpdating = false;
  int FShownStyle = -1;
};
