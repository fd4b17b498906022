#include "app/views/complex_window.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "app/log_views.h"
#include "app/site_session.h"
#include "app/views/chart_editing.h"
#include "app/property_window.h"
#include "app/views/series_factory.h"
#include "chart/editor/language.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/chart_utils.h"
#include "chart/engine/legend.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/walls_titles.h"
#include "chart/series/polar_series.h"
#include "chart/series/tools_colorline.h"
#include "controls/form_storage.h"
#include "mtdata/mt_params.h"
#include "mtdata/open_site.h"
#include "mtdata/plot_tables.h"
#include "mtdata/site_file.h"
#include "platform/actnlist.h"
#include "platform/menus.h"
#include "platform/strings.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TVaroCmplx1)

TVaroCmplx1* VaroCmplx1 = nullptr;

namespace {

// Chart texts by plot type: Chart1's title, Chart1's left-axis title, Chart2's title.
constexpr const char* Texts[3][3] = {
    {"Impedance Zxx,Zxy,Zyx,Zyy", "Im(Impedance (Ohm-M))", "Partial solutions of Impedance"},
    {"Apparent resistivity RHOxy,RHOyx", "Im(Resistivity (Ohm-M))", "Partial solutions of Apparent resistivity"},
    {"Tipper magnitude T", "Tipper magnitude", "Partial solutions of Tipper"}};

// The colour of curve C (0-based): entry C + 1 of the chart library's palette.
TColor CurveColour(int C) {
  if (ColorPalette.empty()) SetDefaultPalette();
  return ColorPalette[static_cast<size_t>(C) % ColorPalette.size()];
}

// The radius drawn for a magnitude: itself, or its decimal logarithm. False when the magnitude
// has no place on the scale (not a number, or not positive on a logarithmic one).
bool RadiusOf(double Magnitude, bool Linear, double& Radius) {
  if (!std::isfinite(Magnitude)) return false;
  if (!Linear) {
    if (!(Magnitude > 0)) return false;
    Magnitude = std::log10(Magnitude);
  }
  Radius = Magnitude;
  return true;
}

int RowOfLabel(TChartSeries* S, int Index) { return StrToIntDef(Trim(S->LabelAt(Index)), -1); }

void ClearSeries(TChart* C) {
  while (C->SeriesList()->Count() > 0) delete C->SeriesList()->SeriesAt(C->SeriesList()->Count() - 1);
}

}  // namespace

