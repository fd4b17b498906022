// What the inspector's layout and geometry files share.
#pragma once

namespace inspector_impl {

// The width of the line between side-by-side bands.
constexpr int BandSeparatorWidth = 3;

}  // namespace inspector_impl
