// Numbers as the instrument gives them, short decimals, kept exact through the few sums and
// products that turn counts into volts and samples into seconds, so a file holds "-0.0024" and
// never the binary noise of "-0.0024000000000000002".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace curvalon {

// mantissa × 10^exponent.
struct Decimal {
    std::int64_t mantissa = 0;
    int exponent = 0;
};

// The shortest decimal that reads back as x: for a value the instrument sent as "5.0E-1", its
// own 0.5. Empty for infinities and NaN.
std::optional<Decimal> decimalOf(double x);
Decimal decimalOf(std::int64_t n, int exponent = 0);

// Exact, or empty where the result would not fit.
std::optional<Decimal> operator+(Decimal a, Decimal b);
std::optional<Decimal> operator*(Decimal a, Decimal b);
std::optional<Decimal> operator-(Decimal a, Decimal b);

// Plain decimal notation, no exponent, no trailing zeros, no sign on zero, "." as the point
// whatever the locale: "-0.192", "0.000098", "2500".
std::string decimalText(Decimal d);

// x as the shortest text that reads back as it, in the same notation as decimalText where the
// value is a decimal of moderate size: the fallback where exact arithmetic does not fit.
std::string shortestText(double x);

}  // namespace curvalon
