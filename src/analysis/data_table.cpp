#include "analysis/data_table.h"

#include <optional>

#include "analysis/exact_decimal.h"
#include "analysis/scale.h"

namespace curvalon {

namespace {

const char* const kCountsNote = "counts (25 per division, 0 at the screen centre)";

using Fields = std::vector<std::string>;

void addNote(std::string& out, const std::string& note) {
    out += "# " + oneLine(note) + '\n';
}

void addRow(std::string& out, const Fields& fields, char separator) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) out += separator;
        out += fields[i];
    }
    out += '\n';
}

// A value the instrument sent, as the decimal it sent, in its unit.
std::string quantity(double x, const char* unit) {
    return shortestText(x) + " " + unit;
}

std::string setting(const char* name, const std::string& value) {
    return std::string(", ") + name + " " + (value.empty() ? "not read" : value);
}

std::string channelNote(const Acquisition& a, int ch) {
    const auto i = static_cast<std::size_t>(ch);
    if (a.voltDiv[i] == 0 && a.probe[i] == 0)
        return a.names[i] + ": settings not read, values in " + kCountsNote;
    const std::string scale =
        inVolts(a, ch) ? quantity(a.voltDiv[i], "V") + " per division, position " +
                             shortestText(a.positionDiv[i]) + " div"
                       : std::string("volts per division not read, values in ") + kCountsNote;
    const std::string probe = a.probe[i] == 0 ? "not read" : std::to_string(a.probe[i]);
    return a.names[i] + ": " + scale + ", probe " + probe + setting("coupling", a.coupling[i]) +
           setting("bandwidth limit", a.bandwidth[i]) + setting("invert", a.invert[i]);
}

void addSettingNotes(std::string& out, const Acquisition& a) {
    addNote(out, "Curvalon waveform data");
    if (!a.stampText.empty()) addNote(out, "time stamp: " + a.stampText);
    if (a.stamp) addNote(out, "time (ISO 8601): " + isoTime(*a.stamp));
    if (!a.failure.empty())
        addNote(out, "this read failed (" + a.failure +
                         "): what it could not read is as an earlier read left it");
    if (!a.settingsStampText.empty())
        addNote(out, "this read read no settings: they are those read at " + a.settingsStampText);
    if (a.timeDiv != 0) {
        addNote(out, "time per division: " + quantity(a.timeDiv, "s"));
        addNote(out, "horizontal position: " + quantity(a.horPosition, "s"));
    } else {
        addNote(out, "time base not read, so there is no time column");
    }
    if (a.trigSource.empty()) {
        addNote(out, "trigger not read");
    } else {
        addNote(out, "trigger source: " + a.trigSource);
        addNote(out, "trigger level: " + quantity(a.trigLevel, "V"));
    }
}

void addSourceNotes(std::string& out, const Acquisition& a, const std::vector<int>& sources,
                    const std::vector<int>& left) {
    bool anyRef = false;
    for (int src : sources) {
        if (src <= kLastChannel) addNote(out, channelNote(a, src));
        anyRef = anyRef || src >= kFirstRef;
    }
    for (int src : left)
        addNote(out, a.names[static_cast<std::size_t>(src)] +
                         " left out: its curve was not read, or its last read failed");
    if (!a.live)
        addNote(out,
                "demo mode: the data are generated demo waveforms, not read from an instrument");
    if (anyRef)
        addNote(out, std::string("references in ") + kCountsNote + ": their settings are not read");
}

// One column's values: counts, or volts = (counts / 25 - position) × volts per division.
class Column {
  public:
    Column(const Acquisition& a, int src)
        : samples_(a.samples[static_cast<std::size_t>(src)]), scale_(Scale::of(a, src)) {}
    std::string value(int k) const {
        const std::int32_t count = samples_[static_cast<std::size_t>(k)];
        if (const auto exact = scale_.exactLevel(count)) return decimalText(*exact);
        return shortestText(scale_.level(count));
    }

  private:
    const std::array<std::int8_t, kSamples>& samples_;
    Scale scale_;
};

// Sample k's time: (k - 1250) / 250 divisions from the centre, plus the position.
std::string timeText(const Scale& axis, int k) {
    if (const auto exact = axis.exactTime(k)) return decimalText(*exact);
    return shortestText(axis.time(k));
}

}  // namespace

std::string oneLine(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    return out;
}

std::string dataTable(const Acquisition& a, const std::vector<int>& shown, char separator,
                      const std::string& notes) {
    std::vector<int> sources, left;
    for (int src : shown)
        (a.valid[static_cast<std::size_t>(src)] ? sources : left).push_back(src);
    std::string out;
    addSettingNotes(out, a);
    addSourceNotes(out, a, sources, left);
    for (std::size_t start = 0; start < notes.size();) {
        const std::size_t end = std::min(notes.find('\n', start), notes.size());
        // The tool's own, separators kept; a line that is a comment already stays one.
        const std::string line = notes.substr(start, end - start);
        out += (line.rfind('#', 0) == 0 ? "" : "# ") + line + '\n';
        start = end + 1;
    }
    Fields names{"sample"};
    if (Scale::timeAxisOf(a).inSeconds()) names.push_back("time (s)");
    std::vector<Column> columns;
    for (int src : sources) {
        names.push_back(a.names[static_cast<std::size_t>(src)] + " (" +
                        Scale::of(a, src).units().level + ")");
        columns.emplace_back(a, src);
    }
    addRow(out, names, separator);
    const Scale axis = Scale::timeAxisOf(a);
    for (int k = 0; k < kSamples; ++k) {
        Fields row{std::to_string(k)};
        if (axis.inSeconds()) row.push_back(timeText(axis, k));
        for (const Column& c : columns)
            row.push_back(c.value(k));
        addRow(out, row, separator);
    }
    return out;
}

}  // namespace curvalon
