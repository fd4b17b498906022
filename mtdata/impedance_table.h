// The impedance table: per frequency, impedance and tipper in single precision, filled from the
// computed parameters.
#pragma once

#include "mtdata/mt_params.h"
#include "mtdata/mt_types.h"

// Fills Table from Plots rows 1..NF; rows whose frequency is not positive or whose parameter 1
// is 0 stay cleared. NF must fit a Smallint (ERangeError otherwise).
void FillImpedanceTableFromPlots(const TPlots& Plots, const TFrequencyGrid& Frequencies, int NF, TRezZTable& Table);

// Component 5 (the determinant impedance) of rows 1..RowCount and every variant.
void CalcTableDeterminants(TRezZTable& Table);

// Converts moduli and phases in place by CanadaToRussianMode: 1 exchanges x and y, 2 flips the
// phase sign, anything else leaves the table as it is.
void CanadaToRussian(TRezZTable& Table);
