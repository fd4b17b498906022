// The editing window: the computed curves of the site against frequency for one plot type (two
// charts, magnitude and phase), and beside them every single estimate of the current frequency
// with its own value and error bar (two more charts). The user walks through the frequencies and
// removes or restores estimates with the cursor tools; each change re-stacks and recomputes the
// frequency, refreshes every view and adds one journal record.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "app/child_form.h"
#include "app/site_session.h"
#include "platform/types.h"

class TBarSeries;
class TChart;
class TChartAxis;
class TChartSeries;
class TColorLineTool;
class TCustomChart;
class TErrPointSeries;
class TFormStorage;
class TMenuItem;
class TMTFile;
class TPanel;
class TPopupMenu;
class TVxSplitter;

// The colour lines of the editing window by what they mark; the number is the line's own
// (ChartTool(N), component "ChartToolN"). The suffix is the panel: 1 the top row (Chart1, Chart2),
// 2 the bottom row (Chart3, Chart4).
enum TEditLine : int {
  // On the estimate chart of the panel: the stacked value of the xy and yx curves at the marked
  // frequency, and the upper and lower bound of each.
  elMeanXy1 = 1,
  elMeanYx1,
  elHighXy1,
  elLowXy1,
  elHighYx1,
  elLowYx1,
  elMeanXy2,
  elMeanYx2,
  elHighXy2,
  elLowXy2,
  elHighYx2,
  elLowYx2,
  // The vertical selection lines of the first and the second click.
  elVertFirst1,
  elVertSecond1,
  elVertFirst2,
  elVertSecond2,
  // The horizontal selection lines of the first and the second click.
  elHorzFirst1,
  elHorzSecond1,
  elHorzFirst2,
  elHorzSecond2,
  // The marked frequency on the curve chart of the panel.
  elFrequency1,
  elFrequency2,
  elLineCount = elFrequency2
};

class TVaro1 : public TMyForm {
  VM_CLASS(TVaro1, TMyForm)
public:
  TSiteSession& Session;
  // The view listens to Session from the start and stops when it goes.
  TVaro1(TComponent* AOwner, TSiteSession& ASession);
  ~TVaro1() override;

  // ---- Layout
  TPanel* Panel3 = nullptr;  // fills the window
  TPanel* Panel1 = nullptr;  // top row: Chart1, VxSplitter1, Chart2
  TVxSplitter* Splitter1 = nullptr;
  TPanel* Panel2 = nullptr;  // bottom row: Chart3, VxSplitter2, Chart4
  TChart* Chart1 = nullptr;  // curves, first panel (magnitude-type values)
  TChart* Chart2 = nullptr;  // estimates of the current frequency, first panel
  TChart* Chart3 = nullptr;  // curves, second panel (phase-type values)
  TChart* Chart4 = nullptr;  // estimates, second panel
  TVxSplitter* VxSplitter1 = nullptr;
  TVxSplitter* VxSplitter2 = nullptr;
  TPopupMenu *PopupMenu1 = nullptr, *PopupMenu2 = nullptr, *PopupMenu3 = nullptr, *PopupMenu4 = nullptr;
  // The plot-type entries of PopupMenu1 ("Impedance" ... "E or H Parameter"), each Tag its type.
  std::array<TMenuItem*, 6> PlotTypeItems{};
  TFormStorage* FormStorage1 = nullptr;
  // ChartTool(1) .. ChartTool(22): the marker and selection lines (see TEditLine).
  TColorLineTool* ChartTool(int I) const;

  // ---- State
  TMTFile* Site = nullptr;
  int NFreq = 0;
  int PlotType = 1;
  int CurFreq = 1;       // 1-based; -1 when the marked point matches no frequency
  int MarkedPoint = -1;  // index in the curve series (ascending frequency), -1 none
  int NavState = 0;
  bool MeanOn = false, StdOn = false;
  std::array<double, 8> MarkerBounds{};
  TBarSeries* AvWgtSeries = nullptr;
  TChartAxis* AvWgtAxis = nullptr;
  TBarSeries* XprWgtSeries = nullptr;
  TChartAxis* XprWgtAxis = nullptr;
  // Selection tools: the clicks of the two-lines tools (pixel positions at [1] and [2]) and the
  // lasso's press point.
  int VertClicks = 0;
  std::array<int, 3> VertX{};
  int HorzClicks = 0;
  std::array<int, 3> HorzY{};
  TPoint LassoStart{};
  bool LassoDragging = false;

