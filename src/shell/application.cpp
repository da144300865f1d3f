#include "shell/application.h"

#include <QApplication>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>

#include "link/qt_link_clock.h"
#include "link/qt_serial_device.h"
#include "shell/main_window.h"
#include "shell/scope_app.h"

namespace curvalon {

int runApplication(QApplication& app) {
    // Fusion draws button backgrounds from the palette on every platform, so channel colours show.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    app.setApplicationName(QStringLiteral("Curvalon"));
    MainWindow window;
    QtSerialDevice device;
    QtLinkClock clock;
    ScopeApp scope(window, device, clock, [](int code) {
        // Quitting may happen inside a wait, deep in a command: end here, run nothing more.
        std::fflush(nullptr);
        std::_Exit(code);
    });
    window.show();
    scope.load();
    return app.exec();
}

}  // namespace curvalon
