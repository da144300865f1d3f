// Waking the instrument and deciding the mode: live when it answers the break with "DCL",
// demo (generated curves, reads refused) when it does not.
#pragma once

#include <cstdint>
#include <functional>

#include "link/serial_link.h"
#include "model/channel_selection.h"
#include "protocol/settings_queries.h"

namespace curvalon {

class InstrumentInit {
  public:
    static constexpr int kReplyTimeoutMs = 2000;
    static constexpr int kBreakMs = 100;
    static constexpr int kLiveStatusClearMs = 3000;

    // reDraw composes the picture from the held curves; the plot layer provides it.
    InstrumentInit(ScopeState& state, WindowOps& window, SerialLink& link, SettingsQueries& queries,
                   ChannelSelection& channels, std::function<void()> reDraw);

    void initInstrument();
    // The break-and-answer test: true when "DCL" occurs anywhere in the answer, however the
    // wait ended.
    bool checkInstrument();
    void enterLiveMode();
    void enterDemoMode();
    // Sends "DAT:ENC RIB" (no reply expected) and returns rxStatus.
    std::int32_t sendEncoding();

  private:
    ScopeState& s_;
    WindowOps& w_;
    SerialLink& link_;
    SettingsQueries& queries_;
    ChannelSelection& channels_;
    std::function<void()> reDraw_;
};

}  // namespace curvalon
