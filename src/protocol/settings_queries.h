// The four settings queries: which sources the instrument displays ("SEL?"), the time base
// ("HOR?"), the trigger ("TRIG?") and one channel's vertical settings ("CH1?".."CH4?"). Each is
// one exchange over the link; its reply is then parsed into the scope state.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/serial_link.h"
#include "model/channel_selection.h"
#include "model/reference_selection.h"
#include "model/scope_state.h"
#include "model/window_ops.h"

namespace curvalon {

// The parse steps, on a reply the link has already collected into rxText. Each returns 0 when
// the reply was accepted, or sets rxStatus to the data-error code, reports the error and returns
// it. A rejected reply changes no value, except that a zero time base is still kept as the
// scale (the readout then shows what the instrument said).
std::int32_t parseSelect(ScopeState& s, WindowOps& window, ChannelSelection& channels,
                         ReferenceSelection& references);
std::int32_t parseHorizontal(ScopeState& s, WindowOps& window);
std::int32_t parseTrigger(ScopeState& s, WindowOps& window);
std::int32_t parseChannel(ScopeState& s, WindowOps& window, std::int32_t i);

class SettingsQueries {
  public:
    static constexpr int kReplyTimeoutMs = 2000;

    SettingsQueries(ScopeState& state, WindowOps& window, SerialLink& link,
                    ChannelSelection& channels, ReferenceSelection& references);

    // Each returns the exchange's status: 0, a link failure code, or the data-error code.
    std::int32_t readSelect();
    std::int32_t readHorizontal();
    std::int32_t readTrigger();
    // Refused with a message box while the instrument is absent; does nothing above CH4.
    std::int32_t readChannel(std::int32_t i);

  private:
    std::int32_t exchange(const std::string& readingText, const std::string& query,
                          const std::function<void()>& onFailure,
                          const std::function<std::int32_t()>& parse);

    ScopeState& s_;
    WindowOps& w_;
    SerialLink& link_;
    ChannelSelection& channels_;
    ReferenceSelection& references_;
};

// The trigger point's sample within the record for a time base and position, or 9999 when the
// position puts it beyond the record's right half; and a channel's position in whole counts, as
// drawn. A read and an opened file place both alike.
std::int32_t triggerPoint(double timeDiv, double horPosition);
std::int32_t positionCounts(double positionDiv);

}  // namespace curvalon
