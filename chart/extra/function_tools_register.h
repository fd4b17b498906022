// Start-up and shutdown of the down-sampling, compression, count, cumulative and indicator
// functions and of the scrolling, table, selection, band, legend and pie tools (called by the
// extra series module).
#pragma once

void RegisterFunctionsAndTools();
void UnregisterFunctionsAndTools();
