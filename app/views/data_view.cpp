#include "app/views/data_view.h"

#include "chart/editor/language.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "app/log_views.h"
#include "app/site_session.h"
#include "app/views/chart_editing.h"
#include "app/property_window.h"
#include "app/stored_edit_dialog.h"
#include "app/views/errpoint_series.h"
#include "app/views/series_factory.h"
#include "chart/engine/chart.h"
#include "chart/extra/preview_dialog.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/walls_titles.h"
#include "chart/series/report_chart.h"
#include "chart/engine/legend.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/tool_base.h"
#include "controls/form_storage.h"
#include "controls/vx_checklist.h"
#include "controls/vx_splitter.h"
#include "mtdata/impedance_quality.h"
#include "mtdata/mt_params.h"
#include "mtdata/open_site.h"
#include "mtdata/plot_tables.h"
#include "mtdata/site_file.h"
#include "platform/actnlist.h"
#include "platform/bitmap.h"
#include "platform/dialogs.h"
#include "platform/logdevice.h"
#include "platform/printers.h"
#include "platform/sysutils.h"
#include "platform/canvas.h"
#include "platform/extctrls.h"
#include "platform/guards.h"
#include "platform/inifiles.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"

VM_DEFINE_CLASS(TGrViewNf1)
VM_DEFINE_CLASS(TReportForm1)

TGrViewNf1* GrViewNf1 = nullptr;
TGrViewNf1* GrView1 = nullptr;

namespace {

constexpr TCursor crHandPointCursor = -21;
constexpr TCursor crBullsEyeCursor = -5;

std::string WithoutFolder(const std::string& Path) { return std::filesystem::path(Path).filename().string(); }

// The short name of curve J of plot type T (its first-panel value parameter).
std::string CurveName(int T, int J) {
  const int p = PlotParameterMap[T][1][1][J];
  return p > 0 ? std::string(ParameterShortNames[p]) : std::string();
}

// The display references (0 local E, 1 local H, 2 remote) of the entries in force of a file's
// reference list, ascending: local E, local H and the remote one for an MT file; its own
// reference alone for an EDI file.
std::vector<int> ListedReferences(const TMTFile& File) {
  std::vector<int> r;
  for (int i = 1; i <= std::min(File.ReferenceCount, 3); ++i) {
    const int d = ReferenceToDisplayIndex(File.ReferenceTypes[i]);
    if (std::find(r.begin(), r.end(), d) == r.end()) r.push_back(d);
  }
  std::sort(r.begin(), r.end());
  return r;
}

// The name of display reference D of a file of ReferenceType in the "Processing" list.
std::string ProcessingName(int D, int ReferenceType) {
  if (D == drLocalE) return "LOC E ";
  if (D == drLocalH) return "LOC H ";
  return ReferenceType == frtRemoteE ? "REM E " : "REM H ";
}

}  // namespace

