#include "app/views/edit_window.h"

#include <algorithm>
#include <cmath>

#include "app/site_session.h"
#include "app/views/chart_editing.h"
#include "chart/editor/editor_dialog.h"
#include "app/property_window.h"
#include "app/views/errpoint_series.h"
#include "app/views/series_factory.h"
#include "chart/editor/language.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_pens.h"
#include "chart/engine/graph_effects.h"
#include "chart/engine/graph_shapes.h"
#include "chart/engine/legend.h"
#include "chart/engine/series_marks.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "chart/engine/walls_titles.h"
#include "chart/series/bar_series.h"
#include "chart/series/tools_colorline.h"
#include "controls/form_storage.h"
#include "controls/vx_splitter.h"
#include "mtdata/impedance_quality.h"
#include "mtdata/mt_params.h"
#include "mtdata/plot_columns.h"
#include "mtdata/plot_tables.h"
#include "mtdata/site_file.h"
#include "platform/exceptions.h"
#include "platform/extctrls.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TVaro1)

TVaro1* Varo1 = nullptr;

namespace {

TColor Style(int I) { return static_cast<TColor>(PlotSettings.Styles[I]); }
TColor SelectionColour() { return Style(21); }
TColor RemovedColour() { return Style(20); }

// The curve that holds the "yx" phase on the second panel, which "+180" shifts.
bool IsShiftedPhase(int PlotType, int Panel, int Curve) {
  return Panel == 2 && PlotSettings.Plus180 && ((PlotType == 1 && Curve == 1) || (PlotType == 0 && Curve == 2));
}

// The "xy" and "yx" curves of a plot type, whose stacked values and bounds the marker lines show.
std::pair<int, int> MarkerCurves(int PlotType) { return PlotType == 0 ? std::pair{1, 2} : std::pair{0, 1}; }

// The lines of each kind, both panels.
constexpr TEditLine MeanLines[] = {elMeanXy1, elMeanYx1, elMeanXy2, elMeanYx2};
constexpr TEditLine BoundLines[] = {elHighXy1, elLowXy1, elHighYx1, elLowYx1, elHighXy2, elLowXy2, elHighYx2, elLowYx2};

// A value the axis can place: finite, and above zero on a logarithmic axis.
bool Placeable(double V, const TChartAxis* Axis) {
  return std::isfinite(V) && (!Axis || !Axis->Logarithmic() || V > 0);
}

// True when frequency F of the site has computed parameters (its stack had weight enough).
bool Computed(const TMTFile& Site, int F) { return Site.Plots[F][pcfhz] > 0; }

// The frequency as the status bar shows it: "%7.5f", trimmed, without trailing zeros.
std::string FrequencyText(double F) {
  std::string s = Trim(Format("%7.5f", {F}));
  while (!s.empty() && s.back() == '0') s.pop_back();
  return s;
}

void FreeAllSeries(TChart* C) {
  while (C->SeriesList()->Count() > 0) delete C->SeriesList()->SeriesAt(C->SeriesList()->Count() - 1);
}

TErrPointSeries* Curve(TChart* C, int I) {
  return I < C->SeriesList()->Count() ? dynamic_cast<TErrPointSeries*>(C->SeriesList()->SeriesAt(I)) : nullptr;
}

std::string CurveTitle(int PlotType, int Panel, int Curve) {
  const int p = PlotParameterMap[PlotType][Panel][1][Curve];
  return p > 0 ? std::string(ParameterShortNames[p]) : std::string();
}

}  // namespace

