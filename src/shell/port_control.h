// Choosing the serial port in the window, and taking a lost port back by itself once it returns.
// The first port stays the start-up default; a choice holds for this run only.
#pragma once

#include <functional>
#include <string>

#include "link/port_list.h"
#include "link/port_watch.h"
#include "link/serial_link.h"
#include "shell/main_window.h"
#include "shell/qt_window_ops.h"

namespace curvalon {

class PortControl {
  public:
    struct Hooks {
        // Runs a command that talks to the instrument when it may (see ScopeApp).
        std::function<void(std::function<void()>)> instrumentCommand;
        std::function<bool()> idle;  // no exchange runs
        std::function<bool()> wake;  // Initial TDS2024 on the port now open; true if it answered
    };

    PortControl(MainWindow& window, QtWindowOps& ops, SerialLink& link, LinkClock& clock,
                const PortList& ports, Hooks hooks);

    // Opens the port and notes its serial number, by which it is known again if it comes back
    // under another name.
    void open(const std::string& location);
    // File > Port: a listed port, or Other port….
    void fillMenu();
    void choose(const std::string& location);
    bool watching() const { return watch_.watching(); }

  private:
    void askForOther();
    void lost();
    bool back(const std::string& location);

    MainWindow& window_;
    QtWindowOps& ops_;
    SerialLink& link_;
    const PortList& ports_;
    Hooks hooks_;
    PortWatch watch_;
    std::string serial_;  // the serial number of the port in use, where it has one
};

}  // namespace curvalon