TVaroCmplx1::TVaroCmplx1(TComponent* AOwner, TSiteSession& ASession) : TMyForm(AOwner), Session(ASession) {
  SetName("VaroCmplx1");
  SetCaption("Complex plane");
  SetKeyPreview(true);
  PlaceInFrame(this, 20, 10, 870, 480);

  auto chart = [this](const char* Name) {
    auto* c = new TChart(this);
    c->SetName(Name);
    c->SetParent(this);
    c->SetView3D(false);
    c->Legend()->SetVisible(false);
    for (TChartAxis* a : {c->LeftAxis(), c->RightAxis(), c->TopAxis(), c->BottomAxis()}) a->SetAutomatic(false);
    return c;
  };
  Chart1 = chart("Chart1");
  Chart1->SetAlign(alLeft);
  Chart1->SetWidth(400);
  Chart1->BottomAxis()->SetLabelStyle(talValue);
  Chart1->LeftAxis()->SetLabelStyle(talValue);
  Chart2 = chart("Chart2");
  Chart2->SetAlign(alClient);

  auto item = [this](TMenuItem* Parent, const char* Name, const char* Caption, int Tag, TNotifyEvent OnClick) {
    auto* m = new TMenuItem(this);
    if (*Name) m->SetName(Name);
    m->SetCaption(Caption);
    m->SetTag(Tag);
    m->OnClick = std::move(OnClick);
    Parent->Add(m);
    return m;
  };
  PopupMenu1 = new TPopupMenu(this);
  PopupMenu1->SetName("PopupMenu1");
  auto plotType = [this](TObject* s) { Impedance1Click(s); };
  Impedance1 = item(PopupMenu1->Items(), "Impedance1", "Impedance", 0, plotType);
  AppResistivity1 = item(PopupMenu1->Items(), "AppResistivity1", "Appar.Rezistivity", 1, plotType);
  AppResistivity1->SetChecked(true);
  Tipper1 = item(PopupMenu1->Items(), "Tipper1", "Tipper", 3, plotType);
  item(PopupMenu1->Items(), "", "-", 0, nullptr);
  LinearScale1 =
      item(PopupMenu1->Items(), "LinearScale1", "Linear Scale", 0, [this](TObject* s) { LinearScale1Click(s); });
  auto editChart = [this](TObject* s) {
    EditViewChart(this, ChartEditor, static_cast<TComponent*>(s)->Tag() == 2 ? Chart2 : Chart1);
  };
  ChartEditor1 = item(PopupMenu1->Items(), "ChartEditor1", "ChartEditor", 1, editChart);
  pmProperties =
      item(PopupMenu1->Items(), "pmProperties", "Properties", 0, [this](TObject* s) { pmPropertiesClick(s); });
  PopupMenu2 = new TPopupMenu(this);
  PopupMenu2->SetName("PopupMenu2");
  ChartEditor2 = item(PopupMenu2->Items(), "ChartEditor2", "ChartEditor", 2, editChart);
  SetControlPopupMenu(Chart1, PopupMenu1);
  SetControlPopupMenu(Chart2, PopupMenu2);

  auto line = [this](const char* Name, TColor Colour, TChartAxis* Axis) {
    auto* t = new TColorLineTool(this);
    t->SetName(Name);
    t->Pen()->SetColor(Colour);
    t->SetAllowDrag(false);
    t->SetDragRepaint(true);
    t->SetDraw3D(false);
    t->SetNoLimitDrag(true);
    Chart2->Tools->Add(t);
    t->SetAxis(Axis);
    t->SetActive(false);
    return t;
  };
  ChartTool1 = line("ChartTool1", clRed, Chart2->TopAxis());
  ChartTool2 = line("ChartTool2", clRed, Chart2->LeftAxis());
  ChartTool3 = line("ChartTool3", clGreen, Chart2->TopAxis());
  ChartTool4 = line("ChartTool4", clGreen, Chart2->LeftAxis());

  Chart1->OnClick = [this](TObject* s) { Chart1Click(s); };
  OnResize = [this](TObject* s) { FormResize(s); };
  OnKeyDown = [this](TObject* s, uint16_t& Key, TShiftState Shift) { FormKeyDown(s, Key, Shift); };
  OnActivate = [this](TObject* s) { FormActivate(s); };
  OnDeactivate = [this](TObject* s) { FormDeactivate(s); };
  FormStorage1 = KeepPlacement(this, "TVaroCmplx1", {"Chart1.Width"});

  // FormCreate
  if (CurrentSite) {
    NFreq = CurrentSite->FreqCount;
    CurrentSite->CalcPartialPlots();
  }
  FillPropRows(1, 1, Chart1);
  ApplyPlotSettings();
  PlotType = 1;
  MarkedPoint = -1;
  CurFreq = 1;
  ChartPaint();
  // Every change of the site redraws the view.
  Session.AddListener(this, {.OnEveryFrequencyChanged = [this](TObject* s) { Refresh(s); }});
}

TVaroCmplx1::~TVaroCmplx1() { Session.RemoveListener(this); }

int TVaroCmplx1::CurveCount() const { return PlotCurveCounts[std::clamp(PlotType, 0, 2)]; }

void TVaroCmplx1::SetCurvePoint(int C, int Index) {
  auto* s = Chart1->SeriesList()->SeriesAt(C);
  const int row = RowOfLabel(s, Index);
  double radius = 0, angle = 0;
  bool shown = false;
  if (CurrentSite && row >= 1 && row <= CurrentSite->FreqCount) {
    angle = GetPlotValueLogged(CurrentSite->Plots, row, PlotType, C, 1, 2);
    shown = RadiusOf(GetPlotValueLogged(CurrentSite->Plots, row, PlotType, C, 1, 1), LinearOn, radius) &&
            std::isfinite(angle);
  }
  // A magnitude that has no radius keeps its point (and so its row) as a null point.
  s->SetYValueAt(Index, shown ? radius : 0);
  s->SetXValueAt(Index, shown ? angle : 0);
  TColor colour = CurveColour(C);
  if (!shown)
    colour = clNone;
  else if (Index == MarkedPoint)
    colour = MaskColour(colour, 2);
  s->SetPointColorAt(Index, colour);
}

