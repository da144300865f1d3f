// The four channel switches: whether each channel is read and drawn, and how its button, menu
// item and readout title show that. Changed by the operator, by the instrument's selection reply
// and by the entry into demo mode.
#pragma once

#include <cstdint>

#include "model/scope_state.h"
#include "model/window_ops.h"

namespace curvalon {

class ChannelSelection {
  public:
    ChannelSelection(ScopeState& state, WindowOps& window);

    // Start-up look: buttons in their channel colours, echo boxes and reference buttons hidden.
    void initChannelButtons();

    // The operator's toggle. The readout text is reset either way until the next read fills it.
    void toggleChannel(std::int32_t ch);
    void channelOn(std::int32_t ch);
    // Leaves the button and menu item alone: a channel switched off can be switched on again.
    void channelOff(std::int32_t ch);
    // The instrument did not name the channel; its button and menu item go grey and disabled.
    void channelUnavailable(std::int32_t ch);

  private:
    ScopeState& s_;
    WindowOps& w_;
};

}  // namespace curvalon
