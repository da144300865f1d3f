#include "analysis/quantity_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "analysis/exact_decimal.h"

namespace curvalon {

namespace {

constexpr int kDigits = 4;

int digitCount(std::int64_t n) {
    int count = 1;
    for (n = std::llabs(n); n >= 10; n /= 10)
        ++count;
    return count;
}

// d to at most four significant digits, halves away from zero.
Decimal roundedToDigits(Decimal d) {
    for (int extra = digitCount(d.mantissa) - kDigits; extra > 0; --extra) {
        const std::int64_t last = d.mantissa % 10;
        d.mantissa = d.mantissa / 10 + (last >= 5 ? 1 : last <= -5 ? -1 : 0);
        ++d.exponent;
    }
    // 9999.5 rounds to 10000: one digit, not five.
    while (d.mantissa != 0 && d.mantissa % 10 == 0)
        d.mantissa /= 10, ++d.exponent;
    return d;
}

// The decimal exponent of the leading digit.
int leadExponent(Decimal d) {
    return digitCount(d.mantissa) - 1 + d.exponent;
}

// mantissa × 10^exponent with exactly `decimals` digits after the point.
std::string fixedText(Decimal d, int decimals) {
    std::string digits = std::to_string(std::llabs(d.mantissa));
    if (d.exponent >= 0) {
        digits.append(static_cast<std::size_t>(d.exponent), '0');
    } else {
        const auto places = static_cast<std::size_t>(-d.exponent);
        if (digits.size() <= places) digits.insert(0, places - digits.size() + 1, '0');
        digits.insert(digits.size() - places, 1, '.');
    }
    std::size_t point = digits.find('.');
    if (point == std::string::npos && decimals > 0) digits += '.', point = digits.size() - 1;
    const int have = point == std::string::npos ? 0 : int(digits.size() - point - 1);
    digits.append(static_cast<std::size_t>(std::max(decimals - have, 0)), '0');
    return (d.mantissa < 0 ? "-" : "") + digits;
}

struct Prefix {
    int exponent;
    const char* symbol;
};
constexpr Prefix kPrefixes[] = {{-12, "p"}, {-9, "n"}, {-6, "\u00b5"}, {-3, "m"},
                                {0, ""},    {3, "k"},  {6, "M"},       {9, "G"}};

bool takesPrefix(const std::string& unit) {
    return unit == "V" || unit == "s" || unit == "Hz" || unit.rfind("1/", 0) == 0;
}

// "m" and "1/sample" make "m/sample"; any other unit follows its prefix.
std::string prefixed(const char* symbol, const std::string& unit) {
    if (*symbol != '\0' && unit.rfind("1/", 0) == 0) return symbol + unit.substr(1);
    return symbol + unit;
}

}  // namespace

std::string quantityText(double value, const std::string& unit) {
    // Sums of inexact doubles leave dust where the value is zero.
    const auto exact = decimalOf(std::abs(value) < 1e-15 ? 0.0 : value);
    if (!exact) return shortestText(value) + " " + unit;
    const bool whole = unit == "counts" || unit == "samples";
    if (whole && exact->exponent >= 0) return fixedText(*exact, 0) + " " + unit;
    const Decimal d = roundedToDigits(*exact);
    const int lead = d.mantissa == 0 ? 0 : leadExponent(d);
    Prefix prefix{0, ""};
    if (takesPrefix(unit) && d.mantissa != 0)
        for (const Prefix& p : kPrefixes)
            if (p.exponent <= lead || p.exponent == kPrefixes[0].exponent) prefix = p;
    const Decimal scaled{d.mantissa, d.exponent - prefix.exponent};
    const int decimals = std::max(kDigits - 1 - (lead - prefix.exponent), 0);
    return fixedText(scaled, decimals) + " " + prefixed(prefix.symbol, unit);
}

AxisUnit axisUnit(double largest, const std::string& unit) {
    largest = std::abs(largest);
    if (!takesPrefix(unit) || !(largest > 0) || !std::isfinite(largest)) return {1, unit};
    const int lead = static_cast<int>(std::floor(std::log10(largest)));
    Prefix prefix = kPrefixes[0];
    for (const Prefix& p : kPrefixes)
        if (p.exponent <= lead) prefix = p;
    return {std::pow(10.0, -prefix.exponent), prefixed(prefix.symbol, unit)};
}

}  // namespace curvalon
