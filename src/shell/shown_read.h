// What a read brought, as far as the plot draws it: kept when a read completes, so that while a
// run reads the next one into the scope state, the plot can still be drawn from the last whole
// read (after a zoom or a channel switched) without mixing the two.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/scope_state.h"

namespace curvalon {

// Which sources a read brought, so that nothing it did not bring is taken for fresh.
struct ReadScope {
    enum Kind {
        Full,        // the settings and every shown channel
        OneChannel,  // one channel's curve, drawn over the picture as it was
        References,  // REFA..REFD
        Generated,   // the demo waveforms, or nothing at all after the start-up
    };
    Kind kind = Full;
    int channel = -1;  // for OneChannel
};

class ShownRead {
  public:
    // Takes what the scope state holds now as the last whole read.
    void keep(const ScopeState& s);
    // Exchanges what is kept with what the scope state holds; done twice, both are as before.
    void exchange(ScopeState& s);

  private:
    std::array<std::array<std::int32_t, kCurveLength>, kSourceCount> curve_{};
    std::array<std::int32_t, kChannelCount> chPosition_{};
    std::array<double, kChannelCount> chVoltDiv_{};
    std::string trigSource_;
    double trigLevel_ = 0;
    std::int32_t trigPoint_ = 0;
};

}  // namespace curvalon