TGrViewNf1::TGrViewNf1(TComponent* AOwner, TSiteSession& ASession) : TMyForm(AOwner), Session(ASession) {
  SetName(GrViewNf1 == nullptr || !FormExists(GrViewNf1) ? "GrViewNf1" : "GrView1");
  // The view opens over the frame's free area above the program log (as "Maximize Special"
  // places it), so that its charts, legends and lists have room; a stored placement wins.
  if (TForm::MDIFrame()) {
    PlaceOverFreeArea(this);
  } else {
    PlaceInFrame(this, 40, 10, 760, 560);
  }

  Panel1 = new TPanel(this);
  Panel1->SetName("Panel1");
  Panel1->SetParent(this);
  Panel1->SetAlign(alRight);
  Panel1->SetCaption("");

  auto group = [this](const char* Name, const char* Caption, int Height, TVxCheckListBox*& List, const char* ListName) {
    auto* g = new TGroupBox(this);
    g->SetName(Name);
    g->SetParent(Panel1);
    g->SetAlign(alTop);
    g->SetHeight(Height);
    g->SetCaption(Caption);
    List = new TVxCheckListBox(this);
    List->SetName(ListName);
    List->SetParent(g);
    List->SetAlign(alClient);
    return g;
  };
  // Top-aligned boxes stack in the order they are made: the list order, top to bottom. The
  // parameter list shows its eleven names whole.
  GroupBox4 = group("GroupBox4", "Parameters", 210, clbParameters, "clbParameters");
  GroupBox1 = group("GroupBox1", "Components", 110, clbComponents, "clbComponents");
  GroupBox2 = group("GroupBox2", "Processing", 80, clbProcessing, "clbProcessing");
  GroupBox3 = group("GroupBox3", "Files", 90, clbFiles, "clbFiles");
  Panel2 = new TPanel(this);
  Panel2->SetName("Panel2");
  Panel2->SetParent(Panel1);
  Panel2->SetAlign(alClient);
  Panel2->SetCaption("");
  cbBWPrint = new TCheckBox(this);
  cbBWPrint->SetName("cbBWPrint");
  cbBWPrint->SetParent(Panel2);
  cbBWPrint->SetCaption("B/W print");
  cbBWPrint->SetBounds(4, 4, 90, 20);
  clbParameters->SetCheckKind(ckRadioButtons);

  // The charts share the room left of the lists, so that the lists take the window's whole height.
  auto* charts = new TPanel(this);
  charts->SetName("PanelCharts");
  charts->SetParent(this);
  charts->SetAlign(alClient);
  charts->SetBevelOuter(bvNone);
  charts->SetCaption("");
  auto chart = [this, charts](const char* Name, int Tag) {
    auto* c = new TChart(this);
    c->SetName(Name);
    c->SetParent(charts);
    c->SetTag(Tag);
    c->SetView3D(false);
    c->SetAllowPanning(pmNone);
    c->Legend()->SetCheckBoxes(true);
    c->Legend()->SetColor(clActiveBorder);
    c->LeftAxis()->SetLabelsSize(56);
    c->LeftAxis()->SetRoundFirstLabel(false);
    c->OnClick = [this, c](TObject*) {
      if (ObjInsp1 && ObjInsp1->Visible()) mmPropertiesClick(c->Tag());
      Chart1->CancelMouse = false;
    };
    return c;
  };
  Chart2 = chart("Chart2", 2);
  Chart2->SetAlign(alBottom);
  Chart2->SetHeight(323);
  Splitter6 = new TVxSplitter(this);
  Splitter6->SetName("Splitter6");
  Splitter6->SetParent(charts);
  Splitter6->SetAlign(alBottom);
  Splitter6->SetHeight(3);
  FChartsPanel = charts;
  TakeListHeights();
  Panel1->OnResize = [this](TObject*) { FitLists(); };
  charts->OnResize = [this](TObject*) { FitChart2(); };
  Splitter6->OnPosChanged = [this](TObject*) { TakeChart2Share(); };
  Chart1 = chart("Chart1", 1);
  Chart1->SetAlign(alClient);
  Chart1->LeftAxis()->SetAxisValuesFormat("#,##0.#####");

  // FormCreate
  for (int t = 0; t < PlotTypeCount; ++t) clbParameters->Items()->Add(Translated(std::string(PlotTypes[t].Title)));
  // The lists are as wide as the longest plot-type name with its radio button.
  {
    TBitmap measure(1, 1);
    measure.Canvas()->Font()->Assign(clbParameters->Font());
    int widest = 0;
    for (int t = 0; t < PlotTypeCount; ++t)
      widest = std::max(widest, measure.Canvas()->TextWidth(clbParameters->Items()->Strings(t)));
    Panel1->SetWidth(std::max(101, widest + 48));
  }
  clbParameters->SetCheckedIndex(0);
  clbParameters->OnClickCheck = [this](TObject* s) { Refresh(s); };
  GroupBox4->OnClick = [this](TObject* s) { Refresh(s); };
  for (TVxCheckListBox* l : {clbComponents, clbProcessing, clbFiles})
    l->OnClickCheck = [this](TObject* s) { clbComponentsClickCheck(s); };
  CreateChartMenus();
  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnDeactivate = [this](TObject* s) { FormDeactivate(s); };
  // Every change of the site redraws the view.
  Session.AddListener(this, {.OnFrequencyChanged = [this](TObject*, int F) { FrequencyChanged(F); },
                             .OnEveryFrequencyChanged = [this](TObject* s) { Refresh(s); },
                             .OnSiteReplaced = [this](TObject*) { ForgetReferencePlots(); }});
}

