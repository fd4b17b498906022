// The 135 MT parameters of one frequency, computed from its normalised cross-power matrix.
#pragma once

#include "mtdata/mt_types.h"

#include <atomic>
#include <cstdint>
#include <string_view>

// Frequency grid in Hz, [1..140].
using TFrequencyGrid = TStaticArray<double, 1, MaxFreq>;
// Matrix slots of the logical channels Ex, Ey, Hx, Hy, Hz, Rx, Ry, [1..7]; a Hz slot of 0 or
// less means that there is no vertical magnetic channel.
using TChannelOrder = TStaticArray<int16_t, 1, MaxChannel>;

// Logical channels, the index into TChannelOrder.
enum : int { chEx = 1, chEy = 2, chHx = 3, chHy = 4, chHz = 5, chRx = 6, chRy = 7 };

// Long names of the parameters (curve captions, column headers), [1..135].
extern const TStaticArray<std::string_view, 1, MaxParam> ParameterNames;
// Short names without blanks and punctuation, [1..135].
extern const TStaticArray<std::string_view, 1, MaxParam> ParameterShortNames;

// The impedance error columns (Zxx VAR .. Zyy VAR) hold the variance of log10 |Z|, that is
// 0.1886 var(Z) / |Z|^2 with var(Z) in (mV/km/nT)^2. These convert between the two for an
// element Re + i Im; a zero element gives 0.
double ImpedanceVarianceOfLogVariance(double LogVariance, double Re, double Im);
double LogVarianceOfImpedanceVariance(double Variance, double Re, double Im);

// Computes the parameters of row F of Plots from the matrix pair Re, Im (already divided by
// the weight sum Normaliser). Only Frequencies[F] is read; NF is the last row that the Bostick
// neighbourhood may use; Xpr (0 for the stack) only appears in log lines. RotationMode 0 rotates
// by Angle (degrees), 1 to the principal axes. ReferenceType is the file's type 1..4 (LE, RE,
// LH, RH); DisplayReference 0 local E, 1 local H, 2 remote.
//
// Columns the routine does not write, or whose guarded group faults before the store, keep
// their values. Divisions that fail are skipped and logged through LogDivisionByZero. An index
// out of range (F, DisplayReference, a slot used by the chosen reference) raises ERangeError.
void CalcMtParameters(TPlots& Plots, const TFrequencyGrid& Frequencies, const double& Normaliser, int F, int NF,
                      int Xpr, const TChannelOrder& ChannelOrder, int RotationMode, int ReferenceType,
                      int DisplayReference, const double& Angle, const TMatrix7& Re, const TMatrix7& Im);
// The calls of CalcMtParameters so far: the benchmarks count the work of an edit with it.
extern std::atomic<uint64_t> CalcMtParametersCalls;
