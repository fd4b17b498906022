// The sample site in samples/ opens and, with its stored edits (outliers removed), computes to
// its layered earth.
#include <gtest/gtest.h>

#include <cmath>

#include "sitefile_fixture.h"

using namespace sitefile_test;

TEST(SiteFileSamples, EverySampleOpensAndMatchesItsModel) {
  const std::vector<TMtGenLayer> layers = {{100, 800}, {15, 4000}, {400, 20000}, {5, 0}};
  struct Case {
    const char* Name;
    int Freqs, Estimates, Plots;
  };
  for (const Case& c : {Case{"S107.AMT", 28, 10, 2}, Case{"S107.MT1", 40, 10, 2}, Case{"S107.MT2", 40, 12, 2}}) {
    auto site = OpenSite(std::string(VAROMARK_SAMPLES_DIR) + "/" + c.Name);
    EXPECT_EQ(site->FreqCount, c.Freqs) << c.Name;
    EXPECT_EQ(site->ValidFreqCount, c.Freqs) << c.Name;
    EXPECT_EQ(site->XprCount[1], c.Estimates) << c.Name;
    EXPECT_EQ(site->PlotRecordCount, c.Plots) << c.Name;
    EXPECT_EQ(site->ReferenceType, 4) << c.Name;
    EXPECT_GT(site->ChannelOrder[5], 0) << c.Name;
    for (int f = 1; f <= site->ValidFreqCount; ++f) {
      const double rho = MtGenApparentResistivity(layers, site->Frequencies[f]);
      EXPECT_NEAR(std::log10(site->Plots[f][1] / rho), 0, 0.03) << c.Name << " " << f;
    }
  }
}