TVaro1::TVaro1(TComponent* AOwner, TSiteSession& ASession) : TMyForm(AOwner), Session(ASession) {
  SetName("Varo1");
  SetCaption("Edit window");
  PlaceInFrame(this, 20, 6, 780, 560);
  SetKeyPreview(true);

  auto panel = [this](const char* Name, TWinControl* Parent, TAlign Align) {
    auto* p = new TPanel(this);
    p->SetName(Name);
    p->SetParent(Parent);
    p->SetAlign(Align);
    p->SetCaption("");
    p->SetBevelOuter(bvNone);
    return p;
  };
  auto splitter = [this](const char* Name, TWinControl* Parent, TAlign Align) {
    auto* s = new TVxSplitter(this);
    s->SetName(Name);
    s->SetParent(Parent);
    s->SetAlign(Align);
    if (Align == alTop)
      s->SetHeight(3);
    else
      s->SetWidth(3);
    return s;
  };
  auto chart = [this](const char* Name, TWinControl* Parent, int Tag, TAlign Align) {
    auto* c = new TChart(this);
    c->SetName(Name);
    c->SetParent(Parent);
    c->SetTag(Tag);
    c->SetAlign(Align);
    c->SetView3D(false);
    c->SetAllowPanning(pmNone);
    c->Legend()->SetCheckBoxes(true);
    c->LeftAxis()->SetLabelsSize(56);
    c->LeftAxis()->SetRoundFirstLabel(false);
    c->Zoom()->Pen()->SetColor(clBlue);
    c->SubTitle()->SetVisible(false);
    c->SubTitle()->Font()->SetColor(clMaroon);
    return c;
  };
  Panel3 = panel("Panel3", this, alClient);
  Panel2 = panel("Panel2", Panel3, alClient);
  Panel1 = panel("Panel1", Panel3, alTop);
  Panel1->SetHeight(313);
  Splitter1 = splitter("Splitter1", Panel3, alTop);
  Splitter1->SetTop(Panel1->Height());

  Chart1 = chart("Chart1", Panel1, 1, alLeft);
  Chart1->SetWidth(281);
  VxSplitter1 = splitter("VxSplitter1", Panel1, alLeft);
  VxSplitter1->SetLeft(281);
  Chart2 = chart("Chart2", Panel1, 2, alClient);
  Chart3 = chart("Chart3", Panel2, 3, alLeft);
  Chart3->SetWidth(281);
  VxSplitter2 = splitter("VxSplitter2", Panel2, alLeft);
  VxSplitter2->SetLeft(281);
  Chart4 = chart("Chart4", Panel2, 4, alClient);
  for (TChart* c : {Chart1, Chart3}) {
    TChartAxis* b = c->BottomAxis();
    b->SetInverted(true);
    b->SetLabelStyle(talValue);
    b->SetAxisValuesFormat("#,##0.#####");
    b->Title()->SetCaption("f");
  }
  Chart1->LeftAxis()->SetLogarithmic(true);
  for (TChart* c : {Chart2, Chart4}) {
    c->BottomAxis()->Title()->SetCaption("XPR \xE2\x84\x96");
    c->Foot()->SetVisible(false);
    c->SetShowHint(true);
  }
  Chart2->LeftAxis()->SetLogarithmic(true);

  // The 22 colour lines: markers (no drag) and the draggable selection lines.
  auto line = [this](int I, TChart* C, TChartAxis* Axis, TPenStyle PenStyle, bool Drag, TColor Colour) {
    auto* t = new TColorLineTool(this);
    t->SetName("ChartTool" + std::to_string(I));
    t->Pen()->SetStyle(PenStyle);
    t->Pen()->SetColor(Colour);
    t->SetAllowDrag(Drag);
    C->Tools->Add(t);
    if (Axis) t->SetAxis(Axis);
    t->SetActive(I == elFrequency1 || I == elFrequency2);
    FTools[static_cast<size_t>(I)] = t;
  };
  line(elFrequency1, Chart1, Chart1->BottomAxis(), psSolid, false, SelectionColour());
  line(elFrequency2, Chart3, Chart3->BottomAxis(), psSolid, false, SelectionColour());
  line(elMeanXy1, Chart2, Chart2->LeftAxis(), psSolid, false, clRed);
  line(elMeanYx1, Chart2, Chart2->LeftAxis(), psSolid, false, clGreen);
  for (TEditLine l : {elHighXy1, elLowXy1}) line(l, Chart2, nullptr, psDot, false, clRed);
  for (TEditLine l : {elHighYx1, elLowYx1}) line(l, Chart2, nullptr, psDot, false, clGreen);
  line(elMeanXy2, Chart4, Chart4->LeftAxis(), psSolid, false, clRed);
  line(elMeanYx2, Chart4, Chart4->LeftAxis(), psSolid, false, clGreen);
  for (TEditLine l : {elHighXy2, elLowXy2}) line(l, Chart4, Chart4->LeftAxis(), psDot, false, clRed);
  for (TEditLine l : {elHighYx2, elLowYx2}) line(l, Chart4, Chart4->LeftAxis(), psDot, false, clGreen);
  for (TEditLine l : {elVertFirst1, elVertSecond1}) line(l, Chart2, Chart2->BottomAxis(), psDot, true, clBlue);
  for (TEditLine l : {elVertFirst2, elVertSecond2}) line(l, Chart4, Chart4->BottomAxis(), psDot, true, clBlue);
  for (TEditLine l : {elHorzFirst1, elHorzSecond1}) line(l, Chart2, Chart2->LeftAxis(), psDot, true, clBlue);
  for (TEditLine l : {elHorzFirst2, elHorzSecond2}) line(l, Chart4, Chart4->LeftAxis(), psDot, true, clBlue);
  // Dragging a line of one estimate chart moves its partner on the other.
  const std::pair<TEditLine, TEditLine> partners[] = {{elVertFirst1, elVertFirst2},
                                                      {elVertSecond1, elVertSecond2},
                                                      {elVertFirst2, elVertFirst1},
                                                      {elVertSecond2, elVertSecond1}};
  for (auto [from, to] : partners) {
    TColorLineTool* partner = FTools[static_cast<size_t>(to)];
    FTools[static_cast<size_t>(from)]->OnDragLine = [partner](TColorLineTool* Sender) {
      partner->SetValue(Sender->Value());
    };
  }

  CreateMenus();

  // Events of the layout.
  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnDeactivate = [this](TObject* s) { FormDeactivate(s); };
  OnKeyDown = [this](TObject* s, uint16_t& k, TShiftState sh) { FormKeyDown(s, k, sh); };
  OnResize = [this](TObject* s) { FormResize(s); };
  for (TChart* c : {Chart1, Chart3}) c->OnClick = [this](TObject* s) { Chart1Click(s); };
  Chart1->OnClickLegend = [this](TCustomChart* s, TMouseButton, TShiftState, int, int) { Chart1ClickLegend(s); };
  Chart3->OnClickLegend = [this](TCustomChart* s, TMouseButton, TShiftState, int, int) { Chart3ClickLegend(s); };
  for (TChart* c : {Chart2, Chart4}) {
    c->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      Chart2MouseDown(s, b, sh, x, y);
    };
    c->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { Chart2MouseMove(s, sh, x, y); };
    c->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { Chart2MouseUp(s, b, sh, x, y); };
  }
  auto sameWidth = [](TControl* From, TControl* To) {
    return [From, To](TObject*) {
      if (To->Width() != From->Width()) To->SetWidth(From->Width());
    };
  };
  VxSplitter1->OnPosChanged = sameWidth(Chart1, Chart3);
  VxSplitter2->OnPosChanged = sameWidth(Chart3, Chart1);
  VxSplitter1->OnMouseMove = [f = sameWidth(Chart1, Chart3)](TObject* s, TShiftState, int, int) { f(s); };
  VxSplitter2->OnMouseMove = [f = sameWidth(Chart3, Chart1)](TObject* s, TShiftState, int, int) { f(s); };

  FormStorage1 = KeepPlacement(this, "TVaro1", {"Chart1.Width", "Chart3.Width", "Panel1.Height"});

  // FormCreate
  FillPropRows(1, 1, Chart1);
  ApplyPlotSettings(PropTable.Panel);
  FillPropRows(1, 2, Chart3);
  ApplyPlotSettings(PropTable.Panel);
  PlotType = 1;
  MarkedPoint = -1;
  CurFreq = 1;
  for (TEditLine l : {elHighXy1, elLowXy1, elHighYx1, elLowYx1}) ChartTool(l)->SetAxis(Chart2->LeftAxis());
  Session.SetMode(emPointer, true);
  ToolState = 4;
  // Every change of the site redraws the view.
  Session.AddListener(this, {.OnEveryFrequencyChanged = [this](TObject* s) { Refresh(s); }});
}

