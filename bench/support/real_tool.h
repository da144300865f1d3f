// The whole tool on a real port driver and real time, its port the given path (a
// pseudo-terminal's far end plays the instrument), started and waited for until it is idle.
#pragma once

#include <QTest>
#include <string>

#include "link/qt_link_clock.h"
#include "link/qt_serial_device.h"
#include "shell/scope_app.h"

namespace curvalon::test {

struct RealTool {
    explicit RealTool(const std::string& port)
        : scope(
              window, device, clock, [](int) {}, port) {
        scope.load();
        (void)QTest::qWaitFor(
            [this] { return scope.state().startupDone == 1 && !scope.link().busy(); }, 10000);
    }

    MainWindow window;
    QtSerialDevice device;
    QtLinkClock clock;
    ScopeApp scope;
};

}  // namespace curvalon::test
