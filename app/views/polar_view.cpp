#include "app/views/polar_view.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/views/chart_editing.h"
#include "app/site_session.h"
#include "chart/editor/language.h"
#include "chart/engine/chart.h"
#include "chart/engine/chart_axis.h"
#include "chart/engine/legend.h"
#include "chart/engine/walls_titles.h"
#include "chart/engine/series_pointer.h"
#include "chart/engine/tool_base.h"
#include "chart/series/polar_series.h"
#include "controls/form_storage.h"
#include "controls/vx_checklist.h"
#include "controls/vx_spin.h"
#include "controls/vx_splitter.h"
#include "mtdata/open_site.h"
#include "mtdata/plot_columns.h"
#include "mtdata/site_file.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

VM_DEFINE_CLASS(TPolarDiag1)

TPolarDiag1* PolarDiag1 = nullptr;

namespace {

constexpr const char* CheckStateKeys[2] = {"CheckListBox1_Checked0", "CheckListBox1_Checked1"};
constexpr int ItemZxy = 0, ItemZxx = 1;

}  // namespace

TPolarDiag1::TPolarDiag1(TComponent* AOwner, TSiteSession& ASession) : TMyForm(AOwner), Session(ASession) {
  FUpdating = true;
  SetName("Polar1");
  SetCaption("Polar diagrams");
  PlaceInFrame(this, 40, 20, 474, 476);

  Panel1 = new TPanel(this);
  Panel1->SetName("Panel1");
  Panel1->SetParent(this);
  Panel1->SetAlign(alRight);
  // Wide enough for "Zxx/Zxy at angle" in either language, at any scale of the screen.
  constexpr int inner = 152;
  Panel1->SetWidth(inner + 12);
  Panel1->SetCaption("");
  Splitter1 = new TVxSplitter(this);
  Splitter1->SetName("Splitter1");
  Splitter1->SetParent(this);
  Splitter1->SetAlign(alRight);
  Splitter1->SetWidth(3);
  Panel2 = new TPanel(this);
  Panel2->SetName("Panel2");
  Panel2->SetParent(this);
  Panel2->SetAlign(alClient);
  Panel2->SetCaption("");

  int top = 6;
  auto label = [&](const char* Text) {
    auto* l = new TLabel(this);
    l->SetParent(Panel1);
    l->SetCaption(Text);
    l->SetBounds(6, top, inner, 16);
    top += 18;
  };
  auto check = [&](TWinControl* Parent, const char* Name, const char* Caption, const char* Hint) {
    auto* c = new TCheckBox(this);
    c->SetName(Name);
    c->SetParent(Parent);
    c->SetCaption(Caption);
    c->SetHint(Hint);
    c->SetShowHint(true);
    c->SetBounds(6, top, inner, 20);
    top += 24;
    return c;
  };
  auto combo = [&](const char* Name) {
    auto* c = new TComboBox(this);
    c->SetName(Name);
    c->SetParent(Panel1);
    c->SetStyle(csDropDownList);
    c->SetBounds(6, top, inner, 22);
    top += 28;
    return c;
  };

  label("Components");
  CheckListBox1 = new TVxCheckListBox(this);
  CheckListBox1->SetName("CheckListBox1");
  CheckListBox1->SetParent(Panel1);
  CheckListBox1->SetBounds(6, top, inner, 44);
  CheckListBox1->Items()->Add("Zxy");
  CheckListBox1->Items()->Add("Zxx");
  CheckListBox1->SetItemChecked(ItemZxy, true);
  CheckListBox1->SetItemChecked(ItemZxx, true);
  top += 50;
  label("First freq");
  ComboBox1 = combo("ComboBox1");
  label("Last freq");
  ComboBox2 = combo("ComboBox2");
  label("Step");
  VxSpinEdit1 = new TVxSpinEdit(this);
  VxSpinEdit1->SetName("VxSpinEdit1");
  VxSpinEdit1->SetParent(Panel1);
  VxSpinEdit1->SetMinValue(1);
  VxSpinEdit1->SetMaxValue(100);
  VxSpinEdit1->SetValue(1);
  VxSpinEdit1->SetBounds(6, top, 66, 22);
  top += 28;
  CheckBox2 = check(Panel1, "CheckBox2", "Normalize Zxy", "Normalize Zxy (Zyx) to 1");

  GroupBox1 = new TGroupBox(this);
  GroupBox1->SetName("GroupBox1");
  GroupBox1->SetParent(Panel1);
  GroupBox1->SetCaption("Zxx type");
  GroupBox1->SetBounds(4, top, inner + 4, 84);
  top += 90;
  auto radio = [&](const char* Name, const char* Caption, int Y) {
    auto* r = new TRadioButton(this);
    r->SetName(Name);
    r->SetParent(GroupBox1);
    r->SetCaption(Caption);
    r->SetBounds(6, Y, inner - 6, 20);
    return r;
  };
  RadioButton1 = radio("RadioButton1", "No Normalize", 16);
  RadioButton1->SetEnabled(false);
  RadioButton2 = radio("RadioButton2", "Zxx/Zxy at angle", 38);
  RadioButton3 = radio("RadioButton3", "Zxx/ZxyMax", 60);
  RadioButton2->SetChecked(true);
  CheckBox1 = check(Panel1, "CheckBox1", "Normalize Zxx", "Normalize Zxx (Zyy) to 1, if Zxx>1");

  RadioGroup1 = new TRadioGroup(this);
  RadioGroup1->SetName("RadioGroup1");
  RadioGroup1->SetParent(Panel1);
  RadioGroup1->SetCaption("View");
  RadioGroup1->Items()->Add("Polar diagrams");
  RadioGroup1->Items()->Add("Induct Vector");
  RadioGroup1->SetItemIndex(0);
  RadioGroup1->SetBounds(4, top, inner + 4, 60);
  RadioGroup1->SetVisible(false);

  auto refresh = [this](TObject* s) { Refresh(s); };
  ComboBox1->OnChange = refresh;
  ComboBox2->OnChange = refresh;
  VxSpinEdit1->OnChange = refresh;
  CheckBox1->OnClick = refresh;
  for (TRadioButton* r : {RadioButton1, RadioButton2, RadioButton3}) r->OnClick = refresh;
  CheckListBox1->OnClickCheck = refresh;
  CheckBox2->OnClick = [this](TObject* s) { CheckBox2Click(s); };
  // The grid follows the chart panel, which takes its new size after the form.
  Panel2->OnResize = [this](TObject* s) { FormResize(s); };

  FormStorage1 = KeepPlacement(this, "TPolar1",
                               {"CheckBox1.Checked", "CheckBox2.Checked", "VxSpinEdit1.Value", "RadioButton1.Checked",
                                "RadioButton2.Checked", "RadioButton3.Checked", "RadioGroup1.ItemIndex"});
  FormStorage1->OnSavePlacement = [this](TObject* s) { FormStorage1SavePlacement(s); };
  FormStorage1->OnRestorePlacement = [this](TObject* s) { FormStorage1RestorePlacement(s); };
  FormStorage1RestorePlacement(FormStorage1);  // the placement was read before the events were set
  FSidePanelHeight = top + 6;
  KeepSidePanelWhole();

  // FormCreate
  TMTFile* site = CurrentSite.get();
  const int count = site ? std::clamp(site->LastGridFreq(), 0, MaxFreqs) : 0;
  PolarCharts.assign(static_cast<size_t>(count), nullptr);
  for (int i = 1; i <= count; ++i) {
    const std::string text = FormatFloat("0.########", site->Frequencies[i]);
    ComboBox1->Items()->Add(text);
    ComboBox2->Items()->Add(text);
  }
  if (count > 0) {
    ComboBox1->SetItemIndex(0);
    ComboBox2->SetItemIndex(count - 1);
  }
  FUpdating = false;
  Refresh(this);
  // Every change of the site redraws the view.
  Session.AddListener(this, {.OnEveryFrequencyChanged = [this](TObject* s) { Refresh(s); }});
}