TColor TVaro1::RemovedColourOfEstimates() const { return RemovedColour(); }

TVaro1::~TVaro1() {
  Session.RemoveListener(this);
  if (Varo1 == this) Varo1 = nullptr;
}

TColorLineTool* TVaro1::ChartTool(int I) const {
  if (I < 1 || I > elLineCount) throw ERangeError("Range check error");
  return FTools[static_cast<size_t>(I)];
}

// ---- Activation and keys ------------------------------------------------------------------

void TVaro1::FormActivate(TObject*) {
  if (!Session.Host) return;
  Session.EnableViewActions(0xFFFF);
  Session.SetModeWord(ToolState);
}

void TVaro1::FormDeactivate(TObject*) {
  if (Session.Host) ToolState = Session.Mode() & ToolModeBits;
}

void TVaro1::FormKeyDown(TObject*, uint16_t& Key, TShiftState) {
  if (!Session.Host) return;
  switch (Key) {
    case VK_SPACE:
      Session.Host->RunViewCommand(NavState % 2 == 1 ? TViewCommand::Next : TViewCommand::Prior);
      break;
    case VK_LEFT:
      Session.Host->RunViewCommand(TViewCommand::Prior);
      break;
    case VK_RIGHT:
      Session.Host->RunViewCommand(TViewCommand::Next);
      break;
    default:
      break;
  }
}

void TVaro1::FormResize(TObject*) {
  Chart1->SetWidth(ClientWidth() / 2);
  Chart3->SetWidth(ClientWidth() / 2);
  Panel1->SetHeight(ClientHeight() / 2);
}

void TVaro1::Undo(TObject*) { Session.Undo(); }

void TVaro1::Redo(TObject*) { Session.Redo(); }

// ---- Site and charts ------------------------------------------------------------------------

