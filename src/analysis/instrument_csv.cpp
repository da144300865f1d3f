#include "analysis/instrument_csv.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/exact_decimal.h"
#include "analysis/text_fields.h"

namespace curvalon {

namespace {

// The settings stand in the first two fields of the first lines, beside the first samples.
constexpr int kSettingLines = 18;

enum Setting {
    kRecordLength,
    kSampleInterval,
    kTriggerPoint,
    kSource,
    kVerticalUnits,
    kVerticalScale,
    kVerticalOffset,
    kHorizontalUnits,
    kHorizontalScale,
    kProbeAtten,
    kSettingCount
};

constexpr std::array<std::string_view, kSettingCount> kLabels = {
    "Record Length",  "Sample Interval", "Trigger Point",    "Source",           "Vertical Units",
    "Vertical Scale", "Vertical Offset", "Horizontal Units", "Horizontal Scale", "Probe Atten"};

struct Found {
    int line = 0;  // 0: not in the file
    std::string_view text;
};

// What the file says, before it is checked.
struct Settings {
    std::array<Found, kSettingCount> found;
    std::array<double, kSettingCount> number{};
};

// A line holds a sample's time and value in its 4th and 5th fields, and may end with a comma.
std::optional<std::vector<std::string_view>> sampleFields(std::string_view line) {
    auto fields = fieldsOf(line, ',');
    if (fields.size() == 6 && trimmed(fields[5]).empty()) fields.pop_back();
    if (fields.size() != 5) return std::nullopt;
    return fields;
}

std::string wrongLayout(std::string_view line) {
    return "the line " + quoted(line) +
           " is not label, value, empty, time, value: the instrument's waveform file has five "
           "fields a line";
}

// Twelve significant digits: a quotient of two settings as the decimal it stands for, so that
// -2.16 V over 0.5 V per division is a position of -4.32 divisions and no neighbour of it.
double tidy(double x) {
    char text[32];
    std::snprintf(text, sizeof text, "%.12g", x);
    return *numberOf(text);
}

std::optional<ReadError> findSettings(Settings& s, const std::vector<TextLine>& lines) {
    for (std::size_t i = 0; i < lines.size() && i < kSettingLines; ++i) {
        const auto fields = sampleFields(lines[i].text);
        if (!fields) return ReadError{lines[i].number, wrongLayout(lines[i].text)};
        const auto at = std::find(kLabels.begin(), kLabels.end(), trimmed((*fields)[0]));
        if (at != kLabels.end())
            s.found[std::size_t(at - kLabels.begin())] = {lines[i].number, trimmed((*fields)[1])};
    }
    for (std::size_t k = 0; k < kSettingCount; ++k) {
        const Found& f = s.found[k];
        const bool text = k == kSource || k == kVerticalUnits || k == kHorizontalUnits;
        const bool optional = k == kVerticalUnits || k == kHorizontalUnits || k == kProbeAtten;
        if (f.line == 0 && !optional)
            return ReadError{0, "the setting \"" + std::string(kLabels[k]) + "\" is missing"};
        if (f.line == 0 || text) continue;
        const auto x = numberOf(f.text);
        if (!x)
            return ReadError{f.line,
                             std::string(kLabels[k]) + " " + quoted(f.text) + " is not a number"};
        s.number[k] = *x;
    }
    return std::nullopt;
}

// What the tool can show: one channel's record of 2500 samples in volts against seconds, 250
// samples to a division.
std::optional<ReadError> checkSettings(const Settings& s) {
    const auto refuse = [&](Setting k, const std::string& why) {
        return ReadError{s.found[k].line,
                         std::string(kLabels[k]) + " " + quoted(s.found[k].text) + ": " + why};
    };
    if (s.number[kRecordLength] != kSamples)
        return refuse(kRecordLength, "the tool reviews records of 2500 samples");
    if (s.found[kVerticalUnits].line && s.found[kVerticalUnits].text != "V")
        return refuse(kVerticalUnits, "the tool shows volts only");
    if (s.found[kHorizontalUnits].line && s.found[kHorizontalUnits].text != "s")
        return refuse(kHorizontalUnits, "the tool shows records against time only");
    for (Setting k : {kVerticalScale, kHorizontalScale, kSampleInterval})
        if (!(s.number[k] > 0)) return refuse(k, "not above zero");
    const double perDiv = s.number[kSampleInterval] * kSamplesPerDiv;
    if (std::abs(perDiv - s.number[kHorizontalScale]) > 1e-6 * s.number[kHorizontalScale])
        return refuse(kSampleInterval, "not a 250th of the Horizontal Scale");
    if (s.found[kProbeAtten].line && !(std::nearbyint(s.number[kProbeAtten]) >= 1))
        return refuse(kProbeAtten, "not an attenuation of 1 or more");
    return std::nullopt;
}

// The settings as the tool keeps them. The instrument writes value = counts × scale / 25 -
// offset, and the tool shows (counts / 25 - position) × volts per division, so the position is
// the offset in divisions; the file's times are (sample - trigger point) × interval, and the
// tool's (sample - 1250) × interval + horizontal position.
std::optional<ReadError> applySettings(Acquisition& a, const Settings& s, std::size_t& channel) {
    const std::string_view source = s.found[kSource].text;
    const auto at =
        std::find(tables::kSrcName.begin(), tables::kSrcName.begin() + kChannelCount, source);
    if (at == tables::kSrcName.begin() + kChannelCount)
        return ReadError{s.found[kSource].line,
                         "Source " + quoted(source) + ": only the channels CH1 to CH4 open"};
    channel = std::size_t(at - tables::kSrcName.begin());
    a.timeDiv = s.number[kHorizontalScale];
    a.horPosition = tidy((kRecordCentre - s.number[kTriggerPoint]) * s.number[kSampleInterval]);
    a.voltDiv[channel] = s.number[kVerticalScale];
    a.positionDiv[channel] = tidy(s.number[kVerticalOffset] / s.number[kVerticalScale]);
    a.probe[channel] = static_cast<std::int32_t>(std::nearbyint(s.number[kProbeAtten]));
    return std::nullopt;
}

// The value back to its count; the time within half a sample and a half percent of where the
// settings put it, which takes in the shortest spelling of a time.
std::string readSample(Acquisition& a, const Settings& s, std::size_t channel,
                       const std::vector<std::string_view>& fields, int k) {
    const auto time = numberOf(fields[3]), value = numberOf(fields[4]);
    if (!time) return "time " + quoted(trimmed(fields[3])) + " is not a number";
    if (!value) return "value " + quoted(trimmed(fields[4])) + " is not a number";
    const double interval = s.number[kSampleInterval];
    const double expected = (k - s.number[kTriggerPoint]) * interval;
    if (!(std::abs(*time - expected) <= 0.5 * interval + 0.005 * std::abs(expected)))
        return "time " + quoted(trimmed(fields[3])) + " s is not sample " + std::to_string(k) +
               "'s, which the Sample Interval and Trigger Point put at " + shortestText(expected) +
               " s";
    const double counts =
        (*value + s.number[kVerticalOffset]) * kCountsPerDiv / s.number[kVerticalScale];
    const auto count = wholeCount(counts);
    if (!count)
        return "value " + quoted(trimmed(fields[4])) +
               " V is off the instrument's grid: " + offTheGrid(counts);
    a.samples[channel][std::size_t(k)] = *count;
    return {};
}

std::optional<ReadError> readSamples(Acquisition& a, const Settings& s, std::size_t channel,
                                     const std::vector<TextLine>& lines) {
    int k = 0;
    for (const TextLine& line : lines) {
        if (trimmed(line.text).empty()) continue;
        const auto fields = sampleFields(line.text);
        if (!fields) return ReadError{line.number, wrongLayout(line.text)};
        if (k == kSamples) return ReadError{line.number, "more than 2500 samples"};
        if (auto e = readSample(a, s, channel, *fields, k++); !e.empty())
            return ReadError{line.number, e};
    }
    if (k < kSamples)
        return ReadError{0, std::to_string(k) + " samples where the record holds 2500"};
    a.valid[channel] = true;
    return std::nullopt;
}

bool sameTimeBase(const Acquisition& a, const Acquisition& b) {
    const auto near = [](double x, double y) { return std::abs(x - y) <= 1e-9 * std::abs(x); };
    return near(a.timeDiv, b.timeDiv) && near(a.horPosition, b.horPosition);
}

// The one channel of file into the acquisition of those before it.
std::optional<ReadError> merge(Acquisition& into, const Acquisition& file, const std::string& name,
                               const std::string& firstName) {
    const auto channel =
        std::size_t(std::find(file.valid.begin(), file.valid.end(), true) - file.valid.begin());
    if (into.valid[channel])
        return ReadError{0, file.names[channel] + " is in an earlier file too", name};
    if (!sameTimeBase(into, file))
        return ReadError{0, "its time base differs from that of " + firstName, name};
    into.valid[channel] = true;
    into.samples[channel] = file.samples[channel];
    into.voltDiv[channel] = file.voltDiv[channel];
    into.positionDiv[channel] = file.positionDiv[channel];
    into.probe[channel] = file.probe[channel];
    return std::nullopt;
}

}  // namespace

ReadResult<Acquisition> readInstrumentCsv(const std::string& bytes) {
    if (bytes.size() > kMaxFileBytes) return tooLarge(bytes.size());
    const auto lines = linesOf(bytes);
    Settings s;
    if (auto e = findSettings(s, lines)) return *e;
    if (auto e = checkSettings(s)) return *e;
    Acquisition a = unreadAcquisition();
    a.live = true;  // read by the instrument, whatever carried it here
    std::size_t channel = 0;
    if (auto e = applySettings(a, s, channel)) return *e;
    if (auto e = readSamples(a, s, channel, lines)) return *e;
    return a;
}

ReadResult<Acquisition> readInstrumentFiles(const std::vector<NamedFile>& files) {
    if (files.empty()) return ReadError{0, "no file chosen"};
    std::optional<Acquisition> all;
    for (const NamedFile& f : files) {
        auto one = readInstrumentCsv(f.bytes);
        if (!one.ok()) {
            one.error.file = f.name;
            return one.error;
        }
        if (!all)
            all = std::move(one.value);
        else if (auto e = merge(*all, *one.value, f.name, files.front().name))
            return *e;
    }
    return std::move(*all);
}

std::vector<std::string> instrumentFilesIn(const std::vector<std::string>& names) {
    std::vector<std::string> out;
    for (const std::string& name : names) {
        std::string upper = name;
        for (char& c : upper)
            c = char(std::toupper(static_cast<unsigned char>(c)));
        const auto digit = [&](std::size_t i, char low, char high) {
            return upper[i] >= low && upper[i] <= high;
        };
        if (upper.size() == 12 && upper[0] == 'F' && digit(1, '0', '9') && digit(2, '0', '9') &&
            digit(3, '0', '9') && digit(4, '0', '9') && upper.substr(5, 2) == "CH" &&
            digit(7, '1', '4') && upper.substr(8) == ".CSV")
            out.push_back(name);
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace curvalon