TPolarDiag1::~TPolarDiag1() {
  Session.RemoveListener(this);
  // The panel outlives this object's own members while the form's children are freed.
  Panel2->OnResize = nullptr;
  // FormDestroy
  PolarCharts.clear();
  if (PolarDiag1 == this) PolarDiag1 = nullptr;
}

void TPolarDiag1::FormStorage1SavePlacement(TObject*) {
  for (int i = 0; i < 2; ++i)
    FormStorage1->WriteSectionInteger(CheckStateKeys[i], CheckListBox1->GetItemChecked(i) ? 1 : 0);
}

void TPolarDiag1::FormStorage1RestorePlacement(TObject* Sender) {
  const bool was = FUpdating;
  FUpdating = true;
  for (int i = 0; i < 2; ++i)
    CheckListBox1->SetItemChecked(i, FormStorage1->ReadSectionInteger(CheckStateKeys[i], 1) != 0);
  FUpdating = was;
  CheckBox2Click(Sender);
}

void TPolarDiag1::CheckBox2Click(TObject* Sender) {
  const bool normalized = CheckBox2->Checked();
  const bool was = FUpdating;
  FUpdating = true;
  RadioButton1->SetEnabled(!normalized);
  RadioButton2->SetEnabled(normalized);
  RadioButton3->SetEnabled(normalized);
  if (!RadioButton1->Enabled() && RadioButton1->Checked()) RadioButton2->SetChecked(true);
  if (!RadioButton2->Enabled()) RadioButton1->SetChecked(true);
  FUpdating = was;
  Refresh(Sender);
}

