// The arrow glyphs of the position markers: a filled triangular head with a short shaft, built
// from one-pixel vertical strokes one horizontal marker unit apart. Their sizes are fixed twips;
// only the tip's anchor follows the zoom.
#pragma once

#include "model/scope_state.h"
#include "plot/coordinates.h"
#include "plot/surface.h"

namespace curvalon {

// 80 strokes each; the two that reach the tip lie on its x and 2 twips left of it.
void drawArrowDown(const ScopeState& s, DrawingSurface& surface, const MarkerAnchor& at,
                   Rgb colour);
void drawArrowUp(const ScopeState& s, DrawingSurface& surface, const MarkerAnchor& at, Rgb colour);

// 60 strokes each, shaft first, then the head from its flat edge to the tip.
void drawArrowLeft(const ScopeState& s, DrawingSurface& surface, const MarkerAnchor& at,
                   Rgb colour);
void drawArrowRight(const ScopeState& s, DrawingSurface& surface, const MarkerAnchor& at,
                    Rgb colour);

}  // namespace curvalon
