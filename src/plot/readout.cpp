#include "plot/readout.h"

#include <string>

#include "plot/coordinates.h"
#include "plot/number_text.h"

namespace curvalon {

namespace {

void showPair(WindowOps& window, Field valueBox, Field unitBox, const ReadoutText& r) {
    window.setText(valueBox, 0, r.value);
    window.setText(unitBox, 0, r.unit);
}

void colourChannelBoxes(WindowOps& window, int ch, Rgb colour) {
    for (Field f : {Field::Probe, Field::ChDivUnit, Field::ChDivV, Field::Coupling, Field::BWLimit,
                    Field::Invert}) {
        window.setForeColor(f, ch, colour);
    }
}

}  // namespace

void showTimebase(const ScopeState& s, WindowOps& window) {
    showPair(window, Field::TimeDivTim, Field::TimeDivUnit, timeDivReadout(s.timeDiv));
    showPair(window, Field::TrigPosiTim, Field::TrigPosiUnit, positionReadout(s.horPosition));
}

void showTrigSource(const ScopeState& s, WindowOps& window) {
    window.setText(Field::TrigerCH, 0, s.trigSource);
    const std::int32_t ch = triggerChannel(s.trigSource);
    window.setForeColor(Field::TrigerCH, 0,
                        ch < 0 ? s.trigTextColor : s.traceColor[static_cast<std::size_t>(ch)]);
}

void showTrigLevel(const ScopeState& s, WindowOps& window) {
    const ReadoutText r = voltageReadout(s.trigLevel);
    window.setText(Field::TrigLevUnit, 0, r.unit);
    window.setText(Field::TrigLevV, 0, r.value);
}

void showChannelSettings(const ScopeState& s, WindowOps& window, std::int32_t ch) {
    if (ch < 0 || ch > kLastChannel) return;
    const auto i = static_cast<std::size_t>(ch);
    if (s.chEnable[i] != 1) {
        colourChannelBoxes(window, ch, s.offColor);
        return;
    }
    window.setText(Field::Probe, ch, std::to_string(s.chProbe[i]));
    const ReadoutText volts = voltageReadout(s.chVoltDiv[i]);
    window.setText(Field::ChDivUnit, ch, volts.unit);
    window.setText(Field::ChDivV, ch, volts.value);
    window.setText(Field::Coupling, ch, s.chCoupling[i]);
    window.setText(Field::BWLimit, ch, s.chBandwidth[i]);
    window.setText(Field::Invert, ch, s.chInvert[i]);
    colourChannelBoxes(window, ch, s.traceColor[i]);
}

}  // namespace curvalon