void TPolarDiag1::CalcRotatedMagnitudes() {
  TMTFile* site = CurrentSite.get();
  if (!site) return;
  constexpr float DegToRad = static_cast<float>(M_PI / 180);
  const int count = std::min(site->FreqCount, MaxFreqs);
  // The sine and cosine of twice each angle step, the same for every frequency.
  struct TTurn {
    float Sin, Cos;
  };
  static const std::array<TTurn, AngleSteps + 1> turns = [] {
    std::array<TTurn, AngleSteps + 1> t{};
    for (int j = 1; j <= AngleSteps; ++j) {
      const float theta = static_cast<float>(6 * j - 6) * DegToRad;
      t[static_cast<size_t>(j)] = {std::sin(2 * theta), std::cos(2 * theta)};
    }
    return t;
  }();
  for (int i = 1; i <= count; ++i) {
    MaxZxy[i] = 0;
    MaxZxx[i] = 0;
    const auto z = [&](int Column) { return static_cast<float>(site->Plots[i][Column]); };
    // [0] the real parts, [1] the imaginary parts
    const float zxx[2] = {z(pcZxxReRot), z(pcZxxImRot)}, zxy[2] = {z(pcZxyReRot), z(pcZxyImRot)};
    const float zyx[2] = {z(pcZyxReRot), z(pcZyxImRot)}, zyy[2] = {z(pcZyyReRot), z(pcZyyImRot)};
    float s1[2], d1[2], s2[2], d2[2];
    for (int p = 0; p < 2; ++p) {
      s1[p] = (zxx[p] + zyy[p]) / 2;
      d1[p] = (zxx[p] - zyy[p]) / 2;
      s2[p] = (zxy[p] + zyx[p]) / 2;
      d2[p] = (zxy[p] - zyx[p]) / 2;
    }
    for (int j = 1; j <= AngleSteps; ++j) {
      const float s = turns[j].Sin, c = turns[j].Cos;
      float xy[2], xx[2];
      for (int p = 0; p < 2; ++p) {
        xy[p] = s2[p] * c + d2[p] - d1[p] * s;
        xx[p] = d1[p] * c + s1[p] + s2[p] * s;
      }
      TMagnitudes& m = RotatedMagnitudes[i][j];
      m.Zxy = std::sqrt(xy[0] * xy[0] + xy[1] * xy[1]);
      m.Zxx = std::sqrt(xx[0] * xx[0] + xx[1] * xx[1]);
      MaxZxy[i] = std::max(MaxZxy[i], m.Zxy);
      MaxZxx[i] = std::max(MaxZxx[i], m.Zxx);
    }
  }
}