TGrViewNf1::~TGrViewNf1() {
  Session.RemoveListener(this);
  // FormDestroy
  if (ViewMode != 0) StoreComponentChecks();
  // The lists are stored with their own heights, not those a small window lent them.
  GroupBox4->SetHeight(FListHeights[0]);
  GroupBox1->SetHeight(FListHeights[1]);
  GroupBox2->SetHeight(FListHeights[2]);
  GroupBox3->SetHeight(FListHeights[3]);
  // The two kinds share the class: a variable left on a freed window could name the other kind's
  // window made later at the same address.
  if (GrViewNf1 == this) GrViewNf1 = nullptr;
  if (GrView1 == this) GrView1 = nullptr;
}

TChart* TGrViewNf1::ChartOfTag(int Tag) const {
  if (Tag != 1 && Tag != 2) throw ERangeError("Range check error");
  return Tag == 1 ? Chart1 : Chart2;
}

void TGrViewNf1::SetViewMode(int Mode) {
  ForgetReferencePlots();
  clbFiles->Items()->Clear();
  ViewMode = Mode;
  SetName(Mode == 2 ? "GrView1" : "GrViewNf1");
  if (Mode == 1) {
    SetCaption(Translated("Starting data"));
    cbBWPrint->SetVisible(false);
    for (const auto& f : SiteFiles) {
      clbFiles->Items()->Add(WithoutFolder(f->FileName));
      clbFiles->SetItemChecked(clbFiles->Items()->Count() - 1, true);
    }
    clbProcessing->Items()->Clear();
    for (const auto& f : SiteFiles)
      for (int d : ListedReferences(*f)) {
        const std::string name = ProcessingName(d, f->ReferenceType);
        if (clbProcessing->Items()->IndexOf(name) < 0) clbProcessing->Items()->Add(name);
      }
  } else {
    SetCaption(Translated("Resulting data"));
    cbBWPrint->SetVisible(true);
    GroupBox3->SetVisible(false);
    clbFiles->Items()->Add("MtFile");
    clbFiles->SetItemChecked(0, true);
    clbProcessing->Items()->Clear();
    if (CurrentSite)
      for (int d : ListedReferences(*CurrentSite))
        clbProcessing->Items()->Add(ProcessingName(d, CurrentSite->ReferenceType));
  }
  // Every processing reference checked until the stored states say otherwise.
  for (int i = 0; i < clbProcessing->Items()->Count(); ++i) clbProcessing->SetItemChecked(i, true);
  FormActivate(this);
  // The lists' own heights for the storage to replace with stored ones: none lent to a small window.
  FFittingLists = true;
  GroupBox4->SetHeight(FListHeights[0]);
  GroupBox1->SetHeight(FListHeights[1]);
  GroupBox2->SetHeight(FListHeights[2]);
  GroupBox3->SetHeight(FListHeights[3]);
  FormStorage1 = KeepPlacement(this, Section(),
                               {"Panel1.Width", "GroupBox4.Height", "GroupBox1.Height", "GroupBox2.Height",
                                "GroupBox3.Height", "clbParameters.CheckedIndex", "Chart2.Height"});
  // A stored height of the lower chart is its share of the stored window.
  TakeChart2Share();
  FitChart2();
  TakeListHeights();
  FFittingLists = false;
  FitLists();
  TCustomIniFile* ini = Session.IniFile();
  for (int i = 0; ini && i < clbComponents->Items()->Count(); ++i) {
    const std::string key = "clbComponents_" + clbComponents->Items()->Strings(i);
    clbComponents->SetItemChecked(i, ini->ReadBool(Section(), key + "_Checked", true));
    clbComponents->SetSelected(i, ini->ReadBool(Section(), key + "_Selected", true));
  }
}

void TGrViewNf1::FitChart2() {
  if (!FChartsPanel || !Chart2) return;
  const int room = FChartsPanel->ClientHeight() - Splitter6->Height();
  if (room <= 0) return;
  const int h = std::clamp(static_cast<int>(std::lround(room * FChart2Share)), std::min(40, room / 2),
                           std::max(room / 2, room - 40));
  if (h != Chart2->Height()) Chart2->SetHeight(h);
}

