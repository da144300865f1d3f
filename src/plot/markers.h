// The position markers beside the plot: each shown channel's ground level on the left, the
// trigger level on the right, the trigger point above. Each is an arrow whose tip points at the
// position, or an up or down arrow at the graticule's edge when the position lies outside it.
#pragma once

#include <cstdint>

#include "model/scope_state.h"
#include "plot/surface.h"

namespace curvalon {

// Arrow left of the graticule in the channel's colour, and the channel number printed beside it
// in the marker strip. A channel outside 0..3 draws nothing.
void drawGroundMarker(const ScopeState& s, DrawingSurface& surface, MarkerStrip& strip,
                      std::int32_t ch);

// Level in volts on the trigger source's scale. Draws nothing unless the source is a channel with
// a non-zero volts per division and the level is a number.
void drawTrigLevelMarker(const ScopeState& s, DrawingSurface& surface, double level);

// Point in samples; from the end of the record on (9999 included: the trigger came before the
// record) the marker points left from above the graticule's top-left corner.
void drawTrigPointMarker(const ScopeState& s, DrawingSurface& surface, double point);

}  // namespace curvalon
