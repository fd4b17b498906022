// Impedance quality, spectra rotation (of matrices and of a whole file) and error bounds.
#include <gtest/gtest.h>

#include <cmath>

#include "mt_model_fixture.h"
#include "mtdata/complex_routines.h"
#include "mtdata/impedance_quality.h"
#include "sitefile_fixture.h"

using namespace sitefile_test;

namespace {

// A 1-D model whose two sources are pure Hx and pure Hy, remote channels = H, fixed slots.
void OneDMatrix(TMatrix7& Re, TMatrix7& Im, double NoiseEx, double NoiseEy) {
  TMtModel m = TMtModel::OneD(cd(3, 2));
  m.Sources = {{cd(1, 0), cd(0, 0)}, {cd(0, 0), cd(1, 0)}};
  BuildCrossPowers(m, IdentityChannelOrder(), Re, Im);
  Re[1][1] += NoiseEx;  // power of Ex that Z does not explain
  Re[2][2] += NoiseEy;
}

double Quality(const TMatrix7& Re, const TMatrix7& Im, double N) {
  double q = -1;
  CalcImpedanceQuality(6, 7, Re, Im, q, N);
  return q;
}

}  // namespace

TEST(ImpedanceQuality, ExactImpedanceRatesOne) {
  TMatrix7 re, im;
  BuildCrossPowers(TMtModel::OneD(cd(3, 2)), IdentityChannelOrder(), re, im);
  EXPECT_NEAR(Quality(re, im, 10), 1.0, 1e-9);
}

TEST(ImpedanceQuality, LogVarianceOf0033HalvesEachFactor) {
  TMatrix7 re, im;
  // Both residuals: g_xy = g_yx = g / N, so Q(1) = 1 / (1 + g / 0.0033).
  OneDMatrix(re, im, 0.2, 0.2);
  const double g1 = 1 / Quality(re, im, 1) - 1;
  EXPECT_NEAR(Quality(re, im, g1), 0.5, 1e-12);
  // Only Ex residual: Q(1)^2 = 1 / (1 + g / 0.0033).
  OneDMatrix(re, im, 0.2, 0);
  const double q = Quality(re, im, 1);
  const double g2 = 1 / (q * q) - 1;
  EXPECT_NEAR(Quality(re, im, g2), std::sqrt(0.5), 1e-12);
}

TEST(ImpedanceQuality, UndefinedScatterRatesZero) {
  TMatrix7 re{}, im{};
  EXPECT_EQ(Quality(re, im, 10), 0);  // zero reference determinant
  // Zxy = 0 while the reference determinant is not: no fault, quality 0.
  TMtModel m;
  m.Zyx = cd(-2, 1);
  m.Zxx = cd(0.5, 0);
  BuildCrossPowers(m, IdentityChannelOrder(), re, im);
  re[1][1] += 0.1;
  EXPECT_EQ(Quality(re, im, 10), 0);
}

TEST(SpectraRotation, NinetyAndBackRestoresAndHzCrossPowersTurn) {
  TMtModel m = TMtModel::OneD(cd(3, 2));
  m.Tx = cd(0.2, 0.1);
  m.Ty = cd(-0.1, 0.05);
  TMatrix7 re, im;
  BuildCrossPowers(m, IdentityChannelOrder(), re, im);
  TMatrix7 re2 = re, im2 = im, re3, im3;
  RotateSpectraMatrix(re, im, re2, im2, 90);
  re3 = re2;
  im3 = im2;
  RotateSpectraMatrix(re2, im2, re3, im3, -90);
  for (int r = 1; r <= 7; ++r)
    for (int c = 1; c <= 7; ++c) {
      EXPECT_NEAR(re3[r][c], re[r][c], 1e-12) << r << c;
      EXPECT_NEAR(im3[r][c], im[r][c], 1e-12) << r << c;
    }
  // By 90 degrees Hx' = Hy and Hy' = -Hx: the Hz row follows, its auto-power stays.
  EXPECT_NEAR(re2[5][3], re[5][4], 1e-7);  // 90 / 57.29578 is not exactly pi / 2
  EXPECT_NEAR(re2[5][4], -re[5][3], 1e-7);
  EXPECT_NEAR(im2[3][5], im[4][5], 1e-7);
  EXPECT_EQ(re2[5][5], re[5][5]);
  // The rotated matrix is still Hermitian.
  for (int r = 1; r <= 7; ++r)
    for (int c = 1; c <= 7; ++c) {
      EXPECT_NEAR(re2[r][c], re2[c][r], 1e-12);
      EXPECT_NEAR(im2[r][c], -im2[c][r], 1e-12);
    }
}

