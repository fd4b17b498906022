// A reference command redraws every view under the new reference, and the resulting data view of
// an EDI site shows the reference the editing window shows, under its own name.
#include <cmath>
#include <complex>
#include <fstream>
#include <random>
#include <vector>

#include "app/views/data_view.h"
#include "app/views/edit_window.h"
#include "app/views/errpoint_series.h"
#include "app/views/polar_view.h"
#include "view_fixture.h"
#include "chart/engine/chart.h"
#include "chart/engine/tool_base.h"
#include "chart/engine/value_lists.h"
#include "chart/series/polar_series.h"
#include "controls/vx_checklist.h"
#include "mtdata/mt_types.h"
#include "mtdata/plot_tables.h"
#include "mtdata/site_file.h"
#include "platform/actnlist.h"
#include "platform/sysutils.h"

namespace {

using cplx = std::complex<double>;

// Every value of every series of C, in order.
std::vector<double> Values(TChart* C) {
  std::vector<double> v;
  for (TChartSeries* s : *C->SeriesList())
    for (int i = 0; i < s->PointCount(); ++i) v.push_back(s->YValues()->Value(i));
  return v;
}

// A spectra EDI of a 1-D earth with noisy local magnetic channels and clean remote ones, seven
// channels (Hx Hy Hz Ex Ey Rx Ry) per block: the local-E and the remote-H results differ.
void WriteSpectraEdi(const std::string& Name) {
  std::mt19937 random(7);
  std::normal_distribution<double> n(0, 1);
  auto c = [&](double Scale) { return cplx(n(random), n(random)) * Scale; };
  std::string text =
      ">HEAD\n    DATAID=\"SYN1\"\n    LAT=61:30:00.00\n    LONG=-033:15:00.00\n    ELEV=125\n"
      "    STDVERS=\"SEG 1.0\"\n    EMPTY=1.0E+32\n>=SPECTRASECT\n    NCHAN=7\n    NFREQ=6\n";
  for (double f : {100.0, 30.0, 10.0, 3.0, 1.0, 0.3}) {
    // Channels by slot: 1 Ex, 2 Ey, 3 Hx, 4 Hy, 5 Hz, 6 Rx, 7 Ry.
    cplx s[8][8] = {};
    const cplx z(std::sqrt(f) * 3, std::sqrt(f) * 2);
    for (int k = 0; k < 40; ++k) {
      const cplx hx = c(1), hy = c(1);
      cplx v[8] = {0, z * hy + c(0.3), -z * hx + c(0.3), hx + c(0.6), hy + c(0.6), c(0.05), hx + c(0.1), hy + c(0.1)};
      for (int a = 1; a <= 7; ++a)
        for (int b = 1; b <= 7; ++b) s[a][b] += v[a] * std::conj(v[b]);
    }
    text += ">SPECTRA  FREQ=" + Format("%.6e", {f}) + " ROTSPEC=0 AVGT=2.0000E+01 // 49\n";
    const int slots[] = {3, 4, 5, 1, 2, 6, 7};
    for (int r = 0; r < 7; ++r) {
      for (int col = 0; col < 7; ++col) {
        const int a = slots[r], b = slots[col];
        text += " " + Format("%.12e", {r >= col ? s[a][b].real() : s[b][a].imag()});
      }
      text += "\n";
    }
  }
  text += ">END\n";
  std::ofstream(Name, std::ios::binary) << text;
}

}  // namespace

TEST_F(AppFixture, AReferenceCommandRedrawsTheEditingWindowAndThePolarViewUnderIt) {
  Start();
  ChooseFiles({SiteFile("S107.MT1")});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  ASSERT_TRUE(MainForm1->AcEditing->Execute());
  ASSERT_TRUE(MainForm1->AcPolar->Execute());
  ASSERT_TRUE(FormExists(Varo1) && FormExists(PolarDiag1));
  const std::vector<double> polarBefore = Values(PolarDiag1->PolarCharts.at(0));
  const std::vector<double> estimatesBefore = Values(Varo1->Chart2);

  ASSERT_TRUE(MainForm1->AcLE->Execute());
  ASSERT_EQ(CurrentSite->DisplayReference, 0);
  const int f = Varo1->CurFreq, type = Varo1->PlotType;
  ASSERT_GE(f, 1);
  // The estimates are this reference's.
  auto* estimates = dynamic_cast<TErrPointSeries*>(Varo1->Chart2->SeriesList()->SeriesAt(0));
  const int p = PlotParameterMap[type][1][1][0];
  int compared = 0;
  for (int j = 0; j < estimates->PointCount(); ++j) {
    if (estimates->PointColorAt(j) == clNone) continue;
    EXPECT_DOUBLE_EQ(estimates->YValues()->Value(j), CurrentSite->PartialPlots[f - 1][p - 1][j]) << j;
    ++compared;
  }
  EXPECT_GT(compared, 0);
  EXPECT_NE(Values(Varo1->Chart2), estimatesBefore);
  // The curves beside them are the stacks under the same reference: stacking again changes none.
  const TPlots stacked = CurrentSite->Plots;
  CurrentSite->RestackAll();
  auto* curve = dynamic_cast<TErrPointSeries*>(Varo1->Chart1->SeriesList()->SeriesAt(0));
  const int marked = Varo1->MarkedPoint;
  ASSERT_GE(marked, 0);
  EXPECT_DOUBLE_EQ(stacked[f][1], CurrentSite->Plots[f][1]);
  EXPECT_DOUBLE_EQ(curve->YValues()->Value(marked), GetPlotValue(CurrentSite->Plots, f, type, 0, 1, 1));
  // The polar view follows too.
  EXPECT_NE(Values(PolarDiag1->PolarCharts.at(0)), polarBefore);
}

