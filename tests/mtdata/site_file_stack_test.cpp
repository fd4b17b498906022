// Stacking, recomputation and the reference switch of the site file object, end to end on
// generated files.
#include <gtest/gtest.h>

#include <cmath>

#include "sitefile_fixture.h"

using namespace sitefile_test;

namespace {

double PhaseDiff(double a, double b) {
  double d = std::fmod(a - b, 360.0);
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return std::abs(d);
}

}  // namespace

class SiteFileStack : public ::testing::Test {
protected:
  void Write(const std::string& Name = "site.mt1") {
    Path = Dir.File(Name);
    MtGenWrite(Model, Path, &Info);
  }
  // Largest |log10(rho / model)| and phase error over the valid frequencies.
  void Errors(const TMTFile& Site, double& LogRho, double& Phase) const {
    LogRho = Phase = 0;
    for (int f = 1; f <= Site.ValidFreqCount; ++f) {
      const double fr = Site.Frequencies[f];
      const double rho = MtGenApparentResistivity(Model.Layers, fr);
      const double ph = MtGenPhaseDeg(Model.Layers, fr);
      for (int p : {1, 2}) LogRho = std::max(LogRho, std::abs(std::log10(Site.Plots[f][p] / rho)));
      Phase = std::max(Phase, PhaseDiff(Site.Plots[f][3], ph));
      Phase = std::max(Phase, PhaseDiff(Site.Plots[f][4], ph - 180));
    }
  }
  TTempDir Dir;
  TMtGenModel Model;
  TMtGenInfo Info;
  std::string Path;
};

TEST_F(SiteFileStack, RecoversTheLayeredEarthAndOutlierRemovalBringsItCloser) {
  Model.Layers = {{100, 1000}, {10, 5000}, {1000, 0}};
  Model.OutlierFactor = 1.5;
  Model.WithTipper = true;
  for (int ref : {1, 2, 3, 4}) {
    Model.ReferenceType = ref;
    Write();
    auto site = OpenSite(Path);
    ASSERT_EQ(site->ValidFreqCount, 40);
    double rhoErr, phErr;
    Errors(*site, rhoErr, phErr);
    EXPECT_LT(rhoErr, 0.1) << "reference " << ref;
    EXPECT_LT(phErr, 5.0) << "reference " << ref;

    // Each single outlier carries about OutlierFactor^2 times the model resistivity.
    const int x = Info.Outliers[9][0];
    EXPECT_NEAR(
        std::log10(site->PartialPlots[9][0][x - 1] / MtGenApparentResistivity(Model.Layers, site->Frequencies[10])),
        2 * std::log10(Model.OutlierFactor), 0.05);

    for (int f = 1; f <= site->FreqCount; ++f) {
      for (int o : Info.Outliers[static_cast<size_t>(f - 1)]) site->Mask[f][o] = 2;
      site->RestackFrequency(f);
      site->CalcFrequency(f);
    }
    double rhoErr2, phErr2;
    Errors(*site, rhoErr2, phErr2);
    EXPECT_LT(rhoErr2, rhoErr / 3) << "reference " << ref;
    EXPECT_LT(rhoErr2, 0.02) << "reference " << ref;
    EXPECT_LT(phErr2, 1.0) << "reference " << ref;
  }
}

TEST_F(SiteFileStack, FrequencyWithoutUsedEstimatesKeepsOnlyItsLogFrequency) {
  Write();
  auto site = OpenSite(Path);
  const double logf = site->Plots[5][60];
  ASSERT_NE(logf, 0);
  for (int x = 1; x <= 20; ++x) site->Mask[5][x] = x % 2 ? 2 : 0;
  site->RestackFrequency(5);
  site->CalcFrequency(5);
  for (int p = 1; p <= MaxParam; ++p) {
    if (p != 60) {
      EXPECT_EQ(site->Plots[5][p], 0) << p;
    }
  }
  EXPECT_EQ(site->Plots[5][60], logf);
  EXPECT_EQ(site->WeightSum1[5], 0);
}

TEST_F(SiteFileStack, SecondWeightSumMustExceedTwo) {
  Write();
  auto site = OpenSite(Path);
  for (int x = 3; x <= 20; ++x) site->Mask[6][x] = 2;
  for (double w : {1.0, 1.25}) {
    site->Weight2[6][1] = w;
    site->Weight2[6][2] = 1;
    site->RestackFrequency(6);
    site->CalcFrequency(6);
    if (w == 1.0) {
      EXPECT_EQ(site->WeightSum2[6], 2);
      EXPECT_EQ(site->Plots[6][1], 0);
    } else {
      EXPECT_GT(site->Plots[6][1], 0);
    }
  }
}