void TGrViewNf1::TakeListHeights() {
  const TGroupBox* groups[4] = {GroupBox4, GroupBox1, GroupBox2, GroupBox3};
  for (int i = 0; i < 4; ++i) FListHeights[i] = groups[i]->Height();
}

void TGrViewNf1::FitLists() {
  if (FFittingLists || !Panel1 || !GroupBox3) return;
  FFittingLists = true;
  TScopeExit done([this] { FFittingLists = false; });
  TGroupBox* groups[4] = {GroupBox4, GroupBox1, GroupBox2, GroupBox3};
  int wanted = 0;
  for (int i = 0; i < 4; ++i)
    if (groups[i]->Visible()) wanted += FListHeights[i];
  // What the "B/W print" switch below the lists needs when it shows.
  const int room = Panel1->ClientHeight() - (cbBWPrint->Visible() ? cbBWPrint->Top() + cbBWPrint->Height() + 4 : 0);
  const double f = wanted > room && wanted > 0 ? std::max(0.0, static_cast<double>(room) / wanted) : 1.0;
  for (int i = 0; i < 4; ++i) {
    const int h = f < 1 ? std::max(48, static_cast<int>(FListHeights[i] * f)) : FListHeights[i];
    if (groups[i]->Height() != h) groups[i]->SetHeight(h);
  }
}

void TGrViewNf1::TakeChart2Share() {
  const int room = FChartsPanel ? FChartsPanel->ClientHeight() - Splitter6->Height() : 0;
  if (room > 0) FChart2Share = std::clamp(static_cast<double>(Chart2->Height()) / room, 0.1, 0.9);
}

void TGrViewNf1::FormActivate(TObject*) {
  if (!Session.Host) return;
  Session.EnableViewActions(0);
  if (ViewMode == 2) Session.Host->EnablePrintActions();
}

void TGrViewNf1::FormDeactivate(TObject*) {
  if (Session.Host) ToolState = Session.Mode() & (0x1 | 0x2 | 0x4 | 0x8 | 0x80 | 0x100 | 0x200);
}

void TGrViewNf1::PointerExecute(TObject* Sender) {
  const auto tag = static_cast<TComponent*>(Sender)->Tag();
  if (tag < 1 || tag > 5) return;
  const TCursor rest = tag == 4 ? crBullsEyeCursor : crDefault;
  const TCursor series = tag == 2 ? crHandPointCursor : crDefault;
  for (TChart* c : {Chart1, Chart2}) {
    c->OriginalCursor = rest;
    c->SetCursor(rest);
    for (int i = 0; i < c->SeriesList()->Count(); ++i) c->SeriesList()->Items(i)->SetCursor(series);
    c->Zoom()->SetAllow(tag == 1 || tag == 2 || tag == 4);
  }
}

void TGrViewNf1::Undo(TObject*) { Session.Undo(); }

void TGrViewNf1::Redo(TObject*) { Session.Redo(); }

void TGrViewNf1::StoreComponentChecks() {
  TCustomIniFile* ini = Session.IniFile();
  if (!ini) return;
  for (int i = 0; i < clbComponents->Items()->Count(); ++i) {
    const std::string key = "clbComponents_" + clbComponents->Items()->Strings(i);
    ini->WriteBool(Section(), key + "_Checked", clbComponents->GetItemChecked(i));
    ini->WriteBool(Section(), key + "_Selected", clbComponents->Selected(i));
  }
}

void TGrViewNf1::RebuildComponents() {
  StoreComponentChecks();
  clbComponents->Items()->Clear();
  for (int j = 0; j < NCurves; ++j) clbComponents->Items()->Add(CurveName(PlotType, j));
  TCustomIniFile* ini = Session.IniFile();
  for (int i = 0; i < clbComponents->Items()->Count(); ++i) {
    const std::string key = "clbComponents_" + clbComponents->Items()->Strings(i);
    clbComponents->SetItemChecked(i, ini ? ini->ReadBool(Section(), key + "_Checked", true) : true);
    clbComponents->SetSelected(i, ini ? ini->ReadBool(Section(), key + "_Selected", false) : false);
  }
}

void TGrViewNf1::Refresh(TObject*) {
  ForgetReferencePlots();
  Redraw();
}

