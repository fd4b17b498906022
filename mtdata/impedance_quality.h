// Impedance quality of a cross-power matrix, rotation of spectra, and error-bar bounds.
// CalcImpedanceQuality and RotateSpectraMatrix use the fixed slots 1 Ex, 2 Ey, 3 Hx, 4 Hy,
// 5 Hz, 6 Rx, 7 Ry.
#pragma once

#include "mtdata/mt_types.h"

// Rates the matrix by the expected scatter of its two apparent resistivities, with the
// reference pair of slots (A, B) and the weight sum N. Quality lies in (0, 1], larger meaning
// smaller scatter; 0 when the scatter is undefined or unbounded (a zero reference determinant,
// or a zero off-diagonal impedance).
void CalcImpedanceQuality(int A, int B, const TMatrix7& Re, const TMatrix7& Im, double& Quality, const double& N);

// Writes into Re2, Im2 (which hold a copy of Re, Im on entry) the matrix rotated by AngleDeg
// degrees: the horizontal pairs (1, 2), (3, 4) and (6, 7) with each other, and the
// cross-powers of Hz (slot 5) with each pair. The auto-power of Hz is not changed.
void RotateSpectraMatrix(const TMatrix7& Re, const TMatrix7& Im, TMatrix7& Re2, TMatrix7& Im2, double AngleDeg);

// Upper and lower end of an error bar. MagnitudeOrPhase 1 (magnitude curves) and every curve of
// plot type 7 are multiplicative (Value times and divided by 10^Error); the others additive.
void CalcErrorBounds(int PlotType, int MagnitudeOrPhase, double& Upper, double Value, double Error, double& Lower);
