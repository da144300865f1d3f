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
    strangerTold_ = false;
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
    const bool stranger = !found.empty() && isStranger(found);
    if (stranger && !strangerTold_ && onStranger_) onStranger_();
    strangerTold_ = stranger;
    if (!found.empty() && !stranger && onBack_(found)) return;
    timer_->start(kIntervalMs);
}

// Only a port with a serial number can be told from another device; one without is taken back
// wherever its path appears again.
bool PortWatch::isStranger(const std::string& found) const {
    return !serialNumber_.empty() && ports_.serialNumberAt(found) != serialNumber_;
}

}  // namespace curvalon
