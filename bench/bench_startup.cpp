// Time from process start to the first painted main window and to the demo picture, with an
// instrument that never answers. Run it on a real display (or under xvfb-run).
#include <unistd.h>
#include <QApplication>
#include <QStyleFactory>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

#include "link/qt_link_clock.h"
#include "shell/main_window.h"
#include "shell/scope_app.h"
#include "support/fake_serial_device.h"

using namespace curvalon;

namespace {

// Milliseconds since the kernel started this process.
double msSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const auto afterName = text.rfind(')');
    std::size_t field = 3, pos = afterName + 2;  // field 3 is the state
    while (field < 22) {
        pos = text.find(' ', pos) + 1;
        ++field;
    }
    const double startTicks = std::stod(text.substr(pos));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return (now.tv_sec + now.tv_nsec / 1e9) * 1000.0 - startTicks * 1000.0 / sysconf(_SC_CLK_TCK);
}

class PaintWatch : public QObject {
  public:
    double firstPaintMs = -1;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && firstPaintMs < 0 && o->isWidgetType()) {
            firstPaintMs = msSinceProcessStart();
        }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    MainWindow window;
    QtLinkClock clock;
    test::FakeSerialDevice device{clock};  // a port with nothing on the far end
    double demoMs = -1;
    ScopeApp scope(
        window, device, clock, [](int) {}, "none");
    PaintWatch watch;
    app.installEventFilter(&watch);
    window.show();
    scope.load();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (scope.state().startupDone == 1 && demoMs < 0) {
            demoMs = msSinceProcessStart();
            QTimer::singleShot(200, &app, &QApplication::quit);
        }
    });
    poll.start(1);
    app.exec();
    std::printf("first painted window: %.0f ms after process start\n", watch.firstPaintMs);
    std::printf(
        "demo picture composed: %.0f ms after process start (the instrument check waits 2000 ms)\n",
        demoMs);
    return 0;
}
