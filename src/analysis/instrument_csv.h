// The waveform files the instrument writes to its own storage (FnnnnCHx.CSV, one per channel),
// opened as one acquisition for review.
#pragma once

#include <string>
#include <vector>

#include "analysis/acquisition.h"
#include "analysis/read_error.h"

namespace curvalon {

struct NamedFile {
    std::string name;  // for the messages
    std::string bytes;
};

// One file: the channel its Source names, with its volts per division, position, probe, time
// per division and horizontal position set so that the tool shows the file's own volts at the
// file's own times. Each value must be one of the instrument's whole counts.
ReadResult<Acquisition> readInstrumentCsv(const std::string& bytes);

// Files chosen together, one channel each and all of one time base, as one acquisition. A
// refusal names the file at fault.
ReadResult<Acquisition> readInstrumentFiles(const std::vector<NamedFile>& files);

// Of a folder's file names (a "Save All" folder), the instrument's waveform files, sorted.
std::vector<std::string> instrumentFilesIn(const std::vector<std::string>& names);

}  // namespace curvalon