void TVaro1::ShowSite(TMTFile* ASite) {
  Site = ASite;
  NFreq = Site ? Site->FreqCount : 0;
  if (Site) {
    const int reference = TSiteSession::ReferenceIndex(Session.Reference());
    if (reference >= 0 && reference != Site->DisplayReference) Site->SetReference(reference);
    EnablePlotType(9, Site->ReferenceType == 2 || Site->ReferenceType == 4);
  }
  BuildCharts();
}

void TVaro1::ApplyPlotSettings(TObject* Chart) {
  PropRowsToPlotSettings(PropTable.Rows, PlotSettings);
  for (TChart* c : {Chart1, Chart2, Chart3, Chart4})
    for (TChartSeries* s : *c->SeriesList())
      if (auto* e = dynamic_cast<TErrPointSeries*>(s)) {
        e->Pointer()->SetHorizSize(PlotSettings.PointSize);
        e->Pointer()->SetVertSize(PlotSettings.PointSize);
        e->Pointer()->Pen()->SetVisible(PlotSettings.PointBorder);
      }
  Chart1->Legend()->SetVisible(PlotSettings.Legend);
  Chart3->Legend()->SetVisible(PlotSettings.Legend);
  Chart2->Legend()->SetVisible(false);
  Chart4->Legend()->SetVisible(false);
  for (TChart* c : {Chart1, Chart3}) {
    TChartAxis* b = c->BottomAxis();
    if (PlotSettings.AutoX)
      b->SetAutomatic(true);
    else if (PlotSettings.XMin < PlotSettings.XMax && (!b->Logarithmic() || PlotSettings.XMin > 0))
      b->SetMinimumMaximum(PlotSettings.XMin, PlotSettings.XMax);
  }
  const bool first = Chart == Chart1 || Chart == Chart2;
  const std::array<TChart*, 2> pair =
      first ? std::array<TChart*, 2>{Chart1, Chart2} : std::array<TChart*, 2>{Chart3, Chart4};
  for (TChart* c : pair) {
    double lo = PlotSettings.YMin, hi = PlotSettings.YMax;
    // A logarithmic axis cannot start at zero or below: it starts six decades under its top.
    if (c->LeftAxis()->Logarithmic() && lo <= 0 && hi > 0) lo = hi * 1e-6;
    if (lo < hi) c->LeftAxis()->SetMinimumMaximum(lo, hi);
  }
}

void TVaro1::FillCurvePoint(TErrPointSeries* S, int I, int Panel, int F, bool Add, int Index) {
  const TMTFile& site = *Site;
  double v = GetPlotValue(site.Plots, F, PlotType, I, 1, Panel);
  const int varParam = PlotParameterMap[PlotType][Panel][2][I];
  const double e = varParam > 0 ? std::sqrt(std::max(0.0, GetPlotValue(site.Plots, F, PlotType, I, 2, Panel))) : 0;
  if (IsShiftedPhase(PlotType, Panel, I)) v += 180;
  double upper = 0, lower = 0;
  CalcErrorBounds(PlotType, Panel, upper, v, e, lower);
  // A frequency without computed values, or a value the logarithmic axis cannot place, is a
  // null point: neither drawn nor joined (the chart says how many are missing).
  const bool shown = Computed(site, F) && Placeable(v, S->GetVertAxis());
  if (!shown) ++FUnplacedCurvePoints[static_cast<size_t>(Panel)];
  const TColor colour = shown ? SeriesColor(I + 1) : clNone;
  if (Add) {
    S->AddErrPoint(site.Frequencies[F], v, lower, upper, "", colour);
    return;
  }
  S->YValues()->SetValue(Index, v);
  S->HighValues()->SetValue(Index, upper);
  S->LowValues()->SetValue(Index, lower);
  S->SetPointColorAt(Index, colour);
}

void TVaro1::BuildCurveChart(TChart* C, int Panel) {
  const TPlotTypeInfo& p = PlotTypes[PlotType];
  const int n = PlotCurveCounts[PlotType];
  FreeAllSeries(C);
  C->Title()->Text()->Clear();
  C->Title()->Text()->Add(Translated(std::string(p.ChartTitles[Panel])));
  TChartAxis* left = C->LeftAxis();
  left->SetAutomatic(false);
  left->Title()->SetCaption(Translated(std::string(p.AxisTitles[Panel])));
  left->SetLogarithmic(p.LogAxis[Panel]);
  C->BottomAxis()->Title()->SetCaption(Translated("Freq, Hertz"));
  ApplyKeptAxisTitles(C);
  C->BottomAxis()->SetLogarithmic(true);
  CreateErrPointSeriesSet(this, C, n,
                          [this](TChartSeries* s, int i, TMouseButton, TShiftState, int, int) { Series1Click(s, i); });
  FUnplacedCurvePoints[static_cast<size_t>(Panel)] = 0;
  for (int i = 0; i < n; ++i) {
    TErrPointSeries* s = Curve(C, C->SeriesList()->Count() - n + i);
    s->ClearValues();
    s->SetTitle(CurveTitle(PlotType, Panel, i));
    s->SetSeriesColor(SeriesColor(i + 1));
    if (!Site) continue;
    for (int f = 1; f <= NFreq; ++f)
      if (Site->Frequencies[f] > 0) FillCurvePoint(s, i, Panel, f, true, 0);
  }
}