void TGrViewNf1::ForgetReferencePlots() {
  FReferencePlots.clear();
  FReferencePlotsKept = false;
}

void TGrViewNf1::FrequencyChanged(int F) {
  TMTFile* site = Session.Site();
  if (!FReferencePlotsKept || !site || F < 1 || F > site->FreqCount) {
    Refresh(this);
    return;
  }
  for (TReferencePlots& p : FReferencePlots) {
    if (p.File != site) continue;  // a file of a set is not the summed site the edit changed
    // The rows the site's mask-change entry computes, under this reference, from the kept rows.
    std::swap(site->Plots, p.Plots);
    const int16_t kept = site->DisplayReference;
    site->DisplayReference = static_cast<int16_t>(p.Reference);
    TScopeExit restore([&] {
      site->DisplayReference = kept;
      std::swap(site->Plots, p.Plots);
    });
    site->CalcFrequency(F);
    const int last = std::min(site->FreqCount, F + (site->RotationMode == 1 ? 5 : 2));
    for (int f = std::max(1, F - 2); f <= last; ++f)
      if (f != F) site->CalcFrequency(f);
  }
  Redraw();
}

void TGrViewNf1::ComputeReferencePlots() {
  if (FReferencePlotsKept) return;
  FReferencePlotsKept = true;
  // The curves are the stack's parameters: under another reference only these are computed
  // again. The estimates' own parameters (which the editing windows show, and which take far
  // longer) stay those of the display reference, which is restored afterwards.
  auto useReference = [](TMTFile& File, int R) {
    File.DisplayReference = static_cast<int16_t>(R);
    File.RestackAll();
  };
  auto each = [&](TMTFile& File) {
    const int kept = File.DisplayReference;
    for (int d : ListedReferences(File)) {
      if (d == kept) continue;
      useReference(File, d);
      FReferencePlots.push_back({&File, d, File.Plots});
    }
    useReference(File, kept);
  };
  if (ViewMode == 1)
    for (const auto& f : SiteFiles) each(*f);
  else if (CurrentSite)
    each(*CurrentSite);
}

const TPlots* TGrViewNf1::ReferencePlots(const TMTFile* File, int Reference) const {
  if (Reference == File->DisplayReference) return &File->Plots;
  for (const TReferencePlots& p : FReferencePlots)
    if (p.File == File && p.Reference == Reference) return &p.Plots;
  return nullptr;
}

void TGrViewNf1::Redraw() {
  PlotType = clbParameters->CheckedIndex();
  NCurves = PlotType >= 0 ? PlotCurveCounts[PlotType] : 0;
  if (PlotType != PrevPlotType) {
    if (PlotType >= 0) RebuildComponents();
    PrevPlotType = PlotType;
  }
  if (PlotType < 0 || ViewMode == 0) return;
  const TPlotTypeInfo& info = PlotTypes[PlotType];
  const bool two = info.LastChart > info.FirstChart;
  Chart2->SetVisible(two);
  Splitter6->SetVisible(two);
  ComputeReferencePlots();
  for (int p = info.FirstChart; p <= info.LastChart; ++p) FillChart(p, ChartOfTag(p - info.FirstChart + 1));
}

