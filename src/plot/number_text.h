// The texts of the settings readout: the general decimal text of a number, and the three forms
// that split a setting into a short value text and a unit chosen by decade thresholds.
#pragma once

#include <string>

namespace curvalon {

struct ReadoutText {
    std::string value;
    std::string unit;
    bool operator==(const ReadoutText&) const = default;
};

// x rounded to 15 significant digits, written without exponent, trailing zeros or thousands
// separators, with "0" before the point below 1, "-" when negative and always "." as the point,
// whatever the user's locale. Infinities and NaN give "???".
std::string numberText(double x);

// x cut toward zero to a whole number, as numberText writes it.
std::string wholeText(double x);

// Trigger level and volts per division: "kV", "V" or "mV".
ReadoutText voltageReadout(double volts);

// Time per division: "S", "mS", "uS" or "nS".
ReadoutText timeDivReadout(double seconds);

// Horizontal position, which may be negative: "S", "mS", "uS" or "nS".
ReadoutText positionReadout(double seconds);

}  // namespace curvalon
