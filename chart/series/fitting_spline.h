// The two spline fits of the curve-fitting function, each with its evaluation. Both keep the last
// fitted spline as state of the whole process: every later evaluation of that kind reads it.
// Vectors are used from index 1, as for the polynomial fit.
#pragma once

#include <string>
#include <vector>

#include "chart/series/fitting_poly.h"

constexpr int SplineMaxPoints = 3000;
constexpr int SplineMaxKnots = 50;

// ---------------------------------------------------------------------------------------------
// Least-squares cubic spline in B-spline form with K - 1 equal intervals between the first and the
// last X. Failures are silent: the failure number is kept and the evaluation answers NaN where it
// has no spline. More than 3000 points: a line on the standard output, the first 3000 are used.
void SplineNagFit(int N, int K, const TVector& X, const TVector& Y, const TVector& W, double& SS);
// NaN (quiet, sign bit set) outside the knot range or without a usable spline.
double SplineNagValue(double X);
// The failure number of the last fit (0 success, 1 knots, 2 weights, 3 X order, 4 too few points
// or knots, 5 no point for some B-spline) and its residual.
int SplineNagLastFailure();
double SplineNagResidual();
// Reports a failure the way the library error mechanism does: writes the lines and the exit text
// to the standard output for a noisy indicator (-1, 0, or a tens digit not 0); returns ErrorNumber.
int NagReport(int IFail, int ErrorNumber, const std::string& RoutineName, const std::vector<std::string>& Lines);
// Back to the state before any fit (all zero).
void SplineNagReset();

// ---------------------------------------------------------------------------------------------
// Cubic smoothing spline with a knot at every point, every point with standard error 0.005.
// Key = 1 uses P as the smoothing parameter; otherwise P is chosen so that the smoothing functional
// comes near S (S = 0 interpolates, a negative S counts as 0). X must increase strictly: equal
// neighbours raise EZeroDivide, a decrease "Cannot process fitting". More than 3000 points raise
// ERangeError; a failed fit leaves the previous spline in place.
void SmoothSplineFit(int N, int Key, const TVector& X, double S, double P, double Sfp, const TVector& Y);
// The last smoothing spline at X; the end pieces continue beyond the first and last points.
double SmoothSplineValue(double X);
// The parameter and functional value of the last fit (the caller's properties keep their own).
double SmoothSplineLastP();
double SmoothSplineLastSfp();
