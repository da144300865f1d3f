// The shown curves of one acquisition as a plain text table, for a file or for pasting into
// another program.
#pragma once

#include <string>
#include <vector>

#include "analysis/acquisition.h"

namespace curvalon {

// Lines starting with "# " describe the settings, then comes one row of column names and one row
// per sample. Channels are in volts, references in counts, times in seconds; every number is the
// exact decimal its definition gives, with "." as the point. A setting never read is said to be
// so, and a source whose last read failed is left out with a note. notes are further lines of the
// tool's own for the header (the measurements), each written as a "# " line as it stands. separator
// is ',' for a file and
// '\t' for the clipboard.
std::string dataTable(const Acquisition& a, const std::vector<int>& sources, char separator,
                      const std::string& notes = {});

// What a text from the instrument becomes in a one-line note: control characters, line breaks
// among them, turned into blanks so the file keeps its layout.
std::string oneLine(const std::string& text);

}  // namespace curvalon
