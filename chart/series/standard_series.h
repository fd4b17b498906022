// Start-up and shutdown of the standard series module: the program calls InitStandardSeries once
// after the chart module has started (each call after the first does nothing) and
// DoneStandardSeries at the end, which takes the types off the galleries again.
#pragma once

void InitStandardSeries();
void DoneStandardSeries();
