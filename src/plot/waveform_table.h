// The shown curves as a plain text table, for saving to a file or pasting into another program.
#pragma once

#include <string>

#include "model/scope_state.h"

namespace curvalon {

// Lines starting with "# " describe the settings, then comes one row of column names and one row
// per sample. Channels are in volts, references in counts; numbers always use "." as the point.
// separator is ',' for a file and '\t' for the clipboard. timeStamp is the stamp as the window
// shows it; when empty its line is left out.
std::string waveformTable(const ScopeState& s, const std::string& timeStamp, char separator);

}  // namespace curvalon
