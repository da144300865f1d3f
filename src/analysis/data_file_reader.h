// A data file the tool saved, or a table it copied, read back into the acquisition it was written
// from, for review without the instrument.
#pragma once

#include <string>

#include "analysis/acquisition.h"
#include "analysis/read_error.h"

namespace curvalon {

// The settings come from the notes, each column's values go back to the whole counts they were
// written from, and the sample numbers and times are checked against the settings. Comma or tab
// between the fields. The sources the file leaves out are not valid; a setting the file says was
// not read stays 0 or empty; notes the reader does not know (the measurements) are passed over.
// live is false where the file says the data are demo waveforms.
ReadResult<Acquisition> readDataFile(const std::string& bytes);

}  // namespace curvalon
