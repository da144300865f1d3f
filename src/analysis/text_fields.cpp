#include "analysis/text_fields.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace curvalon {

std::vector<TextLine> linesOf(std::string_view bytes) {
    std::vector<TextLine> out;
    int number = 0;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view text = bytes.substr(start, end - start);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        out.push_back({++number, text});
        start = end + 1;
    }
    return out;
}

std::vector<std::string_view> fieldsOf(std::string_view line, char separator) {
    std::vector<std::string_view> out;
    for (std::size_t start = 0;;) {
        const std::size_t end = line.find(separator, start);
        if (end == std::string_view::npos) {
            out.push_back(line.substr(start));
            return out;
        }
        out.push_back(line.substr(start, end - start));
        start = end + 1;
    }
}

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<double> numberOf(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double x = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), x);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(x))
        return std::nullopt;
    return x;
}

std::optional<std::int64_t> wholeNumberOf(std::string_view text) {
    text = trimmed(text);
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return n;
}

std::optional<std::int8_t> wholeCount(double counts) {
    const double whole = std::nearbyint(counts);
    if (!(std::abs(counts - whole) <= 0.01) || whole < -128 || whole > 127) return std::nullopt;
    return static_cast<std::int8_t>(whole);
}

std::string offTheGrid(double counts) {
    char text[80];
    if (std::abs(counts - std::nearbyint(counts)) > 0.01)
        std::snprintf(text, sizeof text, "%.2f counts, not a whole count", counts);
    else
        std::snprintf(text, sizeof text, "%.0f counts, outside -128 to 127", counts);
    return text;
}

std::string quoted(std::string_view text) {
    constexpr std::size_t kShown = 40;
    if (text.size() <= kShown) return "\"" + std::string(text) + "\"";
    return "\"" + std::string(text.substr(0, kShown)) + "...\"";
}

}  // namespace curvalon
