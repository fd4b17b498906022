// Column-span merging of one-pixel polylines (the canvas holds the algorithm, so that its own
// polyline thins dense curves the same way).
#include "chart/engine/pixel_spans.h"

#include "platform/canvas.h"

void MergeColumnSpans(std::span<const TPoint> Points, std::vector<TPoint>& Out) {
  ThinColumnRuns(Points.data(), static_cast<int>(Points.size()), Out);
}
