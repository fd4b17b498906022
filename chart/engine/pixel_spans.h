// Thinning of one-pixel polylines without changing a single pixel: consecutive segments that stay
// inside one pixel column (the same X) are merged into at most three vertical segments that cover
// exactly the pixels the original segments covered (end pixel of each line left out).
#pragma once

#include <span>
#include <vector>

#include "platform/graphics.h"

// Appends to Out the thinned form of Points. Segments that leave a column are kept as they are,
// so the result draws the same pixels as Points with any one-pixel, non-antialiased pen.
void MergeColumnSpans(std::span<const TPoint> Points, std::vector<TPoint>& Out);