TEST(SpectraRotation, RotatedFileMatchesTheComputedRotation) {
  TTempDir dir;
  TMtGenModel model;
  model.Layers = {{30, 0}};
  model.WithTipper = true;
  model.ReferenceType = 4;
  model.EstimateCount = 6;
  model.OutliersPerFrequency = 0;
  const std::string path = dir.File("rot.mt1");
  MtGenWrite(model, path);
  auto site = OpenSite(path);
  // The tensor rotated by the computation, 30 degrees.
  site->RotationAngle = 30;
  site->RestackAll();
  const TPlots rotated = site->Plots;
  // The file's spectra rotated by 30 degrees, computed unrotated.
  CaptureLog([&] { site->RotateXprSpectra(30); });
  auto turned = OpenSite(path);
  ASSERT_EQ(turned->RotationAngle, 0);
  for (int f = 1; f <= 40; f += 7) {
    for (int p : {45, 46, 47, 48, 49, 50, 51, 52, 85, 86})
      EXPECT_NEAR(turned->Plots[f][p], rotated[f][p], 1e-9 * (1 + std::abs(rotated[f][p]))) << f << " " << p;
    EXPECT_NEAR(turned->Plots[f][9], rotated[f][9], 1e-9) << f;  // tipper modulus
  }
}

TEST(SpectraRotation, ZeroAngleKeepsValuesAndZeroWeightEmptiesTheFrequency) {
  TTempDir dir;
  TMtGenModel model;
  model.EstimateCount = 3;
  const std::string path = dir.File("zero.mt1");
  MtGenWrite(model, path);
  auto site = OpenSite(path, false);
  site->ReadXprRecord(2);
  site->RecordWeight1[4] = 0;  // the first weight of frequency 4 of estimate 2
  CaptureLog([&] { site->WriteXprRecord(2); });
  auto before = OpenSite(path, false);
  CaptureLog([&] { before->RotateXprSpectra(0); });
  auto after = OpenSite(path, false);
  for (int f = 1; f <= 40; ++f)
    for (int x = 1; x <= 3; ++x)
      for (int k = 0; k < 49; ++k) {
        const double v = before->XprMatrices[f][x].Data()[k];
        const double w = after->XprMatrices[f][x].Data()[k];
        if (f == 4 && x == 2)
          ASSERT_EQ(w, 0);
        else
          ASSERT_NEAR(w, v, 1e-12 * (1 + std::abs(v))) << f << " " << x << " " << k;
      }
}

TEST(ErrorBounds, MultiplicativeAndAdditiveCurves) {
  struct Case {
    int PlotType, Kind;
    double Value, Error, Upper, Lower;
  };
  const Case cases[] = {
      {1, 1, 100, 0.1, 125.89254117941672, 79.43282347242815},
      {0, 2, 45, 3, 48, 42},
      {7, 2, 0, 0.5, 0, 0},
      {1, 1, 0, 1, 0, 0},
      {7, 2, 2, 1, 20, 0.2},
      {1, 1, 5, 400, 0, 0},  // 10^400 overflows: nothing stored
  };
  for (const auto& c : cases) {
    double up = -1, lo = -1;
    CalcErrorBounds(c.PlotType, c.Kind, up, c.Value, c.Error, lo);
    EXPECT_NEAR(up, c.Upper, 1e-9) << c.PlotType << " " << c.Value;
    EXPECT_NEAR(lo, c.Lower, 1e-9) << c.PlotType << " " << c.Value;
  }
}
