// Start-up and shutdown of the extra series module: the program calls InitExtraSeries once after
// the chart module has started (later calls do nothing); DoneExtraSeries takes the types off the
// galleries again.
#pragma once

void InitExtraSeries();
void DoneExtraSeries();