void TVaroCmplx1::ChartPaint() {
  const int t = std::clamp(PlotType, 0, 2);
  ClearSeries(Chart1);
  Chart1->Title()->Text()->Clear();
  Chart1->Title()->Text()->Add(Translated(Texts[t][0]));
  Chart1->LeftAxis()->Title()->SetCaption(Translated(Texts[t][1]));
  Chart1->BottomAxis()->Title()->SetCaption("Re");
  ApplyKeptAxisTitles(Chart1);
  Chart1->LeftAxis()->SetLogarithmic(false);
  Chart1->BottomAxis()->SetLogarithmic(false);
  const int n = CurveCount();
  CreatePolarSeriesSet(this, Chart1, n,
                       [this](TChartSeries* s, int i, TMouseButton, TShiftState, int, int) { Series1Click(s, i); });
  for (int c = 0; c < n; ++c) {
    auto* s = static_cast<TPolarSeries*>(Chart1->SeriesList()->SeriesAt(c));
    s->SetTitle(std::string(ParameterShortNames[PlotParameterMap[t][1][1][c]]));
    s->SetSeriesColor(CurveColour(c));
    if (!CurrentSite || t == 2) continue;  // the tipper has no curve points
    for (int r = 1; r <= CurrentSite->FreqCount; ++r) {
      if (!(CurrentSite->Frequencies[r] > 0)) continue;
      const int i = s->AddPolarPoint(0, 0, IntToStr(r), CurveColour(c));
      SetCurvePoint(c, i);
    }
  }
  ClearSeries(Chart2);
  Chart2->Title()->Text()->Clear();
  Chart2->Title()->Text()->Add(Translated(Texts[t][2]));
  CreatePolarSeriesSet(this, Chart2, n, [this](TChartSeries* s, int i, TMouseButton, TShiftState, int x, int y) {
    Series11Click(s, i, x, y);
  });
  for (int c = 0; c < n; ++c) {
    auto* s = static_cast<TPolarSeries*>(Chart2->SeriesList()->SeriesAt(c));
    s->SetTitle(Chart1->SeriesList()->SeriesAt(c)->Title());
    s->SetSeriesColor(CurveColour(c));
    s->Pen()->SetVisible(false);  // single estimates are a scatter, not a curve
  }
  // Chart2's radius scale takes Chart1's settings before the estimates are placed on it.
  Chart2->LeftAxis()->Assign(Chart1->LeftAxis());
  FAutoRadius = Chart1->LeftAxis()->Automatic();
  MarkedPoint = -1;
  TChartSeries* first = Chart1->SeriesList()->SeriesAt(0);
  SelectFrequencyPoint(first, first->PointCount() - 1);
  if (first->PointCount() == 0) PlaceMarkerLines(-1);
}

void TVaroCmplx1::SelectFrequencyPoint(TChartSeries* Series, int Index) {
  if (Series && Index >= 0 && Index < Series->PointCount()) {
    const int row = RowOfLabel(Series, Index);
    if (row >= 1) CurFreq = row;
    MarkFrequencyPoint(Index);
    FillEstimateChart(Index);
  }
  Chart1->CancelMouse = false;
}

void TVaroCmplx1::MarkFrequencyPoint(int Index) {
  if (CurrentSite && Session.Host && CurFreq >= 1 && CurFreq <= CurrentSite->FreqCount) {
    std::string f = Trim(Format("%7.5f", {CurrentSite->Frequencies[CurFreq]}));
    while (!f.empty() && f.back() == '0') f.pop_back();
    Session.SetStatusText(1, Format("f=%1d", {CurFreq}));
    Session.SetStatusText(2, Format("%6s ", {f}) + Translated("Hz"));
  }
  for (int i = 0; i < Chart1->SeriesList()->Count(); ++i) {
    TChartSeries* s = Chart1->SeriesList()->SeriesAt(i);
    const TColor colour = CurveColour(i);
    // A point without a value stays a null point, marked or not.
    if (MarkedPoint >= 0 && MarkedPoint < s->PointCount() && !s->IsNullPoint(MarkedPoint))
      s->SetPointColorAt(MarkedPoint, colour);
    if (Index >= 0 && Index < s->PointCount() && !s->IsNullPoint(Index))
      s->SetPointColorAt(Index, MaskColour(colour, 2));
  }
  MarkedPoint = Index;
}

