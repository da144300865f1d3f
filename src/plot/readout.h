// The column of text boxes left of the plot that repeats the instrument's settings as last read:
// time per division, horizontal position, trigger source and level, and each channel's probe,
// volts per division, coupling, bandwidth limit and inversion.
#pragma once

#include <cstdint>

#include "model/scope_state.h"
#include "model/window_ops.h"

namespace curvalon {

// Time per division and horizontal position, each as value and unit.
void showTimebase(const ScopeState& s, WindowOps& window);

// The source's name as sent, in its channel's colour, or in the plain text colour for any source
// that is not a channel.
void showTrigSource(const ScopeState& s, WindowOps& window);

// Value and unit only; the boxes keep their colour.
void showTrigLevel(const ScopeState& s, WindowOps& window);

// A shown channel gets its texts and its trace colour; a channel that is off keeps its last texts
// and turns grey. A channel outside 0..3 changes nothing.
void showChannelSettings(const ScopeState& s, WindowOps& window, std::int32_t ch);

}  // namespace curvalon
