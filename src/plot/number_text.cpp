#include "plot/number_text.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace curvalon {

namespace {

constexpr int kSignificantDigits = 15;
const char* const kUnshowable = "???";

// The digits of |x| rounded to 15 significant digits, trailing zeros dropped, and the power of
// ten of the first digit. x must be finite and not 0.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

Decimal decimalOf(double x) {
    char buf[64];
    // to_chars, unlike printf, ignores the locale.
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(x),
                                   std::chars_format::scientific, kSignificantDigits - 1);
    const std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));  // d.ddde+XX
    const std::size_t e = text.find('e');
    Decimal d;
    d.digits.push_back(text[0]);
    d.digits.append(text.substr(2, e - 2));
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    for (char c : text.substr(e + 2))
        d.exponent = d.exponent * 10 + (c - '0');
    if (text[e + 1] == '-') d.exponent = -d.exponent;
    return d;
}

std::string firstOf(const std::string& s, std::size_t n) {
    return s.substr(0, n);
}

std::string scaled(double x, double factor, std::size_t n) {
    return firstOf(numberText(x * factor), n);
}

}  // namespace

std::string numberText(double x) {
    if (!std::isfinite(x)) return kUnshowable;
    if (x == 0) return "0";
    const Decimal d = decimalOf(x);
    const long whole = d.exponent + 1;  // digits before the point
    const long count = static_cast<long>(d.digits.size());
    std::string out = x < 0 ? "-" : "";
    if (whole <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-whole), '0');
        out += d.digits;
    } else if (whole >= count) {
        out += d.digits;
        out.append(static_cast<std::size_t>(whole - count), '0');
    } else {
        out.append(d.digits, 0, static_cast<std::size_t>(whole));
        out += '.';
        out.append(d.digits, static_cast<std::size_t>(whole));
    }
    return out;
}

std::string wholeText(double x) {
    return numberText(std::trunc(x));
}

ReadoutText voltageReadout(double v) {
    if (!std::isfinite(v)) return {kUnshowable, "V"};
    // Cutting the signed millivolt text would lose digits from -1 V down, so those levels are
    // shown on their magnitude with the sign put in front.
    if (v <= -1) {
        ReadoutText r = voltageReadout(-v);
        r.value = "-" + r.value;
        return r;
    }
    if (v >= 1000) return {wholeText(v / 1000), "kV"};
    if (v >= 100) return {wholeText(v), "V"};
    if (v >= 1) return {scaled(v, 1, 4), "V"};
    if (v >= 0.1) return {scaled(v, 1e3, 3), "mV"};
    return {scaled(v, 1e3, 4), "mV"};
}

ReadoutText timeDivReadout(double t) {
    if (!std::isfinite(t)) return {kUnshowable, "S"};
    if (t >= 1) return {scaled(t, 1, 4), "S"};
    if (t >= 0.1) return {scaled(t, 1e3, 3), "mS"};
    if (t >= 0.001) return {scaled(t, 1e3, 4), "mS"};
    if (t >= 0.0001) return {scaled(t, 1e6, 3), "uS"};
    if (t >= 0.000001) return {scaled(t, 1e6, 4), "uS"};
    if (t >= 0.0000001) return {scaled(t, 1e9, 3), "nS"};
    return {scaled(t, 1e9, 4), "nS"};
}

ReadoutText positionReadout(double p) {
    if (!std::isfinite(p)) return {kUnshowable, "S"};
    if (p >= 1 || p == 0) return {scaled(p, 1, 4), "S"};
    if (p >= 0.1) return {scaled(p, 1e3, 4), "mS"};
    if (p >= 0.001) return {scaled(p, 1e3, 5), "mS"};
    if (p >= 0.0001) return {scaled(p, 1e6, 4), "uS"};
    if (p >= 0.000001) return {scaled(p, 1e6, 5), "uS"};
    // Everything from -0.1 us up to 1 us, the short positive stretch included, in nanoseconds.
    if (p >= -0.0000001) return {scaled(p, 1e9, 4), "nS"};
    if (p <= -1) return {scaled(p, 1, 4), "S"};
    if (p <= -0.1) return {scaled(p, 1e3, 4), "mS"};
    if (p <= -0.001) return {scaled(p, 1e3, 5), "mS"};
    if (p <= -0.0001) return {scaled(p, 1e6, 4), "uS"};
    if (p <= -0.000001) return {scaled(p, 1e6, 5), "uS"};
    return {scaled(p, 1e9, 4), "nS"};
}

}  // namespace curvalon
