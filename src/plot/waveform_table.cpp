#include "plot/waveform_table.h"

#include <charconv>
#include <cstddef>
#include <vector>

#include "plot/number_text.h"

namespace curvalon {

namespace {

const char* const kCountsNote = "counts (25 per division, 0 at the screen centre)";

using Fields = std::vector<std::string>;

bool isShown(const ScopeState& s, int src) {
    const auto i = static_cast<std::size_t>(src);
    if (src <= kLastChannel) return s.chEnable[i] == 1;
    return s.refView == 1 && s.refShown[i] == 1;
}

// A channel whose volts per division was never read can only be given as it was drawn.
bool inVolts(const ScopeState& s, int src) {
    return src <= kLastChannel && s.chVoltDiv[static_cast<std::size_t>(src)] != 0;
}

std::string field(std::int32_t n) {
    return std::to_string(n);
}

// to_chars ignores the locale and gives the shortest text that reads back as the same double.
// Adding 0 turns -0 into 0, so no zero is written with a sign.
std::string field(double x) {
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, x + 0.0);
    return std::string(buf, res.ptr);
}

std::string text(const ReadoutText& r) {
    return r.value + " " + r.unit;
}

// Settings come from the instrument and may hold anything; a line break would end the comment.
void addNote(std::string& out, const std::string& note) {
    out += "# ";
    for (char c : note)
        out += (c == '\n' || c == '\r') ? ' ' : c;
    out += '\n';
}

void addRow(std::string& out, const Fields& fields, char separator) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += separator;
        out += fields[i];
    }
    out += '\n';
}

// Settings never read are empty; saying so reads better than a gap.
std::string setting(const char* name, const std::string& value) {
    return std::string(", ") + name + " " + (value.empty() ? "not read" : value);
}

std::string channelNote(const ScopeState& s, int ch) {
    const auto i = static_cast<std::size_t>(ch);
    const std::string scale =
        inVolts(s, ch) ? text(voltageReadout(s.chVoltDiv[i])) + " per division"
                       : std::string("volts per division not read, values in ") + kCountsNote;
    return s.srcName[i] + ": " + scale + ", probe " + std::to_string(s.chProbe[i]) +
           setting("coupling", s.chCoupling[i]) + setting("bandwidth limit", s.chBandwidth[i]) +
           setting("invert", s.chInvert[i]);
}

void addSettingNotes(std::string& out, const ScopeState& s, const std::string& timeStamp) {
    addNote(out, "Curvalon waveform data");
    if (!timeStamp.empty()) addNote(out, "time stamp: " + timeStamp);
    addNote(out, "time per division: " + text(timeDivReadout(s.timeDiv)));
    addNote(out, "horizontal position: " + text(positionReadout(s.horPosition)));
    if (s.timeDiv == 0) addNote(out, "time base not read, so there is no time column");
    addNote(out, "trigger source: " + s.trigSource);
    addNote(out, "trigger level: " + text(voltageReadout(s.trigLevel)));
}

void addSourceNotes(std::string& out, const ScopeState& s, const std::vector<int>& sources) {
    bool anyRef = false;
    for (int src : sources) {
        if (src <= kLastChannel) addNote(out, channelNote(s, src));
        anyRef = anyRef || src >= kFirstRef;
    }
    if (s.scopePresent != 1)
        addNote(out,
                "demo mode: the data are generated demo waveforms, not read from an instrument");
    if (anyRef)
        addNote(out, std::string("references in ") + kCountsNote + ": their settings are not read");
}

Fields columnNames(const ScopeState& s, const std::vector<int>& sources) {
    Fields names{"sample"};
    if (s.timeDiv != 0) names.push_back("time (s)");
    for (int src : sources)
        names.push_back(s.srcName[static_cast<std::size_t>(src)] +
                        (inVolts(s, src) ? " (V)" : " (counts)"));
    return names;
}

std::string valueField(const ScopeState& s, int src, int k) {
    const auto i = static_cast<std::size_t>(src);
    const std::int32_t count = s.curve[i][static_cast<std::size_t>(k)];
    if (!inVolts(s, src)) return field(count);
    return field((count - s.chPosition[i]) * s.chVoltDiv[i] / kCountsPerDiv);
}

Fields sampleRow(const ScopeState& s, const std::vector<int>& sources, int k) {
    Fields row{field(k)};
    if (s.timeDiv != 0)
        row.push_back(field((k - kRecordCentre) * s.timeDiv / kSamplesPerDiv + s.horPosition));
    for (int src : sources)
        row.push_back(valueField(s, src, k));
    return row;
}

}  // namespace

std::string waveformTable(const ScopeState& s, const std::string& timeStamp, char separator) {
    std::vector<int> sources;
    for (int src = 0; src < kSourceCount; ++src)
        if (isShown(s, src)) sources.push_back(src);
    std::string out;
    addSettingNotes(out, s, timeStamp);
    addSourceNotes(out, s, sources);
    addRow(out, columnNames(s, sources), separator);
    for (int k = 0; k < kSamples; ++k)
        addRow(out, sampleRow(s, sources, k), separator);
    return out;
}

}  // namespace curvalon