void TGrViewNf1::FillChart(int Panel, TChart* C) {
  const TPlotTypeInfo& info = PlotTypes[PlotType];
  FillPropRows(PlotType, Panel, C);
  SetAxisMinMax(C);
  C->Title()->Text()->Clear();
  C->Title()->Text()->Add(Translated(std::string(info.ChartTitles[Panel])));
  TChartAxis* left = C->LeftAxis();
  left->SetAutomatic(false);
  left->Title()->SetCaption(Translated(std::string(info.AxisTitles[Panel])));
  left->SetLogarithmic(info.LogAxis[Panel]);
  TChartAxis* bottom = C->BottomAxis();
  bottom->Title()->SetCaption(Translated(std::string(info.FreqAxisTitle)));
  bottom->SetLogarithmic(true);
  bottom->SetInverted(true);
  ApplyKeptAxisTitles(C);
  while (C->SeriesList()->Count() > 0) delete C->SeriesList()->SeriesAt(C->SeriesList()->Count() - 1);

  const bool yxPhase = PlotSettings.Plus180 && Panel == 2;
  // One block of NCurves series for file File (index L) under reference R.
  auto fill = [&](const TMTFile& File, const TPlots& Plots, int L, int R, const std::string& FileTitle, bool ModeTwo) {
    CreateErrPointSeriesSet(this, C, NCurves, nullptr, 1);
    const int first = C->SeriesList()->Count() - NCurves;
    const std::string proc = R >= 0 && R < clbProcessing->Items()->Count() ? clbProcessing->Items()->Strings(R) : "";
    for (int j = 0; j < NCurves; ++j) {
      auto* s = static_cast<TErrPointSeries*>(C->SeriesList()->SeriesAt(first + j));
      s->SetTitle(CurveName(PlotType, j) + " " + (ModeTwo ? "" : FileTitle + " ") + proc);
      s->Pointer()->SetStyle(SeriesPointerStyle(R + 1));
      s->SetSeriesColor(SeriesColor(j + 1));
      s->SetTag(PlotParameterMap[PlotType][1][1][j] + 1000 * R);
      const bool fileOn = ModeTwo || (L < clbFiles->Items()->Count() && clbFiles->GetItemChecked(L));
      const bool procOn = R >= 0 && R < clbProcessing->Items()->Count() && clbProcessing->GetItemChecked(R);
      s->SetActive(j < clbComponents->Items()->Count() && clbComponents->GetItemChecked(j) && fileOn && procOn);
      const bool shifted = yxPhase && ((PlotType == 1 && j == 1) || (PlotType == 0 && j == 2));
      const double d = shifted ? 180 : 0;
      for (int k = 1; k <= File.FreqCount; ++k) {
        if (ModeTwo ? !(Plots[k][99] > 0) : Plots[k][1] == 0) continue;
        const double x = PlotType == 8 ? Plots[k][97 + j] : File.Frequencies[k];
        const double v = GetPlotValue(Plots, k, PlotType, j, 1, Panel) + d;
        const double e = std::sqrt(std::max(0.0, GetPlotValue(Plots, k, PlotType, j, 2, Panel)));
        double upper = 0, lower = 0;
        CalcErrorBounds(PlotType, Panel, upper, v, e, lower);
        s->AddErrPoint(x, v, lower, upper, "", SeriesColor(j + 1));
      }
    }
  };
  // Each reference of the file's list under its own name: an EDI file lists only the reference
  // it was processed with, which is the one its editing window shows.
  auto eachReference = [&](TMTFile& File, int L, const std::string& Title, bool ModeTwo) {
    for (int d : ListedReferences(File))
      if (const TPlots* plots = ReferencePlots(&File, d))
        fill(File, *plots, L, clbProcessing->Items()->IndexOf(ProcessingName(d, File.ReferenceType)), Title, ModeTwo);
  };
  if (ViewMode == 1) {
    for (size_t l = 0; l < SiteFiles.size(); ++l)
      eachReference(*SiteFiles[l], static_cast<int>(l), WithoutFolder(SiteFiles[l]->FileName), false);
  } else if (CurrentSite) {
    eachReference(*CurrentSite, 0, "", true);
  }
}

void TGrViewNf1::clbComponentsClickCheck(TObject*) {
  const int nC = clbComponents->Items()->Count(), nP = clbProcessing->Items()->Count(), nF = clbFiles->Items()->Count();
  for (TChart* chart : {Chart1, Chart2}) {
    TChartSeriesList* list = chart->SeriesList();
    for (int l = 0; l < nF; ++l)
      for (int p = 0; p < nP; ++p)
        for (int c = 0; c < nC; ++c) {
          const int i = c + nC * (p + nP * l);
          if (i >= list->Count()) continue;
          const bool on =
              clbComponents->GetItemChecked(c) && clbFiles->GetItemChecked(l) && clbProcessing->GetItemChecked(p);
          if (list->SeriesAt(i)->Active() != on) list->SeriesAt(i)->SetActive(on);
        }
  }
}