void TVaroCmplx1::FillEstimateChart(int Index) {
  const int t = std::clamp(PlotType, 0, 2);
  const int n = std::min(CurveCount(), Chart2->SeriesList()->Count());
  const bool rowOk = CurrentSite && CurFreq >= 1 && CurFreq <= CurrentSite->FreqCount;
  for (int c = 0; c < n; ++c) {
    auto* s = static_cast<TPolarSeries*>(Chart2->SeriesList()->SeriesAt(c));
    s->ClearValues();
    if (!rowOk) continue;
    const TMTFile& site = *CurrentSite;
    const int magnitude = PlotParameterMap[t][1][1][c], phase = PlotParameterMap[t][2][1][c];
    if (magnitude < 1 || phase < 1) continue;
    const int count = std::clamp(site.XprCount[CurFreq], 0, MaxXpr);
    for (int x = 1; x <= count; ++x) {
      const double rho = site.PartialPlots[CurFreq - 1][magnitude - 1][x - 1];
      if (t <= 1 && !(rho > 0)) continue;
      double radius = 0;
      const double angle = site.PartialPlots[CurFreq - 1][phase - 1][x - 1];
      if (!RadiusOf(rho, LinearOn, radius) || !std::isfinite(angle)) continue;
      s->AddPolarPoint(angle, radius, IntToStr(x), MaskColour(CurveColour(c), site.Mask[CurFreq][x]));
    }
  }
  SayWhatIsMissing();
  PlaceMarkerLines(Index);
}

void TVaroCmplx1::SayWhatIsMissing() {
  std::string text;
  if (CurrentSite && CurFreq >= 1 && CurFreq <= CurrentSite->FreqCount && PlotType != 2) {
    const TMTFile& site = *CurrentSite;
    int used = 0, drawn = 0;
    for (int x = 1; x <= std::clamp(site.XprCount[CurFreq], 0, MaxXpr); ++x) used += site.Mask[CurFreq][x] == 1;
    for (int c = 0; c < Chart2->SeriesList()->Count(); ++c) drawn += Chart2->SeriesList()->SeriesAt(c)->PointCount();
    if (site.XprCount[CurFreq] <= 0)
      text = Format("f=%d: no estimates", {CurFreq});
    else if (used == 0)
      text = Format("f=%d: every estimate is removed, nothing computed", {CurFreq});
    else if (drawn == 0)
      text = Format("f=%d: no estimate has a value to draw", {CurFreq});
  }
  Chart2->Foot()->Text()->Clear();
  if (!text.empty()) Chart2->Foot()->Text()->Add(text);
  Chart2->Foot()->SetVisible(!text.empty());
}

void TVaroCmplx1::PlaceMarkerLines(int Index) {
  // The radius scale: Chart1's fixed range, or the range the estimates of this frequency need.
  TChartAxis* left = Chart2->LeftAxis();
  double mn = left->Minimum(), mx = left->Maximum();
  if (FAutoRadius) {
    left->SetAutomatic(true);
    left->CalcAutomaticRange(mn, mx);
  }
  if (!std::isfinite(mn) || !std::isfinite(mx)) mn = 0, mx = 1;
  if (!(mx > mn)) mx = mn + 1;
  for (TChartAxis* a : {left, Chart2->RightAxis(), Chart2->BottomAxis(), Chart2->TopAxis()})
    a->SetMinimumMaximum(mn, mx);
  // When the polar series draws its radius scale along the half-diameters, the top axis is left
  // spanning min..max from the left edge to the centre and the left axis from the bottom edge to
  // the centre: a value at radius R and angle A, (R - min) cos A right of the centre, stands at
  // max + (R - min) cos A on the top axis, and likewise at max + (R - min) sin A on the left one.
  TColorLineTool* tools[4] = {ChartTool1, ChartTool2, ChartTool3, ChartTool4};
  FLineValid.fill(false);
  for (int c = 0; c < 2 && c < Chart1->SeriesList()->Count(); ++c) {
    TChartSeries* s = Chart1->SeriesList()->SeriesAt(c);
    if (Index < 0 || Index >= s->PointCount() || s->IsNullPoint(Index)) continue;
    const double offset = std::max(0.0, s->YValueAt(Index) - mn);
    const double theta = s->XValueAt(Index) * std::numbers::pi / 180;
    tools[2 * c]->SetValue(mx + offset * std::cos(theta));
    tools[2 * c + 1]->SetValue(mx + offset * std::sin(theta));
    FLineValid[static_cast<size_t>(2 * c)] = FLineValid[static_cast<size_t>(2 * c + 1)] = true;
  }
  ShowMarkerLines();
}

