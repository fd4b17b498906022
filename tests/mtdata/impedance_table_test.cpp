// The impedance table: filling from the parameters, determinants and the phase conventions.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>

#include "mtdata/impedance_table.h"
#include "sitefile_fixture.h"

using namespace sitefile_test;

namespace {

struct TTableFixture {
  TPlots Plots;
  TFrequencyGrid Freqs{};
  std::unique_ptr<TRezZTable> Table = std::make_unique<TRezZTable>();

  TTableFixture() { Plots.Allocate(); }

  // Row i: a 1-D tensor Zxy = z, Zyx = -z with the parameters a computation would give.
  void Row(int i, double f, std::complex<double> z) {
    Freqs[i] = f;
    auto& p = Plots;
    p[i][1] = p[i][2] = 0.2 * std::norm(z) / f;
    p[i][45] = 0, p[i][46] = 0;
    p[i][47] = z.real(), p[i][48] = z.imag();
    p[i][49] = -z.real(), p[i][50] = -z.imag();
    p[i][51] = 0, p[i][52] = 0;
    p[i][62] = p[i][63] = std::abs(z);
    p[i][66] = std::arg(z) * 180 / M_PI;
    p[i][67] = std::arg(-z) * 180 / M_PI;
    p[i][54] = 0.04, p[i][55] = 0.09, p[i][39] = 4, p[i][40] = 9;
    p[i][9] = 0.3, p[i][8] = 0.01, p[i][12] = 20, p[i][41] = 2.5;
    p[i][85] = 0.1, p[i][86] = 0.2, p[i][87] = 10, p[i][88] = 30;
  }
  void Fill(int NF) { FillImpedanceTableFromPlots(Plots, Freqs, NF, *Table); }
};

}  // namespace

TEST(ImpedanceTable, FillsValidRowsAndLeavesTheRestCleared) {
  TTableFixture t;
  for (int i = 1; i <= 30; ++i) t.Row(i, 100.0 / i, {3.0 * i, 2.0});
  t.Fill(40);
  const TRezZTable& tab = *t.Table;
  EXPECT_EQ(tab.FirstRow, 1);
  EXPECT_EQ(tab.LastRow, 40);
  EXPECT_EQ(tab.RowCount, 40);
  const TRezZRow& r = tab.Rows[2];
  EXPECT_FLOAT_EQ(r.Period, 0.02f);
  EXPECT_FLOAT_EQ(r.Amplitude[3][2], static_cast<float>(std::abs(std::complex<double>(6, 2))));
  EXPECT_FLOAT_EQ(r.AmplitudeError[3][2], 0.2f);
  EXPECT_FLOAT_EQ(r.AmplitudeError[3][3], 0.3f);
  EXPECT_FLOAT_EQ(r.PhaseError[3][2], 2.0f);
  EXPECT_FLOAT_EQ(r.PhaseError[3][3], 3.0f);
  // Tipper: moduli and phases, the modulus errors are the variances themselves.
  EXPECT_FLOAT_EQ(r.Amplitude[3][6], 0.1f);
  EXPECT_FLOAT_EQ(r.Amplitude[3][8], 0.3f);
  EXPECT_FLOAT_EQ(r.AmplitudeError[3][8], 0.01f);
  EXPECT_FLOAT_EQ(r.PhaseError[3][8], 2.5f);
  EXPECT_FLOAT_EQ(r.Phase[3][7], 30.0f);
  EXPECT_EQ(r.Complex[3][2].Re, 6.0f);
  EXPECT_EQ(r.Complex[3][3].Im, -2.0f);
  // Variants 1 and 2: moduli and phases only.
  for (int v = 1; v <= 2; ++v) {
    EXPECT_EQ(r.Amplitude[v][2], r.Amplitude[3][2]);
    EXPECT_EQ(r.Phase[v][3], r.Phase[3][3]);
    EXPECT_EQ(r.Complex[v][2].Re, 0.0f);
    EXPECT_EQ(r.AmplitudeError[v][2], 0.0f);
    EXPECT_EQ(r.Amplitude[v][5], 0.0f);
    EXPECT_EQ(r.Complex[v][5].Re, 0.0f);
  }
  for (int i = 31; i <= 40; ++i) {
    EXPECT_EQ(tab.Rows[i].Period, 0.0f);
    EXPECT_EQ(tab.Rows[i].Amplitude[3][5], 0.0f);
  }
}