  // ---- Routed commands
  void Refresh(TObject* Sender) override;
  void Navigate(TObject* Sender, int Step) override;
  void MeanView(TObject* Sender) override;
  void WeightView(TObject* Sender) override;
  void StdView(TObject* Sender) override;
  void PointerExecute(TObject* Sender) override;
  void Undo(TObject* Sender) override;
  void Redo(TObject* Sender) override;
  void SaveFromObjInsp(TObject* Sender) override;
  void Save(TObject*) override {}
  void FormActivate(TObject* Sender) override;
  void FormDeactivate(TObject* Sender);

  // ---- Filling
  // Takes the site, selects its display reference from the main window's reference commands and
  // rebuilds every chart.
  void ShowSite(TMTFile* ASite);
  void BuildCharts();
  void FillXprCharts(int Index);
  void SelectFrequencyPoint(TChartSeries* Series, int Index);
  void MarkFrequencyPoint(int Index);
  void ApplyPlotSettings(TObject* Chart);
  static int FindFrequencyIndex(const TMTFile* ASite, double Frequency);
  static int FindPointByFrequency(TChartSeries* Series, double Frequency);
  // What a chart cannot show (no estimates, nothing computed, values a log axis cannot place);
  // empty when it shows everything.
  std::string MissingText(int Tag) const;

  // ---- Handlers of the layout
  void FormKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);
  void FormResize(TObject* Sender);
  void Chart1Click(TObject* Sender);
  void Chart1ClickLegend(TCustomChart* Sender);
  void Chart3ClickLegend(TCustomChart* Sender);
  void Impedance1Click(TObject* Sender);
  // As the pop-up menu's entry of plot type Type is clicked.
  void ChoosePlotType(int Type);
  void mmChartEditorClick(TObject* Sender);
  void pmPropertiesClick(TObject* Sender);
  void Series1Click(TChartSeries* Sender, int ValueIndex);
  void Series11Click(TChartSeries* Sender, int ValueIndex, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Chart2MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Chart2MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void Chart2MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

  // Re-stacks and recomputes frequency F and refreshes this window only.
  void RecalcFrequency(int F);

private:
  void CreateMenus();
  void EnablePlotType(int Type, bool Enabled);
  void BuildCurveChart(TChart* C, int Panel);
  void FillCurvePoint(TErrPointSeries* S, int Curve, int Panel, int F, bool Add, int Index);
  void FillXprChart(TChart* C, int Panel, int Index);
  void PlaceMarkers(int Index);
  void ShowMissing();
  // The selection tools.
  // Point J of S (estimate J + 1 of the current frequency) removed or restored by the editing
  // mode; an estimate with mask 0 never changes.
  void ChangeEstimate(TChartSeries* S, int J);
  // Every point of the chart's series (only the estimate series, or the weight bars too; only
  // the visible ones, or all) whose pixel position is inside the shape is changed. UsesY: the
  // shape needs the point's height (a point the chart does not show is then never inside).
  void SelectPoints(TChart* C, bool ErrPointsOnly, bool ActiveOnly, bool UsesY,
                    const std::function<bool(int PX, int PY)>& Inside);
  void FinishToolAction(const char* Action);
  TColor RemovedColourOfEstimates() const;
  void HideSelectionLines();

  std::array<TColorLineTool*, elLineCount + 1> FTools{};
  // Curves whose points the log axis of the panel could not place, by panel (1, 2).
  std::array<int, 3> FUnplacedCurvePoints{};
  std::array<int, 3> FUnplacedEstimates{};
};

extern TVaro1* Varo1;