void TPolarDiag1::FreeCharts() {
  for (TChart*& c : PolarCharts) {
    delete c;
    c = nullptr;
  }
  PolarShown.clear();
}

void TPolarDiag1::FreeChart(size_t K) {
  if (K < PolarCharts.size()) {
    delete PolarCharts[K];
    PolarCharts[K] = nullptr;
  }
  if (K < PolarShown.size()) PolarShown[K] = {};
}

// A chart of the grid with its two curves' series, as shown for frequency F.
TChart* TPolarDiag1::MakeChart(bool ShowZxy, bool ShowZxx) {
  auto* chart = new TChart(this);
  chart->SetView3D(false);
  chart->SetParent(Panel2);
  chart->Title()->Text()->Clear();
  chart->LeftAxis()->SetAutomaticMinimum(false);
  chart->LeftAxis()->SetMinimum(0);
  chart->LeftAxis()->Axis()->SetWidth(1);
  chart->BottomAxis()->Axis()->SetWidth(1);
  chart->Legend()->SetVisible(false);
  ChartEditorPopup(this, ChartEditor1, chart, "Properties");
  if (ShowZxy) {
    auto* s = new TPolarSeries(chart);
    s->SetTitle("Zxy");
    s->Pointer()->SetVisible(false);
    s->SetCircled(true);
    s->SetCircleLabels(false);
    s->SetClockWiseLabels(false);
    s->SetCircleLabelsInside(false);
    chart->AttachSeries(s);
  }
  if (ShowZxx) {
    auto* s = new TPolarSeries(chart);
    s->SetTitle("Zxx");
    s->Pointer()->SetVisible(false);
    s->SetCircleLabels(false);
    s->SetClockWiseLabels(false);
    s->SetCircled(true);
    chart->AttachSeries(s);
  }
  return chart;
}

