#pragma once

#include "model/scope_state.h"

namespace curvalon {

// Fills the curve buffer with four generated waveforms in separate bands of the plot (a rising
// and a falling sawtooth, a rectangle and a sine) and zeroes the references, so the whole display
// path can be shown without an instrument. Entry 2500 of each source is left alone.
void makeDemoCurves(ScopeState& s);

}  // namespace curvalon
