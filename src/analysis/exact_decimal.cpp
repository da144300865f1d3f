#include "analysis/exact_decimal.h"

#include <charconv>
#include <cstdlib>
#include <limits>

namespace curvalon {

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

// Trailing zeros moved into the exponent, so that equal values look alike.
Decimal normalised(Decimal d) {
    if (d.mantissa == 0) return {0, 0};
    while (d.mantissa % 10 == 0)
        d.mantissa /= 10, ++d.exponent;
    return d;
}

std::optional<std::int64_t> times(std::int64_t a, std::int64_t b) {
    if (a != 0 && std::llabs(b) > kMax / std::llabs(a)) return std::nullopt;
    return a * b;
}

// a scaled to a smaller exponent: a.mantissa × 10^(a.exponent - exponent).
std::optional<std::int64_t> scaledTo(Decimal a, int exponent) {
    std::int64_t m = a.mantissa;
    for (int e = a.exponent; e > exponent; --e) {
        const auto next = times(m, 10);
        if (!next) return std::nullopt;
        m = *next;
    }
    return m;
}

}  // namespace

std::optional<Decimal> decimalOf(double x) {
    char buf[40];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific);
    if (ec != std::errc()) return std::nullopt;
    // "-1.02e+00": the digits without the point, then the exponent less the digits after it.
    Decimal d;
    const char* p = buf;
    const bool negative = *p == '-';
    if (negative) ++p;
    if (*p < '0' || *p > '9') return std::nullopt;  // inf, nan
    int fraction = 0;
    bool afterPoint = false;
    for (; p < end && *p != 'e'; ++p) {
        if (*p == '.') {
            afterPoint = true;
            continue;
        }
        d.mantissa = d.mantissa * 10 + (*p - '0');
        fraction += afterPoint ? 1 : 0;
    }
    int exponent = 0;
    if (p < end) std::from_chars(p + (p[1] == '+' ? 2 : 1), end, exponent);
    d.exponent = exponent - fraction;
    if (negative) d.mantissa = -d.mantissa;
    return normalised(d);
}

Decimal decimalOf(std::int64_t n, int exponent) {
    return normalised({n, exponent});
}

std::optional<Decimal> operator*(Decimal a, Decimal b) {
    const auto m = times(a.mantissa, b.mantissa);
    if (!m) return std::nullopt;
    return normalised({*m, a.exponent + b.exponent});
}

std::optional<Decimal> operator+(Decimal a, Decimal b) {
    if (a.mantissa == 0) return b;
    if (b.mantissa == 0) return a;
    const int exponent = std::min(a.exponent, b.exponent);
    const auto ma = scaledTo(a, exponent), mb = scaledTo(b, exponent);
    if (!ma || !mb) return std::nullopt;
    if ((*mb > 0 && *ma > kMax - *mb) || (*mb < 0 && *ma < -kMax - *mb)) return std::nullopt;
    return normalised({*ma + *mb, exponent});
}

std::optional<Decimal> operator-(Decimal a, Decimal b) {
    return a + Decimal{-b.mantissa, b.exponent};
}

std::string decimalText(Decimal d) {
    d = normalised(d);
    std::string digits = std::to_string(std::llabs(d.mantissa));
    if (d.exponent >= 0) {
        digits.append(static_cast<std::size_t>(d.exponent), '0');
    } else {
        const auto fraction = static_cast<std::size_t>(-d.exponent);
        if (digits.size() <= fraction) digits.insert(0, fraction - digits.size() + 1, '0');
        digits.insert(digits.size() - fraction, 1, '.');
    }
    return (d.mantissa < 0 ? "-" : "") + digits;
}

std::string shortestText(double x) {
    const auto d = decimalOf(x);
    // Within a plain notation of reasonable length; beyond it the exponent form says it better.
    if (d && d->exponent > -25 && d->exponent < 25) return decimalText(*d);
    char buf[40];
    const auto res = std::to_chars(buf, buf + sizeof buf, x);
    return std::string(buf, res.ptr);
}

}  // namespace curvalon
