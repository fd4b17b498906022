#include "mtdata/mt_params.h"

void CalcMtParameters(TPlots& Plots, const TFrequencyGrid& Frequencies, const double& Normaliser,
                      int F, int NF, int Xpr, const TChannelOrder& ChannelOrder,
                      int RotationMode, int ReferenceType, int DisplayReference,
                      const double& Angle, const TMatrix7& Re, const TMatrix7& Im) {}
