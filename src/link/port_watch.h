// Waiting for a lost port to come back: about once a second, without sending it anything, the
// watch asks the port list where the port is now; once it is there, it hands it to whoever
// reopens it. A port that had a serial number is taken back only with that serial number: another
// device at its path (another adapter, a board that resets when DTR rises) is left alone. No
// timer runs while no port is missing.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "link/link_clock.h"
#include "link/port_list.h"

namespace curvalon {

class PortWatch {
  public:
    static constexpr int kIntervalMs = 1000;

    // onBack gets the port's location once it is back and returns whether it took it; a port it
    // cannot take yet (a command is running) is offered again on the next check.
    PortWatch(LinkClock& clock, const PortList& ports,
              std::function<bool(const std::string& location)> onBack);

    // Starts watching for this port, identified by where it was and by its serial number.
    void watch(const std::string& location, const std::string& serialNumber);
    void stop();
    bool watching() const;
    // Told once each time another device appears where the port was.
    void setOnStranger(std::function<void()> onStranger) { onStranger_ = std::move(onStranger); }

  private:
    void check();
    bool isStranger(const std::string& found) const;

    const PortList& ports_;
    std::function<bool(const std::string&)> onBack_;
    std::function<void()> onStranger_;
    std::unique_ptr<LinkTimer> timer_;
    std::string location_, serialNumber_;
    bool strangerTold_ = false;
};

}  // namespace curvalon
