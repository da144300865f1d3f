// The plot region's background: erasing, the two lines at the instrument's own screen limits,
// the ten-by-ten graticule, and the zoom that scales all of it.
#pragma once

#include <cstdint>

#include "model/scope_state.h"
#include "model/window_ops.h"
#include "plot/surface.h"

namespace curvalon {

// Takes magHIdx and magVIdx into the scales, the marker strip's height and the window size.
// Indexes outside the tables are refused (false) and change nothing.
bool applyZoom(ScopeState& s, MarkerStrip& strip, WindowOps& window);

// Clears the extent drawn last and the extent about to be drawn, and the marker strip.
void erasePlot(const ScopeState& s, DrawingSurface& surface, MarkerStrip& strip);
void drawScreenEdges(const ScopeState& s, DrawingSurface& surface);
void drawGraticule(const ScopeState& s, DrawingSurface& surface);

// The graticule's drawing steps, rows in counts and columns in samples.
void drawGridBox(const ScopeState& s, DrawingSurface& surface);
void drawGridRow(const ScopeState& s, DrawingSurface& surface, std::int32_t row);
void drawGridColumn(const ScopeState& s, DrawingSurface& surface, std::int32_t col);
void drawTickRow(const ScopeState& s, DrawingSurface& surface, std::int32_t row);
void drawTickColumn(const ScopeState& s, DrawingSurface& surface, std::int32_t col1,
                    std::int32_t col2);

}  // namespace curvalon
