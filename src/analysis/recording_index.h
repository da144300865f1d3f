// The index a recording keeps beside its files: one row per read, the file it was saved to or
// the failure that stopped it, for stepping through a recording without the instrument.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/read_error.h"
#include "model/window_ops.h"

namespace curvalon {

// "2026-12-08T14:03:11.123+01:00": the local time, its milliseconds and its offset from UTC.
struct IndexTime {
    LocalDateTime local;
    int millisecond = 0;
    int utcOffsetMinutes = 0;
    std::int64_t utcMilliseconds = 0;  // since 1970-01-01T00:00:00Z, for spans between reads
};

struct IndexRow {
    int line = 0;  // of the index, for a message about the row's file
    std::int64_t sequence = 0;
    std::string file;  // in the recording's folder; empty where the read failed
    std::string timeText;
    IndexTime time;
    std::string status;  // the failure box's text; empty for a read that completed
};

// The rows in the order of the file. The header names the columns; sequence, file, time and
// status must be among them, whatever else is.
ReadResult<std::vector<IndexRow>> readRecordingIndex(const std::string& bytes);

// The time as the index writes it: milliseconds and a "Z" or a "+hh:mm" offset, each may be
// missing.
std::optional<IndexTime> indexTimeOf(std::string_view text);

}  // namespace curvalon
