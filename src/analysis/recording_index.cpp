#include "analysis/recording_index.h"

#include <algorithm>
#include <array>

#include "analysis/text_fields.h"

namespace curvalon {

namespace {

enum Column { kSequence, kFile, kTime, kStatus, kColumnCount };
constexpr std::array<std::string_view, kColumnCount> kColumnNames = {"sequence", "file", "time",
                                                                     "status"};

// One line's cells, a quoted cell's doubled quotes made one; empty where a quote is not closed.
std::optional<std::vector<std::string>> cellsOf(std::string_view line) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"')
            cells.back() += '"', ++i;
        else if (c == '"' && (quoted || cells.back().empty()))
            quoted = !quoted;
        else if (c == ',' && !quoted)
            cells.emplace_back();
        else
            cells.back() += c;
    }
    if (quoted) return std::nullopt;
    return cells;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t daysSinceEpoch(int year, int month, int day) {
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return std::int64_t(era) * 146097 + dayOfEra - 719468;
}

// The digits at [at, at + n) as a number; empty where one is not a digit.
std::optional<int> digitsAt(std::string_view text, std::size_t at, std::size_t n) {
    if (at + n > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// "+01:00", "-05:30" or "Z" at the end: minutes east of UTC.
std::optional<int> offsetOf(std::string_view text) {
    if (text == "Z") return 0;
    const auto hours = digitsAt(text, 1, 2), minutes = digitsAt(text, 4, 2);
    if (text.size() != 6 || (text[0] != '+' && text[0] != '-') || text[3] != ':' || !hours ||
        !minutes || *minutes > 59)
        return std::nullopt;
    return (text[0] == '-' ? -1 : 1) * (*hours * 60 + *minutes);
}

std::string readRow(IndexRow& row, const std::array<std::size_t, kColumnCount>& at,
                    std::string_view line) {
    const auto cells = cellsOf(line);
    if (!cells) return "a quoted cell is not closed";
    const std::size_t needed = *std::max_element(at.begin(), at.end()) + 1;
    if (cells->size() < needed)
        return std::to_string(cells->size()) + " cells where the header names " +
               std::to_string(needed);
    const auto sequence = wholeNumberOf((*cells)[at[kSequence]]);
    if (!sequence) return "sequence " + quoted((*cells)[at[kSequence]]) + " is not a number";
    const auto time = indexTimeOf((*cells)[at[kTime]]);
    if (!time)
        return "time " + quoted((*cells)[at[kTime]]) +
               " is not a time like 2026-12-08T14:03:11.123+01:00";
    row.sequence = *sequence, row.time = *time;
    row.file = (*cells)[at[kFile]], row.timeText = (*cells)[at[kTime]];
    row.status = (*cells)[at[kStatus]];
    return {};
}

}  // namespace

std::optional<IndexTime> indexTimeOf(std::string_view text) {
    IndexTime t;
    LocalDateTime& d = t.local;
    const std::array<std::pair<int*, std::size_t>, 6> parts = {{{&d.year, 0},
                                                                {&d.month, 5},
                                                                {&d.day, 8},
                                                                {&d.hour, 11},
                                                                {&d.minute, 14},
                                                                {&d.second, 17}}};
    for (const auto& [part, at] : parts) {
        const auto n = digitsAt(text, at, at == 0 ? 4 : 2);
        if (!n) return std::nullopt;
        *part = *n;
    }
    if (text.size() < 19 || text.substr(4, 1) != "-" || text.substr(7, 1) != "-" ||
        text[10] != 'T' || text[13] != ':' || text[16] != ':' || d.month < 1 || d.month > 12 ||
        d.day < 1 || d.day > 31 || d.hour > 23 || d.minute > 59 || d.second > 60)
        return std::nullopt;
    std::size_t rest = 19;
    if (rest < text.size() && text[rest] == '.') {
        const auto ms = digitsAt(text, rest + 1, 3);
        if (!ms) return std::nullopt;
        t.millisecond = *ms, rest += 4;
    }
    const auto offset = rest == text.size() ? std::optional<int>(0) : offsetOf(text.substr(rest));
    if (!offset) return std::nullopt;
    t.utcOffsetMinutes = *offset;
    const std::int64_t seconds = daysSinceEpoch(d.year, d.month, d.day) * 86400 + d.hour * 3600 +
                                 d.minute * 60 + d.second - *offset * 60;
    t.utcMilliseconds = seconds * 1000 + t.millisecond;
    return t;
}

ReadResult<std::vector<IndexRow>> readRecordingIndex(const std::string& bytes) {
    if (bytes.size() > kMaxFileBytes) return tooLarge(bytes.size());
    const auto lines = linesOf(bytes);
    const auto header = lines.empty() ? std::nullopt : cellsOf(lines[0].text);
    if (!header) return ReadError{1, "there is no header naming the columns"};
    std::array<std::size_t, kColumnCount> at{};
    for (std::size_t c = 0; c < kColumnCount; ++c) {
        const auto found = std::find(header->begin(), header->end(), kColumnNames[c]);
        if (found == header->end())
            return ReadError{1, "the header names no column \"" + std::string(kColumnNames[c]) +
                                    "\": this is not a recording's index"};
        at[c] = std::size_t(found - header->begin());
    }
    std::vector<IndexRow> rows;
    rows.reserve(lines.size());
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (trimmed(lines[i].text).empty()) continue;
        IndexRow& row = rows.emplace_back();
        row.line = lines[i].number;
        if (auto e = readRow(row, at, lines[i].text); !e.empty()) return ReadError{row.line, e};
    }
    return rows;
}

}  // namespace curvalon
