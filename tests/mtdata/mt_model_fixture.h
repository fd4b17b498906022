// Noise-free cross-power matrices from a known impedance tensor and tipper, for the tests of
// the parameter computation: E = Z H, Hz = T H, remote channels R = K H.
#pragma once

#include "mtdata/mt_params.h"

#include <complex>
#include <vector>

using cd = std::complex<double>;

struct TMtModel {
  cd Zxx = 0, Zxy = 0, Zyx = 0, Zyy = 0;
  cd Tx = 0, Ty = 0;
  bool HasHz = true;
  // Remote channels (Rx, Ry) = K (Hx, Hy).
  cd Kxx = 1, Kxy = 0, Kyx = 0, Kyy = 1;
  // Uncorrelated power added to the Hz auto-power (Hz that the tipper does not explain).
  double HzNoise = 0;
  // Source polarisations: each is one (Hx, Hy) field; two independent ones make S(H, H) regular.
  std::vector<std::pair<cd, cd>> Sources = {
      {cd(1.0, 0.2), cd(0.3, -0.1)}, {cd(-0.2, 0.4), cd(0.9, 0.3)}, {cd(0.5, -0.5), cd(-0.4, 0.6)}};

  // The general tensor of the parameter tests: every element and both tipper components
  // non-zero, no symmetry.
  static TMtModel General();
  // The same with two unit source polarisations: with the local H reference the solution is
  // exact, so a zero of the model is an exact zero of the computed tensor.
  static TMtModel GeneralUnitSources();
  // A one-dimensional tensor: Zxy = z, Zyx = -z, zero diagonal.
  static TMtModel OneD(cd z);
  // The tensor that rotation by Strike (degrees) turns into [0 a; -b 0].
  static TMtModel TwoD(cd a, cd b, double StrikeDeg);
};

// The channel order of a typical site file: matrix slots Hx, Hy, Hz, Ex, Ey, Rx, Ry.
TChannelOrder SiteChannelOrder(bool HasHz = true);
TChannelOrder IdentityChannelOrder();

// S(a, b) = sum over the sources of v_a * conj(v_b), placed at the slots of ChannelOrder.
void BuildCrossPowers(const TMtModel& Model, const TChannelOrder& Order, TMatrix7& Re, TMatrix7& Im);

// Impedance in field units (mV/km per nT) of a layered earth at frequency f: resistivities in
// ohm-m, thicknesses in metres (one fewer than resistivities). Also gives the analytic
// apparent resistivity and phase (degrees).
cd LayeredImpedance(const std::vector<double>& Rho, const std::vector<double>& Thick, double f, double* RhoA = nullptr,
                    double* PhaseDeg = nullptr);
// Half-space impedance in field units.
cd HalfSpaceImpedance(double Rho, double f);

// The arguments of one CalcMtParameters call besides the matrix.
struct TCallArgs {
  TChannelOrder Order = SiteChannelOrder();
  int F = 5, NF = 40, Xpr = 0, Mode = 0;
  int RefType = frtLocalE, DispRef = drLocalE;
  double Angle = 0, Normaliser = 10, Freq = 1;
};

// Builds the model's matrix and computes row Args.F of Plots (Frequencies[F] = Args.Freq).
void Compute(TPlots& Plots, const TMtModel& Model, const TCallArgs& Args);
// The same on a given matrix pair.
void ComputeMatrix(TPlots& Plots, const TMatrix7& Re, const TMatrix7& Im, const TCallArgs& Args);

// Plots allocated with every cell of every row set to Value.
TPlots FilledPlots(double Value);
// A grid of Count frequencies from fMax downwards, 8 per decade.
TFrequencyGrid FrequencyGrid(int Count, double fMax = 1000);
