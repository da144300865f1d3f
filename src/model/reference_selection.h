// The four stored reference traces: the one switch for reference display mode, and per
// reference whether it is drawn. Which references the instrument holds comes from its selection
// reply; a reference only gets a button when the mode is switched on while it is held.
#pragma once

#include <cstdint>

#include "model/scope_state.h"
#include "model/window_ops.h"

namespace curvalon {

class ReferenceSelection {
  public:
    ReferenceSelection(ScopeState& state, WindowOps& window);

    // Switching off hides every reference control but keeps which ones are drawn, so switching
    // on again brings back the same picture.
    void toggleRefView();
    void toggleRef(std::int32_t r);
    void refOn(std::int32_t r);
    void refOff(std::int32_t r);
    // The instrument no longer holds the reference: not drawn, button hidden and grey.
    void refUnavailable(std::int32_t r);

  private:
    ScopeState& s_;
    WindowOps& w_;
};

}  // namespace curvalon