void TGrViewNf1::SetAxisMinMax(TChart* Chart) {
  if (!Chart) return;
  PropRowsToPlotSettings(PropTable.Rows, PlotSettings);
  TChartAxis* bottom = Chart->BottomAxis();
  if (PlotSettings.AutoX)
    bottom->SetAutomatic(true);
  else if (PlotSettings.XMin < PlotSettings.XMax)
    bottom->SetMinimumMaximum(PlotSettings.XMin, PlotSettings.XMax);
  if (PlotSettings.YMin < PlotSettings.YMax) Chart->LeftAxis()->SetMinimumMaximum(PlotSettings.YMin, PlotSettings.YMax);
  for (TChartSeries* s : *Chart->SeriesList()) {
    auto* e = dynamic_cast<TErrPointSeries*>(s);
    if (!e) continue;
    e->Pointer()->SetHorizSize(PlotSettings.PointSize);
    e->Pointer()->SetVertSize(PlotSettings.PointSize);
    e->Pointer()->Pen()->SetVisible(PlotSettings.PointBorder);
  }
  Chart1->Legend()->SetVisible(PlotSettings.Legend);
  Chart2->Legend()->SetVisible(PlotSettings.Legend);
}

// The pop-up menus of the two charts.
void TGrViewNf1::CreateChartMenus() {
  for (int tag : {1, 2}) {
    auto* menu = new TPopupMenu(this);
    menu->SetName(tag == 1 ? "PopupMenu1" : "PopupMenu2");
    auto* editor = new TMenuItem(this);
    editor->SetCaption("ChartEditor");
    editor->SetTag(tag);
    editor->OnClick = [this, tag](TObject*) { EditViewChart(this, ChartEditor1, ChartOfTag(tag)); };
    menu->Items()->Add(editor);
    auto* properties = new TMenuItem(this);
    properties->SetCaption("Properties");
    properties->SetTag(tag);
    properties->OnClick = [this, tag](TObject*) { mmPropertiesClick(tag); };
    menu->Items()->Add(properties);
    // The chart alone on a page: its print preview, with the printer, orientation and margins.
    auto* preview = new TMenuItem(this);
    preview->SetCaption("Print Preview...");
    preview->SetTag(tag);
    preview->OnClick = [this, tag](TObject*) { ChartPreviewClick(tag); };
    menu->Items()->Add(preview);
    SetControlPopupMenu(ChartOfTag(tag), menu);
    (tag == 1 ? PopupMenu1 : PopupMenu2) = menu;
  }
}

void TGrViewNf1::ChartPreviewClick(int Tag) {
  TChartPreview dialog(this);
  dialog.GraphPreviewPanel1->SetPanel(ChartOfTag(Tag));
  auto show = dialog.OnShow;
  dialog.OnShow = [&dialog, show](TObject* Sender) {
    if (show) show(Sender);
    if (ModalDialogHook) ModalDialogHook(&dialog);
  };
  dialog.ShowModal();
}

void TGrViewNf1::mmPropertiesClick(int Tag) {
  TChart* c = ChartOfTag(Tag);
  if (PlotType < 0) return;
  FillPropRows(PlotType, PlotTypes[PlotType].FirstChart + Tag - 1, c);
  if (!ObjInsp1) CreatePropertyWindow();
  ObjInsp1->ShowProps(PropTable);
  ObjInsp1->SetOwnerView(this);
  ObjInsp1->Show();
}

void TGrViewNf1::SaveFromObjInsp(TObject*) {
  if (!ObjInsp1) return;
  PropTable = ObjInsp1->Table();
  StorePropRows();
  SetAxisMinMax(dynamic_cast<TChart*>(PropTable.Panel));
  Refresh(this);
}