// The charts stay from one refresh to the next: a chart is made when its cell first has data and
// its points are set anew only when the values it shows change, so an edit of one frequency
// redraws only the charts of the frequencies it changed.
void TPolarDiag1::Refresh(TObject*) {
  if (FUpdating) return;
  TMTFile* site = CurrentSite.get();
  int first = ComboBox1->ItemIndex(), last = ComboBox2->ItemIndex();
  if (!site || first < 0 || last < 0) {
    FreeCharts();
    ChartCount = GridRows = GridCols = 0;
    return;
  }
  // A last frequency before the first: the same range taken the other way round.
  if (last < first) std::swap(first, last);
  FreqStep = std::max(1, static_cast<int>(std::lround(static_cast<double>(VxSpinEdit1->Value()))));
  int n = (last - first + 1) / FreqStep;
  if (n == 0) n = 1;
  ChartCount = n;
  GridRows = static_cast<int>(std::sqrt(static_cast<double>(n)));
  GridCols = (n + GridRows - 1) / GridRows;
  CellWidth = Panel2->Width() / GridCols;
  CellHeight = Panel2->Height() / GridRows;

  CalcRotatedMagnitudes();
  for (size_t k = static_cast<size_t>(n); k < PolarCharts.size(); ++k) FreeChart(k);
  PolarCharts.resize(std::max(PolarCharts.size(), static_cast<size_t>(n)), nullptr);
  PolarShown.resize(PolarCharts.size());
  const int freqs = std::min(site->FreqCount, MaxFreqs);
  const bool showZxy = CheckListBox1->GetItemChecked(ItemZxy);
  const bool showZxx = CheckListBox1->GetItemChecked(ItemZxx);
  for (int i = 1; i <= GridCols; ++i) {
    for (int r = 1; r <= GridRows; ++r) {
      const int k = (r - 1) * GridCols + i - 1;
      if (k >= n) continue;
      const size_t slot = static_cast<size_t>(k);
      const int f = first + k * FreqStep + 1;
      if (f > freqs || !(MaxZxy[f] > 0)) {  // no data: the cell stays empty
        FreeChart(slot);
        continue;
      }

      TPolarShown shown;
      shown.Zxy = showZxy;
      shown.Zxx = showZxx;
      shown.Title = FormatFloat("0.########", site->Frequencies[f]) + " " + Translated("Hz");
      const auto& rot = RotatedMagnitudes[f];
      if (showZxy) {
        for (int j = 1; j <= AngleSteps; ++j) {
          float v = rot[j].Zxy;
          if (CheckBox2->Checked()) v /= MaxZxy[f];
          shown.Values.push_back(v);
        }
      }
      if (showZxx) {
        float v[AngleSteps + 1];
        float largest = 0;
        for (int j = 1; j <= AngleSteps; ++j) {
          v[j] = rot[j].Zxx;
          if (RadioButton2->Checked() && rot[j].Zxy != 0) v[j] /= rot[j].Zxy;
          if (RadioButton3->Checked()) v[j] /= MaxZxy[f];
          largest = std::max(largest, v[j]);
        }
        // "Normalize Zxx": a curve that reaches beyond 1 is brought down to 1 at its largest point.
        const float scale = CheckBox1->Checked() && largest > 1 ? largest : 1;
        for (int j = 1; j <= AngleSteps; ++j) shown.Values.push_back(v[j] / scale);
      }

      TPolarShown& was = PolarShown[slot];
      if (PolarCharts[slot] && (was.Zxy != showZxy || was.Zxx != showZxx)) FreeChart(slot);
      TChart*& chart = PolarCharts[slot];
      if (!chart) chart = MakeChart(showZxy, showZxx);
      chart->SetBounds((i - 1) * CellWidth, (r - 1) * CellHeight, CellWidth, CellHeight);
      if (chart->Title()->Text()->Count() != 1 || was.Title != shown.Title) {
        chart->Title()->Text()->Clear();
        chart->Title()->Text()->Add(shown.Title);
      }
      if (was.Values != shown.Values) {
        size_t at = 0;
        for (int index = 0; index < chart->SeriesList()->Count(); ++index) {
          auto* s = static_cast<TPolarSeries*>(chart->SeriesList()->SeriesAt(index));
          s->BeginUpdate();
          s->ClearValues();
          for (int j = 1; j <= AngleSteps; ++j)
            s->AddPolarPoint(6 * j - 6, shown.Values[at++], "", s->GetSeriesColor());
          s->EndUpdate();
        }
      }
      was = std::move(shown);
    }
  }
}

void TPolarDiag1::KeepSidePanelWhole() {
  const int minChartWidth = 120;
  TWinMinMaxInfo* limits = FormStorage1 ? FormStorage1->MinMaxInfo() : nullptr;
  if (!limits) return;
  limits->SetMinTrackWidth(Panel1->Width() + Splitter1->Width() + minChartWidth + Width() - ClientWidth());
  limits->SetMinTrackHeight(FSidePanelHeight + Height() - ClientHeight());
}

void TPolarDiag1::FormResize(TObject*) {
  KeepSidePanelWhole();
  if (PolarCharts.empty() || GridCols <= 0 || GridRows <= 0) return;
  CellWidth = Panel2->Width() / GridCols;
  CellHeight = Panel2->Height() / GridRows;
  for (int k = 0; k < ChartCount && k < static_cast<int>(PolarCharts.size()); ++k) {
    if (TChart* c = PolarCharts[static_cast<size_t>(k)])
      c->SetBounds((k % GridCols) * CellWidth, (k / GridCols) * CellHeight, CellWidth, CellHeight);
  }
}
