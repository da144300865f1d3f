#include "analysis/data_file_reader.h"

#include <cstdio>

#include "analysis/scale.h"
#include "analysis/text_fields.h"

namespace curvalon {

namespace {

constexpr std::string_view kFirstLine = "# Curvalon waveform data";
constexpr std::string_view kNotRead = "not read";

// The number before the unit: "0.0005 s" with unit "s".
std::optional<double> quantityOf(std::string_view text, std::string_view unit) {
    const std::size_t blank = text.rfind(' ');
    if (blank == std::string_view::npos || text.substr(blank + 1) != unit) return std::nullopt;
    return numberOf(text.substr(0, blank));
}

std::string setQuantity(double& out, std::string_view text, std::string_view unit,
                        const char* what) {
    const auto x = quantityOf(text, unit);
    if (!x)
        return std::string(what) + " " + quoted(text) + " is not a number of " + std::string(unit);
    out = *x;
    return {};
}

std::string setStamp(Acquisition& a, std::string_view text) {
    LocalDateTime t;
    char end = 0;
    const std::string s(text);
    if (std::sscanf(s.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%c", &t.year, &t.month, &t.day, &t.hour,
                    &t.minute, &t.second, &end) != 6)
        return "time " + quoted(text) + " is not a date and time like 2026-12-08T14:03:11";
    a.stamp = t;
    return {};
}

// "this read failed (<box text>): what it could not read is as an earlier read left it".
std::string setFailure(Acquisition& a, std::string_view text) {
    constexpr std::string_view kEnd = "): what it could not read is as an earlier read left it";
    if (!text.ends_with(kEnd)) return "the note on the failed read is cut short";
    a.failure = text.substr(0, text.size() - kEnd.size());
    return {};
}

// The texts after each marker, up to the next: "10", "DC", "OFF", "OFF" from "..., probe 10,
// coupling DC, bandwidth limit OFF, invert OFF".
std::optional<std::array<std::string_view, 4>> settingTexts(std::string_view text) {
    constexpr std::array<std::string_view, 4> kMarks = {", probe ", ", coupling ",
                                                        ", bandwidth limit ", ", invert "};
    std::array<std::size_t, 5> at{};
    std::size_t from = 0;
    for (std::size_t m = 0; m < kMarks.size(); ++m) {
        at[m] = text.find(kMarks[m], from);
        if (at[m] == std::string_view::npos) return std::nullopt;
        from = at[m] + kMarks[m].size();
    }
    at[4] = text.size();
    std::array<std::string_view, 4> out;
    for (std::size_t m = 0; m < kMarks.size(); ++m) {
        const std::size_t first = at[m] + kMarks[m].size();
        out[m] = text.substr(first, at[m + 1] - first);
    }
    return out;
}

// "0.5 V per division, position 1 div", or the volts per division not read.
std::string setScale(Acquisition& a, std::size_t i, std::string_view text) {
    constexpr std::string_view kMid = " V per division, position ";
    if (text.starts_with("volts per division not read")) return {};
    const std::size_t mid = text.find(kMid);
    const auto voltDiv = numberOf(text.substr(0, mid));
    const auto position = mid == std::string_view::npos
                              ? std::nullopt
                              : quantityOf(text.substr(mid + kMid.size()), "div");
    if (!voltDiv || !position || *voltDiv == 0)
        return "the volts per division or the position " + quoted(text) + " is not a number";
    a.voltDiv[i] = *voltDiv, a.positionDiv[i] = *position;
    return {};
}

// "CH1: 0.5 V per division, position 1 div, probe 10, coupling DC, bandwidth limit OFF, invert
// OFF", after "CH1: ".
std::string setChannel(Acquisition& a, std::size_t i, std::string_view text) {
    if (text.starts_with("settings not read")) return {};
    const auto texts = settingTexts(text);
    if (!texts) return a.names[i] + "'s settings " + quoted(text) + " are not all there";
    if (auto e = setScale(a, i, text.substr(0, text.find(", probe "))); !e.empty()) return e;
    const auto [probe, coupling, bandwidth, invert] = *texts;
    const auto probeNumber = probe == kNotRead ? 0 : wholeNumberOf(probe);
    if (!probeNumber) return "probe " + quoted(probe) + " is not a whole number";
    a.probe[i] = static_cast<std::int32_t>(*probeNumber);
    const auto setting = [](std::string_view t) { return std::string(t == kNotRead ? "" : t); };
    a.coupling[i] = setting(coupling), a.bandwidth[i] = setting(bandwidth);
    a.invert[i] = setting(invert);
    return {};
}

// A note as it was given to the writer: "# " taken off.
std::string_view noteOf(std::string_view line) {
    line.remove_prefix(1);
    if (line.starts_with(' ')) line.remove_prefix(1);
    return line;
}

using NoteReader = std::string (*)(Acquisition&, std::string_view);

const std::pair<std::string_view, NoteReader> kNotes[] = {
    {"time stamp: ",
     [](Acquisition& a, std::string_view t) { return a.stampText = t, std::string(); }},
    {"time (ISO 8601): ", setStamp},
    {"this read failed (", setFailure},
    {"this read read no settings: they are those read at ",
     [](Acquisition& a, std::string_view t) { return a.settingsStampText = t, std::string(); }},
    {"time per division: ",
     [](Acquisition& a, std::string_view t) {
         return setQuantity(a.timeDiv, t, "s", "time per division");
     }},
    {"horizontal position: ",
     [](Acquisition& a, std::string_view t) {
         return setQuantity(a.horPosition, t, "s", "horizontal position");
     }},
    {"trigger source: ",
     [](Acquisition& a, std::string_view t) { return a.trigSource = t, std::string(); }},
    {"trigger level: ",
     [](Acquisition& a, std::string_view t) {
         return setQuantity(a.trigLevel, t, "V", "trigger level");
     }},
    {"demo mode: ", [](Acquisition& a, std::string_view) { return a.live = false, std::string(); }},
};

// One "# " line: the settings it gives; an error where it gives them wrong; nothing for a note
// of another kind.
std::string readNote(Acquisition& a, std::string_view note) {
    for (const auto& [start, reader] : kNotes)
        if (note.starts_with(start)) return reader(a, note.substr(start.size()));
    for (std::size_t ch = 0; ch < kChannelCount; ++ch)
        if (note.starts_with(a.names[ch] + ": "))
            return setChannel(a, ch, note.substr(a.names[ch].size() + 2));
    return {};
}

// Where a column's values go, and how they were written: volts from (counts / 25 - position)
// × volts per division, or the counts themselves where voltDiv is 0.
struct Column {
    std::size_t source = 0;
    double voltDiv = 0, positionDiv = 0;
};

struct Layout {
    char separator = ',';
    bool timed = false;
    Scale axis;
    std::vector<Column> columns;
};

// "CH1 (V)", "REFA (counts)": which source, in which unit.
std::string addColumn(Layout& layout, const Acquisition& a, std::string_view name) {
    for (std::size_t src = 0; src < kSourceCount; ++src) {
        const std::string& source = a.names[src];
        if (!name.starts_with(source + " (")) continue;
        const std::string_view unit = name.substr(source.size() + 2);
        const bool volts = unit == "V)";
        if (unit != "counts)" && !(volts && inVolts(a, int(src))))
            return "column " + quoted(name) + ": " + source + " cannot be in that unit here";
        for (const Column& c : layout.columns)
            if (c.source == src) return "column " + quoted(name) + " comes twice";
        layout.columns.push_back({src, volts ? a.voltDiv[src] : 0, volts ? a.positionDiv[src] : 0});
        return {};
    }
    return "column " + quoted(name) + " is not one of the sources";
}

std::string readLayout(Layout& layout, const Acquisition& a, std::string_view header) {
    layout.separator = header.find('\t') != std::string_view::npos ? '\t' : ',';
    const auto names = fieldsOf(header, layout.separator);
    if (names[0] != "sample") return "the first column is " + quoted(names[0]) + ", not \"sample\"";
    layout.axis = Scale::timeAxisOf(a);
    layout.timed = names.size() > 1 && names[1] == "time (s)";
    if (layout.timed && !layout.axis.inSeconds())
        return "there is a time column, but no time per division among the notes";
    for (std::size_t i = layout.timed ? 2 : 1; i < names.size(); ++i)
        if (auto e = addColumn(layout, a, names[i]); !e.empty()) return e;
    return {};
}

std::string readValue(Acquisition& a, const Column& c, std::string_view text, int k) {
    const auto value = numberOf(text);
    if (!value) return a.names[c.source] + " value " + quoted(text) + " is not a number";
    const double counts = c.voltDiv == 0 ? *value : (*value / c.voltDiv + c.positionDiv) * 25;
    const auto count = wholeCount(counts);
    if (!count)
        return a.names[c.source] + " value " + quoted(trimmed(text)) + " is " + offTheGrid(counts);
    a.samples[c.source][static_cast<std::size_t>(k)] = *count;
    return {};
}

// Row k: its sample number, its time within a thousandth of a sample, its values.
std::string readRow(Acquisition& a, const Layout& layout, std::string_view line, int k) {
    const auto fields = fieldsOf(line, layout.separator);
    const std::size_t first = layout.timed ? 2 : 1;
    if (fields.size() != first + layout.columns.size())
        return std::to_string(fields.size()) + " fields where the column names give " +
               std::to_string(first + layout.columns.size());
    if (wholeNumberOf(fields[0]) != k)
        return "sample " + quoted(fields[0]) + " where sample " + std::to_string(k) + " belongs";
    if (layout.timed) {
        const auto t = numberOf(fields[1]);
        if (!t || !(std::abs(*t - layout.axis.time(k)) <= std::abs(layout.axis.duration(1e-3))))
            return "time " + quoted(fields[1]) + " is not sample " + std::to_string(k) + "'s";
    }
    for (std::size_t i = 0; i < layout.columns.size(); ++i)
        if (auto e = readValue(a, layout.columns[i], fields[first + i], k); !e.empty()) return e;
    return {};
}

std::optional<ReadError> readRows(Acquisition& a, const Layout& layout,
                                  const std::vector<TextLine>& lines, std::size_t from) {
    int k = 0;
    for (std::size_t i = from; i < lines.size(); ++i) {
        if (trimmed(lines[i].text).empty()) continue;
        if (k == kSamples) return ReadError{lines[i].number, "more than 2500 samples"};
        if (auto e = readRow(a, layout, lines[i].text, k++); !e.empty())
            return ReadError{lines[i].number, e};
    }
    if (k < kSamples) return ReadError{0, std::to_string(k) + " samples where a record holds 2500"};
    for (const Column& c : layout.columns)
        a.valid[c.source] = true;
    return std::nullopt;
}

}  // namespace

ReadResult<Acquisition> readDataFile(const std::string& bytes) {
    if (bytes.size() > kMaxFileBytes) return tooLarge(bytes.size());
    const auto lines = linesOf(bytes);
    if (lines.empty() || lines[0].text != kFirstLine)
        return ReadError{1, "not a Curvalon data file: it does not start with \"" +
                                std::string(kFirstLine) + "\""};
    Acquisition a = unreadAcquisition();
    a.live = true;
    std::size_t i = 1;
    for (; i < lines.size() && lines[i].text.starts_with('#'); ++i)
        if (auto e = readNote(a, noteOf(lines[i].text)); !e.empty())
            return ReadError{lines[i].number, e};
    if (i == lines.size()) return ReadError{0, "the row of column names is missing"};
    Layout layout;
    if (auto e = readLayout(layout, a, lines[i].text); !e.empty())
        return ReadError{lines[i].number, e};
    if (auto e = readRows(a, layout, lines, i + 1)) return *e;
    return a;
}

}  // namespace curvalon
