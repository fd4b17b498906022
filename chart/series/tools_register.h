// Start-up and shutdown of the standard tools module: the program calls RegisterStandardTools
// once after the chart module has started, and UnregisterStandardTools at the end. The tool
// gallery lists the types in this order; charts stored with tools can be read back.
#pragma once

void RegisterStandardTools();
void UnregisterStandardTools();
