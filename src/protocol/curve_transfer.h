// Moving 2500-sample waveform records from the instrument into the curve buffer: one channel or
// stored reference at a time, and all four references with the instrument's own reference
// display put back afterwards.
#pragma once

#include <cstdint>

#include "link/serial_link.h"
#include "model/scope_state.h"
#include "model/window_ops.h"

namespace curvalon {

// The accept step of a curve transfer, on a reply the link has already collected: checks the
// block header and converts the 2500 signed bytes into curve(i). Returns 0, or reports the data
// error and returns its code with the buffer left as it was.
std::int32_t acceptCurve(ScopeState& s, WindowOps& window, std::int32_t i);

class CurveTransfer {
  public:
    static constexpr int kReplyTimeoutMs = 5000;
    static constexpr int kSourceSettleMs = 100;

    CurveTransfer(ScopeState& state, WindowOps& window, SerialLink& link);

    // Status 0, a link failure, the data-error code, or 8 when refused in demo mode.
    std::int32_t readCurve(std::int32_t i);
    void setDataSource(std::int32_t i);
    // Switch the instrument's display of a reference; other sources are left alone.
    void selectOn(std::int32_t i);
    void selectOff(std::int32_t i);
    void hideReferences();
    void clearCurve(std::int32_t i);
    // Reads REFA..REFD while reference display mode is on; returns the REFD transfer's status.
    std::int32_t readReferences();

  private:
    void select(std::int32_t i, const char* state);

    ScopeState& s_;
    WindowOps& w_;
    SerialLink& link_;
};

}  // namespace curvalon
