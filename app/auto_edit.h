// The automatic editor: which single estimates of every frequency take part in the stack, and
// the clearing of the mask.
#pragma once

#include <cstdint>

#include "mtdata/mt_types.h"

class TMTFile;

// Automatic editing of every frequency of the current site (mode 0; mode 1 takes the log
// references of the outlier pass from the stacked curves), then a re-stack of the whole site.
void AutoEdit(int Mode);
// Every estimate with data used again, then a re-stack of the whole site.
void ClearMask();

// The passes, on one site (the current site for the two commands above).
void AutoEditSite(TMTFile& Site, int Mode);
void RejectOutliers(TMTFile& Site, int F, int N, TStaticArray<int16_t, 1, MaxXpr>& Flags, int Mode,
                    TStaticArray<double, 1, MaxXpr>& W1);
void RejectRecords(int A, int B, int N, const TFreqMatrices& M, TStaticArray<double, 1, MaxXpr>& W1,
                   const TStaticArray<double, 1, MaxXpr>& W2, TStaticArray<int16_t, 1, MaxXpr>& Flags);