void TVaro1::BuildCharts() {
  const TPlotTypeInfo& p = PlotTypes[PlotType];
  const int n = PlotCurveCounts[PlotType];
  const bool weights = Session.Is(emWeightView);
  BuildCurveChart(Chart1, 1);

  // The average weight of every frequency, as bars on their own axis at the chart's foot.
  auto weightAxis = [](TChart* C, TChartAxis*& Axis, bool Visible) {
    if (!Axis) Axis = new TChartAxis(C->CustomAxes());
    Axis->SetOtherSide(true);
    Axis->SetVisible(Visible);
    Axis->SetAutomatic(false);
    Axis->SetMinimumMaximum(0, 1);
    Axis->SetPositionPercent(7);
    Axis->SetStartPosition(87);
    Axis->SetEndPosition(97);
  };
  auto weightBars = [this, n, weights](TChart* C, const char* Title, TChartAxis* Axis) {
    auto* b = new TBarSeries(this);
    b->SetTitle(Title);
    b->Marks()->SetVisible(false);
    b->SetColorEachPoint(true);
    b->SetSeriesColor(SeriesColor(n + 1));
    b->XValues()->SetOrder(loAscending);
    b->SetParentChart(C);
    b->SetCustomVertAxis(Axis);
    b->SetActive(weights);
    return b;
  };
  weightAxis(Chart1, AvWgtAxis, weights);
  AvWgtSeries = weightBars(Chart1, "AvWgt", AvWgtAxis);
  if (Site)
    for (int f = 1; f <= NFreq; ++f) {
      const double w = Site->WeightSum2[f] != 0 ? Site->WeightSum1[f] / Site->WeightSum2[f] : 0;
      AvWgtSeries->AddXY(Site->Frequencies[f], w, "", SeriesColor(n + 1));
    }

  BuildCurveChart(Chart3, 2);

  for (auto [c, panel] : {std::pair{Chart2, 1}, std::pair{Chart4, 2}}) {
    FreeAllSeries(c);
    c->LeftAxis()->SetLogarithmic(p.LogAxis[panel]);
    c->Title()->Text()->Clear();
    c->Title()->Text()->Add(Translated("Partial") + " " + Translated(std::string(p.ChartTitles[panel])));
  }
  for (TChart* c : {Chart2, Chart4})
    CreateErrPointSeriesSet(this, c, n, [this](TChartSeries* s, int i, TMouseButton b, TShiftState sh, int x, int y) {
      Series11Click(s, i, b, sh, x, y);
    });
  weightAxis(Chart2, XprWgtAxis, weights);
  XprWgtSeries = weightBars(Chart2, "XprWgt", XprWgtAxis);

  MarkedPoint = -1;
  TErrPointSeries* first = Curve(Chart1, 0);
  SelectFrequencyPoint(first, first ? first->PointCount() - 1 : -1);
  Chart2->LeftAxis()->Assign(Chart1->LeftAxis());
  Chart4->LeftAxis()->Assign(Chart3->LeftAxis());
}

int TVaro1::FindFrequencyIndex(const TMTFile* ASite, double Frequency) {
  if (!ASite) return -1;
  for (int i = 1; i <= ASite->FreqCount; ++i) {
    const double f = ASite->Frequencies[i];
    if (f != 0 && std::fabs(Frequency - f) / f < 0.01) return i;
  }
  return -1;
}

int TVaro1::FindPointByFrequency(TChartSeries* Series, double Frequency) {
  if (!Series) return -1;
  TChartValueList* xs = Series->XValues();
  for (int j = 0; j < Series->PointCount(); ++j) {
    const double x = xs->Value(j);
    if (x > 0 && std::fabs(Frequency - x) / x < 0.01) return j;
  }
  return -1;
}

void TVaro1::SelectFrequencyPoint(TChartSeries* Series, int Index) {
  if (Series && Index >= 0 && Index < Series->PointCount()) {
    const double x = Series->XValues()->Value(Index);
    CurFreq = FindFrequencyIndex(Site, x);
    for (TEditLine t : {elFrequency1, elFrequency2}) {
      ChartTool(t)->Pen()->SetColor(SelectionColour());
      ChartTool(t)->SetValue(x);
    }
    MarkFrequencyPoint(Index);
    FillXprCharts(Index);
  }
  Chart1->CancelMouse = false;
  Chart3->CancelMouse = false;
}

