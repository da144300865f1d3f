// The one numbered error the tool shows: a failed or rejected exchange, with the link's status.
#pragma once

#include <cstdint>
#include <string>

#include "model/scope_state.h"
#include "model/window_ops.h"

namespace curvalon {

// Shows "Error[" + rxStatus + "] " + message. Callers that reject a reply's content set
// rxStatus to the data-error code first.
void errorReport(const ScopeState& s, WindowOps& window, const std::string& message);

// What a read shows when it is refused because the instrument is not there (demo mode).
constexpr const char* kAbsentText = " Can't found TDS2024 !";

// Sets rxStatus to the data-error code, reports "Data Error " + detail and returns the code.
std::int32_t dataError(ScopeState& s, WindowOps& window, const std::string& detail);

// The start of a rejected reply, as much of it as the report shows.
std::string replyHead(const std::string& reply);

}  // namespace curvalon
