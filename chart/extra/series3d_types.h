// Start-up and shutdown of the 3D series family beyond the colour grid (surfaces, contours,
// vectors, towers, triangle surfaces, maps, 3D points and bubbles), the smoothing function and
// the lighting tool: their gallery entries and tool type. Called by the extra series module.
#pragma once

// Surface, contour and water fall (before the colour grid on the 3D page) and the smoothing function.
void RegisterSeries3DTypes();
// The other types of the family (after the colour grid).
void RegisterMoreSeries3DTypes();
void UnregisterSeries3DTypes();