void TVaroCmplx1::ShowMarkerLines() {
  TColorLineTool* tools[4] = {ChartTool1, ChartTool2, ChartTool3, ChartTool4};
  for (size_t k = 0; k < 4; ++k) tools[k]->SetActive(MeanOn && FLineValid[k]);
}

void TVaroCmplx1::Series1Click(TChartSeries* Sender, int ValueIndex) { SelectFrequencyPoint(Sender, ValueIndex); }

void TVaroCmplx1::Series11Click(TChartSeries* Sender, int ValueIndex, int X, int Y) {
  if (!Sender || ValueIndex < 0 || ValueIndex >= Sender->PointCount()) return;
  // Of the estimates under the pointer (of any curve), the one nearest to the click.
  TChartSeries* hit = Sender;
  int best = ValueIndex;
  long bestDistance = -1;
  for (int c = 0; c < Chart2->SeriesList()->Count(); ++c) {
    TChartSeries* s = Chart2->SeriesList()->SeriesAt(c);
    if (!s->Active()) continue;
    for (int i = 0; i < s->PointCount(); ++i) {
      const long dx = s->ScreenXAt(i) - X, dy = s->ScreenYAt(i) - Y;
      if (const long d = dx * dx + dy * dy; bestDistance < 0 || d < bestDistance) bestDistance = d, best = i, hit = s;
    }
  }
  const int x = RowOfLabel(hit, best);
  if (!CurrentSite || x < 1 || x > MaxXpr || CurFreq < 1 || CurFreq > CurrentSite->FreqCount) return;
  const int f = CurFreq;
  TMTFile& site = *CurrentSite;
  if (Session.Is(emHand) && site.Mask[f][x] != 0) {
    int16_t& m = site.Mask[f][x];
    if (m == 1)
      m = 2;
    else if (m == 2)
      m = 1;
    Session.CommitMaskEdit(f, "Finger");
  }
  Chart2->CancelMouse = false;
  if (!Session.Host) return;
  Session.SetStatusText(3, site.WeightSum2[f] == 0 ? std::string("AvWgt=0")
                                                   : Format("AvWgt=%5.3f", {site.WeightSum1[f] / site.WeightSum2[f]}));
  Session.SetStatusText(4, Format("Xpr=%d", {x}));
  Session.SetStatusText(5, site.Weight2[f][x] == 0 ? std::string("Xpr=0")
                                                   : Format("XprWt=%5.3f", {site.Weight1[f][x] / site.Weight2[f][x]}));
}

void TVaroCmplx1::Refresh(TObject*) {
  if (!CurrentSite) {
    ClearSeries(Chart1);
    ClearSeries(Chart2);
    return;
  }
  // Each point is updated from the row its label holds.
  for (int c = 0; c < Chart1->SeriesList()->Count(); ++c) {
    TChartSeries* s = Chart1->SeriesList()->SeriesAt(c);
    for (int i = 0; i < s->PointCount(); ++i)
      if (RowOfLabel(s, i) >= 0) SetCurvePoint(c, i);
  }
  SelectFrequencyPoint(Chart1->SeriesList()->Count() ? Chart1->SeriesList()->SeriesAt(0) : nullptr, MarkedPoint);
  Chart1->Invalidate();
}

void TVaroCmplx1::Navigate(TObject*, int Step) {
  NavState = Step;
  if (Chart1->SeriesList()->Count() == 0) return;
  TChartSeries* s = Chart1->SeriesList()->SeriesAt(0);
  SelectFrequencyPoint(s, NavigatedPoint(MarkedPoint, s->PointCount(), Step, NavState));
}

