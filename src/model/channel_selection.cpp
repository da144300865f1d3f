#include "model/channel_selection.h"

namespace curvalon {

namespace {
// Indexes outside the four channels are ignored rather than trusted.
bool isChannel(std::int32_t ch) {
    return ch >= 0 && ch <= kLastChannel;
}
}  // namespace

ChannelSelection::ChannelSelection(ScopeState& state, WindowOps& window) : s_(state), w_(window) {}

void ChannelSelection::initChannelButtons() {
    for (int ch = 0; ch <= kLastChannel; ++ch) {
        w_.setButtonBackColor(Button::cbCh, ch, s_.traceColor[ch]);
    }
    w_.setVisible(Field::dispTxD_str, 0, false);
    w_.setVisible(Field::dispRxD_str, 0, false);
    for (int r = kFirstRef; r <= kLastRef; ++r)
        w_.setButtonVisible(Button::cbRefFlag, r, false);
}

void ChannelSelection::toggleChannel(std::int32_t ch) {
    if (!isChannel(ch)) return;
    if (s_.chEnable[ch] == 0) {
        channelOn(ch);
    } else {
        channelOff(ch);
    }
    w_.setText(Field::ChDivV, ch, "0.00");
    w_.setText(Field::ChDivUnit, ch, "V");
}

void ChannelSelection::channelOn(std::int32_t ch) {
    if (!isChannel(ch)) return;
    const Rgb colour = s_.traceColor[ch];
    s_.chEnable[ch] = 1;
    w_.setMenuEnabled(Menu::mnuCh, ch, true);
    w_.setButtonBackColor(Button::cbCh, ch, colour);
    w_.setButtonEnabled(Button::cbCh, ch, true);
    w_.setAlignment(Field::ChTtl, ch, Alignment::Centre);
    w_.setForeColor(Field::ChTtl, ch, rgb(255, 255, 255));
    w_.setBackColor(Field::ChTtl, ch, colour);
    w_.setForeColor(Field::ChDivV, ch, colour);
    w_.setForeColor(Field::ChDivUnit, ch, colour);
}

void ChannelSelection::channelOff(std::int32_t ch) {
    if (!isChannel(ch)) return;
    s_.chEnable[ch] = 0;
    w_.setAlignment(Field::ChTtl, ch, Alignment::Left);
    w_.setForeColor(Field::ChTtl, ch, s_.offColor);
    w_.setBackColor(Field::ChTtl, ch, s_.formBackColor);
    w_.setForeColor(Field::ChDivV, ch, s_.offColor);
    w_.setForeColor(Field::ChDivUnit, ch, s_.offColor);
}

void ChannelSelection::channelUnavailable(std::int32_t ch) {
    if (!isChannel(ch)) return;
    w_.setButtonBackColor(Button::cbCh, ch, s_.offColor);
    w_.setButtonEnabled(Button::cbCh, ch, false);
    w_.setMenuEnabled(Menu::mnuCh, ch, false);
}

}  // namespace curvalon