// The resulting data view of a spectra EDI site (one reference in its list: its own, remote H)
// shows that reference under its name, with the values the editing window shows.
TEST_F(AppFixture, ResultingDataOfAnEdiSiteShowsTheEditingWindowsReferenceByName) {
  const std::string name = SiteFile("SYN1.EDI");
  WriteSpectraEdi(name);
  Start();
  ChooseFiles({name});
  ASSERT_TRUE(MainForm1->acOpen->Execute());
  ASSERT_TRUE(CurrentSite);
  ASSERT_EQ(CurrentSite->ReferenceType, frtRemoteH);
  ASSERT_TRUE(MainForm1->AcResultingData->Execute());
  ASSERT_TRUE(FormExists(GrView1));
  GrView1->clbParameters->SetCheckedIndex(1);  // apparent resistivity
  GrView1->Refresh(nullptr);
  ASSERT_TRUE(MainForm1->AcEditing->Execute());
  ASSERT_EQ(Varo1->PlotType, 1);

  ASSERT_EQ(GrView1->clbProcessing->Items()->Count(), 1);
  EXPECT_EQ(GrView1->clbProcessing->Items()->Strings(0), "REM H ");
  TChartSeries* data = GrView1->Chart1->SeriesList()->SeriesAt(0);
  EXPECT_EQ(data->Title().substr(data->Title().size() - 6), "REM H ");
  TChartSeries* edit = Varo1->Chart1->SeriesList()->SeriesAt(0);
  ASSERT_GT(data->PointCount(), 0);
  int compared = 0;
  for (int i = 0; i < data->PointCount(); ++i) {
    const int j = TVaro1::FindPointByFrequency(edit, data->XValues()->Value(i));
    ASSERT_GE(j, 0);
    EXPECT_NEAR(data->YValues()->Value(i), edit->YValues()->Value(j), 1e-9 * std::fabs(edit->YValues()->Value(j)))
        << data->XValues()->Value(i) << " Hz";
    ++compared;
  }
  EXPECT_EQ(compared, 6);
}

// After edits the resulting-data view recomputes only the touched rows under each reference it
// shows: every curve of both panels is what computing all of them again gives, to the bit.
TEST_F(ViewFixture, ResultingDataAfterEditsIsWhatAFullRecomputationShows) {
  OpenSite({SiteFile("S107.MT1")});
  ShowView(GrView1)->SetViewMode(2);
  ASSERT_EQ(GrView1->clbProcessing->Items()->Count(), 3);
  TMTFile* site = Session->Site();
  // Impedance (two panels) and the Bostick inversion, whose rows read their neighbours.
  for (int type : {0, 8}) {
    GrView1->clbParameters->SetCheckedIndex(type);
    GrView1->Refresh(nullptr);
    const std::vector<double> before = Values(GrView1->Chart1);
    for (int f : {1, 4, 5, site->FreqCount}) {
      for (int x = 1 + type % 3; x <= site->XprCount[f]; x += 3)
        if (site->Mask[f][x] == 1) site->Mask[f][x] = 2;
      Session->CommitMaskEdit(f, "Lasso");
    }
    const std::vector<double> edited[2] = {Values(GrView1->Chart1), Values(GrView1->Chart2)};
    EXPECT_NE(edited[0], before) << type;
    GrView1->Refresh(nullptr);
    EXPECT_EQ(Values(GrView1->Chart1), edited[0]) << type;
    EXPECT_EQ(Values(GrView1->Chart2), edited[1]) << type;
  }
}
