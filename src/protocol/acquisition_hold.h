// Holding the instrument's acquisition while a full read runs, so that every channel comes from
// the same acquisition: a running instrument is stopped first and set running again after,
// whatever happened in between. A reply that cannot be read leaves the instrument as it is.
#pragma once

#include <optional>
#include <string>

#include "link/serial_link.h"
#include "model/scope_state.h"
#include "model/window_ops.h"

namespace curvalon {

// Whether an "ACQuire:STATE?" reply says the instrument acquires: "1", "ON", "RUN" (with or
// without the ":ACQUIRE:STATE " header); empty when the reply is none of the known values.
std::optional<bool> acquisitionRunning(const std::string& reply);

class AcquisitionHold {
  public:
    static constexpr int kReplyTimeoutMs = 2000;

    AcquisitionHold(ScopeState& state, WindowOps& window, SerialLink& link);
    // Asks whether the instrument acquires, and stops it if it does.
    void begin();
    // Sets it running again if begin stopped it. Where the port is lost, the RUN is owed until
    // settle sends it.
    void end();
    // The tool ends during a held read: the RUN goes out before the port closes.
    void release();
    // The port is back and the instrument awake: a RUN that the lost port kept from it goes now.
    void settle();

  private:
    void sendRun();

    ScopeState& s_;
    WindowOps& w_;
    SerialLink& link_;
    bool stopped_ = false;
    bool owed_ = false;
};

}  // namespace curvalon