TEST_F(SiteFileStack, SingleEstimatesNeedBothWeights) {
  Write();
  auto site = OpenSite(Path);
  site->Weight2[4][1] = 3;
  site->Weight1[4][1] = 0;
  site->Weight2[4][2] = 2;
  for (int x : {1, 2, 3}) site->PartialPlots[3][0][x - 1] = 777;
  CaptureLog([&] { site->CalcPartialPlots(); });
  EXPECT_EQ(site->PartialPlots[3][0][0], 777);
  EXPECT_EQ(site->PartialPlots[3][0][1], 777);
  EXPECT_NE(site->PartialPlots[3][0][2], 777);
}

TEST_F(SiteFileStack, ReferenceSwitchAndBackGivesTheSameStack) {
  Model.ReferenceType = 1;
  Model.WithTipper = true;
  Write();
  auto site = OpenSite(Path);
  const TPlots before = site->Plots;
  CaptureLog([&] { site->SetReference(2); });
  EXPECT_EQ(site->DisplayReference, 2);
  EXPECT_NE(site->Plots[10][1], before[10][1]);
  CaptureLog([&] { site->SetReference(0); });
  EXPECT_EQ(site->Plots, before);
}

TEST_F(SiteFileStack, PrincipalAxesAngleIsResetAfterTheSingleEstimates) {
  Model.Edits = {TMtGenEdit{1, 0}};
  Write();
  auto site = OpenSite(Path);
  EXPECT_EQ(site->RotationMode, 1);
  EXPECT_EQ(site->RotationAngle, 0);
}

TEST_F(SiteFileStack, DivisionLinesOnlyWhileTheErrorLogIsOn) {
  Write();
  auto site = OpenSite(Path);
  // A frequency whose used estimates are empty matrices: the computation skips divisions.
  for (int x = 1; x <= 20; ++x) site->XprMatrices[8][x] = TMatrix7{};
  site->RestackFrequency(8);
  ErrorLogActive = false;
  EXPECT_EQ(CaptureLog([&] { site->CalcFrequency(8); }), "");
  ErrorLogActive = true;
  const std::string log = CaptureLog([&] { site->CalcFrequency(8); });
  ErrorLogActive = false;
  EXPECT_NE(log.find("Division by"), std::string::npos);
  EXPECT_NE(log.find("Xpr=  0 f=  8("), std::string::npos) << log;
}

// The edit route: a mask change through MaskChanged leaves the site as a full recomputation of
// the same masks does, and the change reaches the frequency and its Bostick neighbours. The
// changes add up on the same two sites, one edited, the other recomputed in full.
TEST_F(SiteFileStack, MaskChangeGivesWhatAFullRecomputationGives) {
  Model.WithTipper = true;
  Write();
  // The single estimates play no part here: the stacks alone are computed.
  auto edited = OpenSite(Path, false);
  auto full = OpenSite(Path, false);
  CaptureLog([&] {
    edited->RestackAll();
    full->RestackAll();
  });
  struct Case {
    const char* name;
    int f;  // 0: the last valid frequency
    int16_t mask;
    bool allEstimates;  // every estimate of the frequency, else its first outlier
  } cases[] = {
      {"outlier removed inside", 10, 2, false},
      {"outlier removed at the first frequency", 1, 2, false},
      {"outlier dropped at the last frequency", 0, 0, false},
      {"every estimate removed", 7, 2, true},
      {"outlier taken back", 10, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int f = c.f ? c.f : edited->ValidFreqCount;
    const TPlots before = edited->Plots;
    for (TMTFile* site : {edited.get(), full.get()}) {
      if (c.allEstimates) {
        for (int x = 1; x <= site->XprCount[f]; ++x) site->Mask[f][x] = c.mask;
      } else {
        ASSERT_FALSE(Info.Outliers[static_cast<std::size_t>(f - 1)].empty());
        site->Mask[f][Info.Outliers[static_cast<std::size_t>(f - 1)][0]] = c.mask;
      }
    }
    CaptureLog([&] {
      edited->MaskChanged(f);
      full->RestackAll();
    });
    EXPECT_NE(edited->Plots[f][pcRhoxyOhmm], before[f][pcRhoxyOhmm]);
    const int neighbour = f > 1 ? f - 1 : f + 1;
    EXPECT_NE(edited->Plots[neighbour][pcRhoxyBosInv], before[neighbour][pcRhoxyBosInv]);
    EXPECT_EQ(edited->Plots[neighbour][pcRhoxyOhmm], before[neighbour][pcRhoxyOhmm]);
    EXPECT_TRUE(edited->Plots == full->Plots);
    EXPECT_TRUE(edited->StackedMatrix == full->StackedMatrix);
    EXPECT_TRUE(edited->WeightSum1 == full->WeightSum1);
    EXPECT_TRUE(edited->WeightSum2 == full->WeightSum2);
  }
  EXPECT_THROW(edited->MaskChanged(0), ERangeError);
  EXPECT_THROW(edited->MaskChanged(edited->FreqCount + 1), ERangeError);
}
