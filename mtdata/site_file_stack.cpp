// TMTFile: stacking the used estimates, computing the stacks and every single estimate, and the
// reference switch.
#include "mtdata/site_file.h"

#include "mtdata/complex_routines.h"
#include "mtdata/mt_params.h"

namespace {

void DivideMatrix(TMatrix7& M, double N) {
  double* p = M.Data();
  for (int k = 0; k < 49; ++k) p[k] /= N;
}

}  // namespace

void TMTFile::StackFrequency(int F, int Count) {
  TMatrix7& stack = StackedMatrix[F];
  stack = TMatrix7{};
  double w1 = 0, w2 = 0;
  double* s = stack.Data();
  for (int x = 1; x <= Count; ++x) {
    if (Mask[F][x] != 1) continue;
    const double* m = XprMatrices[F][x].Data();
    for (int k = 0; k < 49; ++k) s[k] += m[k];
    w2 += Weight2[F][x];
    w1 += Weight1[F][x];
  }
  WeightSum1[F] = w1;
  WeightSum2[F] = w2;
}

void TMTFile::RestackFrequency(int F) { StackFrequency(F, MaxXpr); }

void TMTFile::CalcFrequency(int F) {
  if (WeightSum2[F] > 2 && WeightSum1[F] > 0) {
    CalcFrequencyParams(F);
    return;
  }
  for (int p = 1; p <= MaxParam; ++p)
    if (p != 60) Plots[F][p] = 0;
}

void TMTFile::CalcFrequencyParams(int F) {
  UnpackCrossPowerMatrix(FWorkRe, FWorkIm, StackedMatrix[F]);
  Normaliser = WeightSum1[F];
  DivideMatrix(FWorkRe, Normaliser);
  DivideMatrix(FWorkIm, Normaliser);
  CalcMtParameters(Plots, Frequencies, Normaliser, F, FreqCount, 0, ChannelOrder, RotationMode,
                   ReferenceType, DisplayReference, RotationAngle, FWorkRe, FWorkIm);
}

void TMTFile::RestackAll() {
  for (int f = 1; f <= FreqCount; ++f) {
    StackFrequency(f, XprCount[f]);
    CalcFrequency(f);
  }
}

void TMTFile::CalcPartialPlots() {
  for (int i = 1; i <= ValidFreqCount; ++i) {
    if (RotationMode == 1) RotationAngle = FreqRotationAngle[i];
    for (int j = 1; j <= XprCount[i]; ++j) {
      if (!(Weight2[i][j] > 2 && Weight1[i][j] > 0)) continue;
      UnpackCrossPowerMatrix(FWorkRe, FWorkIm, XprMatrices[i][j]);
      Normaliser = Weight1[i][j];
      DivideMatrix(FWorkRe, Normaliser);
      DivideMatrix(FWorkIm, Normaliser);
      CalcMtParameters(Plots, Frequencies, Normaliser, i, ValidFreqCount, j, ChannelOrder,
                       RotationMode, ReferenceType, DisplayReference, RotationAngle, FWorkRe,
                       FWorkIm);
      for (int p = 1; p <= MaxParam; ++p) PartialPlots[i - 1][p - 1][j - 1] = Plots[i][p];
    }
  }
  if (RotationMode == 1) RotationAngle = 0;
  RestackAll();
}

void TMTFile::SetReference(int V) {
  DisplayReference = static_cast<int16_t>(V);
  CalcPartialPlots();
}
