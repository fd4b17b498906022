// The data view: the computed parameters of the site against frequency, with error bars, in one
// or two charts chosen by plot type. Mode 1 ("Starting data") shows every file of the site under
// every processing reference; mode 2 ("Resulting data") the site after editing.
#pragma once

#include <string>
#include <vector>

#include "app/child_form.h"
#include "app/site_session.h"
#include "mtdata/mt_types.h"

#include "platform/reports.h"

class TChart;
class TRpBand;
class TRpChart;
class TCheckBox;
class TFormStorage;
class TGroupBox;
class TMenuItem;
class TPopupMenu;
class TPanel;
class TVxCheckListBox;
class TVxSplitter;

class TChartEditor;

class TGrViewNf1 : public TMyForm {
  VM_CLASS(TGrViewNf1, TMyForm)
public:
  TSiteSession& Session;
  // The view listens to Session from the start and stops when it goes.
  TGrViewNf1(TComponent* AOwner, TSiteSession& ASession);
  ~TGrViewNf1() override;

  TPanel* Panel1 = nullptr;
  TGroupBox* GroupBox4 = nullptr;  // "Parameters"
  TGroupBox* GroupBox1 = nullptr;  // "Components"
  TGroupBox* GroupBox2 = nullptr;  // "Processing"
  TGroupBox* GroupBox3 = nullptr;  // "Files"
  TVxCheckListBox* clbParameters = nullptr;
  TVxCheckListBox* clbComponents = nullptr;
  TVxCheckListBox* clbProcessing = nullptr;
  TVxCheckListBox* clbFiles = nullptr;
  TPanel* Panel2 = nullptr;
  TCheckBox* cbBWPrint = nullptr;  // "B/W print"
  TChart* Chart1 = nullptr;        // Tag 1: first panel of the plot type
  TVxSplitter* Splitter6 = nullptr;
  TChart* Chart2 = nullptr;  // Tag 2: second panel, shown only for two-panel plot types
  TFormStorage* FormStorage1 = nullptr;
  // "ChartEditor" and "Properties" of each chart.
  TPopupMenu* PopupMenu1 = nullptr;
  TPopupMenu* PopupMenu2 = nullptr;
  TChartEditor* ChartEditor1 = nullptr;  // made on first use

  int ViewMode = 0;  // 0 none, 1 starting data, 2 resulting data
  int PlotType = 0;
  int PrevPlotType = -1;
  int NCurves = 0;

  // Called once by the main window after the window was made; followed by Refresh.
  void SetViewMode(int Mode);
  void Refresh(TObject* Sender) override;
  void SaveFromObjInsp(TObject* Sender) override;
  // Sender Tag 1 prints the two charts on one page, Tag 2 previews them.
  void Print(TObject* Sender) override;
  void FormActivate(TObject* Sender) override;
  // Remembers the tool checks of the editing actions while another window is active.
  void FormDeactivate(TObject* Sender);
  // The cursor tools: tag 2 (hand) gives the series the hand-point cursor, tag 4 (circle) the
  // charts the bull's-eye; mouse zooming for the pointer, the hand and the circle only.
  void PointerExecute(TObject* Sender) override;
  void Undo(TObject* Sender) override;
  void Redo(TObject* Sender) override;
  void SplineView(TObject* Sender) override { Refresh(Sender); }
  // A check changed in any of the three lists: every series shows exactly when its component,
  // file and processing are checked.
  void clbComponentsClickCheck(TObject* Sender);
  // The property window for chart Tag 1 or 2.
  void mmPropertiesClick(int Tag);
  // The print preview dialog of chart Tag 1 or 2.
  void ChartPreviewClick(int Tag);
  void SetAxisMinMax(TChart* Chart);
  TChart* ChartOfTag(int Tag) const;

private:
  // The charts' panel and the share of its height that Chart2 takes: the charts keep their
  // proportion as the window is sized (at any scale); moving Splitter6 sets a new share.
  TPanel* FChartsPanel = nullptr;
  double FChart2Share = 0.5;
  void FitChart2();
  void TakeChart2Share();
  // The lists' own heights (as made or stored): when Panel1 is shorter than they need, the lists
  // share its height in their proportion so that every one stays in sight; they get their own
  // heights back, and are stored with them, when there is room again.
  int FListHeights[4] = {};
  bool FFittingLists = false;
  void TakeListHeights();
  void FitLists();
  // PopupMenu1 and PopupMenu2 on Chart1 and Chart2.
  void CreateChartMenus();
  std::string Section() const { return ViewMode == 2 ? "TGrView1" : "TGrViewNf1"; }
  void StoreComponentChecks();
  void RebuildComponents();
  void FillChart(int Panel, TChart* C);
  // Shows the site's curves from the kept parameters (computed first where none are kept).
  void Redraw();

  // The stacks' parameters of each shown file under each other reference of its list, kept
  // between refreshes: an edit computes again only the rows it touched, under each reference. The
  // file's own rows stand for its display reference.
  struct TReferencePlots {
    TMTFile* File;
    int Reference;
    TPlots Plots;
  };
  std::vector<TReferencePlots> FReferencePlots;
  bool FReferencePlotsKept = false;
  void ForgetReferencePlots();
  void ComputeReferencePlots();
  const TPlots* ReferencePlots(const TMTFile* File, int Reference) const;
  // Frequency F of the open site has a new stack.
  void FrequencyChanged(int F);
};

// The page of the resulting-data view: its two charts one above the other on an A4 portrait page.
class TReportForm1 : public TReportForm {
  VM_CLASS(TReportForm1, TReportForm)
public:
  explicit TReportForm1(TComponent* AOwner);
  TRpBand* RpBand1 = nullptr;
  TRpChart* RpChart1 = nullptr;
  TRpChart* RpChart2 = nullptr;
  // The report chart takes the view chart's settings, axis ranges and a copy of every series;
  // BlackAndWhite paints every copied series black.
  static void CopyChart(TChart* View, TRpChart* Target, bool BlackAndWhite);
};

// A new report window holding copies of both charts of View; the caller owns it.
TReportForm1* MakeDataReport(TGrViewNf1* View);
// Asks where to print (an installed printer or a PDF file), prints the report there and logs
// where it went; false when the user cancelled.
bool PrintDataReport(TRpReport* Report);

extern TGrViewNf1* GrViewNf1;  // the starting-data window
extern TGrViewNf1* GrView1;    // the resulting-data window
