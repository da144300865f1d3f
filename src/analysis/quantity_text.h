// Numbers with their units as every readout of the tool shows them: the measurement window, the
// cursor labels on the plot and the cursor readout all write through here, so one value never
// shows two ways.
#pragma once

#include <string>

namespace curvalon {

// Four significant digits, rounded as the value's shortest decimal reads ("0.99995" V becomes
// "1.000 V", never "1000.0 mV"), with an SI prefix for volts, seconds, hertz and per-sample rates
// ("2.083 m/sample" for 1/480 per sample). Whole counts and samples are whole numbers
// ("-5 counts", "1250 samples"); others get four significant digits and no prefix.
std::string quantityText(double value, const std::string& unit);

// The prefixed unit an axis reaching largest (in magnitude) is labelled in, and the factor that
// takes values into it: 2500 Hz gives "kHz" and 0.001. Units without prefixes keep factor 1.
struct AxisUnit {
    double factor = 1;
    std::string unit;
};
AxisUnit axisUnit(double largest, const std::string& unit);

}  // namespace curvalon
