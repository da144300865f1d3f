#include "protocol/reply_scan.h"

#include <charconv>
#include <cstdint>

namespace curvalon {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Where the value of keyword starts: one blank after the keyword.
std::optional<std::size_t> valueStart(std::string_view reply, std::string_view keyword,
                                      std::size_t& keywordPos) {
    keywordPos = reply.find(keyword);
    if (keywordPos == std::string_view::npos) return std::nullopt;
    return keywordPos + keyword.size() + 1;
}

// The characters from start up to end, empty when start lies at or beyond end.
std::string cut(std::string_view reply, std::size_t start, std::size_t end) {
    if (start >= end || start >= reply.size()) return {};
    return std::string(reply.substr(start, end - start));
}

// The power of ten of the leading significant digit: above 0 the number is at least 10, so a
// conversion out of range overflowed rather than underflowed.
long long magnitude(std::string_view digits, std::size_t intDigits, long long exponent) {
    std::size_t first = 0;
    while (first < digits.size() && digits[first] == '0')
        ++first;
    if (first == digits.size()) return 0;
    return static_cast<long long>(intDigits) - 1 - static_cast<long long>(first) + exponent;
}

}  // namespace

std::optional<std::string> itemValue(std::string_view reply, std::string_view keyword) {
    std::size_t p = 0;
    auto start = valueStart(reply, keyword, p);
    if (!start) return std::nullopt;
    std::size_t q = reply.find(';', p);
    if (q == std::string_view::npos) q = reply.empty() ? 0 : reply.size() - 1;
    return cut(reply, *start, q);
}

std::optional<std::string> tailValue(std::string_view reply, std::string_view keyword) {
    std::size_t p = 0;
    auto start = valueStart(reply, keyword, p);
    if (!start) return std::nullopt;
    return cut(reply, *start, reply.size() - 1);
}

std::optional<double> readNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    const std::size_t begin = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const bool negative = i > begin && text[begin] == '-';

    // Mantissa digits without the point, and how many of them stand before it.
    std::string digits;
    std::size_t intDigits = 0;
    while (i < text.size() && isDigit(text[i]))
        digits += text[i++];
    intDigits = digits.size();
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i]))
            digits += text[i++];
    }
    if (digits.empty()) return 0.0;
    std::size_t end = i;

    long long exponent = 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) expNegative = text[j++] == '-';
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) {
                // Saturate: anything past this is out of range either way.
                if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[j] - '0');
                ++j;
            }
            if (expNegative) exponent = -exponent;
            end = j;
        }
    }

    // Convert only the validated characters, without the sign, and without the locale's
    // say in what a decimal point is.
    std::string_view number = text.substr(begin, end - begin);
    if (number.front() == '+' || number.front() == '-') number.remove_prefix(1);
    double value = 0;
    auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                     std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        if (magnitude(digits, intDigits, exponent) > 0) return std::nullopt;
        value = 0;
    } else if (ec != std::errc() || ptr != number.data() + number.size()) {
        return 0.0;  // cannot happen for a validated number; stay on the safe side
    }
    return negative ? -value : value;
}

char charAt(std::string_view reply, std::size_t pos) {
    return pos < reply.size() ? reply[pos] : '\0';
}

}  // namespace curvalon