void TVaro1::Series1Click(TChartSeries* Sender, int ValueIndex) { SelectFrequencyPoint(Sender, ValueIndex); }

void TVaro1::MarkFrequencyPoint(int Index) {
  if (Session.Host) {
    const std::string text = CurFreq < 1 || !Site ? "0" : FrequencyText(Site->Frequencies[CurFreq]);
    Session.SetStatusText(1, Format("f=%1d", {CurFreq}));
    Session.SetStatusText(2, Format("%6s ", {text}) + Translated("Hz"));
  }
  const int n = PlotCurveCounts[PlotType];
  for (auto [curves, estimates] : {std::pair{Chart1, Chart2}, std::pair{Chart3, Chart4}}) {
    TChartSeriesList* list = curves->SeriesList();
    for (int i = 0; i < list->Count(); ++i) {
      TChartSeries* s = list->SeriesAt(i);
      const TColor colour = SeriesColor(i + 1);
      s->BeginUpdate();
      s->SetSeriesColor(colour);
      // Null points (nothing computed, or not placeable on a log axis) stay null.
      for (int j = 0; j < s->PointCount(); ++j)
        if (s->PointColorAt(j) != clNone) s->SetPointColorAt(j, colour);
      if (Index >= 0 && Index < s->PointCount() && s->PointColorAt(Index) != clNone)
        s->SetPointColorAt(Index, SelectionColour());
      s->EndUpdate();
      if (i < estimates->SeriesList()->Count() && (i < n || s == AvWgtSeries))
        estimates->SeriesList()->SeriesAt(i)->SetActive(s->Active());
    }
  }
  MarkedPoint = Index;
}

void TVaro1::FillXprChart(TChart* C, int Panel, int Index) {
  const int n = PlotCurveCounts[PlotType];
  const int f = CurFreq;
  const int count = Site && f >= 1 && f <= Site->FreqCount ? Site->XprCount[f] : 0;
  FUnplacedEstimates[static_cast<size_t>(Panel)] = 0;
  for (int i = 0; i < n; ++i) {
    TErrPointSeries* s = Curve(C, i);
    if (!s) continue;
    s->BeginUpdate();
    s->ClearValues();
    s->SetTitle(CurveTitle(PlotType, 1, i));
    const int valueParam = PlotParameterMap[PlotType][Panel][1][i];
    const int varParam = PlotParameterMap[PlotType][Panel][2][i];
    for (int x = 1; x <= count; ++x) {
      double v = valueParam > 0 ? Site->PartialPlots[f - 1][valueParam - 1][x - 1] : 0;
      const double e = varParam > 0 ? std::sqrt(std::max(0.0, Site->PartialPlots[f - 1][varParam - 1][x - 1])) : 0;
      if (IsShiftedPhase(PlotType, Panel, i)) v += 180;
      double upper = 0, lower = 0;
      CalcErrorBounds(PlotType, Panel, upper, v, e, lower);
      // An estimate without weight enough has no computed values; it is kept as a null point so
      // that point j stays estimate j + 1.
      const bool computable = Site->Weight2[f][x] > 2 && Site->Weight1[f][x] > 0;
      const bool shown = computable && Placeable(v, C->LeftAxis());
      if (!shown) ++FUnplacedEstimates[static_cast<size_t>(Panel)];
      s->AddErrPoint(x, v, lower, upper, "", shown ? MaskColour(SeriesColor(i + 1), Site->Mask[f][x]) : clNone);
    }
    s->EndUpdate();
  }
  if (n > 0) FUnplacedEstimates[static_cast<size_t>(Panel)] /= n;
  (void)Index;
}

