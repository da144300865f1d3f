#include "link/port_watch.h"

namespace curvalon {

PortWatch::PortWatch(LinkClock& clock, const PortList& ports,
                     std::function<bool(const std::string& location)> onBack)
    : ports_(ports), onBack_(std::move(onBack)) {
    timer_ = clock.makeTimer(kIntervalMs, [this] { check(); });
}

void PortWatch::watch(const std::string& location, const std::string& serialNumber) {
    location_ = location;
    serialNumber_ = serialNumber;
    timer_->start(kIntervalMs);
}

void PortWatch::stop() {
    timer_->stop();
}

bool PortWatch::watching() const {
    return timer_->isActive();
}

void PortWatch::check() {
    const std::string found = ports_.findAgain(location_, serialNumber_);
    if (!found.empty() && onBack_(found)) return;
    timer_->start(kIntervalMs);
}

}  // namespace curvalon