TEST(ImpedanceTable, DeterminantOfAOneDimensionalTensor) {
  TTableFixture t;
  t.Row(1, 10, {3, 4});
  t.Fill(1);
  const TRezZRow& r = t.Table->Rows[1];
  // sqrt(Zxx Zyy - Zxy Zyx) = sqrt(z^2) = +-z.
  EXPECT_NEAR(std::abs(r.Complex[3][5].Re), 3, 1e-5);
  EXPECT_NEAR(std::abs(r.Complex[3][5].Im), 4, 1e-5);
  EXPECT_FLOAT_EQ(r.Amplitude[3][5], r.Amplitude[3][2]);
}

TEST(ImpedanceTable, FaultyRowIsLoggedAndTheOthersFilled) {
  TTableFixture t;
  t.Row(1, 10, {3, 4});
  t.Row(2, 5, {3, 4});
  t.Row(3, 2, {3, 4});
  t.Plots[2][55] = -1;  // a negative variance has no square root
  const std::string log = CaptureLog([&] { t.Fill(3); });
  EXPECT_NE(log, "");
  EXPECT_EQ(log.find('\n'), log.size() - 1);  // one line
  EXPECT_FLOAT_EQ(t.Table->Rows[1].Amplitude[3][2], 5.0f);
  EXPECT_FLOAT_EQ(t.Table->Rows[3].Amplitude[3][2], 5.0f);
  EXPECT_THROW(t.Fill(40000), ERangeError);
}

TEST(ImpedanceTable, PhaseConventions) {
  TTableFixture t;
  t.Row(1, 10, {3, 4});
  t.Fill(1);
  TRezZRow& r = t.Table->Rows[1];
  r.Phase[3][2] = 45;
  r.Phase[3][3] = -135;
  r.Amplitude[3][1] = 1;
  r.Amplitude[3][4] = 4;
  const TRezZTable start = *t.Table;

  const int saved = CanadaToRussianMode;
  CanadaToRussianMode = 1;
  CanadaToRussian(*t.Table);
  EXPECT_FLOAT_EQ(r.Phase[3][2], -45);
  EXPECT_FLOAT_EQ(r.Phase[3][3], 135);
  EXPECT_FLOAT_EQ(r.Amplitude[3][1], 4);
  EXPECT_FLOAT_EQ(r.Amplitude[3][4], 1);
  CanadaToRussian(*t.Table);
  EXPECT_FLOAT_EQ(r.Phase[3][2], -315);
  EXPECT_FLOAT_EQ(r.Phase[3][3], 225);
  EXPECT_EQ(r.Amplitude, start.Rows[1].Amplitude);

  *t.Table = start;
  CanadaToRussianMode = 2;
  CanadaToRussian(*t.Table);
  EXPECT_FLOAT_EQ(r.Phase[3][2], -45);
  EXPECT_FLOAT_EQ(r.Phase[3][7], -30);
  CanadaToRussian(*t.Table);
  EXPECT_EQ(r.Phase, start.Rows[1].Phase);

  for (int mode : {0, -1, 3}) {
    CanadaToRussianMode = mode;
    CanadaToRussian(*t.Table);
    EXPECT_EQ(r.Phase, start.Rows[1].Phase);
  }
  CanadaToRussianMode = saved;
}

TEST(ImpedanceTable, FromAComputedSite) {
  TTempDir dir;
  TMtGenModel model;
  model.Layers = {{50, 0}};
  model.OutliersPerFrequency = 0;
  const std::string path = dir.File("table.mt1");
  MtGenWrite(model, path);
  auto site = OpenSite(path);
  auto table = std::make_unique<TRezZTable>();
  site->FillImpedanceTable(*table);
  EXPECT_EQ(table->RowCount, 40);
  for (int f = 1; f <= 40; f += 13) {
    EXPECT_FLOAT_EQ(table->Rows[f].Period, static_cast<float>(1 / site->Frequencies[f]));
    const double rho = 0.2 * std::pow(table->Rows[f].Amplitude[3][2], 2) / site->Frequencies[f];
    EXPECT_NEAR(std::log10(rho / 50), 0, 0.03) << f;
  }
}
