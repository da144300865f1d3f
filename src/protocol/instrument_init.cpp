#include "protocol/instrument_init.h"

#include "model/demo_waveforms.h"
#include "protocol/error_report.h"

namespace curvalon {

InstrumentInit::InstrumentInit(ScopeState& state, WindowOps& window, SerialLink& link,
                               SettingsQueries& queries, ChannelSelection& channels,
                               std::function<void()> reDraw)
    : s_(state),
      w_(window),
      link_(link),
      queries_(queries),
      channels_(channels),
      reDraw_(std::move(reDraw)) {}

void InstrumentInit::initInstrument() {
    w_.setStatusText("send [Break] to TDS2024 for initial");
    // A port that could not be opened at start-up (adapter plugged in later, or released by
    // another program) gets another chance each time the operator initialises the instrument.
    if (!link_.portOpen()) link_.openPort();
    if (checkInstrument()) {
        enterLiveMode();
    } else {
        enterDemoMode();
    }
}

bool InstrumentInit::checkInstrument() {
    // Not "CURV?", so the answer ends at its carriage return.
    s_.lastCommand = "Check TDS2024 ...";
    w_.setText(Field::dispTxD_str, 0, s_.lastCommand);
    w_.setVisible(Field::dispTxD_str, 0, true);
    w_.setVisible(Field::dispRxD_str, 0, true);
    w_.setText(Field::dispRxD_str, 0, "");
    link_.resetReply();
    link_.breakExchange(kBreakMs, kReplyTimeoutMs);
    w_.setVisible(Field::dispTxD_str, 0, false);
    w_.setVisible(Field::dispRxD_str, 0, false);
    return s_.rxText.find("DCL") != std::string::npos;
}

void InstrumentInit::enterLiveMode() {
    s_.scopePresent = 1;
    w_.setStatusText("set TDS2024 to [ DATa:ENCdg RIBinary ] (2's complement)");
    link_.armStatusClear(kLiveStatusClearMs);
    sendEncoding();
    queries_.readSelect();
}

std::int32_t InstrumentInit::sendEncoding() {
    s_.cmdText = "DAT:ENC RIB";
    link_.sendCommand(s_.cmdText);
    w_.setVisible(Field::dispTxD_str, 0, false);
    w_.setVisible(Field::dispRxD_str, 0, false);
    return s_.rxStatus;
}

void InstrumentInit::enterDemoMode() {
    s_.scopePresent = 0;
    w_.beep();
    w_.setStatusText(std::string(" Mode : Demo Mode  (") + kAbsentText + " )");
    makeDemoCurves(s_);
    for (std::int32_t ch = 0; ch <= kLastChannel; ++ch)
        channels_.channelOn(ch);
    if (reDraw_) reDraw_();
}

}  // namespace curvalon