TReportForm1::TReportForm1(TComponent* AOwner) : TReportForm(AOwner) {
  SetName("ReportForm1");
  Report()->SetPageSize(210, 297);
  RpBand1 = new TRpBand(this);
  RpBand1->SetName("RpBand1");
  RpBand1->SetParent(Report());
  RpBand1->SetColor(clWhite);
  RpBand1->SetSizeBounds(10, 10, 190, 277);
  auto chart = [this](const char* Name, const char* ChartName, double Top, double Height) {
    auto* rp = new TRpChart(this);
    rp->SetName(Name);
    rp->SetParent(RpBand1);
    rp->SetSizeBounds(0, Top, 190, Height);
    auto* c = new TRpDBChart(this);
    c->SetName(ChartName);
    c->SetParent(rp);
    c->SetView3D(false);
    c->Title()->SetVisible(false);
    c->BottomAxis()->SetLogarithmic(true);
    c->BottomAxis()->SetInverted(true);
    c->LeftAxis()->SetLogarithmic(true);
    return rp;
  };
  RpChart1 = chart("RpChart1", "RpDBChart1", 0, 140);
  RpChart2 = chart("RpChart2", "RpDBChart2", 137, 135);
  RpChart1->Chart()->SetPrintMargins(TRect(15, 18, 15, 18));
  RpChart2->Chart()->SetPrintMargins(TRect(15, 16, 15, 16));
  // Each chart prints inside its share of the page less its print margins (percent of the share).
  auto margins = [](TRpChart* Rp, double Top, double Height) {
    const TRect m = Rp->Chart()->PrintMargins();
    const double width = 190;
    Rp->SetSizeBounds(width * m.Left / 100, Top + Height * m.Top / 100, width * (100 - m.Left - m.Right) / 100,
                      Height * (100 - m.Top - m.Bottom) / 100);
  };
  margins(RpChart1, 0, 140);
  margins(RpChart2, 137, 135);
}

void TReportForm1::CopyChart(TChart* View, TRpChart* Target, bool BlackAndWhite) {
  TRpDBChart* q = Target->Chart();
  while (q->SeriesList()->Count() > 0) delete q->SeriesList()->SeriesAt(q->SeriesList()->Count() - 1);
  q->Title()->Text()->Assign(*View->Title()->Text());
  q->Title()->SetVisible(false);
  q->Legend()->SetVisible(View->Legend()->Visible());
  for (auto [from, to] : {std::pair{View->LeftAxis(), q->LeftAxis()}, std::pair{View->BottomAxis(), q->BottomAxis()}}) {
    to->Assign(from);
    to->SetAutomatic(false);
    to->SetMinimumMaximum(from->Minimum(), from->Maximum());
  }
  q->SetColor(clWhite);
  for (TChartSeries* v : *View->SeriesList()) {
    auto* e = dynamic_cast<TErrPointSeries*>(v);
    if (!e) continue;
    auto* copy = new TErrPointSeries(Target->Owner());
    copy->Assign(e);
    copy->SetParentChart(q);
    if (BlackAndWhite) {
      copy->SetColorEachPoint(false);
      copy->SetSeriesColor(clBlack);
      for (int i = 0; i < copy->PointCount(); ++i) copy->SetPointColorAt(i, clBlack);
      copy->Repaint();
    }
  }
}

TReportForm1* MakeDataReport(TGrViewNf1* View) {
  auto* r = new TReportForm1(Application);
  const bool bw = View->cbBWPrint->Checked();
  TReportForm1::CopyChart(View->Chart1, r->RpChart1, bw);
  TReportForm1::CopyChart(View->Chart2, r->RpChart2, bw);
  return r;
}

bool PrintDataReport(TRpReport* Report) {
  // Where the page goes is asked every time: an installed printer or a PDF file (proposed
  // beside the site when no printer is installed).
  TPrintDialog dialog(nullptr);
  dialog.SetTitle("Print");
  if (!Printer()->HasPrinter() && CurrentSite && !CurrentSite->FileName.empty())
    dialog.SetOutputFile(ChangeFileExt(CurrentSite->FileName, ".pdf"));
  if (!dialog.Execute()) return false;
  ShowProgramLog();
  Report->Print();
  LogWriteLn(dialog.OutputFile().empty() ? "Printed on " + dialog.PrinterName()
                                         : "Printed to file " + dialog.OutputFile());
  return true;
}

void TGrViewNf1::Print(TObject* Sender) {
  auto* c = dynamic_cast<TComponent*>(Sender);
  const int tag = c ? static_cast<int>(c->Tag()) : 0;
  if (tag != 1 && tag != 2) throw ERangeError("Range check error");
  std::unique_ptr<TReportForm1> r(MakeDataReport(this));
  TRpReport* report = r->Report();
  if (tag == 1) {
    PrintDataReport(report);
  } else {
    report->OnPrintFromPreview = [report](TObject*) { PrintDataReport(report); };
    report->Preview(true);
  }
}