void TVaroCmplx1::FormKeyDown(TObject*, uint16_t& Key, TShiftState) {
  if (TSessionHost* host = Session.Host) {
    if (Key == VK_SPACE)
      host->RunViewCommand(NavState % 2 ? TViewCommand::Next : TViewCommand::Prior);
    else if (Key == VK_LEFT)
      host->RunViewCommand(TViewCommand::Prior);
    else if (Key == VK_RIGHT)
      host->RunViewCommand(TViewCommand::Next);
  }
  if (!LinearOn || Chart1->SeriesList()->Count() == 0) return;
  TChartSeries* s = Chart1->SeriesList()->SeriesAt(0);
  const int i = CurFreq - 1;
  if (i < 0 || i >= s->PointCount() || s->IsNullPoint(i)) return;  // nothing to fit the scale to
  const double y = s->YValueAt(i);
  if (!(y > 0)) return;
  for (TChart* c : {Chart1, Chart2}) {
    c->BottomAxis()->SetMinimumMaximum(0, 2 * y);
    c->LeftAxis()->SetMinimumMaximum(0, 2 * y);
  }
  FAutoRadius = false;
  PlaceMarkerLines(MarkedPoint);
  Chart2->Invalidate();
}

void TVaroCmplx1::ApplyPlotSettings() {
  PropRowsToPlotSettings(PropTable.Rows, PlotSettings);
  for (TChart* c : {Chart1, Chart2})
    for (int i = 0; i < c->SeriesList()->Count(); ++i)
      if (auto* s = dynamic_cast<TCustomPolarSeries*>(c->SeriesList()->SeriesAt(i))) {
        s->Pointer()->SetHorizSize(PlotSettings.PointSize);
        s->Pointer()->SetVertSize(PlotSettings.PointSize);
      }
  double r = PlotSettings.YMax;
  if (!LinearOn) r = PlotSettings.YMax > 0 ? std::log10(PlotSettings.YMax) : 0;
  for (TChartAxis* a : {Chart1->BottomAxis(), Chart1->LeftAxis()}) {
    if (PlotSettings.AutoX)
      a->SetAutomatic(true);
    else
      a->SetMinimumMaximum(0, r);
  }
}

void TVaroCmplx1::Impedance1Click(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  for (TMenuItem* m : {Impedance1, AppResistivity1, Tipper1}) m->SetChecked(m == item);
  PlotType = item ? static_cast<int>(item->Tag()) : 1;
  // The tipper entry's tag 3 is the tipper's plot type 2 for its property rows too.
  if (PlotType == 3) PlotType = 2;
  FillPropRows(PlotType, 1, Chart1);
  ApplyPlotSettings();
  ChartPaint();
  Chart1Click(Sender);
}

void TVaroCmplx1::LinearScale1Click(TObject*) {
  LinearScale1->SetChecked(!LinearScale1->Checked());
  LinearOn = LinearScale1->Checked();
  ApplyPlotSettings();
  ChartPaint();
}

void TVaroCmplx1::pmPropertiesClick(TObject*) {
  FillPropRows(PlotType, 1, Chart1);
  if (!ObjInsp1) CreatePropertyWindow();
  ObjInsp1->ShowProps(PropTable);
  ObjInsp1->SetOwnerView(this);
  ObjInsp1->Show();
}

void TVaroCmplx1::Chart1Click(TObject* Sender) {
  if (ObjInsp1 && ObjInsp1->Visible()) pmPropertiesClick(Sender);
  Chart2->LeftAxis()->Assign(Chart1->LeftAxis());
  Chart2->RightAxis()->Assign(Chart1->RightAxis());
  FAutoRadius = Chart1->LeftAxis()->Automatic();
  PlaceMarkerLines(MarkedPoint);
}

void TVaroCmplx1::SaveFromObjInsp(TObject*) {
  if (!ObjInsp1) return;
  PropTable = ObjInsp1->Table();
  StorePropRows();
  ApplyPlotSettings();
  ChartPaint();
}

void TVaroCmplx1::MeanView(TObject*) {
  MeanOn = Session.Is(emMeanView);
  ShowMarkerLines();
}

void TVaroCmplx1::FormResize(TObject*) { Chart1->SetWidth(Width() / 2); }

void TVaroCmplx1::Undo(TObject*) { Session.Undo(); }

void TVaroCmplx1::Redo(TObject*) { Session.Redo(); }

void TVaroCmplx1::FormActivate(TObject*) {
  if (!Session.Host) return;
  // The hand, the navigation, the mean view and the journal; the tool checks of this window back.
  Session.EnableViewActions(0x4 | 0x8 | 0x10 | 0x20 | 0x40 | 0x800 | 0x2000 | 0x4000);
  Session.SetModeWord(ToolState ? ToolState : 4);
  Session.SetMode(emMeanView, MeanOn);
}

void TVaroCmplx1::FormDeactivate(TObject*) {
  if (Session.Host) ToolState = Session.Mode() & ToolModeBits;
}
