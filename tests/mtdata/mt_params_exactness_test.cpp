// The parameter computation runs in double arithmetic with its helpers inlined; every value it
// stores must equal the long-double computation's to 1e-10 relative, on the sample site and on
// generated sites of every reference type, for every display reference and rotation mode.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "mt_params_reference.h"
#include "mtdata/complex_routines.h"
#include "mtdata/open_site.h"
#include "sitefile_fixture.h"

using namespace sitefile_test;

namespace {

void Normalised(const TMatrix7& Packed, double Normaliser, TMatrix7& Re, TMatrix7& Im) {
  UnpackCrossPowerMatrix(Re, Im, Packed);
  for (int k = 0; k < 49; ++k) {
    Re.Data()[k] /= Normaliser;
    Im.Data()[k] /= Normaliser;
  }
}

using TCalc = void (*)(TPlots&, const TFrequencyGrid&, double, int, int, int, const TChannelOrder&, int, int, int,
                       double, const TMatrix7&, const TMatrix7&);

void Fast(TPlots& P, const TFrequencyGrid& G, double N, int F, int NF, int X, const TChannelOrder& O, int M, int R,
          int D, double A, const TMatrix7& Re, const TMatrix7& Im) {
  CalcMtParameters(P, G, N, F, NF, X, O, M, R, D, A, Re, Im);
}

// Every estimate of every frequency, then the stack twice (the second pass reads new
// neighbours), all into Rows. Returns false when the reference is refused.
bool ComputeSite(TCalc Calc, const TMTFile& Site, int DispRef, int Mode, double Angle, TPlots& Rows,
                 std::vector<double>& Estimates) {
  TMatrix7 re, im;
  const int nf = Site.FreqCount;
  try {
    for (int f = 1; f <= nf; ++f)
      for (int j = 1; j <= Site.XprCount[f]; ++j) {
        if (!(Site.Weight2[f][j] > 2 && Site.Weight1[f][j] > 0)) continue;
        Normalised(Site.XprMatrices[f][j], Site.Weight1[f][j], re, im);
        Calc(Rows, Site.Frequencies, Site.Weight1[f][j], f, nf, j, Site.ChannelOrder, Mode, Site.ReferenceType, DispRef,
             Angle, re, im);
        for (int p = 1; p <= MaxParam; ++p) Estimates.push_back(Rows[f][p]);
      }
    for (int pass = 0; pass < 2; ++pass)
      for (int f = 1; f <= nf; ++f) {
        if (!(Site.WeightSum2[f] > 2 && Site.WeightSum1[f] > 0)) continue;
        Normalised(Site.StackedMatrix[f], Site.WeightSum1[f], re, im);
        Calc(Rows, Site.Frequencies, Site.WeightSum1[f], f, nf, 0, Site.ChannelOrder, Mode, Site.ReferenceType, DispRef,
             Angle, re, im);
      }
  } catch (const ERangeError&) {
    return false;
  }
  return true;
}

bool Close(double a, double b) { return a == b || std::fabs(a - b) <= 1e-10 * std::max(std::fabs(a), std::fabs(b)); }

// Both computations on every display reference and rotation; Compared counts the values.
void ExpectSameParameters(const TMTFile& Site, const std::string& Name, size_t& Compared) {
  Compared = 0;
  struct Rotation {
    int Mode;
    double Angle;
  };
  for (int d = 0; d <= 2; ++d)
    for (const Rotation r : {Rotation{0, 0}, Rotation{0, 30}, Rotation{1, 0}}) {
      TPlots fast, slow;
      fast.Allocate();
      slow.Allocate();
      std::vector<double> fastEst, slowEst;
      const bool ok = ComputeSite(&LongDoubleCalcMtParameters, Site, d, r.Mode, r.Angle, slow, slowEst);
      ASSERT_EQ(ComputeSite(&Fast, Site, d, r.Mode, r.Angle, fast, fastEst), ok) << Name << " ref " << d;
      if (!ok) continue;
      ASSERT_EQ(fastEst.size(), slowEst.size());
      for (size_t k = 0; k < fastEst.size(); ++k)
        ASSERT_TRUE(Close(fastEst[k], slowEst[k])) << Name << " ref " << d << " mode " << r.Mode << " estimate value "
                                                   << k << ": " << fastEst[k] << " vs " << slowEst[k];
      for (int f = 1; f <= Site.FreqCount; ++f)
        for (int p = 1; p <= MaxParam; ++p)
          ASSERT_TRUE(Close(fast[f][p], slow[f][p])) << Name << " ref " << d << " mode " << r.Mode << " f " << f
                                                     << " p " << p << ": " << fast[f][p] << " vs " << slow[f][p];
      Compared += fastEst.size() + static_cast<size_t>(Site.FreqCount) * MaxParam;
    }
}

}  // namespace

TEST(MtParamsExactness, SampleSiteAsOneSet) {
  std::vector<std::shared_ptr<TMTFile>> files;
  for (const char* name : {"S107.AMT", "S107.MT1", "S107.MT2"})
    files.push_back(OpenSite(std::string(VAROMARK_SAMPLES_DIR) + "/" + name, false));
  TMTFile summed;
  CaptureLog([&] { SumSiteFiles(files, summed); });
  ASSERT_GT(summed.FreqCount, 40);
  size_t compared = 0;
  ExpectSameParameters(summed, "S107", compared);
  EXPECT_GT(compared, 0u);
}

TEST(MtParamsExactness, GeneratedSitesOfEveryReferenceType) {
  TTempDir dir;
  for (int ref = 1; ref <= 4; ++ref)
    for (bool tipper : {false, true}) {
      TMtGenModel model;
      model.Layers = {{100, 800}, {15, 4000}, {400, 0}};
      model.ReferenceType = ref;
      model.WithTipper = tipper;
      model.EstimateCount = 8;
      model.Seed = static_cast<uint64_t>(ref * 2 + tipper);
      const std::string path = dir.File("g" + std::to_string(ref) + (tipper ? "t" : "n") + ".mt1");
      MtGenWrite(model, path);
      auto site = OpenSite(path, false);
      size_t compared = 0;
      ExpectSameParameters(*site, path, compared);
      EXPECT_GT(compared, 0u);
    }
}
