// TMTFile: stacking the used estimates, computing the stacks and every single estimate, and the
// reference switch.
#include "mtdata/site_file.h"

#include "mtdata/complex_routines.h"
#include "mtdata/mt_params.h"

#include <algorithm>

namespace {

// Unpacks a packed cross-power matrix and divides both halves by the weight Normaliser.
void NormalisedMatrices(const TMatrix7& Packed, double Normaliser, TMatrix7& Re, TMatrix7& Im) {
  UnpackCrossPowerMatrix(Re, Im, Packed);
  double* re = Re.Data();
  double* im = Im.Data();
  for (int k = 0; k < 49; ++k) {
    re[k] /= Normaliser;
    im[k] /= Normaliser;
  }
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

void TMTFile::MaskChanged(int F) {
  if (F < 1 || F > FreqCount) RaiseRangeError();
  RestackFrequency(F);
  // The row of F first: the neighbours read its new values. Fixed rotation leaves every other
  // row's own values as they were, so the neighbours' Bostick columns become what a full
  // recomputation gives.
  CalcFrequency(F);
  const int last = std::min(FreqCount, F + (RotationMode == 1 ? 5 : 2));
  for (int f = std::max(1, F - 2); f <= last; ++f)
    if (f != F) CalcFrequency(f);
}

void TMTFile::RestackFrequency(int F) { StackFrequency(F, MaxXpr); }

void TMTFile::CalcFrequency(int F) {
  if (WeightSum2[F] > 2 && WeightSum1[F] > 0) {
    CalcFrequencyParams(F);
    return;
  }
  for (int p = 1; p <= MaxParam; ++p)
    if (p != pcLog10FrqHz) Plots[F][p] = 0;
}

void TMTFile::CalcFrequencyParams(int F) {
  const double normaliser = WeightSum1[F];
  NormalisedMatrices(StackedMatrix[F], normaliser, FWorkRe, FWorkIm);
  CalcMtParameters(Plots, Frequencies, normaliser, F, FreqCount, 0, ChannelOrder, RotationMode, ReferenceType,
                   DisplayReference, RotationAngle, FWorkRe, FWorkIm);
}

void TMTFile::RestackAll() {
  for (int f = 1; f <= FreqCount; ++f) {
    StackFrequency(f, XprCount[f]);
    CalcFrequency(f);
  }
  // A row's Bostick neighbourhood (and in principal-axes mode its strike fold) reads the two
  // rows above it, which the pass above reached only afterwards. A second pass reads them new,
  // so the stack's parameters do not depend on what the rows held before.
  for (int f = 1; f <= FreqCount; ++f) CalcFrequency(f);
}

void TMTFile::CalcPartialPlots() {
  // Every estimate is computed into its row of a scratch copy of the parameter rows, so the
  // stack's rows stay as they are. The neighbouring rows that the strike fold and the Bostick
  // neighbourhood read are those of the scratch: the estimates computed last below, the stack
  // above.
  TPlots rows = Plots;
  const int last = LastGridFreq();
  int estimates = 0;
  for (int i = 1; i <= last; ++i) estimates += XprCount[i];
  if (last > 0 && DenseEstimates(estimates / last)) PartialPlots.AdviseDense();
  for (int i = 1; i <= last; ++i) {
    // In principal-axes mode the angle handed on is the stored strike of the frequency (the
    // computation finds its own axes there).
    const double angle = RotationMode == 1 ? FreqRotationAngle[i] : RotationAngle;
    for (int j = 1; j <= XprCount[i]; ++j) {
      if (!(Weight2[i][j] > 2 && Weight1[i][j] > 0)) continue;
      const double normaliser = Weight1[i][j];
      NormalisedMatrices(XprMatrices[i][j], normaliser, FWorkRe, FWorkIm);
      CalcMtParameters(rows, Frequencies, normaliser, i, last, j, ChannelOrder, RotationMode, ReferenceType,
                       DisplayReference, angle, FWorkRe, FWorkIm);
      for (int p = 1; p <= MaxParam; ++p) PartialPlots[i - 1][p - 1][j - 1] = rows[i][p];
    }
  }
  // Principal axes have no fixed angle.
  if (RotationMode == 1) RotationAngle = 0;
  RestackAll();
}

void TMTFile::SetReference(int V) {
  DisplayReference = static_cast<int16_t>(V);
  CalcPartialPlots();
}
