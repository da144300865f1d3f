// One trace of a channel or a reference, drawn as a connected polyline over whatever is on the
// plot already.
#pragma once

#include <cstdint>

#include "model/scope_state.h"
#include "plot/surface.h"

namespace curvalon {

// Draws samples 0..2499 of source src (0..7) in its trace colour; any other index draws nothing.
void drawCurve(const ScopeState& s, DrawingSurface& surface, std::int32_t src);

}  // namespace curvalon