void TVaro1::PlaceMarkers(int Index) {
  // The tipper has no markers: its lines hide while it is shown and come back with the view.
  for (TEditLine t : MeanLines) ChartTool(t)->SetActive(MeanOn && PlotType != 2);
  for (TEditLine t : BoundLines) ChartTool(t)->SetActive(StdOn && PlotType != 2);
  if (PlotType == 2) return;
  const auto [xy, yx] = MarkerCurves(PlotType);
  struct TMarkers {
    TChart* Curves;
    TChart* Estimates;
    TEditLine Value[2], High[2], Low[2];
    int Bound;        // first entry of MarkerBounds
    TEditLine Probe;  // the dotted line whose axis tells whether the bounds are placed
  };
  const TMarkers sets[] = {
      {Chart1, Chart2, {elMeanXy1, elMeanYx1}, {elHighXy1, elHighYx1}, {elLowXy1, elLowYx1}, 0, elHighXy1},
      {Chart3, Chart4, {elMeanXy2, elMeanYx2}, {elHighXy2, elHighYx2}, {elLowXy2, elLowYx2}, 4, elHighXy2}};
  for (const TMarkers& m : sets) {
    const bool bounds = ChartTool(m.Probe)->Axis() == m.Estimates->LeftAxis();
    for (int k = 0; k < 2; ++k) {
      TErrPointSeries* s = Curve(m.Curves, k == 0 ? xy : yx);
      if (!s || Index < 0 || Index >= s->PointCount()) continue;
      const TColor colour = s->SeriesColor();
      ChartTool(m.Value[k])->Pen()->SetColor(colour);
      ChartTool(m.Value[k])->SetValue(s->YValues()->Value(Index));
      if (!bounds) continue;
      const double hi = s->HighValues()->Value(Index), lo = s->LowValues()->Value(Index);
      ChartTool(m.High[k])->Pen()->SetColor(colour);
      ChartTool(m.Low[k])->Pen()->SetColor(colour);
      ChartTool(m.High[k])->SetValue(hi);
      ChartTool(m.Low[k])->SetValue(lo);
      MarkerBounds[static_cast<size_t>(m.Bound + 2 * k)] = hi;
      MarkerBounds[static_cast<size_t>(m.Bound + 2 * k + 1)] = lo;
    }
  }
}

void TVaro1::FillXprCharts(int Index) {
  FillXprChart(Chart2, 1, Index);
  FillXprChart(Chart4, 2, Index);
  PlaceMarkers(Index);
  if (XprWgtSeries) {
    const int n = PlotCurveCounts[PlotType];
    XprWgtSeries->BeginUpdate();
    XprWgtSeries->ClearValues();
    const int f = CurFreq;
    const int count = Site && f >= 1 && f <= Site->FreqCount ? Site->XprCount[f] : 0;
    for (int x = 1; x <= count; ++x) {
      const double w = Site->Weight2[f][x] != 0 ? Site->Weight1[f][x] / Site->Weight2[f][x] : 0;
      XprWgtSeries->AddXY(x, w, "", Site->Mask[f][x] == 1 ? SeriesColor(n + 1) : RemovedColour());
    }
    XprWgtSeries->EndUpdate();
  }
  ShowMissing();
}

std::string TVaro1::MissingText(int Tag) const {
  if (!Site) return "No site";
  if (Tag == 1 || Tag == 3) {
    const int missing = FUnplacedCurvePoints[Tag == 1 ? 1 : 2];
    if (missing == 0) return "";
    return Format("%d points not shown (not computed, or not above zero on a log axis)", {missing});
  }
  const int f = CurFreq;
  if (f < 1 || f > Site->FreqCount) return "No frequency of the site at the marked point";
  if (Site->XprCount[f] == 0) return "No estimates at this frequency";
  std::string text;
  if (!Computed(*Site, f)) {
    bool used = false;
    for (int x = 1; x <= Site->XprCount[f]; ++x) used = used || Site->Mask[f][x] == 1;
    text = used ? "Nothing computed at this frequency: too few estimates in use"
                : "Nothing computed at this frequency: every estimate removed";
  }
  const int missing = FUnplacedEstimates[Tag == 2 ? 1 : 2];
  if (missing > 0) {
    if (!text.empty()) text += "; ";
    text += Format("%d estimates not shown (not computable, or not above zero on a log axis)", {missing});
  }
  return text;
}

void TVaro1::ShowMissing() {
  for (TChart* c : {Chart1, Chart2, Chart3, Chart4}) {
    const std::string text = MissingText(static_cast<int>(c->Tag()));
    TChartTitle* t = c->SubTitle();
    if (t->Text()->Count() == 1 && t->Text()->Strings(0) == text && t->Visible() == !text.empty()) continue;
    t->Text()->Clear();
    if (!text.empty()) t->Text()->Add(text);
    t->SetVisible(!text.empty());
  }
}

void TVaro1::Refresh(TObject*) {
  if (!Site) return;
  TErrPointSeries* first = Curve(Chart1, 0);
  const int n = PlotCurveCounts[PlotType];
  FUnplacedCurvePoints = {};
  for (int f = 1; f <= NFreq; ++f) {
    const int j = FindPointByFrequency(first, Site->Frequencies[f]);
    if (j < 0) continue;
    for (int i = 0; i < n; ++i) {
      if (TErrPointSeries* s = Curve(Chart1, i)) FillCurvePoint(s, i, 1, f, false, j);
      if (TErrPointSeries* s = Curve(Chart3, i)) FillCurvePoint(s, i, 2, f, false, j);
    }
  }
  // The average weights follow the new stacks.
  if (AvWgtSeries)
    for (int f = 1; f <= NFreq; ++f) {
      const int j = FindPointByFrequency(AvWgtSeries, Site->Frequencies[f]);
      if (j >= 0)
        AvWgtSeries->YValues()->SetValue(j, Site->WeightSum2[f] != 0 ? Site->WeightSum1[f] / Site->WeightSum2[f] : 0);
    }
  for (TChart* c : {Chart1, Chart3}) c->Invalidate();
  SelectFrequencyPoint(first, MarkedPoint);
}

