// The long-double parameter computation kept as the reference of the fast one.
#pragma once

#include "mtdata/mt_params.h"

void LongDoubleCalcMtParameters(TPlots& Plots, const TFrequencyGrid& Frequencies, double Normaliser, int F, int NF,
                                int Xpr, const TChannelOrder& ChannelOrder, int RotationMode, int ReferenceType,
                                int DisplayReference, double Angle, const TMatrix7& Re, const TMatrix7& Im);
