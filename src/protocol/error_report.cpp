#include "protocol/error_report.h"

namespace curvalon {

namespace {
constexpr std::size_t kReplyHeadLength = 14;
}

void errorReport(const ScopeState& s, WindowOps& window, const std::string& message) {
    window.messageBox("Error[" + std::to_string(s.rxStatus) + "] " + message);
}

std::int32_t dataError(ScopeState& s, WindowOps& window, const std::string& detail) {
    s.rxStatus = kStatusDataError;
    errorReport(s, window, "Data Error " + detail);
    return kStatusDataError;
}

std::string replyHead(const std::string& reply) {
    return reply.substr(0, kReplyHeadLength);
}

}  // namespace curvalon