void TVaro1::RecalcFrequency(int F) {
  if (!Site) return;
  Site->RestackFrequency(F);
  Site->CalcFrequency(F);
  Refresh(this);
}

// ---- Navigation and display switches ----------------------------------------------------------

void TVaro1::Navigate(TObject*, int Step) {
  TErrPointSeries* first = Curve(Chart1, 0);
  SelectFrequencyPoint(first, NavigatedPoint(MarkedPoint, first ? first->PointCount() : 0, Step, NavState));
}

void TVaro1::MeanView(TObject*) {
  MeanOn = Session.Is(emMeanView);
  for (TEditLine t : MeanLines) ChartTool(t)->SetActive(MeanOn);
}

void TVaro1::StdView(TObject*) {
  for (TEditLine l : {elHighXy1, elLowXy1, elHighYx1, elLowYx1}) ChartTool(l)->SetAxis(Chart2->LeftAxis());
  StdOn = !StdOn;
  for (size_t k = 0; k < std::size(BoundLines); ++k) {
    ChartTool(BoundLines[k])->SetActive(StdOn);
    ChartTool(BoundLines[k])->SetValue(MarkerBounds[k]);
  }
}

void TVaro1::WeightView(TObject*) {
  const bool on = Session.Is(emWeightView);
  if (AvWgtSeries) AvWgtSeries->SetActive(on);
  if (XprWgtSeries) XprWgtSeries->SetActive(on);
  if (AvWgtAxis) AvWgtAxis->SetVisible(on);
  if (XprWgtAxis) XprWgtAxis->SetVisible(on);
}

// ---- Plot type, legends, property window ----------------------------------------------------------

void TVaro1::Chart1Click(TObject* Sender) {
  if (ObjInsp1 && ObjInsp1->Visible()) pmPropertiesClick(Sender);
  Chart2->LeftAxis()->Assign(Chart1->LeftAxis());
  Chart4->LeftAxis()->Assign(Chart3->LeftAxis());
}

void TVaro1::pmPropertiesClick(TObject* Sender) {
  // The second panel's rows for the phase chart itself and for its menu's entry (Tag 2).
  auto* c = dynamic_cast<TComponent*>(Sender);
  const bool second = Sender == Chart3 || (c && c != Chart1 && c->Tag() == 2);
  if (second)
    FillPropRows(PlotType, 2, Chart3);
  else
    FillPropRows(PlotType, 1, Chart1);
  if (!ObjInsp1) CreatePropertyWindow();
  ObjInsp1->ShowProps(PropTable);
  ObjInsp1->Show();
  ObjInsp1->SetOwnerView(this);
}

void TVaro1::SaveFromObjInsp(TObject*) {
  if (!ObjInsp1) return;
  PropTable = ObjInsp1->Table();
  StorePropRows();
  ApplyPlotSettings(PropTable.Panel);
  BuildCharts();
}

void TVaro1::mmChartEditorClick(TObject* Sender) {
  // Tags 1 to 4 name the chart; any other opens the editor on the chart it had.
  auto* c = dynamic_cast<TComponent*>(Sender);
  const int tag = c ? static_cast<int>(c->Tag()) : 0;
  TChart* charts[] = {Chart1, Chart2, Chart3, Chart4};
  TCustomChart* chart = tag >= 1 && tag <= 4 ? charts[tag - 1] : (ChartEditor1 ? ChartEditor1->Chart() : nullptr);
  EditViewChart(this, ChartEditor1, chart);
}

void TVaro1::Chart1ClickLegend(TCustomChart*) {
  TChartSeriesList* from = Chart1->SeriesList();
  TChartSeriesList* to = Chart2->SeriesList();
  for (int i = 0; i < to->Count() && i < from->Count(); ++i) to->SeriesAt(i)->SetActive(from->SeriesAt(i)->Active());
}

void TVaro1::Chart3ClickLegend(TCustomChart*) {
  TChartSeriesList* from = Chart3->SeriesList();
  TChartSeriesList* to = Chart4->SeriesList();
  for (int i = 0; i < to->Count() && i < from->Count(); ++i) to->SeriesAt(i)->SetActive(from->SeriesAt(i)->Active());
}
